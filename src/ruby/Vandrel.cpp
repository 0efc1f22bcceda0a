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
    rb_define_module_function(mQEL_Vandrel, "cpp_areas", cpp_areas, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_object_areas", cpp_object_areas, 3);
    rb_define_module_function(mQEL_Vandrel, "cpp_boundary_check", cpp_boundary_check, 4);
    rb_define_module_function(mQEL_Vandrel, "cpp_area_falloff", cpp_area_falloff, 5);
    rb_define_module_function(mQEL_Vandrel, "cpp_altitude_range", cpp_altitude_range, 8);
    rb_define_module_function(mQEL_Vandrel, "cpp_slope_range", cpp_slope_range, 8);
    rb_define_module_function(mQEL_Vandrel, "cpp_camera", cpp_camera, 9);
    rb_define_module_function(mQEL_Vandrel, "cpp_collisions", cpp_collisions, 4);
    rb_define_module_function(mQEL_Vandrel, "cpp_scale", cpp_scale, 4);
    rb_define_module_function(mQEL_Vandrel, "cpp_random_transform", cpp_random_transform, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_bboxes", cpp_bboxes, 2);
    rb_define_module_function(mQEL_Vandrel, "cpp_guid", cpp_guid, 0);
    rb_define_module_function(mQEL_Vandrel, "cpp_guids", cpp_guids, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_render_generate", cpp_render_generate, 2);
    rb_define_module_function(mQEL_Vandrel, "cpp_paint_area_union", cpp_paint_area_union, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_paint_area_simplify_paths", cpp_paint_area_simplify_paths, 2);
    rb_define_module_function(mQEL_Vandrel, "cpp_paint_area_simplify_polytree", cpp_paint_area_simplify_polytree, 2);
    rb_define_module_function(mQEL_Vandrel, "cpp_paint_area_path_orientation", cpp_paint_area_path_orientation, 1);
    rb_define_module_function(mQEL_Vandrel, "cpp_funcall", cpp_funcall, 0);
}
