#include "overlaps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>

#include "reference.h"

namespace engine {

static bool overlap(const Footprint &a, const Footprint &b) {
    return a.centre.Distance(b.centre) < b.radius + a.radius;
}

// Every record that survives so far removes every other one it overlaps, in visiting order:
// a record survives exactly when it overlaps no survivor before it.
std::vector<bool> remove_overlaps_by_scan(const std::vector<Footprint> &footprints, Pace &pace) {
    std::vector<bool> removed(footprints.size(), false);
    for (size_t i = 0; i < footprints.size(); ++i) {
        pace.tick();
        if (removed[i]) continue;
        for (size_t j = 0; j < footprints.size(); ++j)
            if (j != i && !removed[j] && overlap(footprints[i], footprints[j])) removed[j] = true;
    }
    return removed;
}

// The same through a grid in plan view whose cells are wider than any two footprints
// together, so that records that overlap lie in the same or adjacent cells. Which records
// a survivor removes does not depend on the order it visits them in.
std::vector<bool> remove_overlaps(const std::vector<Footprint> &footprints, Pace &pace) {
    float largest = 0.0f, farthest = 0.0f;
    for (const Footprint &f : footprints) {
        if (!f.centre.IsFinite() || !std::isfinite(f.radius)) return remove_overlaps_by_scan(footprints, pace);
        largest = std::max(largest, f.radius);
        farthest = std::max({farthest, std::fabs(f.centre.x), std::fabs(f.centre.y)});
    }
    // A little wider than twice the largest radius, for the rounding of the distance.
    const double cell = std::max(2.0 * largest * 1.001, 1e-6);
    if (farthest / cell > 1e15) return remove_overlaps_by_scan(footprints, pace);  // cell numbers must fit
    auto key = [cell](double x, double y) {
        const auto cx = static_cast<int64_t>(std::floor(x / cell)), cy = static_cast<int64_t>(std::floor(y / cell));
        return std::make_pair(cx, cy);
    };
    std::map<std::pair<int64_t, int64_t>, std::vector<size_t>> cells;
    for (size_t k = 0; k < footprints.size(); ++k) cells[key(footprints[k].centre.x, footprints[k].centre.y)].push_back(k);
    std::vector<bool> removed(footprints.size(), false);
    for (size_t i = 0; i < footprints.size(); ++i) {
        pace.tick();
        if (removed[i]) continue;
        const auto home = key(footprints[i].centre.x, footprints[i].centre.y);
        for (int64_t dx = -1; dx <= 1; ++dx)
            for (int64_t dy = -1; dy <= 1; ++dy) {
                const auto cell_of = cells.find({home.first + dx, home.second + dy});
                if (cell_of == cells.end()) continue;
                for (size_t j : cell_of->second)
                    if (j != i && !removed[j] && overlap(footprints[i], footprints[j])) removed[j] = true;
            }
    }
    return removed;
}

std::vector<bool> removed_by_overlaps(const std::vector<Footprint> &footprints, Pace &pace) {
    return use_reference_algorithms ? remove_overlaps_by_scan(footprints, pace) : remove_overlaps(footprints, pace);
}

}  // namespace engine
