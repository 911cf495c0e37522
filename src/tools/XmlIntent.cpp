#include "tools/XmlIntent.h"

#include "tools/HtmlEntities.h"
#include "xml/xmlElement.h"
#include "xml/xmlReader.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;

bool IsXmlSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (const wchar_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

std::string Tagged(std::wstring_view name) {
    std::string tag(1, '<');
    tag += Narrow(name);
    tag += '>';
    return tag;
}

// Decodes the five predefined entities, the named entities of HTML an author reaches for
// ("&uuml;") and character references; anything else after "&" stays as written.
std::wstring DecodeEntities(std::wstring_view raw, bool& decoded) {
    static constexpr std::pair<std::wstring_view, wchar_t> kNamed[] = {
        {L"lt", L'<'}, {L"gt", L'>'}, {L"amp", L'&'}, {L"quot", L'"'}, {L"apos", L'\''}};
    std::wstring out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::size_t semi = raw[i] == L'&' ? raw.find(L';', i) : npos;
        if (semi == npos || semi - i > 10) {
            out += raw[i];
            continue;
        }
        const std::wstring_view ref = raw.substr(i + 1, semi - i - 1);
        std::optional<wchar_t> c = HtmlEntity(ref);
        for (const auto& [name, ch] : kNamed) {
            if (ref == name) {
                c = ch;
            }
        }
        if (!c && ref.size() > 1 && ref[0] == L'#') {
            const bool hex = ref[1] == L'x';
            std::uint32_t code = 0;
            bool digits = ref.size() > (hex ? 2u : 1u);
            for (std::size_t k = hex ? 2 : 1; k < ref.size() && digits; ++k) {
                const wchar_t d = ref[k];
                const int v = d >= L'0' && d <= L'9'          ? d - L'0'
                              : hex && d >= L'a' && d <= L'f' ? d - L'a' + 10
                              : hex && d >= L'A' && d <= L'F' ? d - L'A' + 10
                                                              : -1;
                digits = v >= 0 && code < 0x110000;
                code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(v < 0 ? 0 : v);
            }
            if (digits && code > 0 && code < 0x10000) {
                c = static_cast<wchar_t>(code);
            }
        }
        if (!c) {
            out += raw[i];
            continue;
        }
        out += *c;
        decoded = true;
        i = semi;
    }
    return out;
}

class Reader {
public:
    explicit Reader(std::wstring_view text) : s_(text) {}

    IntentTree Run() {
        if (!s_.empty() && s_[0] == 0xFEFF) {
            pos_ = 1;
        }
        tree_.declaration = s_.substr(pos_, 5) == L"<?xml";
        std::vector<IntentElement*> open;
        while (pos_ < s_.size() && !tree_.error && !(tree_.root && open.empty())) {
            if (s_[pos_] != L'<') {
                Text(!open.empty() || !tree_.root);
            } else if (Starts(L"<?")) {
                SkipPast(L"?>", "a '<?' is not closed by '?>'");
            } else if (Starts(L"<!--")) {
                tree_.comments.push_back(pos_);
                SkipPast(L"-->", "a comment is not closed by '-->'");
            } else if (Starts(L"<![CDATA[")) {
                tree_.ignoredText.push_back(pos_);
                SkipPast(L"]]>", "a CDATA section is not closed");
            } else if (Starts(L"<!")) {
                tree_.doctypes.push_back(pos_);
                SkipDeclaration();
            } else if (Starts(L"</")) {
                EndTag(open);
            } else {
                StartTag(open);
            }
        }
        if (!tree_.error && !open.empty()) {
            Fail(open.back()->offset, Tagged(open.back()->name) + " has no end tag");
        }
        if (!tree_.error && !tree_.root) {
            Fail(pos_, "the file holds no element");
        }
        return std::move(tree_);
    }

private:
    bool Starts(std::wstring_view what) const { return s_.substr(pos_, what.size()) == what; }

    void Fail(std::size_t at, std::string what, std::optional<std::size_t> suspect = {}) {
        tree_.error = IntentError{at, std::move(what), suspect};
    }

    void SkipPast(std::wstring_view end, const char* what) {
        const std::size_t e = s_.find(end, pos_ + 2);
        if (e == npos) {
            Fail(pos_, what);
            return;
        }
        pos_ = e + end.size();
    }

    void SkipDeclaration() {
        int brackets = 0;
        for (std::size_t i = pos_ + 2; i < s_.size(); ++i) {
            if (s_[i] == L'[') {
                ++brackets;
            } else if (s_[i] == L']') {
                --brackets;
            } else if (s_[i] == L'>' && brackets <= 0) {
                pos_ = i + 1;
                return;
            }
        }
        Fail(pos_, "a '<!' declaration is not closed");
    }

    void Text(bool counts) {
        const std::size_t end = std::min(s_.find(L'<', pos_), s_.size());
        for (std::size_t i = pos_; i < end; ++i) {
            if (!IsXmlSpace(s_[i]) && s_[i] != 0xFEFF) {
                if (counts) {
                    tree_.ignoredText.push_back(i);
                }
                break;
            }
        }
        pos_ = end;
    }

    std::size_t NameEnd(std::size_t from) const {
        std::size_t i = from;
        while (i < s_.size() && !IsXmlSpace(s_[i]) && s_[i] != L'>' && s_[i] != L'/' &&
               s_[i] != L'=' && s_[i] != L'"' && s_[i] != L'\'' && s_[i] != L'<') {
            ++i;
        }
        return i;
    }

