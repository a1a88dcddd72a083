#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "LoopbackServer.h"
#include "SiteFixture.h"
#include "platform/browser/HtmlLoader.h"

namespace {

using namespace qv::browser;

class HtmlLoaderTest : public qvtest::SiteTest {};

TEST(HtmlCharsetTest, DecodingPicksTheRightCharset) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string header;
    std::string text;     // expected UTF-8 (a substring of the result)
    std::string charset;  // expected charset used
  } cases[] = {
      {"no hint: Windows-1252", "gr\xFC\xDF \x80", "", "gr\xC3\xBC\xC3\x9F \xE2\x82\xAC", "windows-1252"},
      {"meta charset", "<meta charset=\"utf-8\">\xC3\xBC", "", "\xC3\xBC", "utf-8"},
      {"meta http-equiv, latin-1 read as 1252",
       "<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=ISO-8859-1'>\x80", "", "\xE2\x82\xAC",
       "windows-1252"},
      {"header wins over meta", "<meta charset=windows-1252>\xC3\xBC", "UTF-8", "\xC3\xBC", "utf-8"},
      {"UTF-8 BOM wins over header", "\xEF\xBB\xBF\xC3\xBC", "windows-1252", "\xC3\xBC", "utf-8"},
      {"UTF-16LE BOM", std::string("\xFF\xFE" "A\0\xFC\0", 6), "", "A\xC3\xBC", "utf-16le"},
      {"UTF-16BE BOM", std::string("\xFE\xFF\0A\0\xFC", 6), "", "A\xC3\xBC", "utf-16be"},
      {"other charsets through iconv", "<meta charset=iso-8859-2>\xB1", "", "\xC4\x85", "iso-8859-2"},
      {"unknown charset: 1252", "<meta charset=x-bogus>\xFC", "", "\xC3\xBC", "windows-1252"},
      {"wrong charset: bad UTF-8 bytes", "<meta charset=utf-8>a\xFC" "b", "", "a\xEF\xBF\xBD" "b", "utf-8"},
      {"meta claims UTF-16 without BOM", "<meta charset=utf-16>ok", "", "ok", "utf-8"},
      {"NUL bytes", std::string("a\0b", 3), "", "a\xEF\xBF\xBD" "b", "windows-1252"},
  };
  for (const Case& c : cases) {
    std::string used;
    std::string text = decodePage(c.bytes, c.header, &used);
    EXPECT_NE(text.find(c.text), std::string::npos) << c.what << ": " << text;
    EXPECT_EQ(used, c.charset) << c.what;
  }
}

TEST_F(HtmlLoaderTest, AMetaCharsetIsNotAppliedTwice) {
  writeFile("latin.htm", "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
                         "<title>M\xFC" "nchen</title></head></html>");
  auto doc = Document::load(windowsPath("latin.htm"));
  EXPECT_EQ(doc->title(), "M\xC3\xBC" "nchen");
}

TEST_F(HtmlLoaderTest, PagesFromALoopbackServer) {
  qvtest::LoopbackServer server;
  server.serve("/index.html", {200, "Content-Type: text/html; charset=utf-8\r\n",
                               "<html><head><title>Served \xC3\xBC</title></head><body>"
                               "<a href='/page2.html'>two</a><iframe name=f src='frame.html'></iframe></body></html>"});
  server.serve("/frame.html", {200, "Content-Type: text/html\r\n", "<title>Frame \xFC</title>"});
  server.serve("/old", {302, "Location: /index.html\r\n", ""});

  auto doc = Document::load(server.url("/old"));
  ASSERT_FALSE(doc->isErrorPage());
  EXPECT_EQ(doc->url(), server.url("/index.html"));  // after the redirect
  EXPECT_EQ(doc->title(), "Served \xC3\xBC");
  EXPECT_EQ(doc->charset(), "utf-8");
  EXPECT_EQ(doc->loadResult().contentType, "text/html; charset=utf-8");
  EXPECT_EQ(doc->links()[0]->getAttribute("href", 0), server.url("/page2.html"));
  ASSERT_EQ(doc->frames().size(), 1u);
  EXPECT_EQ(doc->frames()[0].document->title(), "Frame \xC3\xBC");  // no charset: Windows-1252

  // A 404 and a port nobody listens on give the error page with their reason.
  auto missing = Document::load(server.url("/page2.html"));
  EXPECT_TRUE(missing->isErrorPage());
  EXPECT_EQ(missing->loadResult().status, LoadStatus::HttpError);
  EXPECT_EQ(missing->loadResult().errorCode, 404);
  EXPECT_EQ(missing->title(), kErrorPageTitle);

  std::string closed = "http://127.0.0.1:" + std::to_string(qvtest::closedLoopbackPort()) + "/";
  LoadedPage refused = loadPage(closed);
  EXPECT_TRUE(refused.errorPage);
  EXPECT_EQ(refused.status, LoadStatus::CannotConnect);
  EXPECT_EQ(refused.errorCode, INET_E_CANNOT_CONNECT);
  EXPECT_NE(refused.html.find(closed), std::string::npos);
}

