// TForm1's document commands (open, reload, batch load, save, save as, batch save, close, the
// change marker) and the file-type filter list that feeds the open dialog.
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <utility>
#include <vector>

#include "document/dateifilter.h"
#include "document/dokument.h"
#include "ui/dateioperationen.h"
#include "ui/dialoge.h"
#include "ui/editor_adapter.h"
#include "ui/kodierung.h"
#include "ui/listbox.h"
#include "ui/options_page.h"
#include "ui/source_page.h"
#include "ui/tform1.h"

namespace quintaro::ui {

namespace {

const QString kGeaendertFrage = QStringLiteral(
    "Der aktuelle Quelltext wurde verändert.\r\n\r\nSoll der Quelltext gespeichert werden?");
const QString kZuerstLaden = QStringLiteral("Bitte laden Sie zuerst eine Datei");
const QString kKeinQuelltext =
    QStringLiteral("Es ist kein Quelltext vorhanden, der gespeichert werden könnte.");
const QString kGespeichert = QStringLiteral("Die Datei wurde gespeichert.");
const QString kVerwerfenFrage =
    QStringLiteral("Möchten Sie die Änderungen am aktuellen Dokument verwerfen?");
const QString kOhneGroesse = QStringLiteral("/");

QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

bool istOeffnen(Sender s) {
    return s == Sender::ButtonOeffnen || s == Sender::ToolbarOeffnen;
}
bool istErneutOeffnen(Sender s) {
    return s == Sender::ButtonErneutOeffnen || s == Sender::ToolbarErneutOeffnen;
}

}  // namespace

void TForm1::QuelltextMemoChange() {
    bearbeitungsstatus_ = true;
}

void TForm1::Dateiladen(Sender sender) {
    befehl(sender, [this, sender] { dateiladen(sender); });
}

void TForm1::dateiladen(Sender sender) {
    const bool stapel = sender == Sender::DateienOptimieren;
    if (stapel && !aktuelleDatei_.empty()) seiten_->setzeTitel(Seite::Quelltext, q(aktuelleDatei_));
    if (seiten_->titel(Seite::Quelltext) == kKeineDatei && istErneutOeffnen(sender)) {
        dialoge_.meldung(this, kZuerstLaden);
        return;
    }
    DateifilterSetzen();

    std::string pfad;
    if (stapel && !aktuelleDatei_.empty()) {
        pfad = aktuelleDatei_;
        bearbeitungsstatus_ = false;
    }
    if (bearbeitungsstatus_) {
        // Ja means "let me save first": the load stops, so does Abbrechen.
        if (dialoge_.frage(this, kGeaendertFrage, Knoepfe::JaNeinAbbrechen) != Antwort::Nein) {
            return;
        }
        bearbeitungsstatus_ = false;
        dateiladen(sender);
    } else {
        if (istOeffnen(sender)) {
            const QStringList gewaehlt = openDialog1Zeigen(false);
            if (!gewaehlt.isEmpty()) pfad = gewaehlt.constFirst().toStdString();
        } else if (istErneutOeffnen(sender)) {
            pfad = seiten_->titel(Seite::Quelltext).toStdString();
        }
        if (!pfad.empty()) {
            const Text text = dateien_.lesen(pfad, memoKapazitaet_);
            quelltext_->dokumentZeigen(text, istErneutOeffnen(sender));
            bearbeitungsstatus_ = false;
            seiten_->setzeTitel(Seite::Quelltext, q(pfad));
            aktuelleDatei_ = pfad;
            geladeneDatei_ = pfad;
            quelltext_->setzeOriginalGroesse(QString::number(dateien_.groesse(pfad)));
        }
    }

    if (dateien_.existiert(vorschaudatei_)) dateien_.loeschen(vorschaudatei_);
    quelltext_->setzeOptimiertGroesse(kOhneGroesse);
    if (openDialog1Bestaetigt_ && !stapel) Seitenwechsel(Sender::ButtonOeffnen);
}

void TForm1::Dateispeichern(Sender sender) {
    befehl(sender, [this, sender] { dateispeichern(sender); });
}

void TForm1::dateispeichern(Sender sender) {
    if (sender == Sender::DateienOptimieren) {
        // The old-cased name counts only when option 13 is all that changed since the load: any
        // other path would let the save remove an unrelated file.
        const bool nurKleiner =
            !geladeneDatei_.empty() &&
            QString::compare(q(geladeneDatei_), q(aktuelleDatei_), Qt::CaseInsensitive) == 0;
        dateien_.stapelSpeichern(aktuelleDatei_, editor().text(),
                                 nurKleiner ? geladeneDatei_ : std::string());
        return;
    }
    const bool unter = sender == Sender::ButtonSpeichernunter || sender == Sender::Speichernunter1;
    if (editor().istLeer()) {
        dialoge_.meldung(this, kKeinQuelltext);
        return;
    }
    if (unter) {
        const QString gewaehlt =
            dialoge_.dateiSpeichern(this, speichernDialogfilter(aktuelleDatei_), q(aktuelleDatei_),
                                    q(dateiendung(aktuelleDatei_)));
        if (gewaehlt.isEmpty()) return;
        aktuelleDatei_ = gewaehlt.toStdString();
        seiten_->setzeTitel(Seite::Quelltext, q(aktuelleDatei_));
    }
    dateien_.schreiben(aktuelleDatei_, editor().text());
    bearbeitungsstatus_ = false;
    dialoge_.meldung(this, kGespeichert);
}

void TForm1::Schlieen1Click(Sender sender) {
    befehl(sender, [this] {
        bool schliessen = false;
        if (bearbeitungsstatus_) {
            schliessen = dialoge_.frage(this, kVerwerfenFrage, Knoepfe::JaNein) == Antwort::Ja;
        } else {
            schliessen = !editor().istLeer();
        }
        if (!schliessen) return;
        quelltext_->dokumentSchliessen();
        bearbeitungsstatus_ = false;
        quelltext_->setzeOptimiertGroesse(kOhneGroesse);
        quelltext_->setzeOriginalGroesse(kOhneGroesse);
        aktuelleDatei_.clear();
    });
}

// --- OpenDialog1 and the file-type filter list ------------------------------------------------

void TForm1::DateifilterSetzen() {
    const QListWidget& liste = *optionen_->dateifilterListbox();
    std::vector<Text> eintraege;
    eintraege.reserve(static_cast<std::size_t>(liste.count()));
    for (int i = 0; i < liste.count(); ++i) eintraege.push_back(nachCp1252(liste.item(i)->text()));
    openDialog1Filter_ = oeffnenDialogfilter(eintraege);
}

void TForm1::DateiOeffnen(const QString& pfad) {
    vorgewaehlt_ = QFileInfo(pfad).absoluteFilePath();
    Dateiladen(Sender::ButtonOeffnen);
    vorgewaehlt_.clear();
}

QStringList TForm1::openDialog1Zeigen(bool mehrere) {
    openDialog1Bestaetigt_ = false;
    QStringList gewaehlt;
    if (!vorgewaehlt_.isEmpty()) {
        gewaehlt << std::exchange(vorgewaehlt_, {});
    } else if (mehrere) {
        gewaehlt = dialoge_.dateienOeffnen(this, openDialog1Filter_);
    } else {
        const QString datei = dialoge_.dateiOeffnen(this, openDialog1Filter_);
        if (!datei.isEmpty()) gewaehlt << datei;
    }
    openDialog1Bestaetigt_ = !gewaehlt.isEmpty();
    return gewaehlt;
}

void TForm1::BitBtn1Click() {
    befehl(Sender::Keiner, [this] {
        QLineEdit& edit = *optionen_->labeledEdit1();
        QString text = edit.text();
        if (text.isEmpty()) return;
        if (!text.startsWith(u'.')) {
            text.prepend(u'.');
            edit.setText(text);
        }
        if (DateinamePruefen(nachCp1252(text))) {
            sortiertEinfuegen(*optionen_->dateifilterListbox(), text);
        }
    });
}

void TForm1::BitBtn2Click() {
    befehl(Sender::Keiner, [this] {
        ListboxItemLoeschen(*optionen_->dateifilterListbox());
        optionen_->labeledEdit1()->clear();
    });
}

void TForm1::DateifilterListboxKeyDown(int taste) {
    if (taste == Qt::Key_Delete) ListboxItemLoeschen(*optionen_->dateifilterListbox());
}

void TForm1::DateifilterListboxDblClick() {
    const QList<QListWidgetItem*> gewaehlt = optionen_->dateifilterListbox()->selectedItems();
    if (!gewaehlt.isEmpty()) optionen_->labeledEdit1()->setText(gewaehlt.first()->text());
}

}  // namespace quintaro::ui
