require "test_helper"

# Painting areas: brush strokes united with and cut from an outline, vertex thinning and
# ring orientation.
class PaintAreasTest < Minitest::Test
  V = QEL_Vandrel

  # The closed counter-clockwise ring of the rectangle (x0, y0)-(x1, y1) at height z.
  def rect(x0, y0, x1, y1, z = 0)
    [[x0, y0, z], [x1, y0, z], [x1, y1, z], [x0, y1, z], [x0, y0, z]]
  end

  def paint(area, brush, erase: false, project: false, axis: [0, 0, -1])
    V.cpp_paint_area_union("project_custom_axis" => project, "custom_axis" => axis, "erase" => erase,
                           "area" => area, "circle" => brush)
  end

  # Signed shoelace area in the XY plane; the closing repeat adds nothing.
  def signed_area(ring)
    ring.each_cons(2).sum { |(x0, y0), (x1, y1)| x0 * y1 - x1 * y0 } / 2.0
  end

  # Exact area of a union of rectangles [x0, y0, x1, y1] minus others, on the grid of their
  # coordinates.
  def grid_area(added, cut = [])
    xs = (added + cut).flat_map { |r| [r[0], r[2]] }.uniq.sort
    ys = (added + cut).flat_map { |r| [r[1], r[3]] }.uniq.sort
    inside = ->(r, x, y) { r[0] < x && x < r[2] && r[1] < y && y < r[3] }
    xs.each_cons(2).sum do |xa, xb|
      ys.each_cons(2).sum do |ya, yb|
        x, y = (xa + xb) / 2.0, (ya + yb) / 2.0
        added.any? { |r| inside.(r, x, y) } && cut.none? { |r| inside.(r, x, y) } ? (xb - xa) * (yb - ya) : 0
      end
    end
  end

  # Every [ring, is_hole, children] entry of a tree, depth first.
  def tree_entries(tree)
    tree.flat_map { |entry| [entry] + tree_entries(entry[2]) }
  end

  def assert_closed(ring)
    assert_same ring.first, ring.last
  end

  # The ring's corners in the XY plane, without the closing repeat.
  def corners(ring)
    ring[0...-1].map { |x, y, _| [x, y] }.sort
  end

  def test_union_and_erase_of_squares
    square = rect(0, 0, 1, 1)
    brush = rect(0.5, 0, 1.5, 1)
    cases = [
      ["union", [square], brush, false, [[0, 0], [1.5, 0], [1.5, 1], [0, 1]]],
      ["brush without its closing repeat", [square], brush[0...-1], false, [[0, 0], [1.5, 0], [1.5, 1], [0, 1]]],
      ["erase", [square], brush, true, [[0, 0], [0.5, 0], [0.5, 1], [0, 1]]],
      ["empty area takes a clockwise brush counter-clockwise", [], brush.reverse, false,
       [[0.5, 0], [1.5, 0], [1.5, 1], [0.5, 1]]],
    ]
    cases.each do |name, area, stroke, erase, expected|
      rings, tree = paint(area, stroke, erase: erase)
      assert_equal 1, rings.size, name
      ring = rings[0]
      assert_equal 5, ring.size, name
      assert_closed ring
      assert_equal expected.sort, corners(ring), name
      assert_operator signed_area(ring), :>, 0, name
      assert V.cpp_paint_area_path_orientation(ring), name
      assert_equal [[ring, false, []]], tree, name
    end
    assert_equal [[], []], paint([], brush, erase: true)
  end

  def test_erasing_inside_the_area_cuts_a_hole
    rings, tree = paint([rect(0, 0, 4, 4)], rect(1, 1, 2, 2), erase: true)
    assert_equal 1, tree.size
    outer, outer_is_hole, children = tree[0]
    refute outer_is_hole
    assert_equal 1, children.size
    hole, hole_is_hole, hole_children = children[0]
    assert hole_is_hole
    assert_equal [], hole_children
    assert_equal [outer, hole], rings
    assert_in_delta 16.0, signed_area(outer), 1e-9
    assert_in_delta(-1.0, signed_area(hole), 1e-9)
    refute V.cpp_paint_area_path_orientation(hole)
    [outer, hole].each { |ring| assert_closed ring }
  end

  # Strokes painted one at a time, the result fed back as the area, against the exact area
  # of the union; then strokes erased. Outer rings count positive, holes negative.
  def test_strokes_painted_one_by_one_match_the_exact_area
    random = Random.new(7)
    stroke = lambda do
      x, y = random.rand(0..32) * 0.25, random.rand(0..32) * 0.25
      [x, y, x + random.rand(1..12) * 0.25, y + random.rand(1..12) * 0.25]
    end
    added = Array.new(sized(12)) { stroke.() }
    cut = Array.new(sized(4)) { stroke.() }
    area = []
    added.each { |r| area, = paint(area, rect(*r)) }
    assert_in_delta grid_area(added), area.sum { |ring| signed_area(ring) }, 1e-6
    tree = nil
    cut.each { |r| area, tree = paint(area, rect(*r), erase: true) }
    assert_in_delta grid_area(added, cut), area.sum { |ring| signed_area(ring) }, 1e-6
    tree_entries(tree).each do |ring, is_hole, _|
      assert_closed ring
      assert_equal is_hole, signed_area(ring) < 0
    end
  end

  def test_vertex_z_and_the_model_grid
    rings, = paint([], rect(0, 0, 1, 1, 2.5))
    assert_equal [2.5], rings[0].map { |p| p[2] }.uniq
    # A coordinate keeps five decimals, truncated toward zero.
    [[0.000019, 0.00001], [-0.000019, -0.00001], [1.234567, 1.23456]].each do |given, stored|
      rings, = paint([], [[given, 0, 0], [2, 0, 0], [2, 2, 0], [given, 2, 0]])
      assert_includes rings[0].map(&:first), stored, given
    end
    # Beyond 10737.41823 model units the clip engine switches to 128-bit arithmetic.
    far = 50_000
    rings, = paint([rect(far, far, far + 2, far + 2)], rect(far + 1, far + 1, far + 3, far + 3))
    assert_in_delta 7.0, signed_area(rings[0].map { |x, y, z| [x - far, y - far, z] }), 1e-6
  end

  # Strokes in the plane across a tilted custom axis are painted in the axis frame and come
  # back in world coordinates, in the same plane.
  def test_custom_axis_round_trip
    axis = [0, 0.6, -0.8]
    u, v = [1, 0, 0], [0, 0.8, 0.6] # across the axis
    to_world = ->(x, y) { [0, 1, 2].map { |i| x * u[i] + y * v[i] } }
    in_plane = ->(ring) { ring.map { |x, y| to_world.(x, y) } }
    rings, tree = paint([in_plane.(rect(0, 0, 1, 1))], in_plane.(rect(0.5, 0, 1.5, 1)), project: true, axis: axis)
    assert_equal 1, rings.size
    assert_equal 1, tree.size
    plane = rings[0].map do |p|
      dot = ->(w) { p.zip(w).sum { |a, b| a * b } }
      assert_in_delta 0.0, dot.(axis), 1e-4
      [dot.(u), dot.(v)]
    end
    assert_in_delta 1.5, signed_area(plane).abs, 1e-4
    [[0, 0], [1.5, 0], [1.5, 1], [0, 1]].each do |corner|
      assert plane.any? { |p| (p[0] - corner[0]).abs < 1e-4 && (p[1] - corner[1]).abs < 1e-4 }, corner.inspect
    end
  end

  def test_orientation
    [
      [[[0, 0, 0], [1, 0, 0], [1, 1, 0]], true],
      [[[1, 1, 0], [1, 0, 0], [0, 0, 0]], false],
      [[[0, 0, 0], [1, 0, 0]], true],
      [rect(0, 0, 1, 1), true],
      [rect(0, 0, 1, 1).reverse, false],
    ].each { |ring, expected| assert_equal expected, V.cpp_paint_area_path_orientation(ring), ring.inspect }
  end

  def test_simplify_paths
    near_start = [[0, 0, 0], [0.001, 0, 0], [1, 0, 0], [1, 1, 0], [0, 0, 0]]
    result = V.cpp_paint_area_simplify_paths([near_start, rect(0, 0, 1, 1)], 0.1)
    assert_equal 2, result.size
    ring, square = result
    start = f32(0.001)
    assert_equal [[start, 0.0, 0.0], [1.0, 0.0, 0.0], [1.0, 1.0, 0.0], [start, 0.0, 0.0]], ring
    assert_closed ring
    assert_equal rect(0.0, 0.0, 1.0, 1.0), square
    assert_closed square
    # The tolerance 0.1 drops a vertex closer than 0.01 to its successor.
    [["a vertex within the tolerance goes", 0.005, 5], ["a vertex beyond it stays", 0.02, 6]].each do |name, offset, size|
      wiggly = [[0, 0, 0], [1, 0, 0], [1 + offset, 0, 0], [1, 1, 0], [0, 1, 0], [0, 0, 0]]
      ring = V.cpp_paint_area_simplify_paths([wiggly], 0.1)[0]
      assert_equal size, ring.size, name
      assert_closed ring
    end
    tiny = [[0, 0, 0], [0.001, 0, 0], [0.001, 0.001, 0], [0, 0, 0]]
    assert_equal [[nil]], V.cpp_paint_area_simplify_paths([tiny], 0.1)  # every point dropped
    assert_equal [[]], V.cpp_paint_area_simplify_paths([[]], 0.1)
  end

  def test_simplify_polytree_keeps_the_shape_of_the_tree
    marker = Object.new
    wiggly_hole = [[1, 1, 0], [1, 2, 0], [2, 2, 0], [2, 1.0001, 0], [2, 1, 0], [1, 1, 0]]
    tree = [[rect(0, 0, 4, 4), false, [[wiggly_hole, marker, [[rect(1.2, 1.2, 1.8, 1.8), false, []]]]]],
            [rect(5, 5, 6, 6), false, []]]
    result = V.cpp_paint_area_simplify_polytree(tree, 0.1)
    assert_equal 2, result.size
    outer, hole, island = tree_entries(result)
    assert_equal rect(0.0, 0.0, 4.0, 4.0), outer[0]
    assert_equal false, outer[1]
    assert_same marker, hole[1]
    assert_equal [[1.0, 1.0, 0.0], [1.0, 2.0, 0.0], [2.0, 2.0, 0.0], [2.0, 1.0, 0.0], [1.0, 1.0, 0.0]], hole[0]
    assert_equal [], island[2]
    assert_equal rect(5.0, 5.0, 6.0, 6.0), result[1][0]
    tree_entries(result).each { |ring, _, _| assert_closed ring }
  end

  def test_coordinates_beyond_the_clip_range_raise_range_error
    nan, inf = Float::NAN, Float::INFINITY
    near_limit = [[4e13, 0, 4e13], [4e13, 1, -4e13], [4e13 + 1, 0, 4e13]]
    assert_equal 1, paint([], near_limit)[0].size
    [[1e14, 0, 0], [-1e14, 0, 0], [0, 5e13, 0], [0, 0, 1e14], [nan, 0, 0], [0, inf, 0]].each do |bad|
      brush = [bad, [1, 0, 0], [1, 1, 0]]
      [-> { paint([], brush) }, -> { paint([brush], rect(0, 0, 1, 1)) },
       -> { V.cpp_paint_area_path_orientation(brush) }].each do |call|
        error = assert_raises(RangeError, bad.inspect) { call.() }
        assert_equal "Coordinate outside allowed range", error.message
      end
    end
    # Rotated into the custom-axis frame, a coordinate near the limit leaves the range.
    # The eighth turn about Y takes one of the vertices to |X| = 5.7e13 in the frame.
    error = assert_raises(RangeError) { paint([], near_limit, project: true, axis: [1, 0, -1]) }
    assert_equal "Coordinate outside allowed range", error.message
  end

  def test_malformed_input_raises_type_error
    good = { "project_custom_axis" => false, "custom_axis" => [0, 0, -1], "erase" => false,
             "area" => [rect(0, 0, 1, 1)], "circle" => rect(0.5, 0, 1.5, 1) }
    [
      ["settings not a Hash", -> { V.cpp_paint_area_union(nil) }],
      ["missing custom axis", -> { V.cpp_paint_area_union(good.merge("custom_axis" => nil)) }],
      ["area nil", -> { V.cpp_paint_area_union(good.merge("area" => nil)) }],
      ["area ring nil", -> { V.cpp_paint_area_union(good.merge("area" => [nil])) }],
      ["a simplified-away ring fed back", -> { V.cpp_paint_area_union(good.merge("circle" => [nil])) }],
      ["circle missing", -> { V.cpp_paint_area_union(good.reject { |k, _| k == "circle" }) }],
      ["a two-number point", -> { V.cpp_paint_area_union(good.merge("circle" => [[0, 0], [1, 0, 0], [1, 1, 0]])) }],
      ["a String coordinate", -> { V.cpp_paint_area_union(good.merge("circle" => [["0", 0, 0], [1, 0, 0], [1, 1, 0]])) }],
      ["orientation of nil", -> { V.cpp_paint_area_path_orientation(nil) }],
      ["simplify paths not an Array", -> { V.cpp_paint_area_simplify_paths(nil, 0.1) }],
      ["simplify a nil ring", -> { V.cpp_paint_area_simplify_paths([nil], 0.1) }],
      ["simplify a nil tolerance", -> { V.cpp_paint_area_simplify_paths([], nil) }],
      ["tree entry not an Array", -> { V.cpp_paint_area_simplify_polytree([nil], 0.1) }],
      ["tree children nil", -> { V.cpp_paint_area_simplify_polytree([[rect(0, 0, 1, 1), false, nil]], 0.1) }],
    ].each { |name, call| assert_raises(TypeError, name) { call.() } }
  end

  def test_deep_trees_are_refused_without_overflowing_the_stack
    skip "10,000 levels under GC.stress take minutes" if VandrelTest::GC_MODE == "stress"
    nested = ->(depth) { (1..depth).reduce([]) { |children, _| [[[], false, children]] } }
    levels = 0
    node = V.cpp_paint_area_simplify_polytree(nested.(10_000), 0.1)
    (levels += 1; node = node[0][2]) until node.empty?
    assert_equal 10_000, levels
    error = assert_raises(ArgumentError) { V.cpp_paint_area_simplify_polytree(nested.(10_001), 0.1) }
    assert_match(/10000 levels/, error.message)
  end
end
