#include <algorithm>

#include "tools/checks/Checks.h"
#include "xml/xmlElement.h"

namespace checks {

CheckContext::CheckContext(std::string_view fileBytes, std::wstring_view fileText,
                           const xmlTree& menuTree, const IntentTree& meantTree,
                           FileLookup& fileLookup, std::vector<Diagnostic>& out)
    : bytes(fileBytes), text(fileText), tree(menuTree), intent(meantTree), files(fileLookup),
      messages(ReadMessages(FindChild(&menuTree.Root(), L"Messages"))), lines_(fileText),
      out_(out) {}

void CheckContext::Add(std::size_t offset, Severity severity, const char* rule, std::string message,
                       Notes notes) {
    if (!added_.emplace(offset, rule).second) {
        return; // one diagnostic per place and rule
    }
    const auto [line, column] = lines_.At(offset);
    Diagnostic d{line, column, severity, rule, std::move(message), {}};
    for (auto& [at, note] : notes) {
        const auto [noteLine, noteColumn] = lines_.At(at);
        d.notes.push_back({noteLine, noteColumn, std::move(note)});
    }
    out_.push_back(std::move(d));
}

void CheckContext::Error(std::size_t offset, const char* rule, std::string message, Notes notes) {
    Add(offset, Severity::Error, rule, std::move(message), std::move(notes));
}

void CheckContext::Warning(std::size_t offset, const char* rule, std::string message, Notes notes) {
    Add(offset, Severity::Warning, rule, std::move(message), std::move(notes));
}

// Built by appending, which GCC's -O3 restrict check does not misread.
std::string Quoted(std::wstring_view text) {
    return std::string("'").append(Shown(text)).append("'");
}

std::string Tag(std::wstring_view name) {
    return std::string("<").append(Shown(name)).append(">");
}

std::string ColourText(ColorRef c) {
    return std::to_string(c & 0xFF) + " " + std::to_string((c >> 8) & 0xFF) + " " +
           std::to_string((c >> 16) & 0xFF);
}

namespace {

std::size_t EditDistance(std::wstring_view a, std::wstring_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

} // namespace

std::optional<std::wstring_view> Suggest(std::wstring_view written,
                                         const std::vector<std::wstring_view>& candidates) {
    const std::wstring lower = LowerAsciiLetters(written);
    std::optional<std::wstring_view> best;
    std::size_t bestDistance = written.size() < 5 ? 1 : 2;
    for (const std::wstring_view candidate : candidates) {
        const std::size_t d = EditDistance(lower, LowerAsciiLetters(candidate));
        if (d == 0) {
            return candidate;
        }
        if (d <= bestDistance && (!best || d < bestDistance)) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

bool IsAbsolutePath(std::wstring_view path) {
    return (path.size() >= 2 && path[1] == L':') || (!path.empty() && path[0] == L'\\') ||
           (!path.empty() && path[0] == L'/');
}

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool StartsWithNumber(std::wstring_view text) {
    const std::wstring_view t = TrimWhiteSpace(text);
    const std::size_t sign = !t.empty() && (t[0] == L'+' || t[0] == L'-') ? 1 : 0;
    return sign < t.size() && IsDigit(t[sign]);
}

bool IsPlainNumber(std::wstring_view text) {
    const std::wstring_view t = TrimWhiteSpace(text);
    std::size_t i = !t.empty() && (t[0] == L'+' || t[0] == L'-') ? 1 : 0;
    if (i == t.size()) {
        return false;
    }
    for (; i < t.size(); ++i) {
        if (!IsDigit(t[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::uint64_t> HexNumber(std::wstring_view lower) {
    if (lower.size() <= 2 || lower.size() > 18 || lower.substr(0, 2) != L"0x") {
        return std::nullopt;
    }
    std::uint64_t n = 0;
    for (const wchar_t c : lower.substr(2)) {
        const bool digit = c >= L'0' && c <= L'9';
        if (!digit && (c < L'a' || c > L'f')) {
            return std::nullopt;
        }
        n = n * 16 + static_cast<std::uint64_t>(digit ? c - L'0' : c - L'a' + 10);
    }
    return n;
}

std::size_t FindAttributeIndex(const xmlElement& element, std::wstring_view name) {
    for (std::size_t i = 0; i < element.GetAttributeCount(); ++i) {
        if (element.GetAttributeName(i) == name) {
            return i;
        }
    }
    return npos;
}

const std::pair<std::wstring_view, std::wstring_view> kShortHives[5] = {
    {L"HKCR", L"HKEY_CLASSES_ROOT"},
    {L"HKCU", L"HKEY_CURRENT_USER"},
    {L"HKLM", L"HKEY_LOCAL_MACHINE"},
    {L"HKU", L"HKEY_USERS"},
    {L"HKCC", L"HKEY_CURRENT_CONFIG"}};

} // namespace checks
