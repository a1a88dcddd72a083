// The stand-in for UxTheme.dll, the visual-styles library. Which machine it
// imitates comes from the desktop profile: no library at all (Absent), the
// library with themes switched off (Classic: IsThemeActive is false and
// OpenThemeData gives NULL), or a theme offering a configurable list of
// classes (Themed; profile().themeClasses, default kDefaultThemeClasses).
//
// The theme is a fixed function of class, part and state, so tests know
// every pixel and every answer (see UxTheme.cpp for the table):
// - colours: k = FNV-1a 32 of "CLASS/part/state" (class upper-cased);
//   fill (TMT_FILLCOLOR, TMT_GRADIENTCOLOR1, 204) RGB(128 + k & 127,
//   128 + k>>8 & 127, 128 + k>>16 & 127); gradient end (TMT_GRADIENTCOLOR2)
//   the fill less 64 per channel; border (TMT_BORDERCOLOR) RGB(k>>24 & 63,
//   k>>18 & 63, k>>12 & 63); text (TMT_TEXTCOLOR) black.
// - backgrounds: a vertical gradient from fill to gradient end over the
//   rectangle's rows inside a 1-pixel border; parts with rounded corners
//   (partially transparent) leave their four corner pixels untouched.
// - part sizes (TS_TRUE): BUTTON 2, 3 13 x 13; TREEVIEW 2 9 x 9; SCROLLBAR
//   1, 8, 9 17 x 17; EXPLORERBAR 2 to 4 16 x 16 and 6, 7, 10, 11 22 x 22;
//   every other part 16 x 16. TS_MIN is TS_TRUE for those fixed parts and
//   2 x 2 (the border) for the others; TS_DRAW cuts fixed parts to the
//   rectangle and gives the others the rectangle's size.
// - content margins (TMT_CONTENTMARGINS, content rectangle and extent):
//   BUTTON 1 3 pixels, EDIT and COMBOBOX 2, everything else 1 (the border);
//   TMT_SIZINGMARGINS 1, TMT_CAPTIONMARGINS 0.
// - rounded parts (partially transparent, TMT_TRANSPARENT, corner pixels
//   outside the background region): BUTTON 1, 2 and EXPLORERBAR 8, 12.
// - other values: TMT_BORDERSIZE and TMT_IMAGECOUNT 1, TMT_ROUNDCORNER*
//   1 for rounded parts else 0, TMT_BGTYPE BT_BORDERFILL, TMT_FILLTYPE
//   FT_VERTGRADIENT, TMT_FONT Tahoma -11 (bold for EXPLORERBAR), system
//   fonts Tahoma -11 (the caption font bold), TMT_FLATMENUS true,
//   TMT_MINCOLORDEPTH 16; anything else E_PROP_ID_UNSUPPORTED.
// - parts 1 to the class's part count are defined (BUTTON 5, SCROLLBAR 10,
//   EXPLORERBAR 12, ...; 8 for classes without an entry).
//
// A switch of theme (setThemeProfile, EnableTheming) broadcasts
// WM_THEMECHANGED to every top-level window, hidden ones too. Open handles
// stay valid objects (CloseThemeData still succeeds), and answer for the new
// theme: when it lacks the handle's class or themes are now off, every
// query and drawing call on them fails with E_HANDLE.
//
// The entry points are wide, as the library's only forms are.
#pragma once

#include <string>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/os/Types.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/Text.h"

using HTHEME = HANDLE;
QV_DECLARE_HANDLE(HPAINTBUFFER);

// The platform's layout; the fields drop their "cx"/"cy" prefixes, which
// our code base does not use for names.
struct MARGINS {
  int leftWidth;
  int rightWidth;
  int topHeight;
  int bottomHeight;
};
using PMARGINS = MARGINS*;

// Any int a caller passes is a value (one out of range is refused).
enum THEMESIZE : int { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };
enum PROPERTYORIGIN { PO_STATE = 0, PO_PART = 1, PO_CLASS = 2, PO_GLOBAL = 3, PO_NOTFOUND = 4 };

#define MAX_INTLIST_COUNT 10
struct INTLIST {
  int iValueCount;
  int iValues[MAX_INTLIST_COUNT];
};
using PINTLIST = INTLIST*;

// LOGFONTW and TEXTMETRICW come with the fonts (platform/os/gdi/Font.h).

// Options of DrawThemeTextEx (present on version 6 profiles only).
using DTT_CALLBACK_PROC = int (*)(HDC, LPWSTR, int, LPRECT, UINT, LPARAM);
struct DTTOPTS {
  DWORD dwSize;
  DWORD dwFlags;
  COLORREF crText;
  COLORREF crBorder;
  COLORREF crShadow;
  int iTextShadowType;
  POINT ptShadowOffset;
  int iBorderSize;
  int iFontPropId;
  int iColorPropId;
  int iStateId;
  BOOL fApplyOverlay;
  int iGlowSize;
  DTT_CALLBACK_PROC pfnDrawTextCallback;
  LPARAM lParam;
};
#define DTT_TEXTCOLOR 0x00000001u

