#include "app/CNavoraDlg.h"

#include <algorithm>
#include <utility>

#include <windowsx.h>

#include "app/SetUpError.h"
#include "config/CommandLine.h"
#include "config/MenuSettings.h"
#include "config/Win32CheckStateFiles.h"
#include "config/Win32LanguageVariant.h"
#include "controls/MakeFont.h"
#include "controls/MenuButton.h"
#include "controls/MenuCheckBox.h"
#include "layout/WindowGeometry.h"
#include "pictures/PictureCheck.h"
#include "tooltips/BtnToolTipp.h"
#include "tooltips/StaticToolTipp.h"
#include "tooltips/TTEdit.h"
#include "win/Dpi.h"
#include "win/ErrorReport.h"
#include "win/VisualStyles.h"

namespace {

// The later pages are built a few display frames after the first page was painted, so that
// they do not hold up its drawing. The tooltips' timers count from kTipTimerOffset.
constexpr UINT_PTR kLaterPagesTimer = 1;
constexpr UINT kLaterPagesDelay = 50;

constexpr const wchar_t* kControlNotCreated = L"Button konnte nicht erstellt werden";
constexpr const wchar_t* kTipNotCreated = L"Tooltipp-Fenster konnte nicht erstellt werden";

} // namespace

CNavoraDlg::CNavoraDlg() : Dialog(kMainDialogTemplate) {
    const CommandLineOptions options = ParseOptions(GetCommandLineW());
    m_strCfgDir = options.cfg.dir;
    m_strCfgFile = options.cfg.file;
    m_pSetChk = options.setChk;
    LoadConfig();
}

int CNavoraDlg::ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                               unsigned style) {
    return StyledMessageBox(Handle(), BoxText(text).c_str(), caption.c_str(), style);
}

void CNavoraDlg::LoadConfig() {
    const bool given = !m_strCfgDir.empty(); // by -cfg
    const ConfigPath path =
        EffectiveConfigPath({{m_strCfgDir, m_strCfgFile}, std::nullopt}, system_.ProgramPath());
    m_strCfgDir = path.dir;
    m_strCfgFile = given ? path.file : LanguageVariantFile(path);
    try {
        m_pCfgDoc = std::make_unique<xmlDocument>(m_strCfgDir + m_strCfgFile);
    } catch (...) {
        return; // read again by the set-up, which reports the failure from the dialog
    }
    // Read here, before the window exists, rather than in the set-up: DPI awareness counts
    // only when declared before the process's first window.
    if (m_pCfgDoc->opened && ReadWindowSettings(FindChild(m_pCfgDoc->root, L"General")).dpiScale) {
        m_nDpi = DeclareDpiAware();
    }
}

void MenuSink::SetUpStopped(CNavoraDlg& dialog, const std::wstring& text, const wchar_t* caption) {
    StyledMessageBox(dialog.Handle(), BoxText(text).c_str(), caption, MB_OK);
}

void MenuSink::SetUpFailed(CNavoraDlg& dialog, const std::wstring& text) {
    ReportCurrentException(dialog.Handle(), text);
}

void MenuSink::WriteStartStates(const std::wstring& configPath,
                                const std::vector<CheckStateWrite>& states) {
    Win32CheckStateFiles files;
    WriteCheckStates(configPath, states, files);
}

bool CNavoraDlg::StopSetUp(const std::wstring& text, const wchar_t* caption) {
    sink_->SetUpStopped(*this, text, caption);
    setUpStopped_ = true;
    OnOK();
    return false;
}

BOOL CNavoraDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    system_.SetMenuWindow(Handle(), this);
    try {
        SetupFromConfig();
        if (!setUpStopped_) {
            sink_->SetUpDone(*this);
        }
    } catch (...) {
        // The dialog reports a configuration it cannot read and ends as for a missing file.
        sink_->SetUpFailed(*this, SetUpErrorText());
        OnOK();
    }
    return TRUE;
}

