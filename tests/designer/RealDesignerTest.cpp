// The real programs as an author meets them, started as processes on the
// test's own desktop (its C: folder) and steered by QV_DRIVER scripts: a
// save killed with SIGKILL at any of its writes leaves the old or the new
// settings, whole; the English profile shows the English designer; the
// runtime that the designer deploys carries no debug information and runs.
//
// Where the designer's controls lie on the screen comes from its main block
// run in-process first: the form is centred on the same screen, so the
// program puts it at the same place. Every child is bounded by its driver
// script's timeout.
#include <gtest/gtest.h>

#include <elf.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DesignerFixture.h"
#include "navbar/uiNavBar.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/Registry.h"
#include "platform/classlib/StdCtrls.h"
#include "runtime/rsFileVersion.h"

extern char** environ;

// GCC names an AddressSanitizer build by a macro, clang by a feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_CLANG_ASAN 1
#endif
#endif
#ifndef QV_CLANG_ASAN
#define QV_CLANG_ASAN 0
#endif

namespace {

namespace fs = std::filesystem;

// How a child ended: stopped by QV_STOP_AFTER_WRITES (and then killed), or
// with an exit code.
struct Ended {
  bool stopped = false;
  int exitCode = -1;
};

class RealDesignerTest : public qvtest::DesignerTest {
 protected:
  // Starts a program with the given arguments on this test's desktop with a
  // driver script (a timeout of its own comes first) and extra environment,
  // and waits until it ends or stops; a stopped program is killed there.
  Ended runProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& script, const std::vector<std::string>& environment = {}) {
    const std::string scriptFile = hostPath("script-" + std::to_string(runs_) + ".drv");
    logFile_ = hostPath("log-" + std::to_string(runs_++) + ".txt");
    std::ofstream out(scriptFile);
    out << "timeout 60\n";
    for (const std::string& line : script) out << line << "\n";
    out.close();
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
      if (std::strncmp(*e, "QV_", 3) != 0) env.push_back(*e);
    env.push_back("QV_HOME=" + hostPath("C"));
    env.push_back("QV_DRIVER=" + scriptFile);
    env.push_back("QV_LOG=" + logFile_);
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    Ended ended;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) {
      ADD_FAILURE() << "cannot start " << program;
      return ended;
    }
    int status = 0;
    while (waitpid(pid, &status, WUNTRACED) < 0 && errno == EINTR) {
    }
    if (WIFSTOPPED(status)) {
      ended.stopped = true;
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    } else if (WIFEXITED(status)) {
      ended.exitCode = WEXITSTATUS(status);
    }
    return ended;
  }
  // The events of the last run's log of one kind, as their fields.
  std::vector<std::vector<std::string>> logged(const std::string& kind) const {
    std::vector<std::vector<std::string>> out;
    std::ifstream in(logFile_);
    std::string line;
    while (std::getline(in, line)) {
      std::vector<std::string> fields;
      std::size_t start = 0, tab;
      while ((tab = line.find('\t', start)) != std::string::npos) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
      }
      fields.push_back(line.substr(start));
      if (fields[0] != kind) continue;
      fields.erase(fields.begin());
      out.push_back(fields);
    }
    return out;
  }
  // The screen point at the middle of a control, for a driver's click.
  static std::string clickOn(TControl* Control) {
    TPoint p = Control->ClientToScreen({Control->Width() / 2, Control->Height() / 2});
    return "click " + std::to_string(p.x) + " " + std::to_string(p.y);
  }
  static std::vector<std::string> projectLeftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      std::string name = entry.path().filename().string();
      if (name != "autorun.inf") names.push_back(name);
    }
    return names;
  }

 private:
  int runs_ = 0;
  std::string logFile_;
};

