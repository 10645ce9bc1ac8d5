// Entity table: 0x80 (euro) and 0xA1..0xFF without 0xAD.
#include "engine/sonderzeichen.h"

#include <array>

namespace quintaro {

namespace {
constexpr std::array<std::string_view, 96> kLatin1 = {
    "",         "&iexcl;",  "&cent;",   "&pound;",  "&curren;", "&yen;",    "&brvbar;", "&sect;",
    "&uml;",    "&copy;",   "&ordf;",   "&laquo;",  "&not;",    "",         "&reg;",    "&macr;",
    "&deg;",    "&plusmn;", "&sup2;",   "&sup3;",   "&acute;",  "&micro;",  "&para;",   "&middot;",
    "&cedil;",  "&sup1;",   "&ordm;",   "&raquo;",  "&frac14;", "&frac12;", "&frac34;", "&iquest;",
    "&Agrave;", "&Aacute;", "&Acirc;",  "&Atilde;", "&Auml;",   "&Aring;",  "&AElig;",  "&Ccedil;",
    "&Egrave;", "&Eacute;", "&Ecirc;",  "&Euml;",   "&Igrave;", "&Iacute;", "&Icirc;",  "&Iuml;",
    "&ETH;",    "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;",  "&Otilde;", "&Ouml;",   "&times;",
    "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;",  "&Uuml;",   "&Yacute;", "&THORN;",  "&szlig;",
    "&agrave;", "&aacute;", "&acirc;",  "&atilde;", "&auml;",   "&aring;",  "&aelig;",  "&ccedil;",
    "&egrave;", "&eacute;", "&ecirc;",  "&euml;",   "&igrave;", "&iacute;", "&icirc;",  "&iuml;",
    "&eth;",    "&ntilde;", "&ograve;", "&oacute;", "&ocirc;",  "&otilde;", "&ouml;",   "&divide;",
    "&oslash;", "&ugrave;", "&uacute;", "&ucirc;",  "&uuml;",   "&yacute;", "&thorn;",  "&yuml;",
};
}  // namespace

std::string_view entityFuer(unsigned char byte) {
    if (byte == 0x80) return "&euro;";
    if (byte >= 0xA0) return kLatin1[byte - 0xA0];
    return {};
}

Text SonderzeichenErsetzen(std::string_view text) {
    std::size_t size = 0;
    for (char c : text) {
        const auto e = entityFuer(static_cast<unsigned char>(c));
        size += e.empty() ? 1 : e.size();
    }
    Text out;
    if (size == text.size()) return Text(text);
    out.reserve(size);
    for (char c : text) {
        const auto e = entityFuer(static_cast<unsigned char>(c));
        if (e.empty()) {
            out.push_back(c);
        } else {
            out.append(e);
        }
    }
    return out;
}

}  // namespace quintaro
