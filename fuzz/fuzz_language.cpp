// The runtime's language file: any bytes as the file's content. An exception
// of the class library (a file too short, unreadable) is a handled error.
#include <cstddef>
#include <cstdint>

#include "FuzzDesktop.h"
#include "platform/classlib/SysUtils.h"
#include "runtime/MessageTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = qvfuzz::Desktop::get().writeFile("qvlaunch_EN.lib", data, size);
  LanguageFileLoaded = false;
  try {
    LoadLanguageFile(path);
    LanguageFileLoaded = true;
    // The replaced texts go through the "~" substitution.
    for (int id = 0; id < 80; ++id) (void)GetMessageText(id, "argument");
  } catch (Exception&) {
  }
  LanguageFileLoaded = false;
  return 0;
}
