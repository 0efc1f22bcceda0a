#include "segment_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cell_lists.h"

namespace engine {

static constexpr size_t kFewSegments = 16;  // fewer are simply scanned
static constexpr double kCellsPerSegment = 0.125;
static constexpr int kMaxSide = 1024;
static constexpr uint64_t kPlacementsPerSegment = 8;  // long diagonal segments make a fine grid wasteful

// The running minimum of the scan; its order does not change the value.
static void offer(float &best, const math::LineSegment &segment, const math::float3 &p) {
    const float s = p.DistanceSq(segment.ClosestPoint(p));
    if (!std::isfinite(s)) return;
    if (best == kNoSegment || best > s) best = s;
}

float nearest_sq_by_scan(const std::vector<math::LineSegment> &segments, const math::float3 &p) {
    float best = kNoSegment;
    for (const math::LineSegment &s : segments) offer(best, s, p);
    return best;
}

// One query: the best squared distance so far, and how near a box must come to p to hold a
// segment that could beat it. A box beats nothing when its distance from p, less the rounding
// margin, reaches the square root of the best: then every squared distance computed to what
// it holds is at least the best, so not strictly smaller.
class SegmentGrid::Search {
public:
    Search(const math::float3 &p, double largest, float best)
        : p_(p), margin_(rounding_margin(std::max({largest, std::fabs(double(p.x)), std::fabs(double(p.y))}))),
          best_(best) {
        update_reach();
    }

    bool beyond(const PlanBox &box) const { return box.distance_sq(p_.x, p_.y) >= reach_sq_; }

    void offer_all(const Placed *begin, const Placed *end) {
        for (; end - begin > kChunk; begin += kChunk) offer_chunk(begin, begin + kChunk);
        offer_chunk(begin, end);
    }

    float best() const { return best_; }

private:
    static constexpr long kChunk = 64;

    // Each segment is first measured in double: exact but for double rounding, which the
    // margin dwarfs, and far cheaper than the float computation it bounds. The nearest one
    // of the chunk goes first, so that the others rarely need the float computation at all.
    void offer_chunk(const Placed *begin, const Placed *end) {
        double plan_sq[kChunk];
        const long count = end - begin;
        long nearest = 0;
        for (long k = 0; k < count; ++k) {
            plan_sq[k] = plan_distance_sq(begin[k]);
            if (plan_sq[k] < plan_sq[nearest]) nearest = k;
        }
        if (count == 0 || plan_sq[nearest] >= reach_sq_) return;
        offer_one(begin[nearest].segment);
        for (long k = 0; k < count; ++k)
            if (k != nearest && plan_sq[k] < reach_sq_) offer_one(begin[k].segment);
    }

    void offer_one(const math::LineSegment &s) {
        const float before = best_;
        offer(best_, s, p_);
        if (best_ != before) update_reach();
    }

    double plan_distance_sq(const Placed &placed) const {
        const math::LineSegment &s = placed.segment;
        const double ax = s.a.x, ay = s.a.y, vx = double(s.b.x) - ax, vy = double(s.b.y) - ay;
        const double wx = p_.x - ax, wy = p_.y - ay;
        const double t = std::clamp((wx * vx + wy * vy) * placed.inverse_length_sq, 0.0, 1.0);
        const double dx = wx - t * vx, dy = wy - t * vy;
        return dx * dx + dy * dy;
    }

    // Until a segment gives a finite distance, every box may hold a better one.
    void update_reach() {
        const double limit = best_ == kNoSegment ? HUGE_VAL : static_cast<double>(best_);
        const double reach = margin_ + std::sqrt(limit);
        reach_sq_ = reach * reach;
    }

