#include "platform/classlib/ComCtrls.h"

#include <algorithm>

#include "platform/classlib/SysUtils.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"

namespace {

// The platform's drop-down arrow beside a tool button.
constexpr int kDropDownWidth = 14;
// A button is at least its image plus the platform's margins around it:
// 16 x 16 images give the default 23 x 22 buttons.
constexpr int kImageMarginX = 7;
constexpr int kImageMarginY = 6;

UINT edgeFlags(TEdgeStyle Inner, TEdgeStyle Outer) {
  UINT e = 0;
  if (Outer == esRaised) e |= BDR_RAISEDOUTER;
  if (Outer == esLowered) e |= BDR_SUNKENOUTER;
  if (Inner == esRaised) e |= BDR_RAISEDINNER;
  if (Inner == esLowered) e |= BDR_SUNKENINNER;
  return e;
}

// Measured on the screen, so that a bar without a window yet can lay out.
int textWidth(TFont* Font, const std::string& Text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  SIZE size{0, 0};
  GetTextExtentPoint32(dc, Text.c_str(), static_cast<int>(Text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

}  // namespace

// ---------------------------------------------------------------------------
TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  FWidth = 23;
  FHeight = 22;
  FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csClickEvents};
}

TToolButton::~TToolButton() {
  Destroying();
  if (FToolBar) FToolBar->removeButton(this);
}

TToolBar* TToolButton::ToolBar() const { return FToolBar; }

int TToolButton::Index() const {
  if (!FToolBar) return -1;
  auto& b = FToolBar->FButtons;
  auto it = std::find(b.begin(), b.end(), this);
  return it == b.end() ? -1 : static_cast<int>(it - b.begin());
}

void TToolButton::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (FToolBar) FToolBar->removeButton(this);
  inherited::SetParent(AParent);
  if (auto* bar = dynamic_cast<TToolBar*>(AParent)) bar->insertButton(this);
}

void TToolButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  // A width set on a separator changes the layout; the bar's own moves do
  // not come back here.
  if (FToolBar && !FToolBar->FLaying) FToolBar->LayoutButtons();
}

void TToolButton::relayout() {
  if (FToolBar) FToolBar->LayoutButtons();
  Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (isSeparator() && !ComponentState().Contains(csLoading)) FWidth = 8;
  relayout();
}

void TToolButton::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Invalidate();
}

void TToolButton::SetDown(bool Value) {
  if (FDown == Value) return;
  FDown = Value;
  if (Value && FGrouped && FStyle == tbsCheck && FToolBar) {
    // The group is the run of grouped check buttons around this one.
    int i = Index();
    auto& b = FToolBar->FButtons;
    auto inGroup = [&](int k) { return b[k]->FGrouped && b[k]->FStyle == tbsCheck; };
    for (int k = i - 1; k >= 0 && inGroup(k); --k) b[k]->FDown = false, b[k]->Invalidate();
    for (int k = i + 1; k < static_cast<int>(b.size()) && inGroup(k); ++k) b[k]->FDown = false, b[k]->Invalidate();
  }
  Invalidate();
}

void TToolButton::SetWrap(bool Value) {
  if (FWrap == Value) return;
  FWrap = Value;
  relayout();
}

void TToolButton::SetIndeterminate(bool Value) {
  FIndeterminate = Value;
  Invalidate();
}

