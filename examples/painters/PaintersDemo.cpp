// painters_demo: the look-and-feel painters side by side, one row per look
// and one column per element and state, saved as a PNG picture.
//
//   painters_demo OUT.png
//
// The native look is drawn twice: with the desktop's visual styles, and
// after the user switched them off, when it falls back to the standard look.
#include <cstdio>
#include <string>
#include <vector>

#include "common/SavePicture.h"
#include "lookandfeel/lkLookAndFeelPainters.h"
#include "platform/classlib/System.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Png.h"

namespace {

constexpr int kLabelWidth = 150;
constexpr int kCell = 54;
constexpr int kHeaderHeight = 34;
constexpr int kRowHeight = 34;

struct Column {
  const char* element;  // shown over the first column of its group
  const char* state;
  TlkPartDrawState drawState;
  // Draws the element in its cell (the cell's rect is passed).
  void (*draw)(TlkLookAndFeelPainterClass, TlkCanvas*, const TRect&, TlkPartDrawState);
};

TRect centred(const TRect& cell, int w, int h) {
  const int x = cell.left + (cell.right - cell.left - w) / 2, y = cell.top + (cell.bottom - cell.top - h) / 2;
  return TRect{x, y, x + w, y + h};
}

void button(TlkLookAndFeelPainterClass p, TlkCanvas* c, const TRect& cell, TlkPartDrawState s) {
  p->DrawPushButton(c, centred(cell, 38, 23), "OK", s, true, clDefault, clDefault, false);
}
void checkBox(TlkLookAndFeelPainterClass p, TlkCanvas* c, const TRect& cell, TlkPartDrawState s) {
  p->DrawCheckBox(c, centred(cell, 13, 13), s == pdsDefault ? pdsNormal : s, s != pdsNormal, clDefault);
}
void radio(TlkLookAndFeelPainterClass p, TlkCanvas* c, const TRect& cell, TlkPartDrawState s) {
  const TPoint e = p->RadioGlyphExtent();
  const TRect r = centred(cell, e.x, e.y);
  p->DrawRadioGlyph(c, TPoint{r.left, r.top}, s == pdsDefault ? pdsNormal : s, s != pdsNormal, false, false,
                    clDefault);
}
void header(TlkLookAndFeelPainterClass p, TlkCanvas* c, const TRect& cell, TlkPartDrawState s) {
  const TRect r = centred(cell, 40, 20);
  p->DrawHeaderSection(c, r, r, s, taCenter, tlCenter, false, false, "Name", c->Font(), clBtnText, clBtnFace);
}
void arrow(TlkLookAndFeelPainterClass p, TlkCanvas* c, const TRect& cell, TlkPartDrawState s) {
  p->DrawScrollBarPart(c, false, centred(cell, 17, 17), sbaTopLeftArrow, s);
}
void thumb(TlkLookAndFeelPainterClass p, TlkCanvas* c, const TRect& cell, TlkPartDrawState s) {
  const TRect r = centred(cell, 17, 28);
  p->DrawScrollBarPart(c, false, r, sbaPageBefore, pdsNormal);
  p->DrawScrollBarPart(c, false, r, sbaThumb, s);
}
void track(TlkLookAndFeelPainterClass p, TlkCanvas* c, const TRect& cell, TlkPartDrawState s) {
  p->DrawScrollBarPart(c, false, centred(cell, 17, 28), sbaPageAfter, s);
}
void groupButton(TlkLookAndFeelPainterClass p, TlkCanvas* c, const TRect& cell, TlkPartDrawState s) {
  const int n = p->GroupExpandButtonExtent();
  p->DrawGroupExpandButton(c, centred(cell, n, n), s == pdsPressed, s == pdsPressed ? pdsNormal : s);
}

const std::vector<Column>& columns() {
  static const std::vector<Column> kColumns = {
      {"Button", "normal", pdsNormal, button},     {nullptr, "hot", pdsHot, button},
      {nullptr, "pressed", pdsPressed, button},    {nullptr, "disabled", pdsDisabled, button},
      {nullptr, "default", pdsDefault, button},    {"Check box", "off", pdsNormal, checkBox},
      {nullptr, "on", pdsHot, checkBox},           {nullptr, "on, off", pdsDisabled, checkBox},
      {"Radio", "off", pdsNormal, radio},          {nullptr, "on", pdsHot, radio},
      {nullptr, "on, off", pdsDisabled, radio},    {"Header", "normal", pdsNormal, header},
      {nullptr, "pressed", pdsPressed, header},    {"Arrow", "normal", pdsNormal, arrow},
      {nullptr, "hot", pdsHot, arrow},             {nullptr, "pressed", pdsPressed, arrow},
      {nullptr, "disabled", pdsDisabled, arrow},   {"Thumb", "normal", pdsNormal, thumb},
      {nullptr, "hot", pdsHot, thumb},             {nullptr, "disabled", pdsDisabled, thumb},
      {"Track", "normal", pdsNormal, track},       {nullptr, "pressed", pdsPressed, track},
      {"Group", "closed", pdsNormal, groupButton}, {nullptr, "hot", pdsHot, groupButton},
      {nullptr, "open", pdsPressed, groupButton},
  };
  return kColumns;
}

void drawRow(TlkCanvas* c, int row, const char* label, TlkLookAndFeelPainterClass painter) {
  const int top = kHeaderHeight + row * kRowHeight;
  c->Canvas()->Brush()->SetStyle(bsClear);
  c->Canvas()->TextOut(8, top + 10, label);
  c->Canvas()->Brush()->SetStyle(bsSolid);
  for (size_t i = 0; i < columns().size(); ++i) {
    const Column& col = columns()[i];
    const int left = kLabelWidth + static_cast<int>(i) * kCell;
    col.draw(painter, c, TRect{left, top, left + kCell, top + kRowHeight}, col.drawState);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: painters_demo OUT.png\n");
    return 2;
  }
  // A desktop with visual styles, so that the native look can be shown
  // both ways.
  auto& profile = qv::desktop::profile();
  profile.visualStyles = qv::desktop::ModuleProfile::Themed;
  profile.themesActive = true;
  qv::modules::registerUxTheme();
  qv::classlib::InitializeUnit(lkLookAndFeelPaintersUnit);

  const int rowsCount = 6;
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(kLabelWidth + static_cast<int>(columns().size()) * kCell + 8,
                 kHeaderHeight + rowsCount * kRowHeight + 8);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  TlkCanvas c(canvas);

  // The column heads: the element over its first state, then every state.
  canvas->Brush()->SetStyle(bsClear);
  for (size_t i = 0; i < columns().size(); ++i) {
    const Column& col = columns()[i];
    const int left = kLabelWidth + static_cast<int>(i) * kCell;
    if (col.element) canvas->TextOut(left + 2, 2, col.element);
    TRect state{left, 17, left + kCell, kHeaderHeight};
    c.DrawText(col.state, state, lkGraphics::tfHCenter | lkGraphics::tfSingleLine);
  }
  canvas->Brush()->SetStyle(bsSolid);

  drawRow(&c, 4, "Native, visual styles", TlkWinXPLookAndFeelPainter::Class());
  // The user switches the visual styles off: every look now draws classic.
  qv::modules::ThemeProfile classic;
  classic.visualStyles = qv::desktop::ModuleProfile::Classic;
  qv::modules::setThemeProfile(classic);
  drawRow(&c, 0, "Standard", TlkStandardLookAndFeelPainter::Class());
  drawRow(&c, 1, "Flat", TlkFlatLookAndFeelPainter::Class());
  drawRow(&c, 2, "Ultra-flat", TlkUltraFlatLookAndFeelPainter::Class());
  drawRow(&c, 3, "Office 2003", TlkOffice11LookAndFeelPainter::Class());
  drawRow(&c, 5, "Native, classic", TlkWinXPLookAndFeelPainter::Class());

  const bool saved = qvexamples::savePicture(bitmap, argv[1]);
  qv::classlib::FinalizeUnits();
  if (!saved) {
    std::fprintf(stderr, "painters_demo: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
