// The settings pages' own handlers: the digit filter, the file pickers'
// relative paths, the toolbar page (button folder, preview, row moves,
// colour), the music preview and the enabling boxes.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "BmpFile.h"
#include "DesignerFixture.h"
#include "platform/classlib/Buttons.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/IniFiles.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Resource.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/user/Screen.h"
#include "platform/os/user/Window.h"

namespace {

using qv::os::ansi;

class PagesTest : public qvtest::DesignerTest {
 protected:
  void SetUp() override {
    DesignerTest::SetUp();
    writeProjectFile("autorun.inf", "[quorvel]\r\nstartpage=index.html\r\n");
  }
  int launchProject() { return launch("\"" + projectPath() + "\""); }
  void writeButton(const std::string& name, int w, int h) {
    writeProjectFile("buttons/" + name, qvtest::bmpFile(w, h, qvtest::Rgb{0, 128, 0}));
  }
  // Which preview buttons show, and their images.
  static std::string preview(TQVDesigner* d) {
    std::string out;
    for (TToolButton* b : {d->tb1, d->tb2, d->tb3, d->tb4, d->tb5, d->tb6, d->tb7})
      out += b->Visible() ? std::to_string(b->ImageIndex()) : std::string("-");
    return out;
  }
};

TEST_F(PagesTest, TheNumericEditsTakeOnlyDigitsAndBackspace) {
  std::vector<std::string> texts;
  step([&](TQVDesigner* d) {
    for (TEdit* e : {d->SplashTimeED, d->PositionAbsoluteXEdit, d->PositionAbsoluteYEdit, d->SizeXEdit, d->SizeYEdit,
                     d->SkinPosXEdit, d->SkinPosYEdit, d->SkinWidthEdit, d->SkinHeightEdit}) {
      e->SetEnabled(true);
      e->SetText("1");
      e->SetSelStart(1);
      SendMessage(e->Handle(), WM_CHAR, 'a', 0);
      std::string afterLetter = e->Text();
      SendMessage(e->Handle(), WM_CHAR, '7', 0);
      std::string afterDigit = e->Text();
      SendMessage(e->Handle(), WM_CHAR, '\b', 0);
      texts.push_back(afterLetter + "/" + afterDigit + "/" + e->Text());
    }
  });
  launchProject();
  EXPECT_EQ(texts, std::vector<std::string>(9, "1/17/1"));
  EXPECT_EQ(events("beep").size(), 9u);
}

// Pickers start in the project folder and store what they choose relative
// to it; the program picker enables the test run when the program is there.
TEST_F(PagesTest, PickersStorePathsRelativeToTheProjectFolder) {
  writeProjectFile("pages/index.html", "<html></html>");
  writeProjectFile("bin/start.exe", "program");
  answer("dialog", projectPath("pages\\index.html"));
  answer("dialog", projectPath("bin\\start.exe"));
  std::string page, program;
  bool executeBefore = true, executeAfter = false;
  step([&](TQVDesigner* d) {
    d->autorunOpenHTMLButtonClick(d);
    page = d->AutorunHtmlFileEdit->Text();
    executeBefore = d->BtnExecute->Enabled();
    d->AutorunFileOpenButtonClick(d);
    program = d->AutorunFileEdit->Text();
    executeAfter = d->BtnExecute->Enabled();
  });
  launchProject();
  EXPECT_EQ(page, "pages\\index.html");
  EXPECT_EQ(program, "bin\\start.exe");
  EXPECT_FALSE(executeBefore);
  EXPECT_TRUE(executeAfter);
  auto dialogs = events("opendialog");
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].fields[0], ansi(u8"HTML-Datei auswählen"));
  EXPECT_EQ(dialogs[0].fields[2], "HTML-Dateien|*.html;*.htm|Alle Dateien|*.*");
  EXPECT_EQ(dialogs[1].fields[0], ansi(u8"Ausführbare Datei auswählen"));
  EXPECT_EQ(dialogs[0].fields[1], projectPath(""));
}

