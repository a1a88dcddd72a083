#include "runtime/Client.h"

#include "browserhost/WebHost.h"
#include "platform/browser/HtmlInterfaces.h"
#include "platform/classlib/SysUtils.h"
#include "platform/com/Bstr.h"
#include "platform/os/user/User.h"
#include "runtime/Browser.h"
#include "runtime/MessageTable.h"
#include "runtime/windowsversion.h"

namespace {

using qv::com::Bstr;
using qv::com::ComPtr;

struct UnitStart {
  UnitStart() { RegisterClass(TClientWindow::StaticClass()); }
} unitStart;

bool startsWithText(const std::string& Text, const std::string& Prefix) {
  return Text.compare(0, Prefix.size(), Prefix) == 0;
}

}  // namespace

TClientWindow::TClientWindow(TComponent* AOwner) : TForm(AOwner) {}

TClientWindow::~TClientWindow() { BeforeDestruction(); }

void TClientWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // A window of its own with its own task bar button, not one that goes
  // with the main window.
  Params.ExStyle |= WS_EX_APPWINDOW;
  Params.WndParent = GetDesktopWindow();
  if (BrowserWindow != nullptr && BrowserWindow->DropShadow) {
    int version = GetWindowsVersion();
    if (version >= 9 && version <= 11) Params.WindowClass.style |= CS_DROPSHADOW;
  }
}

void TClientWindow::FormCreate(TObject* Sender) {
  (void)Sender;
  Closing = false;
  ClosingByCommand = false;
  Resizable = true;
  // The settings' numbers as they stand: a popup is sized in pixels also
  // when the main window is sized in percent of the screen.
  if (BrowserWindow != nullptr) {
    RequestedWidth = BrowserWindow->WindowWidth;
    RequestedHeight = BrowserWindow->WindowHeight;
  }
  LayoutPending = true;
  createBrowser();
}

void TClientWindow::createBrowser() {
  TWebHost* browser = nullptr;
  try {
    browser = new TWebHost(this);
    browser->SetName("WebBrowser");
    browser->SetParent(this);
    browser->SetLeft(0);
    browser->SetTop(0);
    browser->SetRegisterAsBrowser(true);
    browser->SetOffline(BrowserWindow != nullptr && BrowserWindow->ForceOfflineMode);
    browser->SetAddressBar(false);
    browser->SetMenuBar(false);
    browser->SetReplaceCaption(true);
    browser->SetStatusBar(false);
    TUserInterfaceOptions options = browser->UserInterfaceOptions();
    options.Include(TUserInterfaceOption::NO3DBORDER);
    options.Include(TUserInterfaceOption::THEME);
    options.Include(TUserInterfaceOption::NO3DOUTERBORDER);
    if (BrowserWindow == nullptr || BrowserWindow->NoScrollBars)
      options.Include(TUserInterfaceOption::SCROLL_NO);
    else
      options.Exclude(TUserInterfaceOption::SCROLL_NO);
    browser->SetUserInterfaceOptions(options);
  } catch (...) {
    delete browser;
    ShowErrorMessage(6);
    return;
  }
  WebBrowser = browser;

  WebBrowser->OnBeforeNavigate2 = [this](TObject* S, IDispatch* d, const VARIANT& url, const VARIANT& flags,
                                         const VARIANT& frame, const VARIANT& post, const VARIANT& headers,
                                         bool& cancel) {
    WebHostBeforeNavigate2(S, d, url, flags, frame, post, headers, cancel);
  };
  WebBrowser->OnNewWindow2 = [this](TObject* S, ComPtr<IDispatch>& disp, bool& cancel) {
    WebHostNewWindow2(S, disp, cancel);
  };
  WebBrowser->OnDocumentComplete = [this](TObject* S, IDispatch* d, const VARIANT& url) {
    WebHostDocumentComplete(S, d, url);
  };
  WebBrowser->OnWindowClosing = [this](TObject* S, bool child, bool& cancel) {
    WebHostWindowClosing(S, child, cancel);
  };
  WebBrowser->OnWindowSetResizable = [this](TObject* S, bool value) { WebHostWindowSetResizable(S, value); };
  WebBrowser->OnWindowSetLeft = [this](TObject* S, int value) { WebHostWindowSetLeft(S, value); };
  WebBrowser->OnWindowSetTop = [this](TObject* S, int value) { WebHostWindowSetTop(S, value); };
  WebBrowser->OnWindowSetWidth = [this](TObject* S, int value) { WebHostWindowSetWidth(S, value); };
  WebBrowser->OnWindowSetHeight = [this](TObject* S, int value) { WebHostWindowSetHeight(S, value); };
  WebBrowser->OnClientToHostWindow = [this](TObject* S, int& cx, int& cy) { WebHostClientToHostWindow(S, cx, cy); };
  WebBrowser->OnTitleChange = [this](TObject* S, const std::string& text) { WebHostTitleChange(S, text); };
  WebBrowser->OnFullScreen = [this](TObject* S, bool value) { WebHostFullScreen(S, value); };
  WebBrowser->OnShowContextMenu = [this](DWORD id, const POINT* pt, IUnknown* cmdt, IDispatch* disp) {
    return WebHostShowContextMenu(id, pt, cmdt, disp);
  };
  WebBrowser->OnScriptError = [this](TObject* S, const std::string& line, const std::string& character,
                                     const std::string& code, const std::string& message, const std::string& url,
                                     bool& continueScript, bool& showDialog) {
    WebHostScriptError(S, line, character, code, message, url, continueScript, showDialog);
  };
}

