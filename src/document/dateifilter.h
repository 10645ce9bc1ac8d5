// File-type filters of the file dialogs: the bar-separated filter strings built from the filter
// list or the document's extension, and their conversion to QFileDialog name filters.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

#include "engine/text.h"

namespace quintaro {

// True when the text holds none of the characters " < > \ |.
bool DateinamePruefen(std::string_view text);

// "Webdokumente|<patterns>|Alle Dateien|*.*": "*" before each entry, joined by ";", in list
// order; fewer than two entries give the fixed "*.htm*;". Bytes in, bytes out.
std::string dateifilterText(const std::vector<std::string>& eintraege);

// The file name's extension from its last "." on, with the point; empty when there is none.
std::string dateiendung(const std::string& path);

// "<ext>|<ext>|Alle Dateien|*.*", the save dialog's filter for a document of that extension.
std::string speicherfilterText(const std::string& endung);

// Bar-separated name/pattern pairs to QFileDialog's "Name (p1 p2)" entries. Empty patterns are
// dropped and so is a pair left without any. "*.*" becomes "*" so that names without a dot show,
// and a bare extension such as ".htm" becomes "*.htm" so that it matches the files of that type.
QStringList dialogNamensfilter(const QString& filter);

// The open dialog's name filters from the filter list (code page 1252 entries).
QStringList oeffnenDialogfilter(const std::vector<Text>& eintraege);

// The save-as dialog's name filters for the document at `aktuelleDatei` (UTF-8 path).
QStringList speichernDialogfilter(const std::string& aktuelleDatei);

}  // namespace quintaro