// A folder with only some of the pictures shows those and empty slots for
// the rest; the holder fits the pictures. Choosing a folder again starts the
// preview afresh.
TEST_F(PagesTest, TheButtonFolderFillsThePreview) {
  writeButton("exit.bmp", 20, 18);
  writeButton("copy.bmp", 20, 18);
  answer("dialog", projectPath("buttons"));
  answer("dialog", projectPath("buttons"));
  std::string dir, shown;
  int images = 0, imagesAgain = 0, width = 0, holder = 0;
  bool modified = false;
  step([&](TQVDesigner* d) {
    d->ToolbarButtonDirSelectButtonClick(d);
    dir = d->ToolbarButtonDirEdit->Text();
    modified = d->FModified;
    images = d->BtnPreviewImageList->Count();
    width = d->BtnPreviewImageList->Width();
    holder = d->ToolbarHolder->Height();
    for (int row : {0, 6}) {
      d->ToolbarButtonList->SetItemIndex(row);
      d->ToolbarButtonList->SetChecked(row, true);
      d->ToolbarButtonListClickCheck(d->ToolbarButtonList);
    }
    shown = preview(d);
    d->ToolbarButtonDirSelectButtonClick(d);
    imagesAgain = d->BtnPreviewImageList->Count();
  });
  launchProject();
  EXPECT_EQ(dir, "buttons\\");
  EXPECT_TRUE(modified);
  EXPECT_EQ(images, 7);
  EXPECT_EQ(imagesAgain, 7);
  EXPECT_EQ(width, 20);
  EXPECT_EQ(holder, 28);
  EXPECT_EQ(shown, "0-----6");
  auto folders = events("folderdialog");
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0].fields[0], ansi(u8"Geben Sie bitte den Ordner an, in dem sich die Grafiken für die Buttons "
                                       u8"befinden. Dieser Ordner muss sich innerhalb Ihres Master-Verzeichnisses "
                                       u8"befinden."));
  EXPECT_EQ(dialogTexts(), std::vector<std::string>{});
}

TEST_F(PagesTest, AButtonPictureOfAnotherSizeStopsTheLoading) {
  writeButton("exit.bmp", 16, 16);
  writeButton("print.bmp", 20, 20);
  answer("dialog", projectPath("buttons"));
  int images = -1;
  step([&](TQVDesigner* d) {
    d->ToolbarButtonDirSelectButtonClick(d);
    images = d->BtnPreviewImageList->Count();
  });
  launchProject();
  EXPECT_EQ(images, 1);
  ASSERT_EQ(dialogTexts(), std::vector<std::string>{ansi(
                               u8"Falsche Grafikgrößen: Alle Schaltflächengrafiken müssen dieselbe Größe haben!")});
  EXPECT_EQ(events("msgdlg")[0].fields[2], "mtError");
  EXPECT_EQ(events("msgdlg")[0].fields[3], "Cancel");
}

// Moving the last row down does nothing and leaves the project unchanged;
// moving the first row up does nothing but marks it changed. A move takes
// the row's check mark along.
TEST_F(PagesTest, RowMovesKeepTheirChecksAndTheEdgesDoNothing) {
  bool afterDown = true, afterUp = false;
  std::string rows, shown;
  step([&](TQVDesigner* d) {
    auto* list = d->ToolbarButtonList;
    list->SetItemIndex(6);
    d->ToolbarButtonMoveDownClick(d);
    afterDown = d->FModified;
    list->SetItemIndex(0);
    d->ToolbarButtonMoveUpClick(d);
    afterUp = d->FModified;
    list->SetChecked(0, true);
    d->ToolbarButtonMoveDownClick(d);
    for (int i = 0; i < list->Items()->Count(); ++i)
      rows += list->Items()->Strings(i) + (list->Checked(i) ? "+" : "") + " ";
    shown = preview(d) + " " + std::to_string(list->ItemIndex());
  });
  launchProject();
  EXPECT_FALSE(afterDown);
  EXPECT_TRUE(afterUp);
  EXPECT_EQ(rows, ansi(u8"Drucken Beenden+ Zurück Vorwärts Startseite Suchen Kopieren "));
  EXPECT_EQ(shown, "-0----- 1");
}

TEST_F(PagesTest, TheToolbarColourShowsInThePreview) {
  TColor none = 0, red = 0;
  step([&](TQVDesigner* d) {
    d->ToolbarColorCOL->SetSelected(clNone);
    d->ToolbarColorCOLChange(d->ToolbarColorCOL);
    none = d->ToolbarHolder->Color();
    d->ToolbarColorCOL->SetSelected(clRed);
    d->ToolbarColorCOLChange(d->ToolbarColorCOL);
    red = d->ToolbarHolder->Color();
  });
  launchProject();
  EXPECT_EQ(none, clBtnFace);
  EXPECT_EQ(red, clRed);
}

