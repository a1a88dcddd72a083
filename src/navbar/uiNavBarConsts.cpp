#include "navbar/uiNavBarConsts.h"

// The navigation bar's strings take ids from 64400 up, clear of the
// designer's and the runtime's tables.
const TResStringRec suiInvalidGroupControl{64400, "Invalid the TuiNavBarGroupControl parent or group."};
const TResStringRec suiCannotFindView{64401, "Cannot find view with ID = %d."};
const TResStringRec suiViewAlreadyExists{64402, "ID of view = %d is already exists."};
