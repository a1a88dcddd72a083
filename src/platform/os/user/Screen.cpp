#include "platform/os/user/Screen.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/Layered.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"
#include "platform/os/user/WindowSurface.h"

namespace qv::os {
namespace {

using gdi::RegionData;
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

// One window as the screen shows it: everything of it that the screen's
// pixels depend on, so that a change of any of it is seen.
struct Layer {
  HWND handle = nullptr;
  RECT rect{};  // on the screen
  bool shadow = false;
  bool shaped = false;
  RegionData shape;  // the window region, window coordinates
  LayeredAttributes layered;
  std::shared_ptr<gdi::Surface> surface;
  int surfaceWidth = 0;
  int surfaceHeight = 0;

  bool sameAs(const Layer& o) const {
    return EqualRect(&rect, &o.rect) && shadow == o.shadow && shaped == o.shaped && (!shaped || shape == o.shape) &&
           layered.flags == o.layered.flags && layered.alpha == o.layered.alpha && layered.key == o.layered.key &&
           surface == o.surface && surfaceWidth == o.surfaceWidth && surfaceHeight == o.surfaceHeight;
  }
  // Every pixel the window (with its shadow) may change.
  RegionData reach() const {
    int grow = shadow ? kShadowSize : 0;
    return RegionData(rect.left, rect.top, rect.right + grow, rect.bottom + grow);
  }
};

// What the screen's surface shows now, and which windows may have drawn
// since it was composed.
struct Composition {
  const gdi::Surface* target = nullptr;
  int width = 0;
  int height = 0;
  std::uint32_t background = 0;
  std::vector<Layer> layers;  // from the bottom of the z-order to the top
  std::set<HWND> drawn;       // top-level windows handed a DC since
  std::map<HWND, int> open;   // top-level windows with DCs not yet released
};

Composition& composition() {
  static auto* c = new Composition;
  return *c;
}

std::vector<Layer> currentLayers() {
  std::vector<Layer> layers;
  user::ensureDesktop();
  const std::vector<Wnd*>& tops = user::state().desktop->children;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    Wnd* w = *it;
    if (w == nullptr || w->foreign || w->destroyed || !(w->style & WS_VISIBLE) || (w->style & WS_MINIMIZE)) continue;
    Layer l;
    l.handle = w->handle;
    l.surface = windowSurface(w->handle);
    if (!l.surface) continue;
    l.rect = user::screenRect(w);
    l.shadow = w->cls && (w->cls->style & CS_DROPSHADOW);
    if (const RegionData* own = windowShape(w->handle)) {
      l.shaped = true;
      l.shape = *own;
    }
    l.layered = layeredAttributes(w->handle);
    l.surfaceWidth = l.surface->width;
    l.surfaceHeight = l.surface->height;
    layers.push_back(std::move(l));
  }
  return layers;
}

// Where the screen differs from what its surface shows: the reach of every
// window that came, went, changed or drew, and where two windows that
// overlap changed places in the z-order.
RegionData changedArea(const Composition& c, const std::vector<Layer>& now) {
  RegionData area;
  std::map<HWND, std::size_t> before;
  for (std::size_t i = 0; i < c.layers.size(); ++i) before[c.layers[i].handle] = i;
  std::vector<std::pair<std::size_t, const Layer*>> kept;  // old place, in the new order
  std::set<HWND> present;
  for (const Layer& l : now) {
    present.insert(l.handle);
    auto it = before.find(l.handle);
    const bool drew = c.drawn.count(l.handle) != 0 || c.open.count(l.handle) != 0;
    if (it == before.end()) {
      area.unite(l.reach());
      continue;
    }
    const Layer& old = c.layers[it->second];
    if (drew || !l.sameAs(old)) {
      area.unite(old.reach());
      area.unite(l.reach());
    }
    kept.emplace_back(it->second, &l);
  }
  for (const Layer& old : c.layers)
    if (present.count(old.handle) == 0) area.unite(old.reach());
  for (std::size_t i = 0; i < kept.size(); ++i)
    for (std::size_t j = i + 1; j < kept.size(); ++j)
      if (kept[i].first > kept[j].first) {
        RegionData both = kept[i].second->reach();
        both.intersect(kept[j].second->reach());
        area.unite(both);
      }
  return area;
}

void drawShadow(gdi::Surface& s, const RECT& win, const RegionData& clip) {
  // The shadow lies to the right of and below the window, offset by its size,
  // fading outwards in steps of one pixel.
  RegionData shadow(win.left + kShadowSize, win.top + kShadowSize, win.right + kShadowSize, win.bottom + kShadowSize);
  shadow.subtract(RegionData(win.left, win.top, win.right, win.bottom));
  shadow.intersect(clip);
  int n = 0;
  const pixman_box32_t* boxes = shadow.boxes(n);
  for (int i = 0; i < n; ++i)
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
      std::uint32_t* row = s.row(y);
      for (int x = boxes[i].x1; x < boxes[i].x2; ++x) {
        int dx = x >= win.right ? x - win.right + 1 : 0;
        int dy = y >= win.bottom ? y - win.bottom + 1 : 0;
        int a = kShadowAlpha * (kShadowSize + 1 - std::max(dx, dy)) / kShadowSize;
        row[x] = blend(row[x], 0, std::clamp(a, 0, 255));
      }
    }
}

