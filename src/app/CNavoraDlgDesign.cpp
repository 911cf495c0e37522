#include "app/CNavoraDlgDesign.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "app/DesignWindows.h"
#include "tools/Checker.h"
#include "tools/DiskFiles.h"
#include "util/FileBytes.h"
#include "win/ErrorReport.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

constexpr UINT_PTR kWatchTimer = 2; // the menu's own timers: 1 and the tooltips' from 9000
constexpr UINT kWatchInterval = 300;
constexpr int kStatusHeight = 22;
constexpr COLORREF kFrameColor = RGB(0, 120, 215);
constexpr COLORREF kFindingColor = RGB(255, 0, 0);

// Whether a finding of the checker is one the view marks on its control: overlapping another,
// lying outside the window, or lacking a picture it names.
bool MarkedRule(const std::string& rule) {
    return rule == "overlap" || rule == "outside-window" || rule == "missing-file" ||
           rule == "picture-format";
}

bool Before(const TextPosition& a, const TextPosition& b) {
    return a.line < b.line || (a.line == b.line && a.column < b.column);
}

} // namespace

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
    SetTimer(Handle(), kWatchTimer, kWatchInterval, nullptr);
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

void CNavoraDlgDesign::PlaceStatus() {
    if (status_ == nullptr) {
        return;
    }
    RECT r;
    GetWindowRect(Handle(), &r);
    SetWindowPos(status_, nullptr, r.left, r.bottom, r.right - r.left, kStatusHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
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

void CNavoraDlgDesign::CheckPage() {
    std::vector<HWND> marked;
    for (const auto& finding : findings_) {
        marked.push_back(finding.first);
    }
    findings_.clear();
    if (tips_ == nullptr) {
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                0, 0, 0, 0, Handle(), nullptr, nullptr, nullptr);
        SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    for (const HWND control : marked) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        InvalidateRect(control, nullptr, TRUE);
    }
    std::unique_ptr<xmlTree> tree;
    CheckResult result;
    std::wstring text;
    try {
        tree = ParseConfigBytes(session_.viewBytes);
        text = DecodeConfigText(session_.viewBytes);
        DiskFiles files(std::filesystem::current_path());
        result = CheckConfig(session_.viewBytes, files);
    } catch (...) {
        return;
    }
    std::size_t count = 0;
    for (TButton* control : ShownControls()) {
        const std::optional<ControlRef> ref = RefOf(control);
        const xmlElement* element = ControlElement(*tree, *ref);
        if (element == nullptr) {
            continue;
        }
        // The checker names a control at its start, and a picture at the attribute in its
        // ButtonLayout's start tag.
        const xmlElement* layout = FindChild(element, L"ButtonLayout");
        const TextPosition self = PositionOf(text, element->GetOffset());
        std::size_t layoutEnd = 0;
        for (std::size_t i = 0; layout != nullptr && i < layout->GetAttributeCount(); ++i) {
            const std::size_t close = layout->GetAttributePlace(i).closeQuote;
            if (close != xmlAttributePlace::npos) {
                layoutEnd = std::max(layoutEnd, close);
            }
        }
        std::wstring messages;
        for (const Diagnostic& d : result.diagnostics) {
            const TextPosition at{d.line, d.column};
            const bool inLayout = layout != nullptr &&
                                  !Before(at, PositionOf(text, layout->GetOffset())) &&
                                  !Before(PositionOf(text, layoutEnd), at);
            const bool onControl = at.line == self.line && at.column == self.column;
            if (MarkedRule(d.rule) &&
                (d.rule == "overlap" || d.rule == "outside-window" ? onControl : inLayout)) {
                messages += (messages.empty() ? L"" : L"\n") + DecodeUtf8(d.message);
                ++count;
            }
        }
        if (!messages.empty()) {
            findings_.emplace_back(control->Handle(), messages);
            InvalidateRect(control->Handle(), nullptr, TRUE);
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND;
            tool.hwnd = Handle();
            tool.uId = reinterpret_cast<UINT_PTR>(control->Handle());
            tool.lpszText = findings_.back().second.data();
            SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    findingCount_ = count;
    SetStatus(session_.status);
}

void CNavoraDlgDesign::WatchFile() {
    std::string now;
    try {
        if (!ReadFileBytes(session_.path, now) || now == session_.fileBytes) {
            return;
        }
    } catch (...) {
        return; // read again at the next tick
    }
    session_.fileBytes = now;
    try {
        ParseConfigBytes(now);
    } catch (const xmlError& e) {
        session_.model.Block(L"The file holds a save the view cannot show; mend it first.");
        const TextPosition at = PositionOf(DecodeConfigText(now), e.Offset());
        const std::wstring name = session_.path.substr(session_.path.find_last_of(L"\\/") + 1);
        SetStatus(name + L":" + std::to_wstring(at.line) + L":" + std::to_wstring(at.column) +
                  L": " + CurrentExceptionText() + L" (the view shows the last readable save)");
        return;
    } catch (...) {
        session_.model.Block(L"The file holds a save the view cannot show; mend it first.");
        SetStatus(CurrentExceptionText());
        return;
    }
    // Another program's bytes: the session's steps no longer lead back to them.
    CancelDrag();
    session_.model.Load(now);
    session_.nextBuild = now;
    session_.status = L"Reloaded after a save by another program";
    EndWithOk();
}

void CNavoraDlgDesign::DrawMarks(const DRAWITEMSTRUCT& item) const {
    if (std::any_of(findings_.begin(), findings_.end(),
                    [&](const auto& finding) { return finding.first == item.hwndItem; })) {
        const UniqueBrush red(CreateSolidBrush(kFindingColor));
        FrameRect(item.hDC, &item.rcItem, red.get());
    }
    const std::vector<TButton*> shown = ShownControls();
    const auto control = std::find_if(
        shown.begin(), shown.end(), [&](const TButton* c) { return c->Handle() == item.hwndItem; });
    if (control == shown.end() || !session_.model.IsSelected(*RefOf(*control))) {
        return;
    }
    const int kHandle = static_cast<int>(ScaleToDpi(DesignModel::kHandle, Dpi()));
    const UniqueBrush brush(CreateSolidBrush(kFrameColor));
    RECT frame = item.rcItem;
    InflateRect(&frame, -1, -1); // inside a finding's red outline
    for (int i = 0; i < 2; ++i) {
        FrameRect(item.hDC, &frame, brush.get());
        InflateRect(&frame, -1, -1);
    }
    const RECT& r = item.rcItem;
    for (const POINT corner :
         {POINT{r.left, r.top}, POINT{r.right - kHandle, r.top}, POINT{r.left, r.bottom - kHandle},
          POINT{r.right - kHandle, r.bottom - kHandle}}) {
        const RECT handle{corner.x, corner.y, corner.x + kHandle, corner.y + kHandle};
        FillRect(item.hDC, &handle, brush.get());
    }
}

bool CNavoraDlgDesign::PreTranslateMessage(MSG& message) {
    if (!started_) {
        return CNavoraDlg::PreTranslateMessage(message);
    }
    if (message.hwnd == Handle() && message.message == WM_TIMER && message.wParam == kWatchTimer) {
        WatchFile();
        return true;
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
    case WM_DESTROY: {
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
