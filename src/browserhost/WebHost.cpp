#include "browserhost/WebHost.h"

#include <algorithm>
#include <cstring>

#include "browserhost/BrowserUtils.h"
#include "platform/browser/HtmlInterfaces.h"
#include "platform/classlib/ComObj.h"
#include "platform/classlib/Registry.h"
#include "platform/classlib/SysUtils.h"
#include "platform/com/Ole.h"
#include "platform/com/SafeArray.h"
#include "platform/os/kernel/Locale.h"
#include "platform/os/kernel/Atom.h"
#include "platform/os/kernel/Memory.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/Dde.h"
#include "platform/os/user/Dialog.h"
#include "platform/os/user/HtmlHelp.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"

using qv::com::ComPtr;
using qv::com::Variant;

namespace qv::browserhost {

namespace {

constexpr DWORD kDownloadFlagValues[] = {
    0x00000010, 0x00000020, 0x00000040, 0x00000080, 0x00000100, 0x00000200, 0x00000400,
    0x00000800, 0x00001000, 0x00002000, 0x00004000, 0x00008000, 0x00010000, 0x00020000,
    0x00040000, 0x10000000, 0x20000000, 0x40000000, 0x80000000,
};
constexpr DWORD kUserInterfaceFlagValues[] = {
    0x00000001, 0x00000002, 0x00000004, 0x00000008, 0x00000010, 0x00000020, 0x00000040,
    0x00000080, 0x00000100, 0x00000200, 0x00000400, 0x00000800, 0x00001000, 0x00002000,
    0x00004000, 0x00010000, 0x00020000, 0x00040000, 0x00200000,
};

// The structure's size in the 32-bit layout the browser expects from its host.
constexpr ULONG kHostInfoSize = 20;
// All six floating-point exceptions masked.
constexpr WORD kMaskedControlWord = 0x133F;
// Names on the script-error event object are looked up in this locale.
constexpr LCID kScriptErrorLocale = 2048;

template <std::size_t N>
DWORD sumFlags(std::uint64_t bits, const DWORD (&values)[N]) {
  DWORD sum = 0;
  for (std::size_t i = 0; i < N; ++i)
    if (bits & (std::uint64_t{1} << i)) sum += values[i];
  return sum;
}

WORD controlWord = Default8087CW;
WORD savedControlWord = Default8087CW;

// Unit start-up and end, once per process.
int unitStarts = 0;
bool filterInstalled = false;

// The shell's DDE names and the conversation state, process-wide: the mode
// of the last initiation acknowledged, and whether the server is calling
// the shell itself (which must not be answered).
ShellDdeNames ddeNames;
enum class DdeMode { Html, Folder };
DdeMode ddeMode = DdeMode::Html;
bool ddeBusy = false;

// The keys the filter's third rule hands to the browser: Tab and Enter, every
// key with Ctrl, and the editing and arrow keys of the extended block.
constexpr LPARAM kExtendedKey = LPARAM{1} << 24;
// A key message built from a reflected one has no pointer position; the
// browser never reads it.
constexpr LONG kNoPoint = 0x115DE1F1;

bool isExtended(LPARAM lParam) { return (lParam & kExtendedKey) != 0; }

// The main form acts on the command before this returns.
void sendToMainForm(WPARAM command) {
  if (!::Application) return;
  auto* form = dynamic_cast<TWinControl*>(::Application->MainForm());
  if (!form) return;
  SendMessage(form->Handle(), WM_SYSCOMMAND, command, 0);
}

void startUnit() {
  if (unitStarts++ != 0) return;
  savedControlWord = Default8087CW;
  filterInstalled = false;
  OleInitialize(nullptr);
  RegisterClass(TWebHost::StaticClass());
}

void endUnit() {
  if (--unitStarts != 0) return;
  Set8087CW(savedControlWord);
  try {
    OleUninitialize();
  } catch (...) {
  }
  ddeNames = ShellDdeNames{};
}

struct UnitLifetime {
  UnitLifetime() { startUnit(); }
  ~UnitLifetime() { endUnit(); }
  UnitLifetime(const UnitLifetime&) = delete;
  UnitLifetime& operator=(const UnitLifetime&) = delete;
};
const UnitLifetime unitLifetime;

// Exceptions must not cross into the browser: a handler's failure becomes the
// callback's error result.
template <class F>
HRESULT guarded(F body) {
  try {
    return body();
  } catch (const EOleSysError& e) {
    return FAILED(e.ErrorCode()) ? e.ErrorCode() : E_FAIL;
  } catch (...) {
    return E_FAIL;
  }
}

std::string variantText(const VARIANT& v) {
  Variant copy;
  if (FAILED(VariantCopyInd(copy.put(), &v))) return {};
  if (copy.vt() == VT_EMPTY || copy.vt() == VT_NULL) return {};
  return copy.toString().value_or("");
}

// A property of an automation object by name, as text; raises the class
// library's OLE errors as late binding does.
std::string propertyText(IDispatch* object, const char* name) {
  qv::com::Bstr wide(name);
  LPOLESTR names[] = {wide.get()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, kScriptErrorLocale, &id);
  if (FAILED(hr)) throw EOleError("'%s' not supported.", {std::string(name)});
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant result;
  EXCEPINFO excep{};
  UINT argErr = 0;
  hr = object->Invoke(id, IID_NULL, kScriptErrorLocale, DISPATCH_PROPERTYGET, &none, result.put(), &excep, &argErr);
  if (FAILED(hr)) {
    if (hr == DISP_E_EXCEPTION) {
      const std::string description = qv::com::bstrToAnsi(excep.bstrDescription);
      const std::string source = qv::com::bstrToAnsi(excep.bstrSource);
      const std::string helpFile = qv::com::bstrToAnsi(excep.bstrHelpFile);
      const HRESULT code = excep.scode ? excep.scode : hr;
      SysFreeString(excep.bstrDescription);
      SysFreeString(excep.bstrSource);
      SysFreeString(excep.bstrHelpFile);
      throw EOleException(description, code, source, helpFile, static_cast<int>(excep.dwHelpContext));
    }
    throw EOleSysError("", hr);
  }
  return variantText(result.raw());
}

// The browser's page setup writes numbers with a point and may pad them.
std::string pageSetupNumber(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ') out += c == '.' ? DecimalSeparator : c;
  return out;
}

// The default value of a key of HKEY_CLASSES_ROOT; empty when unreadable.
std::string classesDefault(const std::string& key) {
  try {
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    if (!registry.OpenKeyReadOnly(key)) return {};
    return registry.ReadString("");
  } catch (...) {
    return {};
  }
}

// The command name of a ddeexec value: between its first "[" and first "(".
std::string commandName(const std::string& command) {
  const std::size_t open = command.find('[');
  const std::size_t paren = command.find('(');
  if (open == std::string::npos || paren == std::string::npos || paren < open) return {};
  return command.substr(open + 1, paren - open - 1);
}

// The text after the n-th comma (n from 1); empty when there are fewer.
std::string afterComma(const std::string& text, int n) {
  std::size_t at = 0;
  for (int i = 0; i < n; ++i) {
    at = text.find(',', at);
    if (at == std::string::npos) return {};
    ++at;
  }
  return text.substr(at);
}

// The first signed decimal number of the text from `at` on: digits with an
// optional sign right before them. False when there is none or it does not
// fit 32 bits; `at` then stands after it.
bool nextNumber(const std::string& text, std::size_t& at, long long& value) {
  auto digit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  while (at < text.size() && !digit(at) && !((text[at] == '+' || text[at] == '-') && digit(at + 1))) ++at;
  if (at >= text.size()) return false;
  bool negative = false;
  if (text[at] == '+' || text[at] == '-') negative = text[at++] == '-';
  value = 0;
  bool fits = true;
  for (; digit(at); ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > 0xFFFFFFFFLL) {
      fits = false;
      value = 0xFFFFFFFFLL;
    }
  }
  if (negative) value = -value;
  return fits;
}

// The atom's name, up to 256 characters.
std::string atomText(ATOM atom) {
  char name[257] = {};
  if (atom == 0) return {};
  GlobalGetAtomName(atom, name, sizeof name);
  return name;
}

}  // namespace

