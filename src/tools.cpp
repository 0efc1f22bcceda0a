// Small tools of the add-on: erasing points near a cursor, and a hook that exercises the
// host's message box.
#include <vector>

#include "module_functions.h"
#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

static constexpr float kEraseRadius = 8.0f;

// Indices of the points whose plan-view position lies within the erase radius of the cursor.
static VALUE erase_points(VALUE points, VALUE cursor) {
    const math::float3 c = point3d_to_float3(cursor);
    const int n = array_length(points);
    std::vector<long> hits;
    for (int i = 0; i < n; ++i) {
        const math::float3 p = point3d_to_float3(rb_ary_entry(points, i));
        if (math::float3(p.x, p.y, 0.f).Distance(c) < kEraseRadius) hits.push_back(i);
    }
    return protect([&] {
        VALUE result = rb_ary_new_capa(static_cast<long>(hits.size()));
        for (long i : hits) rb_ary_push(result, LONG2FIX(i));
        return result;
    });
}

static VALUE ask_host() {
    static ID messagebox = rb_intern("messagebox");
    const VALUE answer = protect([&] {
        return rb_funcall(rb_define_module("UI"), messagebox, 2, rb_utf8_str_new_cstr("bla"), INT2FIX(4));
    });
    puts(answer == INT2FIX(6) ? "continue" : "abort");
    return Qtrue;
}

}  // namespace engine

extern "C" VALUE cpp_erase_points(VALUE, VALUE points, VALUE cursor) {
    return engine::guarded([&] { return engine::erase_points(points, cursor); });
}

extern "C" VALUE cpp_funcall(VALUE) {
    return engine::guarded([] { return engine::ask_host(); });
}
