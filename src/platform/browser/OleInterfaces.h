// The OLE and browser-hosting interfaces the web-browser control offers and
// the host-side interfaces it calls, with the platform's IIDs, vtable order
// and constants. Types that only pass through (monikers, drop targets, data
// objects, in-place frames) are named but not declared.
#pragma once

#include "platform/com/Dispatch.h"
#include "platform/os/Types.h"

struct IMoniker;
struct IDataObject;
struct IEnumOLEVERB;
struct IAdviseSink;
struct IEnumSTATDATA;
struct IOleContainer;
struct IDropTarget;
struct IOleInPlaceActiveObject;
struct IOleInPlaceFrame;
struct IOleInPlaceUIWindow;
struct IEnumConnections;
struct IEnumConnectionPoints;
struct LOGPALETTE;
using SIZEL = SIZE;
using LPSIZEL = SIZE*;

#define QV_IID(name, l, w1, w2, b0, b1, b2, b3, b4, b5, b6, b7) \
  inline constexpr IID name = {l, w1, w2, {b0, b1, b2, b3, b4, b5, b6, b7}}

QV_IID(IID_IOleObject, 0x00000112, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
QV_IID(IID_IOleClientSite, 0x00000118, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
QV_IID(IID_IOleWindow, 0x00000114, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
QV_IID(IID_IOleInPlaceObject, 0x00000113, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
QV_IID(IID_IOleInPlaceActiveObject, 0x00000117, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
QV_IID(IID_IOleControl, 0xB196B288, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
QV_IID(IID_IOleCommandTarget, 0xB722BCCB, 0x4E68, 0x101B, 0xA2, 0xBC, 0x00, 0xAA, 0x00, 0x40, 0x47, 0x70);
QV_IID(IID_IServiceProvider, 0x6D5140C1, 0x7436, 0x11CE, 0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA);
QV_IID(IID_IDocHostUIHandler, 0xBD3F23C0, 0xD43E, 0x11CF, 0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A);
QV_IID(IID_IDocHostUIHandler2, 0x3050F6D0, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
QV_IID(IID_IDocHostShowUI, 0xC4D244B0, 0xD43E, 0x11CF, 0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A);
QV_IID(IID_IConnectionPointContainer, 0xB196B284, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
QV_IID(IID_IConnectionPoint, 0xB196B286, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
QV_IID(IID_IWebBrowser, 0xEAB22AC1, 0x30C1, 0x11CF, 0xA7, 0xEB, 0x00, 0x00, 0xC0, 0x5B, 0xAE, 0x0B);
QV_IID(IID_IWebBrowserApp, 0x0002DF05, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
QV_IID(IID_IWebBrowser2, 0xD30C1661, 0xCDAF, 0x11D0, 0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E);
QV_IID(DIID_DWebBrowserEvents2, 0x34A715A0, 0x6587, 0x11D0, 0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D);
QV_IID(CLSID_WebBrowser, 0x8856F961, 0x340A, 0x11D0, 0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2);
// Command groups.
QV_IID(CGID_DocHostCommandHandler, 0xF38BC242, 0xB950, 0x11D1, 0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36);
QV_IID(CGID_IWebBrowser, 0xED016940, 0xBD5B, 0x11CF, 0xBA, 0x4E, 0x00, 0xC0, 0x4F, 0xD7, 0x08, 0x16);
QV_IID(CGID_Explorer, 0x000214D0, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
#undef QV_IID

// Verbs.
#define OLEIVERB_PRIMARY 0L
#define OLEIVERB_SHOW (-1L)
#define OLEIVERB_OPEN (-2L)
#define OLEIVERB_HIDE (-3L)
#define OLEIVERB_UIACTIVATE (-4L)
#define OLEIVERB_INPLACEACTIVATE (-5L)
#define OLECLOSE_SAVEIFDIRTY 0
#define OLECLOSE_NOSAVE 1
#define OLECLOSE_PROMPTSAVE 2

// Command-target errors and commands.
#define OLECMDERR_E_NOTSUPPORTED QV_HR(0x80040100)
#define OLECMDERR_E_DISABLED QV_HR(0x80040101)
#define OLECMDERR_E_CANCELED QV_HR(0x80040103)
#define OLECMDERR_E_UNKNOWNGROUP QV_HR(0x80040104)
#define CONNECT_E_NOCONNECTION QV_HR(0x80040200)
#define CONNECT_E_ADVISELIMIT QV_HR(0x80040201)
#define CONNECT_E_CANNOTCONNECT QV_HR(0x80040202)

enum OLECMDID : DWORD {
  OLECMDID_OPEN = 1,
  OLECMDID_NEW = 2,
  OLECMDID_SAVE = 3,
  OLECMDID_SAVEAS = 4,
  OLECMDID_PRINT = 6,
  OLECMDID_PRINTPREVIEW = 7,
  OLECMDID_PAGESETUP = 8,
  OLECMDID_PROPERTIES = 10,
  OLECMDID_CUT = 11,
  OLECMDID_COPY = 12,
  OLECMDID_PASTE = 13,
  OLECMDID_SELECTALL = 17,
  OLECMDID_REFRESH = 22,
  OLECMDID_STOP = 23,
  OLECMDID_FIND = 32,
  OLECMDID_SHOWSCRIPTERROR = 40,
  OLECMDID_OPTICAL_ZOOM = 63,
};
enum OLECMDEXECOPT : DWORD {
  OLECMDEXECOPT_DODEFAULT = 0,
  OLECMDEXECOPT_PROMPTUSER = 1,
  OLECMDEXECOPT_DONTPROMPTUSER = 2,
  OLECMDEXECOPT_SHOWHELP = 3,
};
enum OLECMDF : DWORD {
  OLECMDF_SUPPORTED = 0x1,
  OLECMDF_ENABLED = 0x2,
  OLECMDF_LATCHED = 0x4,
  OLECMDF_NINCHED = 0x8,
};
struct OLECMD {
  ULONG cmdID;
  DWORD cmdf;
};
struct OLECMDTEXT {
  DWORD cmdtextf;
  ULONG cwActual;
  ULONG cwBuf;
  WCHAR rgwz[1];
};
// Commands of CGID_DocHostCommandHandler the control sends to its host.
#define IDM_REFRESH 2300
#define IDM_REFRESH_TOP 6041
#define IDM_REFRESH_TOP_FULL 6042
// CGID_IWebBrowser: the find dialog; CGID_Explorer: the document unloads.
#define CWBCMD_FIND 1
#define SBCMDID_ONUNLOAD 37

// Refresh levels.
#define REFRESH_NORMAL 0
#define REFRESH_IFEXPIRED 1
#define REFRESH_COMPLETELY 3

enum READYSTATE : LONG {
  READYSTATE_UNINITIALIZED = 0,
  READYSTATE_LOADING = 1,
  READYSTATE_LOADED = 2,
  READYSTATE_INTERACTIVE = 3,
  READYSTATE_COMPLETE = 4,
};

// Ambient properties read from the host's IDispatch.
#define DISPID_AMBIENT_DLCONTROL (-5512)
#define DISPID_AMBIENT_USERAGENT (-5513)
#define DLCTL_DLIMAGES 0x00000010
#define DLCTL_VIDEOS 0x00000020
#define DLCTL_BGSOUNDS 0x00000040
#define DLCTL_NO_SCRIPTS 0x00000080
#define DLCTL_SILENT 0x40000000
#define DLCTL_OFFLINE 0x80000000

// The host's UI handler.
struct DOCHOSTUIINFO {
  ULONG cbSize;
  DWORD dwFlags;
  DWORD dwDoubleClick;
  OLECHAR* pchHostCss;
  OLECHAR* pchHostNS;
};
#define CONTEXT_MENU_DEFAULT 0
#define CONTEXT_MENU_IMAGE 1
#define CONTEXT_MENU_CONTROL 2
#define CONTEXT_MENU_TABLE 3
#define CONTEXT_MENU_TEXTSELECT 4
#define CONTEXT_MENU_ANCHOR 5
#define DOCHOSTUIFLAG_NO3DBORDER 0x00000004
#define DOCHOSTUIFLAG_SCROLL_NO 0x00000008
#define DOCHOSTUIFLAG_FLAT_SCROLLBAR 0x00000080
#define DOCHOSTUIDBLCLK_DEFAULT 0

// Navigation flags (BrowserNavConstants).
#define navOpenInNewWindow 0x1
#define navNoHistory 0x2
#define navNoReadFromCache 0x4
#define navNoWriteToCache 0x8

// CommandStateChange commands.
#define CSC_UPDATECOMMANDS (-1)
#define CSC_NAVIGATEFORWARD 1
#define CSC_NAVIGATEBACK 2

#define QV_INTERFACE(Name, BaseName)         \
  static constexpr const IID& Iid = IID_##Name; \
  using Base = BaseName

struct IOleClientSite : IUnknown {
  QV_INTERFACE(IOleClientSite, IUnknown);
  virtual HRESULT SaveObject() = 0;
  virtual HRESULT GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
  virtual HRESULT GetContainer(IOleContainer** ppContainer) = 0;
  virtual HRESULT ShowObject() = 0;
  virtual HRESULT OnShowWindow(BOOL fShow) = 0;
  virtual HRESULT RequestNewObjectLayout() = 0;

 protected:
  ~IOleClientSite() = default;
};

struct IOleObject : IUnknown {
  QV_INTERFACE(IOleObject, IUnknown);
  virtual HRESULT SetClientSite(IOleClientSite* pClientSite) = 0;
  virtual HRESULT GetClientSite(IOleClientSite** ppClientSite) = 0;
  virtual HRESULT SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) = 0;
  virtual HRESULT Close(DWORD dwSaveOption) = 0;
  virtual HRESULT SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) = 0;
  virtual HRESULT GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
  virtual HRESULT InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) = 0;
  virtual HRESULT GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) = 0;
  virtual HRESULT DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                         LPCRECT lprcPosRect) = 0;
  virtual HRESULT EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) = 0;
  virtual HRESULT Update() = 0;
  virtual HRESULT IsUpToDate() = 0;
  virtual HRESULT GetUserClassID(CLSID* pClsid) = 0;
  virtual HRESULT GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) = 0;
  virtual HRESULT SetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
  virtual HRESULT GetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
  virtual HRESULT Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) = 0;
  virtual HRESULT Unadvise(DWORD dwConnection) = 0;
  virtual HRESULT EnumAdvise(IEnumSTATDATA** ppenumAdvise) = 0;
  virtual HRESULT GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) = 0;
  virtual HRESULT SetColorScheme(LOGPALETTE* pLogpal) = 0;

 protected:
  ~IOleObject() = default;
};

struct IOleWindow : IUnknown {
  QV_INTERFACE(IOleWindow, IUnknown);
  virtual HRESULT GetWindow(HWND* phwnd) = 0;
  virtual HRESULT ContextSensitiveHelp(BOOL fEnterMode) = 0;

 protected:
  ~IOleWindow() = default;
};

struct IOleInPlaceObject : IOleWindow {
  QV_INTERFACE(IOleInPlaceObject, IOleWindow);
  virtual HRESULT InPlaceDeactivate() = 0;
  virtual HRESULT UIDeactivate() = 0;
  virtual HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;
  virtual HRESULT ReactivateAndUndo() = 0;

 protected:
  ~IOleInPlaceObject() = default;
};

// What a container's message loop hands keys to: TranslateAccelerator gives
// S_OK when the object has acted on the key (the loop then neither
// translates nor dispatches it), S_FALSE otherwise.
struct IOleInPlaceActiveObject : IOleWindow {
  QV_INTERFACE(IOleInPlaceActiveObject, IOleWindow);
  virtual HRESULT TranslateAccelerator(LPMSG lpmsg) = 0;
  virtual HRESULT OnFrameWindowActivate(BOOL fActivate) = 0;
  virtual HRESULT OnDocWindowActivate(BOOL fActivate) = 0;
  virtual HRESULT ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fFrameWindow) = 0;
  virtual HRESULT EnableModeless(BOOL fEnable) = 0;

 protected:
  ~IOleInPlaceActiveObject() = default;
};

struct CONTROLINFO {
  ULONG cb;
  void* hAccel;
  USHORT cAccel;
  DWORD dwFlags;
};

struct IOleControl : IUnknown {
  QV_INTERFACE(IOleControl, IUnknown);
  virtual HRESULT GetControlInfo(CONTROLINFO* pCI) = 0;
  virtual HRESULT OnMnemonic(MSG* pMsg) = 0;
  virtual HRESULT OnAmbientPropertyChange(DISPID dispID) = 0;
  virtual HRESULT FreezeEvents(BOOL bFreeze) = 0;

 protected:
  ~IOleControl() = default;
};

struct IOleCommandTarget : IUnknown {
  QV_INTERFACE(IOleCommandTarget, IUnknown);
  virtual HRESULT QueryStatus(const GUID* pguidCmdGroup, ULONG cCmds, OLECMD prgCmds[], OLECMDTEXT* pCmdText) = 0;
  virtual HRESULT Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn,
                       VARIANT* pvaOut) = 0;

 protected:
  ~IOleCommandTarget() = default;
};

