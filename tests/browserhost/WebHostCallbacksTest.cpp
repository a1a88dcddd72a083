// TWebHost as the browser's host: option sets and their flag words as the
// browser reads them, GetHostInfo, the ambient dispatch, the fixed answers
// without handlers, the Exec rules (refresh, unload, script errors) and the
// find and copy commands.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "WebHostFixture.h"
#include "platform/com/Bstr.h"
#include "platform/com/Ole.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/MessageBox.h"

namespace {

using qv::com::ComPtr;
using qv::com::Variant;
using DL = TDownloadControlOption;
using UI = TUserInterfaceOption;

class WebHostCallbacksTest : public qvtest::WebHostTest {};

TEST_F(WebHostCallbacksTest, OptionSetsGiveTheirFlagWordsAndReachTheBrowser) {
  // The defaults: images, videos and background sounds; no UI flags.
  EXPECT_EQ(host->DownloadFlags(), 0x70u);
  EXPECT_EQ(browser()->downloadControl(), 0x70u);
  EXPECT_EQ(host->UserInterfaceFlags(), 0u);

  struct Case {
    TUserInterfaceOptions options;
    DWORD flags;
  };
  const Case uiCases[] = {
      {{UI::NO3DBORDER, UI::THEME, UI::NO3DOUTERBORDER}, 0x240004},
      {{UI::NO3DBORDER, UI::THEME, UI::NO3DOUTERBORDER, UI::SCROLL_NO}, 0x24000C},
      {{UI::DIALOG, UI::ENABLE_FORMS_AUTOCOMPLETE, UI::ENABLE_INPLACE_NAVIGATION}, 0x14001},
      {{}, 0},
  };
  for (const Case& c : uiCases) {
    host->SetUserInterfaceOptions(c.options);
    EXPECT_EQ(host->UserInterfaceFlags(), c.flags);
  }

  const std::pair<TDownloadControlOptions, DWORD> dlCases[] = {
      {{DL::DLCTL_NO_SCRIPTS, DL::DLCTL_SILENT}, 0x40000080},
      {{DL::DLCTL_NO_CLIENTPULL, DL::DLCTL_FORCEOFFLINE, DL::DLCTL_OFFLINE}, 0xB0000000},
      {{DL::DLCTL_URL_ENCODING_ENABLE_UTF8, DL::DLCTL_DLIMAGES}, 0x40010},
      {{}, 0},
  };
  for (const auto& [options, flags] : dlCases) {
    host->SetDownloadOptions(options);
    EXPECT_EQ(host->DownloadFlags(), flags);
    // Pushed at once through the ambient-property notification.
    EXPECT_EQ(browser()->downloadControl(), flags);
  }
}

TEST_F(WebHostCallbacksTest, GetHostInfoReportsSize20AndTheUserInterfaceFlags) {
  host->SetUserInterfaceOptions({UI::NO3DBORDER, UI::THEME, UI::NO3DOUTERBORDER});
  go("page3.html");
  // What the browser got when it made the document.
  EXPECT_EQ(browser()->hostInfo().cbSize, 20u);
  EXPECT_EQ(browser()->hostInfo().dwFlags, 0x240004u);

  // A handler sees the filled structure and may change it; its result counts.
  auto ui = hostInterface<IDocHostUIHandler>();
  ASSERT_TRUE(ui);
  ULONG seenSize = 0;
  host->OnGetHostInfo = [&](DOCHOSTUIINFO& info) {
    seenSize = info.cbSize;
    info.dwDoubleClick = 2;
    return E_NOTIMPL;
  };
  DOCHOSTUIINFO info{};
  info.dwDoubleClick = 7;
  EXPECT_EQ(ui->GetHostInfo(&info), E_NOTIMPL);
  EXPECT_EQ(seenSize, 20u);
  EXPECT_EQ(info.dwFlags, 0x240004u);
  EXPECT_EQ(info.dwDoubleClick, 2u);
}

TEST_F(WebHostCallbacksTest, AmbientDispatchAnswersDownloadFlagsThenHandlerOrInheritedProperties) {
  auto disp = hostInterface<IDispatch>();
  ASSERT_TRUE(disp);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant result;
  ASSERT_EQ(disp->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), nullptr,
                         nullptr),
            S_OK);
  EXPECT_EQ(result.vt(), VT_I4);
  EXPECT_EQ(result.raw().lVal, 0x70);

  // Without a handler the control's inherited ambient properties answer.
  ASSERT_EQ(disp->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), nullptr,
                         nullptr),
            S_OK);
  EXPECT_EQ(result.toBool(), std::optional<bool>(true));

  std::vector<DISPID> seen;
  host->OnInvoke = [&](int id, const GUID&, int, WORD, DISPPARAMS&, VARIANT*, EXCEPINFO*, UINT*) {
    seen.push_back(id);
    return DISP_E_MEMBERNOTFOUND;
  };
  EXPECT_EQ(disp->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), nullptr,
                         nullptr),
            DISP_E_MEMBERNOTFOUND);
  // The download flags are answered before the handler is asked.
  EXPECT_EQ(disp->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), nullptr,
                         nullptr),
            S_OK);
  EXPECT_EQ(seen, std::vector<DISPID>{DISPID_AMBIENT_USERMODE});
}

