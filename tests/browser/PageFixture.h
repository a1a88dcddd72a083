// Pages of tests/browser/pages/ laid out and drawn by the page view on the
// headless desktop, at the size of the runtime's window: the picture, the
// boxes of elements and what lies under points.
#pragma once

#include <memory>
#include <string>

#include "DesktopTest.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageView.h"
#include "platform/os/gdi/Image.h"

namespace qvtest {

class PageTest : public DesktopTest {
 protected:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  // The folder of the pages and their approved pictures.
  static std::string pagesDir();
  // A page by name: "tables" in pages/, "disc/index" in the demo disc.
  static std::string pagePath(const std::string& name);
  // How the runtime shows its pages: no 3-D edge, no scroll bars.
  static qv::browser::ViewOptions runtimeOptions();

  std::shared_ptr<qv::browser::Document> load(const std::string& hostPath);
  std::unique_ptr<qv::browser::PageView> show(const std::string& hostPath,
                                              const qv::browser::ViewOptions& options = runtimeOptions(),
                                              int width = kWidth, int height = kHeight);
  // The view drawn into a memory bitmap of its size.
  static qv::os::gdi::Image render(qv::browser::PageView& view);
  // Compares with pages/<name>.png pixel for pixel; a picture that differs
  // (or has no approved picture yet) is written to the build folder's
  // pages-actual/<name>.png for a person to look at.
  static void expectPicture(const qv::os::gdi::Image& picture, const std::string& name);
};

}  // namespace qvtest
