// Per-point seeds from positions, and the dealing of definitions by weight.
#include <charconv>
#include <cmath>
#include <vector>

#include "module_functions.h"
#include "random_draws.h"
#include "ruby_conv.h"
#include "ruby_guard.h"
#include "seeds.h"
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

static VALUE points_seeds(VALUE rows, VALUE seed) {
    const int n = array_length(rows);
    const int s = read_int(seed);
    for (int i = 0; i < n; ++i) {
        const VALUE row = array_entry(rows, i);
        array_store(row, 3, INT2FIX(point_seed(s, point3d_to_float3(array_entry(row, 0)))));
    }
    return rows;
}

// Definition i as often as its share of n records, rounded up; never more than n times.
static std::vector<int> definition_bag(VALUE defs, int k, float total, int n) {
    const float nf = static_cast<float>(n);
    std::vector<int> bag;
    for (int i = 0; i < k; ++i) {
        const float w = read_float(array_entry(array_entry(defs, i), 1));
        const float p = w / total;
        const float c = ceilf(nf * p);
        const int copies = c > 0.0f ? static_cast<int>(std::fmin(c, nf)) : 0;  // NaN gives none
        bag.insert(bag.end(), copies, i);
    }
    return bag;
}

static VALUE points_defs(VALUE settings) {
    // Every key is fetched first, in this order; each value is converted where it is used.
    const VALUE points = hash_value(settings, "points");
    const VALUE defs = hash_value(settings, "defs");
    const VALUE total = hash_value(settings, "probability_total");
    hash_value(settings, "clusters");
    hash_value(settings, "clusters_perturb");
    const VALUE clusters_size = hash_value(settings, "clusters_size");
    const VALUE clusters_blur = hash_value(settings, "clusters_blur");
    const VALUE clusters_noise = hash_value(settings, "clusters_noise");
    const VALUE seed = hash_value(settings, "seed");
    const int n = array_length(points);
    const int k = array_length(defs);
    std::vector<int> bag;
    if (k != 0) {
        bag = definition_bag(defs, k, read_float(total), n);
        rng_seed(static_cast<unsigned>(read_int(seed)));
        shuffle(bag);
    }
    rng_seed(static_cast<unsigned>(read_int(seed)));
    // The cluster settings must be numbers, though no cluster is drawn from them.
    read_double(clusters_size);
    read_double(clusters_blur);
    read_double(clusters_noise);
    const VALUE no_distance = float_value(-1.0);
    for (int i = 0; i < n; ++i) {
        const int index = bag.empty() ? -1 : bag[i % bag.size()];
        const VALUE row = array_entry(points, i);
        array_store(row, 4, INT2FIX(index));
        array_store(row, 5, no_distance);
    }
    return points;
}

}  // namespace engine

extern "C" VALUE cpp_points_seeds(VALUE, VALUE rows, VALUE seed) {
    return engine::guarded([&] { return engine::points_seeds(rows, seed); });
}

extern "C" VALUE cpp_points_defs(VALUE, VALUE settings) {
    return engine::guarded([&] { return engine::points_defs(settings); });
}
