#include "proxy/filter/zstd_decoding.h"

#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "proxy/filter/capped_output.h"

namespace kiosk {

namespace {

constexpr size_t kChunkSize = 128 * 1024;  // ZSTD_DStreamOutSize(): one whole block

struct FreeZstdContext {
    void operator()(ZSTD_DCtx* context) const { ZSTD_freeDCtx(context); }
};
using ZstdDecoder = std::unique_ptr<ZSTD_DCtx, FreeZstdContext>;

ZstdDecoder MakeZstdDecoder() {
    ZstdDecoder decoder(ZSTD_createDCtx());
    if (!decoder ||
        ZSTD_isError(ZSTD_DCtx_setParameter(decoder.get(), ZSTD_d_windowLogMax, kMostZstdWindowLog)))
        throw std::bad_alloc();
    return decoder;
}

// The first frame's content size, when its header gives one, spares the copies of a growing output.
void ReserveFirstFrameSize(std::string_view body, CappedOutput& output) {
    const unsigned long long size = ZSTD_getFrameContentSize(body.data(), body.size());
    if (size != ZSTD_CONTENTSIZE_UNKNOWN && size != ZSTD_CONTENTSIZE_ERROR)
        output.Reserve(static_cast<size_t>(std::min<unsigned long long>(size, SIZE_MAX)));
}

DecodingStatus StatusOfError(size_t code) {
    return ZSTD_getErrorCode(code) == ZSTD_error_frameParameter_windowTooLarge ? DecodingStatus::TooLarge
                                                                               : DecodingStatus::Faulty;
}

}  // namespace

DecodedContent DecodeZstdBody(std::string_view body, size_t mostOutput) {
    const ZstdDecoder decoder = MakeZstdDecoder();
    CappedOutput output(mostOutput);
    ReserveFirstFrameSize(body, output);
    const auto chunk = std::make_unique_for_overwrite<char[]>(kChunkSize);
    ZSTD_inBuffer input{body.data(), body.size(), 0};
    size_t consumed = 0;
    while (true) {
        ZSTD_outBuffer out{chunk.get(), kChunkSize, 0};
        const size_t hint = ZSTD_decompressStream(decoder.get(), &out, &input);
        if (!output.Append(chunk.get(), out.pos)) return {{}, DecodingStatus::TooLarge, {}};
        if (ZSTD_isError(hint)) {
            const DecodingStatus status = StatusOfError(hint);
            if (status == DecodingStatus::TooLarge) return {{}, status, {}};
            return {output.Take(), status, {}};
        }
        const bool progressed = out.pos != 0 || input.pos != consumed;
        consumed = input.pos;
        const bool inputUsedUp = input.pos == input.size;
        // 0: a frame ended with all its output flushed; another may follow.
        if (hint == 0) {
            if (inputUsedUp) return {output.Take(), DecodingStatus::Complete, {}};
            continue;
        }
        // Room left in the chunk means the decoder wants input: at the body's end, it was cut short.
        if ((inputUsedUp && out.pos < out.size) || !progressed)
            return {output.Take(), DecodingStatus::Faulty, {}};
    }
}

}  // namespace kiosk
