#pragma once

#include <cstdint>

// 32-bit little-endian integers in byte buffers, as region data stores them.
inline void putLE32(unsigned char* p, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<unsigned char>(u >> (8 * i));
    }
}

inline int32_t getLE32(const unsigned char* p)
{
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) {
        u |= static_cast<uint32_t>(p[i]) << (8 * i);
    }
    return static_cast<int32_t>(u);
}
