#include "app/core/options.h"

#include <charconv>

namespace vantrel {

const char* const kUsage =
    "Usage: vantrel [--simulate[=MODELS]] [--trace-hid FILE]\n"
    "  --simulate          use simulated keyboards instead of real ones: one of each configured model\n"
    "  --simulate=MODELS   the simulated keyboards, by device type and optional connection mode,\n"
    "                      for example --simulate=100,201:1 (a K100 on cable, a T201 on its receiver)\n"
    "  --trace-hid FILE    append every HID report sent and received to FILE, one hex line each\n"
    "  --help              show this text\n";

namespace {

bool ParseInt(std::string_view text, int* value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg.rfind("--simulate=", 0) == 0) {
            options.simulate = true;
            std::string_view list = std::string_view(arg).substr(11);
            while (!list.empty()) {
                size_t comma = list.find(',');
                std::string_view item = list.substr(0, comma);
                list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
                SimulatedKeyboardChoice choice;
                size_t colon = item.find(':');
                if (!ParseInt(item.substr(0, colon), &choice.deviceType) ||
                    (colon != std::string_view::npos &&
                     (!ParseInt(item.substr(colon + 1), &choice.mode) || choice.mode < 0 || choice.mode > 2))) {
                    *error = "bad keyboard '" + std::string(item) +
                             "' in --simulate: expected a device type and an optional mode 0, 1 or 2, as 201:1";
                    return std::nullopt;
                }
                options.simulated.push_back(choice);
            }
        } else if (arg == "--trace-hid" || arg.rfind("--trace-hid=", 0) == 0) {
            if (arg == "--trace-hid") {
                if (i + 1 >= args.size()) {
                    *error = "--trace-hid needs a file name";
                    return std::nullopt;
                }
                options.traceFile = args[++i];
            } else {
                options.traceFile = arg.substr(12);
            }
        } else {
            *error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
    }
    return options;
}

} // namespace vantrel