// The preview shows the whole of 32-pixel button pictures, and the toolbar
// colour behind and around them, as the runtime's toolbar does.
TEST_F(PagesTest, ThePreviewShowsWholePicturesOnTheToolbarColour) {
  // Green on the colour of its lower left pixel, which the image list takes
  // as the transparent one.
  std::vector<std::vector<qvtest::Rgb>> pixels(32, std::vector<qvtest::Rgb>(32, qvtest::Rgb{0, 128, 0}));
  pixels[31][0] = qvtest::Rgb{255, 0, 255};
  writeProjectFile("buttons/exit.bmp", qvtest::bmpFile(pixels));
  answer("dialog", projectPath("buttons"));
  COLORREF pictureCorner = 0, transparentCorner = 0, besidePicture = 0, besideButton = 0;
  int buttonWidth = 0;
  step([&](TQVDesigner* d) {
    d->ToolbarAndButtonsNavBarItemClick(d);
    d->ToolbarButtonDirSelectButtonClick(d);
    d->ToolbarButtonList->SetItemIndex(0);
    d->ToolbarButtonList->SetChecked(0, true);
    d->ToolbarButtonListClickCheck(d->ToolbarButtonList);
    d->ToolbarColorCOL->SetSelected(clRed);
    d->ToolbarColorCOLChange(d->ToolbarColorCOL);
  });
  step([&](TQVDesigner* d) {
    qv::os::gdi::Image shot;
    ASSERT_TRUE(qv::os::windowImage(d->Handle(), shot));
    RECT window;
    GetWindowRect(d->Handle(), &window);
    auto at = [&](TControl* c, int x, int y) {
      TPoint p = c->ClientToScreen({x, y});
      const std::uint32_t argb = shot.at(p.x - window.left, p.y - window.top);
      return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    };
    buttonWidth = d->tb1->Width();
    // The picture lies at (3, 3) of its 39 x 38 button.
    pictureCorner = at(d->tb1, 3 + 31, 3 + 31);
    transparentCorner = at(d->tb1, 3, 3 + 31);
    besidePicture = at(d->tb1, 1, 1);
    besideButton = at(d->ToolbarPreview, d->ToolbarPreview->Width() - 4, 4);
  });
  launchProject();
  EXPECT_EQ(buttonWidth, 39);
  EXPECT_EQ(pictureCorner, RGB(0, 128, 0));
  EXPECT_EQ(transparentCorner, RGB(255, 0, 0));
  EXPECT_EQ(besidePicture, RGB(255, 0, 0));
  EXPECT_EQ(besideButton, RGB(255, 0, 0));
}

// The project folder itself as the button folder is saved as ".\": without
// the key the runtime would look in its "buttons" folder instead.
TEST_F(PagesTest, TheProjectFolderAsButtonFolderIsSavedAsItsOwnFolder) {
  writeProjectFile("exit.bmp", qvtest::bmpFile(20, 18, qvtest::Rgb{0, 128, 0}));
  std::string folder = projectPath("");
  folder.pop_back();
  answer("dialog", folder);
  std::string dir;
  int width = 0;
  step([&](TQVDesigner* d) {
    d->ToolbarButtonDirSelectButtonClick(d);
    dir = d->ToolbarButtonDirEdit->Text();
    width = d->BtnPreviewImageList->Width();
    d->ToolbarButtonList->SetChecked(0, true);
    d->BtnSaveClick(d->BtnSave);
  });
  launchProject();
  EXPECT_EQ(dir, ".\\");
  EXPECT_EQ(width, 20);
  TIniFile ini(hostPath("project/autorun.inf"));
  EXPECT_EQ(ini.ReadString("quorvel", "buttondir", ""), ".\\");
  EXPECT_EQ(ini.ReadString("quorvel", "toolbar", ""), "exit");
}

