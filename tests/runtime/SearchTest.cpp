// The full-text search: the query's terms, the index read at start, and a
// search submitted from a page's form whose hits come back through the
// result template as a temporary page, deleted after it has been shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "RuntimeFixture.h"
#include "browserhost/WebHost.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/Url.h"
#include "platform/classlib/Classes.h"
#include "platform/desktop/Clock.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/Files.h"
#include "runtime/Browser.h"
#include "runtime/MessageTable.h"

namespace {

using qv::browser::WebBrowser;
using Terms = std::vector<std::string>;

TEST(SearchQuery, SplitsWordsAndQuotedPhrases) {
  struct Case {
    const char* query;
    Terms terms;
  } cases[] = {
      {"\"red apple\" Pear", {"red apple", "Pear"}},
      // "and" is dropped as a word of its own, in any case, never inside
      // a word or a phrase.
      {"handbook", {"handbook"}},
      {"Handbuch Land Standard", {"Handbuch", "Land", "Standard"}},
      {"cats AND dogs", {"cats", "dogs"}},
      {"and cats And", {"cats"}},
      {"cats+and+dogs", {"cats", "dogs"}},
      {"\"salt and pepper\" and", {"salt and pepper"}},
      {"andante sandy", {"andante", "sandy"}},
      {"and", {}},
      {"a+b  c", {"a", "b", "c"}},
      {"one \"two three", {"one", "two three"}},
      {"x x", {"x", "x"}},
      // A phrase of blanks alone finds nothing rather than every page.
      {"\"   ", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSearchQuery(c.query), c.terms) << c.query;
}

class SearchTest : public qvtest::RuntimeTest {
 protected:
  static WebBrowser* page() {
    if (BrowserWindow == nullptr || BrowserWindow->WebBrowser == nullptr) return nullptr;
    return qv::browser::webBrowserOf(BrowserWindow->WebBrowser->DefaultInterface());
  }
  // The settings with an active search over "search.qvix" and "result.html".
  void writeSearchDisc(const std::string& startBody, const std::string& index = kIndex,
                       const std::string& resultTemplate = kTemplate) const {
    writeSettings("startpage=index.html\r\nhidesplashscreen=1\r\n",
                  "[fulltextsearchengine]\r\nactive=1\r\nindex=search.qvix\r\nresulttemplate=result.html\r\n");
    writePage("index.html", "Start", startBody);
    if (!index.empty()) writeDiscFile("search.qvix", index);
    if (!resultTemplate.empty()) writeDiscFile("result.html", resultTemplate);
  }
  // Runs the disc; `steps` run a second apart, then the window is closed.
  void runSteps(std::vector<std::function<void()>> steps) {
    std::uint64_t t = qv::desktop::Clock::now() + 1000;
    for (auto& s : steps) {
      at(t, std::move(s));
      t += 1000;
    }
    at(t, [this] { closeMainWindow(); });
    launch();
  }
  static void search(const std::string& term) {
    page()->setField("searchterm", term);
    page()->submitForm("searchform");
  }
  static std::string shownText() { return page()->document()->body()->innerText(); }
  static std::string shownUrl() { return page()->document()->url(); }

  static constexpr const char* kForm =
      "<form name=\"searchform\" action=\"searchform\"><input name=\"searchterm\"></form>";
  // Three pages; the third's text is in capitals, as the index tool never
  // writes it.
  static constexpr const char* kIndex =
      "0001/pages/fruit.html####Fruit####x\r\n"
      "a red apple and a ripe pear lie on the old wooden table next to the door\r\n"
      "0002/pages/veg.html####Vegetables####\r\n"
      "green beans and pear\r\n"
      "0003/pages/caps.html####Capitals\r\n"
      "RED APPLE PEAR\r\n";
  static constexpr const char* kTemplate =
      "<html><head><title>Results</title></head><body>\r\n"
      "<p>root {ROOTPATH}</p>\r\n"
      "<!-- ### SE RESULTS BEGIN ### -->before\r\n"
      "<!-- ### SE ENTRY BEGIN ### --><p>[{FILETITLE}|{FILENAME}|{FILEPATH}|{SUMMARY}]</p>"
      "<!-- ### SE ENTRY END ### -->\r\n"
      "<!-- ### SE NORESULTS BEGIN ### --><p>Nothing found</p><!-- ### SE NORESULTS END ### -->\r\n"
      "<!-- ### SE RESULTS END ### -->\r\n"
      "<p>end</p></body></html>\r\n";
};

// Two lines per page; an odd last line is no page.
TEST_F(SearchTest, TheIndexIsReadAtStart) {
  writeSearchDisc(kForm, std::string(kIndex) + "0004pages/odd.html####Odd####\r\n");
  std::vector<SearchIndexEntry> records;
  runSteps({[&] { records = BrowserWindow->SearchIndex; }});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].Path, "/pages/fruit.html");
  EXPECT_EQ(records[0].Title, "Fruit");
  EXPECT_EQ(records[1].Text, "green beans and pear");
  // Without a second "####" there is no title.
  EXPECT_EQ(records[2].Path, "/pages/caps.html");
  EXPECT_EQ(records[2].Title, "");
  EXPECT_TRUE(messageTexts().empty());
}

