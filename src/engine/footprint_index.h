// The stored object footprints as the object-area filter measures them: each triangulated
// once, with its plan-view box, so that a record is measured exactly only against the
// footprints that can drop it or give its nearest distance.
#pragma once

#include <vector>

#include "Geometry/Polygon.h"
#include "Geometry/Triangle.h"
#include "Math/float3.h"
#include "pace.h"
#include "plan_box.h"

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
    // Ticks pace once per footprint triangulated and once per row of cells.
    FootprintIndex(const std::vector<std::vector<math::Polygon>> &objects, Pace &pace);

    // Exactly what the scan gives.
    Clearance clearance(const math::float3 &p) const;

private:
    struct Footprint {
        std::vector<math::Triangle> triangles;
        PlanBox box;  // around the triangles
        bool boxed;   // every vertex finite, so that the box bounds the distance
    };
    // A cell of the grid over the boxes: the footprints that may matter to a point in it, and
    // how near every other one comes to the cell at least.
    struct Cell {
        std::vector<const Footprint *> near;
        double beyond;
    };

    void build_grid(Pace &pace);
    PlanBox cell_area(int column, int row) const;
    const Cell *cell_at(const math::float3 &p) const;  // null outside the grid
    Clearance clearance_among(const std::vector<const Footprint *> &candidates, const math::float3 &p,
                              double margin) const;

    std::vector<Footprint> footprints_;  // those with at least one triangle
    std::vector<const Footprint *> all_;
    double largest_ = 0;                 // coordinate of the boxed footprints, in magnitude
    double margin_ = 0;                  // the rounding margin for points within the grid
    PlanBox extent_;                     // around the boxed footprints
    double cell_width_ = 0, cell_height_ = 0;
    int columns_ = 0, rows_ = 0;
    std::vector<Cell> cells_;
};

}  // namespace engine
