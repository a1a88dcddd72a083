#include "navbar/uiNavBarBase.h"

#include <algorithm>

namespace {
const qv::classlib::TUnitInfo* const kUses[] = {&lkClassesUnit};
}  // namespace

// Nothing process-wide: the unit only needs the collections' unit started.
const qv::classlib::TUnitInfo uiNavBarBaseUnit{"uiNavBarBase", kUses, nullptr, nullptr};

IuiNavBarOwner* NavBarOf(TComponent* AComponent) { return dynamic_cast<IuiNavBarOwner*>(AComponent); }

// ---------------------------------------------------------------------------
// TuiNavBarComponentCollectionItem

void TuiNavBarComponentCollectionItem::SetIndex(int Value) {
  if (!Collection()) return;
  TlkComponentCollectionItem::SetIndex(std::clamp(Value, 0, Collection()->Count() - 1));
}

TuiNavBarComponentCollection* TuiNavBarComponentCollectionItem::NavBarCollection() const {
  return dynamic_cast<TuiNavBarComponentCollection*>(Collection());
}

IuiNavBarOwner* TuiNavBarComponentCollectionItem::NavBar() const {
  return Collection() ? NavBarOf(Collection()->ParentComponent()) : nullptr;
}

// ---------------------------------------------------------------------------
// TuiNavBarComponentCollection

void TuiNavBarComponentCollection::NotifyItems() {
  for (int i = 0; i < Count(); ++i) ItemAt(i)->RefreshAction();
}

TuiNavBarComponentCollectionItem* TuiNavBarComponentCollection::AddItem() {
  return static_cast<TuiNavBarComponentCollectionItem*>(Add());
}

TuiNavBarComponentCollectionItem* TuiNavBarComponentCollection::FindItemByName(const std::string& AName) const {
  for (int i = 0; i < Count(); ++i)
    if (ItemAt(i)->Name() == AName) return ItemAt(i);
  return nullptr;
}

void TuiNavBarComponentCollection::AssignItemName(TlkComponentCollectionItem* Item) {
  std::string base = Item->ClassName();
  if (!base.empty() && (base[0] == 'T' || base[0] == 't')) base.erase(0, 1);
  TComponent* owner = Item->Owner();
  for (int n = 1;; ++n) {
    const std::string name = base + std::to_string(n);
    if (!owner || !owner->FindComponent(name)) {
      Item->SetName(name);
      return;
    }
  }
}
