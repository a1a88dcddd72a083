// The settings file as the runtime reads it: every key of every section, as
// text, number and flag.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzDesktop.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/IniFiles.h"
#include "platform/classlib/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = qvfuzz::Desktop::get().writeFile("autorun.inf", data, size);
  try {
    TIniFile ini(path);
    TStringList sections, keys, values;
    ini.ReadSections(&sections);
    for (int s = 0; s < sections.Count(); ++s) {
      const std::string section = sections.Strings(s);
      ini.ReadSection(section, &keys);
      for (int k = 0; k < keys.Count(); ++k) {
        const std::string key = keys.Strings(k);
        (void)ini.ReadString(section, key, "");
        (void)ini.ReadInteger(section, key, 0);
        (void)ini.ReadBool(section, key, false);
      }
      ini.ReadSectionValues(section, &values);
      for (int v = 0; v < values.Count(); ++v) (void)values.ValueFromIndex(v);
    }
    // Keys the runtime asks for whether the file has them or not.
    (void)ini.ReadString("autorun", "icon", "");
    (void)ini.ReadInteger("qvlaunch", "windowheight", 600);
  } catch (Exception&) {
  }
  return 0;
}
