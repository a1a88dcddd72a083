#include "platform/os/user/SysColors.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/user/Message.h"

namespace {

const char* const kNames[qv::os::kSysColorCount] = {
    "COLOR_SCROLLBAR",       "COLOR_BACKGROUND",  "COLOR_ACTIVECAPTION",   "COLOR_INACTIVECAPTION",
    "COLOR_MENU",            "COLOR_WINDOW",      "COLOR_WINDOWFRAME",     "COLOR_MENUTEXT",
    "COLOR_WINDOWTEXT",      "COLOR_CAPTIONTEXT", "COLOR_ACTIVEBORDER",    "COLOR_INACTIVEBORDER",
    "COLOR_APPWORKSPACE",    "COLOR_HIGHLIGHT",   "COLOR_HIGHLIGHTTEXT",   "COLOR_BTNFACE",
    "COLOR_BTNSHADOW",       "COLOR_GRAYTEXT",    "COLOR_BTNTEXT",         "COLOR_INACTIVECAPTIONTEXT",
    "COLOR_BTNHIGHLIGHT",    "COLOR_3DDKSHADOW",  "COLOR_3DLIGHT",         "COLOR_INFOTEXT",
    "COLOR_INFOBK",          "COLOR_25",          "COLOR_HOTLIGHT",        "COLOR_GRADIENTACTIVECAPTION",
    "COLOR_GRADIENTINACTIVECAPTION", "COLOR_MENUHILIGHT", "COLOR_MENUBAR"};

struct Colors {
  bool loaded = false;
  COLORREF value[qv::os::kSysColorCount]{};
  HBRUSH brush[qv::os::kSysColorCount]{};
};

Colors& colors() {
  static Colors* c = [] {
    auto* made = new Colors;
    qv::desktop::onReset([made] { *made = Colors{}; });
    return made;
  }();
  return *c;
}

// "#RRGGBB", "r,g,b" or a COLORREF number.
bool parseColor(const std::string& v, COLORREF& out) {
  if (v.size() == 7 && v[0] == '#') {
    char* end = nullptr;
    unsigned long n = std::strtoul(v.c_str() + 1, &end, 16);
    if (*end) return false;
    out = RGB(static_cast<BYTE>(n >> 16), static_cast<BYTE>(n >> 8), static_cast<BYTE>(n));
    return true;
  }
  if (v.find(',') != std::string::npos) {
    int r = 0, g = 0, b = 0;
    if (std::sscanf(v.c_str(), "%d,%d,%d", &r, &g, &b) != 3) return false;
    out = RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b));
    return true;
  }
  char* end = nullptr;
  unsigned long n = std::strtoul(v.c_str(), &end, 0);
  if (v.empty() || *end) return false;
  out = static_cast<COLORREF>(n);
  return true;
}

Colors& loaded() {
  Colors& c = colors();
  if (c.loaded) return c;
  c.loaded = true;
  const auto& extra = qv::desktop::profile().extra;
  for (int i = 0; i < qv::os::kSysColorCount; ++i) {
    c.value[i] = qv::os::gdi::classicSysColor(i);
    for (const std::string& key : {std::string("syscolor.") + kNames[i], "syscolor." + std::to_string(i)}) {
      auto it = extra.find(key);
      COLORREF v;
      if (it != extra.end() && parseColor(it->second, v)) c.value[i] = v;
    }
  }
  return c;
}

}  // namespace

DWORD GetSysColor(int index) {
  if (index < 0 || index >= qv::os::kSysColorCount) return 0;
  return loaded().value[index];
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= qv::os::kSysColorCount) return nullptr;
  Colors& c = loaded();
  if (c.brush[index] == nullptr || qv::os::gdi::brushOf(c.brush[index]) == nullptr) {
    c.brush[index] = CreateSolidBrush(c.value[index]);
    qv::os::gdi::markStock(c.brush[index]);
  }
  return c.brush[index];
}

BOOL SetSysColors(int count, const INT* elements, const COLORREF* values) {
  if (count < 0 || (count > 0 && (elements == nullptr || values == nullptr))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Colors& c = loaded();
  for (int i = 0; i < count; ++i) {
    int e = elements[i];
    if (e < 0 || e >= qv::os::kSysColorCount) continue;
    c.value[e] = values[i];
    // The brushes keep their handles and take the new colour, as the
    // platform's system-colour brushes do.
    if (c.brush[e])
      if (auto* b = qv::os::gdi::brushOf(c.brush[e])) b->color = values[i];
  }
  qv::os::broadcastSysColorChange();
  return TRUE;
}
