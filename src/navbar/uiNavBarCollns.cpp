#include "navbar/uiNavBarCollns.h"

#include <algorithm>

#include "navbar/uiNavBarConsts.h"
#include "platform/classlib/Filer.h"

namespace {
const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarStylesUnit};

void startUp() {
  RegisterClasses({TuiNavBarItemLink::StaticClass(), TuiNavBarItemLinks::StaticClass(),
                   TuiNavBarGroupControl::StaticClass(), TuiNavBarGroup::StaticClass(),
                   TuiNavBarItem::StaticClass()});
}

void shutDown() {
  UnRegisterClass(TuiNavBarItem::StaticClass());
  UnRegisterClass(TuiNavBarGroup::StaticClass());
  UnRegisterClass(TuiNavBarGroupControl::StaticClass());
  UnRegisterClass(TuiNavBarItemLinks::StaticClass());
  UnRegisterClass(TuiNavBarItemLink::StaticClass());
}

bool destroying(const TComponent* C) { return C->ComponentState().Contains(csDestroying); }

[[noreturn]] void invalidGroupControl() { throw Exception(lkLoadResString(&suiInvalidGroupControl)); }
}  // namespace

const qv::classlib::TUnitInfo uiNavBarCollnsUnit{"uiNavBarCollns", kUses, &startUp, &shutDown};

// ---------------------------------------------------------------------------
// TuiNavBarCustomItem

void TuiNavBarCustomItem::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  NotifyChanged(false);
}

void TuiNavBarCustomItem::SetHint(const std::string& Value) { FHint = Value; }

void TuiNavBarCustomItem::SetLargeImageIndex(int Value) {
  if (Value == FLargeImageIndex) return;
  FLargeImageIndex = Value;
  NotifyChanged(false);
}

void TuiNavBarCustomItem::SetSmallImageIndex(int Value) {
  if (Value == FSmallImageIndex) return;
  FSmallImageIndex = Value;
  NotifyChanged(false);
}

void TuiNavBarCustomItem::SetName(const std::string& NewName) {
  const bool follow = !Loading() && Name() == FCaption;
  TuiNavBarComponentCollectionItem::SetName(NewName);
  if (follow) SetCaption(NewName);
}

// ---------------------------------------------------------------------------
// TuiNavBarItemLink

TuiNavBarItemLink::~TuiNavBarItemLink() {
  TuiNavBarGroup* group = Group();
  if (!group) return;
  if (group->FSelectedLink == this && !destroying(group)) group->SetSelectedLinkIndex(-1);
  // Whatever the setter did (a loading group only keeps the value), the
  // selection must not point at a link that is gone.
  if (group->FSelectedLink == this) group->FSelectedLink = nullptr;
  FItem = nullptr;
  // Out of the collection before the group hears of it, so that what the
  // group clamps against are the links that remain.
  SetCollection(nullptr);
  group->linkDestroyed(this);
}

void TuiNavBarItemLink::Assign(TPersistent* Source) {
  if (auto* link = dynamic_cast<TuiNavBarItemLink*>(Source)) {
    SetItem(link->Item());
    return;
  }
  TCollectionItem::Assign(Source);
}

TuiNavBarGroup* TuiNavBarItemLink::Group() const {
  auto* links = dynamic_cast<TuiNavBarItemLinks*>(Collection());
  return links ? links->Group() : nullptr;
}

void TuiNavBarItemLink::SetItem(TuiNavBarItem* Value) {
  if (Value == FItem) return;
  FItem = Value;
  // The group hears of the item's end also when the two have different
  // owners, and drops this link then.
  if (TuiNavBarGroup* group = Group(); group && Value) Value->FreeNotification(group);
  Changed(false);
}

bool TuiNavBarItemLink::Selected() const {
  TuiNavBarGroup* group = Group();
  return group && group->SelectedLink() == this;
}

void TuiNavBarItemLink::SetSelected(bool Value) {
  TuiNavBarGroup* group = Group();
  if (!group || Value == Selected()) return;
  group->SetSelectedLinkIndex(Value ? Index() : -1);
}

void TuiNavBarItemLink::RefreshAction() {
  if (FItem && FItem->ActionLink()) FItem->ActionLink()->Update();
}

