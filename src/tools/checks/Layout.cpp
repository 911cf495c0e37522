// Looks and layout: the window's size, the controls' captions, places and looks.
#include <algorithm>
#include <utility>

#include "tools/checks/Checks.h"

namespace checks {

std::string ControlName(const xmlElement& element, const ControlPlace& place) {
    return place.page < 0 ? "the quit button " + Tag(element.GetName())
                          : "control " + std::to_string(place.index) + " on page " +
                                std::to_string(place.page) + " (" + Tag(element.GetName()) + ")";
}

void CheckWindowSize(CheckContext& c) {
    if (c.clientWidth == 0 && c.clientHeight == 0) {
        const xmlElement* general = FindChild(&c.tree.Root(), L"General");
        c.Error(general != nullptr ? general->GetOffset() : c.tree.Root().GetOffset(),
                "window-size",
                "the window has no inside: give <General> a width and a height, or a "
                "background picture");
    }
}

void CheckControlSize(CheckContext& c, const xmlElement& element, const xmlElement* buttonConfig,
                      const ControlSettings& control, const std::string& who) {
    // A size in an element the menu does not read is reported there.
    if ((control.width > 0 && control.height > 0) || c.unknownIn.count(&element) != 0 ||
        c.unknownIn.count(&c.tree.Root()) != 0 ||
        (buttonConfig != nullptr && c.unknownIn.count(buttonConfig) != 0)) {
        return;
    }
    // A size missing from <ButtonConfig> is reported once, at the first control that lacks it.
    const xmlElement* own = FindChild(&element, L"ButtonLayout");
    const bool inherited = own == nullptr || own->GetAttribute(L"width").empty() ||
                           own->GetAttribute(L"height").empty();
    if (inherited && std::exchange(c.defaultSizeReported, true)) {
        return;
    }
    c.Error(element.GetOffset(), "control-size",
            who + " is " + std::to_string(std::max(control.width, 0)) + " x " +
                std::to_string(std::max(control.height, 0)) +
                " pixels (neither its <ButtonLayout> nor <ButtonConfig> gives it more), so it is "
                "never seen" +
                (inherited ? ", as is every control that takes its size from <ButtonConfig>" : "") +
                "; give it a width and a height, e.g. width=\"200\" height=\"30\"");
}

void CheckCaption(CheckContext& c, const ControlSettings& control, std::size_t at,
                  const std::string& who) {
    if (control.caption.empty()) {
        c.Error(at, "no-caption",
                who + " has no caption: the menu stops with \"" + Shown(c.messages.noCaption) +
                    "\"; give its <ButtonLayout> a caption");
    }
}

void CheckQuitInPage(CheckContext& c, const xmlElement& control) {
    if (control.GetName() == L"BtnBeenden") {
        c.Warning(control.GetOffset(), "quit-button",
                  "<BtnBeenden> inside a page is an ordinary control of that page: the "
                  "quit button, shown on every page, is the <BtnBeenden> directly in " +
                      Tag(c.tree.Root().GetName()) + "; move it there");
    }
}

void CheckInsideWindow(CheckContext& c, const ControlSettings& control, std::size_t at,
                       const std::string& who) {
    if (control.width <= 0 || control.height <= 0 || (c.clientWidth == 0 && c.clientHeight == 0)) {
        return;
    }
    const std::int64_t left = control.left;
    const std::int64_t top = control.top;
    const std::int64_t right = left + control.width;
    const std::int64_t bottom = top + control.height;
    const std::string client =
        std::to_string(c.clientWidth) + " x " + std::to_string(c.clientHeight);
    if (right <= 0 || bottom <= 0 || left >= c.clientWidth || top >= c.clientHeight) {
        c.Error(at, "outside-window",
                who + " lies wholly outside the window's inside (" + client +
                    " pixels): it is never seen");
    } else if (left < 0 || top < 0 || right > c.clientWidth || bottom > c.clientHeight) {
        c.Warning(at, "outside-window",
                  who + " reaches beyond the window's inside (" + client +
                      " pixels): it is cut off");
    }
}

// Two controls on one page (the quit button is on every page) where one covers the other.
void CheckOverlap(CheckContext& c, const ControlSettings& control, std::size_t at,
                  const std::string& who, bool quitButton) {
    if (control.width <= 0 || control.height <= 0) {
        return;
    }
    const Placed here{control.left,
                      control.top,
                      std::int64_t{control.left} + control.width,
                      std::int64_t{control.top} + control.height,
                      at,
                      who};
    if (quitButton) {
        c.quitPlaced = here;
        return;
    }
    std::vector<const Placed*> others;
    if (c.quitPlaced) {
        others.push_back(&*c.quitPlaced);
    }
    for (const Placed& p : c.placed) {
        others.push_back(&p);
    }
    for (const Placed* other : others) {
        if (here.left < other->right && other->left < here.right && here.top < other->bottom &&
            other->top < here.bottom) {
            c.Warning(at, "overlap",
                      who + " overlaps " + other->who +
                          ": one covers part of the other; move or shrink one of them",
                      {{other->at, "the other control"}});
            break;
        }
    }
    c.placed.push_back(here);
}

// Looks the file asks for that the menu does not draw.
void CheckLooks(CheckContext& c, const xmlElement& element, const xmlElement* buttonConfig,
                const ControlSettings& control, std::size_t at, const std::string& who) {
    if (control.kind != ControlKind::CheckBox && control.threeD && control.transparent) {
        c.Warning(at, "looks",
                  who + " has dreid and transparent: a transparent push button gets no 3-D "
                        "frame; write dreid=\"false\" or transparent=\"false\"");
    }
    // A black mouse-over colour warns only where a mouse-over text colour is written and
    // differs from the normal one: then the author evidently meant a black background.
    // The mouse-over colour as written, where the control takes it from.
    const auto writtenIn = [&](const wchar_t* name, const wchar_t* attribute) {
        const xmlElement* own = FindChild(&element, name);
        return own != nullptr && !own->GetAttribute(attribute).empty()
                   ? own
                   : FindChild(buttonConfig, name);
    };
    const xmlElement* hover = writtenIn(L"ButtonMouseOverLayout", L"bgcolor");
    const xmlElement* hoverFont = writtenIn(L"MouseOverFont", L"textcolor");
    if (hover != nullptr && !hover->GetAttribute(L"bgcolor").empty() && control.hoverBgColor == 0 &&
        !control.hoverTransparent && hoverFont != nullptr &&
        !hoverFont->GetAttribute(L"textcolor").empty() &&
        control.hoverTextColor != control.textColor) {
        const std::size_t index = FindAttributeIndex(*hover, L"bgcolor");
        const xmlAttributePlace place = hover->GetAttributePlace(index);
        c.Warning(place.openQuote != npos ? place.openQuote : hover->GetOffset(), "looks",
                  "a mouse-over bgcolor of 0 0 0 means no mouse-over colour: under the mouse "
                  "the control keeps its normal background (" +
                      ColourText(control.bgColor) + ") and only its text turns " +
                      ColourText(control.hoverTextColor) + "; for a black background write 1 1 1");
    }
    for (const wchar_t* name : {L"Font", L"MouseOverFont"}) {
        const xmlElement* own = FindChild(&element, name);
        const xmlElement* fallback = FindChild(buttonConfig, name);
        if (own == nullptr || fallback == nullptr || !own->GetAttribute(L"font").empty() ||
            !own->GetAttribute(L"fontsize").empty() ||
            (fallback->GetAttribute(L"font").empty() &&
             fallback->GetAttribute(L"fontsize").empty())) {
            continue;
        }
        c.Warning(own->GetOffset(), "font",
                  "this " + Tag(name) +
                      " has no font or fontsize: the control takes its whole font from it, the "
                      "system font, not the one of <ButtonConfig>; write font=\"" +
                      Shown(fallback->GetAttribute(L"font")) + "\" fontsize=\"" +
                      Shown(fallback->GetAttribute(L"fontsize")) + "\" here too");
    }
}

} // namespace checks
