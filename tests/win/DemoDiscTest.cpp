// The demo disc from outside, the way a user meets it: the menu starts from
// its folder, the tooltip slides out, the check box rewrites the file and is
// remembered for the user, a page switch shows the next page, "Setup starten"
// starts the disc's program, which reports the choice the check box recorded,
// page 3 shows only the driver for this machine, and the user's language picks
// the German plain file or its English variant.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>

#include "DemoDisc.h"
#include "config/CheckState.h"

namespace {

namespace fs = std::filesystem;

void Click(HWND control) {
    PointAt(control, 30, 10);
    MouseButton(true, 150);
    MouseButton(false, 500);
}

int WidthOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.right - r.left;
}

constexpr const wchar_t* kMenuTitle = L"Navora \u2013 Rundgang";

// Where the menu remembers the user's choices: its menuid "Navora-Demo".
constexpr const wchar_t* kChoicesKey = L"Software\\Navora\\Navora-Demo";

// The remembered state of the box "beispieldateien"; none when nothing is stored.
std::optional<DWORD> RememberedChoice() {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kChoicesKey, L"beispieldateien", RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

// A fresh copy of the demo disc; no choice remembered before or after a test.
class DemoDisc : public MenuTest {
protected:
    // The tests find the controls by their German captions: ctest runs this suite as a German
    // user (LC_ALL=de_DE.UTF-8, which Wine takes for the user's display language).
    void SetUp() override {
        ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_GERMAN)
            << "run as a German user, e.g. with LC_ALL=de_DE.UTF-8 under Wine";
        Prepare();
    }
    void Prepare() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kChoicesKey);
        disc_ = NewFolder("navora-demo-disc");
        AssembleDemoDisc(disc_, true);
        original_ = FileBytes(disc_ / "navora.xml");
    }
    void TearDown() override {
        Sleep(300);
        MenuTest::TearDown();
        RegDeleteTreeW(HKEY_CURRENT_USER, kChoicesKey);
    }
    void ExpectItWorksAsAUserMeetsIt();

    fs::path disc_;
    std::string original_;
};

