// Reading the command line of quintaro-cli, and its help text.
#include "cli/argumente.h"

#include <cstdio>
#include <vector>

#include "cli/kanaele.h"
#include "cli/terminal.h"
#include "engine/optimierung.h"
#include "engine/text.h"
#include "engine/utf8.h"

namespace quintaro::cli {

namespace {

std::string zitiert(std::string_view arg) {
    return "'" + sichtbar(arg, false) + "'";
}

// Why `utf8` cannot become code page 1252: malformed UTF-8 is named as such (its first stray
// byte) before any character is, then the first character that code page lacks.
std::string warumNicht1252(std::string_view utf8) {
    std::vector<utf8::Zeichen> zeichen;
    for (std::size_t i = 0; i < utf8.size(); i += zeichen.back().laenge) {
        const auto z = utf8::erstesZeichen(utf8.substr(i));
        if (!z) {
            char hex[40];
            std::snprintf(hex, sizeof hex, "invalid UTF-8 at byte \\x%02X",
                          static_cast<unsigned char>(utf8[i]));
            return hex;
        }
        zeichen.push_back(*z);
    }
    std::size_t i = 0;
    for (const auto& z : zeichen) {
        const auto folge = utf8.substr(i, z.laenge);
        if (!utf8NachCp1252Verlustfrei(folge)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(z.wert));
            return zitiert(folge) + " (" + code + ") is not in code page 1252";
        }
        i += z.laenge;
    }
    return "invalid UTF-8";
}

std::optional<Text> nach1252(std::string_view arg, std::string& fehler) {
    auto text = utf8NachCp1252Verlustfrei(arg);
    if (!text) fehler = "--replace " + zitiert(arg) + ": " + warumNicht1252(arg);
    return text;
}

}  // namespace

std::variant<Aufruf, ArgumentFehler> argumenteLesen(std::span<const std::string_view> args) {
    Aufruf aufruf;
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
        } else if (arg == "--version") {
            aufruf.version = true;
            return aufruf;
        } else if (arg == "--tips") {
            aufruf.tipps = true;
        } else if (arg == "--encoding") {
            if (i + 1 >= args.size()) {
                return ArgumentFehler{"--encoding needs an argument auto|cp1252|utf-8"};
            }
            const std::string_view wert = args[++i];
            if (wert == "auto") {
                aufruf.kodierung = KodierungsWahl::Automatisch;
            } else if (wert == "cp1252") {
                aufruf.kodierung = KodierungsWahl::Cp1252;
            } else if (wert == "utf-8") {
                aufruf.kodierung = KodierungsWahl::Utf8;
            } else {
                return ArgumentFehler{"--encoding " + zitiert(wert) +
                                      ": expected auto, cp1252 or utf-8"};
            }
        } else if (arg == "--set") {
            if (i + 1 >= args.size()) return ArgumentFehler{"--set needs an argument KEY=0|1"};
            const std::string_view wert = args[++i];
            const auto gleich = wert.find('=');
            if (gleich == std::string_view::npos) {
                return ArgumentFehler{"--set " + zitiert(wert) + ": expected KEY=0|1"};
            }
            const auto key = wert.substr(0, gleich);
            const auto zustand = wert.substr(gleich + 1);
            const auto index = optionZumSchluessel(key);
            if (!index) return ArgumentFehler{"--set: unknown option key " + zitiert(key)};
            if (zustand != "0" && zustand != "1") {
                return ArgumentFehler{"--set " + sichtbar(key, false) + ": value " +
                                      zitiert(zustand) + " is not 0 or 1"};
            }
            aufruf.gesetzt.emplace_back(*index, zustand == "1");
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
            aufruf.ersetzungen.push_back({*such, *ersatz});
        } else if (arg == "--report" || arg == "--report=text") {
            aufruf.bericht = Berichtsart::Tabelle;
        } else if (arg == "--report=json") {
            aufruf.bericht = Berichtsart::Json;
        } else if (arg == "--check") {
            aufruf.pruefen = true;
        } else if (arg == "--diff") {
            aufruf.pruefen = aufruf.diff = true;
        } else if (arg == "-r" || arg == "--recursive") {
            aufruf.rekursiv = true;
        } else if (arg == "--filter") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return ArgumentFehler{"--filter needs a PATTERN such as .htm*"};
            }
            aufruf.filter.emplace_back(args[++i]);
        } else if (arg == "--jobs" || arg == "-j") {
            const std::string_view wert = i + 1 < args.size() ? args[++i] : std::string_view();
            unsigned n = 0;
            bool zahl = !wert.empty() && wert.size() <= 4;
            for (const char c : wert) {
                zahl = zahl && c >= '0' && c <= '9';
                if (zahl) n = n * 10 + static_cast<unsigned>(c - '0');
            }
            if (!zahl || n == 0) {
                return ArgumentFehler{"--jobs " + zitiert(wert) +
                                      ": expected a number from 1 to 9999"};
            }
            aufruf.faeden = n;
        } else if (arg == "--settings") {
            if (i + 1 >= args.size()) return ArgumentFehler{"--settings needs a FILE"};
            aufruf.einstellungen = std::string(args[++i]);
        } else {
            return ArgumentFehler{"unknown flag " + zitiert(arg)};
        }
    }
    obenauf(aufruf, aufruf.optionen, aufruf.tabelle);
    // The filter mode stays as it was: options from the defaults and the flags alone.
    if (aufruf.dateien.empty() && aufruf.einstellungen) {
        return ArgumentFehler{
            "--settings works with FILE arguments only (the page on standard "
            "input takes the defaults, --set and --replace)"};
    }
    if (aufruf.dateien.empty() && (aufruf.rekursiv || !aufruf.filter.empty() || aufruf.faeden)) {
        return ArgumentFehler{"-r, --filter and --jobs work with FILE arguments only"};
    }
    if (!aufruf.dateien.empty() && aufruf.tipps) {
        return ArgumentFehler{
            "--tips works without FILE arguments only (a batch run shows no "
            "tips)"};
    }
    return aufruf;
}

