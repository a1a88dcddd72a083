// The open/save dialog wrapper over the recorded dialogs: what the dialog is
// given, what comes back, cancel, and names longer than its buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/CommonDialogs.h"
#include "runtime/OpenSaveDialog.h"

namespace {

using qv::desktop::Recorder;

class OpenSaveDialogTest : public qvtest::DesktopTest {
 protected:
  std::string win(const std::string& relative) { return qv::os::toWindowsPath(hostPath(relative)); }
};

TEST_F(OpenSaveDialogTest, OpenAndSaveGetFilterTitleFolderAndReturnTheChoice) {
  writeFile("disc/readme.txt", "x");
  writeFile("out/keep.txt", "old");
  const std::string folder = win("out");
  const std::string disc = win("disc");
  std::string name = "readme.txt";

  Recorder::pushAnswer("dialog", win("disc/readme.txt"));
  ASSERT_TRUE(OpenSaveFileDialog(nullptr, nullptr, "Text files|*.txt|All Files|*.*", true, name, "Pick", disc.c_str()));
  EXPECT_EQ(name, win("disc/readme.txt"));

  // The save dialog replaces an existing file without asking, and adds the
  // default extension to a name without one.
  Recorder::pushAnswer("dialog", "keep");
  ASSERT_TRUE(OpenSaveFileDialog(nullptr, "txt", "All Files|*.*", false, name, "Save as...", folder.c_str()));
  EXPECT_EQ(name, win("out/keep.txt"));
  EXPECT_TRUE(Recorder::eventsOf("msgbox").empty());

  auto opened = Recorder::eventsOf("opendialog");
  auto saved = Recorder::eventsOf("savedialog");
  ASSERT_EQ(opened.size(), 1u);
  ASSERT_EQ(saved.size(), 1u);
  // Both pairs of the filter reach the type list.
  EXPECT_EQ(opened[0].fields, (std::vector<std::string>{"Pick", disc, "Text files|*.txt|All Files|*.*"}));
  EXPECT_EQ(saved[0].fields, (std::vector<std::string>{"Save as...", folder, "All Files|*.*"}));
}

TEST_F(OpenSaveDialogTest, CancelOrRefusedPathKeepsTheVariable) {
  std::string name = "C:\\keep\\me.txt";
  for (bool open : {true, false}) {
    Recorder::pushAnswer("dialog", "cancel");
    EXPECT_FALSE(OpenSaveFileDialog(nullptr, nullptr, "All Files|*.*", open, name, nullptr, nullptr));
    // No answer at all is the Cancel button too.
    EXPECT_FALSE(OpenSaveFileDialog(nullptr, nullptr, "All Files|*.*", open, name, nullptr, nullptr));
    EXPECT_EQ(name, "C:\\keep\\me.txt");
  }

  // A folder that does not exist is refused (the path must exist) and the
  // person picks again.
  writeFile("out/a.txt", "");
  Recorder::pushAnswer("dialog", win("nowhere/a.txt"));
  Recorder::pushAnswer("dialog", "cancel");
  EXPECT_FALSE(OpenSaveFileDialog(nullptr, nullptr, "All Files|*.*", false, name, nullptr, nullptr));
  EXPECT_EQ(Recorder::eventsOf("msgbox").size(), 1u);
  EXPECT_EQ(name, "C:\\keep\\me.txt");
}

// "ok" takes the name the dialog was given, in the folder it shows.
TEST_F(OpenSaveDialogTest, AcceptingThePresetNameSavesItInTheInitialFolder) {
  writeFile("out/keep.txt", "");
  const std::string folder = win("out");
  std::string name = "data file.txt";
  Recorder::pushAnswer("dialog", "ok");
  ASSERT_TRUE(OpenSaveFileDialog(nullptr, nullptr, "All Files|*.*", false, name, nullptr, folder.c_str()));
  EXPECT_EQ(name, win("out/data file.txt"));
  // With no name to accept the dialog stays open for the next answer.
  name.clear();
  Recorder::pushAnswer("dialog", "ok");
  EXPECT_FALSE(OpenSaveFileDialog(nullptr, nullptr, "All Files|*.*", false, name, nullptr, folder.c_str()));
  EXPECT_EQ(name, "");
}

TEST_F(OpenSaveDialogTest, NameLongerThanTheBufferFailsAndKeepsTheVariable) {
  writeFile("long/x", "");
  const std::string folder = win("long") + "\\";
  ASSERT_LT(folder.size(), 200u);
  // 260 characters and the zero fill the buffer exactly; one more does not fit.
  const std::string fits = folder + std::string(260 - folder.size(), 'f');
  const std::string tooLong = folder + std::string(261 - folder.size(), 'g');

  std::string name = "before.txt";
  Recorder::pushAnswer("dialog", tooLong);
  EXPECT_FALSE(OpenSaveFileDialog(nullptr, nullptr, "All Files|*.*", false, name, nullptr, nullptr));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  EXPECT_EQ(name, "before.txt");

  Recorder::pushAnswer("dialog", fits);
  ASSERT_TRUE(OpenSaveFileDialog(nullptr, nullptr, "All Files|*.*", false, name, nullptr, nullptr));
  EXPECT_EQ(name, fits);

  // A preset name longer than the buffer is cut for the dialog, not written
  // past it, and stays as it was when the dialog is cancelled.
  std::string longPreset = folder + std::string(400, 'p');
  const std::string kept = longPreset;
  EXPECT_FALSE(OpenSaveFileDialog(nullptr, nullptr, "All Files|*.*", true, longPreset, nullptr, nullptr));
  EXPECT_EQ(longPreset, kept);
}

}  // namespace
