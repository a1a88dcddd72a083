#include "platform/classlib/ExtCtrls.h"

#include "platform/classlib/Forms.h"
#include "platform/os/user/User.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/classlib/TypInfo.h"

#include <algorithm>
#include <cstdint>

namespace {
constexpr const char* kTimerClass = "TTimerWindow";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  if (FWindowHandle && IsWindow(FWindowHandle)) {
    KillTimer(FWindowHandle, kTimerId);
    DestroyWindow(FWindowHandle);
  }
}

LRESULT TTimer::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    auto* self = reinterpret_cast<TTimer*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (self) {
      try {
        self->Timer();
      } catch (...) {
        if (Application) Application->HandleException(self);
      }
    }
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

void TTimer::UpdateTimer() {
  bool alive = FWindowHandle && IsWindow(FWindowHandle);
  if (alive && FArmed) KillTimer(FWindowHandle, kTimerId);
  FArmed = false;
  if (!(FEnabled && FInterval != 0 && OnTimer)) return;
  if (!alive) {
    WNDCLASSA wc{};
    if (!GetClassInfo(nullptr, kTimerClass, &wc)) {
      wc = WNDCLASSA{};
      wc.lpfnWndProc = &TTimer::WndProc;
      wc.lpszClassName = kTimerClass;
      RegisterClass(&wc);
    }
    FWindowHandle = CreateWindowEx(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (FWindowHandle == nullptr) return;
    SetWindowLongPtr(FWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  FArmed = SetTimer(FWindowHandle, kTimerId, FInterval, nullptr) != 0;
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  OnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (FEnabled && OnTimer) OnTimer(this);
}

// ---------------------------------------------------------------------------
namespace {

void fillColor(HDC DC, const TRect& R, TColor Color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(Color));
  FillRect(DC, &R, b);
  DeleteObject(b);
}

const TIdentMapEntry kBorderStyles[] = {{0, "bsNone"}, {1, "bsSingle"}};

bool identToBorderStyle(const std::string& Ident, int& Value) {
  return IdentToInt(Ident, Value, kBorderStyles, 2);
}
bool borderStyleToIdent(int Value, std::string& Ident) { return IntToIdent(Value, Ident, kBorderStyles, 2); }

const bool kBorderStyleRegistered = [] {
  RegisterIntegerConsts(qv::classlib::namedIntegerType("TBorderStyle"), identToBorderStyle, borderStyleToIdent);
  return true;
}();

}  // namespace

void qv::classlib::frame3D(HDC DC, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  for (int i = 0; i < Width; ++i) {
    if (Rect.right - Rect.left <= 0 || Rect.bottom - Rect.top <= 0) break;
    int l = Rect.left, t = Rect.top, r = Rect.right - 1, b = Rect.bottom - 1;
    fillColor(DC, {l, t, r, t + 1}, TopColor);
    fillColor(DC, {l, t, l + 1, b}, TopColor);
    fillColor(DC, {r, t, r + 1, b + 1}, BottomColor);
    fillColor(DC, {l, b, r + 1, b + 1}, BottomColor);
    InflateRect(&Rect, -1, -1);
  }
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks,
                   csReplicatable};
  FWidth = 185;
  FHeight = 41;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(clBtnFace);
}

void TCustomPanel::bordersChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  if (Value == FBevelInner) return;
  FBevelInner = Value;
  bordersChanged();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  if (Value == FBevelOuter) return;
  FBevelOuter = Value;
  bordersChanged();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  if (Value < 1) Value = 1;
  if (Value == FBevelWidth) return;
  FBevelWidth = Value;
  bordersChanged();
}

void TCustomPanel::SetBorderWidth(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FBorderWidth) return;
  FBorderWidth = Value;
  bordersChanged();
}

void TCustomPanel::SetBorderStyle(TPanelBorderStyle Value) {
  Value = Value ? 1 : 0;
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
  bordersChanged();
}