void obenauf(const Aufruf& aufruf, Optionsmenge& optionen, Ersetzungstabelle& tabelle) {
    for (const auto& [index, an] : aufruf.gesetzt) optionen.set(index, an);
    for (const auto& zeile : aufruf.ersetzungen) {
        if (tabelle.istPlatzhalter()) {
            tabelle.setzeZeile(1, zeile);
        } else {
            tabelle.anhaengen(zeile);
        }
    }
}

std::string aufrufText() {
    const std::string name(kProgrammName);
    std::string text =
        "Usage: " + name +
        " [--set KEY=0|1]... [--replace SEARCH REPLACEMENT]... [--tips]"
        " < page.htm > optimised.htm\n"
        "       " +
        name +
        " [--settings FILE] [--set KEY=0|1]... [--replace SEARCH REPLACEMENT]..."
        " FILE...\n"
        "Both modes also take --encoding auto|cp1252|utf-8; with FILE also -r, --filter\n"
        "PATTERN and --jobs N, for a whole site.\n"
        "\n"
        "Without FILE: optimises the HTML page read from standard input as a batch run does, and\n"
        "writes the optimised bytes to standard output. Every line break of the page becomes\n"
        "CR LF first. The options are the defaults below, changed by --set and --replace.\n"
        "\n"
        "With FILE: optimises each FILE in turn as the window's batch run does and saves it over\n"
        "itself. The file as it was is kept as FILE.bak beside it (an existing backup is\n"
        "never overwritten), DKS=1 lowercases the file name (unless another file has that name),\n"
        "and the file is replaced only once the new text is completely written. A file that\n"
        "fails is reported on standard error with its reason, and the run goes on with the next.\n"
        "On a terminal, standard error shows the progress.\n"
        "\n"
        "  --settings FILE               with FILE arguments: take the options and the "
        "replacement\n"
        "                                table from this settings file instead of the "
        "window's\n"
        "                                (see below). --set and --replace apply on top\n"
        "  --set KEY=0|1                 switch an option off (0) or on (1); keys below\n"
        "  --replace SEARCH REPLACEMENT  append a row to the replacement table (UTF-8 text,\n"
        "                                code page 1252 characters only; SEARCH not empty)\n"
        "  --encoding auto|cp1252|utf-8  how pages are read: auto (the default) decides for\n"
        "                                each page as described below\n"
        "  -r, --recursive               FILE may be a folder: every file below it, subfolders\n"
        "                                included, whose name matches the filters, in path\n"
        "                                order; hidden names, *.bak, the preview file and\n"
        "                                links to folders are left out\n"
        "  --filter PATTERN              with -r: a file name ending such as .htm* ('*' and '?'\n"
        "                                wildcards, letter case ignored); repeatable, replaces\n"
        "                                the settings file's filters (default .htm* .shtm*)\n"
        "  -j, --jobs N                  with FILE: optimise on N threads (default: one per\n"
        "                                core); the files are written as with one\n"
        "  --tips                        without FILE: print the optimisation tips for the\n"
        "                                result on standard error\n"
        "  --report[=json]               print what each pass saved on standard error: a\n"
        "                                table per page (and for all of them), or one JSON\n"
        "                                object per page on a line\n"
        "  --check                       run but write nothing; name each page that would\n"
        "                                change with the bytes it would save (on standard\n"
        "                                error without FILE)\n"
        "  --diff                        --check, and print the changes as a unified diff\n"
        "                                over the pages' token lines\n"
        "  --help                        print this text\n"
        "  --version                     print the program's version\n"
        "\n"
        "Options, with their built-in defaults:\n";
    for (const auto& o : kOptionen) {
        std::string key(o.key);
        key.resize(4, ' ');
        text += "  " + key + (o.defaultOn ? "1  " : "0  ") + std::string(o.caption) +
                (ohneWirkungImStapel(o.index) ? " *" : "") +
                (o.index == OT ? " (see --tips)" : "") +
                (o.index == DKS ? " (with FILE only)" : "") + "\n";
    }
    text +=
        "  * no effect here: there is no window, and with FILE a backup is always made\n"
        "\n"
        "HSB (on by default): the passes read the page as a browser's HTML parser builds it and\n"
        "change only what a browser does not show: whitespace goes only beside the tags of\n"
        "block-like elements and at the page's edges, elsewhere a run becomes one space; the\n"
        "contents of script, style, pre and textarea, attribute values, conditional comments,\n"
        "SSI directives and server code are kept; comments go where they stand. --set HSB=0\n"
        "gives the passes that treat the page as plain text (they may join words, collapse pre\n"
        "blocks and cut off scripts).\n"
        "\n"
        "CSS, JS and ATK (on by default, only with HSB): style sheets and style attributes,\n"
        "and scripts of a JavaScript type, lose comments and the whitespace their language does\n"
        "not need (a script keeps its line breaks, and nothing is renamed); ATK drops quotes\n"
        "that are not needed, the values of boolean attributes, redundant script and style\n"
        "types, and the optional tags a parser does not need for the same tree (</p>, </li>,\n"
        "</td>, <head> ...).\n"
        "\n"
        "Encodings: with --encoding auto a page is UTF-8 when it starts with a UTF-8 byte-order\n"
        "mark; else when a <meta> tag within its first 1,024 bytes declares a charset, that label\n"
        "decides (utf-8 and its aliases: UTF-8; windows-1252, iso-8859-1, us-ascii and their\n"
        "aliases: code page 1252; any other: another 8-bit code page); else UTF-8 when the whole\n"
        "page is well-formed UTF-8 with at least one non-ASCII character, else code page 1252.\n"
        "In UTF-8, SZ turns the characters that code page 1252 has entities for into the same\n"
        "entities and --replace rows are matched as UTF-8; in another 8-bit code page SZ leaves\n"
        "every byte from 0x80 up alone. Bytes that are not well-formed UTF-8 stay as they are.\n"
        "\n"
        "Without --settings, FILE arguments take the window's settings file, when it exists:\n"
        "quintaro_optionen.ini beside the program when the user may write the program's\n"
        "folder (a portable copy), else $XDG_CONFIG_HOME/quintaro/quintaro_optionen.ini\n"
        "(~/.config/quintaro/ when XDG_CONFIG_HOME is unset). Without it, the defaults.\n"
        "\n"
        "With KMM=1 every comment is asked about on the terminal: j (Ja), n (Nein) or\n"
        "a (Abbrechen). With FILE, Abbrechen leaves that file unsaved and goes on.\n"
        "\n"
        "Exit status without FILE: 0 done, 1 abandoned, 2 usage error (an empty standard input\n"
        "included), 3 read or write error.\n"
        "Exit status with FILE: 0 every file done (an empty file, or one left at Abbrechen,\n"
        "counts as done), 1 one or more files (or folders) failed, 2 usage error, 130\n"
        "interrupted by Ctrl+C: the files already taken up are put in place, the others are\n"
        "left as they were, and no file is ever half-written.\n"
        "Either way, 3 when KMM=1 finds standard input or output closed.\n"
        "With --check: 0 no page would change, 1 at least one would, 2 usage error, 3 a file\n"
        "or a standard stream failed.\n";
    return text;
}

std::string versionText() {
    return std::string(kProgrammName) + " " + QUINTARO_VERSION + "\n";
}

}  // namespace quintaro::cli
