// The handlers of the settings pages that do more than mark the project
// changed: the file pickers (which store paths relative to the project
// folder), the digit filter of the numeric edits, the radio groups, the
// toolbar page with its live preview and the button folder, the music
// preview and the search-engine box.
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
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/SysUtils.h"
#include "platform/com/Ole.h"
#include "platform/os/kernel/Shell.h"
#include "platform/os/kernel/Sound.h"
#include "platform/os/user/CommonDialogs.h"
#include "platform/os/user/Window.h"

namespace {

// The runtime's button folder when the settings name none.
constexpr const char* kRuntimeButtonFolder = "buttons\\";

// The maker's page of extensions for the runtime.
constexpr const char* kExtensionsPage = "http://www.halvesta.de/quorvel/erweiterungen.html";

// The toolbar rows in the runtime's button order: the row's caption (a
// resource string), the word the settings file stores, the preview image
// and the bitmap the button folder holds for it.
struct ToolbarRow {
  TDesignerString Caption;
  const char* Word;
  const char* Bitmap;
};
constexpr ToolbarRow kRows[] = {
    {sRowExit, "exit", "exit.bmp"},       {sRowPrint, "print", "print.bmp"},
    {sRowBack, "goback", "goback.bmp"},   {sRowForward, "goforward", "goforward.bmp"},
    {sRowHome, "gohome", "gohome.bmp"},   {sRowSearch, "search", "search.bmp"},
    {sRowCopy, "copy", "copy.bmp"},
};
constexpr int kRowCount = static_cast<int>(sizeof kRows / sizeof kRows[0]);

// Hands the start folder to the folder browser once it is up.
int folderBrowserCallback(HWND hwnd, UINT msg, LPARAM, LPARAM lpData) {
  if (msg == BFFM_INITIALIZED && lpData != 0) SendMessage(hwnd, BFFM_SETSELECTION, TRUE, lpData);
  return 0;
}

}  // namespace

// ---------------------------------------------------------------------------
std::string TQVDesigner::ToolbarWordOfCaption(const std::string& Caption) {
  for (const ToolbarRow& row : kRows)
    if (DesignerStr(row.Caption) == Caption) return row.Word;
  return {};
}

int TQVDesigner::ToolbarImageOfCaption(const std::string& Caption) {
  for (int i = 0; i < kRowCount; ++i)
    if (DesignerStr(kRows[i].Caption) == Caption) return i;
  return -1;
}

std::string TQVDesigner::ToolbarCaptionOfWord(const std::string& Word) {
  for (const ToolbarRow& row : kRows)
    if (Word == row.Word) return DesignerStr(row.Caption);
  return {};
}

std::string TQVDesigner::relativeToProject(const std::string& Path) const {
  return ExtractRelativePath(FProjectDir, Path);
}

bool TQVDesigner::pickFile(TOpenDialog* Dialog, std::string& Relative) {
  Dialog->SetInitialDir(FProjectDir);
  if (!Dialog->Execute()) return false;
  Relative = relativeToProject(Dialog->FileName());
  return true;
}

// ---------------------------------------------------------------------------
void TQVDesigner::SplashTimeEDKeyPress(TObject*, char& Key) {
  if (Key == '\b' || (Key >= '0' && Key <= '9')) return;
  Beep();
  Key = 0;
}

void TQVDesigner::AutoMultiLanguageCBClick(TObject*) { FModified = true; }

void TQVDesigner::TaskbarButtonCaptionCBClick(TObject*) {
  FModified = true;
  if (TaskbarButtonCaptionCB->Checked()) {
    TaskbarButtonCaptionEdit->SetEnabled(true);
  } else {
    TaskbarButtonCaptionEdit->SetEnabled(false);
    TaskbarButtonCaptionEdit->SetText("");
  }
}

void TQVDesigner::RemoveIconButtonClick(TObject*) {
  FIconFile.clear();
  AutorunIconPreview->Picture()->SetGraphic(nullptr);
  FModified = true;
}

void TQVDesigner::SkinClearButtonClick(TObject*) {
  SkinPreview->Picture()->SetGraphic(nullptr);
  FSkinFile.clear();
  FModified = true;
}

void TQVDesigner::PositionAbsoluteClick(TObject*) {
  bool absolute = PositionAbsolute->Checked();
  PositionAbsoluteXEdit->SetEnabled(absolute);
  PositionAbsoluteYEdit->SetEnabled(absolute);
  FModified = true;
}

