// The standard controls on the headless desktop: the event rules, radio
// groups, typing into an edit, clicks on check boxes, list and combo items,
// check list boxes, and buttons handing their ModalResult to the form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"

namespace {

class TStdRoot : public TCustomControl {
  QV_CLASS(TStdRoot, TCustomControl)
  explicit TStdRoot(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle.Include(csAcceptsControls); }

 protected:
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
  }
};

class StdCtrlsTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    owner = new TComponent(nullptr);
    root = new TStdRoot(owner);
    root->SetBounds(100, 100, 300, 200);
  }
  void TearDown() override {
    qv::classlib::setModalResultSetter({});
    delete owner;
    qvtest::DesktopTest::TearDown();
  }
  template <class T>
  T* add(TWinControl* parent, TRect r) {
    T* c = new T(owner);
    c->SetBounds(r.left, r.top, r.right, r.bottom);
    c->SetParent(parent);
    return c;
  }
  // A click at a point of the control's client area, through the input queue.
  static void click(TControl* c, int x, int y, bool ctrl = false) {
    if (ctrl) qv::os::injectKey(VK_CONTROL, true);
    TPoint p = c->ClientToScreen({x, y});
    qv::os::injectClick(p);
    if (ctrl) qv::os::injectKey(VK_CONTROL, false);
    qv::os::pumpMessages();
  }
  static void type(const std::string& s) {
    for (char ch : s) qv::os::injectChar(ch);
    qv::os::pumpMessages();
  }
  static int beeps() { return static_cast<int>(qv::desktop::Recorder::eventsOf("beep").size()); }

  TComponent* owner = nullptr;
  TStdRoot* root = nullptr;
};

