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

class FootprintIndex::Builder {
public:
    // `footprint_ends`: where each footprint's triangles end in the index's pieces.
    Builder(FootprintIndex &index, const std::vector<uint32_t> &footprint_ends, Pace &pace);

private:
    // Columns [c0, c1) and rows [r0, r1) of the grid.
    struct Block {
        int c0, r0, c1, r1;
    };

    void group(const std::vector<uint32_t> &footprint_ends);
    bool lay_grid();
    PlanBox block_area(const Block &block) const;
    void refine(const Block &block, size_t from, size_t to);
    void store_cell(const Block &block, const PlanBox &area, size_t from, size_t to, double upper_sq);

    FootprintIndex &index_;
    Pace &pace_;
    std::vector<PlanBox> group_reaches_;  // with the grid's margin
    std::vector<uint32_t> kept_;  // the groups each block keeps, a block's after its parent's
    std::vector<std::pair<uint32_t, double>> listed_;  // a cell's triangles and how near they come
};

FootprintIndex::FootprintIndex(const std::vector<std::vector<math::Polygon>> &objects, Pace &pace) {
    std::vector<uint32_t> footprint_ends;
    for (const std::vector<math::Polygon> &object : objects) {
        for (const math::Polygon &polygon : object) {
            pace.tick();
            for (const math::Triangle &t : polygon.Triangulate([&pace] { pace.tick(); })) {
                pieces_.push_back({PlanBox{}, t});
                reaches_.emplace_back(t);
            }
            footprint_ends.push_back(static_cast<uint32_t>(pieces_.size()));
        }
    }
    Builder(*this, footprint_ends, pace);
}

// A group whose bounds fail somewhere in the grid is measured from all of it; the others go
// into the cells.
FootprintIndex::Builder::Builder(FootprintIndex &index, const std::vector<uint32_t> &footprint_ends, Pace &pace)
    : index_(index), pace_(pace) {
    group(footprint_ends);
    if (!lay_grid()) return;
    for (size_t g = 0; g < index_.groups_.size(); ++g) {
        const Group &group = index_.groups_[g];
        group_reaches_.push_back(group.bounds.reach(index_.margin_));
        if (group.bounds.holds_over(index_.grid_.bounds())) {
            kept_.push_back(static_cast<uint32_t>(g));
        } else {
            for (uint32_t i = group.first; i < group.end; ++i) index_.measured_always_.push_back(i);
        }
    }
    for (size_t i = 0; i < index_.pieces_.size(); ++i)
        index_.pieces_[i].reach = index_.reaches_[i].reach(index_.margin_);
    refine(Block{0, 0, index_.grid_.columns(), index_.grid_.rows()}, 0, kept_.size());
}

// A footprint of many triangles comes in runs of a few, side by side in the order the
// triangulation cut them, so that a cell lists the triangles of the runs near it only.
static constexpr uint32_t kMostInGroup = 8;

void FootprintIndex::Builder::group(const std::vector<uint32_t> &footprint_ends) {
    const TriangleReach *reaches = index_.reaches_.data();
    uint32_t first = 0;
    for (const uint32_t footprint_end : footprint_ends) {
        while (first < footprint_end) {
            const uint32_t end = std::min(first + kMostInGroup, footprint_end);
            index_.groups_.push_back({first, end, TriangleReach::around(reaches + first, reaches + end)});
            first = end;
        }
    }
}

static constexpr double kCellsPerTriangle = 16;
static constexpr double kMostCells = 1 << 18;
static constexpr int kMostSide = 2048;

