// qvrc: compiles a resource script into a resource container (.res) and,
// on request, into a C++ source that embeds the container in a program.
//
//   qvrc SCRIPT -o OUT.res [--embed OUT.cpp [--no-register]] [--depfile OUT.d]
//
// Script syntax (UTF-8; "#" starts a comment line; tokens are separated by
// blanks, "quoted" tokens may hold blanks and the escapes \" \\ \n \r \t and
// \xNN for one Windows-1252 byte; files are relative to the script):
//
//   LANGUAGE 0x0407                      language of the resources that follow
//   BITMAP   NAME  file.bmp              the file without its 14-byte file header
//   ICON     NAME  file.ico              an icon group and its images
//   CURSOR   NAME  file.cur              a cursor group and its images
//   RCDATA   NAME  file                  the file as it is
//   TYPE     NAME  file                  the same for any other type: a known
//                                        type name (HTML, MANIFEST, ...), a
//                                        number or a custom type name
//   STRING   ID    "text"                an entry of the string tables
//   VERSIONINFO                          the version block, up to END:
//     FILEVERSION    a.b.c.d
//     PRODUCTVERSION a.b.c.d
//     FILETYPE       APP | DLL
//     STRINGTABLE    040704E4            a table; the values below go into it
//     CompanyName    "text"              any value name; the text in quotes
//     TRANSLATION    0x0407 1252         optional; else taken from the tables
//   END
//
// NAME and ID are numbers (ordinals) or names.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/ResFile.h"
#include "platform/os/kernel/Version.h"

using qv::os::ResEntry;
using qv::os::ResId;

namespace {

struct Failure {
  std::string message;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) { throw Failure{where + ": " + what}; }

struct Token {
  std::string text;  // ANSI
  bool quoted = false;
};

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<Token> tokenize(const std::string& line, const std::string& where) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size() || line[i] == '#') break;
    Token t;
    if (line[i] == '"') {
      t.quoted = true;
      ++i;
      std::string run;  // UTF-8 text not yet converted
      bool closed = false;
      while (i < line.size()) {
        const char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c != '\\') {
          run += c;
          continue;
        }
        if (i >= line.size()) fail(where, "escape at end of line");
        const char e = line[i++];
        switch (e) {
          case 'n':
            run += '\n';
            break;
          case 'r':
            run += '\r';
            break;
          case 't':
            run += '\t';
            break;
          case '"':
            run += '"';
            break;
          case '\\':
            run += '\\';
            break;
          case 'x': {
            if (i + 2 > line.size()) fail(where, "bad \\x escape");
            const int hi = hexValue(line[i]), lo = hexValue(line[i + 1]);
            if (hi < 0 || lo < 0) fail(where, "bad \\x escape");
            t.text += qv::os::utf8ToAnsi(run);
            run.clear();
            t.text += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
          }
          default:
            fail(where, std::string("unknown escape \\") + e);
        }
      }
      if (!closed) fail(where, "unterminated string");
      t.text += qv::os::utf8ToAnsi(run);
    } else {
      std::string raw;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') raw += line[i++];
      t.text = qv::os::utf8ToAnsi(raw);
    }
    out.push_back(std::move(t));
  }
  return out;
}

std::string upper(std::string s) { return qv::os::ansiUpperCase(s); }

std::optional<unsigned long> number(const std::string& s) {
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const unsigned long v = std::strtoul(s.c_str(), &end, 0);
  if (!end || *end) return std::nullopt;
  return v;
}

ResId idOf(const Token& t, const std::string& where) {
  if (!t.quoted) {
    if (auto n = number(t.text)) {
      if (*n > 0xFFFF) fail(where, "id above 65535: " + t.text);
      return ResId::id(static_cast<WORD>(*n));
    }
  }
  if (t.text.empty()) fail(where, "empty name");
  return ResId::text(qv::os::ansiToUtf16(t.text));
}

const std::map<std::string, WORD>& knownTypes() {
  static const std::map<std::string, WORD> types = {
      {"CURSOR", 1},        {"BITMAP", 2},      {"ICON", 3},        {"MENU", 4},    {"DIALOG", 5},
      {"FONTDIR", 7},       {"FONT", 8},        {"ACCELERATOR", 9}, {"RCDATA", 10}, {"MESSAGETABLE", 11},
      {"GROUP_CURSOR", 12}, {"GROUP_ICON", 14}, {"PLUGPLAY", 19},   {"VXD", 20},    {"ANICURSOR", 21},
      {"ANIICON", 22},      {"HTML", 23},       {"MANIFEST", 24}};
  return types;
}

