#include "navbar/uiNavBarGraphics.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/lkGraphics.h"
#include "lookandfeel/uiGDIPlusAPI.h"
#include "lookandfeel/uiGDIPlusClasses.h"
#include "lookandfeel/uiOffice11.h"
#include "lookandfeel/uiThemeManager.h"
#include "lookandfeel/uiUxTheme.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Jpeg.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Resource.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/Paint.h"

// ---------------------------------------------------------------------------
// Colour helpers.

TColor GetLightColor80(TColor AColor) { return TintColorByPercent(AColor, 80); }
TColor GetLightColor70(TColor AColor) { return TintColorByPercent(AColor, 70); }
TColor GetLightColor40(TColor AColor) { return TintColorByPercent(AColor, 40); }
TColor GetLightColor20(TColor AColor) { return TintColorByPercent(AColor, 20); }
TColor GetScaledColor70(TColor AColor) { return ScaleColorByPercent(AColor, 70); }
TColor GetScaledColor60(TColor AColor) { return ScaleColorByPercent(AColor, 60); }
TColor GetScaledColor20(TColor AColor) { return ScaleColorByPercent(AColor, 20); }

DWORD ComposeGPColor(BYTE A, BYTE R, BYTE G, BYTE B) {
  return (static_cast<DWORD>(A) << 24) | (static_cast<DWORD>(R) << 16) | (static_cast<DWORD>(G) << 8) | B;
}