const ShellDdeNames& shellDdeNames() { return ddeNames; }

void ReadShellDdeNames() {
  try {
    ddeNames.HtmlApplication = classesDefault("htmlfile\\shell\\open\\ddeexec\\application");
    ddeNames.HtmlTopic = classesDefault("htmlfile\\shell\\open\\ddeexec\\topic");
    ddeNames.FolderApplication = classesDefault("Folder\\shell\\open\\ddeexec\\application");
    ddeNames.FolderTopic = classesDefault("Folder\\shell\\open\\ddeexec\\topic");
    ddeNames.OpenFolderCommand = commandName(classesDefault("Folder\\shell\\open\\ddeexec"));
    ddeNames.ExploreCommand = commandName(classesDefault("Folder\\shell\\explore\\ddeexec"));
    ddeNames.FindCommand = commandName(classesDefault("Directory\\shell\\find\\ddeexec"));
  } catch (...) {
    // Without the names the server answers nobody.
  }
}

TDdeCommandKind GetDdeCommandKind(const std::string& Text) {
  const std::string name = commandName(Text);
  if (name.empty()) return dckNone;
  if (name == ddeNames.OpenFolderCommand) return dckOpenFolder;
  if (name == ddeNames.ExploreCommand) return dckExplore;
  if (name == ddeNames.FindCommand) return dckFind;
  return dckNone;
}

std::string GetDdeQuotedPath(const std::string& Text) {
  const std::size_t first = Text.find('"');
  if (first == std::string::npos) return {};
  const std::size_t second = Text.find('"', first + 1);
  if (second == std::string::npos) return {};
  return Text.substr(first + 1, second - first - 1);
}

LPITEMIDLIST GetDdePidl(const std::string& Text) {
  const std::string argument = afterComma(Text, 1);
  std::size_t at = 0;
  long long handle = 0;
  if (!nextNumber(argument, at, handle)) return nullptr;
  // Only a block of shared memory, which the shell names with its process.
  if (at >= argument.size() || argument[at] != ':') return nullptr;
  ++at;
  long long process = 0;
  if (!nextNumber(argument, at, process) || handle <= 0 || process < 0) return nullptr;
  HANDLE shared = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle));
  const DWORD processId = static_cast<DWORD>(process);
  LPITEMIDLIST list = nullptr;
  if (void* mapped = ShellLockShared(shared, processId)) {
    list = ClonePidl(static_cast<LPCITEMIDLIST>(mapped));
    ShellUnlockShared(mapped);
  }
  ShellFreeShared(shared, processId);
  return list;
}

int GetDdeShowCommand(const std::string& Text) {
  const std::string argument = afterComma(Text, 2);
  const std::size_t at = argument.find_first_of("0123456789+-");
  if (at == std::string::npos) return 1;
  const char c = argument[at];
  // A sign alone is no number.
  return c >= '0' && c <= '9' ? c - '0' : 1;
}

