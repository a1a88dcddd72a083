#include "UserFixture.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/GdiObject.h"

using namespace usertest;

namespace {

class PaintTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    saved = qv::os::paintHooks();
  }
  void TearDown() override {
    qv::os::paintHooks() = saved;
    UserTest::TearDown();
  }
  static RECT update(HWND h) {
    RECT r{};
    GetUpdateRect(h, &r, FALSE);
    return r;
  }
  qv::os::PaintHooks saved;
};

bool same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(PaintTest, InvalidationReachesChildrenAsRedrawWindowDecides) {
  struct Case {
    const char* what;
    DWORD parentStyle;
    UINT flags;  // 0: InvalidateRect
    bool childGetsIt;
  };
  const Case cases[] = {
      {"InvalidateRect, parent without WS_CLIPCHILDREN", 0, 0, true},
      {"InvalidateRect, parent with WS_CLIPCHILDREN", WS_CLIPCHILDREN, 0, false},
      {"RDW_ALLCHILDREN through WS_CLIPCHILDREN", WS_CLIPCHILDREN, RDW_INVALIDATE | RDW_ALLCHILDREN, true},
      {"RDW_NOCHILDREN", 0, RDW_INVALIDATE | RDW_NOCHILDREN, false},
  };
  for (const Case& c : cases) {
    HWND p = make(WS_POPUP | WS_VISIBLE | c.parentStyle, {0, 0, 200, 200});
    HWND inside = make(WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, p);
    HWND outside = make(WS_CHILD | WS_VISIBLE, {150, 150, 190, 190}, p);
    qv::os::pumpMessages();
    RECT r{0, 0, 40, 40};
    if (c.flags == 0) InvalidateRect(p, &r, TRUE);
    else RedrawWindow(p, &r, nullptr, c.flags);
    EXPECT_TRUE(same(update(p), r)) << c.what;
    RECT got{};
    EXPECT_EQ(GetUpdateRect(inside, &got, FALSE) != FALSE, c.childGetsIt) << c.what;
    if (c.childGetsIt) {
      EXPECT_TRUE(same(got, RECT{0, 0, 30, 30})) << c.what;  // in the child's own coordinates
    }
    EXPECT_FALSE(GetUpdateRect(outside, nullptr, FALSE)) << c.what;
    DestroyWindow(p);
  }
}

TEST_F(PaintTest, ValidationRemovesWhatItCovers) {
  HWND w = make(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  qv::os::pumpMessages();
  RECT all{0, 0, 100, 100}, left{0, 0, 40, 100}, middle{40, 40, 60, 60};
  InvalidateRect(w, nullptr, FALSE);
  ValidateRect(w, &left);
  EXPECT_TRUE(same(update(w), RECT{40, 0, 100, 100}));
  ValidateRect(w, &middle);  // a hole cannot be cut from a rectangle: the area stays
  EXPECT_TRUE(same(update(w), RECT{40, 0, 100, 100}));
  ValidateRect(w, &all);
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  InvalidateRect(w, nullptr, FALSE);
  ValidateRect(w, nullptr);
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnceParentsFirst) {
  HWND p = make(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND c = make(WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, p);
  log().clear();
  UpdateWindow(p);
  std::vector<HWND> painted;
  for (const Logged& l : log())
    if (l.msg == WM_PAINT) painted.push_back(l.hwnd);
  EXPECT_EQ(painted, (std::vector<HWND>{p, c}));
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(PaintTest, GrowingAWindowInvalidatesTheNewPartOrAllForRedrawClasses) {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "QvRedraw";
  RegisterClass(&wc);
  HWND plain = make(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND redraw = CreateWindowEx(0, "QvRedraw", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  qv::os::pumpMessages();
  for (HWND h : {plain, redraw}) SetWindowPos(h, nullptr, 0, 0, 150, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(same(update(plain), RECT{100, 0, 150, 100}));
  EXPECT_TRUE(same(update(redraw), RECT{0, 0, 150, 100}));
}

TEST_F(PaintTest, BeginPaintTakesItsDcFromTheHookAndErasesWithTheClassBrush) {
  HDC dc = CreateCompatibleDC(nullptr);
  std::vector<HBRUSH> fills;
  RECT filled{};
  auto& hooks = qv::os::paintHooks();
  hooks.getDC = [dc](HWND, DWORD) { return dc; };
  hooks.releaseDC = [](HWND, HDC) { return 1; };
  hooks.fillRect = [&](HDC, const RECT& r, HBRUSH b) {
    fills.push_back(b);
    filled = r;
  };
  HWND w = make(WS_POPUP | WS_VISIBLE, {0, 0, 80, 60});
  qv::os::pumpMessages();
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0], GetSysColorBrush(COLOR_WINDOW));  // COLOR_WINDOW + 1 as the class brush
  EXPECT_TRUE(same(filled, RECT{0, 0, 80, 60}));
  const Logged* erase = nullptr;
  for (const Logged& l : log())
    if (l.msg == WM_ERASEBKGND) erase = &l;
  ASSERT_NE(erase, nullptr);
  EXPECT_EQ(reinterpret_cast<HDC>(erase->wParam), dc);

  RECT part{5, 5, 10, 10};
  InvalidateRect(w, &part, FALSE);
  PAINTSTRUCT ps;
  EXPECT_EQ(BeginPaint(w, &ps), dc);
  EXPECT_TRUE(same(ps.rcPaint, part));
  EXPECT_FALSE(ps.fErase);
  EndPaint(w, &ps);
  EXPECT_EQ(fills.size(), 1u);  // no erase was asked for
  DeleteDC(dc);
}

}  // namespace
