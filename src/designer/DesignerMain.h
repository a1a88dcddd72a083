// The menu designer's main window. It holds one project at a time: the
// settings file that the runtime reads beside itself on the disc. The
// project's values live only in the controls of the eight settings pages;
// the open command reads the file into them and the save command writes
// them back, key by key (DesignerSettings.cpp). While no project is open the
// page area is hidden and the welcome page shows in its place.
//
// Units of this window:
// - DesignerMain.cpp: start, form events, dropped files, the project's
//   lifecycle (new, close, the save question), the page handlers.
// - DesignerSettings.cpp: the key map, the writer (BtnSaveClick), the reader
//   (BtnOpenClick) and the new-project values (ResetProjectSettings).
// - DesignerPages.cpp: the pages' own handlers: file pickers, the digit
//   filter, radio groups, the toolbar page with its preview, the folder
//   browser, the music preview, the search-engine box.
//
// - DesignerCommands.cpp: the commands that reach outside the project file
//   (deploy, test run, index tool, help, information), the welcome page's
//   handlers, the update check, the user's own browser and the two header
//   logos.
// The news-service client is KelvuSystem, the language switch reinit and
// the logo's picture dialog EasterEggForm.
//
// The navigation bar TaskNavBar, left of the page area, is shown and hidden
// with it; a click on one of its links runs the link's page handler below.
#pragma once

#include <string>

#include "platform/browser/OleInterfaces.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Messages.h"

class TPanel;
class TImage;
class TToolBar;
class TToolButton;
class TNotebook;
class TWebHost;
class TOpenDialog;
class TSaveDialog;
class TImageList;
class TEdit;
class TSpeedButton;
class TButton;
class TCheckBox;
class TRadioButton;
class TComboBox;
class TColorBox;
class TCheckListBox;
class TLabel;
class TKelvuSystem;
class TCustomIniFile;
class TuiNavBar;

