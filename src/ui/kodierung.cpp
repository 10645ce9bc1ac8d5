// Conversions between code page 1252 and Qt's Unicode, lenient towards characters it lacks.
#include "ui/kodierung.h"

#include <QHash>
#include <array>

#include "engine/utf8.h"

namespace quintaro::ui {

namespace {

// The character of every byte, from the engine's code page table.
const std::array<char16_t, 256>& zeichenTabelle() {
    static const std::array<char16_t, 256> tabelle = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const auto z = utf8::erstesZeichen(cp1252NachUtf8(std::string_view(&byte, 1)));
            t[static_cast<std::size_t>(b)] = static_cast<char16_t>(z->wert);  // all in the BMP
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

char byteOderFragezeichen(char32_t zeichen) {
    if (zeichen > 0xFFFF) return '?';
    const auto& rueck = rueckTabelle();
    const auto it = rueck.constFind(static_cast<char16_t>(zeichen));
    return it != rueck.cend() ? it.value() : '?';
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
    Text out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A surrogate pair is one character the code page lacks: one '?'.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        out.push_back(byteOderFragezeichen(c.unicode()));
    }
    return out;
}

Text utf8NachCp1252(std::string_view bytes) {
    if (auto genau = utf8NachCp1252Verlustfrei(bytes)) return std::move(*genau);
    Text out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto z = utf8::erstesZeichen(bytes.substr(i));
        out.push_back(z ? byteOderFragezeichen(z->wert) : '?');
        i += z ? z->laenge : 1;
    }
    return out;
}

std::u32string fehlenInCp1252(std::string_view utf8) {
    std::u32string fehlend;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto z = utf8::erstesZeichen(utf8.substr(i));
        if (!z) {
            ++i;
            continue;
        }
        i += z->laenge;
        if (z->wert != U'?' && byteOderFragezeichen(z->wert) == '?' &&
            fehlend.find(z->wert) == std::u32string::npos) {
            fehlend.push_back(z->wert);
        }
    }
    return fehlend;
}

}  // namespace quintaro::ui