void TClientWindow::FormDestroy(TObject* Sender) {
  (void)Sender;
  // The control's window goes now; that is no request to close.
  Closing = true;
  TWebHost* browser = WebBrowser;
  WebBrowser = nullptr;
  try {
    delete browser;
  } catch (...) {
    ShowErrorMessage(6);
  }
}

void TClientWindow::FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize) {
  (void)Sender;
  (void)NewWidth;
  (void)NewHeight;
  Resize = Resizable;
}

void TClientWindow::FormClose(TObject* Sender, TCloseAction& Action) {
  (void)Sender;
  // Nothing shows a closed popup again: it goes, with its browser and page,
  // once its messages have been handled.
  Hide();
  Action = caFree;
}

void TClientWindow::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
  // The page's browser went away: its window closes with it. Not while this
  // window itself is being made anew or freed, which takes the control's
  // window along.
  if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_DESTROY && !Closing && !FRelayingOut &&
      WebBrowser != nullptr && WebBrowser->HandleAllocated() &&
      reinterpret_cast<HWND>(Message.LParam) == WebBrowser->Handle() && !ComponentState().Contains(csDestroying))
    Close();
}

// ---------------------------------------------------------------------------
// What the page asks of its window; the next completed document applies it.

void TClientWindow::WebHostWindowSetResizable(TObject* Sender, bool Value) {
  (void)Sender;
  Resizable = Value;
  LayoutPending = true;
}

void TClientWindow::WebHostWindowSetLeft(TObject* Sender, int Left) {
  (void)Sender;
  RequestedLeft = Left;
  LayoutPending = true;
}

void TClientWindow::WebHostWindowSetTop(TObject* Sender, int Top) {
  (void)Sender;
  RequestedTop = Top;
  LayoutPending = true;
}

void TClientWindow::WebHostWindowSetWidth(TObject* Sender, int Width) {
  (void)Sender;
  RequestedWidth = Width;
  LayoutPending = true;
}

void TClientWindow::WebHostWindowSetHeight(TObject* Sender, int Height) {
  (void)Sender;
  RequestedHeight = Height;
  LayoutPending = true;
}

void TClientWindow::WebHostFullScreen(TObject* Sender, bool Value) {
  (void)Sender;
  FullScreen = Value;
  LayoutPending = true;
}

void TClientWindow::WebHostClientToHostWindow(TObject* Sender, int& CX, int& CY) {
  (void)Sender;
  SetClientHeight(CY);
  SetClientWidth(CX);
}

void TClientWindow::WebHostTitleChange(TObject* Sender, const std::string& Text) {
  (void)Sender;
  SetCaption(Text);
}

