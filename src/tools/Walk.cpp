#include "tools/Walk.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <stdexcept>

#include "actions/Commands.h"
#include "actions/Conditions.h"
#include "actions/Queries.h"
#include "actions/TExecuteAbleList.h"
#include "config/MenuSettings.h"
#include "tools/TreeJson.h"
#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;
// No real program folder exists for a walk: makeabsolute joins this name for it, so a
// resolved path reads "<menu folder>\setup.exe", and an absolute path stays as broken
// as the menu makes it ("<menu folder>\C:\x.exe").
constexpr std::wstring_view kMenuFolder = L"<menu folder>\\";
constexpr int kIdOk = 1;
constexpr int kIdNo = 7;
// Unassumed, the walk runs on Windows 10 or 11 (both report 10.0).
constexpr OsVersion kDefaultVersion{10, 0};

// Compares letter case aside and "/" as "\", as Windows compares paths and registry names.
std::wstring Folded(std::wstring_view path) {
    std::wstring folded = LowerAsciiLetters(path);
    std::replace(folded.begin(), folded.end(), L'/', L'\\');
    return folded;
}

// Expands a fact's path as the menu does: "%MENUDIR%\" is the menu's folder, where paths
// beside the configuration lie.
std::wstring FactPath(std::wstring_view path) {
    const std::wstring folded = Folded(path);
    constexpr std::wstring_view kFolder = L"%menudir%\\";
    return folded.rfind(kFolder, 0) == 0 ? folded.substr(kFolder.size()) : folded;
}

std::optional<bool> FileFactFor(const WalkFacts& facts, std::wstring_view path) {
    std::optional<bool> present;
    const std::wstring folded = Folded(path);
    for (const FileFact& fact : facts.files) {
        if (WildcardMatch(FactPath(fact.pattern), folded)) {
            present = fact.present;
        }
    }
    return present;
}

// A walk's menu window answers boxes from the facts and shows nothing.
class WalkDialog final : public IMenuDialog {
public:
    explicit WalkDialog(const WalkFacts& facts) : facts_(facts) {}

    int ShowMessageBox(const std::wstring& text, const std::wstring&, unsigned style) override {
        if (style != kMbYesNo) {
            return kIdOk;
        }
        std::optional<bool> yes = facts_.yesNo;
        for (const YesNoFact& fact : facts_.yesNoBoxes) {
            if (fact.message == text) {
                yes = fact.yes;
            }
        }
        assumed = yes.has_value();
        // Unassumed, every yes/no box is answered yes.
        return yes.value_or(true) ? kIdYes : kIdNo;
    }
    void EndWithOk() override {}
    void Minimize() override {}
    int CurrentPage() const override { return page; }
    void SetCurrentPage(int p) override { page = p; }
    int PageCount() const override { return pageCount; }
    // A walk presses no check box: each has its state at start.
    std::optional<bool> CheckState(const std::wstring& id) override {
        const auto found = boxes.find(id);
        return found == boxes.end() ? std::nullopt : std::optional(found->second);
    }

    std::map<std::wstring, bool> boxes; // each id's first check box, as it starts
    int page = 0;
    int pageCount = 0;
    bool assumed = false; // the last answer came from a fact

private:
    const WalkFacts& facts_;
};

// The facts describe the target machine; unassumed files are looked up beside the
// configuration, while the menu looks in its current folder.
class WalkSystem final : public ISystemServices {
public:
    WalkSystem(const WalkFacts& facts, FileLookup& files) : facts_(facts), files_(files) {}

