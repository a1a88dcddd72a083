#include "platform/classlib/Dialogs.h"

#include <cctype>
#include <vector>

#include "platform/classlib/Forms.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/CommonDialogs.h"

namespace {

bool german() { return qv::desktop::profile().langId == 1031; }
std::string text(const char* en, const char8_t* de) { return german() ? qv::os::ansi(de) : std::string(en); }

// The platform's flag of each option, in the options' order; 0 where an
// option has no flag of its own.
const DWORD kOptionFlags[] = {OFN_READONLY,
                              OFN_OVERWRITEPROMPT,
                              OFN_HIDEREADONLY,
                              OFN_NOCHANGEDIR,
                              OFN_SHOWHELP,
                              OFN_NOVALIDATE,
                              OFN_ALLOWMULTISELECT,
                              OFN_EXTENSIONDIFFERENT,
                              OFN_PATHMUSTEXIST,
                              OFN_FILEMUSTEXIST,
                              OFN_CREATEPROMPT,
                              OFN_SHAREAWARE,
                              OFN_NOREADONLYRETURN,
                              OFN_NOTESTFILECREATE,
                              OFN_NONETWORKBUTTON,
                              OFN_NOLONGNAMES,
                              0,
                              OFN_NODEREFERENCELINKS,
                              OFN_ENABLEINCLUDENOTIFY,
                              OFN_ENABLESIZING,
                              OFN_DONTADDTORECENT,
                              OFN_FORCESHOWHIDDEN};

struct ButtonInfo {
  const char* name;
  TModalResult result;
  const char* en;
  const char8_t* de;
};
const ButtonInfo kButtons[] = {
    {"Yes", mrYes, "&Yes", u8"&Ja"},
    {"No", mrNo, "&No", u8"&Nein"},
    {"OK", mrOk, "OK", u8"OK"},
    {"Cancel", mrCancel, "Cancel", u8"Abbrechen"},
    {"Abort", mrAbort, "&Abort", u8"&Abbrechen"},
    {"Retry", mrRetry, "&Retry", u8"&Wiederholen"},
    {"Ignore", mrIgnore, "&Ignore", u8"&Ignorieren"},
    {"All", mrAll, "&All", u8"&Alle"},
    {"NoToAll", mrNoToAll, "N&o to All", u8"N&ein für alle"},
    {"YesToAll", mrYesToAll, "Yes to &All", u8"Ja für &alle"},
    {"Help", mrNone, "&Help", u8"&Hilfe"},
};

const char* const kTypeNames[] = {"mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom"};

std::string squeeze(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '&') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

int runMessageDlg(const std::string& caption, const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons) {
  std::vector<TMsgDlgBtn> shown;
  for (int b = mbYes; b <= mbHelp; ++b)
    if (buttons.Contains(static_cast<TMsgDlgBtn>(b))) shown.push_back(static_cast<TMsgDlgBtn>(b));
  // An empty button set still gets a way out.
  if (shown.empty()) shown.push_back(mbOK);
  TMsgDlgBtn chosen = shown.front();
  if (buttons.Contains(mbOK)) chosen = mbOK;
  else if (buttons.Contains(mbYes)) chosen = mbYes;
  // An answer that names none of the dialog's buttons counts as none. Help
  // does not close the dialog, so it is not an answer either.
  if (auto answer = qv::desktop::Recorder::popAnswer("msgbox")) {
    for (TMsgDlgBtn b : shown)
      if (b != mbHelp && (squeeze(*answer) == squeeze(kButtons[b].name) || squeeze(*answer) == squeeze(kButtons[b].en)))
        chosen = b;
  }
  std::string names;
  for (TMsgDlgBtn b : shown) {
    if (!names.empty()) names += ',';
    names += kButtons[b].name;
  }
  qv::desktop::Recorder::record("msgdlg", {caption, msg, kTypeNames[type], names, kButtons[chosen].name});
  return kButtons[chosen].result;
}

}  // namespace

namespace qv::classlib {

std::string msgDlgCaption(TMsgDlgType DlgType) {
  switch (DlgType) {
    case mtWarning: return text("Warning", u8"Warnung");
    case mtError: return text("Error", u8"Fehler");
    case mtInformation: return text("Information", u8"Information");
    case mtConfirmation: return text("Confirm", u8"Bestätigen");
    case mtCustom: break;
  }
  return Application ? Application->Title() : std::string();
}

std::string msgDlgButtonCaption(TMsgDlgBtn Button) { return text(kButtons[Button].en, kButtons[Button].de); }

}  // namespace qv::classlib

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  return MessageDlgPos(Msg, DlgType, Buttons, HelpCtx, -1, -1);
}

int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y) {
  (void)HelpCtx;
  (void)X;
  (void)Y;
  return runMessageDlg(qv::classlib::msgDlgCaption(DlgType), Msg, DlgType, Buttons);
}

void ShowMessage(const std::string& Msg) {
  runMessageDlg(Application ? Application->Title() : std::string(), Msg, mtCustom, TMsgDlgButtons{mbOK});
}

// ---------------------------------------------------------------------------
TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(new TStringList()) {}

TOpenDialog::~TOpenDialog() { delete FFiles; }

bool TOpenDialog::Execute() { return DoExecute(false); }

bool TOpenDialog::DoExecute(bool Save) {
  std::string filter = FFilter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.append(2, '\0');
  bool multi = FOptions.Contains(ofAllowMultiSelect);
  std::vector<char> file(multi ? 0xFFFF : MAX_PATH, '\0');
  FFileName.copy(file.data(), file.size() - 1);

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Application ? Application->Handle() : nullptr;
  ofn.lpstrFilter = FFilter.empty() ? nullptr : filter.data();
  ofn.nFilterIndex = static_cast<DWORD>(FFilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
  for (int o = ofReadOnly; o <= ofForceShowHidden; ++o)
    if (FOptions.Contains(static_cast<TOpenOption>(o))) ofn.Flags |= kOptionFlags[o];
  if (!FOptions.Contains(ofOldStyleDialog)) ofn.Flags |= OFN_EXPLORER;

  if (OnShow) OnShow(this);
  BOOL ok = Save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (OnClose) OnClose(this);
  if (!ok) return false;
  FFileName = file.data();
  FFiles->Clear();
  FFiles->Add(FFileName);
  FFilterIndex = static_cast<int>(ofn.nFilterIndex);
  if (ofn.Flags & OFN_EXTENSIONDIFFERENT) FOptions.Include(ofExtensionDifferent);
  else FOptions.Exclude(ofExtensionDifferent);
  if (ofn.Flags & OFN_READONLY) FOptions.Include(ofReadOnly);
  else FOptions.Exclude(ofReadOnly);
  return true;
}
