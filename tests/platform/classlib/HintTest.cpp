// The application's hints on the headless desktop: the pause before a hint
// shows, what hides it, what a control and OnShowHint may change, and the
// look of the hint window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BareForm.h"
#include "DesktopTest.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/user/User.h"

using qv::desktop::Recorder;

namespace {

class HintTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    form.reset(newBareForm(300, 200));
    go = button("Go", 10, "Run|Runs the thing");
    stop = button("Stop", 100, "Halt|Stops it");
    label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(10, 150, 80, 20);
    label->SetHint("Quiet");
    form->Show();
  }
  void TearDown() override {
    form.reset();
    qvtest::DesktopTest::TearDown();
  }
  TButton* button(const char* name, int left, const char* hint) {
    auto* b = new TButton(form.get());
    b->SetName(name);
    b->SetParent(form.get());
    b->SetBounds(left, 10, 80, 25);
    b->SetHint(hint);
    b->SetShowHint(true);
    return b;
  }
  static void move(int x, int y) {
    qv::os::injectMouse(WM_MOUSEMOVE, {x, y});
    qv::os::pumpMessages();
  }
  static std::vector<std::string> hints() {
    std::vector<std::string> out;
    for (const auto& e : Recorder::eventsOf("hint")) out.push_back(e.fields.at(0));
    return out;
  }
  static bool showing() { return Application->HintWindow() && Application->HintWindow()->IsHintShowing(); }
  std::unique_ptr<TForm> form;
  TButton* go = nullptr;
  TButton* stop = nullptr;
  TLabel* label = nullptr;
};

// The short hint after HintPause, below the pointer; gone after
// HintHidePause and not back while the pointer stays on the control; the
// next control's hint after only HintShortPause while one is up.
TEST_F(HintTest, ShowsTheShortHintAfterThePauseAndHidesItAfterTheHidePause) {
  move(50, 20);
  EXPECT_EQ(Application->Hint(), "Runs the thing");
  qv::os::runFor(499);
  EXPECT_TRUE(hints().empty());
  qv::os::runFor(1);
  auto events = Recorder::eventsOf("hint");
  ASSERT_EQ(events.size(), 1u);
  int below = 20 + GetSystemMetrics(SM_CYCURSOR) * 5 / 8;
  EXPECT_EQ(events[0].fields, (std::vector<std::string>{"Run", "50", std::to_string(below)}));
  EXPECT_TRUE(showing());
  HWND h = Application->HintWindow()->Handle();
  EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetActiveWindow(), h);

  qv::os::runFor(2499);
  EXPECT_TRUE(showing());
  qv::os::runFor(1);
  EXPECT_FALSE(showing());
  move(55, 22);
  qv::os::runFor(1000);
  EXPECT_EQ(hints(), std::vector<std::string>{"Run"});

  // Leaving cancels; a fresh hint, then the neighbour's after the short pause.
  move(250, 150);
  move(50, 20);
  qv::os::runFor(500);
  move(140, 20);
  qv::os::runFor(50);
  EXPECT_EQ(hints(), (std::vector<std::string>{"Run", "Run", "Halt"}));
}

// Whatever the person does next takes the hint away at once.
TEST_F(HintTest, LeaveClickAndKeyHideTheHint) {
  go->SetFocus();
  struct Case {
    const char* what;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"leave", [] { move(250, 150); }},
      {"click", [] {
         qv::os::injectClick({50, 20});
         qv::os::pumpMessages();
       }},
      {"key", [] {
         qv::os::injectKey(VK_SHIFT, true);
         qv::os::injectKey(VK_SHIFT, false);
         qv::os::pumpMessages();
       }},
  };
  for (const Case& c : cases) {
    move(250, 150);
    move(50, 20);
    qv::os::runFor(500);
    ASSERT_TRUE(showing()) << c.what;
    c.act();
    EXPECT_FALSE(showing()) << c.what;
    EXPECT_EQ(Application->hintControl(), nullptr) << c.what;
  }
}

// ShowHint decides (the control's own, or its parent's through
// ParentShowHint, or the application's); CM_HINTSHOW and OnShowHint may
// change the text or refuse.
TEST_F(HintTest, ShowHintAndOnShowHintDecideWhatShows) {
  move(50, 160);  // the label: neither it nor the form shows hints
  qv::os::runFor(1000);
  EXPECT_TRUE(hints().empty());

  form->SetShowHint(true);
  EXPECT_TRUE(label->ShowHint());
  move(250, 150);
  move(50, 160);
  qv::os::runFor(500);
  EXPECT_EQ(hints(), std::vector<std::string>{"Quiet"});

  std::vector<std::string> seen;
  Application->OnShowHint = [&](std::string& text, bool& canShow, THintInfo& info) {
    seen.push_back(text + " " + info.HintControl->Name());
    if (text == "Halt") canShow = false;
    text = "Press to " + text;
  };
  for (int x : {50, 140}) {
    move(250, 150);
    move(x, 20);
    qv::os::runFor(500);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Run Go", "Halt Stop"}));
  EXPECT_EQ(hints(), (std::vector<std::string>{"Quiet", "Press to Run"}));

  Application->OnShowHint = nullptr;
  Application->SetShowHint(false);
  move(250, 150);
  move(50, 20);
  qv::os::runFor(1000);
  EXPECT_EQ(hints().size(), 2u);
}

// The classic look: info background, black border, info-coloured text.
TEST_F(HintTest, HintWindowPaintsTheClassicLook) {
  THintWindow w(nullptr);
  TRect r = w.CalcHintRect(300, "Wide hint text", nullptr);
  EXPECT_GT(r.right, 20);
  EXPECT_GT(r.bottom, 8);
  OffsetRect(&r, 20, 30);
  w.ActivateHint(r, "Wide hint text");
  w.Update();
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(GetPixel(dc, r.left, r.top), ColorToRGB(clBlack));
  EXPECT_EQ(GetPixel(dc, r.right - 1, r.bottom - 1), ColorToRGB(clBlack));
  EXPECT_EQ(GetPixel(dc, r.left + 1, r.top + 1), ColorToRGB(clInfoBk));
  bool text = false;
  for (int x = r.left + 3; x < r.right - 3 && !text; ++x)
    for (int y = r.top + 2; y < r.bottom - 2 && !text; ++y) text = GetPixel(dc, x, y) == ColorToRGB(clInfoText);
  ReleaseDC(nullptr, dc);
  EXPECT_TRUE(text);
  w.ReleaseHandle();
  EXPECT_FALSE(w.IsHintShowing());
}

}  // namespace
