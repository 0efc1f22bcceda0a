require "test_helper"

class ProjectionTest < Minitest::Test
  PROMPT_KEYS = ["Computing this setup is taking more than ", " seconds, do you want to abort?"].freeze

  def setup
    super
    QEL_Vandrel.instance_variable_set(:@transl8, PROMPT_KEYS.to_h { |k| [k, k] })
  end

  def project(points, status = [30, 0, false]) = QEL_Vandrel.cpp_project_down(points, status)

  def test_points_land_on_the_topmost_containing_face_with_its_normal_object
    low, high, beside = [0.0, 0.0, 1.0], [0.0, 0.1, 0.995], [0.0, 0.0, 1.0]
    faces = [Scenes.square(10, 1, normal: low), Scenes.square(4, 6, x0: 2, y0: 2, normal: high),
             Scenes.square(10, -3, x0: 20, normal: beside)]
    QEL_Vandrel.cpp_initialize_surface(faces, false, [0, 0, -1])
    gc_checkpoint
    aborted, confirmed, records = project([[3, 3, 100], [9, 9, 100], [25, 5, -50], [50, 50, 0]])
    assert_equal [false, false], [aborted, confirmed]
    assert_equal [[3.0, 3.0, 6.0], [9.0, 9.0, 1.0], [25.0, 5.0, -3.0]], records.map(&:first)
    [high, low, beside].zip(records) { |normal, r| assert_same normal, r[1] }
    records.each { |r| assert_equal [1.0, nil, nil, nil, nil, 0.0], r[2..7] }
  end

  def test_edges_are_inclusive_and_the_lower_index_wins_a_tie
    first, second = [0.0, 0.0, 1.0], [0.0, 0.0, 1.0]
    QEL_Vandrel.cpp_initialize_surface([Scenes.square(10, 0, normal: first), Scenes.square(10, 0, normal: second)],
                                       false, [0, 0, -1])
    # Containment is half-open: the left edge belongs to the face, the right one does not.
    _, _, records = project([[0, 5, 3], [3, 0, 0], [10, 5, 0], [10.001, 5, 0]])
    assert_equal [[0.0, 5.0, 0.0], [3.0, 0.0, 0.0]], records.map(&:first)
    records.each { |r| assert_same first, r[1] }
  end

  def test_normals_survive_a_compaction_between_load_and_projection
    normals = Array.new(6) { |i| [0.0, 0.0, 1.0 + i] }
    faces = normals.each_with_index.map { |n, i| Scenes.square(1, 0, x0: i, normal: n) }
    QEL_Vandrel.cpp_initialize_surface(faces, false, [0, 0, -1])
    faces = nil
    GC.start
    VandrelTest.compact!
    _, _, records = project(Array.new(6) { |i| [i + 0.5, 0.5, 1] })
    normals.zip(records) { |n, r| assert_same n, r[1] }
  end

  def test_rotated_surfaces_are_projected_in_their_frame
    QEL_Vandrel.cpp_initialize_surface([Scenes.square(10, 0)], true, [0, 0, 1])  # a half turn about y
    _, _, records = project([[-5, 5, 9]])
    assert_equal 1, records.size
    assert_in_delta 0.0, records[0][0][2], 1e-5
  end

  def test_prompt_is_asked_once_when_the_budget_is_spent
    QEL_Vandrel.cpp_initialize_surface([Scenes.square], false, [0, 0, -1])
    points = [[1, 1, 1], [2, 2, 2]]
    [
      [[0, 1, false], [6], [true, false, 0], 1],     # yes aborts before the first point
      [[0, 1, false], [7], [false, true, 2], 1],     # no goes on and never asks again
      [[0, 1, true], [6], [false, true, 2], 0],      # already confirmed: never asks
      [[30, 0, false], [6], [false, false, 2], 0],   # within budget
      [[Float::NAN, 0, false], [6], [false, false, 2], 0],
    ].each do |status, answers, (aborted, confirmed, count), asked|
      UI.reset(answers)
      result = project(points, status)
      assert_equal [aborted, confirmed, count], [result[0], result[1], result[2].size], status.inspect
      assert_equal asked, UI.calls.size, status.inspect
    end
    UI.reset([6])
    assert_equal [false, false, []], project([], [0, 1, false])
    assert_empty UI.calls
  end

  def test_prompt_text_comes_from_the_translations
    QEL_Vandrel.cpp_initialize_surface([Scenes.square], false, [0, 0, -1])
    QEL_Vandrel.instance_variable_set(:@transl8, { PROMPT_KEYS[0] => "Über ", PROMPT_KEYS[1] => " Sekunden – abbrechen?" })
    [[30.0, "30"], [2.5, "2.5"], [1e7, "1e+07"], [-1, "-1"]].each do |warning, text|
      UI.reset([7])
      project([[1, 1, 1]], [warning, warning + 12.5, false])
      assert_equal [["Über #{text} Sekunden – abbrechen?", 4]], UI.calls
      assert_equal Encoding::UTF_8, UI.calls[0][0].encoding
    end
  end

  def test_prompt_errors_leave_as_ruby_exceptions
    QEL_Vandrel.cpp_initialize_surface([Scenes.square], false, [0, 0, -1])
    [
      [nil, TypeError],
      ["not a hash", TypeError],
      [{ PROMPT_KEYS[0] => "x" }, TypeError],  # a missing key
    ].each do |translations, error|
      QEL_Vandrel.instance_variable_set(:@transl8, translations)
      assert_raises(error) { project([[1, 1, 1]], [0, 1, false]) }
    end
    assert_raises(TypeError) { project([[1, 1, 1]], [nil, 1, false]) }
    assert_raises(TypeError) { project([[1, 1, 1]], nil) }
    assert_raises(TypeError) { project([[1, 1]], [30, 0, false]) }
  end

  def test_a_prompt_that_reloads_the_scene_does_not_break_the_step
    QEL_Vandrel.cpp_initialize_surface(Scenes.terrain(6, 60.0), false, [0, 0, -1])
    original = UI.method(:messagebox)
    UI.define_singleton_method(:messagebox) do |*|
      QEL_Vandrel.cpp_initialize_surface([Scenes.square(100, 7)], false, [0, 0, -1])
      7
    end
    _, confirmed, records = project(Array.new(20) { |i| [i * 3.0, 5.0, 50] }, [0, 1, false])
    assert confirmed
    assert_equal 20, records.size
    records.each { |r| assert_in_delta 7.0, r[0][2], 1e-5 }
  ensure
    UI.define_singleton_method(:messagebox, original)
  end
end
