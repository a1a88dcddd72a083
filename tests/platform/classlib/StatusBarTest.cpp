// The status bar: its defaults, where its panels lie, and what it paints for
// the simple text and for panels.
#include <gtest/gtest.h>

#include <string>

#include "DesktopTest.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/os/user/User.h"

namespace {

class StatusBarTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    bar = new TStatusBar(nullptr);
    bar->SetBounds(0, 0, 200, 19);
    bar->SetSizeGrip(false);
  }
  void TearDown() override {
    delete bar;
    qvtest::DesktopTest::TearDown();
  }
  void paint() {
    shot.SetSize(bar->Width(), bar->Height());
    bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.Canvas()->Handle()), 0);
  }
  COLORREF at(int x, int y) { return static_cast<COLORREF>(shot.Canvas()->Pixels(x, y)); }
  // Pixels of the text colour in a rectangle of the shot.
  int inked(int l, int t, int r, int b) {
    int n = 0;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) n += at(x, y) == ColorToRGB(clBtnText);
    return n;
  }
  TStatusBar* bar = nullptr;
  TBitmap shot;
};

TEST_F(StatusBarTest, DefaultsAndPanelRects) {
  TStatusBar fresh(nullptr);
  EXPECT_EQ(fresh.Align(), alBottom);
  EXPECT_EQ(fresh.Height(), 19);
  EXPECT_TRUE(fresh.SizeGrip());
  EXPECT_EQ(fresh.Color(), clBtnFace);

  bar->Panels()->Add()->SetWidth(50);
  bar->Panels()->Add()->SetWidth(80);
  bar->Panels()->Add()->SetWidth(10);
  struct Case {
    int index;
    TRect rect;
  };
  // Two pixels apart; the last reaches the right edge whatever its width.
  const Case cases[] = {{0, {0, 2, 50, 19}}, {1, {52, 2, 132, 19}}, {2, {134, 2, 200, 19}}, {3, {0, 0, 0, 0}}};
  for (const Case& c : cases) {
    TRect r = bar->PanelRect(c.index);
    EXPECT_TRUE(r.left == c.rect.left && r.top == c.rect.top && r.right == c.rect.right && r.bottom == c.rect.bottom)
        << "panel " << c.index << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
  // The size grip takes its corner from the last panel.
  bar->SetSizeGrip(true);
  EXPECT_EQ(bar->PanelRect(2).right, 200 - GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(StatusBarTest, PaintsSimpleTextOrPanels) {
  bar->Panels()->Add()->SetText("Links");
  bar->Panels()->Items(0)->SetWidth(100);
  bar->Panels()->Add()->SetText("");
  paint();
  // A lowered panel: shadow on its top-left, highlight on its bottom-right.
  EXPECT_EQ(at(0, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(at(99, 18), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(at(100, 10), ColorToRGB(clBtnFace));
  EXPECT_GT(inked(2, 3, 98, 18), 0);
  EXPECT_EQ(inked(102, 3, 198, 18), 0);

  // The simple panel hides the panels and shows SimpleText across the bar.
  bar->SetSimplePanel(true);
  bar->SetSimpleText("");
  paint();
  EXPECT_EQ(inked(2, 3, 198, 18), 0);
  EXPECT_EQ(at(102, 2), ColorToRGB(clBtnShadow));
  bar->SetSimpleText("Bereit");
  paint();
  EXPECT_GT(inked(2, 3, 98, 18), 0);
}

}  // namespace
