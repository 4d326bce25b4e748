#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The size of the region data header that every record starts with.
constexpr uint32_t RGNRecordHeaderSize = 32;

// The region data of one built shape, in the exported layout of gdi::GetRegionData.
// A new record is a header of zero bytes, which holds no region; a record grows to
// the size of the largest region stored in it. It holds no room beyond that: every
// reader goes by the byte count in the header, and one number costs what its shape
// needs, not a fixed block.
struct RGNRecord
{
    std::vector<unsigned char> bytes = std::vector<unsigned char>(RGNRecordHeaderSize, 0);

    // Makes room for at least `size` bytes, keeping what the record holds; the new
    // bytes are zero.
    void reserveBytes(size_t size)
    {
        if (bytes.size() < size) {
            bytes.resize(size, 0);
        }
    }
};
