#include "shuffle.h"

#include <random>
#include <utility>

namespace engine {

std::mt19937 &shuffle_engine() {
    static std::mt19937 engine;
    return engine;
}

// Each swap reaches an entry at random, most often out of the cache. The draws run a few steps
// ahead of the swaps, in their own order, so that the entry a swap reaches is fetched while
// the steps before it run.
void shuffle(std::vector<int> &items, std::mt19937 &engine) {
    constexpr int kAhead = 16;
    const int m = static_cast<int>(items.size());
    const auto draw = [&](int k) {
        const int r = std::uniform_int_distribution<int>(0, m - 1 - k)(engine);
        __builtin_prefetch(items.data() + k + r);
        return r;
    };
    int drawn[kAhead];  // the draw of step k, from its draw to its swap, at k % kAhead
    for (int k = 0; k + 1 < m && k < kAhead; ++k) drawn[k] = draw(k);
    for (int k = 0; k + 1 < m; ++k) {
        const int r = drawn[k % kAhead];
        if (k + kAhead + 1 < m) drawn[k % kAhead] = draw(k + kAhead);
        if (r != 0) std::swap(items[k], items[k + r]);
    }
}

void shuffle(std::vector<int> &items) { shuffle(items, shuffle_engine()); }

}  // namespace engine
