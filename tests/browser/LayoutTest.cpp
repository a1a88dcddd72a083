// Where chosen elements of the test pages are laid out, without pictures:
// their border boxes in the view at 640 x 480 (left, top, width, height),
// as the approved pictures of PicturesTest show them.
#include <gtest/gtest.h>

#include "PageFixture.h"

namespace qvtest {
namespace {

struct Box {
  const char* page;
  const char* id;
  long left, top, width, height;
};

constexpr Box kBoxes[] = {
    // The demo disc's start page: a table of links in two columns.
    {"disc/index", "about", 35, 159, 111, 15},
    {"disc/index", "gallery", 334, 159, 107, 15},
    {"disc/index", "close", 334, 209, 115, 15},
    {"disc/index", "foot", 18, 260, 604, 20},
    // Body margins of 15 and 10 pixels; a 100% table between them.
    {"tables", "outer", 10, 15, 620, 304},
    {"tables", "banner", 10, 15, 620, 40},
    // width="140" on the navigation cell, the rest for the main cell.
    {"tables", "nav", 10, 55, 140, 264},
    {"tables", "main", 150, 55, 480, 264},
    // align="center" in the main cell (its caption on top).
    {"tables", "grid", 272, 55, 236, 168},
    // cellspacing 2, cellpadding 3, border 1: the first body cell.
    {"tables", "c11", 275, 106, 86, 27},
    // rowspan="2" covers two rows and the spacing between them.
    {"tables", "span", 275, 164, 86, 56},
    {"tables", "bordered", 150, 274, 231, 45},
    // Centred pictures at their own sizes; border="1" adds a pixel a side.
    {"pictures", "logo", 240, 15, 160, 48},
    {"pictures", "photo", 204, 135, 162, 122},
    {"pictures", "badge", 371, 221, 64, 64},
    // align="left" with hspace="6".
    {"pictures", "left", 16, 301, 96, 28},
    // A picture in a link gets a 2-pixel border.
    {"pictures", "linked", 270, 374, 100, 32},
    // A missing picture keeps the size the page gives it.
    {"pictures", "missing", 540, 426, 90, 30},
    {"imagemap", "shapes", 10, 51, 300, 100},
    {"imagemap", "text-link", 80, 171, 147, 19},
    // Fields as the platform's controls: 2-pixel edges, size="24" characters.
    {"form", "name", 107, 20, 198, 21},
    {"form", "pass", 107, 48, 166, 21},
    {"form", "edition", 107, 76, 95, 21},
    {"form", "extras", 107, 103, 59, 51},
    {"form", "cd", 111, 165, 13, 13},
    {"form", "notes", 107, 214, 262, 51},
    {"form", "send", 107, 272, 48, 21},
    {"form", "help", 215, 272, 42, 21},
    {"frame-main", "inline", 10, 95, 264, 84},
    // Sections of the long page follow each other 190 pixels apart.
    {"long", "s1", 10, 80, 620, 22},
    {"long", "s2", 10, 270, 620, 22},
    {"long", "s40", 10, 7490, 620, 22},
    {"long", "end", 10, 7677, 620, 19},
};

class LayoutTest : public PageTest {};

TEST_F(LayoutTest, ChosenElementsHaveTheirBoxes) {
  for (const Box& b : kBoxes) {
    auto view = show(pagePath(b.page));
    qv::browser::Element* e = view->document()->elementById(b.id);
    ASSERT_TRUE(e) << b.page << " #" << b.id;
    const auto box = view->boxOf(*e);
    ASSERT_TRUE(box) << b.page << " #" << b.id;
    EXPECT_EQ((std::vector<long>{box->left, box->top, box->right - box->left, box->bottom - box->top}),
              (std::vector<long>{b.left, b.top, b.width, b.height}))
        << b.page << " #" << b.id;
  }
}

TEST_F(LayoutTest, HiddenElementsHaveNoBox) {
  // Areas of a map, hidden fields and the head show nothing of their own.
  auto view = show(pagePath("imagemap"));
  EXPECT_FALSE(view->boxOf(*view->document()->elementById("square")));
  auto form = show(pagePath("form"));
  for (qv::browser::Element* e : form->document()->elementsByTagName("INPUT"))
    if (e->type() == "hidden") {
      EXPECT_FALSE(form->boxOf(*e));
    }
  EXPECT_FALSE(form->boxOf(*form->document()->elementsByTagName("TITLE").front()));
}

TEST_F(LayoutTest, AChangeThroughTheObjectModelIsLaidOutAgain) {
  auto view = show(pagePath("tables"));
  qv::browser::Element* nav = view->document()->elementById("nav");
  ASSERT_EQ(view->boxOf(*nav)->right - view->boxOf(*nav)->left, 140);
  nav->setAttribute("width", "200");
  EXPECT_EQ(view->boxOf(*nav)->right - view->boxOf(*nav)->left, 200);
  nav->style().set("display", "none");
  nav->styleChanged();
  EXPECT_FALSE(view->boxOf(*nav));
}

TEST_F(LayoutTest, ABigPageIsLaidOutInSlicesOnlyWhereItIsSeen) {
  std::string html = "<html><body>";
  for (int i = 1; i <= 400; ++i) {
    const std::string n = std::to_string(i);
    html += "<h3 id=\"s" + n + "\">Section " + n + "</h3><p>Words of the section, enough of them to fill a line "
            "of the window and to wrap onto a second line, as on a long catalogue page of a disc.</p>"
            "<ul><li><a id=\"l" + n + "\" href=\"item" + n + ".html\">Item " + n + "</a></li></ul>\n";
  }
  writeFile("site/big.html", html + "</body></html>");
  auto options = runtimeOptions();
  options.scrollBars = true;
  auto view = show(hostPath("site/big.html"), options);
  (void)render(*view);
  EXPECT_GT(view->sliceCount(), 3u);
  EXPECT_EQ(view->laidOutSlices(), 1u);
  // Sections follow each other down the page across the slices.
  int last = -1;
  for (int i = 1; i <= 400; i += 19) {
    const auto box = view->boxOf(*view->document()->elementById("s" + std::to_string(i)));
    ASSERT_TRUE(box) << i;
    EXPECT_GT(box->top, last) << i;
    last = box->bottom;
    EXPECT_LE(view->laidOutSlices(), qv::browser::PageView::kKeptSlices);
  }
  // Far down, the point over a link is the link.
  ASSERT_TRUE(view->scrollToFragment("s350"));
  const auto link = view->boxOf(*view->document()->elementById("l350"));
  ASSERT_TRUE(link);
  const auto hit = view->hitTest(POINT{(link->left + link->right) / 2, (link->top + link->bottom) / 2});
  ASSERT_TRUE(hit.link);
  EXPECT_EQ(hit.link->id(), "l350");
  EXPECT_EQ(view->boxOf(*view->document()->elementById("s350"))->top, 0);
}

}  // namespace
}  // namespace qvtest