// The grid covers the triangles whose bounds hold anywhere, and a quarter of its larger side
// around them, where records far from the footprints are still likely to lie. False for none.
bool FootprintIndex::Builder::lay_grid() {
    PlanBox extent;
    for (const TriangleReach &r : index_.reaches_) {
        if (!(r.sound_within_sq > 0)) continue;
        extent.enclose(r.box.min_x, r.box.min_y);
        extent.enclose(r.box.max_x, r.box.max_y);
    }
    if (!(extent.min_x <= extent.max_x)) return false;
    index_.largest_ = extent.largest_coordinate();
    const double grow = std::max(extent.max_x - extent.min_x, extent.max_y - extent.min_y) / 4;
    const PlanBox area{extent.min_x - grow, extent.min_y - grow, extent.max_x + grow, extent.max_y + grow};
    if (!in_range(area)) return false;
    index_.margin_ = rounding_margin(area.largest_coordinate());
    const double cells = std::clamp(kCellsPerTriangle * index_.pieces_.size(), 1.0, kMostCells);
    index_.grid_ = PlanGrid::of_square_cells(area, cells, kMostSide);
    index_.cells_.resize(index_.grid_.cell_count());
    return true;
}

// Widened by the margin, so that it surely holds every point that cell_at finds in it.
PlanBox FootprintIndex::Builder::block_area(const Block &block) const {
    const PlanBox cells = index_.grid_.area(CellSpan{block.c0, block.c1 - 1, block.r0, block.r1 - 1});
    const double m = index_.margin_;
    return PlanBox{cells.min_x - m, cells.min_y - m, cells.max_x + m, cells.max_y + m};
}

// Keeps of the groups its parent kept (kept_[from, to)) every one that can give a point in
// the block its least square, then halves the block. Every bound holds in the grid; from
// anywhere in the block a triangle that is fat or lies beyond its slack measures less than
// the farthest distance to its reach, so the least of those bounds U caps the least
// distance, and a triangle whose reach lies beyond U never measures the least. A part of the
// block keeps a part of what the block kept.
void FootprintIndex::Builder::refine(const Block &block, size_t from, size_t to) {
    pace_.tick();
    const PlanBox area = block_area(block);
    double upper_sq = HUGE_VAL;
    for (size_t k = from; k < to; ++k) {
        const uint32_t g = kept_[k];
        const TriangleReach &bounds = index_.groups_[g].bounds;
        if (nearest_sq(area, bounds.box) < upper_sq && bounds.caps_over(area))  // else its farthest is no less
            upper_sq = std::min(upper_sq, farthest_sq(area, group_reaches_[g]));
    }
    const size_t begin = kept_.size();
    for (size_t k = from; k < to; ++k)
        if (nearest_sq(area, group_reaches_[kept_[k]]) <= upper_sq) kept_.push_back(kept_[k]);
    const size_t end = kept_.size();
    const int columns = block.c1 - block.c0, rows = block.r1 - block.r0;
    if (columns == 1 && rows == 1) {
        store_cell(block, area, begin, end, upper_sq);
    } else if (rows == 1 || (columns > 1 && columns * index_.grid_.cell_width() >= rows * index_.grid_.cell_height())) {
        const int middle = block.c0 + columns / 2;
        refine(Block{block.c0, block.r0, middle, block.r1}, begin, end);
        refine(Block{middle, block.r0, block.c1, block.r1}, begin, end);
    } else {
        const int middle = block.r0 + rows / 2;
        refine(Block{block.c0, block.r0, block.c1, middle}, begin, end);
        refine(Block{block.c0, middle, block.c1, block.r1}, begin, end);
    }
    kept_.resize(begin);
}

// A float no larger than d >= 0.
static float rounded_down(double d) {
    const float f = static_cast<float>(d);
    return static_cast<double>(f) > d ? std::nextafter(f, 0.0f) : f;
}

