#include "platform/browser/HtmlDocument.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <mutex>

#include "platform/browser/HtmlInterfaces.h"
#include "platform/browser/Url.h"

namespace qv::browser {
namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
bool equalsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && lower(a) == lower(b);
}
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && isSpace(s[b])) ++b;
  while (e > b && isSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool isBlock(const std::string& tag) {
  static const char* const blocks[] = {"P",  "DIV", "H1", "H2", "H3",    "H4",       "H5",    "H6",  "LI", "UL",
                                       "OL", "TR",  "TABLE", "PRE", "BLOCKQUOTE", "ADDRESS", "CENTER", "DL", "DT",
                                       "DD", "FORM", "HR", "TITLE"};
  return std::find(std::begin(blocks), std::end(blocks), tag) != std::end(blocks);
}

std::string urlEncodeBytes(const std::string& bytes) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (std::isalnum(c) || c == '*' || c == '-' || c == '.' || c == '_') {
      out += static_cast<char>(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string crlf(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += "\r\n";
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else if (s[i] == '\n') {
      out += "\r\n";
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

// ---- Style ----------------------------------------------------------------

std::string Style::get(const std::string& cssName) const {
  std::string n = lower(cssName);
  for (const auto& [k, v] : decls_)
    if (k == n) return v;
  return "";
}

void Style::set(const std::string& cssName, const std::string& value) {
  std::string n = lower(trim(cssName));
  auto it = std::find_if(decls_.begin(), decls_.end(), [&](const auto& d) { return d.first == n; });
  if (value.empty()) {
    if (it != decls_.end()) decls_.erase(it);
  } else if (it != decls_.end()) {
    it->second = value;
  } else {
    decls_.emplace_back(n, value);
  }
}

std::string Style::cssText() const {
  std::string out;
  for (const auto& [k, v] : decls_) {
    if (!out.empty()) out += " ";
    out += upper(k) + ": " + v + ";";
  }
  return out;
}

void Style::setCssText(const std::string& text) {
  decls_.clear();
  size_t i = 0;
  while (i <= text.size()) {
    size_t end = text.find(';', i);
    if (end == std::string::npos) end = text.size();
    std::string decl = text.substr(i, end - i);
    size_t colon = decl.find(':');
    if (colon != std::string::npos) {
      std::string name = trim(decl.substr(0, colon)), value = trim(decl.substr(colon + 1));
      if (!name.empty()) set(name, value);
    }
    i = end + 1;
  }
}

// ---- Element --------------------------------------------------------------

std::vector<Element*> Element::children() const {
  std::vector<Element*> out;
  for (Element* k : kids_)
    if (!k->isText()) out.push_back(k);
  return out;
}

std::vector<Element*> Element::descendants() const {
  std::vector<Element*> out;
  std::vector<const Element*> stack{this};
  while (!stack.empty()) {
    const Element* e = stack.back();
    stack.pop_back();
    if (e != this) out.push_back(const_cast<Element*>(e));
    for (auto it = e->kids_.rbegin(); it != e->kids_.rend(); ++it)
      if (!(*it)->isText()) stack.push_back(*it);
  }
  return out;
}

bool Element::hasAttribute(const std::string& name) const {
  std::string n = lower(name);
  return std::any_of(attrs_.begin(), attrs_.end(), [&](const auto& a) { return a.first == n; });
}

std::string Element::attribute(const std::string& name) const {
  std::string n = lower(name);
  for (const auto& [k, v] : attrs_)
    if (k == n) return v;
  return "";
}

void Element::setAttribute(const std::string& name, const std::string& value) {
  std::string n = lower(name);
  if (n == "classname") n = "class";
  auto it = std::find_if(attrs_.begin(), attrs_.end(), [&](const auto& a) { return a.first == n; });
  if (it != attrs_.end())
    it->second = value;
  else
    attrs_.emplace_back(n, value);
  if (n == "style") style_.setCssText(value);
  if (n == "checked") checked_ = true;
  doc_->touched(true);
}

void Element::removeAttribute(const std::string& name) {
  std::string n = lower(name);
  std::erase_if(attrs_, [&](const auto& a) { return a.first == n; });
  if (n == "style") style_.setCssText("");
  doc_->touched(true);
}

std::string Element::getAttribute(const std::string& name, long flags) const {
  std::string n = lower(name);
  if (n == "classname") n = "class";
  if (n == "htmlfor") n = "for";
  if (!(flags & 2)) {
    if (n == "value" && isFormControl()) return value();
    if (!hasAttribute(n)) return "";
    if (n == "href" || n == "src" || n == "action" || n == "background" || n == "longdesc" || n == "usemap")
      return resolveUrl(doc_->url(), attribute(n));
  }
  return attribute(n);
}

std::string Element::innerText() const {
  std::string out;
  bool pendingSpace = false;
  auto lineBreak = [&] {
    while (!out.empty() && out.back() == ' ') out.pop_back();
    if (!out.empty() && (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0)) out += "\r\n";
    pendingSpace = false;
  };
  // Each entry: node, and whether its end is to be handled (block close).
  std::vector<std::pair<const Element*, bool>> stack{{this, false}};
  while (!stack.empty()) {
    auto [e, closing] = stack.back();
    stack.pop_back();
    if (closing) {
      lineBreak();
      continue;
    }
    if (e->isText()) {
      bool pre = false;
      for (const Element* p = e->parent_; p; p = p->parent_)
        if (p->tag_ == "PRE" || p->tag_ == "TEXTAREA") pre = true;
      if (pre) {
        out += e->text_;
        continue;
      }
      for (char c : e->text_) {
        if (isSpace(c)) {
          pendingSpace = true;
        } else {
          if (pendingSpace && !out.empty() && out.back() != '\n') out += ' ';
          pendingSpace = false;
          out += c;
        }
      }
      continue;
    }
    if (e->tag_ == "SCRIPT" || e->tag_ == "STYLE" || (e->tag_ == "TITLE" && e != this) || e->tag_ == "HEAD") {
      if (e != this) continue;
    }
    if (e->tag_ == "BR") {
      lineBreak();
      if (out.empty()) out += "\r\n";
      continue;
    }
    if (e != this && isBlock(e->tag_)) {
      lineBreak();
      stack.push_back({e, true});
    }
    for (auto it = e->kids_.rbegin(); it != e->kids_.rend(); ++it) stack.push_back({*it, false});
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

void Element::styleChanged() {
  std::string text = style_.cssText();
  auto it = std::find_if(attrs_.begin(), attrs_.end(), [](const auto& a) { return a.first == "style"; });
  if (text.empty()) {
    if (it != attrs_.end()) attrs_.erase(it);
  } else if (it != attrs_.end()) {
    it->second = text;
  } else {
    attrs_.emplace_back("style", text);
  }
  doc_->touched(true);
}

bool Element::isFormControl() const {
  return tag_ == "INPUT" || tag_ == "SELECT" || tag_ == "TEXTAREA" || tag_ == "BUTTON";
}

std::string Element::type() const {
  if (tag_ == "SELECT") return hasAttribute("multiple") ? "select-multiple" : "select-one";
  if (tag_ == "TEXTAREA") return "textarea";
  std::string t = lower(trim(attribute("type")));
  if (tag_ == "BUTTON") return t.empty() ? "submit" : t;
  return t.empty() ? "text" : t;
}

namespace {
std::string optionValue(const Element* o) { return o->hasAttribute("value") ? o->attribute("value") : trim(o->innerText()); }

std::vector<Element*> optionsOf(const Element* select) {
  std::vector<Element*> out;
  for (Element* e : select->descendants())
    if (e->tagName() == "OPTION") out.push_back(e);
  return out;
}
}  // namespace

std::string Element::value() const {
  if (tag_ == "SELECT") {
    auto options = optionsOf(this);
    for (Element* o : options)
      if (o->selected_) return optionValue(o);
    if (!options.empty() && !hasAttribute("multiple") && !valueSet_) return optionValue(options.front());
    return "";
  }
  if (valueSet_) return value_;
  if (tag_ == "TEXTAREA") {
    std::string text;
    for (Element* k : kids_)
      if (k->isText()) text += k->text_;
    // A line break right after the start tag belongs to the markup.
    if (text.rfind("\r\n", 0) == 0)
      text.erase(0, 2);
    else if (!text.empty() && text[0] == '\n')
      text.erase(0, 1);
    return text;
  }
  if (tag_ == "INPUT" && (type() == "checkbox" || type() == "radio") && !hasAttribute("value")) return "on";
  if (tag_ == "OPTION") return optionValue(this);
  return attribute("value");
}

void Element::setValue(const std::string& v) {
  if (tag_ == "SELECT") {
    bool found = false;
    for (Element* o : optionsOf(this)) {
      o->selected_ = !found && optionValue(o) == v;
      found = found || o->selected_;
    }
    valueSet_ = true;
    doc_->touched(false);
    return;
  }
  value_ = v;
  valueSet_ = true;
  doc_->touched(false);
}

void Element::setChecked(bool c) {
  checked_ = c;
  doc_->touched(false);
}

Element* Element::form() const {
  for (Element* p = parent_; p; p = p->parent_)
    if (p->tag_ == "FORM") return p;
  return nullptr;
}

std::vector<Element*> Element::formElements() const {
  std::vector<Element*> out;
  for (Element* e : descendants())
    if (e->isFormControl()) out.push_back(e);
  return out;
}

Element* Element::formItem(const std::string& nameOrId) const {
  for (Element* e : formElements())
    if (equalsNoCase(e->name(), nameOrId) || equalsNoCase(e->id(), nameOrId)) return e;
  return nullptr;
}

std::string Element::action() const {
  std::string a = attribute("action");
  return a.empty() ? stripFragment(doc_->url()) : resolveUrl(doc_->url(), a);
}

std::string Element::method() const {
  std::string m = lower(trim(attribute("method")));
  return m == "post" ? "post" : "get";
}

std::string Element::formQuery(const Element* submitter, POINT at) const {
  std::string query;
  const std::string& cs = doc_->charset();
  auto add = [&](const std::string& name, const std::string& value) {
    if (!query.empty()) query += '&';
    query += urlEncodeBytes(encodeForCharset(name, cs)) + "=" + urlEncodeBytes(encodeForCharset(crlf(value), cs));
  };
  for (Element* e : formElements()) {
    std::string name = e->name();
    if (name.empty() || e->hasAttribute("disabled")) continue;
    if (e == submitter) {
      if (e->type() == "image") {
        add(name + ".x", std::to_string(at.x));
        add(name + ".y", std::to_string(at.y));
      } else {
        add(name, e->tag_ == "BUTTON" ? e->attribute("value") : e->getAttribute("value"));
      }
      continue;
    }
    if (e->tag_ == "BUTTON") continue;
    if (e->tag_ == "INPUT") {
      std::string t = e->type();
      if (t == "submit" || t == "reset" || t == "button" || t == "image" || t == "file") continue;
      if ((t == "checkbox" || t == "radio") && !e->checked_) continue;
      add(name, e->value());
    } else if (e->tag_ == "SELECT") {
      auto options = optionsOf(e);
      bool any = false;
      for (Element* o : options)
        if (o->selected_) {
          add(name, optionValue(o));
          any = true;
          if (!e->hasAttribute("multiple")) break;
        }
      if (!any && !options.empty() && !e->hasAttribute("multiple") && !e->valueSet_) add(name, optionValue(options[0]));
    } else if (e->tag_ == "TEXTAREA") {
      add(name, e->value());
    }
  }
  return query;
}

std::string Element::submitUrl(const Element* submitter, POINT at) const {
  std::string base = stripFragment(action());
  size_t q = base.find('?');
  if (q != std::string::npos) base.resize(q);
  return base + "?" + formQuery(submitter, at);
}

// ---- Document -------------------------------------------------------------

Document::~Document() {
  if (event_) event_->Release();
}

Element* Document::newNode(Element* parent) {
  nodes_.push_back(std::make_unique<Element>());
  Element* e = nodes_.back().get();
  e->doc_ = this;
  e->parent_ = parent;
  if (parent) parent->kids_.push_back(e);
  return e;
}

void Document::build(const std::string& utf8) {
  static std::once_flag once;
  std::call_once(once, [] { xmlInitParser(); });
  int size = static_cast<int>(std::min<size_t>(utf8.size(), INT_MAX));
  htmlDocPtr doc = size > 0 ? htmlReadMemory(utf8.data(), size, nullptr, "UTF-8",
                                             HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                                 HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC | HTML_PARSE_COMPACT)
                            : nullptr;
  xmlNode* top = doc ? xmlDocGetRootElement(doc) : nullptr;
  // Any element outside <html> (libxml2 keeps it a sibling) goes under it.
  root_ = newNode(nullptr);
  root_->tag_ = "HTML";
  struct Item {
    xmlNode* node;
    Element* parent;
  };
  std::vector<Item> stack;
  if (doc) {
    std::vector<xmlNode*> tops;
    for (xmlNode* n = doc->children; n; n = n->next) tops.push_back(n);
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) stack.push_back({*it, root_});
  }
  while (!stack.empty()) {
    Item item = stack.back();
    stack.pop_back();
    xmlNode* n = item.node;
    Element* into = item.parent;
    if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
      if (n->content && *n->content) {
        Element* t = newNode(into);
        t->text_ = reinterpret_cast<const char*>(n->content);
      }
      continue;
    }
    if (n->type != XML_ELEMENT_NODE) continue;
    Element* e;
    if (n == top && n->name && lower(reinterpret_cast<const char*>(n->name)) == "html") {
      e = root_;
    } else {
      e = newNode(into);
      e->tag_ = upper(n->name ? reinterpret_cast<const char*>(n->name) : "");
    }
    for (xmlAttr* a = n->properties; a; a = a->next) {
      if (!a->name) continue;
      xmlChar* v = xmlNodeListGetString(doc, a->children, 1);
      std::string name = lower(reinterpret_cast<const char*>(a->name));
      if (!e->hasAttribute(name)) e->attrs_.emplace_back(name, v ? reinterpret_cast<const char*>(v) : "");
      if (v) xmlFree(v);
    }
    std::vector<xmlNode*> kids;
    for (xmlNode* k = n->children; k; k = k->next) kids.push_back(k);
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.push_back({*it, e});
  }
  if (doc) xmlFreeDoc(doc);

  // Initial form and style state from the markup.
  for (auto& node : nodes_) {
    Element* e = node.get();
    if (e->isText()) continue;
    if (e->hasAttribute("style")) e->style_.setCssText(e->attribute("style"));
    if (e->tag_ == "INPUT") e->checked_ = e->hasAttribute("checked");
    if (e->tag_ == "OPTION") e->selected_ = e->hasAttribute("selected");
  }
  // A single-choice list keeps only its last selected option.
  for (Element* sel : elementsByTagName("SELECT")) {
    if (sel->hasAttribute("multiple")) continue;
    auto options = optionsOf(sel);
    bool seen = false;
    for (auto it = options.rbegin(); it != options.rend(); ++it) {
      if ((*it)->selected_ && seen) (*it)->selected_ = false;
      seen = seen || (*it)->selected_;
    }
  }
  if (!body()) {
    Element* b = newNode(root_);
    b->tag_ = "BODY";
  }
}

std::shared_ptr<Document> Document::fromPage(LoadedPage page) {
  std::shared_ptr<Document> doc(new Document());
  doc->url_ = page.url;
  doc->charset_ = page.charset;
  doc->build(page.html);
  page.html.clear();
  doc->load_ = std::move(page);
  return doc;
}

std::shared_ptr<Document> Document::make(LoadedPage page, const LoadOptions& options) {
  std::shared_ptr<Document> doc = fromPage(std::move(page));
  // Frames load level by level: a page of many frames that nest (one that
  // frames itself a few dozen times grows by that factor at every level)
  // fills its outer frames before the frame budget runs out.
  int framesLeft = options.maxFrames;
  std::vector<std::pair<Document*, int>> pending{{doc.get(), 0}};
  for (std::size_t i = 0; i < pending.size(); ++i) {
    const auto [d, depth] = pending[i];
    d->loadFrames(options, depth, framesLeft, pending);
  }
  return doc;
}

void Document::loadFrames(const LoadOptions& options, int depth, int& framesLeft,
                          std::vector<std::pair<Document*, int>>& next) {
  for (Element* e : all()) {
    if (e->tag_ != "FRAME" && e->tag_ != "IFRAME") continue;
    Frame f;
    f.element = e;
    f.name = e->name().empty() ? e->id() : e->name();
    std::string src = e->attribute("src");
    LoadedPage page;
    if (trim(src).empty() || depth + 1 > options.frameDepth || framesLeft <= 0) {
      page = loadPage("about:blank");
    } else {
      --framesLeft;
      page = loadPage(LoadRequest{resolveUrl(url_, src), {}, {}, options.timeoutMs});
    }
    f.document = fromPage(std::move(page));
    f.document->windowName_ = f.name;
    next.emplace_back(f.document.get(), depth + 1);
    frames_.push_back(std::move(f));
  }
}

std::shared_ptr<Document> Document::load(const std::string& urlOrPath, const LoadOptions& options) {
  return load(LoadRequest{urlOrPath, {}, {}, options.timeoutMs}, options);
}

std::shared_ptr<Document> Document::load(const LoadRequest& request, const LoadOptions& options) {
  return make(loadPage(request), options);
}

std::shared_ptr<Document> Document::fromHtml(const std::string& utf8, const std::string& url,
                                             const std::string& charset, const LoadOptions& options) {
  LoadedPage page;
  page.url = normalizeUrl(url);
  page.charset = charset;
  page.html = decodePage(utf8, "utf-8");
  return make(std::move(page), options);
}

std::string Document::title() const {
  for (Element* e : elementsByTagName("TITLE")) {
    std::string text;
    for (Element* k : e->kids_)
      if (k->isText()) text += k->text_;
    std::string out;
    bool space = false;
    for (char c : trim(text)) {
      if (isSpace(c)) {
        space = true;
      } else {
        if (space) out += ' ';
        space = false;
        out += c;
      }
    }
    return out;
  }
  return "";
}

Element* Document::body() const {
  for (Element* e : root_->children())
    if (e->tag_ == "BODY" || e->tag_ == "FRAMESET") return e;
  return nullptr;
}

std::vector<Element*> Document::all() const {
  std::vector<Element*> out{root_};
  auto rest = root_->descendants();
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}

std::vector<Element*> Document::elementsByName(const std::string& name) const {
  std::vector<Element*> out;
  for (Element* e : all())
    if (e->name() == name || e->id() == name) out.push_back(e);
  return out;
}

Element* Document::elementById(const std::string& id) const {
  for (Element* e : all())
    if (e->id() == id) return e;
  // The platform's old browser falls back to names here too.
  for (Element* e : all())
    if (e->name() == id) return e;
  return nullptr;
}

std::vector<Element*> Document::elementsByTagName(const std::string& tag) const {
  std::string t = upper(tag);
  std::vector<Element*> out;
  for (Element* e : all())
    if (t == "*" || e->tag_ == t) out.push_back(e);
  return out;
}

std::vector<Element*> Document::forms() const { return elementsByTagName("FORM"); }

std::vector<Element*> Document::links() const {
  std::vector<Element*> out;
  for (Element* e : all())
    if ((e->tag_ == "A" || e->tag_ == "AREA") && e->hasAttribute("href")) out.push_back(e);
  return out;
}

std::vector<Element*> Document::anchors() const {
  std::vector<Element*> out;
  for (Element* e : all())
    if (e->tag_ == "A" && e->hasAttribute("name")) out.push_back(e);
  return out;
}

std::vector<Element*> Document::images() const { return elementsByTagName("IMG"); }

Document* Document::frameDocument(const std::string& name) const {
  for (const Frame& f : frames_)
    if (equalsNoCase(f.name, name)) return f.document.get();
  return nullptr;
}

bool Document::setFrameDocument(const std::string& name, std::shared_ptr<Document> doc) {
  for (Frame& f : frames_)
    if (equalsNoCase(f.name, name)) {
      f.document = std::move(doc);
      touched(true);
      return true;
    }
  return false;
}

void Document::touched(bool layout) {
  if (layout) ++layoutRevision_;
  if (changed) changed();
}

Element* Document::findLink(const std::string& text) const {
  for (Element* e : links())
    if (e->attribute("href").find(text) != std::string::npos ||
        e->getAttribute("href").find(text) != std::string::npos || e->innerText().find(text) != std::string::npos)
      return e;
  for (const Frame& f : frames_)
    if (Element* e = f.document->findLink(text)) return e;
  return nullptr;
}

Element* Document::formByName(const std::string& name) const {
  for (Element* e : forms())
    if (e->name() == name || e->id() == name) return e;
  return nullptr;
}

bool Document::setField(const std::string& name, const std::string& value) {
  for (Element* e : elementsByName(name)) {
    if (!e->isFormControl()) continue;
    std::string t = e->type();
    if (t == "checkbox" || t == "radio") {
      std::string v = lower(value);
      e->setChecked(!(v.empty() || v == "0" || v == "false" || v == "off"));
    } else {
      e->setValue(value);
    }
    return true;
  }
  for (Frame& f : frames_)
    if (f.document->setField(name, value)) return true;
  return false;
}

qv::com::ComPtr<IHTMLEventObj> Document::event() const { return qv::com::ComPtr<IHTMLEventObj>(event_); }

void Document::setEvent(qv::com::ComPtr<IHTMLEventObj> e) {
  if (event_) event_->Release();
  event_ = e.detach();
}

}  // namespace qv::browser