TDdeCommand ParseDdeCommand(const std::string& Text) {
  TDdeCommand command;
  command.Kind = GetDdeCommandKind(Text);
  if (command.Kind == dckNone) return command;
  command.Path = GetDdeQuotedPath(Text);
  command.Pidl = GetDdePidl(Text);
  command.ShowCommand = GetDdeShowCommand(Text);
  return command;
}

DWORD downloadFlags(TDownloadControlOptions Options) { return sumFlags(Options.Bits(), kDownloadFlagValues); }
DWORD userInterfaceFlags(TUserInterfaceOptions Options) { return sumFlags(Options.Bits(), kUserInterfaceFlagValues); }

WORD Get8087CW() { return controlWord; }
bool FilterInstalled() { return filterInstalled; }
void Set8087CW(WORD Value) { controlWord = Value; }

// The host side of the browser's site: the six host interfaces, forwarded to
// the control while it lives. The browser may keep references past the
// control's end; calls then get the answers of a control without handlers.
class WebHostSite final
    : public qv::com::ComObject<IOleCommandTarget, IServiceProvider, IDispatch, IDocHostUIHandler2, IDocHostShowUI> {
 public:
  explicit WebHostSite(TWebHost* Host) : host_(Host) {}
  void detach() { host_ = nullptr; }

  // --- IOleCommandTarget
  HRESULT QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) override { return S_OK; }
  HRESULT Exec(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out) override {
    if (!host_) return group ? OLECMDERR_E_NOTSUPPORTED : OLECMDERR_E_UNKNOWNGROUP;
    return guarded([&] { return host_->exec(group, id, option, in, out); });
  }

  // --- IServiceProvider
  HRESULT QueryService(REFGUID service, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!host_ || !host_->OnQueryService) return E_NOINTERFACE;
    return guarded([&] {
      ComPtr<IUnknown> obj;
      const HRESULT hr = host_->OnQueryService(service, riid, obj);
      *ppv = obj.detach();
      return hr;
    });
  }

  // --- IDispatch
  HRESULT GetTypeInfoCount(UINT* pctinfo) override {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    if (!host_ || !host_->OnGetTypeInfoCount) return E_NOTIMPL;
    return guarded([&] {
      int count = 0;
      const HRESULT hr = host_->OnGetTypeInfoCount(count);
      *pctinfo = static_cast<UINT>(std::max(count, 0));
      return hr;
    });
  }
  HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** ppTInfo) override {
    if (!ppTInfo) return E_POINTER;
    *ppTInfo = nullptr;
    if (!host_ || !host_->OnGetTypeInfo) return E_NOTIMPL;
    return guarded([&] {
      ITypeInfo* info = nullptr;
      const HRESULT hr = host_->OnGetTypeInfo(static_cast<int>(index), static_cast<int>(lcid), info);
      *ppTInfo = info;
      return hr;
    });
  }
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    if (!host_ || !host_->OnGetIDsOfNames) return E_NOTIMPL;
    return guarded([&] {
      return host_->OnGetIDsOfNames(riid, names, static_cast<int>(count), static_cast<int>(lcid), ids);
    });
  }
  HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* excep, UINT* argErr) override {
    if (!host_) return DISP_E_MEMBERNOTFOUND;
    return guarded([&] { return host_->invoke(id, riid, lcid, flags, params, result, excep, argErr); });
  }

  // --- IDocHostUIHandler
  HRESULT ShowContextMenu(DWORD id, POINT* pt, IUnknown* cmdt, IDispatch* disp) override {
    if (!host_ || !host_->OnShowContextMenu) return S_FALSE;
    return guarded([&] { return host_->OnShowContextMenu(id, pt, cmdt, disp); });
  }
  HRESULT GetHostInfo(DOCHOSTUIINFO* info) override {
    if (!info) return E_POINTER;
    info->cbSize = kHostInfoSize;
    info->dwFlags = host_ ? host_->FUserInterfaceFlags : 0;
    info->dwDoubleClick = 0;
    if (!host_ || !host_->OnGetHostInfo) return S_OK;
    return guarded([&] { return host_->OnGetHostInfo(*info); });
  }
  HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target, IOleInPlaceFrame* frame,
                 IOleInPlaceUIWindow* doc) override {
    if (!host_ || !host_->OnShowUI) return S_FALSE;
    return guarded([&] { return host_->OnShowUI(id, active, target, frame, doc); });
  }
  HRESULT HideUI() override { return simple(host_ ? host_->OnHideUI : nullptr); }
  HRESULT UpdateUI() override { return simple(host_ ? host_->OnUpdateUI : nullptr); }
  HRESULT EnableModeless(BOOL enable) override {
    if (!host_ || !host_->OnEnableModeless) return S_FALSE;
    return guarded([&] { return host_->OnEnableModeless(enable); });
  }
  HRESULT OnDocWindowActivate(BOOL activate) override {
    if (!host_ || !host_->OnOnDocWindowActivate) return S_FALSE;
    return guarded([&] { return host_->OnOnDocWindowActivate(activate); });
  }
  HRESULT OnFrameWindowActivate(BOOL activate) override {
    if (!host_ || !host_->OnOnFrameWindowActivate) return S_FALSE;
    return guarded([&] { return host_->OnOnFrameWindowActivate(activate); });
  }
  HRESULT ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override {
    if (!host_ || !host_->OnResizeBorder) return S_FALSE;
    return guarded([&] { return host_->OnResizeBorder(border, window, frameWindow); });
  }
  HRESULT TranslateAccelerator(LPMSG msg, const GUID* group, DWORD id) override {
    if (!host_ || !host_->OnTranslateAccelerator) return S_FALSE;
    return guarded([&] { return host_->OnTranslateAccelerator(msg, group, id); });
  }
  HRESULT GetOptionKeyPath(LPOLESTR* key, DWORD dw) override {
    if (!host_ || !host_->OnGetOptionKeyPath) return S_FALSE;
    if (!key) return E_POINTER;
    return guarded([&] { return host_->OnGetOptionKeyPath(*key, dw); });
  }
  HRESULT GetDropTarget(IDropTarget* dropTarget, IDropTarget** ppDropTarget) override {
    if (!ppDropTarget) return E_POINTER;
    *ppDropTarget = nullptr;
    if (!host_ || !host_->OnGetDropTarget) return S_OK;
    return guarded([&] { return host_->OnGetDropTarget(dropTarget, *ppDropTarget); });
  }
  HRESULT GetExternal(IDispatch** ppDispatch) override {
    if (!ppDispatch) return E_POINTER;
    *ppDispatch = nullptr;
    if (!host_ || !host_->OnGetExternal) return S_FALSE;
    return guarded([&] {
      ComPtr<IDispatch> external;
      const HRESULT hr = host_->OnGetExternal(external);
      *ppDispatch = external.detach();
      return hr;
    });
  }
  HRESULT TranslateUrl(DWORD translate, LPOLESTR urlIn, LPOLESTR* urlOut) override {
    if (!host_ || !host_->OnTranslateUrl) return S_FALSE;
    if (!urlOut) return E_POINTER;
    return guarded([&] { return host_->OnTranslateUrl(translate, urlIn, *urlOut); });
  }
  HRESULT FilterDataObject(IDataObject* dataObject, IDataObject** ppDORet) override {
    if (!ppDORet) return E_POINTER;
    *ppDORet = nullptr;
    if (!host_ || !host_->OnFilterDataObject) return S_FALSE;
    return guarded([&] { return host_->OnFilterDataObject(dataObject, *ppDORet); });
  }

  // --- IDocHostUIHandler2
  HRESULT GetOverrideKeyPath(LPOLESTR* key, DWORD dw) override {
    if (!host_ || !host_->OnGetOverrideKeyPath) return S_OK;
    if (!key) return E_POINTER;
    return guarded([&] { return host_->OnGetOverrideKeyPath(*key, dw); });
  }

  // --- IDocHostShowUI
  HRESULT ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile, DWORD helpContext,
                      LRESULT* result) override {
    if (!host_ || !host_->OnShowMessage) return S_FALSE;
    return guarded([&] {
      LRESULT answer = result ? *result : 0;
      const HRESULT hr = host_->OnShowMessage(hwnd, text, caption, static_cast<int>(type), helpFile,
                                              static_cast<int>(helpContext), answer);
      if (result) *result = answer;
      return hr;
    });
  }
  HRESULT ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT mouse,
                   IDispatch* objectHit) override {
    if (!host_) return S_FALSE;
    if (host_->OnShowHelp)
      return guarded([&] {
        ComPtr<IDispatch> hit(objectHit);
        return host_->OnShowHelp(hwnd, helpFile, static_cast<int>(command), static_cast<int>(data), mouse, hit);
      });
    if (host_->HelpFile().empty()) return S_FALSE;
    ::HtmlHelp(hwnd, host_->HelpFile().c_str(), command, data);
    return S_OK;
  }

 private:
  ~WebHostSite() override = default;

  static HRESULT simple(const std::function<HRESULT()>& handler) {
    if (!handler) return S_FALSE;
    return guarded([&] { return handler(); });
  }

  TWebHost* host_;
};

}  // namespace qv::browserhost

