// Menus: the item tree, short-cut texts, a pop-up menu's recorded items and
// the scripted choice reaching OnClick through the message loop, AutoCheck
// and radio items, and owner-drawn items measured and drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Menus.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/user/User.h"

namespace {

using qv::desktop::Recorder;

void pumpMessages() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
}

class MenusTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    menu = new TPopupMenu(nullptr);
  }
  void TearDown() override {
    delete menu;
    qvtest::DesktopTest::TearDown();
  }
  TMenuItem* item(TMenuItem* parent, const std::string& caption) {
    auto* i = new TMenuItem(menu);
    i->SetCaption(caption);
    i->OnClick = [this](TObject* s) { clicks.push_back(static_cast<TMenuItem*>(s)->Caption()); };
    parent->Add(i);
    return i;
  }
  TPopupMenu* menu = nullptr;
  std::vector<std::string> clicks;
};

TEST_F(MenusTest, ItemTreeAndItsErrors) {
  TMenuItem* root = menu->Items();
  TMenuItem* a = item(root, "&Open");
  TMenuItem* c = item(root, "Close");
  auto* b = new TMenuItem(menu);
  b->SetCaption("-");
  root->Insert(1, b);
  EXPECT_EQ(root->Count(), 3);
  EXPECT_EQ(root->IndexOf(c), 2);
  EXPECT_EQ(b->MenuIndex(), 1);
  EXPECT_TRUE(b->IsLine());
  EXPECT_EQ(root->Find("open"), a);
  EXPECT_EQ(a->GetParentMenu(), menu);
  EXPECT_THROW(root->Add(a), EMenuError);
  EXPECT_THROW(root->Items(3), EMenuError);
  EXPECT_THROW(root->Insert(5, new TMenuItem(menu)), EMenuError);
  root->Delete(1);
  EXPECT_EQ(root->Count(), 2);
  // Freeing an item takes it out of its parent.
  delete c;
  EXPECT_EQ(root->Count(), 1);
  EXPECT_EQ(StripHotkey("Save && &Close"), "Save & Close");
}

TEST_F(MenusTest, ShortCutTexts) {
  struct Case {
    TShortCut shortCut;
    const char* text;
  };
  const Case cases[] = {{ShortCut('S', {ssCtrl}), "Ctrl+S"},
                        {ShortCut(VK_F5, {}), "F5"},
                        {ShortCut(VK_DELETE, {ssShift, ssCtrl}), "Shift+Ctrl+Del"},
                        {ShortCut('1', {ssAlt}), "Alt+1"},
                        {ShortCut(VK_RETURN, {}), "Enter"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << c.text;
  }
  EXPECT_EQ(TextToShortCut("ctrl+s"), ShortCut('S', {ssCtrl}));
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(ShortCutToText(scNone), "");
}

// The menu is recorded as it is shown; the scripted choice is posted as a
// WM_COMMAND, so OnClick runs when the message loop runs, after Popup.
TEST_F(MenusTest, PopupRecordsItemsAndTheChoiceClicksLater) {
  TMenuItem* root = menu->Items();
  item(root, "&Open");
  item(root, "-");
  TMenuItem* save = item(root, "Sa&ve");
  save->SetShortCut(ShortCut('S', {ssCtrl}));
  TMenuItem* hidden = item(root, "Hidden");
  hidden->SetVisible(false);
  TMenuItem* off = item(root, "Off");
  off->SetEnabled(false);
  TMenuItem* more = item(root, "More");
  item(more, "Deep");
  std::vector<std::string> order;
  menu->OnPopup = [&](TObject*) { order.push_back("popup " + std::to_string(Recorder::eventsOf("popupmenu").size())); };

  Recorder::pushAnswer("popupmenu", "Save");
  menu->Popup(40, 50);
  auto events = Recorder::eventsOf("popupmenu");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].fields, (std::vector<std::string>{"40", "50", "&Open|-|Sa&ve\tCtrl+S|Off|More"}));
  EXPECT_EQ(order, std::vector<std::string>{"popup 0"});
  EXPECT_EQ(menu->PopupPoint().x, 40);
  EXPECT_TRUE(clicks.empty());
  pumpMessages();
  EXPECT_EQ(clicks, std::vector<std::string>{"Sa&ve"});

  // A sub-item, a disabled item, a dismissed menu.
  clicks.clear();
  for (const char* answer : {"Deep", "Off", "cancel"}) {
    Recorder::pushAnswer("popupmenu", answer);
    menu->Popup(0, 0);
    pumpMessages();
  }
  EXPECT_EQ(clicks, std::vector<std::string>{"Deep"});
}

TEST_F(MenusTest, AutoCheckAndRadioItems) {
  TMenuItem* root = menu->Items();
  TMenuItem* auto1 = item(root, "Auto");
  auto1->SetAutoCheck(true);
  std::vector<bool> seen;
  auto1->OnClick = [&](TObject*) { seen.push_back(auto1->Checked()); };
  for (int i = 0; i < 2; ++i) {
    Recorder::pushAnswer("popupmenu", "Auto");
    menu->Popup(0, 0);
    pumpMessages();
  }
  // Checked is toggled before OnClick.
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));

  TMenuItem* r1 = item(root, "R1");
  TMenuItem* r2 = item(root, "R2");
  TMenuItem* other = item(root, "Other group");
  for (TMenuItem* r : {r1, r2, other}) r->SetRadioItem(true);
  other->SetGroupIndex(1);
  other->SetChecked(true);
  r1->SetChecked(true);
  r2->SetChecked(true);
  EXPECT_FALSE(r1->Checked());
  EXPECT_TRUE(r2->Checked());
  EXPECT_TRUE(other->Checked());
  // Setting Checked in code fires nothing.
  EXPECT_TRUE(clicks.empty());
  HMENU h = menu->Handle();
  EXPECT_EQ(GetMenuState(h, 2, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(h, 1, MF_BYPOSITION) & MF_CHECKED, 0u);
}