// The settings as an author keeps them, with a comment, a key and a section
// of his own: opening and saving changes the caption (typed), the start
// page (typed), and deletes two keys that hold the designer's defaults.
const char* const kOldSettings =
    "; the demo disc\r\n[autorun]\r\nopen=qvlaunch.exe\r\nlabel=DEMO DISC\r\n[quorvel]\r\nwindowcaption=Demo\r\n"
    "startpage=index.html\r\nnoscrollbars=1\r\nborderstyle=thin\r\nwindowwith=640\r\n[notes]\r\nauthor=Someone\r\n";

TEST_F(RealDesignerTest, ASaveKilledAtAnyOfItsWritesLeavesTheOldOrTheNewSettingsWhole) {
  const std::string file = writeProjectFile("autorun.inf", kOldSettings);
  std::vector<std::string> script{"wait 200"};
  step([&](TQVDesigner* d) {
    script.push_back(clickOn(d->AutorunCaptionEdit));
    script.push_back("key End");
    script.push_back("type -new");
    script.push_back(clickOn(d->AutorunHtmlFileEdit));
    script.push_back("key End");
    script.push_back("type .new");
    script.push_back(clickOn(d->BtnSave));
    script.push_back("wait 200");
    script.push_back("end");
  });
  launch("\"" + projectPath() + "\"");
  ASSERT_EQ(script.size(), 10u);

  // The whole save, to know the new settings.
  Ended whole = runProgram(QV_DESIGNER_PROGRAM, {projectPath()}, script);
  ASSERT_FALSE(whole.stopped);
  ASSERT_EQ(whole.exitCode, 0);
  const std::string newSettings = readFile(file);
  ASSERT_NE(newSettings, kOldSettings);
  TIniFile ini(file);
  ASSERT_EQ(ini.ReadString("quorvel", "windowcaption", ""), "Demo-new");
  ASSERT_EQ(ini.ReadString("quorvel", "startpage", ""), "index.html.new");
  ASSERT_EQ(ini.ReadString("notes", "author", ""), "Someone");
  ASSERT_EQ(projectLeftovers(hostPath("project")), std::vector<std::string>{});

  // Stopped and killed after its first, second ... change to a file, until a
  // run gets through; each starts from the old settings, with what the runs
  // before left behind.
  int oldWhole = 0, newWhole = 0, withLeftovers = 0;
  for (int n = 1; n < 100; ++n) {
    SCOPED_TRACE("killed after write " + std::to_string(n));
    std::ofstream(file, std::ios::binary | std::ios::trunc) << kOldSettings;
    Ended run = runProgram(QV_DESIGNER_PROGRAM, {projectPath()}, script, {"QV_STOP_AFTER_WRITES=" + std::to_string(n)});
    const std::string now = readFile(file);
    EXPECT_TRUE(now == kOldSettings || now == newSettings) << now;
    if (!run.stopped) {
      EXPECT_EQ(run.exitCode, 0);
      // The save that got through removed what the killed ones left.
      EXPECT_EQ(now, newSettings);
      EXPECT_EQ(projectLeftovers(hostPath("project")), std::vector<std::string>{});
      break;
    }
    (now == kOldSettings ? oldWhole : newWhole) += 1;
    if (!projectLeftovers(hostPath("project")).empty()) ++withLeftovers;
  }
  // The kills fell before and after the moment the new settings took the
  // old ones' place, and in the middle of the save.
  EXPECT_GT(oldWhole, 2);
  EXPECT_GT(newWhole, 0);
  EXPECT_GT(withLeftovers, 0);
}

