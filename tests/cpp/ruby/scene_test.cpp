// The loaders build a whole new part of the scene and swap it in only when the load
// succeeded; a step holds the scene it began with.
#include "engine/scene.h"

#include <gtest/gtest.h>

#include <cmath>

#include "module_functions.h"
#include "ruby_test_support.h"
#include "scene_store.h"

using engine_test::call_module_function;
using engine_test::eval;

namespace {

const VALUE kModule = Qnil;  // the receiver; the loaders do not read it

engine_test::Outcome load_surface(const char *faces, bool use_axis, const char *axis) {
    const VALUE f = eval(faces);
    const VALUE a = eval(axis);
    return call_module_function([&] { return cpp_initialize_surface(kModule, f, use_axis ? Qtrue : Qfalse, a); });
}

VALUE loaded(const char *faces, bool use_axis = false, const char *axis = "[0, 0, -1]") {
    const auto out = load_surface(faces, use_axis, axis);
    EXPECT_TRUE(NIL_P(out.error)) << out.message();
    return out.result;
}

const engine::Surface &surface() { return *engine::current_scene()->surface; }

VALUE normal(long face) { return rb_ary_entry(binding::hold_scene().normals, face); }

const char *kTriangle = "[[[[0, 0, 0], [2, 0, 1], [0, 3, 0]], [0.0, 0.0, 1.0]]]";

TEST(SurfaceLoader, NoFacesLeaveTheEmptyBox) {
    const VALUE min_x = loaded("[]");
    EXPECT_EQ(INFINITY, RFLOAT_VALUE(min_x));
    EXPECT_EQ(engine::SceneKind::surface, engine::current_scene()->kind);
    EXPECT_TRUE(surface().faces().empty());
    EXPECT_TRUE(surface().face_bounds().empty());
}

TEST(SurfaceLoader, StoresFacesTheirBoundsAndTheBoxAroundAll) {
    EXPECT_EQ(0.0, RFLOAT_VALUE(loaded(kTriangle)));
    ASSERT_EQ(1u, surface().faces().size());
    EXPECT_EQ(3, surface().faces()[0].NumVertices());
    EXPECT_TRUE(surface().faces()[0].vertices[1].Equals(math::float3(2, 0, 1), 0.5f));
    EXPECT_EQ(0.0f, surface().face_bounds()[0].minCorner.x);
    EXPECT_EQ(0.0f, surface().face_bounds()[0].minCorner.y);
    EXPECT_EQ(2.0f, surface().face_bounds()[0].maxCorner.x);
    EXPECT_EQ(3.0f, surface().face_bounds()[0].maxCorner.y);
    EXPECT_TRUE(surface().bounds().minCorner.BitEquals(math::float3(0, 0, 0)));
    EXPECT_TRUE(surface().bounds().maxCorner.BitEquals(math::float3(2, 3, 1)));
}

TEST(SurfaceLoader, RotatesVerticesIntoTheFrameButNeverTheNormals) {
    const VALUE faces = eval(kTriangle);
    const VALUE given = rb_ary_entry(rb_ary_entry(faces, 0), 1);
    const VALUE axis = eval("[0, 0, 1]");
    call_module_function([&] { return cpp_initialize_surface(kModule, faces, Qtrue, axis); });
    const math::float3 expected[] = {{0, 0, 0}, {-2, 0, -1}, {0, 3, 0}};
    for (int j = 0; j < 3; ++j) EXPECT_TRUE(surface().faces()[0].vertices[j].Equals(expected[j], 1e-5f)) << j;
    EXPECT_EQ(given, normal(0));
    EXPECT_EQ(-2.0f, std::round(surface().face_bounds()[0].minCorner.x));
}

TEST(SurfaceLoader, BoundsCarryOverAnEmptyFace) {
    loaded("[[[[5, 6, 0], [7, 9, 0]], 1], [[], 2]]");
    ASSERT_EQ(2u, surface().faces().size());
    EXPECT_EQ(0, surface().faces()[1].NumVertices());
    EXPECT_EQ(5.0f, surface().face_bounds()[1].minCorner.x);
    EXPECT_EQ(9.0f, surface().face_bounds()[1].maxCorner.y);
}

// Compaction is exercised by the Ruby suites, where the interpreter runs a full program.
TEST(SurfaceLoader, NormalsSurviveACollection) {
    const VALUE faces = eval("[[[[0, 0, 0], [1, 0, 0], [0, 1, 0]], Object.new], [[[0, 0, 0], [1, 0, 0], [0, 1, 0]], 'n' * 100]]");
    const VALUE axis = eval("[0, 0, -1]");
    call_module_function([&] { return cpp_initialize_surface(kModule, faces, Qfalse, axis); });
    rb_gc_start();
    for (long i = 0; i < 2; ++i) EXPECT_EQ(rb_ary_entry(rb_ary_entry(faces, i), 1), normal(i)) << i;
}

TEST(SurfaceLoader, AFailedLoadLeavesTheSceneAsItWas) {
    loaded("[[[[9, 9, 9]], 1]]");
    const auto before = engine::current_scene();
    const VALUE normals_before = binding::hold_scene().normals;
    const auto out = load_surface("[[[[1, 1, 1]], 1], [[[1, 2]], 2]]", false, "[0, 0, -1]");
    EXPECT_EQ("TypeError", out.error_class());
    EXPECT_EQ(before, engine::current_scene());
    EXPECT_EQ(normals_before, binding::hold_scene().normals);
    ASSERT_EQ(1u, surface().faces().size());
    EXPECT_TRUE(surface().faces()[0].vertices[0].BitEquals(math::float3(9, 9, 9)));
}

TEST(SurfaceLoader, MalformedInputRaises) {
    const char *cases[][2] = {
        {"nil", "[0, 0, -1]"},
        {"[nil]", "[0, 0, -1]"},
        {"[[nil, 1]]", "[0, 0, -1]"},
        {"[[[[0, 0, 0]], 1]]", "nil"},  // the axis is read even when unused
    };
    for (const auto &c : cases) EXPECT_EQ("TypeError", load_surface(c[0], false, c[1]).error_class()) << c[0] << " " << c[1];
}

TEST(CurveLoader, SegmentsJoinConsecutivePointsAndShortCurvesHaveNone) {
    loaded(kTriangle);
    const VALUE curves = eval("[[[0, 0, 0], [1, 0, 0], [1, 2, 0]], [[5, 5, 5]], []]");
    const auto out = call_module_function([&] { return cpp_initialize_curves(kModule, curves); });
    EXPECT_EQ(Qtrue, out.result);
    const auto scene = engine::current_scene();
    EXPECT_EQ(engine::SceneKind::curve, scene->kind);
    const engine::Curves &c = *scene->curves;
    ASSERT_EQ(3u, c.size());
    ASSERT_EQ(2u, c[0].size());
    EXPECT_TRUE(c[0][1].a.BitEquals(math::float3(1, 0, 0)));
    EXPECT_TRUE(c[0][1].b.BitEquals(math::float3(1, 2, 0)));
    EXPECT_TRUE(c[1].empty());
    EXPECT_TRUE(c[2].empty());
    EXPECT_EQ(1u, surface().faces().size()) << "a curve load leaves the surface";
}

TEST(ObjectAreaLoader, FootprintsLieAtZeroAndTheSceneKindStays) {
    loaded(kTriangle);
    const VALUE areas = eval("[[[[1, 2, 5], [3, 2, 5], [3, 4, 5]]], []]");
    const auto out = call_module_function([&] { return cpp_initialize_object_areas(kModule, areas); });
    EXPECT_EQ(Qtrue, out.result);
    const auto scene = engine::current_scene();
    EXPECT_EQ(engine::SceneKind::surface, scene->kind);
    const auto &objects = scene->object_areas->objects();
    ASSERT_EQ(2u, objects.size());
    ASSERT_EQ(1u, objects[0].size());
    EXPECT_TRUE(objects[0][0].vertices[0].BitEquals(math::float3(1, 2, 0)));
    EXPECT_TRUE(objects[1].empty());
}

}  // namespace
