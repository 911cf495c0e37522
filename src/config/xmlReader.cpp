// The reader works on positions in one decoded buffer, so its time grows with
// the size of the file and of the tree it builds. It produces exactly the tree
// of the dialect's cut-and-search rules: the remaining text of those rules is
// always the "gap" (text between tags that the removal of empty elements left
// in front) followed by the buffer from `pos_` on.
#include "config/xmlReader.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "config/TextDecoding.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;

// First occurrence of one character at or after a position that never moves back.
class NextChar {
public:
    explicit NextChar(wchar_t ch) : ch_(ch) {}
    std::size_t Find(std::wstring_view text, std::size_t from) {
        if (!known_ || (at_ != npos && at_ < from)) {
            at_ = text.find(ch_, from);
            known_ = true;
        }
        return at_;
    }

private:
    wchar_t ch_;
    std::size_t at_ = npos;
    bool known_ = false;
};

class Parser {
public:
    explicit Parser(std::wstring_view text)
        : src_(text), storeLeft_(text.size() * kStoredCharsPerChar + kStoredCharsSlack),
          attributesLeft_(text.size() / kCharsPerAttribute + kAttributesSlack) {}

    std::unique_ptr<xmlTree> Run() {
        // A "?" anywhere makes the text start at the next "<" after it.
        const std::size_t q = src_.find(L'?');
        if (q != npos) {
            const std::size_t l = src_.find(L'<', q);
            if (l != npos) {
                pos_ = l;
            }
        }
        auto tree = std::make_unique<xmlTree>(src_.size());
        xmlElement& root = tree->Root();
        ParseTagName(root);
        ParseAttributes(root);
        const std::size_t gt = NextGt();
        if (gt != npos) {
            CutTo(gt + 1);
        }
        tree->SetRootEndTag(ParseChildren(root));
        return tree;
    }

private:
    std::size_t NextLt() { return lt_.Find(src_, pos_); }
    std::size_t NextGt() { return gt_.Find(src_, pos_); }

    void CutTo(std::size_t pos) {
        pos_ = pos;
        gap_.clear();
        gapEq_.clear();
        gapQuote_.clear();
        gapClosingQuote_.clear();
        gapPrevStop_.clear();
    }

    // Keeps src_[pos_, end) in front of the remaining text, as the removal of an
    // empty element's start tag does. The piece holds no '<' and no '>'.
    void AppendGap(std::size_t end) {
        const std::size_t base = gap_.size();
        gap_.append(src_.substr(pos_, end - pos_));
        for (std::size_t i = base; i < gap_.size(); ++i) {
            const wchar_t c = gap_[i];
            if (c == L'=') {
                gapEq_.push_back(i);
            } else if (c == L'"') {
                gapQuote_.push_back(i);
                if (i == 0 || gap_[i - 1] != L'\\') {
                    gapClosingQuote_.push_back(i);
                }
            }
        }
    }

    // Last gap index <= k that is neither a space nor '=', or npos. Its table is
    // built only when asked for, as backward scans reach into the gap only in odd files.
    std::size_t GapPrevStop(std::size_t k) const {
        for (std::size_t i = gapPrevStop_.size(); i < gap_.size(); ++i) {
            const bool stop = gap_[i] != L' ' && gap_[i] != L'=';
            gapPrevStop_.push_back(stop ? i : (i > 0 ? gapPrevStop_.back() : npos));
        }
        return gapPrevStop_[k];
    }

    void ParseTagName(xmlElement& element) {
        const std::size_t lt = NextLt();
        // Without a '<' (only possible for the root, while no gap exists) the name starts the text.
        const std::size_t s = lt == npos ? pos_ : lt + 1;
        std::size_t i = s;
        while (i < src_.size() && src_[i] != L' ' && src_[i] != L'>') {
            ++i;
        }
        if (i == src_.size()) {
            throw xmlError("a tag name is not followed by a space or '>'", lt == npos ? pos_ : lt);
        }
        const std::wstring_view name = TrimWhiteSpace(src_.substr(s, i - s));
        Store(name.size(), 0, lt == npos ? pos_ : lt);
        element.SetName(name);
        element.SetOffset(lt == npos ? pos_ : lt);
    }

