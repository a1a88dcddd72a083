// Reading the fixed version block of a file: numbers, dotted text, files
// without a block, and the state after a failed read.
#include <gtest/gtest.h>

#include <string>

#include "DesktopTest.h"
#include "platform/os/kernel/ResFile.h"
#include "platform/os/kernel/Version.h"
#include "runtime/rsFileVersion.h"

namespace {

class FileVersionTest : public qvtest::DesktopTest {
 protected:
  // A resource container file; with a version block when `version` is given.
  std::string writeModule(const std::string& name, const WORD* version) {
    std::vector<qv::os::ResEntry> entries;
    qv::os::ResEntry text;
    text.type = qv::os::ResId::id(6);  // a string table, so the container is not empty
    text.name = qv::os::ResId::id(1);
    text.data = {0, 0};
    entries.push_back(text);
    if (version) {
      qv::os::VersionInfo info;
      for (int i = 0; i < 4; ++i) info.fileVersion[i] = version[i];
      info.productVersion[0] = 9;  // the product version must not be read
      qv::os::ResEntry block;
      block.type = qv::os::ResId::id(16);
      block.name = qv::os::ResId::id(VS_VERSION_INFO);
      block.data = qv::os::buildVersionResource(info);
      entries.push_back(block);
    }
    auto bytes = qv::os::writeResContainer(entries);
    return writeFile(name, std::string(bytes.begin(), bytes.end()));
  }
};

TEST_F(FileVersionTest, ReadsNumbersAndDottedTextWithoutBuild) {
  const WORD v[] = {3, 2, 1, 77};
  const WORD high[] = {10, 65535, 40000, 65535};
  TrsFileVersion fv;
  EXPECT_EQ(fv.Version, "");
  ASSERT_TRUE(fv.ReadFromFile(writeModule("prog.dll", v)));
  EXPECT_EQ(fv.Version, "3.2.1");
  EXPECT_EQ((std::vector<int>{fv.Major, fv.Minor, fv.Release, fv.Build}), (std::vector<int>{3, 2, 1, 77}));

  // Each number is a whole 16-bit half.
  ASSERT_TRUE(fv.ReadFromFile(writeModule("high.dll", high)));
  EXPECT_EQ(fv.Version, "10.65535.40000");
  EXPECT_EQ(fv.Build, 65535);
}

TEST_F(FileVersionTest, FailedReadClearsAndNextReadHoldsOnlyItsValues) {
  const WORD v[] = {3, 2, 1, 77};
  const WORD other[] = {1, 0, 0, 5};
  TrsFileVersion fv;
  ASSERT_TRUE(fv.ReadFromFile(writeModule("first.dll", v)));

  for (const std::string& file :
       {writeModule("noversion.dll", nullptr), writeFile("plain.txt", "just text"), hostPath("missing.dll")}) {
    EXPECT_FALSE(fv.ReadFromFile(file)) << file;
    EXPECT_EQ(fv.Version, "") << file;
    EXPECT_EQ((std::vector<int>{fv.Major, fv.Minor, fv.Release, fv.Build}), (std::vector<int>{0, 0, 0, 0})) << file;
  }

  ASSERT_TRUE(fv.ReadFromFile(writeModule("second.dll", other)));
  EXPECT_EQ(fv.Version, "1.0.0");
  EXPECT_EQ(fv.Build, 5);
}

TEST_F(FileVersionTest, QueryWritesOnlyTheOutputsGiven) {
  const WORD v[] = {4, 3, 2, 1};
  const std::string file = writeModule("q.dll", v);
  TrsFileVersion fv;
  int minor = -1, build = -1;
  EXPECT_TRUE(fv.QueryFixedFileInfo(file, nullptr, &minor, nullptr, &build));
  EXPECT_EQ(minor, 3);
  EXPECT_EQ(build, 1);
  // The object's own fields are not touched by the query.
  EXPECT_EQ(fv.Version, "");
  EXPECT_EQ(fv.Major, 0);
}

}  // namespace
