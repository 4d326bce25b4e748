#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Size of a new record: the 32-byte region data header and room for 4081 rectangles.
// A record grows when a larger region is stored in it.
constexpr uint32_t RGNRecordSize = 65328;

// The region data of one built shape, in the exported layout of gdi::GetRegionData,
// followed by zero bytes.
struct RGNRecord
{
    std::vector<unsigned char> bytes = std::vector<unsigned char>(RGNRecordSize, 0);

    // Makes room for at least `size` bytes, keeping what the record holds; the new
    // bytes are zero.
    void reserveBytes(size_t size)
    {
        if (bytes.size() < size) {
            bytes.resize(size, 0);
        }
    }
};
