// Each call goes to the control or state of TForm1 that holds it; texts cross from UTF-8.
#include "ui/fenster_umgebung.h"

#include <QApplication>

#include "ui/dateioperationen.h"
#include "ui/dialoge.h"
#include "ui/editor_adapter.h"
#include "ui/option_list.h"
#include "ui/options_page.h"
#include "ui/replacement_editor.h"
#include "ui/source_page.h"
#include "ui/tform1.h"

namespace quintaro::ui {

namespace {
QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
}  // namespace

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
    return f_.editor().text();
}
void FensterUmgebung::setzeQuelltext(const Text& text) {
    f_.editor().setText(text);
}
bool FensterUmgebung::option(int index) {
    return f_.optionen_->optionen().option(index);
}
const Ersetzungstabelle& FensterUmgebung::ersetzungstabelle() {
    return f_.optionen_->ersetzung().tabelle();
}
Kodierung FensterUmgebung::kodierung() {
    return f_.editor().kodierung();
}

Antwort FensterUmgebung::frage(const std::string& text, Knoepfe knoepfe) {
    NormalerZeiger zeiger(beschaeftigt_);
    const Antwort a = f_.dialoge_.frage(&f_, q(text), knoepfe);
    // A question without "Abbrechen" knows only Ja and Nein.
    if (knoepfe == Knoepfe::JaNein && a == Antwort::Abbrechen) return Antwort::Nein;
    return a;
}

void FensterUmgebung::meldung(const std::string& text) {
    NormalerZeiger zeiger(beschaeftigt_);
    f_.dialoge_.meldung(&f_, q(text));
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
    f_.quelltext_->setzeOptimiertGroesse(q(caption));
}
void FensterUmgebung::setzeSeitenTitel(const std::string& caption) {
    f_.seiten_->setzeTitel(Seite::Quelltext, q(caption));
}
void FensterUmgebung::setzeBearbeitungsstatus(bool geaendert) {
    f_.bearbeitungsstatus_ = geaendert;
}
std::string FensterUmgebung::aktuelleDatei() {
    return f_.aktuelleDatei_;
}
void FensterUmgebung::setzeAktuelleDatei(const std::string& path) {
    f_.aktuelleDatei_ = path;
}
void FensterUmgebung::setzeVorschaudatei(const std::string& path) {
    f_.vorschaudatei_ = path;
}

bool FensterUmgebung::dateiExistiert(const std::string& path) {
    return f_.dateien_.existiert(path);
}
bool FensterUmgebung::kopiereDatei(const std::string& from, const std::string& to, bool overwrite) {
    return f_.dateien_.kopieren(from, to, overwrite);
}
std::int32_t FensterUmgebung::dateigroesse(const std::string& path) {
    return f_.dateien_.groesse(path);
}
void FensterUmgebung::schreibeDatei(const std::string& path, const Text& text) {
    f_.dateien_.schreiben(path, text);
}

void FensterUmgebung::optimierungAnzeigen() {
    f_.OptimierungAnzeigen(Sender::AnsichtOptimiertButton);
}
void FensterUmgebung::dokumentSpeichernBatch() {
    f_.Dateispeichern(Sender::DateienOptimieren);
}
void FensterUmgebung::quelltextSeiteZeigen() {
    f_.Seitenwechsel(Sender::ToolButton6);
}

}  // namespace quintaro::ui
