require "test_helper"

# Before any loader has run, the scene is empty.
class FreshSceneTest < Minitest::Test
  def test_nothing_loaded_gives_nothing
    assert_equal [], QEL_Vandrel.cpp_generate_uniform_points(2, 2, 0, 0, 0, 0, 0, 1)
    assert_equal [], QEL_Vandrel.cpp_generate_random_points(1, "projection", 1, 1)
    assert_equal [], QEL_Vandrel.cpp_generate_random_points(1, "random", 1, 1)
    marker = Object.new
    assert_same marker, QEL_Vandrel.cpp_generate_vertices_points(marker)
    assert_equal [], QEL_Vandrel.cpp_generate_faces_points
    assert_equal [false, false, []], QEL_Vandrel.cpp_project_down([[0, 0, 0]], [30, 0, false])
  end
end
