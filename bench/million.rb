# The million workload: a forest scattered over a large terrain, from the load of the surface
# to the instance transformations, one row per step with its CPU time, the time of the
# straightforward reference algorithms on the same input, and the floor of its result. Every
# step that has a reference is compared with it on its whole input; a difference is
# reported and makes the exit status 1.
#
#   ruby -I build bench/million.rb                               the full workload, about 0.95M instances
#   VANDREL_MILLION_SCALE=0.002 ruby -I build bench/million.rb   a small one (CI's smoke run)
#
# The references of projection, object areas and collisions grow as the square of the size
# and would take many minutes on the full workload. A first run at a smaller size
# (VANDREL_MILLION_CHECK_SCALE, 1/16 by default) compares every step there; on the full
# workload a reference runs when its time, estimated from that run, stays within
# VANDREL_REFERENCE_BUDGET CPU seconds (120 by default), and is marked as estimated otherwise.
require "digest"
require_relative "bench_support"

module Million
  include BenchSupport
  V = QEL_Vandrel

  def self.setting(name, default)
    value = Float(ENV.fetch(name, default.to_s))
    raise ArgumentError, "#{name} must be positive, got #{value}" unless value.positive?
    value
  end

  SCALE = setting("VANDREL_MILLION_SCALE", 1)
  CHECK_SCALE = setting("VANDREL_MILLION_CHECK_SCALE", 1 / 16.0)
  BUDGET = setting("VANDREL_REFERENCE_BUDGET", 120)

  # Footprint boxes of half-width 0.2 to 0.45 (up to 0.54 scaled), below half the grid
  # spacing: neighbours collide only where the jitter brings them close.
  DEFINITIONS = [
    [nil, 2, 100, "center", [-0.3, -0.3, 0], [0.3, 0.3, 6]],
    [nil, 1, 100, "corner", [-0.2, -0.2, 0], [0.2, 0.2, 2]],
    [nil, 1, 100, "center", [-0.45, -0.45, 0], [0.45, 0.45, 9]]
  ].freeze
  GRID_SPACING = 1.25
  JITTER = 30 # percent

  # The workload at a scale: the terrain's side shrinks with the square root of the scale,
  # so that every count (points, strokes, footprints, records) is proportional to it and
  # every density stays as it is.
  class Workload
    include BenchSupport
    attr_reader :scale, :side, :quads

    def initialize(scale)
      @scale = scale
      @quads = [(388 * Math.sqrt(scale)).round, 2].max
      @side = 1500.0 * @quads / 388
    end

    def faces = terrain(quads, side)

    def stroke_count = [(400 * scale).round, 4].max

    # The brush strokes, as the add-on paints them: a disc dragged a short way along a
    # wandering path, united into the area one stroke at a time; every tenth stroke erases
    # with a smaller brush, which leaves holes where it falls inside the painted area.
    def strokes
      rng = Random.new(2026)
      x, y, heading = side / 2, side / 2, 0.0
      (0...stroke_count).map do |k|
        heading += rng.rand(-0.8..0.8)
        length = rng.rand(40.0..140.0)
        erase = (k % 10) == 9
        radius = erase ? rng.rand(8.0..20.0) : rng.rand(25.0..55.0)
        x1, y1 = x + length * Math.cos(heading), y + length * Math.sin(heading)
        unless x1.between?(0, side) && y1.between?(0, side)  # turn back at the edge
          heading += Math::PI
          x1, y1 = x, y
        end
        brush = stroke_outline(x, y, x1, y1, heading, radius)
        x, y = x1, y1
        [brush, erase]
      end
    end

    # The outline of a disc of the radius moved from (x, y) to (x1, y1): two half circles
    # joined by straight sides.
    def stroke_outline(x, y, x1, y1, heading, radius)
      half = 12
      ends = [[x1, y1, heading - Math::PI / 2], [x, y, heading + Math::PI / 2]]
      ends.flat_map do |cx, cy, start|
        (0..half).map { |k| a = start + Math::PI * k / half; [cx + radius * Math.cos(a), cy + radius * Math.sin(a), 0] }
      end
    end

    # 250 small rectangles and 50 concave stars of 30 vertices at the full size.
    def footprints
      count = [(300 * scale).round, 1].max
      columns = [Math.sqrt(count).ceil, 1].max
      pitch = side / columns
      (0...count).map do |k|
        x, y = (k % columns) * pitch + 5, (k / columns) * pitch + 5
        if k % 6 != 5
          [[[x, y, 0], [x + 8, y, 0], [x + 8, y + 5, 0], [x, y + 5, 0]]]
        else
          [(0...30).map { |i| a = 2 * Math::PI * i / 30; r = i.even? ? 10 : 4; [x + 10 + r * Math.cos(a), y + 10 + r * Math.sin(a), 0] }]
        end
      end
    end
  end

  module_function

  def paint(strokes)
    strokes.reduce([]) do |area, (brush, erase)|
      V.cpp_paint_area_union({ "project_custom_axis" => false, "custom_axis" => [0, 0, -1], "erase" => erase,
                               "area" => area, "circle" => brush })[0]
    end
  end

