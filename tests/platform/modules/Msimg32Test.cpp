// The msimg32 stand-in: bound by name when the profile has it, and its
// blending, gradients and transparent blits on memory bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "../os/gdi/GdiCanvas.h"
#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/Msimg32.h"
#include "platform/os/kernel/Module.h"

using gditest::Canvas;

namespace {

class Msimg32 : public qvtest::DesktopTest {};

TEST_F(Msimg32, BoundByNameWhenTheProfileHasIt) {
  HMODULE lib = LoadLibrary("MSIMG32.DLL");
  ASSERT_NE(lib, nullptr);
  using AlphaBlendFn = BOOL (*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
  using GradientFillFn = BOOL (*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
  EXPECT_EQ(qv::os::procAs<AlphaBlendFn>(GetProcAddress(lib, "AlphaBlend")), &AlphaBlend);
  EXPECT_EQ(qv::os::procAs<GradientFillFn>(GetProcAddress(lib, "GradientFill")), &GradientFill);
  EXPECT_NE(GetProcAddress(lib, "TransparentBlt"), nullptr);
  EXPECT_EQ(GetProcAddress(lib, "alphablend"), nullptr);
  FreeLibrary(lib);

  qv::desktop::profile().msimg32 = false;
  EXPECT_EQ(LoadLibrary("msimg32.dll"), nullptr);
}

// Each pixel of a 1 x 1 source over a 1 x 1 destination.
struct BlendCase {
  const char* name;
  std::uint32_t source;  // 0xAARRGGBB as stored
  std::uint32_t dest;
  BYTE constant;
  BYTE format;
  std::uint32_t expected;
};

class Blends : public Msimg32, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(Blends, RoundLikeTheEightBitBlend) {
  const BlendCase& c = GetParam();
  Canvas src(1, 1), dst(1, 1);
  src.setRaw(0, 0, c.source);
  dst.setRaw(0, 0, c.dest);
  ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, c.constant, c.format}));
  EXPECT_EQ(dst.raw(0, 0), c.expected) << std::hex << dst.raw(0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Blends,
    ::testing::Values(
        // Constant alpha: src * a + dst * (255 - a), each divided by 255 and rounded.
        BlendCase{"ConstantHalf", 0x00FF0000u, 0x000000FFu, 128, 0, 0x0080007Fu},
        BlendCase{"ConstantOpaque", 0x00FF0000u, 0x000000FFu, 255, 0, 0x00FF0000u},
        BlendCase{"ConstantZero", 0x00FF0000u, 0x000000FFu, 0, 0, 0x000000FFu},
        // Premultiplied source: src + dst * (255 - srcAlpha).
        BlendCase{"PerPixel", 0x80800000u, 0xFFFFFFFFu, 255, AC_SRC_ALPHA, 0xFFFF7F7Fu},
        BlendCase{"PerPixelTransparent", 0x00000000u, 0x00123456u, 255, AC_SRC_ALPHA, 0x00123456u},
        BlendCase{"PerPixelOpaque", 0xFF102030u, 0x00FFFFFFu, 255, AC_SRC_ALPHA, 0xFF102030u},
        // Both: the source scaled by the constant first.
        BlendCase{"PerPixelAndConstant", 0x80800000u, 0x00FFFFFFu, 128, AC_SRC_ALPHA, 0x40FFBFBFu}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Msimg32, AlphaBlendStretchesClipsAndRejectsBadRectangles) {
  Canvas src(2, 1), dst(4, 2, RGB(0, 0, 0));
  src.setRaw(0, 0, 0x00FF0000u);
  src.setRaw(1, 0, 0x0000FF00u);
  const BLENDFUNCTION opaque{AC_SRC_OVER, 0, 255, 0};
  HRGN clip = CreateRectRgn(0, 0, 3, 2);
  SelectClipRgn(dst.dc(), clip);
  DeleteObject(clip);
  ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, opaque));
  EXPECT_EQ(dst.at(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(dst.at(2, 0), RGB(0, 255, 0));
  EXPECT_EQ(dst.at(3, 0), RGB(0, 0, 0));  // clipped
  EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, 1, 1, src.dc(), 1, 0, 2, 1, opaque));
  EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, -1, 1, src.dc(), 0, 0, 1, 1, opaque));
  EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 1, 1, BLENDFUNCTION{1, 0, 255, 0}));
  EXPECT_FALSE(AlphaBlend(nullptr, 0, 0, 1, 1, src.dc(), 0, 0, 1, 1, opaque));
}

