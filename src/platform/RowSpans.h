#pragma once

#include <cstdint>

// The runs of one row of 32-bit pixels: every maximal run of pixels that differ from
// a key colour. Building a shape spends its time here, so there is a path for each
// set of vector instructions, and the best one this processor runs is chosen once.
namespace RowSpans {

// Writes the runs of the row as [left, right) pairs into spans, which must have room
// for width + 1 values, and returns the number of values written (two per run).
using Scan = int (*)(const uint32_t* row, int width, uint32_t key, int32_t* spans);

enum class Path
{
    Plain, // one pixel at a time
    Sse2,  // 32 pixels at a time, four per instruction
    Avx2   // 32 pixels at a time, eight per instruction
};

// The fastest path this build and processor run.
Scan best();
// One path by name, or nullptr where this build or processor cannot run it.
Scan path(Path which);

} // namespace RowSpans
