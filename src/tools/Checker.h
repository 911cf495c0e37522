// navora-check finds every place where the menu will stop, complain, or read something other
// than what the file plainly says, with the menu's own reader and settings readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class xmlError;

enum class Severity { Error, Warning };

struct DiagnosticNote {
    std::size_t line;
    std::size_t column;
    std::string message;
};

struct Diagnostic {
    std::size_t line;   // from 1
    std::size_t column; // from 1, in characters of the line
    Severity severity;
    std::string rule;
    std::string message; // UTF-8
    std::vector<DiagnosticNote> notes;
};

enum class FileState { Present, Absent, Unknown };

// The checker learns this of the files a configuration names. Paths come as the
// file writes them; relative ones are taken from the configuration's folder.
class FileLookup {
public:
    // Says whether a file or folder matches (wildcards "*" and "?" in the last part).
    virtual FileState Find(const std::wstring& path) = 0;
    // Reads up to `maxBytes` of the file and its length; none when it cannot be read.
    virtual std::optional<std::string> Head(const std::wstring& path, std::size_t maxBytes,
                                            std::uint64_t& length) = 0;
    // A key the same for every name of one file (spellings, hard and folder links); empty
    // where it is not known, and the path's text stands for the file.
    virtual std::string Identity(const std::wstring&) { return {}; }

protected:
    ~FileLookup() = default;
};

// Gives lines and columns of offsets into the decoded text, as PositionOf counts them.
class LineIndex {
public:
    explicit LineIndex(std::wstring_view text);
    std::pair<std::size_t, std::size_t> At(std::size_t offset) const;

private:
    std::wstring_view text_;
    std::vector<std::size_t> starts_;
};

// Quotes the file's text for a one-line message in UTF-8, control characters spelt out.
std::string Shown(std::wstring_view text);
// Says whether a path is a URL ("://" or "mailto:"), which the shell opens without a file.
bool IsUrl(std::wstring_view path);

// Says whether a name matches a pattern with "*" (any run) and "?" (any one character).
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name);

struct CheckResult {
    // False when the menu cannot read the file at all; an "unreadable" diagnostic says where
    // and why.
    bool readable = true;
    std::vector<Diagnostic> diagnostics; // ordered by position
};

CheckResult CheckConfig(std::string_view bytes, FileLookup& files);

// Words a reader error in `text` as an "unreadable" error, "the menu cannot read this file: WHY",
// with the cause where the text shows it (a value's last backslash that escapes its quote).
Diagnostic UnreadableDiagnostic(std::wstring_view text, const xmlError& error);

// Words it in compiler style, "FILE:LINE:COL: error: MESSAGE [rule]", then a line per note;
// `werror` reports warnings as errors.
std::string FormatDiagnostic(const std::string& file, const Diagnostic& d, bool werror);
// Words the same as one JSON object.
std::string DiagnosticJson(const std::string& file, const Diagnostic& d, bool werror);
// Returns 0 without errors, 1 with errors, 2 when the menu cannot read the file.
int CheckStatus(const CheckResult& result, bool werror);
