// A form holding a TWebHost on the headless desktop (virtual clock), a small
// local site of three pages with an iframe and a search form, and the host
// interfaces as the browser finds them on its client site.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "browserhost/WebHost.h"
#include "platform/browser/HtmlDispatch.h"
#include "platform/browser/WebBrowser.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/Message.h"

namespace qvtest {

inline std::string variantText(const VARIANT& v) {
  qv::com::Variant copy;
  VariantCopyInd(copy.put(), &v);
  return copy.toString().value_or("");
}

class WebHostTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    writeFile("site/index.html",
              "<html><head><title>Start</title></head><body>"
              "<a id=\"two\" href=\"page2.html\">two</a>"
              "<a id=\"pop\" href=\"page3.html\" target=\"popup\">pop</a>"
              "<iframe name=\"side\" src=\"side.html\"></iframe>"
              "<form name=\"searchform\" action=\"searchform.html\">"
              "<input name=\"searchterm\" value=\"\"></form></body></html>");
    writeFile("site/page2.html",
              "<html><head><title>Two</title></head><body><a href=\"page3.html\">three</a></body></html>");
    writeFile("site/page3.html", "<html><head><title>Three</title></head><body>3</body></html>");
    writeFile("site/side.html", "<html><head><title>Side</title></head><body>side</body></html>");
    form = TForm::CreateNew(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetPosition(poDesigned);
    form->SetBounds(0, 0, 640, 480);
    host = new TWebHost(form);
    host->SetParent(form);
    host->SetAlign(alClient);
    form->Show();
    pump();
  }
  void TearDown() override {
    delete form;
    pump();
    DesktopTest::TearDown();
  }

  static void pump() { qv::os::pumpMessages(); }
  std::string page(const std::string& name) const { return qv::os::toWindowsPath(hostPath("site/" + name)); }
  void go(const std::string& name) {
    host->NavigateTo(page(name));
    pump();
  }
  qv::browser::WebBrowser* browser() const { return qv::browser::webBrowserOf(host->DefaultInterface()); }

  // A host interface as the browser gets it: through its client site.
  template <class I>
  qv::com::ComPtr<I> hostInterface() const {
    qv::com::ComPtr<IOleObject> ole;
    host->DefaultInterface()->QueryInterface(IID_IOleObject, ole.putVoid());
    qv::com::ComPtr<IOleClientSite> site;
    if (ole) ole->GetClientSite(site.put());
    qv::com::ComPtr<I> out;
    if (site) site->QueryInterface(I::Iid, out.putVoid());
    return out;
  }

  static std::size_t eventCount(const std::string& kind) { return qv::desktop::Recorder::eventsOf(kind).size(); }

  TForm* form = nullptr;
  TWebHost* host = nullptr;
};

}  // namespace qvtest
