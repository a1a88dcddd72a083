#include "lookandfeel/lkScrollBar.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/classlib/Filer.h"
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Metrics.h"

namespace {

constexpr UINT kFirstRepeatDelay = 400;
constexpr UINT kRepeatInterval = 60;
// How far the pointer may leave the bar before a dragged thumb snaps back:
// along the bar and across it.
constexpr int kTrackMarginAlong = 34;
constexpr int kTrackMarginAcross = 136;

// A difference of two positions, which need not fit an int, kept to one.
int narrow(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }

int clampPosition(int APosition, int AMin, int AMax) { return std::clamp(APosition, AMin, AMax); }

// The page is measured against the range, not only against the maximum: a
// page beyond Max - Min would leave the thumb no positions to stand for.
bool validRange(int AMin, int AMax, int APageSize) {
  if (AMax < AMin || AMax < APageSize || APageSize < 0) return false;
  return static_cast<std::int64_t>(APageSize) <= static_cast<std::int64_t>(AMax) - AMin;
}

[[noreturn]] void rangeError() { throw EInvalidOperation(LoadResString(&SScrollBarRange)); }

TlkScrollBarViewInfo* newViewInfo(TlkScrollBar* AScrollBar) { return new TlkScrollBarViewInfo(AScrollBar); }

void startUp() { RegisterClass(TlkScrollBar::StaticClass()); }
void shutDown() { UnRegisterClass(TlkScrollBar::StaticClass()); }

const qv::classlib::TUnitInfo* const kUses[] = {&lkLookAndFeelsUnit, &lkControlsUnit};

}  // namespace

const qv::classlib::TUnitInfo lkScrollBarUnit{"lkScrollBar", kUses, &startUp, &shutDown};

// ---------------------------------------------------------------------------
// TlkScrollBarViewInfo

bool TlkScrollBarViewInfo::Horizontal() const { return FScrollBar->Kind() == sbHorizontal; }

void TlkScrollBarViewInfo::ReadMinThumbSize() {
  FMinThumbSize = FScrollBar->Painter()->ScrollBarMinimalThumbSize(!Horizontal());
}

void TlkScrollBarViewInfo::CalculateRects() {
  const TRect client = FScrollBar->ClientRect();
  const int w = client.right;
  const int h = client.bottom;
  if (Horizontal()) {
    const int a = std::min(GetSystemMetrics(SM_CYHSCROLL), w / 2);
    FTopLeftArrowRect = {0, 0, a, h};
    FBottomRightArrowRect = {w - a, 0, w, h};
  } else {
    const int a = std::min(GetSystemMetrics(SM_CXVSCROLL), h / 2);
    FTopLeftArrowRect = {0, 0, w, a};
    FBottomRightArrowRect = {0, h - a, w, h};
  }
  CalculateThumbRect();
}

int TlkScrollBarViewInfo::TrackStart() const {
  return Horizontal() ? FTopLeftArrowRect.right : FTopLeftArrowRect.bottom;
}

int TlkScrollBarViewInfo::TrackLength() const {
  return (Horizontal() ? FBottomRightArrowRect.left : FBottomRightArrowRect.top) - TrackStart();
}

int TlkScrollBarViewInfo::ThumbStart() const { return Horizontal() ? FThumbRect.left : FThumbRect.top; }

int TlkScrollBarViewInfo::ThumbLength() const {
  return Horizontal() ? FThumbRect.right - FThumbRect.left : FThumbRect.bottom - FThumbRect.top;
}

void TlkScrollBarViewInfo::MoveThumb(int AStart) {
  const int length = ThumbLength();
  if (Horizontal()) {
    FThumbRect.left = AStart;
    FThumbRect.right = AStart + length;
  } else {
    FThumbRect.top = AStart;
    FThumbRect.bottom = AStart + length;
  }
  CalculatePageRects();
}

