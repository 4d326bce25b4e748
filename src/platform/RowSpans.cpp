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
struct Sse2Finder
{
    template <bool WantKey> static int find(const uint32_t* row, int x, int width, uint32_t key)
    {
        const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
        while (x + 4 <= width) {
            const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            const int equal = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(pixels, keys)));
            const int found = WantKey ? equal : (~equal & 0xF);
            if (found != 0) {
                return x + std::countr_zero(static_cast<unsigned>(found));
            }
            x += 4;
        }
        return PlainFinder::find<WantKey>(row, x, width, key);
    }
};
#endif

#if defined(DESKWORD_ROW_SPANS_AVX2)
struct Avx2Finder
{
    template <bool WantKey>
    [[gnu::target("avx2")]] static int find(const uint32_t* row, int x, int width, uint32_t key)
    {
        const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
        while (x + 8 <= width) {
            const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
            const int equal =
                _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(pixels, keys)));
            const int found = WantKey ? equal : (~equal & 0xFF);
            if (found != 0) {
                return x + std::countr_zero(static_cast<unsigned>(found));
            }
            x += 8;
        }
        return PlainFinder::find<WantKey>(row, x, width, key);
    }
};
#endif

// Inlined into each path so that its finder is too.
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
    return scanWith<Sse2Finder>(row, width, key, spans);
}
#endif

#if defined(DESKWORD_ROW_SPANS_AVX2)
[[gnu::target("avx2")]] int scanAvx2(const uint32_t* row, int width, uint32_t key, int32_t* spans)
{
    return scanWith<Avx2Finder>(row, width, key, spans);
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
