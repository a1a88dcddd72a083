// The page as the layout engine reads it: the document model written out
// again as HTML, each element carrying a mark ("data-qv-node") that leads
// back to the element it stands for, so that every box of the layout knows
// its element while the document model stays the one truth.
//
// What goes out: elements and text as the model holds them, with the
// presentational attributes left out (they arrive as style hints, see
// PresentationalHints.h) and the contents of SELECT, TEXTAREA, IFRAME,
// SCRIPT and NOFRAMES left out (the controls and frames draw themselves).
// Nesting deeper than the engine can take (kMaxDepth elements, kMaxTables
// tables in tables) is flattened: the deeper tags go, their text stays.
//
// Big pages are laid out in slices: runs of the children of the page's
// flow root (the body, or the one element that holds all of it), each with
// the page's head and the elements around it, but the top edge (margin,
// border, padding) of those elements only in the first slice and the bottom
// edge only in the last. A slice is laid out on its own, so margins do not
// collapse and floats do not reach across slice ends.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/browser/HtmlDocument.h"

namespace qv::browser {

inline constexpr int kMaxDepth = 200;
inline constexpr int kMaxTables = 10;
inline constexpr char kNodeMark[] = "data-qv-node";

struct PageSlice {
  const Element* flowRoot = nullptr;  // nullptr: the whole page in one piece
  size_t first = 0, last = 0;         // the flow root's child nodes [first, last)
  size_t items = 0;                   // what the engine makes of it (see countItems)
  bool isFirst = true, isLast = true;
};

struct SourceOptions {
  bool scriptsEnabled = true;  // NOSCRIPT stays out
};

// The boxes the engine makes of a subtree: one per element, two per word
// (the word and the blank after it).
size_t countItems(const Element& e);

// One slice for a page of at most `wholeItems`, else slices of about
// `sliceItems` each (a single child bigger than that is a slice of its own).
std::vector<PageSlice> planSlices(const Document& doc, size_t sliceItems, size_t wholeItems);

// A comment left open runs to the end of its style sheet. The layout engine
// strips comments by pairing each "/*" with the next "*/" wherever it
// stands (strings too) and never ends on an open one at the sheet's second
// character, so a sheet whose last "/*" is unpaired gets its "*/". The text
// reaches the engine from the page's STYLE elements and from linked sheets.
void closeOpenComment(std::string& sheet);

// The HTML of a slice; `nodes` receives the elements the marks number.
std::string pageSource(const Document& doc, const PageSlice& slice, const SourceOptions& options,
                       std::vector<Element*>& nodes);

}  // namespace qv::browser
