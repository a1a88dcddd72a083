// The designer's navigation bar: the bar as the form resource streams it
// (its groups, links, images, cursors and default styles checked as data),
// shown by the new and open commands and hidden by close with the pages
// beside it, and each of its eight links clicked by injected mouse input
// selecting its page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesignerFixture.h"
#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarStyles.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/ImgList.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"

namespace {

using qv::os::ansi;

struct LinkRow {
  const char* item;
  std::string caption;
  int smallImage;
  const char* page;
};

// Every link, group by group, with the page its click selects.
const std::vector<std::vector<LinkRow>>& linkTable() {
  static const std::vector<std::vector<LinkRow>> table = {
      {{"SettingsNavBarItem", "Einstellungen", 12, "Autorun"},
       {"OptionalNavBarItem", "Optionale Einstellungen", 14, "Other"}},
      {{"GeneralNavBarItem", "Allgemein", 10, "General"},
       {"PositionAndSizeNavBarItem", ansi(u8"Position && Größe"), 5, "Position"},
       {"ToolbarAndButtonsNavBarItem", "Toolbar && Buttons", 8, "Toolbar"},
       {"SkinNavBarItem", "Skin", 15, "Skin"}},
      {{"BackgroundMusicNavBarItem", "Hintergrund-Musik", 6, "Music"},
       {"PluginNavBarItem", "Erweiterungen", 17, "Extensions"}},
  };
  return table;
}

class DesignerNavBarTest : public qvtest::DesignerTest {
 protected:
  // Clicks the link as a person does: move there, press, release.
  static void clickLink(TuiNavBar* bar, TuiNavBarItemLink* link) {
    bar->Repaint();
    TuiNavBarLinkViewInfo* info = bar->GetViewInfo()->FindLinkViewInfo(link);
    ASSERT_NE(info, nullptr) << link->Item()->Name();
    const TRect& r = info->TextBounds;
    const POINT at = bar->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    qv::os::injectMouse(WM_MOUSEMOVE, at);
    qv::os::injectMouse(WM_LBUTTONDOWN, at, MK_LBUTTON);
    qv::os::injectMouse(WM_LBUTTONUP, at);
    qv::os::pumpMessages();
  }
};

TEST_F(DesignerNavBarTest, TheFormStreamsTheBarWithItsGroupsLinksImagesCursorsAndStyles) {
  struct Seen {
    bool visible = true;
    TAlign align = alNone;
    int width = 0, view = -1, activeGroup = -1;
    TuiNavBarDragDropFlags dragDrop{fAllowDragLink};
    bool imagesAreGlyphs = false;
    TCursor drag = 0, dragCopy = 0, hotLink = 0, hotGroup = 1;
    std::vector<std::string> groups, links, problems;
  } seen;
  step([&](TQVDesigner* d) {
    TuiNavBar* bar = d->TaskNavBar;
    seen.visible = bar->Visible();
    seen.align = bar->Align();
    seen.width = bar->Width();
    seen.view = bar->View();
    seen.activeGroup = bar->ActiveGroupIndex();
    seen.dragDrop = bar->DragDropFlags();
    seen.imagesAreGlyphs = bar->SmallImages() == d->BtnGlyphs;
    seen.drag = bar->DragCursor();
    seen.dragCopy = bar->DragCopyCursor();
    seen.hotLink = bar->HotTrackedLinkCursor();
    seen.hotGroup = bar->HotTrackedGroupCursor();
    for (int g = 0; g < bar->Groups()->Count(); ++g) {
      TuiNavBarGroup* group = bar->Groups()->Items(g);
      seen.groups.push_back(group->Name() + " " + group->Caption());
      if (!group->LinksUseSmallImages() || !group->UseSmallImages() || group->SelectedLinkIndex() != -1 ||
          group->TopVisibleLinkIndex() != 0 || group->ShowAsIconView() || group->ShowControl() || !group->Visible())
        seen.problems.push_back(group->Name() + " flags");
      if (group->UseControl() != (g == 0)) seen.problems.push_back(group->Name() + " UseControl");
      for (int l = 0; l < group->LinkCount(); ++l) {
        TuiNavBarItem* item = group->Links(l)->Item();
        seen.links.push_back(std::to_string(g) + " " + item->Name() + " " + item->Caption() + " " +
                             std::to_string(item->SmallImageIndex()));
        if (!item->Enabled() || item->LargeImageIndex() != -1 || !item->OnClick)
          seen.problems.push_back(item->Name() + " flags");
      }
    }
    TuiNavBarGroupControl* holder = bar->Groups()->Items(0)->Control();
    if (!holder || holder->Name() != "TaskNavBarGroupHolder" || holder->OriginalHeight() != 41 ||
        holder->ControlCount() != 0)
      seen.problems.push_back("TaskNavBarGroupHolder");
  });
  launch();
  EXPECT_FALSE(seen.visible) << "hidden while no project is open";
  EXPECT_EQ(seen.align, alLeft);
  EXPECT_EQ(seen.width, 177);
  EXPECT_EQ(seen.view, 10);
  EXPECT_EQ(seen.activeGroup, 0);
  EXPECT_EQ(seen.dragDrop, TuiNavBarDragDropFlags{});
  EXPECT_TRUE(seen.imagesAreGlyphs);
  EXPECT_EQ(seen.drag, -1120);
  EXPECT_EQ(seen.dragCopy, -1119);
  EXPECT_EQ(seen.hotLink, -1118);
  EXPECT_EQ(seen.hotGroup, crDefault);
  EXPECT_EQ(seen.groups, (std::vector<std::string>{"ProjectNavBarGroup CD-ROM Projekt",
                                                   "WindowNavBarGroup Fenster-Layout", "OtherNavBarGroup Sonstiges"}));
  std::vector<std::string> expectedLinks;
  for (std::size_t g = 0; g < linkTable().size(); ++g)
    for (const LinkRow& row : linkTable()[g])
      expectedLinks.push_back(std::to_string(g) + " " + row.item + " " + row.caption + " " +
                              std::to_string(row.smallImage));
  EXPECT_EQ(seen.links, expectedLinks);
  EXPECT_TRUE(seen.problems.empty()) << ::testing::PrintToString(seen.problems);
}

TEST_F(DesignerNavBarTest, EveryDefaultStyleHoldsItsStreamedColoursAndFont) {
  struct Row {
    const char* style;
    TColor back, back2, font;
    int alpha;
  };
  const Row rows[] = {
      {"Background", clNone, clNone, clWindowText, 255},
      {"Button", clBtnFace, clBtnFace, clWindowText, 255},
      {"ButtonPressed", clBtnFace, clBtnFace, clWindowText, 255},
      {"ButtonHotTracked", clBtnFace, clBtnFace, clWindowText, 255},
      {"GroupBackground", clWindow, clWindow, clWindowText, 255},
      {"GroupControl", clNone, clNone, clWindowText, 255},
      {"GroupHeader", clNone, clNone, clBtnText, 255},
      {"GroupHeaderActive", clNone, clNone, clNone, 255},
      {"GroupHeaderActiveHotTracked", clNone, clNone, clNone, 255},
      {"GroupHeaderActivePressed", clNone, clNone, clNone, 255},
      {"GroupHeaderHotTracked", clNone, clNone, clBtnText, 255},
      {"GroupHeaderPressed", clNone, clNone, clBtnText, 255},
      {"Hint", clInfoBk, clInfoBk, clInfoText, 255},
      {"Item", clWhite, clWhite, clHighlight, 255},
      {"ItemDisabled", clWhite, clWhite, clNone, 255},
      {"ItemHotTracked", clWhite, clWhite, clHotLight, 255},
      {"ItemPressed", clWhite, clWhite, clHighlight, 255},
      {"DropTargetGroup", clHighlight, clHighlight, clWindowText, 60},
      {"DropTargetLink", clBlack, clWhite, clWindowText, 255},
      {"NavigationPaneHeader", clWhite, clWhite, clWindowText, 255},
  };
  std::vector<std::string> wrong;
  int count = -1;
  step([&](TQVDesigner* d) {
    TuiNavBarDefaultStyles* styles = d->TaskNavBar->DefaultStyles();
    count = TuiNavBarDefaultStyles::StyleCount;
    for (int i = 0; i < TuiNavBarDefaultStyles::StyleCount; ++i) {
      const Row& row = rows[i];
      TuiNavBarDefaultStyle* s = styles->Styles(i);
      TFont* f = s->Font();
      if (std::string(TuiNavBarDefaultStyles::StyleNames[i]) != row.style || s->BackColor() != row.back ||
          s->BackColor2() != row.back2 || f->Color() != row.font || s->AlphaBlending() != row.alpha ||
          s->AlphaBlending2() != row.alpha || f->Name() != "MS Shell Dlg" || f->Height() != -11 ||
          f->Charset() != DEFAULT_CHARSET || !f->Style().Empty() || s->HAlignment() != haLeft)
        wrong.push_back(row.style);
    }
  });
  launch();
  EXPECT_EQ(count, static_cast<int>(std::size(rows)));
  EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

// An author's way through the bar: a new project shows it with the pages
// beside it; each link selects its page and leaves the bar's active group
// and selected links as they were; close hides it, open brings it back.
TEST_F(DesignerNavBarTest, NewShowsTheBarItsLinksSelectThePagesCloseHidesItAndOpenShowsItAgain) {
  struct Seen {
    bool bar = false, workspace = false;
    int barRight = 0, workspaceLeft = 0, workspaceRight = 0;
  };
  auto look = [](TQVDesigner* d) {
    Seen s;
    s.bar = d->TaskNavBar->Visible() && IsWindowVisible(d->TaskNavBar->Handle());
    s.workspace = d->Workspace->Visible();
    s.barRight = d->TaskNavBar->Left() + d->TaskNavBar->Width();
    s.workspaceLeft = d->Workspace->Left();
    s.workspaceRight = d->Workspace->Left() + d->Workspace->Width();
    return s;
  };
  Seen afterNew, afterClose, afterOpen;
  std::vector<std::string> pages, selection;
  std::string pageAfterOpen;
  answer("dialog", projectPath());
  step([&](TQVDesigner* d) {
    d->BtnNewClick(d->BtnNew);
    afterNew = look(d);
  });
  step([&](TQVDesigner* d) {
    TuiNavBar* bar = d->TaskNavBar;
    for (std::size_t g = 0; g < linkTable().size(); ++g)
      for (std::size_t l = 0; l < linkTable()[g].size(); ++l) {
        // Start each click from another page, so that a click that runs no
        // handler cannot pass for one that selects the page shown.
        d->Notebook->SetActivePage(l == 0 ? "Extensions" : "Autorun");
        clickLink(bar, bar->Groups()->Items(static_cast<int>(g))->Links(static_cast<int>(l)));
        pages.push_back(d->Notebook->ActivePage());
        std::string sel = std::to_string(bar->ActiveGroupIndex());
        for (int i = 0; i < bar->Groups()->Count(); ++i) sel += " " + std::to_string(bar->Groups()->Items(i)->SelectedLinkIndex());
        selection.push_back(sel);
      }
  });
  step([&](TQVDesigner* d) {
    d->BtnSaveClick(d->BtnSave);
    d->BtnCloseClick(d->BtnClose);
    afterClose = look(d);
  });
  answer("dialog", projectPath());
  step([&](TQVDesigner* d) {
    d->Notebook->SetActivePage("Skin");
    d->BtnOpenClick(d->BtnOpen);
    afterOpen = look(d);
    pageAfterOpen = d->Notebook->ActivePage();
  });
  launch();
  EXPECT_TRUE(afterNew.bar);
  EXPECT_TRUE(afterNew.workspace);
  EXPECT_EQ(afterNew.barRight, 177);
  EXPECT_EQ(afterNew.workspaceLeft, 177) << "the pages lie beside the bar";
  EXPECT_EQ(afterNew.workspaceRight, 574);
  std::vector<std::string> expectedPages;
  for (const auto& group : linkTable())
    for (const LinkRow& row : group) expectedPages.push_back(row.page);
  EXPECT_EQ(pages, expectedPages);
  EXPECT_EQ(selection, std::vector<std::string>(expectedPages.size(), "0 -1 -1 -1"));
  EXPECT_FALSE(afterClose.bar);
  EXPECT_FALSE(afterClose.workspace);
  EXPECT_TRUE(afterOpen.bar);
  EXPECT_TRUE(afterOpen.workspace);
  EXPECT_EQ(pageAfterOpen, "Autorun");
}

// "&&" in a caption is one "&" on the screen: the link is laid out as wide
// as the text with one ampersand.
TEST_F(DesignerNavBarTest, ADoubledAmpersandInACaptionShowsAsOne) {
  int laidOut = -1, one = -2, two = -3;
  answer("dialog", projectPath());
  step([&](TQVDesigner* d) {
    d->BtnNewClick(d->BtnNew);
    TuiNavBar* bar = d->TaskNavBar;
    bar->Repaint();
    TuiNavBarItemLink* link = bar->Groups()->Items(1)->Links(1);
    TuiNavBarLinkViewInfo* info = bar->GetViewInfo()->FindLinkViewInfo(link);
    ASSERT_NE(info, nullptr);
    laidOut = info->TextBounds.right - info->TextBounds.left;
    TCanvas* canvas = bar->BackBuffer()->Canvas();
    canvas->SetFont(info->GetFont());
    auto width = [&](const std::string& text) {
      RECT r{0, 0, 1000, 100};
      DrawText(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
               DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      return static_cast<int>(r.right - r.left);
    };
    one = width(ansi(u8"Position & Größe"));
    two = width(ansi(u8"Position && Größe"));
  });
  launch();
  EXPECT_EQ(laidOut, one);
  EXPECT_NE(one, two);
}

}  // namespace
