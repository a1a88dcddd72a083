// The navigation bar's shared drawing resources: the task-pane style sheet
// read into fonts and a border colour, the shell style's counted lifetime,
// and the view colour sets with their bitmaps under each XP colour scheme.
#include "navbar/uiNavBarGraphics.h"

#include <gtest/gtest.h>

#include <string>

#include "DesktopTest.h"
#include "lookandfeel/uiOffice11.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/ShellStyle.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/user/SysColors.h"

namespace {

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

class NavBarGraphics : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
    qv::modules::registerUxTheme();
  }
  // The unit on a desktop with the given visual styles and scheme.
  void start(ModuleProfile styles = ModuleProfile::Absent, const std::string& scheme = "NormalColor",
             const std::string& file = "Luna.msstyles") {
    profile().visualStyles = styles;
    profile().themesActive = styles == ModuleProfile::Themed;
    profile().themeColorName = scheme;
    profile().themeFileName = file;
    qv::modules::registerUxTheme();
    qv::classlib::InitializeUnit(uiNavBarGraphicsUnit);
  }
  static TFont* fontOf(const std::string& sheet, const std::string& selector) {
    static TFont font;
    font.SetSize(8);
    font.SetStyle({});
    font.SetColor(clRed);
    TuiStyleSheetParser(sheet).ApplyFontStyle(&font, selector);
    return &font;
  }
};

// --- the style-sheet parser ----------------------------------------------------------

TEST_F(NavBarGraphics, StyleSheetRulesSetFontSizeWeightDecorationAndColour) {
  start();
  struct Row {
    const char* sheet;
    const char* selector;
    int size;
    bool bold, underline;
    TColor color;
  };
  const Row table[] = {
      {"A {font-size: 10pt; font-weight: bold; text-decoration: underline; color: #0000FF}", "A ", 10, true, true,
       static_cast<TColor>(RGB(0, 0, 255))},
      {"a {color: navy; text-decoration: none}", "A ", 8, false, false, clNavy},
      // Only the first line that begins with the selector counts, and "A "
      // does not begin "A:HOVER".
      {"a:hover {font-weight: bold}\na {font-size: 12pt}\na {font-size: 14pt}", "A ", 12, false, false, clRed},
      // Black is never applied; an unknown name leaves the colour.
      {"body {color: #000000}", "BODY ", 8, false, false, clRed},
      {"body {color: notacolour}", "BODY ", 8, false, false, clRed},
      // A COLOR: inside BACKGROUND-COLOR: is not the text colour.
      {"body {background-color: #00FF00}", "BODY ", 8, false, false, clRed},
      {"body {background-color: #00FF00; color: #0000FE}", "BODY ", 8, false, false,
       static_cast<TColor>(RGB(0, 0, 254))},
      // Whole points only: 8.5pt is 8, not 85.
      {"body {font-size: 8.5pt}", "BODY ", 8, false, false, clRed},
      {"body {font-size: 9pt}", "BODY ", 9, false, false, clRed},
      // Bad values change nothing and raise nothing.
      {"body {color: #12; font-size: 99999999999999pt; font-weight: heavy}", "BODY ", 8, false, false, clRed},
      {"body {color: #GGHHII}", "BODY ", 8, false, false, clRed},
      // The last declaration of a line needs no ";".
      {"body {font-weight: bold}", "BODY ", 8, true, false, clRed},
      {"body {font-weight: bold", "BODY ", 8, true, false, clRed},
  };
  for (const Row& r : table) {
    SCOPED_TRACE(r.sheet);
    TFont* f = nullptr;
    ASSERT_NO_THROW(f = fontOf(r.sheet, r.selector));
    EXPECT_EQ(f->Size(), r.size);
    EXPECT_EQ(f->Style().Contains(fsBold), r.bold);
    EXPECT_EQ(f->Style().Contains(fsUnderline), r.underline);
    EXPECT_EQ(f->Color(), r.color);
  }
}

TEST_F(NavBarGraphics, ValuesAndBorderColoursOfRuleLines) {
  start();
  struct Row {
    const char* line;
    const char* name;
    const char* value;
  };
  const Row table[] = {
      {"a{color:#215DC6;font-size:8pt}", "COLOR:", "#215DC6"},
      {"a{color:#215DC6}", "COLOR:", "#215DC6"},
      {"a{color:Navy", "color:", "Navy"},
      {"a{font-size:8pt}", "COLOR:", ""},
      {"a{background-color:#FFFFFF}", "COLOR:", ""},
      {"a{background-color:#FFFFFF;color:red}", "COLOR:", "red"},
  };
  for (const Row& r : table) EXPECT_EQ(TuiStyleSheetParser::GetValue(r.line, r.name), r.value) << r.line;

  TColor border = clNone;
  TuiStyleSheetParser(".learnaboutbox {border: 1px solid #FFFFFF; padding: 10px}").ReadBorderColor(".LEARNABOUTBOX",
                                                                                                   border);
  EXPECT_EQ(border, static_cast<TColor>(RGB(255, 255, 255)));
  border = clNone;
  TuiStyleSheetParser(".learnaboutbox {border: 'teal'}").ReadBorderColor(".LEARNABOUTBOX", border);
  EXPECT_EQ(border, clTeal);
  border = clLime;
  TuiStyleSheetParser("body {}").ReadBorderColor(".LEARNABOUTBOX", border);
  EXPECT_EQ(border, clLime);
}

