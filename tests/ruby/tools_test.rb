require "test_helper"

class ToolsTest < Minitest::Test
  POINTS = [[0, 0, 0], [7.9, 0, 5], [8, 0, 0]].freeze

  def test_erase_points_measures_in_plan_view_against_the_cursor
    [
      [[0, 0, 0], [0, 1]],  # z of the points is ignored; exactly 8 is not erased
      [[0, 0, 6], [0]],     # the cursor keeps its own z: distances 6, 9.92 and 10
      [[100, 0, 0], []],
    ].each do |cursor, expected|
      assert_equal expected, QEL_Vandrel.cpp_erase_points(POINTS, cursor), "cursor #{cursor}"
    end
  end

  def test_erase_points_reads_points_as_floats
    # 7.99999999 narrows to 8.0f, which is not closer than 8.
    assert_equal [], QEL_Vandrel.cpp_erase_points([[7.99999999, 0, 0]], [0, 0, 0])
    assert_equal [0], QEL_Vandrel.cpp_erase_points([[7.9999, 0, 0]], [0, 0, 0])
  end

  def test_erase_points_of_no_points_is_empty
    assert_equal [], QEL_Vandrel.cpp_erase_points([], [0, 0, 0])
  end

  def test_malformed_arguments_raise_instead_of_crashing
    [
      [[nil, [0, 0, 0]], TypeError, /expected Array/],
      [[[[1, 2]], [0, 0, 0]], TypeError, /nil/],
      [[[[0, 0, 0]], nil], TypeError, /expected Array/],
      [[[[0, 0, 0]], [0, 0]], TypeError, /nil/],
      [[[nil], [0, 0, 0]], TypeError, /expected Array/],
      [[[[0, "1", 0]], [0, 0, 0]], TypeError, /from string/],
      [[{}, [0, 0, 0]], TypeError, /expected Array/],
      [[[[0, 0, 0]], 5], TypeError, /expected Array/],
    ].each do |args, error, message|
      e = assert_raises(error, "args #{args.inspect}") { QEL_Vandrel.cpp_erase_points(*args) }
      assert_match message, e.message
    end
  end

  def test_numbers_beyond_fixnum_and_float_immediates_are_read_by_the_interpreter
    assert_equal [0], QEL_Vandrel.cpp_erase_points([[Rational(1, 2), 2**70 - 2**70, 1e300]], [0, 0, 0])
    assert_equal [], QEL_Vandrel.cpp_erase_points([[2**70, 0, 0]], [0, 0, 0])
  end

  def test_funcall_reports_the_answer_of_the_host
    [[6, "continue\n"], [7, "abort\n"], [nil, "abort\n"], ["6", "abort\n"]].each do |answer, word|
      UI.reset([answer])
      out, = capture_io { assert_equal true, QEL_Vandrel.cpp_funcall }
      assert_equal word, out
      assert_equal [["bla", 4]], UI.calls
    end
  end

  def test_funcall_passes_on_an_exception_of_the_host
    original = UI.method(:messagebox)
    UI.define_singleton_method(:messagebox) { |*| raise IOError, "no display" }
    assert_raises(IOError) { QEL_Vandrel.cpp_funcall }
  ensure
    UI.define_singleton_method(:messagebox, original)
  end
end
