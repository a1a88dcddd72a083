#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NavBarTestSupport.h"
#include "platform/classlib/ActnList.h"

using namespace navbartest;

namespace {

class StreamingTest : public NavBarTest {
 protected:
  // Reads a form text into a new form and answers its bar.
  TTestNavBar* read(const std::string& Text) {
    loaded = std::make_unique<TNavForm>(nullptr);
    qv::classlib::readComponentText(Text, loaded.get());
    return dynamic_cast<TTestNavBar*>(loaded->FindComponent("Bar"));
  }
  std::unique_ptr<TNavForm> loaded;
};

TEST_F(StreamingTest, GroupsItemsLinksAndStylesWriteAndReadBackAsTheyWere) {
  TuiNavBarItems& items = *bar->NavBarItems();
  TuiNavBarGroups& groups = *bar->NavBarGroups();
  TuiNavBarItem* project = items.Add();
  project->SetName("ProjectItem");
  project->SetCaption("Project");
  TuiNavBarItem* music = items.Add();
  music->SetName("MusicItem");
  music->SetEnabled(false);
  TuiNavBarStyleItem* style = bar->NavBarStyles()->Add();
  style->SetName("Header");
  style->Style()->SetBackColor(clNavy);
  style->Style()->SetHAlignment(haCenter);
  style->Style()->Font()->SetName("Tahoma");
  style->Style()->SetAssignedValues({savBackColor, savHAlignment});
  TuiNavBarGroup* basics = groups.Add();
  basics->SetName("Basics");
  basics->SetCaption("Basics");
  basics->AddLink(project);
  basics->AddLink(music);
  basics->AddLink(project);
  basics->SetSelectedLinkIndex(2);
  basics->SetTopVisibleLinkIndex(1);
  basics->SetGroupStyle(2, style);
  TuiNavBarGroup* extras = groups.Add();
  extras->SetName("Extras");
  extras->SetExpanded(false);
  extras->SetUseControl(true);
  extras->Control()->SetHeight(90);
  music->SetItemStyle(1, style);
  bar->DefaultStyles()->Hint()->SetBackColor(clYellow);

  const std::string text = qv::classlib::writeComponentText(form.get());
  TTestNavBar* back = read(text);
  ASSERT_NE(back, nullptr) << text;
  EXPECT_EQ(qv::classlib::writeComponentText(loaded.get()), text);

  TuiNavBarGroups& groups2 = *back->NavBarGroups();
  ASSERT_EQ(groups2.Count(), 2) << text;
  TuiNavBarGroup* basics2 = groups2.Items(0);
  ASSERT_EQ(basics2->LinkCount(), 3);
  EXPECT_EQ(basics2->Links(0)->Item()->Name(), "ProjectItem");
  EXPECT_EQ(basics2->Links(1)->Item()->Name(), "MusicItem");
  EXPECT_EQ(basics2->Links(2)->Item(), basics2->Links(0)->Item());
  EXPECT_EQ(basics2->SelectedLinkIndex(), 2);
  EXPECT_EQ(basics2->TopVisibleLinkIndex(), 1);
  ASSERT_NE(basics2->StyleHeader(), nullptr);
  TuiNavBarStyle* style2 = basics2->StyleHeader()->Style();
  EXPECT_EQ(style2->BackColor(), clNavy);
  EXPECT_EQ(style2->HAlignment(), haCenter);
  EXPECT_EQ(style2->Font()->Name(), "Tahoma");
  // What the form says is assigned, not every value read.
  EXPECT_EQ(style2->AssignedValues(), (TuiBarStyleAssignedValues{savBackColor, savHAlignment}));
  TuiNavBarItem* music2 = back->NavBarItems()->Items(1);
  EXPECT_FALSE(music2->Enabled());
  EXPECT_EQ(music2->StyleDisabled(), basics2->StyleHeader());
  TuiNavBarGroup* extras2 = groups2.Items(1);
  EXPECT_FALSE(extras2->Expanded());
  ASSERT_NE(extras2->Control(), nullptr);
  EXPECT_TRUE(extras2->UseControl());
  EXPECT_EQ(extras2->Control()->Parent(), back);
  EXPECT_EQ(extras2->Control()->OriginalHeight(), 90);
  EXPECT_EQ(back->DefaultStyles()->Hint()->BackColor(), clYellow);
  EXPECT_FALSE(back->DefaultStyles()->Hint()->HoldsViewDefaults());
  EXPECT_EQ(back->DefaultStyles()->Item()->BackColor(), 0x100 + 13);
}

TEST_F(StreamingTest, LoadingKeepsValuesForLoadedAndRaisesNoEvents) {
  TTestNavBar* back = read(R"(object Form: TNavForm
  object Bar: TTestNavBar
    EachGroupHasSelectedLink = True
    object Pages: TuiNavBarGroup
      Expanded = False
      SelectedLinkIndex = 1
      TopVisibleLinkIndex = 9
      Visible = False
      OnCollapsed = GroupEvent
      OnSelectedLinkChanged = GroupEvent
      OnTopVisibleLinkChanged = GroupEvent
      Links = <
        item
          Item = Start
        end
        item
          Item = Window
        end>
    end
    object Start: TuiNavBarItem
      Caption = 'Start'
      OnClick = ItemClick
    end
    object Window: TuiNavBarItem
    end
  end
end
)");
  ASSERT_NE(back, nullptr);
  TuiNavBarGroup* pages = back->NavBarGroups()->Items(0);
  EXPECT_TRUE(loaded->calls.empty());
  EXPECT_TRUE(back->activeGroupChanges.empty());
  EXPECT_FALSE(pages->Expanded());
  EXPECT_FALSE(pages->Visible());
  EXPECT_EQ(pages->SelectedLinkIndex(), 1);
  EXPECT_EQ(pages->TopVisibleLinkIndex(), 1);
  // Events bound by name in the form run once loading is over.
  EXPECT_TRUE(back->NavBarItems()->Items(0)->Click());
  pages->SetExpanded(true);
  pages->SetExpanded(false);
  EXPECT_EQ(loaded->calls, (std::vector<std::string>{"ItemClick Start", "GroupEvent Pages"}));
}

TEST_F(StreamingTest, AGroupControlOfAMissingOrTakenGroupFailsTheForm) {
  const std::string head = R"(object Form: TNavForm
  object Bar: TTestNavBar
    object Pages: TuiNavBarGroup
    end
)";
  for (const char* controls : {"    object C1: TuiNavBarGroupControl\n      GroupIndex = 1\n    end\n",
                               "    object C1: TuiNavBarGroupControl\n      GroupIndex = 0\n    end\n"
                               "    object C2: TuiNavBarGroupControl\n      GroupIndex = 0\n    end\n"}) {
    try {
      read(head + controls + "  end\nend\n");
      ADD_FAILURE() << controls;
    } catch (Exception& e) {
      EXPECT_EQ(e.Message(), "Invalid the TuiNavBarGroupControl parent or group.") << controls;
    }
  }
}

}  // namespace

namespace {

TEST_F(StreamingTest, AnItemWritesOnlyWhatItsActionDoesNotDrive) {
  auto* action = new TAction(form.get());
  action->SetName("OpenAction");
  action->SetCaption("Open");
  TuiNavBarItem* item = bar->NavBarItems()->Add();
  item->SetName("OpenItem");
  item->SetAction(action);
  item->SetHint("own hint");
  const std::string text = qv::classlib::writeComponentText(form.get());
  const std::size_t from = text.find("object OpenItem");
  const std::string written = text.substr(from, text.find("end", from) - from);
  EXPECT_EQ(written, "object OpenItem: TuiNavBarItem\n      Action = OpenAction\n      Hint = 'own hint'\n    ") << text;
}

}  // namespace
