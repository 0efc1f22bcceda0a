// The stream after a seed, computed without the system library's warm-up, must be the
// system library's own, and a step that reseeds through the scope must leave the system
// stream exactly where plain srand and rand calls leave it.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

#include "engine/random_draws.h"
#include "engine/reseeding_scope.h"
#include "engine/seeded_rand.h"

namespace {

// The C library's generator on a state of its own (the default generator's size), so that
// the comparison does not depend on, or disturb, the process-wide stream.
std::vector<int> library_draws(unsigned seed, int count) {
    char state[128];
    random_data data{};
    initstate_r(seed, state, sizeof state, &data);
    std::vector<int> draws;
    for (int k = 0; k < count; ++k) {
        int32_t value;
        random_r(&data, &value);
        draws.push_back(value);
    }
    return draws;
}

std::vector<int> model_draws(unsigned seed, int count) {
    engine::SeededRand model(seed);
    std::vector<int> draws;
    for (int k = 0; k < count; ++k) draws.push_back(model.next());
    return draws;
}

TEST(SeededRand, DrawsWhatTheCLibraryDrawsAfterTheSameSeed) {
    std::vector<unsigned> seeds = {0, 1, 2, 127773, 2147483646u, 2147483647u, 2147483648u, 4294967295u};
    std::mt19937 pick(7);
    for (int i = 0; i < 2000; ++i) seeds.push_back(pick());
    for (unsigned seed : seeds)
        ASSERT_EQ(library_draws(seed, engine::SeededRand::kDraws), model_draws(seed, engine::SeededRand::kDraws))
            << "seed " << seed;
    // And the process-wide stream itself.
    for (unsigned seed : {5u, 999999u}) {
        srand(seed);
        EXPECT_EQ(rand(), engine::SeededRand(seed).next());
    }
}

// The process-wide stream itself, srand then rand, for seeds across the whole range of the
// int a record's seed is: zero, the edges of the modulus 2^31 - 1 that the seeding works in,
// negative seeds (which the seeding reduces from their signed value), every 65537th seed
// and random ones.
TEST(SeededRand, DrawsWhatTheSystemStreamDrawsForSeedsOfEveryKind) {
    std::vector<std::int32_t> seeds = {0,          1,          -1,      2,           127773,      -127773,    16807,
                                       2147483646, 2147483647, INT_MIN, -2147483646, -2147483647, 1073741823,
                                       -1073741824};
    for (std::int64_t s = INT_MIN; s <= INT_MAX; s += 65537) seeds.push_back(static_cast<std::int32_t>(s));
    std::mt19937 pick(11);
    for (int i = 0; i < 2000; ++i) seeds.push_back(static_cast<std::int32_t>(pick()));
    for (std::int32_t seed : seeds) {
        const unsigned u = static_cast<unsigned>(seed);
        srand(u);
        engine::SeededRand model(u);
        for (int k = 0; k < engine::SeededRand::kDraws; ++k)
            ASSERT_EQ(rand(), model.next()) << "seed " << seed << " draw " << k;
    }
}

// A step's use of the stream: seed when seed >= 0, then draw `draws` times.
struct Use {
    long seed;
    int draws;
};

// What the steps draw, and the next draws of the system stream after them.
std::vector<int> run(const std::vector<Use> &uses, bool scoped) {
    srand(424242);
    std::vector<int> seen;
    {
        std::optional<engine::ReseedingScope> scope;
        if (scoped) scope.emplace();
        for (const Use &use : uses) {
            if (use.seed >= 0) engine::rng_seed(static_cast<unsigned>(use.seed));
            for (int k = 0; k < use.draws; ++k) seen.push_back(engine::rng_next());
        }
    }
    for (int k = 0; k < 5; ++k) seen.push_back(rand());
    return seen;
}

TEST(ReseedingScope, DrawsAndLeavesTheStreamAsPlainCalls) {
    const std::vector<std::vector<Use>> cases = {
        {},                                                   // nothing drawn: the stream untouched
        {{-1, 3}},                                            // draws before any seed come from the stream
        {{11, 2}, {12, 0}, {13, 1}},                          // the last seed drew once
        {{11, 2}, {12, 0}},                                   // the last seed drew nothing
        {{21, 1}, {22, 70}, {23, 2}},                         // more draws than the model holds
        {{31, 0}, {-1, 4}, {32, 65}, {-1, 2}},                // draws past the model, then more
        {{0, 3}, {2147483648, 3}, {4294967295, 3}},           // seeds at the edges
    };
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(run(cases[i], false), run(cases[i], true)) << "case " << i;
}

TEST(ReseedingScope, AnExceptionLeavingTheStepStillBringsTheStreamInStep) {
    auto step = [](bool scoped) {
        srand(77);
        try {
            std::optional<engine::ReseedingScope> scope;
            if (scoped) scope.emplace();
            engine::rng_seed(5);
            engine::rng_seed(6);
            engine::rng_next();
            throw std::runtime_error("a conversion raised");
        } catch (const std::runtime_error &) {
        }
        return rand();
    };
    EXPECT_EQ(step(false), step(true));
}

// Code that runs while a step waits reseeds and draws from the system stream: the step's
// draws go on as if it had not, and the stream after the step is the plain one.
TEST(ReseedingScope, APauseNeitherChangesTheStepsDrawsNorSeesThem) {
    auto step = [](bool interfere) {
        srand(99);
        std::vector<int> seen;
        {
            const engine::ReseedingScope scope;
            engine::rng_seed(41);
            for (int k = 0; k < 100; ++k) {
                seen.push_back(engine::rng_next());
                if (!interfere || k % 30 != 0) continue;
                const engine::ReseedingScope::Pause pause;
                engine::rng_seed(7);
                engine::rng_next();
                rand();
            }
        }
        for (int k = 0; k < 5; ++k) seen.push_back(rand());
        return seen;
    };
    EXPECT_EQ(step(false), step(true));
}

// Tests that script the stream keep their script inside a scope.
int scripted() { return 1234; }
void ignore(unsigned) {}

TEST(ReseedingScope, LeavesAScriptedStreamAlone) {
    engine::set_random_source({&scripted, &ignore});
    {
        const engine::ReseedingScope scope;
        engine::rng_seed(3);
        EXPECT_EQ(1234, engine::rng_next());
    }
    EXPECT_FALSE(engine::system_source_active());
    engine::reset_random_source();
}

}  // namespace
