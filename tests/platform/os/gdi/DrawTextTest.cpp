// DrawText: its layout rules over a fixed measure (every character 5 pixels,
// "W" 9, "i" 2, lines 13 high), then the drawing on a bitmap with the real
// fonts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/Text.h"

using qv::os::gdi::layoutText;
using qv::os::gdi::TextLayout;
using qv::os::gdi::TextMeasure;

namespace {

TextMeasure fixedMeasure() {
  TextMeasure m;
  m.charWidth = [](unsigned char c) { return c == 'W' ? 9 : c == 'i' ? 2 : 5; };
  m.lineHeight = 13;
  m.aveCharWidth = 4;
  return m;
}

std::string joined(const TextLayout& l) {
  std::string s;
  for (size_t i = 0; i < l.lines.size(); ++i) s += (i ? "|" : "") + l.lines[i].text;
  return s;
}

}  // namespace

TEST(DrawTextLayout, LineBreaksWrappingAndWidths) {
  struct Case {
    const char* text;
    UINT format;
    int width;
    const char* lines;  // shown lines joined by "|"
    int maxWidth;
  } cases[] = {
      {"abc", 0, 100, "abc", 15},
      {"ab\r\ncd\ref\ngh", 0, 100, "ab|cd|ef|gh", 10},
      {"ab\n\ncd", 0, 100, "ab||cd", 10},
      {"ab\n", 0, 100, "ab", 10},  // a final break starts no line
      {"\n", 0, 100, "", 0},
      {"ab\ncd", DT_SINGLELINE, 100, "ab\ncd", 25},  // no breaks on one line
      {"aaa bbb ccc", DT_WORDBREAK, 40, "aaa bbb|ccc", 35},
      {"aaa bbb ccc", DT_WORDBREAK, 34, "aaa|bbb|ccc", 15},
      {"aaa   bbb", DT_WORDBREAK, 20, "aaa|bbb", 15},  // the spaces at a break vanish
      {"aaa bbb", DT_WORDBREAK | DT_SINGLELINE, 20, "aaa bbb", 35},
      {"abcdefgh ij", DT_WORDBREAK, 20, "abcdefgh|ij", 40},                    // a long word runs past the edge
      {"abcdefgh ij", DT_WORDBREAK | DT_EDITCONTROL, 20, "abcd|efgh|ij", 20},  // unless it is an edit control
      {"W W", DT_WORDBREAK, 0, "W|W", 9},
      {"a\tb", 0, 100, "a\tb", 15},              // a tab without DT_EXPANDTABS is a character
      {"a\tb", DT_EXPANDTABS, 100, "a\tb", 37},  // tab stops every 8 average widths
      {"&File", 0, 100, "File", 17},
      {"a&&b", 0, 100, "a&b", 15},
      {"a&&b", DT_NOPREFIX, 100, "a&&b", 20},
      {"ab&", 0, 100, "ab", 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " format " + std::to_string(c.format) + " width " + std::to_string(c.width));
    TextLayout l = layoutText(c.text, c.format, c.width, fixedMeasure());
    EXPECT_EQ(joined(l), c.lines);
    EXPECT_EQ(l.width, c.maxWidth);
    EXPECT_EQ(l.height, 13 * static_cast<int>(l.lines.size()));
  }
}

TEST(DrawTextLayout, TabsSplitIntoRunsAtTabStops) {
  TextLayout l = layoutText("ab\tc\t\td", DT_EXPANDTABS, 200, fixedMeasure());
  ASSERT_EQ(l.lines.size(), 1u);
  const auto& runs = l.lines[0].runs;
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, "ab");
  EXPECT_EQ(runs[0].x, 0);
  EXPECT_EQ(runs[1].text, "c");
  EXPECT_EQ(runs[1].x, 32);
  EXPECT_EQ(runs[2].text, "d");
  EXPECT_EQ(runs[2].x, 96);
  EXPECT_EQ(l.lines[0].width, 101);
}

