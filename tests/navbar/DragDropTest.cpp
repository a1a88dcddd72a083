// Dragging groups and links in the navigation bar with injected mouse and
// keyboard input on the headless desktop, in the explorer-bar view: where a
// dropped link or group lands, the Ctrl copy, the cursors, the 300 ms
// opening of a collapsed group, Escape, and the drag-and-drop flags.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "NavBarViewsFixture.h"
#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarBaseViews.h"
#include "navbar/uiNavBarExplorerViews.h"
#include "platform/classlib/DragManager.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"

namespace {

using qv::desktop::Clock;

const TuiNavBarDragDropFlags kAllFlags{fAllowDragLink, fAllowDropLink, fAllowDragGroup, fAllowDropGroup};

class NavBarDragDrop : public navbartest::ViewsFixture {
 protected:
  void SetUp() override {
    navbartest::ViewsFixture::SetUp();
    start(nbExplorerBarView, qv::desktop::ModuleProfile::Absent, uiNavBarExplorerViewsUnit);
    bar->SetDragDropFlags(kAllFlags);
  }
  // The bar anew, for the next case of a table.
  void freshBar(TuiNavBarDragDropFlags AFlags = kAllFlags) {
    makeBar(nbExplorerBarView);
    bar->SetDragDropFlags(AFlags);
  }
  void TearDown() override {
    // A drag a failed case left running must not outlive its bar.
    CancelDrag();
    navbartest::ViewsFixture::TearDown();
  }

  // A point on link l of group g: on its image, in the upper or lower half
  // of its row (which decides whether a drop goes before or after it).
  TPoint linkPoint(int g, int l, bool upper = true) {
    TuiNavBarLinkViewInfo* link = groupInfo(g)->LinkInfos(l);
    const TRect& image = link->ImageBounds;
    return {(image.left + image.right) / 2, upper ? link->Bounds.top + 1 : link->Bounds.bottom - 2};
  }
  // Where a press picks link l of group g up: the middle of its image.
  TPoint grip(int g, int l) {
    const TRect& image = groupInfo(g)->LinkInfos(l)->ImageBounds;
    return {(image.left + image.right) / 2, (image.top + image.bottom) / 2};
  }
  std::vector<std::string> captions(int g) {
    std::vector<std::string> out;
    TuiNavBarGroup* group = groups[static_cast<size_t>(g)];
    for (int i = 0; i < group->LinkCount(); ++i) out.push_back(group->Links(i)->Item()->Caption());
    return out;
  }
  std::vector<std::string> groupOrder() {
    std::vector<std::string> out;
    for (int i = 0; i < bar->Groups()->Count(); ++i) out.push_back(bar->Groups()->Items(i)->Caption());
    return out;
  }

