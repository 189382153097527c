// Feeds arbitrary Content-Encoding values and bodies to DecodeContent: the input's first line is the
// header value, the rest the body. Besides the sanitizers' checks it checks that a small output cap
// either reports TooLarge or changes nothing, that only Faulty and Complete results carry output, and
// that AcceptedEncodings is stable on its own result.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "proxy/filter/content_decoding.h"

namespace {

constexpr size_t kSmallCap = 1000;

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = std::min(input.find('\n'), input.size());
    const std::string_view contentEncoding = input.substr(0, lineEnd);
    const std::string_view body = input.substr(std::min(lineEnd + 1, input.size()));

    const kiosk::DecodedContent full = kiosk::DecodeContent(contentEncoding, body);
    using kiosk::DecodingStatus;
    if (full.status == DecodingStatus::Unknown || full.status == DecodingStatus::TooLarge)
        Check(full.output.empty() && !full.encoding.empty());
    if (full.status == DecodingStatus::Complete) Check(full.encoding.empty());

    const kiosk::DecodedContent capped = kiosk::DecodeContent(contentEncoding, body, kSmallCap);
    if (capped.status != DecodingStatus::TooLarge) {
        Check(capped.status == full.status && capped.output == full.output &&
              capped.encoding == full.encoding);
    }

    const std::string accepted = kiosk::AcceptedEncodings(contentEncoding);
    Check(kiosk::AcceptedEncodings(accepted) == accepted);
    return 0;
}
