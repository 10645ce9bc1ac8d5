// Message boxes and file dialogs of the running program: QMessageBox and QFileDialog.
#pragma once

#include "ui/dialoge.h"

class QMessageBox;

namespace quintaro::ui {

// Room beside the caption for the window manager's title bar buttons and icon, in pixels.
inline constexpr int kTitelleistenKnoepfe = 120;
// The least width of a message box: its caption "Brelkon Quintaro" whole in the title bar.
int mindestbreite(const QWidget& box);

class QtDialoge : public Dialoge {
  public:
    Antwort frage(QWidget* parent, const QString& text, Knoepfe knoepfe) override;
    void meldung(QWidget* parent, const QString& text) override;
    void fehler(QWidget* parent, const QString& text) override;
    QString dateiOeffnen(QWidget* parent, const QStringList& filter,
                         const QString& ordner) override;
    QString ordnerOeffnen(QWidget* parent, const QString& ordner) override;
    QStringList dateienOeffnen(QWidget* parent, const QStringList& filter,
                               const QString& ordner) override;
    QString dateiSpeichern(QWidget* parent, const QStringList& filter, const QString& vorschlag,
                           const QString& standardEndung) override;
};

}  // namespace quintaro::ui