// A program that never goes online does not pay for the http library: it is
// loaded with the first http address.
TEST_F(HtmlLoaderTest, TheHttpLibraryIsLoadedWithTheFirstHttpAddress) {
  qvtest::LoopbackServer server;
  server.serve("/index.html", {200, "Content-Type: text/html\r\n", "<title>Online</title>"});
  const std::string command = qvtest::testBin("prog_http_binding") + " " + server.url("/index.html");
  std::FILE* out = ::popen(command.c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::string report;
  char buf[256];
  while (std::fgets(buf, sizeof buf, out) != nullptr) report += buf;
  EXPECT_EQ(::pclose(out), 0);
  EXPECT_EQ(report, "start 0\npage 0\nhttp 1 loaded\n");
}

TEST_F(HtmlLoaderTest, PostDataAndHeadersReachTheServer) {
  qvtest::LoopbackServer server;
  server.serve("/form", {200, "", "<title>posted</title>"});
  LoadedPage page = loadPage(LoadRequest{server.url("/form"), "q=cd+rom", "X-Test: yes\r\n"});
  EXPECT_FALSE(page.errorPage);
  std::string request = server.lastRequest();
  EXPECT_EQ(request.rfind("POST /form ", 0), 0u) << request;
  EXPECT_NE(request.find("X-Test: yes"), std::string::npos);
}

TEST_F(HtmlLoaderTest, UnsupportedSchemesGiveTheErrorPage) {
  LoadedPage page = loadPage("gopher://host/x");
  EXPECT_TRUE(page.errorPage);
  EXPECT_EQ(page.status, LoadStatus::BadAddress);
}

// Pages that would crash a careless parser load into some tree.
TEST_F(HtmlLoaderTest, MalformedPagesLoad) {
  std::string deep;
  for (int i = 0; i < 50000; ++i) deep += "<div><span>";
  std::string big = "<html><head><title>Big</title></head><body>";
  while (big.size() < (5u << 20)) big += "<p class=x>Paragraph <a href='p.htm'>link</a> text text text</p>\n";
  std::mt19937 random(12345);
  std::string junk(1 << 16, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"unclosed.htm", "<html><body><div><p><b><i><table><tr><td>cell<form name=f><select name=s><option>1<textarea "
                       "name=t>x<input name=a value='v"},
      {"deep.htm", deep},
      {"big.htm", big},
      {"junk.bin", junk},
      {"junk-utf8.htm", "<meta charset=utf-8>" + junk},
      {"wrong-charset.htm", "<meta charset=shift_jis>" + junk},
      {"utf16-odd.htm", std::string("\xFF\xFE<\0h\0t", 7)},
      {"entities.htm", "<!DOCTYPE x SYSTEM 'http://example.test/x.dtd'><p>&bogus; &#xFFFFFFFF; &#0; &amp</p>"},
      {"empty.htm", ""},
  };
  for (const Case& c : cases) {
    writeFile(c.name, c.bytes);
    auto doc = Document::load(windowsPath(c.name));
    ASSERT_NE(doc, nullptr) << c.name;
    EXPECT_FALSE(doc->isErrorPage()) << c.name;
    EXPECT_NE(doc->body(), nullptr) << c.name;
    (void)doc->documentElement()->innerText();
    (void)doc->title();
  }
  auto bigDoc = Document::load(windowsPath("big.htm"));
  EXPECT_EQ(bigDoc->title(), "Big");
  EXPECT_GT(bigDoc->links().size(), 50000u);
  auto unclosed = Document::load(windowsPath("unclosed.htm"));
  EXPECT_EQ(unclosed->elementsByName("s").size(), 1u);
}

}  // namespace
