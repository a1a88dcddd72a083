#include "platform/browser/LayoutBoxes.h"

#include <litehtml/el_anchor.h>
#include <litehtml/el_base.h>
#include <litehtml/el_body.h>
#include <litehtml/el_break.h>
#include <litehtml/el_div.h>
#include <litehtml/el_font.h>
#include <litehtml/el_link.h>
#include <litehtml/el_para.h>
#include <litehtml/el_script.h>
#include <litehtml/el_style.h>
#include <litehtml/el_table.h>
#include <litehtml/el_td.h>
#include <litehtml/el_title.h>
#include <litehtml/el_tr.h>

#include <algorithm>
#include <type_traits>
#include <vector>

#include "platform/browser/PageLayout.h"
#include "platform/browser/PresentationalHints.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/SysColors.h"

namespace qv::browser {

namespace {

using litehtml::uint_ptr;

RECT toRect(const litehtml::position& p) { return RECT{p.x, p.y, p.x + p.width, p.y + p.height}; }

// A picture's or field's CSS width in pixels of a line `width` wide. A page
// may ask for "100000%" or "1e9px"; the engine's own conversion to int then
// overflows, so the width is kept to far more than any screen holds.
int boxWidth(const litehtml::css_length& length, int width) {
  const double v = length.units() == litehtml::css_units_percentage ? static_cast<double>(width) * length.val() / 100.0
                                                                     : static_cast<double>(length.val());
  constexpr double kMost = 1 << 24;
  if (!(v == v)) return 0;
  return static_cast<int>(std::clamp(v, -kMost, kMost));
}

void fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

COLORREF colorOf(const litehtml::web_color& c) { return RGB(c.red, c.green, c.blue); }

// What a field of each kind needs beyond the default style sheet, given
// as hints so that a page's style sheet still changes it.
std::string kindStyle(const std::string& kind) {
  if (kind == "checkbox" || kind == "radio")
    return "border-width: 0; background-color: transparent; margin: 3px 3px 3px 4px; ";
  if (kind == "submit" || kind == "reset" || kind == "button")
    return "border-style: outset; background-color: buttonface; color: buttontext; ";
  if (kind == "image") return "border-width: 0; background-color: transparent; ";
  if (kind == "hidden") return "display: none; ";
  return "";
}

template <class Base>
class Node : public Base, public NodeLink {
 public:
  Node(const std::shared_ptr<litehtml::document>& doc, Element* e) : Base(doc) { source = e; }

  void apply_stylesheet(const litehtml::css& sheet) override {
    Base::apply_stylesheet(sheet);
    // Hints go on top of the default sheet and under everything after it.
    if (&sheet != &PageLayout::defaultSheet() || !source) return;
    PageLayout* layout = layoutOf(*this);
    if (!layout) return;
    std::string hints = presentationalStyle(*source, layout->baseUrl(), layout->options().hints);
    hints += kindStyle(controlKind(*source));
    if constexpr (std::is_base_of_v<litehtml::html_tag, Base>)
      if (!hints.empty()) this->m_style.add(hints.c_str(), layout->baseUrl().c_str(), this);
  }
};

// A box whose contents are ours: its size comes from the page (CSS width
// and height, percentages of the line) or from what it shows.
class ReplacedBox : public Node<litehtml::html_tag> {
 public:
  using Node::Node;
  bool is_replaced() const override { return true; }
  int line_height() const override { return height(); }

  int render(int x, int y, int max_width, bool) override {
    calc_outlines(max_width);
    m_pos.move_to(x, y);
    const litehtml::size natural = intrinsic();
    const bool autoW = m_css_width.is_predefined();
    int h = 0;
    const bool autoH = !get_predefined_height(h);
    int w = autoW ? natural.width : boxWidth(m_css_width, max_width);
    if (autoH) h = natural.height;
    if (keepsRatio() && natural.width > 0 && natural.height > 0) {
      if (autoW && !autoH) w = static_cast<int>(static_cast<long long>(h) * natural.width / natural.height);
      if (autoH && !autoW) h = static_cast<int>(static_cast<long long>(w) * natural.height / natural.width);
    }
    m_pos.width = std::max(0, w);
    m_pos.height = std::max(0, h);
    calc_auto_margins(max_width);
    m_pos.x += content_margins_left();
    m_pos.y += content_margins_top();
    return m_pos.width + content_margins_left() + content_margins_right();
  }

