// The global atom table and the shell's shared memory: the two ways DDE
// conversations pass names and data between windows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DesktopTest.h"
#include "platform/os/kernel/Atom.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/ShellShared.h"
#include "platform/os/kernel/SysInfo.h"

namespace {

class AtomTest : public qvtest::DesktopTest {};

std::string nameOf(ATOM atom) {
  char name[300] = {};
  GlobalGetAtomName(atom, name, sizeof name);
  return name;
}

TEST_F(AtomTest, StringAtomsAreSharedByNameInAnyCaseAndCounted) {
  const ATOM folders = GlobalAddAtom("Folders");
  ASSERT_GE(folders, MAXINTATOM);
  EXPECT_EQ(GlobalAddAtom("FOLDERS"), folders);
  EXPECT_EQ(GlobalFindAtom("folders"), folders);
  // The name keeps the case of its first add.
  EXPECT_EQ(nameOf(folders), "Folders");
  const ATOM topic = GlobalAddAtom("AppProperties");
  EXPECT_NE(topic, folders);

  // Two adds, two deletes: then the name is gone.
  EXPECT_EQ(GlobalDeleteAtom(folders), 0);
  EXPECT_EQ(GlobalFindAtom("Folders"), folders);
  EXPECT_EQ(GlobalDeleteAtom(folders), 0);
  SetLastError(0);
  EXPECT_EQ(GlobalFindAtom("Folders"), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GlobalDeleteAtom(folders), folders);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalGetAtomName(folders, nullptr, 0), 0u);
  char buffer[8] = "x";
  EXPECT_EQ(GlobalGetAtomName(folders, buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_STREQ(buffer, "");
}

TEST_F(AtomTest, IntegerAtomsStandForThemselves) {
  EXPECT_EQ(GlobalAddAtom(MAKEINTATOM(42)), 42);
  EXPECT_EQ(GlobalAddAtom("#42"), 42);
  EXPECT_EQ(GlobalFindAtom("#49151"), 0xBFFF);
  EXPECT_EQ(nameOf(42), "#42");
  EXPECT_EQ(GlobalDeleteAtom(42), 0);
  // "#" followed by more than digits is a name like any other.
  const ATOM named = GlobalAddAtom("#4x");
  EXPECT_GE(named, MAXINTATOM);
  EXPECT_EQ(nameOf(named), "#4x");
}

TEST_F(AtomTest, NamesThatCannotBeAtoms) {
  struct Case {
    LPCSTR name;
    DWORD error;
  } cases[] = {
      {"", ERROR_INVALID_NAME},
      {"#0", ERROR_INVALID_PARAMETER},
      {"#49152", ERROR_INVALID_PARAMETER},
      {MAKEINTATOM(0), ERROR_INVALID_PARAMETER},
      {MAKEINTATOM(0xC000), ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(GlobalAddAtom(c.name), 0);
    EXPECT_EQ(GetLastError(), c.error);
  }
  const std::string longest(255, 'n');
  EXPECT_NE(GlobalAddAtom(longest.c_str()), 0);
  EXPECT_EQ(GlobalAddAtom((longest + "n").c_str()), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(AtomTest, ASmallBufferGetsTheNameCut) {
  const ATOM atom = GlobalAddAtom("WWW_OpenURL");
  char buffer[5];
  EXPECT_EQ(GlobalGetAtomName(atom, buffer, sizeof buffer), 4u);
  EXPECT_STREQ(buffer, "WWW_");
}

class ShellSharedTest : public qvtest::DesktopTest {};

TEST_F(ShellSharedTest, ABlockIsReadWithItsProcessAndGoesWithTheLastUnlock) {
  const DWORD self = GetCurrentProcessId();
  const char bytes[] = "item id list";
  HANDLE shared = SHAllocShared(bytes, sizeof bytes, self);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(qv::os::sharedBlockCount(), 1);

  // Another process id is not the block's.
  SetLastError(0);
  EXPECT_EQ(SHLockShared(shared, self + 1), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(SHFreeShared(shared, self + 1));

  void* view = SHLockShared(shared, self);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::memcmp(view, bytes, sizeof bytes), 0);
  // Freed while locked: the view stays readable until it is unlocked.
  EXPECT_TRUE(SHFreeShared(shared, self));
  EXPECT_EQ(SHLockShared(shared, self), nullptr);
  EXPECT_EQ(std::memcmp(view, bytes, sizeof bytes), 0);
  EXPECT_TRUE(SHUnlockShared(view));
  EXPECT_EQ(qv::os::sharedBlockCount(), 0);
  EXPECT_FALSE(SHUnlockShared(view));
  EXPECT_FALSE(SHFreeShared(shared, self));

  // Without data the block is zeros.
  HANDLE zeros = SHAllocShared(nullptr, 4, self);
  const auto* z = static_cast<const BYTE*>(SHLockShared(zeros, self));
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z[0] | z[1] | z[2] | z[3], 0);
  SHUnlockShared(const_cast<BYTE*>(z));
  EXPECT_TRUE(SHFreeShared(zeros, self));
}

}  // namespace
