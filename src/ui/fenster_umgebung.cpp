// Each call goes to the control or state of TForm1 that holds it; texts cross from UTF-8.
#include "ui/fenster_umgebung.h"

#include <QApplication>

#include "batch/stapel.h"
#include "engine/pfade.h"
#include "ui/dialoge.h"
#include "ui/ersetzungseditor.h"
#include "ui/optionen_listbox.h"
#include "ui/optionen_seite.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"
#include "ui/tform1.h"

namespace quintaro::ui {

namespace {
QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
}  // namespace

std::string Dokumentzustand::alterName() const {
    const bool nurKleiner = !geladeneDatei.empty() && geladeneDatei != aktuelleDatei &&
                            dateinameKlein(geladeneDatei) == aktuelleDatei;
    return nurKleiner ? geladeneDatei : std::string();
}

std::string Dokumentzustand::quelle(Dateien& dateien) const {
    std::string alt = alterName();
    if (!alt.empty() && dateien.art(aktuelleDatei) == Dateiart::Fehlt) return alt;
    return aktuelleDatei;
}

class FensterUmgebung::NormalerZeiger {
  public:
    explicit NormalerZeiger(bool beschaeftigt) : aktiv_(beschaeftigt) {
        if (aktiv_) QApplication::restoreOverrideCursor();
    }
    ~NormalerZeiger() {
        if (aktiv_) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    NormalerZeiger(const NormalerZeiger&) = delete;
    NormalerZeiger& operator=(const NormalerZeiger&) = delete;

  private:
    bool aktiv_;
};

FensterUmgebung::~FensterUmgebung() {
    setzeBeschaeftigt(false);
}

Text FensterUmgebung::quelltext() {
    return quelltext_.quelltextMemo().text();
}
void FensterUmgebung::setzeQuelltext(const Text& text) {
    quelltext_.quelltextMemo().setText(text);
}
bool FensterUmgebung::option(int index) {
    return optionen_.optionenListbox().option(index);
}
const Ersetzungstabelle& FensterUmgebung::ersetzungstabelle() {
    return optionen_.ersetzungseditor().tabelle();
}
Kodierung FensterUmgebung::kodierung() {
    return quelltext_.quelltextMemo().kodierung();
}

Antwort FensterUmgebung::frage(const std::string& text, Knoepfe knoepfe) {
    NormalerZeiger zeiger(beschaeftigt_);
    return dialoge_.frage(&fenster_, q(text), knoepfe);
}

void FensterUmgebung::meldung(const std::string& text) {
    NormalerZeiger zeiger(beschaeftigt_);
    dialoge_.meldung(&fenster_, q(text));
}

void FensterUmgebung::setzeBeschaeftigt(bool busy) {
    if (busy == beschaeftigt_) return;
    beschaeftigt_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void FensterUmgebung::setzeOptimiertGroesse(const std::string& caption) {
    quelltext_.setzeOptimiertGroesse(q(caption));
}
void FensterUmgebung::setzeSeitenTitel(const std::string& caption) {
    seiten_.setzeTitel(Seite::Quelltext, q(caption));
}
void FensterUmgebung::setzeBearbeitungsstatus(bool geaendert) {
    dokument_.bearbeitungsstatus = geaendert;
}
std::string FensterUmgebung::aktuelleDatei() {
    return dokument_.aktuelleDatei;
}
void FensterUmgebung::setzeAktuelleDatei(const std::string& path) {
    dokument_.aktuelleDatei = path;
}
void FensterUmgebung::setzeVorschaudatei(const std::string& path) {
    dokument_.vorschaudatei = path;
}

void FensterUmgebung::optimierungAnzeigen() {
    fenster_.OptimierungAnzeigen(Sender::AnsichtOptimiertButton);
}
void FensterUmgebung::dokumentSpeichernBatch() {
    dokument_.aktuelleDatei =
        stapelSpeichern(dateien_, dokument_.aktuelleDatei, quelltext(), dokument_.alterName());
}
void FensterUmgebung::quelltextSeiteZeigen() {
    fenster_.Seitenwechsel(Sender::ToolButton6);
}

}  // namespace quintaro::ui
