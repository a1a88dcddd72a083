// The real runtime program, started as a child process on a disc folder of
// the test, steered by a QV_DRIVER script and read back from its QV_LOG:
// what a person would see (message boxes with their texts, pages, sounds)
// and that the program ends. Every wait for a child is bounded.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "LoopbackServer.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageView.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Paths.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kBoundSeconds = 60;

// A QV_LOG line as the program writes it: kind, then the fields, escaped.
std::string logLine(const std::string& kind, const std::vector<std::string>& fields) {
  std::string line = kind;
  for (const auto& f : fields) line += "\t" + qv::desktop::escapeLogField(f);
  return line;
}

// A started runtime: its process, a descriptor that becomes readable when
// it ends, and its own log file.
struct Child {
  pid_t pid = -1;
  int pidfd = -1;
  std::string logPath;
  bool finished = false;
  int exitCode = -1;
};

class ProcessTest : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    for (Child* c : started_) {
      if (!c->finished && c->pid > 0) {
        kill(c->pid, SIGKILL);
        waitpid(c->pid, nullptr, 0);
      }
      if (c->pidfd >= 0) close(c->pidfd);
    }
    started_.clear();
    qvtest::DesktopTest::TearDown();
  }

  std::string discHostPath(const std::string& relative = "") const { return hostPath("disc/" + relative); }
  // The disc folder as the runtime sees it: through Z:, the host root.
  std::string discWindowsPath(const std::string& relative = "") const {
    std::string rel = relative;
    for (char& c : rel)
      if (c == '/') c = '\\';
    return qv::os::toWindowsPath(hostPath("disc")) + "\\" + rel;
  }
  std::string fileUrl(const std::string& relative) const {
    std::string url = "file:///" + discWindowsPath(relative);
    for (char& c : url)
      if (c == '\\') c = '/';
    return url;
  }

  // The runtime's copy on the disc, named as discs name it, so that its own
  // folder (and the language file beside it) is the disc's.
  void placeRuntime() const {
    fs::create_directories(discHostPath());
    fs::copy_file(std::string(QV_TESTBIN) + "/../bin/qvlaunch", discHostPath("qvlaunch.exe"),
                  fs::copy_options::overwrite_existing);
  }
  void copyDemoDisc() const {
    fs::create_directories(discHostPath());
    for (const auto& e : fs::directory_iterator(std::string(QV_SOURCE_DIR) + "/examples/disc"))
      if (e.is_regular_file())
        fs::copy_file(e.path(), discHostPath(e.path().filename().string()), fs::copy_options::overwrite_existing);
  }

  // Starts the disc's runtime with a driver script; all runtimes of a test
  // share one C: folder, and so the named objects in it.
  Child& start(const std::string& name, const std::string& script, const std::vector<std::string>& args = {},
               const std::string& profile = "") {
    auto* c = new Child;
    owned_.emplace_back(c);
    started_.push_back(c);
    c->logPath = hostPath(name + ".log");
    std::vector<std::string> env = {"QV_DRIVER=" + writeFile(name + ".drv", script), "QV_LOG=" + c->logPath,
                                    "QV_HOME=" + hostPath("C")};
    if (!profile.empty()) env.push_back("QV_PROFILE=" + writeFile(name + ".profile", profile));
    for (char** e = environ; *e; ++e) {
      std::string v = *e;
      if (v.rfind("QV_", 0) != 0) env.push_back(v);
    }
    std::string prog = discHostPath("qvlaunch.exe");
    std::vector<std::string> argCopy = args;
    std::vector<char*> argv{prog.data()};
    for (auto& a : argCopy) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&c->pid, prog.c_str(), nullptr, nullptr, argv.data(), envp.data()), 0) << prog;
    if (c->pid > 0) c->pidfd = static_cast<int>(syscall(SYS_pidfd_open, c->pid, 0));
    EXPECT_GE(c->pidfd, 0);
    return *c;
  }

  // Waits, at most the bound, for the child to end.
  static bool waitForEnd(Child& c, int seconds = kBoundSeconds) {
    if (c.finished) return true;
    pollfd p{c.pidfd, POLLIN, 0};
    if (poll(&p, 1, seconds * 1000) <= 0) return false;
    int status = 0;
    if (waitpid(c.pid, &status, 0) != c.pid) return false;
    c.finished = true;
    if (WIFEXITED(status)) c.exitCode = WEXITSTATUS(status);
    return true;
  }
  static bool running(const Child& c) {
    pollfd p{c.pidfd, POLLIN, 0};
    return !c.finished && poll(&p, 1, 0) == 0;
  }

  // Waits, at most the bound, until a line of the child's log satisfies
  // `seen`, waking on every change of the test's folder.
  bool waitForLog(const Child& c, const std::function<bool(const std::string&)>& seen,
                  int seconds = kBoundSeconds) const {
    int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (fd < 0) return false;
    inotify_add_watch(fd, tempDir().c_str(), IN_MODIFY | IN_CREATE | IN_CLOSE_WRITE);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    bool found = false;
    for (;;) {
      for (const auto& l : logOf(c))
        if (seen(l)) found = true;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (found || left.count() <= 0) break;
      pollfd p[2] = {{fd, POLLIN, 0}, {c.pidfd, POLLIN, 0}};
      if (poll(p, 2, static_cast<int>(left.count())) <= 0) break;
      char buf[4096];
      while (read(fd, buf, sizeof buf) > 0) {
      }
      if (p[1].revents) {
        // The child ended: one last look at what it wrote.
        for (const auto& l : logOf(c))
          if (seen(l)) found = true;
        break;
      }
    }
    close(fd);
    return found;
  }

  static std::vector<std::string> logOf(const Child& c) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(c.logPath));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The lines of the given kinds, in order.
  static std::vector<std::string> only(const Child& c, const std::vector<std::string>& kinds) {
    std::vector<std::string> out;
    for (const auto& l : logOf(c)) {
      std::string kind = l.substr(0, l.find('\t'));
      for (const auto& k : kinds)
        if (kind == k) out.push_back(l);
    }
    return out;
  }

  // The search's results pages (the runtime's temporary "~" files) still in
  // the C: folder that the runtimes of a test share.
  std::size_t resultsPagesLeft() const {
    std::size_t left = 0;
    if (!fs::exists(hostPath("C"))) return left;
    for (const auto& e : fs::recursive_directory_iterator(hostPath("C")))
      if (e.is_regular_file() && e.path().filename().string().front() == '~') ++left;
    return left;
  }

 private:
  std::vector<std::unique_ptr<Child>> owned_;
  std::vector<Child*> started_;
};

