// Panels, images and notebooks of the ExtCtrls unit: bevel pixels and the
// client area they leave, where an image draws its picture, and notebook
// pages chosen by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"

namespace {

// A memory bitmap with a control's painting: the control's WM_PAINT with the
// bitmap's DC, as a parent paints its children.
class PaintedBitmap {
 public:
  PaintedBitmap(TControl* c, int w, int h) {
    bmp.SetSize(w, h);
    HDC dc = bmp.Canvas()->Handle();
    RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (auto* win = dynamic_cast<TWinControl*>(c)) {
      win->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    } else {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
  }
  COLORREF at(int x, int y) { return GetPixel(bmp.Canvas()->Handle(), x, y); }
  TBitmap bmp;
};

class TExtRoot : public TCustomControl {
  QV_CLASS(TExtRoot, TCustomControl)
  explicit TExtRoot(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle.Include(csAcceptsControls); }

 protected:
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
  }
};

class ExtCtrlsTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    owner = new TComponent(nullptr);
    root = new TExtRoot(owner);
    root->SetBounds(0, 0, 300, 200);
  }
  void TearDown() override {
    delete owner;
    qvtest::DesktopTest::TearDown();
  }
  TComponent* owner = nullptr;
  TExtRoot* root = nullptr;
};

COLORREF sys(int index) { return GetSysColor(index); }

TEST_F(ExtCtrlsTest, PanelBevelsPaintTheClassicFramesAndShrinkTheClientArea) {
  auto* panel = new TPanel(owner);
  panel->SetParent(root);
  panel->SetBounds(0, 0, 40, 30);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(1);
  panel->SetColor(clRed);
  auto* child = new TPanel(owner);
  child->SetParent(panel);
  child->SetAlign(alClient);
  root->HandleNeeded();
  EXPECT_EQ((std::vector<int>{child->Left(), child->Top(), child->Width(), child->Height()}),
            (std::vector<int>{5, 5, 30, 20}));
  PaintedBitmap p(panel, 40, 30);
  struct Case {
    int x, y;
    COLORREF expected;
  } cases[] = {
      {0, 0, sys(COLOR_BTNHIGHLIGHT)},  {1, 1, sys(COLOR_BTNHIGHLIGHT)},  // raised outer, 2 wide
      {39, 0, sys(COLOR_BTNSHADOW)},    {0, 29, sys(COLOR_BTNSHADOW)},    // corners go to the bottom colour
      {38, 15, sys(COLOR_BTNSHADOW)},   {20, 28, sys(COLOR_BTNSHADOW)},
      {2, 2, RGB(255, 0, 0)},           {37, 27, RGB(255, 0, 0)},         // the border in the panel's colour
      {3, 3, sys(COLOR_BTNSHADOW)},     {4, 10, sys(COLOR_BTNSHADOW)},    // lowered inner
      {36, 10, sys(COLOR_BTNHIGHLIGHT)}, {10, 26, sys(COLOR_BTNHIGHLIGHT)},
      {5, 5, RGB(255, 0, 0)},           {20, 15, RGB(255, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(p.at(c.x, c.y), c.expected) << c.x << "," << c.y;

  panel->SetBevelOuter(bvNone);
  panel->SetBevelInner(bvNone);
  EXPECT_EQ(child->Left(), 1);
}

TEST_F(ExtCtrlsTest, PanelCaptionIsCentredByDefault) {
  auto* panel = new TPanel(owner);
  panel->SetParent(root);
  panel->SetBounds(0, 0, 100, 30);
  panel->Font()->SetColor(clBlue);
  panel->SetCaption("Mmm");
  root->HandleNeeded();
  PaintedBitmap p(panel, 100, 30);
  int first = -1, last = -1;
  for (int x = 0; x < 100; ++x)
    for (int y = 0; y < 30; ++y)
      if (p.at(x, y) == RGB(0, 0, 255)) {
        if (first < 0) first = x;
        last = x;
      }
  ASSERT_GE(first, 0);
  EXPECT_LE(std::abs((first + last) / 2 - 50), 2);
}

TBitmap* checkerBitmap(int w, int h) {
  auto* bmp = new TBitmap();
  bmp->SetSize(w, h);
  bmp->Canvas()->Brush()->SetColor(clLime);
  bmp->Canvas()->FillRect({0, 0, w, h});
  return bmp;
}

TEST_F(ExtCtrlsTest, ImagePlacesItsPictureByStretchCenterAndProportional) {
  auto* image = new TImage(owner);
  image->SetParent(root);
  image->SetBounds(0, 0, 100, 50);
  TBitmap* bmp = checkerBitmap(20, 10);
  image->Picture()->SetGraphic(bmp);
  delete bmp;
  struct Case {
    bool stretch, center, proportional;
    std::vector<int> rect;
  } cases[] = {
      {false, false, false, {0, 0, 20, 10}},  {false, true, false, {40, 20, 60, 30}},
      {true, false, false, {0, 0, 100, 50}},  {true, false, true, {0, 0, 100, 50}},
      {false, false, true, {0, 0, 20, 10}},   // proportional alone only shrinks
  };
  for (const Case& c : cases) {
    image->SetStretch(c.stretch);
    image->SetCenter(c.center);
    image->SetProportional(c.proportional);
    TRect r = image->DestRect();
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}), c.rect)
        << c.stretch << c.center << c.proportional;
  }
  // A taller box keeps the aspect and centres the picture.
  image->SetBounds(0, 0, 100, 100);
  image->SetStretch(true);
  image->SetProportional(true);
  image->SetCenter(true);
  TRect r = image->DestRect();
  EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}), (std::vector<int>{0, 25, 100, 75}));

  root->HandleNeeded();
  PaintedBitmap p(image, 100, 100);
  EXPECT_EQ(p.at(50, 50), RGB(0, 255, 0));
  EXPECT_EQ(p.at(50, 10), RGB(0, 0, 0));
}