// ---------------------------------------------------------------------------
// TuiNavBarItemLinks

TuiNavBarItemLinks::TuiNavBarItemLinks(TuiNavBarGroup* AGroup)
    : TOwnedCollection(AGroup, TuiNavBarItemLink::StaticClass()), FGroup(AGroup) {}

void TuiNavBarItemLinks::Update(TCollectionItem* Item) {
  (void)Item;
  if (FGroup) FGroup->NotifyChanged(true);
}

void TuiNavBarItemLinks::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TOwnedCollection::Notify(Item, Action);
  if (Action == cnAdded && FGroup) FGroup->linkCreated(static_cast<TuiNavBarItemLink*>(Item));
}

// ---------------------------------------------------------------------------
// TuiNavBarGroup

TuiNavBarGroup::TuiNavBarGroup(TComponent* AOwner)
    : TuiNavBarCustomItem(AOwner), FLinks(new TuiNavBarItemLinks(this)) {}

TuiNavBarGroup::~TuiNavBarGroup() {
  // Already destroying here means the form is freeing everything it owns,
  // the control too, and without telling the others: the control may be
  // gone already and is not this group's to free.
  if (ComponentState().Contains(csDestroying))
    FControl = nullptr;
  else
    Destroying();
  DestroyControl();
  TuiNavBarItemLinks* links = FLinks;
  // Each link tells the group as it goes; the group still answers then.
  while (links->Count() > 0) delete links->Items(links->Count() - 1);
  FLinks = nullptr;
  delete links;
}

TlkComponentCollection* TuiNavBarGroup::CollectionOfParent(TComponent* AParent) {
  IuiNavBarOwner* navBar = NavBarOf(AParent);
  return navBar ? navBar->NavBarGroups() : nullptr;
}

bool TuiNavBarGroup::barLoading() const {
  if (Loading()) return true;
  IuiNavBarOwner* navBar = NavBar();
  return navBar && navBar->NavBarLoading();
}

bool TuiNavBarGroup::canRaiseEvents() const {
  if (barLoading() || destroying(this)) return false;
  IuiNavBarOwner* navBar = NavBar();
  return !(navBar && navBar->NavBarDestroying());
}

void TuiNavBarGroup::RefreshAction() {
  for (int i = 0; i < LinkCount(); ++i) Links(i)->RefreshAction();
}

void TuiNavBarGroup::Assign(TPersistent* Source) {
  auto* group = dynamic_cast<TuiNavBarGroup*>(Source);
  if (!group) {
    TuiNavBarCustomItem::Assign(Source);
    return;
  }
  if (group == this) return;
  SetCaption(group->Caption());
  SetHint(group->Hint());
  SetLargeImageIndex(group->LargeImageIndex());
  SetSmallImageIndex(group->SmallImageIndex());
  SetExpandable(group->Expandable());
  SetExpanded(group->Expanded());
  SetLinksUseSmallImages(group->LinksUseSmallImages());
  SetShowAsIconView(group->ShowAsIconView());
  SetShowCaption(group->ShowCaption());
  SetShowExpandButton(group->ShowExpandButton());
  SetUseSmallImages(group->UseSmallImages());
  SetVisible(group->Visible());
  for (int i = 0; i < GroupStyleCount; ++i) SetGroupStyle(i, group->GroupStyle(i));
  FLinks->Assign(group->FLinks);
  SetSelectedLinkIndex(group->SelectedLinkIndex());
  SetTopVisibleLinkIndex(group->TopVisibleLinkIndex());
  OnClick = group->OnClick;
  OnCollapsed = group->OnCollapsed;
  OnExpanded = group->OnExpanded;
  OnSelectedLinkChanged = group->OnSelectedLinkChanged;
  OnTopVisibleLinkChanged = group->OnTopVisibleLinkChanged;
}

void TuiNavBarGroup::SetName(const std::string& NewName) {
  const std::string oldName = Name();
  TuiNavBarCustomItem::SetName(NewName);
  // At design time the control's name carries the group's.
  if (!FControl || !ComponentState().Contains(csDesigning) || oldName.empty()) return;
  const std::string& controlName = FControl->Name();
  if (controlName.compare(0, oldName.size(), oldName) != 0) return;
  try {
    FControl->SetName(NewName + controlName.substr(oldName.size()));
  } catch (EComponentError&) {
    // A name that is taken keeps the control's old one.
  }
}

