// Random points on faces drawn from each face's triangulation made once must be exactly the
// points drawn when every point triangulates its face anew.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "module_functions.h"
#include "engine/reference.h"
#include "ruby_test_support.h"

using engine_test::call_module_function;
using engine_test::eval;

namespace {

// Faces as Ruby source: a small terrain of triangles, quads (one of them not planar), concave
// outlines, outlines whose triangulation is partial or empty, repeated and collinear vertices,
// faces of 0, 1 and 2 vertices, and a NaN vertex, mixed so that faces without points lie
// between faces with points.
const char *kFaces = R"(
  faces = []
  h = ->(x, y) { (x * 7 + y * 3) % 5 * 0.25 }
  4.times do |i|
    4.times do |j|
      at = ->(u, v) { [u * 1.7, v * 1.3, h.(u, v)] }
      a = at.(i, j); b = at.(i + 1, j); c = at.(i + 1, j + 1); d = at.(i, j + 1)
      faces << [a, b, c] << [a, c, d] if (i + j) % 2 == 0
      faces << [a, b, c, d] if (i + j) % 2 == 1
    end
  end
  faces << [[0, 0, 5], [3, 0, 5], [3, 2, 5.4], [0, 2, 5]]                          # not planar
  faces << [[0, 0, 1], [2, 0, 1], [2, 1, 1], [1, 1, 1], [1, 2, 1], [0, 2, 1]]      # L
  faces << []
  faces << [[0, 0, 0], [2, 1, 0], [4, 0, 0], [4, 4, 0], [0, 4, 0]]                # notch: one triangle
  faces << [[0, 0, 0], [6, 0, 0], [6, 3, 0], [4, 1, 0], [3, 3, 0], [2, 1, 0], [0, 3, 0]]  # comb
  faces << [[1, 1, 1]]
  faces << [[2, 4, 0], [4, 1, 0], [3, 1, 0], [1, 2, 0], [0, 2, 0], [4, 4, 0]]      # crossing: partial
  faces << [[0, 0, 0], [1, 0, 0]]
  faces << [[3, 2, 0], [3, 0, 0], [4, 1, 0], [1, 0, 0], [0, 4, 0], [0, 3, 0]]      # crossing: no triangle
  faces << [[0, 0, 0], [1, 1, 0], [2, 2, 0]]                                       # collinear
  faces << [[0, 0, 2], [4, 0, 2], [4, 0, 2], [4, 4, 2], [0, 4, 2], [0, 4, 2]]      # repeated vertices
  faces << [[0, 0, 0], [1, 0, 0], [2, 0, 0], [3, 0, 0]]                            # collinear
  faces << [[0, 0, 0], [0.0 / 0, 1, 0], [1, 1, 0]]
  faces << [[5, 5, 0], [9, 5, 0], [9, 5, 3], [5, 5, 3]]                            # upright
  faces.each_with_index.map { |f, i| [f, [0.0, 0.0, 1.0 + i]] }
)";

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool same_point(VALUE a, VALUE b) {
    for (long k = 0; k < 3; ++k)
        if (!same_bits(RFLOAT_VALUE(rb_ary_entry(a, k)), RFLOAT_VALUE(rb_ary_entry(b, k)))) return false;
    return true;
}

VALUE random_points(const char *settings) {
    VALUE args = eval(settings);
    const auto out = call_module_function([&] {
        return cpp_generate_random_points(Qnil, rb_ary_entry(args, 0), rb_ary_entry(args, 1), rb_ary_entry(args, 2),
                                          rb_ary_entry(args, 3));
    });
    EXPECT_TRUE(NIL_P(out.error)) << out.message();
    RB_GC_GUARD(args);
    return out.result;
}

TEST(RandomFacePoints, OneTriangulationPerFaceDrawsExactlyWhatTheReferenceDraws) {
    VALUE faces = eval(kFaces);
    const VALUE axis = eval("[0, 0, -1]");
    call_module_function([&] { return cpp_initialize_surface(Qnil, faces, Qfalse, axis); });
    // [density, mode, factor, seed]: counts with fractional parts, several seeds.
    const char *cases[] = {"[0.7, 'faces', 1.3, 1]", "[2.3, '', 0.45, 29]", "[1.9, 'faces', 1.7, 123457]",
                           "[3, 'faces', 1, -8]", "[0.31, 'faces', 2, 5]"};
    long nan_points = 0;
    for (const char *settings : cases) {
        engine::use_reference_algorithms = true;
        VALUE expected = random_points(settings);
        engine::use_reference_algorithms = false;
        const VALUE cached = random_points(settings);

        ASSERT_GT(RARRAY_LEN(expected), 30) << settings;
        ASSERT_EQ(RARRAY_LEN(expected), RARRAY_LEN(cached)) << settings;
        for (long i = 0; i < RARRAY_LEN(expected); ++i) {
            const VALUE a = rb_ary_entry(expected, i), b = rb_ary_entry(cached, i);
            EXPECT_TRUE(same_point(rb_ary_entry(a, 0), rb_ary_entry(b, 0))) << settings << " record " << i;
            EXPECT_TRUE(same_point(rb_ary_entry(a, 1), rb_ary_entry(b, 1))) << settings << " record " << i;
            EXPECT_TRUE(RTEST(rb_equal(rb_ary_subseq(a, 2, 6), rb_ary_subseq(b, 2, 6)))) << settings;
            nan_points += std::isnan(RFLOAT_VALUE(rb_ary_entry(rb_ary_entry(a, 0), 0)));
        }
        RB_GC_GUARD(expected);
    }
    EXPECT_GT(nan_points, 0) << "no face without triangles received a point";
    RB_GC_GUARD(faces);
}

}  // namespace
