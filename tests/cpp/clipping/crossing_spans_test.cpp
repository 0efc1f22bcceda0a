// A crossing that rounding lifts above its scanbeam is put back on the beam's top, on the first
// edge, whose X there can lie beyond the other edge's span; the crossing is then kept within
// the X span both edges have. A minimal input found by the fuzzer.
#include <gtest/gtest.h>

#include "clip_test_support.h"
#include "clipping/Engine.h"

namespace {

using namespace clip;

// Left at the first edge's X, the crossing would be the vertex (9, -9), beyond the span of the
// other edge, and the rings around it would cover 1.5 more.
TEST(CrossingSpans, ACrossingLiftedAboveItsBeamStaysWithinBothEdges) {
    const Paths subject = {{{11, -9}, {7, 11}, {11, -9}, {-16, 10}, {-6, -16}, {8, -9}}};
    const Paths clipping = {{{4, 8}, {0, -16}}, {{11, -8}, {-16, -16}, {-9, -8}}};
    for (const int options : {StrictlySimple | PreserveCollinear, int(StrictlySimple), 0}) {
        EXPECT_EQ(cliptest::ResultFault(subject, clipping, Xor, EvenOdd, NonZero, options), "") << options;
        Engine engine(options);
        engine.AddPaths(subject, Subject, true);
        engine.AddPaths(clipping, Clip, true);
        Paths result;
        ASSERT_TRUE(engine.Execute(Xor, result, EvenOdd, NonZero));
        EXPECT_DOUBLE_EQ(cliptest::TotalArea(result), 222.5) << options;
        for (const Path& ring : result)
            for (const IntPoint& p : ring) EXPECT_FALSE(p.X == 9 && p.Y == -9) << options;
    }
}

}  // namespace
