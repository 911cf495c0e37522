// Each rule's example in the table of docs/authoring.md, section 9: a file holding it is
// reported by exactly that rule, and the file with the fix is clean. The docs and the rules
// cannot drift apart.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "CheckerMenu.h"
#include "FakeFiles.h"
#include "tools/Checker.h"
#include "tools/PngWriter.h"

namespace {

const std::string& kMenu = kCheckerMenu;

using Edits = std::vector<std::pair<std::string, std::string>>; // each replaced once

struct Example {
    const char* rule;
    const char* example; // as the docs' table writes it
    Edits mistake;
    Edits fix; // none: the file as it was
};

const std::string kCommand = "<Command type=\"weiter\"/>";
const std::string kLongName = std::string(70, 'n') + ".exe";

std::string Exec(const std::string& config) {
    return "<Command type=\"exec\"><ExecCommandConfig " + config + "/></Command>";
}

std::string Registry(const std::string& config) {
    return "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_LOCAL_MACHINE\" " + config +
           "/></Query>";
}

const std::string kQuit = "  <BtnBeenden><ButtonPosition top=\"200\"/><ButtonLayout "
                          "caption=\"Ende\"/><Command type=\"beenden\"/></BtnBeenden>\n";

const std::string kRememberedBox =
    "      <Box id=\"x\"><ButtonPosition left=\"10\" top=\"50\"/><ButtonLayout type=\"checkbox\" "
    "caption=\"X\" tabindex=\"2\" currentval=\"false\" remember=\"user\"/></Box>\n";

const Example kExamples[] = {
    {"unknown-element",
     "<buttonconfig>",
     {{"<ButtonConfig>", "<buttonconfig>"}, {"</ButtonConfig>", "</buttonconfig>"}},
     {}},
    {"unknown-attribute",
     "widht=\"200\"",
     {{"tabindex=\"1\"", "tabindex=\"1\" widht=\"200\""}},
     {{"tabindex=\"1\"", "tabindex=\"1\" width=\"200\""}}},
    {"not-a-default",
     "caption=\"...\"",
     {{"<ButtonLayout width", "<ButtonLayout caption=\"...\" width"}},
     {}},
    {"unused-settings",
     "ExecCommandConfig",
     {{kCommand,
       "<Command type=\"showmessage\"><ExecCommandConfig path=\"setup.exe\"/></Command>"}},
     {{kCommand, Exec("path=\"setup.exe\"")}}},
    {"duplicate-element",
     "General",
     {{"  <ToolTippConfig", "  <General caption=\"B\"/>\n  <ToolTippConfig"}},
     {}},
    {"duplicate-attribute", "General", {{"caption=\"A\"", "caption=\"A\" Caption=\"B\""}}, {}},
    {"keyword",
     "windowpos=\"Center\"",
     {{"height=\"300\"", "height=\"300\" windowpos=\"Center\""}},
     {{"height=\"300\"", "height=\"300\" windowpos=\"center\""}}},
    {"flag",
     "dreid=\"True\"",
     {{"tabindex=\"1\"", "tabindex=\"1\" dreid=\"True\""}},
     {{"tabindex=\"1\"", "tabindex=\"1\" dreid=\"true\""}}},
    {"number",
     "fontsize=\"28pt\"",
     {{"fontsize=\"12\"", "fontsize=\"28pt\""}},
     {{"fontsize=\"12\"", "fontsize=\"28\""}}},
    {"colour",
     "bgcolor=\"24,64,112\"",
     {{"caption=\"A\"", "caption=\"A\" bgcolor=\"24,64,112\""}},
     {{"caption=\"A\"", "caption=\"A\" bgcolor=\"24 64 112\""}}},
    {"font",
     "font=\"Arial bold\"",
     {{"font=\"Arial\"", "font=\"Arial bold\""}},
     {{"font=\"Arial\"", "font=\"Arial Bold\""}}},
    {"ampersand",
     "caption=\"Bilder & T\xc3\xb6ne\"",
     {{"caption=\"Los\"", "caption=\"Bilder & T\xc3\xb6ne\""}},
     {{"caption=\"Los\"", "caption=\"Bilder && T\xc3\xb6ne\""}}},
    {"trueifsuccess",
     "<Query type=\"yesnobox\" trueifsuccess=\"false\">",
     {{kCommand, "<Query type=\"yesnobox\" trueifsuccess=\"false\"><Positiv>" + kCommand +
                     "</Positiv></Query>"}},
     {{kCommand, "<Query type=\"yesnobox\"><Positiv>" + kCommand + "</Positiv></Query>"}}},
    {"unreached-chain",
     "type=\"checkbox\"",
     {{"<Button>", "<Button id=\"b\">"},
      {"caption=\"Los\"", "type=\"checkbox\" caption=\"Los\" currentval=\"false\""}},
     {{"<Button>", "<Button id=\"b\">"},
      {"caption=\"Los\"", "type=\"checkbox\" caption=\"Los\" currentval=\"false\""},
      {kCommand, ""}}},
    {"question-mark",
     "caption=\"Was nun?\"",
     {{"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", ""},
      {"caption=\"A\"", "caption=\"Was nun?\""}},
     {{"caption=\"A\"", "caption=\"Was nun?\""}}},
    {"comment", "<!-- alt -->", {{"  <Pages>", "  <!-- alt -->\n  <Pages>"}}, {}},
    {"doctype", "<!DOCTYPE config>", {{"<config>", "<!DOCTYPE config>\n<config>"}}, {}},
    {"end-tag", "</Page >", {{"</Page>", "</Page >"}}, {}},
    {"empty-element-space",
     "<Positiv/>",
     {{kCommand, "<Query type=\"yesnobox\"><Positiv/></Query>"}},
     {{kCommand, "<Query type=\"yesnobox\"><Positiv /></Query>"}}},
    {"attribute-space",
     "caption=\"A\"title=\"false\"",
     {{"caption=\"A\"", "caption=\"A\"title=\"false\""}},
     {{"caption=\"A\"", "caption=\"A\" title=\"false\""}}},
    {"quote",
     "caption='Start'",
     {{"caption=\"Los\"", "caption='Start'"}},
     {{"caption=\"Los\"", "caption=\"Start\""}}},
    {"backslash-end",
     "path=\"D:\\setup\\\"",
     {{kCommand, Exec("path=\"D:\\setup\\\" maximized=\"true\"")}},
     {{kCommand, Exec("path=\"D:\\setup\" maximized=\"true\"")}}},
    {"entity",
     "&amp;",
     {{"caption=\"Los\"", "caption=\"Los &amp; mehr\""}},
     {{"caption=\"Los\"", "caption=\"Los && mehr\""}}},
    {"entity",
     "Zur&uuml;ck",
     {{"caption=\"Los\"", "caption=\"Zur&uuml;ck\""}},
     {{"caption=\"Los\"", "caption=\"Zur\xc3\xbc"
                          "ck\""}}},
    {"trimmed-value",
     "caption=\"  Start\"",
     {{"caption=\"Los\"", "caption=\"  Start\""}},
     {{"caption=\"Los\"", "caption=\"Start\""}}},
    {"ignored-text", "Seiten:", {{"  <Pages>", "  Seiten:\n  <Pages>"}}, {}},
    {"xml-syntax", "<Page erste>", {{"<Page>", "<Page erste>"}}, {}},
    {"encoding",
     "Latin-1",
     {{"caption=\"A\"", "caption=\"Gr\xfc\xdf"
                        "e\""}},
     {{"caption=\"A\"", "caption=\"Gr\xc3\xbc\xc3\x9f"
                        "e\""}}},
    {"no-caption", "<ButtonLayout tabindex=\"1\"/>", {{"caption=\"Los\" ", ""}}, {}},
    {"checkbox-id",
     "<Box id=\"x\">",
     {{"      <Button>\n",
       "      <Box id=\"x\"><ButtonPosition top=\"100\"/><ButtonLayout type=\"checkbox\" "
       "caption=\"B\" currentval=\"false\"/></Box>\n      <Box id=\"x\"><ButtonPosition "
       "top=\"150\"/><ButtonLayout type=\"checkbox\" caption=\"C\" currentval=\"false\"/></Box>\n"
       "      <Button>\n"}},
     {{"      <Button>\n",
       "      <Box id=\"x\"><ButtonPosition top=\"100\"/><ButtonLayout type=\"checkbox\" "
       "caption=\"B\" currentval=\"false\"/></Box>\n      <Box id=\"y\"><ButtonPosition "
       "top=\"150\"/><ButtonLayout type=\"checkbox\" caption=\"C\" currentval=\"false\"/></Box>\n"
       "      <Button>\n"}}},
    {"currentval",
     "<Box currentval=\"false\" id=\"x\">",
     {{"      <Button>\n",
       "      <Box currentval=\"false\" id=\"x\"><ButtonPosition top=\"100\"/>"
       "<ButtonLayout type=\"checkbox\" caption=\"B\"/></Box>\n      <Button>\n"}},
     {{"      <Button>\n",
       "      <Box id=\"x\" currentval=\"false\"><ButtonPosition top=\"100\"/>"
       "<ButtonLayout type=\"checkbox\" caption=\"B\"/></Box>\n      <Button>\n"}}},
    {"tab-index",
     "tabindex=\"9\"",
     {{"  <Pages>", "  <BtnBeenden><ButtonPosition top=\"200\"/><ButtonLayout caption=\"Ende\" "
                    "tabindex=\"9\"/><Command type=\"beenden\"/></BtnBeenden>\n  <Pages>"}},
     {{"  <Pages>", "  <BtnBeenden><ButtonPosition top=\"200\"/><ButtonLayout caption=\"Ende\" "
                    "tabindex=\"0\"/><Command type=\"beenden\"/></BtnBeenden>\n  <Pages>"}}},
    {"quit-button",
     "<Page><BtnBeenden>",
     {{"<Page>\n", "<Page>" + kQuit.substr(2)}},
     {{"  <Pages>", kQuit + "  <Pages>"}}},
    {"gotopage",
     "page=\"3\"",
     {{kCommand, "<Command type=\"gotopage\"><GotoPageCommandConfig page=\"3\"/></Command>"}},
     {{kCommand, "<Command type=\"gotopage\"><GotoPageCommandConfig page=\"1\"/></Command>"}}},
    {"check-variable",
     "%CHECK:box%",
     {{kCommand, Exec("path=\"setup.exe\" parameter=\"/x=%CHECK:box%\"")}},
     {{kCommand, Exec("path=\"setup.exe\" parameter=\"/x\"")}}},
    {"condition",
     "<ShowIf><Query type=\"yesnobox\">",
     {{"tabindex=\"1\"/>", "tabindex=\"1\"/><ShowIf><Query type=\"yesnobox\"><YesNoBoxQueryConfig "
                           "caption=\"A\" message=\"B\"/></Query></ShowIf>"}},
     {{"tabindex=\"1\"/>", "tabindex=\"1\"/><ShowIf><Query type=\"arch\"><ArchQueryConfig "
                           "value=\"x64\"/></Query></ShowIf>"}}},
    {"remember",
     "remember=\"user\"",
     {{"    </Page>", kRememberedBox + "    </Page>"}},
     {{"    </Page>", kRememberedBox + "    </Page>"},
      {"caption=\"A\" width", "caption=\"A\" menuid=\"m\" width"}}},
    {"page",
     "<Pages><Button>",
     {{"<Pages>\n", "<Pages><Button><ButtonLayout caption=\"E\"/></Button>\n"}},
     {{"<Page>\n", "<Page><Button><ButtonPosition top=\"100\"/><ButtonLayout "
                   "caption=\"E\"/></Button>\n"}}},
    {"overlap",
     "top=\"110\"",
     {{"left=\"10\" top=\"10\"", "left=\"10\" top=\"110\""},
      {"      <Button>\n", "      <Box><ButtonPosition left=\"50\" top=\"110\"/><ButtonLayout "
                           "caption=\"B\"/></Box>\n      <Button>\n"}},
     {{"left=\"10\" top=\"10\"", "left=\"10\" top=\"110\""},
      {"      <Button>\n", "      <Box><ButtonPosition left=\"200\" top=\"110\"/><ButtonLayout "
                           "caption=\"B\"/></Box>\n      <Button>\n"}}},
    {"looks",
     "dreid=\"true\" transparent=\"true\"",
     {{"tabindex=\"1\"", "tabindex=\"1\" dreid=\"true\" transparent=\"true\""}},
     {{"tabindex=\"1\"", "tabindex=\"1\" dreid=\"true\""}}},
    {"tooltip",
     "Speed=\"0\"",
     {{"tttype=\"cursortt\" width=\"100\" height=\"40\">",
       "tttype=\"buttontt\" width=\"100\" height=\"40\">\n    <ButtonTTConfig Speed=\"0\" "
       "Interval=\"20\"/>"},
      {"caption=\"Los\"", "caption=\"Los\" tooltipp=\"Hilfe\""}},
     {{"tttype=\"cursortt\" width=\"100\" height=\"40\">",
       "tttype=\"buttontt\" width=\"100\" height=\"40\">\n    <ButtonTTConfig Speed=\"10\" "
       "Interval=\"20\"/>"},
      {"caption=\"Los\"", "caption=\"Los\" tooltipp=\"Hilfe\""}}},
    {"tooltip",
     "tooltipp=\"Eins\\nZwei\\nDrei\"",
     {{"caption=\"Los\"", "caption=\"Los\" tooltipp=\"Eins\\nZwei\\nDrei\""}},
     {{"caption=\"Los\"", "caption=\"Los\" tooltipp=\"Eins\\nZwei\\nDrei\""},
      {"height=\"40\"", "height=\"52\""}}},
    {"outside-window", "left=\"500\"", {{"left=\"10\" top=\"10\"", "left=\"500\" top=\"10\""}}, {}},
    {"control-size",
     "<ButtonLayout width=\"100\"/>",
     {{"<ButtonLayout width=\"100\" height=\"30\"/>", "<ButtonLayout width=\"100\"/>"}},
     {}},
    {"window-size", "<General caption=\"A\"/>", {{" width=\"400\" height=\"300\"/>", "/>"}}, {}},
    {"missing-file",
     "background=\"hintergrund.bmp\"",
     {{"caption=\"A\"", "caption=\"A\" background=\"hintergrund.bmp\""}},
     {{"caption=\"A\"", "caption=\"A\" background=\"back.png\""}}},
    {"picture-format",
     "background",
     {{"caption=\"A\"", "caption=\"A\" background=\"cut.png\""}},
     {{"caption=\"A\"", "caption=\"A\" background=\"back.png\""}}},
    {"url",
     "path=\"www.example.com\"",
     {{kCommand, Exec("path=\"www.example.com\"")}},
     {{kCommand, Exec("path=\"https://www.example.com\"")}}},
    {"url",
     "path=\"tessera.com/support\"",
     {{kCommand, Exec("path=\"tessera.com/support\"")}},
     {{kCommand, Exec("path=\"https://tessera.com/support\"")}}},
    {"makeabsolute",
     "path=\"C:\\x.exe\"",
     {{kCommand, Exec("path=\"C:\\x.exe\" makeabsolute=\"true\"")}},
     {{kCommand, Exec("path=\"C:\\x.exe\"")}}},
    {"file-query",
     "path=\"daten\\*.pdf\"",
     {{kCommand, "<Query type=\"file\"><FileQueryConfig path=\"daten\\*.pdf\"/></Query>"}},
     {{kCommand, "<Query type=\"file\"><FileQueryConfig path=\"setup.*\"/></Query>"}}},
    {"variable",
     "%MENUDIR%setup.exe",
     {{kCommand, Exec("path=\"%MENUDIR%setup.exe\"")}},
     {{kCommand, Exec("path=\"%MENUDIR%\\setup.exe\"")}}},
    {"exitcode",
     "value=\"0x80070005\"",
     {{kCommand, "<Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\" wait=\"true\"/>"
                 "<Query type=\"exitcode\"><ExitCodeQueryConfig value=\"0x80070005\"/></Query>"
                 "</Command>"}},
     {{kCommand, "<Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\" wait=\"true\"/>"
                 "<Query type=\"exitcode\"><ExitCodeQueryConfig value=\"2147942405\"/></Query>"
                 "</Command>"}}},
    {"registry-value",
     "type=\"REG_DWORD\" value=\"0x10\"",
     {{kCommand, Registry("key=\"SOFTWARE\\X\" wert=\"w\" type=\"REG_DWORD\" value=\"0x10\"")}},
     {{kCommand, Registry("key=\"SOFTWARE\\X\" wert=\"w\" type=\"REG_DWORD\" value=\"16\"")}}},
    {"winversion",
     "majorversion=\"11\"",
     {{kCommand, "<Query type=\"winversion\"><WinVersionQueryConfig checktype=\"1\" "
                 "majorversion=\"11\"/></Query>"}},
     {{kCommand, "<Query type=\"winversion\"><WinVersionQueryConfig checktype=\"1\" "
                 "majorversion=\"10\"/></Query>"}}},
    {"registry-key",
     "key=\"HKEY_LOCAL_MACHINE\\SOFTWARE\\X\"",
     {{kCommand, Registry("key=\"HKEY_LOCAL_MACHINE\\SOFTWARE\\X\" type=\"REG_SZ\" value=\"1\"")}},
     {{kCommand, Registry("key=\"SOFTWARE\\X\" type=\"REG_SZ\" value=\"1\"")}}},
    {"long-file-name",
     "path",
     {{kCommand, Exec("path=\"" + kLongName + "\" makeabsolute=\"true\"")}},
     {{kCommand, Exec("path=\"setup.exe\" makeabsolute=\"true\"")}}},
    {"unreadable",
     "caption=\"A -> B\"",
     {{"caption=\"Los\"", "caption=\"A -> B\""}},
     {{"caption=\"Los\"", "caption=\"A - B\""}}},
};

std::string Edited(const Edits& edits) {
    std::string text = kMenu;
    for (const auto& [from, to] : edits) {
        const std::size_t at = text.find(from);
        if (at == std::string::npos) {
            ADD_FAILURE() << "not in the menu: " << from;
            continue;
        }
        text.replace(at, from.size(), to);
    }
    return text;
}

CheckResult Check(const std::string& bytes) {
    const std::vector<std::uint8_t> pixels(12, 9);
    FakeFiles files({{L"setup.exe", "MZ"},
                     {std::wstring(kLongName.begin(), kLongName.end()), "MZ"},
                     {L"back.png", EncodePng(2, 2, pixels)},
                     {L"cut.png", EncodePng(2, 2, pixels).substr(0, 50)}});
    return CheckConfig(bytes, files);
}

// The rule table of section 9: each rule id with the row's example column.
std::map<std::string, std::string> DocumentedExamples() {
    std::ifstream in(NAVORA_SOURCE_DIR "/docs/authoring.md");
    const std::string docs((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::string, std::string> rows;
    const std::size_t table = docs.find("| Rule | Finds | Example |");
    EXPECT_NE(table, std::string::npos);
    for (std::size_t line = docs.find('\n', table) + 1; line < docs.size() && docs[line] == '|';) {
        const std::size_t end = docs.find('\n', line);
        const std::string row = docs.substr(line, end - line);
        const std::size_t first = row.find(" | ");
        const std::size_t last = row.rfind(" | ");
        for (std::size_t tick = row.find('`'); tick < first;) {
            const std::size_t close = row.find('`', tick + 1);
            rows[row.substr(tick + 1, close - tick - 1)] = row.substr(last + 3);
            tick = row.find('`', close + 1);
        }
        line = end + 1;
    }
    return rows;
}

TEST(CheckerDocs, EveryRuleHasItsExampleAndEveryExampleItsRule) {
    const std::map<std::string, std::string> documented = DocumentedExamples();
    EXPECT_GE(documented.size(), 50u);
    std::set<std::string> tested;
    for (const Example& e : kExamples) {
        tested.insert(e.rule);
        const auto row = documented.find(e.rule);
        ASSERT_NE(row, documented.end()) << e.rule << " is not in the docs' table";
        EXPECT_NE(row->second.find(e.example), std::string::npos)
            << e.rule << ": the docs do not give the example " << e.example;
    }
    for (const auto& [rule, example] : documented) {
        EXPECT_EQ(tested.count(rule), 1u) << "no example of " << rule << " is tested";
    }
}

class CheckerDocsExample : public testing::TestWithParam<Example> {};

TEST_P(CheckerDocsExample, IsReportedByItsRuleAndItsFixIsClean) {
    const Example& e = GetParam();
    const std::string mistake = Edited(e.mistake);
    if (std::string_view(e.rule) != "encoding") {
        EXPECT_NE(mistake.find(e.example), std::string::npos) << "the file lacks the example";
    }
    const CheckResult result = Check(mistake);
    ASSERT_FALSE(result.diagnostics.empty()) << e.rule << " is silent on " << e.example;
    for (const Diagnostic& d : result.diagnostics) {
        EXPECT_EQ(d.rule, e.rule) << d.message;
    }
    std::string findings;
    for (const Diagnostic& d : Check(Edited(e.fix)).diagnostics) {
        findings += FormatDiagnostic("m.xml", d, false);
    }
    EXPECT_EQ(findings, "") << "the fixed form of " << e.example;
}

INSTANTIATE_TEST_SUITE_P(Section9, CheckerDocsExample, testing::ValuesIn(kExamples));

} // namespace
