// libFuzzer target for the clip engine: random rings and a random boolean operation, or
// random paths offset with random joins, end types, delta and limits.
//
// Besides not crashing (the build adds address and undefined-behaviour checks), every
// result must be well formed: outer rings of positive area, holes of negative area, holes
// nested in outer rings and outer rings in holes, every vertex inside the bounds of the
// inputs that can contribute to it (for an offset: the inputs' bounds grown by the farthest a
// corner can reach), and a covered area between zero and the area of those bounds. The same
// input run to a flat list of rings must cover the same area.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include "clipping/ClipError.h"
#include "clipping/Engine.h"
#include "clipping/IntMath.h"
#include "clipping/Offsetter.h"
#include "clipping/Path.h"
#include "clipping/PolyTree.h"

namespace {

// Set by CLIP_FUZZ_SHOW=1: the decoded input and the result are printed, for reading a
// crash input (./clip_fuzzer crash-...).
const bool show = std::getenv("CLIP_FUZZ_SHOW") != nullptr;

void print_paths(const char *name, const clip::Paths &paths) {
    std::fprintf(stderr, "%s:\n", name);
    for (const clip::Path &path : paths) {
        std::fprintf(stderr, "  area %.17g:", clip::Area(path));
        for (const clip::IntPoint &p : path)
            std::fprintf(stderr, " (%lld, %lld, %lld)", static_cast<long long>(p.X), static_cast<long long>(p.Y),
                         static_cast<long long>(p.Z));
        std::fprintf(stderr, "\n");
    }
}

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "clip_fuzzer: invariant broken: %s\n", what);
    std::abort();
}

// Coordinates from one of three ranges, so that the 64-bit slope tests, the switch to
// 128-bit products and the top of the range all get inputs; a few values snap to a small
// grid so that collinear, touching and repeated vertices are common.
std::int64_t coordinate(FuzzedDataProvider &in, int range) {
    switch (range) {
        case 0: return in.ConsumeIntegralInRange<std::int64_t>(-16, 16);
        case 1: return in.ConsumeIntegralInRange<std::int64_t>(-2000000, 2000000);
        case 2: return in.ConsumeIntegralInRange<std::int64_t>(-clip::kLowRange - 4, clip::kLowRange + 4);
        default: return in.ConsumeIntegralInRange<std::int64_t>(-clip::kHighRange, clip::kHighRange);
    }
}

struct Bounds {
    std::int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
    bool empty() const { return minX > maxX; }
    void add(const clip::IntPoint &p) {
        minX = std::min(minX, p.X);
        minY = std::min(minY, p.Y);
        maxX = std::max(maxX, p.X);
        maxY = std::max(maxY, p.Y);
    }
    void add(const clip::Paths &paths) {
        for (const clip::Path &path : paths)
            for (const clip::IntPoint &p : path) add(p);
    }
    bool contains(const clip::IntPoint &p) const { return minX <= p.X && p.X <= maxX && minY <= p.Y && p.Y <= maxY; }
    long double area() const {
        if (empty()) return 0.0L;
        const long double width = static_cast<long double>(maxX) - static_cast<long double>(minX);
        return width * (static_cast<long double>(maxY) - static_cast<long double>(minY));
    }
    // Widened by margin on every side, saturating at the 64-bit limits.
    Bounds grown(long double margin) const {
        if (empty()) return *this;
        const auto moved = [](std::int64_t v, long double by) {
            const long double m = static_cast<long double>(v) + by;
            if (m >= 9.2e18L) return INT64_MAX;
            if (m <= -9.2e18L) return INT64_MIN;
            return static_cast<std::int64_t>(m);
        };
        Bounds r;
        r.minX = moved(minX, -margin);
        r.minY = moved(minY, -margin);
        r.maxX = moved(maxX, margin);
        r.maxY = moved(maxY, margin);
        return r;
    }
    static Bounds meet(const Bounds &a, const Bounds &b) {
        Bounds r;
        r.minX = std::max(a.minX, b.minX);
        r.minY = std::max(a.minY, b.minY);
        r.maxX = std::min(a.maxX, b.maxX);
        r.maxY = std::min(a.maxY, b.maxY);
        if (r.minX > r.maxX || r.minY > r.maxY) r = Bounds();
        return r;
    }
    static Bounds join(const Bounds &a, const Bounds &b) {
        Bounds r = a;
        if (!b.empty()) {
            r.add(clip::IntPoint(b.minX, b.minY));
            r.add(clip::IntPoint(b.maxX, b.maxY));
        }
        return r;
    }
};

