#include "footprint_index.h"

#include <algorithm>
#include <cmath>

namespace engine {

static constexpr double kClearance = 0.05;
static constexpr float kFloatMax = 3.4028235e38f;  // the scan's starting nearest square

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

// A footprint's distance is the square root of the least square its triangles measure, below
// the float maximum, and the filter takes the least over the footprints: so both answers
// follow from the least square over every triangle, whatever the order they are measured in.
static void measure(const math::Triangle &t, const math::float3 &p, float &least_sq) {
    const float dsq = t.ClosestPoint(p).DistanceSq(p);
    if (dsq < least_sq) least_sq = dsq;
}

static Clearance clearance_of(float least_sq) {
    Clearance clearance;
    if (least_sq < kFloatMax) clearance.add(sqrtf(least_sq));
    return clearance;
}

static constexpr double kCellsPerTriangle = 16;
static constexpr double kMostCells = 1 << 18;
static constexpr int kMostSide = 2048;

FootprintIndex::FootprintIndex(const std::vector<std::vector<math::Polygon>> &objects, Pace &pace) {
    for (const std::vector<math::Polygon> &object : objects) {
        for (const math::Polygon &polygon : object) {
            pace.tick();
            for (const math::Triangle &t : polygon.Triangulate([&pace] { pace.tick(); })) {
                pieces_.push_back({Reach{}, t});
                reaches_.emplace_back(t);
            }
        }
    }
    build_grid(pace);
}

// The triangle's box and reach, and the squares of its slack and of how far its bounds
// hold, side by side for the build's passes over the candidates.
// A triangle whose bounds hold over the whole grid holds them over every block of it.
struct FootprintIndex::Bounds {
    PlanBox box, reach;
    double slack_sq, sound_within_sq;  // infinite where they hold over the whole grid