bool TlkScrollBarViewInfo::ThumbPlace(int& AStart, int& ALength) const {
  const TlkScrollBar* sb = FScrollBar;
  const int track = TrackLength();
  AStart = TrackStart();
  ALength = 0;
  if (!sb->Enabled()) return false;
  if (sb->PageSize() > 0) {
    const int range = narrow(static_cast<std::int64_t>(sb->Max()) - sb->Min() + 1);
    if (track < FMinThumbSize || sb->Max() == sb->Min()) return false;
    ALength = std::max(std::min(track, MulDiv(sb->PageSize(), track, range)), FMinThumbSize);
    // At least 1: the range check keeps the page within the range.
    const int d = narrow(static_cast<std::int64_t>(sb->Max()) - sb->Min() - sb->PageSize() + 1);
    const int at = narrow(std::min<std::int64_t>(static_cast<std::int64_t>(sb->Position()) - sb->Min(), d));
    AStart += MulDiv(track - ALength, at, d);
    return true;
  }
  ALength = GetSystemMetrics(Horizontal() ? SM_CXHTHUMB : SM_CYVTHUMB);
  if (track < ALength) return false;
  if (track - ALength > 0 && sb->Max() != sb->Min())
    AStart += MulDiv(track - ALength, narrow(static_cast<std::int64_t>(sb->Position()) - sb->Min()),
                     narrow(static_cast<std::int64_t>(sb->Max()) - sb->Min()));
  return true;
}

void TlkScrollBarViewInfo::CalculateThumbRect() {
  FThumbRect = {};
  int start = 0;
  int length = 0;
  if (ThumbPlace(start, length)) {
    const TRect client = FScrollBar->ClientRect();
    if (Horizontal())
      FThumbRect = {start, 0, start + length, client.bottom};
    else
      FThumbRect = {0, start, client.right, start + length};
  }
  CalculatePageRects();
}

void TlkScrollBarViewInfo::CalculatePageRects() {
  FPageBeforeRect = {};
  FPageAfterRect = {};
  if (IsRectEmpty(&FThumbRect)) return;
  const TRect client = FScrollBar->ClientRect();
  if (Horizontal()) {
    FPageBeforeRect = {FTopLeftArrowRect.right, 0, FThumbRect.left, client.bottom};
    FPageAfterRect = {FThumbRect.right, 0, FBottomRightArrowRect.left, client.bottom};
  } else {
    FPageBeforeRect = {0, FTopLeftArrowRect.bottom, client.right, FThumbRect.top};
    FPageAfterRect = {0, FThumbRect.bottom, client.right, FBottomRightArrowRect.top};
  }
}

// ---------------------------------------------------------------------------
// TlkScrollBar

TlkScrollBar::TlkScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FBitmap = new TBitmap();
  FBitmap->SetPixelFormat(pfDevice);
  FBitmapCanvas = new TlkCanvas(FBitmap->Canvas());
  FLookAndFeel = new TlkLookAndFeel(this);
  FLookAndFeel->OnChanged = [this](TlkLookAndFeel*, TlkLookAndFeelValues) { LookAndFeelChanged(); };
  FViewInfo = GetViewInfoClass()(this);
  SetWidth(121);
  SetControlStyle(TControlStyle{csCaptureMouse, csFramed, csOpaque});
  FKind = sbHorizontal;
  SetHeight(GetSystemMetrics(SM_CYHSCROLL));
  FThemeNotificator = new TuiThemeChangedNotificator();
  FThemeNotificator->OnNotify = [this] { ThemeChanged(); };
  FPosition = 0;
  FMin = 0;
  FMax = 100;
  FSmallChange = 1;
  FLargeChange = 1;
  FRepeatTimer = new TlkTimer(nullptr);
  FRepeatTimer->SetEnabled(false);
  FRepeatTimer->SetInterval(kFirstRepeatDelay);
  FRepeatTimer->SetOnTimer([this](TObject*) { RepeatTimerTick(); });
  FViewInfo->ReadMinThumbSize();
  FViewInfo->CalculateRects();
}

TlkScrollBar::~TlkScrollBar() {
  FreeAndNil(FRepeatTimer);
  FreeAndNil(FThemeNotificator);
  FreeAndNil(FViewInfo);
  FreeAndNil(FLookAndFeel);
  FreeAndNil(FBitmapCanvas);
  FreeAndNil(FBitmap);
}

TlkScrollBarViewInfoClass TlkScrollBar::GetViewInfoClass() const { return &newViewInfo; }

void TlkScrollBar::SetKind(TScrollBarKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  FViewInfo->ReadMinThumbSize();
  // A square control keeps its bounds, so the layout is not left to them.
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  FViewInfo->CalculateRects();
  Invalidate();
}

void TlkScrollBar::SetLargeChange(int Value) { FLargeChange = std::clamp(Value, 1, 32767); }

void TlkScrollBar::SetSmallChange(int Value) { FSmallChange = std::clamp(Value, 1, 32767); }

