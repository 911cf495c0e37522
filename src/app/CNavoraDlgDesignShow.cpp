// What the design view shows beside the menu's own drawing: the status line, the checker's
// findings, hover looks and tooltips under a resting pointer, and reloads after outside saves.
#include "app/CNavoraDlgDesign.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <filesystem>

#include "app/DesignWindows.h"
#include "design/ViewRules.h"
#include "tools/Checker.h"
#include "tools/DiskFiles.h"
#include "util/FileBytes.h"
#include "win/ErrorReport.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

constexpr int kStatusHeight = 22;
constexpr COLORREF kFindingColor = RGB(255, 0, 0);
constexpr UINT kRetryDelay = 100; // a read that failed while another program wrote
constexpr wchar_t kUnshown[] = L"The file holds a save the view cannot show; mend it first.";

std::wstring FileName(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

void SetTool(HWND tips, HWND owner, HWND window, std::wstring* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = text != nullptr ? text->data() : nullptr;
    SendMessageW(tips, text != nullptr ? TTM_ADDTOOLW : TTM_DELTOOLW, 0,
                 reinterpret_cast<LPARAM>(&tool));
}

} // namespace

void CNavoraDlgDesign::StartWatch() {
    watch_ = std::make_unique<DesignWatch>(session_.path, Handle(), kFileChanged);
    if (!watch_->Started()) {
        SetTimer(Handle(), kWatchTimer, kWatchInterval, nullptr); // a folder without notifications
    }
    // A save between the last build's end and this one's start gave its notice to no window.
    PostMessageW(Handle(), kFileChanged, 0, 0);
}

void CNavoraDlgDesign::PlaceStatus() {
    if (status_ == nullptr) {
        return;
    }
    RECT r;
    GetWindowRect(Handle(), &r);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const DesignRect place = StatusLinePlace(ToDesign(r), ToDesign(monitor.rcWork), kStatusHeight);
    SetWindowPos(status_, HWND_TOP, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOACTIVATE);
}

void CNavoraDlgDesign::CheckPage() {
    if (tips_ == nullptr) {
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                0, 0, 0, 0, Handle(), nullptr, nullptr, nullptr);
        SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    for (const auto& finding : findings_) {
        SetTool(tips_, Handle(), finding.first, nullptr);
        InvalidateRect(finding.first, nullptr, TRUE);
    }
    findings_.clear();
    findingCount_ = 0;
    std::unique_ptr<xmlTree> tree;
    CheckResult result;
    try {
        tree = ParseConfigBytes(session_.viewBytes);
        DiskFiles files(std::filesystem::current_path());
        result = CheckConfig(session_.viewBytes, files);
    } catch (...) {
        SetStatus(session_.status);
        return;
    }
    std::vector<TextPosition> at;
    for (const Diagnostic& d : result.diagnostics) {
        at.push_back({d.line, d.column});
    }
    const std::vector<FindingOwner> owners = OwnersOf(*tree, at);
    for (std::size_t i = 0; i < owners.size(); ++i) {
        if (!ShownWithPage(owners[i], session_.model.Page())) {
            continue;
        }
        // A control not on the window (hidden by its condition) has its findings on the window.
        const TButton* control =
            owners[i].kind == FindingOwner::Kind::Control ? ControlOf(owners[i].control) : nullptr;
        const HWND window =
            control != nullptr && IsWindowVisible(control->Handle()) ? control->Handle() : Handle();
        auto marked = std::find_if(findings_.begin(), findings_.end(),
                                   [&](const auto& finding) { return finding.first == window; });
        if (marked == findings_.end()) {
            marked = findings_.insert(findings_.end(), {window, L""});
        }
        const Diagnostic& d = result.diagnostics[i];
        marked->second += (marked->second.empty() ? L"" : L"\n") + std::to_wstring(d.line) + L":" +
                          std::to_wstring(d.column) + L": " + DecodeUtf8(d.message);
        ++findingCount_;
    }
    for (auto& finding : findings_) {
        SetTool(tips_, Handle(), finding.first, &finding.second);
        InvalidateRect(finding.first, nullptr, TRUE);
    }
    SetStatus(session_.status);
}

