// The program: sets the application title, creates the main window and runs the message loop.
#include <QApplication>
#include <QCoreApplication>

#include "document/dokument.h"
#include "document/ein_ausgabe.h"
#include "settings/einstellungen.h"
#include "ui/qt_dialoge.h"
#include "ui/shell.h"
#include "ui/tform1.h"

int main(int argc, char* argv[]) {
    quintaro::dateigrenzeAlsFehler();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quintaro"));
    QApplication::setApplicationDisplayName(quintaro::ui::kTitel);

    quintaro::ui::QtDialoge dialoge;
    quintaro::ui::QtShell shell;
    quintaro::LokaleDateien dateien;
    quintaro::ui::TForm1 fenster(dialoge, shell, dateien,
                                 QString::fromStdString(quintaro::iniPfad(
                                     QCoreApplication::applicationDirPath().toStdString())));
    fenster.show();
    return QApplication::exec();
}
