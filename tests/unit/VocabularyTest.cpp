// The vocabulary table is what the settings readers read, attribute for attribute,
// and what the authors' reference documents.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "config/MenuSettings.h"
#include "config/Vocabulary.h"
#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"
#include "xml/xmlReader.h"

namespace {

// Every context once; "@Name" marks where a test attribute goes, before the
// element's own ones so that it is the one read.
constexpr const wchar_t* kSkeleton = LR"(<config>
<General @General/>
<Messages @Messages/>
<ToolTippConfig @ToolTippConfig tttype="TIPKIND"><TTFont @TTFont/><StaticTTConfig @StaticTTConfig/><ButtonTTConfig @ButtonTTConfig/></ToolTippConfig>
<ButtonConfig><ButtonLayout @DefaultLayout/><ButtonMouseOverLayout @DefaultMouseOverLayout/><Font @DefaultFont/><MouseOverFont @DefaultMouseOverFont/></ButtonConfig>
<Pages><Page>
<Box @Control><ButtonPosition @ButtonPosition/><ButtonLayout @ButtonLayout type="checkbox" icon="i.bmp" caption="c"/><ButtonMouseOverLayout @ButtonMouseOverLayout/><Font @Font/><MouseOverFont @MouseOverFont/>
<Command @Command type="exec"><ExecCommandConfig @ExecCommandConfig/>
<Command type="showmessage"><ShowMessageCommandConfig @ShowMessageCommandConfig/>
<Command type="lernprog"><LernprogCommandConfig @LernprogCommandConfig/><Command type="gotopage"><GotoPageCommandConfig @GotoPageCommandConfig/></Command>
<Query @Query type="file"><FileQueryConfig @FileQueryConfig/><Positiv @Branch>
<Query type="registry"><RegistryQueryConfig @RegistryQueryConfig/><Positiv>
<Query type="winversion"><WinVersionQueryConfig @WinVersionQueryConfig/><Positiv>
<Query type="yesnobox"><YesNoBoxQueryConfig @YesNoBoxQueryConfig/><Positiv>
<Query type="exitcode"><ExitCodeQueryConfig @ExitCodeQueryConfig/><Positiv><Query type="arch"><ArchQueryConfig @ArchQueryConfig/></Query></Positiv></Query></Positiv></Query>
</Positiv></Query></Positiv></Query></Positiv></Query></Command></Command></Command>
</Box>
<Plain><ButtonLayout caption="p"/><ShowIf @Condition><Query @ConditionQuery type="os64"/><Query type="file"><FileQueryConfig path="x"/></Query></ShowIf><EnableIf><Query type="admin" negate="true"/></EnableIf></Plain>
</Page></Pages></config>)";

// The contexts' names, in the order of their enumeration.
const wchar_t* kContextNames[] = {L"Root",
                                  L"General",
                                  L"ToolTippConfig",
                                  L"TTFont",
                                  L"StaticTTConfig",
                                  L"ButtonTTConfig",
                                  L"ButtonConfig",
                                  L"DefaultLayout",
                                  L"DefaultMouseOverLayout",
                                  L"DefaultFont",
                                  L"DefaultMouseOverFont",
                                  L"Pages",
                                  L"Page",
                                  L"Control",
                                  L"ButtonPosition",
                                  L"ButtonLayout",
                                  L"ButtonMouseOverLayout",
                                  L"Font",
                                  L"MouseOverFont",
                                  L"Command",
                                  L"Query",
                                  L"Branch",
                                  L"WeiterCommandConfig",
                                  L"ZurueckCommandConfig",
                                  L"ShowMessageCommandConfig",
                                  L"ExecCommandConfig",
                                  L"LernprogCommandConfig",
                                  L"FileQueryConfig",
                                  L"RegistryQueryConfig",
                                  L"WinVersionQueryConfig",
                                  L"YesNoBoxQueryConfig",
                                  L"ExitCodeQueryConfig",
                                  L"Messages",
                                  L"GotoPageCommandConfig",
                                  L"ArchQueryConfig",
                                  L"Condition",
                                  L"ConditionQuery"};

std::wstring Font(const FontSpec& f) {
    return f.face + L"/" + std::to_wstring(f.height) + L"/" + std::to_wstring(f.weight) +
           std::to_wstring(f.italic) + std::to_wstring(f.underline);
}

