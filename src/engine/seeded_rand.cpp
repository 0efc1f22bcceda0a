#include "seeded_rand.h"

#include <cstring>

namespace engine {

namespace {

constexpr int kWords = 31;      // the generator's degree
constexpr int kSeparation = 3;  // how far the word added to lies ahead
constexpr int kWarmUp = 310;    // steps srand discards

// Draw j as weights of the seeded words: the generator run once on the words themselves.
struct Combinations {
    std::uint32_t of[SeededRand::kDraws][kWords];

    Combinations() {
        std::uint32_t word[kWords][kWords] = {};
        for (int m = 0; m < kWords; ++m) word[m][m] = 1;
        int front = kSeparation, rear = 0;
        for (int step = 0; step < kWarmUp + SeededRand::kDraws; ++step) {
            for (int m = 0; m < kWords; ++m) word[front][m] += word[rear][m];
            if (step >= kWarmUp) std::memcpy(of[step - kWarmUp], word[front], sizeof word[front]);
            front = (front + 1) % kWords;
            rear = (rear + 1) % kWords;
        }
    }
};

const Combinations &combinations() {
    static const Combinations table;
    return table;
}

}  // namespace

// The words as srand fills them: the seed (1 for 0), then each word 16807 times the one
// before modulo 2^31 - 1, in the library's own overflow-free arithmetic.
SeededRand::SeededRand(unsigned seed) : seed_(seed) {
    std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1u : seed);
    words_[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kWords; ++i) {
        const std::int64_t hi = word / 127773;
        const std::int64_t lo = word % 127773;
        word = static_cast<std::int32_t>(16807 * lo - 2836 * hi);
        if (word < 0) word += 2147483647;
        words_[i] = static_cast<std::uint32_t>(word);
    }
}

int SeededRand::next() {
    const std::uint32_t *weight = combinations().of[drawn_++];
    std::uint32_t sum = 0;
    for (int m = 0; m < kWords; ++m) sum += weight[m] * words_[m];
    return static_cast<int>(sum >> 1);
}

}  // namespace engine
