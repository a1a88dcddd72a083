#include "NavBarTestSupport.h"

#include "platform/classlib/TypInfo.h"

namespace navbartest {

QV_DEFINE_PUBLISHED(TTestNavBar)
QV_DEFINE_PUBLISHED(TNavForm)

}  // namespace navbartest