struct IServiceProvider : IUnknown {
  QV_INTERFACE(IServiceProvider, IUnknown);
  virtual HRESULT QueryService(REFGUID guidService, REFIID riid, void** ppvObject) = 0;

 protected:
  ~IServiceProvider() = default;
};

struct IDocHostUIHandler : IUnknown {
  QV_INTERFACE(IDocHostUIHandler, IUnknown);
  virtual HRESULT ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved) = 0;
  virtual HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo) = 0;
  virtual HRESULT ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                         IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc) = 0;
  virtual HRESULT HideUI() = 0;
  virtual HRESULT UpdateUI() = 0;
  virtual HRESULT EnableModeless(BOOL fEnable) = 0;
  virtual HRESULT OnDocWindowActivate(BOOL fActivate) = 0;
  virtual HRESULT OnFrameWindowActivate(BOOL fActivate) = 0;
  virtual HRESULT ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fRameWindow) = 0;
  virtual HRESULT TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) = 0;
  virtual HRESULT GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) = 0;
  virtual HRESULT GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) = 0;
  virtual HRESULT GetExternal(IDispatch** ppDispatch) = 0;
  virtual HRESULT TranslateUrl(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut) = 0;
  virtual HRESULT FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) = 0;

 protected:
  ~IDocHostUIHandler() = default;
};

