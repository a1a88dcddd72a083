#include "platform/classlib/System.h"

#include "platform/classlib/SysUtils.h"

#include <exception>
#include <map>
#include <vector>

#include "platform/desktop/Recorder.h"

bool ModuleIsLib = false;
bool ModuleIsPackage = false;

bool TClassInfo::InheritsFrom(const TClassInfo* AClass) const {
  for (const TClassInfo* c = this; c; c = c->parent)
    if (c == AClass) return true;
  return false;
}

TClass TObject::StaticClass() {
  static const TClassInfo info{"TObject", nullptr, &qv::classlib::createInstance<TObject>};
  return &info;
}

bool TObject::ClassNameIs(const std::string& AName) const { return SameText(ClassName(), AName); }

namespace qv::classlib {

void raiseInvalidCast() { throw EInvalidCast("Invalid class typecast"); }

}  // namespace qv::classlib

namespace qv::classlib {

namespace {

enum class UnitState { Starting, Started, Finished };

struct UnitTable {
  std::map<const TUnitInfo*, UnitState> states;
  // Started units, in start order.
  std::vector<const TUnitInfo*> started;
};

// A fresh desktop is a fresh process: the units still started end, and
// every unit may start again. A failing shut-down must not keep the rest of
// the desktop from its reset; whoever checks shut-downs calls FinalizeUnits.
void resetUnits();

UnitTable& unitTable() {
  static UnitTable table;
  static const bool resets = (qv::desktop::onResetFirst(&resetUnits), true);
  (void)resets;
  return table;
}

void resetUnits() {
  try {
    FinalizeUnits();
  } catch (...) {
  }
  unitTable().states.clear();
}

}  // namespace

void InitializeUnit(const TUnitInfo& Unit) {
  UnitTable& table = unitTable();
  if (table.states.count(&Unit)) return;
  table.states[&Unit] = UnitState::Starting;
  try {
    for (const TUnitInfo* used : Unit.Uses)
      if (used) InitializeUnit(*used);
    if (Unit.Initialization) Unit.Initialization();
  } catch (...) {
    table.states.erase(&Unit);
    throw;
  }
  table.states[&Unit] = UnitState::Started;
  table.started.push_back(&Unit);
}

void FinalizeUnits() {
  UnitTable& table = unitTable();
  std::exception_ptr first;
  while (!table.started.empty()) {
    const TUnitInfo* unit = table.started.back();
    table.started.pop_back();
    table.states[unit] = UnitState::Finished;
    try {
      if (unit->Finalization) unit->Finalization();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

bool UnitInitialized(const TUnitInfo& Unit) {
  auto& states = unitTable().states;
  auto it = states.find(&Unit);
  return it != states.end() && it->second == UnitState::Started;
}

}  // namespace qv::classlib
