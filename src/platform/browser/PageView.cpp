#include "platform/browser/PageView.h"

#include <algorithm>
#include <cctype>

#include "platform/browser/ImageMap.h"
#include "platform/browser/LayoutBoxes.h"
#include "platform/browser/PageLayout.h"
#include "platform/browser/PageResources.h"
#include "platform/browser/PageSource.h"
#include "platform/browser/PresentationalHints.h"
#include "platform/browser/Url.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/SysColors.h"

namespace qv::browser {

namespace {

constexpr int kEdge = 2;        // the 3-D edge of a view
constexpr int kFrameBar = 2;    // the bar between frames
constexpr int kMaxFrameSets = 8;

bool off(const std::string& v) {
  const std::string l = lowerAscii(trimBlanks(v));
  return l == "0" || l == "no" || l == "false";
}

RECT offset(RECT r, int dx, int dy) {
  OffsetRect(&r, dx, dy);
  return r;
}

void fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// One size of a frame set's rows or cols.
struct FrameSize {
  enum Kind { Pixels, Percent, Share } kind = Share;
  int value = 1;
};

std::vector<FrameSize> frameSizes(const std::string& spec) {
  std::vector<FrameSize> out;
  if (trimBlanks(spec).empty()) return {FrameSize{}};
  size_t pos = 0;
  while (pos <= spec.size() && out.size() < 100) {
    size_t end = spec.find(',', pos);
    if (end == std::string::npos) end = spec.size();
    const std::string item = trimBlanks(spec.substr(pos, end - pos));
    FrameSize s;
    if (!item.empty() && item.back() == '*') {
      s.kind = FrameSize::Share;
      s.value = std::max(1, leadingInt(item).value_or(1));
    } else if (!item.empty() && item.back() == '%') {
      s.kind = FrameSize::Percent;
      s.value = std::max(0, leadingInt(item).value_or(0));
    } else {
      s.kind = FrameSize::Pixels;
      s.value = std::max(0, leadingInt(item).value_or(0));
    }
    out.push_back(s);
    pos = end + 1;
  }
  return out;
}

// Pixels for each size out of `total`: pixels first, then percents, then
// the shares of what is left (the last frame takes any rest).
std::vector<int> shareOut(const std::vector<FrameSize>& sizes, int total) {
  std::vector<int> px(sizes.size(), 0);
  total = std::max(0, total);
  long long fixed = 0, percent = 0, shares = 0;
  for (const FrameSize& s : sizes) {
    if (s.kind == FrameSize::Pixels) fixed += s.value;
    if (s.kind == FrameSize::Percent) percent += static_cast<long long>(total) * s.value / 100;
    if (s.kind == FrameSize::Share) shares += s.value;
  }
  long long left = total;
  for (size_t i = 0; i < sizes.size(); ++i)
    if (sizes[i].kind == FrameSize::Pixels)
      px[i] = static_cast<int>(fixed > total ? static_cast<long long>(sizes[i].value) * total / fixed : sizes[i].value);
  for (int v : px) left -= v;
  for (size_t i = 0; i < sizes.size(); ++i)
    if (sizes[i].kind == FrameSize::Percent) {
      const long long want = static_cast<long long>(total) * sizes[i].value / 100;
      px[i] = static_cast<int>(percent > left ? (left > 0 ? want * left / percent : 0) : want);
    }
  left = total;
  for (int v : px) left -= v;
  for (size_t i = 0; i < sizes.size(); ++i)
    if (sizes[i].kind == FrameSize::Share && shares > 0) px[i] = static_cast<int>(std::max(0LL, left) * sizes[i].value / shares);
  long long used = 0;
  for (int v : px) used += v;
  if (!px.empty() && used < total) px.back() += static_cast<int>(total - used);
  return px;
}

bool isTextField(const Element* e) {
  if (!e) return false;
  const std::string k = controlKind(*e);
  return k == "text" || k == "password" || k == "textarea";
}

std::string optionValue(const Element& o) { return o.value(); }

// A form back to what its page said.
void resetForm(Element& form) {
  for (Element* e : form.formElements()) {
    const std::string kind = controlKind(*e);
    if (kind == "checkbox" || kind == "radio") {
      e->setChecked(e->hasAttribute("checked"));
    } else if (kind == "text" || kind == "password" || kind == "hidden" || kind == "file") {
      e->setValue(e->attribute("value"));
    } else if (kind == "select" || kind == "listbox") {
      const auto options = optionsOf(*e);
      Element* chosen = nullptr;
      for (Element* o : options)
        if (o->hasAttribute("selected")) chosen = o;
      if (!chosen && kind == "select" && !options.empty()) chosen = options.front();
      e->setValue(chosen ? optionValue(*chosen) : std::string());
    } else if (kind == "textarea") {
      std::string text;
      for (Element* k : e->childNodes())
        if (k->tagName().empty()) text += k->text();
      if (text.rfind("\r\n", 0) == 0) text.erase(0, 2);
      else if (!text.empty() && text[0] == '\n') text.erase(0, 1);
      e->setValue(text);
    }
  }
}

// The control a LABEL stands for.
Element* labelled(Element& label) {
  const std::string id = label.attribute("for");
  if (!id.empty()) {
    Element* e = label.document().elementById(id);
    return e && e->isFormControl() ? e : nullptr;
  }
  for (Element* e : label.descendants())
    if (e->isFormControl()) return e;
  return nullptr;
}

}  // namespace

struct PageView::Piece {
  PageSlice slice;
  std::unique_ptr<PageLayout> layout;
  int top = 0;
  int height = 0;
  bool measured = false;
  unsigned long long used = 0;
};

struct PageView::FrameCell {
  RECT rect{};
  const Element* element = nullptr;  // FRAME; nullptr for a cell left empty
};

class PageView::Host final : public LayoutHost {
 public:
  explicit Host(PageView& view) : view_(view) {}
  void drawFrame(HDC dc, const Element& frame, const RECT& box, const RECT& clip) override {
    if (PageView* v = view_.frameView(frame)) {
      v->setBounds(box);
      v->paint(dc, clip);
    }
  }

