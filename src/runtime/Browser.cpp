#include "runtime/Browser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "browserhost/BrowserUtils.h"
#include "browserhost/WebHost.h"
#include "platform/browser/HtmlInterfaces.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ComObj.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/IniFiles.h"
#include "platform/classlib/SysUtils.h"
#include "platform/com/Bstr.h"
#include "platform/com/Ole.h"
#include "platform/com/SafeArray.h"
#include "platform/os/kernel/Kernel.h"
#include "platform/os/kernel/Shell.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/User.h"
#include "runtime/About.h"
#include "runtime/Client.h"
#include "runtime/ImageShape.h"
#include "runtime/MessageTable.h"
#include "runtime/OpenSaveDialog.h"
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

bool startsWith(const std::string& Text, const std::string& Prefix) {
  return Text.compare(0, Prefix.size(), Prefix) == 0;
}

// The addresses that close or print the window, compared in lower case.
constexpr const char* kCloseUrls[] = {"about:close", "javascript:window.close()", "javascript:self.close()",
                                      "javascript:close()"};
constexpr const char* kPrintUrls[] = {"javascript:window.print()", "javascript:self.print()", "javascript:print()"};

template <std::size_t N>
bool startsWithAny(const std::string& Text, const char* const (&Prefixes)[N]) {
  for (const char* prefix : Prefixes)
    if (startsWith(Text, prefix)) return true;
  return false;
}

// Whether the text is an address with a scheme rather than a path (a drive
// letter is no scheme).
bool hasUrlScheme(const std::string& Text) {
  std::size_t colon = Text.find(':');
  return colon != std::string::npos && colon > 1 && Text.find_first_of("\\/") > colon;
}

// The extension without its dot; slashes of an address count as separators.
std::string extensionOf(const std::string& Path) {
  std::string ext = ExtractFileExt(ReplaceChar(Path, '/', '\\'));
  return ext.empty() ? ext : ext.substr(1);
}

// An address as a message shows it: a zero in it written as its escape.
std::string shownAddress(const std::string& Address) {
  std::string shown;
  for (char c : Address) shown += c == '\0' ? std::string("%00") : std::string(1, c);
  return shown;
}

// The names between the separators ("/" and "\\") of a path.
std::vector<std::string> pathSteps(const std::string& Path) {
  std::vector<std::string> steps(1);
  for (char c : Path) {
    if (c == '/' || c == '\\')
      steps.emplace_back();
    else
      steps.back() += c;
  }
  return steps;
}

// The folder a started file works in: that of its full path; none for an
// address, which has no folder on the disk.
std::string workingFolderOf(const std::string& Path) {
  if (Path.empty() || hasUrlScheme(Path)) return "";
  return ExtractFilePath(ExpandFileName(ReplaceChar(Path, '/', '\\')));
}

int shellResult(HINSTANCE Result) { return static_cast<int>(reinterpret_cast<INT_PTR>(Result)); }

std::string tagNameOf(IHTMLElement* Element) {
  Bstr tag;
  if (Element == nullptr || FAILED(Element->get_tagName(tag.put()))) return "";
  return UpperCase(tag.toAnsi());
}

// The documents of the document's frames, in frame order.
std::vector<ComPtr<IHTMLDocument2>> frameDocuments(IHTMLDocument2* Document) {
  std::vector<ComPtr<IHTMLDocument2>> documents;
  ComPtr<IHTMLFramesCollection2> frames;
  if (Document == nullptr || FAILED(Document->get_frames(frames.put())) || !frames) return documents;
  LONG count = 0;
  if (FAILED(frames->get_length(&count))) return documents;
  for (LONG i = 0; i < count; ++i) {
    qv::com::Variant index(i);
    qv::com::Variant result;
    if (FAILED(frames->item(index.get(), result.put()))) continue;
    if (result.vt() != VT_DISPATCH || result.raw().pdispVal == nullptr) continue;
    ComPtr<IHTMLWindow2> window = ComPtr<IDispatch>(result.raw().pdispVal).as<IHTMLWindow2>();
    ComPtr<IHTMLDocument2> document;
    if (window && SUCCEEDED(window->get_document(document.put())) && document) documents.push_back(document);
  }
  return documents;
}

// The text between the end of the begin marker and the start of the end
// marker; empty when either is missing.
std::string blockBetween(const std::string& Text, const std::string& Begin, const std::string& End) {
  std::size_t begin = Text.find(Begin);
  if (begin == std::string::npos) return "";
  std::size_t end = Text.find(End, begin + Begin.size());
  if (end == std::string::npos) return "";
  return Text.substr(begin + Begin.size(), end - begin - Begin.size());
}

std::string replaceAll(const std::string& Text, const std::string& Pattern, const std::string& Value) {
  return StringReplace(Text, Pattern, Value, TReplaceFlags{rfReplaceAll});
}

