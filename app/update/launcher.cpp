#include "app/update/launcher.h"

#include <spawn.h>

#include <string>

extern char** environ;

namespace vantrel {

bool ProcessLauncher::Start(const std::filesystem::path& program) {
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    return posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) == 0;
}

} // namespace vantrel
