#include "platform/classlib/Menus.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"

namespace {

std::map<UINT, TMenuItem*>& commands() {
  static std::map<UINT, TMenuItem*> table;
  return table;
}

// Command ids of the platform are 16 bits; 0 means no command.
UINT nextCommand() {
  static UINT next = 0;
  do {
    next = next >= 0xFFFF ? 1 : next + 1;
  } while (commands().count(next));
  return next;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

const std::pair<WORD, const char*> kKeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"},   {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},  {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},       {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

std::string keyName(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F1 + 11) return "F" + std::to_string(key - VK_F1 + 1);
  for (const auto& [k, name] : kKeyNames)
    if (k == key) return name;
  return {};
}

// A canvas on a screen DC for measuring.
class ScreenCanvas {
 public:
  ScreenCanvas() : FDC(GetDC(nullptr)) { FCanvas.SetHandle(FDC); }
  ~ScreenCanvas() {
    FCanvas.SetHandle(nullptr);
    ReleaseDC(nullptr, FDC);
  }
  TCanvas* get() { return &FCanvas; }

 private:
  HDC FDC;
  TCanvas FCanvas;
};

LRESULT popupListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) {
        if (TMenuItem* item = TMenuItem::FindCommand(LOWORD(wParam))) {
          item->Click();
          return 0;
        }
      }
      break;
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (mis && mis->CtlType == ODT_MENU) {
        if (TMenuItem* item = TMenuItem::FindCommand(mis->itemID)) {
          ScreenCanvas canvas;
          int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
          item->MeasureItem(canvas.get(), w, h);
          mis->itemWidth = static_cast<UINT>(std::max(w, 0));
          mis->itemHeight = static_cast<UINT>(std::max(h, 0));
          return TRUE;
        }
      }
      break;
    }
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

// ---------------------------------------------------------------------------
TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key & 0xFF00) return scNone;
  TShortCut s = Key;
  if (Shift.Contains(ssShift)) s |= scShift;
  if (Shift.Contains(ssCtrl)) s |= scCtrl;
  if (Shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = {};
  if (ShortCut & scShift) Shift.Include(ssShift);
  if (ShortCut & scCtrl) Shift.Include(ssCtrl);
  if (ShortCut & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut ShortCut) {
  std::string name = keyName(ShortCut & 0xFF);
  if (name.empty()) return {};
  std::string out;
  if (ShortCut & scShift) out += "Shift+";
  if (ShortCut & scCtrl) out += "Ctrl+";
  if (ShortCut & scAlt) out += "Alt+";
  return out + name;
}

TShortCut TextToShortCut(const std::string& Text) {
  std::string rest = lower(Text);
  TShortCut mods = 0;
  for (bool found = true; found;) {
    found = false;
    for (auto [prefix, bit] : {std::pair<const char*, TShortCut>{"shift+", scShift}, {"ctrl+", scCtrl}, {"alt+", scAlt}}) {
      std::string p = prefix;
      if (rest.compare(0, p.size(), p) == 0 && rest.size() > p.size()) {
        rest.erase(0, p.size());
        mods |= bit;
        found = true;
      }
    }
  }
  for (WORD key = 1; key < 0x100; ++key)
    if (!keyName(key).empty() && lower(keyName(key)) == rest) return static_cast<TShortCut>(key | mods);
  return 0;
}

std::string StripHotkey(const std::string& Text) {
  std::string out;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == cHotkeyPrefix) {
      if (i + 1 < Text.size() && Text[i + 1] == cHotkeyPrefix) out += cHotkeyPrefix;
      else continue;
      ++i;
      continue;
    }
    out += Text[i];
  }
  return out;
}

HWND qv::classlib::popupListWindow() {
  static HWND window = nullptr;
  static bool hooked = false;
  if (!hooked) {
    // A fresh desktop has none of the old windows; a handle kept across
    // could name a new window of someone else.
    qv::desktop::onReset([] { window = nullptr; });
    hooked = true;
  }
  if (window && IsWindow(window)) return window;
  const char* className = "QvPopupList";
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, className, &wc)) {
    wc.lpfnWndProc = popupListProc;
    wc.lpszClassName = className;
    RegisterClass(&wc);
  }
  window = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  return window;
}

// ---------------------------------------------------------------------------
TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(nextCommand()) {
  commands()[FCommand] = this;
}

TMenuItem::~TMenuItem() {
  Destroying();
  while (!FItems.empty()) delete FItems.back();
  if (FParent) FParent->Remove(this);
  commands().erase(FCommand);
}

void TMenuItem::SetChecked(bool Value) {
  FChecked = Value;
  if (Value && FRadioItem && FParent) {
    for (TMenuItem* other : FParent->FItems)
      if (other != this && other->FRadioItem && other->FGroupIndex == FGroupIndex) other->FChecked = false;
  }
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (Item == nullptr) return;
  if (Item->FParent != nullptr) throw EMenuError("Menu inserted twice");
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Item->FParent = nullptr;
}

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  std::string want = lower(StripHotkey(ACaption));
  for (TMenuItem* item : FItems)
    if (lower(StripHotkey(item->FCaption)) == want) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

