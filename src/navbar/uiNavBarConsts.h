// The navigation bar's messages. They are resource strings, so that a
// language module can replace them; read them through lkLoadResString.
#pragma once

#include "platform/classlib/SysUtils.h"

// A group control read or re-parented onto something that is not its
// group's navigation bar, or onto a group that is missing or taken.
extern const TResStringRec suiInvalidGroupControl;
// The view registry's messages, format strings taking the view's id.
extern const TResStringRec suiCannotFindView;
extern const TResStringRec suiViewAlreadyExists;
