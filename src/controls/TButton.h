// TButton is the owner-drawn base of every page control and the quit button. Its look comes
// from the configuration; it tracks the mouse itself (every mouse move resets all other
// controls), shows a pressed look and runs its chain on release.
#pragma once

#include <string>

#include <optional>
#include <vector>

#include "actions/Conditions.h"
#include "actions/TExecuteAbleList.h"
#include "controls/TipProtocol.h"
#include "layout/ButtonGeometry.h"
#include "win/Control.h"
#include "win/Gdi.h"

class TButton;

// A control asks this of the dialog it lives in.
class ButtonHost {
public:
    virtual void ResetOtherControls(TButton* control) = 0;

protected:
    ~ButtonHost() = default;
};

class TButton : public Control, public TipButton {
public:
    explicit TButton(int page);

    virtual bool Create(const std::wstring& caption, HWND parent, int id, ButtonHost* host);
    virtual void SetBounds(int x, int y, int width, int height, bool repaint);
    void SetPosition(int x, int y) {
        m_nLeft = x;
        m_nTop = y;
    }
    void SetNormalFont(HFONT font) { m_pFont = font; }
    void SetHoverFont(HFONT font) { m_pHoverFont = font; }
    // A blended picture is drawn by its alpha; others by the mask of their transparent colour.
    void SetIcon(HBITMAP icon, bool blended = false);
    void SetIconMask(HBITMAP mask) { m_pIconMask = mask; }
    void SetIconOffset(int offset) { m_nIconLeft = offset; }
    void SetBackgroundBitmap(HBITMAP bitmap, bool blended = false);
    void SetActionStore(TExecuteAbleList* store) { m_pActionStore = store; }
    void SetChainIndex(std::int32_t index) { m_nChainIndex = index; }
    // Names the first step in the warning when its type lies outside the vocabulary.
    void SetUnknownStart(std::wstring step) { unknownStart_ = std::move(step); }
    // Sets the texts of the warning after a chain that did not run through; without them the
    // menu's own show.
    void SetMessages(const MenuMessages* messages) { messages_ = messages; }
    void SetTooltipText(const std::wstring& text) { m_strTooltip = ExpandTooltipEscapes(text); }
    const std::wstring& GetTooltipText() const override { return m_strTooltip; }
    // Returns false when the tooltip could not make this control's window.
    bool AttachTooltip(TipDisplay* tooltip);
    int GetPage() const { return m_nPage; }
    void ShowForPage(int page);
    void SetNormalTextColor(COLORREF color) { m_crText = color; }
    void SetHoverTextColor(COLORREF color) { m_crHoverText = color; }
    virtual void SetBackgroundColor(COLORREF color) { m_crBackground = color; }
    void SetHoverBackgroundColor(COLORREF color) { m_crHoverBackground = color; }
    void SetTransparent(bool on) { m_bTransparent = on; }
    void SetHoverTransparent(bool on) { m_bHoverTransparent = on; }
    void SetKind(ControlKind kind) { kind_ = kind; }
    ControlKind GetKind() const { return kind_; }
    void Set3D(bool on) { m_b3D = on; }
    void SetNoHover(bool on) { m_bNoHover = on; }
    void SetTabIndex(int index) { m_nTabIndex = index; }
    int GetTabIndex() const { return m_nTabIndex; }
    void SetFocusMark(bool on) { m_bFocus = on; }
    bool HasFocusMark() const { return m_bFocus; }
    // Whether the caption shows nothing: zero-width characters beside a button's icon, say.
    bool HasBlankCaption() const { return blankCaption_; }
    // "ShowIf" and "EnableIf", asked by ApplyConditions each time the control's page is shown.
    void SetConditions(std::vector<ConditionStep> showIf, std::vector<ConditionStep> enableIf) {
        showIf_ = std::move(showIf);
        enableIf_ = std::move(enableIf);
    }
    bool HasConditions() const { return !showIf_.empty() || !enableIf_.empty(); }
    void ApplyConditions();
    // A hidden control is never shown; a disabled one draws its caption in grey (or in this
    // colour), ignores presses and still shows its tooltip.
    bool IsHidden() const { return hidden_; }
    bool IsDisabled() const { return disabled_; }
    void SetDisabledTextColor(COLORREF color) { disabledText_ = color; }
    RECT GetRectInParent() const { return m_rcInParent; }

    void EnterHover();
    virtual void ExecuteChain();
    virtual void ShowPressed();
    void ResetLook();

    // The tooltip asks these of the control.
    HWND GetTipAnchor() const override { return Handle(); }
    int GetControlId() const override { return GetDlgCtrlID(Handle()); }

    // Makes and returns the mask of an icon's transparent colour and turns those pixels of the
    // icon black; the others keep their colours.
    static UniqueBitmap MakeIconMask(HBITMAP icon, COLORREF transparent);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

    // Sets background mode and colours and the text colour, the first steps of every drawing.
    void PrepareColors(HDC dc) const;
    void DrawIcon(HDC dc) const;
    void DrawBackgroundBitmap(HDC dc) const;
    void DrawCaption(HDC dc, RECT rect) const;
    void RedrawTooltip() const;
    void InvalidateParentArea() const;
    HWND Parent() const { return GetParent(Handle()); }
    static void DrawPolyline(HDC dc, const GridPoint* points, int count);
    static GridRect ToGrid(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

    TExecuteAbleList* m_pActionStore = nullptr;
    HCURSOR m_hHoverCursor;
    HCURSOR m_hNormalCursor;
    std::int32_t m_nChainIndex = kChainEnd;
    std::wstring unknownStart_;
    const MenuMessages* messages_ = nullptr;
    int m_nPage;
    COLORREF m_crText = 0;
    COLORREF m_crHoverText = 0;
    COLORREF m_crBackground = 0;
    COLORREF m_crHoverBackground = 0;
    std::wstring m_strTooltip;
    TipDisplay* m_pToolTipp = nullptr;
    bool m_bTransparent = false;
    bool m_bHoverTransparent = false;
    bool m_bPressed = false;
    HBITMAP m_pBackgroundBitmap = nullptr;
    HBITMAP m_pIcon = nullptr;
    HBITMAP m_pIconMask = nullptr;
    bool m_bIconBlended = false;
    bool backgroundBlended_ = false;
    int m_nBmpWidth = 0;
    int m_nBmpHeight = 0;
    int m_nIconWidth = 0;
    int m_nIconHeight = 0;
    int m_nIconTop = 0;
    int m_nIconLeft = 0;
    int m_nPressOffset = 0;
    HFONT m_pFont = nullptr;
    HFONT m_pHoverFont = nullptr;
    bool m_bHover = false;
    int m_nLeft = 0;
    int m_nTop = 0;
    ControlKind kind_ = ControlKind::PushButton;
    RECT m_rcClient{};
    bool m_b3D = false;
    bool m_bNoHover = false;
    int m_nTabIndex = -1;
    bool m_bFocus = false;
    int m_nLastMouseX = -1;
    int m_nLastMouseY = -1;
    RECT m_rcInParent{};
    ButtonHost* host_ = nullptr;
    std::vector<ConditionStep> showIf_;
    std::vector<ConditionStep> enableIf_;
    bool hidden_ = false;
    bool disabled_ = false;
    std::optional<COLORREF> disabledText_;
    bool blankCaption_ = false;
};
