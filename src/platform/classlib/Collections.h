// The class library's collections: TCollection of TCollectionItem, the
// indexed lists of persistent items that forms stream as `< item ... end >`.
#pragma once

#include <string>
#include <vector>

#include "platform/classlib/Classes.h"

class TCollection;
using TCollectionItemClass = TClass;
enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  QV_CLASS(TCollectionItem, TPersistent)
  // Items are created by their class reference (TCollection::Add), which
  // needs a constructor without arguments; the other one joins Collection.
  TCollectionItem() = default;
  explicit TCollectionItem(TCollection* Collection);
  // Leaves the collection.
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Leaves the current collection and joins the new one (at its end).
  virtual void SetCollection(TCollection* Value);
  // Stamped when the item joins; never reused within a collection.
  int ID() const { return FID; }
  // Position in the collection, -1 outside one.
  int Index() const;
  // Moves the item; the others shift. An unchanged index does nothing.
  virtual void SetIndex(int Value);
  std::string DisplayName() const { return GetDisplayName(); }
  void SetDisplayName(const std::string& Value) { SetDisplayNameImpl(Value); }
  // "Owner.Prop[Index]".
  std::string GetNamePath() const override;

 protected:
  // The collection's Update for this item, or for all items; nothing while
  // the collection is updating.
  void Changed(bool AllItems);
  // The class name unless a descendant knows better.
  virtual std::string GetDisplayName() const { return ClassName(); }
  virtual void SetDisplayNameImpl(const std::string& Value) {
    (void)Value;
    Changed(false);
  }
  TPersistent* GetOwner() const override;

 private:
  TCollection* FCollection = nullptr;
  int FID = 0;
  friend class TCollection;
};

class TCollection : public TPersistent {
  QV_CLASS(TCollection, TPersistent)
  explicit TCollection(TCollectionItemClass ItemClass);
  // Frees the items.
  ~TCollection() override;

  // A new item of ItemClass at the end.
  TCollectionItem* Add();
  // A new item at Index.
  TCollectionItem* Insert(int Index);
  // Frees the item at Index.
  void Delete(int Index);
  // Frees all items, last first, with one Update at the end.
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // EListError "List index out of bounds (%d)" for a bad index.
  TCollectionItem* Items(int Index) const;
  // Assigns Value to the item at Index.
  void SetItems(int Index, TCollectionItem* Value);
  TCollectionItemClass ItemClass() const { return FItemClass; }
  TPersistent* Owner() const { return GetOwner(); }
  // Null when no item has that ID.
  TCollectionItem* FindItemID(int ID) const;

  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // From another collection: the items are cleared, then one new item per
  // source item is added and assigned from it.
  void Assign(TPersistent* Source) override;
  // "Owner.PropName" where PropName is the owner's published property that
  // holds this collection; the class name without an owner.
  std::string GetNamePath() const override;

 protected:
  // Called after a change: Item is the changed item, or null when all changed.
  virtual void Update(TCollectionItem* Item) { (void)Item; }
  // Update(nullptr) unless updating.
  void Changed();
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {
    (void)Item;
    (void)Action;
  }
  virtual void SetItemName(TCollectionItem* Item) { (void)Item; }

 private:
  void insertItem(TCollectionItem* Item);
  void removeItem(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
  friend class TCollectionItem;
};

// A collection that knows its owner, as components' collection properties are.
class TOwnedCollection : public TCollection {
  QV_CLASS(TOwnedCollection, TCollection)
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
      : TCollection(ItemClass), FOwner(AOwner) {}

 protected:
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};
