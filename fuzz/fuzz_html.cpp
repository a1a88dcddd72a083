// The browser's loader and document model: the bytes as a page file on the
// C: drive, loaded as the control loads a path (charset detection, parsing,
// frames), then walked as the control and its host walk it.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzDesktop.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/os/kernel/Paths.h"

namespace {

using qv::browser::Document;
using qv::browser::Element;

void walk(Document& doc) {
  (void)doc.title();
  if (Element* body = doc.body()) (void)body->innerText();
  for (Element* e : doc.all()) {
    (void)e->getAttribute("href");
    (void)e->getAttribute("src");
    (void)e->getAttribute("className");
    (void)e->style().cssText();
    if (e->isFormControl()) {
      (void)e->value();
      (void)e->type();
      (void)e->form();
    }
  }
  for (Element* form : doc.forms()) {
    for (Element* control : form->formElements()) {
      control->setValue("a b\r\n\xC3\xA4");
      (void)form->formItem(control->name());
    }
    (void)form->formQuery();
    (void)form->submitUrl();
  }
  (void)doc.links();
  (void)doc.anchors();
  (void)doc.images();
  (void)doc.findLink("x");
  (void)doc.setField("q", "value");
  for (const qv::browser::Frame& frame : doc.frames())
    if (frame.document) (void)frame.document->title();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const qvfuzz::Desktop& desktop = qvfuzz::Desktop::get();
  const std::string path = qv::os::toWindowsPath(desktop.writeFile("C/site/page.htm", data, size));
  // Frames may name other pages; keep them on the drive, shallow and few
  // (the page framing itself seventy times would load a thousand pages),
  // and a stray address short.
  qv::browser::LoadOptions options;
  options.timeoutMs = 200;
  options.frameDepth = 2;
  options.maxFrames = 16;
  std::shared_ptr<Document> doc = Document::load(path, options);
  if (doc) walk(*doc);
  return 0;
}
