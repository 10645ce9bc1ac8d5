// An INI file read and edited with the rules of the classic private-profile functions, kept in
// memory between one load and one save so that unknown keys, sections and comments survive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quintaro {

// A value is read cut to this many bytes.
inline constexpr std::size_t kIniWertLaenge = 2047;

// The integer a value stands for: decimal, or hexadecimal after "$", "0x" or "0X" (up to eight
// digits' worth, 0xFFFFFFFF being -1), each with an optional sign; nothing when it is no number
// or does not fit 32 bits.
std::optional<std::int32_t> iniZahl(std::string_view wert);

// Section and key names are compared without regard to letter case (ASCII and the letters of
// code page 1252). Lines are bytes of code page 1252; CR LF, LF and lone CR all end a line, and
// the file is written back with CR LF. A line whose first non-blank is '[' opens a section; a
// line holding '=' is a key (the part before the first '=', without surrounding blanks); every
// other line is ignored but kept. Of duplicate sections or keys the first one counts.
class IniDatei {
  public:
    IniDatei() = default;
    explicit IniDatei(std::string_view inhalt);

    // The file at `path`. A missing file, a folder or an unreadable file give empty settings;
    // an unreadable one is also never overwritten by speichern(). A file that starts with a
    // UTF-8 byte-order mark, or that is well-formed UTF-8 with multi-byte sequences (edited in a
    // UTF-8 editor), is read as UTF-8; any other as code page 1252. Either way it is written back
    // in code page 1252.
    static IniDatei laden(const std::string& path);

    // The value as read: without leading and trailing blanks and without one pair of quotes
    // ('"' or '\'') enclosing it whole, at most kIniWertLaenge bytes. Nothing when the section
    // or key is missing.
    std::optional<std::string> wert(std::string_view abschnitt, std::string_view schluessel) const;
    std::string leseText(std::string_view abschnitt, std::string_view schluessel,
                         std::string_view vorgabe) const;
    // The default also when the value is no number.
    std::int32_t leseZahl(std::string_view abschnitt, std::string_view schluessel,
                          std::int32_t vorgabe) const;
    // Any number other than 0 is true.
    bool leseBool(std::string_view abschnitt, std::string_view schluessel, bool vorgabe) const;

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

    // The file's bytes, every line ended by CR LF.
    std::string inhalt() const;

    // Writes the whole file anew through a temporary file that replaces it only when complete.
    // Throws DateiFehler "In <path> kann nicht geschrieben werden"; the old file stays as it was.
    void speichern(const std::string& path) const;

  private:
    struct Abschnitt {
        std::string kopf;                                         // the header line as written
        std::vector<std::string> zeilen;                          // the lines below it
        std::unordered_map<std::string, std::size_t> schluessel;  // folded key -> first line
    };

    const Abschnitt* finde(std::string_view abschnitt) const;
    void indexNeu();

    std::vector<std::string> vorspann_;  // lines before the first section
    std::vector<Abschnitt> abschnitte_;
    std::unordered_map<std::string, std::size_t> namen_;  // folded name -> first section
    bool unlesbar_ = false;
};

}  // namespace quintaro
