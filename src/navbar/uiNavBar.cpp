#include "navbar/uiNavBar.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/lkGraphics.h"
#include "navbar/uiNavBarConsts.h"
#include "navbar/uiNavBarGraphics.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/ScrollInfo.h"
#include "platform/os/user/Window.h"

namespace {

// The text height of a font on the screen.
int textHeight(TFont* AFont) { return GetFontItemHeight(AFont); }

UINT alignmentFlags(TuiBarStyleHAlignment AHorz, TuiBarStyleVAlignment AVert) {
  UINT flags = 0;
  switch (AHorz) {
    case haCenter: flags |= DT_CENTER; break;
    case haRight: flags |= DT_RIGHT; break;
    default: break;
  }
  switch (AVert) {
    case vaCenter: flags |= DT_VCENTER; break;
    case vaBottom: flags |= DT_BOTTOM; break;
    default: break;
  }
  return flags | DT_SINGLELINE | DT_END_ELLIPSIS;
}

// The short part of a hint: the text before the first "|".
std::string shortHint(const std::string& AHint) {
  const size_t bar = AHint.find('|');
  return bar == std::string::npos ? AHint : AHint.substr(0, bar);
}

bool contains(const TRect& R, const TPoint& P) { return PtInRect(&R, P) != 0; }

// The style that gives a value: the item's when it is assigned and its
// AssignedValues hold the value, else the default style.
TuiBaseNavBarStyle* styleFor(TuiNavBarStyleItem* AItem, TuiNavBarDefaultStyle* ADefault,
                             TuiBarStyleAssignedValue AValue) {
  if (AItem && AItem->Style()->AssignedValues().Contains(AValue)) return AItem->Style();
  return ADefault;
}

}  // namespace

// ---------------------------------------------------------------------------
// Helper-painter bases: nothing drawn.

void TuiBaseImagePainter::DrawImage(TCanvas*, TCustomImageList*, int, TRect, bool) const {}
void TuiBaseSelectionPainter::DrawSelection(TCanvas*, TRect, TColor, TuiNavBarDrawStates) const {}
void TuiBaseBackgroundPainter::DrawBackground(TCanvas*, TRect, TPicture*, bool, TColor, TColor, TColor, BYTE, BYTE,
                                              TuiBarStyleGradientMode) const {}
void TuiBaseGroupBackgroundPainter::DrawBackground(TCanvas*, TRect, TPicture*, TColor, TColor, BYTE, BYTE,
                                                   TuiBarStyleGradientMode) const {}
void TuiBaseGroupBorderPainter::DrawBorder(TCanvas*, TRect, TColor, bool) const {}
void TuiBaseSignPainter::DrawSign(TCanvas*, TRect, TColor, TColor, TColor, TuiNavBarDrawStates) const {}
void TuiBaseHintPainter::DrawHint(TCanvas*, TRect, const std::string&, TPicture*, TColor, TColor, BYTE, BYTE,
                                  TuiBarStyleGradientMode, TFont*) const {}
void TuiBaseButtonPainter::DrawButton(TCanvas*, TRect, TPicture*, TColor, TColor, BYTE, BYTE, TuiBarStyleGradientMode,
                                      TColor, TuiNavBarDrawStates) const {}
void TuiBaseScrollButtonsPainter::DrawBottomButton(TCanvas*, TRect, TuiBaseButtonPainterClass, TColor, TColor, BYTE,
                                                   BYTE, TuiBarStyleGradientMode, TColor, TuiNavBarDrawStates) const {}
void TuiBaseScrollButtonsPainter::DrawTopButton(TCanvas*, TRect, TuiBaseButtonPainterClass, TColor, TColor, BYTE, BYTE,
                                                TuiBarStyleGradientMode, TColor, TuiNavBarDrawStates) const {}
void TuiBaseDropTargetLinkPainter::DrawDropTargetLink(TCanvas*, TPoint, TPoint, TPoint, TPoint, TPoint, TPoint,
                                                      TColor) const {}
void TuiBaseDropTargetGroupPainter::DrawDropTargetGroup(TCanvas*, TRect, TColor, TColor, BYTE, BYTE,
                                                        TuiBarStyleGradientMode) const {}

bool IsNavBarImageAssigned(TCustomImageList* AImageList, int AIndex) {
  return AImageList && AIndex >= 0 && AIndex < AImageList->Count();
}

// ---------------------------------------------------------------------------
// TuiNavBarLinkViewInfo

TuiNavBarLinkViewInfo::TuiNavBarLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo, TuiNavBarItemLink* ALink,
                                             bool AImageVisible, bool ACaptionVisible)
    : FGroupInfo(AGroupInfo),
      FControl(AGroupInfo->Control()),
      FPainter(AGroupInfo->OwnerPainter()),
      FLayout(AGroupInfo->Layout()),
      FLink(ALink),
      FItem(ALink ? ALink->Item() : nullptr),
      FTextFont(new TFont),
      FShowsImage(AImageVisible),
      FShowsText(ACaptionVisible) {}

TuiNavBarLinkViewInfo::~TuiNavBarLinkViewInfo() { delete FTextFont; }

bool TuiNavBarLinkViewInfo::UsesSmallImages() const { return FGroupInfo->UsesSmallLinkImages(); }

void TuiNavBarLinkViewInfo::CalculateBounds(int X, int Y) {
  const int W = FLayout->ClientWidth();
  const int imageW = GetImageWidth(), imageH = GetImageHeight();
  if (FGroupInfo->IsIconView()) {
    ImageBounds.top = Y + FLayout->LinkImageVertOffset();
    ImageBounds.left = X + FLayout->LinkImageHorzOffset();
    ImageBounds.right = ImageBounds.left + imageW;
    ImageBounds.bottom = ImageBounds.top + imageH;
    Bounds = TRect{X, Y, ImageBounds.right + FLayout->LinkImageVertOffset(),
                   ImageBounds.bottom + FLayout->LinkImageHorzOffset()};
    TextBounds = TRect{0, 0, 0, 0};
    return;
  }
  // The caption is measured as the painter will draw it: on the back
  // buffer, in the link's font.
  TCanvas* canvas = FControl->BackBuffer()->Canvas();
  const std::string caption = FItem ? FItem->Caption() : std::string();
  const auto measure = [&](TRect& R) {
    canvas->SetFont(GetFont());
    RECT r = R;
    lkDrawText(canvas->Handle(), caption, r, GetDrawTextFlags() | DT_CALCRECT);
    return r;
  };
  if (UsesSmallImages()) {
    ImageBounds.top = Y + FLayout->SmallLinkPadding() / 2;
    ImageBounds.left = X + FLayout->LinkImageHorzOffset();
    ImageBounds.right = ImageBounds.left + imageW;
    ImageBounds.bottom = ImageBounds.top + imageH;
    const int h = GetCaptionHeight();
    const int middle = (ImageBounds.top + ImageBounds.bottom) / 2;
    TextBounds = TRect{ImageBounds.right + FLayout->LinkImageHorzOffset(), middle - h / 2, W - 1 - X, middle - h / 2 + h};
    const TRect measured = measure(TextBounds);
    TextBounds.right = std::min<LONG>(measured.right, W - 1 - X);
    Bounds = TRect{X, Y, W - 1 - X,
                   std::max(ImageBounds.bottom, TextBounds.bottom) + FLayout->SmallLinkPadding() / 2};
  } else {
    ImageBounds.top = Y + FLayout->LargeLinkPadding() / 2;
    ImageBounds.left = W / 2 - FLayout->LargeImageWidth() / 2;
    ImageBounds.right = ImageBounds.left + imageW;
    ImageBounds.bottom = ImageBounds.top + imageH;
    TextBounds = TRect{X, ImageBounds.bottom + FLayout->LinkImageVertOffset(), W - 1 - X,
                       ImageBounds.bottom + FLayout->LinkImageVertOffset() + GetCaptionHeight()};
    const TRect measured = measure(TextBounds);
    const int width = measured.right - measured.left, height = measured.bottom - measured.top;
    TextBounds.left = X + (W - 2 * X - width) / 2;
    TextBounds.right = TextBounds.left + width;
    TextBounds.bottom = TextBounds.top + height;
    Bounds = TRect{X, Y, W - 1 - X, TextBounds.bottom + FLayout->LargeLinkPadding() / 2};
  }
}

void TuiNavBarLinkViewInfo::OffsetBounds(int DX, int DY) {
  OffsetRect(&Bounds, DX, DY);
  OffsetRect(&ImageBounds, DX, DY);
  OffsetRect(&TextBounds, DX, DY);
}

int TuiNavBarLinkViewInfo::GetCaptionHeight() { return textHeight(GetFont()) + 4; }

UINT TuiNavBarLinkViewInfo::GetDrawTextFlags() {
  return UsesSmallImages() ? DT_SINGLELINE | DT_VCENTER : DT_WORDBREAK | DT_CENTER;
}

int TuiNavBarLinkViewInfo::GetImageHeight() {
  return UsesSmallImages() ? FLayout->SmallImageHeight() : FLayout->LargeImageHeight();
}

int TuiNavBarLinkViewInfo::GetImageWidth() {
  return UsesSmallImages() ? FLayout->SmallImageWidth() : FLayout->LargeImageWidth();
}

TuiNavBarStyleItem* TuiNavBarLinkViewInfo::GetStyleItem() {
  if (!FItem) return nullptr;
  const TuiNavBarDrawStates state = GetState();
  if (state.Contains(nbsDisabled)) return FItem->StyleDisabled();
  if (state.Contains(nbsPressed)) return FItem->StylePressed();
  if (state.Contains(nbsHotTracked)) return FItem->StyleHotTracked();
  return FItem->Style();
}

TuiNavBarDefaultStyle* TuiNavBarLinkViewInfo::GetDefaultStyle() {
  TuiNavBarDefaultStyles* styles = FControl->DefaultStyles();
  const TuiNavBarDrawStates state = GetState();
  if (state.Contains(nbsDisabled)) return styles->ItemDisabled();
  if (state.Contains(nbsPressed)) return styles->ItemPressed();
  if (state.Contains(nbsHotTracked)) return styles->ItemHotTracked();
  return styles->Item();
}

TFont* TuiNavBarLinkViewInfo::GetFont() {
  TuiNavBarStyleItem* item = GetStyleItem();
  const bool own = item && item->Style()->AssignedValues().Contains(savFont);
  FTextFont->Assign(own ? item->Style()->Font() : GetDefaultStyle()->Font());
  return FTextFont;
}

TColor TuiNavBarLinkViewInfo::GetFontColor() { return GetFont()->Color(); }

int TuiNavBarLinkViewInfo::GetImageIndex() {
  if (!FItem) return -1;
  return UsesSmallImages() ? FItem->SmallImageIndex() : FItem->LargeImageIndex();
}

TCustomImageList* TuiNavBarLinkViewInfo::GetImageList() {
  return UsesSmallImages() ? FControl->SmallImages() : FControl->LargeImages();
}

TRect TuiNavBarLinkViewInfo::GetSelectionRect() { return lkGrowRect(ImageBounds, 2, 2, 2, 2); }

TuiNavBarDrawStates TuiNavBarLinkViewInfo::GetState() {
  TuiNavBarDrawStates state;
  if (FItem && !FItem->Enabled()) state.Include(nbsDisabled);
  if (FLink && FLink == FControl->PressedLink()) state.Include(nbsPressed);
  if (FLink && FLink->Selected()) state.Include(nbsSelected);
  if (FLink && FLink == FControl->HotTrackedLink()) state.Include(nbsHotTracked);
  return state;
}

bool TuiNavBarLinkViewInfo::IsImageVisible() {
  return FShowsImage && ImageBounds.left > Bounds.left && ImageBounds.right < Bounds.right;
}

// ---------------------------------------------------------------------------
// TuiNavBarGroupViewInfo

TuiNavBarGroupViewInfo::TuiNavBarGroupViewInfo(TuiNavBarViewInfo* ALayout, TuiNavBarGroup* AGroup,
                                               bool AItemsVisible, bool ACaptionVisible)
    : FLayout(ALayout),
      FPainter(ALayout->OwnerPainter()),
      FControl(ALayout->Control()),
      FGroup(AGroup),
      FHeaderFont(new TFont),
      FShowsCaption(ACaptionVisible),
      FShowsItems(AItemsVisible) {
  CreateLinksInfo();
}

TuiNavBarGroupViewInfo::~TuiNavBarGroupViewInfo() {
  ClearLinks();
  delete FHeaderFont;
}

void TuiNavBarGroupViewInfo::ClearLinks() {
  for (TuiNavBarLinkViewInfo* info : FLinkInfos) delete info;
  FLinkInfos.clear();
}

TuiNavBarLinkViewInfo* TuiNavBarGroupViewInfo::AddLinkViewInfo(TuiNavBarItemLink* ALink, bool AImageVisible,
                                                               bool ACaptionVisible) {
  TuiNavBarLinkViewInfo* info = FPainter->CreateLinkViewInfo(this, ALink, AImageVisible, ACaptionVisible);
  FLinkInfos.push_back(info);
  return info;
}

void TuiNavBarGroupViewInfo::CreateLinksInfo() {
  ClearLinks();
  if (!IsItemsVisible() || GetControl()) return;
  for (int i = 0; i < FGroup->LinkCount(); ++i) {
    TuiNavBarItemLink* link = FGroup->Links(i);
    if (link->Item() && link->Item()->Visible()) AddLinkViewInfo(link, true, true);
  }
}

void TuiNavBarGroupViewInfo::CalculateBounds(int X, int Y) {
  // 1. The caption.
  const int W = FLayout->ClientWidth();
  HeaderBounds = TRect{X, Y, W - X, Y};
  HeaderImageBounds = HeaderSignBounds = TRect{0, 0, 0, 0};
  if (FLayout->HasCaptionScrollButtons()) {
    TuiNavBarGroupViewInfo* active = FLayout->ActiveGroupViewInfo();
    const int index = FLayout->IndexOfGroupViewInfo(this);
    if (active && (active == this || index == FLayout->IndexOfGroupViewInfo(active) + 1))
      HeaderBounds.right -= GetCaptionHeight() + 2;
  }
  if (IsCaptionVisible()) {
    const int height = GetCaptionHeight();
    HeaderBounds.bottom = Y + height;
    HeaderTextBounds = lkGrowRect(HeaderBounds, -2, -1, -2, -1);
    if (FLayout->HasGroupCaptionImage()) {
      HeaderImageBounds.left = HeaderBounds.left + FLayout->GroupCaptionImageIndent();
      HeaderImageBounds.bottom = HeaderBounds.bottom;
      HeaderImageBounds.right = HeaderImageBounds.left + GetImageWidth();
      HeaderImageBounds.top = HeaderImageBounds.bottom - GetImageHeight();
      const int m = FLayout->ExtendCaptionForImage() ? FLayout->GroupCaptionHeightAddon() : 0;
      if (HeaderImageBounds.top - 2 * m < HeaderBounds.top) {
        const int d = HeaderBounds.top + 2 * m - HeaderImageBounds.top;
        HeaderBounds.bottom += d;
        HeaderTextBounds.bottom += d;
        if (!FLayout->ExtendCaptionForImage()) {
          HeaderBounds.top += d;
          HeaderTextBounds.top += d;
        }
        OffsetRect(&HeaderImageBounds, 0, d - m);
      } else {
        OffsetRect(&HeaderImageBounds, 0, -(height / 2 - GetImageHeight() / 2));
      }
      HeaderTextBounds.left = HeaderImageBounds.right + FLayout->GroupCaptionTextIndent();
    }
    if (FLayout->HasGroupCaptionSign()) {
      const int size = FLayout->GroupCaptionSignSize();
      const int a = (lkGetRectHeight(HeaderBounds) - size) / 2;
      HeaderSignBounds.top = HeaderBounds.top + a + 1;
      HeaderSignBounds.bottom = HeaderSignBounds.top + size;
      HeaderSignBounds.right = HeaderBounds.right - a;
      HeaderSignBounds.left = HeaderSignBounds.right - size;
      HeaderTextBounds.right = HeaderSignBounds.left - a;
    }
  } else {
    HeaderTextBounds = TRect{HeaderBounds.left, HeaderBounds.top, HeaderBounds.right, HeaderBounds.top};
  }

  // 2. The whole group and its links.
  Bounds = TRect{HeaderBounds.left, HeaderBounds.top, W - X, HeaderBounds.bottom};
  if (IsItemsVisible()) {
    if (TuiNavBarGroupControl* control = GetControl()) {
      Bounds.bottom = HeaderBounds.bottom + control->OriginalHeight() + 2 * FLayout->GroupControlOffset();
    } else {
      int x = X, y = HeaderBounds.bottom + FLayout->LinksAreaMargin();
      const bool icons = IsIconView();
      for (size_t i = 0; i < FLinkInfos.size(); ++i) {
        TuiNavBarLinkViewInfo* link = FLinkInfos[i];
        link->CalculateBounds(x, y);
        if (icons) {
          if (link->Bounds.right > HeaderBounds.right && i > 0) {
            x = X;
            y = link->Bounds.bottom;
            link->CalculateBounds(x, y);
          }
          x = link->Bounds.right;
        } else {
          y = link->Bounds.bottom;
        }
      }
      const int last = FLinkInfos.empty() ? HeaderBounds.bottom + FLayout->LinksAreaMargin()
                                          : FLinkInfos.back()->Bounds.bottom;
      Bounds.bottom = last + FLayout->LinksAreaMargin();
    }
    if (FGroup->Expanded() && FControl->OnCalcGroupClientHeight) {
      const int caption = lkGetRectHeight(HeaderBounds);
      int height = lkGetRectHeight(Bounds) - caption;
      FControl->OnCalcGroupClientHeight(FControl, this, height);
      Bounds.bottom = Bounds.top + caption + height;
    }
  }

  // 3. The items area.
  ClientBounds = TRect{HeaderBounds.left, HeaderBounds.bottom, Bounds.right, Bounds.bottom};
}

void TuiNavBarGroupViewInfo::OffsetBounds(int DX, int DY) {
  for (TRect* r : {&HeaderBounds, &HeaderImageBounds, &HeaderSignBounds, &HeaderTextBounds, &ClientBounds, &Bounds})
    OffsetRect(r, DX, DY);
  for (TuiNavBarLinkViewInfo* link : FLinkInfos) link->OffsetBounds(DX, DY);
}

void TuiNavBarGroupViewInfo::StretchBounds(int DX, int DY) {
  Bounds.right += DX;
  Bounds.bottom += DY;
  ClientBounds.right += DX;
  ClientBounds.bottom += DY;
  // The links above the top visible one scroll out of sight.
  int hidden = 0;
  const int top = FGroup->TopVisibleLinkIndex();
  for (int i = 0; i < top && i < FGroup->LinkCount(); ++i)
    if (TuiNavBarLinkViewInfo* link = FindLinkViewInfo(FGroup->Links(i))) hidden += lkGetRectHeight(link->Bounds);
  for (TuiNavBarLinkViewInfo* link : FLinkInfos) link->OffsetBounds(0, -hidden);
}

void TuiNavBarGroupViewInfo::UpdateGroupControl() {
  TuiNavBarGroupControl* control = FGroup->Control();
  if (!control) return;
  if (IsItemsVisible() && FGroup->ShowControl())
    control->AdjustControl(GetControlRect(), true);
  else
    control->AdjustControl(HeaderBounds, false);
}

TRect TuiNavBarGroupViewInfo::GetControlRect() {
  const int offset = FLayout->GroupControlOffset();
  TRect r = lkGrowRect(ClientBounds, -offset, -offset, -offset, -offset);
  if (IsCaptionVisible()) r.top = HeaderBounds.bottom;
  return r;
}

int TuiNavBarGroupViewInfo::GetCaptionHeight() {
  return FLayout->GroupCaptionHeightAddon() + textHeight(GetCaptionFont());
}

UINT TuiNavBarGroupViewInfo::GetCaptionDrawTextFlags() {
  return alignmentFlags(GetCaptionHAlignment(), GetCaptionVAlignment());
}

int TuiNavBarGroupViewInfo::GetImageHeight() {
  return UsesSmallGroupImages() ? FLayout->SmallImageHeight() : FLayout->LargeImageHeight();
}

int TuiNavBarGroupViewInfo::GetImageWidth() {
  return UsesSmallGroupImages() ? FLayout->SmallImageWidth() : FLayout->LargeImageWidth();
}

TColor TuiNavBarGroupViewInfo::GetBorderColor() { return GetCaptionBackColor2(); }

TuiBaseNavBarStyle* TuiNavBarGroupViewInfo::backgroundStyle(TuiBarStyleAssignedValue AValue) {
  return styleFor(FGroup->StyleBackground(), FControl->DefaultStyles()->GroupBackground(),
                                           AValue);
}

TPicture* TuiNavBarGroupViewInfo::GetBackgroundImage() { return backgroundStyle(savImage)->Image(); }
TColor TuiNavBarGroupViewInfo::GetBackgroundBackColor() { return backgroundStyle(savBackColor)->BackColor(); }
TColor TuiNavBarGroupViewInfo::GetBackgroundBackColor2() { return backgroundStyle(savBackColor2)->BackColor2(); }
BYTE TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending() {
  return backgroundStyle(savAlphaBlending)->AlphaBlending();
}
BYTE TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending2() {
  return backgroundStyle(savAlphaBlending2)->AlphaBlending2();
}
TuiBarStyleGradientMode TuiNavBarGroupViewInfo::GetBackgroundGradientMode() {
  return backgroundStyle(savGradientMode)->GradientMode();
}

TuiNavBarStyleItem* TuiNavBarGroupViewInfo::GetCaptionStyleItem() {
  const TuiNavBarDrawStates state = GetState();
  if (state.Contains(nbsActive) || state.Contains(nbsSpecial)) {
    if (state.Contains(nbsPressed)) return FGroup->StyleHeaderActivePressed();
    if (state.Contains(nbsHotTracked)) return FGroup->StyleHeaderActiveHotTracked();
    return FGroup->StyleHeaderActive();
  }
  if (state.Contains(nbsPressed)) return FGroup->StyleHeaderPressed();
  if (state.Contains(nbsHotTracked)) return FGroup->StyleHeaderHotTracked();
  return FGroup->StyleHeader();
}

