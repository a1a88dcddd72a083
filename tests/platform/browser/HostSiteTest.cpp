// The control's calls to its host site: TranslateUrl, the ambient download
// flags, GetHostInfo, the unload and script-error commands, context menus
// and messages.
#include "BrowserHarness.h"
#include "platform/desktop/Recorder.h"

namespace qvtest {
namespace {

using qv::com::ComPtr;
using qv::com::Variant;

class HostSiteTest : public BrowserTest {};

TEST_F(HostSiteTest, LoadAsksTheHostBeforeTheDocumentIsMade) {
  site->calls.clear();
  go(windowsPath("site/PAGE2.HTML"));
  EXPECT_EQ(site->calls, (std::vector<std::string>{
                             "TranslateUrl " + windowsPath("site/PAGE2.HTML"),
                             "Invoke " + std::to_string(DISPID_AMBIENT_DLCONTROL),
                             "GetHostInfo " + std::to_string(sizeof(DOCHOSTUIINFO)),
                         }));
  EXPECT_EQ(control->hostInfo().dwFlags, 0x240004u);
  EXPECT_EQ(control->downloadControl(), 0x70u);

  // A second page unloads the first one through the host's command target.
  site->calls.clear();
  go(windowsPath("site/index.html"));
  EXPECT_EQ(site->callsStarting("Exec"), std::vector<std::string>{"Exec {000214D0-0000-0000-C000-000000000046} 37"});
}

TEST_F(HostSiteTest, AmbientChangeRereadsTheDownloadFlags) {
  site->dlControl = 0x80000070;
  ComPtr<IDispatch> app;
  wb->get_Application(app.put());
  ComPtr<IOleControl> ole;
  ASSERT_EQ(app->QueryInterface(IID_IOleControl, ole.putVoid()), S_OK);
  ASSERT_EQ(ole->OnAmbientPropertyChange(DISPID_AMBIENT_DLCONTROL), S_OK);
  EXPECT_EQ(control->downloadControl(), 0x80000070u);
}

TEST_F(HostSiteTest, TranslatedUrlIsTheOneNavigated) {
  site->translate = [this](const std::string& url) {
    return url == "start:" ? windowsPath("site/index.html") : std::string();
  };
  go("start:");
  ASSERT_FALSE(sink->lines.empty());
  EXPECT_EQ(sink->lines.front(), "BeforeNavigate2 " + siteUrl("site/index.html"));
  EXPECT_EQ(control->document()->title(), "Start Page");
}

TEST_F(HostSiteTest, ScriptErrorGoesToTheHostWithTheEventObject) {
  struct Case {
    HRESULT answer;
    bool dialog;
  };
  for (const Case c : {Case{S_OK, false}, Case{OLECMDERR_E_NOTSUPPORTED, true}}) {
    SCOPED_TRACE(c.answer);
    qv::desktop::Recorder::clearEvents();
    go(windowsPath("site/index.html"));
    std::string line, message;
    bool documentGiven = false;
    site->exec = [&](const GUID* group, DWORD id, VARIANT* in, VARIANT*) -> HRESULT {
      if (!group || *group != CGID_DocHostCommandHandler || id != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_NOTSUPPORTED;
      documentGiven = in && in->vt == VT_UNKNOWN && in->punkVal;
      // As a host reads it: Document -> parentWindow -> event -> properties.
      ComPtr<IDispatch> doc;
      wb->get_Document(doc.put());
      Variant window, event, value;
      qv::com::getProperty(doc.get(), "parentWindow", window);
      qv::com::getProperty(window.raw().pdispVal, "event", event);
      qv::com::getProperty(event.raw().pdispVal, "errorline", value);
      line = value.toString().value_or("");
      qv::com::getProperty(event.raw().pdispVal, "errorMessage", value);
      message = value.toString().value_or("");
      return c.answer;
    };
    control->scriptError(12, 5, 0x800A01B6, "Object expected", siteUrl("site/index.html"));
    EXPECT_TRUE(documentGiven);
    EXPECT_EQ(line, "12");
    EXPECT_EQ(message, "Object expected");
    const auto dialogs = qv::desktop::Recorder::eventsOf("scripterror");
    ASSERT_EQ(dialogs.size(), c.dialog ? 1u : 0u);
    if (c.dialog) {
      EXPECT_EQ(dialogs[0].fields, (std::vector<std::string>{"12", "5", std::to_string(LONG(0x800A01B6)),
                                                             "Object expected", siteUrl("site/index.html")}));
    }
    EXPECT_FALSE(control->document()->event());  // the event is over
  }
}

TEST_F(HostSiteTest, RightClickOffersTheHostTheContextMenu) {
  go(windowsPath("site/index.html"));
  for (const HRESULT answer : {S_OK, S_FALSE}) {
    SCOPED_TRACE(answer);
    qv::desktop::Recorder::clearEvents();
    site->contextMenuAnswer = answer;
    SendMessage(control->window(), WM_RBUTTONUP, 0, MAKELPARAM(30, 40));
    POINT screen{30, 40};
    ClientToScreen(control->window(), &screen);
    EXPECT_EQ(site->calls.back(), "ShowContextMenu 0 " + std::to_string(screen.x) + " " + std::to_string(screen.y) +
                                      " object");
    const auto menus = qv::desktop::Recorder::eventsOf("contextmenu");
    ASSERT_EQ(menus.size(), answer == S_OK ? 0u : 1u);
    if (answer != S_OK) {
      EXPECT_EQ(menus[0].fields, (std::vector<std::string>{std::to_string(screen.x), std::to_string(screen.y)}));
    }
  }
}

TEST_F(HostSiteTest, AlertShowsTheHostsMessageOrTheControlsOwn) {
  go(windowsPath("site/index.html"));
  site->showMessageAnswer = S_OK;
  control->alert("Hallo");
  EXPECT_EQ(site->calls.back(), "ShowMessage Hallo");
  EXPECT_TRUE(qv::desktop::Recorder::eventsOf("msgbox").empty());
  site->showMessageAnswer = S_FALSE;
  control->alert("Again");
  const auto boxes = qv::desktop::Recorder::eventsOf("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].fields.at(1), "Again");
}

TEST_F(HostSiteTest, RefreshKeyIsOfferedToTheHostFirst) {
  go(windowsPath("site/index.html"));
  writeFile("site/index.html", "<html><head><title>Changed</title></head></html>");
  site->exec = [](const GUID* group, DWORD id, VARIANT*, VARIANT*) {
    return group && *group == CGID_DocHostCommandHandler && id == IDM_REFRESH_TOP ? S_OK : OLECMDERR_E_NOTSUPPORTED;
  };
  SendMessage(control->window(), WM_KEYDOWN, VK_F5, 0);
  EXPECT_EQ(control->document()->title(), "Start Page");  // the host took it
  site->exec = nullptr;
  SendMessage(control->window(), WM_KEYDOWN, VK_F5, 0);
  EXPECT_EQ(control->document()->title(), "Changed");
}

}  // namespace
}  // namespace qvtest
