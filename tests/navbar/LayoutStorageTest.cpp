// The navigation bar's layout in an INI store: a rich bar saved and loaded
// into a fresh bar, compared as data; links that find their items by the
// stored item, not by position; what a save erases and what it refuses; and
// damaged layouts, each refused with the bar as it was or loaded without
// the one entry that cannot be.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarExplorerViews.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/IniFiles.h"

namespace {

// Everything a layout keeps of a bar, as text: a difference shows as the
// line that differs.
std::string describeStyle(TuiNavBarStyleItem* AItem) {
  std::ostringstream out;
  TuiNavBarStyle* s = AItem->Style();
  TFont* f = s->Font();
  out << "  assigned " << s->AssignedValues().Bits() << " back " << s->BackColor() << "/" << s->BackColor2()
      << " alpha " << int(s->AlphaBlending()) << "/" << int(s->AlphaBlending2()) << " gradient " << s->GradientMode()
      << " align " << s->HAlignment() << "/" << s->VAlignment() << " tag " << AItem->Tag() << "\n"
      << "  font " << f->Name() << " charset " << int(f->Charset()) << " colour " << f->Color() << " height "
      << f->Height() << " pitch " << f->Pitch() << " style " << f->Style().Bits() << "\n";
  if (TGraphic* g = s->Image()->Graphic()) {
    out << "  picture " << g->ClassName() << " " << g->Width() << "x" << g->Height();
    if (auto* bitmap = dynamic_cast<TBitmap*>(g))
      for (int y = 0; y < g->Height(); ++y)
        for (int x = 0; x < g->Width(); ++x) out << " " << bitmap->Canvas()->Pixels(x, y);
    out << "\n";
  }
  return out.str();
}

std::string styleName(TuiNavBar* ABar, TuiNavBarStyleItem* AStyle) {
  return AStyle ? "style" + std::to_string(AStyle->Index()) + (AStyle->Collection() == ABar->Styles() ? "" : "?")
                : "-";
}

std::string describe(TuiNavBar* bar) {
  std::ostringstream out;
  out << "view " << bar->View() << " active " << bar->ActiveGroupIndex() << " max "
      << bar->NavigationPaneMaxVisibleGroups() << "\n";
  for (int i = 0; i < TuiCustomNavBar::ControlStyleCount; ++i)
    out << TuiCustomNavBar::StyleNames[i] << " " << styleName(bar, bar->StyleItem(i)) << "\n";
  for (int i = 0; i < bar->Styles()->Count(); ++i)
    out << "style " << i << "\n" << describeStyle(bar->Styles()->Items(i));
  for (int i = 0; i < bar->Items()->Count(); ++i) {
    TuiNavBarItem* it = bar->Items()->Items(i);
    out << "item " << it->Name() << " '" << it->Caption() << "' hint '" << it->Hint() << "' images "
        << it->LargeImageIndex() << "/" << it->SmallImageIndex() << " enabled " << it->Enabled() << " visible "
        << it->Visible() << " tag " << it->Tag();
    for (int s = 0; s < TuiNavBarItem::ItemStyleCount; ++s) out << " " << styleName(bar, it->ItemStyle(s));
    out << "\n";
  }
  for (int i = 0; i < bar->Groups()->Count(); ++i) {
    TuiNavBarGroup* g = bar->Groups()->Items(i);
    out << "group " << g->Name() << " '" << g->Caption() << "' hint '" << g->Hint() << "' images "
        << g->LargeImageIndex() << "/" << g->SmallImageIndex() << " expanded " << g->Expanded() << " visible "
        << g->Visible() << " tag " << g->Tag() << " small " << g->LinksUseSmallImages() << g->UseSmallImages()
        << " icons " << g->ShowAsIconView() << " button " << g->ShowExpandButton() << " selected "
        << g->SelectedLinkIndex() << " top " << g->TopVisibleLinkIndex() << " control " << g->UseControl()
        << (g->Control() ? " " + g->Control()->Name() : std::string());
    for (int s = 0; s < TuiNavBarGroup::GroupStyleCount; ++s) out << " " << styleName(bar, g->GroupStyle(s));
    out << "\n  links";
    for (int k = 0; k < g->LinkCount(); ++k) out << " " << (g->Links(k)->Item() ? g->Links(k)->Item()->Name() : "?");
    out << "\n";
  }
  return out.str();
}

class LayoutStorage : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::classlib::InitializeUnit(uiNavBarExplorerViewsUnit);
    form.reset(TForm::CreateNew(nullptr));
  }
  void TearDown() override {
    form.reset();
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }

  TuiNavBar* newBar() {
    auto* bar = new TuiNavBar(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(0, 0, 177, 500);
    bar->SetAllowSelectLinks(true);
    return bar;
  }

  // A 4 x 3 bitmap, no two pixels alike.
  static std::unique_ptr<TBitmap> picture(int AWidth = 4, int AHeight = 3) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(AWidth, AHeight);
    for (int y = 0; y < AHeight; ++y)
      for (int x = 0; x < AWidth; ++x) bitmap->Canvas()->SetPixels(x, y, RGB(x * 60, y * 90, (x * 7 + y * 13) % 256));
    return bitmap;
  }

  // Three styles (fonts, colours, a gradient, alignments, a picture; one
  // assigning values a new style holds already), five items, three groups
  // with links (one item in two groups, links out of item order), one group
  // collapsed and one hidden, every stored style property set.
  TuiNavBar* richBar() {
    TuiNavBar* bar = newBar();
    bar->SetView(10);
    TuiNavBarStyle* s0 = bar->Styles()->Add()->Style();
    s0->SetBackColor(0x0080FF);
    s0->SetBackColor2(clNavy);
    s0->SetAlphaBlending(200);
    s0->SetGradientMode(gmVertical);
    s0->Font()->SetName("Tahoma");
    s0->Font()->SetCharset(204);
    s0->Font()->SetColor(clRed);
    s0->Font()->SetSize(10);
    s0->Font()->SetStyle({fsBold, fsItalic});
    s0->SetHAlignment(haCenter);
    s0->SetVAlignment(vaBottom);
    bar->Styles()->Items(0)->SetTag(7);
    TuiNavBarStyle* s1 = bar->Styles()->Add()->Style();
    s1->SetAssignedValues({savBackColor, savAlphaBlending2, savVAlignment});  // values a new style holds
    s1->Image()->SetGraphic(picture().get());
    TuiNavBarStyle* s2 = bar->Styles()->Add()->Style();
    s2->Font()->SetName("Arial");
    s2->Font()->SetPitch(fpVariable);
    s2->Font()->SetStyle({fsUnderline, fsStrikeOut});
    s2->SetBackColor2(clBtnFace);
    s2->SetAlphaBlending2(0);
    s2->SetGradientMode(gmBackwardDiagonal);
    bar->Styles()->Items(2)->SetTag(-3);

    const char* const names[5] = {"itmProject", "itmWindow", "itmSkin", "itmMusic", "itmHelp"};
    for (int i = 0; i < 5; ++i) {
      TuiNavBarItem* item = bar->Items()->Add();
      item->SetName(names[i]);
      item->SetCaption(std::string(names[i] + 3) + " page");
      item->SetHint("Hint " + std::to_string(i));
      item->SetLargeImageIndex(i + 10);
      item->SetSmallImageIndex(i);
      item->SetTag(100 + i);
      item->SetItemStyle(i % 4, bar->Styles()->Items(i % 3));
    }
    bar->Items()->Items(2)->SetEnabled(false);
    bar->Items()->Items(4)->SetVisible(false);
    bar->Items()->Items(1)->SetItemStyle(3, bar->Styles()->Items(2));

    const char* const groupNames[3] = {"grpProject", "grpDesign", "grpExtras"};
    const int links[3][3] = {{3, 0, 1}, {2, 0, -1}, {4, -1, -1}};
    for (int g = 0; g < 3; ++g) {
      TuiNavBarGroup* group = bar->Groups()->Add();
      group->SetName(groupNames[g]);
      group->SetCaption(std::string(groupNames[g] + 3));
      group->SetHint("Group hint " + std::to_string(g));
      group->SetLargeImageIndex(20 + g);
      group->SetSmallImageIndex(g);
      group->SetTag(g * 11);
      for (int l : links[g])
        if (l >= 0) group->AddLink(bar->Items()->Items(l));
    }
    TuiNavBarGroup* design = bar->Groups()->Items(1);
    design->SetExpanded(false);
    design->SetLinksUseSmallImages(false);
    design->SetUseSmallImages(false);
    design->SetShowAsIconView(true);
    design->SetShowExpandButton(false);
    TuiNavBarGroup* project = bar->Groups()->Items(0);
    project->SetTopVisibleLinkIndex(1);
    project->SetSelectedLinkIndex(2);
    bar->Groups()->Items(2)->SetVisible(false);
    const int storedGroupStyles[5] = {0, 2, 3, 6, 7};
    for (int s = 0; s < 5; ++s) project->SetGroupStyle(storedGroupStyles[s], bar->Styles()->Items(s % 3));
    design->SetGroupStyle(2, bar->Styles()->Items(1));
    for (int i = 0; i < TuiCustomNavBar::ControlStyleCount; ++i) bar->SetStyleItem(i, bar->Styles()->Items(2 - i % 3));
    bar->SetActiveGroupIndex(1);
    bar->SetNavigationPaneMaxVisibleGroups(2);
    return bar;
  }

  // A different, small bar that a damaged load must leave alone.
  TuiNavBar* plainBar() {
    TuiNavBar* bar = newBar();
    bar->Styles()->Add()->Style()->SetBackColor(clLime);
    TuiNavBarItem* item = bar->Items()->Add();
    item->SetName("itmOnly");
    item->SetCaption("Only");
    TuiNavBarGroup* group = bar->Groups()->Add();
    group->SetCaption("Alone");
    group->AddLink(item);
    bar->SetStyleItem(0, bar->Styles()->Items(0));
    return bar;
  }

  std::string path(const std::string& name) { return hostPath(name); }

  std::unique_ptr<TForm> form;
};

