#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TreeText.h"
#include "xml/TextDecoding.h"
#include "xml/xmlDocument.h"
#include "xml/xmlReader.h"
#include "xmlOracle.h"

namespace {

constexpr const char* kError = "<error>";

std::string Parse(std::wstring_view text) {
    try {
        return TreeText(ParseXmlText(text)->Root());
    } catch (const xmlError&) {
        return kError;
    }
}

struct ReaderCase {
    const char* what;
    const wchar_t* text;
    const char* tree;
};

const ReaderCase kCases[] = {
    {"plain file", L"<config a=\"1\"><General /></config>", "config{a=1}(General)"},
    {"declaration is skipped", L"<?xml version=\"1.0\"?>\n<config a=\"1\"><General /></config>",
     "config{a=1}(General)"},
    {"byte order mark before the declaration", L"\uFEFF<?xml version=\"1.0\"?><config/>",
     "config/"},
    {"a '?' in a value drops everything up to the next '<'",
     L"<config><A t=\"what?\"/><B/></config>", "B/(/config)"},
    {"'/>' right after the name stays in the name", L"<c><Separator/></c>", "c(Separator/)"},
    {"a space before '/>' ends the name", L"<c><Separator /></c>", "c(Separator)"},
    {"names end only at a space or '>'", L"<c><a\tx=\"1\"></a\tx=\"1\"></c>", kError},
    {"name is trimmed", L"<c><\nGeneral></General></c>", "c(General)"},
    {"a space right after '<' gives an empty name", L"<c>< x=\"1\"/></c>", "c({x=1})"},
    {"attribute names are stored lower-cased", L"<c BgColor=\"1 2 3\" Ä=\"u\"/>",
     "c{bgcolor=1 2 3;Ä=u}"},
    {"duplicates are all stored", L"<c a=\"1\" a=\"2\"><x/><x/></c>", "c{a=1;a=2}(x/ x/)"},
    {"backslash-quote becomes a quote", L"<c v=\"say \\\"hi\\\"\"/>", "c{v=say \"hi\"}"},
    {"no entity decoding", L"<c v=\"x &amp; y\"/>", "c{v=x &amp; y}"},
    {"values are trimmed", L"<c v=\"  x  \"/>", "c{v=x}"},
    {"spaces on neither side of '='", L"<c name=\"x\"/>", "c{name=x}"},
    {"spaces before '='", L"<c name =\"x\"/>", "c{name=x}"},
    {"spaces after '='", L"<c name= \"x\"/>", "c{name=x}"},
    {"spaces on both sides of '='", L"<c name  =  \"x\"/>", "c{name=x}"},
    {"'>' in a value", L"<c><b v=\"a>b\"/></c>", kError},
    {"no opening quote", L"<c><b v=x/></c>", kError},
    {"attribute name without a space before it", L"<c><b\tv=\"x\"/></c>", kError},
    {"'=' right after the tag name", L"<c><b =\"x\"/></c>", kError},
    {"a name is taken back to the previous space", L"<c><b x =\"1\" =\"2\"/></c>",
     "c(b{x=1;=\"1\"=2})"},
    {"a name reaches back to the previous space", L"<c a=\"1\"b=\"2\"/>", "c{a=1;a=\"1\"b=2}"},
    {"a value may span lines", L"<c v=\"one\ntwo\"/>", "c{v=one\ntwo}"},
    {"a comment swallows what follows", L"<config><!-- note --><General /></config>",
     "config(!--(General /config))"},
    {"a tag before the root becomes the root",
     L"<?xml version=\"1.0\"?>\n<!DOCTYPE x>\n<config><General /></config>",
     "!DOCTYPE(config(General))"},
    {"a missing end tag swallows the parent's end tag",
     L"<config><Pages><Page></Pages><General /></config>",
     "config(Pages(Page(/Pages(General /config))))"},
    {"text after the root is ignored", L"<config></config><more a=\"1\"/>junk", "config"},
    {"text between tags is read over", L"<c>text<a/>more<b></b>tail</c>", "c(a/ b)"},
    {"'>' in text between tags is markup", L"<c>x>y<b/></c>", "c(b/(b/ /c))"},
    {"'=' in text before an empty element adds attributes to later siblings",
     L"<r><a/> x=\"1\" <b/><d/></r>", "r(a/ b/{x=1} d/{x=1})"},
    {"an empty file", L"", kError},
    {"a file without any tag", L"abc", kError},
    {"without '<' the name starts the text", L"hello world", "hello"},
    {"'<' followed by neither space nor '>'", L"<abc", kError},
    {"'/>' before the next '<' would never end", L"<config>a/><b></config>", kError},
    {"'/>' at a gap's end before the next '<'", L"<c>a/<x/>><y></c>", kError},
    {"a start tag without '>' would recurse forever", L"<config><b x=\"1\"", kError},
    {"root without '>'", L"<config x", kError},
    {"end tag needs the exact name", L"<c><a></A></a></c>", "c(a(/A(/a(/c))))"},
};

class ReaderCases : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderCases, BuildsTheTreeOfTheRules) {
    const ReaderCase& c = GetParam();
    EXPECT_EQ(Parse(c.text), c.tree) << c.what;
    std::string oracle;
    try {
        oracle = TreeText(OracleParse(c.text)->Root());
    } catch (const std::invalid_argument&) {
        oracle = kError;
    }
    EXPECT_EQ(oracle, c.tree) << c.what << " (literal rules)";
}