  void get_content_size(litehtml::size& sz, int max_width) override {
    sz = intrinsic();
    if (!m_css_width.is_predefined()) sz.width = boxWidth(m_css_width, max_width);
  }

  void draw(uint_ptr hdc, int x, int y, const litehtml::position* clip) override {
    litehtml::position pos = m_pos;
    pos.x += x;
    pos.y += y;
    litehtml::position outer = pos;
    outer += m_padding;
    outer += m_borders;
    if (clip && !outer.does_intersect(clip)) return;
    html_tag::draw(hdc, x, y, clip);
    PageLayout* layout = layoutOf(*this);
    if (!layout || !source) return;
    RECT content = toRect(pos);
    RECT clipRect = clip ? toRect(*clip) : content;
    RECT visible{};
    if (!IntersectRect(&visible, &content, &clipRect)) return;
    HDC dc = reinterpret_cast<HDC>(hdc);
    SaveDC(dc);
    IntersectClipRect(dc, visible.left, visible.top, visible.right, visible.bottom);
    paint(*layout, dc, content, visible);
    RestoreDC(dc, -1);
  }

 protected:
  virtual litehtml::size intrinsic() = 0;
  virtual bool keepsRatio() const { return false; }
  virtual void paint(PageLayout& layout, HDC dc, const RECT& content, const RECT& clip) = 0;

  litehtml::uint_ptr font() { return get_font(); }
  COLORREF textColor() { return colorOf(get_color("color", true)); }
};

// The platform's sign for a picture that did not come: a page with a red cross.
void brokenSign(HDC dc, int x, int y) {
  fill(dc, RECT{x, y, x + 16, y + 16}, RGB(255, 255, 255));
  HBRUSH frame = CreateSolidBrush(RGB(128, 128, 128));
  RECT f{x, y, x + 16, y + 16};
  FrameRect(dc, &f, frame);
  DeleteObject(frame);
  for (int i = 0; i < 8; ++i) {
    fill(dc, RECT{x + 4 + i, y + 4 + i, x + 5 + i, y + 5 + i}, RGB(255, 0, 0));
    fill(dc, RECT{x + 11 - i, y + 4 + i, x + 12 - i, y + 5 + i}, RGB(255, 0, 0));
  }
}

class ImageBox final : public ReplacedBox {
 public:
  using ReplacedBox::ReplacedBox;

 protected:
  bool keepsRatio() const override { return true; }

  const PageImage* picture() {
    if (!loaded_) {
      loaded_ = true;
      PageLayout* layout = layoutOf(*this);
      const std::string src = source->attribute("src");
      if (layout && !src.empty()) picture_ = layout->resources().image(layout->resolve(src));
    }
    return picture_;
  }

  litehtml::size intrinsic() override {
    if (const PageImage* p = picture()) return makeSize(p->image.width, p->image.height);
    // The placeholder holds the sign and the alt text.
    litehtml::size sz = makeSize(28, 30);
    PageLayout* layout = layoutOf(*this);
    const std::string alt = source->attribute("alt");
    if (layout && !alt.empty()) sz.width = std::max(sz.width, 24 + layout->measure(alt, font()));
    return sz;
  }

  void paint(PageLayout& layout, HDC dc, const RECT& content, const RECT& clip) override {
    if (const PageImage* p = picture()) {
      drawPicture(dc, *p, content, clip);
      return;
    }
    RECT edge = content;
    DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    brokenSign(dc, content.left + 2, content.top + 2);
    const std::string alt = source->attribute("alt");
    if (!alt.empty()) layout.text(dc, alt, font(), textColor(), content.left + 22, content.top + 3);
  }

 private:
  bool loaded_ = false;
  const PageImage* picture_ = nullptr;
};

std::string optionText(const Element& option) { return option.innerText(); }

class ControlBox final : public ReplacedBox {
 public:
  ControlBox(const std::shared_ptr<litehtml::document>& doc, Element* e) : ReplacedBox(doc, e), kind_(controlKind(*e)) {}

