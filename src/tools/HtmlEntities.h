// The named entities of HTML that authors write in a menu file ("&uuml;", "&ndash;"): the
// checker suggests the characters they name.
#pragma once

#include <optional>
#include <string_view>

// The character an HTML entity name (without "&" and ";") stands for; none for other names.
std::optional<wchar_t> HtmlEntity(std::wstring_view name);