// --- links

TuiNavBarItemLink* TuiNavBarGroup::AddLink(TuiNavBarItem* AItem) {
  // One report for the new link with its item.
  FLinks->BeginUpdate();
  TuiNavBarItemLink* link = nullptr;
  try {
    link = FLinks->Add();
    link->SetItem(AItem);
  } catch (...) {
    FLinks->EndUpdate();
    throw;
  }
  FLinks->EndUpdate();
  return link;
}

void TuiNavBarGroup::RemoveLink(int Index) { FLinks->Delete(Index); }

void TuiNavBarGroup::RemoveLinks(TuiNavBarItem* AItem) { removeLinksTo(AItem); }

void TuiNavBarGroup::removeLinksTo(const TComponent* AItem) {
  if (!AItem || !FLinks) return;
  for (int i = FLinks->Count() - 1; i >= 0; --i) {
    if (i >= FLinks->Count()) continue;
    TuiNavBarItemLink* link = FLinks->Items(i);
    // Compared as components: the item may be part-way through its
    // destruction when the group hears of it.
    if (link->FItem && static_cast<const TComponent*>(link->FItem) == AItem) FLinks->Delete(i);
  }
}

void TuiNavBarGroup::ClearLinks() { FLinks->Clear(); }

int TuiNavBarGroup::LinkCount() const { return FLinks ? FLinks->Count() : 0; }

TuiNavBarItemLink* TuiNavBarGroup::Links(int Index) const { return FLinks->Items(Index); }

void TuiNavBarGroup::linkCreated(TuiNavBarItemLink* Link) {
  if (auto* groups = dynamic_cast<TuiNavBarGroups*>(Collection())) groups->linksChanged(Link);
  SetTopVisibleLinkIndex(FTopVisibleLinkIndex);
}

void TuiNavBarGroup::linkDestroyed(TuiNavBarItemLink* Link) {
  if (auto* groups = dynamic_cast<TuiNavBarGroups*>(Collection())) groups->linksChanged(Link);
  if (!destroying(this)) SetTopVisibleLinkIndex(FTopVisibleLinkIndex);
}

void TuiNavBarGroup::DefineProperties(TFiler* Filer) {
  TuiNavBarCustomItem::DefineProperties(Filer);
  Filer->DefineProperty(
      "Links",
      [this](TReader* Reader) {
        Reader->ReadCollection(FLinks);
        NotifyChanged(true);
      },
      [this](TWriter* Writer) { Writer->WriteCollection(FLinks); }, FLinks->Count() > 0);
}

// --- simple properties

void TuiNavBarGroup::SetExpanded(bool Value) {
  if (Value == FExpanded) return;
  FExpanded = Value;
  NotifyChanged(true);
  if (FExpanded)
    DoExpanded();
  else
    DoCollapsed();
}

void TuiNavBarGroup::SetLinksUseSmallImages(bool Value) {
  if (Value == FLinksUseSmallImages) return;
  FLinksUseSmallImages = Value;
  NotifyChanged(false);
}

void TuiNavBarGroup::SetShowAsIconView(bool Value) {
  if (Value == FShowAsIconView) return;
  FShowAsIconView = Value;
  NotifyChanged(false);
}

void TuiNavBarGroup::SetShowCaption(bool Value) {
  if (Value == FShowCaption) return;
  FShowCaption = Value;
  NotifyChanged(false);
}

void TuiNavBarGroup::SetShowExpandButton(bool Value) {
  if (Value == FShowExpandButton) return;
  FShowExpandButton = Value;
  NotifyChanged(false);
}

void TuiNavBarGroup::SetUseSmallImages(bool Value) {
  if (Value == FUseSmallImages) return;
  FUseSmallImages = Value;
  NotifyChanged(false);
}

