#include "engine/random_draws.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

// A scripted stream: every draw returns the next value of `script`.
int script[4];
int position = 0;
int scripted_next() { return script[position++ % 4]; }
void ignore_seed(unsigned) {}

class RandomDraws : public testing::Test {
protected:
    void use(int value) {
        for (int &s : script) s = value;
        position = 0;
        engine::set_random_source({&scripted_next, &ignore_seed});
    }
    void TearDown() override { engine::reset_random_source(); }
};

TEST_F(RandomDraws, UnitDrawDividesInDoubleThenNarrows) {
    struct Case { int raw; float expected; };
    const Case cases[] = {
        {0, 0.0f},
        {2147483647, 1.0f},
        {1073741824, static_cast<float>(1073741824 / 2147483647.0)},
        {1, static_cast<float>(1 / 2147483647.0)},  // differs from (float)1 / 2147483647.0f
    };
    for (const auto &c : cases) {
        use(c.raw);
        EXPECT_EQ(c.expected, engine::unit_draw()) << c.raw;
    }
}

TEST_F(RandomDraws, FractionDrawRoundsTheIntegerToAFloatFirst) {
    struct Case { int raw; float expected; };
    const Case cases[] = {
        {0, 0.0f},
        {1, 0x1p-31f},
        {2147483583, 0x1.fffffep-1f},  // the largest draw that stays below 1
        {2147483584, 1.0f},            // rounds up to 2^31: the fraction reaches 1
        {2147483647, 1.0f},
    };
    for (const auto &c : cases) {
        use(c.raw);
        EXPECT_EQ(c.expected, engine::fraction_draw()) << c.raw;
    }
}

TEST_F(RandomDraws, PercentageTestsIncludeTheirBound) {
    use(2147483647);  // percentage draw 100
    EXPECT_TRUE(engine::rand_bool(100.0f));
    EXPECT_FALSE(engine::rand_bool(99.99f));
    use(0);  // percentage draw 0
    EXPECT_TRUE(engine::rand_bool(0.0f));
    EXPECT_FALSE(engine::rand_bool(-0.01f));
}

TEST_F(RandomDraws, FalloffTestsTheRatioAsAPercentage) {
    use(1073741900);  // percentage draw 50.000006, just above 50
    EXPECT_FALSE(engine::falloff(1.0f, 2.0f));
    EXPECT_TRUE(engine::falloff(1.0001f, 2.0f));
}

// The draws form the quotient as a product with the reciprocal: narrowed to float the two
// agree for every int (checked over all of them once); here over a sample spread across the
// ints and over the largest draws.
TEST(UnitValue, TheProductWithTheReciprocalNarrowsToTheQuotient) {
    auto quotient = [](int raw) { return static_cast<float>(static_cast<double>(raw) / 2147483647.0); };
    auto check = [&](std::int64_t raw) {
        const int r = static_cast<int>(raw);
        ASSERT_EQ(quotient(r), engine::unit_value(r)) << r;
    };
    for (std::int64_t raw = INT_MIN; raw <= INT_MAX; raw += 997) check(raw);
    for (std::int64_t raw = INT_MAX - 1000000; raw <= INT_MAX; ++raw) check(raw);
}

TEST(SystemRandom, EngineDrawsComeFromTheSystemStream) {
    engine::rng_seed(42);
    const int first = engine::rng_next();
    srand(42);
    EXPECT_EQ(first, rand());
}

}  // namespace
