# A first look at the extension: loads it and calls what it offers.
require "Vandrel"

points = [[0, 0, 0], [3, 4, 10], [7.9, 0, 5], [8, 0, 0], [20, 20, 0]]
cursor = [0, 0, 0]
puts "points: #{points.inspect}"
puts "erased near #{cursor.inspect}: #{QEL_Vandrel.cpp_erase_points(points, cursor).inspect}"