void TToolButton::SetMarked(bool Value) {
  FMarked = Value;
  Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value) {
  if (FDropdownMenu == Value) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = Value;
  if (FDropdownMenu) FDropdownMenu->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

void TToolButton::Click() {
  if (FStyle == tbsCheck) {
    if (!FDown) SetDown(true);
    else if (!FGrouped || FAllowAllUp) SetDown(false);
  }
  inherited::Click();
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled() && !isSeparator()) {
    if (FStyle == tbsDropDown && FDropdownMenu && X >= FWidth - kDropDownWidth) {
      TPoint p = ClientToScreen({0, FHeight});
      FDropdownMenu->SetPopupComponent(this);
      FDropdownMenu->Popup(p.x, p.y);
    } else {
      FPressed = true;
      Invalidate();
    }
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPressed) {
    FPressed = false;
    Invalidate();
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

void TToolButton::CMMouseEnter(TCMMouseEnter& Message) {
  inherited::CMMouseEnter(Message);
  FMouseInControl = true;
  if (FToolBar && FToolBar->FFlat) Invalidate();
}

void TToolButton::CMMouseLeave(TCMMouseLeave& Message) {
  inherited::CMMouseLeave(Message);
  FMouseInControl = false;
  if (FToolBar && FToolBar->FFlat) Invalidate();
}

void TToolButton::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  if (FToolBar && FToolBar->FShowCaptions) FToolBar->LayoutButtons();
  Invalidate();
}

void TToolButton::CMVisibleChanged(TMessage& Message) {
  inherited::CMVisibleChanged(Message);
  if (FToolBar) FToolBar->LayoutButtons();
}

void TToolButton::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  Invalidate();
}

