// The four queries.
#pragma once

#include <cstdint>
#include <string>

#include "actions/ActionServices.h"
#include "actions/TExecuteAble.h"

class QFile : public TQuery {
public:
    QFile(std::wstring path, ISystemServices* system) : path_(std::move(path)), system_(system) {}
    bool Check() override;

private:
    std::wstring path_;
    ISystemServices* system_;
};

class QRegistry : public TQuery {
public:
    QRegistry(std::wstring hkey, std::wstring key, std::wstring wert, std::wstring value,
              std::wstring type, ISystemServices* system)
        : hkey_(std::move(hkey)), key_(std::move(key)), wert_(std::move(wert)),
          value_(std::move(value)), type_(std::move(type)), system_(system) {}
    bool Check() override;

private:
    std::wstring hkey_;
    std::wstring key_;
    std::wstring wert_;
    std::wstring value_;
    std::wstring type_;
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

// "HKEY_CLASSES_ROOT" and the three others by exact name; anything else is HKEY_CURRENT_CONFIG.
RegistryHive HiveFromName(const std::wstring& hkey);

// Whether the running version (os) relates to the configured one as checktype asks.
bool CompareVersion(std::int32_t checkType, OsVersion os, std::int32_t major, std::int32_t minor);
