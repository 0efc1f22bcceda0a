// Sorting by small whole-number keys in two passes: count the items of every key, then deal
// them into the keys' runs, each run in the items' own order.
#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

namespace engine {

// Deals the items 0 .. n - 1 into the runs of their keys, key(i) < key_count, calling
// place(i, p) with the place p each one gets. Returns where the runs start, followed by the
// end: the items of key k lie at start[k] .. start[k + 1] - 1. Asks for each key twice.
template <class Key, class Place>
std::vector<uint32_t> counting_sort(uint32_t n, size_t key_count, Key &&key, Place &&place) {
    std::vector<uint32_t> start(key_count + 1, 0);
    for (uint32_t i = 0; i < n; ++i) ++start[key(i)];
    std::partial_sum(start.begin(), start.end(), start.begin());  // now where each run ends
    // Dealt from the last item back, each to the end of its run, which moves back to the start.
    for (uint32_t i = n; i-- > 0;) place(i, --start[key(i)]);
    return start;
}

}  // namespace engine
