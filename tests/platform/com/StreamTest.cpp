#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/com/Stream.h"
#include "platform/os/kernel/Memory.h"

namespace {

std::string readAll(IStream* s) {
  std::string out;
  char buf[4];
  ULONG got = 0;
  while (SUCCEEDED(s->Read(buf, sizeof buf, &got)) && got > 0) out.append(buf, got);
  return out;
}

TEST(HGlobalStream, ReadsTheBlockGrowsItOnWriteAndFreesItWithTheLastReference) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 5);
  std::memcpy(GlobalLock(mem), "hello", 5);
  GlobalUnlock(mem);
  const int blocks = qv::os::globalBlockCount();

  IStream* s = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(mem, TRUE, &s), S_OK);
  EXPECT_EQ(readAll(s), "hello");
  ULONG written = 0;
  EXPECT_EQ(s->Write(" world", 6, &written), S_OK);
  EXPECT_EQ(written, 6u);
  STATSTG stat{};
  ASSERT_EQ(s->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 11u);
  HGLOBAL under = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(s, &under), S_OK);
  EXPECT_EQ(under, mem);
  EXPECT_GE(GlobalSize(mem), 11u);

  // A clone shares the block and has its own position.
  IStream* c = nullptr;
  ASSERT_EQ(s->Clone(&c), S_OK);
  LARGE_INTEGER zero{};
  ASSERT_EQ(c->Seek(zero, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(readAll(c), "hello world");
  s->Release();
  EXPECT_EQ(qv::os::globalBlockCount(), blocks);
  c->Release();
  EXPECT_EQ(qv::os::globalBlockCount(), blocks - 1);
}

TEST(HGlobalStream, WithoutABlockMakesItsOwnAndCanLeaveItToTheCaller) {
  IStream* s = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, FALSE, &s), S_OK);
  s->Write("xy", 2, nullptr);
  HGLOBAL mem = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(s, &mem), S_OK);
  s->Release();
  ASSERT_GE(GlobalSize(mem), 2u);
  EXPECT_EQ(std::string(static_cast<char*>(GlobalLock(mem)), 2), "xy");
  GlobalUnlock(mem);
  EXPECT_EQ(GlobalFree(mem), nullptr);
}

}  // namespace
