// Per-point seeds from positions, and the dealing of definitions by weight.
#include "seeds.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "random_draws.h"
#include "shuffle.h"

namespace engine {

// h = h * 101 + c over the bytes of text, each byte signed, wrapping at 32 bits.
static unsigned hash_seed(const char *first, const char *last, unsigned h) {
    for (const char *c = first; c != last; ++c) h = h * 101u + static_cast<unsigned>(static_cast<signed char>(*c));
    return h;
}

// v's digits with six decimals, exactly rounded (half to even, as printf rounds), for the
// finite floats below 2^63: v is m * 2^e with m below 2^24, so v * 10^6 is m * 10^6 (below
// 2^44) shifted by e. False for the others.
static bool write_six_decimals(float v, char *&out) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const int biased = static_cast<int>(bits >> 23 & 0xFF);
    if (biased == 0xFF) return false;
    const uint64_t m = biased == 0 ? bits & 0x7FFFFF : (bits & 0x7FFFFF) | 0x800000;
    const int e = (biased == 0 ? 1 : biased) - 150;
    if (e > 39) return false;
    uint64_t whole = 0, millionths = 0;
    if (e >= 0) {
        whole = m << e;
    } else if (-e < 45) {  // further right, m * 10^6 is below half a millionth
        const int shift = -e;
        const uint64_t scaled = m * 1000000u;
        uint64_t q = scaled >> shift;
        const uint64_t rest = scaled & ((uint64_t(1) << shift) - 1), half = uint64_t(1) << (shift - 1);
        if (rest > half || (rest == half && (q & 1))) ++q;
        whole = q / 1000000u;
        millionths = q % 1000000u;
    }
    if (bits >> 31) *out++ = '-';
    out = std::to_chars(out, out + 20, whole).ptr;
    *out++ = '.';
    for (int d = 5; d >= 0; --d, millionths /= 10) out[d] = static_cast<char>('0' + millionths % 10);
    out += 6;
    return true;
}

// The text "%f" prints, written several times faster: fixed notation, six decimals, exactly
// rounded, "-nan", "inf" and "-0.000000" included; the library's general conversion takes
// the floats the integer arithmetic can't. `text` holds 64 bytes (the largest float needs
// 46). Kept out of line: the sign of a NaN that two NaNs of opposite signs make depends on
// the order the compiler gives the additions before it, which must stay as it was.
__attribute__((noinline)) static char *percent_f_text(float v, char *text) {
    char *end = text;
    if (write_six_decimals(v, end)) return end;
    return std::to_chars(text, text + 64, v, std::chars_format::fixed, 6).ptr;
}

int point_seed(int seed, const math::float3 &p) {
    const float s = p.SumOfElements();
    float t = p.x * 11.0f + s;
    t = p.y * 12.0f + t;
    t = p.z * 13.0f + t;
    const float v = static_cast<float>(seed) + t;
    char text[64];
    const char *end = percent_f_text(v, text);
    return static_cast<int>(hash_seed(text, end, 0u) % 1000000u);
}

// Definition i as often as its share of n records, rounded up; never more than n times.
static std::vector<int> definition_bag(const std::vector<float> &weights, float total, int n) {
    const float nf = static_cast<float>(n);
    std::vector<int> bag;
    for (size_t i = 0; i < weights.size(); ++i) {
        const float w = weights[i];
        const float p = w / total;
        const float c = ceilf(nf * p);
        const int copies = c > 0.0f ? static_cast<int>(std::fmin(c, nf)) : 0;  // NaN gives none
        bag.insert(bag.end(), copies, static_cast<int>(i));
    }
    return bag;
}

std::vector<int> deal_definitions(const std::vector<float> &weights, float total, int n, int seed) {
    std::vector<int> bag;
    if (!weights.empty()) {
        bag = definition_bag(weights, total, n);
        rng_seed(static_cast<unsigned>(seed));
        shuffle(bag);
    }
    rng_seed(static_cast<unsigned>(seed));
    std::vector<int> dealt(n);
    for (int i = 0; i < n; ++i) dealt[i] = bag.empty() ? -1 : bag[i % bag.size()];
    return dealt;
}

}  // namespace engine
