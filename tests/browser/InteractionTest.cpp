// What the mouse and the keys do on a page: links followed on a press and
// a release over them, check boxes, radio groups, labels, submit and reset
// buttons, typing into fields, and scrolling by the wheel, the scroll bar
// and the keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PageFixture.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/user/Input.h"

namespace qvtest {
namespace {

using qv::browser::Element;
using qv::browser::PageView;

class InteractionTest : public PageTest {
 protected:
  // A view whose actions are written down as they happen.
  std::unique_ptr<PageView> watched(const std::string& page, bool scrollBars = false) {
    auto options = runtimeOptions();
    options.scrollBars = scrollBars;
    auto view = show(pagePath(page), options);
    PageView::Actions a;
    a.follow = [this](Element* link) { done.push_back("follow " + link->attribute("href")); };
    a.submit = [this](Element* form, Element* by, POINT) {
      done.push_back("submit " + form->name() + " by " + (by ? by->id() : std::string("enter")) + " " +
                     form->formQuery(by));
    };
    a.hover = [this](Element* link) { done.push_back("hover " + (link ? link->attribute("href") : std::string())); };
    view->setActions(std::move(a));
    return view;
  }
  void click(PageView& view, POINT pt) {
    view.mouseDown(pt);
    view.mouseUp(pt);
  }
  POINT centreOf(PageView& view, const char* id) {
    const auto box = view.boxOf(*view.document()->elementById(id));
    EXPECT_TRUE(box) << id;
    return box ? POINT{(box->left + box->right) / 2, (box->top + box->bottom) / 2} : POINT{0, 0};
  }
  std::vector<std::string> done;
};

TEST_F(InteractionTest, ALinkIsFollowedByAPressAndAReleaseOnIt) {
  auto view = watched("disc/index");
  const POINT about = centreOf(*view, "about"), gallery = centreOf(*view, "gallery");
  view->mouseMove(about);
  view->mouseMove(about);  // staying on it says nothing more
  view->mouseMove(POINT{5, 470});
  click(*view, about);
  // Pressed on one link, released on another: neither is followed.
  view->mouseDown(about);
  view->mouseUp(gallery);
  EXPECT_EQ(done, (std::vector<std::string>{"hover about.html", "hover ", "follow about.html"}));
  EXPECT_EQ(view->document()->activeElement()->id(), "about");
  EXPECT_EQ(view->cursorAt(about), IDC_HAND);
  EXPECT_EQ(view->cursorAt(POINT{5, 470}), IDC_ARROW);
}

TEST_F(InteractionTest, FormFieldsDoWhatThePlatformsControlsDo) {
  auto view = watched("form");
  auto* doc = view->document().get();
  // A label ticks its check box; a radio button clears the others of its group.
  click(*view, POINT{180, 200});
  EXPECT_TRUE(doc->elementById("news")->checked());
  click(*view, centreOf(*view, "dvd"));
  EXPECT_TRUE(doc->elementById("dvd")->checked());
  EXPECT_FALSE(doc->elementById("cd")->checked());
  // Typing goes to the field that has the focus, Backspace takes back.
  click(*view, centreOf(*view, "name"));
  EXPECT_EQ(view->cursorAt(centreOf(*view, "name")), IDC_IBEAM);
  for (char c : std::string("\b\bnn\xE4")) view->character(c);
  EXPECT_EQ(doc->elementById("name")->value(), "Ann\xC3\xA4");
  // A submit button sends the form with its own name and value; Enter in
  // a field sends it without.
  click(*view, centreOf(*view, "send"));
  click(*view, centreOf(*view, "pass"));
  view->character('\r');
  ASSERT_EQ(done.size(), 2u);
  EXPECT_EQ(done[0],
            "submit order by send name=Ann%E4&pass=secret&edition=pro&extras=Clip+art&media=dvd&news=yes&"
            "notes=First+line%0D%0ASecond+line&send=Order&ref=disc");
  EXPECT_EQ(done[1].substr(0, 21), "submit order by enter");
  EXPECT_EQ(done[1].find("send=Order"), std::string::npos);
  // Reset brings back what the page said.
  click(*view, centreOf(*view, "reset"));
  EXPECT_EQ(doc->elementById("name")->value(), "Ada");
  EXPECT_TRUE(doc->elementById("cd")->checked());
  EXPECT_FALSE(doc->elementById("news")->checked());
  // The arrows choose in a list that has the focus.
  click(*view, centreOf(*view, "edition"));
  EXPECT_TRUE(view->key(VK_UP));
  EXPECT_EQ(doc->elementById("edition")->value(), "std");
}

TEST_F(InteractionTest, TheWheelTheScrollBarAndTheKeysScroll) {
  auto view = watched("long", true);
  const int line = PageView::kLineStep, page = 480 - line;
  view->wheel(POINT{300, 200}, -120);
  EXPECT_EQ(view->scrollTop(), 3 * line);
  view->wheel(POINT{300, 200}, 240);
  EXPECT_EQ(view->scrollTop(), 0);
  const int bar = 640 - 8;
  click(*view, POINT{bar, 475});  // the down arrow
  EXPECT_EQ(view->scrollTop(), line);
  click(*view, POINT{bar, 300});  // the track under the thumb
  EXPECT_EQ(view->scrollTop(), line + page);
  EXPECT_TRUE(view->key(VK_HOME));
  EXPECT_EQ(view->scrollTop(), 0);
  EXPECT_TRUE(view->key(VK_END));
  EXPECT_EQ(view->scrollTop(), view->contentHeight() - 480);
  // Dragging the thumb from the bottom to the top of its track.
  const int before = view->scrollTop();
  view->mouseDown(POINT{bar, 470 - 16});
  view->mouseMove(POINT{bar, 0});
  view->mouseUp(POINT{bar, 0});
  EXPECT_LT(view->scrollTop(), before);
  EXPECT_EQ(view->scrollTop(), 0);
  // A link to a name in the page brings it to the top.
  EXPECT_TRUE(view->scrollToFragment("s3"));
  EXPECT_EQ(view->boxOf(*view->document()->elementById("s3"))->top, 0);
  // Without a scroll bar (the runtime's way) the wheel still scrolls.
  auto bare = watched("long", false);
  bare->wheel(POINT{300, 200}, -120);
  EXPECT_EQ(bare->scrollTop(), 3 * line);
  EXPECT_FALSE(bare->hasScrollBar());
}

}  // namespace
}  // namespace qvtest
