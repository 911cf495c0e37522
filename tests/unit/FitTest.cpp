// The vocabulary that fits a menu to the PC and the person in the platform-free core: pages by
// number, and the checker's rules for it.
#include <gtest/gtest.h>

#include "ChainTest.h"
#include "actions/Conditions.h"
#include "config/CommandLine.h"
#include "config/HighContrast.h"
#include "config/MenuSettings.h"
#include "tools/checks/NewVocabularyRules.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

class Fit : public ChainTest {};

TEST_F(Fit, GotoPageCountsFromOneAndFailsForAPageThatDoesNotExist) {
    const struct {
        const wchar_t* page;
        int pageCount;
        bool runs;     // the chain runs through
        int shownPage; // 0-based afterwards; the start page is 1
    } cases[] = {
        {L"1", 3, true, 0},   {L"3", 3, true, 2}, {L"4", 3, false, 1}, {L"0", 3, false, 1},
        {L"-1", 3, false, 1}, {L"", 3, false, 1}, {L"2x", 3, true, 1}, {L"1", 0, false, 1},
    };
    for (const auto& c : cases) {
        dialog_.pageCount = c.pageCount;
        dialog_.page = 1;
        const std::int32_t chain =
            Build(std::wstring(L"<B><Command type=\"gotopage\"><GotoPageCommandConfig page=\"") +
                  c.page + L"\"/><Command type=\"minimize\"/></Command></B>");
        dialog_.events.clear();
        EXPECT_EQ(store_.RunChain(chain), c.runs) << EncodeUtf8(c.page);
        EXPECT_EQ(dialog_.page, c.shownPage) << EncodeUtf8(c.page);
        // The rest of the chain runs only after a page that exists.
        EXPECT_EQ(dialog_.events.size(), c.runs ? 1u : 0u) << EncodeUtf8(c.page);
        if (!c.runs) {
            EXPECT_EQ(store_.FailedStep().rfind(L"gotopage page=\"", 0), 0u);
        }
    }
}

TEST_F(Fit, ArchIsTheMachinesOwnArchitecture) {
    using M = MachineArch;
    const struct {
        const wchar_t* value;
        M machine;
        bool holds;
    } cases[] = {
        {L"x86", M::X86, true},    {L"x64", M::X64, true},   {L"arm64", M::Arm64, true},
        {L"x64", M::Arm64, false}, {L"x86", M::X64, false},  {L"X64", M::X64, false},
        {L"amd64", M::X64, false}, {L"", M::Unknown, false}, {L"arm64", M::Unknown, false},
    };
    for (const auto& c : cases) {
        system_.arch = c.machine;
        const std::int32_t chain =
            Build(std::wstring(L"<B><Query type=\"arch\"><ArchQueryConfig value=\"") + c.value +
                  L"\"/><Positiv><Command type=\"minimize\"/></Positiv></Query></B>");
        dialog_.events.clear();
        EXPECT_TRUE(store_.RunChain(chain));
        EXPECT_EQ(dialog_.events.size(), c.holds ? 1u : 0u) << EncodeUtf8(c.value);
    }
}

TEST_F(Fit, CheckVariablesTakeTheBoxesStatesWhenTheCommandRuns) {
    system_.programPath = L"E:\\m\\navora.exe";
    system_.environment = {{L"V", L"%CHECK:a%"}};
    system_.startable = {L"E:\\m\\s1.exe", L"E:\\m\\plain.exe"};
    dialog_.checkBoxes = {{L"a", true}, {L"b", false}, {L"", true}};
    const std::int32_t chain =
        Build(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"s%CHECK:a%.exe\" "
              L"makeabsolute=\"true\" parameter=\"/a=%CHECK:a% /b=%check:b% /c=%CHECK:c% %V% "
              L"%CHECK:% %MENUDIR%\"/></Command></B>");
    const std::int32_t plain = Build(L"<B><Command type=\"exec\"><ExecCommandConfig "
                                     L"path=\"%MENUDIR%\\plain.exe\" parameter=\"%V%\"/>"
                                     L"</Command></B>");
    EXPECT_TRUE(store_.RunChain(chain));
    // An unknown id stays as written; a value put in is not read again.
    const std::wstring parameter = L"/a=1 /b=0 /c=%CHECK:c% %CHECK:a% 1 E:\\m";
    ASSERT_EQ(system_.launches.size(), 1u);
    EXPECT_EQ(std::get<0>(system_.launches[0]), L"E:\\m\\s1.exe");
    EXPECT_EQ(EncodeUtf8(std::get<1>(system_.launches[0])), EncodeUtf8(parameter));
    // The state of the moment the command runs.
    dialog_.checkBoxes[L"a"] = false;
    EXPECT_FALSE(store_.RunChain(chain)); // s0.exe cannot start
    EXPECT_EQ(std::get<0>(system_.launches.back()), L"E:\\m\\s0.exe");
    EXPECT_EQ(store_.FailedStep(), L"E:\\m\\s0.exe");
    // Every variable is put in when the command runs.
    system_.environment[L"V"] = L"later";
    EXPECT_TRUE(store_.RunChain(plain));
    EXPECT_EQ(std::get<1>(system_.launches.back()), L"later");
}