INSTANTIATE_TEST_SUITE_P(Quirks, ReaderCases, ::testing::ValuesIn(kCases));

TEST(Lookups, AttributeNamesIgnoreCaseOfAsciiLettersOnly) {
    const auto tree = ParseXmlText(L"<c BgColor=\"1\" Ärger=\"2\" a=\"\"/>");
    const xmlElement* root = &tree->Root();
    EXPECT_EQ(root->GetAttribute(L"bgcolor"), L"1");
    EXPECT_EQ(root->GetAttribute(L"BGCOLOR"), L"1");
    EXPECT_EQ(root->GetAttribute(L"Ärger"), L"2");
    EXPECT_EQ(root->GetAttribute(L"ärger"), L"");
    EXPECT_EQ(root->GetAttribute(L"a"), L"");
    EXPECT_EQ(root->GetAttribute(L"missing"), L"");
}

TEST(Lookups, FindChildIsExactAndReturnsTheFirst) {
    const auto tree = ParseXmlText(L"<c><General n=\"1\"/><General n=\"2\"/></c>");
    const xmlElement* root = &tree->Root();
    EXPECT_EQ(FindChild(root, L"general"), nullptr);
    ASSERT_NE(FindChild(root, L"General"), nullptr);
    EXPECT_EQ(FindChild(root, L"General")->GetAttribute(L"n"), L"1");
    ASSERT_EQ(root->GetChildCount(), 2u);
    EXPECT_EQ(root->GetChild(1)->GetAttribute(L"n"), L"2");
    EXPECT_EQ(FindChild(nullptr, L"General"), nullptr);
}

std::wstring Nested(std::size_t depth) {
    std::wstring text;
    for (std::size_t i = 0; i < depth; ++i) {
        text += L"<e>";
    }
    for (std::size_t i = 0; i < depth; ++i) {
        text += L"</e>";
    }
    return text;
}

TEST(Depth, ParsesUpToTheLimitAndRejectsDeeper) {
    const auto deepest = ParseXmlText(Nested(kMaxElementDepth));
    std::size_t depth = 1;
    for (const xmlElement* e = &deepest->Root(); e->GetChildCount() > 0; e = e->GetChild(0)) {
        ++depth;
    }
    EXPECT_EQ(depth, kMaxElementDepth);
    EXPECT_THROW(ParseXmlText(Nested(kMaxElementDepth + 1)), xmlError);
    // Unclosed elements nest as well: one more "<>" than the limit.
    std::wstring unclosed((kMaxElementDepth + 1) * 2, L' ');
    for (std::size_t i = 0; i < unclosed.size(); i += 2) {
        unclosed[i] = L'<';
        unclosed[i + 1] = L'>';
    }
    EXPECT_THROW(ParseXmlText(unclosed), xmlError);
}

TEST(Depth, DestroyingAVeryDeepTreeDoesNotRecurse) {
    auto tree = std::make_unique<xmlTree>();
    xmlElement* e = &tree->Root();
    for (int i = 0; i < 1000000; ++i) {
        e = &e->AddChild();
    }
    e->SetName(L"deepest");
    EXPECT_EQ(e->GetName(), L"deepest");
    tree.reset();
}

