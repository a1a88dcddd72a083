// The resource container and resource lookup in the test program's own
// resources (resources/test_kernel.qvrc) and in data-file modules.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/ResFile.h"
#include "platform/os/kernel/Resource.h"

using qv::os::ResEntry;
using qv::os::ResId;

namespace {

ResEntry entry(ResId type, ResId name, std::vector<BYTE> data, WORD lang = 0) {
  ResEntry e;
  e.type = std::move(type);
  e.name = std::move(name);
  e.language = lang;
  e.data = std::move(data);
  return e;
}

std::string bytesOf(HMODULE m, HRSRC r) {
  const char* p = static_cast<const char*>(LockResource(LoadResource(m, r)));
  return std::string(p, SizeofResource(m, r));
}

class ResourceTest : public qvtest::DesktopTest {};

TEST(ResContainer, RoundTripKeepsEveryFieldAndAlignment) {
  std::vector<ResEntry> in = {
      entry(ResId::id(2), ResId::id(130), {1, 2, 3}),                      // data needs padding
      entry(ResId::id(10), ResId::text(u"TBROWSERWINDOW"), {}, 0x0407),    // empty data
      entry(ResId::text(u"QVFORM"), ResId::text(u"Ab"), {9, 8, 7, 6, 5}),  // odd name length
      entry(ResId::id(6), ResId::id(4096), std::vector<BYTE>(4, 0xEE), 0x0409),
  };
  in[3].dataVersion = 1;
  in[3].version = 0x12345678;
  in[3].characteristics = 0xCAFE;
  in[3].memoryFlags = 0x0030;
  const auto bytes = qv::os::writeResContainer(in);
  EXPECT_EQ(bytes.size() % 4, 0u);
  auto out = qv::os::parseResContainer(bytes.data(), bytes.size());
  ASSERT_TRUE(out);
  ASSERT_EQ(out->size(), in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ((*out)[i].type, in[i].type);
    EXPECT_EQ((*out)[i].name, in[i].name);
    EXPECT_EQ((*out)[i].data, in[i].data);
    EXPECT_EQ((*out)[i].language, in[i].language);
    EXPECT_EQ((*out)[i].memoryFlags, in[i].memoryFlags);
    EXPECT_EQ((*out)[i].dataVersion, in[i].dataVersion);
    EXPECT_EQ((*out)[i].version, in[i].version);
    EXPECT_EQ((*out)[i].characteristics, in[i].characteristics);
  }
}

TEST(ResContainer, BorrowedEntriesPointIntoTheContainerAndWriteBackTheSame) {
  const auto bytes = qv::os::writeResContainer({entry(ResId::id(2), ResId::id(1), {1, 2, 3}),
                                                entry(ResId::id(10), ResId::id(2), {}),
                                                entry(ResId::id(6), ResId::id(3), {7, 7, 7, 7, 7})});
  auto out = qv::os::parseResContainer(bytes.data(), bytes.size(), true);
  ASSERT_TRUE(out);
  ASSERT_EQ(out->size(), 3u);
  for (const ResEntry& e : *out) {
    EXPECT_TRUE(e.data.empty());
    EXPECT_GE(e.bytes().data(), bytes.data());
    EXPECT_LE(e.bytes().data() + e.bytes().size(), bytes.data() + bytes.size());
  }
  EXPECT_EQ(std::vector<BYTE>((*out)[2].bytes().begin(), (*out)[2].bytes().end()), (std::vector<BYTE>(5, 7)));
  EXPECT_EQ(qv::os::writeResContainer(*out), bytes);
}

TEST(ResContainer, WritesTheDocumentedLayout) {
  const auto bytes = qv::os::writeResContainer({entry(ResId::id(2), ResId::id(130), {0xAA}, 0x0407)});
  // clang-format off
  const std::vector<BYTE> expected = {
      0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0,  // the empty first entry
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      1, 0, 0, 0,                // DataSize
      0x20, 0, 0, 0,             // HeaderSize
      0xFF, 0xFF, 2, 0,          // TYPE: ordinal 2
      0xFF, 0xFF, 130, 0,        // NAME: ordinal 130
      0, 0, 0, 0,                // DataVersion
      0x30, 0x10,                // MemoryFlags
      0x07, 0x04,                // LanguageId
      0, 0, 0, 0, 0, 0, 0, 0,    // Version, Characteristics
      0xAA, 0, 0, 0};            // data and its padding
  // clang-format on
  EXPECT_EQ(bytes, expected);
}

TEST(ResContainer, DamagedInputIsRefusedNotRead) {
  const auto good = qv::os::writeResContainer({entry(ResId::text(u"NAME"), ResId::id(1), {1, 2, 3, 4, 5, 6, 7, 8})});
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
  };
  std::vector<Case> cases = {{"empty", {}}, {"no first entry", {1, 2, 3}}};
  cases.push_back({"cut in the data", std::vector<BYTE>(good.begin(), good.end() - 4)});
  cases.push_back({"cut in the header", std::vector<BYTE>(good.begin(), good.begin() + 40)});
  auto huge = good;
  huge[32] = 0xFF, huge[33] = 0xFF, huge[34] = 0xFF, huge[35] = 0x7F;  // DataSize beyond the end
  cases.push_back({"data size too large", huge});
  auto unterminated = std::vector<BYTE>(good.begin(), good.begin() + 50);  // string name runs off
  cases.push_back({"name without end", unterminated});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(qv::os::parseResContainer(c.bytes.data(), c.bytes.size()));
  }
}

