// The published-property tables of the designer's forms, compiled here once
// rather than in every unit that includes their headers.
#include "designer/DesignerMain.h"
#include "designer/EasterEggForm.h"

#include "platform/classlib/TypInfo.h"

QV_DEFINE_PUBLISHED(TQVDesigner)
QV_DEFINE_PUBLISHED(TEasterEgg)
