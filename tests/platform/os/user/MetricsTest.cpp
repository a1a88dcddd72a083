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

// The classic scheme in full, index by index: the pixel tests elsewhere take
// their colours from GetSysColor, so a wrong entry shows only here.
TEST_F(MetricsTest, SystemColoursAreTheClassicSchemeAndOverridable) {
  struct Entry {
    int index;
    int constant;
    const char* name;
    COLORREF colour;
  };
  const Entry scheme[] = {
      {0, COLOR_SCROLLBAR, "COLOR_SCROLLBAR", RGB(212, 208, 200)},
      {1, COLOR_BACKGROUND, "COLOR_BACKGROUND", RGB(58, 110, 165)},
      {2, COLOR_ACTIVECAPTION, "COLOR_ACTIVECAPTION", RGB(10, 36, 106)},
      {3, COLOR_INACTIVECAPTION, "COLOR_INACTIVECAPTION", RGB(128, 128, 128)},
      {4, COLOR_MENU, "COLOR_MENU", RGB(212, 208, 200)},
      {5, COLOR_WINDOW, "COLOR_WINDOW", RGB(255, 255, 255)},
      {6, COLOR_WINDOWFRAME, "COLOR_WINDOWFRAME", RGB(0, 0, 0)},
      {7, COLOR_MENUTEXT, "COLOR_MENUTEXT", RGB(0, 0, 0)},
      {8, COLOR_WINDOWTEXT, "COLOR_WINDOWTEXT", RGB(0, 0, 0)},
      {9, COLOR_CAPTIONTEXT, "COLOR_CAPTIONTEXT", RGB(255, 255, 255)},
      {10, COLOR_ACTIVEBORDER, "COLOR_ACTIVEBORDER", RGB(212, 208, 200)},
      {11, COLOR_INACTIVEBORDER, "COLOR_INACTIVEBORDER", RGB(212, 208, 200)},
      {12, COLOR_APPWORKSPACE, "COLOR_APPWORKSPACE", RGB(128, 128, 128)},
      {13, COLOR_HIGHLIGHT, "COLOR_HIGHLIGHT", RGB(10, 36, 106)},
      {14, COLOR_HIGHLIGHTTEXT, "COLOR_HIGHLIGHTTEXT", RGB(255, 255, 255)},
      {15, COLOR_BTNFACE, "COLOR_BTNFACE", RGB(212, 208, 200)},
      {16, COLOR_BTNSHADOW, "COLOR_BTNSHADOW", RGB(128, 128, 128)},
      {17, COLOR_GRAYTEXT, "COLOR_GRAYTEXT", RGB(128, 128, 128)},
      {18, COLOR_BTNTEXT, "COLOR_BTNTEXT", RGB(0, 0, 0)},
      {19, COLOR_INACTIVECAPTIONTEXT, "COLOR_INACTIVECAPTIONTEXT", RGB(212, 208, 200)},
      {20, COLOR_BTNHIGHLIGHT, "COLOR_BTNHIGHLIGHT", RGB(255, 255, 255)},
      {21, COLOR_3DDKSHADOW, "COLOR_3DDKSHADOW", RGB(64, 64, 64)},
      {22, COLOR_3DLIGHT, "COLOR_3DLIGHT", RGB(212, 208, 200)},
      {23, COLOR_INFOTEXT, "COLOR_INFOTEXT", RGB(0, 0, 0)},
      {24, COLOR_INFOBK, "COLOR_INFOBK", RGB(255, 255, 225)},
      {25, 25, "(unnamed: the alternate button face)", RGB(181, 181, 181)},
      {26, COLOR_HOTLIGHT, "COLOR_HOTLIGHT", RGB(0, 0, 128)},
      {27, COLOR_GRADIENTACTIVECAPTION, "COLOR_GRADIENTACTIVECAPTION", RGB(166, 202, 240)},
      {28, COLOR_GRADIENTINACTIVECAPTION, "COLOR_GRADIENTINACTIVECAPTION", RGB(192, 192, 192)},
      {29, COLOR_MENUHILIGHT, "COLOR_MENUHILIGHT", RGB(10, 36, 106)},
      {30, COLOR_MENUBAR, "COLOR_MENUBAR", RGB(212, 208, 200)},
  };
  for (const Entry& e : scheme) {
    EXPECT_EQ(e.constant, e.index) << e.name;
    EXPECT_EQ(GetSysColor(e.index), e.colour) << e.name;
    // The colour's brush paints that colour.
    LOGBRUSH lb{};
    ASSERT_EQ(GetObject(GetSysColorBrush(e.index), sizeof lb, &lb), static_cast<int>(sizeof lb)) << e.name;
    EXPECT_EQ(lb.lbColor, e.colour) << e.name;
  }
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
