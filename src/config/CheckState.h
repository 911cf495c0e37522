// A check box's state goes into the configuration file itself: the attribute "currentval" of
// its element becomes "true" or "false". The file is replaced in one step, or left exactly as
// it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One check box's state to record holds its id and whether it is ticked.
struct CheckStateWrite {
    std::wstring id;
    bool checked;
};

// Returns the file's new bytes with the states written in, or none when the file is
// to be left as it is. Each state goes into the "currentval" of the first
// element whose id reads as the box's id and that holds one (after the id in
// its own start tag, or in its children), written exactly "currentval", then
// "=" and a double-quoted value; a box without an id writes into the file's
// only "currentval". None when the menu cannot read the file, the root's own
// end tag is missing, or no state finds its place. Besides the values, as the
// menu has always done: bytes before the first "<" and after the root's end
// tag are dropped, and line breaks are written as CR LF. The result is read
// back: unless it reads exactly as before but for the written values, none.
std::optional<std::string> RewriteCheckStates(std::string_view fileBytes,
                                              const std::vector<CheckStateWrite>& states);
std::optional<std::string> RewriteCheckState(std::string_view fileBytes, std::wstring_view id,
                                             bool checked);
// Does the same rewrite without reading its result back, for the fuzz target that checks it
// reads as planned for every input.
std::optional<std::string> PlanCheckStates(std::string_view fileBytes,
                                           const std::vector<CheckStateWrite>& states);

// Names the temporary file: beside the configuration, "___" before its
// ".xml" (D:\menu.xml gives D:\menu___.xml), followed by an unpredictable
// suffix when it is created; none without ".xml".
std::optional<std::wstring> TemporaryConfigPath(std::wstring_view configPath);

// The configuration's bytes and last write time, as read, tell whether another program wrote
// it since.
struct FileSnapshot {
    std::string bytes;
    std::uint64_t writeTime = 0;
};

// The rewrite takes these file steps; each can fail, and each failure leaves the
// configuration file as it was.
class CheckStateFiles {
public:
    // Opens for reading and writing (fails for a read-only file or medium, and for a
    // file reached through a link or with more than one name), reads all, closes.
    virtual bool ReadForUpdate(const std::wstring& path, FileSnapshot& file) = 0;
    // Opens the file so that other programs may read it but neither write it nor put another
    // file in its place until Replace or Abandon, and reads it all.
    virtual bool HoldForReplace(const std::wstring& path, FileSnapshot& file) = 0;
    // Creates a new file named `path` followed by an unpredictable suffix, which is added
    // to `path`, never opening an existing file or link.
    virtual bool CreateTemporary(std::wstring& path) = 0;
    virtual bool Write(std::string_view bytes) = 0;
    // Flushes and closes the temporary file.
    virtual bool Flush() = 0;
    // Closes the temporary file and lets go of the held configuration after a failure.
    virtual void Abandon() = 0;
    // Replaces the held target by temporary in one step, the target keeping its attributes,
    // and lets go of it.
    virtual bool Replace(const std::wstring& temporary, const std::wstring& target) = 0;
    virtual void Remove(const std::wstring& path) = 0;

protected:
    ~CheckStateFiles() = default;
};

// A rewrite starts again this often when another program wrote the file meanwhile, then it
// leaves the file to that program.
inline constexpr int kRewriteAttempts = 3;

// Works out a configuration file's new bytes from the bytes it holds.
class ConfigRewrite {
public:
    // None leaves the file as it is.
    virtual std::optional<std::string> NewBytes(std::string_view current) = 0;

protected:
    ~ConfigRewrite() = default;
};

// Replaces the configuration file's bytes by what `rewrite` makes of them: through a new
// temporary file beside it, which replaces it in one step, and only while the file still
// holds what was read; a change by another program meanwhile starts again from the new
// bytes. Returns whether the file holds the new bytes (also when they were its bytes
// already); when not, it keeps its old bytes and no temporary file is left.
bool RewriteConfigFile(const std::wstring& configPath, ConfigRewrite& rewrite,
                       CheckStateFiles& files);

// Writes the state; reports nothing. On any failure the configuration file
// keeps its old bytes and no temporary file is left. The file is replaced only
// while it still holds what was read; a change by another program meanwhile
// starts the rewrite again from the new bytes.
void WriteCheckState(const std::wstring& configPath, const std::wstring& id, bool checked,
                     CheckStateFiles& files);

// Records several states in one rewrite; the resulting bytes are those that
// WriteCheckState for each, in order, would leave.
void WriteCheckStates(const std::wstring& configPath, const std::vector<CheckStateWrite>& states,
                      CheckStateFiles& files);
