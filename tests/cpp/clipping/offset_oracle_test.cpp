// Offsets of random polygons, closed lines and open paths against GEOS buffers of the same
// input, with fixed seeds: the area of the symmetric difference of the two outlines stays
// within the rounding to the grid and the arcs' tolerance along their boundary.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "clip_test_support.h"
#include "clipping/Offsetter.h"
#include "clipping/Path.h"
#include "clipping/TreePaths.h"
#include "geos_oracle.h"

#ifdef VANDREL_HAVE_GEOS

namespace {

using namespace clip;
using cliptest::Geos;

struct Scale {
    const char* name;
    std::int64_t radius;
    std::int64_t shift;  // moves every shape, to put small shapes beyond the low range
};

constexpr Scale kScales[] = {
    {"small", 10000, 0},
    {"small beyond the low range", 10000, 3000000000},
    {"large beyond the low range", 2000000000, 0},
};

// Square joins cut a corner at the offset from the vertex, as a mitre limited to 1; mitres are
// compared where neither library squares them off.
struct Join {
    const char* name;
    JoinType join;
    double miterLimit;
    int geosJoin;
    double geosMitreLimit;
};

constexpr Join kJoins[] = {
    {"square", SquareJoin, 2, GEOSBUF_JOIN_MITRE, 1.0},
    {"mitre", MiterJoin, 1e4, GEOSBUF_JOIN_MITRE, 1e4},
    {"round", RoundJoin, 2, GEOSBUF_JOIN_ROUND, 1.0},
};

struct Cap {
    EndType end;
    int geosCap;
};

constexpr Cap kCaps[] = {{OpenButt, GEOSBUF_CAP_FLAT}, {OpenSquare, GEOSBUF_CAP_SQUARE}, {OpenRound, GEOSBUF_CAP_ROUND}};

void Shift(Paths& paths, std::int64_t by) {
    for (Path& path : paths)
        for (IntPoint& p : path) p = IntPoint(p.X + by, p.Y - by);
}

// One offset of the inputs and its comparison with GEOS's buffer of `theirs`.
class Comparison {
public:
    Comparison(const Geos& geos, double delta, double arcTolerance) : geos_(geos), delta_(delta), arc_(arcTolerance) {}

    // GEOS's segments per quarter circle that give arcs as close to the true arc as ours.
    int QuarterSegments() const {
        const double steps = std::min(M_PI / std::acos(1 - arc_ / std::fabs(delta_)), std::fabs(delta_) * M_PI);
        return std::max(1, int(std::lround(steps / 4)));
    }

    // The fault of our offset beside GEOS's, or "" when none. Takes ownership of theirs.
    std::string Fault(const Paths& inputs, const Join& join, EndType end, GEOSGeometry* theirs) const {
        Offsetter offsetter(join.miterLimit, arc_);
        offsetter.AddPaths(inputs, join.join, end);
        PolyTree tree;
        Paths flat;
        offsetter.Execute(tree, delta_);
        offsetter.Execute(flat, delta_);
        std::string fault = cliptest::TreeFault(tree, flat);
        GEOSGeometry* ours = geos_.MultiPolygon(tree);
        GEOSGeometry* difference = GEOSSymDifference_r(geos_.Handle(), ours, theirs);
        double area = 0, theirArea = 0;
        GEOSArea_r(geos_.Handle(), difference, &area);
        GEOSArea_r(geos_.Handle(), theirs, &theirArea);
        // Every vertex rounds by up to half a unit on each axis; chords of arcs lie within the
        // tolerance of the arc, in either library.
        const double perArc = join.join == RoundJoin || end == OpenRound ? 2 * arc_ : 0;
        const double tolerance = (0.75 + perArc) * cliptest::Perimeter(flat) + 1e-12 * theirArea;
        if (fault.empty() && !(area <= tolerance))
            fault = "symmetric difference " + std::to_string(area) + " beyond " + std::to_string(tolerance) +
                    " (areas " + std::to_string(cliptest::TotalArea(flat)) + ", " + std::to_string(theirArea) + ")";
        geos_.Destroy(difference);
        geos_.Destroy(ours);
        geos_.Destroy(theirs);
        return fault;
    }

