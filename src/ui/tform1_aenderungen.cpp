// TForm1's changes view: its menu entry and the command that opens it.
#include <QAction>
#include <QMenu>

#include "ui/aenderungs_ansicht.h"
#include "ui/dialoge.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"
#include "ui/tform1.h"

namespace quintaro::ui {

void TForm1::aenderungenMenue(QMenu& anzeige) {
    auto* a = new QAction(QStringLiteral("Änderungen anzeigen (F4)"), this);
    a->setObjectName(QStringLiteral("Aenderungenanzeigen1"));
    connect(a, &QAction::triggered, this, [this] { AenderungenAnzeigen(); });
    anzeige.addAction(a);
}

void TForm1::AenderungenAnzeigen() {
    befehl([this] {
        // Without a loaded document there is no original to compare with.
        if (!quelltextSeite_->hatDokument()) {
            dialoge_.meldung(this, QStringLiteral("Bitte laden Sie zuerst eine Datei"));
            return;
        }
        auto* ansicht =
            new AenderungsAnsicht(quelltextSeite_->geladenerText(), quelltextMemo().text(),
                                  quelltextMemo().kodierung(), this);
        ansicht->setAttribute(Qt::WA_DeleteOnClose);
        ansicht->setWindowModality(Qt::WindowModal);
        ansicht->show();
    });
}

}  // namespace quintaro::ui