// Code that sets a property fires exactly the events the class library fires,
// with and without a window.
TEST_F(StdCtrlsTest, PropertiesSetInCodeFireTheClassLibrarysEvents) {
  for (bool windowed : {false, true}) {
    SCOPED_TRACE(windowed ? "with window" : "without window");
    std::vector<std::string> log;
    auto* box = add<TCheckBox>(root, {0, 0, 80, 17});
    auto* radio = add<TRadioButton>(root, {0, 20, 80, 17});
    auto* edit = add<TEdit>(root, {0, 40, 80, 21});
    auto* list = add<TListBox>(root, {0, 70, 80, 60});
    auto* combo = add<TComboBox>(root, {100, 0, 80, 21});
    list->Items()->SetCommaText("a,b,c");
    combo->Items()->SetCommaText("x,y");
    if (windowed) root->HandleNeeded();
    box->OnClick = [&](TObject*) { log.push_back("box " + std::to_string(box->State())); };
    radio->OnClick = [&](TObject*) { log.push_back("radio " + std::to_string(radio->Checked())); };
    edit->OnChange = [&](TObject*) { log.push_back("edit " + edit->Text()); };
    list->OnClick = [&](TObject*) { log.push_back("list"); };
    combo->OnChange = [&](TObject*) { log.push_back("combo change"); };
    combo->OnSelect = [&](TObject*) { log.push_back("combo select"); };

    box->SetChecked(true);
    box->SetChecked(true);  // no change, no click
    box->SetState(cbGrayed);
    radio->SetChecked(true);
    radio->SetChecked(false);  // unchecking fires nothing
    edit->SetText("hi");
    edit->SetText("hi");
    list->SetItemIndex(2);
    combo->SetItemIndex(1);
    combo->SetText("typed");
    EXPECT_EQ(log, (std::vector<std::string>{"box 1", "box 2", "radio 1", "edit hi"}));
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(combo->ItemIndex(), 1);
    // Messages from outside go the same way.
    log.clear();
    if (windowed) {
      SendMessage(box->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
      EXPECT_EQ(SendMessage(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
      SetWindowText(edit->Handle(), "out");
      EXPECT_EQ(SendMessage(list->Handle(), LB_SETCURSEL, 0, 0), 0);
      EXPECT_EQ(log, (std::vector<std::string>{"box 0", "edit out"}));
      EXPECT_EQ(list->ItemIndex(), 0);
    }
    delete box;
    delete radio;
    delete edit;
    delete list;
    delete combo;
  }
}

TEST_F(StdCtrlsTest, RadioButtonsAreExclusiveWithinTheirParentOnly) {
  auto* groupA = add<TGroupBox>(root, {0, 0, 140, 100});
  auto* groupB = add<TGroupBox>(root, {150, 0, 140, 100});
  auto* a1 = add<TRadioButton>(groupA, {8, 20, 100, 17});
  auto* a2 = add<TRadioButton>(groupA, {8, 40, 100, 17});
  auto* b1 = add<TRadioButton>(groupB, {8, 20, 100, 17});
  auto* loose = add<TRadioButton>(root, {8, 120, 100, 17});
  a1->SetChecked(true);
  b1->SetChecked(true);
  loose->SetChecked(true);
  root->HandleNeeded();
  click(a2, 5, 8);
  EXPECT_FALSE(a1->Checked());
  EXPECT_TRUE(a2->Checked());
  EXPECT_TRUE(b1->Checked());
  EXPECT_TRUE(loose->Checked());
  EXPECT_EQ(SendMessage(a1->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(StdCtrlsTest, ClicksToggleACheckBoxThroughItsStates) {
  auto* box = add<TCheckBox>(root, {10, 10, 100, 17});
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  root->HandleNeeded();
  click(box, 5, 8);
  EXPECT_EQ(box->State(), cbChecked);
  box->SetAllowGrayed(true);
  click(box, 50, 8);  // on the caption too
  EXPECT_EQ(box->State(), cbGrayed);
  click(box, 5, 8);
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(clicks, 3);
  // Space on the focused box toggles it as well.
  box->SetFocus();
  type(" ");
  EXPECT_TRUE(box->Checked());
}

TEST_F(StdCtrlsTest, TypingIntoAnEditEditsAtTheCaret) {
  auto* edit = add<TEdit>(root, {10, 10, 120, 21});
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  root->HandleNeeded();
  click(edit, 5, 10);
  ASSERT_TRUE(edit->Focused());
  type("helo");
  qv::os::injectKey(VK_LEFT, true);
  qv::os::injectKey(VK_LEFT, false);
  type("l");
  EXPECT_EQ(edit->Text(), "hello");
  EXPECT_EQ(edit->SelStart(), 4);
  qv::os::injectKey(VK_END, true);
  type("\b\b");
  EXPECT_EQ(edit->Text(), "hel");
  EXPECT_EQ(changes, 7);
  // A selection is replaced by what is typed.
  edit->SetSelStart(0);
  edit->SetSelLength(2);
  EXPECT_EQ(edit->SelText(), "he");
  type("J");
  EXPECT_EQ(edit->Text(), "Jl");
  edit->SetSelText("-");
  EXPECT_EQ(edit->Text(), "J-l");
}

// OnKeyPress can drop or replace a key; keys the edit cannot take beep and
// change nothing.
TEST_F(StdCtrlsTest, RefusedAndDroppedKeysLeaveTheTextAlone) {
  auto* edit = add<TEdit>(root, {10, 10, 120, 21});
  edit->OnKeyPress = [](TObject*, char& key) {
    if (key >= '0' && key <= '9') key = 0;
    if (key == 'a') key = 'A';
  };
  root->HandleNeeded();
  edit->SetFocus();
  type("a1b2");
  EXPECT_EQ(edit->Text(), "Ab");
  EXPECT_EQ(beeps(), 0);

  edit->SetMaxLength(3);
  type("cd");
  EXPECT_EQ(edit->Text(), "Abc");
  EXPECT_EQ(beeps(), 1);
  edit->SetReadOnly(true);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  type("x\b");
  qv::os::injectKey(VK_DELETE, true);
  qv::os::pumpMessages();
  EXPECT_EQ(edit->Text(), "Abc");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(beeps(), 4);
}

TEST_F(StdCtrlsTest, ListBoxSelectsByClickAndReportsItsGeometry) {
  auto* list = add<TListBox>(root, {10, 10, 100, 52});  // 3 rows of 16 inside the edge
  list->Items()->SetCommaText("delta,alpha,charlie,bravo,echo");
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  root->HandleNeeded();
  TRect r = list->ItemRect(1);
  EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}), (std::vector<int>{0, 16, list->ClientWidth(), 32}));
  EXPECT_EQ(list->ItemAtPos({5, 20}, true), 1);
  EXPECT_EQ(list->ItemAtPos({5, 200}, true), -1);
  EXPECT_EQ(list->ItemAtPos({5, 200}, false), 5);
  click(list, 20, 20);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  // The selection follows the arrow keys and scrolls into view.
  qv::os::injectKey(VK_END, true);
  qv::os::pumpMessages();
  EXPECT_EQ(list->ItemIndex(), 4);
  EXPECT_EQ(list->TopIndex(), 2);
  EXPECT_EQ(list->ItemAtPos({5, 2}, true), 2);
  EXPECT_EQ(clicks, 2);

  list->SetSorted(true);
  EXPECT_EQ(list->Items()->CommaText(), "alpha,bravo,charlie,delta,echo");
  EXPECT_THROW(list->Selected(5), EListError);
}

TEST_F(StdCtrlsTest, MultiSelectListTogglesWithCtrl) {
  auto* list = add<TListBox>(root, {10, 10, 100, 100});
  list->Items()->SetCommaText("a,b,c,d");
  list->SetMultiSelect(true);
  root->HandleNeeded();
  click(list, 5, 5);
  click(list, 5, 37, true);
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_TRUE(list->Selected(0));
  EXPECT_TRUE(list->Selected(2));
  click(list, 5, 21);  // a plain click selects only that one
  EXPECT_EQ(list->SelCount(), 1);
  EXPECT_TRUE(list->Selected(1));
  list->SetSelected(3, true);
  EXPECT_EQ(list->SelCount(), 2);
}

TEST_F(StdCtrlsTest, ComboBoxChoiceByDropDownAndKeys) {
  auto* combo = add<TComboBox>(root, {10, 10, 120, 21});
  combo->SetStyle(csDropDownList);
  combo->Items()->SetCommaText("red,green,blue");
  std::vector<std::string> log;
  combo->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(combo->ItemIndex())); };
  combo->OnSelect = [&](TObject*) { log.push_back("select " + std::to_string(combo->ItemIndex())); };
  root->HandleNeeded();
  click(combo, 30, 10);
  ASSERT_TRUE(combo->DroppedDown());
  // The list opens below the box; its second row is green.
  int row = combo->ItemHeight();
  TPoint item = combo->ClientToScreen({20, combo->Height() + 1 + row + row / 2});
  qv::os::injectClick(item);
  qv::os::pumpMessages();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "green");
  qv::os::injectKey(VK_DOWN, true);
  qv::os::pumpMessages();
  EXPECT_EQ(combo->Text(), "blue");
  EXPECT_EQ(log, (std::vector<std::string>{"change 1", "select 1", "change 2", "select 2"}));
  EXPECT_EQ(SendMessage(combo->Handle(), CB_GETCURSEL, 0, 0), 2);
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
}

