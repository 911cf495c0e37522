// What the design view shows and where: the place of its status line, captions as typed and
// as written, and which control, page or window each of the checker's findings belongs to.
// Platform-free: the window only asks these.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "design/EditModel.h"
#include "xml/xmlReader.h"

// Where a status line `height` high stands for a window at `window`, wholly inside `screen`
// (the work area of the window's monitor): under the window, else above it, else over the
// window's bottom edge; as wide as the window, moved sideways onto the screen.
DesignRect StatusLinePlace(const DesignRect& window, const DesignRect& screen, long height);

// The caption as the menu draws it, for typing over: "&&" shows one "&", a single "&" only
// underlines the character after it and is not shown.
std::wstring CaptionShown(std::wstring_view written);
// What a typed caption is written as, so that the menu shows what was typed: "&" doubled.
std::wstring CaptionWritten(std::wstring_view typed);

// What one of the checker's findings lies in: a control's element (with all it holds), a page
// outside its controls, or the rest of the file, which the whole window shows.
struct FindingOwner {
    enum class Kind { Window, Page, Control };
    Kind kind = Kind::Window;
    int page = -1;      // Page: the page from 0
    ControlRef control; // Control
    bool operator==(const FindingOwner&) const = default;
};

// For each position (line and column as PositionOf counts them, ascending or not) of `tree`'s
// text, the element it lies in: the last one starting at or before it. End tags and the text
// after an element's last child belong to that child; the root's end tag to the window.
std::vector<FindingOwner> OwnersOf(const xmlTree& tree, const std::vector<TextPosition>& at);

// Whether a finding of that owner is shown with page `page`: the quit button's, the page's own
// and its controls', and the file's outside every page.
bool ShownWithPage(const FindingOwner& owner, int page);
