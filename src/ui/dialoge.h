// Every message box and file dialog of the window goes through this seam, so tests can answer
// them by script. The real implementation is QtDialoge.
#pragma once

#include <QString>
#include <QStringList>

#include "engine/kommentare.h"
#include "engine/umgebung.h"

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
    // selected. An empty result means the user cancelled.
    virtual QString dateiOeffnen(QWidget* parent, const QStringList& filter) = 0;
    virtual QStringList dateienOeffnen(QWidget* parent, const QStringList& filter) = 0;
    virtual QString dateiSpeichern(QWidget* parent, const QStringList& filter,
                                   const QString& vorschlag, const QString& standardEndung) = 0;
};

// The general error box's text: a full stop is appended when the last character sorts after ".".
QString fehlerText(const QString& text);

// Message texts carry CR LF; a message box wants plain LF.
QString anzeigeText(const QString& text);

}  // namespace quintaro::ui
