// The class library's StdCtrls unit: labels, edits, buttons, check boxes,
// radio buttons, group boxes, combo boxes and list boxes.
//
// Every control keeps its state in the class library object and paints
// itself in the classic look over a window of its own class; the platform
// messages that code sends to such controls (BM_GETCHECK/BM_SETCHECK,
// LB_GETCURSEL/LB_SETCURSEL, CB_GETCURSEL/CB_SETCURSEL, EM_SETSEL ...) are
// answered by the control.
//
// The event rules code relies on: setting Checked in code fires OnClick (a
// radio button only when it becomes checked), setting an edit's Text fires
// OnChange, setting ItemIndex fires nothing; a list box's OnClick and a
// combo box's OnChange/OnSelect come from the user's choice only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Graphics.h"

// Button, list and combo messages with the platform's values.
#ifndef BM_GETCHECK
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#endif
#ifndef EM_GETSEL
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_SETREADONLY 0x00CF
#endif
#ifndef LB_GETCURSEL
#define LB_ERR (-1)
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETCOUNT 0x018B
#define LB_GETTOPINDEX 0x018E
#define LB_SETTOPINDEX 0x0197
#endif
#ifndef DLGC_WANTARROWS
#define DLGC_WANTARROWS 0x0001
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_BUTTON 0x2000
#endif
#ifndef CB_GETCURSEL
#define CB_ERR (-1)
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETDROPPEDSTATE 0x0157
#endif

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
QV_ENUM_TYPE(TAlignment, taLeftJustify, taRightJustify, taCenter)
enum TTextLayout { tlTop, tlCenter, tlBottom };
QV_ENUM_TYPE(TTextLayout, tlTop, tlCenter, tlBottom)
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
QV_ENUM_TYPE(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
QV_ENUM_TYPE(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

// What a scroll step does (the values of the platform's SB_* codes).
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
QV_ENUM_TYPE(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
             scEndScroll)
// A scroll step of a scroll bar: ScrollPos is where it leads; the handler
// may move it.
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;
// Raised with EInvalidOperation for a scroll bar range that does not hold
// its page, or a maximum below the minimum.
extern const TResStringRec SScrollBarRange;

// The modal results a button hands its form (the class library's values).
using TModalResult = int;

namespace qv::classlib {
// How a button with a ModalResult sets it on its form. The forms unit
// installs it; the default sets a published ModalResult of the top-level
// parent when it has one.
using ModalResultSetter = std::function<void(TWinControl* Form, TModalResult Result)>;
void setModalResultSetter(ModalResultSetter Setter);
// Whether Key is the accelerator of Caption ("&File": F, any case; "&&" is
// a plain ampersand).
bool isAccel(WORD Key, const std::string& Caption);
// The measures of text in a font, without a window.
SIZE measureText(TFont* Font, const std::string& Text);
}  // namespace qv::classlib

// ---------------------------------------------------------------------------
class TCustomLabel : public TGraphicControl {
  QV_CLASS(TCustomLabel, TGraphicControl)
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
  void SetTransparent(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  // Recomputes the size from the text when AutoSize.
  void AdjustBounds();

  QV_PUBLISHED(TCustomLabel) {
    P.Prop("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
    P.Prop("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
    P.Prop("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
    P.Prop("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
    P.Prop("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
    P.Prop("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
    P.Prop("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
  }

 protected:
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  // The accelerator of the caption (Alt+letter, CM_DIALOGCHAR) focuses
  // FocusControl.
  void WndProc(TMessage& Message) override;
  UINT textFlags() const;

 private:
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  QV_CLASS(TLabel, TCustomLabel)
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------
// A single-line edit. The text lives in the window while there is one.
class TCustomEdit : public TCustomControl {
  QV_CLASS(TCustomEdit, TCustomControl)
  explicit TCustomEdit(TComponent* AOwner);

  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value < 0 ? 0 : Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  int SelStart() const { return FSelStart; }
  void SetSelStart(int Value);
  int SelLength() const { return FSelLength; }
  void SetSelLength(int Value);
  std::string SelText() const;
  // Replaces the selection; the caret goes after the new text.
  void SetSelText(const std::string& Value);
  void SelectAll();
  void Clear() { SetText(""); }

  TNotifyEvent OnChange;

  QV_PUBLISHED(TCustomEdit) {
    P.Prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
    P.Prop("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default(0);
    P.Prop("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
    P.Prop("Text", &TControl::Text, &TControl::SetText);
    P.Event("OnChange", &TCustomEdit::OnChange);
  }

 protected:
  virtual void Change();
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void WMChar(TWMKey& Message) override;
  void WMKeyDown(TWMKey& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void WMLButtonDown(TWMMouse& Message) override;

 private:
  void clampSelection();
  void replaceSelection(const std::string& Value);

  int FMaxLength = 0;
  bool FReadOnly = false;
  char FPasswordChar = 0;
  int FSelStart = 0;
  int FSelLength = 0;
};

class TEdit : public TCustomEdit {
  QV_CLASS(TEdit, TCustomEdit)
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---------------------------------------------------------------------------
class TButtonControl : public TCustomControl {
  QV_CLASS(TButtonControl, TCustomControl)
  explicit TButtonControl(TComponent* AOwner);

 protected:
  // The caption in the control's font and enabled state.
  void paintCaption(TRect R, UINT Flags);
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
};

class TButton : public TButtonControl {
  QV_CLASS(TButton, TButtonControl)
  explicit TButton(TComponent* AOwner);

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // As a click of the user: the form's ModalResult, then OnClick.
  void Click() override;

  QV_PUBLISHED(TButton) {
    P.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    P.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    P.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  }

 protected:
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void WMKeyDown(TWMKey& Message) override;
  void WMLButtonDown(TWMMouse& Message) override;
  void WMLButtonUp(TWMMouse& Message) override;

 private:
  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = 0;
  bool FPressed = false;
};

class TCustomCheckBox : public TButtonControl {
  QV_CLASS(TCustomCheckBox, TButtonControl)
  explicit TCustomCheckBox(TComponent* AOwner);

  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return FState; }
  // A change fires OnClick.
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

  QV_PUBLISHED(TCustomCheckBox) {
    P.Prop("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment).Default(taRightJustify);
    P.Prop("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).Default(false);
    P.Prop("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked).Default(false);
    P.Prop("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).Default(cbUnchecked);
  }

 protected:
  // The next state of a click: unchecked, checked, grayed when allowed.
  virtual void Toggle();
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void WMChar(TWMKey& Message) override;
  void WMLButtonUp(TWMMouse& Message) override;

 private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  QV_CLASS(TCheckBox, TCustomCheckBox)
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking one unchecks the other radio buttons of the same parent.
class TRadioButton : public TButtonControl {
  QV_CLASS(TRadioButton, TButtonControl)
  explicit TRadioButton(TComponent* AOwner);

  bool Checked() const { return FChecked; }
  // Becoming checked fires OnClick; unchecking fires nothing.
  void SetChecked(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

  QV_PUBLISHED(TRadioButton) {
    P.Prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
    P.Prop("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
  }

 protected:
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void WMChar(TWMKey& Message) override;
  void WMLButtonUp(TWMMouse& Message) override;

 private:
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};

// ---------------------------------------------------------------------------
class TCustomGroupBox : public TCustomControl {
  QV_CLASS(TCustomGroupBox, TCustomControl)
  explicit TCustomGroupBox(TComponent* AOwner);

 protected:
  void Paint() override;
  void AdjustClientRect(TRect& Rect) override;
  void CMTextChanged(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
  QV_CLASS(TGroupBox, TCustomGroupBox)
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---------------------------------------------------------------------------
// A combo box: an edit part (csDropDown) or a static one (csDropDownList)
// and a drop-down list in a popup window below it.
class TCustomComboBox : public TCustomControl {
  QV_CLASS(TCustomComboBox, TCustomControl)
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int ItemIndex() const { return FItemIndex; }
  // Out of range gives -1; fires nothing.
  void SetItemIndex(int Value);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value < 1 ? 1 : Value; }
  bool DroppedDown() const { return FDropWindow != nullptr; }
  void SetDroppedDown(bool Value);
  bool Sorted() const;
  void SetSorted(bool Value);
  // The height of an item of the drop-down list.
  int ItemHeight() const;
  void Clear();

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  QV_PUBLISHED(TCustomComboBox) {
    P.Prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
    P.Event("OnChange", &TCustomComboBox::OnChange);
    P.Event("OnSelect", &TCustomComboBox::OnSelect);
    P.Event("OnDropDown", &TCustomComboBox::OnDropDown);
    P.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
  }

 protected:
  // The user chose item Index (from the list or with the arrow keys).
  virtual void choose(int Index);
  virtual void Change();
  virtual void Select();
  // Paints item Index in R of DC (the list and the closed box share it).
  virtual void DrawItem(HDC DC, int Index, TRect R, bool Selected);
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void WMKeyDown(TWMKey& Message) override;
  void WMChar(TWMKey& Message) override;
  void WMLButtonDown(TWMMouse& Message) override;
  void DestroyWnd() override;
  void Loaded() override;
  // A drop-down list's text is its item's.
  std::string GetText() const override;

 private:
  void itemsChanged(TObject* Sender);
  static LRESULT dropWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void paintDropList(HDC DC);

  TStringList* FItems;
  int FItemIndex = -1;
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  HWND FDropWindow = nullptr;
  int FDropHot = -1;
  int FPendingIndex = -1;
};

class TComboBox : public TCustomComboBox {
  QV_CLASS(TComboBox, TCustomComboBox)
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}

  // Style before Items and ItemIndex: the list's kind decides what the
  // index shows.
  QV_PUBLISHED(TComboBox) {
    P.Prop("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
    P.Prop("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
    P.Prop("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
    P.Prop("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
    P.Prop("Text", &TControl::Text, &TControl::SetText);
  }
};

// ---------------------------------------------------------------------------
class TCustomListBox : public TCustomControl {
  QV_CLASS(TCustomListBox, TCustomControl)
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int Count() const { return FItems->Count(); }
  // The focused item (the selected one when not MultiSelect); -1 for none.
  int ItemIndex() const { return FItemIndex; }
  // Fires nothing; out of range gives -1.
  void SetItemIndex(int Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value) { FExtendedSelect = Value; }
  // EListError for an index out of range.
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;
  bool Sorted() const { return FItems->Sorted(); }
  void SetSorted(bool Value) { FItems->SetSorted(Value); }
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  int ItemHeight() const;
  void SetItemHeight(int Value) { FItemHeight = Value; Invalidate(); }
  // The item at a client point; with Existing -1 below the last item, else
  // Count there.
  int ItemAtPos(const TPoint& Pos, bool Existing) const;
  // Client rectangle of an item (also when scrolled out of view).
  TRect ItemRect(int Index) const;
  void Clear();

  QV_PUBLISHED(TCustomListBox) {
    P.Prop("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect).Default(true);
    P.Prop("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight).Default(16);
    P.Prop("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
    P.Prop("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
    P.Prop("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
  }

 protected:
  // Paints item Index in R (its check box too for a check list box).
  virtual void DrawItem(HDC DC, int Index, TRect R);
  // The user moved the selection to Index; fires OnClick.
  void userSelect(int Index, TShiftState Shift);
  virtual void itemsChanged();
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void WMKeyDown(TWMKey& Message) override;
  void WMLButtonDown(TWMMouse& Message) override;

  TStringList* FItems;
  std::vector<bool> FSelection;

 private:
  int FItemIndex = -1;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  int FTopIndex = 0;
  int FItemHeight = 16;
};

class TListBox : public TCustomListBox {
  QV_CLASS(TListBox, TCustomListBox)
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};
