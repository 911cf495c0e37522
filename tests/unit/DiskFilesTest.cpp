// Files named by a configuration, looked up on disk as Windows looks them up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/Checker.h"
#include "tools/DiskFiles.h"
#include "tools/PngWriter.h"

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

// Counts the reads of picture files the checker makes.
class CountedFiles : public DiskFiles {
public:
    using DiskFiles::DiskFiles;
    std::optional<std::string> Head(const std::wstring& path, std::size_t maxBytes,
                                    std::uint64_t& length) override {
        ++reads;
        return DiskFiles::Head(path, maxBytes, length);
    }
    int reads = 0;
};

// One file under many names is one picture, as the menu shares it: read once, counted once.
TEST(DiskFiles, OneFileUnderManyNamesIsReadOnce) {
    const fs::path menu = fs::temp_directory_path() / "navora-disk-links";
    fs::remove_all(menu);
    fs::create_directories(menu);
    const std::string png = EncodePng(2, 2, std::vector<std::uint8_t>(12, 0x80));
    std::ofstream(menu / "Bild.png", std::ios::binary) << png;
    std::ofstream(menu / "copy.png", std::ios::binary) << png;
    fs::create_hard_link(menu / "Bild.png", menu / "link.png");
    CountedFiles files(menu);
    EXPECT_EQ(files.Identity(L"bild.PNG"), files.Identity(L"link.png"));
    EXPECT_NE(files.Identity(L"bild.png"), files.Identity(L"copy.png"));
    EXPECT_EQ(files.Identity(L"none.png"), "");
    std::string controls;
    for (const char* name : {"Bild.png", "link.png", "bild.png", ".\\link.png", "copy.png"}) {
        controls += std::string("<B><ButtonLayout caption=\"b\" background=\"") + name +
                    "\"/><Command type=\"weiter\"/></B>";
    }
    const CheckResult result = CheckConfig(
        "<config><General/><Pages><Page>" + controls + "</Page></Pages></config>", files);
    EXPECT_EQ(files.reads, 2); // the linked file once, its copy once
    for (const Diagnostic& d : result.diagnostics) {
        EXPECT_NE(d.rule, "picture-format") << d.message;
    }
    fs::remove_all(menu);
}

} // namespace
