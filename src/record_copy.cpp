#include "record_copy.h"

#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

VALUE new_result() {
    return protect([] { return rb_ary_new(); });
}

void append_record(VALUE result, VALUE record) {
    protect([&] { return rb_ary_push(result, record); });
}

void append_copy(VALUE result, VALUE record) {
    check_array(record);
    protect([&] { return rb_ary_push(result, rb_ary_dup(record)); });
}

void append_scaled_copy(VALUE result, VALUE record, float scale) {
    check_array(record);
    protect([&] {
        const VALUE copy = rb_ary_dup(record);
        rb_ary_store(copy, 2, DBL2NUM(scale));
        return rb_ary_push(result, copy);
    });
}

}  // namespace engine
