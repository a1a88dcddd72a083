#include "runtime/MessageTable.h"

#include <array>
#include <memory>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/MessageBox.h"

bool MessagesInEnglish = false;
bool LanguageFileLoaded = false;

namespace {

using qv::os::ansi;

struct Message {
  int id;
  std::string english;
  std::string german;
};

const std::vector<Message>& messages() {
  static const std::vector<Message> table = {
      {1, "Error", "Fehler"},
      {2, "Error on loading DLL file \"~\".", "Fehler beim Laden der DLL-Datei \"~\"."},
      {4, "Cannot find configuration file \"~\".", "Die Konfigurations-Datei \"~\" kann nicht gefunden werden."},
      {5, "About Quorvel...", ansi(u8"Über Quorvel...")},
      {6,
       "Internet-Explorer (version 4.0 or higher) is not installed correctly.\r"
       "The default browser is used for displaying the contents.",
       "Der Internet-Explorer (ab Version 4.0) ist nicht korrekt installiert.\r"
       "Es wird jetzt der Standard-Browser zur Anzeige verwendet."},
      {7,
       "For displaying the contents certain requirements have to be fulfilled.\r"
       "These requirements are not fulfilled. Therefore contents cannot be displayed.",
       ansi(u8"Zur Anzeige sind Komponenten/Systemvoraussetzungen erforderlich,\r"
            u8"die nicht vorhanden/erfüllt sind. Ein Starten der Oberfläche ist nicht möglich.")},
      {8, "Window position is invalid.", ansi(u8"Die Angabe der Fensterposition ist ungültig.")},
      {9, "Button bitmap file \"~\" cannot be found.", "Die Button-Bitmap-Datei \"~\" kann nicht gefunden werden."},
      {11, "The current page cannot be printed.", "Die aktuelle Seite kann nicht gedruckt werden."},
      {12, "The executable file \"~\" cannot be found.",
       ansi(u8"Die ausführbare Datei \"~\" kann nicht gefunden werden.")},
      {15, "No start page is declared (attribute \"startpage\") or the start page \"~\" cannot be found.",
       "Es ist keine Startseite (Attribut \"startpage\") angegeben oder die Startseite \"~\" kann nicht gefunden "
       "werden."},
      {17, "The button bitmaps of the toolbar do not all have the same size.",
       ansi(u8"Die Button-Bitmaps für die Toolbar haben nicht alle die gleiche Größe!")},
      {18, "An unexpected error occured!\rDebug information: \"~\"",
       "Ein unerwarteter Fehler ist aufgereten!\rDebug Information: \"~\""},
      {19, "Save as...", "Speichern unter..."},
      {20, "All Files|*.*", "Alle Dateien|*.*"},
      {21, "Quorvel", "Quorvel"},
      {22, "Error: ~!", "Fehler: ~!"},
      {23, "Exit", "Beenden"},
      {24, "Print", "Drucken"},
      {25, "Copy", "Kopieren"},
      {26, "Back", ansi(u8"Zurück")},
      {27, "Forward", ansi(u8"Vorwärts")},
      {28, "Home", "Startseite"},
      {29, "Search", "Suchen"},
      {30, "Quorvel is not configured correctly for the use with a webserver.",
       ansi(u8"Quorvel ist für den Einsatz mit einem Webserver nicht korrekt konfiguriert.")},
      {32, "Search form is not configured correctly!", "Das Suchformular ist nicht korrekt konfiguriert!"},
      {33, "Search index \"~\" cannot be found!", "Der Suchindex \"~\" konnte nicht gefunden werden!"},
      {34, "The temporary search results page (\"~\") cannot be deleted!",
       ansi(u8"Die temporäre Suchergebnisseite (\"~\") konnte nicht mehr gelöscht werden!")},
      {35, "Quorvel cannot be started. Reason: ~", "Quorvel kann nicht gestartet werden. Ursache: ~"},
  };
  return table;
}

// The ids the language file replaces, in the order of its lines.
constexpr std::array<int, 18> kReplaceableIds = {1, 2, 6, 7, 11, 12, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29};

std::array<std::string, kReplaceableIds.size()>& languageTexts() {
  static std::array<std::string, kReplaceableIds.size()> texts;
  return texts;
}

int replaceableIndex(int id) {
  for (std::size_t i = 0; i < kReplaceableIds.size(); ++i)
    if (kReplaceableIds[i] == id) return static_cast<int>(i);
  return -1;
}

std::u16string utf8Decode(const std::string& text) {
  if (text.empty()) return {};
  // Text that is not valid UTF-8 decodes to nothing at all.
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

}  // namespace

std::string GetMessageText(int id, const std::string& argument) {
  std::string text;
  for (const Message& m : messages())
    if (m.id == id) text = MessagesInEnglish ? m.english : m.german;
  if (LanguageFileLoaded) {
    int index = replaceableIndex(id);
    if (index >= 0) text = languageTexts()[static_cast<std::size_t>(index)];
  }
  std::size_t tilde = text.find('~');
  if (tilde != std::string::npos) text.replace(tilde, 1, argument);
  return text;
}

void ShowErrorMessage(int id, const std::string& argument) {
  HWND owner = nullptr;
  if (Application) {
    // Asking a main form that is still being built for its window would
    // create that window early; the application's window owns the box then.
    auto* form = dynamic_cast<TWinControl*>(Application->MainForm());
    owner = form && form->HandleAllocated() ? form->Handle() : Application->Handle();
  }
  std::string caption = GetMessageText(1);
  std::string text = GetMessageText(id, argument);
  MessageBox(owner, text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
}

void LoadLanguageFile(const std::string& path) {
  auto lines = std::make_unique<TStringList>();
  lines->LoadFromFile(path);
  std::string joined;
  for (int i = 0; i < lines->Count(); ++i) joined += lines->Strings(i) + "\r\n";
  lines->SetText(WideToCodePage(utf8Decode(joined), CP_ACP));

  // The string list itself would raise EStringListError at the first
  // missing line; callers rely on the list-index error, with the same text.
  const int needed = static_cast<int>(kReplaceableIds.size()) + 1;
  if (lines->Count() < needed) throw EListError("List index out of bounds (%d)", {lines->Count()});

  // Parsed into a copy first, so that nothing of a failed file is kept.
  std::array<std::string, kReplaceableIds.size()> texts;
  for (std::size_t n = 0; n < texts.size(); ++n) texts[n] = ParseLanguageLine(lines->Strings(static_cast<int>(n)));
  ParseLanguageLine(lines->Strings(static_cast<int>(texts.size())));
  languageTexts() = std::move(texts);
}

std::string ParseLanguageLine(const std::string& line) {
  std::size_t eq = line.find('=');
  std::string value = eq == std::string::npos ? line : line.substr(eq + 1);
  std::string result;
  result.reserve(value.size());
  for (char c : value) {
    if (c == '#')
      result += "\r\n";
    else
      result += c;
  }
  return result;
}

std::string WideToCodePage(const std::u16string& text, UINT codePage) {
  if (text.empty()) return {};
  const DWORD flags = WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR;
  // Converted with its terminating zero, which the measuring call counts; an
  // explicit length keeps characters after an embedded zero.
  const int srcLen = static_cast<int>(text.size() + 1);
  int len = WideCharToMultiByte(codePage, flags, text.c_str(), srcLen, nullptr, 0, nullptr, nullptr);
  if (len <= 1) return {};
  std::string result(static_cast<std::size_t>(len), '\0');
  WideCharToMultiByte(codePage, flags, text.c_str(), srcLen, result.data(), len, nullptr, nullptr);
  result.resize(static_cast<std::size_t>(len - 1));
  return result;
}
