// COM objects over the document model: each answers its typed interface
// (HtmlInterfaces.h) and IDispatch with the same members by name
// (case-insensitive; unknown names give DISP_E_UNKNOWNNAME). The objects keep
// their document alive. A document, its window and each element are the same
// object each time they are asked for while someone holds a reference, so
// identity comparisons through IUnknown hold as on the platform.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlInterfaces.h"

namespace qv::browser {

// The document object (also IHTMLDocument3 and IHTMLDocument).
qv::com::ComPtr<IHTMLDocument2> documentObject(const std::shared_ptr<Document>& doc);
// The window showing a document (doc's parentWindow).
qv::com::ComPtr<IHTMLWindow2> windowObject(const std::shared_ptr<Document>& doc);
// An element (also IHTMLFormElement for FORM, IHTMLInputElement for INPUT,
// IHTMLSelectElement for SELECT, IHTMLTextAreaElement for TEXTAREA);
// null for a null element.
qv::com::ComPtr<IHTMLElement> elementObject(const std::shared_ptr<Document>& doc, Element* element);

// Back from a COM object of ours to the model; nullptr for other objects.
Element* elementOf(IUnknown* object);
Document* documentOf(IUnknown* object);  // a document or window object

// An event object for the control to hand to a window (Document::setEvent)
// while it raises an event: `type` ("error", "click", ...), the source element
// (may be null) and further properties readable and writable by name, e.g.
// {"errorLine", Variant(LONG(12))} for a script error.
qv::com::ComPtr<IHTMLEventObj> makeEventObject(const std::string& type, IHTMLElement* srcElement,
                                               const std::vector<std::pair<std::string, qv::com::Variant>>& properties);

// Text at the COM edge: the model's UTF-8 as a new BSTR and back.
BSTR utf8ToBstr(const std::string& utf8);
std::string bstrToUtf8(BSTR b);

}  // namespace qv::browser
