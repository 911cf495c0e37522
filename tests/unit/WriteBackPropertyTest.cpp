// The write-back property catches each kind of damage a rewrite can do.
#include <gtest/gtest.h>

#include "WriteBackProperty.h"

namespace {

struct PropertyCase {
    const char* what;
    const char* before;
    const char* after;
    const wchar_t* id;
    bool checked;
    const char* fault; // a piece of the fault reported; empty when the property holds
};

const PropertyCase kCases[] = {
    {"the value changed to the state", "<config><CB id=\"a\" currentval=\"false\"/></config>",
     "<config><CB id=\"a\" currentval=\"true\"/></config>", L"a", true, ""},
    {"nothing changed, the value reads so already",
     "<config><CB id=\"a\" currentval=\"false\"/></config>",
     "\r\n<config><CB id=\"a\" currentval=\"false\"/></config>", L"a", false, ""},
    {"the value of a child of the element with the id",
     "<config><CB id=\"a\"><L currentval=\"\"/></CB></config>",
     "<config><CB id=\"a\"><L currentval=\"true\"/></CB></config>", L"a", true, ""},
    {"without an id, the one currentval", "<config><CB currentval=\"true\"/></config>",
     "<config><CB currentval=\"false\"/></config>", L"", false, ""},
    {"unreadable bytes before promise nothing", "<config><CB id=\"a\" v=\">\"/></config>", "", L"a",
     true, ""},
    {"another attribute's value", "<config><CB id=\"a\" currentval=\"false\" w=\"1\"/></config>",
     "<config><CB id=\"a\" currentval=\"false\" w=\"true\"/></config>", L"a", true,
     "the value of \"w\" changed"},
    {"an element lost", "<config><CB id=\"a\" currentval=\"false\"/><P/></config>",
     "<config><CB id=\"a\" currentval=\"true\"/></config>", L"a", true,
     "number of attributes or children"},
    {"an attribute renamed", "<config><CB id=\"a\" currentval=\"false\"/></config>",
     "<config><CB id=\"a\" currentvalue=\"true\"/></config>", L"a", true, "renamed"},
    {"unreadable after", "<config><CB id=\"a\" currentval=\"false\"/></config>",
     "<config><CB id=\"a\" currentval=\"true/></config>", L"a", true, "cannot be read"},
    {"a value the reader does not see", "< id=\"m\"currentval\"\"</config>",
     "< id=\"m\"currentval\"false\"</config>", L"m", false, "reads the state written"},
    {"another check box's value",
     "<config><CB id=\"a\"/><CB id=\"b\" currentval=\"false\"/></config>",
     "<config><CB id=\"a\"/><CB id=\"b\" currentval=\"true\"/></config>", L"a", true,
     "outside the element with the id"},
    {"a value other than the state", "<config><CB id=\"a\" currentval=\"false\"/></config>",
     "<config><CB id=\"a\" currentval=\"yes\"/></config>", L"a", true, "reads \"yes\""},
    {"one text that two elements read as their value",
     "<config><a/> currentval=\"false\" <b/><c/></config>",
     "<config><a/> currentval=\"true\" <b/><c/></config>", L"", true, "2 \"currentval\" values"},
    {"without an id, one of two",
     "<config><CB currentval=\"false\"/><CB currentval=\"false\"/></config>",
     "<config><CB currentval=\"true\"/><CB currentval=\"false\"/></config>", L"", true, "holds 2"},
};

class WriteBackProperty : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(WriteBackProperty, ReportsExactlyTheDamage) {
    const PropertyCase& c = GetParam();
    const std::string fault = WriteBackFault(c.before, c.after, c.id, c.checked);
    if (*c.fault == '\0') {
        EXPECT_EQ(fault, "") << c.what;
    } else {
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
    }
}

INSTANTIATE_TEST_SUITE_P(WriteBack, WriteBackProperty, ::testing::ValuesIn(kCases));

} // namespace
