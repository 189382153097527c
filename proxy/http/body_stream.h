#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "proxy/server/buffered_connection.h"

namespace kiosk {

// How the end of a body is found: after a known length, at the last of its HTTP/1.1 chunks, or at the
// peer's close.
struct BodyFraming {
    enum class Kind { Length, Chunked, ToClose };
    Kind kind = Kind::ToClose;
    unsigned long long length = 0;  // for Length
};

// Reads a body piece by piece as its framing says, so that no more than one piece is held at a time.
// A chunked body comes out joined; its trailer lines are dropped.
class BodyReader {
public:
    BodyReader(BufferedConnection& source, BodyFraming framing);

    // Appends the next piece (at most 128 KiB) to body and returns its
    // size; 0 once the body has ended. Throws ConnectionClosedGracefully when the peer closes before
    // the end of a body with a length or chunks, and "Invalid chunk size." for bad chunk framing.
    size_t ReadPiece(std::string& body);
    // Appends what of the body has arrived and waits in the source's buffer, without reading more;
    // nothing for chunks. Returns how many bytes were appended.
    size_t ReadArrived(std::string& body);
    // The same, but the piece goes straight on to destination (see BufferedConnection::MoveTo);
    // nothing when it cannot, and the caller reads the piece instead.
    std::optional<size_t> MovePiece(BufferedConnection& destination);

private:
    size_t ReadChunkPiece(std::string& body);
    // A piece of the left_ bytes that must still come (of the body, or of the current chunk).
    size_t ReadCountedPiece(std::string& body);

    BufferedConnection& source_;
    const BodyFraming::Kind kind_;
    unsigned long long left_;  // bytes left of the body (Length) or of the current chunk (Chunked)
    bool inChunk_ = false;     // the current chunk's data has begun: a line end follows it
    bool ended_ = false;
};

// Writes a body to the browser, as it came or in chunks of its own (for a body whose end the browser
// could otherwise only learn from a close).
class BodyWriter {
public:
    BodyWriter(BufferedConnection& destination, bool chunked)
        : destination_(destination), chunked_(chunked) {}

    // Writes the piece; an empty one writes nothing.
    void Write(std::string_view piece);
    // Moves the reader's next piece straight to the destination when it can; nothing when not.
    std::optional<size_t> MoveFrom(BodyReader& reader);
    // Ends a chunked body with its last chunk.
    void Finish();

private:
    BufferedConnection& destination_;
    const bool chunked_;
};

// Appends the reader's pieces to body until the body ends (true) or body holds more than limit bytes
// (false; the rest is still to be read).
bool ReadBodyUpTo(BodyReader& reader, size_t limit, std::string& body);

// Relays everything the reader has left to the writer, a piece at a time, and finishes the writer.
void RelayBody(BodyReader& reader, BodyWriter& writer);

}  // namespace kiosk
