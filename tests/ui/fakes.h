// Test doubles for the window's seams: dialogs answered by script, a shell that records, and
// files kept in memory with writes that can be made to fail.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "ui/dateioperationen.h"
#include "ui/dialoge.h"
#include "ui/shell.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace quintaro::ui::test {

struct Box {
    enum Art { Frage, Meldung, Fehler } art;
    QString text;
    Knoepfe knoepfe = Knoepfe::JaNein;
    QString editorText;  // what the source editor showed while the box was open
};

class ScriptedDialoge : public Dialoge {
  public:
    // Answers for the questions, in order; a question with no answer left fails the test.
    std::deque<Antwort> antworten;
    std::vector<Box> boxen;
    std::function<QString()> schnappschuss;
    QString naechsteDatei;  // the file dialogs' result
    // What the last file dialog was shown with, and how many were shown.
    QStringList dialogFilter;
    QString dialogVorschlag;
    QString dialogEndung;
    int dateidialoge = 0;

    Antwort frage(QWidget*, const QString& text, Knoepfe knoepfe) override;
    void meldung(QWidget*, const QString& text) override;
    void fehler(QWidget*, const QString& text) override;
    QString dateiOeffnen(QWidget*, const QStringList& filter) override;
    QStringList dateienOeffnen(QWidget*, const QStringList&) override { return {}; }
    QString dateiSpeichern(QWidget*, const QStringList& filter, const QString& vorschlag,
                           const QString& standardEndung) override;

    std::vector<QString> texte(Box::Art art) const;

  private:
    QString schnappen() const { return schnappschuss ? schnappschuss() : QString(); }
};

class AufzeichnendeShell : public Shell {
  public:
    QStringList geoeffnet;
    void oeffnen(const QString& pfad) override { geoeffnet << pfad; }
};

class SpeicherDateien : public Dateioperationen {
  public:
    std::map<std::string, Text> dateien;
    std::set<std::string> gesperrt;  // writing these fails
    std::function<void()> beimSchreiben;

    Text lesen(const std::string& pfad, std::size_t kapazitaet) override;
    bool existiert(const std::string& pfad) override { return dateien.count(pfad) != 0; }
    bool kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) override;
    std::int32_t groesse(const std::string& pfad) override;
    void schreiben(const std::string& pfad, const Text& inhalt) override;
    std::string stapelSpeichern(const std::string& aktuelleDatei, const Text& inhalt,
                                const std::string& geladenerPfad) override;
    bool loeschen(const std::string& pfad) override { return dateien.erase(pfad) != 0; }
};

}  // namespace quintaro::ui::test
