// The style sheet every page starts from: the platform's browser in its
// old (quirks) mode, as disc pages are written for it. Body margins of 15
// pixels above and below and 10 at the sides, 12-point Times New Roman,
// bold headings, lists indented by 40 pixels, blue underlined links, tables
// that reset the font and space their cells by 2 pixels with 1 pixel of
// padding, forms with a bottom margin, and form fields with the platform's
// sunken and raised edges in the system colours.
//
// Presentational attributes (bgcolor, align, width, <font> ...) are not
// here: they come as style hints of their own (PresentationalHints.h),
// which win over this sheet and lose to the page's own style sheets.
#pragma once

namespace qv::browser {

const char* defaultStyleSheet();

// The page's default font, in pixels at 96 DPI, and its face.
inline constexpr int kDefaultFontPixels = 16;
inline constexpr char kDefaultFontFace[] = "Times New Roman";

}  // namespace qv::browser
