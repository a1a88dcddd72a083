// The vertical scroll bar of a page view, in the platform's classic look:
// arrow buttons at both ends, the dithered track and a raised thumb whose
// length shows how much of the page is in view. While the page fits, the
// arrows are greyed and there is no thumb. The flat look (the host's
// DOCHOSTUIFLAG_FLAT_SCROLLBAR) draws the same parts flat.
#pragma once

#include "platform/os/Types.h"

namespace qv::browser {

enum class ScrollPart { None, LineUp, LineDown, PageUp, PageDown, Thumb };

class PageScrollBar {
 public:
  // `bar` in the DC's coordinates; the page is `content` high, `view` of
  // it shows, scrolled down by `position`.
  PageScrollBar(const RECT& bar, int content, int view, int position);

  bool enabled() const { return content_ > view_; }
  RECT upArrow() const;
  RECT downArrow() const;
  // The thumb; empty while the bar is disabled.
  RECT thumb() const;
  ScrollPart partAt(POINT pt) const;
  // The scroll position that puts the thumb's top at `thumbTop`.
  int positionForThumb(int thumbTop) const;

  void paint(HDC dc, bool flat, ScrollPart pressed) const;

 private:
  int arrowHeight() const;
  RECT bar_;
  int content_, view_, position_;
};

}  // namespace qv::browser
