#include "platform/os/user/CommCtrl.h"

void InitCommonControls() {}