struct IDocHostUIHandler2 : IDocHostUIHandler {
  QV_INTERFACE(IDocHostUIHandler2, IDocHostUIHandler);
  virtual HRESULT GetOverrideKeyPath(LPOLESTR* pchKey, DWORD dw) = 0;

 protected:
  ~IDocHostUIHandler2() = default;
};

struct IDocHostShowUI : IUnknown {
  QV_INTERFACE(IDocHostShowUI, IUnknown);
  virtual HRESULT ShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                              LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult) = 0;
  virtual HRESULT ShowHelp(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData, POINT ptMouse,
                           IDispatch* pDispatchObjectHit) = 0;

 protected:
  ~IDocHostShowUI() = default;
};

struct IConnectionPointContainer;

struct IConnectionPoint : IUnknown {
  QV_INTERFACE(IConnectionPoint, IUnknown);
  virtual HRESULT GetConnectionInterface(IID* pIID) = 0;
  virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) = 0;
  virtual HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
  virtual HRESULT Unadvise(DWORD dwCookie) = 0;
  virtual HRESULT EnumConnections(IEnumConnections** ppEnum) = 0;

 protected:
  ~IConnectionPoint() = default;
};

struct IConnectionPointContainer : IUnknown {
  QV_INTERFACE(IConnectionPointContainer, IUnknown);
  virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** ppEnum) = 0;
  virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;

 protected:
  ~IConnectionPointContainer() = default;
};

