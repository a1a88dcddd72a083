#include "platform/os/user/Metrics.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"
#include "platform/os/user/UserState.h"

namespace {

struct Metric {
  int index;
  const char* name;
  int value;  // classic value; screen-derived ones are computed
};

constexpr int kDerived = -99999;

const Metric kMetrics[] = {
    {SM_CXSCREEN, "SM_CXSCREEN", kDerived},      {SM_CYSCREEN, "SM_CYSCREEN", kDerived},
    {SM_CXVSCROLL, "SM_CXVSCROLL", 16},          {SM_CYHSCROLL, "SM_CYHSCROLL", 16},
    {SM_CYCAPTION, "SM_CYCAPTION", 19},          {SM_CXBORDER, "SM_CXBORDER", 1},
    {SM_CYBORDER, "SM_CYBORDER", 1},             {SM_CXDLGFRAME, "SM_CXDLGFRAME", 3},
    {SM_CYDLGFRAME, "SM_CYDLGFRAME", 3},         {SM_CYVTHUMB, "SM_CYVTHUMB", 16},
    {SM_CXHTHUMB, "SM_CXHTHUMB", 16},            {SM_CXICON, "SM_CXICON", 32},
    {SM_CYICON, "SM_CYICON", 32},                {SM_CXCURSOR, "SM_CXCURSOR", 32},
    {SM_CYCURSOR, "SM_CYCURSOR", 32},            {SM_CYMENU, "SM_CYMENU", 19},
    {SM_CXFULLSCREEN, "SM_CXFULLSCREEN", kDerived}, {SM_CYFULLSCREEN, "SM_CYFULLSCREEN", kDerived},
    {SM_CYKANJIWINDOW, "SM_CYKANJIWINDOW", 0},   {SM_MOUSEPRESENT, "SM_MOUSEPRESENT", 1},
    {SM_CYVSCROLL, "SM_CYVSCROLL", 16},          {SM_CXHSCROLL, "SM_CXHSCROLL", 16},
    {SM_DEBUG, "SM_DEBUG", 0},                   {SM_SWAPBUTTON, "SM_SWAPBUTTON", 0},
    {SM_CXMIN, "SM_CXMIN", 112},                 {SM_CYMIN, "SM_CYMIN", 27},
    {SM_CXSIZE, "SM_CXSIZE", 18},                {SM_CYSIZE, "SM_CYSIZE", 18},
    {SM_CXFRAME, "SM_CXFRAME", 4},               {SM_CYFRAME, "SM_CYFRAME", 4},
    {SM_CXMINTRACK, "SM_CXMINTRACK", 112},       {SM_CYMINTRACK, "SM_CYMINTRACK", 27},
    {SM_CXDOUBLECLK, "SM_CXDOUBLECLK", 4},       {SM_CYDOUBLECLK, "SM_CYDOUBLECLK", 4},
    {SM_CXICONSPACING, "SM_CXICONSPACING", 75},  {SM_CYICONSPACING, "SM_CYICONSPACING", 75},
    {SM_MENUDROPALIGNMENT, "SM_MENUDROPALIGNMENT", 0}, {SM_PENWINDOWS, "SM_PENWINDOWS", 0},
    {SM_DBCSENABLED, "SM_DBCSENABLED", 0},       {SM_CMOUSEBUTTONS, "SM_CMOUSEBUTTONS", 3},
    {SM_SECURE, "SM_SECURE", 0},                 {SM_CXEDGE, "SM_CXEDGE", 2},
    {SM_CYEDGE, "SM_CYEDGE", 2},                 {SM_CXMINSPACING, "SM_CXMINSPACING", 160},
    {SM_CYMINSPACING, "SM_CYMINSPACING", 24},    {SM_CXSMICON, "SM_CXSMICON", 16},
    {SM_CYSMICON, "SM_CYSMICON", 16},            {SM_CYSMCAPTION, "SM_CYSMCAPTION", 16},
    {SM_CXSMSIZE, "SM_CXSMSIZE", 12},            {SM_CYSMSIZE, "SM_CYSMSIZE", 15},
    {SM_CXMENUSIZE, "SM_CXMENUSIZE", 18},        {SM_CYMENUSIZE, "SM_CYMENUSIZE", 18},
    {SM_ARRANGE, "SM_ARRANGE", 8},               {SM_CXMINIMIZED, "SM_CXMINIMIZED", 160},
    {SM_CYMINIMIZED, "SM_CYMINIMIZED", 24},      {SM_CXMAXTRACK, "SM_CXMAXTRACK", kDerived},
    {SM_CYMAXTRACK, "SM_CYMAXTRACK", kDerived},  {SM_CXMAXIMIZED, "SM_CXMAXIMIZED", kDerived},
    {SM_CYMAXIMIZED, "SM_CYMAXIMIZED", kDerived}, {SM_NETWORK, "SM_NETWORK", 3},
    {SM_CLEANBOOT, "SM_CLEANBOOT", 0},           {SM_CXDRAG, "SM_CXDRAG", 4},
    {SM_CYDRAG, "SM_CYDRAG", 4},                 {SM_SHOWSOUNDS, "SM_SHOWSOUNDS", 0},
    {SM_CXMENUCHECK, "SM_CXMENUCHECK", 13},      {SM_CYMENUCHECK, "SM_CYMENUCHECK", 13},
    {SM_SLOWMACHINE, "SM_SLOWMACHINE", 0},       {SM_MIDEASTENABLED, "SM_MIDEASTENABLED", 0},
    {SM_MOUSEWHEELPRESENT, "SM_MOUSEWHEELPRESENT", 1}, {SM_XVIRTUALSCREEN, "SM_XVIRTUALSCREEN", 0},
    {SM_YVIRTUALSCREEN, "SM_YVIRTUALSCREEN", 0}, {SM_CXVIRTUALSCREEN, "SM_CXVIRTUALSCREEN", kDerived},
    {SM_CYVIRTUALSCREEN, "SM_CYVIRTUALSCREEN", kDerived}, {SM_CMONITORS, "SM_CMONITORS", 1},
    {SM_SAMEDISPLAYFORMAT, "SM_SAMEDISPLAYFORMAT", 1}, {SM_REMOTESESSION, "SM_REMOTESESSION", 0},
};

struct Params {
  bool workAreaSet = false;
  RECT workArea{};
  UINT doubleClickTime = 0;  // 0: from the profile
  UINT caretBlinkTime = 0;
  std::map<int, int> metricChanges;
  // Caret.
  HWND caretOwner = nullptr;
  POINT caretPos{};
};

Params& params() {
  static Params* p = [] {
    auto* made = new Params;
    qv::desktop::onReset([made] { *made = Params{}; });
    return made;
  }();
  return *p;
}

bool extraInt(const std::string& key, int& out) {
  const auto& extra = qv::desktop::profile().extra;
  auto it = extra.find(key);
  if (it == extra.end()) return false;
  char* end = nullptr;
  long v = std::strtol(it->second.c_str(), &end, 0);
  if (it->second.empty() || *end) return false;
  out = static_cast<int>(v);
  return true;
}

int taskbarHeight() {
  int h = 30;
  extraInt("taskbar.height", h);
  return h;
}

RECT workArea() {
  if (params().workAreaSet) return params().workArea;
  const auto& p = qv::desktop::profile();
  return {0, 0, p.screenWidth, p.screenHeight - taskbarHeight()};
}

int derived(int index) {
  const auto& p = qv::desktop::profile();
  RECT wa = workArea();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN: return p.screenWidth;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return p.screenHeight;
    case SM_CXFULLSCREEN: return wa.right - wa.left;
    case SM_CYFULLSCREEN: return wa.bottom - wa.top - GetSystemMetrics(SM_CYCAPTION);
    case SM_CXMAXTRACK: return p.screenWidth + 2 * (GetSystemMetrics(SM_CXFRAME) + 2);
    case SM_CYMAXTRACK: return p.screenHeight + 2 * (GetSystemMetrics(SM_CYFRAME) + 2);
    case SM_CXMAXIMIZED: return wa.right - wa.left + 2 * GetSystemMetrics(SM_CXFRAME);
    case SM_CYMAXIMIZED: return wa.bottom - wa.top + 2 * GetSystemMetrics(SM_CYFRAME);
    default: return 0;
  }
}