void CNavoraDlg::SetupFromConfig() {
    m_nCurPage = 0;
    m_nShownPage = 0;
    const std::wstring fullPath = m_strCfgDir + m_strCfgFile;
    if (!m_pCfgDoc) {
        m_pCfgDoc = std::make_unique<xmlDocument>(fullPath);
    }
    if (!m_pCfgDoc->opened) {
        StopSetUp(L"Konfigurationsdatei " + fullPath + L" \n\rkonnte nicht gefunden werden");
        return;
    }
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW);
    InvalidateRect(Handle(), nullptr, TRUE);
    const xmlElement* root = m_pCfgDoc->root;

    messages_ = ReadMessages(FindChild(root, L"Messages"));
    WindowSettings window = ReadWindowSettings(FindChild(root, L"General"));
    menuId_ = window.menuId;
    systemColours_ = HighContrastColours();
    if (systemColours_) {
        UseSystemColours(window, *systemColours_);
    }
    ScaleToDpi(window, m_nDpi);
    ApplyWindowSettings(window);
    TooltipSettings tip = ReadTooltipSettings(FindChild(root, L"ToolTippConfig"));
    ScaleToDpi(tip, m_nDpi);
    if (systemColours_) {
        UseSystemColours(tip, *systemColours_);
    }
    if (!CreateToolTipp(tip)) {
        m_pCfgDoc.reset();
        return;
    }
    const xmlElement* buttonConfig = FindChild(root, L"ButtonConfig");
    m_pActionBuilder = std::make_unique<TExecuteAbleList>(this, &system_);
    // The still hidden window takes its final size first: button tooltips choose
    // their side from the client area, which would otherwise be the 100 x 100 probe's.
    SetWindowPos(Handle(), nullptr, 0, 0, m_nWndWidth, m_nWndHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    // Without "Pages" there are no page controls.
    const xmlElement* pages = FindChild(root, L"Pages");
    m_nPageCount = pages == nullptr ? 0 : static_cast<int>(pages->GetChildCount());
    const bool quitBuilt = CreateQuitButton(root, buttonConfig);
    // Windows are made one by one through the system. Only the first page's are made before
    // the window shows, and only when nothing but an exhausted system can stop the others.
    const int firstPages =
        quitBuilt && sink_->ShowsWindow() && ReadLaterPages(pages, buttonConfig) ? 1 : m_nPageCount;
    if (quitBuilt && CreatePages(pages, buttonConfig, firstPages) && firstPages < m_nPageCount &&
        !laterControls_.empty()) {
        // All start states go into the one rewrite before the window shows.
        for (const PageControl& later : laterControls_) {
            if (later.settings.kind == ControlKind::CheckBox) {
                startStates_.push_back(StartState(later.settings));
            }
        }
        SetTimer(Handle(), kLaterPagesTimer, kLaterPagesDelay, nullptr);
    } else {
        laterControls_.clear();
    }
    // Departure from writing each box's state as it is built: a set-up that stops, by a
    // message or an error, has written nothing.
    if (!setUpStopped_) {
        RecordStartStates(fullPath);
    }
    m_pCfgDoc.reset();
    if (quitBuilt) {
        // Showing the window invalidates all of it; a second invalidation would erase and draw
        // every pixel again.
        PlaceAndShow(window);
    }
}

void CNavoraDlg::CreateLaterPages() {
    KillTimer(Handle(), kLaterPagesTimer); // also when nothing is left to build
    if (laterControls_.empty()) {
        return;
    }
    std::vector<PageControl> later = std::exchange(laterControls_, {});
    try {
        if (std::all_of(later.begin(), later.end(), [&](PageControl& control) {
                return AddControl(control.page, std::move(control.settings));
            })) {
            ShowPage(m_nCurPage);
        }
    } catch (...) {
        sink_->SetUpFailed(*this, CurrentExceptionText());
        OnOK();
    }
    startStates_.clear(); // they reached the file before the window showed
}

void CNavoraDlg::RecordStartStates(const std::wstring& configPath) {
    sink_->WriteStartStates(configPath, startStates_);
    startStates_.clear();
}

