// Reading the command line of quintaro-cli, and its help text.
#include "cli/argumente.h"

#include <cstdio>

#include "cli/terminal.h"
#include "engine/text.h"

namespace quintaro::cli {

namespace {

std::string zitiert(std::string_view arg) {
    return "'" + sichtbar(arg, false) + "'";
}

// Why `utf8` cannot become code page 1252: the first character that code page lacks, or the
// first byte that is not UTF-8.
std::string warumNicht1252(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = b < 0x80             ? 1
                                : (b & 0xE0) == 0xC0 ? 2
                                : (b & 0xF0) == 0xE0 ? 3
                                : (b & 0xF8) == 0xF0 ? 4
                                                     : 0;
        bool utf8Ok = len > 0 && i + len <= utf8.size();
        char32_t cp = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
        for (std::size_t k = 1; utf8Ok && k < len; ++k) {
            const auto cb = static_cast<unsigned char>(utf8[i + k]);
            utf8Ok = (cb & 0xC0) == 0x80;
            cp = (cp << 6) | (cb & 0x3F);
        }
        if (!utf8Ok) {
            char hex[40];
            std::snprintf(hex, sizeof hex, "invalid UTF-8 at byte \\x%02X", b);
            return hex;
        }
        const auto zeichen = utf8.substr(i, len);
        if (!utf8ToCp1252(zeichen)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
            return zitiert(zeichen) + " (" + code + ") is not in code page 1252";
        }
        i += len;
    }
    return "invalid UTF-8";
}

std::optional<Text> nach1252(std::string_view arg, std::string& fehler) {
    auto text = utf8ToCp1252(arg);
    if (!text) fehler = "--replace " + zitiert(arg) + ": " + warumNicht1252(arg);
    return text;
}

}  // namespace

std::variant<Aufruf, ArgumentFehler> argumenteLesen(std::span<const std::string_view> args) {
    Aufruf aufruf;
    bool platzhalterFrei = true;
    bool nurDateien = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (nurDateien || arg.size() < 2 || arg[0] != '-') {
            aufruf.dateien.emplace_back(arg);
        } else if (arg == "--") {
            nurDateien = true;
        } else if (arg == "--help" || arg == "-h") {
            aufruf.hilfe = true;
            return aufruf;
        } else if (arg == "--tips") {
            aufruf.tipps = true;
        } else if (arg == "--set") {
            if (i + 1 >= args.size()) return ArgumentFehler{"--set needs an argument KEY=0|1"};
            const std::string_view wert = args[++i];
            const auto gleich = wert.find('=');
            if (gleich == std::string_view::npos) {
                return ArgumentFehler{"--set " + zitiert(wert) + ": expected KEY=0|1"};
            }
            const auto key = wert.substr(0, gleich);
            const auto zustand = wert.substr(gleich + 1);
            const auto index = optionByKey(key);
            if (!index) return ArgumentFehler{"--set: unknown option key " + zitiert(key)};
            if (zustand != "0" && zustand != "1") {
                return ArgumentFehler{"--set " + sichtbar(key, false) + ": value " +
                                      zitiert(zustand) + " is not 0 or 1"};
            }
            aufruf.optionen.set(*index, zustand == "1");
        } else if (arg == "--replace") {
            if (i + 2 >= args.size()) {
                return ArgumentFehler{"--replace needs two arguments, SEARCH and REPLACEMENT"};
            }
            std::string fehler;
            const auto such = nach1252(args[i + 1], fehler);
            if (!such) return ArgumentFehler{fehler};
            const auto ersatz = nach1252(args[i + 2], fehler);
            if (!ersatz) return ArgumentFehler{fehler};
            if (such->empty()) return ArgumentFehler{"--replace: SEARCH must not be empty"};
            i += 2;
            Ersetzung zeile{*such, *ersatz};
            if (platzhalterFrei) {
                aufruf.tabelle.setzeZeile(1, std::move(zeile));
                platzhalterFrei = false;
            } else {
                aufruf.tabelle.anhaengen(std::move(zeile));
            }
        } else {
            return ArgumentFehler{"unknown flag " + zitiert(arg)};
        }
    }
    return aufruf;
}

std::string aufrufText() {
    // Options that matter only around a window or a document file.
    auto ohneWirkung = [](int i) {
        return i == SK || i == OT || i == DKS || i == NOA || i == OA || i == PES || i == PEE;
    };
    std::string text =
        "Usage: quintaro-cli [--set KEY=0|1]... [--replace SEARCH REPLACEMENT]... [--tips]"
        " < page.htm > optimised.htm\n"
        "\n"
        "Optimises the HTML page read from standard input as a batch run does, and writes the\n"
        "optimised bytes to standard output. Every line break of the page becomes CR LF first.\n"
        "\n"
        "  --set KEY=0|1                 switch an option off (0) or on (1); keys below\n"
        "  --replace SEARCH REPLACEMENT  append a row to the replacement table (UTF-8 text,\n"
        "                                code page 1252 characters only; SEARCH not empty)\n"
        "  --tips                        print the optimisation tips for the result on\n"
        "                                standard error\n"
        "  --help                        print this text\n"
        "\n"
        "Options, with their defaults:\n";
    for (const auto& o : kOptionen) {
        std::string key(o.key);
        key.resize(4, ' ');
        text += "  " + key + (o.defaultOn ? "1  " : "0  ") + std::string(o.caption) +
                (ohneWirkung(o.index) ? " *" : "") + (o.index == OT ? " (see --tips)" : "") + "\n";
    }
    text +=
        "  * no effect here: there is no document file, no window and no settings file\n"
        "\n"
        "With KMM=1 every comment is asked about on the terminal: j (Ja), n (Nein) or\n"
        "a (Abbrechen).\n"
        "\n"
        "Exit status: 0 done, 1 abandoned, 2 usage error, 3 read or write error.\n";
    return text;
}

}  // namespace quintaro::cli
