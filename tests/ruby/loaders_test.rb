require "test_helper"

class LoadersTest < Minitest::Test
  TRIANGLE = [[[0, 0, 0], [2, 0, 1], [0, 3, 0]], [0.0, 0.0, 1.0]].freeze

  def test_surface_load_returns_the_smallest_x_of_all_vertices
    [
      [[], false, [0, 0, -1], Float::INFINITY],
      [[TRIANGLE], false, [0, 0, -1], 0.0],
      [[TRIANGLE, [[[-4.5, 1, 1], [0, 0, 0], [1, 1, 1]], nil]], false, [0, 0, -1], -4.5],
      [[TRIANGLE], false, [0, 0, 1], 0.0],   # the axis only counts when asked for
      [[TRIANGLE], true, [0, 0, 1], -2.0],   # a half turn about y negates x
    ].each do |faces, use_axis, axis, expected|
      got = QEL_Vandrel.cpp_initialize_surface(faces, use_axis, axis)
      expected.infinite? ? assert_equal(expected, got) : assert_in_delta(expected, got, 1e-5)
    end
  end

  def test_loaders_report_success
    assert_equal true, QEL_Vandrel.cpp_initialize_curves([[[0, 0, 0], [1, 0, 0]], [[1, 1, 1]], []])
    assert_equal true, QEL_Vandrel.cpp_initialize_object_areas([[[[1, 2, 5], [3, 2, 5], [3, 4, 5]]]])
  end

  def test_malformed_scenes_raise
    [
      -> { QEL_Vandrel.cpp_initialize_surface(nil, false, [0, 0, -1]) },
      -> { QEL_Vandrel.cpp_initialize_surface([[nil, 1]], false, [0, 0, -1]) },
      -> { QEL_Vandrel.cpp_initialize_surface([[[[0, 0]], 1]], false, [0, 0, -1]) },
      -> { QEL_Vandrel.cpp_initialize_surface([TRIANGLE], false, nil) },
      -> { QEL_Vandrel.cpp_initialize_curves([[[0, 0, 0], "p"]]) },
      -> { QEL_Vandrel.cpp_initialize_curves([nil]) },
      -> { QEL_Vandrel.cpp_initialize_object_areas([[nil]]) },
      -> { QEL_Vandrel.cpp_initialize_object_areas(5) },
    ].each_with_index do |call, i|
      assert_raises(TypeError, "case #{i}") { call.call }
    end
  end
end
