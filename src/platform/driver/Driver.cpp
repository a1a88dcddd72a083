#include "platform/driver/Driver.h"

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "platform/browser/WebBrowser.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/Screen.h"
#include "platform/os/user/User.h"

namespace qv::desktop {
namespace {

// The exit code of a process ended by `timeout`, so that whoever started it
// can tell a hung run from one that ended by itself.
constexpr int kTimeoutExitCode = 124;

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool parseInt(const std::string& s, long long& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtoll(s.c_str(), &end, 0);
  return end && *end == '\0';
}

bool parsePoint(const std::string& args, POINT& pt, std::string& error) {
  std::size_t sp = args.find_first_of(" \t");
  long long x = 0, y = 0;
  if (sp == std::string::npos || !parseInt(args.substr(0, sp), x) || !parseInt(trim(args.substr(sp)), y)) {
    error = "expected X Y";
    return false;
  }
  pt = {static_cast<LONG>(x), static_cast<LONG>(y)};
  return true;
}

// The top-level window a person would be looking at: the active one, else
// the main window.
HWND mainWindow() {
  if (Application && Application->MainForm()) {
    if (auto* form = dynamic_cast<TWinControl*>(Application->MainForm()))
      if (form->HandleAllocated()) return form->Handle();
  }
  struct Find {
    HWND found = nullptr;
  } find;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<Find*>(lp);
        if (!IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
        f->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

HWND activeTopLevel() {
  HWND active = GetActiveWindow();
  if (active) {
    HWND root = GetAncestor(active, GA_ROOT);
    if (root) return root;
    return active;
  }
  return mainWindow();
}

// One "window" line for a visible window and then for each visible window
// inside it, front to back, so that a script sees what a person sees. A
// hidden window hides what it holds, shown or not.
void logVisibleWindows(HWND hwnd) {
  for (; hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    if (!IsWindowVisible(hwnd)) continue;
    char cls[256] = {};
    GetClassName(hwnd, cls, sizeof cls);
    std::string text(static_cast<std::size_t>(GetWindowTextLength(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(std::max(0, GetWindowText(hwnd, text.data(), static_cast<int>(text.size())))));
    RECT r{};
    GetWindowRect(hwnd, &r);
    Recorder::record("window", {qv::os::ansiToUtf8(cls), qv::os::ansiToUtf8(text),
                                std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                                    std::to_string(r.right) + " " + std::to_string(r.bottom)});
    logVisibleWindows(GetWindow(hwnd, GW_CHILD));
  }
}

struct Driver {
  std::vector<std::string> lines;
  std::size_t next = 0;
  std::uint64_t waitUntil = 0;
  bool waiting = false;
  bool ended = false;
  bool installed = false;
};

Driver& driver() {
  static Driver d;
  return d;
}

std::map<std::string, DriverHandler>& commands();

// The watchdog of `timeout`: a thread of its own, because the GUI thread
// may be the one that hangs.
struct Watchdog {
  std::mutex m;
  std::condition_variable cv;
  std::thread thread;
  std::chrono::steady_clock::time_point deadline;
  bool armed = false;
  bool quit = false;

  void disarm() {
    std::lock_guard<std::mutex> lk(m);
    armed = false;
    cv.notify_all();
  }
  void arm(std::chrono::steady_clock::time_point at) {
    std::unique_lock<std::mutex> lk(m);
    deadline = at;
    armed = true;
    if (!thread.joinable()) {
      thread = std::thread([this] { run(); });
    }
    cv.notify_all();
  }
  void run() {
    std::unique_lock<std::mutex> lk(m);
    for (;;) {
      if (quit) return;
      if (armed && std::chrono::steady_clock::now() >= deadline) break;
      if (armed)
        cv.wait_until(lk, deadline);
      else
        cv.wait(lk);
    }
    lk.unlock();
    Recorder::record("timeout", {});
    qv::os::recordProgramExit();
    std::_Exit(kTimeoutExitCode);
  }
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lk(m);
      quit = true;
      cv.notify_all();
    }
    if (thread.joinable()) thread.join();
  }
};

Watchdog& watchdog() {
  static Watchdog w;
  return w;
}

void keyStroke(const DriverKey& k) {
  if (k.ctrl) qv::os::injectKey(VK_CONTROL, true);
  if (k.shift) qv::os::injectKey(VK_SHIFT, true);
  if (k.alt) qv::os::injectKey(VK_MENU, true);
  qv::os::injectKey(k.vk, true);
  qv::os::injectKey(k.vk, false);
  if (k.alt) qv::os::injectKey(VK_MENU, false);
  if (k.shift) qv::os::injectKey(VK_SHIFT, false);
  if (k.ctrl) qv::os::injectKey(VK_CONTROL, false);
}

bool postSysCommand(WPARAM id, std::string& error) {
  HWND target = activeTopLevel();
  if (!target) {
    error = "no window";
    return false;
  }
  PostMessage(target, WM_SYSCOMMAND, id, 0);
  return true;
}

// The first word of `args` and the trimmed rest.
std::pair<std::string, std::string> firstWord(const std::string& args) {
  const std::size_t sp = args.find_first_of(" \t");
  if (sp == std::string::npos) return {args, {}};
  return {args.substr(0, sp), trim(args.substr(sp))};
}

// The browser control a person would act on, or an error.
qv::browser::WebBrowser* pageBrowser(std::string& error) {
  qv::browser::WebBrowser* b = qv::browser::frontBrowser();
  if (!b) error = "no browser control";
  return b;
}

void addBrowserCommands(std::map<std::string, DriverHandler>& t) {
  t["link"] = [](const std::string& a, std::string& e) {
    qv::browser::WebBrowser* b = pageBrowser(e);
    if (!b) return false;
    if (a.empty() || !b->clickLinkText(a)) {
      e = "no link with " + a;
      return false;
    }
    return true;
  };
  t["field"] = [](const std::string& a, std::string& e) {
    qv::browser::WebBrowser* b = pageBrowser(e);
    if (!b) return false;
    auto [name, value] = firstWord(a);
    if (name.empty() || !b->setField(name, value)) {
      e = "no field " + name;
      return false;
    }
    return true;
  };
  t["submit"] = [](const std::string& a, std::string& e) {
    qv::browser::WebBrowser* b = pageBrowser(e);
    if (!b) return false;
    if (a.empty() || !b->submitForm(a)) {
      e = "no form " + a;
      return false;
    }
    return true;
  };
  // What a page's window.open(URL, "_blank", FEATURES) asks for.
  t["open"] = [](const std::string& a, std::string& e) {
    qv::browser::WebBrowser* b = pageBrowser(e);
    if (!b) return false;
    auto [url, features] = firstWord(a);
    if (url.empty()) {
      e = "expected an address";
      return false;
    }
    b->windowOpen(url, "_blank", features);
    return true;
  };
  // scripterror LINE CHARACTER CODE URL MESSAGE...
  t["scripterror"] = [](const std::string& a, std::string& e) {
    qv::browser::WebBrowser* b = pageBrowser(e);
    if (!b) return false;
    long long line = 0, character = 0, code = 0;
    auto [l, r1] = firstWord(a);
    auto [c, r2] = firstWord(r1);
    auto [k, r3] = firstWord(r2);
    auto [url, message] = firstWord(r3);
    if (!parseInt(l, line) || !parseInt(c, character) || !parseInt(k, code) || url.empty()) {
      e = "expected LINE CHARACTER CODE URL MESSAGE";
      return false;
    }
    b->scriptError(static_cast<LONG>(line), static_cast<LONG>(character), static_cast<LONG>(code), message, url);
    return true;
  };
  // A right click at a point of the page (client coordinates of the control).
  t["rclick-page"] = [](const std::string& a, std::string& e) {
    qv::browser::WebBrowser* b = pageBrowser(e);
    if (!b) return false;
    POINT pt;
    if (!parsePoint(a, pt, e)) return false;
    b->rightClick(pt);
    return true;
  };
}

std::map<std::string, DriverHandler> builtInCommands() {
  std::map<std::string, DriverHandler> t;
  t["click"] = [](const std::string& a, std::string& e) {
    POINT pt;
    if (!parsePoint(a, pt, e)) return false;
    qv::os::injectClick(pt, false);
    return true;
  };
  t["rclick"] = [](const std::string& a, std::string& e) {
    POINT pt;
    if (!parsePoint(a, pt, e)) return false;
    qv::os::injectClick(pt, true);
    return true;
  };
  t["dblclick"] = [](const std::string& a, std::string& e) {
    POINT pt;
    if (!parsePoint(a, pt, e)) return false;
    // Two clicks at once fall within any double-click time.
    qv::os::injectClick(pt, false);
    qv::os::injectClick(pt, false);
    return true;
  };
  t["move"] = [](const std::string& a, std::string& e) {
    POINT pt;
    if (!parsePoint(a, pt, e)) return false;
    qv::os::injectMouse(WM_MOUSEMOVE, pt);
    return true;
  };
  t["key"] = [](const std::string& a, std::string& e) {
    DriverKey k;
    if (!parseDriverKey(a, k)) {
      e = "unknown key";
      return false;
    }
    keyStroke(k);
    return true;
  };
  t["type"] = [](const std::string& a, std::string&) {
    for (char c : qv::os::utf8ToAnsi(a)) qv::os::injectChar(c);
    return true;
  };
  t["answer"] = [](const std::string& a, std::string& e) {
    if (a.empty()) {
      e = "expected a button";
      return false;
    }
    // The shell's question before it replaces a file has answers of its
    // own: yes, no or cancel.
    const std::size_t sp = a.find_first_of(" \t");
    if (lower(a.substr(0, sp)) == "shellconfirm") {
      const std::string reply = sp == std::string::npos ? std::string() : lower(trim(a.substr(sp)));
      if (reply != "yes" && reply != "no" && reply != "cancel") {
        e = "expected yes, no or cancel";
        return false;
      }
      Recorder::pushAnswer("shellconfirm", reply);
      return true;
    }
    Recorder::pushAnswer("msgbox", a);
    return true;
  };
  t["printer"] = [](const std::string& a, std::string& e) {
    if (lower(a) != "fail") {
      e = "expected fail";
      return false;
    }
    Recorder::pushAnswer("print", "fail");
    return true;
  };
  t["dialog"] = [](const std::string& a, std::string& e) {
    if (a.empty()) {
      e = "expected a path or cancel";
      return false;
    }
    Recorder::pushAnswer("dialog", a);
    return true;
  };
  t["screenshot"] = [](const std::string& a, std::string& e) {
    if (a.empty()) {
      e = "expected a file";
      return false;
    }
    if (!qv::os::saveScreenshot(a)) {
      e = "cannot write " + a;
      return false;
    }
    return true;
  };
  t["windows"] = [](const std::string&, std::string&) {
    logVisibleWindows(GetTopWindow(nullptr));
    return true;
  };
  t["close"] = [](const std::string&, std::string& e) { return postSysCommand(SC_CLOSE, e); };
  t["syscommand"] = [](const std::string& a, std::string& e) {
    long long id = 0;
    if (!parseInt(a, id) || id < 0) {
      e = "expected a command number";
      return false;
    }
    return postSysCommand(static_cast<WPARAM>(id), e);
  };
  t["end"] = [](const std::string&, std::string& e) {
    driver().ended = true;
    if (Application && Application->MainForm()) {
      // The application window closes the main form as the class
      // library does for its taskbar button.
      PostMessage(Application->Handle(), WM_CLOSE, 0, 0);
      return true;
    }
    HWND main = mainWindow();
    if (!main) {
      e = "no main window";
      return false;
    }
    PostMessage(main, WM_CLOSE, 0, 0);
    return true;
  };
  t["timeout"] = [](const std::string& a, std::string& e) {
    char* end = nullptr;
    double s = std::strtod(a.c_str(), &end);
    if (a.empty() || !end || *end != '\0' || s < 0) {
      e = "expected seconds";
      return false;
    }
    watchdog().arm(std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(static_cast<long long>(s * 1000)));
    return true;
  };
  // The script of the next process this program starts; the name is taken
  // against this program's folder now, since the child may start elsewhere.
  t["child"] = [](const std::string& a, std::string& e) {
    if (a.empty()) {
      e = "expected a script";
      return false;
    }
    std::error_code ec;
    const std::string path = std::filesystem::absolute(a, ec).string();
    if (ec || !std::ifstream(path, std::ios::binary)) {
      e = "cannot read " + a;
      return false;
    }
    Recorder::pushAnswer("child", path);
    return true;
  };
  addBrowserCommands(t);
  return t;
}

// A child of a steered program that was given no script of its own ends
// with its parent, so that a scripted run leaves nothing running behind it.
// A thread of its own waits, since the GUI thread may be busy or stuck.
void endWithParent(pid_t parent) {
  std::thread([parent] {
    int fd = -1;
#ifdef SYS_pidfd_open
    fd = static_cast<int>(::syscall(SYS_pidfd_open, parent, 0));
#endif
    if (fd >= 0) {
      pollfd p{fd, POLLIN, 0};
      while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
      }
    } else if (errno != ESRCH) {
      // No process descriptors on this host: look now and then.
      while (::kill(parent, 0) == 0 || errno == EPERM) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    Recorder::record("parent-ended", {});
    qv::os::recordProgramExit();
    std::_Exit(0);
  }).detach();
}

void forgetOnReset();

std::map<std::string, DriverHandler>& commands() {
  static std::map<std::string, DriverHandler> table = builtInCommands();
  forgetOnReset();
  return table;
}

// A fresh desktop has no script running, no `timeout` pending and only the
// built-in commands: what a test registered does not outlive it.
void forgetOnReset() {
  static const bool registered = (qv::desktop::onReset([] {
                                    stopDriver();
                                    watchdog().disarm();
                                    commands() = builtInCommands();
                                  }),
                                  true);
  (void)registered;
}

bool runOne(const std::string& line, std::string& error) {
  std::string l = trim(line);
  std::size_t sp = l.find_first_of(" \t");
  std::string name = lower(l.substr(0, sp));
  std::string args = sp == std::string::npos ? std::string() : trim(l.substr(sp));
  if (name == "wait") {
    long long ms = 0;
    if (!parseInt(args, ms) || ms < 0) {
      error = "expected milliseconds";
      return false;
    }
    Driver& d = driver();
    d.waitUntil = Clock::now() + static_cast<std::uint64_t>(ms);
    d.waiting = true;
    return true;
  }
  auto it = commands().find(name);
  if (it == commands().end()) {
    error = "unknown command";
    return false;
  }
  return it->second(args, error);
}

bool onIdle() {
  Driver& d = driver();
  if (d.ended) return false;
  if (d.waiting) {
    std::uint64_t now = Clock::now();
    if (now < d.waitUntil) {
      if (Clock::isVirtual()) {
        Clock::advanceTo(d.waitUntil);
      } else {
        // Short naps keep timers and messages from other threads on time.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<std::uint64_t>(d.waitUntil - now, 10)));
      }
      return true;
    }
    d.waiting = false;
  }
  while (d.next < d.lines.size()) {
    std::string line = trim(d.lines[d.next++]);
    if (line.empty() || line[0] == '#') continue;
    Recorder::record("driver", {line});
    std::string error;
    if (!runOne(line, error)) Recorder::record("driver-error", {line, error});
    return true;
  }
  return false;
}

}  // namespace

void registerDriverCommand(const std::string& name, DriverHandler handler) {
  commands()[lower(name)] = std::move(handler);
}

bool startDriverFromEnvironment() {
  const char* path = std::getenv("QV_DRIVER");
  if (!path || !*path) {
    const char* ends = std::getenv("QV_ENDS_WITH_PARENT");
    const char* parent = std::getenv("QV_PARENT");
    long long pid = 0;
    if (ends && *ends && parent && parseInt(parent, pid) && pid > 0) endWithParent(static_cast<pid_t>(pid));
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Recorder::record("driver-error", {path, "cannot read the script"});
    return false;
  }
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  startDriver(std::move(lines));
  return true;
}

void startDriver(std::vector<std::string> lines) {
  forgetOnReset();
  Driver& d = driver();
  d = Driver{};
  d.lines = std::move(lines);
  d.installed = true;
  qv::os::setIdleHook(&onIdle);
}

void stopDriver() {
  Driver& d = driver();
  if (d.installed) qv::os::setIdleHook(nullptr);
  d = Driver{};
}

bool driverBusy() {
  const Driver& d = driver();
  return d.installed && !d.ended && (d.waiting || d.next < d.lines.size());
}

bool runDriverCommand(const std::string& line, std::string& error) { return runOne(line, error); }

bool parseDriverKey(const std::string& name, DriverKey& key) {
  static const std::map<std::string, unsigned> names = {
      {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},     {"return", VK_RETURN},   {"enter", VK_RETURN},
      {"tab", VK_TAB},       {"space", VK_SPACE},    {"delete", VK_DELETE},   {"del", VK_DELETE},
      {"backspace", VK_BACK}, {"insert", VK_INSERT}, {"home", VK_HOME},       {"end", VK_END},
      {"pageup", VK_PRIOR},  {"pagedown", VK_NEXT},  {"left", VK_LEFT},       {"right", VK_RIGHT},
      {"up", VK_UP},         {"down", VK_DOWN},      {"apps", VK_APPS},       {"pause", VK_PAUSE},
  };
  DriverKey k;
  std::string rest = trim(name);
  if (rest.empty()) return false;
  for (;;) {
    std::size_t plus = rest.find('+', 1);  // "+" alone and "Ctrl++" name the plus key
    if (plus == std::string::npos) break;
    std::string mod = lower(trim(rest.substr(0, plus)));
    if (mod == "ctrl" || mod == "control")
      k.ctrl = true;
    else if (mod == "shift")
      k.shift = true;
    else if (mod == "alt")
      k.alt = true;
    else
      return false;
    rest = trim(rest.substr(plus + 1));
  }
  std::string l = lower(rest);
  if (auto it = names.find(l); it != names.end()) {
    k.vk = it->second;
  } else if (l.size() == 1 && std::isalnum(static_cast<unsigned char>(l[0]))) {
    k.vk = static_cast<unsigned>(std::toupper(static_cast<unsigned char>(l[0])));
  } else if (l.size() >= 2 && l[0] == 'f' && std::all_of(l.begin() + 1, l.end(), ::isdigit)) {
    int n = std::atoi(l.c_str() + 1);
    if (n < 1 || n > 12) return false;
    k.vk = static_cast<unsigned>(VK_F1 + n - 1);
  } else if (l == "+") {
    k.vk = VK_OEM_PLUS;
  } else if (l == "-") {
    k.vk = VK_OEM_MINUS;
  } else {
    return false;
  }
  key = k;
  return true;
}

}  // namespace qv::desktop
