// Icons and cursors: the AND/XOR drawing rule, sizes, the standard ones we
// draw, and loading from resources of a module and from files.
#include <gtest/gtest.h>

#include "DesktopTest.h"
#include "GdiCanvas.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/PredefinedBitmaps.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/ResFile.h"
#include "platform/os/kernel/Resource.h"

using gditest::Canvas;

namespace {

using Bytes = std::vector<BYTE>;

void put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<BYTE>(v));
  b.push_back(static_cast<BYTE>(v >> 8));
}
void put32(Bytes& b, unsigned v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// An icon image as its resource holds it: a 24-bit DIB whose header counts
// the XOR and AND bitmaps, both bottom-up. Pixels 0xRRGGBB and mask bits
// top-down.
Bytes iconDib(int w, int h, const std::vector<std::uint32_t>& pixels, const std::vector<int>& mask) {
  Bytes b;
  put32(b, 40);
  put32(b, w);
  put32(b, 2 * h);
  put16(b, 1);
  put16(b, 24);
  for (int i = 0; i < 6; ++i) put32(b, 0);
  const int xorStride = (w * 3 + 3) & ~3, andStride = ((w + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(xorStride, 0);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = pixels[y * w + x];
      row[x * 3] = p & 0xFF, row[x * 3 + 1] = (p >> 8) & 0xFF, row[x * 3 + 2] = (p >> 16) & 0xFF;
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(andStride, 0);
    for (int x = 0; x < w; ++x)
      if (mask[y * w + x]) row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

Bytes solidDib(int size, std::uint32_t colour) {
  return iconDib(size, size, std::vector<std::uint32_t>(size * size, colour), std::vector<int>(size * size, 0));
}

// An .ico or .cur file of one image.
std::string iconFile(const Bytes& dib, int w, int h, bool cursor, int hotX = 0, int hotY = 0) {
  Bytes b;
  put16(b, 0);
  put16(b, cursor ? 2 : 1);
  put16(b, 1);
  b.push_back(static_cast<BYTE>(w));
  b.push_back(static_cast<BYTE>(h));
  b.push_back(0);
  b.push_back(0);
  put16(b, cursor ? hotX : 1);
  put16(b, cursor ? hotY : 24);
  put32(b, static_cast<unsigned>(dib.size()));
  put32(b, 22);
  b.insert(b.end(), dib.begin(), dib.end());
  return std::string(b.begin(), b.end());
}

// A group directory: (width, height, depth, id) for each image.
struct GroupItem {
  int w, h, depth, id;
  unsigned size;
};
Bytes groupDirectory(const std::vector<GroupItem>& items, bool cursor) {
  Bytes b;
  put16(b, 0);
  put16(b, cursor ? 2 : 1);
  put16(b, static_cast<unsigned>(items.size()));
  for (const auto& i : items) {
    if (cursor) {
      put16(b, i.w);
      put16(b, 2 * i.h);
    } else {
      b.push_back(static_cast<BYTE>(i.w));
      b.push_back(static_cast<BYTE>(i.h));
      b.push_back(0);
      b.push_back(0);
    }
    put16(b, 1);
    put16(b, i.depth);
    put32(b, i.size);
    put16(b, i.id);
  }
  return b;
}

// A 2 x 2 icon covering the four cases of the mask rule (top-down):
// mask 1 + black keeps, mask 1 + white inverts, mask 0 paints.
HICON ruleIcon() {
  const std::uint32_t colour[4] = {0x000000, 0xFFFFFF, 0xFF0000, 0x000000};
  const std::uint8_t mask[4] = {1, 1, 0, 0};
  ICONINFO info{TRUE, 0, 0, qv::os::gdi::createMonoBitmapFromMask(2, 2, mask),
                qv::os::gdi::createBitmapFromPixels(2, 2, colour)};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  return icon;
}

TEST(Icon, DrawsByTheMaskRule) {
  HICON icon = ruleIcon();
  ASSERT_NE(icon, nullptr);
  const COLORREF under = RGB(10, 20, 30), inverted = RGB(245, 235, 225);
  struct Case {
    UINT flags;
    COLORREF expected[4];
  } cases[] = {
      {DI_NORMAL, {under, inverted, RGB(255, 0, 0), RGB(0, 0, 0)}},
      {DI_MASK, {RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0)}},
      {DI_IMAGE, {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 0)}},
  };
  for (const auto& c : cases) {
    Canvas canvas(3, 3, under);
    ASSERT_TRUE(DrawIconEx(canvas.dc(), 1, 1, icon, 0, 0, 0, nullptr, c.flags));
    SCOPED_TRACE(c.flags);
    EXPECT_EQ(canvas.at(1, 1), c.expected[0]);
    EXPECT_EQ(canvas.at(2, 1), c.expected[1]);
    EXPECT_EQ(canvas.at(1, 2), c.expected[2]);
    EXPECT_EQ(canvas.at(2, 2), c.expected[3]);
    EXPECT_EQ(canvas.at(0, 0), under);
  }
  Canvas canvas(2, 2);
  EXPECT_FALSE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, 0));
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_FALSE(DestroyIcon(icon));
}