void Dump(const ActionSettings* a, std::wostringstream& out) {
    if (a == nullptr) {
        out << L"-";
        return;
    }
    out << L"(" << a->isCommand << static_cast<int>(a->type) << a->typeText << L"|" << a->path
        << L"|" << a->parameter << a->maximized << a->makeAbsolute << a->message << L"|"
        << a->caption << L"|" << a->hkey << L"|" << a->key << L"|" << a->wert << L"|" << a->value
        << L"|" << static_cast<int>(a->valueType) << L"|" << a->checkType << a->minorVersion
        << a->majorVersion << a->wait << a->elevate << a->exitCode.value_or(12345) << L"|"
        << a->page << static_cast<int>(a->arch);
    for (const ChainLink* link : {&a->next, &a->positive, &a->negative}) {
        Dump(link->command.get(), out);
        Dump(link->query.get(), out);
    }
    out << L")";
}

// Everything the settings readers make of a document.
std::wstring Snapshot(const std::wstring& text) {
    const auto tree = ParseXmlText(text);
    const xmlElement* root = &tree->Root();
    std::wostringstream out;
    const WindowSettings w = ReadWindowSettings(FindChild(root, L"General"));
    out << w.icon << w.background << w.bgColor << w.caption << w.width << w.height << w.left
        << w.top << static_cast<int>(w.placement) << w.captionBar << w.topmost << w.dpiScale
        << w.menuId << L";";
    const TooltipSettings t = ReadTooltipSettings(FindChild(root, L"ToolTippConfig"));
    out << static_cast<int>(t.kind) << t.width << t.height << t.bgColor << Font(t.font)
        << t.textColor << t.leftMargin << t.topMargin << t.speed << t.interval << L";";
    const MenuMessages m = ReadMessages(FindChild(root, L"Messages"));
    out << m.chainWarning << m.chainWarningCaption << m.noCaption << m.noTooltipType
        << m.noTooltipTypeCaption << L";";
    const xmlElement* page = FindChild(root, L"Pages")->GetChild(0);
    for (std::size_t i = 0; i < page->GetChildCount(); ++i) {
        const ControlSettings c =
            ReadControlSettings(*page->GetChild(i), FindChild(root, L"ButtonConfig"));
        out << c.left << c.top << static_cast<int>(c.kind) << c.id << c.defaultVal
            << c.checkDim.value_or(-9) << c.caption << c.width << c.height << c.tabIndex
            << c.bgColor << c.transparent << c.tooltip << c.threeD << c.icon
            << c.iconTransparentColor << c.iconOffset.value_or(-9) << c.background << c.hoverBgColor
            << c.hoverTransparent << Font(c.font) << c.textColor << Font(c.hoverFont)
            << c.hoverTextColor << c.disabledTextColor.value_or(99) << c.rememberUser;
        Dump(c.chain.get(), out);
        for (const ConditionSettings* condition : {&c.showIf, &c.enableIf}) {
            out << L"[";
            for (const auto& query : condition->queries) {
                out << query->negate;
                Dump(query.get(), out);
            }
            out << L"]";
        }
        out << L";";
    }
    return out.str();
}

// The skeleton with `attribute` at the marker of `context` and no other marker.
std::wstring Document(Context context, const std::wstring& attribute) {
    std::wstring text = kSkeleton;
    text.replace(text.find(L"TIPKIND"), 7,
                 context == Context::ButtonTTConfig ? L"buttontt" : L"statictt");
    const std::wstring own = std::wstring(L"@") + kContextNames[static_cast<int>(context)];
    std::wstring out;
    std::size_t from = 0;
    for (std::size_t at = text.find(L" @"); at != std::wstring::npos; at = text.find(L" @", from)) {
        const std::size_t end = text.find_first_of(L" />", at + 1);
        out += text.substr(from, at - from);
        out += text.substr(at + 1, end - at - 1) == own ? attribute : L"";
        from = end;
    }
    return out + text.substr(from);
}

std::vector<std::wstring> ValuesFor(const AttributeRule& rule) {
    switch (rule.kind) {
    case ValueKind::Number:
    case ValueKind::ExitCode:
        return {L"7"};
    case ValueKind::Colour:
        return {L"1 2 3"};
    case ValueKind::Flag:
        return {L"true"};
    case ValueKind::Font:
        return {L"Arial Bold"};
    case ValueKind::Keyword:
        return {rule.keywords.begin(), rule.keywords.end()};
    default:
        return {L"v1"};
    }
}