using qv::browserhost::WebHostSite;

// ---------------------------------------------------------------------------
// TMargins and TPrintOptions.

void TMargins::Assign(TPersistent* Source) {
  if (auto* m = dynamic_cast<TMargins*>(Source)) {
    FLeft = m->FLeft;
    FRight = m->FRight;
    FTop = m->FTop;
    FBottom = m->FBottom;
    return;
  }
  TPersistent::Assign(Source);
}

TPrintOptions::TPrintOptions(TPersistent* AOwner)
    : FOwner(AOwner), FHTMLHeader(new TStringList()), FMargins(new TMargins()) {}

TPrintOptions::~TPrintOptions() {
  delete FHTMLHeader;
  delete FMargins;
}

void TPrintOptions::SetHTMLHeader(TStrings* Value) {
  if (Value != FHTMLHeader) FHTMLHeader->Assign(Value);
}

void TPrintOptions::SetMargins(TMargins* Value) {
  if (Value != FMargins) FMargins->Assign(Value);
}

void TPrintOptions::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPrintOptions*>(Source)) {
    if (p == this) return;
    FHTMLHeader->Assign(p->FHTMLHeader);
    FHeader = p->FHeader;
    FFooter = p->FFooter;
    FMargins->Assign(p->FMargins);
    FOrientation = p->FOrientation;
    FMeasure = p->FMeasure;
    return;
  }
  TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TWebHost.