std::vector<BYTE> readFile(const std::filesystem::path& p, const std::string& where) {
  std::ifstream in(p, std::ios::binary);
  if (!in) fail(where, "cannot read " + p.string());
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

WORD rd16(const std::vector<BYTE>& b, std::size_t at) { return static_cast<WORD>(b[at] | (b[at + 1] << 8)); }
DWORD rd32(const std::vector<BYTE>& b, std::size_t at) {
  return static_cast<DWORD>(rd16(b, at)) | (static_cast<DWORD>(rd16(b, at + 2)) << 16);
}
void put16(std::vector<BYTE>& out, WORD v) {
  out.push_back(static_cast<BYTE>(v));
  out.push_back(static_cast<BYTE>(v >> 8));
}
void put32(std::vector<BYTE>& out, DWORD v) {
  put16(out, static_cast<WORD>(v));
  put16(out, static_cast<WORD>(v >> 16));
}

class Compiler {
 public:
  Compiler(std::filesystem::path script) : script_(std::move(script)), base_(script_.parent_path()) {}

  std::vector<ResEntry> run() {
    std::ifstream in(script_, std::ios::binary);
    if (!in) throw Failure{"cannot read " + script_.string()};
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      const std::string where = script_.string() + ":" + std::to_string(number);
      auto tokens = tokenize(line, where);
      if (tokens.empty()) continue;
      if (inVersion_)
        versionLine(tokens, where);
      else
        statement(tokens, where);
    }
    if (inVersion_) throw Failure{script_.string() + ": VERSIONINFO without END"};
    flushStrings();
    return std::move(entries_);
  }

  const std::set<std::string>& inputs() const { return inputs_; }

 private:
  void statement(const std::vector<Token>& t, const std::string& where) {
    const std::string word = upper(t[0].text);
    if (word == "LANGUAGE") {
      if (t.size() != 2 || !number(t[1].text) || *number(t[1].text) > 0xFFFF)
        fail(where, "LANGUAGE needs a language id");
      language_ = static_cast<WORD>(*number(t[1].text));
    } else if (word == "STRING") {
      if (t.size() != 3) fail(where, "STRING needs an id and a text");
      auto id = number(t[1].text);
      if (!id || *id > 0xFFFF) fail(where, "bad string id " + t[1].text);
      auto& slot = strings_[{language_, static_cast<WORD>(*id)}];
      if (!slot.empty()) fail(where, "string id " + t[1].text + " given twice");
      slot = t[2].text;
      if (slot.empty()) fail(where, "an empty string is the same as none");
    } else if (word == "VERSIONINFO") {
      if (t.size() != 1) fail(where, "VERSIONINFO stands alone on its line");
      if (versionSeen_) fail(where, "a second VERSIONINFO");
      inVersion_ = versionSeen_ = true;
      version_ = {};
      table_ = -1;
    } else {
      if (t.size() != 3) fail(where, "expected TYPE NAME FILE");
      fileResource(t[0], idOf(t[1], where), t[2].text, where);
    }
  }

  void fileResource(const Token& typeTok, const ResId& name, const std::string& file, const std::string& where) {
    const std::filesystem::path path = base_ / std::filesystem::u8path(qv::os::ansiToUtf8(file));
    inputs_.insert(path.string());
    std::vector<BYTE> bytes = readFile(path, where);
    const std::string word = upper(typeTok.text);
    if (!typeTok.quoted && (word == "ICON" || word == "GROUP_ICON")) return iconGroup(name, bytes, false, where);
    if (!typeTok.quoted && word == "CURSOR") return iconGroup(name, bytes, true, where);
    ResId type;
    if (!typeTok.quoted && knownTypes().count(word))
      type = ResId::id(knownTypes().at(word));
    else
      type = idOf(typeTok, where);
    if (type == ResId::id(2)) {
      if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M') fail(where, file + " is not a bitmap");
      bytes.erase(bytes.begin(), bytes.begin() + 14);
    }
    add(type, name, std::move(bytes));
  }

  // An icon or cursor file becomes one image resource per picture and a
  // group resource whose directory names them by id.
  void iconGroup(const ResId& name, const std::vector<BYTE>& f, bool cursor, const std::string& where) {
    if (f.size() < 6 || rd16(f, 0) != 0 || rd16(f, 2) != (cursor ? 2 : 1))
      fail(where, cursor ? "not a cursor file" : "not an icon file");
    const WORD count = rd16(f, 4);
    if (count == 0 || f.size() < 6 + 16u * count) fail(where, "cut directory");
    std::vector<BYTE> group;
    put16(group, 0);
    put16(group, cursor ? 2 : 1);
    put16(group, count);
    for (WORD i = 0; i < count; ++i) {
      const std::size_t e = 6 + 16u * i;
      const DWORD size = rd32(f, e + 8), offset = rd32(f, e + 12);
      if (offset > f.size() || size > f.size() - offset) fail(where, "image outside the file");
      std::vector<BYTE> image(f.begin() + offset, f.begin() + offset + size);
      WORD planes = rd16(f, e + 4), bits = rd16(f, e + 6);
      if (image.size() >= 40 && rd32(image, 0) == 40) {
        planes = rd16(image, 12);
        bits = rd16(image, 14);
      }
      const WORD id = cursor ? ++nextCursor_ : ++nextIcon_;
      if (cursor) {
        std::vector<BYTE> data;
        put16(data, rd16(f, e + 4));  // hot spot
        put16(data, rd16(f, e + 6));
        data.insert(data.end(), image.begin(), image.end());
        const WORD width = f[e] ? f[e] : 256, height = f[e + 1] ? f[e + 1] : 256;
        put16(group, width);
        put16(group, static_cast<WORD>(height * 2));
        put16(group, planes ? planes : 1);
        put16(group, bits);
        put32(group, static_cast<DWORD>(data.size()));
        put16(group, id);
        add(ResId::id(1), ResId::id(id), std::move(data));
      } else {
        group.insert(group.end(), f.begin() + e, f.begin() + e + 4);  // width, height, colours, reserved
        put16(group, planes);
        put16(group, bits);
        put32(group, size);
        put16(group, id);
        add(ResId::id(3), ResId::id(id), std::move(image));
      }
    }
    add(ResId::id(cursor ? 12 : 14), name, std::move(group));
  }

  static bool parseVersion(const std::string& s, WORD out[4]) {
    std::string text = s;
    for (char& c : text)
      if (c == ',') c = '.';
    std::istringstream in(text);
    std::string part;
    int n = 0;
    while (std::getline(in, part, '.')) {
      if (n == 4) return false;
      auto v = number(part);
      if (!v || *v > 0xFFFF) return false;
      out[n++] = static_cast<WORD>(*v);
    }
    for (; n < 4; ++n) out[n] = 0;
    return !s.empty();
  }

  void versionLine(const std::vector<Token>& t, const std::string& where) {
    // A value line has its text quoted, which tells "FileVersion \"1.0\""
    // (a value) from FILEVERSION 1.0.0.0 (the fixed version).
    if (t.size() == 2 && t[1].quoted) {
      if (table_ < 0) fail(where, "a value before STRINGTABLE");
      version_.tables[table_].values.emplace_back(t[0].text, t[1].text);
      return;
    }
    const std::string word = upper(t[0].text);
    if (word == "END") {
      if (t.size() != 1) fail(where, "END stands alone");
      inVersion_ = false;
      if (version_.translations.empty())
        for (const auto& table : version_.tables) {
          const unsigned long v = std::strtoul(table.key.c_str(), nullptr, 16);
          version_.translations.emplace_back(static_cast<WORD>(v >> 16), static_cast<WORD>(v & 0xFFFF));
        }
      add(ResId::id(16), ResId::id(1), qv::os::buildVersionResource(version_));
    } else if (word == "FILEVERSION" || word == "PRODUCTVERSION") {
      if (t.size() != 2 ||
          !parseVersion(t[1].text, word == "FILEVERSION" ? version_.fileVersion : version_.productVersion))
        fail(where, word + " needs a.b.c.d");
    } else if (word == "FILETYPE") {
      const std::string v = t.size() == 2 ? upper(t[1].text) : "";
      if (v == "APP")
        version_.fileType = VFT_APP;
      else if (v == "DLL")
        version_.fileType = VFT_DLL;
      else
        fail(where, "FILETYPE is APP or DLL");
    } else if (word == "STRINGTABLE") {
      if (t.size() != 2 || t[1].text.size() != 8 ||
          t[1].text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        fail(where, "STRINGTABLE needs eight hex digits of language and code page");
      version_.tables.push_back({t[1].text, {}});
      table_ = static_cast<int>(version_.tables.size()) - 1;
    } else if (word == "TRANSLATION") {
      if (t.size() != 3 || !number(t[1].text) || !number(t[2].text))
        fail(where, "TRANSLATION needs language and code page");
      version_.translations.emplace_back(static_cast<WORD>(*number(t[1].text)), static_cast<WORD>(*number(t[2].text)));
    } else {
      fail(where, "expected a value name and its text in quotes");
    }
  }

  // Strings go in blocks of 16: block n + 1 holds ids 16n to 16n + 15, each
  // as a length and UTF-16 characters, absent ones as length 0.
  void flushStrings() {
    std::map<std::pair<WORD, WORD>, std::vector<std::u16string>> blocks;  // (language, block)
    for (const auto& [key, text] : strings_) {
      auto& block = blocks[{key.first, static_cast<WORD>(key.second / 16 + 1)}];
      block.resize(16);
      block[key.second % 16] = qv::os::ansiToUtf16(text);
    }
    for (const auto& [key, block] : blocks) {
      std::vector<BYTE> data;
      for (const std::u16string& s : block) {
        put16(data, static_cast<WORD>(s.size()));
        for (char16_t c : s) put16(data, static_cast<WORD>(c));
      }
      ResEntry e;
      e.type = ResId::id(6);
      e.name = ResId::id(key.second);
      e.language = key.first;
      e.data = std::move(data);
      entries_.push_back(std::move(e));
    }
  }

  void add(ResId type, ResId name, std::vector<BYTE> data) {
    for (const ResEntry& e : entries_)
      if (e.type == type && e.language == language_ &&
          (name.isOrdinal
               ? e.name == name
               : !e.name.isOrdinal && upper(qv::os::utf16ToAnsi(e.name.name)) == upper(qv::os::utf16ToAnsi(name.name))))
        throw Failure{script_.string() + ": resource " + qv::os::utf16ToUtf8(name.name) + " given twice"};
    ResEntry e;
    e.type = std::move(type);
    e.name = std::move(name);
    e.language = language_;
    e.data = std::move(data);
    entries_.push_back(std::move(e));
  }

  std::filesystem::path script_, base_;
  std::vector<ResEntry> entries_;
  std::map<std::pair<WORD, WORD>, std::string> strings_;
  std::set<std::string> inputs_;
  WORD language_ = 0;
  WORD nextIcon_ = 0, nextCursor_ = 0;
  bool inVersion_ = false, versionSeen_ = false;
  qv::os::VersionInfo version_;
  int table_ = -1;
};

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw Failure{"cannot write " + path};
}

