// The sweep and its results on small exact cases: operations, orientation, the Z rule and
// repeated executions.
#include "clipping/Engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "clip_test_support.h"
#include "clipping/ClipError.h"
#include "clipping/IntMath.h"
#include "clipping/Path.h"

namespace {

using namespace clip;

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

Path Square(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::int64_t z = 0) {
    return {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
}

Paths Clipped(const Paths& subject, const Paths& clip, ClipType op, PolyFillType fill = EvenOdd, int options = 0) {
    Engine engine(options);
    engine.AddPaths(subject, Subject, true);
    engine.AddPaths(clip, Clip, true);
    Paths result;
    EXPECT_TRUE(engine.Execute(op, result, fill, fill));
    return result;
}

TEST(EngineOperations, TwoOverlappingSquares) {
    struct Case {
        ClipType op;
        std::vector<std::size_t> vertices;
        double area;
    };
    const Case cases[] = {
        {Union, {8}, 175},
        {Intersection, {4}, 25},
        {Difference, {6}, 75},
        {Xor, {6, 6}, 150},
    };
    for (const Case& c : cases) {
        const Paths result = Clipped({Square(0, 0, 10, 10)}, {Square(5, 5, 15, 15)}, c.op);
        std::vector<std::size_t> sizes;
        for (const Path& ring : result) sizes.push_back(ring.size());
        EXPECT_EQ(sizes, c.vertices) << c.op;
        EXPECT_DOUBLE_EQ(cliptest::TotalArea(result), c.area) << c.op;
        for (const Path& ring : result) EXPECT_TRUE(Orientation(ring)) << c.op;
    }
    EXPECT_EQ(cliptest::Canonical(Clipped({Square(0, 0, 10, 10)}, {Square(5, 5, 15, 15)}, Intersection)),
              cliptest::Canonical({Square(5, 5, 10, 10)}));
}

TEST(EngineOperations, EmptyInputs) {
    EXPECT_TRUE(Clipped({}, {}, Union).empty());
    EXPECT_TRUE(Clipped({}, {Square(0, 0, 10, 10)}, Difference).empty());
    EXPECT_TRUE(Clipped({Square(0, 0, 10, 10)}, {}, Intersection).empty());
    const Path withMidpoint{{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(cliptest::Canonical(Clipped({withMidpoint}, {}, Difference)),
              cliptest::Canonical({Square(0, 0, 10, 10)}));
}

TEST(EngineOperations, SharedEdgeIsJoinedAway) {
    const Paths result = Clipped({Square(0, 0, 10, 10)}, {Square(10, 0, 20, 10)}, Union);
    EXPECT_EQ(cliptest::Canonical(result), cliptest::Canonical({Square(0, 0, 20, 10)}));
    const Paths stacked = Clipped({Square(0, 0, 10, 10), Square(0, 10, 10, 20)}, {}, Union, NonZero);
    EXPECT_EQ(cliptest::Canonical(stacked), cliptest::Canonical({Square(0, 0, 10, 20)}));
}

TEST(EngineOperations, FillRulesOnOverlappingRingsOfOneSet) {
    const Path ccw = Square(0, 0, 10, 10);
    const Path ccw2 = Square(5, 0, 15, 10);
    Path cw = ccw2;
    std::reverse(cw.begin(), cw.end());
    struct Case {
        Path second;
        PolyFillType fill;
        double area;
    };
    const Case cases[] = {
        {ccw2, EvenOdd, 100}, {ccw2, NonZero, 150}, {ccw2, Positive, 150}, {ccw2, Negative, 0},
        {cw, EvenOdd, 100},   {cw, NonZero, 100},   {cw, Positive, 50},    {cw, Negative, 50},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(cliptest::TotalArea(Clipped({ccw, c.second}, {}, Union, c.fill)), c.area) << c.fill;
}

TEST(EngineResults, HoleOrientationAndReverseSolution) {
    for (const bool reverse : {false, true}) {
        Engine engine(reverse ? ReverseSolution : 0);
        engine.AddPaths({Square(0, 0, 100, 100), Square(20, 20, 80, 80)}, Subject, true);
        PolyTree tree;
        ASSERT_TRUE(engine.Execute(Union, tree, EvenOdd, EvenOdd));
        ASSERT_EQ(tree.ChildCount(), 1);
        const PolyNode& outer = *tree.childs[0];
        ASSERT_EQ(outer.ChildCount(), 1);
        EXPECT_FALSE(outer.IsHole());
        EXPECT_TRUE(outer.childs[0]->IsHole());
        EXPECT_DOUBLE_EQ(Area(outer.contour), reverse ? -10000 : 10000);
        EXPECT_DOUBLE_EQ(Area(outer.childs[0]->contour), reverse ? 3600 : -3600);
    }
}

TEST(EngineResults, BowTieGivesTwoPositiveTriangles) {
    // A bow tie under even-odd: two triangles meeting at one point.
    const Paths result = Clipped({{{0, 0}, {10, 10}, {10, 0}, {0, 10}}}, {}, Union);
    ASSERT_EQ(result.size(), 2u);
    for (const Path& ring : result) EXPECT_DOUBLE_EQ(Area(ring), 25);
}

// The vertex of the result at (x, y), or null.
const IntPoint* VertexAt(const Paths& rings, std::int64_t x, std::int64_t y) {
    for (const Path& ring : rings)
        for (const IntPoint& p : ring)
            if (p.X == x && p.Y == y) return &p;
    return nullptr;
}

TEST(EngineZ, CrossingGetsTheTruncatedMeanOfTheFourEdgeEnds) {
    struct Case {
        std::int64_t z[4];  // subject edge (0,0)-(10,10), clip edge (0,10)-(10,0)
        std::int64_t expected;
    };
    const Case cases[] = {
        {{0, 8, 4, -12}, 0},
        {{1, 2, 3, 3}, 2},
        {{-1, -2, -3, -3}, -2},  // truncated toward zero
        {{-7, 0, 0, 0}, -1},
        {{kMax, kMax, kMax, kMax}, kMax},  // the sum overflows 64 bits, the mean does not
        {{kMin, kMin, kMin, kMin}, kMin},
        {{kMax, kMax, kMin, kMin}, 0},
        {{kMax, kMax, kMax, kMin}, kMax / 2},
    };
    for (const Case& c : cases) {
        const Path subject{{0, 0, c.z[0]}, {10, 10, c.z[1]}, {-20, 20, 0}};
        const Path clip{{0, 10, c.z[2]}, {10, 0, c.z[3]}, {30, 30, 0}};
        for (ClipType op : {Intersection, Union, Xor}) {
            const Paths result = Clipped({subject}, {clip}, op);
            const IntPoint* crossing = VertexAt(result, 5, 5);
            ASSERT_NE(crossing, nullptr) << op;
            EXPECT_EQ(crossing->Z, c.expected) << op << " " << c.z[0] << " " << c.z[3];
            // The clip vertex inside the subject keeps its own Z.
            if (op == Intersection) {
                ASSERT_NE(VertexAt(result, 0, 10), nullptr);
                EXPECT_EQ(VertexAt(result, 0, 10)->Z, c.z[2]);
            }
        }
    }
}

TEST(EngineZ, SetZIsTheSameMean) {
    TEdge e1, e2;
    e1.bottom.Z = kMax;
    e1.top.Z = kMax;
    e2.bottom.Z = kMax;
    e2.top.Z = 1;
    IntPoint pt(1, 2, 77);
    Engine::SetZ(pt, e1, e2);
    EXPECT_EQ(pt.Z, static_cast<std::int64_t>((Int128(kMax) * 3 + 1) / 4));
    EXPECT_EQ(pt.X, 1);
}

TEST(EngineZ, SharedZSurvivesAndZFillChangesNothing) {
    const Paths subject{Square(0, 0, 10, 10, 10), {{3, -5, 10}, {7, -5, 10}, {5, 20, 10}}};
    const Paths clip{Square(5, 5, 15, 15, 10)};
    for (ClipType op : {Intersection, Union, Difference, Xor}) {
        const Paths result = Clipped(subject, clip, op);
        ASSERT_FALSE(result.empty());
        for (const Path& ring : result)
            for (const IntPoint& p : ring) EXPECT_EQ(p.Z, 10) << op;

        Engine engine;
        engine.ZFillFunction([](IntPoint&, IntPoint&, IntPoint&, IntPoint&, IntPoint& pt) { pt.Z = -1; });
        engine.AddPaths(subject, Subject, true);
        engine.AddPaths(clip, Clip, true);
        Paths filled;
        ASSERT_TRUE(engine.Execute(op, filled, EvenOdd, EvenOdd));
        EXPECT_EQ(cliptest::Canonical(filled), cliptest::Canonical(result));
    }
}

// The subject's apex (5, 0) lies on the clip's vertical edge (5,12)-(5,-5), which runs
// between the apex's two edges up to it.
const Path kApexSubject{{0, 10, 8}, {10, 10, 8}, {5, 0, 40}};
const Path kApexClip{{5, 12, 4}, {5, -5, 0}, {8, -5, 0}};

TEST(EngineZ, MaximumOnAnotherEdgeTakesTheMean) {
    const Paths result = Clipped({kApexSubject}, {kApexClip}, Union);
    const IntPoint* apex = VertexAt(result, 5, 0);
    ASSERT_NE(apex, nullptr);
    EXPECT_EQ(apex->Z, (40 + 8 + 0 + 4) / 4);
}

// Two clip edges run up through the apex between its edges: the means chain, each one
// starting from the last (13, then (13 + 8 + 100 + 100) / 4 = 55), in every execution.
const Path kChainClip{{6, 10, 100}, {4, -10, 100}, {2, -10, 0}};

TEST(EngineZ, MeansChainAtAMaximumWithSeveralEdgesThroughIt) {
    Engine engine;
    engine.AddPath(kApexSubject, Subject, true);
    engine.AddPaths({kApexClip, kChainClip}, Clip, true);
    for (int run = 0; run < 2; ++run) {
        Paths result;
        ASSERT_TRUE(engine.Execute(Intersection, result, NonZero, NonZero));
        std::vector<std::int64_t> apexZ;
        for (const Path& ring : result)
            for (const IntPoint& p : ring)
                if (p.X == 5 && p.Y == 0) apexZ.push_back(p.Z);
        std::sort(apexZ.begin(), apexZ.end());
        EXPECT_EQ(apexZ, (std::vector<std::int64_t>{13, 55})) << "run " << run;
    }
}

// Random rings with random Z values.
Paths RandomRings(std::mt19937_64& rng, int count) {
    cliptest::Shapes shapes{rng, 1000};
    Paths rings;
    for (int i = 0; i < count; ++i) {
        Path ring = i % 2 ? shapes.Scribble(6) : shapes.Star(9, 0.3);
        for (IntPoint& p : ring) p.Z = shapes.Uniform(-1000000, 1000000);
        rings.push_back(ring);
    }
    return rings;
}

// Many local minima on the scan lines y = -16 and y = 8: a sweep that sorted them again for a
// second execution took those of equal y in another order (found by the fuzzer).
const Paths kEqualMinimaSubject{
    {{14, -4}, {-16, 15}, {-4, -15}, {8, -10}, {-16, -16}, {-16, 5}, {-10, -16}, {8, 8}, {-2, -2}, {-4, -4}, {0, 1},
     {13, -16}},
    {{-16, -16}, {10, 8}, {-10, -12}, {8, -16}},
    {{8, 8}, {8, 8}, {-16, -14}, {-4, 12}, {-9, -9}, {-12, -16}, {-16, -4}, {-4, -8}}};
const Paths kEqualMinimaClip{
    {{-3, -3}, {-3, 8}, {-16, -16}, {8, -5}, {-16, -14}, {-3, 8}, {10, -3}, {3, 12}, {8, -15}, {15, 12}},
    {{-4, -8}, {-16, -16}, {1, 8}, {8, -16}, {-8, -10}, {14, 8}, {-16, 16}, {-4, -14}}};

TEST(EngineRepeat, SameEngineGivesTheSameResultEveryTime) {
    std::mt19937_64 rng(4242);
    std::vector<std::pair<Paths, Paths>> inputs{{{kApexSubject}, {kApexClip}},
                                                {{kApexSubject}, {kApexClip, kChainClip}},
                                                {kEqualMinimaSubject, kEqualMinimaClip}};
    for (int i = 0; i < 20; ++i) inputs.emplace_back(RandomRings(rng, 2), RandomRings(rng, 2));
    for (const auto& [subject, clip] : inputs) {
        Engine engine;
        engine.AddPaths(subject, Subject, true);
        engine.AddPaths(clip, Clip, true);
        for (ClipType op : {Union, Intersection, Difference, Xor}) {
            Paths first, second;
            ASSERT_TRUE(engine.Execute(op, first, NonZero, NonZero));
            ASSERT_TRUE(engine.Execute(Xor, second, EvenOdd, Positive));  // something else in between
            ASSERT_TRUE(engine.Execute(op, second, NonZero, NonZero));
            EXPECT_EQ(cliptest::Canonical(second), cliptest::Canonical(first)) << op;
            EXPECT_EQ(cliptest::Canonical(Clipped(subject, clip, op, NonZero)), cliptest::Canonical(first)) << op;

            PolyTree tree;
            ASSERT_TRUE(engine.Execute(op, tree, NonZero, NonZero));
            ASSERT_TRUE(engine.Execute(op, tree, NonZero, NonZero));  // refilled, not appended
            Paths fromTree;
            for (const PolyNode* node = tree.GetFirst(); node; node = node->GetNext())
                fromTree.push_back(node->contour);
            EXPECT_EQ(cliptest::Canonical(fromTree), cliptest::Canonical(first)) << op;
        }
    }
}

// Leaves every input edge looking linked into the active and sorted lists, as a sweep that
// stopped part-way would.
class InterruptedEngine : public Engine {
public:
    void LeaveStaleLinks() {
        for (std::vector<TEdge>& edges : edgeArrays) {
            for (TEdge& e : edges) e.nextActive = e.prevActive = e.nextSorted = e.prevSorted = &edges[0];
        }
    }
};

TEST(EngineRepeat, LeftoverListLinksDoNotChangeTheResult) {
    std::mt19937_64 rng(99);
    cliptest::Shapes shapes{rng, 1000};
    for (int i = 0; i < 40; ++i) {
        // Rectangles on a coarse grid give horizontals that end where other bounds end.
        const Paths subject{shapes.GridRect(250), shapes.GridRect(250), shapes.Star(7, 0.5)};
        const Paths clip{shapes.GridRect(250), shapes.GridRect(250)};
        for (ClipType op : {Union, Intersection, Difference, Xor}) {
            InterruptedEngine engine;
            engine.AddPaths(subject, Subject, true);
            engine.AddPaths(clip, Clip, true);
            engine.LeaveStaleLinks();
            Paths result;
            ASSERT_TRUE(engine.Execute(op, result, NonZero, NonZero));
            EXPECT_EQ(cliptest::Canonical(result), cliptest::Canonical(Clipped(subject, clip, op, NonZero))) << op;
        }
    }
}

TEST(EngineRepeat, ClearDropsTheInput) {
    Engine engine;
    engine.AddPath(Square(0, 0, 10, 10), Subject, true);
    engine.Clear();
    Paths result{{{1, 1}}};
    ASSERT_TRUE(engine.Execute(Union, result, NonZero, NonZero));
    EXPECT_TRUE(result.empty());
    engine.AddPath(Square(0, 0, 1073741824, 10), Subject, true);
    ASSERT_TRUE(engine.Execute(Union, result, NonZero, NonZero));
    EXPECT_EQ(result.size(), 1u);
}

TEST(EngineErrors, ClipErrorCarriesItsText) {
    for (const char* text :
         {"AddPath: Open paths have been disabled.", "DoMaxima error", "ProcessIntersections error",
          "UpdateEdgeIntoAEL: invalid call", "Error: PolyTree struct is need for open path clipping."}) {
        const ClipError error(text);
        EXPECT_STREQ(error.what(), text);
        const std::exception& base = error;
        EXPECT_STREQ(base.what(), text);
    }
}

TEST(EngineStrictlySimple, TouchingRingsAreSplit) {
    // Two squares touching at one corner, united into a ring that touches itself.
    const Paths touching = Clipped({Square(0, 0, 10, 10), Square(10, 10, 20, 20)}, {}, Union, NonZero, StrictlySimple);
    EXPECT_EQ(cliptest::Canonical(touching), cliptest::Canonical({Square(0, 0, 10, 10), Square(10, 10, 20, 20)}));
    // A square whose hole touches the outer ring at one vertex.
    const Path outer = Square(0, 0, 20, 20);
    const Path hole{{0, 10}, {10, 15}, {10, 5}};
    Engine engine(StrictlySimple);
    engine.AddPaths({outer, hole}, Subject, true);
    PolyTree tree;
    ASSERT_TRUE(engine.Execute(Union, tree, EvenOdd, EvenOdd));
    double total = 0;
    for (const PolyNode* node = tree.GetFirst(); node; node = node->GetNext()) {
        total += Area(node->contour);
        EXPECT_EQ(node->IsHole(), Area(node->contour) < 0);
    }
    EXPECT_DOUBLE_EQ(total, 400 - 50);
}

}  // namespace
