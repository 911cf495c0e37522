// The vocabulary beyond the classic format, in the platform-free core: variables, run and
// wait with exit codes, rights and 64-bit queries, the steps a chain warning names, the
// file's own messages, and its pixels at the screen's DPI.
#include <gtest/gtest.h>

#include "ActionFakes.h"
#include "actions/Commands.h"
#include "actions/MenuVariables.h"
#include "actions/TExecuteAbleList.h"
#include "config/MenuSettings.h"
#include "config/TextDecoding.h"
#include "config/xmlReader.h"

namespace {

TEST(MenuVariables, ExpandAsWindowsExpandsEnvironmentStrings) {
    FakeSystem system;
    system.programPath = L"E:\\disc\\menu.exe";
    system.environment = {{L"TEMP", L"C:\\T"}, {L"PCT", L"%TEMP%"}, {L"B", L"x"}};
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"%MENUDIR%\\setup.exe", L"E:\\disc\\setup.exe"},
        {L"%menudir%\\a", L"E:\\disc\\a"}, // names without regard to case
        {L"%MENUDRIVE%\\x", L"E:\\x"},
        {L"%TEMP%\\log.txt", L"C:\\T\\log.txt"},
        {L"%NOPE%\\a", L"%NOPE%\\a"}, // neither: as written
        {L"http://x/a%20b%20c", L"http://x/a%20b%20c"},
        {L"%A%B%", L"%Ax"}, // the closing '%' of an unknown name opens the next
        {L"100%", L"100%"},
        {L"%%", L"%%"},
        {L"%PCT%", L"%TEMP%"}, // a value put in is not read again
        {L"", L""},
        {L"plain", L"plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandMenuVariables(c.in, system), c.out) << EncodeUtf8(c.in);
    }
}

TEST(MenuVariables, FolderAndDriveOfTheProgram) {
    const struct {
        const wchar_t* program;
        const wchar_t* folder;
        const wchar_t* drive;
    } cases[] = {
        {L"E:\\menu.exe", L"E:", L"E:"},
        {L"E:\\disc\\sub\\menu.exe", L"E:\\disc\\sub", L"E:"},
        {L"\\\\server\\share\\menu\\menu.exe", L"\\\\server\\share\\menu", L"\\\\server\\share"},
        {L"\\\\server\\share\\menu.exe", L"\\\\server\\share", L"\\\\server\\share"},
        {L"\\\\?\\UNC\\server\\share\\menu\\menu.exe", L"\\\\?\\UNC\\server\\share\\menu",
         L"\\\\?\\UNC\\server\\share"},
        {L"\\\\?\\unc\\server\\share\\menu.exe", L"\\\\?\\unc\\server\\share",
         L"\\\\?\\unc\\server\\share"},
        {L"\\\\.\\UNC\\server\\share\\menu.exe", L"\\\\.\\UNC\\server\\share",
         L"\\\\.\\UNC\\server\\share"},
        {L"\\\\?\\E:\\disc\\menu.exe", L"\\\\?\\E:\\disc", L"\\\\?\\E:"},
        {L"\\\\?\\UNC\\server", L"\\\\?\\UNC", L""},
        {L"menu.exe", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MenuFolder(c.program), c.folder) << EncodeUtf8(c.program);
        EXPECT_EQ(MenuDrive(c.program), c.drive) << EncodeUtf8(c.program);
    }
    // Without a drive (only in the what-if walk) %MENUDRIVE% keeps its name.
    FakeSystem system;
    system.programPath = L"<menu folder>\\navora.exe";
    EXPECT_EQ(ExpandMenuVariables(L"%MENUDRIVE%\\a;%MENUDIR%", system),
              L"%MENUDRIVE%\\a;<menu folder>");
}

class Additions : public ::testing::Test {
protected:
    std::int32_t Build(const std::wstring& button) {
        return BuildButtonChain(store, trees, button);
    }

    FakeDialog dialog;
    FakeSystem system;
    TExecuteAbleList store{&dialog, &system};
    std::vector<std::unique_ptr<xmlTree>> trees;
};

