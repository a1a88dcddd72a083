// The runtime's main window: it reads the settings file once at start,
// shapes itself from it, hosts the browser control that shows the disc's
// pages, answers the browser's events and system commands, and ends the run
// with the exit splash.
//
// Start-up (RunQvlaunch, Qvlaunch.h): FormCreate picks the message language,
// loads the optional language file and tests the browser version;
// ReadSettings finds and reads the settings file (single instance, start
// splash); ApplySettings shapes the window; FormShow creates the browser and
// navigates it to the start page. A step that fails shows its message and
// calls RequestTerminate: the steps after it are skipped and the program
// ends.
//
// Links drive the runtime (WebHostBeforeNavigate2, WebHostNewWindow2): files
// with an executable extension go to the shell, link targets name commands
// (HandleLinkTarget), close and print addresses act on the window, and a
// navigation that names the search form runs the full-text search over the
// index loaded at start (LoadSearchIndex, ShowSearchResults). The popup
// windows call the same routines on the main window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/browser/HtmlInterfaces.h"
#include "browserhost/WebHost.h"
#include "platform/browser/OleInterfaces.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Graphics.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Variant.h"
#include "platform/os/Types.h"

class TImageShape;
class TPanel;
class TTimer;
class TImageList;
class TWebHost;
class TStatusBar;
class TToolBar;

// System commands of the main window (WM_SYSCOMMAND): the About item of the
// system menus, and forward, back and a click in the page, which the
// browser host's keyboard filter sends.
using qv::browserhost::SC_APPABOUT;
using qv::browserhost::SC_APPBACK;
using qv::browserhost::SC_APPCLICK;
using qv::browserhost::SC_APPFORWARD;

// One page of the search index.
struct SearchIndexEntry {
  std::string Path;
  std::string Title;
  // The page's text, in lower case as the index tool writes it.
  std::string Text;
  bool Matched = false;
};

class TBrowserWindow : public TForm {
  QV_CLASS(TBrowserWindow, TForm)
  explicit TBrowserWindow(TComponent* AOwner);
  ~TBrowserWindow() override;

  // --- settings, as ReadSettings leaves them
  std::string SettingsFile;
  // The settings file's folder with its trailing backslash; every file key
  // of the settings is relative to it.
  std::string IniDir;
  std::string WindowCaption;
  std::string AppCaption;
  std::string IconFile;
  std::string BorderStyleText;
  std::string Skin;
  std::string SkinPosition;
  std::string ToolbarButtons;
  // With its trailing separator unless empty.
  std::string ButtonDir;
  std::string WindowPosition;
  std::string ContextMenu;
  std::string Requirements;
  std::string ExecuteExt;
  // The current start page: the language start page or altstartpage may
  // replace the settings' value.
  std::string StartPage;
  std::string AltStartPage;
  std::string IntroMusic;
  // Full paths (ini dir + value).
  std::string SearchIndexPath;
  std::string ResultTemplatePath;
  // Whole numbers; in percent of the screen when SizeInPercent.
  int WindowWidth = 400;
  int WindowHeight = 600;
  bool SizeInPercent = false;
  // Milliseconds per fade-in step; 0 shows the window at once.
  int FadeIn = 0;
  TColor ToolbarColor = clBtnFace;
  // Ticks of 1000 ms.
  int SplashDuration = 2;
  bool DropShadow = false;
  bool UseLanguageStartPage = false;
  bool LoopMusic = false;
  bool StopMusicOnClick = false;
  bool FullScreenMode = false;
  bool HideSplashScreen = false;
  bool DefaultCursor = true;
  bool NoScrollBars = true;
  bool ForceOfflineMode = false;
  bool InternalPopups = true;
  bool DisableScriptErrors = false;
  bool HideHeaderFooter = false;
  bool ShowStatusBar = false;
  bool SingleInstance = false;
  bool SearchActive = false;

  // --- run-time state
  // Started with an http address: the address is shown instead of the
  // local start page (which must still exist).
  bool WebServerMode = false;
  std::string StartAddress;
  bool English = false;
  bool LanguageFile = false;
  // The ISO 3166 country code of the user's locale (language file and
  // language start pages).
  std::string CountryCode;
  // The installed browser is too old: the start page goes to the shell.
  bool OldBrowser = false;
  bool BackEnabled = false;
  bool ForwardEnabled = false;
  bool FirstDocument = true;
  // A search results page waits to be deleted after the next page load.
  bool TempPagePending = false;
  std::string TempPageName;
  // Every results page of the run, with its text: one that has been shown
  // and deleted is written again when the browser goes back (or forward)
  // to it, and every one still there goes when the runtime ends.
  struct ResultPage {
    std::string Name;
    std::string Text;
  };
  std::vector<ResultPage> ResultPages;
  // The search index's pages, in the file's order.
  std::vector<SearchIndexEntry> SearchIndex;
  // Ticks of the exit splash so far (the About box counts them).
  int ExitTickCount = 0;
  // Set by RequestTerminate: the start-up's remaining steps are skipped.
  bool TerminateRequested = false;

