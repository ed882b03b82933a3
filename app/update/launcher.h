// Starting the installer or the firmware tool, and ending the program for it.
#pragma once

#include <filesystem>
#include <functional>

namespace vantrel {

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the program without a shell; false when it could not be started.
    virtual bool Start(const std::filesystem::path& program) = 0;
    // Ends this program so that the started one can replace it.
    virtual void ExitProgram() = 0;
};

class ProcessLauncher final : public Launcher {
public:
    explicit ProcessLauncher(std::function<void()> exit) : exit_(std::move(exit)) {}
    bool Start(const std::filesystem::path& program) override;
    void ExitProgram() override { exit_(); }

private:
    std::function<void()> exit_;
};

} // namespace vantrel
