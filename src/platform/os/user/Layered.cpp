#include "platform/os/user/Layered.h"

#include <map>

#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"

namespace qv::os {
namespace {

std::map<HWND, LayeredAttributes>& table() {
  static auto* m = new std::map<HWND, LayeredAttributes>;
  return *m;
}

// Only top-level windows can be layered on this platform version.
user::Wnd* layeredWindow(HWND hwnd) {
  user::Wnd* w = user::findOrFail(hwnd);
  if (w == nullptr) return nullptr;
  if (!(w->exStyle & WS_EX_LAYERED) || !user::isTopLevel(w)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return w;
}

}  // namespace

LayeredAttributes layeredAttributes(HWND hwnd) {
  user::Wnd* w = user::find(hwnd);
  if (w == nullptr || !(w->exStyle & WS_EX_LAYERED)) return {};
  auto it = table().find(hwnd);
  return it == table().end() ? LayeredAttributes{} : it->second;
}

void dropLayered(HWND hwnd) { table().erase(hwnd); }
void dropAllLayered() { table().clear(); }

}  // namespace qv::os

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
  auto* w = qv::os::layeredWindow(hwnd);
  if (w == nullptr) return FALSE;
  if (flags & ~static_cast<DWORD>(LWA_ALPHA | LWA_COLORKEY)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  qv::os::table()[hwnd] = {key & 0x00FFFFFF, alpha, flags};
  qv::os::user::notifyChange(hwnd, static_cast<int>(qv::os::WindowChange::Shape));
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
  if (qv::os::layeredWindow(hwnd) == nullptr) return FALSE;
  auto it = qv::os::table().find(hwnd);
  // A layered window that was never given attributes answers failure, as
  // one drawn through UpdateLayeredWindow does.
  if (it == qv::os::table().end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (key) *key = it->second.key;
  if (alpha) *alpha = it->second.alpha;
  if (flags) *flags = it->second.flags;
  return TRUE;
}
