// navora-check on any bytes: it never fails, it calls a file unreadable exactly when
// the menu's reader refuses it, and every diagnostic stands inside the file, in
// order, as one line of UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Require.h"
#include "tools/Checker.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

// Files whose names start with "p" exist and hold the input itself.
class InputFiles : public FileLookup {
public:
    explicit InputFiles(const std::string& bytes) : bytes_(bytes) {}

    FileState Find(const std::wstring& path) override {
        return !path.empty() && path[0] == L'p' ? FileState::Present : FileState::Absent;
    }

    std::optional<std::string> Head(const std::wstring& path, std::size_t maxBytes,
                                    std::uint64_t& length) override {
        if (Find(path) != FileState::Present) {
            return std::nullopt;
        }
        length = bytes_.size();
        return bytes_.substr(0, maxBytes);
    }

private:
    const std::string& bytes_;
};

bool OneLineOfUtf8(const std::string& text) {
    return !text.empty() && text.find('\n') == std::string::npos &&
           EncodeUtf8(DecodeUtf8(text)) == text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    InputFiles files(bytes);
    const CheckResult result = CheckConfig(bytes, files);

    const std::wstring text = DecodeConfigText(bytes);
    bool menuReads = true;
    try {
        ParseXmlText(text);
    } catch (const xmlError&) {
        menuReads = false;
    }
    Require(result.readable == menuReads, "the checker and the menu disagree on readability");

    std::size_t lines = 1;
    for (const wchar_t c : text) {
        lines += c == L'\n' ? 1 : 0;
    }
    std::size_t lastLine = 0;
    std::size_t lastColumn = 0;
    for (const Diagnostic& d : result.diagnostics) {
        Require(d.line >= 1 && d.line <= lines && d.column >= 1, "a diagnostic outside the file");
        Require(d.line > lastLine || (d.line == lastLine && d.column >= lastColumn),
                "diagnostics out of order");
        lastLine = d.line;
        lastColumn = d.column;
        Require(OneLineOfUtf8(d.message) && !d.rule.empty(), "a message that is not one line");
        for (const DiagnosticNote& n : d.notes) {
            Require(n.line >= 1 && n.line <= lines && OneLineOfUtf8(n.message),
                    "a note outside the file");
        }
    }
    const CheckResult again = CheckConfig(bytes, files);
    Require(again.diagnostics.size() == result.diagnostics.size() &&
                CheckStatus(again, false) == CheckStatus(result, false),
            "two checks of the same bytes differ");
    return 0;
}
