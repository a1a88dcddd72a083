// Image maps: the AREA of a picture's map (usemap="#name") under a point.
// Shapes as the platform's browser reads them: "rect" (left, top, right,
// bottom; the right and bottom edges outside), "circle" (centre and
// radius, the edge inside), "poly" (x, y pairs, even-odd), "default" (the
// whole picture); a missing shape is a rect. Coordinates are pixels of the
// picture as shown, counted from its top left. The first area that holds
// the point wins, even one without an address, which then does nothing.
#pragma once

#include "platform/browser/HtmlDocument.h"
#include "platform/os/Types.h"

namespace qv::browser {

// The map a picture uses (by name or id, without regard to case), or nullptr.
Element* mapOf(const Element& picture);
// The area at `pt` of a map, or nullptr.
Element* areaAt(const Element& map, POINT pt);
bool areaHolds(const Element& area, POINT pt);

}  // namespace qv::browser
