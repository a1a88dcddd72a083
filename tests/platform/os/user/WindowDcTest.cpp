// Window surfaces and DCs: where window and client DCs draw, what clips
// them, window regions, the classic frame and the `window` log lines.
#include <gtest/gtest.h>

#include <string>

#include "DesktopTest.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/Screen.h"
#include "platform/os/user/User.h"

namespace {

// Paints its client area in the colour kept in GWLP_USERDATA (none when 0).
LRESULT paintProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    if (COLORREF c = static_cast<COLORREF>(GetWindowLongPtr(h, GWLP_USERDATA))) {
      RECT r;
      GetClientRect(h, &r);
      HBRUSH b = CreateSolidBrush(c & 0xFFFFFF);
      FillRect(dc, &r, b);
      DeleteObject(b);
    }
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
// A colour flag so that black can be painted too.
constexpr COLORREF kPaintFlag = 0x01000000;

class WindowDcTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = paintProc;
    wc.lpszClassName = "GluePaint";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ASSERT_NE(RegisterClass(&wc), 0);
  }
  HWND make(DWORD style, int x, int y, int w, int h, COLORREF paint, HWND parent = nullptr, DWORD ex = 0,
            const char* text = "") {
    HWND hwnd = CreateWindowEx(ex, "GluePaint", text, style, x, y, w, h, parent, nullptr, nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    SetWindowLongPtr(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(paint | kPaintFlag));
    return hwnd;
  }
  // The pixel of a window's own picture, as a COLORREF.
  static COLORREF at(HWND h, int x, int y) {
    qv::os::gdi::Image img;
    EXPECT_TRUE(qv::os::windowImage(h, img));
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return CLR_INVALID;
    return qv::os::gdi::colorOf(img.at(x, y) & 0xFFFFFF);
  }
};

TEST_F(WindowDcTest, WindowRegionIsOwnedAnsweredAndLostWithTheWindow) {
  HWND w = make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, kRed);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(w, probe), ERROR);

  ASSERT_TRUE(SetWindowRgn(w, CreateRectRgn(10, 10, 50, 50), TRUE));
  EXPECT_EQ(GetWindowRgn(w, probe), SIMPLEREGION);
  RECT box;
  GetRgnBox(probe, &box);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.right, 50);

  // The old region is freed when replaced; the new one's type is answered.
  HRGN first = CreateRectRgn(0, 0, 10, 10);
  SetWindowRgn(w, first, FALSE);
  HRGN two = CreateRectRgn(0, 0, 20, 20);
  HRGN hole = CreateRectRgn(5, 5, 10, 10);
  CombineRgn(two, two, hole, RGN_DIFF);
  DeleteObject(hole);
  SetWindowRgn(w, two, FALSE);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(GetWindowRgn(w, probe), COMPLEXREGION);

  DestroyWindow(w);
  EXPECT_EQ(GetObjectType(two), 0u);
  HWND again = make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, kRed);
  EXPECT_EQ(GetWindowRgn(again, probe), ERROR);
  DeleteObject(probe);
}

TEST_F(WindowDcTest, RegionShapesHitTestingAndDrawing) {
  HWND below = make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, kBlue);
  HWND above = make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, kRed);
  SetWindowRgn(above, CreateEllipticRgn(0, 0, 100, 100), TRUE);
  qv::os::pumpMessages();
  EXPECT_EQ(WindowFromPoint(POINT{50, 50}), above);
  EXPECT_EQ(WindowFromPoint(POINT{2, 2}), below);  // in the rectangle, outside the ellipse
  EXPECT_EQ(at(above, 50, 50), kRed);
  // Drawing never lands outside the shape, so the surface keeps its zeros.
  EXPECT_EQ(at(above, 1, 1), RGB(0, 0, 0));
}

