// Crossings near a scan line: the sweep orders the edges there by X rounded to integers, and
// two edges at the same rounded X may still have crossed; crossings between two scan lines are
// taken bottom-most first, and two of them may round to the same Y. Minimal inputs found by
// the fuzzer. Each result must be well formed (cliptest::ResultFault) and no two of its
// edges may cross.
#include <gtest/gtest.h>

#include <string>

#include "clip_test_support.h"
#include "clipping/Engine.h"

namespace {

using namespace clip;

using Case = cliptest::OperationCase;

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
    // Three crossings at Y -10.6, -10.8 and -11.4 all round to -11; taken in another order,
    // the crossing of the two clip edges, right of the subject, seemed to lie inside it.
    {"crossings that round to the same Y",
     Difference,
     EvenOdd,
     Negative,
     {{{3, -16}, {-1, 14}, {-4, -4}, {-4, -8}}},
     {{{-13, -16}, {-4, -4}, {-16, -16}, {-7, -4}, {6, -10}, {-9, -16}, {-16, -7}, {11, -10}, {-10, -12}}}},
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

TEST(ScanlineTies, ResultsAreWellFormedAndTheirEdgesDoNotCross) {
    for (const Case& c : kCases) {
        for (const std::int64_t offset : kOffsets) {
            const Paths subject = Translated(c.subject, offset);
            const Paths clip = Translated(c.clip, offset);
            for (const int options : kOptions) {
                const std::string what =
                    std::string(c.name) + ", offset " + std::to_string(offset) + ", options " + std::to_string(options);
                EXPECT_EQ(cliptest::ResultFault(subject, clip, c.op, c.subjectFill, c.clipFill, options), "") << what;
                Engine engine(options);
                engine.AddPaths(subject, Subject, true);
                engine.AddPaths(clip, Clip, true);
                Paths result;
                ASSERT_TRUE(engine.Execute(c.op, result, c.subjectFill, c.clipFill)) << what;
                ExpectNoCrossingEdges(result, what);
            }
        }
    }
}

}  // namespace
