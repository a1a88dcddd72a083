#include "runtime/Browser.h"

#include <cmath>
#include <memory>
#include <vector>

#include "browserhost/BrowserUtils.h"
#include "browserhost/WebHost.h"
#include "platform/browser/HtmlInterfaces.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/IniFiles.h"
#include "platform/classlib/SysUtils.h"
#include "platform/com/Bstr.h"
#include "platform/os/kernel/Kernel.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/User.h"
#include "runtime/About.h"
#include "runtime/ImageShape.h"
#include "runtime/MessageTable.h"
#include "runtime/Splash.h"
#include "runtime/windowsversion.h"

TBrowserWindow* BrowserWindow = nullptr;

namespace {

using qv::com::Bstr;
using qv::com::ComPtr;

constexpr const char* kSection = "quorvel";
constexpr const char* kSearchSection = "fulltextsearchengine";
constexpr const char* kSemaphoreName = "QUORVEL_RUNTIME";
constexpr DWORD kMusicFlags = SND_FILENAME | SND_NODEFAULT | SND_ASYNC | SND_NOWAIT;

// The folder of the runtime's own file, with its trailing backslash.
std::string runtimeFolder() { return ExtractFilePath(ParamStr(0)); }

// Splits a comma list the way every list of the settings is split.
std::vector<std::string> splitList(const std::string& Text) {
  TStringList lines;
  lines.SetText(SeparatorToLines(Text, ","));
  std::vector<std::string> items;
  for (int i = 0; i < lines.Count(); ++i) items.push_back(lines.Strings(i));
  return items;
}

// A whole number of the settings, as the class library converts one.
bool toWholeNumber(const std::string& Text, int& Value) { return TryStrToInt(Text, Value); }

// Rounds halves to the even neighbour.
int roundHalfEven(double Value) { return static_cast<int>(std::nearbyint(Value)); }

// The browser library is usable from version 4.72 on; the version text's
// first four characters decide, and a text that is not of that form (also
// an empty one) counts as too old.
bool browserTooOld(const std::string& VersionText) {
  std::string head = VersionText.substr(0, 4);
  std::size_t dot = head.find('.');
  if (dot == std::string::npos) return true;
  int major = 0;
  int minor = 0;
  if (!TryStrToInt(head.substr(0, dot), major) || !TryStrToInt(head.substr(dot + 1), minor)) return true;
  if (major > 4) return false;
  return !(major == 4 && minor == 72);
}

ComPtr<IHTMLDocument2> documentOf(IDispatch* Browser) {
  if (Browser == nullptr) return nullptr;
  ComPtr<IWebBrowser2> browser = ComPtr<IDispatch>(Browser).as<IWebBrowser2>();
  if (!browser) return nullptr;
  ComPtr<IDispatch> document;
  if (FAILED(browser->get_Document(document.put())) || !document) return nullptr;
  return document.as<IHTMLDocument2>();
}

void setElementStyle(IHTMLElement* Element, HRESULT (IHTMLStyle::*Put)(BSTR), const char* Value) {
  if (Element == nullptr) return;
  ComPtr<IHTMLStyle> style;
  if (FAILED(Element->get_style(style.put())) || !style) return;
  Bstr text(Value);
  ((*style).*Put)(text.get());
}

// The first element of the document with that name.
ComPtr<IHTMLElement> firstElementNamed(IHTMLDocument2* Document, const char* Name) {
  ComPtr<IHTMLDocument3> document = ComPtr<IHTMLDocument2>(Document).as<IHTMLDocument3>();
  if (!document) return nullptr;
  ComPtr<IHTMLElementCollection> found;
  Bstr name(Name);
  if (FAILED(document->getElementsByName(name.get(), found.put())) || !found) return nullptr;
  LONG count = 0;
  if (FAILED(found->get_length(&count)) || count <= 0) return nullptr;
  VARIANT index;
  VariantInit(&index);
  index.vt = VT_I4;
  index.lVal = 0;
  VARIANT none;
  VariantInit(&none);
  ComPtr<IDispatch> item;
  if (FAILED(found->item(index, none, item.put())) || !item) return nullptr;
  return item.as<IHTMLElement>();
}

}  // namespace

