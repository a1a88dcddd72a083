#include "runtime/Splash.h"

namespace {
struct UnitStart {
  UnitStart() { RegisterClass(TSplashScreen::StaticClass()); }
} unitStart;
}  // namespace

void TSplashScreen::Loaded() {
  inherited::Loaded();
  SplashImage = dynamic_cast<TImageShape*>(FindComponent("SplashImage"));
  SplashTimer = dynamic_cast<TTimer*>(FindComponent("SplashTimer"));
}

void TSplashScreen::FormCreate(TObject* Sender) {
  (void)Sender;
  SplashTicks = 0;
  SplashDuration = 2;
}

void TSplashScreen::FormShow(TObject* Sender) {
  (void)Sender;
  if (SplashTimer) SplashTimer->SetEnabled(true);
}

void TSplashScreen::SplashTimerTimer(TObject* Sender) {
  (void)Sender;
  ++SplashTicks;
  // Reaching or passing: a duration of 0 or below ends at the first tick
  // instead of leaving the modal splash open for good.
  if (SplashTicks >= SplashDuration) {
    if (SplashTimer) SplashTimer->SetEnabled(false);
    Close();
  }
}
