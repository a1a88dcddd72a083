#include <gtest/gtest.h>

#include "SiteFixture.h"
#include "platform/browser/HtmlDocument.h"

namespace {

using namespace qv::browser;

class HtmlDocumentTest : public qvtest::SiteTest {};

std::vector<std::string> tagsOf(const std::vector<Element*>& elements) {
  std::vector<std::string> out;
  for (Element* e : elements) out.push_back(e->tagName());
  return out;
}

TEST_F(HtmlDocumentTest, LoadsAPlainPathAsAFileUrl) {
  auto doc = loadIndex();
  EXPECT_FALSE(doc->isErrorPage());
  EXPECT_EQ(doc->url(), siteUrl("site/index.html"));
  EXPECT_EQ(doc->url().rfind("file:///", 0), 0u);
  EXPECT_EQ(doc->title(), "Start Page");
  ASSERT_NE(doc->body(), nullptr);
  EXPECT_EQ(doc->body()->tagName(), "BODY");
  EXPECT_EQ(doc->documentElement()->tagName(), "HTML");
  EXPECT_EQ(doc->activeElement(), doc->body());
  EXPECT_EQ(doc->charset(), "windows-1252");
}

TEST_F(HtmlDocumentTest, LookupsByNameIdAndTag) {
  auto doc = loadIndex();
  // The platform's old browser matches ids as names.
  EXPECT_EQ(tagsOf(doc->elementsByName("searchterm")), (std::vector<std::string>{"INPUT", "DIV"}));
  EXPECT_EQ(tagsOf(doc->elementsByName("searchform")), (std::vector<std::string>{"FORM"}));
  EXPECT_TRUE(doc->elementsByName("SearchForm").empty());
  EXPECT_EQ(doc->elementById("head")->innerText(), "Welcome");
  EXPECT_EQ(doc->elementById("nothing"), nullptr);
  EXPECT_EQ(doc->elementsByTagName("a").size(), 3u);
  EXPECT_EQ(doc->links().size(), 2u);
  EXPECT_EQ(doc->anchors().size(), 1u);
  EXPECT_EQ(doc->images().size(), 1u);
  EXPECT_EQ(doc->forms().size(), 1u);
  EXPECT_EQ(doc->all().front()->tagName(), "HTML");
}

TEST_F(HtmlDocumentTest, AttributesResolveHrefsAndSrcs) {
  auto doc = loadIndex();
  Element* link = doc->elementById("l2");
  EXPECT_EQ(link->getAttribute("href", 0), siteUrl("site/page2.html"));
  EXPECT_EQ(link->getAttribute("HREF", 2), "page2.html");
  EXPECT_EQ(link->getAttribute("target", 0), "");
  EXPECT_EQ(doc->elementById("ext")->getAttribute("target", 0), "_blank");
  EXPECT_EQ(doc->images()[0]->getAttribute("src", 0), siteUrl("site/img/logo.gif"));
  EXPECT_EQ(doc->body()->getAttribute("className", 0), "main");
  EXPECT_EQ(doc->body()->getAttribute("missing", 0), "");
  link->setAttribute("target", "main");
  EXPECT_EQ(link->getAttribute("target", 0), "main");
}

TEST_F(HtmlDocumentTest, InnerTextCollapsesBlanksAndBreaksLines) {
  auto doc = loadIndex();
  Element* p = doc->elementsByTagName("P")[0];
  EXPECT_EQ(p->innerText(), "Intro text here.\r\nNext line");
}

TEST_F(HtmlDocumentTest, StyleComesFromTheMarkupAndIsSettable) {
  auto doc = loadIndex();
  Element* body = doc->body();
  EXPECT_EQ(body->style().get("cursor"), "wait");
  body->style().set("cursor", "default");
  body->style().set("visibility", "hidden");
  body->styleChanged();
  EXPECT_EQ(body->attribute("style"), "CURSOR: default; VISIBILITY: hidden;");
  body->setAttribute("style", "color: red; visibility:visible");
  EXPECT_EQ(body->style().get("visibility"), "visible");
  EXPECT_EQ(body->style().get("cursor"), "");
}

TEST_F(HtmlDocumentTest, FramesHaveTheirOwnDocuments) {
  auto doc = loadIndex();
  ASSERT_EQ(doc->frames().size(), 1u);
  const Frame& f = doc->frames()[0];
  EXPECT_EQ(f.name, "side");
  EXPECT_EQ(f.element->tagName(), "IFRAME");
  EXPECT_EQ(f.document->url(), siteUrl("site/frame/side.htm"));
  EXPECT_EQ(f.document->title(), "Side");
  EXPECT_EQ(f.document->windowName(), "side");
  EXPECT_EQ(doc->frameDocument("SIDE"), f.document.get());
  // A link in the frame resolves against the frame's page, and the upper-case
  // file behind it is found without regard to case.
  Element* back = doc->findLink("Back to");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->getAttribute("href", 0), siteUrl("site/page2.html"));
  auto two = Document::load(back->getAttribute("href", 0));
  EXPECT_EQ(two->title(), "Second");
}