TEST_F(NavBarGraphics, JunkStyleSheetsGiveNothingAndRaiseNothing) {
  start();
  const std::string junk[] = {"", "\x01\x02\xff\xfe{{{;;;}}}", "body {font-size:", "body", "a {color: #",
                              std::string(3000, 'a') + " {color:#FFFFFF}", "body {color: #FF\0FF00}"};
  for (const std::string& sheet : junk) {
    SCOPED_TRACE(sheet.substr(0, 20));
    EXPECT_NO_THROW({
      TuiStyleSheetParser parser(sheet);
      TFont font;
      parser.ApplyFontStyle(&font, "BODY ");
      parser.ApplyFontStyle(&font, "A ");
      TColor c = clNone;
      parser.ReadBorderColor(".LEARNABOUTBOX", c);
    });
  }
}

// --- the shell style -----------------------------------------------------------------

TEST_F(NavBarGraphics, TheShellStyleLivesWhileItIsHeld) {
  profile().shellStyle = true;
  start();
  EXPECT_FALSE(IsShellStyleLoaded());
  EXPECT_EQ(ShellStyleLinkFont(), nullptr);
  AddRefXPExplorerBarStyle();
  ASSERT_TRUE(IsShellStyleLoaded());
  ASSERT_NE(ShellStyleBitmap(ssbCollapse), nullptr);
  EXPECT_EQ(ShellStyleBitmap(ssbCollapse)->Width(), 22);
  EXPECT_EQ(ShellStyleBitmap(ssbBackground)->Height(), 256);
  // The module's sheet: links in #215DC6 without underline, hot links
  // underlined in #428EFF, captions bold, the box bordered in white.
  EXPECT_EQ(ShellStyleLinkFont()->Color(), static_cast<TColor>(RGB(0x21, 0x5D, 0xC6)));
  EXPECT_FALSE(ShellStyleLinkFont()->Style().Contains(fsUnderline));
  EXPECT_TRUE(ShellStyleLinkHotFont()->Style().Contains(fsUnderline));
  EXPECT_EQ(ShellStyleLinkHotFont()->Color(), static_cast<TColor>(RGB(0x42, 0x8E, 0xFF)));
  EXPECT_TRUE(ShellStyleCaptionFont()->Style().Contains(fsBold));
  EXPECT_TRUE(ShellStyleCaptionHotFont()->Style().Contains(fsUnderline));
  EXPECT_FALSE(ShellStyleLinkFont()->Style().Contains(fsBold));
  EXPECT_EQ(ShellStyleBorderColor(), static_cast<TColor>(RGB(255, 255, 255)));

  // A second user shares what the first loaded; the last release frees it.
  TBitmap* first = ShellStyleBitmap(ssbCollapse);
  AddRefXPExplorerBarStyle();
  EXPECT_EQ(ShellStyleBitmap(ssbCollapse), first);
  ReleaseXPExplorerBarStyle();
  EXPECT_TRUE(IsShellStyleLoaded());
  ReleaseXPExplorerBarStyle();
  EXPECT_FALSE(IsShellStyleLoaded());
  EXPECT_EQ(ShellStyleBitmap(ssbCollapse), nullptr);
  EXPECT_EQ(ShellStyleBorderColor(), clNone);
  ReleaseXPExplorerBarStyle();
  EXPECT_EQ(XPExplorerBarStyleRefCount(), 0) << "a release without a user does nothing";
  AddRefXPExplorerBarStyle();
  EXPECT_TRUE(IsShellStyleLoaded()) << "a later first user loads anew";
  ReleaseXPExplorerBarStyle();
}

TEST_F(NavBarGraphics, WithoutTheShellStyleModuleEverythingStaysEmpty) {
  profile().shellStyle = false;
  start();
  AddRefXPExplorerBarStyle();
  EXPECT_FALSE(IsShellStyleLoaded());
  for (int i = 0; i < kShellStyleBitmapCount; ++i)
    EXPECT_EQ(ShellStyleBitmap(static_cast<TuiShellStyleBitmap>(i)), nullptr);
  ASSERT_NE(ShellStyleLinkFont(), nullptr) << "the fonts keep the message font";
  EXPECT_EQ(ShellStyleBorderColor(), clNone);
  EXPECT_EQ(LoadShellStyleText("CPWEBVW.CSS"), "");
  ReleaseXPExplorerBarStyle();
}

