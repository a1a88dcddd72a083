// The settings file as the runtime reads it: every key of every section, as
// text, number and flag; then every key the runtime asks for, in its own
// sections, with its defaults, and what it makes of the values (the window
// size pair, the comma lists, the positions, the button folder).
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzDesktop.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/IniFiles.h"
#include "platform/classlib/SysUtils.h"
#include "runtime/Browser.h"

namespace {

enum class Kind { Text, Number, Bool, List };

struct RuntimeKey {
  const char* section;
  const char* key;
  Kind kind;
  const char* fallback;  // the runtime's default, as text
};

constexpr RuntimeKey kRuntimeKeys[] = {
    {"quorvel", "singleinstance", Kind::Bool, "0"},
    {"quorvel", "splashscreenimg", Kind::Text, ""},
    {"quorvel", "splashscreentime", Kind::Number, "2"},
    {"autorun", "icon", Kind::Text, ""},
    {"quorvel", "windowcaption", Kind::Text, ""},
    {"quorvel", "appcaption", Kind::Text, ""},
    {"quorvel", "dropshadow", Kind::Bool, "0"},
    {"quorvel", "startpage", Kind::Text, ""},
    {"quorvel", "altstartpage", Kind::Text, ""},
    {"quorvel", "uselanguagestartpage", Kind::Bool, "0"},
    {"quorvel", "intromusic", Kind::Text, ""},
    {"quorvel", "loopmusic", Kind::Bool, "0"},
    {"quorvel", "stopmusiconclick", Kind::Bool, "0"},
    {"quorvel", "borderstyle", Kind::Text, "window"},
    {"quorvel", "skin", Kind::Text, ""},
    {"quorvel", "toolbar", Kind::List, ""},
    {"quorvel", "toolbarcolor", Kind::Number, "-16777201"},
    {"quorvel", "fullscreen", Kind::Bool, "0"},
    {"quorvel", "hidesplashscreen", Kind::Bool, "0"},
    {"quorvel", "fadein", Kind::Number, "0"},
    {"quorvel", "contextmenu", Kind::Text, "none"},
    {"quorvel", "defaultcursor", Kind::Bool, "1"},
    {"quorvel", "noscrollbars", Kind::Bool, "1"},
    {"quorvel", "requirements", Kind::List, ""},
    {"quorvel", "executeext", Kind::List, "exe"},
    {"quorvel", "forceofflinemode", Kind::Bool, "0"},
    {"quorvel", "internalpopups", Kind::Bool, "1"},
    {"quorvel", "disablescripterrors", Kind::Bool, "0"},
    {"quorvel", "hideheaderfooter", Kind::Bool, "0"},
    {"quorvel", "showstatusbar", Kind::Bool, "0"},
    {"fulltextsearchengine", "active", Kind::Bool, "0"},
    {"fulltextsearchengine", "index", Kind::Text, ""},
    {"fulltextsearchengine", "resulttemplate", Kind::Text, ""},
};

void readRuntimeKeys(TIniFile& ini) {
  for (const RuntimeKey& k : kRuntimeKeys) {
    switch (k.kind) {
      case Kind::Text: (void)ini.ReadString(k.section, k.key, k.fallback); break;
      case Kind::Number: (void)ini.ReadInteger(k.section, k.key, std::stoi(k.fallback)); break;
      case Kind::Bool: (void)ini.ReadBool(k.section, k.key, k.fallback[0] == '1'); break;
      case Kind::List: {
        TStringList lines;
        lines.SetText(SeparatorToLines(ini.ReadString(k.section, k.key, k.fallback), ","));
        for (int i = 0; i < lines.Count(); ++i) (void)lines.Strings(i);
        break;
      }
    }
  }

  // One "%" makes both sizes percent; each value that has one loses its
  // last character before the conversion.
  std::string height = ini.ReadString("quorvel", "windowheight", "600");
  std::string width = ini.ReadString("quorvel", "windowwidth", "400");
  if (height.find('%') != std::string::npos) height.pop_back();
  if (width.find('%') != std::string::npos) width.pop_back();
  int number = 0;
  (void)TryStrToInt(height, number);
  (void)TryStrToInt(width, number);
  if (ini.ValueExists("quorvel", "windowwith")) (void)ini.ReadInteger("quorvel", "windowwith", 600);

  const std::string position = ini.ReadString("quorvel", "windowposition", "center");
  if (position != "center") {
    const std::size_t comma = position.find(',');
    if (comma != std::string::npos) {
      (void)TryStrToInt(position.substr(0, comma), number);
      (void)TryStrToInt(position.substr(comma + 1), number);
    }
  }

  TStringList bounds;
  bounds.SetText(SeparatorToLines(ini.ReadString("quorvel", "skinposition", "0,0,100,100"), ","));
  for (int i = 0; i < bounds.Count() && i < 4; ++i) (void)TryStrToInt(bounds.Strings(i), number);

  std::string buttonDir = ini.ReadString("quorvel", "buttondir", "buttons");
  if (!buttonDir.empty() && buttonDir.back() != '\\' && buttonDir.back() != '/') buttonDir += '\\';
}

}  // namespace

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
    readRuntimeKeys(ini);
  } catch (Exception&) {
  }
  return 0;
}
