#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/StrUtils.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/Paths.h"

TEST(StrToInt, AcceptsWhatTheClassLibraryAccepts) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  };
  const Case cases[] = {
      {"0", true, 0},
      {"42", true, 42},
      {"-5", true, -5},
      {"+7", true, 7},
      {" 5", true, 5},  // leading blanks are skipped
      {"5 ", false, 0},  // trailing ones are not
      {"\t5", false, 0},
      {"0x10", true, 16},
      {"0X1f", true, 31},
      {"$10", true, 16},
      {"x10", true, 16},
      {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},  // hexadecimal fills the whole 32 bits
      {"$100000000", false, 0},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"99999999999", false, 0},
      {"abc", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"0x", false, 0},
      {"$", false, 0},
      {"12abc", false, 0},
      {"1.5", false, 0},
  };
  for (const Case& c : cases) {
    int v = 12345;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
      EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    } else {
      EXPECT_EQ(v, 12345) << c.text;  // untouched on failure
      EXPECT_EQ(StrToIntDef(c.text, -9), -9) << c.text;
      try {
        StrToInt(c.text);
        ADD_FAILURE() << c.text;
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), std::string("'") + c.text + "' is not a valid integer value");
      }
    }
  }
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64Def("9223372036854775808", 1), 1);
  EXPECT_EQ(StrToInt64("-$8000000000000000"), INT64_MIN);
}

TEST(IntToText, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(-12), "-12");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x1234, 2), "1234");  // never cut
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");  // in the width of the type
  EXPECT_EQ(IntToHex(std::int64_t{-2}, 2), "FFFFFFFFFFFFFFFE");
}

TEST(FloatText, UsesTheLocaleDecimalSeparator) {
  char saved = DecimalSeparator;
  GetFormatSettings();
  EXPECT_EQ(DecimalSeparator, ',');  // the German desktop's
  EXPECT_EQ(ThousandSeparator, '.');
  EXPECT_EQ(Format("%n", {1234.5}), "1.234,50");
  struct Case {
    double v;
    const char* text;
  };
  const Case cases[] = {
      {1.5, "1,5"},    {-0.25, "-0,25"}, {100, "100"},     {0.0001, "0,0001"}, {0.00001, "1E-5"},
      {1e15, "1E15"},  {123456789012345.0, "123456789012345"}, {1.0 / 3, "0,333333333333333"}, {0, "0"},
      {2.5e-10, "2,5E-10"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.v), c.text);
  EXPECT_DOUBLE_EQ(StrToFloat(" 1,5 "), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloat("-2,5E3"), -2500);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);  // "." is not this locale's separator
  EXPECT_EQ(StrToFloatDef("abc", 7), 7);
  DecimalSeparator = '.';
  EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_EQ(FloatToStr(0.5), "0.5");
  DecimalSeparator = saved;
}

TEST(FormatText, SpecifiersWidthsIndexesAndErrors) {
  char saved = DecimalSeparator, savedThousands = ThousandSeparator;
  DecimalSeparator = '.';
  ThousandSeparator = ',';
  struct Case {
    const char* fmt;
    TVarRecs args;
    const char* out;
  };
  const std::vector<Case> cases = {
      {"%d items", {5}, "5 items"},
      {"%5d|%-5d|", {42, 42}, "   42|42   |"},
      {"%.4d", {-7}, "-0007"},
      {"%x %X %.4x", {255, 255, 26}, "FF FF 001A"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%u", {-1}, "4294967295"},
      {"%s and %s", {"a", std::string("b")}, "a and b"},
      {"[%6s][%-6s][%.2s]", {"abc", "abc", "abc"}, "[   abc][abc   ][ab]"},
      {"%s", {'c'}, "c"},
      {"%1:s %0:s %s", {"a", "b"}, "b a b"},
      {"%*d", {4, 7}, "   7"},
      {"%.*f", {1, 2.25}, "2.3"},
      {"%f %.0f %.3f %.2f", {1.0, 2.5, -0.0004, 0.125}, "1.00 3 0.000 0.13"},  // halves round up
      {"%g %g", {0.5, 1e20}, "0.5 1E20"},
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {-0.000123}, "-1.23E-004"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"100%% %D %S", {1, "x"}, "100% 1 x"},
      {"no args", {}, "no args"},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.fmt, c.args), c.out) << c.fmt;

  struct Bad {
    const char* fmt;
    TVarRecs args;
    const char* message;
  };
  const std::vector<Bad> bad = {
      {"%d", {"x"}, "Format '%d' invalid or incompatible with argument"},
      {"%s", {5}, "Format '%s' invalid or incompatible with argument"},
      {"%f", {5}, "Format '%f' invalid or incompatible with argument"},
      {"%q", {5}, "Format '%q' invalid or incompatible with argument"},
      {"%", {5}, "Format '%' invalid or incompatible with argument"},
      {"%d %d", {5}, "No argument for format '%d %d'"},
  };
  for (const Bad& b : bad) {
    try {
      Format(b.fmt, b.args);
      ADD_FAILURE() << b.fmt;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), b.message);
    }
  }
  DecimalSeparator = saved;
  ThousandSeparator = savedThousands;
}