// Every pixel of a larger blend rounds as one pixel does, inside the clip
// only, with and without a constant alpha, from anywhere in the source.
TEST_F(Msimg32, PerPixelBlendsRoundEveryPixelInsideTheClip) {
  std::uint32_t seed = 5;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  auto mul = [](std::uint32_t a, std::uint32_t b) {
    const std::uint32_t t = a * b + 128;
    return (t + (t >> 8)) >> 8;
  };
  for (BYTE constant : {BYTE{255}, BYTE{77}}) {
    Canvas src(40, 30), dst(36, 24);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        const std::uint32_t a = next() & 0xFF, v = next();
        src.setRaw(x, y, (a << 24) | (mul(v & 0xFF, a) << 16) | (mul((v >> 8) & 0xFF, a) << 8) | mul(v >> 16 & 0xFF, a));
      }
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 36; ++x) dst.setRaw(x, y, next());
    std::vector<std::uint32_t> before(36 * 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 36; ++x) before[y * 36 + x] = dst.raw(x, y);
    HRGN clip = CreateEllipticRgn(2, 1, 34, 22);
    SelectClipRgn(dst.dc(), clip);
    ASSERT_TRUE(AlphaBlend(dst.dc(), 3, 2, 30, 20, src.dc(), 7, 5, 30, 20,
                           BLENDFUNCTION{AC_SRC_OVER, 0, constant, AC_SRC_ALPHA}));
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 36; ++x) {
        std::uint32_t want = before[y * 36 + x];
        if (PtInRegion(clip, x, y) && x >= 3 && x < 33 && y >= 2 && y < 22) {
          const std::uint32_t s = src.raw(x - 3 + 7, y - 2 + 5), d = want;
          const std::uint32_t sa = mul(s >> 24, constant);
          want = 0;
          for (int shift = 0; shift < 32; shift += 8)
            want |= std::min<std::uint32_t>(255, mul((s >> shift) & 0xFF, constant) + mul((d >> shift) & 0xFF, 255 - sa))
                    << shift;
        }
        ASSERT_EQ(dst.raw(x, y), want) << "constant " << int(constant) << " at " << x << "," << y;
      }
    DeleteObject(clip);
  }
}

