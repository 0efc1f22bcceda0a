// The fates of the collision grid's members, each decided when first asked for. A member
// survives exactly when no earlier survivor overlaps it, so its fate needs only the fates of
// the earlier members it overlaps: those are decided first, from a stack of their own, as a
// chain of them can be as long as the grid. A survivor removes the later members it overlaps
// at once, which spares them the search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cell_grid.h"
#include "pace.h"

namespace engine {

class GridFates {
public:
    // The members of `grid`, whose radii are at most `members_radius`. Every search of the
    // grid ticks `pace`: a chain of members waiting on each other can be long.
    GridFates(const CellGrid &grid, float members_radius, Pace &pace);

    // How far in plan from the centre of a footprint of this radius lie the centres of the
    // members it can overlap.
    double reach(float radius) const;

    bool survives(uint32_t slot);
    bool known_removed(uint32_t slot) const { return fate_[slot] == kRemoved; }
    void remove(uint32_t slot) { fate_[slot] = kRemoved; }

    // The slots in the order to ask for their fates in, of `places` places in the visiting
    // order: most of the earlier members a member overlaps are decided when it is asked for,
    // and the members read lie together.
    std::vector<uint32_t> deciding_order(size_t places) const;

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
    void survive(uint32_t slot, const uint32_t *later, const uint32_t *end);

    const CellGrid &grid_;
    const float members_radius_;
    Pace &pace_;
    std::vector<Fate> fate_;
    std::vector<Frame> frames_;
    std::vector<uint32_t> pending_;
    std::vector<uint32_t> near_;   // scratch: the members of a run that may overlap
    std::vector<uint32_t> later_;  // scratch: the later members that overlap
};

}  // namespace engine
