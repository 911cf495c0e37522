#include "tools/DiskFiles.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

std::wstring NameOf(const fs::path& path) {
#ifdef _WIN32
    return path.filename().wstring();
#else
    return DecodeUtf8(path.filename().string());
#endif
}

// Names compare letter case aside, as the file systems of Windows and of discs do.
// Only A-Z are folded, so that the program answers alike on every system.
std::wstring Folded(std::wstring_view text) {
    return LowerAsciiLetters(text);
}

} // namespace

bool LoadConfigText(const fs::path& path, std::wstring& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw std::ios_base::failure("the configuration file could not be read");
    }
    text = DecodeConfigText(bytes);
    return true;
}

FileState DiskFiles::Find(const std::wstring& path) {
    const auto found = Resolve(path);
    return found ? (found->empty() ? FileState::Absent : FileState::Present) : FileState::Unknown;
}

std::optional<std::string> DiskFiles::Head(const std::wstring& path, std::size_t maxBytes,
                                           std::uint64_t& length) {
    const auto found = Resolve(path);
    if (!found || found->empty()) {
        return std::nullopt;
    }
    std::ifstream in(*found, std::ios::binary);
    std::error_code ec;
    length = fs::file_size(*found, ec);
    if (!in || ec) {
        return std::nullopt;
    }
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(length, maxBytes)), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    return in ? std::optional<std::string>(head) : std::nullopt;
}

std::string DiskFiles::Identity(const std::wstring& path) {
    const auto found = Resolve(path);
    if (!found || found->empty()) {
        return {};
    }
#ifdef _WIN32
    // As the menu tells files apart: the volume's serial number and the file's index on it.
    const HANDLE file =
        CreateFileW(found->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    return known
               ? std::to_string(info.dwVolumeSerialNumber) + ":" +
                     std::to_string(info.nFileIndexHigh) + ":" + std::to_string(info.nFileIndexLow)
               : std::string();
#else
    struct stat status {};
    return stat(found->c_str(), &status) == 0
               ? std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino)
               : std::string();
#endif
}

std::optional<fs::path> DiskFiles::Resolve(const std::wstring& path) const {
    if ((path.size() >= 2 && path[1] == L':') || path.empty() || path[0] == L'\\' ||
        path[0] == L'/') {
        return std::nullopt;
    }
    // As Windows does: "." and ".." are resolved by the text before the disk is asked, so each
    // name costs one look at most, and "..", also above the folder, takes away a name.
    std::vector<std::wstring_view> names;
    std::size_t ups = 0;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
        const std::wstring_view name = std::wstring_view(path).substr(start, end - start);
        start = end + 1;
        if (name == L".." && names.empty()) {
            ++ups;
        } else if (name == L"..") {
            names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
    }
    std::error_code ec;
    fs::path found =
        (dir_.empty() ? fs::current_path(ec) : fs::absolute(dir_, ec)).lexically_normal();
    if (!found.has_filename()) {
        found = found.parent_path(); // no trailing separator; the root stays the root
    }
    for (; ups > 0 && found.has_relative_path(); --ups) {
        found = found.parent_path();
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::wstring name = Folded(names[i]);
        // A run of "*" matches as one does, and is so looked at once, not once for each entry.
        name.erase(std::unique(name.begin(), name.end(),
                               [](wchar_t a, wchar_t b) { return a == L'*' && b == L'*'; }),
                   name.end());
        // Windows takes wildcards only in the last name.
        if (i + 1 < names.size() && name.find_first_of(L"*?") != std::wstring::npos) {
            return fs::path();
        }
        fs::path next;
        for (fs::directory_iterator it(found, ec), last; !ec && it != last && next.empty();
             it.increment(ec)) {
            if (WildcardMatch(name, Folded(NameOf(it->path())))) {
                next = it->path();
            }
        }
        if (next.empty()) {
            return next;
        }
        found = std::move(next);
    }
    return found;
}
