#include "platform/os/kernel/Sound.h"

#include <cstdio>
#include <string>

#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Files.h"

namespace {

// The system's event sounds a stock desktop has.
bool knownAlias(const std::string& name) {
  static const char* const kAliases[] = {"SystemDefault",  "SystemAsterisk", "SystemExclamation", "SystemHand",
                                         "SystemQuestion", "SystemStart",    "SystemExit",        ".Default"};
  for (const char* a : kAliases)
    if (qv::os::ansiCompareText(name, a) == 0) return true;
  return false;
}

void record(LPCSTR sound, DWORD flags) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(flags));
  qv::desktop::Recorder::record("sound", {sound ? sound : "", hex});
}

BOOL play(LPCSTR sound, DWORD flags, DWORD asGiven) {
  record(sound, asGiven);
  if (!sound || (flags & SND_PURGE)) return TRUE;
  if ((flags & SND_MEMORY) == SND_MEMORY || (flags & SND_RESOURCE) == SND_RESOURCE) return TRUE;
  bool found;
  if (flags & SND_FILENAME)
    found = qv::os::fileExists(sound);
  else if (flags & SND_ALIAS)
    found = knownAlias(sound);
  else
    found = knownAlias(sound) || qv::os::fileExists(sound);
  if (found) return TRUE;
  return (flags & SND_NODEFAULT) ? FALSE : TRUE;
}

}  // namespace

BOOL PlaySoundA(LPCSTR sound, HMODULE, DWORD flags) { return play(sound, flags, flags); }

BOOL sndPlaySoundA(LPCSTR sound, UINT flags) {
  // sndPlaySound knows SND_SYNC, SND_ASYNC, SND_NODEFAULT, SND_MEMORY,
  // SND_LOOP and SND_NOSTOP; a name is an alias or a file.
  return play(sound, flags & (SND_ASYNC | SND_NODEFAULT | SND_MEMORY | SND_LOOP | SND_NOSTOP), flags);
}
