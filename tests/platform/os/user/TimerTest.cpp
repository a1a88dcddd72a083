#include "UserFixture.h"
#include "platform/desktop/Clock.h"

using namespace usertest;
using qv::desktop::Clock;

namespace {

class TimerTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    w = make(WS_POPUP, {0, 0, 10, 10});
  }
  // (time, id) of every WM_TIMER the window got.
  std::vector<std::pair<std::uint64_t, WPARAM>> fired() {
    std::vector<std::pair<std::uint64_t, WPARAM>> r;
    for (auto& [t, id] : times) r.push_back({t, id});
    return r;
  }
  void watch() {
    onMessage([this](HWND, UINT m, WPARAM wp, LPARAM, LRESULT& res) {
      if (m != WM_TIMER) return false;
      times.push_back({Clock::now(), wp});
      res = 0;
      return true;
    });
  }
  HWND w = nullptr;
  std::vector<std::pair<std::uint64_t, WPARAM>> times;
};

using Fired = std::vector<std::pair<std::uint64_t, WPARAM>>;

TEST_F(TimerTest, FiresEveryIntervalAsTheClockAdvances) {
  watch();
  EXPECT_EQ(SetTimer(w, 1, 100, nullptr), 1u);
  EXPECT_EQ(SetTimer(w, 2, 250, nullptr), 2u);
  qv::os::runFor(500);
  EXPECT_EQ(fired(), (Fired{{100, 1}, {200, 1}, {250, 2}, {300, 1}, {400, 1}, {500, 1}, {500, 2}}));
}

TEST_F(TimerTest, NothingFiresBeforeItsTimeOrAfterKillTimer) {
  watch();
  SetTimer(w, 1, 100, nullptr);
  Clock::advance(99);
  qv::os::pumpMessages();
  EXPECT_TRUE(fired().empty());
  Clock::advance(1);
  qv::os::pumpMessages();
  EXPECT_EQ(fired().size(), 1u);
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  qv::os::runFor(1000);
  EXPECT_EQ(fired().size(), 1u);
}

TEST_F(TimerTest, AFarJumpGivesOneMessageAndANewPeriodFromThen) {
  watch();
  SetTimer(w, 1, 100, nullptr);
  Clock::advance(1050);
  EXPECT_EQ(qv::os::pumpMessages(), 1);
  qv::os::runFor(100);
  EXPECT_EQ(fired(), (Fired{{1050, 1}, {1150, 1}}));
}

TEST_F(TimerTest, SettingTheSameIdAgainReplacesTheTimer) {
  watch();
  SetTimer(w, 5, 100, nullptr);
  Clock::advance(80);
  SetTimer(w, 5, 300, nullptr);  // restarts with the new period
  qv::os::runFor(400);
  EXPECT_EQ(fired(), (Fired{{380, 5}}));
}

TEST_F(TimerTest, ThreadTimersGetFreshIdsAndCallTheirProc) {
  static std::vector<UINT_PTR> calls;
  calls.clear();
  TIMERPROC proc = [](HWND h, UINT m, UINT_PTR id, DWORD) {
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(m, static_cast<UINT>(WM_TIMER));
    calls.push_back(id);
  };
  UINT_PTR a = SetTimer(nullptr, 0, 50, proc);
  UINT_PTR b = SetTimer(nullptr, 0, 50, proc);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(SetTimer(nullptr, a, 70, proc), a);  // an existing thread timer's id is kept
  qv::os::runFor(70);
  EXPECT_EQ(calls, (std::vector<UINT_PTR>{b, a}));
}

TEST_F(TimerTest, TimersDieWithTheirWindowAndShortIntervalsAreRaised) {
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x4242), 1, 10, nullptr), 0u);
  SetTimer(w, 1, 1, nullptr);
  EXPECT_EQ(qv::os::nextTimerDue(), static_cast<std::uint64_t>(USER_TIMER_MINIMUM));
  DestroyWindow(w);
  EXPECT_EQ(qv::os::nextTimerDue(), UINT64_MAX);
}

TEST_F(TimerTest, OnlyOneTimerMessageIsPendingPerTimer) {
  SetTimer(w, 1, 10, nullptr);
  Clock::advance(100);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