TEST_F(MenusTest, OwnerDrawnItemsAreMeasuredAndDrawn) {
  menu->SetOwnerDraw(true);
  TMenuItem* root = menu->Items();
  TMenuItem* a = item(root, "Alpha");
  TMenuItem* b = item(root, "Beta");
  item(root, "-");
  std::vector<std::string> log;
  for (TMenuItem* i : {a, b}) {
    i->OnMeasureItem = [&log](TObject* s, TCanvas* c, int& w, int& h) {
      log.push_back("measure " + static_cast<TMenuItem*>(s)->Caption() + (w > 0 && h > 0 && c ? " sized" : ""));
      h = 30;
    };
  }
  menu->Popup(5, 5);
  EXPECT_EQ(log, (std::vector<std::string>{"measure Alpha sized", "measure Beta sized"}));
  // Owner-drawn items are recorded by their command ids and answered by them.
  auto events = Recorder::eventsOf("popupmenu");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].fields[2], "#" + std::to_string(a->Command()) + "|#" + std::to_string(b->Command()) + "|-");
  Recorder::pushAnswer("popupmenu", std::to_string(b->Command()));
  menu->Popup(5, 5);
  pumpMessages();
  EXPECT_EQ(clicks, std::vector<std::string>{"Beta"});

  // Drawing: the advanced handler first, then OnDrawItem, then the classic
  // look (the selected item in the highlight colour).
  TBitmap bmp;
  bmp.SetSize(100, 20);
  TOwnerDrawState state{odSelected};
  a->OnAdvancedDrawItem = [&](TObject*, TCanvas*, TRect, TOwnerDrawState s) {
    log.push_back(std::string("advanced") + (s.Contains(odSelected) ? " selected" : ""));
  };
  a->OnDrawItem = [&](TObject*, TCanvas*, TRect, bool selected) { log.push_back(selected ? "draw selected" : "draw"); };
  log.clear();
  a->AdvancedDrawItem(bmp.Canvas(), {0, 0, 100, 20}, state, false);
  a->OnAdvancedDrawItem = nullptr;
  a->AdvancedDrawItem(bmp.Canvas(), {0, 0, 100, 20}, state, false);
  EXPECT_EQ(log, (std::vector<std::string>{"advanced selected", "draw selected"}));
  b->AdvancedDrawItem(bmp.Canvas(), {0, 0, 100, 20}, state, false);
  EXPECT_EQ(static_cast<COLORREF>(bmp.Canvas()->Pixels(90, 2)), ColorToRGB(clHighlight));
  b->AdvancedDrawItem(bmp.Canvas(), {0, 0, 100, 20}, {}, false);
  EXPECT_EQ(static_cast<COLORREF>(bmp.Canvas()->Pixels(90, 2)), ColorToRGB(clMenu));
}

class TMenuRoot : public TComponent {
  QV_CLASS(TMenuRoot, TComponent)
  using TComponent::TComponent;
  std::vector<std::string> clicked;
  void ItemClick(TObject* Sender) { clicked.push_back(As<TComponent>(Sender)->Name()); }
  QV_PUBLISHED(TMenuRoot) { P.Method("ItemClick", &TMenuRoot::ItemClick); }
};
QV_DEFINE_PUBLISHED(TMenuRoot)

// Items nest in the form resource as they do in the menu, and stream back.
TEST_F(MenusTest, ItemsNestInAFormResource) {
  RegisterClasses({TPopupMenu::StaticClass(), TMenuItem::StaticClass()});
  TMenuRoot root(nullptr);
  qv::classlib::readComponentText(R"(object Root: TMenuRoot
  object Popup: TPopupMenu
    AutoPopup = False
    object OpenItem: TMenuItem
      Caption = '&Open'
      ShortCut = 16463
      OnClick = ItemClick
    end
    object ViewItem: TMenuItem
      Caption = 'View'
      object BigItem: TMenuItem
        Caption = 'Big'
        AutoCheck = True
        Checked = True
        RadioItem = True
      end
    end
  end
end
)",
                                  &root);
  auto* popup = dynamic_cast<TPopupMenu*>(root.FindComponent("Popup"));
  ASSERT_NE(popup, nullptr);
  EXPECT_FALSE(popup->AutoPopup());
  ASSERT_EQ(popup->Items()->Count(), 2);
  TMenuItem* view = popup->Items()->Items(1);
  EXPECT_EQ(view->Name(), "ViewItem");
  ASSERT_EQ(view->Count(), 1);
  EXPECT_TRUE(view->Items(0)->Checked());
  EXPECT_EQ(ShortCutToText(popup->Items()->Items(0)->ShortCut()), "Ctrl+O");
  popup->Items()->Items(0)->Click();
  EXPECT_EQ(root.clicked, std::vector<std::string>{"OpenItem"});
  std::string text = qv::classlib::writeComponentText(&root);
  EXPECT_NE(text.find("    object ViewItem: TMenuItem\n      Caption = 'View'\n      object BigItem: TMenuItem"),
            std::string::npos)
      << text;
}

}  // namespace
