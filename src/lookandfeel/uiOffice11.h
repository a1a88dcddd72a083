// The Office 2003 look's shared colours and drawing helpers: which XP colour
// scheme the desktop shows, one process-wide set of colours with solid
// brushes and three bitmaps, colour arithmetic, a two-colour gradient fill
// and the Office 2003 size grip.
//
// The colour set follows the XP colour scheme (blue, olive or silver) while
// visual styles are on with the Luna style (or any style on a version above
// 5, where the colour name alone decides); otherwise it is mixed from the
// system colours. Its users address it by entry number. Colours are always
// plain RGB values: system colours are resolved when the set is built, so a
// change of the system colours needs RefreshOffice11ColorSet.
//
// Reference counting: the first AddRefOffice11ColorSet builds the colours,
// the brushes and the bitmaps; the last ReleaseOffice11ColorSet frees the
// brushes and bitmaps (the colour values stay). A refresh rebuilds them in
// place: the set stays where it is, its values and handles are replaced.
// The system-colour listener of the look-and-feel unit calls the refresh
// before any of its own listeners hear of the change; for a switch of the
// visual style this unit listens itself, as the first theme listener of the
// process (it starts right after the theme manager).
#pragma once

#include <array>

#include "platform/classlib/Graphics.h"
#include "platform/classlib/System.h"
#include "platform/os/Types.h"

// The XP colour schemes.
constexpr BYTE xpcsNone = 0;  // none, or one the library does not know
constexpr BYTE xpcsBlue = 1;
constexpr BYTE xpcsOlive = 2;
constexpr BYTE xpcsSilver = 3;

// Colour entries 0 to 78; entry 79 is an integer (Entry79).
constexpr int kOffice11ColorCount = 79;

struct TOffice11ColorSet {
  std::array<TColor, kOffice11ColorCount> Colors{};
  // 41 blue, 125 olive, 40 silver, 75 without a scheme; its users give it
  // its meaning.
  int Entry79 = 0;
  // Solid brushes of entries 18, 19, 20, 21, 31, 38, 40, 41, 46, 47, 48, 49
  // and 55 while the set has users; null for every other entry and while
  // nobody holds the set.
  std::array<HBRUSH, kOffice11ColorCount> Brushes{};
  // "UISUBMENUEXPAND" recoloured to entries 2 and 3, and the tree expand
  // buttons "UIEXPANDBUTTON_MINUS" and "UIEXPANDBUTTON_PLUS" (11 x 11),
  // from the program's own resources; null while nobody holds the set.
  TBitmap* SubMenuExpandBitmap = nullptr;
  TBitmap* ExpandButtonMinusBitmap = nullptr;
  TBitmap* ExpandButtonPlusBitmap = nullptr;
  // The expand buttons' corner colours, blended into their corner pixels.
  static constexpr TColor ExpandButtonCornerColor1 = static_cast<TColor>(RGB(158, 174, 191));
  static constexpr TColor ExpandButtonCornerColor2 = static_cast<TColor>(RGB(46, 70, 95));

  TColor operator[](int Entry) const { return Colors.at(static_cast<size_t>(Entry)); }
  // The entry's brush, or null.
  HBRUSH Brush(int Entry) const { return Brushes.at(static_cast<size_t>(Entry)); }
};

// The process-wide set. Its values are those of the last build (all zero
// before the first one).
const TOffice11ColorSet& Office11ColorSet();

// The first user builds the set; every call counts one user.
void AddRefOffice11ColorSet();
// One user less; the last frees the brushes and bitmaps. A release without
// a user does nothing.
void ReleaseOffice11ColorSet();
// Rebuilds the colours; while the set has users, also its brushes and
// bitmaps.
void RefreshOffice11ColorSet();
// The number of users.
int Office11ColorSetRefCount();

// The scheme the desktop shows now: 0 unless themes are usable (see
// AreThemesAvailable) and the theme names one of the three schemes.
BYTE DetectXPColorScheme();
// The scheme found by the last build, and whether the set follows it.
BYTE Office11SchemeIndex();
bool IsXPSchemeActive();

// Recolours a scheme bitmap: the top-left pixel is the background; every
// pixel that is neither the background nor black becomes a mix of the set's
// entries 2 (for the lightest red value) and 3 (for the darkest).
void RecolorBitmapToScheme(TBitmap* Bitmap);

// Colour arithmetic. Arguments may be system colours; results are RGB.
// Each channel times Percent / 100, rounded.
TColor ScaleColorByPercent(TColor Color, int Percent);
// Each channel times Percent / 100 rounded, moved toward white by
// 100 - Percent percent: 100 keeps the colour, 0 gives white.
TColor TintColorByPercent(TColor Color, int Percent);
// Percent of Color1 and the rest of Color2 per channel, then the nearest
// screen colour.
TColor MixColorsByPercent(TColor Color1, TColor Color2, int Percent);
// Button face, highlight and window colours weighted X, Y and Z percent per
// channel (weights may be negative; channels are kept to 0..255); the plain
// highlight colour when the button face is black or white.
TColor MixSystemColors(int X, int Y, int Z);
// The nearest colour the screen shows.
TColor GetNearestScreenColor(TColor Color);
// The navigation pane's group caption gradient ends, lightened from the
// button face.
TColor NavPaneGroupCaptionColor(bool Start);

// A two-colour gradient from Color1 at the left (top) to Color2 at the
// right (bottom), through msimg32.dll's GradientFill when the unit bound it,
// else in at most 256 solid bands. Equal colours fill solid.
void FillRectGradient(HDC DC, const TRect& Rect, TColor Color1, TColor Color2, bool Horizontal);
// Fills with a temporary solid brush.
void FillRectSolid(HDC DC, const TRect& Rect, TColor Color);
// Three rows of 3, 2 and 1 grip dots in the bottom-right corner of Rect:
// each dot is a 2 x 2 square in DotColor over a 2 x 2 shadow one pixel
// further right and down. The lowest row's squares start 3 pixels above
// Rect's bottom. clDefault takes the set's brush of entry 18 (dots) or 19
// (shadows).
void DrawOffice11SizeGrip(HDC DC, const TRect& Rect, TColor DotColor = clDefault, TColor ShadowColor = clDefault);

// The unit in the program's start-up order (uses uiThemeManager).
extern const qv::classlib::TUnitInfo uiOffice11Unit;

namespace uiOffice11 {

// Unit start-up and shut-down. Counted: only the first Initialize and the
// matching last Finalize act. Start-up binds msimg32.dll's GradientFill
// and starts listening to theme switches; shut-down stops listening, frees
// what the set still holds and the library.
void Initialize();
void Finalize();

// Whether GradientFill is bound.
bool GradientFillBound();

}  // namespace uiOffice11
