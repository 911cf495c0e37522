// The dialect's cut-and-search rules applied to positions in one decoded text, so the reader's
// time grows with the size of the file and of the tree it builds. It produces exactly the tree
// of the rules: the remaining text of those rules is always the "gap" (text between tags that
// the removal of empty elements left in front) followed by the text from `pos_` on.
#include "xml/xmlReader.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/TextDecoding.h"

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

// `size` times `factor` plus `slack`, or npos where that does not fit.
std::size_t Cap(std::size_t size, std::size_t factor, std::size_t slack) {
    return size > (npos - slack) / factor ? npos : size * factor + slack;
}

// Reads `text`, which lies in the memory of `tree`, into that tree.
class Parser {
public:
    explicit Parser(std::wstring_view text)
        : src_(text), storeLeft_(Cap(text.size(), kStoredCharsPerChar, kStoredCharsSlack)),
          attributesLeft_(text.size() / kCharsPerAttribute + kAttributesSlack) {}

    void Run(xmlTree& tree) {
        // A "?" anywhere makes the text start at the next "<" after it.
        const std::size_t q = src_.find(L'?');
        if (q != npos) {
            const std::size_t l = src_.find(L'<', q);
            if (l != npos) {
                pos_ = l;
            }
        }
        xmlElement& root = tree.Root();
        const Open open = ParseTagName(root);
        ParseAttributes(root, open.start);
        const std::size_t gt = NextGt();
        if (gt != npos) {
            CutTo(gt + 1);
        }
        tree.SetRootEndTag(ParseChildren(open));
    }

private:
    // An element whose end tag is still to come.
    struct Open {
        xmlElement* element;
        std::wstring_view name;
        std::size_t start; // of its "<"
    };

    std::size_t NextLt() { return lt_.Find(src_, pos_); }
    std::size_t NextGt() { return gt_.Find(src_, pos_); }

    [[noreturn]] void Fail(const char* what, std::size_t at) { throw xmlError(what, at); }

    void CutTo(std::size_t pos) {
        pos_ = pos;
        gap_.clear();
        gapEq_.clear();
        gapQuote_.clear();
        gapClosingQuote_.clear();
        gapPrevStop_.clear();
    }

    // Keeps src_[pos_, end) in front of the remaining text, as the removal of an empty
    // element's start tag does, and notes where its marks stand. The piece holds no '<' or '>'.
    void AppendGap(std::size_t end) {
        const std::size_t base = gap_.size();
        gap_.append(src_.substr(pos_, end - pos_));
        for (std::size_t i = base; i < gap_.size(); ++i) {
            if (gap_[i] == L'=') {
                gapEq_.push_back(i);
            } else if (gap_[i] == L'"') {
                gapQuote_.push_back(i);
                if (i == 0 || gap_[i - 1] != L'\\') {
                    gapClosingQuote_.push_back(i);
                }
            }
        }
    }

    // Last gap index <= k that is neither a space nor '=', or npos. Its table is built only
    // when asked for, as backward scans reach into the gap only in odd files.
    std::size_t GapPrevStop(std::size_t k) const {
        for (std::size_t i = gapPrevStop_.size(); i < gap_.size(); ++i) {
            const bool stop = gap_[i] != L' ' && gap_[i] != L'=';
            gapPrevStop_.push_back(stop ? i : (i > 0 ? gapPrevStop_.back() : npos));
        }
        return gapPrevStop_[k];
    }

    Open ParseTagName(xmlElement& element) {
        const std::size_t lt = NextLt();
        // Without a '<' (only possible for the root, while no gap exists) the name starts the text.
        const std::size_t start = lt == npos ? pos_ : lt;
        const std::size_t s = lt == npos ? pos_ : lt + 1;
        std::size_t i = s;
        while (i < src_.size() && src_[i] != L' ' && src_[i] != L'>') {
            ++i;
        }
        if (i == src_.size()) {
            Fail("a tag name is not followed by a space or '>'", start);
        }
        const std::wstring_view name = TrimWhiteSpace(src_.substr(s, i - s));
        Charge(name.size(), 0, start);
        element.SetNameInTree(name);
        element.SetOffset(start);
        return {&element, name, start};
    }

    // The tag text is the gap followed by src_[pos_, gt): these helpers address it by index.
    struct Tag {
        Tag(const Parser& parser, std::size_t gtIndex)
            : p(parser), gap(parser.gap_.data()), src(parser.src_.data()),
              gapLen(parser.gap_.size()), shift(parser.pos_ - gapLen),
              end(gapLen + (gtIndex - parser.pos_)), gt(gtIndex) {}

        const Parser& p;
        const wchar_t* gap;
        const wchar_t* src;
        std::size_t gapLen;
        std::size_t shift; // from a tag text index past the gap to its src_ index (mod 2^n)
        std::size_t end;   // the tag text's length
        std::size_t gt;    // its end in src_