// A disc whose start page has the search form and a link on.
constexpr const char* kSearchSettings =
    "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\nhidesplashscreen=1\r\n"
    "[fulltextsearchengine]\r\nactive=1\r\nindex=search.qvix\r\n";
constexpr const char* kSearchPage =
    "<html><body><form name=\"searchform\" action=\"searchform\"><input name=\"searchterm\"></form>"
    "<a href=\"other.html\">other</a></body></html>";

const std::vector<std::string> kSeen = {"msgbox", "navigate", "sound", "exit"};

// The demo disc from its folder: splash, chime, start page, a link to the
// page with a frame, the close and the exit splash; nothing goes wrong.
TEST_F(ProcessTest, DemoDiscTourShowsPagesPlaysTheChimeAndEnds) {
  copyDemoDisc();
  placeRuntime();
  std::string shot = hostPath("gallery.png");
  Child& c = start("tour",
                   "wait 3000\n"
                   "link gallery\n"
                   "wait 500\n"
                   "screenshot " + shot + "\n"
                   "close\n");
  ASSERT_TRUE(waitForEnd(c)) << "the runtime did not end";
  EXPECT_EQ(c.exitCode, 0);
  // The chime starts before the window shows its first page; the page in
  // the gallery's frame is no navigation of the window.
  EXPECT_EQ(only(c, kSeen), (std::vector<std::string>{logLine("sound", {discWindowsPath("intro.wav"), "0x22003"}),
                                                      logLine("navigate", {fileUrl("index.html")}),
                                                      logLine("navigate", {fileUrl("gallery.html")}), "exit"}));
  EXPECT_TRUE(only(c, {"driver-error"}).empty());
  EXPECT_EQ(readFile(shot).substr(1, 3), "PNG");
}

