#include "platform/classlib/StdCtrls.h"

#include <algorithm>
#include <cctype>

#include "platform/classlib/TypInfo.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/User.h"

namespace {
const std::string kScrollBarRangeText = qv::os::ansi(u8"Eigenschaft Scrollbar außerhalb des zulässigen Bereichs");
}  // namespace

const TResStringRec SScrollBarRange{65362, kScrollBarRangeText.c_str()};

namespace {

qv::classlib::ModalResultSetter& modalResultSetter() {
  static qv::classlib::ModalResultSetter setter;
  return setter;
}

TWinControl* topLevelParent(TControl* Control) {
  TWinControl* p = Control->Parent();
  if (!p) return dynamic_cast<TWinControl*>(Control);
  while (p->Parent()) p = p->Parent();
  return p;
}

// Text of the control's font and colour on a transparent background.
void prepareText(HDC DC, TFont* Font, bool Enabled) {
  SelectObject(DC, Font->Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, Enabled ? ColorToRGB(Font->Color()) : GetSysColor(COLOR_GRAYTEXT));
}

void fill(HDC DC, const TRect& R, TColor Color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(Color));
  FillRect(DC, &R, b);
  DeleteObject(b);
}

void fillSys(HDC DC, const TRect& R, int Index) { FillRect(DC, &R, GetSysColorBrush(Index)); }

// The text box of a check box or radio button beside its 13-pixel mark.
constexpr int kMarkSize = 13;

void paintMarkAndCaption(TCustomControl* C, HDC DC, UINT MarkState, TAlignment Alignment, const std::string& Caption,
                         TFont* Font, bool Enabled) {
  TRect client = C->ClientRect();
  int top = (client.bottom - kMarkSize) / 2;
  bool left = Alignment == taRightJustify;
  TRect mark = left ? TRect{0, top, kMarkSize, top + kMarkSize}
                    : TRect{client.right - kMarkSize, top, client.right, top + kMarkSize};
  if (!Enabled) MarkState |= DFCS_INACTIVE;
  DrawFrameControl(DC, &mark, DFC_BUTTON, MarkState);
  TRect text = left ? TRect{kMarkSize + 4, 0, client.right, client.bottom}
                    : TRect{0, 0, client.right - kMarkSize - 4, client.bottom};
  prepareText(DC, Font, Enabled);
  DrawText(DC, Caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

}  // namespace

namespace qv::classlib {
void setModalResultSetter(ModalResultSetter Setter) { modalResultSetter() = std::move(Setter); }

bool isAccel(WORD Key, const std::string& Caption) {
  for (std::size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(Caption[i + 1])) == std::toupper(static_cast<int>(Key & 0xFF));
  }
  return false;
}

SIZE measureText(TFont* Font, const std::string& Text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  SIZE s{0, 0};
  GetTextExtentPoint32(dc, Text.c_str(), static_cast<int>(Text.size()), &s);
  if (Text.empty()) {
    GetTextExtentPoint32(dc, "M", 1, &s);
    s.cx = 0;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return s;
}
}  // namespace qv::classlib

// ---------------------------------------------------------------------------
TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csOpaque);
  FControlStyle.Include(csReplicatable);
  FWidth = 65;
  FHeight = 17;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Value == Transparent()) return;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (Value == FShowAccelChar) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::WndProc(TMessage& Message) {
  if (Message.Msg == CM_DIALOGCHAR && FFocusControl && Enabled() && FShowAccelChar &&
      qv::classlib::isAccel(static_cast<WORD>(Message.WParam), Caption()) && FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    Message.Result = 1;
    return;
  }
  inherited::WndProc(Message);
}

UINT TCustomLabel::textFlags() const {
  UINT flags = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  flags |= DT_EXPANDTABS;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  return flags;
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  std::string text = Caption();
  if (text.empty() || (FShowAccelChar && text.size() == 1 && text[0] == '&')) text += ' ';
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont->Handle());
  RECT r{0, 0, FWordWrap ? FWidth : 0, 0};
  DrawText(dc, text.c_str(), -1, &r, textFlags() | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  int left = FLeft;
  int width = r.right - r.left;
  if (FAlignment == taRightJustify && !FWordWrap) left += FWidth - width;
  SetBounds(left, FTop, width, r.bottom - r.top);
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  AdjustBounds();
}

