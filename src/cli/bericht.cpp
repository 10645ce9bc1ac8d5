// The --report table and JSON lines.
#include "cli/bericht.h"

#include <algorithm>
#include <cstdio>

#include "engine/utf8.h"

namespace quintaro::cli {

namespace {

std::int64_t differenz(std::size_t a, std::size_t b) {
    return static_cast<std::int64_t>(a) - static_cast<std::int64_t>(b);
}

std::string rechts(std::string text, std::size_t breite) {
    if (text.size() < breite) text.insert(0, breite - text.size(), ' ');
    return text;
}

std::string links(std::string text, std::size_t breite) {
    if (text.size() < breite) text.append(breite - text.size(), ' ');
    return text;
}

std::string anteil(std::int64_t teil, std::int64_t ganz) {
    if (ganz == 0) return "-";
    char puffer[32];
    std::snprintf(puffer, sizeof puffer, "%.1f%%",
                  100.0 * static_cast<double>(teil) / static_cast<double>(ganz));
    return puffer;
}

}  // namespace

void Einsparung::hinzu(const Laufergebnis& lauf) {
    for (const auto& p : lauf.passes) {
        const std::int64_t gespart = differenz(p.vorher, p.nachher);
        const bool gelaufen = p.ausgang == Passausgang::Gelaufen;
        const auto da = std::find_if(zeilen.begin(), zeilen.end(),
                                     [&](const auto& z) { return z.schluessel == p.schluessel; });
        if (da == zeilen.end()) {
            zeilen.push_back({p.schluessel, gespart, gelaufen});
        } else {
            da->gespart += gespart;
            da->gelaufen = da->gelaufen || gelaufen;
        }
    }
    vorher += lauf.vorher;
    nachher += lauf.nachher;
    ++seiten;
}

std::string berichtTabelle(const Einsparung& e) {
    const std::int64_t gesamt = differenz(e.vorher, e.nachher);
    std::size_t breite = 5;
    for (const auto& z : e.zeilen) breite = std::max(breite, z.schluessel.size());
    std::size_t zahlen = 5;
    for (const auto& z : e.zeilen) zahlen = std::max(zahlen, std::to_string(z.gespart).size());
    zahlen = std::max(zahlen, std::to_string(gesamt).size());
    const auto zeile = [&](const std::string& a, const std::string& b, const std::string& c,
                           const std::string& d) {
        std::string s = "  " + links(a, breite) + "  " + rechts(b, zahlen) + "  " + rechts(c, 7);
        if (!d.empty()) s += "  " + d;
        return s + "\n";
    };
    std::string text = zeile("pass", "saved", "share", "");
    for (const auto& z : e.zeilen) {
        // A pass that did not run saved nothing, unless it was cancelled halfway.
        const bool ohneWirkung = !z.gelaufen && z.gespart == 0;
        text += zeile(z.schluessel, ohneWirkung ? "-" : std::to_string(z.gespart),
                      ohneWirkung ? "not run" : anteil(z.gespart, gesamt), passName(z.schluessel));
    }
    text += zeile("total", std::to_string(gesamt), gesamt == 0 ? "-" : "100.0%",
                  std::to_string(e.vorher) + " -> " + std::to_string(e.nachher) + " bytes");
    return text;
}

std::string_view kodierungsWort(Kodierung kodierung) {
    switch (kodierung) {
        case Kodierung::Utf8:
            return "utf-8";
        case Kodierung::Andere:
            return "other";
        case Kodierung::Cp1252:
            break;
    }
    return "cp1252";
}

std::string jsonText(std::string_view text) {
    std::string json = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
                case '"':
                    json += "\\\"";
                    break;
                case '\\':
                    json += "\\\\";
                    break;
                case '\n':
                    json += "\\n";
                    break;
                case '\r':
                    json += "\\r";
                    break;
                case '\t':
                    json += "\\t";
                    break;
                default:
                    if (c < 0x20) {
                        char u[8];
                        std::snprintf(u, sizeof u, "\\u%04x", c);
                        json += u;
                    } else {
                        json += static_cast<char>(c);
                    }
            }
            ++i;
            continue;
        }
        const auto zeichen = utf8::erstesZeichen(text.substr(i));
        if (!zeichen) {
            json += "\\ufffd";
            ++i;
            continue;
        }
        json += text.substr(i, zeichen->laenge);
        i += zeichen->laenge;
    }
    return json + "\"";
}

std::string berichtJson(const std::optional<std::string>& datei, Kodierung kodierung,
                        const Laufergebnis& lauf) {
    std::string json = "{\"file\": " + (datei ? jsonText(*datei) : std::string("null")) +
                       ", \"encoding\": " + jsonText(kodierungsWort(kodierung)) +
                       ", \"before\": " + std::to_string(lauf.vorher) +
                       ", \"after\": " + std::to_string(lauf.nachher) + ", \"passes\": [";
    for (std::size_t i = 0; i < lauf.passes.size(); ++i) {
        const auto& p = lauf.passes[i];
        if (i > 0) json += ", ";
        json += "{\"pass\": " + jsonText(p.schluessel) +
                ", \"before\": " + std::to_string(p.vorher) +
                ", \"after\": " + std::to_string(p.nachher) + "}";
    }
    return json + "]}\n";
}

std::string pruefText(std::size_t vorher, std::size_t nachher) {
    const std::string groessen = std::to_string(vorher) + " -> " + std::to_string(nachher);
    const auto bytes = [](std::size_t n) {
        return std::to_string(n) + (n == 1 ? " byte" : " bytes");
    };
    if (nachher < vorher) return "would save " + bytes(vorher - nachher) + " (" + groessen + ")";
    if (nachher > vorher) return "would grow by " + bytes(nachher - vorher) + " (" + groessen + ")";
    return "would change (" + groessen + " bytes)";
}

std::string seitenBericht(Berichtsart art, const std::optional<std::string>& datei,
                          std::string_view anzeigeName, Kodierung kodierung,
                          const Laufergebnis& lauf) {
    if (art == Berichtsart::Json) return berichtJson(datei, kodierung, lauf);
    if (art != Berichtsart::Tabelle) return {};
    Einsparung e;
    e.hinzu(lauf);
    return std::string(anzeigeName) + " (" + std::string(kodierungsWort(kodierung)) + "):\n" +
           berichtTabelle(e);
}

}  // namespace quintaro::cli
