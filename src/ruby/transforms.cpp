// cpp_scale and cpp_random_transform: the records' final scales, and their instance
// transformations.
#include "engine/transforms.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"

namespace binding {

static engine::Bounds6 read_bounds(VALUE settings, long first, const Where &at) {
    engine::Bounds6 b;
    for (long k = 0; k < 6; ++k) b.bound[k] = read_double(array_entry(settings, first + k, at), Where(at, first + k));
    return b;
}

// [randomise, axis mode, x low %, x high %, y low %, y high %, z low %, z high %]
static engine::ScaleSettings read_scale_settings(VALUE settings, const Where &at) {
    const bool randomise = read_flag(array_entry(settings, 0, at));
    std::string mode = read_text(array_entry(settings, 1, at), Where(at, 1L));
    return engine::ScaleSettings(randomise, std::move(mode), read_bounds(settings, 2, at));
}

// [on, x low, x high, y low, y high, z low, z high]; the bounds are read even when off.
static engine::TransformRange read_range(VALUE settings, const Where &at) {
    const bool on = read_flag(array_entry(settings, 0, at));
    return engine::TransformRange(on, read_bounds(settings, 1, at));
}

// The definition records of a container whose element 0 is the list.
static std::vector<engine::Definition> read_definition_list(VALUE container, unsigned fields, const Where &at) {
    const Where list_at(at, 0L);
    return read_definitions(array_entry(container, 0, at), fields, list_at);
}

static VALUE scale(VALUE rows, VALUE definitions, VALUE settings) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const engine::ScaleSettings s = read_scale_settings(settings, Where("settings"));
    const std::vector<engine::Definition> defs = read_definition_list(definitions, kReadScale, Where("definitions"));
    const Where at("rows");
    VALUE list = snapshot(rows, at);
    RecordMemory memory;
    const std::vector<engine::PointRecord> &records =
        read_records(list, at, pace, memory, [&](const RecordReader &r, engine::PointRecord &record) {
            record.definition = r.definition();
            if (record.definition == -1) return;
            record.scale = r.scale();
            record.seed = r.seed();
        });
    const std::vector<engine::Scaled> scaled = engine::scale_records(records, defs, s, pace);

    const VALUE result = build_array(records.size(), pace, [&](size_t i) {
        Prefetch::ahead<Depth::storage>(list, static_cast<long>(i));
        const VALUE copy = rb_ary_dup(rb_ary_entry(list, static_cast<long>(i)));
        if (scaled[i].rescaled) rb_ary_store(copy, kScale, DBL2NUM(scaled[i].scale));
        rb_ary_store(copy, kAxisScale, new_point(scaled[i].axis_scale));
        return copy;
    });
    RB_GC_GUARD(list);
    return result;
}

static VALUE random_transform(VALUE hash) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const Where at("settings");
    read_int(hash_value(hash, "seed", at), Where(at, "seed"));  // checked, not used
    const VALUE points = hash_value(hash, "points", at);
    const std::vector<engine::Definition> defs = read_definition_list(
        hash_value(hash, "comp_defs", at), kReadBox | kReadScale | kReadOrigin, Where(at, "comp_defs"));
    engine::TransformSettings s{};
    s.scale = read_scale_settings(hash_value(hash, "scale", at), Where(at, "scale")).randomise;
    s.rotation = read_range(hash_value(hash, "rotation", at), Where(at, "rotation"));
    s.translation = read_range(hash_value(hash, "translation", at), Where(at, "translation"));
    s.pointing = read_float(hash_value(hash, "pointing", at), Where(at, "pointing"));
    s.swap_yz = read_flag(hash_value(hash, "swap_yz", at)) && s.pointing == 100.0f;
    s.mirror = read_flag(hash_value(hash, "mirror", at));
    s.vmirror = read_flag(hash_value(hash, "vmirror", at));
    s.quarter_turns = read_flag(hash_value(hash, "r90_180_270", at));

    const Where points_at(at, "points");
    VALUE list = snapshot(points, points_at);
    RecordMemory memory;
    const std::vector<engine::PointRecord> &records =
        read_records(list, points_at, pace, memory, [&](const RecordReader &r, engine::PointRecord &record) {
            record.definition = r.definition();
            if (record.definition == -1) return;
            record.position = r.position();
            record.normal = r.normal();
            record.scale = r.scale();
            record.seed = r.seed();
            if (s.scale) record.axis_scale = r.axis_scale();
            record.heading = r.heading();
        });
    const std::vector<engine::Placement> placements = engine::random_transforms(records, defs, s, pace);

    const VALUE result = build_array(placements.size(), pace, [&](size_t i) {
        return rb_assoc_new(new_transform(placements[i].transform), INT2FIX(placements[i].definition));
    });
    RB_GC_GUARD(list);
    return result;
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_scale(VALUE, VALUE rows, VALUE definitions, VALUE settings, VALUE) {
    return guarded("cpp_scale", [&] { return binding::scale(rows, definitions, settings); });
}

extern "C" VALUE cpp_random_transform(VALUE, VALUE hash) {
    return guarded("cpp_random_transform", [&] { return binding::random_transform(hash); });
}
