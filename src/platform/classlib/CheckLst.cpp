#include "platform/classlib/CheckLst.h"

#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"

namespace {
constexpr int kCheckWidth = 13;
// The check box's column: the box and a gap before the text.
constexpr int kCheckColumn = kCheckWidth + 4;
}  // namespace

TCheckListBox::TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

void TCheckListBox::itemsChanged() {
  TCustomListBox::itemsChanged();
  std::size_t n = static_cast<std::size_t>(Count());
  FStates.resize(n, cbUnchecked);
  FDisabled.resize(n, false);
}

void TCheckListBox::check(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (%d)", {Index});
}

TCheckBoxState TCheckListBox::State(int Index) const {
  check(Index);
  return FStates[static_cast<std::size_t>(Index)];
}

void TCheckListBox::SetState(int Index, TCheckBoxState Value) {
  check(Index);
  FStates[static_cast<std::size_t>(Index)] = Value;
  Invalidate();
}

bool TCheckListBox::ItemEnabled(int Index) const {
  check(Index);
  return !FDisabled[static_cast<std::size_t>(Index)];
}

void TCheckListBox::SetItemEnabled(int Index, bool Value) {
  check(Index);
  FDisabled[static_cast<std::size_t>(Index)] = !Value;
  Invalidate();
}

void TCheckListBox::ClickCheck() {
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::toggle(int Index) {
  if (Index < 0 || Index >= Count() || FDisabled[static_cast<std::size_t>(Index)]) return;
  TCheckBoxState& s = FStates[static_cast<std::size_t>(Index)];
  switch (s) {
    case cbUnchecked:
      s = cbChecked;
      break;
    case cbChecked:
      s = FAllowGrayed ? cbGrayed : cbUnchecked;
      break;
    case cbGrayed:
      s = cbUnchecked;
      break;
  }
  Invalidate();
  ClickCheck();
}

void TCheckListBox::WMLButtonDown(TWMMouse& Message) {
  int i = ItemAtPos(Message.Pos(), true);
  TCustomListBox::WMLButtonDown(Message);
  if (i >= 0 && Message.XPos < kCheckColumn) toggle(i);
}

void TCheckListBox::WMChar(TWMKey& Message) {
  if (DoKeyPress(Message)) return;
  if (Message.CharCode == ' ') {
    toggle(ItemIndex());
    return;
  }
  TCustomListBox::WMChar(Message);
}

void TCheckListBox::DrawItem(HDC DC, int Index, TRect R) {
  int top = R.top + (R.bottom - R.top - kCheckWidth) / 2;
  TRect box{R.left + 1, top, R.left + 1 + kCheckWidth, top + kCheckWidth};
  TRect back{R.left, R.top, R.left + kCheckColumn, R.bottom};
  FillRect(DC, &back, GetSysColorBrush(COLOR_WINDOW));
  UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
  TCheckBoxState s = FStates[static_cast<std::size_t>(Index)];
  if (s == cbChecked) state |= DFCS_CHECKED;
  if (s == cbGrayed) state = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
  if (FDisabled[static_cast<std::size_t>(Index)] || !Enabled()) state |= DFCS_INACTIVE;
  DrawFrameControl(DC, &box, DFC_BUTTON, state);
  R.left += kCheckColumn;
  TCustomListBox::DrawItem(DC, Index, R);
}