    void SkipSpace() {
        while (pos_ < s_.size() && IsXmlSpace(s_[pos_])) {
            ++pos_;
        }
    }

    bool EndsValue(std::size_t close) const {
        return close + 1 >= s_.size() || IsXmlSpace(s_[close + 1]) || s_[close + 1] == L'/' ||
               s_[close + 1] == L'>';
    }

    // Finds the closing quote of the value opened at pos_. A double-quoted value may hold
    // "\"" as the menu reads it, unless that reading runs on past a plain end of the
    // value: then the value ends in a backslash.
    std::size_t ValueEnd(IntentAttribute& attribute) const {
        const std::size_t plain = s_.find(attribute.quote, pos_ + 1);
        std::size_t close = plain;
        if (attribute.quote == L'"') {
            while (close != npos && s_[close - 1] == L'\\') {
                close = s_.find(L'"', close + 1);
            }
            if (close != plain && plain != npos && EndsValue(plain) &&
                (close == npos || !EndsValue(close))) {
                attribute.backslashEnd = true;
                close = plain;
            }
        }
        // The menu reads a "<" inside a value as written; a value never holds a ">" for it.
        const std::size_t gt = s_.find(L'>', pos_ + 1);
        return close == npos || (gt != npos && gt < close) ? npos : close;
    }

    void EndTag(std::vector<IntentElement*>& open) {
        const std::size_t at = pos_;
        const std::size_t nameEnd = NameEnd(pos_ + 2);
        const std::wstring_view name = s_.substr(pos_ + 2, nameEnd - pos_ - 2);
        pos_ = nameEnd;
        SkipSpace();
        if (pos_ >= s_.size() || s_[pos_] != L'>') {
            Fail(at, "an end tag is not closed by '>'");
        } else if (open.empty() || open.back()->name != name) {
            std::string what = Tagged(L"/" + std::wstring(name));
            what += " does not end the open element";
            if (!open.empty()) {
                what += ' ';
                what += Tagged(open.back()->name);
            }
            Fail(at, std::move(what));
        } else {
            open.pop_back();
            ++pos_;
        }
    }

    void StartTag(std::vector<IntentElement*>& open) {
        auto element = std::make_unique<IntentElement>();
        element->offset = pos_;
        const std::size_t nameEnd = NameEnd(pos_ + 1);
        element->name = s_.substr(pos_ + 1, nameEnd - pos_ - 1);
        if (element->name.empty()) {
            Fail(pos_, "a '<' is not followed by an element name");
            return;
        }
        pos_ = nameEnd;
        std::optional<std::size_t> lastValue;
        bool empty = false;
        for (;;) {
            const std::size_t spaceStart = pos_;
            SkipSpace();
            if (pos_ >= s_.size()) {
                Fail(element->offset, "a start tag is not closed by '>'", lastValue);
                return;
            }
            if (s_[pos_] == L'>') {
                ++pos_;
                break;
            }
            if (Starts(L"/>")) {
                pos_ += 2;
                empty = true;
                break;
            }
            const std::size_t nameAt = pos_;
            const std::size_t attrEnd = NameEnd(pos_);
            if (attrEnd == pos_) {
                Fail(pos_, "a stray character stands where an attribute name belongs", lastValue);
                return;
            }
            IntentAttribute attribute;
            attribute.name = LowerAsciiLetters(s_.substr(pos_, attrEnd - pos_));
            attribute.offset = nameAt;
            attribute.spaceBefore = nameAt > spaceStart && s_[nameAt - 1] == L' ';
            pos_ = attrEnd;
            SkipSpace();
            if (pos_ >= s_.size() || s_[pos_] != L'=') {
                Fail(nameAt, "the attribute has no '=' and value", lastValue);
                return;
            }
            ++pos_;
            SkipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != L'"' && s_[pos_] != L'\'')) {
                Fail(pos_, "the value is not in quotes", lastValue);
                return;
            }
            attribute.quote = s_[pos_];
            attribute.valueOffset = pos_;
            const std::size_t close = ValueEnd(attribute);
            if (close == npos) {
                Fail(pos_, "the value has no closing quote", pos_);
                return;
            }
            std::wstring raw(s_.substr(pos_ + 1, close - pos_ - 1));
            if (attribute.quote == L'"' && !attribute.backslashEnd) {
                for (std::size_t q = raw.find(L"\\\""); q != npos; q = raw.find(L"\\\"", q + 1)) {
                    raw.erase(q, 1);
                }
            }
            attribute.value = DecodeEntities(raw, attribute.entity);
            lastValue = pos_;
            pos_ = close + 1;
            element->attributes.push_back(std::move(attribute));
        }
        IntentElement* raw = element.get();
        if (open.empty()) {
            tree_.root = std::move(element);
        } else {
            open.back()->children.push_back(std::move(element));
        }
        if (!empty) {
            open.push_back(raw);
            if (open.size() > kMaxElementDepth) {
                Fail(raw->offset, "elements are nested too deeply");
            }
        }
    }

    std::wstring_view s_;
    std::size_t pos_ = 0;
    IntentTree tree_;
};

} // namespace

IntentTree ReadIntent(std::wstring_view text) {
    return Reader(text).Run();
}
