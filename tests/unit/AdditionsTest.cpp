// The vocabulary beyond the classic format, in the platform-free core: variables, run and
// wait with exit codes, rights and 64-bit queries, the steps a chain warning names, the
// file's own messages, and its pixels at the screen's DPI.
#include <gtest/gtest.h>

#include "ChainTest.h"
#include "actions/Commands.h"
#include "actions/MenuVariables.h"
#include "actions/TExecuteAbleList.h"
#include "config/MenuSettings.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

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

class Additions : public ChainTest {};

TEST_F(Additions, PathsParametersAndRegistryNamesTakeVariables) {
    system_.programPath = L"F:\\m\\navora.exe";
    system_.environment = {{L"LANG", L"de"}};
    system_.startable = {L"F:\\m\\setup.exe"};
    system_.existing = {L"F:\\m\\F:\\m\\x", L"F:\\m\\data\\a.txt"};
    const std::int32_t exec = Build(L"<B><Command type=\"exec\"><ExecCommandConfig "
                                    L"path=\"%MENUDIR%\\setup.exe\" parameter=\"/l=%LANG% %X%\"/>"
                                    L"</Command></B>");
    EXPECT_TRUE(store_.RunChain(exec));
    ASSERT_EQ(system_.launches.size(), 1u);
    EXPECT_EQ(std::get<0>(system_.launches[0]), L"F:\\m\\setup.exe");
    EXPECT_EQ(std::get<1>(system_.launches[0]), L"/l=de %X%");
    // A file query joins its path to the menu's folder with makeabsolute, after the variables.
    dialog_.answer = kIdYes;
    for (const auto& [query, found] :
         {std::pair(L"<FileQueryConfig path=\"data\\a.txt\" makeabsolute=\"true\"/>", true),
          std::pair(L"<FileQueryConfig path=\"data\\a.txt\"/>", false),
          std::pair(L"<FileQueryConfig path=\"%MENUDIR%\\x\" makeabsolute=\"true\"/>", true)}) {
        const std::int32_t q = Build(std::wstring(L"<B><Query type=\"file\">") + query +
                                     L"<Negativ><Command type=\"nope\"/></Negativ></Query></B>");
        EXPECT_EQ(store_.RunChain(q), found) << EncodeUtf8(query);
    }
    // The key takes variables; the compared data is taken as written, for every type.
    const auto text = [](std::uint32_t type, const wchar_t* data) {
        RegistryData value{type, {}};
        for (const wchar_t* c = data; *c != 0; ++c) {
            value.bytes.insert(value.bytes.end(), {static_cast<std::uint8_t>(*c), 0});
        }
        return value;
    };
    system_.environment[L"NUM"] = L"5";
    const struct {
        const wchar_t* type;
        const wchar_t* value;
        RegistryData stored;
        bool matches;
    } cases[] = {
        {L"REG_SZ", L"%LANG%", text(kRegSz, L"%LANG%"), true},
        {L"REG_SZ", L"%LANG%", text(kRegSz, L"de"), false},
        {L"REG_EXPAND_SZ", L"%LANG%", text(kRegExpandSz, L"%LANG%"), true},
        {L"REG_MULTI_SZ", L"%LANG%", text(kRegMultiSz, L"de"), false},
        {L"REG_BINARY", L"%LANG%", {kRegBinary, {0xde}}, false},
        {L"REG_DWORD", L"%NUM%", {kRegDword, {5, 0, 0, 0}}, false},
    };
    for (const auto& c : cases) {
        system_.values[{L"SOFTWARE\\de", L"v"}] = c.stored;
        const std::int32_t reg =
            Build(std::wstring(L"<B><Query type=\"registry\"><RegistryQueryConfig "
                               L"hkey=\"HKEY_LOCAL_MACHINE\" key=\"SOFTWARE\\%LANG%\" wert=\"v\" "
                               L"type=\"") +
                  c.type + L"\" value=\"" + c.value +
                  L"\"/><Negativ><Command type=\"nope\"/></Negativ></Query></B>");
        EXPECT_EQ(store_.RunChain(reg), c.matches) << EncodeUtf8(c.type) << c.matches;
    }
}

