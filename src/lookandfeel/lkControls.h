// What the library's controls need besides painting: a timer component that
// runs on one hidden window shared by all timers, a hidden message window
// that turns window messages into a virtual call, a component bound to a
// control, the mouse-key flags of a shift state and, at start-up, the
// library's cursors.
#pragma once

#include "lookandfeel/lkClasses.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Messages.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/Types.h"

// The unit's start-up (the cursors) and shut-down (the shared timer window
// and the active-timer list go, and are not made again). Uses lkClasses
// and lkLookAndFeels.
extern const qv::classlib::TUnitInfo lkControlsUnit;

// ---------------------------------------------------------------------------
// A hidden window whose messages go to the virtual WndProc. The base passes
// every message to the default window procedure and keeps its result.
class TlkMessageWindow : public TObject {
  QV_CLASS(TlkMessageWindow, TObject)
  TlkMessageWindow();
  ~TlkMessageWindow() override;
  TlkMessageWindow(const TlkMessageWindow&) = delete;
  TlkMessageWindow& operator=(const TlkMessageWindow&) = delete;

  HWND Handle() const { return FHandle; }

 protected:
  virtual void WndProc(TMessage& Message);

 private:
  HWND FHandle = nullptr;
};

// ---------------------------------------------------------------------------
// A timer without a window of its own: every timer runs on the one hidden
// timer window of the process, under its own identity as the timer id. It
// runs while Enabled and OnTimer is set; every property write stops and
// starts it again, so a new interval counts from the write. OnTimer may
// disable, re-time or free the timer.
class TlkTimer : public TComponent {
  QV_CLASS(TlkTimer, TComponent)
  explicit TlkTimer(TComponent* AOwner);
  ~TlkTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Milliseconds; 0 is ignored.
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT Value);
  // Assign through SetOnTimer so that the timer starts or stops with it.
  void SetOnTimer(TNotifyEvent Value);
  // True while a platform timer is set for it.
  bool Running() const { return FRunning; }

  TNotifyEvent OnTimer;

  QV_PUBLISHED(TlkTimer) {
    P.Prop("Enabled", &TlkTimer::Enabled, &TlkTimer::SetEnabled).Default(true);
    P.Prop("Interval", &TlkTimer::Interval, &TlkTimer::SetInterval).Default(1000u);
    P.Event("OnTimer", &TlkTimer::OnTimer);
  }

 protected:
  // One tick: OnTimer when assigned.
  virtual void TimeOut();
  // A form resource binds OnTimer without the setter: start now.
  void Loaded() override;

 private:
  void Restart();
  void Start();
  void Stop();
  void SetRunning(bool Value);
  UINT_PTR TimerID() const { return reinterpret_cast<UINT_PTR>(this); }

  bool FEnabled = true;
  UINT FInterval = 1000;
  bool FRunning = false;
  friend class TlkTimerWindow;
};

// The hidden window all timers share: a WM_TIMER of a running timer goes to
// its TimeOut; one of a timer that was stopped or freed meanwhile is dropped.
class TlkTimerWindow : public TlkMessageWindow {
  QV_CLASS(TlkTimerWindow, TlkMessageWindow)
  TlkTimerWindow() = default;

 protected:
  void WndProc(TMessage& Message) override;
};

// ---------------------------------------------------------------------------
// A component that belongs to a control. It counts the control as its parent
// for form streaming, and forgets it when the control goes. (Descendants set
// themselves up in their own constructors; C++ calls no override from a base
// constructor.)
class TlkControlChildComponent : public TlkComponent {
  QV_CLASS(TlkControlChildComponent, TlkComponent)
  explicit TlkControlChildComponent(TComponent* AOwner) : TlkComponent(AOwner) {}
  // Owned by the control's owner when AssignOwner, else by none.
  TlkControlChildComponent(TControl* AControl, bool AssignOwner);
  ~TlkControlChildComponent() override;

  TControl* Control() const { return FControl; }
  virtual void SetControl(TControl* Value);
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }

  bool HasParent() const override { return FControl != nullptr; }
  TComponent* GetParentComponent() const override { return FControl; }
  // No control takes child components in, so setting the parent does nothing.
  void SetParentComponent(TComponent* Value) override { (void)Value; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TControl* FControl = nullptr;
};

// ---------------------------------------------------------------------------
// The mouse-key flags (MK_*) of a shift state; Alt and the double-click flag
// have none.
WORD ShiftStateToMouseKeys(TShiftState Shift);