TuiNavBarDefaultStyle* TuiNavBarGroupViewInfo::GetCaptionDefaultStyle() {
  TuiNavBarDefaultStyles* styles = FControl->DefaultStyles();
  const TuiNavBarDrawStates state = GetState();
  if (state.Contains(nbsActive) || state.Contains(nbsSpecial)) {
    if (state.Contains(nbsPressed)) return styles->GroupHeaderActivePressed();
    if (state.Contains(nbsHotTracked)) return styles->GroupHeaderActiveHotTracked();
    return styles->GroupHeaderActive();
  }
  if (state.Contains(nbsPressed)) return styles->GroupHeaderPressed();
  if (state.Contains(nbsHotTracked)) return styles->GroupHeaderHotTracked();
  return styles->GroupHeader();
}

TuiBaseNavBarStyle* TuiNavBarGroupViewInfo::captionStyle(TuiBarStyleAssignedValue AValue) {
  return styleFor(GetCaptionStyleItem(), GetCaptionDefaultStyle(), AValue);
}

TPicture* TuiNavBarGroupViewInfo::GetCaptionImage() { return captionStyle(savImage)->Image(); }
TColor TuiNavBarGroupViewInfo::GetCaptionBorderColor() { return clNone; }
TColor TuiNavBarGroupViewInfo::GetCaptionBackColor() { return captionStyle(savBackColor)->BackColor(); }
TColor TuiNavBarGroupViewInfo::GetCaptionBackColor2() { return captionStyle(savBackColor2)->BackColor2(); }
BYTE TuiNavBarGroupViewInfo::GetCaptionAlphaBlending() { return captionStyle(savAlphaBlending)->AlphaBlending(); }
BYTE TuiNavBarGroupViewInfo::GetCaptionAlphaBlending2() { return captionStyle(savAlphaBlending2)->AlphaBlending2(); }
TuiBarStyleGradientMode TuiNavBarGroupViewInfo::GetCaptionGradientMode() {
  return captionStyle(savGradientMode)->GradientMode();
}

TFont* TuiNavBarGroupViewInfo::GetCaptionFont() {
  FHeaderFont->Assign(captionStyle(savFont)->Font());
  return FHeaderFont;
}

TColor TuiNavBarGroupViewInfo::GetCaptionFontColor() { return GetCaptionFont()->Color(); }
TColor TuiNavBarGroupViewInfo::GetCaptionSignColor() { return GetCaptionFontColor(); }
TuiBarStyleHAlignment TuiNavBarGroupViewInfo::GetCaptionHAlignment() {
  return captionStyle(savHAlignment)->HAlignment();
}
TuiBarStyleVAlignment TuiNavBarGroupViewInfo::GetCaptionVAlignment() {
  return captionStyle(savVAlignment)->VAlignment();
}

TuiBaseNavBarStyle* TuiNavBarGroupViewInfo::controlStyle(TuiBarStyleAssignedValue AValue) {
  return styleFor(FGroup->StyleControl(), FControl->DefaultStyles()->GroupControl(), AValue);
}

// A group control whose colours are not set shows the group background.
bool TuiNavBarGroupViewInfo::controlFallsBackToBackground() {
  return controlStyle(savBackColor)->BackColor() == clNone || controlStyle(savBackColor2)->BackColor2() == clNone;
}

TPicture* TuiNavBarGroupViewInfo::GetControlImage() { return controlStyle(savImage)->Image(); }
TColor TuiNavBarGroupViewInfo::GetControlBackColor() {
  return controlFallsBackToBackground() ? GetBackgroundBackColor() : controlStyle(savBackColor)->BackColor();
}
TColor TuiNavBarGroupViewInfo::GetControlBackColor2() {
  return controlFallsBackToBackground() ? GetBackgroundBackColor2() : controlStyle(savBackColor2)->BackColor2();
}
BYTE TuiNavBarGroupViewInfo::GetControlAlphaBlending() {
  return controlFallsBackToBackground() ? GetBackgroundAlphaBlending()
                                        : controlStyle(savAlphaBlending)->AlphaBlending();
}
BYTE TuiNavBarGroupViewInfo::GetControlAlphaBlending2() {
  return controlFallsBackToBackground() ? GetBackgroundAlphaBlending2()
                                        : controlStyle(savAlphaBlending2)->AlphaBlending2();
}
TuiBarStyleGradientMode TuiNavBarGroupViewInfo::GetControlGradientMode() {
  return controlFallsBackToBackground() ? GetBackgroundGradientMode()
                                        : controlStyle(savGradientMode)->GradientMode();
}

int TuiNavBarGroupViewInfo::GetImageIndex() {
  return UsesSmallGroupImages() ? FGroup->SmallImageIndex() : FGroup->LargeImageIndex();
}

TCustomImageList* TuiNavBarGroupViewInfo::GetImageList() {
  return UsesSmallGroupImages() ? FControl->SmallImages() : FControl->LargeImages();
}

TuiNavBarDrawStates TuiNavBarGroupViewInfo::GetState() {
  TuiNavBarDrawStates state;
  if (FGroup == FControl->PressedGroup()) state.Include(nbsPressed);
  if (FGroup == FControl->HotTrackedGroup()) state.Include(nbsHotTracked);
  if (FGroup->Expanded()) state.Include(nbsExpanded);
  const bool active = FGroup == FControl->GetActiveGroup();
  if (active && FLayout->HasActiveGroup()) state.Include(nbsActive);
  if (active && FLayout->HasSpecialGroup() && FControl->ShowSpecialGroup()) state.Include(nbsSpecial);
  return state;
}

bool TuiNavBarGroupViewInfo::IsCaptionVisible() {
  return FShowsCaption && FControl->ShowGroupCaptions() && (FGroup->ShowCaption() || !FLayout->CanHideGroupCaption());
}

bool TuiNavBarGroupViewInfo::IsItemsVisible() { return FShowsItems && FLayout->GroupItemsVisible(FGroup); }

bool TuiNavBarGroupViewInfo::UsesSmallGroupImages() {
  return !FLayout->AllowLargeGroupImages() || FGroup->UseSmallImages();
}

bool TuiNavBarGroupViewInfo::UsesSmallLinkImages() {
  return !FLayout->AllowLargeLinkImages() || FGroup->LinksUseSmallImages();
}

bool TuiNavBarGroupViewInfo::IsIconView() { return FLayout->AllowIconView() && FGroup->ShowAsIconView(); }

TuiNavBarGroupControl* TuiNavBarGroupViewInfo::GetControl() {
  return FGroup->ShowControl() ? FGroup->Control() : nullptr;
}

bool TuiNavBarGroupViewInfo::IsCaptionImageVisible() {
  if (!FLayout->HasGroupCaptionImage()) return false;
  if (HeaderImageBounds.left < HeaderBounds.left || HeaderImageBounds.right > HeaderBounds.right) return false;
  return !FLayout->HasGroupCaptionSign() || HeaderImageBounds.right < HeaderSignBounds.left;
}

bool TuiNavBarGroupViewInfo::IsCaptionSignVisible() {
  return FLayout->HasGroupCaptionSign() && HeaderSignBounds.left >= HeaderBounds.left &&
         HeaderSignBounds.right <= HeaderBounds.right;
}

TuiNavBarLinkViewInfo* TuiNavBarGroupViewInfo::FindLinkViewInfo(TuiNavBarItemLink* ALink) {
  for (TuiNavBarLinkViewInfo* info : FLinkInfos)
    if (info->SourceLink() == ALink) return info;
  return nullptr;
}

int TuiNavBarGroupViewInfo::IndexOfLinkViewInfo(TuiNavBarLinkViewInfo* AInfo) const {
  const auto it = std::find(FLinkInfos.begin(), FLinkInfos.end(), AInfo);
  return it == FLinkInfos.end() ? -1 : static_cast<int>(it - FLinkInfos.begin());
}

// ---------------------------------------------------------------------------
// TuiNavBarViewInfo

TuiNavBarViewInfo::TuiNavBarViewInfo(TuiNavBarPainter* APainter)
    : FPainter(APainter), FControl(APainter->NavBar()), FPaneHeaderFont(new TFont) {
  CreateResources();
}

TuiNavBarViewInfo::~TuiNavBarViewInfo() {
  ReleaseResources();
  delete FPaneHeaderFont;
  ClearGroups();
}

TuiBaseNavBarStyle* TuiNavBarViewInfo::StyleFor(TuiNavBarStyleItem* AItem, TuiNavBarDefaultStyle* ADefault,
                                                TuiBarStyleAssignedValue AValue) {
  return styleFor(AItem, ADefault, AValue);
}

TuiNavBarDefaultStyle* TuiNavBarViewInfo::DefaultStyle(int AIndex) { return FControl->DefaultStyles()->Styles(AIndex); }

bool TuiNavBarViewInfo::GroupItemsVisible(TuiNavBarGroup* AGroup) { return AGroup == FControl->GetActiveGroup(); }

TuiNavBarGroupViewInfo* TuiNavBarViewInfo::AddGroupViewInfo(TuiNavBarGroup* AGroup, bool AItemsVisible,
                                                            bool ACaptionVisible) {
  TuiNavBarGroupViewInfo* info = FPainter->CreateGroupViewInfo(this, AGroup, AItemsVisible, ACaptionVisible);
  FGroupInfos.push_back(info);
  return info;
}

void TuiNavBarViewInfo::RemoveGroupViewInfo(TuiNavBarGroupViewInfo* AInfo) {
  const auto it = std::find(FGroupInfos.begin(), FGroupInfos.end(), AInfo);
  if (it == FGroupInfos.end()) return;
  FGroupInfos.erase(it);
  delete AInfo;
}

void TuiNavBarViewInfo::ClearGroups() {
  for (TuiNavBarGroupViewInfo* info : FGroupInfos) delete info;
  FGroupInfos.clear();
}

int TuiNavBarViewInfo::IndexOfGroupViewInfo(TuiNavBarGroupViewInfo* AInfo) const {
  const auto it = std::find(FGroupInfos.begin(), FGroupInfos.end(), AInfo);
  return it == FGroupInfos.end() ? -1 : static_cast<int>(it - FGroupInfos.begin());
}

TuiNavBarGroupViewInfo* TuiNavBarViewInfo::FindGroupViewInfo(TuiNavBarGroup* AGroup) const {
  for (TuiNavBarGroupViewInfo* info : FGroupInfos)
    if (info->SourceGroup() == AGroup) return info;
  return nullptr;
}

TuiNavBarLinkViewInfo* TuiNavBarViewInfo::FindLinkViewInfo(TuiNavBarItemLink* ALink) const {
  for (TuiNavBarGroupViewInfo* info : FGroupInfos)
    if (TuiNavBarLinkViewInfo* link = info->FindLinkViewInfo(ALink)) return link;
  return nullptr;
}

TuiNavBarGroupViewInfo* TuiNavBarViewInfo::ActiveGroupViewInfo() {
  TuiNavBarGroup* active = FControl->GetActiveGroup();
  return active ? FindGroupViewInfo(active) : nullptr;
}

void TuiNavBarViewInfo::CreateGroupsInfo() {
  ClearGroups();
  if (!FControl->ShowGroupCaptions()) {
    if (TuiNavBarGroup* active = FControl->GetActiveGroup()) AddGroupViewInfo(active, true, true);
    return;
  }
  TuiNavBarGroups* groups = FControl->Groups();
  for (int i = 0; i < groups->Count(); ++i)
    if (groups->Items(i)->Visible()) AddGroupViewInfo(groups->Items(i), true, true);
}

void TuiNavBarViewInfo::ClearRects() {
  FUpButtonBounds = FDownButtonBounds = TRect{0, 0, 0, 0};
  FCurrentHintBounds = TRect{0, 0, 0, 0};
}

void TuiNavBarViewInfo::CalculateBounds() {
  ClearRects();
  int y = GroupsSpacing();
  for (TuiNavBarGroupViewInfo* info : FGroupInfos) {
    info->CalculateBounds(GroupEdgeOffset(), y);
    y = info->Bounds.bottom + GroupsSpacing();
  }
}

void TuiNavBarViewInfo::CalculateGroupControls() {
  TuiNavBarGroups* groups = FControl->Groups();
  for (int i = 0; i < groups->Count(); ++i) {
    TuiNavBarGroup* group = groups->Items(i);
    if (TuiNavBarGroupViewInfo* info = FindGroupViewInfo(group)) {
      info->UpdateGroupControl();
    } else if (TuiNavBarGroupControl* control = group->Control()) {
      TRect hidden = FControl->BoundsRect();
      OffsetRect(&hidden, -hidden.left, -hidden.top);
      control->AdjustControl(hidden, false);
    }
  }
}

TRect TuiNavBarViewInfo::CalculateTopScrollButtonRect() {
  TuiNavBarGroupViewInfo* active = ActiveGroupViewInfo();
  if (!active) return TRect{0, 0, 0, 0};
  TRect r = active->ClientBounds;
  r.left = r.right - ScrollButtonWidth();
  r.bottom = r.top + ScrollButtonHeight();
  OffsetRect(&r, -ScrollButtonHorzOffset(), ScrollButtonVertOffset());
  return r;
}

TRect TuiNavBarViewInfo::CalculateBottomScrollButtonRect() {
  TuiNavBarGroupViewInfo* active = ActiveGroupViewInfo();
  if (!active) return TRect{0, 0, 0, 0};
  TRect r = active->ClientBounds;
  r.left = r.right - ScrollButtonWidth();
  r.bottom = r.top + ScrollButtonHeight();
  OffsetRect(&r, -ScrollButtonHorzOffset(), -ScrollButtonVertOffset());
  OffsetRect(&r, 0, lkGetRectHeight(active->ClientBounds) - ScrollButtonHeight());
  return r;
}

void TuiNavBarViewInfo::CalculateScrollButtonsBounds() {
  FUpButtonBounds = FDownButtonBounds = TRect{0, 0, 0, 0};
  if (!ActiveGroupViewInfo()) return;
  FUpButtonBounds = CalculateTopScrollButtonRect();
  if (TopScrollButtonState().Contains(nbsDisabled)) FUpButtonBounds = TRect{0, 0, 0, 0};
  FDownButtonBounds = CalculateBottomScrollButtonRect();
  if (BottomScrollButtonState().Contains(nbsDisabled)) FDownButtonBounds = TRect{0, 0, 0, 0};
}

TuiNavBarDrawStates TuiNavBarViewInfo::TopScrollButtonState() {
  TuiNavBarDrawStates state;
  if (FControl->TopScrollButtonPressed()) state.Include(nbsPressed);
  TuiNavBarGroup* active = FControl->GetActiveGroup();
  if (!active || active->LinkCount() == 0 || active->TopVisibleLinkIndex() <= 0) state.Include(nbsDisabled);
  if (contains(FUpButtonBounds.right > FUpButtonBounds.left ? FUpButtonBounds : CalculateTopScrollButtonRect(),
               FControl->HotPoint()))
    state.Include(nbsHotTracked);
  return state;
}

TuiNavBarDrawStates TuiNavBarViewInfo::BottomScrollButtonState() {
  TuiNavBarDrawStates state;
  if (FControl->BottomScrollButtonPressed()) state.Include(nbsPressed);
  TuiNavBarGroup* active = FControl->GetActiveGroup();
  TuiNavBarGroupViewInfo* info = ActiveGroupViewInfo();
  // A group without link objects has no last link to reach below it.
  const bool scrollable = active && info && info->LinkCount() > 0 &&
                          info->LinkInfos(info->LinkCount() - 1)->Bounds.bottom > info->Bounds.bottom &&
                          active->TopVisibleLinkIndex() < active->LinkCount() - 1;
  if (!scrollable) state.Include(nbsDisabled);
  if (contains(FDownButtonBounds.right > FDownButtonBounds.left ? FDownButtonBounds : CalculateBottomScrollButtonRect(),
               FControl->HotPoint()))
    state.Include(nbsHotTracked);
  return state;
}

bool TuiNavBarViewInfo::IsTopScrollButtonVisible() const {
  return FUpButtonBounds.right > FUpButtonBounds.left && FUpButtonBounds.bottom > FUpButtonBounds.top;
}

bool TuiNavBarViewInfo::IsBottomScrollButtonVisible() const {
  return FDownButtonBounds.right > FDownButtonBounds.left && FDownButtonBounds.bottom > FDownButtonBounds.top;
}

bool TuiNavBarViewInfo::IsPtTopScrollButton(const TPoint& P) const {
  return IsTopScrollButtonVisible() && contains(FUpButtonBounds, P);
}

bool TuiNavBarViewInfo::IsPtBottomScrollButton(const TPoint& P) const {
  return IsBottomScrollButtonVisible() && contains(FDownButtonBounds, P);
}

// --- hit tests ------------------------------------------------------------------

TuiNavBarGroupViewInfo* TuiNavBarViewInfo::GetGroupViewInfoAtCaptionPos(const TPoint& P) {
  for (TuiNavBarGroupViewInfo* info : FGroupInfos)
    if (contains(info->HeaderBounds, P)) return info;
  return nullptr;
}

TuiNavBarGroupViewInfo* TuiNavBarViewInfo::GetGroupViewInfoAtItemsPos(const TPoint& P) {
  for (TuiNavBarGroupViewInfo* info : FGroupInfos)
    if (contains(info->Bounds, P) && !contains(info->HeaderBounds, P)) return info;
  return nullptr;
}

TuiNavBarLinkViewInfo* TuiNavBarViewInfo::GetLinkViewInfoAtPos(const TPoint& P) {
  TuiNavBarGroupViewInfo* group = GetGroupViewInfoAtItemsPos(P);
  if (!group) return nullptr;
  for (int i = 0; i < group->LinkCount(); ++i)
    if (contains(group->LinkInfos(i)->Bounds, P)) return group->LinkInfos(i);
  return nullptr;
}

TuiNavBarLinkViewInfo* TuiNavBarViewInfo::GetLinkViewInfoAtSelectedPos(const TPoint& P) {
  if (IsPtBottomScrollButton(P) || IsPtTopScrollButton(P)) return nullptr;
  TuiNavBarGroupViewInfo* group = GetGroupViewInfoAtItemsPos(P);
  if (!group) return nullptr;
  for (int i = 0; i < group->LinkCount(); ++i) {
    TuiNavBarLinkViewInfo* link = group->LinkInfos(i);
    if (LinkHitByWholeRect()) {
      if (contains(link->Bounds, P)) return link;
      continue;
    }
    if (contains(link->ImageBounds, P)) return link;
    // The caption counts from the image on, so the gap between them hits.
    TRect caption = link->TextBounds;
    if (group->UsesSmallLinkImages())
      caption.left = link->ImageBounds.right;
    else
      caption.top = link->ImageBounds.bottom;
    if (contains(caption, P)) return link;
  }
  return nullptr;
}

int TuiNavBarViewInfo::GetDropTargetInfo(const TPoint& P, TuiNavBarGroupViewInfo*& AGroupInfo,
                                         TuiNavBarLinkViewInfo*& ALinkAfter, TuiNavBarLinkViewInfo*& ALinkBefore) {
  AGroupInfo = nullptr;
  ALinkAfter = ALinkBefore = nullptr;
  AGroupInfo = GetGroupViewInfoAtItemsPos(P);
  bool byCaption = false;
  if (!AGroupInfo) {
    AGroupInfo = GetGroupViewInfoAtCaptionPos(P);
    byCaption = AGroupInfo != nullptr;
  }
  if (!AGroupInfo) return -1;
  if (byCaption) {
    if (AGroupInfo->LinkCount() > 0) ALinkAfter = AGroupInfo->LinkInfos(0);
    return 0;
  }
  if (AGroupInfo->IsIconView()) return GetIconViewDropTargetInfo(P, AGroupInfo, ALinkAfter, ALinkBefore);
  const int count = AGroupInfo->LinkCount();
  TuiNavBarLinkViewInfo* under = nullptr;
  int at = -1;
  for (int i = 0; i < count && !under; ++i)
    if (contains(AGroupInfo->LinkInfos(i)->Bounds, P)) under = AGroupInfo->LinkInfos(i), at = i;
  if (under) {
    if (P.y < under->Bounds.top + lkGetRectHeight(under->Bounds) / 2) {
      ALinkAfter = under;
      if (at > 0) ALinkBefore = AGroupInfo->LinkInfos(at - 1);
    } else {
      ALinkBefore = under;
      if (at + 1 < count) ALinkAfter = AGroupInfo->LinkInfos(at + 1);
    }
  } else if (count > 0) {
    if (P.y < AGroupInfo->LinkInfos(0)->Bounds.top)
      ALinkAfter = AGroupInfo->LinkInfos(0);
    else
      ALinkBefore = AGroupInfo->LinkInfos(count - 1);
  }
  if (ALinkAfter && ALinkBefore) return ALinkAfter->SourceLink()->Index();
  if (ALinkBefore) return AGroupInfo->SourceGroup()->LinkCount();
  return 0;
}

int TuiNavBarViewInfo::GetIconViewDropTargetInfo(const TPoint& P, TuiNavBarGroupViewInfo* AGroupInfo,
                                                 TuiNavBarLinkViewInfo*& ALinkAfter,
                                                 TuiNavBarLinkViewInfo*& ALinkBefore) {
  const int count = AGroupInfo->LinkCount();
  TuiNavBarLinkViewInfo* under = nullptr;
  int at = -1;
  for (int i = 0; i < count && !under; ++i)
    if (contains(AGroupInfo->LinkInfos(i)->Bounds, P)) under = AGroupInfo->LinkInfos(i), at = i;
  if (under) {
    if (P.x < under->Bounds.left + lkGetRectWidth(under->Bounds) / 2) {
      ALinkAfter = under;
      if (at > 0) ALinkBefore = AGroupInfo->LinkInfos(at - 1);
    } else {
      ALinkBefore = under;
      if (at + 1 < count) ALinkAfter = AGroupInfo->LinkInfos(at + 1);
    }
  } else if (count > 0) {
    if (P.y < AGroupInfo->LinkInfos(0)->Bounds.top) {
      ALinkAfter = AGroupInfo->LinkInfos(0);
    } else if (AGroupInfo->LinkInfos(count - 1)->Bounds.bottom <= P.y) {
      ALinkBefore = AGroupInfo->LinkInfos(count - 1);
    } else {
      // In the point's row the pair around the point: the last link left of
      // it and the first one right of it.
      for (int i = 0; i < count; ++i) {
        TuiNavBarLinkViewInfo* link = AGroupInfo->LinkInfos(i);
        if (link->Bounds.top > P.y || link->Bounds.bottom <= P.y) continue;
        if (link->Bounds.right <= P.x) {
          ALinkBefore = link;
          ALinkAfter = i + 1 < count ? AGroupInfo->LinkInfos(i + 1) : nullptr;
        } else {
          ALinkAfter = link;
          ALinkBefore = i > 0 ? AGroupInfo->LinkInfos(i - 1) : nullptr;
          break;
        }
      }
    }
  }
  if (ALinkAfter && ALinkBefore) return ALinkAfter->SourceLink()->Index();
  if (ALinkBefore) return AGroupInfo->SourceGroup()->LinkCount();
  return 0;
}

