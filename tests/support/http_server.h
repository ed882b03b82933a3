// Starts the loopback HTTP server of the update tests on a folder, and stops it.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

extern char** environ;

namespace vantrel::testing {

class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(const std::filesystem::path& folder) {
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string script = std::string(VANTREL_SOURCE_DIR) + "/tests/update/http_server.py";
        std::string dir = folder.string();
        char python[] = "python3";
        char* argv[] = {python, script.data(), dir.data(), nullptr};
        if (posix_spawnp(&pid_, "python3", &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        std::FILE* in = ::fdopen(out[0], "r");
        if (in && std::fscanf(in, "%d", &port_) != 1) port_ = 0;
        if (in) std::fclose(in);
    }
    ~LoopbackHttpServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool Running() const { return port_ > 0; }
    std::string Url(const std::string& path = "") const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
    }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace vantrel::testing