TEST_F(StdCtrlsTest, DropDownComboTypesIntoItsEditPart) {
  auto* combo = add<TComboBox>(root, {10, 10, 120, 21});
  combo->Items()->SetCommaText("one,two");
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  root->HandleNeeded();
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Text(), "one");
  combo->SetFocus();
  type("\b\b\bTwo");
  EXPECT_EQ(combo->Text(), "Two");
  EXPECT_EQ(combo->ItemIndex(), 1);  // the list matches ignoring case
  EXPECT_EQ(changes, 6);
}

TEST_F(StdCtrlsTest, CheckListBoxTogglesOnTheBoxAndReportsIt) {
  auto* list = add<TCheckListBox>(root, {10, 10, 120, 100});
  list->Items()->SetCommaText("a,b,c");
  std::vector<std::string> log;
  list->OnClickCheck = [&](TObject*) { log.push_back("check " + std::to_string(list->ItemIndex())); };
  list->OnClick = [&](TObject*) { log.push_back("click " + std::to_string(list->ItemIndex())); };
  list->SetChecked(2, true);  // code fires nothing
  root->HandleNeeded();
  click(list, 8, 21);     // the box of b
  click(list, 60, 37);    // the text of c: selects only
  EXPECT_EQ(log, (std::vector<std::string>{"click 1", "check 1", "click 2"}));
  EXPECT_TRUE(list->Checked(1));
  EXPECT_TRUE(list->Checked(2));
  EXPECT_FALSE(list->Checked(0));
  list->SetAllowGrayed(true);
  list->SetFocus();
  type("  ");
  EXPECT_EQ(list->State(2), cbUnchecked);
  list->SetItemEnabled(0, false);
  click(list, 8, 5);
  EXPECT_FALSE(list->Checked(0));
  list->Items()->Add("d");
  EXPECT_FALSE(list->Checked(3));
  EXPECT_THROW(list->Checked(4), EListError);
}

TEST_F(StdCtrlsTest, ButtonHandsItsModalResultToTheFormAndAnswersDialogKeys) {
  auto* ok = add<TButton>(root, {10, 10, 75, 25});
  auto* cancel = add<TButton>(root, {100, 10, 75, 25});
  ok->SetModalResult(1);
  ok->SetDefault(true);
  cancel->SetModalResult(2);
  cancel->SetCancel(true);
  std::vector<std::string> log;
  qv::classlib::setModalResultSetter([&](TWinControl* form, TModalResult r) {
    log.push_back((form == root ? "root " : "other ") + std::to_string(r));
  });
  ok->OnClick = [&](TObject*) { log.push_back("ok click"); };
  root->HandleNeeded();
  click(ok, 10, 10);
  EXPECT_EQ(cancel->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(ok->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"root 1", "ok click", "root 2"}));
}