TuiNavBarGroup* TuiNavBarViewInfo::GetGroupAtCaptionPos(const TPoint& P) {
  TuiNavBarGroupViewInfo* info = GetGroupViewInfoAtCaptionPos(P);
  if (!info || info->SourceGroup()->ComponentState().Contains(csDestroying)) return nullptr;
  return info->SourceGroup();
}

TuiNavBarGroup* TuiNavBarViewInfo::GetGroupAtItemsPos(const TPoint& P) {
  TuiNavBarGroupViewInfo* info = GetGroupViewInfoAtItemsPos(P);
  if (!info || info->SourceGroup()->ComponentState().Contains(csDestroying)) return nullptr;
  return info->SourceGroup();
}

TuiNavBarItemLink* TuiNavBarViewInfo::GetLinkAtSelectedPos(const TPoint& P) {
  TuiNavBarLinkViewInfo* info = GetLinkViewInfoAtSelectedPos(P);
  if (!info || !info->SourceLink()->Group() || !info->SourceLink()->Item()) return nullptr;
  return info->SourceLink();
}

int TuiNavBarViewInfo::GetDropTargetLinks(const TPoint& P, TuiNavBarGroup*& AGroup, TuiNavBarItemLink*& ALinkAfter,
                                          TuiNavBarItemLink*& ALinkBefore) {
  TuiNavBarGroupViewInfo* group = nullptr;
  TuiNavBarLinkViewInfo *after = nullptr, *before = nullptr;
  const int index = GetDropTargetInfo(P, group, after, before);
  AGroup = group && !group->SourceGroup()->ComponentState().Contains(csDestroying) ? group->SourceGroup() : nullptr;
  const auto usable = [](TuiNavBarLinkViewInfo* l) -> TuiNavBarItemLink* {
    return l && l->SourceLink()->Group() && l->SourceLink()->Item() ? l->SourceLink() : nullptr;
  };
  ALinkAfter = usable(after);
  ALinkBefore = usable(before);
  return AGroup ? index : -1;
}

// --- sizes ---------------------------------------------------------------------

int TuiNavBarViewInfo::SmallImageHeight() { return FControl->SmallImages() ? FControl->SmallImages()->Height() : 16; }
int TuiNavBarViewInfo::SmallImageWidth() { return FControl->SmallImages() ? FControl->SmallImages()->Width() : 16; }
int TuiNavBarViewInfo::LargeImageHeight() { return FControl->LargeImages() ? FControl->LargeImages()->Height() : 32; }
int TuiNavBarViewInfo::LargeImageWidth() { return FControl->LargeImages() ? FControl->LargeImages()->Width() : 32; }
int TuiNavBarViewInfo::ClientWidth() { return FControl->ClientWidth(); }
int TuiNavBarViewInfo::ClientHeight() { return FControl->ClientHeight(); }
int TuiNavBarViewInfo::GroupsSpacing() {
  return FControl->SpaceBetweenGroups() > 0 ? FControl->SpaceBetweenGroups() : DefaultGroupsSpacing();
}

UINT TuiNavBarViewInfo::NavigationPaneHeaderDrawTextFlags() {
  return alignmentFlags(NavigationPaneHeaderHAlignment(), NavigationPaneHeaderVAlignment());
}

void TuiNavBarViewInfo::ToggleGroup(TuiNavBarGroup* AGroup) {
  if (IsGroupExpanded(AGroup))
    CollapseGroup(AGroup);
  else
    ExpandGroup(AGroup);
}

// --- hints ----------------------------------------------------------------------

void TuiNavBarViewInfo::CalculateHint() {
  FCurrentHint.clear();
  FCurrentHintBounds = TRect{0, 0, 0, 0};
  FCurrentHint = GetHintText();
  FCurrentHintBounds = CalculateHintRect();
}

std::string TuiNavBarViewInfo::GetHintText() {
  const TPoint p = FControl->HotPoint();
  if (TuiNavBarGroup* group = GetGroupAtCaptionPos(p)) return GetGroupHintText(group);
  if (TuiNavBarItemLink* link = GetLinkAtSelectedPos(p)) return GetLinkHintText(link);
  return "";
}

TRect TuiNavBarViewInfo::CalculateHintRect() {
  const TPoint p = FControl->HotPoint();
  if (TuiNavBarGroup* group = GetGroupAtCaptionPos(p)) return CalcGroupHintRect(group);
  if (TuiNavBarItemLink* link = GetLinkAtSelectedPos(p)) return CalcLinkHintRect(link);
  return TRect{0, 0, 0, 0};
}

std::string TuiNavBarViewInfo::GetGroupHintText(TuiNavBarGroup* AGroup) {
  std::string hint = AGroup->Hint();
  if (FControl->OnGetGroupHint) FControl->OnGetGroupHint(FControl, AGroup, hint);
  return shortHint(hint);
}

std::string TuiNavBarViewInfo::GetLinkHintText(TuiNavBarItemLink* ALink) {
  std::string hint = ALink->Item() ? ALink->Item()->Hint() : std::string();
  if (FControl->OnGetLinkHint) FControl->OnGetLinkHint(FControl, ALink, hint);
  return shortHint(hint);
}

namespace {

// The hint's text measured with word breaks on the hint window, as wide as
// the bar's client area, with a margin of 6.
TRect measureHint(TuiCustomNavBar* AControl, TFont* AFont, const std::string& AText) {
  TCanvas* canvas = AControl->HintWindow()->Canvas();
  canvas->SetFont(AFont);
  RECT r{0, 0, AControl->ClientWidth(), 0};
  lkDrawText(canvas->Handle(), AText, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  r.right += 6;
  r.bottom += 6;
  return r;
}

TRect atHotPoint(TuiCustomNavBar* AControl, TRect R) {
  const TPoint screen = AControl->ClientToScreen(AControl->HotPoint());
  OffsetRect(&R, screen.x + 20, screen.y);
  return R;
}

}  // namespace

TRect TuiNavBarViewInfo::MeasureHint(const std::string& AText) { return measureHint(FControl, HintFont(), AText); }
TRect TuiNavBarViewInfo::HintRectAtHotPoint(TRect R) { return atHotPoint(FControl, R); }

TRect TuiNavBarViewInfo::CalcGroupHintRect(TuiNavBarGroup* AGroup) {
  TRect r = measureHint(FControl, HintFont(), FCurrentHint);
  if (FControl->OnCalcGroupHintRect) FControl->OnCalcGroupHintRect(FControl, AGroup, this, r);
  return atHotPoint(FControl, r);
}

TRect TuiNavBarViewInfo::CalcLinkHintRect(TuiNavBarItemLink* ALink) {
  TRect r = measureHint(FControl, HintFont(), FCurrentHint);
  if (FControl->OnCalcLinkHintRect) FControl->OnCalcLinkHintRect(FControl, ALink, this, r);
  return atHotPoint(FControl, r);
}

// --- style values ----------------------------------------------------------------

TuiBaseNavBarStyle* TuiNavBarViewInfo::buttonStyle(bool ATop, TuiBarStyleAssignedValue AValue) {
  return StyleFor(ATop ? TopScrollButtonStyleItem() : BottomScrollButtonStyleItem(),
                  ATop ? TopScrollButtonDefaultStyle() : BottomScrollButtonDefaultStyle(), AValue);
}

// A scroll button's style follows its own pressed flag and the hot point
// on it.
TuiNavBarStyleItem* TuiNavBarViewInfo::BottomScrollButtonStyleItem() {
  if (FControl->BottomScrollButtonPressed()) return FControl->StyleButtonPressed();
  if (contains(FDownButtonBounds, FControl->HotPoint())) return FControl->StyleButtonHotTracked();
  return FControl->StyleButton();
}

TuiNavBarDefaultStyle* TuiNavBarViewInfo::BottomScrollButtonDefaultStyle() {
  if (FControl->BottomScrollButtonPressed()) return DefaultStyle(2);
  if (contains(FDownButtonBounds, FControl->HotPoint())) return DefaultStyle(3);
  return DefaultStyle(1);
}

TuiNavBarStyleItem* TuiNavBarViewInfo::TopScrollButtonStyleItem() {
  if (FControl->TopScrollButtonPressed()) return FControl->StyleButtonPressed();
  if (contains(FUpButtonBounds, FControl->HotPoint())) return FControl->StyleButtonHotTracked();
  return FControl->StyleButton();
}

TuiNavBarDefaultStyle* TuiNavBarViewInfo::TopScrollButtonDefaultStyle() {
  if (FControl->TopScrollButtonPressed()) return DefaultStyle(2);
  if (contains(FUpButtonBounds, FControl->HotPoint())) return DefaultStyle(3);
  return DefaultStyle(1);
}

#define UI_BUTTON_VALUES(Prefix, Top)                                                                          \
  TPicture* TuiNavBarViewInfo::Prefix##Image() { return buttonStyle(Top, savImage)->Image(); }                 \
  TColor TuiNavBarViewInfo::Prefix##BackColor() { return buttonStyle(Top, savBackColor)->BackColor(); }        \
  TColor TuiNavBarViewInfo::Prefix##BackColor2() { return buttonStyle(Top, savBackColor2)->BackColor2(); }     \
  BYTE TuiNavBarViewInfo::Prefix##AlphaBlending() { return buttonStyle(Top, savAlphaBlending)->AlphaBlending(); } \
  BYTE TuiNavBarViewInfo::Prefix##AlphaBlending2() {                                                           \
    return buttonStyle(Top, savAlphaBlending2)->AlphaBlending2();                                              \
  }                                                                                                            \
  TuiBarStyleGradientMode TuiNavBarViewInfo::Prefix##GradientMode() {                                          \
    return buttonStyle(Top, savGradientMode)->GradientMode();                                                  \
  }
UI_BUTTON_VALUES(BottomScrollButton, false)
UI_BUTTON_VALUES(TopScrollButton, true)
#undef UI_BUTTON_VALUES

// The gradient values of an element whose style item and default style
// do not depend on its state.
#define UI_GRADIENT_VALUES(Prefix, Item, Index)                                                                \
  TColor TuiNavBarViewInfo::Prefix##BackColor() {                                                              \
    return StyleFor(Item, DefaultStyle(Index), savBackColor)->BackColor();                                     \
  }                                                                                                            \
  TColor TuiNavBarViewInfo::Prefix##BackColor2() {                                                             \
    return StyleFor(Item, DefaultStyle(Index), savBackColor2)->BackColor2();                                   \
  }                                                                                                            \
  BYTE TuiNavBarViewInfo::Prefix##AlphaBlending() {                                                            \
    return StyleFor(Item, DefaultStyle(Index), savAlphaBlending)->AlphaBlending();                             \
  }                                                                                                            \
  BYTE TuiNavBarViewInfo::Prefix##AlphaBlending2() {                                                           \
    return StyleFor(Item, DefaultStyle(Index), savAlphaBlending2)->AlphaBlending2();                           \
  }                                                                                                            \
  TuiBarStyleGradientMode TuiNavBarViewInfo::Prefix##GradientMode() {                                          \
    return StyleFor(Item, DefaultStyle(Index), savGradientMode)->GradientMode();                               \
  }
// The same with the element's picture.
#define UI_FIXED_VALUES(Prefix, Item, Index)                                                                   \
  TPicture* TuiNavBarViewInfo::Prefix##Image() { return StyleFor(Item, DefaultStyle(Index), savImage)->Image(); } \
  UI_GRADIENT_VALUES(Prefix, Item, Index)
UI_FIXED_VALUES(Background, FControl->StyleBackground(), 0)
UI_FIXED_VALUES(Hint, FControl->StyleHint(), 12)
UI_FIXED_VALUES(NavigationPaneHeader, FControl->StyleNavigationPaneHeader(), 19)
UI_FIXED_VALUES(OverflowPanel, nullptr, 6)
UI_GRADIENT_VALUES(DropTargetGroup, FControl->StyleDropTargetGroup(), 17)
#undef UI_FIXED_VALUES
#undef UI_GRADIENT_VALUES

TFont* TuiNavBarViewInfo::HintFont() { return StyleFor(FControl->StyleHint(), DefaultStyle(12), savFont)->Font(); }

TColor TuiNavBarViewInfo::DropTargetLinkColor() {
  return StyleFor(FControl->StyleDropTargetLink(), DefaultStyle(18), savBackColor)->BackColor();
}

TFont* TuiNavBarViewInfo::NavigationPaneHeaderFont() {
  FPaneHeaderFont->Assign(StyleFor(FControl->StyleNavigationPaneHeader(), DefaultStyle(19), savFont)->Font());
  return FPaneHeaderFont;
}
TColor TuiNavBarViewInfo::NavigationPaneHeaderFontColor() { return NavigationPaneHeaderFont()->Color(); }
TuiBarStyleHAlignment TuiNavBarViewInfo::NavigationPaneHeaderHAlignment() {
  return StyleFor(FControl->StyleNavigationPaneHeader(), DefaultStyle(19), savHAlignment)->HAlignment();
}
TuiBarStyleVAlignment TuiNavBarViewInfo::NavigationPaneHeaderVAlignment() {
  return StyleFor(FControl->StyleNavigationPaneHeader(), DefaultStyle(19), savVAlignment)->VAlignment();
}
TFont* TuiNavBarViewInfo::OverflowPanelFont() { return DefaultStyle(6)->Font(); }
TColor TuiNavBarViewInfo::OverflowPanelFontColor() { return OverflowPanelFont()->Color(); }

// --- default styles ---------------------------------------------------------------

void TuiNavBarViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clAppWorkSpace);
}

void TuiNavBarViewInfo::AssignDefaultButtonStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clBtnFace);
}

void TuiNavBarViewInfo::AssignDefaultButtonPressedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(1));
}

void TuiNavBarViewInfo::AssignDefaultButtonHotTrackedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(1));
}

void TuiNavBarViewInfo::AssignDefaultGroupControlStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}

void TuiNavBarViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clAppWorkSpace);
}

void TuiNavBarViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clBtnFace);
  AStyle->Font()->SetColor(clBtnText);
  AStyle->SetHAlignment(haCenter);
}

void TuiNavBarViewInfo::AssignDefaultGroupHeaderActiveStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(6));
}

void TuiNavBarViewInfo::AssignDefaultGroupHeaderActiveHotTrackedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(7));
}

void TuiNavBarViewInfo::AssignDefaultGroupHeaderActivePressedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(7));
}

void TuiNavBarViewInfo::AssignDefaultGroupHeaderHotTrackedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(6));
}

void TuiNavBarViewInfo::AssignDefaultGroupHeaderPressedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(6));
}

void TuiNavBarViewInfo::AssignDefaultHintStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clInfoBk);
  AStyle->Font()->SetColor(clInfoText);
  AStyle->SetHAlignment(haCenter);
}

void TuiNavBarViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Font()->SetColor(clBtnHighlight);
  AStyle->SetHAlignment(haCenter);
}

void TuiNavBarViewInfo::AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(13));
  AStyle->Font()->SetColor(clBtnText);
}

void TuiNavBarViewInfo::AssignDefaultItemHotTrackedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(13));
}

void TuiNavBarViewInfo::AssignDefaultItemPressedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(13));
}

void TuiNavBarViewInfo::AssignDefaultDropTargetGroupStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clHighlight);
  AStyle->SetAlphaBlending(60);
  AStyle->SetAlphaBlending2(60);
}

void TuiNavBarViewInfo::AssignDefaultDropTargetLinkStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->SetBackColor(clBlack);
}

void TuiNavBarViewInfo::AssignDefaultNavigationPaneHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
}

void TuiNavBarViewInfo::AssignDefaultStyle(int AIndex, TuiBaseNavBarStyle* AStyle) {
  using Assign = void (TuiNavBarViewInfo::*)(TuiBaseNavBarStyle*);
  static constexpr Assign kByIndex[TuiNavBarDefaultStyles::StyleCount] = {
      &TuiNavBarViewInfo::AssignDefaultBackgroundStyle,
      &TuiNavBarViewInfo::AssignDefaultButtonStyle,
      &TuiNavBarViewInfo::AssignDefaultButtonPressedStyle,
      &TuiNavBarViewInfo::AssignDefaultButtonHotTrackedStyle,
      &TuiNavBarViewInfo::AssignDefaultGroupBackgroundStyle,
      &TuiNavBarViewInfo::AssignDefaultGroupControlStyle,
      &TuiNavBarViewInfo::AssignDefaultGroupHeaderStyle,
      &TuiNavBarViewInfo::AssignDefaultGroupHeaderActiveStyle,
      &TuiNavBarViewInfo::AssignDefaultGroupHeaderActiveHotTrackedStyle,
      &TuiNavBarViewInfo::AssignDefaultGroupHeaderActivePressedStyle,
      &TuiNavBarViewInfo::AssignDefaultGroupHeaderHotTrackedStyle,
      &TuiNavBarViewInfo::AssignDefaultGroupHeaderPressedStyle,
      &TuiNavBarViewInfo::AssignDefaultHintStyle,
      &TuiNavBarViewInfo::AssignDefaultItemStyle,
      &TuiNavBarViewInfo::AssignDefaultItemDisabledStyle,
      &TuiNavBarViewInfo::AssignDefaultItemHotTrackedStyle,
      &TuiNavBarViewInfo::AssignDefaultItemPressedStyle,
      &TuiNavBarViewInfo::AssignDefaultDropTargetGroupStyle,
      &TuiNavBarViewInfo::AssignDefaultDropTargetLinkStyle,
      &TuiNavBarViewInfo::AssignDefaultNavigationPaneHeaderStyle,
  };
  if (AIndex < 0 || AIndex >= TuiNavBarDefaultStyles::StyleCount) return;
  // A local copy of the member pointer: GCC 12 under UBSan miscompiles a
  // call through the array element itself.
  const Assign assign = kByIndex[AIndex];
  (this->*assign)(AStyle);
}

// ---------------------------------------------------------------------------
// TuiNavBarPainter

TuiNavBarPainter::TuiNavBarPainter(TuiCustomNavBar* ANavBar) : FNavBar(ANavBar) {}

void TuiNavBarPainter::AfterConstruction() {
  if (!FViewInfo) FViewInfo = CreateViewInfo();
}

TuiNavBarPainter::~TuiNavBarPainter() { delete FViewInfo; }

TPersistent* TuiNavBarPainter::GetOwner() const { return FNavBar; }

TuiNavBarViewInfo* TuiNavBarPainter::CreateViewInfo() { return new TuiNavBarViewInfo(this); }

TuiNavBarGroupViewInfo* TuiNavBarPainter::CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo, TuiNavBarGroup* AGroup,
                                                              bool AItemsVisible, bool ACaptionVisible) {
  return new TuiNavBarGroupViewInfo(AViewInfo, AGroup, AItemsVisible, ACaptionVisible);
}

TuiNavBarLinkViewInfo* TuiNavBarPainter::CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo,
                                                            TuiNavBarItemLink* ALink, bool AImageVisible,
                                                            bool ACaptionVisible) {
  return new TuiNavBarLinkViewInfo(AGroupInfo, ALink, AImageVisible, ACaptionVisible);
}

TuiBaseBackgroundPainterClass TuiNavBarPainter::BackgroundPainterClass() { return TuiBaseBackgroundPainter::Class(); }
TuiBaseButtonPainterClass TuiNavBarPainter::ButtonPainterClass() { return TuiBaseButtonPainter::Class(); }
TuiBaseDropTargetGroupPainterClass TuiNavBarPainter::DropTargetGroupPainterClass() {
  return TuiBaseDropTargetGroupPainter::Class();
}
TuiBaseDropTargetLinkPainterClass TuiNavBarPainter::DropTargetLinkPainterClass() {
  return TuiBaseDropTargetLinkPainter::Class();
}
TuiBaseGroupBackgroundPainterClass TuiNavBarPainter::GroupBackgroundPainterClass() {
  return TuiBaseGroupBackgroundPainter::Class();
}
TuiBaseGroupBorderPainterClass TuiNavBarPainter::GroupBorderPainterClass() {
  return TuiBaseGroupBorderPainter::Class();
}
TuiBaseImagePainterClass TuiNavBarPainter::ImagePainterClass() { return TuiBaseImagePainter::Class(); }
TuiBaseScrollButtonsPainterClass TuiNavBarPainter::ScrollButtonsPainterClass() {
  return TuiBaseScrollButtonsPainter::Class();
}
TuiBaseSelectionPainterClass TuiNavBarPainter::SelectionPainterClass() { return TuiBaseSelectionPainter::Class(); }
TuiBaseSignPainterClass TuiNavBarPainter::SignPainterClass() { return TuiBaseSignPainter::Class(); }

TCanvas* TuiNavBarPainter::Canvas() const { return FNavBar->BackBuffer()->Canvas(); }
HDC TuiNavBarPainter::DC() const { return Canvas()->Handle(); }
TCanvas* TuiNavBarPainter::HintCanvas() const { return FNavBar->HintWindow()->Canvas(); }
HDC TuiNavBarPainter::HintDC() const { return HintCanvas()->Handle(); }

void TuiNavBarPainter::InvalidateViewInfo(TuiNavBarChangeType AType) {
  if (AType == doRecreate) FRebuildPending = true;
  if (AType == doRecreate || AType == doRecalc) FRelayoutPending = true;
  FRepaintPending = true;
}

void TuiNavBarPainter::Prepare() {
  // While the bar is locked nothing is built, and what was asked for waits
  // for the end of the lock.
  if (FNavBar->Locked()) return;
  TBitmap* buffer = FNavBar->BackBuffer();
  if (buffer->Width() == 0) buffer->SetWidth(FNavBar->ClientWidth());
  if (buffer->Height() == 0) buffer->SetHeight(FNavBar->ClientHeight());
  // The flags are taken before the work, so that a change the work itself
  // causes is done at the next paint rather than lost.
  const bool rebuild = FRebuildPending, relayout = FRelayoutPending, repaint = FRepaintPending;
  FRebuildPending = FRelayoutPending = FRepaintPending = false;
  if (rebuild) FViewInfo->CreateGroupsInfo();
  if (relayout) FViewInfo->CalculateBounds();
  if (repaint) DrawNavBarControl();
}

