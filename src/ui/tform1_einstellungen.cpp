// TForm1 and the settings file: load at start and on "Wiederherstellen", save on "Speichern"
// and at the close (options 16 and 17). The settings module does the reading and writing.
#include <QGuiApplication>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <optional>

#include "document/dateien.h"
#include "settings/einstellungen.h"
#include "settings/ini.h"
#include "ui/dialoge.h"
#include "ui/ersetzungseditor.h"
#include "ui/kodierung.h"
#include "ui/optionen_listbox.h"
#include "ui/optionen_seite.h"
#include "ui/tform1.h"

namespace quintaro::ui {

namespace {
const QString kErsetzenFrage = QStringLiteral("Soll die aktuelle Konfiguration ersetzt werden?");

// What the user must know about a settings file that was not read whole; empty when it was.
QString einstellungsHinweis(const Geladen& geladen, const QString& datei) {
    if (geladen.zuGross) {
        return QStringLiteral(
                   "Die Einstellungsdatei %1 ist größer als %2 MB und wurde nicht gelesen. Es "
                   "gelten die Voreinstellungen; beim Beenden wird die Datei nicht überschrieben.")
            .arg(datei)
            .arg(kIniGrenze / (std::size_t{1024} * 1024));
    }
    if (geladen.fremd.empty()) return {};
    QString text = QStringLiteral(
                       "Diese Werte der Einstellungsdatei %1 enthalten Zeichen, die es in "
                       "Windows-1252 nicht gibt, und wurden nicht gelesen:\r\n")
                       .arg(datei);
    for (const FremderWert& f : geladen.fremd) {
        text +=
            QStringLiteral("\r\n[%1] %2: %3")
                .arg(QString::fromStdString(f.abschnitt), QString::fromStdString(f.schluessel),
                     QString::fromUtf8(f.zeichen.data(), static_cast<qsizetype>(f.zeichen.size())));
    }
    return text;
}
}  // namespace

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
        // Stored values may be anything; a rectangle's far edge must still be an int. Far beyond
        // any screen, they are brought within it below anyway.
        const auto begrenzt = [](int wert) { return std::clamp(wert, -(1 << 24), 1 << 24); };
        aussenGeometrie_ = QRect(begrenzt(e.fenster.links), begrenzt(e.fenster.oben),
                                 begrenzt(e.fenster.breite), begrenzt(e.fenster.hoehe));
        aussenGeometrieSetzen();
    }
    Seitenwechsel(Sender::Quelltext);
    const QString hinweis = einstellungsHinweis(geladen, einstellungsDatei_);
    if (!hinweis.isEmpty()) dialoge_.meldung(this, hinweis);
}

namespace {
// The outer rectangle `aussen` moved and cut to lie within `platz`, no smaller than the least
// window with the frame `rahmen` around it.
QRect aussenImPlatz(const QRect& aussen, const QSize& rahmen, const QRect& platz) {
    const int minBreite = kMindestBreite + rahmen.width();
    const int minHoehe = kMindestHoehe + rahmen.height();
    const int breite = std::clamp(aussen.width(), minBreite, std::max(minBreite, platz.width()));
    const int hoehe = std::clamp(aussen.height(), minHoehe, std::max(minHoehe, platz.height()));
    const int links =
        std::clamp(aussen.left(), platz.left(), std::max(platz.left(), platz.right() + 1 - breite));
    const int oben =
        std::clamp(aussen.top(), platz.top(), std::max(platz.top(), platz.bottom() + 1 - hoehe));
    return {links, oben, breite, hoehe};
}
}  // namespace

void TForm1::aussenGeometrieSetzen() {
    if (!aussenGeometrie_) return;
    // The keys hold the outer size, frame included, but Qt sizes the window without its frame,
    // which the window manager adds only once the window is shown: until then the stored size is
    // only an estimate, and the frame's first news applies it again, exactly.
    const QSize rahmen = frameGeometry().size() - size();
    const bool rahmenBekannt = !rahmen.isNull();
    // Within the available area of the screen the window is stored on (else the primary one):
    // a stored 2147483647 would make a window of gigabytes, or one beyond every screen.
    const QRect& w = *aussenGeometrie_;
    const QScreen* schirm = QGuiApplication::screenAt(w.topLeft());
    if (schirm == nullptr) schirm = QGuiApplication::primaryScreen();
    QRect platz = schirm != nullptr ? schirm->availableGeometry() : QRect();
    if (platz.isEmpty()) platz = QRect(0, 0, kMindestBreite, kMindestHoehe);
    const QRect ziel = aussenImPlatz(w, rahmen, platz);
    resize(ziel.size() - rahmen);
    move(ziel.topLeft());
    if (rahmenBekannt) aussenGeometrie_.reset();
}

void TForm1::aussenGeometrieNachholen() {
    // Moving and resizing send the events that bring the window here again.
    if (!aussenGeometrie_ || geometrieSetzt_) return;
    const QScopedValueRollback<bool> setzt(geometrieSetzt_, true);
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        aussenGeometrie_.reset();
        return;
    }
    aussenGeometrieSetzen();
    // A window manager frames the window before it shows it: one that is on the screen without
    // a frame has none (no window manager, or an offscreen window).
    if (windowHandle() != nullptr && windowHandle()->isExposed()) aussenGeometrie_.reset();
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