// Clicks by coordinates, as a person clicks: on a link, on an area of an
// image map and on a form's button, each navigating as on the platform.
// The points come from laying the same pages out here, in the window the
// runtime gives its browser (a borderless 640 x 480 window at 0,0).
TEST_F(ProcessTest, ClicksAtPointsFollowALinkAMapAreaAndAFormButton) {
  placeRuntime();
  writeFile("disc/autorun.inf",
            "[quorvel]\r\nstartpage=start.html\r\nwindowwidth=640\r\nwindowheight=480\r\n"
            "windowposition=0,0\r\nborderstyle=none\r\nhidesplashscreen=1\r\n");
  writeFile("disc/start.html",
            "<html><body><h1>Start</h1><p>Go on to <a id=\"go\" href=\"map.html\">the map</a>.</p></body></html>");
  writeFile("disc/map.html",
            "<html><body><p>Shapes:</p><img id=\"shapes\" src=\"map.gif\" usemap=\"#m\" border=\"0\">"
            "<map name=\"m\"><area shape=\"circle\" coords=\"150,50,40\" href=\"form.html\"></map></body></html>");
  writeFile("disc/form.html",
            "<html><body><form action=\"found.html\"><input name=\"q\" value=\"cd rom\"> "
            "<input id=\"find\" type=\"submit\" name=\"go\" value=\"Find\"></form></body></html>");
  writeFile("disc/found.html", "<html><body>Found</body></html>");
  fs::copy_file(std::string(QV_SOURCE_DIR) + "/tests/browser/pages/map.gif", discHostPath("map.gif"));

  qv::browser::ViewOptions runtime;
  runtime.scrollBars = false;
  auto centre = [&](const std::string& page, const std::string& id) {
    qv::browser::PageView view(qv::browser::Document::load(discHostPath(page)), runtime);
    view.setBounds(RECT{0, 0, 640, 480});
    const auto box = view.boxOf(*view.document()->elementById(id));
    EXPECT_TRUE(box) << page << " #" << id;
    if (!box) return std::string("0 0");
    return std::to_string((box->left + box->right) / 2) + " " + std::to_string((box->top + box->bottom) / 2);
  };
  // The circle's centre lies 150,50 into the picture, which is 300 x 100.
  const std::string link = centre("start.html", "go"), area = centre("map.html", "shapes"),
                    button = centre("form.html", "find");
  Child& c = start("clicks",
                   "timeout 60\nwait 1500\nclick " + link + "\nwait 700\nclick " + area + "\nwait 700\nclick " +
                       button + "\nwait 700\nclose\n");
  ASSERT_TRUE(waitForEnd(c)) << "the runtime did not end";
  EXPECT_TRUE(only(c, {"driver-error"}).empty());
  EXPECT_EQ(only(c, {"navigate"}), (std::vector<std::string>{logLine("navigate", {fileUrl("start.html")}),
                                                             logLine("navigate", {fileUrl("map.html")}),
                                                             logLine("navigate", {fileUrl("form.html")}),
                                                             logLine("navigate", {fileUrl("found.html") + "?q=cd+rom&go=Find"})}));
}

// Start-up failures: each box with its message's exact text in the user's
// language (8-bit, line breaks and all), then the end, with no page shown.
struct FailureCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // on the disc; no "autorun.inf": none
  const char* profile;
  const char* caption;
  std::vector<std::string> (*texts)(const std::string& discFolder);
};
void PrintTo(const FailureCase& f, std::ostream* os) { *os << f.name; }

class ProcessFailureTest : public ProcessTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ProcessFailureTest, ShowsItsMessageAndEnds) {
  const FailureCase& f = GetParam();
  placeRuntime();
  for (const auto& [name, bytes] : f.files) writeFile("disc/" + name, bytes);
  Child& c = start("fail", "", {}, f.profile);
  ASSERT_TRUE(waitForEnd(c));
  std::vector<std::string> expected;
  for (const auto& text : f.texts(discWindowsPath())) expected.push_back(logLine("msgbox", {f.caption, text, "16", "OK"}));
  expected.push_back("exit");
  EXPECT_EQ(only(c, kSeen), expected);
}

const char* const kEnglish = "locale.langid = 1033\nlocale.lcid = 1033\nlocale.country = US\n";
const char* const kIndex = "<html><head><title>Start</title></head><body><p>Start</p></body></html>";

