// What-if walks: the demo menu and small chains under different facts, step by step,
// and the reading of facts.
#include <gtest/gtest.h>

#include <set>

#include "FakeFiles.h"
#include "tools/DiskFiles.h"
#include "tools/Walk.h"
#include "xml/xmlReader.h"

namespace {

WalkFacts ReadFacts(const std::vector<std::string>& assumed) {
    WalkFacts facts;
    for (const std::string& fact : assumed) {
        std::string error;
        EXPECT_TRUE(ParseFact(fact, facts, error)) << fact << ": " << error;
    }
    return facts;
}

std::vector<ControlWalk> Walk(const std::wstring& text, const std::vector<std::string>& assumed,
                              std::set<std::wstring> present = {}) {
    FakeFiles files(std::move(present));
    return WalkMenu(*ParseXmlText(text), text, ReadFacts(assumed), files);
}

// "?winversion(1,6.1) -> no (assumed)": "?" for a query, the arguments' values in order.
std::string Describe(const WalkStep& s) {
    std::string out = (s.query ? "?" : "") + s.type + "(";
    for (std::size_t i = 0; i < s.args.size(); ++i) {
        out += (i > 0 ? "," : "") + s.args[i].second;
    }
    out += ")";
    if (s.answer) {
        out += std::string(" -> ") + (*s.answer ? "yes" : "no") +
               (s.assumed ? " (assumed)" : " (default)");
    }
    return out;
}

std::vector<std::string> Steps(const ControlWalk& walk) {
    std::vector<std::string> steps;
    for (const WalkStep& s : walk.steps) {
        steps.push_back(Describe(s));
    }
    return steps;
}

struct DemoCase {
    std::vector<std::string> facts;
    int page;
    int control;
    std::vector<std::string> steps; // the walk ends "done"
    bool shown = true;              // the control's "ShowIf" holds
};

const DemoCase kDemoCases[] = {
    {{}, 0, 1, {"beenden()"}},
    {{}, 1, 2, {"exec(<menu folder>\\handbuch.txt,,normal)"}},
    {{}, 1, 4, {}},            // a check box only toggles
    {{}, 3, 2, {"weiter(1)"}}, // from the last page to the first
    // Page 3 shows the driver for the machine's architecture only.
    {{}, 3, 3, {"showmessage(Treiber,Hier startete das Setup des Treibers f\u00fcr x64.)"}},
    {{}, 3, 4, {}, false},
    {{"arch=arm64"},
     3,
     4,
     {"showmessage(Treiber,Hier startete das Setup des Treibers f\u00fcr ARM64.)"}},
    {{"arch=arm64"}, 3, 3, {}, false},
    {{"os64=no"},
     3,
     5,
     {"showmessage(Treiber,Hier startete das Setup des Treibers f\u00fcr x86.)"}},
    {{},
     2,
     1,
     {"?file(<menu folder>\\setup.exe) -> no (default)",
      "showmessage(Setup,Auf diesem Datentr\u00e4ger gibt es kein Setup.)"}},
    {{"file:SETUP.EXE=present"},
     2,
     1,
     {"?file(<menu folder>\\setup.exe) -> yes (assumed)",
      "exec(<menu folder>\\setup.exe,--choice 0,normal)"}},
    {{},
     2,
     2,
     {"?winversion(1,6.1) -> yes (default)",
      "showmessage(Version,Windows 7 oder neuer: alles bereit.)"}},
    {{"winversion=5.1"},
     2,
     2,
     {"?winversion(1,6.1) -> no (assumed)", "showmessage(Version,Dieses Windows ist zu alt.)"}},
    {{},
     2,
     3,
     {"?registry(HKEY_CURRENT_USER,Software\\Navora\\Rundgang,Version,REG_SZ,1.0) -> no (default)",
      "showmessage(Registry,Noch nicht installiert.)"}},
    // Registry names compare without letter case; the view does not change the answer.
    {{"registry:hkey_current_user\\SOFTWARE\\Navora\\Rundgang\\version=REG_SZ:1.0", "wow64=yes"},
     2,
     3,
     {"?registry(HKEY_CURRENT_USER,Software\\Navora\\Rundgang,Version,REG_SZ,1.0) -> yes (assumed)",
      "showmessage(Registry,Version 1.0 ist installiert.)"}},
    {{},
     2,
     4,
     {"?yesnobox(Navora,Soll das Men\u00fc verkleinert werden) -> yes (default)", "minimize()"}},
    {{"yesno=no"},
     2,
     4,
     {"?yesnobox(Navora,Soll das Men\u00fc verkleinert werden) -> no (assumed)"}},
    // The box's own fact wins over the one for every box, whatever their order.
    {{"yesno:Soll das Men\u00fc verkleinert werden=yes", "yesno=no"},
     2,
     4,
     {"?yesnobox(Navora,Soll das Men\u00fc verkleinert werden) -> yes (assumed)", "minimize()"}},
};

class DemoWalks : public ::testing::TestWithParam<DemoCase> {};

TEST_P(DemoWalks, TakeTheBranchTheFactsChoose) {
    const DemoCase& d = GetParam();
    std::wstring text;
    ASSERT_TRUE(LoadConfigText(std::string(NAVORA_SOURCE_DIR) + "/examples/demo/navora.xml", text));
    const auto walks = Walk(text, d.facts, {L"handbuch.txt"});
    ASSERT_EQ(walks.size(), 16u); // the quit button and 4 + 6 + 5 page controls
    EXPECT_EQ(walks[2].caption, "Handbuch \u00f6ffnen");
    EXPECT_EQ(walks[2].line, 29u);
    const auto w = std::find_if(walks.begin(), walks.end(), [&](const ControlWalk& c) {
        return c.page == d.page && c.control == d.control;
    });
    ASSERT_NE(w, walks.end());
    EXPECT_EQ(Steps(*w), d.steps);
    EXPECT_EQ(w->shown, d.shown);
    EXPECT_FALSE(w->failed);
}

INSTANTIATE_TEST_SUITE_P(Walk, DemoWalks, ::testing::ValuesIn(kDemoCases));

struct ChainCase {
    std::vector<std::string> facts;
    std::wstring chain; // the only button's children; da.exe is beside the configuration
    std::vector<std::string> steps;
    bool failed;
};

const ChainCase kChainCases[] = {
    // A launch that fails ends the walk: "beenden" does not run.
    {{},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"fehlt.exe\"/><Command "
     L"type=\"beenden\"/></Command>",
     {"exec(fehlt.exe,,normal)"},
     true},
    {{},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"da.exe\" parameter=\"/q\" "
     L"maximized=\"true\"/><Command type=\"beenden\"/></Command>",
     {"exec(da.exe,/q,maximized)", "beenden()"},
     false},
    {{"file:*.exe=absent"},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"da.exe\"/></Command>",
     {"exec(da.exe,,normal)"},
     true},
    {{"file:*=present"},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"C:\\x.exe\" "
     L"makeabsolute=\"true\"/></Command>",
     {"exec(<menu folder>\\C:\\x.exe,,normal)"},
     true},
    // URLs and absolute paths start.
    {{},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"https://example.org/\"/><Command "
     L"type=\"exec\"><ExecCommandConfig path=\"C:\\Windows\\notepad.exe\"/></Command></Command>",
     {"exec(https://example.org/,,normal)", "exec(C:\\Windows\\notepad.exe,,normal)"},
     false},
    {{"file:tutorrun.exe=present"},
     L"<Command type=\"lernprog\"><LernprogCommandConfig parameter=\"k1\"/></Command>",
     {"lernprog(TUTORRUN.exe,k1,normal)"},
     false},
    // Unknown types: first, after a step that ran, in the branch taken.
    {{}, L"<Command type=\"Weiter\"><Command type=\"beenden\"/></Command>", {"Weiter()"}, true},
    {{},
     L"<Command type=\"showmessage\"><Query type=\"files\"/></Command>",
     {"showmessage(,)", "?files()"},
     true},
    {{"file:da.exe=absent"},
     L"<Query type=\"file\"><FileQueryConfig path=\"da.exe\"/><Positiv><Command "
     L"type=\"minimize\"/></Positiv><Negativ><Command type=\"minimise\"/></Negativ></Query>",
     {"?file(da.exe) -> no (assumed)", "minimise()"},
     true},
    {{"winversion=6.2"},
     L"<Query type=\"winversion\"><WinVersionQueryConfig checktype=\"0\" majorversion=\"6\" "
     L"minorversion=\"2\"/></Query>",
     {"?winversion(0,6.2) -> yes (assumed)"},
     false},
    {{},
     L"<Command type=\"beenden\"><Command type=\"zur\u00fcck\"/></Command>",
     {"beenden()", "zur\u00fcck(2)"},
     false},
    // Pages by number: a page the file does not have fails the step, and the chain ends.
    {{},
     L"<Command type=\"gotopage\"><GotoPageCommandConfig page=\"2\"/><Command "
     L"type=\"beenden\"/></Command>",
     {"gotopage(2)", "beenden()"},
     false},
    {{},
     L"<Command type=\"gotopage\"><GotoPageCommandConfig page=\"3\"/><Command "
     L"type=\"beenden\"/></Command>",
     {"gotopage(3)"},
     true},
    // "HKCU" reads HKEY_CURRENT_CONFIG.
    {{"registry:HKEY_CURRENT_USER\\K\\N=REG_SZ:1"},
     L"<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKCU\" key=\"K\" wert=\"N\" "
     L"type=\"REG_SZ\" value=\"1\"/></Query>",
     {"?registry(HKEY_CURRENT_CONFIG,K,N,REG_SZ,1) -> no (default)"},
     false},
    // Variables in the key, the compared data as written.
    {{"registry:HKEY_USERS\\<menu folder>\\N=REG_SZ:%MENUDIR%"},
     L"<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_USERS\" key=\"%MENUDIR%\" "
     L"wert=\"N\" type=\"REG_SZ\" value=\"%MENUDIR%\"/></Query>",
     {"?registry(HKEY_USERS,<menu folder>,N,REG_SZ,%MENUDIR%) -> yes (assumed)"},
     false},
};

class ChainWalks : public ::testing::TestWithParam<ChainCase> {};

TEST_P(ChainWalks, EndAsTheMenuWould) {
    const ChainCase& c = GetParam();
    const auto walks = Walk(L"<config><Pages><Page><Button><ButtonLayout caption=\"B\"/>" +
                                c.chain + L"</Button></Page><Page/></Pages></config>",
                            c.facts, {L"da.exe"});
    ASSERT_EQ(walks.size(), 1u);
    EXPECT_EQ(Steps(walks[0]), c.steps);
    EXPECT_EQ(walks[0].failed, c.failed);
}

INSTANTIATE_TEST_SUITE_P(Walk, ChainWalks, ::testing::ValuesIn(kChainCases));

TEST(WalkTest, TheQuitButtonStartsOnTheFirstPageAndCheckBoxesRunNothing) {
    const auto walks = Walk(L"<config><BtnBeenden><ButtonLayout caption=\"Q\"/><Command "
                            L"type=\"zur\u00fcck\"/></BtnBeenden><Pages><Page><Box><ButtonLayout "
                            L"caption=\"C\" type=\"checkbox\"/><Command "
                            L"type=\"beenden\"/></Box><Bare><Command type=\"beenden\"/></Bare>"
                            L"</Page><Page/><Page/></Pages></config>",
                            {});
    ASSERT_EQ(walks.size(), 3u);
    // Without a caption the menu stops at start: nothing of this control runs.
    EXPECT_TRUE(walks[2].stops);
    EXPECT_TRUE(walks[2].steps.empty());
    EXPECT_NE(WalkText(walks).find("control 2 \"\" (line 1)\n  end: the menu stops here at start "
                                   "with \"Caption f\u00fcr Button wurde nicht gesetzt\"\n"),
              std::string::npos);
    EXPECT_EQ(walks[0].page, 0);
    EXPECT_EQ(Steps(walks[0]), std::vector<std::string>{"zur\u00fcck(3)"});
    EXPECT_EQ(walks[1].page, 1);
    EXPECT_TRUE(walks[1].steps.empty());
    EXPECT_FALSE(walks[1].failed);
}

TEST(WalkTest, TextAndJsonSayTheSame) {
    const auto walks =
        Walk(L"<config><Pages><Page><Button><ButtonLayout caption=\"A \\\"B\\\"\"/><Query "
             L"type=\"yesnobox\"><YesNoBoxQueryConfig message=\"M\"/><Negativ><Command "
             L"type=\"x\"/></Negativ></Query></Button></Page></Pages></config>",
             {"yesno=no"});
    EXPECT_EQ(WalkText(walks), "page 1, control 1 \"A \"B\"\" (line 1)\n"
                               "  query yesnobox caption=\"\" message=\"M\" -> Negativ (assumed)\n"
                               "  command x\n"
                               "  end: failed at the last step; the menu shows \"Nicht alle "
                               "Commands/Abfragen konnten ausgef\u00fchrt werden\"\n");
    EXPECT_EQ(WalkJson(walks),
              "[{\"page\":1,\"control\":1,\"caption\":\"A \\\"B\\\"\",\"line\":1,\"steps\":["
              "{\"kind\":\"query\",\"type\":\"yesnobox\",\"args\":{\"caption\":\"\",\"message\":"
              "\"M\"},\"answer\":false,\"from\":\"assumed\"},"
              "{\"kind\":\"command\",\"type\":\"x\",\"args\":{}}],\"end\":\"failed\"}]");
}

struct FactCase {
    const char* fact;
    std::wstring query; // the settings element of the query
    bool answer;
    bool assumed = true;
};

std::wstring Reg(const wchar_t* type, const wchar_t* value, const wchar_t* name = L"N") {
    return L"<RegistryQueryConfig hkey=\"HKEY_USERS\" key=\"K\" wert=\"" + std::wstring(name) +
           L"\" type=\"" + type + L"\" value=\"" + value + L"\"/>";
}

// Each fact read and answering a query as the machine it describes would.
const FactCase kFacts[] = {
    {"registry:HKEY_USERS\\K\\N=REG_SZ:a=b", Reg(L"REG_SZ", L"a=b"), true},
    {"registry:HKEY_USERS\\K\\=REG_EXPAND_SZ:%X%", Reg(L"REG_EXPAND_SZ", L"%X%", L""), true},
    {"registry:HKEY_USERS\\K\\N=REG_MULTI_SZ:erste", Reg(L"REG_MULTI_SZ", L"erste"), true},
    {"registry:HKEY_USERS\\K\\N=REG_DWORD:4294967295", Reg(L"REG_DWORD", L"-1"), true},
    {"registry:HKEY_USERS\\K\\N=REG_BINARY:0AfF", Reg(L"REG_BINARY", L"0aff"), true},
    {"registry:HKEY_USERS\\K\\N=REG_BINARY:0aff", Reg(L"REG_SZ", L"0aff"), false},
    {"registry:HKEY_USERS\\K\\N=absent", Reg(L"REG_SZ", L""), false},
    {"file:daten\\*.pdf=present", L"<FileQueryConfig path=\"Daten/Handbuch.PDF\"/>", true},
    {"yesno:Wirklich?=no", L"<YesNoBoxQueryConfig message=\"Wirklich?\"/>", false},
    {"yesno:Wirklich?=no", L"<YesNoBoxQueryConfig message=\"Wirklich\"/>", true, false},
    {"winversion=4294967295.0", L"<WinVersionQueryConfig checktype=\"0\" majorversion=\"-1\"/>",
     true},
    {"arch=arm64", L"<ArchQueryConfig value=\"arm64\"/>", true},
    {"arch=arm64", L"<ArchQueryConfig value=\"x64\"/>", false},
    {"os64=no", L"<ArchQueryConfig value=\"x86\"/>", true, false},
};

class Facts : public ::testing::TestWithParam<FactCase> {};

TEST_P(Facts, AnswerAsTheMachineWould) {
    const FactCase& c = GetParam();
    const auto has = [&](const wchar_t* name) { return c.query.find(name) != std::wstring::npos; };
    const std::wstring type = has(L"Registry") ? L"registry"
                              : has(L"File")   ? L"file"
                              : has(L"YesNo")  ? L"yesnobox"
                              : has(L"Arch")   ? L"arch"
                                               : L"winversion";
    // With the declaration, as a "?" in a value needs.
    const auto walks =
        Walk(L"<?xml version=\"1.0\"?><config><Pages><Page><Button><ButtonLayout caption=\"B\"/>"
             L"<Query type=\"" +
                 type + L"\">" + c.query + L"</Query></Button></Page></Pages></config>",
             {c.fact});
    ASSERT_EQ(walks.size(), 1u);
    ASSERT_EQ(walks[0].steps.size(), 1u);
    EXPECT_EQ(walks[0].steps[0].answer, c.answer) << c.fact;
    EXPECT_EQ(walks[0].steps[0].assumed, c.assumed) << c.fact;
}

INSTANTIATE_TEST_SUITE_P(Walk, Facts, ::testing::ValuesIn(kFacts));

struct BadFact {
    const char* fact;
    const char* error;
};

const BadFact kBadFacts[] = {
    {"winversion=6", "needs MAJOR.MINOR"},
    {"winversion=4294967296.0", "needs MAJOR.MINOR"},
    {"wow64=true", "needs =yes or =no"},
    {"yesno:Frage", "needs =yes or =no"},
    {"file:=present", "needs a PATTERN"},
    {"file:x=maybe", "needs =present or =absent"},
    {"registry:HKCU\\K\\N=REG_SZ:1", "with HIVE one of"},
    {"registry:HKEY_CURRENT_USER=absent", "with HIVE one of"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_QWORD:1", "needs =TYPE:VALUE"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_BINARY:abc", "two hexadecimal digits per byte"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_DWORD:-2147483649", "REG_DWORD needs a decimal"},
    {"colour=red", "is no fact"},
    {"admin=maybe", "needs =yes or =no"},
    {"arch=amd64", "needs =x86, =x64 or =arm64"},
    {"exitcode:setup.exe=ok", "needs exitcode:PATH=N"},
    {"exitcode:=0", "needs exitcode:PATH=N"},
    {"exitcode:a.exe=4294967296", "needs exitcode:PATH=N"},
};

class BadFacts : public ::testing::TestWithParam<BadFact> {};

TEST_P(BadFacts, AreRefusedInOneLine) {
    WalkFacts facts;
    std::string error;
    EXPECT_FALSE(ParseFact(GetParam().fact, facts, error));
    EXPECT_EQ(error.rfind(std::string("--assume ") + GetParam().fact + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Walk, BadFacts, ::testing::ValuesIn(kBadFacts));

// The additions to the classic format: rights, bitness and exit codes from their facts, and
// the warning in the file's own words, naming the step that failed.
TEST(WalkTest, AdditionsAnswerFromTheirFacts) {
    const auto walk = [](const std::wstring& chain, std::vector<std::string> facts) {
        return WalkText(Walk(L"<config><Messages chainwarning=\"Fehlt: %WHAT%\"/><Pages><Page>"
                             L"<Button><ButtonLayout caption=\"B\"/>" +
                                 chain + L"</Button></Page></Pages></config>",
                             facts));
    };
    const std::wstring admin = L"<Query type=\"admin\"/>";
    EXPECT_NE(walk(admin, {}).find("query admin -> Negativ (default)"), std::string::npos);
    EXPECT_NE(walk(admin, {"admin=yes"}).find("-> Positiv (assumed)"), std::string::npos);
    const std::wstring os64 = L"<Query type=\"os64\"/>";
    EXPECT_NE(walk(os64, {}).find("query os64 -> Positiv (default)"), std::string::npos);
    EXPECT_NE(walk(os64, {"os64=no"}).find("-> Negativ (assumed)"), std::string::npos);
    // An assumed x86 machine runs 32-bit Windows; x64 is the default.
    EXPECT_NE(walk(os64, {"arch=x86"}).find("query os64 -> Negativ (default)"), std::string::npos);
    const std::wstring arch = L"<Query type=\"arch\"><ArchQueryConfig value=\"x64\"/></Query>";
    EXPECT_NE(walk(arch, {}).find("query arch value=\"x64\" -> Positiv (default)"),
              std::string::npos);
    const std::wstring waited =
        L"<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\setup.exe\" "
        L"wait=\"true\"/><Query type=\"exitcode\"><ExitCodeQueryConfig value=\"3010\"/>"
        L"</Query></Command>";
    // Facts name paths as the menu expands them.
    const std::string known =
        walk(waited, {"file:%MENUDIR%\\setup.exe=present", "exitcode:%menudir%\\setup.exe=3010"});
    EXPECT_NE(known.find("command exec path=\"<menu folder>\\setup.exe\" parameter=\"\" "
                         "show=\"normal\" wait=\"true\""),
              std::string::npos)
        << known;
    EXPECT_NE(known.find("query exitcode value=\"3010\" exit=\"3010\" -> Positiv (assumed)"),
              std::string::npos)
        << known;
    EXPECT_NE(walk(waited, {"file:setup.exe=present"})
                  .find("query exitcode value=\"3010\" exit=\"unknown\" -> Negativ (default)"),
              std::string::npos);
    EXPECT_NE(walk(waited, {})
                  .find("end: failed at the last step; the menu shows \"Fehlt: "
                        "<menu folder>\\setup.exe\""),
              std::string::npos);
    EXPECT_NE(walk(L"<Command type=\"stopp\"/>", {}).find("shows \"Fehlt: type=\"stopp\"\""),
              std::string::npos);
}

// Conditions are asked under the facts; a hidden or disabled control runs nothing.
TEST(WalkTest, ConditionsAnswerFromTheFacts) {
    const std::wstring menu =
        L"<config><Pages><Page><A><ButtonLayout caption=\"A\"/><ShowIf><Query type=\"os64\"/>"
        L"</ShowIf><Command type=\"beenden\"/></A><B><ButtonLayout caption=\"B\"/><EnableIf>"
        L"<Query type=\"arch\" negate=\"true\"><ArchQueryConfig value=\"arm64\"/></Query>"
        L"<Query type=\"yesnobox\"/></EnableIf></B></Page></Pages></config>";
    EXPECT_EQ(WalkText(Walk(menu, {"os64=no"})),
              "page 1, control 1 \"A\" (line 1)\n"
              "  show if: query os64 -> does not hold (assumed)\n"
              "  end: hidden\n"
              "page 1, control 2 \"B\" (line 1)\n"
              "  enable if: not query arch value=\"arm64\" -> holds (default)\n"
              "  enable if: query yesnobox -> does not hold (default)\n"
              "  end: disabled, a press runs nothing\n");
    const std::string json = WalkJson(Walk(menu, {}));
    EXPECT_NE(json.find("\"steps\":[{\"kind\":\"command\",\"type\":\"beenden\",\"args\":{}}],"
                        "\"conditions\":[{\"on\":\"showif\",\"type\":\"os64\",\"negate\":false,"
                        "\"holds\":true,\"from\":\"default\"}],\"shown\":true,\"enabled\":true,"
                        "\"end\":\"done\"}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"end\":\"disabled\""), std::string::npos);
}

} // namespace