TEST_F(LayoutStorage, ARichBarSavedAndLoadedIntoAFreshBarIsTheSameBar) {
  TuiNavBar* bar = richBar();
  {
    TIniFile ini(path("layout.ini"));
    bar->SaveToIniFile(&ini);
  }
  const std::string before = describe(bar);
  // The loaded bar shares the form: items and groups the file names are
  // new ones there and keep their stored names only where they are free.
  std::unique_ptr<TForm> other(TForm::CreateNew(nullptr));
  auto* fresh = new TuiNavBar(other.get());
  fresh->SetParent(other.get());
  fresh->SetAllowSelectLinks(true);
  TIniFile ini(path("layout.ini"));
  fresh->LoadFromIniFile(&ini);
  EXPECT_EQ(describe(fresh), before);

  // The things a careless reader loses, spelled out.
  EXPECT_EQ(fresh->View(), 10);
  EXPECT_EQ(fresh->Styles()->Items(1)->Style()->AssignedValues(),
            (TuiBarStyleAssignedValues{savBackColor, savAlphaBlending2, savVAlignment, savImage}));
  ASSERT_NE(fresh->Styles()->Items(1)->Style()->Image()->Graphic(), nullptr);
  EXPECT_EQ(fresh->Groups()->Items(0)->Links(0)->Item()->Name(), "itmMusic");
  EXPECT_EQ(fresh->Groups()->Items(1)->Links(0)->Item(), fresh->Items()->Items(2));
}

