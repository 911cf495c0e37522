#include "config/CheckState.h"

#include "config/TextDecoding.h"
#include "config/xmlElement.h"

namespace {

constexpr std::size_t npos = std::string::npos;

bool IsAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Where the value of an attribute named "id" (any case of the two letters)
// equals `id` as the reader would read it, trimmed and unescaped: the index
// after its closing quote, searched from `from`; npos when there is none.
std::size_t FindIdAttribute(const std::string& text, std::wstring_view id, std::size_t from) {
    for (std::size_t at = from; (at = text.find_first_of("iI", at)) != npos; ++at) {
        // The reader takes a name back to the space before it.
        if (at == 0 || text[at - 1] != ' ' || at + 1 >= text.size() ||
            (text[at + 1] != 'd' && text[at + 1] != 'D')) {
            continue;
        }
        std::size_t i = at + 2;
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        if (i == text.size() || text[i] != '=') {
            continue;
        }
        ++i;
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        if (i == text.size() || text[i] != '"') {
            continue;
        }
        const std::size_t start = i + 1;
        std::size_t end = start;
        while (end < text.size() && !(text[end] == '"' && text[end - 1] != '\\')) {
            ++end;
        }
        if (end == text.size()) {
            return npos;
        }
        // Decoded as the file's UTF-8, so ids in any script compare as the menu reads them.
        const std::wstring decoded = DecodeConfigText(text.substr(start, end - start));
        std::wstring value(TrimWhiteSpace(decoded));
        for (std::size_t b = value.find(L"\\\""); b != std::wstring::npos;
             b = value.find(L"\\\"", b)) {
            value.erase(b, 1);
        }
        if (value == id) {
            return end + 1;
        }
    }
    return npos;
}

// The end of the element whose start tag holds index `inside`: the tag's own
// "/>", or its end tag, or the end of the text when that never comes.
std::size_t ElementEnd(const std::string& text, std::size_t inside) {
    const std::size_t lt = text.rfind('<', inside);
    const std::size_t gt = text.find('>', inside);
    if (lt == npos || gt == npos) {
        return npos;
    }
    if (text[gt - 1] == '/') {
        return gt;
    }
    std::size_t nameEnd = lt + 1;
    while (nameEnd < text.size() && text[nameEnd] != ' ' && text[nameEnd] != '>') {
        ++nameEnd;
    }
    std::string name = text.substr(lt + 1, nameEnd - lt - 1);
    while (!name.empty() && IsAsciiSpace(name.back())) {
        name.pop_back();
    }
    const std::size_t endTag = text.find("</" + name + ">", gt);
    return endTag == npos ? text.size() : endTag;
}

} // namespace

std::optional<std::string> RewriteCheckState(std::string_view fileBytes, std::wstring_view id,
                                             bool checked) {
    if (id.empty()) {
        return std::nullopt; // no element to write into
    }
    std::string text = ReadTextMode(fileBytes);
    const std::size_t first = text.find('<');
    if (first != npos && first > 0) {
        text.erase(0, first);
    }
    const std::size_t root = text.find("</config>");
    if (root == npos) {
        return std::nullopt;
    }
    text.resize(root + 9);

    const std::size_t afterId = FindIdAttribute(text, id, 0);
    if (afterId == npos) {
        return std::nullopt;
    }
    const std::size_t end = ElementEnd(text, afterId - 1);
    const std::size_t e = text.find("currentval", afterId);
    const std::size_t q = e == npos ? npos : text.find('"', e);
    const std::size_t g = q == npos ? npos : text.find('"', q + 1);
    if (end == npos || g == npos || g > end) {
        return std::nullopt;
    }
    text.replace(q + 1, g - q - 1, checked ? "true" : "false");
    return WriteTextMode(text);
}

std::optional<std::wstring> TemporaryConfigPath(std::wstring_view configPath) {
    const std::size_t i = LowerAsciiLetters(configPath).find(L".xml");
    if (i == std::wstring::npos) {
        return std::nullopt;
    }
    const std::wstring piece(configPath.substr(i, 5));
    std::wstring temporary(configPath);
    for (std::size_t at = temporary.find(piece); at != std::wstring::npos;
         at = temporary.find(piece, at + piece.size() + 3)) {
        temporary.insert(at, L"___");
    }
    return temporary;
}

void WriteCheckState(const std::wstring& configPath, const std::wstring& id, bool checked,
                     CheckStateFiles& files) {
    std::string bytes;
    if (configPath.empty() || !files.ReadForUpdate(configPath, bytes)) {
        return; // also a read-only file or medium: nothing changes, nothing is reported
    }
    const auto rewritten = RewriteCheckState(bytes, id, checked);
    const auto temporary = TemporaryConfigPath(configPath);
    if (!rewritten || !temporary || !files.CreateTemporary(*temporary)) {
        return;
    }
    if (!files.Write(*rewritten) || !files.Flush()) {
        files.Abandon();
        files.Remove(*temporary);
        return;
    }
    // One step: the configuration file is never missing, not even after a crash.
    if (!files.Replace(*temporary, configPath)) {
        files.Remove(*temporary);
    }
}

void WriteCheckStates(const std::wstring& configPath, const std::vector<CheckStateWrite>& states,
                      CheckStateFiles& files) {
    for (const CheckStateWrite& state : states) {
        WriteCheckState(configPath, state.id, state.checked, files);
    }
}
