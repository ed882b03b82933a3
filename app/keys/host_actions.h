// Host actions: what a key bound to an action asks of the computer (window message 0x444 with
// the action's id): launch a program, open a web address, type a text, switch profile.
#pragma once

#include "app/store/store.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vantrel {

// The desktop's side of the actions.
class HostPlatform {
public:
    virtual ~HostPlatform() = default;
    // Starts the program without a shell.
    virtual bool Launch(const std::filesystem::path& program) = 0;
    // Hands an http or https address to the desktop's browser.
    virtual bool OpenAddress(const std::string& url) = 0;
    // Types the text into the focused window (clipboard and Ctrl+V).
    virtual bool TypeText(const std::u16string& text) = 0;
};

// The address a type-9 action opens: the stored text with "www." put before it when it has
// neither that nor a scheme, and "https://" when it has no scheme; nothing for other schemes.
std::optional<std::string> AddressOf(std::u16string_view text);

class HostActions {
public:
    HostActions(Store& store, HostPlatform& platform, std::function<void(int profile)> switchProfile);
    // Runs the stored action; false when there is none or it could not be carried out.
    bool RunHostAction(int otherDataId);

private:
    Store& store_;
    HostPlatform& platform_;
    std::function<void(int)> switchProfile_;
};

// The Linux desktop: posix_spawn, xdg-open, and the X11 clipboard with XTest.
class DesktopHostPlatform final : public HostPlatform {
public:
    bool Launch(const std::filesystem::path& program) override;
    bool OpenAddress(const std::string& url) override;
    bool TypeText(const std::u16string& text) override;
};

} // namespace vantrel