    bool StartFile(const std::wstring& file, const std::wstring&, bool) override {
        return Starts(file);
    }
    bool RunFile(const std::wstring& file, const std::wstring&, const LaunchOptions& how,
                 std::optional<std::uint32_t>& exitCode) override {
        exitCode.reset();
        for (const ExitCodeFact& fact : facts_.exitCodes) {
            if (how.wait && (FactPath(fact.path) == Folded(file) ||
                             Folded(kMenuFolder) + FactPath(fact.path) == Folded(file))) {
                exitCode = fact.code;
            }
        }
        if (how.wait) {
            exitCodeAssumed = exitCode.has_value();
            lastExitCode = exitCode;
        }
        return StartFile(file, {}, how.maximized);
    }
    // The target machine's environment is not known: every %NAME% stays as written.
    std::optional<std::wstring> EnvironmentVariable(const std::wstring&) override {
        return std::nullopt;
    }
    bool IsAdministrator() override {
        assumed = facts_.admin.has_value();
        return facts_.admin.value_or(false);
    }
    bool IsOs64() override {
        assumed = facts_.os64.has_value();
        // An assumed x86 machine runs 32-bit Windows.
        return facts_.os64.value_or(facts_.arch != MachineArch::X86);
    }
    MachineArch NativeMachine() override {
        assumed = facts_.arch.has_value();
        return facts_.arch.value_or(facts_.os64 == false ? MachineArch::X86 : MachineArch::X64);
    }
    bool PathMatches(const std::wstring& path) override {
        // A path in the menu's folder (makeabsolute, %MENUDIR%) is one beside the configuration.
        const std::wstring_view file = path;
        const std::wstring own(file.substr(0, kMenuFolder.size()) == kMenuFolder
                                   ? file.substr(kMenuFolder.size())
                                   : file);
        const std::optional<bool> fact = FileFactFor(facts_, own);
        assumed = fact.has_value();
        return fact ? *fact : files_.Find(own) == FileState::Present;
    }
    OsVersion GetOsVersion() override {
        assumed = facts_.winVersion.has_value();
        return facts_.winVersion.value_or(kDefaultVersion);
    }
    // wow64 changes no answer: the menu reads the machine's own view either way, and
    // that is the view the registry facts describe.
    bool IsWow64() override { return facts_.wow64.value_or(false); }
    std::optional<RegistryData> ReadRegistryValue(RegistryHive hive, const std::wstring& subkey,
                                                  const std::wstring& name, bool) override {
        // Unassumed, every registry value is absent.
        std::optional<RegistryData> data;
        assumed = false;
        for (const RegistryFact& fact : facts_.registry) {
            if (fact.hive == hive && Folded(fact.key) == Folded(subkey) &&
                LowerAsciiLetters(fact.name) == LowerAsciiLetters(name)) {
                data = fact.data;
                assumed = true;
            }
        }
        return data;
    }
    std::wstring ProgramPath() override { return std::wstring(kMenuFolder) + L"navora.exe"; }

    bool assumed = false; // the last answer came from a fact
    // The exit code of the last program waited for came from a fact (unassumed, none is known).
    bool exitCodeAssumed = false;
    std::optional<std::uint32_t> lastExitCode; // that code, when a fact gives it

private:
    // A launch fails only when its file is known to be absent: by a file fact, or not found
    // beside the configuration; URLs and absolute paths start. Names with "*" or "?" name
    // no file, and a drive behind the menu's folder makes a path that cannot exist.
    bool Starts(std::wstring_view file) {
        const bool joined = file.substr(0, kMenuFolder.size()) == kMenuFolder;
        const std::wstring_view path = joined ? file.substr(kMenuFolder.size()) : file;
        if (!joined && IsUrl(path)) {
            return true;
        }
        if ((joined && path.size() >= 2 && path[1] == L':') || path.find_first_of(L"*?") != npos) {
            return false;
        }
        if (const std::optional<bool> fact = FileFactFor(facts_, path)) {
            return *fact;
        }
        return files_.Find(std::wstring(path)) != FileState::Absent;
    }

    const WalkFacts& facts_;
    FileLookup& files_;
};

// The menu's one action store keeps beside each action the settings it was built from.
class ChainStore {
public:
    ChainStore(IMenuDialog& dialog, ISystemServices& system) : store(&dialog, &system) {}

    // Builds a condition's query alone, as the menu does; kChainFailure for one that cannot be.
    std::int32_t BuildConditionQuery(const ActionSettings& query) {
        if (!MayBeCondition(query)) {
            return kChainFailure;
        }
        sources.push_back(&query);
        return store.BuildQuery(query);
    }

