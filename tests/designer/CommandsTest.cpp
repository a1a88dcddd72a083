// The designer's commands that reach outside the project file: deploying
// and test-running the runtime, the index tool, help and information, and
// the welcome page's link actions and news address.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DesignerFixture.h"
#include "browserhost/WebHost.h"
#include "designer/DesignerStrings.h"
#include "designer/KelvuSystem.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/com/Ole.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Paths.h"

namespace {

using qv::os::ansi;

const std::string kSettings = "[autorun]\r\nopen=start.exe\r\n[quorvel]\r\nstartpage=index.html\r\n";

class CommandsTest : public qvtest::DesignerTest {
 protected:
  std::string projectArgument() const { return "\"" + projectPath() + "\""; }
  static std::vector<std::string> execLines() {
    std::vector<std::string> out;
    for (const auto& e : events("exec")) out.push_back(e.fields.empty() ? "" : e.fields[0]);
    return out;
  }
};

// The runtime goes into the project folder under the name of the "open"
// key, and the test run becomes possible.
TEST_F(CommandsTest, DeployCopiesTheRuntimeUnderTheOpenNameAndEnablesTheTestRun) {
  writeProjectFile("autorun.inf", kSettings);
  installProgram("Qvlaunch.exe");
  answer("msgbox", "Yes");
  bool executeBefore = true, executeAfter = false;
  step([&](TQVDesigner* d) {
    executeBefore = d->BtnExecute->Enabled();
    d->BtnDeployRuntimeClick(d->BtnDeployRuntime);
    executeAfter = d->BtnExecute->Enabled();
  });
  launch(projectArgument());
  EXPECT_FALSE(executeBefore);
  EXPECT_TRUE(executeAfter);
  EXPECT_EQ(readFile(hostPath("project/start.exe")), readFile(hostPath("prog/Qvlaunch.exe")));
  ASSERT_EQ(dialogTexts(),
            std::vector<std::string>{ansi(
                u8"Soll das Quorvel Laufzeitsystem (qvlaunch.exe) jetzt in das Projektverzeichnis kopiert werden?")});
  EXPECT_EQ(events("msgdlg")[0].fields[2], "mtConfirmation");
  EXPECT_EQ(events("msgdlg")[0].fields[3], "Yes,No");
}

// No to the question: it was asked, and the project folder holds what it
// held before; the test run stays unavailable.
TEST_F(CommandsTest, DeployAnsweredNoAsksAndCopiesNothing) {
  writeProjectFile("autorun.inf", kSettings);
  installProgram("Qvlaunch.exe");
  answer("msgbox", "No");
  bool executeAfter = true;
  step([&](TQVDesigner* d) {
    d->BtnDeployRuntimeClick(d->BtnDeployRuntime);
    executeAfter = d->BtnExecute->Enabled();
  });
  launch(projectArgument());
  ASSERT_EQ(dialogTexts(),
            std::vector<std::string>{ansi(
                u8"Soll das Quorvel Laufzeitsystem (qvlaunch.exe) jetzt in das Projektverzeichnis kopiert werden?")});
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(hostPath("project")))
    files.push_back(entry.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"autorun.inf"});
  EXPECT_EQ(readFile(hostPath("project/autorun.inf")), kSettings);
  EXPECT_FALSE(executeAfter);
}

// Without the runtime beside the designer the copy fails: the error box,
// and the test run stays unavailable.
TEST_F(CommandsTest, DeployWithoutTheRuntimeReportsTheCopyError) {
  writeProjectFile("autorun.inf", kSettings);
  answer("msgbox", "Yes");
  bool executeAfter = true;
  step([&](TQVDesigner* d) {
    d->BtnDeployRuntimeClick(d->BtnDeployRuntime);
    executeAfter = d->BtnExecute->Enabled();
  });
  launch(projectArgument());
  EXPECT_FALSE(executeAfter);
  const auto boxes = events("msgdlg");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].fields[1], "Beim Kopieren der Datei ist ein Fehler aufgetreten!");
  EXPECT_EQ(boxes[1].fields[2], "mtError");
  EXPECT_EQ(boxes[1].fields[3], "Cancel");
}

