# The scatter pipeline on a large terrain, one row per step: its CPU time, the reference
# algorithms' time estimated from a subset, and the allocation floor of its result. Steps
# that have a reference are also checked to give exactly the reference's result on the
# subset; a difference is reported and makes the exit status 1. bench/million.rb runs the
# larger workload and compares every step on its whole input.
#
#   ruby -I build bench/pipeline.rb                            the full workload
#   VANDREL_BENCH_SCALE=0.05 ruby -I build bench/pipeline.rb   a twentieth of it
require_relative "bench_support"

module Pipeline
  include BenchSupport
  V = QEL_Vandrel
  SCALE = Float(ENV.fetch("VANDREL_BENCH_SCALE", "1"))
  raise ArgumentError, "VANDREL_BENCH_SCALE must be positive, got #{SCALE}" unless SCALE.positive?

  TERRAIN_SIZE = 1000.0
  TERRAIN_QUADS = [(200 * Math.sqrt(SCALE)).round, 2].max  # per side, each two triangles
  GRID_SPACING = 2.0 / Math.sqrt(SCALE)                    # about 250,000 points at scale 1
  COLLISION_RECORDS = [(50_000 * SCALE).round, 1].max

  # Footprint radii from 0.5 (0.625 at 80 %) to 2 (1.667 at 120 %).
  DEFINITIONS = [
    [nil, 1, 100, "center", [-0.625, -0.625, 0], [0.625, 0.625, 2]],
    [nil, 2, 100, "corner", [-1, -1, 0], [1, 1, 3]],
    [nil, 1, 100, "center", [-5 / 3.0, -5 / 3.0, 0], [5 / 3.0, 5 / 3.0, 4]]
  ].freeze

  module_function

  # Twenty wavy rings of 500 vertices, four rows of five.
  def rings
    (0...20).map do |k|
      cx, cy = 100 + (k % 5) * 200, 120 + (k / 5) * 240
      (0...500).map do |i|
        a = 2 * Math::PI * i / 500
        r = 80 + 15 * Math.sin(7 * a)
        [cx + r * Math.cos(a), cy + r * Math.sin(a), 0]
      end
    end
  end

  # 300 object footprints: 250 small rectangles and 50 concave stars of 30 vertices.
  def footprints
    (0...300).map do |k|
      x, y = (k % 20) * 50 + 10, (k / 20) * 66 + 10
      if k < 250
        [[[x, y, 0], [x + 8, y, 0], [x + 8, y + 5, 0], [x, y + 5, 0]]]
      else
        [(0...30).map { |i| a = 2 * Math::PI * i / 30; r = i.even? ? 10 : 4; [x + r * Math.cos(a), y + r * Math.sin(a), 0] }]
      end
    end
  end


  RINGS = rings.freeze
end

# A step's subset, timed with the reference algorithms and compared with the fast ones.
# The reference runs in a forked copy of this process, so that both runs start from the
# same state, the process-wide shuffle engine (which no seed reaches) included.
Reference = Struct.new(:growth, :full_size, :subset, :run, keyword_init: true) do
  include BenchSupport

  # [seconds, nil] when the results agree, [seconds, what differs] otherwise.
  def check(identities)
    identities = identities.dup
    subset.each_with_index { |row, i| identities[row] = [:input, i] }
    seconds, expected = in_child(identities)
    actual = canonical(run.(subset), identities)
    [seconds, actual == expected ? nil : first_difference(expected, actual)]
  end

  def scaled(seconds) = seconds * (full_size.to_f / subset.size)**growth

  def in_child(identities)
    reader, writer = IO.pipe
    pid = fork do
      reader.close
      VandrelBench.reference = true
      seconds, result = cpu_time { run.(subset) }
      writer.write(Marshal.dump([seconds, canonical(result, identities)]))
      writer.close
      exit!(0)
    end
    writer.close
    answer = reader.read
    reader.close
    Process.wait(pid)
    raise "the reference run of the subset failed (#{$?})" unless $?.success?
    Marshal.load(answer)
  end
end

class Report
  include BenchSupport
  COLUMNS = "%-20s %9s %9s %12s %9s %9s %10s  %s".freeze

  # identities: the objects whose identity a result must keep, each with its tag.
  def initialize(identities)
    @identities = identities
    @mismatches = []
  end

  # Runs one step on its input and prints its row. reference: { growth:, subset: } for a step
  # with a reference path, whose time grows as the subset size to that power; floor: a
  # lambda that, given the step's result, prepares and returns the floor call to time.
  def step(name, input, run, reference: nil, floor: nil)
    checked = reference && Reference.new(run: run, full_size: input.size, **reference)
    ref = checked && begin
      seconds, difference = checked.check(@identities)
      [checked.scaled(seconds), checked.subset.size, difference]
    end
    seconds, result = cpu_time { run.(input) }
    floor_call = floor&.(result)
    floor_seconds = floor_call && cpu_time { floor_call.() }.first
    row(name, records: result.is_a?(Array) ? records_of(result).size : nil, seconds: seconds, reference: ref,
              floor: floor_seconds)
    result
  end

  def header(lines)
    lines.each { |line| puts line }
    puts
    puts format(COLUMNS, "step", "records", "time s", "est. ref s", "ref/step", "floor s", "step/floor", "same on subset")
  end

  def finish
    puts
    puts "peak RSS: #{peak_rss_kb} kB"
    if @mismatches.empty?
      puts "every step with a reference gave the reference's result on its subset"
      return true
    end
    warn "\n!!! FAST AND REFERENCE RESULTS DIFFER !!!"
    @mismatches.each { |m| warn "!!! #{m}" }
    false
  end

  private

  def row(name, records:, seconds:, reference: nil, floor: nil)
    ref_text, ratio_text, same = "-", "-", "-"
    if reference
      ref_seconds, subset_size, difference = reference
      ref_text, ratio_text = format("%.4f", ref_seconds), ratio(ref_seconds, seconds)
      same = difference ? "NO (#{subset_size})" : "yes (#{subset_size})"
      @mismatches << "#{name}: #{difference}" if difference
    end
    floor_text = floor ? format("%.4f", floor) : "-"
    puts format(COLUMNS, name, records || "-", format("%.4f", seconds), ref_text, ratio_text, floor_text,
                floor ? ratio(seconds, floor) : "-", same)
    $stdout.flush
  end

  def ratio(a, b) = b.positive? ? format("%.1f", a / b) : "inf"