TEST(TimeValues, EncodeAndDecodeTheTimeOfDay) {
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 60, 0), EConvertError);
  struct Case {
    TDateTime value;
    WORD hour, min, sec, msec;
  };
  const Case cases[] = {
      {EncodeTime(23, 59, 59, 999), 23, 59, 59, 999},
      {45000.75, 18, 0, 0, 0},  // the date part is ignored
      {-1.25, 6, 0, 0, 0},      // before the epoch: the fraction counts from midnight
      {0.9999999999, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    WORD h = 99, m = 99, s = 99, ms = 99;
    DecodeTime(c.value, h, m, s, ms);
    EXPECT_EQ(h, c.hour) << c.value;
    EXPECT_EQ(m, c.min) << c.value;
    EXPECT_EQ(s, c.sec) << c.value;
    EXPECT_EQ(ms, c.msec) << c.value;
  }
}

TEST(StringRoutines, PosCopyDeleteInsert) {
  struct PosCase {
    const char* sub;
    const char* s;
    int pos;
  };
  for (PosCase c : {PosCase{"b", "abc", 2}, PosCase{"a", "abca", 1}, PosCase{"x", "abc", 0}, PosCase{"", "abc", 0},
                    PosCase{"abcd", "abc", 0}, PosCase{"A", "abc", 0}})
    EXPECT_EQ(Pos(c.sub, c.s), c.pos) << c.sub << " in " << c.s;

  struct CopyCase {
    int index, count;
    const char* out;
  };
  for (CopyCase c : {CopyCase{1, 2, "ab"}, CopyCase{2, 100, "bcd"}, CopyCase{0, 2, "ab"}, CopyCase{-5, 1, "a"},
                     CopyCase{4, 1, "d"}, CopyCase{5, 1, ""}, CopyCase{2, 0, ""}, CopyCase{2, -1, ""}})
    EXPECT_EQ(Copy("abcd", c.index, c.count), c.out) << c.index << "," << c.count;
  EXPECT_EQ(Copy("abcd", 3), "cd");

  std::string s = "abcdef";
  Delete(s, 2, 2);
  EXPECT_EQ(s, "adef");
  Delete(s, 3, 100);
  EXPECT_EQ(s, "ad");
  Delete(s, 0, 1);  // out of range: unchanged
  Delete(s, 3, 1);
  EXPECT_EQ(s, "ad");
  Insert("XY", s, 2);
  EXPECT_EQ(s, "aXYd");
  Insert("!", s, 99);
  EXPECT_EQ(s, "aXYd!");
  EXPECT_EQ(LastDelimiter("\\.", "a\\b.c.d"), 6);
  EXPECT_EQ(LastDelimiter("/", "abc"), 0);
}

TEST(StringRoutines, StringReplaceFlags) {
  struct Case {
    const char* s;
    const char* from;
    const char* to;
    TReplaceFlags flags;
    const char* out;
  };
  const Case cases[] = {
      {"a-b-c", "-", "+", {}, "a+b-c"},
      {"a-b-c", "-", "+", {rfReplaceAll}, "a+b+c"},
      {"Hello hello", "HELLO", "bye", {rfReplaceAll}, "Hello hello"},
      {"Hello hello", "HELLO", "bye", {rfIgnoreCase}, "bye hello"},
      {"Hello hello", "HELLO", "bye", {rfReplaceAll, rfIgnoreCase}, "bye bye"},
      {"\xC4rger \xE4rger", "\xE4RGER", "x", {rfReplaceAll, rfIgnoreCase}, "x x"},
      {"aaa", "aa", "a", {rfReplaceAll}, "aa"},  // no rescanning of replaced text
      {"abc", "", "x", {rfReplaceAll}, "abc"},
      {"abc", "b", "", {}, "ac"},
  };
  for (const Case& c : cases) EXPECT_EQ(StringReplace(c.s, c.from, c.to, c.flags), c.out) << c.s;
}

