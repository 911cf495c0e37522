// navora-check's diagnostics, one small file per mistake an author makes: the
// exact lines printed and the exit status.
#include <gtest/gtest.h>

#include <cctype>

#include "CheckerMenu.h"
#include "FakeFiles.h"
#include "tools/Checker.h"
#include "tools/PngWriter.h"
#include "xml/xmlElement.h"

namespace {

// A bitmap of 24 bits, 2 x 2 by default; or the headers of a run-length one of any size,
// whose few bytes of pixels the file holds.
std::string TinyBitmap(std::uint32_t width = 2, std::uint32_t height = 2, bool rle = false) {
    std::string bmp = "BM";
    const auto le = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    le(14 + 40 + 16, 4);
    le(0, 4);
    le(rle ? 58 : 54, 4);
    for (const std::uint32_t v : {40u, width, height}) {
        le(v, 4);
    }
    le(1, 2);
    le(rle ? 8 : 24, 2);
    for (const std::uint32_t v : {rle ? 1u : 0u, 16u, 0u, 0u, rle ? 1u : 0u, 0u}) {
        le(v, 4);
    }
    return bmp + std::string(rle ? 20 : 16, '\x7f');
}

// An icon file whose one image is a PNG claiming `size` pixels a side.
std::string PngIcon(std::uint8_t size) {
    std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18) +
                      static_cast<char>(size) + std::string(3, '\0') + static_cast<char>(size) +
                      std::string(10, '\0');
    return std::string("\0\0\1\0\1\0\0\0\0\0\0\0\0\0", 14) + static_cast<char>(png.size()) +
           std::string("\0\0\0\x16\0\0\0", 7) + png;
}

std::string Output(const CheckResult& result, bool werror = false) {
    std::string text;
    for (const Diagnostic& d : result.diagnostics) {
        text += FormatDiagnostic("m.xml", d, werror);
    }
    return text;
}

CheckResult Check(const std::string& bytes) {
    FakeFiles files(
        {{L"setup.exe", "MZ"},
         {L"back.bmp", TinyBitmap()},
         {L"wide.bmp", TinyBitmap(20000, 2)},
         {L"huge.bmp", TinyBitmap(8192, 8192, true)},
         {L"cut.bmp", TinyBitmap().substr(0, 60)},
         {L"big.ico", PngIcon(2)},
         {L"picture.png", EncodePng(2, 2, std::vector<std::uint8_t>(12, 9))},
         {L"cut.png", EncodePng(2, 2, std::vector<std::uint8_t>(12, 9)).substr(0, 50)}});
    return CheckConfig(bytes, files);
}

const std::string& kBase = kCheckerMenu;

struct Mistake {
    const char* name;
    const char* from; // replaced once in kBase
    const char* to;
    const char* expected;
    int status;
};

