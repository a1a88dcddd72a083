// The published-property tables of the look-and-feel library's classes, compiled here once
// rather than in every unit that includes their headers.
#include "lookandfeel/lkControls.h"
#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/lkLookAndFeels.h"
#include "lookandfeel/lkScrollBar.h"

#include "platform/classlib/TypInfo.h"

QV_DEFINE_PUBLISHED(TlkTimer)
QV_DEFINE_PUBLISHED(TlkRect)
QV_DEFINE_PUBLISHED(TlkLookAndFeel)
QV_DEFINE_PUBLISHED(TlkLookAndFeelController)
QV_DEFINE_PUBLISHED(TlkScrollBar)