// The user's way through the disc in `disc_`.
void DemoDisc::ExpectItWorksAsAUserMeetsIt() {
    // Started from the disc's folder with no options.
    Launch(L"", disc_, kMenuTitle, disc_ / "navora.exe", 500);
    const HWND menu = dialog_;
    // Every check box's state is written at start: the bytes are exactly the rewrite's.
    EXPECT_EQ(FileBytes(disc_ / "navora.xml"),
              RewriteCheckState(original_, L"beispieldateien", false).value_or("unchanged"));

    const HWND next = FindWindowExW(menu, nullptr, L"Button", L"Weiter zur Installation");
    const HWND box = FindWindowExW(menu, nullptr, L"Button", L"Beispieldateien mitinstallieren");
    ASSERT_TRUE(next && box);
    // The tooltip strip slides out of the hovered button, tick by tick.
    PointAt(next, 150, 10);
    HWND strip = nullptr;
    while ((strip = FindWindowExW(menu, strip, L"NavoraTipText", nullptr)) != nullptr &&
           !IsWindowVisible(strip)) {
    }
    ASSERT_NE(strip, nullptr);
    Sleep(1000);
    EXPECT_EQ(WidthOf(strip), 240); // fully out

    Click(box);
    EXPECT_EQ(FileBytes(disc_ / "navora.xml"),
              RewriteCheckState(original_, L"beispieldateien", true).value_or("unchanged"));
    EXPECT_EQ(RememberedChoice(), 1u);

    Click(next);
    const HWND setup = FindWindowExW(menu, nullptr, L"Button", L"Setup starten");
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(IsWindowVisible(setup));
    EXPECT_FALSE(IsWindowVisible(next));

    // The file query finds setup.exe beside the menu, and the menu starts it.
    Click(setup);
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowW(nullptr, L"Navora Demo-Setup")) != nullptr; });
    EXPECT_NE(found, nullptr);
    // The setup has the ticked box's state from the menu.
    const std::wstring text = ReadAndCloseBox(found).value_or(L"");
    EXPECT_NE(text.find(L"Beispieldateien: ja"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Parameter: --choice 1"), std::wstring::npos) << text;

    // Page 3 shows the driver for the machine's own architecture, which is x64 on the PCs these
    // tests run on, for the 32-bit menu too.
    Click(FindWindowExW(menu, nullptr, L"Button", L"Weiter"));
    const struct {
        const wchar_t* caption;
        bool shown;
    } drivers[] = {{L"Treiber f\u00fcr x64", true},
                   {L"Treiber f\u00fcr ARM64", false},
                   {L"Treiber f\u00fcr x86", false}};
    for (const auto& d : drivers) {
        const HWND driver = FindWindowExW(menu, nullptr, L"Button", d.caption);
        ASSERT_NE(driver, nullptr);
        EXPECT_EQ(IsWindowVisible(driver) != FALSE, d.shown) << d.caption;
    }
    Click(FindWindowExW(menu, nullptr, L"Button", drivers[0].caption));
    EXPECT_EQ(process_->BoxText(L"Treiber").value_or(L""),
              L"Hier startete das Setup des Treibers f\u00fcr x64.");
    PostMessageW(menu, WM_CLOSE, 0, 0);
    EXPECT_TRUE(process_->EndsWithin(10000));
}

TEST_F(DemoDisc, WorksAsAUserMeetsIt) {
    ExpectItWorksAsAUserMeetsIt();
}

std::wstring ProfileText(const fs::path& file, const wchar_t* key) {
    wchar_t text[256] = L"";
    GetPrivateProfileStringW(L"autorun", key, L"", text, 256, file.wstring().c_str());
    return text;
}

// navora-pack builds the medium from the demo's folder, and the menu works from it alike.
TEST_F(DemoDisc, WorksPackedByNavoraPack) {
    const fs::path source = disc_;
    disc_ = source / "medium";
    const MenuProcess pack(L"navora.xml \"" + disc_.wstring() + L"\" --menu \"" +
                               MenuProgram().wstring() + L"\"",
                           source, BuildDirectory() / "navora-pack.exe");
    ASSERT_TRUE(pack.Started());
    ASSERT_EQ(pack.ExitCode(), 0u);
    std::set<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(disc_)) {
        names.insert(entry.path().filename().wstring());
    }
    // The demo's other configurations are no language variants of navora.xml.
    // Its English variant goes along.
    EXPECT_EQ(names, (std::set<std::wstring>{L"autorun.inf", L"background.png", L"button-face.png",
                                             L"handbuch.txt", L"icon-document.png",
                                             L"icon-play.png", L"navora.exe", L"navora.ico",
                                             L"navora.xml", L"navora.en.xml", L"setup.exe"}));
    EXPECT_EQ(FileBytes(disc_ / "navora.en.xml"), FileBytes(source / "navora.en.xml"));
    // Every medium carries the very same menu.
    EXPECT_EQ(FileBytes(disc_ / "navora.exe"), FileBytes(MenuProgram()));
    const fs::path autorun = disc_ / "autorun.inf";
    EXPECT_EQ(ProfileText(autorun, L"open"), L"navora.exe");
    EXPECT_EQ(ProfileText(autorun, L"icon"), L"navora.ico");
    EXPECT_EQ(ProfileText(autorun, L"label"), kMenuTitle);
    original_ = FileBytes(disc_ / "navora.xml");
    ExpectItWorksAsAUserMeetsIt();
}

// The choice the setup reports is the one the menu passes, else the state the menu
// recorded at start; a file that ends after the box's id leaves it unknown.
TEST_F(DemoDisc, SetupReportsTheRecordedChoice) {
    const struct {
        const wchar_t* menuArgs; // nullptr: no menu run, the file is cut after the id
        const wchar_t* setupArgs;
        const char* reported;
    } cases[] = {
        {L"-setchk true", L"", "Beispieldateien: ja\r\n"},
        {L"-setchk false", L"", "Beispieldateien: nein\r\n"},
        // As on a CD, whose file keeps its state: the passed choice holds.
        {L"-setchk false", L"--choice 1 ", "Beispieldateien: ja\r\n"},
        {nullptr, L"", "Beispieldateien: unbekannt\r\n"},
    };
    const fs::path marker = disc_ / "marker.txt";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported);
        if (c.menuArgs != nullptr) {
            const MenuProcess menu(c.menuArgs, disc_, disc_ / "navora.exe");
            ASSERT_TRUE(menu.Started());
            const HWND window = menu.Window(kMenuTitle);
            ASSERT_NE(window, nullptr);
            PostMessageW(window, WM_CLOSE, 0, 0);
            ASSERT_TRUE(menu.EndsWithin(10000));
        } else {
            const std::string id = " id=\"beispieldateien\"";
            std::ofstream(disc_ / "navora.xml", std::ios::binary)
                << original_.substr(0, original_.find(id) + id.size());
        }
        const MenuProcess setup(std::wstring(c.setupArgs) + L"--marker " + marker.wstring(), disc_,
                                disc_ / "setup.exe");
        ASSERT_TRUE(setup.Started());
        ASSERT_TRUE(setup.EndsWithin(20000));
        const std::string text = FileBytes(marker);
        EXPECT_EQ(text.substr(text.find('\n') + 1), c.reported);
    }
}