TEST_F(LayoutStorage, LoadingIntoTheSameBarChangesNothingAndWithoutStylesLeavesStylesAlone) {
  TuiNavBar* bar = richBar();
  TMemIniFile ini("");
  bar->SaveToIniFile(&ini);
  const std::string saved = describe(bar);
  bar->LoadFromIniFile(&ini);
  EXPECT_EQ(describe(bar), saved);

  // Without styles: the styles and every style property stay as they are.
  TuiNavBar* plain = plainBar();
  TuiNavBarStyleItem* style = plain->Styles()->Items(0);
  plain->LoadFromIniFile(&ini, false);
  ASSERT_EQ(plain->Styles()->Count(), 1);
  EXPECT_EQ(plain->Styles()->Items(0), style);
  EXPECT_EQ(plain->StyleBackground(), style);
  for (int i = 0; i < plain->Items()->Count(); ++i)
    for (int s = 0; s < TuiNavBarItem::ItemStyleCount; ++s) EXPECT_EQ(plain->Items()->Items(i)->ItemStyle(s), nullptr);
}

// The file's links name its items; the bar's items may stand in another
// order, and an item found by its caption is updated, not added again.
TEST_F(LayoutStorage, LinksFindTheStoredItemsWhereverTheBarHasThem) {
  TMemIniFile ini("");
  ini.WriteInteger("Layout", "ItemCount", 3);
  ini.WriteString("Item0", "Name", "itmA");
  ini.WriteString("Item0", "Caption", "A");
  ini.WriteString("Item1", "Caption", "B");  // no name: found by caption
  ini.WriteString("Item2", "Name", "itmC");
  ini.WriteString("Item2", "Caption", "C");
  ini.WriteInteger("Layout", "GroupCount", 1);
  ini.WriteInteger("Group0", "LinkCount", 3);
  ini.WriteInteger("Group0", "Link0ItemIndex", 2);
  ini.WriteInteger("Group0", "Link1ItemIndex", 0);
  ini.WriteInteger("Group0", "Link2ItemIndex", 1);

  TuiNavBar* bar = newBar();
  const char* const order[3][2] = {{"itmC", "C"}, {"itmB2", "B"}, {"itmA", "A"}};
  for (auto [name, caption] : order) {
    TuiNavBarItem* item = bar->Items()->Add();
    item->SetName(name);
    item->SetCaption(caption);
  }
  bar->LoadFromIniFile(&ini);
  ASSERT_EQ(bar->Items()->Count(), 3);
  ASSERT_EQ(bar->Groups()->Count(), 1);
  TuiNavBarGroup* group = bar->Groups()->Items(0);
  ASSERT_EQ(group->LinkCount(), 3);
  EXPECT_EQ(group->Links(0)->Item()->Name(), "itmC");
  EXPECT_EQ(group->Links(1)->Item()->Name(), "itmA");
  EXPECT_EQ(group->Links(2)->Item()->Name(), "itmB2");
}