// The hint of a toolbar button by its word; none for other words.
std::string toolButtonHint(const std::string& Word) {
  static const std::pair<const char*, int> hints[] = {{"exit", 23},   {"print", 24},  {"goback", 26}, {"goforward", 27},
                                                     {"gohome", 28}, {"search", 29}, {"copy", 25}};
  for (const auto& [word, id] : hints)
    if (Word == word) return GetMessageText(id);
  return "";
}

// Calls `onLine` for every line of the rest of the stream as the class
// library's string lists split text (at CR, LF or CR LF; a last line needs
// no line break), reading it in blocks. A line comes as a view into the
// block, or into a buffer when it runs over the end of one. A stream that
// ends before its size raises EReadError, as reading it whole does.
template <class OnLine>
void forEachLine(TStream& Stream, OnLine onLine) {
  std::int64_t left = std::max<std::int64_t>(0, Stream.Size() - Stream.Position());
  std::vector<char> block(static_cast<std::size_t>(std::min<std::int64_t>(left, 1 << 18)));
  std::string carried;   // the start of a line that runs on into the next block
  bool afterCR = false;  // the last block ended with a CR: an LF now belongs to it
  while (left > 0) {
    const int want = static_cast<int>(std::min<std::int64_t>(left, static_cast<std::int64_t>(block.size())));
    Stream.ReadBuffer(block.data(), want);
    left -= want;
    const char* p = block.data();
    const char* end = p + want;
    if (afterCR && *p == '\n') ++p;
    afterCR = false;
    // The next CR and LF are each looked for once, so a text without one of
    // them is not searched to the end of the block for every line.
    auto next = [end](const char* from, char c) {
      const void* at = std::memchr(from, c, static_cast<std::size_t>(end - from));
      return at ? static_cast<const char*>(at) : end;
    };
    const char* cr = next(p, '\r');
    const char* lf = next(p, '\n');
    while (p < end) {
      if (cr < p) cr = next(p, '\r');
      if (lf < p) lf = next(p, '\n');
      const char* eol = std::min(cr, lf);
      if (eol == end) {
        carried.append(p, end);
        break;
      }
      if (carried.empty()) {
        onLine(std::string_view(p, static_cast<std::size_t>(eol - p)));
      } else {
        carried.append(p, eol);
        onLine(std::string_view(carried));
        carried.clear();
      }
      p = eol + 1;
      if (*eol == '\r') {
        if (p == end)
          afterCR = true;
        else if (*p == '\n')
          ++p;
      }
    }
  }
  if (!carried.empty()) onLine(std::string_view(carried));
}

constexpr const char* kResultsBegin = "<!-- ### SE RESULTS BEGIN ### -->";
constexpr const char* kResultsEnd = "<!-- ### SE RESULTS END ### -->";
constexpr const char* kEntryBegin = "<!-- ### SE ENTRY BEGIN ### -->";
constexpr const char* kEntryEnd = "<!-- ### SE ENTRY END ### -->";
constexpr const char* kNoResultsBegin = "<!-- ### SE NORESULTS BEGIN ### -->";
constexpr const char* kNoResultsEnd = "<!-- ### SE NORESULTS END ### -->";

}  // namespace

// ---------------------------------------------------------------------------
TBrowserWindow::TBrowserWindow(TComponent* AOwner) : TForm(AOwner) {}

