// vantrelctl's commands over a Session: each runs the same operations the window runs and
// queues the same device tasks, then reports in text or JSON.
#pragma once

#include "app/cli/json.h"
#include "app/core/session.h"

#include <string>
#include <vector>

namespace vantrel {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct CommandResult {
    int code = kExitOk;
    std::string text; // lines for people
    Json json;        // the same facts for scripts
};

// `words` is the command and its arguments, without the global options.
CommandResult RunCommand(Session& session, const std::vector<std::string>& words);

// The usage of one command ("" for the overview); empty for an unknown command.
std::string CommandUsage(const std::string& command);

} // namespace vantrel
