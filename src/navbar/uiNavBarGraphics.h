// The navigation bar's shared drawing resources: the colour arithmetic of
// its helper painters, the shell's task-pane style (its bitmaps and the
// fonts and border colour of its style sheet), and the colour sets and
// small bitmaps of the views that follow the XP colour scheme.
//
// Every resource set is reference-counted per process: the first view
// information that needs a set builds it, a theme or system-colour change
// rebuilds it in place, the last one to let go frees what it holds.
#pragma once

#include <array>
#include <string>

#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarBase.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/os/Types.h"

// ---------------------------------------------------------------------------
// Colour helpers. Arguments may be system colours; results are plain RGB.

// Lighter: each channel c becomes round(p c / 100) + round(255 - p / 100 255).
TColor GetLightColor80(TColor AColor);
TColor GetLightColor70(TColor AColor);
TColor GetLightColor40(TColor AColor);
TColor GetLightColor20(TColor AColor);
// Darker: each channel c becomes round(p c / 100).
TColor GetScaledColor70(TColor AColor);
TColor GetScaledColor60(TColor AColor);
TColor GetScaledColor20(TColor AColor);
// A GDI+ colour: alpha, red, green and blue from the top byte down.
DWORD ComposeGPColor(BYTE A, BYTE R, BYTE G, BYTE B);
// The caller converts system colours first.
DWORD ColorToGPColor(TColor AColor, BYTE AAlpha);

// ---------------------------------------------------------------------------
// Helper painters every view shares.

// A background: a tiled picture, or the background colour, under a
// gradient from colour 1 to colour 2 (GDI+ with the alphas when it runs,
// else opaque bands; nothing at all with both alphas 0).
class TuiNavBarBackgroundPainter : public TuiBaseBackgroundPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarBackgroundPainter, TuiBaseBackgroundPainter)
  void DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, bool AFillBackground, TColor ABackgroundColor,
                      TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                      TuiBarStyleGradientMode AGradientMode) const override;
};

// The standard hint: the background, a raised edge and the text wrapped
// inside it.
class TuiNavBarHintPainter : public TuiBaseHintPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarHintPainter, TuiBaseHintPainter)
  void DrawHint(TCanvas* ACanvas, TRect R, const std::string& AHint, TPicture* AImage, TColor AColor1,
                TColor AColor2, BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode,
                TFont* AFont) const override;
};

// Tiles R with the picture from R's top-left corner: a bitmap as it is, a
// JPEG, icon or metafile through a bitmap of its size; other graphics
// draw nothing. False when nothing was drawn.
bool TilePicture(TCanvas* ACanvas, const TRect& R, TPicture* AImage);
// Cells of solid colour from AColor1 to AColor2 in the gradient's
// direction, at most 256 across and down.
void FillGradientCells(TCanvas* ACanvas, const TRect& R, TColor AColor1, TColor AColor2,
                       TuiBarStyleGradientMode AGradientMode);

// ---------------------------------------------------------------------------
// The shell's task-pane style: the pictures and the style sheet
// "CPWEBVW.CSS" of the module that shell32's SHGetShellStyleHInstance hands
// out. Without that module every resource stays empty and the views that
// would use it draw their unthemed look.

// A parser of the style sheet. It is line-based: each rule (a selector and
// its declarations in braces) must stand on one line; a rule spread over
// several lines is seen only through its first.
class TuiStyleSheetParser : public TObject {
  QV_CLASS(TuiStyleSheetParser, TObject)
  explicit TuiStyleSheetParser(const std::string& AStyleSheet);
  ~TuiStyleSheetParser() override;
  TuiStyleSheetParser(const TuiStyleSheetParser&) = delete;
  TuiStyleSheetParser& operator=(const TuiStyleSheetParser&) = delete;

  // The first line that begins with the selector, without regard to case;
  // empty when none. "A " with its blank does not match "A:HOVER".
  std::string GetStyle(const std::string& ASelector) const;
  // The value of a declaration ("COLOR:" with its colon) of a rule line:
  // the text after the property up to the next ";" or "}" (the rest of the
  // line when neither follows), in the sheet's own case; empty when the
  // line declares no such property. A property name only counts where a
  // declaration starts, so "COLOR:" is not found inside
  // "BACKGROUND-COLOR:".
  static std::string GetValue(const std::string& AStyle, const std::string& AName);
  // The selector's font size, weight, decoration and colour, where its rule
  // gives them.
  void ApplyFontStyle(TFont* AFont, const std::string& ASelector) const;
  // The colour of the selector's "BORDER:" declaration; AColor is left
  // alone when there is none or it is no colour.
  void ReadBorderColor(const std::string& ASelector, TColor& AColor) const;

  // The rule line is the selector's line with every blank removed.
  static void ReadFontSize(TFont* AFont, const std::string& ALine);
  static void ReadFontWeight(TFont* AFont, const std::string& ALine);
  static void ReadTextDecoration(TFont* AFont, const std::string& ALine);
  static void ReadFontColor(TFont* AFont, const std::string& ALine);
  // "#RRGGBB" (six hexadecimal digits after the first "#") or a web colour
  // name; false, with AColor unchanged, for anything else.
  static bool ParseColor(const std::string& AValue, TColor& AColor);
  static bool ColorNameToColor(const std::string& AName, TColor& AColor);

 private:
  TStringList* FRuleLines;
};

// The shell style module is there while the resources are held.
bool IsShellStyleLoaded();
// Counted: the first user loads the module's bitmaps and style sheet, a
// refresh (a theme change) loads them anew, the last release frees them.
void AddRefXPExplorerBarStyle();
void RefreshXPExplorerBarStyle();
void ReleaseXPExplorerBarStyle();
int XPExplorerBarStyleRefCount();

