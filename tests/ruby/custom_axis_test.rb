require "test_helper"

class CustomAxisTest < Minitest::Test
  def record(position, normal = [0.0, 0.0, 1.0])
    [position, normal, 1.0, nil, nil, nil, nil, 0.0]
  end

  def assert_point_near(expected, actual, tolerance = 1e-5)
    expected.zip(actual).each { |e, a| assert_in_delta e, a, tolerance, -> { "#{expected} vs #{actual}" } }
  end

  def test_the_down_axis_is_the_identity_at_any_length
    rows = [record([1.5, -2.25, 3.0]), record([0.1, 0, 0])]
    [[0, 0, -1], [0, 0, -7]].each do |axis|
      [true, false].each do |to_world|
        out = QEL_Vandrel.cpp_custom_axis(rows, axis, to_world)
        assert_equal [[1.5, -2.25, 3.0], [f32(0.1), 0.0, 0.0]], out.map(&:first)
      end
    end
  end

  def test_the_up_axis_is_a_half_turn_about_y
    out = QEL_Vandrel.cpp_custom_axis([record([1, 2, 3])], [0, 0, 1], true)
    assert_point_near [-1, 2, -3], out[0][0]
  end

  def test_world_to_frame_and_back_returns_the_positions
    rng = Random.new(7)
    axes = [[1, 0, 0], [-1, 0, 0], [0, 1, 0], [0.3, -0.2, -0.9], [0, 0, 1]] +
           Array.new(sized(20)) { Array.new(3) { rng.rand(-1.0..1.0) } }
    positions = Array.new(sized(10)) { Array.new(3) { rng.rand(-100.0..100.0) } }
    rows = positions.map { |p| record(p) }
    axes.each do |axis|
      framed = QEL_Vandrel.cpp_custom_axis(rows, axis, false)
      back = QEL_Vandrel.cpp_custom_axis(framed, axis, true)
      positions.zip(back) { |p, row| assert_point_near p, row[0], 1e-3 }
    end
  end

  def test_the_frame_turns_the_axis_down
    axis = [2, -1, 0.5]
    length = Math.sqrt(axis.sum { |c| c * c })
    out = QEL_Vandrel.cpp_custom_axis([record(axis)], axis, false)
    assert_point_near [0, 0, -length], out[0][0]
  end

  def test_copies_share_every_slot_but_the_position_and_leave_the_rows_alone
    normal = [0.0, 0.6, 0.8]
    rows = [record([1, 2, 3], normal) + [:extra]]
    before = Marshal.load(Marshal.dump(rows))
    gc_checkpoint
    out = QEL_Vandrel.cpp_custom_axis(rows, [1, 0, 0], true)
    assert_equal before, rows
    refute_same rows[0], out[0]
    assert_equal 9, out[0].size
    assert_same normal, out[0][1], "normals are never rotated"
    (1...9).each { |k| assert_same rows[0][k], out[0][k] }
  end

  def test_malformed_arguments_raise
    [
      [[nil, [0, 0, 1], true], TypeError],
      [[[nil], [0, 0, 1], true], TypeError],
      [[[[]], [0, 0, 1], true], TypeError],      # a row without a position
      [[[[[1, 2]]], [0, 0, 1], true], TypeError],
      [[[record([1, 2, 3])], [0, 0], true], TypeError],
      [[[record([1, 2, 3])], "axis", true], TypeError],
    ].each do |args, error|
      assert_raises(error, args.inspect) { QEL_Vandrel.cpp_custom_axis(*args) }
    end
  end

  def test_empty_rows_give_an_empty_array
    assert_equal [], QEL_Vandrel.cpp_custom_axis([], [0, 0, 1], true)
  end
end