void TToolButton::Paint() {
  TCanvas* c = Canvas();
  TToolBar* bar = FToolBar;
  bool flat = bar && bar->FFlat;
  TRect r{0, 0, FWidth, FHeight};
  HDC dc = c->Handle();
  // On a transparent bar only flat buttons let the background show; the
  // platform draws raised buttons with their face.
  if (!bar || !bar->FTransparent || !flat) {
    c->Brush()->SetColor(bar && !bar->FTransparent ? bar->Color() : clBtnFace);
    c->FillRect(r);
  }
  if (isSeparator()) {
    if (FStyle == tbsDivider || flat) {
      RECT line{FWidth / 2 - 1, 0, FWidth / 2 + 1, FHeight};
      DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
    }
    return;
  }
  bool down = FDown || FPressed;
  TRect face = r;
  if (FStyle == tbsDropDown) face.right -= kDropDownWidth;
  bool enabled = Enabled();
  if (down) {
    RECT e = face;
    DrawEdge(dc, &e, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
  } else if (!flat || (FMouseInControl && enabled)) {
    RECT e = face;
    DrawEdge(dc, &e, flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
  }
  if (FStyle == tbsDropDown) {
    RECT arrow{face.right, 0, FWidth, FHeight};
    if (!flat || FMouseInControl) DrawEdge(dc, &arrow, flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
    int ax = face.right + kDropDownWidth / 2 - 3, ay = FHeight / 2 - 1;
    c->Pen()->SetColor(enabled ? clBtnText : clGrayText);
    for (int k = 0; k < 3; ++k) {
      c->MoveTo(ax + k, ay + k);
      c->LineTo(ax + 6 - k - 1 + 1, ay + k);
    }
  }
  int shift = down ? 1 : 0;
  TCustomImageList* images = bar ? bar->FImages : nullptr;
  TCustomImageList* drawWith = images;
  bool greyed = false;
  if (bar && !enabled) {
    if (bar->FDisabledImages) drawWith = bar->FDisabledImages;
    else greyed = true;
  } else if (bar && FMouseInControl && bar->FHotImages) {
    drawWith = bar->FHotImages;
  }
  std::string caption = bar && bar->FShowCaptions ? Caption() : std::string();
  int textH = caption.empty() ? 0 : c->TextHeight(caption);
  int imgW = images ? images->Width() : 0, imgH = images ? images->Height() : 0;
  bool hasImage = drawWith && FImageIndex >= 0 && FImageIndex < drawWith->Count();
  int faceW = face.right - face.left;
  if (bar && bar->FList) {
    int x = 3 + shift, y = (FHeight - imgH) / 2 + shift;
    if (hasImage) drawWith->Draw(c, x, y, FImageIndex, !greyed);
    if (!caption.empty()) {
      RECT t{x + imgW + 3, shift, face.right, FHeight + shift};
      c->Brush()->SetStyle(bsClear);
      c->Font()->SetColor(enabled ? clBtnText : clGrayText);
      DrawText(c->Handle(), caption.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      c->Brush()->SetStyle(bsSolid);
    }
    return;
  }
  int top = (FHeight - imgH - (textH ? textH + 1 : 0)) / 2 + shift;
  if (hasImage) drawWith->Draw(c, (faceW - imgW) / 2 + shift, top, FImageIndex, !greyed);
  if (!caption.empty()) {
    RECT t{shift, top + imgH + 1, faceW + shift, top + imgH + 1 + textH};
    c->Brush()->SetStyle(bsClear);
    if (!enabled) {
      RECT t2{t.left + 1, t.top + 1, t.right + 1, t.bottom + 1};
      c->Font()->SetColor(clBtnHighlight);
      DrawText(c->Handle(), caption.c_str(), -1, &t2, DT_SINGLELINE | DT_CENTER);
    }
    c->Font()->SetColor(enabled ? clBtnText : clBtnShadow);
    DrawText(c->Handle(), caption.c_str(), -1, &t, DT_SINGLELINE | DT_CENTER);
    c->Brush()->SetStyle(bsSolid);
  }
}

// ---------------------------------------------------------------------------
TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner), FImageLink(new TChangeLink()) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
  FWidth = 150;
  FHeight = 29;
  FAlign = alTop;
  FColor = clBtnFace;
  FParentColor = false;
  // A list that changes its image size changes the buttons' size.
  FImageLink->OnChange = [this](TObject*) { LayoutButtons(); };
}

TToolBar::~TToolBar() {
  Destroying();
  for (TToolButton* b : FButtons) b->FToolBar = nullptr;
  FButtons.clear();
  setImageList(FImages, nullptr);
  setImageList(FDisabledImages, nullptr);
  setImageList(FHotImages, nullptr);
  delete FImageLink;
}

TToolButton* TToolBar::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FButtons[static_cast<size_t>(Index)];
}

void TToolBar::insertButton(TToolButton* Button) {
  size_t at = FButtons.size();
  // Streamed buttons keep the order they are read in.
  if (!ComponentState().Contains(csLoading) && !Button->ComponentState().Contains(csLoading)) {
    for (size_t i = 0; i < FButtons.size(); ++i) {
      TToolButton* b = FButtons[i];
      bool rowBefore = Button->Top() < b->Top();
      bool sameRow = Button->Top() < b->Top() + b->Height();
      if (rowBefore || (sameRow && Button->Left() < b->Left() + b->Width() / 2)) {
        at = i;
        break;
      }
    }
  }
  FButtons.insert(FButtons.begin() + static_cast<std::ptrdiff_t>(at), Button);
  Button->FToolBar = this;
  LayoutButtons();
}

void TToolBar::removeButton(TToolButton* Button) {
  auto it = std::find(FButtons.begin(), FButtons.end(), Button);
  if (it != FButtons.end()) FButtons.erase(it);
  Button->FToolBar = nullptr;
  if (!ComponentState().Contains(csDestroying)) LayoutButtons();
}

TRect TToolBar::edgeSizes() const {
  int one = (FEdgeInner != esNone ? 1 : 0) + (FEdgeOuter != esNone ? 1 : 0);
  return {FEdgeBorders.Contains(ebLeft) ? one : 0, FEdgeBorders.Contains(ebTop) ? one : 0,
          FEdgeBorders.Contains(ebRight) ? one : 0, FEdgeBorders.Contains(ebBottom) ? one : 0};
}

TRect TToolBar::ClientRect() {
  TRect e = edgeSizes();
  return {0, 0, std::max(0, FWidth - e.left - e.right), std::max(0, FHeight - e.top - e.bottom)};
}

int TToolBar::buttonHeight() const { return std::max(FButtonHeight, FImages ? FImages->Height() + kImageMarginY : 0); }

int TToolBar::buttonWidthFor(TToolButton* Button) {
  if (Button->isSeparator()) return Button->FWidth;
  int w = std::max(FButtonWidth, FImages ? FImages->Width() + kImageMarginX : 0);
  if (FShowCaptions) {
    // Captions widen every button to the widest one, as the platform does.
    int widest = 0;
    for (TToolButton* b : FButtons)
      if (!b->isSeparator() && b->Visible()) widest = std::max(widest, textWidth(Font(), b->Caption()));
    int imgW = FImages ? FImages->Width() : 0;
    w = std::max(w, FList ? imgW + widest + 9 : std::max(imgW, widest) + 7);
  }
  if (Button->FStyle == tbsDropDown) w += kDropDownWidth;
  return w;
}

void TToolBar::LayoutButtons() {
  // While the bar is read, a button's streamed width (a separator's) comes
  // before its style: laying out then would force it to ButtonWidth.
  if (FLaying || ComponentState().Contains(csLoading)) return;
  FLaying = true;
  int clientW = ClientRect().right;
  const int rowH = buttonHeight();
  int x = FIndent, y = 0;
  int rows = 0;
  bool rowOpen = false;
  for (TToolButton* b : FButtons) {
    if (!b->Visible() && !ComponentState().Contains(csDesigning)) continue;
    int w = buttonWidthFor(b);
    if (FWrapable && rowOpen && x > FIndent && x + w > clientW && !b->isSeparator()) {
      x = FIndent;
      y += rowH;
      rowOpen = false;
    }
    if (!rowOpen) ++rows;
    rowOpen = true;
    b->SetBounds(x, y, w, rowH);
    x += w;
    if (b->FWrap) {
      x = FIndent;
      y += rowH;
      rowOpen = false;
    }
  }
  FRowCount = rows;
  if (FAutoSize) {
    TRect e = edgeSizes();
    int h = std::max(rows, 1) * rowH + e.top + e.bottom;
    if (h != FHeight) SetBounds(FLeft, FTop, FWidth, h);
  }
  FLaying = false;
  Invalidate();
}

void TToolBar::Loaded() {
  inherited::Loaded();
  LayoutButtons();
}

void TToolBar::AlignControls(TControl* AControl, TRect& Rect) {
  inherited::AlignControls(AControl, Rect);
  LayoutButtons();
}

void TToolBar::CreateWnd() {
  inherited::CreateWnd();
  // The edges come from WM_NCCALCSIZE, which a new window only gets on a
  // frame change.
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TToolBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCCALCSIZE) {
    inherited::WndProc(Message);
    RECT* rc = reinterpret_cast<RECT*>(Message.LParam);  // rgrc[0] comes first either way
    TRect e = edgeSizes();
    rc->left += e.left;
    rc->top += e.top;
    rc->right = std::max(rc->left, rc->right - static_cast<LONG>(e.right));
    rc->bottom = std::max(rc->top, rc->bottom - static_cast<LONG>(e.bottom));
    return;
  }
  if (Message.Msg == WM_NCPAINT) {
    inherited::WndProc(Message);
    paintEdges();
    return;
  }
  inherited::WndProc(Message);
}

