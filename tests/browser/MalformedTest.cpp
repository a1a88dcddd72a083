// Pages that are not what they claim to be load, lay out, draw and answer
// the pointer: unclosed tags, a page of 5 MB, binary junk, a wrong charset,
// pictures cut short or lying about their size, a style sheet of junk or
// with a comment left open, borders millions of pixels wide, nesting deeper
// than any page needs.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "PageFixture.h"

namespace qvtest {
namespace {

std::string bytesOf(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class MalformedTest : public PageTest {
 protected:
  // Lays the page out, draws it, scrolls it and asks for the element under
  // points all over it; the page must still be one a person could look at.
  void survives(const std::string& name, bool scrollBars = true) {
    SCOPED_TRACE(name);
    auto options = runtimeOptions();
    options.scrollBars = scrollBars;
    auto view = show(hostPath("site/" + name), options);
    EXPECT_GE(view->contentHeight(), 0);
    (void)render(*view);
    for (int y = 0; y < kHeight; y += 60)
      for (int x = 0; x < kWidth; x += 80) (void)view->hitTest(POINT{x, y});
    view->scrollTo(view->contentHeight() / 2);
    (void)render(*view);
    view->scrollTo(view->contentHeight());
    (void)render(*view);
    const auto links = view->document()->links();
    for (size_t i = 0; i < links.size() && i < 40; ++i) (void)view->boxOf(*links[i]);
  }
};

TEST_F(MalformedTest, UnclosedTagsEverywhere) {
  writeFile("site/unclosed.htm",
            "<html><body><div><p><b><table><tr><td>cell<a href='x.htm'>open link<form name=f>"
            "<select name=s><option>1<textarea name=t>x<input name=a value='v<ul><li><ol><li>"
            "<font size=9 color=zzz face=\"<>\"><center><img src=\"\"><iframe src=x.htm>");
  survives("unclosed.htm");
}

TEST_F(MalformedTest, AFiveMegabytePage) {
  std::string html = "<html><body>";
  while (html.size() < 5u << 20)
    html += "<p>Paragraph with <b>bold</b>, <a href=\"x.html\">a link</a> and a table "
            "<table border=1><tr><td>one</td><td>two</td></tr></table></p>\n";
  writeFile("site/big.htm", html);
  survives("big.htm");
}

TEST_F(MalformedTest, BinaryJunkAndAWrongCharset) {
  std::string junk;
  for (int i = 0; i < 200000; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
  writeFile("site/junk.bin", junk);
  survives("junk.bin");
  writeFile("site/charset.htm", "<meta charset=shift_jis><title>\x82\xA0</title><p>" + junk.substr(0, 20000));
  survives("charset.htm");
}

TEST_F(MalformedTest, PicturesCutShortOrLyingAboutTheirSize) {
  std::string page = "<html><body>";
  for (const char* p : {"logo.gif", "photo.jpg", "badge.png", "button.bmp"}) {
    const std::string bytes = bytesOf(pagesDir() + p);
    writeFile(std::string("site/cut-") + p, bytes.substr(0, bytes.size() / 2));
    page += std::string("<img src=\"cut-") + p + "\">";
  }
  // Headers that claim pictures far larger than their data.
  std::string gif = bytesOf(pagesDir() + "logo.gif");
  gif[6] = gif[7] = gif[8] = gif[9] = '\xFF';
  writeFile("site/huge.gif", gif);
  std::string png = bytesOf(pagesDir() + "badge.png");
  png[16] = png[20] = '\x00';
  png[17] = png[21] = '\x00';
  png[18] = png[22] = '\x40';
  writeFile("site/huge.png", png);
  writeFile("site/empty.jpg", "");
  page += "<img src=\"huge.gif\"><img src=\"huge.png\"><img src=\"empty.jpg\" width=40>"
          "<table background=\"cut-photo.jpg\"><tr><td background=\"huge.gif\">cell</td></tr></table></body></html>";
  writeFile("site/pictures.htm", page);
  survives("pictures.htm");
}

TEST_F(MalformedTest, AStyleSheetOfJunk) {
  std::string css = "body { color: red; } p { margin: -99999999px; font-size: 99999px; width: 1e30% } "
                    "@media { { { } a:hover:::not( { content: url(";
  for (int i = 0; i < 3000; ++i) css += static_cast<char>("{}();:@!\"'\\/*#.-, x1%"[(i * 31) % 21]);
  writeFile("site/junk.css", css);
  writeFile("site/styled.htm",
            "<html><head><link rel=stylesheet href=junk.css><style>" + css +
                "</style></head><body style=\"" + css.substr(0, 200) +
                "\"><p>text</p><div style=\"position:absolute;left:-100000px;width:999999999px\">far</div></body></html>");
  survives("styled.htm");
}

// A comment left open runs to the end of its sheet, wherever it opens (the
// engine never ended on one opening at the sheet's second character).
TEST_F(MalformedTest, AStyleSheetCommentLeftOpen) {
  for (const std::string css : {"/* p { color: red }", "x/* p { color: red }", "//* * TTh", "p{}/*", "a{content:\"/*\"}"}) {
    SCOPED_TRACE(css);
    writeFile("site/open.css", css);
    writeFile("site/linked.htm", "<html><head><link rel=stylesheet href=open.css></head><body><p>text</p></body></html>");
    writeFile("site/inline.htm", "<html><head><style>" + css + "</style></head><body><p>text</p></body></html>");
    survives("linked.htm");
    survives("inline.htm");
  }
}

// A border millions of pixels wide, or dotted along a box millions of
// pixels long, is drawn where it shows, in the time of any other border
// (its rows and dots were walked one by one outside the window).
TEST_F(MalformedTest, BordersMillionsOfPixelsWide) {
  const COLORREF red = 0xFFFF0000;
  for (const std::string style : {"solid", "double", "dotted", "dashed"}) {
    SCOPED_TRACE(style);
    writeFile("site/wide.htm", "<html><body style=\"margin:0\"><div style=\"border:9999999px " + style +
                                   " #ff0000;width:10px;height:10px\"></div></body></html>");
    survives("wide.htm");
    auto view = show(hostPath("site/wide.htm"));
    const auto picture = render(*view);
    for (const POINT p : {POINT{0, 0}, POINT{kWidth - 1, 0}, POINT{kWidth / 2, kHeight / 2}, POINT{0, kHeight - 1},
                          POINT{kWidth - 1, kHeight - 1}})
      EXPECT_EQ(picture.pixels[static_cast<size_t>(p.y * picture.width + p.x)], red) << p.x << "," << p.y;
  }
  // One-pixel dots along a box that starts a million and one pixels to the
  // left: the dots keep their places, on the odd columns of the window.
  writeFile("site/long.htm",
            "<html><body style=\"margin:0\"><div style=\"position:absolute;left:-1000001px;top:0;"
            "width:100000000px;height:5px;border-top:1px dotted #ff0000\"></div></body></html>");
  survives("long.htm");
  auto view = show(hostPath("site/long.htm"));
  const auto picture = render(*view);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(picture.pixels[static_cast<size_t>(x)] == red, x % 2 == 1) << x;
  EXPECT_NE(picture.pixels[static_cast<size_t>(picture.width)], red);
}

TEST_F(MalformedTest, NestingDeeperThanAnyPage) {
  std::string tables = "<html><body>", divs = "<html><body>";
  for (int i = 0; i < 300; ++i) tables += "<table><tr><td>cell " + std::to_string(i) + " ";
  for (int i = 0; i < 20000; ++i) divs += "<div><span><a href=x.html>w";
  writeFile("site/tables.htm", tables);
  writeFile("site/divs.htm", divs);
  survives("tables.htm");
  survives("divs.htm");
}

TEST_F(MalformedTest, FramesThatNameThemselves) {
  writeFile("site/self.htm", "<frameset rows=\"*,*,*,*,*,*,*,*,*,*\" cols=\"-5,0%,99999\"><frame src=self.htm>"
                             "<frameset><frameset><frame src=self.htm></frameset></frameset></frameset>");
  survives("self.htm");
}

}  // namespace
}  // namespace qvtest
