// Speed buttons: groups with Down and AllowAllUp, clicks, and the glyph
// drawn with its transparent colour and its disabled image.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Buttons.h"
#include "platform/classlib/Forms.h"
#include "platform/os/user/User.h"

namespace {

class THost : public TCustomControl {
  QV_CLASS(THost, TCustomControl)
  explicit THost(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle.Include(csAcceptsControls); }
};

class SpeedButtonTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    host = new THost(nullptr);
    host->SetBounds(0, 0, 200, 50);
    host->SetParentWindow(Application->Handle());
  }
  void TearDown() override {
    delete host;
    qvtest::DesktopTest::TearDown();
  }
  TSpeedButton* add(int left, int group) {
    auto* b = new TSpeedButton(host);
    b->SetBounds(left, 0, 25, 25);
    b->SetGroupIndex(group);
    b->SetParent(host);
    b->OnClick = [this, b](TObject*) { log.push_back(std::to_string(b->Left()) + (b->Down() ? " down" : " up")); };
    return b;
  }
  void click(TSpeedButton* b) {
    host->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b->Left() + 5, 5));
    host->Perform(WM_LBUTTONUP, 0, MAKELPARAM(b->Left() + 5, 5));
  }
  THost* host = nullptr;
  std::vector<std::string> log;
};

TEST_F(SpeedButtonTest, GroupsDownAndAllowAllUp) {
  TSpeedButton* plain = add(0, 0);
  TSpeedButton* a = add(30, 1);
  TSpeedButton* b = add(60, 1);
  TSpeedButton* other = add(90, 2);
  // Without a group a button does not stay down, in code or by a click.
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
  click(plain);
  other->SetDown(true);
  click(a);
  click(b);
  click(b);  // the last down button of a group stays down
  EXPECT_EQ(log, (std::vector<std::string>{"0 up", "30 down", "60 down", "60 down"}));
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(other->Down());

  // Down in code fires nothing and raises the others of the group.
  log.clear();
  a->SetDown(true);
  EXPECT_FALSE(b->Down());
  EXPECT_TRUE(log.empty());
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
  click(a);
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(log, std::vector<std::string>{"30 up"});
}

TEST_F(SpeedButtonTest, DrawsTheGlyphForItsState) {
  // Two 8 x 8 glyphs: up in red, disabled in blue, each with a fuchsia
  // corner (the bottom-left pixel: the transparent colour).
  TBitmap glyph;
  glyph.SetSize(16, 8);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(RECT{0, 0, 8, 8});
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(RECT{8, 0, 16, 8});
  for (int x : {0, 8}) glyph.Canvas()->SetPixels(x, 7, clFuchsia);
  TSpeedButton* b = add(0, 0);
  b->SetGlyph(&glyph);
  EXPECT_EQ(b->NumGlyphs(), 2);

  TBitmap shot;
  shot.SetSize(200, 50);
  auto paint = [&] { host->PaintControls(shot.Canvas()->Handle(), nullptr); };
  paint();
  // Centred in 25 x 25: the glyph covers (8, 8) to (16, 16).
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(12, 10)), RGB(255, 0, 0));
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(8, 15)), ColorToRGB(clBtnFace));
  b->SetEnabled(false);
  EXPECT_EQ(b->State(), bsDisabled);
  paint();
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(12, 10)), RGB(0, 0, 255));
  // Pressed, the glyph moves one pixel right and down.
  b->SetEnabled(true);
  host->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(b->State(), bsDown);
  paint();
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(16, 16)), RGB(255, 0, 0));
  host->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(b->State(), bsUp);
}

}  // namespace