void TToolBar::paintEdges() {
  if (!FHandle || FEdgeBorders.Empty()) return;
  HDC dc = GetWindowDC(FHandle);
  if (!dc) return;
  RECT r{0, 0, FWidth, FHeight};
  UINT flags = 0;
  if (FEdgeBorders.Contains(ebLeft)) flags |= BF_LEFT;
  if (FEdgeBorders.Contains(ebTop)) flags |= BF_TOP;
  if (FEdgeBorders.Contains(ebRight)) flags |= BF_RIGHT;
  if (FEdgeBorders.Contains(ebBottom)) flags |= BF_BOTTOM;
  HBRUSH face = CreateSolidBrush(ColorToRGB(FColor));
  TRect e = edgeSizes();
  RECT strips[] = {{0, 0, FWidth, e.top}, {0, FHeight - e.bottom, FWidth, FHeight},
                   {0, 0, e.left, FHeight}, {FWidth - e.right, 0, FWidth, FHeight}};
  for (RECT& s : strips) FillRect(dc, &s, face);
  DeleteObject(face);
  DrawEdge(dc, &r, edgeFlags(FEdgeInner, FEdgeOuter), flags);
  ReleaseDC(FHandle, dc);
}

void TToolBar::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (!FTransparent || !FParent || !FParent->HandleAllocated() || !FHandle) {
    inherited::WMEraseBkgnd(Message);
    return;
  }
  // A transparent bar shows its parent's background: the parent erases
  // the bar's area, its origin moved to where the bar lies on it.
  POINT origin{0, 0};
  MapWindowPoints(FHandle, FParent->Handle(), &origin, 1);
  POINT old{};
  OffsetViewportOrgEx(Message.DC, -origin.x, -origin.y, &old);
  SendMessage(FParent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(Message.DC),
              reinterpret_cast<LPARAM>(Message.DC));
  SetViewportOrgEx(Message.DC, old.x, old.y, nullptr);
  Message.Result = 1;
}

