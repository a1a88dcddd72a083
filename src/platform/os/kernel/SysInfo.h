// Time, identity and version of the running system: the tick count on the
// desktop's one clock, process and thread ids, the operating-system version
// from the profile, and the environment.
#pragma once

#include "platform/os/Types.h"

#define VER_PLATFORM_WIN32s 0u
#define VER_PLATFORM_WIN32_WINDOWS 1u
#define VER_PLATFORM_WIN32_NT 2u
#define VER_NT_WORKSTATION 0x01
#define VER_NT_DOMAIN_CONTROLLER 0x02
#define VER_NT_SERVER 0x03

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
using OSVERSIONINFO = OSVERSIONINFOA;
using LPOSVERSIONINFOA = OSVERSIONINFOA*;
using LPOSVERSIONINFO = OSVERSIONINFOA*;

struct OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
};
using OSVERSIONINFOEX = OSVERSIONINFOEXA;

// Milliseconds on qv::desktop::Clock, wrapping at 2^32 as the platform's does.
DWORD GetTickCount();
// The date and time on the desktop's wall clock (Clock::wallMillis). The
// desktop has no time zones: local time is UTC.
void GetSystemTime(SYSTEMTIME* time);
void GetLocalTime(SYSTEMTIME* time);
// On the virtual clock this moves virtual time on; on real time it sleeps.
void Sleep(DWORD milliseconds);
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();

// Takes OSVERSIONINFOA or OSVERSIONINFOEXA by dwOSVersionInfoSize; any other
// size fails with ERROR_INSUFFICIENT_BUFFER.
BOOL GetVersionExA(OSVERSIONINFOA* info);
inline BOOL GetVersionExA(OSVERSIONINFOEXA* info) { return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(info)); }
inline BOOL GetVersionEx(OSVERSIONINFOA* info) { return GetVersionExA(info); }
inline BOOL GetVersionEx(OSVERSIONINFOEXA* info) { return GetVersionExA(info); }

// Ends the program with an exit code; like every end of a program that
// started through setCommandLine(argc, argv), it is logged as `exit`.
[[noreturn]] void ExitProcess(UINT exitCode);

namespace qv::os {
// Logs the program's end once (`exit`), whichever way it ends normally.
void recordProgramExit();
// Makes a normal return from main log `exit` too; programs' main calls it
// through setCommandLine(argc, argv).
void recordExitAtEnd();
}  // namespace qv::os

// Host variables, names case-insensitive; the platform's own variables
// (windir, SystemRoot, TEMP, TMP, USERPROFILE, APPDATA, ProgramFiles,
// USERNAME, OS, ComSpec) describe the desktop's C: drive instead.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
inline DWORD GetEnvironmentVariable(LPCSTR name, LPSTR buffer, DWORD size) {
  return GetEnvironmentVariableA(name, buffer, size);
}
// Sets a variable of the process (a null value removes it); a variable that
// exists under another case keeps its name.
BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value);
inline BOOL SetEnvironmentVariable(LPCSTR name, LPCSTR value) { return SetEnvironmentVariableA(name, value); }
