#include "platform/os/gdi/PredefinedBitmaps.h"

#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Bmp.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/FrameControl.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/kernel/Resource.h"

namespace qv::os::gdi {

namespace {

// A w x h bitmap painted by `paint` on a memory DC.
template <class Paint>
HBITMAP painted(int w, int h, Paint paint) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(w, h, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  paint(dc, RECT{0, 0, w, h});
  SelectObject(dc, old);
  DeleteDC(dc);
  return bmp;
}

HBITMAP frameControl(int w, int h, UINT type, UINT state, bool faceFirst = false) {
  return painted(w, h, [&](HDC dc, RECT r) {
    if (faceFirst) fillSolid(dc, r, sysColor(kColorBtnFace));
    DrawFrameControl(dc, &r, type, state);
  });
}

// The 4 x 3 grid of 13 x 13 glyphs: rows of check boxes, radio buttons and
// three-state boxes; columns normal, checked, pushed, pushed and checked.
HBITMAP checkBoxes() {
  constexpr int kCell = 13;
  return painted(4 * kCell, 3 * kCell, [](HDC dc, RECT all) {
    fillSolid(dc, all, sysColor(kColorBtnFace));
    const UINT rows[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
    const UINT columns[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 4; ++col) {
        const RECT cell{col * kCell, row * kCell, (col + 1) * kCell, (row + 1) * kCell};
        const UINT state = rows[row] | columns[col];
        if (rows[row] == DFCS_BUTTONRADIO) drawRadioGlyph(dc, cell, state);
        else drawCheckGlyph(dc, cell, state);
      }
  });
}

HBITMAP predefined(int id) {
  constexpr UINT kD = DFCS_PUSHED, kI = DFCS_INACTIVE;
  switch (id) {
    case OBM_CHECKBOXES: return checkBoxes();
    case OBM_UPARROW: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLUP);
    case OBM_DNARROW: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLDOWN);
    case OBM_LFARROW: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLLEFT);
    case OBM_RGARROW: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLRIGHT);
    case OBM_UPARROWD: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLUP | kD);
    case OBM_DNARROWD: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLDOWN | kD);
    case OBM_LFARROWD: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLLEFT | kD);
    case OBM_RGARROWD: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLRIGHT | kD);
    case OBM_UPARROWI: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLUP | kI);
    case OBM_DNARROWI: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLDOWN | kI);
    case OBM_LFARROWI: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLLEFT | kI);
    case OBM_RGARROWI: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLRIGHT | kI);
    case OBM_COMBO: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    case OBM_MNARROW: return frameControl(16, 16, DFC_MENU, DFCS_MENUARROW);
    case OBM_CHECK: return frameControl(13, 13, DFC_MENU, DFCS_MENUCHECK);
    case OBM_SIZE:
    case OBM_BTSIZE: return frameControl(16, 16, DFC_SCROLL, DFCS_SCROLLSIZEGRIP, true);
    case OBM_CLOSE: return frameControl(16, 14, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    case OBM_REDUCE: return frameControl(16, 14, DFC_CAPTION, DFCS_CAPTIONMIN);
    case OBM_ZOOM: return frameControl(16, 14, DFC_CAPTION, DFCS_CAPTIONMAX);
    case OBM_RESTORE: return frameControl(16, 14, DFC_CAPTION, DFCS_CAPTIONRESTORE);
    case OBM_REDUCED: return frameControl(16, 14, DFC_CAPTION, DFCS_CAPTIONMIN | kD);
    case OBM_ZOOMD: return frameControl(16, 14, DFC_CAPTION, DFCS_CAPTIONMAX | kD);
    case OBM_RESTORED: return frameControl(16, 14, DFC_CAPTION, DFCS_CAPTIONRESTORE | kD);
    case OBM_BTNCORNERS:
      // The rounded corners of a button: a 5 x 5 disc, black on white.
      return painted(5, 5, [](HDC dc, RECT r) {
        fillSolid(dc, r, RGB(255, 255, 255));
        fillSolid(dc, 1, 0, 4, 5, RGB(0, 0, 0));
        fillSolid(dc, 0, 1, 5, 4, RGB(0, 0, 0));
      });
    default: return nullptr;
  }
}

}  // namespace

HBITMAP loadBitmapResource(HINSTANCE instance, LPCSTR name, UINT flags) {
  if (instance == nullptr) {
    HBITMAP bmp = IS_INTRESOURCE(name) ? predefined(static_cast<int>(reinterpret_cast<ULONG_PTR>(name))) : nullptr;
    if (bmp == nullptr) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return bmp;
  }
  HRSRC res = FindResource(instance, name, RT_BITMAP);
  if (res == nullptr) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const auto* bits = static_cast<const std::uint8_t*>(LockResource(LoadResource(instance, res)));
  Image image;
  if (bits == nullptr || !decodeDib(bits, SizeofResource(instance, res), image)) {
    SetLastError(ERROR_BAD_FORMAT);
    return nullptr;
  }
  HBITMAP bmp = (flags & LR_CREATEDIBSECTION) ? createSectionFromImage(image) : createBitmapFromImage(image);
  if (bmp == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return bmp;
}

}  // namespace qv::os::gdi

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) {
  return qv::os::gdi::loadBitmapResource(instance, name, 0);
}
