#include <sys/wait.h>
#include <unistd.h>

#include "DesktopTest.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/SysInfo.h"

class ExitLogTest : public qvtest::DesktopTest {};

// A program's end must reach QV_LOG however it ends: by ExitProcess or by
// returning from main after setCommandLine.
TEST_F(ExitLogTest, ExitProcessAndANormalEndAreLoggedOnce) {
  for (bool viaExitProcess : {true, false}) {
    std::string log = hostPath(viaExitProcess ? "exitprocess.log" : "return.log");
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      setenv("QV_LOG", log.c_str(), 1);
      qv::desktop::Recorder::reopenLog();
      char arg0[] = "/bin/prog";
      char* argv[] = {arg0, nullptr};
      qv::os::setCommandLine(1, argv);
      if (viaExitProcess) ExitProcess(3);
      qv::os::recordProgramExit();  // as the atexit handler would, then once more from it
      std::exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), viaExitProcess ? 3 : 0);
    EXPECT_EQ(readFile(log), "exit\n");
  }
}
