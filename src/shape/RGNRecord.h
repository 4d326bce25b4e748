#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Size of one stored record: the 32-byte region data header and room for 4081
// rectangles. At most 4000 rectangles (64032 bytes) are ever written into it.
constexpr uint32_t RGNRecordSize = 65328;
constexpr uint32_t RGNRecordWritable = 64032;

// The region data of one built shape, in the exported layout of gdi::GetRegionData,
// followed by zero bytes.
struct RGNRecord
{
    std::array<unsigned char, RGNRecordSize> bytes{};
};
