// The dialog's parts that only the tools use, in an object of their own: the menu links
// every function of an object it uses, so these stay out of navora.exe.
#include "app/CNavoraDlg.h"

#include "tooltips/TTEdit.h"

CNavoraDlg::CNavoraDlg(const std::wstring& configPath, SetUpSink& sink)
    : Dialog(kMainDialogTemplate), sink_(&sink) {
    const std::size_t slash = configPath.find_last_of(L"\\/");
    m_strCfgDir = configPath.substr(0, slash + 1);
    m_strCfgFile = configPath.substr(slash + 1);
    LoadConfig();
}

std::vector<TButton*> CNavoraDlg::PageControls(int page) const {
    std::vector<TButton*> controls;
    for (const auto& control : m_aButtons) {
        if (control->GetPage() == page) {
            controls.push_back(control.get());
        }
    }
    return controls;
}

void CNavoraDlg::ShowPageForProof(int page) {
    m_nCurPage = page;
    ShowCurrentPage();
}

void CNavoraDlg::HoverForProof(TButton* control) {
    const RECT r = control->GetRectInParent();
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(Handle(), &centre);
    m_pToolTipp->AssumeCursor(centre);
    ResetOtherControls(control);
    control->EnterHover();
    m_pToolTipp->Settle();
}

void CNavoraDlg::EndHoverForProof() {
    ResetOtherControls(nullptr);
    m_pToolTipp->Settle();
}

void CNavoraDlg::PrintClient(HDC dc) const {
    PaintBackground(dc);
    // The controls come first, then the tooltip windows, which the menu paints over them.
    std::vector<HWND> controls;
    std::vector<HWND> tips;
    for (HWND child = GetWindow(Handle(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0) {
            (GetDlgCtrlID(child) == kTipWindowId ? tips : controls).push_back(child);
        }
    }
    // The controls do not clip each other: the menu paints them from the top of the stacking
    // order down, so the last made is drawn last, over the others. The proof does the same.
    for (const auto* windows : {&controls, &tips}) {
        for (const HWND child : *windows) {
            PrintChild(child, dc);
        }
    }
}

void CNavoraDlg::PrintChild(HWND child, HDC dc) const {
    RECT frame;
    GetWindowRect(child, &frame);
    MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&frame), 2);
    POINT origin{0, 0};
    ClientToScreen(child, &origin);
    ScreenToClient(Handle(), &origin);
    RECT client;
    GetClientRect(child, &client);
    const int saved = SaveDC(dc);
    if ((GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
        DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
    }
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    // The window erases and paints itself as on screen; an owner-drawn control draws on the
    // WM_DRAWITEM its button class would send, with the control's font.
    SendMessageW(child, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (Control::FromHandle(child) != nullptr) {
        if (const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))) {
            SelectObject(dc, font);
        }
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(child));
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = child;
        item.hDC = dc;
        item.rcItem = client;
        SendMessageW(Handle(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    } else {
        SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
    RestoreDC(dc, saved);
}
