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
#include "lookandfeel/uiThemeManager.h"
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

// The group's client background: the background without a fill colour.
class TuiNavBarGroupBackgroundPainter : public TuiBaseGroupBackgroundPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarGroupBackgroundPainter, TuiBaseGroupBackgroundPainter)
  void DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, TColor AColor1, TColor AColor2, BYTE AAlpha1,
                      BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode) const override;
};

// Left, bottom and right edges of R in one colour, and the top edge unless
// the caption closes it.
class TuiNavBarExplorerBarBorderPainter : public TuiBaseGroupBorderPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarExplorerBarBorderPainter, TuiBaseGroupBorderPainter)
  void DrawBorder(TCanvas* ACanvas, TRect R, TColor AColor, bool ANoTopLine) const override;
};

// The list's image at R's top-left corner, greyed when disabled; nothing
// for an index outside the list.
class TuiNavBarImagePainter : public TuiBaseImagePainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarImagePainter, TuiBaseImagePainter)
  void DrawImage(TCanvas* ACanvas, TCustomImageList* AImageList, int AImageIndex, TRect R,
                 bool AEnabled) const override;
};

// Selections of a link's image: a sunken bevel when selected or pressed, a
// raised one when hot.
class TuiNavBarSelectionPainter : public TuiBaseSelectionPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarSelectionPainter, TuiBaseSelectionPainter)
  void DrawSelection(TCanvas* ACanvas, TRect R, TColor AColor, TuiNavBarDrawStates AState) const override;
};

// A highlight frame filled with a mix of face, highlight and window colours.
class TuiNavBarUltraFlatSelectionPainter : public TuiBaseSelectionPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarUltraFlatSelectionPainter, TuiBaseSelectionPainter)
  void DrawSelection(TCanvas* ACanvas, TRect R, TColor AColor, TuiNavBarDrawStates AState) const override;
};

class TuiNavBarVSToolBoxSelectionPainter : public TuiBaseSelectionPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarVSToolBoxSelectionPainter, TuiBaseSelectionPainter)
  void DrawSelection(TCanvas* ACanvas, TRect R, TColor AColor, TuiNavBarDrawStates AState) const override;
};

// The expand/collapse sign as a double chevron, framed while hot.
class TuiNavBarExplorerBarSignPainter : public TuiBaseSignPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarExplorerBarSignPainter, TuiBaseSignPainter)
  void DrawSign(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor AColor1, TColor AColor2,
                TuiNavBarDrawStates AState) const override;
  virtual void DrawSignFrame(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor AColor1, TColor AColor2,
                             TuiNavBarDrawStates AState) const;
};

// The advanced explorer bar's sign bitmap: its blue in the sign colour, its
// other pixels blended over the canvas by their red channel. Nothing
// without the bitmap (nobody holds the colour set, or it did not load).
class TuiNavBarAdvExplorerBarSignPainter : public TuiNavBarExplorerBarSignPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarAdvExplorerBarSignPainter, TuiNavBarExplorerBarSignPainter)
  void DrawSign(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor AColor1, TColor AColor2,
                TuiNavBarDrawStates AState) const override;
};

// The Office 11 sign bitmap recoloured from colour 1 (its brightest pixels)
// to colour 2 (its darkest); one with a single shade takes colour 1.
// Nothing without the bitmap.
class TuiNavBarOffice11SignPainter : public TuiNavBarExplorerBarSignPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarOffice11SignPainter, TuiNavBarExplorerBarSignPainter)
  void DrawSign(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor AColor1, TColor AColor2,
                TuiNavBarDrawStates AState) const override;
};

// Button faces: the background (picture, then gradient) and a frame of the
// class's kind by state.
#define UI_NAVBAR_BUTTON_PAINTER(Name, Parent)                                                              \
  class Name : public Parent {                                                                              \
    UI_HELPER_PAINTER_CLASS(Name, Parent)                                                                   \
    void DrawButton(TCanvas* ACanvas, TRect R, TPicture* AImage, TColor AColor1, TColor AColor2, BYTE AAlpha1, \
                    BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode, TColor ABorderColor,               \
                    TuiNavBarDrawStates AState) const override;                                             \
  };
UI_NAVBAR_BUTTON_PAINTER(TuiNavBarButtonPainter, TuiBaseButtonPainter)
UI_NAVBAR_BUTTON_PAINTER(TuiNavBarFlatButtonPainter, TuiBaseButtonPainter)
UI_NAVBAR_BUTTON_PAINTER(TuiNavBarVSToolBoxButtonPainter, TuiBaseButtonPainter)
UI_NAVBAR_BUTTON_PAINTER(TuiNavBarOfficeButtonPainter, TuiBaseButtonPainter)
UI_NAVBAR_BUTTON_PAINTER(TuiNavBarOffice11NavPaneButtonPainter, TuiBaseButtonPainter)
UI_NAVBAR_BUTTON_PAINTER(TuiNavBarOffice11NavPaneGroupButtonPainter, TuiBaseButtonPainter)
UI_NAVBAR_BUTTON_PAINTER(TuiNavBarExplorerButtonPainter, TuiBaseButtonPainter)
// The face with its two top corners rounded off; the canvas is left
// without a clip region.
UI_NAVBAR_BUTTON_PAINTER(TuiNavBarAdvExplorerButtonPainter, TuiBaseButtonPainter)
// Draws as its parent.
class TuiNavBarOffice11ButtonPainter : public TuiNavBarAdvExplorerButtonPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarOffice11ButtonPainter, TuiNavBarAdvExplorerButtonPainter)
};