void TQVDesigner::SizeWindowClick(TObject*) {
  bool window = SizeWindow->Checked();
  SizeXEdit->SetEnabled(window);
  SizeYEdit->SetEnabled(window);
  WidthUnitCB->SetEnabled(window);
  HeightUnitCB->SetEnabled(window);
  FModified = true;
}

void TQVDesigner::ExtUseSearchEngineCBClick(TObject*) {
  bool active = ExtUseSearchEngineCB->Checked();
  ExtSearchIndexED->SetEnabled(active);
  ExtSearchTemplateED->SetEnabled(active);
  SpeedButton3->SetEnabled(active);
  StartTrawlbuildButton->SetEnabled(active);
  FModified = true;
}

void TQVDesigner::Label15Click(TObject*) {
  ShellExecute(Handle(), "open", kExtensionsPage, nullptr, nullptr, SW_SHOWNORMAL);
}

void TQVDesigner::MusicPlayButtonClick(TObject*) {
  std::string file = FProjectDir + "\\" + MusicFileEdit->Text();
  if (FileExists(file))
    sndPlaySound(file.c_str(), SND_ASYNC);
  else
    errorBox(DesignerStr(sMusicFileNotFound), false);
}

void TQVDesigner::MusicStopButtonClick(TObject*) { sndPlaySound(nullptr, 0); }

// ---------------------------------------------------------------------------
// The toolbar page.
void TQVDesigner::RefreshPreviewButton(int Index) {
  TToolButton* const buttons[] = {tb1, tb2, tb3, tb4, tb5, tb6, tb7};
  if (Index < 0 || Index >= kRowCount || Index >= ToolbarButtonList->Items()->Count()) return;
  TToolButton* button = buttons[Index];
  if (ToolbarButtonList->Checked(Index)) {
    button->SetImageIndex(ToolbarImageOfCaption(ToolbarButtonList->Items()->Strings(Index)));
    button->SetVisible(true);
  } else {
    button->SetVisible(false);
    button->SetImageIndex(-1);
  }
}

void TQVDesigner::RefreshPreviewButtons() {
  for (int i = 0; i < kRowCount; ++i) RefreshPreviewButton(i);
  ToolbarPreview->Invalidate();
}

void TQVDesigner::ToolbarButtonListClickCheck(TObject*) {
  RefreshPreviewButton(ToolbarButtonList->ItemIndex());
  ToolbarPreview->Repaint();
  FModified = true;
}

namespace {

// Moves a row of a check list with its check mark (the list keeps marks by
// position), keeping it selected and, when it can be, focused.
void moveRow(TCheckListBox* List, int From, int To) {
  bool checked = List->Checked(From);
  bool other = List->Checked(To);
  List->Items()->Move(From, To);
  List->SetChecked(To, checked);
  List->SetChecked(From, other);
  List->SetItemIndex(To);
  if (List->CanFocus()) List->SetFocus();
}

}  // namespace

void TQVDesigner::ToolbarButtonMoveUpClick(TObject*) {
  int row = ToolbarButtonList->ItemIndex();
  if (row > 0) {
    moveRow(ToolbarButtonList, row, row - 1);
    RefreshPreviewButtons();
  }
  FModified = true;
}

void TQVDesigner::ToolbarButtonMoveDownClick(TObject*) {
  int row = ToolbarButtonList->ItemIndex();
  if (row >= 0 && row < ToolbarButtonList->Items()->Count() - 1) {
    moveRow(ToolbarButtonList, row, row + 1);
    RefreshPreviewButtons();
    FModified = true;
  }
}

void TQVDesigner::ToolbarColorCOLChange(TObject*) {
  FModified = true;
  TColor colour = ToolbarColorCOL->Selected();
  ToolbarHolder->SetColor(colour == clNone ? clBtnFace : colour);
  // The transparent bar in front of the holder shows its colour only when
  // it paints again.
  ToolbarPreview->Invalidate();
}

void TQVDesigner::LoadButtonBitmaps(const std::string& Folder) {
  for (int i = 0; i < kRowCount; ++i) {
    std::string file = Folder + "\\" + kRows[i].Bitmap;
    TBitmap picture;
    if (FileExists(file)) {
      picture.LoadFromFile(file);
      if (i == 0) {
        BtnPreviewImageList->SetWidth(picture.Width());
        BtnPreviewImageList->SetHeight(picture.Height());
      } else if (picture.Width() != BtnPreviewImageList->Width() ||
                 picture.Height() != BtnPreviewImageList->Height()) {
        errorBox(DesignerStr(sWrongButtonSizes), false);
        return;
      }
      BtnPreviewImageList->AddMasked(&picture, picture.TransparentColor());
    } else {
      // An empty slot keeps the images at their rows' places.
      picture.SetSize(BtnPreviewImageList->Width(), BtnPreviewImageList->Height());
      picture.Canvas()->Brush()->SetColor(clFuchsia);
      picture.Canvas()->FillRect(TRect{0, 0, picture.Width(), picture.Height()});
      BtnPreviewImageList->AddMasked(&picture, clFuchsia);
    }
  }
  ToolbarHolder->SetHeight(BtnPreviewImageList->Height() + 10);
}

