require "test_helper"

# A conversion that fails says where: the function, the argument and the path into it,
# before the interpreter's own message; the exception class stays the interpreter's.
class ErrorPlacesTest < Minitest::Test
  V = QEL_Vandrel
  NIL_ARRAY = "wrong argument type nil (expected Array)".freeze

  def rec(x = 1, y = 1) = [[x, y, 0], [0.0, 0.0, 1.0], 1.0, 7, 0, 0.5, [1.0, 1.0, 1.0], 0.0]
  def defn = [nil, 1, 100, "center", [-0.5, -0.5, 0], [0.5, 0.5, 1]]

  def areas_hash
    { "include" => 2, "points" => [rec], "curves" => [[[0, 0, 0], [4, 0, 0], [4, 4, 0]]], "area_density_falloff" => false,
      "area_scale_falloff" => false, "boundary_check" => "distance", "project_custom_axis" => false,
      "custom_axis" => [0, 0, -1], "seed" => 5, "global_warning_time" => 100, "elapsed_time" => 0, "confirmed" => true }
  end

  def transform_hash(points)
    { "seed" => 1, "points" => points, "comp_defs" => [[defn]], "scale" => [false, "xyz", 100, 100, 100, 100, 100, 100],
      "rotation" => [false, 0, 0, 0, 0, 0, 0], "translation" => [false, 0, 0, 0, 0, 0, 0], "pointing" => 0,
      "swap_yz" => false, "mirror" => false, "vmirror" => false, "r90_180_270" => false }
  end

  def test_failed_conversions_name_the_function_and_the_place
    before_scale = Array.new(13) { rec(_1 * 3, 0) }.tap { |rows| rows[12][6] = nil }
    symbol_keys = areas_hash.transform_keys(&:to_sym)
    [
      [:cpp_areas, [areas_hash.tap { _1.delete("points") }], TypeError, %(cpp_areas: settings["points"]: #{NIL_ARRAY})],
      [:cpp_areas, [areas_hash.tap { _1.delete("curves") }], TypeError, %(cpp_areas: settings["curves"]: #{NIL_ARRAY})],
      [:cpp_areas, [symbol_keys], TypeError, %(cpp_areas: settings["include"]: )],
      [:cpp_areas, [areas_hash.merge("curves" => [[[0, 0, 0], [4, nil, 0]]])], TypeError, %(cpp_areas: settings["curves"][0][1][1]: )],
      [:cpp_collisions, [before_scale, [defn], 100, 3], TypeError, "cpp_collisions: rows[12][6]: #{NIL_ARRAY}"],
      [:cpp_collisions, [[rec], [defn.tap { _1[4] = nil }], 100, 3], TypeError, "cpp_collisions: definitions[0][4]: #{NIL_ARRAY}"],
      [:cpp_project_down, [[[1, 1, 1], [1, "x", 1]], [100, 0, true]], TypeError, "cpp_project_down: points[1][1]: "],
      [:cpp_project_down, [[[1, 1, 1]], [nil, 0, true]], TypeError, "cpp_project_down: status[0]: "],
      [:cpp_scale, [[rec, rec.tap { _1[3] = 2**40 }], [[defn]], [true, "xyz", 80, 120, 80, 120, 80, 120], nil], RangeError,
       "cpp_scale: rows[1][3]: "],
      [:cpp_random_transform, [transform_hash([rec, rec.tap { _1[1] = nil }])], TypeError,
       %(cpp_random_transform: settings["points"][1][1]: #{NIL_ARRAY})],
      [:cpp_random_transform, [transform_hash([rec]).merge("rotation" => [true, 0, 0, 0, :x, 0, 0])], TypeError,
       %(cpp_random_transform: settings["rotation"][4]: )],
      [:cpp_initialize_surface, [[Scenes.square, [[[0, 0, 0], [1, :y, 0], [1, 1, 0]], nil]], false, [0, 0, -1]], TypeError,
       "cpp_initialize_surface: faces[1][0][1][1]: "],
      [:cpp_initialize_object_areas, [[[[[0, 0, 0]]], 5]], TypeError, "cpp_initialize_object_areas: areas[1]: "],
      [:cpp_points_defs, [{ "points" => [rec], "defs" => [defn], "probability_total" => 1, "seed" => nil,
                            "clusters_size" => 1, "clusters_blur" => 1, "clusters_noise" => 1 }], TypeError,
       %(cpp_points_defs: settings["seed"]: )],
      [:cpp_paint_area_union, [{ "project_custom_axis" => false, "custom_axis" => [0, 0, -1], "erase" => false,
                                 "area" => [[[0, 0, 0], nil]], "circle" => [] }], TypeError,
       %(cpp_paint_area_union: settings["area"][0][1]: #{NIL_ARRAY})],
      [:cpp_bboxes, [[[Array.new(16, 0.0), "0"]], [defn]], TypeError, "cpp_bboxes: items[0][1]: "],
    ].each do |name, args, error_class, leading|
      error = assert_raises(error_class, name.to_s) { V.public_send(name, *args) }
      assert_equal error_class, error.class, name.to_s
      assert error.message.start_with?(leading), "#{name}: #{error.message.inspect} should start with #{leading.inspect}"
      refute_match(/:\s*$/, error.message, name.to_s)
    end
  end

  def test_errors_of_the_engine_keep_their_own_words
    error = assert_raises(IndexError) { V.cpp_collisions([rec.tap { _1[4] = 3 }], [defn], 100, 3) }
    assert_equal "definition index 3 out of range (1 definitions)", error.message
  end
end
