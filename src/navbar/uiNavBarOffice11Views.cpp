#include "navbar/uiNavBarOffice11Views.h"

#include <algorithm>

#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/uiOffice11.h"
#include "navbar/uiNavBarConsts.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Rect.h"

// ---------------------------------------------------------------------------
// View 12

// The base constructor and destructor reach only the base's empty resource
// operations, so this class takes and lets go of its set itself.
TuiNavBarOffice11ViewInfo::TuiNavBarOffice11ViewInfo(TuiNavBarPainter* APainter)
    : TuiNavBarExplorerBarViewInfo(APainter) {
  CreateResources();
}

TuiNavBarOffice11ViewInfo::~TuiNavBarOffice11ViewInfo() { ReleaseResources(); }

void TuiNavBarOffice11ViewInfo::CreateResources() {
  if (FHoldsResources) return;
  AddRefOffice11ViewColors();
  FHoldsResources = true;
}

void TuiNavBarOffice11ViewInfo::RefreshResources() { RefreshOffice11ViewColors(); }

void TuiNavBarOffice11ViewInfo::ReleaseResources() {
  if (!FHoldsResources) return;
  FHoldsResources = false;
  ReleaseOffice11ViewColors();
}

bool TuiNavBarOffice11ViewInfo::backgroundSet() {
  return pairSet(TuiNavBarExplorerBarViewInfo::BackgroundBackColor(),
                 TuiNavBarExplorerBarViewInfo::BackgroundBackColor2());
}

TColor TuiNavBarOffice11ViewInfo::BackgroundBackColor() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundBackColor()
                         : Office11ViewColors().Office11BackgroundColor1;
}
TColor TuiNavBarOffice11ViewInfo::BackgroundBackColor2() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundBackColor2()
                         : Office11ViewColors().Office11BackgroundColor2;
}
BYTE TuiNavBarOffice11ViewInfo::BackgroundAlphaBlending() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11ViewInfo::BackgroundAlphaBlending2() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11ViewInfo::BackgroundGradientMode() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundGradientMode() : gmVertical;
}

void TuiNavBarOffice11ViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}

void TuiNavBarOffice11ViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}

void TuiNavBarOffice11ViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
  AStyle->Font()->SetColor(clNone);
  AStyle->Font()->SetSize(10);
  addFontStyle(AStyle, fsBold);
}

void TuiNavBarOffice11ViewInfo::AssignDefaultGroupHeaderActiveStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(6));
}

void TuiNavBarOffice11ViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Font()->SetColor(clNone);
  AStyle->SetHAlignment(haCenter);
}

bool TuiNavBarOffice11GroupViewInfo::backgroundSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetBackgroundBackColor(), TuiNavBarGroupViewInfo::GetBackgroundBackColor2());
}

bool TuiNavBarOffice11GroupViewInfo::captionSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetCaptionBackColor(), TuiNavBarGroupViewInfo::GetCaptionBackColor2());
}

TColor TuiNavBarOffice11GroupViewInfo::GetBackgroundBackColor() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundBackColor()
                         : Office11ViewColors().Office11GroupBackgroundColor1;
}
TColor TuiNavBarOffice11GroupViewInfo::GetBackgroundBackColor2() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundBackColor2()
                         : Office11ViewColors().Office11GroupBackgroundColor2;
}
BYTE TuiNavBarOffice11GroupViewInfo::GetBackgroundAlphaBlending() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11GroupViewInfo::GetBackgroundAlphaBlending2() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11GroupViewInfo::GetBackgroundGradientMode() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundGradientMode() : gmVertical;
}

TColor TuiNavBarOffice11GroupViewInfo::GetCaptionBackColor() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionBackColor() : Office11ViewColors().Office11CaptionColor1;
}
TColor TuiNavBarOffice11GroupViewInfo::GetCaptionBackColor2() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionBackColor2() : Office11ViewColors().Office11CaptionColor2;
}
BYTE TuiNavBarOffice11GroupViewInfo::GetCaptionAlphaBlending() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11GroupViewInfo::GetCaptionAlphaBlending2() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11GroupViewInfo::GetCaptionGradientMode() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionGradientMode() : gmHorizontal;
}

TColor TuiNavBarOffice11GroupViewInfo::GetBorderColor() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetBorderColor() : Office11ViewColors().Office11GroupBorderColor;
}

TColor TuiNavBarOffice11GroupViewInfo::GetCaptionFontColor() {
  const TColor own = TuiNavBarGroupViewInfo::GetCaptionFontColor();
  return own != clNone ? own : Office11ViewColors().Office11CaptionTextColor;
}

TColor TuiNavBarOffice11LinkViewInfo::GetFontColor() {
  const TColor own = TuiNavBarLinkViewInfo::GetFontColor();
  return own != clNone ? own : Office11ViewColors().Office11LinkTextColor;
}

TuiNavBarViewInfo* TuiNavBarOffice11Painter::CreateViewInfo() { return new TuiNavBarOffice11ViewInfo(this); }
TuiNavBarGroupViewInfo* TuiNavBarOffice11Painter::CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo,
                                                                      TuiNavBarGroup* AGroup, bool AItemsVisible,
                                                                      bool ACaptionVisible) {
  return new TuiNavBarOffice11GroupViewInfo(AViewInfo, AGroup, AItemsVisible, ACaptionVisible);
}
TuiNavBarLinkViewInfo* TuiNavBarOffice11Painter::CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo,
                                                                    TuiNavBarItemLink* ALink, bool AImageVisible,
                                                                    bool ACaptionVisible) {
  return new TuiNavBarOffice11LinkViewInfo(AGroupInfo, ALink, AImageVisible, ACaptionVisible);
}
TuiBaseButtonPainterClass TuiNavBarOffice11Painter::ButtonPainterClass() {
  return TuiNavBarOffice11ButtonPainter::Class();
}
TuiBaseSignPainterClass TuiNavBarOffice11Painter::SignPainterClass() { return TuiNavBarOffice11SignPainter::Class(); }

// ---------------------------------------------------------------------------
// View 13

