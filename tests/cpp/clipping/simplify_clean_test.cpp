// Simplifying self-intersecting rings and cleaning near-duplicate and near-collinear vertices.
#include <gtest/gtest.h>

#include <random>

#include "clip_test_support.h"
#include "clipping/Clean.h"
#include "clipping/Path.h"
#include "clipping/Simplify.h"

namespace {

using namespace clip;

// A five-pointed star drawn in one stroke: its centre is wound twice.
const Path kPentagram{{0, -100}, {59, 81}, {-95, -31}, {95, -31}, {-59, 81}};

using I = __int128;

int Side(const IntPoint& a, const IntPoint& b, const IntPoint& c) {
    const I cross = (I(b.X) - a.X) * (I(c.Y) - a.Y) - (I(c.X) - a.X) * (I(b.Y) - a.Y);
    return cross > 0 ? 1 : cross < 0 ? -1 : 0;
}

// Whether edges ab and cd cross with every end more than a unit from the other edge: the
// engine rounds crossing vertices to the grid, which can leave an edge crossing its neighbour
// right beside such a vertex.
bool CrossClearOfEnds(const IntPoint& a, const IntPoint& b, const IntPoint& c, const IntPoint& d) {
    if (Side(a, b, c) * Side(a, b, d) >= 0 || Side(c, d, a) * Side(c, d, b) >= 0) return false;
    const auto clear = [](const IntPoint& p, const IntPoint& q, const IntPoint& r) {
        return cliptest::DistanceToEdges({{q, r}}, double(p.X), double(p.Y)) > 1;
    };
    return clear(a, c, d) && clear(b, c, d) && clear(c, a, b) && clear(d, a, b);
}

// The first pair of edges that cross, or a vertex repeated within a ring, or "".
std::string CrossingFault(const Paths& rings) {
    std::vector<std::pair<IntPoint, IntPoint>> edges;
    for (const Path& ring : rings) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
            edges.emplace_back(ring[i], ring[(i + 1) % ring.size()]);
            for (std::size_t j = i + 1; j < ring.size(); ++j)
                if (ring[i] == ring[j]) return "a ring touches itself";
        }
    }
    for (std::size_t i = 0; i < edges.size(); ++i)
        for (std::size_t j = i + 1; j < edges.size(); ++j)
            if (CrossClearOfEnds(edges[i].first, edges[i].second, edges[j].first, edges[j].second))
                return "two edges cross";
    return "";
}

// At grid points clear of the input's edges, the simplified rings wind once where the fill
// rule fills the input and nowhere else.
std::string WindingFault(const Paths& input, const Paths& simple, PolyFillType fill, std::int64_t radius) {
    for (std::int64_t x2 = -4 * radius - 1; x2 <= 4 * radius; x2 += radius / 8 * 2) {
        for (std::int64_t y2 = -4 * radius - 1; y2 <= 4 * radius; y2 += radius / 8 * 2) {
            if (cliptest::DistanceToEdges(input, double(x2) / 2, double(y2) / 2) < 1) continue;
            const int expected = cliptest::Filled(cliptest::Winding(input, x2, y2), fill) ? 1 : 0;
            if (cliptest::Winding(simple, x2, y2) != expected)
                return "winding at (" + std::to_string(x2) + "," + std::to_string(y2) + ")/2";
        }
    }
    return "";
}

TEST(SimplifyPolygon, FillRuleDecidesTheRegion) {
    struct Case {
        PolyFillType fill;
        std::size_t rings;
    };
    // The pentagram runs counter-clockwise, winding 1 on its points and 2 at its centre.
    const Case cases[] = {{EvenOdd, 5}, {NonZero, 1}, {Positive, 1}, {Negative, 0}};
    for (const Case& c : cases) {
        Paths out;
        SimplifyPolygon(kPentagram, out, c.fill);
        EXPECT_EQ(out.size(), c.rings) << c.fill;
        EXPECT_EQ(CrossingFault(out), "") << c.fill;
        EXPECT_EQ(WindingFault({kPentagram}, out, c.fill, 100), "") << c.fill;
    }
    Paths byDefault, evenOdd;
    SimplifyPolygon(kPentagram, byDefault);
    SimplifyPolygon(kPentagram, evenOdd, EvenOdd);
    EXPECT_EQ(byDefault, evenOdd);
}

TEST(SimplifyPolygon, RandomScribblesBecomeSimpleRingsOfTheSameRegion) {
    std::mt19937_64 rng(31);
    const std::int64_t radius = 1000;
    cliptest::Shapes shapes{rng, radius};
    for (int round = 0; round < 150; ++round) {
        const Path scribble = shapes.Scribble(int(shapes.Uniform(3, 9)));
        const Paths two{shapes.Scribble(5), shapes.Star(6, 0.4)};
        for (const PolyFillType fill : {EvenOdd, NonZero, Positive, Negative}) {
            SCOPED_TRACE("round " + std::to_string(round) + " fill " + std::to_string(fill));
            Paths one, many, inPlace = two;
            SimplifyPolygon(scribble, one, fill);
            SimplifyPolygons(two, many, fill);
            SimplifyPolygons(inPlace, fill);
            EXPECT_EQ(many, inPlace);
            // Centres lie within the radius: every vertex within twice of it.
            EXPECT_EQ(CrossingFault(one), "");
            EXPECT_EQ(CrossingFault(many), "");
            EXPECT_EQ(WindingFault({scribble}, one, fill, radius), "");
            EXPECT_EQ(WindingFault(two, many, fill, radius), "");
        }
    }
}

