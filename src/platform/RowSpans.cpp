#include "RowSpans.h"

#include <bit>
#include <initializer_list>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define DESKWORD_ROW_SPANS_AVX2 1
#endif

namespace {

// Finders of the first column from x on whose pixel equals the key (WantKey) or
// differs from it, or width when there is none.
struct PlainFinder
{
    template <bool WantKey> static int find(const uint32_t* row, int x, int width, uint32_t key)
    {
        while (x < width && (row[x] == key) != WantKey) {
            ++x;
        }
        return x;
    }
};

#if defined(__SSE2__)
// Bit i set where pixel i of the 32 from row differs from the key.
struct Sse2Block
{
    static uint32_t differing(const uint32_t* row, uint32_t key)
    {
        const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
        uint32_t equal = 0;
        for (int k = 0; k < 8; ++k) {
            const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * k));
            equal |= static_cast<uint32_t>(
                         _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(pixels, keys))))
                     << (4 * k);
        }
        return ~equal;
    }
};
#endif

#if defined(DESKWORD_ROW_SPANS_AVX2)
struct Avx2Block
{
    [[gnu::target("avx2")]] static uint32_t differing(const uint32_t* row, uint32_t key)
    {
        const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
        uint32_t equal = 0;
        for (int k = 0; k < 4; ++k) {
            const __m256i pixels =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 8 * k));
            equal |= static_cast<uint32_t>(
                         _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(pixels, keys))))
                     << (8 * k);
        }
        return ~equal;
    }
};
#endif

// 32 pixels at a time: a mask of the pixels that differ from the key, and from it the
// columns where a pixel differs in that from the one before it: each such column
// starts or ends a run, in turn. Short runs (small text) cost a few instructions
// each, and a block without edges costs only its compares.
template <class Block>
[[gnu::always_inline]] inline int scanBlocks(const uint32_t* row, int width, uint32_t key,
                                             int32_t* spans)
{
    int count = 0;
    uint32_t inside = 0; // 1 while a run is open at the end of the last block
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const uint32_t set = Block::differing(row + x, key);
        uint32_t edges = set ^ ((set << 1) | inside);
        inside = set >> 31;
        while (edges != 0) {
            spans[count++] = x + std::countr_zero(edges);
            edges &= edges - 1;
        }
    }
    for (; x < width; ++x) {
        const uint32_t set = row[x] != key ? 1 : 0;
        if (set != inside) {
            spans[count++] = x;
            inside = set;
        }
    }
    if (inside != 0) {
        spans[count++] = width;
    }
    return count;
}

// One pixel at a time.
template <class Finder>
[[gnu::always_inline]] inline int scanWith(const uint32_t* row, int width, uint32_t key,
                                           int32_t* spans)
{
    int count = 0;
    int x = 0;
    while (x < width) {
        const int start = Finder::template find<false>(row, x, width, key);
        if (start >= width) {
            break;
        }
        x = Finder::template find<true>(row, start + 1, width, key);
        spans[count++] = start;
        spans[count++] = x;
    }
    return count;
}

int scanPlain(const uint32_t* row, int width, uint32_t key, int32_t* spans)
{
    return scanWith<PlainFinder>(row, width, key, spans);
}

#if defined(__SSE2__)
int scanSse2(const uint32_t* row, int width, uint32_t key, int32_t* spans)
{
    return scanBlocks<Sse2Block>(row, width, key, spans);
}
#endif

#if defined(DESKWORD_ROW_SPANS_AVX2)
[[gnu::target("avx2")]] int scanAvx2(const uint32_t* row, int width, uint32_t key, int32_t* spans)
{
    return scanBlocks<Avx2Block>(row, width, key, spans);
}
#endif

} // namespace

namespace RowSpans {

Scan path(Path which)
{
    switch (which) {
    case Path::Plain:
        return scanPlain;
    case Path::Sse2:
#if defined(__SSE2__)
        return scanSse2;
#else
        return nullptr;
#endif
    case Path::Avx2:
#if defined(DESKWORD_ROW_SPANS_AVX2)
        return __builtin_cpu_supports("avx2") ? scanAvx2 : nullptr;
#else
        return nullptr;
#endif
    }
    return nullptr;
}

Scan best()
{
    for (const Path which : {Path::Avx2, Path::Sse2}) {
        if (const Scan scan = path(which)) {
            return scan;
        }
    }
    return scanPlain;
}

} // namespace RowSpans
