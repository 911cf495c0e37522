// navora-pack's rules: what a configuration brings onto the medium, the headers of programs,
// names, autorun.inf, the volume label and command-line quoting.
#include <gtest/gtest.h>

#include "FakeFiles.h"
#include "tools/PackRules.h"
#include "xml/xmlReader.h"

namespace {

void Put(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

// The first bytes of a PE32 (magic 0x10B) or PE32+ (0x20B) program whose certificate table
// holds `certificate` bytes, with `directories` data directories.
std::string ProgramHead(std::uint32_t magic, std::uint32_t certificate,
                        std::uint32_t directories = 16, std::uint16_t machine = 0x14c) {
    std::string head(1024, '\0');
    head.replace(0, 2, "MZ");
    Put(head, 0x3C, 0x80, 4);
    head.replace(0x80, 4, std::string("PE\0\0", 4));
    Put(head, 0x84, machine, 2);
    const std::size_t count = 0x98 + (magic == 0x10B ? 92 : 108);
    Put(head, 0x80 + 20, static_cast<std::uint32_t>(count + 4 + directories * 8 - 0x98), 2);
    Put(head, 0x98, magic, 2);
    Put(head, count, directories, 4);
    Put(head, count + 4 + 32, certificate == 0 ? 0 : 0x2000, 4);
    Put(head, count + 4 + 36, certificate, 4);
    return head;
}

TEST(PackRules, PlansTheMediumFromWhatTheMenuReads) {
    const std::wstring text = LR"(<config>
  <General icon="navora.ico" background="Pics\back.png" caption="Demo"/>
  <ButtonConfig><ButtonLayout icon="pics\default.png"/></ButtonConfig>
  <BtnBeenden><ButtonLayout caption="Ende" icon="PICS\Knopf.png"/>
    <Query type="file"><FileQueryConfig path="Setup.exe"/></Query></BtnBeenden>
  <Pages><Page>
    <Button><ButtonLayout caption="a" icon="pics\knopf.png" background="missing.png"/>
      <Query type="file"><FileQueryConfig path="redist\*.msi"/>
        <Positiv><Command type="exec"><ExecCommandConfig path="setup.exe" makeabsolute="true"/>
          <Command type="exec"><ExecCommandConfig path="%MENUDIR%\signed.exe"/></Command>
        </Command></Positiv>
        <Negativ><Command type="exec"><ExecCommandConfig path="notepad.exe"/></Command></Negativ>
      </Query></Button>
    <Button><ButtonLayout caption="b"/><Command type="exec">
      <ExecCommandConfig path="tools\run.exe"/><Command type="exec">
      <ExecCommandConfig path="..\elsewhere.txt"/><Command type="exec">
      <ExecCommandConfig path="https://example.org"/><Command type="exec">
      <ExecCommandConfig path="C:\Windows\notepad.exe"/><Command type="lernprog"/>
      </Command></Command></Command></Command></Button>
  </Page></Pages>
</config>)";
    FakeFiles files(std::map<std::wstring, std::string>{
        {L"navora.ico", ""},
        {L"pics\\back.png", ""},
        {L"pics\\knopf.png", ""},
        {L"pics\\default.png", ""},
        {L"redist\\a.msi", ""},
        {L"setup.exe", ProgramHead(0x10B, 0)},
        {L"signed.exe", ProgramHead(0x20B, 1800)},
        {L"tutorrun.exe", ProgramHead(0x10B, 0)},
    });
    const PackPlan plan = PlanMedium(MenuReferences(ParseXmlText(text)->Root()), files);
    // Each file once, as first written; the menu takes no icon from "ButtonConfig".
    EXPECT_EQ(plan.copies, (std::vector<std::wstring>{
                               L"navora.ico", L"Pics\\back.png", L"PICS\\Knopf.png", L"Setup.exe",
                               L"redist\\*.msi", L"signed.exe", L"TUTORRUN.exe"}));
    // notepad.exe comes from the system's search path; tools\run.exe names a folder.
    EXPECT_EQ(plan.missing, (std::vector<std::wstring>{L"missing.png", L"tools\\run.exe"}));
    EXPECT_EQ(plan.outside, std::vector<std::wstring>{L"..\\elsewhere.txt"});
    // setup.exe, looked for by a query before a step starts it, is checked too.
    EXPECT_EQ(plan.unsigned_, (std::vector<std::wstring>{L"setup.exe", L"TUTORRUN.exe"}));
}

TEST(PackRules, PlacesPathsOnTheMediumOrElsewhere) {
    const struct {
        const wchar_t* path;
        Placement placement;
        const wchar_t* relative;
    } cases[] = {
        {L"a.png", Placement::Medium, L"a.png"},
        {L".\\pics//a.png", Placement::Medium, L"pics\\a.png"},
        {L"pics\\..\\a.png", Placement::Medium, L"a.png"},
        {L"%MenuDir%\\setup.exe", Placement::Medium, L"setup.exe"},
        {L"%MENUDRIVE%\\docs\\x.pdf", Placement::Medium, L"docs\\x.pdf"},
        {L"..\\a.png", Placement::Outside, L""},
        {L"pics\\..\\..\\a.png", Placement::Outside, L""},
        {L".", Placement::Elsewhere, L""},
        {L"C:\\Windows\\notepad.exe", Placement::Elsewhere, L""},
        {L"\\\\server\\share\\a.exe", Placement::Elsewhere, L""},
        {L"/a.png", Placement::Elsewhere, L""},
        {L"%ProgramFiles%\\x.exe", Placement::Elsewhere, L""},
        {L"%MENUDIR%setup.exe", Placement::Elsewhere, L""},
        {L"mailto:a@example.org", Placement::Elsewhere, L""},
        {L"http://example.org/a", Placement::Elsewhere, L""},
    };
    for (const auto& c : cases) {
        std::wstring relative;
        EXPECT_EQ(PlaceOf({c.path, ReferenceKind::Program}, relative), c.placement)
            << EncodeUtf8(c.path);
        if (c.placement == Placement::Medium) {
            EXPECT_EQ(relative, c.relative);
        }
    }
    // The menu reads a picture's name as written: a variable there is part of a name.
    std::wstring relative;
    EXPECT_EQ(PlaceOf({L"%MENUDIR%\\a.png", ReferenceKind::Picture}, relative), Placement::Medium);
    EXPECT_EQ(relative, L"%MENUDIR%\\a.png");
}

TEST(PackRules, ReadsTheProgramHeader) {
    const struct {
        std::string head;
        bool program;
        bool signedAuthenticode;
        std::uint16_t machine;
    } cases[] = {
        {ProgramHead(0x10B, 0), true, false, 0x14c},
        {ProgramHead(0x10B, 2048), true, true, 0x14c},
        {ProgramHead(0x20B, 0, 16, 0x8664), true, false, 0x8664},
        {ProgramHead(0x20B, 2048, 16, 0x8664), true, true, 0x8664},
        {ProgramHead(0x10B, 2048, 4), true, false, 0x14c}, // no certificate table
        {ProgramHead(0x10B, 2048).substr(0, 0x98 + 96 + 36), true, false, 0x14c},
        {ProgramHead(0x10B, 0).substr(0, 0x98 + 60), false, false, 0},
        {ProgramHead(0x107, 2048), false, false, 0},
        {"MZ" + std::string(100, '\xFF'), false, false, 0},
        {std::string("ZM") + ProgramHead(0x10B, 0).substr(2), false, false, 0},
        {"Handbuch", false, false, 0},
        {"", false, false, 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto header = ReadProgramHeader(cases[i].head);
        ASSERT_EQ(header.has_value(), cases[i].program) << i;
        if (header) {
            EXPECT_EQ(header->signedAuthenticode, cases[i].signedAuthenticode) << i;
            EXPECT_EQ(header->machine, cases[i].machine) << i;
        }
    }
}

TEST(PackRules, NamesTheProgramAndFindsVariants) {
    const struct {
        const wchar_t* config;
        const wchar_t* program; // nullptr: none
    } programs[] = {
        {L"navora.xml", L"navora.exe"}, {L"Mein Menü.XML", L"Mein Menü.exe"},
        {L"setup.exe.xml", nullptr}, // the menu would read setup.xml.xml
        {L"menu.txt", nullptr},         {L".xml", nullptr},
    };
    for (const auto& c : programs) {
        const auto program = ProgramNameFor(c.config);
        EXPECT_EQ(program.value_or(L"none"), c.program ? c.program : L"none");
    }
    const struct {
        const wchar_t* file;
        bool variant;
    } variants[] = {
        {L"navora.de-AT.xml", true},   {L"NAVORA.en.XML", true},
        {L"navora.xml", false},        {L"navora..xml", false},
        {L"navora-2.en.xml", false},   {L"navora.de.txt", false},
        {L"navora.backup.xml", false}, {L"navora.zh-Hant-TW.xml", true},
        {L"navora.es-419.xml", true},  {L"navora.d.xml", false},
    };
    for (const auto& c : variants) {
        EXPECT_EQ(IsLanguageVariant(L"Navora.xml", c.file), c.variant) << EncodeUtf8(c.file);
    }
}

TEST(PackRules, KeepsNamesWithinJolietAndTheVolumeLabel) {
    const std::wstring name64(64, L'n');
    EXPECT_TRUE(FitsJoliet(name64 + L"\\" + name64));
    EXPECT_FALSE(FitsJoliet(L"docs\\" + name64 + L"x"));
    EXPECT_FALSE(FitsJoliet(std::wstring(63, L'n') + L"\U0001F600")); // two UTF-16 units

    const struct {
        std::wstring label;
        std::string volume;
    } labels[] = {
        {L"Navora \u2013 Rundgang", "Navora \xE2\x80\x93 Rundgang"},
        {L"Zeile\neins", "Zeile eins"},
        {std::wstring(40, L'A'), std::string(32, 'A')},
        // A character that would pass byte 32 is left out whole.
        {std::wstring(31, L'A') + L"\u00e4", std::string(31, 'A')},
    };
    for (const auto& c : labels) {
        EXPECT_EQ(VolumeLabel(c.label), c.volume);
    }
}

std::wstring FromUtf16(const std::string& bytes) {
    std::wstring text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    return text;
}

TEST(PackRules, WritesAutorunInf) {
    const struct {
        const wchar_t* program;
        const wchar_t* icon;
        const wchar_t* label;
        const wchar_t* text;
    } cases[] = {
        {L"navora.exe", L"pics\\navora.ico", L"Navora \u2013 Rundgang",
         L"[autorun]\r\nopen=navora.exe\r\nicon=pics\\navora.ico\r\nlabel=Navora \u2013 "
         L"Rundgang\r\n"},
        {L"Mein Menü.exe", L"", L"Zwei\r\nZeilen",
         L"[autorun]\r\nopen=\"Mein Menü.exe\"\r\nicon=Mein Menü.exe,0\r\nlabel=Zwei  Zeilen\r\n"},
    };
    for (const auto& c : cases) {
        const std::string bytes = AutorunInf(c.program, c.icon, c.label);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
        EXPECT_EQ(FromUtf16(bytes), c.text);
    }
}

TEST(PackRules, QuotesArgumentsAsTheRuntimeSplitsThem) {
    const struct {
        const wchar_t* argument;
        const wchar_t* quoted;
    } cases[] = {
        {L"plain", L"plain"},
        {L"", L"\"\""},
        {L"C:\\Program Files\\x", L"\"C:\\Program Files\\x\""},
        {L"C:\\dir with space\\", L"\"C:\\dir with space\\\\\""},
        {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
        {L"a\\\\\"b", L"\"a\\\\\\\\\\\"b\""},
        {L"back\\slash", L"back\\slash"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuotedArgument(c.argument), c.quoted) << EncodeUtf8(c.argument);
    }
}

} // namespace