        wchar_t At(std::size_t i) const { return i < gapLen ? gap[i] : src[ToSrc(i)]; }
        std::size_t ToSrc(std::size_t i) const { return i + shift; }
        // The text from b to e; `scratch` holds it only when it spans gap and text.
        std::wstring_view Slice(std::size_t b, std::size_t e, std::wstring& scratch) const {
            if (b >= gapLen) {
                return {src + ToSrc(b), e - b};
            }
            return SliceFromGap(b, e, scratch);
        }
        std::wstring_view SliceFromGap(std::size_t b, std::size_t e, std::wstring& scratch) const {
            if (e <= gapLen) {
                return {gap + b, e - b};
            }
            scratch.assign(gap + b, gapLen - b);
            scratch.append(src + p.pos_, e - gapLen);
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
            return r == npos ? npos : r - shift;
        }
        // Last index <= k that is neither a space nor '=', or npos.
        std::size_t PrevStop(std::size_t k) const {
            for (; k != npos && k >= gapLen; --k) {
                if (At(k) != L' ' && At(k) != L'=') {
                    return k;
                }
            }
            return k == npos ? npos : p.GapPrevStop(k);
        }
        // Last index <= k holding a space, or npos; the search gives up where `budget`
        // characters lie between.
        std::size_t PrevSpace(std::size_t k, std::size_t budget) const {
            std::size_t j = k;
            while (j != npos && At(j) != L' ' && k - j < budget) {
                --j;
            }
            return j;
        }
        // First quote at index >= from whose preceding character is not a backslash; `escaped`
        // tells whether a quote after a backslash came before it.
        std::size_t FindClosingQuote(std::size_t from, bool& escaped) const {
            std::size_t i = Find(L'"', p.gapClosingQuote_, from);
            escaped = false;
            while (i != npos && i >= gapLen && i > 0 && At(i - 1) == L'\\') {
                escaped = true;
                i = Find(L'"', p.gapClosingQuote_, i + 1);
            }
            return i;
        }
    };

    // Counts what the tree is about to store against the text's caps.
    void Charge(std::size_t chars, std::size_t attributes, std::size_t at) {
        if (chars > storeLeft_ || attributes > attributesLeft_) {
            Fail("the file builds a tree far larger than itself (text between tags, "
                 "or names without a space before them, read again and again)",
                 at);
        }
        storeLeft_ -= chars;
        attributesLeft_ -= attributes;
    }

    void ParseAttributes(xmlElement& element, std::size_t ownStart) {
        attributes_.clear();
        ReadAttributes(element, ownStart);
        if (!attributes_.empty()) {
            element.SetAttributes(attributes_.data(), attributes_.size());
        }
    }

    // The stored form of an attribute name: A-Z lower-cased. The tree's own text is shared
    // where it needs no change (`inSource`: it lies there, not in the gap); else copied.
    static std::wstring_view StoredName(xmlElement& element, std::wstring_view text,
                                        bool inSource) {
        if (inSource && std::none_of(text.begin(), text.end(),
                                     [](wchar_t c) { return c >= L'A' && c <= L'Z'; })) {
            return text;
        }
        wchar_t* room = element.Room(text.size());
        return {room, StoredForm<true, false>(text.data(), text.size(), room)};
    }

    // The stored form of a value: each backslash-quote a quote, where `escaped` says one is
    // there. Shared or copied like a name.
    static std::wstring_view StoredValue(xmlElement& element, std::wstring_view text, bool inSource,
                                         bool escaped) {
        if (inSource && !escaped) {
            return text;
        }
        wchar_t* room = element.Room(text.size());
        return {room, StoredForm<false, true>(text.data(), text.size(), room)};
    }

