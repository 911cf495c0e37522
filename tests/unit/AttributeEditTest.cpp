// Setting one attribute in place: exact bytes for the cases an author meets, a reason for
// each refusal, and the promise on generated menus full of the dialect's quirks.
#include <gtest/gtest.h>

#include <random>

#include "AttributeEditProperty.h"
#include "MenuGenerator.h"

namespace {

struct EditCase {
    const char* what;
    const char* before;
    std::size_t element; // in document order
    const wchar_t* name;
    const wchar_t* value;
    const char* after; // empty when refused
    EditRefusal refusal;
};

const EditCase kCases[] = {
    {"a number; CR LF, spacing and order stay",
     "<config>\r\n  <B  left = \"10\"  top=\"5\" />\r\n</config>\r\n", 1, L"LEFT", L"120",
     "<config>\r\n  <B  left = \"120\"  top=\"5\" />\r\n</config>\r\n", EditRefusal::None},
    {"white space around the value stays; quotes get a backslash; UTF-8 as the file",
     "\xEF\xBB\xBF<c><B caption=\" a \"/></c>", 1, L"caption", L"Gr\u00fc\u00dfe \"x\"",
     "\xEF\xBB\xBF<c><B caption=\" Gr\xC3\xBC\xC3\x9F"
     "e \\\"x\\\" \"/></c>",
     EditRefusal::None},
    {"a line break as the file's line end", "<c>\r\n<B caption=\"a\"/></c>", 1, L"caption", L"a\nb",
     "<c>\r\n<B caption=\"a\r\nb\"/></c>", EditRefusal::None},
    {"a missing attribute goes after the last, before the space and \"/>\"",
     "<c><B left=\"1\" /></c>", 1, L"width", L"80", "<c><B left=\"1\" width=\"80\" /></c>",
     EditRefusal::None},
    {"and before \">\" of a start tag", "<c><B>\n</B></c>", 1, L"caption", L"&",
     "<c><B caption=\"&\">\n</B></c>", EditRefusal::None},
    {"the value it holds already: nothing changes", "<c><B v=\"x\"/></c>", 1, L"v", L"x",
     "<c><B v=\"x\"/></c>", EditRefusal::None},
    {"a \">\"", "<c><B v=\"x\"/></c>", 1, L"v", L"a>b", "", EditRefusal::GreaterThan},
    {"a backslash at the end", "<c><B v=\"x\"/></c>", 1, L"v", L"a\\", "",
     EditRefusal::TrailingBackslash},
    {"white space at an end", "<c><B v=\"x\"/></c>", 1, L"v", L"a ", "",
     EditRefusal::EdgeWhiteSpace},
    {"a carriage return", "<c><B v=\"x\"/></c>", 1, L"v", L"a\rb", "",
     EditRefusal::UnwritableCharacter},
    {"a name with a space", "<c><B v=\"x\"/></c>", 1, L"a b", L"1", "", EditRefusal::BadName},
    {"a value read from text before the tag", "<c><a/> v=\"x\" <B/></c>", 2, L"v", L"y", "",
     EditRefusal::NotInPlace},
    {"a later name reaching back into the value", "<c><B v=\"x\"w=\"1\"/></c>", 1, L"v", L"y", "",
     EditRefusal::NotInPlace},
    {"adding would rename the element", "<c><B/></c>", 1, L"v", L"1", "",
     EditRefusal::ReadsDifferently},
    // "Caf\xE9" in Windows-1252 reads as "Caf\uFFFD": the byte stays where the caption keeps it.
    {"a byte that is not UTF-8 keeps its bytes", "<c><B v=\"Caf\xE9\"/></c>", 1, L"v",
     L"Caf\uFFFD 2", "<c><B v=\"Caf\xE9 2\"/></c>", EditRefusal::None},
    {"and before it", "<c><B v=\"Caf\xE9\"/></c>", 1, L"v", L"A Caf\uFFFD",
     "<c><B v=\"A Caf\xE9\"/></c>", EditRefusal::None},
    {"a whole new value replaces it", "<c><B v=\"Caf\xE9\"/></c>", 1, L"v", L"Tea",
     "<c><B v=\"Tea\"/></c>", EditRefusal::None},
    {"a U+FFFD in the changed stretch", "<c><B v=\"Caf\xE9\"/></c>", 1, L"v", L"\uFFFD Caf", "",
     EditRefusal::UnwritableCharacter},
    {"a surrogate pair shared in part is written whole", "<c><B v=\"\xF0\x9F\x98\x80\"/></c>", 1,
     L"v", L"\U0001F601", "<c><B v=\"\xF0\x9F\x98\x81\"/></c>", EditRefusal::None},
};

TEST(AttributeEdit, WritesExactlyTheValueOrSaysWhyNot) {
    for (const EditCase& c : kCases) {
        const auto tree = ParseConfigBytes(c.before);
        const EditResult edit = EditAttribute(
            c.before, *tree, *ElementsInOrder(tree->Root())[c.element], c.name, c.value);
        EXPECT_EQ(edit.bytes.value_or(""), c.after) << c.what;
        EXPECT_EQ(edit.refusal, c.refusal) << c.what;
    }
}

// The file steps in memory: one configuration file, and what became of the temporary one.
struct MemoryFiles final : CheckStateFiles {
    std::string config;
    bool readable = true;
    std::string temporary;
    bool ReadForUpdate(const std::wstring&, FileSnapshot& file) override {
        file.bytes = config;
        return readable;
    }
    bool HoldForReplace(const std::wstring& path, FileSnapshot& file) override {
        return ReadForUpdate(path, file);
    }
    bool CreateTemporary(std::wstring& path) override {
        path += L"~1";
        return true;
    }
    bool Write(std::string_view bytes) override {
        temporary += bytes;
        return true;
    }
    bool Flush() override { return true; }
    void Abandon() override {}
    bool Replace(const std::wstring&, const std::wstring&) override {
        config = temporary;
        return true;
    }
    void Remove(const std::wstring&) override { temporary.clear(); }
};

TEST(AttributeEdit, WritesTheFileOnlyWhileItHoldsWhatWasRead) {
    const std::string read = "<c><B left=\"1\"/></c>";
    const auto tree = ParseConfigBytes(read);
    const xmlElement& b = *tree->Root().GetChild(0);
    MemoryFiles files;
    files.config = read;
    EXPECT_EQ(WriteAttributeEdit(L"m.xml", read, *tree, b, L"left", L"2", files),
              EditRefusal::None);
    EXPECT_EQ(files.config, "<c><B left=\"2\"/></c>");
    EXPECT_EQ(WriteAttributeEdit(L"m.xml", read, *tree, b, L"left", L"3", files),
              EditRefusal::FileChanged);
    files.config = read;
    files.readable = false;
    EXPECT_EQ(WriteAttributeEdit(L"m.xml", read, *tree, b, L"left", L"3", files),
              EditRefusal::NotWritten);
    EXPECT_EQ(WriteAttributeEdit(L"m.xml", read, *tree, b, L"left", L"3>", files),
              EditRefusal::GreaterThan);
    EXPECT_EQ(files.config, read);
}

TEST(AttributeEditProperty, NewBytesReadAsTheOldTreeWithTheOneValue) {
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<unsigned> pick;
    int written = 0;
    int exactlyBack = 0;
    const int kRounds = 4000;
    for (int round = 0; round < kRounds; ++round) {
        const std::string before = Menu(rng);
        EditOutcome outcome;
        ASSERT_EQ(AttributeEditFault(before, pick(rng), pick(rng), pick(rng), outcome), "")
            << "input: " << before;
        written += outcome.written;
        exactlyBack += outcome.exactlyBack;
    }
    // Edits, refusals and exact edits back must all be well represented, or the generator
    // has gone blind.
    EXPECT_GT(written, kRounds / 5);
    EXPECT_LT(written, kRounds - kRounds / 20);
    EXPECT_GT(exactlyBack, kRounds / 40) << written << " written";
}

} // namespace
