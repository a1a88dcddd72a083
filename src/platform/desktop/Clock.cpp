#include "platform/desktop/Clock.h"

#include <atomic>
#include <chrono>

namespace qv::desktop {
namespace {
std::atomic<bool> g_virtual{false};
std::atomic<std::uint64_t> g_virtualNow{0};
const auto g_start = std::chrono::steady_clock::now();
}  // namespace

std::uint64_t Clock::now() {
  if (g_virtual) return g_virtualNow;
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - g_start).count());
}

bool Clock::isVirtual() { return g_virtual; }

void Clock::useVirtual(std::uint64_t start) {
  g_virtualNow = start;
  g_virtual = true;
}

void Clock::useReal() { g_virtual = false; }

void Clock::advance(std::uint64_t ms) {
  if (g_virtual) g_virtualNow += ms;
}

std::int64_t Clock::wallMillis() {
  if (g_virtual) return kVirtualEpochMs + static_cast<std::int64_t>(g_virtualNow.load());
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void Clock::advanceTo(std::uint64_t t) {
  if (g_virtual && t > g_virtualNow) g_virtualNow = t;
}

}  // namespace qv::desktop
