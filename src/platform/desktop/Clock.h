// The desktop's one clock. Programs run on real time; tests switch it to a
// virtual clock that only moves when the test advances it, so that timers fire
// deterministically and no test sleeps.
#pragma once

#include <cstdint>
#include <functional>

namespace qv::desktop {

class Clock {
 public:
  // Milliseconds since the clock started (real) or since it was reset (virtual).
  static std::uint64_t now();
  static bool isVirtual();
  // Switches to virtual time starting at `start` ms.
  static void useVirtual(std::uint64_t start = 0);
  static void useReal();
  // Moves virtual time forward. The message queue sees the new time on its
  // next look; the test pumps messages to let due timers fire.
  static void advance(std::uint64_t ms);
  // Moves the virtual clock to `t` when that is later; no effect on real time.
  static void advanceTo(std::uint64_t t);
  // The wall clock in milliseconds since 1970-01-01: the host's real time,
  // or under the virtual clock a fixed start (kVirtualEpochMs) plus the
  // virtual milliseconds, so that dates in tests are known in advance.
  static std::int64_t wallMillis();
  static constexpr std::int64_t kVirtualEpochMs = 1200000000000;  // 2008-01-10 21:20 UTC
};

}  // namespace qv::desktop