void CNavoraDlg::ApplyWindowSettings(const WindowSettings& window) {
    m_hIcon = pictureFiles_.WindowIcon(window.icon);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon.get()));

    MenuPicture background = pictureFiles_.Load(window.background, m_nDpi);
    m_bmpBackground = std::move(background.bitmap);
    backgroundBlended_ = background.blended;
    // Without a picture its size counts as 0 x 0.
    BITMAP bm{};
    if (m_bmpBackground) {
        GetObjectW(m_bmpBackground.get(), sizeof bm, &bm);
    }
    m_brBackground.reset(CreateSolidBrush(window.bgColor));
    SetWindowTextW(Handle(), window.caption.c_str());

    if (!window.captionBar) {
        SetWindowLongPtrW(Handle(), GWL_STYLE,
                          GetWindowLongPtrW(Handle(), GWL_STYLE) &
                              ~static_cast<LONG_PTR>(WS_CAPTION));
    }
    SetWindowPos(Handle(), nullptr, 10, 10, 100, 100, 0);
    RECT client;
    RECT frame;
    GetClientRect(Handle(), &client);
    GetWindowRect(Handle(), &frame);
    // Negative sizes count as 0; huge ones and the frame stop at kMaxWindowExtent.
    m_nWndHeight = WindowExtent(window.height, bm.bmHeight,
                                (frame.bottom - frame.top) - (client.bottom - client.top));
    m_nWndWidth = WindowExtent(window.width, bm.bmWidth,
                               (frame.right - frame.left) - (client.right - client.left));
    m_nBgWidth = bm.bmWidth;
    m_nBgHeight = bm.bmHeight;

    switch (window.placement) {
    case WindowPlacement::Center:
        m_nWndLeft = std::max(0, GetSystemMetrics(SM_CXFULLSCREEN) - m_nWndWidth) / 2;
        m_nWndTop = std::max(0, GetSystemMetrics(SM_CYFULLSCREEN) - m_nWndHeight) / 2;
        break;
    case WindowPlacement::TopLeft:
        m_nWndLeft = 0;
        m_nWndTop = 0;
        break;
    case WindowPlacement::Given:
        m_nWndLeft = window.left;
        m_nWndTop = window.top;
        break;
    }
}

bool CNavoraDlg::CreateToolTipp(const TooltipSettings& tip) {
    m_pTTFont = FontFor(tip.font);
    switch (tip.kind) {
    case TooltipKind::Static:
        m_pToolTipp = std::make_unique<StaticToolTipp>(Handle(), tip.leftMargin, tip.topMargin,
                                                       tip.width, tip.height, m_pTTFont);
        break;
    case TooltipKind::Button: {
        auto buttonTip = std::make_unique<BtnToolTipp>(Handle(), 0, 0, tip.width, tip.height,
                                                       tip.interval, tip.speed);
        buttonTip->SetFont(m_pTTFont);
        m_pToolTipp = std::move(buttonTip);
        break;
    }
    case TooltipKind::Cursor:
        m_pToolTipp =
            std::make_unique<CursorToolTipp>(Handle(), 0, 0, tip.width, tip.height, m_pTTFont);
        break;
    case TooltipKind::Unknown:
        return StopSetUp(messages_.noTooltipType, messages_.noTooltipTypeCaption.c_str());
    }
    windowCount_ = m_pToolTipp->WindowsAtStart();
    if (!m_pToolTipp->WindowsMade()) {
        return StopSetUp(kTipNotCreated);
    }
    m_pToolTipp->SetTipTextColor(tip.textColor);
    m_pToolTipp->SetTipBkColor(tip.bgColor);
    return true;
}

