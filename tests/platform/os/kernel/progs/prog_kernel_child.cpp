// A child program for the kernel's process and semaphore tests.
//   exit N                 ends with exit code N
//   wait                   waits until it is killed
//   report FILE            writes its command line, arguments and current directory to FILE (host path)
//   hold NAME READY        creates semaphore NAME, releases semaphore READY, then waits until killed
//   probe NAME             creates semaphore NAME; exit code 1 when it existed, 0 when new, 2 on failure
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/os/kernel/Kernel.h"

int main(int argc, char** argv) {
  qv::os::setCommandLine(argc, argv);
  if (argc < 2) return 100;
  std::string mode = argv[1];
  if (mode == "exit" && argc > 2) return std::atoi(argv[2]);
  if (mode == "wait") {
    for (;;) ::pause();
  }
  if (mode == "report" && argc > 2) {
    std::FILE* f = std::fopen(argv[2], "wb");
    if (!f) return 101;
    std::fprintf(f, "%s\n", GetCommandLineA());
    for (int i = 3; i < argc; ++i) std::fprintf(f, "[%s]\n", argv[i]);
    std::fprintf(f, "cwd=%s\n", qv::os::currentDirectory().c_str());
    std::fclose(f);
    return 0;
  }
  if (mode == "hold" && argc > 3) {
    HANDLE h = CreateSemaphoreA(nullptr, 0, 1, argv[2]);
    if (!h || GetLastError() != 0) return 102;
    HANDLE ready = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, argv[3]);
    if (!ready || !ReleaseSemaphore(ready, 1, nullptr)) return 103;
    for (;;) ::pause();
  }
  if (mode == "probe" && argc > 2) {
    HANDLE h = CreateSemaphoreA(nullptr, 0, 1, argv[2]);
    if (!h) return 2;
    return GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0;
  }
  return 100;
}
