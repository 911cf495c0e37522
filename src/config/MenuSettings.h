// These readers turn each section of the configuration into plain settings: the window's, the
// tooltip's, each control's with the "ButtonConfig" defaults resolved, and each chain. The
// dialog applies them; navora-check inspects the very same values.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/ValueConversions.h"
#include "config/Vocabulary.h"

class xmlElement;

enum class WindowPlacement { Given, Center, TopLeft };

// The window's settings come from "General".
struct WindowSettings {
    std::wstring icon;
    std::wstring background;
    ColorRef bgColor = 0;
    std::wstring caption;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    WindowPlacement placement = WindowPlacement::Given;
    bool captionBar = true;
    bool topmost = false;
    bool dpiScale = false; // "dpiscale": drawn at the screen's DPI instead of stretched by Windows
    std::wstring menuId;   // "menuid": names the menu's remembered choices

    bool operator==(const WindowSettings&) const = default;
};

// A missing element reads as one without attributes.
WindowSettings ReadWindowSettings(const xmlElement* general);

// The tooltip's settings come from "ToolTippConfig", its "TTFont" and the kind's own element.
struct TooltipSettings {
    TooltipKind kind = TooltipKind::Unknown;
    std::int32_t width = 0;
    std::int32_t height = 0;
    ColorRef bgColor = 0;
    FontSpec font;
    ColorRef textColor = 0;
    std::int32_t leftMargin = 0; // statictt only
    std::int32_t topMargin = 0;  // statictt only
    std::int32_t speed = 0;      // buttontt only
    std::int32_t interval = 0;   // buttontt only

    bool operator==(const TooltipSettings&) const = default;
};

TooltipSettings ReadTooltipSettings(const xmlElement* toolTippConfig);

struct ActionSettings;

// A link follows a command or forms a query's branch: both children are built, and the
// query, when there is one, is the link.
struct ChainLink {
    std::unique_ptr<ActionSettings> command;
    std::unique_ptr<ActionSettings> query;
};

// One "Command" or "Query" element carries the attributes of its type's settings element.
struct ActionSettings {
    bool isCommand = true;
    ActionType type = ActionType::Unknown;
    std::wstring typeText; // as written, for messages
    std::wstring path;
    std::wstring parameter;
    bool maximized = false;
    bool makeAbsolute = false;             // "exec", and "file" queries
    bool wait = false;                     // "exec"
    bool elevate = false;                  // "exec"
    std::optional<std::uint32_t> exitCode; // "exitcode" queries; none never matches
    std::wstring message;
    std::wstring caption;
    std::wstring hkey;
    std::wstring key;
    std::wstring wert;
    std::wstring value;
    RegistryType valueType = RegistryType::Unknown;
    std::int32_t checkType = 0;
    std::int32_t minorVersion = 0;
    std::int32_t majorVersion = 0;
    std::int32_t page = 0;                   // "gotopage": counted from 1
    MachineArch arch = MachineArch::Unknown; // "arch" queries
    bool negate = false;                     // a condition's query holds when its test does not
    ChainLink next;                          // a command's
    ChainLink positive;                      // a query's
    ChainLink negative;                      // a query's
    // The element read, for diagnostics: valid while its tree lives.
    const xmlElement* source = nullptr;
};

// "ShowIf" and "EnableIf" hold when all their queries hold; without the element they hold.
struct ConditionSettings {
    std::vector<std::unique_ptr<ActionSettings>> queries; // their branches are never read
    const xmlElement* source = nullptr;                   // the element, for diagnostics
};

// Reads the chain of a "Command" or "Query" element; none for no element. An element named
// otherwise reads as a "Query".
std::unique_ptr<ActionSettings> ReadChain(const xmlElement* element);

// A message box shows at most this many characters: a longer text is cut to end in "…" there,
// so that a huge text from a file cannot keep the menu busy for minutes.
inline constexpr std::size_t kMaxBoxText = 4096;
// Returns `text` as a message box shows it.
std::wstring BoxText(std::wstring text);

// "Messages" replaces each of the menu's own texts that the file gives (an empty value keeps
// the menu's text).
struct MenuMessages {
    std::wstring chainWarning = L"Nicht alle Commands/Abfragen konnten ausgef\u00fchrt werden";
    std::wstring chainWarningCaption = L"Achtung";
    std::wstring noCaption = L"Caption f\u00fcr Button wurde nicht gesetzt";
    std::wstring noTooltipType = L"Tooltipp-Typ nicht gesetzt";
    std::wstring noTooltipTypeCaption = L"Achtung!";

    // Returns the chain warning with "%WHAT%" replaced by the failed step, as a box shows it.
    std::wstring ChainWarningFor(const std::wstring& what) const;
};

MenuMessages ReadMessages(const xmlElement* messages);
// A file without "Messages" gets the menu's own texts.
const MenuMessages& ClassicMessages();

// One control element is a page's child or "BtnBeenden".
struct ControlSettings {
    std::int32_t left = 0;
    std::int32_t top = 0;
    ControlKind kind = ControlKind::PushButton;
    std::wstring id;
    bool defaultVal = false;
    std::optional<std::int32_t> checkDim;
    std::wstring caption;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t tabIndex = -1; // -1: not reached by Tab
    ColorRef bgColor = 0;
    bool transparent = false;
    std::wstring tooltip; // as written; the control expands its escapes
    bool threeD = false;
    std::wstring icon;
    ColorRef iconTransparentColor = 0;
    std::optional<std::int32_t> iconOffset;
    std::wstring background;
    ColorRef hoverBgColor = 0;
    bool hoverTransparent = false;
    FontSpec font;
    ColorRef textColor = 0;
    FontSpec hoverFont;
    ColorRef hoverTextColor = 0;
    // Holds the first "Command" child, else the first "Query" child; none without either.
    std::unique_ptr<ActionSettings> chain;
    ConditionSettings showIf;                  // "ShowIf": the control is shown only when it holds
    ConditionSettings enableIf;                // "EnableIf": the control acts only when it holds
    std::optional<ColorRef> disabledTextColor; // none: the system's grey text colour
    bool rememberUser = false; // check boxes: remember="user", the state kept for the user
};

ControlSettings ReadControlSettings(const xmlElement& element, const xmlElement* buttonConfig);

// The file's pixels are written for this DPI.
inline constexpr int kFileDpi = 96;

// Scales `pixels` of the file to `dpi`, rounded as MulDiv rounds (halves away from zero) and
// saturated to the int32 range.
std::int32_t ScaleToDpi(std::int32_t pixels, int dpi);
// Scales every position, size, margin and font height the section gives to `dpi`, and a
// button tooltip's speed, the pixels it grows by per tick; times stay as they are.
void ScaleToDpi(WindowSettings& window, int dpi);
void ScaleToDpi(TooltipSettings& tip, int dpi);
void ScaleToDpi(ControlSettings& control, int dpi);
