// The menu's one modal dialog: everything it shows is built from the configuration.
#pragma once

#include <bitset>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "actions/ActionServices.h"
#include "actions/TExecuteAbleList.h"
#include "actions/Win32System.h"
#include "config/CheckState.h"
#include "config/MenuSettings.h"
#include "controls/TButton.h"
#include "pictures/Win32PictureFiles.h"
#include "tooltips/TToolTipp.h"
#include "util/SharedObjects.h"
#include "win/Dialog.h"
#include "win/Gdi.h"
#include "xml/xmlDocument.h"

inline constexpr int kMainDialogTemplate = 102;

// The quit button's identifier: no page control (100 + index) can have it.
inline constexpr int kQuitButtonId = 99;

// The windows the menu makes at most. Windows gives a process 10,000 user objects by
// default and refuses more; Wine's server gives way (and takes every program with it)
// beyond about 32,000 windows. A menu that would need more stops its set-up cleanly
// instead, on every system alike, leaving a thousand objects for the dialog, message
// boxes, cursors and icons.
inline constexpr int kMaxMenuWindows = 9000;

class CNavoraDlg;

// A font description as a key: face, height, weight, italic, underline.
using FontKey = std::tuple<std::wstring, std::int32_t, std::int32_t, bool, bool>;

// Where a dialog built for proof pictures reports: it never shows itself or a
// message box, never writes the configuration, and runs no action.
class ProofSink {
public:
    // The set-up is done and the dialog hidden: pictures may be taken.
    virtual void Render(CNavoraDlg& dialog) = 0;
    // The menu would have shown `message` and ended.
    virtual void Stopped(const std::wstring& message) = 0;

protected:
    ~ProofSink() = default;
};

class CNavoraDlg : public Dialog, public IMenuDialog, public ButtonHost {
public:
    // Reads the command line (-cfg, -setchk).
    CNavoraDlg();
    // For proof pictures of the configuration at `configPath`.
    CNavoraDlg(const std::wstring& configPath, ProofSink* proof);

    // IMenuDialog, for the actions.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                       unsigned style) override;
    void EndWithOk() override { OnOK(); }
    void Minimize() override { ShowWindow(Handle(), SW_MINIMIZE); }
    int CurrentPage() const override { return m_nCurPage; }
    void SetCurrentPage(int page) override { m_nCurPage = page; }
    int PageCount() const override { return m_nPageCount; }
    bool Closed() const override { return m_bClosed; }

    // ButtonHost: every other control (all of them for none) loses its hover and pressed looks.
    void ResetOtherControls(TButton* control) override;

    // For proof pictures: the controls of a page (0-based) in order, a page shown,
    // a control with the mouse resting on its centre and its tooltip settled, and
    // the client area painted into `dc` by the windows' own code.
    std::vector<TButton*> PageControls(int page) const;
    void ShowPageForProof(int page);
    void HoverForProof(TButton* control);
    void EndHoverForProof();
    void PrintClient(HDC dc) const;

protected:
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG& message) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    // Closed by the user (close box, Alt+F4, the taskbar).
    void OnCancel() override {
        m_bClosed = true;
        Dialog::OnCancel();
    }

private:
    // A set-up message: a message box, or for a proof a report that the menu stops.
    void Notify(const std::wstring& text, const wchar_t* caption = L"Achtung");
    void PrintChild(HWND child, HDC dc) const;
    // Reads the configuration before the dialog's window exists, and declares DPI awareness
    // when it asks for drawing at the screen's DPI.
    void LoadConfig();
    void SetupFromConfig();
    // The General section: icon, background, caption, size and position.
    void ReadGeneral(const WindowSettings& window);
    // The ToolTippConfig section; false after the message for an unknown kind.
    bool CreateToolTipp(const TooltipSettings& tip);
    void PlaceAndShow(const WindowSettings& window);
    // Every check box built so far, also when set-up stops early, in one rewrite of the file.
    void RecordStartStates(const std::wstring& configPath);
    // False after the message for a quit button without caption.
    bool CreateQuitButton(const xmlElement* root, const xmlElement* buttonConfig);
    // Reads every control after the first page into `m_laterControls` and says whether only an
    // exhausted system could stop them: all have their captions and all controls fit the
    // window budget. Otherwise leaves it empty.
    bool ReadLaterPages(const xmlElement* pages, const xmlElement* buttonConfig);
    // The controls of `m_laterControls`, once the first page is on screen.
    void CreateLaterPages();
    // The controls of the first `count` pages; false after the message that stops the set-up.
    bool CreatePages(const xmlElement* pages, const xmlElement* buttonConfig, int count);
    // A page control with its tooltip, added to `m_aButtons`; false after the message that
    // stops the set-up.
    bool AddControl(int page, ControlSettings settings);
    std::unique_ptr<TButton> CreateControl(int page, int id, ControlSettings settings);
    // The state a check box starts with: the "-setchk" preset, else its own.
    CheckStateWrite StartState(const ControlSettings& box) const;
    // Shows the current page when it changed since it was last shown.
    void ShowCurrentPage();
    // Shows the controls of `page` and hides all others.
    void ShowPage(int page);
    void FocusNextControl();
    void OnKeyUp(WPARAM key);
    void KeepSize();
    // One font per distinct description, made at first use and kept as long as the window.
    HFONT FontFor(const FontSpec& spec);
    // The picture at the top-left corner, the background colour where it leaves room.
    void PaintBackground(HDC dc) const;
    // The minimized window: its icon centred in the client area.
    void PaintIcon() const;

    std::wstring m_strCfgDir;
    std::wstring m_strCfgFile;
    std::unique_ptr<xmlDocument> m_pCfgDoc;
    int m_nDpi = kFileDpi; // the screen's with "dpiscale", else the file's
    std::unique_ptr<TExecuteAbleList> m_pActionBuilder;
    UniqueBitmap m_bmpBackground;
    bool m_bBackgroundBlended = false; // drawn by its alpha onto the background colour
    int m_nBgWidth = 0;
    int m_nBgHeight = 0;
    int m_nWndWidth = 0;
    int m_nWndHeight = 0;
    int m_nWndLeft = 0;
    int m_nWndTop = 0;
    int m_nCurPage = 0;
    int m_nPageCount = 0;
    // The controls after the first page, read and waiting to be built.
    struct PageControl {
        int page;
        ControlSettings settings;
    };
    std::vector<PageControl> m_laterControls;
    UniqueBrush m_brBackground;
    std::unique_ptr<TToolTipp> m_pToolTipp;
    HFONT m_pTTFont = nullptr;
    std::optional<bool> m_pSetChk;
    int m_nShownPage = 0;
    int m_nWindows = 0; // made for controls and tooltips, at most kMaxMenuWindows
    UniqueIcon m_hIcon;
    std::vector<std::unique_ptr<TButton>> m_aButtons;
    std::unique_ptr<TButton> m_pBtnBeenden;
    TButton* m_pKeyFocus = nullptr;
    POINT m_ptLastMouse{-1, -1};
    // Keys pressed while this dialog's loop ran; only their releases act.
    std::bitset<256> m_keysDown;
    // The check boxes' start-up states, recorded in one rewrite when set-up ends.
    std::vector<CheckStateWrite> m_startStates;
    MenuMessages m_messages; // the file's own texts, where it gives them
    POINT m_ptDragAnchor{0, 0};
    SharedObjects<FontKey, UniqueFont> m_fonts;
    Win32PictureFiles m_pictureFiles;
    Win32System m_system;
    ProofSink* m_pProof = nullptr;
    bool m_bProofStopped = false;
    bool m_bClosed = false;
};
