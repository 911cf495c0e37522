#include <gtest/gtest.h>

#include <typeinfo>

#include "ActionFakes.h"
#include "actions/Commands.h"
#include "actions/Queries.h"
#include "actions/TExecuteAbleList.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

class Actions : public ::testing::Test {
protected:
    // Builds the chain of the button element's first "Command", else its first "Query".
    std::int32_t Build(const std::wstring& button) {
        return BuildButtonChain(store_, trees_, button);
    }
    // Kind and links of the action at i: "cmdExec>1" or "QFile+2/3".
    std::string Describe(std::int32_t i) {
        TExecuteAble* a = store_.At(i);
        std::string name = typeid(*a).name();
        name = name.substr(name.find_first_not_of("0123456789"));
        if (auto* c = dynamic_cast<TCommand*>(a)) {
            return name + ">" + std::to_string(c->next);
        }
        auto* q = dynamic_cast<TQuery*>(a);
        return name + "+" + std::to_string(q->positive) + "/" + std::to_string(q->negative);
    }

    FakeDialog dialog_;
    FakeSystem system_;
    TExecuteAbleList store_{&dialog_, &system_};
    std::vector<std::unique_ptr<xmlTree>> trees_;
};

TEST_F(Actions, StoreIsFilledDepthFirstAsInTheWorkedExample) {
    const std::wstring button =
        L"<Button><Command type=\"exec\"><ExecCommandConfig path=\"a.exe\"/>"
        L"<Query type=\"file\"><Positiv><Command type=\"showmessage\"/></Positiv>"
        L"<Negativ><Command type=\"beenden\"/></Negativ></Query></Command></Button>";
    EXPECT_EQ(Build(button), 0);
    const std::vector<std::string> expected = {"cmdExec>1", "QFile+2/3", "cmdShowMessage>-1",
                                               "cmdBeenden>-1"};
    ASSERT_EQ(store_.Size(), expected.size());
    for (std::int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Describe(i), expected[i]);
    }
    EXPECT_EQ(Build(button), 4);
}

TEST_F(Actions, QueryChildWinsOverCommandChildButBothAreBuilt) {
    EXPECT_EQ(Build(L"<B><Command type=\"minimize\"><Command type=\"weiter\"/>"
                    L"<Query type=\"yesnobox\"/></Command></B>"),
              0);
    EXPECT_EQ(Describe(0), "cmdMinimize>2");
    EXPECT_EQ(Describe(1), "cmdSwitchPage>-1");
    Build(L"<B><Query type=\"file\"><Positiv><Command type=\"beenden\"/><Query "
          L"type=\"file\"/></Positiv></Query></B>");
    EXPECT_EQ(Describe(3), "QFile+5/-1");
}

TEST_F(Actions, UnknownTypesYieldFailureAndBuildNothing) {
    for (const wchar_t* type : {L"Weiter", L"WEITER", L"", L"zuruck", L"File"}) {
        const std::wstring t = type;
        EXPECT_EQ(
            Build(L"<B><Command type=\"" + t + L"\"><Command type=\"beenden\"/></Command></B>"),
            kChainFailure);
        EXPECT_EQ(Build(L"<B><Query type=\"" + t + L"\"/></B>"), kChainFailure);
    }
    EXPECT_EQ(store_.Size(), 0u);
    EXPECT_EQ(Build(L"<B/>"), kChainEnd);
    // Nested, the failure becomes the parent's successor and ends the run there.
    const std::int32_t start = Build(L"<B><Command type=\"showmessage\"><ShowMessageCommandConfig "
                                     L"message=\"m\"/><Command type=\"nix\"/></Command></B>");
    EXPECT_EQ(Describe(start), "cmdShowMessage>-2");
    EXPECT_FALSE(store_.RunChain(start));
    EXPECT_EQ(dialog_.events, std::vector<std::wstring>{L"box:m"});
}

TEST_F(Actions, OnlyTheFirstOfDuplicateChildrenCounts) {
    Build(L"<B><Command type=\"beenden\"/><Command type=\"minimize\"/></B>");
    Build(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"1\"/><ExecCommandConfig "
          L"path=\"2\"/></Command></B>");
    EXPECT_EQ(store_.Size(), 2u);
    EXPECT_EQ(static_cast<cmdExec*>(store_.At(1))->Path(), L"1");
}

