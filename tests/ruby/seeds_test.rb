require "test_helper"

class SeedsTest < Minitest::Test
  def record(position) = [position, [0.0, 0.0, 1.0], 1.0, nil, nil, nil, nil, 0.0]

  def test_seeds_hash_the_position_and_the_call_seed
    [
      [0, [0, 0, 0], 480750],
      [1, [1, 2, 3], 711539],
      [42, [0.5, -1.25, 2], 972160],
      [0, [-1, 0, 0], 788282],
    ].each do |seed, position, expected|
      rows = [record(position)]
      assert_same rows, QEL_Vandrel.cpp_points_seeds(rows, seed)
      assert_equal expected, rows[0][3], "seed #{seed} at #{position}"
    end
  end

  def test_equal_positions_get_equal_seeds_whatever_their_order
    rows = [[1.5, 2, 3], [4, 5, 6], [1.5, 2, 3]].map { |p| record(p) }
    QEL_Vandrel.cpp_points_seeds(rows, 9)
    assert_equal rows[0][3], rows[2][3]
    alone = [record([1.5, 2, 3])]
    QEL_Vandrel.cpp_points_seeds(alone, 9)
    assert_equal rows[0][3], alone[0][3]
    rows.each { |r| assert r[3].between?(0, 999_999) }
  end

  def test_seeds_stop_at_the_first_bad_record_keeping_the_earlier_ones
    rows = [record([1, 1, 1]), nil, record([2, 2, 2])]
    assert_raises(TypeError) { QEL_Vandrel.cpp_points_seeds(rows, 1) }
    refute_nil rows[0][3]
    assert_nil rows[2][3]
    assert_raises(FrozenError) { QEL_Vandrel.cpp_points_seeds([record([0, 0, 0]).freeze], 1) }
    assert_equal [], QEL_Vandrel.cpp_points_seeds([], 1)
  end

  # Positions that need the interpreter's conversion (a Rational) are read the checked way, the
  # others a block at a time: the seeds are the same either way, across the blocks, and a bad
  # record stops the step after the records before it.
  def test_seeds_do_not_depend_on_how_a_position_is_read
    plain = Array.new(200) { |i| record([i * 0.5, -i, 2]) }
    mixed = Array.new(200) { |i| record([i % 3 == 0 ? Rational(i, 2) : i * 0.5, -i, 2]) }
    QEL_Vandrel.cpp_points_seeds(plain, 4)
    QEL_Vandrel.cpp_points_seeds(mixed, 4)
    assert_equal plain.map { |r| r[3] }, mixed.map { |r| r[3] }
    mixed.each { |r| r[3] = nil }
    mixed[130][0] = [1, "x", 2]
    assert_raises(TypeError) { QEL_Vandrel.cpp_points_seeds(mixed, 4) }
    assert_equal plain[0, 130].map { |r| r[3] }, mixed[0, 130].map { |r| r[3] }
    assert mixed[130..].all? { |r| r[3].nil? }
  end

  def definitions(*weights) = weights.map { |w| ["def", w, 100, "center", [0, 0, 0], [1, 1, 1]] }

  def deal(count, weights, total = weights.sum, seed: 3, **extra)
    rows = Array.new(count) { |i| record([i, 0, 0]) }
    settings = { "points" => rows, "defs" => definitions(*weights), "probability_total" => total,
                 "clusters" => false, "clusters_perturb" => false, "clusters_size" => 10,
                 "clusters_blur" => 0, "clusters_noise" => 0, "seed" => seed }.merge(extra)
    assert_same rows, QEL_Vandrel.cpp_points_defs(settings)
    rows
  end

  def test_definitions_are_dealt_in_proportion_to_their_weights
    # Each share is rounded up, so the bag may hold a few entries more than there are
    # records; the shuffle decides which are left over.
    [
      [100, [1, 3], { 0 => 25..25, 1 => 75..75 }],
      [100, [30, 70], { 0 => 30..31, 1 => 69..70 }],
      [10, [1, 1, 1], { 0 => 2..4, 1 => 2..4, 2 => 2..4 }],
      [50, [0, 5], { 1 => 50..50 }],
    ].each do |count, weights, shares|
      rows = deal(count, weights)
      tally = rows.map { |r| r[4] }.tally
      assert_equal shares.keys.sort, tally.keys.sort, "weights #{weights}"
      shares.each { |index, range| assert_includes range, tally[index], "weights #{weights}" }
      rows.each { |r| assert_equal(-1.0, r[5]) }
    end
  end

  def test_no_definitions_and_empty_bags_give_no_definition
    [[[], 1], [[0, 0], 1], [[1], Float::INFINITY], [[1], Float::NAN]].each do |weights, total|
      rows = deal(20, weights, total)
      assert_equal [-1], rows.map { |r| r[4] }.uniq, "weights #{weights} total #{total}"
    end
  end

  def test_a_short_bag_is_dealt_round_again
    rows = deal(10, [1], 10)  # one definition, one copy, ten records
    assert_equal [0], rows.map { |r| r[4] }.uniq
  end

  def test_definitions_leave_rand_seeded_with_the_seed
    deal(30, [1, 2], seed: 55)
    after = CRand.next_int
    CRand.seed(55)
    assert_equal CRand.next_int, after
  end

  def test_unused_cluster_settings_must_still_be_numbers
    assert_raises(TypeError) { deal(5, [1], "clusters_blur" => nil) }
    assert_raises(TypeError) { deal(5, [1], "clusters_size" => "big") }
    assert_raises(TypeError) { QEL_Vandrel.cpp_points_defs(nil) }
    assert_raises(TypeError) { deal(5, [1], "points" => nil) }
  end
end
