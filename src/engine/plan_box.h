// Boxes in plan view and the lower bounds the area indexes draw from them. The bounds are
// worked out in double; the distances they bound are computed in float by the geometry
// library, and may come out slightly below the exact ones.
#pragma once

#include <algorithm>
#include <limits>

namespace engine {

struct PlanBox {
    double min_x = std::numeric_limits<double>::infinity();
    double min_y = std::numeric_limits<double>::infinity();
    double max_x = -std::numeric_limits<double>::infinity();
    double max_y = -std::numeric_limits<double>::infinity();

    void enclose(double x, double y);
    double largest_coordinate() const;  // in magnitude
    // From (x, y) to the nearest point of the box; 0 inside. Inline: the searches call it
    // for every box they pass.
    double distance_sq(double x, double y) const {
        const double dx = std::max({min_x - x, 0.0, x - max_x});
        const double dy = std::max({min_y - y, 0.0, y - max_y});
        return dx * dx + dy * dy;
    }
};

// How far below the exact distance a float computation over coordinates up to `largest` in
// magnitude may come out: a relative term for the rounding of the coordinates and a tiny
// absolute one for squares that underflow.
double rounding_margin(double largest);

}  // namespace engine