TEST_F(WebHostCallbacksTest, WithoutHandlersEveryCallbackGivesItsFixedAnswer) {
  auto ui = hostInterface<IDocHostUIHandler2>();
  auto showUi = hostInterface<IDocHostShowUI>();
  auto services = hostInterface<IServiceProvider>();
  auto disp = hostInterface<IDispatch>();
  auto commands = hostInterface<IOleCommandTarget>();
  ASSERT_TRUE(ui && showUi && services && disp && commands);

  POINT pt{1, 2};
  RECT rc{0, 0, 1, 1};
  MSG msg{};
  qv::com::Bstr url("http://x.test/");
  // Out parameters start non-null so that clearing them shows.
  auto* const junk = reinterpret_cast<void*>(0x1);
  struct Case {
    const char* name;
    std::function<HRESULT(bool& outCleared)> call;
    HRESULT expected;
  };
  const std::vector<Case> cases = {
      {"ShowContextMenu", [&](bool&) { return ui->ShowContextMenu(0, &pt, nullptr, nullptr); }, S_FALSE},
      {"ShowUI", [&](bool&) { return ui->ShowUI(0, nullptr, nullptr, nullptr, nullptr); }, S_FALSE},
      {"HideUI", [&](bool&) { return ui->HideUI(); }, S_FALSE},
      {"UpdateUI", [&](bool&) { return ui->UpdateUI(); }, S_FALSE},
      {"EnableModeless", [&](bool&) { return ui->EnableModeless(TRUE); }, S_FALSE},
      {"OnDocWindowActivate", [&](bool&) { return ui->OnDocWindowActivate(TRUE); }, S_FALSE},
      {"OnFrameWindowActivate", [&](bool&) { return ui->OnFrameWindowActivate(TRUE); }, S_FALSE},
      {"ResizeBorder", [&](bool&) { return ui->ResizeBorder(&rc, nullptr, TRUE); }, S_FALSE},
      {"TranslateAccelerator", [&](bool&) { return ui->TranslateAccelerator(&msg, nullptr, 0); }, S_FALSE},
      {"GetOptionKeyPath",
       [&](bool&) {
         LPOLESTR key = nullptr;
         return ui->GetOptionKeyPath(&key, 0);
       },
       S_FALSE},
      {"TranslateUrl",
       [&](bool&) {
         LPOLESTR out = nullptr;
         return ui->TranslateUrl(0, url.get(), &out);
       },
       S_FALSE},
      {"ShowMessage",
       [&](bool&) {
         LRESULT r = 0;
         return showUi->ShowMessage(nullptr, url.get(), url.get(), 0, nullptr, 0, &r);
       },
       S_FALSE},
      {"GetDropTarget",
       [&](bool& cleared) {
         auto* out = static_cast<IDropTarget*>(junk);
         const HRESULT hr = ui->GetDropTarget(nullptr, &out);
         cleared = out == nullptr;
         return hr;
       },
       S_OK},
      {"GetExternal",
       [&](bool& cleared) {
         auto* out = static_cast<IDispatch*>(junk);
         const HRESULT hr = ui->GetExternal(&out);
         cleared = out == nullptr;
         return hr;
       },
       S_FALSE},
      {"FilterDataObject",
       [&](bool& cleared) {
         auto* out = static_cast<IDataObject*>(junk);
         const HRESULT hr = ui->FilterDataObject(nullptr, &out);
         cleared = out == nullptr;
         return hr;
       },
       S_FALSE},
      {"GetOverrideKeyPath",
       [&](bool&) {
         LPOLESTR key = nullptr;
         return ui->GetOverrideKeyPath(&key, 0);
       },
       S_OK},
      {"ShowHelp", [&](bool&) { return showUi->ShowHelp(nullptr, nullptr, 0, 0, pt, nullptr); }, S_FALSE},
      {"QueryService",
       [&](bool& cleared) {
         void* out = junk;
         const HRESULT hr = services->QueryService(IID_IUnknown, IID_IUnknown, &out);
         cleared = out == nullptr;
         return hr;
       },
       E_NOINTERFACE},
      {"GetTypeInfoCount",
       [&](bool& cleared) {
         UINT count = 5;
         const HRESULT hr = disp->GetTypeInfoCount(&count);
         cleared = count == 0;
         return hr;
       },
       E_NOTIMPL},
      {"GetTypeInfo",
       [&](bool& cleared) {
         auto* out = static_cast<ITypeInfo*>(junk);
         const HRESULT hr = disp->GetTypeInfo(0, 0, &out);
         cleared = out == nullptr;
         return hr;
       },
       E_NOTIMPL},
      {"GetIDsOfNames",
       [&](bool&) {
         LPOLESTR names[] = {url.get()};
         DISPID id = 0;
         return disp->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
       },
       E_NOTIMPL},
      {"QueryStatus",
       [&](bool&) {
         OLECMD cmd{OLECMDID_COPY, 0};
         return commands->QueryStatus(nullptr, 1, &cmd, nullptr);
       },
       S_OK},
  };
  for (const Case& c : cases) {
    bool cleared = true;
    EXPECT_EQ(c.call(cleared), c.expected) << c.name;
    EXPECT_TRUE(cleared) << c.name;
  }
}

