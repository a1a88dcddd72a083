#include "platform/classlib/Buttons.h"

#include <algorithm>

#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(new TBitmap()) {
  FWidth = 23;
  FHeight = 22;
  FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csClickEvents, csSetCaption};
  FGlyph->OnChange = [this](TObject*) { glyphChanged(); };
}

TSpeedButton::~TSpeedButton() {
  delete FGlyphList;
  delete FGlyph;
}

void TSpeedButton::glyphChanged() {
  delete FGlyphList;
  FGlyphList = nullptr;
  // A glyph bitmap of several square images tells how many it holds.
  if (!FGlyph->Empty() && FGlyph->Height() > 0 && FGlyph->Width() % FGlyph->Height() == 0) {
    int n = FGlyph->Width() / FGlyph->Height();
    if (n >= 1 && n <= 4) FNumGlyphs = n;
  }
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) {
  if (Value < 1 || Value > 4 || Value == FNumGlyphs) return;
  FNumGlyphs = Value;
  delete FGlyphList;
  FGlyphList = nullptr;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  FLayout = Value;
  Invalidate();
}
void TSpeedButton::SetMargin(int Value) {
  FMargin = Value;
  Invalidate();
}
void TSpeedButton::SetSpacing(int Value) {
  FSpacing = Value;
  Invalidate();
}
void TSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  Invalidate();
}
void TSpeedButton::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value) {
  FGroupIndex = Value;
  if (FGroupIndex == 0 && FDown) SetDown(false);
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  FAllowAllUp = Value;
  // Buttons of a group share the setting.
  if (FGroupIndex != 0 && FParent)
    for (int i = 0; i < FParent->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TSpeedButton*>(FParent->Controls(i)))
        if (b != this && b->FGroupIndex == FGroupIndex) b->FAllowAllUp = Value;
}

void TSpeedButton::raiseOthers() {
  if (FGroupIndex == 0 || !FParent) return;
  for (int i = 0; i < FParent->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TSpeedButton*>(FParent->Controls(i)))
      if (b != this && b->FGroupIndex == FGroupIndex && b->FDown) {
        b->FDown = false;
        b->updateState();
      }
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  // The last down button of a group without AllowAllUp stays down.
  if (!Value && FGroupIndex != 0 && !FAllowAllUp && !ComponentState().Contains(csLoading)) {
    bool otherDown = false;
    if (FParent)
      for (int i = 0; i < FParent->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(FParent->Controls(i)))
          if (b != this && b->FGroupIndex == FGroupIndex && b->FDown) otherDown = true;
    if (!otherDown) return;
  }
  FDown = Value;
  if (Value) raiseOthers();
  updateState();
}

void TSpeedButton::updateState() {
  if (!Enabled()) FState = bsDisabled;
  else if (FDown) FState = bsExclusive;
  else if (FDragging && FMouseInControl) FState = bsDown;
  else FState = bsUp;
  Invalidate();
}

void TSpeedButton::Click() {
  if (FGroupIndex != 0) {
    if (!FDown) SetDown(true);
    else if (FAllowAllUp) SetDown(false);
  }
  inherited::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Enabled()) {
    FDragging = true;
    FMouseInControl = true;
    updateState();
  }
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FDragging) {
    bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
    if (inside != FMouseInControl) {
      FMouseInControl = inside;
      updateState();
    }
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FDragging) {
    FDragging = false;
    updateState();
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::CMMouseEnter(TCMMouseEnter& Message) {
  inherited::CMMouseEnter(Message);
  FMouseInControl = true;
  if (FFlat || FDragging) updateState();
}

void TSpeedButton::CMMouseLeave(TCMMouseLeave& Message) {
  inherited::CMMouseLeave(Message);
  FMouseInControl = false;
  if (FFlat || FDragging) updateState();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  updateState();
}

void TSpeedButton::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
}

