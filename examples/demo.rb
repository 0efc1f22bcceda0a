# A scatter from start to finish: trees, bushes and rocks on a hilly terrain.
#
#   ruby -I build examples/demo.rb [output.svg]
#
# Prints what each step made and how long it took, and writes a top view as an SVG file: the
# terrain shaded by altitude, the painted area, the pond and the house, the candidates each
# filter dropped, and every instance at its footprint, with a legend.
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
      faces << face(corners[0], corners[1], corners[2]) << face(corners[0], corners[2], corners[3])
    end
  end
  faces
end

# A face entry with its own upward unit normal, so the slope step sees the real terrain.
def face(a, b, c)
  u = b.zip(a).map { |p, q| p - q }
  v = c.zip(a).map { |p, q| p - q }
  n = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]
  length = Math.sqrt(n.sum { |e| e * e })
  [[a, b, c], n.map { |e| e / length }]
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

# The candidates each filter dropped, for the picture: [step, colour, positions].
DROPS = []

def dropped(step, colour, before, after)
  kept = {}.compare_by_identity
  after.each { |record| kept[record[0]] = true }
  DROPS << [step, colour, before.map { |record| record[0] }.reject { |position| kept[position] }]
  after
end

stages = Stages.new
faces = terrain
stages.run("load #{faces.size} faces") { QEL_Vandrel.cpp_initialize_surface(faces, false, [0, 0, -1]); faces }
points = stages.run("grid points above faces") { QEL_Vandrel.cpp_generate_uniform_points(4, 4, 60, 60, 0, 0, 15, 2024) }
_, confirmed, records = stages.run("project onto the terrain", count: ->(status) { status[2].size }) { QEL_Vandrel.cpp_project_down(points, [30, 0, false]) }
projected = records.size
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
records = dropped("outside the painted area", "#d84315", records, stages.run("keep inside the painted area") { area_filter(records, 2, outer, confirmed) })
records = dropped("in a hole of the painted area", "#ad1457", records, stages.run("keep out of its holes") { area_filter(records, 3, holes, confirmed) })

# A pond to keep clear (a painted area, used from outside) and a house on its plot.
POND = Array.new(24) { |k| a = 2 * Math::PI * k / 24; [120 + 28 * Math.cos(a), 70 + 18 * Math.sin(a), 0] }
HOUSE = [[40, 130, 0], [75, 130, 0], [75, 150, 0], [58, 150, 0], [58, 165, 0], [40, 165, 0]]
records = dropped("in the pond", "#1565c0", records, stages.run("keep out of the pond") { area_filter(records, 3, [POND], confirmed) })
QEL_Vandrel.cpp_initialize_object_areas([[HOUSE]])
_, _, kept = stages.run("keep off the house", count: ->(status) { status[2].size }) do
  QEL_Vandrel.cpp_object_areas(records, nil, [30, 0, confirmed])
end
records = dropped("on the house", "#6d4c41", records, kept)
records = dropped("too steep", "#00897b", records, stages.run("slopes up to 20 degrees") { QEL_Vandrel.cpp_slope_range(records, 0, 20, 0, 5, true, true, 2024) })
records = stages.run("scale") { QEL_Vandrel.cpp_scale(records, [DEFINITIONS], [true, "xyz", 70, 130, 70, 130, 70, 130], nil) }
records = dropped("collides with a neighbour", "#7b1fa2", records, stages.run("collisions") { QEL_Vandrel.cpp_collisions(records, DEFINITIONS, 100, 2024) })
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

