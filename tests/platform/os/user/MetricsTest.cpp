#include "UserFixture.h"
#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/GdiObject.h"

using namespace usertest;

namespace {

class MetricsTest : public UserTest {};

TEST_F(MetricsTest, ClassicMetricsWithTheScreenFromTheProfile) {
  struct Case {
    int index;
    int value;
  };
  const Case cases[] = {{SM_CXSCREEN, 1024}, {SM_CYSCREEN, 768},  {SM_CXVSCROLL, 16},  {SM_CYHSCROLL, 16},
                        {SM_CYCAPTION, 19},  {SM_CXBORDER, 1},    {SM_CXEDGE, 2},      {SM_CXFRAME, 4},
                        {SM_CXDLGFRAME, 3},  {SM_CXICON, 32},     {SM_CXSMICON, 16},   {SM_CYMENU, 19},
                        {SM_CXCURSOR, 32},   {SM_CXDOUBLECLK, 4}, {SM_CXDRAG, 4},      {SM_CYSMCAPTION, 16},
                        {SM_CXFULLSCREEN, 1024}, {SM_CYFULLSCREEN, 738 - 19}, {SM_CXMAXIMIZED, 1032},
                        {SM_CMOUSEBUTTONS, 3}, {SM_MOUSEPRESENT, 1}, {SM_SWAPBUTTON, 0}, {9999, 0}};
  for (const Case& c : cases) EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
  auto& p = qv::desktop::profile();
  p.screenWidth = 800;
  p.extra["metric.SM_CXVSCROLL"] = "17";
  p.extra["metric.4"] = "25";
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 25);
  RECT wa;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0));
  EXPECT_EQ(wa.right, 800);
  EXPECT_EQ(wa.bottom, 738);
  BOOL shadow = TRUE;
  EXPECT_TRUE(SystemParametersInfo(SPI_GETDROPSHADOW, 0, &shadow, 0));
  EXPECT_FALSE(shadow);
  EXPECT_FALSE(SystemParametersInfo(0x7777, 0, &shadow, 0));
  EXPECT_EQ(GetDoubleClickTime(), 500u);
}

TEST_F(MetricsTest, SystemColoursAreTheClassicSchemeAndOverridable) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
  EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
  EXPECT_EQ(GetSysColor(COLOR_MENUBAR), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(31), 0u);
  EXPECT_EQ(GetSysColorBrush(31), nullptr);
  qvtest::DesktopTest::TearDown();
  qvtest::DesktopTest::SetUp();
  qv::desktop::profile().extra["syscolor.COLOR_BTNFACE"] = "#ECE9D8";
  qv::desktop::profile().extra["syscolor.5"] = "1,2,3";
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(0xEC, 0xE9, 0xD8));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(1, 2, 3));
}

TEST_F(MetricsTest, SysColorBrushesSurviveDeleteObjectAndFollowSetSysColors) {
  HBRUSH b = GetSysColorBrush(COLOR_BTNFACE);
  ASSERT_NE(b, nullptr);
  DeleteObject(b);
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), b);
  LOGBRUSH lb{};
  ASSERT_EQ(GetObject(b, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(212, 208, 200));

  HWND hidden = make(WS_POPUP, {0, 0, 10, 10});
  int e = COLOR_BTNFACE;
  COLORREF c = RGB(1, 2, 3);
  EXPECT_TRUE(SetSysColors(1, &e, &c));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), c);
  GetObject(b, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, c);
  EXPECT_EQ(names({WM_SYSCOLORCHANGE}, hidden), (std::vector<std::string>{"WM_SYSCOLORCHANGE"}));
}

}  // namespace
