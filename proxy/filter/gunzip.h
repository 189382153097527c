#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kiosk {

struct GunzipResult {
    std::string output;     // every byte decoded before a fault
    bool error = false;     // decoding stopped at a fault
    bool tooLarge = false;  // the fault was the output cap (error is set too)
};

// Decoding stops at this much output, keeping what it has, with the error and tooLarge flags: a small
// body that claims to expand to gigabytes must not take the terminal's memory.
inline constexpr size_t kMostGunzipOutput = size_t{256} << 20;

// Decodes a gzip body (one or more members). Input that does not start with a gzip header is copied
// unchanged, without the error flag.
GunzipResult GunzipStream(std::string_view input);

// The same with another output cap, for tests that must not allocate kMostGunzipOutput.
GunzipResult GunzipStream(std::string_view input, size_t mostOutput);

}  // namespace kiosk