TEST(Icon, SizesAndTheFlickerFreeBrush) {
  HICON icon = ruleIcon();
  Canvas canvas(40, 40, RGB(10, 20, 30));
  // Stretched to 4 x 4: each pixel becomes a 2 x 2 block.
  DrawIconEx(canvas.dc(), 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.at(1, 3), RGB(255, 0, 0));
  EXPECT_EQ(canvas.at(3, 1), RGB(245, 235, 225));
  // Huge sizes only cost what lands on the bitmap.
  ASSERT_TRUE(DrawIconEx(canvas.dc(), -(1 << 29), 0, icon, 1 << 30, 1 << 30, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.at(0, 0), RGB(245, 235, 225));
  // DrawIcon draws at the standard 32 x 32 size.
  canvas.clear(RGB(10, 20, 30));
  DrawIcon(canvas.dc(), 0, 0, icon);
  EXPECT_EQ(canvas.at(31, 31), RGB(0, 0, 0));
  EXPECT_EQ(canvas.at(0, 31), RGB(255, 0, 0));
  EXPECT_EQ(canvas.at(32, 32), RGB(10, 20, 30));
  // The brush fills the area before the icon lands, so kept pixels show it.
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, green, DI_NORMAL);
  EXPECT_EQ(canvas.at(0, 0), RGB(0, 255, 0));
  DeleteObject(green);
  DestroyIcon(icon);
}

TEST(Icon, AlphaImagesBlend) {
  const std::uint32_t colour[1] = {0x80FF0000u};  // red, half transparent
  const std::uint8_t mask[1] = {0};
  ICONINFO info{TRUE, 0, 0, qv::os::gdi::createMonoBitmapFromMask(1, 1, mask),
                qv::os::gdi::createBitmapFromPixels(1, 1, colour)};
  HICON icon = CreateIconIndirect(&info);
  Canvas canvas(1, 1, RGB(0, 0, 255));
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.at(0, 0), RGB(128, 0, 127));
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  DestroyIcon(icon);
}

