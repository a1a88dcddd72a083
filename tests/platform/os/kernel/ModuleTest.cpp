// Modules: stand-ins by name, requirement libraries by dlopen whatever their
// extension, data files, and the errors of what does not load.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "DesktopTest.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/Resource.h"

namespace {

int standInFunction() { return 42; }
int standInOther() { return 7; }

class ModuleTest : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    qv::os::unregisterStandInModule("msimg32.dll");
    qv::os::setProgramPath(savedProgram_);
    DesktopTest::TearDown();
  }
  // A copy of the requirement library under a host path of this test.
  std::string placeRequirementLibrary(const std::string& relative) {
    std::filesystem::path to = hostPath(relative);
    std::filesystem::create_directories(to.parent_path());
    std::filesystem::copy_file(std::string(QV_TESTBIN) + "/lib_req_ok.so", to);
    return to.string();
  }
  std::string win(const std::string& relative) { return qv::os::toWindowsPath(hostPath(relative)); }

  bool msimgPresent_ = true;
  void registerMsimg() {
    qv::os::StandInModule m;
    m.fileName = "msimg32.dll";
    m.exports = {qv::os::StandInExport::of("GradientFill", &standInFunction, 150),
                 qv::os::StandInExport::of("AlphaBlend", &standInOther)};
    m.resources = qv::os::writeResContainer(
        {qv::os::ResEntry{qv::os::ResId::id(2), qv::os::ResId::id(7), 0, 0x1030, 0, 0, 0, {1, 2}, {}}});
    m.available = [this] { return msimgPresent_; };
    qv::os::registerStandInModule(std::move(m));
  }

 private:
  std::string savedProgram_ = qv::os::programPath();
};

using CheckRequirementFn = int (*)(void*);