TBrowserWindow::~TBrowserWindow() {
  RemoveResultPages();
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
  if (SearchActive) LoadSearchIndex(SearchIndexPath);
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
  TPicture* skin = ImageShaper != nullptr ? ImageShaper->Picture() : nullptr;
  if (skin != nullptr && (skin->Width() > 0 || skin->Height() > 0)) {
    FailStartup(35, "Toolbar and skin mode cannot be combined!");
    return;
  }
  try {
    Toolbar = new TToolBar(ToolbarHolder);
    Toolbar->SetParent(ToolbarHolder);
    Toolbar->SetAlign(alClient);
    Toolbar->SetButtonHeight(38);
    Toolbar->SetButtonWidth(39);
    Toolbar->SetColor(clBtnFace);
    Toolbar->SetEdgeBorders(TEdgeBorders{ebBottom});
    Toolbar->SetHeight(40);
    Toolbar->SetImages(ButtonImageList);
    Toolbar->SetParentColor(false);
    Toolbar->SetTransparent(true);
    Toolbar->SetWrapable(false);
    Toolbar->SetShowHint(true);
    ToolbarHolder->SetColor(ToolbarColor);
    ToolbarHolder->SetVisible(true);

    const std::vector<std::string> words = splitList(ToolbarButtons);
    int imageHeight = 0;
    for (std::size_t n = 0; n < words.size(); ++n) {
      const std::string& word = words[n];
      const std::string path = IniDir + ButtonDir + word + ".bmp";
      if (!FileExists(path)) {
        FailStartup(9, path);
        return;
      }
      auto bitmap = std::make_unique<TBitmap>();
      bitmap->LoadFromFile(path);
      // One image list holds them all, so they must share the first one's size.
      if (n > 0 && (bitmap->Width() != ButtonImageList->Width() || bitmap->Height() != ButtonImageList->Height())) {
        FailStartup(17);
        return;
      }
      ButtonImageList->SetWidth(bitmap->Width());
      ButtonImageList->SetHeight(bitmap->Height());
      Toolbar->SetButtonWidth(bitmap->Width() + 7);
      Toolbar->SetButtonHeight(bitmap->Height() + 6);
      ButtonImageList->AddMasked(bitmap.get(), bitmap->TransparentColor());

      auto* button = new TToolButton(Toolbar);
      if (Toolbar->ButtonCount() > 0) {
        TToolButton* last = Toolbar->Buttons(Toolbar->ButtonCount() - 1);
        button->SetLeft(last->Left() + Toolbar->ButtonWidth());
      }
      button->SetParent(Toolbar);
      button->SetStyle(tbsButton);
      button->SetImageIndex(static_cast<int>(n));
      button->SetCaption(word);
      button->OnClick = [this](TObject* Sender) { ToolButtonClick(Sender); };
      button->SetHint(toolButtonHint(word));
      imageHeight = bitmap->Height();
    }
    ToolbarHolder->SetHeight(imageHeight + 8);
  } catch (Exception& E) {
    ShowErrorMessage(35, E.Message());
  }
}

void TBrowserWindow::ToolButtonClick(TObject* Sender) {
  auto* button = dynamic_cast<TToolButton*>(Sender);
  if (button == nullptr) return;
  const std::string action = button->Caption();
  if (action == "exit") {
    // The close frees the toolbar, this button with it: it runs once the
    // click is over.
    PostMessage(Handle(), WM_CLOSE, 0, 0);
  } else if (action == "print") {
    if (WebBrowser == nullptr || !WebBrowser->Document()) return;
    try {
      if (HideHeaderFooter)
        PrintWithoutHeaderFooter();
      else
        WebBrowser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER);
    } catch (Exception&) {
      // A page that cannot be printed is no reason to end the menu.
      ShowErrorMessage(11);
    }
  } else if (action == "goback") {
    if (BackEnabled && WebBrowser != nullptr) WebBrowser->GoBack();
  } else if (action == "goforward") {
    if (ForwardEnabled && WebBrowser != nullptr) WebBrowser->GoForward();
  } else if (action == "gohome") {
    if (WebBrowser != nullptr) WebBrowser->NavigateTo(WebServerMode ? StartAddress : IniDir + StartPage);
  } else if (action == "search") {
    if (WebBrowser != nullptr) WebBrowser->ShowFindDialog();
  } else if (action == "copy") {
    if (WebBrowser != nullptr) WebBrowser->CopySelection();
  }
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
    case SC_APPABOUT: {
      TAboutBox* box = EnsureAboutBox();
      box->Fill(false);
      box->SetFormStyle(fsStayOnTop);
      box->ShowModal();
      break;
    }
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
  if (HideSplashScreen) {
    if (AboutBox != nullptr) AboutBox->CloseNow = true;
    return;
  }
  EnsureAboutBox();
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
  ComPtr<IHTMLDocument2> document;
  if (WebBrowser != nullptr) document = WebBrowser->Document().as<IHTMLDocument2>();
  return ContextMenuAnswer(ContextMenu, document.get());
}

