#include "UserFixture.h"
#include "platform/desktop/Clock.h"

using namespace usertest;
using qv::desktop::Clock;

namespace {

class InputTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 400});
    child = make(WS_CHILD | WS_VISIBLE, {10, 10, 110, 60}, a);
    origin = {0, 0};
    ClientToScreen(a, &origin);
    qv::os::pumpMessages();
    log().clear();
  }
  POINT at(int x, int y) const { return {origin.x + x, origin.y + y}; }
  // The mouse and key messages that reached windows, with their targets.
  std::vector<std::pair<HWND, std::string>> inputs() const {
    std::vector<std::pair<HWND, std::string>> r;
    for (const Logged& l : log())
      if ((l.msg >= WM_MOUSEFIRST && l.msg <= WM_MOUSELAST) || (l.msg >= WM_NCMOUSEMOVE && l.msg <= WM_NCMBUTTONDBLCLK) ||
          (l.msg >= WM_KEYFIRST && l.msg <= WM_KEYLAST))
        r.push_back({l.hwnd, nameOf(l.msg)});
    return r;
  }
  const Logged* last(UINT msg) const {
    for (auto it = log().rbegin(); it != log().rend(); ++it)
      if (it->msg == msg) return &*it;
    return nullptr;
  }
  HWND a = nullptr, child = nullptr;
  POINT origin{};
};

using Seen = std::vector<std::pair<HWND, std::string>>;

TEST_F(InputTest, MouseGoesToTheWindowUnderItInClientCoordinates) {
  EXPECT_EQ(qv::os::injectMouse(WM_LBUTTONDOWN, at(20, 30)), child);
  qv::os::pumpMessages();
  const Logged* down = last(WM_LBUTTONDOWN);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(down->hwnd, child);
  EXPECT_EQ(down->lParam, MAKELPARAM(10, 20));
  EXPECT_EQ(down->wParam, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(names({WM_SETCURSOR, WM_LBUTTONDOWN}, child), (std::vector<std::string>{"WM_SETCURSOR", "WM_LBUTTONDOWN"}));
  // The parent is asked about the cursor first.
  EXPECT_EQ(names({WM_SETCURSOR}, a).size(), 1u);
  EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, origin.x + 20);
}

TEST_F(InputTest, CaptureTakesTheMouseEverywhereUntilReleased) {
  SetCapture(child);
  qv::os::injectMouse(WM_MOUSEMOVE, {5, 5});
  qv::os::pumpMessages();
  const Logged* move = last(WM_MOUSEMOVE);
  ASSERT_NE(move, nullptr);
  EXPECT_EQ(move->hwnd, child);
  EXPECT_EQ(GET_X_LPARAM(move->lParam), 5 - origin.x - 10);
  HWND other = make(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  SetCapture(other);
  EXPECT_EQ(names({WM_CAPTURECHANGED}, child), (std::vector<std::string>{"WM_CAPTURECHANGED"}));
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(names({WM_CAPTURECHANGED}, other), (std::vector<std::string>{"WM_CAPTURECHANGED"}));
}

TEST_F(InputTest, NonClientHitsBecomeNcMessagesWithTheHitCode) {
  qv::os::injectMouse(WM_MOUSEMOVE, {200, 110});
  qv::os::injectMouse(WM_LBUTTONDOWN, {200, 110});
  qv::os::pumpMessages();
  const Logged* down = last(WM_NCLBUTTONDOWN);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(down->wParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(down->lParam, MAKELPARAM(200, 110));
  EXPECT_EQ(inputs(), (Seen{{a, "WM_NCMOUSEMOVE"}, {a, "WM_NCLBUTTONDOWN"}}));
}

TEST_F(InputTest, ClickingTheCloseButtonClosesTheWindow) {
  qv::os::injectClick({390, 110});
  qv::os::pumpMessages();
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(names({WM_SYSCOMMAND, WM_CLOSE}), (std::vector<std::string>{"WM_SYSCOMMAND", "WM_CLOSE"}));
}

struct ClickCase {
  const char* what;
  bool dblclks;
  std::uint64_t gap;
  int dx;
  const char* second;
};

TEST_F(InputTest, DoubleClicksNeedTheClassStyleTimeAndPlace) {
  WNDCLASSA plain{};
  plain.lpfnWndProc = DefWindowProc;
  plain.lpszClassName = "QvPlain";
  RegisterClass(&plain);
  const ClickCase cases[] = {
      {"quick and close", true, 100, 1, "WM_LBUTTONDBLCLK"},
      {"too slow", true, 501, 0, "WM_LBUTTONDOWN"},
      {"too far", true, 100, 3, "WM_LBUTTONDOWN"},
      {"class without CS_DBLCLKS", false, 100, 0, "WM_LBUTTONDOWN"},
  };
  for (const ClickCase& c : cases) {
    HWND target = c.dblclks ? child : CreateWindowEx(0, "QvPlain", "", WS_CHILD | WS_VISIBLE, 200, 200, 50, 50, a, nullptr, nullptr, nullptr);
    POINT p = c.dblclks ? at(20, 20) : at(210, 210);
    qv::os::injectMouse(WM_LBUTTONDOWN, p);
    qv::os::injectMouse(WM_LBUTTONUP, p);
    Clock::advance(c.gap);
    qv::os::injectMouse(WM_LBUTTONDOWN, {p.x + c.dx, p.y});
    MSG m;
    std::vector<UINT> got;
    while (PeekMessage(&m, target, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) got.push_back(m.message);
    ASSERT_EQ(got.size(), 3u) << c.what;
    EXPECT_EQ(nameOf(got[2]), c.second) << c.what;
    qv::os::injectMouse(WM_LBUTTONUP, p);
    qv::os::pumpMessages();
    Clock::advance(1000);
  }
}

TEST_F(InputTest, ClickingAnInactiveWindowActivatesItUnlessItSaysNo) {
  HWND b = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {500, 100, 700, 300});
  ASSERT_EQ(GetActiveWindow(), b);
  log().clear();
  qv::os::injectClick(at(200, 200));
  qv::os::pumpMessages();
  EXPECT_EQ(GetActiveWindow(), a);
  const Logged* act = last(WM_ACTIVATE);
  ASSERT_NE(act, nullptr);
  EXPECT_EQ(LOWORD(act->wParam), WA_CLICKACTIVE);
  EXPECT_EQ(names({WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN}, a),
            (std::vector<std::string>{"WM_SETCURSOR", "WM_MOUSEACTIVATE", "WM_ACTIVATE", "WM_SETCURSOR",
                                      "WM_LBUTTONDOWN", "WM_SETCURSOR"}));

  log().clear();
  onMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) { return h == b && m == WM_MOUSEACTIVATE && (r = MA_NOACTIVATEANDEAT, true); });
  qv::os::injectClick({600, 200});
  qv::os::pumpMessages();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_TRUE(names({WM_LBUTTONDOWN}, b).empty());  // eaten
  EXPECT_EQ(names({WM_LBUTTONUP}, b).size(), 1u);
}