end

# A result reduced to what two processes can compare cheaply: its size, its status (for a
# status triple) and one SHA-256 per block of records, each over the Marshal form of the
# block's canonical records.
class Fingerprint
  extend BenchSupport
  BLOCK = 4096

  attr_reader :size, :status, :digests

  def self.of(result, identities)
    records = records_of(result)
    digests = (0...records.size).step(BLOCK).map { |first| Digest::SHA256.digest(Marshal.dump(block(records, first, identities))) }
    new(records.size, records.equal?(result) ? nil : result[0, 2], digests)
  end

  # The canonical records of the block that starts at index first.
  def self.block(records, first, identities) = canonical(records[first, BLOCK], identities)

  def initialize(size, status, digests)
    @size, @status, @digests = size, status, digests
  end

  # The first block whose digest differs, or nil when the two agree.
  def first_block_differing(other)
    return 0 if size != other.size || status != other.status
    digests.each_index.find { |i| digests[i] != other.digests[i] }
  end

  def to_a = [size, status, digests]
end

# A step run with the reference algorithms in a copy of this process forked after the fast
# run, so that no page the fast run writes is shared with a copy: the copy starts from the
# state the fast run started from (the process-wide shuffle engine, which no seed reaches,
# restored from its state saved before it). Its CPU time is capped: a reference that passes
# it is stopped.
class ForkedReference
  include BenchSupport

  def initialize(run, input, identities, cpu_limit, shuffle_state)
    @results, results_writer = IO.pipe
    request_reader, @requests = IO.pipe
    @pid = fork do
      @results.close
      @requests.close
      Process.setrlimit(:CORE, 0)
      Process.setrlimit(:CPU, cpu_limit.ceil + cpu_used.ceil, Process::RLIM_INFINITY)
      VandrelBench.shuffle_state = shuffle_state
      VandrelBench.reference = true
      seconds, result = cpu_time { run.(input) }
      Process.setrlimit(:CPU, Process::RLIM_INFINITY)
      ids = identities.()
      fingerprint = Fingerprint.of(result, ids)
      Marshal.dump([seconds, fingerprint.to_a], results_writer)
      results_writer.flush
      first = Marshal.load(request_reader)
      Marshal.dump(first && Fingerprint.block(records_of(result), first, ids), results_writer) # the records asked for
      exit!(0)
    end
    results_writer.close
    request_reader.close
  end

  def cpu_used = Process.clock_gettime(Process::CLOCK_PROCESS_CPUTIME_ID)

  # [seconds, Fingerprint], or nil when the reference was stopped at its limit.
  def answer
    seconds, fingerprint = Marshal.load(@results)
    [seconds, Fingerprint.new(*fingerprint)]
  rescue EOFError
    status = finish
    return nil if status.termsig == Signal.list.fetch("XCPU")
    raise "the reference run failed (#{status})"
  end

  # The reference's records from index first on (one block), or nothing with nil; then the
  # copy ends.
  def records_from(first)
    Marshal.dump(first, @requests)
    @requests.flush
    Marshal.load(@results)
  ensure
    finish
  end

  def finish
    return unless @pid
    @requests.close unless @requests.closed?
    Process.wait(@pid)
    @pid = nil
    @results.close
    $?
  end
