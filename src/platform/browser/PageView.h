// The control's simple view of a page: the body's text and links laid out in
// words, block elements on their own lines, wrapped at the width, links blue
// and underlined. Enough for a screenshot to show which page is shown and
// for the pointer to find the link under it.
#pragma once

#include <string>
#include <vector>

#include "platform/browser/HtmlDocument.h"
#include "platform/os/Types.h"

namespace qv::browser {

struct PageRun {
  RECT rect;
  std::string text;         // ANSI, as drawn
  Element* link = nullptr;  // the A or AREA this word belongs to
};

// Lays the document's body out in the DC's current font, `width` pixels wide.
std::vector<PageRun> layoutPage(HDC dc, const Document& doc, int width);
// Paints the runs on a white background into `client`.
void paintPage(HDC dc, const RECT& client, const std::vector<PageRun>& runs);
// The link at a point of the view, or nullptr.
Element* linkAt(const std::vector<PageRun>& runs, POINT pt);

}  // namespace qv::browser