void TuiNavBarPainter::Paint() {
  Prepare();
  TBitmap* buffer = FNavBar->BackBuffer();
  BitBlt(FNavBar->Canvas()->Handle(), 0, 0, FViewInfo->ClientWidth(), FViewInfo->ClientHeight(),
         buffer->Canvas()->Handle(), 0, 0, SRCCOPY);
  SelectClipRgn(buffer->Canvas()->Handle(), nullptr);
}

void TuiNavBarPainter::InvalidateScrollButtons() {
  if (!FNavBar->HandleAllocated()) return;
  if (FViewInfo->IsTopScrollButtonVisible()) InvalidateRect(FNavBar->Handle(), &FViewInfo->UpButtonBounds(), TRUE);
  if (FViewInfo->IsBottomScrollButtonVisible())
    InvalidateRect(FNavBar->Handle(), &FViewInfo->DownButtonBounds(), TRUE);
}

void TuiNavBarPainter::DrawNavBarControl() {
  bool handled = false;
  if (FNavBar->OnCustomDrawBackground) FNavBar->OnCustomDrawBackground(FNavBar, Canvas(), FViewInfo, handled);
  if (!handled) DrawBackground();
  for (int i = 0; i < FViewInfo->GroupCount(); ++i) {
    TuiNavBarGroupViewInfo* group = FViewInfo->GroupInfos(i);
    if (RectVisible(DC(), &group->Bounds)) DrawGroup(group);
  }
  DrawScrollButtons();
  DrawDropTargetGroupSelection();
  DrawDropTargetLinkSelection();
}

void TuiNavBarPainter::DrawBackground() {
  const TRect client{0, 0, FViewInfo->ClientWidth(), FViewInfo->ClientHeight()};
  BackgroundPainterClass()->DrawBackground(Canvas(), client, FViewInfo->BackgroundImage(), true, FNavBar->Color(),
                                           FViewInfo->BackgroundBackColor(), FViewInfo->BackgroundBackColor2(),
                                           FViewInfo->BackgroundAlphaBlending(), FViewInfo->BackgroundAlphaBlending2(),
                                           FViewInfo->BackgroundGradientMode());
}

void TuiNavBarPainter::DrawGroup(TuiNavBarGroupViewInfo* AGroupInfo) {
  bool handled = false;
  if (FNavBar->OnCustomDrawGroupClientBackground)
    FNavBar->OnCustomDrawGroupClientBackground(FNavBar, Canvas(), AGroupInfo, handled);
  if (!handled) {
    DrawGroupBackground(AGroupInfo);
    if (FViewInfo->IsGroupExpanded(AGroupInfo->SourceGroup())) DrawGroupBorder(AGroupInfo);
  }
  if (!AGroupInfo->GetControl()) {
    handled = false;
    if (FNavBar->OnCustomDrawGroupClientForeground)
      FNavBar->OnCustomDrawGroupClientForeground(FNavBar, Canvas(), AGroupInfo, handled);
    if (!handled) DrawGroupItems(AGroupInfo);
  }
  if (AGroupInfo->IsCaptionVisible()) {
    handled = false;
    if (FNavBar->OnCustomDrawGroupCaption) FNavBar->OnCustomDrawGroupCaption(FNavBar, Canvas(), AGroupInfo, handled);
    if (!handled) DrawGroupCaption(AGroupInfo);
  }
}

void TuiNavBarPainter::DrawGroupBackground(TuiNavBarGroupViewInfo* AGroupInfo) {
  GroupBackgroundPainterClass()->DrawBackground(
      Canvas(), AGroupInfo->ClientBounds, AGroupInfo->GetBackgroundImage(), AGroupInfo->GetBackgroundBackColor(),
      AGroupInfo->GetBackgroundBackColor2(), AGroupInfo->GetBackgroundAlphaBlending(),
      AGroupInfo->GetBackgroundAlphaBlending2(), AGroupInfo->GetBackgroundGradientMode());
}

void TuiNavBarPainter::DrawGroupBorder(TuiNavBarGroupViewInfo* AGroupInfo) {
  GroupBorderPainterClass()->DrawBorder(Canvas(), AGroupInfo->ClientBounds, AGroupInfo->GetBorderColor(),
                                        AGroupInfo->IsCaptionVisible());
}

void TuiNavBarPainter::DrawGroupCaption(TuiNavBarGroupViewInfo* AGroupInfo) {
  DrawGroupCaptionButton(AGroupInfo);
  DrawGroupCaptionText(AGroupInfo);
  if (AGroupInfo->IsCaptionImageVisible()) DrawGroupCaptionImage(AGroupInfo);
  if (AGroupInfo->IsCaptionSignVisible() && AGroupInfo->SourceGroup()->ShowExpandButton())
    DrawGroupCaptionSign(AGroupInfo);
}

void TuiNavBarPainter::DrawGroupCaptionButton(TuiNavBarGroupViewInfo* AGroupInfo) {
  ButtonPainterClass()->DrawButton(Canvas(), AGroupInfo->HeaderBounds, AGroupInfo->GetCaptionImage(),
                                   AGroupInfo->GetCaptionBackColor(), AGroupInfo->GetCaptionBackColor2(),
                                   AGroupInfo->GetCaptionAlphaBlending(), AGroupInfo->GetCaptionAlphaBlending2(),
                                   AGroupInfo->GetCaptionGradientMode(), AGroupInfo->GetCaptionBorderColor(),
                                   AGroupInfo->GetState());
}

void TuiNavBarPainter::DrawGroupCaptionText(TuiNavBarGroupViewInfo* AGroupInfo) {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(AGroupInfo->GetCaptionFont());
  canvas->Font()->SetColor(AGroupInfo->GetCaptionFontColor());
  RECT r = AGroupInfo->HeaderTextBounds;
  lkDrawText(canvas->Handle(), AGroupInfo->SourceGroup()->Caption(), r, AGroupInfo->GetCaptionDrawTextFlags());
  canvas->Brush()->SetStyle(bsSolid);
}

void TuiNavBarPainter::DrawGroupCaptionImage(TuiNavBarGroupViewInfo* AGroupInfo) {
  ImagePainterClass()->DrawImage(Canvas(), AGroupInfo->GetImageList(), AGroupInfo->GetImageIndex(),
                                 AGroupInfo->HeaderImageBounds, true);
}

void TuiNavBarPainter::DrawGroupCaptionSign(TuiNavBarGroupViewInfo* AGroupInfo) {
  SignPainterClass()->DrawSign(Canvas(), AGroupInfo->HeaderSignBounds, AGroupInfo->GetCaptionSignColor(),
                               AGroupInfo->GetCaptionBackColor(), AGroupInfo->GetCaptionBackColor2(),
                               AGroupInfo->GetState());
}

void TuiNavBarPainter::DrawGroupControl(TCanvas* ACanvas, const TRect& ARect, TuiNavBarGroupViewInfo* AGroupInfo) {
  GroupBackgroundPainterClass()->DrawBackground(
      ACanvas, ARect, AGroupInfo->GetControlImage(), AGroupInfo->GetControlBackColor(),
      AGroupInfo->GetControlBackColor2(), AGroupInfo->GetControlAlphaBlending(), AGroupInfo->GetControlAlphaBlending2(),
      AGroupInfo->GetControlGradientMode());
}

void TuiNavBarPainter::DrawGroupItems(TuiNavBarGroupViewInfo* AGroupInfo) {
  const TRect& items = AGroupInfo->ClientBounds;
  for (int i = 0; i < AGroupInfo->LinkCount(); ++i) {
    TuiNavBarLinkViewInfo* link = AGroupInfo->LinkInfos(i);
    if (link->Bounds.top < items.top || link->Bounds.top > items.bottom) continue;
    if (link->Bounds.bottom > items.bottom)
      ExcludeClipRect(DC(), link->Bounds.left, items.bottom, link->Bounds.right, link->Bounds.bottom);
    DrawLink(link);
    SelectClipRgn(DC(), nullptr);
  }
}

void TuiNavBarPainter::DrawLink(TuiNavBarLinkViewInfo* ALinkInfo) {
  bool handled = false;
  if (FNavBar->OnCustomDrawLink) FNavBar->OnCustomDrawLink(FNavBar, Canvas(), ALinkInfo, handled);
  if (handled) return;
  DrawLinkSelection(ALinkInfo);
  if (IsNavBarImageAssigned(ALinkInfo->GetImageList(), ALinkInfo->GetImageIndex()) && ALinkInfo->IsImageVisible())
    DrawLinkImage(ALinkInfo);
  DrawLinkCaption(ALinkInfo);
}

void TuiNavBarPainter::DrawLinkCaption(TuiNavBarLinkViewInfo* ALinkInfo) {
  if (!ALinkInfo->SourceItem()) return;
  TRect r = ALinkInfo->TextBounds;
  r.left = std::max(r.left, ALinkInfo->Bounds.left);
  r.right = std::min(r.right, ALinkInfo->Bounds.right);
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(ALinkInfo->GetFont());
  canvas->Font()->SetColor(ALinkInfo->GetFontColor());
  RECT text = r;
  lkDrawText(canvas->Handle(), ALinkInfo->SourceItem()->Caption(), text,
             ALinkInfo->GetDrawTextFlags() | DT_END_ELLIPSIS);
  canvas->Brush()->SetStyle(bsSolid);
}

void TuiNavBarPainter::DrawLinkImage(TuiNavBarLinkViewInfo* ALinkInfo) {
  ImagePainterClass()->DrawImage(Canvas(), ALinkInfo->GetImageList(), ALinkInfo->GetImageIndex(),
                                 ALinkInfo->ImageBounds, ALinkInfo->SourceItem()->Enabled());
}

void TuiNavBarPainter::DrawLinkSelection(TuiNavBarLinkViewInfo* ALinkInfo) {
  if (!ALinkInfo->SourceItem() || !ALinkInfo->SourceItem()->Enabled()) return;
  SelectionPainterClass()->DrawSelection(Canvas(), ALinkInfo->GetSelectionRect(),
                                         ALinkInfo->OwnerGroupInfo()->GetBackgroundBackColor(), ALinkInfo->GetState());
}

void TuiNavBarPainter::DrawScrollButtons() {
  if (FViewInfo->IsTopScrollButtonVisible()) {
    bool handled = false;
    if (FNavBar->OnCustomDrawTopScrollButton) FNavBar->OnCustomDrawTopScrollButton(FNavBar, Canvas(), FViewInfo, handled);
    if (!handled) DrawTopScrollButton();
  }
  if (FViewInfo->IsBottomScrollButtonVisible()) {
    bool handled = false;
    if (FNavBar->OnCustomDrawBottomScrollButton)
      FNavBar->OnCustomDrawBottomScrollButton(FNavBar, Canvas(), FViewInfo, handled);
    if (!handled) DrawBottomScrollButton();
  }
}

void TuiNavBarPainter::DrawTopScrollButton() {
  const TRect r = FViewInfo->UpButtonBounds();
  ScrollButtonsPainterClass()->DrawTopButton(
      Canvas(), r, ButtonPainterClass(), FViewInfo->TopScrollButtonBackColor(), FViewInfo->TopScrollButtonBackColor2(),
      FViewInfo->TopScrollButtonAlphaBlending(), FViewInfo->TopScrollButtonAlphaBlending2(),
      FViewInfo->TopScrollButtonGradientMode(), FViewInfo->ButtonBorderColor(), FViewInfo->TopScrollButtonState());
  ExcludeClipRect(DC(), r.left, r.top, r.right, r.bottom);
}

void TuiNavBarPainter::DrawBottomScrollButton() {
  const TRect r = FViewInfo->DownButtonBounds();
  ScrollButtonsPainterClass()->DrawBottomButton(
      Canvas(), r, ButtonPainterClass(), FViewInfo->BottomScrollButtonBackColor(),
      FViewInfo->BottomScrollButtonBackColor2(), FViewInfo->BottomScrollButtonAlphaBlending(),
      FViewInfo->BottomScrollButtonAlphaBlending2(), FViewInfo->BottomScrollButtonGradientMode(),
      FViewInfo->ButtonBorderColor(), FViewInfo->BottomScrollButtonState());
  ExcludeClipRect(DC(), r.left, r.top, r.right, r.bottom);
}

namespace {

// A bar shows drop marks only for its own drag: the target of a drag is
// computed on the bar it started from.
bool dragsHere(TuiCustomNavBar* ANavBar) {
  TuiNavBarDragObject* drag = navBarDragObject();
  return ANavBar->IsDragging() && (!drag || drag->SourceControl() == ANavBar);
}

}  // namespace

void TuiNavBarPainter::DrawDropTargetGroupSelection() {
  if (!dragsHere(FNavBar) || !FNavBar->DraggedGroup() || !FNavBar->DragDropFlags().Contains(fAllowDropGroup))
    return;
  const TPoint p = FNavBar->HotPoint();
  TuiNavBarGroupViewInfo* target = FViewInfo->GetGroupViewInfoAtCaptionPos(p);
  if (!target) target = FViewInfo->GetGroupViewInfoAtItemsPos(p);
  if (!target || target->SourceGroup() == FNavBar->DraggedGroup()) return;
  DropTargetGroupPainterClass()->DrawDropTargetGroup(
      Canvas(), target->HeaderBounds, FViewInfo->DropTargetGroupBackColor(), FViewInfo->DropTargetGroupBackColor2(),
      FViewInfo->DropTargetGroupAlphaBlending(), FViewInfo->DropTargetGroupAlphaBlending2(),
      FViewInfo->DropTargetGroupGradientMode());
}

void TuiNavBarPainter::DrawDropTargetLinkSelection() {
  if (!dragsHere(FNavBar) || (!FNavBar->DraggedLink() && !FNavBar->DraggedItem()) ||
      !FNavBar->DragDropFlags().Contains(fAllowDropLink))
    return;
  TuiNavBarGroupViewInfo* group = nullptr;
  TuiNavBarLinkViewInfo *after = nullptr, *before = nullptr;
  FViewInfo->GetDropTargetInfo(FNavBar->HotPoint(), group, after, before);
  if (!group || (!after && !before)) return;
  // A copy may land next to its source; a move there would move nothing.
  TuiNavBarItemLink* dragged = FNavBar->DraggedItem() ? nullptr : FNavBar->DraggedLink();
  if (dragged && ((after && after->SourceLink() == dragged) || (before && before->SourceLink() == dragged))) return;
  const bool icons = group->IsIconView();
  TPoint p1, p2;
  if (before) {
    p1 = icons ? TPoint{before->Bounds.right, before->Bounds.top} : TPoint{before->Bounds.left, before->Bounds.bottom};
    p2 = TPoint{before->Bounds.right, before->Bounds.bottom};
  } else {
    p1 = TPoint{after->Bounds.left, after->Bounds.top};
    p2 = icons ? TPoint{after->Bounds.left, after->Bounds.bottom} : TPoint{after->Bounds.right, after->Bounds.top};
  }
  // A point on the items area's right or bottom edge still marks its last
  // row or column.
  const TRect& items = group->ClientBounds;
  const auto inside = [&](const TPoint& p) {
    return p.x >= items.left && p.x <= items.right && p.y >= items.top && p.y <= items.bottom;
  };
  if (!inside(p1) || !inside(p2)) return;
  const TColor color = FViewInfo->DropTargetLinkColor();
  if (icons) {
    DropTargetLinkPainterClass()->DrawDropTargetLink(Canvas(), p1, p1, p1, p2, p2, p2, color);
    return;
  }
  const int h = FViewInfo->DropTargetMarkHeight(), indent = FViewInfo->DropTargetMarkIndent();
  const int w = lkGetRectWidth(group->Bounds);
  const int x0 = p1.x, y = p1.y;
  const TPoint a{x0 + indent, y};
  const TPoint b{x0, before ? y - h / 2 : y};
  const TPoint c{x0, after ? y + h / 2 : y};
  const TPoint d{a.x + w - 2 * indent - 1, y};
  const TPoint e{b.x + w - 1, b.y};
  const TPoint f{c.x + w - 1, c.y};
  DropTargetLinkPainterClass()->DrawDropTargetLink(Canvas(), a, b, c, d, e, f, color);
}

void TuiNavBarPainter::DrawHintWindow() {
  if (FNavBar->HotTrackedGroup())
    DrawGroupHintWindow();
  else if (FNavBar->HotTrackedLink())
    DrawLinkHintWindow();
}

namespace {

void drawStandardHint(TuiNavBarViewInfo* AViewInfo, TCanvas* ACanvas, const std::string& AHint, const TRect& R) {
  TuiNavBarHintPainter::Class()->DrawHint(ACanvas, R, AHint, AViewInfo->HintImage(), AViewInfo->HintBackColor(),
                                          AViewInfo->HintBackColor2(), AViewInfo->HintAlphaBlending(),
                                          AViewInfo->HintAlphaBlending2(), AViewInfo->HintGradientMode(),
                                          AViewInfo->HintFont());
}

}  // namespace

void TuiNavBarPainter::DrawStandardHint(const std::string& AHint, const TRect& R) {
  drawStandardHint(FViewInfo, HintCanvas(), AHint, R);
}

void TuiNavBarPainter::DrawGroupHintWindow() {
  TuiNavBarHintWindow* hint = FNavBar->HintWindow();
  const TRect r = hint->ClientRect();
  bool handled = false;
  if (FNavBar->OnCustomDrawGroupHint)
    FNavBar->OnCustomDrawGroupHint(FNavBar, HintCanvas(), FNavBar->HotTrackedGroup(), FViewInfo->CurrentHint(), r,
                                   handled);
  if (!handled) drawStandardHint(FViewInfo, HintCanvas(), FViewInfo->CurrentHint(), r);
}

void TuiNavBarPainter::DrawLinkHintWindow() {
  TuiNavBarHintWindow* hint = FNavBar->HintWindow();
  const TRect r = hint->ClientRect();
  bool handled = false;
  if (FNavBar->OnCustomDrawLinkHint)
    FNavBar->OnCustomDrawLinkHint(FNavBar, HintCanvas(), FNavBar->HotTrackedLink(), FViewInfo->CurrentHint(), r,
                                  handled);
  if (!handled) drawStandardHint(FViewInfo, HintCanvas(), FViewInfo->CurrentHint(), r);
}

// ---------------------------------------------------------------------------
// TuiNavBarScrollBar

TuiNavBarScrollBar::TuiNavBarScrollBar(TuiCustomNavBar* AParent, TScrollBarKind AKind)
    : FParent(AParent), FScrollBar(new TlkScrollBar(nullptr)), FKind(AKind) {
  FScrollBar->SetKind(AKind);
  FScrollBar->SetControlStyle(FScrollBar->ControlStyle() + TControlStyle{csNoDesignVisible});
  FScrollBar->OnScroll = [this](TObject* Sender, TScrollCode ACode, int& APos) { Scroll(Sender, ACode, APos); };
  FScrollBar->SetParent(AParent);
  Reset();
}

TuiNavBarScrollBar::~TuiNavBarScrollBar() { delete FScrollBar; }

void TuiNavBarScrollBar::Reset() {
  FMin = 0;
  FMax = 100;
  FPage = 0;
  FPosition = 0;
  FTrackPos = 0;
  FScrollBar->SetVisible(false);
  FVisible = false;
}

void TuiNavBarScrollBar::SetScrollParams(int AMin, int AMax, bool ARedraw, int APage, int APosition) {
  if (AMax < AMin || AMax < APage) throw EInvalidOperation(LoadResString(&SScrollBarRange));
  int position = APosition;
  if (position < AMin) position = AMin;
  if (position > AMax - APage) position = AMax - APage;
  // Against the bar's client area, which leaves the scroll bar out while
  // it shows.
  const TRect client = FParent->ClientRect();
  const int width = Width();
  if (FKind == sbVertical)
    FScrollBar->SetBounds(client.right, client.top, width, client.bottom - client.top);
  else
    FScrollBar->SetBounds(client.left, client.bottom, client.right - client.left, GetSystemMetrics(SM_CYHSCROLL));
  if (AMin == FMin && AMax == FMax && APage == FPage && position == FPosition) return;
  FMin = AMin;
  FMax = AMax;
  FPage = APage;
  FPosition = position;
  FScrollBar->SetScrollParams(AMin, AMax, APage, position, ARedraw);
  LargeChange = APage;
}

void TuiNavBarScrollBar::SetPosition(int Value) { SetScrollParams(FMin, FMax, true, FPage, Value); }

void TuiNavBarScrollBar::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  FScrollBar->SetVisible(Value);
}

int TuiNavBarScrollBar::Width() const { return GetSystemMetrics(SM_CXVSCROLL); }
int TuiNavBarScrollBar::Height() const { return FParent->ClientHeight(); }

void TuiNavBarScrollBar::Scroll(TObject*, TScrollCode AScrollCode, int& AScrollPos) {
  int position = FPosition;
  switch (AScrollCode) {
    case scLineUp: position -= SmallChange; break;
    case scLineDown: position += SmallChange; break;
    case scPageUp: position -= LargeChange; break;
    case scPageDown: position += LargeChange; break;
    case scTop: position = FMin; break;
    case scBottom: position = FMax; break;
    case scPosition:
    case scTrack: position = AScrollPos; break;
    default: break;
  }
  // The adapter keeps the one true position; the scroll bar control gets it
  // from here, clamped.
  SetPosition(position);
  AScrollPos = position;
  if (OnScroll) OnScroll(this, AScrollCode, AScrollPos);
  AScrollPos = FPosition;
}

// ---------------------------------------------------------------------------
// TuiNavBarHintWindow

TuiNavBarHintWindow::TuiNavBarHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {}

void TuiNavBarHintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.ExStyle |= WS_EX_TOOLWINDOW;
  // Drop shadows came with XP.
  if (IsXPOrLater()) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TuiNavBarHintWindow::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

void TuiNavBarHintWindow::WndProc(TMessage& Message) {
  // The mouse passes through to what lies below.
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::WndProc(Message);
}

void TuiNavBarHintWindow::Paint() {
  if (auto* bar = dynamic_cast<TuiCustomNavBar*>(Owner())) {
    bar->GetPainter()->DrawHintWindow();
    return;
  }
  TCustomControl::Paint();
}

