// Writing a check box's state into the configuration file itself: the
// attribute "currentval" of the check box's element becomes "true" or "false".
// The file is replaced in one step, or left exactly as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The file's new bytes with the state written in, or none when the file is to
// be left as it is ("</config>" missing, no element with that id, no
// "currentval" within it, an empty id). Besides the value, as the menu has
// always done: bytes before the first "<" and after "</config>" are dropped,
// and line breaks are written as CR LF.
std::optional<std::string> RewriteCheckState(std::string_view fileBytes, std::wstring_view id,
                                             bool checked);

// The temporary file beside the configuration: "___" before its ".xml"
// (D:\menu.xml gives D:\menu___.xml); none without ".xml".
std::optional<std::wstring> TemporaryConfigPath(std::wstring_view configPath);

// The file steps of the rewrite; each can fail, and each failure leaves the
// configuration file as it was.
class CheckStateFiles {
public:
    // Opens for reading and writing (fails for a read-only file or medium), reads all, closes.
    virtual bool ReadForUpdate(const std::wstring& path, std::string& bytes) = 0;
    virtual bool CreateTemporary(const std::wstring& path) = 0;
    virtual bool Write(std::string_view bytes) = 0;
    // Flushes and closes the temporary file.
    virtual bool Flush() = 0;
    virtual void Abandon() = 0; // closes the temporary file after a failure
    // Replaces target by temporary in one step.
    virtual bool Replace(const std::wstring& temporary, const std::wstring& target) = 0;
    virtual void Remove(const std::wstring& path) = 0;

protected:
    ~CheckStateFiles() = default;
};

// Writes the state; reports nothing. On any failure the configuration file
// keeps its old bytes and no temporary file is left.
void WriteCheckState(const std::wstring& configPath, const std::wstring& id, bool checked,
                     CheckStateFiles& files);

// One check box's state to record: its id and whether it is ticked.
struct CheckStateWrite {
    std::wstring id;
    bool checked;
};

// Records several states in one rewrite; the resulting bytes are those that
// WriteCheckState for each, in order, would leave.
void WriteCheckStates(const std::wstring& configPath, const std::vector<CheckStateWrite>& states,
                      CheckStateFiles& files);
