// Runs a program's main block inside the test process on the headless
// desktop: the test sets the program's path and command line, profile values
// and scripted answers, then calls the main block. Whenever the program is
// idle (its queue is empty), the test's script gets a step: advance the
// clock, click, close the main window, take a screenshot. The run always
// ends: past a cap of virtual time or of idle steps a `timeout` event is
// recorded and the application is told to terminate.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DesktopTest.h"

namespace qvtest {

class ProgramTest : public DesktopTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Before the run. The path is in the platform's form ("C:\\Prog\\x.exe");
  // the command line becomes the quoted path followed by `arguments`.
  void setProgram(const std::string& windowsPath, const std::string& arguments = "");
  void setProfileValue(const std::string& key, const std::string& value);
  void answer(const std::string& kind, const std::string& answer);
  // The caps: virtual milliseconds from the start of the run, idle steps.
  void limit(std::uint64_t virtualMs, int idleSteps);

  // Called with the step's number at every idle moment; answer true when it
  // did something (the program looks at its queue again), false to let the
  // clock run on to the next timer.
  void onIdle(std::function<bool(int step)> step);
  // Runs `action` at the first idle moment at or after `atMs` of virtual
  // time; the clock is moved there when nothing else is due before.
  void at(std::uint64_t atMs, std::function<void()> action);

  // Calls the main block and answers what it returns.
  int run(const std::function<int()>& mainBlock);

  // Things a step may do.
  void click(int x, int y);
  // Closes the main window as its system menu would (WM_CLOSE): the
  // application's main form when there is one, else the active window.
  void closeMainWindow();
  bool screenshot(const std::string& hostPath);

  bool timedOut() const { return timedOut_; }
  int idleSteps() const { return steps_; }

 private:
  bool idle();
  void stop();

  struct Action {
    std::uint64_t at;
    std::function<void()> action;
  };
  std::vector<Action> actions_;
  std::function<bool(int)> step_;
  std::uint64_t start_ = 0;
  std::uint64_t maxMs_ = 60 * 60 * 1000;
  int maxSteps_ = 100000;
  int steps_ = 0;
  bool timedOut_ = false;
};

}  // namespace qvtest
