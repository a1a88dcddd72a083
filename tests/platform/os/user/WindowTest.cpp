#include "UserFixture.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/kernel/SysInfo.h"

using namespace usertest;

namespace {

class WindowTest : public UserTest {};

struct FrameCase {
  const char* what;
  DWORD style;
  DWORD exStyle;
  RECT frame;  // left, top, right, bottom thickness
};

TEST_F(WindowTest, ClientAreasFollowTheBorderStyles) {
  const FrameCase cases[] = {
      {"sizeable", WS_OVERLAPPEDWINDOW, 0, {4, 23, 4, 4}},
      {"single", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, {3, 22, 3, 3}},
      {"dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, {3, 22, 3, 3}},
      {"tool window", WS_POPUP | WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW, {4, 20, 4, 4}},
      {"none", WS_POPUP, 0, {0, 0, 0, 0}},
      {"border", WS_POPUP | WS_BORDER, 0, {1, 1, 1, 1}},
      {"client edge", WS_POPUP, WS_EX_CLIENTEDGE, {2, 2, 2, 2}},
      {"static edge and border", WS_POPUP | WS_BORDER, WS_EX_STATICEDGE, {2, 2, 2, 2}},
      {"overlapped without caption bits", WS_OVERLAPPED, 0, {3, 22, 3, 3}},
  };
  for (const FrameCase& c : cases) {
    HWND h = make(c.style, {10, 20, 310, 220}, nullptr, c.exStyle);
    RECT wr, cr;
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    EXPECT_EQ(wr.left, 10) << c.what;
    EXPECT_EQ(wr.bottom, 220) << c.what;
    EXPECT_EQ(cr.right, 300 - c.frame.left - c.frame.right) << c.what;
    EXPECT_EQ(cr.bottom, 200 - c.frame.top - c.frame.bottom) << c.what;
    POINT o{0, 0};
    ClientToScreen(h, &o);
    EXPECT_EQ(o.x, 10 + c.frame.left) << c.what;
    EXPECT_EQ(o.y, 20 + c.frame.top) << c.what;
    // AdjustWindowRectEx is the inverse for the styles as created.
    RECT adj = {0, 0, cr.right, cr.bottom};
    AdjustWindowRectEx(&adj, static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLong(h, GWL_EXSTYLE)));
    EXPECT_EQ(adj.right - adj.left, 300) << c.what;
    EXPECT_EQ(adj.bottom - adj.top, 200) << c.what;
    DestroyWindow(h);
  }
}

TEST_F(WindowTest, MenuBarsAndScrollBarsTakeFromTheClientArea) {
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING, 1, "&Datei");
  HWND h = CreateWindowEx(0, "QvLog", "", WS_OVERLAPPEDWINDOW | WS_VSCROLL, 0, 0, 300, 200, nullptr, bar, nullptr, nullptr);
  RECT cr;
  GetClientRect(h, &cr);
  EXPECT_EQ(cr.right, 300 - 8 - 16);
  EXPECT_EQ(cr.bottom, 200 - 27 - 19);
  EXPECT_EQ(GetMenu(h), bar);
  DestroyWindow(h);
  EXPECT_FALSE(IsMenu(bar));  // the window takes its menu with it
}

