// What the old presentational attributes of a page mean for its layout, as
// CSS declarations: bgcolor, background, text and link of BODY, the body
// margins (leftmargin, topmargin, marginwidth, marginheight), align and
// valign, width and height, the table's border, cellspacing and cellpadding
// (which reach its cells), FONT's color, face and size, IMG's border,
// hspace and vspace, HR's size, width and noshade, list types and BR's
// clear. They weigh more than the default style sheet and less than the
// page's own style sheets, as on the platform.
//
// Values are read as the platform's browser reads them: lengths from their
// leading digits ("100", "50%", "100px"), colours by the old rules that
// make something of any text ("ff0000" without '#', names, junk). Nothing
// of an attribute reaches the CSS text unchecked.
#pragma once

#include <optional>
#include <string>

#include "platform/browser/HtmlDocument.h"

namespace qv::browser {

struct HintOptions {
  // Without scripts NOSCRIPT shows.
  bool scriptsEnabled = true;
  // A frame's marginwidth and marginheight for its page's body (-1: none).
  int frameMarginWidth = -1;
  int frameMarginHeight = -1;
};

// The declarations of an element ("" when none), with URLs made absolute
// against `baseUrl`.
std::string presentationalStyle(const Element& e, const std::string& baseUrl, const HintOptions& options = {});

// "#rrggbb" of a colour attribute, nullopt for an empty one.
std::optional<std::string> legacyColor(const std::string& value);
// A length attribute: "12px" or "50%", nullopt when it starts with no digit.
std::optional<std::string> legacyLength(const std::string& value);
// FONT's size (1 to 7, "+n", "-n" from 3) in pixels.
std::optional<int> fontSizePixels(const std::string& value);
// An attribute value in ASCII lower case; without the blanks around it.
std::string lowerAscii(std::string value);
std::string trimBlanks(const std::string& value);
// The leading integer of an attribute ("3", " 4px"), nullopt without one.
std::optional<int> leadingInt(const std::string& value);

}  // namespace qv::browser
