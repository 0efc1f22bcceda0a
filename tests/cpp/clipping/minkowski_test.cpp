// Minkowski sums and differences.
#include "clipping/Minkowski.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "clip_test_support.h"
#include "clipping/Path.h"

namespace {

using namespace clip;

Path Square(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    return {{x0, y0, 5}, {x1, y0, 5}, {x1, y1, 5}, {x0, y1, 5}};
}

const Path kPattern = Square(-1, -1, 1, 1);

TEST(Minkowski, QuadrilateralsAreOrientedPositively) {
    Paths quads;
    Minkowski(kPattern, Square(0, 0, 10, 10), quads, true, true);
    EXPECT_EQ(quads.size(), 16u);
    for (const Path& quad : quads) {
        EXPECT_EQ(quad.size(), 4u);
        EXPECT_GE(Area(quad), 0);
        for (const IntPoint& p : quad) EXPECT_EQ(p.Z, 0);
    }
    Minkowski(kPattern, {{3, 4}}, quads, true, false);
    EXPECT_TRUE(quads.empty());
}

TEST(Minkowski, SumsAndDifferences) {
    struct Case {
        const char* name;
        std::function<void(Paths&)> run;
        std::size_t rings;
        double area;
    };
    const Case cases[] = {
        {"closed square path: a band with a hole",
         [](Paths& s) { MinkowskiSum(kPattern, Square(0, 0, 10, 10), s, true); }, 2, 144 - 64},
        {"open short segment has no gap",
         [](Paths& s) {
             MinkowskiSum(kPattern, Path{{0, 0}, {1, 0}}, s, false);
         },
         1, 6},
        {"closed one-vertex path is the pattern there",
         [](Paths& s) {
             MinkowskiSum(kPattern, Path{{7, 7}}, s, true);
         },
         1, 4},
        {"open one-vertex path is the pattern there",
         [](Paths& s) {
             MinkowskiSum(kPattern, Path{{7, 7}}, s, false);
         },
         1, 4},
        {"several closed paths are filled",
         [](Paths& s) { MinkowskiSum(kPattern, Paths{Square(0, 0, 10, 10)}, s, true); }, 1, 144},
        {"several open paths",
         [](Paths& s) {
             MinkowskiSum(kPattern, Paths{{{0, 0}, {1, 0}}, {{20, 0}, {20, 5}}}, s, false);
         },
         2, 6 + 14},
        {"difference of symmetric squares", [](Paths& s) { MinkowskiDiff(kPattern, Square(0, 0, 10, 10), s); }, 2,
         144 - 64},
        {"difference mirrors the pattern",
         [](Paths& s) {
             MinkowskiDiff(Path{{0, 0}, {2, 0}, {0, 2}}, Path{{10, 10}}, s);
         },
         1, 2},
        {"empty pattern", [](Paths& s) { MinkowskiSum({}, Square(0, 0, 10, 10), s, true); }, 0, 0},
        {"empty path", [](Paths& s) { MinkowskiSum(kPattern, Path{}, s, true); }, 0, 0},
        {"empty pattern, several paths", [](Paths& s) { MinkowskiSum({}, Paths{Square(0, 0, 10, 10)}, s, true); }, 0,
         0},
        {"empty difference", [](Paths& s) { MinkowskiDiff(kPattern, {}, s); }, 0, 0},
    };
    for (const Case& c : cases) {
        Paths solution{{{99, 99}}};
        c.run(solution);
        EXPECT_EQ(solution.size(), c.rings) << c.name;
        EXPECT_DOUBLE_EQ(cliptest::TotalArea(solution), c.area) << c.name;
        for (const Path& ring : solution)
            for (const IntPoint& p : ring) EXPECT_EQ(p.Z, 0) << c.name;
    }
    Paths band;
    MinkowskiSum(kPattern, Square(0, 0, 10, 10), band, true);
    EXPECT_EQ(cliptest::Canonical(band),
              cliptest::Canonical({{{-1, -1}, {11, -1}, {11, 11}, {-1, 11}}, {{1, 1}, {1, 9}, {9, 9}, {9, 1}}}));
}

TEST(Minkowski, OverflowingCoordinatesThrowTheRangeText) {
    const std::int64_t max = std::numeric_limits<std::int64_t>::max();
    Path out;
    try {
        TranslatePath({{max, 0}}, out, {1, 0});
        FAIL();
    } catch (const char* text) {
        EXPECT_STREQ(text, "Coordinate outside allowed range");
    }
    TranslatePath({{1, 2, 3}, {4, 5, 6}}, out, {10, 20, 30});
    EXPECT_EQ(out, (Path{{11, 22}, {14, 25}}));
    EXPECT_EQ(out[0].Z, 0);
    Paths solution;
    EXPECT_THROW(MinkowskiSum(kPattern, Path{{std::numeric_limits<std::int64_t>::min(), 0}}, solution, true),
                 const char*);
    // Sums that fit in 64 bits but leave the allowed range are refused on input.
    EXPECT_THROW(MinkowskiSum(kPattern, Path{{4611686018427387903, 0}}, solution, true), const char*);
}

}  // namespace
