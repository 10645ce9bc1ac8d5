// File-type filter strings and their QFileDialog form.
#include "document/dateifilter.h"

namespace quintaro {

bool DateinamePruefen(std::string_view text) {
    return text.find_first_of("\"<>\\|") == std::string_view::npos;
}

std::string dateifilterText(const std::vector<std::string>& eintraege) {
    std::string muster;
    if (eintraege.size() < 2) {
        muster = "*.htm*;";
    } else {
        for (std::size_t i = 0; i < eintraege.size(); ++i) {
            if (i > 0) muster += ';';
            muster += '*';
            muster += eintraege[i];
        }
    }
    return "Webdokumente|" + muster + "|Alle Dateien|*.*";
}

std::string dateiendung(const std::string& path) {
    const auto punkt = path.rfind('.');
    const auto slash = path.rfind('/');
    if (punkt == std::string::npos || (slash != std::string::npos && punkt < slash)) return {};
    return path.substr(punkt);
}

std::string speicherfilterText(const std::string& endung) {
    return endung + "|" + endung + "|Alle Dateien|*.*";
}

QStringList dialogNamensfilter(const QString& filter) {
    const QStringList teile = filter.split(QLatin1Char('|'));
    QStringList ergebnis;
    for (qsizetype i = 0; i + 1 < teile.size(); i += 2) {
        QStringList muster;
        for (const QString& m : teile[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (m == QLatin1String("*.*")) {
                muster << QStringLiteral("*");
            } else if (m.startsWith(QLatin1Char('.')) && !m.contains(QLatin1Char('*'))) {
                muster << QLatin1Char('*') + m;
            } else {
                muster << m;
            }
        }
        if (muster.isEmpty()) continue;
        const QString liste = muster.join(QLatin1Char(' '));
        const QString name = teile[i].isEmpty() ? liste : teile[i];
        ergebnis << name + QStringLiteral(" (") + liste + QLatin1Char(')');
    }
    return ergebnis;
}

QStringList oeffnenDialogfilter(const std::vector<Text>& eintraege) {
    return dialogNamensfilter(QString::fromStdString(cp1252NachUtf8(dateifilterText(eintraege))));
}

QStringList speichernDialogfilter(const std::string& aktuelleDatei) {
    return dialogNamensfilter(
        QString::fromStdString(speicherfilterText(dateiendung(aktuelleDatei))));
}

}  // namespace quintaro
