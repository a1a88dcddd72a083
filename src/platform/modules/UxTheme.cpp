#include "platform/modules/UxTheme.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/Window.h"

namespace qv::modules {

namespace {

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER).
constexpr HRESULT E_INSUFFICIENT_BUFFER_HR = static_cast<HRESULT>(0x8007007Au);

struct Theme {
  std::string className;  // upper case
  HWND window = nullptr;
};

struct State {
  std::set<Theme*> themes;  // live handles
  std::vector<ThemeCall> calls;
  std::map<HWND, HTHEME> windowThemes;
  std::map<HWND, std::u16string> windowIdLists;  // SetWindowTheme's list; L"" switches theming off
  std::map<HWND, DWORD> dialogTexture;
  DWORD appProperties = STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT;
  bool themingDisabled = false;  // EnableTheming(FALSE)
  int bufferedInits = 0;
};

State& st() {
  static State* s = [] {
    auto* made = new State;
    qv::desktop::onReset([made] {
      for (Theme* t : made->themes) delete t;
      *made = State{};
    });
    return made;
  }();
  return *s;
}

std::string upper(std::string_view s) { return qv::os::ansiUpperCase(s); }

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::vector<std::string> splitList(const std::string& list) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string item = upper(trim(list.substr(start, end - start)));
    if (!item.empty()) out.push_back(item);
    start = end + 1;
  }
  return out;
}

bool themeOn() { return profile().visualStyles == ModuleProfile::Themed && !st().themingDisabled; }

bool themeHasClass(const std::string& cls) {
  if (!themeOn()) return false;
  const std::string& list = profile().themeClasses;
  for (const std::string& c : splitList(list.empty() ? kDefaultThemeClasses : list))
    if (c == cls) return true;
  return false;
}

// The handle's theme when it answers for the theme in force, else nullptr.
Theme* live(HTHEME h) {
  auto* t = static_cast<Theme*>(h);
  if (!t || !st().themes.count(t)) return nullptr;
  return themeHasClass(t->className) ? t : nullptr;
}

std::uint32_t fnv1a(const std::string& s) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : s) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

std::uint32_t keyOf(const std::string& cls, int part, int state) {
  return fnv1a(cls + "/" + std::to_string(part) + "/" + std::to_string(state));
}

COLORREF fillColor(const std::string& cls, int part, int state) {
  const std::uint32_t k = keyOf(cls, part, state);
  return RGB(static_cast<BYTE>(128 + (k & 127)), static_cast<BYTE>(128 + ((k >> 8) & 127)),
             static_cast<BYTE>(128 + ((k >> 16) & 127)));
}
COLORREF gradientEnd(const std::string& cls, int part, int state) {
  const COLORREF f = fillColor(cls, part, state);
  return RGB(static_cast<BYTE>(GetRValue(f) - 64), static_cast<BYTE>(GetGValue(f) - 64),
             static_cast<BYTE>(GetBValue(f) - 64));
}
COLORREF borderColor(const std::string& cls, int part, int state) {
  const std::uint32_t k = keyOf(cls, part, state);
  return RGB(static_cast<BYTE>((k >> 24) & 63), static_cast<BYTE>((k >> 18) & 63), static_cast<BYTE>((k >> 12) & 63));
}

// Parts drawn as fixed-size images: check boxes and radio buttons, the
// tree's expand glyph, scroll-bar arrows and thumbs' grippers, the
// explorer bar's header buttons.
std::optional<SIZE> fixedSize(const std::string& cls, int part) {
  if (cls == "BUTTON" && (part == 2 || part == 3)) return SIZE{13, 13};
  if (cls == "TREEVIEW" && part == 2) return SIZE{9, 9};
  if (cls == "SCROLLBAR" && (part == 1 || part == 8 || part == 9)) return SIZE{17, 17};
  if (cls == "EXPLORERBAR" && part >= 2 && part <= 4) return SIZE{16, 16};
  // The group headers' collapse and expand buttons, as big as the shell
  // style module's sign bitmaps.
  if (cls == "EXPLORERBAR" && (part == 6 || part == 7 || part == 10 || part == 11)) return SIZE{22, 22};
  return std::nullopt;
}

// Push buttons keep 3 pixels of content margin, everything else its border.
MARGINS contentMargins(const std::string& cls, int part) {
  if (cls == "BUTTON" && part == 1) return {3, 3, 3, 3};
  if (cls == "EDIT" || cls == "COMBOBOX") return {2, 2, 2, 2};
  return {1, 1, 1, 1};
}

// Rounded push buttons, radio buttons and the explorer bar's group headers
// let the parent show through their corners.
bool partiallyTransparent(const std::string& cls, int part) {
  return (cls == "BUTTON" && (part == 1 || part == 2)) || (cls == "EXPLORERBAR" && (part == 8 || part == 12));
}

