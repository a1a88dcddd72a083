// The designer's scenario tests: a host folder "prog" of the test's own
// temporary folder is the designer's folder (with its welcome page), a
// folder "project" holds the projects, and the designer's main block runs
// in-process on the headless desktop with the virtual clock. A test does
// its work on the running main form in steps (`step`), then closes it.
//
//   step([&](TQVDesigner* d) { d->BtnNewClick(d->BtnNew); ... });
//   launch();
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ProgramTest.h"
#include "designer/DesignerMain.h"
#include "designer/QvDesigner.h"
#include "platform/browser/WebBrowser.h"
#include "platform/classlib/IniFiles.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Paths.h"

namespace qvtest {

class DesignerTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    qv::browser::registerBrowserModule();
    writeFile("prog/Kelvu/Welcome.html", "<html><head><title>Welcome</title></head><body>Hello</body></html>");
    std::filesystem::create_directories(hostPath("project"));
    limit(60 * 1000, 20000);
  }

  // Platform paths of the designer's own file and of a project file. The
  // program file's name is "qvdesigner.exe" unless a test names another.
  std::string programFile = "qvdesigner.exe";
  std::string programPath() const { return qv::os::toWindowsPath(hostPath("prog")) + "\\" + programFile; }
  std::string projectPath(const std::string& relative = "autorun.inf") const {
    std::string rel = relative;
    for (char& c : rel)
      if (c == '/') c = '\\';
    return qv::os::toWindowsPath(hostPath("project")) + "\\" + rel;
  }
  std::string writeProjectFile(const std::string& relative, const std::string& bytes) const {
    return writeFile("project/" + relative, bytes);
  }
  // Puts a host program that ends at once beside the designer under `name`
  // ("Qvlaunch.exe", "Trawlbuild.exe").
  void installProgram(const std::string& name) const {
    std::filesystem::copy_file(qvtest::testBin("prog_stub"), hostPath("prog/" + name),
                               std::filesystem::copy_options::overwrite_existing);
  }

  // Runs `action` on the main form at the next step; steps run in order,
  // 100 ms of virtual time apart. After the last one the main window is
  // closed (`closeModified` false: without the save question).
  void step(std::function<void(TQVDesigner*)> action) {
    steps_.push_back(std::move(action));
  }
  int launch(const std::string& arguments = "", bool closeModified = false) {
    std::uint64_t t = 100;
    for (auto& s : steps_) {
      at(t, [s] {
        ASSERT_NE(QVDesigner, nullptr);
        s(QVDesigner);
      });
      t += 100;
    }
    at(t, [this, closeModified] {
      if (QVDesigner != nullptr && !closeModified) QVDesigner->FModified = false;
      closeMainWindow();
    });
    setProgram(programPath(), arguments);
    return run([] { return RunQvdesigner(); });
  }

  static std::vector<qv::desktop::Event> events(const std::string& kind) {
    return qv::desktop::Recorder::eventsOf(kind);
  }
  // The texts of the message dialogs, in order.
  static std::vector<std::string> dialogTexts() {
    std::vector<std::string> out;
    for (const auto& e : events("msgdlg")) out.push_back(e.fields.size() > 1 ? e.fields[1] : "");
    return out;
  }
  static std::vector<std::string> navigations() {
    std::vector<std::string> out;
    for (const auto& e : events("navigate")) out.push_back(e.fields.empty() ? "" : e.fields[0]);
    return out;
  }

  // The keys of a section of a settings file, as "key=value".
  static std::vector<std::string> sectionLines(const std::string& file, const std::string& section) {
    TIniFile ini(file);
    TStringList lines;
    ini.ReadSectionValues(section, &lines);
    std::vector<std::string> out;
    for (int i = 0; i < lines.Count(); ++i) out.push_back(lines.Strings(i));
    return out;
  }

 private:
  std::vector<std::function<void(TQVDesigner*)>> steps_;
};

}  // namespace qvtest
