require "test_helper"
require "open3"
require "rbconfig"

# The manual's complete example must keep running as written.
class ManualTest < Minitest::Test
  MANUAL = File.expand_path("../../docs/manual.md", __dir__)

  def example
    text = File.read(MANUAL)
    marker = text.index("<!-- example:") or flunk "the manual has no marked example"
    text[marker..][/```ruby\n(.*?)```/m, 1] or flunk "the marked example has no ruby block"
  end

  def test_the_example_runs_and_places_instances
    build = $LOAD_PATH.find { |dir| File.exist?(File.join(dir, "Vandrel.so")) }
    out, err, status = Open3.capture3(RbConfig.ruby, "-I", build, "-e", example)
    assert status.success?, err
    match = out.match(/\A(\d+) candidates, (\d+) instances\n\z/) or flunk "unexpected output: #{out.inspect}"
    candidates, instances = match.captures.map(&:to_i)
    assert_equal 400, candidates
    assert_operator instances, :>, 0
    assert_operator instances, :<, candidates
  end
end