TEST_F(Fit, AConditionHoldsWhenAllItsQueriesHoldAndNeverAsksTheUser) {
    system_.os64 = true;
    system_.existing = {L"da.txt"};
    const struct {
        const wchar_t* queries;
        bool holds;
    } cases[] = {
        {L"", true},
        {L"<Query type=\"os64\"/>", true},
        {L"<Query type=\"os64\" negate=\"true\"/>", false},
        {L"<Query type=\"os64\" negate=\"True\"/>", true}, // on only for "true"
        {L"<Query type=\"os64\"/><Query type=\"file\"><FileQueryConfig path=\"da.txt\"/></Query>",
         true},
        {L"<Query type=\"os64\"/><Query type=\"file\"><FileQueryConfig path=\"weg.txt\"/></Query>",
         false},
        {L"<Query type=\"admin\" negate=\"true\"/>", true},
        {L"<Query type=\"arch\"><ArchQueryConfig value=\"x64\"/></Query>", true},
        // Never a condition: it would ask the user, or needs a chain's program; or unknown.
        {L"<Query type=\"yesnobox\"/>", false},
        {L"<Query type=\"yesnobox\" negate=\"true\"/>", false},
        {L"<Query type=\"exitcode\" negate=\"true\"><ExitCodeQueryConfig value=\"0\"/></Query>",
         false},
        {L"<Query type=\"os65\" negate=\"true\"/>", false},
        // Only "Query" children count; their branches never run.
        {L"<Command type=\"beenden\"/>", true},
        {L"<Query type=\"os64\"><Positiv><Command type=\"beenden\"/></Positiv></Query>", true},
    };
    for (const auto& c : cases) {
        for (const wchar_t* element : {L"ShowIf", L"EnableIf"}) {
            const std::wstring text = std::wstring(L"<B><ButtonLayout caption=\"B\"/><") + element +
                                      L">" + c.queries + L"</" + element + L"></B>";
            const auto tree = ParseXmlText(text);
            const ControlSettings control = ReadControlSettings(tree->Root(), nullptr);
            const ConditionSettings& condition =
                element[0] == L'S' ? control.showIf : control.enableIf;
            dialog_.boxes.clear();
            dialog_.events.clear();
            EXPECT_EQ(ConditionHolds(store_, BuildCondition(store_, condition)), c.holds)
                << EncodeUtf8(text);
            EXPECT_TRUE(dialog_.boxes.empty() && dialog_.events.empty()) << EncodeUtf8(text);
        }
    }
}

