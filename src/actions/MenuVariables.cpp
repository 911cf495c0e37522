#include "actions/MenuVariables.h"

#include "actions/Commands.h"
#include "xml/xmlElement.h"

std::wstring MenuFolder(const std::wstring& programPath) {
    const std::size_t slash = programPath.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : programPath.substr(0, slash);
}

std::wstring MenuDrive(const std::wstring& programPath) {
    const std::wstring_view path = programPath;
    const auto at = [&](std::size_t i) { return i < path.size() ? path[i] : L'\0'; };
    // \\?\ and \\.\ paths keep their prefix, so that paths made with the drive read alike.
    std::size_t root = 0;
    std::size_t server = 2; // where a share's server name begins
    if (at(0) == L'\\' && at(1) == L'\\' && (at(2) == L'?' || at(2) == L'.') && at(3) == L'\\') {
        root = 4;
        server = (at(4) | 0x20) == L'u' && (at(5) | 0x20) == L'n' && (at(6) | 0x20) == L'c' &&
                         at(7) == L'\\'
                     ? 8
                     : 0;
    } else if (at(0) != L'\\' || at(1) != L'\\') {
        server = 0;
    }
    if (at(root + 1) == L':') {
        return programPath.substr(0, root + 2);
    }
    // A \\server\share drive runs up to the backslash after the share's name.
    const std::size_t share = server == 0 ? path.npos : path.find(L'\\', server);
    return share == path.npos ? std::wstring() : programPath.substr(0, path.find(L'\\', share + 1));
}

namespace {

constexpr std::wstring_view kCheckPrefix = L"check:";

} // namespace

std::wstring ExpandMenuVariables(const std::wstring& text, ISystemServices& system,
                                 IMenuDialog* boxes) {
    std::wstring out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = text.find(L'%', from);
        const std::size_t close = open == std::wstring::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            return out.append(text, from);
        }
        out.append(text, from, open - from);
        const std::wstring name = text.substr(open + 1, close - open - 1);
        const std::wstring key = LowerAsciiLetters(name);
        std::optional<std::wstring> value;
        if (key == L"menudir") {
            value = MenuFolder(system.ProgramPath());
        } else if (key == L"menudrive") {
            // A program path without a drive (only where the menu does not run) keeps the name.
            const std::wstring drive = MenuDrive(system.ProgramPath());
            if (!drive.empty()) {
                value = drive;
            }
        } else if (boxes != nullptr && key.rfind(kCheckPrefix, 0) == 0) {
            // An id no check box has stays as written, as an unknown variable does.
            if (const std::optional<bool> checked = boxes->CheckState(name.substr(6))) {
                value = *checked ? L"1" : L"0";
            }
        } else if (!name.empty()) {
            value = system.EnvironmentVariable(name);
        }
        if (value) {
            out += *value; // a value holds at most 32,767 characters
            if (out.size() > kMaxExpandedText) {
                out.resize(kMaxExpandedText + 1);
                return out;
            }
            from = close + 1;
        } else {
            out += L'%';
            out += name;
            from = close; // the closing '%' may open the next name
        }
    }
}

std::wstring ExpandMenuPath(const std::wstring& path, bool makeAbsolute, ISystemServices& system,
                            IMenuDialog* boxes) {
    const std::wstring expanded = ExpandMenuVariables(path, system, boxes);
    return makeAbsolute ? MakeAbsolute(system.ProgramPath(), expanded) : expanded;
}
