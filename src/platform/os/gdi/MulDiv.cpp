#include "platform/os/gdi/MulDiv.h"

#include <cstdint>
#include <limits>

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  std::int64_t divisor = denominator;
  bool negative = (product < 0) != (divisor < 0);
  std::uint64_t p = product < 0 ? 0 - static_cast<std::uint64_t>(product) : static_cast<std::uint64_t>(product);
  std::uint64_t d = divisor < 0 ? static_cast<std::uint64_t>(-divisor) : static_cast<std::uint64_t>(divisor);
  std::uint64_t q = (p + d / 2) / d;
  if (negative) {
    if (q > static_cast<std::uint64_t>(std::numeric_limits<int>::max()) + 1) return -1;
    return static_cast<int>(0 - static_cast<std::int64_t>(q));
  }
  if (q > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return -1;
  return static_cast<int>(q);
}
