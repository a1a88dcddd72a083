// What lies under chosen points of the test pages: the innermost element,
// the link it belongs to (an A or an AREA of an image map) and the form
// field, across frames and inline frames.
#include <gtest/gtest.h>

#include "PageFixture.h"

namespace qvtest {
namespace {

struct Point {
  const char* page;
  int x, y;
  const char* element;  // tag, '#' and id when it has one
  const char* link;     // its href, "" for none
  const char* control;  // "" for none
};

constexpr Point kPoints[] = {
    {"disc/index", 90, 166, "A#about", "about.html", ""},
    {"disc/index", 400, 230, "SPAN", "", ""},
    {"tables", 30, 68, "A", "install.html", ""},
    // A cell below the first row of a table.
    {"tables", 300, 120, "TD#c11", "", ""},
    {"tables", 20, 30, "B", "", ""},
    {"tables", 600, 400, "HTML", "", ""},
    // Each shape of the map, the default area without an address, and the
    // picture's corner beyond the triangle.
    {"imagemap", 50, 100, "AREA#square", "square.html", ""},
    {"imagemap", 160, 101, "AREA#circle", "circle.html", ""},
    {"imagemap", 260, 120, "AREA#triangle", "triangle.html", ""},
    {"imagemap", 15, 56, "AREA#rest", "", ""},
    {"imagemap", 300, 60, "AREA#rest", "", ""},
    {"imagemap", 100, 180, "A#text-link", "shapes.html", ""},
    // A frame of the set, a link in an inline frame inside another frame.
    {"frames", 50, 90, "A#nav-install", "frame-main.html", ""},
    {"frames", 200, 180, "A#inner-link", "inner.html", ""},
    {"frames", 300, 300, "HTML", "", ""},
    {"form", 150, 30, "INPUT#name", "", "name"},
    {"form", 116, 171, "INPUT#cd", "", "cd"},
    // A label stands for its field.
    {"form", 180, 200, "LABEL", "", "news"},
    {"form", 130, 282, "INPUT#send", "", "send"},
    {"form", 240, 282, "BUTTON#help", "", "help"},
    {"form", 150, 110, "SELECT#extras", "", "extras"},
    // A picture in a link belongs to the link.
    {"pictures", 300, 390, "IMG#linked", "start.html", ""},
    {"pictures", 560, 440, "IMG#missing", "", ""},
};

std::string describe(const qv::browser::Element* e) {
  if (!e) return "";
  return e->tagName() + (e->id().empty() ? "" : "#" + e->id());
}

class HitTest : public PageTest {};

TEST_F(HitTest, PointsHitTheirElements) {
  for (const Point& p : kPoints) {
    auto view = show(pagePath(p.page));
    const qv::browser::PageHit hit = view->hitTest(POINT{p.x, p.y});
    const std::string at = std::string(p.page) + " " + std::to_string(p.x) + "," + std::to_string(p.y);
    EXPECT_EQ(describe(hit.element), p.element) << at;
    EXPECT_EQ(hit.link ? hit.link->attribute("href") : "", p.link) << at;
    EXPECT_EQ(hit.control ? hit.control->id() : "", p.control) << at;
  }
}

TEST_F(HitTest, TheScrollBarIsNoPartOfThePage) {
  auto options = runtimeOptions();
  options.scrollBars = true;
  auto view = show(pagePath("long"), options);
  const int bar = 640 - 8;
  EXPECT_EQ(view->hitTest(POINT{bar, 5}).part, qv::browser::ScrollPart::LineUp);
  EXPECT_EQ(view->hitTest(POINT{bar, 475}).part, qv::browser::ScrollPart::LineDown);
  EXPECT_EQ(view->hitTest(POINT{bar, 20}).part, qv::browser::ScrollPart::Thumb);
  EXPECT_EQ(view->hitTest(POINT{bar, 300}).part, qv::browser::ScrollPart::PageDown);
  EXPECT_EQ(view->hitTest(POINT{bar, 300}).element, nullptr);
}

}  // namespace
}  // namespace qvtest
