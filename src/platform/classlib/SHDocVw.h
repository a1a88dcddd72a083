// The class library's wrapper of the web-browser control: a TOleControl
// holding the browser object, its automation members as methods and
// properties, and its DWebBrowserEvents2 events as OnX fields.
//
// Events fire with Sender = this control. Their parameters come as the
// browser sends them (VARIANTs with references followed, so URL.vt is
// VT_BSTR); Cancel, ppDisp, Width and Height are written back to the
// browser when the handler returns. Text events give 8-bit ANSI text.
//
// A call the browser object refuses raises EOleException with its HRESULT.
// A handler may free the control; the events stop reaching it then.
#pragma once

#include <functional>
#include <string>

#include "platform/browser/WebBrowserEvents.h"
#include "platform/classlib/OleCtrls.h"

namespace qv::classlib {
class WebBrowserEventSink;
}  // namespace qv::classlib

class TWebBrowser : public TOleControl {
  QV_CLASS(TWebBrowser, TOleControl)
  explicit TWebBrowser(TComponent* AOwner);
  ~TWebBrowser() override;

  // --- methods
  void Navigate(const std::string& URL);
  void Navigate2(VARIANT* URL, VARIANT* Flags = nullptr, VARIANT* TargetFrameName = nullptr,
                 VARIANT* PostData = nullptr, VARIANT* Headers = nullptr);
  void GoBack();
  void GoForward();
  void GoHome();
  void Refresh();
  void Stop();
  void ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn = nullptr, VARIANT* pvaOut = nullptr);
  OLECMDF QueryStatusWB(OLECMDID cmdID);

  // --- properties
  qv::com::ComPtr<IDispatch> Document();
  qv::com::ComPtr<IDispatch> Application();
  // The browser's automation interface (not counted: valid while the
  // control lives).
  IWebBrowser2* DefaultInterface();
  std::string LocationURL();
  std::string LocationName();
  bool Busy();
  READYSTATE ReadyState();
  bool Offline();
  void SetOffline(bool Value);
  bool Silent();
  void SetSilent(bool Value);
  bool AddressBar();
  void SetAddressBar(bool Value);
  bool MenuBar();
  void SetMenuBar(bool Value);
  bool StatusBar();
  void SetStatusBar(bool Value);
  int ToolBar();
  void SetToolBar(int Value);
  bool RegisterAsBrowser();
  void SetRegisterAsBrowser(bool Value);
  bool RegisterAsDropTarget();
  void SetRegisterAsDropTarget(bool Value);
  bool FullScreen();
  void SetFullScreen(bool Value);
  bool Resizable();
  void SetResizable(bool Value);

  // --- events
  std::function<void(TObject* Sender, IDispatch* pDisp, const VARIANT& URL, const VARIANT& Flags,
                     const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers, bool& Cancel)>
      OnBeforeNavigate2;
  std::function<void(TObject* Sender, IDispatch* pDisp, const VARIANT& URL)> OnNavigateComplete2;
  std::function<void(TObject* Sender, IDispatch* pDisp, const VARIANT& URL)> OnDocumentComplete;
  std::function<void(TObject* Sender, qv::com::ComPtr<IDispatch>& ppDisp, bool& Cancel)> OnNewWindow2;
  std::function<void(TObject* Sender, int Command, bool Enable)> OnCommandStateChange;
  std::function<void(TObject* Sender, const std::string& Text)> OnStatusTextChange;
  std::function<void(TObject* Sender, const std::string& Text)> OnTitleChange;
  std::function<void(TObject* Sender, bool IsChildWindow, bool& Cancel)> OnWindowClosing;
  std::function<void(TObject* Sender, int Left)> OnWindowSetLeft;
  std::function<void(TObject* Sender, int Top)> OnWindowSetTop;
  std::function<void(TObject* Sender, int Width)> OnWindowSetWidth;
  std::function<void(TObject* Sender, int Height)> OnWindowSetHeight;
  std::function<void(TObject* Sender, bool Resizable)> OnWindowSetResizable;
  std::function<void(TObject* Sender, int& Width, int& Height)> OnClientToHostWindow;
  std::function<void(TObject* Sender, bool FullScreen)> OnFullScreen;
  std::function<void(TObject* Sender, const VARIANT& URL, const VARIANT& Frame, const VARIANT& StatusCode,
                     bool& Cancel)>
      OnNavigateError;

  QV_PUBLISHED(TWebBrowser) {
    P.Event("OnBeforeNavigate2", &TWebBrowser::OnBeforeNavigate2);
    P.Event("OnNavigateComplete2", &TWebBrowser::OnNavigateComplete2);
    P.Event("OnDocumentComplete", &TWebBrowser::OnDocumentComplete);
    P.Event("OnNewWindow2", &TWebBrowser::OnNewWindow2);
    P.Event("OnCommandStateChange", &TWebBrowser::OnCommandStateChange);
    P.Event("OnStatusTextChange", &TWebBrowser::OnStatusTextChange);
    P.Event("OnTitleChange", &TWebBrowser::OnTitleChange);
    P.Event("OnWindowClosing", &TWebBrowser::OnWindowClosing);
    P.Event("OnWindowSetLeft", &TWebBrowser::OnWindowSetLeft);
    P.Event("OnWindowSetTop", &TWebBrowser::OnWindowSetTop);
    P.Event("OnWindowSetWidth", &TWebBrowser::OnWindowSetWidth);
    P.Event("OnWindowSetHeight", &TWebBrowser::OnWindowSetHeight);
    P.Event("OnWindowSetResizable", &TWebBrowser::OnWindowSetResizable);
    P.Event("OnClientToHostWindow", &TWebBrowser::OnClientToHostWindow);
    P.Event("OnFullScreen", &TWebBrowser::OnFullScreen);
    P.Event("OnNavigateError", &TWebBrowser::OnNavigateError);
  }

 protected:
  qv::com::ComPtr<IUnknown> CreateOleObject() override;

 private:
  IWebBrowser2* browser();
  void check(HRESULT Result, const char* Member);
  bool getBool(HRESULT (IWebBrowser2::*Get)(VARIANT_BOOL*), const char* Member);
  void putBool(HRESULT (IWebBrowser2::*Put)(VARIANT_BOOL), bool Value, const char* Member);
  void connectEvents();
  void disconnectEvents();

  qv::com::ComPtr<IWebBrowser2> FBrowser;
  qv::com::ComPtr<IConnectionPoint> FEventPoint;
  qv::com::ComPtr<qv::classlib::WebBrowserEventSink> FSink;
  DWORD FEventCookie = 0;

  friend class qv::classlib::WebBrowserEventSink;
};