void TuiNavBarHintWindow::ShowHint(const TRect& ARect, const std::string& AText) {
  SetCaption(AText);
  SetBoundsRect(ARect);
  // Kept on the work area: its right and bottom edges, not the desktop's
  // width and height, bound it.
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int left = ARect.left, top = ARect.top;
  const int w = Width(), h = Height();
  if (top + h > work.bottom) top = work.bottom - h;
  if (left + w > work.right) left = work.right - w;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  SetWindowPos(Handle(), HWND_TOPMOST, left, top, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  Invalidate();
  Update();
}

// ---------------------------------------------------------------------------
// TuiCustomNavBar

TuiCustomNavBar::TuiCustomNavBar(TComponent* AOwner) : TCustomPanel(AOwner), FBackBuffer(new TBitmap) {
  FScrollBar = new TuiNavBarScrollBar(this, sbVertical);
  FScrollBar->OnScroll = [this](TObject* Sender, TScrollCode ACode, int& APos) { scrollBarScroll(Sender, ACode, APos); };
  const auto timer = [this](UINT AInterval, void (TuiCustomNavBar::*ATick)(TObject*)) {
    auto* t = new TlkTimer(this);
    t->SetEnabled(false);
    t->SetInterval(AInterval);
    t->SetOnTimer([this, ATick](TObject* Sender) { (this->*ATick)(Sender); });
    return t;
  };
  FActivateGroupTimer = timer(300, &TuiCustomNavBar::activateGroupTimerTick);
  FScrollTimer = timer(300, &TuiCustomNavBar::scrollTimerTick);
  FHintTimer = timer(1000, &TuiCustomNavBar::hintTimerTick);
  FGroups = new TuiNavBarGroups(this, GetGroupClass());
  FGroups->OnChange = [this](TObject* S, TlkComponentCollectionItem* I, TlkCollectionChangeAction A) {
    GroupsChanged(S, I, A);
  };
  FGroups->OnLinksChange = [this](TObject* S, TuiNavBarItemLink* L) { LinksChanged(S, L); };
  FItems = new TuiNavBarItems(this, GetItemClass());
  FItems->OnChange = [this](TObject* S, TlkComponentCollectionItem* I, TlkCollectionChangeAction A) {
    ItemsChanged(S, I, A);
  };
  FStyles = new TuiNavBarStyles(this);
  FStyles->OnChange = [this](TObject* S, TlkComponentCollectionItem* I, TlkCollectionChangeAction A) {
    StylesChanged(S, I, A);
  };
  FDefaultStyles = new TuiNavBarDefaultStyles(this);
  FDefaultStyles->OnChange = [this](TObject* S, TuiNavBarChangeType T) { DefaultStylesChanged(S, T); };
  FLargeChangeLink = new TChangeLink;
  FLargeChangeLink->OnChange = [this](TObject* S) { imagesChanged(S); };
  FSmallChangeLink = new TChangeLink;
  FSmallChangeLink->OnChange = [this](TObject* S) { imagesChanged(S); };
  FThemeNotificator = new TuiThemeChangedNotificator;
  FThemeNotificator->OnNotify = [this] { themeChanged(); };
  FHintWindow = new TuiNavBarHintWindow(this);

  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  TControlStyle style = ControlStyle();
  style.Exclude(csAcceptsControls);
  style.Exclude(csSetCaption);
  style.Include(csActionClient);
  SetControlStyle(style);
  SetDragCursor(nbDragCursor);
  SetBounds(Left(), Top(), 150, 300);
  FDefaultStyles->AssignDefaultValues(false);
}

TuiCustomNavBar::~TuiCustomNavBar() {
  Destroying();
  HideHint();
  endDragOnDestroy();
  delete FActivateGroupTimer;
  FActivateGroupTimer = nullptr;
  delete FScrollTimer;
  FScrollTimer = nullptr;
  delete FHintTimer;
  FHintTimer = nullptr;
  delete FScrollBar;
  FScrollBar = nullptr;
  delete FThemeNotificator;
  FThemeNotificator = nullptr;
  delete FHintWindow;
  FHintWindow = nullptr;
  SetLargeImages(nullptr);
  SetSmallImages(nullptr);
  delete FLargeChangeLink;
  delete FSmallChangeLink;
  FLargeChangeLink = FSmallChangeLink = nullptr;
  delete FStyles;
  FStyles = nullptr;
  delete FItems;
  FItems = nullptr;
  delete FGroups;
  FGroups = nullptr;
  delete FDefaultStyles;
  FDefaultStyles = nullptr;
  delete FPainter;
  FPainter = nullptr;
  delete FBackBuffer;
  FBackBuffer = nullptr;
}

// --- painter and invalidation ---------------------------------------------------

TuiNavBarPainter* TuiCustomNavBar::CreatePainter() {
  // The id is looked up, not used as a position: views need not be
  // registered in order or without gaps.
  TuiNavBarViewsFactory* views = uiNavBarViewsFactory();
  if (views && views->IndexOfID(FView) >= 0) return views->GetPainterClass(FView)->Create(this);
  return TuiNavBarPainter::PainterClass()->Create(this);
}

TuiNavBarPainter* TuiCustomNavBar::GetPainter() {
  if (!FPainter) FPainter = CreatePainter();
  return FPainter;
}

TuiNavBarViewInfo* TuiCustomNavBar::GetViewInfo() { return FPainter ? FPainter->ViewInfo() : nullptr; }

void TuiCustomNavBar::InvalidateAll(TuiNavBarChangeType AType) {
  if (destroying()) return;
  GetPainter()->InvalidateViewInfo(AType);
  if (HandleAllocated()) {
    if (AType == doRecreate) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    TCustomPanel::Invalidate();
  }
}

void TuiCustomNavBar::Invalidate() {
  if (!destroying()) GetPainter()->InvalidateViewInfo(doRedraw);
  TCustomPanel::Invalidate();
}

void TuiCustomNavBar::InvalidateScrollButtons() {
  if (destroying()) return;
  GetPainter()->InvalidateViewInfo(doRedraw);
  GetPainter()->InvalidateScrollButtons();
}

void TuiCustomNavBar::SetLocked(bool Value) {
  if (Value == Locked()) return;
  FLockCount = Value ? 1 : 0;
  if (!Value) InvalidateAll(doRecreate);
}

void TuiCustomNavBar::Paint() { GetPainter()->Paint(); }

void TuiCustomNavBar::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

TRect TuiCustomNavBar::ClientRect() {
  TRect r = TCustomPanel::ClientRect();
  if (FScrollBar && FScrollBar->Visible()) r.right -= GetSystemMetrics(SM_CXVSCROLL);
  return r;
}

void TuiCustomNavBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool changed = ALeft != Left() || ATop != Top() || AWidth != Width() || AHeight != Height();
  TCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!changed || !HandleAllocated() || destroying() || !FBackBuffer) return;
  // The back buffer only grows, with room to spare, so that dragging a
  // splitter does not reallocate it at every step.
  const int w = ClientWidth(), h = ClientHeight();
  if (w >= FBackBuffer->Width()) FBackBuffer->SetWidth(w + 10);
  if (h >= FBackBuffer->Height()) FBackBuffer->SetHeight(h + 10);
  InvalidateAll(GetPainter()->ViewInfo()->ResizeChangeType());
}

