// The browser host's services for a control loaded from a form resource:
// the owner form's hook that brands the dialogs taking over from the form,
// the shell's DDE server (initiation by broadcast, execute, acknowledgement,
// terminate; only for the acknowledged client of this thread and only with
// EnableDDE), its command parser, and the item id list routines.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "browserhost/BrowserUtils.h"
#include "browserhost/WebHost.h"
#include "platform/browser/WebBrowser.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Registry.h"
#include "platform/com/Malloc.h"
#include "platform/com/Ole.h"
#include "platform/desktop/Recorder.h"
#include "platform/modules/Comctl32.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/kernel/Atom.h"
#include "platform/os/kernel/Memory.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/ShellShared.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/Dde.h"
#include "platform/os/user/User.h"

namespace {

using qv::browserhost::GetDdeCommandKind;
using qv::browserhost::ParseDdeCommand;
using qv::browserhost::TDdeCommand;

// An item id list as bytes: each item its size (counting the size field)
// and filler, then the terminating zero size.
std::vector<BYTE> itemList(const std::vector<USHORT>& sizes, bool terminated = true) {
  std::vector<BYTE> bytes;
  for (USHORT cb : sizes) {
    const std::size_t at = bytes.size();
    bytes.resize(at + cb, 0xAB);
    std::memcpy(bytes.data() + at, &cb, sizeof cb);
  }
  if (terminated) bytes.resize(bytes.size() + 2, 0);
  return bytes;
}

LPCITEMIDLIST asList(const std::vector<BYTE>& bytes) { return reinterpret_cast<LPCITEMIDLIST>(bytes.data()); }

// The shell's DDE entries of a stock desktop.
void writeShellDdeEntries() {
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  auto put = [&](const std::string& key, const std::string& value) {
    ASSERT_TRUE(registry.OpenKey("\\" + key, true)) << key;
    registry.WriteString("", value);
    registry.CloseKey();
  };
  put("htmlfile\\shell\\open\\ddeexec", "\"file://%1\",,-1,,,,,");
  put("htmlfile\\shell\\open\\ddeexec\\application", "IExplore");
  put("htmlfile\\shell\\open\\ddeexec\\topic", "WWW_OpenURL");
  put("Folder\\shell\\open\\ddeexec", "[ViewFolder(\"%l\", %I, %S)]");
  put("Folder\\shell\\open\\ddeexec\\application", "Folders");
  put("Folder\\shell\\open\\ddeexec\\topic", "AppProperties");
  put("Folder\\shell\\explore\\ddeexec", "[ExploreFolder(\"%l\", %I, %S)]");
  put("Directory\\shell\\find\\ddeexec", "[FindFolder(\"%l\", %I)]");
}

// What a DDE client window hears.
struct Heard {
  UINT msg;
  HWND from;
  UINT_PTR low;
  UINT_PTR high;
};
std::vector<Heard>& heard() {
  static std::vector<Heard> h;
  return h;
}
// While the client waits for the answer to its initiation, which comes
// unpacked.
bool initiating = false;

LRESULT clientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DDE_ACK || msg == WM_DDE_TERMINATE) {
    Heard h{msg, reinterpret_cast<HWND>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)),
            HIWORD(static_cast<DWORD_PTR>(lParam))};
    // Acknowledgements of an execute come packed.
    if (msg == WM_DDE_ACK && !initiating) {
      UnpackDDElParam(WM_DDE_ACK, lParam, &h.low, &h.high);
      FreeDDElParam(WM_DDE_ACK, lParam);
    }
    heard().push_back(h);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

constexpr const char* kForm = R"(object HostForm: TForm
  Left = 0
  Top = 0
  Width = 400
  Height = 300
  object WelcomeBrowser: TWebHost
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    ReplaceCaption = True
    EnableDDE = True
  end
end
)";

class DdeServerTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    heard().clear();
    writeShellDdeEntries();
    writeFile("site/index.html", "<html><head><title>Start</title></head><body>start</body></html>");
    writeFile("site/page2.html", "<html><head><title>Two</title></head><body>two</body></html>");
    form.reset(TForm::CreateNew(nullptr));
    // The hook goes on an owner whose window exists.
    form->HandleNeeded();
    qv::classlib::readComponentText(kForm, form.get());
    host = dynamic_cast<TWebHost*>(form->FindComponent("WelcomeBrowser"));
    ASSERT_NE(host, nullptr);
    form->Show();
    host->NavigateTo(page("index.html"));
    pump();
    WNDCLASSA wc{};
    wc.lpfnWndProc = clientProc;
    wc.lpszClassName = "DdeClient";
    RegisterClass(&wc);
    client = CreateWindowEx(0, "DdeClient", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(client, nullptr);
  }
  void TearDown() override {
    if (IsWindow(client)) DestroyWindow(client);
    form.reset();
    pump();
    DesktopTest::TearDown();
  }
  static void pump() { Application->ProcessMessages(); }
  std::string page(const std::string& name) const { return qv::os::toWindowsPath(hostPath("site/" + name)); }
  std::string shownUrl() const { return qv::browser::webBrowserOf(host->DefaultInterface())->document()->url(); }

  // Broadcasts the initiation, as the shell does; true when the control
  // answered for the application and topic asked for.
  bool initiate(HWND from, const char* application, const char* topic) {
    const ATOM app = GlobalAddAtom(application);
    const ATOM top = GlobalAddAtom(topic);
    heard().clear();
    initiating = true;
    SendMessage(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(from), MAKELPARAM(app, top));
    initiating = false;
    GlobalDeleteAtom(app);
    GlobalDeleteAtom(top);
    return heard().size() == 1 && heard()[0].msg == WM_DDE_ACK && heard()[0].from == host->Handle() &&
           heard()[0].low == app && heard()[0].high == top;
  }
  // Posts a command to the control's window and lets it run; the client
  // frees its command memory once acknowledged, as DDE clients do.
  void execute(HWND from, const std::string& command) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, command.size() + 1);
    std::memcpy(GlobalLock(memory), command.c_str(), command.size() + 1);
    GlobalUnlock(memory);
    heard().clear();
    PostMessage(host->Handle(), WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(from),
                PackDDElParam(WM_DDE_EXECUTE, 0, reinterpret_cast<UINT_PTR>(memory)));
    pump();
    for (const Heard& h : heard()) {
      if (h.msg == WM_DDE_ACK) {
        EXPECT_EQ(h.high, reinterpret_cast<UINT_PTR>(memory));
      }
    }
    GlobalFree(memory);
  }
  // The status words of the acknowledgements heard since the last command.
  static std::vector<UINT_PTR> acks() {
    std::vector<UINT_PTR> out;
    for (const Heard& h : heard())
      if (h.msg == WM_DDE_ACK) out.push_back(h.low);
    return out;
  }
  static std::vector<std::vector<std::string>> shellRequests() {
    std::vector<std::vector<std::string>> out;
    for (const auto& e : qv::desktop::Recorder::eventsOf("shell")) out.push_back(e.fields);
    return out;
  }

  std::unique_ptr<TForm> form;
  TWebHost* host = nullptr;
  HWND client = nullptr;
};

// --- the owner form's hook ---------------------------------------------------

TEST_F(DdeServerTest, ADialogTakingOverFromTheFormIsBrandedWithTheApplication) {
  Application->SetTitle("Quorvel Designer");
  Application->Icon()->SetHandle(LoadIcon(nullptr, IDI_APPLICATION));
  ASSERT_NE(Application->Icon()->Handle(), nullptr);
  std::vector<HWND> reported;
  host->OnShowDialog = [&](TObject*, HWND h) { reported.push_back(h); };
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "#32770";
  RegisterClass(&wc);

  struct Case {
    const char* className;
    bool replace;
    const char* title;
    const char* shown;
  } cases[] = {
      {"#32770", true, "Drucken - Microsoft Internet Explorer", "Drucken - Quorvel Designer"},
      // Only the first of each is replaced, case-sensitively.
      {"#32770", true, "Microsoft Microsoft internet explorer", "Microsoft internet explorer"},
      {"#32770", false, "Suchen - Microsoft Internet Explorer", "Suchen - Microsoft Internet Explorer"},
      // Not a dialog: its title stays, and it is reported all the same.
      {"DdeClient", true, "Microsoft Internet Explorer", "Microsoft Internet Explorer"},
  };
  for (const Case& c : cases) {
    host->SetReplaceCaption(c.replace);
    SetActiveWindow(form->Handle());
    reported.clear();
    HWND dialog = CreateWindowEx(0, c.className, c.title, WS_POPUP | WS_CAPTION, 10, 10, 200, 100, form->Handle(),
                                 nullptr, nullptr, nullptr);
    ShowWindow(dialog, SW_SHOW);
    SetActiveWindow(dialog);
    char title[128] = {};
    GetWindowText(dialog, title, sizeof title);
    EXPECT_STREQ(title, c.shown) << c.title;
    EXPECT_EQ(reported, std::vector<HWND>{dialog}) << c.title;
    const auto icon = reinterpret_cast<HICON>(SendMessage(dialog, WM_GETICON, ICON_SMALL, 0));
    const bool branded = c.replace && std::string(c.className) == "#32770";
    EXPECT_EQ(icon, branded ? Application->Icon()->Handle() : nullptr) << c.title;
    DestroyWindow(dialog);
  }
  // The form's own handling still runs behind the hook.
  SetActiveWindow(form->Handle());
  EXPECT_EQ(Screen->ActiveForm(), form.get());
}

