#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "DesktopTest.h"
#include "lookandfeel/lkControls.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/user/User.h"

using qv::desktop::Clock;

namespace {

// The hidden utility windows of the process.
int utilWindowCount() {
  int n = 0;
  for (HWND w = FindWindowEx(nullptr, nullptr, "TPUtilWindow", nullptr); w;
       w = FindWindowEx(nullptr, w, "TPUtilWindow", nullptr))
    ++n;
  return n;
}

class TimerTest : public qvtest::DesktopTest {
 protected:
  // (timer's tag, time) of every tick.
  std::vector<std::tuple<int, std::uint64_t>> ticks;
  TNotifyEvent tick() {
    return [this](TObject* Sender) {
      ticks.emplace_back(static_cast<int>(static_cast<TComponent*>(Sender)->Tag()), Clock::now());
    };
  }
  TlkTimer* timer(TComponent* owner, int tag, UINT interval) {
    auto* t = new TlkTimer(owner);
    t->SetTag(tag);
    t->SetInterval(interval);
    return t;
  }
  using Ticks = std::vector<std::tuple<int, std::uint64_t>>;
  // The timers go before the desktop does.
  void TearDown() override {
    owner.DestroyComponents();
    DesktopTest::TearDown();
  }
  TComponent owner{nullptr};
};

TEST_F(TimerTest, StartsOnlyWithAHandlerAndFiresEveryInterval) {
  TlkTimer* t = timer(&owner, 1, 250);
  EXPECT_TRUE(t->Enabled());
  qv::os::runFor(500);
  EXPECT_FALSE(t->Running());
  EXPECT_EQ(qv::os::nextTimerDue(), UINT64_MAX);  // no handler: no platform timer
  EXPECT_EQ(utilWindowCount(), 0);

  t->SetOnTimer(tick());  // at 500: starts at once with the current interval
  EXPECT_TRUE(t->Running());
  qv::os::runFor(1000);
  EXPECT_EQ(ticks, (Ticks{{1, 750}, {1, 1000}, {1, 1250}, {1, 1500}}));
  EXPECT_EQ(TlkTimer(nullptr).Interval(), 1000u);
}

TEST_F(TimerTest, PropertyWritesRestartOnlyWhenTheyChangeSomething) {
  TlkTimer* t = timer(&owner, 1, 100);
  t->SetOnTimer(tick());  // at 0
  qv::os::runFor(150);    // 100
  t->SetInterval(0);      // ignored: no restart, the interval stays
  t->SetEnabled(true);    // unchanged: no restart
  t->SetInterval(100);    // unchanged
  EXPECT_EQ(t->Interval(), 100u);
  qv::os::runFor(100);  // 200
  TNotifyEvent same = tick();
  t->SetOnTimer(same);  // at 250: restarts even so
  qv::os::runFor(100);  // 350
  t->SetInterval(300);  // at 350: the next tick a full interval later
  qv::os::runFor(400);  // 750
  t->SetEnabled(false);
  EXPECT_FALSE(t->Running());
  qv::os::runFor(1000);
  t->SetEnabled(true);  // at 1750
  qv::os::runFor(300);  // 2050
  t->SetOnTimer(nullptr);
  EXPECT_FALSE(t->Running());
  qv::os::runFor(1000);
  EXPECT_EQ(ticks, (Ticks{{1, 100}, {1, 200}, {1, 350}, {1, 650}, {1, 2050}}));
}

TEST_F(TimerTest, TimersShareOneHiddenWindow) {
  timer(&owner, 1, 100)->SetOnTimer(tick());
  timer(&owner, 2, 150)->SetOnTimer(tick());
  TlkTimer* third = timer(&owner, 3, 250);
  third->SetOnTimer(tick());
  EXPECT_EQ(utilWindowCount(), 1);
  qv::os::runFor(300);
  EXPECT_EQ(ticks, (Ticks{{1, 100}, {2, 150}, {1, 200}, {3, 250}, {1, 300}, {2, 300}}));
  delete third;
  EXPECT_EQ(utilWindowCount(), 1);  // the window stays for the process
}

TEST_F(TimerTest, AHandlerMayFreeDisableOrRetimeItsOwnTimer) {
  TlkTimer* freed = timer(&owner, 1, 100);
  freed->SetOnTimer([&](TObject* Sender) {
    ticks.emplace_back(1, Clock::now());
    delete Sender;
  });
  TlkTimer* once = timer(&owner, 2, 100);
  once->SetOnTimer([&](TObject* Sender) {
    ticks.emplace_back(2, Clock::now());
    static_cast<TlkTimer*>(Sender)->SetEnabled(false);
  });
  TlkTimer* slower = timer(&owner, 3, 100);
  slower->SetOnTimer([&](TObject* Sender) {
    ticks.emplace_back(3, Clock::now());
    static_cast<TlkTimer*>(Sender)->SetInterval(200);
  });
  qv::os::runFor(600);
  EXPECT_EQ(ticks, (Ticks{{1, 100}, {2, 100}, {3, 100}, {3, 300}, {3, 500}}));
  EXPECT_EQ(owner.ComponentCount(), 2);
  EXPECT_FALSE(once->Running());
}

TEST_F(TimerTest, TimerMessagesOfStoppedOrFreedTimersAreDropped) {
  TlkTimer* gone = timer(nullptr, 1, 100);
  gone->SetOnTimer(tick());
  TlkTimer* stopped = timer(&owner, 2, 100);
  stopped->SetOnTimer(tick());
  stopped->SetEnabled(false);
  HWND window = FindWindowEx(nullptr, nullptr, "TPUtilWindow", nullptr);
  ASSERT_NE(window, nullptr);
  const auto goneId = reinterpret_cast<WPARAM>(gone);
  delete gone;
  SendMessage(window, WM_TIMER, goneId, 0);
  PostMessage(window, WM_TIMER, reinterpret_cast<WPARAM>(stopped), 0);
  qv::os::pumpMessages();
  EXPECT_TRUE(ticks.empty());
  // Other messages get the default answer.
  EXPECT_EQ(SendMessage(window, WM_USER + 7, 0, 0), 0);
}

// A form resource binds OnTimer by name, without the setter; the timer
// starts once the form is loaded.
class TTimerForm : public TComponent {
  QV_CLASS(TTimerForm, TComponent)
  using TComponent::TComponent;
  void Tick(TObject*) { ticks.push_back(Clock::now()); }
  std::vector<std::uint64_t> ticks;
  QV_PUBLISHED(TTimerForm) { P.Method("Tick", &TTimerForm::Tick); }
};
QV_DEFINE_PUBLISHED(TTimerForm)

TEST_F(TimerTest, AFormResourceStartsTheTimerWithItsValues) {
  RegisterClasses({TTimerForm::StaticClass(), TlkTimer::StaticClass()});
  TTimerForm form(nullptr);
  qv::classlib::readComponentText(R"(object TimerForm: TTimerForm
  object Fast: TlkTimer
    Interval = 300
    OnTimer = Tick
  end
  object Idle: TlkTimer
    Enabled = False
    OnTimer = Tick
  end
end
)",
                                  &form);
  qv::os::runFor(700);
  EXPECT_EQ(form.ticks, (std::vector<std::uint64_t>{300, 600}));
}

