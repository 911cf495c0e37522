// navora-check's rules, by concern: each file of this folder holds the rules of one, each rule
// with its id, its message and its fix. The driver (tools/Checker.cpp) walks the tree once and
// calls them; CheckContext is what they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/MenuSettings.h"
#include "config/Vocabulary.h"
#include "pictures/PictureCheck.h"
#include "tools/Checker.h"
#include "tools/XmlIntent.h"
#include "xml/xmlElement.h"

namespace checks {

constexpr std::size_t npos = std::wstring_view::npos;

// Notes beside a diagnostic: an offset into the text and what stands there.
using Notes = std::vector<std::pair<std::size_t, std::string>>;

// A control element's place names it in the messages.
struct ControlPlace {
    int page = -1; // -1: the quit button
    std::size_t index = 0;
};

// A control's rectangle in the window, for overlaps.
struct Placed {
    std::int64_t left, top, right, bottom;
    std::size_t at;
    std::string who;
};

// The file as the menu and standard XML read it, where findings go, and what rules of one
// concern learn for another.
class CheckContext {
public:
    CheckContext(std::string_view bytes, std::wstring_view text, const xmlTree& tree,
                 const IntentTree& intent, FileLookup& files, std::vector<Diagnostic>& out);

    // One diagnostic per place and rule: a second is dropped.
    void Add(std::size_t offset, Severity severity, const char* rule, std::string message,
             Notes notes = {});
    void Error(std::size_t offset, const char* rule, std::string message, Notes notes = {});
    void Warning(std::size_t offset, const char* rule, std::string message, Notes notes = {});

    const std::string_view bytes;
    const std::wstring_view text;
    const xmlTree& tree;
    const IntentTree& intent;
    FileLookup& files;
    const MenuMessages messages;