int partCount(const std::string& cls) {
  static const std::map<std::string, int> counts = {
      {"BUTTON", 5},   {"SCROLLBAR", 10}, {"EXPLORERBAR", 12}, {"TOOLBAR", 7},   {"REBAR", 6},
      {"HEADER", 3},   {"TAB", 10},       {"WINDOW", 38},      {"EDIT", 1},      {"COMBOBOX", 1},
      {"PROGRESS", 4}, {"TREEVIEW", 3},   {"LISTVIEW", 5},     {"STATUS", 3},    {"SPIN", 4},
      {"TASKBAND", 3}, {"GLOBALS", 1},    {"PAGE", 4},         {"TOOLTIP", 4},   {"TRACKBAR", 9},
      {"MENU", 5},     {"CLOCK", 1},      {"STARTPANEL", 13},  {"TASKBAR", 8},   {"TRAYNOTIFY", 2},
      {"LISTBOX", 1}};
  auto it = counts.find(cls);
  return it == counts.end() ? 8 : it->second;
}

void record(const std::string& fn, const Theme* t, int part, int state, const RECT* r, std::string text = {}) {
  ThemeCall c;
  c.function = fn;
  c.className = t ? t->className : std::string();
  c.part = part;
  c.state = state;
  if (r) c.rect = *r;
  c.text = std::move(text);
  st().calls.push_back(std::move(c));
}

bool emptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

void drawBackground(HDC dc, const Theme& t, int part, int state, const RECT& given, const RECT* clip, bool omitBorder,
                    bool omitContent) {
  // Coordinates beyond 2^30 are taken as 2^30, so that the border's
  // arithmetic cannot overflow; no device is that large.
  static constexpr LONG kLimit = 1 << 30;
  auto lim = [](LONG v) { return std::clamp<LONG>(v, -kLimit, kLimit); };
  const RECT r{lim(given.left), lim(given.top), lim(given.right), lim(given.bottom)};
  const int saved = SaveDC(dc);
  if (clip) IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
  if (partiallyTransparent(t.className, part)) {
    ExcludeClipRect(dc, r.left, r.top, r.left + 1, r.top + 1);
    ExcludeClipRect(dc, r.right - 1, r.top, r.right, r.top + 1);
    ExcludeClipRect(dc, r.left, r.bottom - 1, r.left + 1, r.bottom);
    ExcludeClipRect(dc, r.right - 1, r.bottom - 1, r.right, r.bottom);
  }
  const COLORREF top = fillColor(t.className, part, state);
  const COLORREF bottom = gradientEnd(t.className, part, state);
  const long long h = static_cast<long long>(r.bottom) - r.top;
  // Only the rows the DC can show are filled, however tall the rectangle.
  RECT box{0, 0, 0, 0};
  GetClipBox(dc, &box);
  const int firstRow = std::max<LONG>(r.top + 1, box.top), endRow = std::min<LONG>(r.bottom - 1, box.bottom);
  if (!omitContent) {
    for (int y = firstRow; y < endRow; ++y) {
      // Row 1 has the fill colour, the last row inside the border the end.
      const long long span = std::max(1LL, static_cast<long long>(h) - 3);
      const long long i = static_cast<long long>(y) - r.top - 1;
      auto mix = [&](BYTE a, BYTE b) { return static_cast<BYTE>(a + (static_cast<long long>(b) - a) * i / span); };
      const COLORREF c = RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
                             mix(GetBValue(top), GetBValue(bottom)));
      qv::os::gdi::fillSolid(dc, r.left + 1, y, r.right - 1, y + 1, c);
    }
  }
  if (!omitBorder) {
    const COLORREF b = borderColor(t.className, part, state);
    qv::os::gdi::fillSolid(dc, r.left, r.top, r.right, r.top + 1, b);
    qv::os::gdi::fillSolid(dc, r.left, r.bottom - 1, r.right, r.bottom, b);
    qv::os::gdi::fillSolid(dc, r.left, r.top, r.left + 1, r.bottom, b);
    qv::os::gdi::fillSolid(dc, r.right - 1, r.top, r.right, r.bottom, b);
  }
  RestoreDC(dc, saved);
}

std::u16string wideOf(LPCWSTR s, int count) {
  if (!s) return {};
  if (count < 0) return std::u16string(s);
  return std::u16string(s, static_cast<size_t>(count));
}

HRESULT copyWide(const std::u16string& value, LPWSTR buffer, int size) {
  if (!buffer || size <= 0) return E_INVALIDARG;
  const size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, value.data(), n * sizeof(WCHAR));
  buffer[n] = 0;
  return n < value.size() ? E_INSUFFICIENT_BUFFER_HR : S_OK;
}

LOGFONTW messageFont(bool bold) {
  LOGFONTW f{};
  f.lfHeight = -11;
  f.lfWeight = bold ? 700 : 400;
  f.lfCharSet = 1;  // DEFAULT_CHARSET
  const std::u16string face = u"Tahoma";
  std::memcpy(f.lfFaceName, face.c_str(), (face.size() + 1) * sizeof(WCHAR));
  return f;
}

}  // namespace

const std::vector<ThemeCall>& themeCalls() { return st().calls; }
void clearThemeCalls() { st().calls.clear(); }

