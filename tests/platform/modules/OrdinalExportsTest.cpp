// The exports that shell32.dll and comctl32.dll offer only by ordinal: the
// shell's shared memory (520 to 523) and the common controls' allocator
// (71 to 74), bound as programs bind them.
#include <gtest/gtest.h>

#include <cstring>

#include "DesktopTest.h"
#include "platform/modules/Comctl32.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/SysInfo.h"

namespace {

class OrdinalExports : public qvtest::DesktopTest {};

template <typename F>
F bound(HMODULE module, WORD ordinal) {
  return qv::os::procAs<F>(GetProcAddress(module, MAKEINTRESOURCE(ordinal)));
}

TEST_F(OrdinalExports, ShellSharedMemoryByOrdinal) {
  HMODULE shell = LoadLibrary("shell32.dll");
  ASSERT_NE(shell, nullptr);
  auto alloc = bound<HANDLE (*)(const void*, DWORD, DWORD)>(shell, 520);
  auto lock = bound<void* (*)(HANDLE, DWORD)>(shell, 521);
  auto unlock = bound<BOOL (*)(void*)>(shell, 522);
  auto release = bound<BOOL (*)(HANDLE, DWORD)>(shell, 523);
  ASSERT_TRUE(alloc && lock && unlock && release);
  // The style module's entry point is still there by name.
  EXPECT_NE(GetProcAddress(shell, "SHGetShellStyleHInstance"), nullptr);
  EXPECT_EQ(GetProcAddress(shell, MAKEINTRESOURCE(524)), nullptr);

  const DWORD self = GetCurrentProcessId();
  HANDLE shared = alloc("abc", 4, self);
  void* view = lock(shared, self);
  ASSERT_NE(view, nullptr);
  EXPECT_STREQ(static_cast<const char*>(view), "abc");
  EXPECT_TRUE(unlock(view));
  EXPECT_TRUE(release(shared, self));
  EXPECT_FALSE(release(shared, self));
  FreeLibrary(shell);
}

TEST_F(OrdinalExports, CommonControlsAllocatorByOrdinal) {
  HMODULE controls = LoadLibrary("comctl32.dll");
  ASSERT_NE(controls, nullptr);
  auto alloc = bound<void* (*)(DWORD)>(controls, 71);
  auto realloc = bound<void* (*)(void*, DWORD)>(controls, 72);
  auto release = bound<BOOL (*)(void*)>(controls, 73);
  auto size = bound<DWORD (*)(void*)>(controls, 74);
  ASSERT_TRUE(alloc && realloc && release && size);
  const int before = qv::modules::commonControlsBlockCount();
  auto* block = static_cast<BYTE*>(alloc(3));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0] | block[1] | block[2], 0);
  block[0] = 7;
  block = static_cast<BYTE*>(realloc(block, 6));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(size(block), 6u);
  EXPECT_EQ(block[0], 7);
  EXPECT_EQ(block[3] | block[4] | block[5], 0);
  // Only its own blocks are freed.
  BYTE other[4];
  EXPECT_FALSE(release(other));
  EXPECT_TRUE(release(block));
  EXPECT_EQ(qv::modules::commonControlsBlockCount(), before);
  FreeLibrary(controls);
}

}  // namespace
