#include "tools/PackRules.h"

#include <map>
#include <set>

#include "config/CommandLine.h"
#include "config/MenuSettings.h"
#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"

namespace {

constexpr auto npos = std::wstring_view::npos;

void AddChain(const ActionSettings* step, std::vector<MenuReference>& out) {
    if (step == nullptr) {
        return;
    }
    if (step->isCommand && step->type == ActionType::Exec) {
        out.push_back({step->path, ReferenceKind::Program, step->makeAbsolute});
    } else if (step->isCommand && step->type == ActionType::Lernprog) {
        // The tutorial launcher is started by name, found first in the current folder.
        out.push_back({L"TUTORRUN.exe", ReferenceKind::Program, false});
    } else if (!step->isCommand && step->type == ActionType::File) {
        out.push_back({step->path, ReferenceKind::FileQuery, step->makeAbsolute});
    }
    for (const ChainLink* link : {&step->next, &step->positive, &step->negative}) {
        AddChain(link->command.get(), out);
        AddChain(link->query.get(), out);
    }
}

void AddControl(const xmlElement& element, const xmlElement* buttonConfig,
                std::vector<MenuReference>& out) {
    const ControlSettings control = ReadControlSettings(element, buttonConfig);
    out.push_back({control.icon, ReferenceKind::Icon});
    out.push_back({control.background, ReferenceKind::Picture});
    AddChain(control.chain.get(), out);
}

std::uint32_t Little(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

void AppendUtf16(std::string& out, std::wstring_view text) {
    const auto put = [&](std::uint32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF) {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            put(code);
        }
    }
}

// Control characters would end an autorun.inf line or a label early: they become spaces.
std::wstring OneLine(std::wstring_view text) {
    std::wstring line(text);
    for (wchar_t& c : line) {
        if (c < L' ' || c == 0x7F) {
            c = L' ';
        }
    }
    return line;
}

} // namespace

std::vector<MenuReference> MenuReferences(const xmlElement& root) {
    std::vector<MenuReference> out;
    const WindowSettings window = ReadWindowSettings(FindChild(&root, L"General"));
    out.push_back({window.icon, ReferenceKind::Icon});
    out.push_back({window.background, ReferenceKind::Picture});
    const xmlElement* buttonConfig = FindChild(&root, L"ButtonConfig");
    if (const xmlElement* quit = FindChild(&root, L"BtnBeenden")) {
        AddControl(*quit, buttonConfig, out);
    }
    if (const xmlElement* pages = FindChild(&root, L"Pages")) {
        for (std::size_t p = 0; p < pages->GetChildCount(); ++p) {
            const xmlElement* page = pages->GetChild(p);
            for (std::size_t c = 0; c < page->GetChildCount(); ++c) {
                AddControl(*page->GetChild(c), buttonConfig, out);
            }
        }
    }
    std::erase_if(out, [](const MenuReference& r) { return r.path.empty(); });
    return out;
}

Placement PlaceOf(const MenuReference& reference, std::wstring& relative) {
    std::wstring_view path = reference.path;
    // Chains replace variables in their paths; the menu reads a picture's name as written.
    const bool chain =
        reference.kind == ReferenceKind::Program || reference.kind == ReferenceKind::FileQuery;
    for (const std::wstring_view folder : {L"%menudir%\\", L"%menudrive%\\"}) {
        if (chain && LowerAsciiLetters(path.substr(0, folder.size())) == folder) {
            path.remove_prefix(folder.size());
            break;
        }
    }
    if (path.empty() || (chain && path.find(L'%') != npos) || IsUrl(path) || path[0] == L'\\' ||
        path[0] == L'/' || (path.size() >= 2 && path[1] == L':')) {
        return Placement::Elsewhere;
    }
    std::vector<std::wstring_view> parts;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
        const std::wstring_view part = path.substr(start, end - start);
        start = end + 1;
        if (part == L"..") {
            if (parts.empty()) {
                return Placement::Outside;
            }
            parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
    }
    if (parts.empty()) {
        return Placement::Elsewhere; // the configuration's folder itself: nothing to copy
    }
    relative.clear();
    for (const std::wstring_view part : parts) {
        relative += (relative.empty() ? L"" : L"\\") + std::wstring(part);
    }
    return Placement::Medium;
}

PackPlan PlanMedium(const std::vector<MenuReference>& references, FileLookup& files) {
    PackPlan plan;
    std::map<std::wstring, bool> present; // by path, letter case aside
    std::set<std::wstring> programs;
    for (const MenuReference& reference : references) {
        std::wstring relative;
        const Placement placement = PlaceOf(reference, relative);
        if (placement == Placement::Outside) {
            plan.outside.push_back(reference.path);
        }
        if (placement != Placement::Medium) {
            continue;
        }
        const std::wstring key = LowerAsciiLetters(relative);
        const auto [known, first] = present.try_emplace(key, false);
        if (first) {
            known->second = files.Find(relative) == FileState::Present;
            const bool beside = reference.inMenuFolder || reference.path.find(L'%') != npos;
            const bool systemProgram =
                reference.kind == ReferenceKind::Program && !beside && relative.find(L'\\') == npos;
            if (known->second) {
                plan.copies.push_back(relative);
            } else if (!systemProgram) {
                plan.missing.push_back(relative);
            }
        }
        // A file that a query looks for first may be started later.
        if (!known->second || reference.kind != ReferenceKind::Program ||
            !programs.insert(key).second) {
            continue;
        }
        std::uint64_t length = 0;
        const auto head = files.Head(relative, kProgramHeadBytes, length);
        const auto program = head ? ReadProgramHeader(*head) : std::nullopt;
        if (program && !program->signedAuthenticode) {
            plan.unsigned_.push_back(relative);
        }
    }
    return plan;
}

