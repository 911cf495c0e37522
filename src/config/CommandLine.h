// The menu's command line says where its configuration file is found.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ConfigPath {
    std::wstring dir;  // ends in a backslash; empty means the default path is used
    std::wstring file; // file name within dir

    bool operator==(const ConfigPath&) const = default;
};

struct CommandLineOptions {
    ConfigPath cfg;
    std::optional<bool> setChk; // the check box preset of -setchk, if given

    bool operator==(const CommandLineOptions&) const = default;
};

// Reads "-setchk VALUE" and "-cfg PATH" from the whole command line. Options are
// found by plain substring search; a path runs to the last ".xml" on the line.
CommandLineOptions ParseOptions(std::wstring_view cmdLine);

// Splits at the last backslash: the directory keeps it, the file is the rest.
ConfigPath SplitAtLastBackslash(std::wstring_view path);

// Returns the program's own path, lower-cased, with every ".exe" replaced by ".xml".
ConfigPath DefaultConfigPath(std::wstring_view modulePath);

// Returns the configured path, or the default one when no directory was given.
ConfigPath EffectiveConfigPath(const CommandLineOptions& options, std::wstring_view modulePath);

// Returns the language variants of a configuration's file name to look for beside it, the most
// specific first: for "navora.xml" and the tag "de-AT", "navora.de-AT.xml", "navora.de.xml".
// None for an empty tag or a name that does not end in ".xml".
std::vector<std::wstring> LanguageVariants(std::wstring_view file, std::wstring_view tag);
