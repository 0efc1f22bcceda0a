// Per-point seeds from positions, and the dealing of definitions by weight.
#include "seeds.h"

#include <charconv>
#include <cmath>

#include "random_draws.h"
#include "shuffle.h"

namespace engine {

// h = h * 101 + c over the bytes of text, each byte signed, wrapping at 32 bits.
static unsigned hash_seed(const char *first, const char *last, unsigned h) {
    for (const char *c = first; c != last; ++c) h = h * 101u + static_cast<unsigned>(static_cast<signed char>(*c));
    return h;
}

int point_seed(int seed, const math::float3 &p) {
    const float s = p.SumOfElements();
    float t = p.x * 11.0f + s;
    t = p.y * 12.0f + t;
    t = p.z * 13.0f + t;
    const float v = static_cast<float>(seed) + t;
    // The text "%f" prints, written several times faster: fixed notation, six decimals,
    // exactly rounded, "-nan", "inf" and "-0.000000" included.
    char text[64];  // the largest float needs 46
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 6);
    return static_cast<int>(hash_seed(text, end.ptr, 0u) % 1000000u);
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