    std::int32_t Build(const ActionSettings* chain) {
        List(chain);
        const std::int32_t start = store.BuildChain(chain);
        if (sources.size() != store.Size()) {
            throw std::logic_error("the walk lost count of the actions built");
        }
        return start;
    }

    TExecuteAbleList store;
    std::vector<const ActionSettings*> sources;

private:
    // Lists the actions in the builder's order: each element before its links, a link's
    // "Command" before its "Query", nothing under an element of unknown type.
    void List(const ActionSettings* action) {
        // The builder builds nothing for a type it does not know.
        if (action == nullptr || action->type == ActionType::Unknown) {
            return;
        }
        sources.push_back(action);
        if (action->isCommand) {
            ListLink(action->next);
        } else {
            ListLink(action->positive);
            ListLink(action->negative);
        }
    }
    void ListLink(const ChainLink& link) {
        List(link.command.get());
        List(link.query.get());
    }
};

const ActionSettings* LinkHead(const ChainLink& link) {
    return link.query ? link.query.get() : link.command.get();
}

// Makes a step of the element's kind and type, without arguments or answer.
WalkStep StepOf(const ActionSettings& action) {
    return {!action.isCommand, EncodeUtf8(action.typeText), {}, std::nullopt, false};
}

std::string ShowMode(bool maximized) {
    return maximized ? "maximized" : "normal";
}

// `exitCode` is the code the last program waited for ended with, as the facts say.
std::vector<std::pair<std::string, std::string>> Args(const ActionSettings& a,
                                                      const TExecuteAble& action, int page,
                                                      std::optional<std::uint32_t> exitCode) {
    const ActionType type = a.type;
    if (const auto* exec = dynamic_cast<const cmdExec*>(&action)) {
        std::vector<std::pair<std::string, std::string>> args = {
            {"path", EncodeUtf8(exec->Path())},
            {"parameter", EncodeUtf8(exec->Parameter())},
            {"show", ShowMode(a.maximized)}};
        if (exec->Elevates()) {
            args.emplace_back("elevate", "true");
        }
        if (exec->Waits()) {
            args.emplace_back("wait", "true");
        }
        return args;
    }
    if (const auto* file = dynamic_cast<const QFile*>(&action)) {
        return {{"path", EncodeUtf8(file->Path())}};
    }
    if (const auto* exit = dynamic_cast<const QExitCode*>(&action)) {
        // A value that is no exit code is shown as written: it never matches.
        const xmlElement* config = FindChild(a.source, L"ExitCodeQueryConfig");
        const std::string value = exit->Code()        ? std::to_string(*exit->Code())
                                  : config != nullptr ? EncodeUtf8(config->GetAttribute(L"value"))
                                                      : std::string();
        return {{"value", value}, {"exit", exitCode ? std::to_string(*exitCode) : "unknown"}};
    }
    if (type == ActionType::Lernprog) {
        return {{"path", "TUTORRUN.exe"},
                {"parameter", EncodeUtf8(a.parameter)},
                {"show", ShowMode(a.maximized)}};
    }
    if (type == ActionType::Weiter || type == ActionType::Zurueck) {
        return {{"page", std::to_string(page + 1)}};
    }
    if (type == ActionType::GotoPage) {
        return {{"page", std::to_string(a.page)}}; // as written: a missing page fails the step
    }
    if (type == ActionType::ShowMessage || type == ActionType::YesNoBox) {
        return {{"caption", EncodeUtf8(a.caption)}, {"message", EncodeUtf8(a.message)}};
    }
    if (const auto* registry = dynamic_cast<const QRegistry*>(&action)) {
        // The type is shown as written, also one the menu does not know.
        const xmlElement* config = FindChild(a.source, L"RegistryQueryConfig");
        const std::wstring written = config != nullptr ? config->GetAttribute(L"type") : L"";
        return {{"hive", EncodeUtf8(HiveName(HiveFromName(a.hkey)))},
                {"key", EncodeUtf8(registry->Key())},
                {"name", EncodeUtf8(a.wert)},
                {"type", EncodeUtf8(written)},
                {"value", EncodeUtf8(registry->Value())}};
    }
    if (type == ActionType::Arch) {
        const xmlElement* config = FindChild(a.source, L"ArchQueryConfig");
        return {{"value", config != nullptr ? EncodeUtf8(config->GetAttribute(L"value")) : ""}};
    }
    if (type == ActionType::WinVersion) {
        return {{"checktype", std::to_string(a.checkType)},
                {"version", std::to_string(a.majorVersion) + "." + std::to_string(a.minorVersion)}};
    }
    return {};
}