TEST_F(Actions, RunChainReportsTheEnd) {
    EXPECT_TRUE(store_.RunChain(kChainEnd));
    EXPECT_FALSE(store_.RunChain(kChainFailure));
    // showmessage then beenden: the box first, then the end.
    EXPECT_TRUE(store_.RunChain(Build(L"<B><Command type=\"showmessage\"><ShowMessageCommandConfig "
                                      L"message=\"Hallo\" caption=\"\"/><Command "
                                      L"type=\"beenden\"/></Command></B>")));
    EXPECT_EQ(dialog_.events, (std::vector<std::wstring>{L"box:Hallo", L"end"}));
    EXPECT_EQ(dialog_.boxes[0].style, kMbOk);
    // A failed launch stops the walk before "beenden", and the run reports failure.
    dialog_.events.clear();
    EXPECT_FALSE(store_.RunChain(Build(L"<B><Command type=\"exec\"><ExecCommandConfig "
                                       L"path=\"missing.exe\"/><Command type=\"beenden\"/>"
                                       L"</Command></B>")));
    EXPECT_TRUE(dialog_.events.empty());
}

TEST_F(Actions, PageSwitchWrapsWithTheCountReadWhenItRuns) {
    const std::int32_t weiter = Build(L"<B><Command type=\"weiter\"/></B>");
    const std::int32_t zurueck = Build(L"<B><Command type=\"zur\u00fcck\"/></B>");
    const struct {
        int count, page;
        std::int32_t command;
        int expected;
    } cases[] = {{3, 2, weiter, 0}, {3, 0, zurueck, 2}, {3, 1, weiter, 2},
                 {1, 0, weiter, 0}, {1, 0, zurueck, 0}, {5, 4, zurueck, 3}};
    for (const auto& c : cases) {
        dialog_.pageCount = c.count;
        dialog_.page = c.page;
        EXPECT_TRUE(store_.RunChain(c.command));
        EXPECT_EQ(dialog_.page, c.expected) << c.count << " pages, from " << c.page;
    }
}

TEST_F(Actions, ExecLaunchesWithResolvedPathAndShowMode) {
    EXPECT_EQ(MakeAbsolute(L"D:\\menu\\menu.exe", L"setup\\run.exe"), L"D:\\menu\\setup\\run.exe");
    EXPECT_EQ(MakeAbsolute(L"D:\\menu\\menu.exe", L"C:\\x.exe"), L"D:\\menu\\C:\\x.exe");
    EXPECT_EQ(MakeAbsolute(L"menu.exe", L"x.exe"), L"x.exe");
    EXPECT_EQ(MakeAbsolute(L"menu.exe", L""), L"");
    system_.startable = {L"D:\\menu\\setup\\run.exe", L"TUTORRUN.exe"};
    EXPECT_TRUE(store_.RunChain(Build(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"setup\\"
                                      L"run.exe\" makeabsolute=\"true\" parameter=\"/q\" "
                                      L"maximized=\"true\"/></Command></B>")));
    EXPECT_TRUE(store_.RunChain(Build(L"<B><Command type=\"lernprog\"><LernprogCommandConfig "
                                      L"parameter=\"kurs1\" maximized=\"True\"/></Command></B>")));
    // An empty path is not handed to the shell at all.
    EXPECT_FALSE(store_.RunChain(Build(L"<B><Command type=\"exec\"/></B>")));
    using Launch = std::tuple<std::wstring, std::wstring, bool>;
    EXPECT_EQ(system_.launches, (std::vector<Launch>{{L"D:\\menu\\setup\\run.exe", L"/q", true},
                                                     {L"TUTORRUN.exe", L"kurs1", false}}));
}

RegistryData Text(std::uint32_t type, const std::wstring& text) {
    RegistryData d{type, {}};
    for (wchar_t c : text + L'\0') {
        d.bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        d.bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    return d;
}

TEST_F(Actions, RegistryQueryComparesByType) {
    system_.values[{L"K", L"sz"}] = Text(kRegSz, L" Navora 1.0 ");
    system_.values[{L"K", L"exp"}] = Text(kRegExpandSz, L"%TEMP%");
    system_.values[{L"K", L"multi"}] = Text(kRegMultiSz, std::wstring(L"one\0two\0", 8));
    system_.values[{L"K", L"long"}] = Text(kRegSz, std::wstring(260, L'x'));
    system_.values[{L"K", L"bin"}] = {kRegBinary, {0x0A, 0xFF}};
    system_.values[{L"K", L"empty"}] = {kRegBinary, {}};
    system_.values[{L"K", L"dw"}] = {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}};
    system_.values[{L"K", L"dw42"}] = {kRegDword, {42, 0, 0, 0}};
    const struct {
        const wchar_t *type, *wert, *value;
        bool expected;
    } cases[] = {
        {L"REG_SZ", L"sz", L"Navora 1.0", true},   {L"REG_SZ", L"sz", L"Navora 1.0 ", false},
        {L"REG_SZ", L"exp", L"%TEMP%", false},     {L"REG_EXPAND_SZ", L"exp", L"%TEMP%", true},
        {L"REG_MULTI_SZ", L"multi", L"one", true}, {L"REG_MULTI_SZ", L"multi", L"two", false},
        {L"REG_SZ", L"long", L"", false},          {L"REG_BINARY", L"bin", L"0aff", true},
        {L"REG_BINARY", L"bin", L"0AFF", false},   {L"REG_BINARY", L"empty", L"", true},
        {L"REG_DWORD", L"dw", L"-1", true},        {L"REG_DWORD", L"dw42", L" 42px", true},
        {L"REG_DWORD", L"dw42", L"abc", false},    {L"REG_DWORD", L"sz", L"0", false},
        {L"reg_sz", L"sz", L"Navora 1.0", false},  {L"REG_SZ", L"missing", L"", false},
    };
    for (const auto& c : cases) {
        QRegistry query(L"HKEY_CURRENT_USER", L"K", c.wert, c.value, RegistryTypeFromText(c.type),
                        &system_);
        EXPECT_EQ(query.Check(), c.expected) << EncodeUtf8(c.type) << " " << EncodeUtf8(c.wert);
    }
}