TEST_F(InputTest, DisabledWindowsGetNoMouseInput) {
  EnableWindow(a, FALSE);
  EXPECT_EQ(qv::os::injectMouse(WM_LBUTTONDOWN, at(20, 20)), nullptr);
  qv::os::pumpMessages();
  EXPECT_TRUE(inputs().empty());
}

TEST_F(InputTest, KeysGoToTheFocusAndAltMakesSystemKeys) {
  SetFocus(child);
  log().clear();
  qv::os::injectKey('X', true);
  qv::os::injectKey('X', false);
  qv::os::injectKey(VK_MENU, true);
  qv::os::injectKey('D', true);
  qv::os::injectKey('D', false);
  qv::os::injectKey(VK_MENU, false);
  qv::os::pumpMessages();
  EXPECT_EQ(inputs(), (Seen{{child, "WM_KEYDOWN"},
                            {child, "WM_CHAR"},
                            {child, "WM_KEYUP"},
                            {child, "WM_SYSKEYDOWN"},
                            {child, "WM_SYSKEYDOWN"},
                            {child, "WM_SYSCHAR"},
                            {child, "WM_SYSKEYUP"},
                            {child, "WM_SYSKEYUP"}}));
  const Logged* sc = last(WM_SYSCHAR);
  EXPECT_EQ(sc->wParam, static_cast<WPARAM>('d'));
  EXPECT_TRUE(sc->lParam & (1 << 29));
  const Logged* ch = last(WM_CHAR);
  EXPECT_EQ(ch->wParam, static_cast<WPARAM>('x'));
}

TEST_F(InputTest, KeyStateFollowsRetrievalWhileAsyncStateIsImmediate) {
  SetFocus(child);
  qv::os::injectKey(VK_SHIFT, true);
  EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // not taken from the queue yet
  qv::os::pumpMessages();
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  qv::os::injectKey(VK_CAPITAL, true);
  qv::os::injectKey(VK_CAPITAL, false);
  qv::os::pumpMessages();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  BYTE keys[256];
  GetKeyboardState(keys);
  EXPECT_TRUE(keys[VK_SHIFT] & 0x80);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(InputTest, AltF4ClosesAndTypedCharactersArrive) {
  SetFocus(child);
  qv::os::injectChar('\xE4');
  qv::os::pumpMessages();
  const Logged* ch = last(WM_CHAR);
  ASSERT_NE(ch, nullptr);
  EXPECT_EQ(ch->wParam, 0xE4u);
  qv::os::injectKey(VK_MENU, true);
  qv::os::injectKey(VK_F4, true);
  qv::os::pumpMessages();
  EXPECT_FALSE(IsWindow(a));
}

}  // namespace
