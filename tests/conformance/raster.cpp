// Raster primitives on a 64 x 64 DIB section: lines and shapes with thin,
// wide and styled pens, solid, hatch and pattern brushes, binary and
// ternary raster operations, and reversed or negative extents.
#include <string>
#include <vector>

#include "Conformance.h"

namespace {

const COLORREF kGrey = RGB(192, 192, 192);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

std::string num(int v) { return std::to_string(v); }

// Runs one drawing on a fresh canvas with a pen and a brush selected and
// prints its answer and its pixels.
struct Setup {
  HPEN pen = nullptr;      // null: the stock black pen
  HBRUSH brush = nullptr;  // null: the stock light grey brush
  int rop2 = R2_COPYPEN;
  int bkMode = OPAQUE;
  COLORREF bk = kBlue;
};

template <class Draw>
void drawCase(const std::string& name, const Setup& s, Draw draw) {
  conf::begin(name);
  conf::Canvas canvas;
  HDC dc = canvas.dc();
  HGDIOBJ oldPen = SelectObject(dc, s.pen ? static_cast<HGDIOBJ>(s.pen) : GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, s.brush ? static_cast<HGDIOBJ>(s.brush) : GetStockObject(LTGRAY_BRUSH));
  SetROP2(dc, s.rop2);
  SetBkMode(dc, s.bkMode);
  SetBkColor(dc, s.bk);
  conf::value("result", static_cast<long long>(draw(dc)));
  canvas.show();
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  if (s.pen) DeleteObject(s.pen);
  if (s.brush) DeleteObject(s.brush);
}

void lines() {
  // Every direction from the centre, and back again: the rule for ties must
  // not depend on the direction.
  const POINT ends[] = {{60, 32}, {60, 46}, {60, 60}, {46, 60}, {32, 60}, {18, 60}, {4, 60}, {4, 46},
                        {4, 32},  {4, 18},  {4, 4},   {18, 4},  {32, 4},  {46, 4},  {60, 4},  {60, 18},
                        {52, 42}, {42, 52}, {12, 42}, {22, 52}, {52, 22}, {42, 12}, {12, 22}, {22, 12},
                        {61, 45}, {39, 57}, {33, 33}, {32, 32}};
  for (POINT e : ends) {
    for (int back = 0; back < (e.x == 32 && e.y == 32 ? 1 : 2); ++back) {
      POINT a{32, 32}, b = e;
      if (back) std::swap(a, b);
      drawCase("line " + num(a.x) + "," + num(a.y) + " to " + num(b.x) + "," + num(b.y), Setup{}, [&](HDC dc) {
        MoveToEx(dc, a.x, a.y, nullptr);
        return LineTo(dc, b.x, b.y);
      });
    }
  }
  const POINT zigzag[] = {{4, 4}, {60, 10}, {8, 30}, {56, 58}, {4, 60}};
  drawCase("polyline", Setup{}, [&](HDC dc) { return Polyline(dc, zigzag, 5); });
  drawCase("polylineto", Setup{}, [&](HDC dc) {
    MoveToEx(dc, 30, 2, nullptr);
    BOOL r = PolylineTo(dc, zigzag, 5);
    POINT pos{};
    GetCurrentPositionEx(dc, &pos);
    conf::value("position x", pos.x);
    conf::value("position y", pos.y);
    return r;
  });
  const DWORD counts[] = {2, 3};
  drawCase("polypolyline", Setup{}, [&](HDC dc) { return PolyPolyline(dc, zigzag, counts, 2); });
  drawCase("polyline one point", Setup{}, [&](HDC dc) { return Polyline(dc, zigzag, 1); });
  for (int rop2 = R2_BLACK; rop2 <= R2_WHITE; ++rop2) {
    Setup s;
    s.pen = CreatePen(PS_SOLID, 1, RGB(0x0F, 0xF0, 0x55));
    s.rop2 = rop2;
    drawCase("line rop2 " + num(rop2), s, [&](HDC dc) {
      HBRUSH b = CreateSolidBrush(RGB(0x33, 0x66, 0x99));
      RECT r{0, 0, 64, 32};
      FillRect(dc, &r, b);
      DeleteObject(b);
      MoveToEx(dc, 2, 20, nullptr);
      return LineTo(dc, 60, 44);
    });
  }
}

void styledPens() {
  const struct {
    int style;
    const char* name;
  } styles[] = {{PS_DASH, "dash"}, {PS_DOT, "dot"}, {PS_DASHDOT, "dashdot"}, {PS_DASHDOTDOT, "dashdotdot"}};
  for (const auto& st : styles) {
    for (int mode : {OPAQUE, TRANSPARENT}) {
      Setup s;
      s.pen = CreatePen(st.style, 1, RGB(0, 0, 0));
      s.bkMode = mode;
      s.brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
      drawCase(std::string("pen ") + st.name + (mode == OPAQUE ? " opaque" : " transparent"), s, [&](HDC dc) {
        MoveToEx(dc, 1, 2, nullptr);
        LineTo(dc, 63, 2);
        MoveToEx(dc, 1, 6, nullptr);
        LineTo(dc, 40, 30);
        return Rectangle(dc, 4, 34, 60, 62);
      });
    }
  }
}

void widePens() {
  const struct {
    int style;
    const char* name;
  } styles[] = {{PS_SOLID, "solid"}, {PS_INSIDEFRAME, "insideframe"}};
  for (const auto& st : styles) {
    for (int w : {2, 3, 4, 5, 8}) {
      const std::string pen = std::string(" ") + st.name + " " + num(w);
      auto wide = [&] {
        Setup s;
        s.pen = CreatePen(st.style, w, RGB(0, 0, 0));
        return s;
      };
      // PS_INSIDEFRAME only keeps figures inside their bounding rectangle;
      // lines, polylines and polygons have none.
      const bool inside = st.style == PS_INSIDEFRAME;
      if (!inside) drawCase("wide lines" + pen, wide(), [&](HDC dc) {
        MoveToEx(dc, 8, 6, nullptr);
        LineTo(dc, 56, 6);
        MoveToEx(dc, 6, 14, nullptr);
        LineTo(dc, 6, 58);
        MoveToEx(dc, 16, 16, nullptr);
        LineTo(dc, 56, 56);
        MoveToEx(dc, 20, 54, nullptr);
        return LineTo(dc, 58, 30);
      });
      drawCase("wide rectangle" + pen, wide(), [&](HDC dc) { return Rectangle(dc, 8, 8, 40, 30); });
      drawCase("wide ellipse" + pen, wide(), [&](HDC dc) { return Ellipse(dc, 6, 6, 58, 40); });
      const POINT tri[] = {{8, 56}, {32, 8}, {56, 56}};
      if (!inside) drawCase("wide polygon" + pen, wide(), [&](HDC dc) { return Polygon(dc, tri, 3); });
      const POINT corner[] = {{8, 10}, {50, 10}, {50, 54}, {12, 30}};
      if (!inside) drawCase("wide polyline" + pen, wide(), [&](HDC dc) { return Polyline(dc, corner, 4); });
      const POINT square[] = {{8, 10}, {50, 10}, {50, 54}, {8, 54}};
      if (!inside) drawCase("wide square polygon" + pen, wide(), [&](HDC dc) { return Polygon(dc, square, 4); });
    }
  }
}

void shapes() {
  const struct {
    int l, t, r, b;
  } boxes[] = {{4, 4, 60, 40},   {10, 10, 11, 11}, {10, 10, 12, 12}, {10, 10, 13, 13}, {10, 10, 14, 14},
               {5, 5, 10, 10},   {6, 6, 13, 13},   {2, 2, 62, 62},   {8, 20, 56, 26},  {40, 50, 10, 4},
               {10, 10, 10, 30}, {-20, -20, 30, 30}, {10, 10, 13, 25}};
  for (const auto& b : boxes) {
    const std::string box = num(b.l) + "," + num(b.t) + "," + num(b.r) + "," + num(b.b);
    drawCase("rectangle " + box, Setup{}, [&](HDC dc) { return Rectangle(dc, b.l, b.t, b.r, b.b); });
    drawCase("ellipse " + box, Setup{}, [&](HDC dc) { return Ellipse(dc, b.l, b.t, b.r, b.b); });
    drawCase("roundrect " + box, Setup{}, [&](HDC dc) { return RoundRect(dc, b.l, b.t, b.r, b.b, 12, 12); });
    Setup noPen;
    noPen.pen = CreatePen(PS_NULL, 1, 0);
    noPen.brush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    drawCase("ellipse without pen " + box, noPen, [&](HDC dc) { return Ellipse(dc, b.l, b.t, b.r, b.b); });
  }
  const struct {
    int l, t, r, b, w, h;
  } rounds[] = {{4, 4, 60, 40, 0, 0},   {4, 4, 60, 40, 2, 2},    {4, 4, 60, 40, 3, 3},  {4, 4, 60, 40, 20, 30},
                {4, 4, 60, 40, 80, 80}, {4, 4, 60, 40, -10, -6}, {4, 4, 30, 60, 26, 56}, {4, 4, 60, 40, 12, 8},
                {4, 4, 60, 60, 9, 9},   {4, 4, 60, 40, 16, 16}};
  for (const auto& r : rounds) {
    drawCase("roundrect " + num(r.l) + "," + num(r.t) + "," + num(r.r) + "," + num(r.b) + " " + num(r.w) + "x" +
                 num(r.h),
             Setup{}, [&](HDC dc) { return RoundRect(dc, r.l, r.t, r.r, r.b, r.w, r.h); });
  }
  const struct {
    const char* name;
    int xs, ys, xe, ye;
  } arcs[] = {{"quarter", 60, 32, 32, 0},   {"half", 60, 32, 4, 32},   {"three quarters", 60, 32, 32, 63},
              {"full", 60, 32, 60, 32},     {"small", 50, 10, 40, 4},  {"across", 0, 0, 63, 63},
              {"clockwise half", 4, 32, 60, 32}};
  for (const auto& a : arcs) {
    drawCase(std::string("arc ") + a.name, Setup{}, [&](HDC dc) { return Arc(dc, 4, 4, 60, 60, a.xs, a.ys, a.xe, a.ye); });
    drawCase(std::string("chord ") + a.name, Setup{}, [&](HDC dc) { return Chord(dc, 4, 4, 60, 60, a.xs, a.ys, a.xe, a.ye); });
    drawCase(std::string("pie ") + a.name, Setup{}, [&](HDC dc) { return Pie(dc, 4, 4, 60, 60, a.xs, a.ys, a.xe, a.ye); });
  }
}

void polygons() {
  const struct {
    const char* name;
    std::vector<POINT> pts;
  } cases[] = {
      {"triangle", {{4, 4}, {40, 4}, {4, 40}}},
      {"triangle slanted", {{3, 5}, {61, 20}, {17, 59}}},
      {"star", {{32, 2}, {40, 22}, {62, 22}, {44, 36}, {52, 58}, {32, 44}, {12, 58}, {20, 36}, {2, 22}, {24, 22}}},
      {"pentagram", {{32, 2}, {50, 60}, {2, 22}, {62, 22}, {14, 60}}},
      {"arrow", {{4, 24}, {30, 24}, {30, 10}, {58, 32}, {30, 54}, {30, 40}, {4, 40}}},
      {"arrow down", {{20, 20}, {34, 20}, {27, 27}}},
      {"arrow up", {{27, 20}, {34, 27}, {20, 27}}},
      {"arrow left", {{27, 20}, {27, 34}, {20, 27}}},
      {"diamond", {{32, 4}, {60, 32}, {32, 60}, {4, 32}}},
      {"bow tie", {{4, 4}, {60, 40}, {60, 4}, {4, 40}}},
      {"sliver", {{2, 10}, {62, 12}, {2, 13}}},
  };
  for (const auto& c : cases) {
    for (int mode : {ALTERNATE, WINDING}) {
      const std::string m = mode == ALTERNATE ? " alternate" : " winding";
      Setup filled;
      drawCase(std::string("polygon ") + c.name + m, filled, [&](HDC dc) {
        SetPolyFillMode(dc, mode);
        return Polygon(dc, c.pts.data(), static_cast<int>(c.pts.size()));
      });
      Setup fillOnly;
      fillOnly.pen = CreatePen(PS_NULL, 1, 0);
      fillOnly.brush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      drawCase(std::string("polygon fill ") + c.name + m, fillOnly, [&](HDC dc) {
        SetPolyFillMode(dc, mode);
        return Polygon(dc, c.pts.data(), static_cast<int>(c.pts.size()));
      });
      // The fill and the region of the same points must be the same pixels.
      drawCase(std::string("polygon region ") + c.name + m, Setup{}, [&](HDC dc) {
        HRGN rgn = CreatePolygonRgn(c.pts.data(), static_cast<int>(c.pts.size()), mode);
        BOOL r = FillRgn(dc, rgn, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DeleteObject(rgn);
        return r;
      });
    }
  }
  const POINT pts[] = {{4, 4}, {36, 4}, {36, 36}, {4, 36}, {20, 20}, {60, 20}, {60, 60}, {20, 60}};
  const INT counts[] = {4, 4};
  for (int mode : {ALTERNATE, WINDING}) {
    drawCase(std::string("polypolygon") + (mode == ALTERNATE ? " alternate" : " winding"), Setup{}, [&](HDC dc) {
      SetPolyFillMode(dc, mode);
      return PolyPolygon(dc, pts, counts, 2);
    });
  }
}

HBITMAP checkerBitmap() {
  const WORD rows[8] = {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F};
  return CreateBitmap(8, 8, 1, 1, rows);
}

void brushes() {
  const char* hatchNames[] = {"horizontal", "vertical", "fdiagonal", "bdiagonal", "cross", "diagcross"};
  for (int h = HS_HORIZONTAL; h <= HS_DIAGCROSS; ++h) {
    for (int mode : {OPAQUE, TRANSPARENT}) {
      Setup s;
      s.brush = CreateHatchBrush(h, kRed);
      s.bkMode = mode;
      drawCase(std::string("hatch ") + hatchNames[h] + (mode == OPAQUE ? " opaque" : " transparent"), s, [&](HDC dc) {
        RECT r{3, 5, 61, 30};
        FillRect(dc, &r, s.brush);
        return Rectangle(dc, 3, 34, 61, 62);
      });
    }
  }
  for (POINT org : {POINT{0, 0}, POINT{3, 5}, POINT{-2, 9}}) {
    Setup s;
    HBITMAP bmp = checkerBitmap();
    s.brush = CreatePatternBrush(bmp);
    DeleteObject(bmp);
    drawCase("pattern brush origin " + num(org.x) + "," + num(org.y), s, [&](HDC dc) {
      SetTextColor(dc, kRed);
      SetBkColor(dc, kBlue);
      SetBrushOrgEx(dc, org.x, org.y, nullptr);
      RECT r{1, 1, 31, 63};
      FillRect(dc, &r, s.brush);
      return PatBlt(dc, 33, 3, 28, 58, PATCOPY);
    });
  }
  {
    // A colour pattern: the bitmap's own colours.
    conf::Canvas pattern(8, 8);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT half{0, 0, 4, 8};
    FillRect(pattern.dc(), &half, red);
    DeleteObject(red);
    HBITMAP bmp = CreateCompatibleBitmap(pattern.dc(), 8, 8);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, 8, 8, pattern.dc(), 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    Setup s;
    s.brush = CreatePatternBrush(bmp);
    DeleteObject(bmp);
    drawCase("pattern brush colour", s, [&](HDC dc) {
      SetWindowOrgEx(dc, 3, 2, nullptr);
      return Ellipse(dc, 4, 4, 60, 60);
    });
  }
}

void fills() {
  const struct {
    const char* name;
    RECT r;
  } rects[] = {{"normal", {4, 6, 40, 30}},  {"reversed", {40, 30, 4, 6}}, {"reversed x", {40, 6, 4, 30}},
               {"reversed y", {4, 30, 40, 6}}, {"empty", {10, 10, 10, 30}}, {"one pixel", {5, 5, 6, 6}},
               {"thin", {5, 5, 60, 7}},       {"outside", {-10, -10, 100, 100}}};
  for (const auto& c : rects) {
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    drawCase(std::string("fillrect ") + c.name, Setup{}, [&](HDC dc) { return FillRect(dc, &c.r, black); });
    drawCase(std::string("framerect ") + c.name, Setup{}, [&](HDC dc) { return FrameRect(dc, &c.r, black); });
    drawCase(std::string("invertrect ") + c.name, Setup{}, [&](HDC dc) { return InvertRect(dc, &c.r); });
  }
  const struct {
    int x, y, w, h;
  } blts[] = {{4, 4, 20, 10}, {30, 30, -20, -10}, {30, 4, -20, 10}, {4, 30, 20, -10}, {10, 10, 0, 10}, {10, 10, -1, -1}};
  const struct {
    DWORD rop;
    const char* name;
  } rops[] = {{PATCOPY, "patcopy"},     {PATINVERT, "patinvert"},   {DSTINVERT, "dstinvert"},
              {BLACKNESS, "blackness"}, {WHITENESS, "whiteness"},   {0x000F0001, "notpat"},
              {0x00A000C9, "pat and dst"}, {0x00FA0089, "pat or dst"}, {0x000500A9, "not pat or dst"}};
  for (const auto& b : blts) {
    for (const auto& rop : rops) {
      Setup s;
      s.brush = CreateHatchBrush(HS_DIAGCROSS, RGB(0x0F, 0xF0, 0x55));
      drawCase("patblt " + num(b.x) + "," + num(b.y) + " " + num(b.w) + "x" + num(b.h) + " " + rop.name, s,
               [&](HDC dc) {
                 SetBkColor(dc, RGB(0xC0, 0x30, 0x90));
                 HBRUSH under = CreateSolidBrush(RGB(0x33, 0x66, 0x99));
                 RECT r{0, 0, 64, 20};
                 FillRect(dc, &r, under);
                 DeleteObject(under);
                 return PatBlt(dc, b.x, b.y, b.w, b.h, rop.rop);
               });
    }
  }
  drawCase("patblt with a source rop", Setup{}, [&](HDC dc) { return PatBlt(dc, 0, 0, 10, 10, SRCCOPY); });
}

void regions() {
  auto shape = [] {
    HRGN r = CreateEllipticRgn(4, 4, 40, 40);
    HRGN b = CreateRectRgn(30, 20, 60, 60);
    CombineRgn(r, r, b, RGN_XOR);
    DeleteObject(b);
    return r;
  };
  drawCase("fillrgn", Setup{}, [&](HDC dc) {
    HRGN r = shape();
    BOOL ok = FillRgn(dc, r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(r);
    return ok;
  });
  drawCase("paintrgn", Setup{}, [&](HDC dc) {
    HRGN r = shape();
    BOOL ok = PaintRgn(dc, r);
    DeleteObject(r);
    return ok;
  });
  drawCase("invertrgn", Setup{}, [&](HDC dc) {
    HRGN r = shape();
    BOOL ok = InvertRgn(dc, r);
    DeleteObject(r);
    return ok;
  });
  for (SIZE f : {SIZE{1, 1}, SIZE{3, 2}, SIZE{0, 4}}) {
    drawCase("framergn " + num(f.cx) + "x" + num(f.cy), Setup{}, [&](HDC dc) {
      HRGN r = shape();
      BOOL ok = FrameRgn(dc, r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), f.cx, f.cy);
      DeleteObject(r);
      return ok;
    });
  }
  drawCase("fillrgn with window origin", Setup{}, [&](HDC dc) {
    SetWindowOrgEx(dc, -5, 7, nullptr);
    HRGN r = shape();
    BOOL ok = FillRgn(dc, r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(r);
    return ok;
  });
}

void pixels() {
  drawCase("setpixel and getpixel", Setup{}, [&](HDC dc) {
    conf::value("SetPixel", SetPixel(dc, 3, 4, RGB(1, 2, 3)));
    conf::value("SetPixel outside", SetPixel(dc, 64, 4, RGB(1, 2, 3)));
    conf::value("SetPixel negative", SetPixel(dc, -1, 4, RGB(1, 2, 3)));
    conf::value("GetPixel", GetPixel(dc, 3, 4));
    conf::value("GetPixel outside", GetPixel(dc, 3, 64));
    conf::value("SetPixelV", SetPixelV(dc, 10, 10, RGB(200, 100, 50)));
    return TRUE;
  });
  drawCase("clipped shapes", Setup{}, [&](HDC dc) {
    IntersectClipRect(dc, 10, 10, 50, 40);
    Ellipse(dc, 0, 0, 64, 64);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 63, 50);
    RECT r{0, 45, 64, 50};
    return FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  });
  drawCase("viewport origin", Setup{}, [&](HDC dc) {
    SetViewportOrgEx(dc, 10, 5, nullptr);
    SetWindowOrgEx(dc, 3, -4, nullptr);
    Rectangle(dc, 0, 0, 20, 20);
    MoveToEx(dc, 0, 30, nullptr);
    return LineTo(dc, 40, 50);
  });
}

}  // namespace

void conf::run() {
  lines();
  styledPens();
  widePens();
  shapes();
  polygons();
  brushes();
  fills();
  regions();
  pixels();
}
