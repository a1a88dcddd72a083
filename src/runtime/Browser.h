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
#pragma once

#include <string>

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
// browser host's keyboard and mouse filter sends.
constexpr WPARAM SC_APPABOUT = 0x501;
constexpr WPARAM SC_APPFORWARD = 0x502;
constexpr WPARAM SC_APPBACK = 0x503;
constexpr WPARAM SC_APPCLICK = 0x504;

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
  // The toolbar of the settings' buttons, the last step of ApplySettings.
  // Not built yet: the toolbar's own work lands here.
  void CreateToolbar();

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
