#include "platform/browser/PresentationalHints.h"

#include <litehtml/litehtml.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/browser/Url.h"

namespace qv::browser {

std::string lowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string trimBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

namespace {

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

std::string hex2(int v) {
  char buf[3];
  std::snprintf(buf, sizeof buf, "%02x", std::clamp(v, 0, 255));
  return buf;
}

// A URL inside url("..."): quotes, backslashes and line ends escaped.
std::string cssUrl(const std::string& url) {
  std::string out = "url(\"";
  for (char c : url) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n' || c == '\r' || c == '\f') {
      out += "\\a ";
    } else {
      out += c;
    }
  }
  return out + "\")";
}

// A FONT face list as CSS: each name kept to letters, digits, blanks, '-'
// and '_', and quoted.
std::string cssFamilies(const std::string& faces) {
  std::string out;
  size_t pos = 0;
  while (pos <= faces.size()) {
    size_t end = faces.find(',', pos);
    if (end == std::string::npos) end = faces.size();
    std::string name;
    for (char c : trimBlanks(faces.substr(pos, end - pos)))
      if (std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '-' || c == '_') name += c;
    name = trimBlanks(name);
    if (!name.empty()) {
      if (!out.empty()) out += ", ";
      out += "\"" + name + "\"";
    }
    pos = end + 1;
  }
  return out;
}