// Group controls belong to the form: a layout hands each to the group that
// names it, and frees the ones no group names any longer.
TEST_F(LayoutStorage, GroupControlsGoToTheGroupThatNamesThemAndTheRestAreFreed) {
  TuiNavBar* bar = newBar();
  TuiNavBarGroup* groups[2];
  for (int g = 0; g < 2; ++g) {
    groups[g] = bar->Groups()->Add();
    groups[g]->SetName(g == 0 ? "grpA" : "grpB");
    groups[g]->SetUseControl(true);
  }
  TuiNavBarGroupControl* controlA = groups[0]->Control();
  ASSERT_EQ(controlA->Name(), "grpAControl");
  TMemIniFile ini("");
  bar->SaveToIniFile(&ini);
  EXPECT_EQ(ini.ReadString("Group1", "ControlName", ""), "grpBControl");
  ini.WriteBool("Group0", "UseControl", false);
  ini.WriteString("Group1", "ControlName", "grpAControl");
  ini.WriteBool("Group1", "ShowControl", false);

  bar->LoadFromIniFile(&ini);
  EXPECT_EQ(groups[1]->Control(), controlA);
  EXPECT_EQ(controlA->Group(), groups[1]);
  EXPECT_TRUE(groups[1]->UseControl());
  EXPECT_FALSE(groups[1]->ShowControl());
  EXPECT_EQ(groups[0]->Control(), nullptr);
  EXPECT_FALSE(groups[0]->UseControl());
  EXPECT_EQ(form->FindComponent("grpBControl"), nullptr);
}

TEST_F(LayoutStorage, SavingErasesOnlyTheLayoutsSectionsAndLeavesTheRest) {
  const std::string file = writeFile("store.ini",
                                     "[MyItems]\r\nkeep=1\r\n[Grouping]\r\nkeep=2\r\n[Item9]\r\nCaption=stale\r\n"
                                     "[group7]\r\nCaption=stale\r\n[Style01]\r\nkeep=3\r\n");
  TuiNavBar* bar = plainBar();
  TIniFile ini(file);
  bar->SaveToIniFile(&ini);
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(sections.CommaText(), "MyItems,Grouping,Style01,Layout,Style0,Item0,Group0");
  EXPECT_EQ(ini.ReadString("MyItems", "keep", ""), "1");
  EXPECT_FALSE(ini.ValueExists("Layout", "ImageProbe"));
}

