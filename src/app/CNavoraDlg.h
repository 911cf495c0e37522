// The menu's one modal dialog builds everything it shows from the configuration.
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
#include "config/HighContrast.h"
#include "config/MenuSettings.h"
#include "controls/TButton.h"
#include "pictures/Win32PictureFiles.h"
#include "tooltips/TToolTipp.h"
#include "util/SharedObjects.h"
#include "win/Dialog.h"
#include "win/Gdi.h"
#include "xml/xmlDocument.h"

inline constexpr int kMainDialogTemplate = 102;

// The quit button's identifier lies below 100, so no page control (100 + index) has it.
inline constexpr int kQuitButtonId = 99;

// The menu makes at most this many windows. Windows gives a process 10,000 user objects by
// default and refuses more; Wine's server gives way (and takes every program with it)
// beyond about 32,000 windows. A menu that would need more stops its set-up cleanly
// instead, on every system alike, and leaves a thousand objects for the dialog, message
// boxes, cursors and icons.
inline constexpr int kMaxMenuWindows = 9000;

class CNavoraDlg;

// A font description serves as a key: face, height, weight, italic, underline.
using FontKey = std::tuple<std::wstring, std::int32_t, std::int32_t, bool, bool>;

// The dialog calls these during its set-up at the points where the menu and the tools built on
// its dialog differ.
class SetUpSink {
public:
    // Receives a message that stops the set-up; the menu shows it in a box titled `caption`.
    virtual void SetUpStopped(CNavoraDlg& dialog, const std::wstring& text,
                              const wchar_t* caption) = 0;
    // Receives the words for the exception being handled, which stopped the set-up.
    virtual void SetUpFailed(CNavoraDlg& dialog, const std::wstring& text) = 0;
    // Receives the check boxes' start states, which the menu writes into the configuration.
    virtual void WriteStartStates(const std::wstring& configPath,
                                  const std::vector<CheckStateWrite>& states) = 0;
    // Says whether the window shows. One that is only placed is built whole at once, as no
    // first page waits for the screen.
    virtual bool ShowsWindow() const = 0;
    // Runs when the set-up has completed without a stop.
    virtual void SetUpDone(CNavoraDlg& dialog) = 0;

protected:
    ~SetUpSink() = default;
};

// The menu's own sink shows message boxes, writes the start states and shows the window.
class MenuSink : public SetUpSink {
public:
    void SetUpStopped(CNavoraDlg& dialog, const std::wstring& text,
                      const wchar_t* caption) override;
    void SetUpFailed(CNavoraDlg& dialog, const std::wstring& text) override;
    void WriteStartStates(const std::wstring& configPath,
                          const std::vector<CheckStateWrite>& states) override;
    bool ShowsWindow() const override { return true; }
    void SetUpDone(CNavoraDlg&) override {}
};

class CNavoraDlg : public Dialog, public IMenuDialog, public ButtonHost {
public:
    // Reads the command line (-cfg, -setchk).
    CNavoraDlg();
    // A tool sets up the configuration at `configPath` through its own `sink`.
    CNavoraDlg(const std::wstring& configPath, SetUpSink& sink);

    // The actions reach the dialog through IMenuDialog.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                       unsigned style) override;
    void EndWithOk() override { OnOK(); }
    void Minimize() override { ShowWindow(Handle(), SW_MINIMIZE); }
    int CurrentPage() const override { return m_nCurPage; }
    void SetCurrentPage(int page) override { m_nCurPage = page; }
    int PageCount() const override { return m_nPageCount; }
    bool Closed() const override { return closed_; }
    std::optional<bool> CheckState(const std::wstring& id) override;

    // Every other control (all of them for none) loses its hover and pressed looks.
    void ResetOtherControls(TButton* control) override;

    // Proof pictures use these: they list a page's controls (0-based page) in order, show a
    // page, rest the mouse on a control's centre until its tooltip settles, and paint the
    // client area into `dc` with the windows' own code.
    std::vector<TButton*> PageControls(int page) const;
    void ShowPageForProof(int page);
    void HoverForProof(TButton* control);
    void EndHoverForProof();
    void PrintClient(HDC dc) const;
    // For the design view: the quit button, or none.
    TButton* QuitButton() const { return m_pBtnBeenden.get(); }
    // The DPI the file's pixels are drawn at.
    int Dpi() const { return m_nDpi; }

protected:
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG& message) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    // The user closed the window (close box, Alt+F4, the taskbar).
    void OnCancel() override {
        closed_ = true;
        Dialog::OnCancel();
    }

