#include "navbar/uiNavBarConsts.h"

// The navigation bar's strings take ids from 64400 up, clear of the
// designer's and the runtime's tables.
const TResStringRec suiInvalidGroupControl{64400, "Invalid the TuiNavBarGroupControl parent or group."};