TEST_F(DdeServerTest, TheHookGoesWithTheControl) {
  int reports = 0;
  host->OnShowDialog = [&](TObject*, HWND) { ++reports; };
  delete host;
  host = nullptr;
  SetActiveWindow(form->Handle());
  HWND other = CreateWindowEx(0, "DdeClient", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(other, SW_SHOW);
  SetActiveWindow(other);
  EXPECT_EQ(reports, 0);
  DestroyWindow(other);
}

// --- the DDE server ----------------------------------------------------------

TEST_F(DdeServerTest, AFolderConversationFromASecondWindow) {
  ASSERT_TRUE(initiate(client, "Folders", "AppProperties"));
  EXPECT_EQ(host->DdeClient(), client);

  // A quoted path and a show command.
  execute(client, "[ExploreFolder(\"C:\\Data\", ,3)]");
  EXPECT_EQ(acks(), std::vector<UINT_PTR>{DDE_FACK});
  auto calls = shellRequests();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(std::vector<std::string>(calls[0].begin(), calls[0].end() - 1),
            (std::vector<std::string>{"explore", "C:\\Data", "", "", "3"}));

  execute(client, "[ViewFolder(\"" + page("page2.html") + "\", , 1)]");
  EXPECT_EQ(acks(), std::vector<UINT_PTR>{DDE_FACK});
  pump();
  EXPECT_NE(shownUrl().find("page2.html"), std::string::npos) << shownUrl();

  // A command the server does not know is acknowledged, negatively.
  execute(client, "[ShellNewDlg(\"C:\\Data\")]");
  EXPECT_EQ(acks(), std::vector<UINT_PTR>{0});

  heard().clear();
  PostMessage(host->Handle(), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(client), 0);
  pump();
  ASSERT_EQ(heard().size(), 1u);
  EXPECT_EQ(heard()[0].msg, static_cast<UINT>(WM_DDE_TERMINATE));
  EXPECT_EQ(heard()[0].from, host->Handle());
  // The conversation is over: its window is no client any more.
  EXPECT_EQ(host->DdeClient(), nullptr);
  execute(client, "[ExploreFolder(\"C:\\Other\", ,3)]");
  EXPECT_TRUE(acks().empty());
  EXPECT_EQ(shellRequests().size(), 1u);

  // The whole conversation is in the log.
  std::vector<std::string> seen;
  for (const auto& e : qv::desktop::Recorder::eventsOf("dde")) seen.push_back(e.fields.at(0));
  EXPECT_EQ(seen, (std::vector<std::string>{"initiate", "ack", "execute", "ack", "execute", "ack", "execute", "ack",
                                            "terminate", "terminate", "execute"}));
}

TEST_F(DdeServerTest, AnHtmlConversationNavigatesToTheAddress) {
  ASSERT_TRUE(initiate(client, "IExplore", "WWW_OpenURL"));
  std::string url = "file:///" + page("page2.html");
  execute(client, "\"" + url + "\",,-1,0,,,,");
  EXPECT_EQ(acks(), std::vector<UINT_PTR>{DDE_FACK});
  pump();
  EXPECT_NE(shownUrl().find("page2.html"), std::string::npos) << shownUrl();
  // Nothing to open: a negative acknowledgement.
  execute(client, "\"\",,-1");
  EXPECT_EQ(acks(), std::vector<UINT_PTR>{0});
}

// Only the acknowledged client, only with EnableDDE, only names the shell
// uses; a window that was never acknowledged is no client.
TEST_F(DdeServerTest, WhoIsAnswered) {
  HWND stranger = CreateWindowEx(0, "DdeClient", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  execute(stranger, "[ExploreFolder(\"C:\\Data\", ,3)]");
  EXPECT_TRUE(acks().empty());

  EXPECT_FALSE(initiate(client, "Folders", "Other topic"));
  EXPECT_FALSE(initiate(client, "Someone", "AppProperties"));
  EXPECT_EQ(host->DdeClient(), nullptr);

  ASSERT_TRUE(initiate(client, "Folders", "AppProperties"));
  // Another window speaking for the acknowledged client is ignored.
  execute(stranger, "[ExploreFolder(\"C:\\Data\", ,3)]");
  EXPECT_TRUE(acks().empty());
  heard().clear();
  PostMessage(host->Handle(), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(stranger), 0);
  pump();
  EXPECT_TRUE(heard().empty());

  host->SetEnableDDE(false);
  execute(client, "[ExploreFolder(\"C:\\Data\", ,3)]");
  EXPECT_TRUE(acks().empty());
  EXPECT_FALSE(initiate(client, "Folders", "AppProperties"));
  EXPECT_TRUE(shellRequests().empty());
  DestroyWindow(stranger);
}

// A control made in code has no window procedure of its own to hear the
// conversation: it acknowledges nothing, EnableDDE or not.
TEST_F(DdeServerTest, AControlMadeInCodeStartsNoConversation) {
  host->SetEnableDDE(false);
  auto* made = new TWebHost(form.get());
  made->SetParent(form.get());
  made->SetEnableDDE(true);
  made->HandleNeeded();
  heard().clear();
  const ATOM app = GlobalAddAtom("Folders");
  const ATOM topic = GlobalAddAtom("AppProperties");
  SendMessage(made->DdeWindow(), WM_DDE_INITIATE, reinterpret_cast<WPARAM>(client), MAKELPARAM(app, topic));
  EXPECT_TRUE(heard().empty());
  EXPECT_EQ(made->DdeClient(), nullptr);
}

// The list of a folder command comes in the shell's shared memory, which the
// server releases; a plain number would be an address, which it never reads.
TEST_F(DdeServerTest, AFolderListIsTakenFromSharedMemoryOnly) {
  ASSERT_TRUE(initiate(client, "Folders", "AppProperties"));
  LPITEMIDLIST list = qv::os::itemListFromPath(page("page2.html"));
  const DWORD self = GetCurrentProcessId();
  HANDLE shared = SHAllocShared(list, PidlSize(list), self);
  execute(client, "[ViewFolder(\"\", :" + std::to_string(reinterpret_cast<ULONG_PTR>(shared)) + ":" +
                      std::to_string(self) + ", 1)]");
  EXPECT_EQ(acks(), std::vector<UINT_PTR>{DDE_FACK});
  EXPECT_EQ(qv::os::sharedBlockCount(), 0);
  pump();
  EXPECT_NE(shownUrl().find("page2.html"), std::string::npos) << shownUrl();

  host->NavigateTo(page("index.html"));
  pump();
  execute(client, "[ViewFolder(\"\", " + std::to_string(reinterpret_cast<ULONG_PTR>(list)) + ", 1)]");
  EXPECT_EQ(acks(), std::vector<UINT_PTR>{0});
  pump();
  EXPECT_NE(shownUrl().find("index.html"), std::string::npos) << shownUrl();
  // Explore on the list alone: the shell gets the list's folder.
  shared = SHAllocShared(list, PidlSize(list), self);
  execute(client, "[ExploreFolder(\"\", :" + std::to_string(reinterpret_cast<ULONG_PTR>(shared)) + ":" +
                      std::to_string(self) + ", 5)]");
  EXPECT_EQ(acks(), std::vector<UINT_PTR>{DDE_FACK});
  auto calls = shellRequests();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0][1], page("page2.html"));
  EXPECT_EQ(calls[0][4], "5");
  CoTaskMemFree(list);
}

