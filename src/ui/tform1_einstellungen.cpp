// TForm1 and the settings file: load at start and on "Wiederherstellen", save on "Speichern"
// and at the close (options 16 and 17). The settings module does the reading and writing.
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <algorithm>

#include "document/dateien.h"
#include "settings/einstellungen.h"
#include "ui/dialoge.h"
#include "ui/ersetzungseditor.h"
#include "ui/kodierung.h"
#include "ui/optionen_listbox.h"
#include "ui/optionen_seite.h"
#include "ui/tform1.h"

namespace quintaro::ui {

namespace {
const QString kErsetzenFrage = QStringLiteral("Soll die aktuelle Konfiguration ersetzt werden?");
}

Einstellungen TForm1::einstellungen() const {
    Einstellungen e;
    e.optionen = optionenSeite_->optionenListbox().zustand();
    const QListWidget& filter = *optionenSeite_->DateifilterListbox();
    e.filter.clear();
    for (int i = 0; i < filter.count(); ++i) e.filter.push_back(nachCp1252(filter.item(i)->text()));
    e.tabelle = optionenSeite_->ersetzungseditor().tabelle();
    // The outer size, frame included, as the keys mean it.
    const QRect aussen = frameGeometry();
    e.fenster = {aussen.x(), aussen.y(), aussen.width(), aussen.height()};
    return e;
}

void TForm1::IniLaden() {
    const Geladen geladen =
        ::quintaro::einstellungenLesen(einstellungsDatei_.toStdString(), einstellungen());
    const Einstellungen& e = geladen.einstellungen;

    // A plain set: the interlocks of the user's toggles do not apply.
    for (int i = 0; i < kOptionCount; ++i)
        optionenSeite_->optionenListbox().setzeOption(i, e.optionen[i]);

    // By position, in the file's order: the list's sorting is not applied to these.
    QListWidget& filter = *optionenSeite_->DateifilterListbox();
    for (std::size_t i = 0; i < e.filter.size(); ++i) {
        const QString text = vonCp1252(e.filter[i]);
        const int zeile = static_cast<int>(i);
        if (zeile < filter.count()) {
            filter.item(zeile)->setText(text);
        } else {
            filter.addItem(text);
        }
    }

    // Also ends a row being changed in the replacement editor.
    optionenSeite_->ersetzungseditor().setzeTabelle(e.tabelle);

    if (geladen.fensterSetzen) {
        // Within the screens' available area: a stored 2147483647 would make a window of
        // gigabytes. The minimum size applies all the same.
        QRect platz;
        for (const QScreen* s : QGuiApplication::screens()) platz |= s->availableGeometry();
        if (platz.isEmpty()) platz = QRect(0, 0, kMindestBreite, kMindestHoehe);
        const int breite =
            std::clamp(e.fenster.breite, kMindestBreite, std::max(kMindestBreite, platz.width()));
        const int hoehe =
            std::clamp(e.fenster.hoehe, kMindestHoehe, std::max(kMindestHoehe, platz.height()));
        const int links = std::clamp(e.fenster.links, platz.left(),
                                     std::max(platz.left(), platz.right() + 1 - breite));
        const int oben = std::clamp(e.fenster.oben, platz.top(),
                                    std::max(platz.top(), platz.bottom() + 1 - hoehe));
        const QSize rahmen = frameGeometry().size() - size();
        resize(breite - rahmen.width(), hoehe - rahmen.height());
        move(links, oben);
    }
    Seitenwechsel(Sender::Quelltext);
}

void TForm1::IniSpeichern(const QString& argument) {
    ::quintaro::IniSpeichern(einstellungsDatei_.toStdString(), einstellungen(),
                             argument.toStdString());
}

void TForm1::BitBtn5Click() {
    befehl([this] {
        if (dialoge_.frage(this, kErsetzenFrage, Knoepfe::JaNein) == Antwort::Ja) IniLaden();
    });
}

void TForm1::BitBtn6Click() {
    befehl([this] { IniSpeichern(QStringLiteral("Alles")); });
}

void TForm1::FormClose() {
    dokument_.vorschauLoeschen();
    if (optionenSeite_->optionenListbox().option(PES) ||
        optionenSeite_->optionenListbox().option(PEE)) {
        IniSpeichern(QStringLiteral("Teil"));
    }
}

}  // namespace quintaro::ui
