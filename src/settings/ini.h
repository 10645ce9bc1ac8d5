// An INI file read and edited with the rules of the classic private-profile functions, kept in
// memory between one load and one save so that unknown keys, sections and comments survive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quintaro {

// A value is read cut to this many bytes.
inline constexpr std::size_t kIniWertLaenge = 2047;

// A settings file larger than this is not read: real ones hold a few kilobytes.
inline constexpr std::size_t kIniGrenze = std::size_t{16} * 1024 * 1024;

// The integer a value stands for: decimal, or hexadecimal after "$", "0x" or "0X" (up to eight
// digits' worth, 0xFFFFFFFF being -1), each with an optional sign; nothing when it is no number
// or does not fit 32 bits.
std::optional<std::int32_t> iniZahl(std::string_view wert);

// Section and key names are compared without regard to letter case (ASCII and the letters of
// code page 1252). CR LF, LF and lone CR all end a line, and the file is written back with CR LF.
// A line whose first non-blank is '[' opens a section; a line holding '=' is a key (the part
// before the first '=', without surrounding blanks); every other line is ignored but kept. Of
// duplicate sections or keys the first one counts.
//
// A file that starts with a UTF-8 byte-order mark, or that is well-formed UTF-8 with multi-byte
// sequences (edited in a UTF-8 editor), is UTF-8; any other is code page 1252. Values are code
// page 1252 either way: in a UTF-8 file each section and key line is converted, and one that holds
// a character code page 1252 lacks (or bytes that are not UTF-8) is kept as it is, its value not
// read but named by fremdesZeichen(). The file is written back in the encoding it was read in,
// with its byte-order mark, so no line of it is mangled.
//
// Reading takes time and memory linear in the file's size: the lines stay in one buffer, runs of
// lines that are never read are one piece, and only the keys that count are indexed.
class IniDatei {
  public:
    IniDatei() = default;
    // The file's bytes as they are on disk.
    explicit IniDatei(std::string_view bytes);

    // The file at `path`. A missing file, a folder or an unreadable file give empty settings;
    // an unreadable one is also never overwritten by speichern(). So is a file above kIniGrenze,
    // which is not read at all (zuGross()).
    static IniDatei laden(const std::string& path);

    // laden() found the file larger than kIniGrenze and read none of it.
    bool zuGross() const { return zuGross_; }
    // The file is UTF-8 (and is written back so).
    bool utf8() const { return utf8_; }

    // The value as read: without leading and trailing blanks and without one pair of quotes
    // ('"' or '\'') enclosing it whole, at most kIniWertLaenge bytes. Nothing when the section
    // or key is missing, or when its line holds what code page 1252 cannot (see below).
    std::optional<std::string> wert(std::string_view abschnitt, std::string_view schluessel) const;
    std::string leseText(std::string_view abschnitt, std::string_view schluessel,
                         std::string_view vorgabe) const;
    // The default also when the value is no number.
    std::int32_t leseZahl(std::string_view abschnitt, std::string_view schluessel,
                          std::int32_t vorgabe) const;
    // Any number other than 0 is true.
    bool leseBool(std::string_view abschnitt, std::string_view schluessel, bool vorgabe) const;
    // In a UTF-8 file, the first character of the key's line that code page 1252 lacks, as its
    // UTF-8 bytes (a byte that is not UTF-8 alone); nothing when the value can be read or the key
    // is missing.
    std::optional<std::string> fremdesZeichen(std::string_view abschnitt,
                                              std::string_view schluessel) const;

    // Changes the key's line in place, or adds it after the section's last non-blank line, or
    // adds the section at the end of the file. CR and LF in a value become blanks: they would
    // break the line and let a value forge keys or sections.
    void schreibeText(std::string_view abschnitt, std::string_view schluessel,
                      std::string_view wert);
    void schreibeZahl(std::string_view abschnitt, std::string_view schluessel, std::int32_t wert);
    // Written as "1" or "0".
    void schreibeBool(std::string_view abschnitt, std::string_view schluessel, bool wert);
    // Removes the section, every section of that name, with all its lines.
    void abschnittLoeschen(std::string_view abschnitt);
    // The same, except that the first section of that name stays where it is, emptied of all
    // but its trailing blank lines: keys written next land in its old place, so saving the same
    // state twice gives the same file.
    void abschnittLeeren(std::string_view abschnitt);

    // Number of different keys in the section (0 when it is missing).
    std::size_t schluesselAnzahl(std::string_view abschnitt) const;
    // The section's different keys, lowercased (empty when it is missing).
    std::vector<std::string> schluessel(std::string_view abschnitt) const;

    // The file's bytes, every line ended by CR LF, in the encoding it was read in.
    std::string inhalt() const;

    // Writes the whole file anew through a temporary file that replaces it only when complete.
    // Throws DateiFehler "In <path> kann nicht geschrieben werden"; the old file stays as it was.
    void speichern(const std::string& path) const;

  private:
    // Whole lines of `puffer_`, each ended by '\n' there.
    struct Stueck {
        std::size_t anfang = 0;
        std::uint32_t laenge = 0;
        bool schluessel = false;  // the one line of a key that counts; else lines never read
        bool roh = false;         // bytes as read from a UTF-8 file, not code page 1252
        bool leer = false;        // blank lines only
    };
    struct Abschnitt {
        Stueck kopf;
        std::vector<Stueck> stuecke;
        std::uint32_t schluesselAnzahl = 0;
        bool erster = true;  // no section of that name comes before it
    };
    struct Eintrag {
        std::uint32_t abschnitt;
        std::uint32_t stueck;
    };

    std::string_view zeile(const Stueck& s) const;
    std::string_view name(const Abschnitt& a) const;
    std::string_view schluesselVon(const Stueck& s) const;
    std::optional<std::uint32_t> findeAbschnitt(std::string_view gefaltet) const;
    const Stueck* findeSchluessel(std::string_view abschnitt, std::string_view schluessel) const;
    Stueck anhaengen(std::string_view zeile);
    void fuellAnhaengen(std::vector<Stueck>& stuecke, std::size_t anfang, std::size_t laenge,
                        bool roh, bool leer);
    std::size_t nachLetzterZeile(std::vector<Stueck>& stuecke);
    void abschnittAufnehmen(Abschnitt abschnitt);
    void schluesselAufnehmen(std::uint32_t abschnitt, std::uint32_t stueck);
    void indexNeu();

    std::string puffer_;
    std::vector<Stueck> vorspann_;  // lines before the first section
    std::vector<Abschnitt> abschnitte_;
    std::vector<Eintrag> eintraege_;
    // Open addressing over the first sections of each name and over `eintraege_`.
    std::vector<std::uint64_t> abschnittPlaetze_;
    std::vector<std::uint64_t> schluesselPlaetze_;
    std::size_t ersteAbschnitte_ = 0;
    bool utf8_ = false;
    bool bom_ = false;
    bool unlesbar_ = false;
    bool zuGross_ = false;
};

}  // namespace quintaro
