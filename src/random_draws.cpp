#include "random_draws.h"

#include <cstdlib>

namespace engine {

static void system_seed(unsigned seed) { srand(seed); }

static const RandomSource system_source{&rand, &system_seed};
static RandomSource source = system_source;

void set_random_source(const RandomSource &s) { source = s; }
void reset_random_source() { source = system_source; }

int rng_next() { return source.next(); }
void rng_seed(unsigned seed) { source.seed(seed); }

float unit_draw() { return static_cast<float>(static_cast<double>(rng_next()) / 2147483647.0); }

float percentage_draw() { return unit_draw() * 100.0f; }

float fraction_draw() { return static_cast<float>(rng_next()) * 0x1p-31f; }

bool rand_bool(float pct) { return pct >= percentage_draw(); }

bool falloff(float a, float b) {
    const float pct = (a / b) * 100.0f;
    return pct >= percentage_draw();
}

}  // namespace engine
