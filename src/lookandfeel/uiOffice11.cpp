#include "lookandfeel/uiOffice11.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "lookandfeel/uiThemeManager.h"
#include "lookandfeel/uiUxTheme.h"
#include "platform/modules/Msimg32.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/SysColors.h"

namespace {

using TGradientFillFunc = BOOL (*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

int StartCount = 0;
HMODULE Msimg32Library = nullptr;
TGradientFillFunc GradientFillEntry = nullptr;
TuiThemeChangedNotificator* ThemeListener = nullptr;

TOffice11ColorSet ColorSet;
int RefCount = 0;
BYTE SchemeIndex = xpcsNone;
bool SchemeActive = false;

// The scheme colours, one row per scheme (blue, olive, silver), columns in
// the order the colour set takes them from.
constexpr int kSchemeColumns = 49;
constexpr COLORREF kSchemeColors[3][kSchemeColumns] = {
    {
        RGB(221, 236, 254), RGB(129, 169, 226), RGB(158, 190, 245), RGB(195, 218, 249), RGB(0, 53, 145),
        RGB(59, 97, 156),   RGB(106, 140, 203), RGB(117, 166, 241), RGB(89, 135, 214),  RGB(203, 225, 252),
        RGB(216, 231, 252), RGB(227, 239, 255), RGB(39, 65, 118),   RGB(255, 255, 255), RGB(106, 140, 203),
        RGB(246, 246, 246), RGB(106, 140, 203), RGB(123, 164, 224), RGB(0, 45, 150),    RGB(255, 255, 255),
        RGB(255, 238, 194), RGB(0, 0, 128),     RGB(255, 244, 204), RGB(255, 208, 145), RGB(254, 142, 75),
        RGB(255, 207, 139), RGB(227, 239, 255), RGB(255, 192, 111), RGB(254, 128, 62),  RGB(203, 225, 252),
        RGB(0, 0, 0),       RGB(141, 141, 141), RGB(158, 190, 245), RGB(255, 192, 111), RGB(129, 169, 226),
        RGB(0, 45, 150),    RGB(106, 140, 203), RGB(0, 45, 150),    RGB(227, 239, 255), RGB(123, 164, 224),
        RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 213, 140), RGB(255, 173, 85),  RGB(254, 142, 75),
        RGB(255, 207, 139), RGB(89, 135, 214),  RGB(0, 45, 150),    RGB(255, 255, 255),
    },
    {
        RGB(244, 247, 222), RGB(183, 198, 145), RGB(217, 217, 167), RGB(242, 240, 228), RGB(96, 119, 107),
        RGB(96, 128, 88),   RGB(165, 179, 122), RGB(176, 194, 140), RGB(150, 168, 103), RGB(236, 240, 213),
        RGB(241, 240, 227), RGB(255, 255, 237), RGB(81, 94, 51),    RGB(255, 255, 255), RGB(147, 160, 112),
        RGB(246, 246, 246), RGB(165, 179, 122), RGB(181, 196, 143), RGB(117, 141, 94),  RGB(255, 255, 255),
        RGB(255, 238, 194), RGB(63, 93, 56),    RGB(255, 244, 204), RGB(255, 208, 145), RGB(254, 142, 75),
        RGB(255, 207, 139), RGB(255, 255, 237), RGB(255, 192, 111), RGB(254, 128, 62),  RGB(236, 240, 213),
        RGB(0, 0, 0),       RGB(141, 141, 141), RGB(217, 217, 167), RGB(255, 192, 111), RGB(183, 198, 145),
        RGB(117, 141, 94),  RGB(165, 179, 122), RGB(96, 128, 88),   RGB(237, 240, 214), RGB(181, 196, 143),
        RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 213, 140), RGB(255, 173, 85),  RGB(254, 142, 75),
        RGB(255, 207, 139), RGB(175, 192, 130), RGB(99, 122, 68),   RGB(255, 255, 255),
    },
    {
        RGB(243, 244, 250), RGB(153, 151, 181), RGB(215, 215, 229), RGB(243, 243, 247), RGB(118, 116, 146),
        RGB(124, 124, 148), RGB(165, 164, 190), RGB(179, 178, 200), RGB(147, 145, 176), RGB(233, 233, 239),
        RGB(238, 238, 244), RGB(255, 255, 255), RGB(84, 84, 117),   RGB(255, 255, 255), RGB(124, 124, 148),
        RGB(253, 250, 255), RGB(147, 145, 176), RGB(165, 164, 190), RGB(124, 124, 148), RGB(255, 255, 255),
        RGB(255, 238, 194), RGB(75, 75, 111),   RGB(255, 244, 204), RGB(255, 208, 145), RGB(254, 142, 75),
        RGB(255, 207, 139), RGB(255, 255, 255), RGB(255, 192, 111), RGB(254, 128, 62),  RGB(233, 233, 239),
        RGB(0, 0, 0),       RGB(141, 141, 141), RGB(215, 215, 229), RGB(255, 192, 111), RGB(153, 151, 181),
        RGB(124, 124, 148), RGB(147, 145, 176), RGB(124, 124, 148), RGB(248, 248, 251), RGB(192, 192, 211),
        RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 213, 140), RGB(255, 173, 85),  RGB(254, 142, 75),
        RGB(255, 207, 139), RGB(168, 167, 191), RGB(112, 111, 145), RGB(255, 255, 255),
    },
};
constexpr int kSchemeEntry79[3] = {41, 125, 40};
constexpr int kSystemEntry79 = 75;