namespace {

// The entries of the Office 2003 colour set that the pane reads.
enum : int {
  kPaneBorder = 65,
  kPaneButton1 = 66,
  kPaneButton2 = 67,
  kPaneHot1 = 68,
  kPaneHot2 = 69,
  kPanePressed1 = 70,
  kPanePressed2 = 71,
  kPaneHotPressed1 = 72,
  kPaneHotPressed2 = 73,
  kPaneHeader1 = 74,
  kPaneHeader2 = 75,
  kPaneHeaderText = 76,
  kPaneSplitter1 = 77,
  kPaneSplitter2 = 78,
};

TColor paneColor(int AEntry) { return Office11ColorSet()[AEntry]; }

// The button colours of a state: hot-pressed for the hot active group,
// pressed for the active one, hot for a hot one, else the plain buttons'.
TColor paneStateColor(TuiNavBarDrawStates AState, bool ASecond) {
  const bool active = AState.Contains(nbsActive), hot = AState.Contains(nbsHotTracked);
  if (active && hot) return paneColor(ASecond ? kPaneHotPressed2 : kPaneHotPressed1);
  if (active) return paneColor(ASecond ? kPanePressed2 : kPanePressed1);
  if (hot) return paneColor(ASecond ? kPaneHot2 : kPaneHot1);
  return paneColor(ASecond ? kPaneButton2 : kPaneButton1);
}

bool isLiveGroup(TuiCustomNavBar* AControl, TuiNavBarGroup* AGroup) {
  if (!AGroup || AGroup->ComponentState().Contains(csDestroying)) return false;
  for (int i = 0; i < AControl->Groups()->Count(); ++i)
    if (AControl->Groups()->Items(i) == AGroup) return true;
  return false;
}

}  // namespace

TuiNavBarOffice11NavPaneViewInfo::TuiNavBarOffice11NavPaneViewInfo(TuiNavBarPainter* APainter)
    : TuiNavBarOffice3ViewInfo(APainter) {
  FOverflowImages = new TCustomImageList(Control());
  FOverflowMenu = new TPopupMenu(Control());
  CreateResources();
}

TuiNavBarOffice11NavPaneViewInfo::~TuiNavBarOffice11NavPaneViewInfo() {
  ReleaseResources();
  delete FOverflowMenu;
  delete FOverflowImages;
  clearOverflowItems();
}

void TuiNavBarOffice11NavPaneViewInfo::CreateResources() {
  if (FHoldsResources) return;
  AddRefNavBarBitmaps();
  FHoldsResources = true;
}

void TuiNavBarOffice11NavPaneViewInfo::RefreshResources() {
  TuiNavBarOffice3ViewInfo::RefreshResources();
  RefreshNavBarBitmaps();
}

void TuiNavBarOffice11NavPaneViewInfo::ReleaseResources() {
  if (!FHoldsResources) return;
  FHoldsResources = false;
  ReleaseNavBarBitmaps();
}

void TuiNavBarOffice11NavPaneViewInfo::clearOverflowItems() {
  for (TuiNavPaneOverflowItem* item : FOverflowItems) delete item;
  FOverflowItems.clear();
  FOverflowVisibleCount = 0;
}

TuiNavBarGroupViewInfo* TuiNavBarOffice11NavPaneViewInfo::content() {
  if (GroupCount() == 0) return nullptr;
  TuiNavBarGroupViewInfo* first = GroupInfos(0);
  return first->ShowsItems() && !first->ShowsCaption() ? first : nullptr;
}

// --- groups and the overflow panel ---------------------------------------------

void TuiNavBarOffice11NavPaneViewInfo::CreateGroupsInfo() {
  CreateNavPaneGroupViewInfos();
  MoveGroupsToOverflowPanel(Control()->ShowGroupCaptions() ? Control()->GetHiddenGroupCount() : 0, true);
}

void TuiNavBarOffice11NavPaneViewInfo::CreateNavPaneGroupViewInfos() {
  ClearGroups();
  TuiNavBarGroup* active = Control()->GetActiveGroup();
  if (active && active->Visible()) AddGroupViewInfo(active, true, false);
  TuiNavBarGroups* groups = Control()->Groups();
  for (int i = 0; i < groups->Count(); ++i)
    if (groups->Items(i)->Visible()) AddGroupViewInfo(groups->Items(i), false, true);
}

void TuiNavBarOffice11NavPaneViewInfo::MoveGroupsToOverflowPanel(int ACount, bool AClearFirst) {
  if (AClearFirst) clearOverflowItems();
  TuiNavBarGroupViewInfo* kept = content();
  for (int i = GroupCount() - 1; i >= 0; --i) {
    if (static_cast<int>(FOverflowItems.size()) >= ACount) break;
    TuiNavBarGroupViewInfo* info = GroupInfos(i);
    FOverflowItems.insert(FOverflowItems.begin(), new TuiNavPaneOverflowItem{info->SourceGroup()});
    if (info != kept) RemoveGroupViewInfo(info);
  }
}

// --- layout ----------------------------------------------------------------------

void TuiNavBarOffice11NavPaneViewInfo::ClearRects() {
  TuiNavBarOffice3ViewInfo::ClearRects();
  FHeaderBounds = FSplitterBounds = FOverflowPanelBounds = FOverflowSignBounds = TRect{0, 0, 0, 0};
}

void TuiNavBarOffice11NavPaneViewInfo::CalculateHeaderBounds(int X, int Y) {
  FHeaderBounds = TRect{X, Y, ClientWidth() - X, Y + GetHeaderHeight()};
}

void TuiNavBarOffice11NavPaneViewInfo::CalculateSplitterBounds(int X, int Y) {
  FSplitterBounds = TRect{X, Y, ClientWidth() - X, Y + GetSplitterHeight()};
}

void TuiNavBarOffice11NavPaneViewInfo::CalculateOverflowPanelBounds(int X, int Y) {
  const TRect m = GetOverflowPanelMargins();
  FOverflowPanelBounds = TRect{X, Y, ClientWidth() - X, Y + GetOverflowPanelHeight()};
  const TRect& panel = FOverflowPanelBounds;
  FOverflowSignBounds = TRect{panel.right - GetOverflowSignWidth() - m.right, panel.top + m.top + 1,
                              panel.right - m.right, panel.bottom - m.bottom - 1};
  const int areaRight = FOverflowSignBounds.left - GetOverflowSignGap();
  const int width = GetOverflowImageWidth() + 2 * GetOverflowItemPadding();
  const int room = std::max(0, (areaRight - panel.left - m.left - m.right) / width);
  FOverflowVisibleCount = std::min(OverflowItemCount(), room);
  const int imageHeight = GetOverflowImageHeight();
  const int imageTop = panel.top + (lkGetRectHeight(panel) - imageHeight) / 2;
  for (int i = 0; i < OverflowItemCount(); ++i) {
    TuiNavPaneOverflowItem* item = FOverflowItems[static_cast<size_t>(i)];
    if (i >= FOverflowVisibleCount) {
      item->ButtonBounds = item->ImageBounds = TRect{0, 0, 0, 0};
      continue;
    }
    const int left = areaRight - m.right - width * FOverflowVisibleCount + width * i;
    item->ButtonBounds = TRect{left, panel.top + m.top + 1, left + width, panel.bottom - m.bottom - 1};
    item->ImageBounds = TRect{left + GetOverflowItemPadding(), imageTop, left + width - GetOverflowItemPadding(),
                              imageTop + imageHeight};
  }
}

