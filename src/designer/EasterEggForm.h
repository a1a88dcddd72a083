// The small picture dialog that a click on the product logo opens. Its
// picture is a JPEG stored in its form resource.
#pragma once

#include "platform/classlib/Forms.h"

class TImage;

class TEasterEgg : public TForm {
  QV_CLASS(TEasterEgg, TForm)
  explicit TEasterEgg(TComponent* AOwner) : TForm(AOwner) {}

  TImage* EasterEggImage = nullptr;

  // A click on the picture closes the dialog.
  void EasterEggImageClick(TObject* Sender);

  QV_PUBLISHED(TEasterEgg) { P.Method("EasterEggImageClick", &TEasterEgg::EasterEggImageClick); }

 protected:
  void Loaded() override;
};
