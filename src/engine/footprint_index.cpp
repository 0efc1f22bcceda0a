#include "footprint_index.h"

#include <algorithm>
#include <cmath>

namespace engine {

static constexpr double kClearance = 0.05;

void Clearance::add(float distance) {
    if (!std::isfinite(distance)) return;
    if (static_cast<double>(distance) < kClearance) keep = false;
    nearest = nearest == kNone ? distance : (distance < nearest ? distance : nearest);
}

Clearance clearance_by_scan(const std::vector<std::vector<math::Polygon>> &objects, const math::float3 &p) {
    Clearance clearance;
    for (const std::vector<math::Polygon> &object : objects)
        for (const math::Polygon &footprint : object) clearance.add(footprint.Distance(p));
    return clearance;
}

static constexpr double kCellsPerFootprint = 4;
static constexpr double kMostCellWork = 5e7;  // cells times footprints, while building
static constexpr int kMostSide = 1024;

// A footprint without triangles measures NaN from everywhere, which counts for nothing.
FootprintIndex::FootprintIndex(const std::vector<std::vector<math::Polygon>> &objects, Pace &pace) {
    for (const std::vector<math::Polygon> &object : objects) {
        for (const math::Polygon &polygon : object) {
            pace.tick();
            Footprint footprint{polygon.Triangulate([&pace] { pace.tick(); }), PlanBox{}, true};
            if (footprint.triangles.empty()) continue;
            for (const math::Triangle &t : footprint.triangles) {
                for (const math::float3 &v : {t.a, t.b, t.c}) {
                    footprint.box.enclose(v.x, v.y);
                    footprint.boxed = footprint.boxed && v.IsFinite();
                }
            }
            if (footprint.boxed) largest_ = std::max(largest_, footprint.box.largest_coordinate());
            footprints_.push_back(std::move(footprint));
        }
    }
    for (const Footprint &footprint : footprints_) all_.push_back(&footprint);
    build_grid(pace);
}

// Between two boxes in plan view: the nearest and the farthest pair of their points.
static double nearest_between(const PlanBox &a, const PlanBox &b) {
    const double dx = std::max({a.min_x - b.max_x, b.min_x - a.max_x, 0.0});
    const double dy = std::max({a.min_y - b.max_y, b.min_y - a.max_y, 0.0});
    return std::sqrt(dx * dx + dy * dy);
}

static double farthest_between(const PlanBox &a, const PlanBox &b) {
    const double dx = std::max(a.max_x - b.min_x, b.max_x - a.min_x);
    const double dy = std::max(a.max_y - b.min_y, b.max_y - a.min_y);
    return std::sqrt(dx * dx + dy * dy);
}

// A footprint lies within its box, so from anywhere in a cell some footprint measures no more
// than the least farthest distance U from the cell to a box, plus the margin. Each cell keeps
// the footprints whose box comes within reach = max(0.05, U) + 3 margins of it; any other one
// measures more than reach - margin from a point in the cell.
void FootprintIndex::build_grid(Pace &pace) {
    for (const Footprint &footprint : footprints_) {
        if (!footprint.boxed) continue;
        extent_.enclose(footprint.box.min_x, footprint.box.min_y);
        extent_.enclose(footprint.box.max_x, footprint.box.max_y);
    }
    if (!(extent_.min_x <= extent_.max_x)) return;  // nothing boxed
    margin_ = rounding_margin(largest_);
    const double n = static_cast<double>(footprints_.size());
    const double cells = std::max(1.0, std::min(kCellsPerFootprint * n, kMostCellWork / n));
    const double width = extent_.max_x - extent_.min_x, height = extent_.max_y - extent_.min_y;
    const double aspect = width > 0 && height > 0 ? width / height : 1.0;
    const auto side = [](double count) { return static_cast<int>(std::clamp(std::round(count), 1.0, double(kMostSide))); };
    columns_ = width > 0 ? side(std::sqrt(cells * aspect)) : 1;
    rows_ = height > 0 ? side(std::sqrt(cells / aspect)) : 1;
    cell_width_ = width / columns_;
    cell_height_ = height / rows_;
    cells_.resize(static_cast<size_t>(columns_) * rows_);
    for (int r = 0; r < rows_; ++r) {
        pace.tick();
        for (int c = 0; c < columns_; ++c) {
            const PlanBox area = cell_area(c, r);
            double least_farthest = HUGE_VAL;
            for (const Footprint &f : footprints_)
                if (f.boxed) least_farthest = std::min(least_farthest, farthest_between(area, f.box));
            Cell &cell = cells_[static_cast<size_t>(r) * columns_ + c];
            cell.beyond = std::max(kClearance, least_farthest) + 3 * margin_;
            for (const Footprint &f : footprints_)
                if (!f.boxed || nearest_between(area, f.box) <= cell.beyond) cell.near.push_back(&f);
        }
    }
}

// Widened by the margin, so that it surely holds every point that cell_at finds in it.
PlanBox FootprintIndex::cell_area(int column, int row) const {
    return PlanBox{extent_.min_x + column * cell_width_ - margin_, extent_.min_y + row * cell_height_ - margin_,
                   extent_.min_x + (column + 1) * cell_width_ + margin_,
                   extent_.min_y + (row + 1) * cell_height_ + margin_};
}

static int cell_index(double offset, double size, int count) {
    if (!(size > 0)) return 0;
    const double c = std::floor(offset / size);
    if (!(c > 0)) return 0;
    return c >= count ? count - 1 : static_cast<int>(c);
}

const FootprintIndex::Cell *FootprintIndex::cell_at(const math::float3 &p) const {
    const double x = p.x, y = p.y;
    if (cells_.empty() || !(extent_.min_x <= x && x <= extent_.max_x && extent_.min_y <= y && y <= extent_.max_y))
        return nullptr;
    const int column = cell_index(x - extent_.min_x, cell_width_, columns_);
    const int row = cell_index(y - extent_.min_y, cell_height_, rows_);
    return &cells_[static_cast<size_t>(row) * columns_ + column];
}

static float distance(const std::vector<math::Triangle> &triangles, const math::float3 &p) {
    return math::ClosestPointOnTriangles(triangles, p).Distance(p);
}

// A point in the grid is measured against its cell's footprints; that settles it when the
// nearest of them, and 0.05, lie within what every other footprint measures at least.
// Elsewhere, or when it does not settle, against every footprint.
Clearance FootprintIndex::clearance(const math::float3 &p) const {
    if (footprints_.empty()) return Clearance{};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        Clearance clearance;
        for (const Footprint &footprint : footprints_) clearance.add(distance(footprint.triangles, p));
        return clearance;
    }
    if (const Cell *cell = cell_at(p)) {
        const Clearance clearance = clearance_among(cell->near, p, margin_);
        if (clearance.nearest != Clearance::kNone &&
            std::max(kClearance, static_cast<double>(clearance.nearest)) <= cell->beyond - margin_)
            return clearance;
    }
    return clearance_among(all_, p, rounding_margin(std::max({largest_, std::fabs(double(p.x)), std::fabs(double(p.y))})));
}

