// The check-state rewrite on real files under Wine: every step made to fail in
// turn leaves the configuration byte for byte as it was and no temporary file.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ProcessWindows.h"
#include "config/CheckState.h"
#include "config/Win32CheckStateFiles.h"
#include "xml/xmlDocument.h"

namespace {

namespace fs = std::filesystem;

enum class Step { None, Read, ReadPartly, Create, Write, WritePartly, Flush, Hold, Replace };

// The real file steps, with one of them made to fail.
class FailingFiles final : public Win32CheckStateFiles {
public:
    explicit FailingFiles(Step failing) : failing_(failing) {}
    bool ReadForUpdate(const std::wstring& path, FileSnapshot& file) override {
        if (failing_ == Step::Read) {
            return false;
        }
        const bool ok = Win32CheckStateFiles::ReadForUpdate(path, file);
        return ok && failing_ != Step::ReadPartly;
    }
    bool HoldForReplace(const std::wstring& path, FileSnapshot& file) override {
        return Win32CheckStateFiles::HoldForReplace(path, file) && failing_ != Step::Hold;
    }
    bool CreateTemporary(std::wstring& path) override {
        return failing_ != Step::Create && Win32CheckStateFiles::CreateTemporary(path);
    }
    bool Write(std::string_view bytes) override {
        if (failing_ == Step::WritePartly) {
            Win32CheckStateFiles::Write(bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return failing_ != Step::Write && Win32CheckStateFiles::Write(bytes);
    }
    bool Flush() override { return Win32CheckStateFiles::Flush() && failing_ != Step::Flush; }
    bool Replace(const std::wstring& temporary, const std::wstring& target) override {
        return failing_ != Step::Replace && Win32CheckStateFiles::Replace(temporary, target);
    }

private:
    Step failing_;
};

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::string kBefore =
    "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<config>\n  <Pages><Page>\n"
    "    <Box id=\"agb\"><ButtonLayout type=\"checkbox\" currentval=\"false\"/>"
    "</Box>\n  </Page></Pages>\n</config>\n";
const std::string kAfter =
    "<?xml version=\"1.0\"?>\r\n<config>\r\n  <Pages><Page>\r\n"
    "    <Box id=\"agb\"><ButtonLayout type=\"checkbox\" currentval=\"true\"/>"
    "</Box>\r\n  </Page></Pages>\r\n</config>";

class CheckStateOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() / ("navora-check-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(dir_);
        config_ = dir_ / "Menu.xml";
        std::ofstream(config_, std::ios::binary) << kBefore;
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
    fs::path config_;
};

TEST_F(CheckStateOnDisk, AFailureAtAnyStepLeavesTheOldFileAndNoTemporary) {
    const struct {
        Step step;
        const std::string& expected;
    } cases[] = {{Step::Read, kBefore},  {Step::ReadPartly, kBefore},  {Step::Create, kBefore},
                 {Step::Write, kBefore}, {Step::WritePartly, kBefore}, {Step::Flush, kBefore},
                 {Step::Hold, kBefore},  {Step::Replace, kBefore},     {Step::None, kAfter}};
    for (const auto& c : cases) {
        std::ofstream(config_, std::ios::binary) << kBefore;
        FailingFiles files(c.step);
        WriteCheckState(config_.wstring(), L"agb", true, files);
        EXPECT_EQ(Bytes(config_), c.expected) << static_cast<int>(c.step);
        EXPECT_FALSE(fs::exists(dir_ / "Menu___.xml")) << static_cast<int>(c.step);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    }
}

// States the file already holds: no temporary file, no rewrite.
TEST_F(CheckStateOnDisk, AFileThatAlreadyHoldsTheStatesIsNotRewritten) {
    struct CountingFiles final : Win32CheckStateFiles {
        int created = 0;
        bool CreateTemporary(std::wstring& path) override {
            ++created;
            return Win32CheckStateFiles::CreateTemporary(path);
        }
    };
    CountingFiles files;
    WriteCheckState(config_.wstring(), L"agb", true, files);
    EXPECT_EQ(files.created, 1);
    EXPECT_EQ(Bytes(config_), kAfter);
    WriteCheckState(config_.wstring(), L"agb", true, files);
    EXPECT_EQ(files.created, 1);
    WriteCheckState(config_.wstring(), L"agb", false, files);
    EXPECT_EQ(files.created, 2);
}

TEST_F(CheckStateOnDisk, FilesThatCannotBeRewrittenAreLeftAsTheyAre) {
    Win32CheckStateFiles files;
    // No ".xml" in the path: the temporary path would be the file itself.
    const fs::path plain = dir_ / "menu.cfg";
    std::ofstream(plain, std::ios::binary) << kBefore;
    WriteCheckState(plain.wstring(), L"agb", true, files);
    EXPECT_EQ(Bytes(plain), kBefore);
    // A folder named like a configuration is no part of the temporary file's name: the file
    // is written there, through a temporary file beside it.
    fs::create_directories(dir_ / "m.xml");
    const fs::path nested = dir_ / "m.xml" / "m.xml";
    std::ofstream(nested, std::ios::binary) << kBefore;
    WriteCheckState(nested.wstring(), L"agb", true, files);
    EXPECT_EQ(Bytes(nested), kAfter);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "m.xml"), fs::directory_iterator()), 1);
    // A missing file, an unknown id.
    WriteCheckState((dir_ / "none.xml").wstring(), L"agb", true, files);
    EXPECT_FALSE(fs::exists(dir_ / "none.xml"));
    WriteCheckState(config_.wstring(), L"other", true, files);
    EXPECT_EQ(Bytes(config_), kBefore);
}

