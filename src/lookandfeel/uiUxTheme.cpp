#include "lookandfeel/uiUxTheme.h"

#include "lookandfeel/lkGeometry.h"

#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/CommCtrl.h"

namespace {

int StartCount = 0;
HMODULE UxThemeModule = nullptr;
bool XPOrLater = false;
uiUxTheme::TUxThemeEntryPoints Procs;

void BindEntryPoints() {
#define QV_UXTHEME_BIND(Name) Procs.Name = qv::os::procAs<decltype(Procs.Name)>(GetProcAddress(UxThemeModule, #Name));
  QV_UXTHEME_ENTRY_POINTS(QV_UXTHEME_BIND)
#undef QV_UXTHEME_BIND
}

}  // namespace

bool IsUxThemeLoaded() { return UxThemeModule != nullptr; }

bool IsXPOrLater() { return XPOrLater; }

namespace uiUxTheme {

// Visual styles came with 5.1; an older system may still carry a
// uxtheme.dll (an installed copy), which is never loaded there.
void Initialize() {
  if (StartCount++ > 0) return;
  OSVERSIONINFO info{};
  info.dwOSVersionInfoSize = sizeof(info);
  XPOrLater = false;
  if (GetVersionEx(&info))
    XPOrLater = info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion != 0);
  InitCommonControls();
  if (!XPOrLater) return;
  UxThemeModule = LoadLibrary("UxTheme.dll");
  if (UxThemeModule != nullptr) BindEntryPoints();
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  // The pointers go with the module, so nothing can call into a freed library.
  Procs = TUxThemeEntryPoints{};
  if (UxThemeModule != nullptr) {
    FreeLibrary(UxThemeModule);
    UxThemeModule = nullptr;
  }
}

const TUxThemeEntryPoints& EntryPoints() { return Procs; }

HTHEME OpenThemeData(HWND hwnd, LPCWSTR ClassList) {
  return Procs.OpenThemeData ? Procs.OpenThemeData(hwnd, ClassList) : nullptr;
}

HRESULT CloseThemeData(HTHEME Theme) { return Procs.CloseThemeData ? Procs.CloseThemeData(Theme) : E_NOTIMPL; }

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, const RECT* ClipRect) {
  if (!Procs.DrawThemeBackground) return E_NOTIMPL;
  return Procs.DrawThemeBackground(Theme, DC, PartId, StateId, Rect, ClipRect);
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect, const RECT* ClipRect) {
  return uiUxTheme::DrawThemeBackground(Theme, DC, PartId, StateId, &Rect, ClipRect);
}

HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, LPCWSTR Text, int CharCount, DWORD TextFlags,
                      DWORD TextFlags2, const RECT* Rect) {
  if (!Procs.DrawThemeText) return E_NOTIMPL;
  return Procs.DrawThemeText(Theme, DC, PartId, StateId, Text, CharCount, TextFlags, TextFlags2, Rect);
}

HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, const std::string& Text, int CharCount,
                      DWORD TextFlags, DWORD TextFlags2, const RECT* Rect) {
  const std::u16string wide = qv::os::ansiToUtf16(Text);
  return uiUxTheme::DrawThemeText(Theme, DC, PartId, StateId, wide.c_str(), CharCount, TextFlags, TextFlags2, Rect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* BoundingRect,
                                      RECT* ContentRect) {
  if (!Procs.GetThemeBackgroundContentRect) return E_NOTIMPL;
  return Procs.GetThemeBackgroundContentRect(Theme, DC, PartId, StateId, BoundingRect, ContentRect);
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, THEMESIZE SizeKind,
                         SIZE* Size) {
  if (!Procs.GetThemePartSize) return E_NOTIMPL;
  return Procs.GetThemePartSize(Theme, DC, PartId, StateId, Rect, SizeKind, Size);
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, THEMESIZE SizeKind, SIZE* Size) {
  return uiUxTheme::GetThemePartSize(Theme, DC, PartId, StateId, nullptr, SizeKind, Size);
}

HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, HRGN* Region) {
  if (!Procs.GetThemeBackgroundRegion) return E_NOTIMPL;
  return Procs.GetThemeBackgroundRegion(Theme, DC, PartId, StateId, Rect, Region);
}

HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* DestRect, UINT Edge, UINT Flags,
                      RECT* ContentRect) {
  if (!Procs.DrawThemeEdge) return E_NOTIMPL;
  return Procs.DrawThemeEdge(Theme, DC, PartId, StateId, DestRect, Edge, Flags, ContentRect);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int PartId, int StateId) {
  if (!Procs.IsThemeBackgroundPartiallyTransparent) return FALSE;
  return Procs.IsThemeBackgroundPartiallyTransparent(Theme, PartId, StateId);
}

HRESULT GetThemeColor(HTHEME Theme, int PartId, int StateId, int PropId, COLORREF* Color) {
  if (!Procs.GetThemeColor) return E_NOTIMPL;
  return Procs.GetThemeColor(Theme, PartId, StateId, PropId, Color);
}

HRESULT GetCurrentThemeName(LPWSTR FileName, int MaxFileNameChars, LPWSTR ColorBuff, int MaxColorChars, LPWSTR SizeBuff,
                            int MaxSizeChars) {
  if (!Procs.GetCurrentThemeName) return E_NOTIMPL;
  return Procs.GetCurrentThemeName(FileName, MaxFileNameChars, ColorBuff, MaxColorChars, SizeBuff, MaxSizeChars);
}

BOOL IsThemeActive() { return Procs.IsThemeActive ? Procs.IsThemeActive() : FALSE; }

}  // namespace uiUxTheme

namespace {
const qv::classlib::TUnitInfo* const kUxThemeUses[] = {&lkGeometryUnit};
}  // namespace

const qv::classlib::TUnitInfo uiUxThemeUnit{"uiUxTheme", kUxThemeUses, &uiUxTheme::Initialize, &uiUxTheme::Finalize};