// Files whose trees would grow with the square of their length are refused;
// the same amount of text in an ordinary shape is read.
TEST(Caps, RefuseTreesFarLargerThanTheirText) {
    std::wstring names = L"<config x=\"1\"";
    std::wstring gaps = L"<config>";
    std::wstring plain = L"<config>";
    for (int i = 0; i < 16000; ++i) {
        names += L"a=\"1\"";
        gaps += L" k=\"v\" <e/>";
        plain += L"<e k=\"v\" l=\"w\"/>";
    }
    names += L"></config>";
    gaps += L"</config>";
    plain += L"</config>";
    EXPECT_THROW(ParseXmlText(names), xmlError);
    EXPECT_THROW(ParseXmlText(gaps), xmlError);
    EXPECT_EQ(ParseXmlText(plain)->Root().GetChildCount(), 16000u);
    // A few hundred shared attributes, as an odd but real file might have, stay readable.
    std::wstring someGaps = L"<config> k=\"v\" ";
    for (int i = 0; i < 300; ++i) {
        someGaps += L"<e/>";
    }
    EXPECT_EQ(ParseXmlText(someGaps + L"</config>")->Root().GetChild(299)->GetAttributeCount(), 1u);
}

// A value counts against the caps as written: 40 elements that each read a value of 1000
// backslash-quotes (2000 characters) from the text before them pass the cap, though the
// 1000 quotes they store would not.
TEST(Caps, ValuesCountAsWritten) {
    std::wstring text = L"<config> k=\"";
    for (int i = 0; i < 1000; ++i) {
        text += L"\\\"";
    }
    text += L"\" ";
    for (int i = 0; i < 40; ++i) {
        text += L"<e/>";
    }
    text += L"</config>";
    EXPECT_THROW(ParseXmlText(text), xmlError);
    EXPECT_THROW(ParseConfigBytes(EncodeUtf8(text)), xmlError);
    EXPECT_EQ(ParseXmlText(text.substr(0, text.size() - 9 - 20 * 4) + L"</config>")
                  ->Root()
                  .GetChildCount(),
              20u);
}

// A file of many short attributes, one for every five characters, is read to its end.
TEST(Caps, ManyShortAttributesAreCountedByTheirCharacters) {
    std::string bytes = "<config";
    for (int i = 0; i < 20000; ++i) {
        bytes += " a=\"\"";
    }
    bytes += "></config>";
    EXPECT_EQ(ParseConfigBytes(bytes)->Root().GetAttributeCount(), 20000u);
}

// Places beyond what 32 bits hold, and empty names and values, come back as they were given.
TEST(Attributes, LargePlacesAndEmptyTextsStayAsGiven) {
    xmlTree tree;
    xmlElement& e = tree.Root();
    const std::size_t far = sizeof(std::size_t) > 4 ? std::size_t{0xFFFFFFFF} + 7 : 0xFFFFFFF0;
    e.AddAttribute(L"Far", L"v\\\"", {far, far + 2, far + 5});
    e.AddAttribute(L"", L"", {0xFFFFFFFE, 0xFFFFFFFE, 0xFFFFFFFE});
    e.AddAttribute(L"n", L"");
    ASSERT_EQ(e.GetAttributeCount(), 3u);
    EXPECT_EQ(e.GetAttributeName(0), L"far");
    EXPECT_EQ(e.GetAttributeValue(0), L"v\"");
    EXPECT_EQ(e.GetAttributePlace(0).name, far);
    EXPECT_EQ(e.GetAttributePlace(0).openQuote, far + 2);
    EXPECT_EQ(e.GetAttributePlace(0).closeQuote, far + 5);
    EXPECT_EQ(e.GetAttributeName(1), L"");
    EXPECT_EQ(e.GetAttributePlace(1).closeQuote, std::size_t{0xFFFFFFFE});
    EXPECT_EQ(e.GetAttributeName(2), L"n");
    EXPECT_EQ(e.GetAttributeValue(2), L"");
    EXPECT_EQ(e.GetAttributePlace(2).name, xmlAttributePlace::npos);
}