TWebHost::TWebHost(TComponent* AOwner) : TWebBrowser(AOwner) {
  // FfpExceptions starts true without its setter: the control word stays as
  // it is until a value is set.
  FHostSite = qv::com::makeObject<WebHostSite>(this);
  FPrintOptions = new TPrintOptions(this);
  try {
#if QV_WEBHOST_KEYBOARD_FILTER
    InstallMessageHook();
#endif
    qv::browserhost::ReadShellDdeNames();
    FDdeWindow = AllocateHWnd([this](TMessage& Message) { DdeWindowProc(Message); });
    FPrintOptions->HTMLHeader()->Add("<HTML></HTML>");
    char measure[10] = {};
    if (GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof measure) > 0)
      FMeasureInches = std::strcmp(measure, "1") == 0;
    SetDownloadOptions(TDownloadControlOptions{TDownloadControlOption::DLCTL_DLIMAGES,
                                               TDownloadControlOption::DLCTL_VIDEOS,
                                               TDownloadControlOption::DLCTL_BGSOUNDS});
    SetUserInterfaceOptions({});
    SetEnableDDE(false);
  } catch (...) {
    // The filter must not outlive a control that never came to be.
    RemoveMessageHook();
    DeallocateHWnd(FDdeWindow);
    FDdeWindow = nullptr;
    FHostSite->detach();
    CloseOleObject();
    FreeAndNil(FPrintOptions);
    throw;
  }
}

TWebHost::~TWebHost() {
  // The window outlives this part of the control: from here on its messages
  // go to the procedure it had before the host hooked it.
  if (FSavedWindowProc) {
    WindowProc = FSavedWindowProc;
    FSavedWindowProc = nullptr;
  }
  // The browser keeps the host interfaces until it is closed; close it while
  // this control can still answer, then cut the site off from it.
  CloseOleObject();
  FHostSite->detach();
  DeallocateHWnd(FDdeWindow);
  FDdeWindow = nullptr;
  FreeAndNil(FPrintOptions);
  UnhookOwnerForm();
  RemoveMessageHook();
}

void TWebHost::Loaded() {
  TWebBrowser::Loaded();
  FDownloadFlags = qv::browserhost::downloadFlags(FDownloadOptions);
  FUserInterfaceFlags = qv::browserhost::userInterfaceFlags(FUserInterfaceOptions);
  if (!ComponentState().Contains(csDesigning)) HookOwnerForm();
  if (ComponentState().Contains(csDesigning)) {
    FPrintOptions->SetMeasure(FMeasureInches);
    readPageSetup();
  } else if (!FSavedWindowProc) {
    // Once only: a form read again (a language module's) loads the control
    // again, and hooking a second time would make the host procedure call
    // itself.
    FSavedWindowProc = WindowProc;
    WindowProc = [this](TMessage& Message) { HostWindowProc(Message); };
  }
}

void TWebHost::readPageSetup() {
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (!registry.OpenKeyReadOnly("Software\\Microsoft\\Internet Explorer\\PageSetup")) return;
  FPrintOptions->SetHeader(registry.ReadString("header"));
  FPrintOptions->SetFooter(registry.ReadString("footer"));
  // The browser stores margins in inches with a point; a value that is not a
  // number leaves its margin as it was rather than failing the form.
  auto margin = [&](const char* name, void (TMargins::*set)(double)) {
    double value = 0;
    if (!TryStrToFloat(qv::browserhost::pageSetupNumber(registry.ReadString(name)), value)) return;
    if (!FMeasureInches) value *= 25.4;
    (FPrintOptions->Margins()->*set)(value);
  };
  margin("margin_left", &TMargins::SetLeft);
  margin("margin_right", &TMargins::SetRight);
  margin("margin_top", &TMargins::SetTop);
  margin("margin_bottom", &TMargins::SetBottom);
}

void TWebHost::notifyAmbientChange() {
  ComPtr<IDispatch> application = Application();
  ComPtr<IOleControl> control;
  if (!application || FAILED(application->QueryInterface(IID_IOleControl, control.putVoid())) || !control)
    throw EIntfCastError("Interface not supported");
  control->OnAmbientPropertyChange(DISPID_AMBIENT_DLCONTROL);
}

void TWebHost::SetDownloadOptions(TDownloadControlOptions Value) {
  FDownloadOptions = Value;
  FDownloadFlags = qv::browserhost::downloadFlags(Value);
  notifyAmbientChange();
}

void TWebHost::SetUserInterfaceOptions(TUserInterfaceOptions Value) {
  FUserInterfaceOptions = Value;
  FUserInterfaceFlags = qv::browserhost::userInterfaceFlags(Value);
  notifyAmbientChange();
}

void TWebHost::SetPrintOptions(TPrintOptions* Value) {
  if (Value) FPrintOptions->Assign(Value);
}

void TWebHost::SetEnableDDE(bool Value) {
  FEnableDDE = Value;
  // A conversation of before goes with the switch.
  if (!Value) FDdeClient = nullptr;
}

void TWebHost::SetfpExceptions(bool Value) {
  if (Value) {
    qv::browserhost::Set8087CW(qv::browserhost::savedControlWord);
  } else {
    qv::browserhost::Set8087CW(qv::browserhost::kMaskedControlWord);
  }
  FfpExceptions = Value;
}

void TWebHost::NavigateTo(const std::string& URL) {
  Variant url(URL);
  Variant empty;
  Navigate2(url.get(), empty.get(), empty.get(), empty.get(), empty.get());
}

void TWebHost::NavigateToPidl(LPCITEMIDLIST PIDL) {
  const UINT size = PidlSize(PIDL);
  if (size == 0) return;
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, size);
  if (!array) return;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) {
    SafeArrayDestroy(array);
    return;
  }
  std::memcpy(data, PIDL, size);
  SafeArrayUnaccessData(array);
  Variant url = Variant::fromArray(array, VT_UI1);
  Variant empty;
  Navigate2(url.get(), empty.get(), empty.get(), empty.get(), empty.get());
}

