#include "lookandfeel/uiThemeManager.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/classlib/Forms.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/Message.h"

namespace {

struct TThemeEntry {
  HTHEME Handle = nullptr;
  std::u16string ClassList;  // the list the handle was opened with; empty: none
};

const std::array<const char16_t*, kThemeKindCount> kDefaultClassLists = {
    u"Button",     u"Clock",      u"ComboBox", u"Edit",     u"ExplorerBar", u"Header",    u"ListBox",
    u"ListView",   u"Menu",       u"Page",     u"Progress", u"Rebar",       u"ScrollBar", u"Spin",
    u"StartPanel", u"Status",     u"Tab",      u"TaskBand", u"TaskBar",     u"ToolBar",   u"ToolTip",
    u"TrackBar",   u"TrayNotify", u"TreeView", u"Window"};

int StartCount = 0;
std::array<TThemeEntry, kThemeKindCount> Cache;
bool ThemesActive = false;
TuiThemeChangedEventReceiver* Receiver = nullptr;
// Exists only while uxtheme.dll is loaded.
std::vector<TuiThemeChangedNotificator*>* Notificators = nullptr;
// While listeners are being called, a freed listener leaves a hole in the
// list rather than shifting the ones still to be called.
int NotifyDepth = 0;

bool ValidKind(TuiThemeKind Kind) { return Kind >= 0 && Kind < kThemeKindCount; }

std::string ComparableClassList(const std::u16string& List) { return qv::os::ansiUpperCase(qv::os::utf16ToAnsi(List)); }

void AddNotificator(TuiThemeChangedNotificator* Notificator) {
  if (Notificators) Notificators->push_back(Notificator);
}

void RemoveNotificator(TuiThemeChangedNotificator* Notificator) {
  if (!Notificators) return;
  auto it = std::find(Notificators->begin(), Notificators->end(), Notificator);
  if (it == Notificators->end()) return;
  if (NotifyDepth > 0)
    *it = nullptr;
  else
    Notificators->erase(it);
}

void NotifyListeners() {
  if (!Notificators) return;
  struct DepthGuard {
    DepthGuard() { ++NotifyDepth; }
    ~DepthGuard() {
      if (--NotifyDepth == 0 && Notificators)
        Notificators->erase(std::remove(Notificators->begin(), Notificators->end(), nullptr), Notificators->end());
    }
  } guard;
  // Listeners made during the notification are past this count.
  const size_t count = Notificators->size();
  for (size_t i = 0; Notificators && i < count; ++i) {
    TuiThemeChangedNotificator* n = (*Notificators)[i];
    if (!n || !n->OnNotify) continue;
    // A copy: the listener may free its own notificator from the callback.
    std::function<void()> notify = n->OnNotify;
    notify();
  }
}

}  // namespace

bool AreThemesAvailable(DWORD Mask) {
  if (!ThemesActive || !IsUxThemeLoaded()) return false;
  for (int kind = 0; kind < kThemeKindCount; ++kind)
    if ((Mask & (DWORD{1} << kind)) && OpenThemeForKind(static_cast<TuiThemeKind>(kind)) == nullptr) return false;
  return true;
}

bool IsThemeKindAvailable(TuiThemeKind Kind) {
  return ThemesActive && IsUxThemeLoaded() && OpenThemeForKind(Kind) != nullptr;
}

HTHEME OpenThemeForKind(TuiThemeKind Kind, const std::u16string& ClassList) {
  if (!ValidKind(Kind) || !AreThemesAvailable(0)) return nullptr;
  TThemeEntry& entry = Cache[Kind];
  if (entry.Handle) {
    if (ClassList.empty()) return entry.Handle;
    if (ComparableClassList(ClassList) == ComparableClassList(entry.ClassList)) return entry.Handle;
    CloseThemeForKind(Kind);
  }
  std::u16string list = !ClassList.empty()         ? ClassList
                        : !entry.ClassList.empty() ? entry.ClassList
                                                   : std::u16string(kDefaultClassLists[Kind]);
  entry.Handle = uiUxTheme::OpenThemeData(nullptr, list.c_str());
  if (entry.Handle)
    entry.ClassList = std::move(list);
  else
    entry.ClassList.clear();
  return entry.Handle;
}

HRESULT CloseThemeForKind(TuiThemeKind Kind) {
  if (!AreThemesAvailable(0)) return 1;
  if (!ValidKind(Kind) || !Cache[Kind].Handle) return 0;
  TThemeEntry& entry = Cache[Kind];
  const HRESULT result = uiUxTheme::CloseThemeData(entry.Handle);
  entry.Handle = nullptr;
  entry.ClassList.clear();
  return result;
}

void CloseAllThemeHandles() {
  for (TThemeEntry& entry : Cache) {
    if (!entry.Handle) continue;
    uiUxTheme::CloseThemeData(entry.Handle);
    entry.Handle = nullptr;
  }
}

// ---------------------------------------------------------------------------

TuiThemeChangedNotificator::TuiThemeChangedNotificator() { AddNotificator(this); }

TuiThemeChangedNotificator::~TuiThemeChangedNotificator() { RemoveNotificator(this); }

// ---------------------------------------------------------------------------

TuiThemeChangedEventReceiver::TuiThemeChangedEventReceiver() {
  FWindow = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
}

TuiThemeChangedEventReceiver::~TuiThemeChangedEventReceiver() {
  ThemesActive = false;
  DeallocateHWnd(FWindow);
}

void TuiThemeChangedEventReceiver::WndProc(TMessage& Message) {
  if (Message.Msg != WM_THEMECHANGED) {
    Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  try {
    // Handles of the old theme go first, so that no listener can paint with
    // them.
    CloseAllThemeHandles();
    Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
    ThemesActive = uiUxTheme::IsThemeActive() != FALSE;
    Message.Result = 0;
    NotifyListeners();
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

// ---------------------------------------------------------------------------

namespace uiThemeManager {

void Initialize() {
  if (StartCount++ > 0) return;
  Cache = {};
  ThemesActive = false;
  if (!IsUxThemeLoaded()) return;
  ThemesActive = uiUxTheme::IsThemeActive() != FALSE;
  Notificators = new std::vector<TuiThemeChangedNotificator*>;
  Receiver = new TuiThemeChangedEventReceiver;
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  delete Receiver;
  Receiver = nullptr;
  CloseAllThemeHandles();
  delete Notificators;
  Notificators = nullptr;
  Cache = {};
  ThemesActive = false;
}

}  // namespace uiThemeManager

namespace {
const qv::classlib::TUnitInfo* const kThemeManagerUses[] = {&uiUxThemeUnit};
}  // namespace

const qv::classlib::TUnitInfo uiThemeManagerUnit{"uiThemeManager", kThemeManagerUses, &uiThemeManager::Initialize,
                                                 &uiThemeManager::Finalize};
