// The shortlists must give the scan's nearest squared distance bit for bit wherever the lists
// are most at risk: points on edges and vertices, ties between equidistant segments, zero-length
// segments, touching outlines, huge and tiny coordinates and points the lists cannot answer.
#include "engine/segment_shortlists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

using math::float3;
using math::LineSegment;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

float library_distance_sq(const LineSegment &s, const float3 &p) { return p.DistanceSq(s.ClosestPoint(p)); }

// The lanes must each compute exactly what the library computes, odd segments and points included.
TEST(PlanSegments, EachLaneGivesTheLibrarysBits) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> at(-4.0f, 4.0f);
    std::vector<LineSegment> segments = {
        {float3(0, 0, 0), float3(0, 0, 0)},              // zero length
        {float3(-0.0f, 0, 0), float3(0, -0.0f, 0)},      // zero length, signed zeros
        {float3(1, 1, 0), float3(1, 1 + 1e-7f, 0)},      // nearly zero length
        {float3(-3, 2, 0), float3(5, -1, 0)},
        {float3(1e30f, -1e30f, 0), float3(-1e30f, 1e30f, 0)},  // squares overflow
        {float3(1e-30f, 0, 0), float3(0, 1e-30f, 0)},          // squares underflow
        {float3(3e38f, 3e38f, 0), float3(-3e38f, -3e38f, 0)},  // b - a overflows
        {float3(kNaN, 0, 0), float3(1, 1, 0)},
        {float3(HUGE_VALF, 0, 0), float3(1, 1, 0)},
    };
    for (int k = 0; k < 40; ++k) {
        const float ax = at(rng), ay = at(rng), bx = at(rng), by = at(rng);
        segments.push_back({float3(ax, ay, 0), float3(bx, by, 0)});
    }
    std::vector<float3> points = {float3(0, 0, 0), float3(-0.0f, -0.0f, 0), float3(1, 1, 0), float3(5, -1, 0),
                                  float3(1e-38f, -1e-38f, 0), float3(1e30f, 1e30f, 0), float3(kNaN, 0, 0),
                                  float3(-HUGE_VALF, 2, 0)};
    for (const LineSegment &s : segments) {  // on the ends, on the segment and beside it
        points.insert(points.end(), {s.a, s.b, s.a + (s.b - s.a) * 0.5f, s.a + (s.b - s.a) * 0.3f,
                                     float3(std::nextafter(s.a.x, HUGE_VALF), s.a.y, 0)});
    }
    for (int k = 0; k < 200; ++k) {
        const float x = at(rng), y = at(rng);
        points.emplace_back(x, y, 0.0f);
    }
    for (size_t first = 0; first < segments.size(); first += engine::PlanSegments::kLanes) {
        engine::PlanSegments lanes;
        for (int lane = 0; lane < engine::PlanSegments::kLanes && first + lane < segments.size(); ++lane)
            lanes.set(lane, segments[first + lane]);
        for (const float3 &p : points) {
            const engine::Lanes measured = lanes.distance_sq(p.x, p.y);
            for (int lane = 0; lane < engine::PlanSegments::kLanes && first + lane < segments.size(); ++lane)
                ASSERT_TRUE(same_bits(library_distance_sq(segments[first + lane], p), measured[lane]))
                    << "segment " << first + lane << " at " << p.x << ", " << p.y;
        }
    }
}

std::vector<LineSegment> ring(const std::vector<float3> &vertices) {
    std::vector<LineSegment> out;
    for (size_t k = 0; k < vertices.size(); ++k) out.emplace_back(vertices[k], vertices[(k + 1) % vertices.size()]);
    return out;
}

std::vector<float3> regular(int n, float radius, float3 centre) {
    std::vector<float3> v;
    for (int k = 0; k < n; ++k) {
        const float a = 2.0f * static_cast<float>(M_PI) * k / n;
        v.push_back(centre + float3(radius * std::cos(a), radius * std::sin(a), 0.0f));
    }
    return v;
}

std::vector<float3> wavy(int n, float radius, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> wobble(0.85f, 1.15f);
    std::vector<float3> v;
    for (int k = 0; k < n; ++k) {
        const float a = 2.0f * static_cast<float>(M_PI) * k / n, r = radius * wobble(rng);
        v.emplace_back(r * std::cos(a), r * std::sin(a), 0.0f);
    }
    return v;
}