TEST_F(WindowTest, CreationAndDestructionSendTheirMessagesInOrder) {
  HWND parent = make(WS_OVERLAPPEDWINDOW, {0, 0, 200, 200});
  HWND child = make(WS_CHILD | WS_VISIBLE, {5, 5, 50, 50}, parent, 0, 7);
  HWND grandchild = make(WS_CHILD | WS_VISIBLE, {1, 1, 10, 10}, child, 0, 8);
  EXPECT_EQ(names({WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}, child),
            (std::vector<std::string>{"WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_SIZE", "WM_MOVE", "WM_SHOWWINDOW"}));
  EXPECT_EQ(names({WM_PARENTNOTIFY}, parent), (std::vector<std::string>{"WM_PARENTNOTIFY", "WM_PARENTNOTIFY"}));
  log().clear();
  EXPECT_TRUE(DestroyWindow(parent));
  std::vector<std::pair<HWND, UINT>> seen;
  for (const Logged& l : log())
    if (l.msg == WM_DESTROY || l.msg == WM_NCDESTROY) seen.push_back({l.hwnd, l.msg});
  // WM_DESTROY goes parent first, WM_NCDESTROY children first.
  EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{parent, WM_DESTROY},
                                                     {child, WM_DESTROY},
                                                     {grandchild, WM_DESTROY},
                                                     {grandchild, WM_NCDESTROY},
                                                     {child, WM_NCDESTROY},
                                                     {parent, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(grandchild));
  EXPECT_FALSE(DestroyWindow(parent));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowTest, CreationCanBeRefusedAndBadArgumentsFail) {
  onMessage([](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) { return m == WM_CREATE && (r = -1, true); });
  EXPECT_EQ(CreateWindowEx(0, "QvLog", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(names({WM_DESTROY, WM_NCDESTROY}), (std::vector<std::string>{"WM_DESTROY", "WM_NCDESTROY"}));
  onMessage(nullptr);
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
  EXPECT_EQ(CreateWindowEx(0, "QvLog", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  WNDCLASSA again{};
  again.lpszClassName = "qvlog";
  EXPECT_EQ(RegisterClass(&again), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  make(WS_POPUP, {0, 0, 1, 1});
  EXPECT_FALSE(UnregisterClass("QvLog", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
}

TEST_F(WindowTest, WindowWordsTextAndSubclassing) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.cbWndExtra = 16;
  wc.lpszClassName = "QvExtra";
  RegisterClass(&wc);
  HWND h = CreateWindowEx(0, "QvExtra", "Titel", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(SetWindowLongPtr(h, 8, 0x1234), 0);
  EXPECT_EQ(GetWindowLongPtr(h, 8), 0x1234);
  EXPECT_EQ(GetWindowLongPtr(h, 9), 0);  // past the extra bytes
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(GetWindowLong(h, GWLP_WNDPROC), 0);  // pointer words need the Ptr forms
  SetWindowLongPtr(h, GWLP_USERDATA, 99);
  EXPECT_EQ(GetWindowLongPtr(h, GWLP_USERDATA), 99);

  char buf[4];
  EXPECT_EQ(GetWindowTextLength(h), 5);
  EXPECT_EQ(GetWindowText(h, buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "Tit");

  static WNDPROC previous;
  static int seen;
  seen = 0;
  WNDPROC sub = [](HWND hh, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_SETTEXT) ++seen;
    return CallWindowProc(previous, hh, m, w, l);
  };
  previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sub)));
  EXPECT_EQ(previous, &DefWindowProc);
  SetWindowText(h, "Neu");
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(GetWindowText(h, buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "Neu");
}

TEST_F(WindowTest, ZOrderKeepsTopmostWindowsAboveAndChildrenInCreationOrder) {
  HWND a = make(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  HWND b = make(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  HWND top = make(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10}, nullptr, WS_EX_TOPMOST);
  HWND c = make(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  auto order = [] {
    std::vector<HWND> v;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) v.push_back(h);
    return v;
  };
  EXPECT_EQ(order(), (std::vector<HWND>{top, c, b, a}));
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{top, a, b, c}));
  SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{b, top, a, c}));
  SetWindowPos(top, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{b, top, a, c}));
  EXPECT_FALSE(GetWindowLong(top, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(top, c, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{b, a, c, top}));

  HWND k1 = make(WS_CHILD, {0, 0, 1, 1}, a);
  HWND k2 = make(WS_CHILD, {0, 0, 1, 1}, a);
  EXPECT_EQ(GetWindow(a, GW_CHILD), k1);
  EXPECT_EQ(GetWindow(k1, GW_HWNDNEXT), k2);
  EXPECT_EQ(GetParent(k2), a);
  EXPECT_TRUE(IsChild(a, k2));
}

TEST_F(WindowTest, ShowingAWindowActivatesItAndFocusFollows) {
  HWND a = make(WS_OVERLAPPEDWINDOW, {0, 0, 200, 200});
  HWND edit = make(WS_CHILD | WS_VISIBLE, {10, 10, 50, 30}, a);
  log().clear();
  EXPECT_FALSE(ShowWindow(a, SW_SHOW));
  EXPECT_EQ(names({WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED}, a),
            (std::vector<std::string>{"WM_SHOWWINDOW", "WM_ACTIVATEAPP", "WM_NCACTIVATE", "WM_ACTIVATE", "WM_SETFOCUS",
                                      "WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetForegroundWindow(), a);
  EXPECT_EQ(GetFocus(), a);

  HWND b = make(WS_OVERLAPPEDWINDOW, {0, 0, 100, 100});
  SetFocus(edit);
  log().clear();
  ShowWindow(b, SW_SHOWNORMAL);
  EXPECT_EQ(names({WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS}, a),
            (std::vector<std::string>{"WM_NCACTIVATE", "WM_ACTIVATE"}));
  EXPECT_EQ(names({WM_KILLFOCUS}, edit), (std::vector<std::string>{"WM_KILLFOCUS"}));
  EXPECT_EQ(GetFocus(), b);
  EXPECT_TRUE(names({WM_ACTIVATEAPP}, b).empty());  // the application stayed active

  // Focus to a control of an inactive window activates that window first.
  SetFocus(edit);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), edit);
  // The active window's end hands the activation to the next one.
  DestroyWindow(a);
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), b);
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(names({WM_ACTIVATEAPP}, b).size(), 1u);
}

TEST_F(WindowTest, DisablingSendsEnableAndDropsTheFocus) {
  HWND a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  HWND c = make(WS_CHILD | WS_VISIBLE, {0, 0, 20, 20}, a);
  SetFocus(c);
  EXPECT_FALSE(EnableWindow(c, FALSE));
  EXPECT_TRUE(EnableWindow(c, FALSE));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(c));
  EXPECT_TRUE(EnableWindow(c, TRUE));
  EXPECT_EQ(names({WM_ENABLE}, c), (std::vector<std::string>{"WM_ENABLE", "WM_ENABLE"}));
  // A focused child that is destroyed hands the focus to its parent.
  SetFocus(c);
  DestroyWindow(c);
  EXPECT_EQ(GetFocus(), a);
}