TEST_F(ModuleTest, RequirementLibraryLoadsByDllNameAndItsEntryIsCalled) {
  placeRequirementLibrary("disc/REQ.DLL");
  // No extension: ".dll" is added; the case of the name does not matter.
  HMODULE m = LoadLibrary((win("disc") + "\\req").c_str());
  ASSERT_NE(m, nullptr) << GetLastError();
  auto check = qv::os::procAs<CheckRequirementFn>(GetProcAddress(m, "CheckRequirement"));
  ASSERT_NE(check, nullptr);
  int window = 0;
  EXPECT_EQ(check(&window), 0);
  EXPECT_EQ(check(nullptr), -1);
  // Names bind exactly; a missing entry is not found.
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(m, "checkrequirement"), nullptr);
  EXPECT_EQ(GetProcAddress(m, "Missing"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  // The same file again is the same module, counted twice.
  EXPECT_EQ(LoadLibrary((win("disc") + "\\REQ.dll").c_str()), m);
  char path[MAX_PATH];
  EXPECT_GT(GetModuleFileName(m, path, MAX_PATH), 0u);
  EXPECT_EQ(qv::os::toHostPath(path), std::filesystem::weakly_canonical(hostPath("disc/REQ.DLL")).string());
  EXPECT_TRUE(FreeLibrary(m));
  EXPECT_TRUE(FreeLibrary(m));
  EXPECT_FALSE(FreeLibrary(m));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(ModuleTest, WhatDoesNotLoadGivesThePlatformsErrors) {
  writeFile("disc/notes.dll", "just text, not a library");
  writeFile("disc/empty.dll", "");
  std::filesystem::create_directories(hostPath("disc/folder.dll"));
  struct Case {
    const char* what;
    std::string name;
    DWORD error;
  };
  const Case cases[] = {
      {"missing file", win("disc") + "\\missing.dll", ERROR_MOD_NOT_FOUND},
      {"missing bare name", "nosuchlibrary.dll", ERROR_MOD_NOT_FOUND},
      {"a folder", win("disc") + "\\folder.dll", ERROR_MOD_NOT_FOUND},
      {"text file", win("disc") + "\\notes.dll", ERROR_BAD_EXE_FORMAT},
      {"empty file", win("disc") + "\\empty.dll", ERROR_BAD_EXE_FORMAT},
      {"empty name", "", ERROR_MOD_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(LoadLibrary(c.name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error));
  }
  EXPECT_EQ(LoadLibrary(nullptr), nullptr);
  EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(0x4321), "CheckRequirement"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(ModuleTest, StandInIsFoundByNameCountedAndCanBeAbsent) {
  registerMsimg();
  HMODULE m = LoadLibrary("MSIMG32.DLL");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(LoadLibrary("msimg32"), m);
  EXPECT_EQ(LoadLibrary("C:\\WINDOWS\\system32\\msimg32.dll"), m);
  EXPECT_EQ(GetModuleHandle("msimg32.dll"), m);
  auto byName = qv::os::procAs<int (*)()>(GetProcAddress(m, "GradientFill"));
  auto byOrdinal = qv::os::procAs<int (*)()>(GetProcAddress(m, MAKEINTRESOURCE(150)));
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(byName(), 42);
  EXPECT_EQ(byOrdinal, byName);
  EXPECT_EQ(GetProcAddress(m, MAKEINTRESOURCE(151)), nullptr);
  EXPECT_NE(FindResource(m, MAKEINTRESOURCE(7), RT_BITMAP), nullptr);
  char path[MAX_PATH];
  GetModuleFileName(m, path, MAX_PATH);
  EXPECT_STREQ(path, "C:\\WINDOWS\\system32\\msimg32.dll");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(FreeLibrary(m));
  EXPECT_EQ(GetModuleHandle("msimg32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

  // A stand-in answers bare names and the system folder only.
  EXPECT_EQ(LoadLibrary((win("elsewhere") + "\\msimg32.dll").c_str()), nullptr);
  // A profile without the library: it is not there.
  msimgPresent_ = false;
  EXPECT_EQ(LoadLibrary("msimg32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(ModuleTest, BareNamesSearchTheProgramFolderAfterStandIns) {
  qv::os::setProgramPath(win("disc") + "\\Qvlaunch.exe");
  placeRequirementLibrary("disc/Check.dll");
  placeRequirementLibrary("disc/msimg32.dll");
  registerMsimg();
  HMODULE m = LoadLibrary("check.dll");
  ASSERT_NE(m, nullptr);
  EXPECT_NE(GetProcAddress(m, "CheckRequirement"), nullptr);
  EXPECT_EQ(GetModuleHandle("CHECK.DLL"), m);
  FreeLibrary(m);
  // The stand-in wins over a file of its name beside the program.
  HMODULE s = LoadLibrary("msimg32.dll");
  EXPECT_NE(GetProcAddress(s, "GradientFill"), nullptr);
  FreeLibrary(s);
}

TEST_F(ModuleTest, ModuleFileNameOfTheProgram) {
  qv::os::setProgramPath("C:\\Program Files\\Quorvel\\Qvlaunch.exe");
  char buf[MAX_PATH];
  const std::string full = "C:\\Program Files\\Quorvel\\Qvlaunch.exe";
  EXPECT_EQ(GetModuleFileName(nullptr, buf, MAX_PATH), full.size());
  EXPECT_EQ(buf, full);
  EXPECT_EQ(GetModuleFileName(GetModuleHandle(nullptr), buf, MAX_PATH), full.size());
  EXPECT_EQ(GetModuleHandle("QVLAUNCH.EXE"), GetModuleHandle(nullptr));
  // Too small: cut, terminated, the size returned with the error set.
  EXPECT_EQ(GetModuleFileName(nullptr, buf, 8), 8u);
  EXPECT_STREQ(buf, "C:\\Prog");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetModuleFileName(reinterpret_cast<HMODULE>(0x99), buf, MAX_PATH), 0u);
}

TEST_F(ModuleTest, SetErrorModeAnswersThePreviousMode) {
  EXPECT_EQ(SetErrorMode(SEM_FAILCRITICALERRORS), 0u);
  EXPECT_EQ(SetErrorMode(0), static_cast<UINT>(SEM_FAILCRITICALERRORS));
}

}  // namespace