void TWebHost::InvokeCommand(bool WithGroup, int CmdID, VARIANT* vaIn, VARIANT* vaOut, OLECMDEXECOPT ExecOpt) {
  try {
    ComPtr<IDispatch> document = Document();
    if (!document) return;
    ComPtr<IOleCommandTarget> target;
    if (FAILED(document->QueryInterface(IID_IOleCommandTarget, target.putVoid())) || !target) return;
    target->Exec(WithGroup ? &CGID_IWebBrowser : nullptr, static_cast<DWORD>(CmdID), ExecOpt, vaIn, vaOut);
  } catch (...) {
    // Toolbar commands never fail visibly.
  }
}

void TWebHost::ShowFindDialog() {
  Variant in, out;
  InvokeCommand(true, CWBCMD_FIND, in.get(), out.get(), static_cast<OLECMDEXECOPT>(0));
}

void TWebHost::CopySelection() {
  Variant in, out;
  InvokeCommand(false, OLECMDID_COPY, in.get(), out.get());
}

HRESULT TWebHost::QueryHostInterface(REFIID iid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (iid == IID_IOleCommandTarget || iid == IID_IServiceProvider || iid == IID_IDispatch ||
      iid == IID_IDocHostUIHandler2 || iid == IID_IDocHostUIHandler || iid == IID_IDocHostShowUI)
    return FHostSite->QueryInterface(iid, ppv);
  return TWebBrowser::QueryHostInterface(iid, ppv);
}

HRESULT TWebHost::invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* excep, UINT* argErr) {
  if (dispid == DISPID_AMBIENT_DLCONTROL && (flags & DISPATCH_PROPERTYGET) && result) {
    VariantClear(result);
    result->vt = VT_I4;
    result->lVal = static_cast<LONG>(FDownloadFlags);
    return S_OK;
  }
  if (OnInvoke) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return OnInvoke(dispid, riid, static_cast<int>(lcid), flags, params ? *params : none, result, excep, argErr);
  }
  return InvokeAmbient(dispid, lcid, flags, params, result, excep, argErr);
}

HRESULT TWebHost::exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut) {
  (void)nCmdexecopt;
  (void)pvaIn;
  if (!pguidCmdGroup) return OLECMDERR_E_UNKNOWNGROUP;
  HRESULT result = OLECMDERR_E_NOTSUPPORTED;
  if (*pguidCmdGroup == CGID_Explorer && nCmdID == SBCMDID_ONUNLOAD) {
    if (OnUnload) OnUnload(this);
  } else if (*pguidCmdGroup == CGID_DocHostCommandHandler) {
    if (OnRefresh && (nCmdID == IDM_REFRESH || nCmdID == IDM_REFRESH_TOP || nCmdID == IDM_REFRESH_TOP_FULL)) {
      bool cancel = false;
      OnRefresh(this, static_cast<int>(nCmdID), cancel);
      if (cancel) result = S_OK;
    } else if (nCmdID == OLECMDID_SHOWSCRIPTERROR && OnScriptError) {
      scriptError(result, pvaOut);
    }
  }
  return result;
}

void TWebHost::scriptError(HRESULT& Result, VARIANT* pvaOut) {
  ComPtr<IDispatch> document = Document();
  ComPtr<IHTMLDocument2> page;
  if (document) document->QueryInterface(IID_IHTMLDocument2, page.putVoid());
  if (!page) return;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(page->get_parentWindow(window.put())) || !window) return;
  ComPtr<IHTMLEventObj> event;
  if (FAILED(window->get_event(event.put())) || !event) return;

  bool continueScript = true;
  bool showDialog = true;
  IDispatch* object = event.get();
  const std::string errorCharacter = qv::browserhost::propertyText(object, "errorCharacter");
  const std::string errorCode = qv::browserhost::propertyText(object, "errorCode");
  const std::string errorMessage = qv::browserhost::propertyText(object, "errorMessage");
  const std::string errorUrl = qv::browserhost::propertyText(object, "errorUrl");
  const std::string errorLine = qv::browserhost::propertyText(object, "errorline");
  OnScriptError(this, errorLine, errorCharacter, errorCode, errorMessage, errorUrl, continueScript, showDialog);
  if (pvaOut) {
    VariantClear(pvaOut);
    pvaOut->vt = VT_BOOL;
    pvaOut->boolVal = continueScript ? VARIANT_TRUE : VARIANT_FALSE;
  }
  if (!showDialog) Result = S_OK;
}

// ---------------------------------------------------------------------------
// The application keyboard filter and the control's window procedure.

void TWebHost::InstallMessageHook() {
  if (qv::browserhost::filterInstalled || !::Application) return;
  FSavedOnMessage = ::Application->OnMessage;
  ::Application->OnMessage = [this](MSG& Msg, bool& Handled) { ApplicationMessageFilter(Msg, Handled); };
  FInstalledFilter = true;
  qv::browserhost::filterInstalled = true;
}

void TWebHost::RemoveMessageHook() {
  if (!FInstalledFilter) return;
  if (::Application) ::Application->OnMessage = FSavedOnMessage;
  FSavedOnMessage = nullptr;
  FInstalledFilter = false;
  qv::browserhost::filterInstalled = false;
}

ComPtr<IOleInPlaceActiveObject> TWebHost::activeObject() {
  ComPtr<IDispatch> application = Application();
  ComPtr<IOleInPlaceActiveObject> active;
  if (!application || FAILED(application->QueryInterface(IID_IOleInPlaceActiveObject, active.putVoid())) || !active)
    throw EIntfCastError("Interface not supported");
  return active;
}

