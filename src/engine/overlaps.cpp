#include "overlaps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "cell_grid.h"
#include "grid_fates.h"
#include "reference.h"

namespace engine {

// Every record that survives so far removes every other one it overlaps, in visiting order:
// a record survives exactly when it overlaps no survivor before it.
std::vector<bool> remove_overlaps_by_scan(const std::vector<Footprint> &footprints, const std::vector<int> &order,
                                          Pace &pace) {
    std::vector<bool> removed(order.size(), false);
    for (size_t i = 0; i < order.size(); ++i) {
        pace.tick();
        if (removed[i]) continue;
        const Footprint &survivor = footprints[order[i]];
        for (size_t j = 0; j < order.size(); ++j)
            if (j != i && !removed[j] && overlap(survivor, footprints[order[j]])) removed[j] = true;
    }
    return removed;
}

// A footprint whose centre is not finite, or whose radius is NaN or minus infinity, overlaps
// nothing: its distance to any other centre, or the sum of the two radii, is NaN or infinite
// and fails the strict test.
static bool overlaps_nothing(const Footprint &f) {
    return !f.centre.IsFinite() || std::isnan(f.radius) || f.radius == -std::numeric_limits<float>::infinity();
}

// The radius the grid's cells are made for: the largest, unless the largest few (a
// thousandth of the records) exceed twice the rest, which then stay out of the grid rather
// than widen every cell.
static float cell_radius(const std::vector<Footprint> &footprints) {
    std::vector<float> radii;
    for (const Footprint &f : footprints)
        if (!overlaps_nothing(f) && std::isfinite(f.radius)) radii.push_back(f.radius);
    if (radii.empty()) return 0.0f;
    const float largest = *std::max_element(radii.begin(), radii.end());
    const auto cut = radii.end() - 1 - static_cast<long>(radii.size() / 1024);
    std::nth_element(radii.begin(), cut, radii.end());
    return std::max(largest <= 2.0f * *cut ? largest : *cut, 0.0f);
}

namespace {

// The footprints too large for the grid's cells, decided in visiting order before the grid's
// members. Each one survives when no earlier survivor overlaps it, and then removes the later
// members of the grid it overlaps; so the members never look for them.
class LargeFootprints {
public:
    LargeFootprints(const CellGrid &grid, GridFates &fates) : grid_(grid), fates_(fates) {}

    // `f`, visited at place `visit`, after every large footprint visited before it.
    bool survives(const Footprint &f, uint32_t visit) {
        for (const Footprint &survivor : survivors_)
            if (overlap(survivor, f)) return false;
        bool blocked = false;
        later_.clear();
        grid_.visit_near(f.centre.x, f.centre.y, fates_.reach(f.radius), [&](uint32_t begin, uint32_t end) {
            for (uint32_t s = begin; s < end && !blocked; ++s) {
                if (fates_.known_removed(s) || !overlap(f, grid_.footprint(s))) continue;
                if (grid_.member(s).visit < visit) blocked = fates_.survives(s);
                else later_.push_back(s);
            }
            return !blocked;
        });
        if (blocked) return false;
        for (const uint32_t s : later_) fates_.remove(s);
        survivors_.push_back(f);
        return true;
    }

private:
    const CellGrid &grid_;
    GridFates &fates_;
    std::vector<Footprint> survivors_;
    std::vector<uint32_t> later_;
};

}  // namespace

// The same through a flat grid in plan view whose cells are at least as wide as the cell
// radius; the members' fates are decided by searches of it, in an order that reads the grid
// where it lies together. Footprints that overlap nothing stay out of the grid and survive;
// footprints larger than the cell radius go to their own list and are decided first.
std::vector<bool> remove_overlaps(const std::vector<Footprint> &footprints, const std::vector<int> &order,
                                  Pace &pace) {
    std::vector<uint32_t> place(order.size());
    for (uint32_t k = 0; k < order.size(); ++k) place[order[k]] = k;
    const float radius = cell_radius(footprints);
    const double cell = std::max(static_cast<double>(radius), 1e-22);
    std::vector<uint32_t> members, large;
    for (uint32_t i = 0; i < footprints.size(); ++i) {
        const Footprint &f = footprints[i];
        if (!overlaps_nothing(f)) (f.radius <= radius ? members : large).push_back(i);
    }
    std::sort(large.begin(), large.end(), [&](uint32_t a, uint32_t b) { return place[a] < place[b]; });
    const CellGrid grid(footprints, place, members, cell);
    GridFates fates(grid, radius, pace);
    LargeFootprints large_footprints(grid, fates);
    std::vector<bool> removed(order.size(), false);
    for (const uint32_t i : large) {
        pace.tick();
        removed[place[i]] = !large_footprints.survives(footprints[i], place[i]);
    }
    for (const uint32_t s : fates.deciding_order(order.size())) removed[grid.member(s).visit] = !fates.survives(s);
    return removed;
}

std::vector<bool> removed_by_overlaps(const std::vector<Footprint> &footprints, const std::vector<int> &order,
                                      Pace &pace) {
    return use_reference_algorithms ? remove_overlaps_by_scan(footprints, order, pace)
                                    : remove_overlaps(footprints, order, pace);
}

}  // namespace engine