void CNavoraDlg::PlaceAndShow(const WindowSettings& window) {
    const HWND insertAfter = window.topmost ? HWND_TOPMOST : HWND_TOP;
    // A window that no monitor would show is moved onto the nearest work area.
    const RECT wanted{m_nWndLeft, m_nWndTop, SatAdd(m_nWndLeft, m_nWndWidth),
                      SatAdd(m_nWndTop, m_nWndHeight)};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        const WindowPlace place = OntoWorkArea({m_nWndLeft, m_nWndTop, m_nWndWidth, m_nWndHeight},
                                               {work.left, work.top, work.right, work.bottom});
        m_nWndLeft = place.left;
        m_nWndTop = place.top;
    }
    if (!sink_->ShowsWindow()) {
        // The window is placed as the menu's, but never shown.
        SetWindowPos(Handle(), insertAfter, m_nWndLeft, m_nWndTop, m_nWndWidth, m_nWndHeight,
                     SWP_NOACTIVATE | SWP_HIDEWINDOW);
        return;
    }
    SetWindowPos(Handle(), insertAfter, m_nWndLeft, m_nWndTop, m_nWndWidth, m_nWndHeight,
                 SWP_SHOWWINDOW);
    MoveWindow(Handle(), m_nWndLeft, m_nWndTop, m_nWndWidth, m_nWndHeight, TRUE);
}

HFONT CNavoraDlg::FontFor(const FontSpec& spec) {
    return fonts_
        .For(FontKey{spec.face, spec.height, spec.weight, spec.italic, spec.underline},
             [&] { return MakeFont(spec); })
        .get();
}

bool CNavoraDlg::CreateQuitButton(const xmlElement* root, const xmlElement* buttonConfig) {
    // Without "BtnBeenden" there is no quit button and no message.
    const xmlElement* element = FindChild(root, L"BtnBeenden");
    if (element == nullptr) {
        return true;
    }
    m_pBtnBeenden = CreateControl(0, kQuitButtonId, ReadControlSettings(*element, buttonConfig));
    if (!m_pBtnBeenden) {
        return false;
    }
    if (!m_pBtnBeenden->AttachTooltip(m_pToolTipp.get())) {
        return StopSetUp(kTipNotCreated);
    }
    return true;
}

bool CNavoraDlg::ReadLaterPages(const xmlElement* pages, const xmlElement* buttonConfig) {
    std::size_t controls = 0;
    for (int i = 0; i < m_nPageCount; ++i) {
        controls += pages->GetChild(static_cast<std::size_t>(i))->GetChildCount();
    }
    const auto perControl = static_cast<std::size_t>(1 + m_pToolTipp->WindowsPerButton());
    if (m_nPageCount < 2 ||
        controls > static_cast<std::size_t>(kMaxMenuWindows - windowCount_) / perControl) {
        return false;
    }
    for (int i = 1; i < m_nPageCount; ++i) {
        const xmlElement* page = pages->GetChild(static_cast<std::size_t>(i));
        for (std::size_t c = 0; c < page->GetChildCount(); ++c) {
            laterControls_.push_back({i, ReadControlSettings(*page->GetChild(c), buttonConfig)});
            if (laterControls_.back().settings.caption.empty()) {
                laterControls_.clear();
                return false;
            }
        }
    }
    return true;
}

CheckStateWrite CNavoraDlg::StartState(const ControlSettings& box) const {
    return {box.id, m_pSetChk ? *m_pSetChk : RememberedOrDefault(box)};
}

bool CNavoraDlg::CreatePages(const xmlElement* pages, const xmlElement* buttonConfig, int count) {
    for (int i = 0; i < count; ++i) {
        const xmlElement* page = pages->GetChild(static_cast<std::size_t>(i));
        for (std::size_t c = 0; c < page->GetChildCount(); ++c) {
            if (!AddControl(i, ReadControlSettings(*page->GetChild(c), buttonConfig))) {
                return false;
            }
        }
    }
    ShowPage(m_nCurPage);
    return true;
}

bool CNavoraDlg::AddControl(int page, ControlSettings&& settings) {
    auto control =
        CreateControl(page, 100 + static_cast<int>(m_aButtons.size()), std::move(settings));
    if (!control) {
        return false;
    }
    const bool tipMade = control->AttachTooltip(m_pToolTipp.get());
    m_aButtons.push_back(std::move(control));
    return tipMade || StopSetUp(kTipNotCreated);
}