void TuiCustomNavBar::CreateParams(TCreateParams& Params) {
  TCustomPanel::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TuiCustomNavBar::CreateWnd() {
  TCustomPanel::CreateWnd();
  FScrollBar->Reset();
  InvalidateAll(doRecreate);
}

int TuiCustomNavBar::ScrollPosition() const { return FScrollBar && FScrollBar->Visible() ? FScrollBar->Position() : 0; }

// --- views ----------------------------------------------------------------------

void TuiCustomNavBar::SetView(int Value) {
  if (Value == FView) return;
  // Clamped to the highest registered id rather than to count - 1: the two
  // agree once views 0 to 13 are all there, and a registry that holds only
  // some views still reaches the ones it holds.
  TuiNavBarViewsFactory* views = uiNavBarViewsFactory();
  int highest = 0;
  for (int i = 0, n = views ? views->GetCount() : 0; i < n; ++i) highest = std::max(highest, views->Items(i)->ID);
  FView = std::max(0, std::min(Value, highest));
  delete FPainter;
  FPainter = nullptr;
  FPainter = CreatePainter();
  FScrollBar->SetVisible(false);
  if (!loading()) {
    FDefaultStyles->AssignDefaultValues(false);
    InvalidateAll(doRecalc);
  }
  InvalidateAll(doRecreate);
  UpdateScrollBarLookAndFeel();
}

void TuiCustomNavBar::SetViewStyle(TuiNavBarPainter* Value) {
  if (!Value) {
    SetView(0);
    return;
  }
  if (Value == FPainter) return;
  Value->AfterConstruction();
  delete FPainter;
  FPainter = Value;
  if (!loading()) FDefaultStyles->AssignDefaultValues(false);
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::UpdateScrollBarLookAndFeel() {
  TlkLookAndFeel* lf = FScrollBar->ScrollBar()->LookAndFeel();
  switch (FView) {
    case 6:
    case 7:
    case 10:
    case 11: lf->SetNativeStyle(true); return;
    case 0: lf->SetKind(lfStandard); break;
    case 1:
    case 2:
    case 3:
    case 4: lf->SetKind(lfFlat); break;
    case 8:
    case 9: lf->SetKind(lfUltraFlat); break;
    case 12:
    case 13: lf->SetKind(lfOffice11); break;
    case 14:
      if (TlkLookAndFeel* own = GetPainter()->GetLookAndFeel()) lf->SetMaster(own);
      break;
    default: break;
  }
  lf->SetNativeStyle(false);
}

void TuiCustomNavBar::AssignViewDefaultStyle(int AIndex, TuiBaseNavBarStyle* AStyle) {
  GetPainter()->ViewInfo()->AssignDefaultStyle(AIndex, AStyle);
}

void TuiCustomNavBar::DrawGroupControlBackground(TuiNavBarGroup* AGroup, TCanvas* ACanvas) {
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  TuiNavBarGroupViewInfo* group = info->FindGroupViewInfo(AGroup);
  if (!group || !AGroup->Control()) return;
  GetPainter()->DrawGroupControl(ACanvas, AGroup->Control()->ClientRect(), group);
}

// --- properties -------------------------------------------------------------------

void TuiCustomNavBar::SetAllowSelectLinks(bool Value) {
  if (Value == FAllowSelectLinks) return;
  FAllowSelectLinks = Value;
  if (!Value)
    for (int i = 0; i < FGroups->Count(); ++i) FGroups->Items(i)->SetSelectedLinkIndex(-1);
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::SetEachGroupHasSelectedLink(bool Value) {
  if (Value == FEachGroupHasSelectedLink) return;
  FEachGroupHasSelectedLink = Value;
  if (!Value)
    for (int i = 0; i < FGroups->Count(); ++i) FGroups->Items(i)->SetSelectedLinkIndex(-1);
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::SetLargeImages(TCustomImageList* Value) {
  lkSetImageList(Value, FLargeImages, FLargeChangeLink, this);
}

void TuiCustomNavBar::SetSmallImages(TCustomImageList* Value) {
  lkSetImageList(Value, FSmallImages, FSmallChangeLink, this);
}

void TuiCustomNavBar::imagesChanged(TObject*) { InvalidateAll(doRecreate); }

void TuiCustomNavBar::SetNavigationPaneMaxVisibleGroups(int Value) {
  Value = std::max(-1, Value);
  if (Value == FNavigationPaneMaxVisibleGroups) return;
  FNavigationPaneMaxVisibleGroups = Value;
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::SetNavigationPaneOverflowPanelUseSmallImages(bool Value) {
  if (Value == FNavigationPaneOverflowPanelUseSmallImages) return;
  FNavigationPaneOverflowPanelUseSmallImages = Value;
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::SetShowGroupCaptions(bool Value) {
  if (Value == FShowGroupCaptions) return;
  FShowGroupCaptions = Value;
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::SetShowSpecialGroup(bool Value) {
  if (Value == FShowSpecialGroup) return;
  FShowSpecialGroup = Value;
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::SetSpaceBetweenGroups(int Value) {
  Value = std::max(0, Value);
  if (Value == FSpaceBetweenGroups) return;
  FSpaceBetweenGroups = Value;
  InvalidateAll(doRecalc);
}

void TuiCustomNavBar::SetStyleItem(int AIndex, TuiNavBarStyleItem* Value) {
  if (AIndex < 0 || AIndex >= ControlStyleCount || FControlStyles[AIndex] == Value) return;
  if (FControlStyles[AIndex]) FControlStyles[AIndex]->RemoveFreeNotification(this);
  FControlStyles[AIndex] = Value;
  if (Value) Value->FreeNotification(this);
  InvalidateAll(doRecreate);
}

// --- active group -------------------------------------------------------------------

TuiNavBarGroup* TuiCustomNavBar::GetActiveGroup() {
  if (!FGroups || FGroups->Count() == 0) return nullptr;
  if (FActiveGroup && FActiveGroup->Visible()) return FActiveGroup;
  for (int i = 0; i < FGroups->Count(); ++i) {
    TuiNavBarGroup* group = FGroups->Items(i);
    if (!group->Visible()) continue;
    if (!FActiveGroup) FActiveGroup = group;
    return group;
  }
  return nullptr;
}

void TuiCustomNavBar::SetActiveGroup(TuiNavBarGroup* Value) {
  if (Value == FActiveGroup) return;
  bool allow = true;
  if (canRaiseEvents() && OnActiveGroupChanging) OnActiveGroupChanging(this, Value, allow);
  // A group that is going away cannot stay active, whatever the handler
  // said.
  if (!allow && !(FActiveGroup && FActiveGroup->ComponentState().Contains(csDestroying))) return;
  FActiveGroup = Value;
  InvalidateAll(doRecreate);
  if (canRaiseEvents()) DoActiveGroupChanged();
}

void TuiCustomNavBar::DoActiveGroupChanged() {
  if (OnActiveGroupChanged) OnActiveGroupChanged(this);
}

int TuiCustomNavBar::ActiveGroupIndex() {
  TuiNavBarGroup* group = GetActiveGroup();
  return group ? group->Index() : -1;
}

void TuiCustomNavBar::SetActiveGroupIndex(int Value) {
  if (loading()) {
    FLoadedActiveGroupIndex = Value;
    FLoadedActiveGroupIndexSet = true;
    return;
  }
  if (Value >= 0 && Value < FGroups->Count()) SetActiveGroup(FGroups->Items(Value));
}

// --- collections ----------------------------------------------------------------------

void TuiCustomNavBar::GroupsChanged(TObject*, TlkComponentCollectionItem* AItem, TlkCollectionChangeAction AAction) {
  if (destroying()) return;
  if (AAction == caItemRemoving || AAction == caItemExtracted) forget(AItem);
  const bool oneItem = AAction == caItemChanged && AItem;
  InvalidateAll(FNavigationPaneMaxVisibleGroups == -1 && oneItem ? doRecalc : doRecreate);
}

void TuiCustomNavBar::ItemsChanged(TObject*, TlkComponentCollectionItem* AItem, TlkCollectionChangeAction AAction) {
  if (destroying()) return;
  InvalidateAll(AAction == caItemChanged && AItem ? doRecalc : doRecreate);
}

void TuiCustomNavBar::StylesChanged(TObject*, TlkComponentCollectionItem*, TlkCollectionChangeAction) {
  if (destroying()) return;
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::DefaultStylesChanged(TObject*, TuiNavBarChangeType) {
  if (destroying()) return;
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::LinksChanged(TObject*, TuiNavBarItemLink* ALink) { forgetLink(ALink); }

void TuiCustomNavBar::forgetLink(TuiNavBarItemLink* ALink) {
  if (!ALink) return;
  if (FHotTrackedLink == ALink) FHotTrackedLink = nullptr;
  if (FPressedLink == ALink) FPressedLink = nullptr;
  if (FSourceLink == ALink) FSourceLink = nullptr;
  if (TuiNavBarDragObject* drag = navBarDragObject(); drag && drag->SourceControl() == this) drag->ForgetLink(ALink);
}

// Every reference to a component that goes: hot, pressed, the source of a
// press, the drag-over target, the active group (which may not stay, see
// SetActiveGroup), the image lists and the style items.
void TuiCustomNavBar::forget(TComponent* AComponent) {
  if (AComponent == FHotTrackedGroup) {
    FHotTrackedGroup = nullptr;
    HideHint();
  }
  if (AComponent == FPressedGroup) FPressedGroup = nullptr;
  if (AComponent == FSourceGroup) FSourceGroup = nullptr;
  if (AComponent == FDragOverTargetGroup) {
    FDragOverTargetGroup = nullptr;
    if (FActivateGroupTimer) FActivateGroupTimer->SetEnabled(false);
  }
  if (auto* group = dynamic_cast<TuiNavBarGroup*>(AComponent))
    for (int i = 0; i < group->LinkCount(); ++i) forgetLink(group->Links(i));
  if (auto* item = dynamic_cast<TuiNavBarItem*>(AComponent)) {
    for (TuiNavBarItemLink* link : {FHotTrackedLink, FPressedLink, FSourceLink})
      if (link && link->Item() == item) forgetLink(link);
  }
  if (TuiNavBarDragObject* drag = navBarDragObject(); drag && drag->SourceControl() == this)
    drag->Forget(AComponent);
  if (AComponent == FActiveGroup) SetActiveGroup(nullptr);
}

void TuiCustomNavBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomPanel::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  forget(AComponent);
  if (AComponent == FLargeImages) SetLargeImages(nullptr);
  if (AComponent == FSmallImages) SetSmallImages(nullptr);
  for (int i = 0; i < ControlStyleCount; ++i)
    if (FControlStyles[i] == AComponent) SetStyleItem(i, nullptr);
}

void TuiCustomNavBar::GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) {
  for (int i = 0; i < FGroups->Count(); ++i) Proc(FGroups->Items(i));
  for (int i = 0; i < FItems->Count(); ++i) Proc(FItems->Items(i));
  for (int i = 0; i < FStyles->Count(); ++i)
    if (FStyles->Items(i)->Owner() == Root) Proc(FStyles->Items(i));
  for (int i = 0; i < FGroups->Count(); ++i)
    if (TuiNavBarGroupControl* control = FGroups->Items(i)->Control(); control && control->Owner() == Root)
      Proc(control);
}

void TuiCustomNavBar::SetName(const std::string& NewName) {
  const std::string old = Name();
  TCustomPanel::SetName(NewName);
  if (!ComponentState().Contains(csDesigning) || old.empty()) return;
  const auto rename = [&](TComponent* c) {
    if (c->Name().rfind(old, 0) != 0) return;
    try {
      c->SetName(Name() + c->Name().substr(old.size()));
    } catch (const EComponentError&) {
    }
  };
  for (int i = 0; i < FGroups->Count(); ++i) rename(FGroups->Items(i));
  for (int i = 0; i < FItems->Count(); ++i) rename(FItems->Items(i));
  for (int i = 0; i < FStyles->Count(); ++i) rename(FStyles->Items(i));
}

void TuiCustomNavBar::InitiateAction() {
  TCustomPanel::InitiateAction();
  for (int i = 0; i < FGroups->Count(); ++i) FGroups->Items(i)->RefreshAction();
}

void TuiCustomNavBar::Loaded() {
  TCustomPanel::Loaded();
  if (FLoadedActiveGroupIndexSet && FLoadedActiveGroupIndex >= 0 && FLoadedActiveGroupIndex < FGroups->Count())
    FActiveGroup = FGroups->Items(FLoadedActiveGroupIndex);
  FLoadedActiveGroupIndexSet = false;
  FDefaultStyles->AssignDefaultValues(true);
  InvalidateAll(doRecreate);
}

// --- hit tests ------------------------------------------------------------------------

TuiNavBarGroup* TuiCustomNavBar::GetGroupAtCaptionPos(const TPoint& P) { return GetPainter()->ViewInfo()->GetGroupAtCaptionPos(P); }
TuiNavBarGroup* TuiCustomNavBar::GetGroupAtItemsPos(const TPoint& P) { return GetPainter()->ViewInfo()->GetGroupAtItemsPos(P); }
TuiNavBarItemLink* TuiCustomNavBar::GetLinkAtSelectedPos(const TPoint& P) {
  return GetPainter()->ViewInfo()->GetLinkAtSelectedPos(P);
}
bool TuiCustomNavBar::IsPtTopScrollButton(const TPoint& P) { return GetPainter()->ViewInfo()->IsPtTopScrollButton(P); }
bool TuiCustomNavBar::IsPtBottomScrollButton(const TPoint& P) {
  return GetPainter()->ViewInfo()->IsPtBottomScrollButton(P);
}
bool TuiCustomNavBar::IsPtNavigationPaneSplitter(const TPoint& P) {
  return GetPainter()->ViewInfo()->IsPtNavigationPaneSplitter(P);
}
bool TuiCustomNavBar::IsPtNavigationPaneOverflowPanel(const TPoint& P) {
  return GetPainter()->ViewInfo()->IsPtNavigationPaneOverflowPanel(P);
}

int TuiCustomNavBar::GetVisibleGroupCount() {
  int count = 0;
  for (int i = 0; i < FGroups->Count(); ++i)
    if (FGroups->Items(i)->Visible()) ++count;
  return count;
}

int TuiCustomNavBar::GetHiddenGroupCount() {
  if (loading() || FNavigationPaneMaxVisibleGroups == -1) return 0;
  return std::max(0, GetVisibleGroupCount() - FNavigationPaneMaxVisibleGroups);
}

// --- navigation pane ------------------------------------------------------------------

void TuiCustomNavBar::DoSplitterMouseDown() { FSplitterDragging = true; }

void TuiCustomNavBar::DoSplitterDrag() {
  if (!FShowGroupCaptions) return;
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  const int visible = GetVisibleGroupCount(), hidden = GetHiddenGroupCount();
  if (hidden > 0 && info->IsSplitterDraggedUp(FHotPoint)) {
    // Back to no limit once every visible group has its button again.
    const int more = FNavigationPaneMaxVisibleGroups + 1;
    SetNavigationPaneMaxVisibleGroups(more == visible ? -1 : more);
  } else if (hidden < visible && info->IsSplitterDraggedDown(FHotPoint)) {
    const int limit = FNavigationPaneMaxVisibleGroups;
    SetNavigationPaneMaxVisibleGroups(limit == -1 || visible < limit ? visible - 1 : limit - 1);
  }
}

void TuiCustomNavBar::DoSplitterMouseUp() { FSplitterDragging = false; }

void TuiCustomNavBar::DoOverflowPanelMouseDown() {
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  FPressedOverflowItemIndex = info->GetNavigationPaneOverflowPanelItemIndexAtPos(FDownPoint);
  if (FPressedOverflowItemIndex == -1 && info->IsPtNavigationPaneOverflowPanelSign(FDownPoint))
    FOverflowSignPressed = true;
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::DoOverflowPanelMouseMove() {
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  const int index = info->GetNavigationPaneOverflowPanelItemIndexAtPos(FHotPoint);
  if (index != FHotTrackedOverflowItemIndex) {
    HideHint();
    FHotTrackedOverflowItemIndex = index;
    StartOverflowPanelHint();
    InvalidateAll(doRedraw);
  }
  const bool onSign = info->IsPtNavigationPaneOverflowPanelSign(FHotPoint);
  if (onSign != FOverflowSignHotTracked) {
    HideHint();
    FOverflowSignHotTracked = onSign;
    StartOverflowPanelHint();
    InvalidateAll(doRedraw);
  }
}

void TuiCustomNavBar::DoOverflowPanelMouseUp() {
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  const int index = info->GetNavigationPaneOverflowPanelItemIndexAtPos(FHotPoint);
  if (index != -1 && index == FPressedOverflowItemIndex) {
    if (TuiNavBarGroup* group = info->GetNavigationPaneOverflowPanelGroupAtPos(FHotPoint)) SetActiveGroup(group);
    // The group change's handlers may have freed the bar.
    if (destroying()) return;
  } else if (FOverflowSignPressed && info->IsPtNavigationPaneOverflowPanelSign(FHotPoint)) {
    FOverflowSignPressed = false;
    FOverflowSignHotTracked = true;
    InvalidateAll(doRedraw);
    const TPoint at = ClientToScreen(FHotPoint);
    info->ShowPopupMenu(at.x, at.y);
    if (destroying()) return;
  }
  FPressedOverflowItemIndex = -1;
  FOverflowSignPressed = false;
  FOverflowSignHotTracked = false;
  InvalidateAll(doRedraw);
}

// --- mouse ------------------------------------------------------------------------------

void TuiCustomNavBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  HideHint();
  if (CanFocus()) SetFocus();
  TCustomPanel::MouseDown(Button, Shift, X, Y);
  FDownShift = Shift;
  const TPoint p{X, Y};
  if (Button != mbLeft) {
    if (FHotTrackedGroup || FHotTrackedLink || FHotTrackedOverflowItemIndex != -1) {
      FHotTrackedGroup = nullptr;
      FHotTrackedLink = nullptr;
      FHotTrackedOverflowItemIndex = -1;
      InvalidateAll(doRedraw);
    }
    return;
  }
  FDownPoint = p;
  // A press always starts afresh: nothing of an earlier one is clicked.
  FSourceGroup = nullptr;
  FSourceLink = nullptr;
  if (IsPtTopScrollButton(p)) {
    DoTopScrollButtonDown();
  } else if (IsPtBottomScrollButton(p)) {
    DoBottomScrollButtonDown();
  } else if (IsPtNavigationPaneSplitter(p)) {
    DoSplitterMouseDown();
  } else if (IsPtNavigationPaneOverflowPanel(p)) {
    DoOverflowPanelMouseDown();
  } else {
    if (TuiNavBarGroup* group = GetGroupAtCaptionPos(p)) DoGroupMouseDown(group);
    if (TuiNavBarItemLink* link = GetLinkAtSelectedPos(p)) DoLinkMouseDown(link);
  }
}

void TuiCustomNavBar::DoGroupMouseDown(TuiNavBarGroup* AGroup) {
  FSourceGroup = AGroup;
  FPressedGroup = AGroup;
  if (OnGroupPress) OnGroupPress(this, AGroup);
  InvalidateAll(doRecalc);
}

void TuiCustomNavBar::DoLinkMouseDown(TuiNavBarItemLink* ALink) {
  FSourceLink = ALink;
  if (TuiNavBarGroup* group = ALink->Group(); group && group->SelectedLink()) InvalidateAll(doRecalc);
  if (!ALink->Item() || !ALink->Item()->Enabled()) return;
  FPressedLink = ALink;
  if (OnLinkPress) OnLinkPress(this, ALink);
  InvalidateAll(doRecalc);
}

void TuiCustomNavBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (IsDragging()) return;
  TCustomPanel::MouseUp(Button, Shift, X, Y);
  FDownShift = TShiftState{};
  if (Button != mbLeft) return;
  const TPoint p{X, Y};
  FDownPoint = p;
  if (FSplitterDragging) {
    DoSplitterMouseUp();
  } else if (IsPtTopScrollButton(p) || FTopScrollButtonPressed) {
    DoTopScrollButtonUp();
  } else if (IsPtBottomScrollButton(p) || FBottomScrollButtonPressed) {
    DoBottomScrollButtonUp();
  } else if (IsPtNavigationPaneOverflowPanel(p) || FPressedOverflowItemIndex != -1 || FOverflowSignPressed) {
    DoOverflowPanelMouseUp();
  } else {
    FTopScrollButtonPressed = FBottomScrollButtonPressed = false;
    // Released outside the bar, a press clicks nothing: the user backed
    // out of it.
    const TRect client = ClientRect();
    if (PtInRect(&client, p)) {
      if (FSourceGroup) DoGroupMouseUp(FSourceGroup);
      if (FSourceLink) DoLinkMouseUp(FSourceLink);
    } else if (FPressedGroup || FPressedLink) {
      FPressedGroup = nullptr;
      FPressedLink = nullptr;
      InvalidateAll(doRecalc);
    }
  }
  // What was pressed is released whatever the release hit, so that no
  // later move drags it.
  FSourceGroup = nullptr;
  FSourceLink = nullptr;
}

void TuiCustomNavBar::DoGroupMouseUp(TuiNavBarGroup* AGroup) {
  FSourceGroup = nullptr;
  // The handlers may free the group (or the bar): the toggle and the
  // redraw work only on what is still there. A handler is called through a
  // copy, which outlives its owner freeing itself.
  if (const TNotifyEvent handler = AGroup->OnClick)
    handler(AGroup);
  else if (const TuiNavBarGroupEvent groupClick = OnGroupClick)
    groupClick(this, AGroup);
  if (destroying()) return;
  bool stillThere = false;
  for (int i = 0; i < FGroups->Count() && !stillThere; ++i) stillThere = FGroups->Items(i) == AGroup;
  if (stillThere) GetPainter()->ViewInfo()->ToggleGroup(AGroup);
  FPressedGroup = nullptr;
  InvalidateAll(doRecalc);
}

void TuiCustomNavBar::DoLinkMouseUp(TuiNavBarItemLink* ALink) {
  FSourceLink = nullptr;
  TuiNavBarItem* item = ALink->Item();
  if (!item || !item->Enabled()) return;
  // The link and its group are read before the click: the click may free
  // them (a page handler closing the project, say).
  TuiNavBarGroup* group = ALink->Group();
  const int pressedIndex = FPressedLink ? FPressedLink->Index() : -1;
  const bool select = FPressedLink && FAllowSelectLinks;
  if (const TNotifyEvent handler = item->OnClick)
    handler(item);
  else if (TBasicAction* action = item->Action())
    action->Execute();
  else if (const TuiNavBarLinkEvent linkClick = OnLinkClick)
    linkClick(this, ALink);
  if (destroying()) return;
  bool groupThere = false;
  for (int i = 0; group && i < FGroups->Count() && !groupThere; ++i) groupThere = FGroups->Items(i) == group;
  if (select && groupThere && pressedIndex >= 0 && pressedIndex < group->LinkCount())
    group->SetSelectedLinkIndex(pressedIndex);
  FPressedLink = nullptr;
  InvalidateAll(doRecalc);
}

void TuiCustomNavBar::MouseMove(TShiftState Shift, int X, int Y) {
  FHotPoint = TPoint{X, Y};
  TuiNavBarPainter* painter = GetPainter();
  if (!painter->IsViewInfoValid()) return;
  TuiNavBarViewInfo* info = painter->ViewInfo();
  if (info->IsTopScrollButtonVisible() || info->IsBottomScrollButtonVisible()) InvalidateScrollButtons();
  if (FSplitterDragging) {
    DoSplitterDrag();
    return;
  }
  // A drag needs a button still down on its source.
  const bool leftDown = Shift.Contains(ssLeft);
  const bool draggable = leftDown && ((FDragDropFlags.Contains(fAllowDragGroup) && FSourceGroup) ||
                                      (FDragDropFlags.Contains(fAllowDragLink) && FSourceLink && FSourceLink->Item() &&
                                       FSourceLink->Item()->Enabled()));
  if (draggable && (std::abs(X - FDownPoint.x) > 3 || std::abs(Y - FDownPoint.y) > 3)) {
    StartDragging();
    return;
  }
  TCustomPanel::MouseMove(Shift, X, Y);
  if ((FDownShift.Contains(ssLeft) && Shift.Contains(ssLeft)) ||
      (FDownShift.Contains(ssRight) && Shift.Contains(ssRight)) ||
      (FDownShift.Contains(ssMiddle) && Shift.Contains(ssMiddle)))
    return;
  const TPoint p{X, Y};
  TuiNavBarItemLink* link = GetLinkAtSelectedPos(p);
  if (link != FHotTrackedLink) DoLinkHotTrack(link);
  TuiNavBarGroup* group = GetGroupAtCaptionPos(p);
  if (group != FHotTrackedGroup) DoGroupHotTrack(group);
  if (IsPtNavigationPaneOverflowPanel(p) || FHotTrackedOverflowItemIndex != -1 || FOverflowSignHotTracked)
    DoOverflowPanelMouseMove();
}

void TuiCustomNavBar::DoGroupHotTrack(TuiNavBarGroup* AGroup) {
  HideHint();
  if (FHotTrackedGroup) InvalidateAll(doRecalc);
  FHotTrackedGroup = AGroup;
  StartGroupHint();
  if (FHotTrackedGroup) InvalidateAll(doRecalc);
  if (OnGroupHotTrack) OnGroupHotTrack(this, AGroup);
}

void TuiCustomNavBar::DoLinkHotTrack(TuiNavBarItemLink* ALink) {
  HideHint();
  if (FHotTrackedLink) InvalidateAll(doRecalc);
  FHotTrackedLink = ALink;
  StartLinkHint();
  if (FHotTrackedLink) InvalidateAll(doRecalc);
  if (OnLinkHotTrack) OnLinkHotTrack(this, ALink);
}

void TuiCustomNavBar::CMMouseEnter(TCMMouseEnter& Message) {
  TCustomPanel::CMMouseEnter(Message);
  if (OnMouseEnter) OnMouseEnter(this);
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::CMMouseLeave(TCMMouseLeave& Message) {
  TCustomPanel::CMMouseLeave(Message);
  HideHint();
  FHotPoint = TPoint{-1, -1};
  FPressedGroup = nullptr;
  FPressedLink = nullptr;
  FHotTrackedGroup = nullptr;
  FHotTrackedLink = nullptr;
  FHotTrackedOverflowItemIndex = -1;
  FOverflowSignHotTracked = false;
  if (TuiNavBarDragObject* drag = navBarDragObject()) drag->UpdateTarget();
  if (OnMouseLeave) OnMouseLeave(this);
  InvalidateAll(doRecalc);
}

// --- scroll buttons -------------------------------------------------------------------

void TuiCustomNavBar::DoTopScrollButtonDown() {
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  if (info->TopScrollButtonState().Contains(nbsDisabled)) return;
  FBottomScrollButtonPressed = false;
  FTopScrollButtonPressed = true;
  FScrollTimer->SetEnabled(true);
  if (TuiNavBarGroup* group = GetActiveGroup()) group->SetTopVisibleLinkIndex(group->TopVisibleLinkIndex() - 1);
  InvalidateScrollButtons();
}

void TuiCustomNavBar::DoBottomScrollButtonDown() {
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  if (info->BottomScrollButtonState().Contains(nbsDisabled)) return;
  FTopScrollButtonPressed = false;
  FBottomScrollButtonPressed = true;
  FScrollTimer->SetEnabled(true);
  if (TuiNavBarGroup* group = GetActiveGroup()) group->SetTopVisibleLinkIndex(group->TopVisibleLinkIndex() + 1);
  InvalidateScrollButtons();
}

void TuiCustomNavBar::DoTopScrollButtonUp() {
  FTopScrollButtonPressed = false;
  FScrollTimer->SetEnabled(false);
  InvalidateScrollButtons();
}

void TuiCustomNavBar::DoBottomScrollButtonUp() {
  FBottomScrollButtonPressed = false;
  FScrollTimer->SetEnabled(false);
  InvalidateScrollButtons();
}

void TuiCustomNavBar::scrollTimerTick(TObject*) {
  FTopScrollButtonPressed = IsPtTopScrollButton(FHotPoint);
  FBottomScrollButtonPressed = IsPtBottomScrollButton(FHotPoint);
  if (!FTopScrollButtonPressed && !FBottomScrollButtonPressed) {
    FScrollTimer->SetEnabled(false);
    return;
  }
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  TuiNavBarGroup* group = GetActiveGroup();
  if (!group) return;
  if (FTopScrollButtonPressed && !info->TopScrollButtonState().Contains(nbsDisabled))
    group->SetTopVisibleLinkIndex(group->TopVisibleLinkIndex() - 1);
  if (FBottomScrollButtonPressed && !info->BottomScrollButtonState().Contains(nbsDisabled))
    group->SetTopVisibleLinkIndex(group->TopVisibleLinkIndex() + 1);
}

void TuiCustomNavBar::activateGroupTimerTick(TObject*) {
  FActivateGroupTimer->SetEnabled(false);
  if (FDragOverTargetGroup && GetGroupAtCaptionPos(FHotPoint) == FDragOverTargetGroup)
    GetPainter()->ViewInfo()->ExpandGroup(FDragOverTargetGroup);
}

void TuiCustomNavBar::scrollBarScroll(TObject*, TScrollCode, int&) {
  // The view reads the adapter's clamped position; the one from the event
  // is not needed.
  InvalidateAll(doRecalc);
  if (HandleAllocated()) UpdateWindow(Handle());
}

// --- hints ------------------------------------------------------------------------------

void TuiCustomNavBar::startHintTimer() {
  if (!Application || !Application->Active()) return;
  FHintTimer->SetInterval(GetPainter()->ViewInfo()->HintInterval());
  FHintTimer->SetEnabled(true);
}

void TuiCustomNavBar::StartGroupHint() {
  if (!IsDragging() && FShowGroupsHint && FHotTrackedGroup) startHintTimer();
}

void TuiCustomNavBar::StartLinkHint() {
  if (!IsDragging() && FShowLinksHint && FHotTrackedLink) startHintTimer();
}

void TuiCustomNavBar::StartOverflowPanelHint() {
  if (!IsDragging() && FShowNavigationPaneOverflowPanelHints &&
      (FHotTrackedOverflowItemIndex != -1 || FOverflowSignHotTracked))
    startHintTimer();
}

void TuiCustomNavBar::HideHint() {
  if (FHintTimer) FHintTimer->SetEnabled(false);
  if (FHintWindow && FHintWindow->HandleAllocated() && IsWindowVisible(FHintWindow->Handle()))
    ShowWindow(FHintWindow->Handle(), SW_HIDE);
  FHintShown = false;
}

void TuiCustomNavBar::hintTimerTick(TObject*) {
  FHintTimer->SetEnabled(false);
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  info->CalculateHint();
  if (info->CurrentHint().empty()) return;
  FHintWindow->ShowHint(info->CurrentHintBounds(), info->CurrentHint());
  FHintShown = true;
}

// --- messages ---------------------------------------------------------------------------

namespace {

bool hidesHint(UINT AMsg) {
  switch (AMsg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case CM_ACTIVATE:
    case CM_DEACTIVATE:
    case CM_APPKEYDOWN:
    case CM_APPSYSCOMMAND:
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_NCMOUSEMOVE:
      return true;
    default:
      return false;
  }
}

}  // namespace

void TuiCustomNavBar::WndProc(TMessage& Message) {
  if (FHintShown && hidesHint(Message.Msg)) HideHint();
  switch (Message.Msg) {
    case WM_MOUSEWHEEL:
      if (handleWheel(Message)) return;
      break;
    case WM_VSCROLL: {
      TCustomPanel::WndProc(Message);
      int position = static_cast<SHORT>(HIWORD(Message.WParam));
      FScrollBar->Scroll(this, static_cast<TScrollCode>(LOWORD(Message.WParam)), position);
      return;
    }
    case WM_CREATE:
      TCustomPanel::WndProc(Message);
      InvalidateAll(doRecreate);
      return;
    case WM_CAPTURECHANGED:
      // Whoever took the mouse away, the splitter has no button holding it
      // any more: a later move must not go on resizing the pane.
      if (FSplitterDragging) DoSplitterMouseUp();
      break;
    default:
      break;
  }
  TCustomPanel::WndProc(Message);
}

bool TuiCustomNavBar::handleWheel(TMessage& Message) {
  // A wheel the scroll bar control hands back must not come round again.
  if (FInWheel) return false;
  const TPoint cursor{static_cast<SHORT>(LOWORD(Message.LParam)), static_cast<SHORT>(HIWORD(Message.LParam))};
  RECT window{};
  GetWindowRect(Handle(), &window);
  if (!PtInRect(&window, cursor) || !FScrollBar->Visible()) return false;
  HWND under = WindowFromPoint(cursor);
  if (under && under != Handle() && under != FScrollBar->ScrollBar()->Handle()) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    if (GetScrollInfo(under, SB_VERT, &si) && si.nPage > 0 && si.nMax >= static_cast<int>(si.nPage)) {
      FInWheel = true;
      const LRESULT answer = SendMessage(under, WM_MOUSEWHEEL, Message.WParam, Message.LParam);
      FInWheel = false;
      Message.Result = answer;
      return answer == 1;
    }
  }
  const short delta = static_cast<short>(HIWORD(Message.WParam));
  const bool ctrl = (LOWORD(Message.WParam) & MK_CONTROL) != 0;
  const TScrollCode code = delta > 0 ? (ctrl ? scPageUp : scLineUp) : (ctrl ? scPageDown : scLineDown);
  int position = FScrollBar->Position();
  FInWheel = true;
  FScrollBar->Scroll(this, code, position);
  FInWheel = false;
  Message.Result = 1;
  return true;
}

void TuiCustomNavBar::WMSetCursor(TWMSetCursor& Message) {
  TCursor cursor = crDefault;
  bool choose = true;
  if (FShowGroupCaptions && (FSplitterDragging || IsPtNavigationPaneSplitter(FHotPoint)))
    cursor = crVSplit;
  else if (FHotTrackedOverflowItemIndex != -1 || FOverflowSignHotTracked)
    cursor = FHotTrackedGroupCursor;
  else if (FHotTrackedGroup)
    cursor = FHotTrackedGroupCursor;
  else if (FHotTrackedLink && FHotTrackedLink->Item() && FHotTrackedLink->Item()->Enabled())
    cursor = FHotTrackedLinkCursor;
  else
    choose = false;
  if (choose && Message.HitTest == HTCLIENT) {
    ::SetCursor(qv::classlib::cursorHandle(cursor));
    Message.Result = 1;
    return;
  }
  TCustomPanel::WMSetCursor(Message);
}

void TuiCustomNavBar::CMSysColorChange(TMessage& Message) {
  TCustomPanel::CMSysColorChange(Message);
  GetPainter()->ViewInfo()->RefreshResources();
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::themeChanged() {
  GetPainter()->ViewInfo()->RefreshResources();
  InvalidateAll(doRecreate);
}

// ---------------------------------------------------------------------------
// Drag and drop.

namespace {

TuiNavBarDragObject*& dragObjectRef() {
  static TuiNavBarDragObject* object = nullptr;
  return object;
}

}  // namespace

TuiNavBarDragObject* navBarDragObject() { return dragObjectRef(); }

void TuiNavBarDragObject::clearTarget() {
  FTargetGroup = nullptr;
  FTargetLinkBefore = FTargetLinkAfter = nullptr;
  FTargetLinkIndex = -1;
}

void TuiNavBarDragObject::UpdateTarget() {
  clearTarget();
  const TPoint p = FSourceControl->HotPoint();
  if (FLink || FItem) {
    FTargetLinkIndex =
        FSourceControl->GetPainter()->ViewInfo()->GetDropTargetLinks(p, FTargetGroup, FTargetLinkAfter, FTargetLinkBefore);
  } else if (FGroup) {
    FTargetGroup = FSourceControl->GetGroupAtCaptionPos(p);
    if (!FTargetGroup) FTargetGroup = FSourceControl->GetGroupAtItemsPos(p);
  }
}

void TuiNavBarDragObject::ForgetLink(TuiNavBarItemLink* ALink) {
  if (!ALink) return;
  if (FLink == ALink) FLink = nullptr;
  // The drop position was counted with the link: it is found again on the
  // next move.
  if (FTargetLinkBefore == ALink || FTargetLinkAfter == ALink) clearTarget();
}

void TuiNavBarDragObject::Forget(TComponent* AComponent) {
  if (AComponent == FGroup) FGroup = nullptr;
  if (AComponent == FTargetGroup) clearTarget();
  if (AComponent == FItem) FItem = nullptr;
  if (auto* group = dynamic_cast<TuiNavBarGroup*>(AComponent))
    for (int i = 0; i < group->LinkCount(); ++i) ForgetLink(group->Links(i));
  if (auto* item = dynamic_cast<TuiNavBarItem*>(AComponent))
    for (TuiNavBarItemLink* link : {FLink, FTargetLinkBefore, FTargetLinkAfter})
      if (link && link->Item() == item) ForgetLink(link);
}

TCursor TuiDragObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (auto* bar = dynamic_cast<TuiCustomNavBar*>(DragTarget()); bar && Accepted)
    return bar->DraggedItem() ? bar->DragCopyCursor() : bar->DragCursor();
  return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

bool TuiCustomNavBar::ownsDrag() const {
  TuiNavBarDragObject* drag = navBarDragObject();
  return drag && drag->SourceControl() == this;
}

bool TuiCustomNavBar::IsDragging() const { return navBarDragObject() || FDragStarted; }

namespace {

// A value of the drag in progress, or what stands for it when none runs.
template <typename T>
T fromDrag(T (TuiNavBarDragObject::*AGetter)() const, T ANone) {
  TuiNavBarDragObject* drag = navBarDragObject();
  return drag ? (drag->*AGetter)() : ANone;
}

}  // namespace

TuiNavBarGroup* TuiCustomNavBar::DraggedGroup() const { return fromDrag(&TuiNavBarDragObject::Group, FSourceGroup); }
TuiNavBarItemLink* TuiCustomNavBar::DraggedLink() const { return fromDrag(&TuiNavBarDragObject::Link, FSourceLink); }

TuiNavBarItem* TuiCustomNavBar::DraggedItem() const {
  TuiNavBarDragObject* drag = navBarDragObject();
  if (!drag) return nullptr;
  if (drag->Item()) return drag->Item();
  if (drag->Link() && GetKeyState(VK_CONTROL) < 0) return drag->Link()->Item();
  return nullptr;
}

TuiNavBarGroup* TuiCustomNavBar::TargetGroup() const {
  return fromDrag<TuiNavBarGroup*>(&TuiNavBarDragObject::TargetGroup, nullptr);
}
int TuiCustomNavBar::TargetLinkIndex() const { return fromDrag(&TuiNavBarDragObject::TargetLinkIndex, -1); }
TuiNavBarItemLink* TuiCustomNavBar::TargetLinkBefore() const {
  return fromDrag<TuiNavBarItemLink*>(&TuiNavBarDragObject::TargetLinkBefore, nullptr);
}
TuiNavBarItemLink* TuiCustomNavBar::TargetLinkAfter() const {
  return fromDrag<TuiNavBarItemLink*>(&TuiNavBarDragObject::TargetLinkAfter, nullptr);
}

void TuiCustomNavBar::StartDragging() {
  FDownShift = TShiftState{};
  FDragStarted = true;
  SetDragMode(dmAutomatic);
  BeginDrag(true);
}

void TuiCustomNavBar::DoStartDrag(TDragObject*& DragObject) {
  if (!navBarDragObject()) dragObjectRef() = new TuiNavBarDragObject(this, nullptr, FSourceLink, FSourceGroup);
  delete FDragObject;
  FDragObject = new TuiDragObject(this);
  DragObject = FDragObject;
  DoLinkHotTrack(nullptr);
  DoGroupHotTrack(nullptr);
  if (OnStartDrag && canRaiseEvents()) OnStartDrag(this, DragObject);
}

// A drag over the bar shows nothing pressed.
void TuiCustomNavBar::dropPressedLook() {
  if (FPressedGroup) {
    FPressedGroup = nullptr;
    InvalidateAll(doRecalc);
  }
  if (FPressedLink) {
    FPressedLink = nullptr;
    InvalidateAll(doRecalc);
  }
}

void TuiCustomNavBar::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (destroying()) return;
  FHotPoint = TPoint{X, Y};
  FTopScrollButtonPressed = FBottomScrollButtonPressed = false;
  dropPressedLook();
  TuiNavBarViewInfo* info = GetPainter()->ViewInfo();
  if (info->IsTopScrollButtonVisible() || info->IsBottomScrollButtonVisible()) InvalidateScrollButtons();
  // A drag from another bar is not ours to place: its target is counted on
  // the bar it came from.
  if (ownsDrag()) {
    navBarDragObject()->UpdateTarget();
    if (TuiNavBarItem* item = DraggedItem(); item && FDragDropFlags.Contains(fAllowDropLink))
      DoItemDragOver(item, Accept);
    else if (TuiNavBarItemLink* link = DraggedLink(); link && FDragDropFlags.Contains(fAllowDropLink))
      DoLinkDragOver(link, Accept);
    else if (TuiNavBarGroup* group = DraggedGroup(); group && FDragDropFlags.Contains(fAllowDropGroup))
      DoGroupDragOver(group, Accept);
  }
  if (OnDragOver && canRaiseEvents()) OnDragOver(this, Source, X, Y, State, Accept);
}

// Over a scroll button the active group scrolls; over a caption the group
// opens when the cursor stays. Answers whether the drop position is to be
// looked at.
bool TuiCustomNavBar::dragOverButtonsAndCaptions() {
  if (IsPtTopScrollButton(FHotPoint) || IsPtBottomScrollButton(FHotPoint)) {
    FScrollTimer->SetEnabled(true);
    return false;
  }
  if (TuiNavBarGroup* group = GetGroupAtCaptionPos(FHotPoint)) {
    FActivateGroupTimer->SetEnabled(false);
    FDragOverTargetGroup = group;
    FActivateGroupTimer->SetEnabled(true);
  }
  return true;
}

void TuiCustomNavBar::DoLinkDragOver(TuiNavBarItemLink* ALink, bool& AAccept) {
  AAccept = true;
  if (!dragOverButtonsAndCaptions()) return;
  AAccept = TargetGroup() && ALink != TargetLinkBefore() && ALink != TargetLinkAfter();
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::DoItemDragOver(TuiNavBarItem* AItem, bool& AAccept) {
  (void)AItem;
  AAccept = true;
  if (!dragOverButtonsAndCaptions()) return;
  AAccept = TargetGroup() != nullptr;
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::DoGroupDragOver(TuiNavBarGroup* AGroup, bool& AAccept) {
  AAccept = TargetGroup() && TargetGroup() != AGroup;
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::DragDrop(TObject* Source, int X, int Y) {
  dropPressedLook();
  FHotPoint = TPoint{X, Y};
  FHotTrackedLink = GetLinkAtSelectedPos(FHotPoint);
  FHotTrackedGroup = GetGroupAtCaptionPos(FHotPoint);
  if (ownsDrag()) {
    navBarDragObject()->UpdateTarget();
    if (TuiNavBarItem* item = DraggedItem(); item && FDragDropFlags.Contains(fAllowDropLink))
      DoItemDragDrop(item);
    else if (TuiNavBarItemLink* link = DraggedLink(); link && FDragDropFlags.Contains(fAllowDropLink))
      DoLinkDragDrop(link);
    else if (TuiNavBarGroup* group = DraggedGroup(); group && FDragDropFlags.Contains(fAllowDropGroup))
      DoGroupDragDrop(group);
  }
  if (OnDragDrop && canRaiseEvents()) OnDragDrop(this, Source, X, Y);
  EndDragging();
}

void TuiCustomNavBar::DoGroupDragDrop(TuiNavBarGroup* AGroup) {
  if (TuiNavBarGroup* target = TargetGroup()) AGroup->SetIndex(target->Index());
}

void TuiCustomNavBar::DoLinkDragDrop(TuiNavBarItemLink* ALink) {
  int index = TargetLinkIndex();
  TuiNavBarGroup* target = TargetGroup();
  TuiNavBarGroup* group = ALink->Group();
  if (index < 0 || !target || !group) return;
  if (target == group && ALink->Index() < index) --index;
  if (target != group) {
    group->SetSelectedLinkIndex(-1);
    TuiNavBarItemLink* moved = target->AddLink(ALink->Item());
    moved->SetIndex(index);
    group->RemoveLink(ALink->Index());
    ALink = moved;
    // What the drop handler reads as the dragged link is the one now in the
    // target group, not the one just freed.
    navBarDragObject()->SetLink(moved);
  }
  ALink->SetIndex(index);
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::DoItemDragDrop(TuiNavBarItem* AItem) {
  TuiNavBarGroup* target = TargetGroup();
  if (!target) return;
  const int index = TargetLinkIndex();
  TuiNavBarItemLink* link = target->AddLink(AItem);
  if (index >= 0) link->SetIndex(index);
  InvalidateAll(doRecreate);
}

void TuiCustomNavBar::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag && canRaiseEvents()) OnEndDrag(this, Target, X, Y);
  // Called from this very object's Finished, which touches nothing after.
  TuiDragObject* object = FDragObject;
  FDragObject = nullptr;
  delete object;
  EndDragging();
}

void TuiCustomNavBar::EndDragging() {
  if (ownsDrag()) {
    delete dragObjectRef();
    dragObjectRef() = nullptr;
  }
  FDragStarted = false;
  SetDragMode(dmManual);
  FSourceGroup = nullptr;
  FSourceLink = nullptr;
  // Nothing opens or scrolls once the drag is over, cancelled or dropped.
  if (FActivateGroupTimer) FActivateGroupTimer->SetEnabled(false);
  // The button that began the drag is held on no scroll button.
  if (FScrollTimer) FScrollTimer->SetEnabled(false);
  FTopScrollButtonPressed = FBottomScrollButtonPressed = false;
  FDragOverTargetGroup = nullptr;
  InvalidateAll(doRedraw);
}

void TuiCustomNavBar::endDragOnDestroy() {
  // The drag manager lets go of the bar as of a control that is gone: it
  // asks it nothing more (its window may be gone with its form's).
  if (Dragging() || qv::classlib::activeDragObject() == FDragObject) qv::classlib::DragAccess::controlGone(this);
  if (ownsDrag()) {
    delete dragObjectRef();
    dragObjectRef() = nullptr;
  }
  delete FDragObject;
  FDragObject = nullptr;
}

// ---------------------------------------------------------------------------
// The unit.

namespace {

HCURSOR LoadedCursors[3] = {nullptr, nullptr, nullptr};

void startUp() {
  RegisterClasses({TuiNavBar::StaticClass(), TuiCustomNavBar::StaticClass()});
  static const char* const kNames[3] = {"uiNavBarDragCursor", "uiNavBarDragCopyCursor", "uiNavBarLinksCursor"};
  static const TCursor kIds[3] = {nbDragCursor, nbDragCopyCursor, nbLinksCursor};
  HINSTANCE program = GetModuleHandle(nullptr);
  for (int i = 0; i < 3; ++i) {
    LoadedCursors[i] = LoadCursor(program, kNames[i]);
    if (LoadedCursors[i] && Screen) Screen->SetCursors(kIds[i], LoadedCursors[i]);
  }
}

void shutDown() {
  for (HCURSOR& cursor : LoadedCursors) {
    if (cursor) DestroyCursor(cursor);
    cursor = nullptr;
  }
}

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarCollnsUnit, &uiNavBarViewsFactUnit, &uiNavBarGraphicsUnit,
                                                &lkLookAndFeelsUnit, &lkControlsUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarUnit{"uiNavBar", kUses, &startUp, &shutDown};

// ---------------------------------------------------------------------------
// Layout storage.
//
// A load reads the whole layout into a staged copy first and checks it
// there; only a layout that reads in full is applied to the bar, so a
// damaged store leaves the bar as it was.

namespace {

constexpr const char* kLayoutSection = "Layout";
// The control's style properties in the order a layout writes them.
constexpr int kControlStyleOrder[TuiCustomNavBar::ControlStyleCount] = {0, 4, 5, 6, 2, 3, 1, 7};
// The group styles a layout keeps: Background, Header, HeaderActive,
// HeaderHotTracked and HeaderPressed.
constexpr int kStoredGroupStyles[] = {0, 2, 3, 6, 7};

std::string styleIndexKey(const char* AStyleName) { return std::string(AStyleName) + "StyleIndex"; }

bool hasLineBreak(const std::string& S) { return S.find_first_of("\r\n") != std::string::npos; }

[[noreturn]] void layoutError(const TResStringRec& AMessage, std::initializer_list<TVarRec> Args) {
  throw EuiNavBarLayoutError(lkLoadResString(&AMessage), Args);
}

// The number n of a name that is APrefix + n + ASuffix in any case, n
// written as the layout writes numbers (decimal, no leading zeros).
std::optional<int> numberIn(const std::string& AName, const std::string& APrefix, const std::string& ASuffix) {
  const std::string name = LowerCase(AName);
  if (name.size() <= APrefix.size() + ASuffix.size()) return std::nullopt;
  if (name.compare(0, APrefix.size(), LowerCase(APrefix)) != 0) return std::nullopt;
  if (name.compare(name.size() - ASuffix.size(), ASuffix.size(), LowerCase(ASuffix)) != 0) return std::nullopt;
  const std::string digits = name.substr(APrefix.size(), name.size() - APrefix.size() - ASuffix.size());
  if (digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
  if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::stoi(digits);
}

// The sections a layout is made of: "Layout" and "Style", "Item" and
// "Group" with a number.
bool isLayoutSection(const std::string& AName) {
  return SameText(AName, kLayoutSection) || numberIn(AName, "Style", "") || numberIn(AName, "Item", "") ||
         numberIn(AName, "Group", "");
}

std::string toHex(const std::string& ABytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(ABytes.size() * 2);
  for (unsigned char c : ABytes) {
    text += kDigits[c >> 4];
    text += kDigits[c & 15];
  }
  return text;
}

bool fromHex(const std::string& AText, std::string& ABytes) {
  if (AText.size() % 2 != 0) return false;
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  ABytes.clear();
  ABytes.reserve(AText.size() / 2);
  for (std::size_t i = 0; i < AText.size(); i += 2) {
    const int hi = digit(AText[i]), lo = digit(AText[i + 1]);
    if (hi < 0 || lo < 0) return false;
    ABytes += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

// The picture of a style as the layout stores it: its class name and its
// stream as hexadecimal text; none for an empty picture.
bool storedPicture(TuiNavBarStyle* AStyle, std::string& AClassName, std::string& AHex) {
  if (!AStyle->AssignedValues().Contains(savImage)) return false;
  TGraphic* graphic = AStyle->Image()->Graphic();
  if (!graphic || graphic->Empty()) return false;
  TStringStream stream;
  graphic->SaveToStream(&stream);
  AClassName = graphic->ClassName();
  AHex = toHex(stream.DataString());
  return true;
}

// One section of the store, its key names read once.
class LayoutSection {
 public:
  LayoutSection(TCustomIniFile* AStorage, std::string ASection) : FStorage(AStorage), FSection(std::move(ASection)) {
    TStringList keys;
    FStorage->ReadSection(FSection, &keys);
    for (int i = 0; i < keys.Count(); ++i) FKeys.push_back(LowerCase(keys.Strings(i)));
  }
  const std::string& Name() const { return FSection; }
  const std::vector<std::string>& Keys() const { return FKeys; }
  bool Has(const std::string& AKey) const {
    return std::find(FKeys.begin(), FKeys.end(), LowerCase(AKey)) != FKeys.end();
  }
  [[noreturn]] void Bad(const std::string& AKey) const { layoutError(suiLayoutBadValue, {AKey, FSection}); }

  // A text; one holding a line break is no text an INI line gave.
  std::optional<std::string> Str(const std::string& AKey) const {
    if (!Has(AKey)) return std::nullopt;
    std::string value = FStorage->ReadString(FSection, AKey, "");
    if (hasLineBreak(value)) Bad(AKey);
    return value;
  }
  // A number as the store reads numbers: text that is none leaves the
  // value as it is, as the store's default would.
  std::optional<int> Int(const std::string& AKey) const {
    if (!Has(AKey)) return std::nullopt;
    const int value = FStorage->ReadInteger(FSection, AKey, 0);
    if (value != FStorage->ReadInteger(FSection, AKey, 1)) return std::nullopt;
    return value;
  }
  // A number of a fixed range (an enumeration, a byte).
  std::optional<int> Ranged(const std::string& AKey, int ALow, int AHigh) const {
    std::optional<int> value = Int(AKey);
    if (value && (*value < ALow || *value > AHigh)) Bad(AKey);
    return value;
  }
  std::optional<bool> Bool(const std::string& AKey) const {
    if (!Has(AKey)) return std::nullopt;
    const bool value = FStorage->ReadBool(FSection, AKey, false);
    if (value != FStorage->ReadBool(FSection, AKey, true)) return std::nullopt;
    return value;
  }
  // A count of at most AMost things.
  std::optional<int> Count(const std::string& AKey, int AMost) const {
    if (!Has(AKey)) return std::nullopt;
    std::optional<int> value = Int(AKey);
    if (!value || *value < 0 || *value > AMost) layoutError(suiLayoutBadCount, {AKey, FSection});
    return value;
  }
  // The index of one of AStyleCount styles (text that is no number reads
  // as 0, the first style).
  std::optional<int> StyleIndex(const std::string& AKey, int AStyleCount) const {
    if (!Has(AKey)) return std::nullopt;
    const int value = FStorage->ReadInteger(FSection, AKey, 0);
    if (value < 0 || value >= AStyleCount) layoutError(suiLayoutBadStyleIndex, {AKey, FSection});
    return value;
  }

 private:
  TCustomIniFile* FStorage;
  std::string FSection;
  std::vector<std::string> FKeys;
};

struct StagedStyle {
  std::optional<int> BackColor, BackColor2, AlphaBlending, AlphaBlending2;
  std::optional<int> FontCharset, FontColor, FontHeight, FontPitch, FontSize;
  std::optional<std::string> FontName;
  bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
  std::optional<int> GradientMode, HAlignment, VAlignment, Tag;
  std::unique_ptr<TGraphic> Image;
  // The values the stored style assigns, whatever a new style holds.
  TuiBarStyleAssignedValues Assigned;
};

// What groups and items share: the section, the bar's item it is for (none:
// a new one) and the name that identifies it.
struct StagedCustomItem {
  std::string Section;
  TuiNavBarCustomItem* Target = nullptr;
  std::string Name;
  std::optional<std::string> Caption, Hint;
  std::optional<int> LargeImageIndex, SmallImageIndex, Tag;
  std::optional<bool> Visible;
};

struct StagedItem : StagedCustomItem {
  std::optional<bool> Enabled;
  std::optional<int> Styles[TuiNavBarItem::ItemStyleCount];
};

// A link names a stored item (its section's number) when the layout holds
// items, or else an item of the bar.
struct StagedLink {
  int StoredItem = -1;
  TuiNavBarItem* BarItem = nullptr;
};

struct StagedGroup : StagedCustomItem {
  std::optional<bool> Expanded, LinksUseSmallImages, ShowAsIconView, ShowExpandButton, UseSmallImages;
  std::optional<int> SelectedLinkIndex, TopVisibleLinkIndex;
  bool HasLinks = false;
  std::vector<StagedLink> Links;
  std::optional<int> Styles[TuiNavBarGroup::GroupStyleCount];
  TuiNavBarGroupControl* Control = nullptr;
  std::optional<bool> ShowControl;
};

struct StagedLayout {
  std::optional<int> View;
  bool HasStyles = false;
  std::vector<StagedStyle> Styles;
  bool HasItems = false;
  std::vector<StagedItem> Items;
  bool HasGroups = false;
  std::vector<StagedGroup> Groups;
  std::optional<int> ActiveGroup, MaxVisibleGroups;
  std::optional<int> ControlStyles[TuiCustomNavBar::ControlStyleCount];
};

// A stored picture: skipped (none) when its class is no picture class;
// hexadecimal text that is cut or bytes its class cannot read are damage.
std::unique_ptr<TGraphic> readPicture(const LayoutSection& R) {
  std::optional<std::string> hex = R.Str("Image");
  if (!hex) return nullptr;
  const std::string className = R.Str("ImageClass").value_or("");
  TPersistentClass graphicClass = className.empty() ? nullptr : GetClass(className);
  if (!graphicClass || !graphicClass->InheritsFrom(TGraphic::StaticClass())) return nullptr;
  std::unique_ptr<TObject> object(graphicClass->Create(nullptr));
  auto* graphic = dynamic_cast<TGraphic*>(object.get());
  if (!graphic) return nullptr;
  std::string bytes;
  if (!fromHex(*hex, bytes) || bytes.empty()) layoutError(suiLayoutBadPicture, {R.Name()});
  try {
    TStringStream stream(bytes);
    graphic->LoadFromStream(&stream);
  } catch (const std::exception&) {
    layoutError(suiLayoutBadPicture, {R.Name()});
  }
  if (graphic->Empty()) layoutError(suiLayoutBadPicture, {R.Name()});
  object.release();
  return std::unique_ptr<TGraphic>(graphic);
}

StagedStyle readStyle(TCustomIniFile* AStorage, const std::string& ASection) {
  const LayoutSection R(AStorage, ASection);
  StagedStyle s;
  auto assigned = [&s](const auto& AValue, TuiBarStyleAssignedValue ABit) {
    if (AValue) s.Assigned.Include(ABit);
  };
  assigned(s.BackColor = R.Int("BackColor"), savBackColor);
  assigned(s.BackColor2 = R.Int("BackColor2"), savBackColor2);
  assigned(s.AlphaBlending = R.Ranged("AlphaBlending", 0, 255), savAlphaBlending);
  assigned(s.AlphaBlending2 = R.Ranged("AlphaBlending2", 0, 255), savAlphaBlending2);
  s.FontCharset = R.Ranged("FontCharset", 0, 255);
  s.FontColor = R.Int("FontColor");
  s.FontHeight = R.Int("FontHeight");
  s.FontName = R.Str("FontName");
  s.FontPitch = R.Ranged("FontPitch", fpDefault, fpFixed);
  s.FontSize = R.Int("FontSize");
  const std::optional<bool> bold = R.Bool("FontStyleBold"), italic = R.Bool("FontStyleItalic"),
                            underline = R.Bool("FontStyleUnderline"), strikeOut = R.Bool("FontStyleStrikeOut");
  s.Bold = bold.value_or(false);
  s.Italic = italic.value_or(false);
  s.Underline = underline.value_or(false);
  s.StrikeOut = strikeOut.value_or(false);
  if (s.FontCharset || s.FontColor || s.FontHeight || s.FontName || s.FontPitch || s.FontSize || bold || italic ||
      underline || strikeOut)
    s.Assigned.Include(savFont);
  assigned(s.GradientMode = R.Ranged("GradientMode", gmHorizontal, gmBackwardDiagonal), savGradientMode);
  assigned(s.Image = readPicture(R), savImage);
  assigned(s.HAlignment = R.Ranged("HAlignment", haLeft, haRight), savHAlignment);
  assigned(s.VAlignment = R.Ranged("VAlignment", vaTop, vaBottom), savVAlignment);
  s.Tag = R.Int("Tag");
  return s;
}

void readCustomItem(const LayoutSection& R, StagedCustomItem& s) {
  s.Section = R.Name();
  s.Caption = R.Str("Caption");
  s.Hint = R.Str("Hint");
  s.LargeImageIndex = R.Int("LargeImageIndex");
  s.Name = R.Str("Name").value_or("");
  s.SmallImageIndex = R.Int("SmallImageIndex");
  s.Tag = R.Int("Tag");
  s.Visible = R.Bool("Visible");
}

// The bar's item each stored one is for: the item of its name, else the
// first item of its caption that no other stored one took, else none (a new
// one). Two stored ones of one name are damage.
template <class TStaged>
void matchStored(std::vector<TStaged>& AStaged, TuiNavBarCustomItems* ACollection) {
  std::vector<TuiNavBarCustomItem*> taken;
  auto isTaken = [&taken](TuiNavBarCustomItem* AItem) {
    return std::find(taken.begin(), taken.end(), AItem) != taken.end();
  };
  for (std::size_t i = 0; i < AStaged.size(); ++i) {
    TStaged& s = AStaged[i];
    if (s.Name.empty()) continue;
    for (std::size_t j = 0; j < i; ++j)
      if (SameText(AStaged[j].Name, s.Name)) layoutError(suiLayoutDuplicateName, {s.Section, s.Name, AStaged[j].Section});
    for (int k = 0; k < ACollection->Count() && !s.Target; ++k)
      if (SameText(ACollection->Items(k)->Name(), s.Name)) s.Target = ACollection->Items(k);
    if (s.Target) taken.push_back(s.Target);
  }
  for (TStaged& s : AStaged) {
    if (s.Target || !s.Caption || s.Caption->empty()) continue;
    for (int k = 0; k < ACollection->Count() && !s.Target; ++k) {
      TuiNavBarCustomItem* item = ACollection->Items(k);
      if (item->Caption() == *s.Caption && !isTaken(item)) s.Target = item;
    }
    if (s.Target) taken.push_back(s.Target);
  }
}

// The sections "APrefix"0 to n - 1 for the count in AKey; each must be there.
std::vector<std::string> countedSections(const LayoutSection& ALayout, const std::string& AKey,
                                         const std::string& APrefix, const std::vector<std::string>& ASections,
                                         bool& AHas) {
  std::vector<std::string> names;
  const std::optional<int> count = ALayout.Count(AKey, static_cast<int>(ASections.size()));
  AHas = count.has_value();
  for (int n = 0; n < count.value_or(0); ++n) {
    const std::string name = APrefix + std::to_string(n);
    if (std::find(ASections.begin(), ASections.end(), LowerCase(name)) == ASections.end())
      layoutError(suiLayoutSectionMissing, {name});
    names.push_back(name);
  }
  return names;
}

}  // namespace

void TuiCustomNavBar::SaveToIniFile(TCustomIniFile* AStorage, bool AStoreStyles) {
  // Everything that could fail is checked before the store changes.
  auto checkText = [](const std::string& AValue, const char* AKey, TComponent* AOwner) {
    if (hasLineBreak(AValue)) layoutError(suiLayoutLineBreak, {AKey, AOwner->Name()});
  };
  for (int i = 0; i < FItems->Count(); ++i) {
    checkText(FItems->Items(i)->Caption(), "Caption", FItems->Items(i));
    checkText(FItems->Items(i)->Hint(), "Hint", FItems->Items(i));
  }
  for (int i = 0; i < FGroups->Count(); ++i) {
    checkText(FGroups->Items(i)->Caption(), "Caption", FGroups->Items(i));
    checkText(FGroups->Items(i)->Hint(), "Hint", FGroups->Items(i));
  }
  std::vector<std::string> pictureClasses, pictures;
  if (AStoreStyles)
    for (int i = 0; i < FStyles->Count(); ++i) {
      TuiNavBarStyle* style = FStyles->Items(i)->Style();
      if (style->AssignedValues().Contains(savFont)) checkText(style->Font()->Name(), "FontName", FStyles->Items(i));
      std::string className, hex;
      storedPicture(style, className, hex);
      pictureClasses.push_back(className);
      pictures.push_back(hex);
    }
  // A store may cut long values (a file reads through a 2048-byte buffer):
  // a picture that would not read back whole is refused here, with a probe
  // key in the layout's own section that goes again at once.
  {
    const bool hadLayout = AStorage->SectionExists(kLayoutSection);
    std::string refused;
    for (std::size_t i = 0; i < pictures.size() && refused.empty(); ++i) {
      if (pictures[i].empty()) continue;
      AStorage->WriteString(kLayoutSection, "ImageProbe", pictures[i]);
      if (AStorage->ReadString(kLayoutSection, "ImageProbe", "") != pictures[i]) refused = "Style" + std::to_string(i);
    }
    if (std::any_of(pictures.begin(), pictures.end(), [](const std::string& s) { return !s.empty(); })) {
      if (hadLayout)
        AStorage->DeleteKey(kLayoutSection, "ImageProbe");
      else
        AStorage->EraseSection(kLayoutSection);
    }
    if (!refused.empty()) layoutError(suiLayoutPictureTooLong, {refused});
  }

  TStringList sections;
  AStorage->ReadSections(&sections);
  for (int i = 0; i < sections.Count(); ++i)
    if (isLayoutSection(sections.Strings(i))) AStorage->EraseSection(sections.Strings(i));

  const bool styleIndexes = AStoreStyles && FStyles->Count() > 0;
  auto writeStyleIndex = [&](const std::string& ASection, const std::string& AKey, TuiNavBarStyleItem* AStyle) {
    if (styleIndexes && AStyle && AStyle->Collection() == FStyles) AStorage->WriteInteger(ASection, AKey, AStyle->Index());
  };
  auto writeTag = [AStorage](const std::string& ASection, TComponent* AComponent) {
    AStorage->WriteInteger(ASection, "Tag", static_cast<int>(AComponent->Tag()));
  };

  AStorage->WriteInteger(kLayoutSection, "View", FView);
  if (AStoreStyles) {
    AStorage->WriteInteger(kLayoutSection, "StyleCount", FStyles->Count());
    for (int i = 0; i < FStyles->Count(); ++i) {
      const std::string section = "Style" + std::to_string(i);
      TuiNavBarStyle* style = FStyles->Items(i)->Style();
      const TuiBarStyleAssignedValues assigned = style->AssignedValues();
      if (assigned.Contains(savBackColor)) AStorage->WriteInteger(section, "BackColor", style->BackColor());
      if (assigned.Contains(savBackColor2)) AStorage->WriteInteger(section, "BackColor2", style->BackColor2());
      if (assigned.Contains(savAlphaBlending)) AStorage->WriteInteger(section, "AlphaBlending", style->AlphaBlending());
      if (assigned.Contains(savAlphaBlending2))
        AStorage->WriteInteger(section, "AlphaBlending2", style->AlphaBlending2());
      if (assigned.Contains(savFont)) {
        TFont* font = style->Font();
        AStorage->WriteInteger(section, "FontCharset", font->Charset());
        AStorage->WriteInteger(section, "FontColor", font->Color());
        AStorage->WriteInteger(section, "FontHeight", font->Height());
        AStorage->WriteString(section, "FontName", font->Name());
        AStorage->WriteInteger(section, "FontPitch", font->Pitch());
        AStorage->WriteInteger(section, "FontSize", font->Size());
        AStorage->WriteBool(section, "FontStyleBold", font->Style().Contains(fsBold));
        AStorage->WriteBool(section, "FontStyleItalic", font->Style().Contains(fsItalic));
        AStorage->WriteBool(section, "FontStyleUnderline", font->Style().Contains(fsUnderline));
        AStorage->WriteBool(section, "FontStyleStrikeOut", font->Style().Contains(fsStrikeOut));
      }
      if (assigned.Contains(savGradientMode)) AStorage->WriteInteger(section, "GradientMode", style->GradientMode());
      if (!pictures[static_cast<std::size_t>(i)].empty()) {
        AStorage->WriteString(section, "ImageClass", pictureClasses[static_cast<std::size_t>(i)]);
        AStorage->WriteString(section, "Image", pictures[static_cast<std::size_t>(i)]);
      }
      if (assigned.Contains(savHAlignment)) AStorage->WriteInteger(section, "HAlignment", style->HAlignment());
      if (assigned.Contains(savVAlignment)) AStorage->WriteInteger(section, "VAlignment", style->VAlignment());
      writeTag(section, FStyles->Items(i));
    }
  }

  AStorage->WriteInteger(kLayoutSection, "ItemCount", FItems->Count());
  for (int i = 0; i < FItems->Count(); ++i) {
    const std::string section = "Item" + std::to_string(i);
    TuiNavBarItem* item = FItems->Items(i);
    AStorage->WriteString(section, "Caption", item->Caption());
    AStorage->WriteBool(section, "Enabled", item->Enabled());
    AStorage->WriteString(section, "Hint", item->Hint());
    AStorage->WriteInteger(section, "LargeImageIndex", item->LargeImageIndex());
    AStorage->WriteString(section, "Name", item->Name());
    AStorage->WriteInteger(section, "SmallImageIndex", item->SmallImageIndex());
    for (int s = 0; s < TuiNavBarItem::ItemStyleCount; ++s)
      writeStyleIndex(section, styleIndexKey(TuiNavBarItem::StyleNames[s]), item->ItemStyle(s));
    writeTag(section, item);
    AStorage->WriteBool(section, "Visible", item->Visible());
  }

  AStorage->WriteInteger(kLayoutSection, "GroupCount", FGroups->Count());
  for (int i = 0; i < FGroups->Count(); ++i) {
    const std::string section = "Group" + std::to_string(i);
    TuiNavBarGroup* group = FGroups->Items(i);
    AStorage->WriteString(section, "Caption", group->Caption());
    AStorage->WriteBool(section, "Expanded", group->Expanded());
    AStorage->WriteString(section, "Hint", group->Hint());
    AStorage->WriteInteger(section, "LargeImageIndex", group->LargeImageIndex());
    AStorage->WriteInteger(section, "LinkCount", group->LinkCount());
    for (int k = 0; k < group->LinkCount(); ++k) {
      TuiNavBarItem* item = group->Links(k)->Item();
      if (item && item->Collection() == FItems)
        AStorage->WriteInteger(section, "Link" + std::to_string(k) + "ItemIndex", item->Index());
    }
    AStorage->WriteBool(section, "LinksUseSmallImages", group->LinksUseSmallImages());
    AStorage->WriteString(section, "Name", group->Name());
    AStorage->WriteInteger(section, "SelectedLinkIndex", group->SelectedLinkIndex());
    AStorage->WriteBool(section, "ShowControl", group->ShowControl());
    AStorage->WriteBool(section, "ShowAsIconView", group->ShowAsIconView());
    AStorage->WriteBool(section, "ShowExpandButton", group->ShowExpandButton());
    AStorage->WriteInteger(section, "SmallImageIndex", group->SmallImageIndex());
    for (int s : kStoredGroupStyles)
      writeStyleIndex(section, styleIndexKey(TuiNavBarGroup::StyleNames[s]), group->GroupStyle(s));
    writeTag(section, group);
    AStorage->WriteInteger(section, "TopVisibleLinkIndex", group->TopVisibleLinkIndex());
    AStorage->WriteBool(section, "UseSmallImages", group->UseSmallImages());
    AStorage->WriteBool(section, "Visible", group->Visible());
    AStorage->WriteBool(section, "UseControl", group->UseControl());
    if (group->UseControl()) {
      AStorage->WriteBool(section, "ShowControl", group->ShowControl());
      if (group->Control()) AStorage->WriteString(section, "ControlName", group->Control()->Name());
    }
  }

  for (int s : kControlStyleOrder) writeStyleIndex(kLayoutSection, styleIndexKey(StyleNames[s]), FControlStyles[s]);
  AStorage->WriteInteger(kLayoutSection, "ActiveGroup", ActiveGroupIndex());
  AStorage->WriteInteger(kLayoutSection, "NavigationPaneMaxVisibleGroups", FNavigationPaneMaxVisibleGroups);
}

void TuiCustomNavBar::LoadFromIniFile(TCustomIniFile* AStorage, bool ALoadStyles) {
  // --- read and check everything
  StagedLayout L;
  std::vector<std::string> sections;
  {
    TStringList names;
    AStorage->ReadSections(&names);
    for (int i = 0; i < names.Count(); ++i) sections.push_back(LowerCase(names.Strings(i)));
  }
  if (std::find(sections.begin(), sections.end(), LowerCase(kLayoutSection)) == sections.end())
    layoutError(suiLayoutNotFound, {});
  const LayoutSection layout(AStorage, kLayoutSection);
  L.View = layout.Int("View");

  if (ALoadStyles)
    for (const std::string& section : countedSections(layout, "StyleCount", "Style", sections, L.HasStyles))
      L.Styles.push_back(readStyle(AStorage, section));
  const int styleCount = L.HasStyles ? static_cast<int>(L.Styles.size()) : FStyles->Count();
  const bool styleIndexes = ALoadStyles && styleCount > 0;

  for (const std::string& section : countedSections(layout, "ItemCount", "Item", sections, L.HasItems)) {
    const LayoutSection R(AStorage, section);
    StagedItem& s = L.Items.emplace_back();
    readCustomItem(R, s);
    s.Enabled = R.Bool("Enabled");
    if (styleIndexes)
      for (int i = 0; i < TuiNavBarItem::ItemStyleCount; ++i)
        s.Styles[i] = R.StyleIndex(styleIndexKey(TuiNavBarItem::StyleNames[i]), styleCount);
  }
  matchStored(L.Items, FItems);

  std::vector<TuiNavBarGroupControl*> controlsTaken;
  for (const std::string& section : countedSections(layout, "GroupCount", "Group", sections, L.HasGroups)) {
    const LayoutSection R(AStorage, section);
    StagedGroup& s = L.Groups.emplace_back();
    readCustomItem(R, s);
    s.Expanded = R.Bool("Expanded");
    if (std::optional<int> count = R.Count("LinkCount", std::numeric_limits<int>::max())) {
      s.HasLinks = true;
      // Only the link keys there are: a link without an item wrote none.
      std::vector<std::pair<int, std::string>> keys;
      for (const std::string& key : R.Keys())
        if (std::optional<int> k = numberIn(key, "Link", "ItemIndex"); k && *k < *count) keys.emplace_back(*k, key);
      std::sort(keys.begin(), keys.end());
      for (const auto& [k, key] : keys) {
        const std::optional<int> index = R.Int(key);
        if (!index || *index < 0) continue;
        if (L.HasItems) {
          if (*index < static_cast<int>(L.Items.size())) s.Links.push_back({*index, nullptr});
        } else if (*index < FItems->Count()) {
          s.Links.push_back({-1, FItems->Items(*index)});
        }
      }
    }
    s.LinksUseSmallImages = R.Bool("LinksUseSmallImages");
    s.SelectedLinkIndex = R.Int("SelectedLinkIndex");
    s.ShowAsIconView = R.Bool("ShowAsIconView");
    s.ShowExpandButton = R.Bool("ShowExpandButton");
    if (styleIndexes)
      for (int i : kStoredGroupStyles) s.Styles[i] = R.StyleIndex(styleIndexKey(TuiNavBarGroup::StyleNames[i]), styleCount);
    s.TopVisibleLinkIndex = R.Int("TopVisibleLinkIndex");
    s.UseSmallImages = R.Bool("UseSmallImages");
    if (R.Bool("UseControl").value_or(false) && Owner()) {
      const std::string name = R.Str("ControlName").value_or("");
      auto* control = name.empty() ? nullptr : dynamic_cast<TuiNavBarGroupControl*>(Owner()->FindComponent(name));
      if (control && control->Parent() == this &&
          std::find(controlsTaken.begin(), controlsTaken.end(), control) == controlsTaken.end()) {
        s.Control = control;
        s.ShowControl = R.Bool("ShowControl");
        controlsTaken.push_back(control);
      }
    }
  }
  matchStored(L.Groups, FGroups);

  L.ActiveGroup = layout.Int("ActiveGroup");
  L.MaxVisibleGroups = layout.Int("NavigationPaneMaxVisibleGroups");
  if (styleIndexes)
    for (int i = 0; i < ControlStyleCount; ++i) L.ControlStyles[i] = layout.StyleIndex(styleIndexKey(StyleNames[i]), styleCount);

  // --- apply
  if (L.View) SetView(*L.View);

  std::vector<TuiNavBarStyleItem*> styles;
  if (L.HasStyles) {
    FStyles->FreeAllItems();
    for (StagedStyle& s : L.Styles) {
      TuiNavBarStyleItem* item = FStyles->Add();
      TuiNavBarStyle* style = item->Style();
      if (s.BackColor) style->SetBackColor(*s.BackColor);
      if (s.BackColor2) style->SetBackColor2(*s.BackColor2);
      if (s.AlphaBlending) style->SetAlphaBlending(static_cast<BYTE>(*s.AlphaBlending));
      if (s.AlphaBlending2) style->SetAlphaBlending2(static_cast<BYTE>(*s.AlphaBlending2));
      TFont* font = style->Font();
      if (s.FontCharset) font->SetCharset(static_cast<TFontCharset>(*s.FontCharset));
      if (s.FontColor) font->SetColor(*s.FontColor);
      if (s.FontHeight) font->SetHeight(*s.FontHeight);
      if (s.FontName) font->SetName(*s.FontName);
      if (s.FontPitch) font->SetPitch(static_cast<TFontPitch>(*s.FontPitch));
      if (s.FontSize) font->SetSize(*s.FontSize);
      // A stored False leaves the font's own bit as it is.
      TFontStyles fontStyle = font->Style();
      if (s.Bold) fontStyle.Include(fsBold);
      if (s.Italic) fontStyle.Include(fsItalic);
      if (s.Underline) fontStyle.Include(fsUnderline);
      if (s.StrikeOut) fontStyle.Include(fsStrikeOut);
      font->SetStyle(fontStyle);
      if (s.GradientMode) style->SetGradientMode(static_cast<TuiBarStyleGradientMode>(*s.GradientMode));
      if (s.Image) style->Image()->SetGraphic(s.Image.get());
      if (s.HAlignment) style->SetHAlignment(static_cast<TuiBarStyleHAlignment>(*s.HAlignment));
      if (s.VAlignment) style->SetVAlignment(static_cast<TuiBarStyleVAlignment>(*s.VAlignment));
      if (s.Tag) item->SetTag(*s.Tag);
      // A setter given the value the style holds already sets no bit.
      style->SetAssignedValues(s.Assigned);
      styles.push_back(item);
    }
  } else {
    for (int i = 0; i < FStyles->Count(); ++i) styles.push_back(FStyles->Items(i));
  }
  auto styleAt = [&styles](const std::optional<int>& AIndex) { return styles[static_cast<std::size_t>(*AIndex)]; };

  // A new item or group takes its stored name when that is free.
  auto applyCustomItem = [](TuiNavBarCustomItem* AItem, const StagedCustomItem& s, bool ANew) {
    if (ANew && IsValidIdent(s.Name) && !SameText(AItem->Name(), s.Name) &&
        (!AItem->Owner() || !AItem->Owner()->FindComponent(s.Name)))
      AItem->SetName(s.Name);
    if (s.Caption) AItem->SetCaption(*s.Caption);
  };

  std::vector<TuiNavBarItem*> storedItems;
  for (StagedItem& s : L.Items) {
    auto* item = static_cast<TuiNavBarItem*>(s.Target);
    if (!item) item = FItems->Add();
    applyCustomItem(item, s, !s.Target);
    if (s.Enabled) item->SetEnabled(*s.Enabled);
    if (s.Hint) item->SetHint(*s.Hint);
    if (s.LargeImageIndex) item->SetLargeImageIndex(*s.LargeImageIndex);
    if (s.SmallImageIndex) item->SetSmallImageIndex(*s.SmallImageIndex);
    for (int i = 0; i < TuiNavBarItem::ItemStyleCount; ++i)
      if (s.Styles[i]) item->SetItemStyle(i, styleAt(s.Styles[i]));
    if (s.Tag) item->SetTag(*s.Tag);
    if (s.Visible) item->SetVisible(*s.Visible);
    storedItems.push_back(item);
  }

  if (L.HasGroups) {
    std::vector<TuiNavBarGroupControl*> keptAside;
    for (int i = 0; i < FGroups->Count(); ++i) {
      TuiNavBarGroup* group = FGroups->Items(i);
      if (group->UseControl() && group->Control()) {
        keptAside.push_back(group->Control());
        group->DetachControl();
      }
    }
    for (std::size_t n = 0; n < L.Groups.size(); ++n) {
      StagedGroup& s = L.Groups[n];
      auto* group = static_cast<TuiNavBarGroup*>(s.Target);
      if (!group) group = FGroups->Add();
      applyCustomItem(group, s, !s.Target);
      if (s.Expanded) group->SetExpanded(*s.Expanded);
      if (s.Hint) group->SetHint(*s.Hint);
      if (s.LargeImageIndex) group->SetLargeImageIndex(*s.LargeImageIndex);
      if (s.LinksUseSmallImages) group->SetLinksUseSmallImages(*s.LinksUseSmallImages);
      if (s.HasLinks) {
        group->ClearLinks();
        for (const StagedLink& link : s.Links)
          group->AddLink(link.StoredItem >= 0 ? storedItems[static_cast<std::size_t>(link.StoredItem)] : link.BarItem);
      }
      if (s.SelectedLinkIndex) group->SetSelectedLinkIndex(*s.SelectedLinkIndex);
      if (s.ShowAsIconView) group->SetShowAsIconView(*s.ShowAsIconView);
      if (s.ShowExpandButton) group->SetShowExpandButton(*s.ShowExpandButton);
      if (s.SmallImageIndex) group->SetSmallImageIndex(*s.SmallImageIndex);
      for (int i : kStoredGroupStyles)
        if (s.Styles[i]) group->SetGroupStyle(i, styleAt(s.Styles[i]));
      if (s.Tag) group->SetTag(*s.Tag);
      if (s.TopVisibleLinkIndex) group->SetTopVisibleLinkIndex(*s.TopVisibleLinkIndex);
      if (s.UseSmallImages) group->SetUseSmallImages(*s.UseSmallImages);
      if (s.Visible) group->SetVisible(*s.Visible);
      if (s.Control) {
        group->AttachControl(s.Control);
        group->SetUseControl(true);
        if (s.ShowControl) group->SetShowControl(*s.ShowControl);
      }
      group->SetIndex(static_cast<int>(n));
    }
    for (TuiNavBarGroupControl* control : keptAside)
      if (!control->Group()) delete control;
    // A group whose control went no longer uses one.
    for (int i = 0; i < FGroups->Count(); ++i)
      if (FGroups->Items(i)->UseControl() && !FGroups->Items(i)->Control()) FGroups->Items(i)->SetUseControl(false);
  }

  if (L.ActiveGroup && *L.ActiveGroup >= 0 && *L.ActiveGroup < FGroups->Count()) SetActiveGroupIndex(*L.ActiveGroup);
  if (L.MaxVisibleGroups) SetNavigationPaneMaxVisibleGroups(*L.MaxVisibleGroups);
  for (int i = 0; i < ControlStyleCount; ++i)
    if (L.ControlStyles[i]) SetStyleItem(i, styleAt(L.ControlStyles[i]));
}