TEST(DrawTextLayout, PrefixMarksTheCharacterToUnderline) {
  struct Case {
    const char* text;
    UINT format;
    int x, width;
  } cases[] = {
      {"&File", 0, 0, 5}, {"Sa&ve", 0, 10, 5},           {"&Wi&ndow", 0, 11, 5},  // the last mark wins
      {"a&&b", 0, -1, 0}, {"&File", DT_NOPREFIX, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TextLayout l = layoutText(c.text, c.format, 100, fixedMeasure());
    ASSERT_EQ(l.lines.size(), 1u);
    EXPECT_EQ(l.lines[0].underlineX, c.x);
    EXPECT_EQ(l.lines[0].underlineWidth, c.width);
  }
}

TEST(DrawTextLayout, Ellipses) {
  struct Case {
    const char* text;
    UINT format;
    int width;
    const char* shown;
  } cases[] = {
      {"abcdefgh", DT_END_ELLIPSIS, 40, "abcdefgh"},  // fits: unchanged
      {"abcdefgh", DT_END_ELLIPSIS, 39, "abcd..."},
      {"abcdefgh", DT_END_ELLIPSIS, 35, "abcd..."},
      {"abcdefgh", DT_END_ELLIPSIS, 34, "abc..."},
      {"abcdefgh", DT_END_ELLIPSIS, 3, "..."},
      {"ab cd efgh", DT_WORD_ELLIPSIS, 45, "ab cd..."},
      {"abcdefgh", DT_WORD_ELLIPSIS, 30, "abc..."},  // no whole word fits: cut inside it
      {"C:\\Programme\\Firma\\setup.exe", DT_PATH_ELLIPSIS, 85, "C:\\P...\\setup.exe"},
      {"C:\\Programme\\Firma\\setup.exe", DT_PATH_ELLIPSIS, 20, "...\\setup.exe"},
      {"nopathatall", DT_PATH_ELLIPSIS, 30, "nop..."},  // without a separator the end is cut
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " width " + std::to_string(c.width));
    TextLayout l = layoutText(c.text, c.format | DT_SINGLELINE, c.width, fixedMeasure());
    ASSERT_EQ(l.lines.size(), 1u);
    EXPECT_EQ(l.lines[0].text, c.shown);
    EXPECT_EQ(l.ellipsized, std::string(c.text) != c.shown);
  }
}

// ---------------------------------------------------------------------------
// Drawing with the real fonts.

namespace {

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    std::vector<std::uint32_t> white(static_cast<size_t>(w) * h, 0x00FFFFFFu);
    bmp_ = qv::os::gdi::createBitmapFromPixels(w, h, white.data());
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bmp_);
    LOGFONTA lf{};
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    font_ = CreateFontIndirect(&lf);
    SelectObject(dc_, font_);
    SetBkMode(dc_, TRANSPARENT);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bmp_);
    DeleteObject(font_);
  }
  HDC dc() const { return dc_; }
  bool ink(int x, int y) const {
    auto* s = qv::os::gdi::surfaceOf(bmp_);
    return (s->row(y)[x] & 0xFFFFFF) != 0xFFFFFF;
  }
  // The ink's bounding box; empty when nothing was drawn.
  RECT inkBox() const {
    RECT r{w_, h_, 0, 0};
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (ink(x, y)) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
  int width(const char* s) const {
    SIZE sz{};
    GetTextExtentPoint32(dc_, s, static_cast<int>(std::strlen(s)), &sz);
    return sz.cx;
  }

 private:
  int w_, h_;
  HBITMAP bmp_;
  HDC dc_;
  HGDIOBJ old_;
  HFONT font_;
};

}  // namespace

TEST(DrawText, CalcRectMeasuresWithoutMoving) {
  Canvas c(10, 10);
  const int abc = c.width("abc"), wide = c.width("abc def");
  struct Case {
    const char* text;
    UINT format;
    RECT in;
    RECT out;
    int result;
  } cases[] = {
      {"abc", DT_CALCRECT, {5, 7, 200, 300}, {5, 7, 5 + abc, 20}, 13},
      {"abc", DT_CALCRECT | DT_CENTER | DT_RIGHT, {5, 7, 200, 300}, {5, 7, 5 + abc, 20}, 13},
      // DT_VCENTER and DT_BOTTOM give the height only: no offset, as the platform.
      {"abc", DT_CALCRECT | DT_SINGLELINE | DT_VCENTER, {0, 0, 200, 100}, {0, 0, abc, 13}, 13},
      {"abc", DT_CALCRECT | DT_SINGLELINE | DT_BOTTOM, {0, 10, 200, 100}, {0, 10, abc, 23}, 13},
      {"abc\ndef", DT_CALCRECT, {0, 0, 200, 5}, {0, 0, c.width("def") > abc ? c.width("def") : abc, 26}, 26},
      {"abc def", DT_CALCRECT | DT_WORDBREAK, {0, 0, wide, 0}, {0, 0, wide, 13}, 13},
      {"abc def",
       DT_CALCRECT | DT_WORDBREAK,
       {0, 0, wide - 1, 0},
       {0, 0, c.width("def") > abc ? c.width("def") : abc, 26},
       26},
      {"", DT_CALCRECT, {3, 4, 50, 60}, {3, 4, 3, 4}, 13},
      {"", DT_CALCRECT | DT_SINGLELINE, {3, 4, 50, 60}, {3, 4, 3, 17}, 13},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.text) + " format " + std::to_string(k.format));
    RECT r = k.in;
    EXPECT_EQ(DrawText(c.dc(), k.text, -1, &r, k.format), k.result);
    EXPECT_EQ(r.left, k.out.left);
    EXPECT_EQ(r.top, k.out.top);
    EXPECT_EQ(r.right, k.out.right);
    EXPECT_EQ(r.bottom, k.out.bottom);
  }
  EXPECT_EQ(c.inkBox().right, 0);  // measuring draws nothing
}

