// The drag manager with real mouse input on a form: an item dragged from one
// list box to another, the threshold, Escape cancelling, the capture and the
// cursors on the way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/DragManager.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/os/user/User.h"

namespace {

class DragDropTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    form = TForm::CreateNew(nullptr);
    form->SetBounds(100, 100, 400, 300);
    left = new TListBox(form);
    left->SetParent(form);
    left->SetBounds(10, 10, 150, 200);
    left->Items()->Add("alpha");
    left->Items()->Add("beta");
    left->Items()->Add("gamma");
    right = new TListBox(form);
    right->SetParent(form);
    right->SetBounds(200, 10, 150, 200);
    form->Show();
    qv::os::pumpMessages();

    // The usual way to drag from a list box: the press selects the item,
    // then starts a drag that waits for the threshold.
    left->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { left->BeginDrag(false); };
    right->OnDragOver = [this](TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept) {
      (void)Sender;
      static const char* names[] = {"enter", "leave", "move"};
      log.push_back(std::string("over ") + names[State] + " " + std::to_string(X) + "," + std::to_string(Y));
      Accept = Source == left;
    };
    right->OnDragDrop = [this](TObject*, TObject* Source, int X, int Y) {
      log.push_back("drop " + std::to_string(X) + "," + std::to_string(Y));
      auto* from = dynamic_cast<TListBox*>(Source);
      ASSERT_NE(from, nullptr);
      right->Items()->Add(from->Items()->Strings(from->ItemIndex()));
      from->Items()->Delete(from->ItemIndex());
    };
    left->OnEndDrag = [this](TObject*, TObject* Target, int X, int Y) {
      log.push_back(std::string("end ") + (Target == right ? "right" : Target ? "other" : "none") + " " +
                    std::to_string(X) + "," + std::to_string(Y));
    };
  }
  void TearDown() override {
    delete form;
    qvtest::DesktopTest::TearDown();
  }

  POINT at(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen({x, y});
    return {p.x, p.y};
  }
  void mouse(UINT msg, POINT p) {
    qv::os::injectMouse(msg, p, msg == WM_MOUSEMOVE && qv::classlib::activeDragObject() ? MK_LBUTTON : 0);
    qv::os::pumpMessages();
  }

  TForm* form = nullptr;
  TListBox* left = nullptr;
  TListBox* right = nullptr;
  std::vector<std::string> log;
};

TEST_F(DragDropTest, AnItemMovesFromOneListBoxToTheOther) {
  int y = left->ItemRect(1).top + 3;
  mouse(WM_LBUTTONDOWN, at(left, 20, y));
  ASSERT_EQ(left->ItemIndex(), 1);
  ASSERT_TRUE(left->Dragging());
  EXPECT_NE(GetCapture(), nullptr);
  EXPECT_NE(GetCapture(), left->Handle());  // the drag's own window holds it

  mouse(WM_MOUSEMOVE, at(left, 23, y + 2));  // within the threshold: nothing yet
  EXPECT_FALSE(qv::classlib::dragActivated());
  mouse(WM_MOUSEMOVE, at(left, 60, y));  // over the source, which accepts nothing
  EXPECT_TRUE(qv::classlib::dragActivated());
  EXPECT_EQ(qv::classlib::dragCursor(), crNoDrop);
  mouse(WM_MOUSEMOVE, at(right, 5, 6));
  EXPECT_EQ(qv::classlib::dragCursor(), crDrag);
  mouse(WM_MOUSEMOVE, at(left, 60, y));
  mouse(WM_MOUSEMOVE, at(right, 7, 8));
  mouse(WM_LBUTTONUP, at(right, 7, 8));

  EXPECT_EQ(log, (std::vector<std::string>{"over enter 5,6", "over move 5,6", "over leave 5,6", "over enter 7,8",
                                           "over move 7,8", "over leave 7,8", "drop 7,8", "end right 7,8"}));
  EXPECT_FALSE(left->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(qv::classlib::activeDragObject(), nullptr);
  EXPECT_EQ(left->Items()->Text(), "alpha\r\ngamma\r\n");
  EXPECT_EQ(right->Items()->Text(), "beta\r\n");
}

TEST_F(DragDropTest, EscapeCancelsAndARefusedDropDropsNothing) {
  mouse(WM_LBUTTONDOWN, at(left, 20, 3));
  mouse(WM_MOUSEMOVE, at(right, 5, 6));
  qv::os::injectKey(VK_ESCAPE, true);
  qv::os::pumpMessages();
  EXPECT_FALSE(left->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
  mouse(WM_LBUTTONUP, at(right, 5, 6));
  EXPECT_EQ(log, (std::vector<std::string>{"over enter 5,6", "over move 5,6", "over leave 5,6", "end none 0,0"}));

  // A target that refuses: the drop is not made and the end has no target.
  log.clear();
  right->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& Accept) { Accept = false; };
  mouse(WM_LBUTTONDOWN, at(left, 20, 3));
  mouse(WM_MOUSEMOVE, at(right, 5, 6));
  EXPECT_EQ(qv::classlib::dragCursor(), crNoDrop);
  mouse(WM_LBUTTONUP, at(right, 5, 6));
  EXPECT_EQ(log, (std::vector<std::string>{"end none 0,0"}));
  EXPECT_EQ(right->Count(), 0);
}

TEST_F(DragDropTest, CtrlAsksTheTargetAgainWithoutAMove) {
  right->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& Accept) {
    Accept = GetKeyState(VK_CONTROL) < 0;
  };
  mouse(WM_LBUTTONDOWN, at(left, 20, 3));
  mouse(WM_MOUSEMOVE, at(right, 5, 6));
  EXPECT_EQ(qv::classlib::dragCursor(), crNoDrop);
  qv::os::injectKey(VK_CONTROL, true);
  qv::os::pumpMessages();
  EXPECT_EQ(qv::classlib::dragCursor(), crDrag);
  qv::os::injectKey(VK_CONTROL, false);
  qv::os::pumpMessages();
  EXPECT_EQ(qv::classlib::dragCursor(), crNoDrop);
  // The right button's release drops as the left one's does.
  qv::os::injectKey(VK_CONTROL, true);
  mouse(WM_RBUTTONUP, at(right, 5, 6));
  qv::os::injectKey(VK_CONTROL, false);
  qv::os::pumpMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"drop 5,6", "end right 5,6"}));
}

TEST_F(DragDropTest, AutomaticModeAndReleasingBeforeTheThreshold) {
  left->OnMouseDown = nullptr;
  left->SetDragMode(dmAutomatic);
  left->SetDragCursor(crMultiDrag);
  mouse(WM_LBUTTONDOWN, at(left, 20, 3));
  EXPECT_TRUE(left->Dragging());
  mouse(WM_LBUTTONUP, at(left, 21, 4));
  EXPECT_EQ(log, (std::vector<std::string>{"end none 0,0"}));

  log.clear();
  mouse(WM_LBUTTONDOWN, at(left, 20, 3));
  mouse(WM_MOUSEMOVE, at(right, 5, 6));
  EXPECT_EQ(qv::classlib::dragCursor(), crMultiDrag);
  // The source going away mid-drag ends the drag without a crash.
  delete left;
  left = nullptr;
  EXPECT_EQ(qv::classlib::activeDragObject(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  mouse(WM_LBUTTONUP, at(right, 5, 6));
  EXPECT_EQ(log, (std::vector<std::string>{"over enter 5,6", "over move 5,6", "over leave 5,6"}));
}

}  // namespace
