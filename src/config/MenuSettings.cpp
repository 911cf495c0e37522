#include "config/MenuSettings.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "xml/xmlElement.h"

namespace {

std::wstring Attr(const xmlElement* element, const wchar_t* name) {
    return element == nullptr ? std::wstring() : element->GetAttribute(name);
}

bool Is(const xmlElement* element, const wchar_t* name, std::wstring_view keyword) {
    return element != nullptr && element->GetAttribute(name) == keyword;
}

std::int32_t Number(const xmlElement* element, const wchar_t* name) {
    return TextToInt(Attr(element, name));
}

std::optional<std::int32_t> NumberIfWritten(const xmlElement* element, const wchar_t* name) {
    const std::wstring text = Attr(element, name);
    return text.empty() ? std::nullopt : std::optional<std::int32_t>(TextToInt(text));
}

// Takes the control's own value when it is there and not empty, else ButtonConfig's.
std::wstring OwnOrDefault(const xmlElement* own, const xmlElement* fallback, const wchar_t* name) {
    std::wstring value = Attr(own, name);
    return value.empty() ? Attr(fallback, name) : value;
}

ChainLink ReadLink(const xmlElement* parent) {
    ChainLink link;
    link.command = ReadChain(FindChild(parent, L"Command"));
    link.query = ReadChain(FindChild(parent, L"Query"));
    return link;
}

void ReadCommand(const xmlElement& element, ActionSettings& action) {
    switch (action.type) {
    case ActionType::ShowMessage: {
        const xmlElement* config = FindChild(&element, L"ShowMessageCommandConfig");
        action.message = Attr(config, L"message");
        action.caption = Attr(config, L"caption");
        break;
    }
    case ActionType::Exec: {
        const xmlElement* config = FindChild(&element, L"ExecCommandConfig");
        action.maximized = IsOn(Attr(config, L"maximized"));
        action.makeAbsolute = IsOn(Attr(config, L"makeabsolute"));
        action.wait = IsOn(Attr(config, L"wait"));
        action.elevate = IsOn(Attr(config, L"elevate"));
        action.parameter = Attr(config, L"parameter");
        action.path = Attr(config, L"path");
        break;
    }
    case ActionType::Lernprog: {
        const xmlElement* config = FindChild(&element, L"LernprogCommandConfig");
        action.maximized = IsOn(Attr(config, L"maximized"));
        action.parameter = Attr(config, L"parameter");
        break;
    }
    case ActionType::GotoPage:
        action.page = Number(FindChild(&element, L"GotoPageCommandConfig"), L"page");
        break;
    default:
        break;
    }
    action.next = ReadLink(&element);
}

void ReadQuery(const xmlElement& element, ActionSettings& action) {
    switch (action.type) {
    case ActionType::File: {
        const xmlElement* config = FindChild(&element, L"FileQueryConfig");
        action.makeAbsolute = IsOn(Attr(config, L"makeabsolute"));
        action.path = Attr(config, L"path");
        break;
    }
    case ActionType::ExitCode:
        action.exitCode =
            ExitCodeFromText(Attr(FindChild(&element, L"ExitCodeQueryConfig"), L"value"));
        break;
    case ActionType::Arch:
        action.arch = ArchFromText(Attr(FindChild(&element, L"ArchQueryConfig"), L"value"));
        break;
    case ActionType::Registry: {
        const xmlElement* config = FindChild(&element, L"RegistryQueryConfig");
        action.valueType = RegistryTypeFromText(Attr(config, L"type"));
        action.value = Attr(config, L"value");
        action.wert = Attr(config, L"wert");
        action.key = Attr(config, L"key");
        action.hkey = Attr(config, L"hkey");
        break;
    }
    case ActionType::WinVersion: {
        const xmlElement* config = FindChild(&element, L"WinVersionQueryConfig");
        action.checkType = Number(config, L"checktype");
        action.minorVersion = Number(config, L"minorversion");
        action.majorVersion = Number(config, L"majorversion");
        break;
    }
    case ActionType::YesNoBox: {
        const xmlElement* config = FindChild(&element, L"YesNoBoxQueryConfig");
        action.caption = Attr(config, L"caption");
        action.message = Attr(config, L"message");
        break;
    }
    default:
        break;
    }
    action.positive = ReadLink(FindChild(&element, L"Positiv"));
    action.negative = ReadLink(FindChild(&element, L"Negativ"));
}

} // namespace

std::wstring BoxText(std::wstring text) {
    if (text.size() > kMaxBoxText) {
        std::size_t keep = kMaxBoxText - 1;
        const wchar_t last = text[keep - 1];
        if (last >= 0xD800 && last <= 0xDBFF) {
            --keep; // a character of two UTF-16 units stays whole
        }
        text.resize(keep);
        text += L'\u2026';
    }
    return text;
}