std::optional<ProgramHeader> ReadProgramHeader(std::string_view head) {
    if (head.size() < 0x40 || head.substr(0, 2) != "MZ") {
        return std::nullopt;
    }
    const std::size_t pe = Little(head, 0x3C, 4);
    constexpr std::size_t kCoffSize = 24; // "PE\0\0" and the file header
    if (pe > head.size() || head.size() - pe < kCoffSize + 2 ||
        head.substr(pe, 4) != std::string_view("PE\0\0", 4)) {
        return std::nullopt;
    }
    const std::size_t optional = pe + kCoffSize;
    const std::size_t optionalSize = Little(head, pe + 20, 2);
    const std::uint32_t magic = Little(head, optional, 2);
    // The data directories' count and the directories follow the fields of PE32 or PE32+.
    const std::size_t count = magic == 0x10B ? 92 : magic == 0x20B ? 108 : 0;
    if (count == 0 || optionalSize < count + 4 || head.size() - optional < count + 4) {
        return std::nullopt;
    }
    constexpr std::size_t kSecurity = 4; // the certificate table
    const std::size_t security = optional + count + 4 + kSecurity * 8;
    const bool hasDirectory = Little(head, optional + count, 4) > kSecurity &&
                              optionalSize >= security + 8 - optional &&
                              head.size() >= security + 8;
    return ProgramHeader{static_cast<std::uint16_t>(Little(head, pe + 4, 2)),
                         hasDirectory && Little(head, security, 4) != 0 &&
                             Little(head, security + 4, 4) != 0};
}

std::optional<std::wstring> ProgramNameFor(std::wstring_view configName) {
    constexpr std::wstring_view kXml = L".xml";
    if (configName.size() <= kXml.size() || configName.find_first_of(L"\\/") != npos ||
        LowerAsciiLetters(configName.substr(configName.size() - kXml.size())) != kXml) {
        return std::nullopt;
    }
    std::wstring program(configName.substr(0, configName.size() - kXml.size()));
    program += L".exe";
    // The menu's own rule decides, which also turns an ".exe" inside the name into ".xml".
    if (DefaultConfigPath(program).file != LowerAsciiLetters(configName)) {
        return std::nullopt;
    }
    return program;
}

bool IsLanguageVariant(std::wstring_view configName, std::wstring_view fileName) {
    const std::wstring config = LowerAsciiLetters(configName);
    const std::wstring file = LowerAsciiLetters(fileName);
    constexpr std::wstring_view kXml = L".xml";
    if (config.size() <= kXml.size() || !config.ends_with(kXml) || !file.ends_with(kXml)) {
        return false;
    }
    const std::wstring stem = config.substr(0, config.size() - kXml.size()) + L".";
    if (file.size() <= stem.size() + kXml.size() || !file.starts_with(stem)) {
        return false;
    }
    // A tag as the menu builds it from the user's language: 2 or 3 letters, then parts of
    // letters and digits, so that "menu.backup.xml" is no variant.
    const std::wstring_view tag =
        std::wstring_view(file).substr(stem.size(), file.size() - stem.size() - kXml.size());
    std::size_t part = 0; // the length of the part read so far
    for (std::size_t i = 0; i <= tag.size(); ++i) {
        const bool firstPart = i == part;
        if (i == tag.size() || tag[i] == L'-') {
            if (part == 0 || part > 8 || (firstPart && (part < 2 || part > 3))) {
                return false;
            }
            part = 0;
        } else if ((tag[i] >= L'a' && tag[i] <= L'z') ||
                   (!firstPart && tag[i] >= L'0' && tag[i] <= L'9')) {
            ++part;
        } else {
            return false;
        }
    }
    return true;
}

bool FitsJoliet(std::wstring_view relativePath) {
    constexpr std::size_t kJolietName = 64;
    std::size_t units = 0;
    for (const wchar_t c : relativePath) {
        if (c == L'\\' || c == L'/') {
            units = 0;
            continue;
        }
        const auto code = static_cast<std::uint32_t>(c);
        units += code > 0xFFFF ? 2 : 1; // a pair of surrogates in UTF-16
        if (units > kJolietName) {
            return false;
        }
    }
    return true;
}

std::string AutorunInf(std::wstring_view program, std::wstring_view icon, std::wstring_view label) {
    // "open" takes a command line: a name with a space is quoted.
    const std::wstring open =
        program.find(L' ') == npos ? std::wstring(program) : L"\"" + std::wstring(program) + L"\"";
    const std::wstring text = L"[autorun]\r\nopen=" + open + L"\r\nicon=" +
                              (icon.empty() ? std::wstring(program) + L",0" : OneLine(icon)) +
                              L"\r\nlabel=" + OneLine(label) + L"\r\n";
    std::string out = "\xFF\xFE";
    AppendUtf16(out, text);
    return out;
}

std::string VolumeLabel(std::wstring_view label) {
    constexpr std::size_t kVolumeId = 32;
    std::string out = EncodeUtf8(OneLine(label));
    if (out.size() > kVolumeId) {
        std::size_t cut = kVolumeId;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) {
            --cut; // not within a character
        }
        out.resize(cut);
    }
    return out;
}

std::wstring QuotedArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == npos) {
        return std::wstring(argument);
    }
    // Backslashes count only before a quote: there each is doubled, and the quote escaped.
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\'); // before the closing quote
    return out + L"\"";
}
