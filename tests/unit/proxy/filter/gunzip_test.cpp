#include "proxy/filter/gunzip.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// Page-like text with some variety, long enough to span several 16 KiB chunks.
std::string SampleText(size_t length, int seed = 0) {
    std::string text;
    for (int line = 0; text.size() < length; ++line) {
        text += "<p class=\"row" + std::to_string((line * 7919 + seed) % 1000) + "\">Строка " +
                std::to_string(line) + "</p>\n";
    }
    text.resize(length);
    return text;
}

// Raw deflate data of data; with Z_FULL_FLUSH it is not ended but stops at a byte boundary, so more
// blocks can be put after it.
std::string Deflate(const std::string& data, int flush = Z_FINISH) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, data.size()) + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, flush), flush == Z_FINISH ? Z_STREAM_END : Z_OK);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string LittleEndian32(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

uint32_t Crc(const std::string& data) {
    return crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
}

std::string Trailer(const std::string& data) {
    return LittleEndian32(Crc(data)) + LittleEndian32(static_cast<uint32_t>(data.size()));
}

// A header with MTIME, XFL and OS filled in, and optional fields chosen by flags.
std::string Header(unsigned flags, char method = 8) {
    std::string header{'\x1F', '\x8B', method, static_cast<char>(flags), 1, 2, 3, 4, 0, 3};
    if (flags & 0x04) header += std::string("\x2C\x01", 2) + std::string(300, 'x');  // FEXTRA, XLEN 300
    if (flags & 0x08) header += std::string("page.html\0", 10);
    if (flags & 0x10) header += std::string("a comment\0", 10);
    if (flags & 0x02) header += "\xAB\xCD";  // FHCRC: not checked
    return header;
}

std::string Member(const std::string& data, unsigned flags = 0) {
    return Header(flags) + Deflate(data) + Trailer(data);
}

// Runs a shell command in dir (the test's own fixed commands only).
void Shell(const TempDir& dir, const std::string& command) {
    ASSERT_EQ(std::system(("cd '" + dir.str() + "' && " + command).c_str()), 0) << command;
}

void ExpectResult(const GunzipResult& result, const std::string& output, bool error) {
    EXPECT_EQ(result.error, error);
    EXPECT_EQ(result.output.size(), output.size());
    EXPECT_TRUE(result.output == output);  // not EXPECT_EQ: no printing of megabytes
}

TEST(GunzipStream, InputThatIsNotGzipIsCopied) {
    for (const std::string& input : {std::string("<html>plain</html>"), std::string(), std::string("\x1F"),
                                     std::string("\x1F\x8C\x08\x00", 4), std::string("a\x1F\x8B", 3)}) {
        ExpectResult(GunzipStream(input), input, false);
    }
}

TEST(GunzipStream, DecodesWhatTheGzipToolWrites) {
    TempDir dir;
    const std::string page = SampleText(200'000);
    WriteFile(dir / "page.html", page);
    Shell(dir, "gzip -N -k page.html");
    const std::string packed = ReadFile(dir / "page.html.gz");
    ASSERT_TRUE(packed[3] & 0x08);  // the file name is in the header
    ExpectResult(GunzipStream(packed), page, false);
}

TEST(GunzipStream, DecodesConcatenatedMembersInOrder) {
    TempDir dir;
    const std::string first = SampleText(70'000, 1), second = SampleText(5, 2), third = SampleText(40'000, 3);
    WriteFile(dir / "a", first);
    WriteFile(dir / "b", second);
    WriteFile(dir / "c", third);
    Shell(dir, "gzip -c a > a.gz && gzip -c b > b.gz && gzip -c c > c.gz && cat a.gz b.gz c.gz > all.gz");
    ExpectResult(GunzipStream(ReadFile(dir / "all.gz")), first + second + third, false);
    ExpectResult(GunzipStream(Member("") + Member("x") + Member("")), "x", false);
}

TEST(GunzipStream, SkipsEveryOptionalHeaderField) {
    const std::string data = SampleText(1000);
    for (unsigned flags : {0x01u, 0x02u, 0x04u, 0x08u, 0x10u, 0x1Fu}) {
        SCOPED_TRACE(flags);
        ExpectResult(GunzipStream(Member(data, flags)), data, false);
    }
}

TEST(GunzipStream, BadOrShortHeaderIsAFaultWithNoOutput) {
    const std::string data = SampleText(1000);
    ExpectResult(GunzipStream(Header(0, 9) + Deflate(data) + Trailer(data)), "", true);
    for (unsigned reserved : {0x20u, 0x40u, 0x80u}) {
        ExpectResult(GunzipStream(Member(data, reserved)), "", true);
    }
    const std::string header = Header(0x1E);
    for (size_t length = 2; length < header.size(); ++length) {
        SCOPED_TRACE(length);
        ExpectResult(GunzipStream(header.substr(0, length)), "", true);
    }
}

TEST(GunzipStream, TrailerMismatchKeepsTheDataAndIsAFault) {
    const std::string data = SampleText(50'000);
    const std::string body = Header(0) + Deflate(data);
    const uint32_t size = static_cast<uint32_t>(data.size());
    ExpectResult(GunzipStream(body + LittleEndian32(Crc(data) ^ 1) + LittleEndian32(size)), data, true);
    ExpectResult(GunzipStream(body + LittleEndian32(Crc(data)) + LittleEndian32(size + 1)), data, true);
    for (size_t length = 0; length < 8; ++length) {
        SCOPED_TRACE(length);
        ExpectResult(GunzipStream(body + Trailer(data).substr(0, length)), data, true);
    }
}

// What zlib itself gets out of deflate data that may be cut short, in one call with room for all.
std::string InflateAllAvailable(const std::string& deflated, size_t room) {
    z_stream stream{};
    EXPECT_EQ(inflateInit2(&stream, -MAX_WBITS), Z_OK);
    std::string out(room, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
    stream.avail_in = static_cast<uInt>(deflated.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    inflate(&stream, Z_SYNC_FLUSH);
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return out;
}

TEST(GunzipStream, InputEndingInsideDeflateDataKeepsAllItCanDecodeWithoutFault) {
    // Text spans several input chunks. Zeros are cut at every length: some cuts end the input while
    // inflate still holds output for a full output chunk.
    const std::string text = SampleText(600'000), zeros(200'000, '\0');
    const std::string deflatedText = Deflate(text), deflatedZeros = Deflate(zeros);
    for (size_t cut : {size_t{0}, size_t{1}, deflatedText.size() / 3, deflatedText.size() - 1}) {
        SCOPED_TRACE(cut);
        const std::string prefix = deflatedText.substr(0, cut);
        ExpectResult(GunzipStream(Header(0) + prefix), InflateAllAvailable(prefix, text.size()), false);
    }
    for (size_t cut = 0; cut < deflatedZeros.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::string prefix = deflatedZeros.substr(0, cut);
        ExpectResult(GunzipStream(Header(0) + prefix), InflateAllAvailable(prefix, zeros.size()), false);
    }
}

TEST(GunzipStream, CorruptDeflateDataKeepsTheGoodPrefixAndIsAFault) {
    const std::string invalidBlock = "\x07\x00\x00\x00";  // final block of the reserved type 3
    ExpectResult(GunzipStream(Header(0) + invalidBlock), "", true);
    const std::string data = SampleText(100'000);
    ExpectResult(GunzipStream(Header(0) + Deflate(data, Z_FULL_FLUSH) + invalidBlock + Trailer(data)), data,
                 true);
}

TEST(GunzipStream, BytesAfterAMemberThatAreNotGzipAreAppended) {
    const std::string data = SampleText(20'000);
    const std::string tail("\r\n\0x", 4);
    ExpectResult(GunzipStream(Member(data) + tail), data + tail, false);
    ExpectResult(GunzipStream(Member(data) + "\x1F"), data + "\x1F", false);
    // A second member with a broken header: the first member's data stays.
    ExpectResult(GunzipStream(Member(data) + Header(0, 7)), data, true);
}

TEST(GunzipStream, OutputStopsAtTheCapAsAFault) {
    const std::string data = SampleText(100'000);
    ExpectResult(GunzipStream(Member(data), 40'000), data.substr(0, 40'000), true);
    ExpectResult(GunzipStream(Member(data), data.size()), data, false);
    ExpectResult(GunzipStream(Member(data) + Member(data), 150'000), (data + data).substr(0, 150'000), true);
    ExpectResult(GunzipStream(Member(data) + "tail", data.size() + 2), data + "ta", true);
    // A trailer claiming 4 GiB must not make the decoder reserve anywhere near that.
    const std::string lying = Header(0) + Deflate("tiny") + LittleEndian32(Crc("tiny")) + "\xFF\xFF\xFF\xFF";
    EXPECT_LT(GunzipStream(lying).output.capacity(), size_t{1} << 20);
}

TEST(GunzipStream, ABombStopsAtTheRealCap) {
    const std::string zeros(size_t{1} << 20, '\0');  // 1 KiB of gzip per MiB of output
    const std::string member = Member(zeros);
    std::string bomb;
    for (int i = 0; i < 300; ++i) bomb += member;
    const GunzipResult result = GunzipStream(bomb);
    EXPECT_TRUE(result.error);
    EXPECT_EQ(result.output.size(), kMostGunzipOutput);
    EXPECT_EQ(result.output.find_first_not_of('\0'), std::string::npos);
}

}  // namespace
}  // namespace kiosk