TEST(ResContainer, EmbeddedContainerIsFoundBehindItsMarker) {
  const auto container = qv::os::writeResContainer({entry(ResId::id(10), ResId::id(1), {42})});
  std::vector<BYTE> file(1000, 0x90);
  const std::string marker = qv::os::embedMarker();
  // A stray marker with a bogus size first: the scan goes on to the real one.
  file.insert(file.begin() + 100, marker.begin(), marker.end());
  std::vector<BYTE> blob(marker.begin(), marker.end());
  for (int i = 0; i < 8; ++i) blob.push_back(static_cast<BYTE>((container.size() >> (8 * i)) & 0xFF));
  blob.insert(blob.end(), container.begin(), container.end());
  file.insert(file.begin() + 500, blob.begin(), blob.end());
  auto found = qv::os::findEmbeddedContainer(file.data(), file.size());
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, container);
  std::vector<BYTE> none(300, 0);
  EXPECT_FALSE(qv::os::findEmbeddedContainer(none.data(), none.size()));
}

TEST_F(ResourceTest, FindsProgramResourcesByIdNameAndType) {
  struct Case {
    const char* what;
    LPCSTR name;
    LPCSTR type;
  };
  const Case cases[] = {
      {"id", MAKEINTRESOURCE(130), RT_BITMAP}, {"#id", "#130", RT_BITMAP},
      {"name", "LK_ARROWBITMAP", RT_BITMAP},   {"name in other case", "lk_ArrowBitmap", RT_BITMAP},
      {"type as #id", "LK_ARROWBITMAP", "#2"}, {"rcdata", "TBrowserWindow", RT_RCDATA},
      {"html", "cpwebvw.css", RT_HTML},        {"custom type name", "custom form", "QVFORM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HRSRC r = FindResource(nullptr, c.name, c.type);
    ASSERT_NE(r, nullptr);
    EXPECT_GT(SizeofResource(nullptr, r), 0u);
  }
  // A bitmap resource is the file without its 14-byte file header.
  HRSRC bmp = FindResource(nullptr, "LK_ARROWBITMAP", RT_BITMAP);
  const std::string file = readFile(std::string(QV_SOURCE_DIR) + "/tests/platform/os/kernel/resources/arrow.bmp");
  EXPECT_EQ(bytesOf(nullptr, bmp), file.substr(14));
  EXPECT_EQ(bytesOf(nullptr, FindResource(nullptr, "TBROWSERWINDOW", RT_RCDATA)),
            readFile(std::string(QV_SOURCE_DIR) + "/tests/platform/os/kernel/resources/form.txt"));
}

TEST_F(ResourceTest, MissingResourcesGiveTheirErrorCodes) {
  struct Case {
    const char* what;
    HMODULE module;
    LPCSTR name;
    LPCSTR type;
    DWORD error;
  };
  const Case cases[] = {
      {"unknown name", nullptr, "NO_SUCH_BITMAP", RT_BITMAP, ERROR_RESOURCE_NAME_NOT_FOUND},
      {"unknown id", nullptr, MAKEINTRESOURCE(999), RT_BITMAP, ERROR_RESOURCE_NAME_NOT_FOUND},
      {"unknown type", nullptr, "LK_ARROWBITMAP", RT_DIALOG, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"name of another type", nullptr, "TBROWSERWINDOW", RT_BITMAP, ERROR_RESOURCE_NAME_NOT_FOUND},
      {"not a module", reinterpret_cast<HMODULE>(0x1234), "LK_ARROWBITMAP", RT_BITMAP, ERROR_INVALID_HANDLE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(FindResource(c.module, c.name, c.type), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error));
  }
  EXPECT_EQ(LoadResource(nullptr, reinterpret_cast<HRSRC>(0x5678)), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST_F(ResourceTest, IconAndCursorFilesBecomeGroupsOfImages) {
  struct Case {
    LPCSTR name, groupType, imageType;
    WORD fileType;
  };
  for (const Case& c :
       {Case{"MAINICON", RT_GROUP_ICON, RT_ICON, 1}, Case{"uiNavBarDragCursor", RT_GROUP_CURSOR, RT_CURSOR, 2}}) {
    SCOPED_TRACE(c.name);
    HRSRC g = FindResource(nullptr, c.name, c.groupType);
    ASSERT_NE(g, nullptr);
    const std::string dir = bytesOf(nullptr, g);
    ASSERT_EQ(dir.size(), 6u + 14u);
    WORD type, count, id;
    std::memcpy(&type, dir.data() + 2, 2);
    std::memcpy(&count, dir.data() + 4, 2);
    std::memcpy(&id, dir.data() + 18, 2);
    EXPECT_EQ(type, c.fileType);
    EXPECT_EQ(count, 1);
    HRSRC image = FindResource(nullptr, MAKEINTRESOURCE(id), c.imageType);
    ASSERT_NE(image, nullptr);
    const std::string bits = bytesOf(nullptr, image);
    // A cursor image starts with its hot spot, then the picture's header.
    const std::size_t header = c.fileType == 2 ? 4 : 0;
    if (c.fileType == 2) {
      EXPECT_EQ(bits.substr(0, 4), std::string("\x01\x00\x01\x00", 4));
    }
    DWORD headerSize;
    std::memcpy(&headerSize, bits.data() + header, 4);
    EXPECT_EQ(headerSize, 40u);
  }
}

TEST_F(ResourceTest, LoadStringReadsTheBlocksOfSixteen) {
  struct Case {
    UINT id;
    int bufferMax;
    std::string text;
  };
  const Case cases[] = {
      {1, 100, "eins"},
      {17, 100, "siebzehn"},  // second block
      {65362, 200, qv::os::ansi(u8"Eigenschaft Scrollbar außerhalb des zulässigen Bereichs")},
      {65363, 200, qv::os::ansi(u8"Tab\tund \"Anführung\" €")},  // escapes, \x80 is the euro sign
      {17, 5, "sieb"},                                           // cut to the buffer, terminated
      {2, 100, ""},                                              // empty slot of a present block
      {40, 100, ""},                                             // no block at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    char buf[256];
    std::memset(buf, 'x', sizeof buf);
    const int n = LoadString(nullptr, c.id, buf, c.bufferMax);
    EXPECT_EQ(n, static_cast<int>(c.text.size()));
    EXPECT_EQ(std::string(buf), c.text);
  }
}

TEST_F(ResourceTest, LanguageFollowsTheUserThenFindResourceExAsksExactly) {
  char buf[32];
  LoadString(nullptr, 1, buf, sizeof buf);
  EXPECT_STREQ(buf, "eins");
  qv::desktop::profile().langId = 0x0409;
  LoadString(nullptr, 1, buf, sizeof buf);
  EXPECT_STREQ(buf, "one");
  // A language with no resource of its own falls back to English.
  qv::desktop::profile().langId = 0x040C;
  LoadString(nullptr, 1, buf, sizeof buf);
  EXPECT_STREQ(buf, "one");
  EXPECT_NE(FindResourceEx(nullptr, RT_STRING, MAKEINTRESOURCE(1), 0x0407), nullptr);
  EXPECT_EQ(FindResourceEx(nullptr, RT_STRING, MAKEINTRESOURCE(1), 0x040C), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
}

TEST_F(ResourceTest, EnumResourceNamesListsOneTypeOnce) {
  std::vector<std::string> names;
  auto collect = [](HMODULE, LPCSTR, LPSTR name, LONG_PTR param) -> BOOL {
    auto* out = reinterpret_cast<std::vector<std::string>*>(param);
    out->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
  };
  EXPECT_TRUE(EnumResourceNames(nullptr, RT_BITMAP, collect, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_EQ(names, (std::vector<std::string>{"LK_ARROWBITMAP", "#130"}));
  names.clear();
  EXPECT_TRUE(EnumResourceNames(nullptr, RT_STRING, collect, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_EQ(names.size(), 3u);  // blocks 1, 2 and 4086; block 1 in two languages counts once
  EXPECT_FALSE(EnumResourceNames(nullptr, RT_DIALOG, collect, reinterpret_cast<LONG_PTR>(&names)));
}

TEST_F(ResourceTest, DataFileModuleServesItsContainer) {
  // A language module: a container file beside the program, loaded as data.
  // String block 1 holds ids 0 to 15: id 0 empty, id 1 "one", the rest empty.
  std::vector<BYTE> block = {0, 0, 3, 0, 'o', 0, 'n', 0, 'e', 0};
  block.resize(block.size() + 14 * 2, 0);
  const auto container = qv::os::writeResContainer(
      {entry(ResId::id(10), ResId::text(u"TBROWSERWINDOW"), {'E', 'N'}), entry(ResId::id(6), ResId::id(1), block)});
  writeFile("prog/Qvdesigner.ENU", std::string(container.begin(), container.end()));
  HMODULE m =
      LoadLibraryEx(qv::os::toWindowsPath(hostPath("prog/QVDESIGNER.enu")).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(bytesOf(m, FindResource(m, "TBrowserWindow", RT_RCDATA)), "EN");
  char buf[16];
  EXPECT_EQ(LoadString(m, 1, buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "one");
  // A handle of one module does not load a resource of another.
  EXPECT_EQ(LoadResource(nullptr, FindResource(m, "TBrowserWindow", RT_RCDATA)), nullptr);
  EXPECT_EQ(GetProcAddress(m, "CheckRequirement"), nullptr);
  EXPECT_TRUE(FreeLibrary(m));
}

TEST_F(ResourceTest, ResourceCompilerNamesTheLineOfAFault) {
  writeFile("in/pic.bmp", "BM not really, but long enough");
  writeFile("in/data.txt", "x");
  struct Case {
    const char* what;
    std::string script;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", "RCDATA A data.txt\nRCDATA B nothere.txt\n", ":2: cannot read"},
      {"same name twice", "RCDATA A data.txt\nRCDATA a data.txt\n", "given twice"},
      {"same string twice", "STRING 5 \"x\"\nSTRING 5 \"y\"\n", ":2: string id 5 given twice"},
      {"not a bitmap", "BITMAP B data.txt\n", ":1: data.txt is not a bitmap"},
      {"unterminated text", "STRING 1 \"open\n", ":1: unterminated string"},
      {"bad escape", "STRING 1 \"\\xZZ\"\n", ":1: bad \\x escape"},
      {"value before table", "VERSIONINFO\n  CompanyName \"x\"\nEND\n", ":2: a value before STRINGTABLE"},
      {"bad version", "VERSIONINFO\n  FILEVERSION 1.2.x\nEND\n", ":2: FILEVERSION needs a.b.c.d"},
      {"no END", "VERSIONINFO\n  FILEVERSION 1.2.3.4\n", "VERSIONINFO without END"},
      {"id too large", "RCDATA 70000 data.txt\n", ":1: id above 65535"},
  };
  const std::string qvrc = std::string(QV_TESTBIN) + "/../bin/qvrc";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string script = writeFile("in/test.qvrc", c.script);
    const std::string command =
        "'" + qvrc + "' '" + script + "' -o '" + hostPath("out.res") + "' 2>'" + hostPath("err.txt") + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_NE(readFile(hostPath("err.txt")).find(c.message), std::string::npos) << readFile(hostPath("err.txt"));
  }
}

}  // namespace
