#include "PageFixture.h"

#include <unistd.h>

#include <filesystem>

#include "platform/os/gdi/Gdi.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/WindowDc.h"

namespace qvtest {

using qv::browser::PageView;
using qv::browser::ViewOptions;

std::string PageTest::pagesDir() { return std::string(QV_SOURCE_DIR) + "/tests/browser/pages/"; }

std::string PageTest::pagePath(const std::string& name) {
  if (name.rfind("disc/", 0) == 0) return std::string(QV_SOURCE_DIR) + "/examples/" + name + ".html";
  return pagesDir() + name + ".html";
}

ViewOptions PageTest::runtimeOptions() {
  ViewOptions o;
  o.scrollBars = false;
  o.border3d = false;
  return o;
}

std::shared_ptr<qv::browser::Document> PageTest::load(const std::string& hostPath) {
  return qv::browser::Document::load(hostPath);
}

std::unique_ptr<PageView> PageTest::show(const std::string& hostPath, const ViewOptions& options, int width,
                                         int height) {
  auto view = std::make_unique<PageView>(load(hostPath), options);
  view->setBounds(RECT{0, 0, width, height});
  return view;
}

qv::os::gdi::Image PageTest::render(PageView& view) {
  const RECT b = view.bounds();
  const int w = b.right, h = b.bottom;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT all{0, 0, w, h};
  // Anything the view leaves unpainted shows up as magenta.
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(mem, &all, magenta);
  DeleteObject(magenta);
  view.paint(mem, all);
  SelectObject(mem, old);
  qv::os::gdi::Image out;
  qv::os::gdi::imageFromBitmap(bmp, out);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  for (auto& p : out.pixels) p |= 0xFF000000u;
  out.hasAlpha = false;
  return out;
}

void PageTest::expectPicture(const qv::os::gdi::Image& picture, const std::string& name) {
  qv::os::gdi::Image golden;
  std::string why;
  const bool have = qv::os::gdi::loadImageFile(pagesDir() + name + ".png", golden, &why);
  long differing = 0;
  int firstX = -1, firstY = -1;
  if (have && golden.width == picture.width && golden.height == picture.height) {
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        if ((golden.at(x, y) & 0xFFFFFFu) != (picture.at(x, y) & 0xFFFFFFu)) {
          if (differing++ == 0) firstX = x, firstY = y;
        }
    if (differing == 0) return;
  }
  char self[4096] = {0};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::filesystem::path out = n > 0 ? std::filesystem::path(std::string(self, static_cast<size_t>(n))).parent_path().parent_path()
                                    : std::filesystem::temp_directory_path();
  out /= "pages-actual";
  std::filesystem::create_directories(out);
  const std::string actual = (out / (name + ".png")).string();
  qv::os::gdi::writeHostFile(actual, qv::os::gdi::encodePng(picture));
  if (!have)
    ADD_FAILURE() << "no approved picture " << name << ".png (" << why << "); this run's picture: " << actual;
  else if (golden.width != picture.width || golden.height != picture.height)
    ADD_FAILURE() << name << ": the approved picture is " << golden.width << " x " << golden.height << ", this one "
                  << picture.width << " x " << picture.height << "; this run's picture: " << actual;
  else
    ADD_FAILURE() << name << ": " << differing << " pixels differ from the approved picture, the first at (" << firstX
                  << ", " << firstY << "); this run's picture: " << actual;
}

}  // namespace qvtest