TEST_F(PagesTest, TheMusicPreviewPlaysTheProjectsFileOrSaysItIsMissing) {
  writeProjectFile("intro.wav", "RIFF");
  step([&](TQVDesigner* d) {
    d->MusicPlayButtonClick(d);  // no file named yet
    d->MusicFileEdit->SetText("intro.wav");
    d->MusicPlayButtonClick(d);
    d->MusicStopButtonClick(d);
  });
  launchProject();
  ASSERT_EQ(dialogTexts(),
            std::vector<std::string>{ansi(u8"Die Hintergrund-Musik-Datei konnte nicht gefunden werden!")});
  EXPECT_EQ(events("msgdlg")[0].fields[3], "Cancel");
  auto sounds = events("sound");
  ASSERT_EQ(sounds.size(), 2u);
  EXPECT_EQ(sounds[0].fields[0], projectPath("\\intro.wav"));
  EXPECT_EQ(sounds[0].fields[1], "0x1");
  EXPECT_EQ(sounds[1].fields[0], "");
}

TEST_F(PagesTest, BoxesEnableTheirEdits) {
  std::vector<bool> seen;
  std::string captionAfterUncheck;
  step([&](TQVDesigner* d) {
    d->TaskbarButtonCaptionCB->SetChecked(true);
    seen.push_back(d->TaskbarButtonCaptionEdit->Enabled());
    d->TaskbarButtonCaptionEdit->SetText("Menu");
    d->TaskbarButtonCaptionCB->SetChecked(false);
    seen.push_back(d->TaskbarButtonCaptionEdit->Enabled());
    captionAfterUncheck = d->TaskbarButtonCaptionEdit->Text();
    d->ExtUseSearchEngineCB->SetChecked(true);
    seen.push_back(d->ExtSearchIndexED->Enabled() && d->ExtSearchTemplateED->Enabled() &&
                   d->SpeedButton3->Enabled() && d->StartTrawlbuildButton->Enabled());
    d->PositionAbsolute->SetChecked(true);
    seen.push_back(d->PositionAbsoluteXEdit->Enabled() && d->PositionAbsoluteYEdit->Enabled());
    d->SizeFullscreen->SetChecked(true);
    seen.push_back(d->SizeXEdit->Enabled() || d->SizeYEdit->Enabled() || d->WidthUnitCB->Enabled() ||
                   d->HeightUnitCB->Enabled());
  });
  launchProject();
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true, true, false}));
  EXPECT_EQ(captionAfterUncheck, "");
}

// ---------------------------------------------------------------------------
// Every control that edits a setting marks the project modified when the
// author changes it: typed into, clicked, or moved on with an arrow key on
// its page. The outcome is the save question when the designer closes.

enum class Act { Type, Digit, Click, Up, Down, CheckFirstRow };

struct WiringCase {
  const char* control;
  void (TQVDesigner::*page)(TObject*);
  Act act;
  // Further keys of the project, so that the act changes the control.
  const char* keys = "";
};

// What a control shows, to see that the act reached it.
std::string shownValue(TComponent* c) {
  if (auto* e = dynamic_cast<TCustomEdit*>(c)) return e->Text();
  if (auto* b = dynamic_cast<TCustomCheckBox*>(c)) return b->Checked() ? "checked" : "unchecked";
  if (auto* b = dynamic_cast<TRadioButton*>(c)) return b->Checked() ? "checked" : "unchecked";
  if (auto* l = dynamic_cast<TCheckListBox*>(c)) return l->Checked(0) ? "checked" : "unchecked";
  if (auto* x = dynamic_cast<TCustomColorBox*>(c)) return std::to_string(x->Selected());
  if (auto* x = dynamic_cast<TCustomComboBox*>(c)) return std::to_string(x->ItemIndex());
  return "?";
}

POINT screenPoint(TControl* c, int x, int y) {
  POINT p{x, y};
  ClientToScreen(static_cast<TWinControl*>(c)->Handle(), &p);
  return p;
}

void PrintTo(const WiringCase& c, std::ostream* os) { *os << c.control; }

class WiringTest : public PagesTest, public ::testing::WithParamInterface<WiringCase> {};