TEST_F(ExtCtrlsTest, ImageAutoSizesToItsPictureAndDrawsOnItsBitmap) {
  auto* image = new TImage(owner);
  image->SetParent(root);
  image->SetBounds(5, 6, 100, 100);
  image->SetAutoSize(true);
  TBitmap* bmp = checkerBitmap(33, 17);
  image->Picture()->SetGraphic(bmp);
  delete bmp;
  EXPECT_EQ((std::vector<int>{image->Left(), image->Top(), image->Width(), image->Height()}),
            (std::vector<int>{5, 6, 33, 17}));
  int clicks = 0;
  image->OnClick = [&](TObject*) { ++clicks; };
  root->HandleNeeded();
  qv::os::injectClick(image->ClientToScreen({3, 3}));
  qv::os::pumpMessages();
  EXPECT_EQ(clicks, 1);

  // An empty image gets a bitmap of its size to draw on.
  auto* blank = new TImage(owner);
  blank->SetBounds(0, 0, 12, 8);
  blank->Canvas()->FillRect({0, 0, 1, 1});
  EXPECT_EQ(blank->Picture()->Width(), 12);
  EXPECT_EQ(blank->Picture()->Height(), 8);
  auto* iconic = new TImage(owner);
  TIcon icon;
  iconic->Picture()->SetGraphic(&icon);
  EXPECT_THROW(iconic->Canvas(), EInvalidOperation);
}

TEST_F(ExtCtrlsTest, NotebookShowsOnePageChosenByIndexOrName) {
  auto* book = new TNotebook(owner);
  book->SetParent(root);
  book->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(book->Pages()->CommaText(), "Default");
  book->Pages()->SetCommaText("Intro,Setup,Finish");
  ASSERT_EQ(book->PageCount(), 3);
  auto* button = new TPanel(owner);
  button->SetParent(book->Page(1));
  int changed = 0;
  book->OnPageChanged = [&](TObject*) { ++changed; };
  EXPECT_EQ(book->PageIndex(), 0);
  book->SetActivePage("Setup");
  EXPECT_EQ(book->PageIndex(), 1);
  EXPECT_EQ(book->ActivePage(), "Setup");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(book->Page(i)->Visible(), i == 1);
  root->HandleNeeded();
  EXPECT_EQ(book->Page(1)->Width(), 200);
  EXPECT_TRUE(button->Showing());
  EXPECT_FALSE(book->Page(0)->Showing());
  book->SetActivePage("nowhere");
  book->SetPageIndex(9);
  EXPECT_EQ(book->PageIndex(), 1);
  EXPECT_EQ(changed, 1);
  // Deleting the active page shows the one that takes its place.
  book->Pages()->Delete(1);
  EXPECT_EQ(book->ActivePage(), "Finish");
  EXPECT_TRUE(book->Page(1)->Visible());
  EXPECT_EQ(book->Pages()->Objects(0), book->Page(0));
}

// A form resource lists a notebook's pages as unnamed objects holding their
// controls: they replace the default page, keep their order, and the page
// index read before them stays the one shown.
TEST_F(ExtCtrlsTest, NotebookPagesComeFromTheFormResourceWithTheirControls) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  qv::classlib::readComponentText(R"(object F: TForm
  object Book: TNotebook
    Left = 0
    Top = 0
    Width = 200
    Height = 100
    PageIndex = 1
    object TPage
      Left = 0
      Top = 0
      Caption = 'First'
      object FirstEdit: TEdit
        Left = 8
        Top = 8
        Width = 50
        Height = 21
      end
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'Second'
      object SecondBox: TCheckBox
        Left = 8
        Top = 8
        Width = 50
        Height = 17
      end
    end
  end
end
)",
                                  form.get());
  auto* book = dynamic_cast<TNotebook*>(form->FindComponent("Book"));
  ASSERT_NE(book, nullptr);
  EXPECT_EQ(book->Pages()->CommaText(), "First,Second");
  EXPECT_EQ(book->ActivePage(), "Second");
  EXPECT_EQ(book->Page(0)->Owner(), book);
  auto* edit = dynamic_cast<TControl*>(form->FindComponent("FirstEdit"));
  auto* box = dynamic_cast<TControl*>(form->FindComponent("SecondBox"));
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(edit->Parent(), book->Page(0));
  EXPECT_EQ(box->Parent(), book->Page(1));
  EXPECT_FALSE(book->Page(0)->Visible());
  EXPECT_TRUE(book->Page(1)->Visible());
}

TEST_F(ExtCtrlsTest, BevelLinesUseTheStylesColours) {
  auto* bevel = new TBevel(owner);
  bevel->SetParent(root);
  bevel->SetBounds(0, 0, 20, 10);
  bevel->SetShape(bsTopLine);
  root->HandleNeeded();
  PaintedBitmap lowered(bevel, 20, 10);
  EXPECT_EQ(lowered.at(5, 0), sys(COLOR_BTNSHADOW));
  EXPECT_EQ(lowered.at(5, 1), sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(lowered.at(5, 2), RGB(0, 0, 0));
  bevel->SetStyle(bsRaised);
  bevel->SetShape(bsBox);
  PaintedBitmap raised(bevel, 20, 10);
  EXPECT_EQ(raised.at(0, 5), sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(raised.at(19, 5), sys(COLOR_BTNSHADOW));
  EXPECT_EQ(raised.at(5, 9), sys(COLOR_BTNSHADOW));
}

}  // namespace