INSTANTIATE_TEST_SUITE_P(
    Runtime, ProcessFailureTest,
    ::testing::Values(
        FailureCase{"NoSettingsFile", {}, "", "Fehler",
                    [](const std::string& d) {
                      return std::vector<std::string>{"Die Konfigurations-Datei \"" + d +
                                                      "autorun.inf\" kann nicht gefunden werden."};
                    }},
        FailureCase{"NoSettingsFileEnglish", {}, kEnglish, "Error",
                    [](const std::string& d) {
                      return std::vector<std::string>{"Cannot find configuration file \"" + d + "autorun.inf\"."};
                    }},
        FailureCase{"NoQuorvelSection", {{"autorun.inf", "[autorun]\r\nopen=qvlaunch.exe\r\n"}}, "", "Fehler",
                    [](const std::string& d) {
                      return std::vector<std::string>{
                          "Es ist keine Startseite (Attribut \"startpage\") angegeben oder die Startseite \"" + d +
                          "\" kann nicht gefunden werden."};
                    }},
        FailureCase{"RequirementNotALibraryAndNoAlternativePage",
                    {{"autorun.inf", "[quorvel]\r\nstartpage=index.html\r\nrequirements=junk\r\n"},
                     {"index.html", kIndex},
                     {"junk.dll", "not a library"}},
                    "", "Fehler",
                    [](const std::string& d) {
                      return std::vector<std::string>{
                          "Fehler beim Laden der DLL-Datei \"" + d + "junk.dll\".",
                          qv::os::ansi(u8"Zur Anzeige sind Komponenten/Systemvoraussetzungen erforderlich,\r"
                                       u8"die nicht vorhanden/erfüllt sind. Ein Starten der Oberfläche ist nicht "
                                       u8"möglich.")};
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// Single instance across two real processes: the second ends at once,
// showing and playing nothing; the first runs on until its driver closes it.
TEST_F(ProcessTest, SecondInstanceEndsAtOnceWhileTheFirstRunsOn) {
  placeRuntime();
  writeFile("disc/autorun.inf",
            "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\nsingleinstance=1\r\n"
            "hidesplashscreen=1\r\n");
  writeFile("disc/index.html", "<html><head><title>One</title></head><body><p>One</p></body></html>");
  Child& first = start("first", "wait 5000\nclose\n");
  ASSERT_TRUE(waitForLog(first, [](const std::string& l) { return l.rfind("navigate\t", 0) == 0; }))
      << "the first instance showed no page";
  Child& second = start("second", "");
  ASSERT_TRUE(waitForEnd(second));
  EXPECT_EQ(only(second, kSeen), std::vector<std::string>{"exit"});
  EXPECT_TRUE(running(first)) << "the first instance ended with the second";
  ASSERT_TRUE(waitForEnd(first));
  std::vector<std::string> firstSeen = only(first, {"driver", "exit"});
  EXPECT_EQ(firstSeen, (std::vector<std::string>{"driver\twait 5000", "driver\tclose", "exit"}));
  EXPECT_EQ(only(first, {"navigate"}), std::vector<std::string>{logLine("navigate", {fileUrl("index.html")})});
}

// What the shell is asked to start from the disc's links, with which
// folder: a "+" in a program's name stays, a zero in a name starts nothing.
TEST_F(ProcessTest, LinksStartTheProgramsTheyName) {
  placeRuntime();
  writeFile("disc/autorun.inf",
            "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\nhidesplashscreen=1\r\n");
  writeFile("disc/index.html",
            "<html><head><title>Links</title></head><body>"
            "<a href=\"tools/Notepad++.exe\">plus</a> "
            "<a href=\"tools/Notepad++.exe\" target=\"params:'read me.txt'\">withparams</a> "
            "<a href=\"notes.txt%00.exe\">zero</a></body></html>");
  writeFile("disc/tools/read me.txt", "the programs are not on this disc");
  Child& c = start("links", "wait 1000\nlink plus\nwait 300\nlink withparams\nwait 300\nlink zero\nwait 300\nclose\n");
  ASSERT_TRUE(waitForEnd(c));
  const std::string program = fileUrl("tools/Notepad++.exe").substr(8);
  const std::string folder = discWindowsPath("tools\\");
  auto missing = [](const std::string& name) {
    return logLine("msgbox", {"Fehler", qv::os::ansi(u8"Die ausführbare Datei \"") + name +
                                            "\" kann nicht gefunden werden.", "16", "OK"});
  };
  EXPECT_EQ(only(c, {"shell", "msgbox"}),
            (std::vector<std::string>{logLine("shell", {"open", program, "", folder, "5", "2"}),
                                      missing(program + " (Error-Code 2)"),
                                      logLine("shell", {"open", program, "\"read me.txt\"", folder, "1", "2"}),
                                      missing(fileUrl("notes.txt%00.exe"))}));
  EXPECT_TRUE(only(c, {"driver-error"}).empty());
}

// In web-server mode the server's addresses name the disc's own files, and
// never one off the disc, however the step up is spelt; the program starts
// in its own folder.
TEST_F(ProcessTest, WebServerAddressesStayOnTheDisc) {
  placeRuntime();
  writeFile("disc/autorun.inf",
            "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\nhidesplashscreen=1\r\n");
  writeFile("disc/index.html", kIndex);
  writeFile("disc/tools/read me.txt", "the programs are not on this disc");
  qvtest::LoopbackServer server;
  server.serve("/index.html", {200, "Content-Type: text/html\r\n",
                               "<html><head><title>Served</title></head><body>"
                               "<a href=\"/tools/setup.exe\">setup</a> "
                               "<a href=\"/tools/%2e%2E%2F%2e%2e%5csecret.exe\">escape</a></body></html>"});
  Child& c = start("server", "wait 2000\nlink setup\nwait 300\nlink escape\nwait 300\nclose\n",
                   {server.url("/index.html")});
  ASSERT_TRUE(waitForEnd(c));
  const std::string program = fileUrl("tools/setup.exe").substr(8);
  std::vector<std::string> shell = only(c, {"shell"});
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0], logLine("shell", {"open", program, "", discWindowsPath("tools\\"), "5", "2"}));
  std::vector<std::string> boxes = only(c, {"msgbox"});
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[1].find(server.url("/tools/%2e%2E%2F%2e%2e%5csecret.exe")), std::string::npos) << boxes[1];
}

// "No" to the shell's replace question: nothing is copied and nothing is
// started; "yes" copies and opens the copy.
TEST_F(ProcessTest, ADeclinedReplaceStartsNothing) {
  placeRuntime();
  writeFile("disc/autorun.inf",
            "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\nhidesplashscreen=1\r\n");
  writeFile("disc/files/tool.txt", "new tool");
  writeFile("disc/index.html", "<html><body><a href=\"files/tool.txt\" target=\"copyandexecfile:C:\\Out\">go</a>"
                               "</body></html>");
  writeFile("C/Out/tool.txt", "old");
  Child& no = start("no", "wait 1000\ndialog ok\nanswer shellconfirm no\nlink go\nwait 300\nclose\n");
  ASSERT_TRUE(waitForEnd(no));
  EXPECT_EQ(only(no, {"shellconfirm", "shell"}),
            std::vector<std::string>{logLine("shellconfirm", {"replace", "C:\\Out\\tool.txt", "no"})});
  EXPECT_EQ(readFile(hostPath("C/Out/tool.txt")), "old");

  Child& yes = start("yes", "wait 1000\ndialog ok\nanswer shellconfirm yes\nlink go\nwait 300\nclose\n");
  ASSERT_TRUE(waitForEnd(yes));
  std::vector<std::string> seen = only(yes, {"shellconfirm", "shell"});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], logLine("shellconfirm", {"replace", "C:\\Out\\tool.txt", "yes"}));
  EXPECT_EQ(seen[1].rfind(logLine("shell", {"open", "C:\\Out\\tool.txt", "", "", "1"}), 0), 0u) << seen[1];
  EXPECT_EQ(readFile(hostPath("C/Out/tool.txt")), "new tool");
  EXPECT_TRUE(only(yes, {"driver-error"}).empty());
}