void TuiNavBarOffice11NavPaneViewInfo::CalculateBounds() {
  ClearRects();
  const int space = std::max(0, Control()->SpaceBetweenGroups()), x = GroupEdgeOffset();
  CalculateHeaderBounds(x, space);
  int y = FHeaderBounds.bottom + space;
  for (int i = 0; i < GroupCount(); ++i) {
    GroupInfos(i)->CalculateBounds(x, y);
    y = GroupInfos(i)->Bounds.bottom + space;
    if (i == 0) {
      CalculateSplitterBounds(x, y);
      y = FSplitterBounds.bottom + space;
    }
  }
  if (GroupCount() == 0) {
    CalculateSplitterBounds(x, y);
    y = FSplitterBounds.bottom + space;
  }
  CalculateOverflowPanelBounds(x, y);
  CalculateScrollButtonsBounds();
  FitActiveGroup();
  CalculateGroupControls();
}

void TuiNavBarOffice11NavPaneViewInfo::moveLowerPartDown(int ADelta) {
  OffsetRect(&FSplitterBounds, 0, ADelta);
  OffsetRect(&FOverflowPanelBounds, 0, ADelta);
  OffsetRect(&FOverflowSignBounds, 0, ADelta);
  for (int i = 0; i < FOverflowVisibleCount; ++i) {
    OffsetRect(&FOverflowItems[static_cast<size_t>(i)]->ButtonBounds, 0, ADelta);
    OffsetRect(&FOverflowItems[static_cast<size_t>(i)]->ImageBounds, 0, ADelta);
  }
}

void TuiNavBarOffice11NavPaneViewInfo::FitActiveGroup() {
  TuiNavBarGroupViewInfo* pane = content();
  if (!pane || pane != ActiveGroupViewInfo()) {
    int shift = ClientHeight() - (FHeaderBounds.bottom + GetOverflowPanelHeight() + GetSplitterHeight());
    if (FSplitterBounds.top + shift < FHeaderBounds.bottom) shift = FHeaderBounds.bottom - FSplitterBounds.top;
    moveLowerPartDown(shift);
    CalculateScrollButtonsBounds();
    return;
  }
  const bool captions = Control()->ShowGroupCaptions();
  int free = ClientHeight() - GetOverflowPanelHeight() - (GroupCount() == 1 ? GetSplitterHeight() : 0) -
             GroupInfos(GroupCount() - 1)->Bounds.bottom;
  const int minHeight = GetActiveGroupMinHeight(), height = lkGetRectHeight(pane->Bounds);
  int deficit = 0;
  if (height + free < minHeight) {
    deficit = minHeight - height - free;
    free = minHeight - height;
  }
  int hide = captions ? Control()->GetHiddenGroupCount() : 0;
  if (!captions) {
    hide = GroupCount() - 1;
  } else if (deficit > 0) {
    for (int i = GroupCount() - 1; i >= 1 && deficit > 0; --i) {
      deficit -= lkGetRectHeight(GroupInfos(i)->Bounds);
      ++hide;
    }
  }
  free -= deficit;
  MoveGroupsToOverflowPanel(hide, false);
  const int top = GroupCount() == 1 || !captions ? FSplitterBounds.bottom : GroupInfos(GroupCount() - 1)->Bounds.bottom;
  CalculateOverflowPanelBounds(GroupInfos(GroupCount() - 1)->Bounds.left, top);
  pane->StretchBounds(0, free);
  for (int i = 1; i < GroupCount(); ++i) GroupInfos(i)->OffsetBounds(0, free);
  moveLowerPartDown(free);
  CalculateScrollButtonsBounds();
}

int TuiNavBarOffice11NavPaneViewInfo::GetHeaderHeight() {
  return NavigationPaneHeaderHeightAddon() + GetFontItemHeight(NavigationPaneHeaderFont());
}

int TuiNavBarOffice11NavPaneViewInfo::GetOverflowPanelHeight() {
  const TRect m = GetOverflowPanelMargins();
  return GetOverflowImageHeight() + GetOverflowPanelHeightAddition() + m.top + m.bottom;
}

int TuiNavBarOffice11NavPaneViewInfo::GetOverflowImageHeight() {
  return Control()->NavigationPaneOverflowPanelUseSmallImages() ? SmallImageHeight() : LargeImageHeight();
}

int TuiNavBarOffice11NavPaneViewInfo::GetOverflowImageWidth() {
  return Control()->NavigationPaneOverflowPanelUseSmallImages() ? SmallImageWidth() : LargeImageWidth();
}

TCustomImageList* TuiNavBarOffice11NavPaneViewInfo::GetOverflowImages() {
  return Control()->NavigationPaneOverflowPanelUseSmallImages() ? Control()->SmallImages() : Control()->LargeImages();
}

int TuiNavBarOffice11NavPaneViewInfo::GetOverflowImageIndex(TuiNavBarGroup* AGroup) {
  return Control()->NavigationPaneOverflowPanelUseSmallImages() ? AGroup->SmallImageIndex()
                                                                 : AGroup->LargeImageIndex();
}

// --- hit tests -------------------------------------------------------------------

namespace {
bool inRect(const TRect& R, const TPoint& P) { return PtInRect(&R, P) != 0; }
}  // namespace

bool TuiNavBarOffice11NavPaneViewInfo::IsPtNavigationPaneHeader(const TPoint& P) { return inRect(FHeaderBounds, P); }
bool TuiNavBarOffice11NavPaneViewInfo::IsPtNavigationPaneSplitter(const TPoint& P) {
  return inRect(FSplitterBounds, P);
}
bool TuiNavBarOffice11NavPaneViewInfo::IsPtNavigationPaneOverflowPanel(const TPoint& P) {
  return inRect(FOverflowPanelBounds, P);
}
bool TuiNavBarOffice11NavPaneViewInfo::IsPtNavigationPaneOverflowPanelSign(const TPoint& P) {
  return inRect(FOverflowSignBounds, P);
}

int TuiNavBarOffice11NavPaneViewInfo::GetNavigationPaneOverflowPanelItemIndexAtPos(const TPoint& P) {
  for (int i = 0; i < FOverflowVisibleCount; ++i)
    if (inRect(FOverflowItems[static_cast<size_t>(i)]->ButtonBounds, P)) return i;
  return -1;
}

