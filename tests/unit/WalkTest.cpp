// What-if walks: the demo menu and small chains under different facts, step by step,
// and the reading of facts.
#include <gtest/gtest.h>

#include <set>

#include "config/TextDecoding.h"
#include "config/xmlDocument.h"
#include "config/xmlReader.h"
#include "tools/Walk.h"

namespace {

// Files beside the configuration, letter case aside; absolute paths cannot be looked up.
class FakeFiles : public FileLookup {
public:
    explicit FakeFiles(std::set<std::wstring> names) : names_(std::move(names)) {}

    FileState Find(const std::wstring& path) override {
        if ((path.size() >= 2 && path[1] == L':') || path.empty() || path[0] == L'\\') {
            return FileState::Unknown;
        }
        for (const std::wstring& name : names_) {
            if (WildcardMatch(LowerAsciiLetters(path), name)) {
                return FileState::Present;
            }
        }
        return FileState::Absent;
    }
    std::optional<std::string> Head(const std::wstring&, std::size_t, std::uint64_t&) override {
        return std::nullopt;
    }

private:
    std::set<std::wstring> names_;
};

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

// "query winversion checktype=1 version=6.1 -> no, assumed"
std::string Describe(const WalkStep& s) {
    std::string out = (s.query ? "query " : "command ") + s.type;
    for (const auto& [key, value] : s.args) {
        out += " " + key + "=" + value;
    }
    if (s.answer) {
        out += std::string(" -> ") + (*s.answer ? "yes" : "no") +
               (s.assumed ? ", assumed" : ", default");
    }
    return out;
}

struct DemoCase {
    std::vector<std::string> facts;
    int page;
    int control;
    std::vector<std::string> steps; // the walk ends "done"
};

const DemoCase kDemoCases[] = {
    {{}, 0, 1, {"command beenden"}},
    {{}, 1, 1, {"command weiter page=2"}},
    {{}, 1, 2, {"command exec path=<menu folder>\\handbuch.txt parameter= show=normal"}},
    {{}, 1, 4, {}}, // a check box only toggles
    {{}, 2, 5, {"command weiter page=3"}},
    {{}, 2, 6, {"command zur\u00fcck page=1"}},
    {{}, 3, 2, {"command weiter page=1"}}, // from the last page to the first
    {{},
     2,
     1,
     {"query file path=setup.exe -> no, default",
      "command showmessage caption=Setup message=Auf diesem Datentr\xc3\xa4ger gibt es kein "
      "Setup."}},
    {{"file:SETUP.EXE=present"},
     2,
     1,
     {"query file path=setup.exe -> yes, assumed",
      "command exec path=<menu folder>\\setup.exe parameter= show=normal"}},
    {{},
     2,
     2,
     {"query winversion checktype=1 version=6.1 -> yes, default",
      "command showmessage caption=Version message=Windows 7 oder neuer: alles bereit."}},
    {{"winversion=5.1"},
     2,
     2,
     {"query winversion checktype=1 version=6.1 -> no, assumed",
      "command showmessage caption=Version message=Dieses Windows ist zu alt."}},
    {{"winversion=6.1"},
     2,
     2,
     {"query winversion checktype=1 version=6.1 -> yes, assumed",
      "command showmessage caption=Version message=Windows 7 oder neuer: alles bereit."}},
    {{},
     2,
     3,
     {"query registry hive=HKEY_CURRENT_USER key=Software\\Navora\\Rundgang name=Version "
      "type=REG_SZ value=1.0 -> no, default",
      "command showmessage caption=Registry message=Noch nicht installiert."}},
    // Registry names compare without letter case; the view does not change the answer.
    {{"registry:hkey_current_user\\SOFTWARE\\Navora\\Rundgang\\version=REG_SZ:1.0", "wow64=yes"},
     2,
     3,
     {"query registry hive=HKEY_CURRENT_USER key=Software\\Navora\\Rundgang name=Version "
      "type=REG_SZ value=1.0 -> yes, assumed",
      "command showmessage caption=Registry message=Version 1.0 ist installiert."}},
    {{"registry:HKEY_CURRENT_USER\\Software\\Navora\\Rundgang\\Version=REG_SZ:2.0"},
     2,
     3,
     {"query registry hive=HKEY_CURRENT_USER key=Software\\Navora\\Rundgang name=Version "
      "type=REG_SZ value=1.0 -> no, assumed",
      "command showmessage caption=Registry message=Noch nicht installiert."}},
    {{},
     2,
     4,
     {"query yesnobox caption=Navora message=Soll das Men\xc3\xbc verkleinert werden -> yes, "
      "default",
      "command minimize"}},
    {{"yesno=no"},
     2,
     4,
     {"query yesnobox caption=Navora message=Soll das Men\xc3\xbc verkleinert werden -> no, "
      "assumed"}},
    // The box's own fact beats the one for every box, whatever their order.
    {{"yesno:Soll das Men\xc3\xbc verkleinert werden=yes", "yesno=no"},
     2,
     4,
     {"query yesnobox caption=Navora message=Soll das Men\xc3\xbc verkleinert werden -> yes, "
      "assumed",
      "command minimize"}},
};

class DemoWalks : public ::testing::TestWithParam<DemoCase> {};

TEST_P(DemoWalks, TakeTheBranchTheFactsChoose) {
    std::wstring text;
    ASSERT_TRUE(LoadConfigText(std::string(NAVORA_SOURCE_DIR) + "/examples/demo/navora.xml", text));
    const auto walks = Walk(text, GetParam().facts, {L"handbuch.txt"});
    ASSERT_EQ(walks.size(), 13u); // the quit button and 4 + 6 + 2 page controls
    const DemoCase& d = GetParam();
    const auto w = std::find_if(walks.begin(), walks.end(), [&](const ControlWalk& c) {
        return c.page == d.page && c.control == d.control;
    });
    ASSERT_NE(w, walks.end());
    std::vector<std::string> steps;
    for (const WalkStep& s : w->steps) {
        steps.push_back(Describe(s));
    }
    EXPECT_EQ(steps, GetParam().steps);
    EXPECT_FALSE(w->failed);
}

INSTANTIATE_TEST_SUITE_P(Walk, DemoWalks, ::testing::ValuesIn(kDemoCases));

TEST(WalkTest, NamesEachControlWithCaptionAndLine) {
    std::wstring text;
    ASSERT_TRUE(LoadConfigText(std::string(NAVORA_SOURCE_DIR) + "/examples/demo/navora.xml", text));
    const auto walks = Walk(text, {});
    ASSERT_GE(walks.size(), 3u);
    EXPECT_EQ(walks[0].caption, "Beenden");
    EXPECT_EQ(walks[0].line, 15u);
    EXPECT_EQ(walks[2].caption, "Handbuch \u00f6ffnen");
    EXPECT_EQ(walks[2].line, 29u);
    // handbuch.txt is not beside the configuration here: its launch fails.
    EXPECT_TRUE(walks[2].failed);
}

struct ChainCase {
    const char* name;
    std::vector<std::string> facts;
    std::wstring chain; // the only button's children
    std::vector<std::string> steps;
    bool failed;
};

const ChainCase kChainCases[] = {
    {"missing program: the launch fails and the rest does not run",
     {},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"fehlt.exe\"/><Command type=\"beenden\"/>"
     L"</Command>",
     {"command exec path=fehlt.exe parameter= show=normal"},
     true},
    {"a present program starts, maximized",
     {},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"da.exe\" parameter=\"/q\" "
     L"maximized=\"true\"/><Command type=\"beenden\"/></Command>",
     {"command exec path=da.exe parameter=/q show=maximized", "command beenden"},
     false},
    {"a fact makes a present program absent",
     {"file:*.exe=absent"},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"da.exe\"/></Command>",
     {"command exec path=da.exe parameter= show=normal"},
     true},
    {"makeabsolute with a drive joins to a path that cannot exist",
     {"file:*=present"},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"C:\\x.exe\" makeabsolute=\"true\"/>"
     L"</Command>",
     {"command exec path=<menu folder>\\C:\\x.exe parameter= show=normal"},
     true},
    {"URLs and absolute paths start",
     {},
     L"<Command type=\"exec\"><ExecCommandConfig path=\"https://example.org/\"/>"
     L"<Command type=\"exec\"><ExecCommandConfig path=\"C:\\Windows\\notepad.exe\"/>"
     L"</Command></Command>",
     {"command exec path=https://example.org/ parameter= show=normal",
      "command exec path=C:\\Windows\\notepad.exe parameter= show=normal"},
     false},
    {"an empty path starts nothing",
     {},
     L"<Command type=\"exec\"/>",
     {"command exec path= parameter= show=normal"},
     true},
    {"the tutorial launcher must be there",
     {},
     L"<Command type=\"lernprog\"><LernprogCommandConfig parameter=\"k1\"/></Command>",
     {"command lernprog path=TUTORRUN.exe parameter=k1 show=normal"},
     true},
    {"the tutorial launcher assumed present",
     {"file:tutorrun.exe=present"},
     L"<Command type=\"lernprog\"><LernprogCommandConfig parameter=\"k1\"/></Command>",
     {"command lernprog path=TUTORRUN.exe parameter=k1 show=normal"},
     false},
    {"an unknown type first: only the warning",
     {},
     L"<Command type=\"Weiter\"><Command type=\"beenden\"/></Command>",
     {"command Weiter"},
     true},
    {"an unknown type after a step that ran",
     {},
     L"<Command type=\"showmessage\"><Query type=\"files\"/></Command>",
     {"command showmessage caption= message=", "query files"},
     true},
    {"an unknown type in the branch not taken does not fail",
     {},
     L"<Query type=\"file\"><FileQueryConfig path=\"da.exe\"/>"
     L"<Positiv><Command type=\"minimize\"/></Positiv>"
     L"<Negativ><Command type=\"minimise\"/></Negativ></Query>",
     {"query file path=da.exe -> yes, default", "command minimize"},
     false},
    {"the branch taken holds the unknown type",
     {"file:da.exe=absent"},
     L"<Query type=\"file\"><FileQueryConfig path=\"da.exe\"/>"
     L"<Positiv><Command type=\"minimize\"/></Positiv>"
     L"<Negativ><Command type=\"minimise\"/></Negativ></Query>",
     {"query file path=da.exe -> no, assumed", "command minimise"},
     true},
    {"a query without branches still has its answer",
     {"winversion=6.2"},
     L"<Query type=\"winversion\"><WinVersionQueryConfig checktype=\"0\" majorversion=\"6\" "
     L"minorversion=\"2\"/></Query>",
     {"query winversion checktype=0 version=6.2 -> yes, assumed"},
     false},
    {"the rest of the chain runs after beenden",
     {},
     L"<Command type=\"beenden\"><Command type=\"zur\u00fcck\"/></Command>",
     {"command beenden", "command zur\u00fcck page=2"},
     false},
    {"the hive the menu reads for a short name",
     {"registry:HKEY_CURRENT_USER\\K\\N=REG_SZ:1"},
     L"<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKCU\" key=\"K\" wert=\"N\" "
     L"type=\"REG_SZ\" value=\"1\"/></Query>",
     {"query registry hive=HKEY_CURRENT_CONFIG key=K name=N type=REG_SZ value=1 -> no, default"},
     false},
};

class ChainWalks : public ::testing::TestWithParam<ChainCase> {};

TEST_P(ChainWalks, EndAsTheMenuWould) {
    const ChainCase& c = GetParam();
    const auto walks = Walk(L"<config><Pages><Page><Button><ButtonLayout caption=\"B\"/>" +
                                c.chain + L"</Button></Page><Page/></Pages></config>",
                            c.facts, {L"da.exe"});
    ASSERT_EQ(walks.size(), 1u);
    std::vector<std::string> steps;
    for (const WalkStep& s : walks[0].steps) {
        steps.push_back(Describe(s));
    }
    EXPECT_EQ(steps, c.steps) << c.name;
    EXPECT_EQ(walks[0].failed, c.failed) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Walk, ChainWalks, ::testing::ValuesIn(kChainCases));

TEST(WalkTest, TheQuitButtonStartsOnTheFirstPageAndCheckBoxesRunNothing) {
    const auto walks = Walk(L"<config><BtnBeenden><ButtonLayout caption=\"Q\"/>"
                            L"<Command type=\"zur\u00fcck\"/></BtnBeenden><Pages><Page>"
                            L"<Box><ButtonLayout caption=\"C\" type=\"checkbox\"/>"
                            L"<Command type=\"beenden\"/></Box></Page><Page/><Page/></Pages>"
                            L"</config>",
                            {});
    ASSERT_EQ(walks.size(), 2u);
    EXPECT_EQ(walks[0].page, 0);
    ASSERT_EQ(walks[0].steps.size(), 1u);
    EXPECT_EQ(Describe(walks[0].steps[0]), "command zur\u00fcck page=3");
    EXPECT_EQ(walks[1].page, 1);
    EXPECT_TRUE(walks[1].steps.empty());
    EXPECT_FALSE(walks[1].failed);
}

TEST(WalkTest, TextAndJsonSayTheSame) {
    const auto walks = Walk(L"<config><Pages><Page><Button><ButtonLayout caption=\"A \\\"B\\\"\"/>"
                            L"<Query type=\"yesnobox\"><YesNoBoxQueryConfig message=\"M\"/>"
                            L"<Negativ><Command type=\"x\"/></Negativ></Query></Button>"
                            L"</Page></Pages></config>",
                            {"yesno=no"});
    EXPECT_EQ(WalkText(walks), "page 1, control 1 \"A \"B\"\" (line 1)\n"
                               "  query yesnobox caption=\"\" message=\"M\" -> Negativ (assumed)\n"
                               "  command x\n"
                               "  end: failed at the last step; the menu shows \"Nicht alle "
                               "Commands/Abfragen konnten ausgef\xc3\xbchrt werden\"\n");
    EXPECT_EQ(WalkJson(walks),
              "[{\"page\":1,\"control\":1,\"caption\":\"A \\\"B\\\"\",\"line\":1,\"steps\":["
              "{\"kind\":\"query\",\"type\":\"yesnobox\",\"args\":{\"caption\":\"\",\"message\":"
              "\"M\"},\"answer\":false,\"from\":\"assumed\"},"
              "{\"kind\":\"command\",\"type\":\"x\",\"args\":{}}],\"end\":\"failed\"}]");
}

struct FactCase {
    const char* fact;
    std::wstring query; // settings of a "registry" query, or another query
    bool answer;
    bool assumed = true;
};

// Each fact read and answering a query as the machine it describes would.
const FactCase kFacts[] = {
    {"registry:HKEY_LOCAL_MACHINE\\S\\X\\V=REG_SZ:a=b",
     L"<RegistryQueryConfig hkey=\"HKEY_LOCAL_MACHINE\" key=\"S\\X\" wert=\"V\" type=\"REG_SZ\" "
     L"value=\"a=b\"/>",
     true},
    {"registry:HKEY_USERS\\K\\=REG_EXPAND_SZ:%X%",
     L"<RegistryQueryConfig hkey=\"HKEY_USERS\" key=\"K\" type=\"REG_EXPAND_SZ\" value=\"%X%\"/>",
     true},
    {"registry:HKEY_USERS\\K\\L=REG_MULTI_SZ:erste",
     L"<RegistryQueryConfig hkey=\"HKEY_USERS\" key=\"K\" wert=\"L\" type=\"REG_MULTI_SZ\" "
     L"value=\"erste\"/>",
     true},
    {"registry:HKEY_CLASSES_ROOT\\K\\D=REG_DWORD:-1",
     L"<RegistryQueryConfig hkey=\"HKEY_CLASSES_ROOT\" key=\"K\" wert=\"D\" type=\"REG_DWORD\" "
     L"value=\"-1\"/>",
     true},
    {"registry:HKEY_CLASSES_ROOT\\K\\D=REG_DWORD:4294967295",
     L"<RegistryQueryConfig hkey=\"HKEY_CLASSES_ROOT\" key=\"K\" wert=\"D\" type=\"REG_DWORD\" "
     L"value=\"-1\"/>",
     true},
    {"registry:HKEY_CURRENT_CONFIG\\K\\B=REG_BINARY:0AfF",
     L"<RegistryQueryConfig hkey=\"HKCC\" key=\"K\" wert=\"B\" type=\"REG_BINARY\" "
     L"value=\"0aff\"/>",
     true},
    {"registry:HKEY_CURRENT_CONFIG\\K\\B=REG_BINARY:0aff",
     L"<RegistryQueryConfig hkey=\"HKCC\" key=\"K\" wert=\"B\" type=\"REG_SZ\" value=\"0aff\"/>",
     false},
    {"registry:HKEY_USERS\\K\\L=absent",
     L"<RegistryQueryConfig hkey=\"HKEY_USERS\" key=\"K\" wert=\"L\" type=\"REG_SZ\"/>", false},
    {"file:daten\\*.pdf=present", L"<FileQueryConfig path=\"Daten/Handbuch.PDF\"/>", true},
    {"yesno:Wirklich?=no", L"<YesNoBoxQueryConfig message=\"Wirklich?\"/>", false},
    {"yesno:Wirklich?=no", L"<YesNoBoxQueryConfig message=\"Wirklich\"/>", true, false},
    {"winversion=10.0", L"<WinVersionQueryConfig checktype=\"2\" majorversion=\"6\"/>", true},
    {"winversion=4294967295.0", L"<WinVersionQueryConfig checktype=\"0\" majorversion=\"-1\"/>",
     true},
};

class Facts : public ::testing::TestWithParam<FactCase> {};

TEST_P(Facts, AnswerAsTheMachineWould) {
    const FactCase& c = GetParam();
    const auto has = [&](const wchar_t* name) { return c.query.find(name) != std::wstring::npos; };
    const std::wstring type = has(L"Registry") ? L"registry"
                              : has(L"File")   ? L"file"
                              : has(L"YesNo")  ? L"yesnobox"
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
    {"winversion=6.x", "needs MAJOR.MINOR"},
    {"winversion=4294967296.0", "needs MAJOR.MINOR"},
    {"wow64=true", "needs =yes or =no"},
    {"yesno=vielleicht", "needs =yes or =no"},
    {"yesno:Frage", "needs =yes or =no"},
    {"file:=present", "needs a PATTERN"},
    {"file:x=maybe", "needs =present or =absent"},
    {"registry:HKCU\\K\\N=REG_SZ:1", "with HIVE one of"},
    {"registry:HKEY_CURRENT_USER=absent", "with HIVE one of"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_QWORD:1", "needs =TYPE:VALUE"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_BINARY:abc", "two hexadecimal digits per byte"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_BINARY:0g", "two hexadecimal digits per byte"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_DWORD:4294967296", "REG_DWORD needs a decimal"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_DWORD:-2147483649", "REG_DWORD needs a decimal"},
    {"registry:HKEY_CURRENT_USER\\K\\N=REG_DWORD:0x10", "REG_DWORD needs a decimal"},
    {"colour=red", "is no fact"},
    {"", "is no fact"},
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

} // namespace
