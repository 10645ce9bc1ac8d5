// The program: sets the application title, creates the main window and runs the message loop.
#include <QApplication>
#include <QCoreApplication>

#include "ui/dateioperationen.h"
#include "ui/qt_dialoge.h"
#include "ui/shell.h"
#include "ui/tform1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quintaro"));
    QApplication::setApplicationDisplayName(quintaro::ui::kTitel);

    quintaro::ui::QtDialoge dialoge;
    quintaro::ui::QtShell shell;
    quintaro::ui::LokaleDateien dateien;
    quintaro::ui::TForm1 fenster(
        dialoge, shell, dateien,
        QCoreApplication::applicationDirPath() + QStringLiteral("/quintaro_optionen.ini"));
    fenster.show();
    return QApplication::exec();
}