// Entries that get a solid brush.
constexpr int kBrushEntries[] = {18, 19, 20, 21, 31, 38, 40, 41, 46, 47, 48, 49, 55};

constexpr int byteOf(COLORREF Color, int Shift) { return static_cast<int>((Color >> Shift) & 0xFF); }
COLORREF fromChannels(int R, int G, int B) {
  return RGB(static_cast<BYTE>(std::clamp(R, 0, 255)), static_cast<BYTE>(std::clamp(G, 0, 255)),
             static_cast<BYTE>(std::clamp(B, 0, 255)));
}
TColor asColor(COLORREF Color) { return static_cast<TColor>(Color); }
COLORREF rgb(TColor Color) { return ColorToRGB(Color); }

std::string upper(std::string S) {
  for (char& c : S) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return S;
}

// The file name after its last folder separator.
std::string fileNameOnly(const std::string& Path) {
  const size_t at = Path.find_last_of("\\/:");
  return at == std::string::npos ? Path : Path.substr(at + 1);
}

bool majorVersionAbove5() {
  OSVERSIONINFO info{};
  info.dwOSVersionInfoSize = sizeof(info);
  return GetVersionEx(&info) && info.dwMajorVersion > 5;
}

// ---------------------------------------------------------------------------

void BuildOffice11ColorSet() {
  SchemeIndex = DetectXPColorScheme();
  SchemeActive = AreThemesAvailable(0) && SchemeIndex != xpcsNone;
  auto& c = ColorSet.Colors;
  auto set = [&](int Entry, COLORREF Value) { c[static_cast<size_t>(Entry)] = asColor(Value); };
  auto copy = [&](int Entry, int From) { c[static_cast<size_t>(Entry)] = c[static_cast<size_t>(From)]; };
  auto mix = [](TColor A, TColor B, int Percent) { return rgb(MixColorsByPercent(A, B, Percent)); };
  auto nearSmix = [](int X, int Y, int Z) { return rgb(GetNearestScreenColor(MixSystemColors(X, Y, Z))); };

  if (SchemeActive) {
    const COLORREF* col = kSchemeColors[SchemeIndex - 1];
    static constexpr int kFromColumn[][2] = {
        {0, 2},   {1, 3},   {2, 0},   {3, 1},   {4, 5},   {5, 7},   {6, 9},   {7, 4},   {8, 6},   {9, 8},
        {10, 10}, {11, 11}, {18, 12}, {19, 13}, {20, 14}, {21, 15}, {24, 16}, {25, 17}, {31, 19}, {38, 18},
        {40, 20}, {41, 21}, {42, 22}, {43, 23}, {44, 24}, {45, 25}, {46, 26}, {47, 27}, {48, 28}, {49, 29},
        {51, 30}, {52, 31}, {58, 32}, {59, 33}, {60, 35}, {61, 34}, {63, 36}, {65, 37}, {66, 38}, {67, 39},
        {68, 40}, {69, 41}, {70, 42}, {71, 43}, {72, 44}, {73, 45}, {74, 46}, {75, 47}, {76, 48}};
    for (const auto& [entry, column] : kFromColumn) set(entry, col[column]);
    for (int i = 0; i < 3; ++i) set(12 + i, mix(c[static_cast<size_t>(4 + i)], c[2], 90));
    for (int i = 0; i < 3; ++i) set(15 + i, mix(c[static_cast<size_t>(7 + i)], c[11], 50));
    set(22, RGB(0, 0, 0));
    set(23, RGB(255, 255, 255));
    set(28, RGB(255, 255, 255));
    set(29, RGB(0, 0, 0));
    set(30, RGB(0, 0, 0));
    set(62, RGB(253, 238, 201));
    copy(64, 11);
    copy(77, 74);
    copy(78, 75);
    ColorSet.Entry79 = kSchemeEntry79[SchemeIndex - 1];
  } else {
    const TColor face = clBtnFace, window = clWindow, shadow = clBtnShadow;
    set(0, rgb(face));
    set(1, mix(face, window, 20));
    set(2, mix(face, window, 22));
    set(3, mix(face, window, 96));
    set(4, mix(shadow, window, 74));
    set(5, nearSmix(-15, 29, 86));
    set(6, nearSmix(42, 11, 47));
    set(7, rgb(shadow));
    copy(8, 5);
    copy(9, 6);
    set(10, mix(face, window, 85));
    set(11, rgb(face));
    for (int i = 0; i < 3; ++i) set(12 + i, mix(c[static_cast<size_t>(7 + i)], window, 50));
    for (int i = 0; i < 3; ++i) set(15 + i, mix(c[static_cast<size_t>(7 + i)], c[11], 50));
    set(18, mix(shadow, window, 76));
    set(19, rgb(window));
    set(20, mix(shadow, window, 70));
    set(21, rgb(clWhite));
    set(22, rgb(clBtnText));
    set(23, rgb(window));
    set(24, rgb(shadow));
    copy(25, 3);
    set(28, rgb(clBtnHighlight));
    set(29, rgb(clBtnText));
    set(30, rgb(clBtnText));
    set(31, rgb(window));
    set(38, rgb(shadow));
    set(40, nearSmix(-2, 30, 72));
    set(41, rgb(clHighlight));
    copy(42, 40);
    copy(43, 40);
    copy(46, 3);
    set(47, rgb(MixSystemColors(41, 11, 48)));
    set(48, nearSmix(14, 44, 40));
    copy(44, 48);
    copy(45, 48);
    copy(49, 46);
    set(51, rgb(clBtnText));
    set(52, rgb(clGrayText));
    set(58, rgb(face));
    copy(59, 47);
    copy(60, 38);
    copy(61, 0);
    set(62, rgb(face));
    set(63, rgb(shadow));
    set(64, rgb(shadow));
    set(65, rgb(GetNearestScreenColor(shadow)));
    set(66, rgb(NavPaneGroupCaptionColor(true)));
    set(67, rgb(NavPaneGroupCaptionColor(false)));
    copy(68, 42);
    copy(69, 43);
    copy(70, 47);
    copy(71, 70);
    copy(72, 48);
    copy(73, 72);
    copy(74, 65);
    copy(75, 65);
    set(76, rgb(clHighlightText));
    set(77, rgb(GetNearestScreenColor(face)));
    copy(78, 65);
    ColorSet.Entry79 = kSystemEntry79;
  }
  // The same in both cases, from what either branch set.
  copy(26, 2);
  copy(27, 24);
  copy(39, 31);
  copy(32, 2);
  copy(33, 3);
  copy(34, 2);
  copy(35, 3);
  set(36, mix(c[34], clBlack, 92));
  set(37, mix(c[35], clBlack, 92));
  copy(50, 40);
  copy(53, 38);
  copy(54, 0);
  copy(55, 15);
  copy(56, 28);
  copy(57, 38);
}

