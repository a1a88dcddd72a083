// GDI+ without depending on it: gdiplus.dll is loaded on the first request,
// with the platform's error dialogs suppressed, and its flat entry points are
// bound by name in one fixed order. The first name the library lacks makes
// GDI+ unavailable as a whole, so callers either get every entry point or
// draw with plain GDI.
//
// The bound pointers carry the library's own names. As those names are also
// declared in the global namespace (platform/modules/GdiPlus.h, included here
// for the library's types only), the pointers live in a struct and are always
// reached through uiGDIPlusAPI::EntryPoints().
//
// TuiUnitsLoader is the list of start and stop procedures that units
// depending on GDI+ register, so that their stop procedures run before
// GDI+ is shut down.
#pragma once

#include <vector>

#include "platform/classlib/System.h"
#include "platform/modules/GdiPlus.h"  // the library's types only
#include "platform/os/Types.h"

// The entry points, in the order they are bound.
#define QV_GDIPLUS_ENTRY_POINTS(X)  \
  X(GdipAlloc)                      \
  X(GdipFree)                       \
  X(GdiplusStartup)                 \
  X(GdiplusShutdown)                \
  X(GdipCloneBrush)                 \
  X(GdipDeleteBrush)                \
  X(GdipGetBrushType)               \
  X(GdipCreateSolidFill)            \
  X(GdipSetSolidFillColor)          \
  X(GdipGetSolidFillColor)          \
  X(GdipCreateLineBrushFromRectI)   \
  X(GdipGetLineRectI)               \
  X(GdipSetLineColors)              \
  X(GdipGetLineColors)              \
  X(GdipSetLineWrapMode)            \
  X(GdipGetLineWrapMode)            \
  X(GdipCreateHatchBrush)           \
  X(GdipGetHatchStyle)              \
  X(GdipGetHatchForegroundColor)    \
  X(GdipGetHatchBackgroundColor)    \
  X(GdipCreatePen1)                 \
  X(GdipCreatePen2)                 \
  X(GdipClonePen)                   \
  X(GdipDeletePen)                  \
  X(GdipGetPenFillType)             \
  X(GdipSetPenBrushFill)            \
  X(GdipGetPenBrushFill)            \
  X(GdipSetPenColor)                \
  X(GdipGetPenColor)                \
  X(GdipSetPenMode)                 \
  X(GdipGetPenMode)                 \
  X(GdipSetPenWidth)                \
  X(GdipGetPenWidth)                \
  X(GdipCreateFromHDC)              \
  X(GdipDeleteGraphics)             \
  X(GdipGetDC)                      \
  X(GdipReleaseDC)                  \
  X(GdipGraphicsClear)              \
  X(GdipDrawLineI)                  \
  X(GdipFillRectangleI)             \
  X(GdipDrawArcI)                   \
  X(GdipDrawBezierI)                \
  X(GdipDrawRectangleI)             \
  X(GdipDrawEllipseI)               \
  X(GdipDrawPieI)                   \
  X(GdipDrawPolygonI)               \
  X(GdipDrawCurve2I)                \
  X(GdipDrawClosedCurve2I)          \
  X(GdipFillPolygonI)               \
  X(GdipFillEllipseI)               \
  X(GdipFillPieI)                   \
  X(GdipFillClosedCurveI)           \
  X(GdipLoadImageFromStream)        \
  X(GdipCreateBitmapFromFile)       \
  X(GdipCreateBitmapFromStream)     \
  X(GdipCreateBitmapFromStreamICM)  \
  X(GdipCreateHBITMAPFromBitmap)    \
  X(GdipLoadImageFromFile)          \
  X(GdipGetImageDimension)          \
  X(GdipDrawImageRectI)             \
  X(GdipDisposeImage)               \
  X(GdipGetImageEncodersSize)       \
  X(GdipGetImageEncoders)           \
  X(GdipSaveImageToStream)          \
  X(GdipCreateBitmapFromHBITMAP)    \
  X(GdipGetEncoderParameterListSize) \
  X(GdipGetEncoderParameterList)    \
  X(GdipCreateBitmapFromGdiDib)     \
  X(GdipCreateBitmapFromScan0)      \
  X(GdipBitmapLockBits)             \
  X(GdipBitmapUnlockBits)           \
  X(GdipDrawImageRectRectI)         \
  X(GdipDrawImageRectRect)          \
  X(GdipDrawImagePointRect)         \
  X(GdipCloneImage)                 \
  X(GdipSetInterpolationMode)       \
  X(GdipGetInterpolationMode)       \
  X(GdipCreateCachedBitmap)         \
  X(GdipDeleteCachedBitmap)         \
  X(GdipDrawCachedBitmap)           \
  X(GdipCreateBitmapFromGraphics)   \
  X(GdipGetImageGraphicsContext)    \
  X(GdipGetImageWidth)              \
  X(GdipGetImageHeight)             \
  X(GdipSetCompositingMode)         \
  X(GdipGetCompositingMode)         \
  X(GdipSetCompositingQuality)      \
  X(GdipGetCompositingQuality)      \
  X(GdipSetSmoothingMode)           \
  X(GdipGetSmoothingMode)           \
  X(GdipCloneBitmapAreaI)

