// The tag is read with the states of a browser's tokenizer (attribute name, value quoted or not,
// the "/" that separates like whitespace), and written anew from its own bytes, attribute by
// attribute, so that everything between them stays as it stood.
#include "engine/attribute.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/html_tokenizer.h"

namespace quintaro {

namespace {

using html::istLeerraum;

std::string_view getrimmt(std::string_view s) {
    while (!s.empty() && istLeerraum(s.front())) s.remove_prefix(1);
    while (!s.empty() && istLeerraum(s.back())) s.remove_suffix(1);
    return s;
}

// The JavaScript MIME type essences of the HTML standard.
bool istJavaScriptTyp(std::string_view t) {
    return inListeKlein(
        t, {"application/ecmascript", "application/javascript", "application/x-ecmascript",
            "application/x-javascript", "text/ecmascript", "text/javascript", "text/javascript1.0",
            "text/javascript1.1", "text/javascript1.2", "text/javascript1.3", "text/javascript1.4",
            "text/javascript1.5", "text/jscript", "text/livescript", "text/x-ecmascript",
            "text/x-javascript"});
}

// A script's language attribute read as its type would be: "text/" followed by it.
bool spracheIstJavaScript(std::string_view sprache) {
    if (sprache.empty()) return true;
    std::string typ = "text/";
    typ.append(sprache);
    return istJavaScriptTyp(typ);
}

// The elements of HTML (not SVG, MathML or custom elements), where the global boolean attributes
// mean what HTML says.
bool istHtmlElement(std::string_view e) {
    return inListeKlein(
        e, {"a",        "abbr",    "address",  "area",       "article",  "aside",      "audio",
            "b",        "bdi",     "bdo",      "blockquote", "body",     "br",         "button",
            "canvas",   "caption", "cite",     "code",       "col",      "colgroup",   "data",
            "datalist", "dd",      "del",      "details",    "dfn",      "dialog",     "div",
            "dl",       "dt",      "em",       "embed",      "fieldset", "figcaption", "figure",
            "footer",   "form",    "h1",       "h2",         "h3",       "h4",         "h5",
            "h6",       "head",    "header",   "hgroup",     "hr",       "html",       "i",
            "iframe",   "img",     "input",    "ins",        "kbd",      "label",      "legend",
            "li",       "main",    "map",      "mark",       "menu",     "meter",      "nav",
            "noscript", "object",  "ol",       "optgroup",   "option",   "output",     "p",
            "picture",  "pre",     "progress", "q",          "rp",       "rt",         "ruby",
            "s",        "samp",    "search",   "section",    "select",   "slot",       "small",
            "source",   "span",    "strong",   "sub",        "summary",  "sup",        "table",
            "tbody",    "td",      "template", "textarea",   "tfoot",    "th",         "thead",
            "time",     "tr",      "track",    "u",          "ul",       "var",        "video",
            "wbr",      "center",  "font",     "big",        "tt",       "strike",     "nobr",
            "marquee"});
}

// Whether `attribut` is a boolean attribute on `element` (the HTML standard's list, with the
// presentational ones old pages use: nowrap, noshade, compact ...).
bool istBoolesch(std::string_view element, std::string_view attribut) {
    struct Eintrag {
        std::string_view attribut;
        std::initializer_list<std::string_view> elemente;
    };
    static const Eintrag kListe[] = {
        {"allowfullscreen", {"iframe"}},
        {"async", {"script"}},
        {"autoplay", {"audio", "video"}},
        {"checked", {"input"}},
        {"compact", {"dir", "dl", "menu", "ol", "ul"}},
        {"controls", {"audio", "video"}},
        {"declare", {"object"}},
        {"default", {"track"}},
        {"defer", {"script"}},
        {"disabled",
         {"button", "fieldset", "input", "link", "optgroup", "option", "select", "textarea"}},
        {"formnovalidate", {"button", "input"}},
        {"ismap", {"img"}},
        {"loop", {"audio", "video"}},
        {"multiple", {"input", "select"}},
        {"muted", {"audio", "video"}},
        {"nohref", {"area"}},
        {"nomodule", {"script"}},
        {"noresize", {"frame"}},
        {"noshade", {"hr"}},
        {"novalidate", {"form"}},
        {"nowrap", {"td", "th"}},
        {"open", {"details", "dialog"}},
        {"playsinline", {"video"}},
        {"readonly", {"input", "textarea"}},
        {"required", {"input", "select", "textarea"}},
        {"reversed", {"ol"}},
        {"selected", {"option"}},
    };
    if (inListeKlein(attribut, {"autofocus", "hidden", "inert", "itemscope"}))
        return istHtmlElement(element);
    for (const Eintrag& e : kListe) {
        if (gleichKlein(attribut, e.attribut)) return inListeKlein(element, e.elemente);
    }
    return false;
}

const Attribut* finde(const StartTag& t, std::string_view name) {
    for (const Attribut& a : t.attribute) {
        if (gleichKlein(a.name, name)) return &a;
    }
    return nullptr;
}

bool hatToken(std::string_view liste, std::string_view wort) {
    std::size_t i = 0;
    while (i < liste.size()) {
        while (i < liste.size() && istLeerraum(liste[i])) ++i;
        const std::size_t a = i;
        while (i < liste.size() && !istLeerraum(liste[i])) ++i;
        if (i > a && gleichKlein(liste.substr(a, i - a), wort)) return true;
    }
    return false;
}

// Whether the type attribute can go from this tag without changing what the element does.
bool typUeberfluessig(const StartTag& t, const Attribut& typ) {
    if (typ.wert.find('&') != std::string_view::npos) return false;
    const std::string_view wert = getrimmt(typ.wert);
    if (gleichKlein(t.name, "script")) {
        if (!wert.empty() && !istJavaScriptTyp(wert)) return false;
        // Without type, a language attribute decides.
        const Attribut* sprache = finde(t, "language");
        return sprache == nullptr || (sprache->wert.find('&') == std::string_view::npos &&
                                      spracheIstJavaScript(sprache->wert));
    }
    if (!gleichKlein(wert, "text/css")) return false;
    if (gleichKlein(t.name, "style")) return true;
    const Attribut* rel = finde(t, "rel");
    return gleichKlein(t.name, "link") && rel != nullptr && hatToken(rel->wert, "stylesheet");
}

bool brauchtQuotes(std::string_view w) {
    if (w.empty() || w.back() == '/') return true;
    return std::any_of(w.begin(), w.end(), [](char c) {
        return istLeerraum(c) || c == '"' || c == '\'' || c == '=' || c == '<' || c == '>' ||
               c == '`';
    });
}

}  // namespace

bool leseStartTag(std::string_view tag, StartTag& gelesen) {
    namespace zk = html::zeichenklasse;
    const std::size_t n = tag.size();
    if (n < 3 || tag[0] != '<' || !istAsciiBuchstabe(tag[1]) || tag.back() != '>') return false;
    const char* d = tag.data();
    // Views by position and length, checked by the loops' bounds (substr would check again).
    const auto stueck = [d](std::size_t von, std::size_t laenge) {
        return std::string_view(d + von, laenge);
    };
    std::size_t i = 1;
    while (i < n && !zk::ist(d[i], zk::kLeer | zk::kSchraeg | zk::kZu)) ++i;
    gelesen.name = stueck(1, i - 1);
    gelesen.attribute.clear();
    for (;;) {
        while (i < n && (zk::ist(d[i], zk::kLeer) || (d[i] == '/' && i + 1 < n && d[i + 1] != '>')))
            ++i;
        if (i >= n) return false;
        if (d[i] == '>' || d[i] == '/') {
            gelesen.ende = i;
            // The ">" found must be the last byte: the caller handed one whole tag.
            return (d[i] == '>' ? i + 1 : i + 2) == n;
        }
        Attribut a{};
        a.anfang = i;
        ++i;  // the first character may be anything, "=" included
        while (i < n && !zk::ist(d[i], zk::kLeer | zk::kSchraeg | zk::kZu | zk::kGleich)) ++i;
        a.name = stueck(a.anfang, i - a.anfang);
        a.ende = i;
        std::size_t j = i;
        while (j < n && zk::ist(d[j], zk::kLeer)) ++j;
        if (j < n && d[j] == '=') {
            a.mitWert = true;
            ++j;
            while (j < n && zk::ist(d[j], zk::kLeer)) ++j;
            if (j >= n) return false;
            if (d[j] == '"' || d[j] == '\'') {
                a.quote = d[j];
                std::size_t zu = j + 1;
                while (zu < n && d[zu] != a.quote) ++zu;
                if (zu == n) return false;
                a.wert = stueck(j + 1, zu - j - 1);
                i = zu + 1;
            } else if (d[j] == '>') {
                i = j;  // "=>" with nothing: an empty value
            } else {
                const std::size_t w = j;
                while (j < n && !zk::ist(d[j], zk::kLeer | zk::kZu)) ++j;
                a.wert = stueck(w, j - w);
                i = j;
            }
            a.ende = i;
        }
        gelesen.attribute.push_back(a);
    }
}

Text tagKuerzen(std::string_view tag) {
    Text out;
    if (!tagKuerzen(tag, out)) return Text(tag);
    return out;
}

namespace {

bool tagNeuKuerzen(std::string_view tag, Text& out) {
    thread_local StartTag t;  // kept from tag to tag: no allocation for each
    if (!leseStartTag(tag, t) || t.attribute.empty()) return false;
    const auto& at = t.attribute;
    for (std::size_t i = 0; i < at.size(); ++i) {
        for (std::size_t k = i + 1; k < at.size(); ++k) {
            if (gleichOhneFall(at[i].name, at[k].name)) return false;
        }
    }
    // Decided from the end, so that each attribute knows the byte that will follow it.
    enum Tun : std::uint8_t { Lassen, Weg, NurLuecke, Bool, BoolUndLeer, OhneQuotes };
    thread_local std::vector<Tun> tun;
    tun.assign(at.size(), Lassen);
    const std::size_t nameEnde = 1 + t.name.size();
    char folgt = tag[at.back().ende];  // the tag ends with ">", so there is one
    for (std::size_t i = at.size(); i-- > 0;) {
        const Attribut& a = at[i];
        const std::size_t davor = i > 0 ? at[i - 1].ende : nameEnde;
        const bool luecke = a.anfang > davor;
        if (gleichKlein(a.name, "type") && typUeberfluessig(t, a)) {
            // It goes with the gap before it, unless what follows needs that gap: another
            // attribute, or a "/" that would join an unquoted value before.
            if (istLeerraum(folgt) || folgt == '>') {
                tun[i] = Weg;
            } else {
                tun[i] = NurLuecke;
                if (luecke) folgt = tag[davor];
            }
            continue;
        }
        if (a.mitWert && (a.wert.empty() || gleichOhneFall(a.wert, a.name)) &&
            istBoolesch(t.name, a.name)) {
            tun[i] = !istLeerraum(folgt) && folgt != '/' && folgt != '>' ? BoolUndLeer : Bool;
        } else if (a.quote != 0 && !brauchtQuotes(a.wert) && (istLeerraum(folgt) || folgt == '>')) {
            tun[i] = OhneQuotes;
        }
        folgt = luecke ? tag[davor] : tag[a.anfang];
    }
    if (std::all_of(tun.begin(), tun.end(), [](Tun x) { return x == Lassen; })) return false;
    // What stays is copied in runs up to the next change.
    out.clear();
    std::size_t kopiert = 0;
    const auto bis = [&](std::size_t p) { out.append(tag.data() + kopiert, p - kopiert); };
    for (std::size_t i = 0; i < at.size(); ++i) {
        const Attribut& a = at[i];
        switch (tun[i]) {
            case Weg:  // with the gap before it
                bis(i > 0 ? at[i - 1].ende : nameEnde);
                kopiert = a.ende;
                break;
            case NurLuecke:
                bis(a.anfang);
                kopiert = a.ende;
                break;
            case Bool:
            case BoolUndLeer:
                bis(a.anfang);
                out.append(a.name);
                if (tun[i] == BoolUndLeer) out += ' ';
                kopiert = a.ende;
                break;
            case OhneQuotes:
                // Up to the opening quote, then the value without its closing one.
                bis(a.ende - a.wert.size() - 2);
                out.append(a.wert);
                kopiert = a.ende;
                break;
            case Lassen:
                break;
        }
    }
    bis(tag.size());
    return true;
}

// The tags shortened last on this thread, by the hash of their bytes: a page (and a site) repeats
// its tags hundreds of times, and looking one up costs a tenth of reading it again.
struct Gemerkt {
    Text tag;
    Text kurz;
    bool gekuerzt = false;
};
constexpr std::size_t kGemerkt = 1024;
constexpr std::size_t kLaengsterGemerkter = 256;

}  // namespace

bool tagKuerzen(std::string_view tag, Text& out) {
    if (tag.size() > kLaengsterGemerkter) return tagNeuKuerzen(tag, out);
    thread_local std::vector<Gemerkt> gemerkt(kGemerkt);
    Gemerkt& g = gemerkt[std::hash<std::string_view>{}(tag) % kGemerkt];
    if (g.tag != tag) {
        // Emptied first: a failed allocation midway leaves no other tag's entry behind.
        g.tag.clear();
        g.gekuerzt = false;
        const bool gekuerzt = tagNeuKuerzen(tag, g.kurz);
        g.tag.assign(tag);
        g.gekuerzt = gekuerzt;
    }
    if (!g.gekuerzt) return false;
    out.assign(g.kurz);
    return true;
}

SkriptArt skriptArt(std::string_view starttag) {
    StartTag t;
    if (!leseStartTag(starttag, t)) return SkriptArt::Keins;
    if (const Attribut* typ = finde(t, "type")) {
        if (typ->wert.find('&') != std::string_view::npos) return SkriptArt::Keins;
        const std::string_view w = getrimmt(typ->wert);
        if (w.empty() || istJavaScriptTyp(w)) return SkriptArt::Klassisch;
        return gleichKlein(w, "module") ? SkriptArt::Modul : SkriptArt::Keins;
    }
    if (const Attribut* sprache = finde(t, "language")) {
        if (sprache->wert.find('&') != std::string_view::npos) return SkriptArt::Keins;
        return spracheIstJavaScript(sprache->wert) ? SkriptArt::Klassisch : SkriptArt::Keins;
    }
    return SkriptArt::Klassisch;
}

bool istCssStil(std::string_view starttag) {
    StartTag t;
    if (!leseStartTag(starttag, t)) return false;
    const Attribut* typ = finde(t, "type");
    if (typ == nullptr) return true;
    const std::string_view w = getrimmt(typ->wert);
    return typ->wert.find('&') == std::string_view::npos &&
           (w.empty() || gleichKlein(w, "text/css"));
}

}  // namespace quintaro
