#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "DesktopTest.h"
#include "platform/classlib/IniFiles.h"
#include "platform/os/kernel/Paths.h"

namespace {

// The rules both INI classes share run once for each of them.
template <class T>
class IniRules : public qvtest::DesktopTest {
 protected:
  std::unique_ptr<TCustomIniFile> open(const std::string& text) {
    std::string f = writeFile("rules.ini", text);
    return std::make_unique<T>(f);
  }
};
using IniClasses = ::testing::Types<TIniFile, TMemIniFile>;
TYPED_TEST_SUITE(IniRules, IniClasses);

const char* const kSettings =
    "; settings\r\n"
    "[quorvel]\r\n"
    "dec=42\r\n"
    "hex=0x1F\r\n"
    "HexUpper=0X1f\r\n"
    "dollar=$10\r\n"
    "neg=-3\r\n"
    "bad=12abc\r\n"
    "word=yes\r\n"
    "empty=\r\n"
    "onlyprefix=0x\r\n"
    "huge=99999999999\r\n"
    "spaced =  7  \r\n"
    "quoted=\"5\"\r\n"
    "bool2=2\r\n"
    "boolhexzero=0x0\r\n"
    "Dup=first\r\n"
    "dup=second\r\n"
    "[Quorvel]\r\n"
    "late=1\r\n"
    "[autorun]\r\n"
    "open=qvlaunch.exe";

TYPED_TEST(IniRules, IntegersAndBooleans) {
  auto ini = this->open(kSettings);
  struct Case {
    const char* ident;
    int integer;   // ReadInteger with default -99
    bool boolean;  // ReadBool with default true
  } cases[] = {
      {"dec", 42, true},         {"hex", 31, true},         {"HEXUPPER", 31, true}, {"dollar", 16, true},
      {"neg", -3, true},         {"bad", -99, true},        {"word", -99, true},    {"empty", -99, true},
      {"onlyprefix", -99, true}, {"huge", -99, true},       {"spaced", 7, true},    {"quoted", 5, true},
      {"bool2", 2, true},        {"boolhexzero", 0, false}, {"missing", -99, true}, {"late", -99, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini->ReadInteger("QUORVEL", c.ident, -99), c.integer) << c.ident;
    EXPECT_EQ(ini->ReadBool("quorvel", c.ident, true), c.boolean) << c.ident;
  }
  EXPECT_FALSE(ini->ReadBool("quorvel", "missing", false));
  EXPECT_FALSE(ini->ReadBool("quorvel", "word", false));
}

TYPED_TEST(IniRules, NamesSectionsAndDuplicates) {
  auto ini = this->open(kSettings);
  EXPECT_EQ(ini->ReadString("Quorvel", "DUP", ""), "first");
  EXPECT_EQ(ini->ReadString("autorun", "open", ""), "qvlaunch.exe") << "last line without line break";
  EXPECT_EQ(ini->ReadString("autorun", "icon", "none"), "none");

  TStringList list;
  ini->ReadSections(&list);
  // The file's own list names every header, the repeated one too; the
  // in-memory file keeps one section per name.
  if constexpr (std::is_same_v<TypeParam, TIniFile>) {
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(0), "quorvel");
    EXPECT_EQ(list.Strings(1), "Quorvel");
    EXPECT_EQ(list.Strings(2), "autorun");
  } else {
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(0), "quorvel");
    EXPECT_EQ(list.Strings(1), "autorun");
  }
  ini->ReadSection("AUTORUN", &list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Strings(0), "open");
  ini->ReadSectionValues("quorvel", &list);
  EXPECT_EQ(list.Strings(0), "dec=42");
  EXPECT_EQ(list.Values("quoted"), "5");
  EXPECT_EQ(list.Values("dup"), "first");

  EXPECT_TRUE(ini->SectionExists("Autorun"));
  EXPECT_FALSE(ini->SectionExists("fulltextsearchengine"));
  EXPECT_TRUE(ini->ValueExists("autorun", "OPEN"));
  EXPECT_FALSE(ini->ValueExists("autorun", "icon"));
}