const Mistake kMistakes[] = {
    {"clean", "", "", "", 0},
    {"misspelt section", "<General ", "<Genral ",
     "m.xml:2:1: error: the window has no inside: give <General> a width and a height, or a "
     "background picture [window-size]\nm.xml:3:3: error: the menu does not read <Genral> inside "
     "<config> [unknown-element]\nm.xml:3:3: note: did you mean <General>?\n",
     1},
    {"section in other letter case",
     "<ButtonConfig>\n    <ButtonLayout width=\"100\" height=\"30\"/>\n  </ButtonConfig>",
     "<buttonconfig>\n    <ButtonLayout width=\"100\" height=\"30\"/>\n  </buttonconfig>",
     "m.xml:7:3: error: the menu does not read <buttonconfig> inside <config> "
     "[unknown-element]\nm.xml:7:3: note: did you mean <ButtonConfig>?\n",
     1},
    {"Page for Pages", "<Pages>", "<Page>",
     "m.xml:10:3: error: the menu does not read <Page> inside <config> "
     "[unknown-element]\nm.xml:10:3: note: did you mean <Pages>?\nm.xml:18:3: error: </Pages> does "
     "not end the open element <Page>: the menu reads everything up to the next fitting end tag as "
     "inside the open element [end-tag]\n",
     1},
    {"unknown child of ButtonConfig", "<ButtonLayout width", "<Layout width",
     "m.xml:8:5: error: the menu does not read <Layout> inside <ButtonConfig> [unknown-element]\n",
     1},
    {"unknown child of a control", "<ButtonPosition ", "<Position ",
     "m.xml:13:9: error: the menu does not read <Position> inside <Button> [unknown-element]\n", 1},
    {"unknown child of a query", "<Command type=\"weiter\"/>",
     "<Query type=\"yesnobox\"><positiv><Command type=\"weiter\"/></positiv></Query>",
     "m.xml:15:32: error: the menu does not read <positiv> inside <Query> "
     "[unknown-element]\nm.xml:15:32: note: did you mean <Positiv>?\n",
     1},
    {"settings element of another type", "<Command type=\"weiter\"/>",
     "<Command type=\"showmessage\"><ExecCommandConfig path=\"a.exe\"/></Command>",
     "m.xml:15:37: error: <ExecCommandConfig> is read only when type is 'exec', and here it is "
     "'showmessage' [unused-settings]\n",
     1},
    {"misspelt attribute", "tabindex=\"1\"", "tabindex=\"1\" widht=\"5\"",
     "m.xml:14:50: error: the menu does not read the attribute 'widht' on <ButtonLayout> "
     "[unknown-attribute]\nm.xml:14:50: note: did you mean 'width'?\n",
     1},
    {"attribute ButtonConfig does not supply", "<ButtonLayout width=\"100\"",
     "<ButtonLayout caption=\"X\" width=\"100\"",
     "m.xml:8:19: error: controls take only width, height, bgcolor, transparent, dreid from "
     "<ButtonLayout> in <ButtonConfig>: 'caption' here is never read [not-a-default]\n",
     1},
    {"attribute twice", "caption=\"A\"", "caption=\"A\" Caption=\"B\"",
     "m.xml:3:24: warning: only the first 'caption' of an element is read "
     "[duplicate-attribute]\nm.xml:3:12: note: the first one is here\n",
     0},
    {"element twice", "<General ",
     "<General caption=\"B\" width=\"400\" height=\"300\"/>\n  <General ",
     "m.xml:4:3: warning: only the first <General> in <config> is read; this one is ignored "
     "[duplicate-element]\nm.xml:3:3: note: the first one is here\n",
     0},
    {"keyword in other case", "height=\"300\"", "height=\"300\" windowpos=\"Center\"",
     "m.xml:3:59: error: windowpos=\"Center\" is not a keyword the menu knows: the window goes to "
     "'left' and 'top'; keywords are case-sensitive: write 'center' [keyword]\n",
     1},
    {"unknown tooltip kind", "tttype=\"cursortt\"", "tttype=\"StaticTT\"",
     "m.xml:4:26: error: tttype=\"StaticTT\" is not a keyword the menu knows: the menu stops with "
     "\"Tooltipp-Typ nicht gesetzt\"; keywords are case-sensitive: write 'statictt' [keyword]\n",
     1},
    {"no tooltip kind", " tttype=\"cursortt\"", "",
     "m.xml:4:3: error: <ToolTippConfig> has no tttype: the menu stops with \"Tooltipp-Typ nicht "
     "gesetzt\"; write tttype=\"statictt\", \"buttontt\" or \"cursortt\" [keyword]\n",
     1},
    {"short hive name", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKCU\" key=\"k\" wert=\"w\" "
     "type=\"REG_SZ\" value=\"1\"/></Query>",
     "m.xml:15:58: error: hkey=\"HKCU\" is not a keyword the menu knows: the menu reads "
     "HKEY_CURRENT_CONFIG; write HKEY_CURRENT_USER [keyword]\n",
     1},
    {"registry type in other case", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_CURRENT_USER\" key=\"k\" "
     "wert=\"w\" type=\"reg_dword\" value=\"1\"/></Query>",
     "m.xml:15:100: error: type=\"reg_dword\" is not a keyword the menu knows: the test never "
     "holds; keywords are case-sensitive: write 'REG_DWORD' [keyword]\n",
     1},
    {"unknown command", "type=\"weiter\"", "type=\"exce\"",
     "m.xml:15:23: error: type=\"exce\" is not a keyword the menu knows: the chain fails here with "
     "\"Nicht alle Commands/Abfragen konnten ausgef\xc3"
     "\xbc"
     "hrt werden\"; write one of weiter, zur\xc3"
     "\xbc"
     "ck, showmessage, beenden, exec, lernprog, minimize, gotopage [keyword]\n",
     1},
    {"command without type", "<Command type=\"weiter\"/>", "<Command />",
     "m.xml:15:9: error: <Command> has no type: the chain fails here with \"Nicht alle "
     "Commands/Abfragen konnten ausgef\xc3"
     "\xbc"
     "hrt werden\" [keyword]\n",
     1},
    {"check type out of range", "<Command type=\"weiter\"/>",
     "<Query type=\"winversion\"><WinVersionQueryConfig checktype=\"3\" "
     "majorversion=\"6\"/></Query>",
     "m.xml:15:67: error: checktype=\"3\" is not a keyword the menu knows: the test never holds; "
     "write one of -2, -1, 0, 1, 2 [keyword]\n",
     1},
    {"flag in other case", "tabindex=\"1\"", "tabindex=\"1\" dreid=\"True\"",
     "m.xml:14:56: error: dreid=\"True\" is off: only 'true', in lower case, switches it on; write "
     "true or false [flag]\n",
     1},
    {"number with a unit", "fontsize=\"12\"", "fontsize=\"28pt\"",
     "m.xml:5:35: error: fontsize=\"28pt\" is not a plain number: the menu reads 28; write digits "
     "only [number]\n",
     1},
    {"colour with commas", "caption=\"A\"", "caption=\"A\" bgcolor=\"24,64,112\"",
     "m.xml:3:32: error: bgcolor=\"24,64,112\" is not three numbers from 0 to 255 separated by "
     "spaces: the menu reads the colour 0 0 0 (red green blue) [colour]\n",
     1},
    {"colour in hex", "caption=\"A\"", "caption=\"A\" bgcolor=\"#184070\"",
     "m.xml:3:32: error: bgcolor=\"#184070\" is not three numbers from 0 to 255 separated by "
     "spaces: the menu reads the colour 0 0 0 (red green blue) [colour]\n",
     1},
    {"font face with a space", "font=\"Arial\"", "font=\"Times New Roman\"",
     "m.xml:5:18: error: the menu takes the face name up to the first space and asks Windows for "
     "'Times'; a face whose name has a space cannot be named [font]\n",
     1},
    {"style word in lower case", "font=\"Arial\"", "font=\"Arial bold\"",
     "m.xml:5:18: error: 'bold' is not a style word the menu knows: write 'Bold' [font]\n", 1},
    {"value ending in a backslash", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"D:\\setup\\\" "
     "maximized=\"true\"/></Command>",
     "m.xml:15:54: error: the value of 'path' ends in a backslash, which escapes the closing quote "
     "for the menu: it reads on to the next quote; drop the last backslash [backslash-end]\n",
     1},
    {"comment before the root", "<config>",
     "<!-- Men\xc3"
     "\xbc"
     " -->\n<config>",
     "m.xml:2:1: error: the menu has no comments: it reads an element named '!--' here, and it "
     "becomes the root, and the real root lies inside it; delete the comment [comment]\n",
     1},
    {"comment inside", "  <Pages>", "  <!-- alt -->\n  <Pages>",
     "m.xml:10:3: error: the menu has no comments: it reads an element named '!--' here, and it "
     "takes in everything after it up to its parent's end tag; delete the comment [comment]\n",
     1},
    {"DOCTYPE", "<config>", "<!DOCTYPE config>\n<config>",
     "m.xml:2:1: error: the menu reads <!DOCTYPE> as an element, and it becomes the root, and the "
     "real root lies inside it; delete it [doctype]\n",
     1},
    {"question mark without declaration",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config>\n  <General caption=\"A\"",
     "<config>\n  <General caption=\"Was nun?\"",
     "m.xml:2:28: error: without the declaration <?xml version=\"1.0\" encoding=\"UTF-8\"?> at the "
     "top, the first '?' makes the menu skip everything before the next '<'; add the declaration "
     "as the first line [question-mark]\n",
     1},
    {"question mark before the first tag", "<?xml", "?<?xml",
     "m.xml:1:1: warning: the menu ignores text between tags (a '=', '>' or '/>' in it is even "
     "taken for markup); delete it [ignored-text]\nm.xml:1:2: error: only the declaration at the "
     "very top is skipped: the menu reads this '<?' as an element, and it becomes the root, and "
     "the real root lies inside it [question-mark]\n",
     1},
    {"end tag with a space", "</Page>", "</Page >",
     "m.xml:17:5: error: the menu reads this end tag as an element named '/Page', and it takes in "
     "everything after it; write it exactly </Page>, without spaces, with the name of the element "
     "it ends [end-tag]\n",
     1},
    {"end tag of another element", "</Page>", "</Pag>",
     "m.xml:17:5: error: </Pag> does not end the open element <Page>: the menu reads everything up "
     "to the next fitting end tag as inside the open element [end-tag]\n",
     1},
    {"missing quote", "caption=\"Los\" tabindex", "caption=\"Los tabindex",
     "m.xml:14:31: error: a double quote is missing or one too many in or after this value: the "
     "menu pairs every later quote differently [quote]\n",
     1},
    {"single quotes", "caption=\"Los\"", "caption='Los'",
     "m.xml:14:31: error: the menu reads values only in double quotes: write caption=\"Los\" "
     "[quote]\n",
     1},
    {"tab before an attribute", "caption=\"Los\" tabindex", "caption=\"Los\"\n\ttabindex",
     "m.xml:15:2: error: the menu needs a space before the attribute name 'tabindex' (a tab, a "
     "line break or a quote alone does not separate it): it reads 'caption=\"los\"\\n\\ttabindex' "
     "instead [attribute-space]\n",
     1},
    {"no space between attributes", "caption=\"Los\" tabindex", "caption=\"Los\"tabindex",
     "m.xml:14:36: error: the menu needs a space before the attribute name 'tabindex' (a tab, a "
     "line break or a quote alone does not separate it): it reads 'caption=\"los\"tabindex' "
     "instead [attribute-space]\n",
     1},
    {"empty element without a space", "<Command type=\"weiter\"/>",
     "<Spacer/><Command type=\"weiter\"/>",
     "m.xml:15:9: error: the menu reads an element named 'Spacer/', not 'Spacer', and it takes in "
     "everything after it; write <Spacer /> [empty-element-space]\n",
     1},
    {"entity", "caption=\"Los\"", "caption=\"Los &amp; mehr\"",
     "m.xml:14:31: error: the menu decodes no entities: it reads 'Los &amp; mehr'; write "
     "caption=\"Los && mehr\" [entity]\n",
     1},
    {"text between tags", "  <Pages>", "  Seiten:\n  <Pages>",
     "m.xml:10:3: warning: the menu ignores text between tags (a '=', '>' or '/>' in it is even "
     "taken for markup); delete it [ignored-text]\n",
     0},
    {"value with spaces at its ends", "caption=\"Los\"", "caption=\" Los\"",
     "m.xml:14:31: warning: the menu drops the white space at both ends of a value: it reads 'Los' "
     "[trimmed-value]\n",
     0},
    {"single ampersand in a caption", "caption=\"Los\"",
     "caption=\"Bilder & T\xc3"
     "\xb6"
     "ne\"",
     "m.xml:14:31: error: a single '&' in caption is not shown: Windows underlines the character "
     "after it instead; write '&&' for an '&' [ampersand]\n",
     1},
    {"single ampersand in a tooltip", "caption=\"Los\"", "caption=\"Los\" tooltipp=\"A & B\"",
     "m.xml:14:46: error: a single '&' in tooltipp is not shown: Windows underlines the character "
     "after it instead; write '&&' for an '&' [ampersand]\n",
     1},
    {"no caption", "caption=\"Los\" ", "",
     "m.xml:12:7: error: control 1 on page 1 (<Button>) has no caption: the menu stops with "
     "\"Caption f\xc3"
     "\xbc"
     "r Button wurde nicht gesetzt\"; give its <ButtonLayout> a caption [no-caption]\n",
     1},
    {"check box without id", "caption=\"Los\"", "type=\"checkbox\" caption=\"Los\"",
     "m.xml:12:7: warning: this check box has no id: its state is recorded only in a file with "
     "exactly one currentval [checkbox-id]\nm.xml:15:9: warning: a check box only toggles: this "
     "<Command> never runs; without type=\"checkbox\" the control is a push button that runs it "
     "[unreached-chain]\n",
     0},
    {"check boxes with one id", "      <Button>\n",
     "      <Box id=\"x\"><ButtonPosition top=\"100\"/><ButtonLayout type=\"checkbox\" "
     "caption=\"B\" currentval=\"false\"/></Box>\n      <Box id=\"x\"><ButtonPosition "
     "top=\"150\"/><ButtonLayout type=\"checkbox\" caption=\"C\" currentval=\"false\"/></Box>\n"
     "      <Button>\n",
     "m.xml:13:7: error: another check box has the id 'x': the menu records both states in the "
     "first one's currentval [checkbox-id]\nm.xml:12:7: note: the first check box with this id\n",
     1},
    {"tab index twice", "      <Button>\n",
     "      <Box><ButtonPosition top=\"100\"/><ButtonLayout caption=\"B\" tabindex=\"1\"/></Box>\n"
     "      <Button>\n",
     "m.xml:13:7: error: tabindex 1 is used twice on this page: the Tab key never reaches this "
     "control [tab-index]\nm.xml:12:7: note: the first control with this tabindex\n",
     1},
    {"control partly outside", "left=\"10\" top=\"10\"", "left=\"350\" top=\"10\"",
     "m.xml:12:7: warning: control 1 on page 1 (<Button>) reaches beyond the window's inside (400 "
     "x 300 pixels): it is cut off [outside-window]\n",
     0},
    {"control wholly outside", "left=\"10\" top=\"10\"", "left=\"500\" top=\"10\"",
     "m.xml:12:7: error: control 1 on page 1 (<Button>) lies wholly outside the window's inside "
     "(400 x 300 pixels): it is never seen [outside-window]\n",
     1},
    {"window without size", " width=\"400\" height=\"300\"", "",
     "m.xml:3:3: error: the window has no inside: give <General> a width and a height, or a "
     "background picture [window-size]\n",
     1},
    {"missing background and icon", "caption=\"A\"",
     "caption=\"A\" background=\"nope.bmp\" icon=\"nope.ico\"",
     "m.xml:3:35: error: 'nope.bmp' does not exist beside the configuration: the menu shows no "
     "picture [missing-file]\nm.xml:3:51: error: 'nope.ico' does not exist beside the "
     "configuration: the menu shows no icon [missing-file]\n",
     1},
    {"PNG as background", "caption=\"A\"", "caption=\"A\" background=\"picture.png\"", "", 0},
    {"PNG cut short", "caption=\"A\"", "caption=\"A\" background=\"cut.png\"",
     "m.xml:3:35: error: 'cut.png' is damaged or incomplete (its headers do not match its "
     "length): the menu shows nothing for it; copy or save it again [picture-format]\n",
     1},
    {"picture beside the file", "caption=\"A\"", "caption=\"A\" background=\"Back.BMP\"", "", 0},
    {"pictures beyond the limits", "caption=\"A\"",
     "caption=\"A\" background=\"wide.bmp\" icon=\"big.ico\"",
     "m.xml:3:35: error: 'wide.bmp' is 20000 x 2 pixels: the menu shows nothing wider or taller "
     "than 16384 pixels [picture-format]\nm.xml:3:51: error: 'big.ico' holds an image larger "
     "than 256 x 256 pixels: the menu shows no icon; keep only images of up to 256 pixels "
     "[picture-format]\n",
     1},
    {"pictures beyond 256 MB together", "caption=\"Los\"",
     "caption=\"Los\" background=\"huge.bmp\" icon=\"back.bmp\"",
     "m.xml:14:64: error: 'back.bmp' (2 x 2 pixels) takes the menu's pictures beyond 256 MB "
     "together, counted at 4 bytes a pixel and as much as decoding it holds: the menu shows "
     "nothing for it; make the pictures smaller [picture-format]\n",
     1},
    {"a damaged picture", "caption=\"A\"", "caption=\"A\" background=\"cut.bmp\"",
     "m.xml:3:35: error: 'cut.bmp' is damaged or incomplete (its headers do not match its "
     "length): the menu shows nothing for it; copy or save it again [picture-format]\n",
     1},
    {"missing program", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"setup\\start.exe\" "
     "makeabsolute=\"true\"/></Command>",
     "m.xml:15:54: error: 'setup\\start.exe' does not exist beside the menu: the step fails when "
     "clicked [missing-file]\n",
     1},
    {"absolute path with makeabsolute", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"C:\\x.exe\" "
     "makeabsolute=\"true\"/></Command>",
     "m.xml:15:54: error: makeabsolute puts the menu's folder in front of 'C:\\x.exe' "
     "(D:\\C:\\x.exe), so it fails; remove makeabsolute or make the path relative [makeabsolute]\n",
     1},
    {"URL with makeabsolute", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"https://example.com\" "
     "makeabsolute=\"true\"/></Command>",
     "m.xml:15:54: error: makeabsolute puts the menu's folder in front of 'https://example.com' "
     "(D:\\https://example.com), so it fails; remove makeabsolute or make the path relative "
     "[makeabsolute]\n",
     1},
    {"URL without makeabsolute", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"https://example.com\"/></Command>", "", 0},
    {"file query not beside the file", "<Command type=\"weiter\"/>",
     "<Query type=\"file\"><FileQueryConfig path=\"daten\\*.pdf\"/></Query>",
     "m.xml:15:50: warning: nothing matches 'daten\\*.pdf' beside the configuration; note that the "
     "menu looks relative to its current folder, which need not be its own [file-query]\n",
     0},
    {"file query beside the file", "<Command type=\"weiter\"/>",
     "<Query type=\"file\"><FileQueryConfig path=\"setup.*\"/></Query>", "", 0},
    {"name longer than Joliet keeps", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig "
     "path=\"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn.exe\" "
     "makeabsolute=\"true\"/></Command>",
     "m.xml:15:54: warning: the name "
     "'nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn.exe' has 74 "
     "characters: a disc's Joliet file system keeps only 64 [long-file-name]\nm.xml:15:54: error: "
     "'nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn.exe' does not exist "
     "beside the menu: the step fails when clicked [missing-file]\n",
     1},
    {"unreached command", "<Command type=\"weiter\"/>",
     "<Command type=\"weiter\"><Command type=\"beenden\"/><Query type=\"yesnobox\"/></Command>",
     "m.xml:15:32: warning: the <Query> beside it is the next step: this <Command> never runs "
     "[unreached-chain]\n",
     0},
    {"program in the menu's folder", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\fehlt.exe\"/></Command>",
     "m.xml:15:54: error: 'fehlt.exe' does not exist beside the menu: the step fails when clicked "
     "[missing-file]\n",
     1},
    {"program in the menu's folder present", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"%menudir%\\Setup.exe\" "
     "parameter=\"%TEMP%\"/></Command>",
     "", 0},
    {"makeabsolute and the menu's folder", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\setup.exe\" "
     "makeabsolute=\"true\"/></Command>",
     "m.xml:15:54: error: makeabsolute puts the menu's folder in front of '%MENUDIR%\\setup.exe', "
     "which names it already: remove makeabsolute [makeabsolute]\n",
     1},
    {"misspelled variable", "<Command type=\"weiter\"/>",
     "<Query type=\"file\"><FileQueryConfig path=\"%MENUFOLDER%\\setup.exe\"/></Query>",
     "m.xml:15:50: warning: %MENUFOLDER% is not a variable the menu knows: it stays as written "
     "unless the user's environment has it; the menu's own are %MENUDIR% and %MENUDRIVE% "
     "[variable]\n",
     0},
    {"file query in the menu's folder", "<Command type=\"weiter\"/>",
     "<Query type=\"file\"><FileQueryConfig path=\"daten\\*.pdf\" makeabsolute=\"true\"/>"
     "</Query>",
     "m.xml:15:50: warning: nothing matches 'daten\\*.pdf' beside the menu [file-query]\n", 0},
    {"exit code never waited for", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\"/><Query "
     "type=\"exitcode\"><ExitCodeQueryConfig value=\"0\"/></Query></Command>",
     "m.xml:15:67: warning: no exec with wait=\"true\" runs before this exitcode query in its "
     "chain: it always takes <Negativ> [exitcode]\n",
     0},
    {"exit code waited for", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\" wait=\"true\"/><Query "
     "type=\"exitcode\"><ExitCodeQueryConfig value=\"0\"/><Positiv><Query type=\"exitcode\">"
     "<ExitCodeQueryConfig value=\"3010\"/></Query></Positiv></Query></Command>",
     "", 0},
    {"trueifsuccess", "<Command type=\"weiter\"/>",
     "<Query type=\"yesnobox\" trueifsuccess=\"false\"/>",
     "m.xml:15:46: warning: trueifsuccess has no effect: a test that holds always takes <Positiv> "
     "[trueifsuccess]\n",
     0},
    {"exit code in hex", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\" wait=\"true\"/><Query "
     "type=\"exitcode\"><ExitCodeQueryConfig value=\"0x80070005\"/></Query></Command>",
     "m.xml:15:129: error: value=\"0x80070005\" is hexadecimal: the menu reads exit codes only in "
     "decimal and never matches this; write value=\"2147942405\" [exitcode]\n",
     1},
    {"exit code out of range", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\" wait=\"true\"/><Query "
     "type=\"exitcode\"><ExitCodeQueryConfig value=\"4294967296\"/></Query></Command>",
     "m.xml:15:129: error: value=\"4294967296\" lies outside the 32-bit exit codes: the menu never "
     "matches it; write a number from -2147483648 to 4294967295 [exitcode]\n",
     1},
    {"exit code without value", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\" wait=\"true\"/><Query "
     "type=\"exitcode\"><ExitCodeQueryConfig /></Query></Command>",
     "m.xml:15:102: error: this exitcode query has no value: the menu never matches it; write the "
     "code to compare, e.g. <ExitCodeQueryConfig value=\"0\"/> [exitcode]\n",
     1},
    {"exit codes above 2^31 and negative", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\" wait=\"true\"/><Query "
     "type=\"exitcode\"><ExitCodeQueryConfig value=\"4294967295\"/><Negativ><Query "
     "type=\"exitcode\"><ExitCodeQueryConfig "
     "value=\"-1073741819\"/></Query></Negativ></Query></Command>",
     "", 0},
    {"REG_DWORD in hex", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_CURRENT_USER\" key=\"k\" "
     "wert=\"w\" type=\"REG_DWORD\" value=\"0x10\"/></Query>",
     "m.xml:15:118: error: value=\"0x10\" is hexadecimal: the menu reads REG_DWORD values in "
     "decimal and compares with 0 here; write value=\"16\" [registry-value]\n",
     1},
    {"REG_DWORD beyond the signed range", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_CURRENT_USER\" key=\"k\" "
     "wert=\"w\" type=\"REG_DWORD\" value=\"4294967295\"/></Query>",
     "m.xml:15:118: error: value=\"4294967295\" lies outside what the menu reads for REG_DWORD: it "
     "compares with 2147483647; write value=\"-1\" [registry-value]\n",
     1},
    {"REG_BINARY with capitals and spaces", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_CURRENT_USER\" key=\"k\" "
     "wert=\"w\" type=\"REG_BINARY\" value=\"0A FF\"/></Query>",
     "m.xml:15:119: error: value=\"0A FF\" is not how the menu writes REG_BINARY data, two "
     "lower-case hexadecimal digits per byte without separators: the test never holds; write "
     "value=\"0aff\" [registry-value]\n",
     1},
    {"REG_BINARY and REG_DWORD as the menu reads them", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_CURRENT_USER\" key=\"%MENUDRIVE%\" "
     "type=\"REG_BINARY\" value=\"0aff\"/><Negativ><Query type=\"registry\"><RegistryQueryConfig "
     "hkey=\"HKEY_CURRENT_USER\" key=\"k\" wert=\"w\" type=\"REG_DWORD\" "
     "value=\"-1\"/></Query></Negativ></Query>",
     "", 0},
    {"Windows 11 by its name", "<Command type=\"weiter\"/>",
     "<Query type=\"winversion\"><WinVersionQueryConfig checktype=\"1\" "
     "majorversion=\"11\"/></Query>",
     "m.xml:15:84: error: majorversion=\"11\": no Windows reports a major version of 11 or more "
     "(Windows 11 reports 10.0), so this test never holds; write majorversion=\"10\" (Windows 10 "
     "and 11 cannot be told apart) [winversion]\n",
     1},
    {"menu folder without backslash", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%setup.exe\"/></Command>",
     "m.xml:15:54: error: %MENUDIR% has no backslash after it: the menu puts in E:\\menu without "
     "one, so this reads 'E:\\menusetup.exe'; write %MENUDIR%\\setup.exe [variable]\n",
     1},
    {"standard variable misspelt", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"%PROGRAMFILE%\\x\\x.exe\" "
     "parameter=\"/d=%MENUDIR% /t=%TEMP%\"/></Command>",
     "m.xml:15:54: warning: %PROGRAMFILE% is not a variable Windows sets: it stays as written "
     "unless the user's environment has it; did you mean %ProgramFiles%? [variable]\n",
     0},
    {"variable in a caption", "caption=\"Los\"",
     "caption=\"Nach %ProgramFiles%\" tooltipp=\"50% bis 70%\"",
     "m.xml:14:31: warning: the menu replaces no variables in caption: it shows '%ProgramFiles%' "
     "as written; variables work only in paths, parameters and registry keys [variable]\n",
     0},
    {"path in a tooltip", "caption=\"Los\"",
     "caption=\"Los\" tooltipp=\"Installiert nach C:\\temp\\Navora\"",
     "m.xml:14:46: warning: in a tooltip, '\\t' of '\\temp' becomes a control character (as '\\t', "
     "'\\b', '\\r' and '\\v' do), so the path is shown broken; write the letter in upper case, "
     "'\\Temp', which the menu leaves as written [tooltip]\n",
     0},
    {"tooltip without width", "<ToolTippConfig tttype=\"cursortt\" width=\"100\" height=\"40\">",
     "<BtnBeenden><ButtonPosition top=\"200\"/><ButtonLayout caption=\"Ende\" "
     "tooltipp=\"Schluss\"/><Command type=\"beenden\"/></BtnBeenden>\n  <ToolTippConfig "
     "tttype=\"cursortt\" width=\"0\" height=\"40\">",
     "m.xml:5:3: error: the tooltip is 0 x 40 pixels, so no tooltip text is ever seen; give "
     "<ToolTippConfig> a width and a height, e.g. width=\"200\" height=\"40\" [tooltip]\n",
     1},
    {"button tooltip that never grows",
     "<ToolTippConfig tttype=\"cursortt\" width=\"100\" height=\"40\">",
     "<BtnBeenden><ButtonPosition top=\"200\"/><ButtonLayout caption=\"Ende\" "
     "tooltipp=\"Schluss\"/><Command type=\"beenden\"/></BtnBeenden>\n  <ToolTippConfig "
     "tttype=\"buttontt\" width=\"100\" height=\"0\">\n    <ButtonTTConfig Speed=\"0\" "
     "Interval=\"20\"/>",
     "m.xml:6:5: error: Speed is 0: the button tooltip's strip never grows, so no tooltip text is "
     "ever seen; write Speed=\"10\" (pixels per step) in <ButtonTTConfig> [tooltip]\n",
     1},
    {"static tooltip outside the window",
     "<ToolTippConfig tttype=\"cursortt\" width=\"100\" height=\"40\">",
     "<BtnBeenden><ButtonPosition top=\"200\"/><ButtonLayout caption=\"Ende\" "
     "tooltipp=\"Schluss\"/><Command type=\"beenden\"/></BtnBeenden>\n  <ToolTippConfig "
     "tttype=\"statictt\" width=\"100\" height=\"40\">\n    <StaticTTConfig LeftMargin=\"350\" "
     "TopMargin=\"10\"/>",
     "m.xml:6:5: warning: the static tooltip (350, 10, 100 x 40) reaches beyond the window's "
     "inside (400 x 300 pixels): it is cut off; move it in with LeftMargin and TopMargin "
     "[tooltip]\n",
     0},
    {"currentval before the id", "      <Button>\n",
     "      <Box currentval=\"false\" id=\"x\"><ButtonPosition top=\"100\"/><ButtonLayout "
     "type=\"checkbox\" caption=\"B\"/></Box>\n      <Button>\n",
     "m.xml:12:12: error: currentval stands before the id: the menu looks for it only after the "
     "id, so this check box's state is never recorded; write it after id=\"x\" [currentval]\n",
     1},
    {"check box without currentval", "      <Button>\n",
     "      <Box id=\"x\"><ButtonPosition top=\"100\"/><ButtonLayout type=\"checkbox\" "
     "caption=\"B\"/><Command type=\"beenden\"/></Box>\n      <Button>\n",
     "m.xml:12:7: error: this check box has no currentval=\"...\" after its id: its state is never "
     "recorded; add currentval=\"false\" to its <ButtonLayout> [currentval]\nm.xml:12:89: warning: "
     "a check box only toggles: this <Command> never runs; without type=\"checkbox\" the control "
     "is a push button that runs it [unreached-chain]\n",
     1},
    {"quit button out of the Tab order", "  <Pages>",
     "  <BtnBeenden><ButtonPosition top=\"200\"/><ButtonLayout caption=\"Ende\" "
     "tabindex=\"5\"/><Command type=\"beenden\"/></BtnBeenden>\n  <Pages>",
     "m.xml:10:3: warning: the quit button's tabindex 5 is not lower than every other on page 1: "
     "the Tab key reaches it only as the first stop, so never there; give it a tabindex lower than "
     "all others, e.g. 0 [tab-index]\n",
     0},
    {"quit button inside a page", "      <Button>\n",
     "      <BtnBeenden><ButtonPosition top=\"200\"/><ButtonLayout caption=\"Ende\"/><Command "
     "type=\"beenden\"/></BtnBeenden>\n      <Button>\n",
     "m.xml:12:7: warning: <BtnBeenden> inside a page is an ordinary control of that page: the "
     "quit button, shown on every page, is the <BtnBeenden> directly in <config>; move it there "
     "[quit-button]\n",
     0},
    {"control directly in Pages", "    <Page>\n",
     "    <Extra><ButtonLayout caption=\"E\"/></Extra>\n    <Page>\n",
     "m.xml:11:5: error: <Extra> stands directly in <Pages>, so this element is a page, and the "
     "menu reads its children as controls without a caption and stops; put the control inside a "
     "page: <Pages><Page><Extra>...</Extra></Page></Pages> [page]\n",
     1},
    {"overlapping controls", "      <Button>\n",
     "      <Box><ButtonPosition left=\"50\" top=\"20\"/><ButtonLayout caption=\"B\"/></Box>\n     "
     " <Button>\n",
     "m.xml:13:7: warning: control 2 on page 1 (<Button>) overlaps control 1 on page 1 (<Box>): "
     "one covers part of the other; move or shrink one of them [overlap]\nm.xml:12:7: note: the "
     "other control\n",
     0},
    {"3-D frame on a transparent button", "tabindex=\"1\"",
     "tabindex=\"1\" dreid=\"true\" transparent=\"true\"",
     "m.xml:12:7: warning: control 1 on page 1 (<Button>) has dreid and transparent: a transparent "
     "push button gets no 3-D frame; write dreid=\"false\" or transparent=\"false\" [looks]\n",
     0},
    {"black mouse-over colour with a mouse-over text colour", "  </ButtonConfig>",
     "    <ButtonMouseOverLayout bgcolor=\"0 0 0\"/>\n    <MouseOverFont textcolor=\"255 255 "
     "255\"/>\n  </ButtonConfig>",
     "m.xml:9:36: warning: a mouse-over bgcolor of 0 0 0 means no mouse-over colour: under the "
     "mouse the control keeps its normal background (0 0 0) and only its text turns 255 255 255; "
     "for a black background write 1 1 1 [looks]\n",
     0},
    {"control font with only a colour",
     "  </ButtonConfig>\n  <Pages>\n    <Page>\n      <Button>\n        <ButtonPosition "
     "left=\"10\" top=\"10\"/>\n        <ButtonLayout caption=\"Los\" tabindex=\"1\"/>\n",
     "    <MouseOverFont font=\"Arial\" fontsize=\"14\"/>\n  </ButtonConfig>\n  <Pages>\n    "
     "<Page>\n      <Button>\n        <ButtonPosition left=\"10\" top=\"10\"/>\n        "
     "<ButtonLayout caption=\"Los\" tabindex=\"1\"/>\n        <MouseOverFont textcolor=\"255 0 "
     "0\"/>\n",
     "m.xml:16:9: warning: this <MouseOverFont> has no font or fontsize: the control takes its "
     "whole font from it, the system font, not the one of <ButtonConfig>; write font=\"Arial\" "
     "fontsize=\"14\" here too [font]\n",
     0},
    {"attribute of another element", "<ButtonPosition left=\"10\" top=\"10\"/>",
     "<ButtonPosition x=\"10\" top=\"10\"/>",
     "m.xml:13:25: error: the menu does not read the attribute 'x' on <ButtonPosition> "
     "[unknown-attribute]\nm.xml:13:25: note: did you mean 'left'?\n",
     1},
    {"attribute of the settings element", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\" wait=\"true\"><ExecCommandConfig path=\"setup.exe\"/></Command>",
     "m.xml:15:30: error: the menu does not read the attribute 'wait' on <Command> "
     "[unknown-attribute]\nm.xml:15:30: note: 'wait' belongs on <ExecCommandConfig>\n",
     1},
    {"word the menu spells otherwise", "<Command type=\"weiter\"/>",
     "<Command type=\"showmessage\"><ShowMessageCommandConfig caption=\"A\" text=\"B\"/></Command>",
     "m.xml:15:75: error: the menu does not read the attribute 'text' on "
     "<ShowMessageCommandConfig> [unknown-attribute]\nm.xml:15:75: note: did you mean 'message'?\n",
     1},
    {"pixels read as meant", "tabindex=\"1\"", "tabindex=\"1\" iconhorizontaloffset=\"6px\"",
     "m.xml:14:71: warning: iconhorizontaloffset=\"6px\" is not a plain number: the menu reads 6 "
     "(pixels), as meant; write 6 [number]\n",
     0},
    {"unknown command in the file's own words",
     "<Command type=\"weiter\"/>\n      </Button>\n    </Page>\n  </Pages>\n",
     "<Command type=\"exce\"/>\n      </Button>\n    </Page>\n  </Pages>\n  <Messages "
     "chainwarning=\"Fehler: %WHAT%\"/>\n",
     "m.xml:15:23: error: type=\"exce\" is not a keyword the menu knows: the chain fails here with "
     "\"Fehler: type=\"exce\"\"; write one of weiter, zur\xc3\xbc"
     "ck, showmessage, beenden, exec, lernprog, minimize, gotopage [keyword]\n",
     1},
    {"hive in the key and a branch in other words", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_LOCAL_MACHINE\" "
     "key=\"HKLM\\SOFTWARE\\X\" type=\"REG_SZ\" value=\"1\"/><Ja /></Query>",
     "m.xml:15:83: error: key starts with the hive 'HKLM': the menu opens it under the hive of "
     "hkey, where it does not exist; give the hive in hkey only and write key=\"SOFTWARE\\X\" "
     "[registry-key]\nm.xml:15:126: error: the menu does not read <Ja> inside <Query> "
     "[unknown-element]\nm.xml:15:126: note: did you mean <Positiv>?\n",
     1},
    {"command prompt variable and an English command", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"%CD%\\setup.exe\"/><Command "
     "type=\"quit\"/></Command>",
     "m.xml:15:54: warning: %CD% is a name only the command prompt replaces, no environment "
     "variable: the menu leaves it as written; for the menu's folder write %MENUDIR% "
     "[variable]\nm.xml:15:86: error: type=\"quit\" is not a keyword the menu knows: the chain "
     "fails here with \"Nicht alle Commands/Abfragen konnten ausgef\xc3\xbchrt werden\"; did you "
     "mean 'beenden'? [keyword]\n",
     1},
    {"web address without scheme", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"www.example.com\"/></Command>",
     "m.xml:15:54: error: 'www.example.com' has no scheme: Windows looks for a file of that name "
     "and the step fails; write 'https://www.example.com' [url]\n",
     1},
    {"control type in other words", "tabindex=\"1\"", "tabindex=\"1\" type=\"Knopf\"",
     "m.xml:14:55: warning: type=\"Knopf\" is not a keyword the menu knows: the control becomes a "
     "push button; write one of checkbox, button [keyword]\n",
     0},
    // Round three: no false alarm on "<", what the walk knows, fixes that work, a new author's
    // questions.
    {"less-than signs in values", "caption=\"Los\"",
     "caption=\"<< Zur\xc3\xbc"
     "ck\" tooltipp=\"a < b\"",
     "", 0},
    {"web address with a path but no scheme", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"tessera.com/support\"/></Command>",
     "m.xml:15:54: error: 'tessera.com/support' is a web address without its scheme: Windows looks "
     "for a file of that name and the step fails; write 'https://tessera.com/support' [url]\n",
     1},
    {"document not on the medium", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"handbuch.pdf\"/></Command>",
     "m.xml:15:54: error: 'handbuch.pdf' does not exist beside the configuration: the menu starts "
     "it from its current folder, the disc's when it starts from there, and the step fails; put it "
     "on the medium or correct the path [missing-file]\n",
     1},
    {"program Windows finds by name", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"notepad.exe\" "
     "parameter=\"liesmich.txt\"/></Command>",
     "", 0},
    {"menu folder without its closing percent sign", "<Command type=\"weiter\"/>",
     "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR\\setup.exe\"/></Command>",
     "m.xml:15:54: error: '%MENUDIR' has no closing '%': the menu leaves it as written, so the "
     "step looks for a folder of that name and fails; write %MENUDIR% [variable]\n",
     1},
    {"registry query without type", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_CURRENT_USER\" key=\"k\" "
     "wert=\"w\" value=\"1\"/></Query>",
     "m.xml:15:32: error: <RegistryQueryConfig> has no type: the test never holds; name the "
     "value's type, e.g. type=\"REG_SZ\" [keyword]\n",
     1},
    {"registry query without settings", "<Command type=\"weiter\"/>",
     "<Query type=\"registry\"><Positiv><Command type=\"weiter\"/></Positiv></Query>",
     "m.xml:15:9: error: this registry query has no <RegistryQueryConfig>: the test never holds; "
     "name the value's type, e.g. type=\"REG_SZ\" [keyword]\n",
     1},
    {"single quotes around a quote", "caption=\"Los\"", "caption='Sag \"Hallo\"'",
     "m.xml:14:31: error: the menu reads values only in double quotes: write caption=\"Sag "
     "\\\"Hallo\\\"\" [quote]\n",
     1},
    {"named HTML entities", "caption=\"Los\"", "caption=\"Zur&uuml;ck &amp; weiter\"",
     "m.xml:14:31: error: the menu decodes no entities: it reads 'Zur&uuml;ck &amp; weiter'; write "
     "caption=\"Zur\xc3\xbc"
     "ck && weiter\" [entity]\n",
     1},
    {"every comment in one run", "  <Pages>", "  <!-- eins -->\n  <Pages>\n  <!-- zwei -->",
     "m.xml:10:3: error: the menu has no comments: it reads an element named '!--' here, and it "
     "takes in everything after it up to its parent's end tag; delete the comment "
     "[comment]\nm.xml:12:3: error: the menu has no comments: it reads an element named '!--' "
     "here, which takes in what follows it; delete the comment [comment]\n",
     1},
    {"control without height", "<ButtonLayout width=\"100\" height=\"30\"/>",
     "<ButtonLayout width=\"100\"/>",
     "m.xml:12:7: error: control 1 on page 1 (<Button>) is 100 x 0 pixels (neither its "
     "<ButtonLayout> nor <ButtonConfig> gives it more), so it is never seen, as is every control "
     "that takes its size from <ButtonConfig>; give it a width and a height, e.g. width=\"200\" "
     "height=\"30\" [control-size]\n",
     1},
    {"tooltip too low for its lines", "caption=\"Los\"",
     "caption=\"Los\" tooltipp=\"Eins\\nZwei\\nDrei\"",
     "m.xml:14:46: warning: the tooltip of control 1 on page 1 (<Button>) has 3 lines of 12-pixel "
     "text, which need 52 pixels with the margins, but the tooltip box is 40 high: the text is cut "
     "off; give <ToolTippConfig> height=\"52\" or a smaller fontsize [tooltip]\n",
     0},
    {"check box id as a variable", "        <Command type=\"weiter\"/>\n      </Button>",
     "        <Command type=\"exec\"><ExecCommandConfig path=\"setup.exe\" "
     "parameter=\"/extras=%extras%\"/></Command>\n      </Button>\n      <Box "
     "id=\"extras\"><ButtonPosition top=\"100\"/><ButtonLayout type=\"checkbox\" "
     "caption=\"Extras\" currentval=\"false\"/></Box>",
     "m.xml:15:76: error: '%extras%' names a check box, but the menu puts no check box's state "
     "into a text: it stays as written; the menu records the state, true or false, in the box's "
     "currentval in this file, where a program it starts reads it [variable]\n",
     1},
};