// What Windows would refuse never reaches the shell: a file name of MAX_PATH characters or
// more unless it starts with \\?\, a command line beyond 32,767 characters. (The declaration
// lets a '?' stand in a value.)
TEST_F(Additions, LaunchesBeyondWhatWindowsTakesFailUnasked) {
    system_.environment = {{L"LONG", std::wstring(300, L'v')}};
    const std::wstring longForm = L"\\\\?\\C:\\" + std::wstring(300, L'a');
    system_.startable = {L"a.exe", std::wstring(255, L'a') + L".exe", longForm};
    const struct {
        std::wstring path;
        std::size_t parameter;
        bool asked;
    } cases[] = {
        {std::wstring(255, L'a') + L".exe", 0, true},
        {std::wstring(256, L'a') + L".exe", 0, false},
        {L"%LONG%.exe", 0, false},
        {longForm, 0, true},
        {L"a.exe", 32767 - 9, true}, // in quotes, a space, the terminating zero: 32,767
        {L"a.exe", 32767 - 8, false},
    };
    for (const auto& c : cases) {
        system_.launches.clear();
        const std::int32_t exec = Build(
            L"<?xml version=\"1.0\"?><B><Command type=\"exec\"><ExecCommandConfig path=\"" +
            c.path + L"\" parameter=\"" + std::wstring(c.parameter, L'p') + L"\"/></Command></B>");
        EXPECT_EQ(store_.RunChain(exec), c.asked) << c.path.size() << " " << c.parameter;
        EXPECT_EQ(system_.launches.size(), c.asked ? 1u : 0u) << c.path.size();
    }
}

// Variables cost nothing until a step runs: building looks up none, and a text that its values
// make longer than Windows takes is cut one character beyond and fails unasked.
TEST_F(Additions, VariablesArePutInWhenAStepRuns) {
    system_.environment = {{L"X", std::wstring(1000, L'x')}};
    system_.startable = {L"a.exe"};
    const struct {
        int uses;
        std::size_t length; // of the parameter as run
        bool asked;
    } cases[] = {
        {32, 32000, true}, {33, kMaxExpandedText + 1, false}, {20000, kMaxExpandedText + 1, false}};
    for (const auto& c : cases) {
        std::wstring uses;
        for (int i = 0; i < c.uses; ++i) {
            uses += L"%X%";
        }
        system_.lookups = 0;
        system_.launches.clear();
        const std::int32_t exec = Build(L"<B><Command type=\"exec\"><ExecCommandConfig "
                                        L"path=\"a.exe\" parameter=\"" +
                                        uses + L"\"/></Command></B>");
        EXPECT_EQ(system_.lookups, 0) << c.uses;
        EXPECT_EQ(static_cast<cmdExec*>(store_.At(exec))->Parameter().size(), c.length);
        EXPECT_EQ(store_.RunChain(exec), c.asked) << c.uses;
        EXPECT_EQ(system_.launches.size(), c.asked ? 1u : 0u) << c.uses;
    }
}

// Closed by the user during a step, the menu runs no further step and warns of nothing; a
// chain asked to start inside a running one does not start.
TEST_F(Additions, ClosingTheMenuStopsTheChain) {
    system_.startable = {L"a.exe"};
    dialog_.closeOn = L"zu";
    const std::int32_t chain = Build(
        L"<B><Command type=\"showmessage\"><ShowMessageCommandConfig message=\"zu\"/>"
        L"<Command type=\"exec\"><ExecCommandConfig path=\"a.exe\"/></Command></Command></B>");
    EXPECT_TRUE(store_.RunChain(chain));
    EXPECT_TRUE(system_.launches.empty());
    EXPECT_FALSE(store_.Running());
}

