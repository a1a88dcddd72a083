// TWebHost: the control that hosts the web browser in the programs' windows.
// It is the browser's host site: the host-side interfaces (UI handler,
// show-UI, command target, service provider, ambient dispatch) are answered
// here and turned into published events, each with a fixed answer when no
// handler is set. It also keeps the download and user-interface option sets,
// which reach the browser through the ambient DLCONTROL property and
// GetHostInfo, the print options, and a few navigation and command routines.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/browser/OleInterfaces.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/SHDocVw.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/kernel/Shell.h"

// The browser headers spell a few download flags as macros, which would
// rewrite the option names below; they stay available as constants.
#undef DLCTL_DLIMAGES
#undef DLCTL_VIDEOS
#undef DLCTL_BGSOUNDS
#undef DLCTL_NO_SCRIPTS
#undef DLCTL_SILENT
#undef DLCTL_OFFLINE
inline constexpr DWORD DLCTL_DLIMAGES = 0x00000010;
inline constexpr DWORD DLCTL_VIDEOS = 0x00000020;
inline constexpr DWORD DLCTL_BGSOUNDS = 0x00000040;
inline constexpr DWORD DLCTL_NO_SCRIPTS = 0x00000080;
inline constexpr DWORD DLCTL_SILENT = 0x40000000;
inline constexpr DWORD DLCTL_OFFLINE = 0x80000000;

struct IDropTarget;
struct IDataObject;
struct ITypeInfo;
struct IOleInPlaceActiveObject;
struct IOleInPlaceFrame;
struct IOleInPlaceUIWindow;

// Each member stands for the download flag of the same name.
enum class TDownloadControlOption {
  DLCTL_DLIMAGES,
  DLCTL_VIDEOS,
  DLCTL_BGSOUNDS,
  DLCTL_NO_SCRIPTS,
  DLCTL_NO_JAVA,
  DLCTL_NO_RUNACTIVEXCTLS,
  DLCTL_NO_DLACTIVEXCTLS,
  DLCTL_DOWNLOADONLY,
  DLCTL_NO_FRAMEDOWNLOAD,
  DLCTL_RESYNCHRONIZE,
  DLCTL_PRAGMA_NO_CACHE,
  DLCTL_NO_BEHAVIORS,
  DLCTL_NO_METACHARSET,
  DLCTL_URL_ENCODING_DISABLE_UTF8,
  DLCTL_URL_ENCODING_ENABLE_UTF8,
  DLCTL_FORCEOFFLINE,
  DLCTL_NO_CLIENTPULL,
  DLCTL_SILENT,
  DLCTL_OFFLINE
};
QV_ENUM_TYPE(TDownloadControlOption, DLCTL_DLIMAGES, DLCTL_VIDEOS, DLCTL_BGSOUNDS, DLCTL_NO_SCRIPTS, DLCTL_NO_JAVA,
             DLCTL_NO_RUNACTIVEXCTLS, DLCTL_NO_DLACTIVEXCTLS, DLCTL_DOWNLOADONLY, DLCTL_NO_FRAMEDOWNLOAD,
             DLCTL_RESYNCHRONIZE, DLCTL_PRAGMA_NO_CACHE, DLCTL_NO_BEHAVIORS, DLCTL_NO_METACHARSET,
             DLCTL_URL_ENCODING_DISABLE_UTF8, DLCTL_URL_ENCODING_ENABLE_UTF8, DLCTL_FORCEOFFLINE, DLCTL_NO_CLIENTPULL,
             DLCTL_SILENT, DLCTL_OFFLINE)
using TDownloadControlOptions = TSet<TDownloadControlOption>;