TEST_F(CheckStateOnDisk, AThousandTogglesLeaveAValidFileWithTheLastState) {
    Win32CheckStateFiles files;
    for (int i = 0; i < 1000; ++i) {
        WriteCheckState(config_.wstring(), L"agb", i % 2 == 0, files);
    }
    const xmlDocument doc(config_);
    ASSERT_NE(doc.root, nullptr);
    const xmlElement* layout = FindChild(
        FindChild(FindChild(FindChild(doc.root, L"Pages"), L"Page"), L"Box"), L"ButtonLayout");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetAttribute(L"currentval"), L"false");
    EXPECT_EQ(Bytes(config_).size(), kAfter.size() + 1);
}

// A page may be named "config": the file still ends only at the root's own end tag.
TEST_F(CheckStateOnDisk, PagesNamedConfigAndSeveralBoxesInOneRewrite) {
    const std::string before =
        "<config>\n <Pages>\n  <config><Box id=\"a\"><ButtonLayout currentval=\"false\"/></Box>"
        "</config>\n  <Page2><Box id=\"b\"><ButtonLayout caption=\"B\" currentval=\"\"/></Box>"
        "</Page2>\n </Pages>\n</config>\n";
    std::ofstream(config_, std::ios::binary) << before;
    Win32CheckStateFiles files;
    WriteCheckStates(config_.wstring(), {{L"a", true}, {L"b", false}, {L"missing", true}}, files);
    const xmlDocument doc(config_);
    ASSERT_NE(doc.root, nullptr);
    const xmlElement* pages = FindChild(doc.root, L"Pages");
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->GetChildCount(), 2u);
    const auto state = [&](std::size_t page) {
        return FindChild(FindChild(pages->GetChild(page), L"Box"), L"ButtonLayout")
            ->GetAttribute(L"currentval");
    };
    EXPECT_EQ(state(0), L"true");
    EXPECT_EQ(state(1), L"false");
    const std::string after = Bytes(config_);
    EXPECT_EQ(after.substr(after.size() - 11), "\r\n</config>");
    EXPECT_FALSE(fs::exists(dir_ / "Menu___.xml"));
}