    // Structure: elements a structure rule named, which no other rule looks at, and attributes
    // whose place it named.
    std::set<const xmlElement*> traps;
    std::set<std::size_t> reported;
    // Vocabulary: elements with a child the menu does not read, which may hold what they lack.
    std::set<const xmlElement*> unknownIn;
    // Looks and layout: the window's inside, the current page's controls, the quit button's.
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    std::vector<Placed> placed;
    std::optional<Placed> quitPlaced;
    bool defaultSizeReported = false; // a size <ButtonConfig> lacks, reported once
    // Keyboard: the current page's tab stops, the quit button's tabindex.
    std::map<std::int32_t, std::size_t> tabStops;
    std::optional<std::int32_t> quitTabIndex;
    // Check boxes: the ids seen, with the first box's place; all boxes' ids in lower case.
    std::map<std::wstring, std::size_t> checkIds;
    std::set<std::wstring> boxIds;
    // Tooltips: the tooltip's settings, whether any control has a tooltip text, and whether a
    // text too tall for the box was reported.
    TooltipSettings tooltip;
    bool anyTooltip = false;
    bool tallTooltip = false;
    // Pictures: each file's check, read once by the file it opens as the menu shares it, and
    // counted once against the menu's budget. None for a file that cannot be read.
    std::map<std::string, std::optional<PictureCheck>> pictures;
    PictureBudget pictureBudget;

private:
    LineIndex lines_;
    std::vector<Diagnostic>& out_;
    std::set<std::pair<std::size_t, std::string>> added_;
};

// ---- Wording and reading helpers (CheckText.cpp) ----

std::string Quoted(std::wstring_view text);
std::string Tag(std::wstring_view name);
std::string ColourText(ColorRef c);
// Returns the candidate the author most likely meant: the same word in other letter case,
// or one a typing slip away.
std::optional<std::wstring_view> Suggest(std::wstring_view written,
                                         const std::vector<std::wstring_view>& candidates);
bool IsAsciiLetter(wchar_t c);
bool IsAbsolutePath(std::wstring_view path);
// Says whether TextToInt finds digits: white space, an optional sign, then a digit.
bool StartsWithNumber(std::wstring_view text);
// Says whether TextToInt reads all of the text: spaces, a sign, digits, spaces.
bool IsPlainNumber(std::wstring_view text);
// Reads "0x" and hexadecimal digits as a number; none for other text or beyond 64 bits.
std::optional<std::uint64_t> HexNumber(std::wstring_view lower);
std::size_t FindAttributeIndex(const xmlElement& element, std::wstring_view name);
// Short hive names authors write, with the full names the menu knows.
extern const std::pair<std::wstring_view, std::wstring_view> kShortHives[5];

// ---- Structure: where the menu's reading differs from standard XML's (Structure.cpp) ----

// Says whether the menu gives this name to what is no element in standard XML.
bool IsTrapName(std::wstring_view name);
// False when the menu reads the file from another start than the author meant.
bool CheckStructure(CheckContext& c);
// Reports an element the menu reads where the file means another, or none.
void ElementTrap(CheckContext& c, const xmlElement& element, const IntentElement* meant);
// Reports the bytes the menu cannot read as written: a UTF-16 file, an early end of
// the text, and bytes that are not UTF-8 (the first of each line).
void CheckEncoding(std::string_view bytes, std::vector<Diagnostic>& out);

// ---- Vocabulary: which elements and attributes the menu reads where (Vocabulary.cpp) ----

// True when a child of <Pages> is a control rather than a page; then it is reported.
bool CheckPageChild(CheckContext& c, const xmlElement& child);
void UnknownElement(CheckContext& c, const xmlElement& child, const xmlElement& parent,
                    const ElementRule& rule);
// True when `child` is the first of its name in `parent`; a later one is reported.
bool CheckDuplicateElement(CheckContext& c, std::map<std::wstring_view, const xmlElement*>& seen,
                           const xmlElement& child, const xmlElement& parent);
// A settings element under a command or query of another type.
void CheckUnusedSettings(CheckContext& c, const xmlElement& child, Context context,
                         std::wstring_view type, const ChildRule& rule);
// True when the attribute is the first of its name; a later one is reported.
bool CheckDuplicateAttribute(CheckContext& c, std::map<std::wstring_view, std::size_t>& seen,
                             std::wstring_view name, std::size_t at);
void UnknownAttribute(CheckContext& c, const xmlElement& element, Context context,
                      std::wstring_view name, std::size_t at);

// ---- Values: numbers, colours, flags, keywords, fonts, captions (Values.cpp) ----

// Says what an unknown keyword makes the menu do, in the file's own words where it shows them.
std::string KeywordEffect(Context context, std::wstring_view attribute, std::wstring_view value,
                          const MenuMessages& messages);
void CheckNumber(CheckContext& c, std::wstring_view value, std::size_t at, const std::string& name);
void CheckColour(CheckContext& c, std::wstring_view value, std::size_t at, const std::string& name);
void CheckFlag(CheckContext& c, std::wstring_view value, std::size_t at, const std::string& name);
void CheckAccepted(CheckContext& c, std::wstring_view value, std::size_t at);
void CheckKeyword(CheckContext& c, const AttributeRule& rule, Context context,
                  std::wstring_view value, std::size_t at);
void CheckFont(CheckContext& c, std::wstring_view value, std::size_t at);
void CheckAmpersand(CheckContext& c, std::wstring_view value, std::size_t at,
                    const std::string& name);

// ---- Variables: %MENUDIR%, %MENUDRIVE% and %NAME% (Variables.cpp) ----

// Variables in a path, parameter or registry key, where the menu replaces them.
void CheckVariables(CheckContext& c, std::wstring_view value, std::size_t at);
// Texts the menu shows as written: a %NAME% there is never replaced (`allowed` is a
// name the text itself replaces).
void CheckUnreplaced(CheckContext& c, std::wstring_view value, std::size_t at,
                     const std::string& name, std::wstring_view allowed = {});

// ---- Pictures and files beside the configuration (Files.cpp) ----

void CheckPicture(CheckContext& c, std::wstring_view path, std::size_t at, bool icon);
// An exec path: a web address without its scheme, a program that is not on the medium.
void CheckProgramPath(CheckContext& c, const xmlElement& element, std::wstring_view path,
                      std::size_t at);
// A file query's path, which the menu looks up in its current folder or its own.
void CheckFilePattern(CheckContext& c, const xmlElement& element, std::wstring_view path,
                      std::size_t at);
// The size of a picture the menu can load; unchanged otherwise.
void BitmapSize(CheckContext& c, const std::wstring& path, std::int32_t& width,
                std::int32_t& height);

// ---- Tooltips (Tooltips.cpp) ----

// A missing or unknown tooltip type, which stops the menu.
void CheckTooltipType(CheckContext& c, const xmlElement* tipConfig);
void CheckTooltipEscapes(CheckContext& c, std::wstring_view value, std::size_t at);
// A control's tooltip text with more lines than the box holds at its font's size.
void CheckTooltipLines(CheckContext& c, const xmlElement& element, const ControlSettings& control,
                       const std::string& who);
// A tooltip that can never be seen, or one placed outside the window.
void CheckTooltipBox(CheckContext& c, const xmlElement* tipConfig, std::int64_t width,
                     std::int64_t height);

// ---- Looks and layout: the window and the controls in it (Layout.cpp) ----

std::string ControlName(const xmlElement& element, const ControlPlace& place);
void CheckWindowSize(CheckContext& c);
// A control of width or height 0, which is never seen.
void CheckControlSize(CheckContext& c, const xmlElement& element, const xmlElement* buttonConfig,
                      const ControlSettings& control, const std::string& who);
void CheckCaption(CheckContext& c, const ControlSettings& control, std::size_t at,
                  const std::string& who);
void CheckQuitInPage(CheckContext& c, const xmlElement& control);
void CheckInsideWindow(CheckContext& c, const ControlSettings& control, std::size_t at,
                       const std::string& who);
// Two controls on one page (the quit button is on every page) where one covers the other.
void CheckOverlap(CheckContext& c, const ControlSettings& control, std::size_t at,
                  const std::string& who, bool quitButton);
// Looks the file asks for that the menu does not draw.
void CheckLooks(CheckContext& c, const xmlElement& element, const xmlElement* buttonConfig,
                const ControlSettings& control, std::size_t at, const std::string& who);

// ---- Keyboard (Keyboard.cpp) ----

// A tabindex used twice on a page; the quit button's tabindex is kept for the pages.
void CheckTabIndex(CheckContext& c, const ControlSettings& control, std::size_t at,
                   const ControlPlace& place);
// True when the Tab key never reaches the quit button on the page just checked.
bool QuitUnreachedOnPage(const CheckContext& c);
// The pages where the Tab key never reaches the quit button.
void CheckQuitTabIndex(CheckContext& c, const xmlElement* quit, const std::vector<int>& pages);

// ---- Check boxes (CheckBoxes.cpp) ----

void CheckCheckBoxId(CheckContext& c, const ControlSettings& control, std::size_t at);
// Whether the menu finds where to record a check box's state.
void CheckRecorded(CheckContext& c, const xmlElement& element, const ControlSettings& control,
                   std::size_t at);

// ---- Chains: commands and queries (Chains.cpp) ----

// A Command beside a Query, which never runs, and a command or query without a type.
void CheckChainElement(CheckContext& c, const xmlElement& element, Context context);
// A chain under a check box, which never runs.
void CheckCheckBoxChains(CheckContext& c, const xmlElement& element);
// An "exitcode" query that no exec with wait="true" can precede is always Negativ.
void CheckExitCodes(CheckContext& c, const ActionSettings* action, bool waited);
void CheckExitCodeValue(CheckContext& c, std::wstring_view value, std::size_t at);
void CheckRegistryValue(CheckContext& c, RegistryType type, std::wstring_view value,
                        std::size_t at);
// A key that starts with a hive's name, which the menu opens under the hive of "hkey".
void CheckRegistryKey(CheckContext& c, std::wstring_view key, std::size_t at);
void CheckMajorVersion(CheckContext& c, const xmlElement& element, std::wstring_view value,
                       std::size_t at);

} // namespace checks
