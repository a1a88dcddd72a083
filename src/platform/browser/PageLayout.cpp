#include "platform/browser/PageLayout.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "platform/browser/DefaultStyleSheet.h"
#include "platform/browser/LayoutBoxes.h"
#include "platform/browser/PresentationalHints.h"
#include "platform/browser/Url.h"
#include "platform/os/gdi/FontEngine.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/SysColors.h"

namespace qv::browser {

namespace {

litehtml::context& engineContext() {
  static litehtml::context* ctx = [] {
    auto* c = new litehtml::context();
    c->load_master_stylesheet(defaultStyleSheet());
    return c;
  }();
  return *ctx;
}

// A face name without the blanks and quotes around it.
std::string unquoted(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (std::isspace(static_cast<unsigned char>(s[b])) || s[b] == '"' || s[b] == '\'')) ++b;
  while (e > b && (std::isspace(static_cast<unsigned char>(s[e - 1])) || s[e - 1] == '"' || s[e - 1] == '\'')) --e;
  return s.substr(b, e - b);
}

// The first face of a CSS family list, the generic families as the
// platform's browser fills them in.
std::string firstFace(const std::string& families) {
  const std::string first = unquoted(families.substr(0, families.find(',')));
  const std::string l = lowerAscii(first);
  if (l == "serif" || l.empty()) return kDefaultFontFace;
  if (l == "sans-serif") return "Arial";
  if (l == "monospace") return "Courier New";
  if (l == "cursive" || l == "fantasy") return "Comic Sans MS";
  return first.substr(0, LF_FACESIZE - 1);
}

COLORREF colorOf(const litehtml::web_color& c) { return RGB(c.red, c.green, c.blue); }
// Saturated: boxes of absurd sizes must not wrap round to small ones.
LONG farEdge(int from, int size) {
  const long long e = static_cast<long long>(from) + size;
  return static_cast<LONG>(std::clamp<long long>(e, INT_MIN, INT_MAX));
}
RECT toRect(const litehtml::position& p) { return RECT{p.x, p.y, farEdge(p.x, p.width), farEdge(p.y, p.height)}; }

void fill(HDC dc, const RECT& r, COLORREF c) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

COLORREF half(COLORREF c) { return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2); }

struct SystemColor {
  const char* name;
  int index;
};
constexpr SystemColor kSystemColors[] = {
    {"activeborder", COLOR_ACTIVEBORDER},       {"activecaption", COLOR_ACTIVECAPTION},
    {"appworkspace", COLOR_APPWORKSPACE},       {"background", COLOR_BACKGROUND},
    {"buttonface", COLOR_BTNFACE},              {"buttonhighlight", COLOR_BTNHIGHLIGHT},
    {"buttonshadow", COLOR_BTNSHADOW},          {"buttontext", COLOR_BTNTEXT},
    {"captiontext", COLOR_CAPTIONTEXT},         {"graytext", COLOR_GRAYTEXT},
    {"highlight", COLOR_HIGHLIGHT},             {"highlighttext", COLOR_HIGHLIGHTTEXT},
    {"inactiveborder", COLOR_INACTIVEBORDER},   {"inactivecaption", COLOR_INACTIVECAPTION},
    {"inactivecaptiontext", COLOR_INACTIVECAPTIONTEXT}, {"infobackground", COLOR_INFOBK},
    {"infotext", COLOR_INFOTEXT},               {"menu", COLOR_MENU},
    {"menutext", COLOR_MENUTEXT},               {"scrollbar", COLOR_SCROLLBAR},
    {"threeddarkshadow", COLOR_3DDKSHADOW},     {"threedface", COLOR_3DFACE},
    {"threedhighlight", COLOR_3DHIGHLIGHT},     {"threedlightshadow", COLOR_3DLIGHT},
    {"threedshadow", COLOR_3DSHADOW},           {"window", COLOR_WINDOW},
    {"windowframe", COLOR_WINDOWFRAME},         {"windowtext", COLOR_WINDOWTEXT},
};

// Upper and lower case of Windows-1252 letters as Unicode code points.
char32_t upperOf(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  return c;
}
char32_t lowerOf(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

std::u32string decodeUtf8(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (i + static_cast<size_t>(len) > s.size()) len = 1;
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out += cp;
    i += static_cast<size_t>(len);
  }
  return out;
}

