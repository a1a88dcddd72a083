// Each painter's push button and a whole horizontal scroll bar (two arrows,
// thumb, two page areas) drawn on a 100 x 25 bitmap, beside one FillRect of
// the same rectangle. The native painter runs with the desktop's visual
// styles (its themed parts) and after they are switched off (its fallback).
#include <benchmark/benchmark.h>

#include "lookandfeel/lkLookAndFeelPainters.h"
#include "platform/classlib/System.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Gdi.h"

namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 25;

struct Setup {
  Setup() {
    auto& profile = qv::desktop::profile();
    profile.visualStyles = qv::desktop::ModuleProfile::Themed;
    profile.themesActive = true;
    qv::modules::registerUxTheme();
    qv::classlib::InitializeUnit(lkLookAndFeelPaintersUnit);
  }
};

void themes(bool on) {
  static Setup setup;
  qv::modules::ThemeProfile theme;
  theme.visualStyles = on ? qv::desktop::ModuleProfile::Themed : qv::desktop::ModuleProfile::Classic;
  if (qv::desktop::profile().themesActive != on) qv::modules::setThemeProfile(theme);
}

struct Surface {
  TBitmap bitmap;
  TlkCanvas canvas{bitmap.Canvas()};
  Surface() {
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(kWidth, kHeight);
  }
};

TlkLookAndFeelPainterClass painterOf(int index) {
  switch (index) {
    case 0: return TlkStandardLookAndFeelPainter::Class();
    case 1: return TlkFlatLookAndFeelPainter::Class();
    case 2: return TlkUltraFlatLookAndFeelPainter::Class();
    case 3: return TlkOffice11LookAndFeelPainter::Class();
    default: return TlkWinXPLookAndFeelPainter::Class();
  }
}

// Arguments: painter 0 to 4, visual styles 0 or 1.
void Button(benchmark::State& state) {
  themes(state.range(1) != 0);
  TlkLookAndFeelPainterClass painter = painterOf(static_cast<int>(state.range(0)));
  Surface s;
  const TRect r{0, 0, kWidth, kHeight};
  for (auto _ : state) painter->DrawPushButton(&s.canvas, r, "OK", pdsNormal, true, clDefault, clDefault, false);
  state.SetLabel(painter->ClassName());
}

void ScrollBar(benchmark::State& state) {
  themes(state.range(1) != 0);
  TlkLookAndFeelPainterClass painter = painterOf(static_cast<int>(state.range(0)));
  Surface s;
  const int arrow = kHeight;
  for (auto _ : state) {
    TlkCanvas* c = &s.canvas;
    painter->DrawScrollBarPart(c, true, TRect{0, 0, arrow, kHeight}, sbaTopLeftArrow, pdsNormal);
    painter->DrawScrollBarPart(c, true, TRect{kWidth - arrow, 0, kWidth, kHeight}, sbaBottomRightArrow, pdsNormal);
    painter->DrawScrollBarPart(c, true, TRect{arrow, 0, 40, kHeight}, sbaPageBefore, pdsNormal);
    painter->DrawScrollBarPart(c, true, TRect{40, 0, 55, kHeight}, sbaThumb, pdsNormal);
    painter->DrawScrollBarPart(c, true, TRect{55, 0, kWidth - arrow, kHeight}, sbaPageAfter, pdsNormal);
  }
  state.SetLabel(painter->ClassName());
}

void FillRectBaseline(benchmark::State& state) {
  themes(false);
  Surface s;
  HBRUSH brush = CreateSolidBrush(RGB(212, 208, 200));
  const RECT r{0, 0, kWidth, kHeight};
  for (auto _ : state) FillRect(s.bitmap.Canvas()->Handle(), &r, brush);
  DeleteObject(brush);
}

void painterArgs(benchmark::internal::Benchmark* b) {
  for (int styles = 0; styles <= 1; ++styles)
    for (int painter = 0; painter < 5; ++painter)
      if (styles == 0 || painter >= 3) b->Args({painter, styles});
}

}  // namespace

BENCHMARK(FillRectBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(Button)->Apply(painterArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScrollBar)->Apply(painterArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
