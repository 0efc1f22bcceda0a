#include "clip_test_support.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "clipping/Engine.h"
#include "clipping/Path.h"
#include "clipping/TreePaths.h"

namespace cliptest {

using clip::IntPoint;
using clip::Path;
using clip::Paths;

int Winding(const Paths& rings, std::int64_t x2, std::int64_t y2) {
    using I = __int128;
    int w = 0;
    for (const Path& ring : rings) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const IntPoint& a = ring[i];
            const IntPoint& b = ring[(i + 1) % ring.size()];
            const I ax = I(a.X) * 2, ay = I(a.Y) * 2, bx = I(b.X) * 2, by = I(b.Y) * 2;
            const I cross = (bx - ax) * (I(y2) - ay) - (I(x2) - ax) * (by - ay);
            if (ay < y2 && by > y2 && cross > 0) ++w;
            if (ay > y2 && by < y2 && cross < 0) --w;
        }
    }
    return w;
}

bool Filled(int winding, clip::PolyFillType fill) {
    switch (fill) {
        case clip::EvenOdd:
            return winding % 2 != 0;
        case clip::NonZero:
            return winding != 0;
        case clip::Positive:
            return winding > 0;
        case clip::Negative:
            return winding < 0;
    }
    return false;
}

bool Expected(clip::ClipType op, bool inSubject, bool inClip) {
    switch (op) {
        case clip::Intersection:
            return inSubject && inClip;
        case clip::Union:
            return inSubject || inClip;
        case clip::Difference:
            return inSubject && !inClip;
        case clip::Xor:
            return inSubject != inClip;
    }
    return false;
}

double DistanceToEdges(const Paths& rings, double x, double y) {
    double best = std::numeric_limits<double>::infinity();
    for (const Path& ring : rings) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const double ax = double(ring[i].X), ay = double(ring[i].Y);
            const double bx = double(ring[(i + 1) % ring.size()].X), by = double(ring[(i + 1) % ring.size()].Y);
            const double dx = bx - ax, dy = by - ay;
            const double len2 = dx * dx + dy * dy;
            double t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            best = std::min(best, std::hypot(x - (ax + t * dx), y - (ay + t * dy)));
        }
    }
    return best;
}

double TotalArea(const Paths& rings) {
    double sum = 0;
    for (const Path& ring : rings) sum += clip::Area(ring);
    return sum;
}

double Perimeter(const Paths& rings) {
    double sum = 0;
    for (const Path& ring : rings) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const IntPoint& a = ring[i];
            const IntPoint& b = ring[(i + 1) % ring.size()];
            sum += std::hypot(double(b.X) - double(a.X), double(b.Y) - double(a.Y));
        }
    }
    return sum;
}

std::int64_t Shapes::Uniform(std::int64_t lo, std::int64_t hi) {
    return std::uniform_int_distribution<std::int64_t>(lo, hi)(rng);
}

IntPoint Shapes::Centre() { return IntPoint(Uniform(-radius, radius), Uniform(-radius, radius)); }

namespace {
Path Around(const IntPoint& c, const std::vector<double>& angles, const std::vector<double>& radii) {
    Path ring;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        ring.emplace_back(c.X + std::llround(radii[i] * std::cos(angles[i])),
                          c.Y + std::llround(radii[i] * std::sin(angles[i])), 0);
    }
    return ring;
}
}  // namespace

Path Shapes::Star(int n, double innerFraction) {
    std::uniform_real_distribution<double> angle(0, 2 * M_PI);
    std::uniform_real_distribution<double> fraction(innerFraction, 1.0);
    std::vector<double> angles(n), radii(n);
    for (double& a : angles) a = angle(rng);
    std::sort(angles.begin(), angles.end());
    for (double& r : radii) r = fraction(rng) * double(radius);
    Path ring = Around(Centre(), angles, radii);
    RandomlyReverse(ring);
    return ring;
}

Path Shapes::Convex(int n) { return Star(n, 1.0); }

Paths Shapes::WithHole(int n) {
    const IntPoint c = Centre();
    std::uniform_real_distribution<double> angle(0, 2 * M_PI);
    std::vector<double> angles(n), outer(n), inner(n);
    for (double& a : angles) a = angle(rng);
    std::sort(angles.begin(), angles.end());
    std::uniform_real_distribution<double> outerFraction(0.6, 1.0), innerFraction(0.1, 0.5);
    for (int i = 0; i < n; ++i) {
        outer[i] = outerFraction(rng) * double(radius);
        inner[i] = innerFraction(rng) * double(radius);
    }
    Path a = Around(c, angles, outer);
    Path b = Around(c, angles, inner);
    if (!clip::Orientation(a)) std::reverse(a.begin(), a.end());
    if (clip::Orientation(b)) std::reverse(b.begin(), b.end());
    return {a, b};
}

