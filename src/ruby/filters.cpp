// The boundary, falloff, altitude and slope filters' module functions: each returns copies
// of the kept records.
#include "engine/filters.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"

namespace binding {

static VALUE boundary_check(VALUE rows, VALUE settings, VALUE defs) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const Where settings_at("settings"), defs_at("definitions"), at("rows");
    const std::string mode = read_text(array_entry(settings, 0, settings_at), Where(settings_at, 0L));
    const float distance = read_float(array_entry(settings, 1, settings_at), Where(settings_at, 1L));
    const float percent = read_float(array_entry(settings, 2, settings_at), Where(settings_at, 2L));
    array_length(defs, defs_at);
    const engine::BoundaryMode m = mode == "distance" ? engine::BoundaryMode::distance
                                   : mode == "size"   ? engine::BoundaryMode::size
                                                      : engine::BoundaryMode::other;
    const std::vector<engine::Definition> definitions =
        m == engine::BoundaryMode::size ? read_definitions(defs, kReadBox | kReadOrigin, defs_at)
                                        : std::vector<engine::Definition>();
    VALUE list = snapshot(rows, at);
    RecordMemory memory;
    const std::vector<engine::PointRecord> &records =
        read_records(list, at, pace, memory, [&](const RecordReader &r, engine::PointRecord &record) {
            record.distance = r.distance();
            if (record.distance == -1.0f) return;  // kept whatever else it holds
            record.scale = r.scale();
            record.axis_scale = r.plan_axis_scale();
            record.definition = r.definition();
        });
    const std::vector<engine::Kept> kept = engine::boundary_check(records, {m, distance, percent}, definitions, pace);
    const VALUE result = kept_copies(list, kept, kScale, pace);
    RB_GC_GUARD(list);
    return result;
}

static engine::FalloffSettings read_falloff(VALUE settings, const Where &at) {
    const bool on = read_flag(array_entry(settings, 0, at));
    const bool inverse = read_flag(array_entry(settings, 1, at));
    const float distance = read_float(array_entry(settings, 2, at), Where(at, 2L));
    const float percent = read_float(array_entry(settings, 3, at), Where(at, 3L));
    return {on, inverse, distance, percent};
}

static VALUE area_falloff(VALUE rows, VALUE density_settings, VALUE scale_settings) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const engine::FalloffSettings density = read_falloff(density_settings, Where("density"));
    const engine::FalloffSettings scale = read_falloff(scale_settings, Where("scale"));
    const Where at("rows");
    VALUE list = snapshot(rows, at);
    RecordMemory memory;
    const std::vector<engine::PointRecord> &records =
        read_records(list, at, pace, memory, [&](const RecordReader &r, engine::PointRecord &record) {
            record.distance = r.distance();
            record.seed = r.seed();
            record.scale = r.scale();
        });
    const VALUE result = kept_copies(list, engine::area_falloff(records, density, scale, pace), kScale, pace);
    RB_GC_GUARD(list);
    return result;
}

static engine::Range read_range(VALUE lo, VALUE hi, VALUE soft_lo, VALUE soft_hi) {
    const float l = read_float(lo, Where("lo"));
    const float h = read_float(hi, Where("hi"));
    const float sl = read_float(soft_lo, Where("soft_lo"));
    const float sh = read_float(soft_hi, Where("soft_hi"));
    return {l, h, sl, sh};
}

static VALUE range_filter(VALUE rows, engine::RangeOf of, const engine::Range &range, VALUE density_flag,
                          VALUE scale_flag, VALUE seed) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const int s = read_int(seed, Where("seed"));
    const bool thin = read_flag(density_flag);
    const bool scale = read_flag(scale_flag);
    const Where at("rows");
    VALUE list = snapshot(rows, at);
    RecordMemory memory;
    const std::vector<engine::PointRecord> &records =
        read_records(list, at, pace, memory, [&](const RecordReader &r, engine::PointRecord &record) {
            record.position = r.position();  // a Point for the slope filter too
            if (of == engine::RangeOf::slope) record.normal = r.normal();
            record.scale = r.scale();
        });
    const auto kept = engine::range_filter(records, {of, range, thin, scale, s}, pace);
    const VALUE result = kept_copies(list, kept, kScale, pace);
    RB_GC_GUARD(list);
    return result;
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_boundary_check(VALUE, VALUE rows, VALUE settings, VALUE definitions, VALUE) {
    return guarded("cpp_boundary_check", [&] { return binding::boundary_check(rows, settings, definitions); });
}

extern "C" VALUE cpp_area_falloff(VALUE, VALUE rows, VALUE density, VALUE scale, VALUE, VALUE) {
    return guarded("cpp_area_falloff", [&] { return binding::area_falloff(rows, density, scale); });
}

extern "C" VALUE cpp_altitude_range(VALUE, VALUE rows, VALUE lo, VALUE hi, VALUE soft_lo, VALUE soft_hi,
                                    VALUE density, VALUE scale, VALUE seed) {
    return guarded("cpp_altitude_range", [&] {
        const engine::Range range = binding::read_range(lo, hi, soft_lo, soft_hi);
        return binding::range_filter(rows, engine::RangeOf::altitude, range, density, scale, seed);
    });
}

extern "C" VALUE cpp_slope_range(VALUE, VALUE rows, VALUE lo, VALUE hi, VALUE soft_lo, VALUE soft_hi,
                                 VALUE density, VALUE scale, VALUE seed) {
    return guarded("cpp_slope_range", [&] {
        const engine::Range range = engine::in_radians(binding::read_range(lo, hi, soft_lo, soft_hi));
        return binding::range_filter(rows, engine::RangeOf::slope, range, density, scale, seed);
    });
}
