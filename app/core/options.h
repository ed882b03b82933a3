// The program's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct SimulatedKeyboardChoice {
    int deviceType = 0;
    int mode = -1; // -1: the model's first connection
};

struct Options {
    bool simulate = false;
    std::vector<SimulatedKeyboardChoice> simulated; // empty: one keyboard of each model
    std::string traceFile;
    bool help = false;
};

// Nothing and a message in `error` for a bad command line.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error);
extern const char* const kUsage;

} // namespace vantrel
