require "test_helper"

# The steps build their results a block of entries at a time: every entry must land once, in
# its place, as a fresh Array that shares its slot objects with the record it copies, for
# every count around the block size.
class ResultBuildingTest < Minitest::Test
  V = QEL_Vandrel
  COUNTS = [0, 1, 63, 64, 65, 128, 130].freeze
  DEFINITIONS = [["tree", 1, 100, "center", [-0.1, -0.1, 0], [0.1, 0.1, 1]]].freeze
  SCALE = [false, "xyz", 100, 100, 100, 100, 100, 100].freeze

  # count records on a row along x, far enough apart never to collide.
  def rows(count)
    (0...count).map { |i| [[i * 1.5 + 0.25, 0.5, 0.0], [0.0, 0.0, 1.0], 1.0, i, 0, -1.0, [1.0, 1.0, 1.0], 0.0] }
  end

  def assert_copies(input, out, changed, label)
    assert_equal input.size, out.size, label
    out.each_with_index do |copy, i|
      refute_same input[i], copy, "#{label}: record #{i} is a copy"
      (0...8).each do |slot|
        next if changed.include?(slot)
        assert_same input[i][slot], copy[slot], "#{label}: record #{i} shares slot #{slot}"
      end
    end
  end

  def test_copies_land_in_order_at_every_count
    COUNTS.each do |n|
      input = rows(n)
      assert_copies input, V.cpp_scale(input, [DEFINITIONS], SCALE, nil), [2, 6], "scale of #{n}"
      ring = [[-10, -1, 0], [n * 1.5 + 10, -1, 0], [n * 1.5 + 10, 2, 0], [-10, 2, 0]]
      _, _, inside = V.cpp_areas({ "include" => 2, "points" => input, "curves" => [ring], "area_density_falloff" => false,
                                   "area_scale_falloff" => false, "boundary_check" => "distance",
                                   "project_custom_axis" => false, "custom_axis" => [0, 0, -1], "seed" => 1,
                                   "global_warning_time" => 1e9, "elapsed_time" => 0, "confirmed" => true })
      assert_copies input, inside, [5], "areas of #{n}"
      assert_equal [1.5] * n, inside.map { |r| r[5] }, "areas of #{n}: distances to the ring's long sides"
      turned = V.cpp_custom_axis(input, [0, 0, -1], true)
      assert_copies input, turned, [0], "custom axis of #{n}"
      assert_equal input.map(&:first), turned.map(&:first), "custom axis of #{n}: positions made anew, unturned"
    end
  end

  def test_selections_are_the_records_themselves_in_order_at_every_count
    COUNTS.each do |n|
      input = rows(n)
      kept = V.cpp_collisions(input, DEFINITIONS, 100, 3)
      assert_equal n, kept.size, "collisions of #{n}"
      assert_equal input.map(&:object_id).sort, kept.map(&:object_id).sort, "collisions of #{n}: every record once"
      seen = V.cpp_camera(input, [[0, 0, 10], [0, 0, -1], [0, 1, 0], 3, 3], false, 0, 0, false, 0, 0, 1)
      assert_equal input.map(&:object_id), seen.map(&:object_id), "camera of #{n}: the records, in order"
    end
  end

  def test_made_records_and_items_at_every_count
    COUNTS.each do |n|
      input = rows(n)
      items = V.cpp_random_transform({ "seed" => 1, "points" => input, "comp_defs" => [DEFINITIONS], "scale" => SCALE,
                                       "rotation" => [false, 0, 0, 0, 0, 0, 0],
                                       "translation" => [false, 0, 0, 0, 0, 0, 0], "pointing" => 0,
                                       "swap_yz" => false, "mirror" => false, "vmirror" => false,
                                       "r90_180_270" => false })
      assert_equal n, items.size, "transforms of #{n}"
      items.each_with_index do |(matrix, definition), i|
        assert_equal [16, 0], [matrix.size, definition], "transform #{i} of #{n}"
        assert_equal input[i][0].map { |c| f32(c) }, matrix[12, 3], "transform #{i} of #{n}: its translation"
      end
      boxes = V.cpp_bboxes(items, DEFINITIONS)
      assert_equal [n, [12] * n], [boxes.size, boxes.map(&:size)], "boxes of #{n}"
    end
  end

  # The collector is held off while a block of entries is made, and only then.
  def test_the_collector_is_left_as_it_was_found
    input = rows(200)
    build = -> { V.cpp_scale(input, [DEFINITIONS], SCALE, nil).size }
    assert_equal 200, build.()
    refute GC.enable, "the collector runs again after the step"
    GC.disable
    assert_equal 200, build.()
    assert GC.enable, "a collector the caller turned off stays off"
    assert_raises(TypeError) { V.cpp_scale(input + [nil], [DEFINITIONS], SCALE, nil) }
    refute GC.enable, "the collector runs again after a failed step"
  end
end
