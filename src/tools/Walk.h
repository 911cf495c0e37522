// A what-if walk runs every control's chain with the menu's own chain builder and actions
// against stand-in services that answer from facts about a target machine; it never starts or
// shows anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "actions/ActionServices.h"
#include "tools/Checker.h"

class xmlTree;

struct FileFact {
    std::wstring pattern; // wildcards "*" and "?"; letter case and "/" or "\" aside
    bool present;
};

struct RegistryFact {
    RegistryHive hive;
    std::wstring key;
    std::wstring name;
    std::optional<RegistryData> data; // none: the value is absent
};

struct ExitCodeFact {
    std::wstring path; // as the "exec" step starts it; letter case and "/" or "\" aside
    std::uint32_t code;
};

struct YesNoFact {
    std::wstring message;
    bool yes;
};

// The facts describe the target machine for a what-if walk. Where several facts of a
// kind match, the last given decides; a box's own yes/no fact beats the one for all.
struct WalkFacts {
    std::optional<OsVersion> winVersion;
    std::optional<bool> wow64;
    std::vector<FileFact> files;
    std::vector<RegistryFact> registry;
    std::optional<bool> yesNo;
    std::vector<YesNoFact> yesNoBoxes;
    std::optional<bool> admin;       // unassumed: an ordinary user
    std::optional<bool> os64;        // unassumed: 64-bit Windows
    std::optional<MachineArch> arch; // unassumed: x64, or x86 when os64=no is assumed
    std::vector<ExitCodeFact> exitCodes;
};

// Parses one --assume FACT: "winversion=MAJOR.MINOR", "wow64=yes|no",
// "file:PATTERN=present|absent", "registry:HIVE\KEY\NAME=TYPE:VALUE|absent",
// "yesno=yes|no" (every yes/no box), "yesno:TEXT=yes|no" (the box whose message is TEXT),
// "admin=yes|no", "os64=yes|no", "arch=x86|x64|arm64", "exitcode:PATH=N" (the code a program
// started with wait="true" ends with; unassumed, none is known). False with a one-line `error` when
// the fact cannot be read.
bool ParseFact(std::string_view fact, WalkFacts& facts, std::string& error); // UTF-8 in

// The name a registry fact and a walk's step give a hive: "HKEY_CURRENT_USER".
std::wstring_view HiveName(RegistryHive hive);

struct WalkStep {
    bool query;                                            // false: a command
    std::string type;                                      // the element's "type" as written, UTF-8
    std::vector<std::pair<std::string, std::string>> args; // in a fixed order per type, UTF-8
    std::optional<bool> answer; // queries: Positiv (true) or Negativ (false)
    bool assumed = false;       // the answer came from an --assume fact (else: "default")
};

// One query of a control's "ShowIf" or "EnableIf", asked as the menu asks it when the page shows.
struct ConditionWalk {
    bool enable;   // "EnableIf"; else "ShowIf"
    bool negate;   // "negate": it holds when its test does not
    WalkStep step; // the query; its answer says whether it holds
};

struct ControlWalk {
    int page;    // 1-based; 0 for the quit button ("BtnBeenden"), listed first
    int control; // 1-based position among the page's controls; 1 for the quit button
    std::string caption;
    std::size_t line; // line of the control element
    std::vector<WalkStep> steps;
    bool failed;         // the walk ended with the chain warning
    std::string warning; // that warning, or the message the menu stops with, UTF-8
    // A control without caption: the menu shows its message at start and ends; no steps.
    bool stops = false;
    std::vector<ConditionWalk> conditions;
    bool shown = true;   // its "ShowIf" holds: otherwise it is hidden and nothing runs
    bool enabled = true; // its "EnableIf" holds: otherwise a press runs nothing
};

// Walks the chain of every control of a configuration the menu can read (controls
// without a chain have no steps and end "done"; one without caption, where the menu stops
// at start, has none and "stops"). `configDir`-relative file facts are
// answered through `files` when not assumed.
std::vector<ControlWalk> WalkMenu(const xmlTree& tree, std::wstring_view text,
                                  const WalkFacts& facts, FileLookup& files);
std::string
WalkText(const std::vector<ControlWalk>& walks); // human-readable, UTF-8, lines end "\n"
// Returns one JSON array, UTF-8, no newline at the end.
std::string WalkJson(const std::vector<ControlWalk>& walks);
