#include <signal.h>

#include <functional>
#include <string>

#include "DesktopTest.h"
#include "platform/os/kernel/Kernel.h"

namespace {

class SemaphoreTest : public qvtest::DesktopTest {
 protected:
  std::string child() const { return qv::os::toWindowsPath(std::string(QV_TESTBIN) + "/prog_kernel_child"); }

  PROCESS_INFORMATION start(const std::string& args) {
    std::string cmd = child() + " " + args;
    PROCESS_INFORMATION pi{};
    EXPECT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi));
    return pi;
  }

  DWORD exitCodeOf(const std::string& args) {
    PROCESS_INFORMATION pi = start(args);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 12345;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
  }
};

TEST_F(SemaphoreTest, ANameNamesOneObjectWithOneCount) {
  HANDLE a = CreateSemaphoreA(nullptr, 0, 2, "QUORVEL_RUNTIME");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(GetLastError(), 0u);
  HANDLE b = CreateSemaphoreA(nullptr, 1, 1, "QUORVEL_RUNTIME");  // counts of a second creator are ignored
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);

  LONG previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(a, 2, &previous));
  EXPECT_EQ(previous, 0);
  EXPECT_FALSE(ReleaseSemaphore(b, 1, &previous));  // past the maximum: nothing changes
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, 10), WAIT_TIMEOUT);

  // Names are case-sensitive; the session prefix names the same object.
  HANDLE other = CreateSemaphoreA(nullptr, 0, 1, "quorvel_runtime");
  EXPECT_EQ(GetLastError(), 0u);
  HANDLE local = CreateSemaphoreA(nullptr, 0, 1, "Local\\QUORVEL_RUNTIME");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  for (HANDLE h : {a, b, other, local}) EXPECT_TRUE(CloseHandle(h));

  // Gone with its last handle.
  EXPECT_EQ(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, "QUORVEL_RUNTIME"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  HANDLE again = CreateSemaphoreA(nullptr, 0, 1, "QUORVEL_RUNTIME");
  EXPECT_EQ(GetLastError(), 0u);
  CloseHandle(again);
}

TEST_F(SemaphoreTest, BadArgumentsGiveErrorCodes) {
  HANDLE unnamed = CreateSemaphoreA(nullptr, 1, 1, nullptr);
  ASSERT_NE(unnamed, nullptr);
  struct Case {
    const char* what;
    std::function<bool()> fails;
    DWORD error;
  } cases[] = {
      {"maximum 0", [] { return CreateSemaphoreA(nullptr, 0, 0, "x") == nullptr; }, ERROR_INVALID_PARAMETER},
      {"initial above maximum", [] { return CreateSemaphoreA(nullptr, 2, 1, "x") == nullptr; },
       ERROR_INVALID_PARAMETER},
      {"negative initial", [] { return CreateSemaphoreA(nullptr, -1, 1, nullptr) == nullptr; },
       ERROR_INVALID_PARAMETER},
      {"backslash in name", [] { return CreateSemaphoreA(nullptr, 0, 1, "a\\b") == nullptr; }, ERROR_BAD_PATHNAME},
      {"release by 0", [&] { return !ReleaseSemaphore(unnamed, 0, nullptr); }, ERROR_INVALID_PARAMETER},
      {"release unnamed past maximum", [&] { return !ReleaseSemaphore(unnamed, 1, nullptr); }, ERROR_TOO_MANY_POSTS},
      {"release a stale handle", [] { return !ReleaseSemaphore(reinterpret_cast<HANDLE>(0x7777), 1, nullptr); },
       ERROR_INVALID_HANDLE},
      {"wait on a stale handle", [] { return WaitForSingleObject(reinterpret_cast<HANDLE>(0x7777), 0) == WAIT_FAILED; },
       ERROR_INVALID_HANDLE},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_TRUE(c.fails()) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
  }
  EXPECT_EQ(WaitForSingleObject(unnamed, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(unnamed));
}

TEST_F(SemaphoreTest, ASecondProcessSeesItAndAKilledHolderReleasesIt) {
  // This process holds it: a second process finds it existing.
  HANDLE mine = CreateSemaphoreA(nullptr, 0, 1, "QUORVEL_RUNTIME");
  ASSERT_EQ(GetLastError(), 0u);
  EXPECT_EQ(exitCodeOf("probe QUORVEL_RUNTIME"), 1u);
  CloseHandle(mine);
  EXPECT_EQ(exitCodeOf("probe QUORVEL_RUNTIME"), 0u);

  // Another process holds it; it tells us through a second semaphore.
  HANDLE ready = CreateSemaphoreA(nullptr, 0, 1, "qvtest-ready");
  PROCESS_INFORMATION holder = start("hold QUORVEL_RUNTIME qvtest-ready");
  ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
  HANDLE second = CreateSemaphoreA(nullptr, 0, 1, "QUORVEL_RUNTIME");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(second);

  // Killed without a chance to clean up: the name is free again.
  ASSERT_EQ(kill(static_cast<pid_t>(holder.dwProcessId), SIGKILL), 0);
  EXPECT_EQ(WaitForSingleObject(holder.hProcess, 20000), WAIT_OBJECT_0);
  HANDLE after = CreateSemaphoreA(nullptr, 0, 1, "QUORVEL_RUNTIME");
  EXPECT_NE(after, nullptr);
  EXPECT_EQ(GetLastError(), 0u);
  for (HANDLE h : {after, ready, holder.hThread, holder.hProcess}) CloseHandle(h);
}

}  // namespace