struct Walker {
    ChainStore& chains;
    WalkDialog& dialog;
    WalkSystem& system;

    const MenuMessages& messages;

    // Asks each query of a condition as the menu does when the control's page is shown; a
    // query that cannot be a condition does not hold.
    bool Ask(const ConditionSettings& condition, bool enable, int page, ControlWalk& walk) {
        dialog.page = page;
        bool holds = true;
        for (const auto& query : condition.queries) {
            ConditionWalk asked{enable, query->negate, StepOf(*query)};
            const std::int32_t i = chains.BuildConditionQuery(*query);
            bool answer = false;
            if (auto* built = dynamic_cast<TQuery*>(chains.store.At(i))) {
                dialog.assumed = system.assumed = false;
                answer = built->Check() != query->negate;
                asked.step.assumed = dialog.assumed || system.assumed;
                asked.step.args = Args(*query, *built, page, std::nullopt);
            }
            asked.step.answer = answer;
            holds = holds && answer;
            walk.conditions.push_back(std::move(asked));
        }
        return holds;
    }

    // Runs the chain from `start` as a press of its button does, step by step.
    void Walk(const ActionSettings* root, std::int32_t start, int page, ControlWalk& walk) {
        dialog.page = page;
        chains.store.StartWalk();
        system.exitCodeAssumed = false;
        system.lastExitCode.reset();
        if (start == kChainFailure) {
            walk.steps.push_back(StepOf(*root));
        }
        std::int32_t i = start;
        while (i >= 0) {
            TExecuteAble* action = chains.store.At(i);
            const ActionSettings& source = *chains.sources[static_cast<std::size_t>(i)];
            auto* query = dynamic_cast<TQuery*>(action);
            if ((query == nullptr) != source.isCommand) {
                throw std::logic_error("the walk took an action for another");
            }
            WalkStep step = StepOf(source);
            dialog.assumed = system.assumed = false;
            const ChainLink* link = &source.next;
            if (query != nullptr) {
                // Asked once before the run for its answer, which the index cannot tell
                // when both branches are the same.
                const bool answer = query->Check();
                step.answer = answer;
                step.assumed = dynamic_cast<const QExitCode*>(query) != nullptr
                                   ? system.exitCodeAssumed
                                   : dialog.assumed || system.assumed;
                link = answer ? &source.positive : &source.negative;
                i = action->Execute();
                if (i != (answer ? query->positive : query->negative)) {
                    throw std::logic_error("a query answered otherwise the second time");
                }
            } else {
                i = action->Execute();
                // A command that failed itself (a launch, a page that does not exist) ends the
                // chain; else a failure is the successor's.
                if (!static_cast<const TCommand*>(action)->done) {
                    link = nullptr;
                }
            }
            step.args = Args(source, *action, dialog.page, system.lastExitCode);
            walk.steps.push_back(std::move(step));
            if (i == kChainFailure && link != nullptr && LinkHead(*link) != nullptr) {
                walk.steps.push_back(StepOf(*LinkHead(*link)));
            }
        }
        walk.failed = i != kChainEnd;
        dialog.page = page;
        if (chains.store.RunChain(start) == walk.failed) {
            throw std::logic_error("the walk and the menu's own run disagree");
        }
        if (walk.failed) {
            walk.warning = EncodeUtf8(messages.ChainWarningFor(
                start == kChainFailure ? TExecuteAbleList::UnknownStep(*root)
                                       : chains.store.FailedStep()));
        }
    }
};