// Each member stands for the DOCHOSTUIFLAG_ flag of the same name.
enum class TUserInterfaceOption {
  DIALOG,
  DISABLE_HELP_MENU,
  NO3DBORDER,
  SCROLL_NO,
  DISABLE_SCRIPT_INACTIVE,
  OPENNEWWIN,
  DISABLE_OFFSCREEN,
  FLAT_SCROLLBAR,
  DIV_BLOCKDEFAULT,
  ACTIVATE_CLIENTHIT_ONLY,
  OVERRIDEBEHAVIORFACTORY,
  CODEPAGELINKEDFONTS,
  URL_ENCODING_DISABLE_UTF8,
  URL_ENCODING_ENABLE_UTF8,
  ENABLE_FORMS_AUTOCOMPLETE,
  ENABLE_INPLACE_NAVIGATION,
  IME_ENABLE_RECONVERSION,
  THEME,
  NO3DOUTERBORDER
};
QV_ENUM_TYPE(TUserInterfaceOption, DIALOG, DISABLE_HELP_MENU, NO3DBORDER, SCROLL_NO, DISABLE_SCRIPT_INACTIVE,
             OPENNEWWIN, DISABLE_OFFSCREEN, FLAT_SCROLLBAR, DIV_BLOCKDEFAULT, ACTIVATE_CLIENTHIT_ONLY,
             OVERRIDEBEHAVIORFACTORY, CODEPAGELINKEDFONTS, URL_ENCODING_DISABLE_UTF8, URL_ENCODING_ENABLE_UTF8,
             ENABLE_FORMS_AUTOCOMPLETE, ENABLE_INPLACE_NAVIGATION, IME_ENABLE_RECONVERSION, THEME, NO3DOUTERBORDER)
using TUserInterfaceOptions = TSet<TUserInterfaceOption>;

enum TPrintOrientationOption { poPortrait, poLandscape };
QV_ENUM_TYPE(TPrintOrientationOption, poPortrait, poLandscape)

namespace qv::browserhost {

// The sums of the platform's flag values of the members in a set (0 for an
// empty set).
DWORD downloadFlags(TDownloadControlOptions Options);
DWORD userInterfaceFlags(TUserInterfaceOptions Options);

// The floating-point control word as the class library keeps it. Our float
// code runs on SSE, where an unmasked exception would end the process with
// a signal instead of raising a class library exception, so the word is
// kept for the programs to read and set but never loaded into the FPU.
inline constexpr WORD Default8087CW = 0x1332;
WORD Get8087CW();
void Set8087CW(WORD Value);

class WebHostSite;

// System commands that the keyboard filter sends to the main form with
// WM_SYSCOMMAND (lParam 0): the About command seen in the queue, Alt+Right,
// Alt+Left and a left button press in the browser.
inline constexpr WPARAM SC_APPABOUT = 0x501;
inline constexpr WPARAM SC_APPFORWARD = 0x502;
inline constexpr WPARAM SC_APPBACK = 0x503;
inline constexpr WPARAM SC_APPCLICK = 0x504;

// Whether a control of this process has the application keyboard filter
// installed. The runtime's build of the control installs it from the
// constructor of the first control; the designer's build installs none.
bool FilterInstalled();

// --- the shell's DDE server
// The names the shell uses to open HTML files and folders through DDE, from
// HKEY_CLASSES_ROOT: the applications and topics of "htmlfile" and
// "Folder", and the command names of the folder verbs open, explore and
// find (the text between "[" and "(" of their ddeexec values). Read by every
// control's construction; an unreadable key gives an empty name, and an
// empty command name never matches a command.
struct ShellDdeNames {
  std::string HtmlApplication;
  std::string HtmlTopic;
  std::string FolderApplication;
  std::string FolderTopic;
  std::string OpenFolderCommand;
  std::string ExploreCommand;
  std::string FindCommand;
};
const ShellDdeNames& shellDdeNames();
void ReadShellDdeNames();

// What a folder command asks for. `Pidl` is the shell allocator's and the
// receiver's to free (ShellFreePidl).
enum TDdeCommandKind { dckNone = 0, dckOpenFolder = 1, dckExplore = 2, dckFind = 3 };
struct TDdeCommand {
  TDdeCommandKind Kind = dckNone;
  std::string Path;
  LPITEMIDLIST Pidl = nullptr;
  int ShowCommand = 1;
};
// "[Command("path", :handle:process, show)]". The path, list and show
// command are read only for a known command. Every part is looked for
// within the text; a part that is not there is empty (the show command 1).
TDdeCommand ParseDdeCommand(const std::string& Text);
TDdeCommandKind GetDdeCommandKind(const std::string& Text);
// The text between the first two double quotes; empty without both.
std::string GetDdeQuotedPath(const std::string& Text);
// The item id list that the second argument hands over in the shell's shared
// memory (":handle:process"), copied into the shell's allocator and the
// shared block released; nullptr without one. A plain number would be an
// address in this process, which no command text is trusted with: it gives
// nullptr, as does a number that does not fit.
LPITEMIDLIST GetDdePidl(const std::string& Text);
// The first digit after the second comma; 1 without one.
int GetDdeShowCommand(const std::string& Text);

}  // namespace qv::browserhost

