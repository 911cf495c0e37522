// The check box draws a box with a check mark left of its caption; a click toggles it and
// writes the new state into the configuration file.
#pragma once

#include "controls/TButton.h"

class MenuCheckBox : public TButton {
public:
    explicit MenuCheckBox(int page) : TButton(page) {}

    bool Create(const std::wstring& caption, HWND parent, int id, ButtonHost* host) override;
    void SetBounds(int x, int y, int width, int height, bool repaint) override;
    void ExecuteChain() override;
    void ShowPressed() override;

    void SetConfigFile(const std::wstring& path) { m_strConfigFile = path; }
    void SetCheckId(const std::wstring& id) { m_strCheckId = id; }
    void SetChecked(bool checked) { m_bChecked = checked; }
    const std::wstring& GetCheckId() const { return m_strCheckId; }
    // Every toggle also stores the state for the user under this menu's id (remember="user").
    void SetRememberUnder(const std::wstring& menuId) { rememberUnder_ = menuId; }
    bool IsChecked() const { return m_bChecked; }
    void SetCheckDim(int dim) { m_nCheckDim = dim; }
    // Writes the state into the configuration file; the file is left as it was when that fails.
    void WriteState() const;

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void ComputeBox();

    std::wstring m_strConfigFile;
    std::wstring m_strCheckId;
    bool m_bChecked = false;
    COLORREF m_crCheck = RGB(0, 255, 0);
    COLORREF m_crBoxFill = RGB(255, 255, 255);
    COLORREF m_crBoxFrame = 0;
    UniquePen m_pFramePen;
    UniquePen m_pCheckPen;
    int m_nCheckDim = 0;
    RECT m_rcBox{};
    std::wstring rememberUnder_;
};