void TWebHost::ApplicationMessageFilter(MSG& Msg, bool& Handled) {
  using namespace qv::browserhost;
  Handled = false;
  const UINT message = Msg.message;
  const bool keyMessage = message >= WM_KEYFIRST && message <= WM_KEYLAST;
  const bool keyDown = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  // Only these carry a key code; the character messages carry characters,
  // and a typed '%' (37) or apostrophe (39) must not pass for an arrow.
  const bool keyCode = keyDown || message == WM_KEYUP || message == WM_SYSKEYUP;
  const WPARAM key = Msg.wParam;

  if (keyCode && (key == VK_RIGHT || key == VK_LEFT) && GetKeyState(VK_MENU) < 0) {
    // The page never sees the press or its release; the press alone is the
    // command, so one press goes back or forward one page.
    Handled = true;
    if (keyDown) sendToMainForm(key == VK_RIGHT ? SC_APPFORWARD : SC_APPBACK);
    return;
  }

  if (keyMessage &&
      (key == VK_TAB || key == VK_RETURN || GetKeyState(VK_CONTROL) < 0 ||
       (isExtended(Msg.lParam) && (key == VK_BACK || key == VK_LEFT || key == VK_RIGHT || key == VK_DELETE)))) {
    if (!HandleAllocated() || !IsChild(Handle(), Msg.hwnd)) return;
    try {
      ComPtr<IOleInPlaceActiveObject> active = activeObject();
      if (active->TranslateAccelerator(&Msg) == S_OK) {
        Handled = true;
      } else {
        // The browser's window gets the key straight away, ahead of the
        // class library's key handling.
        Handled = true;
        TranslateMessage(&Msg);
        DispatchMessage(&Msg);
      }
    } catch (...) {
    }
    return;
  }

  if (message == WM_SYSCOMMAND && Msg.wParam == SC_APPABOUT) {
    Handled = true;
    sendToMainForm(SC_APPABOUT);
    return;
  }

  // The dialog routine has dispatched the press when it accepts it, so the
  // page still gets its click.
  if (message == WM_LBUTTONDOWN && HandleAllocated() && IsDialogMessage(Handle(), &Msg)) {
    Handled = true;
    sendToMainForm(SC_APPCLICK);
  }
}

void TWebHost::HostWindowProc(TMessage& Message) {
  using namespace qv::browserhost;
  switch (Message.Msg) {
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
    case CN_DEADCHAR: {
      Message.Result = 0;
      const WPARAM key = Message.WParam;
      // Typing keys of a form field reach the browser's window as plain
      // keys when the loop dispatches them; as accelerators the browser
      // would take Backspace and the arrows for navigation.
      if (key == VK_BACK || key == VK_RETURN || ((key == VK_LEFT || key == VK_RIGHT) && isExtended(Message.LParam)))
        return;
      MSG msg{Handle(),
              Message.Msg - CN_BASE,
              Message.WParam,
              Message.LParam,
              static_cast<DWORD>(GetMessageTime()),
              {kNoPoint, kNoPoint}};
      try {
        if (activeObject()->TranslateAccelerator(&msg) == S_OK) Message.Result = 1;
      } catch (...) {
      }
      return;
    }
    case WM_CLOSE: {
      bool CanClose = true;
      if (OnCloseQuery) OnCloseQuery(this, CanClose);
      if (CanClose) FSavedWindowProc(Message);
      return;
    }
    case WM_DDE_TERMINATE:
    case WM_DDE_EXECUTE: {
      // Only the acknowledged client talks to the server; anything else is
      // no conversation of ours.
      const HWND client = reinterpret_cast<HWND>(Message.WParam);
      if (!FEnableDDE || client == nullptr || client != FDdeClient) {
        FSavedWindowProc(Message);
        return;
      }
      if (Message.Msg == WM_DDE_TERMINATE)
        DdeTerminate(client);
      else
        DdeExecute(client, Message.LParam);
      Message.Result = 0;
      return;
    }
    default:
      FSavedWindowProc(Message);
      return;
  }
}

// ---------------------------------------------------------------------------
// The owner form's hook.

void TWebHost::HookOwnerForm() {
  // Once only: a form read again loads the control again.
  if (FOwnerForm != nullptr) return;
  auto* owner = dynamic_cast<TWinControl*>(Owner());
  if (owner == nullptr || !owner->HandleAllocated()) return;
  FOwnerForm = owner;
  FSavedOwnerProc = owner->WindowProc;
  FOwnerHookTarget = std::make_shared<TWebHost*>(this);
  owner->WindowProc = [target = FOwnerHookTarget, saved = FSavedOwnerProc](TMessage& Message) {
    if (*target != nullptr)
      (*target)->OwnerWindowProc(Message);
    else
      saved(Message);
  };
}

void TWebHost::UnhookOwnerForm() {
  if (FOwnerHookTarget) *FOwnerHookTarget = nullptr;
  // An owner on its way out has no window to hook any more, and may no
  // longer be a control at all.
  if (FOwnerForm != nullptr && !FOwnerForm->ComponentState().Contains(csDestroying) && FOwnerForm->HandleAllocated())
    FOwnerForm->WindowProc = FSavedOwnerProc;
  FOwnerForm = nullptr;
  FOwnerHookTarget.reset();
}