void TToolBar::Paint() {
  // A transparent bar's background came with the erase.
  if (FTransparent && FParent) return;
  Canvas()->Brush()->SetColor(FColor);
  Canvas()->FillRect(ClientRect());
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FDisabledImages) FDisabledImages = nullptr;
  if (AComponent == FHotImages) FHotImages = nullptr;
}

void TToolBar::setImageList(TCustomImageList*& Field, TCustomImageList* Value) {
  if (Field == Value) return;
  if (Field) {
    if (&Field == &FImages) Field->UnRegisterChanges(FImageLink);
    Field->RemoveFreeNotification(this);
  }
  Field = Value;
  if (Field) {
    if (&Field == &FImages) Field->RegisterChanges(FImageLink);
    Field->FreeNotification(this);
  }
  if (!ComponentState().Contains(csDestroying)) LayoutButtons();
}

void TToolBar::SetImages(TCustomImageList* Value) { setImageList(FImages, Value); }
void TToolBar::SetDisabledImages(TCustomImageList* Value) { setImageList(FDisabledImages, Value); }
void TToolBar::SetHotImages(TCustomImageList* Value) { setImageList(FHotImages, Value); }

#define QV_TOOLBAR_SETTER(Name, Field, Type, Frame)           \
  void TToolBar::Set##Name(Type Value) {                      \
    if (Field == Value) return;                               \
    Field = Value;                                            \
    if (Frame && FHandle)                                     \
      SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,              \
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |   \
                       SWP_NOACTIVATE | SWP_FRAMECHANGED);    \
    LayoutButtons();                                          \
  }
QV_TOOLBAR_SETTER(ButtonWidth, FButtonWidth, int, false)
QV_TOOLBAR_SETTER(ButtonHeight, FButtonHeight, int, false)
QV_TOOLBAR_SETTER(ShowCaptions, FShowCaptions, bool, false)
QV_TOOLBAR_SETTER(Flat, FFlat, bool, false)
QV_TOOLBAR_SETTER(Wrapable, FWrapable, bool, false)
QV_TOOLBAR_SETTER(Transparent, FTransparent, bool, false)
QV_TOOLBAR_SETTER(AutoSize, FAutoSize, bool, false)
QV_TOOLBAR_SETTER(Indent, FIndent, int, false)
QV_TOOLBAR_SETTER(List, FList, bool, false)
QV_TOOLBAR_SETTER(EdgeBorders, FEdgeBorders, TEdgeBorders, true)
QV_TOOLBAR_SETTER(EdgeInner, FEdgeInner, TEdgeStyle, true)
QV_TOOLBAR_SETTER(EdgeOuter, FEdgeOuter, TEdgeStyle, true)
#undef QV_TOOLBAR_SETTER

