#include "platform/classlib/Contnrs.h"

TObjectList::~TObjectList() {
  // TList's destructor cannot reach this class's Notify any more, so the
  // owned objects are freed here.
  Clear();
}

int TObjectList::FindInstanceOf(TClass AClass, bool AExact, int AStartAt) const {
  for (int i = AStartAt < 0 ? 0 : AStartAt; i < Count(); ++i) {
    TObject* o = Items(i);
    if (!o) continue;
    if (AExact ? o->ClassType() == AClass : o->InheritsFrom(AClass)) return i;
  }
  return -1;
}

void TObjectList::SetItems(int Index, TObject* AObject) { TList::SetItems(Index, AObject); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
  TList::Notify(Ptr, Action);
}
