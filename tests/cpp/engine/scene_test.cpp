#include "scene.h"

#include <gtest/gtest.h>

#include <cmath>

#include "module_functions.h"
#include "ruby_test_support.h"

using engine_test::call_module_function;
using engine_test::eval;

namespace {

const VALUE kModule = Qnil;  // the receiver; the loaders do not read it

VALUE load_surface(const char *faces, bool use_axis, const char *axis) {
    const VALUE f = eval(faces);
    const VALUE a = eval(axis);
    const auto out = call_module_function([&] { return cpp_initialize_surface(kModule, f, use_axis ? Qtrue : Qfalse, a); });
    EXPECT_TRUE(NIL_P(out.error)) << out.message();
    return out.result;
}

const char *kTriangle = "[[[[0, 0, 0], [2, 0, 1], [0, 3, 0]], [0.0, 0.0, 1.0]]]";

TEST(SurfaceLoader, NoFacesLeaveTheEmptyBox) {
    const VALUE min_x = load_surface("[]", false, "[0, 0, -1]");
    EXPECT_EQ(INFINITY, RFLOAT_VALUE(min_x));
    EXPECT_EQ("surface", engine::surface_type);
    EXPECT_TRUE(engine::surface.empty());
    EXPECT_TRUE(engine::poly_bboxes.empty());
}

TEST(SurfaceLoader, StoresFacesTheirBoundsAndTheBoxAroundAll) {
    EXPECT_EQ(0.0, RFLOAT_VALUE(load_surface(kTriangle, false, "[0, 0, -1]")));
    ASSERT_EQ(1u, engine::surface.size());
    EXPECT_EQ(3, engine::surface[0].NumVertices());
    EXPECT_TRUE(engine::surface[0].vertices[1].Equals(math::float3(2, 0, 1), 0.5f));
    EXPECT_EQ(0.0f, engine::poly_bboxes[0].minCorner.x);
    EXPECT_EQ(0.0f, engine::poly_bboxes[0].minCorner.y);
    EXPECT_EQ(2.0f, engine::poly_bboxes[0].maxCorner.x);
    EXPECT_EQ(3.0f, engine::poly_bboxes[0].maxCorner.y);
    EXPECT_TRUE(engine::bbox.minCorner.BitEquals(math::float3(0, 0, 0)));
    EXPECT_TRUE(engine::bbox.maxCorner.BitEquals(math::float3(2, 3, 1)));
}

TEST(SurfaceLoader, RotatesVerticesIntoTheFrameButNeverTheNormals) {
    const VALUE faces = eval(kTriangle);
    const VALUE normal = rb_ary_entry(rb_ary_entry(faces, 0), 1);
    const VALUE axis = eval("[0, 0, 1]");
    call_module_function([&] { return cpp_initialize_surface(kModule, faces, Qtrue, axis); });
    const math::float3 expected[] = {{0, 0, 0}, {-2, 0, -1}, {0, 3, 0}};
    for (int j = 0; j < 3; ++j)
        EXPECT_TRUE(engine::surface[0].vertices[j].Equals(expected[j], 1e-5f)) << j;
    EXPECT_EQ(normal, engine::surface_normal(0));
    EXPECT_EQ(-2.0f, std::round(engine::poly_bboxes[0].minCorner.x));
}

TEST(SurfaceLoader, BoundsCarryOverAnEmptyFace) {
    load_surface("[[[[5, 6, 0], [7, 9, 0]], 1], [[], 2]]", false, "[0, 0, -1]");
    ASSERT_EQ(2u, engine::surface.size());
    EXPECT_EQ(0, engine::surface[1].NumVertices());
    EXPECT_EQ(5.0f, engine::poly_bboxes[1].minCorner.x);
    EXPECT_EQ(9.0f, engine::poly_bboxes[1].maxCorner.y);
}

// Compaction is exercised by the Ruby suites, where the interpreter runs a full program.
TEST(SurfaceLoader, NormalsSurviveACollection) {
    const VALUE faces = eval("[[[[0, 0, 0], [1, 0, 0], [0, 1, 0]], Object.new], [[[0, 0, 0], [1, 0, 0], [0, 1, 0]], 'n' * 100]]");
    const VALUE axis = eval("[0, 0, -1]");
    call_module_function([&] { return cpp_initialize_surface(kModule, faces, Qfalse, axis); });
    rb_gc_start();
    for (long i = 0; i < 2; ++i)
        EXPECT_EQ(rb_ary_entry(rb_ary_entry(faces, i), 1), engine::surface_normal(i)) << i;
}

TEST(SurfaceLoader, AFailingFaceKeepsWhatWasLoadedBeforeIt) {
    load_surface("[[[[9, 9, 9]], 1]]", false, "[0, 0, -1]");
    const VALUE faces = eval("[[[[1, 1, 1]], 1], [[[1, 2]], 2]]");
    const VALUE axis = eval("[0, 0, -1]");
    const auto out = call_module_function([&] { return cpp_initialize_surface(kModule, faces, Qfalse, axis); });
    EXPECT_EQ("TypeError", out.error_class());
    ASSERT_EQ(2u, engine::surface.size());
    EXPECT_TRUE(engine::surface[0].vertices[0].BitEquals(math::float3(1, 1, 1)));
    EXPECT_EQ(0, engine::surface[1].NumVertices());
    EXPECT_EQ(Qfalse, engine::surface_normal(1));
}

TEST(SurfaceLoader, MalformedInputRaises) {
    const char *cases[][2] = {
        {"nil", "[0, 0, -1]"},
        {"[nil]", "[0, 0, -1]"},
        {"[[nil, 1]]", "[0, 0, -1]"},
        {"[[[[0, 0, 0]], 1]]", "nil"},  // the axis is read even when unused
    };
    for (const auto &c : cases) {
        const VALUE faces = eval(c[0]);
        const VALUE axis = eval(c[1]);
        const auto out = call_module_function([&] { return cpp_initialize_surface(kModule, faces, Qfalse, axis); });
        EXPECT_EQ("TypeError", out.error_class()) << c[0] << " " << c[1];
    }
}

TEST(CurveLoader, SegmentsJoinConsecutivePointsAndShortCurvesHaveNone) {
    load_surface(kTriangle, false, "[0, 0, -1]");
    const VALUE curves = eval("[[[0, 0, 0], [1, 0, 0], [1, 2, 0]], [[5, 5, 5]], []]");
    const auto out = call_module_function([&] { return cpp_initialize_curves(kModule, curves); });
    EXPECT_EQ(Qtrue, out.result);
    EXPECT_EQ("curve", engine::surface_type);
    ASSERT_EQ(3u, engine::curves.size());
    ASSERT_EQ(2u, engine::curves[0].size());
    EXPECT_TRUE(engine::curves[0][1].a.BitEquals(math::float3(1, 0, 0)));
    EXPECT_TRUE(engine::curves[0][1].b.BitEquals(math::float3(1, 2, 0)));
    EXPECT_TRUE(engine::curves[1].empty());
    EXPECT_TRUE(engine::curves[2].empty());
    EXPECT_EQ(1u, engine::surface.size()) << "a curve load leaves the surface";
}

TEST(ObjectAreaLoader, FootprintsLieAtZeroAndTheSceneKindStays) {
    load_surface(kTriangle, false, "[0, 0, -1]");
    const VALUE areas = eval("[[[[1, 2, 5], [3, 2, 5], [3, 4, 5]]], []]");
    const auto out = call_module_function([&] { return cpp_initialize_object_areas(kModule, areas); });
    EXPECT_EQ(Qtrue, out.result);
    EXPECT_EQ("surface", engine::surface_type);
    ASSERT_EQ(2u, engine::object_areas.size());
    ASSERT_EQ(1u, engine::object_areas[0].size());
    EXPECT_TRUE(engine::object_areas[0][0].vertices[0].BitEquals(math::float3(1, 2, 0)));
    EXPECT_TRUE(engine::object_areas[1].empty());
}

}  // namespace
