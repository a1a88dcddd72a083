// The browser control's page view: the bytes as a page file on the C:
// drive, loaded as the control loads it, then laid out by the layout
// engine, drawn, scrolled and hit-tested (FuzzPage.h).
#include <cstddef>
#include <cstdint>

#include "FuzzDesktop.h"
#include "FuzzPage.h"
#include "platform/os/kernel/Paths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const qvfuzz::Desktop& desktop = qvfuzz::Desktop::get();
  const std::string path = qv::os::toWindowsPath(desktop.writeFile("C/site/page.htm", data, size));
  qv::browser::LoadOptions options;
  options.timeoutMs = 200;
  options.frameDepth = 2;
  options.maxFrames = 16;  // a page framing itself dozens of times is the html target's
  if (auto doc = qv::browser::Document::load(path, options)) qvfuzz::exercisePage(doc);
  return 0;
}
