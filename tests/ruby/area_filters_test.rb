require "test_helper"

# Plan-view geometry worked out in double precision, independently of the engine.
module PlanGeometry
  module_function

  def segment_distance(p, a, b)
    dx, dy = b[0] - a[0], b[1] - a[1]
    l2 = dx * dx + dy * dy
    t = l2.zero? ? 0.0 : (((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / l2.to_f).clamp(0.0, 1.0)
    Math.hypot(p[0] - (a[0] + t * dx), p[1] - (a[1] + t * dy))
  end

  def edges(ring) = ring.each_index.map { |k| [ring[k], ring[(k + 1) % ring.size]] }
  def ring_distance(p, ring) = edges(ring).map { |a, b| segment_distance(p, a, b) }.min
  def curve_distance(p, curve) = curve.map { |a, b| segment_distance(p, a, b) }.min

  # Even-odd rule; the test points never lie on an edge.
  def inside?(p, ring)
    edges(ring).count do |a, b|
      (a[1] > p[1]) != (b[1] > p[1]) && p[0] < a[0] + (p[1] - a[1]) * (b[0] - a[0]) / (b[1] - a[1]).to_f
    end.odd?
  end

  def footprint_distance(p, ring) = inside?(p, ring) ? 0.0 : ring_distance(p, ring)
end

class AreaFiltersTest < Minitest::Test
  PROMPT_KEYS = ["Computing this setup is taking more than ", " seconds, do you want to abort?"].freeze

  SQUARE = [[0, 0, 0], [4, 0, 0], [4, 4, 0], [0, 4, 0]].freeze
  # Concave: the notch [9, 12] x [2, 4] lies inside its convex hull but outside the outline.
  L_SHAPE = [[6, 0, 5], [12, 0, 5], [12, 2, 5], [9, 2, 5], [9, 4, 5], [6, 4, 5]].freeze
  TRIANGLE = [[14, 0, 0], [18, 0, 0], [14, 4, 0]].freeze
  AREAS = [SQUARE, L_SHAPE, TRIANGLE].freeze

  def setup
    super
    QEL_Vandrel.instance_variable_set(:@transl8, PROMPT_KEYS.to_h { |k| [k, k] })
  end

  def record(x, y, distance = -1.0) = [[x, y, 2.0], [0.0, 0.0, 1.0], 1.0, 17, 0, distance, [1.0, 1.0, 1.0], 0.0]

  # Off every edge of the fixtures: axis-parallel edges are at least 0.15 away, and x + y
  # (the triangle's slanted edge) is never an integer.
  def grid(step)
    xs = (-1.3..19.5).step(step).to_a
    ys = (-1.15..5.25).step(step).to_a
    xs.product(ys).map { |x, y| record(x, y) }
  end

  def settings(**overrides)
    {
      "include" => 2, "points" => [], "curves" => AREAS, "area_density_falloff" => false,
      "area_scale_falloff" => false, "boundary_check" => "distance", "project_custom_axis" => false,
      "custom_axis" => [0, 0, -1], "seed" => 7, "global_warning_time" => 30, "elapsed_time" => 0,
      "confirmed" => false,
    }.merge(overrides.transform_keys(&:to_s))
  end

  def areas(**overrides) = QEL_Vandrel.cpp_areas(settings(**overrides))

  def records_of(result)
    assert_equal [false, false], result[0, 2]
    result[2]
  end

  def position(record) = record[0][0, 2]

  def test_inside_and_outside_keep_exactly_the_points_of_the_painted_areas
    points = grid(sized(10) >= 10 ? 0.5 : 2.0)
    gc_checkpoint
    inside = records_of(areas(include: 2, points: points))
    outside = records_of(areas(include: 3, points: points))
    expected_inside = points.select { |r| AREAS.any? { |a| PlanGeometry.inside?(position(r), a) } }
    assert_equal expected_inside.map { position(_1) }, inside.map { position(_1) }
    assert_equal (points - expected_inside).map { position(_1) }, outside.map { position(_1) }
    refute_empty outside.select { |r| PlanGeometry.inside?(position(r), [[9, 2], [12, 2], [12, 4], [9, 4]]) }

    inside.each do |r|
      area = AREAS.find { |a| PlanGeometry.inside?(position(r), a) }
      assert_in_delta PlanGeometry.ring_distance(position(r), area), r[5], 1e-5, r.inspect
    end
    outside.each do |r|
      assert_in_delta AREAS.map { |a| PlanGeometry.ring_distance(position(r), a) }.min, r[5], 1e-5, r.inspect
    end
  end

  def test_the_first_containing_area_decides_in_mode_two
    big = [[0, 0, 0], [10, 0, 0], [10, 10, 0], [0, 10, 0]]
    small = [[4, 4, 0], [6, 4, 0], [6, 6, 0], [4, 6, 0]]
    point = record(4.5, 5)
    [
      [2, [big, small], [f32(4.5)]],
      [2, [small, big], [f32(0.5)]],
      [3, [big, small], []],
    ].each do |mode, curves, distances|
      kept = records_of(areas(include: mode, points: [point], curves: curves))
      assert_equal distances, kept.map { _1[5] }, [mode, curves].inspect
    end
  end

  def test_bounds_are_inclusive_and_containment_decides_on_the_edge
    ring = [SQUARE]
    kept = records_of(areas(include: 2, points: [record(0, 2), record(4, 2), record(2, 0), record(2, 4)], curves: ring))
    expected = [[0.0, 2.0], [2.0, 0.0]]  # containment is half-open: the left and lower edges belong
    assert_equal expected, kept.map { position(_1) }
    assert_equal [0.0, 0.0], kept.map { _1[5] }
  end

  def test_curves_keep_every_point_with_its_distance_to_the_first_curve
    first = [[[0, 0, 3], [5, 0, -2]], [[5, 0, -2], [5, 5, 9]]]
    points = [record(2, -1), record(7, 3), record(4, 2), record(-1, -1, 0.5)]
    # Through every point, but only the first curve is measured.
    second = points.each_cons(2).map { |a, b| [a[0], b[0]] }
    kept = records_of(areas(include: 1, points: points, curves: [first, second]))
    assert_equal points.map { position(_1) }, kept.map { position(_1) }
    expected = points.map { |r| PlanGeometry.curve_distance(position(r), first) }
    expected[3] = 0.5  # a smaller distance already recorded stays
    expected.zip(kept) { |d, r| assert_in_delta d, r[5], 1e-5 }
  end

  def test_distances_are_measured_only_when_a_later_step_wants_them
    near, far = record(1, 2, 3.0), record(2, 2, -1.0)
    [
      [{ boundary_check: "distance" }, [1.0, 2.0]],
      [{ boundary_check: "size" }, [1.0, 2.0]],
      [{ boundary_check: "none", area_density_falloff: true }, [1.0, 2.0]],
      [{ boundary_check: "none", area_scale_falloff: 1 }, [1.0, 2.0]],
      [{ boundary_check: "Distance" }, [-1.0, -1.0]],  # an earlier distance is replaced, not kept
      [{ boundary_check: "" }, [-1.0, -1.0]],
    ].each do |flags, distances|
      kept = records_of(areas(include: 2, points: [near, far], curves: [SQUARE], **flags))
      assert_equal distances, kept.map { _1[5] }, flags.inspect
    end
  end

  def test_other_modes_keep_nothing_and_outside_without_areas_keeps_all
    points = [record(1, 1), record(30, 30, 2.5)]
    [
      [0, AREAS, []],
      [4, AREAS, []],
      [-1, [], []],
      [3, [], [-1.0, -1.0]],  # the final rule turns any recorded distance into none
      [2, [], []],
    ].each do |mode, curves, distances|
      kept = records_of(areas(include: mode, points: points, curves: curves))
      assert_equal distances, kept.map { _1[5] }, [mode, curves].inspect
    end
  end

  def test_area_vertices_turn_into_the_custom_axis_frame_but_records_do_not
    # A half turn about y: x becomes -x, so the square covers x in [-4, 0] in the frame.
    points = [record(-3, 1), record(3, 1)]
    [[false, [[3.0, 1.0]]], [true, [[-3.0, 1.0]]]].each do |rotate, expected|
      kept = records_of(areas(include: 2, points: points, curves: [SQUARE], project_custom_axis: rotate,
                              custom_axis: [0, 0, 1]))
      assert_equal expected, kept.map { position(_1) }, rotate.inspect
      assert_in_delta 1.0, kept[0][5], 1e-5
    end
  end

  def test_results_are_copies_sharing_the_elements_of_the_given_records
    points = [record(1, 1, 9.0), record(2, 3, 0.5), record(30, 30)].each(&:freeze)
    snapshot = Marshal.dump(points)
    [
      -> { areas(include: 3, points: points, curves: [L_SHAPE])[2] },
      -> { QEL_Vandrel.cpp_initialize_object_areas([[L_SHAPE]]); QEL_Vandrel.cpp_object_areas(points, nil, [30, 0, false])[2] },
    ].each do |run|
      kept = run.call
      gc_checkpoint
      assert_equal 3, kept.size
      kept.zip(points) do |copy, given|
        refute_same given, copy
        refute copy.frozen?
        (0..7).each { |slot| assert_same given[slot], copy[slot] unless slot == 5 }
      end
      assert_equal [f32(5.0), 0.5], kept[0, 2].map { _1[5] }
      assert_equal snapshot, Marshal.dump(points)
    end
  end

  def test_each_outline_reseeds_rand_without_drawing
    CRand.seed(7)
    after_seed = CRand.next_int
    CRand.seed(99)
    areas(include: 2, points: [record(1, 1)], curves: [SQUARE, L_SHAPE], seed: 7)
    assert_equal after_seed, CRand.next_int
    CRand.seed(99)
    untouched = CRand.next_int
    CRand.seed(99)
    areas(include: 3, points: [record(1, 1)], curves: [], seed: 7)
    assert_equal untouched, CRand.next_int
  end

  def test_bad_area_input_raises_or_gives_the_sound_result
    point = record(6, 2)
    empty_ring = [[], SQUARE]
    [
      [{ include: 2, curves: [[]] }, []],
      [{ include: 3, curves: empty_ring }, [2.0]],  # nothing measured to the empty ring, no NaN
      [{ include: 1, curves: [[]] }, [-1.0]],
      [{ include: 3, curves: [[[6, 2, 0]]] }, [0.0]],  # a one-point ring contains nothing
      [{ include: 3, curves: [[[1, 1, 0], [1, 1, 0]]] }, [f32(Math.sqrt(26))]],
      [{ include: 3, curves: [[[Float::NAN, 0, 0], [1, 1, 0], [1, 1, 0]]] }, [f32(Math.sqrt(26))]],
    ].each do |overrides, distances|
      kept = records_of(areas(points: [point], **overrides))
      assert_equal distances, kept.map { _1[5] }, overrides.inspect
    end

    [
      [TypeError, { points: [nil] }],
      [TypeError, { points: [[nil]] }],
      [TypeError, { points: nil }],
      [TypeError, { curves: nil }],
      [TypeError, { curves: [nil] }],
      [TypeError, { curves: [[[1, 2]]] }],
      [TypeError, { include: 1, curves: [[[[0, 0, 0]]]] }],  # a segment without its second end
      [TypeError, { boundary_check: nil }],
      [TypeError, { custom_axis: nil }],
      [TypeError, { include: "2" }],
      [RangeError, { include: 2**31 }],
      [TypeError, { seed: nil }],
      [TypeError, { global_warning_time: nil }],
      [TypeError, { points: [record(1, 1).tap { _1[4] = "x" }] }],
      [TypeError, { points: [record(1, 1).tap { _1[2] = nil }] }],
      [TypeError, { points: [record(1, 1).tap { _1[5] = nil }] }],  # a kept record's distance
    ].each do |error, overrides|
      assert_raises(error, overrides.inspect) { areas(include: 2, points: [record(1, 1)], **overrides) }
    end
    assert_raises(TypeError) { QEL_Vandrel.cpp_areas(nil) }
  end

  def test_objects_keep_their_distance_from_every_footprint
    QEL_Vandrel.cpp_initialize_object_areas([[SQUARE, L_SHAPE], [TRIANGLE]])
    points = grid(sized(10) >= 10 ? 0.5 : 2.0)
    gc_checkpoint
    kept = records_of(QEL_Vandrel.cpp_object_areas(points, nil, [30, 0, false]))
    nearest = ->(r) { AREAS.map { |a| PlanGeometry.footprint_distance(position(r), a) }.min }
    expected = points.select { |r| nearest.(r) >= 0.05 }
    assert_equal expected.map { position(_1) }, kept.map { position(_1) }
    refute_empty kept.select { |r| PlanGeometry.inside?(position(r), [[9, 2], [12, 2], [12, 4], [9, 4]]) }
    kept.each { |r| assert_in_delta nearest.(r), r[5], 1e-5, r.inspect }
  end

  def test_objects_closer_than_five_hundredths_are_dropped
    QEL_Vandrel.cpp_initialize_object_areas([[SQUARE]])
    points = [record(-0.0499, 2), record(-0.05, 2), record(2, 4.06), record(2, 2), record(4.0, 4.0)]
    kept = records_of(QEL_Vandrel.cpp_object_areas(points, nil, [30, 0, false]))
    assert_equal [[-0.05, 2.0], [2.0, 4.06]], kept.map { position(_1) }
    assert_in_delta 0.05, kept[0][5], 1e-6
  end

  def test_footprints_that_cannot_be_measured_are_skipped
    point = record(6, 2, 3.0)
    [
      [[], [-1.0]],  # nothing stored: the final rule turns a recorded distance into none
      [[[]], [-1.0]],
      [[[[], [[0, 0, 0], [1, 0, 0]]]], [-1.0]],
      [[[[[5, 0, 0], [7, 0, 0]]], [SQUARE]], [2.0]],
      [[[[[6, 2, 0]], SQUARE]], [2.0]],
    ].each do |footprints, distances|
      QEL_Vandrel.cpp_initialize_object_areas(footprints)
      kept = records_of(QEL_Vandrel.cpp_object_areas([point], nil, [30, 0, false]))
      assert_equal distances, kept.map { _1[5] }, footprints.inspect
    end

    QEL_Vandrel.cpp_initialize_object_areas([[SQUARE]])
    [
      [nil, [30, 0, false]],
      [[nil], [30, 0, false]],
      [[[nil]], [30, 0, false]],
      [[record(9, 9).tap { _1[5] = "x" }], [30, 0, false]],
      [[record(9, 9)], nil],
      [[record(9, 9)], [nil, 0, false]],
    ].each do |rows, timing|
      assert_raises(TypeError, [rows, timing].inspect) { QEL_Vandrel.cpp_object_areas(rows, nil, timing) }
    end
  end

  # Both filters run the same prompt; the unit of work is one record (of one outline).
  def prompt_runs
    QEL_Vandrel.cpp_initialize_object_areas([[SQUARE]])
    points = [record(6, 6), record(7, 7), record(8, 8)]
    {
      areas: ->(status) { areas(include: 3, points: points, curves: [SQUARE, L_SHAPE], global_warning_time: status[0],
                                elapsed_time: status[1], confirmed: status[2]) },
      object_areas: ->(status) { QEL_Vandrel.cpp_object_areas(points, nil, status) },
    }
  end

  def test_the_prompt_asks_once_when_the_budget_is_spent
    prompt_runs.each do |name, run|
      [
        [[0, 1, false], [6], [true, false, 0], 1],    # yes aborts before the first record
        [[0, 1, false], [7], [false, true, 3], 1],    # no goes on and never asks again
        [[0, 1, true], [6], [false, true, 3], 0],     # already confirmed
        [[30, 0, false], [6], [false, false, 3], 0],  # within budget
      ].each do |status, answers, (aborted, confirmed, count), asked|
        UI.reset(answers)
        result = run.(status)
        label = [name, status].inspect
        assert_equal [aborted, confirmed, count], [result[0], result[1], result[2].size], label
        assert_equal asked, UI.calls.size, label
      end
      UI.reset([7])
      run.([2.5, 4, false])
      assert_equal [["#{PROMPT_KEYS[0]}2.5#{PROMPT_KEYS[1]}", 4]], UI.calls, name
    end
  end

  def test_the_prompt_checks_run_in_every_mode_and_only_with_work_to_do
    [[4, [SQUARE], [record(1, 1)], 1], [2, [], [record(1, 1)], 0], [2, [SQUARE], [], 0]].each do |mode, curves, points, asked|
      UI.reset([7])
      result = areas(include: mode, points: points, curves: curves, global_warning_time: 0, elapsed_time: 1)
      assert_equal asked, UI.calls.size, mode.inspect
      assert_equal asked == 1, result[1]
    end
  end

  def test_a_prompt_that_changes_the_inputs_does_not_break_the_filters
    original = UI.method(:messagebox)
    QEL_Vandrel.cpp_initialize_object_areas([[SQUARE]] * 20)
    UI.define_singleton_method(:messagebox) do |*|
      QEL_Vandrel.cpp_initialize_object_areas([[TRIANGLE]])
      7
    end
    points = Array.new(5) { |i| record(i + 0.5, 2) }
    _, confirmed, kept = QEL_Vandrel.cpp_object_areas(points, nil, [0, 1, false])
    assert confirmed
    assert_equal points.map { position(_1) }, kept.map { position(_1) }

    points = [record(1, 1), record(9, 9)]
    UI.define_singleton_method(:messagebox) do |*|
      points.clear
      7
    end
    # The prompt is answered before the records are read: none are left.
    assert_equal [false, true, []], areas(include: 3, points: points, curves: [SQUARE], global_warning_time: 0, elapsed_time: 1)
  ensure
    UI.define_singleton_method(:messagebox, original)
  end

  # A call works on the footprints as they stood once the prompt was answered: a reload by
  # a conversion of the call's own records applies from the next call on.
  def test_footprints_reloaded_during_a_call_apply_from_the_prompt_or_the_next_call
    original = UI.method(:messagebox)
    to_triangle = -> { QEL_Vandrel.cpp_initialize_object_areas([[TRIANGLE]]) }
    UI.define_singleton_method(:messagebox) do |*|
      to_triangle.call
      7
    end
    # Under the square the first and third records are dropped; under the triangle the last.
    [
      [:prompt, [0, 1, false], ->(x) { x }, [[0, 12.0], [1, 8.0], [2, 12.0]]],  # asked before the first record
      [:conversion, [30, 0, false], ->(x) { Reentrant.new(x, &to_triangle) }, [[1, 2.0], [3, 11.0]]],
    ].each do |route, timing, second_x, expected|
      QEL_Vandrel.cpp_initialize_object_areas([[SQUARE]])
      points = [record(2, 2), record(second_x.(6), 2), record(2, 2), record(15, 1)]
      gc_checkpoint
      kept = QEL_Vandrel.cpp_object_areas(points, nil, timing)[2]
      assert_equal expected, kept.map { |r| [points.index { _1[0].equal?(r[0]) }, r[5]] }, route.inspect
      kept = QEL_Vandrel.cpp_object_areas(points, nil, [30, 0, true])[2]
      assert_equal [[0, 12.0], [1, 8.0], [2, 12.0]], kept.map { |r| [points.index { _1[0].equal?(r[0]) }, r[5]] }
    end
  ensure
    UI.define_singleton_method(:messagebox, original)
  end

  def test_a_ring_emptied_while_it_applies_still_counts_as_it_was_read
    ring = SQUARE.map(&:dup)
    points = [record(1, 1), record(2, 3).tap { _1[2] = Reentrant.new(1.0) { ring.clear } }, record(3, 1)]
    kept = records_of(areas(include: 2, points: points, curves: [ring]))
    assert_equal [[1.0, 1.0], [2.0, 3.0], [3.0, 1.0]], kept.map { position(_1) }
    assert_equal [1.0, 1.0, 1.0], kept.map { _1[5] }
    assert_empty ring
  end
end
