#include "proxy/server/buffered_connection.h"

#include <algorithm>

namespace kiosk {

BufferedConnection::BufferedConnection(ByteStream& stream, Milliseconds readTimeout)
    : stream_(stream), readTimeout_(readTimeout) {}

bool BufferedConnection::Connected() {
    if (Buffered() > 0) return true;
    if (!stream_.IsOpen()) return false;
    try {
        // One try to read instead of a wait and a read; nothing is buffered here, so what arrived is
        // the buffer, and a connection where nothing did keeps none.
        char arrived[kPieceSize];
        const std::optional<size_t> got = stream_.ReceiveIfArrived(arrived, sizeof arrived, readTimeout_);
        if (!got) return true;
        buffer_.assign(arrived, *got);
        start_ = 0;
        return *got > 0;
    } catch (const std::runtime_error&) {
        return false;  // a reset, or a TLS session that failed
    }
}

std::string BufferedConnection::ReadLine() {
    size_t searched = 0;
    for (;;) {
        const std::string_view pending = std::string_view(buffer_).substr(start_);
        const size_t feed = pending.find('\n', searched);
        if (feed != std::string_view::npos) {
            const size_t length = feed > 0 && pending[feed - 1] == '\r' ? feed - 1 : feed;
            if (length > kMaxLineLength) throw LineTooLong();
            std::string line(pending.substr(0, length));
            Consume(feed + 1);
            return line;
        }
        // Even a carriage return and a line feed next could not make this a line of allowed length.
        if (pending.size() > kMaxLineLength + 1) throw LineTooLong();
        searched = pending.size();
        if (Fill() == 0) throw ConnectionClosedGracefully();
    }
}

void BufferedConnection::ReadExactly(unsigned long long count, std::string& body) {
    // Room for an announced length is made once, up to a bound: a peer's claim is never trusted with
    // more memory than that before its bytes arrive.
    constexpr unsigned long long kMostReservedUpFront = 64ull << 20;
    body.reserve(body.size() + static_cast<size_t>(std::min(count, kMostReservedUpFront)));
    count -= TakeBuffered(static_cast<size_t>(std::min<unsigned long long>(count, Buffered())), body);
    while (count > 0) {
        const size_t piece = static_cast<size_t>(std::min<unsigned long long>(count, kPieceSize));
        const size_t old = body.size();
        body.resize(old + piece);
        const size_t got = stream_.Receive(body.data() + old, piece, readTimeout_);
        body.resize(old + got);
        if (got == 0) throw ConnectionClosedGracefully();
        count -= got;
    }
}

void BufferedConnection::ReadToClose(std::string& body) {
    TakeBuffered(Buffered(), body);
    for (;;) {
        const size_t old = body.size();
        body.resize(old + kPieceSize);
        const size_t got = stream_.Receive(body.data() + old, kPieceSize, readTimeout_);
        body.resize(old + got);
        if (got == 0) return;
    }
}

std::string BufferedConnection::ReadAvailable(Milliseconds timeout) {
    std::string bytes;
    if (TakeBuffered(Buffered(), bytes) > 0) return bytes;
    bytes.resize(kPieceSize);
    const size_t got = stream_.Receive(bytes.data(), kPieceSize, timeout);
    if (got == 0) throw ConnectionClosedGracefully();
    bytes.resize(got);
    return bytes;
}

size_t BufferedConnection::ReadSome(size_t most, std::string& body) {
    if (Buffered() > 0) return TakeBuffered(std::min(most, Buffered()), body);
    const size_t old = body.size();
    body.resize(old + most);
    const size_t got = stream_.Receive(body.data() + old, most, readTimeout_);
    body.resize(old + got);
    return got;
}

// The stream sends as much as the connection takes at a time; one call for the whole saves system calls.
std::optional<size_t> BufferedConnection::MoveTo(BufferedConnection& destination, size_t most) {
    if (HoldsInput() || destination.HoldsInput()) return std::nullopt;
    return stream_.MoveTo(destination.stream_, most, readTimeout_);
}

void BufferedConnection::Write(std::string_view bytes) {
    if (!bytes.empty()) stream_.Send(bytes);
}

void BufferedConnection::DiscardArrived(size_t limit) {
    buffer_ = std::string();
    start_ = 0;
    char piece[1024];
    try {
        while (limit > 0) {
            const std::optional<size_t> got =
                stream_.ReceiveIfArrived(piece, std::min(limit, sizeof piece), Milliseconds(0));
            if (!got || *got == 0) return;
            limit -= std::min(limit, *got);
        }
    } catch (const std::exception&) {
        // The connection is gone already; nothing is left to drop.
    }
}

size_t BufferedConnection::Fill() {
    // Wait before growing the buffer, so that a connection waiting for its peer holds no buffer.
    if (!stream_.WaitReadable(readTimeout_)) throw SocketTimeout("Read timed out.");
    buffer_.erase(0, start_);
    start_ = 0;
    // Read on the stack and appended: the buffer grows by what came, not by a whole piece to be cleared.
    char piece[kPieceSize];
    const size_t got = stream_.Receive(piece, sizeof piece, readTimeout_);
    buffer_.append(piece, got);
    return got;
}

size_t BufferedConnection::TakeBuffered(size_t count, std::string& body) {
    body.append(buffer_, start_, count);
    Consume(count);
    return count;
}

void BufferedConnection::Consume(size_t count) {
    start_ += count;
    if (start_ < buffer_.size()) return;
    buffer_ = std::string();
    start_ = 0;
}

}  // namespace kiosk
