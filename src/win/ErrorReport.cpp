#include "win/ErrorReport.h"

#include <exception>
#include <new>

#include "win/Handles.h"
#include "win/VisualStyles.h"

std::wstring SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const UniqueLocalText owned(text); // freed also when making the message throws
    wchar_t fallback[20];
    wsprintfW(fallback, L"Error 0x%08lX", code);
    // The system's texts end in a line break, which is cut off.
    std::wstring message(n != 0 ? std::wstring_view(text, n) : fallback);
    message.erase(message.find_last_not_of(L" \t\r\n") + 1);
    return message;
}

std::wstring ApplicationTitle() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring title = path;
    title = title.substr(title.find_last_of(L"\\/") + 1);
    return title.substr(0, title.rfind(L'.'));
}

std::wstring CurrentExceptionText() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return L"Nicht gen\u00fcgend Speicher.";
    } catch (...) {
        // Unreadable text, an index or argument the library refused and anything else get
        // the system's invalid-argument text, never a library's English words.
        return SystemMessage(static_cast<DWORD>(E_INVALIDARG));
    }
}

void ReportCurrentException(HWND owner, const std::wstring& text) {
    const std::wstring title = ApplicationTitle();
    UINT style = MB_OK | MB_ICONSTOP;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        style = MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL;
    } catch (...) {
        // every other error shows a stop icon
    }
    StyledMessageBox(owner, text.c_str(), title.c_str(), style);
}

void ReportCurrentException(HWND owner) {
    ReportCurrentException(owner, CurrentExceptionText());
}
