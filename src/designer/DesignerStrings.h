// The designer's texts that a language module may replace: each has an id
// in the program's string tables and its German text compiled in.
#pragma once

#include <string>

#include "platform/os/Types.h"

enum TDesignerString : UINT {
  sSaveChangesQuestion = 0xD000,
  sCannotCreateFile,
  sInvalidPercentSize,
  sIconFileNotFound,
  sSkinFileNotFound,
  sButtonFolderMissing,
  sWrongButtonSizes,
  sMusicFileNotFound,
  sButtonFolderCaption,
  // The toolbar rows, in the runtime's button order.
  sRowExit,
  sRowPrint,
  sRowBack,
  sRowForward,
  sRowHome,
  sRowSearch,
  sRowCopy,
  // The commands that reach outside the project file.
  sDeployQuestion,
  sCopyFailed,
  sSaveBeforeRun,
  sRunFailed,
  sRuntimeNotDeployed,
  sShellExecuteError,
  sSearchEngineMissing,
  sHelpFileMissing,
  sInfoCopyright,
  sInfoAddress,
  // The news service, the update check and the user's own browser.
  sProductId,
  sLanguage,
  sUpdatePage,
  sMakerPage,
  sBrowserStartFailed,
  sShellBrowserStartFailed,
  // Saving and opening.
  sSaveFailed,
  sMixedSizeUnits,
  sNotASettingsFile,
};

// The text of the id: the resource module's when it has one, else the
// built-in German text (Windows-1252).
std::string DesignerStr(TDesignerString Id);
