// The configuration's vocabulary says which elements the menu reads where, and which
// attributes of each, of what kind. The settings readers read exactly these
// (a test holds them to it); navora-check diagnoses against them.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>

// A context names where an element stands, by the role the menu gives it.
enum class Context {
    Root,
    General,
    ToolTippConfig,
    TTFont,
    StaticTTConfig,
    ButtonTTConfig,
    ButtonConfig,
    DefaultLayout,
    DefaultMouseOverLayout,
    DefaultFont,
    DefaultMouseOverFont,
    Pages,
    Page,
    Control,
    ButtonPosition,
    ButtonLayout,
    ButtonMouseOverLayout,
    Font,
    MouseOverFont,
    Command,
    Query,
    Branch,
    WeiterCommandConfig,
    ZurueckCommandConfig,
    ShowMessageCommandConfig,
    ExecCommandConfig,
    LernprogCommandConfig,
    FileQueryConfig,
    RegistryQueryConfig,
    WinVersionQueryConfig,
    YesNoBoxQueryConfig,
    // Older menus do not know these additions to the classic format:
    ExitCodeQueryConfig,
    Messages,
    GotoPageCommandConfig,
    ArchQueryConfig,
    Condition,      // "ShowIf" or "EnableIf" of a control
    ConditionQuery, // a "Query" of a condition: no branches, and "negate"
};

// A "Command"'s or "Query"'s "type" is read once with its element.
enum class ActionType {
    Unknown,     // not a type of its element: the element yields -2, reported by its text
    Weiter,      // "weiter": the next page
    Zurueck,     // "zurück": the previous page
    ShowMessage, // "showmessage": a message box
    Beenden,     // "beenden": the menu ends
    Exec,        // "exec": a program or document starts
    Lernprog,    // "lernprog": TUTORRUN.exe starts
    Minimize,    // "minimize": the window is minimized
    GotoPage,    // "gotopage": the page of that number, counted from 1
    File,        // "file": whether a file exists
    Registry,    // "registry": whether a registry value holds the data
    WinVersion,  // "winversion": which Windows runs
    YesNoBox,    // "yesnobox": whether the user answers "yes"
    Admin,       // "admin": whether the user is an administrator
    Os64,        // "os64": whether Windows is 64-bit
    ExitCode,    // "exitcode": whether the last program waited for ended with the code
    Arch,        // "arch": whether the machine's own architecture is the one named
};

// A control's kind comes from "type" of its own "ButtonLayout".
enum class ControlKind {
    CheckBox,   // "checkbox"
    PushButton, // "button", and any other text: the menu reports nothing
};

// "tttype" of "ToolTippConfig" picks the tooltip's kind.
enum class TooltipKind {
    Unknown, // none of the three: the menu stops with its message
    Static,  // "statictt": a fixed text area
    Button,  // "buttontt": a strip that slides out of the button
    Cursor,  // "cursortt": a box at the cursor
};

// "type" of "RegistryQueryConfig" says how the value's data is compared.
enum class RegistryType {
    Unknown,  // any other text: the test never holds
    Sz,       // "REG_SZ"
    ExpandSz, // "REG_EXPAND_SZ": compared as stored, variables unexpanded
    MultiSz,  // "REG_MULTI_SZ": the first string of the list
    Binary,   // "REG_BINARY": two lower-case hexadecimal digits per byte
    Dword,    // "REG_DWORD": a decimal number
};

// "value" of "ArchQueryConfig" names the machine's own architecture, whatever the menu's.
enum class MachineArch {
    Unknown, // any other text: the test never holds
    X86,     // "x86"
    X64,     // "x64"
    Arm64,   // "arm64"
};

// Each kind's keywords follow the order of its enumeration. They stand in the header so that
// the menu reads its kinds without linking the rule tables, which would add to its size.
inline constexpr std::wstring_view kCommandType[] = {L"weiter",   L"zur\u00fcck", L"showmessage",
                                                     L"beenden",  L"exec",        L"lernprog",
                                                     L"minimize", L"gotopage"};
inline constexpr std::wstring_view kQueryType[] = {
    L"file", L"registry", L"winversion", L"yesnobox", L"admin", L"os64", L"exitcode", L"arch"};