    math::float3 p_;
    double margin_;
    float best_;
    double reach_sq_ = std::numeric_limits<double>::infinity();
};

// The cells each segment's box covers in a grid.
static auto spans_of(const std::vector<math::LineSegment> &segments) {
    return [&segments](const PlanGrid &grid, uint32_t k, CellSpan &cells) {
        const auto [x0, x1] = std::minmax(segments[k].a.x, segments[k].b.x);
        const auto [y0, y1] = std::minmax(segments[k].a.y, segments[k].b.y);
        cells = CellSpan{grid.column(x0), grid.column(x1), grid.row(y0), grid.row(y1)};
        return true;
    };
}

SegmentGrid::SegmentGrid(const std::vector<math::LineSegment> &segments) {
    std::vector<math::LineSegment> finite;
    for (const math::LineSegment &s : segments) (s.a.IsFinite() && s.b.IsFinite() ? finite : always_).push_back(s);
    if (finite.size() < kFewSegments) {
        always_.insert(always_.end(), finite.begin(), finite.end());
        return;
    }
    PlanBox bounds;
    for (const math::LineSegment &s : finite) {
        bounds.enclose(s.a.x, s.a.y);
        bounds.enclose(s.b.x, s.b.y);
    }
    largest_ = bounds.largest_coordinate();
    // About one cell for every eight segments: measuring a cell's segments in double is
    // cheap, walking many cells is not.
    grid_ = coarsened(PlanGrid::of_square_cells(bounds, static_cast<double>(finite.size()) * kCellsPerSegment, kMaxSide),
                      static_cast<uint32_t>(finite.size()), kPlacementsPerSegment * finite.size(), spans_of(finite));
    place(finite);
}

static double inverse_length_sq(const math::LineSegment &s) {
    const double vx = double(s.b.x) - s.a.x, vy = double(s.b.y) - s.a.y;
    const double length_sq = vx * vx + vy * vy;
    return length_sq > 0 ? 1.0 / length_sq : 0.0;
}

// Each cell's segments copied side by side, with the box around them.
void SegmentGrid::place(const std::vector<math::LineSegment> &segments) {
    const CellLists lists = list_by_cell(grid_, static_cast<uint32_t>(segments.size()), spans_of(segments),
                                         [](const PlanGrid &grid, int column, int row) { return grid.index(column, row); });
    placed_.reserve(lists.items.size());
    for (const uint32_t k : lists.items) placed_.push_back(Placed{segments[k], inverse_length_sq(segments[k])});
    cells_.assign(grid_.cell_count(), Cell{});
    for (size_t c = 0; c < cells_.size(); ++c) {
        Cell &cell = cells_[c];
        cell.begin = lists.start[c];
        cell.end = lists.start[c + 1];
        for (size_t k = cell.begin; k < cell.end; ++k) {
            cell.box.enclose(placed_[k].segment.a.x, placed_[k].segment.a.y);
            cell.box.enclose(placed_[k].segment.b.x, placed_[k].segment.b.y);
        }
    }
}

// Whether nothing outside the visited block of cells can beat the search. The rest of the
// grid is up to four blocks: the full columns left and right of it, the rows below and above.
bool SegmentGrid::unvisited_beyond(const CellSpan &visited, const Search &search) const {
    const int columns = grid_.columns(), rows = grid_.rows();
    const int c0 = std::max(visited.column0, 0), c1 = std::min(visited.column1, columns - 1);
    const int r0 = std::max(visited.row0, 0), r1 = std::min(visited.row1, rows - 1);
    if (c0 > c1 || r0 > r1) return search.beyond(grid_.bounds());  // nothing visited yet
    const CellSpan rest[] = {
        {0, c0 - 1, 0, rows - 1}, {c1 + 1, columns - 1, 0, rows - 1}, {c0, c1, 0, r0 - 1}, {c0, c1, r1 + 1, rows - 1}};
    for (const CellSpan &block : rest) {
        if (block.column0 > block.column1 || block.row0 > block.row1) continue;
        if (!search.beyond(grid_.area(block))) return false;
    }
    return true;
}

void SegmentGrid::visit(int column, int row, Search &search) const {
    if (column < 0 || column >= grid_.columns() || row < 0 || row >= grid_.rows()) return;
    const Cell &cell = cells_[grid_.index(column, row)];
    if (cell.begin == cell.end || search.beyond(cell.box)) return;
    search.offer_all(placed_.data() + cell.begin, placed_.data() + cell.end);
}

// Ring by ring of cells around the point's cell (the nearest one when the point lies outside
// the grid), until nothing unvisited can give a smaller squared distance: the minimum does
// not depend on the order the segments are met in.
float SegmentGrid::nearest_sq(const math::float3 &p) const {
    const float scanned = nearest_sq_by_scan(always_, p);
    if (cells_.empty()) return scanned;
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        float best = scanned;
        for (const Placed &s : placed_) offer(best, s.segment, p);
        return best;
    }
    Search search(p, largest_, scanned);
    const int c0 = grid_.column(p.x), r0 = grid_.row(p.y);
    for (int radius = 0;; ++radius) {
        const CellSpan visited{c0 - radius + 1, c0 + radius - 1, r0 - radius + 1, r0 + radius - 1};
        if (unvisited_beyond(visited, search)) return search.best();
        for (int r = std::max(r0 - radius, 0); r <= std::min(r0 + radius, grid_.rows() - 1); ++r) {
            if (r == r0 - radius || r == r0 + radius) {
                for (int c = std::max(c0 - radius, 0); c <= std::min(c0 + radius, grid_.columns() - 1); ++c)
                    visit(c, r, search);
            } else {
                visit(c0 - radius, r, search);
                visit(c0 + radius, r, search);
            }
        }
    }
}

}  // namespace engine