// A new bitmap (the caller's) of the module's bitmap resource of that id,
// or null.
TBitmap* LoadShellStyleBitmap(int AResourceId);
// The module's RT_HTML resource of that name as text, up to its first zero
// byte; empty without it.
std::string LoadShellStyleText(const std::string& AName);

// The bitmaps of the style, by their roles; null while nobody holds the
// style or when the module lacks the picture.
enum TuiShellStyleBitmap {
  ssbSpecialCaptionBackground,  // 110
  ssbCaptionBackground,         // 112
  ssbSpecialCollapseHot,        // 105
  ssbCollapseHot,               // 101
  ssbSpecialCollapse,           // 104
  ssbCollapse,                  // 100
  ssbSpecialExpandHot,          // 107
  ssbExpandHot,                 // 103
  ssbSpecialExpand,             // 106
  ssbExpand,                    // 102
  ssbBackground,                // 114
};
constexpr int kShellStyleBitmapCount = 11;
TBitmap* ShellStyleBitmap(TuiShellStyleBitmap ARole);
// The fonts made from the style sheet over the system's message font; null
// while nobody holds the style.
TFont* ShellStyleLinkFont();
TFont* ShellStyleLinkHotFont();
TFont* ShellStyleCaptionFont();
TFont* ShellStyleCaptionHotFont();
// The task-pane box's border colour, clNone when the sheet gives none.
TColor ShellStyleBorderColor();

// Gives AFont a new handle made from the system's message font, or the
// stock GUI font when the system cannot tell it.
void CreateMessageFont(TFont* AFont);
// The font's text height on the screen.
int GetFontItemHeight(TFont* AFont);

// ---------------------------------------------------------------------------
// The colour sets of the views that follow the XP colour scheme.

// 0 none or unknown, 1 blue, 2 olive, 3 silver: the current theme's colour
// scheme while themes are available and the theme file is Luna.
BYTE GetXPColorScheme();

// The explorer-bar colours (the advanced explorer-bar view).
struct TuiExplorerBarColors {
  TColor BackgroundColor1 = clNone, BackgroundColor2 = clNone;
  TColor LinkTextColor = clNone, LinkTextHotColor = clNone;
  TColor GroupBackgroundColor = clNone;
  TColor CaptionColor1 = clNone, CaptionColor2 = clNone;
  TColor CaptionSignColor = clNone, CaptionSignHotColor = clNone;
  TColor CaptionTextColor = clNone, CaptionTextHotColor = clNone;
  TColor SpecialCaptionColor1 = clNone, SpecialCaptionColor2 = clNone;
  TColor SpecialCaptionSignColor = clNone, SpecialCaptionSignHotColor = clNone;
  TColor SpecialCaptionTextColor = clNone, SpecialCaptionTextHotColor = clNone;
};
const TuiExplorerBarColors& ExplorerBarColors();
// The sign bitmaps of expanded and collapsed groups, 22 x 22; empty while
// nobody holds the set.
TBitmap* ExplorerBarCollapseSignBitmap();
TBitmap* ExplorerBarExpandSignBitmap();
// The explorer-bar text colour of a state when no scheme is active: a dark
// tone of the highlight colour, lightened for disabled and for hot,
// pressed or selected elements.
TColor ExplorerBarDefaultTextColor(TuiNavBarDrawStates AState);
void AddRefExplorerBarColors();
// Rebuilds the colours whatever the count; reloads the bitmaps only while
// the set has users.
void RefreshExplorerBarColors();
void ReleaseExplorerBarColors();

// The Office 11 task pane's colours.
struct TuiOffice11ViewColors {
  TColor Office11BackgroundColor1 = clNone, Office11BackgroundColor2 = clNone;
  TColor Office11GroupBackgroundColor1 = clNone, Office11GroupBackgroundColor2 = clNone;
  TColor Office11CaptionColor1 = clNone, Office11CaptionColor2 = clNone;
  TColor Office11GroupBorderColor = clNone;
  TColor Office11CaptionTextColor = clNone;
  TColor Office11LinkTextColor = clNone;
};
const TuiOffice11ViewColors& Office11ViewColors();
// The signs of collapsed and expanded groups, 16 x 16.
TBitmap* Office11ExpandSignBitmap();
TBitmap* Office11CollapseSignBitmap();
void AddRefOffice11ViewColors();
void RefreshOffice11ViewColors();
void ReleaseOffice11ViewColors();

// The navigation pane's bitmaps, transparent.
enum TuiNavPaneBitmap {
  npbOverflow,       // 13 x 17, an overflow panel button
  npbSplitter,       // 37 x 5, the splitter's grip
  npbArrowUp,        // 16 x 16
  npbArrowDown,      // 16 x 16
  npbDefaultLarge,   // 32 x 32, a group without a large image
  npbDefaultSmall,   // 16 x 16, a group without a small image
};
constexpr int kNavPaneBitmapCount = 6;
TBitmap* NavPaneBitmap(TuiNavPaneBitmap ARole);
void AddRefNavBarBitmaps();
void RefreshNavBarBitmaps();
void ReleaseNavBarBitmaps();

// ---------------------------------------------------------------------------
// The unit: start-up loads shell32.dll and binds SHGetShellStyleHInstance;
// shut-down frees the library and whatever the sets still hold.
extern const qv::classlib::TUnitInfo uiNavBarGraphicsUnit;
