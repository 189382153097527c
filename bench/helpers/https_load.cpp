// The HTTPS load client of bench/https-compare. Each of C keep-alive connections goes to the origin
// directly or through an HTTP proxy's CONNECT, takes a TLS handshake trusting one CA file only, and
// then GETs one path again and again, for a duration or until a count of requests is reached. Every
// answer must be "200" with exactly the expected body, so that a proxy which breaks answers cannot
// look fast: the first wrong answer ends the run with status 1 and says what was wrong.
//
// Prints one line: requests/s, mean latency (ms), mean connection setup (ms: TCP, CONNECT, TLS, first
// answer), requests, reconnections (answers that closed their connection), and with --cpu-of PID the
// processor time that process spent per request while the requests ran (µs; "-" without).
// With --hold N: opens N connections one after the other, one request each, prints "ready" and the
// mean setup, and keeps them all open and idle until its standard input ends; then prints "open" and
// how many of them the proxy has not closed meanwhile.

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string originHost, originPort;  // the host in CONNECT, Host and the certificate check
    std::string proxyHost, proxyPort;    // empty: straight to the origin
    std::string caFile, path, expected;
    int connections = 1;
    double duration = 3;
    long requests = 0;  // when above 0, the run ends after this many instead of after duration
    int hold = 0;
    int cpuOf = 0;  // the proxy's process id, 0: none
};

[[noreturn]] void Usage(const char* program) {
    std::fprintf(
        stderr,
        "usage: %s --origin HOST:PORT [--proxy HOST:PORT] --ca FILE --path PATH --body FILE\n"
        "          [--connections C] [--duration SECONDS | --requests N] [--cpu-of PID] [--hold N]\n",
        program);
    std::exit(2);
}

void SplitHostPort(const std::string& text, std::string& host, std::string& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos) throw std::invalid_argument("no port in " + text);
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
}

std::string ReadWholeFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + name);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string OpenSslError() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) return "no OpenSSL error queued";
    char reason[256];
    ERR_error_string_n(code, reason, sizeof reason);
    return reason;
}

