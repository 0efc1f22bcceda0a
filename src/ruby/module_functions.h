// The module functions of QEL_Vandrel, as the interpreter calls them: the receiver first,
// then one VALUE per Ruby argument.
#pragma once

#include <ruby.h>

extern "C" {
VALUE cpp_erase_points(VALUE self, VALUE points, VALUE cursor);
VALUE cpp_custom_axis(VALUE self, VALUE rows, VALUE axis, VALUE to_world);
VALUE cpp_initialize_surface(VALUE self, VALUE faces, VALUE use_axis, VALUE axis);
VALUE cpp_initialize_curves(VALUE self, VALUE curves);
VALUE cpp_initialize_object_areas(VALUE self, VALUE areas);
VALUE cpp_generate_uniform_points(VALUE self, VALUE sx, VALUE sy, VALUE jx, VALUE jy, VALUE ox, VALUE oy, VALUE angle,
                                  VALUE seed);
VALUE cpp_generate_random_points(VALUE self, VALUE density, VALUE mode, VALUE factor, VALUE seed);
VALUE cpp_generate_vertices_points(VALUE self, VALUE arg);
VALUE cpp_generate_faces_points(VALUE self);
VALUE cpp_project_down(VALUE self, VALUE points, VALUE status);
VALUE cpp_points_seeds(VALUE self, VALUE rows, VALUE seed);
VALUE cpp_points_defs(VALUE self, VALUE settings);
VALUE cpp_areas(VALUE self, VALUE settings);
VALUE cpp_object_areas(VALUE self, VALUE rows, VALUE extra, VALUE timing);
VALUE cpp_boundary_check(VALUE self, VALUE rows, VALUE settings, VALUE definitions, VALUE unused);
VALUE cpp_area_falloff(VALUE self, VALUE rows, VALUE density, VALUE scale, VALUE unused1, VALUE unused2);
VALUE cpp_altitude_range(VALUE self, VALUE rows, VALUE lo, VALUE hi, VALUE soft_lo, VALUE soft_hi, VALUE density,
                         VALUE scale, VALUE seed);
VALUE cpp_slope_range(VALUE self, VALUE rows, VALUE lo, VALUE hi, VALUE soft_lo, VALUE soft_hi, VALUE density,
                      VALUE scale, VALUE seed);
VALUE cpp_camera(VALUE self, VALUE rows, VALUE camera, VALUE frustum_on, VALUE margin, VALUE eye_shift,
                 VALUE distance_on, VALUE max_distance, VALUE falloff, VALUE seed);
VALUE cpp_collisions(VALUE self, VALUE rows, VALUE definitions, VALUE size_percent, VALUE seed);
VALUE cpp_scale(VALUE self, VALUE rows, VALUE definitions, VALUE settings, VALUE extra);
VALUE cpp_random_transform(VALUE self, VALUE settings);
VALUE cpp_bboxes(VALUE self, VALUE items, VALUE definitions);
VALUE cpp_guid(VALUE self);
VALUE cpp_guids(VALUE self, VALUE count);
VALUE cpp_render_generate(VALUE self, VALUE list, VALUE transformation);
VALUE cpp_paint_area_union(VALUE self, VALUE settings);
VALUE cpp_paint_area_simplify_paths(VALUE self, VALUE paths, VALUE tol);
VALUE cpp_paint_area_simplify_polytree(VALUE self, VALUE tree, VALUE tol);
VALUE cpp_paint_area_path_orientation(VALUE self, VALUE path);
VALUE cpp_funcall(VALUE self);
}