TuiNavBarGroup* TuiNavBarOffice11NavPaneViewInfo::GetNavigationPaneOverflowPanelGroupAtPos(const TPoint& P) {
  const int index = GetNavigationPaneOverflowPanelItemIndexAtPos(P);
  if (index == -1) return nullptr;
  TuiNavBarGroup* group = FOverflowItems[static_cast<size_t>(index)]->Group;
  return group->ComponentState().Contains(csDestroying) ? nullptr : group;
}

bool TuiNavBarOffice11NavPaneViewInfo::IsSplitterDraggedDown(const TPoint& P) {
  return GroupCount() >= 2 &&
         P.y > FSplitterBounds.top + GetSplitterHeight() / 2 + lkGetRectHeight(GroupInfos(1)->Bounds);
}

bool TuiNavBarOffice11NavPaneViewInfo::IsSplitterDraggedUp(const TPoint& P) {
  const int middle = FSplitterBounds.top + GetSplitterHeight() / 2;
  if (GroupCount() < 2) return P.y < middle - 20;
  return P.y < middle - lkGetRectHeight(GroupInfos(1)->Bounds);
}

TuiNavBarGroupViewInfo* TuiNavBarOffice11NavPaneViewInfo::GetGroupViewInfoAtItemsPos(const TPoint& P) {
  // While a caption is pressed or a group dragged, the content is no
  // target of its own.
  const bool groupHeld = Control()->PressedGroup() || (Control()->IsDragging() && Control()->SourceGroup());
  TuiNavBarGroupViewInfo* pane = content();
  for (int i = 0; i < GroupCount(); ++i) {
    TuiNavBarGroupViewInfo* info = GroupInfos(i);
    if (groupHeld && info == pane) continue;
    if (inRect(info->Bounds, P) && !inRect(info->HeaderBounds, P)) return info;
  }
  return nullptr;
}

int TuiNavBarOffice11NavPaneViewInfo::GetDropTargetInfo(const TPoint& P, TuiNavBarGroupViewInfo*& AGroupInfo,
                                                        TuiNavBarLinkViewInfo*& ALinkAfter,
                                                        TuiNavBarLinkViewInfo*& ALinkBefore) {
  const int result = TuiNavBarOffice3ViewInfo::GetDropTargetInfo(P, AGroupInfo, ALinkAfter, ALinkBefore);
  TuiNavBarGroupViewInfo* pane = content();
  // The active group's own button stands for its content: a drop there
  // goes before the content's first link.
  if (AGroupInfo && pane && AGroupInfo != pane && AGroupInfo->SourceGroup() == pane->SourceGroup()) {
    AGroupInfo = pane;
    ALinkBefore = nullptr;
    ALinkAfter = pane->LinkCount() > 0 ? pane->LinkInfos(0) : nullptr;
    return 0;
  }
  return result;
}

// --- hints -------------------------------------------------------------------------

std::string TuiNavBarOffice11NavPaneViewInfo::GetHintText() {
  if (IsPtNavigationPaneOverflowPanel(Control()->HotPoint())) return GetOverflowHintText();
  return TuiNavBarOffice3ViewInfo::GetHintText();
}

TRect TuiNavBarOffice11NavPaneViewInfo::CalculateHintRect() {
  if (IsPtNavigationPaneOverflowPanel(Control()->HotPoint())) return GetOverflowHintRect();
  return TuiNavBarOffice3ViewInfo::CalculateHintRect();
}

std::string TuiNavBarOffice11NavPaneViewInfo::GetOverflowHintText() {
  const TPoint p = Control()->HotPoint();
  if (IsPtNavigationPaneOverflowPanelSign(p)) return lkLoadResString(&suiConfigureButtons);
  // Between the buttons there is no group to name.
  const TuiNavBarGroup* group = GetNavigationPaneOverflowPanelGroupAtPos(p);
  return group ? group->Caption() : std::string();
}

TRect TuiNavBarOffice11NavPaneViewInfo::GetOverflowHintRect() {
  TRect r = MeasureHint(CurrentHint());
  if (Control()->OnCalcNavigationPaneOverflowPanelHintRect)
    Control()->OnCalcNavigationPaneOverflowPanelHintRect(
        Control(), GetNavigationPaneOverflowPanelGroupAtPos(Control()->HotPoint()), this, r);
  return HintRectAtHotPoint(r);
}

// --- colours -------------------------------------------------------------------------

TColor TuiNavBarOffice11NavPaneViewInfo::ButtonBorderColor() { return paneColor(kPaneBorder); }

bool TuiNavBarOffice11NavPaneViewInfo::scrollButtonSet(bool ATop) {
  return ATop ? pairSet(TuiNavBarOffice3ViewInfo::TopScrollButtonBackColor(),
                        TuiNavBarOffice3ViewInfo::TopScrollButtonBackColor2())
              : pairSet(TuiNavBarOffice3ViewInfo::BottomScrollButtonBackColor(),
                        TuiNavBarOffice3ViewInfo::BottomScrollButtonBackColor2());
}

TColor TuiNavBarOffice11NavPaneViewInfo::scrollButtonColor(bool ATop, bool ASecond) {
  const TuiNavBarDrawStates state = ATop ? TopScrollButtonState() : BottomScrollButtonState();
  if (state.Contains(nbsPressed)) return paneColor(ASecond ? kPanePressed2 : kPanePressed1);
  if (state.Contains(nbsActive)) return paneColor(ASecond ? kPanePressed1 : kPanePressed2);
  if (state.Contains(nbsHotTracked)) return paneColor(ASecond ? kPaneHot2 : kPaneHot1);
  return paneColor(ASecond ? kPaneButton2 : kPaneButton1);
}