bool IsIpAddress(const std::string& host) {
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// One connection: its socket and, once the handshake is done, its TLS session.
class Connection {
public:
    Connection(const Options& options, SSL_CTX* context) : options_(options) { Open(context); }
    ~Connection() {
        if (ssl_) SSL_free(ssl_);
        if (fd_ >= 0) ::close(fd_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Whether the peer has neither closed the connection nor sent anything unasked.
    bool Quiet() const {
        pollfd entry{fd_, POLLIN, 0};
        return ::poll(&entry, 1, 0) == 0 && SSL_pending(ssl_) == 0;
    }

    // Sends the GET and reads its answer whole; throws when it is not 200 with the expected body.
    // Returns whether the connection stays open for the next request.
    bool Get() {
        const std::string request = "GET " + options_.path + " HTTP/1.1\r\nHost: " + options_.originHost +
                                    ":" + options_.originPort +
                                    "\r\nUser-Agent: https-load\r\nAccept: */*\r\n\r\n";
        Write(request);
        std::string head = ReadHead();
        if (head.compare(0, 9, "HTTP/1.1 ") != 0 && head.compare(0, 9, "HTTP/1.0 ") != 0)
            throw std::runtime_error("not an HTTP answer: " + head.substr(0, 80));
        if (head.compare(9, 3, "200") != 0)
            throw std::runtime_error("answer " + head.substr(0, head.find('\r')));
        const std::string lower = Lower(head);
        bool keepAlive = head.compare(0, 8, "HTTP/1.1") == 0;
        if (Header(lower, "connection").find("close") != std::string::npos) keepAlive = false;
        if (Header(lower, "connection").find("keep-alive") != std::string::npos) keepAlive = true;
        body_.clear();
        const std::string length = Header(lower, "content-length");
        if (Header(lower, "transfer-encoding").find("chunked") != std::string::npos) {
            ReadChunked();
        } else if (!length.empty()) {
            ReadExactly(std::stoull(length));
        } else {
            ReadToClose();
            keepAlive = false;
        }
        if (body_.size() != options_.expected.size())
            throw std::runtime_error("body of " + std::to_string(body_.size()) + " bytes, expected " +
                                     std::to_string(options_.expected.size()));
        if (std::memcmp(body_.data(), options_.expected.data(), body_.size()) != 0)
            throw std::runtime_error("body differs from the page");
        return keepAlive;
    }

private:
    void Open(SSL_CTX* context) {
        const bool proxied = !options_.proxyHost.empty();
        fd_ = Dial(proxied ? options_.proxyHost : options_.originHost,
                   proxied ? options_.proxyPort : options_.originPort);
        if (proxied) Tunnel();
        ssl_ = SSL_new(context);
        if (!ssl_ || SSL_set_fd(ssl_, fd_) != 1) throw std::runtime_error("SSL_new: " + OpenSslError());
        X509_VERIFY_PARAM* parameters = SSL_get0_param(ssl_);
        if (IsIpAddress(options_.originHost)) {
            X509_VERIFY_PARAM_set1_ip_asc(parameters, options_.originHost.c_str());
        } else {
            SSL_set_tlsext_host_name(ssl_, options_.originHost.c_str());
            SSL_set1_host(ssl_, options_.originHost.c_str());
        }
        if (SSL_connect(ssl_) != 1) {
            const long verified = SSL_get_verify_result(ssl_);
            throw std::runtime_error(
                std::string("TLS handshake: ") +
                (verified != X509_V_OK ? X509_verify_cert_error_string(verified) : OpenSslError().c_str()));
        }
    }

    static int Dial(const std::string& host, const std::string& port) {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found)
            throw std::runtime_error("cannot resolve " + host);
        std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, &freeaddrinfo);
        for (addrinfo* address = found; address; address = address->ai_next) {
            const int fd = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
            if (fd < 0) continue;
            // A proxy that stops answering shows as a failure after this long, not as a hung run.
            const timeval limit{30, 0};
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
            setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0) return fd;
            ::close(fd);
        }
        throw std::runtime_error("cannot connect to " + host + ":" + port + ": " + std::strerror(errno));
    }

    // Asks the proxy for the tunnel. Its answer is read byte by byte, so that no byte of the TLS
    // handshake behind it is taken from the socket.
    void Tunnel() {
        const std::string target = options_.originHost + ":" + options_.originPort;
        const std::string request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n\r\n";
        if (::send(fd_, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size()))
            throw std::runtime_error("cannot send CONNECT");
        std::string answer;
        while (answer.size() < 4 || answer.compare(answer.size() - 4, 4, "\r\n\r\n") != 0) {
            char c;
            if (::recv(fd_, &c, 1, 0) != 1)
                throw std::runtime_error("the proxy closed or stalled during CONNECT: " +
                                         answer.substr(0, 80));
            answer += c;
            if (answer.size() > 16384) throw std::runtime_error("CONNECT answer too long");
        }
        if (answer.size() < 12 || answer.compare(9, 3, "200") != 0)
            throw std::runtime_error("CONNECT answered " + answer.substr(0, answer.find('\r')));
    }

    static std::string Header(const std::string& lowerHead, const std::string& name) {
        const std::string key = "\r\n" + name + ":";
        const size_t at = lowerHead.find(key);
        if (at == std::string::npos) return "";
        const size_t begin = lowerHead.find_first_not_of(" \t", at + key.size());
        const size_t end = lowerHead.find("\r\n", begin);
        return lowerHead.substr(begin, end - begin);
    }

    void Write(const std::string& bytes) {
        size_t written = 0;
        if (SSL_write_ex(ssl_, bytes.data(), bytes.size(), &written) != 1 || written != bytes.size())
            throw std::runtime_error("TLS write failed: " + OpenSslError());
    }

    // Appends what arrives to buffer_; returns false at the peer's close.
    bool Fill() {
        constexpr size_t kPiece = 64 * 1024;
        const size_t old = buffer_.size();
        buffer_.resize(old + kPiece);
        size_t read = 0;
        const int result = SSL_read_ex(ssl_, buffer_.data() + old, kPiece, &read);
        buffer_.resize(old + read);
        if (result == 1) return true;
        const int error = SSL_get_error(ssl_, result);
        if (error == SSL_ERROR_ZERO_RETURN) return false;
        if (error == SSL_ERROR_SYSCALL && ERR_peek_error() == 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            throw std::runtime_error("no answer within 30 s");
        if (error == SSL_ERROR_SYSCALL && ERR_peek_error() == 0) return false;  // closed without close_notify
        throw std::runtime_error("TLS read failed: " + OpenSslError());
    }

    void FillOrThrow(const char* what) {
        if (!Fill()) throw std::runtime_error(std::string("connection closed ") + what);
    }

    std::string ReadHead() {
        for (;;) {
            const size_t end = buffer_.find("\r\n\r\n");
            if (end != std::string::npos) {
                std::string head = buffer_.substr(0, end + 2);
                buffer_.erase(0, end + 4);
                return head;
            }
            if (buffer_.size() > 65536) throw std::runtime_error("answer head too long");
            FillOrThrow("before the answer's head");
        }
    }

    void ReadExactly(size_t count) {
        body_.reserve(count);
        while (buffer_.size() < count) {
            body_.append(buffer_);
            count -= buffer_.size();
            buffer_.clear();
            FillOrThrow("inside the answer's body");
        }
        body_.append(buffer_, 0, count);
        buffer_.erase(0, count);
    }

    std::string ReadLine() {
        for (;;) {
            const size_t end = buffer_.find("\r\n");
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 2);
                return line;
            }
            FillOrThrow("inside a chunked body");
        }
    }

    void ReadChunked() {
        for (;;) {
            const size_t size = std::stoull(ReadLine(), nullptr, 16);
            if (size == 0) break;
            ReadExactly(size);
            if (!ReadLine().empty()) throw std::runtime_error("chunk without its line end");
        }
        while (!ReadLine().empty()) {
        }
    }

    void ReadToClose() {
        body_.append(buffer_);
        buffer_.clear();
        while (Fill()) {
            body_.append(buffer_);
            buffer_.clear();
        }
    }

    const Options& options_;
    int fd_ = -1;
    SSL* ssl_ = nullptr;
    std::string buffer_, body_;
};

