// TForm1's document commands (open, reload, batch load, save, save as, batch save, close, the
// change marker) and the file-type filter list that feeds the open dialog.
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <utility>
#include <vector>

#include "document/dateien.h"
#include "document/dateifilter.h"
#include "document/dokument.h"
#include "ui/dialoge.h"
#include "ui/kodierung.h"
#include "ui/listbox.h"
#include "ui/optionen_seite.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"
#include "ui/speicherkodierung.h"
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
const QString kErsetzenFrage =
    QStringLiteral("Die Datei \"%1\" ist bereits vorhanden.\r\n\r\nSoll sie ersetzt werden?");

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
    dokument_.setzeBearbeitungsstatus(true);
}

void TForm1::Dateiladen(Sender sender) {
    befehl([this, sender] { dateiladen(sender); });
}

void TForm1::dateiladen(Sender sender) {
    if (seiten_->titel(Seite::Quelltext) == kKeineDatei && istErneutOeffnen(sender)) {
        dialoge_.meldung(this, kZuerstLaden);
        return;
    }
    DateifilterSetzen();

    std::string pfad;
    if (dokument_.bearbeitungsstatus()) {
        // Ja means "let me save first": the load stops, so does Abbrechen.
        if (dialoge_.frage(this, kGeaendertFrage, Knoepfe::JaNeinAbbrechen) != Antwort::Nein) {
            return;
        }
        dokument_.setzeBearbeitungsstatus(false);
        dateiladen(sender);
    } else {
        if (istOeffnen(sender)) {
            const QStringList gewaehlt = openDialog1Zeigen(false);
            if (!gewaehlt.isEmpty()) pfad = gewaehlt.constFirst().toStdString();
        } else if (istErneutOeffnen(sender)) {
            pfad = seiten_->titel(Seite::Quelltext).toStdString();
        }
        if (!pfad.empty()) {
            // The lowercase name of `DKS` leads to the loaded file until a save gives it that name.
            const Text text = dokument_.laden(pfad, istErneutOeffnen(sender));
            quelltextSeite_->dokumentZeigen(text, istErneutOeffnen(sender));
            dokument_.setzeBearbeitungsstatus(false);  // showing the text has just set it
            seiten_->setzeTitel(Seite::Quelltext, q(pfad));
            quelltextSeite_->setzeOriginalGroesse(QString::number(dokument_.originalGroesse()));
        }
    }

    dokument_.vorschauLoeschen();
    quelltextSeite_->setzeOptimiertGroesse(kOhneGroesse);
    if (openDialog1Bestaetigt_) quelltextSeiteZeigen();
}

void TForm1::Dateispeichern(Sender sender) {
    befehl([this, sender] { dateispeichern(sender); });
}

void TForm1::dateispeichern(Sender sender) {
    const bool unter = sender == Sender::ButtonSpeichernunter || sender == Sender::Speichernunter1;
    if (quelltextMemo().hatKeinenText()) {
        dialoge_.meldung(this, kKeinQuelltext);
        return;
    }
    QString gewaehlt;
    if (unter) {
        const std::string& aktuell = dokument_.aktuelleDatei();
        const QStringList filter = speichernDialogfilter(aktuell);
        const QString endung = q(dateiendung(aktuell));
        gewaehlt = dialoge_.dateiSpeichern(this, filter, q(aktuell), endung);
        // An existing file is replaced only on Ja; Nein goes back to the dialog.
        while (!gewaehlt.isEmpty() && dateien_.existiert(gewaehlt.toStdString()) &&
               dialoge_.frage(this, kErsetzenFrage.arg(gewaehlt), Knoepfe::JaNein) != Antwort::Ja) {
            gewaehlt = dialoge_.dateiSpeichern(this, filter, gewaehlt, endung);
        }
        if (gewaehlt.isEmpty()) return;
    }
    // Characters the page's encoding cannot hold are never saved as '?'.
    if (!kodierungVorDemSpeichern(*quelltextSeite_, dialoge_, this)) return;
    if (unter) {
        dokument_.benennen(gewaehlt.toStdString());
        seiten_->setzeTitel(Seite::Quelltext, q(dokument_.aktuelleDatei()));
    }
    // After `DKS` the file gets its lowercase name with this save (the old name goes).
    const std::string vorher = dokument_.aktuelleDatei();
    dokument_.speichern(quelltextMemo().text());
    if (dokument_.aktuelleDatei() != vorher) {
        seiten_->setzeTitel(Seite::Quelltext, q(dokument_.aktuelleDatei()));
    }
    dialoge_.meldung(this, kGespeichert);
}

