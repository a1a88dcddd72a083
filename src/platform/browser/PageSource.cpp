#include "platform/browser/PageSource.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace qv::browser {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool blank(const std::string& text) {
  for (char c : text)
    if (!isSpace(c)) return false;
  return true;
}

size_t wordsIn(const std::string& text) {
  size_t words = 0;
  bool inWord = false;
  for (char c : text) {
    const bool s = isSpace(c);
    if (!s && !inWord) ++words;
    inWord = !s;
  }
  return words;
}

bool isVoid(const std::string& tag) {
  static const char* const kVoid[] = {"AREA", "BASE",  "BASEFONT", "BGSOUND", "BR",    "COL",  "EMBED",
                                      "FRAME", "HR",   "IMG",      "INPUT",   "ISINDEX", "KEYGEN", "LINK",
                                      "META", "PARAM", "SOURCE",   "TRACK",   "WBR",   "SPACER"};
  for (const char* v : kVoid)
    if (tag == v) return true;
  return false;
}

// Whether the nearest sibling before an element, blank text aside, is a BR.
bool followsBreak(const Element& e) {
  const Element* parent = e.parent();
  if (!parent) return false;
  const auto& kids = parent->childNodes();
  auto it = std::find(kids.begin(), kids.end(), &e);
  while (it != kids.begin()) {
    --it;
    const Element* k = *it;
    if (k->tagName().empty()) {
      if (blank(k->text())) continue;
      return false;
    }
    return k->tagName() == "BR";
  }
  return false;
}

// Elements whose contents the engine never sees.
bool keepsContentsOut(const std::string& tag) {
  return tag == "SELECT" || tag == "TEXTAREA" || tag == "IFRAME" || tag == "SCRIPT" || tag == "NOFRAMES" ||
         tag == "OPTION" || tag == "OPTGROUP" || tag == "OBJECT" || tag == "APPLET" || tag == "FRAMESET";
}

bool isTablePart(const std::string& tag) {
  return tag == "TABLE" || tag == "TBODY" || tag == "THEAD" || tag == "TFOOT" || tag == "TR" || tag == "TD" ||
         tag == "TH" || tag == "CAPTION" || tag == "COLGROUP" || tag == "COL";
}

// Attributes that come as style hints instead.
bool presentational(const std::string& tag, const std::string& name) {
  static const char* const kAlways[] = {
      "bgcolor",    "background", "text",       "link",         "vlink",       "alink",        "align",
      "valign",     "width",      "height",     "border",       "cellpadding", "cellspacing",  "hspace",
      "vspace",     "nowrap",     "clear",      "noshade",      "bordercolor", "leftmargin",   "topmargin",
      "rightmargin", "bottommargin", "marginwidth", "marginheight", "frameborder", "face"};
  for (const char* a : kAlways)
    if (name == a) return true;
  if (name == "color" || name == "size") return tag == "FONT" || tag == "BASEFONT" || tag == "HR";
  if (name == "type") return tag == "OL" || tag == "UL" || tag == "LI";
  return name == kNodeMark || name == "list_index";
}

// The number of a list item: the list's start, counted on by the items
// before it, each value attribute setting the count anew.
long listNumber(const Element& item) {
  const Element* list = item.parent();
  long n = 1;
  if (list && list->tagName() == "OL" && list->hasAttribute("start"))
    n = std::strtol(list->attribute("start").c_str(), nullptr, 10);
  if (!list) return n;
  for (const Element* k : list->childNodes()) {
    if (k->tagName() != "LI") continue;
    if (k->hasAttribute("value")) n = std::strtol(k->attribute("value").c_str(), nullptr, 10);
    if (k == &item) return n;
    ++n;
  }
  return n;
}

bool validName(const std::string& name) {
  if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != ':' && c != '.') return false;
  return true;
}

std::string lowerTag(const std::string& tag) {
  std::string out = tag;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return validName(out) ? out : "span";
}

void escapeText(std::string& out, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

void escapeAttribute(std::string& out, const std::string& value) {
  for (char c : value) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
}

// A style sheet's text, which the parser takes raw: nothing in it may end
// the STYLE element early.
void rawStyleText(std::string& out, const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<' && i + 1 < text.size() && text[i + 1] == '/') {
      out += "< /";
      ++i;
      continue;
    }
    out += text[i];
  }
}

