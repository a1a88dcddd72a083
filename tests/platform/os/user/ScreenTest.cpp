// The composed screen and screenshots: z-order, window regions, layered
// alpha and colour key, drop shadows, PNG files read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/Layered.h"
#include "platform/os/user/Screen.h"
#include "platform/os/user/User.h"

namespace {

// Fills its client area with the colour in GWLP_USERDATA and, when the
// window is at least 40 pixels wide, a green square at (30, 0, 40, 10) that
// a colour key can cut out.
LRESULT paintProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(h, GWLP_USERDATA)));
    FillRect(dc, &r, b);
    DeleteObject(b);
    if (r.right >= 40) {
      RECT sq{30, 0, 40, 10};
      HBRUSH g = CreateSolidBrush(RGB(0, 255, 0));
      FillRect(dc, &sq, g);
      DeleteObject(g);
    }
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

class ScreenTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = paintProc;
    wc.lpszClassName = "GlueScreen";
    ASSERT_NE(RegisterClass(&wc), 0);
    wc.lpszClassName = "GlueShadow";
    wc.style = CS_DROPSHADOW;
    ASSERT_NE(RegisterClass(&wc), 0);
  }
  HWND make(int x, int y, int w, int h, COLORREF colour, DWORD ex = 0, const char* cls = "GlueScreen") {
    HWND hwnd = CreateWindowEx(ex, cls, "", WS_POPUP, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    SetWindowLongPtr(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
  }
  // The screen saved as PNG and read back.
  qv::os::gdi::Image shot() {
    qv::os::pumpMessages();
    std::string path = hostPath("screen.png");
    EXPECT_TRUE(qv::os::saveScreenshot(path));
    qv::os::gdi::Image img;
    EXPECT_TRUE(qv::os::gdi::loadImageFile(path, img));
    return img;
  }
  static std::uint32_t rgb(COLORREF c) { return 0xFF000000u | qv::os::gdi::pixelOf(c); }
};

TEST_F(ScreenTest, RegionAndLayeredAlphaOverAnotherWindowSavedAsPng) {
  make(0, 0, 200, 200, RGB(200, 0, 0));
  HWND top = make(50, 50, 100, 100, RGB(0, 0, 200), WS_EX_LAYERED);
  ASSERT_TRUE(SetLayeredWindowAttributes(top, 0, 128, LWA_ALPHA));
  SetWindowRgn(top, CreateRectRgn(0, 0, 50, 100), TRUE);  // its left half
  qv::os::gdi::Image img = shot();
  ASSERT_EQ(img.width, 1024);
  ASSERT_EQ(img.height, 768);
  struct Case {
    const char* what;
    int x, y;
    COLORREF expected;
  };
  const Case cases[] = {
      {"below alone", 10, 10, RGB(200, 0, 0)},
      {"blended inside the region", 60, 120, RGB(100, 0, 100)},
      {"outside the region, inside the rectangle", 120, 120, RGB(200, 0, 0)},
      {"beyond both: the desktop", 300, 300, GetSysColor(COLOR_BACKGROUND)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(img.at(c.x, c.y), rgb(c.expected));
  }
}

TEST_F(ScreenTest, ColourKeyLeavesKeyedPixelsTransparent) {
  make(0, 0, 100, 100, RGB(200, 0, 0));
  HWND top = make(50, 50, 50, 50, RGB(0, 0, 200), WS_EX_LAYERED);
  ASSERT_TRUE(SetLayeredWindowAttributes(top, RGB(0, 255, 0), 0, LWA_COLORKEY));
  qv::os::gdi::Image img = shot();
  EXPECT_EQ(img.at(85, 55), rgb(RGB(200, 0, 0)));  // its green square is cut out
  EXPECT_EQ(img.at(55, 55), rgb(RGB(0, 0, 200)));
}

TEST_F(ScreenTest, LayeredAttributesNeedALayeredTopLevelWindow) {
  HWND plain = make(0, 0, 10, 10, 0);
  SetLastError(0);
  EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 10, LWA_ALPHA));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  HWND layered = make(0, 0, 10, 10, 0, WS_EX_LAYERED);
  EXPECT_FALSE(GetLayeredWindowAttributes(layered, nullptr, nullptr, nullptr));  // never set
  ASSERT_TRUE(SetLayeredWindowAttributes(layered, RGB(1, 2, 3), 77, LWA_ALPHA | LWA_COLORKEY));
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(layered, &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(1, 2, 3));
  EXPECT_EQ(alpha, 77);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA | LWA_COLORKEY));
  EXPECT_FALSE(SetLayeredWindowAttributes(reinterpret_cast<HWND>(0x1234), 0, 0, LWA_ALPHA));
}

