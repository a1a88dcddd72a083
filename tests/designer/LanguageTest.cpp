// The user-interface language: the machine-wide choice of English is
// copied for the user on the first start and switches the running
// designer to the English module; and the picture dialog of the logo.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DesignerFixture.h"
#include "designer/DesignerStrings.h"
#include "designer/EasterEggForm.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/Dialogs.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Jpeg.h"
#include "platform/classlib/Registry.h"
#include "platform/classlib/StdCtrls.h"

namespace {

constexpr const char* kLocales = "Software\\Borland\\Locales";

class LanguageTest : public qvtest::DesignerTest {
 protected:
  struct Seen {
    std::string newHint;
    std::string searchCaption;
    std::string saveQuestion;
    std::string language;
  };
  void choose(HKEY root, const std::string& value) const {
    TRegistry registry;
    registry.SetRootKey(root);
    ASSERT_TRUE(registry.OpenKey(kLocales, true));
    registry.WriteString(programPath(), value);
  }
  // The user's value, or "<none>".
  std::string userChoice() const {
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_CURRENT_USER);
    if (!registry.OpenKeyReadOnly(kLocales)) return "<no key>";
    return registry.ValueExists(programPath()) ? registry.ReadString(programPath()) : "<none>";
  }
  void installModule(const std::string& extension) const {
    std::filesystem::copy_file(QV_DESIGNER_ENGLISH_MODULE, hostPath("prog/qvdesigner." + extension));
  }
  Seen run() {
    Seen seen;
    step([&](TQVDesigner* d) {
      seen.newHint = d->BtnNew->Hint();
      seen.searchCaption = d->StartTrawlbuildButton->Caption();
      seen.saveQuestion = DesignerStr(sSaveChangesQuestion);
      seen.language = DesignerStr(sLanguage);
    });
    launch();
    return seen;
  }
};

TEST_F(LanguageTest, WithoutAMachineWideChoiceTheDesignerStaysGermanAndWritesNothing) {
  installModule("ENU");
  const Seen seen = run();
  EXPECT_EQ(seen.newHint, "Neues Projekt erzeugen");
  EXPECT_EQ(seen.searchCaption, "Suchindex erstellen...");
  EXPECT_EQ(seen.language, "de");
  EXPECT_EQ(userChoice(), "<no key>");
}

// The first start after the machine-wide choice: the user's value is
// written and the running designer shows its form and texts in English.
TEST_F(LanguageTest, TheMachineWideChoiceOfEnglishSwitchesTheFirstStart) {
  choose(HKEY_LOCAL_MACHINE, "ENU");
  installModule("ENU");
  const Seen seen = run();
  EXPECT_EQ(userChoice(), "ENU");
  EXPECT_EQ(seen.newHint, "Create a new project");
  EXPECT_EQ(seen.searchCaption, "Build search index...");
  EXPECT_EQ(seen.saveQuestion, "Do you want to save the changes before closing?");
  EXPECT_EQ(seen.language, "en");
}

// A program file without an extension, as programs are named on the host,
// finds its module as "qvdesigner.ENU": at a later start through the class
// library's start-time module, at the first through the designer's switch.
TEST_F(LanguageTest, ALaterStartOfAProgramWithoutExtensionFindsItsModule) {
  programFile = "qvdesigner";
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) choose(root, "ENU");
  installModule("ENU");
  const Seen seen = run();
  EXPECT_EQ(seen.newHint, "Create a new project");
  EXPECT_EQ(seen.saveQuestion, "Do you want to save the changes before closing?");
  EXPECT_EQ(seen.language, "en");
}

TEST_F(LanguageTest, TheFirstStartOfAProgramWithoutExtensionSwitchesToItsModule) {
  programFile = "qvdesigner";
  choose(HKEY_LOCAL_MACHINE, "ENU");
  installModule("ENU");
  const Seen seen = run();
  EXPECT_EQ(userChoice(), "ENU");
  EXPECT_EQ(seen.newHint, "Create a new project");
  EXPECT_EQ(seen.language, "en");
}

TEST_F(LanguageTest, TheTwoLetterModuleIsFoundWhenTheThreeLetterOneIsMissing) {
  choose(HKEY_LOCAL_MACHINE, "ENU");
  installModule("EN");
  const Seen seen = run();
  EXPECT_EQ(userChoice(), "ENU");
  EXPECT_EQ(seen.newHint, "Create a new project");
}

// A later start finds the user's value: the class library has loaded the
// module at the program's start, and nothing more is written.
TEST_F(LanguageTest, ALaterStartIsEnglishFromTheStartAndWritesNothing) {
  choose(HKEY_LOCAL_MACHINE, "ENU");
  choose(HKEY_CURRENT_USER, "ENU");
  installModule("ENU");
  const Seen seen = run();
  EXPECT_EQ(seen.newHint, "Create a new project");
  EXPECT_EQ(seen.saveQuestion, "Do you want to save the changes before closing?");
  TRegistry registry(KEY_READ);
  ASSERT_TRUE(registry.OpenKeyReadOnly(kLocales));
  TStringList names;
  registry.GetValueNames(&names);
  EXPECT_EQ(names.Count(), 1);
}

TEST_F(LanguageTest, AMissingModuleLeavesTheGermanTexts) {
  choose(HKEY_LOCAL_MACHINE, "ENU");
  const Seen seen = run();
  EXPECT_EQ(seen.newHint, "Neues Projekt erzeugen");
  EXPECT_EQ(seen.language, "de");
  EXPECT_EQ(userChoice(), "ENU");
}

// The product logo opens the picture dialog with its JPEG; a click on the
// picture closes it, and the dialog is freed.
TEST_F(LanguageTest, TheProductLogoOpensThePictureDialog) {
  std::string caption, graphic;
  int width = 0, height = 0, clientWidth = 0, clientHeight = 0;
  bool freed = false;
  step([&](TQVDesigner* d) {
    d->LogoImage->OnClick(d->LogoImage);
    freed = true;
    for (int i = 0; i < d->ComponentCount(); ++i)
      if (dynamic_cast<TEasterEgg*>(d->Components(i))) freed = false;
  });
  step([&](TQVDesigner*) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      auto* egg = dynamic_cast<TEasterEgg*>(Screen->Forms(i));
      if (!egg) continue;
      caption = egg->Caption();
      clientWidth = egg->ClientWidth();
      clientHeight = egg->ClientHeight();
      TGraphic* g = egg->EasterEggImage->Picture()->Graphic();
      graphic = g ? g->ClassName() : "";
      width = g ? g->Width() : 0;
      height = g ? g->Height() : 0;
      TPoint p = egg->EasterEggImage->ClientToScreen(TPoint{20, 20});
      click(p.x, p.y);
    }
  });
  launch();
  EXPECT_EQ(caption, "Yeah, you found an easter egg! ;-)");
  EXPECT_EQ(graphic, "TJPEGImage");
  EXPECT_EQ(width, 402);
  EXPECT_EQ(height, 350);
  EXPECT_EQ(clientWidth, 402);
  EXPECT_EQ(clientHeight, 350);
  EXPECT_TRUE(freed);
  EXPECT_FALSE(timedOut());
}

}  // namespace
