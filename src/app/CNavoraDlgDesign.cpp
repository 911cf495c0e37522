#include "app/CNavoraDlgDesign.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/DesignWindows.h"

CNavoraDlgDesign::CNavoraDlgDesign(DesignSession& session, SetUpSink& sink)
    : CNavoraDlg(session.viewPath, sink), session_(session), store_(session.path) {}

void CNavoraDlgDesign::StartDesign() {
    SetWindowTextW(Handle(), (TextOf(Handle()) + L" \u2014 Design").c_str());
    if (session_.windowPlace) {
        SetWindowPos(Handle(), nullptr, session_.windowPlace->x, session_.windowPlace->y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    }
    status_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"",
                              WS_POPUP | WS_BORDER | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0, 0,
                              Handle(), nullptr, nullptr, nullptr);
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    PlaceStatus();
    ShowWindow(status_, SW_SHOWNOACTIVATE);
    started_ = true;
    RECT client;
    GetClientRect(Handle(), &client);
    const DesignPoint area = FilePoint({client.right, client.bottom});
    session_.model.SetArea(area.x, area.y);
    const std::wstring status = session_.status;
    const int page = session_.model.Page();
    ShowPage(std::clamp(page, 0, std::max(0, PageCount() - 1)));
    Show({});
    SetStatus(status.empty() ? L"Click a control to select it; drag to move, its corner to resize"
                             : status);
    StartWatch();
    if (session_.propertiesOpen) {
        OpenProperties();
    }
}

void CNavoraDlgDesign::SetStatus(const std::wstring& text) {
    session_.status = text;
    if (status_ != nullptr) {
        const std::wstring count = findingCount_ == 0
                                       ? L""
                                       : L"  |  " + std::to_wstring(findingCount_) +
                                             (findingCount_ == 1 ? L" finding" : L" findings") +
                                             L" of the checker on this page";
        SetWindowTextW(status_, (text + count).c_str());
    }
}

std::vector<TButton*> CNavoraDlgDesign::ShownControls() const {
    std::vector<TButton*> controls;
    if (QuitButton() != nullptr) {
        controls.push_back(QuitButton());
    }
    for (TButton* control : PageControls(CurrentPage())) {
        controls.push_back(control);
    }
    return controls;
}

TButton* CNavoraDlgDesign::ControlAt(POINT point) const {
    // The shown controls, the one drawn on top first. The controls do not clip each other, and
    // overlapping siblings are painted from the top of the stacking order down: the lowest
    // (the last made) is drawn last, over the others.
    const std::vector<TButton*> shown = ShownControls();
    std::vector<TButton*> stacked;
    std::vector<DesignRect> rects;
    const HWND first = GetWindow(Handle(), GW_CHILD);
    for (HWND child = first != nullptr ? GetWindow(first, GW_HWNDLAST) : nullptr; child != nullptr;
         child = GetWindow(child, GW_HWNDPREV)) {
        const auto control = std::find_if(shown.begin(), shown.end(),
                                          [&](const TButton* c) { return c->Handle() == child; });
        if (control != shown.end() && IsWindowVisible(child)) {
            stacked.push_back(*control);
            rects.push_back(ToDesign(RectOf(*control)));
        }
    }
    const std::optional<std::size_t> top = TopmostAt(rects, {point.x, point.y});
    return top ? stacked[*top] : nullptr;
}

std::optional<ControlRef> CNavoraDlgDesign::RefOf(const TButton* control) const {
    if (control == nullptr) {
        return std::nullopt;
    }
    if (control == QuitButton()) {
        return ControlRef{-1, 0};
    }
    const std::vector<TButton*> page = PageControls(control->GetPage());
    const auto at = std::find(page.begin(), page.end(), control);
    return ControlRef{control->GetPage(), static_cast<std::size_t>(at - page.begin())};
}