// Every component of the form resource that the code uses, with its class.
#define QVD_COMPONENTS(X)                                                                                     \
  X(TPanel, HeaderPanel)                                                                                       \
  X(TImage, LogoImage)                                                                                         \
  X(TImage, HalvestaLogo)                                                                                      \
  X(TToolBar, MainToolbar)                                                                                     \
  X(TToolButton, BtnNew)                                                                                       \
  X(TToolButton, BtnOpen)                                                                                      \
  X(TToolButton, BtnSave)                                                                                      \
  X(TToolButton, BtnClose)                                                                                     \
  X(TToolButton, BtnExecute)                                                                                   \
  X(TToolButton, BtnDeployRuntime)                                                                             \
  X(TToolButton, BtnInfo)                                                                                      \
  X(TToolButton, BtnHelp)                                                                                      \
  X(TToolButton, BtnExit)                                                                                      \
  X(TuiNavBar, TaskNavBar)                                                                                     \
  X(TPanel, Workspace)                                                                                         \
  X(TNotebook, Notebook)                                                                                       \
  X(TWebHost, WelcomeBrowser)                                                                                  \
  X(TSaveDialog, SaveAutorunInfDialog)                                                                         \
  X(TOpenDialog, OpenAutorunInfDialog)                                                                         \
  X(TOpenDialog, OpenExeDialog)                                                                                \
  X(TOpenDialog, OpenIconDialog)                                                                               \
  X(TOpenDialog, OpenHtmlDialog)                                                                               \
  X(TOpenDialog, OpenBitmapDialog)                                                                             \
  X(TOpenDialog, OpenMusicDialog)                                                                              \
  X(TOpenDialog, OpenSearchTemplateDialog)                                                                     \
  X(TImageList, BtnGlyphs)                                                                                     \
  X(TImageList, BtnGrayGlyphs)                                                                                 \
  X(TImageList, BtnPreviewImageList)                                                                           \
  /* page "Autorun" */                                                                                         \
  X(TEdit, AutorunFileEdit)                                                                                    \
  X(TSpeedButton, AutorunFileOpenButton)                                                                       \
  X(TImage, AutorunIconPreview)                                                                                \
  X(TButton, AutorunOpenIconButton)                                                                            \
  X(TButton, RemoveIconButton)                                                                                 \
  X(TEdit, AutorunHtmlFileEdit)                                                                                \
  X(TSpeedButton, autorunOpenHTMLButton)                                                                       \
  X(TCheckBox, AutoMultiLanguageCB)                                                                            \
  X(TEdit, AutorunCaptionEdit)                                                                                 \
  X(TCheckBox, TaskbarButtonCaptionCB)                                                                         \
  X(TEdit, TaskbarButtonCaptionEdit)                                                                           \
  /* page "General" */                                                                                         \
  X(TComboBox, GeneralBorderStyleCBX)                                                                          \
  X(TEdit, SplashImageED)                                                                                      \
  X(TSpeedButton, SpeedButton1)                                                                                \
  X(TEdit, SplashTimeED)                                                                                       \
  X(TCheckBox, GeneralDropShadowCB)                                                                            \
  X(TCheckBox, GeneralFadeInCB)                                                                                \
  X(TCheckBox, GeneralHideScrollbarsCB)                                                                        \
  X(TCheckBox, GeneralDefaultCursorCB)                                                                         \
  X(TCheckBox, GeneralHideSplashCB)                                                                            \
  X(TCheckBox, internalpopupsCB)                                                                               \
  X(TRadioButton, GeneralContextMenuFull)                                                                      \
  X(TRadioButton, GeneralContextMenuNone)                                                                      \
  X(TRadioButton, GeneralContextMenuSimple)                                                                    \
  X(TCheckBox, ShowStatusBarCB)                                                                                \
  X(TCheckBox, HidePrintHeaderFooterCB)                                                                        \
  X(TCheckBox, SuppressScriptErrorsCB)                                                                         \
  /* page "Position" */                                                                                        \
  X(TRadioButton, PositionCentered)                                                                            \
  X(TRadioButton, PositionAbsolute)                                                                            \
  X(TEdit, PositionAbsoluteXEdit)                                                                              \
  X(TEdit, PositionAbsoluteYEdit)                                                                              \
  X(TRadioButton, SizeFullscreen)                                                                              \
  X(TRadioButton, SizeWindow)                                                                                  \
  X(TEdit, SizeXEdit)                                                                                          \
  X(TEdit, SizeYEdit)                                                                                          \
  X(TComboBox, WidthUnitCB)                                                                                    \
  X(TComboBox, HeightUnitCB)                                                                                   \
  /* page "Toolbar" */                                                                                         \
  X(TColorBox, ToolbarColorCOL)                                                                                \
  X(TPanel, ToolbarHolder)                                                                                     \
  X(TToolBar, ToolbarPreview)                                                                                  \
  X(TToolButton, tb1)                                                                                          \
  X(TToolButton, tb2)                                                                                          \
  X(TToolButton, tb3)                                                                                          \
  X(TToolButton, tb4)                                                                                          \
  X(TToolButton, tb5)                                                                                          \
  X(TToolButton, tb6)                                                                                          \
  X(TToolButton, tb7)                                                                                          \
  X(TEdit, ToolbarButtonDirEdit)                                                                               \
  X(TButton, ToolbarButtonDirSelectButton)                                                                     \
  X(TButton, ToolbarButtonDirClear)                                                                            \
  X(TCheckListBox, ToolbarButtonList)                                                                          \
  X(TButton, ToolbarButtonMoveUp)                                                                              \
  X(TButton, ToolbarButtonMoveDown)                                                                            \
  /* page "Skin" */                                                                                            \
  X(TImage, SkinPreview)                                                                                       \
  X(TButton, SkinOpenButton)                                                                                   \
  X(TButton, SkinClearButton)                                                                                  \
  X(TEdit, SkinPosXEdit)                                                                                       \
  X(TEdit, SkinPosYEdit)                                                                                       \
  X(TEdit, SkinWidthEdit)                                                                                      \
  X(TEdit, SkinHeightEdit)                                                                                     \
  /* page "Music" */                                                                                           \
  X(TEdit, MusicFileEdit)                                                                                      \
  X(TSpeedButton, MusicFileOpenButton)                                                                         \
  X(TButton, MusicPlayButton)                                                                                  \
  X(TButton, MusicStopButton)                                                                                  \
  X(TCheckBox, MusicLoopCB)                                                                                    \
  X(TCheckBox, MusicStopOnClickCB)                                                                             \
  /* page "Other" */                                                                                           \
  X(TEdit, OptionalAltHtmlFileEdit)                                                                            \
  X(TSpeedButton, OptionalOpenAltHtmlButton)                                                                   \
  X(TEdit, OptionalSystemReqEdit)                                                                              \
  X(TEdit, OptionalExecEdit)                                                                                   \
  X(TCheckBox, OptionalForceOfflineCB)                                                                         \
  X(TCheckBox, PreventMultipleStartsCB)                                                                        \
  /* page "Extensions" */                                                                                      \
  X(TCheckBox, ExtUseSearchEngineCB)                                                                           \
  X(TEdit, ExtSearchIndexED)                                                                                   \
  X(TEdit, ExtSearchTemplateED)                                                                                \
  X(TSpeedButton, SpeedButton3)                                                                                \
  X(TButton, StartTrawlbuildButton)                                                                            \
  X(TLabel, Label15)                                                                                           \
  X(TPanel, Panel9)                                                                                            \
  X(TButton, Button1)

