#pragma once

#include <QByteArray>
#include <cstdint>

// Little-endian integers in byte buffers, as region data and picture files store
// them.
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

// Unsigned 16- and 32-bit values at a byte offset of a file's bytes; the caller has
// checked that the bytes are there.
inline uint32_t le16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<uint8_t>(bytes[at]) | (uint32_t{static_cast<uint8_t>(bytes[at + 1])} << 8);
}

inline uint32_t le32(const QByteArray& bytes, qsizetype at)
{
    return le16(bytes, at) | (le16(bytes, at + 2) << 16);
}

inline void putLE32(QByteArray& bytes, qsizetype at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}
