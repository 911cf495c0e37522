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
    {"an empty id writes nothing", "<config><CB currentval=\"false\"/></config>", L"", true,
     kLeave},
    {"no currentval within the element",
     "<config><CB id=\"a\"/><CB id=\"b\" currentval=\"false\"/></config>", L"a", true, kLeave},
    {"no closing quote before the element ends",
     "<config><CB id=\"a\" currentval=\"false/></config>", L"a", true, kLeave},
    {"the read ends at Ctrl-Z", "<config><CB id=\"a\" currentval=\"x\"/></config>\x1A junk", L"a",
     true, "<config><CB id=\"a\" currentval=\"true\"/></config>"},
};

class Rewrites : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(Rewrites, ChangeOnlyTheValue) {
    const RewriteCase& c = GetParam();
    const auto after = RewriteCheckState(c.before, c.id, c.checked);
    EXPECT_EQ(after.value_or(kLeave), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(CheckState, Rewrites, ::testing::ValuesIn(kCases));

TEST(TemporaryConfigPath, PutsThreeUnderscoresBeforeTheExtension) {
    EXPECT_EQ(TemporaryConfigPath(L"D:\\menu.xml"), L"D:\\menu___.xml");
    EXPECT_EQ(TemporaryConfigPath(L"D:\\MENU.XML"), L"D:\\MENU___.XML");
    EXPECT_EQ(TemporaryConfigPath(L"D:\\a.xml.d\\menu.xml"), L"D:\\a___.xml.d\\menu.xml");
    EXPECT_EQ(TemporaryConfigPath(L"D:\\menu.cfg"), std::nullopt);
}

} // namespace
