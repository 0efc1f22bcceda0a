// Offsetting closed polygons, closed lines and open paths.
#include "clipping/Offsetter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <type_traits>

#include "clip_test_support.h"
#include "clipping/IntMath.h"
#include "clipping/Path.h"
#include "clipping/TreePaths.h"

namespace {

using namespace clip;

const Path kSquare{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
constexpr double kPi = 3.141592653589793;

Paths Offset(const Paths& input, JoinType join, EndType end, double delta, double miterLimit = 2,
             double arcTolerance = 0.25) {
    Offsetter offsetter(miterLimit, arcTolerance);
    offsetter.AddPaths(input, join, end);
    Paths solution;
    offsetter.Execute(solution, delta);
    return solution;
}

Path Reversed(Path path) {
    ReversePath(path);
    return path;
}

static_assert(!std::is_copy_constructible_v<Offsetter> && !std::is_copy_assignable_v<Offsetter>,
              "an offsetter owns its stored inputs");

TEST(Offsetter, SquareGrowsAndShrinksByEachJoin) {
    struct Case {
        const char* name;
        JoinType join;
        double delta;
        double area;
        double tolerance;
    };
    const double roundArea = 120 * 120 - 4 * 100 + 100 * kPi;  // 14314.16
    const Case cases[] = {
        {"mitre: the square (-10, -10)-(110, 110)", MiterJoin, 10, 14400, 0},
        {"square joins: an octagon, corners cut at 4.14 rounded to 4", SquareJoin, 10, 14328, 0},
        {"round joins: arcs within the tolerance", RoundJoin, 10, roundArea, 0.25 * 463},
        {"shrinking by mitre", MiterJoin, -10, 6400, 0},
        {"shrinking by square joins", SquareJoin, -10, 6400, 0},
        {"shrinking by round joins", RoundJoin, -10, 6400, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const Path& square : {kSquare, Reversed(kSquare)}) {
            const Paths result = Offset({square}, c.join, ClosedPolygon, c.delta);
            ASSERT_EQ(result.size(), 1u);
            EXPECT_NEAR(Area(result[0]), c.area, c.tolerance);
        }
    }
    EXPECT_EQ(cliptest::Canonical(Offset({kSquare}, MiterJoin, ClosedPolygon, 10)),
              cliptest::Canonical({{{-10, -10}, {110, -10}, {110, 110}, {-10, 110}}}));
    EXPECT_EQ(cliptest::Canonical(Offset({kSquare}, SquareJoin, ClosedPolygon, -10)),
              cliptest::Canonical({{{10, 10}, {90, 10}, {90, 90}, {10, 90}}}));
}

TEST(Offsetter, SquareJoinsLieTheOffsetOutAlongTheAxes) {
    const Paths result = Offset({kSquare}, SquareJoin, ClosedPolygon, 10);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(cliptest::Canonical(result),
              cliptest::Canonical({{{-10, -4}, {-4, -10}, {104, -10}, {110, -4}, {110, 104}, {104, 110}, {-4, 110},
                                    {-10, 104}}}));
}

TEST(Offsetter, RoundJoinPointsLieOnTheArcs) {
    for (const double tolerance : {0.25, 0.05, 2.0}) {
        const Paths result = Offset({kSquare}, RoundJoin, ClosedPolygon, 10, 2, tolerance);
        ASSERT_EQ(result.size(), 1u);
        for (const IntPoint& p : result[0]) {
            const double cx = std::clamp(double(p.X), 0.0, 100.0), cy = std::clamp(double(p.Y), 0.0, 100.0);
            EXPECT_NEAR(std::hypot(double(p.X) - cx, double(p.Y) - cy), 10, 0.71) << p.X << "," << p.Y;
        }
        // Each chord of an arc leaves the arc by at most the tolerance (and the rounding).
        const double area = 120 * 120 - 4 * 100 + 100 * kPi;
        EXPECT_NEAR(Area(result[0]), area, (tolerance + 0.71) * cliptest::Perimeter(result));
    }
}

TEST(Offsetter, SinglePoint) {
    // floor(pi / acos(1 - 0.25 / 10)) = 14 points, 10 from the point.
    const Paths round = Offset({{{50, 50, 7}}}, RoundJoin, OpenRound, 10);
    ASSERT_EQ(round.size(), 1u);
    EXPECT_EQ(round[0].size(), std::size_t(std::floor(kPi / std::acos(1 - 0.025))));
    EXPECT_EQ(round[0].size(), 14u);
    for (const IntPoint& p : round[0]) {
        EXPECT_NEAR(std::hypot(double(p.X) - 50, double(p.Y) - 50), 10, 0.71);
        EXPECT_EQ(p.Z, 0);
    }
    for (const JoinType join : {SquareJoin, MiterJoin}) {
        const Paths square = Offset({{{50, 50}}}, join, OpenSquare, 10);
        EXPECT_EQ(cliptest::Canonical(square), cliptest::Canonical({{{40, 40}, {60, 40}, {60, 60}, {40, 60}}}));
    }
    // A closed polygon needs three distinct vertices; a shrinking offset takes none.
    EXPECT_TRUE(Offset({{{50, 50}, {50, 50}, {50, 50}}}, RoundJoin, ClosedPolygon, 10).empty());
    EXPECT_TRUE(Offset({{{50, 50}}}, RoundJoin, OpenRound, -10).empty());
}

TEST(Offsetter, ZeroOffsetKeepsClosedPolygonsAndDropsOpenPaths) {
    const Path triangle{{0, 0}, {40, 0}, {0, 30}};
    for (const double delta : {0.0, 1e-21, -1e-21}) {
        Offsetter offsetter(2, 0.25);
        offsetter.AddPath(kSquare, RoundJoin, ClosedPolygon);
        offsetter.AddPath(triangle, MiterJoin, ClosedPolygon);
        offsetter.AddPath({{200, 0}, {300, 0}}, RoundJoin, OpenRound);
        offsetter.AddPath({{200, 50}, {300, 50}, {250, 80}}, RoundJoin, ClosedLine);
        Paths solution;
        offsetter.Execute(solution, delta);
        // The triangle overlaps the square; the union keeps the square's outline.
        EXPECT_EQ(cliptest::Canonical(solution), cliptest::Canonical({kSquare})) << delta;
    }
    EXPECT_EQ(cliptest::Canonical(Offset({Reversed(triangle)}, SquareJoin, ClosedPolygon, 0)),
              cliptest::Canonical({triangle}));
}

TEST(Offsetter, OpenPathsAndClosedLines) {
    struct Case {
        const char* name;
        Path path;
        JoinType join;
        EndType end;
        double area;
        double tolerance;
    };
    const Path segment{{0, 0}, {100, 0}};
    const Path bend{{0, 0}, {100, 0}, {100, 100}};
    const Case cases[] = {
        {"butt ends", segment, SquareJoin, OpenButt, 100 * 20, 0},
        {"square ends reach the offset past the ends", segment, SquareJoin, OpenSquare, 120 * 20, 0},
        {"round ends", segment, RoundJoin, OpenRound, 100 * 20 + 100 * kPi, 0.25 * 263},
        {"a mitred bend with butt ends", bend, MiterJoin, OpenButt, 200 * 20, 0},
        {"a square ring of lines, mitred: a band", kSquare, MiterJoin, ClosedLine, 120 * 120 - 80 * 80, 0},
        {"three sides of a square, mitred, square ends", kSquare, MiterJoin, OpenSquare, 2400 + 2000 + 2000, 0},
        {"a ring of lines the other way round", Reversed(kSquare), MiterJoin, ClosedLine, 120 * 120 - 80 * 80, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Offsetter offsetter(2, 0.25);
        offsetter.AddPath(c.path, c.join, c.end);
        PolyTree tree;
        Paths flat;
        offsetter.Execute(tree, 10);
        offsetter.Execute(flat, 10);
        EXPECT_EQ(cliptest::TreeFault(tree, flat), "");
        EXPECT_NEAR(cliptest::TotalArea(flat), c.area, c.tolerance);
    }
    // A ring of lines is a band whose hole nests in its outer ring.
    Offsetter offsetter(2, 0.25);
    offsetter.AddPath(kSquare, MiterJoin, ClosedLine);
    PolyTree tree;
    offsetter.Execute(tree, 10);
    ASSERT_EQ(tree.ChildCount(), 1);
    ASSERT_EQ(tree.childs[0]->ChildCount(), 1);
    EXPECT_EQ(cliptest::Canonical({tree.childs[0]->childs[0]->contour}),
              cliptest::Canonical({{{10, 10}, {10, 90}, {90, 90}, {90, 10}}}));
}

TEST(Offsetter, MitreLimitSquaresOffSharpCorners) {
    // The tip's corner is about 11 degrees: its mitre reaches 10.05 offsets out; the blunt
    // corners' mitres stay within 2.
    const Path spike{{0, 0}, {1000, 100}, {0, 200}};
    const auto farthestX = [](const Paths& rings) {
        std::int64_t x = std::numeric_limits<std::int64_t>::min();
        for (const Path& ring : rings)
            for (const IntPoint& p : ring) x = std::max(x, p.X);
        return x;
    };
    const Paths mitred = Offset({spike}, MiterJoin, ClosedPolygon, 10, 20);
    const Paths limited = Offset({spike}, MiterJoin, ClosedPolygon, 10, 2);
    const Paths squared = Offset({spike}, SquareJoin, ClosedPolygon, 10);
    EXPECT_EQ(farthestX(mitred), 1000 + std::llround(10 / std::sin(std::atan(0.1))));
    EXPECT_EQ(farthestX(limited), 1010);
    EXPECT_EQ(farthestX(squared), 1010);
    EXPECT_GT(cliptest::TotalArea(limited), cliptest::TotalArea(squared));
}

TEST(Offsetter, ShrinkingWithHolesAndErasing) {
    // A frame: a square with a square hole. Growing narrows the hole, shrinking widens it.
    const Paths frame{kSquare, Reversed({{30, 30}, {70, 30}, {70, 70}, {30, 70}})};
    for (const double delta : {-5.0, 5.0}) {
        Offsetter offsetter(2, 0.25);
        offsetter.AddPaths(frame, MiterJoin, ClosedPolygon);
        PolyTree tree;
        Paths flat;
        offsetter.Execute(tree, delta);
        offsetter.Execute(flat, delta);
        EXPECT_EQ(cliptest::TreeFault(tree, flat), "");
        ASSERT_EQ(tree.ChildCount(), 1);
        ASSERT_EQ(tree.childs[0]->ChildCount(), 1);
        const double side = 100 + 2 * delta, hole = 40 - 2 * delta;
        EXPECT_EQ(cliptest::TotalArea(flat), side * side - hole * hole);
    }
    // Shrinking by more than the half width erases the shape in either form.
    Offsetter offsetter(2, 0.25);
    offsetter.AddPath(kSquare, RoundJoin, ClosedPolygon);
    PolyTree tree;
    Paths flat{{{1, 2}, {3, 4}, {5, 6}}};
    offsetter.Execute(tree, -60);
    offsetter.Execute(flat, -60);
    EXPECT_EQ(tree.Total(), 0);
    EXPECT_TRUE(flat.empty());
    // Several shapes left after shrinking come up to the root.
    const Paths two{{{0, 0}, {40, 0}, {40, 40}, {0, 40}}, {{100, 0}, {140, 0}, {140, 40}, {100, 40}}};
    offsetter.Clear();
    offsetter.AddPaths(two, SquareJoin, ClosedPolygon);
    offsetter.Execute(tree, -5);
    EXPECT_EQ(tree.ChildCount(), 2);
    EXPECT_EQ(tree.Total(), 2);
    for (const PolyNode* node : tree.childs) EXPECT_EQ(node->parent, &tree);
}

TEST(Offsetter, ClearForgetsInputs) {
    Offsetter offsetter(2, 0.25);
    offsetter.AddPath(kSquare, MiterJoin, ClosedPolygon);
    offsetter.Clear();
    // The clockwise polygon added after Clear decides the orientation alone.
    offsetter.AddPath(Reversed({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), MiterJoin, ClosedPolygon);
    Paths solution;
    offsetter.Execute(solution, 1);
    EXPECT_EQ(cliptest::TotalArea(solution), 144);
}

TEST(Offsetter, OrientationFollowsTheLowestPolygon) {
    // The outer square's lowest vertex decides: the inner square, running against it, is a hole
    // whichever way the outer one runs.
    const Path inner{{30, 30}, {30, 70}, {70, 70}, {70, 30}};
    for (const bool reverse : {false, true}) {
        Paths input{kSquare, inner};
        if (reverse) ReversePaths(input);
        const Paths result = Offset(input, MiterJoin, ClosedPolygon, 5);
        EXPECT_EQ(cliptest::TotalArea(result), 110 * 110 - 30 * 30) << reverse;
    }
}

// The orientation rule turns closed lines one way when the lowest polygon runs clockwise and
// the other way otherwise; applied to inputs a first run had turned, it would turn them again.
TEST(Offsetter, RunsAgainGiveTheSameResult) {
    Offsetter offsetter(1.56, 0);
    offsetter.AddPath({{10, -10}, {8, -10}, {-7, 8}}, SquareJoin, ClosedPolygon);
    offsetter.AddPath({{8, 9}, {4, 4}, {-15, 9}, {9, 9}}, SquareJoin, ClosedLine);
    Paths first, second;
    PolyTree tree;
    offsetter.Execute(first, 19.844);
    offsetter.Execute(tree, 19.844);
    offsetter.Execute(second, 19.844);
    EXPECT_EQ(first, second);
    EXPECT_EQ(cliptest::TreeFault(tree, first), "");
}

TEST(Offsetter, BadValuesGiveNoOutput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        double delta, miterLimit, arcTolerance;
    };
    const Case cases[] = {
        {"NaN delta", nan, 2, 0.25},
        {"NaN miter limit", 10, nan, 0.25},
        {"NaN arc tolerance", 10, 2, nan},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Offsetter offsetter(c.miterLimit, c.arcTolerance);
        offsetter.AddPath(kSquare, RoundJoin, ClosedPolygon);
        offsetter.AddPath({{0, 0}}, RoundJoin, OpenRound);
        Paths flat{kSquare};
        PolyTree tree;
        offsetter.Execute(flat, c.delta);
        offsetter.Execute(tree, c.delta);
        EXPECT_TRUE(flat.empty());
        EXPECT_EQ(tree.Total(), 0);
    }
    // A non-positive arc tolerance falls back to 0.25; an infinite one takes a quarter of delta.
    EXPECT_EQ(Offset({kSquare}, RoundJoin, ClosedPolygon, 10, 2, -1), Offset({kSquare}, RoundJoin, ClosedPolygon, 10));
    EXPECT_EQ(Offset({kSquare}, RoundJoin, ClosedPolygon, 10, 2, std::numeric_limits<double>::infinity()),
              Offset({kSquare}, RoundJoin, ClosedPolygon, 10, 2, 2.5));
}

TEST(Offsetter, OffsetsLeavingTheRangeThrow) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::int64_t top = kHighRange;
    struct Case {
        const char* name;
        Path path;
        JoinType join;
        EndType end;
        double delta;
    };
    const Case cases[] = {
        {"a square at the top of the range grown", {{top - 5, top - 5}, {top, top - 5}, {top, top}, {top - 5, top}},
         MiterJoin, ClosedPolygon, 10},
        {"the shrinking frame beyond the range",
         {{-top, -top}, {top, -top}, {top, top}, {-top, top}}, MiterJoin, ClosedPolygon, -1},
        {"an infinite delta", kSquare, RoundJoin, ClosedPolygon, inf},
        {"a negative infinite delta", kSquare, SquareJoin, ClosedPolygon, -inf},
        {"a huge round offset of a point", {{0, 0}}, RoundJoin, OpenRound, 1e30},
        {"an infinite offset of a line", {{0, 0}, {10, 0}}, RoundJoin, OpenRound, inf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Offsetter offsetter(2, 0.25);
        offsetter.AddPath(c.path, c.join, c.end);
        Paths flat;
        PolyTree tree;
        try {
            offsetter.Execute(flat, c.delta);
            ADD_FAILURE() << "no error";
        } catch (const char* message) {
            EXPECT_STREQ(message, "Coordinate outside allowed range");
        }
        EXPECT_THROW(offsetter.Execute(tree, c.delta), const char*);
    }
    // Nothing to offset: an infinite shrink of an open path gives nothing.
    EXPECT_TRUE(Offset({{{0, 0}, {10, 0}}}, RoundJoin, OpenRound, -inf).empty());
}

TEST(Offsetter, GetUnitNormal) {
    const DoublePoint zero = GetUnitNormal({3, 4, 1}, {3, 4, 2});
    EXPECT_EQ(zero.X, 0);
    EXPECT_EQ(zero.Y, 0);
    const DoublePoint right = GetUnitNormal({0, 0}, {10, 0});
    EXPECT_EQ(right.X, 0);
    EXPECT_EQ(right.Y, -1);
    const DoublePoint slant = GetUnitNormal({0, 0}, {3, 4});
    EXPECT_DOUBLE_EQ(slant.X, 0.8);
    EXPECT_DOUBLE_EQ(slant.Y, -0.6);
}

// Random stars, rings with holes and scribbles, offset by each join and end type both ways,
// and the results judged as sound rings in tree and flat form.
TEST(Offsetter, ResultsAreSoundRings) {
    std::mt19937_64 rng(23);
    for (const std::int64_t radius : {std::int64_t(200), std::int64_t(3000000000)}) {
        cliptest::Shapes shapes{rng, radius};
        for (int round = 0; round < 60; ++round) {
            const int n = int(shapes.Uniform(3, 12));
            const Paths inputs[] = {{shapes.Star(n, 0.3)}, shapes.WithHole(n), {shapes.Scribble(n)},
                                    {shapes.Star(n, 0.5), shapes.Scribble(4)}};
            const JoinType join = JoinType(shapes.Uniform(0, 2));
            const EndType end = EndType(shapes.Uniform(0, 4));
            const double delta = double(radius) * (double(shapes.Uniform(-300, 300)) / 1000);
            for (const Paths& input : inputs) {
                Offsetter offsetter(3, double(radius) / 1000);
                offsetter.AddPaths(input, join, end);
                PolyTree tree;
                Paths flat;
                offsetter.Execute(tree, delta);
                offsetter.Execute(flat, delta);
                ASSERT_EQ(cliptest::TreeFault(tree, flat), "")
                    << "radius " << radius << " round " << round << " join " << join << " end " << end;
            }
        }
    }
}

}  // namespace
