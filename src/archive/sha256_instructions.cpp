#include "archive/sha256_instructions.h"

#include <cpuid.h>
#include <immintrin.h>

#include <algorithm>
#include <cstring>

namespace {

alignas(16) constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// Runs the compression function over whole 64-byte blocks. The instructions keep the eight state
// words as two vectors, (A, B, E, F) and (C, D, G, H) from the highest lane down, so the state is
// rearranged on the way in and back on the way out.
__attribute__((target("sha,sse4.1,ssse3"))) void compressBlocks(std::uint32_t state[8], const unsigned char* data,
    std::size_t blocks)
{
    // Message words are big-endian.
    const __m128i byteOrder = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));     // lanes a b c d
    const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)); // lanes e f g h
    const __m128i badc = _mm_shuffle_epi32(dcba, 0xB1);                                 // lanes b a d c
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);                                 // lanes h g f e
    __m128i abef = _mm_alignr_epi8(badc, efgh, 8);                                      // lanes f e b a
    __m128i cdgh = _mm_blend_epi16(efgh, badc, 0xF0);                                   // lanes h g d c

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i words[4];
        for (int i = 0; i < 4; ++i) {
            words[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteOrder);
        }
        // Sixteen groups of four rounds; from the fifth on, each group's words come from the four
        // groups before it, which words[] holds in turn. Unrolled, the four stay in registers.
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) {
            __m128i& slot = words[group % 4];
            if (group >= 4) {
                const __m128i& previous = words[(group + 3) % 4];
                __m128i next = _mm_sha256msg1_epu32(slot, words[(group + 1) % 4]);
                next = _mm_add_epi32(next, _mm_alignr_epi8(previous, words[(group + 2) % 4], 4));
                slot = _mm_sha256msg2_epu32(next, previous);
            }
            const __m128i withConstants = _mm_add_epi32(
                slot, _mm_load_si128(reinterpret_cast<const __m128i*>(kRoundConstants + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, withConstants);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(withConstants, 0x0E));
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B); // lanes a b e f
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1); // lanes g h c d
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

} // namespace

bool processorHasShaInstructions()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        return false;
    }
    const bool sse = (ecx & bit_SSSE3) && (ecx & bit_SSE4_1);
    if (!sse || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        return false;
    }
    return (ebx & bit_SHA) != 0;
}

CSha256Instructions::CSha256Instructions()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19}
{
}

void CSha256Instructions::update(const unsigned char* data, std::size_t size)
{
    totalBytes_ += size;
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(size, sizeof(pending_) - pendingSize_);
        std::memcpy(pending_ + pendingSize_, data, take);
        pendingSize_ += take;
        data += take;
        size -= take;
        if (pendingSize_ < sizeof(pending_)) {
            return;
        }
        compressBlocks(state_, pending_, 1);
        pendingSize_ = 0;
    }
    compressBlocks(state_, data, size / 64);
    pendingSize_ = size % 64;
    std::memcpy(pending_, data + size - pendingSize_, pendingSize_);
}

std::array<std::uint8_t, 32> CSha256Instructions::finish()
{
    // The padding: one bit, zeros up to 8 bytes short of a block, the length in bits, big-endian.
    const std::uint64_t bits = totalBytes_ * 8;
    unsigned char tail[128] = {0x80};
    const std::size_t tailSize = pendingSize_ < 56 ? 64 - pendingSize_ : 128 - pendingSize_;
    for (int i = 0; i < 8; ++i) {
        tail[tailSize - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    }
    update(tail, tailSize);
    std::array<std::uint8_t, 32> digest = {};
    for (int word = 0; word < 8; ++word) {
        for (int i = 0; i < 4; ++i) {
            digest[4 * word + i] = static_cast<std::uint8_t>(state_[word] >> (24 - 8 * i));
        }
    }
    return digest;
}
