#include "shuffle.h"

#include <random>
#include <utility>

namespace engine {

static std::mt19937 &shuffle_engine() {
    static std::mt19937 engine;
    return engine;
}

void shuffle(std::vector<int> &items) {
    const int m = static_cast<int>(items.size());
    for (int k = 0; k + 1 < m; ++k) {
        const int r = std::uniform_int_distribution<int>(0, m - 1 - k)(shuffle_engine());
        if (r != 0) std::swap(items[k], items[k + r]);
    }
}

}  // namespace engine
