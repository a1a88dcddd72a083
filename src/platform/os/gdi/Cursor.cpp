#include "platform/os/gdi/Cursor.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/os/gdi/Image.h"

namespace qv::os::gdi {

namespace {

constexpr int kSize = 32;

// A cursor picture being drawn: ' ' transparent, 'B' black, 'W' white.
struct Grid {
  char px[kSize][kSize];
  Grid() {
    for (auto& row : px)
      for (auto& c : row) c = ' ';
  }
  void set(int x, int y, char c = 'B') {
    if (x >= 0 && y >= 0 && x < kSize && y < kSize) px[y][x] = c;
  }
  void line(int x0, int y0, int x1, int y1, char c = 'B') {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      set(x0, y0, c);
      if (x0 == x1 && y0 == y1) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
  void rect(int l, int t, int r, int b, char c = 'B') {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) set(x, y, c);
  }
  void map(int x, int y, const char* const* rows, int n) {
    for (int j = 0; j < n; ++j)
      for (int i = 0; rows[j][i] != 0; ++i)
        if (rows[j][i] != ' ') set(x + i, y + j, rows[j][i]);
  }
  // Arrow head at (x, y) pointing along (dx, dy), each -1, 0 or 1.
  void head(int x, int y, int dx, int dy) {
    for (int k = 0; k < 5; ++k) {
      if (dx != 0 && dy != 0) {
        line(x - dx * k, y, x - dx * k, y - dy * (5 - k));
      } else {
        const int px = dy, py = dx;  // across the arrow
        line(x - dx * k + px * k, y - dy * k + py * k, x - dx * k - px * k, y - dy * k - py * k);
      }
    }
  }
  // A double-headed arrow through the centre along (dx, dy).
  void sizer(int dx, int dy, int len) {
    const int c = kSize / 2;
    line(c - dx * len, c - dy * len, c + dx * len, c + dy * len);
    head(c + dx * len, c + dy * len, dx, dy);
    head(c - dx * len, c - dy * len, -dx, -dy);
  }
  // A white rim around black strokes, so they show on any background.
  void outline() {
    Grid copy = *this;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        if (copy.px[y][x] != ' ') continue;
        for (int j = -1; j <= 1; ++j)
          for (int i = -1; i <= 1; ++i) {
            const int u = x + i, v = y + j;
            if (u >= 0 && v >= 0 && u < kSize && v < kSize && copy.px[v][u] == 'B') px[y][x] = 'W';
          }
      }
  }
};

const char* const kArrow[19] = {
    "B",          "BB",          "BWB",         "BWWB",       "BWWWB",      "BWWWWB",     "BWWWWWB",
    "BWWWWWWB",   "BWWWWWWWB",   "BWWWWWWWWB",  "BWWWWWBBBBB", "BWWBWWB",    "BWB BWWB",   "BB  BWWB",
    "B    BWWB",  "     BWWB",   "      BWWB",  "      BWWB",  "       BB",
};
const char* const kHand[22] = {
    "    BB",           "   BWWB",          "   BWWB",          "   BWWB",          "   BWWB",
    "   BWWBBB",        "   BWWBWWBBB",     "   BWWBWWBWWBB",   "BB BWWBWWBWWBWB",  "BWWBWWWWWWWWBWWB",
    "BWWWWWWWWWWWWWWB", " BWWWWWWWWWWWWWB", " BWWWWWWWWWWWWWB", "  BWWWWWWWWWWWWB", "  BWWWWWWWWWWWB",
    "   BWWWWWWWWWWWB", "   BWWWWWWWWWWB",  "    BWWWWWWWWWB",  "    BWWWWWWWWWB",  "    BBBBBBBBBBB",
    "", "",
};
const char* const kQuestion[8] = {" BBBB ", "BB  BB", "    BB", "   BB ", "  BB  ", "  BB  ", "      ", "  BB  "};

struct Shape {
  Grid grid;
  int hotX = 0;
  int hotY = 0;
};

void hourglass(Grid& g, int x, int y, int s) {
  // s: half the width; the glass is 2s wide and 3s high.
  g.line(x, y, x + 2 * s, y);
  g.line(x, y + 3 * s, x + 2 * s, y + 3 * s);
  g.line(x + 1, y + 1, x + s, y + 3 * s / 2);
  g.line(x + 2 * s - 1, y + 1, x + s, y + 3 * s / 2);
  g.line(x + s, y + 3 * s / 2, x + 1, y + 3 * s - 1);
  g.line(x + s, y + 3 * s / 2, x + 2 * s - 1, y + 3 * s - 1);
}

bool standardShape(WORD id, Shape& s) {
  Grid& g = s.grid;
  const int c = kSize / 2;
  s.hotX = s.hotY = c;
  switch (id) {
    case 32512:  // arrow
    case 32641:  // the obsolete empty-icon cursor looks like the arrow
      g.map(0, 0, kArrow, 19);
      s.hotX = s.hotY = 0;
      return true;
    case 32513:  // I-beam
      g.line(c, 9, c, 23);
      g.line(c - 3, 8, c - 1, 8);
      g.line(c + 1, 8, c + 3, 8);
      g.line(c - 3, 24, c - 1, 24);
      g.line(c + 1, 24, c + 3, 24);
      g.outline();
      return true;
    case 32514:  // wait: an hourglass
      hourglass(g, 9, 4, 7);
      g.outline();
      return true;
    case 32515:  // cross
      g.line(c, 4, c, 28);
      g.line(4, c, 28, c);
      g.outline();
      return true;
    case 32516:  // up arrow
      g.rect(c - 1, 7, c + 2, 30);
      g.head(c, 1, 0, -1);
      g.head(c, 2, 0, -1);
      g.outline();
      s.hotY = 1;
      return true;
    case 32640:
    case 32646:  // move in all directions
      g.sizer(1, 0, 12);
      g.sizer(0, 1, 12);
      g.outline();
      return true;
    case 32642: g.sizer(1, 1, 9); g.outline(); return true;   // north-west to south-east
    case 32643: g.sizer(1, -1, 9); g.outline(); return true;  // north-east to south-west
    case 32644: g.sizer(1, 0, 12); g.outline(); return true;  // west-east
    case 32645: g.sizer(0, 1, 12); g.outline(); return true;  // north-south
    case 32648:  // not allowed: a ring with a bar
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
          const int d2 = (x - c) * (x - c) + (y - c) * (y - c);
          if (d2 <= 121 && d2 >= 64) g.set(x, y);
        }
      for (int k = -1; k <= 1; ++k) g.line(c - 7 + k, c - 7, c + 7 + k, c + 7);
      g.outline();
      return true;
    case 32649:  // hand: the tip of the pointing finger
      g.map(6, 0, kHand, 22);
      s.hotX = 10;
      s.hotY = 0;
      return true;
    case 32650:  // working in the background: arrow and small hourglass
      g.map(0, 0, kArrow, 19);
      hourglass(g, 14, 12, 4);
      s.hotX = s.hotY = 0;
      return true;
    case 32651:  // help: arrow and question mark
      g.map(0, 0, kArrow, 19);
      g.map(13, 10, kQuestion, 8);
      s.hotX = s.hotY = 0;
      return true;
    default: return false;
  }
}