void TlkScrollBar::SetLookAndFeel(TlkLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

void TlkScrollBar::setParam(int AMin, int AMax, int APageSize, int APosition) {
  if (ComponentState().Contains(csLoading)) {
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
    FPosition = APosition;
    return;
  }
  SetScrollParams(AMin, AMax, APageSize, APosition, true);
}

void TlkScrollBar::Loaded() {
  inherited::Loaded();
  if (!validRange(FMin, FMax, FPageSize)) rangeError();
  FPosition = clampPosition(FPosition, FMin, FMax);
  FViewInfo->CalculateRects();
  Invalidate();
}

void TlkScrollBar::SetScrollParams(int AMin, int AMax, int APageSize, int APosition, bool ARedraw) {
  if (!validRange(AMin, AMax, APageSize)) rangeError();
  bool redraw = ARedraw && HandleAllocated();
  APosition = clampPosition(APosition, AMin, AMax);
  if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition) {
    redraw = false;
  } else {
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
  }
  if (APosition == FPosition) {
    FViewInfo->CalculateThumbRect();
    if (redraw) Invalidate();
    return;
  }
  SetEnabled(true);
  FPosition = APosition;
  FViewInfo->CalculateThumbRect();
  if (redraw) Invalidate();
  Changed();
}

void TlkScrollBar::Changed() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
  if (OnChange) OnChange(this);
}

void TlkScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TlkScrollBar::DoScroll(TScrollCode ACode) {
  // 64 bits: a step from near the end of the int range must not wrap.
  std::int64_t p = FPosition;
  switch (ACode) {
    case scLineUp:
      p -= FSmallChange;
      break;
    case scLineDown:
      p += FSmallChange;
      break;
    case scPageUp:
      p -= FLargeChange;
      break;
    case scPageDown:
      p += FLargeChange;
      break;
    case scTop:
      p = FMin;
      break;
    case scBottom:
      p = FMax;
      break;
    default:
      break;
  }
  int position = static_cast<int>(std::clamp<std::int64_t>(p, FMin, FMax));
  Scroll(ACode, position);
  position = clampPosition(position, FMin, FMax);
  if (position == FPosition) return;
  if (ACode == scTrack) {
    FPosition = position;
    Repaint();
  } else {
    SetPosition(position);
  }
}

TScrollCode TlkScrollBar::ScrollByArea(TlkScrollBarArea AArea) {
  switch (AArea) {
    case sbaTopLeftArrow:
      return scLineUp;
    case sbaBottomRightArrow:
      return scLineDown;
    case sbaPageBefore:
      return scPageUp;
    case sbaPageAfter:
      return scPageDown;
    default:
      return scTrack;
  }
}

bool TlkScrollBar::IsRepeatArea(TlkScrollBarArea AArea) {
  return AArea == sbaTopLeftArrow || AArea == sbaBottomRightArrow || AArea == sbaPageBefore ||
         AArea == sbaPageAfter;
}

TlkScrollBarArea TlkScrollBar::AreaAtPoint(const TPoint& P) const {
  const TRect client = const_cast<TlkScrollBar*>(this)->ClientRect();
  if (!PtInRect(&client, P)) return sbaNone;
  const TlkScrollBarViewInfo& vi = *FViewInfo;
  if (PtInRect(&vi.TopLeftArrowRect(), P)) return sbaTopLeftArrow;
  if (PtInRect(&vi.BottomRightArrowRect(), P)) return sbaBottomRightArrow;
  if (IsRectEmpty(&vi.ThumbRect())) return sbaNone;
  if (PtInRect(&vi.ThumbRect(), P)) return sbaThumb;
  if (PtInRect(&vi.PageBeforeRect(), P)) return sbaPageBefore;
  if (PtInRect(&vi.PageAfterRect(), P)) return sbaPageAfter;
  return sbaNone;
}

TlkPartDrawState TlkScrollBar::AreaState(TlkScrollBarArea AArea) const {
  if (!Enabled()) return pdsDisabled;
  if (AArea == sbaThumb && !Painter()->ButtonsHotTrack()) return pdsNormal;
  if (FPressedArea != sbaNone) return AArea == FPressedArea && AArea == FHotArea ? pdsPressed : pdsNormal;
  if (AArea == FHotArea && !ComponentState().Contains(csDesigning)) return pdsHot;
  return pdsNormal;
}

