// Values: numbers, colours, flags, keywords, font names and captions, each as the menu reads
// it, with the value the author meant.
#include <algorithm>

#include "tools/checks/Checks.h"

namespace checks {

// Says what an unknown keyword makes the menu do, in the file's own words where it shows them.
std::string KeywordEffect(Context context, std::wstring_view attribute, std::wstring_view value,
                          const MenuMessages& messages) {
    if (attribute == L"windowpos") {
        return "the window goes to 'left' and 'top'";
    }
    if (attribute == L"title") {
        return "the caption bar stays";
    }
    if (attribute == L"zorder") {
        return "the window stacks as a normal window";
    }
    if (attribute == L"tttype") {
        return "the menu stops with \"" + Shown(messages.noTooltipType) + "\"";
    }
    if (attribute == L"hkey") {
        return "the menu reads HKEY_CURRENT_CONFIG";
    }
    if (context == Context::ButtonLayout) {
        return "the control becomes a push button";
    }
    if (context == Context::Command || context == Context::Query) {
        return "the chain fails here with \"" +
               Shown(messages.ChainWarningFor(L"type=\"" + std::wstring(value) + L"\"")) + "\"";
    }
    return "the test never holds";
}

namespace {

// What the author likely meant by a value that is no keyword.
std::string KeywordHint(const AttributeRule& rule, std::wstring_view value) {
    for (const auto& [shortName, full] : kShortHives) {
        if (rule.name == L"hkey" && LowerAsciiLetters(value) == LowerAsciiLetters(shortName)) {
            return "write " + Shown(full);
        }
    }
    static const std::pair<std::wstring_view, std::wstring_view> kCommands[] = {
        {L"next", L"weiter"},
        {L"back", L"zur\u00fcck"},
        {L"previous", L"zur\u00fcck"},
        {L"quit", L"beenden"},
        {L"exit", L"beenden"},
        {L"close", L"beenden"},
        {L"run", L"exec"},
        {L"start", L"exec"},
        {L"open", L"exec"},
        {L"message", L"showmessage"},
        {L"minimise", L"minimize"}};
    for (const auto& [word, command] : kCommands) {
        if (LowerAsciiLetters(value) == word &&
            std::find(rule.keywords.begin(), rule.keywords.end(), command) != rule.keywords.end()) {
            return "did you mean " + Quoted(command) + "?";
        }
    }
    if (rule.name == L"title") {
        return "the window's title is caption=\"...\"; title=\"false\" removes the caption "
               "bar";
    }
    const std::vector<std::wstring_view> words(rule.keywords.begin(), rule.keywords.end());
    const std::wstring_view trimmed = TrimWhiteSpace(value);
    if (trimmed != value && std::find(words.begin(), words.end(), trimmed) != words.end()) {
        return "remove the spaces: " + Quoted(trimmed);
    }
    if (const auto meant = Suggest(value, words);
        meant && !value.empty() && !IsPlainNumber(value)) {
        return (LowerAsciiLetters(*meant) == LowerAsciiLetters(value)
                    ? "keywords are case-sensitive: write "
                    : "did you mean ") +
               Quoted(*meant);
    }
    std::string list;
    for (const std::wstring_view w : words) {
        list += (list.empty() ? "" : ", ") + Shown(w);
    }
    return "write one of " + list;
}

} // namespace

void CheckNumber(CheckContext& c, std::wstring_view value, std::size_t at,
                 const std::string& name) {
    if (value.empty() || IsPlainNumber(value)) {
        return;
    }
    const std::string reads = std::to_string(TextToInt(value));
    // "6px" reads 6: what the author meant, though not how numbers are written.
    const std::wstring_view t = TrimWhiteSpace(value);
    const std::size_t unit = t.size() >= 2 ? t.size() - 2 : 0;
    if (unit > 0 && LowerAsciiLetters(t.substr(unit)) == L"px" &&
        IsPlainNumber(t.substr(0, unit))) {
        c.Warning(at, "number",
                  name + "=\"" + Shown(value) + "\" is not a plain number: the menu reads " +
                      reads + " (pixels), as meant; write " + reads);
        return;
    }
    c.Error(at, "number",
            name + "=\"" + Shown(value) + "\" is not a plain number: the menu reads " + reads +
                "; write digits only");
}

void CheckColour(CheckContext& c, std::wstring_view value, std::size_t at,
                 const std::string& name) {
    if (value.empty()) {
        return;
    }
    const std::wstring_view t = TrimWhiteSpace(value);
    std::vector<std::wstring_view> parts;
    std::size_t i = 0;
    while (i < t.size()) {
        const std::size_t end = std::min(t.find(L' ', i), t.size());
        parts.push_back(t.substr(i, end - i));
        i = t.find_first_not_of(L' ', end);
        i = i == npos ? t.size() : i;
    }
    bool plain = parts.size() == 3;
    for (const std::wstring_view part : parts) {
        plain = plain && IsPlainNumber(part) && part[0] != L'-' && part[0] != L'+' &&
                TextToInt(part) <= 255;
    }
    if (!plain) {
        c.Error(at, "colour",
                name + "=\"" + Shown(value) +
                    "\" is not three numbers from 0 to 255 separated by spaces: the menu reads "
                    "the colour " +
                    ColourText(ColorFromText(value)) + " (red green blue)");
    }
}

void CheckFlag(CheckContext& c, std::wstring_view value, std::size_t at, const std::string& name) {
    if (!value.empty() && value != L"true" && value != L"false") {
        c.Error(at, "flag",
                name + "=\"" + Shown(value) +
                    "\" is off: only 'true', in lower case, switches it on; write true or false");
    }
}

void CheckAccepted(CheckContext& c, std::wstring_view value, std::size_t at) {
    if (value == L"false") {
        c.Warning(at, "trueifsuccess",
                  "trueifsuccess has no effect: a test that holds always takes <Positiv>");
    }
}

void CheckKeyword(CheckContext& c, const AttributeRule& rule, Context context,
                  std::wstring_view value, std::size_t at) {
    const bool required = rule.name == L"tttype" || context == Context::Command ||
                          context == Context::Query ||
                          (context == Context::RegistryQueryConfig && rule.name == L"type");
    if (std::find(rule.keywords.begin(), rule.keywords.end(), value) != rule.keywords.end() ||
        (value.empty() && !required)) {
        return;
    }
    const std::string name = Shown(rule.name);
    const std::string effect = KeywordEffect(context, rule.name, value, c.messages);
    const std::string hint = KeywordHint(rule, value);
    // A control type far from "checkbox" gives the push button it likely means.
    const bool pushButton = context == Context::ButtonLayout && !Suggest(value, {L"checkbox"}) &&
                            LowerAsciiLetters(value).find(L"check") == npos;
    c.Add(at, pushButton ? Severity::Warning : Severity::Error, "keyword",
          value.empty() ? name + " is empty: " + effect + "; " + hint
                        : name + "=\"" + Shown(value) +
                              "\" is not a keyword the menu knows: " + effect + "; " + hint);
}

void CheckFont(CheckContext& c, std::wstring_view value, std::size_t at) {
    const std::size_t space = value.find(L' ');
    if (space == npos) {
        return;
    }
    std::vector<std::wstring_view> unknown;
    std::size_t i = space;
    while (i < value.size()) {
        const std::size_t start = value.find_first_not_of(L' ', i);
        if (start == npos) {
            break;
        }
        const std::size_t end = std::min(value.find(L' ', start), value.size());
        const std::wstring_view word = value.substr(start, end - start);
        if (word != L"Bold" && word != L"Italic" && word != L"Underline") {
            unknown.push_back(word);
        }
        i = end;
    }
    if (unknown.empty()) {
        return;
    }
    const std::wstring_view face = value.substr(0, space);
    const auto style = Suggest(unknown[0], {L"Bold", L"Italic", L"Underline"});
    c.Error(at, "font",
            style ? Quoted(unknown[0]) + " is not a style word the menu knows: write " +
                        Quoted(*style)
                  : "the menu takes the face name up to the first space and asks Windows for " +
                        Quoted(face) + "; a face whose name has a space cannot be named");
}

void CheckAmpersand(CheckContext& c, std::wstring_view value, std::size_t at,
                    const std::string& name) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != L'&') {
            continue;
        }
        if (i + 1 < value.size() && value[i + 1] == L'&') {
            ++i;
            continue;
        }
        c.Error(at, "ampersand",
                "a single '&' in " + name +
                    " is not shown: Windows underlines the character after it instead; write "
                    "'&&' for an '&'");
        return;
    }
}

} // namespace checks
