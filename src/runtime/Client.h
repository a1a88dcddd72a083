// The runtime's popup window: a page that asks for a new window, and that no
// link command takes, opens here instead of in the user's own browser. The
// window hosts its own browser control, follows the page's requests for
// size, position, resizability and full screen, and offers the main
// window's link commands and search. It reads every setting from the main
// window and stays hidden until its first page has loaded.
//
// A popup is owned by the application. Closing it (a link command, the
// page's window.close, its browser going away) hides it and frees it once
// its messages have been handled: nothing shows a closed popup again.
#pragma once

#include <string>

#include "platform/browser/HtmlInterfaces.h"
#include "platform/browser/OleInterfaces.h"
#include "platform/classlib/Forms.h"
#include "platform/com/ComPtr.h"
#include "platform/os/Types.h"

class TWebHost;

class TClientWindow : public TForm {
  QV_CLASS(TClientWindow, TForm)
  explicit TClientWindow(TComponent* AOwner);
  ~TClientWindow() override;

  // Made in FormCreate; null when it could not be made (message 6).
  TWebHost* WebBrowser = nullptr;

  // --- what the page asked for
  bool Resizable = true;
  // Client size in pixels; the main window's setting numbers until the
  // page asks for others.
  int RequestedWidth = 0;
  int RequestedHeight = 0;
  // Window position; 0 means not requested.
  int RequestedTop = 0;
  int RequestedLeft = 0;
  bool FullScreen = false;
  // The next completed document lays the window out anew.
  bool LayoutPending = true;
  // The page's browser asked to close this window.
  bool Closing = false;
  // A link command closed this window: it is never shown.
  bool ClosingByCommand = false;
  // The first page has been shown (so its navigations are the popup's own).
  bool DocumentShown = false;
  // The page that asked for this window (a link's or a form's page).
  qv::com::ComPtr<IHTMLDocument2> OpenerDocument;

  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
  void FormClose(TObject* Sender, TCloseAction& Action);

  // --- browser events
  void WebHostBeforeNavigate2(TObject* Sender, IDispatch* pDisp, const VARIANT& URL, const VARIANT& Flags,
                              const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
                              bool& Cancel);
  void WebHostNewWindow2(TObject* Sender, qv::com::ComPtr<IDispatch>& ppDisp, bool& Cancel);
  void WebHostDocumentComplete(TObject* Sender, IDispatch* pDisp, const VARIANT& URL);
  void WebHostWindowClosing(TObject* Sender, bool IsChildWindow, bool& Cancel);
  void WebHostWindowSetResizable(TObject* Sender, bool Value);
  void WebHostWindowSetLeft(TObject* Sender, int Left);
  void WebHostWindowSetTop(TObject* Sender, int Top);
  void WebHostWindowSetWidth(TObject* Sender, int Width);
  void WebHostWindowSetHeight(TObject* Sender, int Height);
  void WebHostClientToHostWindow(TObject* Sender, int& CX, int& CY);
  void WebHostTitleChange(TObject* Sender, const std::string& Text);
  void WebHostFullScreen(TObject* Sender, bool Value);
  // S_FALSE: the browser shows its own menu; S_OK: no menu.
  HRESULT WebHostShowContextMenu(DWORD dwID, const POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved);
  void WebHostScriptError(TObject* Sender, const std::string& ErrorLine, const std::string& ErrorCharacter,
                          const std::string& ErrorCode, const std::string& ErrorMessage,
                          const std::string& ErrorUrl, bool& ContinueScript, bool& Showdialog);

  QV_PUBLISHED(TClientWindow) {
    P.Method("FormCreate", &TClientWindow::FormCreate);
    P.Method("FormDestroy", &TClientWindow::FormDestroy);
    P.Method("FormCanResize", &TClientWindow::FormCanResize);
    P.Method("FormClose", &TClientWindow::FormClose);
  }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

 private:
  void createBrowser();
  void layOut();

  // The window is being made anew for a new border: its browser control's
  // window goes and comes back, which is no reason to close.
  bool FRelayingOut = false;
};

// A new popup owned by the application, its browser control's window made,
// and the control's automation object for the browser's new-window request.
// Raises what making the window raises.
// `Opener` is the page that asked for the window.
qv::com::ComPtr<IDispatch> OpenClientWindow(IHTMLDocument2* Opener = nullptr);