void TuiNavBarGroup::SetGroupStyle(int Index, TuiNavBarStyleItem* Value) {
  TuiNavBarStyleItem*& slot = FStyles[Index];
  if (Value == slot) return;
  slot = Value;
  if (Value) Value->FreeNotification(this);
  if (Index == 1) {
    if (FControl) FControl->Invalidate();
  } else {
    NotifyChanged(false);
  }
}

// --- selection and scrolling

int TuiNavBarGroup::SelectedLinkIndex() const {
  if (Loading()) return FLoadedSelectedLinkIndex;
  return FSelectedLink ? FSelectedLink->Index() : -1;
}

void TuiNavBarGroup::SetSelectedLinkIndex(int Value) {
  if (Loading()) {
    FLoadedSelectedLinkIndex = Value;
    return;
  }
  IuiNavBarOwner* navBar = NavBar();
  if (Value < -1 || (navBar && !navBar->AllowSelectLinks())) Value = -1;
  Value = std::min(Value, LinkCount() - 1);
  if (Value == SelectedLinkIndex()) return;
  if (navBar && !navBar->EachGroupHasSelectedLink() && !FSelectedLink && Value != -1) {
    TuiNavBarGroups* groups = navBar->NavBarGroups();
    for (int i = 0; i < groups->Count(); ++i) groups->Items(i)->SetSelectedLinkIndex(-1);
  }
  FSelectedLink = Value == -1 ? nullptr : Links(Value);
  NotifyChanged(false);
  DoSelectedLinkChanged();
}

void TuiNavBarGroup::SetTopVisibleLinkIndex(int Value) {
  if (!Loading()) Value = std::max(std::min(Value, LinkCount() - 1), 0);
  if (Value == FTopVisibleLinkIndex) return;
  FTopVisibleLinkIndex = Value;
  if (Loading()) return;
  NotifyChanged(false);
  DoTopVisibleLinkChanged();
}

// --- visibility

void TuiNavBarGroup::SetVisible(bool Value) {
  if (Value == FVisible) return;
  IuiNavBarOwner* navBar = NavBar();
  const bool loading = barLoading();
  TuiNavBarGroup* active = (navBar && !loading) ? navBar->GetActiveGroup() : nullptr;
  FVisible = Value;
  if (FControl) FControl->SetVisible(Value);
  NotifyChanged(true);
  if (!navBar || loading || destroying(this)) return;
  if (Value && !active)
    navBar->SetActiveGroup(this);
  else if (!Value && active == this)
    navBar->SetActiveGroup(nullptr);
}

// --- the group control

void TuiNavBarGroup::SetUseControl(bool Value) {
  if (Value == FUseControl) return;
  FUseControl = Value;
  if (!Loading()) {
    FShowControl = Value;
    if (Value)
      CreateControl();
    else
      DestroyControl();
  }
  NotifyChanged(true);
}

void TuiNavBarGroup::SetShowControl(bool Value) {
  if (Value == FShowControl) return;
  FShowControl = Value;
  if (Value && !FUseControl && !Loading()) {
    FUseControl = true;
    CreateControl();
  }
  NotifyChanged(true);
}

void TuiNavBarGroup::CreateControl() {
  if (Loading() || FControl || !Collection()) return;
  IuiNavBarOwner* navBar = NavBar();
  auto* control = new TuiNavBarGroupControl(Owner());
  control->FGroup = this;
  FControl = control;
  control->FreeNotification(this);
  // A name that is taken leaves the control unnamed rather than half made.
  if (!Name().empty()) {
    const std::string name = Name() + "Control";
    if (!control->Owner() || !control->Owner()->FindComponent(name)) control->SetName(name);
  }
  if (navBar) control->SetParent(navBar->NavBarControl());
}

void TuiNavBarGroup::DestroyControl() {
  TuiNavBarGroupControl* control = FControl;
  if (!control) return;
  FControl = nullptr;
  control->FGroup = nullptr;
  if (!destroying(control)) delete control;
}

void TuiNavBarGroup::AttachControl(TuiNavBarGroupControl* AControl) {
  IuiNavBarOwner* navBar = NavBar();
  if (!AControl || !Collection() || !navBar || AControl->Parent() != navBar->NavBarControl()) return;
  if (FControl && FControl != AControl) DetachControl();
  FControl = AControl;
  AControl->FGroup = this;
  AControl->FreeNotification(this);
}

