// A small local site for the document-model tests: a start page with an
// iframe, links with and without target and the search form; a second page
// stored in upper case; the frame's page in a sub-folder.
#pragma once

#include <memory>
#include <string>

#include "DesktopTest.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/Url.h"
#include "platform/os/kernel/Paths.h"

namespace qvtest {

class SiteTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    writeFile("site/index.html", R"(<html><head><title> Start
      Page </title></head>
<body class="main" style="cursor: wait">
<h1 id="head">Welcome</h1>
<p>Intro <b>text</b> here.<br>Next line</p>
<a id="l2" href="page2.html">Second page</a>
<a id="ext" href="http://example.test/ext" target="_blank">External</a>
<a name="top">Anchor</a>
<img src="img/logo.gif" name="logo">
<iframe name="side" src="frame/side.htm"></iframe>
<form name="searchform" action="search.htm?old=1#x" target="main">
  <input name="searchterm" value="cd rom">
  <input type="hidden" name="lang" value="de">
  <input type="checkbox" name="exact" value="yes" checked>
  <input type="checkbox" name="fuzzy">
  <input type="radio" name="scope" value="all">
  <input type="radio" name="scope" value="titles" checked>
  <select name="sort"><option value="date">By date<option selected>Relevance</select>
  <textarea name="notes">
line one
line two</textarea>
  <input type="submit" name="go" value="Search">
  <input name="off" value="x" disabled>
</form>
<div id="searchterm">not a field: an id that matches a field name</div>
</body></html>)");
    writeFile("site/PAGE2.HTML", "<html><head><title>Second</title></head><body><p>Page two</p></body></html>");
    writeFile("site/frame/side.htm",
              "<html><head><title>Side</title></head><body><a href=\"../page2.html\">Back to two</a></body></html>");
  }
  std::string windowsPath(const std::string& relative) const { return qv::os::toWindowsPath(hostPath(relative)); }
  std::string siteUrl(const std::string& relative) const { return qv::browser::pathToFileUrl(windowsPath(relative)); }
  std::shared_ptr<qv::browser::Document> loadIndex() const {
    return qv::browser::Document::load(windowsPath("site/index.html"));
  }
};

}  // namespace qvtest