// A page's print address on a machine that cannot print: message 11, and
// the menu goes on to the next page.
TEST_F(ProcessTest, AFailingPrinterIsReportedAndTheMenuGoesOn) {
  placeRuntime();
  writeFile("disc/autorun.inf", "[autorun]\r\nopen=qvlaunch.exe\r\n[quorvel]\r\nstartpage=index.html\r\n"
                                "hidesplashscreen=1\r\nhideheaderfooter=1\r\n");
  writeFile("disc/index.html", "<html><body><a href=\"javascript:window.print()\">print</a> "
                               "<a href=\"next.html\">next</a></body></html>");
  writeFile("disc/next.html", "<html><body>next</body></html>");
  Child& c = start("print", "wait 1000\nprinter fail\nlink print\nwait 300\nlink next\nwait 300\nclose\n");
  ASSERT_TRUE(waitForEnd(c));
  EXPECT_EQ(only(c, {"msgbox", "print", "navigate", "exit"}),
            (std::vector<std::string>{
                logLine("navigate", {fileUrl("index.html")}),
                logLine("msgbox", {"Fehler", "Die aktuelle Seite kann nicht gedruckt werden.", "16", "OK"}),
                logLine("navigate", {fileUrl("next.html")}), "exit"}));
  EXPECT_TRUE(only(c, {"driver-error"}).empty());
}