// ---------------------------------------------------------------------------
TBrowserWindow::TBrowserWindow(TComponent* AOwner) : TForm(AOwner) {}

TBrowserWindow::~TBrowserWindow() {
  if (FInstanceSemaphore != nullptr) CloseHandle(FInstanceSemaphore);
  if (BrowserWindow == this) BrowserWindow = nullptr;
}

void TBrowserWindow::Loaded() {
  inherited::Loaded();
  ImageShaper = dynamic_cast<TImageShape*>(FindComponent("ImageShaper"));
  ToolbarHolder = dynamic_cast<TPanel*>(FindComponent("ToolbarHolder"));
  FadeTimer = dynamic_cast<TTimer*>(FindComponent("FadeTimer"));
  ButtonImageList = dynamic_cast<TImageList*>(FindComponent("ButtonImageList"));
}

void TBrowserWindow::RequestTerminate() {
  TerminateRequested = true;
  Application->Terminate();
}

void TBrowserWindow::FailStartup(int id, const std::string& argument) {
  ShowErrorMessage(id, argument);
  RequestTerminate();
}

void TBrowserWindow::ApplicationExceptionHandler(TObject* Sender, Exception& E) {
  (void)Sender;
  ShowErrorMessage(18, E.Message());
  RequestTerminate();
}

// ---------------------------------------------------------------------------
void TBrowserWindow::FormCreate(TObject* Sender) {
  (void)Sender;
  switch (GetUserDefaultLangID()) {
    case 1031:
    case 2055:
    case 3079:
    case 4103:
    case 5127: English = false; break;
    default: English = true; break;
  }
  MessagesInEnglish = English;
  CountryCode = GetCountryCode(LOCALE_USER_DEFAULT);
  std::string languageFile = runtimeFolder() + "qvlaunch_" + CountryCode + ".lib";
  LanguageFile = false;
  LanguageFileLoaded = false;
  if (FileExists(languageFile)) {
    LoadLanguageFile(languageFile);
    LanguageFile = true;
    LanguageFileLoaded = true;
  }
  FirstDocument = true;
  TempPagePending = false;
  OldBrowser = browserTooOld(GetIEVersion());
}