int TlkScrollBar::PositionFromThumb() const {
  const int free = FViewInfo->TrackLength() - FViewInfo->ThumbLength();
  if (free <= 0) return FPosition;
  if (FPressedArea == sbaThumb &&
      FViewInfo->ThumbStart() == (Horizontal() ? FSavedThumbTopLeft.x : FSavedThumbTopLeft.y))
    return FSavedPosition;
  // Several positions share a thumb place when the track is shorter than
  // the range: a thumb where the position puts it stands for that one.
  int start = 0;
  int length = 0;
  if (FViewInfo->ThumbPlace(start, length) && start == FViewInfo->ThumbStart()) return FPosition;
  std::int64_t range = static_cast<std::int64_t>(FMax) - FMin;
  if (FPageSize > 0) range -= FPageSize - 1;
  return narrow(FMin + static_cast<std::int64_t>(
                           MulDiv(narrow(range), FViewInfo->ThumbStart() - FViewInfo->TrackStart(), free)));
}

void TlkScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const TRect before = BoundsRect();
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  const TRect after = BoundsRect();
  if (EqualRect(&before, &after) || Width() <= 0 || Height() <= 0 || !FViewInfo) return;
  FBitmap->SetSize(Width(), Height());
  FViewInfo->CalculateRects();
}

// ---------------------------------------------------------------------------
// Painting

void TlkScrollBar::DrawPart(TlkCanvas* ACanvas, const TRect& R, TlkScrollBarArea AArea, TlkPartDrawState AState) {
  Painter()->DrawScrollBarPart(ACanvas, Horizontal(), R, AArea, AState);
}

void TlkScrollBar::DrawParts(TlkCanvas* ACanvas) {
  const TlkScrollBarViewInfo& vi = *FViewInfo;
  if (IsRectEmpty(&vi.ThumbRect()))
    DrawPart(ACanvas, ClientRect(), sbaPageBefore, pdsNormal);
  else
    DrawPart(ACanvas, vi.ThumbRect(), sbaThumb, AreaState(sbaThumb));
  DrawPart(ACanvas, vi.TopLeftArrowRect(), sbaTopLeftArrow, AreaState(sbaTopLeftArrow));
  DrawPart(ACanvas, vi.BottomRightArrowRect(), sbaBottomRightArrow, AreaState(sbaBottomRightArrow));
  if (!IsRectEmpty(&vi.PageBeforeRect())) DrawPart(ACanvas, vi.PageBeforeRect(), sbaPageBefore, AreaState(sbaPageBefore));
  if (!IsRectEmpty(&vi.PageAfterRect())) DrawPart(ACanvas, vi.PageAfterRect(), sbaPageAfter, AreaState(sbaPageAfter));
}

