// The pages drawn as a person sees them, compared pixel for pixel with
// pictures approved by looking at them (pages/*.png). A picture that
// differs is left in the build folder's pages-actual/ to be looked at;
// only a person copies it over the approved one.
#include <gtest/gtest.h>

#include "PageFixture.h"

namespace qvtest {
namespace {

struct Shot {
  const char* name;  // pages/<name>.png
  const char* page;  // PageTest::pagePath
  bool scrollBars;   // as a host that leaves them on
  int scrollTo;
};

constexpr Shot kShots[] = {
    // The demo disc's pages, as the runtime shows them.
    {"disc-start", "disc/index", false, 0},
    {"disc-about", "disc/about", false, 0},
    {"disc-gallery", "disc/gallery", false, 0},
    {"disc-readme", "disc/readme", false, 0},
    // Pages of their own for what disc pages use.
    {"tables", "tables", false, 0},
    {"pictures", "pictures", false, 0},
    {"imagemap", "imagemap", false, 0},
    {"frames", "frames", false, 0},
    {"form", "form", false, 0},
    {"long-scrolled", "long", true, 1000},
};

void PrintTo(const Shot& shot, std::ostream* os) { *os << shot.name; }

class PicturesTest : public PageTest, public ::testing::WithParamInterface<Shot> {};

TEST_P(PicturesTest, PageLooksAsApproved) {
  const Shot& shot = GetParam();
  auto options = runtimeOptions();
  options.scrollBars = shot.scrollBars;
  auto view = show(pagePath(shot.page), options);
  if (shot.scrollTo) {
    ASSERT_TRUE(view->scrollTo(shot.scrollTo));
  }
  expectPicture(render(*view), shot.name);
}

INSTANTIATE_TEST_SUITE_P(Pages, PicturesTest, ::testing::ValuesIn(kShots),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& c : n)
                             if (c == '-') c = '_';
                           return n;
                         });

}  // namespace
}  // namespace qvtest
