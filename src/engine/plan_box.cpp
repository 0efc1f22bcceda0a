#include "plan_box.h"

#include <algorithm>
#include <cmath>

namespace engine {

void PlanBox::enclose(double x, double y) {
    min_x = std::min(min_x, x);
    min_y = std::min(min_y, y);
    max_x = std::max(max_x, x);
    max_y = std::max(max_y, y);
}

double PlanBox::largest_coordinate() const {
    return std::max({std::fabs(min_x), std::fabs(min_y), std::fabs(max_x), std::fabs(max_y)});
}

// A float closest point lies within a few units in the last place of the largest coordinate
// of where it should, and its squared distance is off by a few units in the last place of
// its own; 1e-5 covers both with a wide berth. Below about 1e-22 squares underflow to 0.
double rounding_margin(double largest) { return 1e-5 * largest + 1e-18; }

}  // namespace engine
