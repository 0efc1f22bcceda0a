// The one reading and writing path for Ruby values.
//
// Every reader checks the shape it needs before touching the object (a nil where an Array
// is expected raises TypeError instead of crashing the interpreter) and converts the common
// immediates inline; anything else goes through the interpreter's own conversion under
// rb_protect, so its exceptions and messages are Ruby's.
#pragma once

#include <ruby.h>

#include <string>

#include "Math/float3.h"

namespace engine {

// Arrays and Hashes.
VALUE new_array();
void array_push(VALUE ary, VALUE value);
int array_length(VALUE ary);             // TypeError unless an Array; RangeError past int
VALUE array_entry(VALUE ary, long i);    // nil past the end
VALUE hash_value(VALUE hash, const char *key);  // the value under a String key, nil when missing
void check_array(VALUE v);
void array_store(VALUE ary, long i, VALUE value);  // TypeError unless an Array, FrozenError if frozen
void check_hash(VALUE v);

// Scalars.
double read_double(VALUE v);             // Integer, Float or anything Float() accepts numerically
float read_float(VALUE v);               // read_double narrowed to the nearest float
int read_int(VALUE v);                   // 32-bit; RangeError outside, Floats truncated
bool read_flag(VALUE v);                 // Ruby truthiness
std::string rb2cstr(VALUE v);            // TypeError for a non-String, ArgumentError for a NUL byte

// A Ruby Float of the value.
VALUE float_value(double d);

// Points.
math::float3 point3d_to_float3(VALUE p);
VALUE float3_to_point3d(const math::float3 &v);
VALUE point3d_from_xyz(float x, float y, float z);
// The same as float3_to_point3d without protection, for use inside a protect block.
VALUE new_point3d(const math::float3 &v);

// Strings the engine creates are UTF-8.
VALUE GetRubyInterface(const char *s);

// Writes msg and a newline through $stdout.write; false when it could not be written.
bool puts(const char *msg);

}  // namespace engine
