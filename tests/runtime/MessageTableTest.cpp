// The runtime's message texts in both languages, the first-"~" rule, the
// language file that replaces 18 of them, and the error box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/SysUtils.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/MessageBox.h"
#include "runtime/MessageTable.h"

namespace {

using qv::desktop::Recorder;
using qv::os::ansi;

// The UTF-8 bytes of a literal, as a language file holds them.
std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class MessageTableTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    MessagesInEnglish = false;
    LanguageFileLoaded = false;
  }
  void TearDown() override {
    MessagesInEnglish = false;
    LanguageFileLoaded = false;
    DesktopTest::TearDown();
  }

  // Writes a language file of the given lines (UTF-8, CR LF), loads it and
  // marks it loaded as the main window does after success.
  void loadLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    LoadLanguageFile(writeFile("qvlaunch_DE.lib", bytes));
    LanguageFileLoaded = true;
  }
  // 19 lines "key=<value n>" for the 18 replaceable ids and the unused one.
  static std::vector<std::string> numberedLines() {
    std::vector<std::string> lines;
    for (int n = 1; n <= 19; ++n) lines.push_back("key" + std::to_string(n) + "=text " + std::to_string(n));
    return lines;
  }
};

struct Text {
  int id;
  const char8_t* english;
  const char8_t* german;
};

// Copied from the table of texts; "\r" is the CR inside a text.
const Text kTexts[] = {
    {1, u8"Error", u8"Fehler"},
    {2, u8"Error on loading DLL file \"~\".", u8"Fehler beim Laden der DLL-Datei \"~\"."},
    {4, u8"Cannot find configuration file \"~\".", u8"Die Konfigurations-Datei \"~\" kann nicht gefunden werden."},
    {5, u8"About Quorvel...", u8"Über Quorvel..."},
    {6,
     u8"Internet-Explorer (version 4.0 or higher) is not installed correctly.\rThe default browser is used for "
     u8"displaying the contents.",
     u8"Der Internet-Explorer (ab Version 4.0) ist nicht korrekt installiert.\rEs wird jetzt der Standard-Browser "
     u8"zur Anzeige verwendet."},
    {7,
     u8"For displaying the contents certain requirements have to be fulfilled.\rThese requirements are not "
     u8"fulfilled. Therefore contents cannot be displayed.",
     u8"Zur Anzeige sind Komponenten/Systemvoraussetzungen erforderlich,\rdie nicht vorhanden/erfüllt sind. Ein "
     u8"Starten der Oberfläche ist nicht möglich."},
    {8, u8"Window position is invalid.", u8"Die Angabe der Fensterposition ist ungültig."},
    {9, u8"Button bitmap file \"~\" cannot be found.", u8"Die Button-Bitmap-Datei \"~\" kann nicht gefunden werden."},
    {11, u8"The current page cannot be printed.", u8"Die aktuelle Seite kann nicht gedruckt werden."},
    {12, u8"The executable file \"~\" cannot be found.", u8"Die ausführbare Datei \"~\" kann nicht gefunden werden."},
    {15, u8"No start page is declared (attribute \"startpage\") or the start page \"~\" cannot be found.",
     u8"Es ist keine Startseite (Attribut \"startpage\") angegeben oder die Startseite \"~\" kann nicht gefunden "
     u8"werden."},
    {17, u8"The button bitmaps of the toolbar do not all have the same size.",
     u8"Die Button-Bitmaps für die Toolbar haben nicht alle die gleiche Größe!"},
    {18, u8"An unexpected error occured!\rDebug information: \"~\"",
     u8"Ein unerwarteter Fehler ist aufgereten!\rDebug Information: \"~\""},
    {19, u8"Save as...", u8"Speichern unter..."},
    {20, u8"All Files|*.*", u8"Alle Dateien|*.*"},
    {21, u8"Quorvel", u8"Quorvel"},
    {22, u8"Error: ~!", u8"Fehler: ~!"},
    {23, u8"Exit", u8"Beenden"},
    {24, u8"Print", u8"Drucken"},
    {25, u8"Copy", u8"Kopieren"},
    {26, u8"Back", u8"Zurück"},
    {27, u8"Forward", u8"Vorwärts"},
    {28, u8"Home", u8"Startseite"},
    {29, u8"Search", u8"Suchen"},
    {30, u8"Quorvel is not configured correctly for the use with a webserver.",
     u8"Quorvel ist für den Einsatz mit einem Webserver nicht korrekt konfiguriert."},
    {32, u8"Search form is not configured correctly!", u8"Das Suchformular ist nicht korrekt konfiguriert!"},
    {33, u8"Search index \"~\" cannot be found!", u8"Der Suchindex \"~\" konnte nicht gefunden werden!"},
    {34, u8"The temporary search results page (\"~\") cannot be deleted!",
     u8"Die temporäre Suchergebnisseite (\"~\") konnte nicht mehr gelöscht werden!"},
    {35, u8"Quorvel cannot be started. Reason: ~", u8"Quorvel kann nicht gestartet werden. Ursache: ~"},
    // Ids without a text.
    {0, u8"", u8""},
    {3, u8"", u8""},
    {10, u8"", u8""},
    {13, u8"", u8""},
    {14, u8"", u8""},
    {16, u8"", u8""},
    {31, u8"", u8""},
    {36, u8"", u8""},
};