bool TForm1::aenderungenKlaeren() {
    if (!dokument_.bearbeitungsstatus()) return true;
    switch (dialoge_.frage(this, kGeaendertFrage, Knoepfe::JaNeinAbbrechen)) {
        case Antwort::Nein:
            return true;
        case Antwort::Abbrechen:
            return false;
        case Antwort::Ja:
            break;
    }
    // Text without a file is saved under a name the user chooses.
    dateispeichern(dokument_.aktuelleDatei().empty() ? Sender::Speichernunter1
                                                     : Sender::Speichern1);
    return !dokument_.bearbeitungsstatus();
}

void TForm1::Schlieen1Click(Sender) {
    befehl([this] {
        bool schliessen = false;
        if (dokument_.bearbeitungsstatus()) {
            schliessen = dialoge_.frage(this, kVerwerfenFrage, Knoepfe::JaNein) == Antwort::Ja;
        } else {
            schliessen = !quelltextMemo().hatKeinenText();
        }
        if (!schliessen) return;
        quelltextSeite_->dokumentSchliessen();
        dokument_.schliessen();
        quelltextSeite_->setzeOptimiertGroesse(kOhneGroesse);
        quelltextSeite_->setzeOriginalGroesse(kOhneGroesse);
    });
}

// --- OpenDialog1 and the file-type filter list ------------------------------------------------

void TForm1::DateifilterSetzen() {
    const QListWidget& liste = *optionenSeite_->DateifilterListbox();
    std::vector<Text> eintraege;
    eintraege.reserve(static_cast<std::size_t>(liste.count()));
    for (int i = 0; i < liste.count(); ++i) eintraege.push_back(nachCp1252(liste.item(i)->text()));
    openDialog1Filter_ = oeffnenDialogfilter(eintraege);
}

void TForm1::dateiOeffnen(const QString& pfad) {
    vorgewaehlt_ = QFileInfo(pfad).absoluteFilePath();
    Dateiladen(Sender::ButtonOeffnen);
    vorgewaehlt_.clear();
}

QStringList TForm1::openDialog1Zeigen(bool mehrere) {
    openDialog1Bestaetigt_ = false;
    // The loaded page's folder, else where the dialog was last confirmed.
    const QString ordner = dokument_.aktuelleDatei().empty()
                               ? openDialog1Ordner_
                               : QFileInfo(q(dokument_.aktuelleDatei())).absolutePath();
    QStringList gewaehlt;
    if (!vorgewaehlt_.isEmpty()) {
        gewaehlt << std::exchange(vorgewaehlt_, {});
    } else if (mehrere) {
        gewaehlt = dialoge_.dateienOeffnen(this, openDialog1Filter_, ordner);
    } else {
        const QString datei = dialoge_.dateiOeffnen(this, openDialog1Filter_, ordner);
        if (!datei.isEmpty()) gewaehlt << datei;
    }
    openDialog1Bestaetigt_ = !gewaehlt.isEmpty();
    if (openDialog1Bestaetigt_)
        openDialog1Ordner_ = QFileInfo(gewaehlt.constFirst()).absolutePath();
    return gewaehlt;
}

void TForm1::BitBtn1Click() {
    befehl([this] {
        QLineEdit& edit = *optionenSeite_->LabeledEdit1();
        QString text = edit.text();
        if (text.isEmpty()) return;
        if (!text.startsWith(u'.')) {
            text.prepend(u'.');
            edit.setText(text);
        }
        if (DateinamePruefen(nachCp1252(text))) {
            sortiertEinfuegen(*optionenSeite_->DateifilterListbox(), text);
        }
    });
}

void TForm1::BitBtn2Click() {
    befehl([this] {
        ListboxItemLoeschen(*optionenSeite_->DateifilterListbox());
        optionenSeite_->LabeledEdit1()->clear();
    });
}

void TForm1::DateifilterListboxKeyDown(int taste) {
    if (taste == Qt::Key_Delete) ListboxItemLoeschen(*optionenSeite_->DateifilterListbox());
}

void TForm1::DateifilterListboxDblClick() {
    const QList<QListWidgetItem*> gewaehlt = optionenSeite_->DateifilterListbox()->selectedItems();
    if (!gewaehlt.isEmpty()) optionenSeite_->LabeledEdit1()->setText(gewaehlt.first()->text());
}

}  // namespace quintaro::ui
