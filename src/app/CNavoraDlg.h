// The menu's one modal dialog: everything it shows is built from the configuration.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "actions/ActionServices.h"
#include "actions/TExecuteAbleList.h"
#include "actions/Win32System.h"
#include "config/xmlDocument.h"
#include "tooltips/TToolTipp.h"
#include "win/Dialog.h"
#include "win/Gdi.h"

inline constexpr int kMainDialogTemplate = 102;

class CNavoraDlg : public Dialog, public IMenuDialog {
public:
    // Reads the command line (-cfg, -setchk).
    CNavoraDlg();

    // IMenuDialog, for the actions.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                       unsigned style) override;
    void EndWithOk() override { OnOK(); }
    void Minimize() override { ShowWindow(Handle(), SW_MINIMIZE); }
    int CurrentPage() const override { return m_nCurPage; }
    void SetCurrentPage(int page) override { m_nCurPage = page; }
    int PageCount() const override { return m_nPageCount; }

protected:
    BOOL OnInitDialog() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void SetupFromConfig();
    // The General section: icon, background, caption, size and position.
    void ReadGeneral(const xmlElement* general);
    // The ToolTippConfig section; false after the message for an unknown kind.
    bool CreateToolTipp(const xmlElement* config);
    void PlaceAndShow(const xmlElement* general);
    // Background colour, then the picture at the top-left corner.
    void PaintBackground(HDC dc) const;

    std::wstring m_strCfgDir;
    std::wstring m_strCfgFile;
    std::unique_ptr<xmlDocument> m_pCfgDoc;
    std::unique_ptr<TExecuteAbleList> m_pActionBuilder;
    UniqueBitmap m_bmpBackground;
    int m_nBgWidth = 0;
    int m_nBgHeight = 0;
    int m_nWndWidth = 0;
    int m_nWndHeight = 0;
    int m_nWndLeft = 0;
    int m_nWndTop = 0;
    int m_nCurPage = 0;
    int m_nPageCount = 0;
    UniqueBrush m_brBackground;
    std::unique_ptr<TToolTipp> m_pToolTipp;
    UniqueFont m_pTTFont;
    std::optional<bool> m_pSetChk;
    int m_nShownPage = 0;
    UniqueIcon m_hIcon;
    Win32System m_system;
};
