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
    // As the real boxes: a question without the button cannot be answered with it.
    if (knoepfe == Knoepfe::JaNein && a == Antwort::Abbrechen) {
        ADD_FAILURE() << "Abbrechen scripted for a question without it: " << text.toStdString();
    }
    return a;
}

void ScriptedDialoge::meldung(QWidget*, const QString& text) {
    boxen.push_back({Box::Meldung, text, Knoepfe::JaNein, schnappen()});
}

void ScriptedDialoge::fehler(QWidget*, const QString& text) {
    boxen.push_back({Box::Fehler, text, Knoepfe::JaNein, schnappen()});
}

QString ScriptedDialoge::datei() {
    if (naechsteDateien.empty()) return naechsteDatei;
    QString d = naechsteDateien.front();
    naechsteDateien.pop_front();
    return d;
}

QString ScriptedDialoge::dateiOeffnen(QWidget*, const QStringList& filter, const QString& ordner) {
    ++dateidialoge;
    dialogFilter = filter;
    dialogOrdner = ordner;
    return datei();
}

QString ScriptedDialoge::dateiSpeichern(QWidget*, const QStringList& filter,
                                        const QString& vorschlag, const QString& standardEndung) {
    ++dateidialoge;
    dialogFilter = filter;
    dialogVorschlag = vorschlag;
    dialogEndung = standardEndung;
    return datei();
}

std::vector<QString> ScriptedDialoge::texte(Box::Art art) const {
    std::vector<QString> t;
    for (const Box& b : boxen) {
        if (b.art == art) t.push_back(b.text);
    }
    return t;
}

}  // namespace quintaro::ui::test
