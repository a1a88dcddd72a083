#include "platform/os/gdi/Font.h"

#include <cstring>

#include "platform/os/gdi/FontEngine.h"
#include "platform/os/gdi/GdiObject.h"

namespace qv::os::gdi {

namespace {

class FontObject : public GdiObject {
 public:
  explicit FontObject(const LOGFONTA& lf) : GdiObject(OBJ_FONT), logFont(lf) {
    logFont.lfFaceName[LF_FACESIZE - 1] = 0;
  }
  int getObject(int size, void* out) const override {
    if (out == nullptr) return static_cast<int>(sizeof(LOGFONTA));
    if (size <= 0) return 0;
    int n = size < static_cast<int>(sizeof(LOGFONTA)) ? size : static_cast<int>(sizeof(LOGFONTA));
    std::memcpy(out, &logFont, static_cast<size_t>(n));
    return n;
  }
  LOGFONTA logFont;
  mutable std::shared_ptr<RealizedFont> realized;
};

LOGFONTA makeLogFont(LONG height, LONG weight, BYTE charSet, BYTE pitchAndFamily, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = charSet;
  lf.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

HGDIOBJ makeStock(const LOGFONTA& lf) {
  HGDIOBJ h = addObject(std::make_unique<FontObject>(lf));
  markStock(h);
  return h;
}

// The stock fonts as the platform describes them to GetObject.
LOGFONTA stockLogFont(int index) {
  switch (index) {
    case DEFAULT_GUI_FONT:
      return makeLogFont(-11, FW_NORMAL, ANSI_CHARSET, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
    case ANSI_VAR_FONT:
      return makeLogFont(12, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
    case ANSI_FIXED_FONT:
      return makeLogFont(12, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier");
    case OEM_FIXED_FONT:
      return makeLogFont(12, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, "Terminal");
    case SYSTEM_FIXED_FONT:
      return makeLogFont(16, FW_BOLD, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Fixedsys");
    default:  // SYSTEM_FONT, DEVICE_DEFAULT_FONT
      return makeLogFont(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System");
  }
}

template <int Index>
HGDIOBJ makeStockFont() {
  return makeStock(stockLogFont(Index));
}



}  // namespace

// The stock fonts are made on first use through the object table's hook.
void registerStockFontMakers() {
  setStockObjectMaker(OEM_FIXED_FONT, &makeStockFont<OEM_FIXED_FONT>);
  setStockObjectMaker(ANSI_FIXED_FONT, &makeStockFont<ANSI_FIXED_FONT>);
  setStockObjectMaker(ANSI_VAR_FONT, &makeStockFont<ANSI_VAR_FONT>);
  setStockObjectMaker(SYSTEM_FONT, &makeStockFont<SYSTEM_FONT>);
  setStockObjectMaker(DEVICE_DEFAULT_FONT, &makeStockFont<DEVICE_DEFAULT_FONT>);
  setStockObjectMaker(SYSTEM_FIXED_FONT, &makeStockFont<SYSTEM_FIXED_FONT>);
  setStockObjectMaker(DEFAULT_GUI_FONT, &makeStockFont<DEFAULT_GUI_FONT>);
}

const LOGFONTA* logFontOf(HFONT font) {
  auto* f = lookupAs<FontObject>(font, OBJ_FONT);
  return f ? &f->logFont : nullptr;
}

std::shared_ptr<RealizedFont> realizedFont(HFONT font) {
  auto* f = lookupAs<FontObject>(font, OBJ_FONT);
  if (!f) return nullptr;
  if (!f->realized) f->realized = RealizedFont::get(f->logFont);
  return f->realized;
}

HFONT stockFont(int index) {
  registerStockFontMakers();
  switch (index) {
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT:
      return static_cast<HFONT>(GetStockObject(index));
    default:
      return nullptr;
  }
}

}  // namespace qv::os::gdi

HFONT CreateFontIndirect(const LOGFONTA* lf) {
  if (lf == nullptr) return nullptr;
  return qv::os::gdi::addObjectAs<HFONT>(std::make_unique<qv::os::gdi::FontObject>(*lf));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, LPCSTR faceName) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic);
  lf.lfUnderline = static_cast<BYTE>(underline);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}