TEST_F(WindowDcTest, ChildrenDrawClippedByParentAndSiblings) {
  struct Case {
    const char* what;
    DWORD parentStyle;
    DWORD childStyle;
    POINT probe;  // in the parent
    COLORREF expected;
  };
  // The parent (blue) 100 x 100; child A (red) at 50,50 sized 80 x 80, so
  // half of it lies beyond the parent; sibling B (green) above A at 60,60
  // sized 20 x 20.
  const Case cases[] = {
      {"child inside the parent", WS_CLIPCHILDREN, 0, {55, 55}, kRed},
      {"sibling above, A without WS_CLIPSIBLINGS paints over it", WS_CLIPCHILDREN, 0, {65, 65}, kRed},
      {"sibling above, A with WS_CLIPSIBLINGS leaves it", WS_CLIPCHILDREN, WS_CLIPSIBLINGS, {65, 65}, kGreen},
      {"parent without WS_CLIPCHILDREN paints over its child", 0, 0, {90, 90}, kBlue},
      {"parent with WS_CLIPCHILDREN leaves its child", WS_CLIPCHILDREN, 0, {90, 90}, kRed},
      {"the parent's own area", WS_CLIPCHILDREN, 0, {10, 10}, kBlue},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND parent = make(WS_POPUP | WS_VISIBLE | c.parentStyle, 10, 10, 100, 100, kBlue);
    HWND a = make(WS_CHILD | WS_VISIBLE | c.childStyle, 50, 50, 80, 80, kRed, parent);
    HWND b = make(WS_CHILD | WS_VISIBLE, 60, 60, 20, 20, kGreen, parent);
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    qv::os::pumpMessages();
    // Paint the child last, then the parent again, to see who clips whom.
    InvalidateRect(a, nullptr, FALSE);
    UpdateWindow(a);
    InvalidateRect(parent, nullptr, FALSE);
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    EXPECT_EQ(at(parent, c.probe.x, c.probe.y), c.expected);
    // Nothing of the child lands beyond the parent's 100 x 100 surface.
    EXPECT_EQ(at(parent, 100, 100), CLR_INVALID);
    DestroyWindow(parent);
  }
}

TEST_F(WindowDcTest, BeginPaintDrawsOnlyTheUpdateAreaAndErasesWithTheClassBrush) {
  HWND w = make(WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, kRed);
  qv::os::pumpMessages();
  EXPECT_EQ(at(w, 30, 30), kRed);

  // Erased with the class brush, then painted blue inside the update area only.
  SetWindowLongPtr(w, GWLP_USERDATA, static_cast<LONG_PTR>(kBlue | kPaintFlag));
  RECT area{10, 10, 20, 20};
  InvalidateRect(w, &area, TRUE);
  qv::os::pumpMessages();
  EXPECT_EQ(at(w, 10, 10), kBlue);
  EXPECT_EQ(at(w, 19, 19), kBlue);
  EXPECT_EQ(at(w, 20, 20), kRed);

  // A paint that draws nothing shows the erased background.
  SetWindowLongPtr(w, GWLP_USERDATA, 0);
  InvalidateRect(w, &area, TRUE);
  qv::os::pumpMessages();
  EXPECT_EQ(at(w, 15, 15), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(at(w, 25, 25), kRed);
}

TEST_F(WindowDcTest, WindowDcStartsAtTheWindowCornerAndClientDcAtTheClientArea) {
  HWND w = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 200, 150, kRed, nullptr, 0, "Frame");
  qv::os::pumpMessages();
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);

  HDC wdc = GetWindowDC(w);
  ASSERT_NE(wdc, nullptr);
  SetPixel(wdc, 0, 0, kGreen);
  EXPECT_EQ(ReleaseDC(w, wdc), 1);
  EXPECT_EQ(ReleaseDC(w, wdc), 0);  // released once only
  HDC cdc = GetDC(w);
  SetPixel(cdc, 0, 0, kBlue);
  // The client DC cannot reach the frame.
  SetPixel(cdc, -1, -1, kBlue);
  ReleaseDC(w, cdc);

  EXPECT_EQ(at(w, 0, 0), kGreen);
  EXPECT_EQ(at(w, -frame.left, -frame.top), kBlue);
  EXPECT_NE(at(w, -frame.left - 1, -frame.top - 1), kBlue);
}

TEST_F(WindowDcTest, DcExRegionIntersectsOrExcludesInScreenCoordinates) {
  HWND w = make(WS_POPUP | WS_VISIBLE, 100, 100, 50, 50, kRed);
  qv::os::pumpMessages();
  for (DWORD how : {static_cast<DWORD>(DCX_INTERSECTRGN), static_cast<DWORD>(DCX_EXCLUDERGN)}) {
    SCOPED_TRACE(how);
    HDC dc = GetDCEx(w, CreateRectRgn(100, 100, 110, 110), how);  // the DC owns the region
    RECT all{0, 0, 50, 50};
    HBRUSH b = CreateSolidBrush(how == DCX_INTERSECTRGN ? kGreen : kBlue);
    FillRect(dc, &all, b);
    DeleteObject(b);
    ReleaseDC(w, dc);
  }
  EXPECT_EQ(at(w, 5, 5), kGreen);
  EXPECT_EQ(at(w, 20, 20), kBlue);
}

