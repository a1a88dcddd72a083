// The headless desktop a fuzz target runs on: set up once per process as the
// test fixtures set it up per test (a C: folder in a fresh temporary host
// folder, the virtual clock at 0), and removed when the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"

namespace qvfuzz {

class Desktop {
 public:
  static Desktop& get() {
    static Desktop desktop;
    return desktop;
  }
  const std::string& dir() const { return temp_; }
  std::string hostPath(const std::string& relative) const { return temp_ + "/" + relative; }
  // Writes (replaces) a host file in the desktop's folder; its host path.
  std::string writeFile(const std::string& relative, const std::uint8_t* data, std::size_t size) const {
    std::filesystem::path p = hostPath(relative);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return p.string();
  }

 private:
  Desktop() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qvfuzz-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) std::abort();
    temp_ = tmpl;
    qv::desktop::resetDesktop();
    qv::desktop::profile().cDrive = temp_ + "/C";
    std::filesystem::create_directories(qv::desktop::profile().cDrive);
    qv::desktop::Clock::useVirtual(0);
  }
  ~Desktop() {
    qv::desktop::resetDesktop();
    std::error_code ec;
    std::filesystem::remove_all(temp_, ec);
  }
  std::string temp_;
};

}  // namespace qvfuzz
