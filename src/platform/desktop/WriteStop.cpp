#include "platform/desktop/WriteStop.h"

#include <signal.h>

#include <atomic>
#include <cstdlib>

namespace qv::desktop {

namespace {

long stopAfter() {
  static const long n = [] {
    const char* text = std::getenv("QV_STOP_AFTER_WRITES");
    return text ? std::strtol(text, nullptr, 10) : 0L;
  }();
  return n;
}

}  // namespace

void fileChanged() {
  static std::atomic<long> changes{0};
  const long n = stopAfter();
  if (n > 0 && ++changes == n) ::raise(SIGSTOP);
}

}  // namespace qv::desktop