 protected:
  litehtml::size intrinsic() override {
    PageLayout* layout = layoutOf(*this);
    if (!layout) return {};
    const TEXTMETRICA& tm = layout->metrics(font());
    const int line = tm.tmHeight;
    const int scroll = GetSystemMetrics(SM_CXVSCROLL);
    if (kind_ == "checkbox" || kind_ == "radio") return makeSize(13, 13);
    if (kind_ == "submit" || kind_ == "reset" || kind_ == "button")
      return makeSize(layout->measure(buttonCaption(*source), font()) + 12, line + 2);
    if (kind_ == "select" || kind_ == "listbox") {
      int widest = 0;
      const auto options = optionsOf(*source);
      for (Element* o : options) widest = std::max(widest, layout->measure(optionText(*o), font()));
      if (kind_ == "select") return makeSize(widest + 4 + scroll, line + 2);
      const int rows = positive("size", 4);
      return makeSize(widest + 4 + (static_cast<int>(options.size()) > rows ? scroll : 0), rows * line + 2);
    }
    if (kind_ == "textarea") {
      const int cols = positive("cols", 20), rows = positive("rows", 2);
      return makeSize(cols * tm.tmAveCharWidth + 2 + scroll, rows * line + 2);
    }
    const int chars = positive("size", 20);
    int w = chars * tm.tmAveCharWidth + 2;
    if (kind_ == "file") w += layout->measure("Browse...", font()) + 12 + 4;
    return makeSize(w, line + 2);
  }

  void paint(PageLayout& layout, HDC dc, const RECT& c, const RECT&) override {
    const bool disabled = source->hasAttribute("disabled");
    const COLORREF text = disabled ? GetSysColor(COLOR_GRAYTEXT) : textColor();
    const TEXTMETRICA& tm = layout.metrics(font());
    const int ty = c.top + (c.bottom - c.top - tm.tmHeight) / 2;
    if (kind_ == "checkbox" || kind_ == "radio") {
      RECT r = c;
      UINT state = (kind_ == "checkbox" ? DFCS_BUTTONCHECK : DFCS_BUTTONRADIO) | (source->checked() ? DFCS_CHECKED : 0) |
                   (disabled ? DFCS_INACTIVE : 0);
      DrawFrameControl(dc, &r, DFC_BUTTON, state);
      return;
    }
    if (kind_ == "submit" || kind_ == "reset" || kind_ == "button") {
      const std::string caption = buttonCaption(*source);
      const int w = layout.measure(caption, font());
      layout.text(dc, caption, font(), text, c.left + (c.right - c.left - w) / 2, ty);
      return;
    }
    if (kind_ == "select") {
      std::string shown;
      for (Element* o : optionsOf(*source))
        if (o->selected()) shown = optionText(*o);
      if (shown.empty()) {
        const auto options = optionsOf(*source);
        if (!options.empty()) shown = optionText(*options.front());
      }
      const int arrow = GetSystemMetrics(SM_CXVSCROLL);
      layout.text(dc, shown, font(), text, c.left + 2, ty);
      RECT button{c.right - arrow, c.top, c.right, c.bottom};
      DrawFrameControl(dc, &button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (disabled ? DFCS_INACTIVE : 0));
      return;
    }
    if (kind_ == "listbox") {
      int y = c.top + 1;
      for (Element* o : optionsOf(*source)) {
        if (y >= c.bottom) break;
        COLORREF color = text;
        if (o->selected()) {
          fill(dc, RECT{c.left + 1, y, c.right - 1, y + tm.tmHeight}, GetSysColor(COLOR_HIGHLIGHT));
          color = GetSysColor(COLOR_HIGHLIGHTTEXT);
        }
        layout.text(dc, optionText(*o), font(), color, c.left + 2, y);
        y += tm.tmHeight;
      }
      return;
    }
    if (kind_ == "textarea") {
      const int scroll = GetSystemMetrics(SM_CXVSCROLL);
      RECT bar{c.right - scroll, c.top, c.right, c.bottom};
      paintIdleScrollBar(dc, bar);
      std::string value = source->value();
      int y = c.top + 1;
      size_t pos = 0;
      while (pos <= value.size() && y < c.bottom) {
        size_t end = value.find('\n', pos);
        if (end == std::string::npos) end = value.size();
        std::string line = value.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        layout.text(dc, line, font(), text, c.left + 2, y);
        y += tm.tmHeight;
        pos = end + 1;
      }
      return;
    }
    // Text, password and file fields.
    std::string value = source->value();
    if (kind_ == "password") value = std::string(value.size(), '*');
    RECT field = c;
    if (kind_ == "file") {
      const int bw = layout.measure("Browse...", font()) + 12;
      RECT button{c.right - bw, c.top - 2, c.right + 2, c.bottom + 2};
      field.right = button.left - 4;
      fill(dc, button, GetSysColor(COLOR_BTNFACE));
      RECT edge = button;
      DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
      layout.text(dc, "Browse...", font(), GetSysColor(COLOR_BTNTEXT), button.left + 6 + 2, ty);
    }
    layout.text(dc, value, font(), text, field.left + 1, ty);
  }