void TCustomPanel::SetParentBackground(bool Value) {
  if (Value == FParentBackground) return;
  FParentBackground = Value;
  Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (FBorderStyle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  int inset = FBorderWidth;
  if (FBevelOuter != bvNone) inset += FBevelWidth;
  if (FBevelInner != bvNone) inset += FBevelWidth;
  InflateRect(&Rect, -inset, -inset);
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
}

void TCustomPanel::Paint() {
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  auto colours = [](TPanelBevel Bevel, TColor& Top, TColor& Bottom) {
    Top = Bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    Bottom = Bevel == bvLowered ? clBtnHighlight : clBtnShadow;
  };
  TColor top, bottom;
  if (FBevelOuter != bvNone) {
    colours(FBevelOuter, top, bottom);
    qv::classlib::frame3D(dc, r, top, bottom, FBevelWidth);
  }
  qv::classlib::frame3D(dc, r, FColor, FColor, FBorderWidth);
  if (FBevelInner != bvNone) {
    colours(FBevelInner, top, bottom);
    qv::classlib::frame3D(dc, r, top, bottom, FBevelWidth);
  }
  fillColor(dc, r, FColor);
  std::string text = Caption();
  if (text.empty()) return;
  SelectObject(dc, FFont->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Enabled() ? ColorToRGB(FFont->Color()) : GetSysColor(COLOR_GRAYTEXT));
  UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE |
               (FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT);
  DrawText(dc, text.c_str(), -1, &r, flags);
}

// ---------------------------------------------------------------------------
TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(new TPicture()) {
  FControlStyle.Include(csReplicatable);
  FWidth = 105;
  FHeight = 105;
  FPicture->OnChange = [this](TObject*) { pictureChanged(); };
}

TImage::~TImage() {
  FPicture->OnChange = nullptr;
  delete FPicture;
}

TCanvas* TImage::Canvas() {
  if (!FPicture->Graphic()) {
    TBitmap bmp;
    bmp.SetSize(FWidth, FHeight);
    FPicture->SetGraphic(&bmp);
  }
  auto* bmp = dynamic_cast<TBitmap*>(FPicture->Graphic());
  if (!bmp) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  TCanvas* c = bmp->Canvas();
  if (!c->OnChange) c->OnChange = [this](TObject*) { if (!FDrawing) Invalidate(); };
  return c;
}

void TImage::pictureChanged() {
  TGraphic* g = FPicture->Graphic();
  if (FAutoSize && g && g->Width() > 0 && g->Height() > 0) SetBounds(FLeft, FTop, g->Width(), g->Height());
  if (g && !dynamic_cast<TMetafile*>(g)) g->SetTransparent(FTransparent);
  Invalidate();
}

void TImage::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  pictureChanged();
}

void TImage::SetCenter(bool Value) {
  if (Value == FCenter) return;
  FCenter = Value;
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  if (Value == FStretch) return;
  FStretch = Value;
  Invalidate();
}

void TImage::SetProportional(bool Value) {
  if (Value == FProportional) return;
  FProportional = Value;
  Invalidate();
}

void TImage::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  pictureChanged();
}

TRect TImage::DestRect() {
  return qv::classlib::pictureDestRect(FPicture->Width(), FPicture->Height(), ClientWidth(), ClientHeight(), FStretch,
                                       FProportional, FCenter);
}

void TImage::Paint() {
  qv::classlib::paintPicture(this, TGraphicControl::Canvas(), FPicture->Graphic(), DestRect(), FDrawing);
}

