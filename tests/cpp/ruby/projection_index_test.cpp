// The indexed projection must give exactly what the scan over every face gives.
#include <gtest/gtest.h>

#include <string>

#include "module_functions.h"
#include "engine/reference.h"
#include "ruby_test_support.h"

using engine_test::call_module_function;
using engine_test::eval;

namespace {

// Faces and points as Ruby source: a terrain with shared edges, stacked and coplanar faces,
// a face with a NaN vertex, and points on edges, on bounds and off the surface.
const char *kScene = R"(
  srand(17)
  faces = []
  n = 12
  h = ->(x, y) { (x * 7 + y * 3) % 5 * 0.5 }
  n.times do |i|
    n.times do |j|
      # Faces off the grid's cell lines, so that a point looked up in the wrong cell misses.
      at = ->(u, v) { [0.37 + u * 1.13, 0.21 + v * 0.87, h.(u, v)] }
      a = at.(i, j); b = at.(i + 1, j); c = at.(i + 1, j + 1); d = at.(i, j + 1)
      faces << [[a, b, c], [i, j, 0]] << [[a, c, d], [i, j, 1]]
    end
  end
  faces << [[[2, 2, 9], [6, 2, 9], [6, 6, 9], [2, 6, 9]], :stacked]
  faces << [[[2, 2, 9], [6, 2, 9], [6, 6, 9], [2, 6, 9]], :coplanar_twin]
  faces << [[[0, 0, 0], [0.0 / 0, 1, 0], [1, 1, 0]], :nan_vertex]
  faces << [[[-2, -2, -1], [15, -2, -1], [6, 15, -1]], :large_below]
  points = []
  2000.times { points << [rand * 16 - 2, rand * 16 - 2, 20] }
  (0..12).each { |k| points << [k, k, 5] << [k, 0, 5] << [0, k, 5] << [k + 0.5, k, 5] }
  points << [0.0 / 0, 3, 3] << [3, 0.0 / 0, 3] << [1e30, 1, 1] << [-1e30, 1, 1]
  [faces, points]
)";

VALUE project(VALUE points) {
    const VALUE status = eval("[30, 0, true]");
    const auto out = call_module_function([&] { return cpp_project_down(Qnil, points, status); });
    EXPECT_TRUE(NIL_P(out.error)) << out.message();
    return rb_ary_entry(out.result, 2);
}

TEST(ProjectionIndex, GivesExactlyTheResultOfTheFullScan) {
    VALUE scene = eval(kScene);
    const VALUE faces = rb_ary_entry(scene, 0);
    const VALUE points = rb_ary_entry(scene, 1);
    const VALUE axis = eval("[0, 0, -1]");
    call_module_function([&] { return cpp_initialize_surface(Qnil, faces, Qfalse, axis); });

    engine::use_reference_algorithms = true;
    const VALUE expected = project(points);
    engine::use_reference_algorithms = false;
    const VALUE indexed = project(points);

    ASSERT_GT(RARRAY_LEN(expected), 1500);
    ASSERT_EQ(RARRAY_LEN(expected), RARRAY_LEN(indexed));
    for (long i = 0; i < RARRAY_LEN(expected); ++i) {
        const VALUE a = rb_ary_entry(expected, i), b = rb_ary_entry(indexed, i);
        EXPECT_TRUE(RTEST(rb_equal(rb_ary_entry(a, 0), rb_ary_entry(b, 0)))) << "record " << i;
        EXPECT_EQ(rb_ary_entry(a, 1), rb_ary_entry(b, 1)) << "record " << i << ": not the same normal object";
    }
    RB_GC_GUARD(scene);
}

}  // namespace
