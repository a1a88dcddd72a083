// The navigation bar's layout reader: any bytes as an INI file's text,
// loaded with and without styles into a bar that already holds a style,
// items, groups and a group control. A damaged layout raises the layout
// error and nothing else; whatever loads leaves a bar that saves again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzDesktop.h"
#include "navbar/uiNavBar.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/IniFiles.h"

namespace {

TForm* Owner = nullptr;

// The form that owns the bars, made once. At the end it and the units go
// first (a handler registered after the statics runs before they are
// destroyed), and the unit table, touched before the desktop is made,
// outlives the desktop's last reset.
TForm* form() {
  if (!Owner) {
    qv::classlib::FinalizeUnits();
    (void)qvfuzz::Desktop::get();
    qv::classlib::InitializeUnit(uiNavBarUnit);
    Owner = TForm::CreateNew(nullptr);
    std::atexit([] {
      delete Owner;
      Owner = nullptr;
      qv::classlib::FinalizeUnits();
    });
  }
  return Owner;
}

std::unique_ptr<TuiNavBar> makeBar() {
  auto bar = std::make_unique<TuiNavBar>(form());
  bar->SetAllowSelectLinks(true);
  bar->Styles()->Add()->Style()->SetBackColor(clRed);
  for (const char* caption : {"One", "Two", "Three"}) bar->Items()->Add()->SetCaption(caption);
  for (int g = 0; g < 2; ++g) {
    TuiNavBarGroup* group = bar->Groups()->Add();
    group->SetCaption(g == 0 ? "First" : "Second");
    group->AddLink(bar->Items()->Items(g));
  }
  bar->Groups()->Items(1)->SetUseControl(true);
  bar->SetStyleItem(0, bar->Styles()->Items(0));
  return bar;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)form();
  TStringList lines;
  lines.SetText(std::string(reinterpret_cast<const char*>(data), size));
  for (bool styles : {true, false}) {
    TMemIniFile ini("");
    ini.SetStrings(&lines);
    std::unique_ptr<TuiNavBar> bar = makeBar();
    try {
      bar->LoadFromIniFile(&ini, styles);
      TMemIniFile again("");
      bar->SaveToIniFile(&again);
    } catch (const EuiNavBarLayoutError&) {
    }
  }
  return 0;
}
