// Crossings that round onto a scan line, or pass within a unit of a vertex on it: the sweep
// orders the edges there by X rounded to integers, and two edges at the same rounded X may
// still have crossed. Minimal inputs found by the fuzzer. Each result must fill exactly what
// the winding numbers say, with no ring of zero area, outer rings positive and holes negative,
// and no two result edges crossing each other.
#include <gtest/gtest.h>

#include <string>

#include "clip_test_support.h"
#include "clipping/Engine.h"
#include "clipping/Path.h"
#include "clipping/TreePaths.h"

namespace {

using namespace clip;

struct Case {
    const char* name;
    ClipType op;
    PolyFillType subjectFill;
    PolyFillType clipFill;
    Paths subject;
    Paths clip;
};

const Case kCases[] = {
    // Edge (8,8)-(-16,12) crosses (8,9)-(7,-16) at (7.96,8.007): rounded, onto the vertex (8,8)
    // where the first edge ends, so both edges have the same rounded X at the top of the beam.
    {"crossing rounded onto the top of a scanbeam",
     Difference,
     NonZero,
     Positive,
     {{{-16, 12}, {3, 3}, {8, 9}, {7, -16}, {7, -16}, {8, 8}}},
     {}},
    // Edge (-4,14)-(-15,-4) passes 0.28 right of the local minimum (-11,3) and crosses both of
    // its edges just above it.
    {"edge passing within a unit of a local minimum",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-8, -10}, {-11, 3}, {3, 3}, {-15, -4}, {-4, 14}}},
     {}},
};

// Translations: none, and one beyond the range of 64-bit slope products. Both keep every
// rounding decision of the sweep as it is.
constexpr std::int64_t kOffsets[] = {0, std::int64_t(1) << 40};

constexpr int kOptions[] = {0, StrictlySimple, PreserveCollinear, StrictlySimple | PreserveCollinear};

Paths Translated(const Paths& rings, std::int64_t offset) {
    Paths out = rings;
    for (Path& ring : out)
        for (IntPoint& p : ring) p = IntPoint(p.X + offset, p.Y + offset, p.Z);
    return out;
}

int Orient(const IntPoint& a, const IntPoint& b, const IntPoint& c) {
    using I = __int128;
    const I cross = I(b.X - a.X) * I(c.Y - a.Y) - I(b.Y - a.Y) * I(c.X - a.X);
    return (cross > 0) - (cross < 0);
}

// True when the open segments (a, b) and (c, d) cross at one point inside both.
bool CrossProperly(const IntPoint& a, const IntPoint& b, const IntPoint& c, const IntPoint& d) {
    const int abc = Orient(a, b, c), abd = Orient(a, b, d), cda = Orient(c, d, a), cdb = Orient(c, d, b);
    return abc * abd < 0 && cda * cdb < 0;
}

void ExpectNoCrossingEdges(const Paths& rings, const std::string& what) {
    std::vector<std::pair<IntPoint, IntPoint>> edges;
    for (const Path& ring : rings)
        for (std::size_t i = 0; i < ring.size(); ++i) edges.emplace_back(ring[i], ring[(i + 1) % ring.size()]);
    for (std::size_t i = 0; i < edges.size(); ++i)
        for (std::size_t j = i + 1; j < edges.size(); ++j)
            EXPECT_FALSE(CrossProperly(edges[i].first, edges[i].second, edges[j].first, edges[j].second))
                << what << ": result edges " << i << " and " << j << " cross";
}

// The result's winding number is 1 where the operation fills and 0 elsewhere, at every point
// of the half-integer grid that lies more than a unit away from the input edges (rounded
// crossings move the boundary by less than that).
void ExpectFilledAsWindingSays(const Case& c, const Paths& subject, const Paths& clip, const Paths& result,
                               const std::string& what) {
    Paths all = subject;
    all.insert(all.end(), clip.begin(), clip.end());
    std::int64_t minX = all[0][0].X, maxX = minX, minY = all[0][0].Y, maxY = minY;
    for (const Path& ring : all) {
        for (const IntPoint& p : ring) {
            minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
            minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
        }
    }
    for (std::int64_t x2 = 2 * minX - 1; x2 <= 2 * maxX + 1; x2 += 2) {
        for (std::int64_t y2 = 2 * minY - 1; y2 <= 2 * maxY + 1; y2 += 2) {
            if (cliptest::DistanceToEdges(all, double(x2) / 2, double(y2) / 2) < 1.0) continue;
            const bool inSubject = cliptest::Filled(cliptest::Winding(subject, x2, y2), c.subjectFill);
            const bool inClip = cliptest::Filled(cliptest::Winding(clip, x2, y2), c.clipFill);
            const int expected = cliptest::Expected(c.op, inSubject, inClip) ? 1 : 0;
            ASSERT_EQ(cliptest::Winding(result, x2, y2), expected) << what << " at " << x2 << "/2," << y2 << "/2";
        }
    }
}

TEST(ScanlineTies, ResultsAreWellFormedAndFillWhatTheWindingNumbersSay) {
    for (const Case& c : kCases) {
        for (const std::int64_t offset : kOffsets) {
            const Paths subject = Translated(c.subject, offset);
            const Paths clip = Translated(c.clip, offset);
            for (const int options : kOptions) {
                const std::string what =
                    std::string(c.name) + ", offset " + std::to_string(offset) + ", options " + std::to_string(options);
                Engine engine(options);
                engine.AddPaths(subject, Subject, true);
                engine.AddPaths(clip, Clip, true);
                Paths result;
                ASSERT_TRUE(engine.Execute(c.op, result, c.subjectFill, c.clipFill)) << what;
                PolyTree tree;
                ASSERT_TRUE(engine.Execute(c.op, tree, c.subjectFill, c.clipFill)) << what;

                for (const Path& ring : result) EXPECT_NE(Area(ring), 0.0) << what << ": ring of zero area";
                for (const PolyNode* node = tree.GetFirst(); node; node = node->GetNext())
                    EXPECT_EQ(node->IsHole(), Area(node->contour) < 0) << what << ": orientation of a tree ring";
                ExpectNoCrossingEdges(result, what);
                ExpectFilledAsWindingSays(c, subject, clip, result, what);
                Paths listed;
                PolyTreeToPaths(tree, listed);
                ExpectFilledAsWindingSays(c, subject, clip, listed, what + " (tree)");
            }
        }
    }
}

}  // namespace