void TWebHost::OwnerWindowProc(TMessage& Message) {
  if (Message.Msg == WM_ACTIVATE && LOWORD(static_cast<DWORD_PTR>(Message.WParam)) == WA_INACTIVE) {
    const HWND other = reinterpret_cast<HWND>(Message.LParam);
    char className[81] = {};
    if (other != nullptr) GetClassName(other, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && FReplaceCaption) {
      if (::Application != nullptr)
        SendMessage(other, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(::Application->Icon()->Handle()));
      char title[1024] = {};
      GetWindowText(other, title, sizeof title);
      std::string caption = title;
      const std::size_t vendor = caption.find("Microsoft ");
      if (vendor != std::string::npos) caption.erase(vendor, 10);
      const std::size_t product = caption.find("Internet Explorer");
      if (product != std::string::npos)
        caption.replace(product, 17, ::Application != nullptr ? ::Application->Title() : std::string());
      SetWindowText(other, caption.c_str());
    }
    if (other != nullptr && OnShowDialog) OnShowDialog(this, other);
  }
  FSavedOwnerProc(Message);
}

// ---------------------------------------------------------------------------
// The shell's DDE server.

void TWebHost::DdeWindowProc(TMessage& Message) {
  if (Message.Msg == WM_DDE_INITIATE && FEnableDDE) {
    DdeInitiate(reinterpret_cast<HWND>(Message.WParam), Message.LParam);
    Message.Result = 0;
    return;
  }
  Message.Result = DefWindowProc(FDdeWindow, Message.Msg, Message.WParam, Message.LParam);
}

void TWebHost::DdeInitiate(HWND Client, LPARAM lParam) {
  using namespace qv::browserhost;
  if (ddeBusy) return;
  // The conversation needs the control's own window procedure to be heard.
  if (!FSavedWindowProc || !HandleAllocated()) return;
  DWORD process = 0;
  if (Client == nullptr || GetWindowThreadProcessId(Client, &process) != GetCurrentThreadId() ||
      process != GetCurrentProcessId())
    return;
  const ATOM askedApplication = LOWORD(static_cast<DWORD_PTR>(lParam));
  const ATOM askedTopic = HIWORD(static_cast<DWORD_PTR>(lParam));
  const std::string application = atomText(askedApplication);
  const bool html = application == ddeNames.HtmlApplication;
  const std::string& replyApplication = html ? ddeNames.HtmlApplication : ddeNames.FolderApplication;
  const std::string& replyTopic = html ? ddeNames.HtmlTopic : ddeNames.FolderTopic;
  const ATOM applicationAtom = replyApplication.empty() ? 0 : GlobalAddAtom(replyApplication.c_str());
  const ATOM topicAtom = replyTopic.empty() ? 0 : GlobalAddAtom(replyTopic.c_str());
  if (applicationAtom != 0 && topicAtom != 0 && applicationAtom == askedApplication && topicAtom == askedTopic) {
    ddeMode = html ? DdeMode::Html : DdeMode::Folder;
    FDdeClient = Client;
    SendMessage(Client, WM_DDE_ACK, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(applicationAtom, topicAtom));
  }
  if (applicationAtom != 0) GlobalDeleteAtom(applicationAtom);
  if (topicAtom != 0) GlobalDeleteAtom(topicAtom);
}

void TWebHost::DdeTerminate(HWND Client) {
  FDdeClient = nullptr;
  PostMessage(Client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(Handle()), 0);
}

void TWebHost::DdeExecute(HWND Client, LPARAM lParam) {
  using namespace qv::browserhost;
  UINT_PTR unused = 0;
  UINT_PTR handle = 0;
  if (!UnpackDDElParam(WM_DDE_EXECUTE, lParam, &unused, &handle)) return;
  const auto commands = reinterpret_cast<HGLOBAL>(handle);
  const auto* locked = static_cast<const char*>(GlobalLock(commands));
  if (locked == nullptr) return;
  // The text ends at its zero or its block, whichever comes first.
  const std::string text(locked, strnlen(locked, GlobalSize(commands)));
  WORD status = 0;
  try {
    if (ddeMode == DdeMode::Html) {
      std::string address = text;
      if (!address.empty() && address[0] == '"') {
        const std::size_t close = address.find('"', 1);
        address = address.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      }
      if (!address.empty()) {
        NavigateTo(address);
        status = DDE_FACK;
      }
    } else {
      TDdeCommand command = ParseDdeCommand(text);
      // The list is this server's to free, however the command ends.
      std::unique_ptr<ITEMIDLIST, void (*)(LPITEMIDLIST)> list(command.Pidl, &ShellFreePidl);
      const bool target = !command.Path.empty() || command.Pidl != nullptr;
      if (command.Kind == dckOpenFolder && target) {
        if (!command.Path.empty())
          NavigateTo(command.Path);
        else
          NavigateToPidl(command.Pidl);
        status = DDE_FACK;
      } else if ((command.Kind == dckExplore || command.Kind == dckFind) && target) {
        const bool explore = command.Kind == dckExplore;
        SHELLEXECUTEINFO info{};
        info.cbSize = sizeof info;
        info.lpVerb = explore ? "explore" : "find";
        info.nShow = command.ShowCommand;
        if (explore) {
          info.fMask = SEE_MASK_CLASSNAME;
          info.lpClass = "folder";
        }
        if (!command.Path.empty()) {
          info.lpFile = command.Path.c_str();
        } else {
          info.fMask |= SEE_MASK_IDLIST;
          info.lpIDList = command.Pidl;
        }
        ddeBusy = true;
        ShellExecuteEx(&info);
        ddeBusy = false;
        status = DDE_FACK;
      }
    }
  } catch (...) {
    ddeBusy = false;
    status = 0;
  }
  GlobalUnlock(commands);
  PostMessage(Client, WM_DDE_ACK, reinterpret_cast<WPARAM>(Handle()),
              ReuseDDElParam(lParam, WM_DDE_EXECUTE, WM_DDE_ACK, status, handle));
}