TEST_F(Additions, AnExitCodeCountsWithinTheWalkThatWaitedForIt) {
    system_.startable = {L"a.exe", L"doc.pdf"};
    system_.exitCodes = {{L"a.exe", 3010}};
    const auto chain = [&](const wchar_t* exec, const wchar_t* code) {
        return Build(std::wstring(L"<B><Command type=\"exec\"><ExecCommandConfig ") + exec +
                     L"/><Query type=\"exitcode\"><ExitCodeQueryConfig value=\"" + code +
                     L"\"/><Negativ><Command type=\"nope\"/></Negativ></Query></Command></B>");
    };
    EXPECT_TRUE(store_.RunChain(chain(L"path=\"a.exe\" wait=\"true\"", L"3010")));
    EXPECT_FALSE(store_.RunChain(chain(L"path=\"a.exe\" wait=\"true\"", L"0")));
    EXPECT_FALSE(store_.RunChain(chain(L"path=\"a.exe\"", L"3010"))); // not waited for
    // A document handed to a running viewer gives nothing to wait for.
    EXPECT_FALSE(store_.RunChain(chain(L"path=\"doc.pdf\" wait=\"true\"", L"0")));
    // A walk that waited for none asks in vain, whatever an earlier walk saw.
    const std::int32_t waited = chain(L"path=\"a.exe\" wait=\"true\"", L"3010");
    const std::int32_t alone = Build(L"<B><Query type=\"exitcode\"><ExitCodeQueryConfig "
                                     L"value=\"3010\"/><Negativ><Command type=\"nope\"/>"
                                     L"</Negativ></Query></B>");
    EXPECT_TRUE(store_.RunChain(waited));
    EXPECT_FALSE(store_.RunChain(alone));
    // Waiting and elevation reach the system; a plain launch stays the classic one.
    ASSERT_EQ(system_.runs.size(), 4u);
    EXPECT_TRUE(std::get<4>(system_.runs[0]));
    EXPECT_FALSE(std::get<3>(system_.runs[0]));
    EXPECT_EQ(system_.launches.size(), 1u);
    Build(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"a.exe\" elevate=\"true\" "
          L"maximized=\"true\"/></Command></B>");
    EXPECT_TRUE(store_.RunChain(static_cast<std::int32_t>(store_.Size()) - 1));
    EXPECT_EQ(system_.runs.back(),
              std::make_tuple(std::wstring(L"a.exe"), std::wstring(), true, true, false));
}

// The value is a 32-bit exit code: large codes and their negative spelling match; text
// that is no decimal code never matches, not even the code 0.
TEST_F(Additions, ExitCodesMatchAsThirtyTwoBitCodes) {
    system_.startable = {L"a.exe"};
    const struct {
        std::uint32_t code;
        const wchar_t* value;
        bool matches;
    } cases[] = {
        {0xFFFFFFFFu, L"4294967295", true},
        {0xFFFFFFFFu, L"-1", true},
        {0xC0000005u, L"3221225477", true},
        {0xC0000005u, L"-1073741819", true},
        {0x80070005u, L"0x80070005", false},
        {0u, L"", false},
        {0u, L"0x0", false},
        {0x7FFFFFFFu, L"4294967296", false},
    };
    for (const auto& c : cases) {
        system_.exitCodes = {{L"a.exe", c.code}};
        EXPECT_EQ(store_.RunChain(Build(
                      std::wstring(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"a.exe\" "
                                   L"wait=\"true\"/><Query type=\"exitcode\"><ExitCodeQueryConfig "
                                   L"value=\"") +
                      c.value +
                      L"\"/><Negativ><Command type=\"nope\"/></Negativ></Query></Command></B>")),
                  c.matches)
            << EncodeUtf8(c.value);
    }
}

TEST_F(Additions, RightsAndBitnessQueriesAskTheSystem) {
    const std::wstring tail = L"<Negativ><Command type=\"nope\"/></Negativ></Query></B>";
    const std::int32_t admin = Build(L"<B><Query type=\"admin\">" + tail);
    const std::int32_t os64 = Build(L"<B><Query type=\"os64\">" + tail);
    for (const bool on : {false, true}) {
        system_.administrator = on;
        system_.os64 = !on;
        EXPECT_EQ(store_.RunChain(admin), on);
        EXPECT_EQ(store_.RunChain(os64), !on);
    }
}

TEST_F(Additions, TheWarningNamesTheStepThatFailed) {
    system_.startable = {L"ok.exe"};
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
        store_.RunChain(Build(c.button));
        EXPECT_EQ(store_.FailedStep(), c.failed) << EncodeUtf8(c.button);
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

// A box shows at most 4,096 characters, the last "…"; a character of two UTF-16 units stays
// whole. (The real menu's boxes: the Wine tests.)
TEST(MenuMessagesTest, BoxTextsAreCutWhole) {
    const std::wstring a(kMaxBoxText - 2, L'a');
    const std::pair<std::wstring, std::wstring> cases[] = {
        {a + L"bc", a + L"bc"},
        {a + L"bcd", a + L"b\u2026"},
        {a + L"\xD83D\xDE00", a + L"\xD83D\xDE00"},
        {a + L"\xD83D\xDE00"
             L"b",
         a + L"\u2026"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_TRUE(BoxText(in) == out) << in.size();
    }
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