void TCustomLabel::Paint() {
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  if (!Transparent()) fill(dc, r, FColor);
  std::string text = Caption();
  UINT flags = textFlags();
  if (FLayout != tlTop) {
    RECT calc = r;
    SelectObject(dc, FFont->Handle());
    DrawText(dc, text.c_str(), -1, &calc, flags | DT_CALCRECT);
    int h = calc.bottom - calc.top;
    int off = FLayout == tlBottom ? r.bottom - h : (r.bottom - h) / 2;
    r.top = off;
  }
  prepareText(dc, FFont, Enabled());
  DrawText(dc, text.c_str(), -1, &r, flags);
}

// ---------------------------------------------------------------------------
TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  FWidth = 121;
  FHeight = 21;
  SetTabStop(true);
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(clWindow);
  FCursor = crIBeam;
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  Invalidate();
}

void TCustomEdit::clampSelection() {
  int len = GetTextLen();
  FSelStart = std::clamp(FSelStart, 0, len);
  FSelLength = std::clamp(FSelLength, 0, len - FSelStart);
}

void TCustomEdit::SetSelStart(int Value) {
  FSelStart = Value;
  FSelLength = 0;
  clampSelection();
  Invalidate();
}

void TCustomEdit::SetSelLength(int Value) {
  FSelLength = Value;
  clampSelection();
  Invalidate();
}

std::string TCustomEdit::SelText() const {
  std::string t = Text();
  int start = std::clamp(FSelStart, 0, static_cast<int>(t.size()));
  return t.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(FSelLength));
}

void TCustomEdit::replaceSelection(const std::string& Value) {
  clampSelection();
  std::string t = Text();
  t.replace(static_cast<std::size_t>(FSelStart), static_cast<std::size_t>(FSelLength), Value);
  FSelStart += static_cast<int>(Value.size());
  FSelLength = 0;
  SetText(t);
  clampSelection();
  Invalidate();
}

void TCustomEdit::SetSelText(const std::string& Value) { replaceSelection(Value); }

void TCustomEdit::SelectAll() {
  FSelStart = 0;
  FSelLength = GetTextLen();
  Invalidate();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  // With a window, the window's text change (WM_SETTEXT) reported it.
  if (!HandleAllocated()) Change();
  clampSelection();
}

void TCustomEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETTEXT:
      inherited::WndProc(Message);
      clampSelection();
      Invalidate();
      Change();
      return;
    case EM_GETSEL: {
      if (Message.WParam) *reinterpret_cast<DWORD*>(Message.WParam) = static_cast<DWORD>(FSelStart);
      if (Message.LParam) *reinterpret_cast<DWORD*>(Message.LParam) = static_cast<DWORD>(FSelStart + FSelLength);
      Message.Result = MAKELONG(FSelStart, FSelStart + FSelLength);
      return;
    }
    case EM_SETSEL: {
      int from = static_cast<int>(Message.WParam), to = static_cast<int>(Message.LParam);
      int len = GetTextLen();
      if (from < 0) {
        FSelStart = len;
        FSelLength = 0;
      } else {
        if (to < 0 || to > len) to = len;
        if (from > len) from = len;
        FSelStart = std::min(from, to);
        FSelLength = std::abs(to - from);
      }
      Invalidate();
      return;
    }
    case EM_REPLACESEL:
      replaceSelection(Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "");
      return;
    case EM_LIMITTEXT:
      SetMaxLength(static_cast<int>(Message.WParam));
      return;
    case EM_SETREADONLY:
      FReadOnly = Message.WParam != 0;
      Message.Result = TRUE;
      return;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
      return;
    default:
      inherited::WndProc(Message);
  }
}

void TCustomEdit::WMChar(TWMKey& Message) {
  if (DoKeyPress(Message)) return;
  char ch = static_cast<char>(Message.CharCode);
  auto uch = static_cast<unsigned char>(ch);
  if (ch == '\b') {
    if (FReadOnly) {
      MessageBeep(0);
      return;
    }
    clampSelection();
    if (FSelLength == 0) {
      if (FSelStart == 0) return;
      --FSelStart;
      FSelLength = 1;
    }
    replaceSelection("");
    return;
  }
  if (uch < 32) return;  // Return, Escape, Tab and control keys are the dialog's
  clampSelection();
  bool full = FMaxLength > 0 && GetTextLen() - FSelLength >= FMaxLength;
  if (FReadOnly || full) {
    MessageBeep(0);
    return;
  }
  replaceSelection(std::string(1, ch));
}

