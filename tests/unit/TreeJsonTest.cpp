#include <gtest/gtest.h>

#include "tools/TreeJson.h"
#include "xml/xmlReader.h"

namespace {

TEST(TreeJson, WritesNamesAttributesAndChildrenInOrder) {
    const auto tree =
        ParseXmlText(L"<config B=\"2\" a=\"1\"><General/><Pages><P/></Pages></config>");
    EXPECT_EQ(TreeToJson(tree->Root()),
              R"({"name":"config","attributes":[["b","2"],["a","1"]],"children":[)"
              R"({"name":"General/","attributes":[],"children":[]},)"
              R"({"name":"Pages","attributes":[],"children":[)"
              R"({"name":"P/","attributes":[],"children":[]}]}]})");
}

TEST(JsonString, EscapesWhatJsonRequires) {
    EXPECT_EQ(JsonString(L"a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(JsonString(L"\n\r\t\x01\x1f"), R"("\n\r\t\u0001\u001f")");
    EXPECT_EQ(JsonString(L"Grüße €"), "\"Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC\"");
    EXPECT_EQ(JsonString(L"/<>&"), R"("/<>&")");
}

} // namespace
