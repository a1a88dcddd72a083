#include "platform/classlib/Collections.h"

#include <algorithm>

#include "platform/classlib/TypInfo.h"

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->removeItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection) FCollection->removeItem(this);
  if (Value) Value->insertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || cur == Value) return;
  auto& items = FCollection->FItems;
  if (Value < 0 || Value >= static_cast<int>(items.size())) TList::Error("List index out of bounds (%d)", Value);
  items.erase(items.begin() + cur);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

std::string TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

// ---------------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
  // Nobody listens any more: items leave without updates.
  FUpdateCount = 1;
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
  TObject* created = FItemClass ? FItemClass->Create(nullptr) : nullptr;
  auto* item = dynamic_cast<TCollectionItem*>(created);
  if (!item) {
    delete created;
    throw EInvalidOperation("Cannot create an item of %s", {FItemClass ? FItemClass->ClassName() : "nil"});
  }
  item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  TCollectionItem* item = Add();
  item->SetIndex(std::clamp(Index, 0, Count() - 1));
  return item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  try {
    while (!FItems.empty()) delete FItems.back();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) TList::Error("List index out of bounds (%d)", Index);
  return FItems[static_cast<std::size_t>(Index)];
}

void TCollection::SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TCollection*>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* item : other->FItems) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TCollection::GetNamePath() const {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  std::string s = owner->GetNamePath();
  if (s.empty()) return ClassName();
  for (PPropInfo p : GetPropList(owner))
    if (p->PropType->Kind == tkClass && p->GetObj && p->GetObj(owner) == this) return s + "." + p->Name;
  return s;
}

void TCollection::insertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  SetItemName(Item);
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::removeItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it != FItems.end()) FItems.erase(it);
  Item->FCollection = nullptr;
  Changed();
}
