// Writes values into the registry of a given C: folder, one change per call,
// for the tests of persistence across processes and of concurrent writers.
//
//   prog_registry_writer CDRIVE SUBKEY PREFIX COUNT [--die]
//
// sets HKEY_CURRENT_USER\SUBKEY\PREFIX<i> = i (REG_DWORD) for i < COUNT and
// PREFIX = "done" (REG_SZ); with --die it kills itself right after the last
// value, before anything else can happen.
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/desktop/Profile.h"
#include "platform/os/kernel/Registry.h"

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  qv::desktop::profile().cDrive = argv[1];
  const std::string prefix = argv[3];
  const int count = std::atoi(argv[4]);
  const bool die = argc > 5 && std::strcmp(argv[5], "--die") == 0;
  HKEY key = nullptr;
  if (RegCreateKeyEx(HKEY_CURRENT_USER, argv[2], 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return 3;
  for (int i = 0; i < count; ++i) {
    const DWORD v = static_cast<DWORD>(i);
    const std::string name = prefix + std::to_string(i);
    if (RegSetValueEx(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) != ERROR_SUCCESS)
      return 4;
  }
  if (die) kill(getpid(), SIGKILL);
  const char done[] = "done";
  if (RegSetValueEx(key, prefix.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(done), sizeof done) != ERROR_SUCCESS)
    return 5;
  RegCloseKey(key);
  return 0;
}
