#include "UserFixture.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"

using namespace usertest;
using qv::desktop::Recorder;

namespace {

class MenuTest : public UserTest {
 protected:
  std::vector<std::pair<UINT, std::string>> items(HMENU m) {
    std::vector<std::pair<UINT, std::string>> r;
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
      char buf[64] = {};
      GetMenuString(m, static_cast<UINT>(i), buf, sizeof buf, MF_BYPOSITION);
      r.push_back({GetMenuItemID(m, i), buf});
    }
    return r;
  }
};

using Items = std::vector<std::pair<UINT, std::string>>;

TEST_F(MenuTest, SystemMenuHasTheStandardItemsInTheProfilesLanguage) {
  HWND w = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  HMENU sys = GetSystemMenu(w, FALSE);
  ASSERT_NE(sys, nullptr);
  EXPECT_EQ(items(sys), (Items{{SC_RESTORE, "&Wiederherstellen"},
                               {SC_MOVE, "&Verschieben"},
                               {SC_SIZE, qv::os::ansi(u8"&Größe ändern")},
                               {SC_MINIMIZE, "Mi&nimieren"},
                               {SC_MAXIMIZE, "Ma&ximieren"},
                               {0, ""},
                               {SC_CLOSE, qv::os::ansi(u8"&Schließen\tAlt+F4")}}));
  EXPECT_EQ(GetMenuState(sys, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(GetMenuState(sys, 5, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetSystemMenu(w, FALSE), sys);  // the same copy again

  // Dialog frames get the short menu; English profiles English texts.
  qv::desktop::profile().langId = 1033;
  HWND dlg = make(WS_POPUP | WS_CAPTION | WS_SYSMENU, {0, 0, 100, 100}, nullptr, WS_EX_DLGMODALFRAME);
  EXPECT_EQ(items(GetSystemMenu(dlg, FALSE)), (Items{{SC_MOVE, "&Move"}, {0, ""}, {SC_CLOSE, "&Close\tAlt+F4"}}));
}

TEST_F(MenuTest, AppendingToTheSystemMenuAndRevertingOrDestroyingDropsTheCopy) {
  HWND w = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  HMENU sys = GetSystemMenu(w, FALSE);
  EXPECT_TRUE(AppendMenu(sys, MF_SEPARATOR, 0, nullptr));
  EXPECT_TRUE(AppendMenu(sys, MF_STRING, 1281, "&Info..."));
  EXPECT_EQ(GetMenuItemCount(sys), 9);
  EXPECT_EQ(GetMenuItemID(sys, 8), 1281u);
  EXPECT_EQ(GetSystemMenu(w, TRUE), nullptr);
  EXPECT_FALSE(IsMenu(sys));
  HMENU fresh = GetSystemMenu(w, FALSE);
  EXPECT_EQ(GetMenuItemCount(fresh), 7);
  DestroyWindow(w);
  EXPECT_FALSE(IsMenu(fresh));
}

TEST_F(MenuTest, ItemsCanBeInsertedChangedCheckedAndRemoved) {
  HMENU m = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenu(sub, MF_STRING, 20, "Inner");
  AppendMenu(m, MF_STRING, 10, "One");
  AppendMenu(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "More");
  InsertMenu(m, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 5, "Zero");
  InsertMenu(m, 10, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
  EXPECT_EQ(items(m), (Items{{5, "Zero"}, {0, ""}, {10, "One"}, {static_cast<UINT>(-1), "More"}}));
  EXPECT_EQ(GetSubMenu(m, 3), sub);
  EXPECT_EQ(GetMenuState(m, 3, MF_BYPOSITION), (1u << 8) | MF_POPUP);
  EXPECT_EQ(GetMenuState(m, 5, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
  // Commands are found in submenus too.
  EXPECT_EQ(CheckMenuItem(m, 20, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(m, 20, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(EnableMenuItem(m, 5, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(CheckMenuItem(m, 99, MF_BYCOMMAND), static_cast<DWORD>(-1));
  EXPECT_EQ(GetMenuState(m, 99, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_TRUE(ModifyMenu(m, 10, MF_BYCOMMAND | MF_STRING, 11, "Eins"));
  EXPECT_EQ(items(m)[2], std::make_pair(11u, std::string("Eins")));

  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA;
  info.dwTypeData = const_cast<char*>("Two");
  info.wID = 12;
  info.fState = MFS_CHECKED;
  info.dwItemData = 77;
  EXPECT_TRUE(InsertMenuItem(m, 1, TRUE, &info));
  MENUITEMINFOA back{};
  back.cbSize = sizeof back;
  back.fMask = MIIM_STRING | MIIM_STATE | MIIM_DATA;
  EXPECT_TRUE(GetMenuItemInfo(m, 12, FALSE, &back));
  EXPECT_EQ(back.cch, 3u);
  EXPECT_EQ(back.dwItemData, 77u);
  EXPECT_EQ(back.fState, static_cast<UINT>(MFS_CHECKED));

  EXPECT_TRUE(RemoveMenu(m, 4, MF_BYPOSITION));  // the submenu stays
  EXPECT_TRUE(IsMenu(sub));
  AppendMenu(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "More");
  EXPECT_TRUE(DeleteMenu(m, GetMenuItemCount(m) - 1, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(sub));
  EXPECT_TRUE(DestroyMenu(m));
  EXPECT_EQ(GetMenuItemCount(m), -1);
  EXPECT_FALSE(AppendMenu(m, MF_STRING, 1, "x"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
}

TEST_F(MenuTest, TrackPopupMenuIsRecordedAndAnsweredByScript) {
  HWND w = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  HMENU m = CreatePopupMenu();
  AppendMenu(m, MF_STRING, 10, "&Open");
  AppendMenu(m, MF_STRING | MF_GRAYED, 11, "&Print");
  AppendMenu(m, MF_SEPARATOR, 0, nullptr);
  AppendMenu(m, MF_STRING, 12, "E&xit\tAlt+X");
  struct Case {
    const char* answer;  // nullptr: none scripted
    int result;
  };
  const Case cases[] = {{"Open", 10}, {"exit", 12}, {"12", 12}, {"Print", 0}, {"cancel", 0}, {nullptr, 0}};
  for (const Case& c : cases) {
    Recorder::clearAnswers();
    if (c.answer) Recorder::pushAnswer("popupmenu", c.answer);
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 40, 50, 0, w, nullptr), c.result) << (c.answer ? c.answer : "-");
  }
  auto ev = Recorder::eventsOf("popupmenu");
  ASSERT_EQ(ev.size(), 6u);
  EXPECT_EQ(ev[0].fields, (std::vector<std::string>{"40", "50", "&Open|&Print|-|E&xit\tAlt+X"}));
  EXPECT_EQ(names({WM_INITMENUPOPUP}, w).size(), 6u);

  // Without TPM_RETURNCMD the choice arrives as WM_COMMAND, or as
  // WM_SYSCOMMAND for the system menu.
  log().clear();
  Recorder::pushAnswer("popupmenu", "Open");
  EXPECT_TRUE(TrackPopupMenu(m, 0, 0, 0, 0, w, nullptr));
  Recorder::pushAnswer("popupmenu", "Ma&ximieren");
  TrackPopupMenu(GetSystemMenu(w, FALSE), 0, 0, 0, 0, w, nullptr);
  qv::os::pumpMessages();
  EXPECT_EQ(names({WM_COMMAND, WM_SYSCOMMAND}, w), (std::vector<std::string>{"WM_COMMAND", "WM_SYSCOMMAND"}));
  EXPECT_TRUE(IsZoomed(w));
}

TEST_F(MenuTest, SystemCommandsMinimiseRestoreAndClose) {
  HWND w = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  SendMessage(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(w));
  SendMessage(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(w));
  // Handlers may refuse the close; the default destroys the window.
  onMessage([](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) { return m == WM_CLOSE && (r = 0, true); });
  SendMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(w));
  onMessage(nullptr);
  SendMessage(w, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0);  // the low four bits are the platform's own
  EXPECT_FALSE(IsWindow(w));
}

}  // namespace
