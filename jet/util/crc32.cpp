#include "jet/util/crc32.h"

#include <array>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define JET_CRC32_FOLDING 1
#include <immintrin.h>
#endif

namespace jet {

namespace {

constexpr std::uint32_t kPoly = 0xEDB88320u;

// All the functions below run the register: the complement of the CRC.

// tables[0] is the classic byte table; tables[k][b] is the CRC of byte b
// followed by k zero bytes.
const std::array<std::array<std::uint32_t, 256>, 8>& tables() {
    static const auto t = [] {
        std::array<std::array<std::uint32_t, 256>, 8> out{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? kPoly ^ (c >> 1) : c >> 1;
            out[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (std::size_t k = 1; k < 8; ++k) out[k][i] = out[0][out[k - 1][i] & 0xFF] ^ (out[k - 1][i] >> 8);
        return out;
    }();
    return t;
}

// Eight bytes per step, then the rest one by one.
std::uint32_t runTables(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
    const auto& t = tables();
    for (; n >= 8; n -= 8, p += 8) {
        const std::uint32_t low = le32(p) ^ reg, high = le32(p + 4);
        reg = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    while (n--) reg = t[0][(reg ^ *p++) & 0xFF] ^ (reg >> 8);
    return reg;
}

#ifdef JET_CRC32_FOLDING
// Folding. The bits run through the polynomial ring lowest bit of the first
// byte first, as the highest power. Sixteen bytes loaded into a register are
// then H * x^64 + L: H in its low half, L in its high half, each with bit i
// holding the coefficient of x^(63 - i). Data s bits further on is added by
// multiplying the register by x^s first; modulo the polynomial that is
// H * (x^(64+s) mod P) + L * (x^s mod P), two 64 x 32 bit carry-less
// products that fit in 128 bits again. The CRC of the bytes is unchanged by
// it, since the CRC is the whole message times x^32 modulo P.
//
// Carry-less multiplication of two halves in this bit order yields the
// product times x, and a constant kept in the low 32 bits of its half stands
// for itself times x^32; so the half that multiplies H holds
// x^(64+s-33) mod P and the one that multiplies L holds x^(s-33) mod P.

// x^n mod P, bit 31 - i holding the coefficient of x^i, as the register does.
constexpr std::uint32_t xPow(int n) {
    std::uint32_t r = 0x80000000u;
    for (; n > 0; --n) r = (r >> 1) ^ ((r & 1) ? kPoly : 0);
    return r;
}

// The constants that carry a register s bits further along.
template <int s> __attribute__((target("pclmul"))) __m128i foldBy() {
    constexpr std::uint32_t forH = xPow(64 + s - 33), forL = xPow(s - 33);
    return _mm_set_epi64x(forL, forH);
}

__attribute__((target("pclmul"))) __m128i load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Carries x by the constants k and adds the next sixteen bytes.
__attribute__((target("pclmul"))) __m128i fold(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// Four registers side by side take 64 bytes per step, so that one product
// need not wait for the one before; they are then folded into one, and that
// one carries on by sixteen bytes. What is folded so far then sums as the
// sixteen bytes of the register alone, which the tables sum from a cleared
// register before going on with the last few bytes.
// REQUIRES: n >= 64.
__attribute__((target("pclmul"))) std::uint32_t runFolding(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
    __m128i x0 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x1 = load(p + 16), x2 = load(p + 32), x3 = load(p + 48);
    const __m128i by64Bytes = foldBy<512>();
    for (p += 64, n -= 64; n >= 64; p += 64, n -= 64) {
        x0 = fold(x0, by64Bytes, load(p));
        x1 = fold(x1, by64Bytes, load(p + 16));
        x2 = fold(x2, by64Bytes, load(p + 32));
        x3 = fold(x3, by64Bytes, load(p + 48));
    }
    const __m128i by16Bytes = foldBy<128>();
    __m128i x = fold(fold(fold(x0, by16Bytes, x1), by16Bytes, x2), by16Bytes, x3);
    for (; n >= 16; p += 16, n -= 16) x = fold(x, by16Bytes, load(p));
    std::uint8_t last[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(last), x);
    return runTables(runTables(0, last, sizeof last), p, n);
}

bool canFold() {
    static const bool can = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") != 0;
    }();
    return can;
}
#endif

} // namespace

std::uint32_t crc32(std::uint32_t crc, const std::uint8_t* p, std::size_t n) {
#ifdef JET_CRC32_FOLDING
    if (n >= 64 && canFold()) return ~runFolding(~crc, p, n);
#endif
    return ~runTables(~crc, p, n);
}

namespace crc32_detail {

std::uint32_t byTables(std::uint32_t crc, const std::uint8_t* p, std::size_t n) { return ~runTables(~crc, p, n); }

} // namespace crc32_detail

} // namespace jet