TMenuItem* TMenuItem::FindCommand(UINT Command) {
  auto it = commands().find(Command);
  return it == commands().end() ? nullptr : it->second;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck) SetChecked(!FChecked);
  if (OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  TMenu* menu = GetParentMenu();
  TCustomImageList* images = menu ? menu->Images() : nullptr;
  if (IsLine()) {
    Width = 10;
    Height = 8;
  } else {
    std::string text = StripHotkey(FCaption);
    std::string keys = ShortCutToText(FShortCut);
    int column = images ? images->Width() + 6 : GetSystemMetrics(SM_CXMENUCHECK) + 4;
    Width = column + ACanvas->TextWidth(text) + 16 + (keys.empty() ? 0 : ACanvas->TextWidth(keys) + 16);
    Height = std::max(ACanvas->TextHeight("Wg") + 4, images ? images->Height() + 4 : GetSystemMetrics(SM_CYMENU));
  }
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
  (void)TopLevel;
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  bool selected = State.Contains(odSelected);
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, selected);
    return;
  }
  TMenu* menu = GetParentMenu();
  TCustomImageList* images = menu ? menu->Images() : nullptr;
  ACanvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  if (IsLine()) {
    RECT line{ARect.left, ARect.top + (ARect.bottom - ARect.top) / 2 - 1, ARect.right, ARect.bottom};
    DrawEdge(ACanvas->Handle(), &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  int column = images ? images->Width() + 6 : GetSystemMetrics(SM_CXMENUCHECK) + 4;
  bool disabled = !FEnabled || State.Contains(odDisabled) || State.Contains(odGrayed);
  if (images && FImageIndex >= 0 && FImageIndex < images->Count()) {
    images->Draw(ACanvas, ARect.left + 3, ARect.top + (ARect.bottom - ARect.top - images->Height()) / 2, FImageIndex,
                 !disabled);
  } else if (FChecked) {
    RECT check{ARect.left, ARect.top, ARect.left + column, ARect.bottom};
    DrawFrameControl(ACanvas->Handle(), &check, DFC_MENU, FRadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
  }
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Font()->SetColor(disabled ? clGrayText : selected ? clHighlightText : clMenuText);
  RECT text{ARect.left + column + 2, ARect.top, ARect.right - 4, ARect.bottom};
  std::string caption = FCaption;
  DrawText(ACanvas->Handle(), caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  std::string keys = ShortCutToText(FShortCut);
  if (!keys.empty()) DrawText(ACanvas->Handle(), keys.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  ACanvas->Brush()->SetStyle(bsSolid);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (auto* item = dynamic_cast<TMenuItem*>(Value)) item->Add(this);
  else if (auto* menu = dynamic_cast<TMenu*>(Value)) menu->Items()->Add(this);
}

void TMenuItem::GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) {
  (void)Root;
  for (TMenuItem* item : FItems) Proc(item);
}

void TMenuItem::appendTo(HMENU Menu, bool OwnerDraw) {
  for (TMenuItem* item : FItems) {
    if (!item->FVisible) continue;
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    mii.wID = item->FCommand;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    std::string text = item->FCaption;
    if (item->IsLine()) {
      mii.fType = MFT_SEPARATOR;
    } else {
      std::string keys = ShortCutToText(item->FShortCut);
      if (!keys.empty()) text += "\t" + keys;
      mii.fMask |= MIIM_STRING;
      mii.dwTypeData = text.data();
      mii.cch = static_cast<UINT>(text.size());
      if (OwnerDraw) mii.fType |= MFT_OWNERDRAW;
      if (item->FRadioItem) mii.fType |= MFT_RADIOCHECK;
      if (item->FChecked) mii.fState |= MFS_CHECKED;
      if (!item->FEnabled) mii.fState |= MFS_GRAYED;
      if (item->FDefault) mii.fState |= MFS_DEFAULT;
      if (!item->FItems.empty()) {
        HMENU sub = CreatePopupMenu();
        item->appendTo(sub, OwnerDraw);
        mii.fMask |= MIIM_SUBMENU;
        mii.hSubMenu = sub;
      }
    }
    InsertMenuItemA(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &mii);
  }
}

// ---------------------------------------------------------------------------
TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() {
  Destroying();
  delete FItems;
  if (FHandle) DestroyMenu(FHandle);
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

HMENU TMenu::Handle() {
  if (FHandle) DestroyMenu(FHandle);
  FHandle = IsPopup() ? CreatePopupMenu() : CreateMenu();
  FItems->appendTo(FHandle, FOwnerDraw);
  return FHandle;
}

TMenuItem* TMenu::FindItem(UINT Command) const {
  TMenuItem* item = TMenuItem::FindCommand(Command);
  return item && item->GetParentMenu() == this ? item : nullptr;
}

bool TMenu::DispatchCommand(UINT Command) {
  TMenuItem* item = FindItem(Command);
  if (item == nullptr) return false;
  item->Click();
  return true;
}

void TMenu::GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

// ---------------------------------------------------------------------------
TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (FPopupComponent) FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Popup(int X, int Y) {
  FPopupPoint = {X, Y};
  if (OnPopup) OnPopup(this);
  static const UINT kAlign[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
  TrackPopupMenu(Handle(), kAlign[FAlignment] | TPM_RIGHTBUTTON, X, Y, 0, qv::classlib::popupListWindow(), nullptr);
}