// The processor time of process pid so far, user and system, in seconds.
double ProcessorSeconds(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t name = text.rfind(')');  // the command's name may hold spaces
    if (name == std::string::npos) throw std::runtime_error("no process " + std::to_string(pid));
    std::istringstream fields(text.substr(name + 2));
    std::string field;
    double ticks = 0;
    // After the name: state is field 3, utime and stime are fields 14 and 15.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number >= 14) ticks += std::stod(field);
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// What one connection's thread measured.
struct Tally {
    long requests = 0, reconnections = 0;
    double latencyMs = 0, setupMs = 0;
};

class Run {
public:
    Run(const Options& options, SSL_CTX* context) : options_(options), context_(context) {}

    int Measure() {
        remaining_ = options_.requests;
        std::vector<Tally> tallies(options_.connections);
        std::vector<std::thread> threads;
        for (int i = 0; i < options_.connections; ++i)
            threads.emplace_back([this, &tallies, i] { Work(tallies[i]); });
        // Every connection is open and has had its first answer before the clock starts.
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return opened_ == options_.connections || failed_; });
            if (options_.cpuOf > 0) cpuBefore_ = ProcessorSeconds(options_.cpuOf);
            start_ = Clock::now();
            started_ = true;
        }
        go_.notify_all();
        if (options_.requests <= 0) {
            std::unique_lock lock(mutex_);
            done_.wait_for(lock, std::chrono::duration<double>(options_.duration),
                           [this] { return failed_.load(); });
            stop_ = true;
        }
        for (auto& thread : threads) thread.join();
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        const double cpu = options_.cpuOf > 0 && !failed_ ? ProcessorSeconds(options_.cpuOf) - cpuBefore_ : 0;
        if (failed_) {
            std::fprintf(stderr, "%s\n", failure_.c_str());
            return 1;
        }
        Tally total;
        for (const Tally& tally : tallies) {
            total.requests += tally.requests;
            total.reconnections += tally.reconnections;
            total.latencyMs += tally.latencyMs;
            total.setupMs += tally.setupMs;
        }
        std::printf("%.1f %.3f %.2f %ld %ld ", total.requests / seconds,
                    total.requests ? total.latencyMs / total.requests : 0.0,
                    total.setupMs / options_.connections, total.requests, total.reconnections);
        if (options_.cpuOf > 0 && total.requests > 0)
            std::printf("%.1f\n", cpu * 1e6 / total.requests);
        else
            std::printf("-\n");
        return 0;
    }

