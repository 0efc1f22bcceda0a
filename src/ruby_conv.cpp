#include "ruby_conv.h"

#include <ruby/encoding.h>

#include <climits>

#include "ruby_guard.h"

namespace engine {

static void check_type(VALUE v, ruby_value_type type) {
    if (RB_TYPE_P(v, type)) return;
    protect([&] {
        rb_check_type(v, type);  // raises with the interpreter's own message
        return Qnil;
    });
}

void check_array(VALUE v) { check_type(v, T_ARRAY); }
void check_hash(VALUE v) { check_type(v, T_HASH); }

int array_length(VALUE ary) {
    check_array(ary);
    const long n = RARRAY_LEN(ary);
    if (n > INT_MAX) throw RubyError(rb_eRangeError, "array length %ld too big to convert to `int'", n);
    return static_cast<int>(n);
}

VALUE array_entry(VALUE ary, long i) {
    check_array(ary);
    return rb_ary_entry(ary, i);
}

VALUE new_array() {
    return protect([] { return rb_ary_new(); });
}

void array_push(VALUE ary, VALUE value) {
    protect([&] { return rb_ary_push(ary, value); });
}

void array_store(VALUE ary, long i, VALUE value) {
    check_array(ary);
    protect([&] {
        rb_ary_store(ary, i, value);
        return Qnil;
    });
}

VALUE hash_value(VALUE hash, const char *key) {
    check_hash(hash);
    // A Hash with a default proc runs Ruby code on a missing key.
    return protect([&] { return rb_hash_aref(hash, rb_str_new_cstr(key)); });
}

double read_double(VALUE v) {
    if (RB_FIXNUM_P(v)) return static_cast<double>(FIX2LONG(v));
    if (RB_FLOAT_TYPE_P(v)) return RFLOAT_VALUE(v);
    double d = 0;
    protect([&] {
        d = rb_num2dbl(v);
        return Qnil;
    });
    return d;
}

float read_float(VALUE v) { return static_cast<float>(read_double(v)); }

int read_int(VALUE v) {
    if (RB_FIXNUM_P(v)) {
        const long n = FIX2LONG(v);
        if (n >= INT_MIN && n <= INT_MAX) return static_cast<int>(n);
    }
    long n = 0;
    protect([&] {
        n = rb_num2int(v);  // raises RangeError with the interpreter's message
        return Qnil;
    });
    return static_cast<int>(n);
}

bool read_flag(VALUE v) { return RTEST(v); }

std::string rb2cstr(VALUE v) {
    const char *text = nullptr;
    protect([&] {
        text = rb_string_value_cstr(&v);
        return Qnil;
    });
    std::string copy(text, RSTRING_LEN(v));
    RB_GC_GUARD(v);
    return copy;
}

math::float3 point3d_to_float3(VALUE p) {
    check_array(p);
    // Named locals: the components are read in order x, y, z.
    const float x = read_float(rb_ary_entry(p, 0));
    const float y = read_float(rb_ary_entry(p, 1));
    const float z = read_float(rb_ary_entry(p, 2));
    return math::float3(x, y, z);
}

VALUE float_value(double d) {
    return protect([&] { return DBL2NUM(d); });
}

VALUE new_point3d(const math::float3 &v) {
    VALUE point = rb_ary_new_capa(3);
    rb_ary_push(point, DBL2NUM(v.x));
    rb_ary_push(point, DBL2NUM(v.y));
    rb_ary_push(point, DBL2NUM(v.z));
    return point;
}

VALUE float3_to_point3d(const math::float3 &v) {
    return protect([&] { return new_point3d(v); });
}

VALUE point3d_from_xyz(float x, float y, float z) { return float3_to_point3d(math::float3(x, y, z)); }

VALUE GetRubyInterface(const char *s) {
    return protect([&] { return rb_utf8_str_new_cstr(s); });
}

bool puts(const char *msg) {
    try {
        VALUE line = GetRubyInterface((std::string(msg) + "\n").c_str());
        protect([&] { return rb_funcall(rb_gv_get("$stdout"), rb_intern("write"), 1, line); });
        RB_GC_GUARD(line);
        return true;
    } catch (const std::bad_alloc &) {  // a failing $stdout stays the caller's Ruby exception
        return false;
    }
}

}  // namespace engine