 private:
  PageView& view_;
};

PageView::PageView(std::shared_ptr<Document> doc, const ViewOptions& options)
    : PageView(std::move(doc), options, nullptr, nullptr, Scrolling::Page, -1, -1) {}

PageView::PageView(std::shared_ptr<Document> doc, const ViewOptions& options, PageView* parent,
                   std::shared_ptr<PageResources> resources, Scrolling scrolling, int marginWidth, int marginHeight)
    : doc_(std::move(doc)),
      options_(options),
      parent_(parent),
      resources_(resources ? std::move(resources) : std::make_shared<PageResources>(options.images)),
      host_(std::make_unique<Host>(*this)),
      scrolling_(scrolling),
      marginWidth_(marginWidth),
      marginHeight_(marginHeight) {}

PageView::~PageView() = default;

PageView& PageView::root() { return parent_ ? parent_->root() : *this; }

void PageView::setDocument(std::shared_ptr<Document> doc) {
  doc_ = std::move(doc);
  scrollTop_ = 0;
  revision_ = ~0u;
  pieces_.clear();
  cells_.clear();
  frameViews_.clear();
  pressed_ = {};
  pressedPart_ = ScrollPart::None;
  dragging_ = nullptr;
  hovered_ = nullptr;
  if (!parent_ && options_.images != resources_->loadsImages())
    resources_ = std::make_shared<PageResources>(options_.images);
}

void PageView::setOptions(const ViewOptions& options) {
  const bool images = options.images != options_.images;
  options_ = options;
  if (images && !parent_) resources_ = std::make_shared<PageResources>(options_.images);
  revision_ = ~0u;
  pieces_.clear();
  frameViews_.clear();
}

void PageView::setBounds(const RECT& bounds) {
  if (EqualRect(&bounds, &bounds_)) return;
  bounds_ = bounds;
}

bool PageView::isFrameset() const {
  const Element* body = doc_ ? doc_->body() : nullptr;
  return body && body->tagName() == "FRAMESET";
}

RECT PageView::inner() const {
  RECT r = bounds_;
  if (options_.border3d) InflateRect(&r, -kEdge, -kEdge);
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

RECT PageView::scrollBarRect() {
  const RECT in = inner();
  return RECT{std::max<LONG>(in.left, in.right - GetSystemMetrics(SM_CXVSCROLL)), in.top, in.right, in.bottom};
}

RECT PageView::viewport() {
  RECT r = inner();
  if (barShown_) r.right = scrollBarRect().left;
  return r;
}

int PageView::viewHeight() const {
  const RECT in = inner();
  return in.bottom - in.top;
}

// ---- layout -----------------------------------------------------------------

void PageView::planPieces() {
  pieces_.clear();
  if (!doc_ || isFrameset()) return;
  for (const PageSlice& s : planSlices(*doc_, kSliceItems, kWholeItems)) {
    Piece p;
    p.slice = s;
    pieces_.push_back(std::move(p));
  }
}

PageLayout* PageView::pieceLayout(size_t index) {
  if (index >= pieces_.size()) return nullptr;
  Piece& p = pieces_[index];
  p.used = ++useClock_;
  if (p.layout) return p.layout.get();
  LayoutOptions lo;
  lo.source.scriptsEnabled = options_.scripts;
  lo.hints.scriptsEnabled = options_.scripts;
  lo.hints.frameMarginWidth = marginWidth_;
  lo.hints.frameMarginHeight = marginHeight_;
  p.layout = std::make_unique<PageLayout>(*resources_, *doc_, p.slice, lo, host_.get());
  const RECT vp = viewport();
  const int oldBottom = p.top + p.height;
  const int h = p.layout->layout(vp.right - vp.left, vp.bottom - vp.top);
  // Content above the view keeps its place on the screen when a slice
  // above it turns out higher or lower than estimated.
  if (pieces_.size() > 1 && oldBottom <= scrollTop_) scrollTop_ = std::max(0, scrollTop_ + h - p.height);
  p.height = h;
  p.measured = true;
  long long items = 0, height = 0;
  for (const Piece& q : pieces_)
    if (q.measured) {
      items += static_cast<long long>(q.slice.items);
      height += q.height;
    }
  if (items > 0) pixelsPerItem_ = static_cast<double>(height) / static_cast<double>(items);
  placePieces();
  // Only a few slices stay laid out: the ones used longest ago go.
  size_t kept = 0;
  for (const Piece& q : pieces_) kept += q.layout ? 1 : 0;
  while (kept > kKeptSlices) {
    Piece* oldest = nullptr;
    for (Piece& q : pieces_)
      if (q.layout && &q != &p && (!oldest || q.used < oldest->used)) oldest = &q;
    if (!oldest) break;
    oldest->layout.reset();
    --kept;
  }
  return p.layout.get();
}

void PageView::placePieces() {
  int top = 0;
  for (Piece& p : pieces_) {
    if (!p.measured) p.height = std::max(1, static_cast<int>(static_cast<double>(p.slice.items) * pixelsPerItem_));
    p.top = top;
    top += p.height;
  }
}

void PageView::relayout() {
  for (Piece& p : pieces_) {
    p.layout.reset();
    p.measured = false;
  }
  placePieces();
}

void PageView::prepare() {
  if (!doc_) return;
  const RECT in = inner();
  const int w = in.right - in.left, h = in.bottom - in.top;
  const bool stale = revision_ != doc_->layoutRevision();
  if (!stale && w == layoutWidth_ && h == layoutHeight_) return;
  if (stale) planPieces();
  revision_ = doc_->layoutRevision();
  layoutWidth_ = w;
  layoutHeight_ = h;
  if (isFrameset()) {
    layoutFrames();
    return;
  }
  // Whether the scroll bar is there decides the width the page gets.
  const Element* body = doc_->body();
  const bool bodyNo = body && lowerAscii(trimBlanks(body->attribute("scroll"))) == "no";
  switch (scrolling_) {
    case Scrolling::Page: barShown_ = options_.scrollBars && !bodyNo; break;
    case Scrolling::Always: barShown_ = true; break;
    case Scrolling::Never: barShown_ = false; break;
    case Scrolling::Auto: {
      barShown_ = false;
      relayout();
      if (pieces_.size() == 1) {
        pieceLayout(0);
        barShown_ = pieces_[0].height > h;
      } else {
        barShown_ = true;
      }
      break;
    }
  }
  relayout();
  scrollTo(scrollTop_);
}

size_t PageView::sliceCount() const { return pieces_.size(); }

size_t PageView::laidOutSlices() const {
  size_t n = 0;
  for (const Piece& p : pieces_) n += p.layout ? 1 : 0;
  return n;
}

int PageView::contentHeight() {
  prepare();
  if (pieces_.empty()) return 0;
  if (pieces_.size() == 1) pieceLayout(0);
  return pieces_.back().top + pieces_.back().height;
}

bool PageView::hasScrollBar() {
  prepare();
  return barShown_ && !isFrameset();
}

bool PageView::scrollTo(int y) {
  prepare();
  const int vh = viewHeight();
  int content = 0;
  if (!pieces_.empty()) {
    if (pieces_.size() == 1) pieceLayout(0);
    content = pieces_.back().top + pieces_.back().height;
  }
  const int target = std::clamp(y, 0, std::max(0, content - vh));
  if (target == scrollTop_) return false;
  scrollTop_ = target;
  invalidate();
  return true;
}

size_t PageView::pieceOf(const Element& e) const {
  if (pieces_.size() <= 1) return 0;
  const Element* root = pieces_.front().slice.flowRoot;
  const Element* child = &e;
  while (child && child->parent() != root) child = child->parent();
  if (!child) return 0;
  const auto& kids = root->childNodes();
  const size_t index = static_cast<size_t>(std::find(kids.begin(), kids.end(), child) - kids.begin());
  for (size_t i = 0; i < pieces_.size(); ++i)
    if (index >= pieces_[i].slice.first && index < pieces_[i].slice.last) return i;
  return 0;
}

// ---- frames -----------------------------------------------------------------

void PageView::layoutFrames() {
  cells_.clear();
  frameBars_.clear();
  struct Todo {
    const Element* set;
    RECT rect;
    bool borders;
    int depth;
  };
  const Element* top = doc_->body();
  std::vector<Todo> todo{{top, inner(), !off(top->attribute("frameborder")), 0}};
  while (!todo.empty()) {
    const Todo t = todo.back();
    todo.pop_back();
    const Element& fs = *t.set;
    const bool borders = fs.hasAttribute("frameborder") ? !off(fs.attribute("frameborder")) : t.borders;
    int bar = borders ? kFrameBar : 0;
    if (auto b = fs.hasAttribute("border") ? leadingInt(fs.attribute("border")) : std::nullopt) bar = std::max(0, *b);
    if (auto b = fs.hasAttribute("framespacing") ? leadingInt(fs.attribute("framespacing")) : std::nullopt)
      bar = std::max(0, *b);
    const auto rows = frameSizes(fs.attribute("rows")), cols = frameSizes(fs.attribute("cols"));
    const int w = t.rect.right - t.rect.left, h = t.rect.bottom - t.rect.top;
    const auto heights = shareOut(rows, h - bar * static_cast<int>(rows.size() - 1));
    const auto widths = shareOut(cols, w - bar * static_cast<int>(cols.size() - 1));
    std::vector<const Element*> kids;
    for (const Element* k : fs.children())
      if (k->tagName() == "FRAME" || k->tagName() == "FRAMESET") kids.push_back(k);
    size_t next = 0;
    int y = t.rect.top;
    for (size_t r = 0; r < rows.size(); ++r) {
      int x = t.rect.left;
      for (size_t c = 0; c < cols.size(); ++c) {
        const RECT cell{x, y, x + widths[c], y + heights[r]};
        const Element* k = next < kids.size() ? kids[next++] : nullptr;
        if (k && k->tagName() == "FRAMESET" && t.depth < kMaxFrameSets)
          todo.push_back({k, cell, borders, t.depth + 1});
        else
          cells_.push_back({cell, k && k->tagName() == "FRAME" ? k : nullptr});
        x += widths[c];
        if (c + 1 < cols.size()) {
          frameBars_.push_back(RECT{x, y, x + bar, y + heights[r]});
          x += bar;
        }
      }
      y += heights[r];
      if (r + 1 < rows.size()) {
        frameBars_.push_back(RECT{t.rect.left, y, t.rect.right, y + bar});
        y += bar;
      }
    }
  }
  for (const FrameCell& cell : cells_)
    if (cell.element)
      if (PageView* v = frameView(*cell.element)) v->setBounds(cell.rect);
}

PageView* PageView::frameView(const Element& frameElement) {
  if (!doc_) return nullptr;
  const Frame* frame = nullptr;
  for (const Frame& f : doc_->frames())
    if (f.element == &frameElement) frame = &f;
  if (!frame || !frame->document) return nullptr;
  auto it = frameViews_.find(&frameElement);
  if (it != frameViews_.end()) {
    if (it->second->document() != frame->document) it->second->setDocument(frame->document);
    return it->second.get();
  }
  const std::string s = lowerAscii(trimBlanks(frameElement.attribute("scrolling")));
  const Scrolling scrolling = s == "no" ? Scrolling::Never : s == "yes" ? Scrolling::Always : Scrolling::Auto;
  ViewOptions o = options_;
  if (frameElement.tagName() == "FRAME") {
    bool borders = !off(frameElement.parent() ? frameElement.parent()->attribute("frameborder") : std::string());
    if (frameElement.hasAttribute("frameborder")) borders = !off(frameElement.attribute("frameborder"));
    o.border3d = borders;
  } else {
    o.border3d = false;
  }
  const int mw = leadingInt(frameElement.attribute("marginwidth")).value_or(-1);
  const int mh = leadingInt(frameElement.attribute("marginheight")).value_or(-1);
  auto view = std::unique_ptr<PageView>(new PageView(frame->document, o, this, resources_, scrolling, mw, mh));
  PageView* out = view.get();
  frameViews_.emplace(&frameElement, std::move(view));
  return out;
}

// ---- painting ---------------------------------------------------------------

void PageView::paintCanvas(HDC dc, const RECT& area) {
  CanvasBackground canvas;
  for (size_t i = 0; i < pieces_.size(); ++i)
    if (pieces_[i].layout) {
      canvas = pieces_[i].layout->canvas();
      break;
    }
  fill(dc, area, canvas.hasColor ? canvas.color : GetSysColor(COLOR_WINDOW));
  if (canvas.image.empty()) return;
  const PageImage* img = resources_->image(canvas.image);
  if (!img) return;
  const RECT vp = viewport();
  const int w = img->image.width, h = img->image.height;
  const int ox = vp.left, oy = canvas.fixed ? vp.top : vp.top - scrollTop_;
  const bool rx = canvas.repeat == litehtml::background_repeat_repeat || canvas.repeat == litehtml::background_repeat_repeat_x;
  const bool ry = canvas.repeat == litehtml::background_repeat_repeat || canvas.repeat == litehtml::background_repeat_repeat_y;
  const int x0 = rx ? ox + ((area.left - ox) / w) * w - (area.left < ox ? w : 0) : ox;
  const int y0 = ry ? oy + ((area.top - oy) / h) * h - (area.top < oy ? h : 0) : oy;
  for (int y = y0; y < (ry ? area.bottom : y0 + 1); y += h)
    for (int x = x0; x < (rx ? area.right : x0 + 1); x += w) drawPicture(dc, *img, RECT{x, y, x + w, y + h}, area);
}

void PageView::paintFrameset(HDC dc, const RECT& dirty) {
  for (const RECT& bar : frameBars_) {
    RECT r{};
    if (IntersectRect(&r, &bar, &dirty)) fill(dc, r, GetSysColor(COLOR_3DFACE));
  }
  for (const FrameCell& cell : cells_) {
    RECT r{};
    if (!IntersectRect(&r, &cell.rect, &dirty)) continue;
    PageView* v = cell.element ? frameView(*cell.element) : nullptr;
    if (v) {
      v->setBounds(cell.rect);
      v->paint(dc, dirty);
    } else {
      fill(dc, r, GetSysColor(COLOR_WINDOW));
    }
  }
}

void PageView::paint(HDC dc, const RECT& dirty) {
  prepare();
  RECT area{};
  if (!IntersectRect(&area, &bounds_, &dirty)) return;
  SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  if (!doc_) {
    fill(dc, area, GetSysColor(COLOR_WINDOW));
  } else if (isFrameset()) {
    paintFrameset(dc, area);
  } else {
    const RECT vp = viewport();
    const int vh = vp.bottom - vp.top;
    // Lay out what comes into view first: estimates may move slices.
    for (int round = 0; round < 64; ++round) {
      bool changed = false;
      for (size_t i = 0; i < pieces_.size(); ++i) {
        const Piece& p = pieces_[i];
        if (p.top + p.height > scrollTop_ && p.top < scrollTop_ + vh && !p.layout) {
          pieceLayout(i);
          changed = true;
          break;
        }
      }
      if (!changed) break;
    }
    RECT clip{};
    if (IntersectRect(&clip, &vp, &area)) {
      SaveDC(dc);
      IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
      paintCanvas(dc, clip);
      for (size_t i = 0; i < pieces_.size(); ++i) {
        Piece& p = pieces_[i];
        if (p.top + p.height <= scrollTop_ || p.top >= scrollTop_ + vh) continue;
        if (PageLayout* layout = pieceLayout(i)) layout->draw(dc, vp.left, vp.top + p.top - scrollTop_, clip);
      }
      drawFocus(dc, clip);
      RestoreDC(dc, -1);
    }
    if (barShown_) {
      RECT bar = scrollBarRect(), r{};
      if (IntersectRect(&r, &bar, &area)) {
        const PageScrollBar sb(bar, contentHeight(), vh, scrollTop_);
        sb.paint(dc, options_.flatScrollBar, root().dragging_ == this ? root().pressedPart_ : ScrollPart::None);
      }
    }
  }
  if (options_.border3d) {
    RECT edge = bounds_;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  }
  RestoreDC(dc, -1);
}

void PageView::drawFocus(HDC dc, const RECT& clip) {
  Element* active = doc_->activeElement();
  if (!active || active->tagName() != "A" || !active->hasAttribute("href")) return;
  if (auto r = boxHere(*active)) {
    RECT f{};
    if (IntersectRect(&f, &*r, &clip)) DrawFocusRect(dc, &*r);
  }
}

// ---- hit testing --------------------------------------------------------------

std::optional<RECT> PageView::boxHere(const Element& e) {
  prepare();
  if (isFrameset()) {
    for (const FrameCell& cell : cells_)
      if (cell.element == &e) return cell.rect;
    return std::nullopt;
  }
  const size_t i = pieceOf(e);
  PageLayout* layout = pieceLayout(i);
  if (!layout) return std::nullopt;
  const auto r = layout->boxOf(e);
  if (!r) return std::nullopt;
  const RECT vp = viewport();
  return offset(*r, vp.left, vp.top + pieces_[i].top - scrollTop_);
}

std::optional<RECT> PageView::boxOf(const Element& e) {
  if (!doc_) return std::nullopt;
  if (&e.document() == doc_.get()) return boxHere(e);
  prepare();
  for (const Frame& f : doc_->frames()) {
    PageView* v = frameView(*f.element);
    if (!v) continue;
    if (!isFrameset()) {
      // Where the inline frame sits now.
      const size_t i = pieceOf(*f.element);
      PageLayout* layout = pieceLayout(i);
      const auto box = layout ? layout->contentBoxOf(*f.element) : std::nullopt;
      if (!box) continue;
      const RECT vp = viewport();
      v->setBounds(offset(*box, vp.left, vp.top + pieces_[i].top - scrollTop_));
    }
    if (auto r = v->boxOf(e)) return r;
  }
  return std::nullopt;
}

PageHit PageView::hitPage(POINT pt) {
  PageHit hit;
  hit.view = this;
  const RECT vp = viewport();
  if (!PtInRect(&vp, pt) || pieces_.empty()) return hit;
  const int y = pt.y - vp.top + scrollTop_, x = pt.x - vp.left;
  size_t i = 0;
  while (i + 1 < pieces_.size() && y >= pieces_[i].top + pieces_[i].height) ++i;
  PageLayout* layout = pieceLayout(i);
  if (!layout) return hit;
  Element* e = layout->elementAt(x, y - pieces_[i].top);
  if (!e) return hit;
  const int dx = vp.left, dy = vp.top + pieces_[i].top - scrollTop_;
  if (e->tagName() == "IFRAME") {
    if (auto box = layout->contentBoxOf(*e)) {
      const RECT r = offset(*box, dx, dy);
      if (PtInRect(&r, pt))
        if (PageView* v = frameView(*e)) {
          v->setBounds(r);
          return v->hitTest(pt);
        }
    }
  }
  if (e->tagName() == "IMG" && e->hasAttribute("usemap")) {
    if (Element* map = mapOf(*e)) {
      if (auto box = layout->contentBoxOf(*e)) {
        const RECT r = offset(*box, dx, dy);
        Element* area = areaAt(*map, POINT{pt.x - r.left, pt.y - r.top});
        if (area) {
          hit.element = area;
          hit.link = area->hasAttribute("href") ? area : nullptr;
          return hit;
        }
      }
    }
  }
  hit.element = e;
  for (Element* p = e; p; p = p->parent()) {
    const std::string& tag = p->tagName();
    if (!hit.link && tag == "A" && p->hasAttribute("href")) hit.link = p;
    if (!hit.control && p->isFormControl()) hit.control = p;
    if (!hit.control && tag == "LABEL") hit.control = labelled(*p);
  }
  if (hit.control && controlKind(*hit.control) == "image")
    if (auto box = layout->contentBoxOf(*hit.control)) hit.at = POINT{pt.x - (box->left + dx), pt.y - (box->top + dy)};
  return hit;
}

PageHit PageView::hitTest(POINT pt) {
  prepare();
  if (!PtInRect(&bounds_, pt)) return {};
  if (isFrameset()) {
    for (const FrameCell& cell : cells_)
      if (PtInRect(&cell.rect, pt) && cell.element)
        if (PageView* v = frameView(*cell.element)) {
          v->setBounds(cell.rect);
          return v->hitTest(pt);
        }
    PageHit h;
    h.view = this;
    return h;
  }
  if (barShown_) {
    const RECT bar = scrollBarRect();
    if (PtInRect(&bar, pt)) {
      PageHit h;
      h.view = this;
      h.part = PageScrollBar(bar, contentHeight(), viewHeight(), scrollTop_).partAt(pt);
      return h;
    }
  }
  return hitPage(pt);
}

LPCSTR PageView::cursorAt(POINT pt) {
  const PageHit hit = hitTest(pt);
  if (hit.link) return IDC_HAND;
  if (isTextField(hit.control)) return IDC_IBEAM;
  return IDC_ARROW;
}

// ---- input ------------------------------------------------------------------

void PageView::invalidate() {
  PageView& r = root();
  if (r.actions_.invalidate) r.actions_.invalidate();
}

void PageView::mouseDown(POINT pt) {
  PageHit hit = hitTest(pt);
  PageView& r = root();
  r.pressed_ = hit;
  r.pressedPart_ = hit.part;
  r.dragging_ = nullptr;
  if (!hit.view) return;
  PageView* v = hit.view;
  const int vh = v->viewHeight();
  switch (hit.part) {
    case ScrollPart::LineUp: v->scrollBy(-kLineStep); break;
    case ScrollPart::LineDown: v->scrollBy(kLineStep); break;
    case ScrollPart::PageUp: v->scrollBy(-std::max(kLineStep, vh - kLineStep)); break;
    case ScrollPart::PageDown: v->scrollBy(std::max(kLineStep, vh - kLineStep)); break;
    case ScrollPart::Thumb: {
      const RECT thumb = PageScrollBar(v->scrollBarRect(), v->contentHeight(), vh, v->scrollTop_).thumb();
      r.dragOffset_ = pt.y - thumb.top;
      break;
    }
    case ScrollPart::None: break;
  }
  if (hit.part != ScrollPart::None) {
    r.dragging_ = v;
    invalidate();
    return;
  }
  // The press gives the focus: to the field, the link, else the page.
  Element* focus = hit.control ? hit.control : hit.link;
  v->doc_->setActiveElement(focus);
  invalidate();
}

void PageView::mouseMove(POINT pt) {
  PageView& r = root();
  if (r.dragging_ && r.pressedPart_ == ScrollPart::Thumb) {
    PageView* v = r.dragging_;
    const PageScrollBar sb(v->scrollBarRect(), v->contentHeight(), v->viewHeight(), v->scrollTop_);
    v->scrollTo(sb.positionForThumb(pt.y - r.dragOffset_));
    return;
  }
  const PageHit hit = hitTest(pt);
  if (hit.link != r.hovered_) {
    r.hovered_ = hit.link;
    if (r.actions_.hover) r.actions_.hover(hit.link);
  }
}

void PageView::mouseUp(POINT pt) {
  PageView& r = root();
  const PageHit down = r.pressed_;
  const bool wasScrolling = r.dragging_ != nullptr;
  r.pressed_ = {};
  r.dragging_ = nullptr;
  r.pressedPart_ = ScrollPart::None;
  if (wasScrolling) {
    invalidate();
    return;
  }
  const PageHit hit = hitTest(pt);
  if (!hit.view) return;
  if (hit.control && hit.control == down.control) {
    activate(hit);
    return;
  }
  if (hit.link && hit.link == down.link && r.actions_.follow) r.actions_.follow(hit.link);
}

void PageView::activate(const PageHit& hit) {
  Element* c = hit.control;
  const std::string kind = controlKind(*c);
  if (c->hasAttribute("disabled")) return;
  PageView& r = root();
  Element* form = c->form();
  if (kind == "checkbox") {
    c->setChecked(!c->checked());
  } else if (kind == "radio") {
    // One of the group: the buttons of that name in the same form.
    const std::vector<Element*> group = form ? form->formElements() : c->document().all();
    for (Element* o : group)
      if (o != c && controlKind(*o) == "radio" && o->name() == c->name() && !c->name().empty()) o->setChecked(false);
    c->setChecked(true);
  } else if (kind == "submit" || kind == "image" || (c->tagName() == "BUTTON" && c->type() == "submit")) {
    if (form && r.actions_.submit) r.actions_.submit(form, c, hit.at);
  } else if (kind == "reset" || (c->tagName() == "BUTTON" && c->type() == "reset")) {
    if (form) resetForm(*form);
  }
  invalidate();
}

void PageView::wheel(POINT pt, int delta) {
  PageHit hit = hitTest(pt);
  PageView* v = hit.view ? hit.view : this;
  const int lines = -delta * 3 / 120;
  // A frame that cannot scroll further hands the wheel to the page around it.
  while (v && !v->scrollBy(lines * kLineStep)) v = v->parent_;
}

// The view that has the focus: down through the frames that hold it.
PageView& PageView::focusedView() {
  PageView* v = this;
  for (int depth = 0; depth < 16; ++depth) {
    Element* active = v->doc_ ? v->doc_->activeElement() : nullptr;
    if (!active || (active->tagName() != "FRAME" && active->tagName() != "IFRAME")) break;
    PageView* inner = v->frameView(*active);
    if (!inner) break;
    v = inner;
  }
  return *v;
}

bool PageView::key(UINT vk) {
  PageView* v = &focusedView();
  Element* active = v->doc_ ? v->doc_->activeElement() : nullptr;
  const std::string kind = active ? controlKind(*active) : std::string();
  if (kind == "select" || kind == "listbox") {
    if (vk == VK_UP || vk == VK_DOWN) {
      const auto options = optionsOf(*active);
      if (options.empty()) return true;
      size_t at = 0;
      for (size_t i = 0; i < options.size(); ++i)
        if (options[i]->selected()) at = i;
      const size_t next = vk == VK_UP ? (at > 0 ? at - 1 : 0) : std::min(options.size() - 1, at + 1);
      active->setValue(optionValue(*options[next]));
      invalidate();
      return true;
    }
  }
  const bool button = kind == "submit" || kind == "reset" || kind == "button" || kind == "image" ||
                      (active && active->tagName() == "BUTTON");
  if (((kind == "checkbox" || kind == "radio") && vk == VK_SPACE) || (button && (vk == VK_SPACE || vk == VK_RETURN))) {
    PageHit h;
    h.view = v;
    h.control = active;
    activate(h);
    return true;
  }
  if (isTextField(active) && vk != VK_PRIOR && vk != VK_NEXT) return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP ||
                                                                      vk == VK_DOWN || vk == VK_HOME || vk == VK_END;
  const int page = std::max(kLineStep, v->viewHeight() - kLineStep);
  switch (vk) {
    case VK_UP: return v->scrollBy(-kLineStep), true;
    case VK_DOWN: return v->scrollBy(kLineStep), true;
    case VK_PRIOR: return v->scrollBy(-page), true;
    case VK_NEXT:
    case VK_SPACE: return v->scrollBy(page), true;
    case VK_HOME: return v->scrollTo(0), true;
    case VK_END: return v->scrollTo(v->contentHeight()), true;
    default: return false;
  }
}

bool PageView::character(char ansi) {
  PageView* v = &focusedView();
  Element* field = v->doc_ ? v->doc_->activeElement() : nullptr;
  if (!isTextField(field) || field->hasAttribute("disabled") || field->hasAttribute("readonly")) return false;
  const std::string kind = controlKind(*field);
  std::string value = field->value();
  const unsigned char c = static_cast<unsigned char>(ansi);
  if (c == '\b') {
    // One character back, however many bytes it takes.
    while (!value.empty() && (static_cast<unsigned char>(value.back()) & 0xC0) == 0x80) value.pop_back();
    if (!value.empty()) value.pop_back();
  } else if (c == '\r') {
    if (kind == "textarea") {
      value += "\r\n";
    } else {
      if (Element* form = field->form(); form && root().actions_.submit) root().actions_.submit(form, nullptr, POINT{0, 0});
      return true;
    }
  } else if (c >= 0x20 && c != 0x7F) {
    const auto max = leadingInt(field->attribute("maxlength"));
    if (max && *max >= 0 && qv::os::utf8ToAnsi(value).size() >= static_cast<size_t>(*max)) return true;
    value += qv::os::ansiToUtf8(std::string(1, ansi));
  } else {
    return false;
  }
  field->setValue(value);
  invalidate();
  return true;
}

bool PageView::scrollToFragment(const std::string& fragment) {
  std::string name = percentDecode(fragment);
  if (!name.empty() && name[0] == '#') name.erase(0, 1);
  if (name.empty() || !doc_) return false;
  Element* target = nullptr;
  for (Element* a : doc_->anchors())
    if (a->name() == name) target = target ? target : a;
  if (!target)
    for (Element* e : doc_->all())
      if (e->id() == name) {
        target = e;
        break;
      }
  if (!target) return false;
  const auto box = boxHere(*target);
  if (!box) return false;
  const RECT vp = viewport();
  return scrollTo(scrollTop_ + box->top - vp.top);
}

}  // namespace qv::browser