void TuiNavBarGroup::DetachControl() {
  if (!FControl) return;
  FControl->FGroup = nullptr;
  FControl = nullptr;
}

// --- events

void TuiNavBarGroup::DoExpanded() {
  if (OnExpanded && canRaiseEvents()) OnExpanded(this);
}

void TuiNavBarGroup::DoCollapsed() {
  if (OnCollapsed && canRaiseEvents()) OnCollapsed(this);
}

void TuiNavBarGroup::DoSelectedLinkChanged() {
  if (OnSelectedLinkChanged && canRaiseEvents()) OnSelectedLinkChanged(this);
}

void TuiNavBarGroup::DoTopVisibleLinkChanged() {
  if (OnTopVisibleLinkChanged && canRaiseEvents()) OnTopVisibleLinkChanged(this);
}

// --- streaming and removal

void TuiNavBarGroup::Loaded() {
  TuiNavBarCustomItem::Loaded();
  if (!FControl) {
    FUseControl = false;
    FShowControl = false;
  }
  // A form may name a top link beyond the links it holds.
  FTopVisibleLinkIndex = std::max(std::min(FTopVisibleLinkIndex, LinkCount() - 1), 0);
  const int selected = FLoadedSelectedLinkIndex;
  FLoadedSelectedLinkIndex = -1;
  SetSelectedLinkIndex(selected);
}

void TuiNavBarGroup::Notification(TComponent* AComponent, TOperation Operation) {
  TuiNavBarCustomItem::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent || AComponent == this) return;
  removeLinksTo(AComponent);
  for (int i = 0; i < GroupStyleCount; ++i)
    if (static_cast<TComponent*>(FStyles[i]) == AComponent && FStyles[i]) SetGroupStyle(i, nullptr);
  // Normally the control has told the group already (controlDestroyed).
  if (FControl && static_cast<TComponent*>(FControl) == AComponent) controlDestroyed(FControl);
}

void TuiNavBarGroup::controlDestroyed(TuiNavBarGroupControl* AControl) {
  if (AControl != FControl) return;
  FControl = nullptr;
  SetUseControl(false);
}

// ---------------------------------------------------------------------------
// TuiNavBarItemActionLink

TuiNavBarItemActionLink::TuiNavBarItemActionLink(TObject* AClient) : TActionLink(AClient) {
  TuiNavBarItemActionLink::AssignClient(AClient);
}

void TuiNavBarItemActionLink::AssignClient(TObject* AClient) {
  TActionLink::AssignClient(AClient);
  FClient = dynamic_cast<TuiNavBarItem*>(AClient);
}

bool TuiNavBarItemActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient && FClient->Caption() == custom()->Caption();
}

bool TuiNavBarItemActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient && FClient->Enabled() == custom()->Enabled();
}

bool TuiNavBarItemActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient && FClient->Hint() == custom()->Hint();
}

bool TuiNavBarItemActionLink::IsImageIndexLinked() {
  return TActionLink::IsImageIndexLinked() && FClient && FClient->LargeImageIndex() == custom()->ImageIndex() &&
         FClient->SmallImageIndex() == custom()->ImageIndex();
}

bool TuiNavBarItemActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient && FClient->Visible() == custom()->Visible();
}

void TuiNavBarItemActionLink::SetCaption(std::string Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TuiNavBarItemActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TuiNavBarItemActionLink::SetHint(std::string Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}

void TuiNavBarItemActionLink::SetImageIndex(int Value) {
  if (!IsImageIndexLinked()) return;
  FClient->SetLargeImageIndex(Value);
  FClient->SetSmallImageIndex(Value);
}

void TuiNavBarItemActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}

// ---------------------------------------------------------------------------
// TuiNavBarItem

TuiNavBarItem::~TuiNavBarItem() {
  Destroying();
  delete FActionLink;
  FActionLink = nullptr;
}

TlkComponentCollection* TuiNavBarItem::CollectionOfParent(TComponent* AParent) {
  IuiNavBarOwner* navBar = NavBarOf(AParent);
  return navBar ? navBar->NavBarItems() : nullptr;
}

