// The design view's properties window: a tool window beside the menu listing every attribute
// the menu reads for the selected control, each with its value in effect and where it comes
// from; Enter in a field writes that attribute. Below: the checker's findings for the control
// and its chain as the walk prints it. Values stand as the file writes them, a caption's "&"
// too: unlike the caption edit on the menu, this window edits the attributes themselves.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "design/Properties.h"
#include "win/Window.h"

class DesignProperties : public Window {
public:
    // Receives the attribute and the value to write for Enter or a dialog's choice.
    using Writer = std::function<void(const Property&, const std::wstring&)>;
    // `folder`: the menu's folder, pictures are named relative to it.
    DesignProperties(HWND owner, std::wstring folder, Writer write);

    // Lists `properties` under `title`, scrolled `scroll` pixels down; below them a control's
    // `findings` and `chain`, which the menu's own element (an empty chain) has not.
    void Show(const std::wstring& title, std::vector<Property> properties,
              const std::wstring& findings, const std::wstring& chain, int scroll);
    int Scrolled() const { return scroll_; }
    // Beside the window at `menu`, on the screen.
    void PlaceBeside(const RECT& menu);
    bool Owns(HWND window) const;
    // Enter writes a field, Escape puts its value back, Tab moves between fields; true when
    // the message was taken.
    bool PreTranslate(MSG& message);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Row {
        Property property;
        HWND edit;
    };
    HWND Add(const wchar_t* className, const std::wstring& text, DWORD style, int x, int y,
             int width, int height, int id = 0);
    // Opens the colour, file or font dialog for the row and writes what is chosen.
    void Choose(std::size_t row);
    // Shows the rows from `to` pixels down.
    void Scroll(int to);

    std::wstring folder_;
    Writer write_;
    std::vector<Row> rows_;
    std::vector<HWND> children_;
    int content_ = 0; // the height of all rows
    int scroll_ = 0;
};
