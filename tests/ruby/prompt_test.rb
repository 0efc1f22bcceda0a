require "test_helper"

# The time-limit prompt as the three long steps run it: asked before the first unit of work
# when the budget is already spent, asked once when it runs out during a long run, never
# asked once the user has confirmed.
class PromptTest < Minitest::Test
  PROMPT_KEYS = ["Computing this setup is taking more than ", " seconds, do you want to abort?"].freeze
  # Ten microseconds: each long run below works for milliseconds on any machine, so the budget
  # runs out early in it, and the clock is read again soon after (the stride grows by doubling).
  LONG_RUN_BUDGET = 1e-5

  def setup
    super
    QEL_Vandrel.instance_variable_set(:@transl8, PROMPT_KEYS.to_h { |k| [k, k] })
  end

  def record(x, y) = [[x, y, 0.0], [0.0, 0.0, 1.0], 1.0, 17, 0, -1.0, [1.0, 1.0, 1.0], 0.0]

  def areas(points, rings, status)
    QEL_Vandrel.cpp_areas({
      "include" => 2, "points" => points, "curves" => rings, "area_density_falloff" => false,
      "area_scale_falloff" => false, "boundary_check" => "none", "project_custom_axis" => false,
      "custom_axis" => [0, 0, -1], "seed" => 7, "global_warning_time" => status[0],
      "elapsed_time" => status[1], "confirmed" => status[2],
    })
  end

  # Each step given a status, on inputs whose first unit of work raises TypeError.
  def steps_failing_at_the_first_unit
    QEL_Vandrel.cpp_initialize_surface([Scenes.square], false, [0, 0, -1])
    QEL_Vandrel.cpp_initialize_object_areas([[[[0, 0, 0], [4, 0, 0], [0, 4, 0]]]])
    not_an_index = record(1, 1).tap { |r| r[4] = "first" }  # cpp_areas reads slot 4 of each record
    {
      project_down: ->(status) { QEL_Vandrel.cpp_project_down([[1, 1]], status) },
      areas: ->(status) { areas([not_an_index], [[[0, 0, 0], [4, 0, 0], [0, 4, 0]]], status) },
      object_areas: ->(status) { QEL_Vandrel.cpp_object_areas([[[1, 1]]], nil, status) },
    }
  end

  def test_a_budget_spent_at_the_start_prompts_before_the_first_unit
    steps_failing_at_the_first_unit.each do |name, run|
      [[0, 1], [2.5, 3.5], [-1, 0]].each do |warning, elapsed|
        label = [name, warning, elapsed].inspect
        UI.reset([6])
        assert_equal [true, false, []], run.([warning, elapsed, false]), label
        assert_equal 1, UI.calls.size, label
        UI.reset([7])  # going on runs the first unit, which raises
        assert_raises(TypeError, label) { run.([warning, elapsed, false]) }
        assert_equal 1, UI.calls.size, label
      end
      UI.reset([6])
      assert_raises(TypeError, name.to_s) { run.([0, 1, true]) }
      assert_empty UI.calls, name.to_s
    end
  end

  def star(vertices, radius, depth, spikes)
    Array.new(vertices) do |i|
      a = 2 * Math::PI * i / vertices
      r = radius + depth * Math.sin(spikes * a)
      [r * Math.cos(a), r * Math.sin(a), 0]
    end
  end

  # Each step on a workload of many units. Projection makes a record per unit, which under
  # GC.stress collects every time: far fewer units are plenty there.
  def long_runs
    QEL_Vandrel.cpp_initialize_surface(Scenes.terrain(16, 80.0), false, [0, 0, -1])
    drops = Array.new(GC_MODE == "stress" ? 300 : 40_000) { |i| [(i * 0.618034) % 80, (i * 0.414214) % 80, 50] }
    # Records in the corners of the stars' bounds test every star's outline and lie in none;
    # the few at the centre are kept.
    corners = (-17.5..17.5).step(0.25).to_a.repeated_permutation(2).select { |x, y| Math.hypot(x, y) > 18.5 }
    records = corners.map { |x, y| record(x, y) } + Array.new(10) { |i| record(0.1 * i, 0.05) }
    stars = Array.new(4) { star(500, 10, 8, 25) }
    # Records inside the footprints are dropped; the few far away are kept.
    footprints = Array.new(300) { |k| [[[k * 0.01 - 5, -5, 0], [6, -5, 0], [0, 6, 0]]] }
    near = Array.new(2000) { |i| record((i % 40) * 0.05, (i / 40) * 0.05) }
    far = Array.new(10) { |i| record(50 + i, 50) }
    {
      project_down: ->(status) { QEL_Vandrel.cpp_project_down(drops, status) },
      areas: ->(status) { areas(records, stars, status) },
      object_areas: lambda do |status|
        QEL_Vandrel.cpp_initialize_object_areas(footprints)
        QEL_Vandrel.cpp_object_areas(near + far, nil, status)
      end,
    }
  end

  def cpu_seconds
    clock = Process::CLOCK_PROCESS_CPUTIME_ID
    start = Process.clock_gettime(clock)
    result = yield
    [result, Process.clock_gettime(clock) - start]
  end

  def test_a_budget_that_runs_out_during_a_long_run_prompts_once
    long_runs.each do |name, run|
      UI.reset([6])
      finished, seconds = cpu_seconds { run.([-1, 0, true]) }
      assert_empty UI.calls, name.to_s
      assert_equal [false, true], finished[0, 2], name.to_s
      assert_operator finished[2].size, :>=, 10, name.to_s
      assert_operator seconds, :>, 100 * LONG_RUN_BUDGET, "#{name} is too short a run for its budget"
      [
        [6, [true, false, []]],
        [7, [false, true, finished[2]]],
      ].each do |answer, expected|
        UI.reset([answer, answer])
        assert_equal expected, run.([LONG_RUN_BUDGET, 0, false]), [name, answer].inspect
        assert_equal 1, UI.calls.size, [name, answer].inspect
      end
    end
  end
end