bool TBrowserWindow::ReadSettings() {
  if (ParamCount() == 1) {
    std::string argument = ParamStr(1);
    if (argument.find("http://") != std::string::npos) {
      WebServerMode = true;
      StartAddress = argument;
      SettingsFile = runtimeFolder() + "autorun.inf";
    } else if (FileExists(runtimeFolder() + argument)) {
      SettingsFile = runtimeFolder() + argument;
    } else {
      SettingsFile = argument;
    }
  } else {
    SettingsFile = runtimeFolder() + "autorun.inf";
  }
  if (!FileExists(SettingsFile)) {
    FailStartup(4, SettingsFile);
    return false;
  }
  IniDir = ExtractFilePath(SettingsFile);
  auto ini = std::make_unique<TIniFile>(SettingsFile);

  SingleInstance = ini->ReadBool(kSection, "singleinstance", false);
  if (SingleInstance) {
    HANDLE semaphore = CreateSemaphore(nullptr, 0, 1, kSemaphoreName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      // Another run shows the disc already; this one ends without a word.
      if (semaphore != nullptr) CloseHandle(semaphore);
      ExitProcess(0);
    }
    FInstanceSemaphore = semaphore;
  }

  std::string splashImage = ini->ReadString(kSection, "splashscreenimg", "");
  SplashDuration = ini->ReadInteger(kSection, "splashscreentime", 2);
  if (FileExists(IniDir + splashImage)) {
    TSplashScreen* splash = nullptr;
    try {
      splash = qv::classlib::newForm<TSplashScreen>(this);
      splash->SplashDuration = SplashDuration;
      splash->SplashImage->Picture()->LoadFromFile(IniDir + splashImage);
      splash->SetAutoSize(true);
      splash->ShowModal();
    } catch (...) {
      delete splash;
      FailStartup(35, "Splash image file not found.");
      return false;
    }
    delete splash;
  }

  IconFile = ini->ReadString("autorun", "icon", "");
  WindowCaption = ini->ReadString(kSection, "windowcaption", "");
  AppCaption = ini->ReadString(kSection, "appcaption", "");
  DropShadow = ini->ReadBool(kSection, "dropshadow", false);
  StartPage = ini->ReadString(kSection, "startpage", "");
  AltStartPage = ini->ReadString(kSection, "altstartpage", "");
  UseLanguageStartPage = ini->ReadBool(kSection, "uselanguagestartpage", false);
  if (UseLanguageStartPage && FileExists(IniDir + CountryCode + "\\" + StartPage))
    StartPage = CountryCode + "\\" + StartPage;
  IntroMusic = ini->ReadString(kSection, "intromusic", "");
  LoopMusic = ini->ReadBool(kSection, "loopmusic", false);
  StopMusicOnClick = ini->ReadBool(kSection, "stopmusiconclick", false);
  BorderStyleText = ini->ReadString(kSection, "borderstyle", "window");
  Skin = ini->ReadString(kSection, "skin", "");
  SkinPosition = ini->ReadString(kSection, "skinposition", "0,0,100,100");
  ToolbarButtons = ini->ReadString(kSection, "toolbar", "");
  ToolbarColor = ini->ReadInteger(kSection, "toolbarcolor", clBtnFace);
  ButtonDir = ini->ReadString(kSection, "buttondir", "buttons");
  if (!ButtonDir.empty() && ButtonDir.back() != '\\' && ButtonDir.back() != '/') ButtonDir += '\\';
  FullScreenMode = ini->ReadBool(kSection, "fullscreen", false);
  WindowPosition = ini->ReadString(kSection, "windowposition", "center");

  std::string height = ini->ReadString(kSection, "windowheight", "600");
  std::string width = ini->ReadString(kSection, "windowwidth", "400");
  SizeInPercent = height.find('%') != std::string::npos || width.find('%') != std::string::npos;
  if (height.find('%') != std::string::npos) height.pop_back();
  if (width.find('%') != std::string::npos) width.pop_back();
  // A size that is no number would leave the window without one: the run
  // ends with the reason instead.
  if (!toWholeNumber(height, WindowHeight)) {
    FailStartup(35, "windowheight \"" + height + "\" is not a whole number.");
    return false;
  }
  if (!toWholeNumber(width, WindowWidth)) {
    FailStartup(35, "windowwidth \"" + width + "\" is not a whole number.");
    return false;
  }
  if (ini->ValueExists(kSection, "windowwith")) WindowWidth = ini->ReadInteger(kSection, "windowwith", 600);

  HideSplashScreen = ini->ReadBool(kSection, "hidesplashscreen", false);
  FadeIn = ini->ReadInteger(kSection, "fadein", 0);
  ContextMenu = ini->ReadString(kSection, "contextmenu", "none");
  DefaultCursor = ini->ReadBool(kSection, "defaultcursor", true);
  NoScrollBars = ini->ReadBool(kSection, "noscrollbars", true);
  Requirements = ini->ReadString(kSection, "requirements", "");
  ExecuteExt = ini->ReadString(kSection, "executeext", "exe");
  ForceOfflineMode = ini->ReadBool(kSection, "forceofflinemode", false);
  InternalPopups = ini->ReadBool(kSection, "internalpopups", true);
  DisableScriptErrors = ini->ReadBool(kSection, "disablescripterrors", false);
  HideHeaderFooter = ini->ReadBool(kSection, "hideheaderfooter", false);
  ShowStatusBar = ini->ReadBool(kSection, "showstatusbar", false);
  SearchActive = ini->ReadBool(kSearchSection, "active", false);
  SearchIndexPath = IniDir + ini->ReadString(kSearchSection, "index", "");
  ResultTemplatePath = IniDir + ini->ReadString(kSearchSection, "resulttemplate", "");
  // With SearchActive the search index is loaded here (the full-text
  // search's LoadSearchIndex).
  return true;
}

