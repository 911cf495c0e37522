// The facts a what-if walk assumes, read from the --assume arguments.
#include "tools/Walk.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "actions/Queries.h"
#include "tools/TreeJson.h"
#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;

constexpr RegistryHive kHives[] = {RegistryHive::ClassesRoot, RegistryHive::CurrentUser,
                                   RegistryHive::LocalMachine, RegistryHive::Users,
                                   RegistryHive::CurrentConfig};

} // namespace

std::wstring_view HiveName(RegistryHive hive) {
    switch (hive) {
    case RegistryHive::ClassesRoot:
        return L"HKEY_CLASSES_ROOT";
    case RegistryHive::CurrentUser:
        return L"HKEY_CURRENT_USER";
    case RegistryHive::LocalMachine:
        return L"HKEY_LOCAL_MACHINE";
    case RegistryHive::Users:
        return L"HKEY_USERS";
    case RegistryHive::CurrentConfig:
        break;
    }
    return L"HKEY_CURRENT_CONFIG";
}

namespace {

bool ParseUnsigned(std::wstring_view text, std::uint64_t max, std::uint64_t& value) {
    if (text.empty() || text.size() > 20) {
        return false;
    }
    value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9' || value > (max - static_cast<std::uint64_t>(c - L'0')) / 10) {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return true;
}

std::optional<bool> YesNo(std::wstring_view text, std::wstring_view yes, std::wstring_view no) {
    return text == yes ? std::optional(true) : text == no ? std::optional(false) : std::nullopt;
}

void AppendUtf16(std::vector<std::uint8_t>& bytes, std::wstring_view text) {
    std::vector<std::uint32_t> units;
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF) {
            units.push_back(0xD800 + ((code - 0x10000) >> 10));
            units.push_back(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units.push_back(code);
        }
    }
    units.push_back(0);
    for (const std::uint32_t u : units) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
}

int HexDigit(wchar_t c) {
    return c >= L'0' && c <= L'9'   ? c - L'0'
           : c >= L'a' && c <= L'f' ? c - L'a' + 10
           : c >= L'A' && c <= L'F' ? c - L'A' + 10
                                    : -1;
}

// Reads the stored data of "TYPE:VALUE"; `error` stays empty when it reads.
RegistryData RegistryValue(RegistryType type, std::wstring_view value, std::string& error) {
    RegistryData data;
    if (type == RegistryType::Sz || type == RegistryType::ExpandSz ||
        type == RegistryType::MultiSz) {
        data.type = type == RegistryType::Sz         ? kRegSz
                    : type == RegistryType::ExpandSz ? kRegExpandSz
                                                     : kRegMultiSz;
        AppendUtf16(data.bytes, value);
        if (data.type == kRegMultiSz) {
            AppendUtf16(data.bytes, L""); // a list of one string
        }
    } else if (type == RegistryType::Binary) {
        data.type = kRegBinary;
        for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
            const int high = HexDigit(value[i]);
            const int low = HexDigit(value[i + 1]);
            if (high < 0 || low < 0) {
                break;
            }
            data.bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        }
        if (data.bytes.size() * 2 != value.size()) {
            error = "REG_BINARY needs two hexadecimal digits per byte, e.g. REG_BINARY:0aff";
        }
    } else {
        data.type = kRegDword;
        const bool negative = !value.empty() && value[0] == L'-';
        std::uint64_t n = 0;
        if (!ParseUnsigned(value.substr(negative ? 1 : 0),
                           negative ? 0x80000000u : std::numeric_limits<std::uint32_t>::max(), n)) {
            error = "REG_DWORD needs a decimal number from -2147483648 to 4294967295";
        }
        const auto bits = static_cast<std::uint32_t>(negative ? 0 - n : n);
        for (int i = 0; i < 4; ++i) {
            data.bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
        }
    }
    return data;
}