// What an INI store cannot keep is refused before the store changes: a
// line break would start a line of its own, and a picture longer than a
// file reads back would be cut.
TEST_F(LayoutStorage, ASaveTheStoreCannotKeepIsRefusedWithTheStoreUntouched) {
  struct Case {
    const char* name;
    std::function<void(TuiNavBar*)> spoil;
    const char* message;
  };
  const Case cases[] = {
      {"caption", [](TuiNavBar* bar) { bar->Items()->Items(0)->SetCaption("On\r\nly"); }, "\"Caption\" of itmOnly"},
      {"hint", [](TuiNavBar* bar) { bar->Groups()->Items(0)->SetHint("a\nb"); }, "\"Hint\""},
      {"picture",
       [](TuiNavBar* bar) {
         // 40 x 40 at 24 bits: 4854 bytes, far beyond 2047 hexadecimal digits.
         bar->Styles()->Items(0)->Style()->Image()->SetGraphic(picture(40, 40).get());
       },
       "section \"Style0\" is longer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = writeFile("store.ini", "[Layout]\r\nView=3\r\n[Other]\r\nx=1\r\n");
    TuiNavBar* bar = plainBar();
    c.spoil(bar);
    TIniFile ini(file);
    try {
      bar->SaveToIniFile(&ini);
      ADD_FAILURE() << "saved";
    } catch (const EuiNavBarLayoutError& e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
    EXPECT_EQ(readFile(file), "[Layout]\r\nView=3\r\n[Other]\r\nx=1\r\n");
    delete bar;
  }
}

// Damaged layouts. A row with a message is refused with that error and the
// bar left exactly as it was; a row without one loads, all but the entry
// that cannot be.
TEST_F(LayoutStorage, DamagedLayoutsAreRefusedWholeOrLoseOnlyTheBadEntry) {
  struct Case {
    const char* name;
    std::function<void(TMemIniFile&)> damage;
    const char* message;
    std::function<void(TuiNavBar*)> check;
  };
  const auto picturesOf = [](TuiNavBar* bar) { return bar->Styles()->Items(1)->Style(); };
  const Case cases[] = {
      {"item count far too large", [](TMemIniFile& f) { f.WriteString("Layout", "ItemCount", "100000000"); },
       "\"ItemCount\" in section \"Layout\"", nullptr},
      {"negative group count", [](TMemIniFile& f) { f.WriteInteger("Layout", "GroupCount", -1); }, "\"GroupCount\"",
       nullptr},
      {"count without its sections", [](TMemIniFile& f) { f.EraseSection("Item3"); }, "section \"Item3\" is missing",
       nullptr},
      {"style index out of range", [](TMemIniFile& f) { f.WriteInteger("Layout", "StyleHintStyleIndex", 3); },
       "\"StyleHintStyleIndex\" in section \"Layout\"", nullptr},
      {"negative item style index", [](TMemIniFile& f) { f.WriteInteger("Item1", "StylePressedStyleIndex", -1); },
       "\"StylePressedStyleIndex\" in section \"Item1\"", nullptr},
      {"gradient beyond its modes", [](TMemIniFile& f) { f.WriteInteger("Style2", "GradientMode", 4); },
       "\"GradientMode\" in section \"Style2\"", nullptr},
      {"caption with a line break", [](TMemIniFile& f) { f.WriteString("Group1", "Caption", "Des\r\nign"); },
       "\"Caption\" in section \"Group1\"", nullptr},
      {"picture hex cut short", [](TMemIniFile& f) { f.WriteString("Style1", "Image", f.ReadString("Style1", "Image", "").substr(0, 101)); },
       "picture of section \"Style1\"", nullptr},
      {"picture bytes cut short",
       [](TMemIniFile& f) { f.WriteString("Style1", "Image", f.ReadString("Style1", "Image", "").substr(0, 100)); },
       "picture of section \"Style1\"", nullptr},
      {"two items of one name", [](TMemIniFile& f) { f.WriteString("Item3", "Name", "ITMWINDOW"); },
       "section \"Item3\" names \"ITMWINDOW\" as section \"Item1\"", nullptr},
      {"links to items that do not exist",
       [](TMemIniFile& f) {
         f.WriteInteger("Group0", "Link1ItemIndex", 5);
         f.WriteInteger("Group0", "Link2ItemIndex", -2);
       },
       nullptr,
       [](TuiNavBar* bar) {
         ASSERT_EQ(bar->Groups()->Items(0)->LinkCount(), 1);
         EXPECT_EQ(bar->Groups()->Items(0)->Links(0)->Item()->Name(), "itmMusic");
       }},
      {"link count far beyond the links", [](TMemIniFile& f) { f.WriteInteger("Group1", "LinkCount", 2000000000); },
       nullptr, [](TuiNavBar* bar) { EXPECT_EQ(bar->Groups()->Items(1)->LinkCount(), 2); }},
      {"image class that is no picture", [](TMemIniFile& f) { f.WriteString("Style1", "ImageClass", "TuiNavBarStyleItem"); },
       nullptr,
       [picturesOf](TuiNavBar* bar) {
         EXPECT_EQ(picturesOf(bar)->Image()->Graphic(), nullptr);
         EXPECT_FALSE(picturesOf(bar)->AssignedValues().Contains(savImage));
         EXPECT_EQ(bar->Items()->Count(), 5);
       }},
      {"image class nobody registered", [](TMemIniFile& f) { f.WriteString("Style1", "ImageClass", "TNoPicture"); },
       nullptr, [picturesOf](TuiNavBar* bar) { EXPECT_EQ(picturesOf(bar)->Image()->Graphic(), nullptr); }},
  };
  TMemIniFile good("");
  {
    // Gone before the loads, so that the loaded items may take its names.
    std::unique_ptr<TuiNavBar> rich(richBar());
    rich->SaveToIniFile(&good);
  }
  TStringList goodLines;
  good.GetStrings(&goodLines);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemIniFile file("");
    file.SetStrings(&goodLines);
    c.damage(file);
    TuiNavBar* bar = c.message ? plainBar() : newBar();
    const std::string before = describe(bar);
    try {
      bar->LoadFromIniFile(&file);
      if (c.message) ADD_FAILURE() << "loaded";
      if (c.check) c.check(bar);
    } catch (const EuiNavBarLayoutError& e) {
      if (!c.message) ADD_FAILURE() << "refused: " << e.Message();
      else EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
      EXPECT_EQ(describe(bar), before);
    }
    delete bar;
  }
}

// Files that hold no layout at all, and a picture that a file cut at its
// 2048-byte read buffer.
TEST_F(LayoutStorage, AFileThatIsNoLayoutOrWasCutByTheLineLimitIsRefused) {
  std::string png = "\x89PNG\r\n\x1a\n";
  png += std::string("\0\0\0\rIHDR\0\0\0\x01", 12) + "[Item0]\nCaption=x";
  {
    TuiNavBar* donor = plainBar();
    donor->Styles()->Items(0)->Style()->Image()->SetGraphic(picture(40, 40).get());
    TMemIniFile memory("");
    donor->SaveToIniFile(&memory);
    memory.Rename(path("cut.ini"), false);
    memory.UpdateFile();
    delete donor;
  }
  const struct {
    std::string file;
    const char* message;
  } cases[] = {
      {writeFile("picture.png", png), "no navigation bar layout"},
      {writeFile("words.txt", "Dear reader,\nthis is a letter.\n"), "no navigation bar layout"},
      {writeFile("empty.ini", ""), "no navigation bar layout"},
      {path("cut.ini"), "picture of section \"Style0\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TuiNavBar* bar = plainBar();
    const std::string before = describe(bar);
    TIniFile ini(c.file);
    try {
      bar->LoadFromIniFile(&ini);
      ADD_FAILURE() << "loaded";
    } catch (const EuiNavBarLayoutError& e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
    EXPECT_EQ(describe(bar), before);
    delete bar;
  }
}

}  // namespace