// The page margins of the print options, in millimetres or inches.
class TMargins : public TPersistent {
  QV_CLASS(TMargins, TPersistent)
  TMargins() = default;

  double Left() const { return FLeft; }
  void SetLeft(double Value) { FLeft = Value; }
  double Right() const { return FRight; }
  void SetRight(double Value) { FRight = Value; }
  double Top() const { return FTop; }
  void SetTop(double Value) { FTop = Value; }
  double Bottom() const { return FBottom; }
  void SetBottom(double Value) { FBottom = Value; }

  void Assign(TPersistent* Source) override;

  QV_PUBLISHED(TMargins) {
    P.Prop("Left", &TMargins::Left, &TMargins::SetLeft);
    P.Prop("Right", &TMargins::Right, &TMargins::SetRight);
    P.Prop("Top", &TMargins::Top, &TMargins::SetTop);
    P.Prop("Bottom", &TMargins::Bottom, &TMargins::SetBottom);
  }

 private:
  double FLeft = 0, FRight = 0, FTop = 0, FBottom = 0;
};

// What a page would be printed with. The programs store and stream these
// values; nothing prints from them.
class TPrintOptions : public TPersistent {
  QV_CLASS(TPrintOptions, TPersistent)
  // Owned by a control (for name paths) or free-standing.
  explicit TPrintOptions(TPersistent* AOwner = nullptr);
  ~TPrintOptions() override;

  TStrings* HTMLHeader() const { return FHTMLHeader; }
  // Copies the lines into the list this object owns.
  void SetHTMLHeader(TStrings* Value);
  const std::string& Header() const { return FHeader; }
  void SetHeader(const std::string& Value) { FHeader = Value; }
  const std::string& Footer() const { return FFooter; }
  void SetFooter(const std::string& Value) { FFooter = Value; }
  TMargins* Margins() const { return FMargins; }
  // Copies the values into the margins this object owns.
  void SetMargins(TMargins* Value);
  TPrintOrientationOption Orientation() const { return FOrientation; }
  void SetOrientation(TPrintOrientationOption Value) { FOrientation = Value; }
  // Whether the margins are in inches (else millimetres); not streamed.
  bool Measure() const { return FMeasure; }
  void SetMeasure(bool Value) { FMeasure = Value; }

  void Assign(TPersistent* Source) override;

  QV_PUBLISHED(TPrintOptions) {
    P.Prop("HTMLHeader", &TPrintOptions::HTMLHeader, &TPrintOptions::SetHTMLHeader);
    P.Prop("Header", &TPrintOptions::Header, &TPrintOptions::SetHeader);
    P.Prop("Footer", &TPrintOptions::Footer, &TPrintOptions::SetFooter);
    P.Prop("Margins", &TPrintOptions::Margins, &TPrintOptions::SetMargins);
    P.Prop("Orientation", &TPrintOptions::Orientation, &TPrintOptions::SetOrientation).Default(poPortrait);
  }

 protected:
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
  TStringList* FHTMLHeader;
  std::string FHeader;
  std::string FFooter;
  TMargins* FMargins;
  TPrintOrientationOption FOrientation = poPortrait;
  bool FMeasure = false;
};

class TWebHost : public TWebBrowser {
  QV_CLASS(TWebHost, TWebBrowser)
  explicit TWebHost(TComponent* AOwner);
  ~TWebHost() override;

  // --- option sets, pushed to the browser at once
  TDownloadControlOptions DownloadOptions() const { return FDownloadOptions; }
  // EIntfCastError when the browser offers no control interface to tell.
  void SetDownloadOptions(TDownloadControlOptions Value);
  TUserInterfaceOptions UserInterfaceOptions() const { return FUserInterfaceOptions; }
  void SetUserInterfaceOptions(TUserInterfaceOptions Value);
  // The flag words the browser reads (ambient DLCONTROL, GetHostInfo).
  DWORD DownloadFlags() const { return FDownloadFlags; }
  DWORD UserInterfaceFlags() const { return FUserInterfaceFlags; }

