#include "app/CNavoraDlg.h"

#include <algorithm>
#include <fstream>

#include "app/CommandLine.h"
#include "controls/ReadFont.h"
#include "controls/ValueConversions.h"
#include "tooltips/BtnToolTipp.h"
#include "tooltips/StaticToolTipp.h"
#include "win/ErrorReport.h"

namespace {

std::wstring Attr(const xmlElement* element, const wchar_t* name) {
    return element == nullptr ? std::wstring() : element->GetAttribute(name);
}

int Number(const xmlElement* element, const wchar_t* name) {
    return TextToInt(Attr(element, name));
}

HANDLE LoadFromFile(const std::wstring& path, UINT type) {
    return LoadImageW(nullptr, path.c_str(), type, 0, 0,
                      LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION);
}

} // namespace

CNavoraDlg::CNavoraDlg() : Dialog(kMainDialogTemplate) {
    const CommandLineOptions options = ParseOptions(GetCommandLineW());
    m_strCfgDir = options.cfg.dir;
    m_strCfgFile = options.cfg.file;
    m_pSetChk = options.setChk;
}

int CNavoraDlg::ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                               unsigned style) {
    return MessageBoxW(Handle(), text.c_str(), caption.c_str(), style);
}

BOOL CNavoraDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    try {
        SetupFromConfig();
    } catch (...) {
        // A configuration that cannot be read is reported, and the dialog ends as for a missing
        // file.
        ReportCurrentException(Handle());
        OnOK();
    }
    return TRUE;
}

void CNavoraDlg::SetupFromConfig() {
    m_nCurPage = 0;
    m_nShownPage = 0;
    if (m_strCfgDir.empty()) {
        const ConfigPath path = DefaultConfigPath(m_system.ProgramPath());
        m_strCfgDir = path.dir;
        m_strCfgFile = path.file;
    }
    const std::wstring fullPath = m_strCfgDir + m_strCfgFile;
    if (!std::ifstream(std::filesystem::path(fullPath))) {
        MessageBoxW(
            Handle(),
            (L"Konfigurationsdatei " + fullPath + L" \n\rkonnte nicht gefunden werden").c_str(),
            L"Achtung", MB_OK);
        OnOK();
        return;
    }
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW);
    InvalidateRect(Handle(), nullptr, TRUE);
    m_pCfgDoc = std::make_unique<xmlDocument>(std::filesystem::path(fullPath));
    const xmlElement* root = m_pCfgDoc->root;

    const xmlElement* general = FindChild(root, L"General");
    ReadGeneral(general);
    if (!CreateToolTipp(FindChild(root, L"ToolTippConfig"))) {
        m_pCfgDoc.reset();
        return;
    }
    m_pActionBuilder = std::make_unique<TExecuteAbleList>(this, &m_system);
    // Here the quit button ("BtnBeenden") and the pages ("Pages") are built, given "ButtonConfig".
    PlaceAndShow(general);
    m_pCfgDoc.reset();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void CNavoraDlg::ReadGeneral(const xmlElement* general) {
    m_hIcon.reset(static_cast<HICON>(LoadFromFile(Attr(general, L"icon"), IMAGE_ICON)));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon.get()));

    m_bmpBackground.reset(
        static_cast<HBITMAP>(LoadFromFile(Attr(general, L"background"), IMAGE_BITMAP)));
    // Without a picture its size counts as 0 x 0.
    BITMAP bm{};
    if (m_bmpBackground) {
        GetObjectW(m_bmpBackground.get(), sizeof bm, &bm);
    }
    m_brBackground.reset(CreateSolidBrush(ReadColor(general, L"bgcolor")));
    SetWindowTextW(Handle(), Attr(general, L"caption").c_str());

    const int width = Number(general, L"width");
    const int height = Number(general, L"height");
    const int left = Number(general, L"left");
    const int top = Number(general, L"top");
    const std::wstring windowPos = Attr(general, L"windowpos");
    const int clientWidth = std::max(width, static_cast<int>(bm.bmWidth));
    const int clientHeight = std::max(height, static_cast<int>(bm.bmHeight));

    if (Attr(general, L"title") == L"false") {
        SetWindowLongPtrW(Handle(), GWL_STYLE,
                          GetWindowLongPtrW(Handle(), GWL_STYLE) &
                              ~static_cast<LONG_PTR>(WS_CAPTION));
    }
    SetWindowPos(Handle(), nullptr, 10, 10, 100, 100, 0);
    RECT client;
    RECT window;
    GetClientRect(Handle(), &client);
    GetWindowRect(Handle(), &window);
    m_nWndHeight = clientHeight + (window.bottom - window.top) - (client.bottom - client.top);
    m_nWndWidth = clientWidth + (window.right - window.left) - (client.right - client.left);
    m_nBgWidth = bm.bmWidth;
    m_nBgHeight = bm.bmHeight;

    if (windowPos == L"center") {
        m_nWndLeft = std::max(0, GetSystemMetrics(SM_CXFULLSCREEN) - m_nWndWidth) / 2;
        m_nWndTop = std::max(0, GetSystemMetrics(SM_CYFULLSCREEN) - m_nWndHeight) / 2;
    } else if (windowPos == L"topleft") {
        m_nWndLeft = 0;
        m_nWndTop = 0;
    } else {
        m_nWndLeft = left;
        m_nWndTop = top;
    }
}

