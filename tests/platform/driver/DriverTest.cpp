// The desktop driver steering a real program process: commands run one by
// one at idle moments, every one logged, and `timeout` ending a program that
// would never end. Key names are checked in-process.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Recorder.h"
#include "platform/driver/Driver.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/User.h"

extern char** environ;

namespace {

struct ProcessRun {
  int exitCode = -1;
  bool finished = false;
  std::string logPath;
  std::vector<std::string> log;
};

class DriverProcessTest : public qvtest::DesktopTest {
 protected:
  // Starts prog_driven with the script and waits (bounded) for it to end.
  ProcessRun runDriven(const std::string& script, const std::vector<std::string>& args = {}) {
    std::string scriptPath = writeFile("script.txt", script);
    std::string logPath = hostPath("log.txt");
    std::remove(logPath.c_str());
    std::string home = hostPath("home");
    std::vector<std::string> env = {"QV_DRIVER=" + scriptPath, "QV_LOG=" + logPath, "QV_HOME=" + home};
    for (char** e = environ; *e; ++e) {
      std::string v = *e;
      if (v.rfind("QV_", 0) != 0) env.push_back(v);
    }
    std::string prog = qvtest::testBin("prog_driven");
    std::vector<char*> argv{prog.data()};
    std::vector<std::string> argCopy = args;
    for (auto& a : argCopy) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    ProcessRun run;
    if (posix_spawn(&pid, prog.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return run;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitpid(pid, &status, WNOHANG) == pid) {
        run.finished = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!run.finished) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    } else if (WIFEXITED(status)) {
      run.exitCode = WEXITSTATUS(status);
    }
    run.logPath = logPath;
    readLog(run);
    return run;
  }

  void readLog(ProcessRun& run) {
    run.log.clear();
    std::istringstream in(readFile(run.logPath));
    for (std::string line; std::getline(in, line);) run.log.push_back(line);
  }

  // Waits (bounded) for a process that is not ours to end.
  static bool waitForEndOf(pid_t pid) {
    int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) return errno == ESRCH;
    pollfd p{fd, POLLIN, 0};
    const bool ended = poll(&p, 1, 30000) > 0;
    close(fd);
    if (!ended) kill(pid, SIGKILL);
    return ended;
  }

  // The log lines of the given kinds, in order.
  static std::vector<std::string> only(const ProcessRun& run, const std::vector<std::string>& kinds) {
    std::vector<std::string> out;
    for (const auto& l : run.log) {
      std::string kind = l.substr(0, l.find('\t'));
      for (const auto& k : kinds)
        if (kind == k) out.push_back(l);
    }
    return out;
  }
};

// The button sits at client (10, 10) of a window whose client area starts
// at screen (100, 100); the edit at (10, 50).
TEST_F(DriverProcessTest, ClicksAnswersTypesShootsAndEnds) {
  std::string shot = hostPath("screen.png");
  ProcessRun run = runDriven(
      "# a person at the screen\n"
      "answer No\n"
      "click 120 115\n"
      "wait 50\n"
      "click 120 160\n"
      "type Hallo Welt\n"
      "key Backspace\n"
      "screenshot " + shot + "\n"
      "bogus 1 2\n"
      "end\n"
      "click 1 1\n");
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(only(run, {"driver", "driver-error", "msgbox", "answer", "typed", "exit"}),
            (std::vector<std::string>{
                "driver\tanswer No",
                "driver\tclick 120 115",
                "msgbox\tDriven\tReally?\t36\tNo",
                "answer\tNo",
                "driver\twait 50",
                "driver\tclick 120 160",
                "driver\ttype Hallo Welt",
                "driver\tkey Backspace",
                "driver\tscreenshot " + shot,
                "driver\tbogus 1 2",
                "driver-error\tbogus 1 2\tunknown command",
                "driver\tend",
                "typed\tHallo Wel",
                "exit",
            }));
  std::string png = readFile(shot);
  ASSERT_GE(png.size(), 8u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  auto windows = only(run, {"window"});
  ASSERT_FALSE(windows.empty());
  EXPECT_EQ(windows[0].rfind("window\tDriven\t100\t100\t300\t200", 0), 0u) << windows[0];
}

TEST_F(DriverProcessTest, CloseGoesThroughTheSystemMenu) {
  ProcessRun run = runDriven("close\n");
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(only(run, {"driver", "typed", "exit"}),
            (std::vector<std::string>{"driver\tclose", "typed\t", "exit"}));
}

TEST_F(DriverProcessTest, TimeoutEndsAProgramThatNeverEnds) {
  // The first program would idle for ever; the second is stuck inside a
  // click handler, so its GUI thread never comes back to the script.
  for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"hang"}}) {
    ProcessRun run = runDriven("timeout 0.3\nclick 120 115\n", args);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 124);
    auto tail = only(run, {"timeout", "exit", "typed"});
    EXPECT_EQ(tail, (std::vector<std::string>{"timeout", "exit"}));
  }
}

