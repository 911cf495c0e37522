// Commands and queries against the real Windows services, under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "ActionFakes.h"
#include "ProcessWindows.h"
#include "actions/TExecuteAbleList.h"
#include "actions/Win32System.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

namespace fs = std::filesystem;

fs::path TestDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

class Win32Actions : public ::testing::Test {
protected:
    void SetUp() override {
        temp_ =
            fs::temp_directory_path() / ("navora-actions-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(temp_);
    }
    void TearDown() override {
        // A started probe may still hold the folder for a moment.
        std::error_code error;
        WaitUntil([&] { return fs::remove_all(temp_, error) != static_cast<std::uintmax_t>(-1); },
                  5000);
        EXPECT_FALSE(error) << error.message();
    }

    // Runs a "Query" element's chain and tells which branch it took.
    bool Holds(const std::wstring& query) {
        const std::wstring xml =
            L"<B>" + query.substr(0, query.size() - 8) +
            L"<Positiv><Command type=\"showmessage\"><ShowMessageCommandConfig "
            L"message=\"yes\"/></Command></Positiv><Negativ><Command "
            L"type=\"showmessage\"><ShowMessageCommandConfig message=\"no\"/>"
            L"</Command></Negativ></Query></B>";
        dialog_.boxes.clear();
        EXPECT_TRUE(Run(xml));
        return !dialog_.boxes.empty() && dialog_.boxes.back().text == L"yes";
    }
    bool Run(const std::wstring& button) {
        const auto tree = ParseXmlText(button);
        const xmlElement* first = FindChild(&tree->Root(), L"Command");
        return store_.RunChain(
            store_.BuildChain(first ? first : FindChild(&tree->Root(), L"Query")));
    }
    // Waits for the launch probe's record; empty when none came.
    std::string Record(const fs::path& marker) {
        WaitUntil([&] { return fs::exists(marker); }, 30000);
        std::ifstream in(marker);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path temp_;
    FakeDialog dialog_;
    Win32System system_;
    TExecuteAbleList store_{&dialog_, &system_};
};

class RegistryKey {
public:
    explicit RegistryKey(const std::wstring& path) : path_(path) {
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr);
    }
    ~RegistryKey() {
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    void Set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    void SetText(const wchar_t* name, DWORD type, const std::wstring& text) {
        Set(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

TEST_F(Win32Actions, RegistryQueryReadsTheRealRegistry) {
    const std::wstring path = L"Software\\NavoraTest\\" + std::to_wstring(GetCurrentProcessId());
    RegistryKey key(path);
    key.SetText(L"sz", REG_SZ, L"Navora 1.0 ");
    key.SetText(L"exp", REG_EXPAND_SZ, L"%TEMP%\\x");
    key.SetText(L"", REG_SZ, L"default");
    key.SetText(L"multi", REG_MULTI_SZ, std::wstring(L"one\0two\0", 8));
    key.SetText(L"long", REG_SZ, std::wstring(300, L'x'));
    const BYTE binary[] = {0x0A, 0xFF};
    key.Set(L"bin", REG_BINARY, binary, 2);
    const DWORD minusOne = 0xFFFFFFFF;
    key.Set(L"dw", REG_DWORD, &minusOne, 4);
    const struct {
        const wchar_t *hkey, *wert, *value, *type;
        bool holds;
    } cases[] = {
        {L"HKEY_CURRENT_USER", L"sz", L"Navora 1.0", L"REG_SZ", true},
        // The reader trims attribute values, so the configured value never keeps a trailing space.
        {L"HKEY_CURRENT_USER", L"sz", L"Navora 1.0 ", L"REG_SZ", true},
        {L"HKEY_CURRENT_USER", L"exp", L"%TEMP%\\x", L"REG_SZ", false},
        {L"HKEY_CURRENT_USER", L"exp", L"%TEMP%\\x", L"REG_EXPAND_SZ", true},
        {L"HKEY_CURRENT_USER", L"", L"default", L"REG_SZ", true},
        {L"HKEY_CURRENT_USER", L"multi", L"one", L"REG_MULTI_SZ", true},
        {L"HKEY_CURRENT_USER", L"long", std::wstring(300, L'x').c_str(), L"REG_SZ", false},
        {L"HKEY_CURRENT_USER", L"bin", L"0aff", L"REG_BINARY", true},
        {L"HKEY_CURRENT_USER", L"bin", L"0AFF", L"REG_BINARY", false},
        {L"HKEY_CURRENT_USER", L"dw", L"-1", L"REG_DWORD", true},
        {L"HKEY_CURRENT_USER", L"dw", L" -1x", L"REG_DWORD", true},
        {L"HKEY_CURRENT_USER", L"dw", L"4294967295", L"REG_DWORD", false},
        {L"HKEY_CURRENT_USER", L"missing", L"", L"REG_SZ", false},
        {L"hkey_current_user", L"sz", L"Navora 1.0", L"REG_SZ", false},
    };
    for (const auto& c : cases) {
        const std::wstring query =
            std::wstring(L"<Query type=\"registry\"><RegistryQueryConfig hkey=\"") + c.hkey +
            L"\" key=\"" + path + L"\" wert=\"" + c.wert + L"\" value=\"" + c.value +
            L"\" type=\"" + c.type + L"\"/></Query>";
        EXPECT_EQ(Holds(query), c.holds) << EncodeUtf8(c.wert) << " " << EncodeUtf8(c.type);
    }
    EXPECT_FALSE(
        Holds(L"<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_CURRENT_USER\" "
              L"key=\"Software\\NavoraTest\\none\" wert=\"sz\" type=\"REG_SZ\"/></Query>"));
    EXPECT_FALSE(system_.IsWow64()); // a 64-bit process reads its own view
}

TEST_F(Win32Actions, FileQueryFindsFilesAndDirectoriesWithWildcards) {
    std::ofstream(temp_ / "setup.txt") << "x";
    fs::create_directories(temp_ / "Data");
    const std::wstring dir = temp_.wstring();
    const struct {
        std::wstring path;
        bool holds;
    } cases[] = {{dir + L"\\*.txt", true},   {dir + L"\\SETUP.TXT", true},
                 {dir + L"\\s?tup.*", true}, {dir + L"\\*.doc", false},
                 {dir + L"\\data", true},    {dir + L"\\missing", false},
                 {dir + L"\\Data\\*", true}, {L"", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(
            Holds(L"<Query type=\"file\"><FileQueryConfig path=\"" + c.path + L"\"/></Query>"),
            c.holds)
            << EncodeUtf8(c.path);
    }
}

// The version comes from Wine's own setting for the probe program, so each branch is reached.
TEST_F(Win32Actions, VersionQueryUsesTheVersionTheSystemReports) {
    const std::wstring appKey = L"Software\\Wine\\AppDefaults\\version_probe.exe";
    const struct {
        const wchar_t* setting;
        const char* reported;
        int atLeast61, exactly100;
    } cases[] = {{L"winxp", "5.1", 0, 0}, {L"win7", "6.1", 1, 0}, {L"win10", "10.0", 1, 1}};
    for (const auto& c : cases) {
        RegistryKey key(appKey);
        key.SetText(L"Version", REG_SZ, c.setting);
        for (const auto& [args, expected] :
             {std::pair{"1 6 1", c.atLeast61}, std::pair{"0 10 0", c.exactly100}}) {
            const fs::path out = temp_ / "version.txt";
            // cmd strips the outermost quotes: the whole line gets one more pair.
            const std::string command = "\"\"" + (TestDirectory() / "version_probe.exe").string() +
                                        "\" " + args + " > \"" + out.string() + "\"\"";
            EXPECT_EQ(std::system(command.c_str()), expected)
                << EncodeUtf8(c.setting) << " " << args;
            std::ifstream in(out);
            std::string reported;
            in >> reported;
            EXPECT_EQ(reported, c.reported);
        }
    }
}

TEST_F(Win32Actions, ExecStartsTheProgramWithParametersAndShowMode) {
    const fs::path probe = TestDirectory() / "launch_probe.exe";
    const fs::path maximized = temp_ / "maximized.txt";
    EXPECT_TRUE(Run(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"" + probe.wstring() +
                    L"\" parameter=\"\\\"" + maximized.wstring() +
                    L"\\\" alpha beta\" maximized=\"true\"/></Command></B>"));
    const std::string record = Record(maximized);
    EXPECT_NE(record.find("show=3\n"), std::string::npos) << record;
    EXPECT_NE(record.find("alpha beta"), std::string::npos) << record;
    // No working directory is handed over: the program inherits the menu's.
    EXPECT_NE(record.find("cwd=" + fs::current_path().string() + "\n"), std::string::npos)
        << record;

    // makeabsolute: a path relative to the menu program's own directory.
    const fs::path normal = temp_ / "normal.txt";
    EXPECT_TRUE(Run(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"launch_probe.exe\" "
                    L"makeabsolute=\"true\" parameter=\"" +
                    normal.wstring() + L"\"/></Command></B>"));
    EXPECT_NE(Record(normal).find("show=1\n"), std::string::npos);
}

// Wine cannot elevate: "runas" starts the program as an ordinary launch does, in the current
// folder either way. What can be checked is what the shell is given: the menu's window as owner
// of its boxes and of the consent prompt, and for the elevated launch the current folder named,
// since Windows would not hand it on to an elevated program.
TEST(ShellLaunch, ElevatedStartsWhereThePlainLaunchStarts) {
    const HWND owner = reinterpret_cast<HWND>(0x1234);
    for (const bool elevate : {false, true}) {
        wchar_t folder[MAX_PATH];
        const SHELLEXECUTEINFOW info =
            ShellLaunchInfo(L"a.exe", L"-x", {true, elevate, false}, owner, folder);
        EXPECT_EQ(info.hwnd, owner);
        EXPECT_STREQ(info.lpVerb, elevate ? L"runas" : nullptr);
        // Without a folder the program inherits the menu's current one.
        ASSERT_EQ(info.lpDirectory != nullptr, elevate);
        EXPECT_EQ(elevate ? fs::path(info.lpDirectory) : fs::current_path(), fs::current_path());
    }
}

// Closes the boxes the system shows on this process's behalf (the shell reports
// a failed launch itself when it has a display) until `done` is set.
void CloseSystemBoxes(const std::atomic<bool>& done) {
    while (!done) {
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(box, &pid);
            if (pid == GetCurrentProcessId()) {
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
        Sleep(50);
    }
}

TEST_F(Win32Actions, FailedLaunchEndsTheChainWithFailure) {
    std::atomic<bool> done = false;
    std::thread closer(CloseSystemBoxes, std::cref(done));
    const bool ran = Run(L"<B><Command type=\"exec\"><ExecCommandConfig path=\"" + temp_.wstring() +
                         L"\\no-such-program.exe\"/><Command type=\"beenden\"/></Command></B>");
    done = true;
    closer.join();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(dialog_.events.empty());
}

TEST_F(Win32Actions, LernprogStartsTheTutorialLauncherByName) {
    fs::copy_file(TestDirectory() / "launch_probe.exe", temp_ / "TUTORRUN.exe");
    const fs::path before = fs::current_path();
    fs::current_path(temp_);
    const fs::path marker = temp_ / "tutor.txt";
    const bool ran = Run(L"<B><Command type=\"lernprog\"><LernprogCommandConfig parameter=\"" +
                         marker.wstring() + L" kurs1\"/></Command></B>");
    const std::string record = Record(marker);
    fs::current_path(before);
    EXPECT_TRUE(ran);
    EXPECT_NE(record.find("show=1\n"), std::string::npos) << record;
    EXPECT_NE(record.find("kurs1"), std::string::npos) << record;
}

} // namespace
