// The registry of the navigation bar's views: each view is an integer id
// with a name and the painter class that draws it. View units register
// their views when they start and remove them when they end; the control
// asks for the painter class of its View and for the number of views.
#pragma once

#include <string>

#include "lookandfeel/lkClasses.h"
#include "platform/classlib/Classes.h"

class TuiNavBarPainter;
class TuiCustomNavBar;

// A painter class: its class-library identity and the way to make a
// painter of it for a navigation bar. Each painter class has one, as
// TuiNavBarPainter::PainterClass() and its descendants' answer it.
struct TuiNavBarPainterClassInfo {
  TClass Class;
  TuiNavBarPainter* (*Create)(TuiCustomNavBar* ANavBar);
};
using TuiNavBarPainterClass = const TuiNavBarPainterClassInfo*;

// One view.
class TuiNavBarPainterFactItem : public TObject {
  QV_CLASS(TuiNavBarPainterFactItem, TObject)
  TuiNavBarPainterFactItem(int AID, const std::string& AName, TuiNavBarPainterClass APainterClass)
      : ID(AID), Name(AName), PainterClass(APainterClass) {}

  int ID;
  std::string Name;
  TuiNavBarPainterClass PainterClass;
};

class TuiNavBarViewsFactory : public TObject {
  QV_CLASS(TuiNavBarViewsFactory, TObject)
  TuiNavBarViewsFactory();
  ~TuiNavBarViewsFactory() override;
  TuiNavBarViewsFactory(const TuiNavBarViewsFactory&) = delete;
  TuiNavBarViewsFactory& operator=(const TuiNavBarViewsFactory&) = delete;

  // Raises Exception "ID of view = %d is already exists." for an id that
  // is there; the painter class joins the class library's registry.
  void RegisterView(int AID, const std::string& AName, TuiNavBarPainterClass APainterClass);
  // An unknown id is ignored.
  void UnregisterView(int AID);
  // The position in registration order, -1 when absent.
  int IndexOfID(int AID) const;
  int GetCount() const { return FItems->Count(); }
  // Raises Exception "Cannot find view with ID = %d." for an unknown id.
  TuiNavBarPainterClass GetPainterClass(int AID) const;
  // The entry at a position of registration order.
  TuiNavBarPainterFactItem* Items(int AIndex) const;

 private:
  TlkObjectList* FItems;
};

// The process-wide registry: made on first use, none after the unit ended.
TuiNavBarViewsFactory* uiNavBarViewsFactory();
// Through the registry; nothing once the unit has ended.
void RegisterView(int AID, const std::string& AName, TuiNavBarPainterClass APainterClass);
void UnregisterView(int AID);

extern const qv::classlib::TUnitInfo uiNavBarViewsFactUnit;
