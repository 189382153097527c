#include "proxy/http/body_stream.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "os/tcp_socket.h"

namespace kiosk {

namespace {

// Larger chunks than this are refused: no body comes close, and no count can overflow.
constexpr unsigned long long kLargestChunk = 1ull << 40;

unsigned long long ChunkSize(const std::string& line) {
    std::string_view text = line;
    text = text.substr(0, text.find(';'));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    unsigned long long size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || size > kLargestChunk)
        throw std::runtime_error("Invalid chunk size.");
    return size;
}

// Bodies are relayed in pieces of at most this many bytes: few system calls for a large download,
// little memory for each connection.
constexpr size_t kRelayPieceSize = 128 * 1024;

// Bytes moved from socket to socket never enter this process: larger moves cost no memory here.
constexpr size_t kMovedPieceSize = 1024 * 1024;

size_t PieceOf(unsigned long long left, size_t most = kRelayPieceSize) {
    return static_cast<size_t>(std::min<unsigned long long>(left, most));
}

}  // namespace

BodyReader::BodyReader(BufferedConnection& source, BodyFraming framing)
    : source_(source),
      kind_(framing.kind),
      left_(framing.kind == BodyFraming::Kind::Length ? framing.length : 0) {}

size_t BodyReader::ReadPiece(std::string& body) {
    if (ended_) return 0;
    switch (kind_) {
        case BodyFraming::Kind::ToClose: {
            const size_t got = source_.ReadSome(kRelayPieceSize, body);
            ended_ = got == 0;
            return got;
        }
        case BodyFraming::Kind::Length: {
            if (left_ == 0) {
                ended_ = true;
                return 0;
            }
            return ReadCountedPiece(body);
        }
        case BodyFraming::Kind::Chunked:
            return ReadChunkPiece(body);
    }
    return 0;
}

size_t BodyReader::ReadArrived(std::string& body) {
    if (kind_ == BodyFraming::Kind::Chunked || !source_.HoldsInput()) return 0;
    return ReadPiece(body);
}

std::optional<size_t> BodyReader::MovePiece(BufferedConnection& destination) {
    if (ended_ || kind_ == BodyFraming::Kind::Chunked) return std::nullopt;
    if (kind_ == BodyFraming::Kind::Length && left_ == 0) {
        ended_ = true;
        return 0;
    }
    const size_t most =
        kind_ == BodyFraming::Kind::Length ? PieceOf(left_, kMovedPieceSize) : kMovedPieceSize;
    const std::optional<size_t> moved = source_.MoveTo(destination, most);
    if (!moved) return std::nullopt;
    if (*moved == 0 && kind_ == BodyFraming::Kind::Length) throw ConnectionClosedGracefully();
    if (*moved == 0) ended_ = true;
    if (kind_ == BodyFraming::Kind::Length) left_ -= *moved;
    return moved;
}

size_t BodyReader::ReadChunkPiece(std::string& body) {
    while (left_ == 0) {
        if (inChunk_ && !source_.ReadLine().empty()) throw std::runtime_error("Invalid chunk size.");
        left_ = ChunkSize(source_.ReadLine());
        inChunk_ = true;
        if (left_ == 0) {
            while (!source_.ReadLine().empty()) {
                // trailer lines are dropped
            }
            ended_ = true;
            return 0;
        }
    }
    return ReadCountedPiece(body);
}

size_t BodyReader::ReadCountedPiece(std::string& body) {
    const size_t got = source_.ReadSome(PieceOf(left_), body);
    if (got == 0) throw ConnectionClosedGracefully();
    left_ -= got;
    return got;
}

void BodyWriter::Write(std::string_view piece) {
    if (piece.empty()) return;
    if (!chunked_) {
        destination_.Write(piece);
        return;
    }
    char size[20];
    const auto end = std::to_chars(size, size + sizeof size, piece.size(), 16).ptr;
    std::string chunk;
    chunk.reserve(piece.size() + 32);
    chunk.append(size, end).append("\r\n").append(piece).append("\r\n");
    destination_.Write(chunk);
}

std::optional<size_t> BodyWriter::MoveFrom(BodyReader& reader) {
    if (chunked_) return std::nullopt;
    return reader.MovePiece(destination_);
}

void BodyWriter::Finish() {
    if (chunked_) destination_.Write("0\r\n\r\n");
}

bool ReadBodyUpTo(BodyReader& reader, size_t limit, std::string& body) {
    while (body.size() <= limit) {
        if (reader.ReadPiece(body) == 0) return true;
    }
    return false;
}

void RelayBody(BodyReader& reader, BodyWriter& writer) {
    std::string piece;
    for (;;) {
        if (const std::optional<size_t> moved = writer.MoveFrom(reader)) {
            if (*moved == 0) break;
            continue;
        }
        if (reader.ReadPiece(piece) == 0) break;
        writer.Write(piece);
        piece.clear();
    }
    writer.Finish();
}

}  // namespace kiosk