TEST_F(HtmlDocumentTest, FramesetPagesLoadEveryFrame) {
  writeFile("site/frames.htm",
            "<html><head><title>Frames</title></head><frameset cols='20%,*'>"
            "<frame name='nav' src='frame/side.htm'><frame name='main' src='page2.html'></frameset></html>");
  auto doc = Document::load(windowsPath("site/frames.htm"));
  EXPECT_EQ(doc->body()->tagName(), "FRAMESET");
  ASSERT_EQ(doc->frames().size(), 2u);
  EXPECT_EQ(doc->frames()[0].element->tagName(), "FRAME");
  EXPECT_EQ(doc->frameDocument("main")->title(), "Second");
  EXPECT_EQ(doc->frameDocument("nav")->title(), "Side");
}

TEST_F(HtmlDocumentTest, FormValuesOfInputSelectAndTextarea) {
  auto doc = loadIndex();
  Element* form = doc->formByName("searchform");
  ASSERT_NE(form, nullptr);
  struct Case {
    const char* name;
    const char* value;
  } cases[] = {{"searchterm", "cd rom"}, {"lang", "de"},     {"exact", "yes"},
               {"fuzzy", "on"},          {"sort", "Relevance"}, {"notes", "line one\nline two"}};
  for (const Case& c : cases) {
    Element* item = form->formItem(c.name);
    ASSERT_NE(item, nullptr) << c.name;
    EXPECT_EQ(item->value(), c.value) << c.name;
  }
  EXPECT_EQ(form->formItem("SEARCHTERM"), form->formItem("searchterm"));
  EXPECT_EQ(form->formItem("none"), nullptr);
  EXPECT_EQ(form->action(), siteUrl("site/search.htm") + "?old=1#x");
  EXPECT_EQ(form->method(), "get");
  EXPECT_EQ(form->target(), "main");
}

TEST_F(HtmlDocumentTest, GetQueryEncodesTheSuccessfulControls) {
  auto doc = loadIndex();
  Element* form = doc->formByName("searchform");
  EXPECT_EQ(form->formQuery(),
            "searchterm=cd+rom&lang=de&exact=yes&scope=titles&sort=Relevance&notes=line+one%0D%0Aline+two");
  // Values typed by the user; the page is Windows-1252, so is the query, and
  // a character that code page lacks is sent as a character reference.
  ASSERT_TRUE(doc->setField("searchterm", "Gr\xC3\xB6\xC3\x9F" "e & \xE2\x82\xAC \xCE\xA9"));
  ASSERT_TRUE(doc->setField("fuzzy", "1"));
  form->formItem("exact")->setChecked(false);
  form->formItem("sort")->setValue("date");
  form->formItem("notes")->setValue("");
  EXPECT_EQ(form->submitUrl(), siteUrl("site/search.htm") +
                                   "?searchterm=Gr%F6%DFe+%26+%80+%26%23937%3B&lang=de&fuzzy=on&scope=titles&sort=date&notes=");
  EXPECT_FALSE(doc->setField("nosuchfield", "x"));
}

TEST_F(HtmlDocumentTest, FormQueryOfAUtf8PageIsUtf8) {
  auto doc = Document::fromHtml(
      "<meta charset=utf-8><form action='http://h/s'><input name='q' value='\xC3\xBC \xE2\x82\xAC'></form>", "http://h/");
  EXPECT_EQ(doc->forms()[0]->submitUrl(), "http://h/s?q=%C3%BC+%E2%82%AC");
}

