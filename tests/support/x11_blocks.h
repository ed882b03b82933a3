// A full-screen X window of two colour blocks, for the screen colour tests. Kept apart from
// GoogleTest, whose names X11's macros would clash with.
#pragma once

#include <cstdint>
#include <memory>

namespace vantrel::testing {

class ColourBlocks;
struct ColourBlocksCloser {
    void operator()(ColourBlocks* blocks) const;
};

// Left half and right half in the given 0x00BBGGRR colours; nothing without a display.
std::unique_ptr<ColourBlocks, ColourBlocksCloser> ShowColourBlocks(uint32_t left, uint32_t right);

} // namespace vantrel::testing
