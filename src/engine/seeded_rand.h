// The system library's rand() stream just after srand(seed), computed directly.
//
// Seeding that stream runs its generator through 310 discarded steps, about half a
// microsecond, and the steps that reseed for every record pay it hundreds of thousands of
// times. The generator adds each of its 31 words to the word three places on (modulo 2^32)
// and returns the sum shifted right by one, so every draw after seeding is a fixed linear
// combination of the 31 words that the seed fills in. This class fills them in and evaluates
// those combinations instead of running the warm-up. It models the C library's default
// generator; callers check it against the real stream before they rely on it.
#pragma once

#include <cstdint>

namespace engine {

class SeededRand {
public:
    // Draws that the combinations cover; past them a caller goes back to the real stream.
    static constexpr int kDraws = 64;

    // Only keeps the seed: the words are filled in by the first draw, since many seeds are
    // followed by none.
    explicit SeededRand(unsigned seed) : seed_(seed) {}

    unsigned seed() const { return seed_; }
    int drawn() const { return drawn_; }
    bool exhausted() const { return drawn_ == kDraws; }
    int next();  // the draw rand() would give next; only while not exhausted

    // The generator's 31 words and a zero, so that each combination runs over whole vectors.
    static constexpr int kTerms = 32;

private:
    unsigned seed_;
    int drawn_ = 0;
    alignas(16) std::uint32_t words_[kTerms];
};

}  // namespace engine
