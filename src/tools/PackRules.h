// navora-pack's rules: which files a configuration brings onto the medium, what autorun.inf
// and the volume label say, and what the packer warns about. The driver copies and writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/Checker.h"

class xmlElement;

enum class ReferenceKind {
    Picture,   // a window's or control's picture
    Icon,      // the window's or a control's icon
    Program,   // a program or document a chain starts
    FileQuery, // a file or folder a "file" query looks for
};

// One file a configuration names, as written.
struct MenuReference {
    std::wstring path;
    ReferenceKind kind;
    bool inMenuFolder = false; // makeabsolute: taken from the menu's folder
};

// Every file the menu reads or starts, read with the menu's own settings readers: the window's
// pictures, then each control's (the quit button first) and every step of its chain.
std::vector<MenuReference> MenuReferences(const xmlElement& root);

enum class Placement {
    Medium,    // relative to the configuration's folder: it goes onto the medium
    Elsewhere, // an absolute path, a URL or another variable: on the user's computer
    Outside,   // climbs out of the configuration's folder: it cannot lie on the medium
};

// Where a reference lies; for the medium, `relative` is its path from the configuration's
// folder, parts joined by backslashes. The menu lies in the medium's root, so in a chain's paths
// "%MENUDIR%\" and "%MENUDRIVE%\" both name that folder.
Placement PlaceOf(const MenuReference& reference, std::wstring& relative);

struct PackPlan {
    std::vector<std::wstring> copies;    // paths from the folder, wildcards kept, each once
    std::vector<std::wstring> missing;   // named but not found
    std::vector<std::wstring> outside;   // named outside the configuration's folder
    std::vector<std::wstring> unsigned_; // programs without an Authenticode signature
};

// Decides what goes onto the medium, looking files up through the checker's lookup. A bare
// program name that is not beside the menu counts as the system's (notepad.exe), not missing.
PackPlan PlanMedium(const std::vector<MenuReference>& references, FileLookup& files);

// What a PE header says; none for a file that is not a Windows program.
struct ProgramHeader {
    std::uint16_t machine;   // 0x14c: x86
    bool signedAuthenticode; // the security directory holds a signature
};
std::optional<ProgramHeader> ReadProgramHeader(std::string_view head);
inline constexpr std::size_t kProgramHeadBytes = 4096;

// "menu.xml" gives "menu.exe", the name under which the menu reads that file beside it; none
// for a name the menu cannot read as its own.
std::optional<std::wstring> ProgramNameFor(std::wstring_view configName);
// A language variant of a configuration lies beside it as "<name>.<language>.xml".
bool IsLanguageVariant(std::wstring_view configName, std::wstring_view fileName);

// Joliet keeps names of up to 64 UTF-16 characters: whether every part of the path fits.
bool FitsJoliet(std::wstring_view relativePath);

// autorun.inf in UTF-16 LE with a byte-order mark, which Windows reads whatever its code page.
// Without an icon on the medium the program's own stands for the medium.
std::string AutorunInf(std::wstring_view program, std::wstring_view icon, std::wstring_view label);
// The ISO 9660 volume label: UTF-8 without control characters, cut to 32 bytes at a whole
// character.
std::string VolumeLabel(std::wstring_view label);

// One argument as the Windows C runtime splits a command line, quoted where it must be.
std::wstring QuotedArgument(std::wstring_view argument);