# The picture: a top view of the terrain shaded by altitude, the painted area, the pond and the
# house, the candidates each filter dropped as faint dots, and every instance at its footprint
# (the bottom face of its preview box: corners 0, 2, 6, 4), with a legend and the step counts.
class TopView
  SCALE = 4.0
  MAP = (SIZE * SCALE).round
  LEGEND = 330
  TOP = 44

  def initialize(faces) = (@map = []; @shapes = []; @faces = faces)

  def xy(point) = format("%.2f,%.2f", point[0] * SCALE, (SIZE - point[1]) * SCALE + TOP)

  def polygon(points, attributes) = @map << %(<polygon points="#{points.map { |p| xy(p) }.join(' ')}" #{attributes}/>)

  def terrain
    heights = @faces.flat_map { |corners, _| corners.map { |c| c[2] } }
    low, high = heights.minmax
    @faces.each do |corners, _|
      t = (corners.sum { |c| c[2] } / 3 - low) / (high - low)
      polygon(corners, %(fill="#{shade(t)}" stroke="#{shade(t)}" stroke-width="0.5"))
    end
    [low, high]
  end

  # Low ground pale green, high ground sand.
  def shade(t) = format("#%02x%02x%02x", *[[205, 226, 190], [233, 214, 170]].transpose.map { |a, b| (a + (b - a) * t).round })

  def dots(positions, colour)
    positions.each do |p|
      x, y = xy(p).split(",")
      @map << %(<circle cx="#{x}" cy="#{y}" r="2.2" fill="#{colour}" fill-opacity="0.45"/>)
    end
  end

  def text(x, y, words, size: 13, weight: "normal")
    @shapes << %(<text x="#{x}" y="#{y}" font-family="sans-serif" font-size="#{size}" font-weight="#{weight}">#{words}</text>)
  end

  def swatch(x, y, attributes) = @shapes << %(<rect x="#{x}" y="#{y - 10}" width="14" height="12" #{attributes}/>)

  def legend(entries, heights, note)
    x = MAP + 20
    y = TOP + 24
    entries.each do |kind, attributes, words|
      if kind == :title
        text(x, y + 8, words, weight: "bold")
        y += 26
        next
      end
      kind == :dot ? @shapes << %(<circle cx="#{x + 7}" cy="#{y - 4}" r="4" #{attributes}/>) : swatch(x, y, attributes)
      text(x + 22, y, words)
      y += 20
    end
    text(x, y + 14, format("terrain from %.1f (green) to %.1f (sand)", *heights), size: 12)
    note.each_with_index { |line, i| text(x, y + 40 + 16 * i, line, size: 12) }
  end

  def write(path, title)
    width = MAP + LEGEND
    height = MAP + TOP
    File.write(path, <<~SVG)
      <svg xmlns="http://www.w3.org/2000/svg" width="#{width}" height="#{height}" viewBox="0 0 #{width} #{height}">
        <rect width="#{width}" height="#{height}" fill="#ffffff"/>
        <clipPath id="map"><rect y="#{TOP}" width="#{MAP}" height="#{MAP}"/></clipPath>
        <text x="16" y="28" font-family="sans-serif" font-size="17" font-weight="bold">#{title}</text>
        <g clip-path="url(#map)">
        #{@map.join("\n  ")}
        </g>
        #{@shapes.join("\n  ")}
      </svg>
    SVG
  end
end

view = TopView.new(faces)
heights = view.terrain
outer.each { |ring| view.polygon(ring, %(fill="#fff3c4" fill-opacity="0.45" stroke="#bf8f00" stroke-width="2")) }
holes.each { |ring| view.polygon(ring, %(fill="none" stroke="#bf8f00" stroke-width="2" stroke-dasharray="6 4")) }
view.polygon(POND, %(fill="#7fb7d9" stroke="#1565c0" stroke-width="1"))
view.polygon(HOUSE, %(fill="#c98b5a" stroke="#6d4c41" stroke-width="1"))
DROPS.each { |_, colour, positions| view.dots(positions, colour) }
boxes.zip(items).each do |edges, (_, index)|
  view.polygon([edges[0][0], edges[1][1], edges[6][1], edges[2][1]], %(fill="#{COLOURS[index]}" fill-opacity="0.9" stroke="#1b1b1b" stroke-width="0.6"))
end
counts = items.group_by(&:last).transform_values(&:size)
entries = [[:title, nil, "Instances"]]
entries += DEFINITIONS.each_with_index.map { |d, i| [:box, %(fill="#{COLOURS[i]}" stroke="#1b1b1b"), "#{d[0]}: #{counts.fetch(i, 0)}"] }
entries += [[:title, nil, "Areas"], [:box, %(fill="#fff3c4" stroke="#bf8f00"), "painted area (#{outer.size} ring, #{holes.size} hole)"],
            [:box, %(fill="#7fb7d9" stroke="#1565c0"), "pond: kept clear"], [:box, %(fill="#c98b5a" stroke="#6d4c41"), "house footprint"]]
entries += [[:title, nil, "Dropped candidates"]]
entries += DROPS.map { |step, colour, positions| [:dot, %(fill="#{colour}" fill-opacity="0.6"), "#{step}: #{positions.size}"] }
note = ["Area, pond, house and slope filters test", "each candidate's point; collisions test", "footprint circles. Candidates off the",
        "terrain are not drawn."]
view.legend(entries, heights, note)
view.write(ARGV[0] || "demo.svg", "Vandrel demo: #{points.size} grid candidates, #{projected} on the terrain, #{items.size} instances")
puts "top view written to #{ARGV[0] || 'demo.svg'}"
