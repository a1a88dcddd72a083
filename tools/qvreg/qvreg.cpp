// qvreg: sets a string value in the headless desktop's registry, the one of
// the C: folder that QV_HOME names, as a program's installer would before
// the program first starts. Scripts use it to prepare a desktop.
//
//   qvreg HKLM|HKCU KEY NAME VALUE
//
// KEY is a path below the root ("Software\Borland\Locales"), NAME the
// value's name (empty for the default value); the texts are UTF-8 and are
// stored in the platform's code page.
#include <cstring>
#include <iostream>
#include <string>

#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Registry.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: qvreg HKLM|HKCU KEY NAME VALUE\n";
    return 2;
  }
  const std::string rootName = argv[1];
  HKEY root = rootName == "HKLM" ? HKEY_LOCAL_MACHINE : rootName == "HKCU" ? HKEY_CURRENT_USER : nullptr;
  if (root == nullptr) {
    std::cerr << "qvreg: unknown root " << rootName << "\n";
    return 2;
  }
  const std::string key = qv::os::utf8ToAnsi(argv[2]);
  const std::string name = qv::os::utf8ToAnsi(argv[3]);
  const std::string value = qv::os::utf8ToAnsi(argv[4]);
  HKEY opened = nullptr;
  if (RegCreateKeyEx(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
    std::cerr << "qvreg: cannot open " << argv[2] << "\n";
    return 1;
  }
  const LONG written = RegSetValueEx(opened, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(opened);
  if (written != ERROR_SUCCESS) {
    std::cerr << "qvreg: cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}
