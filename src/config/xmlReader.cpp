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

// Text that is already decoded: every index is a unit index.
class WideText {
public:
    using Char = wchar_t;
    explicit WideText(std::wstring_view text) : src(text) {}

    std::size_t Units() const { return src.size(); }
    std::size_t UnitAt(std::size_t i) { return i; }
    std::size_t UnitsIn(std::wstring_view piece) const { return piece.size(); }
    std::wstring_view Decode(std::wstring_view piece, std::wstring&) const { return piece; }
    // How much of the text the decoded `units` (leading or trailing white space) took.
    std::size_t RawLength(std::wstring_view units) const { return units.size(); }
    void AppendGap(std::wstring& gap, std::wstring_view piece) const { gap.append(piece); }
    // An end tag whose text differs from the start tag's still ends it when it decodes alike;
    // decoded text that differs never does.
    std::size_t EndTagDecodingAlike(std::size_t, std::wstring_view) { return npos; }

    std::wstring_view src;
};

// UTF-8 bytes after the text-mode conversion, holding no NUL. Every character the
// rules look for is ASCII, and an ASCII byte always decodes as itself and ends a
// broken sequence before it; so the rules cut the bytes where they cut the decoded
// text, and a piece between two such cuts decodes as that part of the whole.
class Utf8Text {
public:
    using Char = char;
    explicit Utf8Text(std::string_view text) : src(text), units_(DecodedLength(text)) {}

    std::size_t Units() const { return units_; }
    // The unit index of byte `b`, which starts a character; fast when asked in rising order.
    std::size_t UnitAt(std::size_t b) {
        if (b < atByte_) {
            atByte_ = 0;
            atUnit_ = 0;
        }
        atUnit_ += DecodedLength(src.substr(atByte_, b - atByte_));
        atByte_ = b;
        return atUnit_;
    }
    std::size_t UnitsIn(std::string_view piece) const { return DecodedLength(piece); }
    std::wstring_view Decode(std::string_view piece, std::wstring& scratch) const {
        DecodeUtf8Into(piece, scratch);
        return scratch;
    }
    // White space is whole characters below U+10000.
    std::size_t RawLength(std::wstring_view units) const {
        std::size_t bytes = 0;
        for (const wchar_t c : units) {
            bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
        return bytes;
    }
    // Pieces of the gap are joined as decoded text: a broken sequence at the end of one
    // piece must not take the bytes that start the next. Decoded and encoded again, each
    // piece is whole characters.
    void AppendGap(std::string& gap, std::string_view piece) const {
        if (AsciiOnly(piece)) {
            gap.append(piece);
        } else {
            std::wstring decoded;
            DecodeUtf8Into(piece, decoded);
            gap.append(EncodeUtf8(decoded));
        }
    }
    // Where the end tag at `l` for `name` ends when its bytes differ from the start tag's
    // but decode alike (broken sequences become one U+FFFD whatever their bytes); else npos.
    std::size_t EndTagDecodingAlike(std::size_t l, std::wstring_view name) {
        if (src.size() - l < 3 || src[l + 1] != '/') {
            return npos;
        }
        // Each unit takes at most four bytes, so the name and the '>' lie within this window.
        DecodeUtf8Into(src.substr(l + 2, 4 * (name.size() + 1)), scratch_);
        if (scratch_.size() <= name.size() || scratch_.compare(0, name.size(), name) != 0 ||
            scratch_[name.size()] != L'>') {
            return npos;
        }
        return src.find('>', l + 2) + 1; // a name holds no '>'
    }

    std::string_view src;

private:
    static bool AsciiOnly(std::string_view piece) {
        for (const char c : piece) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                return false;
            }
        }
        return true;
    }

    std::size_t units_;
    std::size_t atByte_ = 0;
    std::size_t atUnit_ = 0;
    std::wstring scratch_;
};

// First occurrence of one character at or after a position that never moves back.
template <typename Char> class NextChar {
public:
    explicit NextChar(Char ch) : ch_(ch) {}
    std::size_t Find(std::basic_string_view<Char> text, std::size_t from) {
        if (!known_ || (at_ != npos && at_ < from)) {
            at_ = text.find(ch_, from);
            known_ = true;
        }
        return at_;
    }

private:
    Char ch_;
    std::size_t at_ = npos;
    bool known_ = false;
};

