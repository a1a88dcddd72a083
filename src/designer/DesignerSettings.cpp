// The settings file of a project, as the designer writes and reads it. The
// writer handles the keys in one fixed order; a key that holds the
// designer's default (or nothing) is deleted rather than written, so that
// the runtime's own defaults apply. The reader takes every absent key as
// the designer's default.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "designer/DesignerMain.h"
#include "designer/DesignerStrings.h"
#include "platform/classlib/Buttons.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/Dialogs.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/IniFiles.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/Files.h"

namespace {

constexpr const char* kAutorun = "autorun";
constexpr const char* kQuorvel = "quorvel";
constexpr const char* kSearch = "fulltextsearchengine";

// Rows of the border style box and of the unit boxes.
constexpr int kBorderNone = 0;
constexpr int kBorderDialog = 1;
constexpr int kBorderNormal = 2;
constexpr int kUnitPixel = 0;
constexpr int kUnitPercent = 1;
// The window height the runtime takes when the settings name none.
constexpr const char* kRuntimeHeight = "600";

// The part before each comma of Text + ",": "a,b" gives two parts, "a" one,
// "" one empty part.
std::vector<std::string> splitAtCommas(const std::string& Text) {
  std::vector<std::string> parts;
  std::string rest = Text + ",";
  std::size_t at;
  while ((at = rest.find(',')) != std::string::npos) {
    parts.push_back(rest.substr(0, at));
    rest.erase(0, at + 1);
  }
  return parts;
}

// Part Index of a list, or Fallback when the list is shorter.
std::string partOr(const std::vector<std::string>& Parts, std::size_t Index, const std::string& Fallback) {
  return Index < Parts.size() ? Parts[Index] : Fallback;
}

// The write rules of the key map.
class SettingsWriter {
 public:
  explicit SettingsWriter(TCustomIniFile& Ini) : FIni(Ini) {}
  void Always(const char* Section, const char* Key, const std::string& Value) {
    FIni.WriteString(Section, Key, Value);
  }
  // Written when not empty, else deleted.
  void WD(const char* Section, const char* Key, const std::string& Value) {
    if (Value.empty())
      FIni.DeleteKey(Section, Key);
    else
      FIni.WriteString(Section, Key, Value);
  }
  // Written unless it holds the designer's default.
  void UnlessDefault(const char* Section, const char* Key, const std::string& Value, const std::string& Default) {
    if (Value == Default)
      FIni.DeleteKey(Section, Key);
    else
      FIni.WriteString(Section, Key, Value);
  }
  void Bool(const char* Section, const char* Key, bool Checked) {
    if (Checked)
      FIni.WriteString(Section, Key, "1");
    else
      FIni.DeleteKey(Section, Key);
  }
  void InvertedBool(const char* Section, const char* Key, bool Checked) {
    if (Checked)
      FIni.DeleteKey(Section, Key);
    else
      FIni.WriteString(Section, Key, "0");
  }
  void Delete(const char* Section, const char* Key) { FIni.DeleteKey(Section, Key); }

