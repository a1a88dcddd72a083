// The GDI object model: every pen, brush, font, bitmap, region and device
// context lives in one handle table. A handle is looked up to its object,
// whose kind answers GetObjectType and whose virtual answers GetObject.
// Objects selected into a device context are only freed when the last DC
// lets go of them, so a DeleteObject issued too early never leaves a DC
// drawing with freed memory.
#pragma once

#include <memory>

#include "platform/os/Types.h"

// Object types (GetObjectType, GetCurrentObject).
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_METADC 4
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_METAFILE 9
#define OBJ_MEMDC 10
#define OBJ_EXTPEN 11
#define OBJ_ENHMETADC 12
#define OBJ_ENHMETAFILE 13

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17
#define DC_BRUSH 18
#define DC_PEN 19
#define STOCK_LAST 19

#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)))

HGDIOBJ GetStockObject(int index);
// Selects pens, brushes, fonts and bitmaps (memory DCs only) and returns the
// previous object of that kind; a region is copied as the clip and the
// region type is returned in the handle (NULLREGION, SIMPLEREGION, ...).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
// Copies the object's description (BITMAP, DIBSECTION, LOGPEN, EXTLOGPEN,
// LOGBRUSH, LOGFONT ...); with a null buffer answers the size needed.
int GetObject(HGDIOBJ obj, int size, LPVOID out);
#define GetObjectA GetObject
DWORD GetObjectType(HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
BOOL GdiFlush();

namespace qv::os::gdi {

class GdiObject {
 public:
  explicit GdiObject(DWORD type) : type_(type) {}
  virtual ~GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  // OBJ_PEN, OBJ_BRUSH, OBJ_FONT, ...
  DWORD type() const { return type_; }
  // GetObject for this kind: with out == nullptr the size needed, else the
  // bytes written (at most size), 0 on failure.
  virtual int getObject(int size, void* out) const {
    (void)size;
    (void)out;
    return 0;
  }

  HGDIOBJ handle() const { return handle_; }
  bool isStock() const { return stock_; }

 private:
  friend struct ObjectTable;
  DWORD type_;
  HGDIOBJ handle_ = nullptr;
  bool stock_ = false;
  bool deletePending_ = false;
  int selections_ = 0;
};

// Enters an object into the handle table and returns its new handle.
HGDIOBJ addObject(std::unique_ptr<GdiObject> obj);
template <class H>
H addObjectAs(std::unique_ptr<GdiObject> obj) {
  return static_cast<H>(addObject(std::move(obj)));
}
// Frees an object at once, whatever holds it (DeleteDC uses this).
void removeObject(HGDIOBJ h);
// The object behind a handle, or nullptr for a stale or foreign handle.
GdiObject* lookup(HGDIOBJ h);
// The object when it is of the given type (OBJ_DC also matches OBJ_MEMDC).
template <class T>
T* lookupAs(HGDIOBJ h, DWORD type) {
  GdiObject* o = lookup(h);
  if (o == nullptr) return nullptr;
  if (o->type() != type && !(type == OBJ_DC && o->type() == OBJ_MEMDC)) return nullptr;
  return static_cast<T*>(o);
}

// Stock objects ignore DeleteObject. System-colour brushes are made this way.
void markStock(HGDIOBJ h);
// Fonts are made by the text unit: it registers a maker for the stock font
// indices (SYSTEM_FONT, DEFAULT_GUI_FONT, ...), called once on first use.
void setStockObjectMaker(int index, HGDIOBJ (*make)());

// A DC holding the object keeps it alive past DeleteObject; SelectObject
// calls these for every kind.
void retainSelected(HGDIOBJ h);
void releaseSelected(HGDIOBJ h);
// Whether a DC currently holds the object selected.
bool isSelected(HGDIOBJ h);

}  // namespace qv::os::gdi