TEST_F(WindowTest, MinimiseMaximiseRestoreAndTheSizeKinds) {
  HWND a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {50, 60, 350, 260});
  std::vector<WPARAM> kinds;
  onMessage([&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_SIZE) kinds.push_back(wp);
    return false;
  });
  ShowWindow(a, SW_MAXIMIZE);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_TRUE(IsZoomed(a));
  EXPECT_EQ(r.left, -4);
  EXPECT_EQ(r.right, 1028);
  EXPECT_EQ(r.bottom, 738 + 4);  // the work area leaves the task bar free
  ShowWindow(a, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(a));
  EXPECT_FALSE(IsZoomed(a));
  ShowWindow(a, SW_RESTORE);
  GetWindowRect(a, &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.bottom, 260);
  EXPECT_EQ(kinds, (std::vector<WPARAM>{SIZE_MAXIMIZED, SIZE_MINIMIZED, SIZE_RESTORED}));
  // Captioned windows are kept at the minimum tracking size.
  MoveWindow(a, 0, 0, 10, 5, TRUE);
  GetWindowRect(a, &r);
  EXPECT_EQ(r.right - r.left, 112);
  EXPECT_EQ(r.bottom - r.top, 27);
}

TEST_F(WindowTest, HitTestingFindsTheDeepestChildAndHonoursShapesAndTransparency) {
  HWND a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 400});
  HWND panel = make(WS_CHILD | WS_VISIBLE, {0, 0, 200, 200}, a);
  HWND button = make(WS_CHILD | WS_VISIBLE, {10, 10, 60, 40}, panel);
  HWND off = make(WS_CHILD | WS_VISIBLE | WS_DISABLED, {100, 100, 150, 150}, panel);
  POINT o{0, 0};
  ClientToScreen(a, &o);
  EXPECT_EQ(WindowFromPoint({o.x + 20, o.y + 20}), button);
  EXPECT_EQ(WindowFromPoint({o.x + 120, o.y + 120}), panel);  // a disabled child's parent answers
  EXPECT_EQ(WindowFromPoint({o.x + 250, o.y + 20}), a);
  EXPECT_EQ(WindowFromPoint({110, 105}), a);
  EXPECT_EQ(WindowFromPoint({5, 5}), nullptr);
  EXPECT_EQ(ChildWindowFromPoint(panel, {120, 120}), off);
  EXPECT_EQ(ChildWindowFromPointEx(panel, {120, 120}, CWP_SKIPDISABLED), panel);
  EXPECT_EQ(ChildWindowFromPoint(panel, {500, 5}), nullptr);

  // A transparent hit test lets the point fall through to what is below.
  onMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) { return h == button && m == WM_NCHITTEST && (r = HTTRANSPARENT, true); });
  EXPECT_EQ(WindowFromPoint({o.x + 20, o.y + 20}), panel);
  onMessage(nullptr);
  // A shaped window only covers its shape.
  qv::os::setWindowShapeTest(button, [](POINT p) { return p.x < 25; });
  EXPECT_EQ(WindowFromPoint({o.x + 30, o.y + 20}), button);
  EXPECT_EQ(WindowFromPoint({o.x + 40, o.y + 20}), panel);

  // SetWindowRgn shapes a window the same way, with the window's own region.
  qv::os::setWindowShapeTest(button, nullptr);
  HRGN round = CreateEllipticRgn(0, 0, 50, 30);
  EXPECT_TRUE(SetWindowRgn(button, round, TRUE));
  EXPECT_EQ(WindowFromPoint({o.x + 11, o.y + 11}), panel);  // outside the ellipse's corner
  EXPECT_EQ(WindowFromPoint({o.x + 35, o.y + 25}), button);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(button, copy), ERROR);
  EXPECT_TRUE(EqualRgn(copy, round));
  DeleteObject(copy);
  SetWindowRgn(button, nullptr, FALSE);
  EXPECT_EQ(GetWindowRgn(button, copy), ERROR);
  EXPECT_EQ(WindowFromPoint({o.x + 11, o.y + 11}), button);

  struct HitCase {
    POINT pt;
    LRESULT hit;
  };
  const HitCase hits[] = {{{o.x + 5, o.y + 5}, HTCLIENT},     {{150, 110}, HTCAPTION}, {{393, 110}, HTCLOSE},
                          {{375, 110}, HTMAXBUTTON},         {{358, 110}, HTMINBUTTON}, {{110, 110}, HTSYSMENU},
                          {{101, 250}, HTLEFT},             {{398, 398}, HTBOTTOMRIGHT}, {{250, 101}, HTTOP},
                          {{50, 50}, HTNOWHERE}};
  for (const HitCase& h : hits)
    EXPECT_EQ(SendMessage(a, WM_NCHITTEST, 0, MAKELPARAM(h.pt.x, h.pt.y)), h.hit) << h.pt.x << "," << h.pt.y;
}

