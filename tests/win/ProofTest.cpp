// navora-proof against the running menu: its pictures of the demo equal what
// navora.exe shows on screen, page and control under the mouse alike.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "DemoDisc.h"
#include "tools/PngWriter.h"

namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kMenuTitle = L"Navora \u2013 Rundgang";

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    // Red, green, blue of one pixel as 0xRRGGBB.
    std::uint32_t At(int x, int y) const {
        const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
    }
};

// The window's client area as the screen shows it.
Screenshot Capture(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    Screenshot shot{client.right, client.bottom, {}};
    const HDC screen = GetDC(window);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, shot.width, shot.height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(shot.width) * shot.height * 4);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(shot.height), bgra.data(), &info,
              DIB_RGB_COLORS);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        shot.rgb.insert(shot.rgb.end(), {bgra[i + 2], bgra[i + 1], bgra[i]});
    }
    return shot;
}

// Width and height from a PNG's header.
std::pair<int, int> PngSize(const std::string& png) {
    const auto be32 = [&](std::size_t at) {
        return static_cast<int>(static_cast<std::uint8_t>(png[at]) << 24 |
                                static_cast<std::uint8_t>(png[at + 1]) << 16 |
                                static_cast<std::uint8_t>(png[at + 2]) << 8 |
                                static_cast<std::uint8_t>(png[at + 3]));
    };
    return png.size() < 24 ? std::pair{0, 0} : std::pair{be32(16), be32(20)};
}

bool RunToEnd(const std::wstring& commandLine, const fs::path& dir, DWORD& exitCode) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.wstring().c_str(), &startup, &process)) {
        return false;
    }
    const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

class Proof : public testing::Test {
protected:
    void SetUp() override {
        AssembleDemoDisc(disc_, false);
        original_ = Bytes(disc_ / "navora.xml");
    }
    void TearDown() override {
        menu_.reset();
        std::error_code ignored;
        fs::remove_all(disc_, ignored);
        fs::remove_all(out_, ignored);
    }

    DWORD Proofs(const std::wstring& config) {
        DWORD code = 0;
        EXPECT_TRUE(RunToEnd(L"\"" + (BuildDirectory() / "navora-proof.exe").wstring() + L"\" " +
                                 config + L" \"" + out_.wstring() + L"\"",
                             disc_, code));
        return code;
    }

    // Writes `xml` as `name` beside the demo, takes its pictures and starts the menu on it:
    // the menu's window, or none when the pictures were not taken.
    HWND ProofAndShow(const wchar_t* name, const std::string& xml, const wchar_t* title) {
        std::ofstream(disc_ / name) << xml;
        if (Proofs(name) != 0) {
            ADD_FAILURE() << "navora-proof did not take the pictures";
            return nullptr;
        }
        menu_.emplace(L"-cfg " + (disc_ / name).wstring(), disc_);
        return menu_->Window(title);
    }

    const fs::path disc_ = fs::temp_directory_path() / "navora-proof-disc";
    const fs::path out_ = fs::temp_directory_path() / "navora-proof-out";
    std::string original_;
    std::optional<MenuProcess> menu_;
};

TEST_F(Proof, PicturesEqualTheRunningMenu) {
    ASSERT_EQ(Proofs(L"navora.xml"), 0u);
    // Nothing written into the configuration, no check-state rewrite.
    EXPECT_EQ(Bytes(disc_ / "navora.xml"), original_);
    // One picture per page and per control of a page, the sheet, the index.
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(out_)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 3u + (4u + 6u + 5u) + 2u);
    for (const char* name : {"page-3.png", "page-2-6-hover.png", "sheet.png", "index.html"}) {
        EXPECT_TRUE(fs::exists(out_ / name)) << name;
    }
    // Captions, tooltips and each chain as the walk with default facts sees it.
    const std::string index = Bytes(out_ / "index.html");
    for (const char* text : {"Beispieldateien mitinstallieren", "Fragt erst nach",
                             "query winversion checktype=&quot;1&quot;"}) {
        EXPECT_NE(index.find(text), std::string::npos) << text;
    }

    MenuProcess menu(L"-cfg " + (disc_ / "navora.xml").wstring(), disc_);
    const HWND window = menu.Window(kMenuTitle);
    ASSERT_NE(window, nullptr);
    Sleep(800);
    const Screenshot page = Capture(window);
    for (const auto& entry : fs::directory_iterator(out_)) {
        if (entry.path().filename().string().rfind("page-", 0) == 0) {
            EXPECT_EQ(PngSize(Bytes(entry.path())), std::pair(page.width, page.height))
                << entry.path();
        }
    }
    // Three pages at half size in one row, each under a label.
    EXPECT_EQ(PngSize(Bytes(out_ / "sheet.png")),
              std::pair(3 * (page.width / 2 + 16) + 16, page.height / 2 + 24 + 16 + 16));
    // Equal pictures give equal files: the encoding has no freedom.
    EXPECT_EQ(EncodePng(page.width, page.height, page.rgb), Bytes(out_ / "page-1.png"));

    // "Weiter zur Installation" (control 1) under the mouse: its strip fully out.
    const HWND first = GetDlgItem(window, 100);
    ASSERT_NE(first, nullptr);
    RECT r;
    GetClientRect(first, &r);
    POINT centre{r.right / 2, r.bottom / 2};
    ClientToScreen(first, &centre);
    SetCursorPos(centre.x, centre.y);
    Sleep(1000);
    const Screenshot hover = Capture(window);
    EXPECT_EQ(EncodePng(hover.width, hover.height, hover.rgb), Bytes(out_ / "page-1-1-hover.png"));
    // The demo's mouse-over colour on the control, its tooltip colour beside it.
    EXPECT_EQ(hover.At(45, 112), 0xFFC800u);
    EXPECT_EQ(hover.At(484, 150), 0xFFFFE1u);
}

