// One running instance per product and user: a lock file held for the life of the process and a
// Unix-domain socket beside it, both named by the product, in the runtime folder.
//
// A second start finds the lock taken, asks the first instance over the socket to raise its
// window, and ends. The same socket carries the other outside requests, one text line each:
//   "raise"                          bring the window to the front (even from the tray)
//   "message <msg> <wparam> <lparam>" a window message: 1691 0 610 quits, 1092 0 <id> runs a
//                                     stored host action
// Anything else is handed to the handler as it is, which answers with one line.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace vantrel {

inline constexpr unsigned kQuitMessage = 1691;       // 0x069B
inline constexpr long kQuitMessageParam = 610;       // 0x0262
inline constexpr unsigned kHostActionMessage = 0x0444;

class SingleInstance {
public:
    enum class Claim {
        kFirst,       // this process is the instance; requests reach the handler
        kHandedOver,  // another instance runs and was asked to raise itself
        kUnavailable, // no lock could be taken (no runtime folder): run without the guard
    };
    // Runs on the socket's own thread; returns the answer line (without line break).
    using Handler = std::function<std::string(const std::string& request)>;

    SingleInstance(std::filesystem::path runtimeFolder, const std::string& productFileName);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Claim Acquire(Handler handler);

    const std::filesystem::path& SocketPath() const { return socketPath_; }

    // Sends one request line to the running instance; its answer, or nothing when none answers.
    // `timeoutMs` bounds the wait for the answer (a command on the keyboard may take a while).
    static std::optional<std::string> Send(const std::filesystem::path& socketPath, const std::string& request,
                                           int timeoutMs = 2000);

private:
    void Serve();
    void Answer(int connection);

    std::filesystem::path lockPath_;
    std::filesystem::path socketPath_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    int stopFd_ = -1; // eventfd that wakes the server thread to stop
    Handler handler_;
    std::thread server_;
};

} // namespace vantrel
