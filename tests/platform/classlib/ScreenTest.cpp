// The screen object: metrics of the 1024 x 768 desktop, the list of forms
// and the active form, and the cursor table.
#include <gtest/gtest.h>

#include <memory>

#include "DesktopTest.h"
#include "platform/classlib/Forms.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/user/User.h"

namespace {

class ScreenTest : public qvtest::DesktopTest {};

TEST_F(ScreenTest, DescribesTheDesktop) {
  EXPECT_EQ(Screen->Width(), 1024);
  EXPECT_EQ(Screen->Height(), 768);
  TRect desk = Screen->DesktopRect();
  EXPECT_EQ(desk.left, 0);
  EXPECT_EQ(desk.top, 0);
  EXPECT_EQ(desk.right, 1024);
  EXPECT_EQ(desk.bottom, 768);
  EXPECT_EQ(Screen->DesktopWidth(), 1024);
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  TRect area = Screen->WorkAreaRect();
  EXPECT_EQ(area.right, work.right);
  EXPECT_EQ(area.bottom, work.bottom);
  EXPECT_EQ(Screen->WorkAreaHeight(), work.bottom - work.top);
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
  EXPECT_EQ(Screen->MenuFont()->Name(), "Tahoma");
}

TEST_F(ScreenTest, ListsTheFormsWithTheActiveOneFirst) {
  int changes = 0;
  Screen->OnActiveFormChange = [&](TObject*) { ++changes; };
  std::unique_ptr<TForm> a(TForm::CreateNew(nullptr));
  std::unique_ptr<TForm> b(TForm::CreateNew(nullptr));
  ASSERT_EQ(Screen->FormCount(), 2);
  EXPECT_EQ(Screen->Forms(0), a.get());
  EXPECT_EQ(Screen->Forms(1), b.get());
  EXPECT_EQ(Screen->ActiveForm(), nullptr);

  a->Show();
  b->Show();
  EXPECT_EQ(Screen->ActiveForm(), b.get());
  EXPECT_TRUE(b->Active());
  EXPECT_FALSE(a->Active());
  EXPECT_EQ(Screen->Forms(0), b.get());
  EXPECT_EQ(changes, 2);
  EXPECT_THROW(Screen->Forms(2), EListError);

  b.reset();
  EXPECT_EQ(Screen->FormCount(), 1);
  EXPECT_EQ(Screen->CustomForms(0), a.get());
}

TEST_F(ScreenTest, ActiveControlFollowsTheActiveForm) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  auto* first = new TWinControl(form.get());
  first->SetParent(form.get());
  auto* second = new TWinControl(form.get());
  second->SetParent(form.get());
  form->SetActiveControl(second);
  int changes = 0;
  Screen->OnActiveControlChange = [&](TObject*) { ++changes; };
  form->Show();
  EXPECT_EQ(GetFocus(), second->Handle());
  EXPECT_EQ(Screen->ActiveControl(), second);
  form->FocusControl(first);
  EXPECT_EQ(Screen->ActiveControl(), first);
  EXPECT_EQ(changes, 2);
  delete first;
  EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST_F(ScreenTest, TheCursorTableHasTheStandardCursorsAndTakesCustomOnes) {
  EXPECT_EQ(Screen->Cursors(crDefault), LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(Screen->Cursors(crHourGlass), LoadCursor(nullptr, IDC_WAIT));
  EXPECT_EQ(Screen->Cursors(crHandPoint), LoadCursor(nullptr, IDC_HAND));
  EXPECT_EQ(Screen->Cursors(crNone), nullptr);
  // Unknown ids give the default cursor until set.
  EXPECT_EQ(Screen->Cursors(-1120), Screen->Cursors(crDefault));
  HCURSOR custom = LoadCursor(nullptr, IDC_CROSS);
  Screen->SetCursors(-1120, custom);
  EXPECT_EQ(Screen->Cursors(-1120), custom);
  // Controls' cursors come from the same table.
  EXPECT_EQ(qv::classlib::cursorHandle(-1120), custom);

  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
  Screen->SetCursor(-1120);
  EXPECT_EQ(GetCursor(), custom);
  EXPECT_EQ(Screen->Cursor(), -1120);
  Screen->SetCursors(-1120, nullptr);
  EXPECT_EQ(Screen->Cursors(-1120), Screen->Cursors(crDefault));
}

}  // namespace
