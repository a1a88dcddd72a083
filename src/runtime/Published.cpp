// The published-property tables of the runtime's forms and controls, compiled here once
// rather than in every unit that includes their headers.
#include "runtime/About.h"
#include "runtime/Browser.h"
#include "runtime/Client.h"
#include "runtime/ImageShape.h"
#include "runtime/Splash.h"

#include "platform/classlib/TypInfo.h"

QV_DEFINE_PUBLISHED(TAboutBox)
QV_DEFINE_PUBLISHED(TBrowserWindow)
QV_DEFINE_PUBLISHED(TClientWindow)
QV_DEFINE_PUBLISHED(TImageShape)
QV_DEFINE_PUBLISHED(TSplashScreen)