// A modified project whose save question is answered No runs with the
// settings last saved; the program is started by its quoted path, so a
// project folder with a blank still names it.
TEST_F(CommandsTest, TestRunOfAModifiedProjectAnsweredNoStartsTheRuntimeWithTheSavedSettings) {
  std::filesystem::create_directories(hostPath("project/my menu"));
  const std::string host = writeProjectFile("my menu/autorun.inf", kSettings);
  std::filesystem::copy_file(qvtest::testBin("prog_stub"), hostPath("project/my menu/start.exe"));
  answer("msgbox", "No");
  step([&](TQVDesigner* d) {
    d->AutorunHtmlFileEdit->SetText("changed.html");
    d->BtnExecuteClick(d->BtnExecute);
  });
  launch("\"" + projectPath("my menu\\autorun.inf") + "\"");
  EXPECT_EQ(readFile(host), kSettings);
  ASSERT_EQ(dialogTexts(), std::vector<std::string>{ansi(
                               u8"Zuvor müssen die Änderungen gespeichert werden. Soll jetzt gespeichert werden?")});
  ASSERT_EQ(execLines().size(), 1u);
  EXPECT_EQ(execLines()[0], "\"" + projectPath("my menu\\start.exe") + "\"");
}

// Without the runtime in the project folder: the warning; with a file
// there that is no program: the error with the platform's number.
TEST_F(CommandsTest, TestRunErrors) {
  writeProjectFile("autorun.inf", kSettings);
  step([&](TQVDesigner* d) {
    d->BtnExecuteClick(d->BtnExecute);
    writeProjectFile("start.exe", "plain text");
    d->BtnExecuteClick(d->BtnExecute);
  });
  launch(projectArgument());
  const auto boxes = events("msgdlg");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].fields[1],
            ansi(u8"Das Quorvel Laufzeitsystem (qvlaunch.exe) befindet sich noch nicht im Projektverzeichnis. Bitte "
                 u8"kopieren Sie dieses zuerst mit der entsprechenden Funktion oder manuell."));
  EXPECT_EQ(boxes[0].fields[2], "mtWarning");
  EXPECT_EQ(boxes[0].fields[3], "OK");
  EXPECT_EQ(boxes[1].fields[1], ansi(u8"Fehler beim Ausführen des Quorvel Laufzeitsystems (Fehler-Nr.: 11)!"));
  EXPECT_EQ(boxes[1].fields[2], "mtError");
  EXPECT_EQ(boxes[1].fields[3], "Cancel");
}

// The index tool gets the project folder and the index file as two
// arguments, the folder with its trailing backslash even inside quotes.
TEST_F(CommandsTest, TrawlbuildIsStartedWithTheProjectFolderAndTheIndexFile) {
  std::filesystem::create_directories(hostPath("project/my menu"));
  writeProjectFile("my menu/autorun.inf", kSettings + "[fulltextsearchengine]\r\nactive=1\r\nindex=Index.qvix\r\n");
  installProgram("Trawlbuild.exe");
  step([&](TQVDesigner* d) { d->StartTrawlbuildButtonClick(d->StartTrawlbuildButton); });
  launch("\"" + projectPath("my menu\\autorun.inf") + "\"");
  EXPECT_TRUE(dialogTexts().empty());
  const auto shell = events("shell");
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].fields[0], "open");
  EXPECT_EQ(shell[0].fields[1], qv::os::toWindowsPath(hostPath("prog")) + "\\Trawlbuild.exe");
  const auto args = qv::os::splitCommandLine("Trawlbuild.exe " + shell[0].fields[2]);
  EXPECT_EQ(args, (std::vector<std::string>{"Trawlbuild.exe", projectPath("my menu\\"), "Index.qvix"}));
  EXPECT_EQ(shell[0].fields[4], "5");  // SW_SHOW
  EXPECT_GT(std::stoi(shell[0].fields[5]), 32);
}

TEST_F(CommandsTest, TrawlbuildErrors) {
  writeProjectFile("autorun.inf", kSettings);
  step([&](TQVDesigner* d) {
    d->StartTrawlbuildButtonClick(d->StartTrawlbuildButton);
    writeFile("prog/Trawlbuild.exe", "plain text");
    d->StartTrawlbuildButtonClick(d->StartTrawlbuildButton);
  });
  launch(projectArgument());
  const auto boxes = events("msgdlg");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].fields[1], "Die Erweiterung \"Volltextsuchmaschine\" ist nicht installiert!");
  EXPECT_EQ(boxes[1].fields[1], "ShellExecute Error!");
  for (const auto& box : boxes) {
    EXPECT_EQ(box.fields[2], "mtError");
    EXPECT_EQ(box.fields[3], "Cancel");
  }
}