using SHANDLE_PTR = LONG_PTR;

struct IWebBrowser : IDispatch {
  QV_INTERFACE(IWebBrowser, IDispatch);
  virtual HRESULT GoBack() = 0;
  virtual HRESULT GoForward() = 0;
  virtual HRESULT GoHome() = 0;
  virtual HRESULT GoSearch() = 0;
  virtual HRESULT Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                           VARIANT* Headers) = 0;
  virtual HRESULT Refresh() = 0;
  virtual HRESULT Refresh2(VARIANT* Level) = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT get_Application(IDispatch** ppDisp) = 0;
  virtual HRESULT get_Parent(IDispatch** ppDisp) = 0;
  virtual HRESULT get_Container(IDispatch** ppDisp) = 0;
  virtual HRESULT get_Document(IDispatch** ppDisp) = 0;
  virtual HRESULT get_TopLevelContainer(VARIANT_BOOL* pBool) = 0;
  virtual HRESULT get_Type(BSTR* Type) = 0;
  virtual HRESULT get_Left(LONG* pl) = 0;
  virtual HRESULT put_Left(LONG Left) = 0;
  virtual HRESULT get_Top(LONG* pl) = 0;
  virtual HRESULT put_Top(LONG Top) = 0;
  virtual HRESULT get_Width(LONG* pl) = 0;
  virtual HRESULT put_Width(LONG Width) = 0;
  virtual HRESULT get_Height(LONG* pl) = 0;
  virtual HRESULT put_Height(LONG Height) = 0;
  virtual HRESULT get_LocationName(BSTR* LocationName) = 0;
  virtual HRESULT get_LocationURL(BSTR* LocationURL) = 0;
  virtual HRESULT get_Busy(VARIANT_BOOL* pBool) = 0;

 protected:
  ~IWebBrowser() = default;
};

