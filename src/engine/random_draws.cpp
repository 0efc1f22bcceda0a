#include "random_draws.h"

#include <climits>
#include <cstdlib>

namespace engine {

static void system_seed(unsigned seed) { srand(seed); }

static const RandomSource system_source{&rand, &system_seed};
static RandomSource source = system_source;

void set_random_source(const RandomSource &s) { source = s; }
void reset_random_source() { source = system_source; }
bool system_source_active() { return source.next == system_source.next && source.seed == system_source.seed; }

int rng_next() { return source.next(); }
void rng_seed(unsigned seed) { source.seed(seed); }

int trunc_i32_sat(float v) {
    // 2147483648.0f is the first float past INT_MAX; NaN fails both comparisons.
    if (!(v > -2147483904.0f && v < 2147483648.0f)) return INT_MIN;
    return static_cast<int>(v);
}

void rng_seed_offset(int seed, float v) {
    rng_seed(static_cast<unsigned>(seed) + static_cast<unsigned>(trunc_i32_sat(v)));
}

// Narrowed to float, the quotient and the product with the reciprocal agree for every int
// (checked over all of them), and the product needs no division.
float unit_value(int raw) { return static_cast<float>(static_cast<double>(raw) * (1.0 / 2147483647.0)); }

float unit_draw() { return unit_value(rng_next()); }

float percentage_draw() { return unit_draw() * 100.0f; }

float fraction_draw() { return static_cast<float>(rng_next()) * 0x1p-31f; }

bool rand_bool(float pct) { return pct >= percentage_draw(); }

bool falloff(float a, float b) {
    const float pct = (a / b) * 100.0f;
    return pct >= percentage_draw();
}

}  // namespace engine