std::string themeClassOf(HTHEME theme) {
  auto* t = static_cast<Theme*>(theme);
  return t && st().themes.count(t) ? t->className : std::string();
}

void setThemeProfile(const ThemeProfile& theme) {
  auto& p = profile();
  p.visualStyles = theme.visualStyles;
  p.themesActive = theme.visualStyles == ModuleProfile::Themed;
  p.themeClasses = theme.classes;
  p.themeFileName = theme.fileName;
  p.themeColorName = theme.colorName;
  p.themeSizeName = theme.sizeName;
  st().themingDisabled = false;
  qv::os::broadcastThemeChanged();
}

void registerUxTheme() {
  using qv::os::StandInExport;
  std::vector<StandInExport> e = {
      StandInExport::of("CloseThemeData", &::CloseThemeData),
      StandInExport::of("DrawThemeBackground", &::DrawThemeBackground),
      StandInExport::of("DrawThemeBackgroundEx", &::DrawThemeBackgroundEx),
      StandInExport::of("DrawThemeEdge", &::DrawThemeEdge),
      StandInExport::of("DrawThemeIcon", &::DrawThemeIcon),
      StandInExport::of("DrawThemeParentBackground", &::DrawThemeParentBackground),
      StandInExport::of("DrawThemeText", &::DrawThemeText),
      StandInExport::of("EnableThemeDialogTexture", &::EnableThemeDialogTexture),
      StandInExport::of("EnableTheming", &::EnableTheming),
      StandInExport::of("GetCurrentThemeName", &::GetCurrentThemeName),
      StandInExport::of("GetThemeAppProperties", &::GetThemeAppProperties),
      StandInExport::of("GetThemeBackgroundContentRect", &::GetThemeBackgroundContentRect),
      StandInExport::of("GetThemeBackgroundExtent", &::GetThemeBackgroundExtent),
      StandInExport::of("GetThemeBackgroundRegion", &::GetThemeBackgroundRegion),
      StandInExport::of("GetThemeBool", &::GetThemeBool),
      StandInExport::of("GetThemeColor", &::GetThemeColor),
      StandInExport::of("GetThemeDocumentationProperty", &::GetThemeDocumentationProperty),
      StandInExport::of("GetThemeEnumValue", &::GetThemeEnumValue),
      StandInExport::of("GetThemeFilename", &::GetThemeFilename),
      StandInExport::of("GetThemeFont", &::GetThemeFont),
      StandInExport::of("GetThemeInt", &::GetThemeInt),
      StandInExport::of("GetThemeIntList", &::GetThemeIntList),
      StandInExport::of("GetThemeMargins", &::GetThemeMargins),
      StandInExport::of("GetThemeMetric", &::GetThemeMetric),
      StandInExport::of("GetThemePartSize", &::GetThemePartSize),
      StandInExport::of("GetThemePosition", &::GetThemePosition),
      StandInExport::of("GetThemePropertyOrigin", &::GetThemePropertyOrigin),
      StandInExport::of("GetThemeRect", &::GetThemeRect),
      StandInExport::of("GetThemeString", &::GetThemeString),
      StandInExport::of("GetThemeSysBool", &::GetThemeSysBool),
      StandInExport::of("GetThemeSysColor", &::GetThemeSysColor),
      StandInExport::of("GetThemeSysColorBrush", &::GetThemeSysColorBrush),
      StandInExport::of("GetThemeSysFont", &::GetThemeSysFont),
      StandInExport::of("GetThemeSysInt", &::GetThemeSysInt),
      StandInExport::of("GetThemeSysSize", &::GetThemeSysSize),
      StandInExport::of("GetThemeSysString", &::GetThemeSysString),
      StandInExport::of("GetThemeTextExtent", &::GetThemeTextExtent),
      StandInExport::of("GetThemeTextMetrics", &::GetThemeTextMetrics),
      StandInExport::of("GetWindowTheme", &::GetWindowTheme),
      StandInExport::of("HitTestThemeBackground", &::HitTestThemeBackground),
      StandInExport::of("IsAppThemed", &::IsAppThemed),
      StandInExport::of("IsThemeActive", &::IsThemeActive),
      StandInExport::of("IsThemeBackgroundPartiallyTransparent", &::IsThemeBackgroundPartiallyTransparent),
      StandInExport::of("IsThemeDialogTextureEnabled", &::IsThemeDialogTextureEnabled),
      StandInExport::of("IsThemePartDefined", &::IsThemePartDefined),
      StandInExport::of("OpenThemeData", &::OpenThemeData),
      StandInExport::of("SetThemeAppProperties", &::SetThemeAppProperties),
      StandInExport::of("SetWindowTheme", &::SetWindowTheme),
  };
  // The text and buffered-painting entry points came with version 6.
  if (profile().osMajor >= 6) {
    e.push_back(StandInExport::of("DrawThemeTextEx", &::DrawThemeTextEx));
    e.push_back(StandInExport::of("BufferedPaintInit", &::BufferedPaintInit));
    e.push_back(StandInExport::of("BufferedPaintUnInit", &::BufferedPaintUnInit));
    e.push_back(StandInExport::of("BeginBufferedPaint", &::BeginBufferedPaint));
    e.push_back(StandInExport::of("EndBufferedPaint", &::EndBufferedPaint));
    e.push_back(StandInExport::of("BufferedPaintSetAlpha", &::BufferedPaintSetAlpha));
  }
  qv::os::StandInModule m;
  m.fileName = "UxTheme.dll";
  m.exports = std::move(e);
  m.available = [] { return profile().visualStyles != ModuleProfile::Absent; };
  qv::os::registerStandInModule(std::move(m));
}