void deleteBitmap(TBitmap*& Bitmap) {
  delete Bitmap;
  Bitmap = nullptr;
}

void FreeOffice11Brushes() {
  for (HBRUSH& brush : ColorSet.Brushes) {
    if (brush) DeleteObject(brush);
    brush = nullptr;
  }
  deleteBitmap(ColorSet.SubMenuExpandBitmap);
  deleteBitmap(ColorSet.ExpandButtonMinusBitmap);
  deleteBitmap(ColorSet.ExpandButtonPlusBitmap);
}

TBitmap* loadProgramBitmap(const char* Name) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromResourceName(GetModuleHandle(nullptr), Name);
  return bitmap.release();
}

// A resource that cannot be loaded leaves nothing half-built behind.
void BuildOffice11Brushes() {
  try {
    for (int entry : kBrushEntries)
      ColorSet.Brushes[static_cast<size_t>(entry)] = CreateSolidBrush(rgb(ColorSet[entry]));
    ColorSet.SubMenuExpandBitmap = loadProgramBitmap("UISUBMENUEXPAND");
    RecolorBitmapToScheme(ColorSet.SubMenuExpandBitmap);
    ColorSet.ExpandButtonMinusBitmap = loadProgramBitmap("UIEXPANDBUTTON_MINUS");
    ColorSet.ExpandButtonPlusBitmap = loadProgramBitmap("UIEXPANDBUTTON_PLUS");
  } catch (...) {
    FreeOffice11Brushes();
    throw;
  }
}

