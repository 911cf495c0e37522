#include "app/DesignProperties.h"

#include <commdlg.h>

#include <algorithm>
#include <utility>

#include "config/ValueConversions.h"

namespace {

constexpr const wchar_t* kClassName = L"NavoraDesignProperties";
constexpr int kRow = 22;
constexpr int kMargin = 8;
constexpr int kLabelWidth = 122;
constexpr int kEditWidth = 128;
constexpr int kButtonWidth = 22;
constexpr int kSourceWidth = 70;
constexpr int kColumn = kLabelWidth + kEditWidth + kButtonWidth + kSourceWidth + 3 * 4;
constexpr int kTextHeight = 96; // the findings' and the chain's boxes
constexpr int kChooseId = 1000; // the "..." buttons, 1000 + row
constexpr int kWidth = kColumn + 2 * kMargin;
constexpr int kHeight = 520; // the rest scrolls

// Which dialog helps to choose a value of the kind.
bool HasDialog(ValueKind kind) {
    return kind == ValueKind::Colour || kind == ValueKind::Picture || kind == ValueKind::Icon ||
           kind == ValueKind::Font;
}

std::wstring FieldText(HWND edit) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

DesignProperties::DesignProperties(HWND owner, std::wstring folder, Writer write)
    : folder_(std::move(folder)), write_(std::move(write)) {
    RegisterClassOnce(kClassName, IDC_ARROW);
    RECT frame{0, 0, kWidth + GetSystemMetrics(SM_CXVSCROLL), kHeight};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VSCROLL;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
    Create(kClassName, style, WS_EX_TOOLWINDOW,
           {0, 0, frame.right - frame.left, frame.bottom - frame.top}, owner, 0);
    SetWindowTextW(Handle(), L"Properties");
}

HWND DesignProperties::Add(const wchar_t* className, const std::wstring& text, DWORD style, int x,
                           int y, int width, int height, int id) {
    const HWND child = CreateWindowExW(
        0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    children_.push_back(child);
    return child;
}

void DesignProperties::Show(const std::wstring& title, std::vector<Property> properties,
                            const std::wstring& findings, const std::wstring& chain, int scroll) {
    for (const HWND child : children_) {
        DestroyWindow(child);
    }
    children_.clear();
    rows_.clear();
    scroll_ = 0;
    SetWindowTextW(Handle(), (L"Properties" + (title.empty() ? L"" : L" \u2014 " + title)).c_str());
    const int x = kMargin;
    int y = kMargin;
    std::wstring_view part = L"-"; // no part yet
    for (Property& property : properties) {
        if (property.part != part) {
            part = property.part;
            Add(L"STATIC", part.empty() ? L"The control's own element" : std::wstring(part),
                SS_LEFT | SS_NOPREFIX, x, y + 4, kColumn, kRow - 4);
            y += kRow;
        }
        const std::size_t row = rows_.size();
        Add(L"STATIC", std::wstring(property.name), SS_LEFT | SS_NOPREFIX, x + 12, y + 3,
            kLabelWidth - 12, kRow - 4);
        const HWND edit = Add(L"EDIT", property.value, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                              x + kLabelWidth, y, kEditWidth, kRow - 2);
        if (HasDialog(property.kind)) {
            Add(L"BUTTON", L"...", BS_PUSHBUTTON, x + kLabelWidth + kEditWidth + 4, y, kButtonWidth,
                kRow - 2, kChooseId + static_cast<int>(row));
        }
        Add(L"STATIC", SourceText(property.source), SS_LEFT | SS_NOPREFIX,
            x + kLabelWidth + kEditWidth + kButtonWidth + 8, y + 3, kSourceWidth, kRow - 4);
        rows_.push_back({std::move(property), edit});
        y += kRow;
    }
    if (rows_.empty()) {
        Add(L"STATIC", L"Nothing to list here.", SS_LEFT | SS_NOPREFIX, kMargin, kMargin, kColumn,
            kRow);
        y += kRow;
    } else if (!chain.empty()) {
        // The findings and the chain below the rows, read-only.
        for (const auto& [heading, text] :
             {std::pair{L"The checker's findings",
                        findings.empty() ? std::wstring(L"None.") : findings},
              std::pair{L"The chain, as navora-check --walk prints it", chain}}) {
            Add(L"STATIC", heading, SS_LEFT | SS_NOPREFIX, x, y + 4, kColumn, kRow - 4);
            std::wstring lines;
            for (const wchar_t c : text) {
                lines += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
            }
            Add(L"EDIT", lines,
                WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP,
                x, y + kRow, kColumn, kTextHeight);
            y += kRow + kTextHeight;
        }
    }
    content_ = y + kMargin;
    Scroll(scroll);
}

void DesignProperties::Scroll(int to) {
    RECT client;
    GetClientRect(Handle(), &client);
    to = std::clamp(to, 0, std::max(0, content_ - static_cast<int>(client.bottom)));
    // The children move themselves: a window not shown yet scrolls too.
    for (const HWND child : children_) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left, r.top + scroll_ - to, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS);
    }
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    scroll_ = to;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = content_ - 1;
    info.nPage = static_cast<UINT>(client.bottom);
    info.nPos = scroll_;
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void DesignProperties::PlaceBeside(const RECT& menu) {
    RECT own;
    GetWindowRect(Handle(), &own);
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&menu, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    LONG x = menu.right + kMargin;
    if (x + width > work.right) {
        x = std::max(work.left, menu.left - kMargin - width);
    }
    const LONG y = std::clamp(menu.top, work.top, std::max(work.top, work.bottom - height));
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool DesignProperties::Owns(HWND window) const {
    return window != nullptr && (window == Handle() || IsChild(Handle(), window));
}

bool DesignProperties::PreTranslate(MSG& message) {
    const auto row = std::find_if(rows_.begin(), rows_.end(),
                                  [&](const Row& r) { return r.edit == message.hwnd; });
    if (row != rows_.end() && message.message == WM_KEYDOWN &&
        (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
        if (message.wParam == VK_RETURN) {
            const Property property = row->property;
            write_(property, FieldText(row->edit));
        } else {
            SetWindowTextW(row->edit, row->property.value.c_str());
        }
        return true;
    }
    if (row != rows_.end() && message.message == WM_CHAR &&
        (message.wParam == L'\r' || message.wParam == 0x1B)) {
        return true; // no beep for the keys taken above
    }
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

void DesignProperties::Choose(std::size_t row) {
    const Property property = rows_[row].property;
    const std::wstring value = FieldText(rows_[row].edit);
    if (property.kind == ValueKind::Colour) {
        static COLORREF custom[16] = {};
        CHOOSECOLORW choose{};
        choose.lStructSize = sizeof choose;
        choose.hwndOwner = Handle();
        choose.rgbResult = ColorFromText(value);
        choose.lpCustColors = custom;
        choose.Flags = CC_RGBINIT | CC_FULLOPEN;
        if (ChooseColorW(&choose)) {
            write_(property, ColourText(GetRValue(choose.rgbResult), GetGValue(choose.rgbResult),
                                        GetBValue(choose.rgbResult)));
        }
    } else if (property.kind == ValueKind::Font) {
        LOGFONTW font{};
        const std::wstring face = value.substr(0, value.find(L' '));
        lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
        font.lfWeight = value.find(L"Bold") != std::wstring::npos ? FW_BOLD : FW_NORMAL;
        font.lfItalic = value.find(L"Italic") != std::wstring::npos;
        font.lfUnderline = value.find(L"Underline") != std::wstring::npos;
        CHOOSEFONTW choose{};
        choose.lStructSize = sizeof choose;
        choose.hwndOwner = Handle();
        choose.lpLogFont = &font;
        choose.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
        if (ChooseFontW(&choose)) {
            if (const std::optional<std::wstring> text = FontText(
                    font.lfFaceName, font.lfWeight >= FW_BOLD, font.lfItalic, font.lfUnderline)) {
                write_(property, *text);
            } else {
                // The menu reads a face up to its first space: such a face cannot be named.
                MessageBoxW(Handle(),
                            L"The menu reads a font's name up to its first space. Choose a font "
                            L"whose name has none.",
                            L"Properties", MB_OK | MB_ICONINFORMATION);
            }
        }
    } else {
        wchar_t path[MAX_PATH] = L"";
        OPENFILENAMEW open{};
        open.lStructSize = sizeof open;
        open.hwndOwner = Handle();
        open.lpstrFilter = property.kind == ValueKind::Icon
                               ? L"Icons (*.ico)\0*.ico\0All files\0*.*\0"
                               : L"Pictures (*.bmp;*.png;*.jpg;*.jpeg;*.gif)\0"
                                 L"*.bmp;*.png;*.jpg;*.jpeg;*.gif\0All files\0*.*\0";
        open.lpstrFile = path;
        open.nMaxFile = MAX_PATH;
        open.lpstrInitialDir = folder_.c_str();
        open.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (GetOpenFileNameW(&open)) {
            write_(property, PathFromMenuFolder(folder_, path));
        }
    }
}

LRESULT DesignProperties::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_SETFOCUS) {
            // A field reached with Tab comes into view.
            RECT field;
            GetWindowRect(reinterpret_cast<HWND>(lParam), &field);
            MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&field), 2);
            RECT client;
            GetClientRect(Handle(), &client);
            if (field.top < 0 || field.bottom > client.bottom) {
                Scroll(scroll_ + field.top - client.bottom / 2);
            }
            return 0;
        }
        if (LOWORD(wParam) >= kChooseId && LOWORD(wParam) < kChooseId + rows_.size() &&
            HIWORD(wParam) == BN_CLICKED) {
            Choose(LOWORD(wParam) - kChooseId);
            return 0;
        }
        break;
    case WM_VSCROLL: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(Handle(), SB_VERT, &info);
        const int page = static_cast<int>(info.nPage);
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            Scroll(scroll_ - kRow);
            break;
        case SB_LINEDOWN:
            Scroll(scroll_ + kRow);
            break;
        case SB_PAGEUP:
            Scroll(scroll_ - page);
            break;
        case SB_PAGEDOWN:
            Scroll(scroll_ + page);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            Scroll(info.nTrackPos);
            break;
        default:
            break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        Scroll(scroll_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3 * kRow);
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(Handle(), &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_CLOSE:
        ShowWindow(Handle(), SW_HIDE); // the view keeps it for the next F4
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
