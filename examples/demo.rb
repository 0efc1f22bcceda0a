# A scatter from start to finish: trees, bushes and rocks on a hilly terrain.
#
#   ruby -I build examples/demo.rb [output.svg]
#
# Prints what each step made and how long it took, and writes a top view of the placed
# instances as an SVG file (definition by colour, footprint turned by its rotation).
require "Vandrel"

# The host shows the time-limit prompt; here nobody is asked and the scatter goes on.
module UI
  def self.messagebox(_text, _type) = 7
end
QEL_Vandrel.instance_variable_set(:@transl8, {
  "Computing this setup is taking more than " => "Computing this setup is taking more than ",
  " seconds, do you want to abort?" => " seconds, do you want to abort?",
})

SIZE = 200.0
CELLS = 40 # 40 x 40 quads, 3200 triangles

def height(x, y) = 6.0 * Math.sin(x / 23.0) * Math.cos(y / 31.0) + 0.08 * x + 2.0 * Math.sin((x + y) / 11.0)

def terrain
  step = SIZE / CELLS
  faces = []
  CELLS.times do |i|
    CELLS.times do |j|
      corners = [[i, j], [i + 1, j], [i + 1, j + 1], [i, j + 1]].map do |a, b|
        x = a * step
        y = b * step
        [x, y, height(x, y)]
      end
      normal = [0.0, 0.0, 1.0]
      faces << [[corners[0], corners[1], corners[2]], normal] << [[corners[0], corners[2], corners[3]], normal]
    end
  end
  faces
end

