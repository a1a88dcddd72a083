// The library's base classes: a persistent object that knows its owner, a
// component with design-time link slots, a list that owns its objects, and
// the owned, indexed collection of component items that the navigation bar
// keeps its groups, items and styles in. Also two small value routines and
// the loader of the library's resource strings.
#pragma once

#include <functional>
#include <string>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/Types.h"

// The unit's start-up and shut-down (see qv::classlib::InitializeUnit).
extern const qv::classlib::TUnitInfo lkClassesUnit;

// ---------------------------------------------------------------------------
// A persistent object with interface support that lives until its owner frees
// it: references taken through its interfaces never free it.
class TlkInterfacedPersistent : public TInterfacedPersistent {
  QV_CLASS(TlkInterfacedPersistent, TInterfacedPersistent)
  explicit TlkInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}

  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};

// ---------------------------------------------------------------------------
// A component that tells a form designer which components it depends on: in
// design state, Loaded copies GetFakeComponentLinks into three link slots, so
// the designer keeps those components with it. At run time the slots stay
// empty.
class TlkComponent : public TComponent {
  QV_CLASS(TlkComponent, TComponent)
  static constexpr int FakeComponentLinkCount = 3;

  explicit TlkComponent(TComponent* AOwner) : TComponent(AOwner) {}
  // Enters the destroying state unless already in it. C++ runs the bodies of
  // descendants' destructors before this one, so a descendant whose clean-up
  // must see csDestroying calls Destroying() first itself.
  ~TlkComponent() override;

  // Null when the slot is empty or the index is outside 0..2.
  TComponent* FakeComponentLink(int Index) const;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The components this one depends on; none in the base class.
  virtual void GetFakeComponentLinks(TList* List) { (void)List; }

 private:
  void UpdateFakeLinks();
  void SetFakeComponentLink(int Index, TComponent* Value);

  TComponent* FFakeComponentLinks[FakeComponentLinkCount] = {};
};

// ---------------------------------------------------------------------------
// A list that owns its objects: Clear (and so destruction) frees them, first
// to last.
class TlkObjectList : public TList {
  QV_CLASS(TlkObjectList, TList)
  TlkObjectList() = default;
  ~TlkObjectList() override;

  void Clear() override;
};

// ---------------------------------------------------------------------------
// Component collections.
class TlkComponentCollection;

enum TlkCollectionChangeAction {
  caItemAdded,
  caItemChanged,
  // Only to NotifyItemEvent, before the item leaves the list.
  caItemRemoving,
  // After it left.
  caItemExtracted
};

// An item of a TlkComponentCollection. It is a component, owned by the form
// that owns the collection's control, named and streamed as a child of that
// control; its collection only orders it and reports its changes.
class TlkComponentCollectionItem : public TComponent {
  QV_CLASS(TlkComponentCollectionItem, TComponent)
  explicit TlkComponentCollectionItem(TComponent* AOwner) : TComponent(AOwner) {}
  // Leaves the collection, then the component goes.
  ~TlkComponentCollectionItem() override;

  // The collection of the given parent control in which items of this kind
  // live.
  virtual TlkComponentCollection* CollectionOfParent(TComponent* AParent) = 0;
  // The component Name.
  virtual std::string NameForDisplay() const { return Name(); }
  // Leaves the current collection and joins Value (none: stays outside).
  virtual void MoveToCollection(TlkComponentCollection* Value);

  TlkComponentCollection* Collection() const { return FCollection; }
  void SetCollection(TlkComponentCollection* Value) { MoveToCollection(Value); }
  // Stamped when the item joins a collection; never reused within it.
  int ID() const { return FID; }
  // Position in the collection, -1 without one.
  int Index() const;
  // Moves the item within its collection (the others shift) and reports a
  // change of all items. Nothing outside a collection or at the same place;
  // EListError for a position outside the list.
  virtual void SetIndex(int Value);

  // Reports caItemChanged for this item, or for all items (Item none), unless
  // the item is being destroyed or has no collection.
  void NotifyChanged(bool AllItems);

  // Streaming: the parent is the collection's parent control; setting it
  // joins CollectionOfParent of that control.
  bool HasParent() const override { return GetParentComponent() != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

 private:
  void leaveCollection();

  TlkComponentCollection* FCollection = nullptr;
  int FID = 0;
  friend class TlkComponentCollection;
};

using TlkComponentCollectionChangeEvent =
    std::function<void(TObject* Sender, TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action)>;

class TlkComponentCollection : public TPersistent {
  QV_CLASS(TlkComponentCollection, TPersistent)
  // AItemClass: TlkComponentCollectionItem or a descendant; only items of
  // that class (or descending from it) join.
  TlkComponentCollection(TComponent* AParentComponent, TClass AItemClass);
  // Frees the items without reporting anything. The base class's hooks are
  // the ones called then; a derived collection that wants its own to hear the
  // items go frees them in its own destructor.
  ~TlkComponentCollection() override;
  TlkComponentCollection(const TlkComponentCollection&) = delete;
  TlkComponentCollection& operator=(const TlkComponentCollection&) = delete;

  // A new item, owned by the parent component's owner (the form), in this
  // collection at the end, named by AssignItemName.
  TlkComponentCollectionItem* Add();
  // Frees every item, last first, with one change report at the end.
  void FreeAllItems();
  // EListError "List index out of bounds (%d)" for a bad index.
  TlkComponentCollectionItem* Items(int Index) const;
  int Count() const { return FItems.Count(); }

  // Nested brackets: changes inside are not reported (nor kept); the
  // outermost EndChanges(true) reports one change of all items.
  virtual void BeginChanges();
  virtual void EndChanges(bool Force);

  // From another collection: its items are freed and one new item per source
  // item is added and assigned from it, with one change report at the end.
  // Any other source raises EConvertError.
  void Assign(TPersistent* Source) override;
  // The parent component.
  TPersistent* GetOwner() const override { return FParentComponent; }

  TComponent* ParentComponent() const { return FParentComponent; }
  TClass ItemClass() const { return FItemClass; }

  TlkComponentCollectionChangeEvent OnChange;

 protected:
  // Hook for derived collections: an item joined (caItemAdded), is about to
  // leave (caItemRemoving) or has left (caItemExtracted).
  virtual void NotifyItemEvent(TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action) {
    (void)Item;
    (void)Action;
  }
  // Names a new item; derived collections do.
  virtual void AssignItemName(TlkComponentCollectionItem* Item) { (void)Item; }
  // Fires OnChange.
  virtual void DispatchChange(TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action);
  // Dispatches the change unless changes are suppressed.
  void Changed(TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action);

 private:
  void insertItem(TlkComponentCollectionItem* Item);
  void removeItem(TlkComponentCollectionItem* Item);

  TComponent* FParentComponent;
  TClass FItemClass;
  TList FItems;
  int FLockCount = 0;
  int FNextID = 0;
  friend class TlkComponentCollectionItem;
};

// ---------------------------------------------------------------------------
// Free routines.
inline SIZE MakeSize(int Width, int Height) { return SIZE{Width, Height}; }
// The floor of (A + B) / 2: RangeMidpoint(-1, 0) is -1.
int RangeMidpoint(int A, int B);
// The text of a resource string, as the class library loads it.
std::string lkLoadResString(PResStringRec ResString);