TEST_F(Additions, PathsParametersAndRegistryNamesTakeVariables) {
    system.programPath = L"F:\\m\\navora.exe";
    system.environment = {{L"LANG", L"de"}};
    system.startable = {L"F:\\m\\setup.exe"};
    system.existing = {L"F:\\m\\F:\\m\\x", L"F:\\m\\data\\a.txt"};
    const std::int32_t exec = Build(L"<B><Command type=\"exec\"><ExecCommandConfig "
                                    L"path=\"%MENUDIR%\\setup.exe\" parameter=\"/l=%LANG% %X%\"/>"
                                    L"</Command></B>");
    EXPECT_TRUE(store.RunChain(exec));
    ASSERT_EQ(system.launches.size(), 1u);
    EXPECT_EQ(std::get<0>(system.launches[0]), L"F:\\m\\setup.exe");
    EXPECT_EQ(std::get<1>(system.launches[0]), L"/l=de %X%");
    // A file query joins its path to the menu's folder with makeabsolute, after the variables.
    dialog.answer = kIdYes;
    for (const auto& [query, found] :
         {std::pair(L"<FileQueryConfig path=\"data\\a.txt\" makeabsolute=\"true\"/>", true),
          std::pair(L"<FileQueryConfig path=\"data\\a.txt\"/>", false),
          std::pair(L"<FileQueryConfig path=\"%MENUDIR%\\x\" makeabsolute=\"true\"/>", true)}) {
        const std::int32_t q = Build(std::wstring(L"<B><Query type=\"file\">") + query +
                                     L"<Negativ><Command type=\"nope\"/></Negativ></Query></B>");
        EXPECT_EQ(store.RunChain(q), found) << EncodeUtf8(query);
    }
    system.values[{L"SOFTWARE\\de", L"v"}] = {kRegSz, {'d', 0, 'e', 0}};
    const std::int32_t reg =
        Build(L"<B><Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_LOCAL_MACHINE\" "
              L"key=\"SOFTWARE\\%LANG%\" wert=\"v\" type=\"REG_SZ\" value=\"%LANG%\"/>"
              L"<Negativ><Command type=\"nope\"/></Negativ></Query></B>");
    EXPECT_TRUE(store.RunChain(reg));
    // REG_EXPAND_SZ data is compared as stored, variables and all.
    system.values[{L"SOFTWARE\\x", L"e"}] = {kRegExpandSz,
                                             {'%', 0, 'L', 0, 'A', 0, 'N', 0, 'G', 0, '%', 0}};
    const std::int32_t expand =
        Build(L"<B><Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_LOCAL_MACHINE\" "
              L"key=\"SOFTWARE\\x\" wert=\"e\" type=\"REG_EXPAND_SZ\" value=\"%LANG%\"/>"
              L"<Negativ><Command type=\"nope\"/></Negativ></Query></B>");
    EXPECT_TRUE(store.RunChain(expand));
}

TEST_F(Additions, AnExitCodeCountsWithinTheWalkThatWaitedForIt) {
    system.startable = {L"a.exe", L"doc.pdf"};
    system.exitCodes = {{L"a.exe", 3010}};
    const auto chain = [&](const wchar_t* exec, const wchar_t* code) {
        return Build(std::wstring(L"<B><Command type=\"exec\"><ExecCommandConfig ") + exec +
                     L"/><Query type=\"exitcode\"><ExitCodeQueryConfig value=\"" + code +
                     L"\"/><Negativ><Command type=\"nope\"/></Negativ></Query></Command></B>");
    };
    EXPECT_TRUE(store.RunChain(chain(L"path=\"a.exe\" wait=\"true\"", L"3010")));
    EXPECT_FALSE(store.RunChain(chain(L"path=\"a.exe\" wait=\"true\"", L"0")));
    EXPECT_FALSE(store.RunChain(chain(L"path=\"a.exe\"", L"3010"))); // not waited for
    // A document handed to a running viewer gives nothing to wait for.
    EXPECT_FALSE(store.RunChain(chain(L"path=\"doc.pdf\" wait=\"true\"", L"0")));
    // A walk that waited for none asks in vain, whatever an earlier walk saw.
    const std::int32_t waited = chain(L"path=\"a.exe\" wait=\"true\"", L"3010");
    const std::int32_t alone = Build(L"<B><Query type=\"exitcode\"><ExitCodeQueryConfig "
                                     L"value=\"3010\"/><Negativ><Command type=\"nope\"/>"
                                     L"</Negativ></Query></B>");
    EXPECT_TRUE(store.RunChain(waited));
    EXPECT_FALSE(store.RunChain(alone));
    // Waiting and elevation reach the system; a plain launch stays the classic one.
    ASSERT_EQ(system.runs.size(), 4u);
    EXPECT_TRUE(std::get<4>(system.runs[0]));
    EXPECT_FALSE(std::get<3>(system.runs[0]));
    EXPECT_EQ(system.launches.size(), 1u);
    Build(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"a.exe\" elevate=\"true\" "
          L"maximized=\"true\"/></Command></B>");
    EXPECT_TRUE(store.RunChain(static_cast<std::int32_t>(store.Size()) - 1));
    EXPECT_EQ(system.runs.back(),
              std::make_tuple(std::wstring(L"a.exe"), std::wstring(), true, true, false));
}