// In high contrast the system's colours replace the file's: every control opaque, hovered in
// the highlight colours, disabled in grey text; pictures stay. Tested here on the settings:
// Wine keeps no high-contrast mode (SPI_SETHIGHCONTRAST is not stored, SPI_GETHIGHCONTRAST
// always says off), so its window suite skips the drawing that Windows shows.
TEST(HighContrast, TheSystemsColoursReplaceTheFilesAndPicturesStay) {
    const SystemColours system{1, 2, 3, 4, 5, 6, 7, 8};
    for (const wchar_t* layout :
         {L"<ButtonLayout caption=\"B\"/>",
          L"<ButtonLayout caption=\"B\" transparent=\"true\" bgcolor=\"9 9 9\" icon=\"i.bmp\" "
          L"background=\"b.bmp\" disabledtextcolor=\"0 255 0\"/><ButtonMouseOverLayout "
          L"transparent=\"true\" bgcolor=\"8 8 8\"/><Font textcolor=\"7 7 7\"/>"}) {
        const auto tree = ParseXmlText(std::wstring(L"<B>") + layout + L"</B>");
        ControlSettings control = ReadControlSettings(tree->Root(), nullptr);
        const ControlSettings asWritten = ReadControlSettings(tree->Root(), nullptr);
        UseSystemColours(control, system);
        EXPECT_EQ(control.bgColor, system.buttonFace);
        EXPECT_EQ(control.textColor, system.buttonText);
        EXPECT_FALSE(control.transparent);
        EXPECT_EQ(control.hoverBgColor, system.highlight);
        EXPECT_EQ(control.hoverTextColor, system.highlightText);
        EXPECT_FALSE(control.hoverTransparent);
        EXPECT_EQ(control.disabledTextColor, system.grayText);
        EXPECT_EQ(control.icon, asWritten.icon);
        EXPECT_EQ(control.background, asWritten.background);
    }
    const auto tree =
        ParseXmlText(L"<config><General bgcolor=\"9 9 9\" background=\"b.bmp\"/>"
                     L"<ToolTippConfig bgcolor=\"9 9 9\"><TTFont textcolor=\"9 9 9\"/>"
                     L"</ToolTippConfig></config>");
    WindowSettings window = ReadWindowSettings(FindChild(&tree->Root(), L"General"));
    TooltipSettings tip = ReadTooltipSettings(FindChild(&tree->Root(), L"ToolTippConfig"));
    UseSystemColours(window, system);
    UseSystemColours(tip, system);
    EXPECT_EQ(window.bgColor, system.window);
    EXPECT_EQ(window.background, L"b.bmp");
    EXPECT_EQ(tip.bgColor, system.infoBackground);
    EXPECT_EQ(tip.textColor, system.infoText);
}

// The findings of the new rules as "LINE:COLUMN rule: message" lines.
std::vector<std::string> Findings(const std::wstring& text) {
    std::vector<std::string> lines;
    for (const Diagnostic& d : CheckNewVocabulary(*ParseXmlText(text), text)) {
        lines.push_back(std::to_string(d.line) + ":" + std::to_string(d.column) + " " + d.rule +
                        (d.severity == Severity::Error ? " error: " : " warning: ") + d.message);
    }
    return lines;
}

std::wstring TwoPages(const std::wstring& firstPageControls) {
    return L"<config>\n<Pages><Page>\n" + firstPageControls + L"</Page><Page/></Pages></config>";
}

TEST(NewVocabularyRules, GotoPageToAPageTheFileDoesNotHave) {
    const std::wstring go = L"<B><ButtonLayout caption=\"B\"/><Command type=\"gotopage\">"
                            L"<GotoPageCommandConfig page=\"";
    EXPECT_TRUE(Findings(TwoPages(go + L"2\"/></Command></B>\n")).empty());
    EXPECT_EQ(Findings(TwoPages(go + L"3\"/></Command></B>\n")),
              std::vector<std::string>{"3:84 gotopage error: gotopage leads to page 3, but the "
                                       "file has 2 pages (counted from 1): the step fails and "
                                       "the menu shows the chain warning"});
    // Without a settings element the place is the command's.
    EXPECT_EQ(Findings(TwoPages(L"<B><ButtonLayout caption=\"B\"/><Query type=\"os64\"><Negativ>"
                                L"<Command type=\"gotopage\"/></Negativ></Query></B>\n"))
                  .at(0)
                  .substr(0, 17),
              "3:59 gotopage err");
}

TEST(NewVocabularyRules, CheckVariablesNameABoxOfTheFile) {
    const std::wstring box = L"<X id=\"agb\"><ButtonLayout caption=\"X\" type=\"checkbox\"/></X>\n";
    const auto exec = [&](const std::wstring& parameter) {
        return Findings(TwoPages(box +
                                 L"<B><ButtonLayout caption=\"B\"/><Command type=\"exec\">"
                                 L"<ExecCommandConfig path=\"s.exe\" parameter=\"" +
                                 parameter + L"\"/></Command></B>\n"));
    };
    EXPECT_TRUE(exec(L"/agb=%CHECK:agb% %check:agb%").empty());
    EXPECT_EQ(exec(L"%TEMP%\\%CHECK:AGB%%CHECK:x%"),
              (std::vector<std::string>{
                  "4:94 check-variable error: %CHECK:AGB% names no check box's id: the program "
                  "gets it as written, not 1 or 0",
                  "4:94 check-variable error: %CHECK:x% names no check box's id: the program "
                  "gets it as written, not 1 or 0"}));
}