void TuiNavBarItem::Assign(TPersistent* Source) {
  auto* item = dynamic_cast<TuiNavBarItem*>(Source);
  if (!item) {
    TuiNavBarCustomItem::Assign(Source);
    return;
  }
  if (item == this) return;
  SetAction(item->Action());
  SetCaption(item->Caption());
  SetEnabled(item->Enabled());
  SetHint(item->Hint());
  SetLargeImageIndex(item->LargeImageIndex());
  SetSmallImageIndex(item->SmallImageIndex());
  for (int i = 0; i < ItemStyleCount; ++i) SetItemStyle(i, item->ItemStyle(i));
  SetVisible(item->Visible());
  OnClick = item->OnClick;
}

void TuiNavBarItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    TuiNavBarItemActionLink* link = FActionLink;
    FActionLink = nullptr;
    if (link && link->Action() && !destroying(link->Action())) link->Action()->RemoveFreeNotification(this);
    delete link;
    return;
  }
  if (!FActionLink) {
    FActionLink = new TuiNavBarItemActionLink(this);
    FActionLink->OnChange = [this](TObject* Sender) { actionChanged(Sender); };
  }
  FActionLink->SetAction(Value);
  ActionChange(Value, Value->ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TuiNavBarItem::actionChanged(TObject* Sender) {
  // The values the action changed have reached the linked properties
  // already; only the item's defaults still follow it here, so a caption
  // the item was given keeps.
  if (Sender && Sender == Action()) ActionChange(Sender, true);
}

void TuiNavBarItem::ActionChange(TObject* Sender, bool ACheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action) return;
  if (!ACheckDefaults || Caption().empty()) SetCaption(action->Caption());
  if (!ACheckDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!ACheckDefaults || Hint().empty()) SetHint(action->Hint());
  if (!ACheckDefaults || LargeImageIndex() == -1) SetLargeImageIndex(action->ImageIndex());
  if (!ACheckDefaults || SmallImageIndex() == -1) SetSmallImageIndex(action->ImageIndex());
  if (!ACheckDefaults || Visible()) SetVisible(action->Visible());
}

bool TuiNavBarItem::Click() {
  if (OnClick) {
    OnClick(this);
    return true;
  }
  if (FActionLink && FActionLink->Action()) {
    FActionLink->Execute(this);
    return true;
  }
  return false;
}

void TuiNavBarItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  NotifyChanged(false);
}

void TuiNavBarItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  NotifyChanged(true);
}

void TuiNavBarItem::SetItemStyle(int Index, TuiNavBarStyleItem* Value) {
  TuiNavBarStyleItem*& slot = FStyles[Index];
  if (Value == slot) return;
  slot = Value;
  if (Value) Value->FreeNotification(this);
  NotifyChanged(false);
}

void TuiNavBarItem::Loaded() {
  TuiNavBarCustomItem::Loaded();
  if (TBasicAction* action = Action()) ActionChange(action, true);
}

void TuiNavBarItem::Notification(TComponent* AComponent, TOperation Operation) {
  TuiNavBarCustomItem::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  // A freed action has already left its links; the item lets go of it.
  if (FActionLink && (!FActionLink->Action() || static_cast<TComponent*>(FActionLink->Action()) == AComponent))
    SetAction(nullptr);
  for (int i = 0; i < ItemStyleCount; ++i)
    if (FStyles[i] && static_cast<TComponent*>(FStyles[i]) == AComponent) SetItemStyle(i, nullptr);
}

// ---------------------------------------------------------------------------
// Collections

TuiNavBarCustomItem* TuiNavBarCustomItems::ItemByCaption(const std::string& ACaption) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Caption() == ACaption) return Items(i);
  return nullptr;
}

TuiNavBarGroups::~TuiNavBarGroups() {
  // Freed here rather than by the base, so that the groups' links, going
  // with them, find this collection updating and stay silent.
  BeginChanges();
  FreeAllItems();
}

void TuiNavBarGroups::BeginChanges() {
  ++FUpdateCount;
  TuiNavBarCustomItems::BeginChanges();
}

