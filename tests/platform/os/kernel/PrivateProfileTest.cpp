#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "DesktopTest.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/PrivateProfile.h"

namespace {

class PrivateProfile : public qvtest::DesktopTest {
 protected:
  std::string file(const std::string& name, const std::string& text) { return writeFile(name, text); }
  static std::string get(const std::string& path, const char* section, const char* key, const char* def = "<def>",
                         DWORD size = 2048, DWORD* ret = nullptr) {
    std::string buf(size, '\x7F');
    DWORD n = GetPrivateProfileString(section, key, def, buf.data(), size, path.c_str());
    if (ret) *ret = n;
    return std::string(buf.data(), n);
  }
  // A list result (names separated by zeros) as "a|b|c".
  static std::string list(const std::string& path, const char* section, DWORD size = 2048, DWORD* ret = nullptr) {
    std::string buf(size, '\x7F');
    DWORD n = GetPrivateProfileString(section, nullptr, "<def>", buf.data(), size, path.c_str());
    if (ret) *ret = n;
    std::string s(buf.data(), n);
    for (char& c : s)
      if (c == 0) c = '|';
    return s;
  }
};

const char* const kSample =
    "orphan=before any section\r\n"
    "; leading comment\r\n"
    "[Settings]\r\n"
    "  Name =  Quorvel Launch  \r\n"
    "quoted=\"  spaced  \"\r\n"
    "single='x'\r\n"
    "mixed=\"x'\r\n"
    "empty=\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    "no equals sign here\r\n"
    "=no key\r\n"
    ";commented=1\r\n"
    "Number= 42abc\r\n"
    "Hex=0x1F\r\n"
    "Neg=-5\r\n"
    "Umlaut\xC4=\xE4\r\n"
    "[ settings ]\r\n"
    "late=in the duplicate section\r\n"
    "[broken\r\n"
    "inbroken=1\r\n"
    "[Other]\r\n"
    "a=1";

TEST_F(PrivateProfile, ReadRules) {
  std::string f = file("sample.ini", kSample);
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"settings", "NAME", "Quorvel Launch"},  // case, blanks around key and value
      {"Settings", "quoted", "  spaced  "},    // matching quotes removed, inner blanks kept
      {"Settings", "single", "x"},
      {"Settings", "mixed", "\"x'"},  // quotes that do not match stay
      {"Settings", "empty", ""},
      {"Settings", "dup", "first"},   // first duplicate wins
      {"Settings", "late", "<def>"},  // only the first section of a name counts
      {"Settings", "no equals sign here", "<def>"},
      {"Settings", "commented", "<def>"},
      {"Settings", "umlaut\xE4", "\xE4"},  // case-insensitive in Windows-1252
      {"Settings", "orphan", "<def>"},
      {"broken", "inbroken", "<def>"},  // keys under a broken header are skipped
      {"Other", "inbroken", "<def>"},
      {"Other", "a", "1"},  // last line without line break
      {"Missing", "a", "<def>"},
  };
  for (const Case& c : cases) EXPECT_EQ(get(f, c.section, c.key), c.expected) << c.section << "/" << c.key;

  EXPECT_EQ(get(f, "Missing", "a", "trailing   "), "trailing") << "trailing blanks of the default are cut";
  EXPECT_EQ(get(f, "Missing", "a", nullptr), "");
  // The lists name every header and key line, repeated ones as often as
  // they appear; reading takes the first.
  EXPECT_EQ(list(f, nullptr), "Settings|settings|Other|");
  EXPECT_EQ(list(f, "SETTINGS"), "Name|quoted|single|mixed|empty|dup|DUP|Number|Hex|Neg|Umlaut\xC4|");
  EXPECT_EQ(list(f, "Missing"), "");
}

// "[]" names no section: walking the list of names, which ends at an empty
// string, still reaches the sections after it.
TEST_F(PrivateProfile, AnEmptySectionNameIsNoSection) {
  std::string f = file("empty.ini", "[first]\r\na=1\r\n[]\r\nb=2\r\n[ ]\r\nc=3\r\n[after]\r\nd=4\r\n");
  EXPECT_EQ(list(f, nullptr), "first|after|");
  char names[64];
  DWORD n = GetPrivateProfileSectionNames(names, sizeof names, f.c_str());
  EXPECT_EQ(std::string(names, n + 1), std::string("first\0after\0", 13));
  EXPECT_EQ(get(f, "", "b"), "<def>");
  EXPECT_EQ(get(f, "first", "b"), "<def>") << "the keys under it belong to no section";
  EXPECT_EQ(get(f, "after", "d"), "4");
}