// Scroll buttons: the button painter's face and a filled arrow, grey while
// disabled.
#define UI_NAVBAR_SCROLL_BUTTONS_PAINTER(Name, Parent)                                                        \
  class Name : public Parent {                                                                                \
    UI_HELPER_PAINTER_CLASS(Name, Parent)                                                                     \
    void DrawBottomButton(TCanvas* ACanvas, TRect R, TuiBaseButtonPainterClass AButtonPainter, TColor AColor1, \
                          TColor AColor2, BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode,  \
                          TColor ABorderColor, TuiNavBarDrawStates AState) const override;                   \
    void DrawTopButton(TCanvas* ACanvas, TRect R, TuiBaseButtonPainterClass AButtonPainter, TColor AColor1,    \
                       TColor AColor2, BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode,     \
                       TColor ABorderColor, TuiNavBarDrawStates AState) const override;                      \
  };
UI_NAVBAR_SCROLL_BUTTONS_PAINTER(TuiNavBarScrollButtonsPainter, TuiBaseScrollButtonsPainter)

// The insertion mark between links: two triangles joined by P1-P4.
class TuiNavBarDropTargetLinkPainter : public TuiBaseDropTargetLinkPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarDropTargetLinkPainter, TuiBaseDropTargetLinkPainter)
  void DrawDropTargetLink(TCanvas* ACanvas, TPoint P1, TPoint P2, TPoint P3, TPoint P4, TPoint P5, TPoint P6,
                          TColor AColor) const override;
};

// A translucent gradient over the target group with GDI+, else a frame.
class TuiNavBarDropTargetGroupPainter : public TuiBaseDropTargetGroupPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarDropTargetGroupPainter, TuiBaseDropTargetGroupPainter)
  void DrawDropTargetGroup(TCanvas* ACanvas, TRect R, TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                           TuiBarStyleGradientMode AGradientMode) const override;
};

// --- themed painters: the visual style's part where the theme opens, the
// classic parent's drawing where it does not.

class TuiNavBarXPPainter : public TObject {
  QV_CLASS(TuiNavBarXPPainter, TObject)
  // False, with nothing drawn, when the kind's theme does not open.
  static bool DrawThemeElement(TCanvas* ACanvas, const TRect& R, TuiThemeKind AThemeKind, int APart, int AState);
};

class TuiNavBarXPBackgroundPainter : public TuiNavBarBackgroundPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarXPBackgroundPainter, TuiNavBarBackgroundPainter)
  void DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, bool AFillBackground, TColor ABackgroundColor,
                      TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                      TuiBarStyleGradientMode AGradientMode) const override;
};

class TuiNavBarXPGroupBackgroundPainter : public TuiNavBarGroupBackgroundPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarXPGroupBackgroundPainter, TuiNavBarGroupBackgroundPainter)
  void DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, TColor AColor1, TColor AColor2, BYTE AAlpha1,
                      BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode) const override;
};

class TuiNavBarXPSelectionPainter : public TuiNavBarSelectionPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarXPSelectionPainter, TuiNavBarSelectionPainter)
  void DrawSelection(TCanvas* ACanvas, TRect R, TColor AColor, TuiNavBarDrawStates AState) const override;
};

UI_NAVBAR_BUTTON_PAINTER(TuiNavBarXPButtonPainter, TuiNavBarOfficeButtonPainter)

// The scroll bar's arrow buttons; a disabled one keeps its normal themed
// look. After a themed draw the button's rectangle leaves the clip region.
UI_NAVBAR_SCROLL_BUTTONS_PAINTER(TuiNavBarXPScrollButtonsPainter, TuiNavBarScrollButtonsPainter)

// The shell style's pictures of the themed explorer bar.
class TuiNavBarXPExplorerBarBackgroundPainter : public TuiNavBarBackgroundPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarXPExplorerBarBackgroundPainter, TuiNavBarBackgroundPainter)
  void DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, bool AFillBackground, TColor ABackgroundColor,
                      TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                      TuiBarStyleGradientMode AGradientMode) const override;
};

class TuiNavBarXPExplorerBarSignPainter : public TuiNavBarExplorerBarSignPainter {
  UI_HELPER_PAINTER_CLASS(TuiNavBarXPExplorerBarSignPainter, TuiNavBarExplorerBarSignPainter)
  void DrawSign(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor AColor1, TColor AColor2,
                TuiNavBarDrawStates AState) const override;
};

UI_NAVBAR_BUTTON_PAINTER(TuiNavBarXPExplorerBarButtonPainter, TuiNavBarExplorerButtonPainter)
#undef UI_NAVBAR_BUTTON_PAINTER
#undef UI_NAVBAR_SCROLL_BUTTONS_PAINTER

// Tiles R with the picture from R's top-left corner: a bitmap as it is, a
// JPEG, icon or metafile through a bitmap of its size; other graphics
// draw nothing. False when nothing was drawn.
bool TilePicture(TCanvas* ACanvas, const TRect& R, TPicture* AImage);
// The GDI+ linear gradient from AColor1 to AColor2 (system colours
// allowed) with their alphas, its brush over R grown by 1 on every side.
void FillGPGradient(HDC DC, const TRect& R, TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                    TuiBarStyleGradientMode AGradientMode);
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
