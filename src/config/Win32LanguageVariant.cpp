#include "config/Win32LanguageVariant.h"

#include <windows.h>

std::wstring UserLanguageTag() {
    // GetLocaleInfoW gives both parts on every Windows since XP (LCIDToLocaleName since Vista).
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    wchar_t language[16] = L"";
    wchar_t country[16] = L"";
    if (GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, language, 16) == 0) {
        return {};
    }
    std::wstring tag = language;
    if (GetLocaleInfoW(locale, LOCALE_SISO3166CTRYNAME, country, 16) != 0 && country[0] != 0) {
        tag += L'-';
        tag += country;
    }
    return tag;
}

std::wstring LanguageVariantFile(const ConfigPath& path) {
    for (const std::wstring& variant : LanguageVariants(path.file, UserLanguageTag())) {
        const DWORD attributes = GetFileAttributesW((path.dir + variant).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return variant;
        }
    }
    return path.file;
}
