#include "designer/KelvuSystem.h"

#include <memory>

#include "platform/classlib/Registry.h"
#include "platform/classlib/SysUtils.h"

namespace {

std::int64_t unixNow() { return DateTimeToUnix(Now()); }

// The record's numbers are decimal, a minus sign allowed (a mean turns
// negative when the clock was set back); anything else makes it damaged.
bool decimalNumber(const std::string& Text) {
  std::size_t i = !Text.empty() && Text[0] == '-' ? 1 : 0;
  if (i >= Text.size()) return false;
  for (; i < Text.size(); ++i)
    if (Text[i] < '0' || Text[i] > '9') return false;
  return true;
}

}  // namespace

TKelvuSystem::TKelvuSystem(const std::string& ProductId, const std::string& RegistryKey, const std::string& Language,
                           const std::string& Version)
    : FProductId(ProductId),
      FVersion(Version),
      FLanguage(Language),
      FRegistryKey(RegistryKey),
      FNewsAddress(kNewsAddress) {
  FSessionStart = unixNow();
  LoadUsageData();
}

void TKelvuSystem::LoadUsageData() {
  std::string text;
  {
    TRegIniFile ini(FRegistryKey);
    text = ini.ReadString("", kUsageValue, "");
  }
  // Every part is checked before any is taken, so a damaged record never
  // leaves half of it behind.
  std::size_t pos = 0;
  auto part = [&](std::size_t length, std::string& out) {
    if (pos + length > text.size()) return false;
    out = text.substr(pos, length);
    pos += length;
    return decimalNumber(out);
  };
  // A digit count is one digit.
  auto length = [&](std::string& out) { return part(1, out) && out[0] != '-'; };
  std::string n, count, m, mean, first;
  std::int32_t countValue = 0, meanValue = 0;
  std::int64_t firstValue = 0;
  bool ok = length(n) && part(static_cast<std::size_t>(n[0] - '0'), count) && length(m) &&
            part(static_cast<std::size_t>(m[0] - '0'), mean) && part(text.size() - pos, first) &&
            TryStrToInt(count, countValue) && TryStrToInt(mean, meanValue) && TryStrToInt64(first, firstValue);
  if (!ok) {
    ResetUsageData();
    return;
  }
  FSessionCount = countValue;
  FMeanSessionLength = meanValue;
  FFirstUse = firstValue;
}

void TKelvuSystem::ResetUsageData() {
  FSessionCount = 0;
  FMeanSessionLength = 0;
  // The start of this session, which is "now" when the record is read at
  // creation; a record still missing when the session ends must not date
  // the first use to its end.
  FFirstUse = FSessionStart;
}

void TKelvuSystem::AddSession(bool CountIt) {
  // 32-bit arithmetic as the service computes it, the Unix times cut to 32
  // bits; wrapping is defined here, so unsigned until the division.
  const auto now = static_cast<std::uint32_t>(unixNow());
  const auto start = static_cast<std::uint32_t>(FSessionStart);
  const auto count = static_cast<std::uint32_t>(FSessionCount);
  const auto mean = static_cast<std::uint32_t>(FMeanSessionLength);
  const auto total = static_cast<std::int32_t>(now + count * mean - start);
  const auto divisor = static_cast<std::int32_t>(count + 1u);
  // A count at its limit wraps the divisor to 0: keep the mean then.
  if (divisor != 0) FMeanSessionLength = total / divisor;
  if (CountIt) FSessionCount = static_cast<std::int32_t>(count + 1u);
}

std::string TKelvuSystem::DigitCount(std::int64_t Value) { return IntToStr(static_cast<int>(IntToStr(Value).size())); }

std::string TKelvuSystem::EncodeUsageData() const {
  return DigitCount(FSessionCount) + IntToStr(FSessionCount) + DigitCount(FMeanSessionLength) +
         IntToStr(FMeanSessionLength) + IntToStr(FFirstUse);
}

void TKelvuSystem::SaveUsageData() {
  TRegIniFile ini(FRegistryKey);
  ini.WriteString("", kUsageValue, EncodeUsageData());
}

void TKelvuSystem::EndSession() {
  LoadUsageData();
  AddSession(true);
  SaveUsageData();
}

std::string TKelvuSystem::BuildServiceUrl(const std::string& ContentId) const {
  return FNewsAddress + "?productid=" + FProductId + "&version=" + FVersion + "&lang=" + FLanguage +
         "&contentid=" + ContentId + "&cs=" + EncodeUsageData() + "&errorflag=" + FErrorFlag;
}
