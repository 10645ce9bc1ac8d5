// Test doubles of the window's seams.
#include "fakes.h"

#include <gtest/gtest.h>

#include "document/dokument.h"
#include "engine/text.h"

namespace quintaro::ui::test {

Antwort ScriptedDialoge::frage(QWidget*, const QString& text, Knoepfe knoepfe) {
    boxen.push_back({Box::Frage, text, knoepfe, schnappen()});
    if (antworten.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return Antwort::Abbrechen;
    }
    const Antwort a = antworten.front();
    antworten.pop_front();
    return a;
}

void ScriptedDialoge::meldung(QWidget*, const QString& text) {
    boxen.push_back({Box::Meldung, text, Knoepfe::JaNein, schnappen()});
}

void ScriptedDialoge::fehler(QWidget*, const QString& text) {
    boxen.push_back({Box::Fehler, text, Knoepfe::JaNein, schnappen()});
}

QString ScriptedDialoge::dateiOeffnen(QWidget*, const QStringList& filter) {
    ++dateidialoge;
    dialogFilter = filter;
    return naechsteDatei;
}

QString ScriptedDialoge::dateiSpeichern(QWidget*, const QStringList& filter,
                                        const QString& vorschlag, const QString& standardEndung) {
    ++dateidialoge;
    dialogFilter = filter;
    dialogVorschlag = vorschlag;
    dialogEndung = standardEndung;
    return naechsteDatei;
}

std::vector<QString> ScriptedDialoge::texte(Box::Art art) const {
    std::vector<QString> t;
    for (const Box& b : boxen) {
        if (b.art == art) t.push_back(b.text);
    }
    return t;
}

bool SpeicherDateien::kopieren(const std::string& von, const std::string& nach,
                               bool ueberschreiben) {
    if (!existiert(von) || (existiert(nach) && !ueberschreiben)) return false;
    dateien[nach] = dateien[von];
    return true;
}

Text SpeicherDateien::lesen(const std::string& pfad, std::size_t kapazitaet) {
    const auto it = dateien.find(pfad);
    if (it == dateien.end()) {
        throw DateiFehler("Datei " + pfad +
                          " kann nicht geöffnet werden. No such file or directory");
    }
    Text text = normaliseLineBreaks(it->second);
    if (text.size() > kapazitaet) throw DateiFehler(std::string(kMemoKapazitaetFehler));
    return text;
}

std::int32_t SpeicherDateien::groesse(const std::string& pfad) {
    const auto it = dateien.find(pfad);
    return it == dateien.end() ? -1 : static_cast<std::int32_t>(it->second.size());
}

void SpeicherDateien::schreiben(const std::string& pfad, const Text& inhalt) {
    if (beimSchreiben) beimSchreiben();
    if (pfad.empty() || gesperrt.count(pfad) != 0) {
        throw DateiFehler("Datei \"" + pfad + "\" kann nicht erstellt werden. Zugriff verweigert");
    }
    dateien[pfad] = inhalt;
}

std::string SpeicherDateien::stapelSpeichern(const std::string& aktuelleDatei, const Text& inhalt,
                                             const std::string& geladenerPfad) {
    schreiben(aktuelleDatei, inhalt);
    if (!geladenerPfad.empty() && geladenerPfad != aktuelleDatei) dateien.erase(geladenerPfad);
    return aktuelleDatei;
}

}  // namespace quintaro::ui::test
