// A frameless form at the screen's top-left, so that client and screen
// coordinates agree in tests that click or hover.
#pragma once

#include "platform/classlib/Forms.h"

inline TForm* newBareForm(int width, int height) {
  TForm* form = TForm::CreateNew(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetPosition(poDesigned);
  form->SetBounds(0, 0, width, height);
  return form;
}