TEST_F(Msimg32, GradientRectanglesRunBetweenTheirVertices) {
  // The colour is the first vertex's at its edge and reaches the second's
  // only at the excluded far edge; 16-bit components give their high byte.
  struct Case {
    ULONG mode;
    int w, h;
  } cases[] = {{GRADIENT_FILL_RECT_H, 4, 2}, {GRADIENT_FILL_RECT_V, 2, 4}};
  for (const auto& c : cases) {
    Canvas canvas(c.w, c.h, RGB(9, 9, 9));
    TRIVERTEX v[2] = {{0, 0, 0x0000, 0x8000, 0xFF00, 0}, {c.w, c.h, 0xFF00, 0x8000, 0x0000, 0}};
    GRADIENT_RECT rect{0, 1};
    ASSERT_TRUE(GradientFill(canvas.dc(), v, 2, &rect, 1, c.mode));
    auto step = [&](int i) { return c.mode == GRADIENT_FILL_RECT_H ? canvas.at(i, c.h - 1) : canvas.at(c.w - 1, i); };
    EXPECT_EQ(step(0), RGB(0, 128, 255));
    EXPECT_EQ(step(1), RGB(63, 128, 191));
    EXPECT_EQ(step(2), RGB(127, 128, 127));  // the midpoint
    EXPECT_EQ(step(3), RGB(191, 128, 63));
  }
  // Vertices given right to left: each colour stays at its vertex.
  Canvas canvas(4, 1);
  TRIVERTEX v[2] = {{4, 1, 0xFF00, 0, 0, 0}, {0, 0, 0, 0, 0, 0}};
  GRADIENT_RECT rect{0, 1};
  ASSERT_TRUE(GradientFill(canvas.dc(), v, 2, &rect, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(canvas.at(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(canvas.at(3, 0), RGB(191, 0, 0));
  GRADIENT_RECT outOfRange{0, 2};
  EXPECT_FALSE(GradientFill(canvas.dc(), v, 2, &outOfRange, 1, GRADIENT_FILL_RECT_H));
  EXPECT_FALSE(GradientFill(canvas.dc(), v, 2, &rect, 1, 7));
}

// A gradient keeps to the clip, and on a monochrome bitmap each pixel is the
// nearer of black and white.
TEST_F(Msimg32, GradientRectanglesKeepToTheClipAndToMonochrome) {
  Canvas canvas(8, 3, RGB(9, 9, 9));
  HRGN clip = CreateRectRgn(2, 1, 6, 3);
  SelectClipRgn(canvas.dc(), clip);
  DeleteObject(clip);
  TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {8, 3, 0xFF00, 0xFF00, 0xFF00, 0}};
  GRADIENT_RECT rect{0, 1};
  ASSERT_TRUE(GradientFill(canvas.dc(), v, 2, &rect, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(canvas.picture({{RGB(9, 9, 9), '.'}, {RGB(63, 63, 63), '2'}, {RGB(95, 95, 95), '3'},
                            {RGB(127, 127, 127), '4'}, {RGB(159, 159, 159), '5'}}),
            (std::vector<std::string>{"........", "..2345..", "..2345.."}));

  HDC mono = CreateCompatibleDC(nullptr);
  HBITMAP bits = CreateBitmap(8, 1, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(mono, bits);
  TRIVERTEX w[2] = {{0, 0, 0, 0, 0, 0}, {8, 1, 0xFF00, 0xFF00, 0xFF00, 0}};
  ASSERT_TRUE(GradientFill(mono, w, 2, &rect, 1, GRADIENT_FILL_RECT_H));
  std::string shades;
  for (int x = 0; x < 8; ++x) shades += GetPixel(mono, x, 0) == RGB(255, 255, 255) ? '.' : '#';
  EXPECT_EQ(shades, "#####...");  // 127 each is still nearer black
  SelectObject(mono, old);
  DeleteObject(bits);
  DeleteDC(mono);
}

TEST_F(Msimg32, GradientTriangleCoversItsInsideOnly) {
  Canvas canvas(4, 4);
  TRIVERTEX v[3] = {{0, 0, 0x4000, 0x4000, 0x4000, 0}, {4, 0, 0x4000, 0x4000, 0x4000, 0}, {0, 4, 0x4000, 0x4000, 0x4000, 0}};
  GRADIENT_TRIANGLE tri{0, 1, 2};
  ASSERT_TRUE(GradientFill(canvas.dc(), v, 3, &tri, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_EQ(canvas.picture({{RGB(64, 64, 64), '#'}, {RGB(255, 255, 255), '.'}}),
            (std::vector<std::string>{"####", "###.", "##..", "#..."}));
}

TEST_F(Msimg32, TransparentBltKeepsTheDestinationUnderTheKey) {
  Canvas src(2, 1), dst(4, 2, RGB(255, 255, 255));
  SetPixelV(src.dc(), 0, 0, RGB(255, 0, 255));
  SetPixelV(src.dc(), 1, 0, RGB(0, 128, 0));
  ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, RGB(255, 0, 255)));
  EXPECT_EQ(dst.picture({{RGB(255, 255, 255), '.'}, {RGB(0, 128, 0), 'g'}}),
            (std::vector<std::string>{"..gg", "..gg"}));
  EXPECT_FALSE(TransparentBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 3, 1, 0));
}

}  // namespace
