#include "app/CNavoraDlgDesign.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "app/DesignWindows.h"
#include "design/ViewRules.h"

namespace {

constexpr int kSnap = 4; // edges this near snap together while dragging

std::wstring Describe(HWND control, const RECT& r) {
    return L"\"" + TextOf(control) + L"\" left " + std::to_wstring(r.left) + L", top " +
           std::to_wstring(r.top) + L", width " + std::to_wstring(r.right - r.left) + L", height " +
           std::to_wstring(r.bottom - r.top);
}

} // namespace

CNavoraDlgDesign::CNavoraDlgDesign(DesignSession& session, SetUpSink& sink)
    : CNavoraDlg(session.viewPath, sink), session_(session) {}

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
    const std::optional<ControlRef> selection = session_.selection;
    const std::wstring status = session_.status;
    ShowPage(std::clamp(session_.page, 0, std::max(0, PageCount() - 1)));
    if (selection) {
        Select(ControlOf(*selection));
    }
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
    return session_.selection ? ControlOf(*session_.selection) : nullptr;
}

void CNavoraDlgDesign::Select(TButton* control) {
    if (TButton* old = Selected()) {
        InvalidateRect(old->Handle(), nullptr, TRUE);
    }
    session_.selection = RefOf(control);
    if (control != nullptr) {
        InvalidateRect(control->Handle(), nullptr, TRUE);
        SetStatus(Describe(control->Handle(), RectOf(control)));
    }
    RefreshProperties();
}

void CNavoraDlgDesign::ShowPage(int page) {
    CancelDrag();
    if (TButton* selected = Selected(); selected != nullptr && selected != QuitButton()) {
        Select(nullptr);
    }
    session_.page = page;
    ShowPageForProof(page);
    SetStatus(L"Page " + std::to_wstring(page + 1) + L" of " +
              std::to_wstring(std::max(1, PageCount())));
    CheckPage();
}

void CNavoraDlgDesign::Place(TButton* control, const RECT& r) {
    control->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top, true);
    control->SetPosition(r.left, r.top);
    InvalidateRect(control->Handle(), nullptr, TRUE);
}

RECT CNavoraDlgDesign::Snapped(RECT r, bool moving) const {
    RECT client;
    GetClientRect(Handle(), &client);
    std::vector<LONG> xs{0, client.right};
    std::vector<LONG> ys{0, client.bottom};
    for (TButton* other : ShownControls()) {
        if (other != Selected()) {
            const RECT o = RectOf(other);
            xs.insert(xs.end(), {o.left, o.right});
            ys.insert(ys.end(), {o.top, o.bottom});
        }
    }
    // The nearest target of any moving edge within reach, as a shift.
    const auto shift = [](const std::vector<LONG>& edges, const std::vector<LONG>& targets) {
        LONG best = kSnap + 1;
        for (const LONG edge : edges) {
            for (const LONG target : targets) {
                if (std::abs(target - edge) < std::abs(best)) {
                    best = target - edge;
                }
            }
        }
        return std::abs(best) <= kSnap ? best : 0;
    };
    if (moving) {
        OffsetRect(&r, shift({r.left, r.right}, xs), shift({r.top, r.bottom}, ys));
    } else {
        r.right += shift({r.right}, xs);
        r.bottom += shift({r.bottom}, ys);
    }
    return r;
}

