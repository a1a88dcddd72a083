#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/os/kernel/Kernel.h"

namespace {

class FilesTest : public qvtest::DesktopTest {
 protected:
  // ReadFile on a find handle: the wrong kind of handle.
  static bool readFindHandleFails(char* buf) {
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA("C:\\dir\\*", &fd);
    DWORD n;
    bool failed = !ReadFile(f, buf, 1, &n, nullptr);
    DWORD e = GetLastError();
    FindClose(f);
    SetLastError(e);
    return failed;
  }
  std::string read(const std::string& windowsPath) {
    std::string bytes;
    EXPECT_TRUE(qv::os::readWholeFile(windowsPath, bytes)) << windowsPath;
    return bytes;
  }
};

TEST_F(FilesTest, ReadWriteAndSeekAsThePlatformDoes) {
  HANDLE h = CreateFileA("C:\\data.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), 0u);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, "hello world", 11, &n, nullptr));
  EXPECT_EQ(n, 11u);
  EXPECT_EQ(SetFilePointer(h, 6, nullptr, FILE_BEGIN), 6u);
  char buf[16] = {};
  ASSERT_TRUE(ReadFile(h, buf, 10, &n, nullptr));
  EXPECT_EQ(std::string(buf, n), "world");
  ASSERT_TRUE(ReadFile(h, buf, 10, &n, nullptr));  // at the end: success, nothing read
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(SetFilePointer(h, -5, nullptr, FILE_END), 6u);
  EXPECT_EQ(SetFilePointer(h, -7, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  DWORD high = 1;
  EXPECT_EQ(GetFileSize(h, &high), 11u);
  EXPECT_EQ(high, 0u);
  EXPECT_TRUE(FlushFileBuffers(h));
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  // Existing file: CREATE_ALWAYS empties it and says so; OPEN_ALWAYS keeps it.
  h = CreateFileA("c:\\DATA.BIN", GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));  // opened for reading only
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(h);
  h = CreateFileA("C:\\data.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  CloseHandle(h);
}

TEST_F(FilesTest, WhatIsMissingGivesItsErrorCode) {
  writeFile("C/dir/file.txt", "x");
  writeFile("C/full/keep.txt", "x");
  char buf[MAX_PATH];
  WIN32_FIND_DATAA fd;
  auto cannotOpen = [](const char* path, DWORD access, DWORD disposition) {
    return CreateFileA(path, access, 0, nullptr, disposition, 0, nullptr) == INVALID_HANDLE_VALUE;
  };
  struct Case {
    const char* what;
    std::function<bool()> fails;
    DWORD error;
  } cases[] = {
      // clang-format off
      {"open missing file", [&] { return cannotOpen("C:\\dir\\none.txt", GENERIC_READ, OPEN_EXISTING); }, ERROR_FILE_NOT_FOUND},
      {"open in missing folder", [&] { return cannotOpen("C:\\nodir\\none.txt", GENERIC_READ, OPEN_EXISTING); }, ERROR_PATH_NOT_FOUND},
      {"create in missing folder", [&] { return cannotOpen("C:\\nodir\\new.txt", GENERIC_WRITE, CREATE_ALWAYS); }, ERROR_PATH_NOT_FOUND},
      {"create new over existing", [&] { return cannotOpen("C:\\dir\\file.txt", GENERIC_WRITE, CREATE_NEW); }, ERROR_FILE_EXISTS},
      {"unmapped drive", [&] { return cannotOpen("Q:\\x.txt", GENERIC_READ, OPEN_EXISTING); }, ERROR_PATH_NOT_FOUND},
      {"wildcard name", [&] { return cannotOpen("C:\\dir\\*.txt", GENERIC_READ, OPEN_EXISTING); }, ERROR_INVALID_NAME},
      {"attributes of missing", [] { return GetFileAttributesA("C:\\dir\\none.txt") == INVALID_FILE_ATTRIBUTES; }, ERROR_FILE_NOT_FOUND},
      {"attributes in missing folder", [] { return GetFileAttributesA("C:\\nodir\\none.txt") == INVALID_FILE_ATTRIBUTES; }, ERROR_PATH_NOT_FOUND},
      {"delete missing", [] { return !DeleteFileA("C:\\dir\\none.txt"); }, ERROR_FILE_NOT_FOUND},
      {"delete a folder", [] { return !DeleteFileA("C:\\dir"); }, ERROR_ACCESS_DENIED},
      {"copy missing", [] { return !CopyFileA("C:\\dir\\none.txt", "C:\\x.txt", FALSE); }, ERROR_FILE_NOT_FOUND},
      {"copy onto existing, fail if exists", [] { return !CopyFileA("C:\\dir\\file.txt", "C:\\full\\keep.txt", TRUE); }, ERROR_FILE_EXISTS},
      {"copy into missing folder", [] { return !CopyFileA("C:\\dir\\file.txt", "C:\\nodir\\x.txt", FALSE); }, ERROR_PATH_NOT_FOUND},
      {"move onto existing", [] { return !MoveFileA("C:\\dir\\file.txt", "C:\\full\\keep.txt"); }, ERROR_ALREADY_EXISTS},
      {"make existing folder", [] { return !CreateDirectoryA("C:\\DIR", nullptr); }, ERROR_ALREADY_EXISTS},
      {"make folder in missing folder", [] { return !CreateDirectoryA("C:\\nodir\\sub", nullptr); }, ERROR_PATH_NOT_FOUND},
      {"remove full folder", [] { return !RemoveDirectoryA("C:\\full"); }, ERROR_DIR_NOT_EMPTY},
      {"remove missing folder", [] { return !RemoveDirectoryA("C:\\nodir"); }, ERROR_FILE_NOT_FOUND},
      {"find without match", [&] { return FindFirstFileA("C:\\dir\\*.doc", &fd) == INVALID_HANDLE_VALUE; }, ERROR_FILE_NOT_FOUND},
      {"find in missing folder", [&] { return FindFirstFileA("C:\\nodir\\*", &fd) == INVALID_HANDLE_VALUE; }, ERROR_PATH_NOT_FOUND},
      {"read a find handle", [&] { return readFindHandleFails(buf); }, ERROR_INVALID_HANDLE},
      // clang-format on
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_TRUE(c.fails()) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
  }
  EXPECT_EQ(read("C:\\full\\keep.txt"), "x");  // nothing above changed it
}

TEST_F(FilesTest, FindMatchesWildcardsIgnoringCase) {
  writeFile("C/site/INDEX.HTM", "12345");
  writeFile("C/site/index2.html", "");
  writeFile("C/site/readme", "");
  writeFile("C/site/Setup.exe", "");
  writeFile("C/site/sub/inner.txt", "");
  auto find = [](const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    return names;
  };
  using V = std::vector<std::string>;
  struct Case {
    std::string pattern;
    V names;
  } cases[] = {
      {"C:\\site\\*", V{".", "..", "INDEX.HTM", "index2.html", "readme", "Setup.exe", "sub"}},
      {"c:/SITE/*.*", V{".", "..", "INDEX.HTM", "index2.html", "readme", "Setup.exe", "sub"}},
      {"C:\\site\\*.htm", V{"INDEX.HTM"}},
      {"C:\\site\\*.HTM*", V{"INDEX.HTM", "index2.html"}},
      {"C:\\site\\index?.html", V{"index2.html"}},
      {"C:\\site\\readme.*", V{"readme"}},
      {"C:\\site\\SETUP.EXE", V{"Setup.exe"}},
      {"C:\\site\\sub", V{"sub"}},
      {"C:\\site\\*.doc", V{}},
  };
  for (const auto& c : cases) EXPECT_EQ(find(c.pattern), c.names) << c.pattern;

  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("C:\\site\\index.htm", &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(fd.nFileSizeLow, 5u);
  EXPECT_EQ(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(CloseHandle(h));  // CloseHandle ends find handles too
  h = FindFirstFileA("C:\\site\\sub", &fd);
  EXPECT_EQ(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  FindClose(h);
  // A drive's root has no "." and "..".
  V root = find("C:\\*");
  ASSERT_FALSE(root.empty());
  EXPECT_NE(root.front(), ".");
}

TEST_F(FilesTest, CopyKeepsDataAndReadOnlyAndNeverEatsItsSource) {
  writeFile("C/disc/data.txt", "payload");
  ASSERT_TRUE(SetFileAttributesA("C:\\disc\\data.txt", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(CopyFileA("C:\\DISC\\DATA.TXT", "C:\\copy.txt", TRUE));
  EXPECT_EQ(read("C:\\copy.txt"), "payload");
  EXPECT_EQ(GetFileAttributesA("C:\\copy.txt") & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
  // A read-only file is neither replaced nor deleted.
  EXPECT_FALSE(CopyFileA("C:\\disc\\data.txt", "C:\\copy.txt", FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(DeleteFileA("C:\\copy.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ASSERT_TRUE(SetFileAttributesA("C:\\copy.txt", FILE_ATTRIBUTE_NORMAL));
  writeFile("C/other.txt", "other");
  EXPECT_TRUE(CopyFileA("C:\\other.txt", "C:\\copy.txt", FALSE));
  EXPECT_EQ(read("C:\\copy.txt"), "other");

  // Onto itself, also by another spelling: the platform finds the file in use.
  EXPECT_FALSE(CopyFileA("C:\\copy.txt", "c:\\COPY.TXT", FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(read("C:\\copy.txt"), "other");

  EXPECT_TRUE(MoveFileA("C:\\copy.txt", "C:\\moved.txt"));
  EXPECT_FALSE(qv::os::fileExists("C:\\copy.txt"));
  EXPECT_EQ(read("C:\\moved.txt"), "other");
  EXPECT_TRUE(MoveFileA("C:\\moved.txt", "C:\\Moved.TXT"));  // only the case changes
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("C:\\moved.txt", &fd);
  EXPECT_STREQ(fd.cFileName, "Moved.TXT");
  FindClose(h);
  EXPECT_TRUE(DeleteFileA("c:\\MOVED.txt"));
  EXPECT_TRUE(CreateDirectoryA("C:\\new", nullptr));
  EXPECT_TRUE(RemoveDirectoryA("C:\\NEW"));
}

// MoveFileEx with MOVEFILE_REPLACE_EXISTING puts a file in another's place
// in one step, under the existing entry's spelling; a read-only target or a
// folder is refused and both files stay. Without the flag an existing
// target is refused as MoveFile refuses it.
TEST_F(FilesTest, MoveFileExReplacesAnExistingFileInOneStep) {
  writeFile("C/disc/autorun.inf", "old");
  writeFile("C/disc/new.tmp", "new");
  EXPECT_FALSE(MoveFileExA("C:\\disc\\new.tmp", "C:\\disc\\autorun.inf", 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_TRUE(SetFileAttributesA("C:\\disc\\autorun.inf", FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(MoveFileExA("C:\\disc\\new.tmp", "C:\\disc\\autorun.inf", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(read("C:\\disc\\autorun.inf"), "old");
  EXPECT_EQ(read("C:\\disc\\new.tmp"), "new");
  ASSERT_TRUE(SetFileAttributesA("C:\\disc\\autorun.inf", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(
      MoveFileExA("C:\\disc\\new.tmp", "C:\\DISC\\AUTORUN.INF", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(read("C:\\disc\\autorun.inf"), "new");
  EXPECT_FALSE(qv::os::fileExists("C:\\disc\\new.tmp"));
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("C:\\disc\\*.inf", &fd);
  EXPECT_STREQ(fd.cFileName, "autorun.inf");
  FindClose(h);
  // A missing target is a plain move; a folder is never replaced.
  writeFile("C/disc/a.txt", "a");
  EXPECT_TRUE(MoveFileExA("C:\\disc\\a.txt", "C:\\disc\\b.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(read("C:\\disc\\b.txt"), "a");
  ASSERT_TRUE(CreateDirectoryA("C:\\disc\\folder", nullptr));
  EXPECT_FALSE(MoveFileExA("C:\\disc\\b.txt", "C:\\disc\\folder", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(read("C:\\disc\\b.txt"), "a");
}

}  // namespace
