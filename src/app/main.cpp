// The program: sets the application title, creates the main window and runs the message loop.
// A page named as the only argument (a file manager's "Open with") is loaded once the window shows.
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "document/dokument.h"
#include "document/ein_ausgabe.h"
#include "settings/ablageort.h"
#include "ui/deutsch.h"
#include "ui/qt_dialoge.h"
#include "ui/shell.h"
#include "ui/tform1.h"

int main(int argc, char* argv[]) {
    // Answered before Qt looks for a display.
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(
            "Usage: quintaro [PAGE]\n       quintaro --version\n"
            "Opens the window, with PAGE loaded when given.\n",
            stdout);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("quintaro " QUINTARO_VERSION "\n", stdout);
        return 0;
    }
    quintaro::dateigrenzeAlsFehler();
    QApplication app(argc, argv);
    const QStringList argumente = QCoreApplication::arguments();
    QApplication::setApplicationName(QStringLiteral("quintaro"));
    QApplication::setApplicationDisplayName(quintaro::ui::kTitel);
    QApplication::setDesktopFileName(QStringLiteral("com.brelkon.Quintaro"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/quintaro.svg")));
    quintaro::ui::deutschLaden(app);

    quintaro::ui::QtDialoge dialoge;
    quintaro::ui::QtShell shell;
    quintaro::LokaleDateien dateien;
    const std::string einstellungen = quintaro::einstellungsDatei(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    quintaro::ui::TForm1 fenster(dialoge, shell, dateien, QFile::decodeName(einstellungen.c_str()));
    fenster.show();
    if (argumente.size() > 1) {
        const QString& seite = argumente.at(1);
        QTimer::singleShot(0, &fenster, [&fenster, seite] { fenster.dateiOeffnen(seite); });
    }
    return QApplication::exec();
}
