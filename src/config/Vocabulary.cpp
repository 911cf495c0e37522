#include "config/Vocabulary.h"

#include "xml/xmlElement.h"

namespace {

using K = ValueKind;
using S = Supplied;

constexpr std::wstring_view kFlag[] = {L"true", L"false"};
constexpr std::wstring_view kWindowPos[] = {L"center", L"topleft"};
constexpr std::wstring_view kTitle[] = {L"false", L"true"};
constexpr std::wstring_view kZOrder[] = {L"topmost"};
constexpr std::wstring_view kHive[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER",
                                       L"HKEY_LOCAL_MACHINE", L"HKEY_USERS",
                                       L"HKEY_CURRENT_CONFIG"};
constexpr std::wstring_view kRemember[] = {L"user"};
constexpr std::wstring_view kCheckType[] = {L"-2", L"-1", L"0", L"1", L"2"};

constexpr AttributeRule kGeneralAttributes[] = {
    {L"icon", K::Icon, {}},
    {L"background", K::Picture, {}},
    {L"bgcolor", K::Colour, {}},
    {L"caption", K::Text, {}},
    {L"width", K::Number, {}},
    {L"height", K::Number, {}},
    {L"windowpos", K::Keyword, kWindowPos},
    {L"left", K::Number, {}},
    {L"top", K::Number, {}},
    {L"title", K::Keyword, kTitle},
    {L"zorder", K::Keyword, kZOrder},
    {L"dpiscale", K::Flag, kFlag},
    {L"menuid", K::Text, {}},
};
constexpr AttributeRule kTipAttributes[] = {
    {L"tttype", K::Keyword, kTipType},
    {L"width", K::Number, {}},
    {L"height", K::Number, {}},
    {L"bgcolor", K::Colour, {}},
};
constexpr AttributeRule kTipFontAttributes[] = {
    {L"font", K::Font, {}},
    {L"fontsize", K::Number, {}},
    {L"textcolor", K::Colour, {}},
};
constexpr AttributeRule kStaticTipAttributes[] = {
    {L"LeftMargin", K::Number, {}},
    {L"TopMargin", K::Number, {}},
};
constexpr AttributeRule kButtonTipAttributes[] = {
    {L"Speed", K::Number, {}},
    {L"Interval", K::Number, {}},
};
constexpr AttributeRule kControlAttributes[] = {
    {L"id", K::Text, {}},
    {L"currentval", K::Written, {}},
};
constexpr AttributeRule kPositionAttributes[] = {
    {L"left", K::Number, {}},
    {L"top", K::Number, {}},
};
constexpr AttributeRule kLayoutAttributes[] = {
    {L"caption", K::Caption, {}},
    {L"type", K::Keyword, kControlType},
    {L"width", K::Number, {}, S::Yes},
    {L"height", K::Number, {}, S::Yes},
    {L"tabindex", K::Number, {}},
    {L"bgcolor", K::Colour, {}, S::Yes},
    {L"transparent", K::Flag, kFlag, S::Yes},
    {L"dreid", K::Flag, kFlag, S::Yes},
    {L"tooltipp", K::Tooltip, {}},
    {L"icon", K::Picture, {}},
    {L"icontransparentcolor", K::Colour, {}},
    {L"iconhorizontaloffset", K::Number, {}},
    {L"background", K::Picture, {}},
    {L"defaultval", K::Flag, kFlag},
    {L"checkdim", K::Number, {}},
    {L"currentval", K::Written, {}},
    {L"disabledtextcolor", K::Colour, {}},
    {L"remember", K::Keyword, kRemember},
};
constexpr AttributeRule kDefaultLayoutAttributes[] = {
    {L"width", K::Number, {}, S::Yes},   {L"height", K::Number, {}, S::Yes},
    {L"bgcolor", K::Colour, {}, S::Yes}, {L"transparent", K::Flag, kFlag, S::Yes},
    {L"dreid", K::Flag, kFlag, S::Yes},
};
constexpr AttributeRule kMouseOverAttributes[] = {
    {L"bgcolor", K::Colour, {}, S::Yes},
    {L"transparent", K::Flag, kFlag, S::Yes},
};
constexpr AttributeRule kFontAttributes[] = {
    {L"font", K::Font, {}, S::WholeElement},
    {L"fontsize", K::Number, {}, S::WholeElement},
    {L"textcolor", K::Colour, {}, S::Yes},
};
constexpr AttributeRule kCommandAttributes[] = {
    {L"type", K::Keyword, kCommandType},
};
constexpr AttributeRule kQueryAttributes[] = {
    {L"type", K::Keyword, kQueryType},
    {L"trueifsuccess", K::Accepted, kFlag},
};
constexpr AttributeRule kConditionQueryAttributes[] = {
    {L"type", K::Keyword, kQueryType},
    {L"negate", K::Flag, kFlag},
};
constexpr AttributeRule kShowMessageAttributes[] = {
    {L"message", K::Text, {}},
    {L"caption", K::Text, {}},
};
constexpr AttributeRule kExecAttributes[] = {
    {L"path", K::Program, {}},         {L"parameter", K::Text, {}}, {L"maximized", K::Flag, kFlag},
    {L"makeabsolute", K::Flag, kFlag}, {L"wait", K::Flag, kFlag},   {L"elevate", K::Flag, kFlag},
};
constexpr AttributeRule kLernprogAttributes[] = {
    {L"parameter", K::Text, {}},
    {L"maximized", K::Flag, kFlag},
};
constexpr AttributeRule kFileQueryAttributes[] = {
    {L"path", K::FilePattern, {}},
    {L"makeabsolute", K::Flag, kFlag},
};
constexpr AttributeRule kRegistryAttributes[] = {
    {L"hkey", K::Keyword, kHive},
    {L"key", K::Text, {}},
    {L"wert", K::Text, {}},
    {L"value", K::Text, {}},
    {L"type", K::Keyword, kRegistryType},
};
constexpr AttributeRule kWinVersionAttributes[] = {
    {L"checktype", K::Keyword, kCheckType},
    {L"majorversion", K::Number, {}},
    {L"minorversion", K::Number, {}},
};
constexpr AttributeRule kYesNoAttributes[] = {
    {L"message", K::Text, {}},
    {L"caption", K::Text, {}},
};
constexpr AttributeRule kExitCodeAttributes[] = {
    {L"value", K::ExitCode, {}},
};
constexpr AttributeRule kGotoPageAttributes[] = {
    {L"page", K::Number, {}},
};
constexpr AttributeRule kArchAttributes[] = {
    {L"value", K::Keyword, kArchType},
};
constexpr AttributeRule kMessagesAttributes[] = {
    {L"chainwarning", K::Text, {}},
    {L"chainwarningcaption", K::Text, {}},
    {L"nocaption", K::Text, {}},
    {L"notooltiptype", K::Text, {}},
    {L"notooltiptypecaption", K::Text, {}},
};

constexpr ChildRule kRootChildren[] = {
    {L"General", Context::General},
    {L"ToolTippConfig", Context::ToolTippConfig},
    {L"ButtonConfig", Context::ButtonConfig},
    {L"BtnBeenden", Context::Control},
    {L"Pages", Context::Pages},
    {L"Messages", Context::Messages},
};
constexpr ChildRule kTipChildren[] = {
    {L"TTFont", Context::TTFont},
    {L"StaticTTConfig", Context::StaticTTConfig, L"statictt"},
    {L"ButtonTTConfig", Context::ButtonTTConfig, L"buttontt"},
};
constexpr ChildRule kButtonConfigChildren[] = {
    {L"ButtonLayout", Context::DefaultLayout},
    {L"ButtonMouseOverLayout", Context::DefaultMouseOverLayout},
    {L"Font", Context::DefaultFont},
    {L"MouseOverFont", Context::DefaultMouseOverFont},
};
constexpr ChildRule kControlChildren[] = {
    {L"ButtonPosition", Context::ButtonPosition},
    {L"ButtonLayout", Context::ButtonLayout},
    {L"ButtonMouseOverLayout", Context::ButtonMouseOverLayout},
    {L"Font", Context::Font},
    {L"MouseOverFont", Context::MouseOverFont},
    {L"Command", Context::Command},
    {L"Query", Context::Query},
    {L"ShowIf", Context::Condition},
    {L"EnableIf", Context::Condition},
};
constexpr ChildRule kConditionChildren[] = {
    {L"Query", Context::ConditionQuery},
};
// A condition's query has its type's settings element, but no branches.
constexpr ChildRule kConditionQueryChildren[] = {
    {L"FileQueryConfig", Context::FileQueryConfig, L"file"},
    {L"RegistryQueryConfig", Context::RegistryQueryConfig, L"registry"},
    {L"WinVersionQueryConfig", Context::WinVersionQueryConfig, L"winversion"},
    {L"YesNoBoxQueryConfig", Context::YesNoBoxQueryConfig, L"yesnobox"},
    {L"ExitCodeQueryConfig", Context::ExitCodeQueryConfig, L"exitcode"},
    {L"ArchQueryConfig", Context::ArchQueryConfig, L"arch"},
};
constexpr ChildRule kCommandChildren[] = {
    {L"WeiterCommandConfig", Context::WeiterCommandConfig, L"weiter"},
    {L"Zur\u00fcckCommandConfig", Context::ZurueckCommandConfig, L"zur\u00fcck"},
    {L"ShowMessageCommandConfig", Context::ShowMessageCommandConfig, L"showmessage"},
    {L"ExecCommandConfig", Context::ExecCommandConfig, L"exec"},
    {L"LernprogCommandConfig", Context::LernprogCommandConfig, L"lernprog"},
    {L"GotoPageCommandConfig", Context::GotoPageCommandConfig, L"gotopage"},
    {L"Command", Context::Command},
    {L"Query", Context::Query},
};
constexpr ChildRule kQueryChildren[] = {
    {L"FileQueryConfig", Context::FileQueryConfig, L"file"},
    {L"RegistryQueryConfig", Context::RegistryQueryConfig, L"registry"},
    {L"WinVersionQueryConfig", Context::WinVersionQueryConfig, L"winversion"},
    {L"YesNoBoxQueryConfig", Context::YesNoBoxQueryConfig, L"yesnobox"},
    {L"ExitCodeQueryConfig", Context::ExitCodeQueryConfig, L"exitcode"},
    {L"ArchQueryConfig", Context::ArchQueryConfig, L"arch"},
    {L"Positiv", Context::Branch},
    {L"Negativ", Context::Branch},
};
constexpr ChildRule kBranchChildren[] = {
    {L"Command", Context::Command},
    {L"Query", Context::Query},
};

const ElementRule kRules[] = {
    {Context::Root, L"config", {}, kRootChildren},
    {Context::General, L"General", kGeneralAttributes, {}},
    {Context::ToolTippConfig, L"ToolTippConfig", kTipAttributes, kTipChildren},
    {Context::TTFont, L"TTFont", kTipFontAttributes, {}},
    {Context::StaticTTConfig, L"StaticTTConfig", kStaticTipAttributes, {}},
    {Context::ButtonTTConfig, L"ButtonTTConfig", kButtonTipAttributes, {}},
    {Context::ButtonConfig, L"ButtonConfig", {}, kButtonConfigChildren},
    {Context::DefaultLayout, L"ButtonLayout", kDefaultLayoutAttributes, {}},
    {Context::DefaultMouseOverLayout, L"ButtonMouseOverLayout", kMouseOverAttributes, {}},
    {Context::DefaultFont, L"Font", kFontAttributes, {}},
    {Context::DefaultMouseOverFont, L"MouseOverFont", kFontAttributes, {}},
    {Context::Pages, L"Pages", {}, {}, Context::Page},
    {Context::Page, L"page", {}, {}, Context::Control},
    {Context::Control, L"control", kControlAttributes, kControlChildren},
    {Context::ButtonPosition, L"ButtonPosition", kPositionAttributes, {}},
    {Context::ButtonLayout, L"ButtonLayout", kLayoutAttributes, {}},
    {Context::ButtonMouseOverLayout, L"ButtonMouseOverLayout", kMouseOverAttributes, {}},
    {Context::Font, L"Font", kFontAttributes, {}},
    {Context::MouseOverFont, L"MouseOverFont", kFontAttributes, {}},
    {Context::Command, L"Command", kCommandAttributes, kCommandChildren},
    {Context::Query, L"Query", kQueryAttributes, kQueryChildren},
    {Context::Branch, L"Positiv", {}, kBranchChildren},
    {Context::WeiterCommandConfig, L"WeiterCommandConfig", {}, {}},
    {Context::ZurueckCommandConfig, L"Zur\u00fcckCommandConfig", {}, {}},
    {Context::ShowMessageCommandConfig, L"ShowMessageCommandConfig", kShowMessageAttributes, {}},
    {Context::ExecCommandConfig, L"ExecCommandConfig", kExecAttributes, {}},
    {Context::LernprogCommandConfig, L"LernprogCommandConfig", kLernprogAttributes, {}},
    {Context::FileQueryConfig, L"FileQueryConfig", kFileQueryAttributes, {}},
    {Context::RegistryQueryConfig, L"RegistryQueryConfig", kRegistryAttributes, {}},
    {Context::WinVersionQueryConfig, L"WinVersionQueryConfig", kWinVersionAttributes, {}},
    {Context::YesNoBoxQueryConfig, L"YesNoBoxQueryConfig", kYesNoAttributes, {}},
    {Context::ExitCodeQueryConfig, L"ExitCodeQueryConfig", kExitCodeAttributes, {}},
    {Context::Messages, L"Messages", kMessagesAttributes, {}},
    {Context::GotoPageCommandConfig, L"GotoPageCommandConfig", kGotoPageAttributes, {}},
    {Context::ArchQueryConfig, L"ArchQueryConfig", kArchAttributes, {}},
    {Context::Condition, L"ShowIf", {}, kConditionChildren},
    {Context::ConditionQuery, L"Query", kConditionQueryAttributes, kConditionQueryChildren},
};

} // namespace

std::span<const ElementRule> VocabularyRules() {
    return kRules;
}

const ElementRule& RuleFor(Context context) {
    return kRules[static_cast<std::size_t>(context)];
}

const AttributeRule* FindAttributeRule(Context context, std::wstring_view name) {
    const std::wstring lower = LowerAsciiLetters(name);
    for (const AttributeRule& rule : RuleFor(context).attributes) {
        if (LowerAsciiLetters(rule.name) == lower) {
            return &rule;
        }
    }
    return nullptr;
}
