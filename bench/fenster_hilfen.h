// What the window's benchmarks give the window instead of a user: boxes that answer at once and a
// shell that opens nothing.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "ui/dialoge.h"
#include "ui/shell.h"

namespace quintaro::bench {

// Answers "Nein" to the offer to show the result, the only box of a run with the defaults.
class StilleDialoge : public ui::Dialoge {
  public:
    Antwort frage(QWidget*, const QString&, Knoepfe) override { return Antwort::Nein; }
    void meldung(QWidget*, const QString&) override {}
    void fehler(QWidget*, const QString& text) override { qFatal("%s", qPrintable(text)); }
    QString dateiOeffnen(QWidget*, const QStringList&, const QString&) override { return {}; }
    QStringList dateienOeffnen(QWidget*, const QStringList&, const QString&) override { return {}; }
    QString dateiSpeichern(QWidget*, const QStringList&, const QString&, const QString&) override {
        return {};
    }
    QString ordnerOeffnen(QWidget*, const QString&) override { return {}; }
};

class KeineShell : public ui::Shell {
  public:
    bool oeffnen(const QString&) override { return true; }
};

}  // namespace quintaro::bench