bool ParseRegistryFact(std::wstring_view text, WalkFacts& facts, std::string& error) {
    // The value may hold "=": the fact's own is the first "=" followed by "absent" or "TYPE:".
    std::size_t eq = text.find(L'=');
    RegistryType type = RegistryType::Unknown;
    std::size_t colon = npos; // in the text after the "="
    for (; eq != npos; eq = text.find(L'=', eq + 1)) {
        const std::wstring_view after = text.substr(eq + 1);
        if (after == L"absent") {
            break;
        }
        colon = after.find(L':');
        type = colon == npos ? RegistryType::Unknown : RegistryTypeFromText(after.substr(0, colon));
        if (type != RegistryType::Unknown) {
            break;
        }
    }
    if (eq == npos) {
        error = "needs =TYPE:VALUE (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY or "
                "REG_DWORD) or =absent";
        return false;
    }
    const std::wstring_view path = text.substr(0, eq);
    const std::size_t first = path.find(L'\\');
    const std::size_t last = path.rfind(L'\\');
    RegistryFact fact{RegistryHive::CurrentConfig, {}, {}, std::nullopt};
    // Only full hive names, letter case aside: a short "HKCU" is what the menu misreads.
    const auto hive = std::find_if(std::begin(kHives), std::end(kHives), [&](RegistryHive h) {
        return first != npos &&
               LowerAsciiLetters(HiveName(h)) == LowerAsciiLetters(path.substr(0, first));
    });
    if (hive == std::end(kHives)) {
        error = "needs HIVE\\KEY\\NAME with HIVE one of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, "
                "HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG";
        return false;
    }
    fact.hive = *hive;
    fact.key = path.substr(first + 1, last > first ? last - first - 1 : 0);
    fact.name = path.substr(last + 1);
    if (type != RegistryType::Unknown) {
        fact.data = RegistryValue(type, text.substr(eq + 2 + colon), error);
        if (!error.empty()) {
            return false;
        }
    }
    facts.registry.push_back(std::move(fact));
    return true;
}

bool ParseWideFact(std::wstring_view text, WalkFacts& facts, std::string& error) {
    constexpr std::wstring_view kRegistry = L"registry:";
    if (text.substr(0, kRegistry.size()) == kRegistry) {
        return ParseRegistryFact(text.substr(kRegistry.size()), facts, error);
    }
    const std::size_t eq = text.rfind(L'=');
    const std::wstring_view name = eq == npos ? text : text.substr(0, eq);
    const std::wstring_view value = eq == npos ? std::wstring_view() : text.substr(eq + 1);
    if (name == L"winversion") {
        const std::size_t dot = value.find(L'.');
        std::uint64_t major = 0;
        std::uint64_t minor = 0;
        constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
        if (dot == npos || !ParseUnsigned(value.substr(0, dot), kMax, major) ||
            !ParseUnsigned(value.substr(dot + 1), kMax, minor)) {
            error = "needs MAJOR.MINOR, e.g. winversion=6.1";
            return false;
        }
        facts.winVersion =
            OsVersion{static_cast<std::uint32_t>(major), static_cast<std::uint32_t>(minor)};
        return true;
    }
    if (name == L"arch") {
        const MachineArch arch = ArchFromText(value);
        if (arch == MachineArch::Unknown) {
            error = "needs =x86, =x64 or =arm64";
            return false;
        }
        facts.arch = arch;
        return true;
    }
    constexpr std::wstring_view kFile = L"file:";
    constexpr std::wstring_view kYesNo = L"yesno:";
    const bool file = name.substr(0, kFile.size()) == kFile;
    const std::optional<bool> answer =
        file ? YesNo(value, L"present", L"absent") : YesNo(value, L"yes", L"no");
    constexpr std::wstring_view kExitCode = L"exitcode:";
    if (name.substr(0, kExitCode.size()) == kExitCode) {
        std::uint64_t code = 0;
        if (name.size() == kExitCode.size() ||
            !ParseUnsigned(value, std::numeric_limits<std::uint32_t>::max(), code)) {
            error = "needs exitcode:PATH=N with N from 0 to 4294967295";
            return false;
        }
        facts.exitCodes.push_back(
            {std::wstring(name.substr(kExitCode.size())), static_cast<std::uint32_t>(code)});
        return true;
    }
    if (name != L"wow64" && name != L"yesno" && name != L"admin" && name != L"os64" && !file &&
        name.substr(0, kYesNo.size()) != kYesNo) {
        error = "is no fact: winversion=, wow64=, admin=, os64=, arch=, file:PATTERN=, "
                "registry:HIVE\\KEY\\NAME=, exitcode:PATH=, yesno= or yesno:TEXT=";
        return false;
    }
    if (!answer) {
        error = file ? "needs =present or =absent" : "needs =yes or =no";
        return false;
    }
    if (name == L"wow64") {
        facts.wow64 = answer;
    } else if (name == L"admin") {
        facts.admin = answer;
    } else if (name == L"os64") {
        facts.os64 = answer;
    } else if (name == L"yesno") {
        facts.yesNo = answer;
    } else if (file && name.size() > kFile.size()) {
        facts.files.push_back({std::wstring(name.substr(kFile.size())), *answer});
    } else if (file) {
        error = "needs a PATTERN";
        return false;
    } else {
        facts.yesNoBoxes.push_back({std::wstring(name.substr(kYesNo.size())), *answer});
    }
    return true;
}
} // namespace

bool ParseFact(std::string_view fact, WalkFacts& facts, std::string& error) {
    const std::wstring text = DecodeUtf8(fact);
    std::string why;
    if (ParseWideFact(text, facts, why)) {
        return true;
    }
    error = "--assume " + Shown(text) + ": " + why;
    return false;
}
