// Says whether libcurl is in the process: at start, after a page that is
// no http address, and after the http address given as the argument.
#include <link.h>

#include <cstdio>
#include <cstring>

#include "platform/browser/HtmlLoader.h"

namespace {

int curlLoaded() {
  int found = 0;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "libcurl") != nullptr)
          *static_cast<int*>(data) = 1;
        return 0;
      },
      &found);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::printf("start %d\n", curlLoaded());
  qv::browser::loadPage("about:blank");
  std::printf("page %d\n", curlLoaded());
  qv::browser::LoadedPage page = qv::browser::loadPage(qv::browser::LoadRequest{argv[1], {}, {}, 5000});
  std::printf("http %d %s\n", curlLoaded(), page.errorPage ? "error" : "loaded");
  return 0;
}