// The index is read in blocks: lines that run over a block's end, a CR LF
// split between two blocks, a line longer than a block, lone CR and LF line
// ends and a last line without one give the records of the whole text.
TEST_F(SearchTest, ALargeIndexGivesTheRecordsOfItsLines) {
  constexpr std::size_t kBlock = 1 << 18;  // as the loader reads
  std::string index;
  int page = 0;
  auto add = [&](const std::string& text, const char* eol) {
    index += "0001/p" + std::to_string(page) + ".html####Page " + std::to_string(page) + "####more" + eol;
    index += text + eol;
    ++page;
  };
  auto fillTo = [&](std::size_t offset) {  // short pages up to just before `offset`
    while (index.size() + 80 < offset) add("filler text", page % 3 == 0 ? "\n" : "\r\n");
    std::size_t left = offset - index.size();
    // A path line that ends exactly at the offset.
    index += "0001/fill.html####" + std::string(left - 19, 'f') + "\r";
    index += "\n";
  };
  fillTo(kBlock);  // "\r" is the block's last byte, "\n" the next one's first
  index += "text after the split line end\r\n";
  add(std::string(kBlock + 100, 'x'), "\r");  // longer than a block, ended by CR alone
  fillTo(3 * kBlock);
  index += "\n\r";  // an empty text line, then an empty path line
  index += "text of an empty path\n";
  add("last text without a line end", "\r\n");
  index.resize(index.size() - 2);

  writeSearchDisc(kForm, index);
  std::vector<SearchIndexEntry> records;
  runSteps({[&] { records = BrowserWindow->SearchIndex; }});

  // What the string list makes of the same text, taken two lines a page.
  TStringList lines;
  lines.SetText(index);
  ASSERT_EQ(records.size(), static_cast<std::size_t>(lines.Count() / 2));
  for (int k = 0; k < lines.Count() / 2; ++k) {
    std::string path = lines.Strings(2 * k).substr(std::min<std::size_t>(4, lines.Strings(2 * k).size()));
    std::string title;
    std::size_t cut = path.find("####");
    if (cut != std::string::npos) {
      std::size_t end = path.find("####", cut + 4);
      if (end != std::string::npos) title = path.substr(cut + 4, end - cut - 4);
      path.erase(cut);
    }
    SCOPED_TRACE("record " + std::to_string(k));
    ASSERT_EQ(records[k].Path, path);
    ASSERT_EQ(records[k].Title, title);
    ASSERT_EQ(records[k].Text, lines.Strings(2 * k + 1));
  }
  EXPECT_EQ(records.back().Text, "last text without a line end");
  EXPECT_EQ(records[records.size() - 2].Path, "");
}

TEST_F(SearchTest, AMissingIndexIsReportedAndFindsNothing) {
  writeSearchDisc(kForm, "");
  std::string shown;
  runSteps({[] { search("pear"); }, [&] { shown = shownText(); }});
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{GetMessageText(33, discWindowsPath("search.qvix"))}));
  EXPECT_NE(shown.find("Nothing found"), std::string::npos) << shown;
}

