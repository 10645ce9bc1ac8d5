// The desktop's "open" action through QDesktopServices.
#include "ui/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace quintaro::ui {

bool QtShell::oeffnen(const QString& pfad) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(pfad).absoluteFilePath()));
}

}  // namespace quintaro::ui
