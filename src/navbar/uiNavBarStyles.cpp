#include "navbar/uiNavBarStyles.h"

#include <algorithm>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Jpeg.h"

namespace {
const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarBaseUnit};

// The picture classes are registered too, so that a stored layout's
// "ImageClass" finds them by name. They are the class library's standard
// classes, which stay registered for everyone else after the unit ends.
void startUp() {
  RegisterClasses({TBitmap::StaticClass(), TJPEGImage::StaticClass(), TIcon::StaticClass(),
                   TMetafile::StaticClass(), TuiNavBarStyleItem::StaticClass()});
}
void shutDown() { UnRegisterClass(TuiNavBarStyleItem::StaticClass()); }
}  // namespace

const qv::classlib::TUnitInfo uiNavBarStylesUnit{"uiNavBarStyles", kUses, &startUp, &shutDown};

// ---------------------------------------------------------------------------
// TuiBaseNavBarStyle

TuiBaseNavBarStyle::TuiBaseNavBarStyle(TPersistent* AOwnerObject)
    : FOwnerObject(AOwnerObject), FFont(new TFont), FImage(new TPicture) {
  FFont->OnChange = [this](TObject*) { fontChanged(); };
  FImage->OnChange = [this](TObject*) { imageChanged(); };
}

TuiBaseNavBarStyle::~TuiBaseNavBarStyle() {
  FFont->OnChange = nullptr;
  FImage->OnChange = nullptr;
  delete FImage;
  delete FFont;
}

void TuiBaseNavBarStyle::Changed(TuiNavBarChangeType AType) {
  if (OnValuesChanged) OnValuesChanged(this, AType);
}

void TuiBaseNavBarStyle::assigned(TuiBarStyleAssignedValue Value) {
  if (TrackAssignedValues()) FAssignedValues.Include(Value);
}

void TuiBaseNavBarStyle::SetAlphaBlending(BYTE Value) {
  if (Value == FAlphaBlending) return;
  FAlphaBlending = Value;
  assigned(savAlphaBlending);
  Changed(doRedraw);
}

void TuiBaseNavBarStyle::SetAlphaBlending2(BYTE Value) {
  if (Value == FAlphaBlending2) return;
  FAlphaBlending2 = Value;
  assigned(savAlphaBlending2);
  Changed(doRedraw);
}

void TuiBaseNavBarStyle::SetBackColor(TColor Value) {
  if (Value == FBackColor) return;
  FBackColor = Value;
  assigned(savBackColor);
  Changed(doRedraw);
}

void TuiBaseNavBarStyle::SetBackColor2(TColor Value) {
  if (Value == FBackColor2) return;
  FBackColor2 = Value;
  assigned(savBackColor2);
  Changed(doRedraw);
}

void TuiBaseNavBarStyle::SetGradientMode(TuiBarStyleGradientMode Value) {
  if (Value == FGradientMode) return;
  FGradientMode = Value;
  assigned(savGradientMode);
  Changed(doRedraw);
}

void TuiBaseNavBarStyle::SetHAlignment(TuiBarStyleHAlignment Value) {
  if (Value == FHAlignment) return;
  FHAlignment = Value;
  assigned(savHAlignment);
  Changed(doRedraw);
}

void TuiBaseNavBarStyle::SetVAlignment(TuiBarStyleVAlignment Value) {
  if (Value == FVAlignment) return;
  FVAlignment = Value;
  assigned(savVAlignment);
  Changed(doRedraw);
}

void TuiBaseNavBarStyle::SetAssignedValues(TuiBarStyleAssignedValues Value) {
  if (Value == FAssignedValues) return;
  FAssignedValues = Value;
  Changed(doRecalc);
}

void TuiBaseNavBarStyle::SetFont(TFont* Value) {
  // The copy fires the font's own change once per property; the setter
  // reports the whole copy once instead.
  FCopying = true;
  try {
    FFont->Assign(Value);
  } catch (...) {
    FCopying = false;
    throw;
  }
  FCopying = false;
  assigned(savFont);
  Changed(doRecalc);
}

void TuiBaseNavBarStyle::SetImage(TPicture* Value) {
  FCopying = true;
  try {
    FImage->Assign(Value);
  } catch (...) {
    FCopying = false;
    throw;
  }
  FCopying = false;
  assigned(savImage);
  Changed(doRecalc);
}

void TuiBaseNavBarStyle::fontChanged() {
  if (FCopying) return;
  assigned(savFont);
  Changed(doRecalc);
}

void TuiBaseNavBarStyle::imageChanged() {
  if (FCopying) return;
  assigned(savImage);
  Changed(doRecalc);
}

void TuiBaseNavBarStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiBaseNavBarStyle*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  SetAlphaBlending(source->AlphaBlending());
  SetAlphaBlending2(source->AlphaBlending2());
  SetBackColor(source->BackColor());
  SetBackColor2(source->BackColor2());
  SetGradientMode(source->GradientMode());
  SetFont(source->Font());
  SetImage(source->Image());
  SetHAlignment(source->HAlignment());
  SetVAlignment(source->VAlignment());
  SetAssignedValues(source->AssignedValues());
}

void TuiBaseNavBarStyle::ResetValues() {
  SetAlphaBlending(255);
  SetAlphaBlending2(255);
  SetBackColor(0xFFFFFF);
  SetBackColor2(0xFFFFFF);
  SetGradientMode(gmHorizontal);
  FFont->SetCharset(DEFAULT_CHARSET);
  FFont->SetColor(clWindowText);
  FFont->SetHeight(-11);
  FFont->SetName("MS Sans Serif");
  FFont->SetPitch(fpDefault);
  FFont->SetSize(8);
  FFont->SetStyle(TFontStyles{});
  FImage->SetGraphic(nullptr);
  SetHAlignment(haLeft);
  SetVAlignment(vaCenter);
  SetAssignedValues(TuiBarStyleAssignedValues{});
}

