#include "designer/reinit.h"

#include <memory>
#include <vector>

#include "platform/classlib/Filer.h"
#include "platform/classlib/Registry.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/Locale.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Resource.h"

namespace {

constexpr const char* kLocaleKey = "Software\\Borland\\Locales";
constexpr LCID kEnglishLocale = 1033;

std::string programPath() {
  char path[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileName(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

}  // namespace

void TAsInheritedReader::ReadPrefix(TFilerFlags& Flags, int& AChildPos) {
  inherited::ReadPrefix(Flags, AChildPos);
  Flags.Include(ffInherited);
}

void ApplyStartupLanguage() {
  const std::string program = programPath();
  if (program.empty()) return;
  std::string machineChoice;
  {
    TRegistry machine(KEY_READ);
    machine.SetRootKey(HKEY_LOCAL_MACHINE);
    if (machine.OpenKeyReadOnly(kLocaleKey)) machineChoice = machine.ReadString(program);
  }
  if (machineChoice != "ENU") return;
  TRegistry user;
  user.SetRootKey(HKEY_CURRENT_USER);
  if (!user.OpenKey(kLocaleKey, true)) return;
  // The user's value says the choice has been made: the class library
  // loaded the module when the program started.
  if (user.ValueExists(program)) return;
  user.WriteString(program, "ENU");
  user.CloseKey();
  if (LoadLanguageModule(kEnglishLocale)) ReloadAllForms();
}

HINSTANCE LoadLanguageModule(LCID Locale) {
  const std::string program = programPath();
  char abbreviation[4] = {};
  GetLocaleInfo(Locale, LOCALE_SABBREVLANGNAME, abbreviation, sizeof abbreviation);
  HMODULE module = qv::classlib::LoadLanguageModuleFile(program, abbreviation);
  if (module) SetResourceModule(module);
  return module;
}

void SetResourceModule(HINSTANCE Module) {
  HINSTANCE previous = FindResourceHInstance(nullptr);
  qv::classlib::SetResourceInstance(Module);
  if (previous && previous != Module && previous != GetModuleHandle(nullptr)) FreeLibrary(previous);
}

void ReloadAllForms() {
  // Collected first: reading a form must not change the list being walked.
  std::vector<TForm*> forms;
  for (int i = 0; i < Screen->FormCount(); ++i) forms.push_back(Screen->Forms(i));
  for (TForm* form : forms) ReloadFormResources(form, TForm::StaticClass());
}

bool ReloadFormResources(TForm* Form, TClass StopClass) {
  if (!Form) return false;
  std::vector<TClass> chain;
  for (TClass c = Form->ClassType(); c && c != StopClass && c != TComponent::StaticClass(); c = c->parent)
    chain.push_back(c);
  bool any = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    if (ReloadComponentResource(UpperCase((*it)->name), FindResourceHInstance(nullptr), Form)) any = true;
  return any;
}

bool ReloadComponentResource(const std::string& Name, HINSTANCE Module, TComponent* Component) {
  HINSTANCE module = Module ? Module : FindResourceHInstance(nullptr);
  if (!FindResource(module, Name.c_str(), RT_RCDATA)) return false;
  TResourceStream stream(module, Name, RT_RCDATA);
  TAsInheritedReader reader(&stream);
  reader.ReadRootComponent(Component);
  return true;
}
