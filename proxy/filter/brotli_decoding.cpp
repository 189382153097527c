#include "proxy/filter/brotli_decoding.h"

#include <brotli/decode.h>

#include <cstdint>
#include <memory>
#include <new>

#include "proxy/filter/capped_output.h"

namespace kiosk {

namespace {

constexpr size_t kChunkSize = 64 * 1024;

struct DestroyBrotliDecoder {
    void operator()(BrotliDecoderState* state) const { BrotliDecoderDestroyInstance(state); }
};
using BrotliDecoder = std::unique_ptr<BrotliDecoderState, DestroyBrotliDecoder>;

BrotliDecoder MakeBrotliDecoder() {
    BrotliDecoder decoder(BrotliDecoderCreateInstance(nullptr, nullptr, nullptr));
    if (!decoder) throw std::bad_alloc();
    return decoder;
}

// Moves the decoder's pending output, a chunk at a time, straight from its ring buffer; false when
// the cap was reached.
bool TakeOutput(BrotliDecoderState* decoder, CappedOutput& output) {
    while (BrotliDecoderHasMoreOutput(decoder)) {
        size_t length = kChunkSize;
        const uint8_t* bytes = BrotliDecoderTakeOutput(decoder, &length);
        if (!output.Append(bytes, length)) return false;
    }
    return true;
}

}  // namespace

DecodedContent DecodeBrotliBody(std::string_view body, size_t mostOutput) {
    const BrotliDecoder decoder = MakeBrotliDecoder();
    CappedOutput output(mostOutput);
    size_t inputLeft = body.size();
    auto next = reinterpret_cast<const uint8_t*>(body.data());
    while (true) {
        size_t noOutputRoom = 0;  // the output is taken from the decoder's own buffer instead
        const BrotliDecoderResult result =
            BrotliDecoderDecompressStream(decoder.get(), &inputLeft, &next, &noOutputRoom, nullptr, nullptr);
        if (!TakeOutput(decoder.get(), output)) return {{}, DecodingStatus::TooLarge, {}};
        if (result == BROTLI_DECODER_RESULT_NEEDS_MORE_OUTPUT) continue;
        const bool whole = result == BROTLI_DECODER_RESULT_SUCCESS && inputLeft == 0;
        return {output.Take(), whole ? DecodingStatus::Complete : DecodingStatus::Faulty, {}};
    }
}

}  // namespace kiosk