// The content box of an engine element in the piece's coordinates. The
// engine places table cells, rows and row groups all from the table's
// corner, so the rows and groups between a cell and its table add nothing.
litehtml::position placement(const litehtml::element& e) {
  litehtml::position pos = const_cast<litehtml::element&>(e).get_position();
  for (litehtml::element::ptr p = e.parent(); p; p = p->parent()) {
    switch (p->get_display()) {
      case litehtml::display_table_row:
      case litehtml::display_table_row_group:
      case litehtml::display_table_header_group:
      case litehtml::display_table_footer_group:
        continue;
      default:
        break;
    }
    const litehtml::position& at = p->get_position();
    pos.x += at.x;
    pos.y += at.y;
  }
  return pos;
}

bool isTablePart(litehtml::style_display d) {
  return d == litehtml::display_table_row || d == litehtml::display_table_row_group ||
         d == litehtml::display_table_header_group || d == litehtml::display_table_footer_group;
}

// An absurd page (a width of 1e9 pixels) lays out boxes whose far edges
// pass the range of int: the edges are compared in 64 bits.
bool inside(const litehtml::position& p, int x, int y) {
  return x >= p.x && x < static_cast<long long>(p.x) + p.width && y >= p.y &&
         y < static_cast<long long>(p.y) + p.height;
}

// The last box in drawing order, deepest first, that holds the point.
// `ox, oy` is where the element's position counts from, `bx, by` the
// content corner of the block that holds its lines.
void hitWalk(const litehtml::element& el, int ox, int oy, int bx, int by, int x, int y, int depth,
             const litehtml::element*& best) {
  if (depth > kMaxDepth + 16 || el.skip() || el.get_display() == litehtml::display_none) return;
  if (!dynamic_cast<const litehtml::html_tag*>(&el)) return;  // text: its element answers
  const litehtml::style_display d = el.get_display();
  const litehtml::position& at = const_cast<litehtml::element&>(el).get_position();
  const int cx = ox + at.x, cy = oy + at.y;
  if (d == litehtml::display_inline) {
    litehtml::position::vector boxes;
    const_cast<litehtml::element&>(el).get_inline_boxes(boxes);
    for (litehtml::position b : boxes) {
      b.x += bx;
      b.y += by;
      if (inside(b, x, y)) best = &el;
    }
  } else if (!isTablePart(d)) {
    litehtml::position border(cx, cy, at.width, at.height);
    border += el.get_paddings();
    border += el.get_borders();
    if (inside(border, x, y)) best = &el;
  }
  const bool part = isTablePart(d);
  const int nox = part ? ox : cx, noy = part ? oy : cy;
  const bool lines = d != litehtml::display_inline && !part;
  for (size_t i = 0; i < el.get_children_count(); ++i)
    if (auto k = el.get_child(static_cast<int>(i)))
      hitWalk(*k, nox, noy, lines ? cx : bx, lines ? cy : by, x, y, depth + 1, best);
}

}  // namespace

std::string baseUrlOf(const Document& doc) {
  // The first BASE with an address in the head; a page's body is not
  // searched, so that a big page does not cost a walk per slice.
  for (const Element* top : doc.documentElement()->children()) {
    if (top->tagName() != "HEAD") continue;
    for (const Element* e : top->children())
      if (e->tagName() == "BASE" && e->hasAttribute("href")) return resolveUrl(doc.url(), e->attribute("href"));
  }
  return doc.url();
}

struct PageLayout::Font {
  HFONT font = nullptr;
  TEXTMETRICA tm{};
};

const litehtml::css& PageLayout::defaultSheet() { return engineContext().master_css(); }

PageLayout* layoutOf(const litehtml::element& e) {
  auto doc = e.get_document();
  return doc ? static_cast<PageLayout*>(doc->container()) : nullptr;
}

Element* elementOfBox(const litehtml::element* box) {
  litehtml::element::ptr hold;
  for (const litehtml::element* p = box; p;) {
    if (auto* link = dynamic_cast<const NodeLink*>(p))
      if (link->source) return link->source;
    hold = p->parent();
    p = hold.get();
  }
  return nullptr;
}

PageLayout::PageLayout(PageResources& resources, const Document& doc, const PageSlice& slice,
                       const LayoutOptions& options, LayoutHost* host)
    : resources_(resources), doc_(doc), options_(options), host_(host) {
  baseUrl_ = baseUrlOf(doc);
  const std::string source = pageSource(doc, slice, options.source, nodes_);
  engine_ = litehtml::document::createFromUTF8(source.c_str(), this, &engineContext());
}