// Where the reader found each element and attribute, for the rewrite and for messages.
TEST(Places, ElementsAttributesAndTheRootsEndTag) {
    const std::wstring text = L"<c a=\"1\">\n <b x = \"2\" y=\"\"/> z=\"3\" <d/></c><c/>";
    const auto tree = ParseXmlText(text);
    const xmlElement& root = tree->Root();
    EXPECT_EQ(root.GetOffset(), 0u);
    EXPECT_EQ(tree->RootEndTag(), text.find(L"</c>"));
    const xmlElement& b = *root.GetChild(0);
    EXPECT_EQ(b.GetOffset(), text.find(L"<b"));
    const struct {
        const xmlElement* element;
        std::size_t attribute;
        std::size_t name;
        std::size_t open;
    } places[] = {
        {&root, 0, text.find(L"a="), text.find(L"\"1")},
        {&b, 0, text.find(L"x ="), text.find(L"\"2")},
        {&b, 1, text.find(L"y="), text.find(L"\"\"")},
    };
    for (const auto& p : places) {
        const xmlAttributePlace& place = p.element->GetAttributePlace(p.attribute);
        EXPECT_EQ(place.name, p.name);
        EXPECT_EQ(place.openQuote, p.open);
        EXPECT_EQ(text[place.closeQuote], L'"');
        EXPECT_EQ(text.substr(place.openQuote + 1, place.closeQuote - place.openQuote - 1),
                  p.element->GetAttributeValue(p.attribute));
    }
    // z="3" stands before <d/>'s "<": text that later elements read too has no place.
    const xmlElement& d = *root.GetChild(1);
    ASSERT_EQ(d.GetAttributeCount(), 1u);
    EXPECT_EQ(d.GetAttributePlace(0).name, xmlAttributePlace::npos);
    EXPECT_EQ(ParseXmlText(L"<c><b>")->RootEndTag(), xmlAttributePlace::npos);
}

TEST(Errors, PointAtTheFault) {
    const std::wstring text = L"<c>\n  <b v=\"a>b\"/>\n</c>";
    try {
        ParseXmlText(text);
        FAIL() << "no error";
    } catch (const xmlError& e) {
        const TextPosition at = PositionOf(text, e.Offset());
        EXPECT_EQ(at.line, 2u);
        EXPECT_EQ(at.column, 8u); // the opening quote of the value
    }
    EXPECT_EQ(PositionOf(L"\uFEFFab\ncd", 2).column, 2u);
    EXPECT_EQ(PositionOf(L"ab\ncd", 4).line, 2u);
    EXPECT_EQ(PositionOf(L"ab\ncd", 4).column, 2u);
}

class DocumentFiles : public ::testing::Test {
protected:
    std::wstring Write(const std::string& name, const std::string& bytes) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        EXPECT_EQ(std::filesystem::file_size(path), bytes.size()) << name;
        return path.wstring();
    }
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("navora-reader-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(DocumentFiles, CrLfAndLfGiveTheSameTree) {
    const xmlDocument lf(Write("lf.xml", "<c v=\"one\ntwo\">\n<a/>\n</c>\n"));
    const xmlDocument crlf(Write("crlf.xml", "<c v=\"one\r\ntwo\">\r\n<a/>\r\n</c>\r\n"));
    ASSERT_TRUE(lf.root && crlf.root);
    EXPECT_EQ(TreeText(*lf.root), "c{v=one\ntwo}(a/)");
    EXPECT_EQ(TreeText(*crlf.root), TreeText(*lf.root));
}

TEST_F(DocumentFiles, ReadEndsAtCtrlZAndTextAtNul) {
    const xmlDocument ctrlZ(Write("ctrl-z.xml", std::string("<c>\x1A<a/></c>")));
    EXPECT_EQ(TreeText(*ctrlZ.root), "c");
    const xmlDocument nul(Write("zero-byte.xml", std::string("<c><a/>\0<b/></c>", 16)));
    EXPECT_EQ(TreeText(*nul.root), "c(a/)");
}

TEST_F(DocumentFiles, DecodesUtf8) {
    const xmlDocument doc(
        Write("u.xml", "\xEF\xBB\xBF<?xml?><c t=\"Gr\xC3\xBC\xC3\x9F\x65 \xFF\"/>"));
    ASSERT_TRUE(doc.root);
    EXPECT_EQ(doc.root->GetAttribute(L"t"), L"Grüße \uFFFD");
}

TEST_F(DocumentFiles, MissingFileOrEmptyPathHasNoRoot) {
    const xmlDocument missing((dir_ / "none.xml").wstring());
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.root, nullptr);
    const xmlDocument empty{std::wstring()};
    EXPECT_FALSE(empty.opened);
    EXPECT_EQ(empty.root, nullptr);
}

TEST_F(DocumentFiles, MalformedTextRaisesAReaderError) {
    EXPECT_THROW(xmlDocument(Write("empty.xml", "")), xmlError);
}

} // namespace
