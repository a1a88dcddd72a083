#include "lookandfeel/lkControls.h"

#include <algorithm>
#include <vector>

#include "lookandfeel/lkLookAndFeels.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/User.h"

namespace {

// Once the unit has shut down, neither is made again: a timer started then
// stays stopped.
bool shuttingDown = false;
TlkTimerWindow* timerWindow = nullptr;
std::vector<UINT_PTR>* activeTimers = nullptr;

// A fresh desktop starts the unit's timers afresh, also after a shut-down.
void forgetTimersOnReset() {
  static const bool registered = (qv::desktop::onReset([] {
                                    FreeAndNil(timerWindow);
                                    FreeAndNil(activeTimers);
                                    shuttingDown = false;
                                  }),
                                  true);
  (void)registered;
}

HWND timerWindowHandle() {
  if (!timerWindow && !shuttingDown) timerWindow = new TlkTimerWindow();
  forgetTimersOnReset();
  return timerWindow ? timerWindow->Handle() : nullptr;
}

std::vector<UINT_PTR>* activeTimerList() {
  if (!activeTimers && !shuttingDown) activeTimers = new std::vector<UINT_PTR>();
  forgetTimersOnReset();
  return activeTimers;
}

bool isActiveTimer(UINT_PTR ID) {
  return activeTimers && std::find(activeTimers->begin(), activeTimers->end(), ID) != activeTimers->end();
}

struct CursorEntry {
  int Id;
  LPCSTR Name;
};

const CursorEntry kCursors[] = {
    {2100, "LK_DRAGCOPYCURSOR"},    {2101, "LK_FULLSCROLLCURSOR"}, {2102, "LK_HORSCROLLCURSOR"},
    {2103, "LK_VERSCROLLCURSOR"},   {2104, "LK_UPSCROLLCURSOR"},   {2105, "LK_RIGHTSCROLLCURSOR"},
    {2106, "LK_DOWNSCROLLCURSOR"},  {2107, "LK_LEFTSCROLLCURSOR"}, {2108, "LK_REMOVECURSOR"},
    {2109, "LK_VERTSIZECURSOR"},    {2110, "LK_HORZSIZECURSOR"},   {2111, "LK_MULTIDRAGCURSOR"},
    {2112, "LK_NODROPCURSOR"},      {2113, "LK_DRAGCURSOR"},       {-2099, IDC_HAND},
    {2114, "LK_COLORPICKERCURSOR"},
};

void startUp() {
  if (!Screen) return;
  // The program's own cursors; the hand is the platform's. A cursor the
  // program lacks leaves its id on the default cursor.
  HINSTANCE program = GetModuleHandle(nullptr);
  for (const CursorEntry& c : kCursors)
    Screen->SetCursors(c.Id, LoadCursor(c.Name == IDC_HAND ? nullptr : program, c.Name));
}

void shutDown() {
  forgetTimersOnReset();
  shuttingDown = true;
  FreeAndNil(timerWindow);
  FreeAndNil(activeTimers);
}

const qv::classlib::TUnitInfo* const kUses[] = {&lkClassesUnit, &lkLookAndFeelsUnit};

}  // namespace

const qv::classlib::TUnitInfo lkControlsUnit{"lkControls", kUses, &startUp, &shutDown};

// ---------------------------------------------------------------------------
// TlkMessageWindow

TlkMessageWindow::TlkMessageWindow() {
  FHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
}

TlkMessageWindow::~TlkMessageWindow() { DeallocateHWnd(FHandle); }

void TlkMessageWindow::WndProc(TMessage& Message) {
  Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------
// TlkTimerWindow

void TlkTimerWindow::WndProc(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    TlkMessageWindow::WndProc(Message);
    return;
  }
  const UINT_PTR id = Message.WParam;
  // Only an id in the list is a live timer's address.
  if (isActiveTimer(id)) reinterpret_cast<TlkTimer*>(id)->TimeOut();
}

// ---------------------------------------------------------------------------
// TlkTimer

TlkTimer::TlkTimer(TComponent* AOwner) : TComponent(AOwner) {}

TlkTimer::~TlkTimer() { Stop(); }

void TlkTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Restart();
}

void TlkTimer::SetInterval(UINT Value) {
  if (Value == FInterval || Value == 0) return;
  FInterval = Value;
  Restart();
}

void TlkTimer::SetOnTimer(TNotifyEvent Value) {
  OnTimer = std::move(Value);
  Restart();
}

void TlkTimer::Loaded() {
  TComponent::Loaded();
  Restart();
}

void TlkTimer::TimeOut() {
  if (OnTimer) OnTimer(this);
}

void TlkTimer::Restart() {
  Stop();
  Start();
}

void TlkTimer::Stop() {
  if (!FRunning) return;
  if (timerWindow) KillTimer(timerWindow->Handle(), TimerID());
  SetRunning(false);
}

void TlkTimer::Start() {
  if (!FEnabled || FRunning || !OnTimer) return;
  // Without the shared window there is no timer: a null window would make a
  // thread timer that nothing here would ever hear.
  HWND window = timerWindowHandle();
  if (!window) return;
  SetRunning(SetTimer(window, TimerID(), FInterval, nullptr) != 0);
}

void TlkTimer::SetRunning(bool Value) {
  if (Value == FRunning) return;
  if (Value) {
    std::vector<UINT_PTR>* list = activeTimerList();
    if (!list) {
      // Shut down between setting the timer and listing it: undo.
      if (timerWindow) KillTimer(timerWindow->Handle(), TimerID());
      return;
    }
    list->push_back(TimerID());
  } else if (activeTimers) {
    auto it = std::find(activeTimers->begin(), activeTimers->end(), TimerID());
    if (it != activeTimers->end()) activeTimers->erase(it);
  }
  FRunning = Value;
}

// ---------------------------------------------------------------------------
// TlkControlChildComponent

TlkControlChildComponent::TlkControlChildComponent(TControl* AControl, bool AssignOwner)
    : TlkControlChildComponent(AssignOwner && AControl ? AControl->Owner() : nullptr) {
  SetControl(AControl);
}

TlkControlChildComponent::~TlkControlChildComponent() {
  Destroying();
  SetControl(nullptr);
}

void TlkControlChildComponent::SetControl(TControl* Value) {
  if (Value == FControl) return;
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = Value;
  if (FControl) FControl->FreeNotification(this);
}

void TlkControlChildComponent::Notification(TComponent* AComponent, TOperation Operation) {
  TlkComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FControl) FControl = nullptr;
}

// ---------------------------------------------------------------------------

WORD ShiftStateToMouseKeys(TShiftState Shift) {
  WORD keys = 0;
  if (Shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (Shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (Shift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (Shift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (Shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  return keys;
}