 private:
  int positive(const char* attr, int fallback) const {
    auto n = leadingInt(source->attribute(attr));
    return n && *n > 0 ? std::min(*n, 1000) : fallback;
  }

  // A text area's scroll bar while its text fits: arrows and an empty track.
  static void paintIdleScrollBar(HDC dc, const RECT& bar) {
    const int w = bar.right - bar.left;
    HBRUSH track = GetSysColorBrush(COLOR_SCROLLBAR);
    FillRect(dc, &bar, track);
    RECT up{bar.left, bar.top, bar.right, std::min<LONG>(bar.bottom, bar.top + w)};
    RECT down{bar.left, std::max<LONG>(bar.top, bar.bottom - w), bar.right, bar.bottom};
    DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
    DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE);
  }

  std::string kind_;
};

class FrameBox final : public ReplacedBox {
 public:
  using ReplacedBox::ReplacedBox;

 protected:
  litehtml::size intrinsic() override { return makeSize(300, 150); }
  void paint(PageLayout& layout, HDC dc, const RECT& content, const RECT& clip) override {
    if (LayoutHost* host = layout.host()) host->drawFrame(dc, *source, content, clip);
  }
};

template <class T>
std::shared_ptr<litehtml::element> make(const std::shared_ptr<litehtml::document>& doc, Element* e) {
  return std::make_shared<Node<T>>(doc, e);
}

}  // namespace

std::string controlKind(const Element& e) {
  const std::string& tag = e.tagName();
  if (tag == "SELECT")
    return e.hasAttribute("multiple") || leadingInt(e.attribute("size")).value_or(1) > 1 ? "listbox" : "select";
  if (tag == "TEXTAREA") return "textarea";
  if (tag != "INPUT") return "";
  const std::string t = e.type();
  static const char* const kKinds[] = {"password", "checkbox", "radio", "submit", "reset",
                                       "button",   "file",     "image", "hidden"};
  for (const char* k : kKinds)
    if (t == k) return k;
  return "text";
}

std::string buttonCaption(const Element& e) {
  if (e.hasAttribute("value")) return e.attribute("value");
  const std::string kind = controlKind(e);
  if (kind == "submit") return "Submit Query";
  if (kind == "reset") return "Reset";
  return "";
}

std::shared_ptr<litehtml::element> makeBox(const std::string& tag, Element* e,
                                           const std::shared_ptr<litehtml::document>& doc) {
  using namespace litehtml;
  if (tag == "img") return std::make_shared<ImageBox>(doc, e);
  if (tag == "input") {
    const std::string kind = controlKind(*e);
    if (kind == "image") return std::make_shared<ImageBox>(doc, e);
    if (kind == "hidden") return make<html_tag>(doc, e);
    return std::make_shared<ControlBox>(doc, e);
  }
  if (tag == "select" || tag == "textarea") return std::make_shared<ControlBox>(doc, e);
  if (tag == "iframe") return std::make_shared<FrameBox>(doc, e);
  if (tag == "br") return make<el_break>(doc, e);
  if (tag == "p") return make<el_para>(doc, e);
  if (tag == "table") return make<el_table>(doc, e);
  if (tag == "td" || tag == "th") return make<el_td>(doc, e);
  if (tag == "tr") return make<el_tr>(doc, e);
  if (tag == "link") return make<el_link>(doc, e);
  if (tag == "title") return make<el_title>(doc, e);
  if (tag == "a") return make<el_anchor>(doc, e);
  if (tag == "style") return make<el_style>(doc, e);
  if (tag == "base") return make<el_base>(doc, e);
  if (tag == "body") return make<el_body>(doc, e);
  if (tag == "div") return make<el_div>(doc, e);
  if (tag == "script") return make<el_script>(doc, e);
  if (tag == "font") return make<el_font>(doc, e);
  return make<html_tag>(doc, e);
}

std::vector<Element*> optionsOf(const Element& select) {
  std::vector<Element*> out;
  for (Element* e : select.descendants())
    if (e->tagName() == "OPTION") out.push_back(e);
  return out;
}

}  // namespace qv::browser