// One channel of a band: MulDiv spreads the difference over the bands.
int bandChannel(int From, int To, int Band, int Bands) {
  return Bands <= 1 ? From : From + MulDiv(Band, To - From, Bands - 1);
}

}  // namespace

// ---------------------------------------------------------------------------

const TOffice11ColorSet& Office11ColorSet() { return ColorSet; }

void AddRefOffice11ColorSet() {
  if (RefCount == 0) {
    BuildOffice11ColorSet();
    BuildOffice11Brushes();
  }
  ++RefCount;
}

void ReleaseOffice11ColorSet() {
  if (RefCount == 0) return;
  if (--RefCount == 0) FreeOffice11Brushes();
}

void RefreshOffice11ColorSet() {
  BuildOffice11ColorSet();
  if (RefCount > 0) {
    FreeOffice11Brushes();
    BuildOffice11Brushes();
  }
}

int Office11ColorSetRefCount() { return RefCount; }

BYTE DetectXPColorScheme() {
  if (!AreThemesAvailable(0)) return xpcsNone;
  constexpr int kSize = 1024;
  auto fileName = std::make_unique<WCHAR[]>(kSize);
  auto colorName = std::make_unique<WCHAR[]>(kSize);
  auto sizeName = std::make_unique<WCHAR[]>(kSize);
  fileName[0] = colorName[0] = sizeName[0] = 0;
  if (FAILED(uiUxTheme::GetCurrentThemeName(fileName.get(), kSize, colorName.get(), kSize, sizeName.get(), kSize)))
    return xpcsNone;
  if (upper(fileNameOnly(qv::os::utf16ToAnsi(fileName.get()))) != "LUNA.MSSTYLES" && !majorVersionAbove5())
    return xpcsNone;
  const std::string color = upper(qv::os::utf16ToAnsi(colorName.get()));
  if (color == "NORMALCOLOR") return xpcsBlue;
  if (color == "HOMESTEAD") return xpcsOlive;
  if (color == "METALLIC") return xpcsSilver;
  return xpcsNone;
}

BYTE Office11SchemeIndex() { return SchemeIndex; }
bool IsXPSchemeActive() { return SchemeActive; }

