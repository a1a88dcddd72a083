// Version resources read from a program's file (its block came from the
// build), a container file and a stand-in system module.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/ResFile.h"
#include "platform/os/kernel/Version.h"

namespace {

class VersionTest : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    qv::os::unregisterStandInModule("shdocvw.dll");
    DesktopTest::TearDown();
  }

  static std::vector<BYTE> versionContainer(WORD a, WORD b, WORD c, WORD d, const std::string& fileVersion) {
    qv::os::VersionInfo info;
    const WORD v[4] = {a, b, c, d};
    std::memcpy(info.fileVersion, v, sizeof v);
    info.fileType = VFT_DLL;
    info.tables = {{"040904B0", {{"CompanyName", "Example"}, {"FileVersion", fileVersion}}}};
    info.translations = {{0x0409, 0x04B0}};
    return qv::os::writeResContainer({qv::os::ResEntry{qv::os::ResId::id(16), qv::os::ResId::id(1), 0, 0x0030, 0, 0, 0,
                                                       qv::os::buildVersionResource(info), {}}});
  }

  // The whole block of a file, as callers read it.
  static std::vector<BYTE> blockOf(const std::string& file) {
    DWORD handle = 99;
    const DWORD size = GetFileVersionInfoSize(file.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    if (!size) return {};
    std::vector<BYTE> block(size);
    EXPECT_TRUE(GetFileVersionInfo(file.c_str(), 0, size, block.data()));
    return block;
  }

  static std::string text(const std::vector<BYTE>& block, const std::string& sub) {
    LPVOID p = nullptr;
    UINT len = 0;
    if (!VerQueryValue(block.data(), sub.c_str(), &p, &len)) return "<none>";
    EXPECT_EQ(std::strlen(static_cast<char*>(p)) + 1, len);
    return static_cast<char*>(p);
  }
};

TEST_F(VersionTest, ProgramCopyCarriesTheVersionBlockFromTheBuild) {
  // A copy of a program built with a resource script, under another name.
  const std::string copy = qv::desktop::cDriveRoot() + "/Program Files/Quorvel/Qvlaunch.exe";
  std::filesystem::create_directories(std::filesystem::path(copy).parent_path());
  std::filesystem::copy_file(std::string(QV_TESTBIN) + "/prog_registry_writer", copy);
  const auto block = blockOf("C:\\PROGRAM FILES\\Quorvel\\qvlaunch.exe");
  ASSERT_FALSE(block.empty());

  LPVOID p = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValue(block.data(), "\\", &p, &len));
  ASSERT_EQ(len, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(p);
  EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(fixed->dwStrucVersion, VS_FFI_STRUCVERSION);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00030002u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x0001004Du);  // 1.77
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00040000u);
  EXPECT_EQ(fixed->dwFileType, VFT_APP);

  ASSERT_TRUE(VerQueryValue(block.data(), "\\VarFileInfo\\Translation", &p, &len));
  ASSERT_EQ(len, 4u);
  WORD pair[2];
  std::memcpy(pair, p, 4);
  EXPECT_EQ(pair[0], 0x0407);
  EXPECT_EQ(pair[1], 0x04E4);

  // The path the runtime builds from the translation, in lower-case hex.
  char sub[64];
  std::snprintf(sub, sizeof sub, "\\StringFileInfo\\%04x%04x\\%s", pair[0], pair[1], "FileVersion");
  EXPECT_EQ(text(block, sub), "3.2.1.77");
  EXPECT_EQ(text(block, "\\StringFileInfo\\040704E4\\productname"), "Quorvel");
  EXPECT_EQ(text(block, "\\StringFileInfo\\040704E4\\LegalCopyright"), qv::os::ansi(u8"© 2026 Halvesta"));
  EXPECT_EQ(text(block, "\\StringFileInfo\\040704E4\\FileDescription"),
            qv::os::ansi(u8"Registry-Schreiber für die Tests"));
  EXPECT_EQ(text(block, "\\StringFileInfo\\040704E4\\Comments"), "<none>");
  EXPECT_EQ(text(block, "\\StringFileInfo\\040904B0\\FileVersion"), "<none>");
}

