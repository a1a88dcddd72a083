// Processes: host programs started with posix_spawn from a command line in
// the platform's form, waited for and ended through their handles.
#pragma once

#include <optional>
#include <string>

#include "platform/os/Types.h"
#include "platform/os/kernel/KernelObject.h"

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define STILL_ACTIVE 259u

#define CREATE_SUSPENDED 0x00000004u
#define DETACHED_PROCESS 0x00000008u
#define CREATE_NEW_CONSOLE 0x00000010u
#define NORMAL_PRIORITY_CLASS 0x00000020u
#define CREATE_NO_WINDOW 0x08000000u

#define STARTF_USESHOWWINDOW 0x00000001u
#define STARTF_USESTDHANDLES 0x00000100u

struct STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
using STARTUPINFO = STARTUPINFOA;
using LPSTARTUPINFOA = STARTUPINFOA*;
using LPSTARTUPINFO = STARTUPINFOA*;

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

namespace qv::os {

// The program a command line starts, as the platform finds it: a quoted
// first token, or the shortest blank-separated prefix naming a file; a name
// without a folder is looked for beside the program, in the current
// directory, the system and Windows folders and the host's PATH; ".exe" is
// tried after the name as it is. Fills `error` when nothing is found.
std::optional<std::string> findProgram(const std::string& commandLine, std::string* programToken, DWORD* error);

// Starts `hostProgram` with the arguments of `commandLine` (split by the
// platform's rules) in `hostFolder` (empty: the current directory). The child
// gets the command line's exact text and this desktop's C: drive. Records
// "exec commandline". Returns the process id, or 0 with the last error set.
int spawnProgram(const std::string& hostProgram, const std::string& commandLine, const std::string& hostFolder,
                 HANDLE* processHandle);

}  // namespace qv::os

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation);
inline BOOL CreateProcess(LPCSTR a, LPSTR c, LPSECURITY_ATTRIBUTES pa, LPSECURITY_ATTRIBUTES ta, BOOL i, DWORD f,
                          LPVOID e, LPCSTR d, LPSTARTUPINFOA s, LPPROCESS_INFORMATION p) {
  return CreateProcessA(a, c, pa, ta, i, f, e, d, s, p);
}
// Above 31 on success; else 0, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND or
// ERROR_BAD_FORMAT.
UINT WinExec(LPCSTR commandLine, UINT showCommand);
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
BOOL TerminateProcess(HANDLE process, UINT exitCode);