TEST_P(WiringTest, ChangingTheControlAsksToSaveOnClose) {
  const WiringCase& c = GetParam();
  writeProjectFile("autorun.inf", std::string("[quorvel]\r\nstartpage=index.html\r\n") + c.keys +
                                      "[fulltextsearchengine]\r\nactive=1\r\n");
  answer("msgbox", "No");
  std::string before, after;
  bool modifiedBefore = true;
  step([&](TQVDesigner* d) {
    (d->*c.page)(d);
    auto* control = dynamic_cast<TWinControl*>(d->FindComponent(c.control));
    ASSERT_NE(control, nullptr) << c.control;
    ASSERT_TRUE(control->Visible() && control->Enabled()) << c.control;
    before = shownValue(control);
    modifiedBefore = d->FModified;
    const TRect r = control->ClientRect();
    switch (c.act) {
      case Act::Type:
      case Act::Digit:
      case Act::Click:
        qv::os::injectClick(screenPoint(control, r.right / 2, r.bottom / 2));
        break;
      case Act::Up:
      case Act::Down:
        control->SetFocus();
        qv::os::injectKey(c.act == Act::Up ? VK_UP : VK_DOWN, true);
        qv::os::injectKey(c.act == Act::Up ? VK_UP : VK_DOWN, false);
        break;
      case Act::CheckFirstRow: {
        const int row = static_cast<TCheckListBox*>(control)->ItemHeight() / 2;
        qv::os::injectClick(screenPoint(control, 5, row));
        break;
      }
    }
  });
  // The click has given the edit the focus: the author types.
  step([&](TQVDesigner*) {
    if (c.act == Act::Type || c.act == Act::Digit) qv::os::injectChar(c.act == Act::Digit ? '7' : 'x');
  });
  step([&](TQVDesigner* d) { after = shownValue(d->FindComponent(c.control)); });
  launch("\"" + projectPath() + "\"", /*closeModified=*/true);
  EXPECT_FALSE(modifiedBefore);
  EXPECT_NE(after, before) << "the act did not reach " << c.control;
  EXPECT_EQ(dialogTexts(), std::vector<std::string>{ansi(u8"Möchten Sie die Änderungen vor dem Schließen speichern?")});
}