LOGFONTA uiFont(bool bold) {
  LOGFONTA lf{};
  lf.lfHeight = -11;
  lf.lfWeight = bold ? 700 : 400;
  lf.lfCharSet = 1;  // DEFAULT_CHARSET
  std::strcpy(lf.lfFaceName, "Tahoma");
  return lf;
}

// Answers of the SPI_GET* actions that write one BOOL / UINT / int.
bool simpleParam(UINT action, int& value) {
  struct P {
    UINT action;
    int value;
  };
  static const P kParams[] = {
      {SPI_GETBEEP, 1},           {SPI_GETBORDER, 1},          {SPI_GETKEYBOARDSPEED, 31},
      {SPI_GETSCREENSAVETIMEOUT, 600}, {SPI_GETSCREENSAVEACTIVE, 0}, {SPI_GETKEYBOARDDELAY, 1},
      {SPI_GETICONTITLEWRAP, 1},  {SPI_GETMENUDROPALIGNMENT, 0}, {SPI_GETFASTTASKSWITCH, 1},
      {SPI_GETDRAGFULLWINDOWS, 1}, {SPI_GETSHOWSOUNDS, 0},     {SPI_GETKEYBOARDPREF, 0},
      {SPI_GETSCREENREADER, 0},   {SPI_GETFONTSMOOTHING, 0},   {SPI_GETMOUSEHOVERWIDTH, 4},
      {SPI_GETMOUSEHOVERHEIGHT, 4}, {SPI_GETMOUSEHOVERTIME, 400}, {SPI_GETWHEELSCROLLLINES, 3},
      {SPI_GETMENUSHOWDELAY, 400}, {SPI_GETSHOWIMEUI, 1},      {SPI_GETMOUSESPEED, 10},
      {SPI_GETSCREENSAVERRUNNING, 0}, {SPI_GETACTIVEWINDOWTRACKING, 0}, {SPI_GETMENUANIMATION, 0},
      {SPI_GETCOMBOBOXANIMATION, 0}, {SPI_GETLISTBOXSMOOTHSCROLLING, 0}, {SPI_GETGRADIENTCAPTIONS, 1},
      {SPI_GETKEYBOARDCUES, 0},   {SPI_GETHOTTRACKING, 1},     {SPI_GETMENUFADE, 0},
      {SPI_GETSELECTIONFADE, 0},  {SPI_GETTOOLTIPANIMATION, 0}, {SPI_GETTOOLTIPFADE, 0},
      {SPI_GETCURSORSHADOW, 0},   {SPI_GETFLATMENU, 0},        {SPI_GETDROPSHADOW, 0},
      {SPI_GETUIEFFECTS, 1},      {SPI_GETACTIVEWNDTRKTIMEOUT, 0}, {SPI_GETFOREGROUNDFLASHCOUNT, 3},
      {SPI_GETCARETWIDTH, 1},     {SPI_GETFONTSMOOTHINGTYPE, 1}, {SPI_GETFOCUSBORDERWIDTH, 1},
      {SPI_GETFOCUSBORDERHEIGHT, 1},
  };
  for (const P& p : kParams) {
    if (p.action != action) continue;
    value = p.value;
    char key[32];
    std::snprintf(key, sizeof key, "spi.0x%04X", action);
    extraInt(key, value);
    return true;
  }
  return false;
}

}  // namespace