// ---------------------------------------------------------------------------
// TuiNavBarStyle

bool TuiNavBarStyle::TrackAssignedValues() const {
  auto* owner = dynamic_cast<TComponent*>(OwnerObject());
  return !(owner && owner->ComponentState().Contains(csReading));
}

// ---------------------------------------------------------------------------
// TuiNavBarDefaultStyle

void TuiNavBarDefaultStyle::Changed(TuiNavBarChangeType AType) {
  TuiBaseNavBarStyle::Changed(AType);
  if (auto* styles = dynamic_cast<TuiNavBarDefaultStyles*>(OwnerObject())) styles->StyleChanged(this, AType);
  FHoldsViewDefaults = false;
}

void TuiNavBarDefaultStyle::AssignDefaultValues(bool AOnlyIfDefault) {
  if (!ViewDefaultsProc || (AOnlyIfDefault && !FHoldsViewDefaults)) return;
  ViewDefaultsProc();
  FHoldsViewDefaults = true;
}

// ---------------------------------------------------------------------------
// TuiNavBarDefaultStyles

TuiNavBarDefaultStyles::TuiNavBarDefaultStyles(TPersistent* AOwnerObject) : FOwnerObject(AOwnerObject) {
  CreateStyles();
}

TuiNavBarDefaultStyles::~TuiNavBarDefaultStyles() { DestroyStyles(); }

void TuiNavBarDefaultStyles::CreateStyles() {
  for (int i = 0; i < StyleCount; ++i) {
    auto* style = new TuiNavBarDefaultStyle(this);
    style->ViewDefaultsProc = [this, i, style]() {
      IuiNavBarOwner* navBar = NavBarOf(dynamic_cast<TComponent*>(FOwnerObject));
      if (!navBar) return;
      style->ResetValues();
      navBar->AssignViewDefaultStyle(i, style);
    };
    FStyles.push_back(style);
  }
}

void TuiNavBarDefaultStyles::DestroyStyles() {
  for (TuiNavBarDefaultStyle* style : FStyles) delete style;
  FStyles.clear();
}

TuiNavBarDefaultStyle* TuiNavBarDefaultStyles::Styles(int Index) const {
  if (Index < 0 || Index >= Count()) TList::Error("List index out of bounds (%d)", Index);
  return FStyles[static_cast<std::size_t>(Index)];
}

void TuiNavBarDefaultStyles::AssignStyle(int Index, TuiBaseNavBarStyle* Value) { Styles(Index)->Assign(Value); }

void TuiNavBarDefaultStyles::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiNavBarDefaultStyles*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  const int common = std::min(Count(), source->Count());
  for (int i = 0; i < common; ++i) Styles(i)->Assign(source->Styles(i));
}

void TuiNavBarDefaultStyles::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
}

void TuiNavBarDefaultStyles::StyleChanged(TuiNavBarDefaultStyle* AStyle, TuiNavBarChangeType AType) {
  (void)AStyle;
  if (FUpdateCount == 0 && OnChange) OnChange(this, AType);
}

void TuiNavBarDefaultStyles::AssignDefaultValues(bool AOnlyIfDefault) {
  BeginUpdate();
  try {
    for (TuiNavBarDefaultStyle* style : FStyles) style->AssignDefaultValues(AOnlyIfDefault);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// ---------------------------------------------------------------------------
// TuiNavBarStyleItem

TuiNavBarStyleItem::TuiNavBarStyleItem(TComponent* AOwner)
    : TuiNavBarComponentCollectionItem(AOwner), FStyle(new TuiNavBarStyle(this)) {
  FStyle->OnValuesChanged = [this](TObject*, TuiNavBarChangeType AType) { styleChanged(AType); };
}

TuiNavBarStyleItem::~TuiNavBarStyleItem() {
  Destroying();
  FStyle->OnValuesChanged = nullptr;
  delete FStyle;
}

TlkComponentCollection* TuiNavBarStyleItem::CollectionOfParent(TComponent* AParent) {
  IuiNavBarOwner* navBar = NavBarOf(AParent);
  return navBar ? navBar->NavBarStyles() : nullptr;
}

void TuiNavBarStyleItem::styleChanged(TuiNavBarChangeType AType) { NotifyChanged(AType == doRecreate); }

void TuiNavBarStyleItem::SetStyle(TuiNavBarStyle* Value) {
  FStyle->Assign(Value);
  NotifyChanged(false);
}

void TuiNavBarStyleItem::Assign(TPersistent* Source) {
  if (auto* item = dynamic_cast<TuiNavBarStyleItem*>(Source)) {
    SetStyle(item->Style());
    return;
  }
  TuiNavBarComponentCollectionItem::Assign(Source);
}

// ---------------------------------------------------------------------------

TuiBaseNavBarStyle* NavBarStyleFor(TuiNavBarStyleItem* AStyleItem, TuiBaseNavBarStyle* ADefaultStyle,
                                   TuiBarStyleAssignedValue AValue) {
  if (AStyleItem && AStyleItem->Style()->AssignedValues().Contains(AValue)) return AStyleItem->Style();
  return ADefaultStyle;
}

void backColors(TuiBaseNavBarStyle* AStyle, TColor AColor) {
  AStyle->SetBackColor(AColor);
  AStyle->SetBackColor2(AColor);
}

void addFontStyle(TuiBaseNavBarStyle* AStyle, TFontStyle AFontStyle) {
  TFontStyles styles = AStyle->Font()->Style();
  styles.Include(AFontStyle);
  AStyle->Font()->SetStyle(styles);
}