// ---------------------------------------------------------------------------

class UnitTest : public qvtest::DesktopTest {};

TEST_F(UnitTest, StartUpEntersTheCursorsOnceAndShutDownEndsTheTimers) {
  using qv::classlib::InitializeUnit;
  const HCURSOR standard = Screen->Cursors(crDefault);
  qv::classlib::InitializeUnit(lkControlsUnit);
  EXPECT_TRUE(qv::classlib::UnitInitialized(lkClassesUnit));
  for (int id = 2100; id <= 2114; ++id) {
    EXPECT_NE(Screen->Cursors(id), nullptr) << id;
    EXPECT_NE(Screen->Cursors(id), standard) << id;
  }
  EXPECT_NE(Screen->Cursors(2100), Screen->Cursors(2114));
  EXPECT_EQ(Screen->Cursors(-2099), LoadCursor(nullptr, IDC_HAND));

  // Once: a second start-up does not enter them again.
  Screen->SetCursors(2100, nullptr);
  InitializeUnit(lkControlsUnit);
  EXPECT_EQ(Screen->Cursors(2100), standard);

  std::vector<std::uint64_t> ticks;
  TlkTimer running(nullptr);
  running.SetInterval(100);
  running.SetOnTimer([&](TObject*) { ticks.push_back(Clock::now()); });
  qv::os::runFor(100);
  qv::classlib::FinalizeUnits();
  EXPECT_FALSE(qv::classlib::UnitInitialized(lkControlsUnit));
  EXPECT_EQ(utilWindowCount(), 0);
  qv::os::runFor(500);
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{100}));

  // Nothing is made again after the shut-down: a new timer stays stopped.
  TlkTimer late(nullptr);
  late.SetOnTimer([&](TObject*) { ticks.push_back(Clock::now()); });
  EXPECT_FALSE(late.Running());
  EXPECT_EQ(utilWindowCount(), 0);
  EXPECT_EQ(qv::os::nextTimerDue(), UINT64_MAX);
}

