// TWebHost driven like a user drives a page: links, back and forward, a link
// with a target, the search form read through the document model, Cancel,
// title and status text, and a page from a loopback HTTP server.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "WebHostFixture.h"
#include "platform/browser/HtmlInterfaces.h"
#include "platform/com/Bstr.h"

namespace {

using qv::com::ComPtr;
using qv::com::Variant;
using qvtest::variantText;

std::string fileName(const std::string& url) { return url.substr(url.find_last_of("/\\") + 1); }

// The document's attribute of its active element, as the runtime reads it.
std::string activeAttribute(TWebHost* host, const char* name) {
  ComPtr<IDispatch> doc = host->Document();
  ComPtr<IHTMLDocument2> page;
  if (doc) doc->QueryInterface(IID_IHTMLDocument2, page.putVoid());
  ComPtr<IHTMLElement> active;
  if (!page || FAILED(page->get_activeElement(active.put())) || !active) return "?";
  Variant value;
  qv::com::Bstr attr(name);
  active->getAttribute(attr.get(), 0, value.put());
  return value.toString().value_or("?");
}

class WebHostSiteTest : public qvtest::WebHostTest {
 protected:
  void SetUp() override {
    WebHostTest::SetUp();
    host->OnCommandStateChange = [this](TObject*, int cmd, bool on) {
      if (cmd == CSC_NAVIGATEFORWARD || cmd == CSC_NAVIGATEBACK)
        log.push_back("state " + std::to_string(cmd) + (on ? " on" : " off"));
    };
    host->OnTitleChange = [this](TObject*, const std::string& t) { log.push_back("title " + t); };
    host->OnStatusTextChange = [this](TObject*, const std::string& t) { log.push_back("status " + fileName(t)); };
    host->OnDocumentComplete = [this](TObject*, IDispatch* d, const VARIANT& url) {
      log.push_back("complete " + fileName(variantText(url)) + (d == host->Application().get() ? " top" : " frame"));
    };
  }
  std::vector<std::string> logOf(const std::string& prefix) const {
    std::vector<std::string> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                 [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    return out;
  }
  std::string location() { return fileName(host->LocationURL()); }

  std::vector<std::string> log;
};

TEST_F(WebHostSiteTest, LinksBackAndForwardWithCommandStateChange) {
  go("index.html");
  EXPECT_EQ(logOf("title"), std::vector<std::string>{"title Start"});
  // The iframe's page completes before the top page.
  EXPECT_EQ(logOf("complete"), (std::vector<std::string>{"complete side.html frame", "complete index.html top"}));

  log.clear();
  ASSERT_TRUE(browser()->clickLinkText("two"));
  pump();
  EXPECT_EQ(location(), "page2.html");
  EXPECT_EQ(logOf("state"), std::vector<std::string>{"state 2 on"});
  EXPECT_EQ(logOf("title"), std::vector<std::string>{"title Two"});

  log.clear();
  host->GoBack();
  pump();
  EXPECT_EQ(location(), "index.html");
  EXPECT_EQ(logOf("state"), (std::vector<std::string>{"state 1 on", "state 2 off"}));

  log.clear();
  host->GoForward();
  pump();
  EXPECT_EQ(location(), "page2.html");
  EXPECT_EQ(logOf("state"), (std::vector<std::string>{"state 1 off", "state 2 on"}));
}

TEST_F(WebHostSiteTest, TargetLinkRaisesNewWindow2WithHrefAndTargetOnTheActiveElement) {
  go("index.html");
  std::string href, target;
  host->OnNewWindow2 = [&](TObject*, ComPtr<IDispatch>& disp, bool& cancel) {
    href = activeAttribute(host, "href");
    target = activeAttribute(host, "target");
    disp = nullptr;
    cancel = true;
  };
  const std::size_t loads = eventCount("navigate");
  ASSERT_TRUE(browser()->clickLinkText("pop"));
  pump();
  EXPECT_EQ(fileName(href), "page3.html");
  EXPECT_EQ(href.rfind("file:///", 0), 0u) << href;  // absolute
  EXPECT_EQ(target, "popup");
  EXPECT_EQ(eventCount("navigate"), loads);
  EXPECT_EQ(eventCount("newwindow"), 0u);
  EXPECT_EQ(location(), "index.html");
}

TEST_F(WebHostSiteTest, SearchFormReachesBeforeNavigate2WithTheTypedValueAndCancelStopsIt) {
  go("index.html");
  std::string url, typed;
  host->OnBeforeNavigate2 = [&](TObject*, IDispatch*, const VARIANT& u, const VARIANT&, const VARIANT&,
                                const VARIANT&, const VARIANT&, bool& cancel) {
    url = variantText(u);
    if (url.find("searchform") == std::string::npos) return;
    // The term as the runtime reads it: by name through the document.
    ComPtr<IDispatch> doc = host->Document();
    ComPtr<IHTMLDocument3> doc3;
    doc->QueryInterface(IID_IHTMLDocument3, doc3.putVoid());
    ComPtr<IHTMLElementCollection> fields;
    qv::com::Bstr name("searchterm");
    doc3->getElementsByName(name.get(), fields.put());
    ComPtr<IDispatch> item;
    Variant index(LONG(0));
    fields->item(*index.get(), *index.get(), item.put());
    ComPtr<IHTMLInputElement> input;
    if (item) item->QueryInterface(IID_IHTMLInputElement, input.putVoid());
    qv::com::Bstr value;
    if (input) input->get_value(value.put());
    typed = value.toAnsi();
    cancel = true;
  };
  const std::size_t loads = eventCount("navigate");
  ASSERT_TRUE(browser()->setField("searchterm", "cd rom"));
  ASSERT_TRUE(browser()->submitForm("searchform"));
  pump();
  EXPECT_NE(url.find("searchform.html?searchterm=cd"), std::string::npos) << url;
  EXPECT_EQ(typed, "cd rom");
  // Cancelled: nothing loaded, the page stays.
  EXPECT_EQ(eventCount("navigate"), loads);
  EXPECT_EQ(location(), "index.html");
  EXPECT_FALSE(host->Busy());
}

TEST_F(WebHostSiteTest, StatusTextFollowsTheLinkUnderThePointer) {
  go("page2.html");
  log.clear();
  qv::browser::Document& doc = *browser()->document();
  browser()->hover(doc.findLink("three"));
  browser()->hover(nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"status page3.html", "status "}));
}

