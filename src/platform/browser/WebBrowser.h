// The web-browser control: a COM object (IWebBrowser2 with IOleObject,
// IOleInPlaceObject, IOleControl and the DWebBrowserEvents2 connection
// point) that shows pages of the document model in a window of its own,
// calls its host site where the platform's control does, and raises its
// events in the platform's order.
//
// Navigation is asynchronous as on the platform: Navigate raises
// BeforeNavigate2 at once and the page loads later from a message posted to
// the control's window, so the other events arrive from the message loop.
//
// ExecWB's print is recorded as `print` with its header and footer; a
// scripted `print` answer "fail" makes it fail, as on a machine without a
// printer.
//
// The C++ members below are for the desktop's driver and for tests: they
// stand for what a user does on the page and for what only a page's script
// could raise. Text there is UTF-8, as in the document model.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/browser/History.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/OleHost.h"
#include "platform/browser/OleInterfaces.h"
#include "platform/browser/PageView.h"
#include "platform/browser/WebBrowserEvents.h"

namespace qv::browser {

class WebBrowser;
class EventPoint;

// A new control, not yet in place: its window exists hidden and without a
// parent until DoVerb(OLEIVERB_INPLACEACTIVATE, ..., parent, rect).
qv::com::ComPtr<IWebBrowser2> createWebBrowser();
// The control behind one of its interfaces, or nullptr for other objects.
WebBrowser* webBrowserOf(IUnknown* object);
// Registers the stand-in "shdocvw.dll" with the profile's browser version, so
// that the version functions read it in the system folder. createWebBrowser
// calls it; call it again after changing the profile's version.
void registerBrowserModule();
// The live controls, oldest first, and the one a user would act on (the
// driver's `link`, `field`, `submit`, `open`, `scripterror` and `rclick-page`
// commands): the newest whose window is visible in the foreground window,
// else the newest visible one, else nullptr.
std::vector<WebBrowser*> liveBrowsers();
WebBrowser* frontBrowser();

class WebBrowser final : public qv::com::DispatchObject<IWebBrowser2, IOleObject, IOleInPlaceObject, IOleControl,
                                                        IConnectionPointContainer, IOleInPlaceActiveObject> {
 public:
  WebBrowser();

  // --- For the driver and tests ------------------------------------------
  HWND window() const { return hwnd_; }
  std::shared_ptr<Document> document() const { return doc_; }
  // The name of the window this control shows (set when a page opened it).
  const std::string& frameName() const { return frameName_; }
  DWORD downloadControl() const { return dlControl_; }  // as last read from the host
  const DOCHOSTUIINFO& hostInfo() const { return hostInfo_; }
  const History& history() const { return history_; }
  // The view of the page shown (nullptr before the first page), and where
  // an element of the page or of its frames is, in client coordinates.
  PageView* view() { return view_.get(); }
  std::optional<RECT> elementBox(const Element* e);

  // A click on a link of the page or of one of its frames.
  bool clickLink(Element* link);
  // The first link whose href or text contains `text` (driver: `link TEXT`).
  bool clickLinkText(const std::string& text);
  bool setField(const std::string& name, const std::string& value);
  // Submits the form named `formName` (here or in a frame).
  bool submitForm(const std::string& formName);
  bool submitForm(Element* form);
  // A submission by one of the form's buttons (a picture button clicked at
  // `at` of its picture).
  bool submitForm(Element* form, Element* submitter, POINT at = {0, 0});
  // A right click at a point of the control's client area.
  void rightClick(POINT clientPoint);
  // The pointer now over `link` (nullptr: over no link).
  void hover(Element* link);
  void findDialog();
  void copySelection();
  void print(const std::string& header, const std::string& footer);

  // What only a script could raise.
  void windowOpen(const std::string& url, const std::string& name, const std::string& features);
  void windowClose();
  void windowPrint();
  void scriptError(LONG line, LONG character, LONG code, const std::string& message, const std::string& url);
  void alert(const std::string& text);

  // --- IWebBrowser2 --------------------------------------------------------
  HRESULT GoBack() override;
  HRESULT GoForward() override;
  HRESULT GoHome() override { return E_NOTIMPL; }
  HRESULT GoSearch() override { return E_NOTIMPL; }
  HRESULT Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData, VARIANT* Headers) override;
  HRESULT Refresh() override;
  HRESULT Refresh2(VARIANT* Level) override;
  HRESULT Stop() override;
  HRESULT get_Application(IDispatch** ppDisp) override;
  HRESULT get_Parent(IDispatch** ppDisp) override;
  HRESULT get_Container(IDispatch** ppDisp) override;
  HRESULT get_Document(IDispatch** ppDisp) override;
  HRESULT get_TopLevelContainer(VARIANT_BOOL* pBool) override;
  HRESULT get_Type(BSTR* Type) override;
  HRESULT get_Left(LONG* pl) override;
  HRESULT put_Left(LONG v) override;
  HRESULT get_Top(LONG* pl) override;
  HRESULT put_Top(LONG v) override;
  HRESULT get_Width(LONG* pl) override;
  HRESULT put_Width(LONG v) override;
  HRESULT get_Height(LONG* pl) override;
  HRESULT put_Height(LONG v) override;
  HRESULT get_LocationName(BSTR* p) override;
  HRESULT get_LocationURL(BSTR* p) override;
  HRESULT get_Busy(VARIANT_BOOL* p) override;
  HRESULT Quit() override { return S_OK; }
  HRESULT ClientToWindow(int*, int*) override { return S_OK; }
  HRESULT PutProperty(BSTR, VARIANT) override { return E_NOTIMPL; }
  HRESULT GetProperty(BSTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT get_Name(BSTR* Name) override;
  HRESULT get_HWND(SHANDLE_PTR* pHWND) override;
  HRESULT get_FullName(BSTR* p) override { return get_Name(p); }
  HRESULT get_Path(BSTR* p) override;
  HRESULT get_Visible(VARIANT_BOOL* p) override { return outBool(p, visible_); }
  HRESULT put_Visible(VARIANT_BOOL v) override;
  HRESULT get_StatusBar(VARIANT_BOOL* p) override { return outBool(p, statusBar_); }
  HRESULT put_StatusBar(VARIANT_BOOL v) override { statusBar_ = v != VARIANT_FALSE; return S_OK; }
  HRESULT get_StatusText(BSTR* p) override;
  HRESULT put_StatusText(BSTR v) override;
  HRESULT get_ToolBar(int* v) override;
  HRESULT put_ToolBar(int v) override { toolBar_ = v; return S_OK; }
  HRESULT get_MenuBar(VARIANT_BOOL* p) override { return outBool(p, menuBar_); }
  HRESULT put_MenuBar(VARIANT_BOOL v) override { menuBar_ = v != VARIANT_FALSE; return S_OK; }
  HRESULT get_FullScreen(VARIANT_BOOL* p) override { return outBool(p, fullScreen_); }
  HRESULT put_FullScreen(VARIANT_BOOL v) override;
  HRESULT Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                    VARIANT* Headers) override;
  HRESULT QueryStatusWB(OLECMDID cmdID, OLECMDF* pcmdf) override;
  HRESULT ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut) override;
  HRESULT ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
  HRESULT get_ReadyState(READYSTATE* p) override;
  HRESULT get_Offline(VARIANT_BOOL* p) override { return outBool(p, offline_); }
  HRESULT put_Offline(VARIANT_BOOL v) override { offline_ = v != VARIANT_FALSE; return S_OK; }
  HRESULT get_Silent(VARIANT_BOOL* p) override { return outBool(p, silent_); }
  HRESULT put_Silent(VARIANT_BOOL v) override { silent_ = v != VARIANT_FALSE; return S_OK; }
  HRESULT get_RegisterAsBrowser(VARIANT_BOOL* p) override { return outBool(p, registerAsBrowser_); }
  HRESULT put_RegisterAsBrowser(VARIANT_BOOL v) override { registerAsBrowser_ = v != VARIANT_FALSE; return S_OK; }
  HRESULT get_RegisterAsDropTarget(VARIANT_BOOL* p) override { return outBool(p, dropTarget_); }
  HRESULT put_RegisterAsDropTarget(VARIANT_BOOL v) override { dropTarget_ = v != VARIANT_FALSE; return S_OK; }
  HRESULT get_TheaterMode(VARIANT_BOOL* p) override { return outBool(p, false); }
  HRESULT put_TheaterMode(VARIANT_BOOL) override { return S_OK; }
  HRESULT get_AddressBar(VARIANT_BOOL* p) override { return outBool(p, addressBar_); }
  HRESULT put_AddressBar(VARIANT_BOOL v) override { addressBar_ = v != VARIANT_FALSE; return S_OK; }
  HRESULT get_Resizable(VARIANT_BOOL* p) override { return outBool(p, resizable_); }
  HRESULT put_Resizable(VARIANT_BOOL v) override { resizable_ = v != VARIANT_FALSE; return S_OK; }

  // --- IOleObject ----------------------------------------------------------
  HRESULT SetClientSite(IOleClientSite* pClientSite) override;
  HRESULT GetClientSite(IOleClientSite** ppClientSite) override;
  HRESULT SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT Close(DWORD dwSaveOption) override;
  HRESULT SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT GetMoniker(DWORD, DWORD, IMoniker** ppmk) override;
  HRESULT InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT GetClipboardData(DWORD, IDataObject** pp) override;
  HRESULT DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                 LPCRECT lprcPosRect) override;
  HRESULT EnumVerbs(IEnumOLEVERB** pp) override;
  HRESULT Update() override { return S_OK; }
  HRESULT IsUpToDate() override { return S_OK; }
  HRESULT GetUserClassID(CLSID* pClsid) override;
  HRESULT GetUserType(DWORD, LPOLESTR* p) override;
  HRESULT SetExtent(DWORD, SIZEL* psizel) override;
  HRESULT GetExtent(DWORD, SIZEL* psizel) override;
  HRESULT Advise(IAdviseSink*, DWORD* pdw) override;
  HRESULT Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  HRESULT EnumAdvise(IEnumSTATDATA** pp) override;
  HRESULT GetMiscStatus(DWORD, DWORD* pdwStatus) override;
  HRESULT SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // --- IOleInPlaceObject ---------------------------------------------------
  HRESULT GetWindow(HWND* phwnd) override;
  HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT InPlaceDeactivate() override;
  HRESULT UIDeactivate() override { return S_OK; }
  HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
  HRESULT ReactivateAndUndo() override { return E_NOTIMPL; }

  // --- IOleInPlaceActiveObject ----------------------------------------------
  // The keys a host's loop hands over before dispatching them: the host's
  // own TranslateAccelerator first, then Tab and Shift+Tab (the focus to the
  // next or previous link or form control of the page, round from the end)
  // and Ctrl+C or Ctrl+Insert (copy). Only key-downs are accelerators. The
  // control's window acts on other keys when they are dispatched to it.
  HRESULT TranslateAccelerator(LPMSG lpmsg) override;
  HRESULT OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  HRESULT EnableModeless(BOOL) override { return S_OK; }

  // --- IOleControl ---------------------------------------------------------
  HRESULT GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  HRESULT OnMnemonic(MSG*) override { return E_NOTIMPL; }
  HRESULT OnAmbientPropertyChange(DISPID dispID) override;
  HRESULT FreezeEvents(BOOL bFreeze) override;

  // --- IConnectionPointContainer -------------------------------------------
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** pp) override;
  HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

  // The window procedure's work (public for the procedure only).
  LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

 protected:
  ~WebBrowser() override;
  void* queryOther(REFIID riid) override;

 private:
  struct Pending {
    unsigned serial = 0;
    HistoryEntry entry;
    std::string frame;
    long historyIndex = -1;  // >= 0: going back or forward to this entry
    bool inFrame = false;    // `frame` names a frame of the page shown
  };
  static HRESULT outBool(VARIANT_BOOL* p, bool v) {
    if (!p) return E_POINTER;
    *p = v ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  void buildMembers();
  IDispatch* self() { return static_cast<IWebBrowser2*>(this); }
  HRESULT navigate(std::string url, LONG flags, const std::string& frame, const std::string& postData,
                   const std::string& headers, long historyIndex = -1, bool inFrame = false);
  HRESULT navigateFromVariants(const qv::com::Variant& url, const qv::com::Variant& flags,
                               const qv::com::Variant& frame, const qv::com::Variant& postData,
                               const qv::com::Variant& headers);
  void completeNavigation(unsigned serial);
  void show(std::shared_ptr<Document> doc);
  void openNewWindow(const std::string& url, const std::string& name, const std::string* features);
  void followTarget(const std::string& url, const std::string& target, const std::string& postData);
  bool isSelf(const std::string& name) const;
  std::shared_ptr<Document> frameOwner(const std::string& name) const;
  qv::com::ComPtr<IDispatch> frameWindow(const std::string& name) const;
  void completeFrameNavigation(const Pending& p);
  void updateCommandStates();
  void readAmbient();
  void setActiveChain(Element* link);
  // Tab: the focus to the next (or previous) element of the page that takes
  // it; false when the page has none.
  bool moveFocus(bool backwards);
  void invalidateView();
  void moveWindow();
  ViewOptions viewOptions() const;
  // Repaints on changes of the shown page (and its frames) made through
  // the object model.
  void watch(Document* doc, bool on);

  // Events.
  bool fireBeforeNavigate2(IDispatch* disp, const std::string& url, LONG flags, const std::string& frame,
                           const std::string& postData, const std::string& headers);
  bool fireNewWindow2(qv::com::ComPtr<IDispatch>& target);
  bool fireNavigateError(const std::string& url, const std::string& frame, LONG status);
  void fireUrlEvent(DISPID id, IDispatch* disp, const std::string& url);
  void fireStringEvent(DISPID id, const std::string& text);
  void fireLongEvent(DISPID id, LONG v);
  void fireBoolEvent(DISPID id, bool v);
  void fireCommandState(LONG command, bool enabled);
  bool fireWindowClosing(bool childWindow);
  void fireClientToHostWindow(LONG& cx, LONG& cy);
  void fire(DISPID id, std::vector<VARIANT>& argsFirstFirst);

  HWND hwnd_ = nullptr;
  HostSite host_;
  qv::com::ComPtr<EventPoint> events_;
  int frozen_ = 0;
  std::shared_ptr<Document> doc_;
  History history_;
  Pending pending_;
  unsigned serial_ = 0;
  bool busy_ = false;
  READYSTATE readyState_ = READYSTATE_UNINITIALIZED;
  bool canBack_ = false, canForward_ = false;
  std::string frameName_;
  DWORD dlControl_ = DLCTL_DLIMAGES | DLCTL_VIDEOS | DLCTL_BGSOUNDS;
  DOCHOSTUIINFO hostInfo_{};
  Element* hovered_ = nullptr;
  // The key-down last offered to the host through TranslateAccelerator and
  // left to the window: the window does not offer it a second time.
  struct OfferedKey {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
  };
  OfferedKey offeredKey_;
  std::string statusText_;
  std::unique_ptr<PageView> view_;
  RECT rect_{0, 0, 300, 150};
  SIZEL extent_{0, 0};
  bool visible_ = true, statusBar_ = false, menuBar_ = false, fullScreen_ = false, offline_ = false;
  bool silent_ = false, registerAsBrowser_ = false, dropTarget_ = true, addressBar_ = false, resizable_ = true;
  int toolBar_ = 0;
};

}  // namespace qv::browser