// The parser reads only what is there: cut and unbalanced commands give
// empty parts, never text from beyond their end.
TEST_F(DdeServerTest, CommandsAreParsedWithinTheirText) {
  struct Case {
    std::string text;
    qv::browserhost::TDdeCommandKind kind;
    std::string path;
    int show;
  } cases[] = {
      {"[ViewFolder(\"C:\\x\", ,7)]", qv::browserhost::dckOpenFolder, "C:\\x", 7},
      {"[ViewFolder(\"C:\\x\"", qv::browserhost::dckOpenFolder, "C:\\x", 1},
      {"[ViewFolder(\"C:\\x", qv::browserhost::dckOpenFolder, "", 1},
      {"[ViewFolder(", qv::browserhost::dckOpenFolder, "", 1},
      {"[ExploreFolder(\"C:\\y\", :1:2,)]", qv::browserhost::dckExplore, "C:\\y", 1},
      {"[ExploreFolder(\"C:\\y\",,-)]", qv::browserhost::dckExplore, "C:\\y", 1},
      {"[FindFolder(\"C:\\z\", :99999999999:1)]", qv::browserhost::dckFind, "C:\\z", 1},
      // Without both brackets, or with an empty or unknown name: no command,
      // and nothing else is read.
      {"ViewFolder(\"C:\\x\")", qv::browserhost::dckNone, "", 1},
      {"(ViewFolder[\"C:\\x\"", qv::browserhost::dckNone, "", 1},
      {"[(\"C:\\x\", ,3)]", qv::browserhost::dckNone, "", 1},
      {"[viewfolder(\"C:\\x\", ,3)]", qv::browserhost::dckNone, "", 1},
      {"", qv::browserhost::dckNone, "", 1},
      {"[", qv::browserhost::dckNone, "", 1},
  };
  for (const Case& c : cases) {
    TDdeCommand command = ParseDdeCommand(c.text);
    EXPECT_EQ(command.Kind, c.kind) << c.text;
    EXPECT_EQ(command.Path, c.path) << c.text;
    EXPECT_EQ(command.Pidl, nullptr) << c.text;
    EXPECT_EQ(command.ShowCommand, c.show) << c.text;
  }
  // Without the registry's names no command is known, the empty one least.
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  for (const char* key : {"\\htmlfile", "\\Folder", "\\Directory"}) registry.DeleteKey(key);
  qv::browserhost::ReadShellDdeNames();
  EXPECT_EQ(qv::browserhost::shellDdeNames().FolderApplication, "");
  EXPECT_EQ(GetDdeCommandKind("[(\"C:\\x\")]"), qv::browserhost::dckNone);
  EXPECT_EQ(GetDdeCommandKind("[ViewFolder(\"C:\\x\")]"), qv::browserhost::dckNone);
}