void TClientWindow::layOut() {
  if (FullScreen) {
    Resizable = true;
    FRelayingOut = true;
    SetBorderStyle(bsNone);
    FRelayingOut = false;
  } else {
    // A window the page made fixed in size offers no way to size it: no
    // sizing frame and no maximise box.
    const TFormBorderStyle border = Resizable ? bsSizeable : bsSingle;
    TBorderIcons icons = BorderIcons();
    if (Resizable)
      icons.Include(biMaximize);
    else
      icons.Exclude(biMaximize);
    FRelayingOut = true;
    if (BorderStyle() != border) SetBorderStyle(border);
    if (BorderIcons() != icons) SetBorderIcons(icons);
    FRelayingOut = false;
  }
  if (WebBrowser != nullptr) {
    if (Resizable) {
      WebBrowser->SetAlign(alClient);
    } else {
      // A window of fixed size: the page gets the size it asked for.
      WebBrowser->SetAlign(alCustom);
      WebBrowser->SetBounds(0, 0, RequestedWidth, RequestedHeight);
    }
  }
  if (!FullScreen) {
    const bool resizable = Resizable;
    Resizable = true;
    SetClientHeight(RequestedHeight);
    SetClientWidth(RequestedWidth);
    Resizable = resizable;
    if (RequestedTop != 0) {
      if (WebBrowser != nullptr) {
        WebBrowser->SetTop(0);
        if (WebBrowser->Align() == alCustom) WebBrowser->SetHeight(RequestedHeight);
      }
      SetTop(RequestedTop);
    }
    if (RequestedLeft != 0) {
      if (WebBrowser != nullptr) {
        WebBrowser->SetLeft(0);
        if (WebBrowser->Align() == alCustom) WebBrowser->SetWidth(RequestedWidth);
      }
      SetLeft(RequestedLeft);
    }
  }
  LayoutPending = false;
}

void TClientWindow::WebHostDocumentComplete(TObject* Sender, IDispatch* pDisp, const VARIANT& URL) {
  (void)Sender;
  (void)URL;
  // A closed popup stays closed, whatever its page still loads.
  if (ClosingByCommand || Closing || BrowserWindow == nullptr) return;
  std::string title;
  if (WebBrowser != nullptr) {
    if (ComPtr<IHTMLDocument2> page = WebBrowser->Document().as<IHTMLDocument2>()) {
      Bstr text;
      if (SUCCEEDED(page->get_title(text.put()))) title = text.toAnsi();
    }
  }
  SetCaption(title.empty() ? BrowserWindow->Caption() : title);

  if (LayoutPending) layOut();
  DocumentShown = true;

  ComPtr<IHTMLDocument2> document = DocumentOf(pDisp);
  if (BrowserWindow->DefaultCursor) SetDefaultCursor(document.get());
  if (!Visible()) Show();
  if (FullScreen) SetWindowState(wsMaximized);
  RevealSearchForm(document.get());
}

void TClientWindow::WebHostBeforeNavigate2(TObject* Sender, IDispatch* pDisp, const VARIANT& URL,
                                           const VARIANT& Flags, const VARIANT& TargetFrameName,
                                           const VARIANT& PostData, const VARIANT& Headers, bool& Cancel) {
  (void)Sender;
  (void)pDisp;
  (void)Flags;
  (void)PostData;
  (void)Headers;
  TBrowserWindow* main = BrowserWindow;
  if (main == nullptr) return;
  const std::string url = VariantText(URL);
  const std::string frame = VariantText(TargetFrameName);
  try {
    // The window's own name is the link's target: a script may open a
    // window named after a link command.
    Cancel = main->HandleLinkTarget(frame, url);
    if (!Cancel && !main->WebServerMode) Cancel = main->ExecuteByExtension(url);
  } catch (EConvertError&) {
    // An address that cannot be decoded names no command: the browser deals
    // with it, as the main window leaves it.
    Cancel = false;
  }
  if (Cancel) {
    ClosingByCommand = true;
    Close();
  }
  const std::string lower = LowerCase(url);
  if (startsWithText(lower, "about:close")) {
    Cancel = true;
    main->Close();
    Closing = true;
    Close();
  }
  // Before its first page the popup shows nothing of its own: what it was
  // opened for is the page that opened it.
  const bool first = !DocumentShown && !ClosingByCommand && !Closing;
  if (lower.find("searchform") != std::string::npos) {
    Cancel = true;
    ComPtr<IHTMLDocument2> document;
    if (WebBrowser != nullptr) document = WebBrowser->Document().as<IHTMLDocument2>();
    std::u16string term = GetSearchTerm(document.get());
    if (term.empty() && first) term = GetSearchTerm(OpenerDocument.get());
    // A first navigation's frame name is this window's own name, no frame
    // of the main window's page.
    if (term.empty())
      ShowErrorMessage(32);
    else
      main->ShowSearchResults(ParseSearchQuery(Bstr(term).toAnsi()), first ? std::string() : frame);
  }
  // A window opened for a search or a script address would never get a page
  // to show: it goes at once rather than stay hidden for the rest of the run.
  if (first && (lower.find("searchform") != std::string::npos || startsWithText(lower, "javascript:"))) {
    Cancel = true;
    ClosingByCommand = true;
    Close();
  }
}

