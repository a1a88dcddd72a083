#include "designer/DesignerMain.h"

#include <memory>

#include "browserhost/WebHost.h"
#include "designer/DesignerStrings.h"
#include "designer/KelvuSystem.h"
#include "designer/reinit.h"
#include "platform/classlib/Buttons.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/Dialogs.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/ImgList.h"
#include "navbar/uiNavBar.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/DropFiles.h"

TQVDesigner* QVDesigner = nullptr;

namespace {

struct UnitStart {
  UnitStart() {
    RegisterClass(TQVDesigner::StaticClass());
  }
} unitStart;

// The longest dropped file name taken, as the drop buffer holds it.
constexpr UINT kDropNameLength = 255;

// A file named on the command line or dropped on the window, in the
// platform's form: a host path ("/media/disc/autorun.inf") is the same file
// as "Z:\media\disc\autorun.inf", and a relative name counts from the
// current folder. Without this the project's folder, which every other
// path of the project is relative to, would come out empty.
std::string platformFileName(const std::string& Name) {
  const std::string full = ExpandFileName(Name);
  return full.empty() ? Name : full;
}

}  // namespace

TQVDesigner::TQVDesigner(TComponent* AOwner) : TForm(AOwner) {}

TQVDesigner::~TQVDesigner() {
  BeforeDestruction();
  // Closing the form ends the session and frees the client; a form freed
  // without being closed records no session.
  delete FKelvu;
  FKelvu = nullptr;
  if (QVDesigner == this) QVDesigner = nullptr;
}