# [name, weight, scale percent, origin, box min, box max] and a colour for the picture.
DEFINITIONS = [
  ["tree", 50, 100, "center", [-2.0, -2.0, 0.0], [2.0, 2.0, 9.0]],
  ["bush", 35, 100, "center", [-1.0, -0.6, 0.0], [1.0, 0.6, 1.5]],
  ["rock", 15, 100, "center", [-0.8, -0.5, 0.0], [0.8, 0.5, 0.7]],
].freeze
COLOURS = %w[#2e7d32 #9ccc65 #8d8d8d].freeze

class Stages
  def initialize = @rows = []

  def run(name, count: :size.to_proc)
    started = Process.clock_gettime(Process::CLOCK_MONOTONIC)
    result = yield
    seconds = Process.clock_gettime(Process::CLOCK_MONOTONIC) - started
    @rows << [name, count.(result), seconds]
    result
  end

  def print
    puts format("%-28s %10s %10s", "step", "items", "ms")
    @rows.each { |name, count, s| puts format("%-28s %10d %10.1f", name, count, s * 1000) }
  end
end

stages = Stages.new
faces = terrain
stages.run("load #{faces.size} faces") { QEL_Vandrel.cpp_initialize_surface(faces, false, [0, 0, -1]); faces }
points = stages.run("grid points above faces") { QEL_Vandrel.cpp_generate_uniform_points(4, 4, 60, 60, 0, 0, 15, 2024) }
_, confirmed, records = stages.run("project onto the terrain", count: ->(status) { status[2].size }) { QEL_Vandrel.cpp_project_down(points, [30, 0, false]) }
records = stages.run("seeds") { QEL_Vandrel.cpp_points_seeds(records, 2024) }
records = stages.run("definitions") do
  QEL_Vandrel.cpp_points_defs({
    "points" => records, "defs" => DEFINITIONS, "probability_total" => DEFINITIONS.sum { |d| d[1] },
    "clusters" => false, "clusters_perturb" => false, "clusters_size" => 10, "clusters_blur" => 0,
    "clusters_noise" => 0, "seed" => 2024,
  })
end
# The user paints where the scatter goes: brush strokes united into an area, one cut out.
def brush(cx, cy, radius) = Array.new(17) { |k| a = 2 * Math::PI * (k % 16) / 16; [cx + radius * Math.cos(a), cy + radius * Math.sin(a), 0] }

def paint(area, stroke, erase)
  QEL_Vandrel.cpp_paint_area_union({
    "project_custom_axis" => false, "custom_axis" => [0, 0, -1], "erase" => erase, "area" => area, "circle" => stroke,
  })[0]
end

STROKES = (0..8).map { |k| [30 + 18 * k, 60 + 60 * Math.sin(k / 2.5), 38] }
painted = stages.run("paint #{STROKES.size} strokes, erase one") do
  area = STROKES.reduce([]) { |a, (x, y, r)| paint(a, brush(x, y, r), false) }
  paint(area, brush(100, 105, 22), true)
end
def area_filter(records, include, rings, confirmed)
  QEL_Vandrel.cpp_areas({
    "include" => include, "points" => records, "curves" => rings, "area_density_falloff" => false,
    "area_scale_falloff" => false, "boundary_check" => "distance", "project_custom_axis" => false,
    "custom_axis" => [0, 0, -1], "seed" => 2024, "global_warning_time" => 30, "elapsed_time" => 0, "confirmed" => confirmed,
  })[2]
end

# Each ring counts as an area of its own: keep what lies in a painted ring, then drop what
# lies in a hole cut into one.
outer, holes = painted.partition { |ring| QEL_Vandrel.cpp_paint_area_path_orientation(ring) }
records = stages.run("keep inside the painted area") { area_filter(records, 2, outer, confirmed) }
records = stages.run("keep out of its holes") { area_filter(records, 3, holes, confirmed) }

# A pond to keep clear (a painted area, used from outside) and a house on its plot.
POND = Array.new(24) { |k| a = 2 * Math::PI * k / 24; [120 + 28 * Math.cos(a), 70 + 18 * Math.sin(a), 0] }
HOUSE = [[40, 130, 0], [75, 130, 0], [75, 150, 0], [58, 150, 0], [58, 165, 0], [40, 165, 0]]
records = stages.run("keep out of the pond") { area_filter(records, 3, [POND], confirmed) }
QEL_Vandrel.cpp_initialize_object_areas([[HOUSE]])
_, _, records = stages.run("keep off the house", count: ->(status) { status[2].size }) do
  QEL_Vandrel.cpp_object_areas(records, nil, [30, 0, confirmed])
end
records = stages.run("slopes up to 12 degrees") { QEL_Vandrel.cpp_slope_range(records, 0, 12, 0, 3, true, true, 2024) }
records = stages.run("scale") { QEL_Vandrel.cpp_scale(records, [DEFINITIONS], [true, "xyz", 70, 130, 70, 130, 70, 130], nil) }
records = stages.run("collisions") { QEL_Vandrel.cpp_collisions(records, DEFINITIONS, 100, 2024) }
items = stages.run("instance transformations") do
  QEL_Vandrel.cpp_random_transform({
    "seed" => 2024, "points" => records, "comp_defs" => [DEFINITIONS],
    "scale" => [true, "xyz", 70, 130, 70, 130, 70, 130],
    "rotation" => [true, 0, 0, 0, 0, -Math::PI, Math::PI],
    "translation" => [false, 0, 0, 0, 0, 0, 0],
    "pointing" => 60, "swap_yz" => false, "mirror" => true, "vmirror" => false, "r90_180_270" => false,
  })
end
boxes = stages.run("preview boxes") { QEL_Vandrel.cpp_bboxes(items, DEFINITIONS) }

stages.print
puts
puts "the time-limit prompt was #{confirmed ? '' : 'not '}shown"
items.group_by(&:last).sort.each do |index, list|
  puts format("%-6s %6d instances", DEFINITIONS[index][0], list.size)
end

# Top view: each instance's footprint is the bottom face of its preview box (corners 0, 2, 6, 4).
def outline(points, scale, fill)
  text = points.map { |x, y, _| format("%.2f,%.2f", x * scale, (SIZE - y) * scale) }.join(" ")
  %(<polygon points="#{text}" fill="#{fill}" stroke="#1b1b1b" stroke-width="0.6"/>)
end

def svg(boxes, items, outer, holes, path)
  scale = 4.0
  shapes = outer.map { |ring| outline(ring, scale, "#e4dcc2") } + holes.map { |ring| outline(ring, scale, "#f3eee2") }
  shapes += [outline(POND, scale, "#7fb7d9"), outline(HOUSE, scale, "#c98b5a")]
  shapes += boxes.zip(items).map do |edges, (_, index)|
    corners = [edges[0][0], edges[1][1], edges[6][1], edges[2][1]]
    outline(corners, scale, COLOURS[index]).sub("/>", ' fill-opacity="0.85"/>')
  end
  side = (SIZE * scale).round
  File.write(path, <<~SVG)
    <svg xmlns="http://www.w3.org/2000/svg" width="#{side}" height="#{side}" viewBox="0 0 #{side} #{side}">
      <rect width="#{side}" height="#{side}" fill="#f3eee2"/>
      #{shapes.join("\n  ")}
    </svg>
  SVG
end

path = ARGV[0] || "demo.svg"
svg(boxes, items, outer, holes, path)
puts "top view written to #{path}"
