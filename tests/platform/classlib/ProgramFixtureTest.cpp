// The in-process program fixture: a tiny main block of the test's own runs
// to its end on the virtual clock, gets scripted steps when idle, and is
// stopped by the caps when it would never end.
#include <gtest/gtest.h>

#include "ProgramTest.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/User.h"

namespace {

using qv::desktop::Clock;
using qv::desktop::Recorder;

constexpr COLORREF kPaint = RGB(0, 128, 255);

LRESULT tinyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      HBRUSH b = CreateSolidBrush(kPaint);
      FillRect(dc, &ps.rcPaint, b);
      DeleteObject(b);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

HWND tinyWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = tinyProc;
  wc.lpszClassName = "Tiny";
  RegisterClass(&wc);
  return CreateWindow("Tiny", "Tiny", WS_POPUP | WS_VISIBLE, 10, 20, 200, 100, nullptr, nullptr, nullptr, nullptr);
}

// A window with a timer that repaints it every 100 ms and ends the program
// after `ticks` ticks (never with 0); answers the ticks seen.
int tinyMain(int ticks) {
  HWND w = tinyWindow();
  int seen = 0;
  TTimer timer(nullptr);
  timer.SetInterval(100);
  timer.SetOnTimer([&](TObject*) {
    ++seen;
    InvalidateRect(w, nullptr, TRUE);
    if (seen == ticks) Application->Terminate();
  });
  Application->Run();
  DestroyWindow(w);
  return seen;
}

// A plain message loop that ends when its window is destroyed.
int loopMain() {
  tinyWindow();
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
  return static_cast<int>(m.wParam);
}

class ProgramFixtureTest : public qvtest::ProgramTest {};

TEST_F(ProgramFixtureTest, MainBlockRunsToItsEndOnTheVirtualClock) {
  setProgram("C:\\Tiny\\tiny.exe", "/x \"two words\"");
  std::string shot = hostPath("shot.png");
  at(150, [&] { EXPECT_TRUE(screenshot(shot)); });
  EXPECT_EQ(run([] { return tinyMain(3); }), 3);
  EXPECT_EQ(Clock::now(), 300u);
  EXPECT_FALSE(timedOut());
  EXPECT_TRUE(Recorder::eventsOf("timeout").empty());
  EXPECT_EQ(qv::os::programPath(), "C:\\Tiny\\tiny.exe");
  EXPECT_EQ(qv::os::splitCommandLine(qv::os::commandLine()),
            (std::vector<std::string>{"C:\\Tiny\\tiny.exe", "/x", "two words"}));
  auto windows = Recorder::eventsOf("window");
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0].line(), "window\tTiny\t10\t20\t200\t100");
  qv::os::gdi::Image img;
  ASSERT_TRUE(qv::os::gdi::loadImageFile(shot, img));
  EXPECT_EQ(img.at(50, 50), 0xFF000000u | qv::os::gdi::pixelOf(kPaint));
}

TEST_F(ProgramFixtureTest, StepsCloseTheMainWindow) {
  at(500, [&] { closeMainWindow(); });
  EXPECT_EQ(run(loopMain), 0);
  EXPECT_EQ(Clock::now(), 500u);  // no timers: the clock went straight to the step
  EXPECT_FALSE(timedOut());
  EXPECT_EQ(FindWindow("Tiny", nullptr), nullptr);
}

TEST_F(ProgramFixtureTest, CapsEndARunThatWouldNeverEnd) {
  struct Case {
    const char* what;
    std::uint64_t ms;
    int steps;
    bool busyScript;  // the script always finds something to do
  };
  const Case cases[] = {
      {"a timer that never ends the program", 1000, 100000, false},
      {"a script that keeps the program busy", 3600000, 50, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    qv::desktop::resetDesktop();
    Clock::useVirtual(0);
    limit(c.ms, c.steps);
    if (c.busyScript) onIdle([](int) { return PostMessage(GetActiveWindow(), WM_NULL, 0, 0) != FALSE; });
    else onIdle(nullptr);
    run([] { return tinyMain(0); });
    EXPECT_TRUE(timedOut());
    ASSERT_EQ(Recorder::eventsOf("timeout").size(), 1u);
    if (c.busyScript) EXPECT_EQ(idleSteps(), 50);
    else EXPECT_EQ(Clock::now(), 1000u);
  }
}

TEST_F(ProgramFixtureTest, ProgramWaitingForNothingEndsAtTheCap) {
  limit(2000, 1000);
  EXPECT_EQ(run(loopMain), 0);
  EXPECT_TRUE(timedOut());
  EXPECT_EQ(Clock::now(), 2000u);
}

}  // namespace
