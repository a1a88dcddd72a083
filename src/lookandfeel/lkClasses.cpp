#include "lookandfeel/lkClasses.h"

// The unit has nothing to start or end: the class library has one class
// group, which holds the library's components and the controls alike, and
// the resource strings are never replaced, so there are no replacement lists
// to free.
const qv::classlib::TUnitInfo lkClassesUnit{"lkClasses", {}, nullptr, nullptr};

// ---------------------------------------------------------------------------
// TlkComponent

TlkComponent::~TlkComponent() { Destroying(); }

TComponent* TlkComponent::FakeComponentLink(int Index) const {
  if (Index < 0 || Index >= FakeComponentLinkCount) return nullptr;
  return FFakeComponentLinks[Index];
}

void TlkComponent::Loaded() {
  TComponent::Loaded();
  UpdateFakeLinks();
}

void TlkComponent::UpdateFakeLinks() {
  const TComponentState state = ComponentState();
  if (!state.Contains(csDesigning) || state.Contains(csDestroying) || !Owner()) return;
  TList links;
  GetFakeComponentLinks(&links);
  for (int i = 0; i < FakeComponentLinkCount; ++i)
    SetFakeComponentLink(i, i < links.Count() ? static_cast<TComponent*>(links.Items(i)) : nullptr);
}

void TlkComponent::SetFakeComponentLink(int Index, TComponent* Value) {
  TComponent*& slot = FFakeComponentLinks[Index];
  if (slot == Value) return;
  slot = Value;
  // A linked component that goes must not leave a dangling slot.
  if (Value) Value->FreeNotification(this);
}

void TlkComponent::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TComponent*& slot : FFakeComponentLinks)
    if (slot == AComponent) slot = nullptr;
}

// ---------------------------------------------------------------------------
// TlkObjectList

TlkObjectList::~TlkObjectList() { Clear(); }

void TlkObjectList::Clear() {
  for (int i = 0; i < Count(); ++i) delete static_cast<TObject*>(Items(i));
  TList::Clear();
}

// ---------------------------------------------------------------------------
// TlkComponentCollectionItem

TlkComponentCollectionItem::~TlkComponentCollectionItem() {
  Destroying();
  leaveCollection();
}

void TlkComponentCollectionItem::leaveCollection() {
  if (FCollection) FCollection->removeItem(this);
}

void TlkComponentCollectionItem::MoveToCollection(TlkComponentCollection* Value) {
  if (Value == FCollection) return;
  leaveCollection();
  if (Value) Value->insertItem(this);
}

int TlkComponentCollectionItem::Index() const {
  return FCollection ? FCollection->FItems.IndexOf(const_cast<TlkComponentCollectionItem*>(this)) : -1;
}

void TlkComponentCollectionItem::SetIndex(int Value) {
  if (!FCollection) return;
  const int current = Index();
  if (Value == current) return;
  FCollection->FItems.Move(current, Value);
  NotifyChanged(true);
}

void TlkComponentCollectionItem::NotifyChanged(bool AllItems) {
  if (ComponentState().Contains(csDestroying) || !FCollection) return;
  FCollection->Changed(AllItems ? nullptr : this, caItemChanged);
}

TComponent* TlkComponentCollectionItem::GetParentComponent() const {
  return FCollection ? FCollection->ParentComponent() : nullptr;
}

void TlkComponentCollectionItem::SetParentComponent(TComponent* Value) {
  MoveToCollection(Value ? CollectionOfParent(Value) : nullptr);
}

// ---------------------------------------------------------------------------
// TlkComponentCollection

TlkComponentCollection::TlkComponentCollection(TComponent* AParentComponent, TClass AItemClass)
    : FParentComponent(AParentComponent), FItemClass(AItemClass) {}

TlkComponentCollection::~TlkComponentCollection() {
  FLockCount = 1;
  FreeAllItems();
}

TlkComponentCollectionItem* TlkComponentCollection::Add() {
  TObject* created = FItemClass ? FItemClass->Create(FParentComponent ? FParentComponent->Owner() : nullptr) : nullptr;
  auto* item = dynamic_cast<TlkComponentCollectionItem*>(created);
  if (!item) {
    delete created;
    throw EComponentError("Cannot create an item of class %s",
                          {std::string(FItemClass ? FItemClass->ClassName() : "(none)")});
  }
  try {
    item->SetParentComponent(FParentComponent);
    AssignItemName(item);
  } catch (...) {
    delete item;
    throw;
  }
  return item;
}

void TlkComponentCollection::FreeAllItems() {
  if (FItems.Count() == 0) return;
  BeginChanges();
  try {
    // Each item's destruction takes it out of the list.
    while (FItems.Count() > 0) delete static_cast<TlkComponentCollectionItem*>(FItems.Last());
  } catch (...) {
    EndChanges(true);
    throw;
  }
  EndChanges(true);
}

TlkComponentCollectionItem* TlkComponentCollection::Items(int Index) const {
  return static_cast<TlkComponentCollectionItem*>(FItems.Items(Index));
}

void TlkComponentCollection::BeginChanges() { ++FLockCount; }

void TlkComponentCollection::EndChanges(bool Force) {
  // An unbalanced end must not leave the collection silent for good.
  if (FLockCount > 0) --FLockCount;
  if (Force) Changed(nullptr, caItemChanged);
}

void TlkComponentCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TlkComponentCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  // Freeing our own items first would leave nothing to copy.
  if (source == this) return;
  BeginChanges();
  try {
    FreeAllItems();
    for (int i = 0; i < source->Count(); ++i) Add()->Assign(source->Items(i));
  } catch (...) {
    EndChanges(true);
    throw;
  }
  EndChanges(true);
}

void TlkComponentCollection::DispatchChange(TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action) {
  if (OnChange) OnChange(this, Item, Action);
}

void TlkComponentCollection::Changed(TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action) {
  if (FLockCount == 0) DispatchChange(Item, Action);
}

void TlkComponentCollection::insertItem(TlkComponentCollectionItem* Item) {
  // Items of a foreign class stay outside, silently.
  if (!FItemClass || !Item->InheritsFrom(FItemClass)) return;
  FItems.Add(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  NotifyItemEvent(Item, caItemAdded);
  Changed(Item, caItemAdded);
}

void TlkComponentCollection::removeItem(TlkComponentCollectionItem* Item) {
  NotifyItemEvent(Item, caItemRemoving);
  FItems.Remove(Item);
  Item->FCollection = nullptr;
  NotifyItemEvent(Item, caItemExtracted);
  Changed(Item, caItemExtracted);
}

// ---------------------------------------------------------------------------
// Free routines

int RangeMidpoint(int A, int B) {
  // In 64 bits, so that the sum of two large values cannot overflow.
  const long long sum = static_cast<long long>(A) + B;
  return static_cast<int>(sum > 0 ? sum / 2 : (sum - 1) / 2);
}

std::string lkLoadResString(PResStringRec ResString) { return LoadResString(ResString); }