void TCustomEdit::WMKeyDown(TWMKey& Message) {
  if (DoKeyDown(Message)) return;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  int len = GetTextLen();
  clampSelection();
  int caret = FSelStart + FSelLength;
  auto move = [&](int to) {
    to = std::clamp(to, 0, len);
    if (shift) {
      int anchor = FSelStart;
      FSelStart = std::min(anchor, to);
      FSelLength = std::abs(to - anchor);
    } else {
      FSelStart = to;
      FSelLength = 0;
    }
    Invalidate();
  };
  switch (Message.CharCode) {
    case VK_LEFT:
      move(FSelLength && !shift ? FSelStart : caret - 1);
      return;
    case VK_RIGHT:
      move(FSelLength && !shift ? caret : caret + 1);
      return;
    case VK_HOME:
      move(0);
      return;
    case VK_END:
      move(len);
      return;
    case VK_DELETE:
      if (FReadOnly) {
        MessageBeep(0);
        return;
      }
      if (FSelLength == 0 && FSelStart < len) FSelLength = 1;
      if (FSelLength) replaceSelection("");
      return;
    default:
      inherited::WMKeyDown(Message);
  }
}

void TCustomEdit::WMLButtonDown(TWMMouse& Message) {
  if (CanFocus() && !Focused()) SetFocus();
  std::string t = Text();
  // The caret goes to the character boundary nearest the click.
  int pos = 0;
  int best = 1 << 30;
  for (int i = 0; i <= static_cast<int>(t.size()); ++i) {
    std::string shown = FPasswordChar ? std::string(static_cast<std::size_t>(i), FPasswordChar) : t.substr(0, i);
    int x = 3 + qv::classlib::measureText(FFont, shown).cx;
    if (std::abs(x - Message.XPos) < best) {
      best = std::abs(x - Message.XPos);
      pos = i;
    }
  }
  FSelStart = pos;
  FSelLength = 0;
  Invalidate();
  inherited::WMLButtonDown(Message);
}

void TCustomEdit::Paint() {
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (Enabled() && !FReadOnly)
    fill(dc, r, FColor);
  else
    fillSys(dc, r, COLOR_BTNFACE);
  std::string t = Text();
  if (FPasswordChar) t.assign(t.size(), FPasswordChar);
  prepareText(dc, FFont, Enabled());
  TRect tr{r.left + 1, r.top, r.right - 1, r.bottom};
  DrawText(dc, t.c_str(), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  if (FSelLength > 0 && Focused()) {
    int x1 = tr.left + qv::classlib::measureText(FFont, t.substr(0, FSelStart)).cx;
    std::string sel = t.substr(static_cast<std::size_t>(FSelStart), static_cast<std::size_t>(FSelLength));
    int x2 = x1 + qv::classlib::measureText(FFont, sel).cx;
    TRect hr{x1, tr.top + 1, x2, tr.bottom - 1};
    fillSys(dc, hr, COLOR_HIGHLIGHT);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawText(dc, sel.c_str(), -1, &hr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  } else if (Focused()) {
    int x = tr.left + qv::classlib::measureText(FFont, t.substr(0, FSelStart)).cx;
    TRect caret{x, tr.top + 2, x + 1, tr.bottom - 2};
    fillSys(dc, caret, COLOR_WINDOWTEXT);
  }
}

// ---------------------------------------------------------------------------
TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(clBtnFace);
  SetTabStop(true);
}

void TButtonControl::paintCaption(TRect R, UINT Flags) {
  HDC dc = Canvas()->Handle();
  std::string text = Caption();
  if (!Enabled()) {
    SelectObject(dc, FFont->Handle());
    SetBkMode(dc, TRANSPARENT);
    TRect shadow = R;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawText(dc, text.c_str(), -1, &shadow, Flags);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    prepareText(dc, FFont, true);
  }
  DrawText(dc, text.c_str(), -1, &R, Flags);
}

void TButtonControl::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
}

void TButtonControl::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  Invalidate();
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks, csOpaque, csClickEvents, csCaptureMouse};
  FWidth = 75;
  FHeight = 25;
}

void TButton::SetDefault(bool Value) {
  if (Value == FDefault) return;
  FDefault = Value;
  Invalidate();
}

void TButton::Click() {
  if (FModalResult != 0) {
    TWinControl* form = topLevelParent(this);
    if (form) {
      if (auto& setter = modalResultSetter())
        setter(form, FModalResult);
      else if (IsPublishedProp(form, "ModalResult"))
        SetOrdProp(form, "ModalResult", FModalResult);
    }
  }
  inherited::Click();
}

void TButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDBLCLK:
      // The platform's push button takes the second press of a double
      // click as a press of its own: two quick clicks are two clicks.
      Message.Msg = WM_LBUTTONDOWN;
      break;
    case BM_CLICK:
      Click();
      return;
    case CM_DIALOGKEY:
      // Return reaches the default button, Escape the cancel button.
      if (((Message.WParam == VK_RETURN && FDefault) || (Message.WParam == VK_ESCAPE && FCancel)) && Showing() &&
          Enabled()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    case WM_GETDLGCODE:
      Message.Result = FDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
      return;
    default:
      break;
  }
  inherited::WndProc(Message);
}

void TButton::WMKeyDown(TWMKey& Message) {
  if (DoKeyDown(Message)) return;
  if (Message.CharCode == VK_SPACE || Message.CharCode == VK_RETURN) Click();
}

void TButton::WMLButtonDown(TWMMouse& Message) {
  if (CanFocus() && !Focused()) SetFocus();
  FPressed = true;
  Invalidate();
  inherited::WMLButtonDown(Message);
}

void TButton::WMLButtonUp(TWMMouse& Message) {
  FPressed = false;
  Invalidate();
  inherited::WMLButtonUp(Message);
}

void TButton::Paint() {
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  bool framed = FDefault || Focused();
  if (framed) {
    HBRUSH b = GetSysColorBrush(COLOR_WINDOWFRAME);
    FrameRect(dc, &r, b);
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (FPressed ? DFCS_PUSHED : 0u));
  TRect tr = r;
  if (FPressed) OffsetRect(&tr, 1, 1);
  paintCaption(tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    TRect fr = r;
    InflateRect(&fr, -3, -3);
    DrawFocusRect(dc, &fr);
  }
}

// ---------------------------------------------------------------------------
TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 97;
  FHeight = 17;
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (Value == FState) return;
  FState = Value;
  Invalidate();
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked:
      SetState(cbChecked);
      break;
    case cbChecked:
      SetState(FAllowGrayed ? cbGrayed : cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbUnchecked);
      break;
  }
}

void TCustomCheckBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case BM_GETCHECK:
      Message.Result = FState == cbChecked ? BST_CHECKED : FState == cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
      return;
    case BM_SETCHECK:
      SetState(Message.WParam == BST_CHECKED         ? cbChecked
               : Message.WParam == BST_INDETERMINATE ? cbGrayed
                                                     : cbUnchecked);
      return;
    case BM_CLICK:
      Toggle();
      return;
    default:
      inherited::WndProc(Message);
  }
}

void TCustomCheckBox::WMChar(TWMKey& Message) {
  if (DoKeyPress(Message)) return;
  if (Message.CharCode == ' ') Toggle();
}

void TCustomCheckBox::WMLButtonUp(TWMMouse& Message) {
  bool wasCaptured = MouseCapture();
  inherited::WMLButtonUp(Message);
  TRect r = ClientRect();
  (void)wasCaptured;
  if (PtInRect(&r, Message.Pos())) {
    if (CanFocus() && !Focused()) SetFocus();
    Toggle();
  }
}

void TCustomCheckBox::Paint() {
  HDC dc = Canvas()->Handle();
  fill(dc, ClientRect(), FColor);
  UINT state = DFCS_BUTTONCHECK;
  if (FState == cbChecked) state |= DFCS_CHECKED;
  if (FState == cbGrayed) state = DFCS_BUTTON3STATE | DFCS_CHECKED;
  paintMarkAndCaption(this, dc, state, FAlignment, Caption(), FFont, Enabled());
}

// ---------------------------------------------------------------------------
TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 113;
  FHeight = 17;
}

void TRadioButton::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  SetTabStop(Value);
  Invalidate();
  if (!Value) return;
  if (FParent)
    for (TWinControl* sibling : std::vector<TWinControl*>(FParent->WinControls()))
      if (auto* radio = dynamic_cast<TRadioButton*>(sibling); radio && radio != this) radio->SetChecked(false);
  if (!ComponentState().Contains(csLoading)) Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TRadioButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case BM_GETCHECK:
      Message.Result = FChecked ? BST_CHECKED : BST_UNCHECKED;
      return;
    case BM_SETCHECK:
      SetChecked(Message.WParam == BST_CHECKED);
      return;
    case BM_CLICK:
      SetChecked(true);
      return;
    default:
      inherited::WndProc(Message);
  }
}

