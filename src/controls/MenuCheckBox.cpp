#include "controls/MenuCheckBox.h"

#include "config/Win32CheckStateFiles.h"
#include "config/Win32RememberedChoices.h"

bool MenuCheckBox::Create(const std::wstring& caption, HWND parent, int id, ButtonHost* host) {
    const bool created = TButton::Create(caption, parent, id, host);
    if (created) {
        GetClientRect(Handle(), &m_rcClient);
    }
    ComputeBox();
    m_pFramePen.reset(CreatePen(PS_SOLID, 1, m_crBoxFrame));
    m_pCheckPen.reset(CreatePen(PS_SOLID, 2, m_crCheck));
    return created;
}

void MenuCheckBox::ComputeBox() {
    const GridRect box = CheckBoxRect(m_rcClient.bottom - m_rcClient.top, m_nCheckDim);
    m_rcBox = {box.left, box.top, box.right, box.bottom};
}

void MenuCheckBox::SetBounds(int x, int y, int width, int height, bool repaint) {
    MoveWindow(Handle(), x, y, width, height, repaint);
    GetClientRect(Handle(), &m_rcClient);
    ComputeBox();
    const GridRect r = RectAt(x, y, SatAdd(SatSub(m_rcBox.right, m_rcBox.left), m_rcClient.right),
                              SatAdd(SatSub(m_rcBox.bottom, m_rcBox.top), m_rcClient.bottom));
    m_rcInParent = {r.left, r.top, r.right, r.bottom};
}

void MenuCheckBox::WriteState() const {
    Win32CheckStateFiles files;
    WriteCheckState(m_strConfigFile, m_strCheckId, m_bChecked, files);
}

void MenuCheckBox::ExecuteChain() {
    if (IsDisabled()) {
        return;
    }
    // A check box toggles instead of running a chain, even with "Command" children.
    m_bChecked = !m_bChecked;
    if (!rememberUnder_.empty()) {
        StoreRememberedChoice(rememberUnder_, m_strCheckId, m_bChecked);
    }
    WriteState();
    InvalidateRect(Handle(), &m_rcBox, TRUE);
    // A screen reader hears of the new state.
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
}

void MenuCheckBox::ShowPressed() {
    if (IsDisabled() || (m_bPressed && m_nPressOffset != 0)) {
        return;
    }
    m_bPressed = true;
    m_nPressOffset = 1;
    InvalidateRect(Parent(), &m_rcInParent, TRUE);
}

void MenuCheckBox::DrawItem(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    PrepareColors(dc);
    m_nIconTop = (m_rcClient.bottom - m_rcClient.top - m_nIconHeight) / 2;
    DrawIcon(dc);
    const GridRect box = ToGrid(m_rcBox);
    const int s = box.bottom - box.top;
    const GridRect text = CheckTextRect(ToGrid(m_rcClient), s);
    DrawCaption(dc, {text.left, text.top, text.right, text.bottom});
    {
        const SelectGuard pen(dc, m_pFramePen.get());
        const UniqueBrush fill(CreateSolidBrush(m_crBoxFill));
        FillRect(dc, &m_rcBox, fill.get());
        DrawPolyline(dc, CheckBoxFrame(box).data(), 5);
    }
    if (m_bChecked) {
        const SelectGuard pen(dc, m_pCheckPen.get());
        DrawPolyline(dc, CheckMark(box).data(), 3);
    }
    if (m_bFocus) {
        const GridRect f = CheckFocusRect(text, s);
        const RECT focus{f.left, f.top, f.right, f.bottom};
        DrawFocusRect(dc, &focus);
    }
    RedrawTooltip();
}