class CheckerMistake : public testing::TestWithParam<Mistake> {};

TEST_P(CheckerMistake, IsNamedAtItsPlace) {
    const Mistake& m = GetParam();
    std::string text = kBase;
    if (*m.from != '\0') {
        const std::size_t at = text.find(m.from);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, std::string(m.from).size(), m.to);
    }
    const CheckResult result = Check(text);
    EXPECT_EQ(Output(result), m.expected);
    EXPECT_EQ(CheckStatus(result, false), m.status);
}

// Each case under its own name, letters and digits only.
std::string MistakeName(const testing::TestParamInfo<Mistake>& info) {
    std::string name;
    bool upper = true;
    for (const char* c = info.param.name; *c != '\0'; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c)) == 0) {
            upper = true;
        } else {
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
            upper = false;
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Table, CheckerMistake, testing::ValuesIn(kMistakes), MistakeName);

TEST(CheckerTest, EncodingFaultsNameTheirLineAndByte) {
    std::string latin1 = kBase;
    latin1.replace(latin1.find("caption=\"A\""), 11,
                   "caption=\"Gr\xfc\xdf"
                   "e\"");
    EXPECT_EQ(Output(Check(latin1)),
              "m.xml:3:23: error: byte 0xFC (byte 23 of the line) is not UTF-8: the menu shows "
              "\xef\xbf\xbd for it; save the file as UTF-8 [encoding]\n");

    std::string cut = kBase;
    cut.insert(cut.find("  <Pages>"), std::string(1, '\0'));
    // The menu reads the file as if it ended there; both say so.
    EXPECT_EQ(
        Output(Check(cut)),
        "m.xml:2:1: error: <config> has no end tag: everything after it belongs to it; add its "
        "end tag [end-tag]\n"
        "m.xml:10:1: error: a NUL byte: the menu reads nothing after it; delete it "
        "[encoding]\n");

    std::string utf16 = "\xff\xfe";
    for (const char c : kBase) {
        utf16 += c;
        utf16 += '\0';
    }
    const CheckResult result = Check(utf16);
    EXPECT_EQ(Output(result), "m.xml:1:1: error: the file is saved as UTF-16: the menu reads only "
                              "UTF-8; save the file as UTF-8 [encoding]\nm.xml:1:3: error: the "
                              "menu cannot read this file: a tag name is not followed by a space "
                              "or '>' [unreadable]\n");
    EXPECT_FALSE(result.readable);
    EXPECT_EQ(CheckStatus(result, false), 2);
}