bool Changes(Context context, const AttributeRule& rule, std::wstring_view name,
             const std::wstring& baseline) {
    for (const std::wstring& value : ValuesFor(rule)) {
        const std::wstring attribute = L" " + std::wstring(name) + L"=\"" + value + L"\"";
        if (Snapshot(Document(context, attribute)) != baseline) {
            return true;
        }
    }
    return false;
}

TEST(VocabularyTest, TheSettingsReadersReadExactlyTheTablesAttributes) {
    std::vector<const AttributeRule*> everyAttribute;
    for (const ElementRule& element : VocabularyRules()) {
        for (const AttributeRule& a : element.attributes) {
            everyAttribute.push_back(&a);
        }
    }
    const AttributeRule unknown{L"zzunknown", ValueKind::Text, {}};
    everyAttribute.push_back(&unknown);
    for (const ElementRule& element : VocabularyRules()) {
        const Context context = element.context;
        const std::wstring baseline = Snapshot(Document(context, L""));
        for (const AttributeRule* a : everyAttribute) {
            const AttributeRule* own = FindAttributeRule(context, a->name);
            const bool read = own != nullptr && own->kind != ValueKind::Written &&
                              own->kind != ValueKind::Accepted;
            // Attribute names are found whatever their letter case.
            const std::wstring written =
                own != nullptr ? LowerAsciiLetters(a->name) : std::wstring(a->name);
            EXPECT_EQ(Changes(context, own != nullptr ? *own : *a, written, baseline), read)
                << EncodeUtf8(element.name) << " " << EncodeUtf8(a->name);
        }
    }
}

// The (element, attribute) pairs of the reference's attribute tables.
std::set<std::pair<std::wstring, std::wstring>>
DocumentedAttributes(std::set<std::pair<std::wstring, std::wstring>>& suppliedByButtonConfig) {
    std::ifstream in(std::string(NAVORA_SOURCE_DIR) + "/docs/authoring.md");
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::wstring text = DecodeUtf8(buffer.str());
    std::set<std::pair<std::wstring, std::wstring>> pairs;
    std::wistringstream lines(text);
    std::wstring section;
    std::wstring subsection;
    for (std::wstring line; std::getline(lines, line);) {
        if (line.rfind(L"### ", 0) == 0) {
            section = line.substr(4, 3);
            subsection = line.substr(4, 4);
            continue;
        }
        if (line.rfind(L"| ", 0) != 0 || line.find(L"`") == std::wstring::npos) {
            continue;
        }
        std::vector<std::wstring> cells;
        std::wistringstream row(line.substr(1));
        for (std::wstring cell; std::getline(row, cell, L'|');) {
            cells.push_back(cell);
        }
        const auto words = [&](const std::wstring& cell) {
            std::vector<std::wstring> found;
            for (std::size_t open = cell.find(L'`'); open != std::wstring::npos;) {
                const std::size_t close = cell.find(L'`', open + 1);
                found.push_back(cell.substr(open + 1, close - open - 1));
                open = cell.find(L'`', close + 1);
            }
            return found;
        };
        std::wstring element;
        std::vector<std::wstring> attributes;
        if (section == L"3.1") {
            element = L"General";
            attributes = words(cells[0]);
        } else if (section == L"3.2" || section == L"3.4") {
            const auto named = words(cells[0]);
            element = named.empty() ? L"control" : named[0];
            attributes = words(cells[1]);
            if (section == L"3.4" && cells.size() > 4 &&
                cells[4].find(L"yes") != std::wstring::npos) {
                for (const auto& a : attributes) {
                    suppliedByButtonConfig.insert({element, a});
                }
            }
        } else if (section == L"11.") {
            // The additions: settings elements as in 5.2 and 5.3, "Messages" by attribute.
            const auto named = words(cells.size() > 1 ? cells[1] : std::wstring());
            if (!named.empty() && named[0].ends_with(L"Config")) {
                element = named[0];
                attributes.assign(named.begin() + 1, named.end());
            } else if (subsection == L"11.4") {
                element = L"Messages";
                attributes = words(cells[0]);
            } else if (subsection == L"11.5") {
                element = L"General";
                attributes = words(cells[0]);
            } else if (const auto first = words(cells[0]);
                       first.size() > 1 &&
                       (first[0] == L"General" || first[0] == L"ButtonLayout")) {
                element = first[0];
                attributes.assign(first.begin() + 1, first.end());
            } else {
                continue;
            }
        } else if (section == L"5.2" || section == L"5.3") {
            const auto named = words(cells[1]);
            if (named.empty() || !named[0].ends_with(L"Config")) {
                continue;
            }
            element = named[0];
            attributes.assign(named.begin() + 1, named.end());
        } else {
            continue;
        }
        for (const auto& a : attributes) {
            pairs.insert({element, a});
        }
    }
    return pairs;
}