// Two quick clicks on a push button are two clicks: the platform's push
// button takes the second press of a double click as a press of its own.
TEST_F(StdCtrlsTest, TwoQuickClicksOnAButtonAreTwoClicks) {
  auto* button = add<TButton>(root, {10, 10, 75, 25});
  root->HandleNeeded();
  int clicks = 0, doubleClicks = 0, secondPresses = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  button->OnDblClick = [&](TObject*) { ++doubleClicks; };
  auto handler = button->WindowProc;
  button->WindowProc = [&, handler](TMessage& m) {
    if (m.Msg == WM_LBUTTONDBLCLK) ++secondPresses;
    handler(m);
  };
  click(button, 20, 10);
  click(button, 20, 10);
  ASSERT_EQ(secondPresses, 1);  // the window saw a double click
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(doubleClicks, 0);
}

TEST_F(StdCtrlsTest, LabelAutoSizesToItsTextAndWrapsWithinItsWidth) {
  auto* label = new TLabel(owner);
  label->SetParent(root);
  label->SetCaption("Hello");
  SIZE s = qv::classlib::measureText(label->Font(), "Hello");
  EXPECT_EQ(label->Width(), s.cx);
  EXPECT_EQ(label->Height(), s.cy);
  label->SetWordWrap(true);
  label->SetAutoSize(false);
  label->SetWidth(s.cx + 2);
  label->SetAutoSize(true);
  label->SetCaption("Hello Hello");
  EXPECT_EQ(label->Height(), 2 * s.cy);
  int clicks = 0;
  label->OnClick = [&](TObject*) { ++clicks; };
  root->HandleNeeded();
  click(label, 2, 2);
  EXPECT_EQ(clicks, 1);

  // Its accelerator focuses its FocusControl.
  auto* edit = add<TEdit>(root, {100, 10, 80, 21});
  label->SetCaption("&Name && more");
  label->SetFocusControl(edit);
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'm', 0), 0);
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'n', 0), 1);
  EXPECT_TRUE(edit->Focused());
  delete edit;  // the label forgets it
  EXPECT_EQ(label->FocusControl(), nullptr);
}

// Each control paints its state: a checked box, a chosen list item, a
// pressed radio button differ from their plain selves.
TEST_F(StdCtrlsTest, ControlsPaintTheirState) {
  auto paint = [](TWinControl* c) {
    TBitmap bmp;
    bmp.SetSize(c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp.Canvas()->Handle()), 0);
    std::vector<COLORREF> px;
    for (int y = 0; y < c->Height(); ++y)
      for (int x = 0; x < c->Width(); ++x) px.push_back(GetPixel(bmp.Canvas()->Handle(), x, y));
    return px;
  };
  auto* box = add<TCheckBox>(root, {0, 0, 60, 17});
  auto* radio = add<TRadioButton>(root, {0, 20, 60, 17});
  auto* list = add<TListBox>(root, {0, 40, 60, 40});
  auto* combo = add<TComboBox>(root, {0, 90, 60, 21});
  auto* edit = add<TEdit>(root, {0, 120, 60, 21});
  auto* button = add<TButton>(root, {70, 0, 60, 25});
  auto* group = add<TGroupBox>(root, {70, 30, 60, 40});
  list->Items()->SetCommaText("a,b");
  combo->Items()->SetCommaText("a,b");
  combo->SetStyle(csDropDownList);
  root->HandleNeeded();
  auto boxBefore = paint(box), radioBefore = paint(radio), listBefore = paint(list), comboBefore = paint(combo);
  box->SetChecked(true);
  radio->SetChecked(true);
  list->SetItemIndex(0);
  combo->SetItemIndex(1);
  EXPECT_NE(paint(box), boxBefore);
  EXPECT_NE(paint(radio), radioBefore);
  EXPECT_NE(paint(list), listBefore);
  EXPECT_NE(paint(combo), comboBefore);
  auto editBefore = paint(edit);
  edit->SetText("x");
  EXPECT_NE(paint(edit), editBefore);
  // The classic look: a raised face for the button, an etched frame for the box.
  auto b = paint(button);
  EXPECT_EQ(b[0], GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(b[b.size() - 1], GetSysColor(COLOR_3DDKSHADOW));
  auto g = paint(group);
  EXPECT_EQ(g[static_cast<std::size_t>(30 * 60)], GetSysColor(COLOR_BTNSHADOW));
}

}  // namespace