// An author's first project, by the bar: every link of it shows its page,
// a value typed on the "Skin" page is saved, closing the project hides the
// bar, and opening it again brings the bar and the value back.
TEST_F(RealDesignerTest, AnAuthorReachesEveryPageFromTheBarAndFindsTheSavedValueOnReopening) {
  writeProjectFile("autorun.inf", "[autorun]\r\nopen=qvlaunch.exe\r\n");
  std::vector<std::string> links;
  std::string clickNew, clickSave, clickClose, clickOpen, clickPosX;
  step([&](TQVDesigner* d) {
    TuiNavBar* bar = d->TaskNavBar;
    for (int g = 0; g < bar->Groups()->Count(); ++g) {
      TuiNavBarGroupViewInfo* group = bar->GetViewInfo()->FindGroupViewInfo(bar->Groups()->Items(g));
      ASSERT_NE(group, nullptr);
      for (int l = 0; l < group->LinkCount(); ++l) {
        const TRect& r = group->LinkInfos(l)->TextBounds;
        TPoint p = bar->ClientToScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        links.push_back("click " + std::to_string(p.x) + " " + std::to_string(p.y));
      }
    }
    clickNew = clickOn(d->BtnNew);
    clickSave = clickOn(d->BtnSave);
    clickClose = clickOn(d->BtnClose);
    clickOpen = clickOn(d->BtnOpen);
    clickPosX = clickOn(d->SkinPosXEdit);
  });
  launch("\"" + projectPath() + "\"");
  ASSERT_EQ(links.size(), 8u);

  const std::string project = projectPath("new\\autorun.inf");
  fs::create_directories(hostPath("project/new"));
  std::vector<std::string> script{"wait 200", "dialog " + project, clickNew, "wait 200"};
  for (const std::string& link : links) script.insert(script.end(), {link, "wait 100", "windows"});
  script.insert(script.end(), {links[5], "wait 100", clickPosX, "key End", "key BackSpace", "type 25", clickSave,
                               "wait 200", clickClose, "wait 200", "windows", "dialog " + project, clickOpen,
                               "wait 200", links[5], "wait 100", "windows", "end"});
  Ended run = runProgram(QV_DESIGNER_PROGRAM, {}, script);
  ASSERT_EQ(run.exitCode, 0);

  // Each `windows` listing: the page shown, whether the bar is there, and
  // the text of the Skin page's X field.
  struct Seen {
    std::string page;
    bool bar = false;
    std::string posX;
  };
  std::vector<Seen> seen;
  for (const auto& w : logged("window")) {
    if (w.size() < 3) continue;
    if (w[0] == "TQVDesigner") seen.emplace_back();
    if (seen.empty()) continue;
    if (w[0] == "TPage") seen.back().page = w[1];
    if (w[0] == "TuiNavBar") seen.back().bar = true;
  }
  ASSERT_EQ(seen.size(), 10u);
  const char* const pages[8] = {"Autorun", "Other", "General", "Position", "Toolbar", "Skin", "Music", "Extensions"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(seen[static_cast<size_t>(i)].page, pages[i]) << "link " << i;
    EXPECT_TRUE(seen[static_cast<size_t>(i)].bar) << "link " << i;
  }
  EXPECT_FALSE(seen[8].bar) << "the bar stays after closing the project";
  EXPECT_EQ(seen[8].page, "");
  EXPECT_TRUE(seen[9].bar);
  EXPECT_EQ(seen[9].page, "Skin");
  TIniFile ini(hostPath("project/new/autorun.inf"));
  EXPECT_EQ(ini.ReadString("quorvel", "skinposition", ""), "25,0,100,100");
  // The reopened page shows the saved value in its X field.
  bool shown = false;
  const auto windows = logged("window");
  for (size_t i = windows.size(); i-- > 0 && windows[i][0] != "TQVDesigner";)
    if (windows[i][0] == "TEdit" && windows[i][1] == "25") shown = true;
  EXPECT_TRUE(shown);
}