TColor TuiNavBarOffice11NavPaneViewInfo::TopScrollButtonBackColor() {
  return scrollButtonSet(true) ? TuiNavBarOffice3ViewInfo::TopScrollButtonBackColor() : scrollButtonColor(true, false);
}
TColor TuiNavBarOffice11NavPaneViewInfo::TopScrollButtonBackColor2() {
  return scrollButtonSet(true) ? TuiNavBarOffice3ViewInfo::TopScrollButtonBackColor2() : scrollButtonColor(true, true);
}
BYTE TuiNavBarOffice11NavPaneViewInfo::TopScrollButtonAlphaBlending() {
  return scrollButtonSet(true) ? TuiNavBarOffice3ViewInfo::TopScrollButtonAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11NavPaneViewInfo::TopScrollButtonAlphaBlending2() {
  return scrollButtonSet(true) ? TuiNavBarOffice3ViewInfo::TopScrollButtonAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11NavPaneViewInfo::TopScrollButtonGradientMode() {
  return scrollButtonSet(true) ? TuiNavBarOffice3ViewInfo::TopScrollButtonGradientMode() : gmVertical;
}
TColor TuiNavBarOffice11NavPaneViewInfo::BottomScrollButtonBackColor() {
  return scrollButtonSet(false) ? TuiNavBarOffice3ViewInfo::BottomScrollButtonBackColor()
                                : scrollButtonColor(false, false);
}
TColor TuiNavBarOffice11NavPaneViewInfo::BottomScrollButtonBackColor2() {
  return scrollButtonSet(false) ? TuiNavBarOffice3ViewInfo::BottomScrollButtonBackColor2()
                                : scrollButtonColor(false, true);
}
BYTE TuiNavBarOffice11NavPaneViewInfo::BottomScrollButtonAlphaBlending() {
  return scrollButtonSet(false) ? TuiNavBarOffice3ViewInfo::BottomScrollButtonAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11NavPaneViewInfo::BottomScrollButtonAlphaBlending2() {
  return scrollButtonSet(false) ? TuiNavBarOffice3ViewInfo::BottomScrollButtonAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11NavPaneViewInfo::BottomScrollButtonGradientMode() {
  return scrollButtonSet(false) ? TuiNavBarOffice3ViewInfo::BottomScrollButtonGradientMode() : gmVertical;
}

bool TuiNavBarOffice11NavPaneViewInfo::headerSet() {
  return pairSet(TuiNavBarOffice3ViewInfo::NavigationPaneHeaderBackColor(),
                 TuiNavBarOffice3ViewInfo::NavigationPaneHeaderBackColor2());
}
TColor TuiNavBarOffice11NavPaneViewInfo::NavigationPaneHeaderBackColor() {
  return headerSet() ? TuiNavBarOffice3ViewInfo::NavigationPaneHeaderBackColor() : paneColor(kPaneHeader1);
}
TColor TuiNavBarOffice11NavPaneViewInfo::NavigationPaneHeaderBackColor2() {
  return headerSet() ? TuiNavBarOffice3ViewInfo::NavigationPaneHeaderBackColor2() : paneColor(kPaneHeader2);
}
BYTE TuiNavBarOffice11NavPaneViewInfo::NavigationPaneHeaderAlphaBlending() {
  return headerSet() ? TuiNavBarOffice3ViewInfo::NavigationPaneHeaderAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11NavPaneViewInfo::NavigationPaneHeaderAlphaBlending2() {
  return headerSet() ? TuiNavBarOffice3ViewInfo::NavigationPaneHeaderAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11NavPaneViewInfo::NavigationPaneHeaderGradientMode() {
  return headerSet() ? TuiNavBarOffice3ViewInfo::NavigationPaneHeaderGradientMode() : gmVertical;
}
TColor TuiNavBarOffice11NavPaneViewInfo::NavigationPaneHeaderFontColor() {
  const TColor own = TuiNavBarOffice3ViewInfo::NavigationPaneHeaderFontColor();
  return own != clNone ? own : paneColor(kPaneHeaderText);
}

bool TuiNavBarOffice11NavPaneViewInfo::overflowSet() {
  return pairSet(TuiNavBarOffice3ViewInfo::OverflowPanelBackColor(),
                 TuiNavBarOffice3ViewInfo::OverflowPanelBackColor2());
}
TColor TuiNavBarOffice11NavPaneViewInfo::OverflowPanelBackColor() {
  return overflowSet() ? TuiNavBarOffice3ViewInfo::OverflowPanelBackColor() : paneColor(kPaneButton1);
}
TColor TuiNavBarOffice11NavPaneViewInfo::OverflowPanelBackColor2() {
  return overflowSet() ? TuiNavBarOffice3ViewInfo::OverflowPanelBackColor2() : paneColor(kPaneButton2);
}
BYTE TuiNavBarOffice11NavPaneViewInfo::OverflowPanelAlphaBlending() {
  return overflowSet() ? TuiNavBarOffice3ViewInfo::OverflowPanelAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11NavPaneViewInfo::OverflowPanelAlphaBlending2() {
  return overflowSet() ? TuiNavBarOffice3ViewInfo::OverflowPanelAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11NavPaneViewInfo::OverflowPanelGradientMode() {
  return overflowSet() ? TuiNavBarOffice3ViewInfo::OverflowPanelGradientMode() : gmVertical;
}

// With a known XP colour scheme the splitter wears the header's colours.
TColor TuiNavBarOffice11NavPaneViewInfo::SplitterBackColor() {
  return GetXPColorScheme() != 0 ? NavigationPaneHeaderBackColor() : paneColor(kPaneSplitter1);
}
TColor TuiNavBarOffice11NavPaneViewInfo::SplitterBackColor2() {
  return GetXPColorScheme() != 0 ? NavigationPaneHeaderBackColor2() : paneColor(kPaneSplitter2);
}
TuiBarStyleGradientMode TuiNavBarOffice11NavPaneViewInfo::SplitterGradientMode() {
  return GetXPColorScheme() != 0 ? NavigationPaneHeaderGradientMode() : gmVertical;
}

void TuiNavBarOffice11NavPaneViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clWindow);
}
void TuiNavBarOffice11NavPaneViewInfo::AssignDefaultButtonStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}
void TuiNavBarOffice11NavPaneViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clWindow);
}
void TuiNavBarOffice11NavPaneViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
  addFontStyle(AStyle, fsBold);
}
void TuiNavBarOffice11NavPaneViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Font()->SetColor(clWindowText);
  AStyle->SetHAlignment(haCenter);
}
void TuiNavBarOffice11NavPaneViewInfo::AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(13));
  AStyle->Font()->SetColor(clGrayText);
}
void TuiNavBarOffice11NavPaneViewInfo::AssignDefaultNavigationPaneHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
  AStyle->Font()->SetColor(clNone);
  AStyle->Font()->SetName("Arial");
  AStyle->Font()->SetSize(11);
  addFontStyle(AStyle, fsBold);
}

bool TuiNavBarOffice11NavPaneGroupViewInfo::captionSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetCaptionBackColor(), TuiNavBarGroupViewInfo::GetCaptionBackColor2());
}
TColor TuiNavBarOffice11NavPaneGroupViewInfo::GetCaptionBackColor() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionBackColor() : paneStateColor(GetState(), false);
}
TColor TuiNavBarOffice11NavPaneGroupViewInfo::GetCaptionBackColor2() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionBackColor2() : paneStateColor(GetState(), true);
}
BYTE TuiNavBarOffice11NavPaneGroupViewInfo::GetCaptionAlphaBlending() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11NavPaneGroupViewInfo::GetCaptionAlphaBlending2() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11NavPaneGroupViewInfo::GetCaptionGradientMode() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionGradientMode() : gmVertical;
}

