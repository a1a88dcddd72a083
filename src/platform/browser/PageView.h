// The control's view of a page: the page laid out by the layout engine
// (PageLayout.h) in a rectangle of the control's window, with its
// vertical scroll bar, its frames and inline frames (each a view of its
// own document), and what the mouse and the keys do on it.
//
// - A frame set divides the view by its rows and cols (pixels, percents,
//   '*' shares) with 2-pixel bars between the frames unless frameborder
//   is off; each frame shows its document, with a sunken edge while the
//   frame has a border. Inline frames show theirs in their box.
// - Scroll bars: the page's own view always has one, greyed while the
//   page fits, unless the host turned scroll bars off (SCROLL_NO) or the
//   body says scroll="no"; frames and inline frames have one only while
//   their page does not fit (scrolling="auto"), always ("yes") or never
//   ("no"). The wheel scrolls the view under the pointer by three lines,
//   also without a scroll bar.
// - The mouse over a link (an A with an address, or the area of an image
//   map) shows the hand; a press and release on it follows it; a release
//   on a check box or radio button ticks it, on a submit button (or a
//   picture button) submits its form with the button, on a reset button
//   resets the form; a press on a field gives it the focus, where typed
//   characters go (Enter submits the form).
// - Big pages are laid out in slices (PageSource.h), only those in view,
//   and only a few are kept; the height of a slice not laid out yet is
//   estimated from its size until it is.
//
// Coordinates are the window's client coordinates.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageScrollBar.h"
#include "platform/os/Types.h"

namespace qv::browser {

class PageLayout;
class PageResources;
struct PageSlice;

struct ViewOptions {
  bool scrollBars = true;     // off: the host's DOCHOSTUIFLAG_SCROLL_NO
  bool border3d = false;      // a 2-pixel sunken edge around the view
  bool flatScrollBar = false;
  bool images = true;         // DLCTL_DLIMAGES
  bool scripts = true;        // off: NOSCRIPT shows
};

// What lies under a point.
struct PageHit {
  class PageView* view = nullptr;  // the view (frame) the point is in
  Element* element = nullptr;      // the innermost element
  Element* link = nullptr;         // the A or AREA with an address it belongs to
  Element* control = nullptr;      // the form field or BUTTON it belongs to
  ScrollPart part = ScrollPart::None;  // on the view's scroll bar
  POINT at{0, 0};  // on a picture button: the point within its picture
};

class PageView {
 public:
  // What the view asks of the control that holds it.
  struct Actions {
    std::function<void(Element* link)> follow;
    std::function<void(Element* form, Element* submitter, POINT at)> submit;
    std::function<void(Element* link)> hover;  // nullptr: over no link
    std::function<void()> invalidate;
  };
  enum class Scrolling { Page, Auto, Always, Never };

  PageView(std::shared_ptr<Document> doc, const ViewOptions& options);
  ~PageView();
  PageView(const PageView&) = delete;
  PageView& operator=(const PageView&) = delete;

  const std::shared_ptr<Document>& document() const { return doc_; }
  // Another page: laid out afresh at the top.
  void setDocument(std::shared_ptr<Document> doc);
  const ViewOptions& options() const { return options_; }
  void setOptions(const ViewOptions& options);
  void setActions(Actions actions) { actions_ = std::move(actions); }
  void setBounds(const RECT& bounds);
  const RECT& bounds() const { return bounds_; }

  void paint(HDC dc, const RECT& dirty);
  PageHit hitTest(POINT pt);
  // The border box of an element of the page or of one of its frames, in
  // client coordinates; nullopt when it has none (hidden, not on the page).
  std::optional<RECT> boxOf(const Element& e);
  // The cursor for a point: IDC_HAND over links, IDC_IBEAM over text
  // fields, else IDC_ARROW.
  LPCSTR cursorAt(POINT pt);

  // Scrolling of this view (not its frames).
  int scrollTop() const { return scrollTop_; }
  int contentHeight();
  int viewHeight() const;
  bool hasScrollBar();
  bool scrollTo(int y);  // clamped; true when the view moved
  bool scrollBy(int dy) { return scrollTo(scrollTop_ + dy); }
  // Brings the element named by a fragment ("#top") to the top of the view.
  bool scrollToFragment(const std::string& fragment);

  void mouseDown(POINT pt);
  void mouseMove(POINT pt);
  void mouseUp(POINT pt);
  void wheel(POINT pt, int delta);
  // A key the host left to the page: true when the view used it.
  bool key(UINT vk);
  bool character(char ansi);

  // The slices the page is laid out in, and how many are laid out now.
  size_t sliceCount() const;
  size_t laidOutSlices() const;

  static constexpr int kLineStep = 19;      // one line of the arrows and the wheel
  static constexpr size_t kSliceItems = 6000;
  static constexpr size_t kWholeItems = 24000;
  static constexpr size_t kKeptSlices = 6;

 private:
  struct Piece;
  struct FrameCell;
  class Host;
  PageView(std::shared_ptr<Document> doc, const ViewOptions& options, PageView* parent,
           std::shared_ptr<PageResources> resources, Scrolling scrolling, int marginWidth, int marginHeight);

  PageView& root();
  bool isFrameset() const;
  RECT inner() const;      // inside the 3-D edge
  RECT viewport();         // inner() without the scroll bar
  RECT scrollBarRect();
  void prepare();          // up to date with the document and the size
  void relayout();
  void planPieces();
  PageLayout* pieceLayout(size_t index);
  void placePieces();
  size_t pieceOf(const Element& e) const;
  void layoutFrames();
  PageView* frameView(const Element& frameElement);
  void paintCanvas(HDC dc, const RECT& area);
  void paintFrameset(HDC dc, const RECT& dirty);
  PageHit hitPage(POINT pt);
  void activate(const PageHit& hit);
  PageView& focusedView();
  void invalidate();
  void drawFocus(HDC dc, const RECT& clip);
  std::optional<RECT> boxHere(const Element& e);

  std::shared_ptr<Document> doc_;
  ViewOptions options_;
  PageView* parent_ = nullptr;
  std::shared_ptr<PageResources> resources_;
  std::unique_ptr<Host> host_;
  Scrolling scrolling_ = Scrolling::Page;
  int marginWidth_ = -1, marginHeight_ = -1;
  Actions actions_;
  RECT bounds_{0, 0, 0, 0};
  int scrollTop_ = 0;

  // Layout state.
  unsigned revision_ = ~0u;
  int layoutWidth_ = -1, layoutHeight_ = -1;
  bool barShown_ = false;
  std::vector<Piece> pieces_;
  unsigned long long useClock_ = 0;
  double pixelsPerItem_ = 0.8;
  std::vector<FrameCell> cells_;
  std::vector<RECT> frameBars_;
  std::map<const Element*, std::unique_ptr<PageView>> frameViews_;  // frames and inline frames

  // Interaction.
  PageHit pressed_;
  ScrollPart pressedPart_ = ScrollPart::None;
  int dragOffset_ = 0;
  PageView* dragging_ = nullptr;
  Element* hovered_ = nullptr;
};

}  // namespace qv::browser