end

# Runs the steps of one workload and prints the table.
class MillionRun
  include BenchSupport
  COLUMNS = "%-18s %9s %8s %7s %13s %9s %8s %10s  %s".freeze
  Row = Struct.new(:name, :records, :seconds, :gc, :reference, :floor, :compared, keyword_init: true)

  attr_reader :rows, :mismatches, :peak_rss_kb

  # estimates: { step name => reference CPU seconds expected at this size } for the steps whose
  # reference is run only when it fits the budget; nil runs every reference. references: false
  # runs none (the columns can be taken from another run), floors: false times no floor.
  def initialize(workload, estimates: nil, references: true, floors: true)
    @workload = workload
    @estimates = estimates
    @references = references
    @time_floors = floors
    @rows = []
    @floors = []
    @mismatches = []
    @normal_tags = {}.compare_by_identity
  end

  def faces
    @faces ||= @workload.faces.tap { |fs| fs.each_with_index { |(_, normal), i| @normal_tags[normal] = [:normal, i] } }
  end

  # The steps, from the load of the surface to the transformations. The floors run after the
  # last step, so that the peak resident size is the steps' own.
  def run
    w = @workload
    painted, paint_seconds = time_painting(w.strokes)
    @painted = painted
    outer, holes = painted.partition { |ring| Million::V.cpp_paint_area_path_orientation(ring) }
    @lines = ["#{faces.size} triangles over #{w.side.round(1)} x #{w.side.round(1)}, grid spacing #{Million::GRID_SPACING}, " \
              "#{w.stroke_count} strokes painted in #{paint_seconds.round(2)} s into #{outer.size} outer rings and " \
              "#{holes.size} holes (#{painted.sum(&:size)} vertices), #{w.footprints.size} footprints"]
    v = Million::V
    step("load surface", faces, ->(f) { v.cpp_initialize_surface(f, false, [0, 0, -1]) })
    points = step("uniform points", nil,
                  ->(_) { v.cpp_generate_uniform_points(Million::GRID_SPACING, Million::GRID_SPACING, Million::JITTER,
                                                        Million::JITTER, 0, 0, 0, 7) },
                  floor: ->(n, _) { -> { VandrelBench.points(n) } })
    rows = step("projection", points, ->(pts) { v.cpp_project_down(pts, STATUS) }, reference: true,
                floor: ->(n, _) { -> { VandrelBench.point_records(n, faces[0][1]) } })[2]
    step("seeds", rows, ->(r) { v.cpp_points_seeds(r, 3) }, floor: stores_floor([[3, 0]]))
    step("definitions", rows, ->(r) { v.cpp_points_defs(definition_settings(r, Million::DEFINITIONS)) },
         floor: stores_floor([[4, 0], [5, -1.0]]))
    rows = step("areas inside", rows, ->(r) { v.cpp_areas(area_settings(2, outer, r)) }, reference: true,
                floor: copies_floor("area filter"))[2]
    rows = step("areas outside", rows, ->(r) { v.cpp_areas(area_settings(3, holes, r)) }, reference: true,
                floor: copies_floor("area filter"))[2]
    step("load footprints", w.footprints, ->(f) { v.cpp_initialize_object_areas(f) })
    rows = step("object areas", rows, ->(r) { v.cpp_object_areas(r, nil, STATUS) }, reference: true,
                floor: copies_floor("area filter"))[2]
    rows = step("scale", rows, ->(r) { v.cpp_scale(r, [Million::DEFINITIONS], SCALE_SETTINGS, nil) },
                floor: copies_floor("scale"))
    rows = step("collisions", rows, ->(r) { v.cpp_collisions(r, Million::DEFINITIONS, 100, 3) }, reference: true,
                identity: true, floor: ->(n, source) { -> { VandrelBench.selection(source, n) } })
    step("random transform", rows, ->(r) { v.cpp_random_transform(transform_settings(r, Million::DEFINITIONS)) },
         floor: ->(n, _) { -> { VandrelBench.transform_items(n) } })
    @peak_rss_kb = BenchSupport.peak_rss_kb
    time_floors if @time_floors
    self
  end

  # The reference columns of each step: { name => [reference, compared] }.
  def reference_columns = rows.to_h { |r| [r.name, [r.reference, r.compared]] }

  def take_reference_columns(columns)
    rows.each { |r| r.reference, r.compared = columns.fetch(r.name) }
  end

  def total = rows.sum(&:seconds)

  def print(title)
    puts title
    @lines.each { |line| puts line }
    puts
    puts format(COLUMNS, "step", "records", "time s", "gc s", "reference s", "ref/step", "floor s", "step/floor",
                "compared with the reference")
    rows.each do |r|
      puts format(COLUMNS, r.name, r.records || "-", format("%.3f", r.seconds), format("%.3f", r.gc),
                  r.reference || "-", ratio_text(r.reference, r.seconds), r.floor ? format("%.4f", r.floor) : "-",
                  r.floor ? ratio(r.seconds, r.floor) : "-", r.compared || "-")
    end
    puts
    puts format("engine total, load to transforms: %.2f s", total)
    puts "peak RSS during the steps: #{(peak_rss_kb / 1024.0).round} MB"
  end

  # Measured reference seconds of each step whose reference ran to the end.
  def reference_seconds = rows.filter_map { |r| [r.name, Float(r.reference)] if r.reference.to_s.match?(/\A[\d.]+\z/) }.to_h

  private

  def time_painting(strokes)
    seconds, painted = cpu_time { Million.paint(strokes) }
    [painted, seconds]
  end

  # Each floor, given its step's result size and records of the same shape to copy or write
  # into, prepares the call to time. The floors run after the steps on records made then, so
  # that they keep no step's records alive.
  def time_floors
    largest = @floors.map { |row, _| row.records }.max || 0
    source = VandrelBench.point_records(largest, faces[0][1])[2]
    @floors.each { |row, prepare| row.floor = cpu_time(&prepare.(row.records, source)).first }
  end

  # The in-place steps' floors write into fresh copies.
  def stores_floor(pairs) = ->(n, source) { copy = VandrelBench.fresh_copies(source.first(n)); -> { VandrelBench.store_slots(copy, pairs) } }

  def copies_floor(kind) = ->(n, source) { -> { VandrelBench.copies(source, n, kind) } }

  # Runs one step on its input and records its row. reference: the step has a reference path
  # to compare with; identity: the result holds the input records themselves.
  def step(name, input, run, reference: false, identity: false, floor: nil)
    identities = identity ? -> { input_tags(input) } : -> { @normal_tags }
    shuffle_state = VandrelBench.shuffle_state
    gc_before = nil
    seconds, result = cpu_time do
      gc_before = GC.stat(:time)
      run.(input)
    end
    referenced = reference && @references
    forked = referenced && start_reference(name, run, input, identities, shuffle_state)
    row = Row.new(name: name, records: result.is_a?(Array) ? records_of(result).size : nil, seconds: seconds,
                  gc: (GC.stat(:time) - gc_before) / 1000.0)
    compare(row, forked, result, identities.()) if forked
    skipped(row, @estimates[name]) if referenced && !forked
    @rows << row
    @floors << [row, floor] if floor
    result
  end

  # A reference too slow for the budget at this size is compared at the check scale only.
  def skipped(row, estimate)
    row.reference = estimate ? "~#{estimate.round} est." : "not run"
    row.compared = "at scale #{format('%g', Million::CHECK_SCALE)}"
  end

  def start_reference(name, run, input, identities, shuffle_state)
    if @estimates
      expected = @estimates[name]
      return nil if expected.nil? || expected > Million::BUDGET
    end
    ForkedReference.new(run, input, identities, Million::BUDGET, shuffle_state)
  end

  def input_tags(input) = input.each_with_index.to_h { |row, i| [row, [:input, i]] }.compare_by_identity.merge!(@normal_tags)

  def compare(row, forked, result, identities)
    seconds, expected = forked.answer
    unless seconds
      row.reference, row.compared = "> #{Million::BUDGET.round}", "stopped at #{Million::BUDGET.round} s"
      return
    end
    fast = Fingerprint.of(result, identities)
    first = expected.first_block_differing(fast)
    row.reference = format("%.3f", seconds)
    row.compared = first ? "DIFFERENT" : "same, all #{fast.size} records"
    return forked.records_from(nil) unless first
    reference_block = forked.records_from(first * Fingerprint::BLOCK)
    @mismatches << "#{row.name}: #{difference(expected, fast, reference_block, Fingerprint.block(records_of(result), first * Fingerprint::BLOCK, identities), first)}"
  end

  def difference(expected, fast, reference_block, fast_block, first)
    return "the reference kept #{expected.size} records, the fast algorithm #{fast.size}" if expected.size != fast.size
    return "the status differs: reference #{expected.status.inspect}, fast #{fast.status.inspect}" if expected.status != fast.status
    k = reference_block.each_index.find { |i| reference_block[i] != fast_block[i] } || 0
    index = first * Fingerprint::BLOCK + k
    "record #{index}: reference #{reference_block[k].inspect[0, 200]}, fast #{fast_block[k].inspect[0, 200]}"
  end

  def ratio_text(reference, seconds)
    measured = reference.to_s[/\A[\d.]+\z/]
    measured ? ratio(Float(measured), seconds) : "-"
  end

  def ratio(a, b) = b.positive? ? format("%.1f", a / b) : "inf"