void CNavoraDlgDesign::OnMouse(const MSG& message) {
    POINT p{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    MapWindowPoints(message.hwnd, Handle(), &p, 1);
    switch (message.message) {
    case WM_LBUTTONDOWN: {
        if (edit_ != nullptr) {
            CloseCaptionEdit(true);
        }
        CancelDrag(); // a button down without the last one's up
        TButton* hit = ControlAt(p);
        Select(hit);
        if (hit != nullptr) {
            drag_.Begin(*RefOf(hit), ToDesign(RectOf(hit)), {p.x, p.y}, kHandle);
            SetCapture(Handle());
        }
        break;
    }
    case WM_LBUTTONDBLCLK:
        CancelDrag();
        Select(ControlAt(p));
        if (altDown_) {
            OpenProperties();
        } else {
            OpenCaptionEdit();
        }
        break;
    case WM_RBUTTONUP:
        CancelDrag();
        Select(ControlAt(p));
        ContextMenu(p);
        break;
    case WM_MOUSEMOVE:
        DragTo(p);
        break;
    case WM_LBUTTONUP:
        if (drag_.Active()) {
            DragTo(p); // where the button went up, whatever moves came before
            TButton* control = ControlOf(drag_.Control());
            const RECT before = ToRect(drag_.End());
            ReleaseCapture();
            if (control != nullptr) {
                Finish(control, before);
            }
        }
        break;
    default:
        break;
    }
}

void CNavoraDlgDesign::DragTo(POINT p) {
    TButton* control = drag_.Active() ? ControlOf(drag_.Control()) : nullptr;
    if (control == nullptr) {
        return;
    }
    RECT r = ToRect(drag_.Wanted({p.x, p.y}));
    if (!altDown_) {
        r = Snapped(r, drag_.GetKind() == ControlDrag::Kind::Move);
    }
    Place(control, r);
    SetStatus(Describe(control->Handle(), r));
}

void CNavoraDlgDesign::CancelDrag() {
    if (!drag_.Active()) {
        return;
    }
    const ControlRef dragged = drag_.Control();
    const RECT back = ToRect(drag_.End());
    if (TButton* control = ControlOf(dragged)) {
        Place(control, back);
        if (control == Selected()) {
            SetStatus(Describe(control->Handle(), back));
        }
    }
    if (GetCapture() == Handle()) {
        ReleaseCapture();
    }
}

void CNavoraDlgDesign::OnKey(WPARAM key) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const int step = GetKeyState(VK_SHIFT) < 0 ? 10 : 1;
    const int pages = std::max(1, PageCount());
    if (key != VK_SHIFT && key != VK_CONTROL) {
        CancelDrag(); // a key during a drag ends it before it acts
    }
    TButton* control = Selected();
    switch (key) {
    case VK_NEXT:
        ShowPage((session_.page + 1) % pages);
        return;
    case VK_PRIOR:
        ShowPage((session_.page + pages - 1) % pages);
        return;
    case 'Z':
    case 'Y':
        if (ctrl) {
            StepBack(key == 'Z');
        }
        return;
    case VK_F2:
        OpenCaptionEdit();
        return;
    case VK_F4:
        OpenProperties();
        return;
    case VK_ESCAPE:
        Select(nullptr);
        return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        break;
    default:
        return;
    }
    if (control == nullptr) {
        return;
    }
    const int dx = key == VK_LEFT ? -step : key == VK_RIGHT ? step : 0;
    const int dy = key == VK_UP ? -step : key == VK_DOWN ? step : 0;
    const RECT before = RectOf(control);
    RECT r = before;
    if (ctrl) {
        r.right = std::max(r.left + 1, r.right + dx);
        r.bottom = std::max(r.top + 1, r.bottom + dy);
    } else {
        OffsetRect(&r, dx, dy);
    }
    Place(control, r);
    Finish(control, before);
}

void CNavoraDlgDesign::OpenCaptionEdit() {
    TButton* control = Selected();
    if (control == nullptr || edit_ != nullptr) {
        return;
    }
    const RECT r = RectOf(control);
    edit_ =
        CreateWindowExW(0, L"EDIT", CaptionShown(TextOf(control->Handle())).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, Handle(), nullptr, nullptr, nullptr);
    SendMessageW(edit_, WM_SETFONT, SendMessageW(control->Handle(), WM_GETFONT, 0, 0), FALSE);
    SetWindowPos(edit_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(edit_);
    SendMessageW(edit_, EM_SETSEL, 0, -1);
    SetStatus(L"Enter writes the caption, Escape cancels");
}

void CNavoraDlgDesign::CloseCaptionEdit(bool write) {
    const std::wstring typed = TextOf(edit_);
    DestroyWindow(edit_);
    edit_ = nullptr;
    SetFocus(Handle());
    if (write) {
        // What was typed is shown as typed; an untouched caption keeps its own "&" marks.
        const std::wstring before = TextOf(Selected()->Handle());
        FinishCaption(typed == CaptionShown(before) ? before : CaptionWritten(typed));
    } else if (TButton* control = Selected()) {
        SetStatus(Describe(control->Handle(), RectOf(control)));
    }
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
    if (ours && message.message == WM_KEYDOWN) {
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
