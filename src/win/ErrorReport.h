// Every window procedure stops C++ exceptions here, so none crosses a Windows callback, and
// reports errors the way the user expects of the program.
#pragma once

#include <windows.h>

#include <string>

// Returns the generic report's text for the exception being handled: "Nicht genügend
// Speicher." for exhausted memory, the system's own text for E_INVALIDARG for every other
// error (unreadable text, an index the library refused), never a library's English words.
std::wstring CurrentExceptionText();

// Reports the exception being handled with `text` in a message box owned by `owner`:
// exhausted memory with an exclamation mark, every other error with a stop icon.
void ReportCurrentException(HWND owner, const std::wstring& text);
// Reports it with CurrentExceptionText().
void ReportCurrentException(HWND owner);

// Returns the system's text for an HRESULT or a Windows error code, in its language.
std::wstring SystemMessage(DWORD code);

// Returns the reports' caption: the program's file name without extension.
std::wstring ApplicationTitle();

// Runs `handler`, reporting anything it throws; `fallback` is then the result.
template <typename Handler>
auto GuardMessage(HWND owner, Handler&& handler, decltype(handler()) fallback) noexcept {
    try {
        return handler();
    } catch (...) {
        ReportCurrentException(owner);
        return fallback;
    }
}