std::wstring MenuMessages::ChainWarningFor(const std::wstring& what) const {
    std::wstring text;
    // The text is built only as far as a box shows it; one step beyond tells that it goes on.
    for (std::size_t i = 0; i < chainWarning.size() && text.size() <= kMaxBoxText; ++i) {
        if (chainWarning.compare(i, 6, L"%WHAT%") == 0) {
            text.append(what, 0, kMaxBoxText + 1 - text.size());
            i += 5;
        } else {
            text += chainWarning[i];
        }
    }
    return BoxText(std::move(text));
}

namespace {

const MenuMessages kClassicMessages;

} // namespace

const MenuMessages& ClassicMessages() {
    return kClassicMessages;
}

MenuMessages ReadMessages(const xmlElement* messages) {
    MenuMessages texts;
    const auto replace = [&](std::wstring& text, const wchar_t* name) {
        const std::wstring given = Attr(messages, name);
        if (!given.empty()) {
            text = given;
        }
    };
    replace(texts.chainWarning, L"chainwarning");
    replace(texts.chainWarningCaption, L"chainwarningcaption");
    replace(texts.noCaption, L"nocaption");
    replace(texts.noTooltipType, L"notooltiptype");
    replace(texts.noTooltipTypeCaption, L"notooltiptypecaption");
    return texts;
}

WindowSettings ReadWindowSettings(const xmlElement* general) {
    WindowSettings window;
    window.icon = Attr(general, L"icon");
    window.background = Attr(general, L"background");
    window.bgColor = ReadColor(general, L"bgcolor");
    window.caption = Attr(general, L"caption");
    window.width = Number(general, L"width");
    window.height = Number(general, L"height");
    window.left = Number(general, L"left");
    window.top = Number(general, L"top");
    const std::wstring placement = Attr(general, L"windowpos");
    window.placement = placement == L"center"    ? WindowPlacement::Center
                       : placement == L"topleft" ? WindowPlacement::TopLeft
                                                 : WindowPlacement::Given;
    window.captionBar = !Is(general, L"title", L"false");
    window.topmost = Is(general, L"zorder", L"topmost");
    window.dpiScale = IsOn(Attr(general, L"dpiscale"));
    window.menuId = Attr(general, L"menuid");
    return window;
}

TooltipSettings ReadTooltipSettings(const xmlElement* config) {
    TooltipSettings tip;
    const xmlElement* font = FindChild(config, L"TTFont");
    tip.font = ReadFontSpec(font);
    tip.textColor = ReadColor(font, L"textcolor");
    tip.height = Number(config, L"height");
    tip.width = Number(config, L"width");
    tip.bgColor = ReadColor(config, L"bgcolor");
    tip.kind = TooltipKindFromText(Attr(config, L"tttype"));
    switch (tip.kind) {
    case TooltipKind::Static: {
        const xmlElement* statictt = FindChild(config, L"StaticTTConfig");
        tip.leftMargin = Number(statictt, L"LeftMargin");
        tip.topMargin = Number(statictt, L"TopMargin");
        break;
    }
    case TooltipKind::Button: {
        const xmlElement* buttontt = FindChild(config, L"ButtonTTConfig");
        tip.speed = Number(buttontt, L"Speed");
        tip.interval = Number(buttontt, L"Interval");
        break;
    }
    case TooltipKind::Cursor:
    case TooltipKind::Unknown:
        break;
    }
    return tip;
}

std::unique_ptr<ActionSettings> ReadChain(const xmlElement* element) {
    if (element == nullptr) {
        return nullptr;
    }
    auto action = std::make_unique<ActionSettings>();
    action->source = element;
    action->isCommand = element->GetName() == L"Command";
    action->typeText = element->GetAttribute(L"type");
    action->type = action->isCommand ? CommandTypeFromText(action->typeText)
                                     : QueryTypeFromText(action->typeText);
    if (action->isCommand) {
        ReadCommand(*element, *action);
    } else {
        ReadQuery(*element, *action);
    }
    return action;
}

namespace {

ConditionSettings ReadCondition(const xmlElement* condition) {
    ConditionSettings read;
    read.source = condition;
    for (std::size_t i = 0; condition != nullptr && i < condition->GetChildCount(); ++i) {
        const xmlElement* query = condition->GetChild(i);
        if (query->GetName() == L"Query") {
            read.queries.push_back(ReadChain(query));
            read.queries.back()->negate = IsOn(query->GetAttribute(L"negate"));
        }
    }
    return read;
}

} // namespace

