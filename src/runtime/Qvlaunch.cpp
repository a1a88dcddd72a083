#include "runtime/Qvlaunch.h"

#include "platform/classlib/Forms.h"
#include "platform/classlib/SysUtils.h"
#include "runtime/About.h"
#include "runtime/Browser.h"
#include "runtime/MessageTable.h"

int RunQvlaunch() {
  Application->Initialize();
  Application->SetTitle("Quorvel");
  // Bound before the main window exists, so that it already catches what
  // goes wrong while the window is created (a bad language file).
  Application->OnException = [](TObject* Sender, Exception& E) {
    if (BrowserWindow != nullptr) {
      BrowserWindow->ApplicationExceptionHandler(Sender, E);
    } else {
      ShowErrorMessage(18, E.Message());
      Application->Terminate();
    }
  };
  try {
    Application->CreateForm(BrowserWindow);
    // The About box is made when it is first shown (EnsureAboutBox).
    if (BrowserWindow != nullptr && !BrowserWindow->TerminateRequested && BrowserWindow->ReadSettings()) {
      BrowserWindow->ApplySettings();
      if (!BrowserWindow->TerminateRequested) Application->Run();
    }
  } catch (Exception& E) {
    // What escapes the start-up (a form that cannot be made) ends the run
    // with the same report as an error in the message loop.
    ShowErrorMessage(18, E.Message());
  }
  // The program's end frees its forms, as the application object does; the
  // About box first, so that no reference to it outlives it.
  Application->OnException = nullptr;
  delete AboutBox;
  AboutBox = nullptr;
  Application->DestroyComponents();
  BrowserWindow = nullptr;
  return 0;
}