// A mouse-over colour of 0 is none: hovered, the control keeps its normal face, in the proof
// as on screen.
TEST_F(Proof, AHoverColourOfNoneKeepsTheFace) {
    const HWND window = ProofAndShow(
        L"none.xml",
        "<config><General caption=\"Ohne\" width=\"200\" height=\"100\" windowpos=\"topleft\" "
        "bgcolor=\"0 0 200\"/><ToolTippConfig tttype=\"statictt\" width=\"50\" height=\"20\">"
        "<TTFont font=\"Arial\"/><StaticTTConfig LeftMargin=\"0\" TopMargin=\"80\"/>"
        "</ToolTippConfig><Pages><Page><A><ButtonPosition left=\"20\" top=\"20\"/>"
        "<ButtonLayout caption=\"A\" width=\"100\" height=\"40\" bgcolor=\"200 100 50\"/>"
        "<ButtonMouseOverLayout bgcolor=\"0 0 0\"/><Font font=\"Arial\" fontsize=\"12\"/>"
        "<MouseOverFont font=\"Arial\" fontsize=\"14\"/><Command type=\"weiter\"/></A></Page>"
        "</Pages></config>",
        L"Ohne");
    ASSERT_NE(window, nullptr);
    Sleep(500);
    POINT centre{70, 40};
    ClientToScreen(window, &centre);
    SetCursorPos(centre.x, centre.y);
    Sleep(800);
    const Screenshot hover = Capture(window);
    EXPECT_EQ(hover.At(22, 22), 0xC86432u); // the normal face, not the window's colour
    EXPECT_EQ(EncodePng(hover.width, hover.height, hover.rgb), Bytes(out_ / "page-1-1-hover.png"));
}

// Overlapping controls: the one made last is drawn over the other, in the proof as on screen.
TEST_F(Proof, OverlappingControlsLookAsOnScreen) {
    const HWND window = ProofAndShow(
        L"overlap.xml",
        "<config><General caption=\"Decke\" width=\"200\" height=\"100\" "
        "windowpos=\"topleft\" bgcolor=\"0 0 200\"/><ToolTippConfig tttype=\"statictt\" "
        "width=\"50\" height=\"20\"><TTFont font=\"Arial\"/></ToolTippConfig><Pages><Page>"
        "<A><ButtonPosition left=\"20\" top=\"20\"/><ButtonLayout caption=\"A\" "
        "width=\"100\" height=\"40\" bgcolor=\"200 0 0\"/><Command type=\"weiter\"/></A>"
        "<B><ButtonPosition left=\"60\" top=\"40\"/><ButtonLayout caption=\"B\" "
        "width=\"100\" height=\"40\" bgcolor=\"0 200 0\"/><Command type=\"weiter\"/></B></Page>"
        "</Pages></config>",
        L"Decke");
    ASSERT_NE(window, nullptr);
    Sleep(800);
    const Screenshot page = Capture(window);
    EXPECT_EQ(page.At(64, 56), 0x00C800u); // B, away from its caption
    EXPECT_TRUE(EncodePng(page.width, page.height, page.rgb) == Bytes(out_ / "page-1.png"));
}

TEST_F(Proof, AConfigurationTheMenuCannotReadGivesItsMessage) {
    std::ofstream(disc_ / "broken.xml") << "<config><General caption=\"A -> B\"/></config>";
    EXPECT_EQ(Proofs(L"broken.xml"), 2u);
    EXPECT_FALSE(fs::exists(out_ / "page-1.png"));
}

TEST_F(Proof, ASetUpThatStopsTakesNoPicturesAndWritesNoStartState) {
    const std::string config = "<config><General/><ToolTippConfig tttype=\"statictt\"/><Pages><P>"
                               "<B><ButtonLayout type=\"checkbox\" defaultval=\"true\" "
                               "currentval=\"false\"/></B></P></Pages></config>";
    std::ofstream(disc_ / "stops.xml") << config;
    EXPECT_EQ(Proofs(L"stops.xml"), 2u); // the box has no caption
    EXPECT_FALSE(fs::exists(out_ / "page-1.png"));
    EXPECT_EQ(Bytes(disc_ / "stops.xml"), config);
}

} // namespace