TEST_F(ScreenTest, ZOrderPutsTopmostWindowsLastAndSkipsHiddenOnes) {
  HWND topmost = make(0, 0, 50, 50, RGB(0, 0, 200), WS_EX_TOPMOST);
  (void)topmost;
  make(0, 0, 50, 50, RGB(200, 0, 0));  // newer, but under the topmost one
  HWND hidden = make(100, 0, 50, 50, RGB(0, 200, 0));
  ShowWindow(hidden, SW_HIDE);
  qv::os::gdi::Image img = shot();
  EXPECT_EQ(img.at(10, 10), rgb(RGB(0, 0, 200)));
  EXPECT_EQ(img.at(110, 10), rgb(GetSysColor(COLOR_BACKGROUND)));
}

TEST_F(ScreenTest, DropShadowDarkensBesideTheWindowOnly) {
  SetSysColors(1, std::vector<int>{COLOR_BACKGROUND}.data(), std::vector<COLORREF>{RGB(200, 200, 200)}.data());
  make(100, 100, 50, 50, RGB(0, 0, 200), 0, "GlueShadow");
  qv::os::gdi::Image img = shot();
  std::uint32_t bg = rgb(RGB(200, 200, 200));
  EXPECT_EQ(img.at(149, 149), rgb(RGB(0, 0, 200)));
  EXPECT_LT(img.at(150, 120) & 0xFF, bg & 0xFF);       // right of the window: darker
  EXPECT_LT(img.at(151, 120) & 0xFF, img.at(153, 120) & 0xFF);  // fading outwards
  EXPECT_EQ(img.at(154, 120), bg);                     // beyond the shadow
  EXPECT_EQ(img.at(101, 150), bg);                     // shadow starts offset along the edge
  EXPECT_EQ(img.at(98, 120), bg);                      // none on the left
}

TEST_F(ScreenTest, WindowShotHoldsTheWindowAlone) {
  HWND w = make(300, 200, 60, 30, RGB(10, 20, 30));
  qv::os::pumpMessages();
  std::string path = hostPath("w.png");
  ASSERT_TRUE(qv::os::saveWindowShot(w, path));
  qv::os::gdi::Image img;
  ASSERT_TRUE(qv::os::gdi::loadImageFile(path, img));
  EXPECT_EQ(img.width, 60);
  EXPECT_EQ(img.height, 30);
  EXPECT_EQ(img.at(0, 20), rgb(RGB(10, 20, 30)));
  EXPECT_EQ(img.at(35, 5), rgb(RGB(0, 255, 0)));
  DestroyWindow(w);
  EXPECT_FALSE(qv::os::saveWindowShot(w, path));
  EXPECT_FALSE(qv::os::saveScreenshot(hostPath("no/such/folder/s.png")));
}

// The screen DC composes nothing of its own accord: what is drawn on it
// stays until a window changes there, and a window drawn on shows again.
TEST_F(ScreenTest, DrawingOnTheScreenStaysUntilAWindowChangesThere) {
  HWND w = make(0, 0, 50, 50, RGB(0, 0, 200));
  qv::os::pumpMessages();
  HDC screen = GetDC(nullptr);
  RECT mark{10, 10, 20, 20}, beside{60, 10, 70, 20};
  HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
  FillRect(screen, &mark, red);
  FillRect(screen, &beside, red);
  EXPECT_EQ(GetPixel(screen, 15, 15), RGB(200, 0, 0));
  EXPECT_EQ(GetPixel(screen, 25, 25), RGB(0, 0, 200));
  HDC other = GetDC(nullptr);
  EXPECT_EQ(GetPixel(other, 15, 15), RGB(200, 0, 0)) << "a second screen DC sees the same screen";
  ReleaseDC(nullptr, other);

  HDC dc = GetDC(w);
  RECT all{0, 0, 50, 50};
  HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
  FillRect(dc, &all, green);
  ReleaseDC(w, dc);
  EXPECT_EQ(GetPixel(screen, 15, 15), RGB(0, 200, 0)) << "the window drew over the mark";
  EXPECT_EQ(GetPixel(screen, 65, 15), RGB(200, 0, 0)) << "no window changed beside it";
  ShowWindow(w, SW_HIDE);
  EXPECT_EQ(GetPixel(screen, 15, 15), GetSysColor(COLOR_BACKGROUND));
  ReleaseDC(nullptr, screen);
  DeleteObject(red);
  DeleteObject(green);
}

