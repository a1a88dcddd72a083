// Recorders with scripted answers. Whatever a program shows or starts that a
// person would see or answer (message boxes, dialogs, shell execution, sounds,
// printing, the clipboard) is recorded as an event; answers come from a
// script that tests or the driver fill in advance.
//
// Every event is also written as one tab-separated line, kind first, to the
// file named by QV_LOG, so that a whole program's run can be checked. A
// process started by another one of this desktop (QV_PARENT set) shares its
// parent's log, so its lines start with a field of its own naming it,
// "[PID NAME]": the first process's lines stay as they are, and a reader
// looking for a kind at the start of a line never takes a child's event for
// its own.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qv::desktop {

struct Event {
  std::string kind;
  std::vector<std::string> fields;
  // The fields joined by tabs, kind first: the QV_LOG line without newline.
  std::string line() const;
};

class Recorder {
 public:
  // Records an event and appends it to QV_LOG. Tabs and line breaks inside a
  // field are written as "\t" and "\n" so that one event stays one line.
  static void record(const std::string& kind, std::vector<std::string> fields);

  static const std::vector<Event>& events();
  static std::vector<Event> eventsOf(const std::string& kind);
  static void clearEvents();

  // Scripted answers, one queue per kind ("msgbox", "opendialog", ...).
  static void pushAnswer(const std::string& kind, const std::string& answer);
  static std::optional<std::string> popAnswer(const std::string& kind);
  static void clearAnswers();

  // Called for every recorded event, after it is stored (the driver uses it).
  static void setListener(std::function<void(const Event&)> listener);

  // Re-reads QV_LOG; the log file is opened for appending on first use.
  static void reopenLog();
};

// Each layer registers what it must forget when a test starts afresh (windows,
// timers, open keys ...), so that the process is as it was at its start.
// resetDesktop() runs them all in reverse order of registration, then resets
// the profile, the recorder and the clock. Hooks of onResetFirst run before
// every other: a program's own start-ups end while the layers under them
// still stand, whichever layer happened to register first.
void onReset(std::function<void()> hook);
void onResetFirst(std::function<void()> hook);
void resetDesktop();

// The environment of a process that this one starts (the kernel passes every
// child's through here). A script steers the process it was given to, so
// QV_DRIVER never passes on: the child gets the script queued for it by the
// driver's `child` command (the next answer of kind "child"), and else,
// when this process runs under a script, QV_ENDS_WITH_PARENT, so that it
// ends when this process ends rather than staying on unsteered. Every child
// learns this process's id as QV_PARENT. The queued script is used up by
// childStarted(), once the child has started: a start that fails leaves it
// for the next one.
void prepareChildEnvironment(std::vector<std::string>& env);
void childStarted();

// Escapes a field for a log line.
std::string escapeLogField(const std::string& s);

}  // namespace qv::desktop
