// The registry: typed values, keys, the platform's size and error rules,
// and its file shared by several processes.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/Registry.h"

extern char** environ;

namespace {

class RegistryTest : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    for (HKEY k : open_) RegCloseKey(k);
    DesktopTest::TearDown();
  }
  HKEY create(HKEY root, const char* path, DWORD* disposition = nullptr) {
    HKEY k = nullptr;
    EXPECT_EQ(RegCreateKeyEx(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, disposition), ERROR_SUCCESS);
    open_.push_back(k);
    return k;
  }
  static void setString(HKEY k, const char* name, const std::string& text) {
    EXPECT_EQ(RegSetValueEx(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
  }
  static std::string getString(HKEY k, const char* name) {
    char buf[256] = {};
    DWORD size = sizeof buf, type = 0;
    if (RegQueryValueEx(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS) return "<none>";
    return buf;
  }
  static DWORD getDword(HKEY k, const std::string& name) {
    DWORD v = 0xFFFFFFFF, size = sizeof v;
    RegQueryValueEx(k, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &size);
    return v;
  }

  // Starts the registry writer on this test's C: folder.
  pid_t startWriter(const std::vector<std::string>& args) {
    std::vector<std::string> all = {std::string(QV_TESTBIN) + "/prog_registry_writer", qv::desktop::cDriveRoot()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    return pid;
  }
  // Waits at most 30 s for a child; its wait status, or -1 on time-out.
  static int waitChild(pid_t pid) {
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
      pollfd p{fd, POLLIN, 0};
      const int ready = poll(&p, 1, 30000);
      close(fd);
      if (ready != 1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
      }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  }

  std::vector<HKEY> open_;
};

TEST_F(RegistryTest, TypedValuesComeBackAsTheyWereSet) {
  HKEY k = create(HKEY_CURRENT_USER, "Software\\Halvesta\\Quorvel\\4.0");
  const DWORD dword = 0x12345678;
  struct Case {
    const char* name;
    DWORD type;
    std::string data;
  };
  const Case cases[] = {
      {"Text", REG_SZ,
       std::string("Gr\xF6\xDF"
                   "e\0",
                   6)},
      {"Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)},
      {"Blob", REG_BINARY, std::string("\0\x01\xFF\n\r \\%", 8)},
      {"Number", REG_DWORD, std::string(reinterpret_cast<const char*>(&dword), 4)},
      {"List", REG_MULTI_SZ, std::string("a\0bc\0\0", 6)},
      {"", REG_SZ, std::string("default\0", 8)},
      {"Empty", REG_BINARY, std::string()},
      {"with blank and \xE4", REG_SZ, std::string("x\0", 2)},
  };
  for (const Case& c : cases)
    ASSERT_EQ(RegSetValueEx(k, c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.data.data()),
                            static_cast<DWORD>(c.data.size())),
              ERROR_SUCCESS);
  // Read back through a second handle, from the file.
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\halvesta\\QUORVEL\\4.0", 0, KEY_READ, &again), ERROR_SUCCESS);
  open_.push_back(again);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueEx(again, c.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    ASSERT_EQ(size, c.data.size());
    std::string got(size, '?');
    ASSERT_EQ(RegQueryValueEx(again, c.name, nullptr, nullptr, reinterpret_cast<BYTE*>(got.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(got, c.data);
  }
  // NULL names the default value too; value names ignore case.
  EXPECT_EQ(getString(again, nullptr), "default");
  EXPECT_EQ(getDword(again, "NUMBER"), dword);
}

TEST_F(RegistryTest, QueryFollowsThePlatformsSizeRules) {
  HKEY k = create(HKEY_CURRENT_USER, "Software\\Test");
  setString(k, "Name", "Quorvel");
  DWORD size = 4;
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(RegQueryValueEx(k, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(RegQueryValueEx(k, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(small), nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueEx(k, "Name", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(k, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  // No default value until one is set.
  EXPECT_EQ(RegQueryValueEx(k, "", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  // Text without its zero is stored with one.
  EXPECT_EQ(RegSetValueEx(k, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(k, "Bare", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(RegSetValueEx(k, "Bad", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
  EXPECT_EQ(RegDeleteValue(k, "name"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(k, "Name"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, KeysAreCreatedOpenedEnumeratedAndDeleted) {
  DWORD disposition = 0;
  HKEY app = create(HKEY_LOCAL_MACHINE, "Software\\Halvesta\\Locales", &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  create(HKEY_LOCAL_MACHINE, "software\\HALVESTA\\locales", &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  create(HKEY_LOCAL_MACHINE, "Software\\Halvesta\\Designer\\4.0");
  create(HKEY_LOCAL_MACHINE, "Software\\Halvesta\\beta");

  HKEY halvesta = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\HALVESTA\\", 0, KEY_READ, &halvesta), ERROR_SUCCESS);
  open_.push_back(halvesta);
  // Names keep the case they were created with; order ignores case.
  std::vector<std::string> names;
  char name[64];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    const LONG rc = RegEnumKeyEx(halvesta, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(size, std::strlen(name));
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"beta", "Designer", "Locales"}));
  DWORD tiny = 3;
  EXPECT_EQ(RegEnumKeyEx(halvesta, 1, name, &tiny, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

  setString(app, "C:\\Quorvel\\qvdesigner.exe", "ENU");
  setString(app, "Zweiter", "x");
  DWORD subKeys = 0, values = 0, maxName = 0, maxData = 0;
  ASSERT_EQ(RegQueryInfoKey(app, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, &maxName, &maxData,
                            nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 0u);
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(maxName, std::strlen("C:\\Quorvel\\qvdesigner.exe"));
  EXPECT_EQ(maxData, 4u);
  DWORD nameSize = sizeof name, type = 0, dataSize = 0;
  ASSERT_EQ(RegEnumValue(app, 0, name, &nameSize, nullptr, &type, nullptr, &dataSize), ERROR_SUCCESS);
  EXPECT_STREQ(name, "C:\\Quorvel\\qvdesigner.exe");
  EXPECT_EQ(dataSize, 4u);
  nameSize = sizeof name;
  EXPECT_EQ(RegEnumValue(app, 2, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

  // A read-only handle cannot write; a key with subkeys cannot be deleted.
  EXPECT_EQ(RegSetValueEx(halvesta, "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values), 4), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Halvesta\\Designer"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Halvesta\\Designer\\4.0"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Halvesta\\Designer"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Halvesta\\Designer"), ERROR_FILE_NOT_FOUND);
  // A handle whose key went away.
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Halvesta\\Locales"), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(app, "Zweiter", nullptr, nullptr, nullptr, &dataSize), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueEx(app, "Zweiter", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values), 4), ERROR_KEY_DELETED);

  HKEY missing = reinterpret_cast<HKEY>(0x1);
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Nobody", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x777)), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueEx(reinterpret_cast<HKEY>(0x777), "x", nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, ClassesRootIsTheMachinesClassesKey) {
  HKEY k = create(HKEY_CLASSES_ROOT, "http\\shell\\open\\command");
  setString(k, nullptr, "\"C:\\Browser\\browser.exe\" -nohome");
  HKEY seen = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\http\\shell\\open\\command", 0, KEY_READ, &seen),
            ERROR_SUCCESS);
  open_.push_back(seen);
  EXPECT_EQ(getString(seen, ""), "\"C:\\Browser\\browser.exe\" -nohome");
}

TEST_F(RegistryTest, DamagedLinesOfTheFileAreSkipped) {
  HKEY k = create(HKEY_CURRENT_USER, "Software\\Test");
  setString(k, "Kept", "yes");
  RegCloseKey(k);
  open_.clear();
  {
    std::ofstream out(qv::os::registryFilePath(), std::ios::app);
    out << "V :Broken 4 ZZ\nnonsense line\nK\nV :Half\n";
  }
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Test", 0, KEY_ALL_ACCESS, &again), ERROR_SUCCESS);
  open_.push_back(again);
  EXPECT_EQ(getString(again, "Kept"), "yes");
  EXPECT_EQ(getString(again, "Broken"), "<none>");
  setString(again, "After", "written");
  EXPECT_EQ(getString(again, "After"), "written");
}

TEST_F(RegistryTest, WhatOneProcessWritesAnotherReads) {
  ASSERT_EQ(waitChild(startWriter({"Software\\Quorvel", "Run", "3"})), 0);
  HKEY k = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Quorvel", 0, KEY_READ, &k), ERROR_SUCCESS);
  open_.push_back(k);
  EXPECT_EQ(getString(k, "Run"), "done");
  EXPECT_EQ(getDword(k, "Run2"), 2u);
  // And the other way: a second run sees and keeps what this one wrote.
  HKEY mine = create(HKEY_CURRENT_USER, "Software\\Quorvel");
  setString(mine, "FromTest", "kept");
  ASSERT_EQ(waitChild(startWriter({"Software\\Quorvel", "Again", "1"})), 0);
  EXPECT_EQ(getString(k, "FromTest"), "kept");
  EXPECT_EQ(getString(k, "Again"), "done");
}

TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 4, kEach = 25;
  std::vector<pid_t> pids;
  for (int w = 0; w < kWriters; ++w)
    pids.push_back(startWriter({"Software\\Shared", "w" + std::to_string(w) + "_", std::to_string(kEach)}));
  // This process writes at the same time.
  HKEY k = create(HKEY_CURRENT_USER, "Software\\Shared");
  for (int i = 0; i < kEach; ++i) setString(k, ("test_" + std::to_string(i)).c_str(), "t");
  for (pid_t p : pids) EXPECT_EQ(waitChild(p), 0);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKey(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, static_cast<DWORD>(kWriters * (kEach + 1) + kEach));
  for (int w = 0; w < kWriters; ++w)
    for (int i = 0; i < kEach; ++i)
      EXPECT_EQ(getDword(k, "w" + std::to_string(w) + "_" + std::to_string(i)), static_cast<DWORD>(i));
}

TEST_F(RegistryTest, AWriterKilledAfterItsWritesLosesNone) {
  const int status = waitChild(startWriter({"Software\\Killed", "v", "5", "--die"}));
  ASSERT_TRUE(WIFSIGNALED(status));
  HKEY k = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Killed", 0, KEY_READ, &k), ERROR_SUCCESS);
  open_.push_back(k);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(getDword(k, "v" + std::to_string(i)), static_cast<DWORD>(i));
  EXPECT_EQ(getString(k, "v"), "<none>");
}

}  // namespace