enum BP_BUFFERFORMAT { BPBF_COMPATIBLEBITMAP = 0, BPBF_DIB = 1, BPBF_TOPDOWNDIB = 2, BPBF_TOPDOWNMONODIB = 3 };
struct BP_PAINTPARAMS {
  DWORD cbSize;
  DWORD dwFlags;
  const RECT* prcExclude;
  const void* pBlendFunction;
};

// Results.
#define E_PROP_ID_UNSUPPORTED (static_cast<HRESULT>(0x80070490u))  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)

// Property ids.
#define TMT_STRING 201
#define TMT_INT 202
#define TMT_BOOL 203
#define TMT_COLOR 204
#define TMT_MARGINS 205
#define TMT_FILENAME 206
#define TMT_SIZE 207
#define TMT_POSITION 208
#define TMT_RECT 209
#define TMT_FONT 210
#define TMT_INTLIST 211
#define TMT_DISPLAYNAME 601
#define TMT_TOOLTIP 602
#define TMT_COMPANY 603
#define TMT_AUTHOR 604
#define TMT_COPYRIGHT 605
#define TMT_URL 606
#define TMT_VERSION 607
#define TMT_DESCRIPTION 608
#define TMT_CAPTIONFONT 801
#define TMT_SMALLCAPTIONFONT 802
#define TMT_MENUFONT 803
#define TMT_STATUSFONT 804
#define TMT_MSGBOXFONT 805
#define TMT_ICONTITLEFONT 806
#define TMT_FLATMENUS 1001
#define TMT_MINCOLORDEPTH 1301
#define TMT_CSSNAME 1401
#define TMT_XMLNAME 1402
#define TMT_IMAGEFILE 3001
#define TMT_TRANSPARENT 2201
#define TMT_BORDERONLY 2203
#define TMT_IMAGECOUNT 2401
#define TMT_BORDERSIZE 2403
#define TMT_ROUNDCORNERWIDTH 2404
#define TMT_ROUNDCORNERHEIGHT 2405
#define TMT_SIZINGMARGINS 3601
#define TMT_CONTENTMARGINS 3602
#define TMT_CAPTIONMARGINS 3603
#define TMT_BORDERCOLOR 3801
#define TMT_FILLCOLOR 3802
#define TMT_TEXTCOLOR 3803
#define TMT_EDGELIGHTCOLOR 3804
#define TMT_EDGEHIGHLIGHTCOLOR 3805
#define TMT_EDGESHADOWCOLOR 3806
#define TMT_EDGEDKSHADOWCOLOR 3807
#define TMT_EDGEFILLCOLOR 3808
#define TMT_GRADIENTCOLOR1 3810
#define TMT_GRADIENTCOLOR2 3811
#define TMT_BGTYPE 4001
#define TMT_FILLTYPE 4003
#define BT_BORDERFILL 1
#define FT_VERTGRADIENT 1

// Flags.
#define DTT_GRAYED 0x00000001u
#define ETDT_DISABLE 0x00000001u
#define ETDT_ENABLE 0x00000002u
#define ETDT_USETABTEXTURE 0x00000004u
#define ETDT_ENABLETAB (ETDT_ENABLE | ETDT_USETABTEXTURE)
#define STAP_ALLOW_NONCLIENT 0x00000001u
#define STAP_ALLOW_CONTROLS 0x00000002u
#define STAP_ALLOW_WEBCONTENT 0x00000004u
#define HTTB_BACKGROUND 0x00000000u
#define DTBG_CLIPRECT 0x00000001u
#define DTBG_OMITBORDER 0x00000008u
#define DTBG_OMITCONTENT 0x00000010u
#ifndef HTNOWHERE
#define HTNOWHERE 0
#endif
#ifndef HTCLIENT
#define HTCLIENT 1
#endif

struct DTBGOPTS {
  DWORD dwSize;
  DWORD dwFlags;
  RECT rcClip;
};

HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeBackgroundEx(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const DTBGOPTS* options);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, const RECT* rect);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD textFlags,
                      DWORD textFlags2, const RECT* rect);
HRESULT DrawThemeTextEx(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD textFlags,
                        LPRECT rect, const DTTOPTS* options);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* destRect, UINT edge, UINT flags,
                      LPRECT contentRect);
HRESULT DrawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HIMAGELIST images, int index);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, LPRECT content);
HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC dc, int part, int state, const RECT* content, LPRECT extent);
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HRGN* region);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind, SIZE* size);
HRESULT GetThemeTextExtent(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD textFlags,
                           const RECT* bounds, LPRECT extent);