namespace {
const bool kRegistered = (registerUxTheme(), true);
}

}  // namespace qv::modules

using namespace qv::modules;

HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList) {
  State& s = st();
  if (!classList) {
    SetLastError(static_cast<DWORD>(E_POINTER));
    return nullptr;
  }
  if (!IsAppThemed() || (hwnd && s.windowIdLists.count(hwnd) && s.windowIdLists[hwnd].empty())) {
    SetLastError(static_cast<DWORD>(E_PROP_ID_UNSUPPORTED));
    return nullptr;
  }
  for (const std::string& cls : splitList(qv::os::utf16ToAnsi(classList))) {
    if (!themeHasClass(cls)) continue;
    auto* t = new Theme{cls, hwnd};
    s.themes.insert(t);
    if (hwnd) s.windowThemes[hwnd] = t;
    return t;
  }
  SetLastError(static_cast<DWORD>(E_PROP_ID_UNSUPPORTED));
  return nullptr;
}

HRESULT CloseThemeData(HTHEME theme) {
  State& s = st();
  auto* t = static_cast<Theme*>(theme);
  if (!t || !s.themes.erase(t)) return E_HANDLE;
  for (auto it = s.windowThemes.begin(); it != s.windowThemes.end();)
    it = it->second == theme ? s.windowThemes.erase(it) : std::next(it);
  delete t;
  return S_OK;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!rect || !dc) return E_INVALIDARG;
  record("DrawThemeBackground", t, part, state, rect);
  if (!emptyRect(*rect)) drawBackground(dc, *t, part, state, *rect, clip, false, false);
  return S_OK;
}

HRESULT DrawThemeBackgroundEx(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const DTBGOPTS* options) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!rect || !dc) return E_INVALIDARG;
  const DWORD flags = options ? options->dwFlags : 0;
  record("DrawThemeBackgroundEx", t, part, state, rect);
  if (!emptyRect(*rect))
    drawBackground(dc, *t, part, state, *rect, (flags & DTBG_CLIPRECT) ? &options->rcClip : nullptr,
                   (flags & DTBG_OMITBORDER) != 0, (flags & DTBG_OMITCONTENT) != 0);
  return S_OK;
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, const RECT* rect) {
  if (!IsWindow(hwnd) || !dc) return E_INVALIDARG;
  record("DrawThemeParentBackground", nullptr, 0, 0, rect);
  HWND parent = GetParent(hwnd);
  if (!parent) return S_OK;
  // The parent paints its client area as if the DC were its own: move the
  // origin by the child's offset in the parent.
  POINT off{0, 0};
  MapWindowPoints(hwnd, parent, &off, 1);
  const int saved = SaveDC(dc);
  if (rect) IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
  POINT org;
  GetViewportOrgEx(dc, &org);
  SetViewportOrgEx(dc, org.x - off.x, org.y - off.y, nullptr);
  SendMessage(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessage(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0x00000004 /* PRF_CLIENT */);
  RestoreDC(dc, saved);
  return S_OK;
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD textFlags,
                      DWORD textFlags2, const RECT* rect) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!dc || !rect || !text) return E_INVALIDARG;
  std::string ansi = qv::os::utf16ToAnsi(wideOf(text, count));
  record("DrawThemeText", t, part, state, rect, ansi);
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, (textFlags2 & DTT_GRAYED) ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
  RECT r = *rect;
  DrawText(dc, ansi.c_str(), static_cast<int>(ansi.size()), &r, textFlags & ~DT_CALCRECT);
  RestoreDC(dc, saved);
  return S_OK;
}

HRESULT DrawThemeTextEx(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD textFlags,
                        LPRECT rect, const DTTOPTS* options) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!dc || !rect || !text) return E_INVALIDARG;
  std::string ansi = qv::os::utf16ToAnsi(wideOf(text, count));
  record("DrawThemeTextEx", t, part, state, rect, ansi);
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, options && (options->dwFlags & DTT_TEXTCOLOR) ? options->crText : RGB(0, 0, 0));
  DrawText(dc, ansi.c_str(), static_cast<int>(ansi.size()), rect, textFlags);
  RestoreDC(dc, saved);
  return S_OK;
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* destRect, UINT edge, UINT flags,
                      LPRECT contentRect) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!dc || !destRect) return E_INVALIDARG;
  record("DrawThemeEdge", t, part, state, destRect);
  RECT r = *destRect;
  DrawEdge(dc, &r, edge, flags);
  // With BF_ADJUST the edge's inside, else the rectangle as given.
  if (contentRect) *contentRect = r;
  return S_OK;
}

