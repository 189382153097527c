#include "proxy/filter/content_decoding.h"

#include <brotli/encode.h>
#include <gtest/gtest.h>
#include <zlib.h>
#include <zstd.h>

#include <string>

#include "proxy/filter/capped_output.h"

namespace kiosk {
namespace {

std::string SampleText(size_t length) {
    std::string text;
    for (int line = 0; text.size() < length; ++line)
        text += "<p class=\"row" + std::to_string(line * 7919 % 1000) + "\">Строка " + std::to_string(line) +
                "</p>\n";
    text.resize(length);
    return text;
}

// windowBits as deflateInit2 takes them: 15 zlib-wrapped, -15 raw, 31 gzip.
std::string Deflate(const std::string& data, int windowBits, int level = 6) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}
std::string Gzip(const std::string& data, int level = 6) {
    return Deflate(data, 31, level);
}
std::string Zlib(const std::string& data, int level = 6) {
    return Deflate(data, 15, level);
}
std::string RawDeflate(const std::string& data, int level = 6) {
    return Deflate(data, -15, level);
}

std::string Brotli(const std::string& data, int quality = 5) {
    size_t size = BrotliEncoderMaxCompressedSize(data.size());
    std::string out(size, '\0');
    EXPECT_TRUE(BrotliEncoderCompress(quality, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_TEXT, data.size(),
                                      reinterpret_cast<const uint8_t*>(data.data()), &size,
                                      reinterpret_cast<uint8_t*>(out.data())));
    out.resize(size);
    return out;
}

std::string Zstd(const std::string& data, int level = 3) {
    std::string out(ZSTD_compressBound(data.size()), '\0');
    const size_t size = ZSTD_compress(out.data(), out.size(), data.data(), data.size(), level);
    EXPECT_FALSE(ZSTD_isError(size));
    out.resize(size);
    return out;
}

// A zstd frame whose header asks for a window of 2^windowLog bytes, holding "abc" in one raw block.
std::string ZstdFrameWithWindow(int windowLog) {
    return std::string("\x28\xB5\x2F\xFD\x00", 5) + static_cast<char>((windowLog - 10) << 3) +
           std::string("\x19\x00\x00", 3) + "abc";
}

const std::string kText = SampleText(600'000);  // several zstd blocks

std::string FirstHalf(const std::string& bytes) {
    return bytes.substr(0, bytes.size() / 2);
}

struct DecodingCase {
    const char* name;
    std::string contentEncoding;
    std::string body;
    DecodingStatus status;
    bool whole = true;  // the output is the whole text, else a prefix of it
    std::string encoding = {};
};

TEST(DecodeContent, EachEncodingAndTheirStacksComeOffInReverseOrder) {
    const DecodingCase cases[] = {
        {"gzip", "gzip", Gzip(kText), DecodingStatus::Complete},
        {"x-gzip", "x-gzip", Gzip(kText), DecodingStatus::Complete},
        {"zlib deflate", "deflate", Zlib(kText), DecodingStatus::Complete},
        {"raw deflate", "deflate", RawDeflate(kText), DecodingStatus::Complete},
        {"br", "br", Brotli(kText), DecodingStatus::Complete},
        {"zstd", "zstd", Zstd(kText), DecodingStatus::Complete},
        {"two zstd frames", "zstd", Zstd(kText.substr(0, 5000)) + Zstd(kText.substr(5000)),
         DecodingStatus::Complete},
        {"gzip, br", "gzip, br", Brotli(Gzip(kText)), DecodingStatus::Complete},
        {"deflate, zstd", "deflate, zstd", Zstd(Zlib(kText)), DecodingStatus::Complete},
        {"case and blanks", " \tGZip ,, identity,BR\t", Brotli(Gzip(kText)), DecodingStatus::Complete},
        {"identity", "identity", kText, DecodingStatus::Complete},
        {"no encoding", "", kText, DecodingStatus::Complete},
        {"gzip label on a plain body", "gzip", kText, DecodingStatus::Complete},
        {"gzip cut short", "gzip", FirstHalf(Gzip(kText)), DecodingStatus::Complete, false},
        {"deflate cut short", "deflate", FirstHalf(Zlib(kText)), DecodingStatus::Faulty, false, "deflate"},
        {"br cut short", "br", FirstHalf(Brotli(kText)), DecodingStatus::Faulty, false, "br"},
        {"zstd cut short", "zstd", FirstHalf(Zstd(kText)), DecodingStatus::Faulty, false, "zstd"},
        {"outer br cut short", "gzip, Br", FirstHalf(Brotli(Gzip(kText))), DecodingStatus::Faulty, false,
         "Br"},
        {"br with bytes after it", "br", Brotli(kText) + "tail", DecodingStatus::Faulty, false, "br"},
        {"zstd with bytes after it", "zstd", Zstd(kText) + "tail", DecodingStatus::Faulty, false, "zstd"},
    };
    for (const DecodingCase& test : cases) {
        const DecodedContent decoded = DecodeContent(test.contentEncoding, test.body);
        EXPECT_EQ(decoded.status, test.status) << test.name;
        EXPECT_EQ(decoded.encoding, test.encoding) << test.name;
        if (test.whole) {
            EXPECT_EQ(decoded.output, kText) << test.name;
        } else {  // a prefix of the text, more than nothing
            EXPECT_GT(decoded.output.size(), 1000u) << test.name;
            EXPECT_TRUE(kText.starts_with(decoded.output)) << test.name;
        }
    }
}

TEST(DecodeContent, UnknownEncodingsAreNamedBeforeAnythingIsDecoded) {
    const std::pair<std::string, std::string> cases[] = {
        {"compress", "compress"},
        {"gzip, foo", "foo"},
        {"Foo ,gzip", "Foo"},
        {"br, dcz", "dcz"},
        {"gzip, gzip, gzip, gzip, identity, br", "5 encodings"}};
    for (const auto& [contentEncoding, unknown] : cases) {
        const DecodedContent decoded = DecodeContent(contentEncoding, Brotli(Gzip(kText)));
        EXPECT_EQ(decoded.status, DecodingStatus::Unknown) << contentEncoding;
        EXPECT_EQ(decoded.encoding, unknown);
        EXPECT_TRUE(decoded.output.empty());
    }
    // An empty body stays empty under every encoding it knows.
    EXPECT_EQ(DecodeContent("gzip, deflate, br, zstd", "").status, DecodingStatus::Complete);
}

TEST(DecodeContent, ABombOfEachKindStopsAtTheCap) {
    constexpr size_t kCap = size_t{1} << 20;
    const std::string zeros(size_t{16} << 20, '\0');  // 16 times the cap
    const std::pair<std::string, std::string> bombs[] = {
        {"gzip", Gzip(zeros, 1)}, {"deflate", Zlib(zeros, 1)}, {"deflate", RawDeflate(zeros, 1)},
        {"br", Brotli(zeros, 1)}, {"zstd", Zstd(zeros, 1)},    {"gzip, gzip", Gzip(Gzip(zeros, 1), 1)},
    };
    for (const auto& [contentEncoding, bomb] : bombs) {
        const DecodedContent decoded = DecodeContent(contentEncoding, bomb, kCap);
        EXPECT_EQ(decoded.status, DecodingStatus::TooLarge) << contentEncoding;
        EXPECT_EQ(decoded.encoding, contentEncoding.substr(0, contentEncoding.find(',')));
        EXPECT_TRUE(decoded.output.empty());
    }
    // Exactly the cap is no bomb.
    EXPECT_EQ(DecodeContent("zstd", Zstd(zeros.substr(0, kCap)), kCap).status, DecodingStatus::Complete);
}

TEST(DecodeContent, AZstdWindowOver8MiBIsRefusedAsTooLarge) {
    const DecodedContent refused = DecodeContent("zstd", ZstdFrameWithWindow(24));
    EXPECT_EQ(refused.status, DecodingStatus::TooLarge);
    const DecodedContent accepted = DecodeContent("zstd", ZstdFrameWithWindow(23));
    EXPECT_EQ(accepted.status, DecodingStatus::Complete);
    EXPECT_EQ(accepted.output, "abc");
}

TEST(CappedOutput, KeepsAPrefixAndNeverHoldsMoreRoomThanTheCap) {
    constexpr size_t kCap = 100'000;
    CappedOutput output(kCap);
    const std::string chunk = SampleText(7'000);
    while (output.Append(chunk.data(), chunk.size())) {
    }
    EXPECT_TRUE(output.overflowed());
    EXPECT_EQ(output.text().size(), kCap);
    EXPECT_LE(output.text().capacity(), kCap);
    EXPECT_TRUE(SampleText(kCap + 7'000).starts_with(output.text().substr(0, 7'000)));
}

TEST(AcceptedEncodings, OnlyDecodableElementsStayAsWritten) {
    const std::pair<const char*, const char*> cases[] = {
        {"gzip, deflate", "gzip, deflate"},
        {"gzip, deflate, br, zstd", "gzip, deflate, br, zstd"},
        {"br;q=1.0, compress;q=0.5, *;q=0.1", "br;q=1.0"},
        {"dcb, dcz", "identity"},
        {"*", "identity"},
        {"", "identity"},
        {" GZip ; q=0.8 ,x-gzip,Identity;q=0,\tsdch", "GZip ; q=0.8, x-gzip, Identity;q=0"},
        {"zstd,,br", "zstd, br"},
    };
    for (const auto& [accept, limited] : cases) EXPECT_EQ(AcceptedEncodings(accept), limited) << accept;
}

}  // namespace
}  // namespace kiosk
