require "test_helper"

class GuidsTest < Minitest::Test
  FORMAT = /\A\h{8}-\h{4}-\h{4}-\h{4}-\h{12}\z/

  def assert_guid(text)
    assert_match FORMAT, text
    assert_equal text.downcase, text
    assert_equal Encoding::UTF_8, text.encoding
  end

  def test_guids_are_lower_case_hexadecimal_in_groups_and_all_different
    assert_guid QEL_Vandrel.cpp_guid
    many = QEL_Vandrel.cpp_guids(sized(500))
    assert_equal sized(500), many.size
    many.each { |g| assert_guid g }
    assert_equal many.size, many.uniq.size
  end

  def test_no_guids_for_a_count_of_zero_or_less
    [0, -3].each { |n| assert_equal [], QEL_Vandrel.cpp_guids(n) }
    assert_raises(TypeError) { QEL_Vandrel.cpp_guids(nil) }
    assert_raises(RangeError) { QEL_Vandrel.cpp_guids(2**40) }
  end

  def test_render_records_append_to_the_given_list
    list = []
    t1, t2 = Array.new(16, 0.0), Array.new(16, 1.0)
    assert_equal true, QEL_Vandrel.cpp_render_generate(list, t1)
    gc_checkpoint
    assert_equal true, QEL_Vandrel.cpp_render_generate(list, t2)
    assert_equal 2, list.size
    assert_equal %w[uuid transformation], list[0].keys
    assert_same t1, list[0]["transformation"]
    assert_same t2, list[1]["transformation"]
    list.each { |r| assert_guid r["uuid"] }
    refute_equal list[0]["uuid"], list[1]["uuid"]
  end

  def test_render_records_need_an_array
    assert_raises(TypeError) { QEL_Vandrel.cpp_render_generate(nil, []) }
    assert_raises(TypeError) { QEL_Vandrel.cpp_render_generate({}, []) }
    assert_raises(FrozenError) { QEL_Vandrel.cpp_render_generate([].freeze, []) }
  end
end