TEST(CleanPolygon, RemovesCloseCollinearAndSpikeVertices) {
    struct Case {
        const char* name;
        Path in;
        double distance;
        Path out;  // from the vertex where the walk ended
    };
    const Case cases[] = {
        // The walk meets the corner first and drops it, keeping its near twin.
        {"a vertex a unit from a corner", {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 1}}, 1.415,
         {{0, 1}, {100, 0}, {100, 100}, {0, 100}}},
        {"three collinear points", {{0, 0}, {5, 0}, {10, 0}}, 1.415, {}},
        {"a vertex near the line through its neighbours", {{0, 0}, {50, 1}, {100, 0}, {100, 100}, {0, 100}}, 1.415,
         {{0, 0}, {100, 0}, {100, 100}, {0, 100}}},
        {"the same vertex farther than the distance stays", {{0, 0}, {50, 2}, {100, 0}, {100, 100}, {0, 100}}, 1.415,
         {{0, 0}, {50, 2}, {100, 0}, {100, 100}, {0, 100}}},
        // The tip lies 2 from the line through its neighbours, but the spike's middle vertex
        // lies 0.67 from the line through the tip and the vertex beyond.
        {"a thin spike", {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {2, 300}}, 1.415,
         {{0, 0}, {100, 0}, {100, 100}, {0, 100}}},
        {"neighbours of a vertex close to each other", {{0, 0}, {100, 0}, {100, 100}, {50, 100}, {60, 200}, {50, 101}},
         1.415, {{0, 0}, {100, 0}, {100, 100}, {50, 100}}},
        {"nothing to remove: the ring as given", {{0, 0, 1}, {100, 0, 2}, {100, 100, 3}, {0, 100, 4}}, 1.415,
         {{0, 0, 1}, {100, 0, 2}, {100, 100, 3}, {0, 100, 4}}},
        {"two vertices", {{0, 0}, {100, 0}}, 1, {}},
        {"one vertex", {{0, 0}}, 1, {}},
        {"no vertex", {}, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Path out{{9, 9}};
        CleanPolygon(c.in, out, c.distance);
        EXPECT_EQ(out, c.out);
        for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].Z, c.out[i].Z);
        Path inPlace = c.in;
        CleanPolygon(inPlace, c.distance);
        EXPECT_EQ(inPlace, c.out);
    }
}

TEST(CleanPolygons, SizesTheOutputToTheInput) {
    const Paths in{{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 1}}, {{0, 0}, {5, 0}, {10, 0}}};
    for (const std::size_t given : {0u, 1u, 5u}) {
        Paths out(given, Path{{1, 1}});
        CleanPolygons(in, out, 1.415);
        ASSERT_EQ(out.size(), 2u) << given;
        EXPECT_EQ(out[0].size(), 4u);
        EXPECT_TRUE(out[1].empty());
    }
    Paths inPlace = in;
    CleanPolygons(inPlace, 1.415);
    Paths out;
    CleanPolygons(in, out, 1.415);
    EXPECT_EQ(inPlace, out);
}

TEST(CleanPolygon, Helpers) {
    EXPECT_TRUE(PointsAreClose({0, 0}, {3, 4}, 25));
    EXPECT_FALSE(PointsAreClose({0, 0}, {3, 4}, 24.99));
    EXPECT_DOUBLE_EQ(DistanceFromLineSqrd({5, 3}, {0, 0}, {10, 0}), 9);
    EXPECT_DOUBLE_EQ(DistanceFromLineSqrd({0, 0}, {0, 10}, {10, 0}), 50);
    // The middle point's distance decides, and the test is strict.
    EXPECT_TRUE(SlopesNearCollinear({0, 0}, {10, 1}, {20, 0}, 1.01));
    EXPECT_FALSE(SlopesNearCollinear({0, 0}, {10, 1}, {20, 0}, 1));
    EXPECT_TRUE(SlopesNearCollinear({10, 1}, {0, 0}, {20, 0}, 1.01));
    EXPECT_TRUE(SlopesNearCollinear({0, 0}, {20, 0}, {10, 1}, 1.01));
    EXPECT_TRUE(SlopesNearCollinear({1, 0}, {0, 10}, {0, 20}, 1.01));
    // Far apart coordinates do not overflow the axis choice.
    const std::int64_t big = std::int64_t(1) << 62;
    EXPECT_TRUE(SlopesNearCollinear({-big, 0}, {big, 0}, {0, 0}, 1));

    OutPt a{1, {0, 0}, nullptr, nullptr}, b{1, {1, 0}, nullptr, nullptr}, c{1, {2, 0}, nullptr, nullptr};
    a.next = &b, b.next = &c, c.next = &a;
    a.prev = &c, b.prev = &a, c.prev = &b;
    EXPECT_EQ(ExcludeOp(&b), &a);
    EXPECT_EQ(a.next, &c);
    EXPECT_EQ(c.prev, &a);
    EXPECT_EQ(a.index, 0);
    EXPECT_EQ(c.index, 1);
}

TEST(ReversePath, ReversesEveryPath) {
    Paths paths{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {}, {{1, 1}}};
    ReversePaths(paths);
    EXPECT_EQ(paths[0], (Path{{7, 8}, {4, 5}, {1, 2}}));
    EXPECT_EQ(paths[0][0].Z, 9);
    EXPECT_TRUE(paths[1].empty());
    EXPECT_EQ(paths[2], (Path{{1, 1}}));
}

}  // namespace