std::unique_ptr<TButton> CNavoraDlg::CreateControl(int page, int id, ControlSettings&& settings) {
    ScaleToDpi(settings, m_nDpi);
    if (systemColours_) {
        UseSystemColours(settings, *systemColours_);
    }
    std::unique_ptr<TButton> control;
    if (settings.kind == ControlKind::CheckBox) {
        auto box = std::make_unique<MenuCheckBox>(page);
        box->SetCheckId(settings.id);
        box->SetConfigFile(m_strCfgDir + m_strCfgFile);
        startStates_.push_back(StartState(settings));
        box->SetChecked(startStates_.back().checked);
        if (settings.checkDim) {
            box->SetCheckDim(*settings.checkDim);
        }
        control = std::move(box);
    } else {
        control = std::make_unique<MenuButton>(page);
    }
    control->SetKind(settings.kind);
    if (settings.caption.empty()) {
        StopSetUp(messages_.noCaption);
        return nullptr;
    }
    const int windows = 1 + m_pToolTipp->WindowsPerButton();
    if (windowCount_ > kMaxMenuWindows - windows ||
        !control->Create(settings.caption, Handle(), id, this)) {
        // Beyond the window budget, or out of window handles: set-up stops rather than go on
        // with a control without a window.
        StopSetUp(kControlNotCreated);
        return nullptr;
    }
    windowCount_ += windows;
    if (page != m_nCurPage) {
        // It is hidden while still without size, so placing it invalidates nothing shown.
        ShowWindow(control->Handle(), SW_HIDE);
    }
    // The window is still hidden: it paints everything once when it is shown.
    control->SetBounds(settings.left, settings.top, settings.width, settings.height, false);
    control->SetPosition(settings.left, settings.top);
    control->SetTabIndex(settings.tabIndex);
    control->SetBackgroundColor(settings.bgColor);
    control->SetTransparent(settings.transparent);
    control->SetTooltipText(settings.tooltip);
    control->Set3D(settings.threeD);
    if (!settings.icon.empty()) {
        const MenuPicture& icon = pictureFiles_.Shared(settings.icon, m_nDpi, TButton::MakeIconMask,
                                                       settings.iconTransparentColor);
        control->SetIcon(icon.bitmap.get(), icon.blended);
        if (icon.bitmap) {
            control->SetIconMask(icon.mask.get());
        }
    }
    if (settings.iconOffset) {
        control->SetIconOffset(*settings.iconOffset);
    }
    if (!settings.background.empty()) {
        const MenuPicture& picture = pictureFiles_.Shared(settings.background, m_nDpi);
        control->SetBackgroundBitmap(picture.bitmap.get(), picture.blended);
    }
    control->SetHoverBackgroundColor(settings.hoverBgColor);
    control->SetHoverTransparent(settings.hoverTransparent);

    const HFONT normal = FontFor(settings.font);
    control->SetNormalTextColor(settings.textColor);
    SendMessageW(control->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(normal), FALSE);
    control->SetNormalFont(normal);
    control->SetHoverTextColor(settings.hoverTextColor);
    control->SetHoverFont(FontFor(settings.hoverFont));

    control->SetActionStore(m_pActionBuilder.get());
    control->SetMessages(&messages_);
    const bool isButton = control->GetKind() == ControlKind::PushButton;
    if (!settings.chain) {
        control->SetChainIndex(kChainEnd);
        control->SetNoHover(isButton);
    } else {
        control->SetNoHover(false);
        control->SetChainIndex(m_pActionBuilder->BuildChain(settings.chain.get()));
        control->SetUnknownStart(TExecuteAbleList::UnknownStep(*settings.chain));
    }
    ApplyFitSettings(*control, settings);
    return control;
}

void CNavoraDlg::ShowCurrentPage() {
    // Only a changed page is shown again: with thousands of controls, showing every one
    // before every message kept a core busy while the mouse merely moved.
    if (m_nCurPage == m_nShownPage) {
        return;
    }
    CreateLaterPages(); // a page switch before their timer needs them
    if (m_pKeyFocus != nullptr) {
        // The highlight loses its look, also on the quit button, which stays visible.
        m_pKeyFocus->SetFocusMark(false);
        InvalidateRect(m_pKeyFocus->Handle(), nullptr, TRUE);
        m_pKeyFocus = nullptr;
    }
    ShowPage(m_nCurPage);
}

