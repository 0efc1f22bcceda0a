# What the Ruby pipeline benchmarks share: the host's message box, CPU timing, the faces of a
# terrain, and results made comparable across processes.
require "VandrelBench"

# The host's message box. Every long step is passed a confirmed status, so the time-limit
# prompt never shows; were it to, the answer is "no" (go on).
module UI
  def self.messagebox(_text, _type) = 7
end

module BenchSupport
  STATUS = [1e9, 0, true].freeze  # a budget no step reaches, already confirmed
  SCALE_SETTINGS = [true, "xyz", 80, 120, 80, 120, 80, 120].freeze

  module_function

  # The settings of the pipeline's steps, as the add-on passes them. The definitions'
  # weights add up to 4.
  def area_settings(include_mode, rings, points)
    { "include" => include_mode, "points" => points, "curves" => rings, "area_density_falloff" => true,
      "area_scale_falloff" => false, "boundary_check" => "distance", "project_custom_axis" => false,
      "custom_axis" => [0, 0, -1], "seed" => 5, "global_warning_time" => STATUS[0], "elapsed_time" => STATUS[1],
      "confirmed" => STATUS[2] }
  end

  def definition_settings(rows, definitions)
    { "points" => rows, "defs" => definitions, "probability_total" => 4, "clusters" => false,
      "clusters_perturb" => false, "clusters_size" => 10, "clusters_blur" => 1, "clusters_noise" => 1, "seed" => 3 }
  end

  def transform_settings(rows, definitions)
    { "seed" => 1, "points" => rows, "comp_defs" => [definitions], "scale" => SCALE_SETTINGS,
      "rotation" => [true, 0, 0.1, 0, 0.1, 0, 6.28], "translation" => [true, -1, 1, -1, 1, 0, 0], "pointing" => 50,
      "swap_yz" => true, "mirror" => true, "vmirror" => true, "r90_180_270" => true }
  end

  # CPU seconds of one call, after a collection so that earlier garbage is not charged to it.
  def cpu_time
    GC.start
    start = Process.clock_gettime(Process::CLOCK_PROCESS_CPUTIME_ID)
    result = yield
    [Process.clock_gettime(Process::CLOCK_PROCESS_CPUTIME_ID) - start, result]
  end

  # side x side, z = 20 sin(x / 50) cos(y / 70), in quads x quads squares of two triangles.
  def terrain(quads, side)
    step = side / quads
    corner = ->(i, j) { [i * step, j * step, 20 * Math.sin(i * step / 50) * Math.cos(j * step / 70)] }
    (0...quads).to_a.product((0...quads).to_a).flat_map do |i, j|
      a, b, c, d = corner.(i, j), corner.(i + 1, j), corner.(i + 1, j + 1), corner.(i, j + 1)
      [face(a, b, c), face(a, c, d)]
    end
  end

  # A triangle with its own upward normal object, as the host passes faces.
  def face(a, b, c)
    u = b.zip(a).map { |p, q| p - q }
    v = c.zip(a).map { |p, q| p - q }
    n = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]
    length = Math.sqrt(n.sum { |k| k * k })
    [[a, b, c], n.map { |k| k / length }]
  end

  # The records of a result: the third element of a status triple, or the result itself.
  def records_of(result)
    result.size == 3 && [true, false].include?(result[0]) && result[2].is_a?(Array) ? result[2] : result
  end

  # The result with every object whose identity matters (the faces' normal objects, the
  # step's own input records) replaced by a tag naming it, so that results from another
  # process compare with `==` and identity alike.
  def canonical(value, identities)
    tag = identities[value]
    return tag if tag
    value.is_a?(Array) ? value.map { |v| canonical(v, identities) } : value
  end

  def first_difference(expected, actual)
    expected, actual = records_of(expected), records_of(actual)
    return "the reference kept #{expected.size} records, the fast algorithm #{actual.size}" if expected.size != actual.size
    i = expected.each_index.find { |k| expected[k] != actual[k] }
    i ? "record #{i}: reference #{expected[i].inspect[0, 200]}, fast #{actual[i].inspect[0, 200]}" : "the status differs"
  end

  def cpu_model = File.read("/proc/cpuinfo")[/^model name\s*:\s*(.+)$/, 1]

  def peak_rss_kb = File.read("/proc/self/status")[/VmHWM:\s*(\d+) kB/, 1].to_i
end