Path Shapes::Scribble(int n) {
    const IntPoint c = Centre();
    Path ring;
    for (int i = 0; i < n; ++i) ring.emplace_back(c.X + Uniform(-radius, radius), c.Y + Uniform(-radius, radius), 0);
    return ring;
}

Path Shapes::GridRect(std::int64_t step) {
    const std::int64_t cells = 8;
    const std::int64_t x0 = Uniform(-cells, cells - 1), y0 = Uniform(-cells, cells - 1);
    const std::int64_t x1 = Uniform(x0 + 1, cells), y1 = Uniform(y0 + 1, cells);
    Path ring{{x0 * step, y0 * step}, {x1 * step, y0 * step}, {x1 * step, y1 * step}, {x0 * step, y1 * step}};
    RandomlyReverse(ring);
    return ring;
}

Path Shapes::AddCollinearAndDuplicates(const Path& ring) {
    Path out;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const IntPoint& a = ring[i];
        const IntPoint& b = ring[(i + 1) % ring.size()];
        out.push_back(a);
        if (Uniform(0, 3) == 0) out.push_back(a);
        if (Uniform(0, 2) == 0 && (a.X + b.X) % 2 == 0 && (a.Y + b.Y) % 2 == 0)
            out.emplace_back((a.X + b.X) / 2, (a.Y + b.Y) / 2, 0);
    }
    return out;
}

void Shapes::RandomlyReverse(Path& ring) {
    if (Uniform(0, 1)) std::reverse(ring.begin(), ring.end());
}

std::vector<std::string> Canonical(const Paths& rings) {
    std::vector<std::string> out;
    for (const Path& ring : rings) {
        std::size_t start = 0;
        for (std::size_t i = 1; i < ring.size(); ++i) {
            const IntPoint& p = ring[i];
            const IntPoint& s = ring[start];
            if (p.X < s.X || (p.X == s.X && (p.Y < s.Y || (p.Y == s.Y && p.Z < s.Z)))) start = i;
        }
        std::ostringstream text;
        for (std::size_t k = 0; k < ring.size(); ++k) {
            const IntPoint& p = ring[(start + k) % ring.size()];
            text << p.X << ',' << p.Y << ',' << p.Z << ' ';
        }
        out.push_back(text.str());
    }
    std::sort(out.begin(), out.end());
    return out;
}

__int128 TwiceArea(const Paths& rings) {
    __int128 sum = 0;
    for (const Path& ring : rings) {
        const IntPoint& o = ring[0];
        for (std::size_t i = 1; i + 1 < ring.size(); ++i) {
            const IntPoint& a = ring[i];
            const IntPoint& b = ring[i + 1];
            sum += (__int128(a.X) - o.X) * (__int128(b.Y) - o.Y) - (__int128(b.X) - o.X) * (__int128(a.Y) - o.Y);
        }
    }
    return sum;
}

int ExactAreaSign(const Path& ring) {
    // Cross products relative to the first vertex, each exact in 128 bits; their sum is kept
    // as a high and a low 64-bit half, since it may outgrow 128 bits.
    using I = __int128;
    using U = unsigned __int128;
    const U lowMask = (U(1) << 64) - 1;
    I high = 0;
    U low = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const IntPoint& a = ring[i];
        const IntPoint& b = ring[(i + 1) % ring.size()];
        const I cross = (I(a.X) - ring[0].X) * (I(b.Y) - ring[0].Y) - (I(b.X) - ring[0].X) * (I(a.Y) - ring[0].Y);
        high += cross >> 64;
        low += U(cross) & lowMask;
    }
    high += I(low >> 64);
    low &= lowMask;
    if (high != 0) return high > 0 ? 1 : -1;
    return low > 0 ? 1 : 0;
}

namespace {

struct Box {
    std::int64_t minX = std::numeric_limits<std::int64_t>::max(), minY = minX;
    std::int64_t maxX = std::numeric_limits<std::int64_t>::min(), maxY = maxX;

    void Add(const Paths& rings) {
        for (const Path& ring : rings) {
            for (const IntPoint& p : ring) {
                minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
                minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
            }
        }
    }
    bool Contains(const IntPoint& p) const { return minX <= p.X && p.X <= maxX && minY <= p.Y && p.Y <= maxY; }
};

// The odd doubled coordinates of up to 65 grid lines over [lo, hi].
std::vector<std::int64_t> GridLines(std::int64_t lo, std::int64_t hi) {
    using I = __int128;
    const I span2 = 2 * (I(hi) - lo) + 2;
    const I step = std::max<I>(2, span2 / 64 / 2 * 2);  // even, so that every line stays odd
    std::vector<std::int64_t> lines;
    for (I x2 = 2 * I(lo) - 1; x2 <= 2 * I(hi) + 1; x2 += step) lines.push_back(static_cast<std::int64_t>(x2));
    return lines;
}

std::string Describe(const IntPoint& p) { return "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")"; }

}  // namespace

