#include "lookandfeel/lkGeometry.h"

#include "lookandfeel/lkClasses.h"

TlkRect::TlkRect(TPersistent* AOwner) : FOwner(AOwner) {}

int TlkRect::GetValue(int Index) const {
  switch (Index) {
    case 0:
      return FRect.left;
    case 1:
      return FRect.top;
    case 2:
      return FRect.right;
    default:
      return FRect.bottom;
  }
}

void TlkRect::SetValue(int Index, int Value) {
  TRect r = FRect;
  switch (Index) {
    case 0:
      r.left = Value;
      break;
    case 1:
      r.top = Value;
      break;
    case 2:
      r.right = Value;
      break;
    default:
      r.bottom = Value;
      break;
  }
  SetRect(r);
}

void TlkRect::SetRect(const TRect& Value) {
  if (IsEqual(Value)) return;
  FRect = Value;
  if (OnChange) OnChange(this);
}

void TlkRect::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TlkRect*>(Source)) SetRect(source->Rect());
}

bool TlkRect::IsEqual(const TRect& R) const { return RectsEqual(FRect, R); }

int lkGetRectWidth(const TRect& R) { return R.right - R.left; }

int lkGetRectHeight(const TRect& R) { return R.bottom - R.top; }

TRect lkGrowRect(const TRect& R, int GrowLeft, int GrowTop, int GrowRight, int GrowBottom) {
  return TRect{R.left - GrowLeft, R.top - GrowTop, R.right + GrowRight, R.bottom + GrowBottom};
}

TRect lkRectSetLeftWidth(const TRect& R, int Left, int Width) { return TRect{Left, R.top, Left + Width, R.bottom}; }

bool RectsEqual(const TRect& A, const TRect& B) {
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

namespace lkGeometry {

namespace {
int StartCount = 0;
}

void Initialize() {
  if (StartCount++ > 0) return;
  RegisterClass(TlkRect::StaticClass());
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  UnRegisterClass(TlkRect::StaticClass());
}

}  // namespace lkGeometry

namespace {
const qv::classlib::TUnitInfo* const kGeometryUses[] = {&lkClassesUnit};
}  // namespace

const qv::classlib::TUnitInfo lkGeometryUnit{"lkGeometry", kGeometryUses, &lkGeometry::Initialize,
                                             &lkGeometry::Finalize};
