// The German translations of the libraries, installed once for the application's lifetime.
#include "ui/deutsch.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quintaro::ui {

namespace {

bool installieren(QCoreApplication& app, const QString& name, const QString& ordner) {
    // Parented to the application, which keeps it for as long as it lives.
    auto* uebersetzung = new QTranslator(&app);
    if (uebersetzung->load(name, ordner) && QCoreApplication::installTranslator(uebersetzung)) {
        return true;
    }
    delete uebersetzung;
    return false;
}

}  // namespace

bool deutschLaden(QCoreApplication& app) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString ordner = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    installieren(app, QStringLiteral("qscintilla_de"), ordner);
    return installieren(app, QStringLiteral("qtbase_de"), ordner);
}

}  // namespace quintaro::ui