bool endsInComment(const std::string& sheet, size_t from) {
  for (size_t open = sheet.find("/*", from); open != std::string::npos; open = sheet.find("/*", from)) {
    const size_t close = sheet.find("*/", open + 2);
    if (close == std::string::npos) return true;
    from = close + 2;
  }
  return false;
}

class Writer {
 public:
  Writer(const SourceOptions& options, std::vector<Element*>& nodes) : options_(options), nodes_(nodes) {}

  // A start tag with the mark; `extraStyle` goes after the element's own style.
  void startTag(const Element& e, const std::string& extraStyle = {}) {
    const std::string& tag = e.tagName();
    out_ += '<';
    out_ += lowerTag(tag);
    out_ += ' ';
    out_ += kNodeMark;
    out_ += "=\"" + std::to_string(nodes_.size()) + "\"";
    nodes_.push_back(const_cast<Element*>(&e));
    bool styled = false;
    for (const auto& [name, value] : e.attributes()) {
      if (!validName(name) || presentational(tag, name)) continue;
      out_ += ' ' + name + "=\"";
      if (name == "style") {
        escapeAttribute(out_, value);
        if (!extraStyle.empty()) escapeAttribute(out_, ";" + extraStyle);
        styled = true;
      } else {
        escapeAttribute(out_, value);
      }
      out_ += '"';
    }
    // The engine numbers list items by this attribute.
    if (tag == "LI") out_ += " list_index=\"" + std::to_string(number(e)) + "\"";
    if (!styled && !extraStyle.empty()) {
      out_ += " style=\"";
      escapeAttribute(out_, extraStyle);
      out_ += '"';
    }
    out_ += '>';
  }
  void endTag(const Element& e) {
    if (isVoid(e.tagName())) return;
    out_ += "</" + lowerTag(e.tagName()) + ">";
  }

  // An element and everything in it, walked without recursion (pages of
  // thousands of unclosed tags nest as deep as they are long).
  void subtree(const Element& top, int depth, int tables) {
    struct Step {
      const Element* node;
      int depth, tables;
      bool closing, written;
      size_t contentsAt = 0;
    };
    std::vector<Step> stack{{&top, depth, tables, false, false}};
    while (!stack.empty()) {
      Step s = stack.back();
      stack.pop_back();
      const Element& e = *s.node;
      if (s.closing) {
        if (e.tagName() == "STYLE" && endsInComment(out_, s.contentsAt)) out_ += "*/";
        if (s.written) endTag(e);
        continue;
      }
      const std::string& tag = e.tagName();
      if (tag.empty()) {
        const Element* parent = e.parent();
        const std::string& ptag = parent ? parent->tagName() : std::string();
        if (ptag == "STYLE")
          rawStyleText(out_, e.text());
        else
          escapeText(out_, e.text());
        continue;
      }
      if (tag == "NOSCRIPT" && options_.scriptsEnabled) continue;
      int tablesHere = s.tables + (tag == "TABLE" ? 1 : 0);
      // Too deep for the engine: the tag goes, its contents stay.
      const bool write = s.depth < kMaxDepth && !(isTablePart(tag) && tablesHere > kMaxTables);
      // A line break right after another one makes an empty line.
      if (tag == "BR" && followsBreak(e)) out_ += "&nbsp;";
      if (write) startTag(e);
      stack.push_back({&e, s.depth, tablesHere, true, write, out_.size()});
      if (keepsContentsOut(tag)) continue;
      const auto& kids = e.childNodes();
      for (auto it = kids.rbegin(); it != kids.rend(); ++it)
        stack.push_back({*it, s.depth + (write ? 1 : 0), tablesHere, false, false});
    }
  }

  std::string& text() { return out_; }

 private:
  // List numbers, counted on from the item before in the same list.
  long number(const Element& item) {
    auto it = counters_.find(item.parent());
    long n;
    if (it == counters_.end())
      n = listNumber(item);
    else
      n = item.hasAttribute("value") ? std::strtol(item.attribute("value").c_str(), nullptr, 10) : it->second + 1;
    counters_[item.parent()] = n;
    return n;
  }
  std::unordered_map<const Element*, long> counters_;
  const SourceOptions& options_;
  std::vector<Element*>& nodes_;
  std::string out_;
};