TEST_F(WindowDcTest, ClassicFrameLiesWhereAdjustWindowRectExSays) {
  struct Case {
    const char* what;
    DWORD style;
    DWORD ex;
    bool caption;
  };
  const Case cases[] = {
      {"overlapped window", WS_OVERLAPPEDWINDOW, 0, true},
      {"dialog frame", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, true},
      {"tool window", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW, true},
      {"border and client edge", WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, false},
      {"client edge alone", WS_POPUP, WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, false},
  };
  constexpr COLORREF kClient = RGB(1, 2, 3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND w = make(c.style | WS_VISIBLE, 20, 20, 160, 120, kClient, nullptr, c.ex, "Caption");
    qv::os::pumpMessages();
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, c.style, FALSE, c.ex);
    POINT corner{0, 0};
    ClientToScreen(w, &corner);
    RECT wr;
    GetWindowRect(w, &wr);
    ASSERT_EQ(corner.x - wr.left, -frame.left);
    ASSERT_EQ(corner.y - wr.top, -frame.top);
    RECT cr;
    GetClientRect(w, &cr);
    int cx = -frame.left, cy = -frame.top;
    // The client area is the client's, to its last pixel; the frame is not.
    EXPECT_EQ(at(w, cx, cy), kClient);
    EXPECT_EQ(at(w, cx + cr.right - 1, cy + cr.bottom - 1), kClient);
    EXPECT_NE(at(w, cx - 1, cy - 1), kClient);
    EXPECT_NE(at(w, cx + cr.right, cy + cr.bottom), kClient);
    if (c.caption) {
      bool active = GetActiveWindow() == w;
      int edge = frame.right;  // the side frame's width
      EXPECT_EQ(at(w, edge, edge + 1), GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    }
    DestroyWindow(w);
  }
}

TEST_F(WindowDcTest, InactiveCaptionTakesTheInactiveColour) {
  HWND first = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, kRed, nullptr, 0, "First");
  HWND second = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 0, 200, 100, kRed, nullptr, 0, "Second");
  qv::os::pumpMessages();
  ASSERT_EQ(GetActiveWindow(), second);
  int edge = GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(at(first, edge, edge + 1), GetSysColor(COLOR_INACTIVECAPTION));
  EXPECT_EQ(at(second, edge, edge + 1), GetSysColor(COLOR_ACTIVECAPTION));
}

TEST_F(WindowDcTest, EveryShowOfATopLevelWindowIsLogged) {
  HWND w = make(WS_OVERLAPPEDWINDOW, 10, 20, 300, 200, kRed, nullptr, 0, "Start menu");
  HWND hidden = make(WS_POPUP, 0, 0, 10, 10, kRed, nullptr, 0, "Never shown");
  (void)hidden;
  ShowWindow(w, SW_SHOW);
  HWND child = make(WS_CHILD, 0, 0, 10, 10, kRed, w);
  ShowWindow(child, SW_SHOW);
  ShowWindow(w, SW_SHOW);  // already visible: no new show
  ShowWindow(w, SW_HIDE);
  ShowWindow(w, SW_SHOW);
  HWND popup = make(WS_POPUP | WS_VISIBLE, 5, 6, 7, 8, kRed);
  (void)popup;
  std::vector<std::string> lines;
  for (const auto& e : qv::desktop::Recorder::eventsOf("window")) lines.push_back(e.line());
  EXPECT_EQ(lines, (std::vector<std::string>{"window\tStart menu\t10\t20\t300\t200",
                                             "window\tStart menu\t10\t20\t300\t200", "window\t\t5\t6\t7\t8"}));
}

TEST_F(WindowDcTest, ScreenDcShowsTheComposedScreen) {
  HWND w = make(WS_POPUP | WS_VISIBLE, 30, 40, 20, 20, kRed);
  qv::os::pumpMessages();
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetPixel(screen, 35, 45), kRed);
  EXPECT_EQ(GetPixel(screen, 5, 5), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  (void)w;
}

}  // namespace
