#include "platform/classlib/ActnList.h"

#include <algorithm>

#include "platform/classlib/SysUtils.h"

namespace {

// Every live link, in the order made, for the idle update.
std::vector<TBasicActionLink*>& allLinks() {
  static std::vector<TBasicActionLink*> links;
  return links;
}

// Tells every link of a custom action about a new value, then the action's
// change.
template <class F>
void pushToLinks(const std::vector<TBasicActionLink*>& clients, F apply) {
  // A client may drop its link while being told.
  std::vector<TBasicActionLink*> copy = clients;
  for (TBasicActionLink* l : copy)
    if (std::find(clients.begin(), clients.end(), l) != clients.end())
      if (auto* link = dynamic_cast<TActionLink*>(l)) apply(link);
}

}  // namespace

// ---------------------------------------------------------------------------
TBasicActionLink::TBasicActionLink(TObject* AClient) {
  allLinks().push_back(this);
  // Virtual calls do not reach derived classes here; they assign again.
  TBasicActionLink::AssignClient(AClient);
}

TBasicActionLink::~TBasicActionLink() {
  if (FAction) FAction->UnRegisterChanges(this);
  auto& links = allLinks();
  links.erase(std::remove(links.begin(), links.end(), this), links.end());
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = Value;
  if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->SetActionComponent(AComponent);
  bool result = false;
  try {
    result = FAction->Execute();
  } catch (...) {
    if (FAction) FAction->SetActionComponent(nullptr);
    throw;
  }
  if (FAction) FAction->SetActionComponent(nullptr);
  return result;
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::Change() {
  if (OnChange) OnChange(FAction);
}

// ---------------------------------------------------------------------------
TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  Destroying();
  // The links stay with their clients but lose their action.
  while (!FClients.empty()) {
    TBasicActionLink* l = FClients.back();
    FClients.pop_back();
    l->FAction = nullptr;
  }
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (Value == FActionComponent) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = Value;
  if (FActionComponent) FActionComponent->FreeNotification(this);
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
  if (!Value) return;
  Value->FAction = this;
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  FClients.erase(it);
  Value->FAction = nullptr;
}

void TBasicAction::Change() {
  std::vector<TBasicActionLink*> copy = FClients;
  for (TBasicActionLink* l : copy)
    if (std::find(FClients.begin(), FClients.end(), l) != FClients.end()) l->Change();
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

// ---------------------------------------------------------------------------
TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (Value == FActionList) return;
  if (FActionList) {
    auto& v = FActionList->FActions;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (FActionList->OnChange) FActionList->OnChange(FActionList);
  }
  FActionList = Value;
  if (FActionList) {
    FActionList->FActions.push_back(this);
    if (FActionList->OnChange) FActionList->OnChange(FActionList);
  }
}

int TContainedAction::Index() const {
  if (!FActionList) return -1;
  const auto& v = FActionList->FActions;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  return TBasicAction::Execute();
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->UpdateAction(this)) return true;
  return TBasicAction::Update();
}

// ---------------------------------------------------------------------------
// Each setter tells the links while the action still holds the old value,
// so that a link can tell whether its client still shows that value.
void TCustomAction::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetCaption(Value); });
  FCaption = Value;
  Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (Value == FChecked) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetChecked(Value); });
  FChecked = Value;
  if (Value && FGroupIndex > 0 && ActionList()) {
    for (int i = 0; i < ActionList()->ActionCount(); ++i) {
      auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetChecked(false);
    }
  }
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetEnabled(Value); });
  FEnabled = Value;
  Change();
}

void TCustomAction::SetVisible(bool Value) {
  if (Value == FVisible) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetVisible(Value); });
  FVisible = Value;
  Change();
}

void TCustomAction::SetHint(const std::string& Value) {
  if (Value == FHint) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetHint(Value); });
  FHint = Value;
  Change();
}

void TCustomAction::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetImageIndex(Value); });
  FImageIndex = Value;
  Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetShortCut(Value); });
  FShortCut = Value;
  Change();
}

void TCustomAction::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetGroupIndex(Value); });
  FGroupIndex = Value;
  Change();
}

void TCustomAction::SetAutoCheck(bool Value) {
  if (Value == FAutoCheck) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetAutoCheck(Value); });
  FAutoCheck = Value;
  Change();
}

void TCustomAction::SetHelpContext(int Value) {
  if (Value == FHelpContext) return;
  pushToLinks(FClients, [&](TActionLink* l) { l->SetHelpContext(Value); });
  FHelpContext = Value;
  Change();
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled) return false;
  // A checked action of a group stays checked when executed again.
  if (FAutoCheck && !(FChecked && FGroupIndex > 0)) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

// ---------------------------------------------------------------------------
TCustomAction* TActionLink::custom() const { return dynamic_cast<TCustomAction*>(FAction); }

bool TActionLink::IsCaptionLinked() { return custom() != nullptr; }
bool TActionLink::IsCheckedLinked() { return custom() != nullptr; }
bool TActionLink::IsEnabledLinked() { return custom() != nullptr; }
bool TActionLink::IsHelpContextLinked() { return custom() != nullptr; }
bool TActionLink::IsHintLinked() { return custom() != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return custom() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return custom() != nullptr; }
bool TActionLink::IsShortCutLinked() { return custom() != nullptr; }
bool TActionLink::IsVisibleLinked() { return custom() != nullptr; }
bool TActionLink::IsOnExecuteLinked() { return FAction != nullptr; }
bool TActionLink::IsAutoCheckLinked() { return custom() != nullptr; }

// ---------------------------------------------------------------------------
TControlActionLink::TControlActionLink(TObject* AClient) : TActionLink(AClient) {
  TControlActionLink::AssignClient(AClient);
}

void TControlActionLink::AssignClient(TObject* AClient) {
  TActionLink::AssignClient(AClient);
  FControl = dynamic_cast<TControl*>(AClient);
}

bool TControlActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FControl && FControl->Caption() == custom()->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FControl && FControl->Enabled() == custom()->Enabled();
}

bool TControlActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FControl && FControl->Hint() == custom()->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FControl && FControl->Visible() == custom()->Visible();
}

// Events are std::function values, which cannot be compared; a control
// with no OnClick of its own is the one whose click runs the action.
bool TControlActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FControl && !FControl->OnClick;
}

void TControlActionLink::SetCaption(std::string Value) {
  if (IsCaptionLinked()) FControl->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FControl->SetEnabled(Value);
}

void TControlActionLink::SetHint(std::string Value) {
  if (IsHintLinked()) FControl->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FControl->SetVisible(Value);
}

// ---------------------------------------------------------------------------
TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
  Destroying();
  OnChange = nullptr;
  while (!FActions.empty()) FActions.back()->SetActionList(nullptr);
  SetImages(nullptr);
}

TContainedAction* TCustomActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FActions[static_cast<std::size_t>(Index)];
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  if (OnUpdate) OnUpdate(Action, handled);
  return handled;
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (auto* a = dynamic_cast<TContainedAction*>(AComponent); a && a->FActionList == this) a->SetActionList(nullptr);
}

// ---------------------------------------------------------------------------
namespace qv::classlib {

int updateActionsIdle() {
  int n = 0;
  std::vector<TBasicActionLink*> copy = allLinks();
  for (TBasicActionLink* l : copy) {
    auto& links = allLinks();
    if (std::find(links.begin(), links.end(), l) == links.end() || !l->Action()) continue;
    if (auto* c = dynamic_cast<TControl*>(l->Client()); c && !c->Showing()) continue;
    l->Update();
    ++n;
  }
  return n;
}

}  // namespace qv::classlib
