// The published-property tables of the navigation bar's classes, compiled here once
// rather than in every unit that includes their headers.
#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarCollns.h"
#include "navbar/uiNavBarStyles.h"

#include "platform/classlib/TypInfo.h"

QV_DEFINE_PUBLISHED(TuiNavBar)
QV_DEFINE_PUBLISHED(TuiNavBarItemLink)
QV_DEFINE_PUBLISHED(TuiNavBarGroup)
QV_DEFINE_PUBLISHED(TuiNavBarItem)
QV_DEFINE_PUBLISHED(TuiNavBarGroupControl)
QV_DEFINE_PUBLISHED(TuiBaseNavBarStyle)
QV_DEFINE_PUBLISHED(TuiNavBarStyle)
QV_DEFINE_PUBLISHED(TuiNavBarDefaultStyles)
QV_DEFINE_PUBLISHED(TuiNavBarStyleItem)