HRESULT DrawThemeIcon(HTHEME theme, HDC, int part, int state, const RECT* rect, HIMAGELIST images, int) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!rect || !images) return E_INVALIDARG;
  record("DrawThemeIcon", t, part, state, rect);
  // Image lists belong to the common controls, which this layer does not
  // draw; the call is recorded for tests.
  return E_NOTIMPL;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC, int part, int, const RECT* bounds, LPRECT content) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!bounds || !content) return E_INVALIDARG;
  const MARGINS m = contentMargins(t->className, part);
  *content = {bounds->left + m.leftWidth, bounds->top + m.topHeight, bounds->right - m.rightWidth,
              bounds->bottom - m.bottomHeight};
  return S_OK;
}

HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC, int part, int, const RECT* content, LPRECT extent) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!content || !extent) return E_INVALIDARG;
  const MARGINS m = contentMargins(t->className, part);
  *extent = {content->left - m.leftWidth, content->top - m.topHeight, content->right + m.rightWidth,
             content->bottom + m.bottomHeight};
  return S_OK;
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC, int part, int, const RECT* rect, HRGN* region) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!rect || !region) return E_INVALIDARG;
  HRGN rgn = CreateRectRgnIndirect(rect);
  if (partiallyTransparent(t->className, part) && !emptyRect(*rect)) {
    const RECT corners[4] = {{rect->left, rect->top, rect->left + 1, rect->top + 1},
                             {rect->right - 1, rect->top, rect->right, rect->top + 1},
                             {rect->left, rect->bottom - 1, rect->left + 1, rect->bottom},
                             {rect->right - 1, rect->bottom - 1, rect->right, rect->bottom}};
    for (const RECT& c : corners) {
      HRGN cr = CreateRectRgnIndirect(&c);
      CombineRgn(rgn, rgn, cr, RGN_DIFF);
      DeleteObject(cr);
    }
  }
  *region = rgn;
  return S_OK;
}

HRESULT GetThemePartSize(HTHEME theme, HDC, int part, int, const RECT* rect, THEMESIZE kind, SIZE* size) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!size || kind < TS_MIN || kind > TS_DRAW) return E_INVALIDARG;
  const auto fixed = fixedSize(t->className, part);
  switch (kind) {
    case TS_MIN:
      *size = fixed ? *fixed : SIZE{2, 2};  // sizable parts: just their border
      break;
    case TS_TRUE:
      *size = fixed ? *fixed : SIZE{16, 16};
      break;
    case TS_DRAW:
      if (!rect) {
        *size = fixed ? *fixed : SIZE{16, 16};
      } else if (fixed) {
        *size = {std::min<LONG>(fixed->cx, rect->right - rect->left), std::min<LONG>(fixed->cy, rect->bottom - rect->top)};
      } else {
        *size = {rect->right - rect->left, rect->bottom - rect->top};
      }
      break;
  }
  return S_OK;
}

HRESULT GetThemeTextExtent(HTHEME theme, HDC dc, int, int, LPCWSTR text, int count, DWORD textFlags,
                           const RECT* bounds, LPRECT extent) {
  if (!live(theme)) return E_HANDLE;
  if (!dc || !text || !extent) return E_INVALIDARG;
  const std::string ansi = qv::os::utf16ToAnsi(wideOf(text, count));
  RECT r = bounds ? *bounds : RECT{0, 0, 0, 0};
  // Without bounds there is no width to break the words at.
  if (!bounds) textFlags &= ~DT_WORDBREAK;
  DrawText(dc, ansi.c_str(), static_cast<int>(ansi.size()), &r, textFlags | DT_CALCRECT);
  *extent = r;
  return S_OK;
}

