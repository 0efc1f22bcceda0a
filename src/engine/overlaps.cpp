#include "overlaps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "cell_grid.h"
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

// The footprints too large for the grid's cells. Each one, at its turn, survives when no
// earlier survivor overlaps it, and then removes the later members of the grid it overlaps;
// the grid's own members never look for them.
class LargeFootprints {
public:
    LargeFootprints(const std::vector<Footprint> &footprints, CellGrid &grid, float cell_radius, double cell)
        : footprints_(footprints), grid_(grid), cell_radius_(cell_radius), cell_(cell) {}

    bool survives(uint32_t i) {
        const Footprint &f = footprints_[i];
        for (const uint32_t k : survivors_)
            if (overlap(footprints_[k], f)) return false;
        // Within this many cells of its own lie all members it can reach, with room for the
        // rounding of the distance.
        const double reach = std::ceil((static_cast<double>(f.radius) + cell_radius_) * 1.001 / cell_);
        bool blocked = false;
        later_.clear();
        grid_.visit_near(f.centre.x, f.centre.y, reach, [&](GridMember &m) {
            if (blocked || m.removed || !overlap(f, m.footprint)) return;
            if (m.visit < i) blocked = true;
            else later_.push_back(&m);
        });
        if (blocked) return false;
        for (GridMember *m : later_) m->removed = true;
        survivors_.push_back(i);
        return true;
    }

private:
    const std::vector<Footprint> &footprints_;
    CellGrid &grid_;
    const float cell_radius_;
    const double cell_;
    std::vector<uint32_t> survivors_;
    std::vector<GridMember *> later_;
};

}  // namespace

// The same through a flat grid in plan view whose cells are a little wider than two
// footprints of the cell radius together, so that such footprints overlap only in the same
// or adjacent cells. Which members a survivor removes does not depend on the order it visits
// them in. Footprints that overlap nothing stay out of the grid and survive; footprints
// larger than the cell radius go to their own list.
std::vector<bool> remove_overlaps(const std::vector<Footprint> &footprints, Pace &pace) {
    const float radius = cell_radius(footprints);
    const double cell = std::max(2.0 * radius * 1.001, 1e-30);  // 1.001: for the rounding of the distance
    enum Role : char { kNothing, kMember, kLarge };
    std::vector<Role> roles(footprints.size(), kNothing);
    std::vector<uint32_t> members;
    for (uint32_t i = 0; i < footprints.size(); ++i) {
        const Footprint &f = footprints[i];
        if (overlaps_nothing(f)) continue;
        roles[i] = f.radius <= radius ? kMember : kLarge;
        if (roles[i] == kMember) members.push_back(i);
    }
    CellGrid grid(footprints, members, cell);
    LargeFootprints large(footprints, grid, radius, cell);
    std::vector<bool> removed(footprints.size(), false);
    for (uint32_t i = 0; i < footprints.size(); ++i) {
        pace.tick();
        if (roles[i] == kLarge) {
            removed[i] = !large.survives(i);
            continue;
        }
        if (roles[i] != kMember) continue;
        GridMember &self = grid.member_at(i);
        if (self.removed) continue;
        grid.visit_near(self.footprint.centre.x, self.footprint.centre.y, 1.0, [&](GridMember &m) {
            if (m.visit != i && !m.removed && overlap(self.footprint, m.footprint)) m.removed = true;
        });
    }
    for (const uint32_t i : members) removed[i] = grid.member_at(i).removed;
    return removed;
}

std::vector<bool> removed_by_overlaps(const std::vector<Footprint> &footprints, Pace &pace) {
    return use_reference_algorithms ? remove_overlaps_by_scan(footprints, pace) : remove_overlaps(footprints, pace);
}

}  // namespace engine
