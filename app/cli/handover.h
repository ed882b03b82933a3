// Handing a vantrelctl command to the running program over the single-instance socket, so that
// the two never drive the keyboard at once. One request line, one answer line.
#pragma once

#include "app/cli/commands.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// "ctl" followed by the words, each after a unit separator (0x1F); nothing when a word holds a
// line break or the separator itself.
std::optional<std::string> EncodeCommand(const std::vector<std::string>& words);
std::optional<std::vector<std::string>> DecodeCommand(const std::string& request);

// "<code> <text> <json>" separated by 0x1F, line breaks of the text as 0x1E.
std::string EncodeAnswer(const CommandResult& result, bool json);
bool DecodeAnswer(const std::string& answer, int* code, std::string* output);

} // namespace vantrel
