#include <gtest/gtest.h>

#include "DesktopTest.h"
#include "platform/browser/Url.h"

namespace {

using namespace qv::browser;

class BrowserUrlTest : public qvtest::DesktopTest {};

TEST_F(BrowserUrlTest, FileUrlsReadAsPlatformPaths) {
  struct Case {
    const char* url;
    const char* path;
  } cases[] = {
      {"file:///D:/menu/index.html", "D:\\menu\\index.html"},
      {"file://D:\\menu\\x.htm", "D:\\menu\\x.htm"},
      {"file:D:/menu/x.htm", "D:\\menu\\x.htm"},
      {"FILE:///d|/menu/x.htm", "d:\\menu\\x.htm"},
      {"file:///D:/my%20menu/a%25b.htm?x=1#top", "D:\\my menu\\a%b.htm"},
      {"file://server/share/x.htm", "\\\\server\\share\\x.htm"},
  };
  for (const Case& c : cases) EXPECT_EQ(fileUrlToPath(c.url).value_or("<none>"), c.path) << c.url;
  EXPECT_FALSE(fileUrlToPath("http://host/x").has_value());
}

TEST_F(BrowserUrlTest, PathsAndTypedAddressesNormalize) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"D:\\menu\\index.html", "file:///D:/menu/index.html"},
      {"D:\\my menu\\x#1.htm", "file:///D:/my%20menu/x%231.htm"},
      {"file://D:\\menu\\x.htm", "file:///D:/menu/x.htm"},
      {"file:///D:/menu/x.htm#part", "file:///D:/menu/x.htm#part"},
      {"file://D:\\menu\\s.htm?searchform=1", "file:///D:/menu/s.htm?searchform=1"},
      {"HTTP://LocalHost:8080", "http://localhost:8080/"},
      {"http://host/a/./b/../c.htm?q=A", "http://host/a/c.htm?q=A"},
      {"about:blank", "about:blank"},
      {"", "about:blank"},
  };
  for (const Case& c : cases) EXPECT_EQ(normalizeUrl(c.in), c.out) << c.in;
}

TEST_F(BrowserUrlTest, ReferencesResolveAgainstThePage) {
  struct Case {
    const char* base;
    const char* ref;
    const char* out;
  } cases[] = {
      {"file:///D:/menu/index.html", "page2.html", "file:///D:/menu/page2.html"},
      {"file://D:\\menu\\index.html", "sub\\p.htm", "file:///D:/menu/sub/p.htm"},
      {"file:///D:/menu/sub/a.htm", "../../../x.htm", "file:///D:/x.htm"},
      {"file:///D:/menu/sub/a.htm", "/top.htm", "file:///D:/top.htm"},
      {"file:///D:/menu/a.htm", "#anchor", "file:///D:/menu/a.htm#anchor"},
      {"file:///D:/menu/a.htm", "", "file:///D:/menu/a.htm"},
      {"file:///D:/menu/a.htm", "E:\\other\\b.htm", "file:///E:/other/b.htm"},
      {"file:///D:/menu/a.htm", "http://Example.test/x", "http://example.test/x"},
      {"file:///D:/menu/a.htm", "javascript:go()", "javascript:go()"},
      {"file:///D:/menu/a.htm", "mailto:a@b.test", "mailto:a@b.test"},
      {"http://h/a/b.htm?x", "?y", "http://h/a/b.htm?y"},
      {"http://h/a/b.htm", "//other/c", "http://other/c"},
      {"http://h/a/b.htm", "  c.htm  ", "http://h/a/c.htm"},
      {"http://h:81/", "search.htm?searchform=1", "http://h:81/search.htm?searchform=1"},
  };
  for (const Case& c : cases) EXPECT_EQ(resolveUrl(c.base, c.ref), c.out) << c.base << " + " << c.ref;
}

TEST_F(BrowserUrlTest, PercentDecoding) {
  EXPECT_EQ(percentDecode("a%20b%2fc"), "a b/c");
  EXPECT_EQ(percentDecode("100%"), "100%");
  EXPECT_EQ(percentDecode("%zz%4"), "%zz%4");
  EXPECT_EQ(percentDecode("a+b%2B", true), "a b+");
  EXPECT_EQ(percentDecode("a+b"), "a+b");
}

}  // namespace
