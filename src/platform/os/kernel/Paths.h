// Paths in the platform's form and the drives of the headless desktop.
//
// Z: is the host root, C: is qv::desktop::cDriveRoot() and further letters
// come from the profile's drives. A host absolute path ("/a/b") is accepted as
// it is. Both separators work and doubled ones are tolerated. Every component
// that exists is matched case-insensitively (an exact match wins), because
// disc file names are often upper case; components that do not exist keep
// their spelling so that new files can be made.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/os/Types.h"

namespace qv::os {

// A path in the platform's form, or a host absolute path -> host path.
// nullopt for an unmapped drive or an empty/invalid path.
std::optional<std::string> toHostPath(const std::string& path);

// Host path -> the platform's form: under the C: root "C:\...", under a mapped
// drive that letter, else "Z:\..." (Z: is the host root). Relative host paths
// count from the host's working folder.
std::string toWindowsPath(const std::string& hostPath);

// The full path in the platform's form, made absolute against the current
// directory, "." and ".." resolved, trailing dots and spaces of components
// dropped; a trailing separator is kept. nullopt for an empty/invalid path.
std::optional<std::string> fullWindowsPath(const std::string& path);

// The current directory in the platform's form (starts as the host cwd).
std::string currentDirectory();

// The host folder behind a drive letter, or nullopt when it is not mapped.
std::optional<std::string> driveRoot(char letter);

// The program's command line as the platform keeps it. main() calls
// setCommandLine(argc, argv): argv[0] becomes the program's path in the
// platform's form and arguments with spaces are quoted; a program started by
// CreateProcess gets the very text its parent passed. Tests may set the text.
void setCommandLine(int argc, char** argv);
void setCommandLineText(const std::string& text);
const std::string& commandLine();

// Splits by the platform's C runtime rules: the program name ends at the
// next quote or blank; then arguments separated by blanks, quotes group,
// 2n backslashes before a quote give n and the quote toggles, 2n+1 give n and
// a literal quote, "" inside quotes is a literal quote.
std::vector<std::string> splitCommandLine(const std::string& text);

// The program's own file in the platform's form: /proc/self/exe unless set
// by setProgramPath (used by in-process tests of a program's main block).
std::string programPath();
void setProgramPath(const std::string& windowsPath);

// toHostPath with the platform's error code for a failure:
// ERROR_PATH_NOT_FOUND (empty path, unmapped drive), ERROR_INVALID_NAME
// (wildcards or other characters a name cannot hold), ERROR_BAD_NETPATH (a
// network path).
std::optional<std::string> resolveHostPath(const std::string& path, DWORD* error);

// The error for a host path that does not exist: ERROR_FILE_NOT_FOUND when
// its folder exists, else ERROR_PATH_NOT_FOUND.
DWORD missingPathError(const std::string& hostPath);

// Copies text out by the platform's rule for path functions: when it fits
// with its terminator, the length without it; else the size needed with it.
DWORD copyPathOut(const std::string& text, LPSTR buffer, DWORD size);

}  // namespace qv::os

DWORD GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart);
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR pathName);
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
LPSTR GetCommandLineA();
inline DWORD GetFullPathName(LPCSTR f, DWORD n, LPSTR b, LPSTR* p) { return GetFullPathNameA(f, n, b, p); }
inline DWORD GetCurrentDirectory(DWORD n, LPSTR b) { return GetCurrentDirectoryA(n, b); }
inline BOOL SetCurrentDirectory(LPCSTR p) { return SetCurrentDirectoryA(p); }
inline DWORD GetTempPath(DWORD n, LPSTR b) { return GetTempPathA(n, b); }
inline UINT GetWindowsDirectory(LPSTR b, UINT n) { return GetWindowsDirectoryA(b, n); }
inline UINT GetSystemDirectory(LPSTR b, UINT n) { return GetSystemDirectoryA(b, n); }
inline LPSTR GetCommandLine() { return GetCommandLineA(); }