TEST_F(WindowTest, CoordinatesMapBetweenWindows) {
  HWND a = make(WS_POPUP | WS_VISIBLE, {100, 50, 300, 250});
  HWND c = make(WS_CHILD | WS_VISIBLE | WS_BORDER, {10, 20, 60, 70}, a);
  POINT p{0, 0};
  ClientToScreen(c, &p);
  EXPECT_EQ(p.x, 111);
  EXPECT_EQ(p.y, 71);
  ScreenToClient(a, &p);
  EXPECT_EQ(p.x, 11);
  POINT pts[2] = {{0, 0}, {5, 5}};
  int off = MapWindowPoints(c, a, pts, 2);
  EXPECT_EQ(LOWORD(off), 11);
  EXPECT_EQ(HIWORD(off), 21);
  EXPECT_EQ(pts[1].x, 16);
  RECT wr;
  GetWindowRect(c, &wr);
  EXPECT_EQ(wr.left, 110);
  EXPECT_EQ(wr.top, 70);
}

TEST_F(WindowTest, EnumerationAndTheDesktop) {
  HWND a = make(WS_POPUP, {0, 0, 1, 1}, nullptr, 0, 0, "Eins");
  HWND c1 = make(WS_CHILD, {0, 0, 1, 1}, a);
  HWND c2 = make(WS_CHILD, {0, 0, 1, 1}, c1);
  static std::vector<HWND> found;
  found.clear();
  EnumChildWindows(a, [](HWND h, LPARAM) { found.push_back(h); return TRUE; }, 0);
  EXPECT_EQ(found, (std::vector<HWND>{c1, c2}));
  found.clear();
  EnumWindows([](HWND h, LPARAM) { found.push_back(h); return TRUE; }, 0);
  EXPECT_EQ(found, (std::vector<HWND>{a}));
  EXPECT_EQ(FindWindow("qvlog", "eins"), a);
  EXPECT_EQ(GetAncestor(c2, GA_ROOT), a);
  EXPECT_EQ(GetAncestor(a, GA_PARENT), GetDesktopWindow());
  RECT d;
  GetWindowRect(GetDesktopWindow(), &d);
  EXPECT_EQ(d.right, 1024);
  EXPECT_EQ(d.bottom, 768);
}