void RecolorBitmapToScheme(TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Empty()) return;
  const COLORREF light = rgb(ColorSet[2]);
  COLORREF dark = rgb(ColorSet[3]);
  if (light == dark) dark = light == RGB(0, 0, 0) ? RGB(255, 255, 255) : RGB(0, 0, 0);
  TCanvas* canvas = Bitmap->Canvas();
  const COLORREF background = rgb(canvas->Pixels(0, 0));
  auto shaded = [background](COLORREF Pixel) { return Pixel != background && Pixel != RGB(0, 0, 0); };
  int lowest = 256, highest = -1;
  for (int y = 0; y < Bitmap->Height(); ++y)
    for (int x = 0; x < Bitmap->Width(); ++x) {
      const COLORREF p = rgb(canvas->Pixels(x, y));
      if (!shaded(p)) continue;
      lowest = std::min(lowest, static_cast<int>(GetRValue(p)));
      highest = std::max(highest, static_cast<int>(GetRValue(p)));
    }
  if (highest < 0) return;
  for (int y = 0; y < Bitmap->Height(); ++y)
    for (int x = 0; x < Bitmap->Width(); ++x) {
      const COLORREF p = rgb(canvas->Pixels(x, y));
      if (!shaded(p)) continue;
      // A single shade has no range to spread; it takes the dark end.
      const int percent = highest == lowest ? 0 : (GetRValue(p) - lowest) * 100 / (highest - lowest);
      canvas->SetPixels(x, y, MixColorsByPercent(asColor(light), asColor(dark), percent));
    }
}

// ---------------------------------------------------------------------------

TColor ScaleColorByPercent(TColor Color, int Percent) {
  const COLORREF c = rgb(Color);
  auto channel = [&](int Shift) { return MulDiv(byteOf(c, Shift), Percent, 100); };
  return asColor(fromChannels(channel(0), channel(8), channel(16)));
}

TColor TintColorByPercent(TColor Color, int Percent) {
  const COLORREF c = rgb(Color);
  const int towardWhite = MulDiv(100 - Percent, 255, 100);
  // Both parts are rounded, so white can come out one above 255; it stays
  // white rather than wrapping round to black.
  auto channel = [&](int Shift) { return MulDiv(byteOf(c, Shift), Percent, 100) + towardWhite; };
  return asColor(fromChannels(channel(0), channel(8), channel(16)));
}

TColor MixColorsByPercent(TColor Color1, TColor Color2, int Percent) {
  const COLORREF a = rgb(Color1), b = rgb(Color2);
  auto channel = [&](int Shift) {
    return MulDiv(byteOf(a, Shift), Percent, 100) + MulDiv(byteOf(b, Shift), 100 - Percent, 100);
  };
  return GetNearestScreenColor(asColor(fromChannels(channel(0), channel(8), channel(16))));
}

TColor MixSystemColors(int X, int Y, int Z) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  if (face == RGB(0, 0, 0) || face == RGB(255, 255, 255)) return asColor(highlight);
  auto channel = [&](int Shift) {
    return MulDiv(byteOf(face, Shift), X, 100) + MulDiv(byteOf(highlight, Shift), Y, 100) +
           MulDiv(byteOf(window, Shift), Z, 100);
  };
  return asColor(fromChannels(channel(0), channel(8), channel(16)));
}

TColor GetNearestScreenColor(TColor Color) {
  HDC dc = GetDC(nullptr);
  const COLORREF nearest = GetNearestColor(dc, rgb(Color));
  ReleaseDC(nullptr, dc);
  return asColor(nearest);
}

TColor NavPaneGroupCaptionColor(bool Start) {
  const COLORREF face = rgb(clBtnFace);
  auto channel = [&](int Shift) {
    const int v = byteOf(face, Shift);
    return (Start ? v * 127 / 255 + 128 : v - v * 4 / 255 + 4) & 0xFF;
  };
  return GetNearestScreenColor(asColor(fromChannels(channel(0), channel(8), channel(16))));
}

// ---------------------------------------------------------------------------

void FillRectSolid(HDC DC, const TRect& Rect, TColor Color) {
  HBRUSH brush = CreateSolidBrush(rgb(Color));
  FillRect(DC, &Rect, brush);
  DeleteObject(brush);
}

