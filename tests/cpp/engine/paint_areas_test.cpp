#include "engine/paint_areas.h"

#include <gtest/gtest.h>

#include "Math/Quat.h"

namespace {

TEST(PaintConversion, FloatVectorsSwapYAndZAndScaleInFloat) {
    // -0.000019f * 100000 is -1.9 in float: truncated toward zero.
    const clip::IntPoint pt = engine::float3_to_IntPoint(math::float3(1.5f, 2.0f, -0.000019f));
    EXPECT_EQ(150000, pt.X);
    EXPECT_EQ(-1, pt.Y);
    EXPECT_EQ(200000, pt.Z);
    const math::float3 v = engine::IntPoint_to_float3(clip::IntPoint(150000, -1, 7));
    EXPECT_EQ(1.5f, v.x);
    EXPECT_EQ(-1.0f / 100000.0f, v.y);
    EXPECT_EQ(7.0f / 100000.0f, v.z);
}

TEST(PaintConversion, RotationRunsInSinglePrecision) {
    // At 1000 model units the step between floats is 8 scaled units.
    const clip::IntPoint pt = engine::intpoint_quat_trans(clip::IntPoint(100000001, -7, 3), math::Quat::identity);
    EXPECT_EQ(100000000, pt.X);
    EXPECT_EQ(-7, pt.Y);
    EXPECT_EQ(3, pt.Z);
}

TEST(PaintConversion, TreeRotationReachesEveryContour) {
    clip::PolyTree tree;
    clip::PolyNode *outer = new clip::PolyNode;
    clip::PolyNode *hole = new clip::PolyNode;
    tree.allNodes = {outer, hole};
    outer->contour = {{10, 20, 5}, {30, 40, 6}};
    hole->contour = {{1, 2, 3}};
    tree.AddChild(*outer);
    outer->AddChild(*hole);
    const math::Quat half_turn_about_z(0.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(&tree.childs, &engine::childs_quat_trans(tree.childs, half_turn_about_z));
    EXPECT_EQ((clip::Path{{-10, -20, 5}, {-30, -40, 6}}), outer->contour);
    EXPECT_EQ(-1, hole->contour[0].X);
    EXPECT_EQ(-2, hole->contour[0].Y);
    EXPECT_EQ(3, hole->contour[0].Z);
}

}  // namespace
