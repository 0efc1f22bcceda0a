// Small tools of the add-on: erasing points near a cursor, turning records between the
// world and the custom-axis frame, and a hook that exercises the host's message box.
#include "engine/custom_axis.h"
#include "engine/preview.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"

namespace binding {

static VALUE erase_points(VALUE points, VALUE cursor) {
    const math::float3 c = read_point(cursor, Where("cursor"));
    const std::vector<long> hits = engine::points_near(read_points(points, Where("points")), c);
    return protect([&] {
        VALUE result = rb_ary_new_capa(static_cast<long>(hits.size()));
        for (long i : hits) rb_ary_push(result, LONG2FIX(i));
        return result;
    });
}

// Copies of the rows with slot 0 turned by q; every other slot shares the given object.
static VALUE rotate_rows(VALUE rows, VALUE axis, VALUE to_world) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const math::Quat q = engine::quat_from_z_to_axis(read_point(axis, Where("axis")), read_flag(to_world));
    const Where at("rows");
    VALUE list = snapshot(rows, at);
    const int n = array_length(list, at);
    std::vector<math::float3> positions(n);
    for (int i = 0; i < n; ++i) positions[i] = q.Transform(RecordReader(list, i, at).position());
    const VALUE result = build_array(positions.size(), pace, [&](size_t i) {
        const VALUE copy = rb_ary_dup(rb_ary_entry(list, static_cast<long>(i)));
        rb_ary_store(copy, kPosition, new_point(positions[i]));
        return copy;
    });
    RB_GC_GUARD(list);
    return result;
}

static VALUE ask_host() {
    write_line(host_says_yes("bla") ? "continue" : "abort");
    return Qtrue;
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_erase_points(VALUE, VALUE points, VALUE cursor) {
    return guarded("cpp_erase_points", [&] { return binding::erase_points(points, cursor); });
}

extern "C" VALUE cpp_custom_axis(VALUE, VALUE rows, VALUE axis, VALUE to_world) {
    return guarded("cpp_custom_axis", [&] { return binding::rotate_rows(rows, axis, to_world); });
}

extern "C" VALUE cpp_funcall(VALUE) {
    return guarded("cpp_funcall", [] { return binding::ask_host(); });
}
