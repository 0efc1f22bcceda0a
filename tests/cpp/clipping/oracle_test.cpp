// Every operation under every fill rule against a brute-force winding-number classification,
// and result areas against GEOS, on random polygons with fixed seeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "clip_test_support.h"
#include "clipping/Engine.h"
#include "clipping/Path.h"
#include "clipping/TreePaths.h"

#include "geos_oracle.h"

namespace {

using namespace clip;
using cliptest::Shapes;

constexpr int kSamples = 150;
constexpr ClipType kOps[] = {Intersection, Union, Difference, Xor};
constexpr PolyFillType kFills[] = {EvenOdd, NonZero, Positive, Negative};

struct Input {
    Paths subject;
    Paths clip;
};

struct Scale {
    const char* name;
    std::int64_t radius;
};

constexpr Scale kScales[] = {
    {"small", 1000}, {"beyond low range", std::int64_t(1) << 40}, {"near high range", std::int64_t(1) << 60}};

using Generator = std::function<Input(Shapes&)>;

struct Family {
    const char* name;
    Generator make;
};

const Family kFamilies[] = {
    {"convex",
     [](Shapes& s) {
         return Input{{s.Convex(7)}, {s.Convex(5)}};
     }},
    {"concave",
     [](Shapes& s) {
         return Input{{s.Star(12, 0.3)}, {s.Star(9, 0.3)}};
     }},
    {"self-intersecting",
     [](Shapes& s) {
         return Input{{s.Scribble(8)}, {s.Scribble(6)}};
     }},
    {"with holes",
     [](Shapes& s) {
         return Input{s.WithHole(10), s.WithHole(8)};
     }},
    {"collinear and duplicates",
     [](Shapes& s) {
         return Input{{s.AddCollinearAndDuplicates(s.Star(8, 0.4))}, {s.AddCollinearAndDuplicates(s.Convex(6))}};
     }},
    {"touching grid rectangles",
     [](Shapes& s) {
         const std::int64_t step = s.radius / 8;
         return Input{{s.GridRect(step), s.GridRect(step), s.GridRect(step)}, {s.GridRect(step), s.GridRect(step)}};
     }},
    {"overlapping within a set",
     [](Shapes& s) {
         return Input{{s.Star(6, 0.5), s.Star(6, 0.5)}, {s.Scribble(5)}};
     }},
};

// Checks the result at random points away from every input and output edge.
void CheckAgainstWinding(const Input& in, const Paths& result, ClipType op, PolyFillType subjectFill,
                         PolyFillType clipFill, int inside, Shapes& shapes, const std::string& what) {
    const double tolerance = 2.0 + 1e-9 * double(shapes.radius);
    int checked = 0;
    for (int attempt = 0; attempt < kSamples; ++attempt) {
        const std::int64_t span = 4 * shapes.radius;
        const std::int64_t x2 = 2 * shapes.Uniform(-span / 2, span / 2) + 1;
        const std::int64_t y2 = 2 * shapes.Uniform(-span / 2, span / 2) + 1;
        const double x = double(x2) / 2, y = double(y2) / 2;
        if (cliptest::DistanceToEdges(in.subject, x, y) < tolerance ||
            cliptest::DistanceToEdges(in.clip, x, y) < tolerance || cliptest::DistanceToEdges(result, x, y) < tolerance)
            continue;
        const bool inSubject = cliptest::Filled(cliptest::Winding(in.subject, x2, y2), subjectFill);
        const bool inClip = cliptest::Filled(cliptest::Winding(in.clip, x2, y2), clipFill);
        const int got = cliptest::Winding(result, x2, y2);
        ASSERT_TRUE(got == 0 || got == inside) << what << " winding " << got << " at " << x << "," << y;
        ASSERT_EQ(got == inside, cliptest::Expected(op, inSubject, inClip)) << what << " at " << x << "," << y;
        ++checked;
    }
    EXPECT_GT(checked, 10) << what;
}

// True when the contour touches another contour of the tree or itself (within the tolerance).
// There, rounded crossing points and coincident edges make containment ambiguous; the
// winding check still covers those results.
bool Touches(const PolyTree& tree, const PolyNode& node, double tolerance) {
    std::vector<std::pair<std::int64_t, std::int64_t>> points;
    for (const IntPoint& p : node.contour) points.emplace_back(p.X, p.Y);
    std::sort(points.begin(), points.end());
    if (std::adjacent_find(points.begin(), points.end()) != points.end()) return true;
    for (const PolyNode* other : tree.allNodes) {
        if (other == &node) continue;
        for (const IntPoint& p : node.contour)
            if (cliptest::DistanceToEdges({other->contour}, double(p.X), double(p.Y)) < tolerance) return true;
        for (const IntPoint& p : other->contour)
            if (cliptest::DistanceToEdges({node.contour}, double(p.X), double(p.Y)) < tolerance) return true;
    }
    return false;
}

// Outer rings positive and holes negative, each hole inside its parent, Total() = all nodes.
void CheckTree(const PolyTree& tree, const Paths& flat, bool reversed, double tolerance, const std::string& what) {
    int nodes = 0;
    for (const PolyNode* node = tree.GetFirst(); node; node = node->GetNext()) {
        ++nodes;
        if (Touches(tree, *node, tolerance)) continue;
        EXPECT_EQ(node->IsHole() != reversed, Area(node->contour) < 0) << what;
        if (node->parent == &tree) continue;
        for (const IntPoint& p : node->contour)
            EXPECT_EQ(PointInPolygon(p, node->parent->contour), 1) << what << " child outside its parent";
    }
    EXPECT_EQ(tree.Total(), nodes) << what;
    // The path list keeps two-vertex rings that strictly simple splitting leaves; the tree does not.
    Paths rings;
    for (const Path& ring : flat)
        if (ring.size() >= 3) rings.push_back(ring);
    Paths listed;
    PolyTreeToPaths(tree, listed);
    EXPECT_EQ(cliptest::Canonical(listed), cliptest::Canonical(rings)) << what;
}

// A strictly simple ring never repeats a point.
void CheckSimple(const Paths& result, const std::string& what) {
    for (const Path& ring : result) {
        std::vector<std::pair<std::int64_t, std::int64_t>> points;
        for (const IntPoint& p : ring) points.emplace_back(p.X, p.Y);
        std::sort(points.begin(), points.end());
        EXPECT_EQ(std::adjacent_find(points.begin(), points.end()), points.end()) << what << " repeats a point";
    }
}

// The engine options in turn across rounds.
constexpr int kOptions[] = {0, StrictlySimple, PreserveCollinear, ReverseSolution | StrictlySimple};

class OracleTest : public ::testing::TestWithParam<std::tuple<Family, Scale>> {};

TEST_P(OracleTest, EveryOperationAndFillAgreesWithWindingNumbers) {
    const Family& family = std::get<0>(GetParam());
    const Scale& scale = std::get<1>(GetParam());
    std::mt19937_64 rng(20260 + scale.radius % 977);
    Shapes shapes{rng, scale.radius};
    for (int round = 0; round < 12; ++round) {
        const Input in = family.make(shapes);
        const int options = kOptions[round % 4];
        const bool reversed = (options & ReverseSolution) != 0;
        Engine engine(options);
        engine.AddPaths(in.subject, Subject, true);
        engine.AddPaths(in.clip, Clip, true);
        for (ClipType op : kOps) {
            for (PolyFillType subjectFill : kFills) {
                // Every fill for the subject; the clip takes each fill in turn across rounds.
                const PolyFillType clipFill = kFills[(round + subjectFill) % 4];
                const std::string what = std::string(family.name) + "/" + scale.name + " round " +
                                         std::to_string(round) + " op " + std::to_string(op) + " fills " +
                                         std::to_string(subjectFill) + "," + std::to_string(clipFill) + " options " +
                                         std::to_string(options);
                Paths result;
                ASSERT_TRUE(engine.Execute(op, result, subjectFill, clipFill)) << what;
                CheckAgainstWinding(in, result, op, subjectFill, clipFill, reversed ? -1 : 1, shapes, what);
                if (options & StrictlySimple) CheckSimple(result, what);
                PolyTree tree;
                ASSERT_TRUE(engine.Execute(op, tree, subjectFill, clipFill)) << what;
                CheckTree(tree, result, reversed, 1.5 + 1e-9 * double(scale.radius), what);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Families, OracleTest,
                         ::testing::Combine(::testing::ValuesIn(kFamilies), ::testing::ValuesIn(kScales)),
                         [](const auto& info) {
                             std::string name =
                                 std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

#ifdef VANDREL_HAVE_GEOS

double OperationArea(const cliptest::Geos& geos, ClipType op, const GEOSGeometry* a, const GEOSGeometry* b) {
    GEOSContextHandle_t h = geos.Handle();
    GEOSGeometry* r = nullptr;
    switch (op) {
        case Intersection:
            r = GEOSIntersection_r(h, a, b);
            break;
        case Union:
            r = GEOSUnion_r(h, a, b);
            break;
        case Difference:
            r = GEOSDifference_r(h, a, b);
            break;
        case Xor:
            r = GEOSSymDifference_r(h, a, b);
            break;
    }
    double area = 0;
    GEOSArea_r(h, r, &area);
    geos.Destroy(r);
    return area;
}

class GeosAreaTest : public ::testing::TestWithParam<Scale> {};

TEST_P(GeosAreaTest, ResultAreasAgreeWithGeos) {
    const Scale& scale = GetParam();
    std::mt19937_64 rng(777);
    Shapes shapes{rng, scale.radius};
    const cliptest::Geos geos;
    const std::function<Paths()> valid[] = {
        [&] { return Paths{shapes.Convex(9)}; },
        [&] { return Paths{shapes.Star(14, 0.3)}; },
        [&] { return shapes.WithHole(12); },
    };
    for (int round = 0; round < 30; ++round) {
        const Paths a = valid[round % 3]();
        const Paths b = valid[(round / 3) % 3]();
        GEOSGeometry* ga = geos.Polygon(a);
        GEOSGeometry* gb = geos.Polygon(b);
        Engine engine;
        engine.AddPaths(a, Subject, true);
        engine.AddPaths(b, Clip, true);
        const double tolerance = 2 * (cliptest::Perimeter(a) + cliptest::Perimeter(b));
        for (ClipType op : kOps) {
            for (PolyFillType fill : {EvenOdd, NonZero}) {
                Paths result;
                ASSERT_TRUE(engine.Execute(op, result, fill, fill));
                const double expected = OperationArea(geos, op, ga, gb);
                EXPECT_NEAR(cliptest::TotalArea(result), expected, tolerance + 1e-9 * expected)
                    << scale.name << " round " << round << " op " << op;
            }
        }
        geos.Destroy(ga);
        geos.Destroy(gb);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, GeosAreaTest, ::testing::ValuesIn(kScales), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (c == ' ') c = '_';
    return name;
});

#endif

}  // namespace