HRESULT GetThemeTextMetrics(HTHEME theme, HDC dc, int part, int state, TEXTMETRICW* metrics);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int prop, COLORREF* color);
HRESULT GetThemeMetric(HTHEME theme, HDC dc, int part, int state, int prop, int* value);
HRESULT GetThemeInt(HTHEME theme, int part, int state, int prop, int* value);
HRESULT GetThemeIntList(HTHEME theme, int part, int state, int prop, INTLIST* list);
HRESULT GetThemeBool(HTHEME theme, int part, int state, int prop, BOOL* value);
HRESULT GetThemeRect(HTHEME theme, int part, int state, int prop, LPRECT rect);
HRESULT GetThemePosition(HTHEME theme, int part, int state, int prop, POINT* point);
HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int prop, const RECT* rect, MARGINS* margins);
HRESULT GetThemeFont(HTHEME theme, HDC dc, int part, int state, int prop, LOGFONTW* font);
HRESULT GetThemeString(HTHEME theme, int part, int state, int prop, LPWSTR buffer, int size);
HRESULT GetThemeFilename(HTHEME theme, int part, int state, int prop, LPWSTR buffer, int size);
HRESULT GetThemeEnumValue(HTHEME theme, int part, int state, int prop, int* value);
HRESULT GetThemePropertyOrigin(HTHEME theme, int part, int state, int prop, PROPERTYORIGIN* origin);
COLORREF GetThemeSysColor(HTHEME theme, int colorId);
HBRUSH GetThemeSysColorBrush(HTHEME theme, int colorId);
int GetThemeSysSize(HTHEME theme, int sizeId);
BOOL GetThemeSysBool(HTHEME theme, int boolId);
HRESULT GetThemeSysFont(HTHEME theme, int fontId, LOGFONTW* font);
HRESULT GetThemeSysInt(HTHEME theme, int intId, int* value);
HRESULT GetThemeSysString(HTHEME theme, int stringId, LPWSTR buffer, int size);
BOOL IsThemePartDefined(HTHEME theme, int part, int state);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
HRESULT HitTestThemeBackground(HTHEME theme, HDC dc, int part, int state, DWORD options, const RECT* rect,
                               HRGN region, POINT test, WORD* hitCode);
BOOL IsThemeActive();
BOOL IsAppThemed();
HTHEME GetWindowTheme(HWND hwnd);
HRESULT SetWindowTheme(HWND hwnd, LPCWSTR subAppName, LPCWSTR subIdList);
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags);
BOOL IsThemeDialogTextureEnabled(HWND hwnd);
DWORD GetThemeAppProperties();
void SetThemeAppProperties(DWORD flags);
HRESULT GetCurrentThemeName(LPWSTR fileName, int fileNameSize, LPWSTR colorName, int colorNameSize, LPWSTR sizeName,
                            int sizeNameSize);
HRESULT GetThemeDocumentationProperty(LPCWSTR themeName, LPCWSTR propertyName, LPWSTR value, int size);
HRESULT EnableTheming(BOOL enable);
HRESULT BufferedPaintInit();
HRESULT BufferedPaintUnInit();
HPAINTBUFFER BeginBufferedPaint(HDC target, const RECT* rect, BP_BUFFERFORMAT format, BP_PAINTPARAMS* params,
                                HDC* paintDc);
HRESULT EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget);
HRESULT BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha);

namespace qv::modules {

inline constexpr const char* kDefaultThemeClasses =
    "BUTTON;SCROLLBAR;EXPLORERBAR;TOOLBAR;REBAR;HEADER;TAB;WINDOW;EDIT;COMBOBOX;PROGRESS;TREEVIEW;LISTVIEW;"
    "STATUS;SPIN;TASKBAND;GLOBALS";

// One drawing call as the stand-in saw it, for tests.
struct ThemeCall {
  std::string function;   // "DrawThemeBackground", "DrawThemeText", ...
  std::string className;  // upper case; empty for calls without a theme
  int part = 0;
  int state = 0;
  RECT rect{0, 0, 0, 0};
  std::string text;  // DrawThemeText: the text, Windows-1252
};
const std::vector<ThemeCall>& themeCalls();
void clearThemeCalls();

// What the desktop switches to; unset names keep the profile's.
struct ThemeProfile {
  qv::desktop::ModuleProfile visualStyles = qv::desktop::ModuleProfile::Themed;
  std::string classes;  // empty: kDefaultThemeClasses
  std::string fileName = "Luna.msstyles";
  std::string colorName = "NormalColor";
  std::string sizeName = "NormalSize";
};
// Puts the profile in force and broadcasts WM_THEMECHANGED, as when the
// user picks another visual style.
void setThemeProfile(const ThemeProfile& theme);

// The class an open handle stands for (upper case), "" for a bad handle.
std::string themeClassOf(HTHEME theme);

// Registers "UxTheme.dll" from the current profile (done at start-up; call
// again after changing the profile's OS version, which decides whether the
// version 6 entry points exist).
void registerUxTheme();

}  // namespace qv::modules
