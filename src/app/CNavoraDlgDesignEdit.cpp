// The design view's input: mouse and keys become calls of the edit model, and the model is
// shown on the window after each.
#include <windowsx.h>

#include <algorithm>

#include "app/CNavoraDlgDesign.h"
#include "app/DesignWindows.h"
#include "design/ViewRules.h"

RECT CNavoraDlgDesign::ScreenRect(const DesignRect& r) const {
    const auto screen = [&](long pixels) {
        return ScaleToDpi(static_cast<std::int32_t>(pixels), Dpi());
    };
    const LONG left = screen(r.left);
    const LONG top = screen(r.top);
    return {left, top, left + screen(r.right - r.left), top + screen(r.bottom - r.top)};
}

DesignPoint CNavoraDlgDesign::FilePoint(POINT p) const {
    return {MulDiv(p.x, kFileDpi, Dpi()), MulDiv(p.y, kFileDpi, Dpi())};
}

void CNavoraDlgDesign::Show(const DesignOutcome& outcome) {
    DesignModel& model = session_.model;
    if (outcome.written) {
        session_.fileBytes = model.Bytes();
        if (!outcome.rebuilt) {
            session_.viewBytes = model.Bytes(); // a build shows them only once it succeeds
        }
    }
    if (outcome.rebuilt) {
        // The menu's own code builds the controls that came or went, as at a reload.
        session_.status = outcome.status;
        session_.newStepBuilt = outcome.newStep;
        BuildAgain(model.Bytes());
        return;
    }
    if (model.Page() != CurrentPage() && model.Page() < PageCount()) {
        ShowPageForProof(model.Page());
    }
    for (TButton* control : ShownControls()) {
        const DesignControl* c = model.Find(*RefOf(control));
        if (c == nullptr) {
            continue;
        }
        const RECT want = ScreenRect(c->rect);
        const RECT now = RectOf(control);
        if (!EqualRect(&want, &now)) {
            control->SetBounds(want.left, want.top, want.right - want.left, want.bottom - want.top,
                               true);
            control->SetPosition(want.left, want.top);
        }
        if (TextOf(control->Handle()) != c->caption) {
            SetWindowTextW(control->Handle(), c->caption.c_str());
        }
        InvalidateRect(control->Handle(), nullptr, TRUE);
    }
    const std::wstring described = model.Describe();
    if (!outcome.status.empty()) {
        SetStatus(outcome.status);
    } else if (!described.empty()) {
        SetStatus(described);
    }
    if (outcome.written) {
        CheckPage();
    }
    if (outcome.written || model.Selection() != session_.propertiesFor) {
        RefreshProperties();
    }
}

void CNavoraDlgDesign::OnMouse(const MSG& message) {
    POINT p{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    MapWindowPoints(message.hwnd, Handle(), &p, 1);
    DesignModel& model = session_.model;
    switch (message.message) {
    case WM_LBUTTONDOWN:
        if (edit_ != nullptr) {
            CloseCaptionEdit(true);
        }
        CancelDrag(); // a button down without the last one's up
        model.Press(RefOf(ControlAt(p)), FilePoint(p), (message.wParam & MK_SHIFT) != 0);
        if (model.Dragging()) {
            SetCapture(Handle());
        }
        Show({});
        break;
    case WM_LBUTTONDBLCLK:
        CancelDrag();
        model.Press(RefOf(ControlAt(p)), FilePoint(p), false);
        model.CancelDrag();
        Show({});
        if (altDown_) {
            OpenProperties();
        } else {
            OpenCaptionEdit();
        }
        break;
    case WM_RBUTTONUP:
        CancelDrag();
        model.Press(RefOf(ControlAt(p)), FilePoint(p), false);
        model.CancelDrag();
        Show({});
        ContextMenu(p);
        break;
    case WM_MOUSEMOVE:
        if (model.Dragging()) {
            model.DragTo(FilePoint(p), !altDown_);
            Show({});
        }
        break;
    case WM_LBUTTONUP:
        if (model.Dragging()) {
            // Where the button went up, whatever moves came before; the capture goes after.
            const DesignOutcome outcome = model.Release(FilePoint(p), !altDown_, store_);
            ReleaseCapture();
            Show(outcome);
        }
        break;
    default:
        break;
    }
}

void CNavoraDlgDesign::CancelDrag() {
    if (session_.model.CancelDrag()) {
        Show({});
    }
    if (GetCapture() == Handle()) {
        ReleaseCapture();
    }
}

void CNavoraDlgDesign::OnKey(WPARAM key) {
    DesignModel& model = session_.model;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    const long step = GetKeyState(VK_SHIFT) < 0 ? 10 : 1;
    const int pages = std::max(1, PageCount());
    if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU) {
        CancelDrag(); // a key during a drag ends it before it acts
    }
    switch (key) {
    case VK_NEXT:
        ShowPage((model.Page() + 1) % pages);
        return;
    case VK_PRIOR:
        ShowPage((model.Page() + pages - 1) % pages);
        return;
    case 'Z':
    case 'Y':
        if (ctrl) {
            Show(model.Step(key == 'Z', store_));
        }
        return;
    case 'D':
        if (ctrl) {
            Show(model.Duplicate(store_));
        }
        return;
    case 'W':
    case 'H':
        if (ctrl && alt) {
            Show(model.Align(key == 'W' ? AlignEdge::Width : AlignEdge::Height, store_));
        }
        return;
    case VK_INSERT:
        Show(model.AddButton(store_));
        return;
    case VK_DELETE:
        Show(model.Delete(store_));
        return;
    case VK_F2:
        OpenCaptionEdit();
        return;
    case VK_F4:
        OpenProperties();
        return;
    case VK_ESCAPE:
        model.ClearSelection();
        Show({});
        return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        break;
    default:
        return;
    }
    if (ctrl && alt) {
        const AlignEdge edge = key == VK_LEFT    ? AlignEdge::Left
                               : key == VK_RIGHT ? AlignEdge::Right
                               : key == VK_UP    ? AlignEdge::Top
                                                 : AlignEdge::Bottom;
        Show(model.Align(edge, store_));
        return;
    }
    const long dx = key == VK_LEFT ? -step : key == VK_RIGHT ? step : 0;
    const long dy = key == VK_UP ? -step : key == VK_DOWN ? step : 0;
    Show(model.Nudge(dx, dy, ctrl, store_));
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
    const std::wstring caption = TextOf(edit_);
    DestroyWindow(edit_);
    edit_ = nullptr;
    SetFocus(Handle());
    Show(write ? session_.model.SetCaption(caption, store_) : DesignOutcome{});
}