TYPED_TEST(IniRules, WritesKeepOtherLines) {
  auto ini = this->open("; head\r\n[quorvel]\r\nstartpage=index.htm\r\n; note\r\n\r\n[autorun]\r\nopen=x.exe");
  ini->WriteBool("quorvel", "singleinstance", true);
  ini->WriteBool("quorvel", "dropshadow", false);
  ini->WriteInteger("Quorvel", "splashscreentime", -2);
  ini->WriteString("QUORVEL", "StartPage", "start.htm");
  ini->DeleteKey("autorun", "open");
  ini->WriteString("fulltextsearchengine", "index", "Index.qvix");
  ini->UpdateFile();
  EXPECT_EQ(this->readFile(this->hostPath("rules.ini")),
            "; head\r\n[quorvel]\r\nstartpage=start.htm\r\nsingleinstance=1\r\ndropshadow=0\r\n"
            "splashscreentime=-2\r\n; note\r\n\r\n[autorun]\r\n[fulltextsearchengine]\r\nindex=Index.qvix\r\n");
  ini->EraseSection("autorun");
  ini->UpdateFile();
  EXPECT_FALSE(ini->SectionExists("autorun"));
  EXPECT_EQ(TIniFile(this->hostPath("rules.ini")).ReadString("fulltextsearchengine", "index", ""), "Index.qvix");
}

TYPED_TEST(IniRules, MissingFile) {
  auto ini = std::make_unique<TypeParam>(this->hostPath("absent.ini"));
  EXPECT_EQ(ini->ReadString("a", "b", "default"), "default");
  EXPECT_EQ(ini->ReadInteger("a", "b", 5), 5);
  TStringList list;
  list.Add("stale");
  ini->ReadSections(&list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(ini->SectionExists("a"));
}

using IniFile = qvtest::DesktopTest;

TEST_F(IniFile, ValuesAreCutAt2047Characters) {
  std::string longValue(3000, 'a');
  longValue[2046] = 'Z';
  std::string f = writeFile("long.ini", "[s]\r\nv=" + longValue + "\r\n");
  std::string read = TIniFile(f).ReadString("s", "v", "");
  EXPECT_EQ(read.size(), 2047u);
  EXPECT_EQ(read.back(), 'Z');
  // The in-memory class has no such buffer.
  EXPECT_EQ(TMemIniFile(f).ReadString("s", "v", ""), longValue);
}

TEST_F(IniFile, WriteFailureRaises) {
  std::string f = hostPath("no/folder/x.ini");
  TIniFile ini(f);
  try {
    ini.WriteString("s", "k", "v");
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + f);
  }
  EXPECT_NO_THROW(ini.DeleteKey("s", "k"));
  // Erasing what is not there changes nothing and succeeds; a file that
  // cannot even be read (its folder is a file) fails.
  EXPECT_NO_THROW(ini.EraseSection("s"));
  writeFile("plain", "not a folder");
  EXPECT_THROW(TIniFile(hostPath("plain/x.ini")).EraseSection("s"), EIniFileException);

  TMemIniFile mem(f);
  mem.WriteString("s", "k", "v");
  EXPECT_THROW(mem.UpdateFile(), EFCreateError);
}

TEST_F(IniFile, MemIniFileWritesOnlyOnUpdate) {
  std::string f = writeFile("m.ini", "[a]\r\n; keep\r\nx=1\r\n");
  TMemIniFile mem(f);
  mem.WriteString("a", "y", "2");
  EXPECT_EQ(readFile(f), "[a]\r\n; keep\r\nx=1\r\n");
  EXPECT_EQ(mem.ReadString("A", "Y", ""), "2");
  mem.UpdateFile();
  EXPECT_EQ(readFile(f), "[a]\r\n; keep\r\nx=1\r\ny=2\r\n");

  TStringList lines;
  mem.GetStrings(&lines);
  ASSERT_EQ(lines.Count(), 4);
  EXPECT_EQ(lines.Strings(1), "; keep");
  lines.Clear();
  lines.Add("[b]");
  lines.Add("z = 3");
  mem.SetStrings(&lines);
  EXPECT_EQ(mem.ReadInteger("b", "z", 0), 3);
  EXPECT_FALSE(mem.SectionExists("a"));

  writeFile("other.ini", "[c]\r\nw=4\r\n");
  mem.Rename(hostPath("other.ini"), true);
  EXPECT_EQ(mem.ReadInteger("c", "w", 0), 4);
  mem.Clear();
  EXPECT_FALSE(mem.SectionExists("c"));
}

// A bare file name: the profile functions look in the Windows folder, the
// in-memory class opens it in the current folder like any other file.
TEST_F(IniFile, BareNames) {
  writeFile("work/bare.ini", "[s]\r\nwhere=current folder\r\n");
  ASSERT_TRUE(SetCurrentDirectory(hostPath("work").c_str()));
  TIniFile ini("bare.ini");
  ini.WriteString("s", "where", "windows folder");
  auto inWindows = qv::os::toHostPath("C:\\WINDOWS\\bare.ini");
  ASSERT_TRUE(inWindows);
  EXPECT_EQ(readFile(*inWindows), "[s]\r\nwhere=windows folder\r\n");
  EXPECT_EQ(TMemIniFile("bare.ini").ReadString("s", "where", ""), "current folder");
}

}  // namespace