void drawLayer(gdi::Surface& s, const Layer& l, const RegionData& clip) {
  if (l.shadow) drawShadow(s, l.rect, clip);
  RegionData shape(0, 0, l.surfaceWidth, l.surfaceHeight);
  if (l.shaped) shape.intersect(l.shape);
  shape.offset(l.rect.left, l.rect.top);
  shape.intersect(clip);
  int alpha = (l.layered.flags & LWA_ALPHA) ? l.layered.alpha : 255;
  bool keyed = (l.layered.flags & LWA_COLORKEY) != 0;
  std::uint32_t key = gdi::pixelOf(l.layered.key);
  gdi::SurfaceUse use(l.surface.get(), false);
  int n = 0;
  const pixman_box32_t* boxes = shape.boxes(n);
  for (int i = 0; i < n; ++i) {
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
      const std::uint32_t* from = l.surface->row(y - l.rect.top);
      std::uint32_t* to = s.row(y);
      const int shift = l.rect.left;
      if (alpha == 255 && !keyed) {
        for (int x = boxes[i].x1; x < boxes[i].x2; ++x) to[x] = from[x - shift] & 0xFFFFFF;
        continue;
      }
      for (int x = boxes[i].x1; x < boxes[i].x2; ++x) {
        std::uint32_t p = from[x - shift] & 0xFFFFFF;
        if (keyed && p == key) continue;
        to[x] = alpha == 255 ? p : blend(to[x], p, alpha);
      }
    }
  }
}

// Brings the surface up to date where the windows changed since it was
// last composed (everywhere the first time, or when it is another surface).
void update(gdi::Surface& s) {
  Composition& c = composition();
  std::vector<Layer> now = currentLayers();
  const std::uint32_t background = gdi::pixelOf(GetSysColor(COLOR_BACKGROUND));
  RegionData area;
  if (c.target != &s || c.width != s.width || c.height != s.height || c.background != background)
    area.setRect(0, 0, s.width, s.height);
  else
    area = changedArea(c, now);
  area.intersect(RegionData(0, 0, s.width, s.height));
  if (area.complexity() != NULLREGION) {
    int n = 0;
    const pixman_box32_t* boxes = area.boxes(n);
    for (int i = 0; i < n; ++i)
      for (int y = boxes[i].y1; y < boxes[i].y2; ++y)
        std::fill(s.row(y) + boxes[i].x1, s.row(y) + boxes[i].x2, background);
    for (const Layer& l : now) drawLayer(s, l, area);
  }
  c.target = &s;
  c.width = s.width;
  c.height = s.height;
  c.background = background;
  c.layers = std::move(now);
  // A DC still open may draw more before the next look.
  c.drawn.clear();
  for (const auto& [root, count] : c.open) c.drawn.insert(root);
}

bool savePng(const gdi::Image& image, const std::string& hostPath) {
  std::vector<std::uint8_t> bytes = gdi::encodePng(image);
  return !bytes.empty() && gdi::writeHostFile(hostPath, bytes);
}

}  // namespace

std::shared_ptr<gdi::Surface> liveScreenSurface() {
  std::shared_ptr<gdi::Surface> screen = gdi::screenSurface();
  if (screen && !screen->pull) {
    // A new surface shows nothing yet, wherever it lies in memory.
    composition().target = nullptr;
    gdi::Surface* raw = screen.get();
    screen->pull = [raw] { update(*raw); };
  }
  return screen;
}

void windowDcOpened(HWND root) {
  Composition& c = composition();
  c.drawn.insert(root);
  ++c.open[root];
}

void windowDcClosed(HWND root) {
  Composition& c = composition();
  auto it = c.open.find(root);
  if (it != c.open.end() && --it->second <= 0) c.open.erase(it);
}

void forgetScreen() {
  Composition& c = composition();
  c.target = nullptr;
  c.layers.clear();
}

gdi::Image composeScreen() {
  std::shared_ptr<gdi::Surface> screen = liveScreenSurface();
  gdi::Image out;
  if (!screen || !out.allocate(screen->width, screen->height)) return out;
  update(*screen);
  for (int y = 0; y < screen->height; ++y) {
    const std::uint32_t* row = screen->row(y);
    for (int x = 0; x < screen->width; ++x) out.at(x, y) = 0xFF000000u | (row[x] & 0xFFFFFF);
  }
  out.bitDepth = 24;
  return out;
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