// ---------------------------------------------------------------------------

class TRecordingWindow : public TlkMessageWindow {
  QV_CLASS(TRecordingWindow, TlkMessageWindow)
  std::vector<UINT> heard;

 protected:
  void WndProc(TMessage& Message) override {
    heard.push_back(Message.Msg);
    if (Message.Msg == WM_USER)
      Message.Result = 7;
    else
      TlkMessageWindow::WndProc(Message);
  }
};

TEST_F(UnitTest, AMessageWindowHandsItsMessagesToWndProcAndHearsBroadcasts) {
  auto* window = new TRecordingWindow();
  HWND handle = window->Handle();
  ASSERT_TRUE(IsWindow(handle));
  EXPECT_FALSE(IsWindowVisible(handle));
  EXPECT_EQ(SendMessage(handle, WM_USER, 0, 0), 7);
  qv::os::broadcastThemeChanged();
  qv::os::pumpMessages();
  EXPECT_EQ(window->heard, (std::vector<UINT>{WM_USER, WM_THEMECHANGED}));
  delete window;
  EXPECT_FALSE(IsWindow(handle));
}

// ---------------------------------------------------------------------------

class TChild : public TlkControlChildComponent {
  QV_CLASS(TChild, TlkControlChildComponent)
  using TlkControlChildComponent::TlkControlChildComponent;
};

TEST_F(UnitTest, AControlChildComponentBelongsToItsControl) {
  TComponent form(nullptr);
  auto* control = new TControl(&form);
  auto* owned = new TChild(control, true);
  EXPECT_EQ(owned->Owner(), &form);
  EXPECT_EQ(owned->Control(), control);
  EXPECT_TRUE(owned->HasParent());
  EXPECT_EQ(owned->GetParentComponent(), control);
  EXPECT_FALSE(owned->IsDestroying());

  TChild loose(control, false);
  EXPECT_EQ(loose.Owner(), nullptr);
  delete control;  // both forget it
  EXPECT_EQ(loose.Control(), nullptr);
  EXPECT_FALSE(loose.HasParent());
  EXPECT_EQ(owned->Control(), nullptr);

  TChild plain(&form);
  EXPECT_EQ(plain.Control(), nullptr);
  EXPECT_EQ(plain.Owner(), &form);
}

TEST(ShiftStateToMouseKeys, MapsShiftCtrlAndButtonsAndDropsAltAndDouble) {
  const std::tuple<TShiftState, WORD> cases[] = {
      {TShiftState{ssShift, ssLeft}, 5},
      {TShiftState{ssAlt}, 0},
      {TShiftState{ssCtrl}, MK_CONTROL},
      {TShiftState{ssRight, ssMiddle}, MK_RBUTTON | MK_MBUTTON},
      {TShiftState{ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble}, 31},
      {TShiftState{}, 0},
  };
  for (auto [shift, keys] : cases) EXPECT_EQ(ShiftStateToMouseKeys(shift), keys) << shift.Bits();
}

}  // namespace
