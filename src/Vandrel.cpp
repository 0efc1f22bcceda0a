// The extension's entry point: defines QEL_Vandrel and registers its module functions.
#include "module_functions.h"

static VALUE mQEL_Vandrel = Qnil;

extern "C" __attribute__((visibility("default"))) void Init_Vandrel() {
    mQEL_Vandrel = rb_define_module("QEL_Vandrel");
    rb_define_module_function(mQEL_Vandrel, "cpp_erase_points", cpp_erase_points, 2);
    rb_define_module_function(mQEL_Vandrel, "cpp_custom_axis", cpp_custom_axis, 3);
    rb_define_module_function(mQEL_Vandrel, "cpp_initialize_surface", cpp_initialize_surface, 3);
    rb_define_module_function(mQEL_Vandrel, "cpp_initialize_curves", cpp_initialize_curves, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_initialize_object_areas", cpp_initialize_object_areas, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_generate_uniform_points", cpp_generate_uniform_points, 8);
    rb_define_module_function(mQEL_Vandrel, "cpp_generate_random_points", cpp_generate_random_points, 4);
    rb_define_module_function(mQEL_Vandrel, "cpp_generate_vertices_points", cpp_generate_vertices_points, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_generate_faces_points", cpp_generate_faces_points, 0);
    rb_define_module_function(mQEL_Vandrel, "cpp_project_down", cpp_project_down, 2);
    rb_define_module_function(mQEL_Vandrel, "cpp_points_seeds", cpp_points_seeds, 2);
    rb_define_module_function(mQEL_Vandrel, "cpp_points_defs", cpp_points_defs, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_funcall", cpp_funcall, 0);
}
