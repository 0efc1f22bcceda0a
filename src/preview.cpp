// Preview boxes of placed instances, GUIDs and render records.
#include <guid.h>

#include <sstream>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "definitions.h"
#include "module_functions.h"
#include "ruby_conv.h"
#include "ruby_guard.h"
#include "transforms.h"

namespace engine {

// The 12 edges of the box, in the box's edge order, each as [Point, Point].
static VALUE bbox_to_rb_ary(const math::OBB &box) {
    VALUE edges = rb_ary_new_capa(12);
    for (int i = 0; i < 12; ++i) {
        const math::LineSegment e = box.Edge(i);
        rb_ary_push(edges, rb_assoc_new(new_point3d(e.a), new_point3d(e.b)));
    }
    return edges;
}

static VALUE bboxes(VALUE items, VALUE definitions) {
    std::vector<math::AABB> boxes;
    for (int k = 0; k < array_length(definitions); ++k) {
        const VALUE def = array_entry(definitions, k);
        const math::float3 lo = point3d_to_float3(array_entry(def, 4));
        const math::float3 hi = point3d_to_float3(array_entry(def, 5));
        boxes.emplace_back(lo, hi);
    }
    const int n = array_length(items);
    const VALUE result = protect([&] { return rb_ary_new_capa(n); });
    for (int i = 0; i < n; ++i) {
        const VALUE item = array_entry(items, i);
        const math::float4x4 m = trans_to_float4x4(array_entry(item, 0));
        const int index = read_int(array_entry(item, 1));
        check_definition_index(index, static_cast<int>(boxes.size()));
        const math::OBB box = boxes[index].Transform(m);  // its scale from column 0
        protect([&] { return rb_ary_push(result, bbox_to_rb_ary(box)); });
    }
    return result;
}

// 36 characters: 16 random bytes as lower-case hexadecimal, grouped 8-4-4-4-12.
static std::string new_guid_text() {
    std::ostringstream text;
    text << GuidGenerator().newGuid();
    return text.str();
}

static VALUE new_guid() { return GetRubyInterface(new_guid_text().c_str()); }

static VALUE guids(VALUE count) {
    const int n = read_int(count);
    const VALUE result = new_array();
    for (int i = 0; i < n; ++i) {
        array_push(result, new_guid());
    }
    return result;
}

static VALUE render_generate(VALUE list, VALUE transformation) {
    check_array(list);
    const VALUE guid = new_guid();
    protect([&] {
        VALUE record = rb_hash_new();
        rb_hash_aset(record, rb_utf8_str_new_cstr("uuid"), guid);
        rb_hash_aset(record, rb_utf8_str_new_cstr("transformation"), transformation);
        return rb_ary_push(list, record);
    });
    return Qtrue;
}

}  // namespace engine

extern "C" VALUE cpp_bboxes(VALUE, VALUE items, VALUE definitions) {
    return engine::guarded([&] { return engine::bboxes(items, definitions); });
}

extern "C" VALUE cpp_guid(VALUE) {
    return engine::guarded([] { return engine::new_guid(); });
}

extern "C" VALUE cpp_guids(VALUE, VALUE count) {
    return engine::guarded([&] { return engine::guids(count); });
}

extern "C" VALUE cpp_render_generate(VALUE, VALUE list, VALUE transformation) {
    return engine::guarded([&] { return engine::render_generate(list, transformation); });
}