 private:
  TCustomIniFile& FIni;
};

// The save's own copy of the settings file, beside it; a name starting
// with it is a leftover of a save that was killed.
std::string saveCopyOf(const std::string& File) { return File + ".qvsave"; }

void removeSaveLeftovers(const std::string& Copy) {
  const std::string folder = ExtractFilePath(Copy);
  WIN32_FIND_DATA found{};
  HANDLE search = FindFirstFile((Copy + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(folder + found.cFileName);
  } while (FindNextFile(search, &found));
  FindClose(search);
  for (const std::string& name : names) {
    SetFileAttributes(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFile(name.c_str());
  }
}

// Whether a file can be a settings file at all: a text file. A file with
// zero bytes in it (a program, a picture, an archive) is none, and opening
// it would show defaults and a save would append the settings to it.
bool isTextFile(const std::string& File) {
  HANDLE h = CreateFile(File.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  // A file that cannot be read is left to the reader, which sees defaults.
  if (h == INVALID_HANDLE_VALUE) return true;
  char buffer[65536];
  DWORD read = 0;
  bool text = true;
  if (ReadFile(h, buffer, sizeof buffer, &read, nullptr))
    text = std::memchr(buffer, '\0', read) == nullptr;
  CloseHandle(h);
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------
void TQVDesigner::WidthUnitCBChange(TObject*) {
  FModified = true;
  // A percent size that is no number raises the conversion error here, so
  // that the save stops before anything is written.
  bool widthTooLarge = WidthUnitCB->ItemIndex() == kUnitPercent && StrToInt(SizeXEdit->Text()) > 100;
  bool heightTooLarge = HeightUnitCB->ItemIndex() == kUnitPercent && StrToInt(SizeYEdit->Text()) > 100;
  if (widthTooLarge || heightTooLarge)
    MessageDlg(DesignerStr(sInvalidPercentSize), mtWarning, TMsgDlgButtons{mbCancel}, 0);
}

void TQVDesigner::BtnSaveClick(TObject*) { SaveProject(); }

bool TQVDesigner::SaveProject() {
  WidthUnitCBChange(this);
  // The runtime reads both sizes as percent when one is, so a pair in two
  // units would run in another size than the page shows; an absent size
  // key counts as its runtime default in pixels.
  if (SizeWindow->Checked() && (WidthUnitCB->ItemIndex() == kUnitPercent) != (HeightUnitCB->ItemIndex() == kUnitPercent)) {
    MessageDlg(DesignerStr(sMixedSizeUnits), mtWarning, TMsgDlgButtons{mbOK}, 0);
    Notebook->SetActivePage("Position");
    TComboBox* pixels = WidthUnitCB->ItemIndex() == kUnitPercent ? HeightUnitCB : WidthUnitCB;
    if (pixels->CanFocus()) pixels->SetFocus();
    return false;
  }

  const std::string copy = saveCopyOf(FProjectFile);
  removeSaveLeftovers(copy);
  auto fail = [&](const std::string& Reason) {
    removeSaveLeftovers(copy);
    throw Exception(Format(DesignerStr(sSaveFailed), {FProjectFile, Reason}));
  };
  // The copy starts as the old file, so that every key and section the
  // designer does not own stays, and becomes writable even when the file is
  // not: the replacement below is what a read-only file refuses.
  if (FileExists(FProjectFile)) {
    if (!CopyFile(FProjectFile.c_str(), copy.c_str(), FALSE)) fail(SysErrorMessage(GetLastError()));
    SetFileAttributes(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  try {
    TIniFile ini(copy);
    writeSettings(ini);
  } catch (Exception& E) {
    fail(E.Message());
  }
  if (!MoveFileEx(copy.c_str(), FProjectFile.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    fail(SysErrorMessage(GetLastError()));
  FModified = false;
  return true;
}

void TQVDesigner::writeSettings(TCustomIniFile& Ini) {
  SettingsWriter w(Ini);

  w.Always(kAutorun, "open", AutorunFileEdit->Text());
  w.WD(kAutorun, "icon", FIconFile);
  w.UnlessDefault(kQuorvel, "windowcaption", AutorunCaptionEdit->Text(), "Qvlaunch");
  w.WD(kQuorvel, "appcaption", TaskbarButtonCaptionEdit->Text());
  w.Always(kQuorvel, "startpage", AutorunHtmlFileEdit->Text());
  w.WD(kQuorvel, "altstartpage", OptionalAltHtmlFileEdit->Text());
  w.WD(kQuorvel, "splashscreenimg", SplashImageED->Text());
  w.WD(kQuorvel, "splashscreentime", SplashTimeED->Text());
  w.Bool(kQuorvel, "uselanguagestartpage", AutoMultiLanguageCB->Checked());
  w.WD(kQuorvel, "requirements", OptionalSystemReqEdit->Text());
  w.UnlessDefault(kQuorvel, "executeext", OptionalExecEdit->Text(), "exe");
  w.Bool(kQuorvel, "forceofflinemode", OptionalForceOfflineCB->Checked());
  w.Bool(kQuorvel, "singleinstance", PreventMultipleStartsCB->Checked());
  w.Bool(kQuorvel, "dropshadow", GeneralDropShadowCB->Checked());
  w.InvertedBool(kQuorvel, "noscrollbars", GeneralHideScrollbarsCB->Checked());
  w.Bool(kQuorvel, "fadein", GeneralFadeInCB->Checked());
  w.InvertedBool(kQuorvel, "defaultcursor", GeneralDefaultCursorCB->Checked());
  w.Bool(kQuorvel, "hidesplashscreen", GeneralHideSplashCB->Checked());
  w.InvertedBool(kQuorvel, "internalpopups", internalpopupsCB->Checked());
  w.WD(kQuorvel, "intromusic", MusicFileEdit->Text());
  w.Bool(kQuorvel, "loopmusic", MusicLoopCB->Checked());
  w.Bool(kQuorvel, "stopmusiconclick", MusicStopOnClickCB->Checked());
  w.Bool(kQuorvel, "showstatusbar", ShowStatusBarCB->Checked());
  w.Bool(kQuorvel, "disablescripterrors", SuppressScriptErrorsCB->Checked());
  w.Bool(kQuorvel, "hideheaderfooter", HidePrintHeaderFooterCB->Checked());

  switch (GeneralBorderStyleCBX->ItemIndex()) {
    case kBorderNone: w.Always(kQuorvel, "borderstyle", "none"); break;
    case kBorderDialog: w.Always(kQuorvel, "borderstyle", "dialog"); break;
    default: w.Delete(kQuorvel, "borderstyle"); break;
  }

  if (GeneralContextMenuSimple->Checked())
    w.Always(kQuorvel, "contextmenu", "simple");
  else if (GeneralContextMenuFull->Checked())
    w.Always(kQuorvel, "contextmenu", "full");
  else
    w.Delete(kQuorvel, "contextmenu");

  if (PositionCentered->Checked())
    w.Delete(kQuorvel, "windowposition");
  else
    w.Always(kQuorvel, "windowposition", PositionAbsoluteXEdit->Text() + "," + PositionAbsoluteYEdit->Text());

  if (SizeFullscreen->Checked()) {
    // The window size stays in the file for a later return to a window.
    w.Always(kQuorvel, "fullscreen", "1");
  } else {
    w.Delete(kQuorvel, "fullscreen");
    bool widthPercent = WidthUnitCB->ItemIndex() == kUnitPercent;
    bool heightPercent = HeightUnitCB->ItemIndex() == kUnitPercent;
    if (SizeXEdit->Text() == "400" && !widthPercent)
      w.Delete(kQuorvel, "windowwidth");
    else
      w.Always(kQuorvel, "windowwidth", SizeXEdit->Text() + (widthPercent ? "%" : ""));
    // Without the key the runtime's window is 600 pixels high, not the 300
    // a new project starts with: only that height can go without the key.
    if (SizeYEdit->Text() == kRuntimeHeight && !heightPercent)
      w.Delete(kQuorvel, "windowheight");
    else
      w.Always(kQuorvel, "windowheight", SizeYEdit->Text() + (heightPercent ? "%" : ""));
  }

  w.WD(kQuorvel, "skin", FSkinFile);
  std::string skinPosition = SkinPosXEdit->Text() + "," + SkinPosYEdit->Text() + "," + SkinWidthEdit->Text() + "," +
                             SkinHeightEdit->Text();
  w.UnlessDefault(kQuorvel, "skinposition", skinPosition, "0,0,100,100");
  w.WD(kQuorvel, "buttondir", ToolbarButtonDirEdit->Text());
  if (ToolbarColorCOL->Selected() == clNone)
    w.Delete(kQuorvel, "toolbarcolor");
  else
    Ini.WriteInteger(kQuorvel, "toolbarcolor", ToolbarColorCOL->Selected());

  std::string words;
  for (int i = 0; i < ToolbarButtonList->Items()->Count(); ++i) {
    if (!ToolbarButtonList->Checked(i)) continue;
    std::string word = ToolbarWordOfCaption(ToolbarButtonList->Items()->Strings(i));
    if (word.empty()) continue;
    if (!words.empty()) words += ",";
    words += word;
  }
  w.WD(kQuorvel, "toolbar", words);

  w.Bool(kSearch, "active", ExtUseSearchEngineCB->Checked());
  w.WD(kSearch, "index", ExtSearchIndexED->Text());
  w.WD(kSearch, "resulttemplate", ExtSearchTemplateED->Text());
}

// ---------------------------------------------------------------------------
void TQVDesigner::ResetProjectSettings() {
  AutorunFileEdit->SetText("qvlaunch.exe");
  FIconFile.clear();
  AutorunIconPreview->Picture()->SetGraphic(nullptr);
  AutorunCaptionEdit->SetText("Qvlaunch");
  // Unchecking empties and disables the caption edit.
  TaskbarButtonCaptionCB->SetChecked(false);
  TaskbarButtonCaptionEdit->SetText("");
  TaskbarButtonCaptionEdit->SetEnabled(false);
  AutorunHtmlFileEdit->SetText("");
  OptionalAltHtmlFileEdit->SetText("");
  SplashImageED->SetText("");
  SplashTimeED->SetText("2");
  AutoMultiLanguageCB->SetChecked(false);
  OptionalSystemReqEdit->SetText("");
  OptionalExecEdit->SetText("exe");
  OptionalForceOfflineCB->SetChecked(false);
  PreventMultipleStartsCB->SetChecked(false);
  GeneralDropShadowCB->SetChecked(false);
  GeneralHideScrollbarsCB->SetChecked(true);
  GeneralFadeInCB->SetChecked(false);
  GeneralDefaultCursorCB->SetChecked(true);
  GeneralHideSplashCB->SetChecked(false);
  internalpopupsCB->SetChecked(true);
  MusicFileEdit->SetText("");
  MusicLoopCB->SetChecked(false);
  MusicStopOnClickCB->SetChecked(false);
  ShowStatusBarCB->SetChecked(false);
  SuppressScriptErrorsCB->SetChecked(false);
  HidePrintHeaderFooterCB->SetChecked(true);
  GeneralBorderStyleCBX->SetItemIndex(kBorderNormal);
  GeneralContextMenuNone->SetChecked(true);
  // The position edits keep their texts.
  PositionCentered->SetChecked(true);
  PositionAbsoluteXEdit->SetEnabled(false);
  PositionAbsoluteYEdit->SetEnabled(false);
  SizeWindow->SetChecked(true);
  SizeXEdit->SetText("400");
  SizeYEdit->SetText("300");
  WidthUnitCB->SetItemIndex(kUnitPixel);
  HeightUnitCB->SetItemIndex(kUnitPixel);
  SizeXEdit->SetEnabled(true);
  SizeYEdit->SetEnabled(true);
  WidthUnitCB->SetEnabled(true);
  HeightUnitCB->SetEnabled(true);
  // The skin position edits and the toolbar colour keep what they show.
  FSkinFile.clear();
  // The preview shows the project's skin, and a new project has none.
  SkinPreview->Picture()->SetGraphic(nullptr);
  ToolbarButtonDirEdit->SetText("");
  for (int i = 0; i < ToolbarButtonList->Items()->Count(); ++i) ToolbarButtonList->SetChecked(i, false);
  BtnPreviewImageList->Clear();
  RefreshPreviewButtons();
  ExtUseSearchEngineCB->SetChecked(false);
  ExtUseSearchEngineCBClick(ExtUseSearchEngineCB);
  ExtSearchIndexED->SetText("Index.qvix");
  ExtSearchTemplateED->SetText("");
}

void TQVDesigner::BtnOpenClick(TObject* Sender) {
  if (FProjectOpen) {
    if (FModified && !askToSaveChanges()) return;
    FProjectOpen = false;
    BtnOpenClick(Sender);
    return;
  }
  std::string file;
  if (!FPendingFile.empty() && FileExists(FPendingFile)) {
    file = FPendingFile;
  } else {
    if (!OpenAutorunInfDialog->Execute()) return;
    file = OpenAutorunInfDialog->FileName();
  }
  if (!isTextFile(file)) {
    errorBox(Format(DesignerStr(sNotASettingsFile), {file}), true);
    return;
  }
  FProjectDir = ExtractFilePath(file);
  FProjectFile = file;
  setProjectButtons(true);
  showProjectPages();
  FProjectOpen = true;
  ResetProjectSettings();

  TIniFile ini(FProjectFile);
  AutorunFileEdit->SetText(ini.ReadString(kAutorun, "open", "qvlaunch.exe"));
  updateExecuteButton();

  FIconFile = ini.ReadString(kAutorun, "icon", "");
  if (FileExists(FProjectDir + FIconFile)) {
    try {
      AutorunIconPreview->Picture()->LoadFromFile(FProjectDir + FIconFile);
    } catch (Exception&) {
      errorBox(DesignerStr(sIconFileNotFound), true);
    }
  }

  AutorunCaptionEdit->SetText(ini.ReadString(kQuorvel, "windowcaption", "Qvlaunch"));
  std::string appCaption = ini.ReadString(kQuorvel, "appcaption", "");
  if (!appCaption.empty()) TaskbarButtonCaptionCB->SetChecked(true);
  TaskbarButtonCaptionEdit->SetText(appCaption);
  AutorunHtmlFileEdit->SetText(ini.ReadString(kQuorvel, "startpage", ""));
  OptionalAltHtmlFileEdit->SetText(ini.ReadString(kQuorvel, "altstartpage", ""));
  SplashImageED->SetText(ini.ReadString(kQuorvel, "splashscreenimg", ""));
  SplashTimeED->SetText(ini.ReadString(kQuorvel, "splashscreentime", ""));
  AutoMultiLanguageCB->SetChecked(ini.ReadBool(kQuorvel, "uselanguagestartpage", false));
  OptionalSystemReqEdit->SetText(ini.ReadString(kQuorvel, "requirements", ""));
  OptionalExecEdit->SetText(ini.ReadString(kQuorvel, "executeext", "exe"));
  OptionalForceOfflineCB->SetChecked(ini.ReadBool(kQuorvel, "forceofflinemode", false));
  PreventMultipleStartsCB->SetChecked(ini.ReadBool(kQuorvel, "singleinstance", false));
  GeneralDropShadowCB->SetChecked(ini.ReadBool(kQuorvel, "dropshadow", false));
  GeneralHideScrollbarsCB->SetChecked(ini.ReadBool(kQuorvel, "noscrollbars", true));
  GeneralFadeInCB->SetChecked(ini.ReadBool(kQuorvel, "fadein", false));
  GeneralDefaultCursorCB->SetChecked(ini.ReadBool(kQuorvel, "defaultcursor", true));
  GeneralHideSplashCB->SetChecked(ini.ReadBool(kQuorvel, "hidesplashscreen", false));
  internalpopupsCB->SetChecked(ini.ReadBool(kQuorvel, "internalpopups", true));
  MusicFileEdit->SetText(ini.ReadString(kQuorvel, "intromusic", ""));
  MusicLoopCB->SetChecked(ini.ReadBool(kQuorvel, "loopmusic", false));
  MusicStopOnClickCB->SetChecked(ini.ReadBool(kQuorvel, "stopmusiconclick", false));
  ShowStatusBarCB->SetChecked(ini.ReadBool(kQuorvel, "showstatusbar", false));
  SuppressScriptErrorsCB->SetChecked(ini.ReadBool(kQuorvel, "disablescripterrors", false));
  HidePrintHeaderFooterCB->SetChecked(ini.ReadBool(kQuorvel, "hideheaderfooter", false));

  std::string border = ini.ReadString(kQuorvel, "borderstyle", "window");
  GeneralBorderStyleCBX->SetItemIndex(border == "none"     ? kBorderNone
                                      : border == "dialog" ? kBorderDialog
                                                           : kBorderNormal);

  std::string contextMenu = ini.ReadString(kQuorvel, "contextmenu", "none");
  if (contextMenu == "full")
    GeneralContextMenuFull->SetChecked(true);
  else if (contextMenu == "simple")
    GeneralContextMenuSimple->SetChecked(true);
  else
    GeneralContextMenuNone->SetChecked(true);

  std::string position = ini.ReadString(kQuorvel, "windowposition", "center");
  if (position == "center") {
    PositionCentered->SetChecked(true);
    PositionAbsoluteXEdit->SetEnabled(false);
    PositionAbsoluteYEdit->SetEnabled(false);
  } else {
    std::vector<std::string> parts = splitAtCommas(position);
    PositionAbsoluteXEdit->SetText(partOr(parts, 0, "0"));
    PositionAbsoluteYEdit->SetText(partOr(parts, 1, "0"));
    PositionAbsolute->SetChecked(true);
    PositionAbsoluteXEdit->SetEnabled(true);
    PositionAbsoluteYEdit->SetEnabled(true);
  }

  if (ini.ReadBool(kQuorvel, "fullscreen", false)) {
    SizeFullscreen->SetChecked(true);
    SizeXEdit->SetEnabled(false);
    SizeYEdit->SetEnabled(false);
    WidthUnitCB->SetEnabled(false);
    HeightUnitCB->SetEnabled(false);
  } else {
    auto readSize = [&](const char* Key, const char* Default, TEdit* Edit, TComboBox* Unit) {
      std::string value = ini.ReadString(kQuorvel, Key, Default);
      if (value.find('%') != std::string::npos) {
        value.pop_back();
        Edit->SetText(value);
        Unit->SetItemIndex(kUnitPercent);
      } else {
        Edit->SetText(value);
        Unit->SetItemIndex(kUnitPixel);
      }
    };
    readSize("windowwidth", "400", SizeXEdit, WidthUnitCB);
    readSize("windowheight", kRuntimeHeight, SizeYEdit, HeightUnitCB);
  }

  FSkinFile = ini.ReadString(kQuorvel, "skin", "");
  if (FileExists(FProjectDir + "\\" + FSkinFile)) {
    try {
      SkinPreview->Picture()->LoadFromFile(FProjectDir + "\\" + FSkinFile);
    } catch (Exception&) {
      errorBox(DesignerStr(sSkinFileNotFound), true);
    }
  }

  std::vector<std::string> skin = splitAtCommas(ini.ReadString(kQuorvel, "skinposition", "0,0,100,100"));
  SkinPosXEdit->SetText(partOr(skin, 0, "0"));
  SkinPosYEdit->SetText(partOr(skin, 1, "0"));
  SkinWidthEdit->SetText(partOr(skin, 2, "100"));
  SkinHeightEdit->SetText(partOr(skin, 3, "100"));

  ToolbarButtonDirEdit->SetText(ini.ReadString(kQuorvel, "buttondir", ""));
  ToolbarColorCOL->SetSelected(static_cast<TColor>(ini.ReadInteger(kQuorvel, "toolbarcolor", clNone)));
  ToolbarColorCOLChange(ToolbarColorCOL);

  std::string toolbar = ini.ReadString(kQuorvel, "toolbar", "");
  if (!toolbar.empty()) {
    // Without its bitmaps the preview stays empty, but the rows keep the
    // file's buttons, so that a save does not drop them.
    const std::string folder = buttonFolder();
    if (!DirectoryExists(folder))
      errorBox(DesignerStr(sButtonFolderMissing), true);
    else
      LoadButtonBitmaps(folder);
    std::vector<std::string> words = splitAtCommas(toolbar);
    TStrings* rows = ToolbarButtonList->Items();
    for (std::size_t i = 0; i < words.size(); ++i) {
      int position = static_cast<int>(i);
      int row = rows->IndexOf(ToolbarCaptionOfWord(words[i]));
      // An unknown word, or a position past the rows, is skipped; the
      // words after it keep their places.
      if (row < 0 || position >= rows->Count()) continue;
      std::vector<bool> checks;
      for (int r = 0; r < rows->Count(); ++r) checks.push_back(ToolbarButtonList->Checked(r));
      bool moved = checks[static_cast<std::size_t>(row)];
      checks.erase(checks.begin() + row);
      checks.insert(checks.begin() + position, moved);
      rows->Move(row, position);
      for (int r = 0; r < rows->Count(); ++r) ToolbarButtonList->SetChecked(r, checks[static_cast<std::size_t>(r)]);
      ToolbarButtonList->SetChecked(position, true);
    }
  }
  RefreshPreviewButtons();

  ExtUseSearchEngineCB->SetChecked(ini.ReadBool(kSearch, "active", false));
  ExtUseSearchEngineCBClick(ExtUseSearchEngineCB);
  ExtSearchIndexED->SetText(ini.ReadString(kSearch, "index", ""));
  ExtSearchTemplateED->SetText(ini.ReadString(kSearch, "resulttemplate", ""));

  FModified = false;
}