  // Presses the left button at `from` and moves 4 pixels down (one more
  // than a drag needs), then on to `to`, with the button held.
  void pressAndDrag(TPoint from, TPoint to) {
    mouse(WM_MOUSEMOVE, from.x, from.y);
    mouse(WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    mouse(WM_MOUSEMOVE, from.x, from.y + 4, MK_LBUTTON);
    mouse(WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
  }
  void release(TPoint at) { mouse(WM_LBUTTONUP, at.x, at.y); }
  void dragAndDrop(TPoint from, TPoint to) {
    pressAndDrag(from, to);
    release(to);
  }
  void key(UINT vk, bool down) {
    qv::os::injectKey(vk, down);
    qv::os::pumpMessages();
  }
  void wait(int ms) {
    Clock::advance(static_cast<std::uint64_t>(ms));
    qv::os::pumpMessages();
  }
  // The cursor the user sees now, and the one a cursor id stands for.
  static HCURSOR shown() { return GetCursor(); }
  static HCURSOR cursor(TCursor id) { return Screen->Cursors(id); }
};

// --- moving links -------------------------------------------------------------------

TEST_F(NavBarDragDrop, ALinkDroppedInItsGroupTakesThePlaceBetweenTheLinksAroundTheDrop) {
  struct Case {
    int from, onto;
    bool upperHalf;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      // Between links 2 and 3: the target 3 counts the link itself, so it
      // becomes index 2.
      {0, 3, true, {"Optional", "Window", "Project", "Position"}},
      {0, 3, false, {"Optional", "Window", "Position", "Project"}},
      {3, 0, true, {"Position", "Project", "Optional", "Window"}},
      {3, 0, false, {"Project", "Position", "Optional", "Window"}},
      {1, 2, false, {"Project", "Window", "Optional", "Position"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " onto " << c.onto << (c.upperHalf ? " upper" : " lower"));
    freshBar();
    TuiNavBarItem* dragged = groups[0]->Links(c.from)->Item();
    dragAndDrop(grip(0, c.from), linkPoint(0, c.onto, c.upperHalf));
    EXPECT_EQ(captions(0), c.order);
    EXPECT_EQ(groups[0]->LinkCount(), 4);
    EXPECT_FALSE(bar->IsDragging());
    EXPECT_EQ(navBarDragObject(), nullptr);
    // The layout follows: the dragged item's link is drawn where it went.
    const auto at = std::find(c.order.begin(), c.order.end(), dragged->Caption()) - c.order.begin();
    EXPECT_EQ(groupInfo(0)->LinkInfos(static_cast<int>(at))->SourceLink()->Item(), dragged);
  }
}

TEST_F(NavBarDragDrop, ALinkMovedToAnotherGroupIsTheLinkThatOnDragDropSees) {
  bar->SetAllowSelectLinks(true);
  groups[0]->SetSelectedLinkIndex(1);
  ASSERT_EQ(groups[0]->SelectedLinkIndex(), 1);
  TuiNavBarItemLink* seen = nullptr;
  bool seenIsInTarget = false;
  TuiNavBarItem* seenItem = nullptr;
  bool sourceIsTheDragObject = false;
  bar->OnDragDrop = [&](TObject*, TObject* Source, int, int) {
    seen = bar->DraggedLink();
    sourceIsTheDragObject = dynamic_cast<TuiDragObject*>(Source) != nullptr;
    seenIsInTarget = groups[2]->LinkCount() == 3 && seen == groups[2]->Links(1);
    if (seenIsInTarget) seenItem = seen->Item();
  };
  dragAndDrop(grip(0, 1), linkPoint(2, 1));
  EXPECT_EQ(captions(0), (std::vector<std::string>{"Project", "Window", "Position"}));
  EXPECT_EQ(captions(2), (std::vector<std::string>{"Extensions", "Optional", "Help"}));
  EXPECT_EQ(groups[0]->SelectedLinkIndex(), -1) << "the source group keeps no selection";
  EXPECT_EQ(groups[2]->Links(1)->Item(), items[1]) << "the same item, not a copy";
  EXPECT_EQ(bar->Items()->Count(), 9);
  ASSERT_NE(seen, nullptr);
  EXPECT_TRUE(seenIsInTarget) << "OnDragDrop is handed the new link, not the freed one";
  EXPECT_EQ(seenItem, items[1]);
  EXPECT_TRUE(sourceIsTheDragObject);
}

TEST_F(NavBarDragDrop, CtrlCopiesALinkAndTheCursorSaysSo) {
  const TPoint target = linkPoint(2, 1);
  pressAndDrag(grip(0, 0), target);
  EXPECT_EQ(qv::classlib::dragCursor(), nbDragCursor);
  EXPECT_EQ(shown(), cursor(nbDragCursor));
  key(VK_CONTROL, true);
  EXPECT_EQ(bar->DraggedItem(), items[0]);
  EXPECT_EQ(qv::classlib::dragCursor(), nbDragCopyCursor);
  EXPECT_EQ(shown(), cursor(nbDragCopyCursor));
  key(VK_CONTROL, false);
  EXPECT_EQ(shown(), cursor(nbDragCursor)) << "letting go of Ctrl makes it a move again";
  key(VK_CONTROL, true);
  release(target);
  key(VK_CONTROL, false);
  EXPECT_EQ(captions(0), (std::vector<std::string>{"Project", "Optional", "Window", "Position"}));
  EXPECT_EQ(captions(2), (std::vector<std::string>{"Extensions", "Project", "Help"}));
  EXPECT_EQ(groups[2]->Links(1)->Item(), items[0]);
  EXPECT_NE(groups[2]->Links(1), groups[0]->Links(0));
}

// Next to itself a moved link would not move, so the drop is refused; a
// copy may go there.
TEST_F(NavBarDragDrop, ALinkDroppedNextToItselfIsRefusedUnlessCopied) {
  const TPoint nextToItself = linkPoint(0, 2, false);  // between links 2 and 3
  pressAndDrag(grip(0, 2), nextToItself);
  EXPECT_EQ(bar->TargetGroup(), groups[0]);
  EXPECT_EQ(bar->TargetLinkIndex(), 3);
  EXPECT_EQ(qv::classlib::dragCursor(), crNoDrop);
  EXPECT_EQ(shown(), cursor(crNoDrop));
  key(VK_CONTROL, true);
  EXPECT_EQ(qv::classlib::dragCursor(), nbDragCopyCursor);
  key(VK_CONTROL, false);
  release(nextToItself);
  EXPECT_EQ(captions(0), (std::vector<std::string>{"Project", "Optional", "Window", "Position"}));
  EXPECT_NE(shown(), cursor(crNoDrop)) << "the drag cursor goes with the drag";

  key(VK_CONTROL, true);
  dragAndDrop(grip(0, 2), nextToItself);
  key(VK_CONTROL, false);
  EXPECT_EQ(captions(0), (std::vector<std::string>{"Project", "Optional", "Window", "Window", "Position"}));
}

// The three cursors are the bar's own, loaded from the program's resources.
TEST_F(NavBarDragDrop, TheDragCursorsAreTheBarsOwnResources) {
  const HCURSOR drag = cursor(nbDragCursor), copy = cursor(nbDragCopyCursor), links = cursor(nbLinksCursor);
  EXPECT_NE(drag, cursor(crDefault));
  EXPECT_NE(copy, cursor(crDefault));
  EXPECT_NE(links, cursor(crDefault));
  EXPECT_NE(drag, copy);
  EXPECT_NE(drag, cursor(crDrag)) << "not the class library's drag cursor";
  // Cursors set on the bar are the ones shown.
  bar->SetDragCursor(crHandPoint);
  bar->SetDragCopyCursor(crUpArrow);
  pressAndDrag(grip(0, 0), linkPoint(2, 1));
  EXPECT_EQ(shown(), cursor(crHandPoint));
  key(VK_CONTROL, true);
  EXPECT_EQ(shown(), cursor(crUpArrow));
  key(VK_CONTROL, false);
  key(VK_ESCAPE, true);
}

// --- moving groups ------------------------------------------------------------------

TEST_F(NavBarDragDrop, AGroupDroppedOnAnotherGroupTakesItsIndex) {
  struct Case {
    int from, onto;
    bool ontoItems;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {2, 0, false, {"Extras", "Project", "Design"}},
      {0, 2, false, {"Design", "Extras", "Project"}},
      {0, 2, true, {"Design", "Extras", "Project"}},
      {1, 0, true, {"Design", "Project", "Extras"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " onto " << c.onto << (c.ontoItems ? " items" : " caption"));
    freshBar();
    pressAndDrag(captionPoint(c.from), c.ontoItems ? linkPoint(c.onto, 0) : captionPoint(c.onto));
    EXPECT_EQ(bar->DraggedGroup(), groups[static_cast<size_t>(c.from)]);
    EXPECT_EQ(qv::classlib::dragCursor(), nbDragCursor);
    release(c.ontoItems ? linkPoint(c.onto, 0) : captionPoint(c.onto));
    EXPECT_EQ(groupOrder(), c.order);
    EXPECT_EQ(groups[static_cast<size_t>(c.from)]->Expanded(), c.from != 1) << "a drop clicks no caption";
  }
}

TEST_F(NavBarDragDrop, AGroupDroppedOnItselfStaysWhereItIs) {
  const TPoint own{captionPoint(0).x + 30, captionPoint(0).y};
  pressAndDrag(captionPoint(0), own);
  EXPECT_EQ(bar->TargetGroup(), groups[0]);
  EXPECT_EQ(qv::classlib::dragCursor(), crNoDrop);
  release(own);
  EXPECT_EQ(groupOrder(), (std::vector<std::string>{"Project", "Design", "Extras"}));
  EXPECT_TRUE(groups[0]->Expanded());
}

// --- opening a group and cancelling --------------------------------------------------

TEST_F(NavBarDragDrop, ACollapsedGroupOpensAfter300msOverItsCaptionAndNotBefore) {
  ASSERT_FALSE(groups[1]->Expanded());
  pressAndDrag(grip(0, 0), captionPoint(1));
  EXPECT_EQ(bar->DragOverTargetGroup(), groups[1]);
  wait(299);
  EXPECT_FALSE(groups[1]->Expanded());
  wait(1);
  EXPECT_TRUE(groups[1]->Expanded());
  key(VK_ESCAPE, true);

  // Leaving the caption before the time is up opens nothing.
  freshBar();
  pressAndDrag(grip(0, 0), captionPoint(1));
  wait(200);
  mouse(WM_MOUSEMOVE, linkPoint(0, 3).x, linkPoint(0, 3).y, MK_LBUTTON);
  wait(1000);
  EXPECT_FALSE(groups[1]->Expanded());
  key(VK_ESCAPE, true);
}

TEST_F(NavBarDragDrop, EscapeCancelsTheDragAndNothingMovesOrOpensAfterwards) {
  std::vector<std::string> events;
  bar->OnStartDrag = [&](TObject*, TDragObject*&) { events.push_back("start"); };
  bar->OnDragDrop = [&](TObject*, TObject*, int, int) { events.push_back("drop"); };
  bar->OnEndDrag = [&](TObject*, TObject* Target, int, int) {
    events.push_back(Target ? "end on a target" : "end");
  };
  bar->OnLinkClick = [&](TObject*, TuiNavBarItemLink*) { events.push_back("click"); };
  pressAndDrag(grip(0, 0), captionPoint(1));
  ASSERT_TRUE(bar->IsDragging());
  key(VK_ESCAPE, true);
  key(VK_ESCAPE, false);
  EXPECT_FALSE(bar->IsDragging());
  EXPECT_EQ(navBarDragObject(), nullptr);
  EXPECT_EQ(qv::classlib::activeDragObject(), nullptr);
  EXPECT_EQ(bar->DraggedLink(), nullptr);
  release(captionPoint(1));
  wait(1000);
  EXPECT_FALSE(groups[1]->Expanded()) << "the cancelled drag's timer opens nothing";
  EXPECT_EQ(captions(0), (std::vector<std::string>{"Project", "Optional", "Window", "Position"}));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "end"}));
}

// In the classic view the bar shows the active group's links only, with
// scroll buttons when they do not fit: a drag over a button scrolls every
// 300 ms, and over another group's caption makes that group the active one.
class NavBarDragDropClassic : public NavBarDragDrop {
 protected:
  void SetUp() override {
    navbartest::ViewsFixture::SetUp();
    start(nbBaseView, qv::desktop::ModuleProfile::Absent, uiNavBarBaseViewsUnit);
    bar->SetDragDropFlags(kAllFlags);
    bar->SetHeight(107);  // two links of the four show
    settle();
  }
};

TEST_F(NavBarDragDropClassic, OverAScrollButtonTheActiveGroupScrollsEvery300ms) {
  ASSERT_TRUE(info()->IsBottomScrollButtonVisible());
  const TRect down = info()->DownButtonBounds();
  const TPoint onButton{(down.left + down.right) / 2, (down.top + down.bottom) / 2};
  pressAndDrag(grip(0, 0), onButton);
  EXPECT_EQ(qv::classlib::dragCursor(), nbDragCursor) << "a drop on the button is taken";
  wait(299);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 0);
  wait(1);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 1);
  wait(300);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 2);
  // Off the button the scrolling stops.
  const TPoint off = grip(0, 2);
  mouse(WM_MOUSEMOVE, off.x, off.y, MK_LBUTTON);
  wait(900);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 2);
  key(VK_ESCAPE, true);
}

