// Test doubles for the window's seams: dialogs answered by script, a shell that records, and
// files kept in memory (common/speicher_dateien.h).
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

#include "common/speicher_dateien.h"
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
    QString naechsteDatei;                // the file dialogs' result
    std::deque<QString> naechsteDateien;  // results taken first, in order, before naechsteDatei
    // What the last file dialog was shown with, and how many were shown.
    QStringList dialogFilter;
    QString dialogVorschlag;
    QString dialogEndung;
    QString dialogOrdner;  // the folder an open dialog started in
    int dateidialoge = 0;

    Antwort frage(QWidget*, const QString& text, Knoepfe knoepfe) override;
    void meldung(QWidget*, const QString& text) override;
    void fehler(QWidget*, const QString& text) override;
    QString dateiOeffnen(QWidget*, const QStringList& filter, const QString& ordner) override;
    QStringList dateienOeffnen(QWidget*, const QStringList&, const QString&) override { return {}; }
    // The folder dialog answers from the same queue as the file dialogs.
    QString ordnerOeffnen(QWidget*, const QString& ordner) override {
        ++dateidialoge;
        dialogOrdner = ordner;
        return datei();
    }
    QString dateiSpeichern(QWidget*, const QStringList& filter, const QString& vorschlag,
                           const QString& standardEndung) override;

    std::vector<QString> texte(Box::Art art) const;

  private:
    QString schnappen() const { return schnappschuss ? schnappschuss() : QString(); }
    QString datei();
};

class AufzeichnendeShell : public Shell {
  public:
    QStringList geoeffnet;
    bool browser = true;  // false: as without xdg-open
    bool oeffnen(const QString& pfad) override {
        geoeffnet << pfad;
        return browser;
    }
};

using quintaro::test::SpeicherDateien;

}  // namespace quintaro::ui::test
