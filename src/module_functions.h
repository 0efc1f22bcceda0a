// The module functions of QEL_Vandrel, as the interpreter calls them: the receiver first,
// then one VALUE per Ruby argument.
#pragma once

#include <ruby.h>

extern "C" {
VALUE cpp_erase_points(VALUE self, VALUE points, VALUE cursor);
VALUE cpp_funcall(VALUE self);
}