PageLayout::~PageLayout() {
  boxes_.clear();
  engine_.reset();  // gives back its fonts through delete_font
}

int PageLayout::layout(int width, int viewportHeight) {
  width_ = std::max(1, width);
  viewportHeight_ = std::max(1, viewportHeight);
  if (engine_) engine_->render(width_);
  return height();
}

int PageLayout::height() const { return engine_ ? engine_->height() : 0; }

void PageLayout::draw(HDC dc, int x, int y, const RECT& clip) {
  if (!engine_) return;
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  drawDc_ = dc;
  clips_ = 0;
  litehtml::position c(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
  engine_->draw(reinterpret_cast<litehtml::uint_ptr>(dc), x, y, &c);
  drawDc_ = nullptr;
  clips_ = 0;
  RestoreDC(dc, saved);
}

Element* PageLayout::elementAt(int x, int y) const {
  if (!engine_ || !engine_->root()) return nullptr;
  const litehtml::element* best = nullptr;
  hitWalk(*engine_->root(), 0, 0, 0, 0, x, y, 0, best);
  return best ? elementOfBox(best) : nullptr;
}

const litehtml::element* PageLayout::boxElement(const Element& e) const {
  auto it = boxes_.find(&e);
  if (it == boxes_.end() || !it->second) return nullptr;
  const litehtml::element* b = it->second;
  if (b->skip() || b->get_display() == litehtml::display_none) return nullptr;
  for (auto p = b->parent(); p; p = p->parent())
    if (p->get_display() == litehtml::display_none) return nullptr;
  return b;
}

std::optional<RECT> PageLayout::boxOf(const Element& e) const {
  const litehtml::element* b = boxElement(e);
  if (!b) return std::nullopt;
  if (b->get_display() == litehtml::display_inline) {
    litehtml::position::vector boxes;
    const_cast<litehtml::element*>(b)->get_inline_boxes(boxes);
    if (boxes.empty()) return std::nullopt;
    // Line boxes count from the block that holds the lines.
    litehtml::element::ptr block = b->parent();
    while (block && block->get_display() == litehtml::display_inline) block = block->parent();
    if (block) {
      const litehtml::position origin = placement(*block);
      for (auto& p : boxes) {
        p.x += origin.x;
        p.y += origin.y;
      }
    }
    RECT out = toRect(boxes.front());
    for (const auto& p : boxes) {
      const RECT r = toRect(p);
      out.left = std::min(out.left, r.left);
      out.top = std::min(out.top, r.top);
      out.right = std::max(out.right, r.right);
      out.bottom = std::max(out.bottom, r.bottom);
    }
    return out;
  }
  litehtml::position p = placement(*b);
  p += b->get_paddings();
  p += b->get_borders();
  return toRect(p);
}

std::optional<RECT> PageLayout::contentBoxOf(const Element& e) const {
  const litehtml::element* b = boxElement(e);
  if (!b) return std::nullopt;
  return toRect(placement(*b));
}

CanvasBackground PageLayout::canvas() const {
  CanvasBackground out;
  if (!engine_ || !engine_->root()) return out;
  const litehtml::background* bg = nullptr;
  auto usable = [](const litehtml::background* b) { return b && (b->m_color.alpha > 0 || !b->m_image.empty()); };
  litehtml::element::ptr root = engine_->root();
  if (usable(root->get_background(true))) {
    bg = root->get_background(true);
  } else {
    for (size_t i = 0; i < root->get_children_count(); ++i) {
      litehtml::element::ptr k = root->get_child(static_cast<int>(i));
      if (k && k->is_body()) {
        if (usable(k->get_background(true))) bg = k->get_background(true);
        break;
      }
    }
  }
  if (!bg) return out;
  if (bg->m_color.alpha > 0) {
    out.color = colorOf(bg->m_color);
    out.hasColor = true;
  }
  if (!bg->m_image.empty()) out.image = resolveUrl(bg->m_baseurl.empty() ? baseUrl_ : bg->m_baseurl, bg->m_image);
  out.repeat = bg->m_repeat;
  out.fixed = bg->m_attachment == litehtml::background_attachment_fixed;
  return out;
}

std::string PageLayout::resolve(const std::string& reference) const { return resolveUrl(baseUrl_, reference); }

// ---- fonts and text ---------------------------------------------------------

litehtml::uint_ptr PageLayout::create_font(const litehtml::tchar_t* faceName, int size, int weight,
                                           litehtml::font_style italic, unsigned int decoration,
                                           litehtml::font_metrics* fm) {
  LOGFONTA lf{};
  lf.lfHeight = -std::clamp(size, 1, 1000);
  lf.lfWeight = std::clamp(weight, 100, 900);
  lf.lfItalic = italic == litehtml::fontStyleItalic;
  lf.lfUnderline = (decoration & litehtml::font_decoration_underline) != 0;
  lf.lfStrikeOut = (decoration & litehtml::font_decoration_linethrough) != 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::string face = firstFace(faceName ? faceName : "");
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  auto* f = new Font;
  f->font = CreateFontIndirect(&lf);
  HDC dc = resources_.measureDc();
  SelectObject(dc, f->font);
  GetTextMetrics(dc, &f->tm);
  if (fm) {
    fm->ascent = f->tm.tmAscent;
    fm->descent = f->tm.tmDescent;
    fm->height = f->tm.tmHeight;
    int xHeight = f->tm.tmAscent / 2;
    if (auto realized = qv::os::gdi::realizedFontOf(dc)) {
      const auto& g = realized->glyph('x');
      if (g.top > 0) xHeight = g.top;
    }
    fm->x_height = xHeight;
    fm->draw_spaces = lf.lfItalic || decoration != 0;
  }
  return reinterpret_cast<litehtml::uint_ptr>(f);
}

void PageLayout::delete_font(litehtml::uint_ptr font) {
  auto* f = reinterpret_cast<Font*>(font);
  if (!f) return;
  HDC dc = resources_.measureDc();
  if (GetCurrentObject(dc, OBJ_FONT) == f->font) SelectObject(dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f->font);
  delete f;
}

const TEXTMETRICA& PageLayout::metrics(litehtml::uint_ptr font) const {
  static const TEXTMETRICA none{};
  auto* f = reinterpret_cast<Font*>(font);
  return f ? f->tm : none;
}

int PageLayout::measure(const std::string& utf8, litehtml::uint_ptr font) {
  auto* f = reinterpret_cast<Font*>(font);
  if (!f || utf8.empty()) return 0;
  HDC dc = resources_.measureDc();
  if (GetCurrentObject(dc, OBJ_FONT) != f->font) SelectObject(dc, f->font);
  const std::string ansi = qv::os::utf8ToAnsi(utf8);
  SIZE sz{};
  GetTextExtentPoint32(dc, ansi.c_str(), static_cast<int>(ansi.size()), &sz);
  return sz.cx;
}

int PageLayout::text_width(const litehtml::tchar_t* text, litehtml::uint_ptr font) {
  return text ? measure(text, font) : 0;
}

void PageLayout::text(HDC dc, const std::string& utf8, litehtml::uint_ptr font, COLORREF color, int x, int y) {
  auto* f = reinterpret_cast<Font*>(font);
  if (!f || utf8.empty()) return;
  SelectObject(dc, f->font);
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  const std::string ansi = qv::os::utf8ToAnsi(utf8);
  TextOut(dc, x, y, ansi.c_str(), static_cast<int>(ansi.size()));
}

void PageLayout::draw_text(litehtml::uint_ptr hdc, const litehtml::tchar_t* t, litehtml::uint_ptr font,
                           litehtml::web_color color, const litehtml::position& pos) {
  if (t) text(reinterpret_cast<HDC>(hdc), t, font, colorOf(color), pos.x, pos.y);
}

int PageLayout::pt_to_px(int pt) const { return MulDiv(pt, 96, 72); }
int PageLayout::get_default_font_size() const { return kDefaultFontPixels; }
const litehtml::tchar_t* PageLayout::get_default_font_name() const { return kDefaultFontFace; }

void PageLayout::transform_text(litehtml::tstring& text, litehtml::text_transform tt) {
  if (tt == litehtml::text_transform_none) return;
  std::u32string cps = decodeUtf8(text);
  bool start = true;
  for (char32_t& c : cps) {
    const bool letter = c >= 0x80 || std::isalnum(static_cast<int>(c));
    if (tt == litehtml::text_transform_uppercase) c = upperOf(c);
    if (tt == litehtml::text_transform_lowercase) c = lowerOf(c);
    if (tt == litehtml::text_transform_capitalize && start && letter) c = upperOf(c);
    start = !letter;
  }
  std::string out;
  for (char32_t c : cps) qv::os::appendUtf8(out, c);
  text = out;
}

// ---- drawing ----------------------------------------------------------------

void PageLayout::draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) {
  HDC dc = reinterpret_cast<HDC>(hdc);
  const RECT r = toRect(marker.pos);
  if (!marker.image.empty()) {
    if (const PageImage* img = resources_.image(resolveUrl(marker.baseurl ? marker.baseurl : baseUrl_, marker.image))) {
      RECT dest{r.left, r.top, r.left + img->image.width, r.top + img->image.height};
      RECT clip{};
      GetClipBox(dc, &clip);
      drawPicture(dc, *img, dest, clip);
      return;
    }
  }
  const COLORREF c = colorOf(marker.color);
  switch (marker.marker_type) {
    case litehtml::list_style_type_square:
      fill(dc, r, c);
      break;
    case litehtml::list_style_type_circle:
    case litehtml::list_style_type_disc: {
      // Round at any size: pixels whose centre lies within the circle (a
      // ring of one pixel for a circle).
      const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
      const double radius = std::min(r.right - r.left, r.bottom - r.top) / 2.0;
      const bool ring = marker.marker_type == litehtml::list_style_type_circle;
      // Only the pixels the clip lets through: a marker of a huge font
      // would otherwise be walked pixel by pixel, far outside the window.
      RECT clip{};
      GetClipBox(dc, &clip);
      RECT part{};
      if (!IntersectRect(&part, &r, &clip)) break;
      for (int y = part.top; y < part.bottom; ++y)
        for (int x = part.left; x < part.right; ++x) {
          const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d2 = dx * dx + dy * dy;
          if (d2 <= radius * radius && (!ring || d2 >= (radius - 1) * (radius - 1))) SetPixelV(dc, x, y, c);
        }
      break;
    }
    default:
      break;
  }
}

