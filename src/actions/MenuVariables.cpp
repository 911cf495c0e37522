#include "actions/MenuVariables.h"

#include "config/xmlElement.h"

std::wstring MenuFolder(const std::wstring& programPath) {
    const std::size_t slash = programPath.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : programPath.substr(0, slash);
}

std::wstring MenuDrive(const std::wstring& programPath) {
    // \\?\ and \\.\ paths keep their prefix, so that paths made with the drive read alike.
    const bool prefixed = programPath.size() >= 4 && programPath.rfind(L"\\\\", 0) == 0 &&
                          (programPath[2] == L'?' || programPath[2] == L'.') &&
                          programPath[3] == L'\\';
    const std::size_t root = prefixed ? 4 : 0;
    if (programPath.size() >= root + 2 && programPath[root + 1] == L':') {
        return programPath.substr(0, root + 2);
    }
    std::size_t server = 0; // where the server's name begins
    if (prefixed && LowerAsciiLetters(programPath.substr(4, 4)) == L"unc\\") {
        server = 8;
    } else if (!prefixed && programPath.rfind(L"\\\\", 0) == 0) {
        server = 2;
    } else {
        return {};
    }
    // \\server\share: up to the backslash after the share's name.
    const std::size_t share = programPath.find(L'\\', server);
    if (share == std::wstring::npos) {
        return {};
    }
    return programPath.substr(0, programPath.find(L'\\', share + 1));
}

std::wstring ExpandMenuVariables(const std::wstring& text, ISystemServices& system) {
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
        } else if (!name.empty()) {
            value = system.EnvironmentVariable(name);
        }
        if (value) {
            out += *value;
            from = close + 1;
        } else {
            out += L'%';
            out += name;
            from = close; // the closing '%' may open the next name
        }
    }
}
