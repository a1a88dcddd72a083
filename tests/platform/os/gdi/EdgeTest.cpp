// DrawEdge and DrawFocusRect as pictures. The system colours are replaced
// by distinct values so that each pixel shows which colour the look chose
// (the classic scheme gives 3-D light and button face the same value).
#include <gtest/gtest.h>

#include "GdiCanvas.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/FocusRect.h"

using gditest::Canvas;
using Picture = std::vector<std::string>;

namespace {

DWORD testColour(int index) {
  switch (index) {
    case 5: return RGB(250, 250, 250);   // window 'w'
    case 6: return RGB(0, 0, 0);         // window frame 'k'
    case 15: return RGB(192, 192, 192);  // face 'f'
    case 16: return RGB(128, 128, 128);  // shadow 's'
    case 20: return RGB(255, 255, 255);  // highlight 'h'
    case 21: return RGB(64, 64, 64);     // dark shadow 'd'
    case 22: return RGB(224, 224, 224);  // light 'l'
    default: return RGB(1, 2, 3);
  }
}

const std::map<COLORREF, char> kLegend = {
    {RGB(250, 250, 250), 'w'}, {RGB(0, 0, 0), 'k'},       {RGB(192, 192, 192), 'f'},
    {RGB(128, 128, 128), 's'}, {RGB(255, 255, 255), 'h'}, {RGB(64, 64, 64), 'd'},
    {RGB(224, 224, 224), 'l'}, {RGB(255, 0, 0), 'r'}};

class EdgeTest : public ::testing::Test {
 protected:
  void SetUp() override { qv::os::gdi::setSysColorSource(&testColour); }
  void TearDown() override { qv::os::gdi::setSysColorSource(nullptr); }
};

struct EdgeCase {
  const char* name;
  UINT edge;
  UINT flags;
  Picture expected;
};

class EdgePictures : public EdgeTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(EdgePictures, DrawsTheClassicColours) {
  const EdgeCase& c = GetParam();
  Canvas canvas(6, 5, RGB(255, 0, 0));
  RECT r{0, 0, 6, 5};
  ASSERT_TRUE(DrawEdge(canvas.dc(), &r, c.edge, c.flags));
  EXPECT_EQ(canvas.picture(kLegend), c.expected);
}

// The bottom-right colour owns the top-right and bottom-left corners.
INSTANTIATE_TEST_SUITE_P(
    Edges, EdgePictures,
    ::testing::Values(
        EdgeCase{"Raised", EDGE_RAISED, BF_RECT, {"llllld", "lhhhsd", "lhrrsd", "lssssd", "dddddd"}},
        EdgeCase{"Sunken", EDGE_SUNKEN, BF_RECT, {"sssssh", "sdddlh", "sdrrlh", "sllllh", "hhhhhh"}},
        EdgeCase{"Etched", EDGE_ETCHED, BF_RECT, {"sssssh", "shhhsh", "shrrsh", "sssssh", "hhhhhh"}},
        EdgeCase{"Bump", EDGE_BUMP, BF_RECT, {"llllld", "ldddld", "ldrrld", "llllld", "dddddd"}},
        EdgeCase{"OuterOnly", BDR_RAISEDOUTER, BF_RECT, {"llllld", "lrrrrd", "lrrrrd", "lrrrrd", "dddddd"}},
        EdgeCase{"Middle", EDGE_RAISED, BF_RECT | BF_MIDDLE, {"llllld", "lhhhsd", "lhffsd", "lssssd", "dddddd"}},
        EdgeCase{"Soft", EDGE_RAISED, BF_RECT | BF_SOFT, {"hhhhhd", "hlllsd", "hlrrsd", "hssssd", "dddddd"}},
        EdgeCase{"Flat", EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_MIDDLE,
                 {"ssssss", "sffffs", "sffffs", "sffffs", "ssssss"}},
        EdgeCase{"Mono", EDGE_RAISED, BF_RECT | BF_MONO | BF_MIDDLE,
                 {"kkkkkk", "kwwwwk", "kwwwwk", "kwwwwk", "kkkkkk"}},
        EdgeCase{"BottomRightOnly", EDGE_RAISED, BF_BOTTOMRIGHT,
                 {"rrrrsd", "rrrrsd", "rrrrsd", "sssssd", "dddddd"}},
        EdgeCase{"DiagonalToTopRight", EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT,
                 {"rrrrlr", "rrrlhr", "rrlhrr", "rlhrrr", "lhrrrr"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EdgeTest, AdjustShrinksByTheBordersOnTheNamedSides) {
  struct Case {
    UINT edge, flags;
    RECT expected;
  } cases[] = {
      {EDGE_RAISED, BF_RECT | BF_ADJUST, {2, 2, 8, 6}},
      {BDR_SUNKENOUTER, BF_RECT | BF_ADJUST, {1, 1, 9, 7}},
      {EDGE_ETCHED, BF_TOPLEFT | BF_ADJUST, {2, 2, 10, 8}},
      {EDGE_RAISED, BF_RECT, {0, 0, 10, 8}},  // without BF_ADJUST the rectangle stays
  };
  for (const auto& c : cases) {
    Canvas canvas(10, 8);
    RECT r{0, 0, 10, 8};
    ASSERT_TRUE(DrawEdge(canvas.dc(), &r, c.edge, c.flags));
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.right, c.expected.right);
    EXPECT_EQ(r.bottom, c.expected.bottom);
  }
}

TEST_F(EdgeTest, FollowsTheWindowOriginAndRejectsBadArguments) {
  Canvas canvas(4, 4, RGB(255, 0, 0));
  SetViewportOrgEx(canvas.dc(), 1, 1, nullptr);
  RECT r{0, 0, 3, 3};
  ASSERT_TRUE(DrawEdge(canvas.dc(), &r, BDR_RAISEDOUTER, BF_RECT));
  EXPECT_EQ(canvas.picture(kLegend), (Picture{"rrrr", "rlld", "rlrd", "rddd"}));
  EXPECT_FALSE(DrawEdge(canvas.dc(), nullptr, EDGE_RAISED, BF_RECT));
  EXPECT_FALSE(DrawEdge(nullptr, &r, EDGE_RAISED, BF_RECT));
}

TEST_F(EdgeTest, ClassicColoursAnswerWithoutASource) {
  qv::os::gdi::setSysColorSource(nullptr);
  EXPECT_EQ(qv::os::gdi::sysColor(15), RGB(212, 208, 200));
  EXPECT_EQ(qv::os::gdi::sysColor(21), RGB(64, 64, 64));
  EXPECT_EQ(qv::os::gdi::sysColor(99), 0u);
}

TEST(FocusRect, InvertsEveryOtherOutlinePixelFromTheTopLeft) {
  struct Case {
    RECT r;
    Picture expected;
  } cases[] = {
      {{0, 0, 5, 4}, {"#.#.#", ".....", "#...#", ".#.#."}},
      // The pattern starts at the rectangle, not at the bitmap's corner.
      {{1, 0, 5, 3}, {".#.#.", "....#", ".#.#.", "....."}},
      // One pixel high: each pixel inverted once, not twice.
      {{0, 1, 5, 2}, {".....", "#.#.#", ".....", "....."}},
      {{2, 2, 2, 4}, {".....", ".....", ".....", "....."}},  // empty
      // Far wider than the bitmap: only the visible part is walked.
      {{-(1 << 30), 0, 1 << 30, 3}, {"#.#.#", ".....", "#.#.#", "....."}},
  };
  for (const auto& c : cases) {
    Canvas canvas(5, 4);
    ASSERT_TRUE(DrawFocusRect(canvas.dc(), &c.r));
    EXPECT_EQ(canvas.picture(), c.expected);
  }
}

TEST(FocusRect, DrawnTwiceGivesBackThePixels) {
  Canvas canvas(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) SetPixelV(canvas.dc(), x, y, RGB(x * 40, y * 40, 7));
  std::vector<COLORREF> before;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) before.push_back(canvas.at(x, y));
  const RECT r{1, 1, 6, 5};
  DrawFocusRect(canvas.dc(), &r);
  EXPECT_EQ(canvas.at(1, 1), RGB(255 - 40, 255 - 40, 255 - 7));
  DrawFocusRect(canvas.dc(), &r);
  std::vector<COLORREF> after;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) after.push_back(canvas.at(x, y));
  EXPECT_EQ(after, before);
}

}  // namespace
