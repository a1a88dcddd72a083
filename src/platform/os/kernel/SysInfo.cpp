#include "platform/os/kernel/SysInfo.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/Paths.h"

DWORD GetTickCount() { return static_cast<DWORD>(qv::desktop::Clock::now()); }

void GetSystemTime(SYSTEMTIME* time) {
  if (!time) return;
  using namespace std::chrono;
  const std::int64_t ms = qv::desktop::Clock::wallMillis();
  const sys_days day = floor<days>(sys_time<milliseconds>(milliseconds(ms)));
  const year_month_day date(day);
  const std::int64_t inDay = ms - duration_cast<milliseconds>(day.time_since_epoch()).count();
  time->wYear = static_cast<WORD>(static_cast<int>(date.year()));
  time->wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
  time->wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
  time->wDayOfWeek = static_cast<WORD>(weekday(day).c_encoding());
  time->wHour = static_cast<WORD>(inDay / 3600000);
  time->wMinute = static_cast<WORD>(inDay / 60000 % 60);
  time->wSecond = static_cast<WORD>(inDay / 1000 % 60);
  time->wMilliseconds = static_cast<WORD>(inDay % 1000);
}

void GetLocalTime(SYSTEMTIME* time) { GetSystemTime(time); }

void Sleep(DWORD milliseconds) {
  if (qv::desktop::Clock::isVirtual()) {
    qv::desktop::Clock::advance(milliseconds);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }
namespace {

// Every window call asks which thread it runs on, so the kernel is asked
// once a thread. A forked child's one thread has an id of its own.
thread_local DWORD cachedThreadId = 0;
[[maybe_unused]] const int threadIdForgottenOnFork = ::pthread_atfork(nullptr, nullptr, [] { cachedThreadId = 0; });

}  // namespace

DWORD GetCurrentThreadId() {
  if (cachedThreadId == 0) cachedThreadId = static_cast<DWORD>(::syscall(SYS_gettid));
  return cachedThreadId;
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD size = info->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const auto& p = qv::desktop::profile();
  info->dwMajorVersion = p.osMajor;
  info->dwMinorVersion = p.osMinor;
  // The 9x family keeps the version in the build number's high word.
  info->dwBuildNumber = p.osPlatformId == VER_PLATFORM_WIN32_NT
                            ? p.osBuild
                            : ((p.osMajor & 0xFF) << 24) | ((p.osMinor & 0xFF) << 16) | (p.osBuild & 0xFFFF);
  info->dwPlatformId = p.osPlatformId;
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  std::strncpy(info->szCSDVersion, p.osCsdVersion.c_str(), sizeof info->szCSDVersion - 1);
  if (size == sizeof(OSVERSIONINFOEXA)) {
    auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
    ex->wServicePackMajor = 0;
    ex->wServicePackMinor = 0;
    const std::string& csd = p.osCsdVersion;
    size_t digit = csd.find_first_of("0123456789");
    if (csd.rfind("Service Pack", 0) == 0 && digit != std::string::npos)
      ex->wServicePackMajor = static_cast<WORD>(std::atoi(csd.c_str() + digit));
    ex->wSuiteMask = 0;
    ex->wProductType = VER_NT_WORKSTATION;
    ex->wReserved = 0;
  }
  return TRUE;
}

namespace {

std::optional<std::string> platformVariable(const std::string& upper) {
  const std::string user = "C:\\Documents and Settings\\" + qv::desktop::profile().userName;
  if (upper == "WINDIR" || upper == "SYSTEMROOT") return "C:\\WINDOWS";
  if (upper == "TEMP" || upper == "TMP") return user + "\\Local Settings\\Temp";
  if (upper == "USERPROFILE") return user;
  if (upper == "APPDATA") return user + "\\Application Data";
  if (upper == "PROGRAMFILES") return "C:\\Program Files";
  if (upper == "USERNAME") return qv::desktop::profile().userName;
  if (upper == "OS") return "Windows_NT";
  if (upper == "COMSPEC") return "C:\\WINDOWS\\system32\\cmd.exe";
  if (upper == "SYSTEMDRIVE" || upper == "HOMEDRIVE") return "C:";
  return std::nullopt;
}

}  // namespace

BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value) {
  if (!name || !*name || std::strchr(name, '=')) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string hostName = qv::os::ansiToUtf8(name);
  const std::string upper = qv::os::ansiUpperCase(name);
  for (char** e = environ; e && *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq && qv::os::ansiUpperCase(qv::os::utf8ToAnsi(std::string(*e, static_cast<size_t>(eq - *e)))) == upper) {
      hostName.assign(*e, static_cast<size_t>(eq - *e));
      break;
    }
  }
  const int rc = value ? ::setenv(hostName.c_str(), qv::os::ansiToUtf8(value).c_str(), 1) : ::unsetenv(hostName.c_str());
  if (rc != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  if (!name || !*name) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  std::string upper = qv::os::ansiUpperCase(name);
  std::optional<std::string> value = platformVariable(upper);
  if (!value) {
    for (char** e = environ; e && *e; ++e) {
      const char* eq = std::strchr(*e, '=');
      if (!eq) continue;
      if (qv::os::ansiUpperCase(std::string(*e, static_cast<size_t>(eq - *e))) == upper) {
        value = qv::os::utf8ToAnsi(eq + 1);
        break;
      }
    }
  }
  if (!value) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  return qv::os::copyPathOut(*value, buffer, size);
}

namespace qv::os {
namespace {
std::atomic<bool> g_exitRecorded{false};
}

void recordProgramExit() {
  if (!g_exitRecorded.exchange(true)) qv::desktop::Recorder::record("exit", {});
}

void recordExitAtEnd() {
  static const bool registered = [] {
    std::atexit([] { recordProgramExit(); });
    return true;
  }();
  (void)registered;
}
}  // namespace qv::os

void ExitProcess(UINT exitCode) {
  qv::os::recordProgramExit();
  std::exit(static_cast<int>(exitCode));
}