// ---------------------------------------------------------------------------
TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  FWidth = 50;
  FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value) {
  if (Value == FShape) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  c->Pen()->SetWidth(1);
  c->Pen()->SetStyle(psSolid);
  auto line = [c](TColor Color, int X1, int Y1, int X2, int Y2) {
    c->Pen()->SetColor(Color);
    c->MoveTo(X1, Y1);
    c->LineTo(X2, Y2);
  };
  // Top and left edges in the first colour, bottom and right in the second,
  // as nested polylines.
  auto bevelRect = [&](TColor A, TColor B, int L, int T, int R, int Bt) {
    c->Pen()->SetColor(A);
    c->MoveTo(L, Bt);
    c->LineTo(L, T);
    c->LineTo(R, T);
    c->Pen()->SetColor(B);
    c->LineTo(R, Bt);
    c->LineTo(L - 1, Bt);
  };
  int w = FWidth, h = FHeight;
  switch (FShape) {
    case bsBox:
      bevelRect(c1, c2, 0, 0, w - 1, h - 1);
      break;
    case bsFrame:
      bevelRect(c1, c1, 0, 0, w - 2, h - 2);
      bevelRect(c2, c2, 1, 1, w - 1, h - 1);
      break;
    case bsTopLine:
      line(c1, 0, 0, w, 0);
      line(c2, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(c1, 0, h - 2, w, h - 2);
      line(c2, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(c1, 0, 0, 0, h);
      line(c2, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(c1, w - 2, 0, w - 2, h);
      line(c2, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// ---------------------------------------------------------------------------
TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), FBrush(new TBrush()), FPen(new TPen()) {
  FControlStyle.Include(csReplicatable);
  FWidth = 65;
  FHeight = 65;
  FBrush->OnChange = [this](TObject*) { Invalidate(); };
  FPen->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape() {
  delete FBrush;
  delete FPen;
}

void TShape::SetShape(TShapeType Value) {
  if (Value == FShape) return;
  FShape = Value;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* c = Canvas();
  c->SetPen(FPen);
  c->SetBrush(FBrush);
  int pw = FPen->Width();
  int x = pw / 2, y = pw / 2;
  int w = FWidth - pw + 1, h = FHeight - pw + 1;
  if (pw == 0) {
    --w;
    --h;
  }
  if (w < h && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
    y += (h - w) / 2;
    h = w;
  } else if (h < w && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
    x += (w - h) / 2;
    w = h;
  }
  switch (FShape) {
    case stRectangle:
    case stSquare:
      c->Rectangle(x, y, x + w, y + h);
      break;
    case stRoundRect:
    case stRoundSquare: {
      int s = std::min(w, h) / 4;
      c->RoundRect(x, y, x + w, y + h, s, s);
      break;
    }
    case stEllipse:
    case stCircle:
      c->Ellipse(x, y, x + w, y + h);
      break;
  }
}

// ---------------------------------------------------------------------------
TPage::TPage(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FVisible = false;
  FAlign = alClient;
}

void TPage::Paint() {
  HDC dc = Canvas()->Handle();
  fillColor(dc, ClientRect(), FColor);
}

void TPage::ReadState(TReader* Reader) {
  if (auto* notebook = dynamic_cast<TNotebook*>(Reader->Parent())) notebook->adoptPage(this);
  inherited::ReadState(Reader);
}

// The notebook's page names as a TStrings over its pages.
class TNotebook::TPageAccess : public TStrings {
 public:
  explicit TPageAccess(TNotebook* Notebook) : FNotebook(Notebook) {}
  void Clear() override {
    while (GetCount() > 0) Delete(GetCount() - 1);
  }
  void Delete(int Index) override {
    checkIndex(Index);
    FNotebook->deletePage(Index);
  }
  void Insert(int Index, const std::string& S) override {
    if (Index < 0 || Index > GetCount()) throw EStringListError("List index out of bounds (%d)", {Index});
    FNotebook->insertPage(Index, S);
  }

 protected:
  std::string Get(int Index) const override {
    checkIndex(Index);
    return FNotebook->FPageList[static_cast<std::size_t>(Index)]->Caption();
  }
  int GetCount() const override { return static_cast<int>(FNotebook->FPageList.size()); }
  TObject* GetObject(int Index) const override {
    checkIndex(Index);
    return FNotebook->FPageList[static_cast<std::size_t>(Index)];
  }
  void Put(int Index, const std::string& S) override {
    checkIndex(Index);
    FNotebook->FPageList[static_cast<std::size_t>(Index)]->SetCaption(S);
  }
  void PutObject(int Index, TObject* AObject) override {
    (void)Index;
    (void)AObject;
  }

 private:
  void checkIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) throw EStringListError("List index out of bounds (%d)", {Index});
  }
  TNotebook* FNotebook;
};

TNotebook::TNotebook(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csClickEvents, csDoubleClicks, csOpaque};
  FWidth = 150;
  FHeight = 150;
  FAccess = new TPageAccess(this);
  insertPage(0, "Default");
}

TNotebook::~TNotebook() {
  // The pages are children: the control tree frees them.
  delete FAccess;
}

TPage* TNotebook::Page(int Index) const {
  if (Index < 0 || Index >= PageCount()) return nullptr;
  return FPageList[static_cast<std::size_t>(Index)];
}

void TNotebook::insertPage(int Index, const std::string& Name) {
  auto* page = new TPage(this);
  page->SetCaption(Name);
  page->SetParent(this);
  FPageList.insert(FPageList.begin() + Index, page);
  if (FPageIndex >= Index && FPageIndex >= 0) ++FPageIndex;
  if (FPageIndex < 0) SetPageIndex(Index);
}

void TNotebook::adoptPage(TPage* Page) {
  if (std::find(FPageList.begin(), FPageList.end(), Page) != FPageList.end()) return;
  FPageList.push_back(Page);
  // A PageIndex read before the pages stays the one shown.
  if (FPendingIndex < 0 && FPageIndex < 0) FPendingIndex = 0;
}

void TNotebook::ReadState(TReader* Reader) {
  // Pages in the resource replace the default page; a resource that only
  // names its pages (Pages.Strings) makes them again.
  bool hasPages = false;
  if (const auto* node = Reader->CurrentNode())
    for (const auto& child : node->Children)
      if (SameText(child.ClassName, "TPage")) hasPages = true;
  if (hasPages && !FPagesRead) FAccess->Clear();
  inherited::ReadState(Reader);
  if (hasPages) FPagesRead = true;
}

void TNotebook::deletePage(int Index) {
  TPage* page = FPageList[static_cast<std::size_t>(Index)];
  FPageList.erase(FPageList.begin() + Index);
  delete page;
  if (FPageIndex == Index) {
    FPageIndex = -1;
    SetPageIndex(std::min(Index, PageCount() - 1));
  } else if (FPageIndex > Index) {
    --FPageIndex;
  }
}

void TNotebook::SetPageIndex(int Value) {
  if (ComponentState().Contains(csLoading)) {
    FPendingIndex = Value;
    return;
  }
  if (Value < 0 || Value >= PageCount() || Value == FPageIndex) return;
  TPage* old = Page(FPageIndex);
  FPageIndex = Value;
  TPage* now = Page(Value);
  now->BringToFront();
  now->SetVisible(true);
  if (old) old->SetVisible(false);
  if (OnPageChanged) OnPageChanged(this);
}

std::string TNotebook::ActivePage() const {
  TPage* p = Page(FPageIndex);
  return p ? p->Caption() : std::string();
}

void TNotebook::SetActivePage(const std::string& Value) { SetPageIndex(FAccess->IndexOf(Value)); }

void TNotebook::Loaded() {
  inherited::Loaded();
  if (FPendingIndex >= 0) SetPageIndex(FPendingIndex);
  FPendingIndex = -1;
}

// ---------------------------------------------------------------------------
namespace {
constexpr int kStandardColors = 16;
constexpr int kExtendedColors = 4;
TObject* colorObject(TColor C) { return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(C)); }
TColor objectColor(TObject* O) { return static_cast<TColor>(reinterpret_cast<std::intptr_t>(O)); }
std::string prettyName(const std::string& Ident, bool Pretty) {
  return Pretty && Ident.rfind("cl", 0) == 0 ? Ident.substr(2) : Ident;
}
}  // namespace

TCustomColorBox::TCustomColorBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  TCustomComboBox::SetStyle(csDropDownList);
  populate();
  SetSelected(clBlack);
}

int TCustomColorBox::indexOfColor(TColor Value) const {
  TStrings* items = Items();
  bool custom = FColorStyle.Contains(cbCustomColor);
  for (int i = custom ? 1 : 0; i < items->Count(); ++i)
    if (objectColor(items->Objects(i)) == Value) return i;
  return -1;
}

void TCustomColorBox::populate() {
  TColor keep = ItemIndex() >= 0 ? Selected() : FPendingSelected;
  // A colour kept as an extra item stays; a listed colour that the new style
  // drops leaves nothing selected.
  bool keepExtra = FExtraIndex >= 0 && (ItemIndex() < 0 || ItemIndex() == FExtraIndex);
  bool pretty = FColorStyle.Contains(cbPrettyNames);
  TStrings* items = Items();
  items->BeginUpdate();
  items->Clear();
  FExtraIndex = -1;
  if (FColorStyle.Contains(cbCustomColor)) items->AddObject("Custom...", colorObject(clBlack));
  if (FColorStyle.Contains(cbIncludeNone)) items->AddObject(pretty ? "None" : "clNone", colorObject(clNone));
  if (FColorStyle.Contains(cbIncludeDefault))
    items->AddObject(pretty ? "Default" : "clDefault", colorObject(clDefault));
  int index = 0;
  GetColorValues([&](const std::string& Ident) {
    int i = index++;
    int value = 0;
    if (!IdentToColor(Ident, value)) return;
    bool take = (FColorStyle.Contains(cbStandardColors) && i < kStandardColors) ||
                (FColorStyle.Contains(cbExtendedColors) && i >= kStandardColors &&
                 i < kStandardColors + kExtendedColors) ||
                (FColorStyle.Contains(cbSystemColors) && value < 0);
    if (take) items->AddObject(prettyName(Ident, pretty), colorObject(value));
  });
  items->EndUpdate();
  if (keepExtra || indexOfColor(keep) >= 0 || ComponentState().Contains(csLoading))
    SetSelected(keep);
  else
    TCustomComboBox::SetItemIndex(-1);
}

void TCustomColorBox::SetStyle(TColorBoxStyle Value) {
  if (Value == FColorStyle) return;
  FColorStyle = Value;
  if (!ComponentState().Contains(csLoading)) populate();
}

TColor TCustomColorBox::Colors(int Index) const { return objectColor(Items()->Objects(Index)); }

TColor TCustomColorBox::Selected() const {
  if (ComponentState().Contains(csLoading) || ItemIndex() < 0) return FPendingSelected;
  return Colors(ItemIndex());
}

void TCustomColorBox::SetSelected(TColor Value) {
  FPendingSelected = Value;
  if (ComponentState().Contains(csLoading)) return;
  int i = indexOfColor(Value);
  if (i < 0) {
    // Keep the colour as one extra item after "Custom..." (or first),
    // replacing the one kept before.
    TStrings* items = Items();
    int at = FColorStyle.Contains(cbCustomColor) ? 1 : 0;
    if (FExtraIndex >= 0 && FExtraIndex < items->Count()) items->Delete(FExtraIndex);
    items->InsertObject(at, ColorToString(Value), colorObject(Value));
    FExtraIndex = at;
    i = at;
  }
  TCustomComboBox::SetItemIndex(i);
}

void TCustomColorBox::SetDefaultColorColor(TColor Value) {
  if (Value == FDefaultColorColor) return;
  FDefaultColorColor = Value;
  Invalidate();
}

void TCustomColorBox::SetNoneColorColor(TColor Value) {
  if (Value == FNoneColorColor) return;
  FNoneColorColor = Value;
  Invalidate();
}

void TCustomColorBox::Loaded() {
  TColor keep = FPendingSelected;
  inherited::Loaded();
  populate();
  SetSelected(keep);
}

void TCustomColorBox::DrawItem(HDC DC, int Index, TRect R, bool Selected) {
  if (Selected) FillRect(DC, &R, GetSysColorBrush(COLOR_HIGHLIGHT));
  if (Index < 0 || Index >= Items()->Count()) return;
  TColor c = Colors(Index);
  if (c == clNone) c = FNoneColorColor;
  if (c == clDefault) c = FDefaultColorColor;
  int h = R.bottom - R.top;
  TRect swatch{R.left + 1, R.top + 1, R.left + 1 + h - 2, R.bottom - 1};
  FrameRect(DC, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  InflateRect(&swatch, -1, -1);
  fillColor(DC, swatch, c);
  SelectObject(DC, FFont->Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, Selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(FFont->Color()));
  TRect text{R.left + h + 2, R.top, R.right, R.bottom};
  std::string s = Items()->Strings(Index);
  DrawText(DC, s.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
}

namespace qv::classlib {
TRect pictureDestRect(int PictureWidth, int PictureHeight, int ClientWidth, int ClientHeight, bool Stretch,
                      bool Proportional, bool Center) {
  int w = PictureWidth, h = PictureHeight;
  const int cw = ClientWidth, ch = ClientHeight;
  if (Stretch || (Proportional && (w > cw || h > ch))) {
    if (Proportional && w > 0 && h > 0) {
      double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (Center) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void paintPicture(TGraphicControl* Control, TCanvas* Canvas, TGraphic* Graphic, const TRect& Dest, bool& Drawing) {
  if (Control->ComponentState().Contains(csDesigning)) {
    Canvas->Pen()->SetStyle(psDash);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Rectangle(0, 0, Control->Width(), Control->Height());
  }
  if (!Graphic || Graphic->Empty()) return;
  Drawing = true;
  try {
    Canvas->StretchDraw(Dest, Graphic);
  } catch (...) {
    Drawing = false;
    throw;
  }
  Drawing = false;
}
}  // namespace qv::classlib
