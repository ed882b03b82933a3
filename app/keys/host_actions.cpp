#include "app/keys/host_actions.h"

#include "app/core/text_encoding.h"
#include "app/keys/key_function.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cctype>
#include <thread>

extern char** environ;

namespace vantrel {
namespace {

bool Spawn(const char* file, std::vector<std::string> args, bool searchPath) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = searchPath ? posix_spawnp(&pid, file, nullptr, nullptr, argv.data(), environ)
                              : posix_spawn(&pid, file, nullptr, nullptr, argv.data(), environ);
    if (rc != 0) return false;
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach(); // no zombie left behind
    return true;
}

} // namespace

std::optional<std::string> AddressOf(std::u16string_view text) {
    if (text.empty()) return std::nullopt;
    std::string url = WideToUtf8(text);
    for (char c : url)
        if (static_cast<unsigned char>(c) <= ' ') return std::nullopt; // one address, nothing else
    const size_t scheme = url.find("://");
    if (scheme != std::string::npos) {
        std::string name = url.substr(0, scheme);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name != "http" && name != "https") return std::nullopt;
        return url;
    }
    if (url.find("www.") == std::string::npos) url = "www." + url;
    return "https://" + url;
}

HostActions::HostActions(Store& store, HostPlatform& platform, std::function<void(int)> switchProfile)
    : store_(store), platform_(platform), switchProfile_(std::move(switchProfile)) {}

bool HostActions::RunHostAction(int id) {
    std::u16string desc, param;
    int type = -1;
    store_.GetOtherData(id, &desc, &param, &type);
    switch (type) {
    case kLaunchProgram: {
        // Only a program file that exists, started directly: a stored text is never a command line.
        const std::filesystem::path program(WideToUtf8(param));
        std::error_code ec;
        if (param.empty() || !std::filesystem::is_regular_file(program, ec)) return false;
        return platform_.Launch(program);
    }
    case kOpenAddress: {
        auto url = AddressOf(desc);
        return url && platform_.OpenAddress(*url);
    }
    case kTypeText:
        return !desc.empty() && platform_.TypeText(desc);
    case kSwitchProfile: {
        const int profile = DecimalToInt(param);
        if (switchProfile_) switchProfile_(profile);
        return true;
    }
    default:
        return false;
    }
}

bool DesktopHostPlatform::Launch(const std::filesystem::path& program) {
    return Spawn(program.c_str(), {program.string()}, false);
}

bool DesktopHostPlatform::OpenAddress(const std::string& url) {
    if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) return false;
    return Spawn("xdg-open", {"xdg-open", url}, true);
}

} // namespace vantrel
