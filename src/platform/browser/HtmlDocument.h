// The document model: a loaded page as a tree of elements, with the lookups,
// form state and frames the browser control and its host use. COM objects
// over it are in HtmlDispatch.h; this is the plain C++ side for the control's
// own work and for tests.
//
// All text here is UTF-8 (the COM side hands it out as UTF-16). Tag names are
// upper case, attribute names lower case and matched without regard to case.
// The tree is flat-owned by its document, so deep pages (thousands of
// unclosed tags) are walked and freed without recursion.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/browser/HtmlLoader.h"
#include "platform/com/ComPtr.h"
#include "platform/os/Types.h"

struct IHTMLEventObj;
struct VARIANT;

namespace qv::browser {

class Document;

// One CSS declaration list, in order; names as written in the style sheet
// ("background-color"), values as text.
class Style {
 public:
  std::string get(const std::string& cssName) const;  // "" when unset
  void set(const std::string& cssName, const std::string& value);  // "" removes
  std::string cssText() const;
  void setCssText(const std::string& text);

 private:
  std::vector<std::pair<std::string, std::string>> decls_;
};

class Element {
 public:
  const std::string& tagName() const { return tag_; }
  Document& document() const { return *doc_; }
  Element* parent() const { return parent_; }
  std::vector<Element*> children() const;  // element children
  // Descendants in document order (not this element).
  std::vector<Element*> descendants() const;
  // All child nodes in order, text nodes too (their tagName() is "", their
  // text in text()), for the control's page view.
  const std::vector<Element*>& childNodes() const { return kids_; }
  const std::string& text() const { return text_; }

  bool hasAttribute(const std::string& name) const;
  std::string attribute(const std::string& name) const;  // as written, "" when missing
  void setAttribute(const std::string& name, const std::string& value);
  void removeAttribute(const std::string& name);
  const std::vector<std::pair<std::string, std::string>>& attributes() const { return attrs_; }
  // As the platform's getAttribute with flags 0: "href" and "src" made absolute
  // against the page, "className" naming the class attribute; with flags & 2
  // the text as written. "" for a missing attribute.
  std::string getAttribute(const std::string& name, long flags = 0) const;

  std::string id() const { return attribute("id"); }
  std::string name() const { return attribute("name"); }
  std::string className() const { return attribute("class"); }
  // The rendered text: descendants' text with blanks collapsed, BR and block
  // ends as line breaks, script and style left out.
  std::string innerText() const;

  Style& style() { return style_; }
  const Style& style() const { return style_; }
  void styleChanged();  // writes the style back to the style attribute

  // Form controls (INPUT, SELECT, TEXTAREA, BUTTON). INPUT: its value
  // (the value attribute until set); SELECT: the selected option's value
  // (the first option when none is selected); TEXTAREA: its text.
  std::string value() const;
  void setValue(const std::string& v);  // SELECT: selects the option with this value
  std::string type() const;             // INPUT's type in lower case, "text" by default
  bool checked() const { return checked_; }
  void setChecked(bool c);
  bool selected() const { return selected_; }  // OPTION
  bool isFormControl() const;
  Element* form() const;  // the FORM this control lies in

  // FORM elements.
  std::vector<Element*> formElements() const;
  Element* formItem(const std::string& nameOrId) const;  // first match, nullptr when none
  std::string action() const;  // absolute; the page's address when empty
  std::string method() const;  // lower case, "get" by default
  std::string target() const { return attribute("target"); }
  // The submission's data as application/x-www-form-urlencoded in the page's
  // charset: successful controls in order, blanks as '+', line breaks as CR LF.
  // The button that submitted the form counts in its place (its name and
  // value; a picture button's name with ".x" and ".y" and the point clicked).
  std::string formQuery(const Element* submitter = nullptr, POINT at = {0, 0}) const;
  // The address a GET submission navigates to: the action without its query
  // and fragment, "?" and the query.
  std::string submitUrl(const Element* submitter = nullptr, POINT at = {0, 0}) const;

