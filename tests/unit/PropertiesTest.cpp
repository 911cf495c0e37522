// A control's properties: each attribute the menu reads, its value in effect and its source,
// and the model's write of one of them: a byte edit of that attribute alone, one undo step.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "DesignModelProperty.h"
#include "design/Properties.h"
#include "xml/xmlReader.h"

namespace {

const std::string kMenu = "<config>\r\n"
                          "  <General caption=\"M\"/>\r\n"
                          "  <ButtonConfig>\r\n"
                          "    <ButtonLayout width=\"100\" height=\"30\" bgcolor=\"1 2 3\"/>\r\n"
                          "    <Font font=\"Arial\" fontsize=\"12\" textcolor=\"9 9 9\"/>\r\n"
                          "  </ButtonConfig>\r\n"
                          "  <BtnBeenden><ButtonLayout caption=\"Quit\"/></BtnBeenden>\r\n"
                          "  <Pages><Page>\r\n"
                          "    <Button id=\"a\">\r\n"
                          "      <ButtonPosition left=\"5\" top=\"6\"/>\r\n"
                          "      <ButtonLayout caption=\"Go\" bgcolor=\"\" width=\"80\"/>\r\n"
                          "      <Font fontsize=\"20\"/>\r\n"
                          "    </Button>\r\n"
                          "  </Page></Pages>\r\n"
                          "</config>\r\n";

TEST(ControlProperties, GivesEachValueInEffectAndWhereItComesFrom) {
    const auto tree = ParseConfigBytes(kMenu);
    std::map<std::wstring, Property> byName;
    for (Property& p : ControlProperties(*tree, {0, 0})) {
        const std::wstring key = std::wstring(p.part) + L"/" + std::wstring(p.name);
        EXPECT_TRUE(byName.emplace(key, std::move(p)).second) << "listed twice";
    }
    using S = PropertySource;
    const struct {
        const wchar_t* key;
        const wchar_t* value;
        PropertySource source;
    } cases[] = {
        {L"/id", L"a", S::Own},
        {L"ButtonPosition/left", L"5", S::Own},
        {L"ButtonLayout/caption", L"Go", S::Own},
        {L"ButtonLayout/width", L"80", S::Own},
        {L"ButtonLayout/height", L"30", S::ButtonConfig},
        {L"ButtonLayout/bgcolor", L"1 2 3", S::ButtonConfig}, // an empty own value gives way
        {L"ButtonLayout/tooltipp", L"", S::Default},
        {L"ButtonLayout/icon", L"", S::Default},
        {L"ButtonMouseOverLayout/bgcolor", L"", S::Default},
        {L"Font/fontsize", L"20", S::Own},
        {L"Font/font", L"", S::Default},                // its own Font decides the face too
        {L"Font/textcolor", L"9 9 9", S::ButtonConfig}, // colours come one by one
        {L"MouseOverFont/font", L"", S::Default},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(byName.count(c.key), 1u) << c.key;
        EXPECT_EQ(byName.at(c.key).value, c.value) << c.key;
        EXPECT_EQ(byName.at(c.key).source, c.source) << c.key;
    }
    EXPECT_EQ(byName.count(L"ButtonLayout/currentval"), 0u); // written by the menu, not read
    // A check box lists it: its state is recorded only where the attribute stands.
    const auto box =
        ParseConfigBytes(kMenu.substr(0, kMenu.find("caption=\"Go\"")) + "type=\"checkbox\" " +
                         kMenu.substr(kMenu.find("caption=\"Go\"")));
    const std::vector<Property> boxProperties = ControlProperties(*box, {0, 0});
    EXPECT_EQ(std::count_if(boxProperties.begin(), boxProperties.end(),
                            [](const Property& p) { return p.name == L"currentval"; }),
              1);
    // With nothing selected the window lists the menu's General element.
    const std::vector<Property> menu = MenuProperties(*tree);
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(menu.front().part, kMenuPart);
    EXPECT_EQ(std::count_if(menu.begin(), menu.end(),
                            [](const Property& p) {
                                return p.name == L"caption" && p.value == L"M" &&
                                       p.source == PropertySource::Own;
                            }),
              1);
    EXPECT_TRUE(MenuProperties(*ParseConfigBytes("<config/>")).empty());
    // The quit button lists the same attributes; a control the file lacks, none.
    EXPECT_EQ(ControlProperties(*tree, {-1, 0}).size(), byName.size());
    EXPECT_TRUE(ControlProperties(*tree, {0, 1}).empty());
    EXPECT_STREQ(SourceText(S::ButtonConfig), L"ButtonConfig");
}

TEST(SetProperty, ChangesOnlyThatAttributesBytesAsOneUndoStep) {
    const struct {
        ControlRef control;
        const wchar_t* part;
        const wchar_t* name;
        const wchar_t* value;
        const char* from; // the bytes of kMenu that change, or none for a refusal
        const char* to;
    } cases[] = {
        {{0, 0}, L"ButtonLayout", L"bgcolor", L"0 200 0", "bgcolor=\"\"", "bgcolor=\"0 200 0\""},
        {{0, 0}, L"", L"id", L"b", "id=\"a\"", "id=\"b\""},
        {{0, 0},
         L"Font",
         L"font",
         L"Courier",
         "<Font fontsize=\"20\"/>",
         "<Font fontsize=\"20\" font=\"Courier\"/>"},
        {{-1, 0},
         L"ButtonLayout",
         L"icon",
         L"pics\\go.bmp",
         "caption=\"Quit\"/>",
         "caption=\"Quit\" icon=\"pics\\go.bmp\"/>"},
        // A part the control lacks comes first, on a line of its own like its siblings.
        {{0, 0},
         L"ButtonMouseOverLayout",
         L"bgcolor",
         L"1 1 1",
         "\r\n      <ButtonPosition",
         "\r\n      <ButtonMouseOverLayout bgcolor=\"1 1 1\"/>\r\n      <ButtonPosition"},
        // A Font of its own takes ButtonConfig's face and size along: only the colour changes.
        {{-1, 0},
         L"Font",
         L"textcolor",
         L"0 0 0",
         "<BtnBeenden>",
         "<BtnBeenden><Font font=\"Arial\" fontsize=\"12\" textcolor=\"0 0 0\"/>"},
        {{0, 0}, L"ButtonLayout", L"caption", L"a>b", nullptr, nullptr},
        // The menu's own element, whatever is selected.
        {{0, 0},
         kMenuPart.data(),
         L"menuid",
         L"Disc",
         "caption=\"M\"/>",
         "caption=\"M\" menuid=\"Disc\"/>"},
    };
    for (const auto& c : cases) {
        DesignFakeFile disk;
        disk.bytes = kMenu;
        DesignModel model;
        ASSERT_TRUE(model.Load(kMenu));
        model.Press(c.control, {-100, -100}, false);
        model.CancelDrag();
        const DesignOutcome out = model.SetProperty(c.part, c.name, c.value, disk);
        ASSERT_EQ(out.written, c.from != nullptr)
            << c.part << c.name << " " << testing::PrintToString(out.status);
        if (!out.written) {
            EXPECT_EQ(out.status.rfind(L"Not written. ", 0), 0u) << c.name;
            EXPECT_EQ(disk.bytes, kMenu);
            continue;
        }
        std::string expected = kMenu;
        expected.replace(expected.find(c.from), std::string(c.from).size(), c.to);
        EXPECT_EQ(disk.bytes, expected) << c.name;
        EXPECT_TRUE(out.rebuilt); // the menu's own code shows what it changed
        EXPECT_EQ(model.Controls(), ReadDesignControls(*ParseConfigBytes(disk.bytes)));
        // One undo step gives the bytes back, and shows them by a build again too.
        EXPECT_TRUE(model.Step(true, disk).rebuilt);
        EXPECT_EQ(disk.bytes, kMenu);
        // The value it holds already is no write and no step.
        model.Press(ControlRef{0, 0}, {-100, -100}, false);
        model.CancelDrag();
        EXPECT_FALSE(model.SetProperty(L"", L"id", L"a", disk).written);
        EXPECT_EQ(model.Step(true, disk).status, L"Nothing to undo");
    }
}

TEST(PathFromMenuFolder, IsRelativeInsideTheFolder) {
    const struct {
        const wchar_t* folder;
        const wchar_t* chosen;
        const wchar_t* path;
    } cases[] = {
        {L"C:\\Disc", L"C:\\Disc\\pics\\a.bmp", L"pics\\a.bmp"},
        {L"C:\\Disc\\", L"c:/disc/A.BMP", L"A.BMP"},             // letter case and "/" aside
        {L"C:\\Disc", L"C:\\Disc2\\a.bmp", L"C:\\Disc2\\a.bmp"}, // outside: as chosen
        {L"C:\\Disc", L"D:\\a.bmp", L"D:\\a.bmp"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathFromMenuFolder(c.folder, c.chosen), c.path) << c.chosen;
    }
    EXPECT_EQ(ColourText(0, 128, 255), L"0 128 255");
    EXPECT_EQ(FontText(L"Tahoma", true, false, true), L"Tahoma Bold Underline");
    EXPECT_EQ(FontText(L"Arial", false, false, false), L"Arial");
    EXPECT_EQ(FontText(L"Courier New", false, true, false), std::nullopt); // cut at the space
}

} // namespace
