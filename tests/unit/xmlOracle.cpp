#include "xmlOracle.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

constexpr std::size_t npos = std::wstring::npos;

[[noreturn]] void Fail() {
    throw std::invalid_argument("oracle: invalid argument");
}

class Oracle {
public:
    explicit Oracle(std::wstring_view text) : t_(text) {}

    std::unique_ptr<xmlTree> Parse() {
        const std::size_t q = t_.find(L'?');
        if (q != npos) {
            const std::size_t l = t_.find(L'<', q);
            if (l != npos) {
                t_ = t_.substr(l);
            }
        }
        auto tree = std::make_unique<xmlTree>();
        xmlElement& root = tree->Root();
        ParseTagName(root);
        ParseAttributes(root);
        const std::size_t gt = t_.find(L'>');
        if (gt != npos) {
            t_ = t_.substr(gt + 1);
        }
        ParseChildren(root, 1);
        return tree;
    }

private:
    void ParseTagName(xmlElement& e) {
        const std::size_t lt = t_.find(L'<');
        const std::size_t s = lt == npos ? 0 : lt + 1;
        std::size_t i = s;
        while (i < t_.size() && t_[i] != L' ' && t_[i] != L'>') {
            ++i;
        }
        if (i >= t_.size()) {
            Fail();
        }
        e.SetName(TrimWhiteSpace(t_.substr(s, i - s)));
    }

    void ParseAttributes(xmlElement& e) {
        const std::size_t gt = t_.find(L'>');
        const std::wstring tag = gt == npos ? std::wstring() : t_.substr(0, gt);
        const auto n = static_cast<std::ptrdiff_t>(tag.size());
        std::ptrdiff_t p = 0;
        for (;;) {
            const std::size_t found = p + 1 > n ? npos : tag.find(L'=', p + 1);
            if (found == npos) {
                return;
            }
            const auto eq = static_cast<std::ptrdiff_t>(found);
            std::ptrdiff_t k = eq - 1;
            while (k >= 0 && (tag[k] == L' ' || tag[k] == L'=')) {
                --k;
            }
            if (k < 0) {
                Fail();
            }
            std::ptrdiff_t j = k;
            while (j >= 0 && tag[j] != L' ') {
                --j;
            }
            if (j < 0) {
                Fail();
            }
            std::ptrdiff_t q = eq;
            while (q < n && tag[q] != L'"') {
                ++q;
            }
            if (q >= n) {
                Fail();
            }
            const std::ptrdiff_t vs = q + 1;
            std::ptrdiff_t v = vs;
            while (v < n && !(tag[v] == L'"' && tag[v - 1] != L'\\')) {
                ++v;
            }
            if (v >= n) {
                Fail();
            }
            e.AddAttribute(TrimWhiteSpace(tag.substr(j, k - j + 1)),
                           TrimWhiteSpace(tag.substr(vs, v - vs)));
            p = v;
        }
    }

    void ParseChildren(xmlElement& parent, std::size_t depth) {
        for (;;) {
            const std::size_t l = t_.find(L'<');
            if (l == npos || t_.find(EndTag(parent)) == l) {
                return;
            }
            if (depth >= kMaxElementDepth) {
                Fail();
            }
            xmlElement& child = parent.AddChild();
            ParseTagName(child);
            ParseAttributes(child);
            const std::size_t se = t_.find(L"/>");
            const std::size_t gt = t_.find(L'>');
            if (se != npos && se < gt) {
                std::wstring cut = t_.substr(0, l) + t_.substr(se + 2);
                if (cut.size() >= t_.size()) {
                    Fail(); // the cut would repeat forever
                }
                t_ = std::move(cut);
                continue;
            }
            if (gt == npos) {
                Fail(); // the text would stay whole and the recursion never end
            }
            t_ = t_.substr(gt + 1);
            ParseChildren(child, depth + 1);
            const std::size_t e = t_.find(EndTag(child));
            if (e != npos) {
                t_ = t_.substr(t_.find(L'>', e) + 1);
            }
        }
    }

    static std::wstring EndTag(const xmlElement& e) {
        return L"</" + std::wstring(e.GetName()) + L">";
    }

    std::wstring t_;
};

} // namespace

std::unique_ptr<xmlTree> OracleParse(std::wstring_view text) {
    return Oracle(text).Parse();
}
