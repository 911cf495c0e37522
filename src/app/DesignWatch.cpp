#include "app/DesignWatch.h"

namespace {

constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                           FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_CREATION;

} // namespace

DesignWatch::DesignWatch(const std::wstring& path, HWND window, UINT message)
    : name_(path.substr(path.find_last_of(L"\\/") + 1)), window_(window), message_(message) {
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    folder_ = CreateFileW(
        folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (folder_ != INVALID_HANDLE_VALUE && stop_ != nullptr) {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
}

DesignWatch::~DesignWatch() {
    if (thread_ != nullptr) {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    if (stop_ != nullptr) {
        CloseHandle(stop_);
    }
    if (folder_ != INVALID_HANDLE_VALUE) {
        CloseHandle(folder_);
    }
}

DWORD WINAPI DesignWatch::Run(void* self) {
    static_cast<DesignWatch*>(self)->Watch();
    return 0;
}

void DesignWatch::Watch() {
    OVERLAPPED done{};
    done.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (done.hEvent == nullptr) {
        return;
    }
    alignas(DWORD) BYTE buffer[16 * 1024];
    for (;;) {
        ResetEvent(done.hEvent);
        if (!ReadDirectoryChangesW(folder_, buffer, sizeof buffer, FALSE, kChanges, nullptr, &done,
                                   nullptr)) {
            break;
        }
        const HANDLE events[] = {stop_, done.hEvent};
        DWORD size = 0;
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            CancelIo(folder_);
            GetOverlappedResult(folder_, &done, &size, TRUE);
            break;
        }
        if (!GetOverlappedResult(folder_, &done, &size, FALSE)) {
            break;
        }
        if (NamesFile(buffer, size) && InterlockedExchange(&posted_, 1) == 0) {
            PostMessageW(window_, message_, 0, 0);
        }
    }
    CloseHandle(done.hEvent);
}

bool DesignWatch::NamesFile(const BYTE* buffer, DWORD size) const {
    if (size == 0) {
        return true;
    }
    for (DWORD at = 0; at + sizeof(FILE_NOTIFY_INFORMATION) <= size;) {
        const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
        const int length = static_cast<int>(change->FileNameLength / sizeof(wchar_t));
        if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, change->FileName, length,
                           name_.c_str(), static_cast<int>(name_.size())) == CSTR_EQUAL) {
            return true;
        }
        if (change->NextEntryOffset == 0) {
            break;
        }
        at += change->NextEntryOffset;
    }
    return false;
}
