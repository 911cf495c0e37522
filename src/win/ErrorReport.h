// The error boundary of every window procedure: no C++ exception crosses a
// Windows callback; errors are reported the way the user expects of the program.
#pragma once

#include <windows.h>

#include <string>

// The text the generic report shows for the exception being handled: exhausted memory
// as "Nicht genügend Speicher.", every other error (unreadable text, an index the
// library refused) as the system's own text for E_INVALIDARG: never a library's
// English words.
std::wstring CurrentExceptionText();

// Reports the exception being handled with `text` in a message box owned by `owner`:
// exhausted memory with an exclamation mark, every other error with a stop icon.
void ReportCurrentException(HWND owner, const std::wstring& text);
// The same with CurrentExceptionText().
void ReportCurrentException(HWND owner);

// The system's text for an HRESULT or a Windows error code, in the system's language.
std::wstring SystemMessage(DWORD code);

// The program's name as the caption of such reports: its file name without extension.
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