void TlkScrollBar::Paint() {
  DrawParts(FBitmapCanvas);
  BitBlt(Canvas()->Handle(), 0, 0, FBitmap->Width(), FBitmap->Height(), FBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TlkScrollBar::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

// ---------------------------------------------------------------------------
// Changes from outside

void TlkScrollBar::LookAndFeelChanged() {
  FViewInfo->ReadMinThumbSize();
  FViewInfo->CalculateRects();
  Invalidate();
}

void TlkScrollBar::ThemeChanged() {
  FViewInfo->ReadMinThumbSize();
  FViewInfo->CalculateRects();
  BuildScrollBarPatternBitmaps();
  Invalidate();
  if (Parent()) Parent()->Realign();
}

void TlkScrollBar::CMSysColorChange(TMessage& Message) {
  BuildScrollBarPatternBitmaps();
  inherited::CMSysColorChange(Message);
}

void TlkScrollBar::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  FViewInfo->CalculateRects();
  if (!Enabled()) EndPress();
  Invalidate();
}

void TlkScrollBar::CMVisibleChanged(TMessage& Message) {
  if (!Visible()) EndPress();
  inherited::CMVisibleChanged(Message);
}

void TlkScrollBar::WMCancelMode(TMessage& Message) {
  EndPress();
  inherited::WMCancelMode(Message);
}

void TlkScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: {
      // Codes the scroll bar does not know are not scroll steps.
      const WORD code = LOWORD(Message.WParam);
      if (code <= scEndScroll) DoScroll(static_cast<TScrollCode>(code));
      Message.Result = 0;
      return;
    }
    case CN_CTLCOLORSCROLLBAR:
      BuildScrollBarPatternBitmaps();
      DefaultHandler(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------
// The mouse

bool TlkScrollBar::HoverRepaints() const { return Painter()->ButtonsHotTrack() || IsRepeatArea(FPressedArea); }

void TlkScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TlkScrollBarArea area = AreaAtPoint({X, Y});
  if (area == sbaNone) return;
  if (area == sbaThumb) {
    FDownPoint = {X, Y};
    FSavedPosition = FPosition;
    FSavedThumbTopLeft = {FViewInfo->ThumbRect().left, FViewInfo->ThumbRect().top};
    DoScroll(scTrack);
  }
  FPressedArea = area;
  FHotArea = area;
  if (IsRepeatArea(area)) {
    DoScroll(ScrollByArea(area));
    FRepeatTimer->SetInterval(kFirstRepeatDelay);
    FRepeatTimer->SetEnabled(true);
  }
  Repaint();
}

void TlkScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  const TPoint p{X, Y};
  if (FPressedArea != sbaThumb) {
    const TlkScrollBarArea area = AreaAtPoint(p);
    if (FPressedArea != sbaNone) FRepeatTimer->SetEnabled(area == FPressedArea);
    if (area != FHotArea) {
      FHotArea = area;
      if (Painter()->ButtonsHotTrack()) Repaint();
    }
    return;
  }
  TRect tracking = ClientRect();
  if (Horizontal())
    InflateRect(&tracking, kTrackMarginAlong, kTrackMarginAcross);
  else
    InflateRect(&tracking, kTrackMarginAcross, kTrackMarginAlong);
  if (FUnlimitedTracking || PtInRect(&tracking, p)) {
    // The thumb follows the pointer's distance from the press, so coming
    // back to the press point brings it back too.
    const int delta = Horizontal() ? X - FDownPoint.x : Y - FDownPoint.y;
    const int saved = Horizontal() ? FSavedThumbTopLeft.x : FSavedThumbTopLeft.y;
    const int lowest = FViewInfo->TrackStart();
    const int highest = lowest + FViewInfo->TrackLength() - FViewInfo->ThumbLength();
    const int start = std::clamp(saved + delta, lowest, std::max(lowest, highest));
    if (start == FViewInfo->ThumbStart()) return;
    FViewInfo->MoveThumb(start);
    Repaint();
    const int position = PositionFromThumb();
    if (position != FPosition) {
      FPosition = position;
      DoScroll(scTrack);
    }
    return;
  }
  if (FPosition != FSavedPosition) {
    SetPosition(FSavedPosition);
    DoScroll(scTrack);
  } else if (FViewInfo->ThumbStart() != (Horizontal() ? FSavedThumbTopLeft.x : FSavedThumbTopLeft.y)) {
    // Moved less than a position's worth: the thumb still goes back.
    FViewInfo->CalculateThumbRect();
    Repaint();
  }
}

void TlkScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  EndPress();
  FHotArea = AreaAtPoint({X, Y});
}

void TlkScrollBar::CMMouseEnter(TCMMouseEnter& Message) {
  inherited::CMMouseEnter(Message);
  if (HoverRepaints()) Repaint();
}

void TlkScrollBar::CMMouseLeave(TCMMouseLeave& Message) {
  inherited::CMMouseLeave(Message);
  if (FPressedArea != sbaThumb) FHotArea = sbaNone;
  if (HoverRepaints()) Invalidate();
}

void TlkScrollBar::RepeatTimerTick() {
  if (!MouseCapture() || !IsRepeatArea(FPressedArea)) {
    EndPress();
    return;
  }
  if (FRepeatTimer->Interval() == kFirstRepeatDelay) FRepeatTimer->SetInterval(kRepeatInterval);
  DoScroll(ScrollByArea(FPressedArea));
  POINT cursor{};
  GetCursorPos(&cursor);
  FRepeatTimer->SetEnabled(AreaAtPoint(ScreenToClient(cursor)) == FPressedArea);
}

void TlkScrollBar::EndPress() {
  if (FPressedArea == sbaNone) return;
  if (FPressedArea == sbaThumb) {
    FPosition = PositionFromThumb();
    DoScroll(scPosition);
  }
  FRepeatTimer->SetEnabled(false);
  FPressedArea = sbaNone;
  FHotArea = sbaNone;
  DoScroll(scEndScroll);
  FViewInfo->CalculateThumbRect();
  Invalidate();
}
