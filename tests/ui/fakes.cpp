// Test doubles of the window's seams.
#include "fakes.h"

#include <gtest/gtest.h>

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

std::int32_t SpeicherDateien::groesse(const std::string& pfad) {
    const auto it = dateien.find(pfad);
    return it == dateien.end() ? -1 : static_cast<std::int32_t>(it->second.size());
}

void SpeicherDateien::schreiben(const std::string& pfad, const Text& inhalt) {
    if (beimSchreiben) beimSchreiben();
    if (gesperrt.count(pfad) != 0) {
        throw DateiFehler("Datei \"" + pfad + "\" kann nicht erstellt werden. Zugriff verweigert");
    }
    dateien[pfad] = inhalt;
}

}  // namespace quintaro::ui::test
