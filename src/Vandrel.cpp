// The extension's entry point: defines QEL_Vandrel and registers its module functions.
#include "module_functions.h"

static VALUE mQEL_Vandrel = Qnil;

extern "C" __attribute__((visibility("default"))) void Init_Vandrel() {
    mQEL_Vandrel = rb_define_module("QEL_Vandrel");
    rb_define_module_function(mQEL_Vandrel, "cpp_erase_points", cpp_erase_points, 2);
    rb_define_module_function(mQEL_Vandrel, "cpp_funcall", cpp_funcall, 0);
}