TEST_F(Actions, RegistryQueryChoosesHiveAndView) {
    const struct {
        const wchar_t* name;
        RegistryHive hive;
    } hives[] = {{L"HKEY_CLASSES_ROOT", RegistryHive::ClassesRoot},
                 {L"HKEY_CURRENT_USER", RegistryHive::CurrentUser},
                 {L"HKEY_LOCAL_MACHINE", RegistryHive::LocalMachine},
                 {L"HKEY_USERS", RegistryHive::Users},
                 {L"hkey_current_user", RegistryHive::CurrentConfig},
                 {L"", RegistryHive::CurrentConfig}};
    for (const auto& h : hives) {
        EXPECT_EQ(HiveFromName(h.name), h.hive) << EncodeUtf8(h.name);
    }
    for (bool wow64 : {false, true}) {
        system_.wow64 = wow64;
        QRegistry(L"HKEY_USERS", L"K", L"v", L"", RegistryType::Sz, &system_).Check();
        EXPECT_EQ(system_.lastView64, wow64);
    }
}

TEST(WinVersion, ComparesUnsignedByCheckType) {
    // checktype, configured major.minor, then the outcome for 6.0, 6.1 and 10.0.
    const struct {
        int check, major, minor;
        bool on60, on61, on100;
    } cases[] = {
        {1, 6, 1, false, true, true},   {2, 6, 1, false, false, true},
        {0, 6, 1, false, true, false},  {-1, 6, 1, true, true, false},
        {-2, 6, 1, true, false, false}, {3, 6, 1, false, false, false},
        {-2, -1, 0, true, true, true},  {1, 6, -1, false, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareVersion(c.check, {6, 0}, c.major, c.minor), c.on60) << c.check;
        EXPECT_EQ(CompareVersion(c.check, {6, 1}, c.major, c.minor), c.on61) << c.check;
        EXPECT_EQ(CompareVersion(c.check, {10, 0}, c.major, c.minor), c.on100) << c.check;
    }
}

TEST_F(Actions, FileAndYesNoQueriesChooseTheirBranch) {
    system_.existing = {L"setup\\*.exe"};
    EXPECT_TRUE(QFile(L"setup\\*.exe", &system_).Check());
    EXPECT_FALSE(QFile(L"setup\\*.msi", &system_).Check());
    EXPECT_FALSE(QFile(L"", &system_).Check());
    EXPECT_FALSE(QFile(std::wstring(260, L'a'), &system_).Check());
    EXPECT_EQ(system_.asked.size(), 2u); // empty and too long paths are not looked up
    const std::int32_t ask =
        Build(L"<B><Query type=\"yesnobox\"><YesNoBoxQueryConfig caption=\"C\" "
              L"message=\"Weiter\"/><Positiv><Command type=\"weiter\"/>"
              L"</Positiv><Negativ><Command type=\"beenden\"/></Negativ>"
              L"</Query></B>");
    dialog_.pageCount = 2;
    dialog_.answer = kIdYes;
    store_.RunChain(ask);
    EXPECT_EQ(dialog_.page, 1);
    dialog_.answer = 7; // No
    store_.RunChain(ask);
    EXPECT_EQ(dialog_.events.back(), L"end");
    EXPECT_EQ(dialog_.boxes.back().style, kMbYesNo);
    EXPECT_EQ(dialog_.boxes.back().caption, L"C");
}

} // namespace
