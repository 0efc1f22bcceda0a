require "test_helper"

class CameraCollisionsTest < Minitest::Test
  def record(position, definition: 0, axis_scale: [1.0, 1.0, 1.0])
    [position, [0.0, 0.0, 1.0], 1.0, 0, definition, -1.0, axis_scale, 0.0]
  end

  def deg(d) = d * Math::PI / 180

  # At the origin looking along +X with +Z up: 90 degrees across, 60 degrees high.
  CAMERA = [[0, 0, 0], [3, 0, 0], [0, 0, 2], Math::PI / 2, Math::PI / 3].freeze

  def camera(rows, frustum: false, margin: 0.0, eye_shift: 0.0, distance: false, max_distance: 0.0, falloff: 0.0,
             seed: 1, view: CAMERA)
    QEL_Vandrel.cpp_camera(rows, view, frustum, margin, eye_shift, distance, max_distance, falloff, seed)
  end

  def positions(rows) = rows.map(&:first)

  def test_camera_keeps_the_points_inside_the_view
    inside = [[5, 0, 0], [5, 4, 0], [5, -4, 0], [5, 0, 2], [5, 0, -2.5], [100, 90, 50]]
    outside = [[5, 6, 0], [5, -6, 0], [5, 0, 4], [5, 0, -3], [-5, 0, 0], [0, 5, 0], [-1, 0, 0.1]]
    rows = (inside + outside).shuffle(random: Random.new(3)).map { |p| record(p) }
    out = camera(rows, frustum: true)
    assert_equal inside.sort, positions(out).sort
    out.each { |r| assert(rows.any? { |g| g.equal?(r) }) }
    # A margin of 20 degrees widens both angles: to 55 degrees across and 40 high.
    widened = camera(rows, frustum: true, margin: deg(20))
    assert_equal (inside + [[5, 6, 0], [5, -6, 0], [5, 0, 4], [5, 0, -3]]).sort, positions(widened).sort
    # Straight ahead is angle 0, straight behind pi: outside a full turn of either angle.
    ahead_behind = [record([5, 0, 0]), record([-5, 0, 0]), record([3, 5, 1])]
    [
      [2 * Math::PI, 7.0, [[5, 0, 0], [3, 5, 1]]],
      [7.0, 2 * Math::PI, [[5, 0, 0], [3, 5, 1]]],
      [7.0, 7.0, [[5, 0, 0], [-5, 0, 0], [3, 5, 1]]],
      [1e-6, 1e-6, [[5, 0, 0]]],
    ].each do |hfov, vfov, kept|
      view = [[0, 0, 0], [1, 0, 0], [0, 0, 1], hfov, vfov]
      assert_equal kept, positions(camera(ahead_behind, frustum: true, view: view)), "#{hfov} x #{vfov}"
    end
  end

  def test_camera_with_both_tests_off_keeps_everything_and_draws_nothing
    rows = [[-5, 0, 0], [5, 50, 0], [1e6, 0, 0]].map { |p| record(p) }
    out = camera(rows, seed: 42, max_distance: 1.0, falloff: 10.0)
    after = CRand.next_int
    assert_equal rows.size, out.size
    rows.zip(out) { |r, o| assert_same r, o }
    refute_same rows, out
    CRand.seed(42)
    assert_equal CRand.next_int, after
  end

  def test_camera_distance_is_inclusive_without_a_falloff
    rows = [[10, 0, 0], [10.001, 0, 0], [0, -10, 0], [-6, 8, 0], [-6, 8.01, 0]].map { |p| record(p) }
    out = camera(rows, distance: true, max_distance: 10.0, seed: 8)
    after = CRand.next_int
    assert_equal [[10, 0, 0], [0, -10, 0], [-6, 8, 0]], positions(out)
    CRand.seed(8)
    assert_equal CRand.next_int, after, "nothing drawn"
  end

  def test_camera_falloff_band_draws_once_per_record_in_it
    # Distance 10 with a band of 4: from 6 (its edge, threshold 100) to 10; beyond, no draw.
    cases = [[5, nil], [7, 75], [12, :out], [8, 50], [9, 25], [6, 100], [9.5, 12.5]]
    rows = cases.map { |d, _| record([d, 0, 0]) }
    [2, 17, 99, 1234].each do |seed|
      out = camera(rows, distance: true, max_distance: 10.0, falloff: 4.0, seed: seed)
      CRand.seed(seed)
      expected = cases.filter_map do |d, threshold|
        next if threshold == :out
        [d, 0, 0] if threshold.nil? || threshold >= CRand.percentage
      end
      assert_equal expected, positions(out), "seed #{seed}"
    end
  end

  def test_eye_shift_moves_the_eye_along_the_view_and_adds_to_the_distance
    # The eye moves to (2, 0, 0); distances are measured from there, plus 2.
    rows = [[3, 2, 0], [1, 0, 0], [9, 0, 0], [10, 0, 0], [10.5, 0, 0], [2.5, 0, 0]].map { |p| record(p) }
    unshifted = camera(rows, frustum: true)
    assert_equal [[3, 2, 0], [1, 0, 0], [9, 0, 0], [10, 0, 0], [10.5, 0, 0], [2.5, 0, 0]], positions(unshifted)
    shifted = camera(rows, frustum: true, eye_shift: 2.0, distance: true, max_distance: 10.0)
    assert_equal [[9, 0, 0], [10, 0, 0], [2.5, 0, 0]], positions(shifted)
    # Without the view test the shift is not read, and the eye stays.
    assert_equal 5, camera(rows, eye_shift: 2.0, distance: true, max_distance: 10.0).size
  end

  def test_camera_bad_input_raises
    good = [record([1, 0, 0])]
    [
      [TypeError, -> { camera(nil) }],
      [TypeError, -> { camera([record([1, 0, 0]), 7]) }],
      [TypeError, -> { camera([record(nil)]) }],
      [TypeError, -> { camera(good, view: nil) }],
      [TypeError, -> { camera(good, view: CAMERA.first(4)) }],
      [TypeError, -> { camera(good, frustum: true, margin: nil) }],
      [TypeError, -> { camera(good, distance: true, falloff: "1") }],
      [TypeError, -> { camera(good, max_distance: nil) }],
      [RangeError, -> { camera(good, seed: 2**32) }],
    ].each_with_index do |(error, call), k|
      assert_raises(error, "case #{k}") { call.() }
    end
    # Unread settings may be anything.
    assert_equal 1, camera(good, margin: nil, eye_shift: nil, falloff: nil).size
  end

  # Footprints at 100 percent: "center" of a 2 x 2 box has half-extents (1, 1); any other
  # origin mode of a box from (0, -1) to (2, 0.5) has (2, 1).
  DEFINITIONS = [["round", 1, 100, "center", [-1, -1, 0], [1, 1, 3]],
                 ["corner", 1, 100, "origin", [0, -1, 0], [2, 0.5, 3]]].freeze

  def collisions(rows, percent = 100, definitions: DEFINITIONS, seed: 5)
    QEL_Vandrel.cpp_collisions(rows, definitions, percent, seed)
  end

  def test_collisions_of_no_record_or_one
    assert_equal [], collisions([])
    one = [record([0, 0, 0])]
    out = collisions(one)
    assert_same one[0], out[0]
    assert_equal 1, out.size
  end

  def test_two_footprints_collide_only_when_strictly_closer_than_their_radii
    [
      # definition and per-axis scale of each record, their distance, both kept
      [[0, [1, 1]], [0, [1, 1]], 2.0, true],
      [[0, [1, 1]], [0, [1, 1]], 1.999, false],
      [[0, [3, 1]], [0, [1, 1]], 4.0, true],      # radii 3 and 1: each uses its own scale
      [[0, [3, 1]], [0, [1, 1]], 3.99, false],
      [[0, [1, 2.5]], [1, [1, 1]], 4.5, true],    # radii 2.5 and 2
      [[0, [1, 2.5]], [1, [1, 1]], 4.49, false],
      [[1, [0.5, 3]], [1, [1, 0.25]], 5.0, true], # radii max(1, 3) and max(2, 0.25)
      [[1, [0.5, 3]], [1, [1, 0.25]], 4.99, false],
    ].each do |(da, sa), (db, sb), distance, both|
      rows = [record([0, 0, 0], definition: da, axis_scale: sa), record([distance, 0, 0], definition: db, axis_scale: sb)]
      out = collisions(rows)
      assert_equal both ? 2 : 1, out.size, "#{da} #{sa} and #{db} #{sb} at #{distance}"
      out.each { |r| assert(rows.any? { |g| g.equal?(r) }) }
    end
    # Half the size percent halves the radii.
    rows = [record([0, 0, 0]), record([1.0, 0, 0])]
    assert_equal 2, collisions(rows, 50).size
    assert_equal 1, collisions(rows, 50.1).size
  end

  def radius(row, percent)
    definition = DEFINITIONS[row[4]]
    (ax, ay), (bx, by) = definition[4], definition[5]
    rx, ry = definition[3] == "center" ? [(bx - ax) / 2.0, (by - ay) / 2.0] : [[bx.abs, ax.abs].max, [by.abs, ay.abs].max]
    [rx * row[6][0], ry * row[6][1]].max * percent / 100.0
  end

  def overlap?(a, b, percent)
    Math.sqrt((0..2).sum { |k| (a[0][k] - b[0][k])**2 }) < radius(a, percent) + radius(b, percent)
  end

  def test_survivors_do_not_overlap_and_no_dropped_record_fits_among_them
    rng = Random.new(11)
    3.times do
      rows = Array.new(sized(120)) do
        record([rng.rand(0.0..30.0), rng.rand(0.0..30.0), rng.rand(-1.0..1.0)], definition: rng.rand(2),
               axis_scale: [rng.rand(0.2..1.5), rng.rand(0.2..1.5), 1.0])
      end
      out = collisions(rows, 80)
      gc_checkpoint
      assert_equal out.size, out.map(&:object_id).uniq.size
      out.each { |r| assert(rows.any? { |g| g.equal?(r) }) }
      out.combination(2) { |a, b| refute overlap?(a, b, 80), "#{a[0]} overlaps #{b[0]}" }
      (rows - out).each { |d| assert(out.any? { |s| overlap?(d, s, 80) }, "#{d[0]} would fit") }
    end
  end

  def test_collisions_leave_rand_seeded_without_drawing
    collisions([record([0, 0, 0]), record([0.5, 0, 0]), record([9, 0, 0])], seed: 321)
    after = CRand.next_int
    CRand.seed(321)
    assert_equal CRand.next_int, after
  end

  def test_collision_bad_input_raises
    [
      [IndexError, [record([0, 0, 0]), record([5, 0, 0], definition: 2)], "definition index 2 out of range (2 definitions)"],
      [IndexError, [record([0, 0, 0], definition: -1)], "definition index -1 out of range (2 definitions)"],
      [TypeError, [record([0, 0, 0]), nil], nil],
      [TypeError, [record([0, 0, 0], axis_scale: nil)], nil],
      [TypeError, [record([0, 0, 0], axis_scale: [1])], nil],
      [TypeError, [record([0, 0, 0]).tap { |r| r[2] = nil }], nil],
      [TypeError, [record([0, 0])], nil],
    ].each do |error, rows, message|
      raised = assert_raises(error, rows.inspect) { collisions(rows) }
      assert_equal message, raised.message if message
    end
    assert_raises(IndexError) { collisions([record([0, 0, 0])], definitions: []) }
    assert_raises(TypeError) { collisions(nil) }
    assert_raises(TypeError) { collisions([], definitions: [["x", 1, 100, nil, [0, 0, 0], [1, 1, 1]]]) }
    assert_raises(TypeError) { collisions([], nil) }
  end
end