HRESULT GetThemeTextMetrics(HTHEME theme, HDC dc, int, int, TEXTMETRICW* metrics) {
  if (!live(theme)) return E_HANDLE;
  if (!dc || !metrics) return E_INVALIDARG;
  TEXTMETRICA a{};
  if (!GetTextMetrics(dc, &a)) return E_FAIL;
  metrics->tmHeight = a.tmHeight;
  metrics->tmAscent = a.tmAscent;
  metrics->tmDescent = a.tmDescent;
  metrics->tmInternalLeading = a.tmInternalLeading;
  metrics->tmExternalLeading = a.tmExternalLeading;
  metrics->tmAveCharWidth = a.tmAveCharWidth;
  metrics->tmMaxCharWidth = a.tmMaxCharWidth;
  metrics->tmWeight = a.tmWeight;
  metrics->tmOverhang = a.tmOverhang;
  metrics->tmDigitizedAspectX = a.tmDigitizedAspectX;
  metrics->tmDigitizedAspectY = a.tmDigitizedAspectY;
  metrics->tmFirstChar = a.tmFirstChar;
  metrics->tmLastChar = a.tmLastChar;
  metrics->tmDefaultChar = a.tmDefaultChar;
  metrics->tmBreakChar = a.tmBreakChar;
  metrics->tmItalic = a.tmItalic;
  metrics->tmUnderlined = a.tmUnderlined;
  metrics->tmStruckOut = a.tmStruckOut;
  metrics->tmPitchAndFamily = a.tmPitchAndFamily;
  metrics->tmCharSet = a.tmCharSet;
  return S_OK;
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int prop, COLORREF* color) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!color) return E_INVALIDARG;
  const std::string& c = t->className;
  switch (prop) {
    case TMT_COLOR:
    case TMT_FILLCOLOR:
    case TMT_GRADIENTCOLOR1:
    case TMT_EDGEFILLCOLOR:
      *color = fillColor(c, part, state);
      return S_OK;
    case TMT_GRADIENTCOLOR2:
    case TMT_EDGESHADOWCOLOR:
      *color = gradientEnd(c, part, state);
      return S_OK;
    case TMT_BORDERCOLOR:
    case TMT_EDGEDKSHADOWCOLOR:
      *color = borderColor(c, part, state);
      return S_OK;
    case TMT_TEXTCOLOR:
      *color = RGB(0, 0, 0);
      return S_OK;
    case TMT_EDGELIGHTCOLOR:
    case TMT_EDGEHIGHLIGHTCOLOR:
      *color = RGB(255, 255, 255);
      return S_OK;
    default:
      return E_PROP_ID_UNSUPPORTED;
  }
}

HRESULT GetThemeInt(HTHEME theme, int part, int, int prop, int* value) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!value) return E_INVALIDARG;
  switch (prop) {
    case TMT_BORDERSIZE:
    case TMT_IMAGECOUNT:
      *value = 1;
      return S_OK;
    case TMT_ROUNDCORNERWIDTH:
    case TMT_ROUNDCORNERHEIGHT:
      *value = partiallyTransparent(t->className, part) ? 1 : 0;
      return S_OK;
    default:
      return E_PROP_ID_UNSUPPORTED;
  }
}

HRESULT GetThemeMetric(HTHEME theme, HDC, int part, int state, int prop, int* value) {
  return GetThemeInt(theme, part, state, prop, value);
}

HRESULT GetThemeIntList(HTHEME theme, int, int, int, INTLIST* list) {
  if (!live(theme)) return E_HANDLE;
  if (!list) return E_INVALIDARG;
  return E_PROP_ID_UNSUPPORTED;
}

HRESULT GetThemeBool(HTHEME theme, int part, int, int prop, BOOL* value) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!value) return E_INVALIDARG;
  switch (prop) {
    case TMT_TRANSPARENT:
      *value = partiallyTransparent(t->className, part) ? TRUE : FALSE;
      return S_OK;
    case TMT_BORDERONLY:
      *value = FALSE;
      return S_OK;
    default:
      return E_PROP_ID_UNSUPPORTED;
  }
}

HRESULT GetThemeRect(HTHEME theme, int, int, int, LPRECT rect) {
  if (!live(theme)) return E_HANDLE;
  return rect ? E_PROP_ID_UNSUPPORTED : E_INVALIDARG;
}

HRESULT GetThemePosition(HTHEME theme, int, int, int, POINT* point) {
  if (!live(theme)) return E_HANDLE;
  return point ? E_PROP_ID_UNSUPPORTED : E_INVALIDARG;
}

HRESULT GetThemeMargins(HTHEME theme, HDC, int part, int, int prop, const RECT*, MARGINS* margins) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!margins) return E_INVALIDARG;
  switch (prop) {
    case TMT_CONTENTMARGINS:
      *margins = contentMargins(t->className, part);
      return S_OK;
    case TMT_SIZINGMARGINS:
      *margins = {1, 1, 1, 1};
      return S_OK;
    case TMT_CAPTIONMARGINS:
      *margins = {0, 0, 0, 0};
      return S_OK;
    default:
      return E_PROP_ID_UNSUPPORTED;
  }
}

HRESULT GetThemeFont(HTHEME theme, HDC, int, int, int prop, LOGFONTW* font) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!font) return E_INVALIDARG;
  if (prop != TMT_FONT) return E_PROP_ID_UNSUPPORTED;
  *font = messageFont(t->className == "EXPLORERBAR");
  return S_OK;
}

HRESULT GetThemeString(HTHEME theme, int, int, int, LPWSTR buffer, int size) {
  if (!live(theme)) return E_HANDLE;
  return buffer && size > 0 ? E_PROP_ID_UNSUPPORTED : E_INVALIDARG;
}

HRESULT GetThemeFilename(HTHEME theme, int, int, int, LPWSTR buffer, int size) {
  if (!live(theme)) return E_HANDLE;
  return buffer && size > 0 ? E_PROP_ID_UNSUPPORTED : E_INVALIDARG;
}

HRESULT GetThemeEnumValue(HTHEME theme, int, int, int prop, int* value) {
  if (!live(theme)) return E_HANDLE;
  if (!value) return E_INVALIDARG;
  if (prop == TMT_BGTYPE) *value = BT_BORDERFILL;
  else if (prop == TMT_FILLTYPE) *value = FT_VERTGRADIENT;
  else return E_PROP_ID_UNSUPPORTED;
  return S_OK;
}