// Another program that writes the file while the menu rewrites it: its edit is kept, and the
// state is written into its bytes; one that keeps writing is left the file.
TEST_F(CheckStateOnDisk, AnEditByAnotherProgramMeanwhileIsKept) {
    struct EditingFiles final : Win32CheckStateFiles {
        fs::path config;
        int edits;
        bool Write(std::string_view bytes) override {
            if (edits-- > 0) {
                std::string now = Bytes(config);
                now.insert(now.find("<Pages>"), "<Edit n=\"" + std::to_string(edits) + "\"/>");
                std::ofstream(config, std::ios::binary) << now;
            }
            return Win32CheckStateFiles::Write(bytes);
        }
    };
    const struct {
        int edits;
        const char* expected;
    } cases[] = {
        {1, "<Edit n=\"0\"/><Pages><Page>\r\n    <Box id=\"agb\"><ButtonLayout type=\"checkbox\" "
            "currentval=\"true\"/>"},
        {kRewriteAttempts,
         "<Edit n=\"2\"/><Edit n=\"1\"/><Edit n=\"0\"/><Pages><Page>\n    "
         "<Box id=\"agb\"><ButtonLayout type=\"checkbox\" currentval=\"false\"/>"},
    };
    for (const auto& c : cases) {
        std::ofstream(config_, std::ios::binary) << kBefore;
        EditingFiles files;
        files.config = config_;
        files.edits = c.edits;
        WriteCheckState(config_.wstring(), L"agb", true, files);
        EXPECT_NE(Bytes(config_).find(c.expected), std::string::npos) << Bytes(config_);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    }
}

