// The questions before a save that would lose characters, and the change to UTF-8.
#include "ui/speicherkodierung.h"

#include <QChar>
#include <QString>
#include <algorithm>
#include <string>

#include "engine/kodierung.h"
#include "ui/dialoge.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"

namespace quintaro::ui {

namespace {

const QString kNichtSpeicherbar = QStringLiteral(
    "Diese Zeichen können in der Kodierung %1 nicht gespeichert werden:\r\n\r\n%2\r\n\r\n");
const QString kAlsUtf8 = QStringLiteral(
    "Soll die Datei als UTF-8 gespeichert werden? Sonst wird sie nicht gespeichert.");
const QString kAngabeAendern = QStringLiteral(
    "Die Seite gibt ihre Kodierung mit \"%1\" an. Soll diese Angabe in \"utf-8\" geändert "
    "werden?");
const QString kAngabeEinfuegen = QStringLiteral(
    "Soll die Angabe <meta charset=\"utf-8\"> in die Seite eingefügt werden, damit Browser sie "
    "als UTF-8 lesen?");
const QString kUnbekannteKodierung = QStringLiteral(
    "Die Seite verwendet eine andere 8-Bit-Kodierung, deren Zeichen nicht nach UTF-8 übertragen "
    "werden können. Die Datei wurde nicht gespeichert.");

constexpr std::size_t kHoechstensGenannt = 20;

// Each character quoted, an invisible one by its code; more than twenty end in "...".
QString zeichenliste(const std::u32string& zeichen) {
    QString liste;
    for (std::size_t i = 0; i < std::min(zeichen.size(), kHoechstensGenannt); ++i) {
        const char32_t z = zeichen[i];
        const QString text = QString::fromUcs4(&z, 1);
        if (!liste.isEmpty()) liste += u' ';
        if (QChar::isPrint(z) && !QChar::isSpace(z)) {
            liste += u'\u201E' + text + u'\u201C';
        } else {
            liste += QStringLiteral("U+%1").arg(static_cast<uint>(z), 4, 16, QChar(u'0')).toUpper();
        }
    }
    if (zeichen.size() > kHoechstensGenannt) liste += QStringLiteral(" ...");
    return liste;
}

}  // namespace

bool kodierungVorDemSpeichern(QuelltextSeite& seite, Dialoge& dialoge, QWidget* parent) {
    QuelltextMemo& memo = seite.quelltextMemo();
    const std::u32string fehlend = memo.nichtDarstellbar();
    if (fehlend.empty()) return true;
    const Text bytes = memo.text();
    const bool cp1252 = memo.kodierung() == Kodierung::Cp1252;
    const QString name = cp1252 ? QStringLiteral("Windows-1252") : QStringLiteral("der Seite");
    const QString kopf = kNichtSpeicherbar.arg(name, zeichenliste(fehlend));
    // Another code page's letters shown as code page 1252 would turn into the wrong ones.
    const bool nurAscii = std::all_of(bytes.begin(), bytes.end(),
                                      [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!cp1252 && !nurAscii) {
        dialoge.meldung(parent, kopf + kUnbekannteKodierung);
        return false;
    }
    if (dialoge.frage(parent, kopf + kAlsUtf8, Knoepfe::JaNein) != Antwort::Ja) return false;
    const auto angabe = angegebeneKodierung(bytes);
    const QString frage =
        angabe ? kAngabeAendern.arg(QString::fromStdString(*angabe)) : kAngabeEinfuegen;
    const Antwort antwort = dialoge.frage(parent, frage, Knoepfe::JaNeinAbbrechen);
    if (antwort == Antwort::Abbrechen) return false;
    seite.nachUtf8(antwort == Antwort::Ja);
    return true;
}

}  // namespace quintaro::ui
