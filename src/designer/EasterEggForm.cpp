#include "designer/EasterEggForm.h"

#include "platform/classlib/ExtCtrls.h"

namespace {
struct UnitStart {
  UnitStart() { RegisterClass(TEasterEgg::StaticClass()); }
} unitStart;
}  // namespace

void TEasterEgg::Loaded() {
  inherited::Loaded();
  EasterEggImage = dynamic_cast<TImage*>(FindComponent("EasterEggImage"));
  if (EasterEggImage == nullptr) throw EComponentError("Component %s not found", {"EasterEggImage"});
}

void TEasterEgg::EasterEggImageClick(TObject*) { Close(); }
