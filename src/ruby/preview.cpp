// Preview boxes of placed instances, GUIDs and render records.
#include "engine/preview.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"

namespace binding {

static VALUE bboxes(VALUE items, VALUE definitions) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const std::vector<engine::Definition> defs = read_definitions(definitions, kReadBox, Where("definitions"));
    const Where at("items");
    VALUE list = snapshot(items, at);
    const int n = array_length(list, at);
    std::vector<engine::PlacedItem> placed(n);
    for (int i = 0; i < n; ++i) {
        pace.tick();
        const Where item_at(at, i);
        const VALUE item = array_entry(list, i, at);
        placed[i].transform = read_transform(array_entry(item, 0, item_at), Where(item_at, 0L));
        placed[i].definition = read_int(array_entry(item, 1, item_at), Where(item_at, 1L));
    }
    const std::vector<engine::BoxEdges> boxes = engine::preview_boxes(placed, defs, pace);
    // The 12 edges of each box, each as [Point, Point].
    const VALUE result = build_array(boxes.size(), pace, [&](size_t i) {
        VALUE edges[12];  // on the stack, where the collector sees the edges made so far
        for (size_t e = 0; e < 12; ++e) edges[e] = rb_assoc_new(new_point(boxes[i][e].a), new_point(boxes[i][e].b));
        return rb_ary_new_from_values(12, edges);
    });
    RB_GC_GUARD(list);
    return result;
}

static VALUE new_guid() { return text_value(engine::new_guid_text()); }

static VALUE guids(VALUE count) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const int n = read_int(count, Where("count"));
    if (n > engine::kMaxGuids) throw RubyError(rb_eRangeError, "count would make more than 16777216 GUIDs");
    const VALUE result = new_array();
    for (int i = 0; i < n; ++i) {
        pace.tick();
        pace.tick();
        array_push(result, new_guid());
    }
    return result;
}

static VALUE render_generate(VALUE list, VALUE transformation) {
    check_array(list, Where("list"));
    const VALUE guid = new_guid();
    protect([&] {
        VALUE record = rb_hash_new();
        rb_hash_aset(record, rb_utf8_str_new_cstr("uuid"), guid);
        rb_hash_aset(record, rb_utf8_str_new_cstr("transformation"), transformation);
        return rb_ary_push(list, record);
    });
    return Qtrue;
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_bboxes(VALUE, VALUE items, VALUE definitions) {
    return guarded("cpp_bboxes", [&] { return binding::bboxes(items, definitions); });
}

extern "C" VALUE cpp_guid(VALUE) {
    return guarded("cpp_guid", [] { return binding::new_guid(); });
}

extern "C" VALUE cpp_guids(VALUE, VALUE count) {
    return guarded("cpp_guids", [&] { return binding::guids(count); });
}

extern "C" VALUE cpp_render_generate(VALUE, VALUE list, VALUE transformation) {
    return guarded("cpp_render_generate", [&] { return binding::render_generate(list, transformation); });
}