std::string ResultFault(const Paths& subject, const Paths& clip, clip::ClipType op, clip::PolyFillType subjectFill,
                        clip::PolyFillType clipFill, int options) {
    clip::Engine engine(options);
    engine.AddPaths(subject, clip::Subject, true);
    engine.AddPaths(clip, clip::Clip, true);
    clip::PolyTree tree, again;
    Paths flat, listed, listedAgain;
    if (!engine.Execute(op, tree, subjectFill, clipFill) || !engine.Execute(op, flat, subjectFill, clipFill) ||
        !engine.Execute(op, again, subjectFill, clipFill))
        return "an execution failed";
    clip::PolyTreeToPaths(tree, listed);
    clip::PolyTreeToPaths(again, listedAgain);
    if (Canonical(listed) != Canonical(listedAgain)) return "a second execution gives other rings";
    Paths rings;
    for (const Path& ring : flat)
        if (ring.size() >= 3) rings.push_back(ring);
    if (Canonical(rings) != Canonical(listed)) return "the tree and the path list differ";

    const bool reversed = (options & clip::ReverseSolution) != 0;
    for (const Path& ring : flat)
        if (ExactAreaSign(ring) == 0) return "a ring of zero area";
    for (const clip::PolyNode* node = tree.GetFirst(); node; node = node->GetNext()) {
        if ((ExactAreaSign(node->contour) < 0) != (node->IsHole() != reversed))
            return std::string(node->IsHole() ? "a hole" : "an outer ring") + " runs the wrong way";
    }

    Box subjectBox, clipBox, inputs;
    subjectBox.Add(subject);
    clipBox.Add(clip);
    inputs.Add(subject);
    inputs.Add(clip);
    for (const Path& ring : flat) {
        for (const IntPoint& p : ring) {
            const bool reachable = op == clip::Difference     ? subjectBox.Contains(p)
                                   : op == clip::Intersection ? subjectBox.Contains(p) && clipBox.Contains(p)
                                                              : inputs.Contains(p);
            if (!reachable) return "vertex " + Describe(p) + " beyond the inputs that reach the result";
        }
    }

    // Winding is exact while doubled coordinate differences keep its products within 128 bits.
    constexpr std::int64_t kWindingRange = std::int64_t(1) << 61;
    if (inputs.minX < -kWindingRange || inputs.minY < -kWindingRange || inputs.maxX > kWindingRange ||
        inputs.maxY > kWindingRange)
        return "";
    // Thin faults can hide from the grid below: rings that should cancel, one turned round.
    const __int128 covered = TwiceArea(flat);
    if (reversed ? covered > 0 : covered < 0) return "the result covers a negative area";
    Paths edges = subject;
    edges.insert(edges.end(), clip.begin(), clip.end());
    const double extent =
        std::max(double(inputs.maxX) - double(inputs.minX), double(inputs.maxY) - double(inputs.minY));
    const double clearance = 1.0 + 1e-9 * extent;
    const int inside = reversed ? -1 : 1;
    for (const std::int64_t x2 : GridLines(inputs.minX, inputs.maxX)) {
        for (const std::int64_t y2 : GridLines(inputs.minY, inputs.maxY)) {
            if (DistanceToEdges(edges, double(x2) / 2, double(y2) / 2) < clearance) continue;
            const bool inSubject = Filled(Winding(subject, x2, y2), subjectFill);
            const bool inClip = Filled(Winding(clip, x2, y2), clipFill);
            const int expected = Expected(op, inSubject, inClip) ? inside : 0;
            const int got = Winding(flat, x2, y2);
            if (got != expected)
                return "winding " + std::to_string(got) + " instead of " + std::to_string(expected) + " at (" +
                       std::to_string(x2) + "," + std::to_string(y2) + ")/2";
        }
    }
    return "";
}

std::string TreeFault(const clip::PolyTree& tree, const Paths& flat) {
    Paths listed;
    clip::PolyTreeToPaths(tree, listed);
    if (Canonical(listed) != Canonical(flat)) return "the tree and the path list differ";
    for (const Path& ring : flat)
        if (ExactAreaSign(ring) == 0) return "a ring of zero area";
    for (const clip::PolyNode* node = tree.GetFirst(); node; node = node->GetNext()) {
        if ((ExactAreaSign(node->contour) < 0) != node->IsHole())
            return std::string(node->IsHole() ? "a hole" : "an outer ring") + " runs the wrong way";
        if (node->parent == &tree) continue;
        for (const IntPoint& p : node->contour)
            if (clip::PointInPolygon(p, node->parent->contour) == 0)
                return "vertex " + Describe(p) + " outside its parent's ring";
    }
    return "";
}

}  // namespace cliptest
