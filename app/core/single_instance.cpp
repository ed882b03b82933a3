#include "app/core/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace vantrel {
namespace {

constexpr size_t kMaxRequest = 64 * 1024;
constexpr int kIoTimeoutMs = 2000;

bool FillAddress(const std::filesystem::path& path, sockaddr_un* addr) {
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    const std::string& s = path.native();
    if (s.size() >= sizeof addr->sun_path) return false;
    std::memcpy(addr->sun_path, s.c_str(), s.size() + 1);
    return true;
}

// Reads up to a line break, the peer closing, or the timeout.
bool ReadLine(int fd, std::string* line, int timeoutMs = kIoTimeoutMs) {
    line->clear();
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (line->size() < kMaxRequest) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return !line->empty();
        line->append(buffer, static_cast<size_t>(got));
        size_t eol = line->find('\n');
        if (eol != std::string::npos) {
            line->resize(eol);
            return true;
        }
    }
    return false;
}

bool WriteAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t put = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        sent += static_cast<size_t>(put);
    }
    return true;
}

} // namespace

SingleInstance::SingleInstance(std::filesystem::path runtimeFolder, const std::string& productFileName)
    : lockPath_(runtimeFolder / (productFileName + ".lock")),
      socketPath_(runtimeFolder / (productFileName + ".sock")) {}

SingleInstance::~SingleInstance() {
    if (server_.joinable()) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t ignored = ::write(stopFd_, &one, sizeof one);
        server_.join();
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(socketPath_.c_str());
    }
    if (stopFd_ >= 0) ::close(stopFd_);
    if (lockFd_ >= 0) ::close(lockFd_); // releases the lock
}

SingleInstance::Claim SingleInstance::Acquire(Handler handler) {
    lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) return Claim::kUnavailable;
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
        if (errno != EWOULDBLOCK) return Claim::kUnavailable;
        // The first instance may still be setting up its socket: try for a moment.
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (Send(socketPath_, "raise")) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return Claim::kHandedOver;
    }

    // We hold the lock, so any socket file left is from an instance that died.
    ::unlink(socketPath_.c_str());
    sockaddr_un addr;
    if (!FillAddress(socketPath_, &addr)) return Claim::kFirst;
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return Claim::kFirst;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listenFd_, 8) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return Claim::kFirst;
    }
    ::chmod(socketPath_.c_str(), 0600);
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    if (stopFd_ < 0) return Claim::kFirst;
    handler_ = std::move(handler);
    server_ = std::thread([this] { Serve(); });
    return Claim::kFirst;
}

void SingleInstance::Serve() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int connection = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        Answer(connection);
        ::close(connection);
    }
}

void SingleInstance::Answer(int connection) {
    // Only the same user may talk to us.
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::getuid()) return;
    std::string request;
    if (!ReadLine(connection, &request)) return;
    if (!request.empty() && request.back() == '\r') request.pop_back();
    std::string answer = handler_ ? handler_(request) : std::string("error no handler");
    WriteAll(connection, answer + "\n");
}

std::optional<std::string> SingleInstance::Send(const std::filesystem::path& socketPath, const std::string& request,
                                                int timeoutMs) {
    sockaddr_un addr;
    if (!FillAddress(socketPath, &addr)) return std::nullopt;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && WriteAll(fd, request + "\n")) {
        std::string line;
        if (ReadLine(fd, &line, timeoutMs)) answer = line;
    }
    ::close(fd);
    return answer;
}

} // namespace vantrel
