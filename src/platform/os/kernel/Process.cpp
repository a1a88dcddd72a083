#include "platform/os/kernel/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/Paths.h"

extern char** environ;

namespace qv::os {
namespace {

// The code a host exit status stands for: the program's own exit code, or
// for a crash the platform's exception code.
DWORD exitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) {
    switch (WTERMSIG(status)) {
      case SIGSEGV:
      case SIGBUS:
        return 0xC0000005u;  // access violation
      case SIGILL:
        return 0xC000001Du;  // illegal instruction
      case SIGFPE:
        return 0xC0000094u;  // integer division by zero
      case SIGABRT:
        return 3u;  // what the C runtime's abort() exits with
      default:
        return 1u;
    }
  }
  return 1u;
}

class ProcessObject : public KernelObject {
 public:
  explicit ProcessObject(pid_t pid) : pid_(pid) {
#ifdef SYS_pidfd_open
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd_ >= 0) ::fcntl(pidfd_, F_SETFD, FD_CLOEXEC);
#endif
  }
  ~ProcessObject() override {
    if (pidfd_ >= 0) ::close(pidfd_);
    if (!reap(false)) {
      // Nobody waits for it any more; a helper collects it when it ends so
      // that no zombie is left behind.
      pid_t pid = pid_;
      std::thread([pid] {
        int st;
        while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    }
  }

  pid_t pid() const { return pid_; }

  // Collects the child when it has ended; true once it has.
  bool reap(bool block) {
    std::lock_guard<std::mutex> lock(m_);
    if (exited_) return true;
    int st = 0;
    pid_t r;
    do {
      r = ::waitpid(pid_, &st, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid_) {
      exited_ = true;
      code_ = terminated_ ? terminateCode_ : exitCodeOf(st);
    } else if (r < 0) {
      exited_ = true;  // not ours any more; nothing to wait for
      code_ = terminated_ ? terminateCode_ : 1u;
    }
    return exited_;
  }

  DWORD exitCode() {
    reap(false);
    std::lock_guard<std::mutex> lock(m_);
    return exited_ ? code_ : STILL_ACTIVE;
  }

  bool terminate(UINT code) {
    {
      std::lock_guard<std::mutex> lock(m_);
      if (exited_) return false;
      terminated_ = true;
      terminateCode_ = code;
    }
    if (::kill(pid_, SIGKILL) != 0 && errno != ESRCH) return false;
    reap(true);
    return true;
  }

  DWORD wait(DWORD timeoutMs) override {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (reap(false)) return WAIT_OBJECT_0;
      if (timeoutMs == 0) return WAIT_TIMEOUT;
      int slice = 50;
      if (timeoutMs != INFINITE) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0) return WAIT_TIMEOUT;
        slice = static_cast<int>(std::min<long long>(left, 50));
      }
      if (pidfd_ >= 0) {
        pollfd p{pidfd_, POLLIN, 0};
        ::poll(&p, 1, slice);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(slice, 2)));
      }
    }
  }

 private:
  pid_t pid_;
  int pidfd_ = -1;
  std::mutex m_;
  bool exited_ = false;
  bool terminated_ = false;
  DWORD code_ = STILL_ACTIVE;
  DWORD terminateCode_ = 0;
};

// The primary thread ends with its process.
class ThreadObject : public KernelObject {
 public:
  explicit ThreadObject(std::shared_ptr<ProcessObject> p) : process_(std::move(p)) {}
  DWORD wait(DWORD timeoutMs) override { return process_->wait(timeoutMs); }