TEST_F(PrivateProfile, BufferTruncation) {
  std::string f = file("t.ini", "[Section]\r\nkey=Quorvel\r\nsecond=2\r\n");
  DWORD n = 0;
  EXPECT_EQ(get(f, "Section", "key", "", 5, &n), "Quor");
  EXPECT_EQ(n, 4u) << "a cut value returns size - 1";
  EXPECT_EQ(get(f, "Section", "missing", "default", 4, &n), "def");
  EXPECT_EQ(list(f, nullptr, 6, &n), "Sect");
  EXPECT_EQ(n, 4u) << "a cut list returns size - 2";
  EXPECT_EQ(list(f, "Section", 9, &n), "key|sec");
  EXPECT_EQ(n, 7u);
  EXPECT_EQ(list(f, "Section", 14, &n), "key|second|") << "exactly fits: both zeros";
  EXPECT_EQ(n, 11u);
  // The bytes: a cut string is followed by two zeros; a cut between strings
  // has the whole string's zero and one more, and the last byte is left.
  auto raw = [&](DWORD size) {
    std::string buf(size, '@');
    DWORD k = GetPrivateProfileString("Section", nullptr, "", buf.data(), size, f.c_str());
    return std::make_pair(k, buf);
  };
  EXPECT_EQ(raw(6), std::make_pair(DWORD{4}, std::string("key\0\0@", 6)));
  EXPECT_EQ(raw(7), std::make_pair(DWORD{5}, std::string("key\0s\0\0", 7)));
}

TEST_F(PrivateProfile, MissingFileGivesDefaultAndError) {
  std::string f = hostPath("none.ini");
  SetLastError(0);
  EXPECT_EQ(get(f, "a", "b", "dflt"), "dflt");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(list(f, nullptr), "");
  EXPECT_EQ(GetPrivateProfileInt("a", "b", 7, f.c_str()), 7u);
}

// The number at the start of the value counts: "0x" reads hexadecimal and a
// value that is not a number is 0. Only a missing or empty value gives the
// default.
TEST_F(PrivateProfile, IntegersReadTheNumberAtTheStart) {
  std::string f = file("numbers.ini",
                       "[N]\r\nlead=  12abc\r\nhex=0x10\r\nupperhex=0xFf\r\nbigx=0X10\r\nneghex=-0x10\r\n"
                       "octal=010\r\nneg=-5\r\nplus=+7\r\nword=abc\r\nsign=-\r\nspacedsign=- 5\r\n"
                       "wrap=4294967297\r\nall=0xFFFFFFFF\r\nquoted=\"12\"\r\nexp=1e3\r\nempty=\r\n"
                       "blank=   \r\nnothing=\"\"\r\n");
  struct Case {
    const char* key;
    int expected;
  } cases[] = {
      {"lead", 12},     {"hex", 16},     {"upperhex", 255}, {"bigx", 0},    {"neghex", -16},    {"octal", 10},
      {"neg", -5},      {"plus", 7},     {"word", 0},       {"sign", 0},    {"spacedsign", 0},  {"wrap", 1},
      {"all", -1},      {"quoted", 12},  {"exp", 1},        {"empty", 99},  {"blank", 99},      {"nothing", 99},
      {"missing", 99},
  };
  for (const Case& c : cases)
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("N", c.key, 99, f.c_str())), c.expected) << c.key;
}

TEST_F(PrivateProfile, WritesChangeOnlyTheirLine) {
  // CR LF endings, comments, a blank line and no line break at the end.
  const std::string orig = "; c\r\n[A]\r\nx=1\r\nX=2\r\n\r\n; about B\r\n[B]\r\ny = 2";
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    std::string expected;
  } cases[] = {
      {"A", "x", "9", "; c\r\n[A]\r\nx=9\r\nX=2\r\n\r\n; about B\r\n[B]\r\ny = 2"},
      {"a", "new", "n", "; c\r\n[A]\r\nx=1\r\nX=2\r\nnew=n\r\n\r\n; about B\r\n[B]\r\ny = 2"},
      {"B", "Y", "3", "; c\r\n[A]\r\nx=1\r\nX=2\r\n\r\n; about B\r\n[B]\r\ny=3"},
      {"B", "z", "4", "; c\r\n[A]\r\nx=1\r\nX=2\r\n\r\n; about B\r\n[B]\r\ny = 2\r\nz=4\r\n"},
      {"C", "k", "v", orig + "\r\n[C]\r\nk=v\r\n"},
      {"A", "x", nullptr, "; c\r\n[A]\r\nX=2\r\n\r\n; about B\r\n[B]\r\ny = 2"},
      {"A", nullptr, nullptr, "; c\r\n; about B\r\n[B]\r\ny = 2"},
      {"b", nullptr, nullptr, "; c\r\n[A]\r\nx=1\r\nX=2\r\n\r\n; about B\r\n"},
      {"B", "missing", nullptr, orig},
      {"Missing", nullptr, nullptr, orig},
  };
  for (const Case& c : cases) {
    std::string f = file("w.ini", orig);
    EXPECT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, f.c_str()));
    EXPECT_EQ(readFile(f), c.expected) << c.section << "/" << (c.key ? c.key : "(null)") << "="
                                       << (c.value ? c.value : "(null)");
  }

  // A file with LF endings keeps them; a new file is made with CR LF.
  std::string lf = file("lf.ini", "[A]\nx=1\n");
  WritePrivateProfileString("A", "y", "2", lf.c_str());
  EXPECT_EQ(readFile(lf), "[A]\nx=1\ny=2\n");
  std::string fresh = hostPath("fresh.ini");
  ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", fresh.c_str()));
  EXPECT_EQ(readFile(fresh), "[S]\r\nk=v\r\n");
  EXPECT_EQ(get(fresh, "s", "K"), "v");
}