struct IWebBrowserApp : IWebBrowser {
  QV_INTERFACE(IWebBrowserApp, IWebBrowser);
  virtual HRESULT Quit() = 0;
  virtual HRESULT ClientToWindow(int* pcx, int* pcy) = 0;
  virtual HRESULT PutProperty(BSTR Property, VARIANT vtValue) = 0;
  virtual HRESULT GetProperty(BSTR Property, VARIANT* pvtValue) = 0;
  virtual HRESULT get_Name(BSTR* Name) = 0;
  virtual HRESULT get_HWND(SHANDLE_PTR* pHWND) = 0;
  virtual HRESULT get_FullName(BSTR* FullName) = 0;
  virtual HRESULT get_Path(BSTR* Path) = 0;
  virtual HRESULT get_Visible(VARIANT_BOOL* pBool) = 0;
  virtual HRESULT put_Visible(VARIANT_BOOL Value) = 0;
  virtual HRESULT get_StatusBar(VARIANT_BOOL* pBool) = 0;
  virtual HRESULT put_StatusBar(VARIANT_BOOL Value) = 0;
  virtual HRESULT get_StatusText(BSTR* StatusText) = 0;
  virtual HRESULT put_StatusText(BSTR StatusText) = 0;
  virtual HRESULT get_ToolBar(int* Value) = 0;
  virtual HRESULT put_ToolBar(int Value) = 0;
  virtual HRESULT get_MenuBar(VARIANT_BOOL* Value) = 0;
  virtual HRESULT put_MenuBar(VARIANT_BOOL Value) = 0;
  virtual HRESULT get_FullScreen(VARIANT_BOOL* pbFullScreen) = 0;
  virtual HRESULT put_FullScreen(VARIANT_BOOL bFullScreen) = 0;

 protected:
  ~IWebBrowserApp() = default;
};

struct IWebBrowser2 : IWebBrowserApp {
  QV_INTERFACE(IWebBrowser2, IWebBrowserApp);
  virtual HRESULT Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                            VARIANT* Headers) = 0;
  virtual HRESULT QueryStatusWB(OLECMDID cmdID, OLECMDF* pcmdf) = 0;
  virtual HRESULT ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut) = 0;
  virtual HRESULT ShowBrowserBar(VARIANT* pvaClsid, VARIANT* pvarShow, VARIANT* pvarSize) = 0;
  virtual HRESULT get_ReadyState(READYSTATE* plReadyState) = 0;
  virtual HRESULT get_Offline(VARIANT_BOOL* pbOffline) = 0;
  virtual HRESULT put_Offline(VARIANT_BOOL bOffline) = 0;
  virtual HRESULT get_Silent(VARIANT_BOOL* pbSilent) = 0;
  virtual HRESULT put_Silent(VARIANT_BOOL bSilent) = 0;
  virtual HRESULT get_RegisterAsBrowser(VARIANT_BOOL* pbRegister) = 0;
  virtual HRESULT put_RegisterAsBrowser(VARIANT_BOOL bRegister) = 0;
  virtual HRESULT get_RegisterAsDropTarget(VARIANT_BOOL* pbRegister) = 0;
  virtual HRESULT put_RegisterAsDropTarget(VARIANT_BOOL bRegister) = 0;
  virtual HRESULT get_TheaterMode(VARIANT_BOOL* pbRegister) = 0;
  virtual HRESULT put_TheaterMode(VARIANT_BOOL bRegister) = 0;
  virtual HRESULT get_AddressBar(VARIANT_BOOL* Value) = 0;
  virtual HRESULT put_AddressBar(VARIANT_BOOL Value) = 0;
  virtual HRESULT get_Resizable(VARIANT_BOOL* Value) = 0;
  virtual HRESULT put_Resizable(VARIANT_BOOL Value) = 0;

 protected:
  ~IWebBrowser2() = default;
};

#undef QV_INTERFACE
