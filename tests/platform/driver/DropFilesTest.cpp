// Files dropped from the shell onto a form that accepts them: WM_DROPFILES
// with an HDROP read by DragQueryFile and DragQueryPoint.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/os/user/DropFiles.h"
#include "platform/os/user/User.h"

namespace {

struct Dropped {
  UINT count = 0;
  std::vector<std::string> files;
  POINT point{-1, -1};
  BOOL inClient = FALSE;
  UINT shortCopy = 0;
  std::string shortText;
};

class TDropForm : public TForm {
  QV_CLASS(TDropForm, TForm)
  explicit TDropForm(TComponent* AOwner) : TForm(AOwner, TCreateNew{}) {}
  std::vector<Dropped> drops;

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_DROPFILES) {
      auto drop = reinterpret_cast<HDROP>(Message.WParam);
      Dropped d;
      d.count = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < d.count; ++i) {
        UINT len = DragQueryFile(drop, i, nullptr, 0);
        std::string name(len + 1, '\0');
        EXPECT_EQ(DragQueryFile(drop, i, name.data(), len + 1), len);
        name.resize(len);
        d.files.push_back(name);
      }
      char small[5];
      d.shortCopy = DragQueryFile(drop, 0, small, sizeof small);
      d.shortText = small;
      d.inClient = DragQueryPoint(drop, &d.point);
      DragFinish(drop);
      // Finished: the handle is no longer valid.
      EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0), 0u);
      drops.push_back(d);
      return;
    }
    inherited::WndProc(Message);
  }
};

class DropFilesTest : public qvtest::DesktopTest {};

TEST_F(DropFilesTest, AFormReadsTheDroppedFilesAndThePoint) {
  auto* form = new TDropForm(nullptr);
  form->SetBounds(100, 100, 300, 200);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 100, 22);
  form->Show();
  qv::os::pumpMessages();
  TPoint inEdit = edit->ClientToScreen({5, 5});

  // Not accepting files: the shell drops nothing.
  EXPECT_EQ(qv::os::dropFiles(edit->Handle(), {"C:\\a.txt"}, {inEdit.x, inEdit.y}), nullptr);
  qv::os::pumpMessages();
  EXPECT_TRUE(form->drops.empty());

  DragAcceptFiles(form->Handle(), TRUE);
  EXPECT_TRUE(GetWindowLong(form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  // Over the child, the form (its nearest accepting ancestor) gets them.
  EXPECT_EQ(qv::os::dropFiles(edit->Handle(), {"C:\\Projekte\\disc.qvp", "D:\\setup.exe"}, {inEdit.x, inEdit.y}),
            form->Handle());
  qv::os::pumpMessages();
  ASSERT_EQ(form->drops.size(), 1u);
  const Dropped& d = form->drops[0];
  EXPECT_EQ(d.count, 2u);
  EXPECT_EQ(d.files, (std::vector<std::string>{"C:\\Projekte\\disc.qvp", "D:\\setup.exe"}));
  EXPECT_EQ(d.shortCopy, 4u);
  EXPECT_EQ(d.shortText, "C:\\P");
  TPoint expected = form->ScreenToClient(inEdit);
  EXPECT_EQ(d.point.x, expected.x);
  EXPECT_EQ(d.point.y, expected.y);
  EXPECT_TRUE(d.inClient);

  DragAcceptFiles(form->Handle(), FALSE);
  EXPECT_EQ(qv::os::dropFiles(form->Handle(), {"C:\\b.txt"}, {inEdit.x, inEdit.y}), nullptr);
  delete form;
}

TEST_F(DropFilesTest, BadHandlesGiveZero) {
  POINT p{1, 1};
  char buf[8] = "x";
  HDROP bogus = reinterpret_cast<HDROP>(static_cast<INT_PTR>(0x1234));
  EXPECT_EQ(DragQueryFile(nullptr, 0xFFFFFFFF, nullptr, 0), 0u);
  EXPECT_EQ(DragQueryFile(bogus, 0, buf, sizeof buf), 0u);
  EXPECT_FALSE(DragQueryPoint(bogus, &p));
  DragFinish(bogus);  // nothing happens
  DragAcceptFiles(nullptr, TRUE);
  EXPECT_EQ(qv::os::dropFiles(nullptr, {"C:\\a"}, p), nullptr);
}

}  // namespace