// --- view colour sets ----------------------------------------------------------------

struct SchemeCase {
  const char* name;
  ModuleProfile styles;
  const char* scheme;
  const char* file;
  int expected;
};

class XPColorScheme : public NavBarGraphics, public ::testing::WithParamInterface<SchemeCase> {};

TEST_P(XPColorScheme, ComesFromLunasColourName) {
  const SchemeCase& c = GetParam();
  start(c.styles, c.scheme, c.file);
  EXPECT_EQ(GetXPColorScheme(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Themes, XPColorScheme,
    ::testing::Values(SchemeCase{"Blue", ModuleProfile::Themed, "NormalColor", "Luna.msstyles", 1},
                      SchemeCase{"OliveInAFolder", ModuleProfile::Themed, "Homestead",
                                 "C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", 2},
                      SchemeCase{"Silver", ModuleProfile::Themed, "Metallic", "Luna.msstyles", 3},
                      SchemeCase{"UnknownScheme", ModuleProfile::Themed, "Ocean", "Luna.msstyles", 0},
                      SchemeCase{"OtherTheme", ModuleProfile::Themed, "NormalColor", "Royale.msstyles", 0},
                      SchemeCase{"ThemesOff", ModuleProfile::Classic, "NormalColor", "Luna.msstyles", 0},
                      SchemeCase{"NoLibrary", ModuleProfile::Absent, "NormalColor", "Luna.msstyles", 0}),
    [](const ::testing::TestParamInfo<SchemeCase>& info) { return info.param.name; });

TEST_F(NavBarGraphics, ExplorerBarColoursFollowTheBlueSchemeOrTheSystemColours) {
  start(ModuleProfile::Themed);
  AddRefExplorerBarColors();
  const TuiExplorerBarColors& c = ExplorerBarColors();
  EXPECT_EQ(c.BackgroundColor1, static_cast<TColor>(RGB(123, 162, 231)));
  EXPECT_EQ(c.BackgroundColor2, static_cast<TColor>(RGB(99, 117, 214)));
  EXPECT_EQ(c.LinkTextColor, static_cast<TColor>(RGB(33, 93, 198)));
  EXPECT_EQ(c.CaptionTextHotColor, c.LinkTextHotColor);
  EXPECT_EQ(c.CaptionSignColor, static_cast<TColor>(RGB(0, 60, 165)));
  EXPECT_EQ(c.SpecialCaptionSignHotColor, c.CaptionSignHotColor);
  EXPECT_EQ(c.SpecialCaptionTextColor, static_cast<TColor>(RGB(255, 255, 255)));
  EXPECT_EQ(c.SpecialCaptionTextHotColor, static_cast<TColor>(RGB(66, 142, 255)));

  // The user switches the visual styles off: the refresh takes the system
  // colours.
  qv::modules::ThemeProfile classic;
  classic.visualStyles = ModuleProfile::Classic;
  qv::modules::setThemeProfile(classic);
  RefreshExplorerBarColors();
  EXPECT_EQ(c.BackgroundColor1, static_cast<TColor>(ColorToRGB(clInactiveCaption)));
  EXPECT_EQ(c.GroupBackgroundColor, GetLightColor40(clInactiveCaption));
  EXPECT_EQ(c.SpecialCaptionTextColor, static_cast<TColor>(ColorToRGB(clCaptionText)));
  EXPECT_EQ(c.LinkTextColor, ExplorerBarDefaultTextColor({}));
  EXPECT_EQ(c.LinkTextHotColor, ExplorerBarDefaultTextColor({nbsHotTracked}));
  ReleaseExplorerBarColors();
}

TEST_F(NavBarGraphics, TheDefaultTextColourIsADarkToneOfTheHighlightColour) {
  start();
  const INT element = COLOR_HIGHLIGHT;
  const COLORREF navy = RGB(0, 0, 128);
  SetSysColors(1, &element, &navy);
  // Navy: every channel 15 lower (none below 0), red 5 warmer.
  const TColor base = static_cast<TColor>(RGB(10, 15, 113));
  EXPECT_EQ(ExplorerBarDefaultTextColor({}), base);
  EXPECT_EQ(ExplorerBarDefaultTextColor({nbsDisabled}), GetLightColor40(base));
  for (TuiNavBarDrawState s : {nbsHotTracked, nbsPressed, nbsSelected})
    EXPECT_EQ(ExplorerBarDefaultTextColor({s}), GetLightColor80(base));
  EXPECT_EQ(ExplorerBarDefaultTextColor({nbsActive, nbsExpanded}), base);
}

TEST_F(NavBarGraphics, Office11ViewColoursFollowTheBlueSchemeOrMixesOfFaceAndWindow) {
  start(ModuleProfile::Themed);
  AddRefOffice11ViewColors();
  const TuiOffice11ViewColors& c = Office11ViewColors();
  EXPECT_EQ(c.Office11BackgroundColor1, static_cast<TColor>(RGB(196, 218, 250)));
  EXPECT_EQ(c.Office11CaptionColor2, static_cast<TColor>(RGB(101, 143, 224)));
  EXPECT_EQ(c.Office11LinkTextColor, static_cast<TColor>(RGB(0, 61, 178)));
  qv::modules::ThemeProfile classic;
  classic.visualStyles = ModuleProfile::Classic;
  qv::modules::setThemeProfile(classic);
  RefreshOffice11ViewColors();
  EXPECT_EQ(c.Office11BackgroundColor1, MixColorsByPercent(clBtnFace, clWindow, 50));
  EXPECT_EQ(c.Office11GroupBorderColor, MixColorsByPercent(clBtnFace, clWindow, 5));
  EXPECT_EQ(c.Office11CaptionTextColor, static_cast<TColor>(0));
  EXPECT_EQ(c.Office11LinkTextColor, static_cast<TColor>(RGB(0, 0, 255)));
  ReleaseOffice11ViewColors();
}

TEST_F(NavBarGraphics, ViewBitmapsLiveWhileASetIsHeldAndARefreshWithoutUsersLoadsNone) {
  start(ModuleProfile::Themed);
  RefreshExplorerBarColors();
  EXPECT_EQ(ExplorerBarColors().BackgroundColor1, static_cast<TColor>(RGB(123, 162, 231)))
      << "a refresh recomputes the colours";
  EXPECT_EQ(ExplorerBarCollapseSignBitmap(), nullptr) << "but loads no bitmaps";
  AddRefExplorerBarColors();
  AddRefExplorerBarColors();
  ASSERT_NE(ExplorerBarCollapseSignBitmap(), nullptr);
  EXPECT_EQ(ExplorerBarCollapseSignBitmap()->Width(), 22);
  EXPECT_EQ(ExplorerBarExpandSignBitmap()->Height(), 22);
  ReleaseExplorerBarColors();
  EXPECT_NE(ExplorerBarCollapseSignBitmap(), nullptr);
  ReleaseExplorerBarColors();
  EXPECT_EQ(ExplorerBarCollapseSignBitmap(), nullptr);

  AddRefOffice11ViewColors();
  EXPECT_EQ(Office11ExpandSignBitmap()->Width(), 16);
  ReleaseOffice11ViewColors();
  EXPECT_EQ(Office11ExpandSignBitmap(), nullptr);

  AddRefNavBarBitmaps();
  struct Size {
    TuiNavPaneBitmap role;
    int w, h;
  };
  for (const Size& s : {Size{npbOverflow, 13, 17}, Size{npbSplitter, 37, 5}, Size{npbArrowUp, 16, 16},
                        Size{npbArrowDown, 16, 16}, Size{npbDefaultLarge, 32, 32}, Size{npbDefaultSmall, 16, 16}}) {
    TBitmap* b = NavPaneBitmap(s.role);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width(), s.w);
    EXPECT_EQ(b->Height(), s.h);
    EXPECT_TRUE(b->Transparent());
  }
  ReleaseNavBarBitmaps();
  EXPECT_EQ(NavPaneBitmap(npbOverflow), nullptr);
}

TEST_F(NavBarGraphics, ColourHelpersLightenAndDarken) {
  start();
  EXPECT_EQ(GetLightColor40(static_cast<TColor>(RGB(0, 100, 255))), static_cast<TColor>(RGB(153, 193, 255)));
  EXPECT_EQ(GetLightColor80(static_cast<TColor>(RGB(0, 100, 255))), static_cast<TColor>(RGB(51, 131, 255)));
  EXPECT_EQ(GetScaledColor60(static_cast<TColor>(RGB(0, 100, 255))), static_cast<TColor>(RGB(0, 60, 153)));
  EXPECT_EQ(GetLightColor20(clBlack), static_cast<TColor>(RGB(204, 204, 204)));
  EXPECT_EQ(ComposeGPColor(0x80, 1, 2, 3), 0x80010203u);
  EXPECT_EQ(ColorToGPColor(static_cast<TColor>(RGB(1, 2, 3)), 255), 0xFF010203u);
}

}  // namespace