// ---------------------------------------------------------------------------
void TStatusPanel::SetText(const std::string& Value) {
  if (FText == Value) return;
  FText = Value;
  Changed(false);
}
void TStatusPanel::SetWidth(int Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  Changed(true);
}
void TStatusPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Changed(false);
}
void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
  if (FBevel == Value) return;
  FBevel = Value;
  Changed(false);
}
void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TStatusPanel*>(Source)) {
    FText = p->FText;
    FWidth = p->FWidth;
    FAlignment = p->FAlignment;
    FBevel = p->FBevel;
    FStyle = p->FStyle;
    Changed(true);
    return;
  }
  inherited::Assign(Source);
}

TStatusPanels::TStatusPanels(TStatusBar* StatusBar) : TCollection(TStatusPanel::StaticClass()), FStatusBar(StatusBar) {}

TPersistent* TStatusPanels::GetOwner() const { return FStatusBar; }

void TStatusPanels::Update(TCollectionItem* Item) {
  (void)Item;
  if (FStatusBar) FStatusBar->Invalidate();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), FPanels(new TStatusPanels(this)) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  FWidth = 150;
  FHeight = 19;
  FAlign = alBottom;
  FColor = clBtnFace;
  FParentColor = false;
}

TStatusBar::~TStatusBar() {
  Destroying();
  delete FPanels;
}

void TStatusBar::SetSimplePanel(bool Value) {
  if (FSimplePanel == Value) return;
  FSimplePanel = Value;
  Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& Value) {
  if (FSimpleText == Value) return;
  FSimpleText = Value;
  Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value) {
  if (FSizeGrip == Value) return;
  FSizeGrip = Value;
  Invalidate();
}

// The grip shows only where it can size the window: on a bar at the bottom
// of a sizeable top-level window.
bool TStatusBar::gripShown() {
  if (!FSizeGrip) return false;
  TWinControl* top = FParent;
  while (top && top->Parent()) top = top->Parent();
  if (!top || !top->HandleAllocated()) return FSizeGrip;
  return (GetWindowLong(top->Handle(), GWL_STYLE) & WS_THICKFRAME) != 0;
}

TRect TStatusBar::PanelRect(int Index) {
  TRect client = ClientRect();
  int right = client.right - (gripShown() ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  int x = 0;
  for (int i = 0; i < FPanels->Count(); ++i) {
    int w = FPanels->Items(i)->Width();
    bool last = i == FPanels->Count() - 1;
    TRect r{x, 2, last ? std::max(x, right) : x + w, client.bottom};
    if (i == Index) return r;
    x += w + 2;
  }
  return {0, 0, 0, 0};
}

void TStatusBar::drawPanel(const TRect& R, const std::string& Text, TAlignment Alignment, TStatusPanelBevel Bevel) {
  TCanvas* c = Canvas();
  RECT e = R;
  if (Bevel != pbNone) DrawEdge(c->Handle(), &e, Bevel == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  RECT t{R.left + 2, R.top + 1, R.right - 2, R.bottom - 1};
  UINT align = Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  DrawText(c->Handle(), Text.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | align);
  c->Brush()->SetStyle(bsSolid);
}

void TStatusBar::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  c->Brush()->SetColor(FColor);
  c->FillRect(client);
  bool grip = gripShown();
  int gripW = grip ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  if (FSimplePanel || FPanels->Count() == 0) {
    TRect r{0, 2, client.right - gripW, client.bottom};
    drawPanel(r, FSimplePanel ? FSimpleText : std::string(), taLeftJustify, FSimplePanel ? pbLowered : pbNone);
  } else {
    for (int i = 0; i < FPanels->Count(); ++i) {
      TStatusPanel* p = FPanels->Items(i);
      TRect r = PanelRect(i);
      if (p->Style() == psOwnerDraw && OnDrawPanel) {
        drawPanel(r, std::string(), p->Alignment(), p->Bevel());
        OnDrawPanel(this, p, r);
      } else {
        drawPanel(r, p->Text(), p->Alignment(), p->Bevel());
      }
    }
  }
  if (grip) {
    RECT g{client.right - gripW, client.bottom - gripW, client.right, client.bottom};
    DrawFrameControl(c->Handle(), &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}
