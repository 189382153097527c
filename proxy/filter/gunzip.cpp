#include "proxy/filter/gunzip.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "proxy/filter/capped_output.h"

namespace kiosk {

namespace {

constexpr size_t kChunkSize = 16384;
constexpr size_t kFixedHeaderSize = 10;  // magic, method, flags, MTIME, XFL, OS
constexpr size_t kTrailerSize = 8;       // CRC32, ISIZE
constexpr size_t kSmallestMember = kFixedHeaderSize + 2 + kTrailerSize;
constexpr unsigned kMethodDeflate = 8;
constexpr unsigned kFlagHeaderCrc = 0x02;
constexpr unsigned kFlagExtra = 0x04;
constexpr unsigned kFlagName = 0x08;
constexpr unsigned kFlagComment = 0x10;
constexpr unsigned kFlagsReserved = 0xE0;
// Deflate cannot expand data by more than about 1032:1, so no honest body needs more room than this.
constexpr size_t kMostDeflateRatio = 1032;

unsigned ByteAt(std::string_view bytes, size_t position) {
    return static_cast<unsigned char>(bytes[position]);
}

uint32_t ReadLittleEndian32(std::string_view bytes) {
    return ByteAt(bytes, 0) | ByteAt(bytes, 1) << 8 | ByteAt(bytes, 2) << 16 | ByteAt(bytes, 3) << 24;
}

bool StartsWithGzipMagic(std::string_view bytes) {
    return bytes.size() >= 2 && ByteAt(bytes, 0) == 0x1F && ByteAt(bytes, 1) == 0x8B;
}

// Moves position past the zero byte that ends a name or comment field.
bool SkipZeroTerminated(std::string_view bytes, size_t& position) {
    const size_t zero = bytes.find('\0', position);
    if (zero == std::string_view::npos) return false;
    position = zero + 1;
    return true;
}

bool SkipBytes(std::string_view bytes, size_t count, size_t& position) {
    if (bytes.size() - position < count) return false;
    position += count;
    return true;
}

// The length of the member header at the start of bytes; nothing when the header is malformed or cut
// short.
std::optional<size_t> MemberHeaderSize(std::string_view bytes) {
    if (bytes.size() < kFixedHeaderSize) return std::nullopt;
    const unsigned flags = ByteAt(bytes, 3);
    if (ByteAt(bytes, 2) != kMethodDeflate || (flags & kFlagsReserved) != 0) return std::nullopt;
    size_t position = kFixedHeaderSize;
    if (flags & kFlagExtra) {
        if (!SkipBytes(bytes, 2, position)) return std::nullopt;
        const size_t extraLength = ByteAt(bytes, position - 2) | ByteAt(bytes, position - 1) << 8;
        if (!SkipBytes(bytes, extraLength, position)) return std::nullopt;
    }
    if ((flags & kFlagName) && !SkipZeroTerminated(bytes, position)) return std::nullopt;
    if ((flags & kFlagComment) && !SkipZeroTerminated(bytes, position)) return std::nullopt;
    if ((flags & kFlagHeaderCrc) && !SkipBytes(bytes, 2, position)) return std::nullopt;
    return position;
}

// A raw inflate stream (no zlib header, 32 KiB window), ended with the object.
class RawInflater {
public:
    RawInflater() { ready_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    RawInflater(const RawInflater&) = delete;
    RawInflater& operator=(const RawInflater&) = delete;
    ~RawInflater() {
        if (ready_) inflateEnd(&stream_);
    }

    bool ready() const { return ready_; }
    z_stream& stream() { return stream_; }
    bool Reset() { return inflateReset(&stream_) == Z_OK; }

private:
    z_stream stream_{};
    bool ready_ = false;
};

enum class MemberEnd { StreamEnd, InputEnd, Fault };

class GzipDecoder {
public:
    GzipDecoder(std::string_view input, size_t mostOutput)
        : input_(input), mostOutput_(mostOutput), output_(mostOutput) {}

