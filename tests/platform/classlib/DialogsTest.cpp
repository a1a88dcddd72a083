// The open, save and folder dialogs over scripted answers (a path, cancel,
// a name too long for the buffer), and the message dialogs' records and
// answers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Dialogs.h"
#include "platform/classlib/Forms.h"
#include "platform/com/Ole.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/CommonDialogs.h"
#include "platform/os/user/User.h"

namespace {

using qv::desktop::Recorder;

class DialogsTest : public qvtest::DesktopTest {
 protected:
  std::string win(const std::string& relative) { return qv::os::toWindowsPath(hostPath(relative)); }
};

TEST_F(DialogsTest, OpenDialogRecordsAndTakesTheScriptedPath) {
  writeFile("disc/menu.bmp", "BM");
  TOpenDialog dlg(nullptr);
  dlg.SetTitle("Bild auswählen");
  dlg.SetFilter("Bitmap-Dateien|*.bmp|Alle Dateien|*.*");
  dlg.SetInitialDir(win("disc"));
  dlg.SetFileName("old.bmp");

  // A name without a folder counts from the dialog's folder.
  Recorder::pushAnswer("dialog", "menu.bmp");
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), win("disc/menu.bmp"));
  ASSERT_EQ(dlg.Files()->Count(), 1);
  auto events = Recorder::eventsOf("opendialog");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].fields,
            (std::vector<std::string>{"Bild auswählen", win("disc"), "Bitmap-Dateien|*.bmp|Alle Dateien|*.*"}));

  // Cancelled, or no answer at all: false, and FileName stays.
  Recorder::pushAnswer("dialog", "cancel");
  EXPECT_FALSE(dlg.Execute());
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), win("disc/menu.bmp"));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(DialogsTest, TooLongANameFailsWithBufferTooSmall) {
  char buf[16] = "start";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = buf;
  ofn.nMaxFile = sizeof buf;
  Recorder::pushAnswer("dialog", "C:\\a rather long folder\\name.txt");
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  WORD need = 0;
  std::memcpy(&need, buf, sizeof need);
  EXPECT_EQ(need, std::strlen("C:\\a rather long folder\\name.txt") + 1);

  // The class library's dialog has MAX_PATH characters.
  TSaveDialog dlg(nullptr);
  Recorder::pushAnswer("dialog", "C:\\" + std::string(300, 'x') + ".txt");
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), "");

  // A structure of a wrong size is refused before anything is shown.
  ofn.lStructSize = 12;
  EXPECT_FALSE(GetSaveFileName(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
  EXPECT_TRUE(Recorder::eventsOf("savedialog").size() == 1u);
}

// The dialog refuses a choice as the platform's would and takes the next
// answer: a missing file with ofFileMustExist, a declined overwrite.
TEST_F(DialogsTest, RefusedChoicesTakeTheNextAnswer) {
  writeFile("out/exists.txt", "x");
  TOpenDialog open(nullptr);
  open.SetOptions({ofFileMustExist});
  Recorder::pushAnswer("dialog", win("out/missing.txt"));
  Recorder::pushAnswer("dialog", win("out/exists.txt"));
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(open.FileName(), win("out/exists.txt"));
  EXPECT_EQ(Recorder::eventsOf("msgbox").size(), 1u);

  TSaveDialog save(nullptr);
  save.SetOptions({ofOverwritePrompt});
  save.SetDefaultExt("txt");
  save.SetInitialDir(win("out"));
  Recorder::clearEvents();
  Recorder::pushAnswer("dialog", "exists");  // the default extension makes it exists.txt
  Recorder::pushAnswer("msgbox", "No");
  Recorder::pushAnswer("dialog", "exists.txt");
  Recorder::pushAnswer("msgbox", "Yes");
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), win("out/exists.txt"));
  auto boxes = Recorder::eventsOf("msgbox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].fields[3], "No");
  EXPECT_EQ(boxes[1].fields[3], "Yes");
  EXPECT_FALSE(save.Options().Contains(ofExtensionDifferent));
  // Without ofNoChangeDir the current folder follows the choice.
  char cur[MAX_PATH];
  GetCurrentDirectory(MAX_PATH, cur);
  EXPECT_EQ(std::string(cur), win("out"));
}