bool CNavoraDlg::CreateToolTipp(const xmlElement* config) {
    const xmlElement* font = FindChild(config, L"TTFont");
    m_pTTFont = ReadFont(font);
    const int height = Number(config, L"height");
    const int width = Number(config, L"width");
    const std::wstring type = Attr(config, L"tttype");
    if (type == L"statictt") {
        const xmlElement* statictt = FindChild(config, L"StaticTTConfig");
        m_pToolTipp = std::make_unique<StaticToolTipp>(Handle(), Number(statictt, L"LeftMargin"),
                                                       Number(statictt, L"TopMargin"), width,
                                                       height, m_pTTFont.get());
    } else if (type == L"buttontt") {
        const xmlElement* buttontt = FindChild(config, L"ButtonTTConfig");
        auto tip = std::make_unique<BtnToolTipp>(Handle(), 0, 0, width, height,
                                                 Number(buttontt, L"Interval"),
                                                 Number(buttontt, L"Speed"));
        tip->SetFont(m_pTTFont.get());
        m_pToolTipp = std::move(tip);
    } else if (type == L"cursortt") {
        m_pToolTipp =
            std::make_unique<CursorToolTipp>(Handle(), 0, 0, width, height, m_pTTFont.get());
    } else {
        MessageBoxW(Handle(), L"Tooltipp-Typ nicht gesetzt", L"Achtung!", MB_OK);
        OnOK();
        return false;
    }
    m_pToolTipp->SetTipTextColor(ReadColor(font, L"textcolor"));
    m_pToolTipp->SetTipBkColor(ReadColor(config, L"bgcolor"));
    return true;
}

void CNavoraDlg::PlaceAndShow(const xmlElement* general) {
    const HWND insertAfter = Attr(general, L"zorder") == L"topmost" ? HWND_TOPMOST : HWND_TOP;
    SetWindowPos(Handle(), insertAfter, m_nWndLeft, m_nWndTop, m_nWndWidth, m_nWndHeight,
                 SWP_SHOWWINDOW);
    MoveWindow(Handle(), m_nWndLeft, m_nWndTop, m_nWndWidth, m_nWndHeight, TRUE);
}

void CNavoraDlg::PaintBackground(HDC dc) const {
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, m_brBackground.get());
    if (m_bmpBackground) {
        const UniqueMemoryDc memory(CreateCompatibleDC(dc));
        const SelectGuard picture(memory.get(), m_bmpBackground.get());
        BitBlt(dc, 0, 0, m_nBgWidth, m_nBgHeight, memory.get(), 0, 0, SRCCOPY);
    }
}

bool CNavoraDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_ERASEBKGND:
        PaintBackground(reinterpret_cast<HDC>(wParam));
        result = TRUE;
        return true;
    case WM_TIMER:
        if (m_pToolTipp) {
            m_pToolTipp->OnTipTimer(wParam);
        }
        result = 0;
        return true;
    default:
        return Dialog::HandleMessage(message, wParam, lParam, result);
    }
}