void TQVDesigner::Loaded() {
  inherited::Loaded();
  // A component the code relies on but the resource lacks is a broken
  // resource: say which one rather than failing later on a null pointer.
#define QVD_FIND(Class, Name)                                                   \
  Name = dynamic_cast<Class*>(FindComponent(#Name));                            \
  if (Name == nullptr) throw EComponentError("Component %s not found", {#Name});
  QVD_COMPONENTS(QVD_FIND)
#undef QVD_FIND
}

void TQVDesigner::errorBox(const std::string& Text, bool OkButton) {
  MessageDlg(Text, mtError, OkButton ? TMsgDlgButtons{mbOK} : TMsgDlgButtons{mbCancel}, 0);
}

void TQVDesigner::loadPictures() {
  HINSTANCE instance = GetModuleHandle(nullptr);
  TBitmap strip;
  strip.LoadFromResourceName(instance, "QVD_GLYPHS");
  BtnGlyphs->AddMasked(&strip, clFuchsia);
  TBitmap gray;
  gray.LoadFromResourceName(instance, "QVD_GLYPHS_GRAY");
  BtnGrayGlyphs->AddMasked(&gray, clFuchsia);
  TBitmap logo;
  logo.LoadFromResourceName(instance, "QVD_LOGO");
  LogoImage->Picture()->SetGraphic(&logo);
  TBitmap maker;
  maker.LoadFromResourceName(instance, "QVD_MAKER");
  HalvestaLogo->Picture()->SetGraphic(&maker);
}

// ---------------------------------------------------------------------------
void TQVDesigner::FormCreate(TObject*) {
  ApplyStartupLanguage();
  FProjectOpen = false;
  DragAcceptFiles(Handle(), TRUE);
  delete FKelvu;
  FKelvu = new TKelvuSystem(DesignerStr(sProductId), "\\Software\\Halvesta\\Quorvel\\4.0\\", DesignerStr(sLanguage),
                            "4.0.1");
  loadPictures();
}

void TQVDesigner::FormShow(TObject*) {
  std::string argument = ParamStr(1);
  if (!argument.empty()) {
    // An argument that names no file opens nothing.
    if (FileExists(argument)) {
      FPendingFile = platformFileName(argument);
      BtnOpenClick(BtnOpen);
      FPendingFile.clear();
    }
    return;
  }
  WelcomeBrowser->NavigateTo(ExtractFilePath(ParamStr(0)) + "Kelvu\\Welcome.html");
}

void TQVDesigner::FormClose(TObject*, TCloseAction& Action) {
  // A save that wrote nothing keeps the window, so that the author can
  // choose and nothing is lost; a save that fails raises and keeps it too.
  if (FProjectOpen && FModified && !askToSaveChanges()) {
    Action = caNone;
    return;
  }
  // The client goes also when the registry refuses the record; the error
  // still reaches the caller.
  std::unique_ptr<TKelvuSystem> kelvu(FKelvu);
  FKelvu = nullptr;
  if (kelvu) kelvu->EndSession();
}

void TQVDesigner::FormDestroy(TObject*) {
  if (HandleAllocated()) DragAcceptFiles(Handle(), FALSE);
}

void TQVDesigner::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_DROPFILES) {
    WMDropFiles(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TQVDesigner::WMDropFiles(TMessage& Message) {
  HDROP drop = reinterpret_cast<HDROP>(Message.WParam);
  if (DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
    char name[kDropNameLength] = {};
    DragQueryFile(drop, 0, name, kDropNameLength);
    // Released before the open command, which may ask questions and show
    // dialogs of its own.
    DragFinish(drop);
    FPendingFile = platformFileName(name);
    try {
      BtnOpenClick(BtnOpen);
    } catch (...) {
      FPendingFile.clear();
      throw;
    }
    FPendingFile.clear();
  } else {
    DragFinish(drop);
  }
  Message.Result = 0;
}

// ---------------------------------------------------------------------------
bool TQVDesigner::askToSaveChanges() {
  if (MessageDlg(DesignerStr(sSaveChangesQuestion), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes)
    return SaveProject();
  return true;
}

void TQVDesigner::setProjectButtons(bool Enabled) {
  BtnSave->SetEnabled(Enabled);
  BtnClose->SetEnabled(Enabled);
  BtnDeployRuntime->SetEnabled(Enabled);
}

void TQVDesigner::updateExecuteButton() {
  BtnExecute->SetEnabled(FileExists(FProjectDir + AutorunFileEdit->Text()));
}

void TQVDesigner::showProjectPages() {
  // The welcome page's browser and its host control both give way, so that
  // nothing of the page lies over the settings.
  if (IWebBrowser2* browser = WelcomeBrowser->DefaultInterface()) browser->put_Visible(VARIANT_FALSE);
  WelcomeBrowser->SetVisible(false);
  TaskNavBar->SetVisible(true);
  Workspace->SetVisible(true);
  Notebook->SetActivePage("Autorun");
}

void TQVDesigner::hideProjectPages() {
  TaskNavBar->SetVisible(false);
  Workspace->SetVisible(false);
  WelcomeBrowser->SetVisible(true);
  if (IWebBrowser2* browser = WelcomeBrowser->DefaultInterface()) browser->put_Visible(VARIANT_TRUE);
}

void TQVDesigner::BtnNewClick(TObject* Sender) {
  if (FProjectOpen) {
    if (FModified && !askToSaveChanges()) return;
    FProjectOpen = false;
    BtnNewClick(Sender);
    return;
  }
  if (!SaveAutorunInfDialog->Execute()) return;
  std::string file = SaveAutorunInfDialog->FileName();
  if (FileExists(file) && !DeleteFile(file)) {
    errorBox(DesignerStr(sCannotCreateFile), true);
    return;
  }
  FProjectDir = ExtractFilePath(file);
  FProjectFile = file;
  setProjectButtons(true);
  showProjectPages();
  ResetProjectSettings();
  updateExecuteButton();
  FProjectOpen = true;
  // Nothing is on disk until the author saves, so the new project counts
  // as changed from the start.
  FModified = true;
}

void TQVDesigner::BtnCloseClick(TObject*) {
  if (FProjectOpen && FModified && !askToSaveChanges()) return;
  FProjectDir.clear();
  FProjectFile.clear();
  setProjectButtons(false);
  BtnExecute->SetEnabled(false);
  hideProjectPages();
  FProjectOpen = false;
}

void TQVDesigner::BtnExitClick(TObject*) { Close(); }

void TQVDesigner::ValueChanged(TObject*) { FModified = true; }

// ---------------------------------------------------------------------------
void TQVDesigner::SettingsNavBarItemClick(TObject*) { Notebook->SetActivePage("Autorun"); }
void TQVDesigner::OptionalNavBarItemClick(TObject*) { Notebook->SetActivePage("Other"); }
void TQVDesigner::GeneralNavBarItemClick(TObject*) { Notebook->SetActivePage("General"); }
void TQVDesigner::PositionAndSizeNavBarItemClick(TObject*) { Notebook->SetActivePage("Position"); }
void TQVDesigner::ToolbarAndButtonsNavBarItemClick(TObject*) { Notebook->SetActivePage("Toolbar"); }
void TQVDesigner::SkinNavBarItemClick(TObject*) { Notebook->SetActivePage("Skin"); }
void TQVDesigner::BackgroundMusicNavBarItemClick(TObject*) { Notebook->SetActivePage("Music"); }
void TQVDesigner::PluginNavBarItemClick(TObject*) { Notebook->SetActivePage("Extensions"); }
