// The process-wide shuffle that deals definitions and orders collision tests. Its engine
// is default-seeded once and never reseeded: the rand seeds of the steps do not reach it.
#pragma once

#include <random>
#include <vector>

namespace engine {

// Forward Fisher-Yates: for k = 0 .. m-2, swap entry k with entry k + r, r uniform in
// [0, m-1-k] (no swap when r is 0).
void shuffle(std::vector<int> &items);

// The same with the draws of `engine`.
void shuffle(std::vector<int> &items, std::mt19937 &engine);

// The process-wide engine itself, whose state a benchmark saves before a step and restores
// in the copy of the process that repeats the step with the reference algorithms.
std::mt19937 &shuffle_engine();

}  // namespace engine
