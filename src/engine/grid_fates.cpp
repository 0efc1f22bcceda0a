#include "grid_fates.h"

#include <algorithm>

#include "counting_sort.h"

namespace engine {

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

GridFates::GridFates(const CellGrid &grid, float members_radius, Pace &pace)
    : grid_(grid), members_radius_(members_radius), pace_(pace), fate_(grid.size(), kUndecided) {}

// The sum of the radii, the members' at their largest, with room for the rounding of the
// distance, and for squares of differences too small for a float.
double GridFates::reach(float radius) const {
    return (static_cast<double>(radius) + members_radius_) * 1.001 + 1e-22;
}

bool GridFates::survives(uint32_t slot) {
    decide(slot);
    return fate_[slot] == kSurvives;
}

void GridFates::decide(uint32_t slot) {
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

// Puts the member on the stack with the members it overlaps, or decides it at once if none of
// them is earlier and undecided. No earlier survivor is among them: it would have removed
// this one already.
void GridFates::open(uint32_t slot) {
    pace_.tick();
    const GridMember self = grid_.member(slot);
    const Footprint footprint = grid_.footprint(slot);
    const size_t first = pending_.size();
    later_.clear();
    grid_.visit_near(self.x, self.y, reach(self.radius), [&](uint32_t begin, uint32_t end) {
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
    if (split == first) {  // nothing to wait for, as most often where footprints stand apart
        survive(slot, later_.data(), later_.data() + later_.size());
        return;
    }
    // The earliest first: the likeliest to survive, which decides this one at once.
    std::iter_swap(pending_.begin() + first,
                   std::min_element(pending_.begin() + first, pending_.end(), [&](uint32_t a, uint32_t b) {
                       return grid_.member(a).visit < grid_.member(b).visit;
                   }));
    pending_.insert(pending_.end(), later_.begin(), later_.end());
    frames_.push_back({slot, first, split, first});
}

void GridFates::close(Fate fate) {
    const Frame done = frames_.back();
    frames_.pop_back();
    if (fate == kSurvives) survive(done.slot, pending_.data() + done.split, pending_.data() + pending_.size());
    else fate_[done.slot] = kRemoved;
    pending_.resize(done.first);
}

// A survivor removes the later members it overlaps, listed from `later` to `end`.
void GridFates::survive(uint32_t slot, const uint32_t *later, const uint32_t *end) {
    fate_[slot] = kSurvives;
    for (; later != end; ++later) fate_[*later] = kRemoved;
}

// Chunk after chunk of slots, each small enough to stay in the cache while it is gone over
// once for every stretch of the visiting order. A member then finds most of the earlier
// members it overlaps decided already (a survivor among them has removed it), and few have to
// wait on the stack.
std::vector<uint32_t> GridFates::deciding_order(size_t places) const {
    constexpr uint32_t kChunk = 16384, kStretches = 16;
    const double stretches_per_visit = kStretches / static_cast<double>(places);
    const auto key = [&](uint32_t slot) {
        const auto stretch = static_cast<uint32_t>(grid_.member(slot).visit * stretches_per_visit);
        return slot / kChunk * kStretches + std::min(stretch, kStretches - 1);
    };
    std::vector<uint32_t> slots(grid_.size());
    counting_sort(grid_.size(), (grid_.size() / kChunk + 1) * kStretches, key,
                  [&](uint32_t slot, uint32_t place) { slots[place] = slot; });
    return slots;
}

}  // namespace engine
