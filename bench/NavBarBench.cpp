// A 177 x 500 navigation bar with three groups and twelve links: its full
// layout (view information built and laid out anew) and its full paint into
// the back buffer, in every registered view, beside one BitBlt of the same
// size, in every view the view units register (the base painter when none
// is). The aim for the designer's view 10 is a layout and paint under
// 0.5 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarBaseViews.h"
#include "navbar/uiNavBarExplorerViews.h"
#include "navbar/uiNavBarOfficeViews.h"
#include "navbar/uiNavBarVSToolBoxViews.h"
#include "navbar/uiNavBarOffice11Views.h"
#include "navbar/uiNavBarViewsFact.h"
#include "navbar/uiNavBarXPViews.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/System.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/Message.h"

namespace {

constexpr int kWidth = 177;
constexpr int kHeight = 500;

// Every unit that registers views.
void startViews() {
  qv::classlib::InitializeUnit(uiNavBarBaseViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarOfficeViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarExplorerViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarVSToolBoxViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarXPViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarOffice11ViewsUnit);
}

struct Bar {
  std::unique_ptr<TForm> form;
  TuiNavBar* bar = nullptr;

  explicit Bar(int view) {
    startViews();
    form.reset(TForm::CreateNew(nullptr));
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 600);
    bar = new TuiNavBar(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(0, 0, kWidth, kHeight);
    bar->SetView(view);
    const int links[3] = {5, 4, 3};
    for (int g = 0; g < 3; ++g) {
      TuiNavBarGroup* group = bar->Groups()->Add();
      group->SetCaption("Group " + std::to_string(g + 1));
      group->SetExpanded(true);
      for (int l = 0; l < links[g]; ++l) {
        TuiNavBarItem* item = bar->Items()->Add();
        item->SetCaption("Link " + std::to_string(g + 1) + "." + std::to_string(l + 1));
        group->AddLink(item);
      }
    }
    form->Show();
    qv::os::pumpMessages();
    bar->Repaint();
  }
};

std::vector<int> registeredViews() {
  startViews();
  std::vector<int> ids;
  if (TuiNavBarViewsFactory* views = uiNavBarViewsFactory())
    for (int i = 0; i < views->GetCount(); ++i) ids.push_back(views->Items(i)->ID);
  if (ids.empty()) ids.push_back(0);
  return ids;
}

void Layout(benchmark::State& state) {
  Bar b(static_cast<int>(state.range(0)));
  TuiNavBarViewInfo* info = b.bar->GetPainter()->ViewInfo();
  for (auto _ : state) {
    info->CreateGroupsInfo();
    info->CalculateBounds();
    benchmark::DoNotOptimize(info->GroupCount());
  }
}

void Paint(benchmark::State& state) {
  Bar b(static_cast<int>(state.range(0)));
  TuiNavBarPainter* painter = b.bar->GetPainter();
  for (auto _ : state) {
    painter->DrawNavBarControl();
    benchmark::ClobberMemory();
  }
}

void LayoutAndPaint(benchmark::State& state) {
  Bar b(static_cast<int>(state.range(0)));
  TuiNavBarPainter* painter = b.bar->GetPainter();
  for (auto _ : state) {
    painter->InvalidateViewInfo(doRecreate);
    painter->Prepare();
    benchmark::ClobberMemory();
  }
}

void OneBitBlt(benchmark::State& state) {
  TBitmap source, target;
  source.SetPixelFormat(pf32bit);
  source.SetSize(kWidth, kHeight);
  target.SetPixelFormat(pf32bit);
  target.SetSize(kWidth, kHeight);
  for (auto _ : state) {
    BitBlt(target.Canvas()->Handle(), 0, 0, kWidth, kHeight, source.Canvas()->Handle(), 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
}

}  // namespace

// The views are known only once the units have started, so the benchmarks
// are registered here rather than at static initialisation.
int main(int argc, char** argv) {
  for (int id : registeredViews()) {
    const std::string view = "/view:" + std::to_string(id);
    benchmark::RegisterBenchmark(("Layout" + view).c_str(), Layout)->Arg(id)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Paint" + view).c_str(), Paint)->Arg(id)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("LayoutAndPaint" + view).c_str(), LayoutAndPaint)
        ->Arg(id)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RegisterBenchmark("OneBitBlt", OneBitBlt)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
