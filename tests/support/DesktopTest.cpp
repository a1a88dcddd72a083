#include "DesktopTest.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"

namespace qvtest {

void DesktopTest::SetUp() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "qvtest-XXXXXX").string();
  char* made = mkdtemp(tmpl.data());
  ASSERT_NE(made, nullptr);
  temp_ = made;
  qv::desktop::resetDesktop();
  qv::desktop::profile().cDrive = temp_ + "/C";
  qv::desktop::Clock::useVirtual(0);
}

void DesktopTest::TearDown() {
  qv::desktop::resetDesktop();
  std::error_code ec;
  std::filesystem::remove_all(temp_, ec);
}

std::string DesktopTest::writeFile(const std::string& relative, const std::string& bytes) const {
  std::filesystem::path p = hostPath(relative);
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return p.string();
}

std::string DesktopTest::readFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string testBin(const std::string& name) {
#ifdef QV_TESTBIN
  return std::string(QV_TESTBIN) + "/" + name;
#else
  return name;
#endif
}

}  // namespace qvtest
