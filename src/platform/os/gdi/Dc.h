// Device contexts. A DC draws into a surface: a memory DC into the bitmap
// selected in it, a window or screen DC into a surface that its owner hands
// over together with the DC's origin on that surface and the visible region.
// Everything a DC remembers that SaveDC keeps is in DcState.
#pragma once

#include <pixman.h>

#include <memory>
#include <vector>

#include "platform/os/Types.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Region.h"

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2
// Mapping modes: only MM_TEXT is supported.
#define MM_TEXT 1
// Stretch modes.
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4
#define STRETCH_ANDSCANS BLACKONWHITE
#define STRETCH_ORSCANS WHITEONBLACK
#define STRETCH_DELETESCANS COLORONCOLOR
#define STRETCH_HALFTONE HALFTONE
// Binary raster operations of pens.
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

// GetDeviceCaps indices.
#define DRIVERVERSION 0
#define TECHNOLOGY 2
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMBRUSHES 16
#define NUMPENS 18
#define NUMMARKERS 20
#define NUMFONTS 22
#define NUMCOLORS 24
#define PDEVICESIZE 26
#define CURVECAPS 28
#define LINECAPS 30
#define POLYGONALCAPS 32
#define TEXTCAPS 34
#define CLIPCAPS 36
#define RASTERCAPS 38
#define ASPECTX 40
#define ASPECTY 42
#define ASPECTXY 44
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define NUMRESERVED 106
#define COLORRES 108
#define PHYSICALWIDTH 110
#define PHYSICALHEIGHT 111
#define PHYSICALOFFSETX 112
#define PHYSICALOFFSETY 113
#define VREFRESH 116
#define DESKTOPVERTRES 117
#define DESKTOPHORZRES 118
#define BLTALIGNMENT 119
#define SHADEBLENDCAPS 120
#define DT_PLOTTER 0
#define DT_RASDISPLAY 1
#define DT_RASPRINTER 2
#define RC_BITBLT 1
#define RC_BANDING 2
#define RC_SCALING 4
#define RC_BITMAP64 8
#define RC_GDI20_OUTPUT 0x0010
#define RC_DI_BITMAP 0x0080
#define RC_PALETTE 0x0100
#define RC_DIBTODEV 0x0200
#define RC_BIGFONT 0x0400
#define RC_STRETCHBLT 0x0800
#define RC_FLOODFILL 0x1000
#define RC_STRETCHDIB 0x2000

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);

BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old);
BOOL GetWindowOrgEx(HDC dc, LPPOINT org);
BOOL OffsetWindowOrgEx(HDC dc, int x, int y, LPPOINT old);
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old);
BOOL GetViewportOrgEx(HDC dc, LPPOINT org);
BOOL OffsetViewportOrgEx(HDC dc, int x, int y, LPPOINT old);
BOOL LPtoDP(HDC dc, LPPOINT pts, int count);
BOOL DPtoLP(HDC dc, LPPOINT pts, int count);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old);
BOOL GetBrushOrgEx(HDC dc, LPPOINT org);
BOOL GetDCOrgEx(HDC dc, LPPOINT org);

int GetDeviceCaps(HDC dc, int index);

int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF c);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF c);
COLORREF GetTextColor(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
COLORREF GetNearestColor(HDC dc, COLORREF c);
COLORREF SetDCBrushColor(HDC dc, COLORREF c);
COLORREF GetDCBrushColor(HDC dc);
COLORREF SetDCPenColor(HDC dc, COLORREF c);
COLORREF GetDCPenColor(HDC dc);
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT old);
BOOL GetCurrentPositionEx(HDC dc, LPPOINT pos);

#define GDI_ERROR 0xFFFFFFFFu
#define CLR_NONE 0xFFFFFFFFu

namespace qv::os::gdi {

struct DcState {
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  UINT textAlign = 0;  // TA_LEFT | TA_TOP | TA_NOUPDATECP
  POINT pos{0, 0};     // current position, logical
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  POINT brushOrg{0, 0};  // device coordinates
  int rop2 = R2_COPYPEN;
  int polyFillMode = ALTERNATE;
  int stretchMode = BLACKONWHITE;
  int mapMode = MM_TEXT;
  COLORREF dcBrushColor = RGB(255, 255, 255);
  COLORREF dcPenColor = RGB(0, 0, 0);
  // The clip in device coordinates of the DC; null when there is none.
  std::shared_ptr<RegionData> clip;
};

class Dc : public GdiObject {
 public:
  explicit Dc(bool memory);
  ~Dc() override;

  DcState state;
  // SaveDC's stack; the selected bitmap is part of what it keeps.
  struct Saved {
    DcState state;
    HBITMAP bitmap;
  };
  std::vector<Saved> saved;
  HBITMAP bitmap = nullptr;  // memory DCs: the selected bitmap
  // The surface drawn into and the DC's origin on it (device (0,0)).
  std::shared_ptr<Surface> surface;
  POINT origin{0, 0};
  // What the owner lets the DC draw on, in device coordinates; null: all.
  std::shared_ptr<RegionData> visible;
  bool memory;

  // Logical -> device.
  int toDeviceX(int x) const {
    return clampCoord(static_cast<long long>(x) - state.windowOrg.x + state.viewportOrg.x);
  }
  int toDeviceY(int y) const {
    return clampCoord(static_cast<long long>(y) - state.windowOrg.y + state.viewportOrg.y);
  }
  POINT toDevice(POINT p) const { return {toDeviceX(p.x), toDeviceY(p.y)}; }
  RECT toDevice(const RECT& r) const {
    return {toDeviceX(r.left), toDeviceY(r.top), toDeviceX(r.right), toDeviceY(r.bottom)};
  }

  // Where drawing may land, in surface coordinates: the surface's bounds,
  // the visible region and the clip. Computed again after any change.
  const pixman_region32_t* drawable();
  // Whatever changes the clip, visibility, origin or surface calls this.
  void invalidate() { drawableValid_ = false; }
  // The part of an area of surface coordinates that the DC may draw.
  RegionData visiblePart(const pixman_region32_t* area);
  RegionData visiblePart(int left, int top, int right, int bottom);

 private:
  pixman_region32_t drawable_;
  bool drawableValid_ = false;
};

// The DC behind a handle, or nullptr.
Dc* dcOf(HDC h);

// Puts coverage on a DC in `colour` (alpha 0): every non-zero byte of the
// w x h mask at device (deviceX, deviceY) sets its pixel, within the clip
// and the bitmap. Text drawing uses this for glyphs.
void drawMask(HDC dc, int deviceX, int deviceY, const std::uint8_t* mask, int w, int h, int stride,
              COLORREF colour);
// Fills a rectangle in device coordinates with a solid colour, within the
// clip and the bitmap (an opaque text background, for example).
void fillDeviceRect(HDC dc, const RECT& device, COLORREF colour);

// A DC over a surface that someone else owns (a window's or the screen's):
// device (0,0) sits at `origin` on the surface and drawing is limited to
// `visible` (device coordinates; nullptr: the whole surface).
HDC createSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, HRGN visible = nullptr);
// Changes a surface DC's origin and visible region later (a window moved).
void setSurfaceDC(HDC dc, std::shared_ptr<Surface> surface, POINT origin, HRGN visible);
// The screen's surface, made once from the profile's size. The screen DC
// (GetDC(NULL), CreateDC("DISPLAY")) is a surface DC over it.
std::shared_ptr<Surface> screenSurface();
HDC createScreenDC();

}  // namespace qv::os::gdi
