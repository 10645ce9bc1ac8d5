// Conversions between code page 1252 and Qt's Unicode, lenient towards characters it lacks.
#include "ui/kodierung.h"

#include <QHash>
#include <array>

namespace quintaro::ui {

namespace {

const std::array<char16_t, 256>& zeichenTabelle() {
    static const std::array<char16_t, 256> tabelle = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            t[static_cast<std::size_t>(b)] =
                QString::fromUtf8(cp1252ToUtf8(std::string_view(&byte, 1))).at(0).unicode();
        }
        return t;
    }();
    return tabelle;
}

const QHash<char16_t, char>& rueckTabelle() {
    static const QHash<char16_t, char> rueck = [] {
        QHash<char16_t, char> r;
        const auto& t = zeichenTabelle();
        for (int b = 0; b < 256; ++b)
            r.insert(t[static_cast<std::size_t>(b)], static_cast<char>(b));
        return r;
    }();
    return rueck;
}

}  // namespace

QString vonCp1252(std::string_view bytes) {
    const auto& t = zeichenTabelle();
    QString s(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = s.data();
    for (char c : bytes) *out++ = QChar(t[static_cast<unsigned char>(c)]);
    return s;
}

Text nachCp1252(const QString& text) {
    const auto& rueck = rueckTabelle();
    Text out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A surrogate pair is one character the code page lacks: one '?'.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        const auto it = rueck.constFind(c.unicode());
        out.push_back(it != rueck.cend() ? it.value() : '?');
    }
    return out;
}

Text utf8NachCp1252(std::string_view utf8) {
    if (auto genau = utf8ToCp1252(utf8)) return std::move(*genau);
    return nachCp1252(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace quintaro::ui