void PageLayout::load_image(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, bool) {
  if (src && *src) resources_.image(resolveUrl(baseurl && *baseurl ? baseurl : baseUrl_, src));
}

void PageLayout::get_image_size(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, litehtml::size& sz) {
  sz = makeSize(0, 0);
  if (!src || !*src) return;
  if (const PageImage* img = resources_.image(resolveUrl(baseurl && *baseurl ? baseurl : baseUrl_, src)))
    sz = makeSize(img->image.width, img->image.height);
}

void PageLayout::draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& bg) {
  // The canvas (the root's background) is the view's to paint.
  if (bg.is_root) return;
  HDC dc = reinterpret_cast<HDC>(hdc);
  const RECT box = toRect(bg.clip_box);
  if (bg.color.alpha > 0) fill(dc, box, colorOf(bg.color));
  if (bg.image.empty()) return;
  const PageImage* img = resources_.image(resolveUrl(bg.baseurl.empty() ? baseUrl_ : bg.baseurl, bg.image));
  if (!img) return;
  RECT paintClip{};
  if (GetClipBox(dc, &paintClip) == ERROR) return;
  RECT area{};
  if (!IntersectRect(&area, &box, &paintClip)) return;
  const int w = bg.image_size.width > 0 ? bg.image_size.width : img->image.width;
  const int h = bg.image_size.height > 0 ? bg.image_size.height : img->image.height;
  if (w <= 0 || h <= 0) return;
  const bool rx = bg.repeat == litehtml::background_repeat_repeat || bg.repeat == litehtml::background_repeat_repeat_x;
  const bool ry = bg.repeat == litehtml::background_repeat_repeat || bg.repeat == litehtml::background_repeat_repeat_y;
  auto firstTile = [](int origin, int from, int size) {
    const int d = origin - from;
    return d > 0 ? origin - ((d + size - 1) / size) * size : origin + ((-d) / size) * size;
  };
  const int x0 = rx ? firstTile(bg.position_x, area.left, w) : bg.position_x;
  const int y0 = ry ? firstTile(bg.position_y, area.top, h) : bg.position_y;
  const int x1 = rx ? area.right : x0 + 1;
  const int y1 = ry ? area.bottom : y0 + 1;
  for (int y = y0; y < y1; y += h)
    for (int x = x0; x < x1; x += w) drawPicture(dc, *img, RECT{x, y, x + w, y + h}, area);
}

