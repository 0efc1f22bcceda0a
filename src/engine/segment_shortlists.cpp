#include "segment_shortlists.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace engine {

static constexpr size_t kShortEnough = 8;  // a block of cells with a list this short is not cut further
static constexpr double kPointsPerCell = 64;
static constexpr int kMaxSide = 4096;

namespace {

// A segment in double, for the bounds of its distance from a block of cells. Differences of
// floats are exact in double, and what the rest rounds is dwarfed by the float margins.
struct Extent {
    double ax, ay, vx, vy;
    double per_length, per_length_sq;  // 0 for a zero length
    PlanBox box;                       // around the ends

    explicit Extent(const math::LineSegment &s) : ax(s.a.x), ay(s.a.y), vx(double(s.b.x) - ax), vy(double(s.b.y) - ay) {
        const double length_sq = vx * vx + vy * vy;
        per_length = length_sq > 0 ? 1 / std::sqrt(length_sq) : 0;
        per_length_sq = length_sq > 0 ? 1 / length_sq : 0;
        box.enclose(s.a.x, s.a.y);
        box.enclose(s.b.x, s.b.y);
    }

    double distance_sq(double x, double y) const {
        const double wx = x - ax, wy = y - ay;
        const double t = std::clamp((wx * vx + wy * vy) * per_length_sq, 0.0, 1.0);
        const double dx = wx - t * vx, dy = wy - t * vy;
        return dx * dx + dy * dy;
    }

    // The square of a gap no point of the block comes nearer than: the larger of the gaps
    // between the block and the segment's own box, and between the block and its line.
    double gap_sq(const PlanBox &block) const {
        const double gx = std::max({block.min_x - box.max_x, box.min_x - block.max_x, 0.0});
        const double gy = std::max({block.min_y - box.max_y, box.min_y - block.max_y, 0.0});
        const double half_width = (block.max_x - block.min_x) / 2, half_height = (block.max_y - block.min_y) / 2;
        const double cx = block.min_x + half_width, cy = block.min_y + half_height;
        const double across = std::fabs((cx - ax) * vy - (cy - ay) * vx);
        const double spread = std::fabs(vy) * half_width + std::fabs(vx) * half_height;
        const double line = std::max((across - spread) * per_length, 0.0);  // 0 for a zero length
        return std::max(gx * gx + gy * gy, line * line);
    }
};

// The largest float not above (rest - margin)^2 (0 when rest is within the margin): a
// segment no nearer than rest to a point measures, in float, no less than that from it, as a
// float distance comes within the rounding margin of the exact one.
float proof_sq(double rest, double margin) {
    if (rest == HUGE_VAL) return HUGE_VALF;
    const double reach = std::max(rest - margin, 0.0), sq = reach * reach;
    if (!(sq < FLT_MAX)) return FLT_MAX;
    float f = static_cast<float>(sq);
    if (static_cast<double>(f) > sq) f = std::nextafter(f, 0.0f);
    return f;
}

bool single(const CellSpan &block) { return block.column0 == block.column1 && block.row0 == block.row1; }

}  // namespace

// Block by block from the whole grid down: a block keeps the segments of its parent's list
// that can be nearest to one of its points, and is cut in four while its list is long or
// while it comes nearer than the settling distance to a segment.
class SegmentShortlists::Builder {
public:
    Builder(SegmentShortlists &out, const std::vector<math::LineSegment> &segments, double settle)
        : out_(out), settle_(settle), segments_(segments) {
        PlanBox bounds;
        for (uint32_t k = 0; k < segments.size(); ++k) {
            extents_.emplace_back(segments[k]);
            bounds.enclose(segments[k].a.x, segments[k].a.y);
            bounds.enclose(segments[k].b.x, segments[k].b.y);
            pools_.push_back(k);
        }
        largest_ = bounds.largest_coordinate();
    }

    void build() { build(CellSpan{0, out_.cells_.columns() - 1, 0, out_.cells_.rows() - 1}, 0, pools_.size(), HUGE_VAL); }

private:
    // The pool is pools_[begin, end): the parent's list, pushed below its children's. No
    // segment off it comes nearer to the block than rest.
    void build(const CellSpan &block, size_t begin, size_t end, double rest) {
        const PlanBox box = out_.cells_.area(block);
        const double margin = rounding_margin(std::max(largest_, box.largest_coordinate()));
        double nearest_gap = rest;
        const size_t kept = pools_.size();
        keep_candidates(box, begin, end, margin, rest, nearest_gap);
        const double clearance = nearest_gap - margin;
        if (single(block) || (pools_.size() - kept <= kShortEnough && (settle_ <= 0 || clearance >= settle_))) {
            assign(block, kept, Shortlist{0, 0, proof_sq(rest, margin), clearance});
        } else {
            const int column = (block.column0 + block.column1) / 2, row = (block.row0 + block.row1) / 2;
            const size_t kept_end = pools_.size();
            for (const CellSpan &part : {CellSpan{block.column0, column, block.row0, row},
                                         CellSpan{column + 1, block.column1, block.row0, row},
                                         CellSpan{block.column0, column, row + 1, block.row1},
                                         CellSpan{column + 1, block.column1, row + 1, block.row1}})
                if (part.column0 <= part.column1 && part.row0 <= part.row1) build(part, kept, kept_end, rest);
        }
        pools_.resize(kept);
    }

