// The benchmark's extension: the whole of QEL_Vandrel, plus the module VandrelBench with
// the engine's reference switch, the state of its shuffle engine and the allocation floors of
// the pipeline's steps.
#include "bench_functions.h"

extern "C" void Init_Vandrel();

static VALUE mVandrelBench = Qnil;

extern "C" __attribute__((visibility("default"))) void Init_VandrelBench() {
    Init_Vandrel();
    mVandrelBench = rb_define_module("VandrelBench");
    rb_define_module_function(mVandrelBench, "reference=", bench_set_reference, 1);
    rb_define_module_function(mVandrelBench, "reference?", bench_reference_p, 0);
    rb_define_module_function(mVandrelBench, "shuffle_state", bench_shuffle_state, 0);
    rb_define_module_function(mVandrelBench, "shuffle_state=", bench_set_shuffle_state, 1);
    rb_define_module_function(mVandrelBench, "points", bench_points, 1);
    rb_define_module_function(mVandrelBench, "point_records", bench_point_records, 2);
    rb_define_module_function(mVandrelBench, "fresh_copies", bench_fresh_copies, 1);
    rb_define_module_function(mVandrelBench, "store_slots", bench_store_slots, 2);
    rb_define_module_function(mVandrelBench, "copies", bench_copies, 3);
    rb_define_module_function(mVandrelBench, "selection", bench_selection, 2);
    rb_define_module_function(mVandrelBench, "transform_items", bench_transform_items, 1);
}