// The hits in index order: a capitalised term matches the lower-case text,
// text in capitals never matches; a short text is summarised whole.
TEST_F(SearchTest, HitsFillTheTemplate) {
  writeSearchDisc(kForm);
  std::string shown, url;
  bool pending = true;
  runSteps({[] { search("\"Red Apple\" BEANS"); },
            [&] {
              shown = shownText();
              url = shownUrl();
              pending = BrowserWindow->TempPagePending;
            }});
  std::string root = "file://" + discWindowsPath();
  root.pop_back();
  EXPECT_NE(shown.find("root " + root), std::string::npos) << shown;
  const std::string fruit = "[Fruit|fruit.html|" + root + "/pages/fruit.html|" +
                            "a red apple and a ripe pear lie on the old wooden ..." + "]";
  const std::string veg = "[Vegetables|veg.html|" + root + "/pages/veg.html|green beans and pear...]";
  std::size_t at = shown.find(fruit);
  EXPECT_NE(at, std::string::npos) << shown;
  EXPECT_NE(shown.find(veg, at), std::string::npos) << shown;
  EXPECT_EQ(shown.find("Capitals"), std::string::npos) << shown;
  // The results region is replaced as a whole.
  EXPECT_EQ(shown.find("before"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("Nothing found"), std::string::npos) << shown;
  EXPECT_NE(shown.find("end"), std::string::npos) << shown;
  // The page was a temporary file, gone once it had been shown.
  auto path = qv::browser::fileUrlToPath(url);
  ASSERT_TRUE(path.has_value()) << url;
  EXPECT_EQ(GetFileNamePart(*path).substr(0, 1), "~");
  EXPECT_FALSE(qv::os::fileExists(*path));
  EXPECT_FALSE(pending);
  EXPECT_TRUE(messageTexts().empty());
}

TEST_F(SearchTest, NoHitShowsTheNoResultsBlockAndAnEmptyTermNothing) {
  writeSearchDisc(kForm);
  std::string shown, afterEmpty;
  runSteps({[] { search(""); }, [&] { afterEmpty = shownUrl(); }, [] { search("zebra"); },
            [&] { shown = shownText(); }});
  EXPECT_NE(afterEmpty.find("index.html"), std::string::npos) << afterEmpty;
  EXPECT_NE(shown.find("Nothing found"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("["), std::string::npos) << shown;
}

TEST_F(SearchTest, ATemplateWithoutMarkersGetsTheHitsAtItsStart) {
  writeSearchDisc(kForm, kIndex, "<html><body><p>plain</p></body></html>");
  std::string shown;
  runSteps({[] { search("beans"); }, [&] { shown = shownText(); }});
  // Without the entry block every hit is an empty line: the page is the
  // template's own.
  EXPECT_NE(shown.find("plain"), std::string::npos) << shown;
  EXPECT_TRUE(messageTexts().empty());
}

// The temporary pages of the runtime's folder for temporary files.
std::size_t temporaryPagesLeft() {
  char temp[MAX_PATH] = {};
  GetTempPath(sizeof temp, temp);
  std::size_t left = 0;
  for (const auto& e : std::filesystem::directory_iterator(*qv::os::toHostPath(temp)))
    if (e.path().filename().string().front() == '~') ++left;
  return left;
}

// A template that is missing or cannot be read: the form is not configured
// correctly (message 32), the page stays where it was, the run goes on and
// no temporary page is left.
struct TemplateCase {
  const char* name;
  bool asFolder;  // "result.html" is a folder
};

class BrokenTemplateTest : public SearchTest, public ::testing::WithParamInterface<TemplateCase> {};

TEST_P(BrokenTemplateTest, TheFormIsNotConfiguredCorrectly) {
  writeSearchDisc(kForm, kIndex, "");
  if (GetParam().asFolder) std::filesystem::create_directories(discHostPath("result.html"));
  std::string shown;
  std::size_t left = 9;
  runSteps({[] { search("pear"); },
            [&] {
              shown = shownUrl();
              left = temporaryPagesLeft();
            }});
  EXPECT_EQ(messageTexts(), std::vector<std::string>{GetMessageText(32)});
  EXPECT_NE(shown.find("index.html"), std::string::npos) << shown;
  EXPECT_EQ(navigations().size(), 1u);
  EXPECT_EQ(left, 0u);
  // The run lasted until the test closed it.
  EXPECT_GE(qv::desktop::Clock::now(), 3000u);
}

INSTANTIATE_TEST_SUITE_P(Templates, BrokenTemplateTest,
                         ::testing::Values(TemplateCase{"Missing", false}, TemplateCase{"Unreadable", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Back to a results page that has been shown (and deleted): the results
// show again, and the page goes again once shown; forward the same.
TEST_F(SearchTest, GoingBackToResultsShowsThemAgain) {
  writeSearchDisc(kForm);
  writePage("other.html", "Other", "<p>other</p>");
  std::string name, back, forward;
  bool goneAfterBack = false;
  runSteps({[] { search("beans"); },
            [&] {
              name = BrowserWindow->TempPageName;
              EXPECT_FALSE(FileExists(name));
              BrowserWindow->WebBrowser->NavigateTo(BrowserWindow->IniDir + "other.html");
            },
            [] { page()->GoBack(); },
            [&] {
              back = shownText();
              goneAfterBack = !FileExists(name);
              page()->GoBack();
            },
            [] { page()->GoForward(); }, [&] { forward = shownText(); }});
  EXPECT_NE(back.find("[Vegetables|"), std::string::npos) << back;
  EXPECT_NE(forward.find("[Vegetables|"), std::string::npos) << forward;
  EXPECT_TRUE(goneAfterBack);
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_EQ(temporaryPagesLeft(), 0u);
}

// A results page that could not be deleted once shown (message 34) is
// removed when the runtime ends.
TEST_F(SearchTest, ResultsPagesLeftAreRemovedWhenTheRunEnds) {
  writeSearchDisc(kForm);
  std::size_t during = 0;
  runSteps({[] {
              search("beans");
              SetFileAttributes(BrowserWindow->TempPageName.c_str(), FILE_ATTRIBUTE_READONLY);
            },
            [&] { during = temporaryPagesLeft(); }});
  EXPECT_EQ(messageTexts().size(), 1u);
  EXPECT_EQ(during, 1u);
  EXPECT_EQ(temporaryPagesLeft(), 0u);
}

// The form in one frame, the results in another, named by the form's target.
TEST_F(SearchTest, ResultsAppearInTheTargetFrame) {
  writeSearchDisc("");
  writeDiscFile("index.html",
                "<html><frameset cols=\"30%,70%\"><frame name=\"left\" src=\"form.html\">"
                "<frame name=\"right\" src=\"blank.html\"></frameset></html>");
  writePage("form.html", "Form",
            "<form name=\"searchform\" action=\"searchform\" target=\"right\"><input name=\"searchterm\"></form>");
  writePage("blank.html", "Blank", "<p>empty</p>");
  std::string left, right, top;
  runSteps({[] { search("beans"); },
            [&] {
              auto doc = page()->document();
              top = doc->url();
              left = doc->frames()[0].document->body()->innerText();
              right = doc->frames()[1].document->body()->innerText();
            }});
  EXPECT_NE(top.find("index.html"), std::string::npos) << top;
  EXPECT_EQ(left.find("Vegetables"), std::string::npos) << left;
  EXPECT_NE(right.find("[Vegetables|veg.html|"), std::string::npos) << right;
}

// A results page that cannot be deleted is reported; the search goes on.
TEST_F(SearchTest, AnUndeletableResultsPageIsReported) {
  writeSearchDisc(kForm);
  std::string name;
  std::string shown;
  runSteps({[&] {
              search("beans");
              name = BrowserWindow->TempPageName;
              SetFileAttributes(name.c_str(), FILE_ATTRIBUTE_READONLY);
            },
            [] { page()->GoBack(); }, [] { search("pear"); }, [&] { shown = shownText(); }});
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{GetMessageText(34, name)}));
  EXPECT_NE(shown.find("[Fruit|"), std::string::npos) << shown;
  SetFileAttributes(name.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
