// Points between the grid's rows: on which side of them segments cross, winding numbers of
// rings there, distances that never overstate, and points found inside rings. All exact
// where it matters, up to the largest coordinates allowed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "clip_test_support.h"
#include "clipping/IntMath.h"
#include "clipping/RowPoint.h"

namespace {

using namespace clip;

constexpr std::int64_t kTop = kHighRange;

// A ring of OutPt vertices that lists, from pts->prev along prev, as the path gives them.
class Ring {
public:
    explicit Ring(const Path& path) : points(path.size()) {
        const std::size_t n = path.size();
        for (std::size_t i = 0; i < n; ++i) {
            points[i] = OutPt{0, path[i], &points[(i + n - 1) % n], &points[(i + 1) % n]};  // next, prev
        }
    }
    const OutPt* pts() const { return &points.back(); }

private:
    std::vector<OutPt> points;
};

TEST(RowPoint, RingListsAsItsPath) {
    const Path path = {{0, 0}, {4, 0}, {4, 3}};
    const Ring ring(path);
    const OutPt* p = ring.pts()->prev;
    for (const IntPoint& expected : path) {
        EXPECT_EQ(p->pt, expected);
        p = p->prev;
    }
    EXPECT_GT(Area(ring.pts()), 0);
}

TEST(RowPoint, SegmentsCrossRowsOnTheExactSide) {
    struct Case {
        IntPoint a, b;
        RowPoint p;
        bool crosses;
        int side;
    };
    const Case cases[] = {
        {{0, 0}, {0, 10}, {1, 1}, true, -1},   // the segment at x = 0, the point at 0.5
        {{0, 0}, {0, 10}, {-1, 1}, true, 1},
        {{0, 10}, {0, 0}, {-1, 1}, true, 1},   // direction does not matter
        {{0, 0}, {2, 2}, {1, 1}, true, 0},     // through (0.5, 0.5)
        {{0, 0}, {2, 2}, {2, 1}, true, -1},
        {{0, 0}, {0, 10}, {1, 21}, false, 0},  // above its end
        {{0, 0}, {5, 0}, {1, 1}, false, 0},    // horizontal: no row point lies on its row
        // At the edge of the range a double cannot tell these X apart; the products do.
        {{-kTop, -kTop}, {kTop, kTop}, {1, 1}, true, 0},
        {{-kTop, -kTop}, {kTop, kTop}, {2, 1}, true, -1},
        {{-kTop, -kTop}, {kTop, kTop}, {0, 1}, true, 1},
        {{-kTop, -kTop}, {kTop, kTop - 1}, {2 * kTop - 1, 2 * kTop - 3}, true, -1},
        {{kTop, -kTop}, {-kTop, kTop}, {-2 * kTop + 2, 2 * kTop - 3}, true, 1},
    };
    for (const Case& c : cases) {
        int side = 7;
        EXPECT_EQ(CrossesRow(c.a, c.b, c.p, side), c.crosses) << c.p.x2 << ", " << c.p.y2;
        if (c.crosses) {
            EXPECT_EQ(side, c.side) << c.p.x2 << ", " << c.p.y2;
        }
    }
}

TEST(RowPoint, RingWindingMatchesTheOracle) {
    std::mt19937_64 rng(17);
    cliptest::Shapes shapes{rng, 12};
    for (int trial = 0; trial < 300; ++trial) {
        const Path path = trial % 2 ? shapes.Scribble(7) : shapes.Star(6, 0.4);
        const Ring ring(path);
        for (std::int64_t x2 = -27; x2 <= 27; x2 += 3) {
            for (std::int64_t y2 = -27; y2 <= 27; y2 += 2) {
                int winding = 0;
                if (!RingWinding(ring.pts(), {x2, y2}, winding)) {
                    EXPECT_LT(cliptest::DistanceToEdges({path}, x2 / 2.0, y2 / 2.0), 1e-9);
                    continue;
                }
                EXPECT_EQ(winding, cliptest::Winding({path}, x2, y2)) << trial << ": " << x2 << ", " << y2;
            }
        }
    }
}

TEST(RowPoint, DistanceBoundsNeverOverstate) {
    struct Case {
        IntPoint a, b;
        RowPoint p;
        double distance;
        double slack;  // how far below the distance the bound may lie: long doubles lose units up there
    };
    const Case cases[] = {
        {{0, 0}, {10, 0}, {4, 1}, 0.5, 1e-9},
        {{0, 0}, {10, 0}, {-6, 7}, std::hypot(3.0, 3.5), 1e-9},  // nearest to the end (0, 0)
        {{0, 0}, {0, 0}, {6, 9}, std::hypot(3.0, 4.5), 1e-9},
        {{-kTop, kTop}, {kTop, kTop}, {0, 2 * kTop - 1}, 0.5, 64},
        {{-kTop, -kTop}, {kTop, kTop}, {2 * kTop, -2 * kTop + 1}, (2.0 * double(kTop) - 0.5) / std::sqrt(2.0), 1e5},
    };
    for (const Case& c : cases) {
        const double bound = DistanceBound(c.p, c.a, c.b);
        EXPECT_LE(bound, c.distance) << c.p.x2 << ", " << c.p.y2;
        EXPECT_GE(bound, c.distance - c.slack) << c.p.x2 << ", " << c.p.y2;
    }
}

TEST(RowPoint, InnerPointsLieInsideTheRing) {
    const Path shapes[] = {
        {{0, 0}, {1, 0}, {0, 40}},                                      // thin: one unit wide at most
        {{0, 0}, {10, 0}, {10, 2}, {2, 2}, {2, 10}, {0, 10}},           // an L
        {{0, 0}, {0, 10}, {10, 10}, {10, 0}},                           // turned: negative area
        {{0, 0}, {10, 10}, {10, 0}, {0, 10}},                           // a bow tie
        {{-kTop, -kTop}, {kTop, -kTop}, {kTop, -kTop + 3}},             // as wide as the range
    };
    for (const Path& path : shapes) {
        const Ring ring(path);
        const std::vector<RowPoint> points = InnerPoints(ring.pts());
        ASSERT_FALSE(points.empty()) << path[1].X;
        for (const RowPoint& p : points) {
            EXPECT_NE(p.y2 % 2, 0);
            int winding = 0;
            // A span narrower than a doubled unit can put its middle on the ring; no other.
            if (RingWinding(ring.pts(), p, winding)) {
                EXPECT_NE(winding, 0) << p.x2 << ", " << p.y2;
            }
        }
    }
}

}  // namespace
