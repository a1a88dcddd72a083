#include "lookandfeel/uiGDIPlusAPI.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "lookandfeel/lkControls.h"
#include "platform/classlib/SysUtils.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Module.h"

namespace {

int StartCount = 0;
HMODULE GdiPlusModule = nullptr;
bool Available = false;
ULONG_PTR StartupToken = 0;
// The notification hook hands out a token of its own; keeping it apart from
// the start-up token lets both the unhook and the shut-down get theirs.
ULONG_PTR HookToken = 0;
GdiplusStartupOutput StartupOutput{};
CLSID PNGEncoder{};
uiGDIPlusAPI::TGdiPlusEntryPoints Procs;
TuiUnitsLoader* UnitsLoader = nullptr;

// Binds in the fixed order and stops at the first missing name.
bool BindEntryPoints() {
#define QV_GDIPLUS_BIND(Name)                                                                 \
  Procs.Name = qv::os::procAs<decltype(Procs.Name)>(GetProcAddress(GdiPlusModule, #Name)); \
  if (!Procs.Name) return false;
  QV_GDIPLUS_ENTRY_POINTS(QV_GDIPLUS_BIND)
#undef QV_GDIPLUS_BIND
  return true;
}

// Nothing may call into a library that is no longer (or not yet fully)
// there, so the pointers go with the module.
void ReleaseModule() {
  Procs = uiGDIPlusAPI::TGdiPlusEntryPoints{};
  if (GdiPlusModule != nullptr) {
    FreeLibrary(GdiPlusModule);
    GdiPlusModule = nullptr;
  }
}

void LoadGDIPlus() {
  // A failed attempt leaves nothing behind, so a later request starts over.
  const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  GdiPlusModule = LoadLibrary("gdiplus.dll");
  SetErrorMode(oldMode);
  if (GdiPlusModule == nullptr) return;
  if (!BindEntryPoints()) {
    ReleaseModule();
    return;
  }
  GdiplusStartupInput input{};
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = TRUE;
  input.SuppressExternalCodecs = TRUE;
  StartupOutput = GdiplusStartupOutput{};
  const Status started = Procs.GdiplusStartup(&StartupToken, &input, &StartupOutput);
  Status hooked = GenericError;
  if (started == Ok && StartupOutput.NotificationHook != nullptr) hooked = StartupOutput.NotificationHook(&HookToken);
  if (started != Ok || hooked != Ok) {
    if (started == Ok) Procs.GdiplusShutdown(StartupToken);
    StartupOutput = GdiplusStartupOutput{};
    StartupToken = HookToken = 0;
    ReleaseModule();
    return;
  }
  Available = true;
}

void ClearAvailable() { Available = false; }

void UnloadGDIPlus() {
  if (Available) {
    if (StartupOutput.NotificationUnhook != nullptr) StartupOutput.NotificationUnhook(HookToken);
    Procs.GdiplusShutdown(StartupToken);
    StartupOutput = GdiplusStartupOutput{};
    StartupToken = HookToken = 0;
  }
  ReleaseModule();
  Available = false;
  // The identity belongs to the library that was loaded.
  PNGEncoder = CLSID{};
}

bool PNGEncoderKnown() {
  BYTE head[8];
  std::memcpy(head, &PNGEncoder, sizeof head);
  return std::any_of(head, head + sizeof head, [](BYTE b) { return b != 0; });
}

bool IsPNGMimeType(const WCHAR* Mime) {
  static const char kPng[] = "image/png";
  if (Mime == nullptr) return false;
  for (size_t i = 0; i < sizeof kPng; ++i) {
    WCHAR c = Mime[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<WCHAR>(c - u'A' + u'a');
    if (c != static_cast<WCHAR>(kPng[i])) return false;
  }
  return true;
}

}  // namespace

bool uiIsGDIPlusAvailable() {
  if (!Available) LoadGDIPlus();
  return Available;
}

GpRect uiRectToGPRect(const RECT& Rect) {
  return GpRect{Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top};
}

const CLSID& uiPNGEncoderID() {
  if (PNGEncoderKnown() || !Available) return PNGEncoder;
  UINT count = 0, size = 0;
  if (Procs.GdipGetImageEncodersSize(&count, &size) != Ok || count == 0 || size < count * sizeof(ImageCodecInfo))
    return PNGEncoder;
  // The codec records come first, their strings after them in the same buffer.
  std::vector<ImageCodecInfo> buffer((size + sizeof(ImageCodecInfo) - 1) / sizeof(ImageCodecInfo));
  if (Procs.GdipGetImageEncoders(count, size, buffer.data()) != Ok) return PNGEncoder;
  for (UINT i = 0; i < count; ++i)
    if (IsPNGMimeType(buffer[i].MimeType)) {
      PNGEncoder = buffer[i].Clsid;
      break;
    }
  return PNGEncoder;
}

// ---------------------------------------------------------------------------
bool TuiUnitsLoader::FInitialized = false;

TuiUnitsLoader::~TuiUnitsLoader() {
  try {
    Finalize();
  } catch (const Exception&) {
    // A destructor cannot raise; Finalize ran every stop procedure anyway.
  }
}

void TuiUnitsLoader::RegisterUnit(TuiUnitProc Initialize, TuiUnitProc Finalize) {
  if (ModuleIsLib && !ModuleIsPackage) {
    if (Initialize != nullptr) FInitializeProcs.push_back(Initialize);
  } else {
    FInitialized = true;
    if (Initialize != nullptr) Initialize();
  }
  if (Finalize != nullptr) FFinalizeProcs.push_back(Finalize);
}

void TuiUnitsLoader::UnregisterUnit(TuiUnitProc Finalize) {
  auto it = std::find(FFinalizeProcs.begin(), FFinalizeProcs.end(), Finalize);
  if (it == FFinalizeProcs.end()) return;
  FFinalizeProcs.erase(it);
  Finalize();
}

void TuiUnitsLoader::Finalize() {
  if (!FInitialized) return;
  // Taken off the list first, so a stop procedure that unregisters another
  // unit finds nothing to run twice.
  std::vector<TuiUnitProc> procs;
  procs.swap(FFinalizeProcs);
  FInitialized = false;
  std::exception_ptr first;
  for (auto it = procs.rbegin(); it != procs.rend(); ++it) {
    try {
      (*it)();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

TuiUnitsLoader* uiGetUnitsLoader() {
  if (UnitsLoader == nullptr) UnitsLoader = new TuiUnitsLoader;
  return UnitsLoader;
}

// ---------------------------------------------------------------------------
namespace uiGDIPlusAPI {

void Initialize() {
  // A fresh desktop starts without GDI+, also when a test left it running
  // (a library's start-up that its program never finished); start-ups a
  // library queued go with the loader unrun, as in a library unloaded.
  static const bool resets = (qv::desktop::onReset([] {
                                UnloadGDIPlus();
                                delete UnitsLoader;
                                UnitsLoader = nullptr;
                                StartCount = 0;
                              }),
                              true);
  (void)resets;
  if (StartCount++ > 0) return;
  uiGetUnitsLoader()->RegisterUnit(&ClearAvailable, &UnloadGDIPlus);
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  if (Available && ModuleIsLib && !ModuleIsPackage && UnitsLoader != nullptr && UnitsLoader->HasFinalizeProcs())
    throw Exception("Need call uiFinalizeGDIPlus before free library!");
  // Finalized before it is freed, so that a failing stop procedure is
  // reported rather than swallowed by the destructor.
  std::unique_ptr<TuiUnitsLoader> loader(UnitsLoader);
  UnitsLoader = nullptr;
  if (loader) loader->Finalize();
}

const TGdiPlusEntryPoints& EntryPoints() { return Procs; }

}  // namespace uiGDIPlusAPI

namespace {
const qv::classlib::TUnitInfo* const kGDIPlusAPIUses[] = {&lkControlsUnit};
}  // namespace

const qv::classlib::TUnitInfo uiGDIPlusAPIUnit{"uiGDIPlusAPI", kGDIPlusAPIUses, &uiGDIPlusAPI::Initialize,
                                               &uiGDIPlusAPI::Finalize};