// The box starts from the user's remembered choice, also on a fresh copy of the disc, whose
// file says "false", as a CD's does at every start; unticking it is remembered too.
TEST_F(DemoDisc, RemembersTheChoiceForTheUser) {
    for (const bool ticked : {true, false}) {
        SCOPED_TRACE(ticked ? "tick" : "untick");
        Launch(L"", disc_, kMenuTitle, disc_ / "navora.exe", 500);
        EXPECT_EQ(FileBytes(disc_ / "navora.xml"),
                  RewriteCheckState(original_, L"beispieldateien", !ticked).value_or("unchanged"));
        const HWND box =
            FindWindowExW(dialog_, nullptr, L"Button", L"Beispieldateien mitinstallieren");
        ASSERT_NE(box, nullptr);
        Click(box);
        EXPECT_EQ(RememberedChoice(), ticked ? 1u : 0u);
        PostMessageW(dialog_, WM_CLOSE, 0, 0);
        EXPECT_TRUE(process_->EndsWithin(10000));
        process_.reset();
        AssembleDemoDisc(disc_, true);
    }
}

// The user's display language picks the configuration: the English variant for an English
// user, the German plain file for a German one. The file read is the one the check box's state
// is written into, and the one the setup reads, as the English variant names it. ctest runs
// this case once as a German and once as an English user (LC_ALL under Wine).
class DemoDiscLanguage : public DemoDisc {
protected:
    void SetUp() override { Prepare(); }
};

TEST_F(DemoDiscLanguage, PicksTheFileForTheUsersLanguage) {
    const struct {
        LANGID language;
        const wchar_t* title;
        const char* read;
        const char* untouched;
        const wchar_t* next;
        const wchar_t* setup;
    } cases[] = {
        {LANG_ENGLISH, L"Navora \u2013 Tour", "navora.en.xml", "navora.xml",
         L"On to the installation", L"Start the setup"},
        {LANG_GERMAN, kMenuTitle, "navora.xml", "navora.en.xml", L"Weiter zur Installation",
         L"Setup starten"},
    };
    const LANGID language = PRIMARYLANGID(GetUserDefaultUILanguage());
    const auto* c = std::find_if(std::begin(cases), std::end(cases),
                                 [&](const auto& row) { return row.language == language; });
    ASSERT_NE(c, std::end(cases)) << "run as a German or an English user, not " << language;
    SCOPED_TRACE(c->read);
    const std::string read = FileBytes(disc_ / c->read);
    const std::string untouched = FileBytes(disc_ / c->untouched);
    Launch(L"-setchk true", disc_, c->title, disc_ / "navora.exe", 500);
    EXPECT_EQ(FileBytes(disc_ / c->read),
              RewriteCheckState(read, L"beispieldateien", true).value_or("unchanged"));
    EXPECT_EQ(FileBytes(disc_ / c->untouched), untouched);
    Click(FindWindowExW(dialog_, nullptr, L"Button", c->next));
    Click(FindWindowExW(dialog_, nullptr, L"Button", c->setup));
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowW(nullptr, L"Navora Demo-Setup")) != nullptr; });
    const std::wstring text = ReadAndCloseBox(found).value_or(L"");
    EXPECT_NE(text.find(L"Beispieldateien: ja"), std::wstring::npos) << text;
}

} // namespace