TEST_F(WindowTest, SetParentMovesTheWindowKeepingItsRelativePosition) {
  HWND a = make(WS_POPUP | WS_VISIBLE, {100, 100, 300, 300});
  HWND b = make(WS_POPUP | WS_VISIBLE, {400, 100, 600, 300});
  HWND c = make(WS_CHILD | WS_VISIBLE, {10, 10, 20, 20}, a);
  EXPECT_EQ(SetParent(c, b), a);
  EXPECT_EQ(GetParent(c), b);
  EXPECT_EQ(GetWindow(b, GW_CHILD), c);
  EXPECT_EQ(GetWindow(a, GW_CHILD), nullptr);
  RECT r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r.left, 410);
  EXPECT_EQ(SetParent(b, c), nullptr);  // no cycles
  EXPECT_EQ(SetParent(c, reinterpret_cast<HWND>(0x4321)), nullptr);
}

TEST_F(WindowTest, OwnedWindowsStayAboveTheirOwnerAndGoWithIt) {
  HWND owner = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  HWND owned = make(WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}, owner);
  HWND other = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);
  EXPECT_EQ(GetTopWindow(nullptr), other);
  BringWindowToTop(owner);
  EXPECT_EQ(GetTopWindow(nullptr), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), owner);
  EXPECT_EQ(GetActiveWindow(), owner);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowTest, TheDesktopHearsOfEveryVisibleChange) {
  using qv::os::WindowChange;
  std::vector<std::pair<HWND, WindowChange>> seen;
  qv::os::setWindowChangeListener([&](HWND h, WindowChange c) { seen.push_back({h, c}); });
  HWND w = make(WS_POPUP, {0, 0, 10, 10});
  ShowWindow(w, SW_SHOWNA);
  SetWindowPos(w, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowText(w, "Neu");
  DestroyWindow(w);
  qv::os::setWindowChangeListener(nullptr);
  using Seen = std::vector<std::pair<HWND, WindowChange>>;
  EXPECT_EQ(seen, (Seen{{w, WindowChange::Created},
                        {w, WindowChange::Shown},
                        {w, WindowChange::ZOrder},
                        {w, WindowChange::Moved},
                        {w, WindowChange::Text},
                        {w, WindowChange::Hidden},
                        {w, WindowChange::Destroyed}}));
}

class ForegroundTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    qv::desktop::profile().extra["foreground.other"] = "1";
  }
};

TEST_F(ForegroundTest, AnotherProgramHoldingTheForegroundBlocksUntilInputIsAttached) {
  HWND other = GetForegroundWindow();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other, qv::os::foreignForegroundWindow());
  DWORD pid = 0;
  DWORD theirs = GetWindowThreadProcessId(other, &pid);
  EXPECT_NE(pid, GetCurrentProcessId());
  HWND mine = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  EXPECT_EQ(GetActiveWindow(), mine);   // active within this program ...
  EXPECT_EQ(GetForegroundWindow(), other);  // ... but not in front
  EXPECT_FALSE(SetForegroundWindow(mine));
  EXPECT_TRUE(AttachThreadInput(GetCurrentThreadId(), theirs, TRUE));
  EXPECT_TRUE(SetForegroundWindow(mine));
  EXPECT_TRUE(AttachThreadInput(GetCurrentThreadId(), theirs, FALSE));
  EXPECT_EQ(GetForegroundWindow(), mine);
  EXPECT_FALSE(AttachThreadInput(GetCurrentThreadId(), 0x12345, TRUE));
}

TEST_F(ForegroundTest, AZeroLockTimeOutLetsTheCallIn) {
  qv::desktop::profile().extra["foreground.attach"] = "0";
  HWND mine = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  DWORD theirs = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  AttachThreadInput(GetCurrentThreadId(), theirs, TRUE);
  EXPECT_FALSE(SetForegroundWindow(mine));
  AttachThreadInput(GetCurrentThreadId(), theirs, FALSE);
  DWORD saved = 0;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0));
  EXPECT_EQ(saved, 200000u);
  SystemParametersInfo(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(0)), SPIF_SENDCHANGE);
  EXPECT_TRUE(SetForegroundWindow(mine));
  SystemParametersInfo(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(saved)), SPIF_SENDCHANGE);
  DWORD now = 0;
  SystemParametersInfo(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &now, 0);
  EXPECT_EQ(now, saved);
  EXPECT_EQ(GetForegroundWindow(), mine);
}

}  // namespace
