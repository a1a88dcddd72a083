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
// Layout storage: a layout that cannot be read back, and one that an INI
// store cannot keep.
extern const TResStringRec suiLayoutNotFound;
extern const TResStringRec suiLayoutSectionMissing;
extern const TResStringRec suiLayoutBadCount;
extern const TResStringRec suiLayoutBadValue;
extern const TResStringRec suiLayoutBadStyleIndex;
extern const TResStringRec suiLayoutBadPicture;
extern const TResStringRec suiLayoutDuplicateName;
extern const TResStringRec suiLayoutLineBreak;
extern const TResStringRec suiLayoutPictureTooLong;
// The navigation pane's overflow sign hint and customization menu.
extern const TResStringRec suiConfigureButtons;
extern const TResStringRec suiShowMoreButtons;
extern const TResStringRec suiShowFewerButtons;
extern const TResStringRec suiAddOrRemoveButtons;
