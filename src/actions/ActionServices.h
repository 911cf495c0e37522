// The actions need the menu window and the system from outside. The core declares both; the
// dialog and the Win32 system class implement them, and tests give fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/Vocabulary.h"

// Message box styles and answers carry the platform's values.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr int kIdYes = 6;

class IMenuDialog {
public:
    // Shows a modal box owned by the dialog and returns the button pressed.
    virtual int ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                               unsigned style) = 0;
    // The dialog's OK path: it ends once the current message has been handled.
    virtual void EndWithOk() = 0;
    virtual void Minimize() = 0;
    virtual int CurrentPage() const = 0;
    virtual void SetCurrentPage(int page) = 0;
    virtual int PageCount() const = 0;
    // Whether the user has closed the window (close box, Alt+F4, the taskbar): no further step
    // runs. Only the running menu's window can be closed.
    virtual bool Closed() const { return false; }
    // The state of the check box with that id (the first such box); none when no box has it.
    virtual std::optional<bool> CheckState(const std::wstring& id) = 0;

protected:
    ~IMenuDialog() = default;
};

// Registry value types carry the platform's values.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

enum class RegistryHive { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

struct RegistryData {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
};

struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

// Says how "exec" starts a file beyond the classic launch.
struct LaunchOptions {
    bool maximized = false;
    bool elevate = false; // with the system's "run as administrator" verb
    bool wait = false;    // returns only once the started program has ended
};

class ISystemServices {
public:
    // Starts a file with its default verb; never waits for it. False when the launch failed.
    virtual bool StartFile(const std::wstring& file, const std::wstring& parameters,
                           bool maximized) = 0;
    // Starts a file as `how` asks. With `wait`, returns once the program has ended, with its
    // exit code; without a program to wait for (a document handed to a running viewer) at
    // once, without one. While it waits the menu's window paints but takes no input.
    virtual bool RunFile(const std::wstring& file, const std::wstring& parameters,
                         const LaunchOptions& how, std::optional<std::uint32_t>& exitCode) = 0;
    // Returns a variable of the menu's environment; none when it is not set.
    virtual std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) = 0;
    // Whether the menu runs with administrator rights: an elevated token where the system
    // has user account control.
    virtual bool IsAdministrator() = 0;
    // Whether the system is 64-bit Windows, whatever the menu's own bitness.
    virtual bool IsOs64() = 0;
    // The machine's own architecture, also for a 32-bit menu on 64-bit or ARM64 Windows.
    virtual MachineArch NativeMachine() = 0;
    // Whether any file or directory matches the path (wildcards allowed).
    virtual bool PathMatches(const std::wstring& path) = 0;
    // Returns the running system's version; 0.0 when it cannot be read.
    virtual OsVersion GetOsVersion() = 0;
    // Returns true for a 32-bit process on a 64-bit system.
    virtual bool IsWow64() = 0;
    // Returns the stored type and all bytes of a value; none when the key cannot be opened or
    // the value not read.
    virtual std::optional<RegistryData> ReadRegistryValue(RegistryHive hive,
                                                          const std::wstring& subkey,
                                                          const std::wstring& name,
                                                          bool view64) = 0;
    // Returns the full path of the program's own executable.
    virtual std::wstring ProgramPath() = 0;

protected:
    ~ISystemServices() = default;
};
