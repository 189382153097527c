#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "proxy/filter/decoded_content.h"
#include "proxy/filter/gunzip.h"

namespace kiosk {

// Takes the content encodings of an answer off its body. contentEncoding is the Content-Encoding
// value as the answer gives it ("gzip", "deflate, br", ...): tokens separated by commas, in the order
// they were applied, letter case and blanks free. They are decoded in reverse order; "identity" and
// empty tokens are passed over. Every token is checked before anything is decoded: one that is not
// gzip, x-gzip, deflate, br, zstd or identity gives Unknown with that token in encoding.
//
// gzip keeps GunzipStream's leniency: a body that is not gzip passes unchanged, and a deflate stream
// cut short is no fault. An empty body stays empty under every encoding. A Faulty step's output is
// still decoded by the steps after it, so output is always plain text: a prefix of the document when
// the body was cut short. No step's output may exceed mostOutput bytes (TooLarge), so decoding never
// holds more than about twice mostOutput, and decoding stops at the first TooLarge.
// More encodings than this on one body (identity not counted) give Unknown.
inline constexpr size_t kMostContentEncodings = 4;

DecodedContent DecodeContent(std::string_view contentEncoding, std::string_view body,
                             size_t mostOutput = kMostGunzipOutput);

// An Accept-Encoding value limited to the encodings DecodeContent decodes: every other element ("*",
// "compress", "dcb", ...) is left out, each kept one stays exactly as written (parameters and q-value
// included), joined by ", ". "identity" when nothing is left.
std::string AcceptedEncodings(std::string_view acceptEncoding);

}  // namespace kiosk