    // The tag text is the gap followed by src_[pos_, gt): these helpers address it by index.
    struct Tag {
        const Parser& p;
        std::size_t gapLen;
        std::size_t end; // the tag text's length
        std::size_t gt;  // its end in src_

        wchar_t At(std::size_t i) const { return i < gapLen ? p.gap_[i] : Src(i); }
        wchar_t Src(std::size_t i) const { return p.src_[p.pos_ + i - gapLen]; }
        std::size_t ToSrc(std::size_t i) const { return p.pos_ + i - gapLen; }
        // The text from b to e; `scratch` holds it only when it spans gap and buffer.
        std::wstring_view Slice(std::size_t b, std::size_t e, std::wstring& scratch) const {
            if (b >= gapLen) {
                return p.src_.substr(ToSrc(b), e - b);
            }
            if (e <= gapLen) {
                return std::wstring_view(p.gap_).substr(b, e - b);
            }
            scratch.assign(p.gap_, b, gapLen - b);
            scratch.append(p.src_.substr(p.pos_, e - gapLen));
            return scratch;
        }
        // First index >= from holding `ch`, using the gap's index list for the gap part.
        std::size_t Find(wchar_t ch, const std::vector<std::size_t>& inGap,
                         std::size_t from) const {
            if (from < gapLen) {
                const auto it = std::lower_bound(inGap.begin(), inGap.end(), from);
                if (it != inGap.end()) {
                    return *it;
                }
                from = gapLen;
            }
            if (from >= end) {
                return npos;
            }
            const std::size_t r = p.src_.substr(0, gt).find(ch, ToSrc(from));
            return r == npos ? npos : r - p.pos_ + gapLen;
        }
        // Last index <= k that is neither a space nor '=', or npos.
        std::size_t PrevStop(std::size_t k) const {
            for (; k != npos && k >= gapLen; --k) {
                if (Src(k) != L' ' && Src(k) != L'=') {
                    return k;
                }
            }
            return k == npos ? npos : p.GapPrevStop(k);
        }
        // First quote at index >= from whose preceding character is not a backslash.
        std::size_t FindClosingQuote(std::size_t from) const {
            std::size_t i = Find(L'"', p.gapClosingQuote_, from);
            while (i != npos && i >= gapLen && i > 0 && At(i - 1) == L'\\') {
                i = Find(L'"', p.gapClosingQuote_, i + 1);
            }
            return i;
        }
    };

    // Counts what the tree is about to store against the text's caps.
    void Store(std::size_t chars, std::size_t attributes, std::size_t at) {
        if (chars > storeLeft_ || attributes > attributesLeft_) {
            throw xmlError("the file builds a tree far larger than itself (text between tags, "
                           "or names without a space before them, read again and again)",
                           at);
        }
        storeLeft_ -= chars;
        attributesLeft_ -= attributes;
    }

    void ParseAttributes(xmlElement& element) {
        const std::size_t gt = NextGt();
        if (gt == npos) {
            return;
        }
        const Tag tag{*this, gap_.size(), gap_.size() + (gt - pos_), gt};
        const std::size_t ownStart = element.GetOffset(); // the element's own "<"
        auto where = [&](std::size_t i) { return i < tag.gapLen ? NextLt() : tag.ToSrc(i); };
        std::size_t p = 0;
        for (;;) {
            const std::size_t e = tag.Find(L'=', gapEq_, p + 1);
            if (e == npos) {
                return;
            }
            const std::size_t k = tag.PrevStop(e - 1);
            if (k == npos) {
                throw xmlError("an attribute has no name before its '='", where(e));
            }
            std::size_t j = k;
            while (j != npos && tag.At(j) != L' ') {
                --j;
                if (k - j > storeLeft_) {
                    Store(k - j, 0, where(e)); // a name longer than the cap: refused at once
                }
            }
            if (j == npos) {
                throw xmlError("an attribute name has no space before it", where(e));
            }
            const std::size_t q = tag.Find(L'"', gapQuote_, e);
            if (q == npos) {
                throw xmlError("an attribute value has no opening double quote", where(e));
            }
            const std::size_t v = tag.FindClosingQuote(q + 1);
            if (v == npos) {
                throw xmlError("an attribute value has no closing double quote before the tag's "
                               "'>' (a value cannot contain '>')",
                               where(q));
            }
            const std::wstring_view rawName = tag.Slice(j, k + 1, scratchName_);
            const std::wstring_view name = TrimWhiteSpace(rawName);
            const std::wstring_view value = TrimWhiteSpace(tag.Slice(q + 1, v, scratchValue_));
            Store(name.size() + value.size(), 1, where(e));
            const std::size_t nameAt = j + static_cast<std::size_t>(name.data() - rawName.data());
            xmlAttributePlace place;
            if (nameAt >= tag.gapLen && tag.ToSrc(nameAt) > ownStart) {
                place = {tag.ToSrc(nameAt), tag.ToSrc(q), tag.ToSrc(v)};
            }
            element.AddAttribute(name, value, place);
            p = v;
        }
    }

