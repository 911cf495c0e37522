#include <gtest/gtest.h>

#include "config/CheckState.h"

namespace {

const char* const kLeave = "<left as it is>";

struct RewriteCase {
    const char* what;
    std::string before;
    const wchar_t* id;
    bool checked;
    const char* after;
};

const RewriteCase kCases[] = {
    {"false becomes true; LF becomes CR LF; the final line break goes",
     "<config>\n <P><CB id=\"a\" currentval=\"false\"/></P>\n</config>\n", L"a", true,
     "<config>\r\n <P><CB id=\"a\" currentval=\"true\"/></P>\r\n</config>"},
    {"an empty value is filled", "<config><CB id=\"a\" currentval=\"\"/></config>", L"a", false,
     "<config><CB id=\"a\" currentval=\"false\"/></config>"},
    {"bytes before the first '<' (a byte order mark) go",
     "\xEF\xBB\xBF<config><CB id=\"a\" currentval=\"true\"/></config>", L"a", false,
     "<config><CB id=\"a\" currentval=\"false\"/></config>"},
    {"CR LF stays CR LF; text after </config> goes",
     "<config>\r\n<CB id=\"a\" currentval=\"true\"/>\r\n</config>\r\n<x/>", L"a", true,
     "<config>\r\n<CB id=\"a\" currentval=\"true\"/>\r\n</config>"},
    {"an id that also occurs earlier: the element with that id is written",
     "<config><X id=\"ab\" currentval=\"false\"/><A caption=\"a\" currentval=\"false\"/>"
     "<CB id=\"a\" currentval=\"false\"/></config>",
     L"a", true,
     "<config><X id=\"ab\" currentval=\"false\"/><A caption=\"a\" currentval=\"false\"/>"
     "<CB id=\"a\" currentval=\"true\"/></config>"},
    {"the attribute written ID with spaces around '='",
     "<config><CB ID = \"a\"><ButtonLayout currentval=\"false\"/></CB></config>", L"a", true,
     "<config><CB ID = \"a\"><ButtonLayout currentval=\"true\"/></CB></config>"},
    {"a non-ASCII id is compared as UTF-8",
     "<config><CB id=\"Z\xC3\xBCrich\" currentval=\"false\"/></config>", L"Z\u00fcrich", true,
     "<config><CB id=\"Z\xC3\xBCrich\" currentval=\"true\"/></config>"},
    {"the id's value is read as the menu reads it: trimmed",
     "<config><CB id=\" a \" currentval=\"false\"/></config>", L"a", true,
     "<config><CB id=\" a \" currentval=\"true\"/></config>"},
    {"no </config>", "<config><CB id=\"a\" currentval=\"false\"/>", L"a", true, kLeave},
    {"no element with that id", "<config><CB id=\"b\" currentval=\"false\"/></config>", L"a", true,
     kLeave},
    {"no currentval within the element",
     "<config><CB id=\"a\"/><CB id=\"b\" currentval=\"false\"/></config>", L"a", true, kLeave},
    {"no closing quote before the element ends",
     "<config><CB id=\"a\" currentval=\"false/></config>", L"a", true, kLeave},
    {"the read ends at Ctrl-Z", "<config><CB id=\"a\" currentval=\"x\"/></config>\x1A junk", L"a",
     true, "<config><CB id=\"a\" currentval=\"true\"/></config>"},
    // The root's own end tag ends the text, whatever the root is named and whatever the
    // pages are named.
    {"a page named config keeps what follows it",
     "<config><Pages><config><CB id=\"a\" currentval=\"x\"/></config><P2/></Pages></config>\n",
     L"a", true,
     "<config><Pages><config><CB id=\"a\" currentval=\"true\"/></config><P2/></Pages></config>"},
    {"a root with another name", "<menu><CB id=\"a\" currentval=\"x\"/></menu>tail", L"a", false,
     "<menu><CB id=\"a\" currentval=\"false\"/></menu>"},
    {"the root's end tag missing: a nested </config> does not end it",
     "<config><x><config></config></x><CB id=\"a\" currentval=\"x\"/>", L"a", true, kLeave},
    // "currentval" counts only as an attribute name followed by "=" and a quoted value.
    {"currentval without quotes is not written, nor the next value",
     "<config><CB id=\"a\" currentval=false width=\"100\"/></config>", L"a", true, kLeave},
    {"the word inside an earlier value is no attribute",
     "<config><CB id=\"a\" tooltipp=\"see currentval\" width=\"1\" currentval=\"x\"/></config>",
     L"a", true,
     "<config><CB id=\"a\" tooltipp=\"see currentval\" width=\"1\" currentval=\"true\"/></config>"},
    {"a longer name before the real one",
     "<config><CB id=\"a\" currentvalue=\"x\" currentval=\"y\"/></config>", L"a", false,
     "<config><CB id=\"a\" currentvalue=\"x\" currentval=\"false\"/></config>"},
    {"written in another case: the menu leaves it",
     "<config><CB id=\"a\" CurrentVal=\"x\"/></config>", L"a", true, kLeave},
    {"white space around '=' is read over", "<config><CB id=\"a\" currentval\t=\n\"x\"/></config>",
     L"a", true, "<config><CB id=\"a\" currentval\t=\r\n\"true\"/></config>"},
    // The id is read as the reader reads it.
    {"line breaks and tabs around the id's '='",
     "<config><CB x=\"1\" id\n=\t\"a\"><L currentval=\"x\"/></CB></config>", L"a", true,
     "<config><CB x=\"1\" id\r\n=\t\"a\"><L currentval=\"true\"/></CB></config>"},
    {"an escaped quote in the id",
     "<config><CB id=\"say \\\"hi\\\"\"><L currentval=\"x\"/></CB></config>", L"say \"hi\"", true,
     "<config><CB id=\"say \\\"hi\\\"\"><L currentval=\"true\"/></CB></config>"},
    {"an earlier element with the id but no currentval does not end the search",
     "<config><B id=\"a\"><L caption=\"go\"/></B><CB id=\"a\"><L currentval=\"x\"/></CB></config>",
     L"a", true,
     "<config><B id=\"a\"><L caption=\"go\"/></B><CB id=\"a\"><L "
     "currentval=\"true\"/></CB></config>"},
    {"a currentval before the id belongs to no box",
     "<config><CB currentval=\"x\" id=\"a\"/></config>", L"a", true, kLeave},
    // A box without an id.
    {"without an id: the file's only currentval",
     "<config><CB><L type=\"checkbox\" currentval=\"x\"/></CB></config>", L"", true,
     "<config><CB><L type=\"checkbox\" currentval=\"true\"/></CB></config>"},
    {"without an id and two currentvals: left as it is",
     "<config><CB><L currentval=\"x\"/></CB><CB><L currentval=\"y\"/></CB></config>", L"", true,
     kLeave},
    // Text that several elements read (before an empty element's tag) is never written.
    {"a currentval in text between tags",
     "<config><CB id=\"a\"> currentval=\"x\" <e/></CB></config>", L"a", true, kLeave},
    {"an attribute before the first '<' stays: the root reads it",
     "x a=\"1\" <config><CB id=\"a\" currentval=\"x\"/></config>", L"a", true,
     "x a=\"1\" <config><CB id=\"a\" currentval=\"true\"/></config>"},
    {"a '?' before the first '<' stays, as dropping it would change how the file reads",
     "?<config a=\"?\"><CB id=\"a\" currentval=\"x\"/></config>", L"a", true,
     "?<config a=\"?\"><CB id=\"a\" currentval=\"true\"/></config>"},
    {"a file the menu cannot read is left",
     "<config a=\"x><CB id=\"a\" currentval=\"x\"/></config>", L"a", true, kLeave},
    {"a broken sequence before the value",
     "<config><CB id=\"a\" t=\"\xE2\" currentval=\"x\"/></config>", L"a", true,
     "<config><CB id=\"a\" t=\"\xE2\" currentval=\"true\"/></config>"},
};

class Rewrites : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(Rewrites, ChangeOnlyTheValue) {
    const RewriteCase& c = GetParam();
    const auto after = RewriteCheckState(c.before, c.id, c.checked);
    EXPECT_EQ(after.value_or(kLeave), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(CheckState, Rewrites, ::testing::ValuesIn(kCases));

// Several states in one rewrite leave the bytes that one rewrite after another would.
TEST(RewriteCheckStates, EqualsOneRewriteAfterAnother) {
    const std::string file = "\xEF\xBB\xBF<config>\n<P><A id=\"a\"><L currentval=\"\"/></A>\n"
                             "<B id=\"b\" currentval=\"x\"/><C id=\"c\"/></P>\n</config>\n";
    const std::vector<CheckStateWrite> states = {
        {L"a", true}, {L"c", true}, {L"b", false}, {L"a", false}, {L"zz", true}};
    std::string oneByOne = file;
    for (const CheckStateWrite& state : states) {
        oneByOne = RewriteCheckState(oneByOne, state.id, state.checked).value_or(oneByOne);
    }
    EXPECT_EQ(RewriteCheckStates(file, states), oneByOne);
    EXPECT_NE(oneByOne, file);
    EXPECT_EQ(RewriteCheckStates(file, {{L"zz", true}}), std::nullopt);
}

// Unescaping an id and finding the box take time in proportion to the file.
TEST(RewriteCheckStates, LongIdsAndManyBoxes) {
    std::string id(80000, 'x');
    std::string file = "<config><CB id=\"";
    for (std::size_t i = 0; i < id.size(); i += 2) {
        file += "\\\"";
    }
    file += "\" currentval=\"x\"/>";
    std::vector<CheckStateWrite> states;
    for (int i = 0; i < 2000; ++i) {
        file += "<B id=\"b" + std::to_string(i) + "\"><L currentval=\"x\"/></B>";
        states.push_back({L"b" + std::to_wstring(i), i % 2 == 0});
    }
    file += "</config>";
    states.push_back({std::wstring(40000, L'"'), true});
    const auto after = RewriteCheckStates(file, states);
    ASSERT_TRUE(after.has_value());
    EXPECT_NE(after->find("\" currentval=\"true\"/><B id=\"b0\"><L currentval=\"true\"/>"),
              std::string::npos);
    EXPECT_NE(after->find("<B id=\"b1999\"><L currentval=\"false\"/>"), std::string::npos);
}

TEST(TemporaryConfigPath, PutsThreeUnderscoresBeforeTheExtensionOfTheFilesOwnName) {
    const struct {
        const wchar_t* config;
        std::optional<std::wstring> temporary;
    } cases[] = {
        {L"D:\\menu.xml", L"D:\\menu___.xml"},
        {L"D:\\MENU.XML", L"D:\\MENU___.XML"},
        {L"menu.xml", L"menu___.xml"},
        {L"D:\\a.xml.d\\menu.xml", L"D:\\a.xml.d\\menu___.xml"},
        {L"D:\\m.xml\\m.xml", L"D:\\m.xml\\m___.xml"},
        {L"D:/m.xml/Menu.Xml", L"D:/m.xml/Menu___.Xml"},
        {L"D:\\m.xml\\menu.cfg", std::nullopt},
        {L"D:\\menu.cfg", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TemporaryConfigPath(c.config), c.temporary) << c.config;
    }
}

} // namespace
