#include "actions/Queries.h"

#include "config/ValueConversions.h"
#include "xml/TextDecoding.h"

namespace {

// The read buffers hold 260 characters for text values and 4 bytes for a DWORD.
constexpr std::size_t kTextBufferBytes = 520;
constexpr std::size_t kDwordBytes = 4;
constexpr std::size_t kMaxFindPath = 260;

// Reads a text value as a 260-character buffer holds it: up to the first zero, trimmed.
std::wstring StoredText(const std::vector<std::uint8_t>& bytes) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto c = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (c == L'\0') {
            break;
        }
        text.push_back(c);
    }
    return std::wstring(TrimWhiteSpace(text));
}

std::wstring LowerHex(const std::vector<std::uint8_t>& bytes) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring hex;
    for (const std::uint8_t b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0xF];
    }
    return hex;
}

// Reads "%d" as the comparison value of a DWORD; none when the text holds no number.
std::optional<std::uint32_t> DwordPattern(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        ++i;
    }
    if (i == text.size() || text[i] < L'0' || text[i] > L'9') {
        return std::nullopt; // not a decimal number: the test is false
    }
    return static_cast<std::uint32_t>(TextToInt(text));
}

bool MatchesValue(const RegistryData& data, RegistryType type, const std::wstring& value) {
    const auto textOf = [&](std::uint32_t storedType) {
        return data.type == storedType && data.bytes.size() <= kTextBufferBytes &&
               StoredText(data.bytes) == value;
    };
    switch (type) {
    case RegistryType::Sz:
        return textOf(kRegSz);
    case RegistryType::ExpandSz:
        return textOf(kRegExpandSz);
    case RegistryType::MultiSz:
        return textOf(kRegMultiSz); // the first string of the list
    case RegistryType::Binary:
        return data.type == kRegBinary && LowerHex(data.bytes) == value;
    case RegistryType::Dword: {
        const auto expected = DwordPattern(value);
        if (!expected || data.type != kRegDword || data.bytes.size() > kDwordBytes) {
            return false;
        }
        std::uint32_t stored = 0; // bytes the value lacks read as zero
        for (std::size_t i = 0; i < data.bytes.size(); ++i) {
            stored |= static_cast<std::uint32_t>(data.bytes[i]) << (8 * i);
        }
        return stored == *expected;
    }
    case RegistryType::Unknown:
        break;
    }
    return false;
}

} // namespace

bool QFile::Check() {
    const std::wstring path = Path();
    return !path.empty() && path.size() < kMaxFindPath && system_->PathMatches(path);
}

RegistryHive HiveFromName(const std::wstring& hkey) {
    if (hkey == L"HKEY_CLASSES_ROOT") {
        return RegistryHive::ClassesRoot;
    }
    if (hkey == L"HKEY_CURRENT_USER") {
        return RegistryHive::CurrentUser;
    }
    if (hkey == L"HKEY_LOCAL_MACHINE") {
        return RegistryHive::LocalMachine;
    }
    if (hkey == L"HKEY_USERS") {
        return RegistryHive::Users;
    }
    return RegistryHive::CurrentConfig;
}

bool QRegistry::Check() {
    // A 32-bit menu on 64-bit Windows reads the 64-bit view, where installers register.
    const auto data =
        system_->ReadRegistryValue(HiveFromName(hkey_), Key(), wert_, system_->IsWow64());
    return data && MatchesValue(*data, type_, value_);
}

bool CompareVersion(std::int32_t checkType, OsVersion os, std::int32_t major, std::int32_t minor) {
    const auto M = static_cast<std::uint32_t>(major);
    const auto m = static_cast<std::uint32_t>(minor);
    switch (checkType) {
    case -2:
        return os.major < M || (os.major == M && os.minor < m);
    case -1:
        return os.major < M || (os.major == M && os.minor <= m);
    case 0:
        return os.major == M && os.minor == m;
    case 1:
        return os.major > M || (os.major == M && os.minor >= m);
    case 2:
        return os.major > M || (os.major == M && os.minor > m);
    default:
        return false;
    }
}

bool QWinVersion::Check() {
    return CompareVersion(checkType_, system_->GetOsVersion(), major_, minor_);
}

bool QYesNoBox::Check() {
    return dialog_->ShowMessageBox(message_, caption_, kMbYesNo) == kIdYes;
}