inline constexpr std::wstring_view kArchType[] = {L"x86", L"x64", L"arm64"};
inline constexpr std::wstring_view kControlType[] = {L"checkbox", L"button"};
inline constexpr std::wstring_view kTipType[] = {L"statictt", L"buttontt", L"cursortt"};
inline constexpr std::wstring_view kRegistryType[] = {L"REG_SZ", L"REG_EXPAND_SZ", L"REG_MULTI_SZ",
                                                      L"REG_BINARY", L"REG_DWORD"};

constexpr std::size_t KindCount(auto first, auto last) {
    return static_cast<std::size_t>(last) + 1 - static_cast<std::size_t>(first);
}
static_assert(std::size(kCommandType) == KindCount(ActionType::Weiter, ActionType::GotoPage));
static_assert(std::size(kQueryType) == KindCount(ActionType::File, ActionType::Arch));
static_assert(std::size(kArchType) == KindCount(MachineArch::X86, MachineArch::Arm64));
static_assert(std::size(kControlType) == KindCount(ControlKind::CheckBox, ControlKind::PushButton));
static_assert(std::size(kTipType) == KindCount(TooltipKind::Static, TooltipKind::Cursor));
static_assert(std::size(kRegistryType) == KindCount(RegistryType::Sz, RegistryType::Dword));

// Returns the kind at the keyword's place, counted from `first`; `other` for any other text.
// Keywords are compared exactly, letter case included.
template <typename Kind>
constexpr Kind FromKeyword(std::span<const std::wstring_view> keywords, std::wstring_view text,
                           Kind first, Kind other) {
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        if (keywords[i] == text) {
            return static_cast<Kind>(static_cast<std::size_t>(first) + i);
        }
    }
    return other;
}

// Reads a command's or a query's type; the other element's types give Unknown.
inline ActionType CommandTypeFromText(std::wstring_view type) {
    return FromKeyword(kCommandType, type, ActionType::Weiter, ActionType::Unknown);
}
inline ActionType QueryTypeFromText(std::wstring_view type) {
    return FromKeyword(kQueryType, type, ActionType::File, ActionType::Unknown);
}
inline MachineArch ArchFromText(std::wstring_view value) {
    return FromKeyword(kArchType, value, MachineArch::X86, MachineArch::Unknown);
}
inline ControlKind ControlKindFromText(std::wstring_view type) {
    return FromKeyword(kControlType, type, ControlKind::CheckBox, ControlKind::PushButton);
}
inline TooltipKind TooltipKindFromText(std::wstring_view tttype) {
    return FromKeyword(kTipType, tttype, TooltipKind::Static, TooltipKind::Unknown);
}
inline RegistryType RegistryTypeFromText(std::wstring_view type) {
    return FromKeyword(kRegistryType, type, RegistryType::Sz, RegistryType::Unknown);
}

enum class ValueKind {
    Text,
    Caption,     // drawn by Windows: "&" marks the next character as a mnemonic
    Tooltip,     // "\n" and a few other backslash pairs become control characters
    Picture,     // path of a bitmap file
    Icon,        // path of an icon file
    Program,     // path started by "exec"
    FilePattern, // path, wildcards allowed, tested by a "file" query
    Number,
    ExitCode, // a 32-bit exit code in decimal
    Colour,
    Flag,     // on only for "true"
    Keyword,  // one of the listed words, letter case counting
    Font,     // face up to the first space, then style words
    Written,  // written by the menu, never read
    Accepted, // allowed, and without effect
};

// Says whether a control takes the value from the element of that name in "ButtonConfig".
enum class Supplied { No, Yes, WholeElement };

struct AttributeRule {
    std::wstring_view name; // as documented; the menu compares without regard to A-Z case
    ValueKind kind;
    std::span<const std::wstring_view> keywords; // Keyword only
    Supplied fromButtonConfig = Supplied::No;
};

struct ChildRule {
    std::wstring_view name;
    Context context;
    // A kind's own settings element is read only for this "type" of its parent ("tttype" in
    // "ToolTippConfig").
    std::wstring_view forType = {};
};

struct ElementRule {
    Context context;
    std::wstring_view name; // the element's name, or its role where names are free
    std::span<const AttributeRule> attributes;
    std::span<const ChildRule> children;
    // Every child of Pages and of a page, whatever its name, is read in this context.
    std::optional<Context> anyChild = std::nullopt;
};

const ElementRule& RuleFor(Context context);
// Every context's rule follows the order of the enumeration.
std::span<const ElementRule> VocabularyRules();
// Returns the attribute of that name (A-Z case ignored) read in the context, or none.
const AttributeRule* FindAttributeRule(Context context, std::wstring_view name);
