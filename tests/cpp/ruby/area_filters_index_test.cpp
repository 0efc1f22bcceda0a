// The indexed area filters must keep exactly the records that the scans keep, in the same
// order, with slot 5 the same to the last bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "module_functions.h"
#include "engine/reference.h"
#include "ruby_test_support.h"

using engine_test::call_module_function;
using engine_test::eval;

namespace {

// Outlines and records as Ruby source. Rings: overlapping wobbly ones, a ring of collinear
// runs on a dyadic square (its grid cells end on the lattice of the records below) sharing
// an edge with another, a thin one whose long edges tie for the records on its centre line,
// rings at large, huge and tiny scales, rings with a NaN and an infinite vertex, rings of one and
// two points and a self-crossing one. Records: random, on every vertex and edge midpoint, on
// the cell lattice, on the centre line, at both scales, non-finite and huge.
const char *kAreas = R"(
  srand(31)
  wobbly = ->(cx, cy, r, n) {
    (0...n).map { |i| a = 2 * Math::PI * i / n; q = r * (1 + 0.2 * Math.sin(7 * a)); [cx + q * Math.cos(a), cy + q * Math.sin(a), 0] }
  }
  with = ->(list, k, v) { list = list.dup; list[k] = v; list }
  side = ->(a, b, k) { (0...k).map { |i| [a[0] + (b[0] - a[0]) * i / k.to_f, a[1] + (b[1] - a[1]) * i / k.to_f, 0] } }
  box = ->(x0, y0, x1, y1, k) {
    side.([x0, y0], [x1, y0], k) + side.([x1, y0], [x1, y1], k) + side.([x1, y1], [x0, y1], k) + side.([x0, y1], [x0, y0], k)
  }
  rings = [
    wobbly.(40, 40, 25, 300), wobbly.(60, 45, 25, 300),
    box.(0, 0, 64, 64, 128), box.(64, 0, 100, 64, 40),
    box.(10.3, 70.1, 90.7, 71.3, 30),
    wobbly.(1.0e7, 1.0e7, 3.0e5, 200), wobbly.(1.0e30, 1.0e30, 3.0e29, 40), wobbly.(3.0e-20, 3.0e-20, 1.0e-20, 24),
    with.(wobbly.(50, 50, 10, 40), 7, [0.0 / 0, 50, 0]), with.(wobbly.(50, 50, 12, 40), 9, [1.0 / 0, 50, 0]),
    [[20, 20, 0]], [[20, 20, 0], [30, 25, 0]],
    Array.new(60) { [rand * 120 - 10, rand * 120 - 10, 0] },
  ]
  points = Array.new(3000) { [rand * 130 - 15, rand * 130 - 15] }
  rings.each do |r|
    r.each_with_index { |v, k| w = r[(k + 1) % r.size]; points << v[0, 2] << [(v[0] + w[0]) / 2, (v[1] + w[1]) / 2] }
  end
  (0..32).each { |i| (0..32).each { |j| points << [i * 2, j * 2] } }
  (0..100).each { |i| points << [10.3 + i * 0.8, 70.7] }
  200.times { points << [1.0e7 + (rand - 0.5) * 1.0e6, 1.0e7 + (rand - 0.5) * 1.0e6] }
  200.times { points << [(rand * 6 - 1) * 1.0e-20, (rand * 6 - 1) * 1.0e-20] }
  points += [[0.0 / 0, 5], [5, 0.0 / 0], [1.0 / 0, 5], [-1.0 / 0, -1.0 / 0], [1.0e30, 1.0e30], [-3.0e38, 2]]
  records = points.map { |x, y| [[x, y, 1.5], [0.0, 0.0, 1.0], 1.0, 7, 0, -1.0, [1.0, 1.0, 1.0], 0.0] }
  # Curves: each ring as a polyline, and long random segments crossing each other.
  curves = rings.map { |r| r.each_cons(2).to_a } << Array.new(40) { [[rand * 100, rand * 100, 0], [rand * 100, rand * 100, 0]] }
  settings = ->(mode, outlines) {
    { "include" => mode, "points" => records, "curves" => outlines, "area_density_falloff" => true,
      "area_scale_falloff" => false, "boundary_check" => "distance", "project_custom_axis" => false,
      "custom_axis" => [0, 0, -1], "seed" => 5, "global_warning_time" => 30, "elapsed_time" => 0, "confirmed" => true }
  }
  # Mode 1 measures every record to the first curve only: each curve comes first once.
  curves.map { |c| settings.(1, [c]) } + [2, 3].flat_map { |m| [settings.(m, rings), settings.(m, rings.reverse)] }
)";