void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  RECT r{0, 0, FWidth, FHeight};
  bool pressed = FState == bsDown || FState == bsExclusive;
  if (!FFlat) {
    UINT state = DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0) | (FState == bsExclusive ? DFCS_CHECKED : 0);
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
  } else {
    if (!FTransparent) {
      c->Brush()->SetColor(FColor == clWindow ? clBtnFace : FColor);
      c->FillRect({0, 0, FWidth, FHeight});
    }
    if (pressed) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    else if (FMouseInControl && Enabled()) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  }

  // Glyph and caption, laid out together.
  int glyphW = 0, glyphH = 0;
  if (!FGlyph->Empty()) {
    glyphW = FGlyph->Width() / FNumGlyphs;
    glyphH = FGlyph->Height();
    if (!FGlyphList) {
      FGlyphList = new TImageList(glyphW, glyphH);
      FGlyphList->AddMasked(FGlyph, FGlyph->TransparentColor());
    }
  }
  std::string caption = Caption();
  c->Font()->Assign(Font());
  SIZE text{0, 0};
  if (!caption.empty()) {
    RECT calc{0, 0, FWidth, 0};
    DrawText(dc, caption.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    text = {calc.right, calc.bottom};
  }
  bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
  int total = horizontal ? FWidth : FHeight;
  int gsize = horizontal ? glyphW : glyphH;
  int tsize = horizontal ? text.cx : text.cy;
  int spacing = (gsize == 0 || tsize == 0) ? 0 : FSpacing;
  int margin = FMargin;
  if (margin == -1) {
    if (spacing == -1) {
      int free = total - gsize - tsize;
      margin = free / 3;
      spacing = margin;
    } else {
      margin = (total - (gsize + spacing + tsize)) / 2;
    }
  } else if (spacing == -1) {
    spacing = (total - margin - gsize - tsize) / 2;
  }
  int shift = pressed ? 1 : 0;
  POINT gpos{0, 0}, tpos{0, 0};
  switch (FLayout) {
    case blGlyphLeft:
      gpos = {margin, (FHeight - glyphH) / 2};
      tpos = {margin + glyphW + spacing, (FHeight - text.cy) / 2};
      break;
    case blGlyphRight:
      gpos = {FWidth - margin - glyphW, (FHeight - glyphH) / 2};
      tpos = {FWidth - margin - glyphW - spacing - text.cx, (FHeight - text.cy) / 2};
      break;
    case blGlyphTop:
      gpos = {(FWidth - glyphW) / 2, margin};
      tpos = {(FWidth - text.cx) / 2, margin + glyphH + spacing};
      break;
    case blGlyphBottom:
      gpos = {(FWidth - glyphW) / 2, FHeight - margin - glyphH};
      tpos = {(FWidth - text.cx) / 2, FHeight - margin - glyphH - spacing - text.cy};
      break;
  }
  if (FGlyphList && FGlyphList->Count() > 0) {
    int index = 0;
    bool greyed = false;
    switch (FState) {
      case bsDisabled:
        if (FNumGlyphs > 1) index = 1;
        else greyed = true;
        break;
      case bsDown: index = FNumGlyphs > 2 ? 2 : 0; break;
      case bsExclusive: index = FNumGlyphs > 3 ? 3 : FNumGlyphs > 2 ? 2 : 0; break;
      case bsUp: break;
    }
    index = std::min(index, FGlyphList->Count() - 1);
    FGlyphList->Draw(c, gpos.x + shift, gpos.y + shift, index, !greyed);
  }
  if (!caption.empty()) {
    c->Brush()->SetStyle(bsClear);
    RECT t{tpos.x + shift, tpos.y + shift, tpos.x + shift + text.cx, tpos.y + shift + text.cy};
    if (FState == bsDisabled) {
      RECT t2{t.left + 1, t.top + 1, t.right + 1, t.bottom + 1};
      c->Font()->SetColor(clBtnHighlight);
      DrawText(c->Handle(), caption.c_str(), -1, &t2, DT_SINGLELINE);
      c->Font()->SetColor(clBtnShadow);
    }
    DrawText(c->Handle(), caption.c_str(), -1, &t, DT_SINGLELINE);
    c->Brush()->SetStyle(bsSolid);
  }
}
