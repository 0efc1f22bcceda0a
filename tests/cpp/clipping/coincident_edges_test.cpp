// Rings whose edges lie on top of edges of other rings: a join can split a ring into parts
// whose vertices all lie on each other's boundary, and the parts must still be told apart.
#include <gtest/gtest.h>

#include "clip_test_support.h"
#include "clipping/Engine.h"
#include "clipping/Path.h"
#include "clipping/TreePaths.h"

namespace {

using namespace clip;

// The rectangle with corners (x0, y0) and (x1, y1) times s, taken from the first corner along X.
Path Rect(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::int64_t s) {
    return {{x0 * s, y0 * s}, {x1 * s, y0 * s}, {x1 * s, y1 * s}, {x0 * s, y1 * s}};
}

// Every result ring is filled with winding +1 exactly where the operation says, checked on a
// grid of points off every edge (odd doubled coordinates, the scale being odd); holes of the
// tree are negative and outer rings positive.
void CheckResult(const Paths& subject, const Paths& clip, ClipType op, PolyFillType fill, std::int64_t scale,
                 const Paths& result, const PolyTree& tree, const std::string& what) {
    Paths listed;
    PolyTreeToPaths(tree, listed);
    for (std::int64_t x2 = -1001 * scale; x2 <= 2001 * scale; x2 += 50 * scale) {
        for (std::int64_t y2 = -2001 * scale; y2 <= 2001 * scale; y2 += 50 * scale) {
            const bool in_subject = cliptest::Filled(cliptest::Winding(subject, x2, y2), fill);
            const bool in_clip = cliptest::Filled(cliptest::Winding(clip, x2, y2), fill);
            const int expected = cliptest::Expected(op, in_subject, in_clip) ? 1 : 0;
            ASSERT_EQ(cliptest::Winding(result, x2, y2), expected) << what << " paths at " << x2 << "," << y2;
            ASSERT_EQ(cliptest::Winding(listed, x2, y2), expected) << what << " tree at " << x2 << "," << y2;
        }
    }
    for (const PolyNode* node = tree.GetFirst(); node; node = node->GetNext())
        EXPECT_EQ(node->IsHole(), Area(node->contour) < 0) << what;
}

TEST(CoincidentEdges, SplitOffSquareKeepsItsFillOrientation) {
    // The square (-250..-125, 125..250) is split off a ring at four shared vertices. The large
    // scale takes the containment test near the top of the coordinate range.
    for (const std::int64_t s : {std::int64_t(1), (std::int64_t(1) << 51) + 1}) {
        // Clockwise (Y up): corners listed from the top left; the third ring runs counter-clockwise.
        const Paths subject = {Rect(-250, 625, 1000, -875, s), Rect(-125, 1000, 250, 0, s), Rect(-500, 125, 0, 250, s)};
        const Paths clip = {Rect(-250, 1000, -125, -375, s)};
        for (const PolyFillType fill : {NonZero, EvenOdd}) {
            Engine engine;
            engine.AddPaths(subject, Subject, true);
            engine.AddPaths(clip, Clip, true);
            Paths result;
            ASSERT_TRUE(engine.Execute(Xor, result, fill, fill));
            PolyTree tree;
            ASSERT_TRUE(engine.Execute(Xor, tree, fill, fill));
            const std::string what = std::string(fill == NonZero ? "NonZero" : "EvenOdd") + " scale " + std::to_string(s);
            CheckResult(subject, clip, Xor, fill, s, result, tree, what);
        }
    }
}

}  // namespace
