#include "navbar/uiNavBarConsts.h"

// The navigation bar's strings take ids from 64400 up, clear of the
// designer's and the runtime's tables.
const TResStringRec suiInvalidGroupControl{64400, "Invalid the TuiNavBarGroupControl parent or group."};
const TResStringRec suiCannotFindView{64401, "Cannot find view with ID = %d."};
const TResStringRec suiViewAlreadyExists{64402, "ID of view = %d is already exists."};
const TResStringRec suiLayoutNotFound{64403, "The storage holds no navigation bar layout (no section \"Layout\")."};
const TResStringRec suiLayoutSectionMissing{64404, "The navigation bar layout is damaged: section \"%s\" is missing."};
const TResStringRec suiLayoutBadCount{
    64405, "The navigation bar layout is damaged: \"%s\" in section \"%s\" is not a count of what it holds."};
const TResStringRec suiLayoutBadValue{
    64406, "The navigation bar layout is damaged: the value of \"%s\" in section \"%s\" is not valid."};
const TResStringRec suiLayoutBadStyleIndex{
    64407, "The navigation bar layout is damaged: \"%s\" in section \"%s\" names no stored style."};
const TResStringRec suiLayoutBadPicture{
    64408, "The navigation bar layout is damaged: the picture of section \"%s\" is cut or not valid."};
const TResStringRec suiLayoutDuplicateName{
    64409, "The navigation bar layout is damaged: section \"%s\" names \"%s\" as section \"%s\" does."};
const TResStringRec suiLayoutLineBreak{
    64410, "The navigation bar layout cannot be stored: \"%s\" of %s holds a line break."};
const TResStringRec suiLayoutPictureTooLong{
    64411, "The navigation bar layout cannot be stored: the picture of section \"%s\" is longer than the storage "
           "reads back."};
const TResStringRec suiConfigureButtons{64420, "Configure buttons"};
const TResStringRec suiShowMoreButtons{64421, "Show &More Buttons"};
const TResStringRec suiShowFewerButtons{64422, "Show &Fewer Buttons"};
const TResStringRec suiAddOrRemoveButtons{64423, "&Add or Remove Buttons"};