// Loads and starts GDI+ when it is not available yet (again after a failed
// attempt); true when it is available.
bool uiIsGDIPlusAvailable();

// The GDI+ rectangle of a GDI rectangle: its origin and extents.
GpRect uiRectToGPRect(const RECT& Rect);

// The identity of GDI+'s PNG encoder, looked up on the first call that finds
// one (all zero while GDI+ is unavailable or has no PNG encoder).
const CLSID& uiPNGEncoderID();

// Start and stop procedures of units that need GDI+. In a program (as here)
// a unit's start procedure runs when the unit registers it; in a dynamic
// library it is queued, because the library's start-up must not load other
// libraries. The stop procedures run last registered first, when the loader
// is finalized or destroyed.
using TuiUnitProc = void (*)();

class TuiUnitsLoader : public TObject {
  QV_CLASS(TuiUnitsLoader, TObject)
  TuiUnitsLoader() = default;
  ~TuiUnitsLoader() override;
  TuiUnitsLoader(const TuiUnitsLoader&) = delete;
  TuiUnitsLoader& operator=(const TuiUnitsLoader&) = delete;

  // Either may be null.
  void RegisterUnit(TuiUnitProc Initialize, TuiUnitProc Finalize);
  // Runs Finalize when it was registered, after taking it off the list.
  void UnregisterUnit(TuiUnitProc Finalize);
  // Runs the stop procedures when the loader is initialized, then forgets
  // them. A stop procedure that raises does not keep the others from
  // running; the first exception is raised again at the end.
  void Finalize();

  // Process-wide: set once a start procedure has run at registration.
  static bool Initialized() { return FInitialized; }
  bool HasFinalizeProcs() const { return !FFinalizeProcs.empty(); }

 private:
  std::vector<TuiUnitProc> FFinalizeProcs;
  std::vector<TuiUnitProc> FInitializeProcs;
  static bool FInitialized;
};

// The one loader, made on first use and freed at uiGDIPlusAPI's shut-down.
TuiUnitsLoader* uiGetUnitsLoader();

// The unit in the program's start-up order (after lkControls).
extern const qv::classlib::TUnitInfo uiGDIPlusAPIUnit;

namespace uiGDIPlusAPI {

// Unit start-up and shut-down. Counted: only the first Initialize and the
// matching last Finalize act. The shut-down frees the units loader, which
// runs the remaining stop procedures, GDI+'s own last. In a dynamic library
// (not a package) with GDI+ running and stop procedures left, it raises
// instead, because GDI+ must not be shut down from a library's unload.
void Initialize();
void Finalize();

// One pointer per entry point, typed as the library declares it; all null
// while GDI+ is unavailable.
struct TGdiPlusEntryPoints {
#define QV_GDIPLUS_POINTER(Name) decltype(&::Name) Name = nullptr;
  QV_GDIPLUS_ENTRY_POINTS(QV_GDIPLUS_POINTER)
#undef QV_GDIPLUS_POINTER
};
const TGdiPlusEntryPoints& EntryPoints();

}  // namespace uiGDIPlusAPI
