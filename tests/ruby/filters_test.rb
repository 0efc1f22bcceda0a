require "test_helper"

class FiltersTest < Minitest::Test
  def record(position: [0.0, 0.0, 0.0], normal: [0.0, 0.0, 1.0], scale: 1.0, seed: 0, definition: 0, dist: -1.0,
             axis_scale: [1.0, 1.0, 1.0])
    [position, normal, scale, seed, definition, dist, axis_scale, 0.0]
  end

  def at_height(z, scale: 1.0) = record(position: [0.0, 0.0, z], scale: scale)

  # A normal tilted from world up by the angle, in degrees.
  def tilted(degrees, scale: 1.0)
    a = degrees * Math::PI / 180
    record(normal: [Math.sin(a), 0.0, Math.cos(a)], scale: scale)
  end

  def heights(rows) = rows.map { |r| r[0][2] }

  # The first value of the stream seeded with seed, or of the stream after `skip` draws.
  def fresh_draw(seed, skip = 0)
    CRand.seed(seed)
    skip.times { CRand.next_int }
    CRand.next_int
  end

  # A box from (-1, -3) to (1, 1): centred radius 2, corner radius 3 at 100 percent.
  DEFINITIONS = [["centred", 1, 100, "center", [-1, -3, 0], [1, 1, 5]],
                 ["cornered", 1, 100, "origin", [-1, -3, 0], [1, 1, 5]]].freeze

  def boundary(rows, mode, distance: 0.0, percent: 100, definitions: DEFINITIONS)
    QEL_Vandrel.cpp_boundary_check(rows, [mode, distance, percent], definitions, nil)
  end

  def test_boundary_check_keeps_records_without_a_distance_in_every_mode
    # Slots 2, 4 and 6 are never read for them.
    rows = [[[0, 0, 0], [0, 0, 1], nil, 0, nil, -1.0, nil, 0.0], record(dist: -1)]
    %w[distance size other].each do |mode|
      assert_equal rows, boundary(rows, mode, distance: 5), mode
    end
  end

  def test_boundary_check_by_distance_is_strict
    rows = [2.0, 2.0001, 1.0, 0.0, 7.5].map { |d| record(dist: d) }
    assert_equal [2.0001, 7.5], boundary(rows, "distance", distance: 2.0).map { |r| r[5] }
  end

  def test_boundary_check_by_size_scales_the_footprint_radius
    [
      # definition, percent, uniform scale, per-axis scale, distance, kept
      [0, 100, 1.0, [1, 1], 2.0, false],
      [0, 100, 1.0, [1, 1], 2.01, true],
      [1, 100, 1.0, [1, 1], 3.0, false],
      [1, 100, 1.0, [1, 1], 3.01, true],
      [0, 100, 2.0, [1, 1.5], 6.0, false],     # 2 * 2 * max(1, 1.5)
      [0, 100, 2.0, [1.5, 1], 6.01, true],
      [1, 100, 0.5, [0.5, 1], 1.5, false],     # 0.5 * 3 * 1
      [1, 100, 0.5, [0.5, 1], 1.6, true],
      [0, 50, 1.0, [1, 1], 0.99, false],       # radius 1
      [0, 50, 1.0, [1, 1], 1.01, true],
      [-1, 100, 1.0, [1, 1], 1000.0, false],   # no definition
    ].each do |definition, percent, scale, axis_scale, dist, kept|
      rows = [record(definition: definition, scale: scale, axis_scale: axis_scale + [1], dist: dist)]
      assert_equal kept ? rows : [], boundary(rows, "size", percent: percent),
                   "definition #{definition} at #{percent}%, scale #{scale} #{axis_scale}, distance #{dist}"
    end
  end

  def test_an_unknown_boundary_mode_drops_every_record_with_a_distance
    rows = [record(dist: 100.0), record(dist: -1.0), record(dist: 0.5)]
    ["Distance", "", "size "].each do |mode|
      assert_equal [rows[1]], boundary(rows, mode, distance: 0.0), mode.inspect
    end
  end

  def test_boundary_definition_indices_outside_the_list_raise
    [2, 7, -2].each do |definition|
      rows = [record(dist: 1.0), record(definition: definition, dist: 1.0)]
      error = assert_raises(IndexError) { boundary(rows, "size") }
      assert_equal "definition index #{definition} out of range (2 definitions)", error.message
    end
    # Outside mode "size" the index is read but selects nothing.
    assert_equal 1, boundary([record(definition: 7, dist: 3.0)], "distance", distance: 1.0).size
  end

  # Density settings D = 10, P = 0 make the threshold d * 10; D = 8, P = 50 make it
  # (4 + d) / 8 * 100. Each record's draw is the first of the stream seeded by its seed.
  def test_density_falloff_draws_once_from_each_records_seed
    [
      [[10, 0], [0.0, 2.5, 5.0, 7.5, 10.0], ->(d) { d * 10 }],
      [[8, 50], [-1.0, 0.0, 2.0, 4.0], ->(d) { (4 + d) / 8 * 100 }],
    ].each do |(distance, percent), distances, threshold|
      rows = distances.product((1..8).to_a).map { |d, seed| record(seed: seed * 1013, dist: d) }
      [false, true].each do |inverse|
        out = QEL_Vandrel.cpp_area_falloff(rows, [true, inverse, distance, percent], [false, false, 1, 1], nil, nil)
        expected = rows.select do |r|
          CRand.seed(r[3])
          (CRand.percentage <= threshold.(r[5])) != inverse
        end
        assert_equal expected, out, "D #{distance} P #{percent} inverse #{inverse}"
      end
    end
  end

  def test_density_falloff_at_the_full_distance_keeps_every_record
    rows = (1..20).map { |seed| record(seed: seed, dist: 10.0) }
    assert_equal rows, QEL_Vandrel.cpp_area_falloff(rows, [true, false, 10, 0], [false, false, 1, 1], nil, nil)
    assert_equal [], QEL_Vandrel.cpp_area_falloff(rows, [true, true, 10, 0], [false, false, 1, 1], nil, nil)
  end

  def test_scale_falloff_shrinks_by_the_distance
    # Ds = 8, Ps = 50: f = (d + 4) / 8 up to 1; inverse: f = 1 - d / 16, at least 0.5.
    [
      [false, [[0.0, 0.5], [2.0, 0.75], [4.0, 1.0], [6.0, 1.0], [-1.0, 0.375]]],
      [true, [[0.0, 1.0], [4.0, 0.75], [8.0, 0.5], [16.0, 0.5], [-1.0, 1.0625]]],
    ].each do |inverse, cases|
      rows = cases.map { |d, _| record(scale: 2.0, dist: d) }
      out = QEL_Vandrel.cpp_area_falloff(rows, [false, false, 1, 1], [true, inverse, 8, 50], nil, nil)
      assert_equal cases.map { |_, f| 2.0 * f }, out.map { |r| r[2] }, "inverse #{inverse}"
    end
  end

  def test_altitude_range_keeps_exactly_the_heights_within_it_and_draws_nothing
    zs = [-0.5, 0.0, 3.0, 10.0, 10.25, Float::NAN, 25.0, 7.0]
    out = QEL_Vandrel.cpp_altitude_range(zs.map { |z| at_height(z) }, 0, 10, 2, 3, false, false, 31)
    assert_equal [0.0, 3.0, 10.0, 7.0], heights(out)
    after = CRand.next_int
    assert_equal fresh_draw(31), after, "seeded, nothing drawn"
  end

  def test_slope_range_keeps_exactly_the_angles_within_it_in_degrees
    angles = [0, 10, 29.5, 30.5, 45, 90, 135, 180]
    rows = angles.map { |a| tilted(a) }
    [
      [0, 30, [0, 10, 29.5]],
      [40, 100, [45, 90]],
      [0, 180, angles],
    ].each do |lo, hi, kept|
      out = QEL_Vandrel.cpp_slope_range(rows, lo, hi, 0, 0, false, false, 5)
      assert_equal(kept.map { |a| rows[angles.index(a)] }, out, "#{lo} to #{hi} degrees")
    end
    # Normals need not be unit length.
    long = [record(normal: [0, 0, 5]), record(normal: [3, 0, 0])]
    assert_equal [long[0]], QEL_Vandrel.cpp_slope_range(long, 0, 30, 0, 0, false, false, 5)
  end

  def test_soft_bands_scale_by_the_depth_into_the_band
    [
      # lo, hi, soft_lo, soft_hi, height, scale after (from 3.0), or nil when dropped
      [0, 10, 2, 0, 1.0, 1.5],
      [0, 10, 2, 0, 5.0, 3.0],
      [0, 10, 2, 0, 2.0, 3.0],
      [0, 10, 2, 0, 0.0, 0.0],
      [0, 10, 2, 0, 10.5, nil],
      [0, 10, 0, 4, 9.0, 0.75],
      [0, 10, 0, 4, 6.0, 3.0],
      [0, 8, 8, 8, 2.0, 0.5625],  # both bands: 0.25 * 6 / 8
    ].each do |lo, hi, soft_lo, soft_hi, z, scaled|
      out = QEL_Vandrel.cpp_altitude_range([at_height(z, scale: 3.0)], lo, hi, soft_lo, soft_hi, false, true, 1)
      assert_equal scaled ? [scaled] : [], out.map { |r| r[2] }, "#{z} in #{lo}..#{hi} bands #{soft_lo} #{soft_hi}"
    end
    after = CRand.next_int
    assert_equal fresh_draw(1), after, "scaling draws nothing"
    # Slope bands are in degrees too: 10 degrees into a 20 degree band halves the scale.
    out = QEL_Vandrel.cpp_slope_range([tilted(10, scale: 3.0)], 0, 90, 20, 0, false, true, 1)
    assert_in_delta 1.5, out[0][2], 1e-5
  end

  def test_density_bands_draw_once_per_entered_band_in_record_order
    # Range 0..10 with bands of 4: thresholds (depth / 4 * 100) of the heights in a band.
    cases = [[1.0, 25], [5.0, nil], [9.0, 25], [-1.0, :out], [2.0, 50], [8.0, 50], [11.0, :out], [3.0, 75]]
    out = QEL_Vandrel.cpp_altitude_range(cases.map { |z, _| at_height(z) }, 0, 10, 4, 4, true, false, 77)
    after = CRand.next_int
    CRand.seed(77)
    expected = cases.filter_map do |z, threshold|
      next if threshold == :out
      z if threshold.nil? || threshold >= CRand.percentage
    end
    assert_equal expected, heights(out)
    assert_equal fresh_draw(77, 5), after, "one draw per record in a band"
  end

  def test_overlapping_bands_draw_twice_even_after_a_drop
    # In 0..8 with bands of 8, height 2 has thresholds 25 then 75, height 4 50 then 50.
    rows = [at_height(2.0, scale: 2.0), at_height(4.0, scale: 2.0)]
    (1..12).each do |seed|
      out = QEL_Vandrel.cpp_altitude_range(rows, 0, 8, 8, 8, true, true, seed * 97)
      after = CRand.next_int
      CRand.seed(seed * 97)
      draws = Array.new(4) { CRand.percentage }
      assert_equal CRand.next_int, after, "four draws"
      expected = []
      expected << [2.0, 2.0 * 0.1875] if 25 >= draws[0] && 75 >= draws[1]
      expected << [4.0, 2.0 * 0.25] if 50 >= draws[2] && 50 >= draws[3]
      assert_equal expected, out.map { |r| [r[0][2], r[2]] }, "seed #{seed}"
    end
  end

  def test_filters_return_copies_sharing_the_elements_and_leave_the_rows_alone
    rows = [record(position: [0.0, 0.0, 3.0], scale: 2.0, seed: 4, dist: 1.0) + [:extra]]
    before = Marshal.load(Marshal.dump(rows))
    gc_checkpoint
    [
      # the call, and the scale it stores (nil: slot 2 is shared too)
      [-> { boundary(rows, "distance", distance: 0.5) }, nil],
      [-> { QEL_Vandrel.cpp_area_falloff(rows, [false, false, 1, 1], [true, false, 8, 50], nil, nil) }, 1.25],
      [-> { QEL_Vandrel.cpp_altitude_range(rows, 0, 10, 0, 8, false, true, 1) }, 1.75],
      [-> { QEL_Vandrel.cpp_slope_range(rows, 0, 10, 0, 0, true, false, 1) }, nil],
    ].each_with_index do |(call, scaled), k|
      out = call.()
      gc_checkpoint
      assert_equal before, rows, "call #{k}"
      assert_equal 1, out.size, "call #{k}"
      refute_same rows[0], out[0]
      assert_equal 9, out[0].size
      shared = scaled ? (0...9).to_a - [2] : (0...9).to_a
      shared.each { |slot| assert_same rows[0][slot], out[0][slot], "call #{k} slot #{slot}" }
      assert_equal(scaled || 2.0, out[0][2], "call #{k}")
    end
  end

  def test_many_records_survive_the_collector
    rows = Array.new(sized(200)) { |i| at_height(i * 0.1, scale: 1.0) }
    out = QEL_Vandrel.cpp_altitude_range(rows, 2, 15, 0, 5, false, true, 9)
    gc_checkpoint
    assert_equal heights(rows).select { |z| f32(z).between?(2, 15) }, heights(out)
    out.each { |r| assert_kind_of Float, r[2] }
  end

  def test_malformed_arguments_raise
    good = record(dist: 1.0)
    falloff = ->(rows) { QEL_Vandrel.cpp_area_falloff(rows, [true, false, 1, 1], [true, false, 1, 1], nil, nil) }
    altitude = ->(rows) { QEL_Vandrel.cpp_altitude_range(rows, 0, 1, 0, 0, false, false, 1) }
    slope = ->(rows) { QEL_Vandrel.cpp_slope_range(rows, 0, 1, 0, 0, false, false, 1) }
    [
      [TypeError, -> { boundary(nil, "distance") }],
      [TypeError, -> { boundary([good, nil], "distance") }],
      [TypeError, -> { boundary([good], :distance) }],
      [TypeError, -> { boundary([good], "distance", definitions: nil) }],
      [TypeError, -> { boundary([record(dist: 1.0, axis_scale: nil)], "distance") }],
      [TypeError, -> { boundary([record(dist: nil)], "distance") }],
      [RangeError, -> { boundary([record(dist: 1.0, definition: 2**31)], "distance") }],
      [TypeError, -> { boundary([record(dist: 1.0)], "size", definitions: [[nil, 1, 100, nil, [0, 0, 0], [1, 1, 1]]]) }],
      [TypeError, -> { falloff.([good, 5]) }],
      [TypeError, -> { falloff.([record(dist: nil)]) }],
      [TypeError, -> { falloff.([record(seed: nil)]) }],
      [TypeError, -> { QEL_Vandrel.cpp_area_falloff([good], nil, [true, false, 1, 1], nil, nil) }],
      [TypeError, -> { altitude.([at_height(0.5), [nil]]) }],
      [TypeError, -> { altitude.([at_height(0.5, scale: nil)]) }],
      [TypeError, -> { QEL_Vandrel.cpp_altitude_range([], nil, 1, 0, 0, false, false, 1) }],
      [TypeError, -> { slope.([record(normal: nil)]) }],
      [TypeError, -> { slope.([record(position: [1, 2])]) }],
      [RangeError, -> { QEL_Vandrel.cpp_slope_range([], 0, 1, 0, 0, false, false, 2**40) }],
    ].each_with_index do |(error, call), k|
      assert_raises(error, "case #{k}") { call.() }
    end
  end
end