// The disc's search in the real program: "and" is dropped only as a word of
// its own ("Standard" does not find "stand hard"), a hit leads to its page,
// and no results page is left once the menu has ended.
TEST_F(ProcessTest, SearchFindsWholeWordsAndLeavesNoResultsPages) {
  placeRuntime();
  writeFile("disc/autorun.inf", std::string(kSearchSettings) + "resulttemplate=result.html\r\n");
  writeFile("disc/index.html", kSearchPage);
  writeFile("disc/search.qvix",
            "0001/pages/norm.html####Norm####\r\nder standard im handbuch\r\n"
            "0002/pages/hard.html####Hard####\r\nwhere we stand hard by the land\r\n");
  writeFile("disc/result.html",
            "<html><head><title>Results</title></head><body><!-- ### SE RESULTS BEGIN ### -->"
            "<!-- ### SE ENTRY BEGIN ### --><a href=\"{FILEPATH}\">{FILETITLE}</a> <!-- ### SE ENTRY END ### -->"
            "<!-- ### SE RESULTS END ### --></body></html>");
  writeFile("disc/pages/norm.html", "<html><body>norm</body></html>");
  writeFile("disc/pages/hard.html", "<html><body>hard</body></html>");
  Child& c = start("search",
                   "wait 1000\nfield searchterm Standard\nsubmit searchform\nwait 500\n"
                   "link Hard\nlink Norm\nwait 500\nclose\n");
  ASSERT_TRUE(waitForEnd(c));
  EXPECT_EQ(only(c, {"driver-error"}),
            std::vector<std::string>{logLine("driver-error", {"link Hard", "no link with Hard"})});
  std::vector<std::string> pages = only(c, {"navigate"});
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0], logLine("navigate", {fileUrl("index.html")}));
  EXPECT_NE(pages[1].find("/~"), std::string::npos) << pages[1];
  EXPECT_EQ(pages[2].substr(pages[2].size() - 15), "pages/norm.html") << pages[2];
  EXPECT_TRUE(only(c, {"msgbox"}).empty());
  EXPECT_EQ(resultsPagesLeft(), 0u);
}

// A result template that is not there: message 32, and the menu stays on
// its page and goes on from there.
TEST_F(ProcessTest, AMissingResultTemplateKeepsThePage) {
  placeRuntime();
  writeFile("disc/autorun.inf", std::string(kSearchSettings) + "resulttemplate=missing.html\r\n");
  writeFile("disc/index.html", kSearchPage);
  writeFile("disc/search.qvix", "0001/pages/norm.html####Norm####\r\nder standard\r\n");
  writeFile("disc/other.html", "<html><body>other</body></html>");
  Child& c = start("template",
                   "wait 1000\nfield searchterm Standard\nsubmit searchform\nwait 500\n"
                   "link other\nwait 300\nclose\n");
  ASSERT_TRUE(waitForEnd(c));
  EXPECT_EQ(only(c, {"msgbox", "navigate", "exit"}),
            (std::vector<std::string>{
                logLine("navigate", {fileUrl("index.html")}),
                logLine("msgbox", {"Fehler", "Das Suchformular ist nicht korrekt konfiguriert!", "16", "OK"}),
                logLine("navigate", {fileUrl("other.html")}), "exit"}));
  EXPECT_TRUE(only(c, {"driver-error"}).empty());
  EXPECT_EQ(resultsPagesLeft(), 0u);
}

}  // namespace
