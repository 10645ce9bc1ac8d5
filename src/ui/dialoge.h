// Every message box and file dialog of the window goes through this seam, so tests can answer
// them by script. The real implementation is QtDialoge.
#pragma once

#include <QString>
#include <QStringList>
#include <exception>

#include "engine/antwort.h"
#include "engine/kommentare.h"

class QWidget;

namespace quintaro::ui {

inline const QString kTitel = QStringLiteral("Brelkon Quintaro");

class Dialoge {
  public:
    virtual ~Dialoge() = default;

    // A question with "&Ja" and "&Nein" (JaNein) or also "Abbrechen". Escape and the close
    // button answer Abbrechen where that button is offered and Nein otherwise.
    virtual Antwort frage(QWidget* parent, const QString& text, Knoepfe knoepfe) = 0;
    // A message with the single button "OK".
    virtual void meldung(QWidget* parent, const QString& text) = 0;
    // The general error box; the text is shown as fehlerText() makes it.
    virtual void fehler(QWidget* parent, const QString& text) = 0;

    // File dialogs take Qt name filters ("Webdokumente (*.htm* *.shtm*)"); the first one is
    // selected. An empty result means the user cancelled. The open dialogs start in `ordner`
    // (the working folder when it is empty); the save dialog asks nothing about an existing file.
    virtual QString dateiOeffnen(QWidget* parent, const QStringList& filter,
                                 const QString& ordner) = 0;
    virtual QStringList dateienOeffnen(QWidget* parent, const QStringList& filter,
                                       const QString& ordner) = 0;
    virtual QString dateiSpeichern(QWidget* parent, const QStringList& filter,
                                   const QString& vorschlag, const QString& standardEndung) = 0;
    // A folder whose pages the batch list takes, starting in `ordner`; empty when cancelled.
    virtual QString ordnerOeffnen(QWidget* parent, const QString& ordner) = 0;
};

// The general error box's text: a full stop is appended when the last character sorts after ".".
QString fehlerText(const QString& text);

// Message texts carry CR LF; a message box wants plain LF.
QString anzeigeText(const QString& text);

// Runs a command of the window. Nothing may be thrown through Qt's event loop: what the command
// throws ends it and is shown in the general error box.
template <class Befehl>
void mitFehlerbox(Dialoge& dialoge, QWidget* parent, Befehl&& befehl) {
    try {
        befehl();
    } catch (const std::exception& fehler) {
        dialoge.fehler(parent, QString::fromUtf8(fehler.what()));
    } catch (...) {
        dialoge.fehler(parent, QStringLiteral("Unbekannter Fehler"));
    }
}

}  // namespace quintaro::ui
