// A disc for the runtime's scenario tests: a host folder "disc" of the test's
// own temporary folder that holds the runtime's place ("qvlaunch.exe"), the
// settings file and the pages, and a way to run the runtime's main block
// in-process against it on the headless desktop with the virtual clock.
//
//   writeDisc("startpage=index.html\nfadein=1\n");   // autorun.inf + index.html
//   launch();                                        // RunQvlaunch() with no arguments
//   EXPECT_EQ(messageTexts(), std::vector<std::string>{});
//
// Paths the runtime sees are in the platform's form: the host folder is
// reached through Z: (the host root), so a real process started on the same
// folder sees the same names (programPath(), discWindowsPath()).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ProgramTest.h"
#include "platform/browser/WebBrowser.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Paths.h"
#include "runtime/Qvlaunch.h"

namespace qvtest {

class RuntimeTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // The browser library's version follows the profile (a test before this
    // one in the same process may have changed it).
    qv::browser::registerBrowserModule();
    std::filesystem::create_directories(discHostPath(""));
    // A run that waits for nothing still ends, and soon.
    limit(60 * 1000, 20000);
  }

  // The disc folder and files on it, as host paths and in the platform's form
  // (the folder's Windows form ends in a backslash).
  std::string discHostPath(const std::string& relative) const { return hostPath("disc/" + relative); }
  std::string discWindowsPath(const std::string& relative = "") const {
    std::string folder = qv::os::toWindowsPath(hostPath("disc"));
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    std::string rel = relative;
    for (char& c : rel)
      if (c == '/') c = '\\';
    return folder + rel;
  }
  // Where the runtime believes its own file is.
  std::string programPath() const { return discWindowsPath("qvlaunch.exe"); }

  // Writes a file of the disc (folders made) and gives its host path.
  std::string writeDiscFile(const std::string& relative, const std::string& bytes) const {
    return writeFile("disc/" + relative, bytes);
  }
  // A page with a title and a body.
  std::string writePage(const std::string& relative, const std::string& title = "Start",
                        const std::string& body = "<p>Welcome</p>") const {
    return writeDiscFile(relative, "<html><head><title>" + title + "</title></head><body>" + body +
                                       "</body></html>");
  }
  // A settings file: [autorun] open and, unless `quorvelKeys` is null, a
  // [quorvel] section of those lines ("key=value\n" ...); `more` is appended
  // as it stands (further sections).
  std::string writeSettings(const char* quorvelKeys, const std::string& more = "",
                            const std::string& name = "autorun.inf") const {
    std::string text = "[autorun]\r\nopen=qvlaunch.exe\r\n";
    if (quorvelKeys != nullptr) text += std::string("[quorvel]\r\n") + quorvelKeys;
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    text += more;
    return writeDiscFile(name, text);
  }
  // The usual disc: "autorun.inf" with startpage=index.html and the given
  // further keys, and the page "index.html" (title "Start").
  void writeDisc(const std::string& quorvelKeys = "") const {
    writeSettings(("startpage=index.html\r\n" + quorvelKeys).c_str());
    writePage("index.html");
  }

  // Runs the runtime's main block with this command line after the program.
  int launch(const std::string& arguments = "") {
    setProgram(programPath(), arguments);
    return run([] { return RunQvlaunch(); });
  }

  // What the run showed and did, from the recorders.
  static std::vector<qv::desktop::Event> events(const std::string& kind) {
    return qv::desktop::Recorder::eventsOf(kind);
  }
  // The texts of the message boxes, in order.
  static std::vector<std::string> messageTexts() {
    std::vector<std::string> out;
    for (const auto& e : events("msgbox")) out.push_back(e.fields.size() > 1 ? e.fields[1] : "");
    return out;
  }
  // The addresses navigated to (each page that committed), in order.
  static std::vector<std::string> navigations() {
    std::vector<std::string> out;
    for (const auto& e : events("navigate")) out.push_back(e.fields.empty() ? "" : e.fields[0]);
    return out;
  }
  // The shell executions: verb, file, parameters, folder, show, result.
  static std::vector<std::vector<std::string>> shellCalls() {
    std::vector<std::vector<std::string>> out;
    for (const auto& e : events("shell")) out.push_back(e.fields);
    return out;
  }
};

}  // namespace qvtest
