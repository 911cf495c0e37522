// Variables: %MENUDIR%, %MENUDRIVE% and environment variables, where the menu replaces them
// and where it shows them as written.
#include <algorithm>

#include "tools/checks/Checks.h"

namespace checks {

namespace {

// Every Windows sets these variables; a name a slip away from one gets a did-you-mean.
const std::vector<std::wstring_view> kWindowsVariables = {L"ALLUSERSPROFILE",
                                                          L"APPDATA",
                                                          L"CommonProgramFiles",
                                                          L"CommonProgramFiles(x86)",
                                                          L"CommonProgramW6432",
                                                          L"COMPUTERNAME",
                                                          L"ComSpec",
                                                          L"HOMEDRIVE",
                                                          L"HOMEPATH",
                                                          L"LOCALAPPDATA",
                                                          L"NUMBER_OF_PROCESSORS",
                                                          L"OS",
                                                          L"Path",
                                                          L"PATHEXT",
                                                          L"PROCESSOR_ARCHITECTURE",
                                                          L"ProgramData",
                                                          L"ProgramFiles",
                                                          L"ProgramFiles(x86)",
                                                          L"ProgramW6432",
                                                          L"PUBLIC",
                                                          L"SystemDrive",
                                                          L"SystemRoot",
                                                          L"TEMP",
                                                          L"TMP",
                                                          L"USERDOMAIN",
                                                          L"USERNAME",
                                                          L"USERPROFILE",
                                                          L"windir"};

// Says whether a name between two '%' reads as a variable: a letter or '_' first, then letters,
// digits and "_()"; "50% bis 70%" and "%20" are none.
bool IsVariableName(std::wstring_view name) {
    if (name.empty() || (!IsAsciiLetter(name[0]) && name[0] != L'_')) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](wchar_t c) {
        return IsAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'_' || c == L'(' || c == L')';
    });
}

// Visits each %NAME% of a text, left to right, as the menu pairs the '%' signs.
template <typename Visit> void ForEachVariable(std::wstring_view text, Visit visit) {
    for (std::size_t open = text.find(L'%'); open != npos;) {
        const std::size_t close = text.find(L'%', open + 1);
        if (close == npos) {
            return;
        }
        const bool variable = IsVariableName(text.substr(open + 1, close - open - 1));
        if (variable) {
            visit(text.substr(open + 1, close - open - 1), close);
        }
        open = variable ? text.find(L'%', close + 1) : close;
    }
}

// A check box's id between '%' signs, where the author expects the box's state: the menu puts
// none in; the state reaches a program through the file. True when reported.
bool CheckBoxState(CheckContext& c, std::wstring_view value, std::size_t at) {
    const std::wstring lower = LowerAsciiLetters(value);
    for (const std::wstring& id : c.boxIds) {
        const std::size_t found = lower.find(L"%" + id + L"%");
        if (found == npos) {
            continue;
        }
        c.Error(at, "variable",
                Quoted(value.substr(found, id.size() + 2)) +
                    " names a check box, but the menu puts no check box's state into a text: it "
                    "stays as written; the menu records the state, true or false, in the box's "
                    "currentval in this file, where a program it starts reads it");
        return true;
    }
    return false;
}

// "%MENUDIR" or "%MENUDRIVE" without its closing '%', which the menu leaves as written.
void CheckUnclosed(CheckContext& c, std::wstring_view value, std::size_t at) {
    const std::wstring lower = LowerAsciiLetters(value);
    for (const std::wstring_view name : {L"%menudir", L"%menudrive"}) {
        for (std::size_t i = lower.find(name); i != npos; i = lower.find(name, i + 1)) {
            const std::size_t end = i + name.size();
            const wchar_t next = end < lower.size() ? lower[end] : L' ';
            if (next == L'%' || IsAsciiLetter(next) || next == L'_' ||
                (next >= L'0' && next <= L'9')) {
                continue;
            }
            const std::string written = Shown(value.substr(i, name.size()));
            c.Error(at, "variable",
                    Quoted(value.substr(i, name.size())) +
                        " has no closing '%': the menu leaves it as written, so the step looks "
                        "for a folder of that name and fails; write " +
                        written + "%");
            return;
        }
    }
}

} // namespace

// Variables in a path or parameter: the menu's own without the backslash after them, names
// like the menu's own that are none, and names a slip away from a standard one.
void CheckVariables(CheckContext& c, std::wstring_view value, std::size_t at) {
    CheckBoxState(c, value, at);
    CheckUnclosed(c, value, at);
    ForEachVariable(value, [&](std::wstring_view written, std::size_t close) {
        const std::wstring name = LowerAsciiLetters(written);
        // Appended, which GCC's -O3 restrict check does not misread.
        const std::string shown = std::string("%").append(Shown(written)).append("%");
        if (name == L"menudir" || name == L"menudrive") {
            // More of a name follows: the folder and the name run together.
            const wchar_t next = close + 1 < value.size() ? value[close + 1] : L' ';
            if (IsAsciiLetter(next) || (next >= L'0' && next <= L'9') || next == L'_' ||
                next == L'.') {
                const std::wstring_view folder = name == L"menudir" ? L"E:\\menu" : L"E:";
                c.Error(at, "variable",
                        shown + " has no backslash after it: the menu puts in " + Shown(folder) +
                            " without one, so this reads " +
                            Quoted(std::wstring(folder) + std::wstring(value.substr(close + 1))) +
                            "; write " + shown + "\\" + Shown(value.substr(close + 1)));
            }
            return;
        }
        if (name.rfind(L"menu", 0) == 0) {
            c.Warning(at, "variable",
                      shown + " is not a variable the menu knows: it stays as written unless the "
                              "user's environment has it; the menu's own are %MENUDIR% and "
                              "%MENUDRIVE%");
            return;
        }
        for (const std::wstring_view cmd :
             {L"cd", L"date", L"time", L"random", L"errorlevel", L"cmdcmdline"}) {
            if (name == cmd) {
                c.Warning(at, "variable",
                          shown + " is a name only the command prompt replaces, no environment "
                                  "variable: the menu leaves it as written; for the menu's folder "
                                  "write %MENUDIR%");
                return;
            }
        }
        const auto meant = Suggest(written, kWindowsVariables);
        if (meant && LowerAsciiLetters(*meant) != name) {
            c.Warning(at, "variable",
                      shown +
                          " is not a variable Windows sets: it stays as written unless the "
                          "user's environment has it; did you mean %" +
                          Shown(*meant) + "%?");
        }
    });
}

// Texts the menu shows as written: a %NAME% there is never replaced (`allowed` is a
// name the text itself replaces).
void CheckUnreplaced(CheckContext& c, std::wstring_view value, std::size_t at,
                     const std::string& name, std::wstring_view allowed) {
    bool reported = CheckBoxState(c, value, at);
    ForEachVariable(value, [&](std::wstring_view written, std::size_t) {
        if (reported || written == allowed) {
            return;
        }
        reported = true;
        c.Warning(at, "variable",
                  "the menu replaces no variables in " + name + ": it shows '%" + Shown(written) +
                      "%' as written; variables work only in paths, parameters and registry "
                      "keys");
    });
}

} // namespace checks