std::string embedSource(const std::vector<BYTE>& container, bool registerIt) {
  std::string blob = qv::os::embedMarker();
  const std::uint64_t size = container.size();
  for (int i = 0; i < 8; ++i) blob += static_cast<char>((size >> (8 * i)) & 0xFF);
  blob.append(container.begin(), container.end());
  std::ostringstream out;
  out << "// Generated by qvrc: the program's resource container behind its marker.\n"
         "#include <cstddef>\n";
  if (registerIt) out << "#include \"platform/os/kernel/Module.h\"\n";
  out << "namespace {\nalignas(8) __attribute__((used)) const unsigned char kResources[" << blob.size() << "] = {";
  char buf[8];
  for (std::size_t i = 0; i < blob.size(); ++i) {
    if (i % 16 == 0) out << "\n";
    std::snprintf(buf, sizeof buf, "0x%02x,", static_cast<unsigned char>(blob[i]));
    out << buf;
  }
  out << "\n};\n";
  if (registerIt)
    out << "[[maybe_unused]] const bool kRegistered = qv::os::registerProgramResources(kResources + 24, " << size
        << "u, true);\n";
  out << "}  // namespace\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  std::string script, output, embed, depfile;
  bool registerIt = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "qvrc: " << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "-o")
      output = next();
    else if (a == "--embed")
      embed = next();
    else if (a == "--depfile")
      depfile = next();
    else if (a == "--no-register")
      registerIt = false;
    else if (script.empty())
      script = a;
    else {
      std::cerr << "usage: qvrc SCRIPT -o OUT.res [--embed OUT.cpp [--no-register]] [--depfile OUT.d]\n";
      return 2;
    }
  }
  if (script.empty() || output.empty()) {
    std::cerr << "usage: qvrc SCRIPT -o OUT.res [--embed OUT.cpp [--no-register]] [--depfile OUT.d]\n";
    return 2;
  }
  try {
    Compiler compiler{std::filesystem::path(script)};
    const auto entries = compiler.run();
    const auto container = qv::os::writeResContainer(entries);
    writeBytes(output, std::string(container.begin(), container.end()));
    if (!embed.empty()) writeBytes(embed, embedSource(container, registerIt));
    if (!depfile.empty()) {
      std::string d = (embed.empty() ? output : embed) + ":";
      d += " " + script;
      for (const std::string& in : compiler.inputs()) {
        d += " ";
        for (char c : in) {
          if (c == ' ') d += '\\';
          d += c;
        }
      }
      writeBytes(depfile, d + "\n");
    }
  } catch (const Failure& f) {
    std::cerr << "qvrc: " << f.message << "\n";
    return 1;
  }
  return 0;
}
