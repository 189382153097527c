#pragma once

#include <string>

namespace kiosk {

enum class DecodingStatus {
    Complete,  // every encoding decoded to its end
    Faulty,    // stopped at a fault; output holds what was decoded before it
    TooLarge,  // would exceed the output cap (a decompression bomb); output is empty
    Unknown,   // an encoding that cannot be decoded; output is empty
};

// A body with its content encodings taken off, as far as that went.
struct DecodedContent {
    std::string output;
    DecodingStatus status = DecodingStatus::Complete;
    // The encoding, as the header wrote it, that was unknown, faulty or too large; empty when complete.
    std::string encoding;
};

}  // namespace kiosk