// Footprints: random rectangles, a touching pair, a stacked pair, concave stars, a pair
// mirrored about x = 47.3, footprints with a NaN and an infinite vertex, footprints of one,
// two and no vertices, a large star and a huge rectangle. Records: random, on every vertex and edge midpoint,
// just inside and outside 0.05 from edges, on the mirror line, non-finite and huge.
const char *kObjects = R"(
  srand(37)
  with = ->(list, k, v) { list = list.dup; list[k] = v; list }
  rect = ->(x, y, w, h) { [[x, y, 0], [x + w, y, 0], [x + w, y + h, 0], [x, y + h, 0]] }
  star = ->(cx, cy, r1, r2, n) {
    (0...n).map { |i| a = 2 * Math::PI * i / n; r = i % 2 == 0 ? r1 : r2; [cx + r * Math.cos(a), cy + r * Math.sin(a), 0] }
  }
  objects = Array.new(40) { [rect.(rand * 90, rand * 90, 1 + rand * 8, 1 + rand * 8)] }
  objects << [rect.(10, 10, 5, 5), rect.(15, 10, 5, 5)] << [rect.(30, 30, 4, 4)] << [rect.(30, 30, 4, 4)]
  objects << [star.(60, 60, 8, 3, 30), star.(75, 60, 8, 3, 30)]
  objects << [rect.(40.1, 5.7, 3.3, 2.9), rect.(51.2, 5.7, 3.3, 2.9)]
  objects << [with.(rect.(80, 80, 3, 3), 2, [0.0 / 0, 83, 0])] << [[[70, 10, 0], [75, 10, 0], [1.0 / 0, 12, 0], [70, 14, 0]]]
  objects << [[[5, 80, 0]], [[5, 80, 0], [9, 84, 0]], []] << [star.(1.0e6, 1.0e6, 2.0e4, 8.0e3, 30)] << [rect.(1.0e30, 1.0e30, 1.0e29, 1.0e29)]
  points = Array.new(4000) { [rand * 110 - 5, rand * 110 - 5] }
  objects.flatten(1).each do |f|
    f.each_with_index { |v, k| w = f[(k + 1) % f.size]; points << v[0, 2] << [(v[0] + w[0]) / 2, (v[1] + w[1]) / 2] }
  end
  [[9.95, 12], [20.05, 12], [15, 9.95], [15, 15.05], [29.95, 32], [34.05, 32], [32, 29.95], [32, 34.05]].each { |p| points << p }
  50.times { |i| points << [47.3, 3 + i * 0.2] }
  100.times { points << [1.0e6 + (rand - 0.5) * 1.0e5, 1.0e6 + (rand - 0.5) * 1.0e5] }
  points += [[0.0 / 0, 5], [5, 0.0 / 0], [1.0 / 0, 5], [-1.0 / 0, -1.0 / 0], [1.0e30, 1.0e30], [-3.0e38, 2]]
  [objects, points.map { |x, y| [[x, y, 0.5], [0.0, 0.0, 1.0], 1.0, 7, 0, -1.0, [1.0, 1.0, 1.0], 0.0] }]
)";

// Byte by byte: the interpreter's headers redefine memcpy.
uint64_t bits(VALUE number) {
    const double d = NUM2DBL(number);
    uint64_t b = 0;
    const auto *bytes = reinterpret_cast<const unsigned char *>(&d);
    std::copy(bytes, bytes + sizeof d, reinterpret_cast<unsigned char *>(&b));
    return b;
}

// Runs the call with the scans, then with the indexes, and compares what they kept.
template <class Call>
void expect_same_records(Call call, const std::string &label) {
    engine::use_reference_algorithms = true;
    const auto scanned = call_module_function(call);
    engine::use_reference_algorithms = false;
    const auto indexed = call_module_function(call);
    ASSERT_TRUE(NIL_P(scanned.error)) << scanned.message();
    ASSERT_TRUE(NIL_P(indexed.error)) << indexed.message();
    const VALUE expected = rb_ary_entry(scanned.result, 2), actual = rb_ary_entry(indexed.result, 2);
    ASSERT_EQ(RARRAY_LEN(expected), RARRAY_LEN(actual)) << label;
    EXPECT_GT(RARRAY_LEN(expected), 1000) << label << ": the fixture keeps too few records to tell";
    int differences = 0;  // ten are enough to tell
    for (long i = 0; i < RARRAY_LEN(expected) && differences < 10; ++i) {
        const VALUE a = rb_ary_entry(expected, i), b = rb_ary_entry(actual, i);
        const bool same = rb_ary_entry(a, 0) == rb_ary_entry(b, 0) && bits(rb_ary_entry(a, 5)) == bits(rb_ary_entry(b, 5));
        if (!same) ++differences;
        EXPECT_TRUE(same) << label << ": kept record " << i << " differs: " << RSTRING_PTR(rb_inspect(a)) << " vs "
                          << RSTRING_PTR(rb_inspect(b));
    }
}

TEST(AreaFiltersIndex, AreasKeepAndMeasureExactlyAsTheScan) {
    VALUE calls = eval(kAreas);
    for (long k = 0; k < RARRAY_LEN(calls); ++k) {
        const VALUE settings = rb_ary_entry(calls, k);
        const VALUE mode = rb_hash_aref(settings, rb_str_new_cstr("include"));
        expect_same_records([&] { return cpp_areas(Qnil, settings); }, "call " + std::to_string(k) + ", mode " +
                                                                         std::to_string(NUM2INT(mode)));
    }
    RB_GC_GUARD(calls);
}

TEST(AreaFiltersIndex, ObjectAreasKeepAndMeasureExactlyAsTheScan) {
    VALUE scene = eval(kObjects);
    const VALUE objects = rb_ary_entry(scene, 0), records = rb_ary_entry(scene, 1);
    const VALUE timing = eval("[30, 0, true]");
    call_module_function([&] { return cpp_initialize_object_areas(Qnil, objects); });
    expect_same_records([&] { return cpp_object_areas(Qnil, records, Qnil, timing); }, "object areas");
    RB_GC_GUARD(scene);
}

}  // namespace
