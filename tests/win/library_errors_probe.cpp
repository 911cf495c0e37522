// Links the menu's own replacements of the standard library's error throws and checks
// that each library error reaches the user as a sentence in the menu's or the system's
// words: memory errors as "Nicht genügend Speicher.", the others as the system's
// invalid-argument text, a failed read as the system's text for its error code; never
// the library's English or its raw format strings. Exit status: the number of cases that
// went wrong.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/SetUpError.h"
#include "util/FileBytes.h"

namespace {

std::wstring System(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text != nullptr ? text : L"";
    LocalFree(text);
    message.erase(message.find_last_not_of(L" \r\n") + 1);
    return message;
}

template <typename Work> int Fails(const char* what, const std::wstring& expected, Work work) {
    std::wstring shown;
    try {
        work();
    } catch (...) {
        shown = SetUpErrorText();
    }
    if (shown.empty() || shown != expected) {
        std::printf("%s: \"%ls\", not \"%ls\"\n", what, shown.c_str(), expected.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main() {
    volatile std::size_t beyond = 5;
    volatile std::size_t huge = static_cast<std::size_t>(-1) / 2;
    const std::wstring invalid = System(static_cast<DWORD>(E_INVALIDARG));
    const std::wstring memory = L"Nicht gen\u00fcgend Speicher.";
    int failed = 0;
    failed += Fails("substr", invalid, [&] { (void)std::string("ab").substr(beyond); });
    failed += Fails("at", invalid, [&] { (void)std::vector<int>(2).at(beyond); });
    failed += Fails("insert", invalid, [&] { std::string("ab").insert(beyond, "x"); });
    failed += Fails("reserve", memory, [&] { std::wstring().reserve(huge); });
    failed += Fails("vector", memory, [&] { std::vector<double>().reserve(huge / 16); });
    failed += Fails("new", memory, [&] { delete[] new char[huge][64]; });
    failed += Fails("bad sector", System(ERROR_CRC), [] { throw FileReadError(ERROR_CRC); });
    return failed;
}