// An argument of "~" puts the text's own "~" back, so each text is compared
// as it stands in the table.
TEST_F(MessageTableTest, EveryTextInBothLanguages) {
  for (bool english : {false, true}) {
    MessagesInEnglish = english;
    for (const Text& t : kTexts)
      EXPECT_EQ(GetMessageText(t.id, "~"), ansi(english ? t.english : t.german))
          << "id " << t.id << (english ? " English" : " German");
  }
}

TEST_F(MessageTableTest, ArgumentReplacesTheFirstTildeOnly) {
  MessagesInEnglish = true;
  // A "~" inside the argument is not replaced again.
  EXPECT_EQ(GetMessageText(9, "C:\\Disc\\~1\\b~.bmp"), "Button bitmap file \"C:\\Disc\\~1\\b~.bmp\" cannot be found.");
  EXPECT_EQ(GetMessageText(22), "Error: !");
  EXPECT_EQ(GetMessageText(22, ""), "Error: !");
  // Without a "~" the argument is dropped.
  EXPECT_EQ(GetMessageText(1, "ignored"), "Error");

  // Only the first of two "~" in a text (one from a language file).
  std::vector<std::string> lines = numberedLines();
  lines[10] = "k11=~ and ~";  // id 22
  loadLines(lines);
  EXPECT_EQ(GetMessageText(22, "a"), "a and ~");
}

TEST_F(MessageTableTest, LanguageFileReplacesItsEighteenIds) {
  // A German user with an English language file: the 18 ids show the file,
  // the others stay German.
  std::vector<std::string> lines = numberedLines();
  lines[0] = "caption=Error";
  lines[6] = "unexpected=Unexpected: ~#Please report it";  // id 18
  lines[7] = "saveas=";                                    // id 19: "=" only
  lines[8] = "filter=Text files|*.txt=|All|*.*";           // id 20: two "="
  lines[9] = "no separator at all";                        // id 21: the whole line
  lines[14] = utf8(u8"back=Zurück zur Übersicht");         // id 26: UTF-8 to Windows-1252
  lines[15] = utf8(u8"forward=Weiter Ω €");                // id 27: what Windows-1252 lacks is "?"
  lines.push_back("line20=ignored");
  loadLines(lines);

  const int ids[] = {1, 2, 6, 7, 11, 12, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29};
  std::vector<std::string> expected = {"Error",
                                       "text 2",
                                       "text 3",
                                       "text 4",
                                       "text 5",
                                       "text 6",
                                       "Unexpected: x\r\nPlease report it",
                                       "",
                                       "Text files|*.txt=|All|*.*",
                                       "no separator at all",
                                       "text 11",
                                       "text 12",
                                       "text 13",
                                       "text 14",
                                       ansi(u8"Zurück zur Übersicht"),
                                       ansi(u8"Weiter ? €"),
                                       "text 17",
                                       "text 18"};
  for (std::size_t i = 0; i < std::size(ids); ++i) EXPECT_EQ(GetMessageText(ids[i], "x"), expected[i]) << ids[i];
  EXPECT_EQ(GetMessageText(5), ansi(u8"Über Quorvel..."));
  EXPECT_EQ(GetMessageText(35, "x"), "Quorvel kann nicht gestartet werden. Ursache: x");

  // Whatever the chosen language.
  MessagesInEnglish = true;
  EXPECT_EQ(GetMessageText(2), "text 2");
  EXPECT_EQ(GetMessageText(4, "a.inf"), "Cannot find configuration file \"a.inf\".");
}

TEST_F(MessageTableTest, ShortOrInvalidFileRaisesListErrorAndKeepsTexts) {
  loadLines(numberedLines());

  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  };
  std::string shortFile;
  for (int n = 0; n < 18; ++n) shortFile += "key=other\n";
  const Case cases[] = {
      {"18 lines", shortFile, "List index out of bounds (18)"},
      {"empty file", "", "List index out of bounds (0)"},
      // Invalid UTF-8 decodes to no text at all, so to no lines.
      {"invalid UTF-8",
       "key=Gr\xF6\xDF"
       "e\r\n" +
           shortFile + "key=19\r\n",
       "List index out of bounds (0)"},
  };
  for (const Case& c : cases) {
    try {
      LoadLanguageFile(writeFile("bad.lib", c.bytes));
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }
    // Nothing of the failed file was taken.
    EXPECT_EQ(GetMessageText(2), "text 2") << c.name;
  }
}

TEST_F(MessageTableTest, ErrorBoxHasErrorSymbolOkAndCaptionOfMessageOne) {
  ShowErrorMessage(4, "autorun.inf");
  MessagesInEnglish = true;
  ShowErrorMessage(22);
  auto boxes = Recorder::eventsOf("msgbox");
  ASSERT_EQ(boxes.size(), 2u);
  const std::string style = std::to_string(MB_ICONERROR | MB_OK);
  EXPECT_EQ(boxes[0].fields,
            (std::vector<std::string>{"Fehler", "Die Konfigurations-Datei \"autorun.inf\" kann nicht gefunden werden.",
                                      style, "OK"}));
  EXPECT_EQ(boxes[1].fields, (std::vector<std::string>{"Error", "Error: !", style, "OK"}));
}

}  // namespace
