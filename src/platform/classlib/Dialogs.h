// The class library's Dialogs unit: the open and save dialogs over the
// platform's common dialogs, and the message dialogs. On the headless desktop
// a message dialog is recorded as "msgdlg" (caption, text, type, buttons,
// the button chosen) and answered from the same scripted "msgbox" queue as
// the platform's message boxes, so one `answer` of the driver serves both;
// without an answer its default button is chosen.
#pragma once

#include <string>

#include "platform/classlib/Classes.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/Types.h"

// The modal results that forms, buttons and the message dialogs give.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing,
  ofDontAddToRecent,
  ofForceShowHidden
};
QV_ENUM_TYPE(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
             ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
             ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
             ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent,
             ofForceShowHidden)
using TOpenOptions = TSet<TOpenOption>;

class TCommonDialog : public TComponent {
  QV_CLASS(TCommonDialog, TComponent)
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  virtual bool Execute() = 0;
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

  QV_PUBLISHED(TCommonDialog) {
    P.Event("OnClose", &TCommonDialog::OnClose);
    P.Event("OnShow", &TCommonDialog::OnShow);
  }
};

class TOpenDialog : public TCommonDialog {
  QV_CLASS(TOpenDialog, TCommonDialog)
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }
  // "Description|Pattern|Description|Pattern".
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& Value) { FFilter = Value; }
  // 1-based.
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  // The chosen names; one, FileName, without ofAllowMultiSelect.
  TStrings* Files() const { return FFiles; }

  // True when a file was chosen: FileName, Files and FilterIndex are the
  // dialog's. False for a cancel, and for a name longer than the dialog's
  // buffer (MAX_PATH), as the platform refuses it.
  bool Execute() override;

  QV_PUBLISHED(TOpenDialog) {
    P.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
    P.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
    P.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
    P.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
    P.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
    P.Prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions)
        .Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
    P.Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
  }

 protected:
  virtual bool DoExecute(bool Save);

 private:
  std::string FFileName, FFilter, FInitialDir, FDefaultExt, FTitle;
  int FFilterIndex = 1;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
  TStrings* FFiles;
};

class TSaveDialog : public TOpenDialog {
  QV_CLASS(TSaveDialog, TOpenDialog)
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool Execute() override { return DoExecute(true); }
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
QV_ENUM_TYPE(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
QV_ENUM_TYPE(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
             mbHelp)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The dialog's answer: the modal result of the chosen button. The default
// button is OK when present, else Yes, else the first button; the caption
// is the type's ("Warnung", "Fehler" ... in a German profile) and the
// application's title for mtCustom. X and Y of MessageDlgPos place the
// dialog (-1: centred); nobody sees the place, so it is not recorded.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
// An OK dialog captioned with the application's title.
void ShowMessage(const std::string& Msg);

namespace qv::classlib {
// The caption a message dialog of the type gets.
std::string msgDlgCaption(TMsgDlgType DlgType);
// The text a button shows ("&Ja", "OK" ...), in the profile's language.
std::string msgDlgButtonCaption(TMsgDlgBtn Button);
}  // namespace qv::classlib
