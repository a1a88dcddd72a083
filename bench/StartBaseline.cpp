// The floor under the runtime's start: a program linked to the same
// libraries that reads the settings file beside it and parses the start
// page it names with libxml2, and ends.
#include <libxml/HTMLparser.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/os/kernel/PrivateProfile.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string folder = argv[1];
  std::ifstream in(folder + "/autorun.inf", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  qv::os::ProfileText settings(bytes);
  const std::string page = settings.value("quorvel", "startpage").value_or("");
  htmlDocPtr doc = htmlReadFile((folder + "/" + page).c_str(), nullptr, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING);
  if (doc == nullptr) return 1;
  xmlFreeDoc(doc);
  return 0;
}
