#include "platform/os/user/DropFiles.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"

namespace {

struct Drop {
  std::vector<std::string> files;
  POINT point{0, 0};  // client coordinates of the receiving window
  BOOL inClient = FALSE;
};

// Live drops, so that a stale or made-up handle gets an error, not a crash.
struct Drops {
  std::mutex m;
  std::set<Drop*> live;
};

Drops& drops() {
  static Drops d;
  static const bool reset = [] {
    qv::desktop::onReset([] {
      std::lock_guard<std::mutex> lk(drops().m);
      for (Drop* p : drops().live) delete p;
      drops().live.clear();
    });
    return true;
  }();
  (void)reset;
  return d;
}

Drop* find(HDROP h) {
  Drops& d = drops();
  std::lock_guard<std::mutex> lk(d.m);
  auto* p = reinterpret_cast<Drop*>(h);
  return d.live.count(p) ? p : nullptr;
}

}  // namespace

void DragAcceptFiles(HWND hwnd, BOOL accept) {
  if (!IsWindow(hwnd)) return;
  LONG ex = GetWindowLong(hwnd, GWL_EXSTYLE);
  LONG next = accept ? (ex | WS_EX_ACCEPTFILES) : (ex & ~static_cast<LONG>(WS_EX_ACCEPTFILES));
  if (next != ex) SetWindowLong(hwnd, GWL_EXSTYLE, next);
}

UINT DragQueryFile(HDROP drop, UINT iFile, LPSTR file, UINT cch) {
  Drop* d = find(drop);
  if (!d) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (iFile == 0xFFFFFFFFu) return static_cast<UINT>(d->files.size());
  if (iFile >= d->files.size()) return 0;
  const std::string& name = d->files[iFile];
  if (!file) return static_cast<UINT>(name.size());
  if (cch == 0) return 0;
  std::size_t n = std::min<std::size_t>(name.size(), cch - 1);
  std::memcpy(file, name.data(), n);
  file[n] = '\0';
  return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP drop, LPPOINT point) {
  Drop* d = find(drop);
  if (!d || !point) return FALSE;
  *point = d->point;
  return d->inClient;
}

void DragFinish(HDROP drop) {
  Drops& d = drops();
  std::lock_guard<std::mutex> lk(d.m);
  auto* p = reinterpret_cast<Drop*>(drop);
  if (d.live.erase(p)) delete p;
}

namespace qv::os {

HWND dropFiles(HWND hwnd, const std::vector<std::string>& paths, POINT screen) {
  HWND target = hwnd;
  while (target && IsWindow(target) && !(GetWindowLong(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES))
    target = (GetWindowLong(target, GWL_STYLE) & WS_CHILD) ? GetParent(target) : nullptr;
  if (!target || !IsWindow(target)) return nullptr;
  auto* d = new Drop;
  d->files = paths;
  d->point = screen;
  ScreenToClient(target, &d->point);
  RECT rc{};
  GetClientRect(target, &rc);
  d->inClient = d->point.x >= rc.left && d->point.x < rc.right && d->point.y >= rc.top && d->point.y < rc.bottom;
  {
    Drops& all = drops();
    std::lock_guard<std::mutex> lk(all.m);
    all.live.insert(d);
  }
  if (!PostMessage(target, WM_DROPFILES, reinterpret_cast<WPARAM>(d), 0)) {
    DragFinish(reinterpret_cast<HDROP>(d));
    return nullptr;
  }
  return target;
}

}  // namespace qv::os