TEST(Icon, InfoRoundTripsAndMonochromeIconsStackTheirMasks) {
  HICON icon = ruleIcon();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  EXPECT_TRUE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 1u);  // an icon's hot spot is its centre
  ASSERT_NE(info.hbmColor, nullptr);
  HICON again = CreateIconIndirect(&info);
  Canvas canvas(2, 2, RGB(10, 20, 30));
  DrawIconEx(canvas.dc(), 0, 0, again, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.at(1, 0), RGB(245, 235, 225));
  EXPECT_EQ(canvas.at(0, 1), RGB(255, 0, 0));
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);

  // A cursor from a mask alone: the upper half ANDs, the lower half XORs.
  const std::uint8_t bits[8] = {1, 1, 0, 0, /* xor */ 0, 1, 1, 0};
  ICONINFO mono{FALSE, 1, 0, qv::os::gdi::createMonoBitmapFromMask(2, 4, bits), nullptr};
  HCURSOR cursor = CreateIconIndirect(&mono);
  ASSERT_NE(cursor, nullptr);
  canvas.clear(RGB(10, 20, 30));
  DrawIconEx(canvas.dc(), 0, 0, cursor, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.at(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(canvas.at(1, 0), RGB(245, 235, 225));
  EXPECT_EQ(canvas.at(0, 1), RGB(255, 255, 255));
  EXPECT_EQ(canvas.at(1, 1), RGB(0, 0, 0));
  ICONINFO back{};
  ASSERT_TRUE(GetIconInfo(cursor, &back));
  EXPECT_FALSE(back.fIcon);
  EXPECT_EQ(back.xHotspot, 1u);
  EXPECT_EQ(back.hbmColor, nullptr);
  BITMAP bm{};
  GetObject(back.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmHeight, 4);
  DeleteObject(back.hbmMask);
  DeleteObject(mono.hbmMask);

  ICONINFO none{TRUE, 0, 0, nullptr, nullptr};
  EXPECT_EQ(CreateIconIndirect(&none), nullptr);
  EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
  EXPECT_FALSE(GetIconInfo(reinterpret_cast<HICON>(0x1234), &info));
  DestroyIcon(icon);
  DestroyIcon(again);
  DestroyCursor(cursor);
}

TEST(Icon, CopiesAreIndependent) {
  HICON icon = ruleIcon();
  HICON copy = CopyIcon(icon);
  auto* big = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 4, 6, 0));
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(big, nullptr);
  DestroyIcon(icon);
  Canvas canvas(4, 6, RGB(10, 20, 30));
  EXPECT_TRUE(DrawIconEx(canvas.dc(), 0, 0, copy, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.at(0, 1), RGB(255, 0, 0));
  EXPECT_EQ(qv::os::gdi::iconOf(big)->width, 4);
  EXPECT_EQ(qv::os::gdi::iconOf(big)->height, 6);
  EXPECT_EQ(CopyIcon(icon), nullptr);
  EXPECT_EQ(CopyCursor(LoadCursor(nullptr, IDC_CROSS)) != nullptr, true);
}

TEST(StandardIcons, AreSharedAndDrawn) {
  for (LPCSTR id : {IDI_APPLICATION, IDI_ERROR, IDI_QUESTION, IDI_WARNING, IDI_INFORMATION, IDI_WINLOGO}) {
    HICON icon = LoadIcon(nullptr, id);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(nullptr, id), icon);
    EXPECT_TRUE(DestroyIcon(icon));  // shared: stays usable
    Canvas canvas(32, 32, RGB(1, 2, 3));
    EXPECT_TRUE(DrawIcon(canvas.dc(), 0, 0, icon));
    EXPECT_EQ(canvas.at(0, 0), RGB(1, 2, 3));  // transparent corner
    int drawn = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) drawn += canvas.at(x, y) != RGB(1, 2, 3);
    EXPECT_GT(drawn, 300);
  }
  EXPECT_EQ(LoadIcon(nullptr, IDI_HAND), LoadIcon(nullptr, IDI_ERROR));
  EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(1)), nullptr);
  EXPECT_EQ(LoadIcon(nullptr, "APP"), nullptr);
}

TEST(StandardCursors, HaveTheirHotSpots) {
  struct Case {
    LPCSTR id;
    DWORD x, y;
  } cases[] = {{IDC_ARROW, 0, 0},     {IDC_IBEAM, 16, 16},  {IDC_WAIT, 16, 16},        {IDC_CROSS, 16, 16},
               {IDC_UPARROW, 16, 1},  {IDC_SIZEALL, 16, 16}, {IDC_SIZENWSE, 16, 16},   {IDC_SIZENESW, 16, 16},
               {IDC_SIZEWE, 16, 16},  {IDC_SIZENS, 16, 16},  {IDC_NO, 16, 16},         {IDC_HAND, 10, 0},
               {IDC_APPSTARTING, 0, 0}, {IDC_HELP, 0, 0}};
  for (const auto& c : cases) {
    HCURSOR cursor = LoadCursor(nullptr, c.id);
    ASSERT_NE(cursor, nullptr) << reinterpret_cast<ULONG_PTR>(c.id);
    EXPECT_EQ(LoadCursor(nullptr, c.id), cursor);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, c.x) << reinterpret_cast<ULONG_PTR>(c.id);
    EXPECT_EQ(info.yHotspot, c.y) << reinterpret_cast<ULONG_PTR>(c.id);
    BITMAP bm{};
    GetObject(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 32);
    // The hot spot lies on the drawn shape, not on a transparent pixel.
    Canvas canvas(32, 32, RGB(1, 2, 3));
    DrawIconEx(canvas.dc(), 0, 0, cursor, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_NE(canvas.at(c.x, c.y), RGB(1, 2, 3)) << reinterpret_cast<ULONG_PTR>(c.id);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
  }
  // The arrow is white inside a black outline.
  Canvas canvas(32, 32, RGB(1, 2, 3));
  DrawIcon(canvas.dc(), 0, 0, LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(canvas.at(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(canvas.at(1, 5), RGB(255, 255, 255));
  EXPECT_EQ(canvas.at(8, 3), RGB(1, 2, 3));
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(5)), nullptr);
}

TEST(IconResources, LookupPicksTheBestSizeThenTheDeepest) {
  Bytes dir = groupDirectory({{16, 16, 24, 1, 0}, {32, 32, 4, 2, 0}, {32, 32, 24, 3, 0}, {48, 48, 32, 4, 0}}, false);
  EXPECT_EQ(LookupIconIdFromDirectory(dir.data(), TRUE), 3);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 16, 16, 0), 1);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 44, 44, 0), 4);
  Bytes cursors = groupDirectory({{16, 16, 1, 7, 0}, {32, 32, 1, 8, 0}}, true);
  EXPECT_EQ(LookupIconIdFromDirectory(cursors.data(), FALSE), 8);
  EXPECT_EQ(LookupIconIdFromDirectory(cursors.data(), TRUE), 0);  // not an icon directory
}