// ---------------------------------------------------------------------------
void TBrowserWindow::appendAboutItem(HWND Window) {
  HMENU menu = GetSystemMenu(Window, FALSE);
  if (menu == nullptr) return;
  std::string text = GetMessageText(5);
  AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenu(menu, MF_STRING, SC_APPABOUT, text.c_str());
}

void TBrowserWindow::CreateWnd() {
  inherited::CreateWnd();
  // A recreated window has a fresh system menu: the About item goes back in.
  if (FAboutItem) appendAboutItem(Handle());
}

int TBrowserWindow::CheckRequirementLibrary(const std::string& Path) {
  HMODULE library = LoadLibrary(Path.c_str());
  if (library == nullptr) {
    ShowErrorMessage(2, Path);
    return -1;
  }
  int result = -1;
  using CheckRequirementProc = int (*)(INT_PTR);
  auto check = qv::os::procAs<CheckRequirementProc>(GetProcAddress(library, "CheckRequirement"));
  if (check != nullptr) {
    result = check(reinterpret_cast<INT_PTR>(Application->Handle()));
  } else {
    // A library without the check cannot vouch for anything.
    ShowErrorMessage(2, Path);
  }
  FreeLibrary(library);
  return result;
}

void TBrowserWindow::ApplySettings() {
  if (!HideSplashScreen) {
    FAboutItem = true;
    appendAboutItem(Application->Handle());
    appendAboutItem(Handle());
  }

  if (DropShadow) {
    int version = GetWindowsVersion();
    if (version >= 9 && version <= 11) {
      SetClassLong(Handle(), GCL_STYLE, static_cast<LONG>(GetClassLong(Handle(), GCL_STYLE) | CS_DROPSHADOW));
      RecreateWnd();
    }
  }

  bool met = true;
  for (const std::string& item : splitList(Requirements)) {
    std::string path = IniDir + item;
    if (ExtractFileExt(path).empty()) path += ".dll";
    if (!FileExists(path)) {
      ShowErrorMessage(2, path);
      continue;
    }
    int result = CheckRequirementLibrary(path);
    if (result < 0) {
      met = false;
    } else if (result > 0) {
      RequestTerminate();
      return;
    }
  }
  if (!met) {
    if (!FileExists(IniDir + AltStartPage)) {
      FailStartup(7);
      return;
    }
    StartPage = AltStartPage;
  }

  ExitTickCount = 0;

  if (FileExists(IniDir + Skin)) {
    SetBorderStyle(bsNone);
    SetAutoSize(true);
    try {
      ImageShaper->Picture()->LoadFromFile(IniDir + Skin);
    } catch (Exception& E) {
      FailStartup(35, "Skin image file cannot be loaded (" + E.Message() + ").");
      return;
    }
  }

  if (Skin.empty()) {
    if (BorderStyleText == "none") {
      SetBorderStyle(bsNone);
    } else if (BorderStyleText == "dialog") {
      SetBorderStyle(bsSingle);
      SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    } else {
      SetBorderStyle(bsSizeable);
    }
  }

  if (!FullScreenMode) {
    if (Skin.empty()) {
      if (SizeInPercent) {
        SetClientHeight(roundHalfEven(Screen->Height() * static_cast<double>(WindowHeight) / 100.0));
        SetClientWidth(roundHalfEven(Screen->Width() * static_cast<double>(WindowWidth) / 100.0));
      } else {
        SetClientHeight(WindowHeight);
        SetClientWidth(WindowWidth);
      }
    }
    if (WindowPosition != "center") {
      std::size_t comma = WindowPosition.find(',');
      int left = 0;
      int top = 0;
      if (comma == std::string::npos || !toWholeNumber(WindowPosition.substr(0, comma), left) ||
          !toWholeNumber(WindowPosition.substr(comma + 1), top)) {
        FailStartup(8);
        return;
      }
      SetLeft(left);
      SetTop(top);
    } else {
      SetLeft((Screen->Width() - Width()) / 2);
      SetTop((Screen->Height() - Height()) / 2);
    }
  } else if (Skin.empty()) {
    SetWindowState(wsMaximized);
  }

  if (FileExists(IniDir + IntroMusic)) {
    std::string music = IniDir + IntroMusic;
    PlaySound(music.c_str(), nullptr, kMusicFlags | (LoopMusic ? SND_LOOP : 0u));
  }

  if (!ToolbarButtons.empty()) CreateToolbar();
}