// A text changed many times over (as the class library's in-memory INI file
// is) lets go of the bytes of its old lines and keeps every other line.
TEST_F(PrivateProfile, ManyChangesInMemoryKeepEveryOtherLine) {
  qv::os::ProfileText t("; head\r\n[A]\r\nkeep = 1 \r\n[B]\r\nlast=x");
  const std::string pad(40, 'v');
  for (int i = 0; i < 3000; ++i) {
    t.setValue("B", "n", std::to_string(i) + pad);
    t.setValue("C", "k" + std::to_string(i % 7), "=" + std::to_string(i));
    if (i % 3 == 0) t.deleteKey("c", "K" + std::to_string((i + 1) % 7));
    if (i % 500 == 250) t.deleteSection("C");
  }
  const std::string head = "; head\r\n[A]\r\nkeep = 1 \r\n[B]\r\nlast=x\r\nn=2999" + pad + "\r\n[C]\r\n";
  EXPECT_EQ(t.text().substr(0, head.size()), head);
  EXPECT_EQ(t.value("a", "KEEP"), "1");
  EXPECT_EQ(t.value("B", "n"), "2999" + pad);
  EXPECT_EQ(t.value("C", "k3"), "=2999");
  EXPECT_EQ(qv::os::ProfileText(t.text()).text(), t.text());
}

// A text changed one line at a time answers every lookup as the same text
// parsed afresh does: random writes, deletions and whole sections over a
// few names in several spellings, odd names among them (a key that makes a
// header, a comment or nothing), looked up between the changes so that the
// lookups' index has to follow each change. A copy taken on the way keeps
// its own answers.
TEST_F(PrivateProfile, ChangesLineByLineAnswerAsAFreshParse) {
  const std::vector<std::string> sections = {"A", "a", "B", " b ", "Long Section", "[x", ""};
  const std::vector<std::string> keys = {"k", "K", "key", "KEY2", " sp ", "[odd", ";c", "", "x=y"};
  std::mt19937 random(7);
  auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
  auto expectSameAnswers = [&](const qv::os::ProfileText& t, int step) {
    const qv::os::ProfileText fresh(t.text());
    ASSERT_EQ(t.sectionNames(), fresh.sectionNames()) << "step " << step;
    for (const std::string& s : sections) {
      ASSERT_EQ(t.keyNames(s), fresh.keyNames(s)) << "step " << step << " [" << s << "]";
      for (const std::string& k : keys) ASSERT_EQ(t.value(s, k), fresh.value(s, k)) << step << " [" << s << "] " << k;
    }
  };
  for (const char* start : {"", "; head\r\n[A]\r\nk=1\r\n\r\n[B]\r\nkey=2\r\n[broken\r\nk=3\r\n[a]\r\nk=4"}) {
    qv::os::ProfileText t(start);
    std::optional<qv::os::ProfileText> copy;
    std::string copyText;
    for (int step = 0; step < 3000; ++step) {
      switch (random() % 10) {
        case 0:
          t.deleteKey(pick(sections), pick(keys));
          break;
        case 1:
          if (random() % 8 == 0) t.deleteSection(pick(sections));
          break;
        case 2:
          if (random() % 8 == 0) t.replaceSection(pick(sections), {pick(keys) + "=r", "; note", pick(keys) + "=s"});
          break;
        default:
          t.setValue(pick(sections), pick(keys), std::to_string(step));
          break;
      }
      if (random() % 3 == 0) (void)t.value(pick(sections), pick(keys));
      if (step % 100 == 0) expectSameAnswers(t, step);
      if (step == 1500) {
        copy = t;
        copyText = t.text();
      }
    }
    expectSameAnswers(t, -1);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->text(), copyText);
    expectSameAnswers(*copy, -2);
  }
}

