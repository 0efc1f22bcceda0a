// The stored object footprints as the object-area filter measures them: each triangulated
// once, and a grid whose every cell lists, nearest first, the few triangles that can give a
// point in it its distance to the nearest footprint, which alone settles the filter.
#pragma once

#include <cstdint>
#include <vector>

#include "Geometry/Polygon.h"
#include "Geometry/Triangle.h"
#include "Math/float3.h"
#include "pace.h"
#include "plan_box.h"
#include "plan_grid.h"
#include "triangle_reach.h"

namespace engine {

// What the footprints say about one record: whether it keeps 0.05 away from all of them,
// and its distance to the nearest one (kNone when none can be measured).
struct Clearance {
    static constexpr float kNone = -1.0f;

    bool keep = true;
    float nearest = kNone;

    // Folds in the distance to one footprint; a non-finite one (no triangle to measure) counts
    // for nothing. Neither result depends on the order the footprints come in.
    void add(float distance);
};

// The reference: every footprint of every object measured with Polygon::Distance.
Clearance clearance_by_scan(const std::vector<std::vector<math::Polygon>> &objects, const math::float3 &p);

class FootprintIndex {
public:
    // Ticks pace once per footprint triangulated and once per block of cells.
    FootprintIndex(const std::vector<std::vector<math::Polygon>> &objects, Pace &pace);

    // Exactly what the scan gives.
    Clearance clearance(const math::float3 &p) const;

private:
    // A triangle as a cell measures it, with its reach grown by the grid's margin.
    struct Piece {
        PlanBox reach;
        math::Triangle triangle;
    };
    // A run of a few triangles of one footprint, pieces_[first, end), and their bounds together.
    struct Group {
        uint32_t first, end;
        TriangleReach bounds;
    };
    // One triangle of a cell's list and the least squared distance to its reach from the
    // cell, rounded down.
    struct Entry {
        uint32_t piece;
        float lower_sq;
    };
    // A cell's entries, nearest first.
    struct Cell {
        uint32_t begin, end;
    };
    class Builder;  // lays the grid and fills its cells

    const Cell *cell_at(double x, double y) const;  // null outside the grid
    void measure_group(const Group &group, const math::float3 &p, double margin, float &least_sq) const;
    Clearance clearance_unindexed(const math::float3 &p) const;

    std::vector<TriangleReach> reaches_;  // of each triangle
    std::vector<Piece> pieces_;           // of each triangle
    std::vector<Group> groups_;
    double largest_ = HUGE_VAL;           // coordinate of the triangles whose bounds hold anywhere
    double margin_ = 0;                   // the rounding margin within it
    PlanGrid grid_;
    std::vector<uint32_t> measured_always_;  // pieces whose bounds fail somewhere in the grid
    std::vector<Cell> cells_;
    std::vector<Entry> entries_;
};

}  // namespace engine
