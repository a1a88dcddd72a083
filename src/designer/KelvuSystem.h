// The designer's client of the maker's news service. It keeps a small usage
// record in the current user's registry (the number of designer sessions,
// their mean length and the time of first use) and builds the address of
// the news page that the welcome page asks for, carrying that record.
#pragma once

#include <cstdint>
#include <string>

#include "platform/classlib/System.h"

class TKelvuSystem : public TObject {
  QV_CLASS(TKelvuSystem, TObject)
  // The registry key is under HKEY_CURRENT_USER; the record is read at once.
  TKelvuSystem(const std::string& ProductId, const std::string& RegistryKey, const std::string& Language,
               const std::string& Version);

  // Reads "KelvuDC"; a missing or damaged record starts afresh.
  void LoadUsageData();
  void ResetUsageData();
  // Folds this session's length into the mean; CountIt also counts it.
  void AddSession(bool CountIt);
  // The record: the digit count of the session count (one character), the
  // count, the digit count of the mean, the mean, then the first use.
  std::string EncodeUsageData() const;
  void SaveUsageData();
  // Adds this session to the record stored now, so that designers running
  // at the same time all add theirs.
  void EndSession();
  // The news page's address for a content id, with the product, version,
  // language, usage record and error flag as query parameters.
  std::string BuildServiceUrl(const std::string& ContentId) const;

  static std::string DigitCount(std::int64_t Value);

  std::int32_t SessionCount() const { return FSessionCount; }
  std::int32_t MeanSessionLength() const { return FMeanSessionLength; }
  std::int64_t FirstUse() const { return FFirstUse; }
  std::int64_t SessionStart() const { return FSessionStart; }

  static constexpr const char* kUsageValue = "KelvuDC";
  static constexpr const char* kNewsAddress = "http://kelvu.halvesta.example/news.php";

 private:
  std::int32_t FSessionCount = 0;
  std::int32_t FMeanSessionLength = 0;
  std::string FProductId;
  std::string FVersion;
  // No code sets it; the service receives it empty.
  std::string FErrorFlag;
  std::int64_t FFirstUse = 0;
  std::string FLanguage;
  std::int64_t FSessionStart = 0;
  std::string FRegistryKey;
  std::string FNewsAddress;
};
