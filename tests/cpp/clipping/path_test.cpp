// Path helpers, exact arithmetic and the input side of the clip engine.
#include "clipping/Path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "clip_test_support.h"
#include "clipping/ClipError.h"
#include "clipping/Engine.h"
#include "clipping/IntMath.h"

namespace {

using namespace clip;

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(PathArea, SignFollowsOrientation) {
    struct Case {
        Path path;
        double area;
        bool orientation;
    };
    const Case cases[] = {
        {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 100, true},  // counter-clockwise with Y up
        {{{0, 10}, {10, 10}, {10, 0}, {0, 0}}, -100, false},
        {{{0, 0}, {4, 0}, {0, 3}}, 6, true},
        {{{0, 0}, {5, 5}}, 0, true},  // fewer than three vertices count as positive
        {{}, 0, true},
        {{{0, 0}, {10, 0}, {20, 0}}, 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(Area(c.path), c.area);
        EXPECT_EQ(Orientation(c.path), c.orientation);
    }
}

TEST(PathArea, HugeCoordinatesDoNotOverflow) {
    const std::int64_t big = kHighRange;
    const Path square{{-big, -big}, {big, -big}, {big, big}, {-big, big}};
    EXPECT_DOUBLE_EQ(Area(square), 4.0 * double(big) * double(big));
}

TEST(PathPointInPolygon, InsideOutsideAndBoundary) {
    const Path square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const Path triangle{{0, 0}, {10, 0}, {0, 10}};
    struct Case {
        const Path* path;
        IntPoint point;
        int expected;
    };
    const Case cases[] = {
        {&square, {5, 5}, 1},   {&square, {15, 5}, 0},   {&square, {-1, 5}, 0},   {&square, {5, -1}, 0},
        {&square, {0, 0}, -1},  {&square, {10, 10}, -1}, {&square, {5, 0}, -1},   {&square, {10, 5}, -1},
        {&square, {5, 10}, -1}, {&square, {0, 5}, -1},   {&triangle, {5, 5}, -1}, {&triangle, {4, 4}, 1},
        {&triangle, {6, 6}, 0}, {&triangle, {1, 9}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PointInPolygon(c.point, *c.path), c.expected) << c.point.X << "," << c.point.Y;
    EXPECT_EQ(PointInPolygon({0, 0}, Path{{0, 0}, {5, 5}}), 0);
}

TEST(IntMath, ExactProductsAndRounding) {
    EXPECT_TRUE(Int128Mul(kMax, kMax) == Int128(kMax) * Int128(kMax));
    EXPECT_TRUE(Int128Mul(kMin, kMin) == (Int128(1) << 126));
    EXPECT_TRUE(Int128Mul(kMin, 1) == Int128(kMin));
    EXPECT_TRUE(Int128Mul(-3, 7) == Int128(-21));

    struct Case {
        double value;
        std::int64_t expected;
    };
    const Case cases[] = {
        {2.5, 3},
        {-2.5, -3},
        {2.4999, 2},
        {-0.4, 0},
        {0.5, 1},
        {1e300, kMax},
        {-1e300, kMin},
        {std::nan(""), 0},
        {9.3e18, kMax},
        {-9.3e18, kMin},
        {std::numeric_limits<double>::infinity(), kMax},
    };
    for (const Case& c : cases) EXPECT_EQ(Round(c.value), c.expected) << c.value;
}

TEST(IntMath, CheckedSumsThrowTheRangeText) {
    EXPECT_EQ(CheckedAdd(kMax - 1, 1), kMax);
    EXPECT_EQ(CheckedSub(kMin + 1, 1), kMin);
    try {
        CheckedAdd(kMax, 1);
        FAIL();
    } catch (const char* text) {
        EXPECT_STREQ(text, "Coordinate outside allowed range");
    }
    EXPECT_THROW(CheckedSub(kMin, 1), const char*);
}

TEST(PathSlopes, ExactBeyondTheLowRange) {
    const std::int64_t u = std::int64_t(1) << 40;
    const IntPoint a{0, 0}, b{3 * u, u}, c{6 * u, 2 * u}, cOff{6 * u, 2 * u + 1};
    EXPECT_TRUE(SlopesEqual(a, b, c, true));
    EXPECT_FALSE(SlopesEqual(a, b, cOff, true));
    EXPECT_TRUE(SlopesEqual(a, b, b, c, true));
    EXPECT_FALSE(SlopesEqual(a, b, b, cOff, true));
    EXPECT_TRUE(SlopesEqual({0, 0}, {2, 1}, {4, 2}, false));
}

TEST(PathRangeTest, SwitchesToFullRangeAndRefusesBeyondTheHighRange) {
    struct Case {
        IntPoint point;
        bool fullRange;
        bool throws;
    };
    const Case cases[] = {
        {{1073741823, -1073741823}, false, false},
        {{1073741824, 0}, true, false},
        {{0, -1073741824}, true, false},
        {{4611686018427387903, -4611686018427387903}, true, false},
        {{4611686018427387904, 0}, true, true},
        {{0, kMin}, true, true},
        {{kMin, 0}, true, true},
        {{0, 0, kMin}, false, false},  // Z is never tested
    };
    for (const Case& c : cases) {
        bool fullRange = false;
        if (c.throws) {
            try {
                RangeTest(c.point, fullRange);
                ADD_FAILURE() << c.point.X;
            } catch (const char* text) {
                EXPECT_STREQ(text, "Coordinate outside allowed range");
            }
        } else {
            RangeTest(c.point, fullRange);
        }
        EXPECT_EQ(fullRange, c.fullRange) << c.point.X << "," << c.point.Y;
    }
}

TEST(PathBetween, StrictlyBetweenOnEitherAxis) {
    struct Case {
        IntPoint p1, p2, p3;
        bool expected;
    };
    const Case cases[] = {
        {{0, 0}, {5, 0}, {10, 0}, true}, {{0, 0}, {15, 0}, {10, 0}, false}, {{0, 0}, {0, 5}, {0, 10}, true},
        {{0, 10}, {0, 5}, {0, 0}, true}, {{0, 0}, {0, 0}, {10, 0}, false},  {{0, 0}, {5, 0}, {0, 0}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(Pt2IsBetweenPt1AndPt3(c.p1, c.p2, c.p3), c.expected);
}

TEST(PathOverlapSegment, SharedPartOfCollinearSegments) {
    IntPoint out1, out2;
    EXPECT_TRUE(GetOverlapSegment({0, 0}, {10, 0}, {5, 0, 7}, {20, 0}, out1, out2));
    EXPECT_EQ(out1, IntPoint(5, 0));
    EXPECT_EQ(out1.Z, 7);
    EXPECT_EQ(out2, IntPoint(10, 0));
    EXPECT_FALSE(GetOverlapSegment({0, 0}, {0, 10}, {0, 10}, {0, 20}, out1, out2));
}

// What an engine holding just these subject paths returns as a union.
Paths UnionOf(const Paths& subject, int options = 0) {
    Engine engine(options);
    engine.AddPaths(subject, Subject, true);
    Paths result;
    EXPECT_TRUE(engine.Execute(Union, result, NonZero, NonZero));
    return result;
}

TEST(EngineInput, RejectsDegenerateRings) {
    struct Case {
        const char* name;
        Path path;
    };
    const Case cases[] = {
        {"empty", {}},
        {"two points", {{0, 0}, {10, 10}}},
        {"three collinear points", {{0, 0}, {5, 0}, {10, 0}}},
        {"repeated points", {{1, 1}, {1, 1}, {1, 1}, {1, 1}}},
        {"flat with duplicates", {{0, 0}, {10, 0}, {10, 0}, {0, 0}}},
        {"spike only", {{0, 0}, {10, 10}, {20, 20}, {10, 10}}},
    };
    for (const Case& c : cases) {
        Engine engine;
        EXPECT_FALSE(engine.AddPath(c.path, Subject, true)) << c.name;
        Paths result{{{1, 1}}};
        EXPECT_TRUE(engine.Execute(Union, result, NonZero, NonZero)) << c.name;
        EXPECT_TRUE(result.empty()) << c.name;
    }
    Engine engine;
    EXPECT_FALSE(engine.AddPaths({}, Subject, true));
    EXPECT_FALSE(engine.AddPaths({{{0, 0}, {5, 0}, {10, 0}}}, Subject, true));
    EXPECT_TRUE(engine.AddPaths({{{0, 0}, {5, 0}, {10, 0}}, {{0, 0}, {5, 0}, {5, 5}}}, Subject, true));
}

TEST(EngineInput, CleansRepeatsCollinearVerticesAndSpikes) {
    struct Case {
        const char* name;
        Path path;
        int options;
        std::size_t vertices;
    };
    const std::int64_t u = std::int64_t(1) << 40;
    const Case cases[] = {
        {"first point repeated at the end", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 0, 4},
        {"midpoint on a side", {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}}, 0, 4},
        {"midpoint kept with PreserveCollinear", {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}}, PreserveCollinear, 5},
        {"spike", {{0, 0}, {10, 0}, {20, 0}, {10, 0}, {10, 10}, {0, 10}}, 0, 4},
        {"spike with PreserveCollinear", {{0, 0}, {10, 0}, {20, 0}, {10, 0}, {10, 10}, {0, 10}}, PreserveCollinear, 4},
        {"midpoint beyond the low range", {{0, 0}, {3 * u, u}, {6 * u, 2 * u}, {0, 5 * u}}, 0, 3},
        {"near-collinear beyond the low range", {{0, 0}, {3 * u, u + 1}, {6 * u, 2 * u}, {0, 5 * u}}, 0, 4},
    };
    for (const Case& c : cases) {
        const Paths result = UnionOf({c.path}, c.options);
        ASSERT_EQ(result.size(), 1u) << c.name;
        EXPECT_EQ(result[0].size(), c.vertices) << c.name;
    }
    EXPECT_EQ(cliptest::Canonical(UnionOf({cases[0].path})),
              cliptest::Canonical(UnionOf({{{0, 0}, {10, 0}, {10, 10}, {0, 10}}})));
}

TEST(EngineInput, OpenPathsAreRefusedWithTheExactMessage) {
    Engine engine;
    try {
        engine.AddPath({{0, 0}, {10, 0}, {10, 10}}, Subject, false);
        FAIL();
    } catch (const ClipError& error) {
        EXPECT_STREQ(error.what(), "AddPath: Open paths have been disabled.");
    }
    EXPECT_THROW(engine.AddPaths({{{0, 0}, {10, 0}, {10, 10}}}, Clip, false), ClipError);
    Paths result;
    EXPECT_TRUE(engine.Execute(Union, result, NonZero, NonZero));
    EXPECT_TRUE(result.empty());
}

TEST(EngineInput, CoordinatesBeyondTheHighRangeThrowAndLeaveNothing) {
    Engine engine;
    ASSERT_TRUE(engine.AddPath({{0, 0}, {10, 0}, {10, 10}}, Subject, true));
    for (const Path& bad : {Path{{0, 0}, {4611686018427387904, 0}, {0, 10}}, Path{{0, 0}, {10, 0}, {0, kMin}}}) {
        try {
            engine.AddPath(bad, Subject, true);
            FAIL();
        } catch (const char* text) {
            EXPECT_STREQ(text, "Coordinate outside allowed range");
        }
    }
    Paths result;
    ASSERT_TRUE(engine.Execute(Union, result, NonZero, NonZero));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_DOUBLE_EQ(Area(result[0]), 50);
    // The largest allowed coordinate is accepted, and Z is never range tested.
    EXPECT_TRUE(engine.AddPath({{0, 0, kMin}, {kHighRange, 0, kMax}, {0, kHighRange}}, Clip, true));
}

TEST(EngineInput, BoundsCoverEveryAcceptedPath) {
    Engine engine;
    const IntBounds none = engine.GetBounds();
    EXPECT_EQ(none.minX | none.minY | none.maxX | none.maxY, 0);
    engine.AddPath({{-5, 3}, {7, 3}, {7, 20}}, Subject, true);
    engine.AddPath({{100, -40}, {120, -40}, {110, -10}}, Clip, true);
    const IntBounds b = engine.GetBounds();
    EXPECT_EQ(b.minX, -5);
    EXPECT_EQ(b.minY, -40);
    EXPECT_EQ(b.maxX, 120);
    EXPECT_EQ(b.maxY, 20);
}

}  // namespace
