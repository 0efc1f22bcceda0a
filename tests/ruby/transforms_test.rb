require "test_helper"

class TransformsTest < Minitest::Test
  def record(position, normal: [0.0, 0.0, 1.0], scale: 1.0, seed: 7, index: 0, triple: nil, heading: 0.0)
    [position, normal, scale, seed, index, -1.0, triple, heading]
  end

  def definition(percent = 100, origin = "center", lo = [-1, -1, 0], hi = [1, 1, 2])
    ["name", 1, percent, origin, lo, hi]
  end

  def scale_settings(randomise, mode, *bounds) = [randomise, mode, *bounds]

  # A draw between low and high percent, as the engine makes it in float.
  def percent_draw(low, high)
    lo = f32(low / 100.0)
    f32(f32(CRand.unit * f32(f32(high / 100.0) - lo)) + lo)
  end

  def test_scale_multiplies_by_the_definition_percent_and_draws_per_axis_factors
    rows = [record([0, 0, 0], scale: 2.0, seed: 11), record([1, 0, 0], seed: 12, index: 1)]
    defs = [[definition(50), definition(200)]]
    x = -> { percent_draw(50, 150) }
    y = -> { percent_draw(80, 90) }
    z = -> { percent_draw(10, 20) }
    [
      ["xyz", -> { v = x.(); [v, v, v] }],
      ["xy", -> { v = x.(); [v, v, z.()] }],
      ["XYZ", -> { [x.(), y.(), z.()] }],   # modes are compared exactly
    ].each do |mode, expected_factors|
      out = QEL_Vandrel.cpp_scale(rows, defs, scale_settings(true, mode, 50, 150, 80, 90, 10, 20), nil)
      [[11, 1.0], [12, 2.0]].each_with_index do |(seed, expected_scale), i|
        assert_equal expected_scale, out[i][2], "mode #{mode} row #{i}"
        CRand.seed(seed)
        assert_equal expected_factors.(), out[i][6], "mode #{mode} row #{i}"
      end
    end
  end

  def test_scale_without_definition_or_randomising
    rows = [record([0, 0, 0], scale: 3.0, index: -1), record([0, 0, 0], scale: 3.0)]
    before = Marshal.load(Marshal.dump(rows))
    out = QEL_Vandrel.cpp_scale(rows, [[definition(50)]], scale_settings(false, "xyz", 1, 2, 1, 2, 1, 2), :ignored)
    assert_equal [3.0, [1.0, 1.0, 1.0]], [out[0][2], out[0][6]]
    assert_equal [1.5, [1.0, 1.0, 1.0]], [out[1][2], out[1][6]]
    assert_equal before, rows, "the given rows stay unchanged"
    assert_same rows[0][0], out[0][0]
    equal = QEL_Vandrel.cpp_scale([record([0, 0, 0])], [[definition]], scale_settings(true, "x", 40, 40, 40, 40, 40, 40), nil)
    assert_equal [f32(0.4)] * 3, equal[0][6]
  end

  def test_scale_errors
    settings = scale_settings(true, "xyz", 1, 2, 1, 2, 1, 2)
    [
      [[[record([0, 0, 0], index: 2)], [[definition]], settings], IndexError],
      [[[record([0, 0, 0], index: -2)], [[definition]], settings], IndexError],
      [[[], [[definition]], scale_settings(true, :xyz, 1, 2, 1, 2, 1, 2)], TypeError],
      [[[], [[definition]], scale_settings(true, "xyz", 1, nil, 1, 2, 1, 2)], TypeError],
      [[[nil], [[definition]], settings], TypeError],
      [[[record([0, 0, 0])], nil, settings], TypeError],
    ].each do |args, error|
      assert_raises(error, args.inspect) { QEL_Vandrel.cpp_scale(*args, nil) }
    end
  end

  def transform_settings(points, defs, **flags)
    {
      "seed" => 1, "points" => points, "comp_defs" => [defs],
      "scale" => [flags.fetch(:scale, false), "xyz", 100, 100, 100, 100, 100, 100],
      "rotation" => [flags.fetch(:rotation, false), -3, 3, -3, 3, -3, 3],
      "translation" => [flags.fetch(:translation, false), -1, 1, -1, 1, 0, 0],
      "pointing" => flags.fetch(:pointing, 0), "swap_yz" => flags.fetch(:swap_yz, false),
      "mirror" => flags.fetch(:mirror, false), "vmirror" => flags.fetch(:vmirror, false),
      "r90_180_270" => flags.fetch(:quarter, false),
    }
  end

  # The matrix of a transformation array (column by column) as rows.
  def matrix(t) = Array.new(4) { |r| Array.new(4) { |c| t[4 * c + r] } }
  def column(m, c) = [m[0][c], m[1][c], m[2][c]]
  def dot(a, b) = a.zip(b).sum { |x, y| x * y }
  def norm(a) = Math.sqrt(dot(a, a))

  def test_transforms_are_rotation_times_scale_placed_at_the_point
    rng = Random.new(5)
    points = Array.new(sized(40)) do |i|
      record([rng.rand(-50.0..50.0), rng.rand(-50.0..50.0), rng.rand(0.0..9.0)], scale: rng.rand(0.5..2.0),
             seed: i * 7919, triple: [rng.rand(0.5..1.5), rng.rand(0.5..1.5), rng.rand(0.5..1.5)],
             heading: rng.rand(-3.0..3.0), index: i % 2)
    end
    defs = [definition(100, "other"), definition(100, "other")]
    items = QEL_Vandrel.cpp_random_transform(transform_settings(points, defs, scale: true, rotation: true, quarter: true))
    assert_equal points.size, items.size
    items.zip(points) do |(t, index), r|
      assert_equal r[4], index
      m = matrix(t)
      assert_equal [0.0, 0.0, 0.0, 1.0], m[3]
      3.times { |k| assert_in_delta r[0][k], m[k][3], 1e-4 }
      # M = uniform * per-axis scale * rotations: without pointing, row k of the 3x3 part
      # is a row of a rotation scaled by the uniform and the k-th axis factor.
      axes = (0..2).map { |k| m[k][0, 3].map { |x| x / (r[2] * r[6][k]) } }
      axes.each { |a| assert_in_delta 1.0, norm(a), 1e-5 }
      [[0, 1], [0, 2], [1, 2]].each { |i, j| assert_in_delta 0.0, dot(axes[i], axes[j]), 1e-5 }
    end
  end

  def test_pointing_follows_the_normal
    normal = [0.6, 0.0, 0.8]
    points = [record([1, 2, 3], normal: normal)]
    [[100, normal], [0, [0, 0, 1]]].each do |pointing, expected_up|
      (t, _), = QEL_Vandrel.cpp_random_transform(transform_settings(points, [definition(100, "other")], pointing: pointing))
      up = column(matrix(t), 2)
      expected_up.zip(up) { |e, a| assert_in_delta e, a, 1e-5, "pointing #{pointing}" }
    end
    (t, _), = QEL_Vandrel.cpp_random_transform(
      transform_settings(points, [definition(100, "other")], pointing: 100, swap_yz: true))
    normal.zip(column(matrix(t), 1)) { |e, a| assert_in_delta e, a, 1e-5, "swapped: local y follows the normal" }
  end

  def test_the_down_normal_turns_half_about_x
    points = [record([0, 0, 0], normal: [0.0, 0.0, -1.0])]
    (t, _), = QEL_Vandrel.cpp_random_transform(transform_settings(points, [definition(100, "other")], pointing: 30))
    m = matrix(t)
    [[1, 0, 0], [0, -1, 0], [0, 0, -1]].each_with_index do |row, r|
      row.each_with_index { |e, c| assert_in_delta e, m[r][c], 1e-5 }
    end
  end

  def test_centred_definitions_put_the_bottom_face_centre_on_the_point
    defs = [definition(100, "center", [2, 4, 1], [6, 8, 5])]
    points = [record([10, 20, 30], scale: 2.5, triple: [2, 3, 4], heading: 1.0)]
    (t, _), = QEL_Vandrel.cpp_random_transform(transform_settings(points, defs, scale: true, rotation: true, mirror: true))
    m = matrix(t)
    base = [4, 6, 1, 1]
    placed = (0..2).map { |r| dot(m[r], base) }
    [10, 20, 30].zip(placed) { |e, a| assert_in_delta e, a, 1e-4 }
  end

  def test_a_record_depends_only_on_itself
    a = record([1, 2, 3], seed: 99)
    b = record([4, 5, 6], seed: 5)
    settings = ->(pts) { transform_settings(pts, [definition], rotation: true, translation: true, mirror: true, vmirror: true, quarter: true) }
    alone = QEL_Vandrel.cpp_random_transform(settings.([a]))
    together = QEL_Vandrel.cpp_random_transform(settings.([b, a]))
    assert_equal alone[0], together[1]
  end

  def test_records_without_definition_are_skipped_and_bad_indices_raise
    points = [record([0, 0, 0], index: -1), record([1, 1, 1])]
    items = QEL_Vandrel.cpp_random_transform(transform_settings(points, [definition]))
    assert_equal [0], items.map(&:last)
    assert_raises(IndexError) { QEL_Vandrel.cpp_random_transform(transform_settings([record([0, 0, 0], index: 1)], [definition])) }
    assert_raises(TypeError) { QEL_Vandrel.cpp_random_transform(transform_settings([record([0, 0, 0])], [definition(100, :center)])) }
    assert_raises(TypeError) { QEL_Vandrel.cpp_random_transform(transform_settings([], [definition]).merge("rotation" => [false, nil, 1, 1, 1, 1, 1])) }
    assert_equal [], QEL_Vandrel.cpp_random_transform(transform_settings([], [definition]))
  end

  # 4x4 products in double, M * X as the engine composes them.
  def mul(a, b) = Array.new(4) { |r| Array.new(4) { |c| (0..3).sum { |k| a[r][k] * b[k][c] } } }
  def diagonal(x, y, z) = [[x, 0, 0, 0], [0, y, 0, 0], [0, 0, z, 0], [0, 0, 0, 1]]
  def shift(x, y, z) = [[1, 0, 0, x], [0, 1, 0, y], [0, 0, 1, z], [0, 0, 0, 1]]

  def turn(axis, angle)
    c, s = Math.cos(angle), Math.sin(angle)
    i, j = [[1, 2], [2, 0], [0, 1]][axis]
    m = diagonal(1, 1, 1)
    m[i][i], m[i][j], m[j][i], m[j][j] = c, -s, s, c
    m
  end

  # Up to three percentage draws, each at most 25 to take its option: the index taken, or nil.
  def first_of_three = 3.times.find { CRand.percentage <= 25 }

  def value_draws(bounds)
    units = Array.new(3) { CRand.unit }
    units.each_with_index.map do |u, k|
      lo = f32(bounds[2 * k])
      f32(f32(u * f32(f32(bounds[2 * k + 1]) - lo)) + lo)
    end
  end

  # One record's draws in the engine's order: mirror, vertical mirror, translation x, y, z,
  # rotation x, y, z, quarter turns.
  def expected_transform(seed, translation, rotation)
    CRand.seed(seed)
    m = diagonal(1, 1, 1)
    mirror = first_of_three
    m = mul(m, diagonal(*[[-1, 1, 1], [1, -1, 1], [-1, -1, 1]][mirror])) if mirror
    m = mul(m, diagonal(1, 1, -1)) if CRand.percentage <= 50
    m = mul(m, shift(*value_draws(translation)))
    value_draws(rotation).each_with_index { |angle, axis| m = mul(m, turn(axis, angle)) }
    quarter = first_of_three
    m = mul(m, turn(2, [1.5707964, 3.1415927, 4.712389][quarter])) if quarter
    m
  end

  def test_every_option_draws_in_order_from_the_records_own_stream
    translation = [-1, 1, 2, 3, -5, -4]
    rotation = [-3, -2, 0.5, 1, 2, 3]
    points = Array.new(sized(200)) { |i| record([0, 0, 0], seed: i * 7919 + 3, index: 0, triple: [1, 1, 1]) }
    settings = transform_settings(points, [definition(100, "other")], translation: true, rotation: true,
                                  mirror: true, vmirror: true, quarter: true)
    settings["translation"] = [true, *translation]
    settings["rotation"] = [true, *rotation]
    items = QEL_Vandrel.cpp_random_transform(settings)
    after = CRand.next_int
    items.zip(points).each_with_index do |((t, _), r), i|
      expected = expected_transform(r[3], translation, rotation)
      actual = matrix(t)
      4.times { |row| 4.times { |c| assert_in_delta expected[row][c], actual[row][c], 1e-4, "record #{i} [#{row}][#{c}]" } }
    end
    assert_equal CRand.next_int, after, "the stream goes on from the last record's draws"
  end

  def test_preview_boxes_follow_the_box_numbering
    identity = [1.0, 0, 0, 0, 0, 1.0, 0, 0, 0, 0, 1.0, 0, 0, 0, 0, 1.0]
    boxes = QEL_Vandrel.cpp_bboxes([[identity, 0]], [definition(100, "center", [0, 0, 0], [1, 2, 3])])
    assert_equal 1, boxes.size
    edges = boxes[0]
    assert_equal 12, edges.size
    assert_equal [[0.0, 0.0, 0.0], [0.0, 0.0, 3.0]], edges[0]
    corner = ->(i) { [i & 4 == 0 ? 0.0 : 1.0, i & 2 == 0 ? 0.0 : 2.0, i & 1 == 0 ? 0.0 : 3.0] }
    [[0, 1], [0, 2], [0, 4], [1, 3], [1, 5], [2, 3], [2, 6], [3, 7], [4, 5], [4, 6], [5, 7], [6, 7]].each_with_index do |(a, b), i|
      assert_equal [corner.(a), corner.(b)], edges[i], "edge #{i}"
    end
  end

  def test_preview_boxes_of_transform_items
    defs = [definition(100, "center", [-1, -1, 0], [1, 1, 2])]
    items = QEL_Vandrel.cpp_random_transform(transform_settings([record([5, 6, 7])], defs))
    edges = QEL_Vandrel.cpp_bboxes(items, defs)[0]
    corners = edges.flatten(1).uniq
    assert_equal 8, corners.size
    corners.each do |x, y, z|
      assert_in_delta 5, x, 1.0 + 1e-5
      assert_in_delta 6, y, 1.0 + 1e-5
      assert z.between?(7 - 1e-5, 9 + 1e-5)
    end
    assert_raises(IndexError) { QEL_Vandrel.cpp_bboxes([[items[0][0], 3]], defs) }
    assert_raises(TypeError) { QEL_Vandrel.cpp_bboxes([[items[0][0][0, 15], 0]], defs) }
  end
end
