// Stand-ins for the menu window and the system, recording what actions ask of them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "actions/ActionServices.h"
#include "actions/TExecuteAbleList.h"
#include "xml/xmlReader.h"

// Builds the chain of a button element given as text (its first "Command", else its first
// "Query") into `store`; `trees` keeps the element trees alive.
inline std::int32_t BuildButtonChain(TExecuteAbleList& store,
                                     std::vector<std::unique_ptr<xmlTree>>& trees,
                                     const std::wstring& button) {
    trees.push_back(ParseXmlText(button));
    const xmlElement& b = trees.back()->Root();
    const xmlElement* first = FindChild(&b, L"Command");
    return store.BuildChain(first != nullptr ? first : FindChild(&b, L"Query"));
}

struct FakeDialog final : IMenuDialog {
    struct Box {
        std::wstring text, caption;
        unsigned style;
    };
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                       unsigned style) override {
        boxes.push_back({text, caption, style});
        events.push_back(L"box:" + text);
        closed = closed || (!closeOn.empty() && text == closeOn);
        return answer;
    }
    void EndWithOk() override { events.push_back(L"end"); }
    void Minimize() override { events.push_back(L"minimize"); }
    int CurrentPage() const override { return page; }
    void SetCurrentPage(int p) override { page = p; }
    int PageCount() const override { return pageCount; }
    bool Closed() const override { return closed; }
    std::optional<bool> CheckState(const std::wstring& id) override {
        const auto found = checkBoxes.find(id);
        return found == checkBoxes.end() ? std::nullopt : std::optional(found->second);
    }

    std::vector<Box> boxes;
    std::map<std::wstring, bool> checkBoxes; // by id
    std::wstring closeOn; // the user closes the window while the box with this text is shown
    bool closed = false;
    std::vector<std::wstring> events;
    int answer = 1;
    int page = 0;
    int pageCount = 1;
};

struct FakeSystem final : ISystemServices {
    bool StartFile(const std::wstring& file, const std::wstring& parameters,
                   bool maximized) override {
        launches.push_back({file, parameters, maximized});
        return startable.count(file) > 0;
    }
    bool RunFile(const std::wstring& file, const std::wstring& parameters, const LaunchOptions& how,
                 std::optional<std::uint32_t>& exitCode) override {
        runs.push_back({file, parameters, how.maximized, how.elevate, how.wait});
        const auto code = exitCodes.find(file);
        exitCode = code == exitCodes.end() ? std::nullopt : std::optional(code->second);
        return startable.count(file) > 0;
    }
    std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) override {
        ++lookups;
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional(found->second);
    }
    bool IsAdministrator() override { return administrator; }
    bool IsOs64() override { return os64; }
    MachineArch NativeMachine() override { return arch; }
    bool PathMatches(const std::wstring& path) override {
        asked.push_back(path);
        return existing.count(path) > 0;
    }
    OsVersion GetOsVersion() override { return version; }
    bool IsWow64() override { return wow64; }
    std::optional<RegistryData> ReadRegistryValue(RegistryHive hive, const std::wstring& subkey,
                                                  const std::wstring& name, bool view64) override {
        lastHive = hive;
        lastView64 = view64;
        const auto found = values.find({subkey, name});
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    std::wstring ProgramPath() override { return programPath; }

    std::vector<std::tuple<std::wstring, std::wstring, bool>> launches;
    // file, parameters, maximized, elevate, wait
    std::vector<std::tuple<std::wstring, std::wstring, bool, bool, bool>> runs;
    std::map<std::wstring, std::uint32_t> exitCodes; // of programs waited for
    std::map<std::wstring, std::wstring> environment;
    int lookups = 0; // of environment variables
    bool administrator = false;
    bool os64 = false;
    MachineArch arch = MachineArch::X64;
    std::set<std::wstring> startable;
    std::vector<std::wstring> asked;
    std::set<std::wstring> existing;
    OsVersion version{6, 1};
    bool wow64 = false;
    std::map<std::pair<std::wstring, std::wstring>, RegistryData> values;
    RegistryHive lastHive = RegistryHive::CurrentUser;
    bool lastView64 = false;
    std::wstring programPath = L"D:\\menu\\menu.exe";
};