template <typename Text> class Parser {
    using Char = typename Text::Char;
    using View = std::basic_string_view<Char>;
    using String = std::basic_string<Char>;

public:
    explicit Parser(Text text)
        : text_(text), src_(text.src),
          storeLeft_(text.Units() * kStoredCharsPerChar + kStoredCharsSlack),
          attributesLeft_(text.Units() / kCharsPerAttribute + kAttributesSlack) {}

    std::unique_ptr<xmlTree> Run() {
        // A "?" anywhere makes the text start at the next "<" after it.
        const std::size_t q = src_.find(Char('?'));
        if (q != npos) {
            const std::size_t l = src_.find(Char('<'), q);
            if (l != npos) {
                pos_ = l;
            }
        }
        auto tree = std::make_unique<xmlTree>(text_.Units());
        xmlElement& root = tree->Root();
        const Open open = ParseTagName(root);
        ParseAttributes(root, open.start);
        const std::size_t gt = NextGt();
        if (gt != npos) {
            CutTo(gt + 1);
        }
        const std::size_t rootEnd = ParseChildren(open);
        tree->SetRootEndTag(rootEnd == npos ? npos : text_.UnitAt(rootEnd));
        return tree;
    }

private:
    // An element whose end tag is still to come, with its name as it stands in the text.
    struct Open {
        xmlElement* element;
        View name;
        std::size_t start; // of its "<"
    };

    std::size_t NextLt() { return lt_.Find(src_, pos_); }
    std::size_t NextGt() { return gt_.Find(src_, pos_); }

    [[noreturn]] void Fail(const char* what, std::size_t at) {
        throw xmlError(what, text_.UnitAt(at));
    }

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
        text_.AppendGap(gap_, src_.substr(pos_, end - pos_));
        for (std::size_t i = base; i < gap_.size(); ++i) {
            const Char c = gap_[i];
            if (c == Char('=')) {
                gapEq_.push_back(i);
            } else if (c == Char('"')) {
                gapQuote_.push_back(i);
                if (i == 0 || gap_[i - 1] != Char('\\')) {
                    gapClosingQuote_.push_back(i);
                }
            }
        }
    }

    // Last gap index <= k that is neither a space nor '=', or npos. Its table is
    // built only when asked for, as backward scans reach into the gap only in odd files.
    std::size_t GapPrevStop(std::size_t k) const {
        for (std::size_t i = gapPrevStop_.size(); i < gap_.size(); ++i) {
            const bool stop = gap_[i] != Char(' ') && gap_[i] != Char('=');
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
        while (i < src_.size() && src_[i] != Char(' ') && src_[i] != Char('>')) {
            ++i;
        }
        if (i == src_.size()) {
            Fail("a tag name is not followed by a space or '>'", start);
        }
        const View raw = src_.substr(s, i - s);
        const std::wstring_view decoded = text_.Decode(raw, scratchValue_);
        const std::wstring_view name = TrimWhiteSpace(decoded);
        const std::size_t lead = text_.RawLength(decoded.substr(0, name.data() - decoded.data()));
        const std::size_t trail =
            text_.RawLength(decoded.substr(name.data() - decoded.data() + name.size()));
        Store(name.size(), 0, start);
        element.SetName(name);
        element.SetOffset(text_.UnitAt(start));
        return {&element, raw.substr(lead, raw.size() - lead - trail), start};
    }

    // The tag text is the gap followed by src_[pos_, gt): these helpers address it by index.
    struct Tag {
        const Parser& p;
        std::size_t gapLen;
        std::size_t end; // the tag text's length
        std::size_t gt;  // its end in src_

        Char At(std::size_t i) const { return i < gapLen ? p.gap_[i] : Src(i); }
        Char Src(std::size_t i) const { return p.src_[p.pos_ + i - gapLen]; }
        std::size_t ToSrc(std::size_t i) const { return p.pos_ + i - gapLen; }
        // The text from b to e; `scratch` holds it only when it spans gap and buffer.
        View Slice(std::size_t b, std::size_t e, String& scratch) const {
            if (b >= gapLen) {
                return p.src_.substr(ToSrc(b), e - b);
            }
            if (e <= gapLen) {
                return View(p.gap_).substr(b, e - b);
            }
            scratch.assign(p.gap_, b, gapLen - b);
            scratch.append(p.src_.substr(p.pos_, e - gapLen));
            return scratch;
        }
        // First index >= from holding `ch`, using the gap's index list for the gap part.
        std::size_t Find(Char ch, const std::vector<std::size_t>& inGap, std::size_t from) const {
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
                if (Src(k) != Char(' ') && Src(k) != Char('=')) {
                    return k;
                }
            }
            return k == npos ? npos : p.GapPrevStop(k);
        }
        // First quote at index >= from whose preceding character is not a backslash.
        std::size_t FindClosingQuote(std::size_t from) const {
            std::size_t i = Find(Char('"'), p.gapClosingQuote_, from);
            while (i != npos && i >= gapLen && i > 0 && At(i - 1) == Char('\\')) {
                i = Find(Char('"'), p.gapClosingQuote_, i + 1);
            }
            return i;
        }
        // Units of the text from b to e, where both stand between characters.
        std::size_t Units(const Text& text, std::size_t b, std::size_t e) const {
            if (e <= gapLen) {
                return text.UnitsIn(View(p.gap_).substr(b, e - b));
            }
            if (b >= gapLen) {
                return text.UnitsIn(p.src_.substr(ToSrc(b), e - b));
            }
            return text.UnitsIn(View(p.gap_).substr(b)) +
                   text.UnitsIn(p.src_.substr(p.pos_, e - gapLen));
        }
    };

    // Counts what the tree is about to store against the text's caps.
    void Store(std::size_t chars, std::size_t attributes, std::size_t at) {
        if (chars > storeLeft_ || attributes > attributesLeft_) {
            Fail("the file builds a tree far larger than itself (text between tags, "
                 "or names without a space before them, read again and again)",
                 at);
        }
        storeLeft_ -= chars;
        attributesLeft_ -= attributes;
    }

    void ParseAttributes(xmlElement& element, std::size_t ownStart) {
        const std::size_t gt = NextGt();
        if (gt == npos) {
            return;
        }
        const Tag tag{*this, gap_.size(), gap_.size() + (gt - pos_), gt};
        auto where = [&](std::size_t i) { return i < tag.gapLen ? NextLt() : tag.ToSrc(i); };
        std::size_t p = 0;
        for (;;) {
            const std::size_t e = tag.Find(Char('='), gapEq_, p + 1);
            if (e == npos) {
                return;
            }
            const std::size_t k = tag.PrevStop(e - 1);
            if (k == npos) {
                Fail("an attribute has no name before its '='", where(e));
            }
            // The name reaches back to the last space. One longer than what is left to store
            // is refused; a character takes at most four bytes, so the search stops early.
            std::size_t j = k;
            while (j != npos && tag.At(j) != Char(' ') && (k - j) / 4 <= storeLeft_ + 1) {
                --j;
            }
            const std::size_t reach = j == npos ? k + 1 : k - j;
            if (reach > storeLeft_) {
                const std::size_t units = (j != npos && tag.At(j) != Char(' '))
                                              ? reach
                                              : tag.Units(text_, k + 1 - reach, k + 1);
                if (units > storeLeft_) {
                    Store(units, 0, where(e));
                }
            }
            if (j == npos) {
                Fail("an attribute name has no space before it", where(e));
            }
            const std::size_t q = tag.Find(Char('"'), gapQuote_, e);
            if (q == npos) {
                Fail("an attribute value has no opening double quote", where(e));
            }
            const std::size_t v = tag.FindClosingQuote(q + 1);
            if (v == npos) {
                Fail("an attribute value has no closing double quote before the tag's "
                     "'>' (a value cannot contain '>')",
                     where(q));
            }
            const std::wstring_view rawName =
                text_.Decode(tag.Slice(j, k + 1, scratchName_), decodedName_);
            const std::wstring_view name = TrimWhiteSpace(rawName);
            const std::wstring_view value =
                TrimWhiteSpace(text_.Decode(tag.Slice(q + 1, v, scratchValueRaw_), scratchValue_));
            Store(name.size() + value.size(), 1, where(e));
            const std::size_t nameAt =
                j + text_.RawLength(rawName.substr(0, name.data() - rawName.data()));
            xmlAttributePlace place;
            if (nameAt >= tag.gapLen && tag.ToSrc(nameAt) > ownStart) {
                place = {text_.UnitAt(tag.ToSrc(nameAt)), text_.UnitAt(tag.ToSrc(q)),
                         text_.UnitAt(tag.ToSrc(v))};
            }
            element.AddAttribute(name, value, place);
            p = v;
        }
    }

    // Where the end tag of `open` at `l` ends, or npos when no such end tag stands there.
    std::size_t EndTagAt(std::size_t l, const Open& open) {
        const View rest = src_.substr(l);
        const std::size_t n = open.name.size();
        if (rest.size() >= n + 3 && rest[1] == Char('/') && rest.substr(2, n) == open.name &&
            rest[n + 2] == Char('>')) {
            return l + n + 3;
        }
        return text_.EndTagDecodingAlike(l, open.element->GetName());
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
                gt > pos_ ? src_[gt - 1] == Char('/') : (!gap_.empty() && gap_.back() == Char('/'));
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

    Text text_;
    View src_;
    std::size_t pos_ = 0;
    NextChar<Char> lt_{Char('<')};
    NextChar<Char> gt_{Char('>')};
    String gap_;
    std::vector<std::size_t> gapEq_;
    std::vector<std::size_t> gapQuote_;
    std::vector<std::size_t> gapClosingQuote_;
    mutable std::vector<std::size_t> gapPrevStop_;
    String scratchName_;
    String scratchValueRaw_;
    std::wstring decodedName_;
    std::wstring scratchValue_;
    std::size_t storeLeft_;
    std::size_t attributesLeft_;
};

} // namespace

std::unique_ptr<xmlTree> ParseXmlText(std::wstring_view text) {
    return Parser<WideText>(WideText(text)).Run();
}

std::unique_ptr<xmlTree> ParseConfigBytes(std::string_view fileBytes) {
    const std::string text = ConfigTextBytes(fileBytes);
    return Parser<Utf8Text>(Utf8Text(text)).Run();
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
