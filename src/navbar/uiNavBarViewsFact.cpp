#include "navbar/uiNavBarViewsFact.h"

#include "navbar/uiNavBarConsts.h"
#include "platform/classlib/SysUtils.h"

namespace {

TuiNavBarViewsFactory* Factory = nullptr;
bool Finalized = false;

}  // namespace

TuiNavBarViewsFactory::TuiNavBarViewsFactory() : FItems(new TlkObjectList) {}

TuiNavBarViewsFactory::~TuiNavBarViewsFactory() { delete FItems; }

void TuiNavBarViewsFactory::RegisterView(int AID, const std::string& AName, TuiNavBarPainterClass APainterClass) {
  if (IndexOfID(AID) >= 0) throw Exception(lkLoadResString(&suiViewAlreadyExists), {AID});
  if (APainterClass) RegisterClass(APainterClass->Class);
  FItems->Add(new TuiNavBarPainterFactItem(AID, AName, APainterClass));
}

void TuiNavBarViewsFactory::UnregisterView(int AID) {
  const int index = IndexOfID(AID);
  if (index < 0) return;
  delete Items(index);
  FItems->Delete(index);
}

int TuiNavBarViewsFactory::IndexOfID(int AID) const {
  for (int i = 0; i < FItems->Count(); ++i)
    if (Items(i)->ID == AID) return i;
  return -1;
}

TuiNavBarPainterClass TuiNavBarViewsFactory::GetPainterClass(int AID) const {
  const int index = IndexOfID(AID);
  if (index < 0) throw Exception(lkLoadResString(&suiCannotFindView), {AID});
  return Items(index)->PainterClass;
}

TuiNavBarPainterFactItem* TuiNavBarViewsFactory::Items(int AIndex) const {
  return static_cast<TuiNavBarPainterFactItem*>(FItems->Items(AIndex));
}

TuiNavBarViewsFactory* uiNavBarViewsFactory() {
  if (!Factory && !Finalized) Factory = new TuiNavBarViewsFactory;
  return Factory;
}

void RegisterView(int AID, const std::string& AName, TuiNavBarPainterClass APainterClass) {
  if (TuiNavBarViewsFactory* factory = uiNavBarViewsFactory()) factory->RegisterView(AID, AName, APainterClass);
}

void UnregisterView(int AID) {
  if (TuiNavBarViewsFactory* factory = uiNavBarViewsFactory()) factory->UnregisterView(AID);
}

namespace {

// A unit started again after its end (tests do) has a registry again.
void startUp() { Finalized = false; }

void shutDown() {
  Finalized = true;
  delete Factory;
  Factory = nullptr;
}

const qv::classlib::TUnitInfo* const kUses[] = {&lkClassesUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarViewsFactUnit{"uiNavBarViewsFact", kUses, &startUp, &shutDown};
