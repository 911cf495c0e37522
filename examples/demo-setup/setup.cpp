// The demo disc's "setup": a small program for the menu to start. It takes the
// choice of the menu's check box "Beispieldateien mitinstallieren" as the menu passes
// it ("--choice 1" or "0"), or else as the box recorded it in the menu's configuration
// file beside it; it says that it was started, with what and with which choice, and
// leaves a marker file when given "--marker PATH".
//
// Command line: [FILE] [--choice 0|1] [--marker PATH]. FILE is the configuration's name
// in the setup's folder (navora.xml unless given: a language variant, or a menu started
// with -cfg, passes its own). On a read-only medium the file keeps the state it was
// written with, so the menu passes the box's state itself.
#include <windows.h>

#include <string>

namespace {

// The folder this program lies in, with a trailing backslash; empty if unknown.
std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// The whole file, or nothing when it cannot be read or is larger than a menu ever is.
bool ReadSmallFile(const std::wstring& path, std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= 16 * 1024 * 1024;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
              read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// "ja" or "nein" from the currentval the menu wrote for the check box with this
// id: the first one after the id, within the box's element (up to its end tag,
// or the end of its start tag when it closes itself); "unbekannt" otherwise.
const char* RecordedChoice(const std::string& xml, const std::string& id) {
    const std::string idText = " id=\"" + id + "\"";
    const std::size_t at = xml.find(idText);
    const std::size_t open = at == std::string::npos ? at : xml.rfind('<', at);
    if (open == std::string::npos) {
        return "unbekannt";
    }
    std::size_t nameEnd = open + 1;
    while (nameEnd < xml.size() && !IsSpace(xml[nameEnd]) && xml[nameEnd] != '>') {
        ++nameEnd;
    }
    const std::size_t tagEnd = xml.find('>', at);
    const bool closesItself = tagEnd != std::string::npos && xml[tagEnd - 1] == '/';
    const std::size_t end =
        closesItself ? tagEnd : xml.find("</" + xml.substr(open + 1, nameEnd - open - 1) + ">", at);
    std::size_t p = xml.find("currentval", at + idText.size());
    if (p == std::string::npos || p > end) {
        return "unbekannt";
    }
    p += 10;
    while (p < xml.size() && IsSpace(xml[p])) {
        ++p;
    }
    if (p < xml.size() && xml[p] == '=') {
        ++p;
    }
    while (p < xml.size() && IsSpace(xml[p])) {
        ++p;
    }
    if (xml.compare(p, 6, "\"true\"") == 0) {
        return "ja";
    }
    if (xml.compare(p, 7, "\"false\"") == 0) {
        return "nein";
    }
    return "unbekannt";
}

std::wstring Trimmed(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L' ');
    return first == std::wstring::npos
               ? std::wstring()
               : text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// Where `option` starts a word of `args`; npos when it does not.
std::size_t OptionAt(const std::wstring& args, const std::wstring& option) {
    std::size_t at = args.find(option);
    while (at != std::wstring::npos && at != 0 && args[at - 1] != L' ') {
        at = args.find(option, at + 1);
    }
    return at;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int show) {
    const std::wstring args = commandLine;
    const std::wstring option = L"--marker ";
    const std::size_t markerAt = OptionAt(args, option);
    const std::wstring beforeMarker = args.substr(0, markerAt);
    const std::wstring choiceOption = L"--choice ";
    const std::size_t choiceAt = OptionAt(beforeMarker, choiceOption);
    std::wstring configName = Trimmed(beforeMarker.substr(0, choiceAt));
    if (configName.empty()) {
        configName = L"navora.xml";
    }
    const std::wstring choice = choiceAt == std::wstring::npos
                                    ? L""
                                    : Trimmed(beforeMarker.substr(choiceAt + choiceOption.size()));

    const std::wstring folder = OwnFolder();
    std::string xml;
    const char* chosen = choice == L"1"   ? "ja"
                         : choice == L"0" ? "nein"
                         : !folder.empty() && ReadSmallFile(folder + configName, xml)
                             ? RecordedChoice(xml, "beispieldateien")
                             : "unbekannt";
    const std::string summary = std::string("Beispieldateien: ") + chosen;

    if (markerAt != std::wstring::npos) {
        const HANDLE file =
            CreateFileW(args.substr(markerAt + option.size()).c_str(), GENERIC_WRITE, 0, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        const std::string text =
            "started, show " + std::to_string(show) + "\r\n" + summary + "\r\n";
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    MessageBoxW(nullptr,
                (L"Das Demo-Setup wurde gestartet.\n\n" +
                 std::wstring(summary.begin(), summary.end()) // plain ASCII
                 + L"\n\nParameter: " + args)
                    .c_str(),
                L"Navora Demo-Setup", MB_OK | MB_ICONINFORMATION);
    return 0;
}
