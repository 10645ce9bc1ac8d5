// The German translations of the libraries, installed once for the application's lifetime.
#include "ui/deutsch.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quintaro::ui {

namespace {

bool installieren(QObject& besitzer, const QString& name, const QString& ordner) {
    // Its destructor uninstalls it.
    auto* uebersetzung = new QTranslator(&besitzer);
    if (uebersetzung->load(name, ordner) && QCoreApplication::installTranslator(uebersetzung)) {
        return true;
    }
    delete uebersetzung;
    return false;
}

}  // namespace

bool deutschLaden(QObject& besitzer) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString ordner = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    installieren(besitzer, QStringLiteral("qscintilla_de"), ordner);
    return installieren(besitzer, QStringLiteral("qtbase_de"), ordner);
}

}  // namespace quintaro::ui
