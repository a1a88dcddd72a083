// The class library's Contnrs unit: TObjectList, a TList of objects that
// frees them as they leave when it owns them.
#pragma once

#include "platform/classlib/Classes.h"

class TObjectList : public TList {
  QV_CLASS(TObjectList, TList)
  TObjectList() = default;
  explicit TObjectList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  int Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
  int Remove(TObject* AObject) { return TList::Remove(AObject); }
  // Takes the object out without freeing it.
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  // From AStartAt on: the first object of class AClass (or a descendant when
  // AExact is false); -1 when none.
  int FindInstanceOf(TClass AClass, bool AExact = true, int AStartAt = 0) const;
  TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  // Replacing an owned object frees the old one.
  void SetItems(int Index, TObject* AObject);
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  bool FOwnsObjects = true;
};
