// Office 2003 colours: the XP colour scheme found from the theme, the shared
// colour set with its brushes and bitmaps (counted users, rebuilt in place),
// colour arithmetic, the gradient fill with and without msimg32.dll, and the
// size grip, as pixels of small memory bitmaps.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "DesktopTest.h"
#include "lookandfeel/lkGraphics.h"
#include "lookandfeel/uiOffice11.h"
#include "lookandfeel/uiThemeManager.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/user/SysColors.h"

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

namespace {

// The classic colours the system-colour cases are computed from.
constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kWindow = RGB(255, 255, 255);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kHighlight = RGB(10, 36, 106);

void setSysColor(int index, COLORREF value) { SetSysColors(1, &index, &value); }

struct Desktop {
  ModuleProfile styles = ModuleProfile::Absent;
  std::string file = "Luna.msstyles";
  std::string color = "NormalColor";
  DWORD major = 5;
};

class Office11 : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    while (Office11ColorSetRefCount() > 0) ReleaseOffice11ColorSet();
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }

  // Puts the desktop in place, then starts the unit (which starts the theme
  // units it uses).
  static void start(const Desktop& d = {}) {
    profile().osMajor = d.major;
    profile().osMinor = d.major == 5 ? 1 : 0;
    profile().visualStyles = d.styles;
    profile().themesActive = d.styles == ModuleProfile::Themed;
    profile().themeFileName = d.file;
    profile().themeColorName = d.color;
    qv::modules::registerUxTheme();
    setSysColor(COLOR_BTNFACE, kFace);
    setSysColor(COLOR_WINDOW, kWindow);
    setSysColor(COLOR_BTNSHADOW, kShadow);
    setSysColor(COLOR_HIGHLIGHT, kHighlight);
    qv::classlib::InitializeUnit(uiOffice11Unit);
  }

  static void switchTheme(ModuleProfile styles, const std::string& color) {
    qv::modules::ThemeProfile t;
    t.visualStyles = styles;
    t.colorName = color;
    qv::modules::setThemeProfile(t);
  }

  static COLORREF entry(int n) { return ColorToRGB(Office11ColorSet()[n]); }

  // The colour a brush paints.
  static COLORREF brushColor(HBRUSH brush) {
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(1, 1);
    RECT r{0, 0, 1, 1};
    FillRect(b.Canvas()->Handle(), &r, brush);
    return ColorToRGB(b.Canvas()->Pixels(0, 0));
  }
};

// A 32-bit bitmap filled with one colour.
struct Surface {
  TBitmap bitmap;
  Surface(int w, int h, TColor fill) {
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(w, h);
    bitmap.Canvas()->Brush()->SetColor(fill);
    bitmap.Canvas()->FillRect(TRect{0, 0, w, h});
  }
  HDC dc() { return bitmap.Canvas()->Handle(); }
  COLORREF at(int x, int y) { return ColorToRGB(bitmap.Canvas()->Pixels(x, y)); }
  // The colours along the middle row (or column), one per pixel.
  std::vector<COLORREF> line(bool horizontal) {
    std::vector<COLORREF> v;
    const int n = horizontal ? bitmap.Width() : bitmap.Height();
    for (int i = 0; i < n; ++i) v.push_back(horizontal ? at(i, bitmap.Height() / 2) : at(bitmap.Width() / 2, i));
    return v;
  }
  // Rows separated by '|', one character per pixel by the legend.
  std::string picture(const std::vector<std::pair<COLORREF, char>>& legend) {
    std::string s;
    for (int y = 0; y < bitmap.Height(); ++y) {
      if (y) s += '|';
      for (int x = 0; x < bitmap.Width(); ++x) {
        char c = '?';
        for (const auto& [colour, ch] : legend)
          if (at(x, y) == colour) c = ch;
        s += c;
      }
    }
    return s;
  }
};

int runs(const std::vector<COLORREF>& v) {
  int n = 0;
  for (size_t i = 0; i < v.size(); ++i) n += i == 0 || v[i] != v[i - 1];
  return n;
}

// ---------------------------------------------------------------------------
// The XP colour scheme.

struct SchemeCase {
  const char* name;
  Desktop desktop;
  BYTE scheme;
};

