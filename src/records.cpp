#include "records.h"

#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

VALUE new_point_record(VALUE position, VALUE normal, float heading) {
    VALUE record = rb_ary_new_capa(8);
    rb_ary_push(record, position);
    rb_ary_push(record, normal);
    rb_ary_push(record, DBL2NUM(1.0));
    for (int slot = 3; slot <= 6; ++slot) rb_ary_push(record, Qnil);
    rb_ary_push(record, DBL2NUM(heading));
    return record;
}

VALUE append_copy(VALUE result, VALUE record) {
    check_array(record);
    return protect([&] {
        const VALUE copy = rb_ary_dup(record);
        rb_ary_push(result, copy);
        return copy;
    });
}

VALUE build_point_records(const std::vector<GeneratedPoint> &points) {
    return protect([&] {
        VALUE result = rb_ary_new_capa(static_cast<long>(points.size()));
        for (const GeneratedPoint &p : points)
            rb_ary_push(result, new_point_record(new_point3d(p.position), new_point3d(p.normal), p.heading));
        return result;
    });
}

VALUE build_points(const std::vector<math::float3> &points) {
    return protect([&] {
        VALUE result = rb_ary_new_capa(static_cast<long>(points.size()));
        for (const math::float3 &p : points) rb_ary_push(result, new_point3d(p));
        return result;
    });
}

}  // namespace engine