clip::Paths read_paths(FuzzedDataProvider &in, int range) {
    clip::Paths paths(in.ConsumeIntegralInRange<int>(0, 4));
    for (clip::Path &path : paths) {
        const int n = in.ConsumeIntegralInRange<int>(0, 12);
        for (int i = 0; i < n && in.remaining_bytes() > 0; ++i) {
            const std::int64_t x = coordinate(in, range);
            const std::int64_t y = coordinate(in, range);
            const std::int64_t z = in.ConsumeIntegral<std::int32_t>();
            path.emplace_back(x, y, z);
        }
    }
    return paths;
}

// Signed area of a ring with its sign exact. clip::Area converts every coordinate to a
// double first, so near the top of the range it loses the differences that decide the sign
// of a thin ring (a triangle of area 2^61 can come out as 0); the result rings are then
// judged by the rounding of the check, not by the engine. Here every cross product is exact
// in 128 bits (coordinates taken relative to the first vertex) and the sum in 192.
long double exact_area(const clip::Path &ring) {
    if (ring.size() < 3) return 0.0L;
    using I = __int128;
    using U = unsigned __int128;
    const U low_mask = (U(1) << 64) - 1;
    I high = 0;
    U low = 0;
    const clip::IntPoint &o = ring.front();
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const clip::IntPoint &a = ring[i];
        const clip::IntPoint &b = ring[(i + 1) % ring.size()];
        const I ax = I(a.X) - o.X, ay = I(a.Y) - o.Y, bx = I(b.X) - o.X, by = I(b.Y) - o.Y;
        const I cross = ax * by - bx * ay;
        high += cross >> 64;  // arithmetic shift: cross = high part * 2^64 + low part
        low += U(cross) & low_mask;
    }
    high += I(low >> 64);
    low &= low_mask;
    return (static_cast<long double>(high) * 18446744073709551616.0L + static_cast<long double>(low)) / 2;
}

// Area the result covers, per the tree: outer rings count positive, holes negative.
long double check_tree(const clip::PolyNode &node, const Bounds &allowed, bool holes_expected, int depth) {
    long double covered = 0.0L;
    for (const clip::PolyNode *child : node.childs) {
        if (child->parent != &node) fail("child's parent link");
        if (child->IsHole() != holes_expected) fail("hole state does not alternate with depth");
        if (child->contour.size() < 3) fail("contour of fewer than three vertices");
        for (const clip::IntPoint &p : child->contour)
            if (!allowed.contains(p)) fail("vertex outside the bounds of the inputs");
        if (clip::Orientation(child->contour) != (clip::Area(child->contour) >= 0))
            fail("orientation disagrees with area");
        const long double area = exact_area(child->contour);
        if (holes_expected ? !(area < 0) : !(area > 0)) fail(holes_expected ? "hole not negative" : "outer ring not positive");
        covered += area;
        covered += check_tree(*child, allowed, !holes_expected, depth + 1);
    }
    return covered;
}

long double total_area(const clip::Paths &paths) {
    long double sum = 0.0L;
    for (const clip::Path &path : paths) sum += exact_area(path);
    return sum;
}

bool near(long double a, long double b, long double scale) {
    return std::fabs(static_cast<double>(a - b)) <= 1e-9 * static_cast<double>(scale) + 1.0;
}

// Checks the tree and the flat result of one run against the bounds its vertices may reach.
void check_result(const clip::PolyTree &tree, const clip::Paths &flat, const Bounds &allowed) {
    const long double covered = check_tree(tree, allowed, false, 0);
    const long double limit = allowed.area();
    if (covered < -(1e-9L * limit + 1.0L) || covered > limit * (1.0L + 1e-9L) + 1.0L)
        fail("covered area outside [0, area of the input bounds]");
    if (!near(covered, total_area(flat), limit)) fail("flat result covers another area than the tree");
    for (const clip::Path &path : flat)
        for (const clip::IntPoint &p : path)
            if (!allowed.contains(p)) fail("flat vertex outside the bounds of the inputs");
}

void show_result(const clip::PolyTree &tree, const clip::Paths &flat) {
    if (!show) return;
    clip::Paths rings;
    for (const clip::PolyNode *node = tree.GetFirst(); node; node = node->GetNext()) rings.push_back(node->contour);
    print_paths("tree, in pre-order", rings);
    print_paths("flat", flat);
}

// A delta on the scale of the coordinates, now and then NaN, infinite or beyond the range.
double offset_delta(FuzzedDataProvider &in, int range) {
    switch (in.ConsumeIntegralInRange<int>(0, 15)) {
        case 0: return std::numeric_limits<double>::quiet_NaN();
        case 1: return in.ConsumeBool() ? std::numeric_limits<double>::infinity() : -1e19;
        case 2: return 0.0;
        default: break;
    }
    const double scale = range == 0 ? 20.0 : range == 1 ? 2e6 : range == 2 ? 2e9 : 4e18;
    return scale * (in.ConsumeProbability<double>() * 2 - 1);
}