TEST(IconResources, CreateFromResourceBitsReadsTheMasks) {
  Bytes dib = iconDib(2, 2, {0x000000, 0xFFFFFF, 0x00FF00, 0x0000FF}, {1, 1, 0, 0});
  HICON icon = CreateIconFromResourceEx(dib.data(), static_cast<DWORD>(dib.size()), TRUE, 0x00030000, 0, 0, 0);
  ASSERT_NE(icon, nullptr);
  Canvas canvas(2, 2, RGB(10, 20, 30));
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.at(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(canvas.at(1, 0), RGB(245, 235, 225));
  EXPECT_EQ(canvas.at(0, 1), RGB(0, 255, 0));
  EXPECT_EQ(canvas.at(1, 1), RGB(0, 0, 255));
  // A cursor's resource starts with its hot spot.
  Bytes cur;
  put16(cur, 1);
  put16(cur, 2);
  cur.insert(cur.end(), dib.begin(), dib.end());
  HCURSOR cursor = CreateIconFromResource(cur.data(), static_cast<DWORD>(cur.size()), FALSE, 0x00030000);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_EQ(info.xHotspot, 1u);
  EXPECT_EQ(info.yHotspot, 2u);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  // Truncated or empty bits give an error, never a crash.
  EXPECT_EQ(CreateIconFromResourceEx(dib.data(), 20, TRUE, 0x00030000, 0, 0, 0), nullptr);
  EXPECT_EQ(CreateIconFromResource(nullptr, 0, TRUE, 0x00030000), nullptr);
}

class ModuleResources : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    using qv::os::ResEntry;
    using qv::os::ResId;
    auto entry = [](WORD type, ResId name, Bytes data) {
      ResEntry e;
      e.type = ResId::id(type);
      e.name = std::move(name);
      e.data = std::move(data);
      return e;
    };
    Bytes small = solidDib(16, 0xFF0000), large = solidDib(32, 0x0000FF);
    Bytes cursor;
    put16(cursor, 3);
    put16(cursor, 5);
    Bytes c32 = solidDib(32, 0x00FF00);
    cursor.insert(cursor.end(), c32.begin(), c32.end());
    // A packed bitmap: 2 x 1, 24 bits, red then blue.
    Bytes bitmap;
    put32(bitmap, 40);
    put32(bitmap, 2);
    put32(bitmap, 1);
    put16(bitmap, 1);
    put16(bitmap, 24);
    for (int i = 0; i < 6; ++i) put32(bitmap, 0);
    for (BYTE b : {0, 0, 255, 255, 0, 0, 0, 0}) bitmap.push_back(b);
    std::vector<ResEntry> entries = {
        entry(14, ResId::text(u"APP"),
              groupDirectory({{16, 16, 24, 1, static_cast<unsigned>(small.size())},
                              {32, 32, 24, 2, static_cast<unsigned>(large.size())}},
                             false)),
        entry(3, ResId::id(1), small),
        entry(3, ResId::id(2), large),
        entry(12, ResId::text(u"POINTER"), groupDirectory({{32, 32, 24, 9, 0}}, true)),
        entry(1, ResId::id(9), cursor),
        entry(2, ResId::id(5), bitmap),
        entry(2, ResId::text(u"BROKEN"), Bytes{1, 2, 3}),
    };
    qv::os::registerStandInModule({"qvicons.dll", {}, qv::os::writeResContainer(entries), {}, {}});
    module_ = LoadLibrary("qvicons.dll");
    ASSERT_NE(module_, nullptr);
  }
  HMODULE module_ = nullptr;
};