TEST(VocabularyTest, TheReferenceDocumentsEveryAttributeTheMenuReads) {
    std::set<std::pair<std::wstring, std::wstring>> supplied;
    const auto documented = DocumentedAttributes(supplied);
    std::set<std::pair<std::wstring, std::wstring>> table;
    std::set<std::pair<std::wstring, std::wstring>> tableSupplied;
    for (const ElementRule& element : VocabularyRules()) {
        const Context c = element.context;
        if (c == Context::Root || c == Context::Command || c == Context::Query ||
            c == Context::ConditionQuery ||
            (c >= Context::DefaultLayout && c <= Context::DefaultMouseOverFont)) {
            continue; // described in prose: chains, and ButtonConfig by the "yes" column
        }
        for (const AttributeRule& a : element.attributes) {
            table.insert({std::wstring(element.name), std::wstring(a.name)});
            if (a.fromButtonConfig == Supplied::Yes) {
                tableSupplied.insert({std::wstring(element.name), std::wstring(a.name)});
            }
        }
    }
    EXPECT_EQ(documented, table);
    EXPECT_EQ(supplied, tableSupplied);
}

} // namespace

template <typename Kind>
void ExpectKinds(Kind (*parse)(std::wstring_view),
                 std::initializer_list<std::pair<std::wstring_view, Kind>> cases) {
    for (const auto& [text, kind] : cases) {
        EXPECT_EQ(parse(text), kind) << EncodeUtf8(text);
    }
}

TEST(VocabularyTest, EachKindIsReadFromItsKeywordExactly) {
    using A = ActionType;
    ExpectKinds(CommandTypeFromText, {{L"weiter", A::Weiter},
                                      {L"zur\u00fcck", A::Zurueck},
                                      {L"showmessage", A::ShowMessage},
                                      {L"beenden", A::Beenden},
                                      {L"exec", A::Exec},
                                      {L"lernprog", A::Lernprog},
                                      {L"minimize", A::Minimize},
                                      {L"gotopage", A::GotoPage},
                                      {L"Weiter", A::Unknown},
                                      {L"zuruck", A::Unknown},
                                      {L"file", A::Unknown},
                                      {L"", A::Unknown}});
    ExpectKinds(QueryTypeFromText, {{L"file", A::File},
                                    {L"registry", A::Registry},
                                    {L"winversion", A::WinVersion},
                                    {L"yesnobox", A::YesNoBox},
                                    {L"admin", A::Admin},
                                    {L"os64", A::Os64},
                                    {L"exitcode", A::ExitCode},
                                    {L"arch", A::Arch},
                                    {L"FILE", A::Unknown},
                                    {L"exec", A::Unknown},
                                    {L"yesno", A::Unknown}});
    ExpectKinds(ControlKindFromText, {{L"checkbox", ControlKind::CheckBox},
                                      {L"button", ControlKind::PushButton},
                                      {L"Checkbox", ControlKind::PushButton},
                                      {L"", ControlKind::PushButton}});
    ExpectKinds(TooltipKindFromText, {{L"statictt", TooltipKind::Static},
                                      {L"buttontt", TooltipKind::Button},
                                      {L"cursortt", TooltipKind::Cursor},
                                      {L"StaticTT", TooltipKind::Unknown},
                                      {L"", TooltipKind::Unknown}});
    using R = RegistryType;
    ExpectKinds(RegistryTypeFromText, {{L"REG_SZ", R::Sz},
                                       {L"REG_EXPAND_SZ", R::ExpandSz},
                                       {L"REG_MULTI_SZ", R::MultiSz},
                                       {L"REG_BINARY", R::Binary},
                                       {L"REG_DWORD", R::Dword},
                                       {L"reg_sz", R::Unknown},
                                       {L"REG_QWORD", R::Unknown}});
}