void PageLayout::paintSide(HDC dc, int side, const litehtml::border& b, const RECT& o, const int wd[4]) {
  // wd: left, top, right, bottom widths. Each side is drawn as rows of
  // one pixel, shortened at both ends along the mitre of the corners.
  const int w = wd[side];
  if (w <= 0 || b.style == litehtml::border_style_none || b.style == litehtml::border_style_hidden) return;
  const COLORREF base = colorOf(b.color);
  const bool threeD = base == GetSysColor(COLOR_3DFACE);
  const bool topLeft = side == 0 || side == 1;
  auto shade = [&](int index) -> COLORREF {
    if (threeD) return GetSysColor(index);
    return index == COLOR_3DSHADOW || index == COLOR_3DDKSHADOW ? half(base) : base;
  };
  // The colour of the row `i` rows in from the outside.
  auto rowColor = [&](int i) -> COLORREF {
    const bool outer = w == 1 || i < (w + 1) / 2;
    switch (b.style) {
      case litehtml::border_style_inset:
        if (w == 1) return shade(topLeft ? COLOR_3DSHADOW : COLOR_3DLIGHT);
        return shade(topLeft ? (outer ? COLOR_3DSHADOW : COLOR_3DDKSHADOW) : (outer ? COLOR_3DHIGHLIGHT : COLOR_3DLIGHT));
      case litehtml::border_style_outset:
        if (w == 1) return shade(topLeft ? COLOR_3DLIGHT : COLOR_3DSHADOW);
        return shade(topLeft ? (outer ? COLOR_3DLIGHT : COLOR_3DHIGHLIGHT) : (outer ? COLOR_3DDKSHADOW : COLOR_3DSHADOW));
      case litehtml::border_style_groove:
        return shade(topLeft == outer ? COLOR_3DSHADOW : COLOR_3DHIGHLIGHT);
      case litehtml::border_style_ridge:
        return shade(topLeft == outer ? COLOR_3DHIGHLIGHT : COLOR_3DSHADOW);
      default:
        return base;
    }
  };
  const bool doubled = b.style == litehtml::border_style_double && w >= 3;
  const bool dotted = b.style == litehtml::border_style_dotted, dashed = b.style == litehtml::border_style_dashed;
  const bool across = side == 1 || side == 3;
  // Only the rows and dots the clip lets through are drawn: a border a
  // million pixels wide, or dots along a box of that length, must not be
  // walked one by one outside the window. Edges are taken in 64 bits, as
  // boxes of such sizes lie near the ends of the coordinate range.
  RECT clip{};
  if (GetClipBox(dc, &clip) == ERROR) return;
  // Rows [first, last) from the outside in; the right and bottom sides count
  // from their far edges.
  const long long firstRow[4] = {static_cast<long long>(clip.left) - o.left, static_cast<long long>(clip.top) - o.top,
                                 static_cast<long long>(o.right) - clip.right,
                                 static_cast<long long>(o.bottom) - clip.bottom};
  const long long lastRow[4] = {
      static_cast<long long>(clip.right) - o.left, static_cast<long long>(clip.bottom) - o.top,
      static_cast<long long>(o.right) - clip.left, static_cast<long long>(o.bottom) - clip.top};
  const long long first = std::max<long long>(firstRow[side], 0), last = std::min<long long>(lastRow[side], w);
  const long long lo = across ? clip.left : clip.top, hi = across ? clip.right : clip.bottom;
  auto coord = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); };
  for (long long i = first; i < last; ++i) {
    if (doubled && i >= w / 3 && i < w - w / 3) continue;
    const COLORREF c = rowColor(static_cast<int>(i));
    // The row's extent along the side, shortened along the mitres.
    long long a, z;
    RECT row{};
    if (across) {
      a = o.left + static_cast<long long>(wd[0]) * i / w;
      z = o.right - static_cast<long long>(wd[2]) * i / w;
      const int y = coord(side == 1 ? o.top + i : o.bottom - 1 - i);
      row = RECT{coord(a), y, coord(z), y + 1};
    } else {
      a = o.top + static_cast<long long>(wd[1]) * i / w;
      z = o.bottom - static_cast<long long>(wd[3]) * i / w;
      const int x = coord(side == 0 ? o.left + i : o.right - 1 - i);
      row = RECT{x, coord(a), x + 1, coord(z)};
    }
    if (!dotted && !dashed) {
      fill(dc, row, c);
      continue;
    }
    // Dots as squares of the border's width, dashes three times as long,
    // from the first that reaches into the clip to the last that starts in it.
    const long long on = dotted ? w : 3LL * w, period = on + (dotted ? w : 2LL * w);
    const long long start = lo > a ? a + (lo - a) / period * period : a;
    for (long long p = start; p < std::min(z, hi); p += period) {
      const int from = coord(p), to = coord(std::min(z, p + on));
      fill(dc, across ? RECT{from, row.top, to, row.bottom} : RECT{row.left, from, row.right, to}, c);
    }
  }
}

