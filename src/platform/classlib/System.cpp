#include "platform/classlib/System.h"

#include "platform/classlib/SysUtils.h"

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
