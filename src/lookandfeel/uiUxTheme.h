// Visual styles without depending on them: the library binds uxtheme.dll at
// run time, and only on 5.1 or later, where the platform has visual styles
// at all. Every entry point is looked up by name and may be missing; a
// missing library or entry point means unthemed drawing, never an error.
//
// The wrappers carry the platform's names and arguments. Because the
// library's own exports have the same names in the global namespace, the
// wrappers live in namespace uiUxTheme and are always called qualified
// (uiUxTheme::OpenThemeData): unqualified, argument-dependent lookup would
// also find the library's exports and make the call ambiguous. A wrapper whose entry point is missing fails
// the way the platform fails for a theme it cannot serve: a null handle,
// FALSE, or E_NOTIMPL.
#pragma once

#include <string>

#include "platform/classlib/System.h"
#include "platform/modules/UxTheme.h"  // the platform's theme types only
#include "platform/os/Types.h"

// The library is loaded (only ever on 5.1 or later).
bool IsUxThemeLoaded();
// Computed at start-up: major version above 5, or 5 with a minor version
// other than 0.
bool IsXPOrLater();

// The entry points the library binds, in the order it binds them.
#define QV_UXTHEME_ENTRY_POINTS(X)         \
  X(CloseThemeData)                        \
  X(DrawThemeBackground)                   \
  X(DrawThemeEdge)                         \
  X(DrawThemeIcon)                         \
  X(DrawThemeParentBackground)             \
  X(DrawThemeText)                         \
  X(DrawThemeTextEx)                       \
  X(EnableThemeDialogTexture)              \
  X(GetCurrentThemeName)                   \
  X(GetThemeAppProperties)                 \
  X(GetThemeBackgroundContentRect)         \
  X(GetThemeBackgroundRegion)              \
  X(GetThemeBackgroundExtent)              \
  X(GetThemeBool)                          \
  X(GetThemeColor)                         \
  X(GetThemeDocumentationProperty)         \
  X(GetThemeEnumValue)                     \
  X(GetThemeFilename)                      \
  X(GetThemeFont)                          \
  X(GetThemeInt)                           \
  X(GetThemeIntList)                       \
  X(GetThemeMargins)                       \
  X(GetThemeMetric)                        \
  X(GetThemePartSize)                      \
  X(GetThemePosition)                      \
  X(GetThemePropertyOrigin)                \
  X(GetThemeRect)                          \
  X(GetThemeString)                        \
  X(GetThemeSysBool)                       \
  X(GetThemeSysColor)                      \
  X(GetThemeSysColorBrush)                 \
  X(GetThemeSysFont)                       \
  X(GetThemeSysInt)                        \
  X(GetThemeSysSize)                       \
  X(GetThemeSysString)                     \
  X(GetThemeTextExtent)                    \
  X(GetThemeTextMetrics)                   \
  X(GetWindowTheme)                        \
  X(HitTestThemeBackground)                \
  X(IsAppThemed)                           \
  X(IsThemeActive)                         \
  X(IsThemePartDefined)                    \
  X(IsThemeBackgroundPartiallyTransparent) \
  X(IsThemeDialogTextureEnabled)           \
  X(OpenThemeData)                         \
  X(SetThemeAppProperties)                 \
  X(SetWindowTheme)                        \
  X(BufferedPaintInit)                     \
  X(BufferedPaintUnInit)                   \
  X(BeginBufferedPaint)                    \
  X(EndBufferedPaint)                      \
  X(BufferedPaintSetAlpha)

// The unit in the program's start-up order (uses lkGeometry, which starts
// before it).
extern const qv::classlib::TUnitInfo uiUxThemeUnit;

namespace uiUxTheme {

// Unit start-up and shut-down; see the .cpp for what they do. Counted: only
// the first Initialize and the matching last Finalize act.
void Initialize();
void Finalize();

// One pointer per entry point, typed as the platform declares it; null when
// the library is not loaded or lacks the name. Callers of an entry point
// without a wrapper below test its pointer first.
struct TUxThemeEntryPoints {
#define QV_UXTHEME_POINTER(Name) decltype(&::Name) Name = nullptr;
  QV_UXTHEME_ENTRY_POINTS(QV_UXTHEME_POINTER)
#undef QV_UXTHEME_POINTER
};
const TUxThemeEntryPoints& EntryPoints();

HTHEME OpenThemeData(HWND hwnd, LPCWSTR ClassList);
HRESULT CloseThemeData(HTHEME Theme);
HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, const RECT* ClipRect);
HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect,
                            const RECT* ClipRect = nullptr);
HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, LPCWSTR Text, int CharCount, DWORD TextFlags,
                      DWORD TextFlags2, const RECT* Rect);
// The text in the ANSI code page, passed on as wide text.
HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, const std::string& Text, int CharCount,
                      DWORD TextFlags, DWORD TextFlags2, const RECT* Rect);
HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* BoundingRect,
                                      RECT* ContentRect);
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, THEMESIZE SizeKind,
                         SIZE* Size);
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, THEMESIZE SizeKind, SIZE* Size);
HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, HRGN* Region);
HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* DestRect, UINT Edge, UINT Flags,
                      RECT* ContentRect);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int PartId, int StateId);
HRESULT GetThemeColor(HTHEME Theme, int PartId, int StateId, int PropId, COLORREF* Color);
HRESULT GetCurrentThemeName(LPWSTR FileName, int MaxFileNameChars, LPWSTR ColorBuff, int MaxColorChars, LPWSTR SizeBuff,
                            int MaxSizeChars);
// The platform's answer when bound, else 0.
BOOL IsThemeActive();

}  // namespace uiUxTheme