    GEOSGeometry* Buffer(GEOSGeometry* input, const Join& join, int cap) const {
        GEOSGeometry* buffer = GEOSBufferWithStyle_r(geos_.Handle(), input, delta_, QuarterSegments(), cap,
                                                     join.geosJoin, join.geosMitreLimit);
        geos_.Destroy(input);
        return buffer;
    }

private:
    const Geos& geos_;
    double delta_;
    double arc_;
};

class OffsetOracleTest : public ::testing::TestWithParam<Scale> {};

TEST_P(OffsetOracleTest, PolygonsAgreeWithGeosBuffers) {
    const Scale& scale = GetParam();
    std::mt19937_64 rng(2323);
    cliptest::Shapes shapes{rng, scale.radius};
    const Geos geos;
    for (int round = 0; round < 60; ++round) {
        Paths input = round % 3 == 2 ? shapes.WithHole(int(shapes.Uniform(4, 12)))
                                     : Paths{shapes.Star(int(shapes.Uniform(3, 14)), 0.3)};
        Shift(input, scale.shift);
        // The inner star can reach out of the outer one; GEOS then takes no polygon.
        if (!geos.IsValid(input)) input.resize(1);
        const double delta = double(scale.radius) * double(shapes.Uniform(-150, 300)) / 1000;
        if (delta == 0) continue;
        const Comparison comparison(geos, delta, std::max(0.25, std::fabs(delta) * 1e-4));
        for (const Join& join : kJoins) {
            const std::string fault =
                comparison.Fault(input, join, ClosedPolygon, comparison.Buffer(geos.Polygon(input), join, 1));
            ASSERT_EQ(fault, "") << scale.name << " round " << round << " join " << join.name << " delta " << delta;
        }
    }
}

TEST_P(OffsetOracleTest, LinesAgreeWithGeosBuffers) {
    const Scale& scale = GetParam();
    std::mt19937_64 rng(2324);
    cliptest::Shapes shapes{rng, scale.radius};
    const Geos geos;
    for (int round = 0; round < 40; ++round) {
        Paths input{shapes.Scribble(int(shapes.Uniform(2, 7)))};
        Shift(input, scale.shift);
        const double delta = double(scale.radius) * double(shapes.Uniform(10, 200)) / 1000;
        const Comparison comparison(geos, delta, std::max(0.25, delta * 1e-4));
        for (const Join& join : kJoins) {
            for (const Cap& cap : kCaps) {
                const std::string fault = comparison.Fault(input, join, cap.end,
                                                           comparison.Buffer(geos.Line(input[0], false), join, cap.geosCap));
                ASSERT_EQ(fault, "") << scale.name << " round " << round << " join " << join.name << " cap "
                                     << cap.end;
            }
        }
    }
}

// A closed line's outline is the band between the polygon it bounds grown and shrunk; GEOS's
// own buffer of a closed line can keep a sliver of the inside where the offset just exceeds
// the polygon's inner radius.
TEST_P(OffsetOracleTest, ClosedLinesAgreeWithGeosBands) {
    const Scale& scale = GetParam();
    std::mt19937_64 rng(2326);
    cliptest::Shapes shapes{rng, scale.radius};
    const Geos geos;
    for (int round = 0; round < 40; ++round) {
        Paths input{shapes.Star(int(shapes.Uniform(3, 10)), 0.3)};
        Shift(input, scale.shift);
        const double delta = double(scale.radius) * double(shapes.Uniform(10, 200)) / 1000;
        const Comparison grown(geos, delta, std::max(0.25, delta * 1e-4));
        const Comparison shrunk(geos, -delta, std::max(0.25, delta * 1e-4));
        for (const Join& join : kJoins) {
            GEOSGeometry* outer = grown.Buffer(geos.Polygon(input), join, 1);
            GEOSGeometry* inner = shrunk.Buffer(geos.Polygon(input), join, 1);
            GEOSGeometry* band = GEOSDifference_r(geos.Handle(), outer, inner);
            geos.Destroy(outer);
            geos.Destroy(inner);
            const std::string fault = grown.Fault(input, join, ClosedLine, band);
            ASSERT_EQ(fault, "") << scale.name << " round " << round << " join " << join.name;
        }
    }
}

TEST_P(OffsetOracleTest, NegativeDeltasShrinkAndLargeOnesErase) {
    const Scale& scale = GetParam();
    std::mt19937_64 rng(2325);
    cliptest::Shapes shapes{rng, scale.radius};
    for (int round = 0; round < 40; ++round) {
        Paths input{shapes.Star(int(shapes.Uniform(3, 14)), 0.3)};
        Shift(input, scale.shift);
        const double area = std::fabs(cliptest::TotalArea(input));
        for (const Join& join : kJoins) {
            Offsetter offsetter(join.miterLimit, double(scale.radius) * 1e-4);
            offsetter.AddPaths(input, join.join, ClosedPolygon);
            Paths shrunk, erased;
            offsetter.Execute(shrunk, -double(scale.radius) * double(shapes.Uniform(1, 100)) / 1000);
            EXPECT_LT(cliptest::TotalArea(shrunk), area) << round;
            // No star reaches farther than the radius from its centre.
            offsetter.Execute(erased, -1.01 * double(scale.radius));
            EXPECT_TRUE(erased.empty()) << round;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, OffsetOracleTest, ::testing::ValuesIn(kScales), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (c == ' ') c = '_';
    return name;
});

}  // namespace

#endif
