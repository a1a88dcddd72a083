// The designer's main form: what the start shows with and without a
// project argument, dropped files, the new command over an existing file
// with its save question, and page switching.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DesignerFixture.h"
#include "browserhost/WebHost.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/IniFiles.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/DropFiles.h"
#include "platform/os/user/Window.h"

namespace {

using qv::os::ansi;

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class MainFormTest : public qvtest::DesignerTest {
 protected:
  struct Seen {
    bool projectOpen = false;
    bool modified = false;
    bool workspace = false;
    bool welcome = false;
    bool save = false;
    bool close = false;
    std::string file;
    std::string startPage;
  };
  static Seen look(TQVDesigner* d) {
    Seen s;
    s.projectOpen = d->FProjectOpen;
    s.modified = d->FModified;
    s.workspace = d->Workspace->Visible();
    s.welcome = d->WelcomeBrowser->Visible();
    s.save = d->BtnSave->Enabled();
    s.close = d->BtnClose->Enabled();
    s.file = d->FProjectFile;
    s.startPage = d->AutorunHtmlFileEdit->Text();
    return s;
  }
};

TEST_F(MainFormTest, StartWithoutArgumentsShowsTheWelcomePageAndNoPages) {
  Seen seen;
  std::string caption;
  step([&](TQVDesigner* d) {
    seen = look(d);
    caption = d->Caption();
  });
  launch();
  EXPECT_EQ(caption, "Quorvel - Designer");
  EXPECT_FALSE(seen.projectOpen);
  EXPECT_FALSE(seen.workspace);
  EXPECT_TRUE(seen.welcome);
  EXPECT_FALSE(seen.save);
  EXPECT_FALSE(seen.close);
  ASSERT_EQ(navigations().size(), 1u);
  EXPECT_TRUE(endsWith(navigations()[0], "/prog/Kelvu/Welcome.html")) << navigations()[0];
  EXPECT_FALSE(timedOut());
}

TEST_F(MainFormTest, StartWithAnExistingSettingsFileOpensItWithoutADialog) {
  writeProjectFile("menu.inf", "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\n");
  Seen seen;
  std::string active;
  step([&](TQVDesigner* d) {
    seen = look(d);
    active = d->Notebook->ActivePage();
  });
  launch("\"" + projectPath("menu.inf") + "\"");
  EXPECT_TRUE(seen.projectOpen);
  EXPECT_FALSE(seen.modified);
  EXPECT_TRUE(seen.workspace);
  EXPECT_FALSE(seen.welcome);
  EXPECT_TRUE(seen.save);
  EXPECT_EQ(seen.file, projectPath("menu.inf"));
  EXPECT_EQ(seen.startPage, "index.html");
  EXPECT_EQ(active, "Autorun");
  EXPECT_TRUE(events("opendialog").empty());
  EXPECT_TRUE(navigations().empty());
}

// An argument that names no file opens nothing, and the welcome page is not
// shown either.
TEST_F(MainFormTest, AnArgumentNamingNoFileOpensNothing) {
  Seen seen;
  step([&](TQVDesigner* d) { seen = look(d); });
  launch("\"" + projectPath("missing.inf") + "\"");
  EXPECT_FALSE(seen.projectOpen);
  EXPECT_TRUE(events("opendialog").empty());
  EXPECT_TRUE(navigations().empty());
}

TEST_F(MainFormTest, DroppingTwoFilesDoesNothingAndOneFileOpensIt) {
  writeProjectFile("a.inf", "[quorvel]\r\nstartpage=a.html\r\n");
  writeProjectFile("b.inf", "[quorvel]\r\nstartpage=b.html\r\n");
  auto dropOn = [](TQVDesigner* d, const std::vector<std::string>& files) {
    RECT r;
    GetWindowRect(d->Handle(), &r);
    ASSERT_NE(qv::os::dropFiles(d->Handle(), files, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}),
              nullptr);
  };
  Seen afterTwo, afterOne;
  step([&](TQVDesigner* d) { dropOn(d, {projectPath("a.inf"), projectPath("b.inf")}); });
  step([&](TQVDesigner* d) {
    afterTwo = look(d);
    dropOn(d, {projectPath("b.inf")});
  });
  step([&](TQVDesigner* d) { afterOne = look(d); });
  launch();
  EXPECT_FALSE(afterTwo.projectOpen);
  EXPECT_TRUE(afterOne.projectOpen);
  EXPECT_EQ(afterOne.file, projectPath("b.inf"));
  EXPECT_EQ(afterOne.startPage, "b.html");
  EXPECT_TRUE(events("opendialog").empty());
}

