#include "win/VisualStyles.h"

namespace {

HANDLE made = nullptr;

// The context is made on first use from the program's own resource. Message boxes and shell
// dialogs are shown from the menu's one window thread only.
HANDLE Context() {
    if (made == nullptr) {
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        request.hModule = GetModuleHandleW(nullptr);
        request.lpResourceName = MAKEINTRESOURCEW(kVisualStylesManifest);
        made = CreateActCtxW(&request);
    }
    return made;
}

} // namespace

VisualStyles::VisualStyles() {
    const HANDLE context = Context();
    active_ = context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie_);
}

VisualStyles::~VisualStyles() {
    if (active_) {
        DeactivateActCtx(0, cookie_);
    }
}

int StyledMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    const VisualStyles styles;
    return MessageBoxW(owner, text, caption, style);
}
