// The results of the thinning filters: new Arrays of the kept records, either the record
// objects themselves or copies that share their element objects. They raise Ruby's own
// errors (a record that is not an Array is a TypeError).
#pragma once

#include <ruby.h>

namespace engine {

VALUE new_result();
void append_record(VALUE result, VALUE record);
// A new Array holding the record's elements, so that the given record stays unchanged.
void append_copy(VALUE result, VALUE record);
// The same with slot 2 (the uniform scale) replaced by the Float of scale.
void append_scaled_copy(VALUE result, VALUE record, float scale);

}  // namespace engine