// The new command deletes an existing file at once and writes nothing: the
// project is modified from the start, so closing asks the save question,
// and No leaves no file behind.
TEST_F(MainFormTest, NewProjectOverAnExistingFileDeletesItAndAsksToSaveOnClose) {
  std::string host = writeProjectFile("autorun.inf", "[quorvel]\r\nstartpage=old.html\r\n");
  answer("dialog", projectPath("autorun.inf"));
  answer("msgbox", "Yes");  // the dialog's overwrite question
  answer("msgbox", "No");   // the save question
  Seen seen;
  bool existsAfterNew = true;
  step([&](TQVDesigner* d) {
    d->BtnNewClick(d->BtnNew);
    seen = look(d);
    existsAfterNew = std::filesystem::exists(host);
  });
  launch("", /*closeModified=*/true);
  EXPECT_FALSE(existsAfterNew);
  EXPECT_TRUE(seen.projectOpen);
  EXPECT_TRUE(seen.modified);
  EXPECT_TRUE(seen.workspace);
  EXPECT_EQ(seen.startPage, "");
  ASSERT_EQ(events("savedialog").size(), 1u);
  EXPECT_EQ(events("savedialog")[0].fields[0], "Neues Projekt erstellen");
  const std::string question = ansi(u8"Möchten Sie die Änderungen vor dem Schließen speichern?");
  ASSERT_EQ(dialogTexts(), std::vector<std::string>{question});
  EXPECT_EQ(events("msgdlg")[0].fields[2], "mtConfirmation");
  EXPECT_EQ(events("msgdlg")[0].fields[3], "Yes,No");
  EXPECT_FALSE(std::filesystem::exists(host));
}

// Yes to the save question of the new command saves the open project before
// the dialog for the new one comes; cancelling that dialog leaves the old
// project's pages on screen with no project open.
TEST_F(MainFormTest, NewCommandSavesTheOpenProjectOnYesAndACancelLeavesNoProjectOpen) {
  std::string host = writeProjectFile("autorun.inf", "[quorvel]\r\nstartpage=old.html\r\n");
  answer("msgbox", "Yes");
  Seen seen;
  step([&](TQVDesigner* d) {
    d->AutorunHtmlFileEdit->SetText("new.html");
    d->BtnNewClick(d->BtnNew);
    seen = look(d);
  });
  launch("\"" + projectPath() + "\"");
  EXPECT_FALSE(seen.projectOpen);
  EXPECT_TRUE(seen.workspace);
  EXPECT_EQ(sectionLines(host, "quorvel")[0], "startpage=new.html");
}

TEST_F(MainFormTest, SwitchingPagesSelectsThePageWithoutMarkingTheProjectModified) {
  writeProjectFile("autorun.inf", "[quorvel]\r\nstartpage=index.html\r\n");
  std::vector<std::string> pages;
  bool modified = true;
  step([&](TQVDesigner* d) {
    using Handler = void (TQVDesigner::*)(TObject*);
    const Handler handlers[] = {
        &TQVDesigner::SettingsNavBarItemClick,        &TQVDesigner::OptionalNavBarItemClick,
        &TQVDesigner::GeneralNavBarItemClick,         &TQVDesigner::PositionAndSizeNavBarItemClick,
        &TQVDesigner::ToolbarAndButtonsNavBarItemClick, &TQVDesigner::SkinNavBarItemClick,
        &TQVDesigner::BackgroundMusicNavBarItemClick, &TQVDesigner::PluginNavBarItemClick};
    for (Handler h : handlers) {
      (d->*h)(d);
      pages.push_back(d->Notebook->ActivePage());
    }
    modified = d->FModified;
  });
  launch("\"" + projectPath() + "\"");
  EXPECT_EQ(pages, (std::vector<std::string>{"Autorun", "Other", "General", "Position", "Toolbar", "Skin", "Music",
                                             "Extensions"}));
  EXPECT_FALSE(modified);
}

TEST_F(MainFormTest, ClosingTheProjectShowsTheWelcomePageAgain) {
  writeProjectFile("autorun.inf", "[quorvel]\r\nstartpage=index.html\r\n");
  Seen seen;
  bool executeEnabled = true;
  step([&](TQVDesigner* d) {
    d->ValueChanged(d);
    d->BtnCloseClick(d->BtnClose);
    seen = look(d);
    executeEnabled = d->BtnExecute->Enabled();
  });
  answer("msgbox", "No");
  launch("\"" + projectPath() + "\"");
  EXPECT_EQ(dialogTexts().size(), 1u);
  EXPECT_FALSE(seen.projectOpen);
  EXPECT_FALSE(seen.workspace);
  EXPECT_TRUE(seen.welcome);
  EXPECT_FALSE(seen.save);
  EXPECT_FALSE(seen.close);
  EXPECT_FALSE(executeEnabled);
  EXPECT_TRUE(seen.file.empty());
}