void TQVDesigner::ToolbarButtonDirSelectButtonClick(TObject*) {
  std::string start = FProjectDir;
  if (!ToolbarButtonDirEdit->Text().empty()) start = FProjectDir + ToolbarButtonDirEdit->Text();
  if (!DirectoryExists(start)) start.clear();

  OleInitialize(nullptr);
  std::string caption = DesignerStr(sButtonFolderCaption);
  auto* name = static_cast<char*>(CoTaskMemAlloc(MAX_PATH));
  BROWSEINFO info{};
  info.hwndOwner = Application->Handle();
  info.pidlRoot = nullptr;
  info.pszDisplayName = name;
  info.lpszTitle = caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = folderBrowserCallback;
  info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  // The browser is modal for the whole program.
  bool wasEnabled = HandleAllocated() && IsWindowEnabled(Handle());
  if (wasEnabled) EnableWindow(Handle(), FALSE);
  LPITEMIDLIST list = SHBrowseForFolder(&info);
  if (wasEnabled) EnableWindow(Handle(), TRUE);
  std::string folder;
  if (list != nullptr) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDList(list, path)) folder = path;
    CoTaskMemFree(list);
  }
  CoTaskMemFree(name);
  OleUninitialize();
  if (folder.empty()) return;

  // The project folder itself is ".\": no key at all would send the
  // runtime to its own "buttons" folder.
  std::string relative = relativeToProject(IncludeTrailingPathDelimiter(folder));
  ToolbarButtonDirEdit->SetText(relative.empty() ? ".\\" : relative);
  // A folder chosen again starts the preview afresh instead of adding its
  // pictures behind the earlier ones.
  BtnPreviewImageList->Clear();
  LoadButtonBitmaps(folder);
  RefreshPreviewButtons();
}

std::string TQVDesigner::buttonFolder() const {
  const std::string folder = ToolbarButtonDirEdit->Text();
  return FProjectDir + (folder.empty() ? std::string(kRuntimeButtonFolder) : folder);
}

void TQVDesigner::ToolbarButtonDirClearClick(TObject*) {
  ToolbarButtonDirEdit->SetText("");
  BtnPreviewImageList->Clear();
  RefreshPreviewButtons();
}

// ---------------------------------------------------------------------------
// File pickers.
void TQVDesigner::AutorunFileOpenButtonClick(TObject*) {
  std::string file;
  if (!pickFile(OpenExeDialog, file)) return;
  AutorunFileEdit->SetText(file);
  updateExecuteButton();
}

void TQVDesigner::AutorunOpenIconButtonClick(TObject*) {
  std::string file;
  if (!pickFile(OpenIconDialog, file)) return;
  AutorunIconPreview->Picture()->LoadFromFile(OpenIconDialog->FileName());
  FIconFile = file;
  FModified = true;
}

void TQVDesigner::autorunOpenHTMLButtonClick(TObject*) {
  std::string file;
  if (pickFile(OpenHtmlDialog, file)) AutorunHtmlFileEdit->SetText(file);
}

void TQVDesigner::OptionalOpenAltHtmlButtonClick(TObject*) {
  std::string file;
  if (pickFile(OpenHtmlDialog, file)) OptionalAltHtmlFileEdit->SetText(file);
}

void TQVDesigner::SpeedButton1Click(TObject*) {
  std::string file;
  if (pickFile(OpenBitmapDialog, file)) SplashImageED->SetText(file);
}

void TQVDesigner::SkinOpenButtonClick(TObject*) {
  std::string file;
  if (!pickFile(OpenBitmapDialog, file)) return;
  SkinPreview->Picture()->LoadFromFile(OpenBitmapDialog->FileName());
  FSkinFile = file;
  FModified = true;
}

void TQVDesigner::MusicFileOpenButtonClick(TObject*) {
  std::string file;
  if (pickFile(OpenMusicDialog, file)) MusicFileEdit->SetText(file);
}

void TQVDesigner::SpeedButton3Click(TObject*) {
  std::string file;
  if (pickFile(OpenSearchTemplateDialog, file)) ExtSearchTemplateED->SetText(file);
}
