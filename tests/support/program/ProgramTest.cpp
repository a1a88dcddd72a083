#include "ProgramTest.h"

#include <algorithm>

#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Screen.h"
#include "platform/os/user/Timer.h"
#include "platform/os/user/Window.h"

namespace qvtest {

using qv::desktop::Clock;

void ProgramTest::SetUp() {
  DesktopTest::SetUp();
  actions_.clear();
  step_ = nullptr;
  steps_ = 0;
  timedOut_ = false;
}

void ProgramTest::TearDown() {
  qv::os::setIdleHook(nullptr);
  DesktopTest::TearDown();
}

void ProgramTest::setProgram(const std::string& windowsPath, const std::string& arguments) {
  qv::os::setProgramPath(windowsPath);
  std::string line = "\"" + windowsPath + "\"";
  if (!arguments.empty()) line += " " + arguments;
  qv::os::setCommandLineText(line);
}

void ProgramTest::setProfileValue(const std::string& key, const std::string& value) {
  qv::desktop::profile().extra[key] = value;
}

void ProgramTest::answer(const std::string& kind, const std::string& answer) {
  qv::desktop::Recorder::pushAnswer(kind, answer);
}

void ProgramTest::limit(std::uint64_t virtualMs, int idleSteps) {
  maxMs_ = virtualMs;
  maxSteps_ = idleSteps;
}

void ProgramTest::onIdle(std::function<bool(int)> step) { step_ = std::move(step); }

void ProgramTest::at(std::uint64_t atMs, std::function<void()> action) {
  actions_.push_back({atMs, std::move(action)});
  std::stable_sort(actions_.begin(), actions_.end(), [](const Action& a, const Action& b) { return a.at < b.at; });
}

void ProgramTest::stop() {
  if (Application != nullptr) Application->Terminate();
  else PostQuitMessage(0);
}

bool ProgramTest::idle() {
  std::uint64_t now = Clock::now();
  if (timedOut_) {
    // Nested loops each take a quit of their own until the outermost ends.
    stop();
    return true;
  }
  if (steps_ >= maxSteps_ || now - start_ >= maxMs_) {
    timedOut_ = true;
    qv::desktop::Recorder::record("timeout", {std::to_string(now - start_), std::to_string(steps_)});
    stop();
    return true;
  }
  int step = steps_++;
  if (!actions_.empty() && actions_.front().at <= now) {
    auto action = std::move(actions_.front().action);
    actions_.erase(actions_.begin());
    action();
    return true;
  }
  if (step_ && step_(step)) return true;
  // Without a timer due before the next action, time runs on to the action;
  // without either, on to the cap, so that a program waiting for nothing
  // still ends.
  std::uint64_t next = qv::os::nextTimerDue();
  std::uint64_t target = actions_.empty() ? start_ + maxMs_ : actions_.front().at;
  if (next == UINT64_MAX || next > target) {
    Clock::advanceTo(target);
    return true;
  }
  return false;
}

int ProgramTest::run(const std::function<int()>& mainBlock) {
  start_ = Clock::now();
  steps_ = 0;
  timedOut_ = false;
  qv::os::setIdleHook([this] { return idle(); });
  int result = mainBlock();
  qv::os::setIdleHook(nullptr);
  return result;
}

void ProgramTest::click(int x, int y) { qv::os::injectClick(POINT{x, y}); }

void ProgramTest::closeMainWindow() {
  if (Application != nullptr && Application->MainForm() != nullptr) {
    PostMessage(Application->Handle(), WM_CLOSE, 0, 0);
    return;
  }
  HWND target = GetActiveWindow();
  if (target == nullptr) {
    for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
      if (IsWindowVisible(h)) {
        target = h;
        break;
      }
  }
  if (target != nullptr) PostMessage(target, WM_CLOSE, 0, 0);
}

bool ProgramTest::screenshot(const std::string& hostPath) { return qv::os::saveScreenshot(hostPath); }

}  // namespace qvtest
