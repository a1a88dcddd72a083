#include "platform/os/user/Screen.h"

#include <algorithm>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/Layered.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"
#include "platform/os/user/WindowSurface.h"

namespace qv::os {
namespace {

using user::Wnd;

// How far the shadow reaches beyond the window's right and bottom edges,
// and how dark it is next to the window.
constexpr int kShadowSize = 4;
constexpr int kShadowAlpha = 96;

std::uint32_t blend(std::uint32_t dst, std::uint32_t src, int alpha) {
  auto ch = [&](int shift) {
    int d = (dst >> shift) & 0xFF, s = (src >> shift) & 0xFF;
    return static_cast<std::uint32_t>((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

struct Canvas {
  int width;
  int height;
  std::vector<std::uint32_t> px;  // 0x00RRGGBB
  std::uint32_t& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
};

void drawShadow(Canvas& c, const RECT& win) {
  // The shadow lies to the right of and below the window, offset by its size,
  // fading outwards in steps of one pixel.
  for (int y = win.top + kShadowSize; y < win.bottom + kShadowSize; ++y) {
    for (int x = win.left + kShadowSize; x < win.right + kShadowSize; ++x) {
      if (x < win.right && y < win.bottom) continue;
      if (x < 0 || y < 0 || x >= c.width || y >= c.height) continue;
      int dx = x >= win.right ? x - win.right + 1 : 0;
      int dy = y >= win.bottom ? y - win.bottom + 1 : 0;
      int d = std::max(dx, dy);
      int a = kShadowAlpha * (kShadowSize + 1 - d) / kShadowSize;
      c.at(x, y) = blend(c.at(x, y), 0, std::clamp(a, 0, 255));
    }
  }
}

void drawWindow(Canvas& c, Wnd* w) {
  auto surface = windowSurface(w->handle);
  if (!surface) return;
  RECT win = user::screenRect(w);
  if (w->cls && (w->cls->style & CS_DROPSHADOW)) drawShadow(c, win);
  gdi::RegionData shape(0, 0, surface->width, surface->height);
  if (const gdi::RegionData* own = windowShape(w->handle)) shape.intersect(*own);
  shape.offset(win.left, win.top);
  shape.intersect(gdi::RegionData(0, 0, c.width, c.height));
  LayeredAttributes la = layeredAttributes(w->handle);
  int alpha = (la.flags & LWA_ALPHA) ? la.alpha : 255;
  bool keyed = (la.flags & LWA_COLORKEY) != 0;
  std::uint32_t key = gdi::pixelOf(la.key);
  gdi::SurfaceUse use(surface.get(), false);
  int n = 0;
  const pixman_box32_t* boxes = shape.boxes(n);
  for (int i = 0; i < n; ++i) {
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
      const std::uint32_t* row = surface->row(y - win.top);
      for (int x = boxes[i].x1; x < boxes[i].x2; ++x) {
        std::uint32_t p = row[x - win.left] & 0xFFFFFF;
        if (keyed && p == key) continue;
        c.at(x, y) = alpha == 255 ? p : blend(c.at(x, y), p, alpha);
      }
    }
  }
}

Canvas compose() {
  const auto& prof = qv::desktop::profile();
  Canvas c{std::max(0, prof.screenWidth), std::max(0, prof.screenHeight), {}};
  c.px.assign(static_cast<size_t>(c.width) * c.height, gdi::pixelOf(GetSysColor(COLOR_BACKGROUND)));
  user::ensureDesktop();
  std::vector<HWND> order;
  for (Wnd* t : user::state().desktop->children) order.push_back(t->handle);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    Wnd* w = user::find(*it);
    if (w == nullptr || w->foreign || w->destroyed || !(w->style & WS_VISIBLE) || (w->style & WS_MINIMIZE)) continue;
    drawWindow(c, w);
  }
  return c;
}

bool savePng(const gdi::Image& image, const std::string& hostPath) {
  std::vector<std::uint8_t> bytes = gdi::encodePng(image);
  return !bytes.empty() && gdi::writeHostFile(hostPath, bytes);
}

}  // namespace

gdi::Image composeScreen() {
  Canvas c = compose();
  gdi::Image out;
  if (!out.allocate(c.width, c.height)) return out;
  for (size_t i = 0; i < c.px.size(); ++i) out.pixels[i] = 0xFF000000u | c.px[i];
  out.bitDepth = 24;
  return out;
}

void composeScreenInto(gdi::Surface& surface) {
  Canvas c = compose();
  gdi::SurfaceUse use(&surface);
  int w = std::min(c.width, surface.width), h = std::min(c.height, surface.height);
  for (int y = 0; y < h; ++y) std::copy_n(&c.px[static_cast<size_t>(y) * c.width], w, surface.row(y));
}

bool windowImage(HWND hwnd, gdi::Image& out) {
  Wnd* w = user::find(hwnd);
  auto surface = windowSurface(hwnd);
  if (w == nullptr || !surface) return false;
  POINT o = surfaceOrigin(hwnd, true);
  int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
  if (!out.allocate(std::max(0, width), std::max(0, height))) return false;
  out.bitDepth = 24;
  gdi::SurfaceUse use(surface.get(), false);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int sx = x + o.x, sy = y + o.y;
      std::uint32_t p = surface->contains(sx, sy) ? surface->row(sy)[sx] : 0;
      out.at(x, y) = 0xFF000000u | (p & 0xFFFFFF);
    }
  return true;
}

bool saveScreenshot(const std::string& hostPath) { return savePng(composeScreen(), hostPath); }

bool saveWindowShot(HWND hwnd, const std::string& hostPath) {
  gdi::Image image;
  return windowImage(hwnd, image) && savePng(image, hostPath);
}

}  // namespace qv::os
