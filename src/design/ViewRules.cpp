#include "design/ViewRules.h"

#include <algorithm>
#include <utility>

#include "xml/xmlElement.h"

DesignRect StatusLinePlace(const DesignRect& window, const DesignRect& screen, long height) {
    const long width = std::min(window.right - window.left, screen.right - screen.left);
    const long left = std::clamp(window.left, screen.left, screen.right - width);
    long top = window.bottom;
    if (top + height > screen.bottom) {
        top = window.top - height >= screen.top ? window.top - height
                                                : std::min(window.bottom, screen.bottom) - height;
    }
    top = std::clamp(top, screen.top, screen.bottom - height);
    return {left, top, left + width, top + height};
}

std::wstring CaptionShown(std::wstring_view written) {
    std::wstring shown;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] != L'&') {
            shown += written[i];
        } else if (i + 1 < written.size() && written[i + 1] == L'&') {
            shown += L'&';
            ++i;
        }
    }
    return shown;
}

std::wstring CaptionWritten(std::wstring_view typed) {
    std::wstring written;
    for (const wchar_t c : typed) {
        written += c;
        if (c == L'&') {
            written += L'&';
        }
    }
    return written;
}

namespace {

struct Start {
    std::size_t offset;
    FindingOwner owner;
};

void Collect(const xmlElement& element, const FindingOwner& owner, std::vector<Start>& out) {
    out.push_back({element.GetOffset(), owner});
    for (std::size_t i = 0; i < element.GetChildCount(); ++i) {
        Collect(*element.GetChild(i), owner, out);
    }
}

bool Before(const TextPosition& a, const TextPosition& b) {
    return a.line < b.line || (a.line == b.line && a.column < b.column);
}

} // namespace

std::vector<FindingOwner> OwnersOf(const xmlTree& tree, const std::vector<TextPosition>& at) {
    const xmlElement& root = tree.Root();
    std::vector<Start> starts{{root.GetOffset(), {}}};
    for (std::size_t i = 0; i < root.GetChildCount(); ++i) {
        const xmlElement& child = *root.GetChild(i);
        if (child.GetName() == L"BtnBeenden") {
            Collect(child, {FindingOwner::Kind::Control, -1, {-1, 0}}, starts);
            continue;
        }
        starts.push_back({child.GetOffset(), {}});
        const bool pages = child.GetName() == L"Pages";
        for (std::size_t p = 0; p < child.GetChildCount(); ++p) {
            const xmlElement& page = *child.GetChild(p);
            const int number = pages ? static_cast<int>(p) : -1;
            starts.push_back(
                {page.GetOffset(),
                 pages ? FindingOwner{FindingOwner::Kind::Page, number, {}} : FindingOwner{}});
            for (std::size_t c = 0; c < page.GetChildCount(); ++c) {
                Collect(*page.GetChild(c),
                        pages ? FindingOwner{FindingOwner::Kind::Control, number, {number, c}}
                              : FindingOwner{},
                        starts);
            }
        }
    }
    if (tree.RootEndTag() != std::wstring_view::npos) {
        starts.push_back({tree.RootEndTag(), {}});
    }
    std::stable_sort(starts.begin(), starts.end(),
                     [](const Start& a, const Start& b) { return a.offset < b.offset; });
    // Each start's line and column, counted in one pass over the text.
    const std::wstring_view text = tree.Text();
    std::vector<TextPosition> positions;
    TextPosition here{1, 1};
    std::size_t counted = 0;
    for (const Start& start : starts) {
        const std::size_t to = std::min(start.offset, text.size());
        if (to > counted) {
            const TextPosition step = PositionOf(text.substr(counted), to - counted);
            here = step.line == 1 ? TextPosition{here.line, here.column + step.column - 1}
                                  : TextPosition{here.line + step.line - 1, step.column};
            counted = to;
        }
        positions.push_back(here);
    }
    std::vector<FindingOwner> owners;
    for (const TextPosition& p : at) {
        const auto after = std::upper_bound(
            positions.begin(), positions.end(), p,
            [](const TextPosition& a, const TextPosition& b) { return Before(a, b); });
        owners.push_back(
            after == positions.begin()
                ? FindingOwner{}
                : starts[static_cast<std::size_t>(after - positions.begin()) - 1].owner);
    }
    return owners;
}

bool ShownWithPage(const FindingOwner& owner, int page) {
    return owner.kind == FindingOwner::Kind::Window || owner.page == page ||
           (owner.kind == FindingOwner::Kind::Control && owner.control.page < 0);
}