void TBrowserWindow::CreateToolbar() {
  // The toolbar of ToolbarButtons in ToolbarHolder, with ButtonImageList
  // and ToolButtonClick, is built here.
}

// ---------------------------------------------------------------------------
void TBrowserWindow::FormShow(TObject* Sender) {
  (void)Sender;
  if (FShown) return;
  FShown = true;
  if (AppCaption.empty()) AppCaption = WindowCaption;
  Application->SetTitle(AppCaption);
  SetCaption(WindowCaption);
  if (FileExists(IniDir + IconFile)) {
    Icon()->LoadFromFile(IniDir + IconFile);
    Application->SetIcon(Icon());
  }
  if (ShowStatusBar) {
    try {
      StatusBar = new TStatusBar(this);
      StatusBar->SetParent(this);
      StatusBar->SetSimplePanel(true);
      StatusBar->SetAlign(alBottom);
      StatusBar->SetVisible(true);
    } catch (...) {
      // The page shows without a status bar then.
    }
  }
  if (OldBrowser)
    ShowOldBrowserFallback();
  else
    CreateBrowser();
  if (TerminateRequested) return;
  if (FadeIn > 0) {
    SetAlphaBlendValue(0);
    SetAlphaBlend(true);
    FadeTimer->SetInterval(static_cast<UINT>(FadeIn));
    FadeTimer->SetEnabled(true);
  }
}