int GetSystemMetrics(int index) {
  auto& changes = params().metricChanges;
  if (auto it = changes.find(index); it != changes.end()) return it->second;
  for (const Metric& m : kMetrics) {
    if (m.index != index) continue;
    int v = m.value == kDerived ? derived(index) : m.value;
    extraInt(std::string("metric.") + m.name, v);
    extraInt("metric." + std::to_string(index), v);
    return v;
  }
  return 0;
}

BOOL SystemParametersInfo(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) {
  auto& s = qv::os::user::state();
  bool changed = false;
  int simple = 0;
  switch (action) {
    case SPI_GETWORKAREA:
      if (pvParam == nullptr) return FALSE;
      *static_cast<RECT*>(pvParam) = workArea();
      return TRUE;
    case SPI_SETWORKAREA:
      if (pvParam == nullptr) return FALSE;
      params().workArea = *static_cast<const RECT*>(pvParam);
      params().workAreaSet = true;
      changed = true;
      break;
    case SPI_GETFOREGROUNDLOCKTIMEOUT:
      if (pvParam == nullptr) return FALSE;
      *static_cast<DWORD*>(pvParam) = s.foregroundLockTimeout;
      return TRUE;
    case SPI_SETFOREGROUNDLOCKTIMEOUT:
      // The new value travels in the pointer itself.
      s.foregroundLockTimeout = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(pvParam));
      changed = true;
      break;
    case SPI_ICONHORIZONTALSPACING:
    case SPI_ICONVERTICALSPACING:
      if (pvParam) *static_cast<int*>(pvParam) = 75;
      return TRUE;
    case SPI_GETMOUSE:
      if (pvParam == nullptr) return FALSE;
      static_cast<int*>(pvParam)[0] = 6;
      static_cast<int*>(pvParam)[1] = 10;
      static_cast<int*>(pvParam)[2] = 1;
      return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
      auto* n = static_cast<NONCLIENTMETRICSA*>(pvParam);
      if (n == nullptr || n->cbSize < sizeof(NONCLIENTMETRICSA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      n->iBorderWidth = 1;
      n->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
      n->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
      n->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
      n->iCaptionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
      n->lfCaptionFont = uiFont(true);
      n->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      n->iSmCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION) - 1;
      n->lfSmCaptionFont = uiFont(false);
      n->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
      n->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
      n->lfMenuFont = uiFont(false);
      n->lfStatusFont = uiFont(false);
      n->lfMessageFont = uiFont(false);
      return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
      if (pvParam == nullptr || uiParam < sizeof(LOGFONTA)) return FALSE;
      *static_cast<LOGFONTA*>(pvParam) = uiFont(false);
      return TRUE;
    case SPI_SETDOUBLECLICKTIME:
      SetDoubleClickTime(uiParam);
      changed = true;
      break;
    case SPI_SETDOUBLECLKWIDTH:
      params().metricChanges[SM_CXDOUBLECLK] = static_cast<int>(uiParam);
      changed = true;
      break;
    case SPI_SETDOUBLECLKHEIGHT:
      params().metricChanges[SM_CYDOUBLECLK] = static_cast<int>(uiParam);
      changed = true;
      break;
    case SPI_SETDESKWALLPAPER:
      changed = true;
      break;
    default:
      if (!simpleParam(action, simple)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      if (pvParam == nullptr) return FALSE;
      *static_cast<int*>(pvParam) = simple;
      return TRUE;
  }
  if (changed && (winIni & SPIF_SENDCHANGE))
    qv::os::broadcastSystemMessage(WM_SETTINGCHANGE, action, 0);
  return TRUE;
}

UINT GetDoubleClickTime() {
  if (params().doubleClickTime) return params().doubleClickTime;
  int v = 500;
  extraInt("doubleclicktime", v);
  return static_cast<UINT>(v);
}

BOOL SetDoubleClickTime(UINT ms) {
  params().doubleClickTime = ms ? ms : 500;
  return TRUE;
}

UINT GetCaretBlinkTime() {
  if (params().caretBlinkTime) return params().caretBlinkTime;
  int v = 530;
  extraInt("caretblinktime", v);
  return static_cast<UINT>(v);
}

BOOL SetCaretBlinkTime(UINT ms) {
  params().caretBlinkTime = ms;
  return TRUE;
}

BOOL CreateCaret(HWND hwnd, HBITMAP, int, int) {
  if (!IsWindow(hwnd)) return FALSE;
  params().caretOwner = hwnd;
  params().caretPos = {0, 0};
  return TRUE;
}

BOOL DestroyCaret() {
  bool had = params().caretOwner != nullptr;
  params().caretOwner = nullptr;
  return had ? TRUE : FALSE;
}

BOOL ShowCaret(HWND) { return params().caretOwner ? TRUE : FALSE; }
BOOL HideCaret(HWND) { return params().caretOwner ? TRUE : FALSE; }

BOOL SetCaretPos(int x, int y) {
  if (!params().caretOwner) return FALSE;
  params().caretPos = {x, y};
  return TRUE;
}

BOOL GetCaretPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  *point = params().caretPos;
  return TRUE;
}
