// Timers on the desktop's one clock. A due timer is not queued: GetMessage
// produces one WM_TIMER for it when nothing else is waiting, so a timer never
// piles up messages however far the clock jumps, and its next period starts
// when its WM_TIMER is taken from the queue.
#pragma once

#include "platform/os/Types.h"

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

#define USER_TIMER_MINIMUM 0x0000000A
#define USER_TIMER_MAXIMUM 0x7FFFFFFF

// Window timers are named by (window, id); setting the same pair again
// replaces the timer. Thread timers (null window) get a fresh id unless `id`
// names an existing thread timer. Answers the id, 0 on failure.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

namespace qv::os {

// The clock time (ms) at which the calling thread's next timer falls due,
// or UINT64_MAX when it has none.
std::uint64_t nextTimerDue();

}  // namespace qv::os
