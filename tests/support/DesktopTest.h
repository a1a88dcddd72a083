// Base fixture for tests on the headless desktop: every test gets a fresh
// desktop with its own C: folder in a temporary host folder, the virtual
// clock at 0, and empty recorders.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace qvtest {

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The host folder this test owns (removed afterwards), and paths in it.
  const std::string& tempDir() const { return temp_; }
  std::string hostPath(const std::string& relative) const { return temp_ + "/" + relative; }
  // Writes a host file (creating folders) and returns its host path.
  std::string writeFile(const std::string& relative, const std::string& bytes) const;
  static std::string readFile(const std::string& hostPath);

 private:
  std::string temp_;
};

// A companion program or shared object built beside the tests.
std::string testBin(const std::string& name);

}  // namespace qvtest
