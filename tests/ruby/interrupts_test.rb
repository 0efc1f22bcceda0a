require "test_helper"
require "timeout"

# Long steps stay in touch with the interpreter: Timeout and Thread#kill stop them promptly,
# other threads get their turn meanwhile, and nothing such a thread does changes a seeded
# step's draws or the records a step returns.
class InterruptsTest < Minitest::Test
  V = QEL_Vandrel
  STATUS = [1e9, 0, true].freeze

  # A number whose every conversion lets other threads run first.
  class Yielding < Numeric
    def initialize(value)
      super()
      @value = value
    end

    def to_f
      Thread.pass
      @value.to_f
    end
  end

  def record(x, y, z, scale: 1.0) = [[x, y, z], [0.0, 0.0, 1.0], scale, 17, 0, -1.0, [1.0, 1.0, 1.0], 0.0]

  def cpu_seconds
    start = Process.clock_gettime(Process::CLOCK_PROCESS_CPUTIME_ID)
    yield
    Process.clock_gettime(Process::CLOCK_PROCESS_CPUTIME_ID) - start
  end

  # The size of a call's input at which it takes about `seconds` of CPU time, from a run
  # that takes at least a tenth of a second; the calls grow linearly with their input.
  def size_for(seconds, start)
    size = start
    loop do
      GC.start # earlier garbage, which a step may leave to be collected after it, is not charged to the call
      taken = cpu_seconds { yield size }
      return (size * seconds / taken).ceil if taken >= 0.1
      size *= 4
    end
  end

  # The call sized to take about three seconds of CPU, stopped by Timeout.timeout(0.2): it
  # raises long before the call would have finished. Measured in CPU time, as the sizing is, so
  # that a loaded machine, which stretches the wall clock, cannot fail it.
  def assert_times_out(label, start, &call)
    call.(1) # builds what the scene builds on first use (the projection's index), so the sizing sees the steady cost
    size = size_for(3.0, start, &call)
    GC.start
    taken = cpu_seconds { assert_raises(Timeout::Error, label) { Timeout.timeout(0.2) { call.(size) } } }
    assert_operator taken, :<, 1.5, "#{label}: stopped after #{taken.round(3)} s of CPU"
  end

  def rings
    Array.new(10) { |k| Array.new(400) { |i| a = 2 * Math::PI * i / 400; [20 * k + 8 * Math.cos(a), 8 * Math.sin(a), 0] } }
  end

  def area_settings(points)
    { "include" => 2, "points" => points, "curves" => rings, "area_density_falloff" => true,
      "area_scale_falloff" => false, "boundary_check" => "distance", "project_custom_axis" => false,
      "custom_axis" => [0, 0, -1], "seed" => 5, "global_warning_time" => STATUS[0], "elapsed_time" => STATUS[1],
      "confirmed" => STATUS[2] }
  end

  def spread(n) = Array.new(n) { |i| record((i * 0.37) % 200, (i * 0.11) % 10, 0) }

  def test_timeout_stops_long_steps
    skip "timing runs are left to the plain and compact runs" if VandrelTest::GC_MODE == "stress"
    V.cpp_initialize_surface(Scenes.terrain(30, 300.0), false, [0, 0, -1])
    assert_times_out("projection", 20_000) { |n| V.cpp_project_down(Array.new(n) { |i| [(i * 0.7) % 300, (i * 0.3) % 300, 50] }, STATUS) }
    assert_times_out("area filter", 2_000) { |n| V.cpp_areas(area_settings(spread(n))) }
    defs = [[nil, 1, 100, "center", [-0.5, -0.5, 0], [0.5, 0.5, 1]]]
    assert_times_out("collisions", 20_000) { |n| V.cpp_collisions(Array.new(n) { record(1, 1, 0) }, defs, 100, 3) }
    assert_times_out("GUIDs", 20_000) { |n| V.cpp_guids(n) }
  end

  def circle(n, r = 10.0) = [Array.new(n) { |i| a = 2 * Math::PI * i / n; [r * Math.cos(a), r * Math.sin(a), 0.0] }, [0.0, 0.0, 1.0]]

  # A face's triangulation grows with the square of its vertices: 20,000 take seconds, so
  # 100,000 would take minutes before the first random point.
  def test_timeout_stops_the_triangulation_of_a_huge_face
    skip "timing runs are left to the plain and compact runs" if VandrelTest::GC_MODE == "stress"
    V.cpp_initialize_surface([circle(100_000)], false, [0, 0, -1])
    started = Process.clock_gettime(Process::CLOCK_MONOTONIC)
    assert_raises(Timeout::Error) { Timeout.timeout(0.2) { V.cpp_generate_random_points(1, "random", 1, 3) } }
    elapsed = Process.clock_gettime(Process::CLOCK_MONOTONIC) - started
    assert_operator elapsed, :<, 1.5, "stopped after #{elapsed.round(3)} s"
  ensure
    V.cpp_initialize_surface([Scenes.square], false, [0, 0, -1])
  end

  def test_thread_kill_stops_a_long_step
    skip "timing runs are left to the plain and compact runs" if VandrelTest::GC_MODE == "stress"
    size = size_for(3.0, 20_000) { |n| V.cpp_guids(n) }
    worker = Thread.new { V.cpp_guids(size) }
    sleep 0.05
    started = Process.clock_gettime(Process::CLOCK_MONOTONIC)
    worker.kill
    worker.join
    assert_operator Process.clock_gettime(Process::CLOCK_MONOTONIC) - started, :<, 1.0
  end

  def test_other_threads_run_during_a_long_step
    skip "timing runs are left to the plain and compact runs" if VandrelTest::GC_MODE == "stress"
    V.cpp_initialize_surface(Scenes.terrain(30, 300.0), false, [0, 0, -1])
    points = Array.new(size_for(2.0, 20_000) { |n| V.cpp_project_down(Array.new(n) { [5, 5, 50] }, STATUS) }) { [5, 5, 50] }
    beats = []
    heart = Thread.new do
      loop do
        beats << Process.clock_gettime(Process::CLOCK_MONOTONIC)
        sleep 0.01
      end
    end
    sleep 0.05
    started = Process.clock_gettime(Process::CLOCK_MONOTONIC)
    V.cpp_project_down(points, STATUS)
    finished = Process.clock_gettime(Process::CLOCK_MONOTONIC)
    heart.kill
    during = beats.count { |t| t > started && t < finished }
    # The interpreter hands a waiting thread its turn every tenth of a second; one beat per
    # half second leaves room for collections.
    assert_operator during, :>=, ((finished - started) * 2).floor, "#{during} beats in #{(finished - started).round(2)} s"
  end

  # Records on a slope through the altitude range's soft bands, where thinning draws.
  def banded_rows(scale) = Array.new(sized(60)) { |i| record(i * 0.1, 0, i * 0.1, scale: scale.(1.0)) }

  def test_a_seeded_step_draws_the_same_with_another_thread_reseeding
    reseeder = Thread.new do
      k = 0
      loop do
        CRand.seed(k += 1)
        Thread.pass
      end
    end
    [V.method(:cpp_altitude_range), V.method(:cpp_slope_range)].each do |step|
      plain = step.(banded_rows(->(s) { s }), 0, 6, 2, 2, true, true, 5).map { |r| [r[0], r[2]] }
      CRand.seed(1)
      threaded = step.(banded_rows(->(s) { Yielding.new(s) }), 0, 6, 2, 2, true, true, 5).map { |r| [r[0], r[2]] }
      assert_equal plain, threaded, step.name
      assert_operator plain.size, :<, banded_rows(->(s) { s }).size, "#{step.name} thins in its bands"
    end
    reseeder.kill
    reseeder.join
  end

  def test_a_rows_array_shrunk_by_a_conversion_gives_the_records_read
    defs = [[nil, 1, 100, "center", [-0.1, -0.1, 0], [0.1, 0.1, 1]]]
    rows = Array.new(20) { |i| record(i, 0, 0) }
    expected = V.cpp_collisions(rows.dup, defs, 100, 3).map { |r| r[0][0] }.sort
    rows[1][2] = Reentrant.new(1.0) { rows.clear }
    kept = V.cpp_collisions(rows, defs, 100, 3)
    assert_empty rows
    refute_includes kept, nil
    assert_equal expected, kept.map { |r| r[0][0] }.sort
  end

  def test_guid_counts_are_capped_like_the_generators
    error = assert_raises(RangeError) { V.cpp_guids(2**24 + 1) }
    assert_match(/16777216/, error.message)
    assert_equal [], V.cpp_guids(-3)
  end
end