void CNavoraDlg::ShowPage(int page) {
    m_nShownPage = page;
    for (const auto& control : m_aButtons) {
        if (control->GetPage() == page) {
            control->ApplyConditions();
        }
        control->ShowForPage(page);
    }
    if (m_pBtnBeenden && m_pBtnBeenden->HasConditions()) {
        m_pBtnBeenden->ApplyConditions();
        m_pBtnBeenden->ShowForPage(m_pBtnBeenden->GetPage());
    }
}

void CNavoraDlg::ResetOtherControls(TButton* control) {
    if (control == nullptr && m_pToolTipp && m_pToolTipp->GetCurrentId() != 0) {
        m_pToolTipp->SetTip(kNoTipId, L"");
    }
    for (const auto& other : m_aButtons) {
        if (other.get() != control) {
            other->ResetLook();
        }
    }
    if (m_pBtnBeenden && m_pBtnBeenden.get() != control) {
        m_pBtnBeenden->ResetLook();
    }
}

void CNavoraDlg::FocusNextControl(bool backwards) {
    std::vector<TabStop> stops;
    int current = kNoFocus;
    for (std::size_t i = 0; i < m_aButtons.size(); ++i) {
        // A hidden control is skipped.
        stops.push_back({m_aButtons[i]->GetPage(),
                         m_aButtons[i]->IsHidden() ? -1 : m_aButtons[i]->GetTabIndex()});
        if (m_aButtons[i].get() == m_pKeyFocus) {
            current = static_cast<int>(i);
        }
    }
    if (m_pKeyFocus != nullptr && m_pKeyFocus == m_pBtnBeenden.get()) {
        current = kQuitButtonFocus;
    }
    const std::optional<int> quit = m_pBtnBeenden && !m_pBtnBeenden->IsHidden()
                                        ? std::optional<int>(m_pBtnBeenden->GetTabIndex())
                                        : std::nullopt;
    const int next = backwards ? ::FocusPreviousControl(stops, m_nCurPage, current, quit)
                               : ::FocusNextControl(stops, m_nCurPage, current, quit);
    m_pKeyFocus = next == kQuitButtonFocus ? m_pBtnBeenden.get()
                  : next == kNoFocus       ? nullptr
                                           : m_aButtons[static_cast<std::size_t>(next)].get();
}

void CNavoraDlg::OnKeyUp(WPARAM key) {
    switch (key) {
    case VK_ESCAPE:
        OnOK();
        break;
    case VK_RETURN:
        // A disabled control ignores Enter and keeps the highlight.
        if (TButton* focus = m_pKeyFocus; focus != nullptr && !focus->IsDisabled()) {
            focus->ExecuteChain();
            if (focus->GetKind() != ControlKind::CheckBox) {
                ResetOtherControls(nullptr);
                focus->SetFocusMark(false);
                m_pKeyFocus = nullptr;
            }
        }
        break;
    case VK_SPACE:
        // Space toggles a highlighted check box, as in every Windows dialog; before, it did
        // nothing.
        if (m_pKeyFocus != nullptr && m_pKeyFocus->GetKind() == ControlKind::CheckBox) {
            m_pKeyFocus->ExecuteChain();
        }
        break;
    case VK_TAB:
        if (m_pKeyFocus != nullptr) {
            m_pKeyFocus->SetFocusMark(false);
            const RECT area = m_pKeyFocus->GetRectInParent();
            InvalidateRect(Handle(), &area, TRUE);
        }
        // Shift+Tab goes backwards: it went forward before, an obvious fault.
        FocusNextControl(GetKeyState(VK_SHIFT) < 0);
        if (m_pKeyFocus != nullptr) {
            m_pKeyFocus->SetFocusMark(true);
            ResetOtherControls(m_pKeyFocus);
            // The keyboard's highlight shows the hover look and the tooltip, as the mouse does;
            // before, it drew only the focus rectangle.
            m_pKeyFocus->EnterHover();
            // The window's focus stays with the dialog; a screen reader follows this event.
            NotifyWinEvent(EVENT_OBJECT_FOCUS, m_pKeyFocus->Handle(), OBJID_CLIENT, CHILDID_SELF);
            const RECT area = m_pKeyFocus->GetRectInParent();
            InvalidateRect(Handle(), &area, TRUE);
        }
        break;
    default:
        break;
    }
}

