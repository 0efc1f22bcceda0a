require "test_helper"

# A load swaps in its part of the scene only once it has read everything: a load that
# fails leaves the scene as it was, and a load run by a conversion inside another load is
# an earlier complete load that the outer one replaces. A step works on the scene as it
# stood when it began.
class SceneSwapTest < Minitest::Test
  V = QEL_Vandrel

  def squares(count, z = 0) = Array.new(count) { |i| Scenes.square(2, z, x0: 3 * i) }

  # What the steps see of the scene: one centroid record per face, and the curve points.
  def faces_seen = V.cpp_generate_faces_points.map { |r| r[0] }
  def curve_seen = V.cpp_generate_vertices_points(:not_a_curve)

  def footprints_seen
    points = Array.new(12) { |i| [[i + 0.5, 0.5, 0.0], nil, 1.0, 1, 0, -1.0, nil, 0.0] }
    V.cpp_object_areas(points, nil, [100, 0, true])[2].map { |r| r[0][0] }
  end

  def with_coordinate(faces, face, &block)
    faces = faces.map { |f| [f[0].map(&:dup), f[1]] }
    faces[face][0][1][0] = Reentrant.new(faces[face][0][1][0], &block)
    faces
  end

  def test_a_load_nested_in_a_conversion_is_replaced_by_the_outer_load
    [[0, 5], [8, 2]].each do |inner_count, outer_count|
      V.cpp_initialize_surface(squares(1, 9), false, [0, 0, -1])
      inner = squares(inner_count, 4)
      outer = with_coordinate(squares(outer_count), outer_count - 1) { V.cpp_initialize_surface(inner, false, [0, 0, -1]) }
      V.cpp_initialize_surface(outer, false, [0, 0, -1])
      seen = faces_seen
      assert_equal outer_count, seen.size, [inner_count, outer_count].inspect
      assert seen.all? { |p| p[2].zero? }, "only the outer load's faces: #{seen.inspect}"
    end
  end

  def test_a_failed_load_leaves_every_part_of_the_scene_as_it_was
    V.cpp_initialize_surface(squares(4, 3), false, [0, 0, -1])
    V.cpp_initialize_object_areas([[[[0, 0, 0], [4, 0, 0], [4, 1, 0], [0, 1, 0]]]])
    faces, footprints = faces_seen, footprints_seen
    normals = V.cpp_project_down([[1, 1, 9]], [100, 0, true])[2].map { |r| r[1] }
    bad_faces = squares(5).tap { |f| f[2] = [[[0, 0, 0], ["x", 0, 0], [1, 1, 0]], [0, 0, 1]] }
    assert_raises(TypeError) { V.cpp_initialize_surface(bad_faces, false, [0, 0, -1]) }
    assert_raises(TypeError) { V.cpp_initialize_object_areas([[[[5, 0, 0], [6, 0, 0], [6, 1, 0]]], [nil]]) }
    assert_raises(TypeError) { V.cpp_initialize_curves([[[0, 0, 0], [1, 0, 0]], [[0, 0, 0], "p"]]) }
    assert_equal faces, faces_seen
    assert_equal footprints, footprints_seen
    assert_equal :not_a_curve, curve_seen, "a failed curve load does not make the scene a curve"
    assert_same normals[0], V.cpp_project_down([[1, 1, 9]], [100, 0, true])[2][0][1]
  end

  def test_curves_and_footprints_loaded_in_a_conversion_are_replaced_too
    line = [[0, 0, 0], [1, 0, 0], [2, 0, 0]]
    curves = [line, line.map(&:dup).tap { |c| c[1][0] = Reentrant.new(1) { V.cpp_initialize_curves([]) } }]
    V.cpp_initialize_curves(curves)
    assert_equal 4, curve_seen.size

    square = [[0, 0, 0], [4, 0, 0], [4, 1, 0], [0, 1, 0]]
    V.cpp_initialize_object_areas([[square]])
    inner = [[[[8, 0, 0], [12, 0, 0], [12, 1, 0], [8, 1, 0]]]]
    V.cpp_initialize_object_areas([[square.map(&:dup).tap { |s| s[1][0] = Reentrant.new(4) { V.cpp_initialize_object_areas(inner) } }]])
    assert_equal footprints_seen, Array.new(12) { |i| i + 0.5 }.reject { |x| x < 4.05 }
  end

  def test_a_step_works_on_the_scene_it_began_with
    V.cpp_initialize_surface([Scenes.square(20, 1)], false, [0, 0, -1])
    reload = Reentrant.new(2) { V.cpp_initialize_surface([Scenes.square(20, 5)], false, [0, 0, -1]) }
    _, _, records = V.cpp_project_down([[1, 1, 9], [reload, 2, 9], [3, 3, 9]], [100, 0, true])
    assert_equal [1.0, 1.0, 1.0], records.map { |r| r[0][2] }
    assert_equal [5.0], V.cpp_project_down([[1, 1, 9]], [100, 0, true])[2].map { |r| r[0][2] }
  end
end