HRESULT GetThemePropertyOrigin(HTHEME theme, int part, int state, int prop, PROPERTYORIGIN* origin) {
  if (!live(theme)) return E_HANDLE;
  if (!origin) return E_INVALIDARG;
  COLORREF c;
  int i;
  BOOL b;
  MARGINS m;
  const bool known = GetThemeColor(theme, part, state, prop, &c) == S_OK || GetThemeInt(theme, part, state, prop, &i) == S_OK ||
                     GetThemeBool(theme, part, state, prop, &b) == S_OK ||
                     GetThemeMargins(theme, nullptr, part, state, prop, nullptr, &m) == S_OK ||
                     GetThemeEnumValue(theme, part, state, prop, &i) == S_OK;
  *origin = known ? PO_STATE : PO_NOTFOUND;
  return S_OK;
}

COLORREF GetThemeSysColor(HTHEME, int colorId) { return GetSysColor(colorId); }
HBRUSH GetThemeSysColorBrush(HTHEME, int colorId) { return GetSysColorBrush(colorId); }
int GetThemeSysSize(HTHEME, int sizeId) { return GetSystemMetrics(sizeId); }
BOOL GetThemeSysBool(HTHEME theme, int boolId) {
  return (theme ? live(theme) != nullptr : themeOn()) && boolId == TMT_FLATMENUS ? TRUE : FALSE;
}

HRESULT GetThemeSysFont(HTHEME theme, int fontId, LOGFONTW* font) {
  if (theme && !live(theme)) return E_HANDLE;
  if (!font) return E_INVALIDARG;
  if (fontId < TMT_CAPTIONFONT || fontId > TMT_ICONTITLEFONT) return E_INVALIDARG;
  *font = messageFont(fontId == TMT_CAPTIONFONT);
  return S_OK;
}

HRESULT GetThemeSysInt(HTHEME theme, int intId, int* value) {
  if (theme && !live(theme)) return E_HANDLE;
  if (!value) return E_INVALIDARG;
  if (intId != TMT_MINCOLORDEPTH) return E_PROP_ID_UNSUPPORTED;
  *value = 16;
  return S_OK;
}

HRESULT GetThemeSysString(HTHEME theme, int, LPWSTR buffer, int size) {
  if (theme && !live(theme)) return E_HANDLE;
  return buffer && size > 0 ? E_PROP_ID_UNSUPPORTED : E_INVALIDARG;
}

BOOL IsThemePartDefined(HTHEME theme, int part, int) {
  Theme* t = live(theme);
  return t && part >= 1 && part <= partCount(t->className) ? TRUE : FALSE;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int) {
  Theme* t = live(theme);
  return t && partiallyTransparent(t->className, part) ? TRUE : FALSE;
}

HRESULT HitTestThemeBackground(HTHEME theme, HDC, int part, int, DWORD, const RECT* rect, HRGN region, POINT test,
                               WORD* hitCode) {
  Theme* t = live(theme);
  if (!t) return E_HANDLE;
  if (!rect || !hitCode) return E_INVALIDARG;
  bool inside = test.x >= rect->left && test.x < rect->right && test.y >= rect->top && test.y < rect->bottom;
  if (inside && region) inside = PtInRegion(region, test.x, test.y) != FALSE;
  if (inside && !region && partiallyTransparent(t->className, part)) {
    const bool edgeX = test.x == rect->left || test.x == rect->right - 1;
    const bool edgeY = test.y == rect->top || test.y == rect->bottom - 1;
    inside = !(edgeX && edgeY);
  }
  *hitCode = inside ? HTCLIENT : HTNOWHERE;
  return S_OK;
}

BOOL IsThemeActive() { return themeOn() ? TRUE : FALSE; }

BOOL IsAppThemed() { return themeOn() && (st().appProperties & STAP_ALLOW_CONTROLS) ? TRUE : FALSE; }

HTHEME GetWindowTheme(HWND hwnd) {
  auto it = st().windowThemes.find(hwnd);
  return it == st().windowThemes.end() ? nullptr : it->second;
}

HRESULT SetWindowTheme(HWND hwnd, LPCWSTR, LPCWSTR subIdList) {
  if (!IsWindow(hwnd)) return E_HANDLE;
  if (subIdList) st().windowIdLists[hwnd] = subIdList;
  else st().windowIdLists.erase(hwnd);
  // The window re-opens its theme data on the notice.
  SendMessage(hwnd, WM_THEMECHANGED, 0, 0);
  return S_OK;
}

HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags) {
  if (!IsWindow(hwnd)) return E_HANDLE;
  if (flags & ETDT_DISABLE) st().dialogTexture[hwnd] = 0;
  else st().dialogTexture[hwnd] = flags;
  return S_OK;
}

BOOL IsThemeDialogTextureEnabled(HWND hwnd) {
  auto it = st().dialogTexture.find(hwnd);
  return it != st().dialogTexture.end() && (it->second & ETDT_ENABLE) ? TRUE : FALSE;
}

