// When a join merges two rings and the hole state comes from the second one, the merged ring
// also takes the second one's holder. A minimal input found by the fuzzer.
#include <gtest/gtest.h>

#include "clip_test_support.h"
#include "clipping/Engine.h"
#include "clipping/Path.h"
#include "clipping/PolyTree.h"

namespace {

using namespace clip;

// Without the holder, the merged ring kept its own, a small hole far from the two rings on the
// left, and the tree put them inside it.
TEST(MergedRingHolder, EveryRingLiesInItsParent) {
    const Paths subject = {{{-6, -11}, {0, 8}, {8, 0}, {0, 14}, {0, -16}, {-16, -8}, {10, -16}, {-16, -16}, {-16, -15},
                            {-16, -9}},
                           {},
                           {{2, 7}, {8, 2}, {-16, -16}, {-16, -10}, {8, -16}}};
    const int options = StrictlySimple | PreserveCollinear;
    EXPECT_EQ(cliptest::ResultFault(subject, {}, Xor, EvenOdd, Negative, options), "");
    Engine engine(options);
    engine.AddPaths(subject, Subject, true);
    PolyTree tree;
    ASSERT_TRUE(engine.Execute(Xor, tree, EvenOdd, Negative));
    int rings = 0;
    for (const PolyNode* node = tree.GetFirst(); node; node = node->GetNext(), ++rings) {
        if (node->parent == &tree) continue;
        for (const IntPoint& p : node->contour)
            EXPECT_NE(PointInPolygon(p, node->parent->contour), 0) << rings << ": (" << p.X << ", " << p.Y << ")";
    }
    EXPECT_EQ(rings, 9);
}

}  // namespace