std::string Show(const std::string& utf8) {
    return Shown(DecodeUtf8(utf8));
}

std::string Json(const std::string& utf8) {
    return JsonString(DecodeUtf8(utf8));
}

} // namespace

std::vector<ControlWalk> WalkMenu(const xmlTree& tree, std::wstring_view text,
                                  const WalkFacts& facts, FileLookup& files) {
    struct Control {
        ControlWalk walk;
        ControlKind kind;
        std::unique_ptr<ActionSettings> chain;
        std::int32_t start;
        ConditionSettings showIf;
        ConditionSettings enableIf;
    };
    const xmlElement* root = &tree.Root();
    const xmlElement* buttonConfig = FindChild(root, L"ButtonConfig");
    const LineIndex lines(text);
    // Controls come in the menu's order of building: the quit button, then every page's, also
    // past a control where the menu's set-up would stop (the checker says where).
    std::vector<Control> controls;
    const MenuMessages messages = ReadMessages(FindChild(root, L"Messages"));
    std::map<std::wstring, bool> boxes;
    const auto add = [&](int page, std::size_t position, const xmlElement& element) {
        ControlSettings settings = ReadControlSettings(element, buttonConfig);
        if (settings.kind == ControlKind::CheckBox) {
            boxes.emplace(settings.id, settings.defaultVal);
        }
        const bool stops = settings.caption.empty();
        controls.push_back({{page,
                             static_cast<int>(position),
                             EncodeUtf8(settings.caption),
                             lines.At(element.GetOffset()).first,
                             {},
                             false,
                             stops ? EncodeUtf8(messages.noCaption) : std::string(),
                             stops,
                             {},
                             true,
                             true},
                            settings.kind,
                            std::move(settings.chain),
                            kChainEnd,
                            std::move(settings.showIf),
                            std::move(settings.enableIf)});
    };
    if (const xmlElement* quit = FindChild(root, L"BtnBeenden")) {
        add(0, 1, *quit);
    }
    const xmlElement* pages = FindChild(root, L"Pages");
    const std::size_t pageCount = pages == nullptr ? 0 : pages->GetChildCount();
    for (std::size_t p = 0; p < pageCount; ++p) {
        const xmlElement* page = pages->GetChild(p);
        for (std::size_t c = 0; c < page->GetChildCount(); ++c) {
            add(static_cast<int>(p + 1), c + 1, *page->GetChild(c));
        }
    }

    WalkDialog dialog(facts);
    dialog.pageCount = static_cast<int>(pageCount);
    dialog.boxes = std::move(boxes);
    WalkSystem system(facts, files);
    ChainStore chains(dialog, system);
    for (Control& c : controls) {
        c.start = chains.Build(c.chain.get());
    }
    Walker walker{chains, dialog, system, messages};
    std::vector<ControlWalk> walks;
    for (Control& c : controls) {
        // A check box only toggles: its chain is built but never runs. The quit button's
        // walk starts on the first page, where the menu opens. A hidden or disabled control
        // runs nothing.
        const int page = std::max(c.walk.page - 1, 0);
        if (!c.walk.stops) {
            c.walk.shown = walker.Ask(c.showIf, false, page, c.walk);
            c.walk.enabled = walker.Ask(c.enableIf, true, page, c.walk);
        }
        if (c.kind != ControlKind::CheckBox && !c.walk.stops && c.walk.shown && c.walk.enabled) {
            walker.Walk(c.chain.get(), c.start, page, c.walk);
        }
        walks.push_back(std::move(c.walk));
    }
    return walks;
}

