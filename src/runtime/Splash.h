// The start splash: the project's splash picture, shaped and frameless,
// shown modally for a number of one-second ticks before the main window is
// set up.
#pragma once

#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/TypInfo.h"
#include "runtime/ImageShape.h"

class TSplashScreen : public TForm {
  QV_CLASS(TSplashScreen, TForm)
  explicit TSplashScreen(TComponent* AOwner) : TForm(AOwner) {}

  TImageShape* SplashImage = nullptr;
  TTimer* SplashTimer = nullptr;
  int SplashTicks = 0;
  // Ticks to show; the splash ends at the tick that reaches or passes it.
  int SplashDuration = 2;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void SplashTimerTimer(TObject* Sender);

  QV_PUBLISHED(TSplashScreen) {
    P.Method("FormCreate", &TSplashScreen::FormCreate);
    P.Method("FormShow", &TSplashScreen::FormShow);
    P.Method("SplashTimerTimer", &TSplashScreen::SplashTimerTimer);
  }

 protected:
  void Loaded() override;
};
