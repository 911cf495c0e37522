// The dialect's cut-and-search rules, for decoded text and for the file's UTF-8
// bytes alike: the reader works on positions in one buffer, so its time grows with
// the size of the file and of the tree it builds. It produces exactly the tree of
// the rules: the remaining text of those rules is always the "gap" (text between
// tags that the removal of empty elements left in front) followed by the buffer from
// `pos_` on.
//
// A text kind supplies: Char, src, Units(), UnitsAtLeast(), UnitAt(i), UnitsIn(piece),
// Store<kLower, kUnescape>(piece, out), RawLength(units), AppendGap(gap, piece) and
// EndTagDecodingAlike(l, name).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "config/TextDecoding.h"
#include "config/xmlReader.h"

namespace xmlRules {

inline constexpr std::size_t npos = std::wstring_view::npos;

// How many units a piece of text has in its stored form and as decoded.
struct Stored {
    std::size_t units;
    std::size_t decoded;
};

// The first index in [from, end) that holds `ch`, or npos.
template <typename Char>
std::size_t FindBetween(std::basic_string_view<Char> text, Char ch, std::size_t from,
                        std::size_t end) {
    if constexpr (sizeof(Char) == 1) {
        return FindIn(text, ch, from, end);
    } else {
        return text.substr(0, end).find(ch, from);
    }
}

// First occurrence of one character at or after a position that never moves back.
template <typename Char> class NextChar {
public:
    explicit NextChar(Char ch) : ch_(ch) {}
    std::size_t Find(std::basic_string_view<Char> text, std::size_t from) {
        if (!known_ || (at_ != npos && at_ < from)) {
            at_ = FindBetween(text, ch_, from, text.size());
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
        : text_(text), src_(text.src), unitsAtLeast_(text.UnitsAtLeast()),
          storeLeft_(unitsAtLeast_ * kStoredCharsPerChar + kStoredCharsSlack),
          attributesLeft_(unitsAtLeast_ / kCharsPerAttribute + kAttributesSlack) {
        if (src_.size() > (npos - kStoredCharsSlack) / kStoredCharsPerChar) {
            KnowUnits(); // a cap that may pass the largest size is counted as it always was
        }
    }

    // Builds the tree into `tree`, which is new.
    std::unique_ptr<xmlTree> Run(std::unique_ptr<xmlTree> tree) {
        // A "?" anywhere makes the text start at the next "<" after it.
        const std::size_t q = src_.find(Char('?'));
        if (q != npos) {
            const std::size_t l = src_.find(Char('<'), q);
            if (l != npos) {
                pos_ = l;
            }
        }
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
        // Mostly the piece is white space: a pass without branches tells whether it holds marks.
        unsigned marks = 0;
        for (std::size_t i = base; i < gap_.size(); ++i) {
            marks |= static_cast<unsigned>(gap_[i] == Char('=')) |
                     static_cast<unsigned>(gap_[i] == Char('"'));
        }
        for (std::size_t i = marks != 0 ? base : gap_.size(); i < gap_.size(); ++i) {
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
        if constexpr (sizeof(Char) == 1) {
            i = TagNameEnd(src_, s);
        } else {
            while (i < src_.size() && src_[i] != Char(' ') && src_[i] != Char('>')) {
                ++i;
            }
        }
        if (i == src_.size()) {
            Fail("a tag name is not followed by a space or '>'", start);
        }
        const View raw = src_.substr(s, i - s);
        const KnownName& known = Name(element, raw);
        Store(known.name.size(), 0, start);
        element.SetNameInRoom(known.name);
        element.SetOffset(text_.UnitAt(start));
        return {&element, raw.substr(known.lead, raw.size() - known.lead - known.trail), start};
    }

    // A tag name as it stands in the text, with its stored form and the text around that.
    struct KnownName {
        View raw;
        std::wstring_view name;
        std::size_t lead = 0;
        std::size_t trail = 0;
    };

    // The stored form of a tag name: the few names of a menu are decoded once each and
    // shared by all the elements that bear them.
    const KnownName& Name(xmlElement& element, View raw) {
        std::size_t hash = raw.size();
        if (!raw.empty()) {
            using Unit = std::make_unsigned_t<Char>;
            hash = (hash * 31 + static_cast<Unit>(raw[0])) * 31 + static_cast<Unit>(raw.back());
            hash = hash * 31 + static_cast<Unit>(raw[raw.size() / 2]);
        }
        // Four places to look: a name that finds them all taken replaces the first.
        const std::size_t home = (hash * 0x9E3779B1u >> 8) % knownNames_.size();
        KnownName* free = nullptr;
        for (std::size_t i = 0; i < 4; ++i) {
            KnownName& at = knownNames_[(home + i) % knownNames_.size()];
            if (at.name.data() == nullptr) {
                free = free == nullptr ? &at : free;
            } else if (at.raw == raw) {
                return at;
            }
        }
        KnownName& known = free == nullptr ? knownNames_[home] : *free;
        wchar_t* room = element.Room(raw.size());
        const std::wstring_view decoded(room, text_.template Store<false, false>(raw, room).units);
        known.raw = raw;
        known.name = TrimWhiteSpace(decoded);
        known.lead = text_.RawLength(decoded.substr(0, known.name.data() - decoded.data()));
        known.trail =
            text_.RawLength(decoded.substr(known.name.data() - decoded.data() + known.name.size()));
        return known;
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
        // Last index <= k holding a space, or npos; the search gives up where `budget`
        // characters lie between.
        std::size_t PrevSpace(std::size_t k, std::size_t budget) const {
            std::size_t j = k;
            if (j >= gapLen) {
                const Char* s = p.src_.data() + p.pos_; // s[j - gapLen] is Src(j)
                const std::size_t floor = std::max(gapLen, k >= budget ? k - budget : 0);
                while (j > floor && s[j - gapLen] != Char(' ')) {
                    --j;
                }
            }
            while (j != npos && At(j) != Char(' ') && k - j < budget) {
                --j;
            }
            return j;
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

    // The caps count from the text's units, which UTF-8 text knows only after a pass over
    // it: until a cap would be reached, the least number of units the text can have serves.
    void KnowUnits() {
        if (!unitsKnown_) {
            const std::size_t units = text_.Units();
            storeLeft_ += (units - unitsAtLeast_) * kStoredCharsPerChar;
            attributesLeft_ += units / kCharsPerAttribute - unitsAtLeast_ / kCharsPerAttribute;
            unitsKnown_ = true;
        }
    }

    // Counts what the tree is about to store against the text's caps.
    void Store(std::size_t chars, std::size_t attributes, std::size_t at) {
        if (chars > storeLeft_ || attributes > attributesLeft_) {
            KnowUnits();
        }
        if (chars > storeLeft_ || attributes > attributesLeft_) {
            Fail("the file builds a tree far larger than itself (text between tags, "
                 "or names without a space before them, read again and again)",
                 at);
        }
        storeLeft_ -= chars;
        attributesLeft_ -= attributes;
    }

    enum class Quick { kRead, kNoMore, kByTheRules };

    // The common case by plain scans of the buffer: the next attribute after `p`, standing
    // wholly after the gap, with no white space but spaces around its name, visible ASCII at
    // both ends of its name and value (decoded text: ASCII throughout), well within the caps
    // and with both its quotes. Reads it and moves `p` on, or tells that no '=' is left;
    // anything else is left to the full rules, which give the same result here.
    Quick QuickAttribute(xmlElement& element, const Tag& tag, std::size_t& p,
                         std::size_t ownStart) {
        std::size_t from = p + 1;
        if (from < tag.gapLen) {
            if (std::lower_bound(gapEq_.begin(), gapEq_.end(), from) != gapEq_.end()) {
                return Quick::kByTheRules;
            }
            from = tag.gapLen;
        }
        if (from >= tag.end) {
            return Quick::kNoMore;
        }
        const Char* s = src_.data();
        const std::size_t first = pos_; // the tag text's first character in the buffer
        const std::size_t e = FindBetween(src_, Char('='), tag.ToSrc(from), tag.gt);
        if (e == npos) {
            return Quick::kNoMore;
        }
        std::size_t k = e;
        do {
            if (k == first) {
                return Quick::kByTheRules;
            }
            --k;
        } while (s[k] == Char(' ') || s[k] == Char('='));
        std::size_t j = k;
        const std::size_t lowest = std::max(first, k > storeLeft_ / 2 ? k - storeLeft_ / 2 : 0);
        if constexpr (sizeof(Char) == 1) {
            j = FindLastIn(src_, ' ', lowest, k);
            if (j == npos) {
                return Quick::kByTheRules;
            }
        } else {
            while (s[j] != Char(' ')) {
                if (j <= lowest) {
                    return Quick::kByTheRules;
                }
                --j;
            }
        }
        if (k == j || !Plain(s[j + 1]) || !Plain(s[k])) {
            return Quick::kByTheRules; // trimmed or not ASCII at its ends
        }
        const std::size_t q = e + 1 < tag.gt && s[e + 1] == Char('"')
                                  ? e + 1
                                  : FindBetween(src_, Char('"'), e, tag.gt);
        if (q == npos) {
            return Quick::kByTheRules;
        }
        std::size_t v = q;
        do {
            v = FindBetween(src_, Char('"'), v + 1, tag.gt);
            if (v == npos) {
                return Quick::kByTheRules;
            }
        } while (s[v - 1] == Char('\\'));
        const std::size_t nameSize = k - j;
        const std::size_t valueSize = v - q - 1;
        if (valueSize > 0 && (!Plain(s[q + 1]) || !Plain(s[v - 1]))) {
            return Quick::kByTheRules; // to be trimmed
        }
        xmlAttributePlace place;
        if constexpr (std::is_same_v<Char, char>) {
            // The tree keeps the text: name and value are decoded when first asked for.
            std::size_t units = nameSize + valueSize;
            if (j + 1 > ownStart) {
                place.name = text_.UnitAt(j + 1);
                units = text_.UnitAt(k + 1) - place.name;
                place.openQuote = text_.UnitAt(q);
                place.closeQuote = text_.UnitAt(v);
                units += place.closeQuote - place.openQuote - 1;
            } else if (!AsciiOnly(View(s + j + 1, v - j - 1))) {
                units = text_.UnitsIn(View(s + j + 1, nameSize)) +
                        text_.UnitsIn(View(s + q + 1, valueSize));
            }
            Store(units, 1, e);
            attributes_.push_back(
                xmlAttribute::Kept(element.Memory(), s + j + 1, nameSize, q - j, valueSize, place));
        } else {
            // Stored forms straight from the text, as long as it is ASCII.
            wchar_t* room = element.Room(nameSize + valueSize);
            wchar_t* value = room + nameSize;
            if (!StoredAscii<true>(s + j + 1, nameSize, room) ||
                !StoredAscii<false>(s + q + 1, valueSize, value)) {
                return Quick::kByTheRules; // to be decoded
            }
            const std::size_t stored = StoredForm<false, true>(value, valueSize, value);
            Store(nameSize + valueSize, 1, e);
            if (j + 1 > ownStart) {
                place = {text_.UnitAt(j + 1), text_.UnitAt(q), text_.UnitAt(v)};
            }
            attributes_.push_back(
                xmlAttribute::Stored(element.Memory(), {room, nameSize}, {value, stored}, place));
        }
        p = v - first + tag.gapLen;
        return Quick::kRead;
    }

    // ASCII text widened, with A-Z lower-cased for `kLower` (unescaping is left to
    // StoredForm); false where the text is not ASCII and must be decoded first.
    template <bool kLower> static bool StoredAscii(const Char* in, std::size_t size, wchar_t* out) {
        std::make_unsigned_t<Char> any = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const auto c = static_cast<std::make_unsigned_t<Char>>(in[i]);
            any |= c;
            const auto u = static_cast<unsigned>(c);
            out[i] = static_cast<wchar_t>(kLower && u - 'A' < 26u ? u + 32 : u);
        }
        return any < 0x80;
    }

    // An ASCII character that is not white space.
    static bool Plain(Char c) { return c > Char(' ') && c < Char(0x7F); }

    void ParseAttributes(xmlElement& element, std::size_t ownStart) {
        attributes_.clear();
        ReadAttributes(element, ownStart);
        if (!attributes_.empty()) {
            element.SetAttributes(attributes_.data(), attributes_.size());
        }
    }

    // Reads the attributes of `element` into attributes_.
    void ReadAttributes(xmlElement& element, std::size_t ownStart) {
        const std::size_t gt = NextGt();
        if (gt == npos) {
            return;
        }
        const Tag tag{*this, gap_.size(), gap_.size() + (gt - pos_), gt};
        auto where = [&](std::size_t i) { return i < tag.gapLen ? NextLt() : tag.ToSrc(i); };
        std::size_t p = 0;
        for (;;) {
            const Quick quick = QuickAttribute(element, tag, p, ownStart);
            if (quick == Quick::kRead) {
                continue;
            }
            if (quick == Quick::kNoMore) {
                return;
            }
            const std::size_t e = tag.Find(Char('='), gapEq_, p + 1);
            if (e == npos) {
                return;
            }
            const std::size_t k = tag.PrevStop(e - 1);
            if (k == npos) {
                Fail("an attribute has no name before its '='", where(e));
            }
            // The name reaches back to the last space. One longer than what is left to store
            // is refused; a character takes at most four bytes, so the search stops early. What
            // is left is counted exactly from here on.
            KnowUnits();
            const std::size_t budget = storeLeft_ < (npos / 4) - 2 ? 4 * (storeLeft_ + 2) : npos;
            const std::size_t j = tag.PrevSpace(k, budget);
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
            const View nameText = tag.Slice(j, k + 1, scratchName_);
            const View valueText = tag.Slice(q + 1, v, scratchValue_);
            wchar_t* room = element.Room(nameText.size() + valueText.size());
            // Stored forms are made before trimming: neither lowering nor unescaping touches
            // white space, so the order does not matter.
            const std::wstring_view rawName(
                room, text_.template Store<true, false>(nameText, room).units);
            wchar_t* valueRoom = room + rawName.size();
            const Stored stored = text_.template Store<false, true>(valueText, valueRoom);
            const std::wstring_view name = TrimWhiteSpace(rawName);
            const std::wstring_view value = TrimWhiteSpace({valueRoom, stored.units});
            // A value counts as written: each backslash-quote as two characters.
            Store(name.size() + value.size() + (stored.decoded - stored.units), 1, where(e));
            const std::size_t nameAt =
                j + text_.RawLength(rawName.substr(0, name.data() - rawName.data()));
            xmlAttributePlace place;
            if (nameAt >= tag.gapLen && tag.ToSrc(nameAt) > ownStart) {
                place = {text_.UnitAt(tag.ToSrc(nameAt)), text_.UnitAt(tag.ToSrc(q)),
                         text_.UnitAt(tag.ToSrc(v))};
            }
            attributes_.push_back(xmlAttribute::Stored(element.Memory(), name, value, place));
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
    std::array<KnownName, 64> knownNames_;
    std::vector<xmlAttribute> attributes_; // of the element being read, given to it at once
    String scratchName_;
    String scratchValue_;
    std::size_t unitsAtLeast_;
    bool unitsKnown_ = false;
    std::size_t storeLeft_;
    std::size_t attributesLeft_;
};

} // namespace xmlRules
