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
  const char* page;  // from the source folder
  bool scrollBars;   // as a host that leaves them on
  int scrollTo;
};

constexpr Shot kShots[] = {
    {"tables", "tests/browser/pages/tables.html", false, 0},
    {"pictures", "tests/browser/pages/pictures.html", false, 0},
    {"imagemap", "tests/browser/pages/imagemap.html", false, 0},
    {"frames", "tests/browser/pages/frames.html", false, 0},
    {"form", "tests/browser/pages/form.html", false, 0},
    {"long-scrolled", "tests/browser/pages/long.html", true, 1000},
};

void PrintTo(const Shot& shot, std::ostream* os) { *os << shot.name; }

class PicturesTest : public PageTest, public ::testing::WithParamInterface<Shot> {};

TEST_P(PicturesTest, PageLooksAsApproved) {
  const Shot& shot = GetParam();
  auto options = runtimeOptions();
  options.scrollBars = shot.scrollBars;
  auto view = show(std::string(QV_SOURCE_DIR) + "/" + shot.page, options);
  if (shot.scrollTo) ASSERT_TRUE(view->scrollTo(shot.scrollTo));
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
