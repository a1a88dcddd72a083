#include "DesktopTest.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/user/User.h"

using qv::desktop::Clock;

namespace {

class TTimerTest : public qvtest::DesktopTest {
 protected:
  std::vector<std::uint64_t> ticks;
  TNotifyEvent counter() {
    return [this](TObject*) { ticks.push_back(Clock::now()); };
  }
};

TEST_F(TTimerTest, FiresEveryIntervalOnTheVirtualClock) {
  TComponent owner(nullptr);
  auto* t = new TTimer(&owner);
  EXPECT_TRUE(t->Enabled());
  EXPECT_EQ(t->Interval(), 1000u);
  t->SetInterval(250);
  t->SetOnTimer(counter());
  qv::os::runFor(1000);
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{250, 500, 750, 1000}));
}

TEST_F(TTimerTest, SettingIntervalOrEnabledRearmsAndZeroOrNoHandlerStops) {
  TTimer t(nullptr);
  t.SetInterval(100);
  qv::os::runFor(300);
  EXPECT_EQ(qv::os::nextTimerDue(), UINT64_MAX);  // no OnTimer: no timer at all
  t.SetOnTimer(counter());  // at 300
  qv::os::runFor(150);      // fires at 400
  t.SetInterval(300);       // at 450: counts from now
  qv::os::runFor(350);      // fires at 750
  t.SetEnabled(false);      // at 800
  qv::os::runFor(1000);
  t.SetEnabled(true);       // at 1800
  qv::os::runFor(300);      // fires at 2100
  t.SetInterval(0);
  qv::os::runFor(1000);
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{400, 750, 2100}));
  EXPECT_EQ(qv::os::nextTimerDue(), UINT64_MAX);
}

TEST_F(TTimerTest, ExceptionsInOnTimerGoToTheApplication) {
  std::vector<std::string> errors;
  Application->OnException = [&](TObject* sender, Exception& e) {
    EXPECT_NE(sender, nullptr);
    errors.push_back(e.Message());
  };
  TTimer t(nullptr);
  t.SetInterval(50);
  t.SetOnTimer([](TObject*) { throw EConvertError("bad"); });
  qv::os::runFor(100);
  EXPECT_EQ(errors, (std::vector<std::string>{"bad", "bad"}));
}

TEST_F(TTimerTest, AFreedTimerStopsAndItsWindowGoes) {
  auto* t = new TTimer(nullptr);
  t->SetInterval(10);
  t->SetOnTimer(counter());
  delete t;
  qv::os::runFor(100);
  EXPECT_TRUE(ticks.empty());
  EXPECT_EQ(FindWindowEx(HWND_MESSAGE, nullptr, "TTimerWindow", nullptr), nullptr);
}

TEST_F(TTimerTest, TimersDriveApplicationRun) {
  TTimer t(nullptr);
  t.SetInterval(500);
  t.SetOnTimer([&](TObject*) {
    ticks.push_back(Clock::now());
    if (ticks.size() == 3) Application->Terminate();
  });
  Application->Run();
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{500, 1000, 1500}));
}

}  // namespace

namespace {

// A timer read from a form resource: its handler bound by name and armed
// once the form is loaded; a disabled one stays quiet until enabled.
class TTimerForm : public TComponent {
  QV_CLASS(TTimerForm, TComponent)
  using TComponent::TComponent;
  void Tick(TObject*) { ticks.push_back(Clock::now()); }
  std::vector<std::uint64_t> ticks;
  QV_PUBLISHED(TTimerForm) { P.Method("Tick", &TTimerForm::Tick); }
};
QV_DEFINE_PUBLISHED(TTimerForm)

TEST_F(TTimerTest, AFormResourceSetsIntervalEnabledAndOnTimer) {
  RegisterClasses({TTimerForm::StaticClass(), TTimer::StaticClass()});
  TTimerForm form(nullptr);
  qv::classlib::readComponentText(R"(object TimerForm: TTimerForm
  object Fast: TTimer
    Interval = 100
    OnTimer = Tick
  end
  object Idle: TTimer
    Enabled = False
    Interval = 1
    OnTimer = Tick
  end
end
)",
                                  &form);
  qv::os::runFor(250);
  EXPECT_EQ(form.ticks, (std::vector<std::uint64_t>{100, 200}));
  auto* idle = dynamic_cast<TTimer*>(form.FindComponent("Idle"));
  ASSERT_NE(idle, nullptr);
  EXPECT_FALSE(idle->Enabled());
  EXPECT_EQ(idle->Interval(), 1u);
}

}  // namespace