class TQVDesigner : public TForm {
  QV_CLASS(TQVDesigner, TForm)
  explicit TQVDesigner(TComponent* AOwner);
  ~TQVDesigner() override;

  // --- components of the form resource
#define QVD_DECLARE(Class, Name) Class* Name = nullptr;
  QVD_COMPONENTS(QVD_DECLARE)
#undef QVD_DECLARE

  // --- project state
  bool FProjectOpen = false;
  bool FModified = false;
  // The settings file's folder, with its trailing backslash, and the file.
  std::string FProjectDir;
  std::string FProjectFile;
  // A file the open command takes without asking (command line, drop).
  std::string FPendingFile;
  // The project's icon and skin, relative to the project folder; they have
  // no edit of their own.
  std::string FIconFile;
  std::string FSkinFile;
  // The news-service client, from FormCreate to FormClose.
  TKelvuSystem* FKelvu = nullptr;

  // --- form events (DesignerMain.cpp)
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void WMDropFiles(TMessage& Message);

  // --- the project's lifecycle (DesignerMain.cpp)
  void BtnNewClick(TObject* Sender);
  void BtnCloseClick(TObject* Sender);
  void BtnExitClick(TObject* Sender);
  void ValueChanged(TObject* Sender);

  // --- the page handlers: the navigation bar's items call them
  void SettingsNavBarItemClick(TObject* Sender);
  void OptionalNavBarItemClick(TObject* Sender);
  void GeneralNavBarItemClick(TObject* Sender);
  void PositionAndSizeNavBarItemClick(TObject* Sender);
  void ToolbarAndButtonsNavBarItemClick(TObject* Sender);
  void SkinNavBarItemClick(TObject* Sender);
  void BackgroundMusicNavBarItemClick(TObject* Sender);
  void PluginNavBarItemClick(TObject* Sender);

  // --- settings writer and reader (DesignerSettings.cpp)
  void BtnSaveClick(TObject* Sender);
  // The save command's work. The settings are written to a copy of the file
  // beside it, which then replaces the file in one step, so the file holds
  // the old or the new settings whole, with every key the designer does
  // not own kept. False when nothing was written because the author must
  // choose first (a window size in two units); a file that cannot be
  // written raises, and the old settings stay.
  bool SaveProject();
  void BtnOpenClick(TObject* Sender);
  void ResetProjectSettings();
  // The percent check of the window size; also the unit boxes' OnChange.
  void WidthUnitCBChange(TObject* Sender);