    GunzipResult Run() {
        ReserveBySizeHint();
        size_t position = 0;
        while (true) {
            const std::optional<size_t> headerSize = MemberHeaderSize(input_.substr(position));
            if (!headerSize || !inflater_.ready() || !inflater_.Reset()) return Finish(true);
            position += *headerSize;
            const MemberEnd end = InflateMember(position);
            if (end != MemberEnd::StreamEnd) return Finish(end == MemberEnd::Fault);
            if (!TrailerMatches(position)) return Finish(true);
            position += kTrailerSize;
            const std::string_view rest = input_.substr(position);
            if (rest.empty()) return Finish(false);
            if (!StartsWithGzipMagic(rest)) return Finish(!Append(rest.data(), rest.size()));
        }
    }

private:
    // ISIZE of the last member is the whole output's length when there is one member; reserving it
    // spares the copies of growing. A body may lie about it, hence the bounds.
    void ReserveBySizeHint() {
        if (input_.size() < kSmallestMember) return;
        const size_t claimed = ReadLittleEndian32(input_.substr(input_.size() - 4));
        const size_t possible =
            input_.size() > mostOutput_ / kMostDeflateRatio ? mostOutput_ : input_.size() * kMostDeflateRatio;
        output_.Reserve(std::min(claimed, possible));
    }

    // Inflates the deflate data starting at position; on the stream's end, position is just after it.
    MemberEnd InflateMember(size_t& position) {
        z_stream& stream = inflater_.stream();
        stream.avail_in = 0;
        memberCrc_ = crc32(0, nullptr, 0);
        memberSize_ = 0;
        bool outputPending = false;  // a full output chunk: inflate may hold more without new input
        while (true) {
            if (stream.avail_in == 0 && !outputPending) {
                if (position == input_.size()) return MemberEnd::InputEnd;
                FeedChunk(position);
            }
            const int status = InflateChunk();
            if (outputFull_) return MemberEnd::Fault;
            if (status == Z_STREAM_END) break;
            const bool wantsInput = status == Z_BUF_ERROR && stream.avail_in == 0;
            if (status != Z_OK && !wantsInput) return MemberEnd::Fault;
            outputPending = stream.avail_out == 0;
        }
        position -= stream.avail_in;  // input fed but not part of this member
        return MemberEnd::StreamEnd;
    }

    void FeedChunk(size_t& position) {
        const size_t length = std::min(kChunkSize, input_.size() - position);
        z_stream& stream = inflater_.stream();
        stream.next_in = reinterpret_cast<const Bytef*>(input_.data() + position);
        stream.avail_in = static_cast<uInt>(length);
        position += length;
    }

    // Runs inflate once into the chunk buffer and hands on what it produced.
    int InflateChunk() {
        z_stream& stream = inflater_.stream();
        stream.next_out = chunk_;
        stream.avail_out = kChunkSize;
        const int status = inflate(&stream, Z_NO_FLUSH);
        const size_t produced = kChunkSize - stream.avail_out;
        memberCrc_ = crc32(memberCrc_, chunk_, static_cast<uInt>(produced));
        memberSize_ += produced;
        outputFull_ = !Append(reinterpret_cast<const char*>(chunk_), produced);
        return status;
    }

    bool TrailerMatches(size_t position) const {
        if (input_.size() - position < kTrailerSize) return false;
        const std::string_view trailer = input_.substr(position, kTrailerSize);
        return ReadLittleEndian32(trailer) == memberCrc_ &&
               ReadLittleEndian32(trailer.substr(4)) == static_cast<uint32_t>(memberSize_);
    }

    // Appends up to the output cap; false when bytes had to be left out: what fits is kept and the
    // decoding ends as a fault.
    bool Append(const char* bytes, size_t length) { return output_.Append(bytes, length); }

    GunzipResult Finish(bool error) { return {output_.Take(), error, output_.overflowed()}; }

    std::string_view input_;
    size_t mostOutput_;
    RawInflater inflater_;
    CappedOutput output_;
    uLong memberCrc_ = 0;
    uint64_t memberSize_ = 0;
    bool outputFull_ = false;
    Bytef chunk_[kChunkSize];
};

}  // namespace

GunzipResult GunzipStream(std::string_view input, size_t mostOutput) {
    if (!StartsWithGzipMagic(input)) return {std::string(input), false};
    return GzipDecoder(input, mostOutput).Run();
}

GunzipResult GunzipStream(std::string_view input) {
    return GunzipStream(input, kMostGunzipOutput);
}

}  // namespace kiosk
