#include "app/cli/handover.h"

namespace vantrel {
namespace {

constexpr char kUnit = '\x1F';
constexpr char kLine = '\x1E';

} // namespace

std::optional<std::string> EncodeCommand(const std::vector<std::string>& words) {
    std::string request = "ctl";
    for (const std::string& w : words) {
        if (w.find_first_of("\n\r\x1F\x1E") != std::string::npos) return std::nullopt;
        request += kUnit;
        request += w;
    }
    return request;
}

std::optional<std::vector<std::string>> DecodeCommand(const std::string& request) {
    if (request.rfind("ctl", 0) != 0) return std::nullopt;
    std::vector<std::string> words;
    size_t at = 3;
    while (at < request.size() && request[at] == kUnit) {
        const size_t next = request.find(kUnit, at + 1);
        words.push_back(request.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
        at = next == std::string::npos ? request.size() : next;
    }
    return words;
}

std::string EncodeAnswer(const CommandResult& result, bool json) {
    std::string output = json ? result.json.Text() + "\n" : result.text;
    for (char& c : output)
        if (c == '\n') c = kLine;
    return std::to_string(result.code) + kUnit + output;
}

bool DecodeAnswer(const std::string& answer, int* code, std::string* output) {
    const size_t unit = answer.find(kUnit);
    if (unit == std::string::npos) return false;
    try {
        *code = std::stoi(answer.substr(0, unit));
    } catch (...) {
        return false;
    }
    *output = answer.substr(unit + 1);
    for (char& c : *output)
        if (c == kLine) c = '\n';
    return true;
}

} // namespace vantrel
