#include <gtest/gtest.h>

#include "config/CommandLine.h"
#include "xml/TextDecoding.h"

namespace {

constexpr const wchar_t* kExe = L"\"C:\\Menu\\MENU.EXE\" ";

struct LineCase {
    const wchar_t* args;
    const wchar_t* dir;
    const wchar_t* file;
    int setChk; // -1 absent, 0 false, 1 true
};

const LineCase kLines[] = {
    {L"", L"", L"", -1},
    {L"-cfg C:\\My Menus\\main.xml", L"C:\\My Menus\\", L"main.xml", -1},
    {L"-cfg C:\\Menus\\MAIN.XML -x", L"C:\\Menus\\", L"MAIN.XML", -1},
    {L"-cfg main.xml", L"", L"main.xml", -1},
    {L"-cfg \"C:\\m\\a.xml\"", L"\"C:\\m\\", L"a.xml", -1},
    {L"-cfg C:\\Menus\\main.txt", L"", L"", -1},
    {L"-cfg C:\\a.xml\\b.xml", L"C:\\a.xml\\", L"b.xml", -1},
    {L"x.xml -cfg C:\\a.txt", L"", L"", -1},
    {L"-cfg .xml", L"", L".xml", -1},
    {L"-cfg", L"", L"", -1},
    {L"-setchk true", L"", L"", 1},
    {L"-setchk false", L"", L"", 0},
    {L"-setchk yes", L"", L"", 0},
    {L"-setchk TRUE", L"", L"", 0},
    {L"-setchk True", L"", L"", 0},
    {L"-setchk", L"", L"", -1},
    {L"-setchk ", L"", L"", 0},
    {L"-setchk true\tx", L"", L"", 0},
    {L"-setchk true -cfg C:\\m\\a.xml", L"C:\\m\\", L"a.xml", 1},
    {L"-cfg C:\\m\\a.xml -setchk true", L"C:\\m\\", L"a.xml", 1},
    {L"-setchk false -setchk true", L"", L"", 0},
    {L"-SETCHK true -CFG C:\\m\\a.xml", L"", L"", -1},
};

class CommandLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLines, ParseAsTheMenuDoes) {
    const LineCase& c = GetParam();
    const CommandLineOptions got = ParseOptions(std::wstring(kExe) + c.args);
    EXPECT_EQ(got.cfg.dir, c.dir) << EncodeUtf8(c.args);
    EXPECT_EQ(got.cfg.file, c.file) << EncodeUtf8(c.args);
    EXPECT_EQ(got.setChk.has_value() ? int(*got.setChk) : -1, c.setChk) << EncodeUtf8(c.args);
}

INSTANTIATE_TEST_SUITE_P(Options, CommandLines, ::testing::ValuesIn(kLines));

TEST(CommandLine, ProgramNameWithADashIsCutAway) {
    // Everything before the first '-' goes; a dash in the program's path starts the option text.
    const auto got = ParseOptions(L"C:\\my-menu\\menu.exe -cfg C:\\m\\a.xml");
    EXPECT_EQ(got.cfg, (ConfigPath{L"C:\\m\\", L"a.xml"}));
}

TEST(DefaultConfigPath, LowerCasesAndReplacesEveryExe) {
    EXPECT_EQ(DefaultConfigPath(L"C:\\Menu\\MENU.EXE"), (ConfigPath{L"c:\\menu\\", L"menu.xml"}));
    EXPECT_EQ(DefaultConfigPath(L"D:\\tools.exe.d\\menu.exe"),
              (ConfigPath{L"d:\\tools.xml.d\\", L"menu.xml"}));
    EXPECT_EQ(DefaultConfigPath(L"E:\\Ärger\\Start.Exe"),
              (ConfigPath{L"e:\\Ärger\\", L"start.xml"}));
}

TEST(EffectiveConfigPath, UsesTheDefaultWhenNoDirectoryWasGiven) {
    const wchar_t* exe = L"C:\\Menu\\MENU.EXE";
    EXPECT_EQ(EffectiveConfigPath(ParseOptions(L"menu.exe -cfg main.xml"), exe),
              (ConfigPath{L"c:\\menu\\", L"menu.xml"}));
    EXPECT_EQ(EffectiveConfigPath(ParseOptions(L"menu.exe -cfg D:\\x\\Main.xml"), exe),
              (ConfigPath{L"D:\\x\\", L"Main.xml"}));
    EXPECT_EQ(EffectiveConfigPath(ParseOptions(L"menu.exe"), exe),
              (ConfigPath{L"c:\\menu\\", L"menu.xml"}));
}

} // namespace
