# What the Ruby pipeline benchmarks share: the host's message box, CPU timing, the faces of a
# terrain, and results made comparable across processes.
require "VandrelBench"

# The host's message box. Every long step is passed a confirmed status, so the time-limit
# prompt never shows; were it to, the answer is "no" (go on).
module UI
  def self.messagebox(_text, _type) = 7
end

module BenchSupport
  module_function

  # CPU seconds of one call, after a collection so that earlier garbage is not charged to it.
  def cpu_time
    GC.start
    start = Process.clock_gettime(Process::CLOCK_PROCESS_CPUTIME_ID)
    result = yield
    [Process.clock_gettime(Process::CLOCK_PROCESS_CPUTIME_ID) - start, result]
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
