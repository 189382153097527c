#include "text/charset_conversion.h"

#include <errno.h>
#include <iconv.h>

#include <stdexcept>

#include "text/cp1251.h"
#include "text/unicode.h"

namespace kiosk {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One iconv conversion state, closed with its owner.
class IconvConverter {
public:
    IconvConverter(std::string_view to, std::string_view from)
        : handle_(::iconv_open(std::string(to).c_str(), std::string(from).c_str())) {
        if (handle_ == Invalid()) {
            throw std::invalid_argument("iconv: no conversion from " + std::string(from) + " to " +
                                        std::string(to));
        }
    }
    ~IconvConverter() { ::iconv_close(handle_); }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    // Converts as much of in as it can into out (appending); returns 0 when all of in was taken,
    // else the errno that stopped it (EILSEQ, EINVAL). in is left at the first byte not taken.
    int Convert(std::string_view& in, std::string& out) {
        char* source = const_cast<char*>(in.data());
        std::size_t sourceLeft = in.size();
        int error = 0;
        while (sourceLeft > 0) {
            const std::size_t used = out.size();
            out.resize(used + sourceLeft * 4 + 16);
            char* target = out.data() + used;
            std::size_t targetLeft = out.size() - used;
            const std::size_t result = ::iconv(handle_, &source, &sourceLeft, &target, &targetLeft);
            out.resize(out.size() - targetLeft);
            if (result != static_cast<std::size_t>(-1)) break;
            if (errno != E2BIG) {
                error = errno;
                break;
            }
        }
        in.remove_prefix(in.size() - sourceLeft);
        return error;
    }

private:
    static iconv_t Invalid() { return reinterpret_cast<iconv_t>(-1); }

    iconv_t handle_;
};

EncodedText EncodeCp1251(std::string_view utf8) {
    EncodedText encoded;
    encoded.bytes.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, pos);
        char byte = 0;
        // U+FFFD, which an invalid byte reads as, is not in the table either.
        if (!CodePointToCp1251(cp, byte)) {
            encoded.missing = cp;
            break;
        }
        encoded.bytes += byte;
    }
    return encoded;
}

// UTF-8 to UTF-8 only checks: the text is taken up to its first invalid sequence.
EncodedText CheckUtf8(std::string_view utf8) {
    const std::size_t valid = ValidUtf8Length(utf8);
    return {std::string(utf8.substr(0, valid)), valid == utf8.size() ? 0 : kReplacement};
}

EncodedText EncodeWithIconv(std::string_view utf8, std::string_view charset) {
    IconvConverter converter(charset, "UTF-8");
    EncodedText encoded;
    std::string_view rest = utf8;
    if (converter.Convert(rest, encoded.bytes) != 0) {
        std::size_t pos = 0;
        encoded.missing = rest.empty() ? kReplacement : NextCodePoint(rest, pos);
    }
    return encoded;
}

std::string DecodeWithIconv(std::string_view bytes, std::string_view charset) {
    IconvConverter converter("UTF-8", charset);
    std::string out;
    out.reserve(bytes.size() * 2);
    std::string_view rest = bytes;
    while (!rest.empty()) {
        if (converter.Convert(rest, out) == 0) break;
        AppendUtf8(out, kReplacement);
        rest.remove_prefix(1);
    }
    return out;
}

}  // namespace

EncodedText EncodeUtf8(std::string_view utf8, std::string_view charset) {
    if (charset == "windows-1251") return EncodeCp1251(utf8);
    if (charset == "UTF-8") return CheckUtf8(utf8);
    return EncodeWithIconv(utf8, charset);
}

std::string DecodeToUtf8(std::string_view bytes, std::string_view charset) {
    if (charset == "windows-1251") return Cp1251ToUtf8(bytes);
    if (charset == "UTF-8") return SanitizeUtf8(bytes);
    if (charset == "UTF-16LE") return Utf16ToUtf8(bytes, false);
    if (charset == "UTF-16BE") return Utf16ToUtf8(bytes, true);
    return DecodeWithIconv(bytes, charset);
}

}  // namespace kiosk
