// The class library's StrUtils unit: the text tests and cuts that the
// system's code reads best with. "Text" forms ignore case (Windows-1252
// letters too), "Str" forms compare exactly.
#pragma once

#include <string>

// 1-based position of SubStr in S from Offset on; 0 when absent, when SubStr
// is empty or when Offset is below 1 or beyond S.
int PosEx(const std::string& SubStr, const std::string& S, int Offset = 1);

bool AnsiStartsText(const std::string& ASubText, const std::string& AText);
bool AnsiStartsStr(const std::string& ASubText, const std::string& AText);
bool AnsiEndsText(const std::string& ASubText, const std::string& AText);
bool AnsiEndsStr(const std::string& ASubText, const std::string& AText);
bool AnsiContainsText(const std::string& AText, const std::string& ASubText);
bool AnsiContainsStr(const std::string& AText, const std::string& ASubText);
// Every occurrence replaced.
std::string AnsiReplaceText(const std::string& AText, const std::string& AFromText, const std::string& AToText);
std::string AnsiReplaceStr(const std::string& AText, const std::string& AFromText, const std::string& AToText);

// Cuts clamped to the text; counts below 1 give "".
std::string LeftStr(const std::string& AText, int ACount);
std::string RightStr(const std::string& AText, int ACount);
std::string MidStr(const std::string& AText, int AStart, int ACount);
std::string DupeString(const std::string& AText, int ACount);
