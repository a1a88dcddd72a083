// The persistent rectangle (change notification, assignment, streaming as a
// published property) and the rectangle routines.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DesktopTest.h"
#include "lookandfeel/lkGeometry.h"
#include "platform/classlib/Filer.h"

namespace {

std::string text(const TRect& R) {
  return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) + "," +
         std::to_string(R.bottom);
}

class Geometry : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    lkGeometry::Initialize();
  }
  void TearDown() override {
    lkGeometry::Finalize();
    qvtest::DesktopTest::TearDown();
  }
};

TEST_F(Geometry, ASideWrittenFiresOneChangeOnlyWhenItDiffers) {
  TlkRect r;
  int changes = 0;
  TObject* sender = nullptr;
  r.OnChange = [&](TObject* Sender) {
    ++changes;
    sender = Sender;
  };
  EXPECT_EQ(text(r.Rect()), "0,0,0,0");
  r.SetLeft(0);
  EXPECT_EQ(changes, 0);

  r.SetLeft(5);
  r.SetTop(6);
  r.SetRight(7);
  r.SetBottom(8);
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(sender, &r);
  EXPECT_EQ(text(r.Rect()), "5,6,7,8");
  EXPECT_EQ(r.Left() + r.Top() + r.Right() + r.Bottom(), 26);

  r.SetRect(TRect{5, 6, 7, 8});
  EXPECT_EQ(changes, 4);
  EXPECT_TRUE(r.IsEqual(TRect{5, 6, 7, 8}));
  EXPECT_FALSE(r.IsEqual(TRect{5, 6, 7, 9}));
}

TEST_F(Geometry, AssignTakesOnlyAnotherRectangle) {
  TlkRect source, target;
  int changes = 0;
  target.OnChange = [&](TObject*) { ++changes; };
  source.SetRect(TRect{1, 2, 3, 4});

  target.Assign(&source);
  EXPECT_EQ(text(target.Rect()), "1,2,3,4");
  EXPECT_EQ(changes, 1);
  target.Assign(&source);
  EXPECT_EQ(changes, 1);

  TStringList notARect;
  EXPECT_NO_THROW(target.Assign(&notARect));
  EXPECT_NO_THROW(target.Assign(nullptr));
  EXPECT_EQ(text(target.Rect()), "1,2,3,4");
  EXPECT_EQ(changes, 1);
}

// A component that publishes a rectangle, as the navigation bar's parts do.
class TRectHolder : public TComponent {
  QV_CLASS(TRectHolder, TComponent)
  explicit TRectHolder(TComponent* AOwner) : TComponent(AOwner), FMargins(std::make_unique<TlkRect>(this)) {}
  TlkRect* Margins() const { return FMargins.get(); }
  void SetMargins(TlkRect* Value) { FMargins->Assign(Value); }

  QV_PUBLISHED(TRectHolder) { P.Prop("Margins", &TRectHolder::Margins, &TRectHolder::SetMargins); }

 private:
  std::unique_ptr<TlkRect> FMargins;
};
QV_DEFINE_PUBLISHED(TRectHolder)

TEST_F(Geometry, StreamsAsAPublishedPropertyAndIsFoundByName) {
  EXPECT_EQ(GetClass("TlkRect"), TlkRect::StaticClass());
  RegisterClass(TRectHolder::StaticClass());

  TRectHolder written(nullptr);
  written.SetName("Holder");
  written.Margins()->SetRect(TRect{1, -2, 30, 40});
  EXPECT_EQ(written.Margins()->GetNamePath(), "Holder.TlkRect");
  TStringStream stream("");
  TWriter(&stream).WriteRootComponent(&written);
  const std::string form = stream.DataString();
  for (const char* line : {"Margins.Left = 1", "Margins.Top = -2", "Margins.Right = 30", "Margins.Bottom = 40"})
    EXPECT_NE(form.find(line), std::string::npos) << form;

  TRectHolder read(nullptr);
  int changes = 0;
  read.Margins()->OnChange = [&](TObject*) { ++changes; };
  stream.SetPosition(0);
  TReader(&stream).ReadRootComponent(&read);
  EXPECT_EQ(text(read.Margins()->Rect()), "1,-2,30,40");
  EXPECT_EQ(changes, 4);
  UnRegisterClass(TRectHolder::StaticClass());
}

TEST_F(Geometry, TheClassIsRegisteredWhileTheUnitRuns) {
  lkGeometry::Initialize();  // nested: only counts
  lkGeometry::Finalize();
  EXPECT_NE(GetClass("TlkRect"), nullptr);
  lkGeometry::Finalize();
  EXPECT_EQ(GetClass("TlkRect"), nullptr);
  lkGeometry::Initialize();
  EXPECT_NE(GetClass("TlkRect"), nullptr);
}

struct RoutineCase {
  const char* name;
  TRect (*routine)(const TRect&);
  TRect input;
  TRect expected;
};

class RectRoutine : public ::testing::TestWithParam<RoutineCase> {};

TEST_P(RectRoutine, GivesACopyWithTheSidesMoved) {
  const RoutineCase& c = GetParam();
  EXPECT_EQ(text(c.routine(c.input)), text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectRoutine,
    ::testing::Values(
        RoutineCase{
            "GrowByOne", [](const TRect& R) { return lkGrowRect(R, 1, 1, 1, 1); }, {10, 10, 20, 20}, {9, 9, 21, 21}},
        RoutineCase{
            "GrowEachSide", [](const TRect& R) { return lkGrowRect(R, 1, 2, 3, 4); }, {10, 10, 20, 20}, {9, 8, 23, 24}},
        RoutineCase{"ShrinkByNegative",
                    [](const TRect& R) { return lkGrowRect(R, -2, -3, -2, -3); },
                    {0, 0, 10, 10},
                    {2, 3, 8, 7}},
        RoutineCase{
            "SetLeftWidth", [](const TRect& R) { return lkRectSetLeftWidth(R, 4, 6); }, {1, 2, 3, 9}, {4, 2, 10, 9}},
        RoutineCase{"SetLeftZeroWidth",
                    [](const TRect& R) { return lkRectSetLeftWidth(R, -5, 0); },
                    {1, 2, 3, 9},
                    {-5, 2, -5, 9}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RectMeasures, WidthHeightAndEqualityTakeTheFieldsAsTheyAre) {
  struct Case {
    TRect r;
    int width, height;
  } cases[] = {{{10, 20, 15, 50}, 5, 30}, {{5, 5, 5, 5}, 0, 0}, {{10, 0, 4, -3}, -6, -3}};
  for (const Case& c : cases) {
    EXPECT_EQ(lkGetRectWidth(c.r), c.width) << text(c.r);
    EXPECT_EQ(lkGetRectHeight(c.r), c.height) << text(c.r);
  }
  const TRect a{1, 2, 3, 4};
  EXPECT_TRUE(RectsEqual(a, TRect{1, 2, 3, 4}));
  for (const TRect& b : {TRect{0, 2, 3, 4}, TRect{1, 0, 3, 4}, TRect{1, 2, 0, 4}, TRect{1, 2, 3, 0}})
    EXPECT_FALSE(RectsEqual(a, b)) << text(b);
}

}  // namespace