std::string WalkText(const std::vector<ControlWalk>& walks) {
    std::string out;
    for (const ControlWalk& w : walks) {
        out += w.page == 0
                   ? std::string("quit button")
                   : "page " + std::to_string(w.page) + ", control " + std::to_string(w.control);
        out += " \"" + Show(w.caption) + "\" (line " + std::to_string(w.line) + ")\n";
        if (w.stops) {
            out += "  end: the menu stops here at start with \"" + Show(w.warning) + "\"\n";
            continue;
        }
        for (const ConditionWalk& c : w.conditions) {
            out += std::string(c.enable ? "  enable if: " : "  show if: ") +
                   (c.negate ? "not " : "") + "query " + Show(c.step.type);
            for (const auto& [key, value] : c.step.args) {
                out += " " + key + "=\"" + Show(value) + "\"";
            }
            out += std::string(*c.step.answer ? " -> holds" : " -> does not hold") +
                   (c.step.assumed ? " (assumed)\n" : " (default)\n");
        }
        if (!w.shown || !w.enabled) {
            out += w.shown ? "  end: disabled, a press runs nothing\n" : "  end: hidden\n";
            continue;
        }
        if (w.steps.empty()) {
            out += "  (no steps)\n";
        }
        for (const WalkStep& s : w.steps) {
            out += std::string("  ") + (s.query ? "query " : "command ") + Show(s.type);
            for (const auto& [key, value] : s.args) {
                out += " " + key + "=\"" + Show(value) + "\"";
            }
            if (s.answer) {
                out += std::string(" -> ") + (*s.answer ? "Positiv" : "Negativ") +
                       (s.assumed ? " (assumed)" : " (default)");
            }
            out += "\n";
        }
        out += w.failed
                   ? "  end: failed at the last step; the menu shows \"" + Show(w.warning) + "\"\n"
                   : std::string("  end: done\n");
    }
    return out;
}

std::string WalkJson(const std::vector<ControlWalk>& walks) {
    std::string out = "[";
    for (const ControlWalk& w : walks) {
        out += out.size() > 1 ? "," : "";
        out += "{\"page\":" + std::to_string(w.page) + ",\"control\":" + std::to_string(w.control) +
               ",\"caption\":" + Json(w.caption) + ",\"line\":" + std::to_string(w.line) +
               ",\"steps\":[";
        for (std::size_t i = 0; i < w.steps.size(); ++i) {
            const WalkStep& s = w.steps[i];
            out += std::string(i > 0 ? "," : "") +
                   "{\"kind\":" + (s.query ? "\"query\"" : "\"command\"") +
                   ",\"type\":" + Json(s.type) + ",\"args\":{";
            for (std::size_t a = 0; a < s.args.size(); ++a) {
                out += std::string(a > 0 ? "," : "") + Json(s.args[a].first) + ":" +
                       Json(s.args[a].second);
            }
            out += "}";
            if (s.answer) {
                out += std::string(",\"answer\":") + (*s.answer ? "true" : "false") +
                       ",\"from\":" + (s.assumed ? "\"assumed\"" : "\"default\"");
            }
            out += "}";
        }
        out += "]";
        if (!w.conditions.empty()) {
            out += ",\"conditions\":[";
            for (std::size_t i = 0; i < w.conditions.size(); ++i) {
                const ConditionWalk& c = w.conditions[i];
                out += std::string(i > 0 ? "," : "") +
                       "{\"on\":" + (c.enable ? "\"enableif\"" : "\"showif\"") +
                       ",\"type\":" + Json(c.step.type) +
                       ",\"negate\":" + (c.negate ? "true" : "false") +
                       ",\"holds\":" + (*c.step.answer ? "true" : "false") +
                       ",\"from\":" + (c.step.assumed ? "\"assumed\"" : "\"default\"") + "}";
            }
            out += std::string("],\"shown\":") + (w.shown ? "true" : "false") +
                   ",\"enabled\":" + (w.enabled ? "true" : "false");
        }
        out += std::string(",\"end\":") +
               (w.stops      ? "\"stops\""
                : !w.shown   ? "\"hidden\""
                : !w.enabled ? "\"disabled\""
                : w.failed   ? "\"failed\""
                             : "\"done\"") +
               "}";
    }
    return out + "]";
}
