#include "win/Dialog.h"

#include <cstring>
#include <vector>

#include "win/Control.h"
#include "win/ErrorReport.h"

namespace {

// The template's WS_VISIBLE is cleared: the dialog shows itself when its set-up is done, and a
// dialog ended during set-up is never seen.
std::vector<BYTE> HiddenTemplate(int templateId) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    if (found == nullptr) {
        return {};
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    std::vector<BYTE> copy(data, data + SizeofResource(module, found));
    // DLGTEMPLATEEX starts with version 1 and signature 0xFFFF; its style lies at offset 12.
    const bool extended = copy.size() >= 16 && copy[2] == 0xFF && copy[3] == 0xFF;
    DWORD style = 0;
    const std::size_t at = extended ? 12 : 0;
    std::memcpy(&style, copy.data() + at, sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(copy.data() + at, &style, sizeof style);
    return copy;
}

// A dialog procedure returns the value of these messages itself rather than through
// DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    return message == WM_INITDIALOG || message == WM_QUERYDRAGICON || message == WM_CHARTOITEM ||
           message == WM_VKEYTOITEM || message == WM_COMPAREITEM ||
           (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

} // namespace

INT_PTR Dialog::DoModal() {
    const std::vector<BYTE> dialogTemplate = HiddenTemplate(templateId_);
    if (dialogTemplate.empty()) {
        return -1;
    }
    ended_ = false;
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr,
                               Procedure, reinterpret_cast<LPARAM>(this));
    if (hwnd_ == nullptr) {
        return -1;
    }
    while (!ended_) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        const bool handled = GuardMessage(
            hwnd_, [&] { return PreTranslateMessage(message); }, false);
        if (!handled) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return result_;
}

void Dialog::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
}

bool Dialog::PreTranslateMessage(MSG&) {
    return false;
}

bool Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == WM_INITDIALOG) {
        result = OnInitDialog();
        return true;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
        } else {
            OnCancel();
        }
        result = TRUE;
        return true;
    }
    if (message == WM_DRAWITEM) {
        // The dialog reflects it to the owner-drawn control it names.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (Control* control = Control::FromHandle(item->hwndItem)) {
            control->DrawItem(*item);
            result = TRUE;
            return true;
        }
        return false;
    }
    if (message == WM_CLOSE) {
        OnCancel();
        result = TRUE;
        return true;
    }
    return false;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = 0;
    const bool handled = HandleMessage(message, wParam, lParam, result);
    if (handled && !ReturnsDirectly(message)) {
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return handled ? result : FALSE;
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    return GuardMessage(
        hwnd, [&] { return self->Dispatch(message, wParam, lParam); }, INT_PTR{FALSE});
}