  // --- the pages' handlers (DesignerPages.cpp)
  void SplashTimeEDKeyPress(TObject* Sender, char& Key);
  void AutoMultiLanguageCBClick(TObject* Sender);
  void TaskbarButtonCaptionCBClick(TObject* Sender);
  void RemoveIconButtonClick(TObject* Sender);
  void SkinClearButtonClick(TObject* Sender);
  void PositionAbsoluteClick(TObject* Sender);
  void SizeWindowClick(TObject* Sender);
  void ExtUseSearchEngineCBClick(TObject* Sender);
  void Label15Click(TObject* Sender);
  void MusicPlayButtonClick(TObject* Sender);
  void MusicStopButtonClick(TObject* Sender);
  void ToolbarButtonListClickCheck(TObject* Sender);
  void ToolbarButtonMoveUpClick(TObject* Sender);
  void ToolbarButtonMoveDownClick(TObject* Sender);
  void ToolbarColorCOLChange(TObject* Sender);
  void ToolbarButtonDirSelectButtonClick(TObject* Sender);
  void ToolbarButtonDirClearClick(TObject* Sender);
  void AutorunFileOpenButtonClick(TObject* Sender);
  void AutorunOpenIconButtonClick(TObject* Sender);
  void autorunOpenHTMLButtonClick(TObject* Sender);
  void OptionalOpenAltHtmlButtonClick(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void SkinOpenButtonClick(TObject* Sender);
  void MusicFileOpenButtonClick(TObject* Sender);
  void SpeedButton3Click(TObject* Sender);

  // --- commands, welcome page, update check, logos (DesignerCommands.cpp)
  void BtnDeployRuntimeClick(TObject* Sender);
  void BtnExecuteClick(TObject* Sender);
  void StartTrawlbuildButtonClick(TObject* Sender);
  void BtnHelpClick(TObject* Sender);
  void BtnInfoClick(TObject* Sender);
  void WelcomeBrowserBeforeNavigate2(TObject* Sender, IDispatch* pDisp, const VARIANT& URL, const VARIANT& Flags,
                                     const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
                                     bool& Cancel);
  HRESULT WelcomeBrowserShowContextMenu(DWORD dwID, const POINT* ppt, IUnknown* pcmdtReserved,
                                        IDispatch* pdispReserved);
  HRESULT WelcomeBrowserTranslateUrl(DWORD dwTranslate, LPCOLESTR pchURLIn, LPOLESTR& ppchURLOut);
  void CheckForUpdates();
  // The update request as the maker's update page reads it: scrambled
  // character by character, then percent-encoded.
  static std::string EncodeUpdateRequest(const std::string& Text);
  static char MapRequestChar(char C);
  // The user's browser command for web addresses; empty when there is none.
  static std::string GetBrowserOpenCommand();
  void OpenInExternalBrowser(const std::string& Address);
  void HalvestaLogoClick(TObject* Sender);
  void LogoImageClick(TObject* Sender);

  // Loads the seven button bitmaps of a folder into the preview list; stops
  // with the size message at the first picture of another size.
  void LoadButtonBitmaps(const std::string& Folder);
  // Shows or hides preview button Index (0 to 6) after row Index.
  void RefreshPreviewButton(int Index);
  void RefreshPreviewButtons();
  // The toolbar word of a row caption ("" for an unknown caption), and the
  // preview image of it (-1).
  static std::string ToolbarWordOfCaption(const std::string& Caption);
  static int ToolbarImageOfCaption(const std::string& Caption);
  static std::string ToolbarCaptionOfWord(const std::string& Word);

  QV_PUBLISHED(TQVDesigner) {
    P.Method("FormCreate", &TQVDesigner::FormCreate);
    P.Method("FormShow", &TQVDesigner::FormShow);
    P.Method("FormClose", &TQVDesigner::FormClose);
    P.Method("FormDestroy", &TQVDesigner::FormDestroy);
    P.Method("BtnNewClick", &TQVDesigner::BtnNewClick);
    P.Method("BtnOpenClick", &TQVDesigner::BtnOpenClick);
    P.Method("BtnSaveClick", &TQVDesigner::BtnSaveClick);
    P.Method("BtnCloseClick", &TQVDesigner::BtnCloseClick);
    P.Method("BtnExitClick", &TQVDesigner::BtnExitClick);
    P.Method("ValueChanged", &TQVDesigner::ValueChanged);
    P.Method("SettingsNavBarItemClick", &TQVDesigner::SettingsNavBarItemClick);
    P.Method("OptionalNavBarItemClick", &TQVDesigner::OptionalNavBarItemClick);
    P.Method("GeneralNavBarItemClick", &TQVDesigner::GeneralNavBarItemClick);
    P.Method("PositionAndSizeNavBarItemClick", &TQVDesigner::PositionAndSizeNavBarItemClick);
    P.Method("ToolbarAndButtonsNavBarItemClick", &TQVDesigner::ToolbarAndButtonsNavBarItemClick);
    P.Method("SkinNavBarItemClick", &TQVDesigner::SkinNavBarItemClick);
    P.Method("BackgroundMusicNavBarItemClick", &TQVDesigner::BackgroundMusicNavBarItemClick);
    P.Method("PluginNavBarItemClick", &TQVDesigner::PluginNavBarItemClick);
    P.Method("WidthUnitCBChange", &TQVDesigner::WidthUnitCBChange);
    P.Method("SplashTimeEDKeyPress", &TQVDesigner::SplashTimeEDKeyPress);
    P.Method("AutoMultiLanguageCBClick", &TQVDesigner::AutoMultiLanguageCBClick);
    P.Method("TaskbarButtonCaptionCBClick", &TQVDesigner::TaskbarButtonCaptionCBClick);
    P.Method("RemoveIconButtonClick", &TQVDesigner::RemoveIconButtonClick);
    P.Method("SkinClearButtonClick", &TQVDesigner::SkinClearButtonClick);
    P.Method("PositionAbsoluteClick", &TQVDesigner::PositionAbsoluteClick);
    P.Method("SizeWindowClick", &TQVDesigner::SizeWindowClick);
    P.Method("ExtUseSearchEngineCBClick", &TQVDesigner::ExtUseSearchEngineCBClick);
    P.Method("Label15Click", &TQVDesigner::Label15Click);
    P.Method("MusicPlayButtonClick", &TQVDesigner::MusicPlayButtonClick);
    P.Method("MusicStopButtonClick", &TQVDesigner::MusicStopButtonClick);
    P.Method("ToolbarButtonListClickCheck", &TQVDesigner::ToolbarButtonListClickCheck);
    P.Method("ToolbarButtonMoveUpClick", &TQVDesigner::ToolbarButtonMoveUpClick);
    P.Method("ToolbarButtonMoveDownClick", &TQVDesigner::ToolbarButtonMoveDownClick);
    P.Method("ToolbarColorCOLChange", &TQVDesigner::ToolbarColorCOLChange);
    P.Method("ToolbarButtonDirSelectButtonClick", &TQVDesigner::ToolbarButtonDirSelectButtonClick);
    P.Method("ToolbarButtonDirClearClick", &TQVDesigner::ToolbarButtonDirClearClick);
    P.Method("AutorunFileOpenButtonClick", &TQVDesigner::AutorunFileOpenButtonClick);
    P.Method("AutorunOpenIconButtonClick", &TQVDesigner::AutorunOpenIconButtonClick);
    P.Method("autorunOpenHTMLButtonClick", &TQVDesigner::autorunOpenHTMLButtonClick);
    P.Method("OptionalOpenAltHtmlButtonClick", &TQVDesigner::OptionalOpenAltHtmlButtonClick);
    P.Method("SpeedButton1Click", &TQVDesigner::SpeedButton1Click);
    P.Method("SkinOpenButtonClick", &TQVDesigner::SkinOpenButtonClick);
    P.Method("MusicFileOpenButtonClick", &TQVDesigner::MusicFileOpenButtonClick);
    P.Method("SpeedButton3Click", &TQVDesigner::SpeedButton3Click);
    P.Method("BtnDeployRuntimeClick", &TQVDesigner::BtnDeployRuntimeClick);
    P.Method("BtnExecuteClick", &TQVDesigner::BtnExecuteClick);
    P.Method("StartTrawlbuildButtonClick", &TQVDesigner::StartTrawlbuildButtonClick);
    P.Method("BtnHelpClick", &TQVDesigner::BtnHelpClick);
    P.Method("BtnInfoClick", &TQVDesigner::BtnInfoClick);
    P.Method("WelcomeBrowserBeforeNavigate2", &TQVDesigner::WelcomeBrowserBeforeNavigate2);
    P.Method("WelcomeBrowserShowContextMenu", &TQVDesigner::WelcomeBrowserShowContextMenu);
    P.Method("WelcomeBrowserTranslateUrl", &TQVDesigner::WelcomeBrowserTranslateUrl);
    P.Method("HalvestaLogoClick", &TQVDesigner::HalvestaLogoClick);
    P.Method("LogoImageClick", &TQVDesigner::LogoImageClick);
  }

 protected:
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

 private:
  // The save question when the open project has unsaved changes; Yes saves.
  // False when the author answered Yes but the save wrote nothing, so the
  // command that asked must not let the changes go.
  bool askToSaveChanges();
  // Shows the page area in place of the welcome page, and back.
  void showProjectPages();
  void hideProjectPages();
  void setProjectButtons(bool Enabled);
  // BtnExecute is usable exactly when the program named by the "open" key
  // lies in the project folder.
  void updateExecuteButton();
  // A path chosen in a picker, relative to the project folder.
  std::string relativeToProject(const std::string& Path) const;
  // Runs a picker's dialog from the project folder; the chosen path,
  // relative to the project folder, or false for a cancel.
  bool pickFile(TOpenDialog* Dialog, std::string& Relative);
  void loadPictures();
  // The folder the runtime takes the toolbar's bitmaps from: the project
  // folder + the button folder, or its own "buttons" folder without one.
  std::string buttonFolder() const;
  // Writes the settings of the controls, key by key, through Ini.
  void writeSettings(TCustomIniFile& Ini);
  // The designer's own folder, with its trailing backslash.
  static std::string designerFolder();
  // An error box with the error symbol and the given buttons.
  static void errorBox(const std::string& Text, bool OkButton);
};

extern TQVDesigner* QVDesigner;