// --- the customization menu -----------------------------------------------------------

int TuiNavBarOffice11NavPaneViewInfo::MenuImageBase() const {
  return Control()->SmallImages() ? Control()->SmallImages()->Count() : 0;
}

int TuiNavBarOffice11NavPaneViewInfo::menuImageOf(TuiNavBarGroup* AGroup) {
  const int index = AGroup->SmallImageIndex();
  return IsNavBarImageAssigned(Control()->SmallImages(), index) ? index : MenuImageBase() + 2;
}

void TuiNavBarOffice11NavPaneViewInfo::addMenuItem(TMenuItem* AParent, const std::string& ACaption, int AImageIndex,
                                                   bool AEnabled, bool AChecked, TNotifyEvent AOnClick) {
  TMenuItem* item = new TMenuItem(FOverflowMenu);
  item->SetCaption(ACaption);
  item->SetImageIndex(AImageIndex);
  item->SetEnabled(AEnabled);
  item->SetChecked(AChecked);
  item->OnClick = std::move(AOnClick);
  const int imageHeight = SmallImageHeight(), margin = GetMenuImageMargin();
  if (!item->IsLine())
    item->OnMeasureItem = [imageHeight, margin](TObject*, TCanvas*, int&, int& AHeight) {
      AHeight = 2 * margin + imageHeight;
    };
  item->OnAdvancedDrawItem = [this, item](TObject*, TCanvas* ACanvas, TRect R, TOwnerDrawState AState) {
    auto* painter = dynamic_cast<TuiNavBarOffice11NavPanePainter*>(OwnerPainter());
    if (!painter) return;
    int flags = 0;
    if (AState.Contains(odSelected)) flags |= nbMenuItemSelected;
    if (item->Checked()) flags |= nbMenuItemChecked;
    if (!item->Enabled()) flags |= nbMenuItemDisabled;
    TCustomImageList* own = Control()->SmallImages();
    if (IsNavBarImageAssigned(own, item->ImageIndex()))
      painter->DrawMenuItem(ACanvas, R, flags, item->Caption(), item->ImageIndex(), own);
    else
      painter->DrawMenuItem(ACanvas, R, flags, item->Caption(), item->ImageIndex() - MenuImageBase(),
                            FOverflowImages);
  };
  AParent->Add(item);
}

void TuiNavBarOffice11NavPaneViewInfo::BuildCustomizationMenu() {
  TuiCustomNavBar* bar = Control();
  delete FOverflowImages;
  FOverflowImages = new TCustomImageList(bar);
  if (TCustomImageList* small = bar->SmallImages()) {
    FOverflowImages->SetWidth(small->Width());
    FOverflowImages->SetHeight(small->Height());
  }
  const int w = FOverflowImages->Width(), h = FOverflowImages->Height(), side = std::min(w, h);
  const TColor back = FOverflowImages->BkColor() == clNone ? static_cast<TColor>(RGB(255, 0, 255))
                                                           : FOverflowImages->BkColor();
  for (TuiNavPaneBitmap role : {npbArrowUp, npbArrowDown, npbDefaultSmall}) {
    TBitmap image;
    image.SetSize(w, h);
    image.Canvas()->Brush()->SetColor(back);
    image.Canvas()->FillRect(TRect{0, 0, w, h});
    if (TBitmap* source = NavPaneBitmap(role)) {
      const TRect square{(w - side) / 2, (h - side) / 2, (w - side) / 2 + side, (h - side) / 2 + side};
      image.Canvas()->StretchDraw(square, source);
    }
    FOverflowImages->AddMasked(&image, back);
  }
  FOverflowMenu->Items()->Clear();
  FOverflowMenu->SetImages(FOverflowImages);
  FOverflowMenu->SetOwnerDraw(true);
  const int base = MenuImageBase();
  const int visible = bar->GetVisibleGroupCount(), hidden = bar->GetHiddenGroupCount();
  const bool captions = bar->ShowGroupCaptions();
  TMenuItem* root = FOverflowMenu->Items();
  addMenuItem(root, lkLoadResString(&suiShowMoreButtons), base, captions && hidden > 0, false, [bar](TObject*) {
    const int more = bar->NavigationPaneMaxVisibleGroups() + 1;
    bar->SetNavigationPaneMaxVisibleGroups(more == bar->GetVisibleGroupCount() ? -1 : more);
  });
  addMenuItem(root, lkLoadResString(&suiShowFewerButtons), base + 1, captions && hidden < visible, false,
              [bar](TObject*) {
                const int count = bar->GetVisibleGroupCount(), limit = bar->NavigationPaneMaxVisibleGroups();
                bar->SetNavigationPaneMaxVisibleGroups(limit == -1 || limit > count ? count - 1 : limit - 1);
              });
  TuiNavBarGroups* groups = bar->Groups();
  addMenuItem(root, lkLoadResString(&suiAddOrRemoveButtons), -1, groups->Count() > 0, false, nullptr);
  TMenuItem* buttons = root->Items(root->Count() - 1);
  for (int i = 0; i < groups->Count(); ++i) {
    TuiNavBarGroup* group = groups->Items(i);
    addMenuItem(buttons, group->Caption(), menuImageOf(group), true, group->Visible(), nullptr);
    TMenuItem* item = buttons->Items(i);
    item->SetAutoCheck(true);
    item->OnClick = [bar, item](TObject*) {
      const int at = item->MenuIndex();
      if (at >= 0 && at < bar->Groups()->Count()) bar->Groups()->Items(at)->SetVisible(item->Checked());
    };
  }
  addMenuItem(root, cLineCaption, -1, true, false, nullptr);
  TuiNavBarGroup* active = bar->GetActiveGroup();
  for (int i = FOverflowVisibleCount; i < OverflowItemCount(); ++i) {
    TuiNavBarGroup* group = FOverflowItems[static_cast<size_t>(i)]->Group;
    addMenuItem(root, group->Caption(), menuImageOf(group), true, group == active, [bar, group](TObject*) {
      // The group may have gone while the menu was open.
      if (isLiveGroup(bar, group)) bar->SetActiveGroup(group);
    });
  }
}

void TuiNavBarOffice11NavPaneViewInfo::ShowPopupMenu(int X, int Y) {
  BuildCustomizationMenu();
  FOverflowMenu->Popup(X, Y);
}

