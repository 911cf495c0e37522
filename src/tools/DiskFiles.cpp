#include "tools/DiskFiles.h"

#include <fstream>
#include <iterator>

#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"

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

std::optional<fs::path> DiskFiles::Resolve(const std::wstring& path) const {
    if ((path.size() >= 2 && path[1] == L':') || path.empty() || path[0] == L'\\' ||
        path[0] == L'/') {
        return std::nullopt;
    }
    std::vector<fs::path> current{dir_};
    std::size_t start = 0;
    while (start <= path.size() && !current.empty()) {
        const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
        const std::wstring part = Folded(std::wstring_view(path).substr(start, end - start));
        start = end + 1;
        if (part.empty() || part == L".") {
            continue;
        }
        std::vector<fs::path> next;
        for (const fs::path& dir : current) {
            if (part == L"..") {
                next.push_back(dir.parent_path());
                continue;
            }
            std::error_code ec;
            for (fs::directory_iterator it(dir, ec), last; !ec && it != last; it.increment(ec)) {
                if (WildcardMatch(part, Folded(NameOf(it->path())))) {
                    next.push_back(it->path());
                }
            }
        }
        current = std::move(next);
    }
    return current.empty() ? fs::path() : current.front();
}