TEST_F(WebHostCallbacksTest, HandlersReplaceTheFixedAnswersOnTheBrowsersOwnPaths) {
  go("index.html");
  // Right click: the browser's own menu without a handler, none when the
  // handler takes it.
  browser()->rightClick(POINT{10, 10});
  EXPECT_EQ(eventCount("contextmenu"), 1u);
  DWORD menuId = 99;
  host->OnShowContextMenu = [&](DWORD id, const POINT*, IUnknown*, IDispatch* object) {
    menuId = id;
    return object ? S_OK : E_FAIL;
  };
  browser()->rightClick(POINT{10, 10});
  EXPECT_EQ(eventCount("contextmenu"), 1u);
  EXPECT_EQ(menuId, static_cast<DWORD>(CONTEXT_MENU_DEFAULT));

  // An alert: the handler's S_OK keeps the browser's message box away.
  std::string alertText;
  host->OnShowMessage = [&](HWND, LPCOLESTR text, LPCOLESTR, int, LPCOLESTR, int, LRESULT& result) {
    alertText = qv::com::Bstr(std::u16string_view(text)).toAnsi();
    result = IDOK;
    return S_OK;
  };
  browser()->alert("Hallo");
  EXPECT_EQ(alertText, "Hallo");
  EXPECT_EQ(eventCount("msgbox"), 0u);

  // Help (F1 on the page): the browser's own without a help file; with one
  // the viewer shows that file and the browser shows none.
  SendMessage(browser()->window(), WM_KEYDOWN, VK_F1, 0);
  host->SetHelpFile("C:\\Quorvel.chm");
  SendMessage(browser()->window(), WM_KEYDOWN, VK_F1, 0);
  auto showUi = hostInterface<IDocHostShowUI>();
  EXPECT_EQ(showUi->ShowHelp(nullptr, nullptr, 15, 7, POINT{0, 0}, nullptr), S_OK);
  std::vector<std::vector<std::string>> help;
  for (const auto& e : qv::desktop::Recorder::eventsOf("htmlhelp")) help.push_back(e.fields);
  EXPECT_EQ(help, (std::vector<std::vector<std::string>>{{"iexplore.chm", "0", "0"},
                                                         {"C:\\Quorvel.chm", "0", "0"},
                                                         {"C:\\Quorvel.chm", "15", "7"}}));

  // A handler that fails with an exception answers with an error instead of
  // unwinding through the browser.
  auto ui = hostInterface<IDocHostUIHandler>();
  host->OnHideUI = []() -> HRESULT { throw EConvertError("broken handler"); };
  EXPECT_EQ(ui->HideUI(), E_FAIL);
}