// However windows come, go, move, change their shape, alpha, key or
// z-order and draw, the screen brought up to date shows what a screen
// composed afresh shows.
TEST_F(ScreenTest, ScreenUpdatedWhereWindowsChangedIsTheWholeScreenComposedAfresh) {
  qv::desktop::profile().screenWidth = 160;
  qv::desktop::profile().screenHeight = 120;
  std::uint32_t seed = 20080110;
  auto next = [&](int n) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
  };
  auto colour = [&] { return RGB(next(4) * 80, next(4) * 80, next(4) * 80); };
  std::vector<HWND> windows;
  std::vector<std::pair<HWND, HDC>> open;  // DCs kept across looks
  auto makeOne = [&] {
    DWORD ex = next(3) == 0 ? WS_EX_LAYERED : next(5) == 0 ? WS_EX_TOPMOST : 0;
    windows.push_back(make(next(140) - 20, next(100) - 20, 10 + next(80), 10 + next(60), colour(), ex,
                           next(4) == 0 ? "GlueShadow" : "GlueScreen"));
  };
  for (int i = 0; i < 5; ++i) makeOne();
  for (int step = 0; step < 400; ++step) {
    for (int changes = 1 + next(3); changes > 0; --changes) {
      HWND w = windows[next(static_cast<int>(windows.size()))];
      switch (next(11)) {
        case 0:
          SetWindowPos(w, nullptr, next(160) - 30, next(120) - 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
          break;
        case 1:
          SetWindowPos(w, nullptr, 0, 0, 5 + next(90), 5 + next(70), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
          break;
        case 2:
          SetWindowPos(w, next(2) ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          break;
        case 3: ShowWindow(w, IsWindowVisible(w) ? SW_HIDE : SW_SHOWNOACTIVATE); break;
        case 4:
          SetWindowRgn(w, next(3) ? CreateEllipticRgn(next(20), next(20), 20 + next(60), 20 + next(40)) : nullptr,
                       TRUE);
          break;
        case 5:
          SetLayeredWindowAttributes(w, RGB(0, 255, 0), static_cast<BYTE>(next(256)),
                                     next(2) ? LWA_ALPHA : LWA_ALPHA | LWA_COLORKEY);
          break;
        case 6:
        case 7: {
          HDC dc = GetDC(w);
          RECT r{next(60), next(40), 0, 0};
          r.right = r.left + 1 + next(40);
          r.bottom = r.top + 1 + next(30);
          HBRUSH b = CreateSolidBrush(colour());
          FillRect(dc, &r, b);
          DeleteObject(b);
          if (next(3) == 0) open.emplace_back(w, dc);
          else ReleaseDC(w, dc);
          break;
        }
        case 8:
          if (!open.empty()) {  // a DC taken earlier draws again
            auto [ow, dc] = open[next(static_cast<int>(open.size()))];
            RECT r{next(50), next(30), 0, 0};
            r.right = r.left + 1 + next(30);
            r.bottom = r.top + 1 + next(30);
            HBRUSH b = CreateSolidBrush(colour());
            FillRect(dc, &r, b);
            DeleteObject(b);
          }
          break;
        case 9:
          if (windows.size() > 2) {
            for (std::size_t i = open.size(); i-- > 0;)
              if (open[i].first == w) {
                ReleaseDC(w, open[i].second);
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
              }
            DestroyWindow(w);
            windows.erase(std::find(windows.begin(), windows.end(), w));
          }
          makeOne();
          break;
        case 10:
          if (next(4) == 0) {
            int element = COLOR_BACKGROUND;
            COLORREF c = colour();
            SetSysColors(1, &element, &c);
          } else {
            qv::os::pumpMessages();
          }
          break;
      }
    }
    qv::os::gdi::Image updated = qv::os::composeScreen();
    qv::os::forgetScreen();
    qv::os::gdi::Image afresh = qv::os::composeScreen();
    auto differs = std::mismatch(updated.pixels.begin(), updated.pixels.end(), afresh.pixels.begin());
    ASSERT_TRUE(differs.first == updated.pixels.end())
        << "step " << step << ": first at " << (differs.first - updated.pixels.begin()) % 160 << ","
        << (differs.first - updated.pixels.begin()) / 160;
  }
  for (auto [w, dc] : open) ReleaseDC(w, dc);
}

TEST_F(ScreenTest, SurfaceKeepsItsPixelsWhenTheWindowGrows) {
  HWND w = make(0, 0, 40, 40, RGB(0, 0, 200));
  qv::os::pumpMessages();
  SetWindowLongPtr(w, GWLP_USERDATA, static_cast<LONG_PTR>(RGB(200, 0, 0)));
  SetWindowPos(w, nullptr, 0, 0, 80, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  qv::os::gdi::Image img;
  ASSERT_TRUE(qv::os::windowImage(w, img));
  EXPECT_EQ(img.width, 80);
  EXPECT_EQ(img.at(5, 20), rgb(RGB(0, 0, 200)));  // kept where old and new overlap
}

}  // namespace