// The element that holds the whole body: down from the body through
// elements that are the only thing in their parent.
const Element* flowRootOf(const Element& body) {
  const Element* root = &body;
  for (int depth = 0; depth < 16; ++depth) {
    const Element* only = nullptr;
    bool single = true;
    for (const Element* k : root->childNodes()) {
      if (k->tagName().empty()) {
        if (!blank(k->text())) single = false;
        continue;
      }
      if (only) single = false;
      only = k;
    }
    if (!single || !only || keepsContentsOut(only->tagName()) || isVoid(only->tagName()) ||
        only->childNodes().size() < 2)
      break;
    root = only;
  }
  return root;
}

std::string edgeStyle(bool first, bool last) {
  std::string s = "height:auto!important;min-height:0!important;";
  if (!first) s += "margin-top:0!important;padding-top:0!important;border-top-width:0!important;";
  if (!last) s += "margin-bottom:0!important;padding-bottom:0!important;border-bottom-width:0!important;";
  return s;
}

}  // namespace

size_t countItems(const Element& top) {
  size_t items = 0;
  std::vector<const Element*> stack{&top};
  while (!stack.empty()) {
    const Element* e = stack.back();
    stack.pop_back();
    if (e->tagName().empty()) {
      items += 2 * wordsIn(e->text());
      continue;
    }
    ++items;
    if (keepsContentsOut(e->tagName()) || e->tagName() == "STYLE") continue;
    for (const Element* k : e->childNodes()) stack.push_back(k);
  }
  return items;
}

std::vector<PageSlice> planSlices(const Document& doc, size_t sliceItems, size_t wholeItems) {
  const Element* body = doc.body();
  PageSlice whole;
  whole.items = body ? countItems(*body) : 0;
  if (!body || whole.items <= wholeItems || sliceItems == 0) return {whole};
  const Element* root = flowRootOf(*body);
  const auto& kids = root->childNodes();
  std::vector<PageSlice> out;
  PageSlice cur;
  cur.flowRoot = root;
  for (size_t i = 0; i < kids.size(); ++i) {
    cur.items += countItems(*kids[i]);
    cur.last = i + 1;
    if (cur.items >= sliceItems) {
      out.push_back(cur);
      cur = PageSlice{root, i + 1, i + 1, 0};
    }
  }
  if (cur.last > cur.first || out.empty()) out.push_back(cur);
  for (size_t k = 0; k < out.size(); ++k) {
    out[k].isFirst = k == 0;
    out[k].isLast = k + 1 == out.size();
  }
  return out;
}

void closeOpenComment(std::string& sheet) {
  if (endsInComment(sheet, 0)) sheet += "*/";
}

std::string pageSource(const Document& doc, const PageSlice& slice, const SourceOptions& options,
                       std::vector<Element*>& nodes) {
  nodes.clear();
  Writer w(options, nodes);
  const Element* html = doc.documentElement();
  const Element* body = doc.body();
  if (!slice.flowRoot || !body) {
    w.subtree(*html, 0, 0);
    return std::move(w.text());
  }
  // The elements from the root down to the flow root, then the slice.
  std::vector<const Element*> chain;
  for (const Element* p = slice.flowRoot; p && p != html; p = p->parent()) chain.insert(chain.begin(), p);
  w.startTag(*html);
  for (const Element* k : html->childNodes())
    if (k->tagName() == "HEAD") w.subtree(*k, 1, 0);
  const std::string edges = edgeStyle(slice.isFirst, slice.isLast);
  int depth = 1, tables = 0;
  for (const Element* c : chain) {
    w.startTag(*c, edges);
    ++depth;
    if (c->tagName() == "TABLE") ++tables;
  }
  const auto& kids = slice.flowRoot->childNodes();
  for (size_t i = slice.first; i < slice.last && i < kids.size(); ++i) w.subtree(*kids[i], depth, tables);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) w.endTag(**it);
  w.endTag(*html);
  return std::move(w.text());
}

}  // namespace qv::browser