int offset_one(FuzzedDataProvider &in) {
    const int range = in.ConsumeIntegralInRange<int>(0, 3);
    const clip::Paths paths = read_paths(in, range);
    std::vector<std::pair<clip::JoinType, clip::EndType>> kinds;
    for (std::size_t i = 0; i < paths.size(); ++i)
        kinds.emplace_back(static_cast<clip::JoinType>(in.ConsumeIntegralInRange<int>(0, 2)),
                           static_cast<clip::EndType>(in.ConsumeIntegralInRange<int>(0, 4)));
    const double delta = offset_delta(in, range);
    const double miter_limit = in.ConsumeIntegralInRange<int>(0, 15) == 0 ? std::numeric_limits<double>::quiet_NaN()
                                                                           : in.ConsumeFloatingPointInRange<double>(0, 10);
    // Arcs of at most about a hundred steps per turn keep a run short; 0 takes the fallback.
    const double fraction = in.ConsumeFloatingPointInRange<double>(-0.001, 0.5);
    const double arc_tolerance = fraction <= 0 ? 0.0 : std::max(std::fabs(delta) * fraction, 1e-3 * std::fabs(delta));
    if (arc_tolerance == 0 && !(std::fabs(delta) <= 1e4)) return 0;
    if (show) {
        std::fprintf(stderr, "offset %.17g, miter limit %.17g, arc tolerance %.17g\n", delta, miter_limit, arc_tolerance);
        for (std::size_t i = 0; i < paths.size(); ++i) std::fprintf(stderr, "join %d end %d ", kinds[i].first, kinds[i].second);
        print_paths("\npaths", paths);
    }
    clip::Offsetter offsetter(miter_limit, arc_tolerance);
    for (std::size_t i = 0; i < paths.size(); ++i) offsetter.AddPath(paths[i], kinds[i].first, kinds[i].second);
    clip::PolyTree tree;
    clip::Paths flat;
    try {
        offsetter.Execute(tree, delta);
        offsetter.Execute(flat, delta);
    } catch (const char *) {
        return 0;  // an offset point beyond the range: refused
    }
    show_result(tree, flat);
    const bool no_output = std::isnan(delta) || std::isnan(miter_limit);
    if (no_output) {
        if (!flat.empty() || tree.Total() != 0) fail("NaN offset or limit gave output");
        return 0;
    }
    Bounds inputs;
    inputs.add(paths);
    // A mitre reaches at most the larger of 2 and the limit times delta from its vertex, a
    // squared corner sqrt(2) times delta. Shrinking can grow too: a loop of a ring that
    // crosses itself runs the other way.
    const long double reach = std::fabs(delta) * std::max(2.0, miter_limit) + 2;
    check_result(tree, flat, inputs.grown(reach));
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) return offset_one(in);
    const auto op = static_cast<clip::ClipType>(in.ConsumeIntegralInRange<int>(0, 3));
    const auto subject_fill = static_cast<clip::PolyFillType>(in.ConsumeIntegralInRange<int>(0, 3));
    const auto clip_fill = static_cast<clip::PolyFillType>(in.ConsumeIntegralInRange<int>(0, 3));
    // Reversed output flips every orientation; it is left to the unit tests.
    const int options = in.ConsumeIntegralInRange<int>(0, 7) & ~clip::ReverseSolution;
    const int range = in.ConsumeIntegralInRange<int>(0, 3);
    const clip::Paths subject = read_paths(in, range);
    const clip::Paths clipping = read_paths(in, range);

    if (show) {
        std::fprintf(stderr, "operation %d, fills %d %d, options %d\n", op, subject_fill, clip_fill, options);
        print_paths("subject", subject);
        print_paths("clip", clipping);
    }
    clip::PolyTree tree;
    clip::Paths flat;
    bool tree_ok = false, flat_ok = false;
    try {
        clip::Engine engine(options);
        engine.AddPaths(subject, clip::Subject, true);
        engine.AddPaths(clipping, clip::Clip, true);
        tree_ok = engine.Execute(op, tree, subject_fill, clip_fill);
        flat_ok = engine.Execute(op, flat, subject_fill, clip_fill);
    } catch (const clip::ClipError &) {
        return 0;  // refused input (a sum beyond the range): not a result to check
    }
    show_result(tree, flat);
    if (tree_ok != flat_ok) fail("tree and flat executions disagree on success");
    if (!tree_ok) return 0;

    Bounds s, c;
    s.add(subject);
    c.add(clipping);
    Bounds allowed;
    switch (op) {
        case clip::Intersection: allowed = Bounds::meet(s, c); break;
        case clip::Difference: allowed = s; break;
        default: allowed = Bounds::join(s, c); break;
    }
    check_result(tree, flat, allowed);
    return 0;
}