TEST(DrawText, ReturnValueAndVerticalPlacement) {
  struct Case {
    UINT format;
    int result;
    int top;  // where the cell starts
  } cases[] = {
      {DT_SINGLELINE, 13, 10},
      {DT_SINGLELINE | DT_VCENTER, 13 + 23, 10 + 23},  // (59 - 13) / 2
      {DT_SINGLELINE | DT_BOTTOM, 59, 10 + 46},
      {DT_VCENTER, 13, 10},  // only single lines are centred
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.format);
    Canvas c(100, 80);
    SetTextColor(c.dc(), RGB(0, 0, 0));
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), RGB(255, 0, 0));
    RECT r{0, 10, 100, 69};
    EXPECT_EQ(DrawText(c.dc(), "Hg", -1, &r, k.format), k.result);
    RECT ink = c.inkBox();  // the opaque cell
    EXPECT_EQ(ink.top, k.top);
    EXPECT_EQ(ink.bottom, k.top + 13);
  }
}

TEST(DrawText, AlignmentAndClipping) {
  Canvas c(120, 30);
  const int w = c.width("Hi");
  struct Case {
    UINT format;
    int left;
  } cases[] = {{DT_LEFT, 10}, {DT_CENTER, 10 + (100 - w) / 2}, {DT_RIGHT, 110 - w}};
  for (const Case& k : cases) {
    Canvas d(120, 30);
    SetBkMode(d.dc(), OPAQUE);
    SetBkColor(d.dc(), RGB(0, 0, 255));
    RECT r{10, 0, 110, 30};
    DrawText(d.dc(), "Hi", -1, &r, k.format | DT_SINGLELINE);
    EXPECT_EQ(d.inkBox().left, k.left) << k.format;
    EXPECT_EQ(d.inkBox().right, k.left + w) << k.format;
  }
  // Clipped to the rectangle unless DT_NOCLIP.
  for (UINT noclip : {0u, DT_NOCLIP}) {
    Canvas d(120, 30);
    RECT r{10, 0, 14, 30};
    DrawText(d.dc(), "WWWW", -1, &r, DT_SINGLELINE | noclip);
    EXPECT_EQ(d.inkBox().right > 14, noclip != 0) << noclip;
  }
}