    // Reads the attributes of `element` into attributes_.
    void ReadAttributes(xmlElement& element, std::size_t ownStart) {
        const std::size_t gt = NextGt();
        if (gt == npos) {
            return;
        }
        const Tag tag(*this, gt);
        auto where = [&](std::size_t i) { return i < tag.gapLen ? NextLt() : tag.ToSrc(i); };
        for (std::size_t p = 0;;) {
            const std::size_t e = tag.Find(L'=', gapEq_, p + 1);
            if (e == npos) {
                return;
            }
            const std::size_t k = tag.PrevStop(e - 1);
            if (k == npos) {
                Fail("an attribute has no name before its '='", where(e));
            }
            // The name reaches back to the last space. One longer than what is left to store is
            // refused, so the search stops there.
            const std::size_t j = tag.PrevSpace(k, storeLeft_ < npos ? storeLeft_ + 1 : npos);
            const std::size_t reach = j == npos ? k + 1 : k - j;
            if (reach > storeLeft_) {
                Charge(reach, 0, where(e));
            }
            if (j == npos) {
                Fail("an attribute name has no space before it", where(e));
            }
            const std::size_t q = tag.Find(L'"', gapQuote_, e);
            if (q == npos) {
                Fail("an attribute value has no opening double quote", where(e));
            }
            bool escaped = false;
            const std::size_t v = tag.FindClosingQuote(q + 1, escaped);
            if (v == npos) {
                Fail("an attribute value has no closing double quote before the tag's "
                     "'>' (a value cannot contain '>')",
                     where(q));
            }
            const std::wstring_view nameText = tag.Slice(j, k + 1, scratchName_);
            const std::wstring_view valueText = tag.Slice(q + 1, v, scratchValue_);
            // Stored forms are made before trimming: neither lowering nor unescaping touches
            // white space, so the order does not matter.
            const std::wstring_view rawName = StoredName(element, nameText, j >= tag.gapLen);
            const std::wstring_view rawValue =
                StoredValue(element, valueText, q + 1 >= tag.gapLen, escaped);
            const std::size_t stored = rawValue.size();
            const std::wstring_view name = TrimWhiteSpace(rawName);
            const std::wstring_view value = TrimWhiteSpace(rawValue);
            // A value counts as written: each backslash-quote as two characters.
            Charge(name.size() + value.size() + (valueText.size() - stored), 1, where(e));
            const std::size_t nameAt = j + static_cast<std::size_t>(name.data() - rawName.data());
            xmlAttributePlace place;
            if (nameAt >= tag.gapLen && tag.ToSrc(nameAt) > ownStart) {
                place = {tag.ToSrc(nameAt), tag.ToSrc(q), tag.ToSrc(v)};
            }
            attributes_.push_back({name, value, place});
            p = v;
        }
    }

    // Where the end tag of `open` at `l` ends, or npos when no such end tag stands there.
    std::size_t EndTagAt(std::size_t l, const Open& open) const {
        const std::wstring_view rest = src_.substr(l);
        const std::size_t n = open.name.size();
        if (rest.size() >= n + 3 && rest[1] == L'/' && rest.substr(2, n) == open.name &&
            rest[n + 2] == L'>') {
            return l + n + 3;
        }
        return npos;
    }

    // Returns where the root's own end tag stands, or npos when the text ends before it.
    std::size_t ParseChildren(const Open& root) {
        std::vector<Open> open{root};
        for (;;) {
            const Open& parent = open.back();
            const std::size_t l = NextLt();
            const std::size_t endTag = l == npos ? npos : EndTagAt(l, parent);
            if (l == npos || endTag != npos) {
                if (open.size() == 1) {
                    return l;
                }
                open.pop_back();
                // The finished child's end tag, and everything before it, is cut away.
                if (l != npos) {
                    CutTo(endTag);
                }
                continue;
            }
            if (open.size() >= kMaxElementDepth) {
                Fail("elements are nested more than 1000 levels deep", l);
            }
            xmlElement& child = parent.element->AddChild();
            const Open opened = ParseTagName(child);
            ParseAttributes(child, opened.start);
            const std::size_t gt = NextGt();
            if (gt == npos) {
                // The start tag would never be cut away: the rules recurse forever.
                Fail("a start tag has no '>' after it", l);
            }
            const bool emptyElement =
                gt > pos_ ? src_[gt - 1] == L'/' : (!gap_.empty() && gap_.back() == L'/');
            if (emptyElement) {
                if (gt == pos_ || gt - 1 < l) {
                    // Removing the tag would not shorten the text: the rules never end.
                    Fail("a '/>' stands before the next '<'", gt == pos_ ? l : gt - 1);
                }
                AppendGap(l);
                pos_ = gt + 1;
                continue;
            }
            CutTo(gt + 1);
            open.push_back(opened);
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
    std::vector<xmlAttribute> attributes_; // of the element being read, given to it at once
    std::wstring scratchName_;
    std::wstring scratchValue_;
    std::size_t storeLeft_;
    std::size_t attributesLeft_;
};

} // namespace

std::unique_ptr<xmlTree> ParseXmlText(std::wstring_view text) {
    auto tree = std::make_unique<xmlTree>(text.size());
    wchar_t* own = tree->TextRoom(text.size());
    std::copy(text.begin(), text.end(), own);
    tree->SetText({own, text.size()});
    Parser(tree->Text()).Run(*tree);
    return tree;
}

// The menu reads its file as the tools do, decoded whole and then cut apart as text: one
// reader, whose speed a menu's few kilobytes never show.
std::unique_ptr<xmlTree> ParseConfigBytes(std::string_view fileBytes) {
    auto tree = std::make_unique<xmlTree>(fileBytes.size());
    wchar_t* text = tree->TextRoom(fileBytes.size());
    tree->SetText({text, DecodeConfigTextTo(fileBytes, text)});
    Parser(tree->Text()).Run(*tree);
    return tree;
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