  // --- components of the form resource
  TImageShape* ImageShaper = nullptr;
  TPanel* ToolbarHolder = nullptr;
  TTimer* FadeTimer = nullptr;
  TImageList* ButtonImageList = nullptr;
  // --- made at run time, owned by the window
  TWebHost* WebBrowser = nullptr;
  TStatusBar* StatusBar = nullptr;
  TToolBar* Toolbar = nullptr;

  // --- start-up
  void FormCreate(TObject* Sender);
  // False when the run is to end (the reason has been shown).
  bool ReadSettings();
  void ApplySettings();
  void FormShow(TObject* Sender);
  void CreateBrowser();
  void ShowOldBrowserFallback();
  // The error box of message `id` with the argument, then the end of the run.
  void FailStartup(int id, const std::string& argument = "");
  // Tells the application to end and the start-up to stop.
  void RequestTerminate();
  // The result of a requirement library (0 met, below 0 not met, above 0
  // end the run); -1 after message 2 when it cannot be used.
  int CheckRequirementLibrary(const std::string& Path);
  // The toolbar of the settings' buttons, the last step of ApplySettings:
  // message 35 with a skin, 9 for a missing bitmap, 17 for bitmaps of
  // different sizes, each ending the run.
  void CreateToolbar();
  // Every toolbar button's OnClick; the button's caption names its action.
  void ToolButtonClick(TObject* Sender);