void TClientWindow::WebHostNewWindow2(TObject* Sender, ComPtr<IDispatch>& ppDisp, bool& Cancel) {
  (void)Sender;
  TBrowserWindow* main = BrowserWindow;
  if (main == nullptr) return;
  try {
    std::string href;
    std::string target;
    ComPtr<IHTMLDocument2> document;
    if (WebBrowser != nullptr) document = WebBrowser->Document().as<IHTMLDocument2>();
    ComPtr<IHTMLElement> link = GetActiveLinkTarget(document.get(), href, target);
    Cancel = main->HandleLinkTarget(target, href) || main->ExecuteByExtension(href);
    // One command per click, as in the main window.
    if (Cancel) ReleaseActiveLink(link.get());
    if (Cancel) return;
  } catch (Exception&) {
    Cancel = false;
  }
  if (!main->InternalPopups) return;
  try {
    ComPtr<IHTMLDocument2> opener;
    if (WebBrowser != nullptr) opener = WebBrowser->Document().as<IHTMLDocument2>();
    ppDisp = OpenClientWindow(opener.get());
  } catch (...) {
    ShowErrorMessage(6);
  }
}

void TClientWindow::WebHostWindowClosing(TObject* Sender, bool IsChildWindow, bool& Cancel) {
  (void)Sender;
  (void)IsChildWindow;
  Closing = true;
  Cancel = true;
  Close();
}

HRESULT TClientWindow::WebHostShowContextMenu(DWORD dwID, const POINT* ppt, IUnknown* pcmdtReserved,
                                              IDispatch* pdispReserved) {
  (void)dwID;
  (void)ppt;
  (void)pcmdtReserved;
  (void)pdispReserved;
  ComPtr<IHTMLDocument2> document;
  if (WebBrowser != nullptr) document = WebBrowser->Document().as<IHTMLDocument2>();
  return ContextMenuAnswer(BrowserWindow != nullptr ? BrowserWindow->ContextMenu : "none", document.get());
}

void TClientWindow::WebHostScriptError(TObject* Sender, const std::string& ErrorLine,
                                       const std::string& ErrorCharacter, const std::string& ErrorCode,
                                       const std::string& ErrorMessage, const std::string& ErrorUrl,
                                       bool& ContinueScript, bool& Showdialog) {
  (void)Sender;
  (void)ErrorLine;
  (void)ErrorCharacter;
  (void)ErrorCode;
  (void)ErrorMessage;
  (void)ErrorUrl;
  (void)ContinueScript;
  if (BrowserWindow != nullptr && BrowserWindow->DisableScriptErrors) Showdialog = false;
}

// ---------------------------------------------------------------------------
ComPtr<IDispatch> OpenClientWindow(IHTMLDocument2* Opener) {
  TClientWindow* popup = qv::classlib::newForm<TClientWindow>(Application);
  popup->OpenerDocument = Opener;
  if (popup->WebBrowser == nullptr) {
    // Message 6 has been shown; a popup without a browser could never show
    // the page, which the browser then opens itself.
    delete popup;
    return nullptr;
  }
  try {
    popup->WebBrowser->HandleNeeded();
    return popup->WebBrowser->Application();
  } catch (...) {
    delete popup;
    throw;
  }
}