TEST(DrawText, PrefixUnderlinesTheMarkedCharacterOnly) {
  Canvas plain(60, 20), marked(60, 20), hidden(60, 20), doubled(60, 20), amp(60, 20);
  RECT r{0, 0, 60, 20};
  DrawText(plain.dc(), "ax", -1, &r, DT_SINGLELINE);
  DrawText(marked.dc(), "a&x", -1, &r, DT_SINGLELINE);
  DrawText(hidden.dc(), "a&x", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
  DrawText(doubled.dc(), "a&&x", -1, &r, DT_SINGLELINE);
  DrawText(amp.dc(), "a&x", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  const int a = plain.width("a"), x = plain.width("x");
  std::vector<int> added;  // rows where "&x" has ink that "ax" lacks
  for (int y = 0; y < 20; ++y)
    for (int i = 0; i < 60; ++i) {
      EXPECT_EQ(hidden.ink(i, y), plain.ink(i, y));
      if (marked.ink(i, y) == plain.ink(i, y)) continue;
      EXPECT_TRUE(marked.ink(i, y));
      EXPECT_GE(i, a);
      EXPECT_LT(i, a + x);
      if (added.empty() || added.back() != y) added.push_back(y);
    }
  // One full row under the x, below the baseline.
  ASSERT_EQ(added.size(), 1u);
  int row = added[0];
  EXPECT_GE(row, 10);  // tmAscent
  for (int i = a; i < a + x; ++i) EXPECT_TRUE(marked.ink(i, row)) << i;
  // "&&" shows one ampersand, exactly as "a&x" drawn without prefixes.
  for (int y = 0; y < 20; ++y)
    for (int i = 0; i < 60; ++i) EXPECT_EQ(doubled.ink(i, y), amp.ink(i, y)) << i << "," << y;
}

TEST(DrawText, EndEllipsisAtACutWidth) {
  Canvas c(200, 20);
  const char* text = "Beispieltext";
  const int full = c.width(text);
  RECT r{0, 0, full, 20};
  EXPECT_EQ(DrawText(c.dc(), text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT), 13);
  EXPECT_EQ(r.right, full);  // fits exactly: nothing cut

  // One pixel less: the end gives way to "...", and the rest still fits.
  char buffer[32];
  std::strcpy(buffer, text);
  r = {0, 0, full - 1, 20};
  DrawTextEx(c.dc(), buffer, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  std::string shown = buffer;
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  EXPECT_EQ(std::string(text).rfind(shown.substr(0, shown.size() - 3), 0), 0u);
  EXPECT_LE(c.width(buffer), full - 1);
  // The longest such prefix: one more character would not fit.
  std::string longer = std::string(text, shown.size() - 2) + "...";
  EXPECT_GT(c.width(longer.c_str()), full - 1);
  EXPECT_LE(c.inkBox().right, full - 1);
}

TEST(DrawText, PathEllipsisKeepsTheFileName) {
  Canvas c(300, 20);
  char buffer[64] = "C:\\Programme\\Meine Firma\\Daten\\setup.exe";
  const int name = c.width("...\\setup.exe");
  RECT r{0, 0, name + c.width("C:\\P"), 20};
  DrawTextEx(c.dc(), buffer, -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ(buffer, "C:\\P...\\setup.exe");
}

TEST(DrawText, BadArgumentsGiveZero) {
  Canvas c(10, 10);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawText(nullptr, "a", -1, &r, 0), 0);
  EXPECT_EQ(DrawText(c.dc(), "a", -1, nullptr, 0), 0);
  EXPECT_EQ(DrawText(c.dc(), nullptr, 3, &r, 0), 0);
  DRAWTEXTPARAMS p{};  // cbSize not set
  char text[] = "a";
  EXPECT_EQ(DrawTextEx(c.dc(), text, -1, &r, 0, &p), 0);
}

TEST(DrawText, ExternalLeadingAndMargins) {
  Canvas c(10, 10);
  TEXTMETRICA tm{};
  GetTextMetrics(c.dc(), &tm);
  RECT r{0, 0, 100, 0};
  EXPECT_EQ(DrawText(c.dc(), "a\nb", -1, &r, DT_CALCRECT | DT_EXTERNALLEADING),
            2 * (tm.tmHeight + tm.tmExternalLeading));
  DRAWTEXTPARAMS p{sizeof(DRAWTEXTPARAMS), 0, 3, 4, 0};
  char text[] = "abc";
  r = {10, 0, 100, 0};
  DrawTextEx(c.dc(), text, -1, &r, DT_CALCRECT, &p);
  EXPECT_EQ(r.right, 10 + 3 + c.width("abc") + 4);
  EXPECT_EQ(p.uiLengthDrawn, 3u);
}

TEST(DrawText, EditControlDropsAPartlyVisibleLastLine) {
  for (UINT edit : {0u, DT_EDITCONTROL}) {
    SCOPED_TRACE(edit);
    Canvas c(40, 40);
    RECT r{0, 0, 40, 20};  // room for one 13-pixel line and a part of the next
    EXPECT_EQ(DrawText(c.dc(), "H\nH", -1, &r, edit), 26);
    RECT ink = c.inkBox();
    EXPECT_LT(ink.top, 13);
    EXPECT_EQ(ink.bottom > 13, edit == 0);
    EXPECT_LE(ink.bottom, 20);
  }
}
