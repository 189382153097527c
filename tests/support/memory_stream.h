#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "os/byte_stream.h"

namespace kiosk::testing {

// A stream over bytes in memory: it hands out its input at most piece bytes at a time (0: as many as
// asked), then reads as closed, and keeps what is sent to it. It never waits.
class MemoryStream : public ByteStream {
public:
    explicit MemoryStream(std::string input, size_t piece = 0) : input_(std::move(input)), piece_(piece) {}

    size_t Receive(char* buffer, size_t size, Milliseconds) override {
        if (piece_ > 0) size = std::min(size, piece_);
        size = std::min(size, input_.size() - read_);
        if (size == 0) ++closesReported_;
        std::memcpy(buffer, input_.data() + read_, size);
        read_ += size;
        return size;
    }
    // Bytes or the close are always waiting.
    bool WaitReadable(Milliseconds) const override { return true; }
    void Send(std::string_view bytes) override { sent_.append(bytes); }
    bool IsOpen() const override { return true; }
    std::intptr_t Handle() const override { return -1; }

    // How many input bytes have been handed out, and how often the close was.
    size_t Read() const { return read_; }
    size_t ClosesReported() const { return closesReported_; }
    const std::string& Sent() const { return sent_; }

private:
    std::string input_;
    size_t piece_;
    size_t read_ = 0;
    size_t closesReported_ = 0;
    std::string sent_;
};

}  // namespace kiosk::testing
