// The desktop driver: steers a real program from outside, as a person at the
// screen would. The file named by QV_DRIVER holds one command per line; the
// program runs them one by one on its GUI thread whenever its queue is idle,
// so every command sees the effects of the one before it.
//
//   wait MS            let MS milliseconds of the program's clock pass
//   click X Y          left click at a screen point (also rclick, dblclick)
//   move X Y           the mouse moves there
//   key NAME           a key with modifiers: Alt+Left, Ctrl+C, Escape, F5, a
//   type TEXT          the characters of TEXT (UTF-8 in the script)
//   answer BUTTON      the answer of the next message box (Yes, No, OK ...)
//   answer shellconfirm yes|no|cancel
//                      the answer of the shell's next question before it
//                      replaces a file it copies
//   printer fail       the next print fails (the machine cannot print)
//   dialog PATH        the answer of the next file or folder dialog
//   dialog cancel
//   dialog ok          a file dialog takes the name it was opened with
//   screenshot FILE    the whole screen as PNG (a host path)
//   close              the active top-level window's system-menu Close
//   syscommand ID      WM_SYSCOMMAND ID to the active top-level window
//   end                closes the main window; no further commands run
//   timeout S          ends the process after S seconds of real time
//   child SCRIPT       the next process this program starts is steered by
//                      SCRIPT (a host path); each `child` serves one process
//
// A script steers only the process it was given to: QV_DRIVER is not passed
// on to the processes the program starts. One started without a script of
// its own runs unsteered and ends when its parent ends, logged as
// "parent-ended"; its lines in the shared QV_LOG carry its id and name.
//
// On the page of the front browser control (the one a person would act on):
//   link TEXT          clicks the first link whose href or text contains TEXT
//   field NAME VALUE   types VALUE into the form field NAME
//   submit FORMNAME    submits that form
//   open URL FEATURES  what the page's window.open(URL, "_blank", FEATURES) asks
//   scripterror LINE CHARACTER CODE URL MESSAGE
//                      the page's script fails with that error
//   rclick-page X Y    right click at a point of the page
//
// Empty lines and lines starting with "#" are skipped. Every command is
// logged as a "driver" event before it runs; a command that cannot be
// carried out is logged as "driver-error" with the reason, and the script
// goes on.
//
// The program's main block starts the driver with startDriverFromEnvironment()
// before its message loop. Without QV_DRIVER nothing changes, apart from a
// child of a steered program ending with it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qv::desktop {

// A command's work, given the text after the command's name (trimmed).
// Answer false with a reason in `error` when it cannot be done.
using DriverHandler = std::function<bool(const std::string& arguments, std::string& error)>;

// Adds (or replaces) a command; later layers add theirs. Built-in names may be replaced too.
void registerDriverCommand(const std::string& name, DriverHandler handler);

// Reads the script named by QV_DRIVER and installs the driver on the
// calling thread's idle hook. False when QV_DRIVER is unset or the file
// cannot be read (the latter is logged as "driver-error"); without a script
// but with QV_ENDS_WITH_PARENT it watches for the end of the parent.
bool startDriverFromEnvironment();
// The same with a script given as lines (tests, embedding programs).
void startDriver(std::vector<std::string> lines);
// Removes the idle hook and forgets the script.
void stopDriver();
// Whether a started script still has commands to run.
bool driverBusy();

// Runs one command line now (no logging, no waiting): for tests of the
// parsing and for handlers that compose commands.
bool runDriverCommand(const std::string& line, std::string& error);

// The virtual key and the modifier keys of a key name ("Ctrl+Shift+F5");
// false for a name the driver does not know.
struct DriverKey {
  unsigned vk = 0;
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
};
bool parseDriverKey(const std::string& name, DriverKey& key);

}  // namespace qv::desktop