private:
    // Ends the dialog after the sink has the message; returns false for the caller to pass on.
    bool StopSetUp(const std::wstring& text, const wchar_t* caption = L"Achtung");
    void PrintChild(HWND child, HDC dc) const;
    // Reads the configuration before the dialog's window exists, and declares DPI awareness
    // when it asks for drawing at the screen's DPI.
    void LoadConfig();
    void SetupFromConfig();
    // Applies the General section: icon, background, caption, size and position.
    void ApplyWindowSettings(const WindowSettings& window);
    // Makes the tooltip of ToolTippConfig; returns false after the message for an unknown kind.
    bool CreateToolTipp(const TooltipSettings& tip);
    void PlaceAndShow(const WindowSettings& window);
    // Records every check box built so far in one rewrite, also when set-up stops early.
    void RecordStartStates(const std::wstring& configPath);
    // Returns false after the message for a quit button without caption.
    bool CreateQuitButton(const xmlElement* root, const xmlElement* buttonConfig);
    // Reads every control after the first page into `laterControls_` and says whether only an
    // exhausted system could stop them: all have captions and all fit the window budget.
    // Otherwise it leaves the list empty.
    bool ReadLaterPages(const xmlElement* pages, const xmlElement* buttonConfig);
    // Builds the controls of `laterControls_` once the first page is on screen.
    void CreateLaterPages();
    // Builds the first `count` pages; returns false after a message that stops the set-up.
    bool CreatePages(const xmlElement* pages, const xmlElement* buttonConfig, int count);
    // Adds a page control with its tooltip to `m_aButtons`; returns false after a message that
    // stops the set-up.
    bool AddControl(int page, ControlSettings&& settings);
    std::unique_ptr<TButton> CreateControl(int page, int id, ControlSettings&& settings);
    // A check box with remember="user" starts from the state stored for the user, when there
    // is one; others from "defaultval".
    bool RememberedOrDefault(const ControlSettings& box) const;
    // Returns the system's colours while Windows' high-contrast mode is on, else none.
    static std::optional<SystemColours> HighContrastColours();
    // Gives a control its conditions, its disabled look, and a check box its remembering.
    void ApplyFitSettings(TButton& control, const ControlSettings& settings);
    // A check box starts with the "-setchk" preset, else with its own state.
    CheckStateWrite StartState(const ControlSettings& box) const;
    // Shows the current page when it changed since it was last shown.
    void ShowCurrentPage();
    // Shows the controls of `page` and hides all others.
    void ShowPage(int page);
    // Moves the keyboard's highlight to the next stop, or with `backwards` to the one before.
    void FocusNextControl(bool backwards);
    void OnKeyUp(WPARAM key);
    void KeepSize();
    // One font per distinct description, made at first use and kept as long as the window.
    HFONT FontFor(const FontSpec& spec);
    // Paints the picture at the top-left corner and the background colour where it leaves room.
    void PaintBackground(HDC dc) const;
    // Paints the minimized window: its icon centred in the client area.
    void PaintIcon() const;

    std::wstring m_strCfgDir;
    std::wstring m_strCfgFile;
    std::unique_ptr<xmlDocument> m_pCfgDoc;
    int m_nDpi = kFileDpi; // the screen's with "dpiscale", else the file's
    std::unique_ptr<TExecuteAbleList> m_pActionBuilder;
    UniqueBitmap m_bmpBackground;
    bool backgroundBlended_ = false; // drawn by its alpha onto the background colour
    int m_nBgWidth = 0;
    int m_nBgHeight = 0;
    int m_nWndWidth = 0;
    int m_nWndHeight = 0;
    int m_nWndLeft = 0;
    int m_nWndTop = 0;
    int m_nCurPage = 0;
    int m_nPageCount = 0;
    // The controls after the first page wait here, read, to be built.
    struct PageControl {
        int page;
        ControlSettings settings;
    };
    std::vector<PageControl> laterControls_;
    UniqueBrush m_brBackground;
    std::unique_ptr<TToolTipp> m_pToolTipp;
    HFONT m_pTTFont = nullptr;
    std::optional<bool> m_pSetChk;
    int m_nShownPage = 0;
    int windowCount_ = 0; // made for controls and tooltips, at most kMaxMenuWindows
    UniqueIcon m_hIcon;
    std::vector<std::unique_ptr<TButton>> m_aButtons;
    std::unique_ptr<TButton> m_pBtnBeenden;
    TButton* m_pKeyFocus = nullptr;
    POINT m_ptLastMouse{-1, -1};
    // Only the releases of keys pressed while this dialog's loop ran act.
    std::bitset<256> keysDown_;
    // The check boxes' start states wait here for one rewrite when set-up ends.
    std::vector<CheckStateWrite> startStates_;
    MenuMessages messages_; // the file's own texts, where it gives them
    std::wstring menuId_;   // "menuid": names the remembered choices
    // The system's colours, drawn with instead of the file's while high contrast is on.
    std::optional<SystemColours> systemColours_;
    POINT dragAnchor_{0, 0};
    SharedObjects<FontKey, UniqueFont> fonts_;
    Win32PictureFiles pictureFiles_;
    Win32System system_;
    MenuSink menuSink_;
    SetUpSink* sink_ = &menuSink_;
    bool setUpStopped_ = false;
    bool closed_ = false;
};
