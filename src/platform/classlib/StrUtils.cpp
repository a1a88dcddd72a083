#include "platform/classlib/StrUtils.h"

#include "platform/classlib/SysUtils.h"

int PosEx(const std::string& SubStr, const std::string& S, int Offset) {
  if (SubStr.empty() || Offset < 1 || Offset > static_cast<int>(S.size())) return 0;
  std::size_t p = S.find(SubStr, static_cast<std::size_t>(Offset - 1));
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

bool AnsiStartsText(const std::string& ASubText, const std::string& AText) {
  return ASubText.size() <= AText.size() && AnsiSameText(AText.substr(0, ASubText.size()), ASubText);
}

bool AnsiStartsStr(const std::string& ASubText, const std::string& AText) {
  return AText.compare(0, ASubText.size(), ASubText) == 0;
}

bool AnsiEndsText(const std::string& ASubText, const std::string& AText) {
  return ASubText.size() <= AText.size() && AnsiSameText(AText.substr(AText.size() - ASubText.size()), ASubText);
}

bool AnsiEndsStr(const std::string& ASubText, const std::string& AText) {
  return ASubText.size() <= AText.size() && AText.compare(AText.size() - ASubText.size(), ASubText.size(), ASubText) == 0;
}

bool AnsiContainsText(const std::string& AText, const std::string& ASubText) {
  return ASubText.empty() || Pos(AnsiUpperCase(ASubText), AnsiUpperCase(AText)) > 0;
}

bool AnsiContainsStr(const std::string& AText, const std::string& ASubText) {
  return AText.find(ASubText) != std::string::npos;
}

std::string AnsiReplaceText(const std::string& AText, const std::string& AFromText, const std::string& AToText) {
  return StringReplace(AText, AFromText, AToText, {rfReplaceAll, rfIgnoreCase});
}

std::string AnsiReplaceStr(const std::string& AText, const std::string& AFromText, const std::string& AToText) {
  return StringReplace(AText, AFromText, AToText, {rfReplaceAll});
}

std::string LeftStr(const std::string& AText, int ACount) { return Copy(AText, 1, ACount); }

std::string RightStr(const std::string& AText, int ACount) {
  int len = static_cast<int>(AText.size());
  if (ACount <= 0) return "";
  if (ACount > len) ACount = len;
  return AText.substr(static_cast<std::size_t>(len - ACount));
}

std::string MidStr(const std::string& AText, int AStart, int ACount) { return Copy(AText, AStart, ACount); }

std::string DupeString(const std::string& AText, int ACount) {
  std::string r;
  for (int i = 0; i < ACount; ++i) r += AText;
  return r;
}
