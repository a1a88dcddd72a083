// The class library's CheckLst unit: a list box with a check box before each
// item.
#pragma once

#include <vector>

#include "platform/classlib/StdCtrls.h"

// The states follow the items: they move with inserted and deleted items only
// as far as the list's count goes (a state belongs to a position).
class TCheckListBox : public TCustomListBox {
  QV_CLASS(TCheckListBox, TCustomListBox)
  explicit TCheckListBox(TComponent* AOwner);

  // EListError for an index out of range. Setting them in code fires nothing.
  bool Checked(int Index) const { return State(Index) == cbChecked; }
  void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State(int Index) const;
  void SetState(int Index, TCheckBoxState Value);
  bool ItemEnabled(int Index) const;
  void SetItemEnabled(int Index, bool Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }

  // The user toggled an item's check box (click on the box or Space).
  TNotifyEvent OnClickCheck;

  QV_PUBLISHED(TCheckListBox) {
    P.Prop("AllowGrayed", &TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed).Default(false);
    P.Event("OnClickCheck", &TCheckListBox::OnClickCheck);
  }

 protected:
  virtual void ClickCheck();
  void DrawItem(HDC DC, int Index, TRect R) override;
  void itemsChanged() override;
  void WMLButtonDown(TWMMouse& Message) override;
  void WMChar(TWMKey& Message) override;

 private:
  void check(int Index) const;
  void toggle(int Index);

  std::vector<TCheckBoxState> FStates;
  std::vector<bool> FDisabled;
  bool FAllowGrayed = false;
};