// --- item id lists -----------------------------------------------------------

TEST_F(DdeServerTest, ItemIdListsAreMeasuredAndCopiedWithinTheirMemory) {
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
    UINT limit;
    UINT size;
  } cases[] = {
      {"empty", itemList({}), 0xFFFFFFFFu, 2},
      {"one item", itemList({20}), 0xFFFFFFFFu, 22},
      {"nested", itemList({14, 20, 9}), 0xFFFFFFFFu, 45},
      {"exactly in its memory", itemList({14, 20, 9}), 45, 45},
      {"cut short", itemList({14, 20, 9}, false), 43, 0},
      {"cut inside an item", itemList({14, 20}), 30, 0},
      {"an item shorter than its size", {1, 0, 0, 0}, 4, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PidlSize(asList(c.bytes), c.limit), c.size) << c.name;
    LPITEMIDLIST copy = ClonePidl(asList(c.bytes), c.limit);
    if (c.size == 0) {
      EXPECT_EQ(copy, nullptr) << c.name;
    } else {
      ASSERT_NE(copy, nullptr) << c.name;
      EXPECT_EQ(std::memcmp(copy, c.bytes.data(), c.size), 0) << c.name;
    }
    ShellFreePidl(copy);
  }
  EXPECT_EQ(PidlSize(nullptr), 0u);
  EXPECT_EQ(ClonePidl(nullptr), nullptr);
  ShellFreePidl(nullptr);
  const std::vector<BYTE> nested = itemList({14, 20, 9});
  EXPECT_EQ(reinterpret_cast<const BYTE*>(NextPidlItem(asList(nested))), nested.data() + 14);
  EXPECT_EQ(reinterpret_cast<const BYTE*>(NextPidlItem(NextPidlItem(asList(nested)))), nested.data() + 34);
  auto* zeros = static_cast<BYTE*>(ShellAlloc(3));
  ASSERT_NE(zeros, nullptr);
  EXPECT_EQ(zeros[0] | zeros[1] | zeros[2], 0);
  CoTaskMemFree(zeros);
}

TEST_F(DdeServerTest, TheCommonControlsAllocatorIsBoundByOrdinal) {
  HMODULE controls = LoadLibrary("comctl32.dll");
  auto alloc = qv::os::procAs<void* (*)(DWORD)>(GetProcAddress(controls, MAKEINTRESOURCE(71)));
  ASSERT_NE(alloc, nullptr);
  void* block = alloc(8);
  const int before = qv::modules::commonControlsBlockCount();
  EXPECT_TRUE(CommonControlsFree(block));
  EXPECT_EQ(qv::modules::commonControlsBlockCount(), before - 1);
  EXPECT_FALSE(CommonControlsFree(block));
  FreeLibrary(controls);
}

}  // namespace