    bool IsEndTagAt(std::size_t l, std::wstring_view name) const {
        const std::wstring_view rest = src_.substr(l);
        return rest.size() >= name.size() + 3 && rest[1] == L'/' &&
               rest.substr(2, name.size()) == name && rest[name.size() + 2] == L'>';
    }

    // Returns where the root's own end tag stands, or npos when the text ends before it.
    std::size_t ParseChildren(xmlElement& root) {
        std::vector<xmlElement*> open{&root};
        for (;;) {
            xmlElement& parent = *open.back();
            const std::size_t l = NextLt();
            if (l == npos || IsEndTagAt(l, parent.GetName())) {
                if (open.size() == 1) {
                    return l;
                }
                open.pop_back();
                // The finished child's end tag, and everything before it, is cut away.
                if (l != npos) {
                    CutTo(l + parent.GetName().size() + 3);
                }
                continue;
            }
            if (open.size() >= kMaxElementDepth) {
                throw xmlError("elements are nested more than 1000 levels deep", l);
            }
            xmlElement& child = parent.AddChild();
            ParseTagName(child);
            ParseAttributes(child);
            const std::size_t gt = NextGt();
            if (gt == npos) {
                // The start tag would never be cut away: the rules recurse forever.
                throw xmlError("a start tag has no '>' after it", l);
            }
            const bool emptyElement =
                gt > pos_ ? src_[gt - 1] == L'/' : (!gap_.empty() && gap_.back() == L'/');
            if (emptyElement) {
                if (gt == pos_ || gt - 1 < l) {
                    // Removing the tag would not shorten the text: the rules never end.
                    throw xmlError("a '/>' stands before the next '<'", gt == pos_ ? l : gt - 1);
                }
                AppendGap(l);
                pos_ = gt + 1;
                continue;
            }
            CutTo(gt + 1);
            open.push_back(&child);
        }
    }

    std::wstring_view src_;
    std::size_t pos_ = 0;
    NextChar lt_{L'<'};
    NextChar gt_{L'>'};
    std::wstring gap_;
    std::vector<std::size_t> gapEq_;
    std::vector<std::size_t> gapQuote_;
    std::vector<std::size_t> gapClosingQuote_;
    mutable std::vector<std::size_t> gapPrevStop_;
    std::wstring scratchName_;
    std::wstring scratchValue_;
    std::size_t storeLeft_;
    std::size_t attributesLeft_;
};

} // namespace

std::unique_ptr<xmlTree> ParseXmlText(std::wstring_view text) {
    return Parser(text).Run();
}

TextPosition PositionOf(std::wstring_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    TextPosition at{1, 1};
    for (std::size_t i = 0; i < offset; ++i) {
        const wchar_t c = text[i];
        if (c == L'\n') {
            ++at.line;
            at.column = 1;
        } else if ((c < 0xDC00 || c > 0xDFFF) && !(i == 0 && c == 0xFEFF)) {
            // A low surrogate completes a character already counted; a byte order mark is no
            // column.
            ++at.column;
        }
    }
    return at;
}