HCURSOR sharedStandardCursor(WORD id) {
  static std::mutex lock;
  static std::map<WORD, HCURSOR> made;
  std::lock_guard<std::mutex> guard(lock);
  auto it = made.find(id);
  if (it != made.end()) return it->second;
  Shape s;
  if (!standardShape(id, s)) return nullptr;
  IconData d;
  d.icon = false;
  d.width = d.height = kSize;
  d.hotX = s.hotX;
  d.hotY = s.hotY;
  d.shared = true;
  d.colour.resize(kSize * kSize);
  d.mask.resize(kSize * kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const char p = s.grid.px[y][x];
      d.mask[y * kSize + x] = p == ' ' ? 1 : 0;
      d.colour[y * kSize + x] = p == 'W' ? 0xFFFFFFu : 0u;
    }
  HCURSOR h = addIcon(std::move(d));
  made[id] = h;
  return h;
}

}  // namespace

}  // namespace qv::os::gdi

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) {
  using namespace qv::os::gdi;
  if (instance == nullptr) {
    HCURSOR h = IS_INTRESOURCE(name) ? sharedStandardCursor(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)))
                                     : nullptr;
    if (h == nullptr) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return h;
  }
  return loadGroupResource(instance, name, false, 0, 0, LR_DEFAULTSIZE, true);
}

HCURSOR LoadCursorFromFile(LPCSTR fileName) {
  return static_cast<HCURSOR>(qv::os::gdi::loadIconImage(nullptr, fileName, IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }
