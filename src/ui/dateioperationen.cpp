// Local file operations for the window until the document module provides its own.
#include "ui/dateioperationen.h"

#include <filesystem>
#include <system_error>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "engine/umgebung.h"

namespace quintaro::ui {

namespace {

QString q(const std::string& pfad) {
    return QString::fromStdString(pfad);
}

[[noreturn]] void nichtErstellt(const std::string& pfad, const QString& grund) {
    throw DateiFehler(QStringLiteral("Datei \"%1\" kann nicht erstellt werden. %2")
                          .arg(q(pfad), grund)
                          .toStdString());
}

}  // namespace

bool LokaleDateien::existiert(const std::string& pfad) {
    if (pfad.empty()) return false;
    const QFileInfo info(q(pfad));
    return info.exists() && !info.isDir();
}

bool LokaleDateien::kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) {
    if (!existiert(von)) return false;
    // Overwrites in place, so a failed copy never leaves the old backup deleted.
    std::error_code fehler;
    return std::filesystem::copy_file(von, nach,
                                      ueberschreiben
                                          ? std::filesystem::copy_options::overwrite_existing
                                          : std::filesystem::copy_options::none,
                                      fehler);
}

std::int32_t LokaleDateien::groesse(const std::string& pfad) {
    if (pfad.empty()) return -1;
    const QFileInfo info(q(pfad));
    if (!info.exists()) return -1;
    if (info.isDir()) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(info.size()));
}

void LokaleDateien::schreiben(const std::string& pfad, const Text& inhalt) {
    if (pfad.empty()) nichtErstellt(pfad, QStringLiteral("Kein Dateiname."));
    QSaveFile datei(q(pfad));
    if (!datei.open(QIODevice::WriteOnly)) nichtErstellt(pfad, datei.errorString());
    if (datei.write(inhalt.data(), static_cast<qint64>(inhalt.size())) !=
        static_cast<qint64>(inhalt.size())) {
        const QString grund = datei.errorString();
        datei.cancelWriting();
        nichtErstellt(pfad, grund);
    }
    if (!datei.commit()) nichtErstellt(pfad, datei.errorString());
}

bool LokaleDateien::loeschen(const std::string& pfad) {
    return !pfad.empty() && QFile::remove(q(pfad));
}

}  // namespace quintaro::ui
