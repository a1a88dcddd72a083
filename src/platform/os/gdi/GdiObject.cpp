#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Font.h"

#include <unordered_map>

#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Pen.h"

namespace qv::os::gdi {

struct ObjectTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
  // Handles are never reused, so a stale handle finds nothing.
  std::uintptr_t next = 0x10000;
  HGDIOBJ stock[STOCK_LAST + 1] = {};
  HGDIOBJ (*makers[STOCK_LAST + 1])() = {};

  // Never destroyed: objects still alive at exit (a DC nobody deleted) let
  // go of their selections through this table while the process ends.
  static ObjectTable& get() {
    static ObjectTable* t = new ObjectTable;
    return *t;
  }
  static void setStock(GdiObject* o) { o->stock_ = true; }
  static void free(GdiObject* o);
  static bool pending(GdiObject* o) { return o->deletePending_; }
  static void setPending(GdiObject* o) { o->deletePending_ = true; }
  static int& selections(GdiObject* o) { return o->selections_; }
  static void setHandle(GdiObject* o, HGDIOBJ h) { o->handle_ = h; }
};

void removeObject(HGDIOBJ h);
void ObjectTable::free(GdiObject* o) { removeObject(o->handle_); }

HGDIOBJ addObject(std::unique_ptr<GdiObject> obj) {
  auto& t = ObjectTable::get();
  t.next += 4;
  HGDIOBJ h = reinterpret_cast<HGDIOBJ>(t.next);
  ObjectTable::setHandle(obj.get(), h);
  t.objects.emplace(t.next, std::move(obj));
  return h;
}

void removeObject(HGDIOBJ h) {
  // Out of the table first: a DC's destructor lets go of its objects, which
  // may free them from the same table.
  auto& objects = ObjectTable::get().objects;
  auto it = objects.find(reinterpret_cast<std::uintptr_t>(h));
  if (it == objects.end()) return;
  std::unique_ptr<GdiObject> doomed = std::move(it->second);
  objects.erase(it);
}

GdiObject* lookup(HGDIOBJ h) {
  auto& t = ObjectTable::get();
  auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(h));
  return it == t.objects.end() ? nullptr : it->second.get();
}

void markStock(HGDIOBJ h) {
  if (GdiObject* o = lookup(h)) ObjectTable::setStock(o);
}

void setStockObjectMaker(int index, HGDIOBJ (*make)()) {
  if (index >= 0 && index <= STOCK_LAST) ObjectTable::get().makers[index] = make;
}

void retainSelected(HGDIOBJ h) {
  if (GdiObject* o = lookup(h)) ++ObjectTable::selections(o);
}

void releaseSelected(HGDIOBJ h) {
  GdiObject* o = lookup(h);
  if (o == nullptr) return;
  if (--ObjectTable::selections(o) <= 0 && ObjectTable::pending(o)) ObjectTable::free(o);
}

bool isSelected(HGDIOBJ h) {
  GdiObject* o = lookup(h);
  return o != nullptr && ObjectTable::selections(o) > 0;
}

namespace {

HGDIOBJ makeStockBrush(UINT style, COLORREF c, bool dcBrush = false) {
  auto b = std::make_unique<Brush>();
  b->style = style;
  b->color = c;
  b->dcBrush = dcBrush;
  return addObject(std::move(b));
}

HGDIOBJ makeStockPen(int style, COLORREF c, bool dcPen = false) {
  auto p = std::make_unique<Pen>();
  p->style = static_cast<DWORD>(style);
  p->color = c;
  p->dcPen = dcPen;
  return addObject(std::move(p));
}

HGDIOBJ makeStock(int index) {
  switch (index) {
    case WHITE_BRUSH: return makeStockBrush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH: return makeStockBrush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH: return makeStockBrush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH: return makeStockBrush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH: return makeStockBrush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH: return makeStockBrush(BS_NULL, 0);
    case WHITE_PEN: return makeStockPen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN: return makeStockPen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN: return makeStockPen(PS_NULL, 0);
    case DC_BRUSH: return makeStockBrush(BS_SOLID, RGB(255, 255, 255), true);
    case DC_PEN: return makeStockPen(PS_SOLID, RGB(0, 0, 0), true);
    default: break;
  }
  auto make = ObjectTable::get().makers[index];
  return make != nullptr ? make() : nullptr;
}

}  // namespace
}  // namespace qv::os::gdi

using namespace qv::os::gdi;

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index > STOCK_LAST) return nullptr;
  static const bool fontsRegistered = (registerStockFontMakers(), true);
  (void)fontsRegistered;
  auto& t = ObjectTable::get();
  if (t.stock[index] == nullptr) {
    HGDIOBJ h = makeStock(index);
    if (h == nullptr) return nullptr;
    markStock(h);
    t.stock[index] = h;
  }
  return t.stock[index];
}

namespace {

template <class H>
HGDIOBJ swapSelected(H& slot, HGDIOBJ obj) {
  HGDIOBJ previous = slot;
  retainSelected(obj);
  slot = static_cast<H>(obj);
  releaseSelected(previous);
  return previous;
}

}  // namespace

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  Dc* dc = dcOf(hdc);
  GdiObject* o = lookup(obj);
  if (dc == nullptr || o == nullptr) return nullptr;
  switch (o->type()) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return swapSelected(dc->state.pen, obj);
    case OBJ_BRUSH: return swapSelected(dc->state.brush, obj);
    case OBJ_FONT: return swapSelected(dc->state.font, obj);
    case OBJ_REGION:
      return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(SelectClipRgn(hdc, static_cast<HRGN>(obj))));
    case OBJ_BITMAP: {
      if (!dc->memory) return nullptr;
      HBITMAP bmp = static_cast<HBITMAP>(obj);
      if (bmp == dc->bitmap) return obj;
      // A bitmap draws in one DC at a time; the stock bitmap in any number.
      if (!o->isStock() && isSelected(obj)) return nullptr;
      HGDIOBJ previous = swapSelected(dc->bitmap, obj);
      dc->surface = static_cast<Bitmap*>(o)->surface;
      dc->invalidate();
      return previous;
    }
    default: return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ obj) {
  GdiObject* o = lookup(obj);
  if (o == nullptr) return FALSE;
  if (o->type() == OBJ_DC || o->type() == OBJ_MEMDC) return FALSE;
  if (o->isStock()) return TRUE;
  if (isSelected(obj)) {
    // The platform refuses for a selected bitmap; pens, brushes and fonts go
    // once the last DC lets go of them.
    if (o->type() == OBJ_BITMAP) return FALSE;
    ObjectTable::setPending(o);
    return TRUE;
  }
  ObjectTable::free(o);
  return TRUE;
}

int GetObject(HGDIOBJ obj, int size, LPVOID out) {
  GdiObject* o = lookup(obj);
  if (o == nullptr || size < 0) return 0;
  return o->getObject(size, out);
}

DWORD GetObjectType(HGDIOBJ obj) {
  GdiObject* o = lookup(obj);
  return o == nullptr ? 0 : o->type();
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return nullptr;
  switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return dc->state.pen;
    case OBJ_BRUSH: return dc->state.brush;
    case OBJ_FONT: return dc->state.font;
    case OBJ_BITMAP: return dc->bitmap;
    default: return nullptr;
  }
}

BOOL GdiFlush() { return TRUE; }
