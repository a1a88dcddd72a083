#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "NavBarTestSupport.h"
#include "platform/classlib/ActnList.h"

using namespace navbartest;

namespace {

class CollnsTest : public NavBarTest {
 protected:
  TuiNavBarGroups& groups() { return *bar->NavBarGroups(); }
  TuiNavBarItems& items() { return *bar->NavBarItems(); }
  // A group with n links, one new item each.
  TuiNavBarGroup* groupWithLinks(int n) {
    TuiNavBarGroup* g = groups().Add();
    for (int i = 0; i < n; ++i) g->AddLink(items().Add());
    return g;
  }
};

TEST_F(CollnsTest, AddNamesItemsAfterTheirClassAndOrdersThemWithClampedIndexes) {
  TuiNavBarGroup* a = groups().Add();
  TuiNavBarGroup* b = groups().Add();
  TuiNavBarItem* item = items().Add();
  EXPECT_EQ(a->Name(), "uiNavBarGroup1");
  EXPECT_EQ(b->Name(), "uiNavBarGroup2");
  EXPECT_EQ(item->Name(), "uiNavBarItem1");
  EXPECT_EQ(a->Owner(), form.get());
  EXPECT_EQ(groups().FindItemByName("uiNavBarGroup2"), b);
  EXPECT_EQ(groups().FindItemByName("UINAVBARGROUP2"), nullptr);

  bar->heard.clear();
  a->SetIndex(99);  // clamped to the last place
  EXPECT_EQ(b->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  a->SetIndex(-4);
  EXPECT_EQ(a->Index(), 0);
  EXPECT_EQ(levels(), (std::vector<TuiNavBarChangeType>{doRecreate, doRecreate}));

  // Outside a collection the index is left alone.
  TuiNavBarGroup loose(form.get());
  loose.SetIndex(3);
  EXPECT_EQ(loose.Index(), -1);

  bar->heard.clear();
  delete a;
  ASSERT_EQ(bar->heard.size(), 1u);
  EXPECT_EQ(bar->heard[0].action, caItemExtracted);
  EXPECT_EQ(groups().Count(), 1);
}

// Each setter's report: which level the control invalidates with, or none
// for an unchanged value.
TEST_F(CollnsTest, SettersReportTheirChangeLevel) {
  TuiNavBarGroup* g = groups().Add();
  TuiNavBarItem* it = items().Add();
  struct Case {
    const char* name;
    std::function<void()> change;
    std::vector<TuiNavBarChangeType> expected;
  };
  const std::vector<Case> cases = {
      {"group caption", [&] { g->SetCaption("Project"); }, {doRecalc}},
      {"same caption", [&] { g->SetCaption("Project"); }, {}},
      {"group hint", [&] { g->SetHint("tip"); }, {}},
      {"large image", [&] { g->SetLargeImageIndex(2); }, {doRecalc}},
      {"small image", [&] { g->SetSmallImageIndex(3); }, {doRecalc}},
      {"links small images", [&] { g->SetLinksUseSmallImages(false); }, {doRecalc}},
      {"icon view", [&] { g->SetShowAsIconView(true); }, {doRecalc}},
      {"show caption", [&] { g->SetShowCaption(false); }, {doRecalc}},
      {"expand button", [&] { g->SetShowExpandButton(false); }, {doRecalc}},
      {"small images", [&] { g->SetUseSmallImages(false); }, {doRecalc}},
      {"expandable", [&] { g->SetExpandable(false); }, {}},
      {"collapse", [&] { g->SetExpanded(false); }, {doRecreate}},
      {"same expanded", [&] { g->SetExpanded(false); }, {}},
      {"hide group", [&] { g->SetVisible(false); }, {doRecreate}},
      {"item enabled", [&] { it->SetEnabled(false); }, {doRecalc}},
      {"item visible", [&] { it->SetVisible(false); }, {doRecreate}},
      {"item caption", [&] { it->SetCaption("Start"); }, {doRecalc}},
      {"link added", [&] { g->AddLink(it); }, {doRecreate}},
  };
  for (const Case& c : cases) {
    bar->heard.clear();
    c.change();
    EXPECT_EQ(levels(), c.expected) << c.name;
  }
}

TEST_F(CollnsTest, ExpandingRaisesItsEventsOnlyOutsideLoading) {
  TuiNavBarGroup* g = groups().Add();
  std::vector<std::string> events;
  g->OnExpanded = [&](TObject*) { events.push_back("expanded"); };
  g->OnCollapsed = [&](TObject*) { events.push_back("collapsed"); };
  g->SetExpanded(false);
  g->SetExpanded(true);
  EXPECT_EQ(events, (std::vector<std::string>{"collapsed", "expanded"}));
}

TEST_F(CollnsTest, DeletingAnItemRemovesItsLinksEverywhereAndTheSelection) {
  TuiNavBarItem* shared = items().Add();
  TuiNavBarItem* other = items().Add();
  TuiNavBarGroup* a = groups().Add();
  TuiNavBarGroup* b = groups().Add();
  a->AddLink(other);
  a->AddLink(shared);
  b->AddLink(shared);
  b->AddLink(shared);
  bar->SetEachGroupHasSelectedLink(true);
  a->SetSelectedLinkIndex(1);
  int selectionEvents = 0;
  a->OnSelectedLinkChanged = [&](TObject*) { ++selectionEvents; };
  bar->linkChanges.clear();

  delete shared;

  ASSERT_EQ(a->LinkCount(), 1);
  EXPECT_EQ(a->Links(0)->Item(), other);
  EXPECT_EQ(b->LinkCount(), 0);
  EXPECT_EQ(a->SelectedLinkIndex(), -1);
  EXPECT_EQ(a->SelectedLink(), nullptr);
  EXPECT_EQ(selectionEvents, 1);
  EXPECT_EQ(bar->linkChanges.size(), 3u);  // one per link that went
}

TEST_F(CollnsTest, ALinkTellsTheBarWhenItComesAndGoes) {
  TuiNavBarGroup* g = groups().Add();
  TuiNavBarItemLink* link = g->AddLink(items().Add());
  ASSERT_EQ(bar->linkChanges.size(), 1u);
  EXPECT_EQ(bar->linkChanges[0], link);
  EXPECT_EQ(link->Group(), g);
  g->RemoveLink(0);
  ASSERT_EQ(bar->linkChanges.size(), 2u);
  EXPECT_EQ(bar->linkChanges[1], link);

  // Not while the groups collection is updating.
  groups().BeginChanges();
  g->AddLink(items().Add());
  groups().EndChanges(false);
  EXPECT_EQ(bar->linkChanges.size(), 2u);
}

TEST_F(CollnsTest, SelectedLinkIndexIsClampedAndFollowsTheBarsRules) {
  TuiNavBarGroup* g = groupWithLinks(3);
  g->SetSelectedLinkIndex(7);
  EXPECT_EQ(g->SelectedLinkIndex(), 2);
  EXPECT_TRUE(g->Links(2)->Selected());
  g->SetSelectedLinkIndex(-5);
  EXPECT_EQ(g->SelectedLinkIndex(), -1);
  g->Links(1)->SetSelected(true);
  EXPECT_EQ(g->SelectedLinkIndex(), 1);
  g->Links(1)->SetSelected(false);
  EXPECT_EQ(g->SelectedLinkIndex(), -1);

  bar->SetAllowSelectLinks(false);
  g->SetSelectedLinkIndex(1);
  EXPECT_EQ(g->SelectedLinkIndex(), -1);
}

TEST_F(CollnsTest, OnlyOneGroupKeepsASelectionUnlessEachGroupMayHaveOne) {
  TuiNavBarGroup* a = groupWithLinks(2);
  TuiNavBarGroup* b = groupWithLinks(2);
  a->SetSelectedLinkIndex(0);
  b->SetSelectedLinkIndex(1);
  EXPECT_EQ(a->SelectedLinkIndex(), -1);
  EXPECT_EQ(b->SelectedLinkIndex(), 1);

  bar->SetEachGroupHasSelectedLink(true);
  a->SetSelectedLinkIndex(0);
  EXPECT_EQ(a->SelectedLinkIndex(), 0);
  EXPECT_EQ(b->SelectedLinkIndex(), 1);
}

TEST_F(CollnsTest, TopVisibleLinkIndexStaysWithinTheLinks) {
  TuiNavBarGroup* four = groupWithLinks(4);
  int events = 0;
  four->OnTopVisibleLinkChanged = [&](TObject*) { ++events; };
  four->SetTopVisibleLinkIndex(10);
  EXPECT_EQ(four->TopVisibleLinkIndex(), 3);
  four->SetTopVisibleLinkIndex(3);
  EXPECT_EQ(events, 1);
  // Removing the last link pulls the top back to the links that remain.
  four->RemoveLink(3);
  EXPECT_EQ(four->TopVisibleLinkIndex(), 2);
  EXPECT_EQ(events, 2);

  TuiNavBarGroup* none = groupWithLinks(0);
  none->SetTopVisibleLinkIndex(10);
  EXPECT_EQ(none->TopVisibleLinkIndex(), 0);
}

TEST_F(CollnsTest, HidingAndShowingGroupsMovesTheActiveGroup) {
  TuiNavBarGroup* a = groups().Add();
  TuiNavBarGroup* b = groups().Add();
  ASSERT_EQ(bar->GetActiveGroup(), a);
  a->SetVisible(false);
  EXPECT_EQ(bar->activeGroupChanges, (std::vector<TuiNavBarGroup*>{nullptr}));
  EXPECT_EQ(bar->GetActiveGroup(), b);

  // With no group visible, the one shown becomes active.
  b->SetVisible(false);
  EXPECT_EQ(bar->GetActiveGroup(), nullptr);
  bar->activeGroupChanges.clear();
  a->SetVisible(true);
  EXPECT_EQ(bar->activeGroupChanges, (std::vector<TuiNavBarGroup*>{a}));
}

TEST_F(CollnsTest, ACaptionFollowsTheNameOnlyWhileTheyAreEqual) {
  TuiNavBarItem* same = items().Add();
  EXPECT_EQ(same->Caption(), same->Name());
  same->SetName("Project");
  EXPECT_EQ(same->Caption(), "Project");

  TuiNavBarItem* own = items().Add();
  own->SetCaption("Window");
  own->SetName("WindowItem");
  EXPECT_EQ(own->Caption(), "Window");
}

TEST_F(CollnsTest, FindingByCaptionIsExact) {
  TuiNavBarItem* item = items().Add();
  item->SetCaption("Toolbar");
  EXPECT_EQ(items().ItemByCaption("Toolbar"), item);
  EXPECT_EQ(items().ItemByCaption("toolbar"), nullptr);
}

// ---------------------------------------------------------------------------
// Actions and clicks

TEST_F(CollnsTest, AnItemShowsItsActionUntilGivenItsOwnCaption) {
  auto* action = new TAction(form.get());
  action->SetCaption("Open");
  action->SetImageIndex(4);
  TuiNavBarItem* item = items().Add();
  item->SetAction(action);
  EXPECT_EQ(item->Caption(), "Open");
  EXPECT_EQ(item->SmallImageIndex(), 4);
  EXPECT_EQ(item->LargeImageIndex(), 4);

  action->SetCaption("Open project");
  EXPECT_EQ(item->Caption(), "Open project");
  item->SetCaption("Mine");
  action->SetCaption("Open again");
  EXPECT_EQ(item->Caption(), "Mine");

  // The action going takes the item's link with it.
  delete action;
  EXPECT_EQ(item->Action(), nullptr);
  EXPECT_EQ(item->ActionLink(), nullptr);
}

TEST_F(CollnsTest, AClickRunsTheItemsOnClickElseItsAction) {
  auto* action = new TAction(form.get());
  std::vector<std::string> ran;
  action->OnExecute = [&](TObject*) { ran.push_back("action"); };
  TuiNavBarItem* item = items().Add();

  EXPECT_FALSE(item->Click());  // neither: the bar raises its own event
  item->SetAction(action);
  EXPECT_TRUE(item->Click());
  item->OnClick = [&](TObject* Sender) { ran.push_back(Sender == item ? "item" : "?"); };
  EXPECT_TRUE(item->Click());
  EXPECT_EQ(ran, (std::vector<std::string>{"action", "item"}));
}

// ---------------------------------------------------------------------------
// The group control

TEST_F(CollnsTest, UseControlMakesANamedPanelOnTheBarAndFreeingItTurnsItOff) {
  TuiNavBarGroup* g = groups().Add();
  g->SetName("Music");
  g->SetUseControl(true);
  TuiNavBarGroupControl* control = g->Control();
  ASSERT_NE(control, nullptr);
  EXPECT_TRUE(g->ShowControl());
  EXPECT_EQ(control->Name(), "MusicControl");
  EXPECT_EQ(control->Parent(), bar);
  EXPECT_EQ(control->Owner(), form.get());
  EXPECT_EQ(control->Group(), g);

  // Only the group's own bar may hold it.
  TPanel elsewhere(form.get());
  EXPECT_THROW(control->SetParent(&elsewhere), Exception);
  EXPECT_EQ(control->Parent(), bar);

  delete control;
  EXPECT_EQ(g->Control(), nullptr);
  EXPECT_FALSE(g->UseControl());

  // ShowControl alone brings it back.
  g->SetShowControl(true);
  EXPECT_TRUE(g->UseControl());
  ASSERT_NE(g->Control(), nullptr);
  g->SetUseControl(false);
  EXPECT_EQ(g->Control(), nullptr);
  EXPECT_EQ(form->FindComponent("MusicControl"), nullptr);
}

TEST_F(CollnsTest, TheViewPlacesTheControlKeepingTheHeightItsUserGaveIt) {
  TuiNavBarGroup* g = groups().Add();
  g->SetUseControl(true);
  TuiNavBarGroupControl* control = g->Control();
  control->SetHeight(120);
  EXPECT_EQ(control->OriginalHeight(), 120);
  bar->heard.clear();
  control->AdjustControl(TRect{0, 20, 150, 60}, true);
  EXPECT_EQ(control->Height(), 40);
  EXPECT_EQ(control->OriginalHeight(), 120);
  EXPECT_TRUE(bar->heard.empty());  // the view's own placing is no change

}

}  // namespace

namespace {

TEST_F(CollnsTest, FreeingTheBarFreesItsGroupsItemsStylesAndPanels) {
  TuiNavBarGroup* g = groupWithLinks(2);
  g->SetName("Pages");
  g->SetUseControl(true);
  g->SetGroupStyle(0, bar->NavBarStyles()->Add());
  g->SetSelectedLinkIndex(1);
  delete bar;
  bar = nullptr;
  EXPECT_EQ(form->ComponentCount(), 0);
}

}  // namespace
