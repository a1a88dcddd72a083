// The headless desktop a benchmark runs on: a C: folder in a fresh temporary
// host folder and the virtual clock at 0, set up as the test fixtures set it
// up; the folder goes when the benchmark's data goes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"

namespace qvbench {

class DesktopFolder {
 public:
  explicit DesktopFolder(const char* prefix) {
    std::string tmpl = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (mkdtemp(tmpl.data()) == nullptr) std::abort();
    dir_ = tmpl;
    qv::desktop::resetDesktop();
    qv::desktop::profile().cDrive = dir_ + "/C";
    std::filesystem::create_directories(qv::desktop::profile().cDrive);
    qv::desktop::Clock::useVirtual(0);
  }
  ~DesktopFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  DesktopFolder(const DesktopFolder&) = delete;
  DesktopFolder& operator=(const DesktopFolder&) = delete;
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

}  // namespace qvbench
