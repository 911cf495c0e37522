// Pictures and files: what the configuration names beside it, and whether the menu can load or
// start it.
#include <algorithm>

#include "tools/checks/Checks.h"
#include "xml/TextDecoding.h"

namespace checks {

namespace {

// A disc's Joliet file system keeps file names up to this long.
constexpr std::size_t kJolietNameLength = 64;

// Names a picture's file as the menu tells files apart to share them: letter case, "/" or
// "\\", "." and ".." aside.
std::wstring PictureKey(std::wstring_view path) {
    std::vector<std::wstring> parts;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
        const std::wstring part = LowerAsciiLetters(path.substr(start, end - start));
        if (part == L".." && !parts.empty()) {
            parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring key;
    for (const std::wstring& part : parts) {
        key += L'\\' + part;
    }
    return key;
}

// The rest of a path that starts "%MENUDIR%\" and names no further variable: where in the
// menu's folder it points.
std::optional<std::wstring> InMenuFolder(std::wstring_view path) {
    constexpr std::wstring_view kFolder = L"%menudir%\\";
    if (path.size() <= kFolder.size() ||
        LowerAsciiLetters(path.substr(0, kFolder.size())) != kFolder ||
        path.find(L'%', kFolder.size()) != npos) {
        return std::nullopt;
    }
    return std::wstring(path.substr(kFolder.size()));
}

// makeabsolute in front of a path that names the menu's folder or drive itself.
bool NamesTheFolderTwice(CheckContext& c, std::wstring_view path, std::size_t at) {
    const std::wstring lower = LowerAsciiLetters(path);
    if (lower.find(L"%menudir%") == npos && lower.find(L"%menudrive%") == npos) {
        return false;
    }
    c.Error(at, "makeabsolute",
            "makeabsolute puts the menu's folder in front of " + Quoted(path) +
                ", which names it already: remove makeabsolute");
    return true;
}
void CheckNameLength(CheckContext& c, std::wstring_view path, std::size_t at) {
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
        if (end - start > kJolietNameLength) {
            c.Warning(at, "long-file-name",
                      "the name " + Quoted(path.substr(start, end - start)) + " has " +
                          std::to_string(end - start) +
                          " characters: a disc's Joliet file system keeps only 64");
            return;
        }
        start = end + 1;
    }
}

void CheckProgram(CheckContext& c, std::wstring_view path, std::size_t at) {
    if (path.empty()) {
        c.Error(at, "missing-file", "exec has no path: the step fails when clicked");
        return;
    }
    if (NamesTheFolderTwice(c, path, at)) {
        return;
    }
    if (IsUrl(path) || IsAbsolutePath(path)) {
        c.Error(at, "makeabsolute",
                "makeabsolute puts the menu's folder in front of " + Quoted(path) + " (D:\\" +
                    Shown(path) + "), so it fails; remove makeabsolute or make the path relative");
        return;
    }
    CheckNameLength(c, path, at);
    if (c.files.Find(std::wstring(path)) == FileState::Absent) {
        c.Error(at, "missing-file",
                Quoted(path) + " does not exist beside the menu: the step fails when clicked");
    }
}

// `inMenuFolder`: the path is looked up in the menu's folder (makeabsolute, %MENUDIR%), not
// in its current folder.
void CheckFileQuery(CheckContext& c, std::wstring_view path, std::size_t at, bool inMenuFolder) {
    if (path.empty() || IsAbsolutePath(path) || path.find(L'%') != npos) {
        return;
    }
    CheckNameLength(c, path, at);
    if (c.files.Find(std::wstring(path)) == FileState::Absent) {
        c.Warning(at, "file-query",
                  "nothing matches " + Quoted(path) +
                      (inMenuFolder ? std::string(" beside the menu")
                                    : " beside the configuration; note that the menu looks "
                                      "relative to its current folder, which need not be its "
                                      "own"));
    }
}

// As many of a picture file's first bytes as its check needs, as the menu reads them.
std::optional<std::string> PictureHead(CheckContext& c, const std::wstring& path,
                                       std::uint64_t& length) {
    auto head = c.files.Head(path, kBitmapHeadBytes, length);
    if (head && PictureBytesNeeded(*head, length) > head->size()) {
        head = c.files.Head(path, static_cast<std::size_t>(kMaxCodedFileBytes), length);
    }
    return head;
}

// A host name such as "tessera.com": labels with dots, the last of two to six letters.
bool LooksLikeHost(std::wstring_view name) {
    const std::size_t dot = name.rfind(L'.');
    if (dot == npos || dot == 0 || name.size() - dot - 1 < 2 || name.size() - dot - 1 > 6) {
        return false;
    }
    const std::wstring_view top = name.substr(dot + 1);
    return std::all_of(top.begin(), top.end(), IsAsciiLetter);
}

// An exec path without makeabsolute: the menu starts it from its current folder, the disc's
// when it starts from there. A bare program name may be one Windows finds by name.
void CheckPlainProgram(CheckContext& c, std::wstring_view path, std::size_t at) {
    if (path.empty()) {
        c.Error(at, "missing-file", "exec has no path: the step fails when clicked");
        return;
    }
    if (IsUrl(path) || IsAbsolutePath(path) || path.find_first_of(L"%*?") != npos) {
        return;
    }
    const std::wstring file(path);
    if (c.files.Find(file) != FileState::Absent) {
        return;
    }
    const std::size_t end = std::min(path.find_first_of(L"\\/"), path.size());
    if (end < path.size() && path[end] == L'/' && path.find(L'\\') == npos &&
        LooksLikeHost(path.substr(0, end))) {
        c.Error(at, "url",
                Quoted(path) +
                    " is a web address without its scheme: Windows looks for a file of that name "
                    "and the step fails; write " +
                    Quoted(L"https://" + file));
        return;
    }
    const std::size_t dot = path.rfind(L'.');
    const std::wstring extension = dot == npos ? L"" : LowerAsciiLetters(path.substr(dot));
    if (end == path.size() && (dot == npos || extension == L".exe" || extension == L".com" ||
                               extension == L".bat" || extension == L".cmd")) {
        return; // a program Windows may find by its name, such as notepad.exe
    }
    c.Error(at, "missing-file",
            Quoted(path) +
                " does not exist beside the configuration: the menu starts it from its current "
                "folder, the disc's when it starts from there, and the step fails; put it on the "
                "medium or correct the path");
}

} // namespace

void CheckPicture(CheckContext& c, std::wstring_view path, std::size_t at, bool icon) {
    if (path.empty()) {
        return;
    }
    CheckNameLength(c, path, at);
    const std::wstring file(path);
    const FileState state = c.files.Find(file);
    if (state == FileState::Absent) {
        c.Error(at, "missing-file",
                Quoted(path) + " does not exist beside the configuration: the menu shows no " +
                    (icon ? "icon" : "picture"));
        return;
    }
    if (state != FileState::Present) {
        return;
    }
    // Pictures and icons apart, as the menu keeps them.
    const std::string identity = c.files.Identity(file);
    const std::string key = (icon ? "icon " : "picture ") +
                            (identity.empty() ? EncodeUtf8(PictureKey(path)) : identity);
    const auto [checked, first] = c.pictures.try_emplace(key);
    if (first) {
        std::uint64_t length = 0;
        const auto head =
            icon ? c.files.Head(file, std::size_t{4} << 20, length) : PictureHead(c, file, length);
        if (head) {
            // At the file's own size: the screen's DPI, which "dpiscale" scales to, is not
            // known here.
            checked->second =
                icon ? PictureCheck{CheckIcon(*head)} : CheckPictureFile(*head, length, kFileDpi);
        }
    }
    if (!checked->second) {
        return;
    }
    const PictureCheck& bitmap = *checked->second;
    PictureFault fault = bitmap.fault;
    // Each file counts once, as the menu shares it among all names of the file. Counted in
    // the file's order; the menu counts the background, the quit button, then the pages.
    if (fault == PictureFault::None && !icon && first && !c.pictureBudget.Take(bitmap)) {
        fault = PictureFault::Total;
    }
    const std::string size =
        std::to_string(bitmap.width) + " x " + std::to_string(bitmap.height) + " pixels";
    const std::string kind = icon ? "icon (.ico)" : "BMP, PNG, JPEG or GIF";
    const std::string shows = icon ? ": the menu shows no icon" : ": the menu shows nothing";
    std::string why;
    switch (fault) {
    case PictureFault::None:
        return;
    case PictureFault::Format:
        why = " is not a " + kind + " file: the menu loads only " + kind +
              " files and shows nothing for it";
        break;
    case PictureFault::Damaged:
        why = " is damaged or incomplete (its headers do not match its length)" + shows +
              " for it; copy or save it again";
        break;
    case PictureFault::Side:
        why = " is " + size + shows + " wider or taller than " + std::to_string(kMaxPictureSide) +
              " pixels";
        break;
    case PictureFault::Pixels:
        why = " has " + size + shows + " with more than " + std::to_string(kMaxPicturePixels) +
              " pixels (8192 x 8192)";
        break;
    case PictureFault::IconImage:
        why = " holds an image larger than " + std::to_string(kMaxIconSide) + " x " +
              std::to_string(kMaxIconSide) + " pixels" + shows +
              "; keep only images of up to 256 pixels";
        break;
    case PictureFault::Length:
        why = " is longer than " + std::to_string(kMaxCodedFileBytes >> 20) + " MB" + shows +
              " for it; save it smaller";
        break;
    case PictureFault::Scans:
        why = " has more than " + std::to_string(kMaxJpegScans) + " scans" + shows +
              " for it; save it as an ordinary or progressive JPEG";
        break;
    case PictureFault::Total:
        why = " (" + size + ") takes the menu's pictures beyond " +
              std::to_string(kMaxMenuPictureBytes >> 20) +
              " MB together, counted at 4 bytes a pixel and as much as decoding it holds" + shows +
              " for it; make the pictures smaller";
        break;
    }
    c.Error(at, "picture-format", Quoted(path) + why);
}

void CheckProgramPath(CheckContext& c, const xmlElement& element, std::wstring_view value,
                      std::size_t at) {
    if (LowerAsciiLetters(value.substr(0, 4)) == L"www.") {
        // The shell takes a web address without its scheme for a file name.
        c.Error(at, "url",
                Quoted(value) +
                    " has no scheme: Windows looks for a file of that name and the step "
                    "fails; write " +
                    Quoted(L"https://" + std::wstring(value)));
    } else if (IsOn(element.GetAttribute(L"makeabsolute"))) {
        CheckProgram(c, value, at);
    } else if (const auto beside = InMenuFolder(value)) {
        CheckProgram(c, *beside, at);
    } else {
        CheckPlainProgram(c, value, at);
    }
}

void CheckFilePattern(CheckContext& c, const xmlElement& element, std::wstring_view value,
                      std::size_t at) {
    if (IsOn(element.GetAttribute(L"makeabsolute"))) {
        if (!NamesTheFolderTwice(c, value, at)) {
            CheckFileQuery(c, value, at, true);
        }
    } else if (const auto beside = InMenuFolder(value)) {
        CheckFileQuery(c, *beside, at, true);
    } else {
        CheckFileQuery(c, value, at, false);
    }
}

void BitmapSize(CheckContext& c, const std::wstring& path, std::int32_t& width,
                std::int32_t& height) {
    std::uint64_t length = 0;
    const auto head = path.empty() || c.files.Find(path) != FileState::Present
                          ? std::nullopt
                          : PictureHead(c, path, length);
    const PictureCheck check =
        head ? CheckPictureFile(*head, length, kFileDpi) : PictureCheck{PictureFault::Format};
    if (check.fault == PictureFault::None) {
        width = static_cast<std::int32_t>(check.width);
        height = static_cast<std::int32_t>(check.height);
    }
}

} // namespace checks
