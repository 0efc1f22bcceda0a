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
VALUE cpp_funcall(VALUE self);
}
