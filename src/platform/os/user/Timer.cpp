#include "platform/os/user/Timer.h"

#include <algorithm>
#include <vector>

#include "platform/desktop/Clock.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"

using namespace qv::os::user;

namespace {

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT elapse;
  TIMERPROC proc;
  std::uint64_t due;
  DWORD thread;
  std::uint64_t order;
};

struct Timers {
  std::vector<Timer> list;
  UINT_PTR nextThreadId = 0x7FF0;
  std::uint64_t order = 0;
};

Timers& timers() {
  static Timers* t = new Timers;
  return *t;
}

UINT clampElapse(UINT e) { return std::clamp<UINT>(e, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM); }

}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  DWORD thread = currentThread();
  if (hwnd != nullptr) {
    Wnd* w = findOrFail(hwnd);
    if (w == nullptr) return 0;
    if (w->foreign || w->thread != thread) {
      SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
  }
  std::lock_guard<std::recursive_mutex> lock(state().m);
  Timers& t = timers();
  std::uint64_t due = qv::desktop::Clock::now() + clampElapse(elapse);
  for (Timer& x : t.list) {
    bool same = hwnd ? (x.hwnd == hwnd && x.id == id) : (x.hwnd == nullptr && x.id == id && x.thread == thread);
    if (same) {
      x.elapse = clampElapse(elapse);
      x.proc = proc;
      x.due = due;
      wake();
      return hwnd ? (id ? id : 1) : id;
    }
  }
  if (hwnd == nullptr) {
    do {
      id = t.nextThreadId++;
      if (t.nextThreadId == 0) t.nextThreadId = 1;
    } while (std::any_of(t.list.begin(), t.list.end(), [&](const Timer& x) { return x.hwnd == nullptr && x.id == id; }));
  }
  t.list.push_back(Timer{hwnd, id, clampElapse(elapse), proc, due, thread, t.order++});
  wake();
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  std::lock_guard<std::recursive_mutex> lock(state().m);
  auto& l = timers().list;
  DWORD thread = currentThread();
  auto it = std::find_if(l.begin(), l.end(), [&](const Timer& x) {
    return x.hwnd == hwnd && x.id == id && (hwnd != nullptr || x.thread == thread);
  });
  if (it == l.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  l.erase(it);
  return TRUE;
}

namespace qv::os::user {

bool takeTimer(DWORD thread, HWND filter, UINT min, UINT max, bool remove, MSG* out) {
  if (!((min == 0 && max == 0) || (WM_TIMER >= min && WM_TIMER <= max))) return false;
  std::lock_guard<std::recursive_mutex> lock(state().m);
  std::uint64_t now = qv::desktop::Clock::now();
  Timer* best = nullptr;
  for (Timer& x : timers().list) {
    if (x.thread != thread || x.due > now) continue;
    if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) && x.hwnd != nullptr) continue;
    if (filter != nullptr && filter != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) && x.hwnd != filter &&
        !IsChild(filter, x.hwnd))
      continue;
    if (best == nullptr || x.due < best->due || (x.due == best->due && x.order < best->order)) best = &x;
  }
  if (best == nullptr) return false;
  *out = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), static_cast<DWORD>(now),
             cursorPos()};
  // However long the clock jumped, one WM_TIMER; the next period starts now.
  if (remove) best->due = now + best->elapse;
  return true;
}

void killWindowTimers(HWND hwnd) {
  std::lock_guard<std::recursive_mutex> lock(state().m);
  auto& l = timers().list;
  l.erase(std::remove_if(l.begin(), l.end(), [&](const Timer& x) { return x.hwnd == hwnd; }), l.end());
}

void resetTimers() {
  std::lock_guard<std::recursive_mutex> lock(state().m);
  timers() = Timers{};
}

}  // namespace qv::os::user

namespace qv::os {

std::uint64_t nextTimerDue() {
  std::lock_guard<std::recursive_mutex> lock(state().m);
  DWORD thread = user::currentThread();
  std::uint64_t best = UINT64_MAX;
  for (auto& x : timers().list)
    if (x.thread == thread) best = std::min(best, x.due);
  return best;
}

}  // namespace qv::os