  // --- running
  void ApplicationExceptionHandler(TObject* Sender, Exception& E);
  void FadeTimerTimer(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void WMSystemCommand(TMessage& Message);

  // --- browser events
  void WebHostStatusTextChange(TObject* Sender, const std::string& Text);
  void WebHostCommandStateChange(TObject* Sender, int Command, bool Enable);
  void WebHostWindowClosing(TObject* Sender, bool IsChildWindow, bool& Cancel);
  void WebHostScriptError(TObject* Sender, const std::string& ErrorLine, const std::string& ErrorCharacter,
                          const std::string& ErrorCode, const std::string& ErrorMessage,
                          const std::string& ErrorUrl, bool& ContinueScript, bool& Showdialog);
  // S_FALSE: the browser shows its own menu; S_OK: no menu.
  HRESULT WebHostShowContextMenu(DWORD dwID, const POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved);
  void WebHostDocumentComplete(TObject* Sender, IDispatch* pDisp, const VARIANT& URL);
  void WebHostBeforeNavigate2(TObject* Sender, IDispatch* pDisp, const VARIANT& URL, const VARIANT& Flags,
                              const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
                              bool& Cancel);
  void WebHostNewWindow2(TObject* Sender, qv::com::ComPtr<IDispatch>& ppDisp, bool& Cancel);

  // --- link commands (the popup windows use them too)
  // True when the address names a file with an extension of executeext: the
  // shell has opened it (or shown message 12) and the browser must not.
  // Raises EConvertError for a malformed %-escape in a file address.
  bool ExecuteByExtension(const std::string& URL);
  // The disc file that an address of the web server names (web-server
  // mode): the address's path, decoded, below the start page's folder;
  // none when it would lead out of the runtime's folder.
  std::optional<std::string> discFileOfServerAddress(const std::string& Address) const;
  // True when the target is one of the link commands, which has then run.
  // Raises EConvertError for a malformed %-escape in Href.
  bool HandleLinkTarget(const std::string& Target, const std::string& Href);
  // Prints the page with a blank header and footer, the user choosing the
  // printer; raises what the browser raises.
  void PrintWithoutHeaderFooter();

  // --- full-text search
  // Message 33 when the file is missing (the search then finds nothing).
  void LoadSearchIndex(const std::string& Path);
  // Fills the result template with the pages that hold any of the terms,
  // writes it to a temporary page and shows that in the named frame of the
  // main browser; the page is deleted after the next completed document.
  // Message 32 when the template cannot be read: the page stays as it is.
  void ShowSearchResults(const std::vector<std::string>& Terms, const std::string& TargetFrameName);
  // Writes a results page of this run again when the address names it and
  // it has been deleted since it was shown.
  void RestoreResultPage(const std::string& URL);
  void RemoveResultPages();

  QV_PUBLISHED(TBrowserWindow) {
    P.Method("FormCreate", &TBrowserWindow::FormCreate);
    P.Method("FormShow", &TBrowserWindow::FormShow);
    P.Method("FormCloseQuery", &TBrowserWindow::FormCloseQuery);
    P.Method("FormClose", &TBrowserWindow::FormClose);
    P.Method("FadeTimerTimer", &TBrowserWindow::FadeTimerTimer);
  }

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;

 private:
  // Opens `target` with the shell after message 6 and ends the run.
  void openWithShellAndEnd(const std::string& target);
  void appendAboutItem(HWND Window);
  void freeBars();

  // FormShow's steps run once, however often the window is shown.
  bool FShown = false;
  // The About item belongs in the system menu, also after a recreation.
  bool FAboutItem = false;
  // The single-instance semaphore, held for the whole run.
  HANDLE FInstanceSemaphore = nullptr;
};

extern TBrowserWindow* BrowserWindow;

// True when the window is in the foreground afterwards.
bool ForceForegroundWindow(HWND hwnd);
// The text with every occurrence of the separator, in any case, made a line
// break, ready for a string list's Text (empty items stay empty lines).
std::string SeparatorToLines(const std::string& Text, const std::string& Separator);
// The locale's ISO 3166 country name.
std::string GetCountryCode(LCID Locale);
// A locale text; raises the last OS error when the platform has none.
std::string GetLocaleText(LCID Locale, LCTYPE Type);

// --- link and URL routines
// "%xx" decoded, and in the query string (after the first "?") "+" made a
// blank; EConvertError "Invalid hex digit in URL" for a "%" without two
// hexadecimal digits after it.
std::string UrlDecode(const std::string& Text);
// The text without a leading "file:///" or "file://" (case-sensitive).
std::string StripFileScheme(const std::string& Text);
// The text after the last "/" or "\".
std::string GetFileNamePart(const std::string& Path);
// The user's documents folder, or "c:\" when the shell names none.
std::string GetMyDocumentsFolder();
// One shell copy; the shell asks before replacing and reports its own
// failures. True when it reports success and the target is the source's
// copy: a replace the user declined is no copy.
bool CopyFileWithShell(const std::string& Source, const std::string& Target);
// The link the user activated: the document's active "A" element, looked
// for through frames; nullptr when there is none.
qv::com::ComPtr<IHTMLElement> GetActiveLinkElement(IHTMLDocument2* Document);
// The "href" and "target" of the document's active link (an "A" or "LINK"
// element, through frames), and the link; both texts empty and nullptr
// without one.
qv::com::ComPtr<IHTMLElement> GetActiveLinkTarget(IHTMLDocument2* Document, std::string& Href, std::string& Target);
// The link is no longer its page's active element, so that only a new click
// makes it so again.
void ReleaseActiveLink(IHTMLElement* Link);

// --- page routines the main window and the popups share
// The HTML document that a browser object (an event's pDisp) shows, or
// nullptr.
qv::com::ComPtr<IHTMLDocument2> DocumentOf(IDispatch* Browser);
// The text a browser event carries in a variant; "" for none.
std::string VariantText(const VARIANT& Value);
// The page's body gets the arrow cursor instead of the text cursor.
void SetDefaultCursor(IHTMLDocument2* Document);
// The first element named "searchform" becomes visible: a page may hide its
// form until the runtime is there to serve it.
void RevealSearchForm(IHTMLDocument2* Document);
// Whether the browser shows its context menu by the contextmenu setting:
// S_FALSE shows it, S_OK shows none. "simple" shows it only over selected
// text (or without a document).
HRESULT ContextMenuAnswer(const std::string& Rule, IHTMLDocument2* Document);

// --- search routines
// The field "searchterm" of the form "searchform", in the document or one of
// its frames; empty without one.
std::u16string GetSearchTerm(IHTMLDocument2* Document);
// The value of the form's INPUT, SELECT or TEXTAREA of that name; empty
// otherwise.
std::u16string GetFormFieldValue(IHTMLFormElement* Form, const std::string& Name);
// Words and quoted phrases, in order; blanks and "+" separate, and the word
// "and" outside a phrase is dropped.
std::vector<std::string> ParseSearchQuery(const std::string& Query);
// A new empty file "~....tmp" in the temporary folder; raises EOSError.
std::string GetTempPageName();
// The temporary folder, made when missing; raises EOSError when no folder
// for temporary files can be found or made.
std::string GetTempFolder();
// Raises EOSError when the platform names none.
std::string GetWindowsFolder();
