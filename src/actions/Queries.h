// Queries test something and hand on to their "Positiv" or "Negativ" branch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "actions/ActionServices.h"
#include "actions/MenuVariables.h"
#include "actions/TExecuteAble.h"
#include "config/Vocabulary.h"

class QFile : public TQuery {
public:
    // Variables are put in when the query runs; with makeabsolute, the path is then joined to
    // the program's directory.
    QFile(std::wstring path, ISystemServices* system, bool makeAbsolute = false)
        : path_(std::move(path)), system_(system), makeAbsolute_(makeAbsolute) {}
    bool Check() override;
    std::wstring Path() const { return ExpandMenuPath(path_, makeAbsolute_, *system_); }

private:
    std::wstring path_;
    ISystemServices* system_;
    bool makeAbsolute_;
};

class QRegistry : public TQuery {
public:
    QRegistry(std::wstring hkey, std::wstring key, std::wstring wert, std::wstring value,
              RegistryType type, ISystemServices* system)
        : hkey_(std::move(hkey)), key_(std::move(key)), wert_(std::move(wert)),
          value_(std::move(value)), type_(type), system_(system) {}
    bool Check() override;
    std::wstring Key() const { return ExpandMenuVariables(key_, *system_); }
    const std::wstring& Value() const { return value_; }

private:
    std::wstring hkey_;
    std::wstring key_;
    std::wstring wert_;
    std::wstring value_;
    RegistryType type_;
    ISystemServices* system_;
};

class QWinVersion : public TQuery {
public:
    QWinVersion(std::int32_t checkType, std::int32_t minor, std::int32_t major,
                ISystemServices* system)
        : checkType_(checkType), minor_(minor), major_(major), system_(system) {}
    bool Check() override;

private:
    std::int32_t checkType_;
    std::int32_t minor_;
    std::int32_t major_;
    ISystemServices* system_;
};

class QYesNoBox : public TQuery {
public:
    QYesNoBox(std::wstring message, std::wstring caption, IMenuDialog* dialog)
        : message_(std::move(message)), caption_(std::move(caption)), dialog_(dialog) {}
    bool Check() override;

private:
    std::wstring message_;
    std::wstring caption_;
    IMenuDialog* dialog_;
};

// "admin" and "os64" ask the running system a fact each time.
class QSystemFact : public TQuery {
public:
    using Fact = bool (ISystemServices::*)();
    QSystemFact(Fact fact, ISystemServices* system) : fact_(fact), system_(system) {}
    bool Check() override { return (system_->*fact_)(); }

private:
    Fact fact_;
    ISystemServices* system_;
};

// "arch" tests whether the machine's own architecture is the one named.
class QArch : public TQuery {
public:
    QArch(MachineArch arch, ISystemServices* system) : arch_(arch), system_(system) {}
    bool Check() override {
        return arch_ != MachineArch::Unknown && system_->NativeMachine() == arch_;
    }

private:
    MachineArch arch_;
    ISystemServices* system_;
};

// "exitcode" tests whether the last program this walk waited for ended with the code.
class QExitCode : public TQuery {
public:
    // A code that could not be read (none) never matches.
    QExitCode(std::optional<std::uint32_t> code, const std::optional<std::uint32_t>* last)
        : code_(code), last_(last) {}
    bool Check() override { return code_.has_value() && *last_ == code_; }
    std::optional<std::uint32_t> Code() const { return code_; }

private:
    std::optional<std::uint32_t> code_;
    const std::optional<std::uint32_t>* last_;
};

// Hives match by exact name ("HKEY_CLASSES_ROOT" and three others); else HKEY_CURRENT_CONFIG.
RegistryHive HiveFromName(const std::wstring& hkey);

// Says whether the running version (os) relates to the configured one as checktype asks.
bool CompareVersion(std::int32_t checkType, OsVersion os, std::int32_t major, std::int32_t minor);