TButton* CNavoraDlgDesign::ControlOf(const ControlRef& ref) const {
    if (ref.page < 0) {
        return QuitButton();
    }
    const std::vector<TButton*> page = PageControls(ref.page);
    return ref.index < page.size() ? page[ref.index] : nullptr;
}

TButton* CNavoraDlgDesign::Selected() const {
    const std::vector<ControlRef>& selection = session_.model.Selection();
    return selection.empty() ? nullptr : ControlOf(selection.front());
}

void CNavoraDlgDesign::ShowPage(int page) {
    CancelDrag();
    if (page != session_.model.Page()) {
        session_.model.ShowPage(page);
    }
    ShowPageForProof(page);
    Show({});
    SetStatus(L"Page " + std::to_wstring(page + 1) + L" of " +
              std::to_wstring(std::max(1, PageCount())));
    CheckPage();
}

bool CNavoraDlgDesign::PreTranslateMessage(MSG& message) {
    if (!started_) {
        return CNavoraDlg::PreTranslateMessage(message);
    }
    if (message.hwnd == Handle() &&
        ((message.message == WM_TIMER && message.wParam == kWatchTimer) ||
         message.message == kFileChanged)) {
        WatchFile();
        return true;
    }
    if (properties_ && properties_->Owns(message.hwnd)) {
        return properties_->PreTranslate(message); // never the menu's keys
    }
    if (edit_ != nullptr && message.hwnd == edit_) {
        if (message.message == WM_KEYDOWN &&
            (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
            CloseCaptionEdit(message.wParam == VK_RETURN);
            return true;
        }
        return false; // typing goes to the edit box
    }
    // Mouse and keys on the menu's window and its controls are the design view's: taken here,
    // before any control's own handler, so no click or key reaches a control's actions.
    const bool ours = message.hwnd == Handle() || IsChild(Handle(), message.hwnd);
    if (ours && message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) {
        if (tips_ != nullptr) {
            SendMessageW(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
        }
        ShowHover(message);
        OnMouse(message);
        return true;
    }
    // With Ctrl and Alt held a key may come as a system key: the aligning keys.
    if (ours && (message.message == WM_KEYDOWN ||
                 (message.message == WM_SYSKEYDOWN && message.wParam != VK_MENU &&
                  GetKeyState(VK_CONTROL) < 0))) {
        OnKey(message.wParam);
        return true;
    }
    if (ours && message.wParam == VK_MENU &&
        (message.message == WM_SYSKEYDOWN || message.message == WM_SYSKEYUP ||
         message.message == WM_KEYUP)) {
        // Held for dragging without snapping, and it opens no menu. Kept from the key messages:
        // the key state read with a mouse message need not say it is down.
        altDown_ = message.message == WM_SYSKEYDOWN;
        return true;
    }
    if (ours && (message.message == WM_KEYUP || message.message == WM_CHAR)) {
        return true;
    }
    return CNavoraDlg::PreTranslateMessage(message);
}

bool CNavoraDlgDesign::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_DRAWITEM: {
        const bool handled = CNavoraDlg::HandleMessage(message, wParam, lParam, result);
        DrawMarks(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return handled;
    }
    case WM_WINDOWPOSCHANGED:
        PlaceStatus();
        break;
    case WM_CAPTURECHANGED:
        CancelDrag(); // another window took the mouse: no button up will come
        break;
    case WM_ERASEBKGND: {
        const bool handled = CNavoraDlg::HandleMessage(message, wParam, lParam, result);
        DrawWindowMark(reinterpret_cast<HDC>(wParam));
        return handled;
    }
    case WM_DESTROY: {
        watch_.reset(); // no notice comes to a window that is gone
        if (properties_) {
            session_.propertiesScroll = properties_->Scrolled();
        }
        properties_.reset();
        RECT r;
        GetWindowRect(Handle(), &r);
        session_.windowPlace = POINT{r.left, r.top};
        break;
    }
    default:
        break;
    }
    return CNavoraDlg::HandleMessage(message, wParam, lParam, result);
}