void TBrowserWindow::CreateBrowser() {
  try {
    WebBrowser = new TWebHost(this);
    WebBrowser->SetName("WebBrowser");
    WebBrowser->SetParent(this);
    if (!FileExists(IniDir + StartPage)) {
      if (WebServerMode)
        FailStartup(30);
      else
        FailStartup(15, IniDir + StartPage);
      return;
    }
    if (!Skin.empty() && !SkinPosition.empty()) {
      TStringList bounds;
      bounds.SetText(SeparatorToLines(SkinPosition, ","));
      WebBrowser->SetBounds(StrToInt(bounds.Strings(0)), StrToInt(bounds.Strings(1)), StrToInt(bounds.Strings(2)),
                            StrToInt(bounds.Strings(3)));
    } else {
      // Aligned, so that a status bar at the bottom keeps its place.
      WebBrowser->SetAlign(alClient);
    }
    WebBrowser->SetRegisterAsBrowser(true);
    WebBrowser->SetOffline(ForceOfflineMode);
    WebBrowser->SetAddressBar(false);
    WebBrowser->SetMenuBar(false);
    WebBrowser->SetReplaceCaption(true);
    WebBrowser->SetStatusBar(false);
    TUserInterfaceOptions options = WebBrowser->UserInterfaceOptions();
    options.Include(TUserInterfaceOption::NO3DBORDER);
    options.Include(TUserInterfaceOption::THEME);
    options.Include(TUserInterfaceOption::NO3DOUTERBORDER);
    if (NoScrollBars)
      options.Include(TUserInterfaceOption::SCROLL_NO);
    else
      options.Exclude(TUserInterfaceOption::SCROLL_NO);
    WebBrowser->SetUserInterfaceOptions(options);

    WebBrowser->OnShowContextMenu = [this](DWORD id, const POINT* pt, IUnknown* cmdt, IDispatch* disp) {
      return WebHostShowContextMenu(id, pt, cmdt, disp);
    };
    WebBrowser->OnBeforeNavigate2 = [this](TObject* S, IDispatch* d, const VARIANT& url, const VARIANT& flags,
                                           const VARIANT& frame, const VARIANT& post, const VARIANT& headers,
                                           bool& cancel) {
      WebHostBeforeNavigate2(S, d, url, flags, frame, post, headers, cancel);
    };
    WebBrowser->OnDocumentComplete = [this](TObject* S, IDispatch* d, const VARIANT& url) {
      WebHostDocumentComplete(S, d, url);
    };
    WebBrowser->OnCommandStateChange = [this](TObject* S, int command, bool enable) {
      WebHostCommandStateChange(S, command, enable);
    };
    WebBrowser->OnNewWindow2 = [this](TObject* S, ComPtr<IDispatch>& disp, bool& cancel) {
      WebHostNewWindow2(S, disp, cancel);
    };
    WebBrowser->OnWindowClosing = [this](TObject* S, bool child, bool& cancel) {
      WebHostWindowClosing(S, child, cancel);
    };
    WebBrowser->OnScriptError = [this](TObject* S, const std::string& line, const std::string& character,
                                       const std::string& code, const std::string& message,
                                       const std::string& url, bool& continueScript, bool& showDialog) {
      WebHostScriptError(S, line, character, code, message, url, continueScript, showDialog);
    };
    WebBrowser->OnStatusTextChange = [this](TObject* S, const std::string& text) {
      WebHostStatusTextChange(S, text);
    };

    WebBrowser->NavigateTo(WebServerMode ? StartAddress : IniDir + StartPage);
    BackEnabled = false;
    ForwardEnabled = false;
    if (WebServerMode) ForceForegroundWindow(Handle());
  } catch (...) {
    openWithShellAndEnd(WebServerMode ? StartAddress : IniDir + StartPage);
  }
}

void TBrowserWindow::openWithShellAndEnd(const std::string& target) {
  ShowErrorMessage(6);
  HINSTANCE result = ShellExecute(Application->Handle(), "open", target.c_str(), "", "", SW_SHOW);
  if (reinterpret_cast<INT_PTR>(result) <= 32) ShowErrorMessage(15, target);
  RequestTerminate();
}

void TBrowserWindow::ShowOldBrowserFallback() { openWithShellAndEnd(IniDir + StartPage); }

// ---------------------------------------------------------------------------
void TBrowserWindow::FadeTimerTimer(TObject* Sender) {
  (void)Sender;
  if (AlphaBlendValue() < 240) {
    SetAlphaBlendValue(static_cast<BYTE>(AlphaBlendValue() + 20));
  } else {
    SetAlphaBlendValue(255);
    FadeTimer->SetEnabled(false);
    SetAlphaBlend(false);
  }
}

void TBrowserWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_SYSCOMMAND) {
    WMSystemCommand(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TBrowserWindow::WMSystemCommand(TMessage& Message) {
  switch (Message.WParam) {
    case SC_APPABOUT:
      if (AboutBox != nullptr) {
        AboutBox->Fill(false);
        AboutBox->SetFormStyle(fsStayOnTop);
        AboutBox->ShowModal();
      }
      break;
    case SC_APPFORWARD:
      if (ForwardEnabled && WebBrowser != nullptr) WebBrowser->GoForward();
      break;
    case SC_APPBACK:
      if (BackEnabled && WebBrowser != nullptr) WebBrowser->GoBack();
      break;
    case SC_APPCLICK:
      if (StopMusicOnClick) PlaySound(nullptr, nullptr, SND_ASYNC);
      break;
    default: break;
  }
  inherited::Dispatch(Message);
}

void TBrowserWindow::freeBars() {
  try {
    delete Toolbar;
  } catch (...) {
  }
  Toolbar = nullptr;
  try {
    delete StatusBar;
  } catch (...) {
  }
  StatusBar = nullptr;
}

void TBrowserWindow::FormCloseQuery(TObject* Sender, bool& CanClose) {
  (void)Sender;
  CanClose = true;
  // The exit splash has run its course: this is the close that ends the run.
  if (AboutBox != nullptr && AboutBox->CloseNow) return;
  if (WebBrowser != nullptr) WebBrowser->SetParent(nullptr);
  if (HideSplashScreen || AboutBox == nullptr) {
    if (AboutBox != nullptr) AboutBox->CloseNow = true;
    return;
  }
  Hide();
  if (WindowState() == wsMaximized) SetWindowState(wsMinimized);
  AboutBox->Fill(true);
  AboutBox->SetFormStyle(fsStayOnTop);
  AboutBox->SetLeft((Screen->Width() - AboutBox->Width()) / 2);
  AboutBox->SetTop((Screen->Height() - AboutBox->Height()) / 2);
  AboutBox->Show();
  AboutBox->ShutdownTimer->SetEnabled(true);
  freeBars();
}

void TBrowserWindow::FormClose(TObject* Sender, TCloseAction& Action) {
  (void)Sender;
  Action = (AboutBox == nullptr || AboutBox->CloseNow) ? caFree : caNone;
}

// ---------------------------------------------------------------------------
void TBrowserWindow::WebHostStatusTextChange(TObject* Sender, const std::string& Text) {
  (void)Sender;
  if (ShowStatusBar && StatusBar != nullptr) StatusBar->SetSimpleText(Text);
}

void TBrowserWindow::WebHostCommandStateChange(TObject* Sender, int Command, bool Enable) {
  (void)Sender;
  if (Command == CSC_NAVIGATEFORWARD)
    ForwardEnabled = Enable;
  else if (Command == CSC_NAVIGATEBACK)
    BackEnabled = Enable;
}

void TBrowserWindow::WebHostWindowClosing(TObject* Sender, bool IsChildWindow, bool& Cancel) {
  (void)Sender;
  (void)IsChildWindow;
  Cancel = true;
  Close();
}

void TBrowserWindow::WebHostScriptError(TObject* Sender, const std::string& ErrorLine,
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
  if (DisableScriptErrors) Showdialog = false;
}

HRESULT TBrowserWindow::WebHostShowContextMenu(DWORD dwID, const POINT* ppt, IUnknown* pcmdtReserved,
                                               IDispatch* pdispReserved) {
  (void)dwID;
  (void)ppt;
  (void)pcmdtReserved;
  (void)pdispReserved;
  if (ContextMenu == "full") return S_FALSE;
  if (ContextMenu != "simple") return S_OK;
  ComPtr<IHTMLDocument2> document;
  if (WebBrowser != nullptr) document = WebBrowser->Document().as<IHTMLDocument2>();
  if (!document) return S_FALSE;
  // Only selected text gets a menu (to copy it).
  ComPtr<IHTMLSelectionObject> selection;
  if (FAILED(document->get_selection(selection.put())) || !selection) return S_OK;
  ComPtr<IDispatch> range;
  if (FAILED(selection->createRange(range.put())) || !range) return S_OK;
  ComPtr<IHTMLTxtRange> text = range.as<IHTMLTxtRange>();
  if (!text) return S_OK;
  Bstr selected;
  if (FAILED(text->get_text(selected.put()))) return S_OK;
  return selected.empty() ? S_OK : S_FALSE;
}

void TBrowserWindow::WebHostDocumentComplete(TObject* Sender, IDispatch* pDisp, const VARIANT& URL) {
  (void)Sender;
  (void)URL;
  ComPtr<IHTMLDocument2> document = documentOf(pDisp);
  if (document) {
    if (DefaultCursor) {
      ComPtr<IHTMLElement> body;
      if (SUCCEEDED(document->get_body(body.put()))) setElementStyle(body.get(), &IHTMLStyle::put_cursor, "default");
    }
    if (WindowCaption.empty()) {
      Bstr title;
      std::string text;
      if (SUCCEEDED(document->get_title(title.put()))) text = title.toAnsi();
      if (text.empty()) text = "Qvlaunch";
      Application->SetTitle(text);
      SetCaption(text);
    }
  }
  if (FirstDocument) {
    Application->BringToFront();
    FirstDocument = false;
  }
  if (TempPagePending) {
    if (!DeleteFile(TempPageName.c_str())) ShowErrorMessage(34, TempPageName);
    TempPagePending = false;
  }
  if (document) setElementStyle(firstElementNamed(document.get(), "searchform").get(), &IHTMLStyle::put_visibility,
                                "visible");
}

void TBrowserWindow::WebHostBeforeNavigate2(TObject* Sender, IDispatch* pDisp, const VARIANT& URL,
                                            const VARIANT& Flags, const VARIANT& TargetFrameName,
                                            const VARIANT& PostData, const VARIANT& Headers, bool& Cancel) {
  (void)Sender;
  (void)pDisp;
  (void)URL;
  (void)Flags;
  (void)TargetFrameName;
  (void)PostData;
  (void)Headers;
  // The link commands go here: executable extensions, the close and print
  // addresses and the search form. Until then every navigation proceeds.
  Cancel = false;
}

void TBrowserWindow::WebHostNewWindow2(TObject* Sender, ComPtr<IDispatch>& ppDisp, bool& Cancel) {
  (void)Sender;
  (void)ppDisp;
  // The link targets and the runtime's own popup windows go here. Until
  // then the browser opens the new window itself.
  Cancel = false;
}

// ---------------------------------------------------------------------------
bool ForceForegroundWindow(HWND hwnd) {
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  if (GetForegroundWindow() == hwnd) return true;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionEx(&version);
  bool modern = (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion > 4) ||
                (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
                 (version.dwMajorVersion > 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion > 0)));
  if (modern) {
    DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    DWORD ownThread = GetWindowThreadProcessId(hwnd, nullptr);
    AttachThreadInput(ownThread, foregroundThread, TRUE);
    BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
    AttachThreadInput(ownThread, foregroundThread, FALSE);
    if (GetForegroundWindow() != hwnd) {
      DWORD timeout = 0;
      SystemParametersInfo(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
      SystemParametersInfo(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
      BringWindowToTop(hwnd);
      SetForegroundWindow(hwnd);
      SystemParametersInfo(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(timeout)),
                           SPIF_SENDCHANGE);
    }
  } else {
    BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
  }
  return GetForegroundWindow() == hwnd;
}

std::string SeparatorToLines(const std::string& Text, const std::string& Separator) {
  return StringReplace(Text, Separator, "\r\n", TReplaceFlags{rfReplaceAll, rfIgnoreCase});
}

std::string GetLocaleText(LCID Locale, LCTYPE Type) {
  int size = GetLocaleInfo(Locale, Type, nullptr, 0);
  if (size == 0) RaiseLastOSError();
  std::string text(static_cast<std::size_t>(size), '\0');
  if (GetLocaleInfo(Locale, Type, text.data(), size) == 0) RaiseLastOSError();
  text.resize(static_cast<std::size_t>(size - 1));
  return text;
}

std::string GetCountryCode(LCID Locale) { return GetLocaleText(Locale, LOCALE_SISO3166CTRYNAME); }