TEST_F(HtmlDocumentTest, FindLinkMatchesHrefOrText) {
  auto doc = loadIndex();
  EXPECT_EQ(doc->findLink("Second")->id(), "l2");
  EXPECT_EQ(doc->findLink("example.test")->id(), "ext");
  EXPECT_EQ(doc->findLink("nowhere"), nullptr);
}

TEST_F(HtmlDocumentTest, AnyExtensionIsTakenAsHtml) {
  writeFile("tmp/~AB12.tmp", "<html><head><title>Results</title></head><body>found</body></html>");
  auto doc = Document::load(windowsPath("tmp/~AB12.tmp"));
  EXPECT_FALSE(doc->isErrorPage());
  EXPECT_EQ(doc->title(), "Results");
}

TEST_F(HtmlDocumentTest, AboutBlankIsAnEmptyPage) {
  auto doc = Document::load("about:blank");
  EXPECT_EQ(doc->url(), "about:blank");
  EXPECT_EQ(doc->title(), "");
  ASSERT_NE(doc->body(), nullptr);
  EXPECT_TRUE(doc->body()->children().empty());
}

TEST_F(HtmlDocumentTest, AMissingFileGivesTheErrorPage) {
  auto doc = Document::load(windowsPath("site/missing.html"));
  EXPECT_TRUE(doc->isErrorPage());
  EXPECT_EQ(doc->loadResult().status, LoadStatus::NotFound);
  EXPECT_EQ(doc->loadResult().errorCode, INET_E_RESOURCE_NOT_FOUND);
  EXPECT_EQ(doc->title(), "The page cannot be displayed");
  EXPECT_EQ(doc->url(), siteUrl("site/missing.html"));
  EXPECT_NE(doc->body()->innerText().find(siteUrl("site/missing.html")), std::string::npos);
  // A folder is not a page either.
  EXPECT_TRUE(Document::load(windowsPath("site"))->isErrorPage());
}

TEST_F(HtmlDocumentTest, SelfNestingFramesStopAtTheDepthLimit) {
  writeFile("loop.htm", "<iframe src='loop.htm'></iframe>");
  auto doc = Document::load(windowsPath("loop.htm"), LoadOptions{1000, 3});
  int loaded = 0;
  Document* d = doc.get();
  for (; !d->frames().empty(); d = d->frames()[0].document.get()) ++loaded;
  EXPECT_EQ(loaded, 4);  // three loaded frames and an empty one beyond them
  EXPECT_EQ(d->url(), "about:blank");
}

// A page that frames itself three times holds 3 + 9 + 27 frames three levels
// deep. Past the page's frame budget the rest stay empty, outer ones first:
// a page framing itself a few dozen times would otherwise load millions.
TEST_F(HtmlDocumentTest, FramesBeyondThePagesBudgetStayEmptyOuterOnesFirst) {
  writeFile("wide.htm",
            "<iframe src='wide.htm'></iframe><iframe src='wide.htm'></iframe><iframe src=wide.htm></iframe>");
  struct Count {
    int loaded[4] = {0, 0, 0, 0};
    int empty = 0;
  };
  auto count = [](const Document& doc) {
    Count c;
    std::vector<std::pair<const Document*, int>> todo{{&doc, 0}};
    while (!todo.empty()) {
      auto [d, level] = todo.back();
      todo.pop_back();
      for (const Frame& f : d->frames()) {
        if (f.document->url() == "about:blank") {
          ++c.empty;
        } else {
          ++c.loaded[level + 1];
          todo.emplace_back(f.document.get(), level + 1);
        }
      }
    }
    return c;
  };
  struct Case {
    int budget;
    int second, third, empty;  // frames loaded at the second and third level, and left empty
  } cases[] = {
      {39, 9, 27, 81},  // every frame of three levels; the fourth level is past the depth
      {38, 9, 26, 79},
      {10, 7, 0, 23},
      {0, 0, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.budget);
    LoadOptions options{1000, 3};
    options.maxFrames = c.budget;
    const Count got = count(*Document::load(windowsPath("wide.htm"), options));
    EXPECT_EQ(got.loaded[1], std::min(c.budget, 3));
    EXPECT_EQ(got.loaded[2], c.second);
    EXPECT_EQ(got.loaded[3], c.third);
    EXPECT_EQ(got.empty, c.empty);
  }
}

}  // namespace