 private:
  std::shared_ptr<ProcessObject> process_;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool hasFolder(const std::string& name) { return name.find_first_of("\\/:") != std::string::npos; }

bool hasExtension(const std::string& name) {
  size_t slash = name.find_last_of("\\/:");
  size_t dot = name.rfind('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

// A file (not a folder) at a platform path, as host path.
std::optional<std::string> existingFile(const std::string& path) {
  auto host = toHostPath(path);
  struct stat sb;
  if (host && ::stat(host->c_str(), &sb) == 0 && !S_ISDIR(sb.st_mode)) return host;
  return std::nullopt;
}

std::optional<std::string> lookFor(const std::string& name) {
  std::vector<std::string> candidates{name};
  if (!hasExtension(name)) candidates.push_back(name + ".exe");
  std::vector<std::string> folders;
  if (hasFolder(name)) {
    folders.push_back("");
  } else {
    std::string self = programPath();
    size_t cut = self.find_last_of('\\');
    if (cut != std::string::npos) folders.push_back(self.substr(0, cut + 1));
    folders.push_back(currentDirectory() + "\\");
    folders.push_back("C:\\WINDOWS\\system32\\");
    folders.push_back("C:\\WINDOWS\\");
    if (const char* path = std::getenv("PATH")) {
      std::string p = path;
      size_t i = 0;
      while (i <= p.size()) {
        size_t j = p.find(':', i);
        if (j == std::string::npos) j = p.size();
        if (j > i && p[i] == '/') folders.push_back(p.substr(i, j - i) + "/");
        i = j + 1;
      }
    }
  }
  for (const auto& f : folders)
    for (const auto& c : candidates)
      if (auto h = existingFile(f + c)) return h;
  return std::nullopt;
}

std::vector<std::string> environmentFor(LPVOID block, const std::string& commandLine, const std::string& hostProgram) {
  std::vector<std::string> env;
  if (block) {
    for (const char* e = static_cast<const char*>(block); *e; e += std::strlen(e) + 1) env.emplace_back(e);
  } else {
    for (char** e = environ; e && *e; ++e) env.emplace_back(*e);
  }
  auto set = [&](const std::string& key, const std::string& value) {
    for (auto& e : env)
      if (e.compare(0, key.size() + 1, key + "=") == 0) {
        e = key + "=" + value;
        return;
      }
    env.push_back(key + "=" + value);
  };
  set("QV_CMDLINE", commandLine);
  // Only the program started here takes the text: not a script's interpreter
  // nor whatever that starts in turn.
  set("QV_CMDLINE_EXE", hostProgram);
  // The child is on the same machine: it sees the same C: drive.
  set("QV_HOME", qv::desktop::cDriveRoot());
  qv::desktop::prepareChildEnvironment(env);
  return env;
}

int spawn(const std::string& hostProgram, const std::string& commandLine, const std::string& hostFolder,
          LPVOID environment, HANDLE* processHandle, HANDLE* threadHandle) {
  std::vector<std::string> args = splitCommandLine(commandLine);
  std::vector<std::string> argvStore;
  argvStore.push_back(hostProgram);
  for (size_t i = 1; i < args.size(); ++i) argvStore.push_back(ansiToUtf8(args[i]));
  std::vector<char*> argv;
  for (auto& a : argvStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore = environmentFor(environment, commandLine, hostProgram);
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  std::string folder = hostFolder;
  if (folder.empty()) folder = toHostPath(currentDirectory()).value_or("/");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // The child starts with default signal handling, whatever this process set.
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attr, &all);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, hostProgram.c_str(), &actions, &attr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    // A file the host cannot execute is no program for the platform either.
    SetLastError(rc == ENOEXEC || rc == EACCES ? ERROR_BAD_EXE_FORMAT
                 : rc == ENOENT                ? ERROR_FILE_NOT_FOUND
                                               : errorFromErrno(rc));
    return 0;
  }
  qv::desktop::childStarted();
  qv::desktop::Recorder::record("exec", {commandLine});
  auto process = std::make_shared<ProcessObject>(pid);
  if (threadHandle) *threadHandle = addHandle(std::make_shared<ThreadObject>(process));
  if (processHandle) *processHandle = addHandle(process);
  SetLastError(ERROR_SUCCESS);
  return pid;
}

}  // namespace

std::optional<std::string> findProgram(const std::string& commandLine, std::string* programToken, DWORD* error) {
  size_t i = 0;
  while (i < commandLine.size() && isBlank(commandLine[i])) ++i;
  auto fail = [&](DWORD e) -> std::optional<std::string> {
    if (error) *error = e;
    return std::nullopt;
  };
  if (i >= commandLine.size()) return fail(ERROR_FILE_NOT_FOUND);
  std::vector<std::string> tries;
  if (commandLine[i] == '"') {
    size_t end = commandLine.find('"', i + 1);
    tries.push_back(commandLine.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1));
  } else {
    // "C:\Program Files\x.exe a" tries "C:\Program", then "C:\Program Files\x.exe".
    for (size_t j = i; j <= commandLine.size(); ++j)
      if (j == commandLine.size() || isBlank(commandLine[j])) {
        if (j > i && !isBlank(commandLine[j - 1])) tries.push_back(commandLine.substr(i, j - i));
      }
  }
  for (const auto& t : tries) {
    if (auto h = lookFor(t)) {
      if (programToken) *programToken = t;
      if (error) *error = ERROR_SUCCESS;
      return h;
    }
  }
  // Which error: the folder of the first candidate decides, as for files.
  const std::string& first = tries.front();
  if (hasFolder(first)) {
    auto host = toHostPath(first);
    if (!host) return fail(ERROR_PATH_NOT_FOUND);
    return fail(missingPathError(*host));
  }
  return fail(ERROR_FILE_NOT_FOUND);
}

