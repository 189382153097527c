#include "proxy/filter/html_prescan.h"

#include <optional>
#include <set>
#include <string>

#include "text/ascii.h"
#include "text/charset_label.h"

namespace kiosk {

namespace {

// Only the start of a page is looked at: a browser decides its charset before it has more.
constexpr std::size_t kPrescanLength = 1024;

bool IsHtmlSpace(char c) {
    return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Position of the first occurrence of word in text at or after from, ASCII letters in any case.
std::size_t FindIgnoringCase(std::string_view text, std::string_view word, std::size_t from) {
    for (std::size_t at = from; at + word.size() <= text.size(); ++at) {
        if (AsciiEqualsIgnoringCase(text.substr(at, word.size()), word)) return at;
    }
    return std::string_view::npos;
}

struct Attribute {
    std::string name;
    std::string value;
};

// A meta element's attributes as far as they decide a charset.
struct MetaCharsetFacts {
    bool gotPragma = false;                   // http-equiv="content-type"
    std::optional<bool> needPragma;           // unset: no charset named at all
    std::optional<std::string_view> charset;  // empty view: a label nobody knows
};

// One pass over the first bytes of a page; positions never leave them.
class Prescan {
public:
    explicit Prescan(std::string_view html) : bytes_(html.substr(0, kPrescanLength)) {}

    std::string_view Run() {
        while (pos_ < bytes_.size()) {
            if (At("<!--")) {
                SkipComment();
            } else if (AtMetaStart()) {
                pos_ += 5;
                const std::string_view charset = MetaCharset();
                if (!charset.empty()) return charset;
            } else if (AtTagStart()) {
                SkipTag();
            } else if (At("<!") || At("</") || At("<?")) {
                pos_ = Find(">", pos_);
            }
            ++pos_;
        }
        return {};
    }

private:
    bool At(std::string_view marker) const { return bytes_.substr(pos_).starts_with(marker); }
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    char Byte() const { return bytes_[pos_]; }
    std::size_t Find(std::string_view marker, std::size_t from) const {
        const std::size_t found = bytes_.find(marker, from);
        return found == std::string_view::npos ? bytes_.size() : found;
    }

    bool AtMetaStart() const {
        if (pos_ + 5 >= bytes_.size() || !AsciiEqualsIgnoringCase(bytes_.substr(pos_, 5), "<meta"))
            return false;
        return IsHtmlSpace(bytes_[pos_ + 5]) || bytes_[pos_ + 5] == '/';
    }
    // "<" and a letter, or "</" and a letter: a start or end tag.
    bool AtTagStart() const {
        const std::size_t letter = pos_ + (At("</") ? 2 : 1);
        return Byte() == '<' && letter < bytes_.size() && IsAsciiLetter(bytes_[letter]);
    }

    // To the ">" of the first "-->" after "<!" (so "<!-->" is a whole comment).
    void SkipComment() {
        const std::size_t end = Find("-->", pos_ + 2);
        pos_ = end == bytes_.size() ? end : end + 2;
    }

    void SkipTag() {
        while (!AtEnd() && !IsHtmlSpace(Byte()) && Byte() != '>') ++pos_;
        Attribute ignored;
        while (NextAttribute(ignored)) {
        }
    }

    void SkipSpaces() {
        while (!AtEnd() && IsHtmlSpace(Byte())) ++pos_;
    }

    // HTML's "get an attribute": false when the tag has no more (at its ">" or the end).
    bool NextAttribute(Attribute& attribute) {
        while (!AtEnd() && (IsHtmlSpace(Byte()) || Byte() == '/')) ++pos_;
        if (AtEnd() || Byte() == '>') return false;
        attribute = {};
        for (; !AtEnd(); ++pos_) {
            const char c = Byte();
            if (c == '=' && !attribute.name.empty()) {
                ++pos_;
                return ReadValue(attribute.value);
            }
            if (IsHtmlSpace(c)) {
                SkipSpaces();
                if (AtEnd()) return false;
                if (Byte() != '=') return true;
                ++pos_;
                return ReadValue(attribute.value);
            }
            if (c == '/' || c == '>') return true;
            attribute.name += LowerAscii(c);
        }
        return false;
    }

    bool ReadValue(std::string& value) {
        SkipSpaces();
        if (AtEnd()) return false;
        const char quote = Byte();
        if (quote == '"' || quote == '\'') {
            for (++pos_; !AtEnd(); ++pos_) {
                if (Byte() == quote) {
                    ++pos_;
                    return true;
                }
                value += LowerAscii(Byte());
            }
            return false;
        }
        for (; !AtEnd(); ++pos_) {
            if (IsHtmlSpace(Byte()) || Byte() == '>') return true;
            value += LowerAscii(Byte());
        }
        return false;
    }

    // The attributes of one meta element; the charset it declares, or empty.
    std::string_view MetaCharset() {
        MetaCharsetFacts facts;
        std::set<std::string> seen;
        Attribute attribute;
        while (NextAttribute(attribute)) {
            if (!seen.insert(attribute.name).second) continue;
            if (attribute.name == "http-equiv") {
                facts.gotPragma = facts.gotPragma || attribute.value == "content-type";
            } else if (attribute.name == "content" && !facts.charset) {
                const std::string_view known = CanonicalCharset(CharsetInMetaContent(attribute.value));
                if (!known.empty()) facts.charset = known, facts.needPragma = true;
            } else if (attribute.name == "charset") {
                facts.charset = CanonicalCharset(attribute.value);
                facts.needPragma = false;
            }
        }
        // A meta cut off by the end of the bytes looked at declares nothing.
        if (AtEnd() || !facts.needPragma || (*facts.needPragma && !facts.gotPragma)) return {};
        if (*facts.charset == "UTF-16LE" || *facts.charset == "UTF-16BE") return "UTF-8";
        return *facts.charset;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string_view CharsetInMetaContent(std::string_view content) {
    std::size_t pos = 0;
    while ((pos = FindIgnoringCase(content, "charset", pos)) != std::string_view::npos) {
        pos += 7;
        while (pos < content.size() && IsHtmlSpace(content[pos])) ++pos;
        if (pos >= content.size() || content[pos] != '=') continue;
        ++pos;
        while (pos < content.size() && IsHtmlSpace(content[pos])) ++pos;
        if (pos >= content.size()) return {};
        const char quote = content[pos];
        if (quote == '"' || quote == '\'') {
            const std::size_t end = content.find(quote, pos + 1);
            return end == std::string_view::npos ? std::string_view{}
                                                 : content.substr(pos + 1, end - pos - 1);
        }
        std::size_t end = pos;
        while (end < content.size() && !IsHtmlSpace(content[end]) && content[end] != ';') ++end;
        return content.substr(pos, end - pos);
    }
    return {};
}

std::string_view PrescanMetaCharset(std::string_view html) {
    return Prescan(html).Run();
}

}  // namespace kiosk