DWORD ColorToGPColor(TColor AColor, BYTE AAlpha) {
  const COLORREF c = static_cast<COLORREF>(AColor);
  return ComposeGPColor(AAlpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string withoutBlanks(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Helper painters every view shares.

bool TilePicture(TCanvas* ACanvas, const TRect& R, TPicture* AImage) {
  TGraphic* graphic = AImage ? AImage->Graphic() : nullptr;
  if (!graphic || graphic->Empty() || IsRectEmpty(&R)) return false;
  std::unique_ptr<TBitmap> converted;
  TBitmap* tile = dynamic_cast<TBitmap*>(graphic);
  if (!tile) {
    if (!dynamic_cast<TJPEGImage*>(graphic) && !dynamic_cast<TIcon*>(graphic) && !dynamic_cast<TMetafile*>(graphic))
      return false;
    converted = std::make_unique<TBitmap>();
    converted->SetSize(graphic->Width(), graphic->Height());
    converted->Canvas()->Draw(0, 0, graphic);
    tile = converted.get();
  }
  const int w = tile->Width(), h = tile->Height();
  if (w <= 0 || h <= 0) return false;
  HDC source = tile->Canvas()->Handle();
  for (int y = R.top; y < R.bottom; y += h)
    for (int x = R.left; x < R.right; x += w)
      BitBlt(ACanvas->Handle(), x, y, std::min(w, static_cast<int>(R.right) - x),
             std::min(h, static_cast<int>(R.bottom) - y), source, 0, 0, SRCCOPY);
  return true;
}

void FillGradientCells(TCanvas* ACanvas, const TRect& R, TColor AColor1, TColor AColor2,
                       TuiBarStyleGradientMode AGradientMode) {
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  HDC dc = ACanvas->Handle();
  if (c1 == c2) {
    FillRectSolid(dc, R, static_cast<TColor>(c1));
    return;
  }
  const int width = lkGetRectWidth(R), height = lkGetRectHeight(R);
  if (width <= 0 || height <= 0) return;
  const int nx = std::min(width, 256), ny = std::min(height, 256);
  // A one-cell direction has nothing to spread over: its first colour.
  const auto step = [](int k, int delta, int n) { return n > 1 ? MulDiv(k, delta, n - 1) : 0; };
  const auto channel = [&](int a, int b, int i, int j) {
    const int d = b - a;
    switch (AGradientMode) {
      case gmVertical: return a + step(j, d, ny);
      case gmForwardDiagonal: return a + (step(i, d, nx) + step(j, d, ny)) / 2;
      case gmBackwardDiagonal: return a + (step(nx - 1 - i, d, nx) + step(j, d, ny)) / 2;
      default: return a + step(i, d, nx);
    }
  };
  int top = R.top;
  for (int j = 0; j < ny && top < R.bottom; ++j) {
    const int bottom = R.top + MulDiv(j + 1, height, ny);
    int left = R.left;
    for (int i = 0; i < nx && left < R.right; ++i) {
      const int right = R.left + MulDiv(i + 1, width, nx);
      if (right > left && bottom > top) {
        const COLORREF c = RGB(channel(GetRValue(c1), GetRValue(c2), i, j), channel(GetGValue(c1), GetGValue(c2), i, j),
                               channel(GetBValue(c1), GetBValue(c2), i, j));
        FillRectSolid(dc, TRect{left, top, right, bottom}, static_cast<TColor>(c));
      }
      left = right;
    }
    top = bottom;
  }
}

void TuiNavBarBackgroundPainter::DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, bool AFillBackground,
                                                TColor ABackgroundColor, TColor AColor1, TColor AColor2, BYTE AAlpha1,
                                                BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode) const {
  if (!TilePicture(ACanvas, R, AImage) && AFillBackground && ABackgroundColor != clNone)
    FillRectSolid(ACanvas->Handle(), R, ABackgroundColor);
  if (AColor1 == AColor2 && AAlpha1 == 255 && AAlpha2 == 255) {
    if (AColor1 != clNone) FillRectSolid(ACanvas->Handle(), R, AColor1);
    return;
  }
  if (AColor1 == clNone || AColor2 == clNone) return;
  if (uiIsGDIPlusAvailable()) {
    TuiGPGraphics graphics(ACanvas->Handle());
    const RECT grown = lkGrowRect(R, 1, 1, 1, 1);
    TuiGPLinearGradientBrush brush(grown, ColorToGPColor(static_cast<TColor>(ColorToRGB(AColor1)), AAlpha1),
                                   ColorToGPColor(static_cast<TColor>(ColorToRGB(AColor2)), AAlpha2),
                                   static_cast<LinearGradientMode>(AGradientMode));
    graphics.FillRectangle(&brush, uiRectToGPRect(R));
    return;
  }
  if (AAlpha1 == 0 && AAlpha2 == 0) return;
  FillGradientCells(ACanvas, R, AColor1, AColor2, AGradientMode);
}

void TuiNavBarHintPainter::DrawHint(TCanvas* ACanvas, TRect R, const std::string& AHint, TPicture* AImage,
                                    TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                                    TuiBarStyleGradientMode AGradientMode, TFont* AFont) const {
  if (AHint.empty()) return;
  TuiNavBarBackgroundPainter::Class()->DrawBackground(ACanvas, R, AImage, true, clInfoBk, AColor1, AColor2, AAlpha1,
                                                      AAlpha2, AGradientMode);
  RECT edge = R;
  DrawEdge(ACanvas->Handle(), &edge, BDR_RAISEDOUTER, BF_RECT);
  TRect text = lkGrowRect(R, -1, -1, -1, -1);
  text.left += 2;
  text.top += 2;
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->Brush()->SetStyle(bsClear);
  RECT r = text;
  lkDrawText(ACanvas->Handle(), AHint, r, DT_WORDBREAK | DT_NOPREFIX);
  ACanvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// TuiStyleSheetParser

TuiStyleSheetParser::TuiStyleSheetParser(const std::string& AStyleSheet) : FRuleLines(new TStringList) {
  FRuleLines->SetText(Trim(AStyleSheet));
}

TuiStyleSheetParser::~TuiStyleSheetParser() { delete FRuleLines; }

std::string TuiStyleSheetParser::GetStyle(const std::string& ASelector) const {
  const std::string selector = upper(ASelector);
  for (int i = 0; i < FRuleLines->Count(); ++i) {
    const std::string& line = FRuleLines->Strings(i);
    if (line.size() >= selector.size() && upper(line.substr(0, selector.size())) == selector) return line;
  }
  return "";
}

std::string TuiStyleSheetParser::GetValue(const std::string& AStyle, const std::string& AName) {
  if (AName.empty()) return "";
  const std::string style = upper(AStyle), name = upper(AName);
  size_t at = 0;
  for (;; ++at) {
    at = style.find(name, at);
    if (at == std::string::npos) return "";
    // A declaration starts the rule's braces or follows a ";" (blanks
    // between them allowed); anywhere else the name is the tail of a
    // longer one.
    size_t before = at;
    while (before > 0 && (style[before - 1] == ' ' || style[before - 1] == '\t')) --before;
    if (before == 0 || style[before - 1] == '{' || style[before - 1] == ';') break;
  }
  const size_t start = at + name.size();
  size_t end = AStyle.find(';', start);
  if (end == std::string::npos) end = AStyle.find('}', start);
  return AStyle.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void TuiStyleSheetParser::ApplyFontStyle(TFont* AFont, const std::string& ASelector) const {
  const std::string line = withoutBlanks(GetStyle(ASelector));
  if (line.empty()) return;
  ReadFontSize(AFont, line);
  ReadFontWeight(AFont, line);
  ReadTextDecoration(AFont, line);
  ReadFontColor(AFont, line);
}

void TuiStyleSheetParser::ReadFontSize(TFont* AFont, const std::string& ALine) {
  // The whole points of the value: "8pt" is 8 and "8.5pt" 8, not 85. A
  // size that makes no sense for a font leaves it as it is.
  const std::string value = GetValue(ALine, "FONT-SIZE:");
  size_t i = 0;
  while (i < value.size() && !std::isdigit(static_cast<unsigned char>(value[i]))) ++i;
  int size = 0;
  bool any = false;
  for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i) {
    any = true;
    size = size * 10 + (value[i] - '0');
    if (size > 1000) return;
  }
  if (any && size > 0) AFont->SetSize(size);
}

void TuiStyleSheetParser::ReadFontWeight(TFont* AFont, const std::string& ALine) {
  const std::string value = upper(GetValue(ALine, "FONT-WEIGHT:"));
  TFontStyles style = AFont->Style();
  if (value == "BOLD")
    style.Include(fsBold);
  else if (value == "NORMAL")
    style.Exclude(fsBold);
  else
    return;
  AFont->SetStyle(style);
}

void TuiStyleSheetParser::ReadTextDecoration(TFont* AFont, const std::string& ALine) {
  const std::string value = upper(GetValue(ALine, "TEXT-DECORATION:"));
  TFontStyles style = AFont->Style();
  if (value == "UNDERLINE")
    style.Include(fsUnderline);
  else if (value == "NONE")
    style.Exclude(fsUnderline);
  else
    return;
  AFont->SetStyle(style);
}

void TuiStyleSheetParser::ReadFontColor(TFont* AFont, const std::string& ALine) {
  const std::string value = GetValue(ALine, "COLOR:");
  if (value.empty()) return;
  // Black counts as "no colour given": the font keeps the colour it has.
  TColor color = clNone;
  if (ParseColor(value, color) && color != clNone && static_cast<int>(color) > 0) AFont->SetColor(color);
}

void TuiStyleSheetParser::ReadBorderColor(const std::string& ASelector, TColor& AColor) const {
  const std::string line = withoutBlanks(GetStyle(ASelector));
  if (line.empty()) return;
  std::string value = GetValue(line, "BORDER:");
  std::erase(value, '\'');
  ParseColor(value, AColor);
}

bool TuiStyleSheetParser::ParseColor(const std::string& AValue, TColor& AColor) {
  const size_t hash = AValue.find('#');
  if (hash == std::string::npos) return ColorNameToColor(AValue, AColor);
  if (AValue.size() < hash + 7) return false;
  BYTE channels[3] = {};
  for (int c = 0; c < 3; ++c) {
    int value = 0;
    for (int k = 0; k < 2; ++k) {
      const char ch = AValue[hash + 1 + 2 * c + k];
      if (!std::isxdigit(static_cast<unsigned char>(ch))) return false;
      value = value * 16 + (std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0' : std::toupper(ch) - 'A' + 10);
    }
    channels[c] = static_cast<BYTE>(value);
  }
  AColor = static_cast<TColor>(RGB(channels[0], channels[1], channels[2]));
  return true;
}

bool TuiStyleSheetParser::ColorNameToColor(const std::string& AName, TColor& AColor) {
  return lkWebColorNameToColor(AName, AColor);
}

// ---------------------------------------------------------------------------
// The shell's style module.

namespace {

using TSHGetShellStyleHInstance = HINSTANCE (*)();

HMODULE ShellLibrary = nullptr;
TSHGetShellStyleHInstance ShellStyleEntry = nullptr;
HINSTANCE ShellStyleModule = nullptr;
int ShellStyleRefCount = 0;
std::array<TBitmap*, kShellStyleBitmapCount> ShellStyleBitmaps{};
TFont* LinkFont = nullptr;
TFont* LinkHotFont = nullptr;
TFont* CaptionFont = nullptr;
TFont* CaptionHotFont = nullptr;
TColor BorderColor = clNone;

// The resource ids in the order of TuiShellStyleBitmap.
constexpr std::array<int, kShellStyleBitmapCount> kShellStyleBitmapIds = {110, 112, 105, 101, 104, 100,
                                                                          107, 103, 106, 102, 114};

const LPCSTR kRtHtml = MAKEINTRESOURCE(23);

void loadShellStyleLibrary() {
  ShellLibrary = LoadLibrary("shell32.dll");
  if (ShellLibrary)
    ShellStyleEntry = qv::os::procAs<TSHGetShellStyleHInstance>(GetProcAddress(ShellLibrary, "SHGetShellStyleHInstance"));
}

void freeShellStyleLibrary() {
  if (ShellLibrary) FreeLibrary(ShellLibrary);
  ShellLibrary = nullptr;
  ShellStyleEntry = nullptr;
}

// The module handed out is a reference of ours: it goes when the style is
// dropped.
void dropShellStyleModule() {
  if (ShellStyleModule) FreeLibrary(ShellStyleModule);
  ShellStyleModule = nullptr;
}

void freeShellStyleBitmaps() {
  for (TBitmap*& bitmap : ShellStyleBitmaps) FreeAndNil(bitmap);
}

void freeShellStyleFonts() {
  FreeAndNil(LinkFont);
  FreeAndNil(LinkHotFont);
  FreeAndNil(CaptionFont);
  FreeAndNil(CaptionHotFont);
  BorderColor = clNone;
}

void loadShellStyleBitmaps() {
  for (size_t i = 0; i < ShellStyleBitmaps.size(); ++i) ShellStyleBitmaps[i] = LoadShellStyleBitmap(kShellStyleBitmapIds[i]);
}

void loadShellStyleSheet() {
  const TuiStyleSheetParser parser(LoadShellStyleText("CPWEBVW.CSS"));
  for (TFont** font : {&CaptionFont, &CaptionHotFont, &LinkFont, &LinkHotFont}) {
    *font = new TFont;
    CreateMessageFont(*font);
  }
  parser.ApplyFontStyle(CaptionFont, "BODY ");
  parser.ApplyFontStyle(CaptionHotFont, "BODY ");
  parser.ApplyFontStyle(LinkFont, "BODY ");
  parser.ApplyFontStyle(LinkHotFont, "BODY ");
  parser.ApplyFontStyle(LinkFont, "A ");
  parser.ApplyFontStyle(LinkHotFont, "A ");
  parser.ApplyFontStyle(CaptionFont, ".LEARNABOUTCAPTION ");
  parser.ApplyFontStyle(CaptionHotFont, ".LEARNABOUTCAPTION ");
  parser.ApplyFontStyle(CaptionHotFont, "A:HOVER ");
  parser.ApplyFontStyle(LinkHotFont, "A:HOVER ");
  parser.ReadBorderColor(".LEARNABOUTBOX", BorderColor);
}

void loadShellStyle() {
  if (ShellStyleEntry) ShellStyleModule = ShellStyleEntry();
  loadShellStyleBitmaps();
  loadShellStyleSheet();
}

void unloadShellStyle() {
  dropShellStyleModule();
  freeShellStyleBitmaps();
  freeShellStyleFonts();
}

}  // namespace

bool IsShellStyleLoaded() { return ShellStyleModule != nullptr; }

void AddRefXPExplorerBarStyle() {
  if (ShellStyleRefCount == 0) loadShellStyle();
  ++ShellStyleRefCount;
}

void RefreshXPExplorerBarStyle() {
  if (ShellStyleRefCount == 0) return;
  unloadShellStyle();
  loadShellStyle();
}

void ReleaseXPExplorerBarStyle() {
  if (ShellStyleRefCount == 0) return;
  if (--ShellStyleRefCount == 0) unloadShellStyle();
}

int XPExplorerBarStyleRefCount() { return ShellStyleRefCount; }

TBitmap* LoadShellStyleBitmap(int AResourceId) {
  if (!IsShellStyleLoaded() || !FindResource(ShellStyleModule, MAKEINTRESOURCE(AResourceId), RT_BITMAP))
    return nullptr;
  auto bitmap = std::make_unique<TBitmap>();
  try {
    bitmap->LoadFromResourceID(ShellStyleModule, AResourceId);
  } catch (const Exception&) {
    // A picture the module holds in a form we cannot read counts as missing.
    return nullptr;
  }
  return bitmap.release();
}

std::string LoadShellStyleText(const std::string& AName) {
  if (!IsShellStyleLoaded() || !FindResource(ShellStyleModule, AName.c_str(), kRtHtml)) return "";
  TResourceStream stream(ShellStyleModule, AName, kRtHtml);
  std::string text(static_cast<size_t>(stream.Size()), '\0');
  if (!text.empty()) stream.Read(text.data(), static_cast<int>(text.size()));
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

TBitmap* ShellStyleBitmap(TuiShellStyleBitmap ARole) { return ShellStyleBitmaps.at(static_cast<size_t>(ARole)); }
TFont* ShellStyleLinkFont() { return LinkFont; }
TFont* ShellStyleLinkHotFont() { return LinkHotFont; }
TFont* ShellStyleCaptionFont() { return CaptionFont; }
TFont* ShellStyleCaptionHotFont() { return CaptionHotFont; }
TColor ShellStyleBorderColor() { return BorderColor; }

void CreateMessageFont(TFont* AFont) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    AFont->SetHandle(CreateFontIndirect(&metrics.lfMessageFont));
  else
    AFont->SetHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

int GetFontItemHeight(TFont* AFont) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, AFont->Handle());
  TEXTMETRICA metrics{};
  GetTextMetrics(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmHeight;
}

// ---------------------------------------------------------------------------
// The XP colour scheme and the view colour sets.

BYTE GetXPColorScheme() {
  if (!AreThemesAvailable(0)) return 0;
  std::u16string file(1024, u'\0'), color(1024, u'\0'), size(1024, u'\0');
  if (FAILED(uiUxTheme::GetCurrentThemeName(reinterpret_cast<LPWSTR>(file.data()), 1024,
                                            reinterpret_cast<LPWSTR>(color.data()), 1024,
                                            reinterpret_cast<LPWSTR>(size.data()), 1024)))
    return 0;
  const auto text = [](const std::u16string& s) {
    return upper(qv::os::utf16ToAnsi(std::u16string(s.c_str())));
  };
  std::string name = text(file);
  const size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  if (name != "LUNA.MSSTYLES") return 0;
  const std::string scheme = text(color);
  if (scheme == "NORMALCOLOR") return 1;
  if (scheme == "HOMESTEAD") return 2;
  if (scheme == "METALLIC") return 3;
  return 0;
}

namespace {

constexpr TColor rgb(BYTE r, BYTE g, BYTE b) { return static_cast<TColor>(RGB(r, g, b)); }

// The explorer-bar rows E0 to E11 of the blue, olive and silver schemes.
// Blue is the task pane of the XP style; olive and silver are ours, in the
// same roles, after those schemes' own task panes.
constexpr std::array<std::array<TColor, 12>, 3> kExplorerBarRows = {{
    {rgb(123, 162, 231), rgb(99, 117, 214), rgb(33, 93, 198), rgb(66, 142, 255), rgb(214, 223, 247),
     rgb(255, 255, 255), rgb(198, 211, 247), rgb(0, 73, 181), rgb(41, 93, 206), rgb(0, 60, 165),
     rgb(172, 205, 255), rgb(66, 142, 255)},
    {rgb(204, 217, 173), rgb(165, 189, 132), rgb(86, 102, 45), rgb(114, 146, 29), rgb(246, 246, 236),
     rgb(255, 252, 236), rgb(224, 231, 184), rgb(119, 140, 64), rgb(150, 168, 103), rgb(86, 102, 45),
     rgb(224, 231, 184), rgb(224, 231, 184)},
    {rgb(196, 200, 212), rgb(177, 179, 200), rgb(63, 61, 61), rgb(126, 124, 124), rgb(240, 241, 245),
     rgb(255, 255, 255), rgb(214, 215, 224), rgb(119, 119, 146), rgb(180, 182, 199), rgb(63, 61, 61),
     rgb(224, 226, 235), rgb(230, 230, 230)},
}};

// The Office 11 task pane's rows O0 to O8, by scheme.
constexpr std::array<std::array<TColor, 9>, 3> kOffice11Rows = {{
    {rgb(196, 218, 250), rgb(74, 122, 201), rgb(221, 236, 254), rgb(186, 208, 241), rgb(196, 219, 249),
     rgb(101, 143, 224), rgb(255, 255, 255), rgb(0, 45, 134), rgb(0, 61, 178)},
    {rgb(242, 241, 228), rgb(217, 217, 167), rgb(244, 247, 222), rgb(214, 222, 182), rgb(223, 230, 187),
     rgb(164, 181, 127), rgb(255, 255, 255), rgb(90, 107, 70), rgb(63, 93, 56)},
    {rgb(243, 243, 247), rgb(215, 215, 229), rgb(238, 238, 244), rgb(212, 212, 226), rgb(232, 232, 240),
     rgb(165, 164, 189), rgb(255, 255, 255), rgb(92, 91, 121), rgb(75, 75, 111)},
}};

TuiExplorerBarColors ExplorerColors;
TBitmap* ExplorerCollapseSign = nullptr;
TBitmap* ExplorerExpandSign = nullptr;
int ExplorerRefCount = 0;

TuiOffice11ViewColors Office11Colors;
TBitmap* Office11ExpandSign = nullptr;
TBitmap* Office11CollapseSign = nullptr;
int Office11RefCount = 0;

std::array<TBitmap*, kNavPaneBitmapCount> NavPaneBitmaps{};
int NavPaneRefCount = 0;

// A bitmap of the program's own resources; empty when it has none, so
// that the painters draw nothing for it.
TBitmap* programBitmap(const char* AName, bool ATransparent) {
  auto* bitmap = new TBitmap;
  HINSTANCE program = GetModuleHandle(nullptr);
  if (FindResource(program, AName, RT_BITMAP)) {
    try {
      bitmap->LoadFromResourceName(program, AName);
    } catch (const Exception&) {
      // A picture we cannot read draws nothing, like a missing one.
    }
  }
  if (ATransparent) bitmap->SetTransparent(true);
  return bitmap;
}

TColor plain(TColor AColor) { return static_cast<TColor>(ColorToRGB(AColor)); }

void buildExplorerBarColors() {
  TuiExplorerBarColors& c = ExplorerColors;
  const BYTE scheme = GetXPColorScheme();
  if (scheme > 0) {
    const auto& row = kExplorerBarRows[static_cast<size_t>(scheme - 1)];
    c.BackgroundColor1 = row[0];
    c.BackgroundColor2 = row[1];
    c.LinkTextColor = row[2];
    c.LinkTextHotColor = row[3];
    c.GroupBackgroundColor = row[4];
    c.CaptionColor1 = row[5];
    c.CaptionColor2 = row[6];
    c.CaptionTextColor = c.LinkTextColor;
    c.CaptionTextHotColor = c.LinkTextHotColor;
    c.SpecialCaptionColor1 = row[7];
    c.SpecialCaptionColor2 = row[8];
    c.CaptionSignColor = row[9];
    c.CaptionSignHotColor = c.LinkTextHotColor;
    c.SpecialCaptionSignColor = c.CaptionSignColor;
    c.SpecialCaptionSignHotColor = c.CaptionSignHotColor;
    c.SpecialCaptionTextColor = static_cast<TColor>(0xFFFFFF);
    c.SpecialCaptionTextHotColor = row[11];
    return;
  }
  c.BackgroundColor1 = c.BackgroundColor2 = plain(clInactiveCaption);
  c.LinkTextColor = ExplorerBarDefaultTextColor({});
  c.LinkTextHotColor = ExplorerBarDefaultTextColor({nbsHotTracked});
  c.GroupBackgroundColor = GetLightColor40(clInactiveCaption);
  c.CaptionColor1 = plain(clWindow);
  c.CaptionColor2 = GetLightColor40(clHighlight);
  c.CaptionSignColor = c.LinkTextColor;
  c.CaptionSignHotColor = c.LinkTextHotColor;
  c.CaptionTextColor = c.LinkTextColor;
  c.CaptionTextHotColor = c.LinkTextHotColor;
  c.SpecialCaptionColor1 = c.SpecialCaptionColor2 = plain(clHighlight);
  c.SpecialCaptionSignColor = c.SpecialCaptionSignHotColor = plain(clHighlight);
  c.SpecialCaptionTextColor = c.SpecialCaptionTextHotColor = plain(clCaptionText);
}

void loadExplorerBarBitmaps() {
  ExplorerCollapseSign = programBitmap("UINAVBARADVEXPLORERBARGROUPCAPTIONCOLLAPSESIGN", false);
  ExplorerExpandSign = programBitmap("UINAVBARADVEXPLORERBARGROUPCAPTIONEXPANDSIGN", false);
}

void freeExplorerBarBitmaps() {
  FreeAndNil(ExplorerCollapseSign);
  FreeAndNil(ExplorerExpandSign);
}

void buildOffice11ViewColors() {
  TuiOffice11ViewColors& c = Office11Colors;
  const BYTE scheme = AreThemesAvailable(0) ? GetXPColorScheme() : 0;
  if (scheme > 0) {
    const auto& row = kOffice11Rows[static_cast<size_t>(scheme - 1)];
    c.Office11BackgroundColor1 = row[0];
    c.Office11BackgroundColor2 = row[1];
    c.Office11GroupBackgroundColor1 = row[2];
    c.Office11GroupBackgroundColor2 = row[3];
    c.Office11CaptionColor1 = row[4];
    c.Office11CaptionColor2 = row[5];
    c.Office11GroupBorderColor = row[6];
    c.Office11CaptionTextColor = row[7];
    c.Office11LinkTextColor = row[8];
    return;
  }
  const auto mix = [](int p) { return MixColorsByPercent(clBtnFace, clWindow, p); };
  c.Office11BackgroundColor1 = mix(50);
  c.Office11BackgroundColor2 = mix(100);
  c.Office11GroupBackgroundColor1 = mix(15);
  c.Office11GroupBackgroundColor2 = mix(20);
  c.Office11CaptionColor1 = mix(45);
  c.Office11CaptionColor2 = mix(70);
  c.Office11GroupBorderColor = mix(5);
  c.Office11CaptionTextColor = static_cast<TColor>(0);
  c.Office11LinkTextColor = static_cast<TColor>(0xFF0000);
}

void loadOffice11Bitmaps() {
  Office11ExpandSign = programBitmap("UINAVBAROFFICE11EXPANDSIGN", false);
  Office11CollapseSign = programBitmap("UINAVBAROFFICE11COLLAPSESIGN", false);
}

void freeOffice11Bitmaps() {
  FreeAndNil(Office11ExpandSign);
  FreeAndNil(Office11CollapseSign);
}

void loadNavPaneBitmaps() {
  static const char* const kNames[kNavPaneBitmapCount] = {
      "UINAVBAROFFICE11NAVPANEOVERFLOW", "UINAVBAROFFICE11NAVPANESPLITTER",     "UINAVBAROFFICE11NAVPANEARROWUP",
      "UINAVBAROFFICE11NAVPANEARROWDOWN", "UINAVBAROFFICE11NAVPANEDEFAULTLARGE", "UINAVBAROFFICE11NAVPANEDEFAULTSMALL"};
  for (size_t i = 0; i < NavPaneBitmaps.size(); ++i) NavPaneBitmaps[i] = programBitmap(kNames[i], true);
}

void freeNavPaneBitmaps() {
  for (TBitmap*& bitmap : NavPaneBitmaps) FreeAndNil(bitmap);
}

}  // namespace

const TuiExplorerBarColors& ExplorerBarColors() { return ExplorerColors; }
TBitmap* ExplorerBarCollapseSignBitmap() { return ExplorerCollapseSign; }
TBitmap* ExplorerBarExpandSignBitmap() { return ExplorerExpandSign; }

TColor ExplorerBarDefaultTextColor(TuiNavBarDrawStates AState) {
  // A dark tone of the user's highlight colour: its channels are pulled
  // down so that the brightest ends near 235, red a little warmer.
  const COLORREF highlight = ColorToRGB(clHighlight);
  const int r = GetRValue(highlight), g = GetGValue(highlight), b = GetBValue(highlight);
  constexpr int kOffset = -50;
  const int f = std::min(0, 220 - kOffset - std::max({r, g, b})) + kOffset + 35;
  const auto channel = [](int v) { return static_cast<BYTE>(std::min(255, std::abs(v))); };
  const TColor base = rgb(channel(r + f + 5), channel(g + f), channel(b + f));
  if (AState.Contains(nbsDisabled)) return GetLightColor40(base);
  if (AState.Contains(nbsSelected) || AState.Contains(nbsHotTracked) || AState.Contains(nbsPressed))
    return GetLightColor80(base);
  return base;
}

void AddRefExplorerBarColors() {
  if (ExplorerRefCount == 0) {
    buildExplorerBarColors();
    loadExplorerBarBitmaps();
  }
  ++ExplorerRefCount;
}

void RefreshExplorerBarColors() {
  buildExplorerBarColors();
  if (ExplorerRefCount == 0) return;
  freeExplorerBarBitmaps();
  loadExplorerBarBitmaps();
}

void ReleaseExplorerBarColors() {
  if (ExplorerRefCount == 0) return;
  if (--ExplorerRefCount == 0) freeExplorerBarBitmaps();
}

const TuiOffice11ViewColors& Office11ViewColors() { return Office11Colors; }
TBitmap* Office11ExpandSignBitmap() { return Office11ExpandSign; }
TBitmap* Office11CollapseSignBitmap() { return Office11CollapseSign; }

void AddRefOffice11ViewColors() {
  if (Office11RefCount == 0) {
    buildOffice11ViewColors();
    loadOffice11Bitmaps();
  }
  ++Office11RefCount;
}

void RefreshOffice11ViewColors() {
  buildOffice11ViewColors();
  if (Office11RefCount == 0) return;
  freeOffice11Bitmaps();
  loadOffice11Bitmaps();
}

void ReleaseOffice11ViewColors() {
  if (Office11RefCount == 0) return;
  if (--Office11RefCount == 0) freeOffice11Bitmaps();
}

TBitmap* NavPaneBitmap(TuiNavPaneBitmap ARole) { return NavPaneBitmaps.at(static_cast<size_t>(ARole)); }

void AddRefNavBarBitmaps() {
  if (NavPaneRefCount == 0) loadNavPaneBitmaps();
  ++NavPaneRefCount;
}

void RefreshNavBarBitmaps() {
  if (NavPaneRefCount == 0) return;
  freeNavPaneBitmaps();
  loadNavPaneBitmaps();
}

void ReleaseNavBarBitmaps() {
  if (NavPaneRefCount == 0) return;
  if (--NavPaneRefCount == 0) freeNavPaneBitmaps();
}

// ---------------------------------------------------------------------------
// The unit.

namespace {

void startUp() { loadShellStyleLibrary(); }

void shutDown() {
  // Whatever users forgot goes with the unit.
  if (ShellStyleRefCount > 0) unloadShellStyle();
  ShellStyleRefCount = 0;
  freeExplorerBarBitmaps();
  freeOffice11Bitmaps();
  freeNavPaneBitmaps();
  ExplorerRefCount = Office11RefCount = NavPaneRefCount = 0;
  freeShellStyleLibrary();
}

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarBaseUnit, &uiOffice11Unit, &lkGraphicsUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarGraphicsUnit{"uiNavBarGraphics", kUses, &startUp, &shutDown};