end

def machine
  cores = `lscpu`[/^CPU\(s\):\s*(\d+)/, 1] || Etc.nprocessors.to_s
  load = File.read("/proc/loadavg").split.first
  "CPU: #{BenchSupport.cpu_model}, #{cores} cores, load average #{load} at the start"
end

# Runs the block in a forked copy, so that the run after it starts afresh, and returns what
# the block returns.
def in_copy(what)
  reader, writer = IO.pipe
  pid = fork do
    reader.close
    Marshal.dump(yield, writer)
    exit!(0)
  end
  writer.close
  answer = Marshal.load(reader)
  Process.wait(pid)
  raise "the #{what} failed (#{$?})" unless $?.success?
  answer
end

# The run at the check scale, with every reference; returns their measured seconds and the
# differences found.
def check_run(scale)
  in_copy("check run") do
    run = MillionRun.new(Million::Workload.new(scale)).run
    run.print("Check run at scale #{format('%g', scale)}: every reference on the whole input of its step")
    $stdout.flush
    [run.reference_seconds, run.mismatches]
  end
end

# The workload run with the references that fit the budget, each forked after its step; returns
# their columns and the differences found. A fork marks every page of the process for copying
# on its next write, so the run whose times are printed forks no copy at all.
def compared_run(scale, estimates)
  in_copy("comparison run") do
    run = MillionRun.new(Million::Workload.new(scale), estimates: estimates, floors: false).run
    [run.reference_columns, run.mismatches]
  end
end

require "etc"
puts "Vandrel million benchmark, #{Time.now.strftime('%Y-%m-%d')}"
puts machine
puts "Ruby: #{RUBY_DESCRIPTION}"
puts
mismatches = []
estimates = nil
if Million::SCALE > Million::CHECK_SCALE
  measured, mismatches = check_run(Million::CHECK_SCALE)
  growth = (Million::SCALE / Million::CHECK_SCALE)**2  # each reference scans every pair it could skip
  estimates = measured.transform_values { |s| s * growth }
  puts
end
columns, compared_mismatches = compared_run(Million::SCALE, estimates)
mismatches += compared_mismatches
full = MillionRun.new(Million::Workload.new(Million::SCALE), references: false).run
full.take_reference_columns(columns)
full.print("Workload at scale #{format('%g', Million::SCALE)}")
if mismatches.empty?
  puts "every reference that ran to the end gave the fast result exactly, on the whole input of its step"
  exit 0
end
warn "\n!!! FAST AND REFERENCE RESULTS DIFFER !!!"
mismatches.each { |m| warn "!!! #{m}" }
exit 1