TEST_F(CommandsTest, HelpOpensTheHelpFileWithTheShellOrSaysItIsMissing) {
  step([&](TQVDesigner* d) {
    d->BtnHelpClick(d->BtnHelp);
    writeFile("prog/Quorvel.chm", "help");
    d->BtnHelpClick(d->BtnHelp);
  });
  launch();
  const auto boxes = events("msgdlg");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].fields[1], "Konnte das Online-Handbuch nicht finden! Bitte reparieren Sie die Installation "
                                "falls dieser Fehler erneut auftritt.");
  EXPECT_EQ(boxes[0].fields[2], "mtError");
  EXPECT_EQ(boxes[0].fields[3], "Cancel");
  const auto shell = events("shell");
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].fields[0], "open");
  EXPECT_EQ(shell[0].fields[1], qv::os::toWindowsPath(hostPath("prog")) + "\\Quorvel.chm");
}

TEST_F(CommandsTest, InfoShowsTheDesignersVersion) {
  step([&](TQVDesigner* d) { d->BtnInfoClick(d->BtnInfo); });
  launch();
  const auto boxes = events("msgdlg");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].fields[1], "Quorvel Designer (Version 4.0.1)\r\n\r\n" + DesignerStr(sInfoCopyright) + "\r\n\r\n" +
                                    DesignerStr(sInfoAddress));
  EXPECT_EQ(boxes[0].fields[2], "mtInformation");
  EXPECT_EQ(boxes[0].fields[3], "OK");
}

// Every "action:" link is cancelled; "onlinehelp" and "checkupdates" are
// carried out, other actions do nothing; other addresses navigate.
TEST_F(CommandsTest, WelcomePageActionsAreCancelledAndDispatched) {
  std::vector<std::string> locations;
  step([&](TQVDesigner* d) { d->WelcomeBrowser->NavigateTo("action:checkupdates"); });
  step([&](TQVDesigner* d) {
    locations.push_back(d->WelcomeBrowser->LocationURL());
    d->WelcomeBrowser->NavigateTo("action:onlinehelp");
  });
  step([&](TQVDesigner* d) {
    locations.push_back(d->WelcomeBrowser->LocationURL());
    d->WelcomeBrowser->NavigateTo("action:somethingelse");
  });
  step([&](TQVDesigner* d) {
    locations.push_back(d->WelcomeBrowser->LocationURL());
    writeFile("prog/Kelvu/Other.html", "<html><body>Other</body></html>");
    d->WelcomeBrowser->NavigateTo(qv::os::toWindowsPath(hostPath("prog")) + "\\Kelvu\\Other.html");
  });
  step([&](TQVDesigner* d) { locations.push_back(d->WelcomeBrowser->LocationURL()); });
  launch();
  ASSERT_EQ(locations.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_NE(locations[i].find("Welcome.html"), std::string::npos) << locations[i];
  EXPECT_NE(locations[3].find("Other.html"), std::string::npos) << locations[3];
  for (const std::string& n : navigations()) EXPECT_EQ(n.find("action:"), std::string::npos) << n;
  // The update check opened the update page in the user's browser (through
  // the shell here: no browser is registered); the help file is missing.
  const auto shell = events("shell");
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].fields[1].rfind(DesignerStr(sUpdatePage) + "?request=", 0), 0u) << shell[0].fields[1];
  ASSERT_EQ(dialogTexts().size(), 1u);
  EXPECT_EQ(dialogTexts()[0].rfind("Konnte das Online-Handbuch nicht finden!", 0), 0u);
}

// "online:news" becomes the news query; any other address stays as it is.
// The page gets no context menu.
TEST_F(CommandsTest, OnlineNewsIsTranslatedIntoTheNewsQuery) {
  HRESULT news = E_FAIL, other = E_FAIL, menu = E_FAIL;
  std::u16string translated;
  std::string expected;
  bool otherUntouched = false;
  step([&](TQVDesigner* d) {
    LPOLESTR out = nullptr;
    news = d->WelcomeBrowser->OnTranslateUrl(0, u"online:news", out);
    if (out) translated = out;
    CoTaskMemFree(out);
    out = nullptr;
    other = d->WelcomeBrowser->OnTranslateUrl(0, u"online:other", out);
    otherUntouched = out == nullptr;
    expected = d->FKelvu->BuildServiceUrl("news");
    POINT pt{10, 10};
    menu = d->WelcomeBrowser->OnShowContextMenu(0, &pt, nullptr, nullptr);
  });
  launch();
  EXPECT_EQ(news, S_OK);
  EXPECT_EQ(qv::os::utf8ToAnsi(qv::os::utf16ToUtf8(translated)), expected);
  EXPECT_EQ(expected.rfind(std::string(TKelvuSystem::kNewsAddress) + "?productid=QVD4&version=4.0.1&lang=de&contentid=news&cs=", 0), 0u)
      << expected;
  EXPECT_EQ(other, S_FALSE);
  EXPECT_TRUE(otherUntouched);
  EXPECT_EQ(menu, S_OK);
}

}  // namespace