bool CNavoraDlg::PreTranslateMessage(MSG& message) {
    ShowCurrentPage();
    const std::size_t key = message.wParam & 0xFF;
    if (message.message == WM_KEYDOWN) {
        keysDown_.set(key);
    } else if (message.message == WM_KEYUP && keysDown_.test(key)) {
        // Only a release whose press came through this loop acts: a message box closes on
        // the press, and its release must not act a second time here.
        keysDown_.reset(key);
        OnKeyUp(message.wParam);
    }
    return false;
}

void CNavoraDlg::KeepSize() {
    // Erase and paint set the size only when it changed: set inside every erase, it would
    // start another round of position messages with each repaint.
    RECT r;
    GetWindowRect(Handle(), &r);
    if (r.right - r.left != m_nWndWidth || r.bottom - r.top != m_nWndHeight) {
        SetWindowPos(Handle(), nullptr, r.left, r.top, m_nWndWidth, m_nWndHeight, SWP_SHOWWINDOW);
    }
}

void CNavoraDlg::PaintBackground(HDC dc) const {
    RECT client;
    GetClientRect(Handle(), &client);
    if (m_bmpBackground) {
        if (backgroundBlended_) {
            const RECT under{0, 0, m_nBgWidth, m_nBgHeight};
            FillRect(dc, &under, m_brBackground.get());
        }
        DrawPicture(dc, m_bmpBackground.get(), 0, 0, m_nBgWidth, m_nBgHeight, backgroundBlended_,
                    SRCCOPY);
    }
    // The colour fills only what the picture (0 x 0 without one) leaves uncovered: the same
    // pixels as filling all first, each drawn once.
    const LONG right = std::min<LONG>(m_nBgWidth, client.right);
    const RECT beside{right, 0, client.right, client.bottom};
    const RECT below{0, std::min<LONG>(m_nBgHeight, client.bottom), right, client.bottom};
    FillRect(dc, &beside, m_brBackground.get());
    FillRect(dc, &below, m_brBackground.get());
}

void CNavoraDlg::PaintIcon() const {
    const PaintDc paint(Handle());
    const HDC dc = paint.get();
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon.get());
}

bool CNavoraDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_ERASEBKGND:
        PaintBackground(reinterpret_cast<HDC>(wParam));
        KeepSize();
        result = TRUE;
        return true;
    case WM_PAINT:
        if (IsIconic(Handle())) {
            PaintIcon();
            result = 0;
            return true;
        }
        KeepSize();
        return false;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(m_hIcon.get());
        return true;
    case WM_ACTIVATE:
        // Keys pressed while another window is active are not ours to release.
        if (LOWORD(wParam) == WA_INACTIVE) {
            keysDown_.reset();
        }
        return false;
    case WM_LBUTTONDOWN:
        // Dragging by the background keeps the grabbed point under the cursor.
        dragAnchor_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SetCapture(Handle());
        return false;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return false;
    case WM_MOUSEMOVE: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (GetCapture() == Handle()) {
            RECT r;
            GetWindowRect(Handle(), &r);
            SetWindowPos(Handle(), nullptr, r.left + point.x - dragAnchor_.x,
                         r.top + point.y - dragAnchor_.y, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (point.x != m_ptLastMouse.x || point.y != m_ptLastMouse.y) {
            m_ptLastMouse = point;
            ResetOtherControls(nullptr);
        }
        result = 0;
        return true;
    }
    case WM_HELP:
        result = TRUE; // F1 is swallowed
        return true;
    case WM_TIMER:
        if (wParam == kLaterPagesTimer) {
            CreateLaterPages();
        } else if (m_pToolTipp) {
            m_pToolTipp->OnTipTimer(wParam);
        }
        result = 0;
        return true;
    default:
        return Dialog::HandleMessage(message, wParam, lParam, result);
    }
}