TEST_F(VersionTest, ContainerFileAndStandInModuleAnswerAlike) {
  const auto res = versionContainer(6, 0, 2900, 2180, "6.00.2900.2180");
  writeFile("disc/module.res", std::string(res.begin(), res.end()));
  qv::os::StandInModule shdocvw;
  shdocvw.fileName = "shdocvw.dll";
  shdocvw.resources = res;
  qv::os::registerStandInModule(shdocvw);
  for (const std::string& file :
       {qv::os::toWindowsPath(hostPath("disc/module.res")), std::string("C:\\WINDOWS\\system32\\shdocvw.dll")}) {
    SCOPED_TRACE(file);
    const auto block = blockOf(file);
    ASSERT_FALSE(block.empty());
    LPVOID p = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValue(block.data(), "\\", &p, &len));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(p);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00060000u);
    EXPECT_EQ(fixed->dwFileVersionLS, (2900u << 16) | 2180u);
    EXPECT_EQ(text(block, "\\StringFileInfo\\040904b0\\FileVersion"), "6.00.2900.2180");
  }
}

TEST_F(VersionTest, RunningProgramAnswersFromItsOwnResources) {
  // A main block run in-process under the path of a program that is not on
  // disk still reads the version it was built with.
  const std::string saved = qv::os::programPath();
  qv::os::setProgramPath("C:\\Program Files\\Quorvel\\Qvdesigner.exe");
  const auto block = blockOf("c:\\program files\\quorvel\\QVDESIGNER.EXE");
  qv::os::setProgramPath(saved);
  ASSERT_FALSE(block.empty());
  EXPECT_EQ(text(block, "\\StringFileInfo\\040904e4\\FileVersion"), "9.8.7.6");
}

TEST_F(VersionTest, FilesWithoutAVersionBlockGiveZeroAndAnError) {
  const auto plain = qv::os::writeResContainer(
      {qv::os::ResEntry{qv::os::ResId::id(10), qv::os::ResId::id(1), 0, 0x0030, 0, 0, 0, {1}, {}}});
  writeFile("disc/plain.res", std::string(plain.begin(), plain.end()));
  writeFile("disc/readme.txt", "no version here");
  std::filesystem::copy_file(std::string(QV_TESTBIN) + "/lib_req_ok.so", hostPath("disc/req.dll"));
  struct Case {
    const char* what;
    std::string file;
    DWORD error;
  };
  const Case cases[] = {
      {"missing", qv::os::toWindowsPath(hostPath("disc/missing.exe")), ERROR_FILE_NOT_FOUND},
      {"container without one", qv::os::toWindowsPath(hostPath("disc/plain.res")), ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"text file", qv::os::toWindowsPath(hostPath("disc/readme.txt")), ERROR_RESOURCE_DATA_NOT_FOUND},
      {"library without one", qv::os::toWindowsPath(hostPath("disc/req.dll")), ERROR_RESOURCE_DATA_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSize(c.file.c_str(), nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error));
    BYTE buf[512];
    EXPECT_FALSE(GetFileVersionInfo(c.file.c_str(), 0, sizeof buf, buf));
  }
  // A buffer smaller than the block is refused rather than cut.
  const auto res = versionContainer(1, 2, 3, 4, "1.2.3.4");
  writeFile("disc/v.res", std::string(res.begin(), res.end()));
  const std::string file = qv::os::toWindowsPath(hostPath("disc/v.res"));
  std::vector<BYTE> small(GetFileVersionInfoSize(file.c_str(), nullptr) - 4);
  EXPECT_FALSE(GetFileVersionInfo(file.c_str(), 0, static_cast<DWORD>(small.size()), small.data()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

}  // namespace