bool CNavoraDlgDesign::Marked(HWND window) const {
    return std::any_of(findings_.begin(), findings_.end(),
                       [&](const auto& finding) { return finding.first == window; });
}

void CNavoraDlgDesign::DrawWindowMark(HDC dc) const {
    if (!Marked(Handle())) {
        return;
    }
    const UniqueBrush red(CreateSolidBrush(kFindingColor));
    RECT r;
    GetClientRect(Handle(), &r);
    for (int i = 0; i < 2; ++i) {
        FrameRect(dc, &r, red.get());
        InflateRect(&r, -1, -1);
    }
}

void CNavoraDlgDesign::DrawMarks(const DRAWITEMSTRUCT& item) const {
    if (Marked(item.hwndItem)) {
        const UniqueBrush red(CreateSolidBrush(kFindingColor));
        FrameRect(item.hDC, &item.rcItem, red.get());
    }
    const std::vector<TButton*> shown = ShownControls();
    const auto control = std::find_if(
        shown.begin(), shown.end(), [&](const TButton* c) { return c->Handle() == item.hwndItem; });
    if (control == shown.end() || !session_.model.IsSelected(*RefOf(*control))) {
        return;
    }
    const int handle = static_cast<int>(ScaleToDpi(DesignModel::kHandle, Dpi()));
    const UniqueBrush brush(CreateSolidBrush(kFrameColor));
    RECT frame = item.rcItem;
    InflateRect(&frame, -1, -1); // inside a finding's red outline
    for (int i = 0; i < 2; ++i) {
        FrameRect(item.hDC, &frame, brush.get());
        InflateRect(&frame, -1, -1);
    }
    const RECT& r = item.rcItem;
    for (const POINT corner :
         {POINT{r.left, r.top}, POINT{r.right - handle, r.top}, POINT{r.left, r.bottom - handle},
          POINT{r.right - handle, r.bottom - handle}}) {
        const RECT square{corner.x, corner.y, corner.x + handle, corner.y + handle};
        FillRect(item.hDC, &square, brush.get());
    }
}

void CNavoraDlgDesign::ShowHover(const MSG& message) {
    if (message.message != WM_MOUSEMOVE) {
        return;
    }
    POINT p{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    MapWindowPoints(message.hwnd, Handle(), &p, 1);
    // As the menu does on each move: the control under the pointer shows its hover look and its
    // tooltip, every other control its plain look. Not while a control is dragged.
    TButton* hovered = session_.model.Dragging() ? nullptr : ControlAt(p);
    ResetOtherControls(hovered);
    if (hovered != nullptr) {
        hovered->EnterHover();
    }
}

void CNavoraDlgDesign::WatchFile() {
    if (!watch_) {
        return; // the window is going
    }
    watch_->Handled();
    std::string now;
    try {
        if (!ReadFileBytes(session_.path, now)) {
            return; // gone or renamed away: the next save names it again
        }
    } catch (...) {
        SetTimer(Handle(), kWatchTimer, kRetryDelay, nullptr); // held by another program's write
        return;
    }
    if (watch_->Started()) {
        KillTimer(Handle(), kWatchTimer); // a retry after a failed read is done
    } else {
        SetTimer(Handle(), kWatchTimer, kWatchInterval, nullptr);
    }
    if (now == session_.fileBytes) {
        return;
    }
    session_.fileBytes = now;
    std::wstring text;
    try {
        text = DecodeConfigText(now);
        ParseXmlText(text);
    } catch (const xmlError& e) {
        session_.model.Block(kUnshown);
        // The checker's words for it: why the menu cannot read the file, and where.
        SetStatus(DecodeUtf8(FormatDiagnostic(EncodeUtf8(FileName(session_.path)),
                                              UnreadableDiagnostic(text, e), false)) +
                  L" (the view shows the last readable save)");
        return;
    } catch (...) {
        session_.model.Block(kUnshown);
        SetStatus(CurrentExceptionText()); // out of memory
        return;
    }
    // Another program's bytes: the session's steps no longer lead back to them.
    CancelDrag();
    if (!session_.model.Load(now)) {
        session_.model.Block(kUnshown); // read by the menu's reader, yet not as controls
        return;
    }
    session_.status = L"Reloaded after a save by another program";
    BuildAgain(now);
}
