// Code page 1252 document bytes <-> the Unicode of Qt widgets, used only at the widgets' edge.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "engine/text.h"

namespace quintaro::ui {

QString vonCp1252(std::string_view bytes);
// Characters the code page lacks (typed or pasted by the user) become '?', as a Windows edit
// control would store them.
Text nachCp1252(const QString& text);
// The same for UTF-8 bytes; each byte that is not part of well-formed UTF-8 becomes '?' too.
Text utf8NachCp1252(std::string_view bytes);
// The characters of the UTF-8 text that code page 1252 lacks, each once, in their order.
std::u32string fehlenInCp1252(std::string_view utf8);

}  // namespace quintaro::ui
