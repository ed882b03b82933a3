// The family-A macro download: one 0x8E stream per macro key, then one frame per shortcut key.
#pragma once

#include "app/keys/key_write_context.h"

#include <map>
#include <vector>

namespace vantrel {

inline constexpr size_t kMacroStreamSize = 1200;

// The macro's stream: repeat count, event count, three bytes per press or release. Its length
// is 3 × events + 3 (the rest of the 1200 bytes is zero).
std::vector<uint8_t> BuildMacroStream(const KeyWriteContext& ctx, int macroId, size_t* length);

// Sends the macros and shortcuts of the profile's keys; returns key code -> macro slot.
std::map<int, int> DownloadMacros(const KeyWriteContext& ctx);

} // namespace vantrel