TEST_F(NavBarDragDropClassic, AnInactiveGroupBecomesActiveAfter300msOverItsCaption) {
  ASSERT_EQ(bar->ActiveGroupIndex(), 0);
  pressAndDrag(grip(0, 0), captionPoint(2));
  wait(299);
  EXPECT_EQ(bar->ActiveGroupIndex(), 0);
  wait(1);
  EXPECT_EQ(bar->ActiveGroupIndex(), 2);
  // Its links are now where the drop goes.
  settle();
  const TPoint between = linkPoint(2, 1);
  mouse(WM_MOUSEMOVE, between.x, between.y, MK_LBUTTON);
  release(between);
  EXPECT_EQ(captions(2), (std::vector<std::string>{"Extensions", "Project", "Help"}));
  EXPECT_EQ(captions(0), (std::vector<std::string>{"Optional", "Window", "Position"}));
}

// --- the flags -----------------------------------------------------------------------

TEST_F(NavBarDragDrop, EachFlagAllowsItsOwnPartOfADragAndNothingElse) {
  struct Row {
    const char* name;
    TuiNavBarDragDropFlags flags;
    bool group;  // a group caption is dragged, else a link
    bool starts, moves;
  };
  const Row rows[] = {
      {"link, all flags", kAllFlags, false, true, true},
      {"link, only the link flags", {fAllowDragLink, fAllowDropLink}, false, true, true},
      {"link, no fAllowDragLink", {fAllowDropLink, fAllowDragGroup, fAllowDropGroup}, false, false, false},
      {"link, no fAllowDropLink", {fAllowDragLink, fAllowDragGroup, fAllowDropGroup}, false, true, false},
      {"group, all flags", kAllFlags, true, true, true},
      {"group, only the group flags", {fAllowDragGroup, fAllowDropGroup}, true, true, true},
      {"group, no fAllowDragGroup", {fAllowDragLink, fAllowDropLink, fAllowDropGroup}, true, false, false},
      {"group, no fAllowDropGroup", {fAllowDragLink, fAllowDropLink, fAllowDragGroup}, true, true, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    freshBar(r.flags);
    const TPoint from = r.group ? captionPoint(2) : grip(0, 0);
    const TPoint to = r.group ? captionPoint(0) : linkPoint(2, 1);
    pressAndDrag(from, to);
    EXPECT_EQ(bar->IsDragging(), r.starts);
    if (r.starts) {
      EXPECT_EQ(qv::classlib::dragCursor(), r.moves ? nbDragCursor : crNoDrop);
    }
    release(to);
    EXPECT_FALSE(bar->IsDragging());
    const bool moved = r.group ? groupOrder().front() == "Extras" : captions(0).front() != "Project";
    EXPECT_EQ(moved, r.moves);
  }
}

TEST_F(NavBarDragDrop, ALinkOfADisabledItemIsNotDragged) {
  items[0]->SetEnabled(false);
  pressAndDrag(grip(0, 0), linkPoint(2, 1));
  EXPECT_FALSE(bar->IsDragging());
  release(linkPoint(2, 1));
  EXPECT_EQ(captions(0).front(), "Project");
}

// --- lifetime ------------------------------------------------------------------------

TEST_F(NavBarDragDrop, ABarFreedDuringItsDragEndsTheDrag) {
  pressAndDrag(grip(0, 0), linkPoint(2, 1));
  ASSERT_NE(navBarDragObject(), nullptr);
  form.reset();
  bar = nullptr;
  EXPECT_EQ(navBarDragObject(), nullptr);
  EXPECT_EQ(qv::classlib::activeDragObject(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
