#include "proxy/filter/inflate_decoding.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "proxy/filter/capped_output.h"

namespace kiosk {

namespace {

constexpr size_t kChunkSize = 64 * 1024;
constexpr size_t kMostFeed = UINT_MAX;  // zlib counts input in uInt

// RFC 1950: method 8 (deflate), a window of at most 32 KiB, and a header that is a multiple of 31.
bool StartsWithZlibHeader(std::string_view body) {
    if (body.size() < 2) return false;
    const unsigned method = static_cast<unsigned char>(body[0]);
    const unsigned flags = static_cast<unsigned char>(body[1]);
    return (method & 0x0F) == 8 && (method >> 4) <= 7 && (method * 256 + flags) % 31 == 0;
}

struct InflateEnd {
    void operator()(z_stream* stream) const {
        inflateEnd(stream);
        delete stream;
    }
};
using Inflater = std::unique_ptr<z_stream, InflateEnd>;

Inflater MakeInflater(bool zlibWrapped) {
    auto stream = std::make_unique<z_stream>();
    if (inflateInit2(stream.get(), zlibWrapped ? MAX_WBITS : -MAX_WBITS) != Z_OK) throw std::bad_alloc();
    return Inflater(stream.release());
}

DecodedContent Finish(CappedOutput& output, DecodingStatus status) {
    if (output.overflowed()) return {{}, DecodingStatus::TooLarge, {}};
    return {output.Take(), status, {}};
}

}  // namespace

DecodedContent InflateDeflateBody(std::string_view body, size_t mostOutput) {
    const Inflater inflater = MakeInflater(StartsWithZlibHeader(body));
    z_stream& stream = *inflater;
    CappedOutput output(mostOutput);
    const auto chunk = std::make_unique_for_overwrite<Bytef[]>(kChunkSize);
    size_t fed = 0;
    while (true) {
        if (stream.avail_in == 0 && fed < body.size()) {
            const size_t length = std::min(kMostFeed, body.size() - fed);
            stream.next_in = reinterpret_cast<const Bytef*>(body.data() + fed);
            stream.avail_in = static_cast<uInt>(length);
            fed += length;
        }
        stream.next_out = chunk.get();
        stream.avail_out = kChunkSize;
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (!output.Append(chunk.get(), kChunkSize - stream.avail_out))
            return Finish(output, DecodingStatus::TooLarge);
        if (status == Z_STREAM_END) {
            const bool trailing = stream.avail_in != 0 || fed < body.size();
            return Finish(output, trailing ? DecodingStatus::Faulty : DecodingStatus::Complete);
        }
        if (status != Z_OK && status != Z_BUF_ERROR) return Finish(output, DecodingStatus::Faulty);
        // Output room left over means inflate took all the input it had: at the body's end the
        // stream was cut short.
        const bool inputUsedUp = stream.avail_out != 0 && stream.avail_in == 0;
        if ((inputUsedUp && fed == body.size()) || (status == Z_BUF_ERROR && stream.avail_in != 0))
            return Finish(output, DecodingStatus::Faulty);
    }
}

}  // namespace kiosk