void TuiNavBarGroups::EndChanges(bool Force) {
  if (FUpdateCount > 0) --FUpdateCount;
  TuiNavBarCustomItems::EndChanges(Force);
}

void TuiNavBarGroups::linksChanged(TuiNavBarItemLink* Link) {
  if (!Updating() && OnLinksChange) OnLinksChange(this, Link);
}

// ---------------------------------------------------------------------------
// TuiNavBarGroupControl

TuiNavBarGroupControl::TuiNavBarGroupControl(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  SetColor(clBtnFace);
  TControlStyle style = ControlStyle();
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
  SetDoubleBuffered(true);
  SetParentBackground(false);
  FOriginalHeight = Height();
}

TuiNavBarGroupControl::~TuiNavBarGroupControl() {
  // Destroying already means the form is freeing all it owns: the group
  // may be gone before the control and is not told.
  const bool formGoing = ComponentState().Contains(csDestroying);
  Destroying();
  if (FGroup && !formGoing) FGroup->controlDestroyed(this);
  FGroup = nullptr;
}

void TuiNavBarGroupControl::SetUseStyle(bool Value) {
  if (Value == FUseStyle) return;
  FUseStyle = Value;
  Invalidate();
}

void TuiNavBarGroupControl::SetParent(TWinControl* AParent) {
  const bool loading = ComponentState().Contains(csLoading);
  if (AParent && !(loading && NavBarOf(AParent))) {
    IuiNavBarOwner* navBar = FGroup ? FGroup->NavBar() : nullptr;
    if (!navBar || navBar->NavBarControl() != AParent) invalidGroupControl();
  }
  TCustomPanel::SetParent(AParent);
}

void TuiNavBarGroupControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FOriginalHeight = AHeight;
  if (Visible() || FPositioning > 0) TCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FPositioning == 0 && FGroup) FGroup->NotifyChanged(false);
}

void TuiNavBarGroupControl::AdjustControl(const TRect& ARect, bool AVisible) {
  const int originalHeight = FOriginalHeight;
  ++FPositioning;
  try {
    SetVisible(AVisible);
    SetBoundsRect(ARect);
  } catch (...) {
    --FPositioning;
    FOriginalHeight = originalHeight;
    throw;
  }
  --FPositioning;
  FOriginalHeight = originalHeight;
}

void TuiNavBarGroupControl::CMVisibleChanged(TMessage& Message) {
  TCustomPanel::CMVisibleChanged(Message);
  if (FPositioning == 0 && FGroup) FGroup->NotifyChanged(false);
}

void TuiNavBarGroupControl::ReadState(TReader* Reader) {
  TCustomPanel::ReadState(Reader);
  IuiNavBarOwner* navBar = NavBarOf(Reader->Parent());
  if (!navBar) invalidGroupControl();
  TuiNavBarGroups* groups = navBar->NavBarGroups();
  if (FGroupIndex < 0 || FGroupIndex >= groups->Count()) invalidGroupControl();
  TuiNavBarGroup* group = groups->Items(FGroupIndex);
  if (group->FControl && group->FControl != this) invalidGroupControl();
  FGroup = group;
  group->FControl = this;
  FreeNotification(group);
  if (!group->UseControl()) {
    group->SetUseControl(true);
    group->SetShowControl(true);
  }
}

void TuiNavBarGroupControl::Paint() {
  IuiNavBarOwner* navBar = FGroup ? FGroup->NavBar() : nullptr;
  if (FUseStyle && navBar)
    navBar->DrawGroupControlBackground(FGroup, Canvas());
  else
    TCustomPanel::Paint();
}

void TuiNavBarGroupControl::DefineProperties(TFiler* Filer) {
  TCustomPanel::DefineProperties(Filer);
  Filer->DefineProperty(
      "GroupIndex", [this](TReader* Reader) { FGroupIndex = Reader->ReadInteger(); },
      [this](TWriter* Writer) { Writer->WriteInteger(FGroup ? FGroup->Index() : -1); }, FGroup != nullptr);
  Filer->DefineProperty(
      "OriginalHeight", [this](TReader* Reader) { FOriginalHeight = Reader->ReadInteger(); },
      [this](TWriter* Writer) { Writer->WriteInteger(FOriginalHeight); }, true);
}
