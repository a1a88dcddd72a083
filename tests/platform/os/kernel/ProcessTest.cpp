#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Kernel.h"

namespace {

using qv::desktop::Recorder;

class ProcessTest : public qvtest::DesktopTest {
 protected:
  // The companion program in the platform's form.
  std::string child() const { return qv::os::toWindowsPath(std::string(QV_TESTBIN) + "/prog_kernel_child"); }

  PROCESS_INFORMATION start(std::string commandLine, const char* folder = nullptr) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    EXPECT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi))
        << commandLine << " error " << GetLastError();
    return pi;
  }

  DWORD finish(PROCESS_INFORMATION& pi) {
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 12345;
    EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_TRUE(CloseHandle(pi.hThread));
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    return code;
  }
};

TEST_F(ProcessTest, AStartedProgramIsRecordedAndItsExitCodeComesBack) {
  std::string cmd = child() + " exit 7";
  PROCESS_INFORMATION pi = start(cmd);
  EXPECT_GT(pi.dwProcessId, 0u);
  EXPECT_EQ(finish(pi), 7u);
  auto exec = Recorder::eventsOf("exec");
  ASSERT_EQ(exec.size(), 1u);
  EXPECT_EQ(exec[0].fields, std::vector<std::string>{cmd});
}

TEST_F(ProcessTest, ARunningProgramCanBeWaitedForAndEnded) {
  PROCESS_INFORMATION pi = start(child() + " wait");
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(pi.hThread, 1), WAIT_TIMEOUT);
  EXPECT_TRUE(TerminateProcess(pi.hProcess, 99));
  EXPECT_EQ(WaitForSingleObject(pi.hThread, 20000), WAIT_OBJECT_0);
  EXPECT_FALSE(TerminateProcess(pi.hProcess, 1));  // already ended
  EXPECT_EQ(finish(pi), 99u);
}

TEST_F(ProcessTest, TheChildGetsTheExactCommandLineItsArgumentsAndFolder) {
  const std::string report = hostPath("report.txt");
  std::string cmd = "\"" + child() + "\" report " + report + " \"two words\" a\\\\\\\"b " + qv::os::ansi(u8"Größe");
  PROCESS_INFORMATION pi = start(cmd, "c:\\windows");
  EXPECT_EQ(finish(pi), 0u);
  EXPECT_EQ(readFile(report), cmd + "\n[two words]\n[a\\\"b]\n[" +
                                  std::string(reinterpret_cast<const char*>(u8"Größe")) + "]\ncwd=C:\\WINDOWS\n");
}

TEST_F(ProcessTest, ProgramsAreFoundAsThePlatformFindsThem) {
  // Beside the program, with or without ".exe"; blanks in an unquoted path.
  qv::os::setProgramPath(child());
  writeFile("C/Program Files/Quorvel Tools/readme.txt", "");
  ASSERT_TRUE(CopyFileA(child().c_str(), "C:\\Program Files\\Quorvel Tools\\tool.exe", FALSE));
  PROCESS_INFORMATION pi = start("prog_kernel_child exit 3");
  EXPECT_EQ(finish(pi), 3u);
  // Found by its blank-separated prefixes; its arguments are split as the
  // runtime splits them, so the child sees "Files\Quorvel" first and ends
  // with its code for an unknown mode.
  std::string unquoted = "C:\\Program Files\\Quorvel Tools\\tool exit 5";
  pi = start(unquoted);
  EXPECT_EQ(finish(pi), 100u);
  EXPECT_EQ(qv::desktop::Recorder::eventsOf("exec").back().fields[0], unquoted);
  pi = start("\"C:\\Program Files\\Quorvel Tools\\tool\" exit 5");
  EXPECT_EQ(finish(pi), 5u);
}

TEST_F(ProcessTest, WinExecAnswersLikeThePlatform) {
  writeFile("C/plain.exe", "MZ not a host program");
  qv::os::setProgramPath(child());
  struct Case {
    std::string commandLine;
    UINT result;
  } cases[] = {
      {"C:\\missing.exe", ERROR_FILE_NOT_FOUND},
      {"missing-program /x", ERROR_FILE_NOT_FOUND},
      {"C:\\nofolder\\missing.exe", ERROR_PATH_NOT_FOUND},
      {"\"C:\\no folder\\missing.exe\" x", ERROR_PATH_NOT_FOUND},
      {"C:\\plain.exe", ERROR_BAD_FORMAT},
      {"", ERROR_FILE_NOT_FOUND},
  };
  for (const auto& c : cases) EXPECT_EQ(WinExec(c.commandLine.c_str(), SW_SHOW), c.result) << c.commandLine;
  EXPECT_TRUE(Recorder::eventsOf("exec").empty());
  EXPECT_GT(WinExec("prog_kernel_child exit 0", SW_SHOW), 31u);
  ASSERT_EQ(Recorder::eventsOf("exec").size(), 1u);
  EXPECT_EQ(Recorder::eventsOf("exec")[0].fields[0], "prog_kernel_child exit 0");
}

// Each thread has its own id, and so has the one thread of a forked child,
// whose id the parent never had.
TEST(ThreadIdTest, EachThreadAndAForkedChildHasItsOwnId) {
  const DWORD mine = GetCurrentThreadId();
  EXPECT_EQ(mine, static_cast<DWORD>(::syscall(SYS_gettid)));
  DWORD theirs = 0;
  std::thread([&] { theirs = GetCurrentThreadId(); }).join();
  EXPECT_NE(theirs, 0u);
  EXPECT_NE(theirs, mine);
  EXPECT_EQ(GetCurrentThreadId(), mine);

  const pid_t pid = ::fork();
  ASSERT_NE(pid, -1);
  if (pid == 0) _exit(GetCurrentThreadId() == static_cast<DWORD>(::syscall(SYS_gettid)) ? 0 : 1);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