class Decls {
 public:
  void add(const std::string& name, const std::string& value) { text_ += name + ": " + value + "; "; }
  void color(const std::string& name, const Element& e, const char* attr) {
    if (!e.hasAttribute(attr)) return;
    if (auto c = legacyColor(e.attribute(attr))) add(name, *c);
  }
  void length(const std::string& name, const Element& e, const char* attr) {
    if (!e.hasAttribute(attr)) return;
    if (auto l = legacyLength(e.attribute(attr))) add(name, *l);
  }
  void pixels(const std::string& name, const Element& e, const char* attr) {
    if (!e.hasAttribute(attr)) return;
    if (auto n = leadingInt(e.attribute(attr)); n && *n >= 0) add(name, std::to_string(*n) + "px");
  }
  void image(const Element& e, const std::string& baseUrl) {
    const std::string src = trimBlanks(e.attribute("background"));
    if (!src.empty()) add("background-image", cssUrl(resolveUrl(baseUrl, src)));
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

const Element* ancestor(const Element& e, const char* tag, int levels = 64) {
  for (const Element* p = e.parent(); p && levels-- > 0; p = p->parent())
    if (p->tagName() == tag) return p;
  return nullptr;
}

const Element* bodyOf(const Element& e) {
  for (const Element* p = &e; p; p = p->parent())
    if (p->tagName() == "HTML")
      for (Element* k : p->children())
        if (k->tagName() == "BODY") return k;
  return nullptr;
}

// The text alignment an align attribute names, "" for none.
std::string textAlign(const std::string& v) {
  const std::string a = lowerAscii(trimBlanks(v));
  if (a == "left" || a == "right" || a == "center" || a == "justify") return a;
  if (a == "middle") return "center";
  return "";
}

std::string verticalAlign(const std::string& v) {
  const std::string a = lowerAscii(trimBlanks(v));
  if (a == "top" || a == "middle" || a == "bottom" || a == "baseline") return a;
  if (a == "center") return "middle";
  return "";
}

// align on pictures, frames and objects: left and right float, the rest
// place the box on the line.
void objectAlign(Decls& d, const Element& e) {
  const std::string a = lowerAscii(trimBlanks(e.attribute("align")));
  if (a == "left" || a == "right")
    d.add("float", a);
  else if (a == "top")
    d.add("vertical-align", "top");
  else if (a == "texttop")
    d.add("vertical-align", "text-top");
  else if (a == "middle" || a == "absmiddle" || a == "center")
    d.add("vertical-align", "middle");
  else if (a == "absbottom")
    d.add("vertical-align", "bottom");
  else if (a == "bottom" || a == "baseline")
    d.add("vertical-align", "baseline");
}

void spacing(Decls& d, const Element& e) {
  if (auto h = leadingInt(e.attribute("hspace")); h && *h > 0) {
    d.add("margin-left", std::to_string(*h) + "px");
    d.add("margin-right", std::to_string(*h) + "px");
  }
  if (auto v = leadingInt(e.attribute("vspace")); v && *v > 0) {
    d.add("margin-top", std::to_string(*v) + "px");
    d.add("margin-bottom", std::to_string(*v) + "px");
  }
}

// A table's border attribute: present without a number means 1.
int tableBorder(const Element& table) {
  if (!table.hasAttribute("border")) return 0;
  const std::string v = trimBlanks(table.attribute("border"));
  if (v.empty()) return 1;
  auto n = leadingInt(v);
  return n ? std::max(0, *n) : 1;
}

void tableHints(Decls& d, const Element& e, const std::string& baseUrl) {
  d.length("width", e, "width");
  d.length("height", e, "height");
  d.color("background-color", e, "bgcolor");
  d.image(e, baseUrl);
  const int border = tableBorder(e);
  if (border > 0) {
    d.add("border-width", std::to_string(border) + "px");
    if (auto c = e.hasAttribute("bordercolor") ? legacyColor(e.attribute("bordercolor")) : std::nullopt) {
      d.add("border-style", "solid");
      d.add("border-color", *c);
    } else {
      d.add("border-style", "outset");
      d.add("border-color", "threedface");
    }
  }
  if (e.hasAttribute("cellspacing"))
    if (auto n = leadingInt(e.attribute("cellspacing")); n && *n >= 0) d.add("border-spacing", std::to_string(*n) + "px");
  const std::string a = lowerAscii(trimBlanks(e.attribute("align")));
  if (a == "center") {
    d.add("margin-left", "auto");
    d.add("margin-right", "auto");
  } else if (a == "left" || a == "right") {
    d.add("float", a);
  } else if (!e.hasAttribute("align")) {
    // A table takes the alignment of the block it sits in.
    for (const Element* p = e.parent(); p; p = p->parent()) {
      const std::string& t = p->tagName();
      if (t == "TD" || t == "TH" || t == "TABLE" || t == "BODY") break;
      if ((t == "DIV" || t == "P") && p->hasAttribute("align")) {
        const std::string pa = textAlign(p->attribute("align"));
        if (pa == "center") {
          d.add("margin-left", "auto");
          d.add("margin-right", "auto");
        } else if (pa == "right") {
          d.add("margin-left", "auto");
        }
        break;
      }
    }
  }
  d.pixels("margin-left", e, "hspace");
  d.pixels("margin-right", e, "hspace");
}

void cellHints(Decls& d, const Element& e, const std::string& baseUrl) {
  d.length("width", e, "width");
  d.length("height", e, "height");
  d.color("background-color", e, "bgcolor");
  d.image(e, baseUrl);
  if (e.hasAttribute("nowrap")) d.add("white-space", "nowrap");
  if (auto a = textAlign(e.attribute("align")); !a.empty()) d.add("text-align", a);
  // valign: the cell's own, else its row's, else its row group's.
  std::string va = verticalAlign(e.attribute("valign"));
  for (const Element* p = e.parent(); va.empty() && p && p->tagName() != "TABLE"; p = p->parent())
    va = verticalAlign(p->attribute("valign"));
  if (!va.empty()) d.add("vertical-align", va);
  const Element* table = ancestor(e, "TABLE");
  if (!table) return;
  if (table->hasAttribute("cellpadding"))
    if (auto n = leadingInt(table->attribute("cellpadding")); n && *n >= 0) d.add("padding", std::to_string(*n) + "px");
  if (tableBorder(*table) > 0) {
    if (auto c = table->hasAttribute("bordercolor") ? legacyColor(table->attribute("bordercolor")) : std::nullopt) {
      d.add("border", "1px solid " + *c);
    } else {
      d.add("border", "1px inset threedface");
    }
  }
}

void bodyHints(Decls& d, const Element& e, const std::string& baseUrl, const HintOptions& o) {
  d.color("background-color", e, "bgcolor");
  d.image(e, baseUrl);
  d.color("color", e, "text");
  d.pixels("margin-left", e, "leftmargin");
  d.pixels("margin-right", e, "rightmargin");
  d.pixels("margin-top", e, "topmargin");
  d.pixels("margin-bottom", e, "bottommargin");
  if (o.frameMarginWidth >= 0) {
    d.add("margin-left", std::to_string(o.frameMarginWidth) + "px");
    d.add("margin-right", std::to_string(o.frameMarginWidth) + "px");
  }
  if (o.frameMarginHeight >= 0) {
    d.add("margin-top", std::to_string(o.frameMarginHeight) + "px");
    d.add("margin-bottom", std::to_string(o.frameMarginHeight) + "px");
  }
  d.pixels("margin-left", e, "marginwidth");
  d.pixels("margin-right", e, "marginwidth");
  d.pixels("margin-top", e, "marginheight");
  d.pixels("margin-bottom", e, "marginheight");
}

std::string listType(const std::string& v) {
  const std::string t = trimBlanks(v);
  if (t == "1") return "decimal";
  if (t == "a") return "lower-alpha";
  if (t == "A") return "upper-alpha";
  if (t == "i") return "lower-roman";
  if (t == "I") return "upper-roman";
  const std::string l = lowerAscii(t);
  if (l == "disc" || l == "circle" || l == "square") return l;
  return "";
}

}  // namespace

std::optional<int> leadingInt(const std::string& value) {
  size_t i = 0;
  while (i < value.size() && std::isspace(static_cast<unsigned char>(value[i]))) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  if (i >= value.size() || !std::isdigit(static_cast<unsigned char>(value[i]))) return std::nullopt;
  long long n = 0;
  while (i < value.size() && std::isdigit(static_cast<unsigned char>(value[i]))) {
    n = std::min<long long>(n * 10 + (value[i] - '0'), 1000000);
    ++i;
  }
  return static_cast<int>(negative ? -n : n);
}

std::optional<std::string> legacyLength(const std::string& value) {
  size_t i = 0;
  while (i < value.size() && std::isspace(static_cast<unsigned char>(value[i]))) ++i;
  if (i >= value.size() || !std::isdigit(static_cast<unsigned char>(value[i]))) return std::nullopt;
  long long n = 0;
  while (i < value.size() && std::isdigit(static_cast<unsigned char>(value[i]))) {
    n = std::min<long long>(n * 10 + (value[i] - '0'), 1000000);
    ++i;
  }
  // Decimals are dropped, as the platform's old parser does.
  while (i < value.size() && (value[i] == '.' || std::isdigit(static_cast<unsigned char>(value[i])))) ++i;
  while (i < value.size() && std::isspace(static_cast<unsigned char>(value[i]))) ++i;
  if (i < value.size() && value[i] == '%') return std::to_string(std::min<long long>(n, 100000)) + "%";
  return std::to_string(n) + "px";
}

std::optional<std::string> legacyColor(const std::string& value) {
  std::string v = trimBlanks(value);
  if (v.empty() || lowerAscii(v) == "transparent") return std::nullopt;
  const std::string named = litehtml::web_color::resolve_name(lowerAscii(v).c_str(), nullptr);
  if (!named.empty() && named[0] == '#') return lowerAscii(named);
  if (v.size() == 4 && v[0] == '#' && isHex(v[1]) && isHex(v[2]) && isHex(v[3])) {
    std::string out = "#";
    for (int k = 1; k < 4; ++k) out += std::string(2, static_cast<char>(std::tolower(static_cast<unsigned char>(v[k]))));
    return out;
  }
  // The old rules: every character that is no hexadecimal digit counts as
  // '0', the text is split in three, and each part cut to two digits.
  std::string digits;
  for (size_t i = 0; i < v.size() && digits.size() < 128; ++i) {
    const unsigned char c = static_cast<unsigned char>(v[i]);
    if (i == 0 && c == '#') continue;
    if (c >= 0x80) {
      // A character beyond the 16-bit range counts twice, as two UTF-16 units.
      int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      digits += len == 4 ? "00" : "0";
      i += static_cast<size_t>(len - 1);
      continue;
    }
    digits += isHex(static_cast<char>(c)) ? static_cast<char>(std::tolower(c)) : '0';
  }
  if (digits.size() > 128) digits.resize(128);
  while (digits.empty() || digits.size() % 3 != 0) digits += '0';
  size_t len = digits.size() / 3;
  std::string parts[3] = {digits.substr(0, len), digits.substr(len, len), digits.substr(2 * len, len)};
  if (len > 8) {
    for (auto& p : parts) p = p.substr(len - 8);
    len = 8;
  }
  while (len > 2 && parts[0][0] == '0' && parts[1][0] == '0' && parts[2][0] == '0') {
    for (auto& p : parts) p.erase(0, 1);
    --len;
  }
  std::string out = "#";
  for (auto& p : parts) out += hex2(std::stoi(p.substr(0, 2), nullptr, 16));
  return out;
}

std::optional<int> fontSizePixels(const std::string& value) {
  static const int kPixels[8] = {0, 10, 13, 16, 18, 24, 32, 48};
  const std::string v = trimBlanks(value);
  auto n = leadingInt(v);
  if (!n) return std::nullopt;
  int size = *n;
  if (!v.empty() && (v[0] == '+' || v[0] == '-')) size = 3 + *n;
  return kPixels[std::clamp(size, 1, 7)];
}

std::string presentationalStyle(const Element& e, const std::string& baseUrl, const HintOptions& options) {
  Decls d;
  const std::string& tag = e.tagName();
  if (tag == "BODY") {
    bodyHints(d, e, baseUrl, options);
  } else if (tag == "TABLE") {
    tableHints(d, e, baseUrl);
  } else if (tag == "TD" || tag == "TH") {
    cellHints(d, e, baseUrl);
  } else if (tag == "TR" || tag == "THEAD" || tag == "TBODY" || tag == "TFOOT") {
    d.color("background-color", e, "bgcolor");
    d.image(e, baseUrl);
    if (tag == "TR") d.length("height", e, "height");
    if (auto a = textAlign(e.attribute("align")); !a.empty()) d.add("text-align", a);
  } else if (tag == "A") {
    if (e.hasAttribute("href"))
      if (const Element* body = bodyOf(e)) d.color("color", *body, "link");
  } else if (tag == "FONT") {
    d.color("color", e, "color");
    if (e.hasAttribute("face"))
      if (auto f = cssFamilies(e.attribute("face")); !f.empty()) d.add("font-family", f);
    if (e.hasAttribute("size"))
      if (auto px = fontSizePixels(e.attribute("size"))) d.add("font-size", std::to_string(*px) + "px");
  } else if (tag == "IMG" || tag == "IFRAME" || tag == "OBJECT" || tag == "EMBED" || tag == "APPLET" ||
             (tag == "INPUT" && e.type() == "image")) {
    d.length("width", e, "width");
    d.length("height", e, "height");
    objectAlign(d, e);
    spacing(d, e);
    if (tag == "IMG" || tag == "INPUT") {
      if (auto b = leadingInt(e.attribute("border")); e.hasAttribute("border") && b && *b >= 0) {
        d.add("border-width", std::to_string(*b) + "px");
        if (*b > 0) d.add("border-style", "solid");
      }
    }
    if (tag == "IFRAME") {
      const std::string fb = lowerAscii(trimBlanks(e.attribute("frameborder")));
      if (fb == "0" || fb == "no") d.add("border-width", "0");
    }
  } else if (tag == "HR") {
    d.length("width", e, "width");
    if (auto n = leadingInt(e.attribute("size")); n && *n > 0) d.add("height", std::to_string(std::max(0, *n - 2)) + "px");
    const std::string a = lowerAscii(trimBlanks(e.attribute("align")));
    if (a == "left") {
      d.add("margin-right", "auto");
    } else if (a == "right") {
      d.add("margin-left", "auto");
    } else if (e.hasAttribute("width")) {
      d.add("margin-left", "auto");
      d.add("margin-right", "auto");
    }
    std::optional<std::string> c = e.hasAttribute("color") ? legacyColor(e.attribute("color")) : std::nullopt;
    if (e.hasAttribute("noshade") || c) {
      d.add("border-color", c ? *c : "#808080");
      d.add("background-color", c ? *c : "#808080");
    }
  } else if (tag == "P" || tag == "DIV" || tag == "H1" || tag == "H2" || tag == "H3" || tag == "H4" ||
             tag == "H5" || tag == "H6" || tag == "CAPTION" || tag == "LEGEND") {
    if (auto a = textAlign(e.attribute("align")); !a.empty()) d.add("text-align", a);
  } else if (tag == "UL" || tag == "OL" || tag == "LI") {
    if (auto t = listType(e.attribute("type")); !t.empty()) d.add("list-style-type", t);
  } else if (tag == "BR") {
    const std::string c = lowerAscii(trimBlanks(e.attribute("clear")));
    if (c == "all" || c == "both") d.add("clear", "both");
    else if (c == "left" || c == "right") d.add("clear", c);
  } else if (tag == "NOSCRIPT") {
    if (!options.scriptsEnabled) d.add("display", "block");
  } else if (tag == "MARQUEE") {
    d.color("background-color", e, "bgcolor");
    d.length("width", e, "width");
    d.length("height", e, "height");
  }
  return d.text();
}

}  // namespace qv::browser
