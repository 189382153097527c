#include "proxy/filter/content_decoding.h"

#include <optional>
#include <vector>

#include "proxy/filter/brotli_decoding.h"
#include "proxy/filter/inflate_decoding.h"
#include "proxy/filter/zstd_decoding.h"
#include "text/ascii.h"

namespace kiosk {

namespace {

enum class Coding { Identity, Gzip, Deflate, Brotli, Zstd };

struct NamedCoding {
    std::string_view name;
    Coding coding;
};

constexpr NamedCoding kDecodableCodings[] = {{"identity", Coding::Identity}, {"gzip", Coding::Gzip},
                                             {"x-gzip", Coding::Gzip},       {"deflate", Coding::Deflate},
                                             {"br", Coding::Brotli},         {"zstd", Coding::Zstd}};

std::optional<Coding> CodingNamed(std::string_view token) {
    for (const NamedCoding& known : kDecodableCodings) {
        if (AsciiEqualsIgnoringCase(token, known.name)) return known.coding;
    }
    return std::nullopt;
}

// The elements of a comma-separated header value, trimmed, empty ones left out.
std::vector<std::string_view> ListElements(std::string_view value) {
    std::vector<std::string_view> elements;
    while (true) {
        const size_t comma = value.find(',');
        const std::string_view element = TrimBlanks(value.substr(0, comma));
        if (!element.empty()) elements.push_back(element);
        if (comma == std::string_view::npos) return elements;
        value.remove_prefix(comma + 1);
    }
}

struct DecodingStep {
    Coding coding;
    std::string_view token;
};

DecodedContent GunzipStep(std::string_view input, size_t mostOutput) {
    GunzipResult result = GunzipStream(input, mostOutput);
    if (result.tooLarge) return {{}, DecodingStatus::TooLarge, {}};
    return {std::move(result.output), result.error ? DecodingStatus::Faulty : DecodingStatus::Complete, {}};
}

DecodedContent DecodeStep(Coding coding, std::string_view input, size_t mostOutput) {
    switch (coding) {
        case Coding::Gzip:
            return GunzipStep(input, mostOutput);
        case Coding::Deflate:
            return InflateDeflateBody(input, mostOutput);
        case Coding::Brotli:
            return DecodeBrotliBody(input, mostOutput);
        case Coding::Zstd:
            return DecodeZstdBody(input, mostOutput);
        case Coding::Identity:
            break;
    }
    return {std::string(input), DecodingStatus::Complete, {}};
}

}  // namespace

DecodedContent DecodeContent(std::string_view contentEncoding, std::string_view body, size_t mostOutput) {
    std::vector<DecodingStep> steps;
    for (const std::string_view token : ListElements(contentEncoding)) {
        const std::optional<Coding> coding = CodingNamed(token);
        if (!coding) return {{}, DecodingStatus::Unknown, std::string(token)};
        if (*coding != Coding::Identity) steps.push_back({*coding, token});
    }
    // Each step is capped, but every layer costs work over the whole body: a list of thousands of
    // layers is no answer a server sends.
    if (steps.size() > kMostContentEncodings)
        return {{}, DecodingStatus::Unknown, std::to_string(steps.size()) + " encodings"};
    DecodedContent result;
    std::string_view input = body;
    bool decodedAny = false;
    for (auto step = steps.rbegin(); step != steps.rend() && !input.empty(); ++step) {
        DecodedContent decoded = DecodeStep(step->coding, input, mostOutput);
        if (decoded.status == DecodingStatus::TooLarge) return {{}, decoded.status, std::string(step->token)};
        if (decoded.status == DecodingStatus::Faulty && result.status == DecodingStatus::Complete) {
            result.status = DecodingStatus::Faulty;
            result.encoding = step->token;
        }
        result.output = std::move(decoded.output);
        input = result.output;
        decodedAny = true;
    }
    if (!decodedAny) result.output = body;
    return result;
}

std::string AcceptedEncodings(std::string_view acceptEncoding) {
    std::string accepted;
    for (const std::string_view element : ListElements(acceptEncoding)) {
        if (!CodingNamed(TrimBlanks(element.substr(0, element.find(';'))))) continue;
        if (!accepted.empty()) accepted += ", ";
        accepted += element;
    }
    return accepted.empty() ? "identity" : accepted;
}

}  // namespace kiosk
