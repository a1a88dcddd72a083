// The private-profile (INI) functions on a table of tricky files: long
// values, quotes, blanks around "=", duplicate keys and sections, case,
// lines without "=", comments, numbers of every shape, empty and missing
// keys, buffers too small, CRLF and LF line ends, an empty section name,
// and writes, with the file's bytes after each write.
#include <cstdio>
#include <string>
#include <vector>

#include "Conformance.h"

namespace {

const char* const kFile = ".\\conf.ini";

void writeFile(const std::string& bytes) {
  std::FILE* f = std::fopen("conf.ini", "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::string readFile() {
  std::string out;
  std::FILE* f = std::fopen("conf.ini", "rb");
  if (f == nullptr) return "<no file>";
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

// A returned buffer up to the answer plus the NULs that end it.
void returned(const char* label, DWORD n, const std::vector<char>& buf) {
  conf::value(label, n);
  std::size_t shown = std::min<std::size_t>(buf.size(), static_cast<std::size_t>(n) + 2);
  conf::bytes("buffer", buf.data(), shown);
}

void getString(const char* app, const char* key, const char* def, DWORD size) {
  std::vector<char> buf(size ? size : 1, '@');
  DWORD n = GetPrivateProfileStringA(app, key, def, buf.data(), size, kFile);
  returned("GetPrivateProfileString", n, buf);
}

void getInt(const char* app, const char* key, int def) {
  conf::value("GetPrivateProfileInt", static_cast<long long>(static_cast<int>(GetPrivateProfileIntA(app, key, def, kFile))));
}

void getSection(const char* app, DWORD size) {
  std::vector<char> buf(size ? size : 1, '@');
  DWORD n = GetPrivateProfileSectionA(app, buf.data(), size, kFile);
  returned("GetPrivateProfileSection", n, buf);
}

void getNames(DWORD size) {
  std::vector<char> buf(size ? size : 1, '@');
  DWORD n = GetPrivateProfileSectionNamesA(buf.data(), size, kFile);
  returned("GetPrivateProfileSectionNames", n, buf);
}

const char* const kTricky =
    "; a comment before any section\r\n"
    "[Main]\r\n"
    "plain=value\r\n"
    "  spaced   =   padded value   \r\n"
    "quoted=\"in quotes\"\r\n"
    "single='in single quotes'\r\n"
    "half=\"opened only\r\n"
    "inner=a \"b\" c\r\n"
    "mixed=\"a'\r\n"
    "empty=\r\n"
    "equals=a=b=c\r\n"
    "Case=upper\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "no equals sign here\r\n"
    "; key=commented\r\n"
    "#hash=comment?\r\n"
    "=no key\r\n"
    "tab\t=\ttabbed\t\r\n"
    "hex=0x10\r\n"
    "HEX=0X1F\r\n"
    "lead=  12abc\r\n"
    "neg=-5\r\n"
    "plus=+7\r\n"
    "word=abc\r\n"
    "big=4294967297\r\n"
    "minus zero=-0\r\n"
    "blank=   \r\n"
    "[main]\r\n"
    "plain=from the second section\r\n"
    "late=only here\r\n"
    "[ Spaced Section ]\r\n"
    "k=v\r\n"
    "[Broken\r\n"
    "hidden=1\r\n"
    "[Last]\r\n"
    "end=no line break";

void reads() {
  writeFile(kTricky);
  const char* keys[] = {"plain",  "spaced", "quoted", "single",  "half",  "inner",  "mixed",
                        "empty",  "equals", "case",   "CASE",    "dup",   "no equals sign here",
                        "; key",  "#hash",  "",       "tab",     "late",  "hidden", "missing",
                        "blank",  " plain "};
  for (const char* k : keys) {
    conf::begin(std::string("string [Main] ") + (*k ? k : "(empty key)"));
    getString("Main", k, "default", 64);
  }
  conf::begin("string default with trailing blanks");
  getString("Main", "missing", "  dflt  ", 64);
  conf::begin("string null default");
  getString("Main", "missing", nullptr, 64);
  conf::begin("string missing section");
  getString("Nowhere", "plain", "d", 64);
  conf::begin("string section names match without case or blanks");
  getString("MAIN", "plain", "d", 64);
  getString("Spaced Section", "k", "d", 64);
  getString(" Spaced Section ", "k", "d", 64);
  getString("Last", "end", "d", 64);
  conf::begin("string missing file");
  std::vector<char> buf(16, '@');
  DWORD n = GetPrivateProfileStringA("a", "b", "def", buf.data(), 16, ".\\no such file.ini");
  returned("GetPrivateProfileString", n, buf);
  for (DWORD size : {1u, 2u, 3u, 5u, 6u, 7u}) {
    conf::begin("string buffer of " + std::to_string(size));
    getString("Main", "plain", "default", size);
    getString("Main", "missing", "default", size);
  }
  const char* ints[] = {"hex", "HEX", "lead", "neg", "plus", "word", "big", "minus zero",
                        "empty", "blank", "missing", "plain", "quoted"};
  for (const char* k : ints) {
    conf::begin(std::string("int [Main] ") + k);
    getInt("Main", k, 99);
  }
  conf::begin("int negative default");
  getInt("Main", "missing", -3);
  for (DWORD size : {200u, 40u, 20u, 8u, 3u, 2u, 1u}) {
    conf::begin("key list, buffer of " + std::to_string(size));
    getString("Main", nullptr, "d", size);
  }
  for (DWORD size : {200u, 12u, 6u, 3u, 2u}) {
    conf::begin("section names, buffer of " + std::to_string(size));
    getNames(size);
    std::vector<char> b(size, '@');
    DWORD k = GetPrivateProfileStringA(nullptr, nullptr, "d", b.data(), size, kFile);
    returned("GetPrivateProfileString without section", k, b);
  }
  for (DWORD size : {400u, 30u, 10u, 2u}) {
    conf::begin("section, buffer of " + std::to_string(size));
    getSection("Main", size);
  }
  conf::begin("section missing");
  getSection("Nowhere", 20);
}

void lineEnds() {
  const struct {
    const char* name;
    const char* text;
  } files[] = {
      {"lf", "[A]\nx=1\ny=two\n[B]\nz=3\n"},
      {"cr only", "[A]\rx=1\ry=two\r"},
      {"mixed", "[A]\r\nx=1\ny=two\r\n"},
      {"no final break", "[A]\r\nx=1"},
      {"blank lines", "\r\n\r\n[A]\r\n\r\nx=1\r\n\r\n"},
      {"spaces before header", "   [A]\r\n   x=1\r\n"},
  };
  for (const auto& f : files) {
    conf::begin(std::string("line ends ") + f.name);
    writeFile(f.text);
    getString("A", "x", "d", 32);
    getString("A", "y", "d", 32);
    getSection("A", 64);
    getNames(64);
  }
}

void emptySectionName() {
  writeFile("[first]\r\na=1\r\n[]\r\nb=2\r\n[after]\r\nc=3\r\n");
  conf::begin("empty section name in the list");
  getNames(64);
  conf::begin("empty section name read");
  getString("", "b", "d", 32);
  getString("after", "c", "d", 32);
  getSection("", 32);
}

void longValues() {
  std::string v(3000, 'x');
  for (int i = 0; i < 3000; i += 100) v[static_cast<std::size_t>(i)] = static_cast<char>('A' + i / 100 % 26);
  writeFile("[L]\r\nlong=" + v + "\r\nafter=ok\r\n");
  conf::begin("long value, buffer of 4096");
  std::vector<char> buf(4096, '@');
  DWORD n = GetPrivateProfileStringA("L", "long", "", buf.data(), 4096, kFile);
  conf::value("GetPrivateProfileString", n);
  conf::text("value", std::string(buf.data(), n));
  conf::begin("long value, buffer of 2048");
  std::vector<char> small(2048, '@');
  n = GetPrivateProfileStringA("L", "long", "", small.data(), 2048, kFile);
  conf::value("GetPrivateProfileString", n);
  conf::text("value", std::string(small.data(), n));
  conf::value("terminator", small[n]);
  getString("L", "after", "d", 16);
}

void writes() {
  const struct {
    const char* name;
    const char* before;
    const char* app;
    const char* key;
    const char* value;
  } cases[] = {
      {"replace a value", "[A]\r\nx=1\r\ny=2\r\n", "A", "x", "new"},
      {"replace keeps the key's spelling", "[A]\r\nKey = 1\r\n", "A", "KEY", "2"},
      {"replace the first of duplicates", "[A]\r\nx=1\r\nx=2\r\n", "A", "x", "3"},
      {"add a key", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", "z", "9"},
      {"add a section", "[A]\r\nx=1\r\n", "New", "k", "v"},
      {"add to a file without final break", "[A]\r\nx=1", "A", "y", "2"},
      {"add to an lf file", "[A]\nx=1\n", "A", "y", "2"},
      {"write an empty value", "[A]\r\nx=1\r\n", "A", "x", ""},
      {"write a value with blanks", "[A]\r\nx=1\r\n", "A", "x", "  padded  "},
      {"write a quoted value", "[A]\r\nx=1\r\n", "A", "x", "\"q\""},
      {"delete a key", "[A]\r\nx=1\r\ny=2\r\n", "A", "x", nullptr},
      {"delete a missing key", "[A]\r\nx=1\r\n", "A", "nope", nullptr},
      {"delete a section", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "A", nullptr, nullptr},
      {"delete a section with comments", "[A]\r\nx=1\r\n; about B\r\n[B]\r\ny=2\r\n", "A", nullptr, nullptr},
      {"write into a new file", nullptr, "A", "x", "1"},
      {"section name case", "[Sect]\r\nx=1\r\n", "SECT", "y", "2"},
  };
  for (const auto& c : cases) {
    conf::begin(std::string("write ") + c.name);
    std::remove("conf.ini");
    if (c.before) writeFile(c.before);
    conf::value("WritePrivateProfileString", WritePrivateProfileStringA(c.app, c.key, c.value, kFile));
    conf::text("file", readFile());
  }
  const struct {
    const char* name;
    const char* before;
    const char* app;
    std::string lines;
  } sections[] = {
      {"replace a section", "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n", "A", std::string("p=1\0q=2\0", 8)},
      {"add a section", "[A]\r\nx=1\r\n", "B", std::string("p=1\0", 4)},
      {"lines without equals", "[A]\r\nx=1\r\n", "A", std::string("just text\0k=v\0", 14)},
  };
  for (const auto& c : sections) {
    conf::begin(std::string("write section ") + c.name);
    writeFile(c.before);
    std::string lines = c.lines + std::string(1, '\0');
    conf::value("WritePrivateProfileSection", WritePrivateProfileSectionA(c.app, lines.data(), kFile));
    conf::text("file", readFile());
  }
  conf::begin("write section delete");
  writeFile("[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  conf::value("WritePrivateProfileSection", WritePrivateProfileSectionA("A", nullptr, kFile));
  conf::text("file", readFile());
  conf::begin("write without section");
  writeFile("[A]\r\nx=1\r\n");
  conf::value("WritePrivateProfileString", WritePrivateProfileStringA(nullptr, "x", "1", kFile));
  conf::text("file", readFile());
}

}  // namespace

void conf::run() {
  reads();
  lineEnds();
  emptySectionName();
  longValues();
  writes();
}