// --- painter -----------------------------------------------------------------------

TuiNavBarViewInfo* TuiNavBarOffice11NavPanePainter::CreateViewInfo() {
  return new TuiNavBarOffice11NavPaneViewInfo(this);
}
TuiNavBarGroupViewInfo* TuiNavBarOffice11NavPanePainter::CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo,
                                                                             TuiNavBarGroup* AGroup,
                                                                             bool AItemsVisible,
                                                                             bool ACaptionVisible) {
  return new TuiNavBarOffice11NavPaneGroupViewInfo(AViewInfo, AGroup, AItemsVisible, ACaptionVisible);
}
TuiBaseButtonPainterClass TuiNavBarOffice11NavPanePainter::ButtonPainterClass() {
  return TuiNavBarOffice11NavPaneButtonPainter::Class();
}

TuiNavBarOffice11NavPaneViewInfo* TuiNavBarOffice11NavPanePainter::PaneInfo() const {
  return static_cast<TuiNavBarOffice11NavPaneViewInfo*>(ViewInfo());
}

void TuiNavBarOffice11NavPanePainter::DrawNavBarControl() {
  TuiNavBarOffice3Painter::DrawNavBarControl();
  DrawHeader();
  DrawOverflowPanel();
  DrawSplitter();
  DrawPaneBorder();
}

void TuiNavBarOffice11NavPanePainter::DrawPaneBorder() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  const TRect client{0, 0, info->ClientWidth(), info->ClientHeight()};
  HBRUSH brush = CreateSolidBrush(ColorToRGB(info->ButtonBorderColor()));
  FrameRect(DC(), &client, brush);
  DeleteObject(brush);
}

void TuiNavBarOffice11NavPanePainter::DrawHeader() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  bool handled = false;
  if (NavBar()->OnCustomDrawNavigationPaneHeader) NavBar()->OnCustomDrawNavigationPaneHeader(NavBar(), Canvas(), info, handled);
  if (handled) return;
  TRect r = info->HeaderBounds();
  r.top += 1;
  BackgroundPainterClass()->DrawBackground(Canvas(), r, info->NavigationPaneHeaderImage(), false, clNone,
                                           info->NavigationPaneHeaderBackColor(),
                                           info->NavigationPaneHeaderBackColor2(),
                                           info->NavigationPaneHeaderAlphaBlending(),
                                           info->NavigationPaneHeaderAlphaBlending2(),
                                           info->NavigationPaneHeaderGradientMode());
  DrawHeaderText();
}

void TuiNavBarOffice11NavPanePainter::DrawHeaderText() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  TuiNavBarGroup* active = NavBar()->GetActiveGroup();
  if (!active || !active->Visible()) return;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(info->NavigationPaneHeaderFont());
  canvas->Font()->SetColor(info->NavigationPaneHeaderFontColor());
  RECT r = info->HeaderBounds();
  r.left += info->GroupCaptionTextIndent();
  lkDrawText(canvas->Handle(), active->Caption(), r, info->NavigationPaneHeaderDrawTextFlags());
  canvas->Brush()->SetStyle(bsSolid);
}

void TuiNavBarOffice11NavPanePainter::DrawOverflowPanel() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  bool handled = false;
  if (NavBar()->OnCustomDrawNavigationPaneOverflowPanel)
    NavBar()->OnCustomDrawNavigationPaneOverflowPanel(NavBar(), Canvas(), info, handled);
  if (handled) return;
  TuiNavBarOffice11NavPaneGroupButtonPainter::Class()->DrawButton(
      Canvas(), info->OverflowPanelBounds(), info->OverflowPanelImage(), info->OverflowPanelBackColor(),
      info->OverflowPanelBackColor2(), info->OverflowPanelAlphaBlending(), info->OverflowPanelAlphaBlending2(),
      info->OverflowPanelGradientMode(), info->ButtonBorderColor(), TuiNavBarDrawStates{});
  DrawOverflowSign();
  DrawOverflowItems();
}

namespace {

void fillPane(TuiNavBarPainter* APainter, const TRect& R, int AEntry1, int AEntry2) {
  APainter->BackgroundPainterClass()->DrawBackground(APainter->Canvas(), R, nullptr, false, clNone,
                                                     paneColor(AEntry1), paneColor(AEntry2), 255, 255, gmVertical);
}

}  // namespace

void TuiNavBarOffice11NavPanePainter::DrawOverflowSign() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  TBitmap* sign = NavPaneBitmap(npbOverflow);
  const TRect& r = info->OverflowSignBounds();
  if (!sign || r.left <= info->OverflowPanelBounds().left) return;
  if (NavBar()->OverflowSignPressed())
    fillPane(this, r, kPaneHotPressed1, kPaneHotPressed2);
  else if (NavBar()->OverflowSignHotTracked())
    fillPane(this, r, kPaneHot1, kPaneHot2);
  Canvas()->Draw(r.left + (lkGetRectWidth(r) - sign->Width()) / 2, r.top + (lkGetRectHeight(r) - sign->Height()) / 2,
                 sign);
}

void TuiNavBarOffice11NavPanePainter::DrawOverflowItems() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  TuiNavBarGroup* active = NavBar()->GetActiveGroup();
  TCustomImageList* images = info->GetOverflowImages();
  for (int i = 0; i < info->OverflowVisibleCount(); ++i) {
    const TuiNavPaneOverflowItem& item = info->OverflowItems(i);
    const bool hot = i == NavBar()->HotTrackedOverflowItemIndex();
    if (i == NavBar()->PressedOverflowItemIndex() || item.Group == active) {
      if (hot)
        fillPane(this, item.ButtonBounds, kPaneHotPressed1, kPaneHotPressed2);
      else
        fillPane(this, item.ButtonBounds, kPanePressed1, kPanePressed2);
    } else if (hot) {
      fillPane(this, item.ButtonBounds, kPaneHot1, kPaneHot2);
    }
    const int index = info->GetOverflowImageIndex(item.Group);
    if (IsNavBarImageAssigned(images, index)) {
      ImagePainterClass()->DrawImage(Canvas(), images, index, item.ImageBounds, true);
    } else if (TBitmap* standIn = NavPaneBitmap(NavBar()->NavigationPaneOverflowPanelUseSmallImages() ? npbDefaultSmall
                                                                                                   : npbDefaultLarge)) {
      Canvas()->Draw(item.ImageBounds.left, item.ImageBounds.top, standIn);
    }
  }
}

void TuiNavBarOffice11NavPanePainter::DrawHintWindow() {
  if (NavBar()->HotTrackedOverflowItemIndex() != -1 || NavBar()->OverflowSignHotTracked())
    DrawOverflowHint();
  else
    TuiNavBarOffice3Painter::DrawHintWindow();
}