class Office11Scheme : public Office11, public ::testing::WithParamInterface<SchemeCase> {};

TEST_P(Office11Scheme, ComesFromTheThemeNames) {
  const SchemeCase& c = GetParam();
  start(c.desktop);
  EXPECT_EQ(DetectXPColorScheme(), c.scheme);
  // A build keeps what it found; the set follows the scheme only when there
  // is one.
  AddRefOffice11ColorSet();
  EXPECT_EQ(Office11SchemeIndex(), c.scheme);
  EXPECT_EQ(IsXPSchemeActive(), c.scheme != xpcsNone);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, Office11Scheme,
    ::testing::Values(SchemeCase{"NoUxTheme", {ModuleProfile::Absent}, xpcsNone},
                      SchemeCase{"ThemesOff", {ModuleProfile::Classic}, xpcsNone},
                      SchemeCase{"LunaBlue", {ModuleProfile::Themed, "Luna.msstyles", "NormalColor"}, xpcsBlue},
                      SchemeCase{"LunaOliveAnyCase", {ModuleProfile::Themed, "luna.MSSTYLES", "homestead"}, xpcsOlive},
                      SchemeCase{"LunaSilver", {ModuleProfile::Themed, "Luna.msstyles", "Metallic"}, xpcsSilver},
                      SchemeCase{"LunaUnknownColour", {ModuleProfile::Themed, "Luna.msstyles", "Royale"}, xpcsNone},
                      SchemeCase{"OtherStyleOn5", {ModuleProfile::Themed, "Royale.msstyles", "NormalColor"}, xpcsNone},
                      SchemeCase{"OtherStyleOn6", {ModuleProfile::Themed, "Aero.msstyles", "NormalColor", 6}, xpcsBlue},
                      SchemeCase{
                          "OtherStyleOn6UnknownColour", {ModuleProfile::Themed, "Aero.msstyles", "Aero", 6}, xpcsNone}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The colour set.

struct SetCase {
  const char* name;
  Desktop desktop;
  std::vector<std::pair<int, COLORREF>> entries;
  // Entries that copy another: (entry, the entry it copies).
  std::vector<std::pair<int, int>> copies;
  int entry79;
};

void PrintTo(const SetCase& c, std::ostream* os) { *os << c.name; }

class Office11Set : public Office11, public ::testing::WithParamInterface<SetCase> {};

TEST_P(Office11Set, EntriesFollowTheSchemeOrTheSystemColours) {
  const SetCase& c = GetParam();
  start(c.desktop);
  AddRefOffice11ColorSet();
  for (const auto& [n, colour] : c.entries) EXPECT_EQ(entry(n), colour) << "entry " << n;
  for (const auto& [n, source] : c.copies) EXPECT_EQ(entry(n), entry(source)) << "entry " << n << " = " << source;
  EXPECT_EQ(Office11ColorSet().Entry79, c.entry79);
}

// The scheme table's telling columns, each with the entry of the set it
// fills while that scheme is active.
struct TellingColumn {
  int column;
  int entry;
  COLORREF blue, olive, silver;
};
constexpr TellingColumn kTellingColumns[] = {
    {0, 2, RGB(221, 236, 254), RGB(244, 247, 222), RGB(243, 244, 250)},
    {1, 3, RGB(129, 169, 226), RGB(183, 198, 145), RGB(153, 151, 181)},
    {2, 0, RGB(158, 190, 245), RGB(217, 217, 167), RGB(215, 215, 229)},
    {3, 1, RGB(195, 218, 249), RGB(242, 240, 228), RGB(243, 243, 247)},
    {4, 7, RGB(0, 53, 145), RGB(96, 119, 107), RGB(118, 116, 146)},
    {18, 38, RGB(0, 45, 150), RGB(117, 141, 94), RGB(124, 124, 148)},
    {20, 40, RGB(255, 238, 194), RGB(255, 238, 194), RGB(255, 238, 194)},
    {21, 41, RGB(0, 0, 128), RGB(63, 93, 56), RGB(75, 75, 111)},
    {28, 48, RGB(254, 128, 62), RGB(254, 128, 62), RGB(254, 128, 62)},
    {48, 76, RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)},
};

COLORREF times92(COLORREF c) {
  auto ch = [](int v) { return static_cast<BYTE>((v * 92 + 50) / 100); };
  return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

// Copies shared by the scheme and the system colours.
const std::vector<std::pair<int, int>> kCommonCopies = {{26, 2},  {27, 24}, {32, 2},  {33, 3},  {34, 2},
                                                        {35, 3},  {39, 31}, {50, 40}, {53, 38}, {54, 0},
                                                        {55, 15}, {56, 28}, {57, 38}};

std::vector<std::pair<int, int>> withCommonCopies(std::vector<std::pair<int, int>> copies) {
  copies.insert(copies.end(), kCommonCopies.begin(), kCommonCopies.end());
  return copies;
}

// A scheme's entries: its telling columns, the fixed colours of every
// scheme and the mixes of the gradient ends with black.
SetCase schemeCase(const char* name, const char* colourName, COLORREF TellingColumn::*scheme, int entry79) {
  std::vector<std::pair<int, COLORREF>> entries;
  COLORREF light = 0, dark = 0;
  for (const TellingColumn& t : kTellingColumns) {
    entries.emplace_back(t.entry, t.*scheme);
    if (t.entry == 2) light = t.*scheme;
    if (t.entry == 3) dark = t.*scheme;
  }
  entries.insert(entries.end(), {{22, RGB(0, 0, 0)},
                                 {23, RGB(255, 255, 255)},
                                 {28, RGB(255, 255, 255)},
                                 {29, RGB(0, 0, 0)},
                                 {30, RGB(0, 0, 0)},
                                 {62, RGB(253, 238, 201)},
                                 {36, times92(light)},
                                 {37, times92(dark)}});
  return SetCase{name, {ModuleProfile::Themed, "Luna.msstyles", colourName}, entries,
                 withCommonCopies({{64, 11}, {77, 74}, {78, 75}}), entry79};
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, Office11Set,
    ::testing::Values(schemeCase("Blue", "NormalColor", &TellingColumn::blue, 41),
                      schemeCase("Olive", "HomeStead", &TellingColumn::olive, 125),
                      schemeCase("Silver", "Metallic", &TellingColumn::silver, 40),
                      // Themes off: entry 2 is 22 % button face and 78 % window, entry 3
                      // 96 % button face; the rest are system colours and their mixes.
                      SetCase{"SystemColours",
                              {ModuleProfile::Classic},
                              {{0, kFace},
                               {1, RGB(246, 246, 244)},
                               {2, RGB(246, 245, 243)},
                               {3, RGB(214, 210, 202)},
                               {7, kShadow},
                               {18, RGB(158, 158, 158)},
                               {19, kWindow},
                               {36, times92(RGB(246, 245, 243))},
                               {37, times92(RGB(214, 210, 202))},
                               {38, kShadow},
                               {40, RGB(183, 191, 212)},  // -2 % face, 30 % highlight, 72 % window
                               {41, kHighlight},
                               {44, RGB(136, 147, 177)},  // = 48: 14 % face, 44 % highlight, 40 % window
                               {47, RGB(210, 211, 216)},
                               {55, RGB(170, 168, 164)},  // = 15: shadow and face half and half
                               {66, RGB(233, 231, 227)},
                               {67, RGB(213, 209, 201)},
                               {75, kShadow},
                               {77, kFace}},
                              withCommonCopies({{8, 5},   {9, 6},   {25, 3},  {42, 40}, {43, 40}, {44, 48},
                                                {45, 48}, {46, 3},  {49, 46}, {59, 47}, {60, 38}, {61, 0},
                                                {68, 42}, {69, 43}, {70, 47}, {71, 70}, {72, 48}, {73, 72},
                                                {74, 65}, {75, 65}, {78, 65}}),
                              75}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Office11, FirstUserBuildsTheBrushesAndBitmapsAndTheLastFreesThem) {
  start();
  const TOffice11ColorSet& set = Office11ColorSet();
  EXPECT_EQ(set.Brush(18), nullptr);
  EXPECT_EQ(set.SubMenuExpandBitmap, nullptr);

  AddRefOffice11ColorSet();
  const std::set<int> brushed = {18, 19, 20, 21, 31, 38, 40, 41, 46, 47, 48, 49, 55};
  for (int n = 0; n < kOffice11ColorCount; ++n) {
    ASSERT_EQ(set.Brush(n) != nullptr, brushed.count(n) == 1) << "entry " << n;
    if (set.Brush(n)) {
      EXPECT_EQ(brushColor(set.Brush(n)), entry(n)) << "entry " << n;
    }
  }
  ASSERT_NE(set.ExpandButtonMinusBitmap, nullptr);
  ASSERT_NE(set.ExpandButtonPlusBitmap, nullptr);
  ASSERT_NE(set.SubMenuExpandBitmap, nullptr);
  EXPECT_EQ(set.ExpandButtonPlusBitmap->Width(), 11);
  EXPECT_EQ(set.ExpandButtonMinusBitmap->Height(), 11);

  // Further users share what the first one built.
  const HBRUSH grip = set.Brush(18);
  AddRefOffice11ColorSet();
  EXPECT_EQ(set.Brush(18), grip);
  EXPECT_EQ(Office11ColorSetRefCount(), 2);
  ReleaseOffice11ColorSet();
  EXPECT_EQ(set.Brush(18), grip);

  ReleaseOffice11ColorSet();
  EXPECT_EQ(set.Brush(18), nullptr);
  EXPECT_EQ(set.ExpandButtonMinusBitmap, nullptr);
  EXPECT_EQ(entry(2), RGB(246, 245, 243));  // the values stay

  // A release too many is ignored: the next user still builds.
  ReleaseOffice11ColorSet();
  EXPECT_EQ(Office11ColorSetRefCount(), 0);
  AddRefOffice11ColorSet();
  EXPECT_NE(set.Brush(18), nullptr);
}

TEST_F(Office11, AThemeSwitchRebuildsTheSetInPlaceBeforeOtherThemeListeners) {
  start({ModuleProfile::Themed, "Luna.msstyles", "NormalColor"});
  AddRefOffice11ColorSet();
  const TOffice11ColorSet* set = &Office11ColorSet();
  EXPECT_EQ(entry(38), RGB(0, 45, 150));

  // A listener made later (as every painter's is) already sees the new set.
  std::vector<std::pair<BYTE, COLORREF>> seen;
  TuiThemeChangedNotificator listener;
  listener.OnNotify = [&] { seen.push_back({Office11SchemeIndex(), brushColor(Office11ColorSet().Brush(38))}); };

  switchTheme(ModuleProfile::Themed, "HomeStead");
  switchTheme(ModuleProfile::Classic, "NormalColor");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(xpcsOlive, RGB(117, 141, 94)));
  EXPECT_EQ(seen[1], std::make_pair(xpcsNone, kShadow));
  EXPECT_FALSE(IsXPSchemeActive());
  EXPECT_EQ(&Office11ColorSet(), set);
  EXPECT_EQ(Office11ColorSetRefCount(), 1);

  // Without users a switch rebuilds the colours only.
  ReleaseOffice11ColorSet();
  switchTheme(ModuleProfile::Themed, "Metallic");
  EXPECT_EQ(Office11SchemeIndex(), xpcsSilver);
  EXPECT_EQ(entry(38), RGB(124, 124, 148));
  EXPECT_EQ(Office11ColorSet().Brush(38), nullptr);
}

TEST_F(Office11, ARefreshAfterASystemColourChangeTakesTheNewColours) {
  start();
  AddRefOffice11ColorSet();
  const HBRUSH oldBrush = Office11ColorSet().Brush(55);
  ASSERT_NE(oldBrush, nullptr);

  setSysColor(COLOR_BTNFACE, RGB(200, 100, 50));
  setSysColor(COLOR_BTNSHADOW, RGB(100, 50, 0));
  EXPECT_EQ(entry(0), kFace);  // resolved at build time
  RefreshOffice11ColorSet();
  EXPECT_EQ(entry(0), RGB(200, 100, 50));
  EXPECT_EQ(brushColor(Office11ColorSet().Brush(55)), RGB(150, 75, 25));
  // The recoloured bitmap follows the new gradient ends.
  EXPECT_EQ(ColorToRGB(Office11ColorSet().SubMenuExpandBitmap->Canvas()->Pixels(5, 0)), entry(2));
  EXPECT_EQ(ColorToRGB(Office11ColorSet().SubMenuExpandBitmap->Canvas()->Pixels(5, 11)), entry(3));
}

TEST_F(Office11, StartingTheGraphicsUnitStartsIt) {
  qv::classlib::InitializeUnit(lkGraphicsUnit);
  EXPECT_TRUE(qv::classlib::UnitInitialized(uiThemeManagerUnit));
  EXPECT_TRUE(qv::classlib::UnitInitialized(uiOffice11Unit));
  EXPECT_TRUE(uiOffice11::GradientFillBound());
}

// ---------------------------------------------------------------------------
// The recoloured bitmap.

struct RecolorCase {
  const char* name;
  COLORREF face, window;         // the set's entries 2 and 3 come from these
  std::vector<COLORREF> pixels;  // after the background pixel
  std::vector<COLORREF> expected;
};

class Office11Recolor : public Office11, public ::testing::WithParamInterface<RecolorCase> {};

TEST_P(Office11Recolor, ShadesRunFromTheLightToTheDarkEnd) {
  const RecolorCase& c = GetParam();
  start();
  setSysColor(COLOR_BTNFACE, c.face);
  setSysColor(COLOR_WINDOW, c.window);
  RefreshOffice11ColorSet();
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(static_cast<int>(c.pixels.size()) + 1, 1);
  b.Canvas()->SetPixels(0, 0, clFuchsia);
  for (size_t i = 0; i < c.pixels.size(); ++i) b.Canvas()->SetPixels(static_cast<int>(i) + 1, 0, c.pixels[i]);
  RecolorBitmapToScheme(&b);
  EXPECT_EQ(ColorToRGB(b.Canvas()->Pixels(0, 0)), ColorToRGB(clFuchsia));
  for (size_t i = 0; i < c.expected.size(); ++i)
    EXPECT_EQ(ColorToRGB(b.Canvas()->Pixels(static_cast<int>(i) + 1, 0)), c.expected[i]) << "pixel " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Office11Recolor,
    ::testing::Values(
        // Entries 2 and 3: (246, 245, 243) and (214, 210, 202).
        RecolorCase{"LightestToEntry2DarkestToEntry3",
                    kFace,
                    kWindow,
                    {RGB(200, 0, 0), RGB(0, 0, 0), RGB(150, 9, 9), RGB(100, 50, 50)},
                    {RGB(246, 245, 243), RGB(0, 0, 0), RGB(230, 228, 223), RGB(214, 210, 202)}},
        // One shade has no range: it takes the dark end instead of failing.
        RecolorCase{
            "SingleShade", kFace, kWindow, {RGB(90, 90, 90), RGB(90, 1, 1)}, {RGB(214, 210, 202), RGB(214, 210, 202)}},
        // Equal ends: the dark end becomes black.
        RecolorCase{"EqualEnds",
                    RGB(240, 240, 240),
                    RGB(240, 240, 240),
                    {RGB(200, 200, 200), RGB(100, 100, 100)},
                    {RGB(240, 240, 240), RGB(0, 0, 0)}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Colour arithmetic.

struct ArithmeticCase {
  const char* name;
  std::function<TColor()> compute;
  COLORREF expected;
};

class Office11Arithmetic : public Office11, public ::testing::WithParamInterface<ArithmeticCase> {};

TEST_P(Office11Arithmetic, Channels) {
  start();
  EXPECT_EQ(ColorToRGB(GetParam().compute()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Office11Arithmetic,
    ::testing::Values(
        ArithmeticCase{"ScaleRoundsHalvesUp", [] { return ScaleColorByPercent(RGB(101, 3, 255), 50); },
                       RGB(51, 2, 128)},
        ArithmeticCase{"ScaleResolvesSystemColours", [] { return ScaleColorByPercent(clBtnFace, 100); }, kFace},
        ArithmeticCase{"ScaleAboveHundredStopsAtWhite", [] { return ScaleColorByPercent(RGB(200, 100, 0), 150); },
                       RGB(255, 150, 0)},
        ArithmeticCase{"TintMovesTowardWhite", [] { return TintColorByPercent(RGB(0, 100, 200), 80); },
                       RGB(51, 131, 211)},
        ArithmeticCase{"TintHundredKeeps", [] { return TintColorByPercent(RGB(1, 2, 3), 100); }, RGB(1, 2, 3)},
        // 26 + 230 would wrap round to 0.
        ArithmeticCase{"TintOfWhiteStaysWhite", [] { return TintColorByPercent(clWhite, 10); }, RGB(255, 255, 255)},
        ArithmeticCase{"MixHalf", [] { return MixColorsByPercent(clRed, clBlue, 50); }, RGB(128, 0, 128)},
        ArithmeticCase{"MixSystemColours", [] { return MixColorsByPercent(clBtnFace, clWindow, 22); },
                       RGB(246, 245, 243)},
        ArithmeticCase{"MixBeyondHundredIsCapped",
                       [] { return MixColorsByPercent(RGB(200, 200, 0), RGB(100, 0, 0), 200); }, RGB(255, 255, 0)},
        ArithmeticCase{"MixSystemWeights", [] { return MixSystemColors(14, 44, 40); }, RGB(136, 147, 177)},
        ArithmeticCase{"MixSystemNegativeWeight", [] { return MixSystemColors(-2, 30, 72); }, RGB(183, 191, 212)},
        ArithmeticCase{"MixSystemBlackFaceGivesHighlight",
                       [] {
                         setSysColor(COLOR_BTNFACE, RGB(0, 0, 0));
                         return MixSystemColors(100, 0, 0);
                       },
                       kHighlight},
        ArithmeticCase{"MixSystemWhiteFaceGivesHighlight",
                       [] {
                         setSysColor(COLOR_BTNFACE, RGB(255, 255, 255));
                         return MixSystemColors(0, 0, 100);
                       },
                       kHighlight},
        ArithmeticCase{"NavPaneCaptionStart", [] { return NavPaneGroupCaptionColor(true); }, RGB(233, 231, 227)},
        ArithmeticCase{"NavPaneCaptionEnd", [] { return NavPaneGroupCaptionColor(false); }, RGB(213, 209, 201)},
        ArithmeticCase{"NavPaneCaptionOfWhite",
                       [] {
                         setSysColor(COLOR_BTNFACE, RGB(255, 255, 255));
                         return NavPaneGroupCaptionColor(false);
                       },
                       RGB(255, 255, 255)},
        ArithmeticCase{"NearestOnA32BitScreenIsTheColour", [] { return GetNearestScreenColor(clHighlight); },
                       kHighlight}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Gradients.

TEST_F(Office11, GradientFillShadesEveryPixelAcrossOrDown) {
  start();
  ASSERT_TRUE(uiOffice11::GradientFillBound());
  Surface across(2, 3, clWhite);
  FillRectGradient(across.dc(), TRect{0, 0, 2, 3}, clBlack, clWhite, true);
  // GradientFill interpolates to the far vertex; bands would give the end
  // colour to the last pixel.
  EXPECT_EQ(across.line(true), (std::vector<COLORREF>{RGB(0, 0, 0), RGB(127, 127, 127)}));
  EXPECT_EQ(across.at(1, 0), across.at(1, 2));

  Surface down(3, 256, clWhite);
  FillRectGradient(down.dc(), TRect{0, 0, 3, 256}, RGB(0, 0, 255), RGB(255, 0, 255), false);
  const auto v = down.line(false);
  EXPECT_EQ(v.front(), RGB(0, 0, 255));
  EXPECT_GE(GetRValue(v.back()), 254);
  for (size_t y = 1; y < v.size(); ++y) {
    ASSERT_GE(GetRValue(v[y]), GetRValue(v[y - 1])) << "row " << y;
    ASSERT_EQ(v[y] & 0xFFFF00u, RGB(0, 0, 255)) << "row " << y;
  }
  EXPECT_GT(runs(v), 200);
}

struct BandCase {
  const char* name;
  int length;
  bool horizontal;
  int bands;
};

class Office11Bands : public Office11, public ::testing::WithParamInterface<BandCase> {};

TEST_P(Office11Bands, WithoutMsimg32AtMost256SolidBands) {
  const BandCase& c = GetParam();
  profile().msimg32 = false;
  start();
  ASSERT_FALSE(uiOffice11::GradientFillBound());
  const int w = c.horizontal ? c.length : 3, h = c.horizontal ? 3 : c.length;
  Surface s(w, h, clRed);
  FillRectGradient(s.dc(), TRect{0, 0, w, h}, clBlack, clWhite, c.horizontal);
  const auto v = s.line(c.horizontal);
  EXPECT_EQ(runs(v), c.bands);
  EXPECT_EQ(v.front(), RGB(0, 0, 0));
  EXPECT_EQ(v.back(), RGB(255, 255, 255));
  // Band k ends at k + 1 of N parts of the length and has k of N - 1 parts
  // of the colour range.
  for (int k = 0; k < c.bands; ++k) {
    const int last = MulDiv(k + 1, c.length, c.bands) - 1;
    const BYTE grey = static_cast<BYTE>(MulDiv(k, 255, c.bands - 1));
    ASSERT_EQ(v[static_cast<size_t>(last)], RGB(grey, grey, grey)) << "band " << k;
  }
  // The other direction is uniform.
  EXPECT_EQ(c.horizontal ? s.at(w - 1, 0) : s.at(0, h - 1), c.horizontal ? s.at(w - 1, 2) : s.at(2, h - 1));
}

INSTANTIATE_TEST_SUITE_P(Lengths, Office11Bands,
                         ::testing::Values(BandCase{"Across300", 300, true, 256}, BandCase{"Down10", 10, false, 10},
                                           BandCase{"Across2", 2, true, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Office11, GradientEdgeCases) {
  profile().msimg32 = false;
  start();
  Surface s(4, 4, clRed);
  // One band is the first colour.
  FillRectGradient(s.dc(), TRect{0, 0, 1, 4}, clBlack, clWhite, true);
  EXPECT_EQ(s.picture({{RGB(255, 0, 0), 'R'}, {RGB(0, 0, 0), 'K'}}), "KRRR|KRRR|KRRR|KRRR");
  // Empty and inverted rectangles draw nothing.
  FillRectGradient(s.dc(), TRect{2, 0, 2, 4}, clBlack, clWhite, true);
  FillRectGradient(s.dc(), TRect{1, 3, 4, 0}, clBlack, clWhite, false);
  // Equal colours, system colours among them, fill solid.
  FillRectGradient(s.dc(), TRect{2, 0, 4, 4}, clBtnFace, static_cast<TColor>(kFace), false);
  EXPECT_EQ(s.picture({{RGB(255, 0, 0), 'R'}, {RGB(0, 0, 0), 'K'}, {kFace, 'F'}}), "KRFF|KRFF|KRFF|KRFF");
}

// ---------------------------------------------------------------------------
// The size grip.

struct GripCase {
  const char* name;
  bool holdSet;
  TColor dot, shadow;
};

class Office11Grip : public Office11, public ::testing::WithParamInterface<GripCase> {};

TEST_P(Office11Grip, ThreeRowsOfDotsInTheCorner) {
  const GripCase& c = GetParam();
  start();
  if (c.holdSet)
    AddRefOffice11ColorSet();
  else
    RefreshOffice11ColorSet();
  const COLORREF dot = c.dot == clDefault ? entry(18) : ColorToRGB(c.dot);
  const COLORREF shadow = c.shadow == clDefault ? entry(19) : ColorToRGB(c.shadow);
  Surface s(17, 17, clLime);
  DrawOffice11SizeGrip(s.dc(), TRect{1, 0, 17, 16}, c.dot, c.shadow);
  EXPECT_EQ(s.picture({{RGB(0, 255, 0), '.'}, {dot, 'D'}, {shadow, 'S'}}),
            "................."
            "|................."
            "|................."
            "|................."
            "|................."
            "|.............DD.."
            "|.............DDS."
            "|..............SS."
            "|................."
            "|.........DD..DD.."
            "|.........DDS.DDS."
            "|..........SS..SS."
            "|................."
            "|.....DD..DD..DD.."
            "|.....DDS.DDS.DDS."
            "|......SS..SS..SS."
            "|.................");
}

INSTANTIATE_TEST_SUITE_P(Colours, Office11Grip,
                         ::testing::Values(GripCase{"Given", false, clRed, clBlue},
                                           GripCase{"TheSetsBrushes", true, clDefault, clDefault},
                                           GripCase{"TheSetsColoursWithoutAUser", false, clDefault, clDefault},
                                           GripCase{"SystemColour", true, clBtnShadow, clDefault}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
