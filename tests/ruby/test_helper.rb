# Shared set-up of the Ruby suites: loads the built extension, stands in for the host's UI
# module, rebuilds the engine's rand stream, and switches the collector modes.
#
# VANDREL_GC=stress   runs every call into the extension under GC.stress
# VANDREL_GC=compact  compacts the heap, verifying references, before every test and at
#                     every gc_checkpoint
# VANDREL_SHARD=k/n   runs the k-th of n shares of each suite's tests (k from 0), dealt out
#                     in name order, so that a long suite runs as several parallel entries
require "minitest/autorun"
require "fiddle"
require "Vandrel"

# The host's UI module: answers are scripted by the tests, calls are recorded.
module UI
  @calls = []
  @answers = []
  class << self
    attr_reader :calls
    attr_accessor :answers

    def messagebox(text, type)
      @calls << [text, type]
      @answers.empty? ? 7 : @answers.shift
    end

    def reset(answers = [])
      @calls = []
      @answers = answers
    end
  end
end

# The system library's rand/srand, the stream the engine draws from, so that tests can
# compute the draws the engine will make.
module CRand
  LIBC = Fiddle.dlopen(nil)
  SRAND = Fiddle::Function.new(LIBC["srand"], [-Fiddle::TYPE_INT], Fiddle::TYPE_VOID)
  RAND = Fiddle::Function.new(LIBC["rand"], [], Fiddle::TYPE_INT)

  module_function

  def seed(n) = SRAND.call(n & 0xFFFFFFFF)
  def next_int = RAND.call
  def f32(x) = [x].pack("f").unpack1("f")
  def unit = f32(next_int / 2147483647.0)
  def percentage = f32(unit * 100.0)
  def fraction = f32(f32(next_int.to_f) * 2.0**-31)
end

module VandrelTest
  GC_MODE = ENV.fetch("VANDREL_GC", "plain")

  def self.compact!
    GC.verify_compaction_references(double_heap: true, toward: :empty)
  end

  # Called by tests between steps that must survive a collection or a compaction.
  def gc_checkpoint
    if GC_MODE == "compact"
      VandrelTest.compact!
    else
      GC.start
    end
  end

  # Only the extension's own work runs under GC.stress: that is where a missing guard
  # shows, and the tests' Ruby computations would take too long there.
  if GC_MODE == "stress"
    QEL_Vandrel.singleton_class.prepend(Module.new do
      QEL_Vandrel.singleton_methods.each do |name|
        define_method(name) do |*args|
          GC.stress = true
          super(*args)
        ensure
          GC.stress = false
        end
      end
    end)
  end

  def setup
    super
    UI.reset
    VandrelTest.compact! if GC_MODE == "compact"
  end

  def f32(x) = CRand.f32(x)

  # Under GC.stress every allocation collects: property tests shrink their inputs.
  def sized(count) = GC_MODE == "stress" ? [count / 5, 2].max : count
end

class Minitest::Test
  include VandrelTest
end

if (shard = ENV["VANDREL_SHARD"])
  share, shares = shard.split("/").map { |n| Integer(n) }
  Minitest::Test.singleton_class.prepend(Module.new do
    define_method(:runnable_methods) do
      dealt = super().sort.each_slice(shares).filter_map { |slice| slice[share] }
      super() & dealt
    end
  end)
end

# A number whose conversion runs the given block once: the interpreter calls to_f on
# Numeric objects, so a caller's code runs in the middle of the engine's reading.
class Reentrant < Numeric
  def initialize(value, &block)
    super()
    @value = value
    @block = block
  end

  def to_f
    block, @block = @block, nil
    block&.call
    @value.to_f
  end
end

# Small scenes shared by the engine suites.
module Scenes
  module_function

  # A square face from (x0, y0) to (x0 + size, y0 + size) at height z, as one quad.
  def square(size = 10, z = 0, x0: 0, y0: 0, normal: [0.0, 0.0, 1.0])
    [[[x0, y0, z], [x0 + size, y0, z], [x0 + size, y0 + size, z], [x0, y0 + size, z]], normal]
  end

  # A gently rolling terrain of n x n quads over [0, size]^2, each quad two triangles.
  def terrain(n = 8, size = 80.0)
    step = size / n
    height = ->(x, y) { 3.0 * Math.sin(x / 13.0) * Math.cos(y / 17.0) + 0.05 * x }
    faces = []
    n.times do |i|
      n.times do |j|
        a, b = [i * step, j * step], [(i + 1) * step, j * step]
        c, d = [(i + 1) * step, (j + 1) * step], [i * step, (j + 1) * step]
        pa, pb, pc, pd = [a, b, c, d].map { |x, y| [x, y, height.(x, y)] }
        faces << [[pa, pb, pc], [0.0, 0.0, 1.0]] << [[pa, pc, pd], [0.0, 0.0, 1.0]]
      end
    end
    faces
  end
end