// The reader's own message, with the cause where the file shows it, as every diagnostic.
TEST(CheckerTest, AnUnreadableFileNamesAValuesLastBackslash) {
    std::string text = kBase;
    text.replace(text.find("<Command type=\"weiter\"/>"), 24,
                 "<Command type=\"exec\"><ExecCommandConfig path=\"D:\\setup\\\"/></Command>");
    CheckResult result = Check(text);
    EXPECT_FALSE(result.readable);
    EXPECT_EQ(Output(result),
              "m.xml:15:54: error: the menu cannot read this file: an attribute value has no "
              "closing double quote before the tag's '>' (a value cannot contain '>'); the value "
              "\"D:\\setup\\\" ends in a backslash, which escapes its closing quote for the menu: "
              "drop the last backslash, \"D:\\setup\" [unreadable]\n");
    text = kBase;
    text.replace(text.find("caption=\"Los\""), 13, "caption=\"A -> B\"");
    result = Check(text);
    EXPECT_EQ(CheckStatus(result, false), 2);
    EXPECT_EQ(DiagnosticJson("m.xml", result.diagnostics.at(0), false),
              "{\"file\":\"m.xml\",\"line\":14,\"column\":31,\"severity\":\"error\","
              "\"rule\":\"unreadable\",\"message\":\"the menu cannot read this file: an "
              "attribute value has no closing double quote before the tag's '>' (a value cannot "
              "contain '>')\",\"notes\":[]}");
}

TEST(CheckerTest, WarningsBecomeErrorsOnlyWhenAsked) {
    std::string text = kBase;
    text.replace(text.find("caption=\"Los\""), 13, "caption=\" Los\"");
    const CheckResult result = Check(text);
    EXPECT_EQ(CheckStatus(result, false), 0);
    EXPECT_EQ(CheckStatus(result, true), 1);
    EXPECT_EQ(Output(result, true), "m.xml:14:31: error: the menu drops the white space at both "
                                    "ends of a value: it reads 'Los' [trimmed-value]\n");
    EXPECT_EQ(DiagnosticJson("m.xml", result.diagnostics.at(0), false),
              "{\"file\":\"m.xml\",\"line\":14,\"column\":31,\"severity\":\"warning\","
              "\"rule\":\"trimmed-value\",\"message\":\"the menu drops the white space at both "
              "ends of a value: it reads 'Los'\",\"notes\":[]}");
}

} // namespace