// The English profile: an English desktop with the machine-wide choice of
// English for the designer, as its English edition installs it. The program
// file has no extension and finds "qvdesigner.ENU" beside it; the
// new-project dialog, the page and the save question are English.
TEST_F(RealDesignerTest, TheEnglishProfileShowsTheEnglishDesigner) {
  std::string clickNew;
  step([&](TQVDesigner* d) { clickNew = clickOn(d->BtnNew); });
  launch();
  const std::string program = qv::os::toWindowsPath(fs::canonical(QV_DESIGNER_PROGRAM).string());
  {
    TRegistry machine;
    machine.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKey("Software\\Borland\\Locales", true));
    machine.WriteString(program, "ENU");
  }
  const std::string profile = writeFile("english.profile", "locale.langid = 1033\nlocale.lcid = 1033\n"
                                                            "locale.country = US\nlocale.abbrevLang = ENU\n");
  const std::string shot = hostPath("english.png");
  Ended run = runProgram(QV_DESIGNER_PROGRAM, {},
                         {"wait 200", "dialog " + projectPath(), clickNew, "wait 200", "screenshot " + shot,
                          "answer No", "end"},
                         {"QV_PROFILE=" + profile});
  EXPECT_EQ(run.exitCode, 0);
  auto saves = logged("savedialog");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0][0], "Create new project");
  std::vector<std::string> texts;
  for (const auto& e : logged("msgdlg")) texts.push_back(e.size() > 1 ? e[1] : "");
  EXPECT_EQ(texts, std::vector<std::string>{"Do you want to save the changes before closing?"});
  EXPECT_TRUE(fs::exists(shot));
  TRegistry user(KEY_READ);
  user.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(user.OpenKeyReadOnly("Software\\Borland\\Locales"));
  EXPECT_EQ(user.ReadString(program), "ENU");
}

// The runtime that the designer deploys is the program without its debug
// information and symbols: a few megabytes, with its version block, and it
// runs a disc.
TEST_F(RealDesignerTest, TheDeployedRuntimeCarriesNoDebugInformationAndRuns) {
  fs::copy_file(QV_DEPLOYED_RUNTIME, hostPath("prog/Qvlaunch.exe"));
  writeProjectFile("autorun.inf", "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\n");
  writeProjectFile("index.html", "<html><head><title>Disc</title></head><body>Hello</body></html>");
  answer("msgbox", "Yes");
  step([&](TQVDesigner* d) { d->BtnDeployRuntimeClick(d->BtnDeployRuntime); });
  launch("\"" + projectPath() + "\"");
  const std::string deployed = hostPath("project/qvlaunch.exe");
  ASSERT_TRUE(fs::exists(deployed));
#if defined(__SANITIZE_ADDRESS__) || QV_CLANG_ASAN
  // The sanitizer build's instrumented code alone is hundreds of megabytes:
  // there the copy is only smaller than the build's own program.
  EXPECT_LT(fs::file_size(deployed), fs::file_size(fs::path(QV_DEPLOYED_RUNTIME).parent_path() / "qvlaunch"));
#else
  EXPECT_LT(fs::file_size(deployed), 8u * 1024 * 1024);
#endif

  // Its sections by name, from the ELF headers.
  std::ifstream in(deployed, std::ios::binary);
  Elf64_Ehdr header{};
  in.read(reinterpret_cast<char*>(&header), sizeof header);
  ASSERT_EQ(std::memcmp(header.e_ident, ELFMAG, SELFMAG), 0);
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  in.seekg(static_cast<std::streamoff>(header.e_shoff));
  in.read(reinterpret_cast<char*>(sections.data()), static_cast<std::streamsize>(sections.size() * sizeof(Elf64_Shdr)));
  const Elf64_Shdr& names = sections.at(header.e_shstrndx);
  std::string table(names.sh_size, '\0');
  in.seekg(static_cast<std::streamoff>(names.sh_offset));
  in.read(table.data(), static_cast<std::streamsize>(table.size()));
  std::vector<std::string> kept;
  for (const Elf64_Shdr& s : sections) {
    std::string name = table.c_str() + s.sh_name;
    if (name.rfind(".debug", 0) == 0 || name == ".symtab") kept.push_back(name);
  }
  EXPECT_EQ(kept, std::vector<std::string>{});

  TrsFileVersion version;
  version.ReadFromFile(qv::os::toWindowsPath(deployed));
  EXPECT_FALSE(version.Version.empty());

  Ended run = runProgram(deployed, {}, {"wait 300", "close"});
  EXPECT_EQ(run.exitCode, 0);
  auto pages = logged("navigate");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0][0].substr(pages[0][0].size() - 11), "/index.html");
}

}  // namespace