void PageLayout::draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& borders,
                              const litehtml::position& pos, bool) {
  HDC dc = reinterpret_cast<HDC>(hdc);
  const RECT o = toRect(pos);
  auto width = [](const litehtml::border& b) {
    return b.style == litehtml::border_style_none || b.style == litehtml::border_style_hidden ? 0 : std::max(0, b.width);
  };
  const int wd[4] = {width(borders.left), width(borders.top), width(borders.right), width(borders.bottom)};
  paintSide(dc, 1, borders.top, o, wd);
  paintSide(dc, 3, borders.bottom, o, wd);
  paintSide(dc, 0, borders.left, o, wd);
  paintSide(dc, 2, borders.right, o, wd);
}

void PageLayout::set_clip(const litehtml::position& pos, const litehtml::border_radiuses&, bool valid_x,
                          bool valid_y) {
  if (!drawDc_) return;
  SaveDC(drawDc_);
  ++clips_;
  constexpr int kFar = 1 << 20;
  IntersectClipRect(drawDc_, valid_x ? pos.x : -kFar, valid_y ? pos.y : -kFar, valid_x ? pos.right() : kFar,
                    valid_y ? pos.bottom() : kFar);
}

void PageLayout::del_clip() {
  if (!drawDc_ || clips_ == 0) return;
  RestoreDC(drawDc_, -1);
  --clips_;
}

