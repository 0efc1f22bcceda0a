# Shared set-up of the Ruby suites: loads the built extension, stands in for the host's UI
# module, rebuilds the engine's rand stream, and switches the collector modes.
#
# VANDREL_GC=stress   runs every test under GC.stress (keep inputs small)
# VANDREL_GC=compact  compacts the heap, verifying references, before every test and at
#                     every gc_checkpoint
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

  def setup
    super
    UI.reset
    VandrelTest.compact! if GC_MODE == "compact"
    GC.stress = true if GC_MODE == "stress"
  end

  def teardown
    GC.stress = false
    super
  end

  def f32(x) = CRand.f32(x)

  # Under GC.stress every allocation collects: property tests shrink their inputs.
  def sized(count) = GC_MODE == "stress" ? [count / 10, 2].max : count
end

class Minitest::Test
  include VandrelTest
end