 private:
  friend class Document;
  Document* doc_ = nullptr;
  Element* parent_ = nullptr;
  std::string tag_;  // "" for a text node
  std::string text_;  // text nodes
  std::vector<std::pair<std::string, std::string>> attrs_;
  std::vector<Element*> kids_;  // all children, text nodes too
  Style style_;
  // Form state.
  bool checked_ = false;
  bool selected_ = false;  // OPTION
  bool valueSet_ = false;
  std::string value_;
  bool isText() const { return tag_.empty(); }
};

struct Frame {
  Element* element = nullptr;          // the FRAME or IFRAME
  std::string name;                    // its name (or id)
  std::shared_ptr<Document> document;  // loaded from its src
};

struct LoadOptions {
  long timeoutMs = 15000;
  int frameDepth = 4;  // nested frames beyond this stay empty
  // A page's frames, nested ones counted, outer ones first; frames beyond
  // this stay empty too.
  int maxFrames = 1000;
};

class Document : public std::enable_shared_from_this<Document> {
 public:
  // Loads an address or path (see HtmlLoader.h), then its frames. A failure
  // gives the error page, with the reason in loadResult().
  static std::shared_ptr<Document> load(const std::string& urlOrPath, const LoadOptions& options = {});
  static std::shared_ptr<Document> load(const LoadRequest& request, const LoadOptions& options = {});
  // Parses UTF-8 text as the page at `url` (frames are loaded too).
  static std::shared_ptr<Document> fromHtml(const std::string& utf8, const std::string& url,
                                            const std::string& charset = "utf-8", const LoadOptions& options = {});
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  const std::string& url() const { return url_; }
  const std::string& charset() const { return charset_; }
  const LoadedPage& loadResult() const { return load_; }  // html not kept
  bool isErrorPage() const { return load_.errorPage; }
  std::string title() const;
  Element* documentElement() const { return root_; }
  Element* body() const;
  Element* activeElement() const { return active_ ? active_ : body(); }
  void setActiveElement(Element* e) { active_ = e; }

  std::vector<Element*> all() const;  // every element in document order
  // Elements whose name or id is `name` (exactly, as the platform compares).
  std::vector<Element*> elementsByName(const std::string& name) const;
  Element* elementById(const std::string& id) const;
  std::vector<Element*> elementsByTagName(const std::string& tag) const;  // "*" all
  std::vector<Element*> forms() const;
  std::vector<Element*> links() const;    // A and AREA with href
  std::vector<Element*> anchors() const;  // A with name
  std::vector<Element*> images() const;
  const std::vector<Frame>& frames() const { return frames_; }
  Document* frameDocument(const std::string& name) const;  // direct frames, by name
  // A frame navigated on its own: the direct frame named `name` shows `doc`
  // from now on. false when there is no such frame.
  bool setFrameDocument(const std::string& name, std::shared_ptr<Document> doc);

  // For the control: the first link (A or AREA) whose href or text contains
  // `text`, here or in frames (depth first); the form named `name`; setting
  // a field (form control by name) here or in frames. false when none.
  Element* findLink(const std::string& text) const;
  Element* formByName(const std::string& name) const;
  bool setField(const std::string& name, const std::string& value);

  // The selection's text, as the control sets it ("" when nothing).
  const std::string& selectionText() const { return selection_; }
  void setSelectionText(std::string t) { selection_ = std::move(t); }

  // The window that shows this document: its name and its current event
  // object (null unless the control is raising an event). The control clears
  // the event when the event is over: an event object whose srcElement is an
  // element of this document keeps the document alive while it is set.
  const std::string& windowName() const { return windowName_; }
  void setWindowName(std::string n) { windowName_ = std::move(n); }
  qv::com::ComPtr<IHTMLEventObj> event() const;
  void setEvent(qv::com::ComPtr<IHTMLEventObj> e);

  // Changes through the object model: the layout revision counts changes
  // of attributes and styles (the page must be laid out again), `changed`
  // hears of every change, form state too (the page must be drawn again).
  unsigned layoutRevision() const { return layoutRevision_; }
  std::function<void()> changed;
  void touched(bool layout);

  // Cached COM objects (HtmlDispatch.cpp): weak, cleared by the objects.
  void* comDocument = nullptr;
  void* comWindow = nullptr;
  std::map<const Element*, void*> comElements;
  // Commands sent to the document object (its IOleCommandTarget::Exec),
  // carried out by the control that shows the document; empty: none.
  std::function<HRESULT(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out)> commandHandler;

 private:
  Document() = default;
  Element* newNode(Element* parent);
  void build(const std::string& utf8);
  // This document's frames, made but with their own frames still to load:
  // they are added to `next` with their depth.
  void loadFrames(const LoadOptions& options, int depth, int& framesLeft, std::vector<std::pair<Document*, int>>& next);
  static std::shared_ptr<Document> fromPage(LoadedPage page);
  static std::shared_ptr<Document> make(LoadedPage page, const LoadOptions& options);

  std::string url_, charset_;
  LoadedPage load_;
  std::vector<std::unique_ptr<Element>> nodes_;
  Element* root_ = nullptr;
  Element* active_ = nullptr;
  std::vector<Frame> frames_;
  std::string selection_, windowName_;
  IHTMLEventObj* event_ = nullptr;  // counted reference
  unsigned layoutRevision_ = 0;
};

}  // namespace qv::browser