  // --- further published state
  const std::string& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& Value) { FHelpFile = Value; }
  TPrintOptions* PrintOptions() const { return FPrintOptions; }
  // Copies the values into the print options this control owns.
  void SetPrintOptions(TPrintOptions* Value);
  const std::string& UserAgent() const { return FUserAgent; }
  void SetUserAgent(const std::string& Value) { FUserAgent = Value; }
  bool ReplaceCaption() const { return FReplaceCaption; }
  void SetReplaceCaption(bool Value) { FReplaceCaption = Value; }
  bool EnableDDE() const { return FEnableDDE; }
  void SetEnableDDE(bool Value);
  // True: the floating-point control word saved at start-up; false: every
  // floating-point exception masked.
  bool fpExceptions() const { return FfpExceptions; }
  void SetfpExceptions(bool Value);

  // --- navigation and commands
  // A file path or an address.
  void NavigateTo(const std::string& URL);
  // Nothing happens for a null list or when the array cannot be made.
  void NavigateToPidl(LPCITEMIDLIST PIDL);
  // Exec on the current document's command target, in the browser's command
  // group when WithGroup; nothing without a document, and every failure is
  // swallowed.
  void InvokeCommand(bool WithGroup, int CmdID, VARIANT* vaIn = nullptr, VARIANT* vaOut = nullptr,
                     OLECMDEXECOPT ExecOpt = OLECMDEXECOPT_DODEFAULT);
  void ShowFindDialog();
  void CopySelection();

  HRESULT QueryHostInterface(REFIID iid, void** ppv) override;

  // --- the owner form's hook (a control loaded from a form resource)
  // While hooked, the owner form's window procedure first shows its
  // messages to OwnerWindowProc. Only when the owner's window exists.
  void HookOwnerForm();
  // Puts the owner's procedure back while the owner still has its window,
  // and forgets the owner.
  void UnhookOwnerForm();
  // A window that takes over the activation from the owner form: a dialog
  // gets the application's icon and title (ReplaceCaption), and
  // OnShowDialog hears of every such window. Then the saved procedure.
  void OwnerWindowProc(TMessage& Message);

  // --- the shell's DDE server (EnableDDE)
  // The hidden window that hears the shell's initiations.
  HWND DdeWindow() const { return FDdeWindow; }
  // The client window of the conversation this control acknowledged; null
  // without one.
  HWND DdeClient() const { return FDdeClient; }
  void DdeWindowProc(TMessage& Message);
  // Acknowledges an initiation from a window of this thread that names the
  // shell's HTML or folder application and topic; the conversation then
  // runs with the control's own window. A control without its own window
  // procedure (one not loaded from a form resource) could not hear the
  // conversation and acknowledges nothing.
  void DdeInitiate(HWND Client, LPARAM lParam);
  void DdeTerminate(HWND Client);
  // Carries out the command (HTML: navigate to the address; folders: open,
  // explore or find) and acknowledges it, positively when it was carried
  // out.
  void DdeExecute(HWND Client, LPARAM lParam);

  // --- the application keyboard filter
  // Makes ApplicationMessageFilter of this control the application's
  // OnMessage handler, keeping the one it replaces, unless a control has
  // installed the filter already.
  void InstallMessageHook();
  // Puts the kept handler back when this control installed the filter;
  // nothing otherwise.
  void RemoveMessageHook();
  // Runs for every message the application's loop takes, before it is
  // translated and dispatched: Alt+Left and Alt+Right become SC_APPBACK and
  // SC_APPFORWARD for the main form, navigation and editing keys of the
  // browser go to its in-place active object, the About command and a left
  // click in the browser become SC_APPABOUT and SC_APPCLICK.
  void ApplicationMessageFilter(MSG& Msg, bool& Handled);

  // --- events
  std::function<void(TObject* Sender, int CmdID, bool& Cancel)> OnRefresh;
  std::function<void(TObject* Sender, const std::string& ErrorLine, const std::string& ErrorCharacter,
                     const std::string& ErrorCode, const std::string& ErrorMessage, const std::string& ErrorUrl,
                     bool& ContinueScript, bool& Showdialog)>
      OnScriptError;
  std::function<void(TObject* Sender)> OnUnload;
  std::function<HRESULT(LPOLESTR& pchKey, DWORD dw)> OnGetOverrideKeyPath;
  // S_OK: the host has handled it and the browser shows no menu; S_FALSE:
  // the browser shows its own.
  std::function<HRESULT(DWORD dwID, const POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved)>
      OnShowContextMenu;
  // The structure arrives filled with cbSize 20 and the user-interface flags.
  std::function<HRESULT(DOCHOSTUIINFO& pInfo)> OnGetHostInfo;
  std::function<HRESULT(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                        IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc)>
      OnShowUI;
  std::function<HRESULT()> OnHideUI;
  std::function<HRESULT()> OnUpdateUI;
  std::function<HRESULT(BOOL fEnable)> OnEnableModeless;
  std::function<HRESULT(BOOL fActivate)> OnOnDocWindowActivate;
  std::function<HRESULT(BOOL fActivate)> OnOnFrameWindowActivate;
  std::function<HRESULT(const RECT* prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fRameWindow)> OnResizeBorder;
  std::function<HRESULT(const MSG* lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID)> OnTranslateAccelerator;
  std::function<HRESULT(LPOLESTR& pchKey, DWORD dw)> OnGetOptionKeyPath;
  // Out parameters whose interfaces only pass through (drop targets, data
  // objects, type information) are raw: the handler hands over a counted
  // reference, or leaves the null they start with.
  std::function<HRESULT(IDropTarget* pDropTarget, IDropTarget*& ppDropTarget)> OnGetDropTarget;
  std::function<HRESULT(qv::com::ComPtr<IDispatch>& ppDispatch)> OnGetExternal;
  // ppchURLOut: a string from CoTaskMemAlloc, which the browser frees.
  std::function<HRESULT(DWORD dwTranslate, LPCOLESTR pchURLIn, LPOLESTR& ppchURLOut)> OnTranslateUrl;
  std::function<HRESULT(IDataObject* pDO, IDataObject*& ppDORet)> OnFilterDataObject;
  std::function<HRESULT(HWND hwnd, LPCOLESTR lpstrText, LPCOLESTR lpstrCaption, int dwType, LPCOLESTR lpstrHelpFile,
                        int dwHelpContext, LRESULT& plResult)>
      OnShowMessage;
  std::function<HRESULT(HWND hwnd, LPCOLESTR pszHelpFile, int uCommand, int dwData, POINT ptMouse,
                        qv::com::ComPtr<IDispatch>& pDispatchObjectHit)>
      OnShowHelp;
  std::function<HRESULT(int& Count)> OnGetTypeInfoCount;
  std::function<HRESULT(int Index, int LocaleID, ITypeInfo*& TypeInfo)> OnGetTypeInfo;
  std::function<HRESULT(const GUID& IID, LPOLESTR* Names, int NameCount, int LocaleID, DISPID* DispIDs)>
      OnGetIDsOfNames;
  std::function<HRESULT(int DispID, const GUID& IID, int LocaleID, WORD Flags, DISPPARAMS& Params, VARIANT* VarResult,
                        EXCEPINFO* ExcepInfo, UINT* ArgErr)>
      OnInvoke;
  // Obj: the interface asked for by iid, or null.
  std::function<HRESULT(const GUID& rsid, const GUID& iid, qv::com::ComPtr<IUnknown>& Obj)> OnQueryService;
  std::function<void(TObject* Sender, bool& CanClose)> OnCloseQuery;
  std::function<void(TObject* Sender, HWND h)> OnShowDialog;

  QV_PUBLISHED(TWebHost) {
    P.Prop("DownloadOptions", &TWebHost::DownloadOptions, &TWebHost::SetDownloadOptions)
        .Default(TDownloadControlOptions{TDownloadControlOption::DLCTL_DLIMAGES, TDownloadControlOption::DLCTL_VIDEOS,
                                         TDownloadControlOption::DLCTL_BGSOUNDS});
    P.Prop("UserInterfaceOptions", &TWebHost::UserInterfaceOptions, &TWebHost::SetUserInterfaceOptions)
        .Default(TUserInterfaceOptions{});
    P.Event("OnRefresh", &TWebHost::OnRefresh);
    P.Event("OnScriptError", &TWebHost::OnScriptError);
    P.Event("OnUnload", &TWebHost::OnUnload);
    P.Event("OnGetOverrideKeyPath", &TWebHost::OnGetOverrideKeyPath);
    P.Event("OnShowContextMenu", &TWebHost::OnShowContextMenu);
    P.Event("OnGetHostInfo", &TWebHost::OnGetHostInfo);
    P.Event("OnShowUI", &TWebHost::OnShowUI);
    P.Event("OnHideUI", &TWebHost::OnHideUI);
    P.Event("OnUpdateUI", &TWebHost::OnUpdateUI);
    P.Event("OnEnableModeless", &TWebHost::OnEnableModeless);
    P.Event("OnOnDocWindowActivate", &TWebHost::OnOnDocWindowActivate);
    P.Event("OnOnFrameWindowActivate", &TWebHost::OnOnFrameWindowActivate);
    P.Event("OnResizeBorder", &TWebHost::OnResizeBorder);
    P.Event("OnTranslateAccelerator", &TWebHost::OnTranslateAccelerator);
    P.Event("OnGetOptionKeyPath", &TWebHost::OnGetOptionKeyPath);
    P.Event("OnGetDropTarget", &TWebHost::OnGetDropTarget);
    P.Event("OnGetExternal", &TWebHost::OnGetExternal);
    P.Event("OnTranslateUrl", &TWebHost::OnTranslateUrl);
    P.Event("OnFilterDataObject", &TWebHost::OnFilterDataObject);
    P.Prop("HelpFile", &TWebHost::HelpFile, &TWebHost::SetHelpFile);
    P.Event("OnShowMessage", &TWebHost::OnShowMessage);
    P.Event("OnShowHelp", &TWebHost::OnShowHelp);
    P.Event("OnGetTypeInfoCount", &TWebHost::OnGetTypeInfoCount);
    P.Event("OnGetTypeInfo", &TWebHost::OnGetTypeInfo);
    P.Event("OnGetIDsOfNames", &TWebHost::OnGetIDsOfNames);
    P.Event("OnInvoke", &TWebHost::OnInvoke);
    P.Event("OnQueryService", &TWebHost::OnQueryService);
    P.Event("OnCloseQuery", &TWebHost::OnCloseQuery);
    P.Event("OnShowDialog", &TWebHost::OnShowDialog);
    P.Prop("PrintOptions", &TWebHost::PrintOptions, &TWebHost::SetPrintOptions);
    P.Prop("UserAgent", &TWebHost::UserAgent, &TWebHost::SetUserAgent);
    P.Prop("ReplaceCaption", &TWebHost::ReplaceCaption, &TWebHost::SetReplaceCaption).Default(false);
    P.Prop("EnableDDE", &TWebHost::EnableDDE, &TWebHost::SetEnableDDE).Default(false);
    P.Prop("fpExceptions", &TWebHost::fpExceptions, &TWebHost::SetfpExceptions).Default(true);
  }

 protected:
  void Loaded() override;

 private:
  friend class qv::browserhost::WebHostSite;

  // Tells the browser that the ambient DLCONTROL property changed.
  void notifyAmbientChange();
  // The browser's in-place active object; EIntfCastError when it has none.
  qv::com::ComPtr<IOleInPlaceActiveObject> activeObject();
  // The control's window procedure, in front of the class library's once
  // the control is loaded from a form resource.
  void HostWindowProc(TMessage& Message);
  void readPageSetup();
  HRESULT exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut);
  void scriptError(HRESULT& Result, VARIANT* pvaOut);
  HRESULT invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* excep, UINT* argErr);

  bool FfpExceptions = true;
  TDownloadControlOptions FDownloadOptions;
  TUserInterfaceOptions FUserInterfaceOptions;
  DWORD FDownloadFlags = 0;
  DWORD FUserInterfaceFlags = 0;
  std::string FHelpFile;
  TPrintOptions* FPrintOptions = nullptr;
  std::string FUserAgent;
  bool FReplaceCaption = false;
  bool FEnableDDE = false;
  // Whether the user's locale measures in inches.
  bool FMeasureInches = false;
  qv::com::ComPtr<qv::browserhost::WebHostSite> FHostSite;
  // The application's OnMessage handler that the filter replaced, while
  // this control has the filter installed.
  TMessageEvent FSavedOnMessage;
  bool FInstalledFilter = false;
  // The window procedure HostWindowProc passes messages on to.
  std::function<void(TMessage&)> FSavedWindowProc;
  // The owner form while hooked, and the procedure the hook passes on to.
  // The hook reaches this control through a cell that the destructor
  // clears, so an owner that outlives the control never calls into it.
  TWinControl* FOwnerForm = nullptr;
  std::function<void(TMessage&)> FSavedOwnerProc;
  std::shared_ptr<TWebHost*> FOwnerHookTarget;
  HWND FDdeWindow = nullptr;
  HWND FDdeClient = nullptr;
};