int spawnProgram(const std::string& hostProgram, const std::string& commandLine, const std::string& hostFolder,
                 HANDLE* processHandle) {
  return spawn(hostProgram, commandLine, hostFolder, nullptr, processHandle, nullptr);
}

}  // namespace qv::os

using namespace qv::os;

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD, LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA,
                    LPPROCESS_INFORMATION processInformation) {
  if (!applicationName && !commandLine) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string text = commandLine ? std::string(commandLine) : std::string(applicationName);
  std::optional<std::string> program;
  if (applicationName) {
    // The application name is taken as it is: no search, no ".exe".
    DWORD err = 0;
    auto host = resolveHostPath(applicationName, &err);
    struct stat sb;
    if (!host) {
      SetLastError(err);
      return FALSE;
    }
    if (::stat(host->c_str(), &sb) != 0) {
      SetLastError(missingPathError(*host));
      return FALSE;
    }
    if (S_ISDIR(sb.st_mode)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    program = host;
    if (!commandLine)
      text = std::string(applicationName).find(' ') != std::string::npos ? "\"" + std::string(applicationName) + "\""
                                                                         : std::string(applicationName);
  } else {
    DWORD err = 0;
    program = findProgram(text, nullptr, &err);
    if (!program) {
      SetLastError(err);
      return FALSE;
    }
  }
  std::string folder;
  if (currentDirectory && *currentDirectory) {
    auto host = toHostPath(currentDirectory);
    struct stat sb;
    if (!host || ::stat(host->c_str(), &sb) != 0 || !S_ISDIR(sb.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    folder = *host;
  }
  HANDLE process = nullptr, thread = nullptr;
  int pid = spawn(*program, text, folder, environment, &process, &thread);
  if (!pid) return FALSE;
  if (processInformation) {
    processInformation->hProcess = process;
    processInformation->hThread = thread;
    processInformation->dwProcessId = static_cast<DWORD>(pid);
    processInformation->dwThreadId = static_cast<DWORD>(pid);  // the main thread's id is the process id
  } else {
    CloseHandle(process);
    CloseHandle(thread);
  }
  return TRUE;
}

UINT WinExec(LPCSTR commandLine, UINT) {
  if (!commandLine) return ERROR_FILE_NOT_FOUND;
  std::string text = commandLine;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi)) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
        return ERROR_FILE_NOT_FOUND;
      case ERROR_PATH_NOT_FOUND:
        return ERROR_PATH_NOT_FOUND;
      case ERROR_BAD_EXE_FORMAT:
      case ERROR_BAD_FORMAT:
        return ERROR_BAD_FORMAT;
      case ERROR_ACCESS_DENIED:
        return ERROR_ACCESS_DENIED;
      default:
        return 0;
    }
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 33;
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
  auto p = handleAs<ProcessObject>(process);
  if (!p || !exitCode) {
    SetLastError(p ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *exitCode = p->exitCode();
  return TRUE;
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
  auto p = handleAs<ProcessObject>(process);
  if (!p) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!p->terminate(exitCode)) {
    SetLastError(ERROR_ACCESS_DENIED);  // it has already ended
    return FALSE;
  }
  return TRUE;
}