void PageLayout::get_client_rect(litehtml::position& client) const {
  client = litehtml::position(0, 0, width_, viewportHeight_);
}

// ---- the page's things ------------------------------------------------------

void PageLayout::set_base_url(const litehtml::tchar_t* base) {
  if (base && *base) baseUrl_ = resolveUrl(doc_.url(), base);
}

void PageLayout::import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring& baseurl) {
  const std::string address = resolveUrl(baseurl.empty() ? baseUrl_ : baseurl, url);
  baseurl = address;
  // A sheet that imports itself, or sheets that import each other, would
  // never end: each sheet comes once per page, and only so many at all.
  if (!imported_.insert(address).second || imported_.size() > kMaxStyleSheets) {
    text.clear();
    return;
  }
  text = resources_.styleSheet(address, doc_.charset()).value_or("");
  closeOpenComment(text);
}

std::shared_ptr<litehtml::element> PageLayout::create_element(const litehtml::tchar_t* tag,
                                                              const litehtml::string_map& attributes,
                                                              const std::shared_ptr<litehtml::document>& doc) {
  auto mark = attributes.find(kNodeMark);
  if (mark == attributes.end() || !tag) return nullptr;
  char* end = nullptr;
  const unsigned long index = std::strtoul(mark->second.c_str(), &end, 10);
  if (!end || *end || index >= nodes_.size()) return nullptr;
  Element* e = nodes_[index];
  std::shared_ptr<litehtml::element> box = makeBox(tag, e, doc);
  if (box) boxes_[e] = box.get();
  return box;
}

void PageLayout::get_media_features(litehtml::media_features& media) const {
  media.type = litehtml::media_type_screen;
  media.width = width_;
  media.height = viewportHeight_;
  media.device_width = GetSystemMetrics(SM_CXSCREEN);
  media.device_height = GetSystemMetrics(SM_CYSCREEN);
  media.color = 8;
  media.color_index = 256;
  media.monochrome = 0;
  media.resolution = 96;
}

void PageLayout::get_language(litehtml::tstring& language, litehtml::tstring& culture) const {
  language = "en";
  culture = "";
}

litehtml::tstring PageLayout::resolve_color(const litehtml::tstring& color) const {
  const std::string name = lowerAscii(color);
  for (const SystemColor& s : kSystemColors)
    if (name == s.name) {
      const COLORREF c = GetSysColor(s.index);
      char buf[8];
      std::snprintf(buf, sizeof buf, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
      return buf;
    }
  return {};
}

}  // namespace qv::browser
