#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/os/kernel/Kernel.h"

namespace {

using qv::os::ansi;

TEST(CodePage, GroesseGoesToWindows1252AndBack) {
  const std::u16string wide = u"Größe";
  // Size query with -1: the terminator counts.
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr), 6);
  char narrow[8] = {};
  BOOL usedDefault = TRUE;
  EXPECT_EQ(WideCharToMultiByte(1252, 0, wide.c_str(), -1, narrow, 8, nullptr, &usedDefault), 6);
  EXPECT_STREQ(narrow,
               "Gr\xF6\xDF"
               "e");
  EXPECT_FALSE(usedDefault);
  EXPECT_EQ(ansi(u8"Größe"), std::string(narrow));

  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0), 6);
  WCHAR back[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, narrow, -1, back, 8), 6);
  EXPECT_EQ(std::u16string(back), wide);

  // Through UTF-8: ö and ß take two bytes each.
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), 5, nullptr, 0, nullptr, nullptr), 7);
  char utf8[8] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), 5, utf8, 8, nullptr, nullptr), 7);
  EXPECT_EQ(std::string(utf8, 7),
            "Gr\xC3\xB6\xC3\x9F"
            "e");
  EXPECT_EQ(qv::os::utf8ToAnsi(utf8), std::string(narrow));
  EXPECT_EQ(qv::os::ansiToUtf8(narrow), std::string(utf8, 7));
  EXPECT_EQ(qv::os::ansiToUtf16(narrow), wide);
  EXPECT_EQ(qv::os::utf16ToAnsi(wide), std::string(narrow));
}

TEST(CodePage, TheHighHalfOfWindows1252IsNotLatin1) {
  struct Case {
    unsigned char byte;
    char32_t cp;
  } cases[] = {{0x80, 0x20AC}, {0x84, 0x201E}, {0x93, 0x201C}, {0x9F, 0x0178},
               {0x81, 0x0081}, {0xA0, 0x00A0}, {0xE4, 0x00E4}, {0x41, 0x0041}};
  for (const auto& c : cases) {
    EXPECT_EQ(qv::os::ansiToCodepoint(c.byte), c.cp) << int(c.byte);
    EXPECT_EQ(qv::os::codepointToAnsi(c.cp), int(c.byte)) << int(c.byte);
  }
  EXPECT_EQ(qv::os::ansiUpperCase(ansi(u8"größe œ ÿ")), ansi(u8"GRÖßE Œ Ÿ"));
  EXPECT_EQ(qv::os::ansiLowerCase(ansi(u8"ÄÖÜ Š")), ansi(u8"äöü š"));
}

TEST(CodePage, UnmappableAndInvalidTextByTheFlags) {
  const std::u16string wide = u"a\u4E2Db";  // a CJK character has no Windows-1252 byte
  char out[8] = {};
  BOOL used = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), 3, out, 8, nullptr, &used), 3);
  EXPECT_EQ(std::string(out, 3), "a?b");
  EXPECT_TRUE(used);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), 3, out, 8, "#", nullptr), 3);
  EXPECT_EQ(std::string(out, 3), "a#b");

  // Errors the platform gives, with their codes.
  WCHAR w[4];
  struct Case {
    const char* what;
    std::function<int()> call;
    DWORD error;
  } cases[] = {
      {"buffer too small", [&] { return WideCharToMultiByte(CP_ACP, 0, wide.c_str(), 3, out, 2, nullptr, nullptr); },
       ERROR_INSUFFICIENT_BUFFER},
      {"UTF-8 with a default char",
       [&] { return WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), 3, out, 8, "?", nullptr); }, ERROR_INVALID_PARAMETER},
      {"invalid UTF-8, strict", [&] { return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC3(", 3, w, 4); },
       ERROR_NO_UNICODE_TRANSLATION},
      {"UTF-8 with MB_PRECOMPOSED", [&] { return MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, w, 4); },
       ERROR_INVALID_FLAGS},
      {"empty source", [&] { return MultiByteToWideChar(CP_ACP, 0, "a", 0, w, 4); }, ERROR_INVALID_PARAMETER},
      {"unknown code page", [&] { return MultiByteToWideChar(12345, 0, "a", 1, w, 4); }, ERROR_INVALID_PARAMETER},
      {"lone surrogate, strict",
       [&] { return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\xD800", 1, out, 8, nullptr, nullptr); },
       ERROR_NO_UNICODE_TRANSLATION},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(c.call(), 0) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
  }

  // Lenient UTF-8: each bad sequence becomes U+FFFD.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xC3(", 3, w, 4), 3);
  EXPECT_EQ(std::u16string(w, 3), u"a\uFFFD(");
}

TEST(CodePage, StringHelpers) {
  char buf[6];
  EXPECT_EQ(lstrcpynA(buf, "abcdefgh", 6), buf);
  EXPECT_STREQ(buf, "abcde");  // n - 1 characters and the terminator
  EXPECT_EQ(lstrlenA(buf), 5);
  EXPECT_EQ(lstrlenA(nullptr), 0);
}

}  // namespace
