// The class library's Forms unit, first part: the application object. Forms
// and the screen object join it later.
//
// Application (one per program) owns a hidden top-level window, runs the
// message loop, and is where exceptions that escape event handlers end up:
// HandleException gives them to OnException, or shows their message in a
// message box.
#pragma once

#include <functional>
#include <string>

#include "platform/classlib/Classes.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/Types.h"

using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;

class TApplication : public TComponent {
  QV_CLASS(TApplication, TComponent)
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize() {}
  // Handles messages until Terminated; exceptions escaping a message go to
  // HandleException and the loop goes on.
  void Run();
  // Asks the loop to end (posts WM_QUIT); Terminated turns true when the
  // loop takes the quit message.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles everything waiting, then returns.
  void ProcessMessages();
  // One message, or else the idle handling and a wait for the next one.
  void HandleMessage();
  // The exception being handled (call from within a catch block): EAbort is
  // silent; others go to OnException when set, else to ShowException.
  void HandleException(TObject* Sender);
  // Its message, with a full stop added when it ends in a character above
  // '.', in an MB_ICONSTOP box captioned with the Title.
  void ShowException(Exception& E);
  int MessageBox(const std::string& Text, const std::string& Caption, int Flags = 0);

  // The program's name without extension unless set.
  std::string Title() const;
  void SetTitle(const std::string& Value);
  // The hidden window, made on first use.
  HWND Handle();
  std::string ExeName() const;
  bool Running() const { return FRunning; }

  // Forms register the main form here (the first form created); the
  // application window's WM_CLOSE then asks `close` to close it.
  TComponent* MainForm() const { return FMainForm; }
  void SetMainForm(TComponent* Form, std::function<void()> close = {});

  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  bool ProcessMessage(MSG& Msg);
  void Idle();
  static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  friend struct ApplicationReset;

  HWND FHandle = nullptr;
  std::string FTitle;
  bool FTitleSet = false;
  bool FTerminated = false;
  bool FRunning = false;
  TComponent* FMainForm = nullptr;
  std::function<void()> FCloseMainForm;
};

// The program's application object.
extern TApplication* Application;