struct BrowseData {
  std::string start;
  bool ownerEnabledInCallback = true;
  HWND owner = nullptr;
  std::vector<UINT> messages;
};

int browseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  auto* d = reinterpret_cast<BrowseData*>(data);
  d->messages.push_back(msg);
  if (msg == BFFM_INITIALIZED) {
    d->ownerEnabledInCallback = IsWindowEnabled(d->owner) != FALSE;
    SendMessage(hwnd, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(d->start.c_str()));
  }
  return 0;
}

TEST_F(DialogsTest, FolderBrowserWithItsCallback) {
  writeFile("master/buttons/exit.bmp", "BM");
  BrowseData data;
  data.start = win("master");
  data.owner = Application->Handle();
  char name[MAX_PATH] = {};
  BROWSEINFOA bi{};
  bi.hwndOwner = data.owner;
  bi.pszDisplayName = name;
  bi.lpszTitle = "Geben Sie bitte den Ordner an";
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  bi.lpfn = browseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(&data);

  Recorder::pushAnswer("dialog", "buttons");
  LPITEMIDLIST pidl = SHBrowseForFolder(&bi);
  ASSERT_NE(pidl, nullptr);
  char path[MAX_PATH] = {};
  ASSERT_TRUE(SHGetPathFromIDList(pidl, path));
  EXPECT_EQ(std::string(path), win("master/buttons"));
  EXPECT_STREQ(name, "buttons");
  CoTaskMemFree(pidl);
  EXPECT_EQ(data.messages, (std::vector<UINT>{BFFM_INITIALIZED, BFFM_SELCHANGED}));
  EXPECT_FALSE(data.ownerEnabledInCallback);
  EXPECT_TRUE(IsWindowEnabled(data.owner));
  auto events = Recorder::eventsOf("folderdialog");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].fields, (std::vector<std::string>{"Geben Sie bitte den Ordner an", win("master")}));

  Recorder::pushAnswer("dialog", "cancel");
  EXPECT_EQ(SHBrowseForFolder(&bi), nullptr);
  EXPECT_EQ(SHBrowseForFolder(nullptr), nullptr);
}

TEST_F(DialogsTest, MessageDlgRecordsAndAnswers) {
  struct Case {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    const char* answer;  // null: no scripted answer
    int result;
    std::vector<std::string> fields;
  };
  const std::string confirm = qv::os::ansi(u8"Bestätigen");
  const Case cases[] = {
      {mtConfirmation, {mbYes, mbNo}, "No", mrNo, {confirm, "Text", "mtConfirmation", "Yes,No", "No"}},
      {mtConfirmation, mbYesNoCancel, nullptr, mrYes, {confirm, "Text", "mtConfirmation", "Yes,No,Cancel", "Yes"}},
      {mtWarning, mbOKCancel, "cancel", mrCancel, {"Warnung", "Text", "mtWarning", "OK,Cancel", "Cancel"}},
      {mtError, mbAbortRetryIgnore, nullptr, mrAbort, {"Fehler", "Text", "mtError", "Abort,Retry,Ignore", "Abort"}},
      {mtInformation, {mbOK}, "Maybe", mrOk, {"Information", "Text", "mtInformation", "OK", "OK"}},
      {mtWarning, {mbYes, mbYesToAll, mbNo, mbHelp}, "Yes to all", mrYesToAll,
       {"Warnung", "Text", "mtWarning", "Yes,No,YesToAll,Help", "YesToAll"}},
  };
  for (const Case& c : cases) {
    Recorder::clearEvents();
    if (c.answer) Recorder::pushAnswer("msgbox", c.answer);
    EXPECT_EQ(MessageDlg("Text", c.type, c.buttons, 0), c.result);
    auto events = Recorder::eventsOf("msgdlg");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].fields, c.fields);
  }
  Recorder::clearEvents();
  ShowMessage("Hallo");
  EXPECT_EQ(MessageDlgPos("Pos", mtCustom, {mbOK}, 0, 10, 10), mrOk);
  auto events = Recorder::eventsOf("msgdlg");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].fields, (std::vector<std::string>{Application->Title(), "Hallo", "mtCustom", "OK", "OK"}));
  EXPECT_EQ(events[1].fields[0], Application->Title());
}

}  // namespace