TEST_F(Additions, RightsAndBitnessQueriesAskTheSystem) {
    const std::wstring tail = L"<Negativ><Command type=\"nope\"/></Negativ></Query></B>";
    const std::int32_t admin = Build(L"<B><Query type=\"admin\">" + tail);
    const std::int32_t os64 = Build(L"<B><Query type=\"os64\">" + tail);
    for (const bool on : {false, true}) {
        system.administrator = on;
        system.os64 = !on;
        EXPECT_EQ(store.RunChain(admin), on);
        EXPECT_EQ(store.RunChain(os64), !on);
    }
}

TEST_F(Additions, TheWarningNamesTheStepThatFailed) {
    system.startable = {L"ok.exe"};
    const struct {
        const wchar_t* button;
        const wchar_t* failed;
    } cases[] = {
        {L"<B><Command type=\"exec\"><ExecCommandConfig path=\"missing.exe\"/></Command></B>",
         L"missing.exe"},
        {L"<B><Command type=\"exec\"><ExecCommandConfig path=\"ok.exe\"/>"
         L"<Command type=\"stopp\"/></Command></B>",
         L"type=\"stopp\""},
        {L"<B><Query type=\"admin\"><Negativ><Query type=\"\"/></Negativ></Query></B>",
         L"type=\"\""},
        {L"<B><Command type=\"lernprog\"/></B>", L"TUTORRUN.exe"},
        {L"<B><Command type=\"exec\"><ExecCommandConfig path=\"ok.exe\"/></Command></B>", L""},
    };
    for (const auto& c : cases) {
        store.RunChain(Build(c.button));
        EXPECT_EQ(store.FailedStep(), c.failed) << EncodeUtf8(c.button);
    }
}

TEST(MenuMessagesTest, TheFileReplacesEachTextItGives) {
    const auto tree =
        ParseXmlText(L"<config><Messages chainwarning=\"Fehler: %WHAT% (%WHAT%)\" nocaption=\"\" "
                     L"notooltiptypecaption=\"Tip\"/></config>");
    const MenuMessages read = ReadMessages(FindChild(&tree->Root(), L"Messages"));
    const MenuMessages classic = ReadMessages(nullptr);
    EXPECT_EQ(read.ChainWarningFor(L"a.exe"), L"Fehler: a.exe (a.exe)");
    EXPECT_EQ(read.ChainWarningFor(L"%WHAT%"), L"Fehler: %WHAT% (%WHAT%)"); // not read again
    EXPECT_EQ(read.chainWarningCaption, classic.chainWarningCaption);
    EXPECT_EQ(read.noCaption, classic.noCaption); // empty keeps the menu's text
    EXPECT_EQ(read.noTooltipTypeCaption, L"Tip");
    EXPECT_EQ(classic.ChainWarningFor(L"x"),
              L"Nicht alle Commands/Abfragen konnten ausgef\u00fchrt werden");
}