end

# Every k-th element, k elements in all: a subset spread over the whole terrain.
def spread(list, count) = (0...count).map { |i| list[i * list.size / count] }

# A subset size at the current scale, never below ten and never above what there is.
def subset_size(full_scale_size, available) = [[(full_scale_size * Pipeline::SCALE).round, 10].max, available].min

include Pipeline
faces = terrain(TERRAIN_QUADS, TERRAIN_SIZE)
object_footprints = footprints
normal_tags = {}.compare_by_identity
faces.each_with_index { |(_, normal), i| normal_tags[normal] = [:normal, i] }
report = Report.new(normal_tags)
report.header(["Vandrel pipeline benchmark, #{Time.now.strftime('%Y-%m-%d')}", "CPU: #{cpu_model}", "Ruby: #{RUBY_DESCRIPTION}",
               "Workload at scale #{SCALE}: #{faces.size} triangles over #{TERRAIN_SIZE.to_i} x #{TERRAIN_SIZE.to_i}, " \
               "grid spacing #{GRID_SPACING.round(3)}, #{RINGS.size} rings of #{RINGS[0].size} vertices, " \
               "#{object_footprints.size} footprints, collisions on the first #{COLLISION_RECORDS} records"])

report.step("load surface", faces, ->(f) { V.cpp_initialize_surface(f, false, [0, 0, -1]) })
points = report.step("uniform points", nil, ->(_) { V.cpp_generate_uniform_points(GRID_SPACING, GRID_SPACING, 30, 30, 0, 0, 0, 7) },
                     floor: ->(pts) { -> { VandrelBench.points(pts.size) } })
rows = report.step("projection", points, ->(pts) { V.cpp_project_down(pts, STATUS) },
                   reference: { growth: 1, subset: spread(points, subset_size(2500, points.size)) },
                   floor: ->(out) { -> { VandrelBench.point_records(out[2].size, faces[0][1]) } })[2]

# The in-place steps' floors write into fresh copies, so as not to spoil the records.
stores_floor = ->(pairs) { ->(out) { copy = VandrelBench.fresh_copies(out); -> { VandrelBench.store_slots(copy, pairs) } } }
report.step("seeds", rows, ->(r) { V.cpp_points_seeds(r, 3) }, floor: stores_floor.([[3, 0]]))
report.step("definitions", rows, ->(r) { V.cpp_points_defs(definition_settings(r, DEFINITIONS)) },
            floor: stores_floor.([[4, 0], [5, -1.0]]))

copies_floor = ->(step) { ->(out) { -> { VandrelBench.copies(rows, records_of(out).size, step) } } }
[["areas inside", 2, 5000], ["areas outside", 3, 2500]].each do |name, mode, subset|
  report.step(name, rows, ->(r) { V.cpp_areas(area_settings(mode, RINGS, r)) },
              reference: { growth: 1, subset: spread(rows, subset_size(subset, rows.size)) },
              floor: copies_floor.("area filter"))
end
report.step("load footprints", object_footprints, ->(f) { V.cpp_initialize_object_areas(f) })
report.step("object areas", rows, ->(r) { V.cpp_object_areas(r, nil, STATUS) },
            reference: { growth: 1, subset: spread(rows, subset_size(2500, rows.size)) },
            floor: copies_floor.("area filter"))
scaled = report.step("scale", rows, ->(r) { V.cpp_scale(r, [DEFINITIONS], SCALE_SETTINGS, nil) },
                     floor: copies_floor.("scale"))

# A block of neighbouring records, so that the subset has the density of the whole and the
# reference's quadratic growth holds.
crowd = scaled.first(COLLISION_RECORDS)
report.step("collisions", crowd, ->(r) { V.cpp_collisions(r, DEFINITIONS, 100, 3) },
            reference: { growth: 2, subset: crowd.first(subset_size(5000, crowd.size)) },
            floor: ->(out) { -> { VandrelBench.selection(crowd, out.size) } })
report.step("random transform", scaled, ->(r) { V.cpp_random_transform(transform_settings(r, DEFINITIONS)) },
            floor: ->(out) { -> { VandrelBench.transform_items(out.size) } })

exit(report.finish ? 0 : 1)