// A program started by a steered one never replays its parent's script:
// given a script by `child`, it runs that one; given none, it runs unsteered
// and ends when its parent ends. Its lines in the shared log carry its id
// and name, so the parent's lines read as they would alone.
TEST_F(DriverProcessTest, AChildRunsTheScriptNamedForItOrEndsWithItsParent) {
  const std::string childScript = writeFile("child.txt", "type from the child\nend\n");
  struct Case {
    bool ownScript;
    std::vector<std::string> childLines;
  } cases[] = {
      {true, {"driver\ttype from the child", "driver\tend", "typed\tfrom the child", "exit"}},
      {false, {"parent-ended", "exit"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ownScript ? "with a script" : "without a script");
    const std::string childLine = "child " + childScript;
    ProcessRun run = runDriven((c.ownScript ? childLine + "\n" : "") + "key F2\nwait 100\nend\n");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    const auto started = only(run, {"started"});
    ASSERT_EQ(started.size(), 1u);
    const pid_t child = std::stoi(started[0].substr(started[0].find('\t') + 1));
    ASSERT_TRUE(waitForEndOf(child));
    readLog(run);

    std::vector<std::string> parentLines;
    if (c.ownScript) parentLines.push_back("driver\t" + childLine);
    for (const char* l : {"driver\tkey F2", started[0].c_str(), "driver\twait 100", "driver\tend", "typed\t", "exit"})
      parentLines.push_back(l);
    EXPECT_EQ(only(run, {"driver", "driver-error", "started", "typed", "parent-ended", "exit"}), parentLines);

    const std::string mark = "[" + std::to_string(child) + " prog_driven]\t";
    ProcessRun childRun;
    for (const auto& l : run.log) {
      if (l.rfind(mark, 0) == 0)
        childRun.log.push_back(l.substr(mark.size()));
      else
        EXPECT_NE(l[0], '[') << "a line of an unknown process: " << l;
    }
    EXPECT_EQ(only(childRun, {"driver", "driver-error", "started", "typed", "parent-ended", "exit"}), c.childLines);
    EXPECT_EQ(only(childRun, {"window"}).size(), 1u) << "the child's window is logged under its mark";
  }
}

TEST(DriverKeys, NamesAndModifiers) {
  struct Case {
    const char* name;
    unsigned vk;
    bool ctrl, shift, alt;
  } cases[] = {
      {"Alt+Left", VK_LEFT, false, false, true},  {"Escape", VK_ESCAPE, false, false, false},
      {"Return", VK_RETURN, false, false, false}, {"Ctrl+C", 'C', true, false, false},
      {"ctrl+shift+f12", VK_F12, true, true, false}, {"F1", VK_F1, false, false, false},
      {"a", 'A', false, false, false},            {"Space", VK_SPACE, false, false, false},
      {"Ctrl++", VK_OEM_PLUS, true, false, false}, {"Tab", VK_TAB, false, false, false},
  };
  for (const auto& c : cases) {
    qv::desktop::DriverKey k;
    ASSERT_TRUE(qv::desktop::parseDriverKey(c.name, k)) << c.name;
    EXPECT_EQ(k.vk, c.vk) << c.name;
    EXPECT_EQ(k.ctrl, c.ctrl) << c.name;
    EXPECT_EQ(k.shift, c.shift) << c.name;
    EXPECT_EQ(k.alt, c.alt) << c.name;
  }
  for (const char* bad : {"", "F13", "F0", "Hyper+A", "Ctrl+", "Nothing"}) {
    qv::desktop::DriverKey k;
    EXPECT_FALSE(qv::desktop::parseDriverKey(bad, k)) << bad;
  }
}

TEST(DriverCommands, BadArgumentsAreErrorsAndLaterLayersAddCommands) {
  std::string error;
  for (const char* bad : {"click 1", "click x y", "wait -5", "syscommand abc", "timeout soon", "answer", "child",
                          "child /no/such/script.txt"}) {
    error.clear();
    EXPECT_FALSE(qv::desktop::runDriverCommand(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  for (const char* bad : {"answer shellconfirm", "answer shellconfirm maybe", "printer", "printer works"}) {
    error.clear();
    EXPECT_FALSE(qv::desktop::runDriverCommand(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  std::string seen;
  qv::desktop::registerDriverCommand("link", [&](const std::string& a, std::string&) {
    seen = a;
    return true;
  });
  EXPECT_TRUE(qv::desktop::runDriverCommand("LINK  Home page ", error));
  EXPECT_EQ(seen, "Home page");
}

class DriverResetTest : public qvtest::DesktopTest {};

// What one test does with the driver does not reach the next: its script,
// its pending `timeout` and the commands it added or replaced.
TEST_F(DriverResetTest, AFreshDesktopForgetsTheScriptTheTimeoutAndAddedCommands) {
  bool ran = false;
  qv::desktop::registerDriverCommand("extra", [&](const std::string&, std::string&) { return ran = true; });
  qv::desktop::registerDriverCommand("link", [&](const std::string&, std::string&) { return ran = true; });
  std::string error;
  ASSERT_TRUE(qv::desktop::runDriverCommand("timeout 0.05", error));
  qv::desktop::startDriver({"wait 100", "extra"});
  EXPECT_TRUE(qv::desktop::driverBusy());

  qv::desktop::resetDesktop();
  EXPECT_FALSE(qv::desktop::driverBusy());
  EXPECT_FALSE(qv::desktop::runDriverCommand("extra", error));
  EXPECT_EQ(error, "unknown command");
  EXPECT_FALSE(qv::desktop::runDriverCommand("link Home", error));
  EXPECT_EQ(error, "no browser control");
  EXPECT_FALSE(ran);
}

// The shell's replace question and the printer get answers of their own,
// apart from the message boxes'.
TEST(DriverCommands, TheShellsQuestionAndThePrinterAreAnswered) {
  using qv::desktop::Recorder;
  Recorder::clearAnswers();
  std::string error;
  EXPECT_TRUE(qv::desktop::runDriverCommand("answer shellconfirm No", error)) << error;
  EXPECT_TRUE(qv::desktop::runDriverCommand("answer ShellConfirm cancel", error)) << error;
  EXPECT_TRUE(qv::desktop::runDriverCommand("printer fail", error)) << error;
  EXPECT_TRUE(qv::desktop::runDriverCommand("answer Yes", error)) << error;
  EXPECT_EQ(Recorder::popAnswer("shellconfirm"), "no");
  EXPECT_EQ(Recorder::popAnswer("shellconfirm"), "cancel");
  EXPECT_EQ(Recorder::popAnswer("shellconfirm"), std::nullopt);
  EXPECT_EQ(Recorder::popAnswer("print"), "fail");
  EXPECT_EQ(Recorder::popAnswer("msgbox"), "Yes");
  EXPECT_EQ(Recorder::popAnswer("msgbox"), std::nullopt);
}

}  // namespace

class DriverWindowsTest : public qvtest::DesktopTest {};

// `windows` lists what a person sees, front to back and each window before
// what it holds: nothing hidden, nor anything inside a hidden window.
TEST_F(DriverWindowsTest, ListsEveryVisibleWindowWithItsClassTextAndScreenRectangle) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "QvListed";
  RegisterClass(&wc);
  auto make = [](const char* text, DWORD style, int x, int y, int w, int h, HWND parent) {
    return CreateWindowEx(0, "QvListed", text, style, x, y, w, h, parent, nullptr, nullptr, nullptr);
  };
  make("Back", WS_POPUP | WS_VISIBLE, 0, 0, 50, 40, nullptr);
  make("Hidden", WS_POPUP, 0, 0, 50, 40, nullptr);
  HWND front = make("Fenster-Gr\xF6\xDF" "e", WS_POPUP | WS_VISIBLE, 100, 50, 300, 200, nullptr);
  HWND panel = make("", WS_CHILD | WS_VISIBLE, 10, 20, 120, 80, front);
  make("Position && Size", WS_CHILD | WS_VISIBLE, 5, 6, 30, 10, panel);
  HWND shut = make("Shut", WS_CHILD, 150, 20, 100, 80, front);
  make("Inside shut", WS_CHILD | WS_VISIBLE, 1, 1, 10, 10, shut);
  qv::desktop::Recorder::clearEvents();

  std::string error;
  ASSERT_TRUE(qv::desktop::runDriverCommand("windows", error)) << error;
  std::vector<std::string> lines;
  for (const auto& e : qv::desktop::Recorder::eventsOf("window")) lines.push_back(e.line());
  const std::vector<std::string> expected = {
      "window\tQvListed\tFenster-Gr\u00F6\u00DFe\t100 50 400 250",
      "window\tQvListed\t\t110 70 230 150",
      "window\tQvListed\tPosition && Size\t115 76 145 86",
      "window\tQvListed\tBack\t0 0 50 40",
  };
  EXPECT_EQ(lines, expected);
}