// Another program saves the file in one step (a new file renamed over it) every few
// milliseconds while the box is toggled: none of its saves is lost, as the menu holds the file
// against writers from its last read to the replace.
TEST_F(CheckStateOnDisk, AnotherProgramsSavesAreNeverLost) {
    std::ofstream(config_, std::ios::binary)
        << "<config><Saved n=\"0\"/>" << kBefore.substr(kBefore.find("<config>") + 8);
    std::atomic<bool> stop{false};
    int saves = 0;
    int lost = 0;
    int unreadable = 0;
    std::thread writer([&] {
        const fs::path mine = dir_ / "writer.tmp";
        const auto saved = [](int n) { return "<Saved n=\"" + std::to_string(n) + "\"/>"; };
        while (!stop) {
            std::string bytes = Bytes(config_);
            const std::size_t at = bytes.find("<Saved n=\"");
            if (at == std::string::npos) {
                ++unreadable; // not to be opened at that moment
                continue;
            }
            const std::size_t length = bytes.find("/>", at) + 2 - at;
            lost += bytes.compare(at, length, saved(saves)) != 0;
            bytes.replace(at, length, saved(saves + 1));
            std::ofstream(mine, std::ios::binary) << bytes;
            // Refused while the menu holds the file: saved again a moment later.
            while (!MoveFileExW(mine.c_str(), config_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
                Sleep(0);
            }
            ++saves;
            Sleep(3);
        }
    });
    Win32CheckStateFiles files;
    for (int i = 0; i < 300; ++i) {
        WriteCheckState(config_.wstring(), L"agb", i % 2 == 0, files);
    }
    stop = true;
    writer.join();
    EXPECT_EQ(lost, 0) << "of " << saves << " saves, " << unreadable << " reads failed";
    EXPECT_GT(saves, 20);
    EXPECT_NE(Bytes(config_).find("<Saved n=\"" + std::to_string(saves) + "\"/>"),
              std::string::npos)
        << Bytes(config_);
}

// A hidden or system configuration stays so after a write, as Windows' ReplaceFileW keeps the
// replaced file's attributes; Wine's does not, so the new file is made with them.
TEST_F(CheckStateOnDisk, TheConfigurationKeepsItsAttributes) {
    for (const DWORD attributes :
         {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
          DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}, DWORD{0}}) {
        SetFileAttributesW(config_.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::ofstream(config_, std::ios::binary) << kBefore;
        ASSERT_TRUE(SetFileAttributesW(config_.c_str(), attributes | FILE_ATTRIBUTE_ARCHIVE));
        Win32CheckStateFiles files;
        for (const bool checked : {true, false}) {
            WriteCheckState(config_.wstring(), L"agb", checked, files);
            EXPECT_NE(Bytes(config_).find(checked ? "\"true\"" : "\"false\""), std::string::npos);
            EXPECT_EQ(GetFileAttributesW(config_.c_str()) &
                          (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                      attributes)
                << attributes << " " << checked;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    }
}

// Wine's own calls follow symbolic links, even to delete one, and its CreateSymbolicLinkW
// creates nothing; there links are planted and removed by the system beneath, whose programs
// Wine starts for a Unix path. Returns false where that is not Wine.
using UnixName = char*(CDECL*)(const wchar_t*);
const UnixName unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
    GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));

// Wine does not wait for a Unix program to end: `done` tells when it has.
template <typename Done> void RunUnix(const std::string& command, Done done) {
    std::wstring line = L"/bin/sh -c \"" + std::wstring(command.begin(), command.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(WaitUntil(done, 10000)) << command;
}

void PlantSymbolicLink(const fs::path& link, const fs::path& target) {
    if (unixName == nullptr) {
        ASSERT_TRUE(CreateSymbolicLinkW(link.c_str(), target.c_str(), 0));
        return;
    }
    RunUnix("ln -s '" + std::string(unixName(target.c_str())) + "' '" +
                unixName(link.parent_path().c_str()) + "/" + link.filename().string() + "'",
            [&] { return fs::exists(link); });
}

void RemoveFolder(const fs::path& dir) {
    if (unixName == nullptr) {
        fs::remove_all(dir);
    } else {
        RunUnix("rm -rf '" + std::string(unixName(dir.c_str())) + "'",
                [&] { return !fs::exists(dir); });
    }
}

// A medium that plants a link under the old temporary name, or makes the configuration
// itself a link, never gets a file elsewhere written.
TEST_F(CheckStateOnDisk, LinksOnTheMediumNeverWriteElsewhere) {
    const fs::path victim = dir_.parent_path() / (dir_.filename().string() + "-victim.xml");
    const struct {
        const char* name; // where the link is planted
        bool symbolic;
    } cases[] = {
        {"Menu___.xml", true}, {"Menu___.xml", false}, {"Menu.xml", true}, {"Menu.xml", false}};
    for (const auto& c : cases) {
        RemoveFolder(dir_);
        fs::create_directories(dir_);
        std::ofstream(victim, std::ios::binary) << kBefore;
        const fs::path link = dir_ / c.name;
        if (c.symbolic) {
            PlantSymbolicLink(link, victim);
        } else {
            ASSERT_TRUE(CreateHardLinkW(link.c_str(), victim.c_str(), nullptr));
        }
        ASSERT_EQ(Bytes(link), kBefore);
        if (!fs::exists(config_)) {
            std::ofstream(config_, std::ios::binary) << kBefore;
        }
        Win32CheckStateFiles files;
        WriteCheckState(config_.wstring(), L"agb", true, files);
        // A configuration that is a symbolic link is left as it is on Windows, which reports
        // the link. Wine 8 hides it from every call (no reparse point attribute), and its
        // ReplaceFileW then deletes the link's target: not checked there.
        if (link != config_ || !c.symbolic || unixName == nullptr) {
            EXPECT_EQ(Bytes(victim), kBefore) << c.name << " " << c.symbolic;
        }
        // A configuration with a second name is left as it is.
        if (link == config_ && !c.symbolic) {
            EXPECT_EQ(Bytes(config_), kBefore);
        }
        if (link != config_) {
            EXPECT_EQ(Bytes(config_), kAfter) << c.name << " " << c.symbolic;
        }
    }
    RemoveFolder(dir_);
    fs::create_directories(dir_);
    fs::remove(victim);
}

// Run by the read-only medium check (scripts/check-readonly-medium) on a
// configuration that lies on a read-only mount.
TEST(ReadOnlyMedium, LeavesTheFileUnchanged) {
    const char* path = std::getenv("NAVORA_READONLY_CONFIG");
    if (path == nullptr) {
        GTEST_SKIP() << "run by scripts/check-readonly-medium";
    }
    const fs::path config = path;
    const std::string before = Bytes(config);
    Win32CheckStateFiles files;
    WriteCheckState(config.wstring(), L"agb", true, files);
    EXPECT_EQ(Bytes(config), before);
    EXPECT_FALSE(fs::exists(config.parent_path() / "Menu___.xml"));
}

} // namespace
