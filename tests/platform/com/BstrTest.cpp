#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/Bstr.h"
#include "platform/os/kernel/CodePage.h"

namespace {

TEST(Bstr, LengthPrefixTerminatorAndNull) {
  BSTR s = SysAllocString(u"Menu");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 4u);
  EXPECT_EQ(SysStringByteLen(s), 8u);
  DWORD prefix;
  std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
  EXPECT_EQ(prefix, 8u) << "the byte length sits just before the text";
  EXPECT_EQ(s[4], 0);
  SysFreeString(s);

  // Embedded zeros count; a null source zero-fills.
  BSTR z = SysAllocStringLen(u"a\0b", 3);
  EXPECT_EQ(SysStringLen(z), 3u);
  EXPECT_EQ(z[2], u'b');
  SysFreeString(z);
  BSTR blank = SysAllocStringLen(nullptr, 2);
  EXPECT_EQ(blank[0], 0);
  EXPECT_EQ(blank[2], 0);
  SysFreeString(blank);

  // An odd byte count is kept exactly.
  BSTR bytes = SysAllocStringByteLen("abc", 3);
  EXPECT_EQ(SysStringByteLen(bytes), 3u);
  EXPECT_EQ(SysStringLen(bytes), 1u);
  EXPECT_EQ(reinterpret_cast<char*>(bytes)[3], 0);
  SysFreeString(bytes);

  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
}

TEST(Bstr, ReAllocFromItsOwnText) {
  BSTR s = SysAllocString(u"Quorvel Launch");
  ASSERT_TRUE(SysReAllocString(&s, s + 8));
  EXPECT_EQ(std::u16string(s, SysStringLen(s)), u"Launch");
  ASSERT_TRUE(SysReAllocStringLen(&s, s, 3));
  EXPECT_EQ(std::u16string(s, SysStringLen(s)), u"Lau");
  ASSERT_TRUE(SysReAllocString(&s, nullptr));
  EXPECT_EQ(SysStringLen(s), 0u);
  SysFreeString(s);
}

TEST(Bstr, WrapperConvertsAnsiAndOwns) {
  std::string ansi = qv::os::ansi(u8"Größe €");
  qv::com::Bstr b(ansi);
  EXPECT_EQ(b.view(), u"Größe €");
  EXPECT_EQ(b.toAnsi(), ansi);

  qv::com::Bstr copy = b;
  EXPECT_NE(copy.get(), b.get());
  EXPECT_EQ(copy.view(), b.view());

  BSTR raw = copy.detach();
  EXPECT_TRUE(copy.empty());
  qv::com::Bstr adopted = qv::com::Bstr::attach(raw);
  EXPECT_EQ(adopted.get(), raw);
  *adopted.put() = SysAllocString(u"x");
  EXPECT_EQ(adopted.view(), u"x");
  EXPECT_EQ(qv::com::Bstr().view(), u"");
}

}  // namespace
