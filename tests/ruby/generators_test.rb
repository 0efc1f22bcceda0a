require "test_helper"

class GeneratorsTest < Minitest::Test
  def load_square(size = 10)
    QEL_Vandrel.cpp_initialize_surface([Scenes.square(size)], false, [0, 0, -1])
  end

  def grid(sx, sy, jx = 0, jy = 0, ox = 0, oy = 0, angle = 0, seed = 1)
    QEL_Vandrel.cpp_generate_uniform_points(sx, sy, jx, jy, ox, oy, angle, seed)
  end

  def test_grid_lays_columns_and_rows_at_the_spacing_on_top_of_the_box
    load_square
    points = grid(2, 2)
    assert_equal 36, points.size
    xs = points.map { |p| p[0].round(3) }.uniq.sort
    assert_equal (0..5).map { |i| (-0.0099 + 2 * i).round(3) }, xs
    points.each { |p| assert_in_delta 0.01, p[2], 1e-6 }
  end

  def test_grid_spacing_zero_and_offsets
    load_square
    [
      [[0, 0, 0, 0, 0, 0], 1],        # one cell the size of the box
      [[2, 2, 0, 0, 5, 0], 5 * 6],    # an offset of 5 in steps of 2 starts at 1
      [[2, 2, 0, 0, -2, 0], 7 * 6],   # a negative offset keeps a column before the box
      [[20, 20, 0, 0, 0, 0], 1],
    ].each do |(sx, sy, jx, jy, ox, oy), count|
      assert_equal count, grid(sx, sy, jx, jy, ox, oy).size, "settings #{[sx, sy, ox, oy]}"
    end
    first_column = grid(2, 2, 0, 0, 5, 0).map { |p| p[0] }.min
    assert_in_delta 1.0001 - 0.01, first_column, 1e-4
  end

  def test_grid_jitter_is_one_sided_and_drawn_from_the_seeded_stream
    load_square
    seed = 77
    points = grid(2, 2, 50, 25, 0, 0, 0, seed)
    CRand.seed(seed + 0)  # the box around the square starts at x = 0
    expected = []
    x = f32(0.0001)
    while 10.01 > x
      y = f32(0.0001)
      while 10.01 > y
        dx = f32(f32(f32(CRand.fraction * 2) * 50) * f32(0.01))
        dy = f32(f32(f32(CRand.fraction * 2) * 25) * f32(0.01))
        expected << [x + dx - 0.01, y + dy - 0.01] if x + dx <= 10.01 && y + dy <= 10.01
        y = f32(y + 2)
      end
      x = f32(x + 2)
    end
    assert_equal expected.size, points.size
    expected.zip(points).each do |(ex, ey), p|
      assert_in_delta ex, p[0], 1e-4
      assert_in_delta ey, p[1], 1e-4
    end
  end

  def test_grid_turned_by_the_angle_keeps_its_spacing
    load_square
    points = grid(3, 3, 0, 0, 0, 0, 30)
    refute_empty points
    nearest = points.map { |p| points.reject { |q| q.equal?(p) }.map { |q| Math.hypot(p[0] - q[0], p[1] - q[1]) }.min }
    nearest.each { |d| assert_in_delta 3.0, d, 1e-3 }
  end

  def test_bad_grid_spacing_raises_instead_of_hanging
    load_square
    [
      [[-1, 2], ArgumentError],
      [[2, Float::NAN], ArgumentError],
      [[1e-9, 1e-9], RangeError],     # far more cells than can be made
      [[nil, 2], TypeError],
    ].each do |(sx, sy), error|
      assert_raises(error, "spacing #{[sx, sy]}") { grid(sx, sy) }
    end
  end

  def test_grid_on_an_empty_surface_is_empty
    QEL_Vandrel.cpp_initialize_surface([], false, [0, 0, -1])
    assert_equal [], grid(2, 2)
    QEL_Vandrel.cpp_initialize_surface([[[], [0, 0, 1]]], false, [0, 0, -1])
    assert_equal [], grid(2, 2)
  end

  def test_random_face_points_lie_on_their_faces_in_the_expected_count
    faces = Scenes.terrain(4, 40.0)
    QEL_Vandrel.cpp_initialize_surface(faces, false, [0, 0, -1])
    area = 40.0 * 40.0 / faces.size  # in plan; the tilt adds a little, so counts are at least this
    records = QEL_Vandrel.cpp_generate_random_points(0.5, "random", 2, 9)
    assert_operator records.size, :>=, faces.size * (area * 1.0).floor
    records.each do |r|
      assert_equal 8, r.size
      assert_equal [1.0, nil, nil, nil, nil, 0.0], r[2..7]
      assert_in_delta 1.0, Math.sqrt(r[1].sum { |c| c * c }), 1e-5
      on_some_face = faces.any? { |f| point_on_triangle?(r[0], f[0]) }
      assert on_some_face, "#{r[0]} lies on no face"
    end
  end

  def point_on_triangle?(p, (a, b, c))
    u = [b[0] - a[0], b[1] - a[1], b[2] - a[2]]
    v = [c[0] - a[0], c[1] - a[1], c[2] - a[2]]
    w = [p[0] - a[0], p[1] - a[1], p[2] - a[2]]
    n = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]
    nn = n.sum { |x| x * x }
    return false if (w.zip(n).sum { |x, y| x * y }).abs / Math.sqrt(nn) > 1e-3
    cross = ->(s, t) { [s[1] * t[2] - s[2] * t[1], s[2] * t[0] - s[0] * t[2], s[0] * t[1] - s[1] * t[0]] }
    dot = ->(s, t) { s.zip(t).sum { |x, y| x * y } }
    beta = dot.(cross.(w, v), n) / nn
    gamma = dot.(cross.(u, w), n) / nn
    beta >= -1e-4 && gamma >= -1e-4 && beta + gamma <= 1 + 1e-4
  end

  def test_integral_counts_on_a_flat_face
    load_square
    [[0.5, 1, 25], [1, 1, 100], [0.1, 3, 9]].each do |density, factor, count|
      records = QEL_Vandrel.cpp_generate_random_points(density, "random", factor, 5)
      assert_equal count, records.size, "density #{density} factor #{factor}"
      records.each do |r|
        assert_equal 0.0, r[0][2]
        assert r[0][0].between?(0, 10) && r[0][1].between?(0, 10)
        assert_equal [0.0, 0.0, 1.0], r[1]
      end
    end
  end

  def test_random_face_points_repeat_for_a_seed_and_spread_for_seed_zero
    load_square
    a = QEL_Vandrel.cpp_generate_random_points(0.5, "random", 1, 0)
    b = QEL_Vandrel.cpp_generate_random_points(0.5, "random", 1, 0)
    assert_equal a, b
    assert_operator a.map(&:first).uniq.size, :>, 20, "seed 0 must not put every point on one spot"
    refute_equal a, QEL_Vandrel.cpp_generate_random_points(0.5, "random", 1, 3)
  end

  def test_projection_points_spread_over_the_box_at_its_top
    QEL_Vandrel.cpp_initialize_surface([Scenes.square(10, 2), Scenes.square(10, 5, x0: 10)], false, [0, 0, -1])
    points = QEL_Vandrel.cpp_generate_random_points(0.3, "projection", 1, 4)
    assert_equal (f32(f32(0.3 * 20) * 1) * f32(f32(0.3 * 10) * 1)).ceil, points.size
    points.each do |x, y, z|
      assert x.between?(0, 20) && y.between?(0, 10)
      assert_equal 5.0, z
    end
  end

  def test_too_many_random_points_raise
    load_square
    assert_raises(RangeError) { QEL_Vandrel.cpp_generate_random_points(1e4, "random", 1, 1) }
    assert_raises(RangeError) { QEL_Vandrel.cpp_generate_random_points(1e4, "projection", 1, 1) }
    assert_raises(TypeError) { QEL_Vandrel.cpp_generate_random_points(1, :projection, 1, 1) }
  end

  def test_faces_points_are_centroids_with_the_face_normal
    QEL_Vandrel.cpp_initialize_surface([Scenes.square(4, 1), [[[0, 0, 0], [0, 3, 0], [0, 0, 3]], nil]], false, [0, 0, -1])
    records = QEL_Vandrel.cpp_generate_faces_points
    assert_equal [[2.0, 2.0, 1.0], [0.0, 0.0, 1.0], 1.0, nil, nil, nil, nil, 0.0], records[0]
    assert_equal [0.0, 1.0, 1.0], records[1][0]
    assert_in_delta 1.0, records[1][1][0].abs, 1e-6
  end

  def load_curves(*curves) = QEL_Vandrel.cpp_initialize_curves(curves)

  def spaced(spacing, offset = 0, jitter = 0, seed = 1)
    QEL_Vandrel.cpp_generate_uniform_points(spacing, nil, jitter, nil, offset, nil, nil, seed)
  end

  def test_curve_spacing_runs_on_across_joints
    [
      [[[[0, 0, 0], [10, 0, 0]]], 3, 0, [[0, 0], [3, 0], [6, 0], [9, 0]]],
      [[[[0, 0, 0], [2, 0, 0], [2, 2, 0]]], 3, 0, [[0, 0], [2, 1]]],
      [[[[0, 0, 0], [10, 0, 0]]], 3, 4, [[1, 0], [4, 0], [7, 0]]],   # the offset reduced into one step
      [[[[0, 0, 0], [10, 0, 0]]], 0, 0, []],
    ].each do |curves, spacing, offset, expected|
      load_curves(*curves)
      got = spaced(spacing, offset).map { |r| r[0][0, 2].map { |c| c.round(4) } }
      assert_equal expected, got, "spacing #{spacing} offset #{offset}"
    end
  end

  def test_curve_records_carry_the_heading_of_their_segment
    load_curves([[0, 0, 0], [0, 1, 0], [0, -1, 0], [3, -1, 4]])
    records = QEL_Vandrel.cpp_generate_vertices_points(nil)
    assert_equal [[0.0, 1.0, 0.0], [0.0, -1.0, 0.0], [0.0, 0.0, 0.0]], records.map(&:first)
    assert_equal [f32(Math::PI / 2), -f32(Math::PI / 2), f32(Math::PI / 2)], records.map(&:last)
    records.each { |r| assert_equal [[0.0, 0.0, 1.0], 1.0, nil, nil, nil, nil], r[1..6] }
    assert_equal 0.0, spaced(1).last.last  # the last segment runs along +x in plan
  end

  def test_curve_spacing_jitter_and_sign_come_from_the_seeded_stream
    load_curves([[5, 0, 0], [25, 0, 0]])
    seed = 12
    records = spaced(2, 0, 40, seed)
    CRand.seed(seed + 5)
    expected = []
    d = 0.0
    start = 5.0
    while f32(25.0 - start) > d
      start = f32(start + d)
      expected << start
      j = f32(f32(f32(CRand.fraction * 2) * 40) * f32(0.01))
      d = f32((CRand.percentage <= 50 ? -j : j) + 2)
    end
    assert_equal expected.size, records.size
    expected.zip(records) { |x, r| assert_in_delta x, r[0][0], 1e-4 }
  end

  def test_random_curve_points_lie_on_the_curve
    load_curves([[0, 0, 0], [10, 0, 0], [10, 10, 5]])
    records = QEL_Vandrel.cpp_generate_random_points(2, "ignored", 1, 3)
    length = 10 + Math.sqrt(125)
    assert_operator records.size, :>=, (2 * length).floor - 1
    records.each do |r|
      x, y, z = r[0]
      on_first = y.abs < 1e-5 && z.abs < 1e-5 && x.between?(0, 10)
      on_second = (x - 10).abs < 1e-4 && (z - y / 2).abs < 1e-4
      assert on_first || on_second, "#{r[0]} is off the curve"
      assert_in_delta(on_first ? 0.0 : Math::PI / 2, r[7], 1e-6)
    end
  end

  def test_curves_without_segments_yield_no_points
    load_curves([[1, 1, 1]], [])
    assert_equal [], spaced(1)
    assert_equal [], QEL_Vandrel.cpp_generate_random_points(5, "x", 1, 1)
    assert_equal [], QEL_Vandrel.cpp_generate_vertices_points(nil)
  end

  def test_bad_curve_spacing_raises
    load_curves([[1e6, 0, 0], [1e6 + 10, 0, 0]])
    assert_raises(ArgumentError) { spaced(-1) }
    assert_raises(RangeError) { spaced(1e-3) }  # below the float resolution at 1e6
    assert_raises(RangeError) { spaced(1e-7 * 10) }
  end

  def test_vertices_points_return_the_argument_on_surfaces
    load_square
    marker = [:anything]
    assert_same marker, QEL_Vandrel.cpp_generate_vertices_points(marker)
  end
end