    // Pushes the segments of the pool that may be nearest to a point of the box: every point
    // lies within reach of some segment, and one whose gap exceeds that, even give or take
    // both float margins, never measures the least. rest takes the gaps of those dropped,
    // and nearest_gap those of all.
    void keep_candidates(const PlanBox &box, size_t begin, size_t end, double margin, double &rest,
                         double &nearest_gap) {
        const double cx = (box.min_x + box.max_x) / 2, cy = (box.min_y + box.max_y) / 2;
        const double width = box.max_x - box.min_x, height = box.max_y - box.min_y;
        const double half_diagonal = std::sqrt(width * width + height * height) / 2;
        gaps_sq_.resize(end - begin);
        double centre_sq = HUGE_VAL, nearest_sq = HUGE_VAL;  // to the segment nearest to the centre, to the block
        for (size_t k = begin; k < end; ++k) {
            const Extent &e = extents_[pools_[k]];
            gaps_sq_[k - begin] = e.gap_sq(box);
            nearest_sq = std::min(nearest_sq, gaps_sq_[k - begin]);
            centre_sq = std::min(centre_sq, e.distance_sq(cx, cy));
        }
        const double reach = std::sqrt(centre_sq) + half_diagonal;
        const double limit = reach + 2 * margin, limit_sq = limit * limit;
        double dropped_sq = HUGE_VAL;
        for (size_t k = begin; k < end; ++k) {
            if (gaps_sq_[k - begin] <= limit_sq) pools_.push_back(pools_[k]);
            else dropped_sq = std::min(dropped_sq, gaps_sq_[k - begin]);
        }
        rest = std::min(rest, std::sqrt(dropped_sq));
        nearest_gap = std::min(nearest_gap, std::sqrt(nearest_sq));
    }

    // The block's cells take the list at the top of pools_, from begin on, and its bounds.
    void assign(const CellSpan &block, size_t begin, Shortlist bounds) {
        bounds.begin = static_cast<uint32_t>(out_.members_.size());
        for (size_t k = begin; k < pools_.size(); ++k) {
            const int lane = static_cast<int>((k - begin) % PlanSegments::kLanes);
            if (lane == 0) out_.members_.emplace_back();
            out_.members_.back().set(lane, segments_[pools_[k]]);
        }
        bounds.end = static_cast<uint32_t>(out_.members_.size());
        const auto index = static_cast<uint32_t>(out_.lists_.size());
        out_.lists_.push_back(bounds);
        for (int r = block.row0; r <= block.row1; ++r)
            for (int c = block.column0; c <= block.column1; ++c) out_.list_of_cell_[out_.cells_.index(c, r)] = index;
    }

    SegmentShortlists &out_;
    double settle_;
    const std::vector<math::LineSegment> &segments_;
    std::vector<Extent> extents_;
    double largest_ = 0;
    std::vector<uint32_t> pools_;  // the lists of the blocks being built, outermost first
    std::vector<double> gaps_sq_;  // of the pool being sifted
};

static bool finite(const PlanBox &box) {
    return std::isfinite(box.min_x) && std::isfinite(box.min_y) && std::isfinite(box.max_x) &&
           std::isfinite(box.max_y) && box.min_x <= box.max_x && box.min_y <= box.max_y;
}

SegmentShortlists::SegmentShortlists(const std::vector<math::LineSegment> &segments, const PlanBox &area, double points,
                                     double settle)
    : grid_(segments) {
    if (segments.empty() || !finite(area) || !(points >= static_cast<double>(segments.size()))) return;
    for (const math::LineSegment &s : segments)
        if (!s.a.IsFinite() || !s.b.IsFinite() || s.a.z != 0.0f || s.b.z != 0.0f) return;  // left to the grid
    cells_ = PlanGrid::of_square_cells(area, points / kPointsPerCell, kMaxSide);
    list_of_cell_.resize(cells_.cell_count());
    Builder(*this, segments, settle).build();
    listed_ = true;
}

uint32_t SegmentShortlists::list_at(const math::float3 &p) const {
    const PlanBox &area = cells_.bounds();
    if (!listed_ || p.z != 0.0f || !(area.min_x <= p.x && p.x <= area.max_x && area.min_y <= p.y && p.y <= area.max_y))
        return kNoList;
    return list_of_cell_[cells_.index(cells_.column(p.x), cells_.row(p.y))];
}

float SegmentShortlists::nearest_sq(const math::float3 &p, uint32_t list) const {
    if (list != kNoList) {
        const Shortlist &shortlist = lists_[list];
        Lanes nearest = Lanes{} + HUGE_VALF;  // none finite yet
        for (uint32_t k = shortlist.begin; k < shortlist.end; ++k) {
            const Lanes s = members_[k].distance_sq(p.x, p.y);
            nearest = s < nearest ? s : nearest;  // a non-finite distance counts for nothing, as in the scan
        }
        float best = nearest[0];
        for (int lane = 1; lane < PlanSegments::kLanes; ++lane) best = std::min(best, nearest[lane]);
        if (best <= shortlist.proof_sq) return best == HUGE_VALF ? kNoSegment : best;
    }
    return grid_.nearest_sq(p);
}

}  // namespace engine