// The cell lists the triangles of its groups the way the blocks keep groups, each triangle on
// its own now, and orders them by how near their reach comes.
void FootprintIndex::Builder::store_cell(const Block &block, const PlanBox &area, size_t from, size_t to,
                                         double upper_sq) {
    listed_.clear();
    for (size_t k = from; k < to; ++k) {
        const Group &group = index_.groups_[kept_[k]];
        for (uint32_t i = group.first; i < group.end; ++i) {
            const PlanBox &reach = index_.pieces_[i].reach;
            if (index_.reaches_[i].caps_over(area)) upper_sq = std::min(upper_sq, farthest_sq(area, reach));
            listed_.emplace_back(i, nearest_sq(area, reach));
        }
    }
    std::vector<Entry> &entries = index_.entries_;
    Cell &cell = index_.cells_[index_.grid_.index(block.c0, block.r0)];
    cell.begin = static_cast<uint32_t>(entries.size());
    for (const auto &[i, lower_sq] : listed_)
        if (lower_sq <= upper_sq) entries.push_back({i, rounded_down(lower_sq)});
    cell.end = static_cast<uint32_t>(entries.size());
    std::sort(entries.begin() + cell.begin, entries.end(),
              [](const Entry &a, const Entry &b) { return a.lower_sq < b.lower_sq; });
}

const FootprintIndex::Cell *FootprintIndex::cell_at(double x, double y) const {
    const PlanBox &area = grid_.bounds();
    if (cells_.empty() || !(area.min_x <= x && x <= area.max_x && area.min_y <= y && y <= area.max_y)) return nullptr;
    return &cells_[grid_.index(grid_.column(x), grid_.row(y))];
}

// A point in the grid is measured against the triangles measured always, then against its
// cell's list, nearest first, until the rest lie beyond the least square so far; a triangle
// whose reach does so is passed over.
Clearance FootprintIndex::clearance(const math::float3 &p) const {
    const Cell *cell = p.z == 0.0f ? cell_at(p.x, p.y) : nullptr;
    if (!cell) return clearance_unindexed(p);
    const double x = p.x, y = p.y;
    float least_sq = kFloatMax;
    for (const uint32_t i : measured_always_) measure(pieces_[i].triangle, p, least_sq);
    for (uint32_t k = cell->begin; k < cell->end; ++k) {
        const Entry &entry = entries_[k];
        if (entry.lower_sq > least_sq) break;
        const Piece &piece = pieces_[entry.piece];
        if (piece.reach.distance_sq(x, y) > least_sq) continue;
        measure(piece.triangle, p, least_sq);
    }
    return clearance_of(least_sq);
}

// Its triangles that can give p the least square; `margin` < infinity when the group's
// bounds hold from p.
void FootprintIndex::measure_group(const Group &group, const math::float3 &p, double margin,
                                   float &least_sq) const {
    for (uint32_t i = group.first; i < group.end; ++i)
        if (!(margin < HUGE_VAL && reaches_[i].reach(margin).distance_sq(p.x, p.y) > least_sq))
            measure(pieces_[i].triangle, p, least_sq);
}

// Outside the grid, the group whose reach comes nearest is measured first, then every group
// whose reach comes within the least square so far, where their bounds hold from p; others
// are measured whole.
Clearance FootprintIndex::clearance_unindexed(const math::float3 &p) const {
    const double x = p.x, y = p.y;
    const PlanBox at{x, y, x, y};
    const bool bounded = p.z == 0.0f && std::isfinite(x) && std::isfinite(y) && in_range(at);
    const double margin = rounding_margin(std::max({largest_, std::fabs(x), std::fabs(y)}));
    const auto margin_for = [&](const Group &g) {
        return bounded && g.bounds.holds_over(at) ? margin : HUGE_VAL;
    };
    const auto lower_sq = [&](const Group &g) {
        const double m = margin_for(g);
        return m < HUGE_VAL ? g.bounds.reach(m).distance_sq(x, y) : 0.0;
    };
    float least_sq = kFloatMax;
    const Group *first = nullptr;
    double first_sq = HUGE_VAL;
    for (const Group &g : groups_) {
        const double d = lower_sq(g);
        if (d < first_sq || !first) first = &g, first_sq = d;
    }
    if (first) measure_group(*first, p, margin_for(*first), least_sq);
    for (const Group &g : groups_)
        if (&g != first && !(lower_sq(g) > least_sq)) measure_group(g, p, margin_for(g), least_sq);
    return clearance_of(least_sq);
}

}  // namespace engine
