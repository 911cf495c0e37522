// Files named by a configuration, looked up on disk as Windows looks them up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/DiskFiles.h"

namespace {

namespace fs = std::filesystem;

std::wstring Repeated(const std::wstring& piece, int times) {
    std::wstring out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

// Whether each folder above `folder` lists the one below it, as a walk down from the root needs.
bool EveryFolderAboveLists(const fs::path& folder) {
    for (fs::path dir = fs::absolute(folder); dir.has_relative_path(); dir = dir.parent_path()) {
        std::error_code ec;
        bool listed = false;
        for (fs::directory_iterator it(dir.parent_path(), ec), end; !ec && it != end && !listed;
             it.increment(ec)) {
            listed = it->path().filename() == dir.filename();
        }
        if (!listed) {
            return false;
        }
    }
    return true;
}

TEST(DiskFiles, ResolveDotsByTheTextAndWildcardsInTheLastNameOnly) {
    const fs::path root = fs::temp_directory_path() / "navora-disk-files";
    const fs::path menu = root / "menu";
    fs::remove_all(root);
    fs::create_directories(menu / "pics");
    std::ofstream(menu / "pics" / "Bild.BMP") << "BM";
    for (int i = 0; i < 18; ++i) { // a folder of 18 entries, each a folder
        fs::create_directories(menu / ("f" + std::to_string(i)));
    }
    // From the root of the drive, as many ".." as it takes and more: the root stays the root.
    std::wstring fromRoot = Repeated(L"..\\", 64);
    for (const fs::path& name : fs::absolute(menu).relative_path()) {
        fromRoot += name.wstring() + L"\\";
    }
    const struct {
        std::wstring path;
        FileState state;
    } cases[] = {
        {L"pics\\bild.bmp", FileState::Present},
        {L"PICS/B?LD.*", FileState::Present},
        {L"pics\\*.png", FileState::Absent},
        {L"f1*", FileState::Present},
        {L"pics\\" + std::wstring(100000, L'*') + L".bmp", FileState::Present},
        // Each "*\.." is gone before the disk is asked: no name is looked up twice.
        {Repeated(L"*\\..\\", 6) + L"pics\\bild.bmp", FileState::Present},
        {Repeated(L"*\\..\\", 40000) + L"pics\\bild.bmp", FileState::Present},
        {Repeated(L"f*\\..\\", 6), FileState::Present},
        {L"nowhere\\..\\pics\\bild.bmp", FileState::Present},
        {L"pics\\bild.bmp\\..\\.\\bild.bmp", FileState::Present},
        {L"..\\menu\\pics\\bild.bmp", FileState::Present},
        // Windows refuses a wildcard in a folder's name.
        {L"*\\bild.bmp", FileState::Absent},
        {L"p?cs\\bild.bmp", FileState::Absent},
        {L"pics\\bild.bmp\\x", FileState::Absent},
        {L"D:\\pics\\bild.bmp", FileState::Unknown},
    };
    DiskFiles files(menu);
    for (const auto& c : cases) {
        EXPECT_EQ(files.Find(c.path), c.state) << fs::path(c.path.substr(0, 80)).string();
    }
    // Under qemu-user with a library prefix (-L), as the 32-bit tests run, the root lists the
    // prefix's folders: the walk down from the root is checked where the root is the disk's.
    if (EveryFolderAboveLists(menu)) {
        EXPECT_EQ(files.Find(fromRoot + L"pics\\bild.bmp"), FileState::Present);
    }
    fs::remove_all(root);
}

} // namespace
