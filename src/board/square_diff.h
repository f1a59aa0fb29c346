// The squares where two per-square arrays of 64 entries differ, as a bitboard (bit q for square
// q): a change between a position and the one it was made from is found in a few vector
// compares instead of a loop over the board.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvex {

template <typename T>
inline uint64_t DifferingSquares(const T (&a)[64], const T (&b)[64]) {
    static_assert(sizeof(T) == 4, "entries of 32 bits");
#if defined(__SSE2__)
    uint64_t differ = 0;
    for (unsigned q = 0; q < 64; q += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&a[q]));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&b[q]));
        const int same = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(x, y)));
        differ |= static_cast<uint64_t>(~same & 15) << q;
    }
    return differ;
#else
    uint64_t differ = 0;
    for (unsigned q = 0; q < 64; ++q) {
        if (a[q] != b[q]) differ |= uint64_t{1} << q;
    }
    return differ;
#endif
}

}  // namespace tarvex
