// The engine's random stream: the system library's rand/srand, shared process-wide with
// the host, and the three draws derived from it. Every draw is exactly one call of rand.
#pragma once

namespace engine {

// The source of raw draws; the system library's by default. C++ tests script it.
struct RandomSource {
    int (*next)();
    void (*seed)(unsigned);
};
void set_random_source(const RandomSource &source);
void reset_random_source();
bool system_source_active();

int rng_next();
void rng_seed(unsigned seed);

// srand(seed + trunc(v)), the sum wrapping at 32 bits. A v that no int holds (NaN, huge)
// counts as INT_MIN, the value the hardware's truncation gives.
void rng_seed_offset(int seed, float v);
int trunc_i32_sat(float v);

float unit_draw();        // rand() / 2147483647.0 in double, narrowed: [0, 1]
float unit_value(int raw);  // the same of a number already drawn
float percentage_draw();  // unit_draw() * 100 in float
float fraction_draw();    // (float)rand() * 2^-31: [0, 1], 1 only by rounding of the largest draws

bool rand_bool(float pct);         // pct >= percentage_draw()
bool falloff(float a, float b);    // (a / b) * 100 >= percentage_draw()

}  // namespace engine