TEST_F(PrivateProfile, WriteFailuresAndPlacesOfFiles) {
  SetLastError(0);
  EXPECT_FALSE(WritePrivateProfileString(nullptr, "k", "v", hostPath("x.ini").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(WritePrivateProfileString(nullptr, nullptr, nullptr, hostPath("x.ini").c_str())) << "flush";
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", hostPath("no/such/folder/x.ini").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  // A bare name lives in the Windows folder; paths in the platform's form
  // resolve without regard to case.
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", "quorvel.ini"));
  auto host = qv::os::toHostPath("C:\\WINDOWS\\QUORVEL.INI");
  ASSERT_TRUE(host);
  EXPECT_EQ(readFile(*host), "[s]\r\nk=v\r\n");
  EXPECT_EQ(get("c:/windows//Quorvel.ini", "S", "k"), "v");
}

TEST_F(PrivateProfile, WholeSections) {
  std::string f = file("s.ini", "[A]\r\n; note\r\nx = 1\r\ny=\"2\"\r\n[B]\r\nz=3\r\n");
  std::string buf(64, '\x7F');
  DWORD n = GetPrivateProfileSection("a", buf.data(), 64, f.c_str());
  EXPECT_EQ(std::string(buf.data(), n + 1), std::string("x=1\0y=\"2\"\0", 11));
  n = GetPrivateProfileSectionNames(buf.data(), 64, f.c_str());
  EXPECT_EQ(std::string(buf.data(), n), std::string("A\0B\0", 4));

  ASSERT_TRUE(WritePrivateProfileSection("A", "p=1\0q=2\0", f.c_str()));
  EXPECT_EQ(readFile(f), "[A]\r\np=1\r\nq=2\r\n; note\r\n[B]\r\nz=3\r\n");
  ASSERT_TRUE(WritePrivateProfileSection("C", "r=5\0", f.c_str()));
  EXPECT_EQ(get(f, "C", "r"), "5");
}

// A read after any change of the file gives the new value, however little
// the change shows in the file's size and times.
TEST_F(PrivateProfile, ReadsSeeEveryChangeOfTheFile) {
  // Rewrites the file in place (the same inode), as another program would.
  auto overwrite = [](const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  };
  // Gives the file an old modification time, as a copy that keeps times does.
  auto backdate = [](const std::string& path) {
    timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  };
  struct Case {
    const char* how;
    bool old;  // the file was written long before the first read
    std::function<void(const std::string&)> change;
    const char* expected;
  } cases[] = {
      {"in place, same size and times", true,
       [&](const std::string& f) {
         overwrite(f, "[s]\r\nk=2\r\n");
         backdate(f);
       },
       "2"},
      {"renamed over, same size and times", true,
       [&](const std::string& f) {
         overwrite(f + ".new", "[s]\r\nk=2\r\n");
         backdate(f + ".new");
         ASSERT_EQ(std::rename((f + ".new").c_str(), f.c_str()), 0);
       },
       "2"},
      {"in place right after it was written and read", false,
       [&](const std::string& f) { overwrite(f, "[s]\r\nk=2\r\n"); }, "2"},
      {"by us, then by another program in place", false,
       [&](const std::string& f) {
         ASSERT_TRUE(WritePrivateProfileString("s", "k", "3", f.c_str()));
         EXPECT_EQ(get(f, "s", "k"), "3");
         overwrite(f, "[s]\r\nk=2\r\n");
       },
       "2"},
      {"deleted", true, [&](const std::string& f) { std::remove(f.c_str()); }, "<def>"},
  };
  for (const Case& c : cases) {
    std::string f = file("changing.ini", "[s]\r\nk=1\r\n");
    if (c.old) backdate(f);
    EXPECT_EQ(get(f, "s", "k"), "1") << c.how;
    EXPECT_EQ(get(f, "s", "k"), "1") << c.how << ": read again";
    c.change(f);
    EXPECT_EQ(get(f, "s", "k"), c.expected) << c.how;
    EXPECT_EQ(get(f, "s", "k"), c.expected) << c.how << ": read again";
  }
}

// Names are found whatever their case, and found anew when the folder
// changes: a file spelt exactly as asked wins over one found by its case,
// and a file that was missing is found in any spelling once it is there.
TEST_F(PrivateProfile, NamesAreFoundAsTheFolderHoldsThemNow) {
  auto windows = [&](const std::string& name) { return qv::os::toWindowsPath(hostPath(name)); };
  file("lower.ini", "[s]\r\nk=lower\r\n");
  EXPECT_EQ(get(windows("Lower.ini"), "s", "k"), "lower");
  file("Lower.ini", "[s]\r\nk=exact\r\n");
  EXPECT_EQ(get(windows("Lower.ini"), "s", "k"), "exact");

  EXPECT_EQ(get(windows("Later.ini"), "s", "k"), "<def>");
  file("LATER.INI", "[s]\r\nk=later\r\n");
  EXPECT_EQ(get(windows("Later.ini"), "s", "k"), "later");

  std::string exact = file("exact.ini", "[s]\r\nk=1\r\n");
  EXPECT_EQ(get(windows("exact.ini"), "s", "k"), "1");
  std::remove(exact.c_str());
  file("EXACT.INI", "[s]\r\nk=2\r\n");
  EXPECT_EQ(get(windows("exact.ini"), "s", "k"), "2");
}

// Whatever the bytes, reading gives results and a write afterwards is found.
TEST_F(PrivateProfile, OddInputIsReadAndWrittenSafely) {
  std::string random;
  unsigned seed = 12345;
  for (int i = 0; i < 4096; ++i) {
    seed = seed * 1103515245u + 12345u;
    random += static_cast<char>("[]=;\r\n \"'a\0\xE4"[(seed >> 16) % 12]);
  }
  const std::string inputs[] = {
      std::string("\0\0[\0]=\r\r\n==[]]\n[", 17),
      "[",
      "]",
      "=",
      "[]\r\n=\r\nk=v",
      "[s]\r\n\"\r\nq=\"",
      "\r\r\r",
      random,
  };
  for (const std::string& in : inputs) {
    std::string f = file("odd.ini", in);
    get(f, "s", "k");
    list(f, nullptr);
    list(f, "");
    EXPECT_EQ(get(f, "s", "q", "", 2048), in.find("q=\"") != std::string::npos ? "\"" : "");
    ASSERT_TRUE(WritePrivateProfileString("fresh section", "key", "value", f.c_str()));
    EXPECT_EQ(get(f, "Fresh Section", "KEY"), "value");
  }
}

// A writer killed at any moment leaves a whole file: every line is one of the
// lines it could have written, and the lines it did not touch are intact.
TEST_F(PrivateProfile, WriteSurvivesKill) {
  const std::string kept = "; keep me\r\n[keep]\r\nalpha=1\r\nbeta = two\r\n\r\n";
  std::string f = file("killed.ini", kept + "[loop]\r\ncounter=-1\r\n");

  int out[2];
  ASSERT_EQ(pipe(out), 0);
  // testBin() is compiled without QV_TESTBIN, so the folder is taken here.
  std::string prog = std::string(QV_TESTBIN) + "/prog_profile_writer";
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    execl(prog.c_str(), prog.c_str(), f.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  // Let it finish a few hundred writes, then kill it wherever it is.
  std::string got;
  int lines = 0;
  while (lines < 300) {
    pollfd p{out[0], POLLIN, 0};
    ASSERT_GT(poll(&p, 1, 30000), 0) << "the writer stopped reporting";
    char buf[256];
    ssize_t n = read(out[0], buf, sizeof buf);
    if (n <= 0) {
      int status = 0;
      waitpid(pid, &status, 0);
      FAIL() << "the writer ended early, status " << status;
    }
    for (ssize_t i = 0; i < n; ++i) lines += buf[i] == '\n';
  }
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  close(out[0]);
  ASSERT_TRUE(WIFSIGNALED(status));

  std::string text = readFile(f);
  ASSERT_EQ(text.substr(0, kept.size()), kept);
  std::istringstream rest(text.substr(kept.size()));
  std::string line;
  std::getline(rest, line);
  EXPECT_EQ(line, "[loop]\r");
  std::map<std::string, long> seen;
  while (std::getline(rest, line)) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r') << "a torn line: " << line;
    line.pop_back();
    std::size_t eq = line.find('=');
    ASSERT_NE(eq, std::string::npos) << line;
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "counter") {
      seen[key] = std::stol(value);
    } else {
      ASSERT_TRUE(key.size() == 2 && key[0] == 'k' && key[1] >= '0' && key[1] <= '4') << line;
      ASSERT_EQ(value.rfind("value-", 0), 0u) << line;
      long n = std::stol(value.substr(6));
      EXPECT_EQ(n % 5, key[1] - '0') << line;
      seen[key] = n;
    }
  }
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_GE(seen["counter"], 299);
}

}  // namespace