void FillRectGradient(HDC DC, const TRect& Rect, TColor Color1, TColor Color2, bool Horizontal) {
  const COLORREF from = rgb(Color1), to = rgb(Color2);
  if (from == to) {
    FillRectSolid(DC, Rect, Color1);
    return;
  }
  if (GradientFillEntry) {
    auto vertex = [](LONG X, LONG Y, COLORREF C) {
      return TRIVERTEX{X,
                       Y,
                       static_cast<COLOR16>(GetRValue(C) << 8),
                       static_cast<COLOR16>(GetGValue(C) << 8),
                       static_cast<COLOR16>(GetBValue(C) << 8),
                       0};
    };
    TRIVERTEX vertices[2] = {vertex(Rect.left, Rect.top, from), vertex(Rect.right, Rect.bottom, to)};
    GRADIENT_RECT mesh{0, 1};
    GradientFillEntry(DC, vertices, 2, &mesh, 1, Horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
    return;
  }
  const int length = Horizontal ? Rect.right - Rect.left : Rect.bottom - Rect.top;
  if (length <= 0) return;
  const int bands = std::min(length, 256);
  int start = 0;
  for (int k = 0; k < bands && start < length; ++k) {
    const int end = MulDiv(k + 1, length, bands);
    if (end > start) {
      TRect band = Rect;
      if (Horizontal) {
        band.left = Rect.left + start;
        band.right = Rect.left + end;
      } else {
        band.top = Rect.top + start;
        band.bottom = Rect.top + end;
      }
      const COLORREF c = fromChannels(bandChannel(GetRValue(from), GetRValue(to), k, bands),
                                      bandChannel(GetGValue(from), GetGValue(to), k, bands),
                                      bandChannel(GetBValue(from), GetBValue(to), k, bands));
      FillRectSolid(DC, band, asColor(c));
      start = end;
    }
  }
}

void DrawOffice11SizeGrip(HDC DC, const TRect& Rect, TColor DotColor, TColor ShadowColor) {
  // Without a user of the set there is no shared brush; a temporary one of
  // the entry's colour stands in.
  struct Brush {
    HBRUSH handle = nullptr;
    bool own = false;
    Brush(TColor Color, int Entry) {
      if (Color == clDefault) {
        handle = ColorSet.Brush(Entry);
        if (handle) return;
        Color = ColorSet[Entry];
      }
      handle = CreateSolidBrush(rgb(Color));
      own = true;
    }
    ~Brush() {
      if (own) DeleteObject(handle);
    }
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;
  };
  const Brush dot(DotColor, 18), shadow(ShadowColor, 19);
  TRect strip{Rect.right - 12, Rect.bottom - 3, Rect.right, Rect.bottom};
  for (int row = 0; row < 3; ++row) {
    const int width = strip.right - strip.left;
    const int spare = width % 4;
    int x = strip.left + (spare <= 1 ? spare : spare / 2);
    for (; x + 4 <= strip.right; x += 4) {
      const RECT inner{x + 1, strip.top + 1, x + 3, strip.top + 3};
      FillRect(DC, &inner, shadow.handle);
      const RECT raised{inner.left - 1, inner.top - 1, inner.right - 1, inner.bottom - 1};
      FillRect(DC, &raised, dot.handle);
    }
    strip.left += 4;
    strip.top -= 4;
    strip.bottom -= 4;
  }
}

// ---------------------------------------------------------------------------
namespace uiOffice11 {

void Initialize() {
  if (StartCount++ > 0) return;
  Msimg32Library = LoadLibrary("msimg32.dll");
  if (Msimg32Library)
    GradientFillEntry = qv::os::procAs<TGradientFillFunc>(GetProcAddress(Msimg32Library, "GradientFill"));
  // Made before any other theme listener, so a switch reaches the set first.
  ThemeListener = new TuiThemeChangedNotificator;
  ThemeListener->OnNotify = [] { RefreshOffice11ColorSet(); };
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  delete ThemeListener;
  ThemeListener = nullptr;
  FreeOffice11Brushes();
  RefCount = 0;
  GradientFillEntry = nullptr;
  if (Msimg32Library) FreeLibrary(Msimg32Library);
  Msimg32Library = nullptr;
}

bool GradientFillBound() { return GradientFillEntry != nullptr; }

}  // namespace uiOffice11

namespace {
const qv::classlib::TUnitInfo* const kOffice11Uses[] = {&uiThemeManagerUnit};
}  // namespace

const qv::classlib::TUnitInfo uiOffice11Unit{"uiOffice11", kOffice11Uses, &uiOffice11::Initialize,
                                             &uiOffice11::Finalize};
