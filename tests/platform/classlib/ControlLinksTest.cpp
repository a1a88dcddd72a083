// What a control takes from components it links to: its pop-up menu on a
// right click, the screen's cursor over its own, and an action's caption,
// state and execution.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BareForm.h"
#include "DesktopTest.h"
#include "platform/classlib/ActnList.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Menus.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/user/User.h"

using qv::desktop::Recorder;

namespace {

class ControlLinksTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    form.reset(newBareForm(300, 200));
    button = new TButton(form.get());
    button->SetName("Go");
    button->SetParent(form.get());
    button->SetBounds(10, 10, 80, 25);
    label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(10, 150, 80, 20);
    menu = new TPopupMenu(form.get());
    for (const char* caption : {"Copy", "Paste"}) {
      auto* i = new TMenuItem(form.get());
      i->SetCaption(caption);
      i->OnClick = [this](TObject* s) {
        auto* item = static_cast<TMenuItem*>(s);
        clicks.push_back(item->Caption() + " for " + menu->PopupComponent()->ClassName());
      };
      menu->Items()->Add(i);
    }
    form->Show();
  }
  void TearDown() override {
    form.reset();
    qvtest::DesktopTest::TearDown();
  }
  static void rightClick(int x, int y) {
    qv::os::injectClick({x, y}, true);
    qv::os::pumpMessages();
  }
  std::unique_ptr<TForm> form;
  TButton* button = nullptr;
  TLabel* label = nullptr;
  TPopupMenu* menu = nullptr;
  std::vector<std::string> clicks;
};

// A right click on a windowed or a graphic control opens its menu at the
// pointer; the scripted choice fires the item. OnContextPopup comes first
// and may take it; without AutoPopup or a menu nothing opens.
TEST_F(ControlLinksTest, RightClickOpensTheControlsPopupMenu) {
  button->SetPopupMenu(menu);
  label->SetPopupMenu(menu);
  Recorder::pushAnswer("popupmenu", "Copy");
  rightClick(50, 20);
  Recorder::pushAnswer("popupmenu", "Paste");
  rightClick(50, 160);
  auto events = Recorder::eventsOf("popupmenu");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].fields[0], "50");
  EXPECT_EQ(events[0].fields[1], "20");
  EXPECT_EQ(events[1].fields[0], "50");
  EXPECT_EQ(clicks, (std::vector<std::string>{"Copy for TButton", "Paste for TLabel"}));

  std::vector<std::string> asked;
  bool take = true;
  button->OnContextPopup = [&](TObject*, TPoint pos, bool& handled) {
    asked.push_back(std::to_string(pos.x) + "," + std::to_string(pos.y));
    handled = take;
  };
  rightClick(50, 20);
  take = false;
  menu->SetAutoPopup(false);
  rightClick(50, 20);
  menu->SetAutoPopup(true);
  label->SetPopupMenu(nullptr);
  rightClick(50, 160);
  EXPECT_EQ(asked, (std::vector<std::string>{"40,10", "40,10"}));
  EXPECT_EQ(Recorder::eventsOf("popupmenu").size(), 2u);

  // The menu's freeing unlinks it; the property is published.
  EXPECT_TRUE(IsPublishedProp(button, "PopupMenu"));
  delete menu;
  EXPECT_EQ(button->PopupMenu(), nullptr);
}

// A screen cursor other than crDefault wins over the control's own.
TEST_F(ControlLinksTest, ScreenCursorWinsInSetCursor) {
  button->SetCursor(crHandPoint);
  for (TCursor screen : {crDefault, crHourGlass}) {
    Screen->SetCursor(screen);
    qv::os::injectMouse(WM_MOUSEMOVE, {50, 20});
    qv::os::pumpMessages();
    EXPECT_EQ(GetCursor(), qv::classlib::cursorHandle(screen == crDefault ? crHandPoint : crHourGlass)) << screen;
  }
  Screen->SetCursor(crDefault);
}

// The button follows the action's caption and Enabled, a click executes it
// (unless the button has an OnClick of its own), and the application's idle
// handling calls OnUpdate through InitiateAction.
TEST_F(ControlLinksTest, LinkedActionDrivesTheButton) {
  auto* list = new TActionList(form.get());
  auto* action = new TAction(form.get());
  action->SetActionList(list);
  action->SetCaption("&Start");
  int executed = 0, updated = 0;
  action->OnExecute = [&](TObject*) { ++executed; };
  action->OnUpdate = [&](TObject*) { ++updated; };
  button->SetAction(action);
  EXPECT_EQ(button->Action(), action);
  EXPECT_EQ(button->Caption(), "&Start");
  action->SetCaption("&Go on");
  action->SetEnabled(false);
  EXPECT_EQ(button->Caption(), "&Go on");
  EXPECT_FALSE(button->Enabled());
  action->SetEnabled(true);

  qv::os::injectClick({50, 20});
  qv::os::pumpMessages();
  EXPECT_EQ(executed, 1);
  std::vector<std::string> own;
  button->OnClick = [&](TObject*) { own.push_back("own"); };
  qv::os::runFor(1000);  // not a double click
  qv::os::injectClick({50, 20});
  qv::os::pumpMessages();
  EXPECT_EQ(executed, 1);
  EXPECT_EQ(own.size(), 1u);

  updated = 0;
  button->InitiateAction();
  EXPECT_EQ(updated, 1);
  bool idleRan = false;
  Application->OnIdle = [&](TObject*, bool& done) {
    idleRan = true;
    EXPECT_GE(updated, 2);  // the actions update before OnIdle
    done = false;
    Application->Terminate();
  };
  PostMessage(nullptr, WM_NULL, 0, 0);
  Application->HandleMessage();
  Application->HandleMessage();
  EXPECT_TRUE(idleRan);

  // Freeing the action unlinks it; a caption of the button's own stays.
  delete action;
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(button->Caption(), "&Go on");
}

}  // namespace
