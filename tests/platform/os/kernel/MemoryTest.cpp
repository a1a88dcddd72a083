#include <gtest/gtest.h>

#include <cstring>

#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/Memory.h"

namespace {

TEST(GlobalMemory, FixedBlocksAreTheirAddressMovableOnesAreReachedByCountedLocks) {
  HGLOBAL fixed = GlobalAlloc(GPTR, 4);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(GlobalLock(fixed), fixed);
  EXPECT_EQ(GlobalSize(fixed), 4u);

  HGLOBAL movable = GlobalAlloc(GMEM_MOVEABLE, 3);
  auto* p = static_cast<char*>(GlobalLock(movable));
  ASSERT_NE(p, nullptr);
  EXPECT_NE(static_cast<void*>(p), movable);
  std::memcpy(p, "abc", 3);
  EXPECT_EQ(GlobalLock(movable), p);
  EXPECT_TRUE(GlobalUnlock(movable));  // still locked once
  SetLastError(123);
  EXPECT_FALSE(GlobalUnlock(movable));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));

  // Grown: the handle stays, the bytes are kept and the new ones are zero.
  EXPECT_EQ(GlobalReAlloc(movable, 5, GMEM_MOVEABLE), movable);
  EXPECT_EQ(GlobalSize(movable), 5u);
  p = static_cast<char*>(GlobalLock(movable));
  EXPECT_EQ(std::string(p, 5), std::string("abc\0\0", 5));
  GlobalUnlock(movable);
  // A fixed block may not move unless allowed to.
  EXPECT_EQ(GlobalReAlloc(fixed, 64, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

  const int before = qv::os::globalBlockCount();
  EXPECT_EQ(GlobalFree(movable), nullptr);
  EXPECT_EQ(GlobalFree(fixed), nullptr);
  EXPECT_EQ(qv::os::globalBlockCount(), before - 2);
  EXPECT_EQ(GlobalFree(fixed), fixed);
  EXPECT_EQ(GlobalLock(fixed), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
