#include "tools/HtmlEntities.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// Latin-1's named characters and the typographic ones, sorted by name.
constexpr std::pair<std::wstring_view, wchar_t> kEntities[] = {
    {L"AElig", 0x00C6},  {L"Aacute", 0x00C1}, {L"Acirc", 0x00C2},  {L"Agrave", 0x00C0},
    {L"Aring", 0x00C5},  {L"Atilde", 0x00C3}, {L"Auml", 0x00C4},   {L"Ccedil", 0x00C7},
    {L"Dagger", 0x2021}, {L"ETH", 0x00D0},    {L"Eacute", 0x00C9}, {L"Ecirc", 0x00CA},
    {L"Egrave", 0x00C8}, {L"Euml", 0x00CB},   {L"Iacute", 0x00CD}, {L"Icirc", 0x00CE},
    {L"Igrave", 0x00CC}, {L"Iuml", 0x00CF},   {L"Ntilde", 0x00D1}, {L"OElig", 0x0152},
    {L"Oacute", 0x00D3}, {L"Ocirc", 0x00D4},  {L"Ograve", 0x00D2}, {L"Oslash", 0x00D8},
    {L"Otilde", 0x00D5}, {L"Ouml", 0x00D6},   {L"Scaron", 0x0160}, {L"THORN", 0x00DE},
    {L"Uacute", 0x00DA}, {L"Ucirc", 0x00DB},  {L"Ugrave", 0x00D9}, {L"Uuml", 0x00DC},
    {L"Yacute", 0x00DD}, {L"Yuml", 0x0178},   {L"aacute", 0x00E1}, {L"acirc", 0x00E2},
    {L"acute", 0x00B4},  {L"aelig", 0x00E6},  {L"agrave", 0x00E0}, {L"aring", 0x00E5},
    {L"atilde", 0x00E3}, {L"auml", 0x00E4},   {L"bdquo", 0x201E},  {L"brvbar", 0x00A6},
    {L"bull", 0x2022},   {L"ccedil", 0x00E7}, {L"cedil", 0x00B8},  {L"cent", 0x00A2},
    {L"circ", 0x02C6},   {L"copy", 0x00A9},   {L"curren", 0x00A4}, {L"dagger", 0x2020},
    {L"darr", 0x2193},   {L"deg", 0x00B0},    {L"divide", 0x00F7}, {L"eacute", 0x00E9},
    {L"ecirc", 0x00EA},  {L"egrave", 0x00E8}, {L"emsp", 0x2003},   {L"ensp", 0x2002},
    {L"eth", 0x00F0},    {L"euml", 0x00EB},   {L"euro", 0x20AC},   {L"fnof", 0x0192},
    {L"frac12", 0x00BD}, {L"frac14", 0x00BC}, {L"frac34", 0x00BE}, {L"harr", 0x2194},
    {L"hellip", 0x2026}, {L"iacute", 0x00ED}, {L"icirc", 0x00EE},  {L"iexcl", 0x00A1},
    {L"igrave", 0x00EC}, {L"iquest", 0x00BF}, {L"iuml", 0x00EF},   {L"laquo", 0x00AB},
    {L"larr", 0x2190},   {L"ldquo", 0x201C},  {L"lsaquo", 0x2039}, {L"lsquo", 0x2018},
    {L"macr", 0x00AF},   {L"mdash", 0x2014},  {L"micro", 0x00B5},  {L"middot", 0x00B7},
    {L"nbsp", 0x00A0},   {L"ndash", 0x2013},  {L"not", 0x00AC},    {L"ntilde", 0x00F1},
    {L"oacute", 0x00F3}, {L"ocirc", 0x00F4},  {L"oelig", 0x0153},  {L"ograve", 0x00F2},
    {L"ordf", 0x00AA},   {L"ordm", 0x00BA},   {L"oslash", 0x00F8}, {L"otilde", 0x00F5},
    {L"ouml", 0x00F6},   {L"para", 0x00B6},   {L"permil", 0x2030}, {L"plusmn", 0x00B1},
    {L"pound", 0x00A3},  {L"prime", 0x2032},  {L"raquo", 0x00BB},  {L"rarr", 0x2192},
    {L"rdquo", 0x201D},  {L"reg", 0x00AE},    {L"rsaquo", 0x203A}, {L"rsquo", 0x2019},
    {L"sbquo", 0x201A},  {L"scaron", 0x0161}, {L"sect", 0x00A7},   {L"shy", 0x00AD},
    {L"sup1", 0x00B9},   {L"sup2", 0x00B2},   {L"sup3", 0x00B3},   {L"szlig", 0x00DF},
    {L"thinsp", 0x2009}, {L"thorn", 0x00FE},  {L"tilde", 0x02DC},  {L"times", 0x00D7},
    {L"trade", 0x2122},  {L"uacute", 0x00FA}, {L"uarr", 0x2191},   {L"ucirc", 0x00FB},
    {L"ugrave", 0x00F9}, {L"uml", 0x00A8},    {L"uuml", 0x00FC},   {L"yacute", 0x00FD},
    {L"yen", 0x00A5},    {L"yuml", 0x00FF}};

} // namespace

std::optional<wchar_t> HtmlEntity(std::wstring_view name) {
    const auto* found = std::lower_bound(
        std::begin(kEntities), std::end(kEntities), name,
        [](const auto& entry, std::wstring_view key) { return entry.first < key; });
    if (found == std::end(kEntities) || found->first != name) {
        return std::nullopt;
    }
    return found->second;
}