using D = TQVDesigner;
const WiringCase kWiring[] = {
    {"AutorunFileEdit", &D::SettingsNavBarItemClick, Act::Type},
    {"AutorunHtmlFileEdit", &D::SettingsNavBarItemClick, Act::Type},
    {"AutorunCaptionEdit", &D::SettingsNavBarItemClick, Act::Type},
    {"TaskbarButtonCaptionEdit", &D::SettingsNavBarItemClick, Act::Type, "appcaption=Menu\r\n"},
    {"AutoMultiLanguageCB", &D::SettingsNavBarItemClick, Act::Click},
    {"GeneralBorderStyleCBX", &D::GeneralNavBarItemClick, Act::Up},
    {"SplashImageED", &D::GeneralNavBarItemClick, Act::Type},
    {"SplashTimeED", &D::GeneralNavBarItemClick, Act::Digit},
    {"GeneralDropShadowCB", &D::GeneralNavBarItemClick, Act::Click},
    {"GeneralFadeInCB", &D::GeneralNavBarItemClick, Act::Click},
    {"GeneralHideScrollbarsCB", &D::GeneralNavBarItemClick, Act::Click},
    {"GeneralDefaultCursorCB", &D::GeneralNavBarItemClick, Act::Click},
    {"GeneralHideSplashCB", &D::GeneralNavBarItemClick, Act::Click},
    {"ShowStatusBarCB", &D::GeneralNavBarItemClick, Act::Click},
    {"HidePrintHeaderFooterCB", &D::GeneralNavBarItemClick, Act::Click},
    {"SuppressScriptErrorsCB", &D::GeneralNavBarItemClick, Act::Click},
    {"internalpopupsCB", &D::GeneralNavBarItemClick, Act::Click},
    {"GeneralContextMenuFull", &D::GeneralNavBarItemClick, Act::Click},
    {"GeneralContextMenuNone", &D::GeneralNavBarItemClick, Act::Click, "contextmenu=simple\r\n"},
    {"GeneralContextMenuSimple", &D::GeneralNavBarItemClick, Act::Click},
    {"PositionCentered", &D::PositionAndSizeNavBarItemClick, Act::Click, "windowposition=10,20\r\n"},
    {"PositionAbsolute", &D::PositionAndSizeNavBarItemClick, Act::Click},
    {"PositionAbsoluteXEdit", &D::PositionAndSizeNavBarItemClick, Act::Digit, "windowposition=10,20\r\n"},
    {"PositionAbsoluteYEdit", &D::PositionAndSizeNavBarItemClick, Act::Digit, "windowposition=10,20\r\n"},
    {"SizeFullscreen", &D::PositionAndSizeNavBarItemClick, Act::Click},
    {"SizeWindow", &D::PositionAndSizeNavBarItemClick, Act::Click, "fullscreen=1\r\n"},
    {"SizeXEdit", &D::PositionAndSizeNavBarItemClick, Act::Digit},
    {"SizeYEdit", &D::PositionAndSizeNavBarItemClick, Act::Digit},
    // Both in percent afterwards, and 50 % is no size to warn about.
    {"WidthUnitCB", &D::PositionAndSizeNavBarItemClick, Act::Down, "windowwidth=50\r\nwindowheight=50%\r\n"},
    {"HeightUnitCB", &D::PositionAndSizeNavBarItemClick, Act::Down, "windowwidth=50%\r\nwindowheight=50\r\n"},
    {"ToolbarColorCOL", &D::ToolbarAndButtonsNavBarItemClick, Act::Down, "toolbarcolor=255\r\n"},
    {"ToolbarButtonDirEdit", &D::ToolbarAndButtonsNavBarItemClick, Act::Type},
    {"ToolbarButtonList", &D::ToolbarAndButtonsNavBarItemClick, Act::CheckFirstRow},
    {"SkinPosXEdit", &D::SkinNavBarItemClick, Act::Digit},
    {"SkinPosYEdit", &D::SkinNavBarItemClick, Act::Digit},
    {"SkinWidthEdit", &D::SkinNavBarItemClick, Act::Digit},
    {"SkinHeightEdit", &D::SkinNavBarItemClick, Act::Digit},
    {"MusicFileEdit", &D::BackgroundMusicNavBarItemClick, Act::Type},
    {"MusicLoopCB", &D::BackgroundMusicNavBarItemClick, Act::Click},
    {"MusicStopOnClickCB", &D::BackgroundMusicNavBarItemClick, Act::Click},
    {"OptionalAltHtmlFileEdit", &D::OptionalNavBarItemClick, Act::Type},
    {"OptionalSystemReqEdit", &D::OptionalNavBarItemClick, Act::Type},
    {"OptionalExecEdit", &D::OptionalNavBarItemClick, Act::Type},
    {"OptionalForceOfflineCB", &D::OptionalNavBarItemClick, Act::Click},
    {"PreventMultipleStartsCB", &D::OptionalNavBarItemClick, Act::Click},
    {"ExtUseSearchEngineCB", &D::PluginNavBarItemClick, Act::Click},
    {"ExtSearchIndexED", &D::PluginNavBarItemClick, Act::Type},
    {"ExtSearchTemplateED", &D::PluginNavBarItemClick, Act::Type},
};

INSTANTIATE_TEST_SUITE_P(Controls, WiringTest, ::testing::ValuesIn(kWiring),
                         [](const auto& info) { return std::string(info.param.control); });

// The table above holds every control that the form resource wires to
// ValueChanged, so that a control given that wiring later is driven too.
TEST_F(PagesTest, TheWiringTableCoversEveryControlTheFormWiresToValueChanged) {
  TResourceStream stream(FindResourceHInstance(nullptr), "TQVDESIGNER", RT_RCDATA);
  std::string form(static_cast<std::size_t>(stream.Size()), '\0');
  stream.ReadBuffer(form.data(), static_cast<int>(form.size()));
  std::istringstream lines(form);
  std::string line, object;
  std::set<std::string> wired;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string first, second, third;
    words >> first >> second >> third;
    if (first == "object" && second.size() > 1) object = second.substr(0, second.size() - 1);
    if ((first == "OnChange" || first == "OnClick") && second == "=" && third == "ValueChanged") wired.insert(object);
  }
  std::set<std::string> table;
  for (const WiringCase& c : kWiring) table.insert(c.control);
  EXPECT_GT(wired.size(), 30u);
  for (const std::string& name : wired) EXPECT_EQ(table.count(name), 1u) << name << " is not driven";
}

}  // namespace