void TBrowserWindow::WebHostDocumentComplete(TObject* Sender, IDispatch* pDisp, const VARIANT& URL) {
  (void)Sender;
  (void)URL;
  ComPtr<IHTMLDocument2> document = DocumentOf(pDisp);
  if (document) {
    if (DefaultCursor) SetDefaultCursor(document.get());
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
  RevealSearchForm(document.get());
}

void TBrowserWindow::WebHostBeforeNavigate2(TObject* Sender, IDispatch* pDisp, const VARIANT& URL,
                                            const VARIANT& Flags, const VARIANT& TargetFrameName,
                                            const VARIANT& PostData, const VARIANT& Headers, bool& Cancel) {
  (void)Sender;
  (void)pDisp;
  (void)Flags;
  (void)PostData;
  (void)Headers;
  const std::string url = VariantText(URL);
  RestoreResultPage(url);
  try {
    Cancel = ExecuteByExtension(url);
  } catch (EConvertError&) {
    // An address that cannot be decoded names no file of ours: the browser
    // deals with it, as it would with any broken link.
    Cancel = false;
  }
  // The link that asked for the program has had its click (see
  // WebHostNewWindow2).
  if (Cancel && WebBrowser != nullptr)
    ReleaseActiveLink(GetActiveLinkElement(WebBrowser->Document().as<IHTMLDocument2>().get()).get());
  const std::string lower = LowerCase(url);
  if (startsWithAny(lower, kCloseUrls)) {
    Cancel = true;
    Close();
  }
  if (startsWithAny(lower, kPrintUrls) && HideHeaderFooter) {
    Cancel = true;
    try {
      PrintWithoutHeaderFooter();
    } catch (Exception&) {
      // A page that cannot be printed is no reason to end the menu.
      ShowErrorMessage(11);
    }
  }
  if (lower.find("searchform") != std::string::npos) {
    Cancel = true;
    ComPtr<IHTMLDocument2> document;
    if (WebBrowser != nullptr) document = WebBrowser->Document().as<IHTMLDocument2>();
    std::u16string term = GetSearchTerm(document.get());
    if (!term.empty()) ShowSearchResults(ParseSearchQuery(Bstr(term).toAnsi()), VariantText(TargetFrameName));
  }
}

void TBrowserWindow::WebHostNewWindow2(TObject* Sender, ComPtr<IDispatch>& ppDisp, bool& Cancel) {
  (void)Sender;
  try {
    std::string href;
    std::string target;
    ComPtr<IHTMLDocument2> document;
    if (WebBrowser != nullptr) document = WebBrowser->Document().as<IHTMLDocument2>();
    ComPtr<IHTMLElement> link = GetActiveLinkTarget(document.get(), href, target);
    Cancel = HandleLinkTarget(target, href) || ExecuteByExtension(href);
    // The link has had its click: a later window.open of the page must not
    // find it still active and run its command again.
    if (Cancel) ReleaseActiveLink(link.get());
    if (Cancel) return;
  } catch (Exception&) {
    Cancel = false;
  }
  // Without internalpopups the browser opens a window of its own.
  if (!InternalPopups) return;
  try {
    ComPtr<IHTMLDocument2> opener;
    if (WebBrowser != nullptr) opener = WebBrowser->Document().as<IHTMLDocument2>();
    ppDisp = OpenClientWindow(opener.get());
  } catch (...) {
    ShowErrorMessage(6);
  }
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

// ---------------------------------------------------------------------------
// Link commands.

bool TBrowserWindow::ExecuteByExtension(const std::string& URL) {
  std::string url = URL;
  if (startsWith(url, "file://")) url = UrlDecode(StripFileScheme(url));
  // A decoded zero ends the name the shell would see, while the extension
  // test reads past it: such a link names no file at all.
  if (url.find('\0') != std::string::npos) {
    ShowErrorMessage(12, shownAddress(URL));
    return true;
  }
  const std::string ext = extensionOf(url);
  bool listed = false;
  for (const std::string& item : splitList(LowerCase(ExecuteExt)))
    // An empty item (a stray comma) would take every address without an
    // extension for a program.
    if (!item.empty() && SameText(item, ext)) listed = true;
  if (!listed) return false;

  if (WebServerMode && startsWith(url, "http://")) {
    // The web server serves the disc's own files: the path after the host
    // is taken from the folder of the start page, and never leads out of
    // the disc's folder.
    const std::optional<std::string> mapped = discFileOfServerAddress(url);
    if (!mapped) {
      ShowErrorMessage(12, shownAddress(URL));
      return true;
    }
    url = *mapped;
  }
  const std::string folder = workingFolderOf(url);
  HWND owner = Application->Handle();
  int result = shellResult(ShellExecute(owner, "open", url.c_str(), "", folder.c_str(), SW_SHOW));
  if (result == SE_ERR_NOASSOC) result = shellResult(ShellExecute(owner, "play", url.c_str(), "", folder.c_str(), SW_SHOW));
  if (result <= 32) ShowErrorMessage(12, url + " (Error-Code " + IntToStr(result) + ")");
  return true;
}

std::optional<std::string> TBrowserWindow::discFileOfServerAddress(const std::string& Address) const {
  std::string path = UrlDecode(Address.substr(7));
  const std::size_t host = path.find('/');
  path = host == std::string::npos ? std::string() : path.substr(host + 1);
  // A zero, a drive or stream colon, or a step up in any spelling the
  // platform resolves ("..", "...", ".. ") would name a file off the disc.
  if (path.find_first_of(std::string(":\0", 2)) != std::string::npos) return std::nullopt;
  for (const std::string& step : pathSteps(path)) {
    const std::size_t end = step.find_last_not_of(' ');
    const std::string name = end == std::string::npos ? std::string() : step.substr(0, end + 1);
    if (name.size() >= 2 && name.find_first_not_of('.') == std::string::npos) return std::nullopt;
  }
  std::string base = ReplaceChar(runtimeFolder() + StartPage, '\\', '/');
  base = base.substr(0, base.rfind('/') + 1);
  const std::string file = base + path;
  // The start page's own folder must lie on the disc as well.
  const std::string disc = IncludeTrailingBackslash(ExpandFileName(runtimeFolder()));
  const std::string full = ExpandFileName(ReplaceChar(file, '/', '\\'));
  if (full.size() < disc.size() || !SameText(full.substr(0, disc.size()), disc)) return std::nullopt;
  return file;
}

bool TBrowserWindow::HandleLinkTarget(const std::string& Target, const std::string& Href) {
  // Decoded once: a second pass would turn an escaped "%" of a file name
  // into another character, or fail on it.
  const std::string href = UrlDecode(Href);
  const std::string t = LowerCase(Target);
  HWND owner = Application->Handle();
  const bool command = t == "_browser" || startsWith(t, "copyfile") || startsWith(t, "copyandexecfile") ||
                       t == "openandclose" || startsWith(t, "params:");
  if (!command) return false;
  // A decoded zero ends the name the shell would see before the name the
  // link shows: no command runs on it.
  if (href.find('\0') != std::string::npos) {
    ShowErrorMessage(12, shownAddress(Href));
    return true;
  }

  if (t == "_browser") {
    if (ExecuteByExtension(Href)) return true;
    const std::string path = StripFileScheme(href);
    ShellExecute(owner, "open", path.c_str(), "", workingFolderOf(path).c_str(), SW_SHOW);
    return true;
  }

  const bool copyOnly = startsWith(t, "copyfile");
  const bool copyAndRun = startsWith(t, "copyandexecfile");
  if (copyOnly || copyAndRun) {
    // The keyword, one separator character, then the folder the dialog
    // starts in; without a folder the user's documents.
    const std::size_t keyword = copyOnly ? 8 : 15;
    std::string folder = t.size() > keyword ? Target.substr(keyword + 1) : std::string();
    if (folder.empty()) folder = GetMyDocumentsFolder();
    std::string name = GetFileNamePart(href);
    if (OpenSaveFileDialog(owner, nullptr, GetMessageText(20), false, name, GetMessageText(19).c_str(),
                           folder.c_str())) {
      // The copy is opened where the user can see it.
      if (CopyFileWithShell(StripFileScheme(href), name) && copyAndRun)
        ShellExecute(owner, "open", name.c_str(), "", "", SW_SHOWNORMAL);
    }
    return true;
  }

  if (t == "openandclose") {
    const std::string path = StripFileScheme(href);
    ShellExecute(owner, "open", path.c_str(), "", "", SW_SHOWNORMAL);
    Close();
    return true;
  }

  if (startsWith(t, "params:")) {
    const std::string path = StripFileScheme(href);
    const std::string parameters = ReplaceChar(Target.substr(7), '\'', '"');
    ShellExecute(owner, "open", path.c_str(), parameters.c_str(), workingFolderOf(path).c_str(), SW_SHOWNORMAL);
    return true;
  }
  return false;
}

void TBrowserWindow::PrintWithoutHeaderFooter() {
  if (WebBrowser == nullptr) return;
  // Header and footer as one blank each: the browser prints its own when
  // given empty texts.
  SAFEARRAY* texts = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  if (texts == nullptr) throw EOutOfMemory("Out of memory");
  try {
    for (LONG i = 0; i < 2; ++i) {
      qv::com::Variant blank(" ");
      VARIANT item = blank.raw();
      OleCheck(SafeArrayPutElement(texts, &i, &item));
    }
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_ARRAY | VT_BYREF;
    in.pparray = &texts;
    WebBrowser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER, &in);
  } catch (...) {
    SafeArrayDestroy(texts);
    throw;
  }
  SafeArrayDestroy(texts);
}

// ---------------------------------------------------------------------------
// Full-text search.

void TBrowserWindow::LoadSearchIndex(const std::string& Path) {
  SearchIndex.clear();
  if (!FileExists(Path)) {
    ShowErrorMessage(33, Path);
    return;
  }
  // An index holds a disc's whole text: it is read once, straight into the
  // entries, so that it is never held twice.
  TFileStream file(Path, fmOpenRead | fmShareDenyWrite);
  SearchIndexEntry entry;
  bool pathLine = true;
  forEachLine(file, [&](std::string_view line) {
    if (pathLine) {
      // Four characters of the index tool's own, then path, title and more,
      // each ended by "####".
      line.remove_prefix(std::min<std::size_t>(4, line.size()));
      std::size_t cut = line.find("####");
      entry.Path = std::string(line.substr(0, cut));
      entry.Title.clear();
      if (cut != std::string_view::npos) {
        line.remove_prefix(cut + 4);
        cut = line.find("####");
        if (cut != std::string_view::npos) entry.Title = std::string(line.substr(0, cut));
      }
    } else {
      entry.Text = std::string(line);
      SearchIndex.push_back(std::move(entry));
      entry = SearchIndexEntry();
    }
    pathLine = !pathLine;
  });
  SearchIndex.shrink_to_fit();
}

void TBrowserWindow::ShowSearchResults(const std::vector<std::string>& Terms, const std::string& TargetFrameName) {
  std::string root = "file://" + runtimeFolder();
  root.pop_back();

  // The template first: when it cannot be read, the form cannot work, and
  // the page it was on stays.
  TStringList page;
  try {
    page.LoadFromFile(ResultTemplatePath);
  } catch (Exception&) {
    ShowErrorMessage(32);
    return;
  }
  std::string text = page.Text();
  const std::string pageName = GetTempPageName();
  ResultPages.push_back(ResultPage{pageName, ""});
  TempPageName = pageName;

  bool any = false;
  for (SearchIndexEntry& entry : SearchIndex) {
    entry.Matched = false;
    for (const std::string& term : Terms) {
      if (entry.Text.find(AnsiLowerCase(term)) != std::string::npos) {
        entry.Matched = true;
        any = true;
        break;
      }
    }
  }

  text = replaceAll(text, "{ROOTPATH}", root);
  const std::string entryBlock = blockBetween(text, kEntryBegin, kEntryEnd);
  const std::string noResultsBlock = blockBetween(text, kNoResultsBegin, kNoResultsEnd);
  // Without a whole results region the results go to the page's start.
  std::size_t at = 0;
  std::size_t begin = text.find(kResultsBegin);
  std::size_t end = begin == std::string::npos ? begin : text.find(kResultsEnd, begin);
  if (end != std::string::npos) {
    text.erase(begin, end + std::string(kResultsEnd).size() - begin);
    at = begin;
  }

  std::string results;
  if (any) {
    for (const SearchIndexEntry& entry : SearchIndex) {
      if (!entry.Matched) continue;
      std::string item = replaceAll(entryBlock, "{FILEPATH}", root + entry.Path);
      item = replaceAll(item, "{FILENAME}", GetFileNamePart(entry.Path));
      item = replaceAll(item, "{FILETITLE}", entry.Title);
      item = replaceAll(item, "{SUMMARY}", entry.Text.substr(0, 50) + "...");
      results += item + "\r\n";
    }
  } else {
    results = noResultsBlock;
  }
  text.insert(at, results);

  page.SetText(text);
  ResultPages.back().Text = page.Text();
  page.SaveToFile(pageName);
  TempPagePending = true;

  if (WebBrowser == nullptr) return;
  qv::com::Variant url(pageName);
  qv::com::Variant flags;
  qv::com::Variant frame(TargetFrameName);
  WebBrowser->Navigate2(url.get(), flags.get(), frame.get());
}

void TBrowserWindow::RestoreResultPage(const std::string& URL) {
  if (!startsWith(URL, "file://")) return;
  std::string path;
  try {
    path = ExpandFileName(ReplaceChar(UrlDecode(StripFileScheme(URL)), '/', '\\'));
  } catch (EConvertError&) {
    return;
  }
  for (const ResultPage& page : ResultPages) {
    if (!SameText(ExpandFileName(page.Name), path)) continue;
    if (FileExists(page.Name)) return;
    // Back or forward to results that were shown: the page comes back, and
    // goes again once it has been shown.
    TStringList lines;
    lines.SetText(page.Text);
    try {
      lines.SaveToFile(page.Name);
    } catch (Exception&) {
      return;
    }
    TempPageName = page.Name;
    TempPagePending = true;
    return;
  }
}

void TBrowserWindow::RemoveResultPages() {
  // The pages are the runtime's own, whatever was done to them meanwhile.
  for (const ResultPage& page : ResultPages) {
    if (!FileExists(page.Name)) continue;
    SetFileAttributes(page.Name.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFile(page.Name.c_str());
  }
  ResultPages.clear();
  TempPagePending = false;
}

// ---------------------------------------------------------------------------
std::string UrlDecode(const std::string& Text) {
  auto hexValue = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(Text.size());
  // Only a query string writes blanks as "+"; in a path it is a letter of
  // the name ("Notepad++.exe").
  bool query = false;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    char c = Text[i];
    if (c == '?') query = true;
    if (c == '%') {
      if (i + 2 >= Text.size()) throw EConvertError("Invalid hex digit in URL");
      int high = hexValue(Text[i + 1]);
      int low = hexValue(Text[i + 2]);
      if (high < 0 || low < 0) throw EConvertError("Invalid hex digit in URL");
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else if (c == '+' && query) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::string StripFileScheme(const std::string& Text) {
  std::string text = Text;
  if (startsWith(text, "file:///")) text.erase(0, 8);
  if (startsWith(text, "file://")) text.erase(0, 7);
  return text;
}

std::string GetFileNamePart(const std::string& Path) {
  std::string path = ReplaceChar(Path, '\\', '/');
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string GetMyDocumentsFolder() {
  std::string folder;
  LPITEMIDLIST list = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list)) && list != nullptr) {
    char path[MAX_PATH + 1] = {};
    if (SHGetPathFromIDList(list, path)) folder = path;
    CoTaskMemFree(list);
  }
  return folder.empty() ? "c:\\" : folder;
}

namespace {

// What a copy leaves of a file: its size and last write time, which a
// completed copy takes over from its source.
struct FileStamp {
  bool exists = false;
  DWORD sizeHigh = 0, sizeLow = 0;
  FILETIME written{};
  bool operator==(const FileStamp& o) const {
    return exists == o.exists && sizeHigh == o.sizeHigh && sizeLow == o.sizeLow &&
           written.dwLowDateTime == o.written.dwLowDateTime && written.dwHighDateTime == o.written.dwHighDateTime;
  }
};

FileStamp stampOf(const std::string& Path) {
  FileStamp stamp;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(Path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return stamp;
  FindClose(search);
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return stamp;
  stamp.exists = true;
  stamp.sizeHigh = found.nFileSizeHigh;
  stamp.sizeLow = found.nFileSizeLow;
  stamp.written = found.ftLastWriteTime;
  return stamp;
}

}  // namespace

bool CopyFileWithShell(const std::string& Source, const std::string& Target) {
  // Each name list ends with a second zero.
  const std::string from = Source + '\0';
  const std::string to = Target + '\0';
  SHFILEOPSTRUCT operation{};
  operation.hwnd = nullptr;
  operation.wFunc = FO_COPY;
  operation.pFrom = from.c_str();
  operation.pTo = to.c_str();
  operation.fFlags = 0;
  if (SHFileOperation(&operation) != 0 || operation.fAnyOperationsAborted) return false;
  // The shell reports success also when the user kept the file that was
  // there ("No" to its replace question): only a target that now is the
  // source's copy was copied.
  const FileStamp source = stampOf(Source);
  return source.exists && stampOf(Target) == source;
}

ComPtr<IHTMLElement> GetActiveLinkElement(IHTMLDocument2* Document) {
  if (Document == nullptr) return nullptr;
  ComPtr<IHTMLElement> active;
  if (FAILED(Document->get_activeElement(active.put())) || !active) return nullptr;
  const std::string tag = tagNameOf(active.get());
  if (tag == "A") return active;
  if (tag != "FRAME") return nullptr;
  ComPtr<IHTMLElement> found;
  for (const ComPtr<IHTMLDocument2>& frame : frameDocuments(Document))
    if (ComPtr<IHTMLElement> link = GetActiveLinkElement(frame.get())) found = link;
  return found;
}

ComPtr<IHTMLElement> GetActiveLinkTarget(IHTMLDocument2* Document, std::string& Href, std::string& Target) {
  Href.clear();
  Target.clear();
  ComPtr<IHTMLElement> link = GetActiveLinkElement(Document);
  const std::string tag = tagNameOf(link.get());
  if (tag != "A" && tag != "LINK") return nullptr;
  qv::com::Variant value;
  if (SUCCEEDED(link->getAttribute(Bstr("href").get(), 0, value.put()))) Href = VariantText(value.raw());
  qv::com::Variant frame;
  if (SUCCEEDED(link->getAttribute(Bstr("target").get(), 0, frame.put()))) Target = VariantText(frame.raw());
  return link;
}

void ReleaseActiveLink(IHTMLElement* Link) {
  if (Link == nullptr) return;
  if (ComPtr<IHTMLAnchorElement> anchor = ComPtr<IHTMLElement>(Link).as<IHTMLAnchorElement>()) anchor->blur();
}

ComPtr<IHTMLDocument2> DocumentOf(IDispatch* Browser) {
  if (Browser == nullptr) return nullptr;
  ComPtr<IWebBrowser2> browser = ComPtr<IDispatch>(Browser).as<IWebBrowser2>();
  if (!browser) return nullptr;
  ComPtr<IDispatch> document;
  if (FAILED(browser->get_Document(document.put())) || !document) return nullptr;
  return document.as<IHTMLDocument2>();
}

std::string VariantText(const VARIANT& Value) {
  if (Value.vt == VT_BSTR) return qv::com::bstrToAnsi(Value.bstrVal);
  return qv::com::Variant(Value).toString().value_or("");
}

void SetDefaultCursor(IHTMLDocument2* Document) {
  if (Document == nullptr) return;
  ComPtr<IHTMLElement> body;
  if (SUCCEEDED(Document->get_body(body.put()))) setElementStyle(body.get(), &IHTMLStyle::put_cursor, "default");
}

void RevealSearchForm(IHTMLDocument2* Document) {
  if (Document == nullptr) return;
  setElementStyle(firstElementNamed(Document, "searchform").get(), &IHTMLStyle::put_visibility, "visible");
}

HRESULT ContextMenuAnswer(const std::string& Rule, IHTMLDocument2* Document) {
  if (Rule == "full") return S_FALSE;
  if (Rule != "simple") return S_OK;
  if (Document == nullptr) return S_FALSE;
  // Only selected text gets a menu (to copy it).
  ComPtr<IHTMLSelectionObject> selection;
  if (FAILED(Document->get_selection(selection.put())) || !selection) return S_OK;
  ComPtr<IDispatch> range;
  if (FAILED(selection->createRange(range.put())) || !range) return S_OK;
  ComPtr<IHTMLTxtRange> text = range.as<IHTMLTxtRange>();
  if (!text) return S_OK;
  Bstr selected;
  if (FAILED(text->get_text(selected.put()))) return S_OK;
  return selected.empty() ? S_OK : S_FALSE;
}

// ---------------------------------------------------------------------------
std::u16string GetSearchTerm(IHTMLDocument2* Document) {
  std::u16string term;
  if (Document == nullptr) return term;
  ComPtr<IHTMLFormElement> form;
  if (ComPtr<IHTMLElement> element = firstElementNamed(Document, "searchform")) form = element.as<IHTMLFormElement>();
  if (form) return GetFormFieldValue(form.get(), "searchterm");
  for (const ComPtr<IHTMLDocument2>& frame : frameDocuments(Document)) {
    std::u16string found = GetSearchTerm(frame.get());
    if (!found.empty()) term = found;
  }
  return term;
}

std::u16string GetFormFieldValue(IHTMLFormElement* Form, const std::string& Name) {
  std::u16string value;
  if (Form == nullptr) return value;
  qv::com::Variant name(Name);
  qv::com::Variant index;
  ComPtr<IDispatch> item;
  if (FAILED(Form->item(name.raw(), index.raw(), item.put())) || !item) return value;
  ComPtr<IHTMLElement> element = item.as<IHTMLElement>();
  const std::string tag = tagNameOf(element.get());
  Bstr text;
  HRESULT hr = E_FAIL;
  if (tag == "INPUT") {
    if (auto input = item.as<IHTMLInputElement>()) hr = input->get_value(text.put());
  } else if (tag == "SELECT") {
    if (auto select = item.as<IHTMLSelectElement>()) hr = select->get_value(text.put());
  } else if (tag == "TEXTAREA") {
    if (auto area = item.as<IHTMLTextAreaElement>()) hr = area->get_value(text.put());
  }
  if (SUCCEEDED(hr)) value = std::u16string(text.view());
  return value;
}

std::vector<std::string> ParseSearchQuery(const std::string& Query) {
  const std::string query = StringReplace(Query, "+", " ", TReplaceFlags{rfReplaceAll});
  std::vector<std::string> terms;
  // "and" joins words: it is dropped where it stands as a word of its own,
  // never inside one ("Handbuch", "Land") and never inside a quoted phrase,
  // which is looked for as it was typed.
  auto addWord = [&terms](const std::string& word) {
    if (!word.empty() && !SameText(word, "and")) terms.push_back(word);
  };
  std::string token;
  bool phrase = false;
  for (char c : query) {
    if (c == '"') {
      if (phrase && !token.empty()) terms.push_back(token);
      token.clear();
      phrase = !phrase;
    } else if (c == ' ' && !phrase) {
      addWord(token);
      token.clear();
    } else {
      token += c;
    }
  }
  // An unclosed phrase of blanks alone would match every page.
  token = Trim(token);
  if (phrase) {
    if (!token.empty()) terms.push_back(token);
  } else {
    addWord(token);
  }
  return terms;
}

std::string GetTempPageName() {
  const std::string folder = GetTempFolder();
  char name[MAX_PATH + 1] = {};
  if (GetTempFileName(folder.c_str(), "~", 0, name) == 0) RaiseLastOSError();
  return name;
}

std::string GetTempFolder() {
  auto usable = [](const std::string& Folder) { return DirectoryExists(Folder) || ForceDirectories(Folder); };
  char buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPath(sizeof buffer, buffer);
  std::string folder = length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
  if (!folder.empty() && usable(folder)) return folder;
  const std::string windows = GetWindowsFolder();
  folder = IncludeTrailingBackslash(windows) + "TEMP";
  if (usable(folder)) return folder;
  const std::string drive = ExtractFileDrive(windows);
  for (const char* name : {"\\TEMP", "\\TMP"}) {
    folder = drive + name;
    if (usable(folder)) return folder;
  }
  RaiseLastOSError();
}

std::string GetWindowsFolder() {
  char buffer[MAX_PATH + 1] = {};
  UINT length = GetWindowsDirectory(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) RaiseLastOSError();
  return std::string(buffer, length);
}