TEST_F(WebHostCallbacksTest, OutParametersCarryTheHandlersResults) {
  // TranslateUrl on the browser's own path: the page it loads is the host's.
  host->OnTranslateUrl = [](DWORD, LPCOLESTR in, LPOLESTR& out) -> HRESULT {
    std::u16string url(in);
    const auto at = url.find(u"page3.html");
    if (at == std::u16string::npos) return S_FALSE;
    url.replace(at, 10, u"page2.html");
    out = static_cast<LPOLESTR>(CoTaskMemAlloc((url.size() + 1) * sizeof(OLECHAR)));
    std::copy(url.begin(), url.end(), out);
    out[url.size()] = 0;
    return S_OK;
  };
  go("page3.html");
  EXPECT_EQ(host->LocationName(), "Two");

  auto ui = hostInterface<IDocHostUIHandler>();
  ComPtr<IDispatch> external = host->Application();
  host->OnGetExternal = [&](ComPtr<IDispatch>& out) {
    out = external;
    return S_OK;
  };
  IDispatch* got = nullptr;
  EXPECT_EQ(ui->GetExternal(&got), S_OK);
  EXPECT_EQ(got, external.get());
  if (got) got->Release();
}

// The browser may hold the host interfaces past the control; they then
// answer as a control without handlers would.
TEST_F(WebHostCallbacksTest, HostInterfacesOutliveTheControlSafely) {
  auto ui = hostInterface<IDocHostUIHandler>();
  auto commands = hostInterface<IOleCommandTarget>();
  ASSERT_TRUE(ui && commands);
  bool called = false;
  host->OnHideUI = [&]() {
    called = true;
    return S_OK;
  };
  delete form;
  form = nullptr;
  EXPECT_EQ(ui->HideUI(), S_FALSE);
  EXPECT_FALSE(called);
  DOCHOSTUIINFO info{};
  EXPECT_EQ(ui->GetHostInfo(&info), S_OK);
  EXPECT_EQ(info.cbSize, 20u);
  EXPECT_EQ(commands->Exec(&CGID_DocHostCommandHandler, IDM_REFRESH, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);
}

TEST_F(WebHostCallbacksTest, ExecFollowsTheGroupsAndCommands) {
  auto commands = hostInterface<IOleCommandTarget>();
  ASSERT_TRUE(commands);
  std::vector<std::string> calls;
  bool cancelRefresh = false;
  struct Case {
    const GUID* group;
    DWORD cmd;
    bool withHandlers;
    HRESULT expected;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {nullptr, OLECMDID_SHOWSCRIPTERROR, true, OLECMDERR_E_UNKNOWNGROUP, {}},
      {&CGID_IWebBrowser, 1, true, OLECMDERR_E_NOTSUPPORTED, {}},
      {&CGID_Explorer, SBCMDID_ONUNLOAD, false, OLECMDERR_E_NOTSUPPORTED, {}},
      {&CGID_Explorer, SBCMDID_ONUNLOAD, true, OLECMDERR_E_NOTSUPPORTED, {"unload"}},
      {&CGID_DocHostCommandHandler, IDM_REFRESH, false, OLECMDERR_E_NOTSUPPORTED, {}},
      {&CGID_DocHostCommandHandler, IDM_REFRESH, true, OLECMDERR_E_NOTSUPPORTED, {"refresh 2300"}},
      {&CGID_DocHostCommandHandler, 1234, true, OLECMDERR_E_NOTSUPPORTED, {}},
      // No document with an event object yet: the handler is not called.
      {&CGID_DocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, true, OLECMDERR_E_NOTSUPPORTED, {}},
  };
  for (const Case& c : cases) {
    calls.clear();
    if (c.withHandlers) {
      host->OnUnload = [&](TObject* s) { calls.push_back(s == host ? "unload" : "wrong sender"); };
      host->OnRefresh = [&](TObject*, int id, bool& cancel) {
        calls.push_back("refresh " + std::to_string(id));
        cancel = cancelRefresh;
      };
      host->OnScriptError = [&](TObject*, const std::string&, const std::string&, const std::string&,
                                const std::string&, const std::string&, bool&, bool&) { calls.push_back("script"); };
    } else {
      host->OnUnload = nullptr;
      host->OnRefresh = nullptr;
      host->OnScriptError = nullptr;
    }
    EXPECT_EQ(commands->Exec(c.group, c.cmd, 0, nullptr, nullptr), c.expected) << c.cmd;
    EXPECT_EQ(calls, c.calls) << c.cmd;
  }

  // A cancelled refresh is the host's: S_OK for each refresh command, and
  // the browser's F5 does not reload the page.
  cancelRefresh = true;
  for (DWORD id : {IDM_REFRESH, IDM_REFRESH_TOP, IDM_REFRESH_TOP_FULL})
    EXPECT_EQ(commands->Exec(&CGID_DocHostCommandHandler, id, 0, nullptr, nullptr), S_OK) << id;
  go("page3.html");
  const std::size_t loads = eventCount("navigate");
  calls.clear();
  SendMessage(browser()->window(), WM_KEYDOWN, VK_F5, 0);
  pump();
  EXPECT_EQ(calls, std::vector<std::string>{"refresh 6041"});
  EXPECT_EQ(eventCount("navigate"), loads);
}

TEST_F(WebHostCallbacksTest, NavigatingAwayFromAPageRaisesOnUnload) {
  int unloads = 0;
  host->OnUnload = [&](TObject*) { ++unloads; };
  go("page2.html");
  EXPECT_EQ(unloads, 0);
  go("page3.html");
  EXPECT_EQ(unloads, 1);
}

// What the handler gets and what the browser does with its answers.
TEST_F(WebHostCallbacksTest, ScriptErrorReachesTheHandlerWhichDecidesOnTheDialog) {
  go("index.html");
  std::vector<std::string> args;
  bool showDialog = true;
  host->OnScriptError = [&](TObject* s, const std::string& line, const std::string& character,
                            const std::string& code, const std::string& message, const std::string& url,
                            bool& continueScript, bool& show) {
    args = {line, character, code, message, url, continueScript ? "continue" : "stop", show ? "show" : "quiet"};
    if (s != host) args.push_back("wrong sender");
    show = showDialog;
  };
  browser()->scriptError(12, 5, 438, "Object expected", "file:///x.html");
  EXPECT_EQ(args, (std::vector<std::string>{"12", "5", "438", "Object expected", "file:///x.html", "continue",
                                            "show"}));
  EXPECT_EQ(eventCount("scripterror"), 1u);  // the browser's own dialog

  showDialog = false;
  browser()->scriptError(3, 1, 0, "Syntax error", "file:///y.html");
  EXPECT_EQ(args.at(3), "Syntax error");
  EXPECT_EQ(eventCount("scripterror"), 1u);  // none this time
}

TEST_F(WebHostCallbacksTest, ScriptErrorResultAndContinueScriptInVaOut) {
  go("index.html");
  auto commands = hostInterface<IOleCommandTarget>();
  ASSERT_TRUE(commands);
  auto setEvent = [&](bool withUrl) {
    std::vector<std::pair<std::string, Variant>> props = {{"errorLine", Variant(LONG(7))},
                                                          {"errorCharacter", Variant(LONG(2))},
                                                          {"errorCode", Variant(LONG(0))},
                                                          {"errorMessage", Variant("Fehler")}};
    if (withUrl) props.push_back({"errorUrl", Variant("file:///z.html")});
    browser()->document()->setEvent(qv::browser::makeEventObject("error", nullptr, props));
  };
  struct Case {
    bool continueScript;
    bool showDialog;
    HRESULT expected;
  };
  for (const Case& c : {Case{false, true, OLECMDERR_E_NOTSUPPORTED}, Case{true, false, S_OK}}) {
    host->OnScriptError = [&](TObject*, const std::string&, const std::string&, const std::string&,
                              const std::string&, const std::string&, bool& continueScript, bool& show) {
      continueScript = c.continueScript;
      show = c.showDialog;
    };
    setEvent(true);
    Variant out;
    EXPECT_EQ(commands->Exec(&CGID_DocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, out.get()),
              c.expected);
    EXPECT_EQ(out.vt(), VT_BOOL);
    EXPECT_EQ(out.toBool(), std::optional<bool>(c.continueScript));
  }

  // An event object without one of the properties: an error result for the
  // browser (its own dialog), no handler call and nothing thrown at it.
  bool called = false;
  host->OnScriptError = [&](TObject*, const std::string&, const std::string&, const std::string&,
                            const std::string&, const std::string&, bool&, bool&) { called = true; };
  setEvent(false);
  Variant out;
  EXPECT_EQ(commands->Exec(&CGID_DocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, out.get()),
            E_FAIL);
  EXPECT_FALSE(called);
  EXPECT_EQ(out.vt(), VT_EMPTY);
}

TEST_F(WebHostCallbacksTest, FindAndCopyActOnTheDocumentOnly) {
  // Before any document: nothing happens and nothing fails.
  host->ShowFindDialog();
  host->CopySelection();
  EXPECT_EQ(eventCount("finddialog"), 0u);
  EXPECT_EQ(eventCount("clipboard"), 0u);

  go("page2.html");
  browser()->document()->setSelectionText("Two");
  host->ShowFindDialog();
  host->CopySelection();
  EXPECT_EQ(eventCount("finddialog"), 1u);
  ASSERT_EQ(eventCount("clipboard"), 1u);
  EXPECT_EQ(qv::desktop::Recorder::eventsOf("clipboard")[0].fields.at(0), "Two");
  // A command the document does not know is swallowed.
  host->InvokeCommand(true, 77);
}

}  // namespace
