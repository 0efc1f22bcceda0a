#include "overlaps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "cell_grid.h"
#include "counting_sort.h"
#include "reference.h"

namespace engine {

static bool overlap(const Footprint &a, const Footprint &b) {
    return a.centre.Distance(b.centre) < b.radius + a.radius;
}

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

// Whether two members of the grid may overlap, judged in plan: true for every pair that
// overlaps. The squared distance in plan, rounded as the full distance rounds it, can only
// grow when the height's term is added; it is a float below the square of the radii's sum
// when they overlap, so it is at most that square rounded.
static bool near_in_plan(const GridMember &a, const GridMember &b) {
    const float dx = a.x - b.x, dy = a.y - b.y;
    const float reach = b.radius + a.radius;
    return dx * dx + dy * dy <= reach * reach;
}

// Writes to `near` the slots from `begin` to `end` whose members may overlap `self`, and
// returns how many. Few of them do: the sift takes no branch.
static size_t sift_near(const GridMember *members, uint32_t begin, uint32_t end, const GridMember &self,
                        uint32_t *near) {
    size_t n = 0;
    for (uint32_t s = begin; s < end; ++s) {
        near[n] = s;
        n += near_in_plan(self, members[s]);
    }
    return n;
}

// How far in plan from a footprint's centre lie the centres of the members it can overlap,
// members whose radius is at most `members_radius`: the sum of the radii, with room for the
// rounding of the distance, and for squares of differences too small for a float.
static double plan_reach(float radius, float members_radius) {
    return (static_cast<double>(radius) + members_radius) * 1.001 + 1e-22;
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

// The fates of the grid's members, each decided when first asked for. A member survives
// exactly when no earlier survivor overlaps it, so its fate needs only the fates of the
// earlier members it overlaps: those are decided first, from a stack of their own, as a chain
// of them can be as long as the grid. A survivor removes the later members it overlaps at
// once, which spares them the search. Asked for in the order of the grid's slots, the members
// are read where they lie together rather than scattered in visiting order.
class Fates {
public:
    // The members of `grid`, whose radii are at most `members_radius`.
    Fates(const CellGrid &grid, float members_radius)
        : grid_(grid), members_radius_(members_radius), fate_(grid.size(), kUndecided) {}

    bool survives(uint32_t slot) {
        decide(slot);
        return fate_[slot] == kSurvives;
    }
    bool known_removed(uint32_t slot) const { return fate_[slot] == kRemoved; }
    void remove(uint32_t slot) { fate_[slot] = kRemoved; }

private:
    enum Fate : uint8_t { kUndecided, kSurvives, kRemoved };
    // A member that overlaps the members pending_[first ..]: it waits for the fates of the
    // earlier ones up to `split`, undecided when it looked (those before `next` are removed),
    // and removes the later ones from `split` on if it survives.
    struct Frame {
        uint32_t slot;
        size_t first, split, next;
    };

    void decide(uint32_t slot);
    void open(uint32_t slot);
    void close(Fate fate);

    const CellGrid &grid_;
    const float members_radius_;
    std::vector<Fate> fate_;
    std::vector<Frame> frames_;
    std::vector<uint32_t> pending_;
    std::vector<uint32_t> near_;   // scratch: the members of a run that may overlap
    std::vector<uint32_t> later_;  // scratch: the later members that overlap
};

void Fates::decide(uint32_t slot) {
    if (fate_[slot] != kUndecided) return;
    open(slot);
    while (!frames_.empty()) {
        Frame &waiting = frames_.back();
        if (waiting.next == waiting.split) {
            close(kSurvives);
            continue;
        }
        const uint32_t earlier = pending_[waiting.next];
        if (fate_[earlier] == kSurvives) close(kRemoved);
        else if (fate_[earlier] == kRemoved) ++waiting.next;
        else open(earlier);
    }
}

// Puts the member on the stack with the members it overlaps. No earlier survivor is among
// them: it would have removed this one already.
void Fates::open(uint32_t slot) {
    const GridMember self = grid_.member(slot);
    const Footprint footprint = grid_.footprint(slot);
    const size_t first = pending_.size();
    later_.clear();
    grid_.visit_near(self.x, self.y, plan_reach(self.radius, members_radius_), [&](uint32_t begin, uint32_t end) {
        if (near_.size() < end - begin) near_.resize(end - begin);
        const size_t n = sift_near(grid_.members(), begin, end, self, near_.data());
        for (size_t k = 0; k < n; ++k) {
            const uint32_t s = near_[k];
            if (s == slot || fate_[s] == kRemoved || !overlap(footprint, grid_.footprint(s))) continue;
            (grid_.member(s).visit > self.visit ? later_ : pending_).push_back(s);
        }
        return true;
    });
    const size_t split = pending_.size();
    // The earliest first: the likeliest to survive, which decides this one at once.
    const auto earliest = std::min_element(pending_.begin() + first, pending_.end(), [&](uint32_t a, uint32_t b) {
        return grid_.member(a).visit < grid_.member(b).visit;
    });
    if (earliest != pending_.end()) std::iter_swap(pending_.begin() + first, earliest);
    pending_.insert(pending_.end(), later_.begin(), later_.end());
    frames_.push_back({slot, first, split, first});
}

void Fates::close(Fate fate) {
    const Frame done = frames_.back();
    frames_.pop_back();
    fate_[done.slot] = fate;
    if (fate == kSurvives)
        for (size_t k = done.split; k < pending_.size(); ++k) fate_[pending_[k]] = kRemoved;
    pending_.resize(done.first);
}

// The footprints too large for the grid's cells, decided in visiting order before the grid's
// members. Each one survives when no earlier survivor overlaps it, and then removes the later
// members of the grid it overlaps; so the members never look for them.
class LargeFootprints {
public:
    LargeFootprints(const CellGrid &grid, Fates &fates, float members_radius)
        : grid_(grid), fates_(fates), members_radius_(members_radius) {}

    // `f`, visited at place `visit`, after every large footprint visited before it.
    bool survives(const Footprint &f, uint32_t visit) {
        for (const Footprint &survivor : survivors_)
            if (overlap(survivor, f)) return false;
        bool blocked = false;
        later_.clear();
        grid_.visit_near(f.centre.x, f.centre.y, plan_reach(f.radius, members_radius_), [&](uint32_t begin, uint32_t end) {
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
    Fates &fates_;
    const float members_radius_;
    std::vector<Footprint> survivors_;
    std::vector<uint32_t> later_;
};

// The order the members are decided in: chunk after chunk of slots, each small enough to stay
// in the cache while it is gone over once for every stretch of the visiting order. A member
// then finds most of the earlier members it overlaps decided already (a survivor among them
// has removed it), and few have to wait on the stack.
std::vector<uint32_t> deciding_order(const CellGrid &grid, size_t records) {
    constexpr uint32_t kChunk = 16384, kStretches = 16;
    const double stretches_per_visit = kStretches / static_cast<double>(records);
    const auto key = [&](uint32_t slot) {
        const auto stretch = static_cast<uint32_t>(grid.member(slot).visit * stretches_per_visit);
        return slot / kChunk * kStretches + std::min(stretch, kStretches - 1);
    };
    std::vector<uint32_t> slots(grid.size());
    counting_sort(grid.size(), (grid.size() / kChunk + 1) * kStretches, key,
                  [&](uint32_t slot, uint32_t place) { slots[place] = slot; });
    return slots;
}

}  // namespace

// The same through a flat grid in plan view whose cells are a little wider than two
// footprints of the cell radius together, so that such footprints overlap only in the same
// or adjacent cells. Footprints that overlap nothing stay out of the grid and survive;
// footprints larger than the cell radius go to their own list.
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
    Fates fates(grid, radius);
    LargeFootprints large_footprints(grid, fates, radius);
    std::vector<bool> removed(order.size(), false);
    for (const uint32_t i : large) {
        pace.tick();
        removed[place[i]] = !large_footprints.survives(footprints[i], place[i]);
    }
    for (const uint32_t s : deciding_order(grid, order.size())) {
        pace.tick();
        removed[grid.member(s).visit] = !fates.survives(s);
    }
    return removed;
}

std::vector<bool> removed_by_overlaps(const std::vector<Footprint> &footprints, const std::vector<int> &order,
                                      Pace &pace) {
    return use_reference_algorithms ? remove_overlaps_by_scan(footprints, order, pace)
                                    : remove_overlaps(footprints, order, pace);
}

}  // namespace engine