TEST_F(WebHostSiteTest, NavigateToPidlShowsTheListsPathAndNothingWithoutAList) {
  LPITEMIDLIST list = qv::os::itemListFromPath(page("page3.html"));
  ASSERT_NE(list, nullptr);
  host->NavigateToPidl(list);
  ILFree(list);
  pump();
  EXPECT_EQ(location(), "page3.html");
  EXPECT_EQ(host->LocationName(), "Three");

  log.clear();
  host->NavigateToPidl(nullptr);
  pump();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(location(), "page3.html");
}

TEST_F(WebHostSiteTest, PageFromALoopbackServer) {
  qvtest::LoopbackServer server;
  server.serve("/disc/start.html", {200, "Content-Type: text/html\r\n",
                                    "<html><head><title>Served menu</title></head><body>"
                                    "<a href=\"next.html\">next</a></body></html>"});
  server.serve("/disc/next.html", {200, "Content-Type: text/html\r\n",
                                   "<html><head><title>Next</title></head><body>n</body></html>"});
  host->NavigateTo(server.url("/disc/start.html"));
  pump();
  EXPECT_EQ(host->LocationName(), "Served menu");
  EXPECT_EQ(host->LocationURL(), server.url("/disc/start.html"));
  ASSERT_TRUE(browser()->clickLinkText("next"));
  pump();
  EXPECT_EQ(host->LocationName(), "Next");
  EXPECT_NE(server.lastRequest().find("GET /disc/next.html"), std::string::npos);
}

}  // namespace
