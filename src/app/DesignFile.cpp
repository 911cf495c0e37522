#include "app/DesignFile.h"

#include <windows.h>

#include <algorithm>

#include "config/CheckState.h"
#include "config/Win32CheckStateFiles.h"
#include "util/FileBytes.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

// Lower-cased A-Z, as the reader stores attribute names.
std::wstring Lowered(std::wstring_view name) {
    std::wstring lower(name);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c + 32);
        }
    }
    return lower;
}

// Whether two trees read alike, but for attribute `name` of `edited` in `after` (and of the
// element at the same place in `before`).
bool SameBut(const xmlElement& before, const xmlElement& after, const xmlElement* edited,
             std::wstring_view name) {
    if (before.GetName() != after.GetName() || before.GetChildCount() != after.GetChildCount()) {
        return false;
    }
    const auto kept = [&](const xmlElement& element) {
        std::vector<std::pair<std::wstring_view, std::wstring_view>> all;
        for (std::size_t i = 0; i < element.GetAttributeCount(); ++i) {
            if (&after != edited || element.GetAttributeName(i) != name) {
                all.emplace_back(element.GetAttributeName(i), element.GetAttributeValue(i));
            }
        }
        return all;
    };
    if (kept(before) != kept(after)) {
        return false;
    }
    for (std::size_t i = 0; i < before.GetChildCount(); ++i) {
        if (!SameBut(*before.GetChild(i), *after.GetChild(i), edited, name)) {
            return false;
        }
    }
    return true;
}

} // namespace

const xmlElement* ControlElement(const xmlTree& tree, const ControlRef& control) {
    const xmlElement* root = &tree.Root();
    if (control.page < 0) {
        return FindChild(root, L"BtnBeenden");
    }
    const xmlElement* pages = FindChild(root, L"Pages");
    const auto page = static_cast<std::size_t>(control.page);
    if (pages == nullptr || page >= pages->GetChildCount() ||
        control.index >= pages->GetChild(page)->GetChildCount()) {
        return nullptr;
    }
    return pages->GetChild(page)->GetChild(control.index);
}

const xmlElement* ControlPart(const xmlTree& tree, const ControlRef& control,
                              std::wstring_view part) {
    return FindChild(ControlElement(tree, control), part);
}

// A stopgap until the reader's own in-place edit lands: it finds the value's bytes through the
// decoded text's places, and keeps only results that read back as the old tree with just
// that value changed.
EditResult SetControlAttribute(std::string_view bytes, const ControlRef& control,
                               std::wstring_view part, std::wstring_view name,
                               std::wstring_view value) {
    if (std::any_of(value.begin(), value.end(), [](wchar_t c) {
            return c < 0x20 || c == L'"' || c == L'\\' || c == L'<' || c == L'>';
        })) {
        return {std::nullopt, L"a value with quotes, backslashes, angle brackets or line breaks "
                              L"is not written"};
    }
    std::unique_ptr<xmlTree> tree;
    try {
        tree = ParseConfigBytes(bytes);
    } catch (...) {
        return {std::nullopt, L"the file cannot be read"};
    }
    const xmlElement* element = ControlPart(*tree, control, part);
    if (element == nullptr) {
        return {std::nullopt, L"the control has no " + std::wstring(part) + L" element"};
    }
    // Each unit of the decoded text, and its end, to the file byte it starts at.
    std::vector<std::size_t> rawOf;
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\x1A'; ++i) {
        rawOf.push_back(i);
        text += bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? bytes[++i]
                                                                                 : bytes[i];
    }
    rawOf.push_back(bytes.size());
    std::vector<std::size_t> textOf;
    DecodeUtf8(text, &textOf);
    const auto raw = [&](std::size_t unit) { return rawOf[textOf[unit]]; };

    const std::wstring lower = Lowered(name);
    const std::string encoded = EncodeUtf8(value);
    std::string out(bytes);
    std::size_t end = element->GetOffset() + 1 + element->GetName().size();
    std::size_t i = 0;
    while (i < element->GetAttributeCount() && element->GetAttributeName(i) != lower) {
        const xmlAttributePlace place = element->GetAttributePlace(i);
        if (place.closeQuote != xmlAttributePlace::npos) {
            end = std::max(end, place.closeQuote + 1);
        }
        ++i;
    }
    if (i < element->GetAttributeCount()) {
        const xmlAttributePlace place = element->GetAttributePlace(i);
        if (place.openQuote == xmlAttributePlace::npos ||
            place.closeQuote == xmlAttributePlace::npos) {
            return {std::nullopt, L"the value is read from outside its element's start tag"};
        }
        const std::size_t from = raw(place.openQuote) + 1;
        out.replace(from, raw(place.closeQuote) - from, encoded);
    } else {
        if (end >= textOf.size()) {
            return {std::nullopt, L"the element's start tag has no end"};
        }
        out.insert(raw(end), " " + EncodeUtf8(name) + "=\"" + encoded + "\"");
    }
    try {
        const auto after = ParseConfigBytes(out);
        const xmlElement* changed = ControlPart(*after, control, part);
        if (changed != nullptr && changed->GetAttribute(lower) == value &&
            SameBut(tree->Root(), after->Root(), changed, lower)) {
            return {std::move(out), {}};
        }
    } catch (...) {
    }
    return {std::nullopt, L"the file would read differently elsewhere"};
}

std::wstring WriteDesignedBytes(const std::wstring& path, const std::string& expected,
                                const std::string& bytes) {
    Win32CheckStateFiles files;
    FileSnapshot now;
    if (!files.ReadForUpdate(path, now)) {
        return L"the file cannot be opened for writing";
    }
    if (now.bytes != expected) {
        return L"the file changed on disk meanwhile";
    }
    std::optional<std::wstring> temporary = TemporaryConfigPath(path);
    if (!temporary || !files.CreateTemporary(*temporary)) {
        return L"no temporary file can be made beside the file";
    }
    if (!files.Write(bytes) || !files.Flush()) {
        files.Abandon();
        files.Remove(*temporary);
        return L"the temporary file cannot be written";
    }
    std::string check;
    bool same = false;
    try {
        same = ReadFileBytes(*temporary, check) && check == bytes;
    } catch (...) {
    }
    if (!same || !files.Replace(*temporary, path)) {
        files.Remove(*temporary);
        return L"the file cannot be replaced";
    }
    return {};
}
