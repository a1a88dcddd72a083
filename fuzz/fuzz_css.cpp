// Style sheets: the bytes as a linked style sheet file and, a second time,
// inside the page's own STYLE element, over a page with one of each kind
// of box (headings, lists, tables, pictures, fields, an inline frame);
// the page is laid out, drawn, scrolled and hit-tested (FuzzPage.h).
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzDesktop.h"
#include "FuzzPage.h"
#include "platform/os/kernel/Paths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const qvfuzz::Desktop& desktop = qvfuzz::Desktop::get();
  desktop.writeFile("C/site/style.css", data, size);
  std::string sheet(reinterpret_cast<const char*>(data), size);
  const std::string page =
      "<html><head><link rel=stylesheet href=style.css><style>" + sheet +
      "</style></head><body><h1 id=a class=b>Head</h1><p>Text <b>bold</b> <a href=x.htm>link</a></p>"
      "<ul><li>one<li>two</ul><ol start=3><li>three</ol><table border=1 cellpadding=2><tr><td>c<td rowspan=2>d"
      "<tr><td>e</table><div style=\"float:left;width:50%\">float</div><img src=none.gif alt=pic width=20>"
      "<form><input name=q><input type=checkbox><select><option>o</select><textarea>t</textarea>"
      "<input type=submit></form><iframe src=about:blank></iframe><pre>pre  text</pre></body></html>";
  const std::string path =
      qv::os::toWindowsPath(desktop.writeFile("C/site/page.htm", reinterpret_cast<const std::uint8_t*>(page.data()),
                                              page.size()));
  qv::browser::LoadOptions options;
  options.timeoutMs = 200;
  options.frameDepth = 1;
  if (auto doc = qv::browser::Document::load(path, options)) qvfuzz::exercisePage(doc);
  return 0;
}