TEST_F(ModuleResources, IconsCursorsAndBitmaps) {
  HICON icon = LoadIcon(module_, "app");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(qv::os::gdi::iconOf(icon)->width, 32);  // the 32-pixel image, not the 16
  Canvas canvas(32, 32);
  DrawIcon(canvas.dc(), 0, 0, icon);
  EXPECT_EQ(canvas.at(5, 5), RGB(0, 0, 255));
  // LoadImage's way with a size asks for the 16-pixel image.
  auto* small =
      static_cast<HICON>(qv::os::gdi::loadIconImage(module_, "APP", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(qv::os::gdi::iconOf(small)->colour[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_TRUE(DestroyIcon(small));

  HCURSOR cursor = LoadCursor(module_, "POINTER");
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_EQ(info.xHotspot, 3u);
  EXPECT_EQ(info.yHotspot, 5u);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);

  HBITMAP bmp = LoadBitmap(module_, MAKEINTRESOURCE(5));
  ASSERT_NE(bmp, nullptr);
  Canvas two(2, 1);
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, bmp);
  BitBlt(two.dc(), 0, 0, 2, 1, src, 0, 0, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
  DeleteObject(bmp);
  EXPECT_EQ(two.at(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(two.at(1, 0), RGB(0, 0, 255));
  HBITMAP section = qv::os::gdi::loadBitmapResource(module_, MAKEINTRESOURCE(5), LR_CREATEDIBSECTION);
  DIBSECTION ds{};
  EXPECT_EQ(GetObject(section, sizeof ds, &ds), static_cast<int>(sizeof ds));
  DeleteObject(section);

  SetLastError(0);
  EXPECT_EQ(LoadBitmap(module_, "BROKEN"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
  EXPECT_EQ(LoadBitmap(module_, "MISSING"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(LoadIcon(module_, "MISSING"), nullptr);
  EXPECT_EQ(LoadCursor(module_, "APP"), nullptr);
}

class IconFiles : public qvtest::DesktopTest {};

TEST_F(IconFiles, LoadFromIcoAndCurFiles) {
  Bytes dib = solidDib(16, 0x123456);
  const std::string ico = writeFile("a.ico", iconFile(dib, 16, 16, false));
  const std::string cur = writeFile("a.cur", iconFile(dib, 16, 16, true, 4, 7));
  auto* icon = static_cast<HICON>(qv::os::gdi::loadIconImage(nullptr, ico.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(qv::os::gdi::iconOf(icon)->width, 16);
  auto* sized = static_cast<HICON>(
      qv::os::gdi::loadIconImage(nullptr, ico.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
  EXPECT_EQ(qv::os::gdi::iconOf(sized)->width, 32);
  HCURSOR cursor = LoadCursorFromFile(cur.c_str());
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(qv::os::gdi::iconOf(cursor)->hotX, 4);
  EXPECT_EQ(qv::os::gdi::iconOf(cursor)->hotY, 7);
  EXPECT_FALSE(qv::os::gdi::iconOf(cursor)->icon);

  SetLastError(0);
  EXPECT_EQ(qv::os::gdi::loadIconImage(nullptr, hostPath("none.ico").c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  const std::string bad = writeFile("bad.ico", iconFile(dib, 16, 16, false).substr(0, 40));
  EXPECT_EQ(qv::os::gdi::loadIconImage(nullptr, bad.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
  // The standard ones by their OIC_/OCR_ numbers.
  EXPECT_EQ(qv::os::gdi::loadIconImage(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED),
            LoadCursor(nullptr, IDC_ARROW));
}

}  // namespace