TEST(StringRoutines, TrimCaseAndCompare) {
  EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x \n"), "  x");
  EXPECT_EQ(Trim("\xA0x"), "\xA0x");  // a no-break space is above ' '

  EXPECT_EQ(UpperCase("abc\xE4\xFC"), "ABC\xE4\xFC");  // ASCII only
  EXPECT_EQ(LowerCase("ABC\xC4"), "abc\xC4");
  EXPECT_EQ(AnsiUpperCase("gr\xF6\xDF" "e \xE9\x9A\xFF"), "GR\xD6\xDF" "E \xC9\x8A\x9F");  // ß stays
  EXPECT_EQ(AnsiLowerCase("\xC4\xD6\xDC\xD7\x8C"), "\xE4\xF6\xFC\xD7\x9C");  // × is no letter

  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "abd"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_GT(CompareText("_", "a"), 0);  // letters fold to upper case, which is below "_"
  EXPECT_NE(CompareText("\xE4", "\xC4"), 0);  // CompareText folds ASCII only
  EXPECT_EQ(AnsiCompareText("\xE4pfel", "\xC4PFEL"), 0);
  EXPECT_LT(CompareStr("B", "a"), 0);
  EXPECT_LT(AnsiCompareStr("a", "B"), 0);  // the locale orders letters first
  EXPECT_LT(AnsiCompareStr("a", "A"), 0);  // then lower case before upper case
  EXPECT_TRUE(SameText("Quorvel", "QUORVEL"));
  EXPECT_FALSE(SameText("Quorvel", "Quorve"));
}

TEST(StringRoutines, StrUtilsTestsAndCuts) {
  EXPECT_EQ(PosEx("a", "banana", 3), 4);
  EXPECT_EQ(PosEx("a", "banana", 7), 0);
  EXPECT_EQ(PosEx("a", "banana", 0), 0);
  EXPECT_TRUE(AnsiStartsText("ACTION:", "action:onlinehelp"));
  EXPECT_FALSE(AnsiStartsStr("ACTION:", "action:onlinehelp"));
  EXPECT_FALSE(AnsiStartsText("action:x", "action:"));
  EXPECT_TRUE(AnsiEndsText(".HTM", "index.htm"));
  EXPECT_FALSE(AnsiEndsStr(".HTM", "index.htm"));
  EXPECT_TRUE(AnsiContainsText("Gr\xF6\xDF" "e", "\xD6"));
  EXPECT_EQ(AnsiReplaceText("a#B#b", "b", "x"), "a#x#x");
  EXPECT_EQ(LeftStr("abc", 5), "abc");
  EXPECT_EQ(RightStr("abc", 2), "bc");
  EXPECT_EQ(RightStr("abc", -1), "");
  EXPECT_EQ(MidStr("abcdef", 2, 3), "bcd");
  EXPECT_EQ(DupeString("ab", 3), "ababab");
}

TEST(StringRoutines, QuotingAndIdentifiers) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(AnsiQuotedStr("say \"x\"", '"'), "\"say \"\"x\"\"\"");
  struct Case {
    const char* in;
    const char* out;
  };
  for (Case c : {Case{"'it''s'", "it's"}, Case{"''", ""}, Case{"plain", "plain"}, Case{"'open", "'open"},
                 Case{"'a'b", "'a'b"}})
    EXPECT_EQ(AnsiDequotedStr(c.in, '\''), c.out) << c.in;
  const char* p = "\"a\"\"b\" rest";
  EXPECT_EQ(AnsiExtractQuotedStr(p, '"'), "a\"b");
  EXPECT_STREQ(p, " rest");

  for (const char* ok : {"a", "_", "Form1", "_x_9"}) EXPECT_TRUE(IsValidIdent(ok)) << ok;
  for (const char* no : {"", "1a", "a-b", "a b", "a.b", "\xE4"}) EXPECT_FALSE(IsValidIdent(no)) << no;
}