DWORD GetThemeAppProperties() { return st().appProperties; }
void SetThemeAppProperties(DWORD flags) { st().appProperties = flags; }

HRESULT GetCurrentThemeName(LPWSTR fileName, int fileNameSize, LPWSTR colorName, int colorNameSize, LPWSTR sizeName,
                            int sizeNameSize) {
  if (!themeOn()) return E_PROP_ID_UNSUPPORTED;
  const auto& p = profile();
  // The file name comes as a full path in the theme folder.
  const std::string file = "C:\\WINDOWS\\Resources\\Themes\\" + p.themeFileName.substr(0, p.themeFileName.rfind('.')) +
                           "\\" + p.themeFileName;
  struct Out {
    LPWSTR buffer;
    int size;
    const std::string& value;
  } outs[] = {{fileName, fileNameSize, file}, {colorName, colorNameSize, p.themeColorName}, {sizeName, sizeNameSize, p.themeSizeName}};
  HRESULT hr = S_OK;
  for (const Out& o : outs) {
    if (!o.buffer) continue;
    const HRESULT one = copyWide(qv::os::ansiToUtf16(o.value), o.buffer, o.size);
    if (FAILED(one)) hr = one;
  }
  return hr;
}

HRESULT GetThemeDocumentationProperty(LPCWSTR themeName, LPCWSTR propertyName, LPWSTR value, int size) {
  if (!themeName || !propertyName || !value || size <= 0) return E_INVALIDARG;
  const std::string prop = qv::os::ansiUpperCase(qv::os::utf16ToAnsi(propertyName));
  if (prop != "DISPLAYNAME") return E_PROP_ID_UNSUPPORTED;
  std::string name = qv::os::utf16ToAnsi(themeName);
  name = name.substr(name.find_last_of("\\/") == std::string::npos ? 0 : name.find_last_of("\\/") + 1);
  return copyWide(qv::os::ansiToUtf16(name.substr(0, name.rfind('.'))), value, size);
}

HRESULT EnableTheming(BOOL enable) {
  const bool was = themeOn();
  st().themingDisabled = !enable;
  if (was != themeOn()) qv::os::broadcastThemeChanged();
  return S_OK;
}

namespace {
struct PaintBuffer {
  HDC target;
  RECT rect;
  HDC memory;
  HBITMAP bitmap;
  HGDIOBJ old;
};
std::set<PaintBuffer*>& paintBuffers() {
  static std::set<PaintBuffer*> b;
  return b;
}
}  // namespace

HRESULT BufferedPaintInit() {
  ++st().bufferedInits;
  return S_OK;
}

HRESULT BufferedPaintUnInit() {
  if (st().bufferedInits > 0) --st().bufferedInits;
  return S_OK;
}

HPAINTBUFFER BeginBufferedPaint(HDC target, const RECT* rect, BP_BUFFERFORMAT, BP_PAINTPARAMS*, HDC* paintDc) {
  if (!target || !rect || !paintDc || emptyRect(*rect)) return nullptr;
  auto* b = new PaintBuffer{target, *rect, CreateCompatibleDC(target), nullptr, nullptr};
  b->bitmap = CreateCompatibleBitmap(target, rect->right - rect->left, rect->bottom - rect->top);
  b->old = SelectObject(b->memory, b->bitmap);
  SetWindowOrgEx(b->memory, rect->left, rect->top, nullptr);
  paintBuffers().insert(b);
  *paintDc = b->memory;
  return reinterpret_cast<HPAINTBUFFER>(b);
}

HRESULT EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget) {
  auto* b = reinterpret_cast<PaintBuffer*>(buffer);
  if (!paintBuffers().erase(b)) return E_HANDLE;
  if (updateTarget)
    BitBlt(b->target, b->rect.left, b->rect.top, b->rect.right - b->rect.left, b->rect.bottom - b->rect.top, b->memory,
           b->rect.left, b->rect.top, SRCCOPY);
  SelectObject(b->memory, b->old);
  DeleteObject(b->bitmap);
  DeleteDC(b->memory);
  delete b;
  return S_OK;
}

HRESULT BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha) {
  auto* b = reinterpret_cast<PaintBuffer*>(buffer);
  if (!paintBuffers().count(b)) return E_HANDLE;
  qv::os::gdi::Surface* s = qv::os::gdi::surfaceOf(b->bitmap);
  if (!s) return E_FAIL;
  RECT r = rect ? *rect : b->rect;
  qv::os::gdi::SurfaceUse use(s);
  for (int y = std::max<LONG>(r.top, b->rect.top); y < std::min<LONG>(r.bottom, b->rect.bottom); ++y)
    for (int x = std::max<LONG>(r.left, b->rect.left); x < std::min<LONG>(r.right, b->rect.right); ++x) {
      std::uint32_t& p = s->row(y - b->rect.top)[x - b->rect.left];
      p = (p & 0x00FFFFFFu) | (static_cast<std::uint32_t>(alpha) << 24);
    }
  return S_OK;
}
