#include "seeded_rand.h"

namespace engine {

namespace {

constexpr int kWords = 31;      // the generator's degree
constexpr int kSeparation = 3;  // how far the word added to lies ahead
constexpr int kWarmUp = 310;    // steps srand discards
constexpr int kTerms = SeededRand::kTerms;
constexpr std::uint32_t kModulus = 2147483647;  // 2^31 - 1

// Draw j as weights of the seeded words: the generator run once on the words themselves.
struct Combinations {
    std::uint32_t of[SeededRand::kDraws][kTerms] = {};

    constexpr Combinations() {
        std::uint32_t word[kWords][kWords] = {};
        for (int m = 0; m < kWords; ++m) word[m][m] = 1;
        int front = kSeparation, rear = 0;
        for (int step = 0; step < kWarmUp + SeededRand::kDraws; ++step) {
            for (int m = 0; m < kWords; ++m) word[front][m] += word[rear][m];
            if (step >= kWarmUp)
                for (int m = 0; m < kWords; ++m) of[step - kWarmUp][m] = word[front][m];
            front = (front + 1) % kWords;
            rear = (rear + 1) % kWords;
        }
    }
};

// 16807^i modulo 2^31 - 1: word i is this times the seed's residue. A zero past the words.
struct Powers {
    std::uint32_t of[kTerms] = {};

    constexpr Powers() {
        std::uint64_t power = 1;
        for (int i = 0; i < kWords; ++i, power = power * 16807 % kModulus) of[i] = static_cast<std::uint32_t>(power);
    }
};

constexpr Combinations kCombinations;
constexpr Powers kPowers;

// x modulo 2^31 - 1 for x below 2^62, without a division: 2^31 is 1 modulo 2^31 - 1, so the
// high bits fold onto the low ones, twice, and a last step maps 2^31 - 1 and 2^31 to 0 and 1.
constexpr std::uint32_t mod_modulus(std::uint64_t x) {
    std::uint64_t t = (x & kModulus) + (x >> 31);  // below 2^32
    t = (t & kModulus) + (t >> 31);                // at most 2^31
    return static_cast<std::uint32_t>((t + ((t + 1) >> 31)) & kModulus);
}

// The loops below run in vectors; where the processor has 256-bit integer vectors a second
// copy of each uses them. Integer arithmetic: both copies give the same bits.
#if defined(__GNUC__) && defined(__x86_64__)
#define WIDER_VECTORS_WHERE_AVAILABLE __attribute__((target_clones("avx2", "default")))
#else
#define WIDER_VECTORS_WHERE_AVAILABLE
#endif

// srand stores the seed (1 for 0) as word 0, then makes each word 16807 times the one before
// modulo 2^31 - 1, with the signed seed as it stands: its arithmetic leaves every later word
// the residue in [0, 2^31 - 1), also for a negative seed and for 2^31 - 1 itself. So word i
// is 16807^i times the seed's residue, each formed on its own.
WIDER_VECTORS_WHERE_AVAILABLE
void fill_words(unsigned seed, std::uint32_t (&words)[kTerms]) {
    const std::int32_t first = static_cast<std::int32_t>(seed == 0 ? 1u : seed);
    const std::uint32_t residue = mod_modulus(static_cast<std::uint64_t>(first + 2 * std::int64_t{kModulus}));
    for (int i = 0; i < kTerms; ++i) words[i] = mod_modulus(std::uint64_t{kPowers.of[i]} * residue);
    words[0] = static_cast<std::uint32_t>(first);
}

WIDER_VECTORS_WHERE_AVAILABLE
std::uint32_t combination(const std::uint32_t (&weight)[kTerms], const std::uint32_t (&words)[kTerms]) {
    std::uint32_t sum = 0;
    for (int m = 0; m < kTerms; ++m) sum += weight[m] * words[m];
    return sum;
}

}  // namespace

int SeededRand::next() {
    if (drawn_ == 0) fill_words(seed_, words_);
    return static_cast<int>(combination(kCombinations.of[drawn_++], words_) >> 1);
}

}  // namespace engine
