#include "runtime/windowsversion.h"

#include "platform/os/kernel/SysInfo.h"

namespace {

// The service text's second character with blanks trimmed away: "B" marks
// 95 OSR2, "A" 98 SE. A shorter text has its terminating zero there.
char revisionLetter(const OSVERSIONINFOA& info) {
  char c = info.szCSDVersion[1];
  return static_cast<unsigned char>(c) <= ' ' ? '\0' : c;
}

}  // namespace

int GetWindowsVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionEx(&info)) return 0;
  switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
      switch (info.dwMinorVersion) {
        case 0:
          return revisionLetter(info) == 'B' ? 2 : 1;
        case 10:
          return revisionLetter(info) == 'A' ? 4 : 3;
        case 90:
          return info.dwBuildNumber == 0x045A0BB8u ? 5 : 0;
        default:
          return 0;
      }
    case VER_PLATFORM_WIN32_NT:
      switch (info.dwMajorVersion) {
        case 3:
          return 6;
        case 4:
          return 7;
        case 5:
          switch (info.dwMinorVersion) {
            case 0:
              return 8;
            case 1:
              return 9;
            case 2:
              return 10;
            default:
              return 0;
          }
        case 6:
          return 11;
        default:
          return 0;
      }
    default:
      return 0;
  }
}
