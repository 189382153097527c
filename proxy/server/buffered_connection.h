#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "os/tcp_socket.h"

namespace kiosk {

// A line longer than the connection reads.
class LineTooLong : public std::runtime_error {
public:
    LineTooLong() : std::runtime_error("Max line length exceeded.") {}
};

// A connection's byte stream (a socket, or a TLS session on one) with its input buffer: reads lines
// and bodies, writes in pieces. The stream belongs to someone else and must outlive this object.
class BufferedConnection {
public:
    // Lines and whole bodies are read in pieces of at most this many bytes.
    static constexpr size_t kPieceSize = 32768;
    // Longest line accepted, without its line end.
    static constexpr size_t kMaxLineLength = 16384;

    // readTimeout: the longest wait for the next byte ("Read timed out."); kWaitForever for none.
    BufferedConnection(ByteStream& stream, Milliseconds readTimeout);

    // Whether the connection is still open: true while bytes are buffered; otherwise it takes what
    // has arrived without waiting, and a close or reset seen there reads as not connected.
    bool Connected();

    // Bytes up to the next line feed, without it and without a carriage return right before it.
    // Throws LineTooLong ("Max line length exceeded.") for a longer line, ConnectionClosedGracefully when the
    // peer closes first.
    std::string ReadLine();

    // Appends exactly count bytes to body, growing it as they arrive (a count announced by the peer
    // is never allocated up front). Throws ConnectionClosedGracefully when the peer closes first.
    void ReadExactly(unsigned long long count, std::string& body);
    // Appends everything up to the peer's close.
    void ReadToClose(std::string& body);

    // Takes what is buffered, then at most one piece that has already arrived (waiting up to
    // timeout). Throws ConnectionClosedGracefully when the peer has closed and nothing was buffered.
    std::string ReadAvailable(Milliseconds timeout);

    // Appends to body what is buffered, or else the next piece to arrive, at most most bytes either
    // way. Returns how many bytes were appended: 0 when the peer has closed.
    size_t ReadSome(size_t most, std::string& body);
    // Moves at most most bytes that arrive straight on to destination's stream (see ByteStream::MoveTo)
    // and returns how many, 0 for the peer's close; nothing when input is buffered here or the streams
    // cannot move bytes.
    std::optional<size_t> MoveTo(BufferedConnection& destination, size_t most);

    void Write(std::string_view bytes);

    // Drops input that has already arrived, up to limit bytes. Closing a socket with unread input
    // resets the connection, and the peer may then lose what was last sent to it.
    void DiscardArrived(size_t limit);

    // Whether input is waiting that a wait on the stream's handle would not show.
    bool HasBuffered() const { return Buffered() > 0 || stream_.HasPending(); }
    // Whether this object holds input not yet read from it.
    bool HoldsInput() const { return Buffered() > 0; }

    ByteStream& Stream() { return stream_; }

private:
    // Waits for the next piece and appends it to the buffer; returns its size, 0 for the peer's close.
    size_t Fill();
    // Moves up to count buffered bytes to the end of body; returns how many.
    size_t TakeBuffered(size_t count, std::string& body);
    // Drops count bytes from the front of the buffer, and the buffer itself once it is empty.
    void Consume(size_t count);
    size_t Buffered() const { return buffer_.size() - start_; }

    ByteStream& stream_;
    Milliseconds readTimeout_;
    // Unread input is buffer_[start_..]; an idle connection keeps no buffer at all.
    std::string buffer_;
    size_t start_ = 0;
};

}  // namespace kiosk
