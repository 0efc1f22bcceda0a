// The module functions of VandrelBench, as the interpreter calls them: the receiver first,
// then one VALUE per Ruby argument.
#pragma once

#include <ruby.h>

extern "C" {
// The reference switch of the engine.
VALUE bench_set_reference(VALUE self, VALUE on);
VALUE bench_reference_p(VALUE self);
// The state of the process-wide shuffle engine, as text.
VALUE bench_shuffle_state(VALUE self);
VALUE bench_set_shuffle_state(VALUE self, VALUE state);

// Allocation floors: the Ruby results of the pipeline's steps, built and nothing else.
VALUE bench_points(VALUE self, VALUE count);
VALUE bench_point_records(VALUE self, VALUE count, VALUE normal);
VALUE bench_fresh_copies(VALUE self, VALUE rows);
VALUE bench_store_slots(VALUE self, VALUE rows, VALUE slot_values);
VALUE bench_copies(VALUE self, VALUE rows, VALUE count, VALUE step);
VALUE bench_selection(VALUE self, VALUE rows, VALUE count);
VALUE bench_transform_items(VALUE self, VALUE count);
}