ControlSettings ReadControlSettings(const xmlElement& element, const xmlElement* buttonConfig) {
    ControlSettings control;
    const xmlElement* position = FindChild(&element, L"ButtonPosition");
    control.left = Number(position, L"left");
    control.top = Number(position, L"top");
    // A control without "ButtonLayout", or a default missing from "ButtonConfig",
    // reads as an element without attributes.
    const xmlElement* layout = FindChild(&element, L"ButtonLayout");
    const xmlElement* defaults = FindChild(buttonConfig, L"ButtonLayout");
    control.kind = ControlKindFromText(Attr(layout, L"type"));
    if (control.kind == ControlKind::CheckBox) {
        control.id = element.GetAttribute(L"id");
        control.defaultVal = IsOn(Attr(layout, L"defaultval"));
        control.checkDim = NumberIfWritten(layout, L"checkdim");
        control.rememberUser = Attr(layout, L"remember") == L"user";
    }
    control.caption = Attr(layout, L"caption");
    control.width = TextToInt(OwnOrDefault(layout, defaults, L"width"));
    control.height = TextToInt(OwnOrDefault(layout, defaults, L"height"));
    control.tabIndex = NumberIfWritten(layout, L"tabindex").value_or(-1);
    control.bgColor = ColorFromText(OwnOrDefault(layout, defaults, L"bgcolor"));
    control.transparent = IsOn(OwnOrDefault(layout, defaults, L"transparent"));
    control.tooltip = Attr(layout, L"tooltipp");
    control.threeD = IsOn(OwnOrDefault(layout, defaults, L"dreid"));
    control.icon = Attr(layout, L"icon");
    if (!control.icon.empty()) {
        control.iconTransparentColor = ReadColor(layout, L"icontransparentcolor");
    }
    control.iconOffset = NumberIfWritten(layout, L"iconhorizontaloffset");
    control.background = Attr(layout, L"background");

    const xmlElement* hover = FindChild(&element, L"ButtonMouseOverLayout");
    const xmlElement* hoverDefaults = FindChild(buttonConfig, L"ButtonMouseOverLayout");
    control.hoverBgColor = ColorFromText(OwnOrDefault(hover, hoverDefaults, L"bgcolor"));
    control.hoverTransparent = IsOn(OwnOrDefault(hover, hoverDefaults, L"transparent"));

    // Fonts come whole from the control's own element when it has one; text colours
    // attribute by attribute.
    const xmlElement* font = FindChild(&element, L"Font");
    const xmlElement* fontDefaults = FindChild(buttonConfig, L"Font");
    control.font = ReadFontSpec(font != nullptr ? font : fontDefaults);
    control.textColor = ColorFromText(OwnOrDefault(font, fontDefaults, L"textcolor"));
    const xmlElement* hoverFont = FindChild(&element, L"MouseOverFont");
    const xmlElement* hoverFontDefaults = FindChild(buttonConfig, L"MouseOverFont");
    control.hoverFont = ReadFontSpec(hoverFont != nullptr ? hoverFont : hoverFontDefaults);
    control.hoverTextColor =
        ColorFromText(OwnOrDefault(hoverFont, hoverFontDefaults, L"textcolor"));

    const xmlElement* command = FindChild(&element, L"Command");
    control.chain = ReadChain(command != nullptr ? command : FindChild(&element, L"Query"));
    control.showIf = ReadCondition(FindChild(&element, L"ShowIf"));
    control.enableIf = ReadCondition(FindChild(&element, L"EnableIf"));
    if (!Attr(layout, L"disabledtextcolor").empty()) {
        control.disabledTextColor = ReadColor(layout, L"disabledtextcolor");
    }
    return control;
}

std::int32_t ScaleToDpi(std::int32_t pixels, int dpi) {
    // A double is exact here (far below 2^53) and needs no 64-bit division routine on x86.
    const double scaled = static_cast<double>(pixels) * dpi / kFileDpi;
    return static_cast<std::int32_t>(
        std::clamp(scaled < 0 ? scaled - 0.5 : scaled + 0.5, double{INT32_MIN}, double{INT32_MAX}));
}

namespace {

void ScaleAll(std::initializer_list<std::int32_t*> values, int dpi) {
    for (std::int32_t* pixels : values) {
        *pixels = ScaleToDpi(*pixels, dpi);
    }
}

} // namespace

void ScaleToDpi(WindowSettings& window, int dpi) {
    ScaleAll({&window.width, &window.height, &window.left, &window.top}, dpi);
}

void ScaleToDpi(TooltipSettings& tip, int dpi) {
    ScaleAll(
        {&tip.width, &tip.height, &tip.font.height, &tip.leftMargin, &tip.topMargin, &tip.speed},
        dpi);
}

void ScaleToDpi(ControlSettings& control, int dpi) {
    ScaleAll({&control.left, &control.top, &control.width, &control.height, &control.font.height,
              &control.hoverFont.height},
             dpi);
    for (std::optional<std::int32_t>* pixels : {&control.checkDim, &control.iconOffset}) {
        if (*pixels) {
            ScaleAll({&**pixels}, dpi);
        }
    }
}
