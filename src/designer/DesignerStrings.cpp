#include "designer/DesignerStrings.h"

#include <string_view>

#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/CodePage.h"

namespace {

struct BuiltIn {
  TDesignerString Id;
  std::u8string_view Text;
};

constexpr BuiltIn kTexts[] = {
    {sSaveChangesQuestion, u8"Möchten Sie die Änderungen vor dem Schließen speichern?"},
    {sCannotCreateFile, u8"Die Datei konnte nicht angelegt werden!"},
    {sInvalidPercentSize, u8"Sie haben bei der Fenstergröße einen ungültigen Prozentwert angegeben!"},
    {sIconFileNotFound, u8"Die Icon-Datei für dieses Projekt konnte nicht gefunden werden!"},
    {sSkinFileNotFound, u8"Die Bitmap-Datei für das Fenster-Skin konnte nicht gefunden werden!"},
    {sButtonFolderMissing, u8"Das Verzeichnis für die Toolbar-Schaltfächen-Bitmaps existiert nicht!"},
    {sWrongButtonSizes, u8"Falsche Grafikgrößen: Alle Schaltflächengrafiken müssen dieselbe Größe haben!"},
    {sMusicFileNotFound, u8"Die Hintergrund-Musik-Datei konnte nicht gefunden werden!"},
    {sButtonFolderCaption,
     u8"Geben Sie bitte den Ordner an, in dem sich die Grafiken für die Buttons befinden. Dieser Ordner muss "
     u8"sich innerhalb Ihres Master-Verzeichnisses befinden."},
    {sRowExit, u8"Beenden"},
    {sRowPrint, u8"Drucken"},
    {sRowBack, u8"Zurück"},
    {sRowForward, u8"Vorwärts"},
    {sRowHome, u8"Startseite"},
    {sRowSearch, u8"Suchen"},
    {sRowCopy, u8"Kopieren"},
    {sDeployQuestion, u8"Soll das Quorvel Laufzeitsystem (qvlaunch.exe) jetzt in das Projektverzeichnis kopiert werden?"},
    {sCopyFailed, u8"Beim Kopieren der Datei ist ein Fehler aufgetreten!"},
    {sSaveBeforeRun, u8"Zuvor müssen die Änderungen gespeichert werden. Soll jetzt gespeichert werden?"},
    {sRunFailed, u8"Fehler beim Ausführen des Quorvel Laufzeitsystems (Fehler-Nr.: %s)!"},
    {sRuntimeNotDeployed,
     u8"Das Quorvel Laufzeitsystem (qvlaunch.exe) befindet sich noch nicht im Projektverzeichnis. Bitte kopieren Sie "
     u8"dieses zuerst mit der entsprechenden Funktion oder manuell."},
    {sShellExecuteError, u8"ShellExecute Error!"},
    {sSearchEngineMissing, u8"Die Erweiterung \"Volltextsuchmaschine\" ist nicht installiert!"},
    {sHelpFileMissing,
     u8"Konnte das Online-Handbuch nicht finden! Bitte reparieren Sie die Installation falls dieser Fehler erneut "
     u8"auftritt."},
    {sInfoCopyright, u8"Copyright © 2004-2008 Halvesta. Alle Rechte vorbehalten."},
    {sInfoAddress, u8"http://www.halvesta.example/"},
    {sProductId, u8"QVD4"},
    {sLanguage, u8"de"},
    {sUpdatePage, u8"http://www.halvesta.example/quorvel/update.php"},
    {sMakerPage, u8"http://www.halvesta.example/"},
    {sBrowserStartFailed, u8"Fehler Nr. %s beim Aufruf von \"%s\" über den externen Browser."},
    {sShellBrowserStartFailed, u8"Fehler Nr. %s beim Aufruf (via Shell) von \"%s\" über den externen Browser."},
    {sSaveFailed, u8"Das Projekt \"%s\" konnte nicht gespeichert werden: %s"},
    {sMixedSizeUnits,
     u8"Breite und Höhe des Fensters müssen dieselbe Einheit haben: Quorvel liest beide Werte als Prozent, sobald "
     u8"einer in Prozent angegeben ist. Bitte wählen Sie für beide Werte Pixel oder für beide Prozent."},
    {sNotASettingsFile, u8"Die Datei \"%s\" ist keine Textdatei und kann nicht als Projekt geöffnet werden."},
};

}  // namespace

std::string DesignerStr(TDesignerString Id) {
  for (const BuiltIn& entry : kTexts) {
    if (entry.Id != Id) continue;
    std::string text = qv::os::ansi(entry.Text);
    TResStringRec record{Id, text.c_str()};
    return LoadResString(&record);
  }
  return {};
}