TEST(NewVocabularyRules, ConditionsNeverAskTheUserNorReadAnExitCode) {
    EXPECT_EQ(
        Findings(
            TwoPages(L"<B><ButtonLayout caption=\"B\"/><ShowIf><Query type=\"os64\"/>"
                     L"<Query type=\"yesnobox\"/></ShowIf>\n<EnableIf><Query type=\"exitcode\" "
                     L"negate=\"true\"/></EnableIf></B>\n")),
        (std::vector<std::string>{
            "3:71 condition error: a yesnobox query cannot be a condition: the menu asks nothing "
            "while it shows a page, and the condition never holds",
            "4:23 condition error: an exitcode query cannot be a condition: no chain has run a "
            "program for it, and the condition never holds"}));
}

TEST(NewVocabularyRules, RememberNeedsAMenuId) {
    const std::wstring box = L"<X id=\"agb\"><ButtonLayout caption=\"X\" type=\"checkbox\" "
                             L"remember=\"user\"/></X>\n";
    EXPECT_EQ(Findings(TwoPages(box)),
              std::vector<std::string>{
                  "3:64 remember error: remember=\"user\" needs a menuid on <General>, which names "
                  "where the choice is kept: without it the menu remembers nothing"});
    EXPECT_TRUE(Findings(L"<config><General menuid=\"Demo\"/><Pages><Page>" + box +
                         L"</Page></Pages></config>")
                    .empty());
}

TEST(LanguageVariants, FromTheWholeTagToItsLanguage) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(LanguageVariants(L"navora.xml", L"de-AT"),
              (V{L"navora.de-AT.xml", L"navora.de.xml"}));
    EXPECT_EQ(LanguageVariants(L"menu.XML", L"zh-Hant-TW"),
              (V{L"menu.zh-Hant-TW.XML", L"menu.zh-Hant.XML", L"menu.zh.XML"}));
    EXPECT_EQ(LanguageVariants(L"navora.xml", L"de"), (V{L"navora.de.xml"}));
    EXPECT_EQ(LanguageVariants(L"navora.xml", L""), V{});
    EXPECT_EQ(LanguageVariants(L"navora", L"de"), V{});
}

TEST(NewVocabularyRules, ALanguageVariantHasEveryPageControlAndBoxOfThePlainFile) {
    const std::wstring plain =
        L"<config><Pages><Page><A><ButtonLayout caption=\"Start\"/></A><X id=\"agb\">"
        L"<ButtonLayout caption=\"AGB\" type=\"checkbox\"/></X></Page><Page/></Pages></config>";
    const auto compare = [&](const std::wstring& variant) {
        std::vector<std::string> lines;
        for (const Diagnostic& d :
             CompareLanguageVariant(*ParseXmlText(plain), *ParseXmlText(variant), variant)) {
            lines.push_back(std::to_string(d.line) + ":" + std::to_string(d.column) + " " + d.rule +
                            (d.severity == Severity::Warning ? " warning: " : " error: ") +
                            d.message);
        }
        return lines;
    };
    EXPECT_TRUE(compare(L"<config><Pages><Page><A><ButtonLayout caption=\"Go\"/></A><Y id=\"agb\">"
                        L"<ButtonLayout caption=\"Terms\" type=\"checkbox\"/></Y></Page><P/>"
                        L"</Pages></config>")
                    .empty());
    EXPECT_EQ(compare(L"<config>\n<Pages>\n<Page><A><ButtonLayout caption=\"Go\"/></A></Page>"
                      L"</Pages></config>"),
              (std::vector<std::string>{
                  "3:1 language-variant warning: this language variant lacks control 2 of page 1 "
                  "of the plain file (\"AGB\")",
                  "2:1 language-variant warning: this language variant lacks page 2 of the plain "
                  "file",
                  "1:1 language-variant warning: this language variant has no check box with the "
                  "id \"agb\" of the plain file: a program that reads its state there finds "
                  "none"}));
}

} // namespace
