#include "platform/desktop/Recorder.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"

namespace qv::desktop {
namespace {

struct State {
  std::mutex m;
  std::vector<Event> events;
  std::map<std::string, std::deque<std::string>> answers;
  std::function<void(const Event&)> listener;
  std::FILE* log = nullptr;
  bool logOpened = false;
  std::string linePrefix;  // a child's "[PID NAME]\t"
  std::vector<std::function<void()>> resetHooks;
  std::vector<std::function<void()>> firstResetHooks;
};

State& st() {
  static State* s = new State;  // never destroyed: events may be recorded during static destruction
  return *s;
}

void openLogLocked(State& s) {
  if (s.logOpened) return;
  s.logOpened = true;
  if (const char* f = std::getenv("QV_LOG"); f && *f) s.log = std::fopen(f, "a");
  s.linePrefix.clear();
  if (const char* parent = std::getenv("QV_PARENT"); parent && *parent)
    s.linePrefix = "[" + std::to_string(::getpid()) + " " + escapeLogField(program_invocation_short_name) + "]\t";
}

void setVariable(std::vector<std::string>& env, const std::string& name, const std::string& value) {
  const std::string key = name + "=";
  for (auto& e : env)
    if (e.compare(0, key.size(), key) == 0) {
      e = key + value;
      return;
    }
  env.push_back(key + value);
}

void removeVariable(std::vector<std::string>& env, const std::string& name) {
  const std::string key = name + "=";
  std::erase_if(env, [&](const std::string& e) { return e.compare(0, key.size(), key) == 0; });
}

}  // namespace

std::string escapeLogField(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Event::line() const {
  std::string l = kind;
  for (const auto& f : fields) {
    l += '\t';
    l += escapeLogField(f);
  }
  return l;
}

void Recorder::record(const std::string& kind, std::vector<std::string> fields) {
  State& s = st();
  std::function<void(const Event&)> listener;
  Event e{kind, std::move(fields)};
  {
    std::lock_guard<std::mutex> lock(s.m);
    openLogLocked(s);
    if (s.log) {
      std::string l = s.linePrefix + e.line();
      l += '\n';
      std::fwrite(l.data(), 1, l.size(), s.log);
      std::fflush(s.log);  // a killed program must still leave what it did
    }
    s.events.push_back(e);
    listener = s.listener;
  }
  if (listener) listener(e);
}

const std::vector<Event>& Recorder::events() { return st().events; }

std::vector<Event> Recorder::eventsOf(const std::string& kind) {
  std::lock_guard<std::mutex> lock(st().m);
  std::vector<Event> out;
  for (const auto& e : st().events)
    if (e.kind == kind) out.push_back(e);
  return out;
}

void Recorder::clearEvents() {
  std::lock_guard<std::mutex> lock(st().m);
  st().events.clear();
}

void Recorder::pushAnswer(const std::string& kind, const std::string& answer) {
  std::lock_guard<std::mutex> lock(st().m);
  st().answers[kind].push_back(answer);
}

std::optional<std::string> Recorder::popAnswer(const std::string& kind) {
  std::lock_guard<std::mutex> lock(st().m);
  auto it = st().answers.find(kind);
  if (it == st().answers.end() || it->second.empty()) return std::nullopt;
  std::string a = it->second.front();
  it->second.pop_front();
  return a;
}

void Recorder::clearAnswers() {
  std::lock_guard<std::mutex> lock(st().m);
  st().answers.clear();
}

void Recorder::setListener(std::function<void(const Event&)> listener) {
  std::lock_guard<std::mutex> lock(st().m);
  st().listener = std::move(listener);
}

void Recorder::reopenLog() {
  std::lock_guard<std::mutex> lock(st().m);
  if (st().log) std::fclose(st().log);
  st().log = nullptr;
  st().logOpened = false;
}

void prepareChildEnvironment(std::vector<std::string>& env) {
  const char* ownScript = std::getenv("QV_DRIVER");
  const bool steered = ownScript && *ownScript;
  for (const char* name : {"QV_DRIVER", "QV_ENDS_WITH_PARENT", "QV_PARENT"}) removeVariable(env, name);
  setVariable(env, "QV_PARENT", std::to_string(::getpid()));
  std::optional<std::string> script;
  {
    std::lock_guard<std::mutex> lock(st().m);
    auto it = st().answers.find("child");
    if (it != st().answers.end() && !it->second.empty()) script = it->second.front();
  }
  if (script)
    setVariable(env, "QV_DRIVER", *script);
  else if (steered)
    setVariable(env, "QV_ENDS_WITH_PARENT", "1");
}

void childStarted() { Recorder::popAnswer("child"); }

void onReset(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(st().m);
  st().resetHooks.push_back(std::move(hook));
}

void onResetFirst(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(st().m);
  st().firstResetHooks.push_back(std::move(hook));
}

void resetDesktop() {
  std::vector<std::function<void()>> hooks;
  {
    std::lock_guard<std::mutex> lock(st().m);
    hooks = st().resetHooks;
    hooks.insert(hooks.end(), st().firstResetHooks.begin(), st().firstResetHooks.end());
  }
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) (*it)();
  resetProfile();
  Recorder::clearEvents();
  Recorder::clearAnswers();
  Recorder::setListener(nullptr);
}

}  // namespace qv::desktop
