// The published-property tables of the browser host control's classes, compiled here once
// rather than in every unit that includes their headers.
#include "browserhost/WebHost.h"

#include "platform/classlib/TypInfo.h"

QV_DEFINE_PUBLISHED(TMargins)
QV_DEFINE_PUBLISHED(TPrintOptions)
QV_DEFINE_PUBLISHED(TWebHost)
