// Icons come from SVG files in the resource ":/icons" (needs Qt's SVG icon engine at run time).
#include "ui/symbole.h"

#include <QString>

static void ressourcenLaden() {
    Q_INIT_RESOURCE(icons);
}

namespace quintaro::ui {

namespace {

QIcon ausDatei(const QString& name) {
    // A static library's resources must be registered by hand, once.
    static const bool geladen = (ressourcenLaden(), true);
    (void)geladen;
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

}  // namespace

QIcon symbol(int index) {
    return ausDatei(QStringLiteral("%1").arg(index, 2, 10, QChar(u'0')));
}
QIcon okSymbol() {
    return ausDatei(QStringLiteral("ok"));
}
QIcon loeschenSymbol() {
    return ausDatei(QStringLiteral("loeschen"));
}

}  // namespace quintaro::ui