void TuiNavBarOffice11NavPanePainter::DrawOverflowHint() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  const TRect r = NavBar()->HintWindow()->ClientRect();
  // Only a hot button has a group; the sign has none.
  TuiNavBarGroup* group = nullptr;
  const int hot = NavBar()->HotTrackedOverflowItemIndex();
  if (hot >= 0 && hot < info->OverflowVisibleCount()) group = info->OverflowItems(hot).Group;
  bool handled = false;
  if (NavBar()->OnCustomDrawNavigationPaneOverflowPanelHint)
    NavBar()->OnCustomDrawNavigationPaneOverflowPanelHint(NavBar(), HintCanvas(), group, info->CurrentHint(), r,
                                                         handled);
  if (!handled) DrawStandardHint(info->CurrentHint(), r);
}

void TuiNavBarOffice11NavPanePainter::DrawSplitter() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  bool handled = false;
  if (NavBar()->OnCustomDrawNavigationPaneSplitter)
    NavBar()->OnCustomDrawNavigationPaneSplitter(NavBar(), Canvas(), info, handled);
  if (handled) return;
  TRect r = info->SplitterBounds();
  FillRectSolid(DC(), TRect{r.left, r.top, r.right, r.top + 1}, clWhite);
  r.top += 1;
  BackgroundPainterClass()->DrawBackground(Canvas(), r, nullptr, false, clNone, info->SplitterBackColor(),
                                           info->SplitterBackColor2(), info->SplitterAlphaBlending(),
                                           info->SplitterAlphaBlending2(), info->SplitterGradientMode());
  DrawSplitterGrip();
}

void TuiNavBarOffice11NavPanePainter::DrawSplitterGrip() {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  TBitmap* grip = NavPaneBitmap(npbSplitter);
  if (!grip) return;
  const TRect& r = info->SplitterBounds();
  const int x = r.left + (lkGetRectWidth(r) - grip->Width()) / 2, y = r.top + (lkGetRectHeight(r) - grip->Height()) / 2;
  if (info->OverflowPanelBounds().left < x) Canvas()->Draw(x, y, grip);
}

void TuiNavBarOffice11NavPanePainter::DrawGroupCaptionButton(TuiNavBarGroupViewInfo* AGroupInfo) {
  TuiNavBarOffice11NavPaneGroupButtonPainter::Class()->DrawButton(
      Canvas(), AGroupInfo->HeaderBounds, AGroupInfo->GetCaptionImage(), AGroupInfo->GetCaptionBackColor(),
      AGroupInfo->GetCaptionBackColor2(), AGroupInfo->GetCaptionAlphaBlending(), AGroupInfo->GetCaptionAlphaBlending2(),
      AGroupInfo->GetCaptionGradientMode(), PaneInfo()->ButtonBorderColor(), AGroupInfo->GetState());
}

void TuiNavBarOffice11NavPanePainter::DrawMenuItem(TCanvas* ACanvas, TRect R, int AFlags, const std::string& ACaption,
                                                   int AImageIndex, TCustomImageList* AImages) {
  TuiNavBarOffice11NavPaneViewInfo* info = PaneInfo();
  const int margin = info->GetMenuImageMargin();
  const TuiBaseBackgroundPainterClass background = BackgroundPainterClass();
  background->DrawBackground(ACanvas, R, nullptr, false, clNone, clMenu, clMenu, 255, 255, gmVertical);
  TRect column = R;
  column.right = column.left + 2 * margin + info->SmallImageWidth();
  background->DrawBackground(ACanvas, column, nullptr, false, clNone, paneColor(kPaneButton1), paneColor(kPaneButton2),
                             255, 255, gmHorizontal);
  if (ACaption == cLineCaption) {
    const int y = (R.top + R.bottom) / 2;
    const int from = column.right + lkGetRectWidth(column) / 2;
    FillRectSolid(ACanvas->Handle(), TRect{from, y, R.right, y + 1}, ScaleColorByPercent(paneColor(kPaneButton2), 80));
    return;
  }
  const TRect item = lkGrowRect(R, -1, -1, -1, -1);
  TRect imageColumn = column;
  imageColumn.top = item.top;
  imageColumn.bottom = item.bottom;
  imageColumn.left = item.left;
  const TuiBaseButtonPainterClass button = TuiNavBarOffice11NavPaneButtonPainter::Class();
  const TColor border = info->ButtonBorderColor();
  if (AFlags & nbMenuItemSelected) {
    button->DrawButton(ACanvas, item, nullptr, paneColor(kPaneHot1), paneColor(kPaneHot2), 255, 255, gmVertical,
                       border, TuiNavBarDrawStates{});
    if (AFlags & nbMenuItemChecked)
      button->DrawButton(ACanvas, imageColumn, nullptr, paneColor(kPanePressed1), paneColor(kPanePressed2), 255, 255,
                         gmVertical, border, TuiNavBarDrawStates{});
  } else if (AFlags & nbMenuItemChecked) {
    button->DrawButton(ACanvas, imageColumn, nullptr, paneColor(kPaneHot1), paneColor(kPaneHot1), 255, 255, gmVertical,
                       border, TuiNavBarDrawStates{});
  }
  if (IsNavBarImageAssigned(AImages, AImageIndex))
    AImages->Draw(ACanvas, column.left + margin, column.top + margin, AImageIndex, !(AFlags & nbMenuItemDisabled));
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Font()->SetColor((AFlags & nbMenuItemDisabled) ? clGrayText : clMenuText);
  RECT text{column.right + info->GetMenuTextIndent(), R.top, R.right, R.bottom};
  lkDrawText(ACanvas->Handle(), ACaption, text, DT_SINGLELINE | DT_VCENTER);
  ACanvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// The unit

namespace {

void startUp() {
  RegisterView(nbOffice11TaskPaneView, "Office11TaskPaneView", TuiNavBarOffice11Painter::PainterClass());
  RegisterView(nbOffice11NavigationPaneView, "Office11NavigationPaneView",
               TuiNavBarOffice11NavPanePainter::PainterClass());
}

void shutDown() {
  UnregisterView(nbOffice11NavigationPaneView);
  UnregisterView(nbOffice11TaskPaneView);
}

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarUnit, &uiNavBarGraphicsUnit, &uiNavBarViewsFactUnit,
                                                &uiNavBarExplorerViewsUnit, &uiNavBarOfficeViewsUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarOffice11ViewsUnit{"uiNavBarOffice11Views", kUses, &startUp, &shutDown};
