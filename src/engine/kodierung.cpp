// The encoding rule. The <meta> scan follows the spirit of the HTML prescan: comments are
// skipped, attribute values may be quoted or not, and a tag that runs past the first 1,024 bytes
// does not count.
#include "engine/kodierung.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "engine/html_tokenizer.h"
#include "engine/text.h"
#include "engine/utf8.h"

namespace quintaro {

namespace {

constexpr std::size_t kKopfGrenze = 1024;

constexpr std::array<std::string_view, 6> kUtf8Bezeichnungen = {
    "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "utf-8", "utf8", "x-unicode20utf8"};
constexpr std::array<std::string_view, 17> kCp1252Bezeichnungen = {
    "ansi_x3.4-1968", "ascii",      "cp1252",       "cp819",           "csisolatin1", "ibm819",
    "iso-8859-1",     "iso-ir-100", "iso8859-1",    "iso88591",        "iso_8859-1",  "l1",
    "latin1",         "us-ascii",   "windows-1252", "iso_8859-1:1987", "x-cp1252"};

std::string_view getrimmt(std::string_view s) {
    while (!s.empty() && html::istLeerraum(s.front())) s.remove_prefix(1);
    while (!s.empty() && html::istLeerraum(s.back())) s.remove_suffix(1);
    return s;
}

// The label after "charset" inside a content attribute ("text/html; charset=UTF-8"), as the
// HTML standard extracts it; nothing when there is none.
std::optional<std::string_view> ausInhalt(std::string_view inhalt) {
    const std::string klein = kleinAsciiText(inhalt);
    std::size_t pos = 0;
    for (;;) {
        pos = klein.find("charset", pos);
        if (pos == std::string::npos) return std::nullopt;
        pos += 7;
        std::size_t i = pos;
        while (i < inhalt.size() && html::istLeerraum(inhalt[i])) ++i;
        if (i >= inhalt.size() || inhalt[i] != '=') continue;  // look for the next "charset"
        ++i;
        while (i < inhalt.size() && html::istLeerraum(inhalt[i])) ++i;
        if (i >= inhalt.size()) return std::nullopt;
        if (inhalt[i] == '"' || inhalt[i] == '\'') {
            const auto ende = inhalt.find(inhalt[i], i + 1);
            if (ende == std::string_view::npos) return std::nullopt;
            return inhalt.substr(i + 1, ende - i - 1);
        }
        std::size_t ende = i;
        while (ende < inhalt.size() && !html::istLeerraum(inhalt[ende]) && inhalt[ende] != ';')
            ++ende;
        return inhalt.substr(i, ende - i);
    }
}

struct MetaErgebnis {
    bool vollstaendig = false;  // the tag ended within the limit
    std::optional<std::string_view> bezeichnung;
};

// Reads the attributes of a <meta tag whose name ends before `i`, within `kopf`.
MetaErgebnis metaLesen(std::string_view kopf, std::size_t& i) {
    MetaErgebnis e;
    std::optional<std::string_view> charset, inhalt;
    for (;;) {
        while (i < kopf.size() && (html::istLeerraum(kopf[i]) || kopf[i] == '/')) ++i;
        if (i >= kopf.size()) return e;
        if (kopf[i] == '>') {
            ++i;
            break;
        }
        const std::size_t nameAnfang = i;
        while (i < kopf.size() && !html::istLeerraum(kopf[i]) && kopf[i] != '=' && kopf[i] != '>' &&
               (kopf[i] != '/' || i == nameAnfang)) {
            ++i;
        }
        const std::string name = kleinAsciiText(kopf.substr(nameAnfang, i - nameAnfang));
        while (i < kopf.size() && html::istLeerraum(kopf[i])) ++i;
        std::string_view wert;
        if (i < kopf.size() && kopf[i] == '=') {
            ++i;
            while (i < kopf.size() && html::istLeerraum(kopf[i])) ++i;
            if (i >= kopf.size()) return e;
            if (kopf[i] == '"' || kopf[i] == '\'') {
                const auto ende = kopf.find(kopf[i], i + 1);
                if (ende == std::string_view::npos) return e;
                wert = kopf.substr(i + 1, ende - i - 1);
                i = ende + 1;
            } else {
                const std::size_t anfang = i;
                while (i < kopf.size() && !html::istLeerraum(kopf[i]) && kopf[i] != '>') ++i;
                wert = kopf.substr(anfang, i - anfang);
            }
        }
        // The first of each name counts, as in HTML.
        if (name == "charset" && !charset) charset = wert;
        if (name == "content" && !inhalt) inhalt = wert;
    }
    e.vollstaendig = true;
    if (charset && !getrimmt(*charset).empty()) {
        e.bezeichnung = charset;
    } else if (inhalt) {
        if (const auto aus = ausInhalt(*inhalt); aus && !getrimmt(*aus).empty()) {
            e.bezeichnung = aus;
        }
    }
    return e;
}

// The label of the first declaring <meta> tag within the first 1,024 bytes.
std::optional<std::string_view> metaBezeichnung(std::string_view text) {
    const std::string_view kopf = text.substr(0, kKopfGrenze);
    std::size_t i = 0;
    while (i < kopf.size()) {
        const auto lt = kopf.find('<', i);
        if (lt == std::string_view::npos) return std::nullopt;
        i = lt + 1;
        if (kopf.substr(lt, 4) == "<!--") {
            // The prescan ends a comment at the first "-->", the dashes of "<!--" included, so
            // "<!-->" and "<!--->" are whole comments.
            const auto ende = kopf.find("-->", lt + 2);
            if (ende == std::string_view::npos) return std::nullopt;
            i = ende + 3;
            continue;
        }
        const bool meta =
            lt + 6 <= kopf.size() && gleichOhneFall(kopf.substr(lt, 5), "<meta") &&
            (html::istLeerraum(kopf[lt + 5]) || kopf[lt + 5] == '/' || kopf[lt + 5] == '>');
        const std::size_t nach = lt + 1 < kopf.size() && kopf[lt + 1] == '/' ? lt + 2 : lt + 1;
        if (meta) {
            i = lt + 5;
        } else if (nach < kopf.size() && istAsciiBuchstabe(kopf[nach])) {
            // Another tag: its attributes are read only to step over quoted '>' and '<'.
            i = nach;
            while (i < kopf.size() && !html::istLeerraum(kopf[i]) && kopf[i] != '>') ++i;
        } else {
            if (nach < kopf.size() && (kopf[nach] == '!' || kopf[nach] == '?' || nach > lt + 1)) {
                const auto ende = kopf.find('>', nach);
                if (ende == std::string_view::npos) return std::nullopt;
                i = ende + 1;
            }
            continue;
        }
        const MetaErgebnis e = metaLesen(kopf, i);
        if (!e.vollstaendig) return std::nullopt;  // runs past the limit
        if (meta && e.bezeichnung) return e.bezeichnung;
    }
    return std::nullopt;
}

bool mitMehrbyteFolge(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

Kodierung kodierungDerBezeichnung(std::string_view label) {
    const std::string klein = kleinAsciiText(getrimmt(label));
    auto in = [&klein](const auto& liste) {
        return std::find(liste.begin(), liste.end(), klein) != liste.end();
    };
    if (in(kUtf8Bezeichnungen)) return Kodierung::Utf8;
    if (in(kCp1252Bezeichnungen)) return Kodierung::Cp1252;
    return Kodierung::Andere;
}

Kodierung kodierungErmitteln(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") return Kodierung::Utf8;
    if (const auto label = metaBezeichnung(text)) return kodierungDerBezeichnung(*label);
    return mitMehrbyteFolge(text) && utf8::wohlgeformt(text) ? Kodierung::Utf8 : Kodierung::Cp1252;
}

std::optional<std::string> angegebeneKodierung(std::string_view text) {
    if (const auto label = metaBezeichnung(text)) return std::string(getrimmt(*label));
    return std::nullopt;
}

std::string utf8Angeben(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") return std::string(text);
    std::string neu;
    if (const auto label = metaBezeichnung(text)) {
        // The label is a view into the text: its place is where it points.
        const std::string_view wert = getrimmt(*label);
        const auto anfang = static_cast<std::size_t>(wert.data() - text.data());
        neu.reserve(text.size() + 5);
        neu.append(text.substr(0, anfang))
            .append("utf-8")
            .append(text.substr(anfang + wert.size()));
        return neu;
    }
    // Behind a doctype and the html start tag, up to the head's start tag or the first other tag.
    std::size_t stelle = 0;
    for (const html::Token& t : html::zerlege(text)) {
        const bool start = t.art == html::Art::StartTag;
        if (t.art == html::Art::Doctype || (start && t.element == html::Element::Html)) {
            stelle = t.ende;
        } else if (start) {
            if (t.element == html::Element::Head) stelle = t.ende;
            break;
        }
    }
    constexpr std::string_view kAngabe = "<meta charset=\"utf-8\">";
    neu.reserve(text.size() + kAngabe.size());
    neu.append(text.substr(0, stelle)).append(kAngabe).append(text.substr(stelle));
    return neu;
}

Kodierung kodierungFuer(KodierungsWahl wahl, std::string_view text) {
    switch (wahl) {
        case KodierungsWahl::Cp1252:
            return Kodierung::Cp1252;
        case KodierungsWahl::Utf8:
            return Kodierung::Utf8;
        case KodierungsWahl::Automatisch:
            break;
    }
    return kodierungErmitteln(text);
}

}  // namespace quintaro
