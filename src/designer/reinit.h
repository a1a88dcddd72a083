// Switching the program's resources to a language module while it runs:
// the class library loads a language module only at program start, so this
// unit loads one later and reads every open form's resources again over the
// components that exist, which puts the module's captions, hints and texts
// on them.
#pragma once

#include <string>

#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"

// A form-resource reader that takes every component it reads as inherited,
// so that reading a form again finds and updates the existing components
// instead of creating new ones.
class TAsInheritedReader : public TReader {
  QV_CLASS(TAsInheritedReader, TReader)
  using TReader::TReader;

 protected:
  void ReadPrefix(TFilerFlags& Flags, int& AChildPos) override;
};

// The designer's start-up language: when the machine-wide locale key names
// English for the program and the user has no choice of his own yet, the
// choice is copied to the user's key and the program switches to the
// English module now; later starts leave it to the class library.
void ApplyStartupLanguage();
// Loads the program's module for a locale (by the class library's rule,
// qv::classlib::LoadLanguageModuleFile, with the locale's three-letter
// abbreviation) as a data file and makes it the resource module. The
// module, or null.
HINSTANCE LoadLanguageModule(LCID Locale);
// Makes Module the program's resource module; the previous one is freed
// when it is not the program itself.
void SetResourceModule(HINSTANCE Module);
// Reads the resources of every form on the screen again.
void ReloadAllForms();
// Reads the form resource of each class from just below StopClass down to
// the form's own class over the form; true when any class had one.
bool ReloadFormResources(TForm* Form, TClass StopClass);
// Reads the RCDATA resource Name of Module (null: the program's resource
// module) over Component; false when there is no such resource.
bool ReloadComponentResource(const std::string& Name, HINSTANCE Module, TComponent* Component);