// A project named on the command line or dropped on the window is taken in
// the platform's form, whatever form the name came in: its folder is the
// project's, so the runtime beside the file enables the test run, the
// button folder is found, nothing false is reported and a save keeps the
// toolbar. A name that names no file opens nothing from the command line;
// dropped, it leaves the choice to the open dialog.
struct PathCase {
  const char* name;
  const char* folder;  // of the project, below the test's folder
  enum Form { Platform, Host, Relative, Missing } form;
  bool dropped;
};

class ProjectPathTest : public MainFormTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(ProjectPathTest, IsTakenInThePlatformsForm) {
  const PathCase& c = GetParam();
  const std::string folderHost = hostPath(c.folder);
  const std::string folderPlatform = qv::os::toWindowsPath(folderHost);
  writeFile(std::string(c.folder) + "/autorun.inf",
            "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\nbuttondir=buttons\r\ntoolbar=exit\r\n");
  writeFile(std::string(c.folder) + "/qvlaunch.exe", "runtime");
  std::filesystem::create_directories(folderHost + "/buttons");
  std::string given;
  switch (c.form) {
    case PathCase::Platform: given = folderPlatform + "\\autorun.inf"; break;
    case PathCase::Host: given = folderHost + "/autorun.inf"; break;
    case PathCase::Relative: given = "autorun.inf"; break;
    case PathCase::Missing: given = folderHost + "/missing.inf"; break;
  }
  if (c.form == PathCase::Relative) {
    ASSERT_TRUE(SetCurrentDirectory(folderPlatform.c_str()));
  }
  if (c.dropped) answer("dialog", "cancel");

  Seen seen;
  std::string folder;
  bool execute = false, firstRowChecked = false;
  auto observe = [&](TQVDesigner* d) {
    seen = look(d);
    folder = d->FProjectDir;
    execute = d->BtnExecute->Enabled();
    firstRowChecked = d->ToolbarButtonList->Checked(0);
    if (d->FProjectOpen) d->BtnSaveClick(d->BtnSave);
  };
  if (c.dropped) {
    step([&](TQVDesigner* d) {
      RECT r;
      GetWindowRect(d->Handle(), &r);
      ASSERT_NE(qv::os::dropFiles(d->Handle(), {given}, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}),
                nullptr);
    });
    step(observe);
    launch();
  } else {
    step(observe);
    launch("\"" + given + "\"");
  }

  if (c.form == PathCase::Missing) {
    EXPECT_FALSE(seen.projectOpen);
    // Dropped, the open command asks for the file; from the command line
    // nothing is opened or asked.
    EXPECT_EQ(events("opendialog").size(), c.dropped ? 1u : 0u);
    EXPECT_EQ(dialogTexts(), std::vector<std::string>{});
    return;
  }
  EXPECT_TRUE(seen.projectOpen);
  EXPECT_EQ(seen.file, folderPlatform + "\\autorun.inf");
  EXPECT_EQ(folder, folderPlatform + "\\");
  EXPECT_TRUE(execute);
  EXPECT_TRUE(firstRowChecked);
  EXPECT_EQ(dialogTexts(), std::vector<std::string>{});
  EXPECT_TRUE(events("opendialog").empty());
  TIniFile saved(folderHost + "/autorun.inf");
  EXPECT_EQ(saved.ReadString("quorvel", "toolbar", ""), "exit");
  EXPECT_EQ(saved.ReadString("quorvel", "buttondir", ""), "buttons");
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProjectPathTest,
    ::testing::Values(PathCase{"PlatformPath", "project", PathCase::Platform, false},
                      PathCase{"HostPath", "project", PathCase::Host, false},
                      PathCase{"RelativePath", "project", PathCase::Relative, false},
                      PathCase{"NameWithBlanks", "my disc/new menu", PathCase::Host, false},
                      PathCase{"MissingFile", "project", PathCase::Missing, false},
                      PathCase{"DroppedPlatformPath", "project", PathCase::Platform, true},
                      PathCase{"DroppedHostPath", "project", PathCase::Host, true},
                      PathCase{"DroppedRelativePath", "project", PathCase::Relative, true},
                      PathCase{"DroppedNameWithBlanks", "my disc/new menu", PathCase::Host, true},
                      PathCase{"DroppedMissingFile", "project", PathCase::Missing, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
