// Feeds arbitrary bodies to GunzipStream. Besides the sanitizers' checks it compares the result with
// zlib's own gzip decoding when the input is exactly one valid member, and checks that a small output
// cap yields a prefix of the full output.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "proxy/filter/gunzip.h"

namespace {

constexpr size_t kSmallCap = 1000;

void Check(bool condition) {
    if (!condition) std::abort();
}

// zlib's decoding of data as one gzip member; false unless the member is valid and ends the input.
bool InflateSingleMember(std::string_view data, std::string& out) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    int status = Z_OK;
    char chunk[16384];
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, sizeof chunk - stream.avail_out);
        if (out.size() > kiosk::kMostGunzipOutput) status = Z_BUF_ERROR;
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    return whole;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const kiosk::GunzipResult full = kiosk::GunzipStream(input);
    if (!input.starts_with("\x1F\x8B")) {
        Check(!full.error && full.output == input);
        return 0;
    }

    std::string expected;
    if (InflateSingleMember(input, expected)) Check(!full.error && full.output == expected);

    const kiosk::GunzipResult capped = kiosk::GunzipStream(input, kSmallCap);
    if (full.output.size() > kSmallCap) {
        Check(capped.error && capped.output == full.output.substr(0, kSmallCap));
    } else {
        Check(capped.error == full.error && capped.output == full.output);
    }
    return 0;
}