TEST(DpiScale, PixelsRoundAsMulDivAndSaturate) {
    const struct {
        std::int32_t pixels;
        int dpi;
        std::int32_t scaled;
    } cases[] = {
        {100, 96, 100},
        {10, 144, 15},
        {1, 144, 2}, // halves away from zero
        {-1, 144, -2},
        {3, 120, 4},
        {7, 72, 5},
        {0, 192, 0},
        {-20, 144, -30},
        {INT32_MAX, 144, INT32_MAX},
        {INT32_MIN, 144, INT32_MIN},
        {INT32_MAX, 48, INT32_MAX / 2 + 1}, // 1073741823.5 rounds up
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaleToDpi(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi;
    }
}

TEST(DpiScale, EveryPixelFromTheFileScalesAndNothingElse) {
    const auto tree = ParseXmlText(
        L"<config><General width=\"400\" height=\"300\" left=\"-10\" top=\"20\" "
        L"dpiscale=\"true\" bgcolor=\"1 2 3\"/>"
        L"<ToolTippConfig tttype=\"buttontt\" width=\"100\" height=\"20\"><TTFont "
        L"fontsize=\"12\"/><ButtonTTConfig Speed=\"3\" Interval=\"50\"/></ToolTippConfig>"
        L"<B><ButtonPosition left=\"20\" top=\"40\"/><ButtonLayout type=\"checkbox\" "
        L"caption=\"c\" width=\"120\" height=\"30\" checkdim=\"12\" tabindex=\"3\" "
        L"bgcolor=\"4 5 6\"/><Font fontsize=\"-14\"/></B>"
        L"<C><ButtonLayout caption=\"d\" iconhorizontaloffset=\"8\"/></C></config>");
    const xmlElement& root = tree->Root();
    WindowSettings window = ReadWindowSettings(FindChild(&root, L"General"));
    EXPECT_TRUE(window.dpiScale);
    WindowSettings expectedWindow = window;
    expectedWindow.width = 600;
    expectedWindow.height = 450;
    expectedWindow.left = -15;
    expectedWindow.top = 30;
    ScaleToDpi(window, 144);
    EXPECT_EQ(window, expectedWindow);

    TooltipSettings tip = ReadTooltipSettings(FindChild(&root, L"ToolTippConfig"));
    TooltipSettings expectedTip = tip;
    expectedTip.width = 150;
    expectedTip.height = 30;
    expectedTip.font.height = 18;
    expectedTip.speed = 5;     // 4.5 rounds up: the strip grows as far per tick as it looks
    expectedTip.interval = 50; // a time
    ScaleToDpi(tip, 144);
    EXPECT_EQ(tip, expectedTip);

    ControlSettings box = ReadControlSettings(*FindChild(&root, L"B"), nullptr);
    ScaleToDpi(box, 144);
    EXPECT_EQ((std::vector<std::int32_t>{box.left, box.top, box.width, box.height, *box.checkDim,
                                         box.font.height, box.hoverFont.height, box.tabIndex}),
              (std::vector<std::int32_t>{30, 60, 180, 45, 18, -21, 0, 3}));
    EXPECT_EQ(box.bgColor, ReadControlSettings(*FindChild(&root, L"B"), nullptr).bgColor);
    EXPECT_FALSE(box.iconOffset); // not written: stays unset

    ControlSettings button = ReadControlSettings(*FindChild(&root, L"C"), nullptr);
    ScaleToDpi(button, 120);
    EXPECT_EQ(button.iconOffset, 10);
    EXPECT_FALSE(button.checkDim);
}

TEST(DpiScale, OnlyTheWordTrueAsksForIt) {
    for (const auto& [text, on] : {std::pair{L"dpiscale=\"true\"", true},
                                   {L"dpiscale=\"TRUE\"", false},
                                   {L"dpiscale=\"1\"", false},
                                   {L"", false}}) {
        const auto tree = ParseXmlText(std::wstring(L"<config><General ") + text + L"/></config>");
        EXPECT_EQ(ReadWindowSettings(FindChild(&tree->Root(), L"General")).dpiScale, on)
            << EncodeUtf8(text);
    }
}

} // namespace
