// The layout engine's elements for the elements of a page: each the
// engine's own kind for its tag, knowing its page element (NodeLink) and
// adding that element's style hints when the default style sheet is
// applied, so that the page's own style sheets still win over them.
//
// Pictures, form fields and inline frames are replaced boxes of ours:
// their size comes from the picture, from the field's kind with its size,
// cols, rows and options, or 300 x 150 for a frame, unless the page sets
// width and height; they draw their contents themselves:
// - a picture, or when it is missing its placeholder: a thin sunken box
//   with the broken-picture sign and the alt text;
// - text and password fields (size characters wide, '*' for each
//   character of a password), push buttons (submit, reset, button; file
//   fields have a Browse button), check boxes and radio buttons with the
//   platform's glyphs, drop-down lists with the combo box arrow, list
//   boxes with the selected options highlighted, and text areas with their
//   lines and a scroll bar, in the platform's edges and system colours;
// - a frame: the page the view shows in it.
#pragma once

#include <litehtml/litehtml.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/browser/HtmlDocument.h"

namespace qv::browser {

// The engine element for a marked element of the page, or nullptr for
// the engine's own default.
std::shared_ptr<litehtml::element> makeBox(const std::string& tag, Element* element,
                                           const std::shared_ptr<litehtml::document>& doc);

// A form field's kind as the view treats it: "text", "password",
// "checkbox", "radio", "submit", "reset", "button", "file", "image",
// "hidden", "select", "listbox", "textarea"; "" for other elements.
std::string controlKind(const Element& e);
// The caption of a push button.
std::string buttonCaption(const Element& e);
// The OPTION elements of a SELECT, in their order.
std::vector<Element*> optionsOf(const Element& select);

}  // namespace qv::browser