std::vector<LineSegment> joined(std::vector<std::vector<LineSegment>> parts) {
    std::vector<LineSegment> out;
    for (const auto &part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::vector<LineSegment> mapped(std::vector<LineSegment> segments, const std::function<float3(const float3 &)> &f) {
    for (LineSegment &s : segments) s = LineSegment(f(s.a), f(s.b));
    return segments;
}

// Two squares sharing an edge, a triangle touching one at a corner, and a ring that repeats
// vertices, so that it holds zero-length edges.
std::vector<LineSegment> touching() {
    std::vector<float3> repeats = regular(12, 2.0f, float3(10, 10, 0));
    repeats.insert(repeats.begin() + 3, repeats[3]);
    repeats.insert(repeats.begin() + 7, 2, repeats[7]);
    return joined({ring({float3(0, 0, 0), float3(4, 0, 0), float3(4, 4, 0), float3(0, 4, 0)}),
                   ring({float3(4, 0, 0), float3(8, 0, 0), float3(8, 4, 0), float3(4, 4, 0)}),
                   ring({float3(8, 4, 0), float3(10, 6, 0), float3(8, 7, 0)}), ring(repeats)});
}

// Parallel lines on the lattice: every point on the half-way lines ties between two of them.
std::vector<LineSegment> ladder() {
    std::vector<LineSegment> out;
    for (int k = 0; k < 12; ++k) out.emplace_back(float3(0, 2.0f * k, 0), float3(20, 2.0f * k, 0));
    for (int k = 0; k < 11; ++k) out.emplace_back(float3(2.0f * k, 0, 0), float3(2.0f * k, 1, 0));
    return out;
}

// Random points over and beyond the segments, points on every end, on and beside every
// segment, on the lattice (where the ladder's ties lie) and the odd points the lists leave to
// the grid: non-finite, off the plan.
std::vector<float3> probes(const std::vector<LineSegment> &segments, unsigned seed) {
    float lo_x = HUGE_VALF, lo_y = HUGE_VALF, hi_x = -HUGE_VALF, hi_y = -HUGE_VALF;
    for (const LineSegment &s : segments)
        for (const float3 &v : {s.a, s.b})
            if (v.IsFinite()) {
                lo_x = std::min(lo_x, v.x), hi_x = std::max(hi_x, v.x);
                lo_y = std::min(lo_y, v.y), hi_y = std::max(hi_y, v.y);
            }
    const float pad_x = (hi_x - lo_x) * 0.25f, pad_y = (hi_y - lo_y) * 0.25f;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> x(lo_x - pad_x, hi_x + pad_x), y(lo_y - pad_y, hi_y + pad_y);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float3> out;
    for (int k = 0; k < 4000; ++k) {
        const float px = x(rng), py = y(rng);
        out.emplace_back(px, py, 0.0f);
    }
    for (const LineSegment &s : segments) {
        const float3 on = s.a + (s.b - s.a) * unit(rng);
        out.insert(out.end(), {s.a, s.b, s.a + (s.b - s.a) * 0.5f, on, float3(on.x, std::nextafter(on.y, HUGE_VALF), 0),
                               float3(std::nextafter(s.a.x, -HUGE_VALF), s.a.y, 0)});
    }
    const float step_x = (hi_x - lo_x) / 40, step_y = (hi_y - lo_y) / 40;
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 40; ++j) out.emplace_back(lo_x + i * step_x, lo_y + j * step_y, 0.0f);
    for (const float3 &p : {float3(kNaN, lo_y, 0), float3(lo_x, kNaN, 0), float3(HUGE_VALF, lo_y, 0),
                            float3(lo_x, lo_y, 1.0f), float3(lo_x, lo_y, kNaN), float3(-0.0f, -0.0f, -0.0f)})
        out.push_back(p);
    return out;
}

// The area the lists cover: the probes' finite bounds, so that some probes fall beyond it.
engine::PlanBox area_of(const std::vector<float3> &points, float shrink) {
    engine::PlanBox box;
    for (const float3 &p : points)
        if (p.IsFinite()) box.enclose(p.x, p.y);
    const double dx = (box.max_x - box.min_x) * shrink, dy = (box.max_y - box.min_y) * shrink;
    return engine::PlanBox{box.min_x + dx, box.min_y + dy, box.max_x - dx, box.max_y - dy};
}

// Exact but for double rounding.
double distance(const LineSegment &s, const float3 &p) {
    const double ax = s.a.x, ay = s.a.y, vx = double(s.b.x) - ax, vy = double(s.b.y) - ay;
    const double wx = p.x - ax, wy = p.y - ay, length_sq = vx * vx + vy * vy;
    const double t = length_sq > 0 ? std::clamp((wx * vx + wy * vy) / length_sq, 0.0, 1.0) : 0.0;
    return std::hypot(wx - t * vx, wy - t * vy);
}

TEST(SegmentShortlists, GiveTheScansNearestAndNeverOverstateTheClearance) {
    const auto scaled = [](float s) { return [s](const float3 &v) { return v * s; }; };
    std::vector<LineSegment> with_nan = ring(wavy(60, 10, 4));
    with_nan[9].b.y = kNaN;
    std::vector<LineSegment> lifted = ring(wavy(60, 10, 5));
    lifted[3].a.z = 1.0f;
    struct Case { const char *what; std::vector<LineSegment> segments; };
    const Case cases[] = {
        {"a wavy ring of 400", ring(wavy(400, 50, 1))},
        {"touching outlines and zero-length edges", touching()},
        {"a ladder of ties", ladder()},
        {"the centre of a circle", ring(regular(96, 5, float3(0, 0, 0)))},
        {"far from the origin", mapped(ring(wavy(200, 20, 2)), [](const float3 &v) { return v + float3(1e6f, -2e6f, 0); })},
        {"tiny", mapped(touching(), scaled(1e-22f))},
        {"huge", mapped(ring(wavy(200, 20, 3)), scaled(1e17f))},
        {"squares that overflow", mapped(ladder(), scaled(1e19f))},
        {"three segments", ring({float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0)})},
        {"a NaN end", with_nan},
        {"off the plan", lifted},
    };
    for (const Case &c : cases) {
        const std::vector<float3> points = probes(c.segments, 7);
        // As if the probes were many times as dense, for small cells; over an area the outer
        // probes overhang.
        const engine::SegmentShortlists lists(c.segments, area_of(points, 0.05f), 16.0 * points.size(), 1e-3);
        for (const float3 &p : points) {
            const uint32_t list = lists.list_at(p);
            const float expected = engine::nearest_sq_by_scan(c.segments, p);
            ASSERT_TRUE(same_bits(expected, lists.nearest_sq(p, list)))
                << c.what << " at " << p.x << ", " << p.y << ": " << expected << " / " << lists.nearest_sq(p, list);
            if (list == engine::SegmentShortlists::kNoList) continue;
            for (const LineSegment &s : c.segments)
                ASSERT_GE(distance(s, p), lists.clearance(list)) << c.what << " at " << p.x << ", " << p.y;
        }
    }
}

}  // namespace