// A triangle's closest point is one of its vertices, a point of an edge or a point inside:
// within the footprint's box up to rounding, which the margin covers. So the footprint with
// the nearest box is measured first; then only those whose box, less the margin, comes within
// both 0.05 and the nearest distance so far can change the keep decision or the nearest
// distance (a tie leaves the minimum as it is).
Clearance FootprintIndex::clearance_among(const std::vector<const Footprint *> &candidates, const math::float3 &p,
                                          double margin) const {
    Clearance clearance;
    if (candidates.empty()) return clearance;
    // -1 when the box says nothing, so that the footprint is always measured.
    const auto box_distance_sq = [&p](const Footprint &f) { return f.boxed ? f.box.distance_sq(p.x, p.y) : -1.0; };
    const Footprint *first = candidates[0];
    double first_sq = box_distance_sq(*first);
    for (const Footprint *footprint : candidates) {
        const double d = box_distance_sq(*footprint);
        if (d < first_sq) first_sq = d, first = footprint;
    }
    clearance.add(distance(first->triangles, p));
    for (const Footprint *footprint : candidates) {
        if (footprint == first) continue;
        if (clearance.nearest != Clearance::kNone) {
            const double reach = margin + std::max(kClearance, static_cast<double>(clearance.nearest));
            if (box_distance_sq(*footprint) > reach * reach) continue;
        }
        clearance.add(distance(footprint->triangles, p));
    }
    return clearance;
}

}  // namespace engine
