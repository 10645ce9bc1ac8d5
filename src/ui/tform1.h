// TForm1, the main window: menu, toolbar, the three pages and the commands. It wires the pages
// and the seams (dialogs, shell, files) together; the pages and the editor do their own work.
#pragma once

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "document/dokument.h"
#include "engine/optimierung.h"
#include "ui/page_control.h"
#include "ui/sender.h"

class QAction;
class QMenu;

namespace quintaro {
class Dateien;
struct Einstellungen;
}  // namespace quintaro

namespace quintaro::ui {

class DateilisteSeite;
class Dialoge;
class QuelltextMemo;
class OptionenSeite;
class Shell;
class QuelltextSeite;

inline const QString kKeineDatei = QStringLiteral("Keine Datei geladen");
// The editor's capacity for a document. It takes about 40 ms per MB and 6.5 bytes of memory per
// byte of text to show (measured offscreen: 64 MB in 2.7 s, 0.43 GB): far above any web page,
// and a larger file is refused before it is read.
inline constexpr std::size_t kFensterKapazitaet = std::size_t{64} * 1024 * 1024;
inline const QString kNichtGefunden = QStringLiteral("Datei wurde nicht gefunden");
// A folder below the chosen one that could not be read; its path and the reason follow.
inline const QString kOrdnerUnlesbar = QStringLiteral(
    "Folgende Ordner konnten nicht gelesen werden, ihre Dateien fehlen in der "
    "Liste:\r\n");
// Closing the window while a batch runs.
inline const QString kStapelBeenden = QStringLiteral(
    "Die Stapelverarbeitung läuft noch.\r\n\r\nSoll sie nach den Dateien in "
    "Arbeit beendet und das Programm geschlossen werden?");

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    // `einstellungsDatei` is the path of the settings file beside the program.
    TForm1(Dialoge& dialoge, Shell& shell, Dateien& dateien, QString einstellungsDatei,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // Commands. Each catches what its work throws and shows it in the general error box.
    void Seitenwechsel(Sender sender);
    void Optimierung(Sender sender);
    void Dateiladen(Sender sender);
    void Dateispeichern(Sender sender);
    void Schlieen1Click(Sender sender);
    void OriginalAnzeigen(Sender sender);
    void OptimierungAnzeigen(Sender sender);
    // The view "Änderungen" (menu "Anzeige", F4): the document as loaded beside the editor's text.
    void AenderungenAnzeigen();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn8Click();
    void BitBtn9Click();
    // "Ordner hinzufügen...": every page below a chosen folder whose name matches the filter
    // list, unless listed already (from the menu, the batch page comes to the front first).
    void ordnerHinzufuegen(Sender sender);
    void DateienOptimierenClick();
    // The Delete key removes the selected batch file; other keys and the modifiers play no part.
    void DateiListboxKeyDown(int taste);
    void DateifilterListboxDblClick();
    // The Delete key removes the selected filter; other keys and the modifiers play no part.
    void DateifilterListboxKeyDown(int taste);
    // The function keys; the modifiers play no part.
    void FormKeyDown(int taste);

    // Document state and run mode.
    const std::string& AktuelleDatei() const { return dokument_.aktuelleDatei(); }
    bool Bearbeitungsstatus() const { return dokument_.bearbeitungsstatus(); }
    const std::string& Vorschaudatei() const { return dokument_.vorschaudatei(); }
    Modus Optimierungsmodus() const { return optimierungsmodus_; }
    const QString& einstellungsDatei() const { return einstellungsDatei_; }

    // The documents' size limit (bytes after line breaks are normalised); a larger file is
    // refused with "Text überschreitet Memo-Kapazität" and the editor keeps its text.
    void setzeMemoKapazitaet(std::size_t bytes) { dokument_.setzeKapazitaet(bytes); }

    // OpenDialog1, shared by the document's open and the batch page: DateifilterSetzen builds
    // its filter from the filter list; zeigen forgets the last choice, shows the dialog and
    // remembers whether the user confirmed at least one file (the page switch of a load).
    void DateifilterSetzen();
    // A page named on the command line: loaded as "Datei laden" loads the file chosen in its
    // dialog (a relative path counts from the working folder); a failure shows the load's error.
    void dateiOeffnen(const QString& pfad);
    const QStringList& openDialog1Filter() const { return openDialog1Filter_; }
    QStringList openDialog1Zeigen(bool mehrere);
    bool openDialog1Bestaetigt() const { return openDialog1Bestaetigt_; }

    // The settings file. Both throw DateiFehler; the commands show it in the error box.
    void IniLaden();
    // "Alles" writes everything; any other argument (in practice "Teil") what options 16 and
    // 17 select. The file is replaced whole or not at all.
    void IniSpeichern(const QString& argument);

    PageControl& seiten() const { return *seiten_; }
    QuelltextSeite& quelltextSeite() const { return *quelltextSeite_; }
    OptionenSeite& optionenSeite() const { return *optionenSeite_; }
    DateilisteSeite& dateilisteSeite() const { return *dateilisteSeite_; }
    // True while DateienOptimierenClick works through the list.
    bool stapelLaeuft() const { return stapelLaeuft_; }
    QuelltextMemo& quelltextMemo() const;

  protected:
    void closeEvent(QCloseEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    void FormCreate();
    void FormClose();
    void QuelltextMemoChange();
    void dateiladen(Sender sender);
    // The source page to the front with its tab shown, as a run and a load leave it.
    void quelltextSeiteZeigen();
    // The hourglass; balanced: a second "busy" or "normal" in a row changes nothing.
    void setzeBeschaeftigt(bool busy);
    // A box of the window's own, with the normal pointer while it is on the screen.
    Antwort frage(const QString& text, Knoepfe knoepfe);
    void meldung(const QString& text);
    // The file names a batch with DKS gave its files, in the list too.
    void dateilisteUmbenennen(const std::map<std::string, std::string>& umbenannt);
    // The window's close during a batch: asks whether to stop it and close afterwards.
    void stapelSchliessen();
    void dateispeichern(Sender sender);
    // Before the window closes: unsaved edits are saved (Ja), dropped (Nein) or keep the window
    // open (Abbrechen); false when it stays. A save that fails or is cancelled keeps it too.
    bool aenderungenKlaeren();
    Einstellungen einstellungen() const;
    // The stored outer geometry (frame included), brought within the screen; applied again once
    // the window manager's frame is known, and not after the window has shown without one.
    void aussenGeometrieSetzen();
    void aussenGeometrieNachholen();
    // Shows the file in the browser; a message when none can be started.
    void anzeigen(const std::string& datei);
    void menueAnlegen();
    void aenderungenMenue(QMenu& anzeige);
    void werkzeugleisteAnlegen();
    QAction* aktion(const QString& name, const QString& text, int symbolIndex);
    template <class Arbeit>
    void sicher(Arbeit&& arbeit);
    // sicher for the command files that cannot see its template.
    void befehl(const std::function<void()>& arbeit);

    Dialoge& dialoge_;
    Shell& shell_;
    Dateien& dateien_;
    QString einstellungsDatei_;

    PageControl* seiten_;
    QuelltextSeite* quelltextSeite_;
    OptionenSeite* optionenSeite_;
    DateilisteSeite* dateilisteSeite_;
    Dokument dokument_;
    bool beschaeftigt_ = false;
    Modus optimierungsmodus_ = Modus::Normal;
    QStringList openDialog1Filter_;
    bool openDialog1Bestaetigt_ = false;
    QString vorgewaehlt_;  // taken by the next open dialog instead of asking
    QString openDialog1Ordner_;
    std::optional<QRect> aussenGeometrie_;  // waits for the frame
    bool geometrieSetzt_ = false;           // the folder of the dialog's last confirmed choice
    bool stapelLaeuft_ = false;
    // Closing was asked for and agreed to during a batch: it stops and the window closes.
    bool stapelBeenden_ = false;
};

}  // namespace quintaro::ui
