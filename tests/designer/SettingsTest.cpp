// The settings file as the designer writes and reads it: every key written
// is read back identically by the designer and means the same to the
// runtime's reading rules; values at their defaults delete their keys; the
// size, toolbar and border rules; the reader's reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "BmpFile.h"
#include "DesignerFixture.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/IniFiles.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/CodePage.h"

namespace {

using qv::os::ansi;

// Everything a project's settings are on the designer's pages.
std::map<std::string, std::string> snapshot(TQVDesigner* d) {
  auto b = [](bool v) { return std::string(v ? "1" : "0"); };
  std::map<std::string, std::string> s;
  s["open"] = d->AutorunFileEdit->Text();
  s["icon"] = d->FIconFile;
  s["windowcaption"] = d->AutorunCaptionEdit->Text();
  s["appcaption"] = b(d->TaskbarButtonCaptionCB->Checked()) + d->TaskbarButtonCaptionEdit->Text();
  s["startpage"] = d->AutorunHtmlFileEdit->Text();
  s["altstartpage"] = d->OptionalAltHtmlFileEdit->Text();
  s["splashscreenimg"] = d->SplashImageED->Text();
  s["splashscreentime"] = d->SplashTimeED->Text();
  s["uselanguagestartpage"] = b(d->AutoMultiLanguageCB->Checked());
  s["requirements"] = d->OptionalSystemReqEdit->Text();
  s["executeext"] = d->OptionalExecEdit->Text();
  s["forceofflinemode"] = b(d->OptionalForceOfflineCB->Checked());
  s["singleinstance"] = b(d->PreventMultipleStartsCB->Checked());
  s["dropshadow"] = b(d->GeneralDropShadowCB->Checked());
  s["noscrollbars"] = b(d->GeneralHideScrollbarsCB->Checked());
  s["fadein"] = b(d->GeneralFadeInCB->Checked());
  s["defaultcursor"] = b(d->GeneralDefaultCursorCB->Checked());
  s["hidesplashscreen"] = b(d->GeneralHideSplashCB->Checked());
  s["internalpopups"] = b(d->internalpopupsCB->Checked());
  s["intromusic"] = d->MusicFileEdit->Text();
  s["loopmusic"] = b(d->MusicLoopCB->Checked());
  s["stopmusiconclick"] = b(d->MusicStopOnClickCB->Checked());
  s["showstatusbar"] = b(d->ShowStatusBarCB->Checked());
  s["disablescripterrors"] = b(d->SuppressScriptErrorsCB->Checked());
  s["hideheaderfooter"] = b(d->HidePrintHeaderFooterCB->Checked());
  s["borderstyle"] = std::to_string(d->GeneralBorderStyleCBX->ItemIndex());
  s["contextmenu"] = b(d->GeneralContextMenuNone->Checked()) + b(d->GeneralContextMenuSimple->Checked()) +
                     b(d->GeneralContextMenuFull->Checked());
  s["windowposition"] = b(d->PositionCentered->Checked()) + b(d->PositionAbsoluteXEdit->Enabled()) + " " +
                        d->PositionAbsoluteXEdit->Text() + "," + d->PositionAbsoluteYEdit->Text();
  s["fullscreen"] = b(d->SizeFullscreen->Checked()) + b(d->SizeXEdit->Enabled());
  s["windowwidth"] = d->SizeXEdit->Text() + " " + std::to_string(d->WidthUnitCB->ItemIndex());
  s["windowheight"] = d->SizeYEdit->Text() + " " + std::to_string(d->HeightUnitCB->ItemIndex());
  s["skin"] = d->FSkinFile;
  s["skinposition"] = d->SkinPosXEdit->Text() + "," + d->SkinPosYEdit->Text() + "," + d->SkinWidthEdit->Text() + "," +
                      d->SkinHeightEdit->Text();
  s["buttondir"] = d->ToolbarButtonDirEdit->Text();
  s["toolbarcolor"] = std::to_string(d->ToolbarColorCOL->Selected());
  std::string rows;
  for (int i = 0; i < d->ToolbarButtonList->Items()->Count(); ++i)
    rows += d->ToolbarButtonList->Items()->Strings(i) + (d->ToolbarButtonList->Checked(i) ? "+" : "-") + " ";
  s["toolbar"] = rows;
  s["active"] = b(d->ExtUseSearchEngineCB->Checked()) + b(d->ExtSearchIndexED->Enabled());
  s["index"] = d->ExtSearchIndexED->Text();
  s["resulttemplate"] = d->ExtSearchTemplateED->Text();
  return s;
}

// Moves a toolbar row as the buttons do.
void moveRowUp(TQVDesigner* d, const std::string& caption, int times) {
  d->ToolbarButtonList->SetItemIndex(d->ToolbarButtonList->Items()->IndexOf(caption));
  for (int i = 0; i < times; ++i) d->ToolbarButtonMoveUpClick(d->ToolbarButtonMoveUp);
}

// A value every control takes that differs from the new project's.
void changeEverything(TQVDesigner* d) {
  d->AutorunFileEdit->SetText("start.exe");
  d->FIconFile = "menu.ico";
  d->AutorunCaptionEdit->SetText(ansi(u8"Mein Menü"));
  d->TaskbarButtonCaptionCB->SetChecked(true);
  d->TaskbarButtonCaptionEdit->SetText(ansi(u8"Menü"));
  d->AutorunHtmlFileEdit->SetText("pages\\index.html");
  d->OptionalAltHtmlFileEdit->SetText("alt.html");
  d->SplashImageED->SetText("splash.bmp");
  d->SplashTimeED->SetText("5");
  d->AutoMultiLanguageCB->SetChecked(true);
  d->OptionalSystemReqEdit->SetText("check1,check2");
  d->OptionalExecEdit->SetText("exe,zip,pdf");
  d->OptionalForceOfflineCB->SetChecked(true);
  d->PreventMultipleStartsCB->SetChecked(true);
  d->GeneralDropShadowCB->SetChecked(true);
  d->GeneralHideScrollbarsCB->SetChecked(false);
  d->GeneralFadeInCB->SetChecked(true);
  d->GeneralDefaultCursorCB->SetChecked(false);
  d->GeneralHideSplashCB->SetChecked(true);
  d->internalpopupsCB->SetChecked(false);
  d->MusicFileEdit->SetText("intro.wav");
  d->MusicLoopCB->SetChecked(true);
  d->MusicStopOnClickCB->SetChecked(true);
  d->ShowStatusBarCB->SetChecked(true);
  d->SuppressScriptErrorsCB->SetChecked(true);
  d->HidePrintHeaderFooterCB->SetChecked(false);
  d->GeneralBorderStyleCBX->SetItemIndex(1);
  d->GeneralContextMenuSimple->SetChecked(true);
  d->PositionAbsolute->SetChecked(true);
  d->PositionAbsoluteXEdit->SetText("10");
  d->PositionAbsoluteYEdit->SetText("20");
  d->SizeXEdit->SetText("50");
  d->WidthUnitCB->SetItemIndex(1);
  d->SizeYEdit->SetText("80");
  d->HeightUnitCB->SetItemIndex(1);
  d->FSkinFile = "skin.bmp";
  d->SkinPosXEdit->SetText("5");
  d->SkinPosYEdit->SetText("6");
  d->SkinWidthEdit->SetText("70");
  d->SkinHeightEdit->SetText("80");
  d->ToolbarButtonDirEdit->SetText("buttons");
  d->ToolbarColorCOL->SetSelected(clRed);
  // "Suchen" above "Beenden", both checked.
  moveRowUp(d, "Suchen", 5);
  d->ToolbarButtonList->SetChecked(0, true);
  d->ToolbarButtonList->SetChecked(1, true);
  d->ExtUseSearchEngineCB->SetChecked(true);
  d->ExtUseSearchEngineCBClick(d->ExtUseSearchEngineCB);
  d->ExtSearchIndexED->SetText("idx.qvix");
  d->ExtSearchTemplateED->SetText("result.html");
}

// How the runtime reads a key: as text, a whole number or a Boolean, with
// its own default; the window size as the pair of its two keys.
enum class Kind { Text, Number, Bool, Size };
struct RuntimeKey {
  const char* section;
  const char* key;
  Kind kind;
  const char* runtimeDefault;
  // What the runtime reads for the changed project and for a new one.
  std::string changed;
  std::string fresh;
};

// The window size as the runtime takes it: one "%" in either value makes
// both values percent; "windowwith", when there, replaces the width.
std::string runtimeSize(TIniFile& ini) {
  std::string width = ini.ReadString("quorvel", "windowwidth", "400");
  std::string height = ini.ReadString("quorvel", "windowheight", "600");
  const bool percent = width.find('%') != std::string::npos || height.find('%') != std::string::npos;
  for (std::string* v : {&width, &height})
    if (v->find('%') != std::string::npos) v->pop_back();
  int w = 0, h = 0;
  if (!TryStrToInt(width, w) || !TryStrToInt(height, h)) return "no size: " + width + " x " + height;
  if (ini.ValueExists("quorvel", "windowwith")) w = ini.ReadInteger("quorvel", "windowwith", 600);
  return std::to_string(w) + " x " + std::to_string(h) + (percent ? " %" : " px");
}

// The window size as the designer's page shows it, in the same form.
std::string designerSize(TQVDesigner* d) {
  auto unit = [](TComboBox* box) { return std::string(box->ItemIndex() == 1 ? " %" : " px"); };
  if (unit(d->WidthUnitCB) == unit(d->HeightUnitCB))
    return d->SizeXEdit->Text() + " x " + d->SizeYEdit->Text() + unit(d->WidthUnitCB);
  return d->SizeXEdit->Text() + unit(d->WidthUnitCB) + " x " + d->SizeYEdit->Text() + unit(d->HeightUnitCB);
}

std::string runtimeRead(TIniFile& ini, const RuntimeKey& k) {
  switch (k.kind) {
    case Kind::Number: return std::to_string(ini.ReadInteger(k.section, k.key, std::stoi(k.runtimeDefault, nullptr, 0)));
    case Kind::Bool: return ini.ReadBool(k.section, k.key, std::string(k.runtimeDefault) == "1") ? "1" : "0";
    case Kind::Size: return runtimeSize(ini);
    case Kind::Text: break;
  }
  return ini.ReadString(k.section, k.key, k.runtimeDefault);
}

std::vector<RuntimeKey> runtimeKeys() {
  const std::string btnFace = std::to_string(static_cast<int>(clBtnFace));
  return {
      {"autorun", "icon", Kind::Text, "", "menu.ico", ""},
      {"quorvel", "windowcaption", Kind::Text, "", ansi(u8"Mein Menü"), ""},
      {"quorvel", "appcaption", Kind::Text, "", ansi(u8"Menü"), ""},
      {"quorvel", "startpage", Kind::Text, "", "pages\\index.html", ""},
      {"quorvel", "altstartpage", Kind::Text, "", "alt.html", ""},
      {"quorvel", "splashscreenimg", Kind::Text, "", "splash.bmp", ""},
      {"quorvel", "splashscreentime", Kind::Number, "2", "5", "2"},
      {"quorvel", "uselanguagestartpage", Kind::Bool, "0", "1", "0"},
      {"quorvel", "requirements", Kind::Text, "", "check1,check2", ""},
      {"quorvel", "executeext", Kind::Text, "exe", "exe,zip,pdf", "exe"},
      {"quorvel", "forceofflinemode", Kind::Bool, "0", "1", "0"},
      {"quorvel", "singleinstance", Kind::Bool, "0", "1", "0"},
      {"quorvel", "dropshadow", Kind::Bool, "0", "1", "0"},
      {"quorvel", "noscrollbars", Kind::Bool, "1", "0", "1"},
      {"quorvel", "fadein", Kind::Number, "0", "1", "0"},
      {"quorvel", "defaultcursor", Kind::Bool, "1", "0", "1"},
      {"quorvel", "hidesplashscreen", Kind::Bool, "0", "1", "0"},
      {"quorvel", "internalpopups", Kind::Bool, "1", "0", "1"},
      {"quorvel", "intromusic", Kind::Text, "", "intro.wav", ""},
      {"quorvel", "loopmusic", Kind::Bool, "0", "1", "0"},
      {"quorvel", "stopmusiconclick", Kind::Bool, "0", "1", "0"},
      {"quorvel", "showstatusbar", Kind::Bool, "0", "1", "0"},
      {"quorvel", "disablescripterrors", Kind::Bool, "0", "1", "0"},
      {"quorvel", "hideheaderfooter", Kind::Bool, "0", "0", "1"},
      {"quorvel", "borderstyle", Kind::Text, "window", "dialog", "window"},
      {"quorvel", "contextmenu", Kind::Text, "none", "simple", "none"},
      {"quorvel", "windowposition", Kind::Text, "center", "10,20", "center"},
      {"quorvel", "fullscreen", Kind::Bool, "0", "0", "0"},
      // The runtime's own height is 600: a new project's 300 must be written.
      {"quorvel", "windowwidth, windowheight", Kind::Size, "", "50 x 80 %", "400 x 300 px"},
      {"quorvel", "skin", Kind::Text, "", "skin.bmp", ""},
      {"quorvel", "skinposition", Kind::Text, "0,0,100,100", "5,6,70,80", "0,0,100,100"},
      {"quorvel", "buttondir", Kind::Text, "buttons", "buttons", "buttons"},
      {"quorvel", "toolbarcolor", Kind::Number, "-16777201", std::to_string(static_cast<int>(clRed)), btnFace},
      {"quorvel", "toolbar", Kind::Text, "", "search,exit", ""},
      {"fulltextsearchengine", "active", Kind::Bool, "0", "1", "0"},
      {"fulltextsearchengine", "index", Kind::Text, "", "idx.qvix", "Index.qvix"},
      {"fulltextsearchengine", "resulttemplate", Kind::Text, "", "result.html", ""},
  };
}

class SettingsTest : public qvtest::DesignerTest {
 protected:
  // A new project at project\autorun.inf through the new command.
  void newProject(TQVDesigner* d) {
    d->BtnNewClick(d->BtnNew);
    ASSERT_TRUE(d->FProjectOpen);
  }
  void reopen(TQVDesigner* d) {
    d->FPendingFile = d->FProjectFile;
    d->BtnOpenClick(d->BtnOpen);
    d->FPendingFile.clear();
  }
  void SetUp() override {
    DesignerTest::SetUp();
    answer("dialog", projectPath());
  }
};

TEST_F(SettingsTest, EveryKeyReadsBackIdenticallyAndMeansTheSameToTheRuntime) {
  std::filesystem::create_directories(hostPath("project/buttons"));
  std::map<std::string, std::string> written, readBack;
  std::string shownSize;
  bool modifiedAfterSave = true, modifiedAfterOpen = true;
  step([&](TQVDesigner* d) {
    newProject(d);
    changeEverything(d);
    written = snapshot(d);
    shownSize = designerSize(d);
    d->BtnSaveClick(d->BtnSave);
    modifiedAfterSave = d->FModified;
    reopen(d);
    modifiedAfterOpen = d->FModified;
    readBack = snapshot(d);
  });
  launch();
  EXPECT_FALSE(modifiedAfterSave);
  EXPECT_FALSE(modifiedAfterOpen);
  for (const auto& [key, value] : written) EXPECT_EQ(readBack[key], value) << key;
  // The percent width warns about nothing at 50 %; nothing else was asked.
  EXPECT_EQ(dialogTexts(), std::vector<std::string>{});

  std::string file = hostPath("project/autorun.inf");
  TIniFile ini(file);
  EXPECT_EQ(ini.ReadString("autorun", "open", ""), "start.exe");
  for (const RuntimeKey& k : runtimeKeys()) EXPECT_EQ(runtimeRead(ini, k), k.changed) << k.key;
  EXPECT_EQ(runtimeSize(ini), shownSize);
  EXPECT_FALSE(ini.ValueExists("quorvel", "windowwith"));
}

// A project created first after the start and saved unchanged holds only
// the keys that differ from the runtime's defaults.
TEST_F(SettingsTest, ANewProjectSavedUnchangedWritesOnlyWhatDiffersFromTheDefaults) {
  std::string shownSize;
  step([&](TQVDesigner* d) {
    newProject(d);
    shownSize = designerSize(d);
    d->BtnSaveClick(d->BtnSave);
  });
  launch();
  std::string file = hostPath("project/autorun.inf");
  EXPECT_EQ(sectionLines(file, "autorun"), std::vector<std::string>{"open=qvlaunch.exe"});
  EXPECT_EQ(sectionLines(file, "quorvel"),
            (std::vector<std::string>{"startpage=", "splashscreentime=2", "hideheaderfooter=1", "windowheight=300"}));
  EXPECT_EQ(sectionLines(file, "fulltextsearchengine"), std::vector<std::string>{"index=Index.qvix"});
  TIniFile ini(file);
  for (const RuntimeKey& k : runtimeKeys()) EXPECT_EQ(runtimeRead(ini, k), k.fresh) << k.key;
  EXPECT_EQ(runtimeSize(ini), shownSize);
}

// Values set back to their defaults delete the keys of an existing file;
// keys the designer does not know stay as they are.
TEST_F(SettingsTest, DefaultValuesDeleteTheirKeys) {
  std::filesystem::create_directories(hostPath("project/buttons"));
  writeProjectFile("autorun.inf", "[quorvel]\r\nwindowwith=640\r\n");
  step([&](TQVDesigner* d) {
    changeEverything(d);
    d->BtnSaveClick(d->BtnSave);
    d->ResetProjectSettings();
    // What the reset leaves as it is.
    d->ToolbarColorCOL->SetSelected(clNone);
    for (TEdit* e : {d->SkinPosXEdit, d->SkinPosYEdit}) e->SetText("0");
    for (TEdit* e : {d->SkinWidthEdit, d->SkinHeightEdit}) e->SetText("100");
    d->SizeYEdit->SetText("600");
    d->SplashTimeED->SetText("");
    d->ExtSearchIndexED->SetText("");
    d->HidePrintHeaderFooterCB->SetChecked(false);
    d->BtnSaveClick(d->BtnSave);
  });
  launch("\"" + projectPath() + "\"");
  std::string file = hostPath("project/autorun.inf");
  EXPECT_EQ(sectionLines(file, "autorun"), std::vector<std::string>{"open=qvlaunch.exe"});
  EXPECT_EQ(sectionLines(file, "quorvel"), (std::vector<std::string>{"windowwith=640", "startpage="}));
  EXPECT_TRUE(sectionLines(file, "fulltextsearchengine").empty());
}

TEST_F(SettingsTest, FullScreenLeavesTheWindowSizeInTheFile) {
  writeProjectFile("autorun.inf", "[quorvel]\r\nwindowwidth=640\r\nwindowheight=50%\r\n");
  std::map<std::string, std::string> readBack;
  step([&](TQVDesigner* d) {
    d->SizeFullscreen->SetChecked(true);
    d->BtnSaveClick(d->BtnSave);
    reopen(d);
    readBack = snapshot(d);
  });
  launch("\"" + projectPath() + "\"");
  TIniFile ini(hostPath("project/autorun.inf"));
  EXPECT_EQ(ini.ReadString("quorvel", "fullscreen", ""), "1");
  EXPECT_EQ(ini.ReadString("quorvel", "windowwidth", ""), "640");
  EXPECT_EQ(ini.ReadString("quorvel", "windowheight", ""), "50%");
  // Full screen disables the size and leaves the edits at the new project's.
  EXPECT_EQ(readBack["fullscreen"], "10");
  EXPECT_EQ(readBack["windowwidth"], "400 0");
}

// A percent size that is no number stops the save with the conversion
// error and leaves the file as it was; one above 100 % warns and saves.
TEST_F(SettingsTest, APercentSizeThatIsNoNumberStopsTheSave) {
  std::string original = "[quorvel]\r\nstartpage=index.html\r\n";
  writeProjectFile("autorun.inf", original);
  bool failed = false;
  bool modified = false;
  step([&](TQVDesigner* d) {
    d->HeightUnitCB->SetItemIndex(1);
    d->SizeYEdit->SetText("");
    try {
      d->BtnSaveClick(d->BtnSave);
    } catch (EConvertError&) {
      failed = true;
    }
    modified = d->FModified;
  });
  launch("\"" + projectPath() + "\"");
  EXPECT_TRUE(failed);
  EXPECT_TRUE(modified);
  EXPECT_EQ(readFile(hostPath("project/autorun.inf")), original);
}

// The warning is for a percent size above 100, on either side; 100 itself
// and a pixel size above it are no warning. The save goes on either way.
struct PercentCase {
  const char* name;
  const char* width;
  int widthUnit;
  const char* height;
  int heightUnit;
  bool warns;
  const char* writtenWidth;
  const char* writtenHeight;
};

void PrintTo(const PercentCase& c, std::ostream* os) { *os << c.name; }

class PercentWarningTest : public SettingsTest, public ::testing::WithParamInterface<PercentCase> {};

TEST_P(PercentWarningTest, WarnsAbove100PercentAndSaves) {
  const PercentCase& c = GetParam();
  writeProjectFile("autorun.inf", "[quorvel]\r\nstartpage=index.html\r\n");
  step([&](TQVDesigner* d) {
    d->SizeXEdit->SetText(c.width);
    d->WidthUnitCB->SetItemIndex(c.widthUnit);
    d->SizeYEdit->SetText(c.height);
    d->HeightUnitCB->SetItemIndex(c.heightUnit);
    d->BtnSaveClick(d->BtnSave);
  });
  launch("\"" + projectPath() + "\"");
  const std::string warning = ansi(u8"Sie haben bei der Fenstergröße einen ungültigen Prozentwert angegeben!");
  ASSERT_EQ(dialogTexts(), c.warns ? std::vector<std::string>{warning} : std::vector<std::string>{});
  if (c.warns) {
    EXPECT_EQ(events("msgdlg")[0].fields[2], "mtWarning");
    EXPECT_EQ(events("msgdlg")[0].fields[3], "Cancel");
  }
  TIniFile ini(hostPath("project/autorun.inf"));
  EXPECT_EQ(ini.ReadString("quorvel", "windowwidth", "-"), c.writtenWidth);
  EXPECT_EQ(ini.ReadString("quorvel", "windowheight", "-"), c.writtenHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PercentWarningTest,
    ::testing::Values(PercentCase{"Width100", "100", 1, "100", 1, false, "100%", "100%"},
                      PercentCase{"Width101", "101", 1, "100", 1, true, "101%", "100%"},
                      PercentCase{"Width150", "150", 1, "50", 1, true, "150%", "50%"},
                      PercentCase{"Height101", "100", 1, "101", 1, true, "100%", "101%"},
                      PercentCase{"PixelsAbove100", "640", 0, "480", 0, false, "640", "480"}),
    [](const auto& info) { return std::string(info.param.name); });

// A key the file lacks reads as the designer's default for it, whatever the
// controls showed before: every key at once, over a project that changed
// every control.
TEST_F(SettingsTest, EveryAbsentKeyReadsAsTheDesignersDefault) {
  std::filesystem::create_directories(hostPath("project/buttons"));
  writeProjectFile("bare.inf", "[autorun]\r\n[quorvel]\r\n[fulltextsearchengine]\r\n");
  std::map<std::string, std::string> read;
  step([&](TQVDesigner* d) {
    newProject(d);
    changeEverything(d);
    d->FModified = false;
    d->FPendingFile = projectPath("bare.inf");
    d->BtnOpenClick(d->BtnOpen);
    d->FPendingFile.clear();
    read = snapshot(d);
  });
  launch();
  const std::map<std::string, std::string> defaults = {
      {"open", "qvlaunch.exe"},
      {"icon", ""},
      {"windowcaption", "Qvlaunch"},
      {"appcaption", "0"},
      {"startpage", ""},
      {"altstartpage", ""},
      {"splashscreenimg", ""},
      {"splashscreentime", ""},
      {"uselanguagestartpage", "0"},
      {"requirements", ""},
      {"executeext", "exe"},
      {"forceofflinemode", "0"},
      {"singleinstance", "0"},
      {"dropshadow", "0"},
      {"noscrollbars", "1"},
      {"fadein", "0"},
      {"defaultcursor", "1"},
      {"hidesplashscreen", "0"},
      {"internalpopups", "1"},
      {"intromusic", ""},
      {"loopmusic", "0"},
      {"stopmusiconclick", "0"},
      {"showstatusbar", "0"},
      {"disablescripterrors", "0"},
      {"hideheaderfooter", "0"},
      {"borderstyle", "2"},
      {"contextmenu", "100"},
      // Centred, with the edits disabled; their texts stay.
      {"windowposition", "10 10,20"},
      {"fullscreen", "01"},
      {"windowwidth", "400 0"},
      // The runtime's own height, so that what shows is what runs.
      {"windowheight", "600 0"},
      {"skin", ""},
      {"skinposition", "0,0,100,100"},
      {"buttondir", ""},
      {"toolbarcolor", std::to_string(clNone)},
      {"active", "00"},
      {"index", ""},
      {"resulttemplate", ""},
  };
  for (const auto& [key, value] : defaults) EXPECT_EQ(read[key], value) << key;
  // No row checked; the rows keep the order they had.
  EXPECT_EQ(read["toolbar"].find('+'), std::string::npos) << read["toolbar"];
  EXPECT_EQ(read.size(), defaults.size() + 1);
  EXPECT_EQ(dialogTexts(), std::vector<std::string>{});
}

struct ReadCase {
  const char* name;
  const char* keys;
  const char* snapshotKey;
  const char* expected;
};

class ReadCaseTest : public SettingsTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadCaseTest, TheReaderTakesTheValue) {
  std::filesystem::create_directories(hostPath("project/buttons"));
  writeProjectFile("autorun.inf", std::string("[quorvel]\r\n") + GetParam().keys);
  std::map<std::string, std::string> read;
  step([&](TQVDesigner* d) { read = snapshot(d); });
  launch("\"" + projectPath() + "\"");
  EXPECT_EQ(read[GetParam().snapshotKey], GetParam().expected);
  EXPECT_EQ(dialogTexts(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadCaseTest,
    ::testing::Values(
        ReadCase{"UnknownBorderStyleIsNormal", "borderstyle=thin\r\n", "borderstyle", "2"},
        ReadCase{"BorderStyleNone", "borderstyle=none\r\n", "borderstyle", "0"},
        ReadCase{"ContextMenuFull", "contextmenu=full\r\n", "contextmenu", "001"},
        ReadCase{"PercentWidth", "windowwidth=50%\r\n", "windowwidth", "50 1"},
        ReadCase{"AbsentHeightIsTheRuntimes", "", "windowheight", "600 0"},
        ReadCase{"PositionWithOnePart", "windowposition=30\r\n", "windowposition", "01 30,0"},
        ReadCase{"SkinPositionWithTwoParts", "skinposition=1,2\r\n", "skinposition", "1,2,100,100"},
        ReadCase{"AppCaptionChecksItsBox", "appcaption=Menu\r\n", "appcaption", "1Menu"},
        // An unknown word keeps its place: "copy" goes to the third row.
        ReadCase{"UnknownToolbarWordCountsItsPlace", "buttondir=buttons\r\ntoolbar=exit,nonsense,copy\r\n",
                 "toolbar", "Beenden+ Drucken- Kopieren+ Zur\xFC" "ck- Vorw\xE4rts- Startseite- Suchen- "},
        ReadCase{"HexadecimalBooleanIsTrue", "noscrollbars=0x0\r\nloopmusic=0x10\r\n", "loopmusic", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, ABorderStyleTheDesignerDoesNotKnowIsDeletedByTheNextSave) {
  writeProjectFile("autorun.inf", "[quorvel]\r\nborderstyle=thin\r\n");
  step([&](TQVDesigner* d) { d->BtnSaveClick(d->BtnSave); });
  launch("\"" + projectPath() + "\"");
  EXPECT_FALSE(TIniFile(hostPath("project/autorun.inf")).ValueExists("quorvel", "borderstyle"));
}

// The reader's reports: a missing button folder (the rows still show the
// file's buttons, so that a save keeps them), and an icon that does not
// load.
TEST_F(SettingsTest, TheReaderReportsAMissingButtonFolderAndABrokenIcon) {
  writeProjectFile("autorun.inf", "[autorun]\r\nicon=menu.ico\r\n[quorvel]\r\nbuttondir=nowhere\r\ntoolbar=exit\r\n");
  writeProjectFile("menu.ico", "not an icon");
  std::map<std::string, std::string> read;
  step([&](TQVDesigner* d) {
    read = snapshot(d);
    d->BtnSaveClick(d->BtnSave);
  });
  launch("\"" + projectPath() + "\"");
  EXPECT_EQ(dialogTexts(),
            (std::vector<std::string>{ansi(u8"Die Icon-Datei für dieses Projekt konnte nicht gefunden werden!"),
                                      ansi(u8"Das Verzeichnis für die Toolbar-Schaltfächen-Bitmaps existiert nicht!")}));
  for (const auto& e : events("msgdlg")) {
    EXPECT_EQ(e.fields[2], "mtError");
    EXPECT_EQ(e.fields[3], "OK");
  }
  EXPECT_EQ(read["toolbar"].substr(0, 9), "Beenden+ ");
  EXPECT_EQ(read["icon"], "menu.ico");
  EXPECT_EQ(TIniFile(hostPath("project/autorun.inf")).ReadString("quorvel", "toolbar", ""), "exit");
}

// The skin preview shows the project's skin: a new project after one with
// a skin shows none.
TEST_F(SettingsTest, ANewProjectShowsNoSkinOfTheProjectBefore) {
  writeProjectFile("old/autorun.inf", "[quorvel]\r\nskin=skin.bmp\r\n");
  writeProjectFile("old/skin.bmp", qvtest::bmpFile(8, 6, qvtest::Rgb{200, 0, 0}));
  int before = 0, after = -1;
  step([&](TQVDesigner* d) {
    before = d->SkinPreview->Picture()->Width();
    d->BtnNewClick(d->BtnNew);
    after = d->SkinPreview->Picture()->Width();
  });
  launch("\"" + projectPath("old\\autorun.inf") + "\"");
  EXPECT_EQ(before, 8);
  EXPECT_EQ(after, 0);
}

// The runtime reads both window sizes as percent when one is, so a pair in
// two units (an absent key counting as the runtime's default in pixels)
// would run in another size than the page shows: such a save writes
// nothing, says so and shows the size to choose a unit; one unit for both
// saves.
TEST_F(SettingsTest, ASizeInTwoUnitsIsNotSavedUntilOneUnitIsChosen) {
  const std::string original = "[quorvel]\r\nstartpage=index.html\r\n";
  writeProjectFile("autorun.inf", original);
  struct Case {
    const char *width, *height;
    int widthUnit, heightUnit;
    bool saved;
    const char *widthKey, *heightKey;  // what the file then holds ("-": no key)
  };
  const Case cases[] = {
      {"50", "300", 1, 0, false, "-", "-"},  // "50 % wide, 300 px high"
      {"400", "50", 0, 1, false, "-", "-"},  // the width's key would be absent
      {"50", "80", 1, 1, true, "50%", "80%"},
      {"640", "600", 0, 0, true, "640", "-"},
  };
  std::vector<bool> saved;
  std::vector<std::string> contents, pages, focused;
  step([&](TQVDesigner* d) {
    for (const Case& c : cases) {
      d->Notebook->SetActivePage("Autorun");
      d->SizeXEdit->SetText(c.width);
      d->SizeYEdit->SetText(c.height);
      d->WidthUnitCB->SetItemIndex(c.widthUnit);
      d->HeightUnitCB->SetItemIndex(c.heightUnit);
      d->FModified = true;
      saved.push_back(d->SaveProject() && !d->FModified);
      contents.push_back(readFile(hostPath("project/autorun.inf")));
      pages.push_back(d->Notebook->ActivePage());
      focused.push_back(d->ActiveControl() ? d->ActiveControl()->Name() : "");
    }
  });
  launch("\"" + projectPath() + "\"");
  const std::string warning =
      ansi(u8"Breite und Höhe des Fensters müssen dieselbe Einheit haben: Quorvel liest beide Werte als Prozent, "
           u8"sobald einer in Prozent angegeben ist. Bitte wählen Sie für beide Werte Pixel oder für beide Prozent.");
  EXPECT_EQ(dialogTexts(), (std::vector<std::string>{warning, warning}));
  EXPECT_EQ(events("msgdlg")[0].fields[2], "mtWarning");
  EXPECT_EQ(events("msgdlg")[0].fields[3], "OK");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(std::string(c.width) + "/" + c.height);
    EXPECT_EQ(saved[i], c.saved);
    if (!c.saved) {
      EXPECT_EQ(contents[i], original);
      EXPECT_EQ(pages[i], "Position");
      // The box of the size in pixels, for the author to turn to percent.
      EXPECT_EQ(focused[i], c.widthUnit == 0 ? "WidthUnitCB" : "HeightUnitCB");
      continue;
    }
    TStringList lines;
    lines.SetText(contents[i]);
    EXPECT_EQ(lines.Values("windowwidth"), std::string(c.widthKey) == "-" ? "" : c.widthKey);
    EXPECT_EQ(lines.Values("windowheight"), std::string(c.heightKey) == "-" ? "" : c.heightKey);
  }
}

// Closing with such a size and Yes to the save question keeps the window
// and the changes for the author to choose.
TEST_F(SettingsTest, ClosingWithASizeInTwoUnitsKeepsTheWindow) {
  writeProjectFile("autorun.inf", "[quorvel]\r\nstartpage=index.html\r\n");
  answer("msgbox", "Yes");
  bool visible = false, modified = false;
  step([&](TQVDesigner* d) {
    d->WidthUnitCB->SetItemIndex(1);
    d->SizeXEdit->SetText("50");
    d->FModified = true;
    d->Close();
    visible = IsWindowVisible(d->Handle()) != FALSE;
    modified = d->FModified;
  });
  launch("\"" + projectPath() + "\"");
  EXPECT_TRUE(visible);
  EXPECT_TRUE(modified);
  ASSERT_EQ(dialogTexts().size(), 2u);
  EXPECT_EQ(dialogTexts()[0], ansi(u8"Möchten Sie die Änderungen vor dem Schließen speichern?"));
}

// A save works on a copy of the file beside it, which then takes the file's
// place in one step: keys, sections and comments that the designer does not
// own stay as they were, and what a killed save left behind is removed.
TEST_F(SettingsTest, ASaveKeepsWhatTheDesignerDoesNotOwnAndLeavesNoCopyBehind) {
  writeProjectFile("autorun.inf",
                   "; made by hand\r\n[autorun]\r\nopen=qvlaunch.exe\r\nlabel=DEMO DISC\r\n[quorvel]\r\n"
                   "startpage=old.html\r\nwindowwith=640\r\n[notes]\r\nauthor=Someone\r\n");
  writeProjectFile("autorun.inf.qvsave", "[quorvel]\r\nstartpage=half");
  writeProjectFile("autorun.inf.qvsave.qvtmp-1234", "[quorvel]\r\nst");
  step([&](TQVDesigner* d) {
    d->AutorunHtmlFileEdit->SetText("new.html");
    d->BtnSaveClick(d->BtnSave);
  });
  launch("\"" + projectPath() + "\"");
  const std::string file = hostPath("project/autorun.inf");
  EXPECT_EQ(readFile(file).rfind("; made by hand\r\n", 0), 0u);
  EXPECT_EQ(sectionLines(file, "autorun"), (std::vector<std::string>{"open=qvlaunch.exe", "label=DEMO DISC"}));
  EXPECT_EQ(TIniFile(file).ReadString("quorvel", "startpage", ""), "new.html");
  EXPECT_EQ(TIniFile(file).ReadString("quorvel", "windowwith", ""), "640");
  EXPECT_EQ(sectionLines(file, "notes"), std::vector<std::string>{"author=Someone"});
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(hostPath("project")))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"autorun.inf"});
}

// A file that cannot be replaced (it is read-only) is reported with the
// reason, and the file and the project's changes stay; as long as the save
// fails, Yes to the save question on closing keeps the window, and No lets
// the changes go.
TEST_F(SettingsTest, ASaveThatCannotReplaceTheFileKeepsTheOldFileAndTheWindow) {
  const std::string original = "[quorvel]\r\nstartpage=index.html\r\n";
  const std::string file = writeProjectFile("autorun.inf", original);
  std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  answer("msgbox", "Yes");
  answer("msgbox", "Yes");
  answer("msgbox", "No");
  std::string message, closeMessage;
  bool modified = false, openAfterYes = false, openAfterSecondYes = false;
  step([&](TQVDesigner* d) {
    d->AutorunHtmlFileEdit->SetText("new.html");
    try {
      d->SaveProject();
    } catch (Exception& E) {
      message = E.Message();
    }
    modified = d->FModified;
    for (bool* open : {&openAfterYes, &openAfterSecondYes}) {
      try {
        d->Close();
      } catch (Exception& E) {
        closeMessage = E.Message();
      }
      *open = IsWindowVisible(d->Handle()) != FALSE;
    }
    d->Close();
  });
  launch("\"" + projectPath() + "\"");
  EXPECT_EQ(message.rfind("Das Projekt \"" + projectPath() + "\" konnte nicht gespeichert werden: ", 0), 0u) << message;
  EXPECT_EQ(closeMessage, message);
  EXPECT_TRUE(modified);
  EXPECT_TRUE(openAfterYes);
  EXPECT_TRUE(openAfterSecondYes);
  EXPECT_EQ(dialogTexts().size(), 3u);  // the save question, three times
  EXPECT_EQ(readFile(file), original);
  EXPECT_FALSE(std::filesystem::exists(file + ".qvsave"));
}

// A file of binary junk (a program, a picture) is no settings file: it is
// not opened, so no default project shows for it and no save appends
// settings to it.
TEST_F(SettingsTest, AFileOfBinaryJunkIsNotOpened) {
  const char bytes[] = "MZ\x90\0\x03\0\0\0\x04\0\0\0\xff\xff[quorvel]\r\n";
  const std::string junk(bytes, sizeof bytes - 1);
  const std::string file = writeProjectFile("autorun.inf", junk);
  bool open = true;
  step([&](TQVDesigner* d) { open = d->FProjectOpen; });
  launch("\"" + projectPath() + "\"");
  EXPECT_FALSE(open);
  EXPECT_EQ(dialogTexts(), std::vector<std::string>{"Die Datei \"" + projectPath() +
                                                    "\" ist keine Textdatei und kann nicht als Projekt ge\xF6" "ffnet werden."});
  EXPECT_EQ(events("msgdlg")[0].fields[2], "mtError");
  EXPECT_EQ(events("msgdlg")[0].fields[3], "OK");
  EXPECT_EQ(readFile(file), junk);
}

// Without a button folder in the settings the runtime takes its bitmaps
// from "buttons\", and so does the preview.
TEST_F(SettingsTest, WithoutAButtonFolderThePreviewTakesTheRuntimesFolder) {
  writeProjectFile("autorun.inf", "[quorvel]\r\ntoolbar=exit\r\n");
  writeProjectFile("buttons/exit.bmp", qvtest::bmpFile(32, 24, qvtest::Rgb{200, 0, 0}));
  int width = 0, images = 0;
  step([&](TQVDesigner* d) {
    width = d->BtnPreviewImageList->Width();
    images = d->BtnPreviewImageList->Count();
  });
  launch("\"" + projectPath() + "\"");
  EXPECT_EQ(dialogTexts(), std::vector<std::string>{});
  EXPECT_EQ(width, 32);
  EXPECT_EQ(images, 7);
}

}  // namespace