private:
    bool Stopped() {
        if (stop_ || failed_) return true;
        return options_.requests > 0 && remaining_.fetch_sub(1) <= 0;
    }

    void Fail(const std::string& what) {
        std::lock_guard lock(mutex_);
        if (!failed_) failure_ = what;
        failed_ = true;
        ready_.notify_all();
        go_.notify_all();
        done_.notify_all();
    }

    void Work(Tally& tally) {
        try {
            const auto began = Clock::now();
            auto connection = std::make_unique<Connection>(options_, context_);
            bool open = connection->Get();
            tally.setupMs = Milliseconds(Clock::now() - began);
            {
                std::unique_lock lock(mutex_);
                ++opened_;
                ready_.notify_all();
                go_.wait(lock, [this] { return started_ || failed_; });
            }
            while (!Stopped()) {
                const auto sent = Clock::now();
                if (!open) {
                    connection.reset();
                    connection = std::make_unique<Connection>(options_, context_);
                    ++tally.reconnections;
                }
                open = connection->Get();
                tally.latencyMs += Milliseconds(Clock::now() - sent);
                ++tally.requests;
            }
        } catch (const std::exception& failure) {
            Fail(failure.what());
        }
    }

    const Options& options_;
    SSL_CTX* const context_;
    std::mutex mutex_;
    std::condition_variable ready_, go_, done_;
    int opened_ = 0;
    bool started_ = false;
    std::atomic<bool> stop_{false}, failed_{false};
    std::atomic<long> remaining_{0};
    std::string failure_;
    Clock::time_point start_;
    double cpuBefore_ = 0;
};

int Hold(const Options& options, SSL_CTX* context) {
    std::vector<std::unique_ptr<Connection>> held;
    double setupMs = 0;
    try {
        for (int i = 0; i < options.hold; ++i) {
            const auto began = Clock::now();
            held.push_back(std::make_unique<Connection>(options, context));
            if (!held.back()->Get()) throw std::runtime_error("the answer closed its connection");
            setupMs += Milliseconds(Clock::now() - began);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "connection %zu: %s\n", held.size() + 1, failure.what());
        return 1;
    }
    std::printf("ready %.2f\n", setupMs / options.hold);
    std::fflush(stdout);
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    long open = 0;
    for (const auto& connection : held) open += connection->Quiet() ? 1 : 0;
    std::printf("open %ld\n", open);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string name = argv[i];
            if (i + 1 >= argc) Usage(argv[0]);
            const std::string value = argv[++i];
            if (name == "--origin")
                SplitHostPort(value, options.originHost, options.originPort);
            else if (name == "--proxy")
                SplitHostPort(value, options.proxyHost, options.proxyPort);
            else if (name == "--ca")
                options.caFile = value;
            else if (name == "--path")
                options.path = value;
            else if (name == "--body")
                options.expected = ReadWholeFile(value);
            else if (name == "--connections")
                options.connections = std::stoi(value);
            else if (name == "--duration")
                options.duration = std::stod(value);
            else if (name == "--requests")
                options.requests = std::stol(value);
            else if (name == "--hold")
                options.hold = std::stoi(value);
            else if (name == "--cpu-of")
                options.cpuOf = std::stoi(value);
            else
                Usage(argv[0]);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        Usage(argv[0]);
    }
    if (options.originHost.empty() || options.caFile.empty() || options.path.empty() ||
        options.connections < 1)
        Usage(argv[0]);

    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_client_method()),
                                                              &SSL_CTX_free);
    static const unsigned char kHttp11[] = {8, 'h', 't', 't', 'p', '/', '1', '.', '1'};
    if (!context || SSL_CTX_load_verify_file(context.get(), options.caFile.c_str()) != 1 ||
        SSL_CTX_set_alpn_protos(context.get(), kHttp11, sizeof kHttp11) != 0) {
        std::fprintf(stderr, "cannot set up TLS with %s: %s\n", options.caFile.c_str(),
                     OpenSslError().c_str());
        return 1;
    }
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
    if (options.hold > 0) return Hold(options, context.get());
    Run run(options, context.get());
    return run.Measure();
}