    bool hold_over(const PlanBox &area) const {
        return sound_within_sq == HUGE_VAL || farthest_sq(area, box) < sound_within_sq;
    }
};

// The grid covers the triangles that can be left unmeasured, and a quarter of its larger side
// around them, where records far from the footprints are still likely to lie.
void FootprintIndex::build_grid(Pace &pace) {
    PlanBox extent;
    for (const TriangleReach &r : reaches_) {
        if (!(r.sound_within_sq > 0)) continue;
        extent.enclose(r.box.min_x, r.box.min_y);
        extent.enclose(r.box.max_x, r.box.max_y);
    }
    if (!(extent.min_x <= extent.max_x)) return;
    const double grow = std::max(extent.max_x - extent.min_x, extent.max_y - extent.min_y) / 4;
    area_ = PlanBox{extent.min_x - grow, extent.min_y - grow, extent.max_x + grow, extent.max_y + grow};
    if (!in_range(area_)) return;
    margin_ = rounding_margin(area_.largest_coordinate());
    std::vector<Bounds> bounds;
    bounds.reserve(pieces_.size());
    for (size_t i = 0; i < pieces_.size(); ++i) {
        const TriangleReach &r = reaches_[i];
        pieces_[i].reach = r.reach(margin_);
        const bool everywhere = r.holds_over(area_);
        bounds.push_back({r.box, pieces_[i].reach.box, r.slack * r.slack, everywhere ? HUGE_VAL : r.sound_within_sq});
    }

    const double cells = std::clamp(kCellsPerTriangle * pieces_.size(), 1.0, kMostCells);
    const double width = area_.max_x - area_.min_x, height = area_.max_y - area_.min_y;
    const double aspect = width > 0 && height > 0 ? width / height : 1.0;
    const auto side = [](double count) { return static_cast<int>(std::clamp(std::round(count), 1.0, double(kMostSide))); };
    columns_ = width > 0 ? side(std::sqrt(cells * aspect)) : 1;
    rows_ = height > 0 ? side(std::sqrt(cells / aspect)) : 1;
    cell_width_ = width / columns_;
    cell_height_ = height / rows_;
    columns_per_unit_ = width > 0 ? columns_ / width : 0.0;
    rows_per_unit_ = height > 0 ? rows_ / height : 0.0;
    cells_.resize(static_cast<size_t>(columns_) * rows_);
    std::vector<uint32_t> candidates(pieces_.size());
    for (size_t i = 0; i < pieces_.size(); ++i) candidates[i] = static_cast<uint32_t>(i);
    refine(bounds, Block{0, 0, columns_, rows_}, 0, candidates.size(), candidates, pace);
}

// Widened by the margin, so that it surely holds every point that cell_at finds in it.
PlanBox FootprintIndex::block_area(const Block &block) const {
    return PlanBox{area_.min_x + block.c0 * cell_width_ - margin_, area_.min_y + block.r0 * cell_height_ - margin_,
                   area_.min_x + block.c1 * cell_width_ + margin_, area_.min_y + block.r1 * cell_height_ + margin_};
}

// Keeps of the block's candidates (candidates[from, to), those its parent kept) every one
// that can give a point in the block its least square, then halves the block. From anywhere
// in the block a triangle that lies beyond its slack measures less than the farthest
// distance to its reach, so the least of those bounds U caps the least distance; a triangle
// whose reach lies beyond U then never measures the least. Where the bounds do not hold the
// triangle stays. A part of the block keeps a part of what the block kept.
void FootprintIndex::refine(const std::vector<Bounds> &bounds, const Block &block, size_t from, size_t to,
                            std::vector<uint32_t> &candidates, Pace &pace) {
    pace.tick();
    const PlanBox area = block_area(block);
    double upper_sq = HUGE_VAL;
    for (size_t k = from; k < to; ++k) {
        const Bounds &b = bounds[candidates[k]];
        const double near_sq = nearest_sq(area, b.box);  // no more than the farthest
        if (near_sq < upper_sq && near_sq > b.slack_sq && b.hold_over(area))
            upper_sq = std::min(upper_sq, farthest_sq(area, b.reach));
    }
    const size_t begin = candidates.size();
    candidates.reserve(begin + (to - from));
    for (size_t k = from; k < to; ++k) {
        const Bounds &b = bounds[candidates[k]];
        if (!(nearest_sq(area, b.reach) > upper_sq && b.hold_over(area))) candidates.push_back(candidates[k]);
    }
    const size_t end = candidates.size();
    const int columns = block.c1 - block.c0, rows = block.r1 - block.r0;
    if (columns == 1 && rows == 1) {
        store_cell(bounds, block, area, begin, end, candidates);
    } else if (rows == 1 || (columns > 1 && columns * cell_width_ >= rows * cell_height_)) {
        const int middle = block.c0 + columns / 2;
        refine(bounds, Block{block.c0, block.r0, middle, block.r1}, begin, end, candidates, pace);
        refine(bounds, Block{middle, block.r0, block.c1, block.r1}, begin, end, candidates, pace);
    } else {
        const int middle = block.r0 + rows / 2;
        refine(bounds, Block{block.c0, block.r0, block.c1, middle}, begin, end, candidates, pace);
        refine(bounds, Block{block.c0, middle, block.c1, block.r1}, begin, end, candidates, pace);
    }
    candidates.resize(begin);
}

// A float no larger than d >= 0.
static float rounded_down(double d) {
    const float f = static_cast<float>(d);
    return static_cast<double>(f) > d ? std::nextafter(f, 0.0f) : f;
}

// The cell's list orders the triangles by how near their reach, edges included, comes to it.
void FootprintIndex::store_cell(const std::vector<Bounds> &bounds, const Block &block, const PlanBox &area,
                                size_t from, size_t to, const std::vector<uint32_t> &candidates) {
    Cell &cell = cells_[static_cast<size_t>(block.r0) * columns_ + block.c0];
    cell.begin = static_cast<uint32_t>(entries_.size());
    for (size_t k = from; k < to; ++k)
        if (!bounds[candidates[k]].hold_over(area)) entries_.push_back({candidates[k], 0.0f});
    cell.measured_always = static_cast<uint32_t>(entries_.size());
    for (size_t k = from; k < to; ++k) {
        const uint32_t i = candidates[k];
        if (bounds[i].hold_over(area)) entries_.push_back({i, rounded_down(pieces_[i].reach.distance_sq(area))});
    }
    cell.end = static_cast<uint32_t>(entries_.size());
    std::sort(entries_.begin() + cell.measured_always, entries_.end(),
              [](const Entry &a, const Entry &b) { return a.lower_sq < b.lower_sq; });
}

// The offset is at least 0 and `per_cell` the count over the size, or 0 for a size of 0.
static int cell_index(double offset, double per_cell, int count) {
    const int c = static_cast<int>(offset * per_cell);
    return c < count ? c : count - 1;
}

const FootprintIndex::Cell *FootprintIndex::cell_at(double x, double y) const {
    if (cells_.empty() || !(area_.min_x <= x && x <= area_.max_x && area_.min_y <= y && y <= area_.max_y))
        return nullptr;
    const int column = cell_index(x - area_.min_x, columns_per_unit_, columns_);
    const int row = cell_index(y - area_.min_y, rows_per_unit_, rows_);
    return &cells_[static_cast<size_t>(row) * columns_ + column];
}

// A point in the grid is measured against its cell's list, nearest first, until the rest lie
// beyond the least square so far; a triangle whose reach does so is passed over.
Clearance FootprintIndex::clearance(const math::float3 &p) const {
    const Cell *cell = p.z == 0.0f ? cell_at(p.x, p.y) : nullptr;
    if (!cell) return clearance_unindexed(p);
    const double x = p.x, y = p.y;
    float least_sq = kFloatMax;
    for (uint32_t k = cell->begin; k < cell->measured_always; ++k) measure(pieces_[entries_[k].piece].triangle, p, least_sq);
    for (uint32_t k = cell->measured_always; k < cell->end; ++k) {
        const Entry &entry = entries_[k];
        if (entry.lower_sq > least_sq) break;
        const Piece &piece = pieces_[entry.piece];
        if (piece.reach.distance_sq(x, y, least_sq) > least_sq) continue;
        measure(piece.triangle, p, least_sq);
    }
    return clearance_of(least_sq);
}

// Outside the grid, every triangle whose bounds hold from p and whose reach lies beyond the
// least square so far is passed over; the one with the nearest reach is measured first.
Clearance FootprintIndex::clearance_unindexed(const math::float3 &p) const {
    float least_sq = kFloatMax;
    const double x = p.x, y = p.y;
    const PlanBox at{x, y, x, y};
    const double margin = rounding_margin(std::max({area_.largest_coordinate(), std::fabs(x), std::fabs(y)}));
    const bool bounded = p.z == 0.0f && std::isfinite(x) && std::isfinite(y) && in_range(at);
    const auto lower_sq = [&](size_t i) {
        return bounded && reaches_[i].holds_over(at) ? reaches_[i].reach(margin).distance_sq(x, y, HUGE_VAL) : 0.0;
    };
    size_t first = 0;
    double first_sq = HUGE_VAL;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        const double d = lower_sq(i);
        if (d < first_sq) first = i, first_sq = d;
    }
    if (!pieces_.empty()) measure(pieces_[first].triangle, p, least_sq);
    for (size_t i = 0; i < pieces_.size(); ++i)
        if (i != first && !(lower_sq(i) > least_sq)) measure(pieces_[i].triangle, p, least_sq);
    return clearance_of(least_sq);
}

}  // namespace engine
