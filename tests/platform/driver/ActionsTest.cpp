// Actions and action links: values reach a client only while it still shows
// the action's value, the list handles Execute and Update first, groups,
// AutoCheck, the idle update and links outliving their action.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/ActnList.h"
#include "platform/classlib/StdCtrls.h"

namespace {

// A client that records what its link pushes, for the properties TControl
// does not have (Checked, ImageIndex).
class TRecordingLink : public TActionLink {
  QV_CLASS(TRecordingLink, TActionLink)
  explicit TRecordingLink(TObject* AClient) : TActionLink(AClient) {}
  bool checked = false;
  int imageIndex = -1;
  bool IsCheckedLinked() override { return TActionLink::IsCheckedLinked() && checked == custom()->Checked(); }
  void SetChecked(bool Value) override {
    if (IsCheckedLinked()) checked = Value;
  }
  void SetImageIndex(int Value) override {
    if (IsImageIndexLinked()) imageIndex = Value;
  }
};

class ActionsTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    owner = new TComponent(nullptr);
    list = new TActionList(owner);
    action = new TAction(owner);
    action->SetActionList(list);
    action->SetCaption("&Open");
    action->SetHint("Open|Opens a project");
  }
  void TearDown() override {
    delete owner;
    qvtest::DesktopTest::TearDown();
  }
  TComponent* owner = nullptr;
  TActionList* list = nullptr;
  TAction* action = nullptr;
};

TEST_F(ActionsTest, ALinkedPropertyFollowsTheActionUntilTheClientDiffers) {
  auto* button = new TButton(owner);
  TControlActionLink link(button);
  link.SetAction(action);
  EXPECT_FALSE(link.IsCaptionLinked());  // the button shows its own caption
  button->SetCaption("&Open");
  EXPECT_TRUE(link.IsCaptionLinked());
  action->SetCaption("&Open...");
  EXPECT_EQ(button->Caption(), "&Open...");

  button->SetCaption("Mine");
  EXPECT_FALSE(link.IsCaptionLinked());
  action->SetCaption("Other");
  EXPECT_EQ(button->Caption(), "Mine");

  EXPECT_TRUE(link.IsEnabledLinked());
  action->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  button->SetHint("Open|Opens a project");
  action->SetHint("Save");
  EXPECT_EQ(button->Hint(), "Save");
  action->SetVisible(false);
  EXPECT_FALSE(button->Visible());

  // Only a custom action drives values.
  auto* plain = new TBasicAction(owner);
  link.SetAction(plain);
  EXPECT_FALSE(link.IsCaptionLinked());
  EXPECT_FALSE(link.IsEnabledLinked());
  EXPECT_EQ(action->Clients().size(), 0u);

  TRecordingLink other(nullptr);
  other.SetAction(action);
  action->SetChecked(true);
  action->SetImageIndex(3);
  EXPECT_TRUE(other.checked);
  EXPECT_EQ(other.imageIndex, 3);
}

TEST_F(ActionsTest, TheListHandlesFirstAndDisabledActionsDoNothing) {
  std::vector<std::string> log;
  action->OnExecute = [&](TObject*) { log.push_back("action execute"); };
  action->OnUpdate = [&](TObject*) { log.push_back("action update"); };
  bool listHandles = true;
  list->OnExecute = [&](TBasicAction* a, bool& Handled) {
    log.push_back(std::string("list execute ") + (a == action ? "open" : "?"));
    Handled = listHandles;
  };
  EXPECT_TRUE(action->Execute());
  listHandles = false;
  EXPECT_TRUE(action->Execute());
  EXPECT_EQ(log, (std::vector<std::string>{"action update", "list execute open", "action update",
                                           "list execute open", "action execute"}));

  log.clear();
  action->OnUpdate = [&](TObject*) { action->SetEnabled(false); };
  EXPECT_FALSE(action->Execute());
  EXPECT_TRUE(log.empty());

  // The component that executes it is known during the call only.
  action->OnUpdate = nullptr;
  action->SetEnabled(true);
  auto* button = new TButton(owner);
  TComponent* seen = nullptr;
  action->OnExecute = [&](TObject*) { seen = action->ActionComponent(); };
  TControlActionLink link(button);
  link.SetAction(action);
  EXPECT_TRUE(link.Execute(button));
  EXPECT_EQ(seen, button);
  EXPECT_EQ(action->ActionComponent(), nullptr);
}

TEST_F(ActionsTest, GroupsAndAutoCheck) {
  auto* second = new TAction(owner);
  second->SetActionList(list);
  auto* outside = new TAction(owner);  // same group number, no list
  for (TAction* a : {action, second, outside}) a->SetGroupIndex(1);
  outside->SetChecked(true);
  action->SetChecked(true);
  second->SetChecked(true);
  EXPECT_FALSE(action->Checked());
  EXPECT_TRUE(second->Checked());
  EXPECT_TRUE(outside->Checked());

  auto* toggle = new TAction(owner);
  toggle->SetAutoCheck(true);
  toggle->Execute();
  EXPECT_TRUE(toggle->Checked());
  toggle->Execute();
  EXPECT_FALSE(toggle->Checked());
  action->SetAutoCheck(true);
  action->Execute();  // checks it, unchecking the group
  EXPECT_TRUE(action->Checked());
  EXPECT_FALSE(second->Checked());
  action->Execute();  // a checked radio item stays checked
  EXPECT_TRUE(action->Checked());
}

TEST_F(ActionsTest, IdleUpdateReachesActionsOfShowingClientsOnly) {
  int updates = 0;
  action->OnUpdate = [&](TObject*) { ++updates; };
  TRecordingLink bare(nullptr);
  bare.SetAction(action);
  auto* hidden = new TButton(owner);
  hidden->SetVisible(false);
  TControlActionLink hiddenLink(hidden);
  hiddenLink.SetAction(action);
  EXPECT_EQ(qv::classlib::updateActionsIdle(), 1);
  EXPECT_EQ(updates, 1);
}

TEST_F(ActionsTest, LinksOutliveTheirActionAndTheListItsActions) {
  TRecordingLink link(nullptr);
  link.SetAction(action);
  delete action;
  EXPECT_EQ(link.Action(), nullptr);
  EXPECT_FALSE(link.Update());
  EXPECT_FALSE(link.Execute());
  EXPECT_EQ(list->ActionCount(), 0);
  EXPECT_THROW(list->Actions(0), EListError);

  auto* kept = new TAction(owner);
  kept->SetActionList(list);
  EXPECT_EQ(kept->Index(), 0);
  delete list;
  EXPECT_EQ(kept->ActionList(), nullptr);
  EXPECT_EQ(kept->Index(), -1);
}

}  // namespace