void TRadioButton::WMChar(TWMKey& Message) {
  if (DoKeyPress(Message)) return;
  if (Message.CharCode == ' ') SetChecked(true);
}

void TRadioButton::WMLButtonUp(TWMMouse& Message) {
  inherited::WMLButtonUp(Message);
  TRect r = ClientRect();
  if (PtInRect(&r, Message.Pos())) {
    if (CanFocus() && !Focused()) SetFocus();
    SetChecked(true);
  }
}

void TRadioButton::Paint() {
  HDC dc = Canvas()->Handle();
  fill(dc, ClientRect(), FColor);
  paintMarkAndCaption(this, dc, DFCS_BUTTONRADIO | (FChecked ? DFCS_CHECKED : 0u), FAlignment, Caption(), FFont,
                      Enabled());
}

// ---------------------------------------------------------------------------
TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable};
  FWidth = 185;
  FHeight = 105;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(clBtnFace);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  int h = qv::classlib::measureText(FFont, "0").cy;
  Rect.top += h;
  InflateRect(&Rect, -1, -1);
}

void TCustomGroupBox::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
}

void TCustomGroupBox::Paint() {
  HDC dc = Canvas()->Handle();
  TRect client = ClientRect();
  fill(dc, client, FColor);
  int h = qv::classlib::measureText(FFont, "0").cy;
  TRect frame{0, h / 2, client.right, client.bottom};
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  std::string text = Caption();
  if (text.empty()) return;
  SIZE s = qv::classlib::measureText(FFont, text);
  TRect tr{8, 0, 8 + s.cx + 2, h};
  fill(dc, tr, FColor);
  prepareText(dc, FFont, Enabled());
  tr.left += 1;
  DrawText(dc, text.c_str(), -1, &tr, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

// ---------------------------------------------------------------------------
namespace {
constexpr const char* kDropClass = "QvComboDropList";
constexpr int kComboButton = 17;
}  // namespace

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(new TStringList()) {
  FControlStyle = {csCaptureMouse, csSetCaption, csDoubleClicks, csFixedHeight};
  FWidth = 145;
  FHeight = 21;
  SetTabStop(true);
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(clWindow);
  FItems->OnChange = [this](TObject* Sender) { itemsChanged(Sender); };
}

TCustomComboBox::~TCustomComboBox() {
  if (FDropWindow && IsWindow(FDropWindow)) DestroyWindow(FDropWindow);
  FDropWindow = nullptr;
  FItems->OnChange = nullptr;
  delete FItems;
}

void TCustomComboBox::itemsChanged(TObject* Sender) {
  (void)Sender;
  if (FItemIndex >= FItems->Count()) FItemIndex = -1;
  Invalidate();
}

void TCustomComboBox::Loaded() {
  inherited::Loaded();
  if (FPendingIndex >= 0) SetItemIndex(FPendingIndex);
  FPendingIndex = -1;
}

void TCustomComboBox::SetItemIndex(int Value) {
  if (ComponentState().Contains(csLoading)) {
    FPendingIndex = Value;
    return;
  }
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  // The edit part shows the item; no change event, as for CB_SETCURSEL.
  std::string text = Value >= 0 ? FItems->Strings(Value) : std::string();
  if (FStyle != csDropDownList && text != GetText()) {
    FText = text;
    if (HandleAllocated()) SetWindowText(FHandle, text.c_str());
  }
  Invalidate();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  if (FStyle == csDropDownList) FText.clear();
  Invalidate();
}

std::string TCustomComboBox::GetText() const {
  if (FStyle == csDropDownList)
    return FItemIndex >= 0 && FItemIndex < FItems->Count() ? FItems->Strings(FItemIndex) : std::string();
  return inherited::GetText();
}

bool TCustomComboBox::Sorted() const { return FItems->Sorted(); }
void TCustomComboBox::SetSorted(bool Value) { FItems->SetSorted(Value); }

int TCustomComboBox::ItemHeight() const { return qv::classlib::measureText(FFont, "Wg").cy + 3; }

void TCustomComboBox::Clear() {
  FItems->Clear();
  FItemIndex = -1;
  SetText("");
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::choose(int Index) {
  if (Index < 0 || Index >= FItems->Count()) return;
  SetItemIndex(Index);
  // The class library reports a choice as OnChange and OnSelect.
  if (OnSelect) Change();
  Select();
}

void TCustomComboBox::DestroyWnd() {
  SetDroppedDown(false);
  if (FStyle != csDropDownList) FText = GetText();
  inherited::DestroyWnd();
}

LRESULT TCustomComboBox::dropWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TCustomComboBox*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(hwnd, &ps);
      self->paintDropList(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_MOUSEMOVE: {
      int i = static_cast<SHORT>(HIWORD(lParam)) / self->ItemHeight();
      if (i != self->FDropHot && i < self->FItems->Count()) {
        self->FDropHot = i;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      int i = static_cast<SHORT>(HIWORD(lParam)) / self->ItemHeight();
      self->SetDroppedDown(false);
      if (i >= 0 && i < self->FItems->Count()) self->choose(i);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

void TCustomComboBox::paintDropList(HDC DC) {
  RECT client{};
  GetClientRect(FDropWindow, &client);
  fill(DC, client, FColor);
  int h = ItemHeight();
  for (int i = 0; i < FItems->Count(); ++i) DrawItem(DC, i, TRect{1, i * h + 1, client.right - 1, (i + 1) * h + 1}, i == FDropHot);
  FrameRect(DC, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (Value == DroppedDown()) return;
  if (!Value) {
    HWND h = FDropWindow;
    FDropWindow = nullptr;
    if (h && IsWindow(h)) DestroyWindow(h);
    Invalidate();
    if (OnCloseUp) OnCloseUp(this);
    return;
  }
  if (OnDropDown) OnDropDown(this);
  WNDCLASSA wc{};
  if (!GetClassInfo(nullptr, kDropClass, &wc)) {
    wc = WNDCLASSA{};
    wc.lpfnWndProc = &TCustomComboBox::dropWndProc;
    wc.lpszClassName = kDropClass;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClass(&wc);
  }
  int rows = std::max(1, std::min(FDropDownCount, FItems->Count()));
  TPoint origin = ClientToScreen(TPoint{0, FHeight});
  FDropHot = FItemIndex;
  FDropWindow = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kDropClass, "", WS_POPUP, origin.x, origin.y, FWidth,
                               rows * ItemHeight() + 2, HandleAllocated() ? FHandle : nullptr, nullptr, nullptr,
                               nullptr);
  if (!FDropWindow) return;
  SetWindowLongPtr(FDropWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(FDropWindow, SW_SHOWNOACTIVATE);
  Invalidate();
}

void TCustomComboBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CB_GETCOUNT:
      Message.Result = FItems->Count();
      return;
    case CB_GETCURSEL:
      Message.Result = FItemIndex;
      return;
    case CB_SETCURSEL:
      SetItemIndex(static_cast<int>(Message.WParam));
      Message.Result = FItemIndex;
      return;
    case CB_SHOWDROPDOWN:
      SetDroppedDown(Message.WParam != 0);
      Message.Result = TRUE;
      return;
    case CB_GETDROPPEDSTATE:
      Message.Result = DroppedDown();
      return;
    case WM_KILLFOCUS:
      SetDroppedDown(false);
      break;
    default:
      break;
  }
  inherited::WndProc(Message);
}

void TCustomComboBox::WMKeyDown(TWMKey& Message) {
  if (DoKeyDown(Message)) return;
  int n = FItems->Count();
  switch (Message.CharCode) {
    case VK_DOWN:
    case VK_RIGHT:
      if (n > 0 && FItemIndex < n - 1) choose(FItemIndex + 1);
      return;
    case VK_UP:
    case VK_LEFT:
      if (n > 0 && FItemIndex > 0) choose(FItemIndex - 1);
      return;
    case VK_F4:
      SetDroppedDown(!DroppedDown());
      return;
    case VK_ESCAPE:
      SetDroppedDown(false);
      return;
    case VK_RETURN:
      if (DroppedDown()) {
        int hot = FDropHot;
        SetDroppedDown(false);
        if (hot >= 0) choose(hot);
      }
      return;
    default:
      inherited::WMKeyDown(Message);
  }
}

void TCustomComboBox::WMChar(TWMKey& Message) {
  if (DoKeyPress(Message)) return;
  char ch = static_cast<char>(Message.CharCode);
  if (static_cast<unsigned char>(ch) < 32 && ch != '\b') return;
  if (FStyle == csDropDownList) {
    // A letter chooses the next item that starts with it.
    int n = FItems->Count();
    for (int k = 1; k <= n; ++k) {
      int i = (FItemIndex + k + n) % n;
      const std::string s = FItems->Strings(i);
      if (!s.empty() && std::toupper(static_cast<unsigned char>(s[0])) == std::toupper(static_cast<unsigned char>(ch))) {
        choose(i);
        return;
      }
    }
    return;
  }
  std::string t = GetText();
  if (ch == '\b') {
    if (t.empty()) return;
    t.pop_back();
  } else {
    t += ch;
  }
  FItemIndex = FItems->IndexOf(t);
  FText = t;
  if (HandleAllocated()) SetWindowText(FHandle, t.c_str());
  Invalidate();
  Change();
}

void TCustomComboBox::WMLButtonDown(TWMMouse& Message) {
  if (CanFocus() && !Focused()) SetFocus();
  bool onButton = Message.XPos >= FWidth - kComboButton - 2;
  if (FStyle == csDropDownList || onButton) SetDroppedDown(!DroppedDown());
  inherited::WMLButtonDown(Message);
}

void TCustomComboBox::DrawItem(HDC DC, int Index, TRect R, bool Selected) {
  if (Selected) fillSys(DC, R, COLOR_HIGHLIGHT);
  SelectObject(DC, FFont->Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, Selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(FFont->Color()));
  std::string s = Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : std::string();
  R.left += 2;
  DrawText(DC, s.c_str(), -1, &R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
}

void TCustomComboBox::Paint() {
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (Enabled())
    fill(dc, r, FColor);
  else
    fillSys(dc, r, COLOR_BTNFACE);
  TRect button{r.right - kComboButton, r.top, r.right, r.bottom};
  DrawFrameControl(dc, &button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (DroppedDown() ? DFCS_PUSHED : 0u));
  TRect field{r.left + 1, r.top + 1, button.left - 1, r.bottom - 1};
  if (FStyle == csDropDownList) {
    DrawItem(dc, FItemIndex, field, Focused() && !DroppedDown());
  } else {
    prepareText(dc, FFont, Enabled());
    std::string t = GetText();
    field.left += 1;
    DrawText(dc, t.c_str(), -1, &field, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  }
}

// ---------------------------------------------------------------------------
TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(new TStringList()) {
  FControlStyle = {csSetCaption, csDoubleClicks, csOpaque};
  FWidth = 121;
  FHeight = 97;
  SetTabStop(true);
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(clWindow);
  FItems->OnChange = [this](TObject*) { itemsChanged(); };
}

TCustomListBox::~TCustomListBox() {
  FItems->OnChange = nullptr;
  delete FItems;
}

void TCustomListBox::itemsChanged() {
  int n = FItems->Count();
  FSelection.resize(static_cast<std::size_t>(n), false);
  if (FItemIndex >= n) FItemIndex = -1;
  if (FTopIndex >= n) FTopIndex = std::max(0, n - 1);
  Invalidate();
}

void TCustomListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= Count()) Value = -1;
  FItemIndex = Value;
  if (!FMultiSelect) {
    std::fill(FSelection.begin(), FSelection.end(), false);
    if (Value >= 0) FSelection[static_cast<std::size_t>(Value)] = true;
  }
  // Scroll the item into view.
  if (Value >= 0) {
    int visible = std::max(1, ClientHeight() / ItemHeight());
    if (Value < FTopIndex) FTopIndex = Value;
    if (Value >= FTopIndex + visible) FTopIndex = Value - visible + 1;
  }
  Invalidate();
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (Value == FMultiSelect) return;
  FMultiSelect = Value;
  std::fill(FSelection.begin(), FSelection.end(), false);
  if (!Value && FItemIndex >= 0) FSelection[static_cast<std::size_t>(FItemIndex)] = true;
  Invalidate();
}

bool TCustomListBox::Selected(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (%d)", {Index});
  return FSelection[static_cast<std::size_t>(Index)];
}

void TCustomListBox::SetSelected(int Index, bool Value) {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (%d)", {Index});
  if (!FMultiSelect) {
    SetItemIndex(Value ? Index : (FItemIndex == Index ? -1 : FItemIndex));
    return;
  }
  FSelection[static_cast<std::size_t>(Index)] = Value;
  Invalidate();
}

int TCustomListBox::SelCount() const {
  if (!FMultiSelect) return -1;
  return static_cast<int>(std::count(FSelection.begin(), FSelection.end(), true));
}

void TCustomListBox::SetTopIndex(int Value) {
  FTopIndex = std::clamp(Value, 0, std::max(0, Count() - 1));
  Invalidate();
}

int TCustomListBox::ItemHeight() const { return FItemHeight > 0 ? FItemHeight : 16; }

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) const {
  auto* self = const_cast<TCustomListBox*>(this);
  TRect client = self->ClientRect();
  if (Pos.x >= 0 && Pos.x < client.right && Pos.y >= 0) {
    int i = FTopIndex + Pos.y / ItemHeight();
    if (i < Count()) return i;
  }
  return Existing ? -1 : Count();
}

TRect TCustomListBox::ItemRect(int Index) const {
  auto* self = const_cast<TCustomListBox*>(this);
  int w = self->ClientWidth();
  int top = (Index - FTopIndex) * ItemHeight();
  return {0, top, w, top + ItemHeight()};
}

void TCustomListBox::Clear() {
  FItems->Clear();
  FItemIndex = -1;
}

void TCustomListBox::userSelect(int Index, TShiftState Shift) {
  if (Index < 0 || Index >= Count()) return;
  if (FMultiSelect) {
    if (FExtendedSelect && !Shift.Contains(ssCtrl)) {
      std::fill(FSelection.begin(), FSelection.end(), false);
      FSelection[static_cast<std::size_t>(Index)] = true;
    } else {
      FSelection[static_cast<std::size_t>(Index)] = !FSelection[static_cast<std::size_t>(Index)];
    }
    FItemIndex = Index;
    Invalidate();
  } else {
    SetItemIndex(Index);
  }
  Click();
}

void TCustomListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case LB_GETCOUNT:
      Message.Result = Count();
      return;
    case LB_GETCURSEL:
      Message.Result = FItemIndex;
      return;
    case LB_SETCURSEL:
      SetItemIndex(static_cast<int>(Message.WParam));
      Message.Result = FItemIndex;
      return;
    case LB_GETTOPINDEX:
      Message.Result = FTopIndex;
      return;
    case LB_SETTOPINDEX:
      SetTopIndex(static_cast<int>(Message.WParam));
      return;
    default:
      inherited::WndProc(Message);
  }
}

void TCustomListBox::WMLButtonDown(TWMMouse& Message) {
  if (CanFocus() && !Focused()) SetFocus();
  int i = ItemAtPos(Message.Pos(), true);
  if (i >= 0) userSelect(i, KeysToShiftState(static_cast<WORD>(Message.Keys)));
  inherited::WMLButtonDown(Message);
}

void TCustomListBox::WMKeyDown(TWMKey& Message) {
  if (DoKeyDown(Message)) return;
  int n = Count();
  if (n == 0) return;
  int visible = std::max(1, ClientHeight() / ItemHeight());
  int to = FItemIndex;
  switch (Message.CharCode) {
    case VK_DOWN:
      to = FItemIndex + 1;
      break;
    case VK_UP:
      to = FItemIndex - 1;
      break;
    case VK_HOME:
      to = 0;
      break;
    case VK_END:
      to = n - 1;
      break;
    case VK_NEXT:
      to = FItemIndex + visible;
      break;
    case VK_PRIOR:
      to = FItemIndex - visible;
      break;
    default:
      inherited::WMKeyDown(Message);
      return;
  }
  to = std::clamp(to, 0, n - 1);
  if (to != FItemIndex) {
    userSelect(to, {});
    SetItemIndex(FMultiSelect ? FItemIndex : to);
  }
}

void TCustomListBox::DrawItem(HDC DC, int Index, TRect R) {
  bool sel = FSelection[static_cast<std::size_t>(Index)];
  if (sel) fillSys(DC, R, COLOR_HIGHLIGHT);
  SelectObject(DC, FFont->Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, sel ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Enabled() ? ColorToRGB(FFont->Color())
                                                                    : GetSysColor(COLOR_GRAYTEXT));
  std::string s = FItems->Strings(Index);
  R.left += 2;
  DrawText(DC, s.c_str(), -1, &R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
}

void TCustomListBox::Paint() {
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  fill(dc, r, FColor);
  int saved = SaveDC(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  for (int i = FTopIndex; i < Count(); ++i) {
    TRect ir = ItemRect(i);
    if (ir.top >= r.bottom) break;
    ir.left = r.left;
    ir.right = r.right;
    DrawItem(dc, i, ir);
    if (i == FItemIndex && Focused()) DrawFocusRect(dc, &ir);
  }
  RestoreDC(dc, saved);
}
