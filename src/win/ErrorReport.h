// The error boundary of every window procedure: no C++ exception crosses a
// Windows callback; errors are reported the way the user expects of the program.
#pragma once

#include <windows.h>

#include <string>

// Reports the exception being handled in a message box owned by `owner`:
// exhausted memory as "Nicht genügend Speicher.", a failed read with the
// system's text for its error code, and every other error (unreadable text, an
// index the library refused) with the system's own text for E_INVALIDARG and a
// stop icon: never a library's English words.
void ReportCurrentException(HWND owner);

// The text such a report shows for the exception being handled.
std::wstring CurrentExceptionText();

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