TEST(FileNames, ExtractPartsAsTheClassLibrary) {
  struct Case {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
    const char* drive;
  };
  const Case cases[] = {
      {"C:\\Disc\\Start.EXE", "C:\\Disc\\", "C:\\Disc", "Start.EXE", ".EXE", "C:"},
      {"C:\\Start.exe", "C:\\", "C:\\", "Start.exe", ".exe", "C:"},
      {"D:file.txt", "D:", "D:", "file.txt", ".txt", "D:"},
      {"file", "", "", "file", "", ""},
      {"a.b\\c", "a.b\\", "a.b", "c", "", ""},
      {"dir\\.hidden", "dir\\", "dir", ".hidden", ".hidden", ""},
      {"x\\y.tar.gz", "x\\", "x", "y.tar.gz", ".gz", ""},
      {"folder\\", "folder\\", "folder", "", "", ""},
      {"a/b.txt", "", "", "a/b.txt", ".txt", ""},  // "/" is not a separator here
      {"\\\\srv\\share\\f.txt", "\\\\srv\\share\\", "\\\\srv\\share", "f.txt", ".txt", "\\\\srv\\share"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    EXPECT_EQ(ExtractFileDrive(c.name), c.drive) << c.name;
  }
  EXPECT_EQ(ChangeFileExt("C:\\a.b\\set.ini", ".inf"), "C:\\a.b\\set.inf");
  EXPECT_EQ(ChangeFileExt("C:\\a.b\\set", ".inf"), "C:\\a.b\\set.inf");
  EXPECT_EQ(ChangeFileExt("name.txt", ""), "name");

  struct Trail {
    const char* in;
    const char* with;
    const char* without;
  };
  for (Trail t : {Trail{"C:\\a", "C:\\a\\", "C:\\a"}, Trail{"C:\\a\\", "C:\\a\\", "C:\\a"},
                  Trail{"C:\\", "C:\\", "C:"}, Trail{"", "\\", ""}}) {
    EXPECT_EQ(IncludeTrailingBackslash(t.in), t.with) << t.in;
    EXPECT_EQ(IncludeTrailingPathDelimiter(t.in), t.with) << t.in;
    EXPECT_EQ(ExcludeTrailingBackslash(t.in), t.without) << t.in;
  }
}

TEST(FileNames, ExtractRelativePath) {
  struct Case {
    const char* base;
    const char* dest;
    const char* out;
  };
  const Case cases[] = {
      {"C:\\Disc\\autorun.inf", "C:\\Disc\\pages\\index.htm", "pages\\index.htm"},
      {"C:\\Disc\\autorun.inf", "C:\\Disc\\start.htm", "start.htm"},
      {"C:\\Disc\\sub\\x.inf", "C:\\Disc\\start.htm", "..\\start.htm"},
      {"C:\\a\\b\\c\\", "C:\\a\\x\\y.txt", "..\\..\\x\\y.txt"},
      {"c:\\DISC\\", "C:\\disc\\Pages\\a.htm", "Pages\\a.htm"},  // case does not matter
      {"C:\\Disc\\", "D:\\Other\\a.htm", "D:\\Other\\a.htm"},    // other drive: unchanged
      {"C:\\Disc\\project", "C:\\Disc\\project\\a.htm", "project\\a.htm"},  // base is a file name
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractRelativePath(c.base, c.dest), c.out) << c.base << " " << c.dest;
}

TEST(CommandLine, ParamSplittingGroupsQuotesWithoutEscapes) {
  struct Case {
    const char* line;
    std::vector<std::string> params;
  };
  const Case cases[] = {
      {"prog.exe a b", {"prog.exe", "a", "b"}},
      {"\"C:\\Program Files\\q.exe\"  one\t two", {"C:\\Program Files\\q.exe", "one", "two"}},
      {"p \"a b\" c\"d e\"f", {"p", "a b", "cd ef"}},
      {"p C:\\dir\\ \"x\\\"", {"p", "C:\\dir\\", "x\\"}},  // backslashes are plain characters
      {"p \"\" x", {"p", "x"}},                         // an empty pair is skipped
      {"p \"unterminated arg", {"p", "unterminated arg"}},
      {"p a \"", {"p", "a"}},                           // a lone quote ends the list
      {"   ", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(qv::classlib::splitParams(c.line), c.params) << c.line;
}

TEST(Buffers, StrPasAndCopies) {
  char buf[8];
  StrPCopy(buf, "abc");
  EXPECT_STREQ(buf, "abc");
  StrLCopy(buf, "abcdefghij", 4);
  EXPECT_STREQ(buf, "abcd");
  StrPLCopy(buf, "xy", 7);
  EXPECT_STREQ(buf, "xy");
  EXPECT_EQ(StrPas(nullptr), "");
  EXPECT_EQ(StrLen(buf), 2u);
}

class SysUtilsFileTest : public qvtest::DesktopTest {
 protected:
  // The test's folder in the platform's form.
  std::string win(const std::string& relative) const { return qv::os::toWindowsPath(hostPath(relative)); }
};

TEST_F(SysUtilsFileTest, ExistenceCreationRenameDelete) {
  writeFile("Disc/AUTORUN.INF", "x");
  EXPECT_TRUE(FileExists(win("Disc\\autorun.inf")));  // any case
  EXPECT_FALSE(FileExists(win("Disc")));               // a folder is no file
  EXPECT_TRUE(DirectoryExists(win("disc")));
  EXPECT_FALSE(DirectoryExists(win("Disc\\autorun.inf")));
  EXPECT_FALSE(FileExists(win("nothing.txt")));
  EXPECT_FALSE(FileExists(""));

  EXPECT_TRUE(ForceDirectories(win("a\\b\\c")));
  EXPECT_TRUE(std::filesystem::is_directory(hostPath("a/b/c")));
  EXPECT_TRUE(ForceDirectories(win("a\\b\\c\\")));  // existing: fine
  EXPECT_TRUE(ForceDirectories(hostPath("h/i")));    // host paths too
  EXPECT_TRUE(std::filesystem::is_directory(hostPath("h/i")));
  EXPECT_THROW(ForceDirectories(""), EInOutError);
  EXPECT_FALSE(CreateDir(win("x\\y")));  // CreateDir makes one level only

  EXPECT_TRUE(RenameFile(win("Disc\\autorun.inf"), win("Disc\\setup.inf")));
  EXPECT_TRUE(FileExists(win("Disc\\setup.inf")));
  EXPECT_FALSE(RenameFile(win("Disc\\gone.inf"), win("Disc\\x.inf")));
  EXPECT_TRUE(DeleteFile(win("Disc\\setup.inf")));
  EXPECT_FALSE(DeleteFile(win("Disc\\setup.inf")));
  EXPECT_TRUE(RemoveDir(win("a\\b\\c")));
}

TEST_F(SysUtilsFileTest, ExpandFileNameCurrentDirAndFileAge) {
  ASSERT_TRUE(SetCurrentDir(win("")));
  EXPECT_TRUE(SameText(IncludeTrailingBackslash(GetCurrentDir()), IncludeTrailingBackslash(win(""))));
  EXPECT_TRUE(SameText(ExpandFileName("sub\\..\\f.txt"), IncludeTrailingBackslash(win("")) + "f.txt"));
  EXPECT_EQ(ExpandFileName("C:\\a\\.\\b\\..\\c.txt"), "C:\\a\\c.txt");

  writeFile("f.txt", "1");
  int age = FileAge(win("f.txt"));
  EXPECT_NE(age, -1);
  EXPECT_GE((age >> 25) + 1980, 2020);  // the DOS date's year
  EXPECT_EQ(FileAge(win("missing.txt")), -1);
  EXPECT_EQ(FileAge(win("")), -1);  // a folder has no file age
}

TEST_F(SysUtilsFileTest, ParamStrReadsTheProcessCommandLine) {
  qv::os::setCommandLineText("\"C:\\Disc\\qvlaunch.exe\" \"my settings.inf\" C:\\x\\");
  qv::os::setProgramPath("C:\\Disc\\qvlaunch.exe");
  EXPECT_EQ(ParamCount(), 2);
  EXPECT_EQ(ParamStr(0), "C:\\Disc\\qvlaunch.exe");
  EXPECT_EQ(ParamStr(1), "my settings.inf");
  EXPECT_EQ(ParamStr(2), "C:\\x\\");
  EXPECT_EQ(ParamStr(3), "");
  EXPECT_EQ(ParamStr(-1), "");
}
